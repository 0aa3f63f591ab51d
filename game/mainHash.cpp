// mainHash: the game's state in one number, for the replays: every second of a recorded run notes
// it, and a replay compares its own. It covers what the harness's dump reports (the shell, the
// game, the scenes' clocks and the high scores), except the dump's own counters and the music
// player's position, which differ between the window and the harness.

#include "main.h"
#include "gameLocal.h"
#include "scenes.h"

#include <cstdio>   // snprintf
#include <cstring>  // strlen

//---- Helpers

template <typename T> static void mix(uint64_t* hash, T value)
{
    *hash = NUX_HashBytes(*hash, &value, sizeof value);
}

static void mixText(uint64_t* hash, const char* text)
{
    *hash = NUX_HashBytes(*hash, text, strlen(text) + 1);
}

//---- Public

uint64_t gameStateHash()
{
    uint64_t h = NUX_HASH_START;
    // The shell and the keys.
    mix(&h, gameMode);
    mix(&h, elapsed);
    mix(&h, exitFlag);
    mix(&h, getGamePaused());
    mix(&h, musicMuted);
    mix(&h, movingLeft * 1000 + movingRight * 100 + movingUp * 10 + movingDown);
    mix(&h, SorvelOver());
    // The game.
    mix(&h, gamePlay.gameTimeElapsed);
    mix(&h, getScore());
    mix(&h, owl.lives);
    mix(&h, owl.x);
    mix(&h, owl.y);
    mix(&h, owl.angle);
    mix(&h, owl.swoopActive);
    mix(&h, owl.dying);
    mix(&h, owl.swoopEnergy);
    mix(&h, gameScore.swoopLevel);
    mix(&h, gameScore.swoopMultiplier);
    mix(&h, getNumPigeons());
    mix(&h, getHumansHit());
    mix(&h, getLongestSwoop());
    mix(&h, getBestSwoopPigeons());
    mix(&h, gameScore.LEVEL_SPEED);
    mix(&h, gameScore.numPigeons);
    mix(&h, gameScore.numCitizens);
    mix(&h, gameScore.numLamps);
    // The scenes' clocks and phases.
    mix(&h, getIntroElapsed());
    mix(&h, getIntroMusicElapsed());
    mix(&h, getIntroTurned());
    mix(&h, getPrologueElapsed());
    mix(&h, getGameOverClock());
    mix(&h, getGameOverElapsed());
    mix(&h, getGameOverScroll());
    mix(&h, getGameOverNarrationPlayed());
    mix(&h, getGameBeatElapsed());
    mix(&h, getBeatMusicElapsed());
    mix(&h, getEndingPhase());
    mix(&h, getRanCredits());
    // The high scores.
    mix(&h, getHighScore());
    mix(&h, getMostPigeons());
    mix(&h, getLastScore());
    mix(&h, getLastPigeons());
    mixText(&h, getHighScoreLine());
    mixText(&h, getLastScoreLine());
    return h;
}

void gameStateSummary(char* text, size_t size)
{
    snprintf(text, size, "score=%d lives=%d pigeons=%d", getScore(), owl.lives, getNumPigeons());
}
