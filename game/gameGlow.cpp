// gameGlow: the owl on screen (its six sprites, shading by height, the sparks), the glow trail that
// flames up in a long swoop, and the stream of bonus points a long swoop pays.

#include "gameLocal.h"

//---- State

OwlGlow owlGlow = {};

//---- Start of a game

void resetOwlGlow()
{
    for (Sprite* place : owlGlow.swoopGlow) {
        place->centered = 1;
        place->alpha = 0;
    }
    owlGlow.flameOnPlayed = 0;
    owlGlow.swoopEffectGlow = 0;
}

//---- Owl sprites

void updateOwlSprites(float dt)
{
    // The wings-down pose is shaded by the height the owl had one frame earlier.
    float previousY = owl.swoopSprite->y;
    Sprite* sprites[] = {owl.testSprite, owl.wingsUpSprite, owl.wingsDownSprite,
                         owl.eyesSprite, owl.swoopSprite,   owl.zapSprite};
    for (Sprite* sprite : sprites) {
        sprite->x = owl.x;
        sprite->y = owl.y;
        sprite->rotation = owl.angle;
    }

    // Dark near the top of the sky, full colour from y = 300 down.
    float shade = owl.y / 300;
    owl.wingsUpSprite->red = owl.wingsUpSprite->green = owl.wingsUpSprite->blue = shade;
    owl.swoopSprite->red = owl.swoopSprite->green = owl.swoopSprite->blue = shade;
    float previousShade = previousY / 300;
    owl.wingsDownSprite->red = owl.wingsDownSprite->green = owl.wingsDownSprite->blue = previousShade;

    owl.sparks->sprite.x = owl.x;
    owl.sparks->sprite.y = owl.y;
    updateOwlGlow(dt);
}

//---- Glow trail

void updateOwlGlow(float dt)
{
    Sprite* head = owlGlow.swoopGlow[0];
    head->rotation = owl.angle;
    head->x = owl.swoopSprite->x;
    head->y = owl.swoopSprite->y;

    // From the tail to the head, so each place takes its predecessor's values of the last frame:
    // a 75-frame history of the owl's path, smaller and dimmer place by place.
    for (int i = GLOW_TRAIL - 1; i >= 1; i--) {
        Sprite* place = owlGlow.swoopGlow[i];
        Sprite* ahead = owlGlow.swoopGlow[i - 1];
        place->rotation = ahead->rotation;
        place->x = ahead->x;
        place->y = ahead->y;
        place->alpha = ahead->alpha - 1.8f * dt;
        place->scaleX = place->scaleY = ahead->scaleX * 0.98f;
    }

    if (owl.swoopActive && !owl.dying && gameScore.swoopTime > 3.0f) {
        if (head->alpha < 0.8f)
            head->alpha += 0.5f * dt;
        if (owlGlow.flameOnPlayed == 0) {
            NUX_PlaySound(sfxFlameOn);
            owlGlow.flameOnPlayed = 1;
        }
    } else {
        owlGlow.flameOnPlayed = 0;
        if (head->alpha > 0)
            head->alpha -= 5 * dt;
    }
}

//---- Long-swoop bonus

void updateSpecialSwoop(float dt)
{
    if (gameScore.swoopTime > scoreRules[SCORE_LONG_SWOOP].after && !owl.dying) {
        // The longest tier passed pays; one whose interval has not elapsed falls through to the
        // lower tiers, whose longer intervals have not elapsed either.
        static const ScoreReason tiers[] = {SCORE_LONGEST_SWOOP, SCORE_LONGER_SWOOP, SCORE_LONG_SWOOP};
        static const float tierGlow[] = {0.03f, 0.02f, 0};
        for (int i = 0; i < 3; i++) {
            const ScoreRule& rule = scoreRules[tiers[i]];
            if (gameScore.swoopTime > rule.after &&
                gamePlay.gameTimeElapsed > gameScore.lastSwoopPoint + rule.interval) {
                scoreFor(tiers[i], 1);
                gameScore.lastSwoopPoint = gamePlay.gameTimeElapsed;
                owlGlow.swoopEffectGlow = tierGlow[i];
                break;
            }
        }
    } else {
        owlGlow.swoopEffectGlow = 0;
        if (swoopEffect->alpha > 0)
            swoopEffect->alpha -= dt;
    }
}
