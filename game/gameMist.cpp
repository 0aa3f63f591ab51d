// gameMist: the banks of mist that roll across the play field in three waves, and the timeline
// that starts and ends the waves on the game music's clock.

#include "gameLocal.h"

#include <cstdlib>  // rand

//---- State

MistWaves mistWaves = {};

// Each step once a game, when the music passes its time.
const MistStep mistTimeline[6] = {
    {43.0, 1, &MistWaves::firstMistWaveStarted},   {80.0, 0, &MistWaves::firstMistWaveEnded},
    {175.0, 1, &MistWaves::secondMistWaveStarted}, {220.0, 0, &MistWaves::secondMistWaveEnded},
    {256.0, 1, &MistWaves::thirdMistWaveStarted},  {290.0, 0, &MistWaves::thirdMistWaveEnded},
};

//---- Waves

void initMist()
{
    for (Mist& bank : mistWaves.mist) {
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
    bank->vx = -(rand() % 100) - gameScore.LEVEL_SPEED - 40;
}

void startMist()
{
    // Banks still finishing the last wave's crossing are no longer active: they start over too.
    for (Mist& bank : mistWaves.mist) {
        if (bank.active == 0) {
            resetIndividualMist(&bank);
            bank.active = 1;
        }
    }
}

void endMist()
{
    for (Mist& bank : mistWaves.mist)
        bank.active = 0;
}

void updateMist(float dt)
{
    for (Mist& bank : mistWaves.mist) {
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

//---- Timeline

void resetMistWaves()
{
    initMist();
    for (const MistStep& step : mistTimeline)
        mistWaves.*step.done = 0;
}

void updateMistWaves(double music, float dt)
{
    for (const MistStep& step : mistTimeline) {
        if (music > step.at && mistWaves.*step.done == 0) {
            mistWaves.*step.done = 1;
            if (step.start)
                startMist();
            else
                endMist();
        }
    }
    updateMist(dt);
}
