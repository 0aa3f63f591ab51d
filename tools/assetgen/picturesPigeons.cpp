// DUNMARROW asset generator: the pigeons' pictures: the bird in its two wing beats, the flash of a strike and
// the feather a struck pigeon sheds.

#include "pictures.h"  // the palette, shapes and the painters' declarations
#include <cmath>       // sin, cos, M_PI

//---- Pigeon, 32 x 32, facing left (they fly from right to left)

void pigeon(cairo_t* cr, int wingsUp, double shade)
{
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
        if (wingsUp) {
            cairo_move_to(cr, 12 + 7 * t, 16 - 13 * t);
            cairo_line_to(cr, 22 + 5 * t, 15 - 14 * t);
        } else {
            cairo_move_to(cr, 12 + 5 * t, 18 + 11 * t);
            cairo_line_to(cr, 22 + 4 * t, 18 + 13 * t);
        }
        cairo_stroke(cr);
    }
}

// The pigeon of play in the wing beat `wingsUp` picks.
static void edgedPigeon(Canvas& c, int wingsUp)
{
    // A light bird with a dark edge, so it reads against the lit city and the night sky alike.
    Canvas bird = canvasCreate(c.width, c.height);
    pigeon(bird.cr, wingsUp, 1.0);
    layWithEdge(c, bird.surface, Rgba{0.06, 0.05, 0.1, 1}, 1.2);
    canvasFree(bird);
}

//---- The pictures

void paintPigeon1(Canvas& c, Rng&)
{
    edgedPigeon(c, 1);
}

void paintPigeon2(Canvas& c, Rng&)
{
    edgedPigeon(c, 0);
}

void paintImpact(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    radial(cr, 16, 16, 15, Rgba{1, 1, 0.9, 1}, Rgba{1, 0.8, 0.3, 1});
    cairo_set_source_rgba(cr, 1, 1, 1, 0.9);
    for (int i = 0; i < 8; ++i) {
        double a = i * M_PI / 4;
        cairo_move_to(cr, 16 + cos(a + 0.12) * 3, 16 + sin(a + 0.12) * 3);
        cairo_line_to(cr, 16 + cos(a) * (i % 2 ? 11 : 15.5), 16 + sin(a) * (i % 2 ? 11 : 15.5));
        cairo_line_to(cr, 16 + cos(a - 0.12) * 3, 16 + sin(a - 0.12) * 3);
        cairo_fill(cr);
    }
}

void paintFeather(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    cairo_save(cr);
    cairo_translate(cr, 8, 12);
    cairo_rotate(cr, 0.3);
    ellipse(cr, 0, -1, 4.5, 10);
    rgba(cr, Rgba{0.78, 0.8, 0.84, 1});
    cairo_fill(cr);
    cairo_set_source_rgba(cr, 0.45, 0.47, 0.52, 1);
    cairo_set_line_width(cr, 1);
    cairo_move_to(cr, 0, -10);
    cairo_line_to(cr, 0, 11);
    cairo_stroke(cr);
    cairo_restore(cr);
}
