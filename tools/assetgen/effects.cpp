// DUNMARROW asset generator: the effects of play. Wing flaps, whooshes, zaps, thumps and the flame are our own
// noise synthesis; chimes, fanfares, blips and the birds' squawks come from the soundfont.

#include "assetgen.h"  // Sound, Score, Rng, filters, writeSound
#include <algorithm>   // std::min, std::max
#include <cmath>       // sin, exp, pow
#include <cstdio>      // fprintf, snprintf
#include <cstring>     // strcmp, strncmp

//---- Noise building blocks

// White noise shaped by a swept state-variable band-pass: cutoff glides from hz0 to hz1, envelope by attack/decay.
static Sound sweptNoise(Rng& rng, double seconds, double hz0, double hz1, double q, double attack, double decay)
{
    Sound s = silence(1, seconds);
    long n = (long)(s.samples.size());
    double low = 0, band = 0;
    for (long i = 0; i < n; ++i) {
        double t = (double)i / SAMPLE_RATE;
        double p = t / seconds;
        double hz = hz0 * std::pow(hz1 / hz0, p);
        double f = 2.0 * std::sin(M_PI * std::min(hz, 8000.0) / SAMPLE_RATE);
        double in = rngRange(rng, -1.0, 1.0);
        low += f * band;
        double high = in - low - q * band;
        band += f * high;
        double env = t < attack ? t / attack : std::exp(-(t - attack) / decay);
        s.samples[(size_t)i] = (float)(band * env);
    }
    return s;
}

// A decaying sine that glides from hz0 to hz1: the body of a thump.
static Sound thump(double seconds, double hz0, double hz1, double decay)
{
    Sound s = silence(1, seconds);
    double phase = 0;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = (double)i / SAMPLE_RATE;
        double hz = hz1 + (hz0 - hz1) * std::exp(-t / (decay * 0.5));
        phase += 2 * M_PI * hz / SAMPLE_RATE;
        double env = std::min(1.0, t / 0.002) * std::exp(-t / decay);
        s.samples[i] = (float)(std::sin(phase) * env);
    }
    return s;
}

// An electric buzz: a harsh saw at mains-like pitch, gated by random crackles.
static Sound buzz(Rng& rng, double seconds, double hz, double decay)
{
    Sound s = silence(1, seconds);
    double phase = 0, gate = 1.0;
    for (size_t i = 0; i < s.samples.size(); ++i) {
        double t = (double)i / SAMPLE_RATE;
        if (i % 441 == 0)
            gate = rngUniform(rng) < 0.7 ? 1.0 : 0.2;  // crackle every 10 ms
        phase += hz * (1.0 + 0.05 * std::sin(t * 37.0)) / SAMPLE_RATE;
        double saw = 2.0 * (phase - std::floor(phase)) - 1.0;
        double noise = rngRange(rng, -1.0, 1.0);
        double env = std::min(1.0, t / 0.003) * std::exp(-t / decay);
        s.samples[i] = (float)((0.6 * saw + 0.5 * noise * gate) * env * gate);
    }
    return s;
}

static Sound toStereo(const Sound& m)
{
    Sound s = {};
    s.channels = 2;
    mixInto(s, m, 0, 1.0);
    return s;
}

static bool render(Score& sc, Sound& out)
{
    return renderScore(sc, soundfont(), out);
}

static int save(const char* dir, const char* name, Sound& s, double peak, double tail = 0.15)
{
    removeDc(s);
    normalizeSound(s, peak);
    fadeEdges(s, 0.002, 0.0);
    fadeOutSmoothly(s, tail);
    return writeSound(dir, name, s) ? 0 : 1;
}

// As `save`, but sets the level heard (gated RMS in dBFS) rather than the peak: for effects whose first
// instant is far louder than the rest.
static int saveAtLevel(const char* dir, const char* name, Sound& s, double levelDb)
{
    removeDc(s);
    levelSound(s, levelDb, 0.89);
    fadeEdges(s, 0.002, 0.0);
    fadeOutSmoothly(s, 0.15);
    return writeSound(dir, name, s) ? 0 : 1;
}

//---- The effects

// Four different wing beats: a soft low whump of air with a feathery rustle after it.
static int makeFlap(const char* dir, const char* name, int index)
{
    Rng rng = rngFromName(name);
    const double body[4] = {420, 520, 360, 600};
    const double len[4] = {0.28, 0.24, 0.32, 0.26};
    Sound s = sweptNoise(rng, len[index], body[index] * 1.6, body[index] * 0.7, 0.9, 0.012, 0.05 + 0.01 * index);
    Sound rustle = sweptNoise(rng, len[index], 2600, 1800, 1.2, 0.03, 0.05);
    mixInto(s, rustle, (long)(0.015 * SAMPLE_RATE), 0.25);
    Sound air = thump(len[index], 140 + 20 * index, 70, 0.05);
    mixInto(s, air, 0, 0.5);
    lowPass(s, 5000);
    return save(dir, name, s, 0.7);
}

