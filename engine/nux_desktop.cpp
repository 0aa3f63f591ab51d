// nux_desktop: the window as a desktop game keeps it: full-screen switching with a letterboxed
// picture, the pause when the player leaves the window during play, and the gamepad's buttons
// turned into the game's keys.

#include "nux_desktop.h"
#include "nux_input.h"
#include "nux_local.h"  // the game's hooks: the pause on focus loss
#include "nux_modes.h"  // MODE_GAME, the only mode that pauses

#include <SDL.h>    // video mode, joystick, active events
#include <GL/gl.h>  // viewport, scissor, the bars' clear

//---- Constants

// A stick counts as pushed past half its travel; a little less lets go, so it never chatters.
static const int STICK_PRESS = 16384;
static const int STICK_RELEASE = 12000;

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
    if (nuxGameMode() == MODE_GAME && !nuxGamePaused())
        nuxGamePause();
}

static SDL_Surface* setMode(int on)
{
    int w = on ? desktopWidth : windowWidth, h = on ? desktopHeight : windowHeight;
    if (w <= 0 || h <= 0) {
        w = windowWidth;
        h = windowHeight;
    }
    return SDL_SetVideoMode(w, h, 0, SDL_OPENGL | (on ? SDL_FULLSCREEN : 0));
}

//---- Engine-internal

void nuxDesktopBeforeWindow(int width, int height, int on, int* openWidth, int* openHeight)
{
    windowWidth = width;
    windowHeight = height;
    // Before the first mode is set, SDL reports the desktop's own size.
    const SDL_VideoInfo* info = SDL_GetVideoInfo();
    if (info && info->current_w > 0 && info->current_h > 0) {
        desktopWidth = info->current_w;
        desktopHeight = info->current_h;
    }
    fullScreen = on && desktopWidth > 0;
    *openWidth = fullScreen ? desktopWidth : width;
    *openHeight = fullScreen ? desktopHeight : height;
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
