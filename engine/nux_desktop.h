// nux_desktop: full screen at any time with the 1024 x 768 picture scaled into the window or
// screen (its aspect kept, black bars where needed), the pause on focus loss, and gamepads.
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

// Whether losing the focus or being minimised during play pauses the game (1, the default). The
// harness turns it off: a run must not depend on which window the desktop gives the focus to.
void NUX_SetPauseOnFocusLoss(int on);

// 1 when a gamepad was found at start-up (hot-plugging is not followed).
int NUX_HasGamepad();
