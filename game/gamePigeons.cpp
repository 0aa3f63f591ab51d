// gamePigeons: the flock of the game screen: 600 pigeons, their spawn rule, their flight from
// the owl, the strike and everything it pays, their fall; and the start of the street's pools.

#include "gameLocal.h"
#include "main.h"

#include <cmath>    // sqrt, sin
#include <cstdlib>  // rand

//---- State

Pigeon pigeons[PIGEON_POOL] = {};
int pigeonWaveOffset = 0;
double gameMusicElapsed = 5.0;

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

// Everything a struck pigeon sets off: counters, swoop level, flash, feathers, sounds, combo and
// the points, in the order the sounds and the rand() draws must follow.
static void strikePigeon(Pigeon* pigeon)
{
    hitPigeons += 1;
    // The very first pigeon of the game, caught in the game's first swoop.
    if (hitPigeons == 1 && numSwoops == 1.0f) {
        NUX_PlaySound(sfxFirstSwoop);
        addScore(950, 1);
    }

    updateSwoopLevel();

    Sprite* impact = &pigeon->impact->sprite;
    impact->alpha = 1.0f;
    impact->x = pigeon->x;
    impact->y = pigeon->y;
    impact->scaleX = 1.0f;

    pigeon->struck = 1;

    feathers->sprite.x = owl.x;
    feathers->sprite.y = owl.y;
    NUX_EmitParticles(feathers, 40);

    addScore(50, 1);
    owl.sinceHit = 0;
    NUX_PlaySound(sfxPigeonHit[rand() % 3]);

    // A chain of strikes less than a second apart shows x2, x3, x4; a fifth starts over.
    if (owl.comboCount >= 1 && owl.comboCount <= 3 && owl.comboTimer < 1.0f) {
        Sprite* mark = &comboImages[owl.comboCount - 1]->sprite;
        mark->alpha = 1.0f;
        mark->rotation = 0;
        mark->x = owl.x;
        mark->y = owl.y;
    } else {
        owl.comboCount = 0;
    }
    owl.comboTimer = 0;
    owl.comboCount += 1;
    addScore(50 * owl.comboCount - 50, 1);

    // The multiplier pays the level for every pigeon already caught in this swoop.
    addScore(swoopLevel * swoopMultiplier, 1);
    swoopMultiplier += 1;
    if (swoopMultiplier > maxMultiplier)
        maxMultiplier = swoopMultiplier;
}

void updatePigeon(Pigeon* pigeon, float dt)
{
    pigeon->x -= pigeon->speed * dt;
    if (pigeon->x < -30)
        resetPigeon(pigeon);

    if (!pigeon->struck)
        pigeon->y = (float)(pigeon->baseY + 30 * sin((double)(pigeon->x / pigeon->wavePeriod)));
    else
        pigeon->y = pigeon->baseY;

    // Within 250 pixels of the owl a pigeon climbs or dives away from it, struck or not.
    float d = distance(owl.x, owl.y, pigeon->x, pigeon->y);
    if (d < 250)
        pigeon->fleeMode = pigeon->y > owl.y ? 1 : 0;
    else
        pigeon->fleeMode = 2;
    if (pigeon->fleeMode == 1)
        pigeon->baseY += pigeon->fleeSpeed * dt;
    else if (pigeon->fleeMode == 0)
        pigeon->baseY -= pigeon->fleeSpeed * dt;

    Sprite* frame1 = &pigeon->frame1->sprite;
    Sprite* frame2 = &pigeon->frame2->sprite;
    pigeon->flapTimer += dt;
    if (pigeon->flapTimer > pigeon->flapInterval) {
        if (frame2->alpha == 0) {
            frame2->alpha = 100;
            frame1->alpha = 0;
        } else {
            frame2->alpha = 0;
            frame1->alpha = 100;
        }
        pigeon->flapTimer = 0;
    }

    // A struck pigeon falls with its wings still, spinning, until it lies on the street below
    // the visible area and scrolls away with it.
    if (pigeon->struck) {
        frame1->alpha = 100;
        frame2->alpha = 0;
        pigeon->baseY += 400 * dt;
        if (pigeon->baseY > 818) {
            pigeon->baseY = 818;
            pigeon->speed = LEVEL_SPEED;
        } else {
            pigeon->rotation += 725 * dt;
        }
    }

    // A pigeon that has fled low darts off to the left.
    if (pigeon->baseY > 550 && !pigeon->struck)
        pigeon->speed = 1500;

    // The owl strikes from a point 16 pixels into the pigeon's picture, scaled with it.
    float d2 = distance(pigeon->x + 16 * frame1->scaleX, pigeon->y + 16 * frame1->scaleY, owl.x, owl.y);
    if (d2 < 45 && owl.swoopActive == 1 && !pigeon->struck)
        strikePigeon(pigeon);

    // The strike flash stretches sideways, drifts with the street and fades in 0.2 s.
    Sprite* impact = &pigeon->impact->sprite;
    impact->x -= LEVEL_SPEED * dt;
    impact->scaleX += 10 * dt;
    impact->alpha -= 5 * dt;
    if (impact->alpha < 0)
        impact->alpha = 0;

    frame1->x = frame2->x = pigeon->x;
    frame1->y = frame2->y = pigeon->y;
    frame1->rotation = frame2->rotation = pigeon->rotation;
}

//---- Load and start of game

void loadPigeonsAndCitizens()
{
    // Both wing frames share one texture, so that the flock goes out as one run of drawing.
    static const char* const WING_FRAMES[] = {"data/pigeon1.png", "data/pigeon2.png"};
    NUX_LoadImageSet(WING_FRAMES, 2);
    // Added in drawing order: pigeons behind citizens, citizens behind lamps.
    for (Pigeon& pigeon : pigeons) {
        pigeon.frame1 = NUX_AddImage(gameScreen, "data/pigeon1.png");
        pigeon.frame2 = NUX_AddImage(gameScreen, "data/pigeon2.png");
        pigeon.impact = NUX_AddImage(gameScreen, "data/impact.png");
        pigeon.impact->sprite.additive = 1;
    }
    for (Citizen& citizen : citizens) {
        citizen.walk = NUX_AddImage(gameScreen, "data/citizen1.png");
        citizen.knocked = NUX_AddImage(gameScreen, "data/citizen2.png");
        citizen.talk = NUX_AddImage(gameScreen, "data/citizen4.png");
    }
    for (Lamp& lamp : lamps)
        lamp.lampImage = NUX_AddImage(gameScreen, "data/lamp1.png");
}

void initPigeonsAndCitizens()
{
    // An update with no time places every sprite without moving anything.
    for (Pigeon& pigeon : pigeons) {
        pigeon.impact->sprite.alpha = 0;
        pigeon.frame2->sprite.alpha = 0;
        resetPigeon(&pigeon);
        updatePigeon(&pigeon, 0);
    }
    for (Citizen& citizen : citizens) {
        citizen.knocked->sprite.alpha = 0;
        citizen.talk->sprite.alpha = 0;
        resetCitizen(&citizen);
        updateCitizen(&citizen, 0);
    }
    for (Lamp& lamp : lamps) {
        resetLamp(&lamp);
        updateLamp(&lamp, 0);
    }
}
