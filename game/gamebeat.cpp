// gamebeat: the ending. For now its clock, which the input layer asks before Space leaves it.

#include "gamebeat.h"

//---- State

static float gameBeatElapsed = 0.0f;

//---- Scene

void loadGameBeat() {}

void resetGameBeat()
{
    gameBeatElapsed = 0.0f;
}

void runGameBeat(float dt)
{
    gameBeatElapsed += dt;
}

float getGameBeatElapsed()
{
    return gameBeatElapsed;
}
