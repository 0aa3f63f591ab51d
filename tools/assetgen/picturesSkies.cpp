// DUNMARROW asset generator: the skies' pictures: night skies with stars, the moons, clouds and mist, the
// prologue's sunset, the red sky of game over and the ending's dawn.

#include "pictures.h"  // the palette, shapes and the painters' declarations
#include <cmath>       // sin, cos, fabs, M_PI

//---- Skies

static void nightSky(Canvas& c, Rng& rng, Rgba top, Rgba mid, Rgba bottom, int starCount)
{
    Rgba st[3] = {top, mid, bottom};
    vgradient(c.cr, 0, 0, c.width, c.height, st, 3);
    stars(c.cr, rng, c.width, c.height * 0.7, starCount, 0.9);
}

// A wide bank of mist: a dense body across most of the width, long thin wisps trailing off it, and soft edges
// that reach nothing at the picture's border (the game scales it 2 to 4 times and lets banks overlap).
static void mistBank(Canvas& c, Rng& rng, Rgba col, int puffs)
{
    Canvas m = canvasCreate(c.width, c.height);
    double w = c.width, h = c.height;
    for (int i = 0; i < puffs; ++i) {
        double x = rngRange(rng, w * 0.15, w * 0.85), y = rngRange(rng, h * 0.38, h * 0.62);
        ellipse(m.cr, x, y, rngRange(rng, w * 0.12, w * 0.25), rngRange(rng, h * 0.1, h * 0.2));
        rgba(m.cr, alpha(col, rngRange(rng, 0.45, 0.7)));
        cairo_fill(m.cr);
    }
    for (int i = 0; i < puffs * 2; ++i) {
        double x = rngRange(rng, w * 0.08, w * 0.92), y = rngRange(rng, h * 0.22, h * 0.78);
        ellipse(m.cr, x, y, rngRange(rng, w * 0.12, w * 0.3), rngRange(rng, h * 0.025, h * 0.06));
        rgba(m.cr, alpha(col, rngRange(rng, 0.3, 0.6)));
        cairo_fill(m.cr);
    }
    blurSurface(m.surface, h * 0.07);
    // Fade every side to nothing.
    cairo_t* cr = m.cr;
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_IN);
    cairo_pattern_t* across = cairo_pattern_create_linear(0, 0, w, 0);
    const double xs[5] = {0, 0.2, 0.5, 0.8, 1}, xa[5] = {0, 1, 1, 1, 0};
    for (int k = 0; k < 5; ++k)
        cairo_pattern_add_color_stop_rgba(across, xs[k], 1, 1, 1, xa[k]);
    cairo_set_source(cr, across);
    cairo_paint(cr);
    cairo_pattern_destroy(across);
    cairo_pattern_t* down = cairo_pattern_create_linear(0, 0, 0, h);
    const double ys[4] = {0, 0.3, 0.7, 1}, ya[4] = {0, 1, 1, 0};
    for (int k = 0; k < 4; ++k)
        cairo_pattern_add_color_stop_rgba(down, ys[k], 1, 1, 1, ya[k]);
    cairo_set_source(cr, down);
    cairo_paint(cr);
    cairo_pattern_destroy(down);
    cairo_set_source_surface(c.cr, m.surface, 0, 0);
    cairo_paint(c.cr);
    canvasFree(m);
}

//---- The pictures

void paintSkyGradient(Canvas& c, Rng& rng)
{
    nightSky(c, rng, Rgba{0.02, 0.03, 0.12, 1}, Rgba{0.1, 0.08, 0.3, 1}, Rgba{0.45, 0.25, 0.45, 1}, 260);
}

void paintSkySolid(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    rgba(cr, Rgba{0.03, 0.04, 0.1, 1});
    cairo_paint(cr);
}

void paintCloud(Canvas& c, Rng& rng)
{
    cairo_t* cr = c.cr;
    double W = c.width;
    Canvas m = canvasCreate(c.width, c.height);
    for (int i = 0; i < 14; ++i) {
        double x = rngRange(rng, 70, W - 70), y = rngRange(rng, 60, 95);
        double r = rngRange(rng, 25, 50) * (1.0 - fabs(x - W / 2) / W);
        rgba(m.cr, Rgba{1, 1, 1, 0.9});
        cairo_arc(m.cr, x, y, r, 0, 2 * M_PI);
        cairo_fill(m.cr);
    }
    blurSurface(m.surface, 8);
    // The blurred shape is only a mask, so the soft edge keeps the cloud's own colour. The title tints the clouds
    // with less red than green and blue (0.2 against up to 0.28), which turns a white cloud a muddy teal: painted
    // warm, they land on a clean violet grey under that tint, lighter along their moonlit tops.
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 40, 0, 130);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.74, 0.86, 1);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.84, 0.56, 0.74, 1);
    cairo_set_source(cr, p);
    cairo_mask_surface(cr, m.surface, 0, 0);
    cairo_pattern_destroy(p);
    canvasFree(m);
}

