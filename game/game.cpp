// game: the game screen. For now the pause and the owl's controls, so that the shell, the
// input layer and the harness run end to end; play itself arrives with the gameplay.

#include "game.h"
#include "main.h"

//---- State

static int gamePaused = 0;

//---- Scene

void loadGame()
{
    doTimer();
}

void resetGame()
{
    gamePaused = 0;
    doTimer();
}

void runGame(float)
{
}

//---- Controls

void owlFlapUp() {}
void owlFlapDown() {}
void owlSwoop() {}
void owlSwoopStop() {}

void gamePause()
{
    gamePaused = !gamePaused;
    NUX_SetMusicPaused(gamePaused);
}

int getGamePaused()
{
    return gamePaused;
}
