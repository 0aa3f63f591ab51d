// DUNMARROW asset generator: the city's pictures: skylines with lit windows, trees and bushes, street lamps and
// their halo, for every scene (the dusk of the prologue, the night of the game, the red game over, the dawn).

#include "pictures.h"  // the palette, shapes and the painters' declarations
#include <cmath>       // sin, cos, M_PI
#include <algorithm>   // std::max

//---- City skylines: buildings with lit windows; pages that tile repeat seamlessly at the picture's width

struct SkylineStyle {
    double ground;          // y of the street (buildings fill down to the bottom)
    double minTop, maxTop;  // range of roof heights (y)
    double minW, maxW;      // building widths
    Rgba body, body2;       // wall colours, top to bottom
    Rgba lit;               // window light
    double litChance;
    double unit;  // size of a window cell
    int tile;
    double rimLight;  // 0..1 glow along the roofs (dawn or dusk light)
    Rgba rim;
    double minDetail;               // thinnest line, in picture pixels (3 on pictures the scenes draw at 2x)
    Rgba haze = NONE;               // laid over the back row: distance, so that the front of the scene stands out
    double lowFrom = 0, lowBy = 0;  // from x `lowFrom` on (over a 300-pixel ramp), roofs stand `lowBy` lower
};

static void building(cairo_t* cr, Rng& rng, double x, double w, double top, double bottom, const SkylineStyle& st)
{
    int roof = rngInt(rng, 6);
    double u = st.unit;
    cairo_new_path(cr);
    cairo_move_to(cr, x, bottom);
    cairo_line_to(cr, x, top);
    if (roof == 1) {  // pitched
        cairo_line_to(cr, x + w / 2, top - w * 0.35);
    } else if (roof == 2) {  // dome
        cairo_arc(cr, x + w / 2, top, w / 2, M_PI, 2 * M_PI);
    } else if (roof == 3) {  // spire
        cairo_line_to(cr, x + w * 0.4, top);
        cairo_line_to(cr, x + w * 0.5, top - w * 0.9 - 4 * u);
        cairo_line_to(cr, x + w * 0.6, top);
    } else if (roof == 4) {  // stepped
        cairo_line_to(cr, x + w * 0.2, top);
        cairo_line_to(cr, x + w * 0.2, top - 3 * u);
        cairo_line_to(cr, x + w * 0.8, top - 3 * u);
        cairo_line_to(cr, x + w * 0.8, top);
    }
    cairo_line_to(cr, x + w, top);
    cairo_line_to(cr, x + w, bottom);
    cairo_close_path(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, top, 0, bottom);
    double shade = rngRange(rng, 0.85, 1.15);
    cairo_pattern_add_color_stop_rgba(p, 0, st.body.r * shade, st.body.g * shade, st.body.b * shade, st.body.a);
    cairo_pattern_add_color_stop_rgba(p, 1, st.body2.r * shade, st.body2.g * shade, st.body2.b * shade, st.body2.a);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    // Chimneys on flat roofs.
    if (roof == 0 || roof == 5) {
        int n = 1 + rngInt(rng, 2);
        for (int i = 0; i < n; ++i) {
            rgba(cr, st.body);
            cairo_rectangle(cr, x + rngRange(rng, 0.1, 0.8) * w, top - 4 * u, std::max(1.6 * u, st.minDetail), 4 * u);
            cairo_fill(cr);
        }
    }
    if (st.rimLight > 0) {
        cairo_set_source_rgba(cr, st.rim.r, st.rim.g, st.rim.b, st.rimLight * rngRange(rng, 0.5, 1.0));
        cairo_rectangle(cr, x, top, w, std::max(0.6 * u, st.minDetail));
        cairo_fill(cr);
    }
    // Windows in a grid, some lit; the wall between two windows is never thinner than the finest detail.
    double cw = 2.2 * u, chh = 3.0 * u;
    double stepX = std::max(cw * 1.6, cw + st.minDetail), stepY = std::max(chh * 1.7, chh + st.minDetail);
    int cols = (int)((w - 2 * u) / stepX);
    int rows = (int)((bottom - top - 3 * u) / stepY);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c) {
            double wx = x + 1.4 * u + c * stepX, wy = top + 2.5 * u + r * stepY;
            if (wy > st.ground - chh)
                continue;
            if (rngUniform(rng) < st.litChance) {
                double warm = rngRange(rng, 0.75, 1.0);
                cairo_set_source_rgba(cr, st.lit.r * warm, st.lit.g * warm, st.lit.b * warm * rngRange(rng, 0.8, 1.1),
                                      st.lit.a);
            } else {
                cairo_set_source_rgba(cr, st.body2.r * 0.6, st.body2.g * 0.6, st.body2.b * 0.7, st.body.a);
            }
            cairo_rectangle(cr, wx, wy, cw, chh);
            cairo_fill(cr);
        }
}

