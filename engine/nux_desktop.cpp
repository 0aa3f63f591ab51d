// nux_desktop: the window as a desktop game keeps it: its icon, its size fitted to the screen,
// resizing and full-screen switching with a letterboxed picture, the pause when the player leaves
// the window during play, and the gamepad's buttons turned into the game's keys.

#include "nux_desktop.h"
#include "nux_files.h"  // the pack's icon
#include "nux_input.h"
#include "nux_local.h"  // the game's hooks: the pause on focus loss
#include "nux_modes.h"  // MODE_GAME, the only mode that pauses

#include "pngLoad.h"  // the icon's pixels

#include <SDL.h>    // video mode, joystick, active events
#include <GL/gl.h>  // viewport, scissor, the bars' clear
#include <cmath>    // floorf, ceilf: a changed part in window pixels
#include <cstdlib>  // free
#include <cstring>  // memcpy

//---- Constants

// A stick counts as pushed past half its travel; a little less lets go, so it never chatters.
static const int STICK_PRESS = 16384;
static const int STICK_RELEASE = 12000;

// The window's icon in the pack: the desktop icon at 128 px.
static const char* ICON_FILE = "data/icon.png";
static const uint32_t ICON_MAX_SIDE = 512;

// Room kept for a window manager's title bar and frame when the work area is too small for the
// window: their size is not known before the window is shown.
static const int FRAME_ALLOWANCE = 56;
// The smallest window opened, however small the screen.
static const int SMALLEST_WIDTH = 320;

// Buttons as the Linux joystick driver numbers the common (Xbox-style) pads: A, Back, Start.
static const int BUTTON_SWOOP = 0;
static const int BUTTON_BACK = 6;
static const int BUTTON_START = 7;

// The four arrows, in this order, for each source of direction on the pad.
enum { ARROW_UP, ARROW_DOWN, ARROW_LEFT, ARROW_RIGHT, ARROW_COUNT };
static const NUX_Key ARROW_KEYS[ARROW_COUNT] = {NUX_KEY_UP, NUX_KEY_DOWN, NUX_KEY_LEFT, NUX_KEY_RIGHT};

//---- State

static int fullScreen = 0;
static int windowWidth = LOGICAL_WIDTH, windowHeight = LOGICAL_HEIGHT;  // the size asked for in a window
static int desktopWidth = 0, desktopHeight = 0;
static SDL_Joystick* gamepad = nullptr;
// Which arrows the d-pad and the left stick hold; an arrow is pressed while either holds it.
static int hatHeld[ARROW_COUNT] = {};
static int pauseOnFocusLoss = 1;
static int stickHeld[ARROW_COUNT] = {};
// The icon handed to SDL, kept for the whole run: SDL may set it again on a new window.
static SDL_Surface* icon = nullptr;
static unsigned char* iconPixels = nullptr;

//---- Helpers

// Presses or releases the arrow when the pad's sources together change their mind about it.
static void setArrow(int* held, int arrow, int on)
{
    int before = hatHeld[arrow] || stickHeld[arrow];
    held[arrow] = on;
    int after = hatHeld[arrow] || stickHeld[arrow];
    if (before != after)
        nuxKeyEvent(ARROW_KEYS[arrow], after);
}

static void hatMoved(Uint8 value)
{
    setArrow(hatHeld, ARROW_UP, (value & SDL_HAT_UP) != 0);
    setArrow(hatHeld, ARROW_DOWN, (value & SDL_HAT_DOWN) != 0);
    setArrow(hatHeld, ARROW_LEFT, (value & SDL_HAT_LEFT) != 0);
    setArrow(hatHeld, ARROW_RIGHT, (value & SDL_HAT_RIGHT) != 0);
}