// The dive: a whoosh whose band rises as the owl picks up speed.
static int makeDive(const char* dir)
{
    Rng rng = rngFromName("dive.wav");
    Sound s = sweptNoise(rng, 1.0, 300, 2600, 0.5, 0.35, 0.25);
    Sound s2 = sweptNoise(rng, 1.0, 450, 3400, 0.7, 0.4, 0.2);
    mixInto(s, s2, 0, 0.6);
    Sound st = toStereo(s);
    reverb(st, 0.3, 0.4, 0.3);
    return save(dir, "dive.wav", st, 0.75, 0.35);
}

// A struck pigeon: a soft body blow, a dull slap of wings, then a short flutter of feathers as the bird tumbles.
// Everything sits low: the most frequent sound of play must thud, not hiss.
static int makePigeonHit(const char* dir, const char* name, int index)
{
    Rng rng = rngFromName(name);
    const double len = 0.42;
    Sound s = thump(len, 170 - 25 * index, 75, 0.055);
    Sound slap = sweptNoise(rng, 0.06, 900, 400, 0.8, 0.001, 0.012);
    lowPass(slap, 1500);
    mixInto(s, slap, 0, 0.9);
    // The flutter: band noise beaten at some twenty wing strokes a second, dying away.
    Sound flutter = sweptNoise(rng, len, 2300, 1300, 1.2, 0.02, 0.12);
    const double rate = 19.0 + 3.0 * index;
    for (size_t i = 0; i < flutter.samples.size(); ++i) {
        double t = (double)i / SAMPLE_RATE;
        double beat = 0.5 + 0.5 * std::sin(2 * M_PI * rate * t);
        flutter.samples[i] *= (float)(beat * beat);
    }
    lowPass(flutter, 3000);
    mixInto(s, flutter, (long)(0.03 * SAMPLE_RATE), 0.6);
    lowPass(s, 4000);
    return save(dir, name, s, 0.8);
}

// The lamp's shock: a buzzing crackle that dies away.
static int makeZap(const char* dir)
{
    Rng rng = rngFromName("hit-lamp2.wav");
    Sound s = buzz(rng, 1.2, 118, 0.35);
    // The sizzle sits under the buzz, and the top end is rounded off: a shock, not a hiss.
    Sound sizzle = sweptNoise(rng, 1.2, 4500, 2000, 0.6, 0.005, 0.3);
    mixInto(s, sizzle, 0, 0.25);
    highPass(s, 120);
    bandBoost(s, 1800, 1.0, 3);
    lowPass(s, 3500);
    Sound st = toStereo(s);
    reverb(st, 0.25, 0.5, 0.25);
    return saveAtLevel(dir, "hit-lamp2.wav", st, -20.0);
}

// The owl's last life: a shock, then a falling wail and a final low thud.
static int makeOwlDie(const char* dir)
{
    Rng rng = rngFromName("owldie.wav");
    Score sc = {};
    sc.seconds = 2.6;
    sc.gain = 0.7;
    sc.reverbLevel = 0.5;
    scoreProgram(sc, 0, 0, 81);  // saw lead
    scoreProgram(sc, 0, 1, 47 /* timpani */);
    // A pitch-bend range of 24 semitones, so one bend sweeps two octaves down.
    scoreControl(sc, 0, 0, 101, 0);
    scoreControl(sc, 0, 0, 100, 0);
    scoreControl(sc, 0, 0, 6, 24);
    scoreNote(sc, 0.25, 1.4, 0, 84, 100);
    for (int i = 0; i <= 40; ++i)
        scoreBend(sc, 0.25 + i * 0.035, 0, 8192 - i * 200);
    scoreNote(sc, 1.55, 0.8, 1, 38, 120);
    Sound s;
    if (!render(sc, s))
        return 1;
    Sound z = buzz(rng, 0.6, 120, 0.2);
    highPass(z, 150);
    lowPass(z, 3000);
    lowPass(z, 4000);
    mixInto(s, z, 0, 0.4);
    // Peak-set at the level it had while the hiss was louder: the wail and the thud carry it now.
    return save(dir, "owldie.wav", s, 0.8 * 0.56);
}

