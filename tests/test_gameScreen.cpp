// Tests of the game screen's frame: the 300-second end, the pause freezing time and music, the
// music-driven mist waves (and none without music), the last-life pulse, the scrolling pages,
// and the mist banks' own rules.

#include "gameLocal.h"
#include "main.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>  // cos

//---- Fixture

static const float DT = 1.0f / 60.0f;

class GameScreen : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        testStartHeadless(true);
    }
    void SetUp() override
    {
        switchGameMode(MODE_GAME);
    }

    // One frame as the main loop runs it, on the virtual clock and the deterministic music clock.
    // With music off, the track is stopped before each frame, as if it could not be played.
    static void frame(bool music = true)
    {
        if (!music)
            NUX_StopMusic();
        NUX_AdvanceVirtualClock();
        runGame(DT);
        NUX_UpdateSound();
    }

    static int activeBanks()
    {
        int n = 0;
        for (const Mist& bank : mist)
            n += bank.active;
        return n;
    }
};

//---- Music and bounds

TEST_F(GameScreen, AZeroLengthFirstFrameDoesNotStartTheMusic)
{
    runGame(0.0f);
    NUX_AdvanceVirtualClock();
    NUX_UpdateSound();
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0);
    frame();
    frame();
    EXPECT_GT(NUX_GetMusicPosition(), 0.0);
}

// The counts grow by fractions; the lamp count can pass 18 by a hair after 160 steps, and the
// frame must still stay inside the pools.
TEST_F(GameScreen, CountsAtOrPastThePoolSizesStayInsideThePools)
{
    numLamps = 18.05f;
    numCitizens = 10.5f;
    numPigeons = PIGEON_POOL;
    frame();
    EXPECT_EQ(getGameMode(), MODE_GAME);
}

//---- The end of a game

TEST_F(GameScreen, TheGameEndsInTheEndingOnTheFirstFrameThatPasses300Seconds)
{
    frame();
    gameTimeElapsed = 299.5;
    runGame(0.5f);
    EXPECT_EQ(gameTimeElapsed, 300.0);
    EXPECT_EQ(getGameMode(), MODE_GAME) << "exactly 300 s is not past the end";
    runGame(0.001f);
    EXPECT_EQ(getGameMode(), MODE_GAMEBEAT);
}

TEST_F(GameScreen, WithoutMusicThereIsNoMistAndNoSunriseButTheGameStillEndsAfter300Seconds)
{
    int frames = 0;
    while (getGameMode() == MODE_GAME && frames < 301 * 60) {
        frame(false);
        frames++;
        if (frames == 200 * 60) {
            EXPECT_EQ(activeBanks() + sunrise->sprite.alpha, 0.0f);
        }
    }
    EXPECT_EQ(getGameMode(), MODE_GAMEBEAT);
    EXPECT_NEAR(frames * DT, 300.0f, 2 * DT);
}

//---- Pause

TEST_F(GameScreen, PauseFreezesTheGameClockTheMusicAndTheOwlButNotTheComboMarks)
{
    for (int i = 0; i < 30; i++)
        frame();
    ASSERT_GT(NUX_GetMusicPosition(), 0.0);
    gamePause();
    EXPECT_EQ(pausedImage->sprite.alpha, 1.0f);

    double time = gameTimeElapsed, music = gameMusicElapsed, position = NUX_GetMusicPosition();
    float y = owl.y, level = levelIncrement;
    comboImages[0]->sprite.alpha = 1;
    speakElapsed = 1;
    for (int i = 0; i < 60; i++)
        frame();
    EXPECT_EQ(gameTimeElapsed, time);
    EXPECT_EQ(gameMusicElapsed, music);
    EXPECT_EQ(NUX_GetMusicPosition(), position);
    EXPECT_EQ(owl.y, y);
    EXPECT_EQ(levelIncrement, level);
    EXPECT_NEAR(comboImages[0]->sprite.alpha, 1 - 2.0f, 1e-3f) << "combo marks fade while paused";
    EXPECT_NEAR(speakElapsed, 0.0f, 1e-3f) << "the speech cool-down runs while paused";

    gamePause();
    EXPECT_EQ(getGamePaused(), 0);
    frame();
    EXPECT_GT(gameTimeElapsed, time);
    EXPECT_GT(NUX_GetMusicPosition(), position);
}

//---- Music-driven scenery

