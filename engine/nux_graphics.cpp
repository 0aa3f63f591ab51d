// nux_graphics: the window and GL context, the fixed 2D projection, presenting and pacing the
// frames, the sprite record, and the choice of drawing set with the public drawing calls that go
// through it. The picture cache is in nux_graphics_cache, the drawing sets in nux_graphics_gl
// and nux_graphics_null, labels in nux_graphics_label.

#include "nux_graphics.h"
#include "nux_clock.h"
#include "nux_desktop.h"  // a gamepad: a resting loop looks for its buttons
#include "nux_local.h"
#include "nux_modes.h"  // MODE_GAME: a paused game rests
#include "pngLoad.h"    // pngSave: screenshots

#include <SDL.h>    // window, GL context, events
#include <GL/gl.h>  // the projection
#include <ft2build.h>
#include FT_FREETYPE_H  // FT_Init_FreeType for the label renderer
#include <chrono>       // steady_clock, frame pacing
#include <cstdio>       // fprintf, snprintf
#include <cstdlib>      // malloc, free
#include <cstring>      // strcmp, memcpy
#include <thread>       // sleep_until, frame pacing

// Built with AddressSanitizer, whose leak checker reports at exit (see keepLibrariesLoaded).
#if defined(__SANITIZE_ADDRESS__)
#define NUX_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NUX_LEAK_CHECKED 1
#endif
#endif
#if defined(NUX_LEAK_CHECKED)
#include <dlfcn.h>  // dlopen: pinning the loaded libraries
#include <link.h>   // dl_iterate_phdr: the libraries loaded so far
#include <string>   // their names, copied before pinning
#include <vector>
#endif

//---- Constants

// The game's per-frame rules assume a 60 Hz display; a swap that does not wait is held to it.
static const double FRAME_PERIOD = 1.0 / 60.0;

// Frame periods while nothing needs 60 frames a second: minimised (nothing is drawn at all), and
// the game paused (only the PAUSED sign shimmers, slowly). A key or a window event ends the wait.
static const double MINIMISED_PERIOD = 1.0 / 4.0;
static const double PAUSED_PERIOD = 1.0 / 10.0;

// How often a resting loop looks for a gamepad's buttons, or for events where it cannot wait for
// them (on the desktop: in a web page the browser wakes it).
#if !defined(__EMSCRIPTEN__)
static const double REST_POLL = 0.005;
#endif

//---- State

int32_t curXRes = 0, curYRes = 0;
int32_t num_video_modes = 0;
int32_t lastTriangleCount = 0;
int nuxHasGL = 0;
void* GL_FTLibrary = nullptr;

static SDL_Rect** modes = nullptr;
static char screenshotPath[1024];
static int screenshotsSaved = 0;
static std::chrono::steady_clock::time_point nextFrameDue;
static bool pacingStarted = false;
//---- Helpers

// Chooses the drawing backend: GL once a window with its context is open, null otherwise.
static void useDrawing(bool window);

static void initFreeType()
{
    if (GL_FTLibrary)
        return;
    FT_Library library = nullptr;
    FT_Init_FreeType(&library);
    GL_FTLibrary = library;
}

// SDL falls back to an invisible off-screen driver when there is no display at all; a player
// would see nothing, so that counts as no display unless a driver was asked for by name.
static bool displayAvailable()
{
    char driver[64] = {0};
    SDL_VideoDriverName(driver, (int)sizeof driver);
    const char* requested = getenv("SDL_VIDEODRIVER");
    bool invisible = strcmp(driver, "offscreen") == 0 || strcmp(driver, "dummy") == 0;
    if (invisible && (requested == nullptr || requested[0] == '\0')) {
        SDL_SetError("no display found (is DISPLAY set to a running X server?)");
        return false;
    }
    return true;
}

static SDL_Surface* openWindow(int width, int height, char fullScreen)
{
    Uint32 flags = SDL_OPENGL | nuxWindowFlags(fullScreen);
    return SDL_SetVideoMode(width, height, 0, flags);
}