// The flame of a long swoop: a rising roar of low noise with crackle.
static int makeFlame(const char* dir)
{
    Rng rng = rngFromName("flameon2.wav");
    Sound s = sweptNoise(rng, 2.4, 200, 1800, 0.4, 0.6, 0.8);
    Sound crackle = silence(1, 2.4);
    for (int k = 0; k < 60; ++k) {
        Sound pop = sweptNoise(rng, 0.03, 3000, 1500, 1.0, 0.001, 0.006);
        mixInto(crackle, pop, (long)(rngRange(rng, 0.2, 2.2) * SAMPLE_RATE), rngRange(rng, 0.2, 0.6));
    }
    mixInto(s, crackle, 0, 0.5);
    Sound rumble = thump(2.4, 60, 45, 1.0);
    mixInto(s, rumble, 0, 0.4);
    Sound st = toStereo(s);
    reverb(st, 0.4, 0.4, 0.3);
    // Some 4 dB under the other effects: the flame burns for seconds under the swoop and must not bury it.
    return save(dir, "flameon2.wav", st, 0.8 * 0.63, 0.5);
}

// Seven rising bonus chimes: the same bright figure a step higher for each new swoop level.
static int makeBonus(const char* dir, const char* name, int index)
{
    Score sc = {};
    sc.seconds = 1.6;
    sc.gain = 0.7;
    sc.reverbLevel = 0.6;
    scoreProgram(sc, 0, 0, 8 /* celesta */);
    scoreProgram(sc, 0, 1, 9 /* glockenspiel */);
    const int major[7] = {0, 2, 4, 5, 7, 9, 11};
    int base = 74 + major[index % 7] + (index / 7) * 12;
    const int figure[4] = {0, 4, 7, 12};
    for (int k = 0; k < 4; ++k) {
        scoreNote(sc, 0.01 + k * 0.07, 0.5, 0, base + figure[k], 110);
        scoreNote(sc, 0.01 + k * 0.07, 0.5, 1, base + figure[k] + 12, 80);
    }
    Sound s;
    if (!render(sc, s))
        return 1;
    return save(dir, name, s, 0.75);
}

// Swoop level 10: the constant swoop, a short brass fanfare over a timpani roll.
static int makeConstantSwoop(const char* dir)
{
    Score sc = {};
    sc.seconds = 3.4;
    sc.gain = 0.7;
    sc.reverbLevel = 0.5;
    scoreProgram(sc, 0, 0, 61);
    scoreProgram(sc, 0, 1, 56);
    scoreProgram(sc, 0, 2, 47 /* timpani */);
    const double t[5] = {0.0, 0.16, 0.32, 0.5, 0.9};
    const int k[5] = {62, 62, 62, 69, 74};
    for (int i = 0; i < 5; ++i) {
        double len = i == 4 ? 1.6 : 0.14;
        scoreNote(sc, t[i], len, 1, k[i] + 12, 115);
        scoreNote(sc, t[i], len, 0, k[i], 105);
        scoreNote(sc, t[i], len, 0, k[i] - 5, 95);
    }
    for (int i = 0; i < 14; ++i)
        scoreNote(sc, 0.9 + i * 0.06, 0.1, 2, 50, 60 + i * 4);
    scoreNote(sc, 0.9, 0.3, 9, 49, 120);
    Sound s;
    if (!render(sc, s))
        return 1;
    return save(dir, "constantswoop.wav", s, 0.8);
}

// Pause and unpause: two short blips, falling for a pause, rising for the return.
static int makeBlip(const char* dir, const char* name, int up)
{
    Score sc = {};
    sc.seconds = 0.5;
    sc.gain = 0.6;
    sc.reverbLevel = 0.3;
    scoreProgram(sc, 0, 0, 80);  // square lead
    scoreNote(sc, 0.0, 0.08, 0, up ? 76 : 83, 100);
    scoreNote(sc, 0.1, 0.12, 0, up ? 83 : 76, 100);
    Sound s;
    if (!render(sc, s))
        return 1;
    return save(dir, name, s, 0.6);
}

//---- Dispatch

int makeEffect(const char* dir, const char* name)
{
    if (strncmp(name, "flap0", 5) == 0)
        return makeFlap(dir, name, (name[5] - '1') & 3);
    if (strcmp(name, "dive.wav") == 0)
        return makeDive(dir);
    if (strncmp(name, "pigeon-hit-0", 12) == 0)
        return makePigeonHit(dir, name, (name[12] - '1') % 3);
    if (strcmp(name, "hit-lamp2.wav") == 0)
        return makeZap(dir);
    if (strcmp(name, "owldie.wav") == 0)
        return makeOwlDie(dir);
    if (strcmp(name, "flameon2.wav") == 0)
        return makeFlame(dir);
    if (strncmp(name, "swoopbonus", 10) == 0)
        return makeBonus(dir, name, (name[10] - '1') % 7);
    if (strcmp(name, "constantswoop.wav") == 0)
        return makeConstantSwoop(dir);
    if (strcmp(name, "paused.wav") == 0)
        return makeBlip(dir, name, 0);
    if (strcmp(name, "unpaused.wav") == 0)
        return makeBlip(dir, name, 1);
    fprintf(stderr, "assetgen: no effect called %s\n", name);
    return 1;
}