static void skyline(Canvas& c, Rng& rng, const SkylineStyle& st)
{
    double bottom = c.height + 1;
    // Two rows: a taller, dimmer back row and the front row.
    for (int layer = 0; layer < 2; ++layer) {
        SkylineStyle s = st;
        if (layer == 0) {
            s.body = mixc(st.body, st.body2, 0.5);
            s.body.r *= 0.8;
            s.body.g *= 0.8;
            s.body.b *= 0.85;
            s.body2 = s.body;
            s.litChance = st.litChance * 0.5;
            s.minTop = st.minTop - (st.maxTop - st.minTop) * 0.3;
            s.maxTop = st.minTop + (st.maxTop - st.minTop) * 0.5;
        }
        // A page that tiles may start anywhere; a single picture starts left of its edge so no sky shows there.
        double x = st.tile ? rngRange(rng, 0, st.maxW) : -rngRange(rng, 0, st.maxW);
        double end = c.width + (st.tile ? 0 : st.maxW);
        double start = x;
        while (x < start + end - (st.tile ? st.minW : 0)) {
            double w = rngRange(rng, st.minW, st.maxW);
            if (st.tile && x + w > start + end)
                w = start + end - x;
            double top = rngRange(rng, s.minTop, s.maxTop);
            if (st.lowBy > 0 && x > st.lowFrom)
                top += st.lowBy * std::min(1.0, (x - st.lowFrom) / 300);
            Rng copy = rng;
            building(c.cr, rng, x, w, top, bottom, s);
            if (st.tile && x + w > c.width)
                building(c.cr, copy, x - c.width, w, top, bottom, s);
            if (st.tile && x < c.width && x + w > c.width) {}
            x += w + rngRange(rng, 0, st.unit * 2);
            if (st.tile && x >= c.width)
                x -= c.width, start -= c.width;
            if (!st.tile && x > end)
                break;
        }
        if (layer == 0 && st.haze.a > 0) {
            cairo_set_operator(c.cr, CAIRO_OPERATOR_ATOP);
            rgba(c.cr, st.haze);
            cairo_paint(c.cr);
            cairo_set_operator(c.cr, CAIRO_OPERATOR_OVER);
        }
    }
    // The street at the bottom.
    rgba(c.cr, st.body2);
    cairo_rectangle(c.cr, 0, st.ground, c.width, c.height - st.ground);
    cairo_fill(c.cr);
}

//---- Trees and bushes: round canopies on trunks, tiling like the skylines

struct TreeStyle {
    double ground;
    double minTop, maxTop;
    double minR, maxR;
    Rgba leaf, leaf2, trunk;
    int tile;
};

