// nux_graphics_label: fonts and text labels. A label's whole text is rendered with FreeType into
// its own square texture when the text is set, written over the old text in place; each frame
// the part of the texture the text covers is drawn as one textured quad.

#include "nux_datafile.h"  // the font read only when it is a regular file
#include "nux_graphics.h"
#include "nux_local.h"

#include <GL/gl.h>  // texture upload and the label quad
#include <ft2build.h>
#include FT_FREETYPE_H  // faces, pixel sizes, kerning, glyph rendering
#include <cstddef>      // size_t
#include <cstdint>      // int64_t
#include <cstdlib>      // calloc
#include <cstring>      // memset
#include <sys/stat.h>   // fstat: the font file's size
#include <unistd.h>     // pread, close: the font file read through its descriptor
#include <vector>       // the shared render buffer

//---- Constants

// Extra pixels added to every measured text width (an empty text measures this much).
static const int TEXT_WIDTH_MARGIN = 5;

// NUX_GetOptimalTextSize tries pixel sizes 1, 2, 3 ... up to this one. A text that is still
// narrower than the limit at this size (an empty text, a text of spaces) gets this size.
static const int MAX_OPTIMAL_TEXT_SIZE = 512;

// The largest label texture side accepted. The game asks for 256 and 512; anything above this
// (or 0 and below) gives a label with no texels, which draws as nothing.
static const int MAX_LABEL_TEXTURE_SIZE = 4096;

// The largest glyph size rendered or measured, as large as the largest texture. Sizes above it
// (which FreeType would either quietly reduce or render as glyphs of hundreds of megabytes),
// like sizes of 0 and below, render nothing and measure as an empty text.
static const int MAX_PIXEL_SIZE = MAX_LABEL_TEXTURE_SIZE;

// Glyphs of sizes up to this one are rendered once per font and size and kept (see GlyphSet);
// larger ones, which no scene uses, are rendered from the font each time.
static const int MAX_KEPT_PIXEL_SIZE = 160;

// The byte values a text can hold, as far as rendering goes: 0..127, and one slot (128) for
// every byte above, which all show the font's missing glyph.
static const int GLYPH_SLOTS = 129;

// Glyph sets kept at most (fonts times sizes); the scenes use a handful.
static const int MAX_GLYPH_SETS = 32;

//---- Types

// One glyph as FreeType rendered it: its box, its pen advance, and its coverage in the set's
// shared bytes (rows x width, top row first). drawn is 0 when the font could not render it.
struct KeptGlyph {
    FT_UInt index;
    int drawn;
    int left, top;  // bitmap_left, bitmap_top
    unsigned int width, rows;
    int64_t advance;  // whole pixels
    size_t offset;    // first coverage byte in the set
};

// Every glyph a text can show, at one pixel size of one face, with the kerning between each
// pair. Made the first time a label of that size is set (while the scenes load), so that setting
// a label's text during play renders from memory: FreeType allocates when it changes size and
// when it renders a glyph, and play must allocate nothing.
struct GlyphSet {
    FT_Face face;
    int pixelSize;
    KeptGlyph glyphs[GLYPH_SLOTS];
    std::vector<int16_t> kerning;  // GLYPH_SLOTS x GLYPH_SLOTS, previous slot first
    std::vector<unsigned char> coverage;
};

//---- State

// One render buffer shared by every label, grown to the largest texture asked for. Labels are
// created while the scenes load, so a score change during play reuses it and allocates nothing.
static std::vector<unsigned char> renderBuffer;

// The glyph sets made so far, one per face and size the labels use, kept for the whole run
// like the fonts themselves.
static GlyphSet* glyphSets[MAX_GLYPH_SETS];
static int glyphSetCount = 0;

//---- Helpers

// The face of a font, or null when there is nothing to render with (no font, a file that could
// not be opened).
static FT_Face fontFace(const Font* font)
{
    return font ? (FT_Face)font->face : nullptr;
}

// The label's texture side as rendered and drawn: 0 for a size out of range.
static int textureSide(const Label* label)
{
    int T = label->textureSize;
    return (T > 0 && T <= MAX_LABEL_TEXTURE_SIZE) ? T : 0;
}

