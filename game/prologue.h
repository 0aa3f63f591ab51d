// prologue: the owl's story, told before the first game.
#pragma once

void loadThePrologue();
void resetPrologue();
void runPrologue(float dt);
