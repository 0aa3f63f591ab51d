// Tests of the start-up splash on the deterministic music clock: the music starts on the first
// frame with time in it, the cards follow their windows, the splash ends at 13.2 s or on Space.

#include "main.h"
#include "scenes.h"
#include "testutil.h"

#include <gtest/gtest.h>

//---- Fixture

class Splash : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        testStartHeadless(false);
    }

    void SetUp() override
    {
        NUX_StopMusic();
        resetSorvelInn();
        for (Image* card : {branding, leadership, eyewear, bananas, vorn_glow, vorn_plain})
            card->sprite.scaleX = card->sprite.scaleY = 1.0f;
    }

    // Frames of the splash loop until the music reaches `position` seconds (or the splash ends).
    static void runUntil(double position)
    {
        for (int i = 0; i < 2000 && !SorvelOver() && NUX_GetMusicPosition() < position; i++) {
            NUX_AdvanceVirtualClock();
            runSplashFrame();
        }
    }
};

//---- Timeline

TEST_F(Splash, AZeroLengthFirstFrameDoesNotStartTheMusic)
{
    runSorvelInn(0.0);
    NUX_AdvanceVirtualClock();
    NUX_UpdateSound();
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0);
    runSorvelInn(1.0 / 60.0);
    NUX_AdvanceVirtualClock();
    NUX_UpdateSound();
    EXPECT_GT(NUX_GetMusicPosition(), 0.0);
}

TEST_F(Splash, CardsShowInTurnAndTheLogoFollows)
{
    runUntil(0.5);
    EXPECT_GT(branding->sprite.alpha, 0.5f);
    EXPECT_GT(branding->sprite.scaleX, 1.1f);
    EXPECT_EQ(branding->sprite.scaleX, branding->sprite.scaleY);
    EXPECT_EQ(leadership->sprite.alpha, 0.0f);

    runUntil(1.2);
    EXPECT_LT(branding->sprite.alpha, 0.6f) << "the first card fades once its window has passed";
    EXPECT_GT(leadership->sprite.alpha, 0.5f);

    runUntil(6.0);
    EXPECT_LT(bananas->sprite.alpha, 0.001f) << "every card has gone before the logo";
    EXPECT_GT(vorn_plain->sprite.alpha, 1.0f);
    EXPECT_GT(vorn_glow->sprite.scaleX, 1.0f);
    EXPECT_EQ(vorn_plain->sprite.scaleX, vorn_glow->sprite.scaleY);
    EXPECT_EQ(sorvelEffect->alpha, 0.0f);

    runUntil(8.3);
    EXPECT_NEAR(sorvelEffect->alpha, 0.5f, 0.1f) << "the flash starts at half strength";
    EXPECT_NEAR(vorn_glow->sprite.alpha, 1.0f, 0.1f);
    runUntil(9.5);
    EXPECT_LT(sorvelEffect->alpha, 0.0f) << "and is gone within a second";
    EXPECT_EQ(SorvelOver(), 0);

    runUntil(20.0);
    EXPECT_EQ(SorvelOver(), 1);
    EXPECT_GT(Timer_GetSeconds(), 13.2);
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0) << "the splash stops its music when it ends";
}

TEST_F(Splash, SpaceLeavesOnlyThePlainLogo)
{
    runUntil(1.0);
    SorvelAborted();
    EXPECT_EQ(SorvelOver(), 1);
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0);
    EXPECT_EQ(vorn_plain->sprite.alpha, 1.0f);
    for (Image* other : {branding, leadership, eyewear, bananas, vorn_glow})
        EXPECT_EQ(other->sprite.alpha, 0.0f);
    EXPECT_EQ(sorvelEffect->alpha, 0.0f);
    EXPECT_EQ(sorvelEffect->additive, 1);
    EXPECT_EQ(vorn_plain->sprite.centered, 1);
    EXPECT_EQ(vorn_plain->sprite.x, 512.0f);
}
