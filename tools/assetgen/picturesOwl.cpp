// DUNMARROW asset generator: the owl's pictures: its flight poses and their eyes, the shocked owl, the
// title's big portrait with its faces, the prologue's owl against the sun and the ending's large owl.

#include "pictures.h"  // the palette, shapes, POSE_UP and the painters' declarations
#include <cmath>       // sin, cos, M_PI

//---- The owl in flight, facing right, on the 100 x 90 canvas (body centre near (46, 50), head at (66, 36))

static void owlWing(cairo_t* cr, int pose, Rgba col, Rgba dark, double dx, double dy)
{
    static const double UP[] = {54, 44, 46, 30, 36, 14, 26, 4, 20, 8, 22, 16, 16, 20, 22, 28, 18, 34, 28, 40, 36, 50};
    static const double DOWN[] = {54, 46, 44, 56, 36, 70, 28, 86, 22, 84, 22,
                                  74, 16, 72, 22, 64, 16, 60, 26, 54, 36, 52};
    // Swooping, the wings sweep up and back into a dart: the one pose with a point behind the owl.
    static const double SWOOP[] = {60, 46, 44, 36, 26, 26, 6, 18, 14, 28, 6, 32, 18, 40, 30, 50, 52, 58};
    const double* pts = pose == POSE_UP ? UP : pose == POSE_DOWN ? DOWN : SWOOP;
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
        double x1 = pts[2 * (n - 1)] + (pts[6] - pts[2 * (n - 1)]) * t,
               y1 = pts[2 * (n - 1) + 1] + (pts[7] - pts[2 * (n - 1) + 1]) * t;
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

void owlBody(cairo_t* cr, int pose, double shade, double lift)
{
    const Rgba pale = {0.98, 0.95, 0.88, 1};
    auto tone = [shade, lift, pale](Rgba c) {
        Rgba m = mixc(c, pale, lift);
        return Rgba{m.r * shade, m.g * shade, m.b * shade, c.a};
    };
    // The markings (bars, the facial rim, the eye sockets) stay dark on a pale owl.
    auto ink = [shade, lift, pale](Rgba c) {
        Rgba m = mixc(c, pale, lift * 0.15);
        return Rgba{m.r * shade, m.g * shade, m.b * shade, c.a};
    };
    // Far wing first, darker, offset up and forward.
    owlWing(cr, pose, tone(lift > 0 ? mixc(OWL_DARK, OWL_WING, 0.5) : OWL_DARK), ink(OWL_DARK), 6,
            pose == POSE_SWOOP ? -5 : -3);
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
        cairo_move_to(cr, 46, 64);
        cairo_line_to(cr, 48, 72);
        cairo_move_to(cr, 52, 63);
        cairo_line_to(cr, 55, 71);
        cairo_stroke(cr);
    } else {
        cairo_set_source_rgba(cr, 0.85 * shade, 0.8 * shade, 0.65 * shade, 1);
        cairo_set_line_width(cr, 2.0);
        cairo_move_to(cr, 52, 62);
        cairo_line_to(cr, 64, 66);
        cairo_move_to(cr, 50, 64);
        cairo_line_to(cr, 62, 69);
        cairo_stroke(cr);
    }
    // Head: ear tufts, round head, pale facial disc with a dark rim, beak.
    static const double TUFTS_L[] = {54, 28, 52, 18, 60, 24};
    static const double TUFTS_R[] = {72, 24, 80, 18, 78, 28};
    rgba(cr, tone(OWL_WING));
    poly(cr, TUFTS_L, 3);
    cairo_fill(cr);
    poly(cr, TUFTS_R, 3);
    cairo_fill(cr);
    ellipse(cr, 66, 37, 15, 14);
    rgba(cr, tone(OWL_BODY));
    cairo_fill(cr);
    ellipse(cr, 61, 37, 7.5, 8);
    ellipse(cr, 72, 37, 7.5, 8);
    rgba(cr, tone(OWL_FACE));
    cairo_fill(cr);
    cairo_set_line_width(cr, 1.0);
    rgba(cr, ink(OWL_DARK));
    ellipse(cr, 66.5, 37, 13, 11.5);
    cairo_stroke(cr);
    // Eye sockets (the eyes themselves are their own picture, drawn over every pose).
    rgba(cr, ink(OWL_DARK));
    cairo_arc(cr, 61, 36, 5.2, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_arc(cr, 72, 36, 5.2, 0, 2 * M_PI);
    cairo_fill(cr);
    static const double BEAK[] = {64.5, 41, 68.5, 41, 66.5, 47};
    poly(cr, BEAK, 3);
    cairo_set_source_rgba(cr, 0.35 * shade, 0.3 * shade, 0.25 * shade, 1);
    cairo_fill(cr);
    // Near wing over the body.
    owlWing(cr, pose, tone(OWL_WING), ink(OWL_DARK), 0, 0);
}

void owlEyes(cairo_t* cr, double cx1, double cx2, double cy, double r)
{
    for (double cx : {cx1, cx2}) {
        cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.2, cy - r * 0.2, r * 0.1, cx, cy, r);
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
static void owlSilhouette(Canvas& c, int pose, Rgba col)
{
    Canvas m = canvasCreate(c.width, c.height);
    owlBody(m.cr, pose, 1.0);
    cairo_set_operator(c.cr, CAIRO_OPERATOR_OVER);
    rgba(c.cr, col);
    cairo_mask_surface(c.cr, m.surface, 0, 0);
    canvasFree(m);
}

//---- The big owl portrait of the title, on a 420 x 493 frame, reaching its bottom edge

enum { FACE_CALM, FACE_BLINK, FACE_STARE, FACE_TWITCH };

static void portrait(cairo_t* cr, double ox, double oy, int face)
{
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
        cairo_move_to(cr, x - 7, y);
        cairo_line_to(cr, x, y + 8);
        cairo_line_to(cr, x + 7, y);
        cairo_stroke(cr);
    }
    // Wing feather edges.
    cairo_set_source_rgba(cr, OWL_DARK.r, OWL_DARK.g, OWL_DARK.b, 0.8);
    cairo_set_line_width(cr, 3);
    for (int i = 0; i < 6; ++i) {
        cairo_arc(cr, 40 + i * 8, 330 + i * 28, 40, 0.2, 1.6);
        cairo_stroke(cr);
        cairo_arc(cr, 380 - i * 8, 330 + i * 28, 40, 1.5, 2.9);
        cairo_stroke(cr);
    }
    // Head with ear tufts.
    static const double TUFT_L[] = {70, 120, 60, 10, 150, 70};
    static const double TUFT_R[] = {350, 120, 360, 10, 270, 70};
    rgba(cr, OWL_WING);
    blob(cr, TUFT_L, 3);
    cairo_fill(cr);
    blob(cr, TUFT_R, 3);
    cairo_fill(cr);
    ellipse(cr, 210, 185, 165, 140);
    rgba(cr, OWL_BODY);
    cairo_fill(cr);
    // Facial discs.
    for (int side = -1; side <= 1; side += 2) {
        cairo_pattern_t* p = cairo_pattern_create_radial(210 + side * 62, 180, 10, 210 + side * 62, 180, 82);
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
        cairo_pattern_t* p = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r);
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
            cairo_move_to(cr, x - 10, 60);
            cairo_line_to(cr, x + (i % 2 ? 8 : -6), 26 + (i % 3) * 6);
            cairo_line_to(cr, x + 10, 60);
            cairo_fill(cr);
        }
    }
    cairo_restore(cr);
}

