// Tests of the PNG loader, the padded texture layout and the texture cache, with real PNG files
// written by the test in every colour type the loader meets.

#include "nux.h"
#include "nux_local.h"  // nuxDraw: whether pictures have rectangle textures
#include "pngLoad.h"
#include "testutil.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <cstdlib>  // free
#include <cstring>  // memcmp
#include <fstream>  // reading good files back to damage them

//---- Helpers

// A w x h RGBA picture whose texel (x, y) encodes its own position, so any misplacement shows.
static std::vector<uint8_t> positionPicture(int w, int h)
{
    std::vector<uint8_t> rows((size_t)w * h * 4);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint8_t* p = &rows[((size_t)y * w + x) * 4];
            p[0] = (uint8_t)x;
            p[1] = (uint8_t)(x >> 8);
            p[2] = (uint8_t)y;
            p[3] = (uint8_t)(200 + (x + y) % 50);
        }
    return rows;
}

static std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A copy of a real 1 x 1 PNG whose header claims width x height: the data that follows is far too
// short, which only a decoder that allocates before reading would ever find out.
static std::string pngClaiming(const char* name, uint32_t width, uint32_t height)
{
    std::vector<uint8_t> bytes =
        readBytes(testWritePng(std::string("real-") + name, 1, 1, PNG_COLOR_TYPE_RGBA, 8, {1, 2, 3, 4}));
    const uint32_t side[2] = {width, height};
    for (int i = 0; i < 8; i++)
        bytes[16 + i] = (uint8_t)(side[i / 4] >> (24 - 8 * (i % 4)));
    uint32_t crc = 0xffffffffu;  // the chunk CRC covers the IHDR type and data, bytes 12 to 28
    for (int i = 12; i < 29; i++) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; bit++)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    crc ^= 0xffffffffu;
    for (int i = 0; i < 4; i++)
        bytes[29 + i] = (uint8_t)(crc >> (24 - 8 * i));
    return testWriteFile(name, bytes);
}

