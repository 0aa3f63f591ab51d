// Tests of sprite drawing, read back as pixels from the real window (Mesa under Xvfb): placement,
// centring, scaling, the off-screen and alpha tests, additive blending and rectangles.

#include "nux.h"
#include "testutil.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>

//---- Helpers

class Draw : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!testOpenWindow())
            GTEST_SKIP() << "no display";
        testBeginFrame();
    }
};

// A solid opaque picture of the given size and colour, loaded as a fresh image.
static Image* solidImage(const char* name, int w, int h, uint8_t r, uint8_t g, uint8_t b)
{
    std::vector<uint8_t> rows((size_t)w * h * 4);
    for (size_t i = 0; i < rows.size(); i += 4) {
        rows[i] = r;
        rows[i + 1] = g;
        rows[i + 2] = b;
        rows[i + 3] = 255;
    }
    Image* image = testKeep(NUX_LoadImage(testWritePng(name, w, h, PNG_COLOR_TYPE_RGBA, 8, rows).c_str()));
    image->sprite.draw = NUX_DrawImage;
    return image;
}

static bool isRed(const std::vector<uint8_t>& frame, int x, int y)
{
    Rgba p = testPixel(frame, x, y);
    return p.r > 200 && p.g < 50 && p.b < 50;
}

static bool isBlack(const std::vector<uint8_t>& frame, int x, int y)
{
    Rgba p = testPixel(frame, x, y);
    return p.r < 10 && p.g < 10 && p.b < 10;
}

// Row y is red at columns redL and redR, and black at blackL and blackR just outside them.
static void expectRedRow(const std::vector<uint8_t>& frame, int y, int blackL, int redL, int redR, int blackR)
{
    EXPECT_TRUE(isBlack(frame, blackL, y) && isRed(frame, redL, y) && isRed(frame, redR, y) &&
                isBlack(frame, blackR, y))
        << "row " << y << ": red from " << redL << " to " << redR;
}

// Whether a draw call got past its tests: the current GL colour is set only by a draw that
// proceeds, so a marker colour left in place means the item was skipped.
static bool drawProceeds(Sprite* item)
{
    glColor4f(0.123f, 0.456f, 0.789f, 0.5f);
    item->draw(item);
    float c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    return !(std::abs(c[0] - 0.123f) < 1e-3f && std::abs(c[1] - 0.456f) < 1e-3f);
}

//---- Placement

TEST_F(Draw, UncentredPictureCoversItsPixelRectangle)
{
    Image* image = solidImage("red300.png", 300, 100, 255, 0, 0);
    image->sprite.x = 100.0f;
    image->sprite.y = 50.0f;
    NUX_DrawImage(&image->sprite);
    auto frame = testReadFrame();
    EXPECT_TRUE(isRed(frame, 100, 50));
    EXPECT_TRUE(isRed(frame, 399, 149));
    expectRedRow(frame, 100, 99, 100, 399, 401);  // the padded margin right of the picture is transparent
    EXPECT_TRUE(isBlack(frame, 200, 49) && isBlack(frame, 200, 151)) << "nothing above or below it";
}

TEST_F(Draw, CentredPictureSitsOnItsPositionAndScalesAboutIt)
{
    Image* image = solidImage("red300c.png", 300, 100, 255, 0, 0);
    image->sprite.centered = 1;
    image->sprite.x = 512.0f;
    image->sprite.y = 384.0f;
    NUX_DrawImage(&image->sprite);
    auto frame = testReadFrame();
    expectRedRow(frame, 384, 360, 363, 660, 664);
    EXPECT_TRUE(isRed(frame, 363, 335) && isRed(frame, 660, 432));
    EXPECT_TRUE(isBlack(frame, 512, 332));

    testBeginFrame();
    image->sprite.scaleX = image->sprite.scaleY = 2.0f;
    NUX_DrawImage(&image->sprite);
    frame = testReadFrame();
    expectRedRow(frame, 384, 209, 213, 810, 815);
    EXPECT_TRUE(isRed(frame, 213, 285) && isRed(frame, 810, 482));
    EXPECT_TRUE(isBlack(frame, 512, 281));
}

TEST_F(Draw, LogicalTopIsTheWindowsTopAndRotationTurnsClockwise)
{
    Image* image = solidImage("bar.png", 200, 20, 255, 0, 0);
    image->sprite.x = 300.0f;
    image->sprite.y = 0.0f;
    NUX_DrawImage(&image->sprite);
    auto frame = testReadFrame();
    EXPECT_TRUE(isRed(frame, 350, 0)) << "y = 0 touches the top edge";

    // Turned 90 degrees about its corner, the bar hangs down from (300, 100) to the left.
    testBeginFrame();
    image->sprite.y = 100.0f;
    image->sprite.rotation = 90.0f;
    NUX_DrawImage(&image->sprite);
    frame = testReadFrame();
    EXPECT_TRUE(isRed(frame, 290, 250));
    EXPECT_TRUE(isBlack(frame, 350, 105));
}

//---- Skipping