//---- Poses drawn large

static void bigOwlInFlight(Canvas& c, double s, int pose, double dx)
{
    cairo_save(c.cr);
    cairo_translate(c.cr, dx, 0);
    cairo_scale(c.cr, s, s);
    owlBody(c.cr, pose, 1.0);
    owlEyes(c.cr, 61, 72, 36, 4.6);
    cairo_restore(c.cr);
}

// The prologue's owl against the setting sun: dark, with a warm rim of light.
static void sunsetOwl(Canvas& c, int pose, double dx)
{
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

//---- The pictures

void paintBigOwl(Canvas& c, Rng&)
{
    portrait(c.cr, 0, 0, FACE_CALM);
}

void paintBigOwlBlink(Canvas& c, Rng&)
{
    portrait(c.cr, 60, 11, FACE_BLINK);
}

void paintBigOwlStare(Canvas& c, Rng&)
{
    portrait(c.cr, 60, 11, FACE_STARE);
}

void paintBigOwlTwitch(Canvas& c, Rng&)
{
    portrait(c.cr, 60, 11, FACE_TWITCH);
}

void paintFlap1Sunset(Canvas& c, Rng&)
{
    sunsetOwl(c, POSE_UP, 0);
}

void paintFlap2Sunset(Canvas& c, Rng&)
{
    sunsetOwl(c, POSE_DOWN, 32);
}

void paintOwntest(Canvas& c, Rng&)
{
    owlSilhouette(c, POSE_DOWN, Rgba{0.2, 0.8, 0.3, 0.6});
    rgba(c.cr, Rgba{1, 0, 0, 1});
    cairo_arc(c.cr, 50, 45, 2, 0, 2 * M_PI);
    cairo_fill(c.cr);
}

// The owl of play: pale plumage inside a dark edge, with moonlight catching its upper side, so that it is the
// clearest thing on the night sky and still holds its shape in the mist.
static void playOwl(Canvas& c, int pose)
{
    Canvas shape = canvasCreate(c.width, c.height);
    owlBody(shape.cr, pose, 1.0, 0.55);
    for (int k = 0; k < 12; ++k) {
        double a = k * M_PI / 6;
        cairo_set_source_rgba(c.cr, 0.05, 0.04, 0.08, 1);
        cairo_mask_surface(c.cr, shape.surface, std::cos(a) * 1.5, std::sin(a) * 1.5);
    }
    cairo_set_source_rgba(c.cr, 1.0, 0.98, 0.92, 1);
    cairo_mask_surface(c.cr, shape.surface, -1.0, -1.6);
    cairo_set_source_surface(c.cr, shape.surface, 0, 0);
    cairo_paint(c.cr);
    canvasFree(shape);
}

void paintFlap1(Canvas& c, Rng&)
{
    playOwl(c, POSE_UP);
}

void paintFlap2(Canvas& c, Rng&)
{
    playOwl(c, POSE_DOWN);
}

void paintFlapEyes(Canvas& c, Rng&)
{
    owlEyes(c.cr, 61, 72, 36, 4.6);
}

void paintSwoop(Canvas& c, Rng&)
{
    playOwl(c, POSE_SWOOP);
}

void paintZap(Canvas& c, Rng&)
{
    // The owl lit from within by the shock: a pale glowing shape, dark bones, lightning around it.
    Canvas g = canvasCreate(c.width, c.height);
    owlSilhouette(g, POSE_SWOOP, Rgba{0.7, 0.9, 1.0, 1});
    blurSurface(g.surface, 6);
    cairo_set_source_surface(c.cr, g.surface, 0, 0);
    cairo_paint(c.cr);
    canvasFree(g);
    owlSilhouette(c, POSE_SWOOP, Rgba{0.92, 0.97, 1.0, 0.85});
    cairo_t* cr = c.cr;
    cairo_set_source_rgba(cr, 0.15, 0.2, 0.35, 0.9);
    cairo_set_line_width(cr, 2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(cr, 20, 52);
    cairo_line_to(cr, 62, 48);  // spine
    for (int i = 0; i < 4; ++i) {
        cairo_move_to(cr, 32 + i * 7, 46);
        cairo_line_to(cr, 30 + i * 7, 58);
    }  // ribs
    cairo_move_to(cr, 56, 44);
    cairo_line_to(cr, 32, 32);
    cairo_line_to(cr, 12, 24);  // wing bones, swept back with the swoop's wing
    cairo_stroke(cr);
    cairo_arc(cr, 66, 37, 10, 0, 2 * M_PI);
    cairo_stroke(cr);
    cairo_arc(cr, 61, 36, 3.5, 0, 2 * M_PI);
    cairo_arc(cr, 72, 36, 3.5, 0, 2 * M_PI);
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

void paintBigFlap1(Canvas& c, Rng&)
{
    bigOwlInFlight(c, 2.4, POSE_UP, 0);
}

void paintBigFlap2(Canvas& c, Rng&)
{
    bigOwlInFlight(c, 2.4, POSE_DOWN, 0);
}

void paintSwooping(Canvas& c, Rng&)
{
    bigOwlInFlight(c, 2.3, POSE_SWOOP, 10);
}
