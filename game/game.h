// game: the game screen, the owl, the score and everything flying or walking on the street.
#pragma once

// Called once at start-up: the game screen's pictures, labels, sources and sounds.
void loadGame();
// Called by switchGameMode(2) on every entry: a fresh game.
void resetGame();
// One frame of play, dt seconds.
void runGame(float dt);

// The owl's controls, called by the input layer at the moment of the key event.
void owlFlapUp();
void owlFlapDown();
void owlSwoop();
void owlSwoopStop();

// Toggles the pause (P or Return in the game); getGamePaused reports it.
void gamePause();
int getGamePaused();