static void canopy(cairo_t* cr, Rng& rng, double cx, double top, double r, double ground, const TreeStyle& st,
                   double shift)
{
    cx += shift;
    rgba(cr, st.trunk);
    cairo_rectangle(cr, cx - r * 0.12, top + r, r * 0.24, ground - top - r + 2);
    cairo_fill(cr);
    for (int k = 0; k < 9; ++k) {
        double a = rngRange(rng, 0, 2 * M_PI), d = rngRange(rng, 0, r * 0.55);
        double rr = rngRange(rng, r * 0.45, r * 0.7);
        double y = top + r + sin(a) * d * 0.8;
        Rgba col = mixc(st.leaf, st.leaf2, rngUniform(rng));
        rgba(cr, col);
        cairo_arc(cr, cx + cos(a) * d, y, rr, 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

static void trees(Canvas& c, Rng& rng, const TreeStyle& st)
{
    double x = 0;
    while (x < c.width) {
        double r = rngRange(rng, st.minR, st.maxR);
        double top = rngRange(rng, st.minTop, st.maxTop);
        Rng copy = rng;
        canopy(c.cr, rng, x, top, r, st.ground, st, 0);
        if (st.tile && x + r * 1.3 > c.width)
            canopy(c.cr, copy, x, top, r, st.ground, st, -c.width);
        if (st.tile && x - r * 1.3 < 0) {
            Rng copy2 = copy;
            canopy(c.cr, copy2, x, top, r, st.ground, st, c.width);
        }
        x += r * rngRange(rng, 0.8, 1.4);
    }
    rgba(c.cr, st.leaf2);
    cairo_rectangle(c.cr, 0, st.ground, c.width, c.height - st.ground + 1);
    cairo_fill(c.cr);
}

//---- Street lamp: a lantern whose head sits at (hx, hy), the post running down to `bottom`

static void streetLamp(cairo_t* cr, double hx, double hy, double s, double bottom, Rgba iron, Rgba light)
{
    rgba(cr, iron);
    cairo_rectangle(cr, hx - 3 * s, hy + 12 * s, 6 * s, bottom - hy - 12 * s);
    cairo_fill(cr);
    cairo_rectangle(cr, hx - 7 * s, bottom - 40 * s, 14 * s, 40 * s);
    cairo_fill(cr);
    cairo_rectangle(cr, hx - 5 * s, hy + 40 * s, 10 * s, 4 * s);
    cairo_fill(cr);
    cairo_rectangle(cr, hx - 12 * s, hy + 20 * s, 24 * s, 2.5 * s);  // the ladder bar
    cairo_fill(cr);
    // The lantern: cap, glass, base.
    static const double CAP[] = {-12, -12, 12, -12, 0, -26};
    cairo_save(cr);
    cairo_translate(cr, hx, hy);
    cairo_scale(cr, s, s);
    poly(cr, CAP, 3);
    rgba(cr, iron);
    cairo_fill(cr);
    cairo_arc(cr, 0, -29, 3, 0, 2 * M_PI);
    cairo_fill(cr);
    static const double GLASS[] = {-10, -12, 10, -12, 7, 10, -7, 10};
    poly(cr, GLASS, 4);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, -1, 1, 0, -1, 14);
    cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 0.92, 1);
    cairo_pattern_add_color_stop_rgba(p, 1, light.r, light.g, light.b, 1);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    rgba(cr, iron);
    cairo_set_line_width(cr, 1.5);
    poly(cr, GLASS, 4);
    cairo_stroke(cr);
    cairo_move_to(cr, 0, -12);
    cairo_line_to(cr, 0, 10);
    cairo_stroke(cr);
    cairo_rectangle(cr, -8, 10, 16, 3);
    cairo_fill(cr);
    cairo_restore(cr);
}

//---- The pictures

void paintSkyline(Canvas& c, Rng& rng)
{
    double H = c.height;
    SkylineStyle st = {H - 20, 40,   200, 40, 110, {0.06, 0.05, 0.12, 1}, {0.02, 0.02, 0.05, 1},
                       WINDOW, 0.22, 2.6, 1,  0.4, {0.6, 0.4, 0.7, 1},    0};
    skyline(c, rng, st);
}

void paintPrologueSkyline(Canvas& c, Rng& rng)
{
    double H = c.height;
    // Low roofs under a wide sky; the tree band (from y 430) hides the street.
    SkylineStyle st = {H - 10, 150,  250, 50, 120, {0.3, 0.18, 0.35, 1}, {0.15, 0.08, 0.2, 1},
                       WINDOW, 0.15, 3.0, 1,  0.7, {1.0, 0.6, 0.4, 1},   0};
    skyline(c, rng, st);
}

void paintSunsetTrees(Canvas& c, Rng& rng)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    // Trees of many heights over a field that falls away in rows of hedges, dusk light on their tops, so the
    // bottom of the screen is a landscape and not a flat black.
    TreeStyle st = {150, 10, 100, 28, 62, {0.14, 0.1, 0.16, 1}, {0.07, 0.05, 0.09, 1}, {0.05, 0.04, 0.06, 1}, 1};
    // Distant fields behind the trees meet the skyline's street (which ends at y 66 of this band on screen).
    Rgba far[2] = {{0.2, 0.12, 0.2, 1}, {0.1, 0.07, 0.12, 1}};
    vgradient(cr, 0, 50, W, 110, far, 2);
    trees(c, rng, st);
    Rgba field[3] = {{0.1, 0.07, 0.12, 1}, {0.07, 0.05, 0.09, 1}, {0.03, 0.02, 0.04, 1}};
    vgradient(cr, 0, 150, W, H - 150, field, 3);
    for (int row = 0; row < 3; ++row) {
        double y = 185 + row * 55, r = 10 + row * 5;
        Rgba leaf = mixc(Rgba{0.2, 0.13, 0.2, 1}, Rgba{0.06, 0.04, 0.07, 1}, row / 2.0);
        for (double x = -r; x < W + r; x += r * 1.2) {
            // Bumps repeat across the width exactly, so the pages still tile.
            double bump = r * (0.8 + 0.3 * std::sin(x * 0.11 + row) * std::sin(x * 0.037));
            rgba(cr, leaf);
            cairo_arc(cr, x, y, bump, 0, 2 * M_PI);
            cairo_fill(cr);
        }
        rgba(cr, leaf);
        cairo_rectangle(cr, 0, y, W, 8);
        cairo_fill(cr);
    }
}

