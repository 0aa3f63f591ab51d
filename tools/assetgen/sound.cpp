// DUNMARROW asset generator: sound buffers, filters, reverb, file writing and the offline soundfont renderer.
// Music and tonal effects go through FluidSynth; noises and voices are shaped here.

#include "assetgen.h"    // Sound, Score, MidiEvent
#include <fluidsynth.h>  // offline General MIDI rendering
#include <sndfile.h>     // WAV, AIFF and Ogg Vorbis writing
#include <algorithm>     // std::sort, std::min, std::max
#include <cmath>         // sin, cos, exp, fabs
#include <cstdio>        // snprintf, fprintf
#include <cstring>       // strrchr, strcmp

//---- File-level state

static const char* g_soundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

//---- Buffers

Sound silence(int channels, double seconds)
{
    Sound s = {};
    s.channels = channels;
    s.samples.assign((size_t)(seconds * SAMPLE_RATE) * channels, 0.0f);
    return s;
}

void mixInto(Sound& dst, const Sound& src, long at, double gain)
{
    if (at < 0 || src.channels <= 0 || dst.channels <= 0)
        return;
    long frames = (long)(src.samples.size() / src.channels);
    size_t need = (size_t)(at + frames) * dst.channels;
    if (dst.samples.size() < need)
        dst.samples.resize(need, 0.0f);
    for (long i = 0; i < frames; ++i)
        for (int c = 0; c < dst.channels; ++c) {
            float v = src.samples[(size_t)i * src.channels + (src.channels == 1 ? 0 : c % src.channels)];
            dst.samples[(size_t)(at + i) * dst.channels + c] += (float)(v * gain);
        }
}

void normalizeSound(Sound& s, double peak)
{
    float top = 0.0f;
    for (float v : s.samples)
        top = std::max(top, std::fabs(v));
    if (top <= 0.0f)
        return;
    float k = (float)(peak / top);
    for (float& v : s.samples)
        v *= k;
}

void fadeEdges(Sound& s, double inSeconds, double outSeconds)
{
    if (s.channels <= 0)
        return;
    long frames = (long)(s.samples.size() / s.channels);
    long fin = std::min(frames, (long)(inSeconds * SAMPLE_RATE));
    long fout = std::min(frames, (long)(outSeconds * SAMPLE_RATE));
    for (long i = 0; i < fin; ++i)
        for (int c = 0; c < s.channels; ++c)
            s.samples[(size_t)i * s.channels + c] *= (float)i / (float)fin;
    for (long i = 0; i < fout; ++i) {
        long f = frames - 1 - i;
        for (int c = 0; c < s.channels; ++c)
            s.samples[(size_t)f * s.channels + c] *= (float)i / (float)fout;
    }
}

void fadeOutSmoothly(Sound& s, double seconds)
{
    if (s.channels <= 0)
        return;
    long frames = (long)(s.samples.size() / s.channels);
    long fout = std::min(frames, (long)(seconds * SAMPLE_RATE));
    for (long i = 0; i < fout; ++i) {
        float g = (float)i / (float)fout;
        for (int c = 0; c < s.channels; ++c)
            s.samples[(size_t)(frames - 1 - i) * s.channels + c] *= g * g;
    }
}

void foldLoopTail(Sound& s, long loopFrames)
{
    if (s.channels <= 0 || loopFrames <= 0)
        return;
    long frames = (long)(s.samples.size() / s.channels);
    if (frames <= loopFrames) {
        s.samples.resize((size_t)loopFrames * s.channels, 0.0f);
        return;
    }
    // The tail past the loop point rings on into the next pass: add it onto the start, then cut.
    for (long i = loopFrames; i < frames; ++i) {
        long j = (i - loopFrames) % loopFrames;
        for (int c = 0; c < s.channels; ++c)
            s.samples[(size_t)j * s.channels + c] += s.samples[(size_t)i * s.channels + c];
    }
    s.samples.resize((size_t)loopFrames * s.channels);
}

//---- Levels: DC, peaks, loudness and stereo phase

void removeDc(Sound& s)
{
    const double keep = 1.0 - 2.0 * M_PI * 10.0 / SAMPLE_RATE;
    for (int c = 0; c < s.channels; ++c) {
        double x1 = 0, y1 = 0;
        for (size_t i = c; i < s.samples.size(); i += s.channels) {
            double x = s.samples[i];
            y1 = x - x1 + keep * y1;
            x1 = x;
            s.samples[i] = (float)y1;
        }
    }
}

