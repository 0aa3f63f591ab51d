// DUNMARROW asset generator: the six music tracks, composed as note sequences and rendered with the soundfont.
// The scenes time themselves against the music position, so every section starts where its scene expects it.

#include "assetgen.h"  // Score, Sound, Rng, renderScore, writeSound
#include <algorithm>   // std::min
#include <cmath>       // fmod
#include <cstdlib>     // abs
#include <cstdio>      // fprintf
#include <cstring>     // strcmp

//---- General MIDI programs and drum keys used here

enum {
    GM_PIANO = 0,
    GM_CELESTA = 8,
    GM_GLOCKEN = 9,
    GM_TUBULAR = 14,
    GM_CELLO = 42,
    GM_CONTRABASS = 43,
    GM_TREMOLO = 44,
    GM_PIZZICATO = 45,
    GM_HARP = 46,
    GM_TIMPANI = 47,
    GM_STRINGS = 48,
    GM_SLOW_STRINGS = 49,
    GM_CHOIR = 52,
    GM_TRUMPET = 56,
    GM_HORN = 60,
    GM_BRASS = 61,
    GM_FLUTE = 73,
    GM_WARM_PAD = 89,
    GM_HALO_PAD = 94,
};
enum {
    DR_KICK = 36,
    DR_SNARE = 38,
    DR_LOW_TOM = 41,
    DR_HAT = 42,
    DR_MID_TOM = 45,
    DR_CRASH = 49,
    DR_RIDE = 51,
    DR_TAMB = 54
};
static constexpr int DRUMS = 9;

//---- Chords and the arranger

struct Chord {
    int root;
    int tones[4];
    int count;
};

static constexpr Chord maj(int r)
{
    return Chord{r, {0, 4, 7, 12}, 3};
}
static constexpr Chord mnr(int r)
{
    return Chord{r, {0, 3, 7, 12}, 3};
}
static constexpr Chord maj7(int r)
{
    return Chord{r, {0, 4, 7, 11}, 4};
}
static constexpr Chord min7(int r)
{
    return Chord{r, {0, 3, 7, 10}, 4};
}
static constexpr Chord dom7(int r)
{
    return Chord{r, {0, 4, 7, 10}, 4};
}
static constexpr Chord sus2(int r)
{
    return Chord{r, {0, 2, 7, 12}, 3};
}

// Pitch names as MIDI keys in octave 3 (C3 = 48).
enum { C3 = 48, Db3, D3, Eb3, E3, F3, Gb3, G3, Ab3, A3, Bb3, B3 };

// Tone `i` of the chord (wrapping into higher octaves), placed at or above `floor`.
static int chordTone(const Chord& c, int i, int floorKey)
{
    int oct = i / c.count, k = i % c.count;
    int key = c.root + c.tones[k] + 12 * oct;
    while (key < floorKey)
        key += 12;
    return key;
}

struct Arranger {
    Score* score;
    double beat;  // seconds per beat
    Rng rng;
};

static double at(const Arranger& a, double beats)
{
    return beats * a.beat;
}

// A held chord across `beats`, voiced upward from `floorKey`.
static void pad(Arranger& a, int chan, double b0, double beats, const Chord& c, int floorKey, int vel)
{
    for (int i = 0; i < c.count; ++i)
        scoreNote(*a.score, at(a, b0), at(a, beats) * 0.98, chan, chordTone(c, i, floorKey), vel);
}

// Broken chord in steps of `step` beats, up and down the chord from `floorKey`.
static void arpeggio(Arranger& a, int chan, double b0, double beats, const Chord& c, int floorKey, double step, int vel,
                     int span)
{
    int n = (int)(beats / step + 0.5);
    for (int i = 0; i < n; ++i) {
        int cycle = 2 * span - 2;
        int j = cycle > 0 ? i % cycle : 0;
        if (j >= span)
            j = cycle - j;
        int v = vel - 6 + rngInt(a.rng, 12);
        scoreNote(*a.score, at(a, b0 + i * step), at(a, step * 2.5), chan, chordTone(c, j, floorKey), v);
    }
}

