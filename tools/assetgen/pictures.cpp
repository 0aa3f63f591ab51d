// DUNMARROW asset generator: every picture of the game, painted with cairo.
// A night city seen from the air: the owl, pigeons, gentlemen in top hats, street lamps, skies and the cards.

#include "assetgen.h"   // Canvas, Rgba, AssetEntry, text and blur helpers
#include <cmath>        // sin, cos, M_PI
#include <cstdio>       // snprintf, fprintf
#include <cstring>      // strcmp
#include <algorithm>    // std::max

//---- Palette

static constexpr Rgba OWL_BODY = {0.48, 0.32, 0.19, 1}, OWL_WING = {0.37, 0.24, 0.13, 1},
                      OWL_DARK = {0.22, 0.14, 0.08, 1}, OWL_CREAM = {0.93, 0.87, 0.74, 1},
                      OWL_FACE = {0.86, 0.78, 0.62, 1}, AMBER = {0.98, 0.66, 0.09, 1},
                      WINDOW = {1.0, 0.82, 0.45, 1}, COAT = {0.14, 0.16, 0.24, 1}, HAT = {0.07, 0.07, 0.09, 1},
                      SKIN = {0.91, 0.77, 0.63, 1}, NONE = {0, 0, 0, 0}, WHITE = {1, 1, 1, 1},
                      BLACK = {0, 0, 0, 1};

static void rgba(cairo_t *cr, Rgba c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }
static Rgba mixc(Rgba a, Rgba b, double t) {
  return Rgba{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}
static Rgba alpha(Rgba c, double a) { return Rgba{c.r, c.g, c.b, a}; }

// Lays `shape` (a picture of the canvas' size) on the canvas over copies of its own outline in `ink`, shifted
// around a ring of `width` pixels: a dark edge that keeps a light sprite readable on any ground. With `dx`, `dy`
// set, the ink is a light from that side instead: one shifted copy, a rim along the lit edges.
static void layWithEdge(Canvas &c, cairo_surface_t *shape, Rgba ink, double width, double dx = 0, double dy = 0) {
  cairo_set_source_rgba(c.cr, ink.r, ink.g, ink.b, ink.a);
  if (dx != 0 || dy != 0) cairo_mask_surface(c.cr, shape, dx, dy);
  else
    for (int k = 0; k < 12; ++k) {
      double a = k * M_PI / 6;
      cairo_set_source_rgba(c.cr, ink.r, ink.g, ink.b, ink.a);
      cairo_mask_surface(c.cr, shape, std::cos(a) * width, std::sin(a) * width);
    }
  cairo_set_source_surface(c.cr, shape, 0, 0);
  cairo_paint(c.cr);
}

static void ellipse(cairo_t *cr, double cx, double cy, double rx, double ry) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_scale(cr, rx, ry);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
}

static void poly(cairo_t *cr, const double *xy, int n) {
  cairo_move_to(cr, xy[0], xy[1]);
  for (int i = 1; i < n; ++i) cairo_line_to(cr, xy[2 * i], xy[2 * i + 1]);
  cairo_close_path(cr);
}

// A smooth closed shape through the points (Catmull-Rom turned into Bezier curves).
static void blob(cairo_t *cr, const double *xy, int n) {
  cairo_move_to(cr, xy[0], xy[1]);
  for (int i = 0; i < n; ++i) {
    int i0 = (i + n - 1) % n, i1 = i, i2 = (i + 1) % n, i3 = (i + 2) % n;
    double c1x = xy[2 * i1] + (xy[2 * i2] - xy[2 * i0]) / 6, c1y = xy[2 * i1 + 1] + (xy[2 * i2 + 1] - xy[2 * i0 + 1]) / 6;
    double c2x = xy[2 * i2] - (xy[2 * i3] - xy[2 * i1]) / 6, c2y = xy[2 * i2 + 1] - (xy[2 * i3 + 1] - xy[2 * i1 + 1]) / 6;
    cairo_curve_to(cr, c1x, c1y, c2x, c2y, xy[2 * i2], xy[2 * i2 + 1]);
  }
  cairo_close_path(cr);
}

static void vgradient(cairo_t *cr, double x, double y, double w, double h, const Rgba *stops, int n) {
  cairo_pattern_t *p = cairo_pattern_create_linear(0, y, 0, y + h);
  for (int i = 0; i < n; ++i) cairo_pattern_add_color_stop_rgba(p, (double)i / (n - 1), stops[i].r, stops[i].g, stops[i].b, stops[i].a);
  cairo_rectangle(cr, x, y, w, h);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

static void radial(cairo_t *cr, double cx, double cy, double r, Rgba inner, Rgba outer) {
  cairo_pattern_t *p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  cairo_pattern_add_color_stop_rgba(p, 0, inner.r, inner.g, inner.b, inner.a);
  cairo_pattern_add_color_stop_rgba(p, 1, outer.r, outer.g, outer.b, 0);
  cairo_set_source(cr, p);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
}

static void stars(cairo_t *cr, Rng &rng, double w, double h, int count, double brightness) {
  for (int i = 0; i < count; ++i) {
    double x = rngRange(rng, 0, w), y = rngRange(rng, 0, h);
    double r = rngRange(rng, 0.4, 1.3);
    double a = brightness * rngRange(rng, 0.3, 1.0) * (1.0 - 0.7 * y / h);
    cairo_set_source_rgba(cr, 0.95, 0.95, 1.0, a);
    cairo_arc(cr, x, y, r, 0, 2 * M_PI);
    cairo_fill(cr);
  }
}

static void moonDisc(cairo_t *cr, Rng &rng, double cx, double cy, double r, Rgba tint, double glow) {
  if (glow > 0) radial(cr, cx, cy, r * glow, alpha(tint, 0.35), tint);
  cairo_pattern_t *p = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r);
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

//---- City skylines: buildings with lit windows; pages that tile repeat seamlessly at the picture's width

struct SkylineStyle {
  double ground;           // y of the street (buildings fill down to the bottom)
  double minTop, maxTop;   // range of roof heights (y)
  double minW, maxW;       // building widths
  Rgba body, body2;        // wall colours, top to bottom
  Rgba lit;                // window light
  double litChance;
  double unit;             // size of a window cell
  int tile;
  double rimLight;         // 0..1 glow along the roofs (dawn or dusk light)
  Rgba rim;
  double minDetail;        // thinnest line, in picture pixels (3 on pictures the scenes draw at 2x)
};

static void building(cairo_t *cr, Rng &rng, double x, double w, double top, double bottom, const SkylineStyle &st) {
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
  cairo_pattern_t *p = cairo_pattern_create_linear(0, top, 0, bottom);
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
      if (wy > st.ground - chh) continue;
      if (rngUniform(rng) < st.litChance) {
        double warm = rngRange(rng, 0.75, 1.0);
        cairo_set_source_rgba(cr, st.lit.r * warm, st.lit.g * warm, st.lit.b * warm * rngRange(rng, 0.8, 1.1), st.lit.a);
      } else {
        cairo_set_source_rgba(cr, st.body2.r * 0.6, st.body2.g * 0.6, st.body2.b * 0.7, st.body.a);
      }
      cairo_rectangle(cr, wx, wy, cw, chh);
      cairo_fill(cr);
    }
}