// In a build with the leak checker, marks every shared library loaded so far as never to be
// unloaded, before SDL unloads the GL driver and SDL 2 itself on quit. The checker reports at
// exit and names a leak by the libraries on its allocation stack; a library already unloaded has
// no name left, so the suppressions for the system's own leaks (which name those libraries)
// could not match and every clean quit would fail. Leaks of ours are never hidden by this.
static void keepLibrariesLoaded()
{
#if defined(NUX_LEAK_CHECKED)
    std::vector<std::string> names;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            if (info->dlpi_name && info->dlpi_name[0])
                static_cast<std::vector<std::string>*>(data)->emplace_back(info->dlpi_name);
            return 0;
        },
        &names);
    // Opened again outside the iteration, which holds the loader's list lock; the handles are
    // kept on purpose: RTLD_NODELETE is what keeps each library in place.
    for (const std::string& name : names)
        dlopen(name.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
#endif
}

// Writes the back buffer to screenshotPath as an RGB PNG, rows top first.
static void saveScreenshot()
{
    size_t size = (size_t)curXRes * (size_t)curYRes * 4;
    unsigned char* rgba = (unsigned char*)malloc(size);
    unsigned char* rgb = (unsigned char*)malloc((size_t)curXRes * (size_t)curYRes * 3);
    if (rgba && rgb && NUX_ReadFramePixels(rgba)) {
        for (size_t i = 0, n = (size_t)curXRes * (size_t)curYRes; i < n; i++)
            memcpy(rgb + i * 3, rgba + i * 4, 3);
        if (pngSave(screenshotPath, (uint32_t)curXRes, (uint32_t)curYRes, 3, rgb))
            screenshotsSaved++;
        else
            fprintf(stderr, "Could not write screenshot %s\n", screenshotPath);
    }
    free(rgba);
    free(rgb);
    screenshotPath[0] = '\0';
}

int nuxWindowHidden()
{
    return !NUX_IsVirtualClock() && !(SDL_GetAppState() & SDL_APPACTIVE);
}

// The frame period while resting, or 0 at full speed. The harness's virtual clock never rests.
static double restPeriod(int drawn)
{
    if (NUX_IsVirtualClock())
        return 0.0;
    if (!drawn)
        return MINIMISED_PERIOD;
    if (nuxGameMode() == MODE_GAME && nuxGamePaused())
        return PAUSED_PERIOD;
    return 0.0;
}

// Sleeps out a resting frame, waking early for a key, a gamepad button, a window event or a quit.
static void rest(double period)
{
#if defined(__EMSCRIPTEN__)
    // In a web page the browser rests a hidden page by itself; a resting frame is a frame.
    (void)period;
    nuxWebWaitForFrame();
#else
    const auto until =
        std::chrono::steady_clock::now() +
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(period));
    const auto poll =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(REST_POLL));
    const Uint32 wakers = SDL_KEYDOWNMASK | SDL_KEYUPMASK | SDL_ACTIVEEVENTMASK | SDL_QUITMASK | SDL_JOYBUTTONDOWNMASK |
                          SDL_JOYHATMOTIONMASK | SDL_VIDEOEXPOSEMASK;
    SDL_Event event;
    for (auto now = std::chrono::steady_clock::now(); now < until; now = std::chrono::steady_clock::now()) {
        SDL_PumpEvents();
        if (SDL_PeepEvents(&event, 1, SDL_PEEKEVENT, wakers) > 0)
            break;
        // Keys and window events come over the display's connection: the loop sleeps until something
        // arrives there. A gamepad's buttons come another way, and are looked for every few
        // milliseconds.
        const auto left = until - now;
        if (NUX_HasGamepad() || !nuxWaitForWindowEvent(std::chrono::duration<double>(left).count()))
            std::this_thread::sleep_for(left < poll ? left : poll);
    }
    pacingStarted = false;  // full speed starts counting again from the next frame
#endif
}

// Holds the loop to 60 frames per second. swapBlocked tells that the swap waited for the display
// (vertical sync): a frame that is then already nearly due is taken as paced by the display, and the
// schedule follows it, so a display a hair faster than 60 Hz never drifts into a skipped frame.
static void paceFrame(bool swapBlocked)
{
    if (NUX_IsVirtualClock())
        return;
#if defined(__EMSCRIPTEN__)
    // In a web page the browser paces the frames: the loop waits for its next display frame,
    // which also gives it its turn to paint and to deliver keys.
    (void)swapBlocked;
    nuxWebWaitForFrame();
    return;
#endif
    auto now = std::chrono::steady_clock::now();
    auto period =
        std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(FRAME_PERIOD));
    if (!pacingStarted || now > nextFrameDue + period * 6) {
        // First frame, or far behind (a stall, a slow load): start counting again from now.
        pacingStarted = true;
        nextFrameDue = now + period;
        return;
    }
    if (now < nextFrameDue) {
        if (swapBlocked && nextFrameDue - now < period / 4) {
            nextFrameDue = now + period;
            return;
        }
        std::this_thread::sleep_until(nextFrameDue);
    }
    nextFrameDue += period;
}