// A melody over the chord: chord tones on the beat, passing tones of the scale between, in a gentle walk.
static int melody(Arranger& a, int chan, double b0, double beats, const Chord& c, const int* scale, int low, int high,
                  int last, const double* rhythm, int rhythmCount, int vel)
{
    double b = b0;
    int key = last;
    for (int i = 0; b < b0 + beats - 0.01; ++i) {
        double len = rhythm[i % rhythmCount];
        if (len < 0) {
            b -= len;
            continue;
        }  // negative lengths are rests
        int step = rngInt(a.rng, 5) - 2;
        int target = key + step * 2;
        if (std::fmod(b - b0, 1.0) < 0.01) {
            // On the beat: the nearest chord tone.
            int best = target, bestD = 99;
            for (int k = low; k <= high; ++k) {
                int pc = ((k - c.root) % 12 + 12) % 12;
                for (int t = 0; t < c.count; ++t)
                    if (pc == c.tones[t] % 12 && std::abs(k - target) < bestD) {
                        best = k;
                        bestD = std::abs(k - target);
                    }
            }
            key = best;
        } else {
            int best = target, bestD = 99;
            for (int k = low; k <= high; ++k) {
                int pc = ((k % 12) + 12) % 12;
                for (int t = 0; t < 7; ++t)
                    if (pc == scale[t] && std::abs(k - target) < bestD) {
                        best = k;
                        bestD = std::abs(k - target);
                    }
            }
            key = best;
        }
        if (key < low)
            key += 12;
        if (key > high)
            key -= 12;
        scoreNote(*a.score, at(a, b), at(a, len) * 0.95, chan, key, vel - 5 + rngInt(a.rng, 10));
        b += len;
    }
    return key;
}

static void drum(Arranger& a, double b, int key, int vel)
{
    scoreNote(*a.score, at(a, b), 0.2, DRUMS, key, vel);
}

static void setup(Score& s, int chan, int program, int volume, int pan)
{
    scoreProgram(s, 0, chan, program);
    scoreControl(s, 0, chan, 7, volume);
    scoreControl(s, 0, chan, 10, pan);
    scoreControl(s, 0, chan, 11, 127);
}

// Expression swell on `chan` from `v0` to `v1` across `beats`, in small steps.
static void swell(Arranger& a, int chan, double b0, double beats, int v0, int v1)
{
    int steps = (int)(beats * 4);
    for (int i = 0; i <= steps; ++i)
        scoreControl(*a.score, at(a, b0 + beats * i / steps), chan, 11, v0 + (v1 - v0) * i / steps);
}

//---- Finishing a track

// Every track plays at the same loudness, about -18 dBFS, with some 6 to 8 dB between its quiet and its loud
// passages, so no scene's music is drowned by the effects or shouts over them. `voiceRoom` dB are taken out of
// the speech band of a track that a narrator speaks over.
static constexpr double MUSIC_LEVEL_DB = -18.0, MUSIC_RANGE_DB = 7.0, MUSIC_CEILING = 0.89;

static int finish(const char* dir, const char* name, Score& score, double loopSeconds, int loops,
                  double voiceRoom = 0.0)
{
    Sound s;
    if (!renderScore(score, soundfont(), s))
        return 1;
    if (loops)
        foldLoopTail(s, (long)(loopSeconds * SAMPLE_RATE));
    else
        fadeEdges(s, 0.0, 0.8);
    removeDc(s);
    if (voiceRoom > 0) {
        bandBoost(s, 700, 1.0, -voiceRoom);
        bandBoost(s, 2000, 0.9, -voiceRoom);
    }
    keepInPhase(s, 0.4);
    levelMusic(s, MUSIC_LEVEL_DB, MUSIC_RANGE_DB, loops != 0, MUSIC_CEILING);
    // A loop that starts and ends on near silence joins without a click; a few milliseconds of fade guarantee it.
    if (loops)
        fadeEdges(s, 0.004, 0.004);
    return writeSound(dir, name, s) ? 0 : 1;
}

static const int D_MINOR[7] = {2, 4, 5, 7, 9, 10, 0};
static const int D_MAJOR[7] = {2, 4, 6, 7, 9, 11, 1};
static const int A_MINOR[7] = {9, 11, 0, 2, 4, 5, 7};
static const int C_MINOR[7] = {0, 2, 3, 5, 7, 8, 10};

//---- The game: 70 beats a minute, 4 beats a bar, dusk to night to sunrise over 90 bars (308.6 s)

enum { CALM, MIST, LOW, NIGHT, BURST, SWING, SUNRISE, LASTMIST, RESOLVE };

static int apexStyle(int bar)
{
    double t = bar * 4 * 60.0 / 70.0;  // bar start in seconds
    if (t < 40.0)
        return CALM;  // calm until the first mist at 43
    if (t < 82.0)
        return MIST;  // mist 43 to 80
    if (t < 96.0)
        return LOW;  // low pigeons 86 to 96
    if (t < 123.0)
        return NIGHT;
    if (t < 126.0)
        return BURST;  // the burst 125 to 127
    if (t < 154.0)
        return SWING;  // the swinging wave to 154
    if (t < 174.0)
        return NIGHT;
    if (t < 220.0)
        return MIST;  // mist 175 to 220
    if (t < 254.0)
        return SUNRISE;  // sunrise from 223
    if (t < 290.0)
        return LASTMIST;  // the last mist 256 to 290
    return RESOLVE;       // resolution after 293
}

