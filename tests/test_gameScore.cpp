// Tests of the bookkeeping: awards and the score label's flash, swoop levels at their thresholds,
// the level step over a whole game and its caps, the lives display, the long-swoop bonus tiers
// and the glow trail.

#include "gameLocal.h"
#include "main.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cmath>  // pow
#include <vector>

//---- Fixture

static const float DT = 1.0f / 60.0f;

class Score : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testStartHeadless(true); }
    void SetUp() override { switchGameMode(MODE_GAME); }

    static bool labelDimmed() { return scoreLabel->sprite.red == 0.8f && scoreLabel->sprite.green == 0.8f; }
    static void brightenLabel() { scoreLabel->sprite.red = scoreLabel->sprite.green = scoreLabel->sprite.blue = 1; }
};

//---- Awards

TEST_F(Score, ANewGameShowsZeroPointsDimmedAndEveryFlashedAwardDimsEvenAtZero)
{
    EXPECT_EQ(getScore(), 0);
    EXPECT_TRUE(labelDimmed()) << "resetGame's own award of 0 points flashes";

    brightenLabel();
    addScore(50, 1);
    EXPECT_EQ(getScore(), 50);
    EXPECT_TRUE(labelDimmed());

    brightenLabel();
    addScore(5, 0);
    EXPECT_EQ(getScore(), 55);
    EXPECT_EQ(scoreLabel->sprite.red, 1.0f) << "bonus payments do not dim the label";

    addScore(0, 1);
    EXPECT_EQ(getScore(), 55);
    EXPECT_TRUE(labelDimmed());
}

TEST_F(Score, TheDimmedLabelBrightensWithinAbout0_13Seconds)
{
    EXPECT_TRUE(labelDimmed());
    int frames = 0;
    while (scoreLabel->sprite.green < 1.0f && frames < 60) {
        NUX_AdvanceVirtualClock();
        runGame(DT);
        frames++;
    }
    EXPECT_NEAR(frames * DT, 0.2f / 1.5f, 2 * DT);
    EXPECT_EQ(scoreLabel->sprite.red, scoreLabel->sprite.blue);
}

//---- Swoop levels

TEST_F(Score, SwoopLevelsRiseAtTheTableThenEverySixteenthPigeon)
{
    const std::vector<int> expected = {2, 5, 10, 15, 25, 35, 50, 65, 80, 96, 112, 128, 144};
    std::vector<int> rises;
    for (int n = 1; n <= 150; n++) {
        int before = swoopLevel;
        hitPigeons = n;
        updateSwoopLevel();
        ASSERT_LE(swoopLevel - before, 1) << "at most one level per strike, pigeon " << n;
        if (swoopLevel != before)
            rises.push_back(n);
    }
    EXPECT_EQ(rises, expected);
    EXPECT_EQ(swoopLevel, 13);
}

TEST_F(Score, ALevelRiseMarksTheOwlAndFlashesTheBar)
{
    owl.x = 333;
    owl.y = 222;
    swoopBarEffect->alpha = 0;
    hitPigeons = 1;
    updateSwoopLevel();
    EXPECT_EQ(swoopLevel, 0);
    EXPECT_EQ(swoopBarEffect->alpha, 0.0f);

    hitPigeons = 40;  // far past several thresholds: still one level
    updateSwoopLevel();
    EXPECT_EQ(swoopLevel, 1);
    EXPECT_EQ(swoopLevelUp->sprite.x, 333.0f);
    EXPECT_EQ(swoopLevelUp->sprite.y, 222.0f);
    EXPECT_EQ(swoopLevelUp->sprite.scaleX, 0.7f);
    EXPECT_EQ(swoopLevelUp->sprite.alpha, 1.0f);
    EXPECT_EQ(swoopBarEffect->alpha, 1.0f);
}

//---- Level step

TEST_F(Score, TheFirstLevelStepComesAfter8_9SecondsOfPlay)
{
    for (int i = 0; i < 530; i++)
        updateLevelStep(DT);
    EXPECT_EQ(LEVEL_SPEED, 82);
    for (int i = 0; i < 10; i++)
        updateLevelStep(DT);
    EXPECT_EQ(LEVEL_SPEED, 94);
    EXPECT_EQ(numPigeons, 3);
    EXPECT_EQ(numCitizens, 2.5f);
    EXPECT_NEAR(numLamps, 2.1f, 1e-6f);
}

TEST_F(Score, AfterAWholeGameTheStreetRunsAt478With35PigeonsTenCitizensAndSixLamps)
{
    for (int i = 0; i < 300 * 60; i++)
        updateLevelStep(DT);
    EXPECT_EQ(LEVEL_SPEED, 478);
    EXPECT_EQ(numPigeons, 35);
    EXPECT_EQ(numCitizens, 10.0f);
    EXPECT_NEAR(numLamps, 5.3f, 0.01f);
    int lampsInPlay = 0;
    for (int i = 0; i < numLamps; i++)
        lampsInPlay++;
    EXPECT_EQ(lampsInPlay, 6);
}

TEST_F(Score, TheLevelStepStopsAtItsCaps)
{
    for (int i = 0; i < 4000; i++) {
        levelIncrement = 179;
        updateLevelStep(0);
    }
    EXPECT_EQ(LEVEL_SPEED, 502);
    EXPECT_EQ(numPigeons, 600);
    EXPECT_EQ(numCitizens, 10.0f);
    EXPECT_GE(numLamps, 18.0f);
    EXPECT_LT(numLamps, 18.1f);
}

