// sorvelinn: the start-up splash, a logo sequence timed to its own music.
#pragma once

#include "nux.h"

// The splash's screen items, kept for the tests and the harness dump.
extern Image *branding, *leadership, *eyewear, *bananas, *vorn_glow, *vorn_plain;
extern Sprite* sorvelEffect;

// Called once by initSorvel: the six pictures and the flash rectangle, in drawing order.
void loadSorvelInn();
// Restores the start state and picks the transition sound afresh.
void resetSorvelInn();
// One frame of the splash, dt seconds; the timeline follows the splash music's position.
void runSorvelInn(double dt);
// 1 once the splash is over (its music passed 13.2 s, or the player cut it short).
int SorvelOver();
// Space during the splash: the plain logo alone, a transition sound, and the end.
void SorvelAborted();
