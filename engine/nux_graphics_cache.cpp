// nux_graphics_cache: the picture loader and its texture cache. Each file is decoded once; its
// texture holds only the rectangle of the picture that can show, and every later load of the
// path shares it. The image record keeps the picture's padded-square size for the game.

#include "nux_graphics.h"
#include "nux_local.h"
#include "pngLoad.h"

#include <cstdint>  // int64_t
#include <cstdlib>  // calloc, free
#include <cstring>  // strcmp, memcpy
#include <vector>   // the pictures' parts, a set's pictures

//---- State

// The texture cache, one entry per distinct path.
KWArray* imageEntries = nullptr;

//---- Texture sizes

uint32_t nextPowerofTwo(uint32_t v)
{
    v--;
    v |= v >> 1;
    v |= v >> 2;
    v |= v >> 4;
    v |= v >> 8;
    v |= v >> 16;
    return v + 1;
}

//---- Pictures

Image* NUX_MakeImageFromExisting(ImageEntry* entry)
{
    Image* image = (Image*)calloc(1, sizeof(Image));
    image->pixelWidth = entry->width;
    image->pixelHeight = entry->height;
    image->texture = entry->texture;
    image->textureSize = entry->textureSize;
    image->part = entry->part;
    image->sprite.width = (float)entry->width;
    image->sprite.height = (float)entry->height;
    NUX_InitSprite(&image->sprite);
    return image;
}

// The parts handed out so far: part n is pictureParts[n - 1]. Made while the scenes load.
static std::vector<NuxPicturePart> pictureParts;

const NuxPicturePart* nuxPicturePart(uint32_t part)
{
    return part >= 1 && part <= pictureParts.size() ? &pictureParts[part - 1] : nullptr;
}

// The side of a texture holding n texels in a row: the next power of two.
static uint32_t textureSide(uint32_t n)
{
    return n <= 1 ? 1 : nextPowerofTwo(n);
}

// A decoded picture seen as it lies in its padded square of side T: texel (col, row), row 0 at the
// top, is the picture's pixel inside its top-left w x h corner and transparent black elsewhere.
// kept is the rectangle [left, right) x [top, bottom) of the square that can show.
struct Decoded {
    unsigned char* pixels;  // w x h RGBA, bottom row first (as pngLoad gives them); null when empty
    uint32_t w, h, T;
    uint32_t left, top, right, bottom;  // the part the quad covers (see findKept)
    bool visible;                       // some texel has alpha
};

static const unsigned char* squareTexel(const Decoded& d, int64_t col, int64_t row)
{
    static const unsigned char CLEAR[4] = {0, 0, 0, 0};
    if (col < 0 || row < 0 || col >= (int64_t)d.w || row >= (int64_t)d.h)
        return CLEAR;
    return d.pixels + ((size_t)(d.h - 1 - (uint32_t)row) * d.w + (size_t)col) * 4;
}

// Finds what can show: every texel with some alpha, and one texel around them, whose colour the
// linear filter blends into the picture's edge. Beyond that every texel the filter can reach is
// fully transparent, so nothing drawn there could change the screen.
static void findKept(Decoded* d)
{
    uint32_t x0 = d->w, y0 = d->h, x1 = 0, y1 = 0;
    for (uint32_t row = 0; row < d->h && d->pixels; row++) {
        const unsigned char* line = squareTexel(*d, 0, row);
        uint32_t first = 0, last = d->w;
        while (first < d->w && line[first * 4 + 3] == 0)
            first++;
        if (first == d->w)
            continue;
        while (line[(last - 1) * 4 + 3] == 0)
            last--;
        x0 = first < x0 ? first : x0;
        x1 = last > x1 ? last : x1;
        y0 = row < y0 ? row : y0;
        y1 = row + 1;
    }
    d->visible = x1 > 0;
    if (!d->visible)
        return;
    d->left = x0 > 0 ? x0 - 1 : 0;
    d->top = y0 > 0 ? y0 - 1 : 0;
    d->right = x1 + 1 < d->T ? x1 + 1 : d->T;
    d->bottom = y1 + 1 < d->T ? y1 + 1 : d->T;
    // A rectangle texture is addressed in texels, whole numbers at its texels' edges, so the
    // rectangle itself is held and drawn. A normalised one is widened to sides of powers of two,
    // inside the square (where the old quad stopped): over such a window, texture coordinates step
    // by exact binary fractions, as they did over the square.
    if (nuxDraw->textureRectangles())
        return;
    const uint32_t w = textureSide(d->right - d->left), h = textureSide(d->bottom - d->top);
    d->left = d->left < d->T - w ? d->left : d->T - w;
    d->top = d->top < d->T - h ? d->top : d->T - h;
    d->right = d->left + w;
    d->bottom = d->top + h;
}

