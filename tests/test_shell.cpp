// Tests of the shell and the input layer on the real start-up, headless: the frame clock's clamp,
// the mode switch, and every mode's keys delivered through the input queue.

#include "main.h"
#include "scenes.h"
#include "testutil.h"

#include <gtest/gtest.h>

//---- Watching the resets

// Put in the shell's mode table in place of the game's and the ending's resets: each notes what
// the shell looked like at that moment, then runs the real reset.
struct ResetSeen {
    int calls = 0;
    int modeReported = -1;
    int screenVisible = -1;
};
static ResetSeen gameReset, gameBeatReset;

static void note(ResetSeen* seen, const Screen* screen)
{
    *seen = {seen->calls + 1, getGameMode(), screen ? screen->visible : -1};
}

static void watchResetGame()
{
    note(&gameReset, gameScreen);
    resetGame();
}

static void watchResetGameBeat()
{
    note(&gameBeatReset, gameBeatScreen);
    resetGameBeat();
}

//---- Fixture

class Shell : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        testStartHeadless(true);
    }

    void SetUp() override
    {
        exitFlag = 1;
        movingLeft = movingRight = movingUp = movingDown = 0;
        if (getGamePaused())
            gamePause();
        switchGameMode(MODE_TITLE);
    }

    // Delivers one key event through the same path as the window's events.
    static void key(NUX_Key k, int pressed)
    {
        NUX_QueueKeyEvent(k, pressed);
        NUX_InputUpdate();
    }

    static void tap(NUX_Key k)
    {
        key(k, 1);
        key(k, 0);
    }

    // Runs the main loop's update for the current mode over `seconds` of virtual time.
    static void play(double seconds)
    {
        for (int i = 0; i < (int)(seconds * 60.0 + 0.5); i++) {
            NUX_AdvanceVirtualClock();
            runMainFrame();
        }
    }
};

//---- Frame clock

TEST_F(Shell, DoTimerClampsALongFrameAndRecoversAfter)
{
    doTimer();
    for (int i = 0; i < 300; i++)  // five seconds between two frames
        NUX_AdvanceVirtualClock();
    doTimer();
    EXPECT_FLOAT_EQ(elapsed, 0.2f);
    NUX_AdvanceVirtualClock();
    doTimer();
    EXPECT_NEAR(elapsed, 1.0f / 60.0f, 1e-6);
    EXPECT_EQ(last_ticks, Timer_GetTicks());
}

//---- Mode switch

TEST_F(Shell, SwitchShowsOnlyTheNewModesScreenAndStopsTheMusic)
{
    play(0.5);
    ASSERT_TRUE(isIntroMusicPlaying());
    ASSERT_GT(NUX_GetMusicPosition(), 0.3);

    Screen* screens[6] = {introScreen, prologueScreen, gameScreen, gameOverScreen, gameBeatScreen, sorvelScreen};
    for (int mode = 0; mode <= 5; mode++) {
        switchGameMode(mode);
        EXPECT_EQ(getGameMode(), mode);
        EXPECT_EQ(NUX_GetMusicPosition(), 0.0) << "mode " << mode;
        for (int other = 0; other <= 5; other++)
            EXPECT_EQ(screens[other]->visible, other == mode ? 1 : 0) << "mode " << mode << " screen " << other;
    }

    // An unknown mode hides everything and runs nothing.
    switchGameMode(9);
    for (Screen* screen : screens)
        EXPECT_EQ(screen->visible, 0);
    EXPECT_EQ(getGameMode(), 9);
    play(0.2);
    EXPECT_EQ(exitFlag, 1);
}

TEST_F(Shell, ResetsRunWhileTheOldModeIsStillReported)
{
    const ModeScene kept[2] = {modeScenes[MODE_GAME], modeScenes[MODE_GAMEBEAT]};
    modeScenes[MODE_GAME].reset = watchResetGame;
    modeScenes[MODE_GAMEBEAT].reset = watchResetGameBeat;
    switchGameMode(MODE_PROLOGUE);
    gameReset = ResetSeen{};
    switchGameMode(MODE_GAME);
    EXPECT_EQ(gameReset.calls, 1);
    EXPECT_EQ(gameReset.modeReported, MODE_PROLOGUE);
    EXPECT_EQ(gameReset.screenVisible, 0) << "the game resets before its screen is shown";
    EXPECT_EQ(gameScreen->visible, 1);

    gameBeatReset = ResetSeen{};
    switchGameMode(MODE_GAMEBEAT);
    EXPECT_EQ(gameBeatReset.calls, 1);
    EXPECT_EQ(gameBeatReset.modeReported, MODE_GAME);
    EXPECT_EQ(gameBeatReset.screenVisible, 1) << "other scenes are shown, then reset";

    // Switching to the current mode resets it again.
    play(1.0);
    EXPECT_GT(getGameBeatElapsed(), 0.9f);
    switchGameMode(MODE_GAMEBEAT);
    EXPECT_EQ(gameBeatReset.calls, 2);
    EXPECT_EQ(getGameBeatElapsed(), 0.0f);
    modeScenes[MODE_GAME] = kept[0];
    modeScenes[MODE_GAMEBEAT] = kept[1];
}

