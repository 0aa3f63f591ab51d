// game: the game screen. Its items and sounds, the start of a game, the frame of play in its
// order, the scrolling city, the music-driven sky, moon, mist and sunrise, and the pause.

#include "gameLocal.h"
#include "main.h"  // gameScreen, fontFutura, doTimer, switchGameMode

#include <cmath>             // sin, cos
#include <cstdio>            // snprintf
#include <cstdlib>           // rand
#include <initializer_list>  // loops over a few named items

//---- Constants

static const double GAME_LENGTH = 300.0;  // seconds of unpaused play
static const char* GAME_MUSIC = "data/apex.ogg";

//---- State

GamePlay gamePlay = {};

Label* scoreLabel = nullptr;
Image* life[LIFE_ICONS] = {};
Image* skull[LIFE_ICONS] = {};
Image* comboImages[COMBO_MARKS] = {};
Image* swoopLevelUp = nullptr;
Sprite* swoopBarEffect = nullptr;
Sprite* lampHitEffect = nullptr;
Sprite* swoopEffect = nullptr;
ParticleSource* feathers = nullptr;

NUX_Sound* sfxOwlDie = nullptr;
NUX_Sound* sfxPause = nullptr;
NUX_Sound* sfxUnPause = nullptr;
NUX_Sound* sfxFlameOn = nullptr;
NUX_Sound* sfxFlap[4] = {};
NUX_Sound* sfxSwoopBonus[7] = {};
NUX_Sound* sfxFirstSwoop = nullptr;
NUX_Sound* sfxConstantSwoop = nullptr;
NUX_Sound* sfxHumanHit[4] = {};
NUX_Sound* sfxGentlemenHit[7] = {};
NUX_Sound* sfxDive = nullptr;
NUX_Sound* sfxPigeonHit[3] = {};
NUX_Sound* sfxGenleman[14] = {};
NUX_Sound* sfxHitLamp = nullptr;

Image* sunrise = nullptr;
Image* moon = nullptr;
Image *treeScrollPage1 = nullptr, *treeScrollPage2 = nullptr;
Image *scrollPage1 = nullptr, *scrollPage2 = nullptr;
Image* swoopBar = nullptr;
Image* pausedImage = nullptr;
Sprite* dangerEffect = nullptr;

static Image* swoopFrame = nullptr;

//---- Helpers

// Numbered sounds: pattern holds one %d (or %02d) filled with first, first + 1, ...
static void loadSounds(NUX_Sound** sounds, int count, const char* pattern, int first)
{
    for (int i = 0; i < count; i++) {
        char path[64] = {};
        snprintf(path, sizeof path, pattern, first + i);
        sounds[i] = NUX_LoadSound(path);
    }
}

// Two pages side by side: when the right-hand one passes the left edge, the left-hand one jumps
// to its right and they swap roles.
static void wrapPages(Image*& left, Image*& right)
{
    if (right->sprite.x < 0) {
        left->sprite.x = right->sprite.x + 1024;
        Image* swap = left;
        left = right;
        right = swap;
    }
}

//---- Scene

