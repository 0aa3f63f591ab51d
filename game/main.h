// main: the shell. Owns the process, the frame clock, the six game modes and the main loop.
#pragma once

#include <cstdint>  // uint32_t

#include "nux.h"

// The game modes; the numbers are stored and compared everywhere.
enum {
    MODE_TITLE = 0,
    MODE_PROLOGUE = 1,
    MODE_GAME = 2,
    MODE_GAMEOVER = 3,
    MODE_GAMEBEAT = 4,
    MODE_SPLASH = 5,
};

extern int gameMode;          // the current mode; starts at the splash
extern float elapsed;         // seconds of the last frame, at most 0.2, set only by doTimer
extern uint32_t last_ticks;   // clock at the previous doTimer, in milliseconds
extern Font* fontFutura;      // the one font, "data/futurabd.ttf"
extern Screen *sorvelScreen, *introScreen, *gameScreen, *prologueScreen, *gameOverScreen, *gameBeatScreen;

// The whole run, as the player starts it: returns 0 when the player quits, 1 when no window.
int SDL_main(int argc, char** argv);

// Measures the time since the previous call into elapsed, clamped to 0.2 s. Also called by the
// game's load and reset so that loading is not counted as a frame.
void doTimer();

// Leaves the current mode and enters mode: stops the music, hides every screen, shows and
// resets the new one. The reset runs while getGameMode still reports the old mode.
void switchGameMode(int mode);
int getGameMode();

// Start-up pieces, in the order SDL_main runs them; the harness runs the same ones.
void initShell(unsigned int seed);  // NUX_InitSound(64), srand(seed)
void initSorvel();                   // black window at once, the splash screen, its load and reset
int runSplashFrame();                // one frame of the splash loop; 0 when the player quit
void initScreens();                  // the font and the five other screens
void loadSequences();                // every scene's load; then names the files that failed, on stderr
int runMainFrame();                  // one frame of the main loop; 0 when the player quit
void shutdownShell();                // sound, then the window
