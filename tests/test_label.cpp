// test_label: fonts and text labels: measured widths, label textures checked against FreeType's
// own glyph bitmaps, clipping, missing fonts, and labels drawn in the real window.

#include "nux.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <GL/gl.h>  // reading label textures back
#include <ft2build.h>
#include FT_FREETYPE_H  // the reference glyph bitmaps
#include <string>       // texts, mismatch reports
#include <vector>       // texel buffers

//---- Helpers

static const char* DEJAVU = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
static const char* SPARTAN = "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Bold.otf";

// Fonts and labels live until the program ends, as the game's do: the tests hold them in a
// plain array, still in place when the leak check runs at exit.
static void* keptItems[64];
static size_t keptCount = 0;

static Font* openFont(const char* path)
{
    Font* font = NUX_CreateFont(path);
    keptItems[keptCount++ % 64] = font;
    return font;
}

// A white label, as NUX_AddLabel makes them.
static Label* whiteLabel(Font* font, const char* text, int textureSize, int pixelSize)
{
    Label* label = NUX_CreateLabel(font, text, textureSize, pixelSize, 255, 255, 255, 255);
    keptItems[keptCount++ % 64] = label;
    return label;
}

// FreeType's own face, opened apart from the engine, for the reference bitmaps.
static FT_Face referenceFace(const char* path, int pixelSize)
{
    static FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (!library)
        FT_Init_FreeType(&library);
    FT_New_Face(library, path, 0, &face);
    FT_Set_Pixel_Sizes(face, 0, (FT_UInt)pixelSize);
    return face;
}

static int referenceKerning(FT_Face face, char a, char b)
{
    FT_Vector delta{0, 0};
    FT_Get_Kerning(face, FT_Get_Char_Index(face, (FT_ULong)a), FT_Get_Char_Index(face, (FT_ULong)b), FT_KERNING_DEFAULT,
                   &delta);
    return (int)(delta.x >> 6);
}

// Writes FreeType's bitmap of c into an expected T x T texture as a label must show it: the
// whole glyph box white with the coverage as alpha, baseline on row pixelSize, clipped to the
// square. Returns the glyph's advance in pixels.
static int stamp(std::vector<uint8_t>& texels, int T, FT_Face face, char c, int pixelSize, int pen)
{
    FT_Load_Char(face, (FT_ULong)c, FT_LOAD_DEFAULT);
    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
    const FT_GlyphSlot g = face->glyph;
    for (int r = 0; r < (int)g->bitmap.rows; r++)
        for (int col = pen + g->bitmap_left, c2 = 0; c2 < (int)g->bitmap.width; c2++, col++) {
            const int row = pixelSize - g->bitmap_top + r;
            if (row < 0 || row >= T || col < 0 || col >= T)
                continue;
            uint8_t* t = &texels[((size_t)row * T + col) * 4];
            t[0] = t[1] = t[2] = 255;
            t[3] = g->bitmap.buffer[r * g->bitmap.pitch + c2];
        }
    return (int)(g->advance.x >> 6);
}

