// gameover: the red scene after the last life is lost.
#pragma once

void loadGameOver();
void resetGameOver();
void runGameOver(float dt);

// The game-over music's position in seconds, 0 until it plays; Space returns to the title past 0.88.
float getGameOverElapsed();