// The texture's texels, rows bottom first as GL keeps them, with its width and height.
// A picture's texture: a rectangle one where the context has them.
static std::vector<uint8_t> readTexture(uint32_t texture, int* width, int* height)
{
    const GLenum target = nuxDraw->textureRectangles() ? 0x84F5 /* GL_TEXTURE_RECTANGLE_ARB */ : GL_TEXTURE_2D;
    glBindTexture(target, texture);
    glGetTexLevelParameteriv(target, 0, GL_TEXTURE_WIDTH, width);
    glGetTexLevelParameteriv(target, 0, GL_TEXTURE_HEIGHT, height);
    std::vector<uint8_t> texels((size_t)*width * (size_t)*height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(target, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(target, 0);
    return texels;
}

//---- Decoding

TEST(PngLoad, DecodesEveryColourTypeToRgbaBottomRowFirst)
{
    // Two rows of two pixels: top row red then green, bottom row blue then white.
    struct Case {
        const char* name;
        int colorType, bitDepth;
        std::vector<uint8_t> rows, palette;
        uint8_t expectTopLeft[4], expectBottomRight[4];
    } cases[] = {
        {"rgba8.png",
         PNG_COLOR_TYPE_RGBA,
         8,
         {255, 0, 0, 128, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 10},
         {},
         {255, 0, 0, 128},
         {255, 255, 255, 10}},
        {"rgba16.png",
         PNG_COLOR_TYPE_RGBA,
         16,
         {0xff, 0xff, 0, 0, 0,    0,    0x80, 0x01, 0,    0,    0xff, 0xff, 0,    0,    0xff, 0xff,
          0,    0,    0, 0, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x0a, 0x0b},
         {},
         {255, 0, 0, 128},
         {255, 255, 255, 10}},
        {"rgb.png",
         PNG_COLOR_TYPE_RGB,
         8,
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255},
         {},
         {255, 0, 0, 255},
         {255, 255, 255, 255}},
        {"grey.png", PNG_COLOR_TYPE_GRAY, 8, {90, 0, 0, 255}, {}, {90, 90, 90, 255}, {255, 255, 255, 255}},
        {"greyalpha.png",
         PNG_COLOR_TYPE_GRAY_ALPHA,
         8,
         {90, 7, 0, 0, 0, 0, 255, 20},
         {},
         {90, 90, 90, 7},
         {255, 255, 255, 20}},
        {"palette.png",
         PNG_COLOR_TYPE_PALETTE,
         8,
         {0, 1, 2, 3},
         {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255},
         {255, 0, 0, 255},
         {255, 255, 255, 255}},
    };
    for (const Case& c : cases) {
        std::string path = testWritePng(c.name, 2, 2, c.colorType, c.bitDepth, c.rows, c.palette);
        uint32_t w = 0, h = 0;
        unsigned char* pixels = nullptr;
        ASSERT_EQ(pngLoad(path.c_str(), &w, &h, &pixels), PNGLOAD_OK) << c.name;
        EXPECT_TRUE(w == 2 && h == 2) << c.name;
        // Bottom row first: the picture's top-left pixel is the third pixel of the buffer.
        for (int i = 0; i < 4; i++) {
            EXPECT_EQ(pixels[8 + i], c.expectTopLeft[i]) << c.name << " top-left channel " << i;
            EXPECT_EQ(pixels[4 + i], c.expectBottomRight[i]) << c.name << " bottom-right channel " << i;
        }
        free(pixels);
    }
}

TEST(PngLoad, InterlacedFilesDecodeLikePlainOnes)
{
    std::vector<uint8_t> picture = positionPicture(37, 21);
    std::string plain = testWritePng("plain.png", 37, 21, PNG_COLOR_TYPE_RGBA, 8, picture);
    std::string adam7 = testWritePng("adam7.png", 37, 21, PNG_COLOR_TYPE_RGBA, 8, picture, {}, true);
    uint32_t w = 0, h = 0;
    unsigned char *a = nullptr, *b = nullptr;
    ASSERT_EQ(pngLoad(plain.c_str(), &w, &h, &a), PNGLOAD_OK);
    ASSERT_EQ(pngLoad(adam7.c_str(), &w, &h, &b), PNGLOAD_OK);
    EXPECT_TRUE(w == 37 && h == 21);
    EXPECT_EQ(memcmp(a, b, 37 * 21 * 4), 0);
    free(a);
    free(b);
}

TEST(PngLoad, RejectsMissingForeignAndDamagedFiles)
{
    std::vector<uint8_t> bytes =
        readBytes(testWritePng("good.png", 16, 16, PNG_COLOR_TYPE_RGBA, 8, positionPicture(16, 16)));
    std::vector<uint8_t> corrupted = bytes;
    for (size_t i = 40; i < corrupted.size() - 12; i += 7)
        corrupted[i] ^= 0x5a;

    const std::string paths[] = {
        testTempDir() + "/missing.png",
        testWriteFile("text.png", {'h', 'e', 'l', 'l', 'o', ' ', 'o', 'w', 'l', '\n'}),
        testWriteFile("truncated.png", {bytes.begin(), bytes.begin() + (long)bytes.size() / 2}),
        testWriteFile("corrupted.png", corrupted),
        testWriteFile("header.png", {bytes.begin(), bytes.begin() + 8}),
        testWriteFile("empty.png", {}),
    };
    for (const std::string& path : paths) {
        uint32_t w = 99, h = 99;
        unsigned char* pixels = (unsigned char*)1;
        EXPECT_EQ(pngLoad(path.c_str(), &w, &h, &pixels), PNGLOAD_FAILED) << path;
        EXPECT_EQ(pixels, nullptr) << path;
    }
}

TEST(PngLoad, RefusesPicturesTooLargeFromTheHeaderAlone)
{
    struct Case {
        std::string path;
        uint32_t maxSide;
        int result;
    };
    const Case cases[] = {
        {pngClaiming("huge.png", 1000000, 1000000), PNGLOAD_MAX_SIDE, PNGLOAD_TOO_LARGE},
        {pngClaiming("tall.png", 1, 1000000), PNGLOAD_MAX_SIDE, PNGLOAD_TOO_LARGE},
        {pngClaiming("wide.png", PNGLOAD_MAX_SIDE + 1, 1), PNGLOAD_MAX_SIDE, PNGLOAD_TOO_LARGE},
        {testWritePng("line.png", 1, (int)PNGLOAD_MAX_SIDE, PNG_COLOR_TYPE_RGBA, 8,
                      std::vector<uint8_t>(PNGLOAD_MAX_SIDE * 4, 9)),
         PNGLOAD_MAX_SIDE, PNGLOAD_OK},
        {testWritePng("sixteen.png", 16, 4, PNG_COLOR_TYPE_RGBA, 8, positionPicture(16, 4)), 15, PNGLOAD_TOO_LARGE},
        {testWritePng("sixteen.png", 16, 4, PNG_COLOR_TYPE_RGBA, 8, positionPicture(16, 4)), 16, PNGLOAD_OK},
    };
    for (const Case& c : cases) {
        uint32_t w = 0, h = 0;
        unsigned char* pixels = nullptr;
        EXPECT_EQ(pngLoad(c.path.c_str(), &w, &h, &pixels, c.maxSide), c.result) << c.path << " within " << c.maxSide;
        EXPECT_EQ(pixels == nullptr, c.result != PNGLOAD_OK) << c.path;
        free(pixels);
    }
}

TEST(NextPowerOfTwo, SmallestPowerNotBelow)
{
    const uint32_t cases[][2] = {{1, 1},     {2, 2},       {3, 4},       {5, 8},
                                 {300, 512}, {1024, 1024}, {1025, 2048}, {0x80000000u, 0x80000000u}};
    for (const auto& c : cases)
        EXPECT_EQ(nextPowerofTwo(c[0]), c[1]) << c[0];
}

//---- Textures (real GL under Xvfb)

TEST(LoadImage, KeepsThePaddedRecordAndUploadsOnlyWhatCanShow)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    // 300 x 100, its first 10 columns and 20 rows transparent but coloured (as the pack's pictures
    // carry their neighbours' colour there).
    std::vector<uint8_t> rows = positionPicture(300, 100);
    for (int y = 0; y < 100; y++)
        for (int x = 0; x < 300; x++)
            if (x < 10 || y < 20)
                rows[((size_t)y * 300 + x) * 4 + 3] = 0;
    std::string path = testWritePng("layout300x100.png", 300, 100, PNG_COLOR_TYPE_RGBA, 8, rows);
    Image* image = testKeep(NUX_LoadImage(path.c_str()));
    EXPECT_EQ(image->textureSize, 512u);
    EXPECT_EQ(image->pixelWidth, 300u);
    EXPECT_EQ(image->pixelHeight, 100u);
    EXPECT_EQ(image->sprite.width, 300.0f);
    EXPECT_EQ(image->sprite.height, 100.0f);
    EXPECT_EQ(image->sprite.alpha, 100.0f);

    // Held and drawn: the padded square's part around the visible 290 x 80 and one texel of margin
    // (whose colour the filter blends in), from column 9 and row 19. A normalised texture widens
    // it to sides of powers of two inside the square: 512 x 128 from column 0; a rectangle
    // texture holds it as it is, 292 x 82, addressed in texels.
    const bool rectangle = nuxDraw->textureRectangles();
    const NuxPicturePart* part = nuxPicturePart(image->part);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->left, rectangle ? 9.0f : 0.0f);
    EXPECT_EQ(part->top, 19.0f);
    EXPECT_EQ(part->right - part->left, rectangle ? 292.0f : 512.0f);
    EXPECT_EQ(part->bottom - part->top, rectangle ? 82.0f : 128.0f);
    EXPECT_EQ(part->s1 - part->s0, rectangle ? 292.0f : 1.0f);
    EXPECT_EQ(part->t0 - part->t1, rectangle ? 82.0f : 1.0f);
    int w = 0, h = 0;
    std::vector<uint8_t> texels = readTexture(image->texture, &w, &h);
    ASSERT_EQ(w, (int)(part->right - part->left));
    ASSERT_EQ(h, (int)(part->bottom - part->top));
    int misplaced = 0;
    for (int row = 0; row < h; row++)
        for (int col = 0; col < w; col++) {
            // GL row 0 is the window's lowest.
            const int x = (int)part->left + col, y = (int)part->bottom - 1 - row;
            const uint8_t* t = &texels[((size_t)row * w + col) * 4];
            uint8_t want[4] = {0, 0, 0, 0};
            if (x < 300 && y < 100)
                memcpy(want, &rows[((size_t)y * 300 + x) * 4], 4);
            misplaced += memcmp(t, want, 4) != 0;
        }
    EXPECT_EQ(misplaced, 0);
}

