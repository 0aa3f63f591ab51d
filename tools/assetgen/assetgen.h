// DUNMARROW asset generator: shared contract between the picture, sound, music and voice units.
// Every file of data/ is listed once in the manifest with its intended size; the painters and composers fill them.
#pragma once

#include <cairo.h>  // cairo_t, cairo_surface_t for the picture units
#include <cstdint>  // uint64_t for the fixed-seed generator
#include <string>   // fingerprint lines
#include <vector>   // sample buffers

//---- Manifest

enum AssetKind { ASSET_PICTURE = 0, ASSET_MUSIC = 1, ASSET_SOUND = 2, ASSET_FONT = 3 };

struct Canvas;
struct Rng;
// Paints one picture on a canvas of its row's size; `rng` is seeded from the picture's name (pictures.h).
typedef void (*PicturePainter)(Canvas& c, Rng& rng);

// One file of the pack. Pictures: width and height in pixels. Music: the shortest length the scenes rely on and
// whether the track loops; sounds: the longest length allowed (0 = no limit).
struct AssetEntry {
    const char* name;      // path under the data folder, e.g. "city.png"
    int kind;              // AssetKind
    int width, height;     // pictures only
    double minSeconds;     // music: at least this long
    double maxSeconds;     // sounds and music: at most this long (0 = free)
    int loops;             // music that the sound module loops: its ends must join
    PicturePainter paint;  // pictures only: the function that paints it
};

// The whole pack, in a fixed order. Read by the generator and its tests.
const AssetEntry* assetTable();
int assetCount();
// Looks a name up ("city.png"); null when the pack has no such file.
const AssetEntry* findAsset(const char* name);

//---- Fixed-seed random numbers (the pack never reads the clock or the C library's rand)

struct Rng {
    uint64_t state;
};
Rng rngFromName(const char* name);
uint64_t rngNext(Rng& r);
double rngUniform(Rng& r);  // [0, 1)
double rngRange(Rng& r, double lo, double hi);
int rngInt(Rng& r, int n);  // [0, n)
// Restarts this thread's stream behind the C library's rand(), which espeak-ng, cairo and FluidSynth draw from,
// from `name`: whatever they draw for one file then depends on that file alone, never on the other thread.
void seedLibraryRandom(const char* name);

//---- Pictures (paint.cpp; pictures.cpp and the pictures*.cpp of each subject)

struct Canvas {
    cairo_surface_t* surface;
    cairo_t* cr;
    int width, height;
};
struct Rgba {
    double r, g, b, a;
};

Canvas canvasCreate(int width, int height);
void canvasFree(Canvas& c);
// Writes an 8-bit RGBA PNG (colour type 6 even when the picture is opaque: the texture loader copies 4 bytes a pixel).
bool writePngRgba(cairo_surface_t* surface, const char* path);
// Soft blur built from cairo's own scaling filters: shrink by `radius`, then scale back up.
void blurSurface(cairo_surface_t* surface, double radius);
// The game's font (League Spartan Bold, shipped as futurabd.ttf) at `size` pixels on this cairo context.
bool fontInit(const char* fontPath);
void setGameFont(cairo_t* cr, double size);
// Text helpers, in the game's font. align: 0 left, 1 centre, 2 right of x; y is the baseline.
double textWidth(cairo_t* cr, const char* text, double size);
// The largest size up to `size` at which the text fits in `maxWidth`.
double fitTextSize(cairo_t* cr, const char* text, double size, double maxWidth);
void drawText(cairo_t* cr, const char* text, double x, double y, double size, int align, Rgba fill, Rgba outline,
              double outlineWidth);
// Text with a blurred halo of `glow` colour behind it.
void drawGlowText(Canvas& c, const char* text, double x, double y, double size, int align, Rgba fill, Rgba glow,
                  double glowRadius);

// Paints one picture of the manifest with its row's painter and writes it into `dir`. Returns 1 when it could not
// be written, 0 otherwise.
int paintPicture(const char* dir, const AssetEntry& entry);

//---- Sound (sound.cpp)

constexpr int SAMPLE_RATE = 44100;

struct Sound {
    std::vector<float> samples;  // interleaved
    int channels;
};

