// gamebeatCredits: the ending's statistics of the finished game, fading in and out while the
// scene plays, and the credits on the music's next pass, ending in a fade to black.

#include "game.h"
#include "gamebeat.h"
#include "intro.h"

#include <cstdio>            // snprintf
#include <cstdlib>           // rand
#include <initializer_list>  // range-for over a few pictures

//---- Constants

static const int NUM_STATS = 5;
static const int NUM_COMBO_WORDS = 7;

// A statistics line shows while the music is inside [start, end).
struct StatWindow {
    float start, end;
};
static const StatWindow STAT_WINDOWS[NUM_STATS] = {
    {0.5f, 3.0f}, {3.5f, 6.7f}, {7.0f, 9.5f}, {10.1f, 18.5f}, {12.4f, 15.4f},
};

// A credit fades in while the music is inside (start, end) and out after; both ends open.
struct CreditWindow {
    float start, end;
    float fadeIn, fadeOut;  // alpha per second
};
static const CreditWindow PROGRAMMING_WINDOW = {0.0f, 4.24f, 0.5f, 1.0f};
static const CreditWindow ART_WINDOW = {5.0f, 9.75f, 0.7f, 1.1f};
static const CreditWindow MUSIC_WINDOW = {10.2f, 14.0f, 1.3f, 1.1f};
static const CreditWindow VOICES_WINDOW = {15.0f, 23.7f, 0.8f, 0.8f};

static const float NIGHT_RETURNS = 26.0f;
static const float FADE_TO_BLACK = 30.8f;
static const float CREDITS_DONE = 33.2f;

//---- State

static int ranCredits = 0;
static char statLines[NUM_STATS][256] = {};

//---- Helpers

static Label* statLabel(int line)
{
    Label* labels[NUM_STATS] = {scoreText, pigeonText, humanText, swoopText, pigeonSwoopText};
    return labels[line];
}

static bool insideOpen(const CreditWindow& window, float m)
{
    return m > window.start && m < window.end;
}

static void fadeCredit(Image* credit, const CreditWindow& window, float m, float dt)
{
    Sprite* s = &credit->sprite;
    if (insideOpen(window, m)) {
        if (s->alpha < 1.0f)
            s->alpha += window.fadeIn * dt;
    } else if (s->alpha > 0.0f) {
        s->alpha -= window.fadeOut * dt;
    }
}

//---- Statistics

void formatScoreStats(const GameStats& stats, int word, char lines[5][256])
{
    snprintf(lines[0], 256, "Score: %d points", stats.score);
    snprintf(lines[1], 256, "%d pigeons attacked", stats.pigeons);
    snprintf(lines[2], 256, "%d humans hit with pigeons", stats.humansHit);
    snprintf(lines[3], 256, "Best Swoop: %3.1f SEC", (double)stats.longestSwoop);
    if (word < 0 || word >= NUM_COMBO_WORDS)
        word = 0;
    snprintf(lines[4], 256, "%d %s", stats.bestSwoopPigeons, comboWords[word]);
}

const char* getStatText(int line)
{
    return (line >= 0 && line < NUM_STATS) ? statLines[line] : "";
}

void initScore()
{
    recordFinishedGame(getScore(), getNumPigeons());

    GameStats stats = {};
    stats.score = getScore();
    stats.pigeons = getNumPigeons();
    stats.humansHit = getHumansHit();
    stats.longestSwoop = getLongestSwoop();
    stats.bestSwoopPigeons = getBestSwoopPigeons();
    const int word = rand() % NUM_COMBO_WORDS;  // drawn once the swoop line is known
    formatScoreStats(stats, word, statLines);
    for (int i = 0; i < NUM_STATS; i++)
        NUX_SetLabelText(statLabel(i), statLines[i]);

    for (int i = 0; i < NUM_STATS; i++)
        statLabel(i)->sprite.alpha = 0.0f;
    NUX_SetSpritePosition(&scoreText->sprite, 380.0f, 430.0f);
    scoreText->sprite.scaleX = scoreText->sprite.scaleY = 1.7f;
    NUX_SetSpritePosition(&pigeonText->sprite, 100.0f, 140.0f);
    pigeonText->sprite.rotation = 0.0f;
    NUX_SetSpritePosition(&humanText->sprite, 300.0f, 610.0f);
    NUX_SetSpritePosition(&swoopText->sprite, 60.0f, 435.0f);
    swoopText->sprite.rotation = 0.0f;
    NUX_SetSpritePosition(&pigeonSwoopText->sprite, swoopText->sprite.x, swoopText->sprite.y + 40.0f);
    pigeonSwoopText->sprite.rotation = 0.0f;
}

void updateScoreStats(float dt)
{
    const float m = beatMusicElapsed;
    for (int i = 0; i < NUM_STATS; i++) {
        Sprite* s = &statLabel(i)->sprite;
        if (m >= STAT_WINDOWS[i].start && m < STAT_WINDOWS[i].end) {
            if (s->alpha < 1.0f)
                s->alpha += dt;
        } else if (s->alpha > 0.0f) {
            s->alpha -= 0.8f * dt;
        }
    }
}

//---- Credits

void resetCredits()
{
    ranCredits = 0;
    for (Image* credit : {bigtitle, programming, art, music, voices}) {
        credit->sprite.alpha = 0.0f;
        credit->sprite.scaleX = credit->sprite.scaleY = 2.0f;
    }
    bigtitle->sprite.centered = 1;
    NUX_SetSpritePosition(&bigtitle->sprite, 512.0f, 384.0f);
    programming->sprite.centered = 1;
    NUX_SetSpritePosition(&programming->sprite, 512.0f, 588.0f);
    voices->sprite.centered = 1;
    NUX_SetSpritePosition(&voices->sprite, 512.0f, 558.0f);
    NUX_SetSpritePosition(&art->sprite, 674.0f, 454.0f);
    NUX_SetSpritePosition(&music->sprite, 56.0f, 560.0f);
}

void runCredits(float dt)
{
    const float m = beatMusicElapsed;
    if (bigtitle->sprite.alpha < 1.0f && ranCredits == 0)
        bigtitle->sprite.alpha += 0.4f * dt;

    fadeCredit(programming, PROGRAMMING_WINDOW, m, dt);
    fadeCredit(art, ART_WINDOW, m, dt);
    fadeCredit(music, MUSIC_WINDOW, m, dt);
    fadeCredit(voices, VOICES_WINDOW, m, dt);
    if (insideOpen(VOICES_WINDOW, m))
        ranCredits = 1;

    if (m > NIGHT_RETURNS && ranCredits == 1) {
        skydark->sprite.alpha += 0.2f * dt;
        if (bigtitle->sprite.alpha > 0.0f)
            bigtitle->sprite.alpha -= 0.25f * dt;
    }
    if (m > FADE_TO_BLACK && ranCredits == 1) {
        gameBeatFadeIn->red = gameBeatFadeIn->green = gameBeatFadeIn->blue = 0.0f;
        gameBeatFadeIn->alpha += 6.0f * dt;
    }
    // Done: silence the rest of the pass; the scene returns to the title once the music loops.
    if (ranCredits == 1 && (m > CREDITS_DONE || m < 1.0f)) {
        if (!beatMusicMissing)
            NUX_SetMusicVolume(0.0);
        endingRan = ENDING_FINISHED;
    }
}

int getRanCredits()
{
    return ranCredits;
}
