// Tests of the game's hooks as the engine sees them: without a game every key is safe and only
// Q quits; with a record, each key reaches the hook of its mode; a partly filled record calls
// only what it holds.

#include "nux.h"
#include "testutil.h"  // testOpenWindow: the real window's event queue

#include <SDL.h>  // real key events, pushed into the window's queue
#include <gtest/gtest.h>
#include <cstdlib>  // getenv
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

// Every key of the window's key table, sent as a real SDL event through the window's queue once
// (pressed, then released) during play: each reaches what it does.
TEST(Hooks, EveryKeyOfTheWindowReachesTheGame)
{
    if (!getenv("DISPLAY") || !testOpenWindow())
        GTEST_SKIP() << "needs a display";
    NUX_SetGameHooks(nullptr);
    NUX_InputUpdate();  // the window's own first events (focus, exposure) go to no game
    // Another test's window taking the focus meanwhile would pause play: only the keys count here.
    SDL_EventState(SDL_ACTIVEEVENT, SDL_IGNORE);
    NUX_GameHooks hooks = recordingHooks();
    NUX_SetGameHooks(&hooks);
    mode = MODE_GAME;
    paused = 0;
    exitFlag = 1;
    musicMuted = 0;

    // One real event; the calls it made, the mode reads left out.
    auto send = [](SDLKey sym, bool down) {
        SDL_Event e = {};
        e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        e.key.type = e.type;
        e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        e.key.keysym.sym = sym;
        EXPECT_EQ(SDL_PushEvent(&e), 0);
        calls.clear();
        NUX_InputUpdate();
        std::string made;
        for (char c : calls)
            if (c != 'm')
                made += c;
        return made;
    };
    struct Case {
        SDLKey sym;
        const char* name;
        std::string pressed, released;  // the hooks called
        int* flag;                      // a state the key sets while held (or null)
    } cases[] = {
        {SDLK_UP, "up", "U", "D", &movingUp},      {SDLK_DOWN, "down", "", "", &movingDown},
        {SDLK_LEFT, "left", "", "", &movingLeft},  {SDLK_RIGHT, "right", "", "", &movingRight},
        {SDLK_SPACE, "space", "W", "w", nullptr},  {SDLK_p, "p", "P", "", nullptr},
        {SDLK_RETURN, "return", "P", "", nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(send(c.sym, true), c.pressed) << c.name << " pressed";
        if (c.flag) {
            EXPECT_EQ(*c.flag, 1) << c.name << " held";
        }
        EXPECT_EQ(send(c.sym, false), c.released) << c.name << " released";
        if (c.flag) {
            EXPECT_EQ(*c.flag, 0) << c.name << " let go";
        }
    }
    EXPECT_EQ(paused, 0) << "P paused and Return resumed";

    send(SDLK_m, true);
    EXPECT_EQ(musicMuted, 1) << "m";
    send(SDLK_m, false);
    send(SDLK_m, true);
    EXPECT_EQ(musicMuted, 0) << "m again";
    send(SDLK_m, false);
    EXPECT_EQ(send(SDLK_ESCAPE, true), "S0") << "escape leaves the game for the title";
    send(SDLK_ESCAPE, false);
    send(SDLK_q, true);
    EXPECT_EQ(exitFlag, 1) << "q held";
    send(SDLK_q, false);
    EXPECT_EQ(exitFlag, 0) << "q released";
    exitFlag = 1;
    SDL_EventState(SDL_ACTIVEEVENT, SDL_ENABLE);
    NUX_SetGameHooks(nullptr);
}

TEST(Hooks, TheMusicOpeningHookSurroundsEveryTrackStartAndIsAddedToTheRecordInUse)
{
    NUX_GameHooks hooks = recordingHooks();
    NUX_SetGameHooks(&hooks);
    EXPECT_EQ(NUX_GetGameHooks()->mode, hooks.mode);

    // Added to the record in use, as the harness adds it to the shell's.
    NUX_GameHooks more = *NUX_GetGameHooks();
    more.musicOpening = [](int opening) { calls += opening ? 'O' : 'o'; };
    NUX_SetGameHooks(&more);
    calls.clear();
    NUX_PlayMusic("data/no-such-track.ogg");  // a missing track is opened (and fails) all the same
    EXPECT_EQ(calls, "Oo");
    NUX_StopMusic();
    calls.clear();
    NUX_StopMusic();
    EXPECT_EQ(calls, "") << "only opening a track is told";
    NUX_SetGameHooks(nullptr);
    EXPECT_EQ(NUX_GetGameHooks()->mode, nullptr);
}