//---- Keys

TEST_F(Shell, EscapeQuitsFromTitleAndSplashAndReturnsFromTheRest)
{
    for (int mode : {MODE_PROLOGUE, MODE_GAMEOVER, MODE_GAMEBEAT, MODE_GAME}) {
        switchGameMode(mode);
        key(NUX_KEY_ESCAPE, 1);
        EXPECT_EQ(getGameMode(), MODE_TITLE) << "from mode " << mode;
        EXPECT_EQ(exitFlag, 1);
    }

    switchGameMode(MODE_GAME);
    tap(NUX_KEY_P);
    ASSERT_EQ(getGamePaused(), 1);
    key(NUX_KEY_ESCAPE, 1);
    EXPECT_EQ(getGamePaused(), 0) << "leaving a paused game clears the pause";
    EXPECT_EQ(getGameMode(), MODE_TITLE);

    key(NUX_KEY_ESCAPE, 1);
    EXPECT_EQ(exitFlag, 0);
    exitFlag = 1;
    switchGameMode(MODE_SPLASH);
    key(NUX_KEY_ESCAPE, 1);
    EXPECT_EQ(exitFlag, 0);
}

TEST_F(Shell, SpaceFollowsEachModesRule)
{
    // The title waits for its music before Space starts the prologue.
    key(NUX_KEY_SPACE, 1);
    EXPECT_EQ(getGameMode(), MODE_TITLE);
    play(0.1);
    key(NUX_KEY_SPACE, 1);
    EXPECT_EQ(getGameMode(), MODE_PROLOGUE);
    key(NUX_KEY_SPACE, 1);
    EXPECT_EQ(getGameMode(), MODE_GAME) << "Space skips the prologue";

    // The splash: Space cuts it short.
    switchGameMode(MODE_SPLASH);
    ASSERT_EQ(SorvelOver(), 0);
    key(NUX_KEY_SPACE, 1);
    EXPECT_EQ(SorvelOver(), 1);
    EXPECT_EQ(vorn_plain->sprite.alpha, 1.0f);
    EXPECT_EQ(branding->sprite.alpha, 0.0f);
}

TEST_F(Shell, QuitsOnlyWhenQIsReleasedOrTheWindowCloses)
{
    key(NUX_KEY_Q, 1);
    EXPECT_EQ(exitFlag, 1);
    key(NUX_KEY_Q, 0);
    EXPECT_EQ(exitFlag, 0);
    exitFlag = 1;
    NUX_QueueQuitEvent();
    NUX_QueueKeyEvent(NUX_KEY_DOWN, 1);
    NUX_InputUpdate();
    EXPECT_EQ(exitFlag, 0);
    EXPECT_EQ(movingDown, 1) << "events after a close request are still handled";
}

TEST_F(Shell, NoKeyIsLostHoweverManyArriveInOneFrame)
{
    // Far more events than the queue's first room, all due in the same frame, in order.
    for (int i = 0; i < 1000; i++)
        NUX_QueueKeyEvent(i % 2 ? NUX_KEY_LEFT : NUX_KEY_RIGHT, i < 500);
    NUX_QueueKeyEvent(NUX_KEY_DOWN, 1);
    NUX_InputUpdate();
    EXPECT_EQ(movingLeft + movingRight, 0) << "every release arrived";
    EXPECT_EQ(movingDown, 1) << "the last event arrived";
    movingDown = 0;
    NUX_InputUpdate();
    EXPECT_EQ(movingDown, 0) << "nothing is handled twice";
}

TEST_F(Shell, PauseHoldsTheUpKeyAndOnlyWorksInTheGameAndMMutesTheMusic)
{
    tap(NUX_KEY_P);
    EXPECT_EQ(getGamePaused(), 0) << "P does nothing on the title";
    tap(NUX_KEY_M);
    EXPECT_EQ(musicMuted, 1);
    tap(NUX_KEY_M);
    EXPECT_EQ(musicMuted, 0);

    switchGameMode(MODE_GAME);
    key(NUX_KEY_UP, 1);
    tap(NUX_KEY_RETURN);
    ASSERT_EQ(getGamePaused(), 1);
    key(NUX_KEY_UP, 0);
    EXPECT_EQ(movingUp, 1) << "a release during the pause is ignored";
    tap(NUX_KEY_P);
    EXPECT_EQ(movingUp, 1);
    tap(NUX_KEY_UP);
    EXPECT_EQ(movingUp, 0);

    // Arrows are tracked in every mode.
    switchGameMode(MODE_TITLE);
    key(NUX_KEY_LEFT, 1);
    key(NUX_KEY_RIGHT, 1);
    EXPECT_EQ(movingLeft + movingRight, 2);
    key(NUX_KEY_LEFT, 0);
    key(NUX_KEY_RIGHT, 0);
    EXPECT_EQ(movingLeft + movingRight, 0);
}
