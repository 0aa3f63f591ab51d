// DUNMARROW asset generator: what the picture units share: the palette, the drawing helpers, the figures more
// than one subject draws, and the painter of every picture, which the manifest's rows name.
#pragma once

#include "assetgen.h"  // Canvas, Rgba, Rng, text and blur helpers

//---- Palette

constexpr Rgba OWL_BODY = {0.48, 0.32, 0.19, 1}, OWL_WING = {0.37, 0.24, 0.13, 1}, OWL_DARK = {0.22, 0.14, 0.08, 1},
               OWL_CREAM = {0.93, 0.87, 0.74, 1}, OWL_FACE = {0.86, 0.78, 0.62, 1}, AMBER = {0.98, 0.66, 0.09, 1},
               WINDOW = {1.0, 0.82, 0.45, 1}, COAT = {0.14, 0.16, 0.24, 1}, HAT = {0.07, 0.07, 0.09, 1},
               SKIN = {0.91, 0.77, 0.63, 1}, NONE = {0, 0, 0, 0}, WHITE = {1, 1, 1, 1}, BLACK = {0, 0, 0, 1};

//---- Drawing helpers (pictures.cpp)

void rgba(cairo_t* cr, Rgba c);
Rgba mixc(Rgba a, Rgba b, double t);
Rgba alpha(Rgba c, double a);
// Lays `shape` (a picture of the canvas' size) on the canvas over copies of its own outline in `ink`, shifted
// around a ring of `width` pixels: a dark edge that keeps a light sprite readable on any ground. With `dx`, `dy`
// set, the ink is a light from that side instead: one shifted copy, a rim along the lit edges.
void layWithEdge(Canvas& c, cairo_surface_t* shape, Rgba ink, double width, double dx = 0, double dy = 0);
void ellipse(cairo_t* cr, double cx, double cy, double rx, double ry);
// A closed polygon through `n` points (x, y pairs).
void poly(cairo_t* cr, const double* xy, int n);
// A smooth closed shape through the points (Catmull-Rom turned into Bezier curves).
void blob(cairo_t* cr, const double* xy, int n);
// A vertical gradient through `n` evenly spaced stops, filling the rectangle.
void vgradient(cairo_t* cr, double x, double y, double w, double h, const Rgba* stops, int n);
// A disc fading from `inner` at the centre to nothing at radius `r` (in the colour of `outer`).
void radial(cairo_t* cr, double cx, double cy, double r, Rgba inner, Rgba outer);
// `count` stars over the w x h top of the picture, fainter towards its bottom.
void stars(cairo_t* cr, Rng& rng, double w, double h, int count, double brightness);
// A cratered moon of radius `r`, in a halo `glow` times its radius (none at 0).
void moonDisc(cairo_t* cr, Rng& rng, double cx, double cy, double r, Rgba tint, double glow);

//---- Figures drawn by more than one subject

// The owl in flight, facing right, on the 100 x 90 canvas (picturesOwl.cpp).
enum { POSE_UP, POSE_DOWN, POSE_SWOOP };
// `lift` (0 to 1) pales the plumage towards moonlit cream: the owl of play has to stand out from the night.
void owlBody(cairo_t* cr, int pose, double shade, double lift = 0);
void owlEyes(cairo_t* cr, double cx1, double cx2, double cy, double r);
// A pigeon, 32 x 32, facing left (picturesPigeons.cpp).
void pigeon(cairo_t* cr, int wingsUp, double shade);

//---- The painters, one per picture of the manifest, in each unit in the order of the scenes

// picturesCards.cpp
void paintBranding(Canvas& c, Rng& rng);
void paintLeadership(Canvas& c, Rng& rng);
void paintEyewear(Canvas& c, Rng& rng);
void paintBananas(Canvas& c, Rng& rng);
void paintVornGlow(Canvas& c, Rng& rng);
void paintVornPlain(Canvas& c, Rng& rng);
void paintTitle(Canvas& c, Rng& rng);
void paintAttackHelp(Canvas& c, Rng& rng);
void paintSwoopHelp(Canvas& c, Rng& rng);
void paintSpaceHelp(Canvas& c, Rng& rng);
void paintTheEndSmall(Canvas& c, Rng& rng);
void paintBigTitle(Canvas& c, Rng& rng);
void paintProgramming(Canvas& c, Rng& rng);
void paintArt(Canvas& c, Rng& rng);
void paintMusic(Canvas& c, Rng& rng);
void paintVoices(Canvas& c, Rng& rng);

