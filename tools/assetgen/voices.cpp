// DUNMARROW asset generator: every voice of the game, spoken by espeak-ng and shaped into characters:
// the gentlemen on the street, their cries, the cheering crowd and the narrator of the owl's story.

#include "assetgen.h"              // Sound, filters, reverb, writeSound
#include "game/mainSpokenLines.h"  // the narrator's lines and when each is spoken, shared with the scenes
#include <espeak-ng/speak_lib.h>   // speech synthesis into a buffer (synchronous mode, no audio device)
#include <algorithm>               // std::min, std::max
#include <cmath>                   // tanh, sin
#include <cstdio>                  // fprintf, snprintf
#include <cstring>                 // strlen

//---- File-level state: the callback appends to this buffer (espeak-ng runs on one thread only)

static std::vector<short> g_speech;
static int g_speechRate = 0;  // set by voicesInit

static int collect(short* wav, int count, espeak_EVENT*)
{
    if (wav && count > 0)
        g_speech.insert(g_speech.end(), wav, wav + count);
    return 0;
}

//---- Speaking

struct Speaker {
    const char* voice;  // espeak-ng voice and variant
    int rate;           // words a minute
    int pitch;          // 0..100
    int range;          // 0..100, intonation
};

// Speaks `text` and returns it at the pack's sample rate, mono; leading and trailing silence trimmed.
static Sound speak(const Speaker& who, const char* text)
{
    g_speech.clear();
    // The breath in some voices is noise from rand(): the same words by the same voice always breathe alike.
    char seed[256];
    snprintf(seed, sizeof seed, "%s %d %s", who.voice, who.rate, text);
    seedLibraryRandom(seed);
    espeak_SetVoiceByName(who.voice);
    espeak_SetParameter(espeakRATE, who.rate, 0);
    espeak_SetParameter(espeakPITCH, who.pitch, 0);
    espeak_SetParameter(espeakRANGE, who.range, 0);
    espeak_SetParameter(espeakVOLUME, 100, 0);
    espeak_Synth(text, strlen(text) + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    espeak_Synchronize();
    size_t first = 0, last = g_speech.size();
    while (first < last && std::abs(g_speech[first]) < 200)
        ++first;
    while (last > first && std::abs(g_speech[last - 1]) < 200)
        --last;
    // Up-sample by linear interpolation, then smooth away the steps.
    Sound s = {};
    s.channels = 1;
    double ratio = (double)g_speechRate / SAMPLE_RATE;
    size_t n = last > first ? (size_t)((last - first) / ratio) : 0;
    s.samples.resize(n);
    for (size_t i = 0; i < n; ++i) {
        double p = first + i * ratio;
        size_t k = (size_t)p;
        double f = p - k;
        double a = g_speech[std::min(k, last - 1)], b = g_speech[std::min(k + 1, last - 1)];
        s.samples[i] = (float)((a + (b - a) * f) / 32768.0);
    }
    lowPass(s, g_speechRate * 0.42);
    return s;
}

// Speaks, and if the words run longer than `maxSeconds` speaks them again faster, so nothing is ever cut off.
static Sound speakWithin(const Speaker& who, const char* text, double maxSeconds)
{
    Speaker fit = who;
    Sound s = speak(fit, text);
    for (int tries = 0; tries < 4; ++tries) {
        double seconds = (double)s.samples.size() / SAMPLE_RATE;
        if (seconds <= maxSeconds || fit.rate >= espeakRATE_MAXIMUM)
            break;
        fit.rate = std::min(espeakRATE_MAXIMUM, (int)(fit.rate * seconds / maxSeconds) + 3);
        s = speak(fit, text);
    }
    return s;
}

// A second copy a few milliseconds late and a little quieter: a fuller, less mechanical voice.
static void thicken(Sound& s, double ms, double gain)
{
    Sound copy = s;
    mixInto(s, copy, (long)(ms * SAMPLE_RATE / 1000.0), gain);
}

static void saturate(Sound& s, double drive)
{
    for (float& v : s.samples)
        v = (float)(std::tanh(v * drive) / std::tanh(drive));
}

// A fast compressor: syllables that espeak-ng speaks softly are brought up towards the loud ones, so that the
// quietest words still carry over the music. `thresholdDb` is under the sound's own peak.
static void compress(Sound& s, double thresholdDb, double ratio)
{
    float peak = 0;
    for (float v : s.samples)
        peak = std::max(peak, std::fabs(v));
    if (peak <= 0)
        return;
    double threshold = peak * std::pow(10.0, thresholdDb / 20.0);
    double attack = std::exp(-1.0 / (0.004 * SAMPLE_RATE)), release = std::exp(-1.0 / (0.09 * SAMPLE_RATE));
    double env = 0;
    for (float& v : s.samples) {
        double a = std::fabs(v);
        env = a > env ? attack * env + (1 - attack) * a : release * env + (1 - release) * a;
        if (env > threshold)
            v = (float)(v * std::pow(env / threshold, 1.0 / ratio - 1.0));
    }
}

static Sound stereo(const Sound& m)
{
    Sound s = {};
    s.channels = 2;
    mixInto(s, m, 0, 1.0);
    return s;
}

// A gentleman on the street: chesty, a touch gruff, heard in a narrow street between stone houses.
static Sound gentleman(const Speaker& who, const char* text)
{
    Sound s = speakWithin(who, text, 1.45);
    highPass(s, 90);
    bandBoost(s, 220, 0.8, 4.0);
    bandBoost(s, 3200, 1.2, -4.0);
    saturate(s, 1.8);
    thicken(s, 11, 0.35);
    lowPass(s, 6500);
    Sound st = stereo(s);
    reverb(st, 0.25, 0.45, 0.22);
    return st;
}

// The narrator: slow and deep, close to the listener, in a large hall. Each line of the table is spoken as
// one sentence and set at its start, so the subtitles the scenes show from the same table keep time with it.
// Its words stop HALL_ECHO before the line's end, and the hall's echo is faded out over that time: a line is
// over when its subtitle goes, and no ringing tail sits under the music between lines.
static constexpr double HALL_ECHO = 0.35;
static constexpr double ECHO_HELD = 0.1;  // the echo rings on whole for this long after the last word

// Fades every line's echo from ECHO_HELD after its last word to nothing at the line's end (a half cosine), and
// keeps the voice silent from there to the next line's start.
static void endLinesAtTheirEnds(Sound& s, const SpokenLine* lines, const double* wordsEnd, int count)
{
    const size_t frames = s.samples.size() / (size_t)s.channels;
    for (int i = 0; i < count; ++i) {
        const double fadeFrom = wordsEnd[i] + ECHO_HELD, fadeTo = lines[i].end;
        const double silentTo = i + 1 < count ? lines[i + 1].start : (double)frames / SAMPLE_RATE;
        for (size_t f = (size_t)(fadeFrom * SAMPLE_RATE); f < frames && f < (size_t)(silentTo * SAMPLE_RATE); ++f) {
            const double t = (double)f / SAMPLE_RATE;
            const double gain = t >= fadeTo ? 0.0 : 0.5 + 0.5 * std::cos(M_PI * (t - fadeFrom) / (fadeTo - fadeFrom));
            for (int c = 0; c < s.channels; ++c)
                s.samples[f * (size_t)s.channels + (size_t)c] *= (float)gain;
        }
    }
}

static Sound narrator(const Speaker& who, const SpokenLine* lines, int count)
{
    Sound s = silence(1, lines[count - 1].end);
    double wordsEnd[16] = {};
    for (int i = 0; i < count && i < 16; ++i) {
        const SpokenLine& line = lines[i];
        char text[256];
        snprintf(text, sizeof text, line.rows[1][0] ? "%s %s" : "%s%s", line.rows[0], line.rows[1]);
        Sound spoken = speakWithin(who, text, line.end - line.start - HALL_ECHO);
        mixInto(s, spoken, (long)(line.start * SAMPLE_RATE), 1.0);
        wordsEnd[i] = line.start + (double)spoken.samples.size() / SAMPLE_RATE;
    }
    highPass(s, 180);
    bandBoost(s, 2000, 0.6, 7.0);
    compress(s, -30.0, 3.0);
    // The plosives' peaks, which would hold the whole voice down at the level set, are limited away first.
    normalizeSound(s, 1.0);
    for (float& v : s.samples)
        v *= 3.5f;
    limitPeaks(s, 1.0);
    saturate(s, 1.3);
    thicken(s, 17, 0.3);
    lowPass(s, 6000);
    Sound st = stereo(s);
    reverb(st, 0.55, 0.4, 0.16);
    endLinesAtTheirEnds(st, lines, wordsEnd, count < 16 ? count : 16);
    return st;
}

// `levelDb` above -99 sets the gated level (the narrator, who must carry over the music); otherwise the peak
// is set, as for the short shouts of the street.
static int save(const char* dir, const char* name, Sound& s, double limit, double levelDb = -99.0)
{
    double seconds = s.channels ? (double)s.samples.size() / s.channels / SAMPLE_RATE : 0;
    if (limit > 0 && seconds > limit) {
        // Never exceed the length the game relies on: trim the reverb tail and fade it.
        s.samples.resize((size_t)(limit * SAMPLE_RATE) * s.channels);
    }
    removeDc(s);
    if (levelDb > -99.0)
        levelSound(s, levelDb, 0.89);
    else
        normalizeSound(s, 0.85);
    fadeEdges(s, 0.003, 0.0);
    fadeOutSmoothly(s, 0.12);
    return writeSound(dir, name, s) ? 0 : 1;
}

//---- The lines

// The narrator speaks over the prologue's and the game over's music (played at about half volume): a few dB
// above the music's own level keeps every word at least 12 dB clear of it in the speech band.
static constexpr double NARRATOR_LEVEL_DB = -6.5;

static const Speaker GENTS[7] = {
    {"en-gb+m3", 190, 30, 60}, {"en-gb+m1", 200, 38, 70},   {"en-gb+grandpa", 180, 45, 65},
    {"en-gb+m7", 185, 28, 55}, {"en-gb+Gene", 200, 40, 75}, {"en-gb+croak", 190, 35, 60},
    {"en-gb+m6", 195, 42, 70},
};

static const char* REMARKS[14] = {
    "I say!",          "Good heavens!",      "Mind my hat, sir!", "What the devil?",     "Blasted owl!",
    "Most irregular!", "Goodness gracious!", "Steady on!",        "Was that an owl?",    "Not the hat!",
    "My word!",        "Shoo, you brute!",   "How very rude!",    "Off with you, bird!",
};

static const char* CRIES[7] = {"Ow!", "Oof!", "Argh, my head!", "Ouch!", "Ugh, pigeons!", "Blast!", "Yowch!"};
static const char* CRY_FILES[7] = {"gentlemen-hit01.aiff", "gentlemen-hit02.aiff", "gentlemen-hit03.aiff",
                                   "gentlemen-hit04.aiff", "gentlemen-hit05.aiff", "gentlemen-hit06.aiff",
                                   "gentlemen-hit08.aiff"};

//---- The job

bool voicesInit()
{
    // The installed voices, never a copy named by ESPEAK_DATA_PATH or found under $HOME.
    g_speechRate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 200, ASSETGEN_ESPEAK_DATA, espeakINITIALIZE_DONT_EXIT);
    if (g_speechRate <= 0)
        return false;
    espeak_SetSynthCallback(collect);
    return true;
}

