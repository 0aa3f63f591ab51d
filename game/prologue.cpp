// prologue: the narrated story before the game. Space skips it (the input layer).

#include "prologue.h"

void loadThePrologue() {}
void resetPrologue() {}
void runPrologue(float) {}