TEST_F(Draw, OffScreenTestUsesScaledWidthsButUnscaledHeightBelow)
{
    Image* image = solidImage("red100.png", 100, 100, 255, 0, 0);
    Sprite* s = &image->sprite;
    struct Case {
        float x, y, scaleX, scaleY;
        int centered;
        bool drawn;
    } cases[] = {
        {1100, 300, 1, 1, 0, true},  // beyond the right edge, yet within one width of it
        {1130, 300, 1, 1, 0, false}, {1110, 300, 0.1f, 1, 0, false},  // 1110 - 10 > 1024
        {-150, 300, 1, 1, 0, false}, {-50, 300, 1, 1, 0, true},
        {500, 880, 1, 4, 1, false},  // the height is unscaled in the test below the screen
        {500, 860, 1, 4, 1, true},   {500, -99, 1, 1, 0, true},
        {500, -101, 1, 1, 0, false},
    };
    for (const Case& c : cases) {
        s->x = c.x;
        s->y = c.y;
        s->scaleX = c.scaleX;
        s->scaleY = c.scaleY;
        s->centered = c.centered;
        EXPECT_EQ(drawProceeds(s), c.drawn) << "x " << c.x << " y " << c.y;
    }

    // The picture at x = -50 shows its right half at the left edge.
    testBeginFrame();
    s->x = -50.0f;
    s->y = 300.0f;
    s->scaleX = s->scaleY = 1.0f;
    s->centered = 0;
    NUX_DrawImage(s);
    auto frame = testReadFrame();
    EXPECT_TRUE(isRed(frame, 0, 350) && isRed(frame, 48, 350) && isBlack(frame, 52, 350));
}

TEST_F(Draw, AlphaThresholdsOfPicturesAndRectangles)
{
    Image* image = solidImage("red10.png", 10, 10, 255, 0, 0);
    image->sprite.x = image->sprite.y = 20.0f;
    image->sprite.alpha = 0.0005f;
    EXPECT_FALSE(drawProceeds(&image->sprite));
    image->sprite.alpha = 0.001f;
    EXPECT_TRUE(drawProceeds(&image->sprite));

    // A rectangle at alpha 0 is not drawn, but its colour has been made current.
    Sprite rect = {};
    NUX_InitSprite(&rect);
    rect.draw = NUX_DrawEmptySprite;
    rect.x = rect.y = 0.0f;
    rect.width = rect.height = 50.0f;
    rect.red = 0.0f;
    rect.green = 1.0f;
    rect.alpha = 0.0f;
    NUX_DrawEmptySprite(&rect);
    float c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    EXPECT_FLOAT_EQ(c[0], 0.0f);
    EXPECT_FLOAT_EQ(c[1], 1.0f);
    auto frame = testReadFrame();
    EXPECT_TRUE(isBlack(frame, 25, 25));

    // Alpha above 1 draws fully opaque; one half blends halfway.
    rect.alpha = 100.0f;
    NUX_DrawEmptySprite(&rect);
    rect.x = 100.0f;
    rect.alpha = 0.5f;
    NUX_DrawEmptySprite(&rect);
    frame = testReadFrame();
    EXPECT_EQ(testPixel(frame, 25, 25).g, 255);
    EXPECT_NEAR(testPixel(frame, 125, 25).g, 128, 2);
}

TEST_F(Draw, AdditiveBrightensWhatIsBeneathAndRestoresBlending)
{
    Sprite grey = {};
    NUX_InitSprite(&grey);
    grey.width = grey.height = 100.0f;
    grey.red = grey.green = grey.blue = 0.5f;
    NUX_DrawEmptySprite(&grey);

    Image* glow = solidImage("glow.png", 50, 50, 100, 100, 100);
    glow->sprite.x = glow->sprite.y = 10.0f;
    glow->sprite.additive = 1;
    NUX_DrawImage(&glow->sprite);
    auto frame = testReadFrame();
    EXPECT_NEAR(testPixel(frame, 30, 30).r, 128 + 100, 3) << "added to the grey, not laid over it";

    GLint dst = 0;
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);

    // An additive rectangle too.
    Sprite flash = grey;
    flash.additive = 1;
    flash.x = 200.0f;
    NUX_DrawEmptySprite(&grey);
    grey.x = 200.0f;
    NUX_DrawEmptySprite(&grey);
    NUX_DrawEmptySprite(&flash);
    frame = testReadFrame();
    EXPECT_GE(testPixel(frame, 250, 50).r, 253);
    glGetIntegerv(GL_BLEND_DST, &dst);
    EXPECT_EQ(dst, GL_ONE_MINUS_SRC_ALPHA);
}

TEST_F(Draw, CentredRectangleOffsetUsesTheUnscaledSize)
{
    Sprite rect = {};
    NUX_InitSprite(&rect);
    rect.centered = 1;
    rect.x = 512.0f;
    rect.y = 300.0f;
    rect.width = rect.height = 100.0f;
    rect.scaleX = 2.0f;
    rect.green = rect.blue = 0.0f;
    NUX_DrawEmptySprite(&rect);
    auto frame = testReadFrame();
    expectRedRow(frame, 300, 459, 463, 660, 664);
}

TEST_F(Draw, DirectRectanglesAndGradients)
{
    NUX_DrawRect(10, 10, 40, 40, 0, 0, 255, 255, 0);
    NUX_GradientRect(100, 0, 100, 200, 255, 0, 0, 255, 0, 0, 255, 255);
    NUX_VerticalGradientRect(300, 0, 200, 100, 255, 0, 0, 255, 0, 0, 255, 255);
    auto frame = testReadFrame();
    EXPECT_EQ(testPixel(frame, 30, 30).b, 255);
    // Top to bottom: red at the top edge, blue at the bottom.
    EXPECT_GT(testPixel(frame, 150, 2).r, 240);
    EXPECT_GT(testPixel(frame, 150, 197).b, 240);
    // Left to right: red at the left edge, blue at the right.
    EXPECT_GT(testPixel(frame, 302, 50).r, 240);
    EXPECT_GT(testPixel(frame, 497, 50).b, 240);
}
