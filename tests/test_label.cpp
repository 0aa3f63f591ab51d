// test_label: fonts and text labels: measured widths, label textures checked against FreeType's
// own glyph bitmaps, clipping, missing fonts, and labels drawn in the real window.

#include "nux.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <GL/gl.h>      // reading label textures back
#include <ft2build.h>
#include FT_FREETYPE_H  // the reference glyph bitmaps
#include <string>       // texts
#include <vector>       // texel buffers

//---- Helpers

static const char* DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
static const char* SPARTAN = "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Bold.otf";

// Fonts and labels live until the program ends, as the game's do: the tests hold them here
// (a plain array, still in place when the leak check runs at exit).
static void* keptItems[64];
static size_t keptCount = 0;

static void keep(void* item)
{
    if (keptCount < sizeof keptItems / sizeof keptItems[0])
        keptItems[keptCount++] = item;
}

static Font* openFont(const char* path)
{
    Font* f = NUX_CreateFont(path);
    keep(f);
    return f;
}

// A white label, as NUX_AddLabel makes them.
static Label* whiteLabel(Font* f, const char* text, int textureSize, int pixelSize)
{
    Label* l = NUX_CreateLabel(f, text, textureSize, pixelSize, 255, 255, 255, 255);
    keep(l);
    return l;
}

// FreeType's own rendering of one character, opened apart from the engine's library.
struct Glyph {
    int left, top, advance;
    unsigned rows, width;
    std::vector<uint8_t> coverage;
};

static Glyph referenceGlyph(const char* fontPath, char c, int pixelSize)
{
    static FT_Library library = nullptr;
    if (!library)
        FT_Init_FreeType(&library);
    FT_Face face = nullptr;
    Glyph g{};
    if (FT_New_Face(library, fontPath, 0, &face) != 0)
        return g;
    FT_Set_Pixel_Sizes(face, 0, (FT_UInt)pixelSize);
    FT_Load_Char(face, (FT_ULong)c, FT_LOAD_DEFAULT);
    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
    const FT_Bitmap& b = face->glyph->bitmap;
    g = Glyph{face->glyph->bitmap_left, face->glyph->bitmap_top, (int)(face->glyph->advance.x >> 6), b.rows, b.width, {}};
    for (unsigned r = 0; r < b.rows; r++)
        g.coverage.insert(g.coverage.end(), b.buffer + r * b.pitch, b.buffer + r * b.pitch + b.width);
    FT_Done_Face(face);
    return g;
}

// FreeType's kerning between two characters, in whole pixels.
static int referenceKerning(const char* fontPath, char a, char b, int pixelSize)
{
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    FT_Vector delta{0, 0};
    if (FT_Init_FreeType(&library) == 0 && FT_New_Face(library, fontPath, 0, &face) == 0) {
        FT_Set_Pixel_Sizes(face, 0, (FT_UInt)pixelSize);
        FT_Get_Kerning(face, FT_Get_Char_Index(face, (FT_ULong)a), FT_Get_Char_Index(face, (FT_ULong)b),
                       FT_KERNING_DEFAULT, &delta);
    }
    FT_Done_FreeType(library);
    return (int)(delta.x >> 6);
}

// The expected texture: a glyph's whole box written white with its coverage over what was
// there, its baseline on row pixelSize; texels outside the T x T square are left out.
static void stamp(std::vector<uint8_t>& texels, int T, const Glyph& g, int pixelSize, int pen)
{
    for (int r = 0; r < (int)g.rows; r++)
        for (int c = 0; c < (int)g.width; c++) {
            const int row = pixelSize - g.top + r, col = pen + g.left + c;
            if (row < 0 || row >= T || col < 0 || col >= T)
                continue;
            uint8_t* t = &texels[((size_t)row * T + (size_t)col) * 4];
            t[0] = t[1] = t[2] = 255;
            t[3] = g.coverage[(size_t)r * g.width + (size_t)c];
        }
}

