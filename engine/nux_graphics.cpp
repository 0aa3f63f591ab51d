// nux_graphics: the window and GL context, the fixed 2D projection, the frame bracket,
// the picture loader with its texture cache, and the immediate-mode sprite drawing.

#include "nux_graphics.h"
#include "nux_clock.h"
#include "nux_local.h"
#include "nux_modes.h"  // MODE_GAME: a paused game rests
#include "pngLoad.h"

#include <SDL.h>    // window, GL context, events
#include <GL/gl.h>  // fixed-function drawing
#include <ft2build.h>
#include FT_FREETYPE_H  // FT_Init_FreeType for the label renderer
#include <chrono>       // steady_clock, frame pacing
#include <cstdio>       // fprintf, snprintf
#include <cstdlib>      // calloc, malloc, free
#include <cmath>        // sinf, cosf, M_PI: turning quads
#include <cstring>      // strcmp, memset, memcpy
#include <thread>       // sleep_until, frame pacing
#include <vector>       // the pictures' parts

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

// How often a resting loop looks for events.
static const double REST_POLL = 0.005;

//---- State

int32_t curXRes = 0, curYRes = 0;
int32_t num_video_modes = 0;
int32_t lastTriangleCount = 0;
KWArray* imageEntries = nullptr;
int nuxHasGL = 0;
void* GL_FTLibrary = nullptr;

static SDL_Rect** modes = nullptr;
static char screenshotPath[1024];
static std::chrono::steady_clock::time_point nextFrameDue;
static bool pacingStarted = false;
static bool frameHidden = false;   // this frame draws nothing: the window is minimised
static int32_t drawCallCount = 0;  // draws sent since the frame began

//---- Helpers

// Chooses the drawing backend: GL once a window with its context is open, null otherwise.
static void useDrawing(bool window);
static void batchDiscard();

static float clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

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
    Uint32 flags = SDL_OPENGL | (fullScreen ? SDL_FULLSCREEN : 0);
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
        if (!pngSave(screenshotPath, (uint32_t)curXRes, (uint32_t)curYRes, 3, rgb))
            fprintf(stderr, "Could not write screenshot %s\n", screenshotPath);
    }
    free(rgba);
    free(rgb);
    screenshotPath[0] = '\0';
}

// 1 when the window is minimised (on the real clock only: the harness always draws).
static bool windowHidden()
{
    return !NUX_IsVirtualClock() && !(SDL_GetAppState() & SDL_APPACTIVE);
}

// The frame period while resting, or 0 at full speed. The harness's virtual clock never rests.
static double restPeriod()
{
    if (NUX_IsVirtualClock())
        return 0.0;
    if (frameHidden)
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
        std::this_thread::sleep_for(until - now < poll ? until - now : poll);
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
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);  // overlap is draw order alone: no depth buffer
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

static void glSetClearColor(float red, float green, float blue, float alpha)
{
    glClearColor(red, green, blue, alpha);
}

static void glBeginRender()
{
    nuxGLFlush();  // anything drawn outside a frame goes out before the clear, as it was drawn
    frameHidden = windowHidden();
    if (frameHidden)
        return;
    nuxClearBars();
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    lastTriangleCount = 0;
    drawCallCount = 0;
}

static void glEndRender()
{
    const double resting = restPeriod();
    if (frameHidden) {
        batchDiscard();
        frameHidden = false;
        rest(resting);
        return;
    }
    nuxGLFlush();
    glFinish();
    if (screenshotPath[0])
        saveScreenshot();
    auto swapStart = std::chrono::steady_clock::now();
    SDL_GL_SwapBuffers();
    if (resting > 0.0)
        rest(resting);
    else
        paceFrame(std::chrono::steady_clock::now() - swapStart > std::chrono::milliseconds(1));
}

