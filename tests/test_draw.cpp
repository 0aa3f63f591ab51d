// Tests of sprite drawing, read back as pixels from the real window (Mesa under Xvfb): placement,
// centring, scaling, the off-screen and alpha tests, additive blending and rectangles.

#include "nux.h"
#include "nux_local.h"  // nuxGLAllowTextureRectangles
#include "testutil.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <cstdlib>    // calloc
#include <algorithm>  // max
#include <cstring>    // memcpy

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

// Whether a draw call got past its tests: only a draw that proceeds sends triangles.
static bool drawProceeds(Sprite* item)
{
    const int before = NUX_GetTriangleCount();
    item->draw(item);
    return NUX_GetTriangleCount() > before;
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

    // A rectangle at alpha 0 is not drawn.
    Sprite rect = {};
    NUX_InitSprite(&rect);
    rect.draw = NUX_DrawEmptySprite;
    rect.x = rect.y = 0.0f;
    rect.width = rect.height = 50.0f;
    rect.red = 0.0f;
    rect.green = 1.0f;
    rect.alpha = 0.0f;
    EXPECT_FALSE(drawProceeds(&rect));
    rect.alpha = 0.001f;
    EXPECT_TRUE(drawProceeds(&rect));
    rect.alpha = 0.0f;
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

//---- Only what can show

// The picture as the old padded square drew it: a hand-made image with the whole T x T texture
// (picture in the top-left corner, its top row last) and no part of its own.
static Image* paddedImage(const std::vector<uint8_t>& rows, int w, int h)
{
    int T = 1;
    while (T < w || T < h)
        T *= 2;
    std::vector<uint8_t> square((size_t)T * T * 4, 0);
    for (int y = 0; y < h; y++)
        memcpy(&square[(size_t)(T - 1 - y) * T * 4], &rows[(size_t)y * w * 4], (size_t)w * 4);
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, T, T, 0, GL_RGBA, GL_UNSIGNED_BYTE, square.data());
    Image* image = testKeep((Image*)calloc(1, sizeof(Image)));
    NUX_InitSprite(&image->sprite);
    image->pixelWidth = (uint32_t)w;
    image->pixelHeight = (uint32_t)h;
    image->sprite.width = (float)w;
    image->sprite.height = (float)h;
    image->textureSize = (uint32_t)T;
    image->texture = name;
    image->sprite.draw = NUX_DrawImage;
    return image;
}

// A picture with an opaque, a half-transparent and a fully transparent (but coloured) region, and
// visible texels on the left edge, the top edge or neither; its last three columns are clear
// unless it fills its square (a side of a power of two), where they reach the square's edge.
static std::vector<uint8_t> patchyPicture(int w, int h, int clearLeft, int clearTop)
{
    const bool fillsSquare = (w & (w - 1)) == 0 && w >= h;
    std::vector<uint8_t> rows((size_t)w * h * 4);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint8_t* p = &rows[((size_t)y * w + x) * 4];
            p[0] = (uint8_t)(x * 37);
            p[1] = (uint8_t)(y * 53);
            p[2] = (uint8_t)((x ^ y) * 11);
            p[3] = (x < clearLeft || y < clearTop || (x > w - 4 && !fillsSquare)) ? 0 : (uint8_t)(x % 3 ? 255 : 120);
        }
    return rows;
}

// How the frames drawn by two images of one picture, placed the same ways, differ: pixels off
// where the picture is drawn at its own size and upright, and the largest difference in a channel
// where it is scaled or turned (where the filter's weights may round a level apart).
struct Difference {
    int uprightPixels, scaledLevels;
};

static Difference compareDrawings(Image* a, Image* b)
{
    Difference difference = {0, 0};
    const struct {
        float x, y, scale, rotation;
        int centered, additive;
    } places[] = {{40, 30, 1, 0, 0, 0},      {100.5f, 60.25f, 1, 0, 0, 0}, {700, 90, 1, 0, 1, 1},
                  {300, 200, 2.5f, 0, 1, 0}, {500, 300, 0.37f, 0, 0, 0},   {600, 500, 1.3f, 33, 1, 0},
                  {200, 500, 1, -71, 0, 1}};
    for (const auto& place : places) {
        std::vector<uint8_t> frames[2];
        for (int i = 0; i < 2; i++) {
            Image* image = i ? b : a;
            testBeginFrame();
            NUX_DrawRect(0, 0, 1024, 768, 40, 90, 140, 255, 0);  // blending shows over something
            image->sprite.x = place.x;
            image->sprite.y = place.y;
            image->sprite.scaleX = image->sprite.scaleY = place.scale;
            image->sprite.rotation = place.rotation;
            image->sprite.centered = place.centered;
            image->sprite.additive = place.additive;
            NUX_DrawImage(&image->sprite);
            frames[i] = testReadFrame();
        }
        const bool upright = place.scale == 1.0f && place.rotation == 0.0f;
        for (size_t p = 0; p < frames[0].size(); p += 4) {
            int off = 0;
            for (int c = 0; c < 3; c++)
                off = std::max(off, std::abs(frames[0][p + c] - frames[1][p + c]));
            if (upright)
                difference.uprightPixels += off != 0;
            else
                difference.scaledLevels = std::max(difference.scaledLevels, off);
        }
    }
    return difference;
}