void loadGame()
{
    sunrise = NUX_AddImage(gameScreen, "data/sunset.png");
    moon = NUX_AddImage(gameScreen, "data/moon.png");
    treeScrollPage1 = NUX_AddImage(gameScreen, "data/treeline.png");
    treeScrollPage2 = NUX_AddImage(gameScreen, "data/treeline.png");
    scrollPage1 = NUX_AddImage(gameScreen, "data/city.png");
    scrollPage2 = NUX_AddImage(gameScreen, "data/city.png");
    NUX_AddImage(gameScreen, "data/UImask.png");
    swoopBar = NUX_AddImage(gameScreen, "data/swoopbar.png");
    swoopFrame = NUX_AddImage(gameScreen, "data/swoopframe.png");
    for (Sprite*& place : owlGlow.swoopGlow) {
        place = &NUX_AddImage(gameScreen, "data/swoopGlow.png")->sprite;
        place->additive = 1;
    }
    loadPigeonsAndCitizens();
    scoreLabel = NUX_AddLabel(gameScreen, fontFutura, "0 POINTS", 256, 28);
    owl.testSprite = &NUX_AddImage(gameScreen, "data/owntest.png")->sprite;
    owl.wingsUpSprite = &NUX_AddImage(gameScreen, "data/flap1.png")->sprite;
    owl.wingsDownSprite = &NUX_AddImage(gameScreen, "data/flap2.png")->sprite;
    owl.eyesSprite = &NUX_AddImage(gameScreen, "data/flapeyes.png")->sprite;
    owl.swoopSprite = &NUX_AddImage(gameScreen, "data/swoop.png")->sprite;
    owl.zapSprite = &NUX_AddImage(gameScreen, "data/zap.png")->sprite;
    for (Lamp& lamp : street.lamps)
        lamp.halo = NUX_AddImage(gameScreen, "data/halo.png");
    owl.sparks = NUX_AddParticleSource(gameScreen, 50, "data/spark.png");
    feathers = NUX_AddParticleSource(gameScreen, 200, "data/feather.png");
    for (Mist& bank : mistWaves.mist)
        bank.sprite = NUX_AddImage(gameScreen, "data/mist.png");
    comboImages[0] = NUX_AddImage(gameScreen, "data/x2.png");
    comboImages[1] = NUX_AddImage(gameScreen, "data/x3.png");
    comboImages[2] = NUX_AddImage(gameScreen, "data/x4.png");
    pausedImage = NUX_AddImage(gameScreen, "data/paused.png");
    for (int i = 0; i < LIFE_ICONS; i++) {
        skull[i] = NUX_AddImage(gameScreen, "data/skull.png");
        life[i] = NUX_AddImage(gameScreen, "data/head.png");
    }
    swoopLevelUp = NUX_AddImage(gameScreen, "data/swooplevelup.png");
    swoopBarEffect = NUX_AddRect(gameScreen, 0, 0, 50, 50);
    lampHitEffect = NUX_AddRect(gameScreen, 0, 0, 1024, 768);
    dangerEffect = NUX_AddRect(gameScreen, 0, 0, 1024, 768);
    swoopEffect = NUX_AddRect(gameScreen, 0, 0, 1024, 768);

    sfxOwlDie = NUX_LoadSound("data/owldie.wav");
    sfxPause = NUX_LoadSound("data/paused.wav");
    sfxUnPause = NUX_LoadSound("data/unpaused.wav");
    sfxFlameOn = NUX_LoadSound("data/flameon2.wav");
    loadSounds(sfxFlap, 4, "data/flap%02d.wav", 1);
    loadSounds(sfxSwoopBonus, 7, "data/swoopbonus%d.wav", 1);
    sfxFirstSwoop = NUX_LoadSound("data/niceswoopin.wav");
    sfxConstantSwoop = NUX_LoadSound("data/constantswoop.wav");
    loadSounds(sfxHumanHit, 4, "data/human-hit%02d.ogg", 1);
    loadSounds(sfxGentlemenHit, 6, "data/gentlemen-hit%02d.aiff", 1);
    sfxGentlemenHit[6] = NUX_LoadSound("data/gentlemen-hit08.aiff");
    sfxDive = NUX_LoadSound("data/dive.wav");
    loadSounds(sfxPigeonHit, 3, "data/pigeon-hit-%02d.wav", 1);
    loadSounds(sfxGenleman, 14, "data/gentlemenswoop%d.wav", 1);
    sfxHitLamp = NUX_LoadSound("data/hit-lamp2.wav");
    NUX_CheckMusic(GAME_MUSIC);  // named with the files that failed, if it cannot be played

    doTimer();
}