// The rows of the label's texture: a line of text at the label's pixel size never reaches below
// twice that size (the baseline is on row pixelSize), so the texture holds that many rows, as a
// power of two within its side, rather than a whole square. 0 when there is no texture.
static int textureRows(const Label* label)
{
    const int T = textureSide(label);
    if (T == 0 || label->pixelSize <= 0 || label->pixelSize > MAX_PIXEL_SIZE)
        return T;
    const int rows = (int)nextPowerofTwo((uint32_t)(2 * label->pixelSize + 1));
    return rows < T ? rows : T;
}

// Selects the pixel height on the face (the width follows it). False when the size cannot be
// used, in which case nothing is rendered or measured at it.
static bool setPixelSize(FT_Face face, int pixelSize)
{
    return pixelSize > 0 && pixelSize <= MAX_PIXEL_SIZE && FT_Set_Pixel_Sizes(face, 0, (FT_UInt)pixelSize) == 0;
}

// The glyph for one byte of text. Bytes of 128 and above are no character the game writes;
// they get the font's missing glyph (index 0).
static FT_UInt glyphForByte(FT_Face face, unsigned char byte)
{
    return byte < 128 ? FT_Get_Char_Index(face, byte) : 0;
}

// Whole pixels the pen moves between two glyphs. No kerning before the first glyph, nor next to
// a character the font lacks.
static int64_t kerningBetween(FT_Face face, FT_UInt previous, FT_UInt glyph)
{
    if (previous == 0 || glyph == 0)
        return 0;
    FT_Vector delta = {0, 0};
    if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &delta) != 0)
        return 0;
    return (int64_t)(delta.x >> 6);
}

// Coverage (0..255) of texel (col, row) of a rendered glyph bitmap.
static unsigned char coverageAt(const FT_Bitmap& bitmap, unsigned int row, unsigned int col)
{
    const int pitch = bitmap.pitch;
    const unsigned char* line = pitch >= 0 ? bitmap.buffer + (size_t)row * (size_t)pitch
                                           : bitmap.buffer + (size_t)(bitmap.rows - 1 - row) * (size_t)(-pitch);
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        return (line[col >> 3] & (0x80 >> (col & 7))) ? 255 : 0;
    return line[col];
}

// The part of a glyph box of rows x width with its top-left texel at (top, left) that lies inside a
// T x R texture: its rows [firstRow, endRow) and columns [firstCol, endCol), empty when outside.
struct GlyphClip {
    int64_t firstRow, endRow, firstCol, endCol;
};

static GlyphClip clipGlyph(int64_t top, int64_t left, int64_t rows, int64_t width, int T, int R)
{
    return {top < 0 ? -top : 0, top + rows > R ? R - top : rows, left < 0 ? -left : 0,
            left + width > T ? T - left : width};
}

// Writes one glyph's box into the T x R buffer with its top-left texel at (top, left): every
// texel of the box becomes white with the glyph's coverage as alpha, replacing what an earlier
// glyph left there. Texels outside the texture are dropped.
static void copyGlyph(unsigned char* texels, int T, int R, const FT_Bitmap& bitmap, int64_t top, int64_t left)
{
    if (!bitmap.buffer || (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO))
        return;
    const GlyphClip clip = clipGlyph(top, left, bitmap.rows, bitmap.width, T, R);
    for (int64_t r = clip.firstRow; r < clip.endRow; r++) {
        unsigned char* out = texels + ((size_t)(top + r) * (size_t)T + (size_t)(left + clip.firstCol)) * 4;
        for (int64_t c = clip.firstCol; c < clip.endCol; c++, out += 4) {
            out[0] = out[1] = out[2] = 255;
            out[3] = coverageAt(bitmap, (unsigned int)r, (unsigned int)c);
        }
    }
}

