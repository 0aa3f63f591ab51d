// Tests of the owl: flaps and gravity, sideways drift, the swoop and its three endings, energy by
// swoop level, the screen bounds, death, the drift off screen and the respawn, the last life.

#include "gameLocal.h"
#include "main.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>  // cos, sin

//---- Fixture

static const float DT = 1.0f / 60.0f;

class OwlFlight : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        testStartHeadless(true);
    }
    void SetUp() override
    {
        switchGameMode(MODE_GAME);
        movingLeft = movingRight = 0;
        owl.driftX = owl.fallSpeed = 0;
    }
    void TearDown() override
    {
        movingLeft = movingRight = 0;
    }

    static void fly(int frames)
    {
        for (int i = 0; i < frames; i++)
            updateOwl(DT);
    }
    // Frames flown until the swoop has ended (at most limit).
    static int flyUntilSwoopEnds(int limit)
    {
        int n = 0;
        for (; owl.swoopActive && n < limit; n++)
            updateOwl(DT);
        return n;
    }
};

//---- Flaps, gravity and drift

TEST_F(OwlFlight, ADownStrokeLiftsAbout80PixelsAndHeldWingsGlideAtATenth)
{
    owl.y = 400;
    owlFlapDown();
    EXPECT_EQ(owl.fallSpeed, -3.5f);
    int frames = 0;
    for (; owl.fallSpeed < 0 && frames < 100; frames++)
        updateOwl(DT);
    EXPECT_NEAR(frames * DT, 0.39f, 0.02f) << "3.5 / 9 seconds of rise";
    EXPECT_NEAR(400 - owl.y, 80.0f, 4.0f);

    owl.y = 300;
    owl.fallSpeed = 0;
    owlFlapUp();
    fly(60);
    EXPECT_NEAR(owl.fallSpeed, 9.0f, 0.01f) << "the speed itself keeps growing";
    EXPECT_NEAR(owl.y - 300, 54.0f, 1.5f) << "a tenth of the 540 px of free fall";
}

TEST_F(OwlFlight, LeftPushesHarderRightWinsWhenBothAreHeldAndASmallDriftNeverSettles)
{
    owl.x = 500;
    movingLeft = 1;
    updateOwl(DT);
    EXPECT_NEAR(owl.x, 500 - 340 * DT + 2.8f * DT, 1e-3f);
    movingRight = 1;
    updateOwl(DT);
    EXPECT_NEAR(owl.driftX, 300 * DT - 2.8f * DT, 1e-5f);

    movingLeft = movingRight = 0;
    owl.driftX = 0.01f;
    fly(5);
    EXPECT_NEAR(owl.driftX, 0.01f, 1e-5f) << "subtracted and added back every frame";
}

//---- Swoop

TEST_F(OwlFlight, ASwoopDivesAt30DegreesAt900PixelsPerSecondAndTurnsWithoutLimit)
{
    owl.x = owl.y = 100;
    owlSwoop();
    EXPECT_EQ(gameScore.numSwoops, 1.0f);
    MoveOwl(0.5f);
    EXPECT_NEAR(owl.x, 100 + 450 * cos(30 * M_PI / 180), 0.05);
    EXPECT_NEAR(owl.y, 100 + 450 * sin(30 * M_PI / 180), 0.05);
    movingLeft = 1;
    fly(60);
    EXPECT_NEAR(owl.angle, 30 - 310.0f, 0.01f);
}

TEST_F(OwlFlight, AFullSwoopAtLevelZeroEndsByItselfAfter1_25SecondsKeepingTheMultiplier)
{
    owlSwoop();
    gameScore.swoopMultiplier = 3;
    float before = 0;
    int n = 0;
    for (; owl.swoopActive && n < 200; n++) {
        before = owl.y;
        updateOwl(DT);
    }
    EXPECT_GE(n, 75);
    EXPECT_LE(n, 76);
    EXPECT_NEAR(gameScore.longestSwoop, 1.25f, 0.02f);
    // The 50-pixel jump, then the first frame of the down-stroke's climb.
    EXPECT_NEAR(before - owl.y, 50 + (3.5f - 9 * DT) * 120 * DT, 0.01f);
    EXPECT_EQ(gameScore.swoopMultiplier, 3) << "only releasing space clears the multiplier";
    owlSwoopStop();
    EXPECT_EQ(gameScore.swoopMultiplier, 0);
    EXPECT_EQ(owl.fallSpeed, -3.5f) << "the later release still flaps";
}

