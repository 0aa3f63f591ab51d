// nux_local: state shared between the engine's own units; nothing outside engine/ includes it.
#pragma once

#include "nux_graphics.h"

// 1 once a window with a GL context exists; every GL call in the engine is behind it.
extern int nuxHasGL;

// The FreeType library handle (FT_Library), created by NUX_Init or NUX_InitHeadless.
extern void* GL_FTLibrary;
