// game: the game screen, the owl, the score and everything flying or walking on the street.
#pragma once

#include "nux.h"

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

//---- Shared with the scenes

// A pigeon of the game's pool; the game-over flocks reuse the record for their own birds.
// The sprites are created at load time and belong to their screen; the record only points.
struct Pigeon {
    Image* frame1;       // first flap frame
    Image* frame2;       // second flap frame
    Image* impact;       // the strike flash, additive; the game-over flocks leave it empty
    float speed;         // leftward, pixels per second
    float flapInterval;  // seconds between flap-frame toggles, always 0.08
    float flapTimer;     // seconds since the last toggle
    float fleeSpeed;     // vertical speed while fleeing the owl
    float x;             // drawing origin of both frames
    float y;             // as drawn this frame
    float baseY;         // centre line of the wave; fleeing and falling move it
    float rotation;      // grows while the pigeon falls
    float wavePeriod;    // the wave is sin(x / wavePeriod)
    int struck;          // 1 from the strike until the pigeon is respawned
    int fleeMode;        // 0 flee upward, 1 flee downward, 2 no flight
};

// The game music's play position, copied every unpaused frame; the spawn schedule reads it.
// Starts at 5.0 and keeps the last game's value between games.
extern double gameMusicElapsed;

// The seven names for a swoop's best catch, then a null entry; the ending picks one.
extern const char* comboWords[8];

// Euclidean distance, computed in double precision.
float distance(float x1, float y1, float x2, float y2);

// A fresh flight entering 100 px beyond the right edge, its height from the wave schedule.
void resetPigeon(Pigeon* pigeon);

// The finished game, for the high scores, the game-over scene and the ending's statistics.
int getScore();             // points
int getNumPigeons();        // pigeons struck
int getHumansHit();         // citizens knocked down by falling pigeons
float getLongestSwoop();    // seconds of the longest swoop
int getBestSwoopPigeons();  // most pigeons struck in one swoop
