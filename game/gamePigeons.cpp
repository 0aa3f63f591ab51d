// gamePigeons: the pigeon record's spawn rule and the shared distance; the pool and its flight
// follow with the game.

#include "game.h"

#include <cmath>    // sqrt, sin
#include <cstdlib>  // rand

//---- State

double gameMusicElapsed = 5.0;
static int pigeonWaveOffset = 0;

//---- Pigeons

float distance(float x1, float y1, float x2, float y2)
{
    double dx = (double)x2 - x1;
    double dy = (double)y2 - y1;
    return (float)sqrt(dx * dx + dy * dy);
}

// The height at which a new pigeon enters, keyed to the music so every game forms the same waves.
static float spawnHeight(double t)
{
    if ((t > 85.8 && t < 89.3) || (t > 91.9 && t < 95.9)) {
        if (rand() % 5 == 1)
            return 50 + rand() % 150;
        return 500 + rand() % 200;
    }
    if (t > 125.5 && t < 126.5)
        return 20 + rand() % 450;
    if (t >= 127.5 && t < 154.25) {
        int r = rand() % 35;
        return (float)(340 + r + 176 * sin(t * 0.25 * 2.333333333 * 3.14159265 + pigeonWaveOffset * 3.14159265));
    }
    if (t > 236.5 && t < 243.2)
        return 200 + rand() % 585;
    if (t < 284.0)
        return 200 + rand() % 300;
    if (t < 293.0)
        return -400 + rand() % 900;
    return -800;
}

void resetPigeon(Pigeon* pigeon)
{
    pigeon->struck = 0;
    pigeon->flapInterval = 0.08f;
    pigeon->flapTimer = (rand() % 800) / 10000.0f;
    pigeon->fleeMode = 2;
    pigeon->fleeSpeed = 200 + rand() % 400;
    pigeon->rotation = 0;
    pigeon->speed = 300 + rand() % 400;
    pigeon->x = 1124;
    pigeon->baseY = spawnHeight(gameMusicElapsed);
    pigeon->y = pigeon->baseY;
    pigeon->wavePeriod = 80 + rand() % 100;
}