static int makeApex(const char* dir)
{
    Score s = {};
    s.seconds = 316.0;
    s.gain = 0.55;
    s.reverbLevel = 0.7;
    Arranger a{&s, 60.0 / 70.0, rngFromName("apex.ogg")};
    setup(s, 0, GM_STRINGS, 100, 64);
    setup(s, 1, GM_HARP, 90, 80);
    setup(s, 2, GM_CHOIR, 95, 50);
    setup(s, 3, GM_FLUTE, 85, 70);
    setup(s, 4, GM_CELESTA, 85, 40);
    setup(s, 5, GM_PIZZICATO, 100, 60);
    setup(s, 6, GM_HORN, 95, 70);
    setup(s, 7, GM_BRASS, 100, 64);
    setup(s, 8, GM_TIMPANI, 110, 64);
    setup(s, 10, GM_WARM_PAD, 80, 64);
    setup(s, 11, GM_TUBULAR, 75, 90);
    setup(s, 12, GM_CONTRABASS, 100, 64);
    setup(s, 13, GM_TREMOLO, 90, 64);
    scoreControl(s, 0, DRUMS, 7, 90);

    const Chord calm[4] = {mnr(D3), maj(Bb3 - 12), maj(F3), maj(C3)};
    const Chord mist[4] = {sus2(D3), mnr(G3 - 12), maj7(Bb3 - 12), maj(A3 - 12)};
    const Chord low[4] = {mnr(D3), mnr(D3), maj(Eb3), mnr(D3)};
    const Chord night[4] = {mnr(D3), maj(F3), mnr(G3 - 12), dom7(A3 - 12)};
    const Chord swing[4] = {mnr(D3), maj(Bb3 - 12), mnr(G3 - 12), dom7(A3 - 12)};
    const Chord sunrise[8] = {maj(D3),      maj(A3 - 12), mnr(B3 - 12), maj(G3 - 12),
                              maj(G3 - 12), maj(D3),      mnr(E3),      dom7(A3 - 12)};
    const Chord lastmist[4] = {maj7(D3), mnr(B3 - 12), maj7(G3 - 12), sus2(A3 - 12)};
    const double flowing[] = {1.0, 0.5, 0.5, 2.0};
    const double sparse[] = {2.0, -1.0, 1.0};
    const double lively[] = {0.5, 0.5, 1.0, 0.5, 0.5, 1.0};
    const double hymn[] = {1.5, 0.5, 1.0, 1.0};
    int tune = 74;

    for (int bar = 0; bar < 90; ++bar) {
        double b = bar * 4.0;
        int style = apexStyle(bar);
        int i4 = bar % 4;
        switch (style) {
        case CALM: {
            const Chord& c = calm[i4];
            int grow = std::min(bar, 8) * 3;
            pad(a, 0, b, 4, c, 57, 40 + grow);
            arpeggio(a, 1, b, 4, c, 62, 0.5, 38 + grow, 5);
            scoreNote(s, at(a, b), at(a, 4), 12, c.root - 12 < 36 ? c.root : c.root - 12, 60);
            if (bar >= 4 && bar % 2 == 0)
                tune = melody(a, 3, b, 4, c, D_MINOR, 69, 86, tune, flowing, 4, 58);
            break;
        }
        case MIST: {
            const Chord& c = mist[i4];
            pad(a, 2, b, 4, c, 55, 62);
            pad(a, 10, b, 4, c, 50, 55);
            if (bar % 2 == 1)
                arpeggio(a, 1, b + 1, 2, c, 74, 1.0, 28, 3);
            scoreNote(s, at(a, b), at(a, 4), 12, c.root - 12, 50);
            if (bar % 4 == 2)
                tune = melody(a, 3, b, 4, c, D_MINOR, 64, 81, tune, sparse, 3, 45);
            break;
        }
        case LOW: {
            const Chord& c = low[i4];
            pad(a, 13, b, 4, c, 38, 55);
            for (int k = 0; k < 8; ++k)
                scoreNote(s, at(a, b + k * 0.5), at(a, 0.4), 5, (k % 4 == 3 ? c.root + 7 : c.root) - 12,
                          70 + (k % 2 ? 0 : 12));
            scoreNote(s, at(a, b), at(a, 1), 8, c.root - 12, 85);
            scoreNote(s, at(a, b + 2), at(a, 1), 8, c.root - 12, 70);
            drum(a, b + 3.5, DR_LOW_TOM, 50);
            break;
        }
        case NIGHT: {
            const Chord& c = night[i4];
            pad(a, 0, b, 4, c, 55, 50);
            arpeggio(a, 1, b, 4, c, 60, 0.5, 40, 4);
            for (int k = 0; k < 4; ++k)
                scoreNote(s, at(a, b + k), at(a, 0.5), 5, chordTone(c, k % 2 ? 2 : 0, 38), 70);
            tune = melody(a, 4, b, 4, c, D_MINOR, 72, 93, tune, lively, 6, 62);
            drum(a, b, DR_KICK, 55);
            for (int k = 0; k < 4; ++k)
                drum(a, b + k, DR_RIDE, 30 + (k == 0 ? 10 : 0));
            break;
        }
        case BURST: {
            // Bar 36 (123.4 s): a gathering roll, then brass stabs from 125 s into the wave at 126.9 s.
            for (int k = 0; k < 16; ++k)
                scoreNote(s, at(a, b + k * 0.125), 0.1, 8, D3 - 12, 50 + k * 4);
            const Chord stab = maj(Bb3 - 12), stab2 = dom7(A3 - 12);
            for (int k = 0; k < 4; ++k) {
                pad(a, 7, b + 2 + k * 0.5, 0.4, k < 2 ? stab : stab2, 58, 127);
                pad(a, 7, b + 2 + k * 0.5, 0.4, k < 2 ? stab : stab2, 46, 120);
                scoreNote(s, at(a, b + 2 + k * 0.5), at(a, 0.3), 8, (k < 2 ? Bb3 : A3) - 24, 127);
            }
            drum(a, b + 2, DR_CRASH, 127);
            for (int k = 0; k < 8; ++k)
                drum(a, b + 2 + k * 0.25, DR_SNARE, 80 + k * 6);
            pad(a, 13, b, 2, stab, 45, 70);
            pad(a, 13, b + 2, 2, stab2, 45, 120);
            pad(a, 2, b + 2, 2, stab2, 57, 110);
            pad(a, 0, b + 2, 2, stab2, 50, 120);
            break;
        }
        case SWING: {
            // One bar per swing of the pigeon wave: the strings swell and ebb with it.
            const Chord& c = swing[i4];
            pad(a, 0, b, 4, c, 55, 75);
            swell(a, 0, b, 2, 70, 127);
            swell(a, 0, b + 2, 2, 127, 70);
            for (int k = 0; k < 4; ++k) {
                scoreNote(s, at(a, b + k), at(a, 0.6), 5, chordTone(c, k % 2 ? 1 : 0, 38), 85);
                scoreNote(s, at(a, b + k + 0.667), at(a, 0.3), 5, chordTone(c, 2, 38), 65);
                drum(a, b + k, DR_RIDE, 55);
                drum(a, b + k + 0.667, DR_HAT, 45);
            }
            drum(a, b, DR_KICK, 80);
            drum(a, b + 2, DR_SNARE, 55);
            tune = melody(a, 4, b, 4, c, D_MINOR, 72, 93, tune, lively, 6, 70);
            if (bar % 2 == 0)
                pad(a, 7, b, 0.5, c, 58, 70);
            break;
        }
        case SUNRISE: {
            const Chord& c = sunrise[bar % 8];
            int rise = std::min((bar - 64) * 4, 30);
            pad(a, 0, b, 4, c, 57, 55 + rise / 2);
            arpeggio(a, 1, b, 4, c, 62, 0.5, 45, 5);
            scoreNote(s, at(a, b), at(a, 4), 12, c.root - 12, 65);
            tune = melody(a, 6, b, 4, c, D_MAJOR, 62, 79, tune, hymn, 4, 60 + rise);
            if (bar % 2 == 0)
                scoreNote(s, at(a, b), at(a, 3), 11, chordTone(c, 0, 74), 55);
            scoreNote(s, at(a, b), at(a, 1), 8, c.root - 12, 50);
            break;
        }
        case LASTMIST: {
            const Chord& c = lastmist[i4];
            pad(a, 2, b, 4, c, 57, 60);
            pad(a, 0, b, 4, c, 52, 45);
            pad(a, 10, b, 4, c, 50, 50);
            if (bar % 2 == 0)
                arpeggio(a, 1, b, 4, c, 69, 1.0, 32, 4);
            if (bar % 4 == 3)
                tune = melody(a, 6, b, 4, c, D_MAJOR, 62, 79, tune, sparse, 3, 50);
            scoreNote(s, at(a, b), at(a, 4), 12, c.root - 12, 50);
            break;
        }
        case RESOLVE: {
            // G, A, then D major held to the end: the night is over.
            const Chord seq[5] = {maj(G3 - 12), dom7(A3 - 12), maj(D3), maj(D3), maj(D3)};
            int k = std::min(bar - 85, 4);
            if (bar < 87) {
                pad(a, 0, b, 4, seq[k], 55, 70);
                pad(a, 2, b, 4, seq[k], 60, 60);
                arpeggio(a, 1, b, 4, seq[k], 62, 0.5, 45, 5);
                scoreNote(s, at(a, b), at(a, 4), 12, seq[k].root - 12, 65);
            } else if (bar == 87) {
                pad(a, 0, b, 11.5, seq[2], 50, 70);
                pad(a, 2, b, 11.5, seq[2], 62, 55);
                pad(a, 6, b, 6, seq[2], 62, 60);
                scoreNote(s, at(a, b), at(a, 11.5), 12, D3 - 12, 60);
                scoreNote(s, at(a, b), at(a, 4), 11, D3 + 24, 70);
                scoreNote(s, at(a, b), at(a, 1), 8, D3 - 12, 70);
                swell(a, 0, b + 6, 5.5, 127, 30);
                swell(a, 2, b + 6, 5.5, 127, 30);
            }
            break;
        }
        }
    }
    // The pigeon frenzy, 284 to 293 s: every pigeon left takes to the air at once before the dawn settles it.
    // Driving string sixteenths, a snare roll that builds, brass stabs on every beat and the timpani underneath.
    {
        const double from = 284.0 / a.beat, to = 293.0 / a.beat;
        const Chord fury[2] = {mnr(D3), dom7(A3 - 12)};
        for (double b = from; b < to - 0.01; b += 0.25) {
            double p = (b - from) / (to - from);
            const Chord& c = fury[(int)((b - from) / 4.0) % 2];
            int k = (int)((b - from) * 4 + 0.5);
            scoreNote(s, at(a, b), at(a, 0.22), 5, chordTone(c, k % 4, 50), 90 + (int)(30 * p));
            drum(a, b, DR_SNARE, 60 + (int)(50 * p));
            if (k % 4 == 0) {
                pad(a, 7, b, 0.5, c, 50, 100 + (int)(27 * p));
                scoreNote(s, at(a, b), at(a, 0.4), 8, c.root - 12, 100 + (int)(27 * p));
            }
            if (k % 16 == 0)
                drum(a, b, DR_CRASH, 110);
        }
        for (int k = 0; k < 4; ++k)
            swell(a, 0, from + k * 2.0, 2.0, 90, 127);
        pad(a, 13, from, to - from, mnr(D3), 50, 110);
    }
    return finish(dir, "apex.ogg", s, 90 * 4 * 60.0 / 70.0, 1);
}

