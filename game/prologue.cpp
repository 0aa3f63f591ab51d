// prologue: 37.5 seconds of dusk. The owl flies right over a scrolling skyline and tree line
// while the narrator speaks, the picture darkens and the moon rises; then the game begins.

#include "prologue.h"
#include "main.h"

#include <cmath>             // sinf
#include <initializer_list>  // range-for over a few pictures

//---- Constants

static const char* PROLOGUE_MUSIC = "data/revelations.ogg";
static const float PROLOGUE_LENGTH = 37.5f;
static const float MONOLOGUE_START = 1.0f;
static const float MOON_RISE_START = 4.0f;
static const float MOON_RISE_END = 19.0f;

//---- State

Image *sunset = nullptr, *prologue_moon = nullptr, *prologue_skyline = nullptr, *prologue_skyline2 = nullptr;
Image *trees = nullptr, *trees2 = nullptr, *flap1 = nullptr, *flap2 = nullptr;

static NUX_Sound* monologueSound = nullptr;
static float prologueElapsed = 0.0f;
static int prologueMusicPlaying = 0;
static short monologuePlaying = 0;
static Subtitles prologueSubtitles;

//---- Helpers

// A pair of pages sliding left; a page that has gone a whole width past the edge comes round again.
static void scrollPair(Image* first, Image* second, float speed, float dt)
{
    for (Image* page : {first, second}) {
        page->sprite.x -= speed * dt;
        if (page->sprite.x < -1024.0f)
            page->sprite.x += 2048.0f;
    }
}

// Dusk deepens: red and green sink, the pair shares the first copy's values.
static void darken(Image* first, Image* second, float e)
{
    first->sprite.red -= e / 60000.0f;
    first->sprite.green -= e / 20000.0f;
    if (second) {
        second->sprite.red = first->sprite.red;
        second->sprite.green = first->sprite.green;
    }
}

//---- Scene

void loadThePrologue()
{
    sunset = NUX_AddImage(prologueScreen, "data/sunset.png");
    NUX_SetSpritePosition(&sunset->sprite, 0.0f, 120.0f);
    prologue_moon = NUX_AddImage(prologueScreen, "data/night-moon.png");
    prologue_skyline = NUX_AddImage(prologueScreen, "data/prologue-skyline.png");
    prologue_skyline2 = NUX_AddImage(prologueScreen, "data/prologue-skyline.png");
    trees = NUX_AddImage(prologueScreen, "data/sunset_trees.png");
    trees2 = NUX_AddImage(prologueScreen, "data/sunset_trees.png");
    flap1 = NUX_AddImage(prologueScreen, "data/flap1_sunset.png");
    flap2 = NUX_AddImage(prologueScreen, "data/flap2_sunset.png");
    monologueSound = NUX_LoadSound("data/monologue.wav");
    loadSubtitles(&prologueSubtitles, prologueScreen, PROLOGUE_LINES, PROLOGUE_LINE_COUNT);
    resetPrologue();
    NUX_CheckMusic(PROLOGUE_MUSIC);  // named with the files that failed, if it cannot be played
}

void resetPrologue()
{
    NUX_SetClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    prologueElapsed = 0.0f;
    prologueMusicPlaying = 0;
    monologuePlaying = 0;
    for (Image* image : {sunset, trees, prologue_skyline, flap1, flap2})
        NUX_SetSpriteColor(&image->sprite, 1.0f, 1.0f, 1.0f);
    NUX_SetSpritePosition(&prologue_moon->sprite, 405.0f, 190.0f);
    prologue_moon->sprite.alpha = 0.0f;
    NUX_SetSpritePosition(&prologue_skyline->sprite, 0.0f, 166.0f);
    NUX_SetSpritePosition(&prologue_skyline2->sprite, 1024.0f, 166.0f);
    NUX_SetSpritePosition(&trees->sprite, 0.0f, 430.0f);
    NUX_SetSpritePosition(&trees2->sprite, 1024.0f, 430.0f);
    flap1->sprite.x = 100.0f;
    flap2->sprite.x = 68.0f;
    flap2->sprite.alpha = 0.0f;
    showSubtitles(&prologueSubtitles, -1.0f);
}

void runPrologue(float dt)
{
    prologueElapsed += dt;
    const float e = prologueElapsed;
    if (dt > 0.0f && !prologueMusicPlaying) {
        NUX_PlayMusic(PROLOGUE_MUSIC);
        if (NUX_GetMusicLength() > 0.0)
            NUX_SetMusicVolume(0.47);  // a volume for no music would only print an error
        prologueMusicPlaying = 1;
    }
    if (e > PROLOGUE_LENGTH) {
        switchGameMode(MODE_GAME);
        return;
    }
    if (!monologuePlaying && e > MONOLOGUE_START) {
        NUX_PlaySound(monologueSound);
        monologuePlaying = 1;
    }
    showSubtitles(&prologueSubtitles, monologuePlaying ? e - MONOLOGUE_START : -1.0f);

    scrollPair(prologue_skyline, prologue_skyline2, 40.0f, dt);
    scrollPair(trees, trees2, 80.0f, dt);

    // The owl bobs on its wing beat: wings up above the line, wings down on and below it.
    const float s = 10.0f * sinf(12.0f * e);
    for (Image* frame : {flap1, flap2})
        frame->sprite.y = 210.0f + s;
    flap1->sprite.alpha = s > 0.0f ? 1.0f : 0.0f;
    flap2->sprite.alpha = s > 0.0f ? 0.0f : 1.0f;
    flap1->sprite.x += 22.0f * dt;
    flap2->sprite.x += 22.0f * dt;

    // Per frame, not per second: the darkening follows the frame rate.
    darken(sunset, nullptr, e);
    darken(flap1, nullptr, e);
    darken(flap2, nullptr, e);
    darken(prologue_skyline, prologue_skyline2, e);
    darken(trees, trees2, e);

    if (e > MOON_RISE_START && e <= MOON_RISE_END) {
        prologue_moon->sprite.alpha += 0.1f * dt;
        const float t = (e - 4.0f) / (e + 11.0f);
        prologue_moon->sprite.y = 190.0f - 310.0f * interpolate(t, 15);
    }
}

float getPrologueElapsed()
{
    return prologueElapsed;
}
