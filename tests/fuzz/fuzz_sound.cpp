// Fuzz target: the sound module's loaders with arbitrary file contents, on OpenAL Soft's loopback
// device (no sound card): the same bytes are loaded and played as an effect, then streamed as the
// music for a few updates. libsndfile recognises WAV, AIFF and Ogg Vorbis, and any other format it
// knows, by content alone.

#include "fuzz_util.h"        // the scratch file
#include "nux_sound.h"        // the loaders under test
#include "nux_sound_local.h"  // the loopback device and result code
#include <cstdlib>            // atexit
#include <vector>             // the rendered block

// libvorbis loses the codec set-up of an Ogg file whose headers are cut short, inside libsndfile's
// failed open (tests/lsan.supp says the same for the tests): not ours, and the fuzzer must run on.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libvorbis.so\n";
}

static bool started = false;
static std::vector<float> mixed(2 * 2048);

static void startSound()
{
    static bool registered = false;
    if (!registered)
        registered = atexit(NUX_ShutdownSound) == 0;  // OpenAL complains of a device left open at exit
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
    // Every input is written to the same path: the sound module must not take it for the file
    // that failed last time.
    NUX_ForgetFailedSoundFilesForTest();

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

#ifdef DUNMARROW_FUZZ_BUILD
// libogg drops a page whose checksum is wrong, so a mutated Vorbis header would never be decoded:
// after each mutation every whole Ogg page gets its right checksum back.
extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

// Ogg's CRC-32: polynomial 0x04c11db7, most significant bit first, no reflection, zero start.
static uint32_t oggCrc(const uint8_t* data, size_t size)
{
    uint32_t crc = 0;
    for (size_t i = 0; i < size; i++) {
        crc ^= (uint32_t)data[i] << 24;
        for (int bit = 0; bit < 8; bit++)
            crc = crc & 0x80000000u ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    size_t at = 0;
    while (at + 27 <= size) {
        if (data[at] != 'O' || data[at + 1] != 'g' || data[at + 2] != 'g' || data[at + 3] != 'S') {
            at++;
            continue;
        }
        size_t segments = data[at + 26], body = 0;
        if (at + 27 + segments > size)
            break;
        for (size_t i = 0; i < segments; i++)
            body += data[at + 27 + i];
        size_t page = 27 + segments + body;
        if (at + page > size)
            break;
        data[at + 22] = data[at + 23] = data[at + 24] = data[at + 25] = 0;
        uint32_t crc = oggCrc(data + at, page);
        data[at + 22] = (uint8_t)crc;  // stored least significant byte first
        data[at + 23] = (uint8_t)(crc >> 8);
        data[at + 24] = (uint8_t)(crc >> 16);
        data[at + 25] = (uint8_t)(crc >> 24);
        at += page;
    }
    return size;
}
#endif
