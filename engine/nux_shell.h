// nux_shell: what the engine calls back into the shell and the game, by name.
// Declared here so the engine never includes a game header; defined under game/.
#pragma once

// The shell (game/main): the frame time of the last frame, and the mode switch.
extern float elapsed;
int getGameMode();
void switchGameMode(int mode);

// The owl's controls (the game).
void owlFlapUp();
void owlFlapDown();
void owlSwoop();
void owlSwoopStop();

// The game's pause toggle and state.
void gamePause();
int getGamePaused();

// The scenes' answers to the input layer.
int isIntroMusicPlaying();     // the title: 1 once its music has started
float getGameOverElapsed();    // game over: its music position in seconds, 0 until it plays
float getGameBeatElapsed();    // the ending: seconds since it was entered
void SorvelAborted();          // the splash: skip to its end
