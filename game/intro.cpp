// intro: the title screen. The owl brightens out of the dark, the help pictures fade in and out
// and at 24 s of the title music the scene turns red until the track loops. Also the high scores.

#include "intro.h"
#include "main.h"

#include <cmath>             // sinf
#include <cstdio>            // snprintf
#include <cstdlib>           // rand
#include <initializer_list>  // range-for over a few pictures

//---- Constants

static const int NUM_CLOUDS = 10;
static const double TITLE_MUSIC_LENGTH = 32.0;  // "data/titular.ogg" as the pack makes it
static const float VEIL_TIME = 0.35f;           // the veil lifts over the music's first 0.35 s
static const float TURN_TIME = 24.0f;           // the scene turns
static const float TWITCH_TIME = 24.4f;         // the staring owl starts to twitch

//---- State

Image *skygradient = nullptr, *skysolid = nullptr, *bigowl = nullptr, *bigowlblink = nullptr;
Image *bigowlstare = nullptr, *bigowltwitch = nullptr, *title = nullptr;
Image *attack_help = nullptr, *swoop_help = nullptr, *space_help = nullptr;
Label *highScoreLabel = nullptr, *lastScoreLabel = nullptr;
Sprite* fadeInSprite = nullptr;

static Image* skyline = nullptr;
static Image* clouds[NUM_CLOUDS] = {};
static int cloud_speed[NUM_CLOUDS] = {};

static float introElapsed = 0.0f;
static int introMusicPlaying = 0;
static float introMusicElapsed = 0.0f;
static SceneMusic introMusic = {TITLE_MUSIC_LENGTH, 0, 0.0};

static int highScore = 0;
static int mostPigeons = 0;
static int lastScore = 0;
static int lastPigeons = 0;
static char highScoreLine[64] = "";  // the title's two score lines, as last written
static char lastScoreLine[64] = "";

//---- Helpers

// A cloud's place, grey and speed, drawn from rand() in this order.
static void scatterCloud(int i, int heightRange, int heightShift)
{
    Sprite* s = &clouds[i]->sprite;
    s->x = (float)(rand() % 1024);
    s->y = (float)(rand() % heightRange - heightShift);
    float grey = 0.2f + 0.02f * (float)(rand() % 5);
    NUX_SetSpriteColor(s, grey, grey, grey);
    cloud_speed[i] = -50 - rand() % 60;
}

// The help pictures fade in inside their window of the music and out, turning magenta, after it.
static void fadeHelp(Sprite* help, float start, float end, float m, float dt)
{
    if (m > start && m < end)
        help->alpha += 0.36f * dt;
    if (m > end) {
        help->alpha -= 0.38f * dt;
        help->green -= 0.2f * dt;
    }
}

//---- High scores

void recordFinishedGame(int score, int pigeons)
{
    if (score > highScore) {
        highScore = score;
        mostPigeons = pigeons;
    }
    lastScore = score;
    lastPigeons = pigeons;
}

int getHighScore()
{
    return highScore;
}
int getMostPigeons()
{
    return mostPigeons;
}
int getLastScore()
{
    return lastScore;
}
int getLastPigeons()
{
    return lastPigeons;
}

const char* getHighScoreLine()
{
    return highScoreLine;
}
const char* getLastScoreLine()
{
    return lastScoreLine;
}

void clearHighScoresForTest()
{
    highScore = mostPigeons = lastScore = lastPigeons = 0;
}

void initHighScores()
{
    snprintf(highScoreLine, sizeof highScoreLine, "HIGH SCORE: %6d POINTS      %d PIGEONS", highScore, mostPigeons);
    NUX_SetLabelText(highScoreLabel, highScoreLine);
    snprintf(lastScoreLine, sizeof lastScoreLine, "LAST SCORE:  %6d POINTS      %d PIGEONS", lastScore, lastPigeons);
    NUX_SetLabelText(lastScoreLabel, lastScoreLine);

    NUX_SetSpritePosition(&highScoreLabel->sprite, 595.0f, 215.0f);
    NUX_SetSpritePosition(&lastScoreLabel->sprite, 595.0f, 235.0f);
    for (Label* label : {highScoreLabel, lastScoreLabel}) {
        label->sprite.alpha = 0.0f;
        label->sprite.rotation = 0.0f;
        NUX_SetSpriteColor(&label->sprite, 1.0f, 1.0f, 1.0f);
    }
    // Once there is a score, the help pictures take turns in one place below the score lines.
    if (highScore > 0) {
        for (Image* help : {attack_help, swoop_help, space_help}) {
            help->sprite.y += 55.0f;
            help->sprite.x = 595.0f;
        }
    }
}