// Copies the square's texels of columns [col0, col0 + width) and rows [row0, row0 + height) into
// out (rowStride texels a row), bottom row first, as GL takes them. Coordinates outside the square
// take its nearest edge texel, as the padded square's clamped edges did.
static void copySquare(const Decoded& d, int64_t col0, int64_t row0, uint32_t width, uint32_t height,
                       unsigned char* out, size_t rowStride)
{
    const int64_t last = (int64_t)d.T - 1;
    for (uint32_t i = 0; i < height; i++) {
        int64_t row = row0 + (int64_t)(height - 1 - i);
        row = row < 0 ? 0 : (row > last ? last : row);
        unsigned char* dst = out + (size_t)i * rowStride * 4;
        for (uint32_t j = 0; j < width; j++) {
            int64_t col = col0 + (int64_t)j;
            col = col < 0 ? 0 : (col > last ? last : col);
            memcpy(dst + (size_t)j * 4, squareTexel(d, col, row), 4);
        }
    }
}

static uint32_t addPart(const NuxPicturePart& part)
{
    pictureParts.push_back(part);
    return (uint32_t)pictureParts.size();
}

// The longest picture side this run loads: the largest texture the context allows, within the
// loader's fixed bound (which alone applies headless). Asked of the context once.
static uint32_t pictureSideLimit()
{
    const int contextMax = nuxDraw->maxTextureSide();
    return contextMax > 0 && (uint32_t)contextMax < PNGLOAD_MAX_SIDE ? (uint32_t)contextMax : PNGLOAD_MAX_SIDE;
}

// Decodes the file into d, with its square's side; an unreadable file gives the empty picture
// (0 x 0, side 0) and is noted as missing.
static void decodePicture(const char* path, Decoded* d)
{
    *d = {};
    if (pngLoad(path, &d->w, &d->h, &d->pixels, pictureSideLimit()) != PNGLOAD_OK) {
        d->w = d->h = 0;
        d->pixels = nullptr;
        nuxNoteMissingFile(path);
    }
    uint32_t T = d->w > d->h ? d->w : d->h;
    if (T & (T - 1))
        T = nextPowerofTwo(T);
    d->T = T;
    if (nuxHasGL)
        findKept(d);
}

static ImageEntry* addEntry(const char* path, const Decoded& d, uint32_t texture, uint32_t part)
{
    if (!imageEntries)
        imageEntries = KWArray_Create((int32_t)sizeof(ImageEntry));
    ImageEntry* entry = (ImageEntry*)KWArray_CreateElement(imageEntries);
    entry->height = d.h;
    entry->width = d.w;
    entry->textureSize = d.T;
    entry->texture = texture;
    entry->part = part;
    entry->name = KWString_Create(path);
    return entry;
}

static ImageEntry* findEntry(const char* path)
{
    for (int32_t i = 0; imageEntries && i < imageEntries->count; i++) {
        ImageEntry* entry = (ImageEntry*)imageEntries->items[i];
        if (strcmp(entry->name->text, path) == 0)
            return entry;
    }
    return nullptr;
}

// Nothing of the picture can show: drawn as nothing, from no texture.
static const NuxPicturePart NOTHING_SHOWN = {0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f};

