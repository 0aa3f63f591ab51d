// nux_desktop: a window that fits the screen and can be resized, full screen at any time, with the
// 1024 x 768 picture scaled into the window or screen (its aspect kept, black bars where needed),
// the pause on focus loss, and gamepads.
#pragma once

// Switches between the window and full screen (the desktop's size). Alt+Enter and F11 call it;
// the picture, the textures and the game's state carry over. Nothing happens without a window.
void NUX_SetFullScreen(int on);
void NUX_ToggleFullScreen();

// 1 while full screen.
int NUX_IsFullScreen();

// Where the 1024 x 768 picture goes in a window of windowWidth x windowHeight pixels: the largest
// rectangle of its aspect that fits, centred (x, y from the top-left corner of the window).
struct NUX_PictureRect {
    int x, y, width, height;
};
NUX_PictureRect NUX_GetPictureRect(int windowWidth, int windowHeight);

// The window to open for one of width x height in a work area of areaWidth x areaHeight (0: not
// known): as asked when it fits; otherwise the largest of the picture's shape that fits (never
// narrower than 320 pixels, nor larger than asked). x and y are 0.
NUX_PictureRect NUX_FitWindow(int width, int height, int areaWidth, int areaHeight);

// Whether losing the focus or being minimised during play pauses the game (1, the default). The
// harness turns it off: a run must not depend on which window the desktop gives the focus to.
void NUX_SetPauseOnFocusLoss(int on);

// 1 when a gamepad was found at start-up (hot-plugging is not followed).
int NUX_HasGamepad();