// The set of the face at the size (already selected on the face), made now if it is new; null
// for sizes that are not kept.
static const GlyphSet* glyphSetFor(FT_Face face, int pixelSize)
{
    if (pixelSize > MAX_KEPT_PIXEL_SIZE || glyphSetCount == MAX_GLYPH_SETS)
        return nullptr;
    GlyphSet* set = new GlyphSet();
    set->face = face;
    set->pixelSize = pixelSize;
    for (int slot = 0; slot < GLYPH_SLOTS; slot++) {
        KeptGlyph& kept = set->glyphs[slot];
        kept = {};
        kept.index = glyphForByte(face, (unsigned char)slot);
        if (FT_Load_Glyph(face, kept.index, FT_LOAD_DEFAULT) != 0 ||
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
            continue;
        const FT_GlyphSlot glyph = face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        kept.drawn = 1;
        kept.left = glyph->bitmap_left;
        kept.top = glyph->bitmap_top;
        kept.advance = (int64_t)(glyph->advance.x >> 6);
        kept.offset = set->coverage.size();
        // Only the formats copyGlyph draws keep their boxes' coverage; others draw nothing.
        if (bitmap.buffer && (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY || bitmap.pixel_mode == FT_PIXEL_MODE_MONO)) {
            kept.width = bitmap.width;
            kept.rows = bitmap.rows;
            for (unsigned int r = 0; r < bitmap.rows; r++)
                for (unsigned int c = 0; c < bitmap.width; c++)
                    set->coverage.push_back(coverageAt(bitmap, r, c));
        } else {
            kept.drawn = 2;  // takes room and advances, but shows nothing
            kept.width = bitmap.width;
            kept.rows = bitmap.rows;
        }
    }
    set->kerning.assign((size_t)GLYPH_SLOTS * GLYPH_SLOTS, 0);
    for (int previous = 0; previous < GLYPH_SLOTS; previous++)
        for (int slot = 0; slot < GLYPH_SLOTS; slot++)
            set->kerning[(size_t)previous * GLYPH_SLOTS + slot] =
                (int16_t)kerningBetween(face, set->glyphs[previous].index, set->glyphs[slot].index);
    glyphSets[glyphSetCount++] = set;
    return set;
}

// renderText from a glyph set: the same boxes, coverage, pen and extent, from memory.
static void renderKeptText(const GlyphSet& set, const char* text, unsigned char* texels, int T, int R,
                           int32_t* extentWidth, int32_t* extentHeight)
{
    int64_t right = 0, bottom = 0;
    int64_t pen = 0;
    int previous = -1;
    for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
        const int slot = *p < 128 ? *p : 128;
        if (previous >= 0)
            pen += set.kerning[(size_t)previous * GLYPH_SLOTS + slot];
        previous = slot;
        const KeptGlyph& kept = set.glyphs[slot];
        if (!kept.drawn)
            continue;
        const int64_t top = (int64_t)set.pixelSize - kept.top;
        const int64_t left = pen + kept.left;
        if (texels && kept.drawn == 1) {
            const GlyphClip clip = clipGlyph(top, left, kept.rows, kept.width, T, R);
            for (int64_t r = clip.firstRow; r < clip.endRow; r++) {
                unsigned char* out = texels + ((size_t)(top + r) * (size_t)T + (size_t)(left + clip.firstCol)) * 4;
                const unsigned char* in = set.coverage.data() + kept.offset + (size_t)r * kept.width;
                for (int64_t c = clip.firstCol; c < clip.endCol; c++, out += 4) {
                    out[0] = out[1] = out[2] = 255;
                    out[3] = in[c];
                }
            }
        }
        if (kept.rows > 0 && kept.width > 0) {
            if (left + (int64_t)kept.width > right)
                right = left + (int64_t)kept.width;
            if (top + (int64_t)kept.rows > bottom)
                bottom = top + (int64_t)kept.rows;
        }
        pen += kept.advance;
    }
    *extentWidth = (int32_t)(right < 0 ? 0 : (right > T ? T : right));
    *extentHeight = (int32_t)(bottom < 0 ? 0 : (bottom > R ? R : bottom));
}

// Renders the text into texels (T x R RGBA, all zero on entry; null when the label has no
// texels) with the baseline on row pixelSize and the pen starting at column 0. Returns the
// extent the glyph boxes cover inside the texture in *extentWidth and *extentHeight.
static void renderText(FT_Face face, const char* text, int pixelSize, unsigned char* texels, int T, int R,
                       int32_t* extentWidth, int32_t* extentHeight)
{
    int64_t right = 0, bottom = 0;
    int64_t pen = 0;
    FT_UInt previous = 0;
    for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
        const FT_UInt glyph = glyphForByte(face, *p);
        pen += kerningBetween(face, previous, glyph);
        previous = glyph;
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) != 0 ||
            FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0)
            continue;  // a glyph the font cannot draw takes no room
        const FT_GlyphSlot slot = face->glyph;
        const int64_t top = (int64_t)pixelSize - slot->bitmap_top;
        const int64_t left = pen + slot->bitmap_left;
        if (texels)
            copyGlyph(texels, T, R, slot->bitmap, top, left);
        if (slot->bitmap.rows > 0 && slot->bitmap.width > 0) {
            if (left + (int64_t)slot->bitmap.width > right)
                right = left + (int64_t)slot->bitmap.width;
            if (top + (int64_t)slot->bitmap.rows > bottom)
                bottom = top + (int64_t)slot->bitmap.rows;
        }
        pen += (int64_t)(slot->advance.x >> 6);
    }
    *extentWidth = (int32_t)(right < 0 ? 0 : (right > T ? T : right));
    *extentHeight = (int32_t)(bottom < 0 ? 0 : (bottom > R ? R : bottom));
}