static void glPresentClearFrame()
{
    nuxGLFlush();
    nuxClearBars();
    glClear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapBuffers();
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

int NUX_GetDrawCallCount()
{
    return drawCallCount;
}

void NUX_RequestScreenshot(const char* path)
{
    snprintf(screenshotPath, sizeof screenshotPath, "%s", path ? path : "");
}

static int glReadFramePixels(unsigned char* rgba)
{
    nuxGLFlush();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    size_t rowBytes = (size_t)curXRes * 4;
    glReadPixels(0, 0, curXRes, curYRes, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    // GL hands the rows bottom first; flip them so row 0 is the top of the screen.
    unsigned char* tmp = (unsigned char*)malloc(rowBytes);
    if (!tmp)
        return 0;
    for (int32_t y = 0; y < curYRes / 2; y++) {
        unsigned char* a = rgba + (size_t)y * rowBytes;
        unsigned char* b = rgba + (size_t)(curYRes - 1 - y) * rowBytes;
        memcpy(tmp, a, rowBytes);
        memcpy(a, b, rowBytes);
        memcpy(b, tmp, rowBytes);
    }
    free(tmp);
    return 1;
}

//---- Pictures

uint32_t nextPowerofTwo(uint32_t v)
{
    v--;
    v |= v >> 1;
    v |= v >> 2;
    v |= v >> 4;
    v |= v >> 8;
    v |= v >> 16;
    return v + 1;
}

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

Image* NUX_MakeImageFromExisting(ImageEntry* entry)
{
    Image* image = (Image*)calloc(1, sizeof(Image));
    image->pixelWidth = entry->width;
    image->pixelHeight = entry->height;
    image->texture = entry->texture;
    image->textureSize = entry->textureSize;
    image->part = entry->part;
    image->sprite.width = (float)entry->width;
    image->sprite.height = (float)entry->height;
    NUX_InitSprite(&image->sprite);
    return image;
}

// The parts handed out so far: part n is pictureParts[n - 1]. Made while the scenes load.
static std::vector<NuxPicturePart> pictureParts;

const NuxPicturePart* nuxPicturePart(uint32_t part)
{
    return part >= 1 && part <= pictureParts.size() ? &pictureParts[part - 1] : nullptr;
}

// A decoded picture seen as it lies in its padded square of side T: texel (col, row), row 0 at the
// top, is the picture's pixel inside its top-left w x h corner and transparent black elsewhere.
// kept is the rectangle [left, right) x [top, bottom) of the square that can show.
struct Decoded {
    unsigned char* pixels;  // w x h RGBA, bottom row first (as pngLoad gives them); null when empty
    uint32_t w, h, T;
    uint32_t left, top, right, bottom;
    bool visible;  // some texel has alpha
};

static const unsigned char* squareTexel(const Decoded& d, int64_t col, int64_t row)
{
    static const unsigned char CLEAR[4] = {0, 0, 0, 0};
    if (col < 0 || row < 0 || col >= (int64_t)d.w || row >= (int64_t)d.h)
        return CLEAR;
    return d.pixels + ((size_t)(d.h - 1 - (uint32_t)row) * d.w + (size_t)col) * 4;
}

// Finds what can show: every texel with some alpha, and one texel around them, whose colour the
// linear filter blends into the picture's edge. Beyond that every texel the filter can reach is
// fully transparent, so nothing drawn there could change the screen.
static void findKept(Decoded* d)
{
    uint32_t x0 = d->w, y0 = d->h, x1 = 0, y1 = 0;
    for (uint32_t row = 0; row < d->h && d->pixels; row++) {
        const unsigned char* line = squareTexel(*d, 0, row);
        uint32_t first = 0, last = d->w;
        while (first < d->w && line[first * 4 + 3] == 0)
            first++;
        if (first == d->w)
            continue;
        while (line[(last - 1) * 4 + 3] == 0)
            last--;
        x0 = first < x0 ? first : x0;
        x1 = last > x1 ? last : x1;
        y0 = row < y0 ? row : y0;
        y1 = row + 1;
    }
    d->visible = x1 > 0;
    if (!d->visible)
        return;
    d->left = x0 > 0 ? x0 - 1 : 0;
    d->top = y0 > 0 ? y0 - 1 : 0;
    d->right = x1 + 1 < d->T ? x1 + 1 : d->T;
    d->bottom = y1 + 1 < d->T ? y1 + 1 : d->T;
}

// Copies the square's texels of columns [col0, col0 + width) and rows [row0, row0 + height) into
// out (rowStride texels a row), bottom row first, as GL takes them. Coordinates outside the square
// take its nearest edge texel, as the padded square's clamped edges did.
static void copySquare(const Decoded& d, int64_t col0, int64_t row0, uint32_t width, uint32_t height,
                       unsigned char* out, size_t rowStride)
{
    const int64_t last = (int64_t)d.T - 1;
    for (uint32_t i = 0; i < height; i++) {
        int64_t row = row0 + (int64_t)(height - 1 - i);
        row = row < 0 ? 0 : (row > last ? last : row);
        unsigned char* dst = out + (size_t)i * rowStride * 4;
        for (uint32_t j = 0; j < width; j++) {
            int64_t col = col0 + (int64_t)j;
            col = col < 0 ? 0 : (col > last ? last : col);
            memcpy(dst + (size_t)j * 4, squareTexel(d, col, row), 4);
        }
    }
}

static uint32_t addPart(const NuxPicturePart& part)
{
    pictureParts.push_back(part);
    return (uint32_t)pictureParts.size();
}

// The longest picture side this run loads: the largest texture the context allows, within the
// loader's fixed bound (which alone applies headless). Asked of the context once.
static uint32_t pictureSideLimit()
{
    static GLint contextMax = 0;
    if (!nuxHasGL)
        return PNGLOAD_MAX_SIDE;
    if (contextMax <= 0)
        glGetIntegerv(GL_MAX_TEXTURE_SIZE, &contextMax);
    if (contextMax <= 0)
        return PNGLOAD_MAX_SIDE;
    return (uint32_t)contextMax < PNGLOAD_MAX_SIDE ? (uint32_t)contextMax : PNGLOAD_MAX_SIDE;
}

// Decodes the file into d, with its square's side; an unreadable file gives the empty picture
// (0 x 0, side 0) and is noted as missing.
static void decodePicture(const char* path, Decoded* d)
{
    *d = {};
    if (pngLoad(path, &d->w, &d->h, &d->pixels, pictureSideLimit()) != PNGLOAD_OK) {
        d->w = d->h = 0;
        d->pixels = nullptr;
        nuxNoteMissingFile(path);
    }
    uint32_t T = d->w > d->h ? d->w : d->h;
    if (T & (T - 1))
        T = nextPowerofTwo(T);
    d->T = T;
    if (nuxHasGL)
        findKept(d);
}

static ImageEntry* addEntry(const char* path, const Decoded& d, uint32_t texture, uint32_t part)
{
    if (!imageEntries)
        imageEntries = KWArray_Create((int32_t)sizeof(ImageEntry));
    ImageEntry* entry = (ImageEntry*)KWArray_CreateElement(imageEntries);
    entry->height = d.h;
    entry->width = d.w;
    entry->textureSize = d.T;
    entry->texture = texture;
    entry->part = part;
    entry->name = KWString_Create(path);
    return entry;
}

static ImageEntry* findEntry(const char* path)
{
    for (int32_t i = 0; imageEntries && i < imageEntries->count; i++) {
        ImageEntry* entry = (ImageEntry*)imageEntries->items[i];
        if (strcmp(entry->name->text, path) == 0)
            return entry;
    }
    return nullptr;
}

// Nothing of the picture can show: drawn as nothing, from no texture.
static const NuxPicturePart NOTHING_SHOWN = {0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};

// Loads one picture into a texture of its own, holding just the rectangle that can show.
static ImageEntry* loadEntry(const char* path)
{
    Decoded d;
    decodePicture(path, &d);
    const uint32_t width = d.visible ? d.right - d.left : 0, height = d.visible ? d.bottom - d.top : 0;
    unsigned char* texels = d.visible ? (unsigned char*)malloc((size_t)width * height * 4) : nullptr;
    if (texels)
        copySquare(d, d.left, d.top, width, height, texels, width);
    const uint32_t texture = nuxDraw->makePictureTexture(texels, width, height);
    const uint32_t part = addPart(texels ? NuxPicturePart{texture, (float)d.left, (float)d.top, (float)d.right,
                                                          (float)d.bottom, 0.0f, 1.0f, 1.0f, 0.0f}
                                         : NOTHING_SHOWN);
    free(texels);
    free(d.pixels);
    return addEntry(path, d, texture, part);
}

Image* NUX_LoadImage(const char* path)
{
    ImageEntry* entry = findEntry(path);
    return NUX_MakeImageFromExisting(entry ? entry : loadEntry(path));
}

void NUX_LoadImageSet(const char* const* paths, int count)
{
    std::vector<Decoded> set;
    std::vector<const char*> names;
    for (int i = 0; paths && i < count; i++) {
        bool again = !paths[i] || findEntry(paths[i]);
        for (const char* name : names)
            again = again || strcmp(name, paths[i]) == 0;
        if (again)
            continue;
        Decoded d;
        decodePicture(paths[i], &d);
        set.push_back(d);
        names.push_back(paths[i]);
    }
    // Each shown rectangle sits in the shared texture with a border of the texels around it (its
    // margin, or its own edge repeated where it meets the square's edge), so that filtering at its
    // edges reads what it would read in a texture of its own. Side by side, along the bottom.
    uint64_t width = 0, height = 0;
    for (const Decoded& d : set)
        if (d.visible) {
            width += d.right - d.left + 2;
            const uint64_t h = d.bottom - d.top + 2;
            height = h > height ? h : height;
        }
    unsigned char* texels = nullptr;
    if (width > 0 && width <= pictureSideLimit() && height <= pictureSideLimit())
        texels = (unsigned char*)calloc((size_t)(width * height), 4);
    const bool shared = texels != nullptr;
    std::vector<uint32_t> columns(set.size(), 0);
    uint32_t x = 0;
    for (size_t i = 0; i < set.size() && texels; i++) {
        const Decoded& d = set[i];
        if (!d.visible)
            continue;
        const uint32_t w = d.right - d.left, h = d.bottom - d.top;
        copySquare(d, (int64_t)d.left - 1, (int64_t)d.top - 1, w + 2, h + 2, texels + (size_t)x * 4, width);
        columns[i] = x;
        x += w + 2;
    }
    const uint32_t texture = texels ? nuxDraw->makePictureTexture(texels, (uint32_t)width, (uint32_t)height) : 0;
    free(texels);
    for (size_t i = 0; i < set.size(); i++) {
        Decoded& d = set[i];
        free(d.pixels);
        if (!shared || !d.visible) {  // too large to share, or nothing to show: on its own
            loadEntry(names[i]);
            continue;
        }
        const uint32_t w = d.right - d.left, h = d.bottom - d.top;
        const float W = (float)width, H = (float)height, s = (float)(columns[i] + 1);
        const uint32_t part = addPart({texture, (float)d.left, (float)d.top, (float)d.right, (float)d.bottom, s / W,
                                       (float)(h + 1) / H, (s + (float)w) / W, 1.0f / H});
        addEntry(names[i], d, texture, part);
    }
}

// A texture of width x height texels (none when texels is null), filtered linearly with clamped
// edges: its name. Pictures of any size are taken as they are (every driver the game runs on
// takes sides that are not powers of two).
static unsigned int glMakePictureTexture(const unsigned char* texels, uint32_t width, uint32_t height)
{
    nuxGLFlush();
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    if (texels) {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, (GLsizei)width, (GLsizei)height, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    }
    return name;
}

//---- Drawing

// One corner of a quad as the GL set sends it.
struct QuadVertex {
    float x, y;
    float s, t;
    float red, green, blue, alpha;
};

// Quads gathered for one draw: every one of them with the same texture and blending. Each quad is
// two triangles, (0, 1, 3) and (1, 2, 3) of its corners clockwise from the top left, the way the
// GL splits a quad of its own.
static const int BATCH_QUADS = 1024;
static QuadVertex batch[BATCH_QUADS * 6];
static int batchVertices = 0;
static unsigned int batchTexture = 0;
static int batchAdditive = 0;

// Drops the quads gathered so far: a minimised window draws nothing.
static void batchDiscard()
{
    batchVertices = 0;
}

void nuxGLFlush()
{
    if (batchVertices == 0)
        return;
    if (frameHidden) {
        batchDiscard();
        return;
    }
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(2, GL_FLOAT, sizeof(QuadVertex), &batch[0].x);
    glTexCoordPointer(2, GL_FLOAT, sizeof(QuadVertex), &batch[0].s);
    glColorPointer(4, GL_FLOAT, sizeof(QuadVertex), &batch[0].red);
    if (batchTexture) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, batchTexture);
    }
    if (batchAdditive)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDrawArrays(GL_TRIANGLES, 0, batchVertices);
    drawCallCount++;
    if (batchAdditive)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (batchTexture)
        glDisable(GL_TEXTURE_2D);
    batchVertices = 0;
}