//---- Window and frame

void nuxSwapBuffers()
{
    SDL_GL_SwapBuffers();
}

int nuxScreenshotPending()
{
    return screenshotPath[0] != '\0';
}

void nuxFrameDone(int shown, const int* rect)
{
    const double resting = restPeriod(shown != NUX_FRAME_HIDDEN);
    if (shown == NUX_FRAME_HIDDEN) {
        rest(resting);
        return;
    }
    bool swapBlocked = false;
    if (shown == NUX_FRAME_DRAWN_PART && nuxPresentPart(rect)) {
        nuxGLPresented(1);
    } else if (shown != NUX_FRAME_UNCHANGED) {
        if (screenshotPath[0])
            saveScreenshot();
        auto swapStart = std::chrono::steady_clock::now();
        SDL_GL_SwapBuffers();
        swapBlocked = std::chrono::steady_clock::now() - swapStart > std::chrono::milliseconds(1);
        nuxGLPresented(0);
    }
    if (resting > 0.0)
        rest(resting);
    else
        paceFrame(swapBlocked);
}

int NUX_Init(int width, int height, char fullScreen, const char* caption)
{
#if !defined(__EMSCRIPTEN__)
    SDL_putenv((char*)"SDL_VIDEO_CENTERED=1");
#endif
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "Unable to initialize SDL: %s\n", SDL_GetError());
        return 0;
    }
    NUX_StartRealClock();
    if (!displayAvailable()) {
        fprintf(stderr, "Unable to initialize SDL: %s\n", SDL_GetError());
        SDL_Quit();
        return 0;
    }

    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
    // Nothing tests depth and the frame never clears it, but the window keeps the visual it had
    // with a depth buffer: without one the display offers another visual, whose multisampled edges
    // and colours come out a level apart.
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 6);
#if !defined(__EMSCRIPTEN__)
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);  // in a web page the browser paces the frames
#endif

    int openWidth = width, openHeight = height;
    nuxDesktopBeforeWindow(width, height, fullScreen, &openWidth, &openHeight);
    SDL_Surface* screen = openWindow(openWidth, openHeight, fullScreen);
    if (!screen) {
        // Many displays (and software GL) offer no 6-sample visual: smooth edges are a nicety.
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 0);
        SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 0);
        screen = openWindow(openWidth, openHeight, fullScreen);
    }
    if (!screen) {
        fprintf(stderr, "Unable to create OpenNUX screen: %s\n", SDL_GetError());
        SDL_Quit();
        return 0;
    }

    initFreeType();
    SDL_WM_SetCaption(caption, nullptr);
    nuxHasGL = 1;
    useDrawing(true);
    initNUX(screen->w, screen->h);
    nuxDesktopAfterWindow();

    modes = SDL_ListModes(nullptr, SDL_FULLSCREEN | SDL_OPENGL);
    num_video_modes = 0;
    if (modes != nullptr && modes != (SDL_Rect**)-1)
        while (modes[num_video_modes] != nullptr)
            num_video_modes++;
    return 1;
}

void NUX_InitHeadless(int width, int height)
{
    NUX_StartRealClock();
    initFreeType();
    nuxHasGL = 0;
    useDrawing(false);
    curXRes = width;
    curYRes = height;
}

void initNUX(int width, int height)
{
    NUX_SetClearColor(0.04f, 0.0688f, 0.09f, 0.0f);
    if (nuxHasGL) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glEnable(GL_BLEND);
    }
    resizeNUX(width, height);
}

