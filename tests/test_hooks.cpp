// Tests of the game's hooks as the engine sees them: without a game every key is safe and only
// Q quits; with a record, each key reaches the hook of its mode; a partly filled record calls
// only what it holds.

#include "nux.h"

#include <gtest/gtest.h>
#include <string>

//---- Helpers

// What the hooks were asked, in order, one letter per call, and the answers they give.
static std::string calls;
static int mode = MODE_TITLE;
static int paused = 0;
static int introMusic = 0;

static int getMode()
{
    calls += 'm';
    return mode;
}

static NUX_GameHooks recordingHooks()
{
    NUX_GameHooks hooks = {};
    hooks.mode = getMode;
    hooks.switchMode = [](int next) {
        calls += "S" + std::to_string(next);
        mode = next;
    };
    hooks.flapUp = [] { calls += 'U'; };
    hooks.flapDown = [] { calls += 'D'; };
    hooks.swoop = [] { calls += 'W'; };
    hooks.swoopStop = [] { calls += 'w'; };
    hooks.togglePause = [] {
        calls += 'P';
        paused = !paused;
    };
    hooks.paused = [] { return paused; };
    hooks.titleMusicPlaying = [] { return introMusic; };
    return hooks;
}

// Presses and releases the key through the input queue, then reports the calls it made
// (the mode reads left out).
static std::string tap(NUX_Key key)
{
    calls.clear();
    NUX_QueueKeyEvent(key, 1);
    NUX_QueueKeyEvent(key, 0);
    NUX_InputUpdate();
    std::string made;
    for (char c : calls)
        if (c != 'm')
            made += c;
    return made;
}

//---- Tests

TEST(Hooks, WithoutAGameEveryKeyIsSafeAndOnlyQQuits)
{
    NUX_SetGameHooks(nullptr);
    exitFlag = 1;
    for (NUX_Key key : {NUX_KEY_UP, NUX_KEY_DOWN, NUX_KEY_LEFT, NUX_KEY_RIGHT, NUX_KEY_SPACE, NUX_KEY_P, NUX_KEY_RETURN,
                        NUX_KEY_ESCAPE})
        tap(key);
    EXPECT_EQ(exitFlag, 1) << "no mode: Escape leaves nothing";
    tap(NUX_KEY_Q);
    EXPECT_EQ(exitFlag, 0);
    exitFlag = 1;

    // The particles stand still without the shell's frame time.
    Screen* screen = NUX_CreateScreen();
    ParticleSource* source = NUX_AddParticleSource(screen, 1, "data/no-such-feather.png");
    source->emitStopped = 1;
    NUX_EmitParticles(source, 1);
    Particle* particle = (Particle*)source->particles->items[0];
    float x = particle->x, y = particle->y;
    NUX_UpdateParticleSource(&source->sprite);
    EXPECT_EQ(particle->x, x);
    EXPECT_EQ(particle->y, y);
    screen->visible = 0;
}

TEST(Hooks, EachKeyReachesTheHookOfItsMode)
{
    NUX_GameHooks hooks = recordingHooks();
    NUX_SetGameHooks(&hooks);
    paused = 0;

    mode = MODE_TITLE;
    introMusic = 0;
    EXPECT_EQ(tap(NUX_KEY_SPACE), "") << "the title waits for its music";
    introMusic = 1;
    EXPECT_EQ(tap(NUX_KEY_SPACE), "S1");
    EXPECT_EQ(tap(NUX_KEY_SPACE), "S2w") << "Space skips the prologue; its release already reaches the owl";

    EXPECT_EQ(tap(NUX_KEY_SPACE), "Ww");
    EXPECT_EQ(tap(NUX_KEY_UP), "UD");
    EXPECT_EQ(tap(NUX_KEY_P), "P");
    EXPECT_EQ(tap(NUX_KEY_SPACE), "") << "no swoop while paused";
    EXPECT_EQ(tap(NUX_KEY_UP), "U") << "the release is kept for when play resumes";
    EXPECT_EQ(tap(NUX_KEY_ESCAPE), "PS0") << "Escape unpauses, then leaves for the title";
    EXPECT_EQ(tap(NUX_KEY_P), "") << "P pauses only the game";
    NUX_SetGameHooks(nullptr);
}

TEST(Hooks, APartRecordCallsOnlyWhatItHolds)
{
    NUX_GameHooks hooks = {};
    hooks.mode = getMode;
    NUX_SetGameHooks(&hooks);
    mode = MODE_GAME;
    EXPECT_EQ(tap(NUX_KEY_SPACE), "");
    EXPECT_EQ(tap(NUX_KEY_ESCAPE), "");
    EXPECT_EQ(mode, MODE_GAME) << "no switch hook, so the mode stays";
    mode = MODE_GAMEOVER;
    EXPECT_EQ(tap(NUX_KEY_SPACE), "") << "no game-over clock: its answer is 0, too early to leave";
    NUX_SetGameHooks(nullptr);
}
