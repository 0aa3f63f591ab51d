// DUNMARROW asset generator: the manifest, one line per file of data/, with the size each scene needs.
// The sizes follow from where the scenes place, scale and slide each picture (noted beside each line).

#include "assetgen.h"   // AssetEntry, Rng
#include <cstring>      // strcmp

//---- The table

static constexpr AssetEntry ASSETS[] = {
    // Startup splash: four title cards and the logo, all centred on (512, 384) and growing slowly.
    {"branding.png", ASSET_PICTURE, 720, 170, 0, 0, 0},
    {"leadership.png", ASSET_PICTURE, 720, 170, 0, 0, 0},
    {"eyewear.png", ASSET_PICTURE, 720, 170, 0, 0, 0},
    {"bananas.png", ASSET_PICTURE, 720, 170, 0, 0, 0},
    {"vorn-glow.png", ASSET_PICTURE, 440, 440, 0, 0, 0},
    {"vorn-plain.png", ASSET_PICTURE, 440, 440, 0, 0, 0},
    // Title: full-screen skies, the skyline at y 425, the portrait at (22, 275) down to the bottom edge,
    // its three variants at (-38, 264) with the portrait 60 right and 11 down inside them.
    {"skygradient.png", ASSET_PICTURE, 1024, 768, 0, 0, 0},
    {"skysolid.png", ASSET_PICTURE, 1024, 768, 0, 0, 0},
    {"skyline.png", ASSET_PICTURE, 1024, 343, 0, 0, 0},
    {"cloud.png", ASSET_PICTURE, 420, 150, 0, 0, 0},
    {"bigowl.png", ASSET_PICTURE, 420, 493, 0, 0, 0},
    {"bigowlblink.png", ASSET_PICTURE, 480, 504, 0, 0, 0},
    {"bigowlstare.png", ASSET_PICTURE, 480, 504, 0, 0, 0},
    {"bigowltwitch.png", ASSET_PICTURE, 480, 504, 0, 0, 0},
    {"title.png", ASSET_PICTURE, 580, 150, 0, 0, 0},        // at (428, 13)
    {"attack-help.png", ASSET_PICTURE, 340, 110, 0, 0, 0},  // from x 677 (or 595) to the right edge
    {"swoop-help.png", ASSET_PICTURE, 390, 110, 0, 0, 0},   // from x 630 (or 595)
    {"space-help.png", ASSET_PICTURE, 210, 110, 0, 0, 0},   // from x 810 (or 595)
    // Prologue: the dusk sky at (0, 120), skyline pages at y 166 and tree pages at y 430 tiling every 1024,
    // the rising moon from (405, 190), the owl frames at x 100 and 68 (body 32 further right in frame 2).
    {"sunset.png", ASSET_PICTURE, 1024, 768, 0, 0, 0},
    {"night-moon.png", ASSET_PICTURE, 128, 128, 0, 0, 0},
    {"prologue-skyline.png", ASSET_PICTURE, 1024, 330, 0, 0, 0},
    {"sunset_trees.png", ASSET_PICTURE, 1024, 340, 0, 0, 0},
    {"flap1_sunset.png", ASSET_PICTURE, 150, 120, 0, 0, 0},
    {"flap2_sunset.png", ASSET_PICTURE, 182, 120, 0, 0, 0},
    // Game: city pages at scale 2 from y 144 (512 x 312 covers 1024 x 624), tree pages at 2.01 from y 114.
    {"moon.png", ASSET_PICTURE, 96, 96, 0, 0, 0},
    {"treeline.png", ASSET_PICTURE, 512, 328, 0, 0, 0},
    {"city.png", ASSET_PICTURE, 512, 312, 0, 0, 0},
    {"UImask.png", ASSET_PICTURE, 1024, 64, 0, 0, 0},
    {"swoopbar.png", ASSET_PICTURE, 265, 28, 0, 0, 0},      // at (102, 14), scaled by the energy
    {"swoopframe.png", ASSET_PICTURE, 370, 36, 0, 0, 0},    // at (5, 10): the word, then the frame round the bar
    {"swoopGlow.png", ASSET_PICTURE, 64, 64, 0, 0, 0},
    {"pigeon1.png", ASSET_PICTURE, 32, 32, 0, 0, 0},
    {"pigeon2.png", ASSET_PICTURE, 32, 32, 0, 0, 0},
    {"impact.png", ASSET_PICTURE, 32, 32, 0, 0, 0},
    {"citizen1.png", ASSET_PICTURE, 36, 110, 0, 0, 0},      // feet on the bottom row, standing at y 650
    {"citizen2.png", ASSET_PICTURE, 36, 110, 0, 0, 0},
    {"citizen4.png", ASSET_PICTURE, 36, 110, 0, 0, 0},
    {"lamp1.png", ASSET_PICTURE, 56, 480, 0, 0, 0},         // lamp head 26 right, 36 down
    {"halo.png", ASSET_PICTURE, 332, 372, 0, 0, 0},         // at (x - 140, y - 150): brightest at (166, 186)
    {"owntest.png", ASSET_PICTURE, 100, 90, 0, 0, 0},       // the owl poses share one canvas, centred
    {"flap1.png", ASSET_PICTURE, 100, 90, 0, 0, 0},
    {"flap2.png", ASSET_PICTURE, 100, 90, 0, 0, 0},
    {"flapeyes.png", ASSET_PICTURE, 100, 90, 0, 0, 0},
    {"swoop.png", ASSET_PICTURE, 100, 90, 0, 0, 0},
    {"zap.png", ASSET_PICTURE, 100, 90, 0, 0, 0},
    {"spark.png", ASSET_PICTURE, 16, 16, 0, 0, 0},
    {"feather.png", ASSET_PICTURE, 16, 24, 0, 0, 0},
    {"mist.png", ASSET_PICTURE, 256, 128, 0, 0, 0},         // centred, scaled 2 to 4
    {"x2.png", ASSET_PICTURE, 96, 64, 0, 0, 0},
    {"x3.png", ASSET_PICTURE, 96, 64, 0, 0, 0},
    {"x4.png", ASSET_PICTURE, 96, 64, 0, 0, 0},
    {"paused.png", ASSET_PICTURE, 360, 110, 0, 0, 0},
    {"skull.png", ASSET_PICTURE, 52, 48, 0, 0, 0},          // five from x 670, 5 apart
    {"head.png", ASSET_PICTURE, 52, 48, 0, 0, 0},
    {"swooplevelup.png", ASSET_PICTURE, 320, 80, 0, 0, 0},
    // Game over: layers slide down as the view tilts up (skyline from y -400, city from 0, lamps from (700, 200),
    // bushes from 550, the citizen at (150, 480)); the closing words at (100, 440).
    {"sky-red.png", ASSET_PICTURE, 1024, 768, 0, 0, 0},
    {"skyline-red.png", ASSET_PICTURE, 1024, 700, 0, 0, 0},
    {"city-red.png", ASSET_PICTURE, 1024, 768, 0, 0, 0},
    {"lamp-posts.png", ASSET_PICTURE, 300, 568, 0, 0, 0},
    {"citizen-red.png", ASSET_PICTURE, 90, 240, 0, 0, 0},
    {"front-bushes.png", ASSET_PICTURE, 1024, 218, 0, 0, 0},
    {"the-end-small.png", ASSET_PICTURE, 320, 100, 0, 0, 0},
    {"letterbox.png", ASSET_PICTURE, 1024, 768, 0, 0, 0},   // black bars of 107 top and bottom
    // Ending: skyline pages at scale 2 slide 1040 left (720 wide keeps the second page past the right edge),
    // city pages slide 3080 (2100 wide), bush pages leapfrog by twice their width.
    {"skyblue.png", ASSET_PICTURE, 1024, 768, 0, 0, 0},
    {"skydark.png", ASSET_PICTURE, 512, 384, 0, 0, 0},      // scale 2
    {"skyline-blue.png", ASSET_PICTURE, 720, 300, 0, 0, 0},
    {"citydark.png", ASSET_PICTURE, 2100, 620, 0, 0, 0},
    {"citizen_big.png", ASSET_PICTURE, 200, 400, 0, 0, 0},
    {"citizen_big2.png", ASSET_PICTURE, 200, 400, 0, 0, 0},
    {"lampbeat.png", ASSET_PICTURE, 120, 560, 0, 0, 0},
    {"bigflap1.png", ASSET_PICTURE, 260, 220, 0, 0, 0},
    {"bigflap2.png", ASSET_PICTURE, 260, 220, 0, 0, 0},
    {"swooping.png", ASSET_PICTURE, 260, 200, 0, 0, 0},
    {"bushbeat.png", ASSET_PICTURE, 1024, 220, 0, 0, 0},
    {"closeup_background.png", ASSET_PICTURE, 1024, 554, 0, 0, 0},  // at (0, 107), between the bars
    {"citizen_close.png", ASSET_PICTURE, 600, 554, 0, 0, 0},
    // Credits, drawn at scale 2: title and two lines centred, the art credit from (674, 454), music from (56, 560).
    {"bigtitle.png", ASSET_PICTURE, 480, 150, 0, 0, 0},
    {"programming.png", ASSET_PICTURE, 440, 60, 0, 0, 0},
    {"art.png", ASSET_PICTURE, 170, 100, 0, 0, 0},
    {"music.png", ASSET_PICTURE, 220, 50, 0, 0, 0},
    {"voices.png", ASSET_PICTURE, 400, 50, 0, 0, 0},
    // The font.
    {"futurabd.ttf", ASSET_FONT, 0, 0, 0, 0, 0},
    // Music: the scenes read the play position as their clock.
    {"sorvelinn.ogg", ASSET_MUSIC, 0, 0, 13.5, 16.0, 0},
    {"titular.ogg", ASSET_MUSIC, 0, 0, 31.5, 33.0, 1},
    {"revelations.ogg", ASSET_MUSIC, 0, 0, 40.0, 46.0, 1},
    {"apex.ogg", ASSET_MUSIC, 0, 0, 305.0, 312.0, 1},
    {"tombrider.ogg", ASSET_MUSIC, 0, 0, 38.0, 42.0, 1},
    {"moltin.ogg", ASSET_MUSIC, 0, 0, 34.0, 38.0, 1},
    // Effects of play.
    {"owldie.wav", ASSET_SOUND, 0, 0, 0, 3.0, 0},
    {"paused.wav", ASSET_SOUND, 0, 0, 0, 1.0, 0},
    {"unpaused.wav", ASSET_SOUND, 0, 0, 0, 1.0, 0},
    {"flameon2.wav", ASSET_SOUND, 0, 0, 0, 4.0, 0},
    {"flap01.wav", ASSET_SOUND, 0, 0, 0, 0.6, 0},
    {"flap02.wav", ASSET_SOUND, 0, 0, 0, 0.6, 0},
    {"flap03.wav", ASSET_SOUND, 0, 0, 0, 0.6, 0},
    {"flap04.wav", ASSET_SOUND, 0, 0, 0, 0.6, 0},
    {"swoopbonus1.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"swoopbonus2.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"swoopbonus3.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"swoopbonus4.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"swoopbonus5.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"swoopbonus6.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"swoopbonus7.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"niceswoopin.wav", ASSET_SOUND, 0, 0, 0, 3.0, 0},
    {"constantswoop.wav", ASSET_SOUND, 0, 0, 0, 4.0, 0},
    {"human-hit01.ogg", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"human-hit02.ogg", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"human-hit03.ogg", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"human-hit04.ogg", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"gentlemen-hit01.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"gentlemen-hit02.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"gentlemen-hit03.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"gentlemen-hit04.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"gentlemen-hit05.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"gentlemen-hit06.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"gentlemen-hit08.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"dive.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    {"pigeon-hit-01.wav", ASSET_SOUND, 0, 0, 0, 1.0, 0},
    {"pigeon-hit-02.wav", ASSET_SOUND, 0, 0, 0, 1.0, 0},
    {"pigeon-hit-03.wav", ASSET_SOUND, 0, 0, 0, 1.0, 0},
    {"gentlemenswoop1.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop2.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop3.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop4.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop5.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop6.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop7.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop8.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop9.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop10.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop11.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop12.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop13.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"gentlemenswoop14.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0},
    {"hit-lamp2.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0},
    // Narration: the prologue's story and the game-over line.
    {"monologue.wav", ASSET_SOUND, 0, 0, 24.0, 34.0, 0},
    {"gameover.wav", ASSET_SOUND, 0, 0, 0, 8.0, 0},
};

//---- Lookup

const AssetEntry *assetTable() { return ASSETS; }

int assetCount() { return (int)(sizeof(ASSETS) / sizeof(ASSETS[0])); }

const AssetEntry *findAsset(const char *name) {
  if (!name) return nullptr;
  for (const AssetEntry &e : ASSETS)
    if (strcmp(e.name, name) == 0) return &e;
  return nullptr;
}

//---- Fixed-seed random numbers: splitmix64 seeded from a file name, so each file has its own stream

Rng rngFromName(const char *name) {
  uint64_t h = 1469598103934665603ull;  // FNV-1a of the name
  for (const char *p = name; p && *p; ++p) h = (h ^ (unsigned char)*p) * 1099511628211ull;
  return Rng{h};
}

uint64_t rngNext(Rng &r) {
  uint64_t z = (r.state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

double rngUniform(Rng &r) { return (double)(rngNext(r) >> 11) * (1.0 / 9007199254740992.0); }

double rngRange(Rng &r, double lo, double hi) { return lo + (hi - lo) * rngUniform(r); }

int rngInt(Rng &r, int n) { return n <= 0 ? 0 : (int)(rngNext(r) % (uint64_t)n); }
