// DUNMARROW asset generator: the painter's tools. Canvases, PNG writing, blur and text in the game's font.
// Everything is drawn with cairo; text goes through FreeType with the font the game itself loads.

#include "assetgen.h"  // Canvas, Rgba
#include <cairo-ft.h>  // cairo font faces made from FreeType faces
#include <ft2build.h>  // FreeType
#include FT_FREETYPE_H
#include <png.h>      // writing 8-bit RGBA PNGs
#include <cstdio>     // fopen, fprintf
#include <algorithm>  // std::min
#include <cstring>    // strlen
#include <vector>     // row buffers

//---- File-level state: one FreeType face per thread (FreeType faces are not shared between threads)

static const char* g_fontPath = nullptr;
static thread_local FT_Library t_library = nullptr;
static thread_local FT_Face t_face = nullptr;
static thread_local cairo_font_face_t* t_cairoFace = nullptr;

bool fontInit(const char* fontPath)
{
    g_fontPath = fontPath;
    FT_Library lib;
    if (FT_Init_FreeType(&lib) != 0)
        return false;
    FT_Face face;
    bool ok = FT_New_Face(lib, fontPath, 0, &face) == 0;
    if (ok)
        FT_Done_Face(face);
    FT_Done_FreeType(lib);
    return ok;
}

static cairo_font_face_t* threadFace()
{
    if (t_cairoFace)
        return t_cairoFace;
    if (!g_fontPath || FT_Init_FreeType(&t_library) != 0)
        return nullptr;
    if (FT_New_Face(t_library, g_fontPath, 0, &t_face) != 0)
        return nullptr;
    t_cairoFace = cairo_ft_font_face_create_for_ft_face(t_face, 0);
    return t_cairoFace;
}

//---- Canvases

Canvas canvasCreate(int width, int height)
{
    Canvas c = {};
    c.width = width;
    c.height = height;
    c.surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    c.cr = cairo_create(c.surface);
    return c;
}

void canvasFree(Canvas& c)
{
    if (c.cr)
        cairo_destroy(c.cr);
    if (c.surface)
        cairo_surface_destroy(c.surface);
    c = Canvas{};
}

//---- Edges: a fully transparent pixel takes the colour of the nearest visible one (a breadth-first flood from
//     every visible pixel), so a sprite scaled or turned with linear filtering blends its edge with its own
//     colour instead of fading through black

static void bleedEdges(std::vector<unsigned char>& rgba, int w, int h)
{
    size_t n = (size_t)w * h;
    std::vector<int> queue;
    queue.reserve(n);
    std::vector<unsigned char> done(n, 0);
    for (size_t i = 0; i < n; ++i)
        if (rgba[i * 4 + 3] > 0) {
            done[i] = 1;
            queue.push_back((int)i);
        }
    if (queue.empty())
        return;
    for (size_t head = 0; head < queue.size(); ++head) {
        int i = queue[head], x = i % w, y = i / w;
        const int next[4] = {x > 0 ? i - 1 : -1, x + 1 < w ? i + 1 : -1, y > 0 ? i - w : -1, y + 1 < h ? i + w : -1};
        for (int j : next) {
            if (j < 0 || done[(size_t)j])
                continue;
            done[(size_t)j] = 1;
            for (int c = 0; c < 3; ++c)
                rgba[(size_t)j * 4 + c] = rgba[(size_t)i * 4 + c];
            queue.push_back(j);
        }
    }
}

//---- PNG: cairo would write an opaque picture as RGB; the game's loader needs four channels, so we write it