void paintSunset(Canvas& c, Rng& rng)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    // Only the top of this sky shows: above the game's trees and city (to about y 150) and above the
    // prologue's skyline (shown from y 120, so to about y 150 of the picture). The sun and the warm bands sit
    // there, low over the roofs.
    Rgba st[6] = {{0.2, 0.16, 0.42, 1}, {0.55, 0.28, 0.45, 1}, {0.95, 0.5, 0.35, 1},
                  {1.0, 0.75, 0.4, 1},  {1.0, 0.85, 0.5, 1},   {1.0, 0.88, 0.55, 1}};
    Rgba top[4] = {st[0], st[1], st[2], st[3]};
    vgradient(cr, 0, 0, W, 200, top, 4);
    Rgba low[3] = {st[3], st[4], st[5]};
    vgradient(cr, 0, 200, W, H - 200, low, 3);
    // A warm sun with little blue in it: as the prologue darkens its red and green, it sinks to a deep orange
    // instead of turning violet.
    radial(cr, W * 0.62, 118, 230, Rgba{1, 0.8, 0.25, 0.75}, Rgba{1, 0.6, 0.12, 1});
    radial(cr, W * 0.62, 118, 70, Rgba{1, 0.88, 0.3, 1}, Rgba{1, 0.75, 0.2, 1});
    rgba(cr, Rgba{1, 0.92, 0.32, 1});
    cairo_arc(cr, W * 0.62, 118, 36, 0, 2 * M_PI);
    cairo_fill(cr);
    for (int i = 0; i < 6; ++i) {
        double y = rngRange(rng, 20, 110);
        cairo_set_source_rgba(cr, 1.0, 0.6, 0.5, 0.25);
        ellipse(cr, rngRange(rng, 0, W), y, rngRange(rng, 120, 260), rngRange(rng, 5, 12));
        cairo_fill(cr);
    }
}

void paintNightMoon(Canvas& c, Rng& rng)
{
    moonDisc(c.cr, rng, 64, 64, 34, Rgba{1, 0.95, 0.85, 1}, 1.85);
}

void paintMoon(Canvas& c, Rng& rng)
{
    moonDisc(c.cr, rng, 48, 48, 26, Rgba{0.95, 0.95, 0.85, 1}, 1.8);
}

void paintMist(Canvas& c, Rng& rng)
{
    mistBank(c, rng, Rgba{0.8, 0.82, 0.9, 1}, 14);
}

void paintSkyRed(Canvas& c, Rng& rng)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    Rgba st[3] = {{0.15, 0.0, 0.02, 1}, {0.45, 0.04, 0.05, 1}, {0.8, 0.2, 0.1, 1}};
    vgradient(cr, 0, 0, W, H, st, 3);
    moonDisc(cr, rng, 760, 170, 60, Rgba{1.0, 0.45, 0.35, 1}, 2.2);
    for (int i = 0; i < 9; ++i) {
        cairo_set_source_rgba(cr, 0.1, 0.0, 0.02, 0.35);
        ellipse(cr, rngRange(rng, 0, W), rngRange(rng, 40, 500), rngRange(rng, 120, 300), rngRange(rng, 10, 24));
        cairo_fill(cr);
    }
}

void paintSkyBlue(Canvas& c, Rng& rng)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    Rgba st[4] = {{0.25, 0.45, 0.8, 1}, {0.5, 0.7, 0.95, 1}, {0.95, 0.85, 0.6, 1}, {1.0, 0.75, 0.4, 1}};
    vgradient(cr, 0, 0, W, H, st, 4);
    radial(cr, W * 0.3, H * 0.85, 300, Rgba{1, 0.95, 0.7, 0.8}, Rgba{1, 0.8, 0.4, 1});
    for (int i = 0; i < 7; ++i) {
        cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
        ellipse(cr, rngRange(rng, 0, W), rngRange(rng, 60, 400), rngRange(rng, 80, 200), rngRange(rng, 8, 18));
        cairo_fill(cr);
    }
}

void paintSkyDark(Canvas& c, Rng& rng)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    // Drawn at scale 2: the gradient alone, then stars of at least 3 pixels across.
    nightSky(c, rng, Rgba{0.01, 0.02, 0.08, 1}, Rgba{0.04, 0.05, 0.18, 1}, Rgba{0.12, 0.1, 0.28, 1}, 0);
    for (int i = 0; i < 80; ++i) {
        double x = rngRange(rng, 0, W), y = rngRange(rng, 0, H * 0.7);
        cairo_set_source_rgba(cr, 0.95, 0.95, 1.0, 0.8 * rngRange(rng, 0.3, 1.0) * (1.0 - 0.7 * y / (H * 0.7)));
        cairo_arc(cr, x, y, rngRange(rng, 1.5, 1.9), 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

void paintCloseupBackground(Canvas& c, Rng& rng)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    Rgba st[3] = {{0.35, 0.5, 0.8, 1}, {0.9, 0.75, 0.55, 1}, {0.6, 0.45, 0.35, 1}};
    vgradient(cr, 0, 0, W, H, st, 3);
    Canvas b = canvasCreate(c.width, c.height);
    for (int i = 0; i < 40; ++i) {
        double r = rngRange(rng, 10, 40);
        cairo_set_source_rgba(b.cr, 1.0, rngRange(rng, 0.75, 0.95), rngRange(rng, 0.4, 0.7), rngRange(rng, 0.2, 0.5));
        cairo_arc(b.cr, rngRange(rng, 0, W), rngRange(rng, 150, H), r, 0, 2 * M_PI);
        cairo_fill(b.cr);
    }
    blurSurface(b.surface, 6);
    cairo_set_source_surface(cr, b.surface, 0, 0);
    cairo_paint(cr);
    canvasFree(b);
}
