// gameover: the scene after the last life. Escape returns to the title (the input layer).

#include "gameover.h"

void loadGameOver() {}
void resetGameOver() {}
void runGameOver(float) {}

float getGameOverElapsed()
{
    return 0.0f;
}