bool writePngRgba(cairo_surface_t* surface, const char* path)
{
    cairo_surface_flush(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    if (!data || w <= 0 || h <= 0)
        return false;
    FILE* f = fopen(path, "wb");
    if (!f) {
        fprintf(stderr, "assetgen: cannot write %s\n", path);
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        fclose(f);
        fprintf(stderr, "assetgen: PNG error on %s\n", path);
        return false;
    }
    png_init_io(png, f);
    png_set_IHDR(png, info, (png_uint_32)w, (png_uint_32)h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    std::vector<unsigned char> pixels((size_t)w * h * 4);
    for (int y = 0; y < h; ++y) {
        unsigned char* row = &pixels[(size_t)y * w * 4];
        const uint32_t* src = (const uint32_t*)(data + (size_t)y * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t p = src[x];
            unsigned a = p >> 24, r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
            // Cairo keeps colours premultiplied by alpha; PNG wants them straight.
            if (a > 0 && a < 255) {
                r = (r * 255 + a / 2) / a;
                g = (g * 255 + a / 2) / a;
                b = (b * 255 + a / 2) / a;
            }
            unsigned char* d = &row[(size_t)x * 4];
            d[0] = (unsigned char)(r > 255 ? 255 : r);
            d[1] = (unsigned char)(g > 255 ? 255 : g);
            d[2] = (unsigned char)(b > 255 ? 255 : b);
            d[3] = (unsigned char)a;
        }
    }
    bleedEdges(pixels, w, h);
    for (int y = 0; y < h; ++y)
        png_write_row(png, &pixels[(size_t)y * w * 4]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(f) == 0;
}

//---- Blur: shrink with cairo's box filter, grow back with its bilinear filter, twice for a smooth falloff

void blurSurface(cairo_surface_t* surface, double radius)
{
    if (radius < 1.0)
        return;
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    for (int pass = 0; pass < 2; ++pass) {
        double k = radius / (pass == 0 ? 1.5 : 3.0);
        if (k < 1.0)
            k = 1.0;
        int sw = (int)(w / k) + 1, sh = (int)(h / k) + 1;
        cairo_surface_t* small = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
        cairo_t* cs = cairo_create(small);
        cairo_scale(cs, (double)sw / w, (double)sh / h);
        cairo_set_source_surface(cs, surface, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cs), CAIRO_FILTER_GOOD);
        cairo_pattern_set_extend(cairo_get_source(cs), CAIRO_EXTEND_PAD);
        cairo_paint(cs);
        cairo_destroy(cs);
        cairo_t* cr = cairo_create(surface);
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_scale(cr, (double)w / sw, (double)h / sh);
        cairo_set_source_surface(cr, small, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_BILINEAR);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_paint(cr);
        cairo_destroy(cr);
        cairo_surface_destroy(small);
    }
}

//---- Text

void setGameFont(cairo_t* cr, double size)
{
    cairo_font_face_t* face = threadFace();
    if (face)
        cairo_set_font_face(cr, face);
    cairo_set_font_size(cr, size);
}

double textWidth(cairo_t* cr, const char* text, double size)
{
    setGameFont(cr, size);
    cairo_text_extents_t ext;
    cairo_text_extents(cr, text, &ext);
    return ext.x_advance;
}

double fitTextSize(cairo_t* cr, const char* text, double size, double maxWidth)
{
    double w = textWidth(cr, text, size);
    return (w > maxWidth && w > 0) ? size * maxWidth / w : size;
}

void drawText(cairo_t* cr, const char* text, double x, double y, double size, int align, Rgba fill, Rgba outline,
              double outlineWidth)
{
    cairo_save(cr);
    // No text may run off its picture: shrink it to the room left of, right of or around x.
    cairo_surface_t* target = cairo_get_target(cr);
    if (cairo_surface_get_type(target) == CAIRO_SURFACE_TYPE_IMAGE) {
        double width = cairo_image_surface_get_width(target);
        double room = align == 1 ? 2 * std::min(x, width - x) : align == 2 ? x : width - x;
        cairo_matrix_t m;
        cairo_get_matrix(cr, &m);
        if (m.xx == 1.0 && m.yx == 0.0 && room > 0)
            size = fitTextSize(cr, text, size, room - 2 * outlineWidth - 4);
    }
    double w = textWidth(cr, text, size);
    double left = align == 1 ? x - w / 2 : align == 2 ? x - w : x;
    cairo_move_to(cr, left, y);
    cairo_text_path(cr, text);
    if (outlineWidth > 0) {
        cairo_set_source_rgba(cr, outline.r, outline.g, outline.b, outline.a);
        cairo_set_line_width(cr, outlineWidth * 2);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
    }
    cairo_set_source_rgba(cr, fill.r, fill.g, fill.b, fill.a);
    cairo_fill(cr);
    cairo_restore(cr);
}

void drawGlowText(Canvas& c, const char* text, double x, double y, double size, int align, Rgba fill, Rgba glow,
                  double glowRadius)
{
    Canvas g = canvasCreate(c.width, c.height);
    drawText(g.cr, text, x, y, size, align, glow, glow, glowRadius * 0.5);
    blurSurface(g.surface, glowRadius);
    cairo_set_source_surface(c.cr, g.surface, 0, 0);
    cairo_paint(c.cr);
    canvasFree(g);
    drawText(c.cr, text, x, y, size, align, fill, Rgba{0, 0, 0, 0}, 0);
}