static std::vector<uint8_t> readTexture(const Label* label)
{
    std::vector<uint8_t> texels((size_t)label->textureSize * label->textureSize * 4);
    glBindTexture(GL_TEXTURE_2D, label->texture);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

//---- Measuring

TEST(LabelMeasure, WidthsFollowAdvancesAndKerning)
{
    Font* font = openFont(DEJAVU);
    ASSERT_NE(font->face, nullptr);
    EXPECT_EQ(NUX_GetTextWidth(font, "", 32), 5);
    EXPECT_EQ(NUX_GetTextWidth(font, nullptr, 32), 5);
    const Glyph a = referenceGlyph(DEJAVU, 'A', 32), v = referenceGlyph(DEJAVU, 'V', 32);
    EXPECT_EQ(NUX_GetTextWidth(font, "A", 32), a.advance + 5);
    EXPECT_EQ(NUX_GetTextWidth(font, "AV", 32), a.advance + v.advance + referenceKerning(DEJAVU, 'A', 'V', 32) + 5);
    EXPECT_LT(NUX_GetTextWidth(font, "AV", 32), a.advance + v.advance + 5) << "A and V are kerned in this font";
    // Bytes above 127 are the missing glyph, not a negative character code gone astray.
    EXPECT_EQ(NUX_GetTextWidth(font, "\xC9", 32), NUX_GetTextWidth(font, "\x7F", 32));
    EXPECT_EQ(NUX_GetTextWidth(font, "A", 0), 5);
    EXPECT_EQ(NUX_GetTextWidth(font, "A", -3), 5);
}

TEST(LabelMeasure, HeadlessLabelsAreMeasuredWithoutATexture)
{
    // No window in this test: the harness's fast mode renders nothing but keeps every field.
    Label* label = NUX_CreateLabel(openFont(SPARTAN), "0 POINTS", 256, 28, 255, 128, 0, 255);
    keep(label);
    EXPECT_EQ(label->hasTexture, 1);
    EXPECT_EQ(label->texture, 0u);
    EXPECT_GT(label->textWidth, 28 * 3);
    EXPECT_LT(label->textWidth, NUX_GetTextWidth(label->font, "0 POINTS", 28));
    EXPECT_NEAR(label->textHeight, 28, 1) << "no descenders: only round letters overshoot the baseline";
    EXPECT_FLOAT_EQ(label->color[1], 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(label->sprite.alpha, 100.0f);
}

TEST(LabelMeasure, OptimalSizeIsTheLargestBelowTheLimit)
{
    Font* font = openFont(SPARTAN);
    const int size = NUX_GetOptimalTextSize(font, "SWOOP PIGEONS", 300);
    EXPECT_LT(NUX_GetTextWidth(font, "SWOOP PIGEONS", size), 300);
    EXPECT_GE(NUX_GetTextWidth(font, "SWOOP PIGEONS", size + 1), 300);
    EXPECT_EQ(NUX_GetOptimalTextSize(font, "SCORE", 5), 0) << "size 1 already measures 5 or more";
    // A text that never reaches the limit stops at the largest size tried.
    EXPECT_EQ(NUX_GetOptimalTextSize(font, "", 100), 512);
    EXPECT_EQ(NUX_GetOptimalTextSize(nullptr, "SCORE", 100), 512);
}

//---- Textures

TEST(LabelTexture, MatchesFreeTypeGlyphsWithLaterGlyphsWinning)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    Font* font = openFont(DEJAVU);
    const int T = 64, size = 32;

    Label* h = whiteLabel(font, "H", T, size);
    const Glyph gh = referenceGlyph(DEJAVU, 'H', size);
    std::vector<uint8_t> expected((size_t)T * T * 4, 0);
    stamp(expected, T, gh, size, 0);
    const std::vector<uint8_t> got = readTexture(h);
    for (int row = 0; row < T; row++)
        for (int col = 0; col < T; col++)
            for (int k = 0; k < 4; k++)
                ASSERT_EQ(got[((size_t)row * T + col) * 4 + k], expected[((size_t)row * T + col) * 4 + k])
                    << "texel row " << row << " column " << col << " channel " << k;
    // H stands on the baseline: its last inked row is just above row pixelSize.
    int lastInked = -1;
    for (int row = 0; row < T; row++)
        for (int col = 0; col < T; col++)
            if (got[((size_t)row * T + col) * 4 + 3])
                lastInked = row;
    EXPECT_EQ(lastInked, size - 1);
    EXPECT_EQ(h->textWidth, gh.left + (int)gh.width);
    EXPECT_EQ(h->textHeight, size);

    // A and V overlap once kerned; V's box, blank texels included, replaces A's ink.
    Label* av = whiteLabel(font, "AV", T, size);
    const Glyph ga = referenceGlyph(DEJAVU, 'A', size), gv = referenceGlyph(DEJAVU, 'V', size);
    std::vector<uint8_t> expectedAV((size_t)T * T * 4, 0);
    stamp(expectedAV, T, ga, size, 0);
    stamp(expectedAV, T, gv, size, ga.advance + referenceKerning(DEJAVU, 'A', 'V', size));
    EXPECT_TRUE(readTexture(av) == expectedAV);
}

TEST(LabelTexture, GlyphsOutsideTheTextureAreClipped)
{
    const bool gl = testOpenWindow();
    Font* font = openFont(DEJAVU);
    // Each label below is the largest yet, so the shared render buffer is sized to it exactly
    // and the sanitizer sees any write past either end. At 1 pixel '@' spans rows -2 to 2.
    whiteLabel(font, "@", 1, 1);
    // J hangs left of column 0; the Ws lie beyond the right edge and must not wrap into the rows.
    Label* j = whiteLabel(font, "J", 32, 24);
    Label* longText = whiteLabel(font, "J    WWWWWWWWWWWW", 32, 24);
    // At 300 pixels every glyph reaches past the bottom and the right edge.
    Label* huge = whiteLabel(font, "Wjg", 32, 300);
    EXPECT_EQ(huge->textWidth, 32);
    EXPECT_EQ(huge->textHeight, 32);
    if (gl) {
        std::vector<uint8_t> expected((size_t)32 * 32 * 4, 0);
        stamp(expected, 32, referenceGlyph(DEJAVU, 'J', 24), 24, 0);
        EXPECT_TRUE(readTexture(j) == expected);
        EXPECT_TRUE(readTexture(longText) == expected) << "nothing but the J lands inside";
    }
    // Texture sizes that make no sense give a label with no texels, drawn as nothing.
    for (int T : {0, -64, 1 << 20}) {
        Label* bad = whiteLabel(font, "SCORE", T, 32);
        EXPECT_EQ(bad->hasTexture, 1);
        NUX_DrawLabel(&bad->sprite);
    }
}

TEST(LabelTexture, MissingFontRendersNothingAnywhere)
{
    const bool gl = testOpenWindow();
    const std::string junk = testWriteFile("junk.ttf", {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'n', 't'});
    for (Font* font : {openFont("/nonexistent/futurabd.ttf"), openFont(junk.c_str()),
                       openFont(nullptr), (Font*)nullptr}) {
        if (font) {
            EXPECT_EQ(font->face, nullptr);
        }
        EXPECT_EQ(NUX_GetTextWidth(font, "0 POINTS", 28), 5);
        Label* label = whiteLabel(font, "0 POINTS", 64, 28);
        NUX_SetLabelText(label, "950 POINTS");
        NUX_DrawLabel(&label->sprite);
        EXPECT_EQ(label->hasTexture, 1);
        EXPECT_EQ(label->textWidth, 0);
        if (gl) {
            EXPECT_TRUE(readTexture(label) == std::vector<uint8_t>(64 * 64 * 4, 0));
        }
    }
    NUX_SetLabelText(nullptr, "x");
    NUX_DrawLabel(nullptr);
}

TEST(LabelTexture, SettingTheSameTextAgainMakesANewTextureThatLooksTheSame)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    Label* label = whiteLabel(openFont(SPARTAN), "12345 POINTS", 256, 28);
    const GLuint first = label->texture;
    const std::vector<uint8_t> before = readTexture(label);
    NUX_SetLabelText(label, "12345 POINTS");
    ASSERT_TRUE(glIsTexture(label->texture));
    if (label->texture != first) {
        EXPECT_FALSE(glIsTexture(first)) << "the old texture is deleted";
    }
    EXPECT_TRUE(readTexture(label) == before);
}

