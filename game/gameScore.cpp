// gameScore: the score and its label, the lives display, the swoop counters and levels, the level
// step that speeds up the street, and the getters through which the scenes read a finished game.

#include "gameLocal.h"

#include <cstdio>   // snprintf
#include <cstdlib>  // rand

//---- Constants

static const float nextLevel = 178.0f;  // level-step threshold: one step per 8.9 s of play

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
    "Pigeon Attack", "Pigeon Assault",  "Pigeon Chain", "Pigeon Strike",
    "Pigeon Swoop",  "Pigeon Conquest", "Pigeon Combo", nullptr,
};

//---- Score and lives

void addScore(int points, int flash)
{
    owl.score += points;
    char text[256] = {};
    snprintf(text, sizeof text, "%d POINTS", owl.score);
    if (flash == 1) {
        // runGame brightens the label back to white at 1.5 per second.
        scoreLabel->sprite.red = 0.8f;
        scoreLabel->sprite.green = 0.8f;
        scoreLabel->sprite.blue = 0.8f;
    }
    NUX_SetLabelText(scoreLabel, text);
}

void updateLives()
{
    for (int i = 0; i < LIFE_ICONS; i++) {
        life[i]->sprite.alpha = 0;
        if (owl.lives > i)
            life[i]->sprite.alpha = 1;
    }
}

//---- Swoop level

void updateSwoopLevel()
{
    bool rises =
        (swoopLevel <= 8 && hitPigeons >= swoopLevels[swoopLevel + 1]) || (swoopLevel > 8 && hitPigeons % 16 == 0);
    if (!rises)
        return;
    swoopLevel += 1;
    if (swoopLevel == 10)
        NUX_PlaySound(sfxConstantSwoop);  // from here on a swoop lasts as long as space is held
    else
        NUX_PlaySound(sfxSwoopBonus[rand() % 7]);
    swoopLevelUp->sprite.x = owl.x;
    swoopLevelUp->sprite.y = owl.y;
    swoopLevelUp->sprite.scaleX = 0.7f;
    swoopLevelUp->sprite.scaleY = 0.7f;
    swoopLevelUp->sprite.alpha = 1.0f;
    swoopBarEffect->alpha = 1.0f;
}

//---- Level step

void updateLevelStep(float dt)
{
    levelIncrement += 20 * dt;
    if (levelIncrement > nextLevel) {
        if (LEVEL_SPEED <= 499)
            LEVEL_SPEED += 12;
        levelIncrement = 0;
        if (numPigeons <= 599)
            numPigeons = (int)(numPigeons + 1.6);
        if (numCitizens < 10)
            numCitizens += 0.5f;
        if (numLamps < 18)
            numLamps = numLamps + 0.1;
    }
}

//---- Getters

int getScore()
{
    return owl.score;
}
int getNumPigeons()
{
    return hitPigeons;
}
int getHumansHit()
{
    return humansHit;
}
float getLongestSwoop()
{
    return longestSwoop;
}
int getBestSwoopPigeons()
{
    return maxMultiplier;
}