//---- The title: 90 beats a minute, 12 bars of 2.667 s; calm until bar 9, which begins at exactly 24.0 s

static int makeTitular(const char* dir)
{
    Score s = {};
    s.seconds = 38.0;
    s.gain = 0.6;
    s.reverbLevel = 0.75;
    Arranger a{&s, 60.0 / 90.0, rngFromName("titular.ogg")};
    setup(s, 0, GM_SLOW_STRINGS, 100, 64);
    setup(s, 1, GM_CELESTA, 95, 45);
    setup(s, 2, GM_HARP, 85, 85);
    setup(s, 3, GM_FLUTE, 85, 64);
    setup(s, 4, GM_BRASS, 110, 64);
    setup(s, 5, GM_TIMPANI, 120, 64);
    setup(s, 6, GM_TREMOLO, 110, 64);
    setup(s, 7, GM_CHOIR, 100, 64);
    setup(s, 8, GM_CONTRABASS, 110, 64);
    scoreControl(s, 0, DRUMS, 7, 110);
    const Chord calm[4] = {mnr(A3 - 12), maj7(F3), mnr(D3), sus2(E3)};
    const double flowing[] = {1.0, 1.0, 0.5, 0.5, 1.0};
    int tune = 76;
    for (int bar = 0; bar < 9; ++bar) {
        double b = bar * 4.0;
        const Chord& c = calm[bar % 4];
        pad(a, 0, b, 4, c, 55, 48);
        arpeggio(a, 1, b, 4, c, 69, 0.5, 50, 5);
        if (bar % 2 == 1)
            arpeggio(a, 2, b, 4, c, 57, 1.0, 35, 4);
        scoreNote(s, at(a, b), at(a, 4), 8, c.root - 12, 55);
        if (bar >= 4)
            tune = melody(a, 3, b, 4, c, A_MINOR, 69, 88, tune, flowing, 5, 55);
    }
    // The turn at 24.0 s: a low brass cluster, timpani and war drums, tremolo strings, a choir on a tritone.
    const Chord dread[3] = {Chord{A3 - 24, {0, 1, 6, 12}, 4}, Chord{F3 - 24, {0, 1, 6, 12}, 4},
                            Chord{Bb3 - 24, {0, 1, 6, 12}, 4}};
    for (int bar = 9; bar < 12; ++bar) {
        double b = bar * 4.0;
        const Chord& c = dread[bar - 9];
        pad(a, 4, b, 4, c, 36, 105);
        pad(a, 6, b, 4, c, 45, 100);
        pad(a, 7, b, 4, Chord{c.root + 12, {0, 6, 13, 12}, 3}, 52, 85);
        scoreNote(s, at(a, b), at(a, 4), 8, c.root, 100);
        for (int k = 0; k < 8; ++k) {
            scoreNote(s, at(a, b + k * 0.5), 0.2, 5, A3 - 24 + (k % 4 == 2 ? 7 : 0), k % 2 ? 75 : 115);
            drum(a, b + k * 0.5, k % 2 ? DR_MID_TOM : DR_LOW_TOM, k % 2 ? 70 : 110);
        }
        drum(a, b, DR_CRASH, bar == 9 ? 120 : 80);
        drum(a, b, DR_KICK, 120);
    }
    swell(a, 4, 46, 2, 127, 80);
    swell(a, 6, 46, 2, 127, 80);
    return finish(dir, "titular.ogg", s, 32.0, 1);
}