// The label's texture as its whole square: the rows below those the texture holds (rowsHeld, when
// asked for) read as transparent.
static std::vector<uint8_t> readTexture(const Label* label, int* rowsHeld = nullptr)
{
    const size_t T = (size_t)label->textureSize;
    GLint width = 0, rows = 0;
    glBindTexture(GL_TEXTURE_2D, label->texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &rows);
    std::vector<uint8_t> texels((size_t)width * (size_t)rows * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    if (rowsHeld)
        *rowsHeld = rows;
    if ((size_t)width == T && (size_t)rows <= T)
        texels.resize(T * T * 4, 0);
    return texels;
}

// "" when the two textures agree, else where they first differ.
static std::string firstDifference(const std::vector<uint8_t>& got, const std::vector<uint8_t>& want, int T)
{
    for (size_t i = 0; i < got.size() && i < want.size(); i++)
        if (got[i] != want[i])
            return "row " + std::to_string(i / 4 / T) + " column " + std::to_string(i / 4 % T) + " channel " +
                   std::to_string(i % 4) + ": " + std::to_string(got[i]) + " instead of " + std::to_string(want[i]);
    return got.size() == want.size() ? "" : "sizes differ";
}

//---- Measuring (no window: the harness's headless mode)

TEST(LabelMeasure, WidthsFollowAdvancesAndKerning)
{
    Font* font = openFont(DEJAVU);
    ASSERT_NE(font->face, nullptr);
    FT_Face ref = referenceFace(DEJAVU, 32);
    std::vector<uint8_t> none;  // a 0 x 0 texture: only the advances are wanted
    const int a = stamp(none, 0, ref, 'A', 32, 0), v = stamp(none, 0, ref, 'V', 32, 0);
    EXPECT_EQ(NUX_GetTextWidth(font, "", 32), 5);
    EXPECT_EQ(NUX_GetTextWidth(font, nullptr, 32), 5);
    EXPECT_EQ(NUX_GetTextWidth(font, "A", 32), a + 5);
    EXPECT_EQ(NUX_GetTextWidth(font, "AV", 32), a + v + referenceKerning(ref, 'A', 'V') + 5);
    EXPECT_LT(NUX_GetTextWidth(font, "AV", 32), a + v + 5) << "A and V are kerned in this font";
    // Bytes above 127 take the missing glyph, like a control character the font lacks.
    EXPECT_EQ(NUX_GetTextWidth(font, "\xC9", 32), NUX_GetTextWidth(font, "\x7F", 32));
    for (int size : {0, -3, 1 << 20})
        EXPECT_EQ(NUX_GetTextWidth(font, "A", size), 5) << "pixel size " << size;

    // Labels are measured without a window too, and keep every field.
    Label* label = NUX_CreateLabel(openFont(SPARTAN), "0 POINTS", 256, 28, 255, 128, 0, 255);
    keptItems[keptCount++ % 64] = label;
    EXPECT_EQ(label->hasTexture, 1);
    EXPECT_EQ(label->texture, 0u);
    EXPECT_GT(label->textWidth, 28 * 3);
    EXPECT_LT(label->textWidth, NUX_GetTextWidth(label->font, "0 POINTS", 28));
    EXPECT_NEAR(label->textHeight, 28, 1) << "no descenders: only round letters overshoot the baseline";
    EXPECT_FLOAT_EQ(label->color[1], 128.0f / 255.0f);
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

TEST(LabelTexture, MatchesFreeTypeGlyphsAndIsRewrittenInPlaceOnEveryChange)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    Font* font = openFont(DEJAVU);
    FT_Face ref = referenceFace(DEJAVU, 32);
    const int T = 64;

    Label* label = whiteLabel(font, "H", T, 32);
    std::vector<uint8_t> expected((size_t)T * T * 4, 0);
    stamp(expected, T, ref, 'H', 32, 0);
    const int inkRight = ref->glyph->bitmap_left + (int)ref->glyph->bitmap.width;
    const std::vector<uint8_t> h = readTexture(label);
    EXPECT_EQ(firstDifference(h, expected, T), "");
    // H stands on the baseline: ink on the row above row pixelSize, none from it down.
    auto inkOnRow = [&](int row) {
        for (int col = 0; col < T; col++)
            if (h[((size_t)row * T + col) * 4 + 3])
                return true;
        return false;
    };
    EXPECT_TRUE(inkOnRow(31));
    EXPECT_FALSE(inkOnRow(32));
    EXPECT_EQ(label->textWidth, inkRight);
    EXPECT_EQ(label->textHeight, 32);

    // The same text again: the same texture, written over in place, the same texels.
    const GLuint first = label->texture;
    NUX_SetLabelText(label, "H");
    EXPECT_EQ(label->texture, first);
    EXPECT_EQ(firstDifference(readTexture(label), h, T), "");

    // A and V overlap once kerned; V's box, blank texels included, replaces A's ink.
    NUX_SetLabelText(label, "AV");
    std::vector<uint8_t> av((size_t)T * T * 4, 0);
    const int advanceA = stamp(av, T, ref, 'A', 32, 0);
    stamp(av, T, ref, 'V', 32, advanceA + referenceKerning(ref, 'A', 'V'));
    EXPECT_EQ(firstDifference(readTexture(label), av, T), "");

    // Back to a shorter, then a taller text: nothing of the wider or lower one stays behind.
    NUX_SetLabelText(label, "H");
    EXPECT_EQ(firstDifference(readTexture(label), h, T), "");
    NUX_SetLabelText(label, "gH");
    NUX_SetLabelText(label, "");
    EXPECT_EQ(firstDifference(readTexture(label), std::vector<uint8_t>((size_t)T * T * 4, 0), T), "");
    EXPECT_EQ(label->texture, first);
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
        stamp(expected, 32, referenceFace(DEJAVU, 24), 'J', 24, 0);
        EXPECT_EQ(firstDifference(readTexture(j), expected, 32), "");
        EXPECT_EQ(firstDifference(readTexture(longText), expected, 32), "") << "nothing but the J lands inside";
    }
    // Texture sizes that make no sense give a label with no texels, drawn as nothing.
    for (int T : {0, -64, 1 << 20}) {
        Label* bad = whiteLabel(font, "SCORE", T, 32);
        EXPECT_EQ(bad->hasTexture, 1);
        NUX_DrawLabel(&bad->sprite);
    }
}

