// gamebeat: the ending. A dawn run along the city timed to "data/moltin.ogg": the owl flaps in
// and swoops away, a citizen walks in, a close-up, the view tilts up into the sky; then the
// credits (gamebeatCredits) take over and, once the music loops again, the title returns.

#include "gamebeat.h"
#include "intro.h"
#include "main.h"

#include <cmath>             // sinf, cosf
#include <initializer_list>  // range-for over a few pictures

//---- Constants

static const char* ENDING_MUSIC = "data/moltin.ogg";
static const double ENDING_MUSIC_LENGTH = 36.0;  // "data/moltin.ogg" as the pack makes it
static const float RUN_TIME = 10.0f;             // the sideways run eases out over 10 s
static const float SWOOP_TIME = 9.0f;
static const float FLAP_END = 8.8f;
static const float CLOSEUP_START = 15.4f;
static const float CLOSEUP_END = 21.5f;
static const float LOOKUP_START = 22.0f;
static const float LOOKUP_END = 30.0f;
static const float CREDITS_TIME = 30.5f;

//---- State

Image *skyblue = nullptr, *skydark = nullptr, *skylinebeat = nullptr, *skylinebeat2 = nullptr;
Image *city = nullptr, *city2 = nullptr, *bigcitizen = nullptr, *bigcitizen2 = nullptr, *lampbeat = nullptr;
Image *bigflap1 = nullptr, *bigflap2 = nullptr, *swooping = nullptr, *bushbeat = nullptr, *bushbeat2 = nullptr;
Image *closeup_background = nullptr, *closeup_citizen = nullptr;
Label *scoreText = nullptr, *pigeonText = nullptr, *humanText = nullptr, *swoopText = nullptr,
      *pigeonSwoopText = nullptr;
Image *bigtitle = nullptr, *programming = nullptr, *art = nullptr, *music = nullptr, *voices = nullptr;
Sprite* gameBeatFadeIn = nullptr;
float beatMusicElapsed = 0.0f;
int endingRan = ENDING_SCENE;
int beatMusicMissing = 0;

static Image* letterbox = nullptr;
static float gameBeatElapsed = 0.0f;
static int beatMusicPlaying = 0;
static float scroll_x = 0.0f;
static float bushBeatOffset = 0.0f, bushBeatOffset2 = 0.0f;
static float lastFlap = 0.0f;
static SceneMusic beatMusic = {ENDING_MUSIC_LENGTH, 0, 0.0};

//---- Helpers

static void setScale(Image* image, float scale)
{
    image->sprite.scaleX = scale;
    image->sprite.scaleY = scale;
}

// Dawn colours a pair: the second copy's components rise and the first copy takes them.
static void brighten(Image* first, Image* second, float rate, float dt)
{
    Sprite* s = &second->sprite;
    s->red += rate * dt;
    s->green += rate * dt;
    s->blue += rate * dt;
    NUX_SetSpriteColor(&first->sprite, s->red, s->green, s->blue);
}

