// gameOwl: the owl's flight, flaps, drift, swoop, energy, screen bounds, death and respawn, and
// the controls the input layer calls at the moment of a key event.

#include "gameLocal.h"
#include "main.h"  // switchGameMode, MODE_GAMEOVER

#include <cmath>    // sin, cos
#include <cstdlib>  // rand

//---- Constants

static const float DEG_TO_RAD = 0.017453292f;
static const float SWOOP_SPEED = 900.0f;  // px/s along the heading
static const float SWOOP_DIVE = 30.0f;    // degrees below level at the start of a swoop
static const float FLAP_LIFT = -3.5f;     // fallSpeed of a down-stroke: 420 px/s upward
static const float SWOOP_END_JUMP = 50.0f;

//---- State

Owl owl = {};
float yGrav = 9.0f;

//---- Helpers

// The up key, the flap sounds and the swoop controls reach the owl in every mode, including the
// splash and the title, before the game screen has loaded its sprites: those writes are skipped.
static void setAlpha(Sprite* sprite, float alpha)
{
    if (sprite)
        sprite->alpha = alpha;
}

// The three flight poses: exactly one shown.
static void showPose(float wingsUp, float wingsDown, float swoop)
{
    setAlpha(owl.wingsUpSprite, wingsUp);
    setAlpha(owl.wingsDownSprite, wingsDown);
    setAlpha(owl.swoopSprite, swoop);
}

//---- Controls

void owlFlapUp()
{
    if (owl.swoopActive == 1) {
        owl.y -= SWOOP_END_JUMP;
        owl.swoopActive = 0;
    }
    owl.angle = 0;
    showPose(100, 0, 0);
    owl.wingsUp = 1;
}

void owlFlapDown()
{
    if (owl.swoopActive == 1)
        return;
    owl.wingsUp = 0;
    showPose(0, 100, 0);
    owl.fallSpeed = FLAP_LIFT;
    NUX_PlaySound(sfxFlap[rand() % 4]);
}

void owlSwoop()
{
    if (owl.dying)
        return;
    if (owl.swoopActive) {
        owlFlapUp();
        owlFlapDown();
        return;
    }
    gameScore.numSwoops += 1.0f;
    owl.swoopActive = 1;
    owl.angle = SWOOP_DIVE;
    showPose(0, 0, 100);
    NUX_PlaySound(sfxDive);
}

void owlSwoopStop()
{
    if (owl.dying)
        return;
    gameScore.swoopMultiplier = 0;
    owlFlapUp();
    owlFlapDown();
}

//---- Flight

void MoveOwl(float dt)
{
    float r = (owl.angle + 90) * DEG_TO_RAD;
    owl.x += owl.swoopSpeed * sin(r) * dt;
    owl.y += owl.swoopSpeed * (-cos(r)) * dt;
}

// The dying owl flickers, turns red and drifts off to the left with the lamp that killed it.
static void updateDyingOwl(float dt)
{
    owl.deathTime += dt;
    owl.zapSprite->alpha = sin(owl.deathTime * 35);
    owl.swoopSprite->alpha = 1;
    owl.x -= owl.deathDrift * dt;
    owl.zapSprite->blue -= dt;
    owl.zapSprite->green = owl.zapSprite->blue;
    owl.zapSprite->red -= 0.2f * dt;
    if (owl.x < -100)
        respawnOwl();
}

