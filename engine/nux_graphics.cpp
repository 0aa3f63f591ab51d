// nux_graphics: the window and GL context, the fixed 2D projection, the frame bracket,
// the picture loader with its texture cache, and the immediate-mode sprite drawing.

#include "nux_graphics.h"
#include "nux_clock.h"
#include "nux_local.h"
#include "pngLoad.h"

#include <SDL.h>    // window, GL context, events
#include <GL/gl.h>  // fixed-function drawing
#include <ft2build.h>
#include FT_FREETYPE_H  // FT_Init_FreeType for the label renderer
#include <chrono>       // steady_clock, frame pacing
#include <cstdio>       // fprintf, snprintf
#include <cstdlib>      // calloc, malloc, free
#include <cstring>      // strcmp, memset, memcpy
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

//---- Helpers

// Chooses the drawing backend: GL once a window with its context is open, null otherwise.
static void useDrawing(bool window);

static float clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

void nuxSetColor(float r, float g, float b, float a)
{
    glColor4f(clamp01(r), clamp01(g), clamp01(b), clamp01(a));
}

void nuxTexturedQuad(float x, float y, float width, float height, int topRowFirst)
{
    const float top = topRowFirst ? 0.0f : 1.0f, bottom = 1.0f - top;
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, top);
    glVertex2f(x, y);
    glTexCoord2f(1.0f, top);
    glVertex2f(x + width, y);
    glTexCoord2f(1.0f, bottom);
    glVertex2f(x + width, y + height);
    glTexCoord2f(0.0f, bottom);
    glVertex2f(x, y + height);
    glEnd();
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
    nuxClearBars();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

static void glEndRender()
{
    glFinish();
    if (screenshotPath[0])
        saveScreenshot();
    auto swapStart = std::chrono::steady_clock::now();
    SDL_GL_SwapBuffers();
    paceFrame(std::chrono::steady_clock::now() - swapStart > std::chrono::milliseconds(1));
}

static void glPresentClearFrame()
{
    nuxClearBars();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
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

void NUX_RequestScreenshot(const char* path)
{
    snprintf(screenshotPath, sizeof screenshotPath, "%s", path ? path : "");
}

static int glReadFramePixels(unsigned char* rgba)
{
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
    image->sprite.width = (float)entry->width;
    image->sprite.height = (float)entry->height;
    NUX_InitSprite(&image->sprite);
    return image;
}

// Builds the T x T texture: the picture in the top-left w x h corner as drawn (its top row in
// texel row T - 1, since pictures are drawn with texture row 1 at the top), transparent elsewhere.
static unsigned char* padTexture(const unsigned char* pixels, uint32_t w, uint32_t h, uint32_t T)
{
    unsigned char* padded = (unsigned char*)calloc((size_t)T * T, 4);
    if (!padded)
        return nullptr;
    const size_t rowBytes = (size_t)w * 4;
    const unsigned char* src = pixels + rowBytes * h;  // the decoded buffer's end: the picture's top row
    for (uint32_t i = 0; i < h; i++) {
        src -= rowBytes;
        memcpy(padded + (size_t)(T - 1 - i) * T * 4, src, rowBytes);
    }
    return padded;
}

// A texture of side T holding the picture (none when pixels is null): its name.
static unsigned int glMakePictureTexture(const unsigned char* pixels, uint32_t w, uint32_t h, uint32_t T)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    unsigned char* padded = pixels ? padTexture(pixels, w, h, T) : nullptr;
    if (padded)
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, (GLsizei)T, (GLsizei)T, 0, GL_RGBA, GL_UNSIGNED_BYTE, padded);
    free(padded);
    return name;
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

Image* NUX_LoadImage(const char* path)
{
    if (!imageEntries)
        imageEntries = KWArray_Create((int32_t)sizeof(ImageEntry));
    for (int32_t i = 0; i < imageEntries->count; i++) {
        ImageEntry* entry = (ImageEntry*)imageEntries->items[i];
        if (strcmp(entry->name->text, path) == 0)
            return NUX_MakeImageFromExisting(entry);
    }

    Image* image = (Image*)calloc(1, sizeof(Image));
    unsigned char* pixels = nullptr;
    uint32_t w = 0, h = 0;
    if (pngLoad(path, &w, &h, &pixels, pictureSideLimit()) != PNGLOAD_OK) {
        // The empty picture: no texels, nothing shows, cached like any other.
        w = h = 0;
        pixels = nullptr;
        nuxNoteMissingFile(path);
    }
    uint32_t T = w > h ? w : h;
    if (T & (T - 1))
        T = nextPowerofTwo(T);

    image->pixelWidth = w;
    image->pixelHeight = h;
    image->textureSize = T;
    image->texture = nuxDraw->makePictureTexture(pixels, w, h, T);
    free(pixels);

    NUX_InitSprite(&image->sprite);
    image->sprite.width = (float)w;
    image->sprite.height = (float)h;

    ImageEntry* entry = (ImageEntry*)KWArray_CreateElement(imageEntries);
    entry->height = h;
    entry->width = w;
    entry->textureSize = T;
    entry->texture = image->texture;
    entry->name = KWString_Create(path);
    return image;
}