void resetGame()
{
    gamePlay.gameMusicPlaying = 0;
    gamePlay.gameTimeElapsed = 0;
    gamePlay.pausedElapsed = 0;
    // Every way out of a game passes through an unpause; a game entered any other way starts unpaused.
    gamePlay.gamePaused = 0;

    // In this order: the pools' respawns draw random numbers, the street's read the level speed.
    resetGameScore();
    resetFlock();
    resetStreet();
    resetMistWaves();

    NUX_SetSpritePosition(&moon->sprite, 800, 60);
    moon->sprite.alpha = 1;

    NUX_SetSpriteColor(&sunrise->sprite, 1, 1, 1);
    sunrise->sprite.alpha = 0.3f;
    gamePlay.sunriseInitialized = 0;

    for (Image* page : {treeScrollPage1, treeScrollPage2}) {
        page->sprite.y = 114;
        page->sprite.scaleX = page->sprite.scaleY = 2.01f;
    }
    for (Image* page : {scrollPage1, scrollPage2})
        page->sprite.scaleX = page->sprite.scaleY = 2.0f;
    NUX_SetSpritePosition(&scrollPage1->sprite, 0, 144);
    NUX_SetSpritePosition(&scrollPage2->sprite, 1024, 144);

    NUX_SetSpritePosition(&swoopBar->sprite, 102, 14);
    NUX_SetSpritePosition(swoopBarEffect, 102, 14);
    swoopBarEffect->width = 265;
    swoopBarEffect->height = 28;
    swoopBarEffect->alpha = 0.4f;
    swoopBarEffect->additive = 1;

    lampHitEffect->green = 1.0f;
    lampHitEffect->blue = 0.6f;
    lampHitEffect->additive = 1;
    lampHitEffect->alpha = 0;

    NUX_SetSpriteColor(dangerEffect, 0.85f, 0.05f, 0.2f);
    dangerEffect->additive = 1;
    dangerEffect->alpha = 0;

    NUX_SetSpriteColor(swoopEffect, 0.39f, 0.35f, 0.1f);
    swoopEffect->additive = 1;
    swoopEffect->alpha = 0;

    NUX_SetSpriteColor(&swoopBar->sprite, 1, 1, 1);
    swoopBar->sprite.alpha = 50;

    NUX_SetSpritePosition(&pausedImage->sprite, 512, 384);
    pausedImage->sprite.centered = 1;
    pausedImage->sprite.alpha = 0;

    NUX_SetSpritePosition(&scoreLabel->sprite, 420, 10);

    resetOwl();
    resetOwlGlow();

    for (int i = 0; i < LIFE_ICONS; i++) {
        float x = 670 + 5 * i + i * life[i]->sprite.width;
        life[i]->sprite.x = skull[i]->sprite.x = x;
        life[i]->sprite.y = skull[i]->sprite.y = 7;
    }

    NUX_SetSpritePosition(&feathers->sprite, 300, 300);
    feathers->emitStopped = 1;  // bursts only

    for (Image* combo : comboImages) {
        combo->sprite.alpha = 0;
        combo->sprite.centered = 1;
        combo->sprite.additive = 1;
    }

    swoopLevelUp->sprite.centered = 1;
    swoopLevelUp->sprite.additive = 1;
    swoopLevelUp->sprite.alpha = 0;

    NUX_SetSpritePosition(&swoopFrame->sprite, 5, 10);

    doTimer();
}

//---- Scrolling and scenery

// The city scrolls at the street's speed, the tree line behind it at half.
static void updateLevel(float dt)
{
    scrollPage1->sprite.x -= gameScore.LEVEL_SPEED * dt;
    scrollPage2->sprite.x -= gameScore.LEVEL_SPEED * dt;
    wrapPages(scrollPage1, scrollPage2);
    treeScrollPage1->sprite.x -= (gameScore.LEVEL_SPEED / 2) * dt;
    treeScrollPage2->sprite.x -= (gameScore.LEVEL_SPEED / 2) * dt;
    wrapPages(treeScrollPage1, treeScrollPage2);
}

// Everything timed by the music: dusk to night, the moon, the mist waves, the sunrise, and the
// red pulse of the last life, 70 beats a minute with the track.
static void updateScene(float dt)
{
    double m = gameMusicElapsed;

    moon->sprite.x -= 3.5f * dt;
    if (m > 152) {
        moon->sprite.y += 1.9f * dt;
        moon->sprite.x -= 0.9f * dt;
    }

    if (m < 50) {
        sunrise->sprite.alpha = 0;
        NUX_SetClearColor(0.08 - 0.001 * m, 0.1 - 0.002 * m, 0.16 - 0.002 * m, 1);
        sunrise->sprite.red -= 0.9f * dt;
        sunrise->sprite.green -= 0.9f * dt;
        NUX_SetSpriteColor(&treeScrollPage1->sprite, 0, 0, 0);
        NUX_SetSpriteColor(&treeScrollPage2->sprite, 0, 0, 0);
        for (Image* page : {scrollPage1, scrollPage2}) {
            page->sprite.red = 0.6f;
            page->sprite.blue = 0.7f;
        }
    }

    updateMistWaves(m, dt);

    if (m > 223) {
        if (gamePlay.sunriseInitialized == 0)
            NUX_SetSpriteColor(&sunrise->sprite, 1, 1, 1);
        sunrise->sprite.alpha += 0.07f * dt;
        moon->sprite.alpha -= 0.05f * dt;
        if (m > 228) {
            for (Image* page : {treeScrollPage1, treeScrollPage2}) {
                page->sprite.blue += 0.07f * dt;
                page->sprite.red = page->sprite.green = page->sprite.blue;
            }
        }
        if (m > 225) {
            scrollPage1->sprite.red += 0.04f * dt;
            scrollPage2->sprite.red += 0.04f * dt;
            if (scrollPage1->sprite.blue > 0.65f) {
                scrollPage1->sprite.blue -= 0.02f * dt;
                scrollPage2->sprite.blue -= 0.02f * dt;
            }
        }
    }

    if (owl.lives == 1)
        dangerEffect->alpha = cos(2 * (m * 0.5 * 2.333333333) * 3.14159265) * 0.12 + 0.12;
    else if (dangerEffect->alpha > 0)
        dangerEffect->alpha -= dt;
}