// Pictures load into rectangle textures where the context has them (every desktop Mesa) and into
// normalised ones elsewhere (a web page): both are drawn here, each against the padded square.
TEST_F(Draw, PicturesDrawnFromWhatCanShowMatchTheirPaddedSquares)
{
    struct Case {
        const char* name;
        int w, h, clearLeft, clearTop;
    } cases[] = {{"patchy-inner.png", 45, 30, 6, 5},
                 {"patchy-edges.png", 45, 30, 0, 0},
                 {"patchy-full.png", 64, 16, 0, 0},
                 {"patchy-far.png", 32, 32, 7, 3}};  // visible up to the square's right and bottom edges
    for (const char* textures : {"rectangle-", "normalised-"}) {
        nuxGLAllowTextureRectangles(textures[0] == 'r');
        std::vector<const char*> set;
        std::vector<std::string> paths, shared;
        for (const Case& c : cases) {
            const std::vector<uint8_t> rows = patchyPicture(c.w, c.h, c.clearLeft, c.clearTop);
            paths.push_back(testWritePng(textures + std::string(c.name), c.w, c.h, PNG_COLOR_TYPE_RGBA, 8, rows));
            // The same picture again under another name, loaded in one shared texture.
            shared.push_back(
                testWritePng(textures + std::string("set-") + c.name, c.w, c.h, PNG_COLOR_TYPE_RGBA, 8, rows));
        }
        for (const std::string& path : shared)
            set.push_back(path.c_str());
        NUX_LoadImageSet(set.data(), (int)set.size());
        for (size_t i = 0; i < paths.size(); i++) {
            const Case& c = cases[i];
            Image* padded = paddedImage(patchyPicture(c.w, c.h, c.clearLeft, c.clearTop), c.w, c.h);
            Image* own = testKeep(NUX_LoadImage(paths[i].c_str()));
            Image* inSet = testKeep(NUX_LoadImage(shared[i].c_str()));
            for (Image* image : {own, inSet}) {
                const Difference d = compareDrawings(padded, image);
                const std::string what =
                    textures + std::string(c.name) + (image == inSet ? " in a shared texture" : "");
                EXPECT_EQ(d.uprightPixels, 0) << what;
                EXPECT_LE(d.scaledLevels, 2) << what;
            }
        }
    }
    nuxGLAllowTextureRectangles(1);
}

TEST_F(Draw, RunsOfOneTextureAndBlendingGoOutAsOneDraw)
{
    const char* wings[] = {"wing-a.png", "wing-b.png"};
    std::vector<std::string> paths;
    for (const char* name : wings)
        paths.push_back(testWritePng(name, 8, 8, PNG_COLOR_TYPE_RGBA, 8, patchyPicture(8, 8, 0, 0)));
    const char* set[] = {paths[0].c_str(), paths[1].c_str()};
    NUX_LoadImageSet(set, 2);
    Image* a = testKeep(NUX_LoadImage(set[0]));
    Image* b = testKeep(NUX_LoadImage(set[1]));
    Image* other = solidImage("other.png", 8, 8, 0, 255, 0);
    EXPECT_EQ(a->texture, b->texture);

    // a b a b, a skipped (off-screen) one, b: one draw. Then an additive one, another texture,
    // a rectangle, and b again: four more, in that order.
    testBeginFrame();
    for (int i = 0; i < 5; i++) {
        Image* image = i % 2 ? b : a;
        image->sprite.x = 10.0f + 10.0f * (float)i;
        image->sprite.y = 10.0f;
        NUX_DrawImage(&image->sprite);
    }
    a->sprite.x = -500.0f;
    NUX_DrawImage(&a->sprite);
    NUX_DrawImage(&b->sprite);
    EXPECT_EQ(NUX_GetDrawCallCount(), 0) << "nothing is sent while the run goes on";
    a->sprite.x = 100.0f;
    a->sprite.additive = 1;
    NUX_DrawImage(&a->sprite);
    a->sprite.additive = 0;
    other->sprite.x = 120.0f;
    NUX_DrawImage(&other->sprite);
    NUX_DrawRect(140, 10, 8, 8, 255, 255, 255, 255, 0);
    b->sprite.x = 141.0f;
    NUX_DrawImage(&b->sprite);
    auto frame = testReadFrame();
    EXPECT_EQ(NUX_GetDrawCallCount(), 5);
    EXPECT_EQ(NUX_GetTriangleCount(), 2 * 10);
    // The last picture lies over the rectangle drawn before it: order is kept across draws.
    EXPECT_NEAR(testPixel(frame, 142, 12).r, 37, 2);
}

