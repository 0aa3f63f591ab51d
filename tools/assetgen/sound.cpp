// DUNMARROW asset generator: sound buffers, filters, reverb, file writing and the offline soundfont renderer.
// Music and tonal effects go through FluidSynth; noises and voices are shaped here.

#include "assetgen.h"            // Sound, Score, MidiEvent
#include <fluidsynth.h>          // offline General MIDI rendering
#include <sndfile.h>             // WAV, AIFF and Ogg Vorbis writing
#include <algorithm>             // std::sort, std::min, std::max
#include <cmath>                 // sin, cos, exp, fabs
#include <cstdio>                // snprintf, fprintf
#include <cstring>               // strrchr, strcmp

//---- File-level state

static const char *g_soundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

//---- Buffers

Sound silence(int channels, double seconds) {
  Sound s = {};
  s.channels = channels;
  s.samples.assign((size_t)(seconds * SAMPLE_RATE) * channels, 0.0f);
  return s;
}

void mixInto(Sound &dst, const Sound &src, long at, double gain) {
  if (at < 0 || src.channels <= 0 || dst.channels <= 0) return;
  long frames = (long)(src.samples.size() / src.channels);
  size_t need = (size_t)(at + frames) * dst.channels;
  if (dst.samples.size() < need) dst.samples.resize(need, 0.0f);
  for (long i = 0; i < frames; ++i)
    for (int c = 0; c < dst.channels; ++c) {
      float v = src.samples[(size_t)i * src.channels + (src.channels == 1 ? 0 : c % src.channels)];
      dst.samples[(size_t)(at + i) * dst.channels + c] += (float)(v * gain);
    }
}

void normalizeSound(Sound &s, double peak) {
  float top = 0.0f;
  for (float v : s.samples) top = std::max(top, std::fabs(v));
  if (top <= 0.0f) return;
  float k = (float)(peak / top);
  for (float &v : s.samples) v *= k;
}

void fadeEdges(Sound &s, double inSeconds, double outSeconds) {
  if (s.channels <= 0) return;
  long frames = (long)(s.samples.size() / s.channels);
  long fin = std::min(frames, (long)(inSeconds * SAMPLE_RATE));
  long fout = std::min(frames, (long)(outSeconds * SAMPLE_RATE));
  for (long i = 0; i < fin; ++i)
    for (int c = 0; c < s.channels; ++c) s.samples[(size_t)i * s.channels + c] *= (float)i / (float)fin;
  for (long i = 0; i < fout; ++i) {
    long f = frames - 1 - i;
    for (int c = 0; c < s.channels; ++c) s.samples[(size_t)f * s.channels + c] *= (float)i / (float)fout;
  }
}

void foldLoopTail(Sound &s, long loopFrames) {
  if (s.channels <= 0 || loopFrames <= 0) return;
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

//---- Filters (biquads from the usual cookbook formulas, run on each channel)

struct Biquad { double b0, b1, b2, a1, a2; };

static void runBiquad(Sound &s, Biquad q) {
  for (int c = 0; c < s.channels; ++c) {
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (size_t i = c; i < s.samples.size(); i += s.channels) {
      double x = s.samples[i];
      double y = q.b0 * x + q.b1 * x1 + q.b2 * x2 - q.a1 * y1 - q.a2 * y2;
      x2 = x1; x1 = x; y2 = y1; y1 = y;
      s.samples[i] = (float)y;
    }
  }
}

static Biquad makeFilter(int type, double hz, double q, double gainDb) {
  double w = 2.0 * M_PI * std::min(hz, SAMPLE_RATE * 0.45) / SAMPLE_RATE;
  double cw = std::cos(w), sw = std::sin(w), alpha = sw / (2.0 * q);
  double b0, b1, b2, a0, a1, a2;
  if (type == 0) {         // low pass
    b0 = (1 - cw) / 2; b1 = 1 - cw; b2 = (1 - cw) / 2; a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha;
  } else if (type == 1) {  // high pass
    b0 = (1 + cw) / 2; b1 = -(1 + cw); b2 = (1 + cw) / 2; a0 = 1 + alpha; a1 = -2 * cw; a2 = 1 - alpha;
  } else {                 // peaking
    double A = std::pow(10.0, gainDb / 40.0);
    b0 = 1 + alpha * A; b1 = -2 * cw; b2 = 1 - alpha * A; a0 = 1 + alpha / A; a1 = -2 * cw; a2 = 1 - alpha / A;
  }
  return Biquad{b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

void lowPass(Sound &s, double hz) { runBiquad(s, makeFilter(0, hz, 0.707, 0)); }
void highPass(Sound &s, double hz) { runBiquad(s, makeFilter(1, hz, 0.707, 0)); }
void bandBoost(Sound &s, double hz, double q, double gainDb) { runBiquad(s, makeFilter(2, hz, q, gainDb)); }

//---- Reverb: four damped combs in parallel, two all-passes in series, per channel (stereo spread by offsets)

void reverb(Sound &s, double size, double damp, double mix) {
  if (s.channels <= 0) return;
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
        if (++pos >= len) pos = 0;
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
        if (++pos >= len) pos = 0;
      }
    }
    for (long i = 0; i < frames; ++i) {
      float &d = s.samples[(size_t)i * s.channels + c];
      d = (float)(d * (1.0 - mix * 0.5) + wet[(size_t)i] * 0.25 * mix);
    }
  }
}

