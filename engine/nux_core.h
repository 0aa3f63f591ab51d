// nux_core: screens (ordered draw lists shown or hidden as a whole) and the per-frame engine step.
#pragma once

#include "nux_graphics.h"

// A draw list; drawn each frame while visible is 1.
struct Screen {
    KWArray* items;  // Sprite-headed items, drawn in insertion order
    int visible;
};

// All screens in creation order, which is their drawing order (null before the first screen).
extern KWArray* nuxScreens;

// The mouse position in logical units, recorded by drags.
extern int curMouseX, curMouseY;

// A new visible screen appended to nuxScreens.
Screen* NUX_CreateScreen();

// Adders used at load time; each returns the new item for the caller to animate.
Image* NUX_AddImage(Screen* screen, const char* path);
Sprite* NUX_AddRect(Screen* screen, float x, float y, float width, float height);
Label* NUX_AddLabel(Screen* screen, Font* font, const char* text, int textureSize, int pixelSize);
Label* NUX_AddLabelWithColor(Screen* screen, Font* font, const char* text, int textureSize, int pixelSize, float red,
                             float green, float blue, float alpha);

// Draws every visible screen, in creation order.
void NUX_RenderImages();
void NUX_RenderScreen(Screen* screen);

// One engine frame, called by the main loop: input, clear, draw, present. 0 once the player quit.
int NUX_Update();

void NUX_StartDrag(Sprite* sprite);
void NUX_StopDrag(Sprite* sprite);
