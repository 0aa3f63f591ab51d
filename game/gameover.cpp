// gameover: the scene after the last life. A white flash clears, the view tilts up over 20 s
// from a walking citizen into a red sky full of pigeons, the narrator speaks at 6.3 s and the
// closing words fade in from 25 s. Entering it records the game in the high scores.

#include "gameover.h"
#include "intro.h"
#include "main.h"

#include <cmath>             // sinf
#include <cstdlib>           // rand
#include <initializer_list>  // range-for over a few pictures

//---- Constants

static const int NUM_FG_PIGEONS = 70;
static const int NUM_BG_PIGEONS = 150;
static const int FG_BEHIND_CITY = 36;  // near pigeons 0 to 35 fly behind the city and lamps
static const float TILT_TIME = 20.0f;
static const float NARRATION_TIME = 6.3f;
static const float CLOSING_TIME = 25.0f;
static const char* GAMEOVER_MUSIC = "data/tombrider.ogg";
static const double GAMEOVER_MUSIC_LENGTH = 40.0;  // "data/tombrider.ogg" as the pack makes it

// Each layer slides down as the view tilts: y = scroll x rate + base.
struct TiltLayer {
    float rate, base;
};
static const TiltLayer CITIZEN_TILT = {1200.0f, 480.0f};
static const TiltLayer BUSHES_TILT = {1300.0f, 550.0f};
static const TiltLayer CITY_TILT = {950.0f, 0.0f};
static const TiltLayer SKYLINE_TILT = {560.0f, -400.0f};
static const TiltLayer LAMP_TILT = {1100.0f, 200.0f};

//---- State

Image *skyline2 = nullptr, *frontcity = nullptr, *lamp = nullptr, *citizen = nullptr, *bushes = nullptr;
Image* gameover = nullptr;
Sprite* fadeInEffect = nullptr;
Pigeon fgPigeons[NUM_FG_PIGEONS] = {};
Pigeon bgPigeons[NUM_BG_PIGEONS] = {};

static Image* sky = nullptr;
static Image* letterbox2 = nullptr;
static NUX_Sound* gameOverNarration = nullptr;
static Subtitles gameOverSubtitles;
static float gameOverElapsed = 0.0f;
static int gameOverMusicPlaying = 0;
static float gameOverMusicElapsed = 0.0f;
static int playedNarration = 0;
static float scroll = 0.0f;  // kept between visits: only the tilt changes it
static float citizenY = 480.0f;
static SceneMusic gameOverMusic = {GAMEOVER_MUSIC_LENGTH, 0, 0.0};

//---- Helpers

static float tilt(const TiltLayer& layer)
{
    return scroll * layer.rate + layer.base;
}

static void createFrames(Pigeon* pigeon)
{
    pigeon->frame1 = NUX_AddImage(gameOverScreen, "data/pigeon1.png");
    pigeon->frame2 = NUX_AddImage(gameOverScreen, "data/pigeon2.png");
    pigeon->frame2->sprite.alpha = 0.0f;
}

static void tintFrames(Pigeon* pigeon, float greenBlue)
{
    for (Image* frame : {pigeon->frame1, pigeon->frame2}) {
        frame->sprite.green = greenBlue;
        frame->sprite.blue = greenBlue;
    }
}

static void scaleFrames(Pigeon* pigeon, float scale)
{
    for (Image* frame : {pigeon->frame1, pigeon->frame2}) {
        frame->sprite.scaleX = scale;
        frame->sprite.scaleY = scale;
    }
}

// One bird of a flock: it flies left, comes round again at the left edge, flaps and waves.
static void flyPigeon(Pigeon* p, bool foreground, float dt)
{
    p->x -= p->speed * dt;
    if (foreground && p->x < -70.0f) {
        resetPigeon(p);
        scaleFrames(p, (p->speed - 300.0f) / 600.0f + 1.0f);  // faster birds look nearer
        p->speed *= 0.8f;
        p->x = 1200.0f;
        p->baseY = (float)(50 - rand() % 1000);
    } else if (!foreground && p->x < -50.0f) {
        resetPigeon(p);
        p->x = 1200.0f;
        p->baseY = (float)(rand() % 400 - 580);
        p->speed *= 0.3f;
    }

    p->flapTimer += dt;
    if (p->flapTimer > p->flapInterval) {
        if (p->frame2->sprite.alpha == 0.0f) {
            p->frame2->sprite.alpha = 100.0f;
            p->frame1->sprite.alpha = 0.0f;
        } else {
            p->frame2->sprite.alpha = 0.0f;
            p->frame1->sprite.alpha = 100.0f;
        }
        p->flapTimer = 0.0f;
    }

    p->y = p->baseY + 30.0f * sinf(p->x / p->wavePeriod) + scroll * (foreground ? 1200.0f : 560.0f);
    for (Image* frame : {p->frame1, p->frame2}) {
        frame->sprite.x = p->x;
        frame->sprite.y = p->y;
        frame->sprite.rotation = p->rotation;
    }
}

//---- Flocks