//---- Writing

bool writeSound(const char *dir, const char *name, const Sound &s) {
  char path[1024];
  snprintf(path, sizeof path, "%s/%s", dir, name);
  const char *ext = strrchr(name, '.');
  SF_INFO info = {};
  info.samplerate = SAMPLE_RATE;
  info.channels = s.channels;
  if (ext && strcmp(ext, ".ogg") == 0) info.format = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
  else if (ext && strcmp(ext, ".aiff") == 0) info.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
  else if (ext && strcmp(ext, ".wav") == 0) info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  else {
    fprintf(stderr, "assetgen: %s: unknown sound format\n", name);
    return false;
  }
  if (s.channels <= 0 || s.samples.empty()) {
    fprintf(stderr, "assetgen: %s: empty sound\n", name);
    return false;
  }
  SNDFILE *f = sf_open(path, SFM_WRITE, &info);
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
    if (w != n) break;
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

void scoreNote(Score &s, double start, double len, int chan, int key, int vel) {
  if (key < 0 || key > 127 || len <= 0) return;
  vel = std::clamp(vel, 1, 127);
  s.events.push_back(MidiEvent{start, 0, chan, key, vel});
  s.events.push_back(MidiEvent{start + len, 1, chan, key, 0});
}
void scoreProgram(Score &s, double t, int chan, int program) { s.events.push_back(MidiEvent{t, 3, chan, program, 0}); }
void scoreControl(Score &s, double t, int chan, int controller, int value) {
  s.events.push_back(MidiEvent{t, 2, chan, controller, std::clamp(value, 0, 127)});
}
void scoreBend(Score &s, double t, int chan, int value) {
  s.events.push_back(MidiEvent{t, 4, chan, std::clamp(value, 0, 16383), 0});
}

void soundfontPath(const char *path) { g_soundfont = path; }
const char *soundfont() { return g_soundfont; }

//---- Rendering

static void quietLog(int, const char *, void *) {}

bool renderScore(const Score &score, const char *sf2, Sound &out) {
  fluid_set_log_function(FLUID_WARN, quietLog, nullptr);
  fluid_set_log_function(FLUID_INFO, quietLog, nullptr);
  fluid_set_log_function(FLUID_DBG, quietLog, nullptr);
  fluid_settings_t *settings = new_fluid_settings();
  fluid_settings_setnum(settings, "synth.sample-rate", SAMPLE_RATE);
  fluid_settings_setnum(settings, "synth.gain", score.gain > 0 ? score.gain : 0.5);
  fluid_settings_setint(settings, "synth.reverb.active", 1);
  fluid_settings_setint(settings, "synth.chorus.active", 1);
  fluid_settings_setint(settings, "synth.cpu-cores", 1);
  fluid_settings_setint(settings, "synth.polyphony", 128);
  fluid_synth_t *synth = new_fluid_synth(settings);
  if (!synth || fluid_synth_sfload(synth, sf2, 1) == FLUID_FAILED) {
    fprintf(stderr, "assetgen: cannot load the soundfont %s\n", sf2);
    if (synth) delete_fluid_synth(synth);
    delete_fluid_settings(settings);
    return false;
  }
  fluid_synth_set_reverb_group_roomsize(synth, -1, 0.75);
  fluid_synth_set_reverb_group_level(synth, -1, score.reverbLevel > 0 ? score.reverbLevel : 0.6);
  fluid_synth_set_reverb_group_width(synth, -1, 0.9);

  std::vector<MidiEvent> ev = score.events;
  // Note-offs before note-ons at the same instant, so a repeated key sounds again.
  std::stable_sort(ev.begin(), ev.end(), [](const MidiEvent &a, const MidiEvent &b) {
    if (a.time != b.time) return a.time < b.time;
    return (a.type == 1) > (b.type == 1);
  });
  long total = (long)(score.seconds * SAMPLE_RATE);
  out = Sound{};
  out.channels = 2;
  out.samples.assign((size_t)total * 2, 0.0f);
  std::vector<float> left(4096), right(4096);
  long pos = 0;
  size_t next = 0;
  while (pos < total) {
    while (next < ev.size() && (long)(ev[next].time * SAMPLE_RATE) <= pos) {
      const MidiEvent &e = ev[next++];
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
    if (next < ev.size()) until = std::min(until, std::max(pos + 1, (long)(ev[next].time * SAMPLE_RATE)));
    long n = std::min<long>(until - pos, 4096);
    fluid_synth_write_float(synth, (int)n, left.data(), 0, 1, right.data(), 0, 1);
    for (long i = 0; i < n; ++i) {
      out.samples[(size_t)(pos + i) * 2] = left[(size_t)i];
      out.samples[(size_t)(pos + i) * 2 + 1] = right[(size_t)i];
    }
    pos += n;
  }
  delete_fluid_synth(synth);
  delete_fluid_settings(settings);
  return true;
}