//---- The prologue: quiet under the narration, 64 beats a minute, 12 bars (45 s)

static int makeRevelations(const char* dir)
{
    Score s = {};
    s.seconds = 50.0;
    s.gain = 0.5;
    s.reverbLevel = 0.8;
    Arranger a{&s, 60.0 / 64.0, rngFromName("revelations.ogg")};
    setup(s, 0, GM_STRINGS, 90, 64);
    setup(s, 1, GM_HARP, 80, 80);
    setup(s, 2, GM_WARM_PAD, 80, 50);
    setup(s, 3, GM_FLUTE, 70, 70);
    setup(s, 4, GM_CONTRABASS, 90, 64);
    const Chord prog[4] = {maj7(F3), maj(C3), mnr(D3), maj(Bb3 - 12)};
    const double slow[] = {2.0, 1.0, 1.0, -4.0};
    // The story grows slowly under the narrator's voice and swells once he has spoken his last words, as the
    // owl takes wing and the game begins; then it settles towards the loop.
    const double arc[12] = {0.55, 0.6, 0.7, 0.75, 0.8, 0.85, 0.9, 0.9, 0.9, 1.2, 1.3, 0.8};
    int tune = 72;
    for (int bar = 0; bar < 12; ++bar) {
        double b = bar * 4.0;
        const Chord& c = prog[bar % 4];
        auto v = [&](int vel) { return (int)(vel * arc[bar]); };
        pad(a, 0, b, 4, c, 53, v(42));
        pad(a, 2, b, 4, c, 48, v(40));
        arpeggio(a, 1, b, 4, c, 60, 1.0, v(32), 4);
        scoreNote(s, at(a, b), at(a, 4), 4, c.root - 12, v(45));
        if (bar >= 2 && bar % 2 == 0)
            tune = melody(a, 3, b, 8, c, D_MINOR, 67, 81, tune, slow, 4, v(38));
    }
    return finish(dir, "revelations.ogg", s, 12 * 4 * 60.0 / 64.0, 1, 8.0);
}

