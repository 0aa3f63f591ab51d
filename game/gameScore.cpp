// gameScore: the score and its label, the lives display, the swoop counters and levels, the level
// step that speeds up the street, and the getters through which the scenes read a finished game.

#include "gameLocal.h"

//---- State

int hitPigeons = 0;
int humansHit = 0;
float numSwoops = 0;
float swoopTime = 0;
float longestSwoop = 0;
int swoopLevel = 0;
const int swoopLevels[10] = {0, 2, 5, 10, 15, 25, 35, 50, 65, 80};
int swoopMultiplier = 0;
int maxMultiplier = 0;
float lastSwoopPoint = 0;
int LEVEL_SPEED = 82;
float levelIncrement = 0;
int numPigeons = 2;
float numCitizens = 2.0f;
float numLamps = 2.0f;

const char* comboWords[8] = {
    "Pigeon Attack", "Pigeon Assault", "Pigeon Chain", "Pigeon Strike",
    "Pigeon Swoop", "Pigeon Conquest", "Pigeon Combo", nullptr,
};

//---- Getters

int getScore() { return owl.score; }
int getNumPigeons() { return hitPigeons; }
int getHumansHit() { return humansHit; }
float getLongestSwoop() { return longestSwoop; }
int getBestSwoopPigeons() { return maxMultiplier; }