// The scene itself, while the ending has not yet reached its credits.
static void runScene(float dt, float m, float E)
{
    if (E < RUN_TIME)
        scroll_x = interpolate(E / RUN_TIME, 14);
    if (m < 1.3f)
        gameBeatFadeIn->alpha = 1.0f - interpolate(m / 1.3f, 8);
    if (skydark->sprite.alpha > 0.0f)
        skydark->sprite.alpha -= 0.1f * dt;
    updateScoreStats(dt);

    // Sideways: the nearer the layer, the further it runs.
    const float skylineWidth = skylinebeat->sprite.width;
    const float cityWidth = city->sprite.width;
    const float bushWidth = bushbeat->sprite.width;
    skylinebeat->sprite.x = 650.0f - 1040.0f * scroll_x;
    skylinebeat2->sprite.x = skylineWidth + 650.0f - 1040.0f * scroll_x;
    city->sprite.x = -50.0f - 3080.0f * scroll_x;
    city2->sprite.x = cityWidth - 50.0f - 3080.0f * scroll_x;
    bushbeat->sprite.x = bushBeatOffset - 5000.0f * scroll_x;
    if (bushbeat->sprite.x < -1024.0f)
        bushBeatOffset += 2.0f * bushWidth;
    bushbeat2->sprite.x = bushWidth + bushBeatOffset2 - 5000.0f * scroll_x;
    if (bushbeat2->sprite.x < -1024.0f)
        bushBeatOffset2 += 2.0f * bushWidth;
    lampbeat->sprite.x = 3000.0f - 2350.0f * scroll_x;

    // The citizen walks in with a bob, then stops in its second pose.
    if (m < 10.0f) {
        for (Image* pose : {bigcitizen, bigcitizen2})
            NUX_SetSpritePosition(&pose->sprite, 2700.0f - 2200.0f * scroll_x, 400.0f + 10.0f * sinf(3.0f * E));
    } else {
        bigcitizen->sprite.alpha = 0.0f;
        bigcitizen2->sprite.alpha = 1.0f;
    }

    if (m > SWOOP_TIME) {
        // The swoop away, up-screen; past 9.8 s the curve runs on beyond 1.
        const float s = interpolate(m - 8.8f, 14);
        bigflap1->sprite.alpha = 0.0f;
        bigflap2->sprite.alpha = 0.0f;
        swooping->sprite.alpha = 1.0f;
        swooping->sprite.y -= 500.0f * dt;
        swooping->sprite.x = 67.0f + 450.0f * s;
        swooping->sprite.rotation = -90.0f * s;
        const float y = bigflap2->sprite.y - 265.0f * dt;
        for (Image* frame : {bigflap1, bigflap2})
            NUX_SetSpritePosition(&frame->sprite, 97.0f + 275.0f * s, y);
    } else {
        // Flying in from beyond the left edge; the swooping owl rides along unseen.
        if (m < 3.5f) {
            const float x = -200.0f + 297.0f * interpolate(m / 3.0f, 14);
            bigflap1->sprite.x = x;
            bigflap2->sprite.x = x;
        }
        NUX_SetSpritePosition(&swooping->sprite, bigflap1->sprite.x - 20.0f, bigflap1->sprite.y + 30.0f);
        const float y = 340.0f + 30.0f * sinf(2.0f * E);
        bigflap1->sprite.y = y;
        bigflap2->sprite.y = y;
    }

    if (lastFlap > 0.25f && m < FLAP_END) {
        lastFlap = 0.0f;
        const bool firstShows = bigflap1->sprite.alpha != 0.0f;
        bigflap1->sprite.alpha = firstShows ? 0.0f : 1.0f;
        bigflap2->sprite.alpha = firstShows ? 1.0f : 0.0f;
    }

    brighten(skylinebeat, skylinebeat2, 0.1f, dt);
    brighten(city, city2, 0.1f, dt);
    brighten(bushbeat, bushbeat2, 0.1f, dt);
    brighten(bigflap1, bigflap2, 0.09f, dt);
    brighten(swooping, swooping, 0.09f, dt);

    closeup_citizen->sprite.x = 7.0f + 3.0f * cosf(5.0f * m);
    if (m >= CLOSEUP_START && m <= CLOSEUP_END) {
        closeup_background->sprite.alpha = 1.0f;
        closeup_citizen->sprite.alpha = 1.0f;
    } else if (m > CLOSEUP_END) {
        closeup_background->sprite.alpha -= 0.45f * dt;
        closeup_citizen->sprite.alpha -= 0.45f * dt;
    }

    // The view tilts up into the morning sky.
    if (m >= LOOKUP_START && m <= LOOKUP_END) {
        const float t = interpolate((m - 22.0f) / 8.0f, 15);
        skyblue->sprite.y = 40.0f * t;
        skylinebeat->sprite.y = 200.0f + 460.0f * t;
        skylinebeat2->sprite.y = skylinebeat->sprite.y;
        bigcitizen2->sprite.y = 400.0f + 525.0f * t;
        lampbeat->sprite.y = 210.0f + 560.0f * t;
        bushbeat->sprite.y = 550.0f + 610.0f * t;
        bushbeat2->sprite.y = bushbeat->sprite.y;
    }
}