//---- Game over: slow and red, 60 beats a minute, 10 bars (40 s), a heartbeat on the timpani

static int makeTombrider(const char* dir)
{
    Score s = {};
    s.seconds = 46.0;
    s.gain = 0.6;
    s.reverbLevel = 0.8;
    Arranger a{&s, 1.0, rngFromName("tombrider.ogg")};
    setup(s, 0, GM_SLOW_STRINGS, 100, 64);
    setup(s, 1, GM_CHOIR, 95, 50);
    setup(s, 2, GM_CELLO, 100, 75);
    setup(s, 3, GM_TIMPANI, 110, 64);
    setup(s, 4, GM_TUBULAR, 80, 90);
    setup(s, 5, GM_CONTRABASS, 100, 64);
    const Chord prog[5] = {mnr(C3), maj(Ab3 - 12), mnr(F3), dom7(G3 - 12), mnr(C3)};
    const double lament[] = {2.0, 1.0, 1.0, 3.0, 1.0};
    // The lament rises to its height in the middle and sinks back before the loop.
    const double arc[10] = {0.55, 0.65, 0.8, 0.95, 1.1, 1.25, 1.25, 1.05, 0.8, 0.6};
    int tune = 60;
    for (int bar = 0; bar < 10; ++bar) {
        double b = bar * 4.0;
        const Chord& c = prog[bar % 5];
        auto v = [&](int vel) { return (int)(vel * arc[bar]); };
        pad(a, 0, b, 4, c, 48, v(55));
        if (bar >= 2)
            pad(a, 1, b, 4, c, 55, v(50));
        scoreNote(s, at(a, b), at(a, 4), 5, c.root - 12, v(60));
        scoreNote(s, at(a, b), 0.3, 3, C3 - 12, v(80));
        scoreNote(s, at(a, b + 0.35), 0.3, 3, C3 - 12, v(55));
        scoreNote(s, at(a, b + 2), 0.3, 3, C3 - 12, v(70));
        scoreNote(s, at(a, b + 2.35), 0.3, 3, C3 - 12, v(48));
        if (bar % 2 == 0)
            scoreNote(s, at(a, b), 3.5, 4, C3 + 12, v(60));
        if (bar >= 1)
            tune = melody(a, 2, b, 4, c, C_MINOR, 50, 67, tune, lament, 5, v(62));
    }
    return finish(dir, "tombrider.ogg", s, 40.0, 1, 8.0);
}