static void skyline(Canvas &c, Rng &rng, const SkylineStyle &st) {
  double bottom = c.height + 1;
  // Two rows: a taller, dimmer back row and the front row.
  for (int layer = 0; layer < 2; ++layer) {
    SkylineStyle s = st;
    if (layer == 0) {
      s.body = mixc(st.body, st.body2, 0.5);
      s.body.r *= 0.8; s.body.g *= 0.8; s.body.b *= 0.85;
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
      if (st.tile && x + w > start + end) w = start + end - x;
      double top = rngRange(rng, s.minTop, s.maxTop);
      Rng copy = rng;
      building(c.cr, rng, x, w, top, bottom, s);
      if (st.tile && x + w > c.width) building(c.cr, copy, x - c.width, w, top, bottom, s);
      if (st.tile && x < c.width && x + w > c.width) {}
      x += w + rngRange(rng, 0, st.unit * 2);
      if (st.tile && x >= c.width) x -= c.width, start -= c.width;
      if (!st.tile && x > end) break;
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

static void canopy(cairo_t *cr, Rng &rng, double cx, double top, double r, double ground, const TreeStyle &st, double shift) {
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

static void trees(Canvas &c, Rng &rng, const TreeStyle &st) {
  double x = 0;
  while (x < c.width) {
    double r = rngRange(rng, st.minR, st.maxR);
    double top = rngRange(rng, st.minTop, st.maxTop);
    Rng copy = rng;
    canopy(c.cr, rng, x, top, r, st.ground, st, 0);
    if (st.tile && x + r * 1.3 > c.width) canopy(c.cr, copy, x, top, r, st.ground, st, -c.width);
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

//---- The owl in flight, facing right, on the 100 x 90 canvas (body centre near (46, 50), head at (66, 36))

enum { POSE_UP, POSE_DOWN, POSE_SWOOP };

static void owlWing(cairo_t *cr, int pose, Rgba col, Rgba dark, double dx, double dy) {
  static const double UP[] = {54, 44, 46, 30, 36, 14, 26, 4, 20, 8, 22, 16, 16, 20, 22, 28, 18, 34, 28, 40, 36, 50};
  static const double DOWN[] = {54, 46, 44, 56, 36, 70, 28, 86, 22, 84, 22, 74, 16, 72, 22, 64, 16, 60, 26, 54, 36, 52};
  static const double SWOOP[] = {60, 44, 40, 40, 20, 42, 4, 50, 10, 54, 6, 58, 16, 58, 30, 60, 52, 58};
  const double *pts = pose == POSE_UP ? UP : pose == POSE_DOWN ? DOWN : SWOOP;
  int n = pose == POSE_SWOOP ? 9 : 11;
  cairo_save(cr);
  cairo_translate(cr, dx, dy);
  blob(cr, pts, n);
  rgba(cr, col);
  cairo_fill_preserve(cr);
  rgba(cr, dark);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  // Feather bars across the wing.
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgba(cr, dark.r, dark.g, dark.b, 0.8);
  for (int i = 1; i < 4; ++i) {
    double t = i / 4.0;
    double x0 = pts[0] + (pts[6] - pts[0]) * t, y0 = pts[1] + (pts[7] - pts[1]) * t;
    double x1 = pts[2 * (n - 1)] + (pts[6] - pts[2 * (n - 1)]) * t, y1 = pts[2 * (n - 1) + 1] + (pts[7] - pts[2 * (n - 1) + 1]) * t;
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
  }
  // Pale spots on the coverts.
  cairo_set_source_rgba(cr, OWL_CREAM.r, OWL_CREAM.g, OWL_CREAM.b, 0.55 * col.a);
  for (int i = 0; i < 4; ++i) {
    double t = 0.2 + i * 0.15;
    cairo_arc(cr, pts[0] + (pts[6] - pts[0]) * t + 2, pts[1] + (pts[7] - pts[1]) * t + 2, 1.1, 0, 2 * M_PI);
    cairo_fill(cr);
  }
  cairo_restore(cr);
}

static void owlBody(cairo_t *cr, int pose, double shade) {
  auto tone = [shade](Rgba c) { return Rgba{c.r * shade, c.g * shade, c.b * shade, c.a}; };
  // Far wing first, darker, offset up and forward.
  owlWing(cr, pose, tone(OWL_DARK), tone(OWL_DARK), 6, pose == POSE_SWOOP ? -5 : -3);
  // Tail.
  static const double TAIL[] = {26, 46, 8, 44, 4, 52, 8, 60, 26, 58};
  poly(cr, TAIL, 5);
  rgba(cr, tone(OWL_WING));
  cairo_fill(cr);
  // Body and belly.
  cairo_save(cr);
  cairo_translate(cr, 44, 52);
  cairo_rotate(cr, pose == POSE_SWOOP ? -0.05 : -0.25);
  ellipse(cr, 0, 0, 24, 16);
  rgba(cr, tone(OWL_BODY));
  cairo_fill(cr);
  ellipse(cr, 6, 6, 16, 9);
  rgba(cr, tone(OWL_CREAM));
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 0.45 * shade, 0.3 * shade, 0.18 * shade, 0.8);
  cairo_set_line_width(cr, 1.0);
  for (int i = 0; i < 5; ++i) {
    double x = -6 + i * 5;
    cairo_move_to(cr, x - 2, 4 + (i % 2));
    cairo_line_to(cr, x, 7 + (i % 2));
    cairo_line_to(cr, x + 2, 4 + (i % 2));
    cairo_stroke(cr);
  }
  cairo_restore(cr);
  // Talons.
  if (pose != POSE_SWOOP) {
    cairo_set_source_rgba(cr, 0.85 * shade, 0.8 * shade, 0.65 * shade, 1);
    cairo_set_line_width(cr, 2.0);
    cairo_move_to(cr, 46, 64); cairo_line_to(cr, 48, 72);
    cairo_move_to(cr, 52, 63); cairo_line_to(cr, 55, 71);
    cairo_stroke(cr);
  } else {
    cairo_set_source_rgba(cr, 0.85 * shade, 0.8 * shade, 0.65 * shade, 1);
    cairo_set_line_width(cr, 2.0);
    cairo_move_to(cr, 52, 62); cairo_line_to(cr, 64, 66);
    cairo_move_to(cr, 50, 64); cairo_line_to(cr, 62, 69);
    cairo_stroke(cr);
  }
  // Head: ear tufts, round head, pale facial disc with a dark rim, beak.
  static const double TUFTS_L[] = {54, 28, 52, 18, 60, 24};
  static const double TUFTS_R[] = {72, 24, 80, 18, 78, 28};
  rgba(cr, tone(OWL_WING));
  poly(cr, TUFTS_L, 3); cairo_fill(cr);
  poly(cr, TUFTS_R, 3); cairo_fill(cr);
  ellipse(cr, 66, 37, 15, 14);
  rgba(cr, tone(OWL_BODY));
  cairo_fill(cr);
  ellipse(cr, 61, 37, 7.5, 8);
  ellipse(cr, 72, 37, 7.5, 8);
  rgba(cr, tone(OWL_FACE));
  cairo_fill(cr);
  cairo_set_line_width(cr, 1.0);
  rgba(cr, tone(OWL_DARK));
  ellipse(cr, 66.5, 37, 13, 11.5);
  cairo_stroke(cr);
  // Eye sockets (the eyes themselves are their own picture, drawn over every pose).
  rgba(cr, tone(OWL_DARK));
  cairo_arc(cr, 61, 36, 5.2, 0, 2 * M_PI); cairo_fill(cr);
  cairo_arc(cr, 72, 36, 5.2, 0, 2 * M_PI); cairo_fill(cr);
  static const double BEAK[] = {64.5, 41, 68.5, 41, 66.5, 47};
  poly(cr, BEAK, 3);
  cairo_set_source_rgba(cr, 0.35 * shade, 0.3 * shade, 0.25 * shade, 1);
  cairo_fill(cr);
  // Near wing over the body.
  owlWing(cr, pose, tone(OWL_WING), tone(OWL_DARK), 0, 0);
}

static void owlEyes(cairo_t *cr, double cx1, double cx2, double cy, double r) {
  for (double cx : {cx1, cx2}) {
    cairo_pattern_t *p = cairo_pattern_create_radial(cx - r * 0.2, cy - r * 0.2, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.86, 0.35, 1);
    cairo_pattern_add_color_stop_rgba(p, 1, AMBER.r * 0.85, AMBER.g * 0.75, AMBER.b, 1);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    rgba(cr, BLACK);
    cairo_arc(cr, cx + r * 0.1, cy, r * 0.5, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
    cairo_arc(cr, cx - r * 0.15, cy - r * 0.3, r * 0.2, 0, 2 * M_PI);
    cairo_fill(cr);
  }
}

// The owl's shape alone (for glows and the electrocution).
static void owlSilhouette(Canvas &c, int pose, Rgba col) {
  Canvas m = canvasCreate(c.width, c.height);
  owlBody(m.cr, pose, 1.0);
  cairo_set_operator(c.cr, CAIRO_OPERATOR_OVER);
  rgba(c.cr, col);
  cairo_mask_surface(c.cr, m.surface, 0, 0);
  canvasFree(m);
}

//---- Pigeon, 32 x 32, facing left (they fly from right to left)

static void pigeon(cairo_t *cr, int wingsUp, double shade) {
  auto g = [shade](double r, double gg, double b) { return Rgba{r * shade, gg * shade, b * shade, 1}; };
  // Far wing.
  static const double FAR_UP[] = {15, 15, 20, 3, 25, 5, 22, 15};
  static const double FAR_DOWN[] = {15, 19, 19, 29, 24, 27, 22, 19};
  poly(cr, wingsUp ? FAR_UP : FAR_DOWN, 4);
  rgba(cr, g(0.56, 0.58, 0.64));
  cairo_fill(cr);
  static const double TAIL[] = {22, 16, 31, 14, 31, 21, 22, 21};
  poly(cr, TAIL, 4);
  rgba(cr, g(0.62, 0.64, 0.7));
  cairo_fill(cr);
  rgba(cr, g(0.3, 0.3, 0.36));
  cairo_rectangle(cr, 29, 14.5, 2, 6.3);
  cairo_fill(cr);
  ellipse(cr, 16, 18, 9, 5.8);
  rgba(cr, g(0.82, 0.84, 0.88));
  cairo_fill(cr);
  ellipse(cr, 8.5, 12.5, 4.6, 4.4);
  rgba(cr, g(0.7, 0.73, 0.8));
  cairo_fill(cr);
  ellipse(cr, 10, 16.5, 3.4, 2.4);
  rgba(cr, Rgba{0.45 * shade, 0.75 * shade, 0.6 * shade, 1});
  cairo_fill(cr);
  ellipse(cr, 11, 17.5, 2.4, 1.5);
  rgba(cr, Rgba{0.7 * shade, 0.5 * shade, 0.75 * shade, 1});
  cairo_fill(cr);
  static const double BEAK[] = {4.2, 11.8, 0.6, 13.4, 4.2, 14.2};
  poly(cr, BEAK, 3);
  rgba(cr, g(0.25, 0.22, 0.2));
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 0.95 * shade, 0.95 * shade, 0.92 * shade, 1);
  cairo_arc(cr, 4.8, 11.6, 0.9, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 1.0 * shade, 0.55 * shade, 0.15 * shade, 1);
  cairo_arc(cr, 7.2, 11.4, 1.3, 0, 2 * M_PI);
  cairo_fill(cr);
  rgba(cr, BLACK);
  cairo_arc(cr, 7.2, 11.4, 0.6, 0, 2 * M_PI);
  cairo_fill(cr);
  // Near wing with its two dark bars.
  static const double UP[] = {12, 16, 22, 15, 27, 1, 19, 3};
  static const double DOWN[] = {12, 18, 22, 18, 26, 31, 17, 29};
  poly(cr, wingsUp ? UP : DOWN, 4);
  rgba(cr, g(0.74, 0.76, 0.82));
  cairo_fill_preserve(cr);
  rgba(cr, g(0.4, 0.41, 0.46));
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 1.4);
  for (int i = 0; i < 2; ++i) {
    double t = 0.35 + 0.25 * i;
    if (wingsUp) { cairo_move_to(cr, 12 + 7 * t, 16 - 13 * t); cairo_line_to(cr, 22 + 5 * t, 15 - 14 * t); }
    else { cairo_move_to(cr, 12 + 5 * t, 18 + 11 * t); cairo_line_to(cr, 22 + 4 * t, 18 + 13 * t); }
    cairo_stroke(cr);
  }
}

//---- A gentleman of the city in a top hat and dark coat, on a 36 x 110 frame (feet on the bottom row)

enum { GENT_WALK, GENT_TALK, GENT_KNOCKED, GENT_CHEER };

static void topHat(cairo_t *cr, double cx, double cy, double angle, Rgba hat, Rgba band) {
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  cairo_rotate(cr, angle);
  rgba(cr, hat);
  cairo_rectangle(cr, -7, -16, 14, 15);
  cairo_fill(cr);
  rgba(cr, band);
  cairo_rectangle(cr, -7, -5, 14, 3);
  cairo_fill(cr);
  rgba(cr, hat);
  ellipse(cr, 0, -1, 11, 2.6);
  cairo_fill(cr);
  cairo_restore(cr);
}

static void gentleman(cairo_t *cr, int pose, Rgba coat, Rgba skin, Rgba hat) {
  Rgba band = {0.45, 0.12, 0.16, 1};
  Rgba trousers = {coat.r * 0.8 + 0.05, coat.g * 0.8 + 0.05, coat.b * 0.8 + 0.05, 1};
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  if (pose == GENT_KNOCKED) {
    // Sat down hard on the street, hat knocked into the air, seeing stars.
    cairo_set_line_width(cr, 6);
    rgba(cr, trousers);
    cairo_move_to(cr, 16, 96); cairo_line_to(cr, 24, 90); cairo_line_to(cr, 32, 104);
    cairo_move_to(cr, 17, 98); cairo_line_to(cr, 28, 100); cairo_line_to(cr, 33, 92);
    cairo_stroke(cr);
    rgba(cr, BLACK);
    ellipse(cr, 32, 106, 3.5, 2.2); cairo_fill(cr);
    ellipse(cr, 34, 91, 2.2, 3.2); cairo_fill(cr);
    static const double TORSO[] = {8, 66, 18, 62, 24, 98, 10, 102};
    poly(cr, TORSO, 4);
    rgba(cr, coat);
    cairo_fill(cr);
    cairo_set_line_width(cr, 4.5);
    cairo_move_to(cr, 10, 68); cairo_line_to(cr, 3, 80);
    cairo_move_to(cr, 18, 66); cairo_line_to(cr, 28, 60);
    cairo_stroke(cr);
    rgba(cr, skin);
    cairo_arc(cr, 11, 58, 6.5, 0, 2 * M_PI); cairo_fill(cr);
    cairo_arc(cr, 3, 81, 2, 0, 2 * M_PI); cairo_fill(cr);
    cairo_arc(cr, 29, 59, 2, 0, 2 * M_PI); cairo_fill(cr);
    rgba(cr, BLACK);
    cairo_set_line_width(cr, 1);
    // Dazed eyes: little crosses.
    cairo_move_to(cr, 8, 56); cairo_line_to(cr, 10, 58); cairo_move_to(cr, 10, 56); cairo_line_to(cr, 8, 58);
    cairo_move_to(cr, 12, 56); cairo_line_to(cr, 14, 58); cairo_move_to(cr, 14, 56); cairo_line_to(cr, 12, 58);
    cairo_stroke(cr);
    topHat(cr, 24, 28, 0.7, hat, band);
    cairo_set_source_rgba(cr, 1.0, 0.9, 0.3, 1);
    for (int i = 0; i < 3; ++i) {
      double sx = 4 + i * 9, sy = 46 - (i % 2) * 4;
      cairo_move_to(cr, sx, sy - 3); cairo_line_to(cr, sx + 1, sy - 1); cairo_line_to(cr, sx + 3, sy);
      cairo_line_to(cr, sx + 1, sy + 1); cairo_line_to(cr, sx, sy + 3); cairo_line_to(cr, sx - 1, sy + 1);
      cairo_line_to(cr, sx - 3, sy); cairo_line_to(cr, sx - 1, sy - 1); cairo_close_path(cr);
      cairo_fill(cr);
    }
    return;
  }
  // Legs mid-stride.
  cairo_set_line_width(cr, 6);
  rgba(cr, trousers);
  cairo_move_to(cr, 15, 80); cairo_line_to(cr, 10, 106);
  cairo_move_to(cr, 21, 80); cairo_line_to(cr, 25, 106);
  cairo_stroke(cr);
  rgba(cr, BLACK);
  ellipse(cr, 8.5, 107.5, 4.5, 2.5); cairo_fill(cr);
  ellipse(cr, 26, 107.5, 4.5, 2.5); cairo_fill(cr);
  // Coat with tails.
  static const double COAT_PTS[] = {10, 36, 26, 36, 29, 62, 31, 88, 19, 84, 17, 84, 5, 88, 7, 62};
  poly(cr, COAT_PTS, 8);
  rgba(cr, coat);
  cairo_fill(cr);
  static const double SHIRT[] = {15, 36, 21, 36, 18, 46};
  poly(cr, SHIRT, 3);
  rgba(cr, WHITE);
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 0.7, 0.6, 0.3, 1);
  cairo_arc(cr, 18, 55, 0.9, 0, 2 * M_PI); cairo_arc(cr, 18, 61, 0.9, 0, 2 * M_PI);
  cairo_fill(cr);
  // Arms: a cane in the near hand; talking shakes a fist, cheering waves the hat.
  cairo_set_line_width(cr, 4.5);
  rgba(cr, mixc(coat, BLACK, 0.2));
  cairo_move_to(cr, 11, 40); cairo_line_to(cr, 8, 68);
  if (pose == GENT_TALK || pose == GENT_CHEER) { cairo_move_to(cr, 25, 40); cairo_line_to(cr, 31, 24); }
  else { cairo_move_to(cr, 25, 40); cairo_line_to(cr, 29, 66); }
  cairo_stroke(cr);
  rgba(cr, skin);
  cairo_arc(cr, 8, 70, 2.2, 0, 2 * M_PI); cairo_fill(cr);
  if (pose == GENT_TALK || pose == GENT_CHEER) { cairo_arc(cr, 31.5, 21.5, 2.5, 0, 2 * M_PI); cairo_fill(cr); }
  else {
    cairo_arc(cr, 29, 68, 2.2, 0, 2 * M_PI); cairo_fill(cr);
    cairo_set_line_width(cr, 1.5);
    cairo_set_source_rgba(cr, 0.35, 0.22, 0.12, 1);
    cairo_move_to(cr, 29.5, 66); cairo_line_to(cr, 32, 108);
    cairo_stroke(cr);
  }
  // Head, whiskers, hat.
  rgba(cr, skin);
  cairo_arc(cr, 18, 28, 7, 0, 2 * M_PI);
  cairo_fill(cr);
  rgba(cr, BLACK);
  cairo_arc(cr, 15.5, 27, 0.9, 0, 2 * M_PI); cairo_arc(cr, 20.5, 27, 0.9, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_set_source_rgba(cr, 0.3, 0.2, 0.12, 1);
  cairo_set_line_width(cr, 1.6);
  cairo_move_to(cr, 13.5, 31.5); cairo_curve_to(cr, 16, 30, 17, 31, 18, 31.5);
  cairo_curve_to(cr, 19, 31, 20, 30, 22.5, 31.5);
  cairo_stroke(cr);
  if (pose == GENT_TALK) {
    rgba(cr, Rgba{0.35, 0.05, 0.05, 1});
    ellipse(cr, 18, 33.5, 2, 1.6);
    cairo_fill(cr);
  }
  if (pose == GENT_CHEER) topHat(cr, 32, 16, -0.3, hat, band);
  else topHat(cr, 18, 21, 0, hat, band);
}

//---- Street lamp: a lantern whose head sits at (hx, hy), the post running down to `bottom`

static void streetLamp(cairo_t *cr, double hx, double hy, double s, double bottom, Rgba iron, Rgba light) {
  rgba(cr, iron);
  cairo_rectangle(cr, hx - 3 * s, hy + 12 * s, 6 * s, bottom - hy - 12 * s);
  cairo_fill(cr);
  cairo_rectangle(cr, hx - 7 * s, bottom - 40 * s, 14 * s, 40 * s);
  cairo_fill(cr);
  cairo_rectangle(cr, hx - 5 * s, hy + 40 * s, 10 * s, 4 * s);
  cairo_fill(cr);
  cairo_rectangle(cr, hx - 12 * s, hy + 20 * s, 24 * s, 2.5 * s);   // the ladder bar
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
  cairo_pattern_t *p = cairo_pattern_create_radial(0, -1, 1, 0, -1, 14);
  cairo_pattern_add_color_stop_rgba(p, 0, 1, 1, 0.92, 1);
  cairo_pattern_add_color_stop_rgba(p, 1, light.r, light.g, light.b, 1);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  rgba(cr, iron);
  cairo_set_line_width(cr, 1.5);
  poly(cr, GLASS, 4);
  cairo_stroke(cr);
  cairo_move_to(cr, 0, -12); cairo_line_to(cr, 0, 10);
  cairo_stroke(cr);
  cairo_rectangle(cr, -8, 10, 16, 3);
  cairo_fill(cr);
  cairo_restore(cr);
}

//---- The big owl portrait of the title, on a 420 x 493 frame, reaching its bottom edge

enum { FACE_CALM, FACE_BLINK, FACE_STARE, FACE_TWITCH };

static void portrait(cairo_t *cr, double ox, double oy, int face) {
  cairo_save(cr);
  cairo_translate(cr, ox, oy);
  if (face == FACE_TWITCH) {
    cairo_translate(cr, 210, 300);
    cairo_rotate(cr, -0.07);
    cairo_translate(cr, -210, -300);
  }
  // Shoulders and folded wings.
  ellipse(cr, 210, 470, 205, 250);
  rgba(cr, OWL_WING);
  cairo_fill(cr);
  ellipse(cr, 210, 455, 150, 215);
  rgba(cr, OWL_BODY);
  cairo_fill(cr);
  ellipse(cr, 210, 470, 105, 170);
  rgba(cr, OWL_CREAM);
  cairo_fill(cr);
  Rng rng = rngFromName("portrait-breast");
  cairo_set_source_rgba(cr, 0.5, 0.33, 0.18, 0.85);
  cairo_set_line_width(cr, 4);
  for (int i = 0; i < 36; ++i) {
    double x = rngRange(rng, 130, 290), y = rngRange(rng, 330, 480);
    cairo_move_to(cr, x - 7, y); cairo_line_to(cr, x, y + 8); cairo_line_to(cr, x + 7, y);
    cairo_stroke(cr);
  }
  // Wing feather edges.
  cairo_set_source_rgba(cr, OWL_DARK.r, OWL_DARK.g, OWL_DARK.b, 0.8);
  cairo_set_line_width(cr, 3);
  for (int i = 0; i < 6; ++i) {
    cairo_arc(cr, 40 + i * 8, 330 + i * 28, 40, 0.2, 1.6); cairo_stroke(cr);
    cairo_arc(cr, 380 - i * 8, 330 + i * 28, 40, 1.5, 2.9); cairo_stroke(cr);
  }
  // Head with ear tufts.
  static const double TUFT_L[] = {70, 120, 60, 10, 150, 70};
  static const double TUFT_R[] = {350, 120, 360, 10, 270, 70};
  rgba(cr, OWL_WING);
  blob(cr, TUFT_L, 3); cairo_fill(cr);
  blob(cr, TUFT_R, 3); cairo_fill(cr);
  ellipse(cr, 210, 185, 165, 140);
  rgba(cr, OWL_BODY);
  cairo_fill(cr);
  // Facial discs.
  for (int side = -1; side <= 1; side += 2) {
    cairo_pattern_t *p = cairo_pattern_create_radial(210 + side * 62, 180, 10, 210 + side * 62, 180, 82);
    cairo_pattern_add_color_stop_rgba(p, 0, OWL_CREAM.r, OWL_CREAM.g, OWL_CREAM.b, 1);
    cairo_pattern_add_color_stop_rgba(p, 1, OWL_FACE.r * 0.9, OWL_FACE.g * 0.85, OWL_FACE.b * 0.8, 1);
    ellipse(cr, 210 + side * 62, 180, 80, 84);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  rgba(cr, OWL_DARK);
  cairo_set_line_width(cr, 6);
  ellipse(cr, 210, 185, 150, 118);
  cairo_stroke(cr);
  // Eyes.
  double er = face == FACE_STARE ? 54 : 48;
  for (int side = -1; side <= 1; side += 2) {
    double cx = 210 + side * 62, cy = 178;
    double r = er + (face == FACE_TWITCH && side > 0 ? 10 : 0);
    rgba(cr, OWL_DARK);
    cairo_arc(cr, cx, cy, r + 7, 0, 2 * M_PI);
    cairo_fill(cr);
    if (face == FACE_BLINK) {
      rgba(cr, OWL_BODY);
      cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
      cairo_fill(cr);
      rgba(cr, OWL_DARK);
      cairo_set_line_width(cr, 5);
      cairo_arc(cr, cx, cy - 10, r * 0.9, 0.35, M_PI - 0.35);
      cairo_stroke(cr);
      continue;
    }
    cairo_pattern_t *p = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.9, 0.4, 1);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.9, 0.5, 0.05, 1);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    double pupil = face == FACE_STARE ? 0.18 : face == FACE_TWITCH ? (side > 0 ? 0.15 : 0.6) : 0.52;
    rgba(cr, BLACK);
    cairo_arc(cr, cx + side * 3, cy + 2, r * pupil, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
    cairo_arc(cr, cx - r * 0.3, cy - r * 0.35, r * 0.14, 0, 2 * M_PI);
    cairo_fill(cr);
    if (face == FACE_STARE || face == FACE_TWITCH) {
      // Brows drawn down in a frown.
      rgba(cr, OWL_DARK);
      cairo_set_line_width(cr, 12);
      cairo_move_to(cr, cx - side * 55, cy - r - 22);
      cairo_line_to(cr, cx + side * 40, cy - r + 8);
      cairo_stroke(cr);
    }
  }
  static const double BEAK[] = {190, 215, 230, 215, 210, 285};
  blob(cr, BEAK, 3);
  rgba(cr, Rgba{0.32, 0.27, 0.22, 1});
  cairo_fill(cr);
  if (face == FACE_TWITCH) {
    // Ruffled feathers standing up on the crown.
    rgba(cr, OWL_WING);
    for (int i = 0; i < 7; ++i) {
      double x = 120 + i * 30;
      cairo_move_to(cr, x - 10, 60); cairo_line_to(cr, x + (i % 2 ? 8 : -6), 26 + (i % 3) * 6); cairo_line_to(cr, x + 10, 60);
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);
}

//---- Cards and credits text

static void card(Canvas &c, const char *line1, const char *line2, Rgba ink, Rgba glow) {
  double w = c.width, h = c.height;
  drawGlowText(c, line1, w / 2, h * 0.5, h * 0.32, 1, ink, glow, 10);
  if (line2) drawText(c.cr, line2, w / 2, h * 0.82, h * 0.16, 1, alpha(ink, 0.85), NONE, 0);
}

static void creditImage(Canvas &c, const char *heading, const char *line, const char *line2) {
  double h = c.height;
  // Credits are drawn at scale 2: outlines of 1.5 pixels make 3 on screen. A three-line credit sits low in its
  // frame, clear of the title's subtitle above it.
  double size1 = line2 ? h * 0.2 : h * 0.32;
  double s2 = line2 ? h * 0.22 : h * 0.38;
  double top = line2 ? std::max(0.0, (h - (size1 + 14 + 2 * s2)) * 0.7) : 0;
  drawText(c.cr, heading, c.width / 2.0, top + size1 + 2, size1, 1, Rgba{1.0, 0.8, 0.4, 1}, Rgba{0.1, 0.05, 0, 0.8}, 1.5);
  drawText(c.cr, line, c.width / 2.0, top + size1 + 6 + s2, s2, 1, WHITE, Rgba{0.05, 0.05, 0.1, 0.8}, 1.5);
  if (line2) drawText(c.cr, line2, c.width / 2.0, top + size1 + 10 + 2 * s2, s2, 1, WHITE, Rgba{0.05, 0.05, 0.1, 0.8}, 1.5);
}

static void titleWord(Canvas &c, const char *word, double size, double y) {
  size = fitTextSize(c.cr, word, size, c.width - size * 0.3);
  // Gold letters with a dark edge and a warm glow: the game's name.
  Canvas g = canvasCreate(c.width, c.height);
  drawText(g.cr, word, c.width / 2.0, y, size, 1, Rgba{1.0, 0.6, 0.15, 0.9}, Rgba{1.0, 0.5, 0.1, 0.9}, size * 0.06);
  blurSurface(g.surface, size * 0.18);
  cairo_set_source_surface(c.cr, g.surface, 0, 0);
  cairo_paint(c.cr);
  canvasFree(g);
  setGameFont(c.cr, size);
  cairo_text_extents_t ext;
  cairo_text_extents(c.cr, word, &ext);
  double x = c.width / 2.0 - ext.x_advance / 2;
  cairo_move_to(c.cr, x, y);
  cairo_text_path(c.cr, word);
  cairo_set_source_rgba(c.cr, 0.12, 0.05, 0.02, 1);
  cairo_set_line_width(c.cr, size * 0.07);
  cairo_stroke_preserve(c.cr);
  cairo_pattern_t *p = cairo_pattern_create_linear(0, y - size * 0.75, 0, y);
  cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.95, 0.7, 1);
  cairo_pattern_add_color_stop_rgba(p, 0.55, 1.0, 0.75, 0.25, 1);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.8, 0.4, 0.1, 1);
  cairo_set_source(c.cr, p);
  cairo_fill(c.cr);
  cairo_pattern_destroy(p);
}

//---- Skies

static void nightSky(Canvas &c, Rng &rng, Rgba top, Rgba mid, Rgba bottom, int starCount) {
  Rgba st[3] = {top, mid, bottom};
  vgradient(c.cr, 0, 0, c.width, c.height, st, 3);
  stars(c.cr, rng, c.width, c.height * 0.7, starCount, 0.9);
}

// A wide bank of mist: a dense body across most of the width, long thin wisps trailing off it, and soft edges
// that reach nothing at the picture's border (the game scales it 2 to 4 times and lets banks overlap).
static void mistBank(Canvas &c, Rng &rng, Rgba col, int puffs) {
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
  cairo_t *cr = m.cr;
  cairo_set_operator(cr, CAIRO_OPERATOR_DEST_IN);
  cairo_pattern_t *across = cairo_pattern_create_linear(0, 0, w, 0);
  const double xs[5] = {0, 0.2, 0.5, 0.8, 1}, xa[5] = {0, 1, 1, 1, 0};
  for (int k = 0; k < 5; ++k) cairo_pattern_add_color_stop_rgba(across, xs[k], 1, 1, 1, xa[k]);
  cairo_set_source(cr, across);
  cairo_paint(cr);
  cairo_pattern_destroy(across);
  cairo_pattern_t *down = cairo_pattern_create_linear(0, 0, 0, h);
  const double ys[4] = {0, 0.3, 0.7, 1}, ya[4] = {0, 1, 1, 0};
  for (int k = 0; k < 4; ++k) cairo_pattern_add_color_stop_rgba(down, ys[k], 1, 1, 1, ya[k]);
  cairo_set_source(cr, down);
  cairo_paint(cr);
  cairo_pattern_destroy(down);
  cairo_set_source_surface(c.cr, m.surface, 0, 0);
  cairo_paint(c.cr);
  canvasFree(m);
}

//---- The pictures, one function each

static void paintOwlPose(Canvas &c, int pose) { owlBody(c.cr, pose, 1.0); }

static void paintZap(Canvas &c) {
  // The owl lit from within by the shock: a pale glowing shape, dark bones, lightning around it.
  Canvas g = canvasCreate(c.width, c.height);
  owlSilhouette(g, POSE_SWOOP, Rgba{0.7, 0.9, 1.0, 1});
  blurSurface(g.surface, 6);
  cairo_set_source_surface(c.cr, g.surface, 0, 0);
  cairo_paint(c.cr);
  canvasFree(g);
  owlSilhouette(c, POSE_SWOOP, Rgba{0.92, 0.97, 1.0, 0.85});
  cairo_t *cr = c.cr;
  cairo_set_source_rgba(cr, 0.15, 0.2, 0.35, 0.9);
  cairo_set_line_width(cr, 2);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, 20, 52); cairo_line_to(cr, 62, 48);                              // spine
  for (int i = 0; i < 4; ++i) { cairo_move_to(cr, 32 + i * 7, 46); cairo_line_to(cr, 30 + i * 7, 58); }  // ribs
  cairo_move_to(cr, 56, 44); cairo_line_to(cr, 30, 42); cairo_line_to(cr, 8, 50);    // wing bones
  cairo_stroke(cr);
  cairo_arc(cr, 66, 37, 10, 0, 2 * M_PI);
  cairo_stroke(cr);
  cairo_arc(cr, 61, 36, 3.5, 0, 2 * M_PI); cairo_arc(cr, 72, 36, 3.5, 0, 2 * M_PI);
  cairo_fill(cr);
  Rng rng = rngFromName("zap.png");
  for (int b = 0; b < 6; ++b) {
    double a = b * M_PI / 3 + rngRange(rng, -0.3, 0.3);
    double x = 48 + cos(a) * 20, y = 48 + sin(a) * 18;
    cairo_move_to(cr, x, y);
    for (int k = 0; k < 4; ++k) {
      x += cos(a) * 6 + rngRange(rng, -4, 4);
      y += sin(a) * 6 + rngRange(rng, -4, 4);
      cairo_line_to(cr, x, y);
    }
    cairo_set_source_rgba(cr, 1.0, 1.0, 0.7, 1);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
  }
}

static void paintOwntest(Canvas &c) {
  owlSilhouette(c, POSE_DOWN, Rgba{0.2, 0.8, 0.3, 0.6});
  rgba(c.cr, Rgba{1, 0, 0, 1});
  cairo_arc(c.cr, 50, 45, 2, 0, 2 * M_PI);
  cairo_fill(c.cr);
}

static void paintBigOwl(Canvas &c, double s, int pose, double dx) {
  cairo_save(c.cr);
  cairo_translate(c.cr, dx, 0);
  cairo_scale(c.cr, s, s);
  owlBody(c.cr, pose, 1.0);
  owlEyes(c.cr, 61, 72, 36, 4.6);
  cairo_restore(c.cr);
}

// The prologue's owl against the setting sun: dark, with a warm rim of light.
static void paintSunsetOwl(Canvas &c, int pose, double dx) {
  Canvas rim = canvasCreate(c.width, c.height);
  cairo_save(rim.cr);
  cairo_translate(rim.cr, dx, 0);
  cairo_scale(rim.cr, 1.35, 1.35);
  owlBody(rim.cr, pose, 1.0);
  cairo_restore(rim.cr);
  cairo_set_source_rgba(c.cr, 1.0, 0.6, 0.25, 1);
  cairo_mask_surface(c.cr, rim.surface, -1.5, -1.5);
  cairo_save(c.cr);
  cairo_translate(c.cr, dx, 0);
  cairo_scale(c.cr, 1.35, 1.35);
  owlBody(c.cr, pose, 0.55);
  owlEyes(c.cr, 61, 72, 36, 4.6);
  cairo_restore(c.cr);
  canvasFree(rim);
}

static void paintGentlemanAt(Canvas &c, int pose, double s, Rgba coat, Rgba skin, Rgba hat) {
  cairo_save(c.cr);
  cairo_translate(c.cr, (c.width - 36 * s) / 2, c.height - 110 * s);
  cairo_scale(c.cr, s, s);
  gentleman(c.cr, pose, coat, skin, hat);
  cairo_restore(c.cr);
}

static void paintIcon(Canvas &c, int skull) {
  cairo_t *cr = c.cr;
  cairo_save(cr);
  cairo_translate(cr, 26, 24);
  if (!skull) {
    // The owl's head, as in flight but face on.
    cairo_scale(cr, 1.35, 1.35);
    cairo_translate(cr, -66.5, -36);
    static const double TL[] = {54, 28, 50, 16, 60, 24};
    static const double TR[] = {79, 28, 83, 16, 73, 24};
    rgba(cr, OWL_WING);
    poly(cr, TL, 3); cairo_fill(cr);
    poly(cr, TR, 3); cairo_fill(cr);
    ellipse(cr, 66.5, 37, 16, 14);
    rgba(cr, OWL_BODY); cairo_fill(cr);
    ellipse(cr, 61, 37, 7.5, 8); ellipse(cr, 72, 37, 7.5, 8);
    rgba(cr, OWL_FACE); cairo_fill(cr);
    owlEyes(cr, 61, 72, 36, 4.8);
    static const double BEAK[] = {64.5, 41, 68.5, 41, 66.5, 47};
    poly(cr, BEAK, 3);
    rgba(cr, Rgba{0.35, 0.3, 0.25, 1}); cairo_fill(cr);
  } else {
    ellipse(cr, 0, -2, 17, 16);
    rgba(cr, Rgba{0.82, 0.8, 0.74, 1}); cairo_fill(cr);
    cairo_rectangle(cr, -9, 8, 18, 10); cairo_fill(cr);
    rgba(cr, Rgba{0.12, 0.1, 0.12, 1});
    ellipse(cr, -7, -2, 5, 5.5); cairo_fill(cr);
    ellipse(cr, 7, -2, 5, 5.5); cairo_fill(cr);
    static const double NOSE[] = {0, 4, -2.5, 9, 2.5, 9};
    poly(cr, NOSE, 3); cairo_fill(cr);
    cairo_set_line_width(cr, 1.5);
    for (int i = -1; i <= 1; ++i) { cairo_move_to(cr, i * 4, 12); cairo_line_to(cr, i * 4, 18); }
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

static void paintHelp(Canvas &c, int which) {
  cairo_t *cr = c.cr;
  // A dark rounded plate with the instruction and a small picture of it.
  double w = c.width, h = c.height;
  cairo_new_path(cr);
  cairo_arc(cr, 14, 14, 12, M_PI, 1.5 * M_PI);
  cairo_arc(cr, w - 14, 14, 12, 1.5 * M_PI, 2 * M_PI);
  cairo_arc(cr, w - 14, h - 14, 12, 0, 0.5 * M_PI);
  cairo_arc(cr, 14, h - 14, 12, 0.5 * M_PI, M_PI);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 0.04, 0.05, 0.12, 0.6);
  cairo_fill_preserve(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  Rgba ink = {1, 1, 1, 1}, soft = {0.85, 0.9, 1.0, 0.9};
  if (which == 0) {
    cairo_save(cr); cairo_translate(cr, 14, 30); cairo_scale(cr, 1.6, 1.6); pigeon(cr, 1, 1.2); cairo_restore(cr);
    drawText(cr, "STRIKE THE PIGEONS", 78, 48, 24, 0, ink, NONE, 0);
    drawText(cr, "they fall on the gentlemen below", 78, 78, 16, 0, soft, NONE, 0);
  } else if (which == 1) {
    cairo_save(cr); cairo_translate(cr, 8, 20); cairo_scale(cr, 0.75, 0.75); cairo_translate(cr, 50, 45); cairo_rotate(cr, 0.5);
    cairo_translate(cr, -50, -45); owlBody(cr, POSE_SWOOP, 1.1); owlEyes(cr, 61, 72, 36, 4.6); cairo_restore(cr);
    drawText(cr, "HOLD SPACE TO SWOOP", 92, 46, 24, 0, ink, NONE, 0);
    drawText(cr, "arrows steer, up flaps", 92, 78, 17, 0, soft, NONE, 0);
  } else {
    drawText(cr, "PRESS SPACE", w / 2, 52, 28, 1, ink, NONE, 0);
    drawText(cr, "to take flight", w / 2, 82, 18, 1, soft, NONE, 0);
  }
}

static void paintPicture(Canvas &c, const char *n) {
  cairo_t *cr = c.cr;
  Rng rng = rngFromName(n);
  double W = c.width, H = c.height;
  auto is = [n](const char *s) { return strcmp(n, s) == 0; };

  //-- Splash
  if (is("branding.png")) return card(c, "THE DUNMARROW PROJECT", "presents a night over the city", WHITE, Rgba{0.4, 0.6, 1.0, 0.8});
  if (is("leadership.png")) return card(c, "ONE OWL LEADS THE NIGHT", "and the night follows", WHITE, Rgba{0.5, 0.4, 1.0, 0.8});
  if (is("eyewear.png")) return card(c, "EYES THAT SEE IN THE DARK", "amber, wide and patient", Rgba{1.0, 0.8, 0.4, 1}, Rgba{1.0, 0.5, 0.1, 0.8});
  if (is("bananas.png")) return card(c, "AND MANY, MANY PIGEONS", "far too many pigeons", WHITE, Rgba{0.6, 0.7, 0.8, 0.8});
  if (is("vorn-glow.png") || is("vorn-plain.png")) {
    bool glow = is("vorn-glow.png");
    Canvas e = canvasCreate(c.width, c.height);
    // The emblem: a moon ring, the owl in it, the project's name beneath.
    cairo_arc(e.cr, 220, 190, 150, 0, 2 * M_PI);
    cairo_set_source_rgba(e.cr, 0.08, 0.1, 0.22, 1);
    cairo_fill_preserve(e.cr);
    cairo_set_line_width(e.cr, 10);
    cairo_set_source_rgba(e.cr, 0.95, 0.85, 0.55, 1);
    cairo_stroke(e.cr);
    Rng mr = rngFromName("emblem-moon");
    moonDisc(e.cr, mr, 280, 130, 40, Rgba{1, 0.95, 0.8, 1}, 0);
    cairo_save(e.cr);
    cairo_translate(e.cr, 100, 100);
    cairo_scale(e.cr, 2.3, 2.3);
    owlBody(e.cr, POSE_UP, 1.1);
    owlEyes(e.cr, 61, 72, 36, 4.6);
    cairo_restore(e.cr);
    drawText(e.cr, "DUNMARROW", 220, 392, 50, 1, Rgba{0.95, 0.85, 0.55, 1}, Rgba{0.1, 0.05, 0, 1}, 2);
    drawText(e.cr, "PROJECT", 220, 428, 26, 1, WHITE, Rgba{0.1, 0.05, 0, 1}, 1.5);
    if (glow) {
      Canvas g = canvasCreate(c.width, c.height);
      cairo_set_source_surface(g.cr, e.surface, 0, 0);
      cairo_paint(g.cr);
      blurSurface(g.surface, 18);
      cairo_set_source_surface(cr, g.surface, 0, 0);
      cairo_paint(cr);
      cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
      cairo_set_source_surface(cr, g.surface, 0, 0);
      cairo_paint(cr);
      cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
      canvasFree(g);
      cairo_set_source_rgba(cr, 0.6, 0.9, 1.0, 0.35);
      cairo_mask_surface(cr, e.surface, 0, 0);
    } else {
      cairo_set_source_surface(cr, e.surface, 0, 0);
      cairo_paint(cr);
    }
    canvasFree(e);
    return;
  }

  //-- Title
  if (is("skygradient.png")) {
    nightSky(c, rng, Rgba{0.02, 0.03, 0.12, 1}, Rgba{0.1, 0.08, 0.3, 1}, Rgba{0.45, 0.25, 0.45, 1}, 260);
    return;
  }
  if (is("skysolid.png")) {
    rgba(cr, Rgba{0.03, 0.04, 0.1, 1});
    cairo_paint(cr);
    return;
  }
  if (is("skyline.png")) {
    SkylineStyle st = {H - 20, 40, 200, 40, 110, {0.06, 0.05, 0.12, 1}, {0.02, 0.02, 0.05, 1}, WINDOW, 0.22, 2.6, 1, 0.4, {0.6, 0.4, 0.7, 1}, 0};
    return skyline(c, rng, st);
  }
  if (is("cloud.png")) {
    Canvas m = canvasCreate(c.width, c.height);
    for (int i = 0; i < 14; ++i) {
      double x = rngRange(rng, 70, W - 70), y = rngRange(rng, 60, 95);
      double r = rngRange(rng, 25, 50) * (1.0 - fabs(x - W / 2) / W);
      rgba(m.cr, Rgba{1, 1, 1, 0.9});
      cairo_arc(m.cr, x, y, r, 0, 2 * M_PI);
      cairo_fill(m.cr);
    }
    blurSurface(m.surface, 8);
    cairo_set_source_surface(cr, m.surface, 0, 0);
    cairo_paint(cr);
    canvasFree(m);
    return;
  }
  if (is("bigowl.png")) return portrait(cr, 0, 0, FACE_CALM);
  if (is("bigowlblink.png")) return portrait(cr, 60, 11, FACE_BLINK);
  if (is("bigowlstare.png")) return portrait(cr, 60, 11, FACE_STARE);
  if (is("bigowltwitch.png")) return portrait(cr, 60, 11, FACE_TWITCH);
  if (is("title.png")) {
    titleWord(c, "DUNMARROW", 112, 112);
    drawText(cr, "AN OWL OVER THE NIGHT CITY", W / 2, 142, 20, 1, Rgba{0.85, 0.9, 1, 1}, Rgba{0, 0, 0.1, 0.8}, 1.5);
    return;
  }
  if (is("attack-help.png")) return paintHelp(c, 0);
  if (is("swoop-help.png")) return paintHelp(c, 1);
  if (is("space-help.png")) return paintHelp(c, 2);

  //-- Prologue and the game's sunrise
  if (is("sunset.png")) {
    // Only the top of this sky shows: above the game's trees and city (to about y 150) and above the
    // prologue's skyline (shown from y 120, so to about y 150 of the picture). The sun and the warm bands sit
    // there, low over the roofs.
    Rgba st[6] = {{0.2, 0.16, 0.42, 1}, {0.55, 0.28, 0.45, 1}, {0.95, 0.5, 0.35, 1}, {1.0, 0.75, 0.4, 1}, {1.0, 0.85, 0.5, 1}, {1.0, 0.88, 0.55, 1}};
    Rgba top[4] = {st[0], st[1], st[2], st[3]};
    vgradient(cr, 0, 0, W, 200, top, 4);
    Rgba low[3] = {st[3], st[4], st[5]};
    vgradient(cr, 0, 200, W, H - 200, low, 3);
    radial(cr, W * 0.62, 118, 230, Rgba{1, 0.95, 0.7, 0.75}, Rgba{1, 0.7, 0.3, 1});
    radial(cr, W * 0.62, 118, 70, Rgba{1, 1, 0.9, 1}, Rgba{1, 0.9, 0.6, 1});
    rgba(cr, Rgba{1, 0.98, 0.85, 1});
    cairo_arc(cr, W * 0.62, 118, 36, 0, 2 * M_PI);
    cairo_fill(cr);
    for (int i = 0; i < 6; ++i) {
      double y = rngRange(rng, 20, 110);
      cairo_set_source_rgba(cr, 1.0, 0.6, 0.5, 0.25);
      ellipse(cr, rngRange(rng, 0, W), y, rngRange(rng, 120, 260), rngRange(rng, 5, 12));
      cairo_fill(cr);
    }
    return;
  }
  if (is("night-moon.png")) return moonDisc(cr, rng, 64, 64, 34, Rgba{1, 0.95, 0.85, 1}, 1.85);
  if (is("prologue-skyline.png")) {
    // Low roofs under a wide sky; the tree band (from y 430) hides the street.
    SkylineStyle st = {H - 10, 150, 250, 50, 120, {0.3, 0.18, 0.35, 1}, {0.15, 0.08, 0.2, 1}, WINDOW, 0.15, 3.0, 1, 0.7, {1.0, 0.6, 0.4, 1}, 0};
    return skyline(c, rng, st);
  }
  if (is("sunset_trees.png")) {
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
    return;
  }
  if (is("flap1_sunset.png")) return paintSunsetOwl(c, POSE_UP, 0);
  if (is("flap2_sunset.png")) return paintSunsetOwl(c, POSE_DOWN, 32);

  //-- Game
  if (is("moon.png")) return moonDisc(cr, rng, 48, 48, 26, Rgba{0.95, 0.95, 0.85, 1}, 1.8);
  if (is("treeline.png")) {
    TreeStyle st = {150, 20, 90, 22, 44, {0.2, 0.32, 0.22, 1}, {0.12, 0.2, 0.15, 1}, {0.15, 0.1, 0.07, 1}, 1};
    return trees(c, rng, st);
  }
  if (is("city.png")) {
    // The game tints the city (0.6, 1, 0.7) through the night, which turns yellow light lime and grey walls teal.
    // Painted with that in mind: dark plum faces that land near-black blue, few windows, lit in an orange that
    // lands warm amber; every detail at least 3 pixels wide, since the game draws the city at scale 2.
    SkylineStyle st = {H - 12, 40, 190, 34, 80, {0.2, 0.12, 0.25, 1}, {0.11, 0.07, 0.15, 1}, {1.0, 0.5, 0.3, 1}, 0.14, 2.2, 1, 0.0, NONE, 3.0};
    skyline(c, rng, st);
    // The pavement and kerb the citizens walk on.
    rgba(cr, Rgba{0.22, 0.14, 0.25, 1});
    cairo_rectangle(cr, 0, H - 12, W, 12);
    cairo_fill(cr);
    rgba(cr, Rgba{0.42, 0.3, 0.42, 1});
    cairo_rectangle(cr, 0, H - 12, W, 3);
    cairo_fill(cr);
    return;
  }
  if (is("UImask.png")) {
    Rgba st[2] = {{0, 0, 0.03, 0.6}, {0, 0, 0.03, 0}};
    vgradient(cr, 0, 0, W, H, st, 2);
    return;
  }
  if (is("swoopbar.png")) {
    Rgba st[3] = {{1, 1, 1, 1}, {1.0, 0.95, 0.8, 1}, {0.85, 0.8, 0.7, 1}};
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, 6, 6, 6, M_PI, 1.5 * M_PI); cairo_arc(cr, W - 6, 6, 6, 1.5 * M_PI, 2 * M_PI);
    cairo_arc(cr, W - 6, H - 6, 6, 0, 0.5 * M_PI); cairo_arc(cr, 6, H - 6, 6, 0.5 * M_PI, M_PI);
    cairo_close_path(cr);
    cairo_clip(cr);
    vgradient(cr, 0, 0, W, H, st, 3);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_rectangle(cr, 4, 3, W - 8, 3);
    cairo_fill(cr);
    cairo_restore(cr);
    return;
  }
  if (is("swoopframe.png")) {
    drawText(cr, "SWOOP", 2, 29, 26, 0, WHITE, Rgba{0, 0, 0.1, 0.9}, 2);
    cairo_set_line_width(cr, 3);
    cairo_set_source_rgba(cr, 0.95, 0.85, 0.55, 1);
    cairo_rectangle(cr, 95.5, 2.5, 269, 31);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 97.5, 4.5, 265, 27);
    cairo_stroke(cr);
    return;
  }
  if (is("swoopGlow.png")) {
    radial(cr, 32, 32, 31, Rgba{1.0, 0.9, 0.6, 1}, Rgba{1.0, 0.4, 0.05, 1});
    radial(cr, 32, 32, 12, Rgba{1, 1, 0.95, 1}, Rgba{1.0, 0.8, 0.4, 1});
    return;
  }
  if (is("pigeon1.png") || is("pigeon2.png")) {
    // A light bird with a dark edge, so it reads against the lit city and the night sky alike.
    Canvas bird = canvasCreate(c.width, c.height);
    pigeon(bird.cr, is("pigeon1.png"), 1.0);
    layWithEdge(c, bird.surface, Rgba{0.06, 0.05, 0.1, 1}, 1.2);
    canvasFree(bird);
    return;
  }
  if (is("impact.png")) {
    radial(cr, 16, 16, 15, Rgba{1, 1, 0.9, 1}, Rgba{1, 0.8, 0.3, 1});
    cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
    for (int i = 0; i < 8; ++i) {
      double a = i * M_PI / 4;
      cairo_move_to(cr, 16 + cos(a + 0.12) * 3, 16 + sin(a + 0.12) * 3);
      cairo_line_to(cr, 16 + cos(a) * (i % 2 ? 11 : 15.5), 16 + sin(a) * (i % 2 ? 11 : 15.5));
      cairo_line_to(cr, 16 + cos(a - 0.12) * 3, 16 + sin(a - 0.12) * 3);
      cairo_fill(cr);
    }
    return;
  }
  if (is("citizen1.png") || is("citizen2.png") || is("citizen4.png")) {
    // The street lamps light the gentlemen from above and ahead: a warm rim along the head, hat and shoulders
    // lifts the dark coat off the dark street.
    Canvas man = canvasCreate(c.width, c.height);
    gentleman(man.cr, is("citizen1.png") ? GENT_WALK : is("citizen2.png") ? GENT_KNOCKED : GENT_TALK,
              Rgba{0.2, 0.22, 0.34, 1}, SKIN, HAT);
    layWithEdge(c, man.surface, Rgba{1.0, 0.82, 0.5, 1}, 0, -1.5, -1.5);
    canvasFree(man);
    return;
  }
  if (is("lamp1.png")) {
    radial(cr, 26, 36, 22, Rgba{1.0, 0.85, 0.5, 0.5}, Rgba{1.0, 0.7, 0.3, 1});
    streetLamp(cr, 26, 36, 1.0, H, Rgba{0.1, 0.1, 0.12, 1}, Rgba{1.0, 0.75, 0.3, 1});
    return;
  }
  if (is("halo.png")) {
    cairo_pattern_t *p = cairo_pattern_create_radial(166, 186, 0, 166, 186, 166);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.9, 0.6, 0.55);
    cairo_pattern_add_color_stop_rgba(p, 0.25, 1.0, 0.8, 0.45, 0.3);
    cairo_pattern_add_color_stop_rgba(p, 1, 1.0, 0.7, 0.3, 0);
    cairo_set_source(cr, p);
    cairo_paint(cr);
    cairo_pattern_destroy(p);
    return;
  }
  if (is("owntest.png")) return paintOwntest(c);
  if (is("flap1.png")) return paintOwlPose(c, POSE_UP);
  if (is("flap2.png")) return paintOwlPose(c, POSE_DOWN);
  if (is("swoop.png")) return paintOwlPose(c, POSE_SWOOP);
  if (is("flapeyes.png")) return owlEyes(cr, 61, 72, 36, 4.6);
  if (is("zap.png")) return paintZap(c);
  if (is("spark.png")) {
    radial(cr, 8, 8, 8, Rgba{0.9, 0.95, 1, 1}, Rgba{0.5, 0.7, 1, 1});
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, 8, 1); cairo_line_to(cr, 8, 15); cairo_move_to(cr, 1, 8); cairo_line_to(cr, 15, 8);
    cairo_stroke(cr);
    return;
  }
  if (is("feather.png")) {
    cairo_save(cr);
    cairo_translate(cr, 8, 12);
    cairo_rotate(cr, 0.3);
    ellipse(cr, 0, -1, 4.5, 10);
    rgba(cr, Rgba{0.78, 0.8, 0.84, 1});
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.45, 0.47, 0.52, 1);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 0, -10); cairo_line_to(cr, 0, 11);
    cairo_stroke(cr);
    cairo_restore(cr);
    return;
  }
  if (is("mist.png")) return mistBank(c, rng, Rgba{0.8, 0.82, 0.9, 1}, 14);
  if (is("x2.png") || is("x3.png") || is("x4.png")) {
    // Drawn additively over the play: a white core inside gold, in an orange glow, as large as the frame allows.
    char word[4] = {'x', n[1], 0, 0};
    drawGlowText(c, word, W / 2, H * 0.8, 60, 1, Rgba{1, 0.8, 0.3, 1}, Rgba{1, 0.5, 0.1, 1}, 7);
    drawText(cr, word, W / 2, H * 0.8, 60, 1, WHITE, Rgba{1, 0.8, 0.3, 1}, 2.5);
    return;
  }
  if (is("paused.png")) {
    cairo_new_path(cr);
    cairo_arc(cr, 20, 20, 18, M_PI, 1.5 * M_PI); cairo_arc(cr, W - 20, 20, 18, 1.5 * M_PI, 2 * M_PI);
    cairo_arc(cr, W - 20, H - 20, 18, 0, 0.5 * M_PI); cairo_arc(cr, 20, H - 20, 18, 0.5 * M_PI, M_PI);
    cairo_close_path(cr);
    cairo_set_source_rgba(cr, 0.03, 0.04, 0.12, 0.75);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.95, 0.85, 0.55, 1);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    drawText(cr, "PAUSED", W / 2, 68, 56, 1, WHITE, NONE, 0);
    drawText(cr, "press P to fly on", W / 2, 94, 18, 1, Rgba{0.8, 0.85, 1, 1}, NONE, 0);
    return;
  }
  if (is("skull.png")) return paintIcon(c, 1);
  if (is("head.png")) return paintIcon(c, 0);
  if (is("swooplevelup.png")) {
    // Two lines, so the letters can be as tall as the frame allows.
    const char *lines[2] = {"SWOOP", "LEVEL UP!"};
    for (int k = 0; k < 2; ++k) {
      drawGlowText(c, lines[k], W / 2, 36 + 37 * k, 38, 1, Rgba{1, 0.8, 0.3, 1}, Rgba{1, 0.55, 0.1, 1}, 6);
      drawText(cr, lines[k], W / 2, 36 + 37 * k, 38, 1, WHITE, Rgba{1, 0.8, 0.3, 1}, 2.0);
    }
    return;
  }

  //-- Game over, all in reds
  if (is("sky-red.png")) {
    Rgba st[3] = {{0.15, 0.0, 0.02, 1}, {0.45, 0.04, 0.05, 1}, {0.8, 0.2, 0.1, 1}};
    vgradient(cr, 0, 0, W, H, st, 3);
    moonDisc(cr, rng, 760, 170, 60, Rgba{1.0, 0.45, 0.35, 1}, 2.2);
    for (int i = 0; i < 9; ++i) {
      cairo_set_source_rgba(cr, 0.1, 0.0, 0.02, 0.35);
      ellipse(cr, rngRange(rng, 0, W), rngRange(rng, 40, 500), rngRange(rng, 120, 300), rngRange(rng, 10, 24));
      cairo_fill(cr);
    }
    return;
  }
  if (is("skyline-red.png")) {
    SkylineStyle st = {H - 4, 380, 560, 40, 110, {0.35, 0.05, 0.07, 1}, {0.22, 0.02, 0.04, 1}, {1.0, 0.5, 0.3, 1}, 0.15, 3.0, 0, 0.5, {1, 0.3, 0.2, 1}, 0};
    return skyline(c, rng, st);
  }
  if (is("city-red.png")) {
    SkylineStyle st = {H - 4, 300, 520, 70, 170, {0.2, 0.02, 0.04, 1}, {0.08, 0.0, 0.02, 1}, {1.0, 0.55, 0.3, 1}, 0.25, 4.5, 0, 0.6, {1, 0.25, 0.15, 1}, 0};
    return skyline(c, rng, st);
  }
  if (is("lamp-posts.png")) {
    for (int i = 0; i < 2; ++i) {
      double x = 60 + i * 180, y = 60 + i * 20;
      radial(cr, x, y, 55, Rgba{1.0, 0.4, 0.2, 0.5}, Rgba{1.0, 0.2, 0.1, 1});
      streetLamp(cr, x, y, 1.6, H, Rgba{0.08, 0.0, 0.01, 1}, Rgba{1.0, 0.45, 0.25, 1});
    }
    return;
  }
  if (is("citizen-red.png")) {
    // The red sky behind lights his back: a rim of 3 pixels keeps him apart from the red city.
    Canvas man = canvasCreate(c.width, c.height);
    paintGentlemanAt(man, GENT_WALK, 2.18, Rgba{0.2, 0.02, 0.04, 1}, Rgba{0.8, 0.45, 0.4, 1}, Rgba{0.08, 0, 0.01, 1});
    layWithEdge(c, man.surface, Rgba{1.0, 0.45, 0.3, 1}, 0, -3, -2);
    canvasFree(man);
    return;
  }
  if (is("front-bushes.png")) {
    // A low hedge along the bottom edge (from about y 645 on screen, just above the letterbox's lower bar): the
    // citizen walking at y 480 stays in view above it.
    TreeStyle st = {140, 95, 115, 14, 26, {0.25, 0.03, 0.05, 1}, {0.12, 0.0, 0.02, 1}, {0.1, 0, 0.01, 1}, 0};
    return trees(c, rng, st);
  }
  if (is("the-end-small.png")) {
    drawGlowText(c, "THE END", W / 2, 62, 56, 1, Rgba{1, 0.85, 0.8, 1}, Rgba{0.9, 0.1, 0.1, 1}, 8);
    drawText(cr, "the pigeons rule the night", W / 2, 90, 18, 1, Rgba{1, 0.7, 0.65, 1}, NONE, 0);
    return;
  }
  if (is("letterbox.png")) {
    rgba(cr, BLACK);
    cairo_rectangle(cr, 0, 0, W, 107);
    cairo_rectangle(cr, 0, H - 107, W, 107);
    cairo_fill(cr);
    return;
  }

  //-- Ending: the dawn, in blues and golds
  if (is("skyblue.png")) {
    Rgba st[4] = {{0.25, 0.45, 0.8, 1}, {0.5, 0.7, 0.95, 1}, {0.95, 0.85, 0.6, 1}, {1.0, 0.75, 0.4, 1}};
    vgradient(cr, 0, 0, W, H, st, 4);
    radial(cr, W * 0.3, H * 0.85, 300, Rgba{1, 0.95, 0.7, 0.8}, Rgba{1, 0.8, 0.4, 1});
    for (int i = 0; i < 7; ++i) {
      cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
      ellipse(cr, rngRange(rng, 0, W), rngRange(rng, 60, 400), rngRange(rng, 80, 200), rngRange(rng, 8, 18));
      cairo_fill(cr);
    }
    return;
  }
  if (is("skydark.png")) {
    // Drawn at scale 2: the gradient alone, then stars of at least 3 pixels across.
    nightSky(c, rng, Rgba{0.01, 0.02, 0.08, 1}, Rgba{0.04, 0.05, 0.18, 1}, Rgba{0.12, 0.1, 0.28, 1}, 0);
    for (int i = 0; i < 80; ++i) {
      double x = rngRange(rng, 0, W), y = rngRange(rng, 0, H * 0.7);
      cairo_set_source_rgba(cr, 0.95, 0.95, 1.0, 0.8 * rngRange(rng, 0.3, 1.0) * (1.0 - 0.7 * y / (H * 0.7)));
      cairo_arc(cr, x, y, rngRange(rng, 1.5, 1.9), 0, 2 * M_PI);
      cairo_fill(cr);
    }
    return;
  }
  if (is("skyline-blue.png")) {
    SkylineStyle st = {H - 4, 30, 150, 30, 70, {0.35, 0.45, 0.65, 1}, {0.22, 0.3, 0.48, 1}, {1.0, 0.9, 0.6, 1}, 0.12, 1.8, 0, 0.6, {1, 0.85, 0.5, 1}, 3.0};
    return skyline(c, rng, st);
  }
  if (is("citydark.png")) {
    SkylineStyle st = {H - 4, 60, 330, 80, 190, {0.3, 0.34, 0.5, 1}, {0.15, 0.17, 0.28, 1}, WINDOW, 0.3, 4.0, 0, 0.7, {1, 0.8, 0.45, 1}, 0};
    return skyline(c, rng, st);
  }
  if (is("citizen_big.png")) return paintGentlemanAt(c, GENT_WALK, 3.6, COAT, SKIN, HAT);
  if (is("citizen_big2.png")) return paintGentlemanAt(c, GENT_CHEER, 3.6, COAT, SKIN, HAT);
  if (is("lampbeat.png")) {
    radial(cr, 60, 70, 55, Rgba{1.0, 0.9, 0.6, 0.5}, Rgba{1.0, 0.8, 0.4, 1});
    streetLamp(cr, 60, 70, 2.2, H, Rgba{0.1, 0.1, 0.14, 1}, Rgba{1.0, 0.8, 0.4, 1});
    return;
  }
  if (is("bigflap1.png")) return paintBigOwl(c, 2.4, POSE_UP, 0);
  if (is("bigflap2.png")) return paintBigOwl(c, 2.4, POSE_DOWN, 0);
  if (is("swooping.png")) return paintBigOwl(c, 2.3, POSE_SWOOP, 10);
  if (is("bushbeat.png")) {
    TreeStyle st = {90, 0, 40, 30, 60, {0.3, 0.55, 0.3, 1}, {0.18, 0.38, 0.2, 1}, {0.2, 0.15, 0.1, 1}, 1};
    return trees(c, rng, st);
  }
  if (is("closeup_background.png")) {
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
    return;
  }
  if (is("citizen_close.png")) {
    // The gentleman close up, looking up in wonder at the owl.
    ellipse(cr, 300, 600, 260, 200);
    rgba(cr, COAT); cairo_fill(cr);
    static const double COLLAR[] = {250, 420, 350, 420, 300, 520};
    poly(cr, COLLAR, 3);
    rgba(cr, WHITE); cairo_fill(cr);
    rgba(cr, Rgba{0.45, 0.12, 0.16, 1});
    static const double TIE[] = {285, 425, 315, 425, 300, 445};
    poly(cr, TIE, 3); cairo_fill(cr);
    ellipse(cr, 300, 310, 105, 125);
    rgba(cr, SKIN); cairo_fill(cr);
    rgba(cr, WHITE);
    ellipse(cr, 262, 290, 20, 16); ellipse(cr, 338, 290, 20, 16); cairo_fill(cr);
    rgba(cr, Rgba{0.2, 0.3, 0.45, 1});
    cairo_arc(cr, 262, 282, 9, 0, 2 * M_PI); cairo_arc(cr, 338, 282, 9, 0, 2 * M_PI); cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.85, 0.7, 0.3, 1);
    cairo_set_line_width(cr, 4);
    cairo_arc(cr, 338, 290, 28, 0, 2 * M_PI); cairo_stroke(cr);   // monocle
    cairo_move_to(cr, 366, 295); cairo_curve_to(cr, 380, 360, 360, 420, 390, 470); cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0.3, 0.2, 0.12, 1);
    cairo_set_line_width(cr, 7);
    cairo_move_to(cr, 240, 255); cairo_line_to(cr, 282, 245);
    cairo_move_to(cr, 318, 245); cairo_line_to(cr, 360, 255);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 14);
    cairo_move_to(cr, 240, 355); cairo_curve_to(cr, 270, 335, 290, 345, 300, 352);
    cairo_curve_to(cr, 310, 345, 330, 335, 360, 355);
    cairo_stroke(cr);
    rgba(cr, Rgba{0.35, 0.05, 0.05, 1});
    ellipse(cr, 300, 385, 16, 20); cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.8, 0.6, 0.5, 1);
    ellipse(cr, 300, 318, 12, 20); cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, 300, 205);
    cairo_scale(cr, 9, 9);
    topHat(cr, 0, 0, -0.05, HAT, Rgba{0.45, 0.12, 0.16, 1});
    cairo_restore(cr);
    return;
  }

  //-- Credits
  if (is("bigtitle.png")) {
    titleWord(c, "DUNMARROW", 96, 104);
    // A short subtitle, kept inside the middle: the art credit's heading stands to the lower right of it.
    drawText(cr, "THE END OF THE NIGHT", W / 2, 134, 15, 1, Rgba{1, 0.95, 0.85, 1}, Rgba{0.1, 0.05, 0, 0.8}, 1.5);
    return;
  }
  if (is("programming.png")) return creditImage(c, "PROGRAMMING", "THE DUNMARROW PROJECT", nullptr);
  if (is("art.png")) return creditImage(c, "ART", "THE DUNMARROW", "PROJECT");
  if (is("music.png")) return creditImage(c, "MUSIC AND SOUND", "THE DUNMARROW PROJECT", nullptr);
  if (is("voices.png")) return creditImage(c, "VOICES AND STORY", "THE DUNMARROW PROJECT", nullptr);

  fprintf(stderr, "assetgen: no painter for %s\n", n);
  cairo_set_source_rgba(cr, 1, 0, 1, 1);
  cairo_paint(cr);
}

//---- Public entry

int paintPicture(const char *dir, const AssetEntry &entry) {
  Canvas c = canvasCreate(entry.width, entry.height);
  if (cairo_surface_status(c.surface) != CAIRO_STATUS_SUCCESS) {
    fprintf(stderr, "assetgen: cannot make a %d x %d canvas for %s\n", entry.width, entry.height, entry.name);
    canvasFree(c);
    return 1;
  }
  paintPicture(c, entry.name);
  char path[1024];
  snprintf(path, sizeof path, "%s/%s", dir, entry.name);
  bool ok = writePngRgba(c.surface, path);
  canvasFree(c);
  return ok ? 0 : 1;
}
