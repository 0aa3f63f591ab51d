// nux_local: state shared between the engine's own units; nothing outside engine/ includes it.
#pragma once

#include "nux_graphics.h"

// 1 once a window with a GL context exists; every GL call in the engine is behind it.
extern int nuxHasGL;

// The FreeType library handle (FT_Library), created by NUX_Init or NUX_InitHeadless.
extern void* GL_FTLibrary;

// Sets the current GL colour, each component clamped to 0..1 (alpha 100 draws opaque).
void nuxSetColor(float red, float green, float blue, float alpha);

// One textured quad with its top-left corner at (x, y), width by height, carrying the whole
// texture. Pictures are stored bottom row first (texture row 1 at the top); labels top row first.
void nuxTexturedQuad(float x, float y, float width, float height, int topRowFirst);

// Notes a data file that could not be loaded (missing, unreadable or damaged); each path is kept
// once. Called by the picture, sound, music and font loaders, which then go on with an empty item.
void nuxNoteMissingFile(const char* path);
