// soundcheck: plays one sound file as the game's music through the real sound module and prints
// its length and the music position over time, to compare the device clock with the deterministic one.

#include "nux_clock.h"        // the engine clock, real or virtual
#include "nux_sound.h"        // the module under check
#include "nux_sound_local.h"  // the result code it reports

#include <chrono>   // frame pacing on the real clock
#include <cmath>    // fmod, fabs
#include <cstdio>   // printf
#include <cstdlib>  // strtod
#include <cstring>  // strcmp
#include <thread>   // sleep_until

//---- Constants

constexpr double kFrame = 1.0 / 60.0;  // the game's frame at 60 Hz
constexpr int kPrintEvery = 6;         // a line every 0.1 s

//---- Helpers

static int usage()
{
    fprintf(stderr, "usage: dunmarrow-soundcheck FILE [--seconds N] [--deterministic]\n");
    return 2;
}

static const char* outputName(NUX_SoundOutput output)
{
    switch (output) {
    case NUX_SOUND_DEVICE: return "audio device";
    case NUX_SOUND_SILENT: return "silent (no audio device), system clock";
    case NUX_SOUND_DETERMINISTIC: return "deterministic clock";
    case NUX_SOUND_LOOPBACK: return "loopback";
    default: return "off";
    }
}

//---- Entry

int main(int argc, char** argv)
{
    const char* path = nullptr;
    double seconds = -1.0;
    bool deterministic = false;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--deterministic") == 0) {
            deterministic = true;
        } else if (strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            char* end = nullptr;
            seconds = strtod(argv[++i], &end);
            if (*end || !(seconds > 0.0) || seconds > 3600.0)
                return usage();
        } else if (argv[i][0] == '-' || path) {
            return usage();
        } else {
            path = argv[i];
        }
    }
    if (!path)
        return usage();

    if (deterministic) {
        NUX_UseVirtualClock(kFrame);
        NUX_UseDeterministicMusicClock(1);
    } else {
        NUX_StartRealClock();
    }
    NUX_InitSound(64);
    printf("output: %s\n", outputName(NUX_GetSoundOutput()));
    NUX_PlayMusic(path);
    double length = NUX_GetMusicLength();
    if (length <= 0.0) {
        printf("cannot play %s (result code %d)\n", path, NUX_GetSoundResultForTest());
        NUX_ShutdownSound();
        return 1;
    }
    printf("file: %s\nlength: %.6f s\n", path, length);
    if (seconds < 0.0)
        seconds = length + 1.0;  // long enough to see one loop

    // Frames paced like the game's: update, then read the position, 60 times a second.
    double start = Timer_GetSeconds();
    auto wallStart = std::chrono::steady_clock::now();
    int frames = (int)(seconds / kFrame + 0.5);
    double last = 0.0;
    double worstDrift = 0.0;
    int backwards = 0;
    int loops = 0;
    double updateCost = 0.0;
    for (int frame = 1; frame <= frames; frame++) {
        if (deterministic)
            NUX_AdvanceVirtualClock();
        else
            std::this_thread::sleep_until(wallStart + std::chrono::duration<double>(frame * kFrame));
        auto before = std::chrono::steady_clock::now();
        NUX_UpdateSound();
        updateCost += std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
        double position = NUX_GetMusicPosition();
        double t = Timer_GetSeconds() - start;
        if (position < last) {
            if (last - position > length * 0.5)
                loops++;
            else
                backwards++;
        }
        last = position;
        // How far the position is from the clock's time wrapped at the length, either way round.
        double drift = position - std::fmod(t, length);
        if (drift > length * 0.5)
            drift -= length;
        if (drift < -length * 0.5)
            drift += length;
        if (std::fabs(drift) > std::fabs(worstDrift))
            worstDrift = drift;
        if (frame % kPrintEvery == 0)
            printf("t=%8.3f  position=%8.3f  drift=%+7.1f ms\n", t, position, drift * 1000.0);
    }
    printf("summary: %d frames, %d loops, %d backward steps, worst drift %+.1f ms, update %.1f us per frame\n", frames,
           loops, backwards, worstDrift * 1000.0, updateCost / frames * 1e6);
    NUX_StopMusic();
    NUX_ShutdownSound();
    return 0;
}
