// sorvelinn: the start-up splash. Four title cards, then the partner logo glowing and
// flashing, all timed against the play position of "data/sorvelinn.ogg".

#include "sorvelinn.h"
#include "intro.h"
#include "main.h"

#include <cstdlib>  // rand

//---- Constants

// Each title card shows while the music is inside its window [start, end).
struct CardWindow {
    float start, end;
};
static const CardWindow CARD_WINDOWS[4] = {{0.0f, 0.7f}, {0.7f, 1.4f}, {1.4f, 2.1f}, {2.1f, 2.8f}};
static const double LOGO_START = 5.0;
static const double FLASH_START = 8.2;
static const double SPLASH_END = 13.2;
static const char* SPLASH_MUSIC = "data/sorvelinn.ogg";
static const double SPLASH_MUSIC_LENGTH = 14.5;  // "data/sorvelinn.ogg" as the pack makes it

//---- State

Image *branding = nullptr, *leadership = nullptr, *eyewear = nullptr, *bananas = nullptr;
Image *vorn_glow = nullptr, *vorn_plain = nullptr;
Sprite* sorvelEffect = nullptr;

static double musicPosition = 0.0;
static int sorvelMusicPlaying = 0;
static int sorvelFinished = 0;
static float vornGlowFadeOut = 0.0f;
static NUX_Sound* sfxTransition = nullptr;  // one of the two below, drawn at each reset
static NUX_Sound *sfxUnpaused = nullptr, *sfxPaused = nullptr;
// Without its music the splash would never end: a stand-in clock then plays its part.
static SceneMusic sorvelMusic = {SPLASH_MUSIC_LENGTH, 0, 0.0};

//---- Helpers

static void runCard(Image* card, const CardWindow& window, double p, float dt)
{
    Sprite* s = &card->sprite;
    // The first card's window opens the moment the music has moved at all.
    bool inside = (window.start == 0.0f ? p > 0.0 : p > window.start) && p < window.end;
    if (inside) {
        s->alpha += 1.5f * dt;
        s->scaleY += 0.3f * dt;
        s->scaleX = s->scaleY;
    } else if (p > window.end) {
        s->alpha -= 2.0f * dt;
        s->scaleY += 0.3f * dt;
        s->scaleX = s->scaleY;
    }
}

//---- Scene

void loadSorvelInn()
{
    branding = NUX_AddImage(sorvelScreen, "data/branding.png");
    leadership = NUX_AddImage(sorvelScreen, "data/leadership.png");
    eyewear = NUX_AddImage(sorvelScreen, "data/eyewear.png");
    bananas = NUX_AddImage(sorvelScreen, "data/bananas.png");
    vorn_glow = NUX_AddImage(sorvelScreen, "data/vorn-glow.png");
    vorn_plain = NUX_AddImage(sorvelScreen, "data/vorn-plain.png");
    sorvelEffect = NUX_AddRect(sorvelScreen, 0.0f, 0.0f, 1024.0f, 768.0f);
    // Both transition sounds load once: a reset (Space skips the splash) only picks one.
    sfxUnpaused = NUX_LoadSound("data/unpaused.wav");
    sfxPaused = NUX_LoadSound("data/paused.wav");
    NUX_CheckMusic(SPLASH_MUSIC);  // named with the files that failed, if it cannot be played
}

void resetSorvelInn()
{
    sorvelFinished = 0;
    sorvelMusicPlaying = 0;
    vornGlowFadeOut = 0.0f;
    resetSceneMusic(&sorvelMusic);
    Image* logos[] = {branding, leadership, eyewear, bananas, vorn_glow, vorn_plain};
    for (Image* logo : logos) {
        logo->sprite.alpha = 0.0f;
        logo->sprite.centered = 1;
        NUX_SetSpritePosition(&logo->sprite, 512.0f, 384.0f);
    }
    sorvelEffect->alpha = 0.0f;
    sorvelEffect->additive = 1;
    sorvelEffect->red = 0.8f;
    sfxTransition = (rand() & 1) ? sfxUnpaused : sfxPaused;
}

void runSorvelInn(double dtSeconds)
{
    const float dt = (float)dtSeconds;
    advanceSceneMusic(&sorvelMusic, dtSeconds);
    musicPosition = sceneMusicPosition(&sorvelMusic);
    const double p = musicPosition;
    if (dtSeconds > 0.0 && !sorvelMusicPlaying) {
        startSceneMusic(&sorvelMusic, SPLASH_MUSIC);
        sorvelMusicPlaying = 1;
    }

    Image* cards[] = {branding, leadership, eyewear, bananas};
    for (int i = 0; i < 4; i++)
        runCard(cards[i], CARD_WINDOWS[i], p, dt);

    if (p > LOGO_START) {
        vorn_plain->sprite.alpha += 1.5f * dt;
        vorn_glow->sprite.scaleY += 0.07f * dt;
        const float scale = vorn_glow->sprite.scaleY;
        vorn_glow->sprite.scaleX = scale;
        vorn_plain->sprite.scaleX = scale;
        vorn_plain->sprite.scaleY = scale;
    }
    if (p > FLASH_START) {
        sorvelEffect->alpha = 0.5f - 1.2f * vornGlowFadeOut;
        vorn_glow->sprite.alpha = 1.0f - 0.8f * vornGlowFadeOut;
        vornGlowFadeOut += 0.5f * dt;
    }
    if (p > SPLASH_END || sorvelFinished) {
        NUX_StopMusic();
        sorvelFinished = 1;
    }
}

int SorvelOver()
{
    return sorvelFinished;
}

void SorvelAborted()
{
    NUX_StopMusic();
    resetSorvelInn();
    NUX_PlaySound(sfxTransition);
    vorn_plain->sprite.alpha = 1.0f;
    sorvelFinished = 1;
}
