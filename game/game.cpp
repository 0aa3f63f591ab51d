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

double gameTimeElapsed = 0;
float speakElapsed = 0;

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

static int gameMusicPlaying = 0;
static int gamePaused = 0;
static float pausedElapsed = 0;
static int firstMistWaveStarted = 0, firstMistWaveEnded = 0;
static int secondMistWaveStarted = 0, secondMistWaveEnded = 0;
static int thirdMistWaveStarted = 0, thirdMistWaveEnded = 0;
static int sunriseInitialized = 0;  // set by no rule: the sunrise tint stays forced to white

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

// One-shot step of the mist timeline.
static void mistStep(double m, double at, int& flag, void (*action)())
{
    if (m > at && flag == 0) {
        flag = 1;
        action();
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
    for (Sprite*& glow : swoopGlow) {
        glow = &NUX_AddImage(gameScreen, "data/swoopGlow.png")->sprite;
        glow->additive = 1;
    }
    loadPigeonsAndCitizens();
    scoreLabel = NUX_AddLabel(gameScreen, fontFutura, "0 POINTS", 256, 28);
    owl.testSprite = &NUX_AddImage(gameScreen, "data/owntest.png")->sprite;
    owl.wingsUpSprite = &NUX_AddImage(gameScreen, "data/flap1.png")->sprite;
    owl.wingsDownSprite = &NUX_AddImage(gameScreen, "data/flap2.png")->sprite;
    owl.eyesSprite = &NUX_AddImage(gameScreen, "data/flapeyes.png")->sprite;
    owl.swoopSprite = &NUX_AddImage(gameScreen, "data/swoop.png")->sprite;
    owl.zapSprite = &NUX_AddImage(gameScreen, "data/zap.png")->sprite;
    for (Lamp& lamp : lamps)
        lamp.halo = NUX_AddImage(gameScreen, "data/halo.png");
    owl.sparks = NUX_AddParticleSource(gameScreen, 50, "data/spark.png");
    feathers = NUX_AddParticleSource(gameScreen, 200, "data/feather.png");
    for (Mist& bank : mist)
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
    gameMusicPlaying = 0;
    hitPigeons = 0;
    humansHit = 0;
    numSwoops = 0;
    swoopLevel = 0;
    levelIncrement = 0;
    gameTimeElapsed = 0;
    longestSwoop = 0;
    swoopTime = 0;
    lastSwoopPoint = 0;
    maxMultiplier = 0;
    swoopMultiplier = 0;
    pausedElapsed = 0;
    firstMistWaveStarted = firstMistWaveEnded = 0;
    secondMistWaveStarted = secondMistWaveEnded = 0;
    thirdMistWaveStarted = thirdMistWaveEnded = 0;
    // Every way out of a game passes through an unpause; a game entered any other way starts unpaused.
    gamePaused = 0;

    pigeonWaveOffset = (int)((rand() % 4) * 3.14159265);

    LEVEL_SPEED = 82;
    numLamps = 2.0f;
    numPigeons = 2;
    numCitizens = 2.0f;

    initPigeonsAndCitizens();
    initMist();

    NUX_SetSpritePosition(&moon->sprite, 800, 60);
    moon->sprite.alpha = 1;

    NUX_SetSpriteColor(&sunrise->sprite, 1, 1, 1);
    sunrise->sprite.alpha = 0.3f;
    sunriseInitialized = 0;

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

    Sprite* owlSprites[] = {owl.testSprite, owl.wingsUpSprite, owl.wingsDownSprite,
                            owl.eyesSprite, owl.swoopSprite,   owl.zapSprite};
    for (Sprite* sprite : owlSprites)
        sprite->centered = 1;

    owl.sparks->minScale = 0.6f;
    owl.sparks->vxSpread = 5.0f;
    owl.sparks->particleLife = 1.0f;
    owl.sparks->emitPaused = 1;
    owl.sparks->emitInterval = 0.2f;

    owl.lives = 5;
    owl.score = 0;
    addScore(0, 1);

    for (Sprite* glow : swoopGlow) {
        glow->centered = 1;
        glow->alpha = 0;
    }

    respawnOwl();
    owl.x = 250;
    owl.y = 150;

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
    scrollPage1->sprite.x -= LEVEL_SPEED * dt;
    scrollPage2->sprite.x -= LEVEL_SPEED * dt;
    wrapPages(scrollPage1, scrollPage2);
    treeScrollPage1->sprite.x -= (LEVEL_SPEED / 2) * dt;
    treeScrollPage2->sprite.x -= (LEVEL_SPEED / 2) * dt;
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

    mistStep(m, 43.0, firstMistWaveStarted, startMist);
    mistStep(m, 80.0, firstMistWaveEnded, endMist);
    mistStep(m, 175.0, secondMistWaveStarted, startMist);
    mistStep(m, 220.0, secondMistWaveEnded, endMist);
    mistStep(m, 256.0, thirdMistWaveStarted, startMist);
    mistStep(m, 290.0, thirdMistWaveEnded, endMist);
    updateMist(dt);

    if (m > 223) {
        if (sunriseInitialized == 0)
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
    if (!gamePaused) {
        gameMusicElapsed = NUX_GetMusicPosition();
        gameTimeElapsed += dt;
    }
    if (dt > 0 && gameMusicPlaying == 0) {
        NUX_PlayMusic(GAME_MUSIC);
        gameMusicPlaying = 1;
    }
    if (gameTimeElapsed > GAME_LENGTH) {
        switchGameMode(MODE_GAMEBEAT);
        return;
    }

    // The combo marks and the speech cool-down run on while paused.
    for (Image* combo : comboImages) {
        combo->sprite.alpha -= 2 * dt;
        combo->sprite.rotation += 300 * dt;
    }
    if (speakElapsed > 0)
        speakElapsed -= dt;

    if (gamePaused) {
        pausedElapsed += dt;
        float shimmer = sin(pausedElapsed * 3) * 0.15 + 0.95;
        NUX_SetSpriteColor(&pausedImage->sprite, shimmer, shimmer, shimmer);
        return;
    }

    updateLevelStep(dt);

    swoopLevelUp->sprite.alpha -= 0.8f * dt;
    swoopLevelUp->sprite.x -= LEVEL_SPEED * dt;
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
    swoopBar->sprite.green = swoopBar->sprite.blue = 1 - swoopLevel / 10.0;

    for (int i = 0; i < numPigeons && i < PIGEON_POOL; i++)
        updatePigeon(&pigeons[i], dt);
    for (int i = 0; i < numCitizens && i < CITIZEN_POOL; i++)
        updateCitizen(&citizens[i], dt);
    for (int i = 0; i < numLamps && i < LAMP_POOL; i++)
        updateLamp(&lamps[i], dt);

    updateLevel(dt);
    updateOwl(dt);
    updateOwlSprites(dt);
}

//---- Pause

void gamePause()
{
    if (!gamePaused) {
        NUX_SetMusicPaused(1);
        NUX_PlaySound(sfxPause);
        pausedImage->sprite.alpha = 1;
        gamePaused = 1;
    } else {
        pausedImage->sprite.alpha = 0;
        gamePaused = 0;
        NUX_PlaySound(sfxUnPause);
        NUX_SetMusicPaused(0);
    }
}

int getGamePaused()
{
    return gamePaused;
}
