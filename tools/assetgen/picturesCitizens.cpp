// DUNMARROW asset generator: the citizens' pictures: the gentleman in his top hat walking, talking and knocked
// down in the street, red on the game-over screen, large and cheering in the ending, and close up.

#include "pictures.h"  // the palette, shapes and the painters' declarations
#include <cmath>       // sin, cos, M_PI

//---- A gentleman of the city in a top hat and dark coat, on a 36 x 110 frame (feet on the bottom row)

enum { GENT_WALK, GENT_TALK, GENT_KNOCKED, GENT_CHEER };

static void topHat(cairo_t* cr, double cx, double cy, double angle, Rgba hat, Rgba band)
{
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

static void gentleman(cairo_t* cr, int pose, Rgba coat, Rgba skin, Rgba hat)
{
    Rgba band = {0.45, 0.12, 0.16, 1};
    Rgba trousers = {coat.r * 0.8 + 0.05, coat.g * 0.8 + 0.05, coat.b * 0.8 + 0.05, 1};
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    if (pose == GENT_KNOCKED) {
        // Sat down hard on the street, hat knocked into the air, seeing stars.
        cairo_set_line_width(cr, 6);
        rgba(cr, trousers);
        cairo_move_to(cr, 16, 96);
        cairo_line_to(cr, 24, 90);
        cairo_line_to(cr, 32, 104);
        cairo_move_to(cr, 17, 98);
        cairo_line_to(cr, 28, 100);
        cairo_line_to(cr, 33, 92);
        cairo_stroke(cr);
        rgba(cr, BLACK);
        ellipse(cr, 32, 106, 3.5, 2.2);
        cairo_fill(cr);
        ellipse(cr, 34, 91, 2.2, 3.2);
        cairo_fill(cr);
        static const double TORSO[] = {8, 66, 18, 62, 24, 98, 10, 102};
        poly(cr, TORSO, 4);
        rgba(cr, coat);
        cairo_fill(cr);
        cairo_set_line_width(cr, 4.5);
        cairo_move_to(cr, 10, 68);
        cairo_line_to(cr, 3, 80);
        cairo_move_to(cr, 18, 66);
        cairo_line_to(cr, 28, 60);
        cairo_stroke(cr);
        rgba(cr, skin);
        cairo_arc(cr, 11, 58, 6.5, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_arc(cr, 3, 81, 2, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_arc(cr, 29, 59, 2, 0, 2 * M_PI);
        cairo_fill(cr);
        rgba(cr, BLACK);
        cairo_set_line_width(cr, 1);
        // Dazed eyes: little crosses.
        cairo_move_to(cr, 8, 56);
        cairo_line_to(cr, 10, 58);
        cairo_move_to(cr, 10, 56);
        cairo_line_to(cr, 8, 58);
        cairo_move_to(cr, 12, 56);
        cairo_line_to(cr, 14, 58);
        cairo_move_to(cr, 14, 56);
        cairo_line_to(cr, 12, 58);
        cairo_stroke(cr);
        topHat(cr, 24, 28, 0.7, hat, band);
        cairo_set_source_rgba(cr, 1.0, 0.9, 0.3, 1);
        for (int i = 0; i < 3; ++i) {
            double sx = 4 + i * 9, sy = 46 - (i % 2) * 4;
            cairo_move_to(cr, sx, sy - 3);
            cairo_line_to(cr, sx + 1, sy - 1);
            cairo_line_to(cr, sx + 3, sy);
            cairo_line_to(cr, sx + 1, sy + 1);
            cairo_line_to(cr, sx, sy + 3);
            cairo_line_to(cr, sx - 1, sy + 1);
            cairo_line_to(cr, sx - 3, sy);
            cairo_line_to(cr, sx - 1, sy - 1);
            cairo_close_path(cr);
            cairo_fill(cr);
        }
        return;
    }
    // Legs mid-stride.
    cairo_set_line_width(cr, 6);
    rgba(cr, trousers);
    cairo_move_to(cr, 15, 80);
    cairo_line_to(cr, 10, 106);
    cairo_move_to(cr, 21, 80);
    cairo_line_to(cr, 25, 106);
    cairo_stroke(cr);
    rgba(cr, BLACK);
    ellipse(cr, 8.5, 107.5, 4.5, 2.5);
    cairo_fill(cr);
    ellipse(cr, 26, 107.5, 4.5, 2.5);
    cairo_fill(cr);
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
    cairo_arc(cr, 18, 55, 0.9, 0, 2 * M_PI);
    cairo_arc(cr, 18, 61, 0.9, 0, 2 * M_PI);
    cairo_fill(cr);
    // Arms: a cane in the near hand; talking shakes a fist, cheering waves the hat.
    cairo_set_line_width(cr, 4.5);
    rgba(cr, mixc(coat, BLACK, 0.2));
    cairo_move_to(cr, 11, 40);
    cairo_line_to(cr, 8, 68);
    if (pose == GENT_TALK || pose == GENT_CHEER) {
        cairo_move_to(cr, 25, 40);
        cairo_line_to(cr, 31, 24);
    } else {
        cairo_move_to(cr, 25, 40);
        cairo_line_to(cr, 29, 66);
    }
    cairo_stroke(cr);
    rgba(cr, skin);
    cairo_arc(cr, 8, 70, 2.2, 0, 2 * M_PI);
    cairo_fill(cr);
    if (pose == GENT_TALK || pose == GENT_CHEER) {
        cairo_arc(cr, 31.5, 21.5, 2.5, 0, 2 * M_PI);
        cairo_fill(cr);
    } else {
        cairo_arc(cr, 29, 68, 2.2, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_set_line_width(cr, 1.5);
        cairo_set_source_rgba(cr, 0.35, 0.22, 0.12, 1);
        cairo_move_to(cr, 29.5, 66);
        cairo_line_to(cr, 32, 108);
        cairo_stroke(cr);
    }
    // Head, whiskers, hat.
    rgba(cr, skin);
    cairo_arc(cr, 18, 28, 7, 0, 2 * M_PI);
    cairo_fill(cr);
    rgba(cr, BLACK);
    cairo_arc(cr, 15.5, 27, 0.9, 0, 2 * M_PI);
    cairo_arc(cr, 20.5, 27, 0.9, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.3, 0.2, 0.12, 1);
    cairo_set_line_width(cr, 1.6);
    cairo_move_to(cr, 13.5, 31.5);
    cairo_curve_to(cr, 16, 30, 17, 31, 18, 31.5);
    cairo_curve_to(cr, 19, 31, 20, 30, 22.5, 31.5);
    cairo_stroke(cr);
    if (pose == GENT_TALK) {
        rgba(cr, Rgba{0.35, 0.05, 0.05, 1});
        ellipse(cr, 18, 33.5, 2, 1.6);
        cairo_fill(cr);
    }
    if (pose == GENT_CHEER)
        topHat(cr, 32, 16, -0.3, hat, band);
    else
        topHat(cr, 18, 21, 0, hat, band);
}

// The gentleman scaled by `s`, his feet on the bottom edge of the canvas, centred across it.
static void gentlemanAt(Canvas& c, int pose, double s, Rgba coat, Rgba skin, Rgba hat)
{
    cairo_save(c.cr);
    cairo_translate(c.cr, (c.width - 36 * s) / 2, c.height - 110 * s);
    cairo_scale(c.cr, s, s);
    gentleman(c.cr, pose, coat, skin, hat);
    cairo_restore(c.cr);
}

// A gentleman of the street in `pose`, as the game draws him.
static void litCitizen(Canvas& c, int pose)
{
    // The street lamps light the gentlemen from above and ahead: a warm rim along the head, hat and shoulders
    // lifts the dark coat off the dark street.
    Canvas man = canvasCreate(c.width, c.height);
    gentleman(man.cr, pose, Rgba{0.2, 0.22, 0.34, 1}, SKIN, HAT);
    layWithEdge(c, man.surface, Rgba{1.0, 0.82, 0.5, 1}, 0, -1.5, -1.5);
    canvasFree(man);
}

//---- The pictures

void paintCitizen1(Canvas& c, Rng&)
{
    litCitizen(c, GENT_WALK);
}

void paintCitizen2(Canvas& c, Rng&)
{
    litCitizen(c, GENT_KNOCKED);
}

void paintCitizen4(Canvas& c, Rng&)
{
    litCitizen(c, GENT_TALK);
}

void paintCitizenRed(Canvas& c, Rng&)
{
    // The red sky behind lights his back: a rim of 3 pixels keeps him apart from the red city.
    Canvas man = canvasCreate(c.width, c.height);
    gentlemanAt(man, GENT_WALK, 2.18, Rgba{0.2, 0.02, 0.04, 1}, Rgba{0.8, 0.45, 0.4, 1}, Rgba{0.08, 0, 0.01, 1});
    layWithEdge(c, man.surface, Rgba{1.0, 0.45, 0.3, 1}, 0, -3, -2);
    canvasFree(man);
}

void paintCitizenBig(Canvas& c, Rng&)
{
    gentlemanAt(c, GENT_WALK, 3.6, COAT, SKIN, HAT);
}

void paintCitizenBig2(Canvas& c, Rng&)
{
    gentlemanAt(c, GENT_CHEER, 3.6, COAT, SKIN, HAT);
}

void paintCitizenClose(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    // The gentleman close up, looking up in wonder at the owl.
    ellipse(cr, 300, 600, 260, 200);
    rgba(cr, COAT);
    cairo_fill(cr);
    static const double COLLAR[] = {250, 420, 350, 420, 300, 520};
    poly(cr, COLLAR, 3);
    rgba(cr, WHITE);
    cairo_fill(cr);
    rgba(cr, Rgba{0.45, 0.12, 0.16, 1});
    static const double TIE[] = {285, 425, 315, 425, 300, 445};
    poly(cr, TIE, 3);
    cairo_fill(cr);
    ellipse(cr, 300, 310, 105, 125);
    rgba(cr, SKIN);
    cairo_fill(cr);
    rgba(cr, WHITE);
    ellipse(cr, 262, 290, 20, 16);
    ellipse(cr, 338, 290, 20, 16);
    cairo_fill(cr);
    rgba(cr, Rgba{0.2, 0.3, 0.45, 1});
    cairo_arc(cr, 262, 282, 9, 0, 2 * M_PI);
    cairo_arc(cr, 338, 282, 9, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.85, 0.7, 0.3, 1);
    cairo_set_line_width(cr, 4);
    cairo_arc(cr, 338, 290, 28, 0, 2 * M_PI);
    cairo_stroke(cr);  // monocle
    cairo_move_to(cr, 366, 295);
    cairo_curve_to(cr, 380, 360, 360, 420, 390, 470);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0.3, 0.2, 0.12, 1);
    cairo_set_line_width(cr, 7);
    cairo_move_to(cr, 240, 255);
    cairo_line_to(cr, 282, 245);
    cairo_move_to(cr, 318, 245);
    cairo_line_to(cr, 360, 255);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 14);
    cairo_move_to(cr, 240, 355);
    cairo_curve_to(cr, 270, 335, 290, 345, 300, 352);
    cairo_curve_to(cr, 310, 345, 330, 335, 360, 355);
    cairo_stroke(cr);
    rgba(cr, Rgba{0.35, 0.05, 0.05, 1});
    ellipse(cr, 300, 385, 16, 20);
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.8, 0.6, 0.5, 1);
    ellipse(cr, 300, 318, 12, 20);
    cairo_fill(cr);
    cairo_save(cr);
    cairo_translate(cr, 300, 205);
    cairo_scale(cr, 9, 9);
    topHat(cr, 0, 0, -0.05, HAT, Rgba{0.45, 0.12, 0.16, 1});
    cairo_restore(cr);
}