//---- Frames that change little

// One frame of a small scene: a gradient sky, a picture at x, and a sign tinted by shade.
static void drawSignFrame(Image* picture, Image* sign, float x, float shade)
{
    testBeginFrame();
    NUX_VerticalGradientRect(0, 0, 1024, 768, 20, 40, 90, 255, 200, 120, 60, 255);
    picture->sprite.x = x;
    picture->sprite.y = 100.0f;
    picture->sprite.rotation = 17.0f;
    NUX_DrawImage(&picture->sprite);
    NUX_SetSpriteColor(&sign->sprite, shade, shade, shade);
    NUX_DrawImage(&sign->sprite);
}

// The same frame drawn whole into the back buffer, as the harness draws every frame.
static std::vector<uint8_t> wholeFrame(Image* picture, Image* sign, float x, float shade)
{
    NUX_SetSkipUnchangedFrames(0);
    drawSignFrame(picture, sign, x, shade);
    auto frame = testReadFrame();
    NUX_SetSkipUnchangedFrames(1);
    return frame;
}

TEST_F(Draw, UnchangedFramesAreSkippedAndSmallChangesRedrawnOnlyWhereTheyAre)
{
    Image* picture = testKeep(NUX_LoadImage(
        testWritePng("scenery.png", 40, 30, PNG_COLOR_TYPE_RGBA, 8, patchyPicture(40, 30, 0, 0)).c_str()));
    picture->sprite.draw = NUX_DrawImage;
    Image* sign = solidImage("sign.png", 200, 60, 230, 210, 120);
    sign->sprite.x = 512.0f;
    sign->sprite.y = 384.0f;
    sign->sprite.centered = 1;
    NUX_SetSkipUnchangedFrames(1);

    drawSignFrame(picture, sign, 100.0f, 1.0f);
    NUX_EndRender();
    EXPECT_GT(NUX_GetDrawCallCount(), 0);
    drawSignFrame(picture, sign, 100.0f, 1.0f);
    NUX_EndRender();
    EXPECT_EQ(NUX_GetDrawCallCount(), 0) << "the frame on screen is not drawn again";

    // Each step changes the sign or moves the picture a little; what the back buffer then holds
    // is the whole frame, as drawing it whole gives it.
    const struct {
        float x, shade;
    } steps[] = {{100.0f, 0.8f}, {103.5f, 1.0f}, {98.25f, 0.85f}};
    for (const auto& step : steps) {
        // Two frames that differ in the sign alone: after them the back buffer holds the frame on
        // screen (a swap leaves it unknown, so the first of a small change is copied out whole).
        for (float shade : {0.5f, 0.6f}) {
            drawSignFrame(picture, sign, 100.0f, shade);
            NUX_EndRender();
        }
        // A mark far from every change, painted into the back buffer: a frame redrawn only where it
        // changed keeps it.
        glEnable(GL_SCISSOR_TEST);
        glScissor(1000, 700, 4, 4);
        glClear(GL_COLOR_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        drawSignFrame(picture, sign, step.x, step.shade);
        NUX_EndRender();
        const auto drawn = testReadFrame();
        EXPECT_TRUE(isBlack(drawn, 1001, 66)) << "redrawn whole at x " << step.x;
        const auto whole = wholeFrame(picture, sign, step.x, step.shade);
        int off = 0;
        for (size_t p = 0; p < whole.size(); p += 4) {
            const size_t x = p / 4 % 1024, y = p / 4 / 1024;
            if (x < 1000 || y < 64 || y >= 68)
                off += memcmp(&whole[p], &drawn[p], 3) != 0;
        }
        EXPECT_EQ(off, 0) << "pixels differ at x " << step.x << ", shade " << step.shade;
    }
    NUX_SetSkipUnchangedFrames(-1);
}
