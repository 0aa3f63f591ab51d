// gameover: the red scene after the last life is lost.
#pragma once

#include "game.h"

// Called once by the shell at start-up: the layers, both flocks and the narration.
void loadGameOver();
// Called by switchGameMode(3) on every entry; records the finished game in the high scores.
void resetGameOver();
// One frame of the scene, dt seconds.
void runGameOver(float dt);
// Both flocks fly one frame; called at the end of runGameOver.
void runGameOverPigeons(float dt);
// The flocks, created at load time.
void initForegroundPigeons();
void initBackgroundPigeons();

// The game-over music's position in seconds, 0 until it plays; Space returns to the title past 0.88.
float getGameOverElapsed();

// Seconds since the scene was entered, and the tilt's progress, for the harness dump.
float getGameOverClock();
float getGameOverScroll();
int getGameOverNarrationPlayed();

// The scene's pictures and flocks, kept for the tests.
extern Image *skyline2, *frontcity, *lamp, *citizen, *bushes, *gameover;
extern Sprite* fadeInEffect;
extern Pigeon fgPigeons[70];
extern Pigeon bgPigeons[150];