void paintTreeline(Canvas& c, Rng& rng)
{
    // Low, round crowns close together: under the night's black tint they must read as a park's trees between the
    // houses, not as tall dark gaps in the street.
    TreeStyle st = {150, 70, 112, 30, 42, {0.2, 0.32, 0.22, 1}, {0.12, 0.2, 0.15, 1}, {0.15, 0.1, 0.07, 1}, 1};
    trees(c, rng, st);
}

void paintCity(Canvas& c, Rng& rng)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    // The game tints the city (0.6, 1, 0.7) through the night, which turns yellow light lime and grey walls teal.
    // Painted with that in mind: dark plum faces that land near-black blue, few windows, lit in an orange that
    // lands warm amber; every detail at least 3 pixels wide, since the game draws the city at scale 2.
    // Few lit windows and a haze over the back row: a calm field behind the owl, the pigeons and the lamps.
    SkylineStyle st = {
        H - 12, 40, 190, 34,   80,  {0.2, 0.12, 0.25, 1},   {0.11, 0.07, 0.15, 1}, {1.0, 0.5, 0.3, 1}, 0.07,
        2.2,    1,  0.0, NONE, 3.0, {0.2, 0.15, 0.28, 0.45}};
    skyline(c, rng, st);
    // The pavement and kerb the citizens walk on.
    rgba(cr, Rgba{0.22, 0.14, 0.25, 1});
    cairo_rectangle(cr, 0, H - 12, W, 12);
    cairo_fill(cr);
    rgba(cr, Rgba{0.42, 0.3, 0.42, 1});
    cairo_rectangle(cr, 0, H - 12, W, 3);
    cairo_fill(cr);
}

void paintLamp1(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double H = c.height;
    radial(cr, 26, 36, 22, Rgba{1.0, 0.85, 0.5, 0.5}, Rgba{1.0, 0.7, 0.3, 1});
    streetLamp(cr, 26, 36, 1.0, H, Rgba{0.1, 0.1, 0.12, 1}, Rgba{1.0, 0.75, 0.3, 1});
}

void paintHalo(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    cairo_pattern_t* p = cairo_pattern_create_radial(166, 186, 0, 166, 186, 166);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.9, 0.6, 0.55);
    cairo_pattern_add_color_stop_rgba(p, 0.25, 1.0, 0.8, 0.45, 0.3);
    cairo_pattern_add_color_stop_rgba(p, 1, 1.0, 0.7, 0.3, 0);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
}

