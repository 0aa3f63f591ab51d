// DUNMARROW asset generator: the pictures of words: the splash's title cards and emblem, the title's name and
// help plates, the closing words of game over and the ending's credits.

#include "pictures.h"  // the palette, shapes, owl and pigeon figures, the painters' declarations
#include <cmath>       // M_PI
#include <algorithm>   // std::max

//---- Cards and credits text

// A splash card. The cards follow each other with a crossfade about the same centre, so each keeps its words in
// one half of its frame, `high` the upper and otherwise the lower: a card fading out and the next fading in then
// stand one above the other and read as one picture, never letters over letters.
static void card(Canvas& c, const char* line1, const char* line2, bool high, Rgba ink, Rgba glow)
{
    double w = c.width;
    double size1 = fitTextSize(c.cr, line1, 46, w - 60);
    double base1 = high ? 52 : 136, base2 = high ? 76 : 160;
    drawGlowText(c, line1, w / 2, base1, size1, 1, ink, glow, 8);
    drawText(c.cr, line2, w / 2, base2, 20, 1, alpha(ink, 0.85), NONE, 0);
}

// A credit: the role in gold over what made it, in white. Credits are drawn at scale 2: outlines of 1.5 pixels make
// 3 on screen. The words keep to the frame's rows from `from` down, and shrink to its width.
static void creditImage(Canvas& c, const char* heading, const char* line, const char* line2, double from = 0)
{
    double h = c.height - from, w = c.width - 8;
    double size1 = line2 ? h * 0.22 : h * 0.34;
    double s2 = line2 ? h * 0.22 : h * 0.36;
    double top = from + (line2 ? std::max(0.0, (h - (size1 + 14 + 2 * s2)) * 0.5) : 0);
    double fit1 = fitTextSize(c.cr, heading, size1, w), fit2 = fitTextSize(c.cr, line, s2, w);
    if (line2)
        fit2 = std::min(fit2, fitTextSize(c.cr, line2, s2, w));
    drawText(c.cr, heading, c.width / 2.0, top + size1 + 2, fit1, 1, Rgba{1.0, 0.8, 0.4, 1}, Rgba{0.1, 0.05, 0, 0.8},
             1.5);
    drawText(c.cr, line, c.width / 2.0, top + size1 + 6 + s2, fit2, 1, WHITE, Rgba{0.05, 0.05, 0.1, 0.8}, 1.5);
    if (line2)
        drawText(c.cr, line2, c.width / 2.0, top + size1 + 10 + 2 * s2, fit2, 1, WHITE, Rgba{0.05, 0.05, 0.1, 0.8},
                 1.5);
}

static void titleWord(Canvas& c, const char* word, double size, double y)
{
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
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y - size * 0.75, 0, y);
    cairo_pattern_add_color_stop_rgba(p, 0, 1.0, 0.95, 0.7, 1);
    cairo_pattern_add_color_stop_rgba(p, 0.55, 1.0, 0.75, 0.25, 1);
    cairo_pattern_add_color_stop_rgba(p, 1, 0.8, 0.4, 0.1, 1);
    cairo_set_source(c.cr, p);
    cairo_fill(c.cr);
    cairo_pattern_destroy(p);
}

// The splash's emblem; with `glow`, lit by its own blurred copy laid over it.
static void emblem(Canvas& c, bool glow)
{
    cairo_t* cr = c.cr;
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
}

// The title's help plates: 0 strike the pigeons, 1 swoop, 2 press Space.
static void helpPlate(Canvas& c, int which)
{
    cairo_t* cr = c.cr;
    // A dark rounded plate with the instruction and a small picture of it.
    // The plates stand against the screen's right edge: the last 13 columns stay clear, so every plate keeps at
    // least 16 pixels of sky to its right.
    double w = c.width - 13, h = c.height;
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
        cairo_save(cr);
        cairo_translate(cr, 14, 30);
        cairo_scale(cr, 1.6, 1.6);
        pigeon(cr, 1, 1.2);
        cairo_restore(cr);
        drawText(cr, "STRIKE THE PIGEONS", 78, 48, fitTextSize(cr, "STRIKE THE PIGEONS", 24, w - 90), 0, ink, NONE, 0);
        drawText(cr, "they fall on the gentlemen below", 78, 78,
                 fitTextSize(cr, "they fall on the gentlemen below", 16, w - 90), 0, soft, NONE, 0);
    } else if (which == 1) {
        cairo_save(cr);
        cairo_translate(cr, 8, 20);
        cairo_scale(cr, 0.75, 0.75);
        cairo_translate(cr, 50, 45);
        cairo_rotate(cr, 0.5);
        cairo_translate(cr, -50, -45);
        owlBody(cr, POSE_SWOOP, 1.1);
        owlEyes(cr, 61, 72, 36, 4.6);
        cairo_restore(cr);
        drawText(cr, "HOLD SPACE TO SWOOP", 92, 46, fitTextSize(cr, "HOLD SPACE TO SWOOP", 24, w - 104), 0, ink, NONE,
                 0);
        drawText(cr, "arrows steer, up flaps", 92, 78, fitTextSize(cr, "arrows steer, up flaps", 17, w - 104), 0, soft,
                 NONE, 0);
    } else {
        drawText(cr, "PRESS SPACE", w / 2, 52, fitTextSize(cr, "PRESS SPACE", 28, w - 24), 1, ink, NONE, 0);
        drawText(cr, "to take flight", w / 2, 82, 18, 1, soft, NONE, 0);
    }
}