int makeVoices(const char* dir)
{
    if (g_speechRate <= 0) {
        fprintf(stderr, "assetgen: espeak-ng could not start\n");
        return 20;
    }
    int failures = 0;
    char name[64];

    // Fourteen remarks of the gentlemen as the owl swoops past; each under two seconds.
    for (int i = 0; i < 14; ++i) {
        Sound s = gentleman(GENTS[i % 7], REMARKS[i]);
        snprintf(name, sizeof name, "gentlemenswoop%d.wav", i + 1);
        failures += save(dir, name, s, 1.95);
    }
    // Seven cries of a gentleman struck by a falling pigeon: higher, strained, quicker.
    for (int i = 0; i < 7; ++i) {
        Speaker who = GENTS[(i + 3) % 7];
        who.pitch = std::min(who.pitch + 30, 90);
        who.range = 95;
        who.rate += 20;
        Sound s = gentleman(who, CRIES[i]);
        failures += save(dir, CRY_FILES[i], s, 1.9);
    }
    // Four cries of other passers-by (kept with the game's sounds though no rule plays them yet).
    static const Speaker FOLK[4] = {
        {"en+f2", 190, 70, 90}, {"en+m2", 200, 55, 90}, {"en+f4", 200, 75, 95}, {"en+m4", 190, 60, 90}};
    static const char* FOLK_CRIES[4] = {"Aah!", "Hey!", "Ow, ow!", "Eek!"};
    for (int i = 0; i < 4; ++i) {
        Sound s = gentleman(FOLK[i], FOLK_CRIES[i]);
        snprintf(name, sizeof name, "human-hit0%d.ogg", i + 1);
        failures += save(dir, name, s, 1.9);
    }
    // "Nice swoopin'!": one gentleman cheers, two more join a moment later, and the street applauds.
    {
        Speaker lead = {"en-gb+m3", 175, 65, 95};
        Sound s = gentleman(lead, "Nice swoopin!");
        Sound b = gentleman(Speaker{"en-gb+m1", 170, 55, 90}, "Nice swoopin!");
        Sound c = gentleman(Speaker{"en-gb+Gene", 180, 70, 95}, "Bravo!");
        mixInto(s, b, (long)(0.09 * SAMPLE_RATE), 0.55);
        mixInto(s, c, (long)(0.75 * SAMPLE_RATE), 0.6);
        Rng rng = rngFromName("niceswoopin.wav");
        Sound claps = silence(2, 2.6);
        for (int k = 0; k < 90; ++k) {
            Sound clap = silence(1, 0.02);
            for (size_t j = 0; j < clap.samples.size(); ++j)
                clap.samples[j] = (float)(rngRange(rng, -1, 1) * std::exp(-(double)j / (0.003 * SAMPLE_RATE)));
            mixInto(claps, clap, (long)(rngRange(rng, 0.3, 2.3) * SAMPLE_RATE), rngRange(rng, 0.1, 0.3));
        }
        bandBoost(claps, 1500, 1.0, 4);
        // The street's walls answer every clap: no clap stops dead.
        reverb(claps, 0.3, 0.5, 0.35);
        mixInto(s, claps, 0, 0.5);
        failures += save(dir, "niceswoopin.wav", s, 2.9);
    }
    // The narrator: the prologue's story, and one line when the owl has fallen for good.
    {
        Speaker teller = {"en-gb+m7", 128, 22, 45};
        Sound s = narrator(teller, PROLOGUE_LINES, PROLOGUE_LINE_COUNT);
        failures += save(dir, "monologue.wav", s, 33.8, NARRATOR_LEVEL_DB);
        Sound g = narrator(teller, GAMEOVER_LINES, GAMEOVER_LINE_COUNT);
        failures += save(dir, "gameover.wav", g, 7.5, NARRATOR_LEVEL_DB);
    }
    espeak_Terminate();
    return failures;
}