enum SoundFormat { FORMAT_WAV = 0, FORMAT_AIFF = 1, FORMAT_OGG = 2 };
// Format chosen from the name's extension; writes 16-bit PCM for WAV and AIFF and Vorbis for OGG.
bool writeSound(const char* dir, const char* name, const Sound& s);
// Scales so the loudest sample sits at `peak`, and never above: nothing clips.
void normalizeSound(Sound& s, double peak);
// Short fades at both ends so a one-shot effect starts and stops without a click.
void fadeEdges(Sound& s, double inSeconds, double outSeconds);
// Fades the last `seconds` out along a squared curve, so that a noise tail sinks away rather than stops: the
// last hundredth of a second lies some 50 dB under where the fade began.
void fadeOutSmoothly(Sound& s, double seconds);
// Folds everything past `loopFrames` back onto the start, so a track looping there continues its own tail.
void foldLoopTail(Sound& s, long loopFrames);
// Mixes `src` (same channel count or mono) into `dst` from frame `at`, scaled by `gain`; grows `dst` as needed.
void mixInto(Sound& dst, const Sound& src, long at, double gain);
Sound silence(int channels, double seconds);

// Takes out any constant offset with a gentle high-pass near 10 Hz, so a sound swings about silence.
void removeDc(Sound& s);
// Holds every peak below `ceiling` with a short look-ahead limiter that never clips and releases smoothly.
void limitPeaks(Sound& s, double ceiling);
// The level of a sound in dBFS: the RMS of its 0.4-second blocks, leaving out near-silent blocks and blocks
// more than 20 dB under the rest (so pauses and fades do not pull it down).
double gatedLevelDb(const Sound& s);
// Brings a piece of music to `targetDb` (gated RMS) with its slow swells, measured over 3-second windows, spread
// over about `rangeDb` between its quiet and its loud passages; contrasts within a few seconds are kept. A loop
// is levelled across its seam. Peaks are limited below `ceiling`.
void levelMusic(Sound& s, double targetDb, double rangeDb, bool loops, double ceiling);
// Brings a sound to `targetDb` (gated RMS), limiting its peaks below `ceiling`.
void levelSound(Sound& s, double targetDb, double ceiling);
// Narrows the stereo image just enough that left and right correlate at least `minCorrelation`, so the sound
// loses nothing when played in mono.
void keepInPhase(Sound& s, double minCorrelation);

// Simple filters for noises and voices (per channel state kept inside the call).
void lowPass(Sound& s, double hz);
void highPass(Sound& s, double hz);
void bandBoost(Sound& s, double hz, double q, double gainDb);
// Room or hall reverb (Schroeder style: comb bank and all-passes), `mix` of wet signal, `size` 0..1.
void reverb(Sound& s, double size, double damp, double mix);

// A note or control change for the soundfont renderer; times in seconds.
struct MidiEvent {
    double time;
    int type;  // 0 note on, 1 note off, 2 control change, 3 program change, 4 pitch bend
    int chan;
    int a;  // key, controller, program or bend value
    int b;  // velocity or controller value
};
struct Score {
    std::vector<MidiEvent> events;
    double seconds;  // length to render (tails included)
    double gain;     // synthesizer master gain
    double reverbLevel;
};
void scoreNote(Score& s, double start, double len, int chan, int key, int vel);
void scoreProgram(Score& s, double t, int chan, int program);
void scoreControl(Score& s, double t, int chan, int controller, int value);
void scoreBend(Score& s, double t, int chan, int value);
// Renders with FluidSynth and the General MIDI soundfont, offline; stereo.
bool renderScore(const Score& score, const char* soundfontPath, Sound& out);
void soundfontPath(const char* path);
const char* soundfont();

//---- Jobs (music.cpp, effects.cpp, voices.cpp)

// Each writes its files into `dir` and returns the number of failures.
int makeMusic(const char* dir, const char* name);
int makeEffect(const char* dir, const char* name);
// Starts espeak-ng from its installed data, whatever the environment says; call before any second thread runs
// (it sets the C library's character locale). False when it cannot start.
bool voicesInit();
int makeVoices(const char* dir);  // every spoken file; espeak-ng is single-threaded, so one job

//---- Desktop icon (icon.cpp)

// Writes the launcher icon into `dir` as the icon theme lays it out: 48x48, 128x128 and 256x256
// apps/dunmarrow.png and scalable/apps/dunmarrow.svg. Returns the number of failures.
int makeIcons(const char* dir);

//---- Fingerprints of the decoded content (fingerprint.cpp)

// One line for a file of the pack: a 64-bit hash of what the game gets from it (the RGBA pixels of a picture,
// the 16-bit samples of a sound, the bytes of the font) with its shape, then the name. Empty when it cannot be read.
std::string fingerprintLine(const char* dir, const AssetEntry& entry);
// Writes dir/MANIFEST: the fingerprint of every file in the manifest's order, then of the font. Two packs made
// on any machine, any number of threads, in any environment, must give the same MANIFEST.
bool writeFingerprints(const char* dir, int threads);
