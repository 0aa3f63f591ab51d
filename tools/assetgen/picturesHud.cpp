// DUNMARROW asset generator: the pictures over the play: the bar and frame of the swoop energy, the life
// icons, the combo multipliers, the pause plate, the lamp's sparks and the letterbox bars.

#include "pictures.h"  // the palette, shapes, the owl's eyes and the painters' declarations
#include <cmath>       // sin, cos, M_PI

//---- Icons and multipliers

// The life icons: the owl's head face on, or with `skull` set, a skull for a life lost.
static void headIcon(Canvas& c, int skull)
{
    cairo_t* cr = c.cr;
    cairo_save(cr);
    cairo_translate(cr, 26, 24);
    if (!skull) {
        // The owl's head, as in flight but face on.
        cairo_scale(cr, 1.35, 1.35);
        cairo_translate(cr, -66.5, -36);
        static const double TL[] = {54, 28, 50, 16, 60, 24};
        static const double TR[] = {79, 28, 83, 16, 73, 24};
        rgba(cr, OWL_WING);
        poly(cr, TL, 3);
        cairo_fill(cr);
        poly(cr, TR, 3);
        cairo_fill(cr);
        ellipse(cr, 66.5, 37, 16, 14);
        rgba(cr, OWL_BODY);
        cairo_fill(cr);
        ellipse(cr, 61, 37, 7.5, 8);
        ellipse(cr, 72, 37, 7.5, 8);
        rgba(cr, OWL_FACE);
        cairo_fill(cr);
        owlEyes(cr, 61, 72, 36, 4.8);
        static const double BEAK[] = {64.5, 41, 68.5, 41, 66.5, 47};
        poly(cr, BEAK, 3);
        rgba(cr, Rgba{0.35, 0.3, 0.25, 1});
        cairo_fill(cr);
    } else {
        ellipse(cr, 0, -2, 17, 16);
        rgba(cr, Rgba{0.82, 0.8, 0.74, 1});
        cairo_fill(cr);
        cairo_rectangle(cr, -9, 8, 18, 10);
        cairo_fill(cr);
        rgba(cr, Rgba{0.12, 0.1, 0.12, 1});
        ellipse(cr, -7, -2, 5, 5.5);
        cairo_fill(cr);
        ellipse(cr, 7, -2, 5, 5.5);
        cairo_fill(cr);
        static const double NOSE[] = {0, 4, -2.5, 9, 2.5, 9};
        poly(cr, NOSE, 3);
        cairo_fill(cr);
        cairo_set_line_width(cr, 1.5);
        for (int i = -1; i <= 1; ++i) {
            cairo_move_to(cr, i * 4, 12);
            cairo_line_to(cr, i * 4, 18);
        }
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

// A combo multiplier, "x" and `digit`.
static void multiplier(Canvas& c, char digit)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    // Drawn additively over the play: a white core inside gold, in an orange glow, as large as the frame allows.
    char word[4] = {'x', digit, 0, 0};
    drawGlowText(c, word, W / 2, H * 0.8, 60, 1, Rgba{1, 0.8, 0.3, 1}, Rgba{1, 0.5, 0.1, 1}, 7);
    drawText(cr, word, W / 2, H * 0.8, 60, 1, WHITE, Rgba{1, 0.8, 0.3, 1}, 2.5);
}

//---- The pictures

void paintUiMask(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    Rgba st[2] = {{0, 0, 0.03, 0.6}, {0, 0, 0.03, 0}};
    vgradient(cr, 0, 0, W, H, st, 2);
}

void paintSwoopBar(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    Rgba st[3] = {{1, 1, 1, 1}, {1.0, 0.95, 0.8, 1}, {0.85, 0.8, 0.7, 1}};
    cairo_save(cr);
    cairo_new_path(cr);
    cairo_arc(cr, 6, 6, 6, M_PI, 1.5 * M_PI);
    cairo_arc(cr, W - 6, 6, 6, 1.5 * M_PI, 2 * M_PI);
    cairo_arc(cr, W - 6, H - 6, 6, 0, 0.5 * M_PI);
    cairo_arc(cr, 6, H - 6, 6, 0.5 * M_PI, M_PI);
    cairo_close_path(cr);
    cairo_clip(cr);
    vgradient(cr, 0, 0, W, H, st, 3);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.8);
    cairo_rectangle(cr, 4, 3, W - 8, 3);
    cairo_fill(cr);
    cairo_restore(cr);
}