//---- Scene

void loadIntro()
{
    skygradient = NUX_AddImage(introScreen, "data/skygradient.png");
    attack_help = NUX_AddImage(introScreen, "data/attack-help.png");
    swoop_help = NUX_AddImage(introScreen, "data/swoop-help.png");
    space_help = NUX_AddImage(introScreen, "data/space-help.png");
    skysolid = NUX_AddImage(introScreen, "data/skysolid.png");
    skyline = NUX_AddImage(introScreen, "data/skyline.png");
    skyline->sprite.y = 425.0f;
    for (int i = 0; i < NUM_CLOUDS; i++) {
        clouds[i] = NUX_AddImage(introScreen, "data/cloud.png");
        scatterCloud(i, 40, 20);
    }
    bigowl = NUX_AddImage(introScreen, "data/bigowl.png");
    bigowlblink = NUX_AddImage(introScreen, "data/bigowlblink.png");
    bigowlstare = NUX_AddImage(introScreen, "data/bigowlstare.png");
    bigowltwitch = NUX_AddImage(introScreen, "data/bigowltwitch.png");
    title = NUX_AddImage(introScreen, "data/title.png");
    NUX_SetSpritePosition(&bigowl->sprite, 22.0f, 275.0f);
    highScoreLabel = NUX_AddLabel(introScreen, fontFutura, " ", 512, 16);
    lastScoreLabel = NUX_AddLabel(introScreen, fontFutura, " ", 512, 16);
    fadeInSprite = NUX_AddRect(introScreen, 0.0f, 0.0f, 1024.0f, 768.0f);
}

void resetIntro()
{
    introElapsed = 0.0f;
    introMusicPlaying = 0;
    introMusicElapsed = 0.0f;
    resetSceneMusic(&introMusic);

    // The veil lightens the whole picture by its colour until the music lifts it.
    fadeInSprite->alpha = 1.0f;
    fadeInSprite->additive = 1;
    NUX_SetSpriteColor(fadeInSprite, 0.1f, 0.12f, 0.15f);

    const float helpX[3] = {677.0f, 630.0f, 810.0f};
    Image* helps[3] = {attack_help, swoop_help, space_help};
    for (int i = 0; i < 3; i++) {
        helps[i]->sprite.alpha = 0.0f;
        helps[i]->sprite.green = 1.0f;
        helps[i]->sprite.x = helpX[i];
        helps[i]->sprite.y = 215.0f;
    }

    skysolid->sprite.alpha = 1.0f;
    skyline->sprite.y = 425.0f;
    NUX_SetSpritePosition(&bigowl->sprite, 22.0f, 275.0f);
    for (Image* pose : {bigowlblink, bigowlstare, bigowltwitch}) {
        NUX_SetSpritePosition(&pose->sprite, -38.0f, 264.0f);
        pose->sprite.alpha = 0.0f;
    }
    // The portrait starts as a black silhouette.
    NUX_SetSpriteColor(&bigowl->sprite, 0.0f, 0.0f, 0.0f);
    bigowl->sprite.alpha = 0.99f;
    NUX_SetSpritePosition(&title->sprite, 428.0f, 13.0f);
    title->sprite.alpha = 0.0f;

    for (int i = 0; i < NUM_CLOUDS; i++)
        scatterCloud(i, 42, 42);

    initHighScores();
}