TEST_F(GameScreen, TheMistWavesTheMoonAndTheSunriseFollowTheTrack)
{
    auto playUntil = [](double music) {
        while (gameMusicElapsed <= music && getGameMode() == MODE_GAME)
            frame();
    };
    playUntil(42.99);
    EXPECT_EQ(activeBanks(), 0);
    playUntil(43.0);
    EXPECT_EQ(activeBanks(), MIST_BANKS);
    playUntil(80.0);
    EXPECT_EQ(activeBanks(), 0);
    playUntil(175.0);
    EXPECT_EQ(activeBanks(), MIST_BANKS);
    EXPECT_GT(moon->sprite.y, 60.0f) << "the moon sets after 152 s";
    playUntil(220.0);
    EXPECT_EQ(activeBanks(), 0);
    EXPECT_EQ(sunrise->sprite.alpha, 0.0f);
    playUntil(237.0);
    EXPECT_NEAR(sunrise->sprite.alpha, 0.07f * 14, 0.01f);
    EXPECT_NEAR(moon->sprite.alpha, 1 - 0.05f * 14, 0.01f);
    EXPECT_NEAR(treeScrollPage1->sprite.blue, 0.07f * 9, 0.01f);
    EXPECT_NEAR(scrollPage1->sprite.red, 0.6f + 0.04f * 12, 0.01f);
    playUntil(256.0);
    EXPECT_EQ(activeBanks(), MIST_BANKS);
    playUntil(290.0);
    EXPECT_EQ(activeBanks(), 0);
    EXPECT_EQ(getGameMode(), MODE_GAME);
}

TEST_F(GameScreen, TheLastLifePulsesWithTheMusicAndALifeWonBackFadesIt)
{
    owl.lives = 1;
    for (int i = 0; i < 120; i++) {
        frame();
        if (getGameMode() != MODE_GAME)
            break;
        double m = gameMusicElapsed;
        float expected = cos(2 * (m * 0.5 * 2.333333333) * 3.14159265) * 0.12 + 0.12;
        ASSERT_FLOAT_EQ(dangerEffect->alpha, expected) << "frame " << i;
    }

    owl.lives = 2;
    dangerEffect->alpha = 0.2f;
    frame();
    EXPECT_NEAR(dangerEffect->alpha, 0.2f - DT, 1e-6f) << "a life won back fades the pulse out";
}

TEST_F(GameScreen, TheCityPagesStayOnePageApartAndCoverTheScreen)
{
    for (int i = 0; i < 30 * 60; i++) {
        frame();
        if (getGameMode() != MODE_GAME)
            break;
    }
    EXPECT_NEAR(scrollPage2->sprite.x - scrollPage1->sprite.x, 1024.0f, 0.01f);
    EXPECT_LE(scrollPage1->sprite.x, 0.0f);
    // The tree pages are kept across games, so their rounding adds up.
    EXPECT_NEAR(treeScrollPage2->sprite.x - treeScrollPage1->sprite.x, 1024.0f, 0.1f);
}

//---- Mist banks

TEST_F(GameScreen, AnEndedWaveFinishesItsCrossingThenParksAndANewWaveTakesFinishingBanks)
{
    startMist();
    EXPECT_EQ(activeBanks(), MIST_BANKS);
    Mist& bank = mist[0];
    Sprite* s = &bank.sprite->sprite;
    bank.x = 100;
    endMist();
    EXPECT_EQ(activeBanks(), 0);
    float vx = bank.vx;
    updateMist(DT);
    EXPECT_NEAR(bank.x, 100 + vx * DT, 1e-3f) << "an ended wave keeps drifting";

    bank.x = -(s->width * s->scaleX) + 0.001f;
    updateMist(DT);
    EXPECT_EQ(bank.vx, 0.0f);
    EXPECT_EQ(s->alpha, 0.0f);
    EXPECT_GT(bank.x, 1100.0f) << "parked beyond the right edge";
    float parked = bank.x;
    updateMist(DT);
    EXPECT_EQ(bank.x, parked);

    // A bank still finishing is no longer active: the next wave sends it back to the right.
    mist[1].x = 300;
    startMist();
    EXPECT_GT(mist[1].x, 1100.0f);
    EXPECT_LT(bank.vx, 0.0f);
    initMist();
    EXPECT_EQ(activeBanks(), 0);
}
