// intro: the title screen, the high scores it shows, and the music clock every scene runs on.
#pragma once

#include "nux.h"

//---- The title screen

// Called once by the shell at start-up: every picture, the two score lines and the veil.
void loadIntro();
// Called by switchGameMode(0) on every entry; ends by writing the score lines.
void resetIntro();
// One frame of the title, dt seconds; most of it follows the title music's position.
void runIntro(float dt);
// Writes both score lines from the counters and places them and the help pictures.
void initHighScores();

// 1 once the title music has started; only then does Space start the prologue.
int isIntroMusicPlaying();

// The title's pictures, kept for the tests.
extern Image *skygradient, *skysolid, *bigowl, *bigowlblink, *bigowlstare, *bigowltwitch, *title;
extern Image *attack_help, *swoop_help, *space_help;
extern Label *highScoreLabel, *lastScoreLabel;
extern Sprite* fadeInSprite;

// The title's clocks, for the harness dump: seconds since entry and the music position read
// this frame; 1 from the moment the title turns (24 s of music) until the music loops.
float getIntroElapsed();
float getIntroMusicElapsed();
int getIntroTurned();

//---- High scores (for this run of the program only)

// Records a finished game: a score strictly above the high score replaces it together with its
// pigeons; the last score is always replaced. Called on entering game over and the ending.
void recordFinishedGame(int score, int pigeons);
int getHighScore();
int getMostPigeons();
int getLastScore();
int getLastPigeons();
// The two score lines as the title last wrote them into its labels.
const char* getHighScoreLine();
const char* getLastScoreLine();
// Tests only: all four counters back to 0, as when the program starts.
void clearHighScoresForTest();