void updateOwl(float dt)
{
    if (owl.dying == 1) {
        updateDyingOwl(dt);
        return;
    }

    // Energy drains while swooping (it grows from swoop level 10 on) and refills in flight.
    if (owl.swoopActive) {
        owl.swoopEnergy -= (0.8 - gameScore.swoopLevel / 12.0) * dt;
        if (owl.swoopEnergy > 1.0f)
            owl.swoopEnergy = 1.0f;
        if (owl.swoopEnergy < 0) {
            owlFlapUp();
            owlFlapDown();
        }
        gameScore.swoopTime += dt;
        if (gameScore.swoopTime > gameScore.longestSwoop)
            gameScore.longestSwoop = gameScore.swoopTime;
    } else {
        gameScore.swoopTime = 0;
        owl.swoopEnergy += 2 * dt;
        if (owl.swoopEnergy > 1.0f)
            owl.swoopEnergy = 1.0f;
    }

    // Left and right turn a swoop, or push the owl sideways; right wins when both are held.
    if (movingLeft == 1) {
        if (owl.swoopActive)
            owl.angle -= 310 * dt;
        else
            owl.driftX = -340 * dt;
    }
    if (movingRight == 1) {
        if (owl.swoopActive)
            owl.angle += 310 * dt;
        else
            owl.driftX = 300 * dt;
    }

    // A released key leaves the owl gliding on and slowing down.
    if (owl.driftX > 0)
        owl.driftX -= 2.8f * dt;
    if (owl.driftX < 0)
        owl.driftX += 2.8f * dt;
    owl.x += owl.driftX;

    if (owl.swoopActive) {
        MoveOwl(dt);
        owl.fallSpeed = 0;
    } else {
        owl.fallSpeed += yGrav * dt;
        if (owl.wingsUp == 1)
            owl.y += (owl.fallSpeed / 10) * 120 * dt;  // held wings glide at a tenth of the speed
        else
            owl.y += owl.fallSpeed * 120 * dt;
    }

    if (owl.x < 40)
        owl.x = 40;
    if (owl.x > 924)
        owl.x = 924;
    if (owl.y < 80)
        owl.y = 80;
    if (owl.y > 768) {
        if (owl.swoopActive) {
            owl.y = 698;
        } else {
            // Touching the street makes the owl flap by itself, nudged to the right.
            owlFlapUp();
            owlFlapDown();
            owl.driftX += 1.0f;
        }
    }

    owl.sinceHit += dt;
    owl.comboTimer += dt;
}

//---- Death and respawn

void owlDie()
{
    if (owl.dying != 0)
        return;
    owl.sparks->emitPaused = 0;
    owl.swoopSpeed = 0;
    owl.dying = 1;
    owl.zapSprite->alpha = 1;
    owl.wingsUpSprite->alpha = 0;
    owl.wingsDownSprite->alpha = 0;
    owl.testSprite->alpha = 0;
    owl.swoopSprite->alpha = 0;
    lampHitEffect->alpha = 0.5f;
    gameScore.swoopMultiplier = 0;
    owl.lives -= 1;
    if (owl.lives <= 0) {
        NUX_PlaySound(sfxOwlDie);
        switchGameMode(MODE_GAMEOVER);
    } else {
        NUX_PlaySound(sfxHitLamp);
    }
}

void respawnOwl()
{
    owl.sparks->emitPaused = 1;
    owl.swoopEnergy = 1.0f;
    owl.swoopSpeed = SWOOP_SPEED;
    owl.sinceHit = 0;
    owl.dying = 0;
    owl.deathTime = 0;
    owl.wingsUp = 0;
    owl.x = owl.y = owl.angle = 0;
    owl.swoopActive = 0;
    owl.zapSprite->alpha = 0;
    owl.swoopSprite->alpha = 0;
    owl.wingsUpSprite->alpha = 0;
    owl.testSprite->alpha = 0;
    owl.wingsDownSprite->alpha = 1.0f;
    owl.zapSprite->red = owl.zapSprite->green = owl.zapSprite->blue = 1;
    swoopEffect->alpha = 0;
}

//---- Start of a game

void resetOwl()
{
    Sprite* sprites[] = {owl.testSprite, owl.wingsUpSprite, owl.wingsDownSprite,
                         owl.eyesSprite, owl.swoopSprite,   owl.zapSprite};
    for (Sprite* sprite : sprites)
        sprite->centered = 1;

    owl.sparks->minScale = 0.6f;
    owl.sparks->vxSpread = 5.0f;
    owl.sparks->particleLife = 1.0f;
    owl.sparks->emitPaused = 1;
    owl.sparks->emitInterval = 0.2f;

    owl.lives = 5;
    owl.score = 0;
    scoreFor(SCORE_NEW_GAME, 1);

    respawnOwl();
    owl.x = 250;
    owl.y = 150;
}