TEST_F(OwlFlight, TheUpKeyOrSpaceAgainEndASwoopAtOnce)
{
    owlSwoop();
    fly(10);
    gameScore.swoopMultiplier = 2;
    float y = owl.y;
    owlFlapUp();
    EXPECT_EQ(owl.swoopActive, 0);
    EXPECT_EQ(owl.y, y - 50);

    owlSwoop();
    owlSwoop();
    EXPECT_EQ(owl.swoopActive, 0);
    EXPECT_EQ(owl.fallSpeed, -3.5f);
    EXPECT_EQ(gameScore.numSwoops, 2.0f);
}

TEST_F(OwlFlight, EnergyLastsTwentySecondsAtLevelNineAndForeverFromLevelTen)
{
    gameScore.swoopLevel = 9;
    owlSwoop();
    EXPECT_NEAR(flyUntilSwoopEnds(2000) * DT, 20.0f, 0.1f);

    fly(1);  // a frame out of the swoop clears its length
    gameScore.swoopLevel = 10;
    owl.swoopEnergy = 0.5f;  // a swoop started on an empty bar would end on its first frame
    owlSwoop();
    EXPECT_EQ(flyUntilSwoopEnds(60 * 60), 60 * 60);
    EXPECT_EQ(owl.swoopEnergy, 1.0f) << "the negative drain fills the bar, capped at 1";
    EXPECT_NEAR(gameScore.longestSwoop, 60.0f, 0.05f);
}

//---- Bounds

TEST_F(OwlFlight, TheBoundsHoldTheSidesAndTopTheBottomStopsASwoopOrMakesTheOwlFlap)
{
    owl.x = 10;
    owl.y = 20;
    updateOwl(DT);
    EXPECT_EQ(owl.y, 80.0f);
    owl.x = 2000;
    updateOwl(DT);
    EXPECT_EQ(owl.x, 924.0f);

    owlSwoop();
    owl.y = 765;
    updateOwl(DT);
    EXPECT_EQ(owl.y, 698.0f);

    owlSwoopStop();
    owl.y = 800;
    owl.fallSpeed = 5;
    owl.driftX = 0;
    updateOwl(DT);
    EXPECT_GT(owl.y, 800.0f) << "y itself is not clamped";
    EXPECT_EQ(owl.fallSpeed, -3.5f);
    EXPECT_EQ(owl.driftX, 1.0f) << "a push of one pixel per frame to the right";
}

//---- Death and respawn

TEST_F(OwlFlight, ADeathTakesOneLifeTheOwlDriftsOffAndRespawnsAt40x80AndTheLastEndsTheGame)
{
    owl.x = 300;
    owlSwoop();
    gameScore.swoopMultiplier = 4;
    owlDie();
    owlDie();
    EXPECT_EQ(owl.lives, 4) << "further contact while dying is ignored";
    EXPECT_EQ(gameScore.swoopMultiplier, 0);
    EXPECT_EQ(owl.swoopActive, 1) << "a swoop stays flagged through the death";
    owlSwoop();
    owlSwoopStop();
    EXPECT_EQ(gameScore.numSwoops, 1.0f) << "space does nothing while dying";

    owl.deathDrift = 300;
    owl.driftX = 2;
    owl.swoopEnergy = 0.2f;
    float y = owl.y;
    updateOwl(DT);
    EXPECT_NEAR(owl.x, 300 - 300 * DT, 1e-3f);
    EXPECT_EQ(owl.y, y) << "no gravity, drift or bounds while dying";

    int n = 1;
    for (; owl.dying && n < 200; n++)
        updateOwl(DT);
    EXPECT_NEAR(n * DT, 400.0f / 300.0f, 0.05f);
    EXPECT_EQ(owl.swoopActive, 0);
    EXPECT_EQ(owl.swoopEnergy, 1.0f);
    EXPECT_EQ(owl.driftX, 2.0f) << "a death leaves the drift untouched";
    updateOwl(DT);
    EXPECT_EQ(owl.x, 40.0f);
    EXPECT_EQ(owl.y, 80.0f);

    // The last life lost ends the game in the same call.
    owl.lives = 1;
    owlDie();
    EXPECT_EQ(getGameMode(), MODE_GAMEOVER);
}

// The up key reaches the owl in every mode, also on the splash before the game screen exists.
TEST_F(OwlFlight, TheControlsAreSafeBeforeTheOwlsSpritesExist)
{
    Owl saved = owl;
    owl.wingsUpSprite = owl.wingsDownSprite = owl.swoopSprite = nullptr;
    owlFlapUp();
    owlFlapDown();
    owlSwoop();
    owlSwoopStop();
    EXPECT_EQ(owl.fallSpeed, -3.5f);
    owl = saved;
}
