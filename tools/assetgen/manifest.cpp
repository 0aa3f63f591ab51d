// DUNMARROW asset generator: the manifest, one line per file of data/, with the size each scene needs.
// The sizes follow from where the scenes place, scale and slide each picture (noted beside each line); each
// picture names the function that paints it.

#include "assetgen.h"  // AssetEntry, Rng
#include "pictures.h"  // the painter of each picture
#include <cstring>     // strcmp

//---- The table

static constexpr AssetEntry ASSETS[] = {
    // Startup splash: four title cards and the logo, all centred on (512, 384) and growing slowly.
    {"branding.png", ASSET_PICTURE, 720, 170, 0, 0, 0, paintBranding},
    {"leadership.png", ASSET_PICTURE, 720, 170, 0, 0, 0, paintLeadership},
    {"eyewear.png", ASSET_PICTURE, 720, 170, 0, 0, 0, paintEyewear},
    {"bananas.png", ASSET_PICTURE, 720, 170, 0, 0, 0, paintBananas},
    {"vorn-glow.png", ASSET_PICTURE, 440, 440, 0, 0, 0, paintVornGlow},
    {"vorn-plain.png", ASSET_PICTURE, 440, 440, 0, 0, 0, paintVornPlain},
    // Title: full-screen skies, the skyline at y 425, the portrait at (22, 275) down to the bottom edge,
    // its three variants at (-38, 264) with the portrait 60 right and 11 down inside them.
    {"skygradient.png", ASSET_PICTURE, 1024, 768, 0, 0, 0, paintSkyGradient},
    {"skysolid.png", ASSET_PICTURE, 1024, 768, 0, 0, 0, paintSkySolid},
    {"skyline.png", ASSET_PICTURE, 1024, 343, 0, 0, 0, paintSkyline},
    {"cloud.png", ASSET_PICTURE, 420, 150, 0, 0, 0, paintCloud},
    {"bigowl.png", ASSET_PICTURE, 420, 493, 0, 0, 0, paintBigOwl},
    {"bigowlblink.png", ASSET_PICTURE, 480, 504, 0, 0, 0, paintBigOwlBlink},
    {"bigowlstare.png", ASSET_PICTURE, 480, 504, 0, 0, 0, paintBigOwlStare},
    {"bigowltwitch.png", ASSET_PICTURE, 480, 504, 0, 0, 0, paintBigOwlTwitch},
    {"title.png", ASSET_PICTURE, 580, 150, 0, 0, 0, paintTitle},             // at (428, 13)
    {"attack-help.png", ASSET_PICTURE, 340, 110, 0, 0, 0, paintAttackHelp},  // from x 677 (or 595) to the right edge
    {"swoop-help.png", ASSET_PICTURE, 390, 110, 0, 0, 0, paintSwoopHelp},    // from x 630 (or 595)
    {"space-help.png", ASSET_PICTURE, 210, 110, 0, 0, 0, paintSpaceHelp},    // from x 810 (or 595)
    // Prologue: the dusk sky at (0, 120), skyline pages at y 166 and tree pages at y 430 tiling every 1024,
    // the rising moon from (405, 190), the owl frames at x 100 and 68 (body 32 further right in frame 2).
    {"sunset.png", ASSET_PICTURE, 1024, 768, 0, 0, 0, paintSunset},
    {"night-moon.png", ASSET_PICTURE, 128, 128, 0, 0, 0, paintNightMoon},
    {"prologue-skyline.png", ASSET_PICTURE, 1024, 330, 0, 0, 0, paintPrologueSkyline},
    {"sunset_trees.png", ASSET_PICTURE, 1024, 340, 0, 0, 0, paintSunsetTrees},
    {"flap1_sunset.png", ASSET_PICTURE, 150, 120, 0, 0, 0, paintFlap1Sunset},
    {"flap2_sunset.png", ASSET_PICTURE, 182, 120, 0, 0, 0, paintFlap2Sunset},
    // Game: city pages at scale 2 from y 144 (512 x 312 covers 1024 x 624), tree pages at 2.01 from y 114.
    {"moon.png", ASSET_PICTURE, 96, 96, 0, 0, 0, paintMoon},
    {"treeline.png", ASSET_PICTURE, 512, 328, 0, 0, 0, paintTreeline},
    {"city.png", ASSET_PICTURE, 512, 312, 0, 0, 0, paintCity},
    {"UImask.png", ASSET_PICTURE, 1024, 64, 0, 0, 0, paintUiMask},
    {"swoopbar.png", ASSET_PICTURE, 265, 28, 0, 0, 0, paintSwoopBar},  // at (102, 14), scaled by the energy
    // at (5, 10): the word, then the frame round the bar
    {"swoopframe.png", ASSET_PICTURE, 370, 36, 0, 0, 0, paintSwoopFrame},
    {"swoopGlow.png", ASSET_PICTURE, 64, 64, 0, 0, 0, paintSwoopGlow},
    {"pigeon1.png", ASSET_PICTURE, 32, 32, 0, 0, 0, paintPigeon1},
    {"pigeon2.png", ASSET_PICTURE, 32, 32, 0, 0, 0, paintPigeon2},
    {"impact.png", ASSET_PICTURE, 32, 32, 0, 0, 0, paintImpact},
    {"citizen1.png", ASSET_PICTURE, 36, 110, 0, 0, 0, paintCitizen1},  // feet on the bottom row, standing at y 650
    {"citizen2.png", ASSET_PICTURE, 36, 110, 0, 0, 0, paintCitizen2},
    {"citizen4.png", ASSET_PICTURE, 36, 110, 0, 0, 0, paintCitizen4},
    {"lamp1.png", ASSET_PICTURE, 56, 480, 0, 0, 0, paintLamp1},      // lamp head 26 right, 36 down
    {"halo.png", ASSET_PICTURE, 332, 372, 0, 0, 0, paintHalo},       // at (x - 140, y - 150): brightest at (166, 186)
    {"owntest.png", ASSET_PICTURE, 100, 90, 0, 0, 0, paintOwntest},  // the owl poses share one canvas, centred
    {"flap1.png", ASSET_PICTURE, 100, 90, 0, 0, 0, paintFlap1},
    {"flap2.png", ASSET_PICTURE, 100, 90, 0, 0, 0, paintFlap2},
    {"flapeyes.png", ASSET_PICTURE, 100, 90, 0, 0, 0, paintFlapEyes},
    {"swoop.png", ASSET_PICTURE, 100, 90, 0, 0, 0, paintSwoop},
    {"zap.png", ASSET_PICTURE, 100, 90, 0, 0, 0, paintZap},
    {"spark.png", ASSET_PICTURE, 16, 16, 0, 0, 0, paintSpark},
    {"feather.png", ASSET_PICTURE, 16, 24, 0, 0, 0, paintFeather},
    {"mist.png", ASSET_PICTURE, 256, 128, 0, 0, 0, paintMist},  // centred, scaled 2 to 4
    {"x2.png", ASSET_PICTURE, 96, 64, 0, 0, 0, paintX2},
    {"x3.png", ASSET_PICTURE, 96, 64, 0, 0, 0, paintX3},
    {"x4.png", ASSET_PICTURE, 96, 64, 0, 0, 0, paintX4},
    {"paused.png", ASSET_PICTURE, 360, 110, 0, 0, 0, paintPaused},
    {"skull.png", ASSET_PICTURE, 52, 48, 0, 0, 0, paintSkull},  // five from x 670, 5 apart
    {"head.png", ASSET_PICTURE, 52, 48, 0, 0, 0, paintHead},
    {"swooplevelup.png", ASSET_PICTURE, 320, 80, 0, 0, 0, paintSwoopLevelUp},
    // Game over: layers slide down as the view tilts up (skyline from y -400, city from 0, lamps from (700, 200),
    // bushes from 550, the citizen at (150, 480)); the closing words at (100, 440).
    {"sky-red.png", ASSET_PICTURE, 1024, 768, 0, 0, 0, paintSkyRed},
    {"skyline-red.png", ASSET_PICTURE, 1024, 700, 0, 0, 0, paintSkylineRed},
    {"city-red.png", ASSET_PICTURE, 1024, 768, 0, 0, 0, paintCityRed},
    {"lamp-posts.png", ASSET_PICTURE, 300, 568, 0, 0, 0, paintLampPosts},
    {"citizen-red.png", ASSET_PICTURE, 90, 240, 0, 0, 0, paintCitizenRed},
    {"front-bushes.png", ASSET_PICTURE, 1024, 218, 0, 0, 0, paintFrontBushes},
    {"the-end-small.png", ASSET_PICTURE, 320, 100, 0, 0, 0, paintTheEndSmall},
    {"letterbox.png", ASSET_PICTURE, 1024, 768, 0, 0, 0, paintLetterbox},  // black bars of 107 top and bottom
    // Ending: skyline pages at scale 2 slide 1040 left (720 wide keeps the second page past the right edge),
    // city pages slide 3080 (2100 wide), bush pages leapfrog by twice their width.
    {"skyblue.png", ASSET_PICTURE, 1024, 768, 0, 0, 0, paintSkyBlue},
    {"skydark.png", ASSET_PICTURE, 512, 384, 0, 0, 0, paintSkyDark},  // scale 2
    {"skyline-blue.png", ASSET_PICTURE, 720, 300, 0, 0, 0, paintSkylineBlue},
    {"citydark.png", ASSET_PICTURE, 2100, 620, 0, 0, 0, paintCityDark},
    {"citizen_big.png", ASSET_PICTURE, 200, 400, 0, 0, 0, paintCitizenBig},
    {"citizen_big2.png", ASSET_PICTURE, 200, 400, 0, 0, 0, paintCitizenBig2},
    {"lampbeat.png", ASSET_PICTURE, 120, 560, 0, 0, 0, paintLampBeat},
    {"bigflap1.png", ASSET_PICTURE, 260, 220, 0, 0, 0, paintBigFlap1},
    {"bigflap2.png", ASSET_PICTURE, 260, 220, 0, 0, 0, paintBigFlap2},
    {"swooping.png", ASSET_PICTURE, 260, 200, 0, 0, 0, paintSwooping},
    {"bushbeat.png", ASSET_PICTURE, 1024, 220, 0, 0, 0, paintBushBeat},
    // at (0, 107), between the bars
    {"closeup_background.png", ASSET_PICTURE, 1024, 554, 0, 0, 0, paintCloseupBackground},
    {"citizen_close.png", ASSET_PICTURE, 600, 554, 0, 0, 0, paintCitizenClose},
    // Credits, drawn at scale 2: title and two lines centred, the art credit from (674, 454), music from (56, 560).
    {"bigtitle.png", ASSET_PICTURE, 480, 150, 0, 0, 0, paintBigTitle},
    {"programming.png", ASSET_PICTURE, 440, 60, 0, 0, 0, paintProgramming},
    {"art.png", ASSET_PICTURE, 170, 100, 0, 0, 0, paintArt},
    {"music.png", ASSET_PICTURE, 220, 50, 0, 0, 0, paintMusic},
    {"voices.png", ASSET_PICTURE, 400, 50, 0, 0, 0, paintVoices},
    // The window's icon, set before the window opens: the desktop icon at 128 px.
    {"icon.png", ASSET_PICTURE, 128, 128, 0, 0, 0, paintWindowIcon},
    // The font.
    {"futurabd.ttf", ASSET_FONT, 0, 0, 0, 0, 0, nullptr},
    // Music: the scenes read the play position as their clock.
    {"sorvelinn.ogg", ASSET_MUSIC, 0, 0, 13.5, 16.0, 0, nullptr},
    {"titular.ogg", ASSET_MUSIC, 0, 0, 31.5, 33.0, 1, nullptr},
    {"revelations.ogg", ASSET_MUSIC, 0, 0, 40.0, 46.0, 1, nullptr},
    {"apex.ogg", ASSET_MUSIC, 0, 0, 305.0, 312.0, 1, nullptr},
    {"tombrider.ogg", ASSET_MUSIC, 0, 0, 38.0, 42.0, 1, nullptr},
    {"moltin.ogg", ASSET_MUSIC, 0, 0, 34.0, 38.0, 1, nullptr},
    // Effects of play.
    {"owldie.wav", ASSET_SOUND, 0, 0, 0, 3.0, 0, nullptr},
    {"paused.wav", ASSET_SOUND, 0, 0, 0, 1.0, 0, nullptr},
    {"unpaused.wav", ASSET_SOUND, 0, 0, 0, 1.0, 0, nullptr},
    {"flameon2.wav", ASSET_SOUND, 0, 0, 0, 4.0, 0, nullptr},
    {"flap01.wav", ASSET_SOUND, 0, 0, 0, 0.6, 0, nullptr},
    {"flap02.wav", ASSET_SOUND, 0, 0, 0, 0.6, 0, nullptr},
    {"flap03.wav", ASSET_SOUND, 0, 0, 0, 0.6, 0, nullptr},
    {"flap04.wav", ASSET_SOUND, 0, 0, 0, 0.6, 0, nullptr},
    {"swoopbonus1.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"swoopbonus2.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"swoopbonus3.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"swoopbonus4.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"swoopbonus5.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"swoopbonus6.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"swoopbonus7.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"niceswoopin.wav", ASSET_SOUND, 0, 0, 0, 3.0, 0, nullptr},
    {"constantswoop.wav", ASSET_SOUND, 0, 0, 0, 4.0, 0, nullptr},
    {"human-hit01.ogg", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"human-hit02.ogg", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"human-hit03.ogg", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"human-hit04.ogg", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"gentlemen-hit01.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"gentlemen-hit02.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"gentlemen-hit03.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"gentlemen-hit04.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"gentlemen-hit05.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"gentlemen-hit06.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"gentlemen-hit08.aiff", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"dive.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    {"pigeon-hit-01.wav", ASSET_SOUND, 0, 0, 0, 1.0, 0, nullptr},
    {"pigeon-hit-02.wav", ASSET_SOUND, 0, 0, 0, 1.0, 0, nullptr},
    {"pigeon-hit-03.wav", ASSET_SOUND, 0, 0, 0, 1.0, 0, nullptr},
    {"gentlemenswoop1.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop2.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop3.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop4.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop5.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop6.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop7.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop8.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop9.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop10.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop11.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop12.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop13.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"gentlemenswoop14.wav", ASSET_SOUND, 0, 0, 0, 1.99, 0, nullptr},
    {"hit-lamp2.wav", ASSET_SOUND, 0, 0, 0, 2.0, 0, nullptr},
    // Narration: the prologue's story and the game-over line.
    {"monologue.wav", ASSET_SOUND, 0, 0, 24.0, 34.0, 0, nullptr},
    {"gameover.wav", ASSET_SOUND, 0, 0, 0, 8.0, 0, nullptr},
};

//---- Lookup

const AssetEntry* assetTable()
{
    return ASSETS;
}

int assetCount()
{
    return (int)(sizeof(ASSETS) / sizeof(ASSETS[0]));
}

const AssetEntry* findAsset(const char* name)
{
    if (!name)
        return nullptr;
    for (const AssetEntry& e : ASSETS)
        if (strcmp(e.name, name) == 0)
            return &e;
    return nullptr;
}

//---- Fixed-seed random numbers: splitmix64 seeded from a file name, so each file has its own stream

Rng rngFromName(const char* name)
{
    uint64_t h = 1469598103934665603ull;  // FNV-1a of the name
    for (const char* p = name; p && *p; ++p)
        h = (h ^ (unsigned char)*p) * 1099511628211ull;
    return Rng{h};
}

uint64_t rngNext(Rng& r)
{
    uint64_t z = (r.state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double rngUniform(Rng& r)
{
    return (double)(rngNext(r) >> 11) * (1.0 / 9007199254740992.0);
}

double rngRange(Rng& r, double lo, double hi)
{
    return lo + (hi - lo) * rngUniform(r);
}

int rngInt(Rng& r, int n)
{
    return n <= 0 ? 0 : (int)(rngNext(r) % (uint64_t)n);
}
