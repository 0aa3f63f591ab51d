// Fuzz target: the sound module's loaders with arbitrary file contents, on OpenAL Soft's loopback
// device (no sound card): the same bytes are loaded and played as an effect, then streamed as the
// music for a few updates. libsndfile recognises WAV, AIFF and Ogg Vorbis, and any other format it
// knows, by content alone.

#include "fuzz_util.h"   // the scratch file
#include "nux_sound.h"   // the loaders under test
#include <vector>        // the rendered block

static bool started = false;
static std::vector<float> mixed(2 * 2048);

static void startSound()
{
    NUX_ShutdownSound();
    started = NUX_InitSoundLoopback(8, 44100) == 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (!started)
        startSound();
    if (!started)
        return 0;
    const char* path = fuzzScratchFile(data, size, ".wav");
    if (!path)
        return 0;

    NUX_Sound* sound = NUX_LoadSound(path);
    if (!sound && NUX_GetSoundResultForTest() == NUX_SOUND_ERR_TOO_MANY) {
        // The table of effects only empties when the sound system restarts.
        startSound();
        sound = NUX_LoadSound(path);
    }
    if (sound) {
        if (NUX_GetSoundLength(sound) < 0.0)
            __builtin_trap();
        NUX_Channel* channel = NUX_PlaySound(sound);
        NUX_RenderSoundForTest(mixed.data(), 512);
        NUX_StopSound(channel);
    }

    NUX_PlayMusic(path);
    for (int i = 0; i < 3; i++) {
        NUX_RenderSoundForTest(mixed.data(), 2048);
        NUX_UpdateSound();
    }
    double position = NUX_GetMusicPosition(), length = NUX_GetMusicLength();
    if (position < 0.0 || length < 0.0)
        __builtin_trap();
    NUX_StopMusic();
    return 0;
}
