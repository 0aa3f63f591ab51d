// prologue: the owl's dusk flight before the game, with the narrator's monologue.
#pragma once

#include "nux.h"

// Called once by the shell at start-up: the eight pictures and the monologue, then a reset.
void loadThePrologue();
// Called by switchGameMode(1) on every entry.
void resetPrologue();
// One frame of the prologue, dt seconds; after 37.5 s it starts the game.
void runPrologue(float dt);

// Seconds since the prologue was entered, for the harness dump.
float getPrologueElapsed();

// The prologue's pictures, kept for the tests.
extern Image *sunset, *prologue_moon, *prologue_skyline, *prologue_skyline2, *trees, *trees2, *flap1, *flap2;
