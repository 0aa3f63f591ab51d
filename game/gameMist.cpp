// gameMist: the banks of mist that roll across the play field in three waves; the game screen
// starts and ends the waves on its music clock.

#include "gameLocal.h"

#include <cstdlib>  // rand

//---- State

Mist mist[MIST_BANKS] = {};

//---- Waves

void initMist()
{
    for (Mist& bank : mist) {
        bank.sprite->sprite.alpha = 0;
        bank.sprite->sprite.centered = 1;
        bank.active = 0;
        bank.vx = 0;
    }
}

void resetIndividualMist(Mist* bank)
{
    Sprite* s = &bank->sprite->sprite;
    s->alpha = (rand() % 100) * 0.006 + 0.24;
    s->scaleX = (rand() % 50) / 25.0 + 2.0;
    s->scaleY = (rand() % 50) / 25.0 + 2.0;
    bank->y = 50 + rand() % 768;
    // The left edge starts between 1100 and 2123, beyond the right edge of the screen.
    bank->x = 1100 + s->width * s->scaleX / 2 + rand() % 1024;
    bank->vx = -(rand() % 100) - LEVEL_SPEED - 40;
}

void startMist()
{
    // Banks still finishing the last wave's crossing are no longer active: they start over too.
    for (Mist& bank : mist) {
        if (bank.active == 0) {
            resetIndividualMist(&bank);
            bank.active = 1;
        }
    }
}

void endMist()
{
    for (Mist& bank : mist)
        bank.active = 0;
}

void updateMist(float dt)
{
    for (Mist& bank : mist) {
        Sprite* s = &bank.sprite->sprite;
        bank.x += bank.vx * dt;
        s->x = bank.x;
        s->y = bank.y;
        if (bank.x < -(s->width * s->scaleX)) {
            resetIndividualMist(&bank);
            if (bank.active == 0) {
                // Parked beyond the right edge, still and hidden, until the next wave.
                bank.vx = 0;
                s->alpha = 0;
            }
        }
    }
}