void limitPeaks(Sound& s, double ceiling)
{
    if (s.channels <= 0 || ceiling <= 0)
        return;
    long frames = (long)(s.samples.size() / s.channels);
    if (frames == 0)
        return;
    const long ahead = SAMPLE_RATE / 200, span = 2 * ahead, ring = span + 2;  // 5 ms of look-ahead
    // The gain frame `j` needs on its own.
    auto needOf = [&](long j) {
        float top = 0.0f;
        for (int c = 0; c < s.channels; ++c)
            top = std::max(top, std::fabs(s.samples[(size_t)j * s.channels + c]));
        return top > ceiling ? (float)(ceiling / top) : 1.0f;
    };
    // Frame i gets the smallest need over the next `span` frames (a sliding minimum kept in a small ring),
    // averaged over the last `ahead` frames: every frame averaged covers frame i, so the smooth gain is never
    // above what frame i needs. The release then lets the gain recover gently.
    struct Held {
        long at;
        float need;
    };
    std::vector<Held> window((size_t)ring);  // a ring holding rising needs: the smallest at `head`
    std::vector<float> recent((size_t)ahead, 1.0f);
    long head = 0, count = 0;
    size_t slot = 0;
    double sum = (double)ahead, gain = 1.0;
    const double release = 1.0 - std::exp(-1.0 / (0.08 * SAMPLE_RATE));
    auto wrap = [ring](long k) { return k >= ring ? k - ring : k; };
    for (long j = 0; j < frames + span; ++j) {
        if (j < frames) {
            float nj = needOf(j);
            while (count > 0 && window[(size_t)wrap(head + count - 1)].need >= nj)
                --count;
            window[(size_t)wrap(head + count)] = Held{j, nj};
            ++count;
        }
        long i = j - span;
        if (i < 0)
            continue;
        while (window[(size_t)head].at < i)
            head = wrap(head + 1), --count;
        float low = window[(size_t)head].need;
        sum += low - recent[slot];
        recent[slot] = low;
        if (++slot == (size_t)ahead)
            slot = 0;
        gain = std::min(sum / (double)ahead, gain + (1.0 - gain) * release);
        for (int c = 0; c < s.channels; ++c)
            s.samples[(size_t)i * s.channels + c] *= (float)gain;
    }
    // Rounding can leave a sample a hair above the ceiling; the hard bound guarantees it.
    for (float& v : s.samples)
        v = std::clamp(v, (float)-ceiling, (float)ceiling);
}

static double toDb(double meanSquare)
{
    return 10.0 * std::log10(std::max(meanSquare, 1e-12));
}

// The gated level from the energies (sums of squares) of consecutive 0.1-second quarter blocks holding
// `perQuarter` samples each: 0.4-second windows every 0.1 seconds.
static double gatedFromQuarters(const std::vector<double>& quarter, double perQuarter)
{
    std::vector<double> ms;
    for (size_t q = 0; q + 4 <= quarter.size(); ++q)
        ms.push_back((quarter[q] + quarter[q + 1] + quarter[q + 2] + quarter[q + 3]) / (perQuarter * 4));
    double mean = 0;
    int n = 0;
    for (double m : ms)
        if (toDb(m) > -60.0)
            mean += m, ++n;
    if (n == 0)
        return -120.0;
    mean /= n;
    double gated = 0;
    n = 0;
    for (double m : ms)
        if (toDb(m) > -60.0 && m > mean * 0.01)
            gated += m, ++n;
    return toDb(gated / n);
}

static std::vector<double> quarterEnergies(const Sound& s, long hop)
{
    long frames = (long)(s.samples.size() / s.channels);
    std::vector<double> quarter;
    const float* x = s.samples.data();
    for (long b = 0; b + hop <= frames; b += hop) {
        // Eight running sums side by side, which the compiler turns into vector arithmetic.
        float lane[8] = {0, 0, 0, 0, 0, 0, 0, 0};
        size_t i = (size_t)b * s.channels, end = (size_t)(b + hop) * s.channels;
        for (; i + 8 <= end; i += 8)
            for (int k = 0; k < 8; ++k)
                lane[k] += x[i + k] * x[i + k];
        double sum = 0;
        for (; i < end; ++i)
            sum += (double)x[i] * x[i];
        for (float l : lane)
            sum += l;
        quarter.push_back(sum);
    }
    return quarter;
}