//---- Lives

TEST_F(Score, OneHeadPerLifeOverFiveSkullsSpacedByTheHeadWidth)
{
    owl.lives = 3;
    updateLives();
    for (int i = 0; i < LIFE_ICONS; i++) {
        EXPECT_EQ(life[i]->sprite.alpha, i < 3 ? 1.0f : 0.0f) << "head " << i;
        EXPECT_GT(skull[i]->sprite.alpha, 0.0f) << "skulls are always drawn";
        float x = 670 + 5 * i + i * life[i]->sprite.width;
        EXPECT_EQ(life[i]->sprite.x, x);
        EXPECT_EQ(skull[i]->sprite.x, x);
        EXPECT_EQ(life[i]->sprite.y, 7.0f);
    }
    EXPECT_GT(life[0]->sprite.width, 0.0f);
}

//---- Long-swoop bonus

class LongSwoop : public Score {
protected:
    // Frames of the bonus at a fixed swoop length; returns the points paid.
    static int pay(float length, int frames, float dt = DT)
    {
        int start = getScore();
        swoopTime = length;
        for (int i = 0; i < frames; i++) {
            gameTimeElapsed += dt;
            updateSpecialSwoop(dt);
        }
        return getScore() - start;
    }
};

TEST_F(LongSwoop, NothingUpToFiveSecondsThenFiveTenAndFifteenPointTiers)
{
    gameTimeElapsed = 10;
    EXPECT_EQ(pay(5.0f, 60), 0);
    brightenLabel();
    int five = pay(5.01f, 60);
    EXPECT_GE(five, 45);
    EXPECT_LE(five, 50);
    EXPECT_EQ(five % 5, 0);
    EXPECT_EQ(pay(10.01f, 60), 150) << "10 points every fourth frame";
    EXPECT_EQ(pay(30.01f, 60), 300) << "15 points every third frame";
    EXPECT_EQ(scoreLabel->sprite.red, 1.0f) << "no dimming";
}

TEST_F(LongSwoop, AtLowFrameRatesTheTopTierPaysOncePerFrame)
{
    gameTimeElapsed = 10;
    EXPECT_EQ(pay(31.0f, 20, 0.05f), 300);
    EXPECT_EQ(pay(31.0f, 5, 0.2f), 75);
}

TEST_F(LongSwoop, DyingStopsTheBonus)
{
    gameTimeElapsed = 10;
    owl.dying = 1;
    EXPECT_EQ(pay(31.0f, 30), 0);
    owl.dying = 0;
}

//---- Glow trail

class Glow : public Score {
protected:
    static void frame(float x, float y)
    {
        owl.x = x;
        owl.y = y;
        updateOwlSprites(DT);
    }
};

TEST_F(Glow, TheTrailIsTheOwlsPathShrinkingTwoPercentAPlace)
{
    frame(100, 400);
    frame(110, 410);
    frame(120, 420);
    EXPECT_EQ(swoopGlow[0]->x, 120.0f);
    EXPECT_EQ(swoopGlow[1]->x, 120.0f) << "entry 1 takes the head's new position";
    EXPECT_EQ(swoopGlow[2]->x, 110.0f);
    EXPECT_EQ(swoopGlow[3]->x, 100.0f);
    EXPECT_EQ(swoopGlow[3]->y, 400.0f);
    for (int i = 0; i < GLOW_TRAIL; i++)
        frame(200, 300);
    EXPECT_NEAR(swoopGlow[74]->scaleX, pow(0.98, 74), 1e-3);
    EXPECT_EQ(swoopGlow[74]->scaleX, swoopGlow[74]->scaleY);
    EXPECT_LE(swoopGlow[0]->alpha, 0.0f) << "invisible in normal flight";
}

TEST_F(Glow, TheOwlIsShadedByHeightAndTheWingsDownPoseLagsAFrame)
{
    frame(300, 150);
    frame(300, 240);
    EXPECT_EQ(owl.wingsUpSprite->red, 240 / 300.0f);
    EXPECT_EQ(owl.swoopSprite->green, 240 / 300.0f);
    EXPECT_EQ(owl.wingsDownSprite->blue, 150 / 300.0f);
    EXPECT_EQ(owl.eyesSprite->x, 300.0f);
    EXPECT_EQ(owl.sparks->sprite.y, 240.0f);
}

TEST_F(Glow, OnlyASwoopLongerThanThreeSecondsLightsTheFlameAndDyingPutsItOut)
{
    owl.swoopActive = 1;
    swoopTime = 3.0f;
    frame(300, 300);
    EXPECT_LE(swoopGlow[0]->alpha, 0.0f);

    swoopTime = 3.01f;
    frame(300, 300);
    EXPECT_NEAR(swoopGlow[0]->alpha, 0.5f * DT, 1e-6f);
    for (int i = 0; i < 200; i++)
        frame(300, 300);
    EXPECT_GE(swoopGlow[0]->alpha, 0.8f);
    EXPECT_LT(swoopGlow[0]->alpha, 0.8f + 0.5f * DT + 1e-6f);
    EXPECT_NEAR(swoopGlow[1]->alpha, swoopGlow[0]->alpha - 1.8f * DT, 0.01f);

    owl.dying = 1;
    float lit = swoopGlow[0]->alpha;
    frame(300, 300);
    EXPECT_NEAR(swoopGlow[0]->alpha, lit - 5 * DT, 1e-5f);
    owl.dying = 0;
    owl.swoopActive = 0;
}