// Adds one quad: corners xy (four x, y pairs clockwise from the top left), with their texture
// coordinates st and colours rgba (four each).
static void batchQuad(unsigned int texture, int additive, const float* xy, const float* st, const float* rgba)
{
    if (batchVertices > 0 && (texture != batchTexture || additive != batchAdditive))
        nuxGLFlush();
    if (batchVertices + 6 > BATCH_QUADS * 6)
        nuxGLFlush();
    batchTexture = texture;
    batchAdditive = additive;
    lastTriangleCount += 2;
    static const int ORDER[6] = {0, 1, 3, 1, 2, 3};
    for (int corner : ORDER) {
        QuadVertex& v = batch[batchVertices++];
        v.x = xy[corner * 2];
        v.y = xy[corner * 2 + 1];
        v.s = st[corner * 2];
        v.t = st[corner * 2 + 1];
        v.red = rgba[corner * 4];
        v.green = rgba[corner * 4 + 1];
        v.blue = rgba[corner * 4 + 2];
        v.alpha = rgba[corner * 4 + 3];
    }
}

// The corners of the local rectangle (left, top)-(right, bottom) turned by rotation degrees and
// moved to (x, y), as the GL's own rotation and translation would place them.
static void placeCorners(float x, float y, float rotation, float left, float top, float right, float bottom, float* xy)
{
    const float local[8] = {left, top, right, top, right, bottom, left, bottom};
    if (rotation == 0.0f) {
        for (int i = 0; i < 4; i++) {
            xy[i * 2] = x + local[i * 2];
            xy[i * 2 + 1] = y + local[i * 2 + 1];
        }
        return;
    }
    const float s = sinf((float)(rotation * M_PI / 180.0)), c = cosf((float)(rotation * M_PI / 180.0));
    for (int i = 0; i < 4; i++) {
        const float lx = local[i * 2], ly = local[i * 2 + 1];
        xy[i * 2] = x + (c * lx - s * ly);
        xy[i * 2 + 1] = y + (s * lx + c * ly);
    }
}

