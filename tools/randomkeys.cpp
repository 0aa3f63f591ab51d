// randomkeys: presses and releases every key the game knows at random, one event a frame at
// most, from a generator of its own so that the game's random numbers are left as they are.

#include "randomkeys.h"

#include "main.h"  // gameMode, MODE_TITLE, MODE_SPLASH, NUX_QueueKeyEvent

#include <cstdint>  // uint64_t

//---- Constants

// The keys it plays with, the more useful ones listed more often: Space moves every scene on,
// the arrows fly, P and Return pause, M mutes, Escape goes back to the title.
static const NUX_Key KEYS[] = {
    NUX_KEY_SPACE, NUX_KEY_SPACE, NUX_KEY_SPACE, NUX_KEY_UP,     NUX_KEY_UP, NUX_KEY_DOWN,   NUX_KEY_LEFT,
    NUX_KEY_RIGHT, NUX_KEY_UP,    NUX_KEY_P,     NUX_KEY_RETURN, NUX_KEY_M,  NUX_KEY_ESCAPE,
};
static const int KEY_COUNT = sizeof KEYS / sizeof KEYS[0];
static const int HELD_SLOTS = NUX_KEY_Q + 1;  // one per NUX_Key
static const unsigned EVENT_CHANCE = 6;       // one frame in this many has an event
static const unsigned QUIT_CHANCE = 4000;     // with allowQuit: one event in this many quits

//---- State

static uint64_t state = 1;
static bool quitAllowed = false;
static bool held[HELD_SLOTS];

//---- Helpers

// splitmix64: small, fast and the same on every machine.
static uint64_t nextRandom()
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

//---- Public

void randomKeysStart(unsigned seed, bool allowQuit)
{
    state = 0x5EEDull * 0x100000001ull + seed;
    quitAllowed = allowQuit;
    for (bool& h : held)
        h = false;
}

unsigned randomKeysBelow(unsigned bound)
{
    return bound > 1 ? (unsigned)(nextRandom() % bound) : 0;
}

void randomKeysFrame()
{
    if (randomKeysBelow(EVENT_CHANCE) != 0)
        return;
    if (quitAllowed && randomKeysBelow(QUIT_CHANCE) == 0) {
        if (randomKeysBelow(2) == 0)
            NUX_QueueQuitEvent();
        else
            NUX_QueueKeyEvent(NUX_KEY_Q, 0);  // Q quits on its release
        return;
    }
    NUX_Key key = KEYS[randomKeysBelow(KEY_COUNT)];
    // Escape on the title or the splash quits the game.
    if (key == NUX_KEY_ESCAPE && !quitAllowed && (gameMode == MODE_TITLE || gameMode == MODE_SPLASH))
        key = NUX_KEY_M;
    // A held key is released; a free one pressed, and now and then released at once.
    bool press = !held[key];
    NUX_QueueKeyEvent(key, press ? 1 : 0);
    held[key] = press;
}