void resizeNUX(int width, int height)
{
    curXRes = width;
    curYRes = height;
    if (!nuxHasGL)
        return;
    nuxGLFrameLost();
    nuxApplyPictureRect(width, height);
    glOrtho(0.0, LOGICAL_WIDTH, LOGICAL_HEIGHT, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
}

void NUX_SetVideoMode(int modeIndex, int fullScreen)
{
    if (!nuxHasGL || modeIndex < 0 || modeIndex >= num_video_modes)
        return;
    int w = modes[modeIndex]->w, h = modes[modeIndex]->h;
    openWindow(w, h, (char)fullScreen);
    initNUX(w, h);
}

int NUX_GetNumVideoModes()
{
    return num_video_modes;
}

int NUX_GetModeWidth(int modeIndex)
{
    return (modeIndex >= 0 && modeIndex < num_video_modes) ? modes[modeIndex]->w : 0;
}

int NUX_GetModeHeight(int modeIndex)
{
    return (modeIndex >= 0 && modeIndex < num_video_modes) ? modes[modeIndex]->h : 0;
}

int NUX_GetXRes()
{
    return curXRes;
}

int NUX_GetYRes()
{
    return curYRes;
}

void NUX_Shutdown()
{
    if (nuxHasGL) {
        keepLibrariesLoaded();
        SDL_Quit();
    }
    nuxHasGL = 0;
    useDrawing(false);
#if defined(__EMSCRIPTEN__)
    nuxWebQuit();
#endif
}

int NUX_GetTriangleCount()
{
    return lastTriangleCount;
}

void NUX_RequestScreenshot(const char* path)
{
    snprintf(screenshotPath, sizeof screenshotPath, "%s", path ? path : "");
}

int NUX_GetScreenshotsSaved()
{
    return screenshotsSaved;
}

//---- Sprites

void GL_RGBA_to_Float(float r, float g, float b, float a, float* out)
{
    out[0] = r / 255.0f;
    out[1] = g / 255.0f;
    out[2] = b / 255.0f;
    out[3] = a / 255.0f;
}

void NUX_InitSprite(Sprite* sprite)
{
    sprite->scaleX = 1.0f;
    sprite->scaleY = 1.0f;
    sprite->alpha = 100.0f;
    sprite->rotation = 0.0f;
    sprite->centered = 0;
    sprite->additive = 0;
    sprite->red = 1.0f;
    sprite->green = 1.0f;
    sprite->blue = 1.0f;
    sprite->draw = nullptr;
}

void NUX_SetSpriteColor(Sprite* sprite, float red, float green, float blue)
{
    sprite->red = red;
    sprite->green = green;
    sprite->blue = blue;
}

void NUX_SetSpritePosition(Sprite* sprite, float x, float y)
{
    sprite->x = x;
    sprite->y = y;
}

//---- The drawing backends

const NuxDrawOps* nuxDraw = &nuxNullDrawing;

static void useDrawing(bool window)
{
    nuxDraw = window ? &nuxGLDrawing : &nuxNullDrawing;
}

//---- Drawing, through the backend of this run

void NUX_SetClearColor(float red, float green, float blue, float alpha)
{
    nuxDraw->setClearColor(red, green, blue, alpha);
}

void NUX_BeginRender()
{
    nuxDraw->beginRender();
}

void NUX_EndRender()
{
    nuxDraw->endRender();
}

void NUX_PresentClearFrame()
{
    nuxDraw->presentClearFrame();
}

int NUX_ReadFramePixels(unsigned char* rgba)
{
    return nuxDraw->readFramePixels(rgba);
}

void NUX_DrawImage(Sprite* item)
{
    nuxDraw->drawImage(item);
}

void NUX_DrawEmptySprite(Sprite* item)
{
    nuxDraw->drawEmptySprite(item);
}

void NUX_DrawTintedImage(Image* image, float x, float y, float width, float height, float rotation, float red,
                         float green, float blue, float alpha)
{
    nuxDraw->drawTintedImage(image, x, y, width, height, rotation, red, green, blue, alpha);
}

void NUX_DrawZImage(Image* image, float, float, float, float, float, float z)
{
    nuxDraw->drawZImage(image, z);
}

void NUX_DrawRect(float x, float y, float width, float height, float red, float green, float blue, float alpha,
                  float rotation)
{
    nuxDraw->drawRect(x, y, width, height, red, green, blue, alpha, rotation);
}

void NUX_VerticalGradientRect(float x, float y, float width, float height, float r1, float g1, float b1, float a1,
                              float r2, float g2, float b2, float a2)
{
    const float one[4] = {r1, g1, b1, a1}, two[4] = {r2, g2, b2, a2};
    nuxDraw->gradientQuad(x, y, width, height, one, two, two, one);
}

void NUX_GradientRect(float x, float y, float width, float height, float r1, float g1, float b1, float a1, float r2,
                      float g2, float b2, float a2)
{
    const float one[4] = {r1, g1, b1, a1}, two[4] = {r2, g2, b2, a2};
    nuxDraw->gradientQuad(x, y, width, height, one, one, two, two);
}