double gatedLevelDb(const Sound& s)
{
    if (s.channels <= 0)
        return -120.0;
    long frames = (long)(s.samples.size() / s.channels);
    long block = std::min(frames, (long)(0.4 * SAMPLE_RATE)), hop = std::max(1L, block / 4);
    if (block <= 0)
        return -120.0;
    return gatedFromQuarters(quarterEnergies(s, hop), (double)hop * s.channels);
}

// Scales by `db` and returns the new peak.
static float scaleSound(Sound& s, double db)
{
    float k = (float)std::pow(10.0, db / 20.0), top = 0.0f;
    for (float& v : s.samples) {
        v *= k;
        top = std::max(top, std::fabs(v));
    }
    return top;
}

// Trims to the target level and limits the peaks, a few times over, since limiting lowers the level a little.
static void settleLevel(Sound& s, double targetDb, double ceiling)
{
    double level = gatedLevelDb(s);
    for (int pass = 0; pass < 4; ++pass) {
        double off = targetDb - level;
        if (std::fabs(off) < 0.05)
            break;
        if (scaleSound(s, off) <= ceiling)
            return;  // nothing to limit: the level is exactly the target
        limitPeaks(s, ceiling);
        level = gatedLevelDb(s);
    }
    if (scaleSound(s, 0.0) > ceiling)
        limitPeaks(s, ceiling);
}

void levelSound(Sound& s, double targetDb, double ceiling)
{
    if (s.channels <= 0 || s.samples.empty())
        return;
    settleLevel(s, targetDb, ceiling);
}

// One pass of the level mapping; returns false when the track is too short to have passages.
static bool mapRange(Sound& s, double rangeDb, bool loops)
{
    long frames = (long)(s.samples.size() / s.channels);
    const long block = SAMPLE_RATE / 10;
    long blocks = frames / block;
    if (blocks < 40)
        return false;
    std::vector<double> energy = quarterEnergies(s, block);
    double ref = gatedFromQuarters(energy, (double)block * s.channels);
    for (double& e : energy)
        e /= (double)block * s.channels;
    // The level heard over 3 seconds around each block; a loop wraps round its seam.
    const long half = 15;
    std::vector<double> level((size_t)blocks);
    for (long b = 0; b < blocks; ++b) {
        double sum = 0;
        int n = 0;
        for (long k = b - half; k <= b + half; ++k) {
            long j = k;
            if (loops)
                j = ((k % blocks) + blocks) % blocks;
            else if (j < 0 || j >= blocks)
                continue;
            sum += energy[(size_t)j];
            ++n;
        }
        level[(size_t)b] = toDb(sum / n);
    }
    // Spread between the quiet (10th percentile) and loud (95th) passages, over the audible ones.
    std::vector<double> heard;
    for (double l : level)
        if (l > ref - 20.0)
            heard.push_back(l);
    std::sort(heard.begin(), heard.end());
    double spread =
        heard.size() > 2 ? heard[(size_t)(0.95 * (heard.size() - 1))] - heard[(size_t)(0.10 * (heard.size() - 1))] : 0;
    double k = spread > 0.5 ? std::clamp(rangeDb / spread, 0.3, 2.0) : 1.0;
    // Each block's gain maps its level onto the new spread; near silence is never lifted by more than the
    // quietest passage is.
    std::vector<double> gain((size_t)blocks);
    for (long b = 0; b < blocks; ++b) {
        double l = std::max(level[(size_t)b], ref - 20.0);
        gain[(size_t)b] = std::pow(10.0, (k - 1.0) * (l - ref) / 20.0);
    }
    auto gainAt = [&](long b) {
        if (loops)
            return gain[(size_t)(((b % blocks) + blocks) % blocks)];
        return gain[(size_t)std::clamp(b, 0L, blocks - 1)];
    };
    // Block gains apply at block centres, glided in between (the last glide runs on to the end).
    for (long b = -1; b < blocks; ++b) {
        long centre = b * block + block / 2;
        long from = std::max(0L, centre), to = b == blocks - 1 ? frames : std::min(frames, centre + block);
        double g = gainAt(b), step = (gainAt(b + 1) - g) / block;
        g += step * (double)(from - centre);
        for (long i = from; i < to; ++i, g += step)
            for (int c = 0; c < s.channels; ++c)
                s.samples[(size_t)i * s.channels + c] *= (float)g;
    }
    return true;
}