void paintSwoopFrame(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    drawText(cr, "SWOOP", 2, 29, 26, 0, WHITE, Rgba{0, 0, 0.1, 0.9}, 2);
    cairo_set_line_width(cr, 3);
    cairo_set_source_rgba(cr, 0.95, 0.85, 0.55, 1);
    cairo_rectangle(cr, 95.5, 2.5, 269, 31);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 97.5, 4.5, 265, 27);
    cairo_stroke(cr);
}

void paintSwoopGlow(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    radial(cr, 32, 32, 31, Rgba{1.0, 0.9, 0.6, 1}, Rgba{1.0, 0.4, 0.05, 1});
    radial(cr, 32, 32, 12, Rgba{1, 1, 0.95, 1}, Rgba{1.0, 0.8, 0.4, 1});
}

void paintSpark(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    radial(cr, 8, 8, 8, Rgba{0.9, 0.95, 1, 1}, Rgba{0.5, 0.7, 1, 1});
    cairo_set_source_rgba(cr, 1, 1, 1, 1);
    cairo_set_line_width(cr, 1.2);
    cairo_move_to(cr, 8, 1);
    cairo_line_to(cr, 8, 15);
    cairo_move_to(cr, 1, 8);
    cairo_line_to(cr, 15, 8);
    cairo_stroke(cr);
}

void paintX2(Canvas& c, Rng&)
{
    multiplier(c, '2');
}

void paintX3(Canvas& c, Rng&)
{
    multiplier(c, '3');
}

void paintX4(Canvas& c, Rng&)
{
    multiplier(c, '4');
}

void paintPaused(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    cairo_new_path(cr);
    cairo_arc(cr, 20, 20, 18, M_PI, 1.5 * M_PI);
    cairo_arc(cr, W - 20, 20, 18, 1.5 * M_PI, 2 * M_PI);
    cairo_arc(cr, W - 20, H - 20, 18, 0, 0.5 * M_PI);
    cairo_arc(cr, 20, H - 20, 18, 0.5 * M_PI, M_PI);
    cairo_close_path(cr);
    // Nearly opaque: the owl and the pigeons frozen behind the panel must not show through the words.
    cairo_set_source_rgba(cr, 0.03, 0.04, 0.12, 0.94);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.95, 0.85, 0.55, 1);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    drawText(cr, "PAUSED", W / 2, 68, 56, 1, WHITE, NONE, 0);
    drawText(cr, "press P to fly on", W / 2, 94, 18, 1, Rgba{0.8, 0.85, 1, 1}, NONE, 0);
}

void paintSkull(Canvas& c, Rng&)
{
    headIcon(c, 1);
}

void paintHead(Canvas& c, Rng&)
{
    headIcon(c, 0);
}

void paintSwoopLevelUp(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double W = c.width;
    // Two lines, so the letters can be as tall as the frame allows.
    const char* lines[2] = {"SWOOP", "LEVEL UP!"};
    for (int k = 0; k < 2; ++k) {
        drawGlowText(c, lines[k], W / 2, 36 + 37 * k, 38, 1, Rgba{1, 0.8, 0.3, 1}, Rgba{1, 0.55, 0.1, 1}, 6);
        drawText(cr, lines[k], W / 2, 36 + 37 * k, 38, 1, WHITE, Rgba{1, 0.8, 0.3, 1}, 2.0);
    }
}

void paintLetterbox(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double W = c.width, H = c.height;
    rgba(cr, BLACK);
    cairo_rectangle(cr, 0, 0, W, 107);
    cairo_rectangle(cr, 0, H - 107, W, 107);
    cairo_fill(cr);
}
