// gameStreet: the citizens walking the street and the lamps passing above them: falling pigeons
// knock citizens down for a life or points, citizens speak as the owl passes, lamps electrocute.

#include "gameLocal.h"

#include <cmath>    // sin
#include <cstdlib>  // rand

//---- State

Street street = {};

//---- Citizens

void resetCitizen(Citizen* citizen)
{
    // A citizen keeps the street speed of the level at which it entered.
    citizen->speed = (float)(gameScore.LEVEL_SPEED * 1.13 + rand() % 50);
    citizen->y = 650;
    citizen->hit = 0;
    citizen->flyByPaid = 0;
    citizen->talkTimer = 0;
    citizen->x = 1040 + rand() % 1000;
}

// A falling pigeon knocks the citizen down: usually a cry, and a life back or 200 points.
static void knockDown(Citizen* citizen)
{
    citizen->hit = 1;
    if (rand() % 8 != 6)
        NUX_PlaySound(sfxGentlemenHit[rand() % 7]);
    if (owl.lives <= 4)
        owl.lives += 1;
    else
        scoreFor(SCORE_CITIZEN, 1);
    gameScore.humansHit += 1;
}

void updateCitizen(Citizen* citizen, float dt)
{
    // How far the owl is, measured before this frame's step, in whole pixels.
    int dOwl = (int)distance(citizen->x + 15, citizen->y + 35, owl.x, owl.y);

    citizen->x -= citizen->speed * dt;
    if (citizen->x < -100)
        resetCitizen(citizen);
    citizen->y = (float)(650 + 10 * sin((double)(citizen->x / 50)));

    // Every pigeon of the pool counts, in play or not; one pigeon may fell several citizens.
    // The flags are tested first: most pigeons fly and need no distance.
    for (const Pigeon& pigeon : flock.pigeons) {
        if (pigeon.struck && citizen->hit != 1 &&
            distance(citizen->x + 15, citizen->y + 35, pigeon.x + 15, pigeon.y + 15) < 40)
            knockDown(citizen);
    }

    // One line at a time across the street; a citizen who cannot speak pays for the fly-by
    // instead, once, unless the timer has been set since its respawn. A knocked-down citizen's
    // timer is cleared on every frame, so it pays once per knock-down, not once per frame.
    if (dOwl <= 149 && gamePlay.speakElapsed <= 0) {
        NUX_PlaySound(sfxGenleman[rand() % 14]);
        gamePlay.speakElapsed = 3.0f;
        citizen->talkTimer = 0.7f;
    } else if (dOwl <= 139) {
        if (citizen->talkTimer == 0 && !citizen->flyByPaid) {
            scoreFor(SCORE_FLY_BY, 1);
            if (citizen->hit == 1)
                citizen->flyByPaid = 1;
        }
        citizen->talkTimer = 0.5f;
    }

    Sprite* walk = &citizen->walk->sprite;
    Sprite* knocked = &citizen->knocked->sprite;
    Sprite* talk = &citizen->talk->sprite;
    if (citizen->hit == 1) {
        walk->alpha = 0;
        talk->alpha = 0;
        knocked->alpha = 1.0f;
        citizen->talkTimer = 0;
    } else {
        walk->alpha = 1.0f;
        talk->alpha = 0;
        knocked->alpha = 0;
    }
    if (citizen->talkTimer > 0 && citizen->hit == 0) {
        citizen->talkTimer -= dt;
        walk->alpha = 0;
        talk->alpha = 1.0f;
    }

    walk->x = knocked->x = talk->x = citizen->x;
    walk->y = knocked->y = talk->y = citizen->y;
}

//---- Lamps

void resetLamp(Lamp* lamp)
{
    lamp->y = 300 + rand() % 300;
    lamp->x = 1200 + rand() % 1000;
}

void updateLamp(Lamp* lamp, float dt)
{
    // Higher lamps pass faster; the speed follows the street on every frame.
    lamp->speed = (float)(1.8 * gameScore.LEVEL_SPEED - (lamp->y - 300) / 4);
    lamp->x -= lamp->speed * dt;
    if (lamp->x < -100)
        resetLamp(lamp);

    lamp->lampImage->sprite.x = lamp->x;
    lamp->lampImage->sprite.y = lamp->y;
    lamp->halo->sprite.x = lamp->x - 140;
    lamp->halo->sprite.y = lamp->y - 150;

    // The lamp's head electrocutes the owl, which then drifts off with the lamp.
    if (distance(owl.x, owl.y, lamp->x + 26, lamp->y + 36) < 35) {
        owlDie();
        owl.deathDrift = lamp->speed;
    }

    lamp->halo->sprite.alpha = (float)((double)0.8f + (double)0.2f * sin((double)(lamp->x / 50)));
}

//---- Start of a game

void resetStreet()
{
    // An update with no time places every sprite without moving anything.
    for (Citizen& citizen : street.citizens) {
        citizen.knocked->sprite.alpha = 0;
        citizen.talk->sprite.alpha = 0;
        resetCitizen(&citizen);
        updateCitizen(&citizen, 0);
    }
    for (Lamp& lamp : street.lamps) {
        resetLamp(&lamp);
        updateLamp(&lamp, 0);
    }
}