//---- Drawing

static void glDrawImage(Sprite* item)
{
    Image* image = (Image*)item;
    if (item->alpha < 0.001f)
        return;
    if (item->x - item->width * item->scaleX > (float)curXRes || item->x + item->width * item->scaleX < 0.0f ||
        item->y - item->height > (float)curYRes || item->y + item->height * item->scaleY < 0.0f)
        return;

    if (item->additive == 1)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glPushMatrix();
    nuxSetColor(item->red, item->green, item->blue, item->alpha);
    glTranslatef(item->x, item->y, 0.0f);
    glRotatef(item->rotation, 0.0f, 0.0f, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, image->texture);

    const float T = (float)image->textureSize;
    float ox = 0.0f, oy = 0.0f;
    if (item->centered == 1) {
        ox = -(float)image->pixelWidth * item->scaleX / 2.0f;
        oy = -(float)image->pixelHeight * item->scaleY / 2.0f;
    }
    nuxTexturedQuad(ox, oy, T * item->scaleX, T * item->scaleY, 0);

    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
    if (item->additive != 0)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

static void glDrawEmptySprite(Sprite* item)
{
    nuxSetColor(item->red, item->green, item->blue, item->alpha);
    if (item->alpha <= 0.0f)
        return;
    if (item->additive == 1)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glPushMatrix();
    glTranslatef(item->x, item->y, 0.0f);
    glRotatef(item->rotation, 0.0f, 0.0f, 1.0f);

    float ox = 0.0f, oy = 0.0f;
    if (item->centered == 1) {
        ox = -item->width / 2.0f;
        oy = -item->height / 2.0f;
    }
    const float w = item->width * item->scaleX, h = item->height * item->scaleY;
    glBegin(GL_QUADS);
    glVertex2f(ox, oy);
    glVertex2f(ox + w, oy);
    glVertex2f(ox + w, oy + h);
    glVertex2f(ox, oy + h);
    glEnd();

    glPopMatrix();
    if (item->additive != 0)
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

static void glDrawTintedImage(Image* image, float x, float y, float width, float height, float rotation, float red,
                              float green, float blue, float alpha)
{
    float c[4];
    GL_RGBA_to_Float(red, green, blue, alpha, c);
    nuxSetColor(c[0], c[1], c[2], c[3]);
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, image->texture);
    glRotatef(rotation, 0.0f, 0.0f, 1.0f);
    nuxTexturedQuad(0.0f, 0.0f, width, height, 0);
    glPopMatrix();
    glDisable(GL_TEXTURE_2D);
}

static void glDrawZImage(Image* image, float z)
{
    glPushMatrix();
    glTranslatef(0.0f, 0.0f, z);
    NUX_DrawImage(&image->sprite);
    glPopMatrix();
}

static void glDrawRect(float x, float y, float width, float height, float red, float green, float blue, float alpha,
                       float rotation)
{
    float c[4];
    GL_RGBA_to_Float(red, green, blue, alpha, c);
    nuxSetColor(c[0], c[1], c[2], c[3]);
    glPushMatrix();
    glTranslatef(x, y, 0.0f);
    glRotatef(rotation, 0.0f, 0.0f, 1.0f);
    glBegin(GL_QUADS);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(width, 0.0f);
    glVertex2f(width, height);
    glVertex2f(0.0f, height);
    glEnd();
    glPopMatrix();
}

// One quad whose four corners take colours a, b, c, d (0..255) in the order given.
static void glGradientQuad(float x, float y, float width, float height, const float* a, const float* b, const float* c,
                           const float* d)
{
    float ca[4], cb[4], cc[4], cd[4];
    GL_RGBA_to_Float(a[0], a[1], a[2], a[3], ca);
    GL_RGBA_to_Float(b[0], b[1], b[2], b[3], cb);
    GL_RGBA_to_Float(c[0], c[1], c[2], c[3], cc);
    GL_RGBA_to_Float(d[0], d[1], d[2], d[3], cd);
    glBegin(GL_QUADS);
    nuxSetColor(ca[0], ca[1], ca[2], ca[3]);
    glVertex2f(x, y);
    nuxSetColor(cb[0], cb[1], cb[2], cb[3]);
    glVertex2f(x + width, y);
    nuxSetColor(cc[0], cc[1], cc[2], cc[3]);
    glVertex2f(x + width, y + height);
    nuxSetColor(cd[0], cd[1], cd[2], cd[3]);
    glVertex2f(x, y + height);
    glEnd();
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
static unsigned int nullMakePictureTexture(const unsigned char*, uint32_t, uint32_t, uint32_t)
{
    return 0;
}
static unsigned int nullReplaceLabelTexture(int, unsigned int texture, const unsigned char*, int)
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
    .replaceLabelTexture = nullReplaceLabelTexture,
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
    .replaceLabelTexture = nuxGLReplaceLabelTexture,
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
