// Tests of the bookkeeping: the score label's flash, swoop levels at their thresholds, the level
// step over a whole game and its caps, the long-swoop bonus tiers and the glow trail.

#include "gameLocal.h"
#include "main.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>  // pow

//---- Fixture

static const float DT = 1.0f / 60.0f;

class Score : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        testStartHeadless(true);
    }
    void SetUp() override
    {
        switchGameMode(MODE_GAME);
    }

    static bool labelDimmed()
    {
        return scoreLabel->sprite.red == 0.8f && scoreLabel->sprite.green == 0.8f;
    }
    static void brightenLabel()
    {
        scoreLabel->sprite.red = scoreLabel->sprite.green = scoreLabel->sprite.blue = 1;
    }

    // Frames of the long-swoop bonus at a fixed swoop length; the points paid.
    static int payBonus(float length, int frames, float dt = DT)
    {
        int start = getScore();
        gameScore.swoopTime = length;
        for (int i = 0; i < frames; i++) {
            gamePlay.gameTimeElapsed += dt;
            updateSpecialSwoop(dt);
        }
        return getScore() - start;
    }
};

//---- Awards

TEST_F(Score, EveryFlashedAwardDimsTheLabelEvenAtZeroAndItBrightensWithinAbout0_13s)
{
    EXPECT_EQ(getScore(), 0);
    EXPECT_TRUE(labelDimmed()) << "resetGame's own award of 0 points flashes";
    brightenLabel();
    addScore(5, 0);
    EXPECT_EQ(scoreLabel->sprite.red, 1.0f);
    addScore(0, 1);
    EXPECT_TRUE(labelDimmed());
    EXPECT_EQ(getScore(), 5);

    int frames = 0;
    for (; scoreLabel->sprite.green < 1.0f && frames < 60; frames++) {
        NUX_AdvanceVirtualClock();
        runGame(DT);
    }
    EXPECT_NEAR(frames * DT, 0.2f / 1.5f, 2 * DT);
}

//---- Swoop levels

// The thresholds one strike at a time are checked with the strikes themselves.
TEST_F(Score, ASwoopLevelRisesOneAtATimeEvenPastSeveralThresholds)
{
    gameScore.hitPigeons = 40;
    updateSwoopLevel();
    EXPECT_EQ(gameScore.swoopLevel, 1);
    EXPECT_EQ(swoopLevelUp->sprite.alpha, 1.0f);
    EXPECT_EQ(swoopBarEffect->alpha, 1.0f);
}

//---- Level step

TEST_F(Score, TheFirstStepComesAfter8_9SecondsAndAWholeGameEndsAt478With35Pigeons)
{
    for (int i = 0; i < 530; i++)
        updateLevelStep(DT);
    EXPECT_EQ(gameScore.LEVEL_SPEED, 82);
    for (int i = 530; i < 540; i++)
        updateLevelStep(DT);
    EXPECT_EQ(gameScore.LEVEL_SPEED, 94);
    for (int i = 540; i < 300 * 60; i++)
        updateLevelStep(DT);
    EXPECT_EQ(gameScore.LEVEL_SPEED, 478);
    EXPECT_EQ(gameScore.numPigeons, 35);
    EXPECT_EQ(gameScore.numCitizens, 10.0f);
    EXPECT_NEAR(gameScore.numLamps, 5.3f, 0.01f) << "six lamps in play";
}

TEST_F(Score, TheLevelStepStopsAtItsCaps)
{
    for (int i = 0; i < 4000; i++) {
        gameScore.levelIncrement = 179;
        updateLevelStep(0);
    }
    EXPECT_EQ(gameScore.LEVEL_SPEED, 502);
    EXPECT_EQ(gameScore.numPigeons, 600);
    EXPECT_EQ(gameScore.numCitizens, 10.0f);
    EXPECT_GE(gameScore.numLamps, 18.0f);
    EXPECT_LT(gameScore.numLamps, 18.1f);
}

//---- Long-swoop bonus

TEST_F(Score, LongSwoopsPayFiveTenAndFifteenPointTiersWithoutDimming)
{
    gamePlay.gameTimeElapsed = 10;
    EXPECT_EQ(payBonus(5.0f, 60), 0);
    brightenLabel();
    int five = payBonus(5.01f, 60);
    EXPECT_GE(five, 45) << "every sixth or seventh frame";
    EXPECT_LE(five, 50);
    EXPECT_EQ(payBonus(10.01f, 60), 150) << "10 points every fourth frame";
    EXPECT_EQ(payBonus(30.01f, 60), 300) << "15 points every third frame";
    EXPECT_EQ(scoreLabel->sprite.red, 1.0f);

    EXPECT_EQ(payBonus(31.0f, 20, 0.05f), 300) << "at low frame rates once per frame";
    EXPECT_EQ(payBonus(31.0f, 5, 0.2f), 75);
    owl.dying = 1;
    EXPECT_EQ(payBonus(31.0f, 30), 0);
    owl.dying = 0;
}

//---- Glow trail

TEST_F(Score, TheTrailIsTheOwlsPathAndOnlyASwoopPastThreeSecondsLightsIt)
{
    auto frame = [](float x) {
        owl.x = x;
        owl.y = 300;
        updateOwlSprites(DT);
    };
    for (float x : {100, 110, 120})
        frame(x);
    EXPECT_EQ(owlGlow.swoopGlow[1]->x, 120.0f) << "entry 1 takes the head's new position";
    EXPECT_EQ(owlGlow.swoopGlow[3]->x, 100.0f);
    for (int i = 0; i < GLOW_TRAIL; i++)
        frame(200);
    EXPECT_NEAR(owlGlow.swoopGlow[74]->scaleX, pow(0.98, 74), 1e-3);

    owl.swoopActive = 1;
    gameScore.swoopTime = 3.0f;
    frame(200);
    EXPECT_LE(owlGlow.swoopGlow[0]->alpha, 0.0f);
    gameScore.swoopTime = 3.01f;
    for (int i = 0; i < 200; i++)
        frame(200);
    EXPECT_GE(owlGlow.swoopGlow[0]->alpha, 0.8f);
    EXPECT_LT(owlGlow.swoopGlow[0]->alpha, 0.8f + 0.5f * DT + 1e-6f);
    EXPECT_NEAR(owlGlow.swoopGlow[1]->alpha, owlGlow.swoopGlow[0]->alpha - 1.8f * DT, 0.01f);

    owl.dying = 1;
    float lit = owlGlow.swoopGlow[0]->alpha;
    frame(200);
    EXPECT_NEAR(owlGlow.swoopGlow[0]->alpha, lit - 5 * DT, 1e-5f) << "dying puts the flame out";
    owl.dying = owl.swoopActive = 0;
}