static void spreadColor(float red, float green, float blue, float alpha, float* rgba)
{
    const float one[4] = {clamp01(red), clamp01(green), clamp01(blue), clamp01(alpha)};
    for (int i = 0; i < 4; i++)
        memcpy(rgba + i * 4, one, sizeof one);
}

void nuxGLSpriteQuad(const Sprite* item, unsigned int texture, int additive, float left, float top, float right,
                     float bottom, float s0, float t0, float s1, float t1)
{
    float xy[8], rgba[16];
    const float st[8] = {s0, t0, s1, t0, s1, t1, s0, t1};
    placeCorners(item->x, item->y, item->rotation, left, top, right, bottom, xy);
    spreadColor(item->red, item->green, item->blue, item->alpha, rgba);
    batchQuad(texture, additive, xy, st, rgba);
}

// Draws the picture as its sprite places it, width x height being the size its padded square of
// side T would take (the quad of the whole square, as the picture is laid out in it).
static void drawPicture(const Image* image, const Sprite* place, float ox, float oy, float squareWidth,
                        float squareHeight, int additive)
{
    const NuxPicturePart* part = nuxPicturePart(image->part);
    if (!part) {  // a picture the cache did not make: its whole texture, as a padded square
        nuxGLSpriteQuad(place, image->texture, additive, ox, oy, ox + squareWidth, oy + squareHeight, 0.0f, 1.0f, 1.0f,
                        0.0f);
        return;
    }
    if (part->texture == 0 || image->textureSize == 0)
        return;
    const float sx = squareWidth / (float)image->textureSize, sy = squareHeight / (float)image->textureSize;
    nuxGLSpriteQuad(place, part->texture, additive, ox + part->left * sx, oy + part->top * sy, ox + part->right * sx,
                    oy + part->bottom * sy, part->s0, part->t0, part->s1, part->t1);
}

