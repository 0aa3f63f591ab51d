// gamebeat: the ending after 300 seconds survived, with the statistics and the credits.
#pragma once

#include "nux.h"

//---- The ending scene

// Called once by the shell at start-up: every picture, the five statistics lines and the veil.
void loadGameBeat();
// Called by switchGameMode(4) on every entry; records the finished game in the high scores.
void resetGameBeat();
// One frame of the ending, dt seconds, timed by the ending music's position.
void runGameBeat(float dt);

// Seconds since the ending was entered; Space returns to the title past 2.0.
float getGameBeatElapsed();

// The ending's phases: the scene, then the credits, then waiting for the music to loop.
enum {
    ENDING_SCENE = 0,
    ENDING_CREDITS = 1,
    ENDING_FINISHED = 2,
};
int getEndingPhase();
// The music position read this frame, seconds.
float getBeatMusicElapsed();

//---- Statistics and credits (gamebeatCredits)

// Called by resetGameBeat: records the game in the high scores and writes the five lines.
void initScore();
// Called by resetGameBeat: every credit hidden, at scale 2, in its place.
void resetCredits();
// Called by runGameBeat while the scene runs: the lines fade in and out in their windows.
void updateScoreStats(float dt);
// Called by runGameBeat in the credits phase; moves the phase to finished when they are done.
void runCredits(float dt);

// The five statistics lines of a finished game into lines, 256 bytes each; word picks the name
// for the best swoop (0 to 6, of comboWords).
struct GameStats {
    int score;
    int pigeons;
    int humansHit;
    float longestSwoop;
    int bestSwoopPigeons;
};
void formatScoreStats(const GameStats& stats, int word, char lines[5][256]);
// The line last written into each statistics label (0 score to 4 best swoop).
const char* getStatText(int line);
// 1 once the voice credit has shown on this visit; arms the end of the credits.
int getRanCredits();

//---- Shared by the scene and the credits, and kept for the tests

extern Image *skyblue, *skydark, *skylinebeat, *skylinebeat2, *city, *city2, *bigcitizen, *bigcitizen2, *lampbeat;
extern Image *bigflap1, *bigflap2, *swooping, *bushbeat, *bushbeat2, *closeup_background, *closeup_citizen;
extern Label *scoreText, *pigeonText, *humanText, *swoopText, *pigeonSwoopText;
extern Image *bigtitle, *programming, *art, *music, *voices;
extern Sprite* gameBeatFadeIn;
extern float beatMusicElapsed;
extern int endingRan;
extern int beatMusicMissing;  // the ending music could not play; its stand-in clock runs instead