// Axis 0 is the left stick's x, axis 1 its y (down positive); the other axes are ignored.
static void axisMoved(Uint8 axis, Sint16 value)
{
    if (axis > 1)
        return;
    int negative = axis == 0 ? ARROW_LEFT : ARROW_UP;
    int positive = axis == 0 ? ARROW_RIGHT : ARROW_DOWN;
    int v = value;
    if (v <= -STICK_PRESS)
        setArrow(stickHeld, negative, 1);
    else if (v > -STICK_RELEASE)
        setArrow(stickHeld, negative, 0);
    if (v >= STICK_PRESS)
        setArrow(stickHeld, positive, 1);
    else if (v < STICK_RELEASE)
        setArrow(stickHeld, positive, 0);
}

static void buttonChanged(Uint8 button, int pressed)
{
    if (button == BUTTON_SWOOP)
        nuxKeyEvent(NUX_KEY_SPACE, pressed);
    else if (button == BUTTON_START)
        nuxKeyEvent(NUX_KEY_P, pressed);
    else if (button == BUTTON_BACK)
        nuxKeyEvent(NUX_KEY_ESCAPE, pressed);
}

// Losing the keyboard focus or being minimised during play pauses, as P would; nothing else
// (the mouse leaving the window, a title screen, an already paused game) is touched, and
// coming back never unpauses by itself.
static void activeChanged(int gain, int state)
{
    if (!pauseOnFocusLoss || gain || !(state & (SDL_APPINPUTFOCUS | SDL_APPACTIVE)))
        return;
    if (nuxGameMode() == MODE_GAME && !nuxGamePaused()) {
        nuxReplayNoteFocus();
        nuxGamePause();
    }
}

static SDL_Surface* setMode(int on)
{
    int w = on ? desktopWidth : windowWidth, h = on ? desktopHeight : windowHeight;
    if (w <= 0 || h <= 0) {
        w = windowWidth;
        h = windowHeight;
    }
    return SDL_SetVideoMode(w, h, 0, SDL_OPENGL | nuxWindowFlags(on));
}

// Hands SDL the pack's icon before the first window opens, so that the window manager shows it
// from the start. A pack without it leaves the window manager's own icon, and is named with the
// other files that could not be loaded.
static void setIcon()
{
    if (icon || iconPixels)
        return;
    char buffer[4096];
    const char* path = NUX_ResolvePath(ICON_FILE, buffer, sizeof buffer);
    uint32_t width = 0, height = 0;
    unsigned char* rows = nullptr;
    if (pngLoad(path, &width, &height, &rows, ICON_MAX_SIDE) != PNGLOAD_OK) {
        nuxNoteMissingFile(ICON_FILE);
        return;
    }
    // The loader gives the bottom row first; SDL wants the top row first.
    iconPixels = (unsigned char*)malloc((size_t)width * height * 4);
    if (iconPixels)
        for (uint32_t y = 0; y < height; y++)
            memcpy(iconPixels + (size_t)y * width * 4, rows + (size_t)(height - 1 - y) * width * 4, (size_t)width * 4);
    free(rows);
    if (!iconPixels)
        return;
    // Bytes R, G, B, A in memory, whatever the machine's byte order.
    Uint32 r = 0x000000ff, g = 0x0000ff00, b = 0x00ff0000, a = 0xff000000;
    if (SDL_BYTEORDER == SDL_BIG_ENDIAN) {
        r = 0xff000000;
        g = 0x00ff0000;
        b = 0x0000ff00;
        a = 0x000000ff;
    }
    icon = SDL_CreateRGBSurfaceFrom(iconPixels, (int)width, (int)height, 32, (int)width * 4, r, g, b, a);
    if (icon)
        SDL_WM_SetIcon(icon, nullptr);  // no mask: the icon's own alpha gives its soft edges
}

// The window was resized or maximised: the picture is scaled into its new size with bars.
static void windowResized(int width, int height)
{
    if (!nuxHasGL || fullScreen || width <= 0 || height <= 0)
        return;
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    SDL_Surface* screen = SDL_SetVideoMode(width, height, 0, SDL_OPENGL | nuxWindowFlags(0));
    if (!screen)
        return;
    windowWidth = screen->w;
    windowHeight = screen->h;
    initNUX(screen->w, screen->h);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
}