// picturesSkies.cpp
void paintSkyGradient(Canvas& c, Rng& rng);
void paintSkySolid(Canvas& c, Rng& rng);
void paintCloud(Canvas& c, Rng& rng);
void paintSunset(Canvas& c, Rng& rng);
void paintNightMoon(Canvas& c, Rng& rng);
void paintMoon(Canvas& c, Rng& rng);
void paintMist(Canvas& c, Rng& rng);
void paintSkyRed(Canvas& c, Rng& rng);
void paintSkyBlue(Canvas& c, Rng& rng);
void paintSkyDark(Canvas& c, Rng& rng);
void paintCloseupBackground(Canvas& c, Rng& rng);

// picturesCity.cpp
void paintSkyline(Canvas& c, Rng& rng);
void paintPrologueSkyline(Canvas& c, Rng& rng);
void paintSunsetTrees(Canvas& c, Rng& rng);
void paintTreeline(Canvas& c, Rng& rng);
void paintCity(Canvas& c, Rng& rng);
void paintLamp1(Canvas& c, Rng& rng);
void paintHalo(Canvas& c, Rng& rng);
void paintSkylineRed(Canvas& c, Rng& rng);
void paintCityRed(Canvas& c, Rng& rng);
void paintLampPosts(Canvas& c, Rng& rng);
void paintFrontBushes(Canvas& c, Rng& rng);
void paintSkylineBlue(Canvas& c, Rng& rng);
void paintCityDark(Canvas& c, Rng& rng);
void paintLampBeat(Canvas& c, Rng& rng);
void paintBushBeat(Canvas& c, Rng& rng);

// picturesOwl.cpp
void paintBigOwl(Canvas& c, Rng& rng);
void paintBigOwlBlink(Canvas& c, Rng& rng);
void paintBigOwlStare(Canvas& c, Rng& rng);
void paintBigOwlTwitch(Canvas& c, Rng& rng);
void paintFlap1Sunset(Canvas& c, Rng& rng);
void paintFlap2Sunset(Canvas& c, Rng& rng);
void paintOwntest(Canvas& c, Rng& rng);
void paintFlap1(Canvas& c, Rng& rng);
void paintFlap2(Canvas& c, Rng& rng);
void paintFlapEyes(Canvas& c, Rng& rng);
void paintSwoop(Canvas& c, Rng& rng);
void paintZap(Canvas& c, Rng& rng);
void paintBigFlap1(Canvas& c, Rng& rng);
void paintBigFlap2(Canvas& c, Rng& rng);
void paintSwooping(Canvas& c, Rng& rng);

// picturesCitizens.cpp
void paintCitizen1(Canvas& c, Rng& rng);
void paintCitizen2(Canvas& c, Rng& rng);
void paintCitizen4(Canvas& c, Rng& rng);
void paintCitizenRed(Canvas& c, Rng& rng);
void paintCitizenBig(Canvas& c, Rng& rng);
void paintCitizenBig2(Canvas& c, Rng& rng);
void paintCitizenClose(Canvas& c, Rng& rng);

// picturesPigeons.cpp
void paintPigeon1(Canvas& c, Rng& rng);
void paintPigeon2(Canvas& c, Rng& rng);
void paintImpact(Canvas& c, Rng& rng);
void paintFeather(Canvas& c, Rng& rng);

// icon.cpp
void paintWindowIcon(Canvas& c, Rng& rng);

// picturesHud.cpp
void paintUiMask(Canvas& c, Rng& rng);
void paintSwoopBar(Canvas& c, Rng& rng);
void paintSwoopFrame(Canvas& c, Rng& rng);
void paintSwoopGlow(Canvas& c, Rng& rng);
void paintSpark(Canvas& c, Rng& rng);
void paintX2(Canvas& c, Rng& rng);
void paintX3(Canvas& c, Rng& rng);
void paintX4(Canvas& c, Rng& rng);
void paintPaused(Canvas& c, Rng& rng);
void paintSkull(Canvas& c, Rng& rng);
void paintHead(Canvas& c, Rng& rng);
void paintSwoopLevelUp(Canvas& c, Rng& rng);
void paintLetterbox(Canvas& c, Rng& rng);