void levelMusic(Sound& s, double targetDb, double rangeDb, bool loops, double ceiling)
{
    if (s.channels <= 0 || s.samples.empty())
        return;
    // A second pass takes up what the first left over (the edges of a track that does not loop, the windows'
    // overlap).
    if (mapRange(s, rangeDb, loops))
        mapRange(s, rangeDb, loops);
    settleLevel(s, targetDb, ceiling);
}

void keepInPhase(Sound& s, double minCorrelation)
{
    if (s.channels != 2)
        return;
    double mid = 0, side = 0;
    for (size_t i = 0; i + 1 < s.samples.size(); i += 2) {
        double m = 0.5 * (s.samples[i] + s.samples[i + 1]), d = 0.5 * (s.samples[i] - s.samples[i + 1]);
        mid += m * m;
        side += d * d;
    }
    if (side <= 0 || (mid - side) / (mid + side) >= minCorrelation)
        return;
    // With left = mid + side and right = mid - side, the correlation is (M - S) / (M + S) for the energies M, S.
    double c = std::min(minCorrelation + 0.05, 0.95);
    float w = (float)std::sqrt(mid * (1 - c) / (side * (1 + c)));
    for (size_t i = 0; i + 1 < s.samples.size(); i += 2) {
        float m = 0.5f * (s.samples[i] + s.samples[i + 1]), d = 0.5f * (s.samples[i] - s.samples[i + 1]) * w;
        s.samples[i] = m + d;
        s.samples[i + 1] = m - d;
    }
}

//---- Filters (biquads from the usual cookbook formulas, run on each channel)

struct Biquad {
    double b0, b1, b2, a1, a2;
};

static void runBiquad(Sound& s, Biquad q)
{
    for (int c = 0; c < s.channels; ++c) {
        double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
        for (size_t i = c; i < s.samples.size(); i += s.channels) {
            double x = s.samples[i];
            double y = q.b0 * x + q.b1 * x1 + q.b2 * x2 - q.a1 * y1 - q.a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            s.samples[i] = (float)y;
        }
    }
}