//---- Engine-internal

unsigned int nuxWindowFlags(int on)
{
    return on ? SDL_FULLSCREEN : SDL_RESIZABLE;
}

void nuxDesktopBeforeWindow(int width, int height, int on, int* openWidth, int* openHeight)
{
    // Before the first mode is set, SDL reports the desktop's own size.
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info && info->current_w > 0 && info->current_h > 0) {
        desktopWidth = info->current_w;
        desktopHeight = info->current_h;
    }
    // The window fits the work area a window manager leaves beside its panels, with room for the
    // title bar; without a window manager, the screen.
    int areaWidth = 0, areaHeight = 0;
    if (nuxWorkArea(&areaWidth, &areaHeight)) {
        areaHeight -= FRAME_ALLOWANCE;
    } else {
        areaWidth = desktopWidth;
        areaHeight = desktopHeight;
    }
    NUX_PictureRect fit = NUX_FitWindow(width, height, areaWidth, areaHeight);
    windowWidth = fit.width;
    windowHeight = fit.height;
    setIcon();
    fullScreen = on && desktopWidth > 0;
    *openWidth = fullScreen ? desktopWidth : windowWidth;
    *openHeight = fullScreen ? desktopHeight : windowHeight;
}

void nuxDesktopAfterWindow()
{
    if (gamepad || SDL_InitSubSystem(SDL_INIT_JOYSTICK) < 0)
        return;
    if (SDL_NumJoysticks() > 0)
        gamepad = SDL_JoystickOpen(0);
    SDL_JoystickEventState(gamepad ? SDL_ENABLE : SDL_IGNORE);
}

void nuxApplyPictureRect(int width, int height)
{
    NUX_PictureRect r = NUX_GetPictureRect(width, height);
    // GL counts rows from the bottom of the window.
    int bottom = height - r.y - r.height;
    glViewport(r.x, bottom, r.width, r.height);
    glScissor(r.x, bottom, r.width, r.height);
    if (r.width == width && r.height == height)
        glDisable(GL_SCISSOR_TEST);
    else
        glEnable(GL_SCISSOR_TEST);
}

void nuxClearBars()
{
    if (!glIsEnabled(GL_SCISSOR_TEST))
        return;
    GLfloat scene[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, scene);
    glDisable(GL_SCISSOR_TEST);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(scene[0], scene[1], scene[2], scene[3]);
    glEnable(GL_SCISSOR_TEST);
}

int nuxScissorToPart(const float* box, int margin, int* rect)
{
    const NUX_PictureRect r = NUX_GetPictureRect(curXRes, curYRes);
    if (r.width <= 0 || r.height <= 0)
        return 0;
    const float sx = (float)r.width / LOGICAL_WIDTH, sy = (float)r.height / LOGICAL_HEIGHT;
    int left = (int)floorf(box[0] * sx) - margin, right = (int)ceilf(box[2] * sx) + margin;
    int top = (int)floorf(box[1] * sy) - margin, bottom = (int)ceilf(box[3] * sy) + margin;
    left = left < 0 ? 0 : left;
    top = top < 0 ? 0 : top;
    right = right > r.width ? r.width : right;
    bottom = bottom > r.height ? r.height : bottom;
    if (right <= left || bottom <= top || (long)(right - left) * (bottom - top) * 2 > (long)r.width * r.height)
        return 0;
    // GL counts rows from the bottom of the window.
    rect[0] = r.x + left;
    rect[1] = curYRes - (r.y + bottom);
    rect[2] = right - left;
    rect[3] = bottom - top;
    glEnable(GL_SCISSOR_TEST);
    glScissor(rect[0], rect[1], rect[2], rect[3]);
    return 1;
}

