// gameScore: the score and its label, the lives display, the swoop counters and levels, the level
// step that speeds up the street, and the getters through which the scenes read a finished game.

#include "gameLocal.h"

#include <cstdio>   // snprintf
#include <cstdlib>  // rand

//---- Constants

static const float nextLevel = 178.0f;  // level-step threshold: one step per 8.9 s of play

//---- State

// The street's first level holds from the start of the program, before any game.
GameScore gameScore = {.hitPigeons = 0,
                       .humansHit = 0,
                       .numSwoops = 0,
                       .swoopTime = 0,
                       .longestSwoop = 0,
                       .swoopLevel = 0,
                       .swoopMultiplier = 0,
                       .maxMultiplier = 0,
                       .lastSwoopPoint = 0,
                       .LEVEL_SPEED = 82,
                       .levelIncrement = 0,
                       .numPigeons = 2,
                       .numCitizens = 2.0f,
                       .numLamps = 2.0f};
const int swoopLevels[10] = {0, 2, 5, 10, 15, 25, 35, 50, 65, 80};

// Every award of the game, by reason. Strikes and citizens dim the label; the long swoop's stream
// of points does not. The longest tier that is due pays (updateSpecialSwoop).
const ScoreRule scoreRules[SCORE_REASONS] = {
    {50, 1, 0, 0},          // SCORE_STRIKE
    {950, 1, 0, 0},         // SCORE_FIRST_SWOOP
    {50, 1, 0, 0},          // SCORE_COMBO
    {1, 1, 0, 0},           // SCORE_MULTIPLIER
    {200, 1, 0, 0},         // SCORE_CITIZEN
    {10, 1, 0, 0},          // SCORE_FLY_BY
    {5, 0, 5.0f, 0.1},      // SCORE_LONG_SWOOP
    {10, 0, 10.0f, 0.06},   // SCORE_LONGER_SWOOP
    {15, 0, 30.0f, 0.035},  // SCORE_LONGEST_SWOOP
    {0, 1, 0, 0},           // SCORE_NEW_GAME
};

const char* comboWords[8] = {
    "Pigeon Attack", "Pigeon Assault",  "Pigeon Chain", "Pigeon Strike",
    "Pigeon Swoop",  "Pigeon Conquest", "Pigeon Combo", nullptr,
};

//---- Start of a game

void resetGameScore()
{
    GameScore& g = gameScore;
    g.hitPigeons = 0;
    g.humansHit = 0;
    g.numSwoops = 0;
    g.swoopTime = 0;
    g.longestSwoop = 0;
    g.swoopLevel = 0;
    g.swoopMultiplier = 0;
    g.maxMultiplier = 0;
    g.lastSwoopPoint = 0;
    g.LEVEL_SPEED = 82;
    g.levelIncrement = 0;
    g.numPigeons = 2;
    g.numCitizens = 2.0f;
    g.numLamps = 2.0f;
}

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

void scoreFor(ScoreReason reason, int units)
{
    const ScoreRule& rule = scoreRules[reason];
    addScore(rule.points * units, rule.flash);
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
    bool rises = (gameScore.swoopLevel <= 8 && gameScore.hitPigeons >= swoopLevels[gameScore.swoopLevel + 1]) ||
                 (gameScore.swoopLevel > 8 && gameScore.hitPigeons % 16 == 0);
    if (!rises)
        return;
    gameScore.swoopLevel += 1;
    if (gameScore.swoopLevel == 10)
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
    gameScore.levelIncrement += 20 * dt;
    if (gameScore.levelIncrement > nextLevel) {
        if (gameScore.LEVEL_SPEED <= 499)
            gameScore.LEVEL_SPEED += 12;
        gameScore.levelIncrement = 0;
        if (gameScore.numPigeons <= 599)
            gameScore.numPigeons = (int)(gameScore.numPigeons + 1.6);
        if (gameScore.numCitizens < 10)
            gameScore.numCitizens += 0.5f;
        if (gameScore.numLamps < 18)
            gameScore.numLamps = gameScore.numLamps + 0.1;
    }
}

//---- Getters

int getScore()
{
    return owl.score;
}
int getNumPigeons()
{
    return gameScore.hitPigeons;
}
int getHumansHit()
{
    return gameScore.humansHit;
}
float getLongestSwoop()
{
    return gameScore.longestSwoop;
}
int getBestSwoopPigeons()
{
    return gameScore.maxMultiplier;
}