//---- The ending: dawn and triumph, 100 beats a minute, 15 bars (36 s)

static int makeMoltin(const char* dir)
{
    Score s = {};
    s.seconds = 42.0;
    s.gain = 0.55;
    s.reverbLevel = 0.65;
    Arranger a{&s, 0.6, rngFromName("moltin.ogg")};
    setup(s, 0, GM_STRINGS, 105, 64);
    setup(s, 1, GM_HARP, 85, 85);
    setup(s, 2, GM_BRASS, 100, 64);
    setup(s, 3, GM_TRUMPET, 95, 55);
    setup(s, 4, GM_TIMPANI, 110, 64);
    setup(s, 5, GM_CONTRABASS, 100, 64);
    setup(s, 6, GM_GLOCKEN, 70, 90);
    setup(s, 7, GM_HORN, 95, 75);
    scoreControl(s, 0, DRUMS, 7, 90);
    const Chord prog[4] = {maj(D3), maj(G3 - 12), mnr(B3 - 12), dom7(A3 - 12)};
    const double fanfare[] = {1.0, 0.5, 0.5, 1.0, 1.0};
    const double broad[] = {2.0, 1.0, 1.0};
    int tune = 69, horn = 62;
    for (int bar = 0; bar < 15; ++bar) {
        double b = bar * 4.0;
        const Chord& c = bar == 14 ? maj(D3) : prog[bar % 4];
        int lift = std::min(bar * 5, 40);
        pad(a, 0, b, 4, c, 55, 50 + lift / 2);
        arpeggio(a, 1, b, 4, c, 62, 0.5, 40 + lift / 3, 5);
        scoreNote(s, at(a, b), at(a, 2), 5, c.root - 12, 70);
        scoreNote(s, at(a, b + 2), at(a, 2), 5, chordTone(c, 2, 38), 60);
        if (bar < 4) {
            horn = melody(a, 7, b, 4, c, D_MAJOR, 57, 74, horn, broad, 3, 55 + bar * 5);
        } else {
            pad(a, 2, b, 1.5, c, 55, 55 + lift);
            pad(a, 2, b + 2, 1.5, c, 55, 50 + lift);
            tune = melody(a, 3, b, 4, c, D_MAJOR, 66, 86, tune, fanfare, 5, 70 + lift / 2);
            for (int k = 0; k < 4; ++k)
                drum(a, b + k, k % 2 ? DR_SNARE : DR_KICK, 60 + lift / 2);
            for (int k = 0; k < 8; ++k)
                drum(a, b + k * 0.5, DR_TAMB, 30);
            scoreNote(s, at(a, b), 0.3, 4, c.root - 12, 75);
        }
        if (bar % 2 == 0)
            scoreNote(s, at(a, b), at(a, 2), 6, chordTone(c, 0, 79), 50);
        if (bar == 4)
            drum(a, b, DR_CRASH, 100);
    }
    // The scene's three turns, each struck so it is heard: the owl's swoop away at 9 s (a rising harp sweep into
    // a cymbal and a brass chord), the view tilting up into the sky at 22 s (a timpani roll and a swelling horn
    // call) and the credits at 30.5 s (the whole band on the tonic).
    {
        for (int k = 0; k < 8; ++k)
            scoreNote(s, 8.6 + k * 0.05, 0.4, 1, 66 + k * 2, 60 + k * 5);
        scoreNote(s, 9.0, 0.2, DRUMS, DR_CRASH, 127);
        scoreNote(s, 9.0, 0.2, DRUMS, DR_KICK, 127);
        pad(a, 2, 9.0 / a.beat, 1.5, maj(G3 - 12), 55, 127);
        pad(a, 2, 9.0 / a.beat, 1.5, maj(G3 - 12), 43, 120);
        pad(a, 3, 9.0 / a.beat, 1.0, maj(G3 - 12), 67, 120);
        pad(a, 7, 9.0 / a.beat, 1.5, maj(G3 - 12), 55, 120);
        for (int k = 0; k < 6; ++k)
            scoreNote(s, 9.0 + k * 0.1, 0.1, 4, G3 - 24, 127 - k * 6);
        for (int k = 0; k < 16; ++k)
            scoreNote(s, 22.0 + k * 0.08, 0.1, 4, A3 - 24, 70 + k * 3);
        scoreNote(s, 22.0, 0.2, DRUMS, DR_CRASH, 120);
        pad(a, 7, 22.0 / a.beat, 3, sus2(A3 - 12), 55, 115);
        pad(a, 2, 22.0 / a.beat, 1.0, dom7(A3 - 12), 55, 110);
        scoreNote(s, 30.5, 0.2, DRUMS, DR_CRASH, 127);
        scoreNote(s, 30.5, 0.2, DRUMS, DR_KICK, 127);
        pad(a, 2, 30.5 / a.beat, 3, maj(D3), 50, 125);
        pad(a, 3, 30.5 / a.beat, 2, maj(D3), 62, 120);
        pad(a, 7, 30.5 / a.beat, 3, maj(D3), 55, 115);
        scoreNote(s, 30.5, 0.6, 4, D3 - 12, 127);
        scoreNote(s, 30.5, 2.0, 6, D3 + 36, 110);
    }
    // The last bar settles on the tonic, quieter, so the loop back to the dawn does not jar.
    swell(a, 0, 56, 4, 127, 70);
    swell(a, 2, 56, 4, 127, 60);
    return finish(dir, "moltin.ogg", s, 36.0, 1);
}