// Loads one picture into a texture of its own, holding the part of its padded square that findKept
// chose, and a quad of the same part. Outside the rectangle that can show every texel is the
// square's own.
static ImageEntry* loadEntry(const char* path)
{
    Decoded d;
    decodePicture(path, &d);
    const uint32_t W = d.visible ? d.right - d.left : 0, H = d.visible ? d.bottom - d.top : 0;
    unsigned char* texels = d.visible ? (unsigned char*)malloc((size_t)W * H * 4) : nullptr;
    if (texels)
        copySquare(d, d.left, d.top, W, H, texels, W);
    const bool rectangle = nuxDraw->textureRectangles();
    const uint32_t texture = nuxDraw->makePictureTexture(texels, texels ? W : 0, texels ? H : 0, rectangle ? 1 : 0);
    // Texture coordinates: texels in a rectangle texture, fractions of its sides otherwise.
    const float s1 = rectangle ? (float)W : 1.0f, t0 = rectangle ? (float)H : 1.0f;
    const uint32_t part = addPart(texels ? NuxPicturePart{texture, (float)d.left, (float)d.top, (float)(d.left + W),
                                                          (float)(d.top + H), 0.0f, t0, s1, 0.0f}
                                         : NOTHING_SHOWN);
    free(texels);
    free(d.pixels);
    return addEntry(path, d, texture, part);
}

Image* NUX_LoadImage(const char* path)
{
    ImageEntry* entry = findEntry(path);
    return NUX_MakeImageFromExisting(entry ? entry : loadEntry(path));
}

void NUX_LoadImageSet(const char* const* paths, int count)
{
    std::vector<Decoded> set;
    std::vector<const char*> names;
    for (int i = 0; paths && i < count; i++) {
        bool again = !paths[i] || findEntry(paths[i]);
        for (const char* name : names)
            again = again || strcmp(name, paths[i]) == 0;
        if (again)
            continue;
        Decoded d;
        decodePicture(paths[i], &d);
        set.push_back(d);
        names.push_back(paths[i]);
    }
    // Each picture's part (as loadEntry takes it) sits in the shared texture with a border of the
    // square's texels around it, so that filtering at its edges reads what it would read in a
    // texture of its own. Side by side, along the bottom.
    uint64_t width = 0, height = 0;
    for (const Decoded& d : set)
        if (d.visible) {
            width += d.right - d.left + 2;
            const uint64_t h = d.bottom - d.top + 2;
            height = h > height ? h : height;
        }
    // A rectangle texture is as large as the parts take; coordinates in it are texels.
    const bool rectangle = nuxDraw->textureRectangles();
    unsigned char* texels = nullptr;
    if (width > 0 && width <= pictureSideLimit() && height <= pictureSideLimit()) {
        width = rectangle ? width : textureSide((uint32_t)width);
        height = rectangle ? height : textureSide((uint32_t)height);
        if (width <= pictureSideLimit() && height <= pictureSideLimit())
            texels = (unsigned char*)calloc((size_t)(width * height), 4);
    }
    const bool shared = texels != nullptr;
    std::vector<uint32_t> columns(set.size(), 0);
    uint32_t x = 0;
    for (size_t i = 0; i < set.size() && texels; i++) {
        const Decoded& d = set[i];
        if (!d.visible)
            continue;
        const uint32_t w = d.right - d.left, h = d.bottom - d.top;
        copySquare(d, (int64_t)d.left - 1, (int64_t)d.top - 1, w + 2, h + 2, texels + (size_t)x * 4, width);
        columns[i] = x;
        x += w + 2;
    }
    const uint32_t texture =
        texels ? nuxDraw->makePictureTexture(texels, (uint32_t)width, (uint32_t)height, rectangle ? 1 : 0) : 0;
    free(texels);
    for (size_t i = 0; i < set.size(); i++) {
        Decoded& d = set[i];
        free(d.pixels);
        if (!shared || !d.visible) {  // too large to share, or nothing to show: on its own
            loadEntry(names[i]);
            continue;
        }
        const uint32_t w = d.right - d.left, h = d.bottom - d.top;
        const float W = rectangle ? 1.0f : (float)width, H = rectangle ? 1.0f : (float)height;
        const float s = (float)(columns[i] + 1);
        const uint32_t part = addPart({texture, (float)d.left, (float)d.top, (float)(d.left + w), (float)(d.top + h),
                                       s / W, (float)(h + 1) / H, (s + (float)w) / W, 1.0f / H});
        addEntry(names[i], d, texture, part);
    }
}