static void glDrawImage(Sprite* item)
{
    Image* image = (Image*)item;
    if (item->alpha < 0.001f)
        return;
    if (item->x - item->width * item->scaleX > (float)curXRes || item->x + item->width * item->scaleX < 0.0f ||
        item->y - item->height > (float)curYRes || item->y + item->height * item->scaleY < 0.0f)
        return;
    const float T = (float)image->textureSize;
    float ox = 0.0f, oy = 0.0f;
    if (item->centered == 1) {
        ox = -(float)image->pixelWidth * item->scaleX / 2.0f;
        oy = -(float)image->pixelHeight * item->scaleY / 2.0f;
    }
    drawPicture(image, item, ox, oy, T * item->scaleX, T * item->scaleY, item->additive == 1);
}

static void glDrawEmptySprite(Sprite* item)
{
    if (item->alpha <= 0.0f)
        return;
    float ox = 0.0f, oy = 0.0f;
    if (item->centered == 1) {
        ox = -item->width / 2.0f;
        oy = -item->height / 2.0f;
    }
    const float w = item->width * item->scaleX, h = item->height * item->scaleY;
    nuxGLSpriteQuad(item, 0, item->additive == 1, ox, oy, ox + w, oy + h, 0.0f, 0.0f, 0.0f, 0.0f);
}

