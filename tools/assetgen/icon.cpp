// DUNMARROW asset generator: the desktop icon, an owl with lit eyes before a full moon over the
// city's roofs, drawn once in a 256-unit square and written as 48, 128 and 256 px PNGs and an SVG.

#include "assetgen.h"   // Canvas, writePngRgba
#include "pictures.h"   // the window icon is one of the pack's pictures
#include <cairo-svg.h>  // the scalable icon
#include <cmath>        // M_PI
#include <cstdio>       // snprintf, fprintf
#include <filesystem>   // the icon folders

//---- Constants

static const int ICON_SIZES[] = {48, 128, 256};
static const double UNITS = 256.0;

//---- Drawing

static void roundedSquare(cairo_t* cr, double x, double y, double size, double radius)
{
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + size - radius, y + radius, radius, -M_PI / 2, 0);
    cairo_arc(cr, x + size - radius, y + size - radius, radius, 0, M_PI / 2);
    cairo_arc(cr, x + radius, y + size - radius, radius, M_PI / 2, M_PI);
    cairo_arc(cr, x + radius, y + radius, radius, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

// The whole icon in 256 x 256 units on any cairo surface.
static void paintIcon(cairo_t* cr)
{
    // Night sky in a rounded square, with a little margin as desktop icons keep.
    roundedSquare(cr, 8, 8, 240, 44);
    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 8, 0, 248);
    cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.05, 0.07, 0.20);
    cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.20, 0.12, 0.30);
    cairo_set_source(cr, sky);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(sky);
    cairo_save(cr);
    cairo_clip(cr);

    // The moon, with a soft halo.
    cairo_pattern_t* halo = cairo_pattern_create_radial(150, 104, 50, 150, 104, 100);
    cairo_pattern_add_color_stop_rgba(halo, 0.0, 1.0, 0.95, 0.75, 0.35);
    cairo_pattern_add_color_stop_rgba(halo, 1.0, 1.0, 0.95, 0.75, 0.0);
    cairo_set_source(cr, halo);
    cairo_arc(cr, 150, 104, 100, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(halo);
    cairo_set_source_rgb(cr, 0.98, 0.93, 0.74);
    cairo_arc(cr, 150, 104, 58, 0, 2 * M_PI);
    cairo_fill(cr);

    // Roofs and chimneys along the bottom.
    cairo_set_source_rgb(cr, 0.03, 0.03, 0.08);
    cairo_move_to(cr, 0, 256);
    const double roofs[][2] = {{0, 210},   {30, 210},  {30, 192},  {62, 192},  {62, 214},
                               {96, 214},  {110, 196}, {124, 214}, {170, 214}, {170, 186},
                               {180, 186}, {180, 200}, {214, 200}, {214, 178}, {256, 178}};
    for (const auto& p : roofs)
        cairo_line_to(cr, p[0], p[1]);
    cairo_line_to(cr, 256, 256);
    cairo_close_path(cr);
    cairo_fill(cr);

    // The owl: body, ear tufts, folded wings, and the two lit eyes.
    cairo_set_source_rgb(cr, 0.10, 0.07, 0.09);
    cairo_save(cr);
    cairo_translate(cr, 104, 150);
    cairo_scale(cr, 1.0, 1.25);
    cairo_arc(cr, 0, 0, 52, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_fill(cr);
    cairo_move_to(cr, 62, 104);
    cairo_line_to(cr, 66, 62);
    cairo_line_to(cr, 88, 92);
    cairo_close_path(cr);
    cairo_move_to(cr, 146, 104);
    cairo_line_to(cr, 142, 62);
    cairo_line_to(cr, 120, 92);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.18, 0.12, 0.12);
    cairo_save(cr);
    cairo_translate(cr, 104, 172);
    cairo_scale(cr, 1.0, 1.3);
    cairo_arc(cr, 0, 0, 30, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_fill(cr);
    for (int side = 0; side < 2; ++side) {
        double cx = side ? 126 : 82, cy = 122;
        cairo_set_source_rgb(cr, 0.98, 0.78, 0.18);
        cairo_arc(cr, cx, cy, 17, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 0.05, 0.03, 0.02);
        cairo_arc(cr, cx + 2, cy + 1, 8, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_arc(cr, cx - 3, cy - 5, 3.2, 0, 2 * M_PI);
        cairo_fill(cr);
    }
    cairo_set_source_rgb(cr, 0.85, 0.55, 0.15);
    cairo_move_to(cr, 98, 136);
    cairo_line_to(cr, 110, 136);
    cairo_line_to(cr, 104, 150);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_restore(cr);
}

//---- Public

void paintWindowIcon(Canvas& c, Rng&)
{
    cairo_save(c.cr);
    cairo_scale(c.cr, c.width / UNITS, c.height / UNITS);
    paintIcon(c.cr);
    cairo_restore(c.cr);
}

int makeIcons(const char* dir)
{
    int failures = 0;
    std::error_code ec;
    for (int size : ICON_SIZES) {
        char folder[1024], path[1100];
        snprintf(folder, sizeof folder, "%s/%dx%d/apps", dir, size, size);
        std::filesystem::create_directories(folder, ec);
        snprintf(path, sizeof path, "%s/dunmarrow.png", folder);
        Canvas c = canvasCreate(size, size);
        cairo_scale(c.cr, size / UNITS, size / UNITS);
        paintIcon(c.cr);
        if (!writePngRgba(c.surface, path)) {
            fprintf(stderr, "assetgen: cannot write %s\n", path);
            ++failures;
        }
        canvasFree(c);
    }
    char folder[1024], path[1100];
    snprintf(folder, sizeof folder, "%s/scalable/apps", dir);
    std::filesystem::create_directories(folder, ec);
    snprintf(path, sizeof path, "%s/dunmarrow.svg", folder);
    cairo_surface_t* svg = cairo_svg_surface_create(path, UNITS, UNITS);
    cairo_t* cr = cairo_create(svg);
    paintIcon(cr);
    cairo_destroy(cr);
    cairo_surface_finish(svg);
    if (cairo_surface_status(svg) != CAIRO_STATUS_SUCCESS) {
        fprintf(stderr, "assetgen: cannot write %s\n", path);
        ++failures;
    }
    cairo_surface_destroy(svg);
    return failures;
}