//---- The splash: four chimes for the cards (0, 0.7, 1.4, 2.1 s), a swell under the logo from 5 s,
//     the flash at 8.2 s, then the ring-out to the end at 13.2 s.

static int makeSorvelinn(const char* dir)
{
    Score s = {};
    s.seconds = 14.5;
    s.gain = 0.6;
    s.reverbLevel = 0.8;
    Arranger a{&s, 1.0, rngFromName("sorvelinn.ogg")};
    setup(s, 0, GM_GLOCKEN, 95, 64);
    setup(s, 1, GM_HARP, 90, 70);
    setup(s, 2, GM_STRINGS, 100, 64);
    setup(s, 3, GM_CHOIR, 95, 64);
    setup(s, 4, GM_BRASS, 100, 64);
    setup(s, 5, GM_TUBULAR, 90, 64);
    setup(s, 6, GM_HALO_PAD, 90, 64);
    scoreControl(s, 0, DRUMS, 7, 100);
    const int chime[4] = {74, 78, 81, 86};
    for (int i = 0; i < 4; ++i) {
        double t = 0.02 + i * 0.7;
        scoreNote(s, t, 0.6, 0, chime[i], 100);
        scoreNote(s, t, 0.6, 1, chime[i] - 24, 70);
    }
    const Chord d = maj(D3), g = maj(G3 - 12);
    scoreNote(s, 2.8, 2.2, 6, D3 + 12, 50);
    pad(a, 6, 5.0, 3.2, g, 55, 60);
    pad(a, 2, 5.0, 3.2, g, 55, 45);
    pad(a, 3, 5.6, 2.6, sus2(D3), 60, 50);
    for (int i = 0; i <= 12; ++i) {
        scoreControl(s, 5.0 + i * 0.25, 2, 11, 50 + i * 6);
        scoreControl(s, 5.0 + i * 0.25, 3, 11, 50 + i * 6);
    }
    // The flash.
    drum(a, 8.2, DR_CRASH, 120);
    pad(a, 4, 8.2, 2.5, d, 50, 110);
    pad(a, 2, 8.2, 4.8, d, 55, 80);
    pad(a, 3, 8.2, 4.8, d, 62, 70);
    scoreNote(s, 8.2, 4.0, 5, D3 + 24, 100);
    scoreNote(s, 8.2, 4.0, 0, D3 + 36, 90);
    for (int i = 0; i <= 16; ++i) {
        scoreControl(s, 10.5 + i * 0.17, 2, 11, 127 - i * 7);
        scoreControl(s, 10.5 + i * 0.17, 3, 11, 127 - i * 7);
    }
    return finish(dir, "sorvelinn.ogg", s, 14.5, 0);
}

//---- Dispatch

int makeMusic(const char* dir, const char* name)
{
    if (strcmp(name, "apex.ogg") == 0)
        return makeApex(dir);
    if (strcmp(name, "titular.ogg") == 0)
        return makeTitular(dir);
    if (strcmp(name, "revelations.ogg") == 0)
        return makeRevelations(dir);
    if (strcmp(name, "tombrider.ogg") == 0)
        return makeTombrider(dir);
    if (strcmp(name, "moltin.ogg") == 0)
        return makeMoltin(dir);
    if (strcmp(name, "sorvelinn.ogg") == 0)
        return makeSorvelinn(dir);
    fprintf(stderr, "assetgen: no music called %s\n", name);
    return 1;
}
