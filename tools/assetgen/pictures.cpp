// DUNMARROW asset generator: the drawing helpers every picture unit shares, and the entry that paints one
// picture of the manifest with the painter its row names.

#include "pictures.h"  // the palette, the helpers declared here, PicturePainter
#include <cmath>       // sin, cos, M_PI
#include <cstdio>      // snprintf, fprintf

//---- Colours

void rgba(cairo_t* cr, Rgba c)
{
    cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a);
}
Rgba mixc(Rgba a, Rgba b, double t)
{
    return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}
Rgba alpha(Rgba c, double a)
{
    return Rgba{c.r, c.g, c.b, a};
}

//---- Shapes, gradients and the moon

// Lays `shape` (a picture of the canvas' size) on the canvas over copies of its own outline in `ink`, shifted
// around a ring of `width` pixels: a dark edge that keeps a light sprite readable on any ground. With `dx`, `dy`
// set, the ink is a light from that side instead: one shifted copy, a rim along the lit edges.
void layWithEdge(Canvas& c, cairo_surface_t* shape, Rgba ink, double width, double dx, double dy)
{
    cairo_set_source_rgba(c.cr, ink.r, ink.g, ink.b, ink.a);
    if (dx != 0 || dy != 0)
        cairo_mask_surface(c.cr, shape, dx, dy);
    else
        for (int k = 0; k < 12; ++k) {
            double a = k * M_PI / 6;
            cairo_set_source_rgba(c.cr, ink.r, ink.g, ink.b, ink.a);
            cairo_mask_surface(c.cr, shape, std::cos(a) * width, std::sin(a) * width);
        }
    cairo_set_source_surface(c.cr, shape, 0, 0);
    cairo_paint(c.cr);
}

void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry)
{
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
}

void poly(cairo_t* cr, const double* xy, int n)
{
    cairo_move_to(cr, xy[0], xy[1]);
    for (int i = 1; i < n; ++i)
        cairo_line_to(cr, xy[2 * i], xy[2 * i + 1]);
    cairo_close_path(cr);
}

// A smooth closed shape through the points (Catmull-Rom turned into Bezier curves).
void blob(cairo_t* cr, const double* xy, int n)
{
    cairo_move_to(cr, xy[0], xy[1]);
    for (int i = 0; i < n; ++i) {
        int i0 = (i + n - 1) % n, i1 = i, i2 = (i + 1) % n, i3 = (i + 2) % n;
        double c1x = xy[2 * i1] + (xy[2 * i2] - xy[2 * i0]) / 6,
               c1y = xy[2 * i1 + 1] + (xy[2 * i2 + 1] - xy[2 * i0 + 1]) / 6;
        double c2x = xy[2 * i2] - (xy[2 * i3] - xy[2 * i1]) / 6,
               c2y = xy[2 * i2 + 1] - (xy[2 * i3 + 1] - xy[2 * i1 + 1]) / 6;
        cairo_curve_to(cr, c1x, c1y, c2x, c2y, xy[2 * i2], xy[2 * i2 + 1]);
    }
    cairo_close_path(cr);
}

void vgradient(cairo_t* cr, double x, double y, double w, double h, const Rgba* stops, int n)
{
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y, 0, y + h);
    for (int i = 0; i < n; ++i)
        cairo_pattern_add_color_stop_rgba(p, (double)i / (n - 1), stops[i].r, stops[i].g, stops[i].b, stops[i].a);
    cairo_rectangle(cr, x, y, w, h);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void radial(cairo_t* cr, double cx, double cy, double r, Rgba inner, Rgba outer)
{
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, inner.r, inner.g, inner.b, inner.a);
    cairo_pattern_add_color_stop_rgba(p, 1, outer.r, outer.g, outer.b, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void stars(cairo_t* cr, Rng& rng, double w, double h, int count, double brightness)
{
    for (int i = 0; i < count; ++i) {
        double x = rngRange(rng, 0, w), y = rngRange(rng, 0, h);
        double r = rngRange(rng, 0.4, 1.3);
        double a = brightness * rngRange(rng, 0.3, 1.0) * (1.0 - 0.7 * y / h);
        cairo_set_source_rgba(cr, 0.95, 0.95, 1.0, a);
        cairo_arc(cr, x, y, r, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void moonDisc(cairo_t* cr, Rng& rng, double cx, double cy, double r, Rgba tint, double glow)
{
    if (glow > 0)
        radial(cr, cx, cy, r * glow, alpha(tint, 0.35), tint);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.99, 0.93, 1);
    cairo_pattern_add_color_stop_rgba(p, 1, tint.r * 0.85, tint.g * 0.85, tint.b * 0.8, 1);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    for (int i = 0; i < 7; ++i) {
        double a = rngRange(rng, 0, 2 * M_PI), d = rngRange(rng, 0, r * 0.65), cr2 = rngRange(rng, r * 0.06, r * 0.18);
        cairo_set_source_rgba(cr, tint.r * 0.7, tint.g * 0.68, tint.b * 0.6, 0.35);
        cairo_arc(cr, cx + cos(a) * d, cy + sin(a) * d, cr2, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

//---- Public entry

int paintPicture(const char* dir, const AssetEntry& entry)
{
    Canvas c = canvasCreate(entry.width, entry.height);
    if (cairo_surface_status(c.surface) != CAIRO_STATUS_SUCCESS) {
        fprintf(stderr, "assetgen: cannot make a %d x %d canvas for %s\n", entry.width, entry.height, entry.name);
        canvasFree(c);
        return 1;
    }
    if (entry.paint) {
        Rng rng = rngFromName(entry.name);
        entry.paint(c, rng);
    } else {
        fprintf(stderr, "assetgen: no painter for %s\n", entry.name);
        cairo_set_source_rgba(c.cr, 1, 0, 1, 1);
        cairo_paint(c.cr);
    }
    char path[1024];
    snprintf(path, sizeof path, "%s/%s", dir, entry.name);
    bool ok = writePngRgba(c.surface, path);
    canvasFree(c);
    return ok ? 0 : 1;
}