void runIntro(float dt)
{
    introElapsed += dt;
    advanceSceneMusic(&introMusic, dt);
    introMusicElapsed = (float)sceneMusicPosition(&introMusic);
    const float E = introElapsed;
    const float M = introMusicElapsed;

    // The first frame with time in it starts the music (a zero-length first frame does not).
    if (dt > 0.0f && introMusicPlaying == 0) {
        startSceneMusic(&introMusic, "data/titular.ogg");
        introMusicPlaying = 1;
    }

    // The music (re)starts: the veil lifts, and after a turned pass the owl is calm again.
    if (introMusicPlaying == 1 && sceneMusicPosition(&introMusic) <= VEIL_TIME) {
        const float p = (float)sceneMusicPosition(&introMusic);
        fadeInSprite->alpha = 1.0f - interpolate(p / VEIL_TIME, 14);
        if (bigowltwitch->sprite.alpha == 1.0f) {
            bigowltwitch->sprite.alpha = 0.0f;
            bigowlstare->sprite.alpha = 0.0f;
            bigowl->sprite.alpha = 1.0f;
            NUX_SetSpriteColor(&bigowl->sprite, 0.0f, 0.0f, 0.0f);
            skygradient->sprite.green = 1.0f;
            skygradient->sprite.blue = 1.0f;
            skysolid->sprite.alpha = 1.0f;
        }
    }

    if (E > 1.5f)
        skysolid->sprite.alpha -= 0.7f * dt;
    if (E > 2.5f) {
        bigowl->sprite.red += 0.9f * dt;
        bigowl->sprite.green += 0.9f * dt;
        bigowl->sprite.blue += 0.9f * dt;
    }
    if (M > 5.5f)
        title->sprite.alpha += 0.75f * dt;
    if (M > 6.4f && highScore > 0) {
        lastScoreLabel->sprite.alpha += 1.2f * dt;
        highScoreLabel->sprite.alpha = lastScoreLabel->sprite.alpha;
    }

    // The portrait's red component doubles as the blink clock.
    if (bigowl->sprite.red >= 2.7f)
        bigowlblink->sprite.alpha = 1.0f;
    if (bigowl->sprite.red >= 2.8f)
        bigowlblink->sprite.alpha = 0.0f;

    fadeHelp(&attack_help->sprite, 8.5f, 12.5f, M, dt);
    fadeHelp(&swoop_help->sprite, 14.5f, 18.5f, M, dt);
    if (M > 19.5f && M < 24.5f)
        space_help->sprite.alpha += 0.36f * dt;

    // The turn: red sky, flickering title, and the owl stares, then twitches.
    if (M > TURN_TIME) {
        space_help->sprite.alpha = 0.0f;
        skygradient->sprite.green = 0.6f;
        skygradient->sprite.blue = 0.7f;
        bigowl->sprite.alpha = 0.0f;
        title->sprite.alpha = 0.9f + 0.1f * sinf(25.0f * E);
        if (highScore > 0) {
            lastScoreLabel->sprite.green = 0.9f + 0.1f * sinf(25.0f * E);
            lastScoreLabel->sprite.blue = 0.8f + 0.2f * sinf(25.0f * E);
            highScoreLabel->sprite.green = lastScoreLabel->sprite.green;
            highScoreLabel->sprite.blue = lastScoreLabel->sprite.blue;
        }
        bigowlstare->sprite.alpha = 1.0f;
        bigowlstare->sprite.green = 0.7f + 0.1f * sinf(38.0f * E);
        bigowlstare->sprite.blue = 0.9f + 0.1f * sinf(38.0f * E);
    }
    if (M > TWITCH_TIME) {
        bigowlstare->sprite.alpha = 0.0f;
        bigowltwitch->sprite.alpha = 1.0f;
        bigowltwitch->sprite.green = 0.7f + 0.1f * sinf(38.0f * E);
        bigowltwitch->sprite.blue = 0.9f + 0.1f * sinf(38.0f * E);
    }

    // Clouds drift left; after the turn they race seven times faster, reddened.
    for (int i = 0; i < NUM_CLOUDS; i++) {
        Sprite* s = &clouds[i]->sprite;
        if (M < TURN_TIME) {
            s->x += (float)cloud_speed[i] * dt;
            s->red = 0.2f;
        } else {
            s->x += 7.0f * (float)cloud_speed[i] * dt;
            s->red = 0.5f;
            s->blue = 0.2f;
        }
        if (s->x + s->width < 0.0f) {
            s->x += 1024.0f + s->width;
            cloud_speed[i] = -50 - rand() % 60;
        }
    }
}

int isIntroMusicPlaying()
{
    return introMusicPlaying;
}

float getIntroElapsed()
{
    return introElapsed;
}
float getIntroMusicElapsed()
{
    return introMusicElapsed;
}
int getIntroTurned()
{
    return introMusicElapsed > TURN_TIME ? 1 : 0;
}