void paintSkylineRed(Canvas& c, Rng& rng)
{
    double H = c.height;
    SkylineStyle st = {H - 4,
                       380,
                       560,
                       40,
                       110,
                       {0.35, 0.05, 0.07, 1},
                       {0.22, 0.02, 0.04, 1},
                       {1.0, 0.5, 0.3, 1},
                       0.15,
                       3.0,
                       0,
                       0.5,
                       {1, 0.3, 0.2, 1},
                       0};
    skyline(c, rng, st);
    // The view tilts up faster over the city than over this far skyline, so the skyline's foot comes into view
    // over the sky: it dissolves into the red haze over its lowest rows instead of ending in an edge.
    cairo_pattern_t* fade = cairo_pattern_create_linear(0, 570, 0, H);
    cairo_pattern_add_color_stop_rgba(fade, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(fade, 1, 0, 0, 0, 0);
    cairo_set_operator(c.cr, CAIRO_OPERATOR_DEST_IN);
    cairo_set_source(c.cr, fade);
    cairo_paint(c.cr);
    cairo_set_operator(c.cr, CAIRO_OPERATOR_OVER);
    cairo_pattern_destroy(fade);
}

void paintCityRed(Canvas& c, Rng& rng)
{
    double H = c.height;
    SkylineStyle st = {H - 4,
                       300,
                       520,
                       70,
                       170,
                       {0.2, 0.02, 0.04, 1},
                       {0.08, 0.0, 0.02, 1},
                       {1.0, 0.55, 0.3, 1},
                       0.25,
                       4.5,
                       0,
                       0.6,
                       {1, 0.25, 0.15, 1},
                       0};
    skyline(c, rng, st);
}

void paintLampPosts(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double H = c.height;
    for (int i = 0; i < 2; ++i) {
        double x = 60 + i * 180, y = 60 + i * 20;
        radial(cr, x, y, 55, Rgba{1.0, 0.4, 0.2, 0.5}, Rgba{1.0, 0.2, 0.1, 1});
        streetLamp(cr, x, y, 1.6, H, Rgba{0.08, 0.0, 0.01, 1}, Rgba{1.0, 0.45, 0.25, 1});
    }
}

void paintFrontBushes(Canvas& c, Rng& rng)
{
    // A low hedge along the bottom edge (from about y 645 on screen, just above the letterbox's lower bar): the
    // citizen walking at y 480 stays in view above it.
    TreeStyle st = {140, 95, 115, 14, 26, {0.25, 0.03, 0.05, 1}, {0.12, 0.0, 0.02, 1}, {0.1, 0, 0.01, 1}, 0};
    trees(c, rng, st);
}

void paintSkylineBlue(Canvas& c, Rng& rng)
{
    double H = c.height;
    SkylineStyle st = {H - 4,
                       30,
                       150,
                       30,
                       70,
                       {0.35, 0.45, 0.65, 1},
                       {0.22, 0.3, 0.48, 1},
                       {1.0, 0.9, 0.6, 1},
                       0.12,
                       1.8,
                       0,
                       0.6,
                       {1, 0.85, 0.5, 1},
                       3.0};
    skyline(c, rng, st);
}

void paintCityDark(Canvas& c, Rng& rng)
{
    double H = c.height;
    // The second half of the street is what the view holds from the run's end through the look up: low houses
    // there, so that the look up ends on the morning sky.
    SkylineStyle st = {H - 4,  60,  330, 80, 190, {0.3, 0.34, 0.5, 1}, {0.15, 0.17, 0.28, 1},
                       WINDOW, 0.3, 4.0, 0,  0.7, {1, 0.8, 0.45, 1},   0,
                       NONE,   850, 190};
    skyline(c, rng, st);
}

void paintLampBeat(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double H = c.height;
    radial(cr, 60, 70, 55, Rgba{1.0, 0.9, 0.6, 0.5}, Rgba{1.0, 0.8, 0.4, 1});
    streetLamp(cr, 60, 70, 2.2, H, Rgba{0.1, 0.1, 0.14, 1}, Rgba{1.0, 0.8, 0.4, 1});
}

void paintBushBeat(Canvas& c, Rng& rng)
{
    TreeStyle st = {90, 0, 40, 30, 60, {0.3, 0.55, 0.3, 1}, {0.18, 0.38, 0.2, 1}, {0.2, 0.15, 0.1, 1}, 1};
    trees(c, rng, st);
}
