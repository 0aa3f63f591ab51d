// gameScore: the score, the swoop statistics and the getters the scenes read.

#include "game.h"

//---- State

static int score = 0;
static int hitPigeons = 0;
static int humansHit = 0;
static float longestSwoop = 0;
static int maxMultiplier = 0;

const char* comboWords[8] = {
    "Pigeon Attack", "Pigeon Assault", "Pigeon Chain", "Pigeon Strike",
    "Pigeon Swoop", "Pigeon Conquest", "Pigeon Combo", nullptr,
};

//---- Getters

int getScore() { return score; }
int getNumPigeons() { return hitPigeons; }
int getHumansHit() { return humansHit; }
float getLongestSwoop() { return longestSwoop; }
int getBestSwoopPigeons() { return maxMultiplier; }