TEST(LabelTexture, ALineHoldsOnlyTheRowsItCanReach)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    // As the game's labels: a line at 32 pixels in a 512 texture, 22 in 1024, 16 in 512. Nothing
    // of a line reaches past twice its size, so the textures hold 128, 64 and 64 rows, and what
    // they hold is the square's top.
    Font* font = openFont(DEJAVU);
    const struct {
        int T, pixelSize, rows;
    } cases[] = {{512, 32, 128}, {1024, 22, 64}, {512, 16, 64}, {64, 32, 64}};
    for (const auto& c : cases) {
        Label* label = whiteLabel(font, "SWOOP", c.T, c.pixelSize);
        NUX_SetLabelText(label, "gjpq|WM");  // the deepest descenders and the widest letters
        std::vector<uint8_t> expected((size_t)c.T * c.T * 4, 0);
        FT_Face ref = referenceFace(DEJAVU, c.pixelSize);
        int pen = 0;
        char previous = 0;
        for (const char* p = "gjpq|WM"; *p; previous = *p++) {
            pen += previous ? referenceKerning(ref, previous, *p) : 0;
            pen += stamp(expected, c.T, ref, *p, c.pixelSize, pen);
        }
        int rows = 0;
        EXPECT_EQ(firstDifference(readTexture(label, &rows), expected, c.T), "") << c.T << " / " << c.pixelSize;
        EXPECT_EQ(rows, c.rows) << c.T << " / " << c.pixelSize;
        EXPECT_LT(label->textHeight, c.rows) << "the line's foot is inside the rows held";
    }
}

TEST(LabelTexture, MissingFontRendersNothingAnywhere)
{
    const bool gl = testOpenWindow();
    const std::string junk = testWriteFile("junk.ttf", {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'n', 't'});
    for (Font* font :
         {openFont("/nonexistent/futurabd.ttf"), openFont(junk.c_str()), openFont(nullptr), (Font*)nullptr}) {
        EXPECT_TRUE(!font || !font->face);
        EXPECT_EQ(NUX_GetTextWidth(font, "0 POINTS", 28), 5);
        Label* label = whiteLabel(font, "0 POINTS", 64, 28);
        NUX_SetLabelText(label, "950 POINTS");
        NUX_DrawLabel(&label->sprite);
        EXPECT_EQ(label->hasTexture, 1);
        EXPECT_EQ(label->textWidth, 0);
        if (gl) {
            EXPECT_EQ(firstDifference(readTexture(label), std::vector<uint8_t>(64 * 64 * 4, 0), 64), "");
        }
    }
    NUX_SetLabelText(nullptr, "x");
    NUX_DrawLabel(nullptr);
}

//---- Drawing

TEST(LabelDraw, TintedHalfTransparentTextOnScreen)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    Label* label = whiteLabel(openFont(DEJAVU), "H", 128, 64);
    // A texel inside the left stem of the H, halfway up.
    FT_Face ref = referenceFace(DEJAVU, 64);
    FT_Load_Char(ref, 'H', FT_LOAD_DEFAULT | FT_LOAD_RENDER);
    const int col = ref->glyph->bitmap_left + 3, row = 64 - ref->glyph->bitmap_top / 2;
    ASSERT_EQ(readTexture(label)[((size_t)row * 128 + col) * 4 + 3], 255);

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
    const Rgba below = testPixel(frame, 100 + col, 200 + 64 + 4);  // under the baseline: black
    EXPECT_EQ(below.g + below.b, 0);
}