//---- Scene

void loadGameBeat()
{
    skyblue = NUX_AddImage(gameBeatScreen, "data/skyblue.png");
    skyblue->sprite.x = 0.0f;
    skydark = NUX_AddImage(gameBeatScreen, "data/skydark.png");
    setScale(skydark, 2.0f);
    skylinebeat = NUX_AddImage(gameBeatScreen, "data/skyline-blue.png");
    skylinebeat2 = NUX_AddImage(gameBeatScreen, "data/skyline-blue.png");
    setScale(skylinebeat, 2.0f);
    setScale(skylinebeat2, 2.0f);
    city = NUX_AddImage(gameBeatScreen, "data/citydark.png");
    city2 = NUX_AddImage(gameBeatScreen, "data/citydark.png");
    bigcitizen = NUX_AddImage(gameBeatScreen, "data/citizen_big.png");
    bigcitizen2 = NUX_AddImage(gameBeatScreen, "data/citizen_big2.png");
    lampbeat = NUX_AddImage(gameBeatScreen, "data/lampbeat.png");
    bigflap1 = NUX_AddImage(gameBeatScreen, "data/bigflap1.png");
    bigflap2 = NUX_AddImage(gameBeatScreen, "data/bigflap2.png");
    swooping = NUX_AddImage(gameBeatScreen, "data/swooping.png");
    swooping->sprite.centered = 1;
    bushbeat = NUX_AddImage(gameBeatScreen, "data/bushbeat.png");
    bushbeat2 = NUX_AddImage(gameBeatScreen, "data/bushbeat.png");
    scoreText = NUX_AddLabel(gameBeatScreen, fontFutura, "SCORE", 512, 32);
    pigeonText = NUX_AddLabel(gameBeatScreen, fontFutura, "PIGEONS", 512, 32);
    humanText = NUX_AddLabel(gameBeatScreen, fontFutura, "HUMANS", 512, 32);
    swoopText = NUX_AddLabel(gameBeatScreen, fontFutura, "SWOOP", 512, 32);
    pigeonSwoopText = NUX_AddLabel(gameBeatScreen, fontFutura, "SWOOP PIGEONS", 512, 32);
    closeup_background = NUX_AddImage(gameBeatScreen, "data/closeup_background.png");
    closeup_background->sprite.x = 0.0f;
    closeup_citizen = NUX_AddImage(gameBeatScreen, "data/citizen_close.png");
    bigtitle = NUX_AddImage(gameBeatScreen, "data/bigtitle.png");
    programming = NUX_AddImage(gameBeatScreen, "data/programming.png");
    art = NUX_AddImage(gameBeatScreen, "data/art.png");
    music = NUX_AddImage(gameBeatScreen, "data/music.png");
    voices = NUX_AddImage(gameBeatScreen, "data/voices.png");
    letterbox = NUX_AddImage(gameBeatScreen, "data/letterbox.png");
    NUX_SetSpritePosition(&letterbox->sprite, 0.0f, 0.0f);
    gameBeatFadeIn = NUX_AddRect(gameBeatScreen, 0.0f, 0.0f, 1024.0f, 768.0f);
    NUX_CheckMusic(ENDING_MUSIC);  // named with the files that failed, if it cannot be played
}