//---- Frame

void runGame(float dt)
{
    if (!gamePlay.gamePaused) {
        gameMusicElapsed = NUX_GetMusicPosition();
        gamePlay.gameTimeElapsed += dt;
    }
    if (dt > 0 && gamePlay.gameMusicPlaying == 0) {
        NUX_PlayMusic(GAME_MUSIC);
        gamePlay.gameMusicPlaying = 1;
    }
    if (gamePlay.gameTimeElapsed > GAME_LENGTH) {
        switchGameMode(MODE_GAMEBEAT);
        return;
    }

    // The combo marks and the speech cool-down run on while paused.
    for (Image* combo : comboImages) {
        combo->sprite.alpha -= 2 * dt;
        combo->sprite.rotation += 300 * dt;
    }
    if (gamePlay.speakElapsed > 0)
        gamePlay.speakElapsed -= dt;

    if (gamePlay.gamePaused) {
        gamePlay.pausedElapsed += dt;
        float shimmer = sin(gamePlay.pausedElapsed * 3) * 0.15 + 0.95;
        NUX_SetSpriteColor(&pausedImage->sprite, shimmer, shimmer, shimmer);
        return;
    }

    updateLevelStep(dt);

    swoopLevelUp->sprite.alpha -= 0.8f * dt;
    swoopLevelUp->sprite.x -= gameScore.LEVEL_SPEED * dt;
    swoopLevelUp->sprite.scaleX += 0.4f * dt;
    swoopLevelUp->sprite.scaleY += 0.4f * dt;

    updateLives();
    updateScene(dt);
    updateSpecialSwoop(dt);

    swoopBar->sprite.scaleX = owl.swoopEnergy;
    swoopBarEffect->scaleX = owl.swoopEnergy;
    if (swoopBarEffect->alpha > 0)
        swoopBarEffect->alpha -= 2 * dt;
    if (lampHitEffect->alpha > 0)
        lampHitEffect->alpha -= 3 * dt;

    if (scoreLabel->sprite.green < 1.0f) {
        Sprite* label = &scoreLabel->sprite;
        label->blue += 1.5f * dt;
        label->red = label->green = label->blue;
    }

    // The bar reddens with the swoop level, pure red from level 10.
    swoopBar->sprite.green = swoopBar->sprite.blue = 1 - gameScore.swoopLevel / 10.0;

    for (int i = 0; i < gameScore.numPigeons && i < PIGEON_POOL; i++)
        updatePigeon(&flock.pigeons[i], dt);
    for (int i = 0; i < gameScore.numCitizens && i < CITIZEN_POOL; i++)
        updateCitizen(&street.citizens[i], dt);
    for (int i = 0; i < gameScore.numLamps && i < LAMP_POOL; i++)
        updateLamp(&street.lamps[i], dt);

    updateLevel(dt);
    updateOwl(dt);
    updateOwlSprites(dt);
}

//---- Pause

void gamePause()
{
    if (!gamePlay.gamePaused) {
        NUX_SetMusicPaused(1);
        NUX_PlaySound(sfxPause);
        pausedImage->sprite.alpha = 1;
        gamePlay.gamePaused = 1;
    } else {
        pausedImage->sprite.alpha = 0;
        gamePlay.gamePaused = 0;
        NUX_PlaySound(sfxUnPause);
        NUX_SetMusicPaused(0);
    }
}

int getGamePaused()
{
    return gamePlay.gamePaused;
}