//---- Fonts

// FreeType reads the font through the descriptor that was checked to be a regular file, rather
// than opening the path again. A read of 0 bytes is a seek: 0 when the place is inside the file.
static unsigned long readFontFile(FT_Stream stream, unsigned long offset, unsigned char* buffer, unsigned long count)
{
    if (count == 0)
        return offset <= stream->size ? 0 : 1;
    ssize_t got = pread((int)stream->descriptor.value, buffer, count, (off_t)offset);
    return got > 0 ? (unsigned long)got : 0;
}

// Called by FreeType when the face is done with, or when opening it failed.
static void closeFontFile(FT_Stream stream)
{
    close((int)stream->descriptor.value);
    free(stream);
}

// The face of the font file at path, or null when it is missing, not a regular file or not a font.
static FT_Face openFace(const char* path)
{
    int fd = nuxOpenDataFile(path);
    if (fd < 0)
        return nullptr;
    struct stat info = {};
    FT_Stream stream = (FT_Stream)calloc(1, sizeof(FT_StreamRec));
    if (fstat(fd, &info) != 0 || !stream) {
        free(stream);
        close(fd);
        return nullptr;
    }
    stream->descriptor.value = fd;
    stream->size = (unsigned long)info.st_size;
    stream->read = readFontFile;
    stream->close = closeFontFile;
    FT_Open_Args args = {};
    args.flags = FT_OPEN_STREAM;
    args.stream = stream;
    FT_Face face = nullptr;
    if (FT_Open_Face((FT_Library)GL_FTLibrary, &args, 0, &face) != 0)
        return nullptr;  // FreeType has closed the stream
    return face;
}

Font* NUX_CreateFont(const char* path)
{
    Font* font = (Font*)calloc(1, sizeof(Font));
    if (!font)
        return nullptr;
    if (!GL_FTLibrary) {
        // A test or tool that never started the engine still gets working fonts.
        FT_Library library = nullptr;
        if (FT_Init_FreeType(&library) == 0)
            GL_FTLibrary = library;
    }
    FT_Face face = nullptr;
    if (path && GL_FTLibrary) {
        face = openFace(path);
        if (!face)
            nuxNoteMissingFile(path);  // its labels stay empty and transparent
    }
    font->face = face;
    return font;
}

//---- Labels

Label* NUX_CreateLabel(Font* font, const char* text, int textureSize, int pixelSize, float red, float green, float blue,
                       float alpha)
{
    Label* label = (Label*)calloc(1, sizeof(Label));
    if (!label)
        return nullptr;
    NUX_InitSprite(&label->sprite);
    GL_RGBA_to_Float(red, green, blue, alpha, label->color);
    label->pixelSize = pixelSize;
    label->textureSize = textureSize;
    label->font = font;
    label->hasTexture = 0;
    NUX_SetLabelText(label, text);
    return label;
}