void resetGameBeat()
{
    beatMusicPlaying = 0;
    endingRan = ENDING_SCENE;
    lastFlap = 0.0f;
    bushBeatOffset = bushBeatOffset2 = 0.0f;
    scroll_x = 0.0f;
    gameBeatElapsed = 0.0f;
    beatMusicElapsed = 0.0f;
    resetSceneMusic(&beatMusic);
    beatMusicMissing = 0;

    initScore();

    skydark->sprite.alpha = 0.99f;
    setScale(skydark, 2.0f);
    const float skylineWidth = skylinebeat->sprite.width;
    NUX_SetSpritePosition(&skylinebeat->sprite, 650.0f, 200.0f);
    NUX_SetSpritePosition(&skylinebeat2->sprite, skylineWidth + 650.0f, 200.0f);
    for (Image* page : {skylinebeat, skylinebeat2}) {
        setScale(page, 2.0f);
        NUX_SetSpriteColor(&page->sprite, 0.0f, 0.0f, 0.0f);
    }
    NUX_SetSpritePosition(&city->sprite, -50.0f, 150.0f);
    NUX_SetSpritePosition(&city2->sprite, city->sprite.width - 50.0f, 150.0f);
    NUX_SetSpriteColor(&city->sprite, 0.4f, 0.4f, 0.4f);
    NUX_SetSpriteColor(&city2->sprite, 0.4f, 0.4f, 0.4f);
    NUX_SetSpritePosition(&bigcitizen->sprite, 2700.0f, 400.0f);
    bigcitizen->sprite.alpha = 1.0f;
    NUX_SetSpritePosition(&bigcitizen2->sprite, 2700.0f, 400.0f);
    bigcitizen2->sprite.alpha = 0.0f;
    NUX_SetSpritePosition(&lampbeat->sprite, 3000.0f, 210.0f);
    for (Image* frame : {bigflap1, bigflap2}) {
        NUX_SetSpritePosition(&frame->sprite, -153.0f, 340.0f);
        NUX_SetSpriteColor(&frame->sprite, 0.2f, 0.3f, 0.3f);
        frame->sprite.alpha = 1.0f;
    }
    NUX_SetSpritePosition(&swooping->sprite, 100.0f, 340.0f);
    NUX_SetSpriteColor(&swooping->sprite, 0.2f, 0.3f, 0.3f);
    swooping->sprite.alpha = 0.0f;
    swooping->sprite.centered = 1;
    NUX_SetSpritePosition(&bushbeat->sprite, 0.0f, 550.0f);
    NUX_SetSpritePosition(&bushbeat2->sprite, bushbeat->sprite.width, 550.0f);
    NUX_SetSpriteColor(&bushbeat->sprite, 0.1f, 0.3f, 0.1f);
    NUX_SetSpriteColor(&bushbeat2->sprite, 0.1f, 0.3f, 0.1f);
    closeup_background->sprite.alpha = 0.0f;
    closeup_background->sprite.y = 107.0f;
    closeup_citizen->sprite.alpha = 0.0f;
    NUX_SetSpritePosition(&closeup_citizen->sprite, 10.0f, 107.0f);

    resetCredits();

    gameBeatFadeIn->red = gameBeatFadeIn->green = gameBeatFadeIn->blue = 0.6f;
    gameBeatFadeIn->alpha = 1.0f;
    gameBeatFadeIn->additive = 0;
}

void runGameBeat(float dt)
{
    advanceSceneMusic(&beatMusic, dt);
    beatMusicElapsed = (float)sceneMusicPosition(&beatMusic);
    const float m = beatMusicElapsed;
    gameBeatElapsed += dt;
    lastFlap += dt;
    const float E = gameBeatElapsed;
    if (dt > 0.0f && beatMusicPlaying == 0) {
        startSceneMusic(&beatMusic, ENDING_MUSIC);
        beatMusicMissing = beatMusic.missing;
        beatMusicPlaying = 1;
    }

    if (endingRan == ENDING_SCENE)
        runScene(dt, m, E);
    if (m > CREDITS_TIME)
        endingRan = ENDING_CREDITS;
    if (endingRan == ENDING_CREDITS)
        runCredits(dt);
    // Back to the title only once the music has looped past its first second.
    if (endingRan == ENDING_FINISHED && m > 1.0f && m < 5.0f)
        switchGameMode(MODE_TITLE);
}

float getGameBeatElapsed()
{
    return gameBeatElapsed;
}

int getEndingPhase()
{
    return endingRan;
}

float getBeatMusicElapsed()
{
    return beatMusicElapsed;
}