int nuxDesktopEvent(const SDL_Event* event)
{
    switch (event->type) {
    case SDL_KEYDOWN: {
        SDLKey sym = event->key.keysym.sym;
        bool alt = (event->key.keysym.mod & KMOD_ALT) != 0;
        if (sym == SDLK_F11 || (alt && (sym == SDLK_RETURN || sym == SDLK_KP_ENTER))) {
            NUX_ToggleFullScreen();
            return 1;
        }
        return 0;
    }
    case SDL_ACTIVEEVENT: activeChanged(event->active.gain, event->active.state); return 1;
    case SDL_VIDEOEXPOSE: nuxGLFrameLost(); return 1;  // uncovered: the window shows no frame
    case SDL_VIDEORESIZE: windowResized(event->resize.w, event->resize.h); return 1;
    case SDL_JOYHATMOTION:
        if (event->jhat.hat == 0)
            hatMoved(event->jhat.value);
        return 1;
    case SDL_JOYAXISMOTION: axisMoved(event->jaxis.axis, event->jaxis.value); return 1;
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP: buttonChanged(event->jbutton.button, event->type == SDL_JOYBUTTONDOWN); return 1;
    default: return 0;
    }
}

//---- Public

NUX_PictureRect NUX_GetPictureRect(int windowWidth, int windowHeight)
{
    NUX_PictureRect r = {0, 0, windowWidth > 0 ? windowWidth : 0, windowHeight > 0 ? windowHeight : 0};
    if (r.width == 0 || r.height == 0)
        return r;
    // Compare the two aspects in whole numbers: the narrower side decides the scale.
    if ((long)r.width * LOGICAL_HEIGHT > (long)r.height * LOGICAL_WIDTH)
        r.width = (int)(((long)r.height * LOGICAL_WIDTH + LOGICAL_HEIGHT / 2) / LOGICAL_HEIGHT);
    else
        r.height = (int)(((long)r.width * LOGICAL_HEIGHT + LOGICAL_WIDTH / 2) / LOGICAL_WIDTH);
    r.x = (windowWidth - r.width) / 2;
    r.y = (windowHeight - r.height) / 2;
    return r;
}

NUX_PictureRect NUX_FitWindow(int width, int height, int areaWidth, int areaHeight)
{
    NUX_PictureRect r = {0, 0, width, height};
    if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0 || (width <= areaWidth && height <= areaHeight))
        return r;
    NUX_PictureRect inside = NUX_GetPictureRect(areaWidth, areaHeight);
    // The picture's shape, not the window's asked for, decides: the game draws nothing else.
    r.width = inside.width < SMALLEST_WIDTH ? SMALLEST_WIDTH : inside.width;
    r.height = (int)(((long)r.width * LOGICAL_HEIGHT + LOGICAL_WIDTH / 2) / LOGICAL_WIDTH);
    if (r.width > width || r.height > height) {
        r.width = width;
        r.height = height;
    }
    return r;
}

void NUX_SetPauseOnFocusLoss(int on)
{
    pauseOnFocusLoss = on ? 1 : 0;
}

void NUX_SetFullScreen(int on)
{
    on = on ? 1 : 0;
    if (!nuxHasGL || on == fullScreen)
        return;
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    SDL_Surface* screen = setMode(on);
    if (!screen) {
        screen = setMode(fullScreen);  // the switch was refused: stay as we were
        if (!screen)
            return;
    } else {
        fullScreen = on;
    }
    SDL_ShowCursor(fullScreen ? SDL_DISABLE : SDL_ENABLE);
    // Full screen from the screen's corner; back in a window, centred again as at start-up.
    if (fullScreen)
        nuxPlaceWindow(0, 0);
    else if (desktopWidth > screen->w && desktopHeight > screen->h)
        nuxPlaceWindow((desktopWidth - screen->w) / 2, (desktopHeight - screen->h) / 2);
    initNUX(screen->w, screen->h);
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
}

void NUX_ToggleFullScreen()
{
    NUX_SetFullScreen(!fullScreen);
}

int NUX_IsFullScreen()
{
    return fullScreen;
}

int NUX_HasGamepad()
{
    return gamepad != nullptr;
}