void NUX_SetLabelText(Label* label, const char* text)
{
    if (!label)
        return;
    FT_Face face = fontFace(label->font);
    const bool sizeUsable = label->pixelSize > 0 && label->pixelSize <= MAX_PIXEL_SIZE;
    // A kept size needs no size change on the face: that alone makes FreeType allocate.
    const GlyphSet* set = nullptr;
    for (int i = 0; i < glyphSetCount; i++)
        if (face && glyphSets[i]->face == face && glyphSets[i]->pixelSize == label->pixelSize)
            set = glyphSets[i];
    const bool canRender = face && text && sizeUsable && (set || setPixelSize(face, label->pixelSize));
    if (canRender && !set)
        set = glyphSetFor(face, label->pixelSize);

    const int T = textureSide(label), R = textureRows(label);
    const size_t bytes = (size_t)T * (size_t)R * 4;
    unsigned char* texels = nullptr;
    if (T > 0) {
        if (renderBuffer.size() < bytes)
            renderBuffer.resize(bytes);
        texels = renderBuffer.data();
        memset(texels, 0, bytes);
    }

    // The rows the old text covered are written over too, so that none of it stays behind.
    const int32_t oldRows = label->hasTexture == 1 ? label->textHeight : 0;
    label->textWidth = 0;
    label->textHeight = 0;
    if (canRender && set)
        renderKeptText(*set, text, texels, T, R, &label->textWidth, &label->textHeight);
    else if (canRender)
        renderText(face, text, label->pixelSize, texels, T, R, &label->textWidth, &label->textHeight);

    int rows = (oldRows > label->textHeight ? oldRows : label->textHeight) + 1;
    rows = rows < R ? rows : R;
    label->texture = nuxDraw->labelTexture(label->hasTexture == 1, label->texture, texels, T, R, rows);
    label->hasTexture = 1;
}

unsigned int nuxGLLabelTexture(int hadTexture, unsigned int old, const unsigned char* texels, int T, int R, int rows)
{
    nuxGLTextureChanging();  // quads waiting to be drawn still show the old text
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    if (hadTexture) {
        // Whole rows from the top: the texels beyond them are as transparent as they were.
        glBindTexture(GL_TEXTURE_2D, old);
        if (texels && rows > 0)
            glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, T, rows, GL_RGBA, GL_UNSIGNED_BYTE, texels);
        return old;
    }
    // Clamped edges: filtering at the label's right edge must not blend in its first column.
    const unsigned int name = nuxGLNewTexture();
    if (texels)
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, T, R, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    return name;
}

void NUX_DrawLabel(Sprite* item)
{
    if (item)
        nuxDraw->drawLabel(item);
}

void nuxGLDrawLabel(Sprite* item)
{
    Label* label = (Label*)item;
    const int T = textureSide(label), R = textureRows(label);
    if (T == 0)
        return;
    float ox = 0.0f, oy = 0.0f;
    if (item->centered == 1) {
        ox = -(float)label->textWidth / 2.0f;
        oy = -(float)label->textHeight / 2.0f;
    }
    // Only the top-left part of the texture holding the text's extent and one transparent texel
    // beyond it: the rest is transparent and could change nothing. Its sides are powers of two, so
    // that the texture coordinates step exactly as over the whole texture. The texture holds the
    // text's top row first, so texture (0, 0) goes on the top-left corner.
    int w = 1, h = 1;
    while (w < label->textWidth + 1 && w < T)
        w *= 2;
    while (h < label->textHeight + 1 && h < R)
        h *= 2;
    nuxGLSpriteQuad(item, label->texture, 0, ox, oy, ox + (float)w * item->scaleX, oy + (float)h * item->scaleY, 0.0f,
                    0.0f, (float)w / (float)T, (float)h / (float)R);
}

//---- Measuring

int NUX_GetTextWidth(Font* font, const char* text, int pixelSize)
{
    FT_Face face = fontFace(font);
    if (!face || !text || !setPixelSize(face, pixelSize))
        return TEXT_WIDTH_MARGIN;
    int64_t width = 0;
    FT_UInt previous = 0;
    for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
        const FT_UInt glyph = glyphForByte(face, *p);
        width += kerningBetween(face, previous, glyph);
        previous = glyph;
        // The advance is known once the glyph is loaded; rendering its bitmap would not change it.
        if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) != 0)
            continue;
        width += (int64_t)(face->glyph->advance.x >> 6);
    }
    width += TEXT_WIDTH_MARGIN;
    return width > INT32_MAX ? INT32_MAX : (width < INT32_MIN ? INT32_MIN : (int)width);
}

int NUX_GetOptimalTextSize(Font* font, const char* text, int maxWidth)
{
    for (int size = 1; size <= MAX_OPTIMAL_TEXT_SIZE; size++)
        if (NUX_GetTextWidth(font, text, size) >= maxWidth)
            return size - 1;
    return MAX_OPTIMAL_TEXT_SIZE;
}