TEST(LoadImage, TextureSidesForExactAndOddSizes)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    std::string square = testWritePng("square256.png", 256, 256, PNG_COLOR_TYPE_RGBA, 8, positionPicture(256, 256));
    std::string wide = testWritePng("wide257.png", 257, 1, PNG_COLOR_TYPE_RGBA, 8, positionPicture(257, 1));
    std::string grey = testWritePng("grey3x5.png", 3, 5, PNG_COLOR_TYPE_GRAY, 8, std::vector<uint8_t>(15, 77));
    int w = 0, h = 0;
    // A picture filling its square has no padding to hold; a 257 x 1 one holds one padding texel
    // right of it and one below (258 x 2, held as 512 x 2 unless in a rectangle texture).
    Image* image = testKeep(NUX_LoadImage(square.c_str()));
    EXPECT_EQ(image->textureSize, 256u);
    readTexture(image->texture, &w, &h);
    EXPECT_EQ(w * 1000 + h, 256 * 1000 + 256);
    image = testKeep(NUX_LoadImage(wide.c_str()));
    EXPECT_EQ(image->textureSize, 512u);
    readTexture(image->texture, &w, &h);
    EXPECT_EQ(w * 1000 + h, (nuxDraw->textureRectangles() ? 258 : 512) * 1000 + 2);

    // A grey picture arrives with an opaque alpha channel. With its margin it holds 4 x 6, as 4 x 8
    // unless in a rectangle texture; GL row 5 is the picture's top row either way.
    image = testKeep(NUX_LoadImage(grey.c_str()));
    ASSERT_EQ(image->textureSize, 8u);
    std::vector<uint8_t> texels = readTexture(image->texture, &w, &h);
    ASSERT_EQ(w * 1000 + h, 4 * 1000 + (nuxDraw->textureRectangles() ? 6 : 8));
    const uint8_t* top = &texels[(5 * 4 + 0) * 4];
    EXPECT_EQ(top[0], 77);
    EXPECT_EQ(top[3], 255);
    EXPECT_EQ(texels[3], 0) << "the padding row below stays transparent";
}

