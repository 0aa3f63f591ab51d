// gamebeat: the ending after 300 seconds survived, with the statistics and the credits.
#pragma once

void loadGameBeat();
void resetGameBeat();
void runGameBeat(float dt);

// Seconds since the ending was entered; Space returns to the title past 2.0.
float getGameBeatElapsed();