//---- Drawing

TEST(LabelDraw, TintedHalfTransparentTextOnScreen)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    const int size = 64;
    Label* label = whiteLabel(openFont(DEJAVU), "H", 128, size);
    const std::vector<uint8_t> texels = readTexture(label);
    // A texel in the middle of the H's left stem, fully covered, as are its neighbours.
    const Glyph g = referenceGlyph(DEJAVU, 'H', size);
    int col = g.left + 1, row = size - g.top / 2;
    while (texels[((size_t)row * 128 + col) * 4 + 3] != 255 || texels[((size_t)row * 128 + col + 1) * 4 + 3] != 255)
        col++;
    col++;

    label->sprite.x = 100;
    label->sprite.y = 200;
    label->sprite.red = 0.0f;
    label->sprite.alpha = 0.5f;
    testBeginFrame();
    NUX_DrawLabel(&label->sprite);
    const std::vector<uint8_t> frame = testReadFrame();
    const Rgba ink = testPixel(frame, 100 + col, 200 + row);
    EXPECT_EQ(ink.r, 0);
    EXPECT_NEAR(ink.g, 128, 2);
    EXPECT_NEAR(ink.b, 128, 2);
    const Rgba below = testPixel(frame, 100 + col, 200 + size + 4);  // under the baseline
    EXPECT_EQ(below.g, 0);
    EXPECT_EQ(below.b, 0);
}