TEST(LoadImage, CachesTexturesByExactPath)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    std::string path = testWritePng("Cached.png", 4, 4, PNG_COLOR_TYPE_RGBA, 8, positionPicture(4, 4));
    std::string lower = testWritePng("cached.png", 4, 4, PNG_COLOR_TYPE_RGBA, 8, positionPicture(4, 4));
    int entriesBefore = imageEntries ? imageEntries->count : 0;

    Image* first = testKeep(NUX_LoadImage(path.c_str()));
    Image* second = testKeep(NUX_LoadImage(path.c_str()));
    EXPECT_NE(first, second);
    EXPECT_EQ(first->texture, second->texture);
    first->sprite.alpha = 0.25f;
    EXPECT_EQ(second->sprite.alpha, 100.0f);
    EXPECT_EQ(second->pixelWidth, 4u);
    EXPECT_EQ(second->sprite.width, 4.0f);

    Image* otherCase = testKeep(NUX_LoadImage(lower.c_str()));
    EXPECT_NE(otherCase->texture, first->texture);
    EXPECT_EQ(imageEntries->count, entriesBefore + 2);
}

TEST(LoadImage, AMissingOrDamagedFileGivesACachedEmptyPicture)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    std::string damaged = testWriteFile("damaged.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0, 0, 13});
    // A real picture one pixel wide and a million tall would need a texture a million texels square.
    std::string needle =
        testWritePng("needle.png", 1, 1000000, PNG_COLOR_TYPE_RGBA, 8, std::vector<uint8_t>(4000000, 200));
    for (const std::string& path :
         {testTempDir() + "/nowhere.png", damaged, needle, pngClaiming("claims.png", 1000000, 1000000)}) {
        int entriesBefore = imageEntries ? imageEntries->count : 0;
        Image* image = testKeep(NUX_LoadImage(path.c_str()));
        EXPECT_EQ(image->pixelWidth + image->pixelHeight + image->textureSize, 0u) << path;
        Image* again = testKeep(NUX_LoadImage(path.c_str()));
        EXPECT_EQ(again->texture, image->texture) << path;
        EXPECT_EQ(imageEntries->count, entriesBefore + 1) << path;
        // Drawing it shows nothing and does not fail.
        testBeginFrame();
        while (glGetError() != GL_NO_ERROR) {}
        image->sprite.x = 10.0f;
        NUX_DrawImage(&image->sprite);
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    }
}