// A sprite record carrying only a place, a turn and a colour (0..255), for the direct drawings.
static Sprite placed(float x, float y, float rotation, float red, float green, float blue, float alpha)
{
    Sprite place = {};
    place.x = x;
    place.y = y;
    place.rotation = rotation;
    float c[4];
    GL_RGBA_to_Float(red, green, blue, alpha, c);
    place.red = c[0];
    place.green = c[1];
    place.blue = c[2];
    place.alpha = c[3];
    return place;
}

static void glDrawTintedImage(Image* image, float x, float y, float width, float height, float rotation, float red,
                              float green, float blue, float alpha)
{
    const Sprite place = placed(x, y, rotation, red, green, blue, alpha);
    drawPicture(image, &place, 0.0f, 0.0f, width, height, 0);
}

static void glDrawZImage(Image* image, float z)
{
    // Depth only matters to the clipping of the 2D projection, which keeps -1 to 1.
    if (z >= -1.0f && z <= 1.0f)
        glDrawImage(&image->sprite);
}

static void glDrawRect(float x, float y, float width, float height, float red, float green, float blue, float alpha,
                       float rotation)
{
    const Sprite place = placed(x, y, rotation, red, green, blue, alpha);
    nuxGLSpriteQuad(&place, 0, 0, 0.0f, 0.0f, width, height, 0.0f, 0.0f, 0.0f, 0.0f);
}

// One quad whose four corners take colours a, b, c, d (0..255) in the order given.
static void glGradientQuad(float x, float y, float width, float height, const float* a, const float* b, const float* c,
                           const float* d)
{
    float xy[8], rgba[16];
    const float st[8] = {0.0f};
    placeCorners(x, y, 0.0f, 0.0f, 0.0f, width, height, xy);
    const float* corners[4] = {a, b, c, d};
    for (int i = 0; i < 4; i++) {
        float f[4];
        GL_RGBA_to_Float(corners[i][0], corners[i][1], corners[i][2], corners[i][3], f);
        for (int k = 0; k < 4; k++)
            rgba[i * 4 + k] = clamp01(f[k]);
    }
    batchQuad(0, 0, xy, st, rgba);
}

//---- The drawing backends

// Headless, and after the window is gone: nothing is drawn, and no frame can be read.
static void nullClearColor(float, float, float, float) {}
static void nullFrame() {}
static int nullReadFramePixels(unsigned char*)
{
    return 0;
}
static void nullDrawSprite(Sprite*) {}
static void nullDrawTintedImage(Image*, float, float, float, float, float, float, float, float, float) {}
static void nullDrawZImage(Image*, float) {}
static void nullDrawRect(float, float, float, float, float, float, float, float, float) {}
static void nullGradientQuad(float, float, float, float, const float*, const float*, const float*, const float*) {}
static unsigned int nullMakePictureTexture(const unsigned char*, uint32_t, uint32_t)
{
    return 0;
}
static unsigned int nullLabelTexture(int, unsigned int texture, const unsigned char*, int, int)
{
    return texture;
}

static const NuxDrawOps NULL_DRAWING = {
    .setClearColor = nullClearColor,
    .beginRender = nullFrame,
    .endRender = nullFrame,
    .presentClearFrame = nullFrame,
    .readFramePixels = nullReadFramePixels,
    .drawImage = nullDrawSprite,
    .drawEmptySprite = nullDrawSprite,
    .drawLabel = nullDrawSprite,
    .drawTintedImage = nullDrawTintedImage,
    .drawZImage = nullDrawZImage,
    .drawRect = nullDrawRect,
    .gradientQuad = nullGradientQuad,
    .makePictureTexture = nullMakePictureTexture,
    .labelTexture = nullLabelTexture,
};

static const NuxDrawOps GL_DRAWING = {
    .setClearColor = glSetClearColor,
    .beginRender = glBeginRender,
    .endRender = glEndRender,
    .presentClearFrame = glPresentClearFrame,
    .readFramePixels = glReadFramePixels,
    .drawImage = glDrawImage,
    .drawEmptySprite = glDrawEmptySprite,
    .drawLabel = nuxGLDrawLabel,
    .drawTintedImage = glDrawTintedImage,
    .drawZImage = glDrawZImage,
    .drawRect = glDrawRect,
    .gradientQuad = glGradientQuad,
    .makePictureTexture = glMakePictureTexture,
    .labelTexture = nuxGLLabelTexture,
};

const NuxDrawOps* nuxDraw = &NULL_DRAWING;

static void useDrawing(bool window)
{
    nuxDraw = window ? &GL_DRAWING : &NULL_DRAWING;
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
