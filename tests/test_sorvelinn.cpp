// Tests of the start-up splash on the deterministic music clock: the music starts on the first
// frame with time in it, the cards follow their windows, the splash ends at 13.2 s or on Space.

#include "main.h"
#include "pngLoad.h"
#include "scenes.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>

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

// The rows of a card's picture that hold its words (anything more than faintly drawn), top row 0.
static bool inkRows(const char* path, int& top, int& bottom, int& height)
{
    uint32_t w = 0, h = 0;
    unsigned char* px = nullptr;
    if (pngLoad(path, &w, &h, &px) != PNGLOAD_OK)
        return false;
    top = (int)h, bottom = -1, height = (int)h;
    for (uint32_t r = 0; r < h; r++)  // the loader gives the bottom row first
        for (uint32_t x = 0; x < w; x++)
            if (px[((size_t)r * w + x) * 4 + 3] > 40) {
                int row = (int)(h - 1 - r);
                top = std::min(top, row);
                bottom = std::max(bottom, row);
            }
    free(px);
    return bottom >= 0;
}

// Each card fades out while the next fades in about the same centre: at every tenth of a second of the card
// sequence, the words of any two cards on screen stand apart.
TEST_F(Splash, TwoCardsOnScreenNeverLayTheirWordsOverEachOther)
{
    Image* cards[4] = {branding, leadership, eyewear, bananas};
    const char* files[4] = {"data/branding.png", "data/leadership.png", "data/eyewear.png", "data/bananas.png"};
    int top[4], bottom[4], height[4];
    for (int i = 0; i < 4; i++)
        ASSERT_TRUE(inkRows(files[i], top[i], bottom[i], height[i])) << files[i];
    int shared = 0;
    for (int step = 1; step <= 36; step++) {
        runUntil(step * 0.1);
        for (int a = 0; a < 4; a++)
            for (int b = a + 1; b < 4; b++) {
                const Sprite &sa = cards[a]->sprite, &sb = cards[b]->sprite;
                if (sa.alpha < 0.02f || sb.alpha < 0.02f)
                    continue;
                ++shared;
                // Centred sprites, scaled about their centre.
                double a0 = sa.y + (top[a] - height[a] / 2.0) * sa.scaleY,
                       a1 = sa.y + (bottom[a] - height[a] / 2.0) * sa.scaleY;
                double b0 = sb.y + (top[b] - height[b] / 2.0) * sb.scaleY,
                       b1 = sb.y + (bottom[b] - height[b] / 2.0) * sb.scaleY;
                EXPECT_TRUE(a1 < b0 || b1 < a0) << files[a] << " and " << files[b] << " overlap at " << step * 0.1
                                                << " s: rows " << a0 << "-" << a1 << " and " << b0 << "-" << b1;
            }
    }
    EXPECT_GT(shared, 0) << "the cards never crossfade: the test saw nothing";
}