//---- The pictures

void paintBranding(Canvas& c, Rng&)
{
    card(c, "THE DUNMARROW PROJECT", "presents a night over the city", true, WHITE, Rgba{0.4, 0.6, 1.0, 0.8});
}

void paintLeadership(Canvas& c, Rng&)
{
    card(c, "ONE OWL LEADS THE NIGHT", "and the night follows", false, WHITE, Rgba{0.5, 0.4, 1.0, 0.8});
}

void paintEyewear(Canvas& c, Rng&)
{
    card(c, "EYES THAT SEE IN THE DARK", "amber, wide and patient", true, Rgba{1.0, 0.8, 0.4, 1},
         Rgba{1.0, 0.5, 0.1, 0.8});
}

void paintBananas(Canvas& c, Rng&)
{
    card(c, "AND MANY, MANY PIGEONS", "far too many pigeons", false, WHITE, Rgba{0.6, 0.7, 0.8, 0.8});
}

void paintVornGlow(Canvas& c, Rng&)
{
    emblem(c, true);
}

void paintVornPlain(Canvas& c, Rng&)
{
    emblem(c, false);
}

void paintTitle(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double W = c.width;
    titleWord(c, "DUNMARROW", 112, 112);
    drawText(cr, "AN OWL OVER THE NIGHT CITY", W / 2, 142, 20, 1, Rgba{0.85, 0.9, 1, 1}, Rgba{0, 0, 0.1, 0.8}, 1.5);
}

void paintAttackHelp(Canvas& c, Rng&)
{
    helpPlate(c, 0);
}

void paintSwoopHelp(Canvas& c, Rng&)
{
    helpPlate(c, 1);
}

void paintSpaceHelp(Canvas& c, Rng&)
{
    helpPlate(c, 2);
}

void paintTheEndSmall(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double W = c.width;
    drawGlowText(c, "THE END", W / 2, 62, 56, 1, Rgba{1, 0.85, 0.8, 1}, Rgba{0.9, 0.1, 0.1, 1}, 8);
    drawText(cr, "the pigeons rule the night", W / 2, 90, 18, 1, Rgba{1, 0.7, 0.65, 1}, NONE, 0);
}

void paintBigTitle(Canvas& c, Rng&)
{
    cairo_t* cr = c.cr;
    double W = c.width;
    titleWord(c, "DUNMARROW", 96, 104);
    // A short subtitle, kept inside the middle: the art credit's heading stands to the lower right of it.
    drawText(cr, "THE END OF THE NIGHT", W / 2, 134, 15, 1, Rgba{1, 0.95, 0.85, 1}, Rgba{0.1, 0.05, 0, 0.8}, 1.5);
}

void paintProgramming(Canvas& c, Rng&)
{
    creditImage(c, "A GAME BY THE DUNMARROW PROJECT", "ON SDL, OPENGL, OPENAL AND FREETYPE", nullptr);
}

void paintArt(Canvas& c, Rng&)
{
    creditImage(c, "ART", "DRAWN WITH CAIRO", "LEAGUE SPARTAN FONT");
}

void paintMusic(Canvas& c, Rng&)
{
    creditImage(c, "MUSIC AND SOUND", "TIMGM6MB ON FLUIDSYNTH", nullptr);
}

void paintVoices(Canvas& c, Rng&)
{
    // Shown just under the title's subtitle: the words keep to the lower part of the frame, clear of it.
    creditImage(c, "VOICES", "ESPEAK-NG AND LIBSNDFILE", nullptr, 16);
}