void initForegroundPigeons()
{
    for (int i = 0; i < NUM_FG_PIGEONS; i++) {
        Pigeon* p = &fgPigeons[i];
        createFrames(p);
        if (i == FG_BEHIND_CITY - 1) {
            frontcity = NUX_AddImage(gameOverScreen, "data/city-red.png");
            lamp = NUX_AddImage(gameOverScreen, "data/lamp-posts.png");
            lamp->sprite.x = 700.0f;
        }
        resetPigeon(p);
        tintFrames(p, 0.7f);
        p->x = (float)(1024 + rand() % 500);
        p->baseY = (float)(-(rand() % 1300));
    }
}

void initBackgroundPigeons()
{
    for (int i = 0; i < NUM_BG_PIGEONS; i++) {
        Pigeon* p = &bgPigeons[i];
        createFrames(p);
        resetPigeon(p);
        tintFrames(p, 0.2f);
        scaleFrames(p, 0.4f);
        p->speed *= 0.5f;
        p->x = (float)(1024 + rand() % 500);
        p->baseY = (float)(rand() % 400 - 580);
    }
}

void runGameOverPigeons(float dt)
{
    for (int i = 0; i < NUM_FG_PIGEONS; i++)
        flyPigeon(&fgPigeons[i], true, dt);
    for (int i = 0; i < NUM_BG_PIGEONS; i++)
        flyPigeon(&bgPigeons[i], false, dt);
}

//---- Scene

void loadGameOver()
{
    sky = NUX_AddImage(gameOverScreen, "data/sky-red.png");
    initBackgroundPigeons();
    skyline2 = NUX_AddImage(gameOverScreen, "data/skyline-red.png");
    initForegroundPigeons();
    citizen = NUX_AddImage(gameOverScreen, "data/citizen-red.png");
    bushes = NUX_AddImage(gameOverScreen, "data/front-bushes.png");
    gameover = NUX_AddImage(gameOverScreen, "data/the-end-small.png");
    gameover->sprite.x = 100.0f;
    gameover->sprite.y = 440.0f;
    letterbox2 = NUX_AddImage(gameOverScreen, "data/letterbox.png");
    fadeInEffect = NUX_AddRect(gameOverScreen, 0.0f, 0.0f, 1024.0f, 768.0f);
    fadeInEffect->additive = 1;
    gameOverNarration = NUX_LoadSound("data/gameover.wav");
    loadSubtitles(&gameOverSubtitles, gameOverScreen, GAMEOVER_LINES, GAMEOVER_LINE_COUNT);
    NUX_CheckMusic(GAMEOVER_MUSIC);  // named with the files that failed, if it cannot be played
}

void resetGameOver()
{
    gameOverMusicPlaying = 0;
    gameOverMusicElapsed = 0.0f;
    gameOverElapsed = 0.0f;
    playedNarration = 0;
    showSubtitles(&gameOverSubtitles, -1.0f);
    resetSceneMusic(&gameOverMusic);

    skyline2->sprite.y = -400.0f;
    frontcity->sprite.y = 0.0f;
    lamp->sprite.x = 700.0f;
    lamp->sprite.y = 200.0f;
    citizen->sprite.x = 150.0f;
    citizen->sprite.y = 480.0f;
    citizenY = 480.0f;
    bushes->sprite.y = 550.0f;
    gameover->sprite.x = 100.0f;
    gameover->sprite.y = 440.0f;
    gameover->sprite.alpha = 0.0f;

    // White, added above full strength: the picture starts washed out.
    fadeInEffect->alpha = 1.2f;
    fadeInEffect->additive = 1;

    recordFinishedGame(getScore(), getNumPigeons());
}

void runGameOver(float dt)
{
    const float E0 = gameOverElapsed;
    if (E0 > 0.0f && E0 < TILT_TIME)
        scroll = interpolate(E0 / TILT_TIME, 15);
    gameOverElapsed += dt;
    const float E = gameOverElapsed;
    fadeInEffect->alpha -= 2.9f * dt;

    advanceSceneMusic(&gameOverMusic, dt);
    if (dt > 0.0f && gameOverMusicPlaying == 0) {
        startSceneMusic(&gameOverMusic, GAMEOVER_MUSIC);
        if (!gameOverMusic.missing)
            NUX_SetMusicVolume(0.52);  // a volume for no music would only print an error
        gameOverMusicPlaying = 1;
    }
    gameOverMusicElapsed = (float)sceneMusicPosition(&gameOverMusic);

    citizenY = tilt(CITIZEN_TILT);
    bushes->sprite.y = tilt(BUSHES_TILT);
    frontcity->sprite.y = tilt(CITY_TILT);
    skyline2->sprite.y = tilt(SKYLINE_TILT);
    lamp->sprite.y = tilt(LAMP_TILT);

    citizen->sprite.y = citizenY + 10.0f * sinf(3.0f * E);
    citizen->sprite.x += 30.0f * dt;

    if (playedNarration == 0 && E >= NARRATION_TIME) {
        NUX_PlaySound(gameOverNarration);
        playedNarration = 1;
    }
    showSubtitles(&gameOverSubtitles, playedNarration ? E - NARRATION_TIME : -1.0f);
    if (E >= CLOSING_TIME)
        gameover->sprite.alpha += 2.0f * dt;

    runGameOverPigeons(dt);
}

float getGameOverElapsed()
{
    return gameOverMusicPlaying == 1 ? gameOverMusicElapsed : 0.0f;
}

float getGameOverClock()
{
    return gameOverElapsed;
}
float getGameOverScroll()
{
    return scroll;
}
int getGameOverNarrationPlayed()
{
    return playedNarration;
}