static Biquad makeFilter(int type, double hz, double q, double gainDb)
{
    double w = 2.0 * M_PI * std::min(hz, SAMPLE_RATE * 0.45) / SAMPLE_RATE;
    double cw = std::cos(w), sw = std::sin(w), alpha = sw / (2.0 * q);
    double b0, b1, b2, a0, a1, a2;
    if (type == 0) {  // low pass
        b0 = (1 - cw) / 2;
        b1 = 1 - cw;
        b2 = (1 - cw) / 2;
        a0 = 1 + alpha;
        a1 = -2 * cw;
        a2 = 1 - alpha;
    } else if (type == 1) {  // high pass
        b0 = (1 + cw) / 2;
        b1 = -(1 + cw);
        b2 = (1 + cw) / 2;
        a0 = 1 + alpha;
        a1 = -2 * cw;
        a2 = 1 - alpha;
    } else {  // peaking
        double A = std::pow(10.0, gainDb / 40.0);
        b0 = 1 + alpha * A;
        b1 = -2 * cw;
        b2 = 1 - alpha * A;
        a0 = 1 + alpha / A;
        a1 = -2 * cw;
        a2 = 1 - alpha / A;
    }
    return Biquad{b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

void lowPass(Sound& s, double hz)
{
    runBiquad(s, makeFilter(0, hz, 0.707, 0));
}
void highPass(Sound& s, double hz)
{
    runBiquad(s, makeFilter(1, hz, 0.707, 0));
}
void bandBoost(Sound& s, double hz, double q, double gainDb)
{
    runBiquad(s, makeFilter(2, hz, q, gainDb));
}

//---- Reverb: four damped combs in parallel, two all-passes in series, per channel (stereo spread by offsets)

void reverb(Sound& s, double size, double damp, double mix)
{
    if (s.channels <= 0)
        return;
    static constexpr int COMBS[4] = {1557, 1617, 1491, 1422};
    static constexpr int ALLPASS[2] = {556, 441};
    long frames = (long)(s.samples.size() / s.channels);
    // Let the room ring on after the last sound.
    long tail = (long)(SAMPLE_RATE * (0.4 + 1.6 * size));
    s.samples.resize((size_t)(frames + tail) * s.channels, 0.0f);
    frames += tail;
    double feedback = 0.70 + 0.28 * size;
    for (int c = 0; c < s.channels; ++c) {
        int spread = c * 23;
        std::vector<float> wet((size_t)frames, 0.0f);
        for (int k = 0; k < 4; ++k) {
            int len = (int)((COMBS[k] + spread) * (0.6 + 0.8 * size));
            std::vector<float> buf((size_t)len, 0.0f);
            int pos = 0;
            float store = 0.0f;
            for (long i = 0; i < frames; ++i) {
                float in = s.samples[(size_t)i * s.channels + c];
                float out = buf[(size_t)pos];
                store = (float)(out * (1.0 - damp) + store * damp);
                buf[(size_t)pos] = (float)(in + store * feedback);
                wet[(size_t)i] += out;
                if (++pos >= len)
                    pos = 0;
            }
        }
        for (int k = 0; k < 2; ++k) {
            int len = ALLPASS[k] + spread;
            std::vector<float> buf((size_t)len, 0.0f);
            int pos = 0;
            for (long i = 0; i < frames; ++i) {
                float b = buf[(size_t)pos];
                float in = wet[(size_t)i];
                buf[(size_t)pos] = in + b * 0.5f;
                wet[(size_t)i] = b - in;
                if (++pos >= len)
                    pos = 0;
            }
        }
        for (long i = 0; i < frames; ++i) {
            float& d = s.samples[(size_t)i * s.channels + c];
            d = (float)(d * (1.0 - mix * 0.5) + wet[(size_t)i] * 0.25 * mix);
        }
    }
}

//---- Writing

bool writeSound(const char* dir, const char* name, const Sound& s)
{
    char path[1024];
    snprintf(path, sizeof path, "%s/%s", dir, name);
    const char* ext = strrchr(name, '.');
    SF_INFO info = {};
    info.samplerate = SAMPLE_RATE;
    info.channels = s.channels;
    if (ext && strcmp(ext, ".ogg") == 0)
        info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
    else if (ext && strcmp(ext, ".aiff") == 0)
        info.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    else if (ext && strcmp(ext, ".wav") == 0)
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    else {
        fprintf(stderr, "assetgen: %s: unknown sound format\n", name);
        return false;
    }
    if (s.channels <= 0 || s.samples.empty()) {
        fprintf(stderr, "assetgen: %s: empty sound\n", name);
        return false;
    }
    SNDFILE* f = sf_open(path, SFM_WRITE, &info);
    if (!f) {
        fprintf(stderr, "assetgen: cannot write %s: %s\n", path, sf_strerror(nullptr));
        return false;
    }
    if ((info.format & SF_FORMAT_SUBMASK) == SF_FORMAT_VORBIS) {
        double quality = 0.45;
        sf_command(f, SFC_SET_VBR_ENCODING_QUALITY, &quality, sizeof quality);
    }
    // Written in small blocks: the Vorbis encoder behind libsndfile fails on one huge write.
    sf_count_t frames = (sf_count_t)(s.samples.size() / s.channels), done = 0;
    while (done < frames) {
        sf_count_t n = std::min<sf_count_t>(4096, frames - done);
        sf_count_t w = sf_writef_float(f, s.samples.data() + (size_t)done * s.channels, n);
        if (w != n)
            break;
        done += w;
    }
    sf_close(f);
    if (done != frames) {
        fprintf(stderr, "assetgen: short write on %s\n", path);
        return false;
    }
    return true;
}

//---- Score building

void scoreNote(Score& s, double start, double len, int chan, int key, int vel)
{
    if (key < 0 || key > 127 || len <= 0)
        return;
    vel = std::clamp(vel, 1, 127);
    s.events.push_back(MidiEvent{start, 0, chan, key, vel});
    s.events.push_back(MidiEvent{start + len, 1, chan, key, 0});
}
void scoreProgram(Score& s, double t, int chan, int program)
{
    s.events.push_back(MidiEvent{t, 3, chan, program, 0});
}
void scoreControl(Score& s, double t, int chan, int controller, int value)
{
    s.events.push_back(MidiEvent{t, 2, chan, controller, std::clamp(value, 0, 127)});
}
void scoreBend(Score& s, double t, int chan, int value)
{
    s.events.push_back(MidiEvent{t, 4, chan, std::clamp(value, 0, 16383), 0});
}

void soundfontPath(const char* path)
{
    g_soundfont = path;
}
const char* soundfont()
{
    return g_soundfont;
}

//---- Rendering

static void quietLog(int, const char*, void*) {}

bool renderScore(const Score& score, const char* sf2, Sound& out)
{
    fluid_set_log_function(FLUID_WARN, quietLog, nullptr);
    fluid_set_log_function(FLUID_INFO, quietLog, nullptr);
    fluid_set_log_function(FLUID_DBG, quietLog, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", SAMPLE_RATE);
    fluid_settings_setnum(settings, "synth.gain", score.gain > 0 ? score.gain : 0.5);
    fluid_settings_setint(settings, "synth.reverb.active", 1);
    fluid_settings_setint(settings, "synth.chorus.active", 1);
    fluid_settings_setint(settings, "synth.cpu-cores", 1);
    fluid_settings_setint(settings, "synth.polyphony", 128);
    fluid_synth_t* synth = new_fluid_synth(settings);
    if (!synth || fluid_synth_sfload(synth, sf2, 1) == FLUID_FAILED) {
        fprintf(stderr, "assetgen: cannot load the soundfont %s\n", sf2);
        if (synth)
            delete_fluid_synth(synth);
        delete_fluid_settings(settings);
        return false;
    }
    fluid_synth_set_reverb_group_roomsize(synth, -1, 0.75);
    fluid_synth_set_reverb_group_level(synth, -1, score.reverbLevel > 0 ? score.reverbLevel : 0.6);
    fluid_synth_set_reverb_group_width(synth, -1, 0.9);

    std::vector<MidiEvent> ev = score.events;
    // Note-offs before note-ons at the same instant, so a repeated key sounds again.
    std::stable_sort(ev.begin(), ev.end(), [](const MidiEvent& a, const MidiEvent& b) {
        if (a.time != b.time)
            return a.time < b.time;
        return (a.type == 1) > (b.type == 1);
    });
    long total = (long)(score.seconds * SAMPLE_RATE);
    out = Sound{};
    out.channels = 2;
    out.samples.assign((size_t)total * 2, 0.0f);
    // The dry mix, the reverb and the chorus come out separately. The chorus returns its right side in opposite
    // polarity to its left (the soundfont's strings send most of their sound through it, so a track full of
    // strings would cancel itself out in mono): its right side is turned back before the three are summed.
    std::vector<float> bufs[6];
    for (std::vector<float>& b : bufs)
        b.assign(4096, 0.0f);
    long pos = 0;
    size_t next = 0;
    while (pos < total) {
        while (next < ev.size() && (long)(ev[next].time * SAMPLE_RATE) <= pos) {
            const MidiEvent& e = ev[next++];
            switch (e.type) {
            case 0: fluid_synth_noteon(synth, e.chan, e.a, e.b); break;
            case 1: fluid_synth_noteoff(synth, e.chan, e.a); break;
            case 2: fluid_synth_cc(synth, e.chan, e.a, e.b); break;
            case 3: fluid_synth_program_change(synth, e.chan, e.a); break;
            case 4: fluid_synth_pitch_bend(synth, e.chan, e.a); break;
            default: break;
            }
        }
        long until = total;
        if (next < ev.size())
            until = std::min(until, std::max(pos + 1, (long)(ev[next].time * SAMPLE_RATE)));
        long n = std::min<long>(until - pos, 4096);
        for (std::vector<float>& b : bufs)
            std::fill(b.begin(), b.begin() + n, 0.0f);
        float* dry[2] = {bufs[0].data(), bufs[1].data()};
        float* fx[4] = {bufs[2].data(), bufs[3].data(), bufs[4].data(), bufs[5].data()};  // reverb L R, chorus L R
        fluid_synth_process(synth, (int)n, 4, fx, 2, dry);
        for (long i = 0; i < n; ++i) {
            out.samples[(size_t)(pos + i) * 2] = bufs[0][(size_t)i] + bufs[2][(size_t)i] + bufs[4][(size_t)i];
            out.samples[(size_t)(pos + i) * 2 + 1] = bufs[1][(size_t)i] + bufs[3][(size_t)i] - bufs[5][(size_t)i];
        }
        pos += n;
    }
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return true;
}
