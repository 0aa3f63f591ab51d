// Pictures of one game under Xvfb: the game screen at 10 s (dusk), 60 s (the first mist), 150 s
// (night) and 240 s (sunrise), each compared at a tolerance with a small stored reference.
// The references live in tests/game_shots/. After a change that is meant to alter the picture,
// look at the new pictures, then rewrite them with
//     DUNMARROW_UPDATE_SHOTS=1 ./tests/test_gameShots     (from the build folder, under Xvfb)

#include "gameLocal.h"
#include "main.h"
#include "pngLoad.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <cstdlib>  // getenv, free
#include <string>   // paths

//---- Constants

static const int BLOCK = 8;                  // screen pixels per side of one thumbnail pixel
static const int THUMB_W = 1024 / BLOCK;     // 128
static const int THUMB_H = 768 / BLOCK;      // 96
static const double MEAN_TOLERANCE = 3.0;    // mean absolute difference per channel, of 255
static const int PIXEL_TOLERANCE = 48;       // a thumbnail pixel this far off in a channel differs
static const double DIFFERING_SHARE = 0.02;  // at most this share of thumbnail pixels may differ

//---- Helpers

// One frame of the main loop without drawing: input, clock, the game, sound. Drawing only the
// pictured frames keeps a 240 s game cheap under a software renderer.
static void playFrame()
{
    NUX_AdvanceVirtualClock();
    NUX_InputUpdate();
    doTimer();
    runGame(elapsed);
    NUX_UpdateSound();
}

// Draws the game screen as the next frame would show it and shrinks it to RGB blocks, top row first.
static std::vector<uint8_t> thumbnail()
{
    NUX_BeginRender();
    NUX_RenderImages();
    std::vector<uint8_t> frame = testReadFrame();
    std::vector<uint8_t> thumb((size_t)THUMB_W * THUMB_H * 3);
    for (int ty = 0; ty < THUMB_H; ty++)
        for (int tx = 0; tx < THUMB_W; tx++)
            for (int c = 0; c < 3; c++) {
                int sum = 0;
                for (int y = 0; y < BLOCK; y++)
                    for (int x = 0; x < BLOCK; x++)
                        sum += frame[((size_t)(ty * BLOCK + y) * 1024 + (size_t)(tx * BLOCK + x)) * 4 + c];
                thumb[((size_t)ty * THUMB_W + tx) * 3 + c] = (uint8_t)(sum / (BLOCK * BLOCK));
            }
    return thumb;
}

// The stored reference as RGB, top row first; empty when it cannot be read.
static std::vector<uint8_t> reference(const std::string& path)
{
    uint32_t w = 0, h = 0;
    unsigned char* rgba = nullptr;
    std::vector<uint8_t> rgb;
    if (pngLoad(path.c_str(), &w, &h, &rgba) != PNGLOAD_OK)
        return rgb;
    if (w == (uint32_t)THUMB_W && h == (uint32_t)THUMB_H) {
        rgb.resize((size_t)w * h * 3);
        for (uint32_t y = 0; y < h; y++)  // the loader gives the bottom row first
            for (uint32_t x = 0; x < w; x++)
                for (int c = 0; c < 3; c++)
                    rgb[((size_t)y * w + x) * 3 + c] = rgba[((size_t)(h - 1 - y) * w + x) * 4 + c];
    }
    free(rgba);
    return rgb;
}

// Mean brightness of the thumbnail's rows from top to bottom (exclusive), 0 to 255.
static double brightness(const std::vector<uint8_t>& thumb, int top, int bottom)
{
    double sum = 0;
    for (int y = top; y < bottom; y++)
        for (int x = 0; x < THUMB_W * 3; x++)
            sum += thumb[(size_t)y * THUMB_W * 3 + x];
    return sum / ((bottom - top) * THUMB_W * 3);
}

// Compares a picture with its reference (or rewrites the reference when asked to).
static void expectLikeReference(const std::vector<uint8_t>& thumb, const char* name)
{
    const std::string stored = std::string(DUNMARROW_SOURCE_DIR "/tests/game_shots/") + name + ".png";
    if (getenv("DUNMARROW_UPDATE_SHOTS")) {
        ASSERT_TRUE(pngSave(stored.c_str(), THUMB_W, THUMB_H, 3, thumb.data())) << stored;
        return;
    }
    std::vector<uint8_t> expected = reference(stored);
    ASSERT_EQ(expected.size(), thumb.size()) << "no readable " << THUMB_W << "x" << THUMB_H << " reference " << stored;
    double total = 0;
    int differing = 0;
    for (size_t i = 0; i < thumb.size(); i += 3) {
        int worst = 0;
        for (int c = 0; c < 3; c++) {
            int d = abs((int)thumb[i + c] - (int)expected[i + c]);
            total += d;
            worst = std::max(worst, d);
        }
        differing += worst > PIXEL_TOLERANCE;
    }
    const double mean = total / (double)thumb.size();
    const double share = differing / (double)(THUMB_W * THUMB_H);
    if (mean > MEAN_TOLERANCE || share > DIFFERING_SHARE) {
        const std::string actual = std::string(DUNMARROW_BINARY_DIR "/game-shot-") + name + ".png";
        pngSave(actual.c_str(), THUMB_W, THUMB_H, 3, thumb.data());
        ADD_FAILURE() << name << ": mean difference " << mean << ", " << share * 100
                      << "% of the pixels differ; this run's picture is " << actual;
    }
}

//---- The game in pictures

TEST(GameShots, DuskMistNightAndSunriseLookAsStored)
{
    NUX_UseVirtualClock(1.0 / 60.0);
    NUX_UseDeterministicMusicClock(1);
    if (!testOpenWindow())
        GTEST_SKIP() << "needs a display";
    initShell(1);
    initSorvel();
    initScreens();
    loadSequences();
    switchGameMode(MODE_GAME);
    doTimer();

    struct Shot {
        double seconds;
        const char* name;
    };
    const Shot shots[] = {{10.0, "game_010s"}, {60.0, "game_060s"}, {150.0, "game_150s"}, {240.0, "game_240s"}};
    std::vector<uint8_t> pictures[4];
    long frame = 0;
    for (int i = 0; i < 4; i++) {
        while (frame < (long)(shots[i].seconds * 60.0 + 0.5)) {
            playFrame();
            frame++;
        }
        ASSERT_EQ(gameMode, MODE_GAME) << "the idle owl's game ended before " << shots[i].seconds << " s";
        pictures[i] = thumbnail();
        expectLikeReference(pictures[i], shots[i].name);
        if (shots[i].seconds == 60.0) {
            bool mistOut = false;
            for (const Mist& bank : mistWaves.mist)
                mistOut = mistOut || (bank.active && bank.sprite->sprite.alpha > 0.2f);
            EXPECT_TRUE(mistOut) << "no bank of the first mist wave is out at 60 s";
        }
    }

    // Whatever the references hold: the night is darker than the dusk, and the sunrise lights the sky.
    EXPECT_GT(brightness(pictures[3], 5, 40), brightness(pictures[2], 5, 40) + 20.0) << "no sunrise at 240 s";
    EXPECT_LT(brightness(pictures[2], 5, 40), brightness(pictures[0], 5, 40)) << "the night is not darker than dusk";
}
