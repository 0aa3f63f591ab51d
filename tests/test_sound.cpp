// test_sound: the sound module on real WAV, AIFF and OGG files written here with libsndfile.
// The music clock runs on the virtual engine clock; real mixing is checked on OpenAL's loopback device.

#include "nux_clock.h"        // the virtual clock that drives the music clock
#include "nux_sound.h"        // the module under test
#include "nux_sound_local.h"  // its loopback device and result code
#include "testutil.h"         // testTempDir, testWriteFile

#include <gtest/gtest.h>   // TEST_F, CaptureStdout, CaptureStderr
#include <malloc.h>        // mallinfo2: live memory where no sanitizer counts it
#include <sndfile.h>       // writing the test files
#include <sys/resource.h>  // getrusage: the memory a load asked for

#include <algorithm>  // count, max
#include <chrono>     // the null device test runs in real time
#include <thread>     // sleep_for
#include <cmath>      // sin, fabs, fmod
#include <cstdlib>    // setenv: choosing OpenAL's null device
#include <cstring>    // memcmp, memset: damaging files
#include <fstream>    // reading files back to damage them
#include <string>     // paths
#include <vector>     // samples

//---- Files

static std::string writeTone(const char* name, int format, int rate, int channels, int frames, float amplitude = 0.25f)
{
    std::string path = testTempDir() + "/" + name;
    SF_INFO info = {};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    EXPECT_NE(file, nullptr) << name << ": " << sf_strerror(nullptr);
    if (!file)
        return path;
    std::vector<float> samples((size_t)frames * channels);
    for (int i = 0; i < frames; i++)
        for (int c = 0; c < channels; c++)
            samples[(size_t)i * channels + c] = amplitude * (float)std::sin(i * 2.0 * M_PI * 441.0 / rate);
    sf_writef_float(file, samples.data(), frames);
    sf_close(file);
    return path;
}

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kAiff16 = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
constexpr int kOgg = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
constexpr int kFlac = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;

static std::vector<uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Frames libsndfile decodes from the file when read to its end, whatever its header says.
static long decodedFrames(const std::string& path)
{
    SF_INFO info = {};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return -1;
    std::vector<short> block(8192 * 2);
    long total = 0;
    sf_count_t got = 0;
    while ((got = sf_readf_short(file, block.data(), 8192)) > 0)
        total += (long)got;
    sf_close(file);
    return total;
}

// A stereo FLAC whose header gives no sample total (legal: "unknown"), so the length is unknown.
static std::string flacWithoutLength(const char* name, int rate, int frames)
{
    std::vector<uint8_t> bytes = readBytes(writeTone(name, kFlac, rate, 2, frames));
    // "fLaC", a 4-byte block header, then the stream info: 36 bits of total samples from byte 21.
    bytes[21] &= 0xF0;
    bytes[22] = bytes[23] = bytes[24] = bytes[25] = 0;
    return testWriteFile(name, bytes);
}

// The Ogg page checksum: CRC-32 with polynomial 0x04c11db7, unreflected, starting at 0.
static uint32_t oggCrc(const uint8_t* data, size_t size)
{
    uint32_t crc = 0;
    for (size_t i = 0; i < size; i++) {
        crc ^= (uint32_t)data[i] << 24;
        for (int bit = 0; bit < 8; bit++)
            crc = (crc << 1) ^ (0x04c11db7u & (0u - (crc >> 31)));
    }
    return crc;
}

// A stereo Ogg Vorbis file whose last page claims granule position `claim` (its checksum made
// to match): the header length says claim frames, the data holds what was written.
static std::string oggClaiming(const char* name, int rate, int frames, int64_t claim)
{
    std::vector<uint8_t> bytes = readBytes(writeTone(name, kOgg, rate, 2, frames));
    size_t last = 0;
    for (size_t i = 0; i + 4 <= bytes.size(); i++)
        if (memcmp(&bytes[i], "OggS", 4) == 0)
            last = i;
    for (int i = 0; i < 8; i++)
        bytes[last + 6 + i] = (uint8_t)(claim >> (8 * i));
    memset(&bytes[last + 22], 0, 4);
    uint32_t crc = oggCrc(&bytes[last], bytes.size() - last);
    for (int i = 0; i < 4; i++)
        bytes[last + 22 + i] = (uint8_t)(crc >> (8 * i));
    return testWriteFile(name, bytes);
}

// The cut-off first part of a stereo Ogg Vorbis file: no last page, so no length.
static std::string oggCut(const char* name, int rate, int frames, double keep)
{
    std::vector<uint8_t> bytes = readBytes(writeTone(name, kOgg, rate, 2, frames));
    bytes.resize((size_t)(bytes.size() * keep));
    return testWriteFile(name, bytes);
}

#if defined(__SANITIZE_ADDRESS__)
#define TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TEST_ASAN 1
#endif
#endif
#ifdef TEST_ASAN
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

// Bytes allocated and not yet freed by the whole process.
static long long liveBytes()
{
#ifdef TEST_ASAN
    return (long long)__sanitizer_get_current_allocated_bytes();
#else
    return (long long)mallinfo2().uordblks;
#endif
}

static long peakMemoryKb()
{
    struct rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct Sound : ::testing::Test {
    void TearDown() override
    {
        NUX_StopMusic();
        NUX_ShutdownSound();
        NUX_UseDeterministicMusicClock(0);
    }
};

// Starts the module on the deterministic music clock, the virtual clock stepping by dt.
static void startDeterministic(double dt)
{
    NUX_UseVirtualClock(dt);
    NUX_UseDeterministicMusicClock(1);
    NUX_InitSound(64);
    ASSERT_EQ(NUX_GetSoundOutput(), NUX_SOUND_DETERMINISTIC);
}

static void advance(int frames)
{
    for (int i = 0; i < frames; i++) {
        NUX_AdvanceVirtualClock();
        NUX_UpdateSound();
    }
}

//---- Loading

TEST_F(Sound, EffectsDecodeToTheirLengthInEveryFormat)
{
    startDeterministic(1.0 / 60);
    struct Case {
        const char* name;
        int format, rate, channels, frames;
    };
    const Case cases[] = {
        {"mono.wav", kWav16, 44100, 1, 22050},
        {"stereo.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 12000},
        {"cry.aiff", kAiff16, 22050, 1, 33075},
        {"flap.ogg", kOgg, 44100, 2, 30870},
    };
    for (const Case& c : cases) {
        NUX_Sound* sound = NUX_LoadSound(writeTone(c.name, c.format, c.rate, c.channels, c.frames).c_str());
        ASSERT_NE(sound, nullptr) << c.name;
        EXPECT_EQ(NUX_GetSoundResultForTest(), 0) << c.name;
        EXPECT_NEAR(NUX_GetSoundLength(sound), (double)c.frames / c.rate, 1e-9) << c.name;
        EXPECT_EQ(NUX_PlaySound(sound), nullptr) << c.name << ": nothing plays without a device";
    }
}

TEST_F(Sound, BadFilesGiveNullHandlesAndNoMusic)
{
    startDeterministic(0.1);
    std::string good = writeTone("good.wav", kWav16, 8000, 1, 800);
    std::vector<uint8_t> header = readBytes(good);
    header.resize(20);  // cut inside the format chunk
    struct Case {
        std::string path;
        int code;
    };
    const Case cases[] = {
        {testTempDir() + "/missing.wav", NUX_SOUND_ERR_FILE_OPEN},
        {testWriteFile("noise.ogg", std::vector<uint8_t>(500, 0x5a)), NUX_SOUND_ERR_FILE_BAD},
        {testWriteFile("cut.wav", header), NUX_SOUND_ERR_FILE_BAD},
        {writeTone("empty.wav", kWav16, 8000, 1, 0), NUX_SOUND_ERR_FILE_EMPTY},
        {writeTone("quad.wav", kWav16, 8000, 4, 100), NUX_SOUND_ERR_FORMAT},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NUX_LoadSound(c.path.c_str()), nullptr) << c.path;
        EXPECT_EQ(NUX_GetSoundResultForTest(), c.code) << c.path;
        NUX_PlayMusic(good.c_str());
        advance(3);
        NUX_PlayMusic(c.path.c_str());
        EXPECT_EQ(NUX_GetSoundResultForTest(), c.code) << c.path;
        advance(3);
        EXPECT_EQ(NUX_GetMusicPosition(), 0.0) << c.path << ": the old music stopped, no new one";
    }
    EXPECT_EQ(NUX_LoadSound(testTempDir().c_str()), nullptr) << "a folder";
    EXPECT_EQ(NUX_LoadSound(nullptr), nullptr);
    EXPECT_EQ(NUX_PlaySound(nullptr), nullptr);
    NUX_StopSound(nullptr);

    NUX_ShutdownSound();
    NUX_ShutdownSound();
    EXPECT_EQ(NUX_GetSoundOutput(), NUX_SOUND_OFF);
    EXPECT_EQ(NUX_LoadSound(good.c_str()), nullptr) << "after shutdown";
    EXPECT_EQ(NUX_GetSoundResultForTest(), NUX_SOUND_ERR_NOT_STARTED);
}

TEST_F(Sound, DamagedStereoFilesLoadWhatTheyHoldAndNoMore)
{
    startDeterministic(1.0 / 60);
    // A header that gives no length, one that claims 2^27 frames (512 MB of samples) for a file of
    // some 40 KB, and a cut file: each loads what it holds.
    struct Case {
        std::string path;
        long frames;
    };
    const Case cases[] = {
        {flacWithoutLength("nolength.flac", 44100, 44100), 44100},
        {oggClaiming("forged.ogg", 44100, 3 * 44100, int64_t(1) << 27), decodedFrames(testTempDir() + "/forged.ogg")},
        {oggCut("cut.ogg", 44100, 3 * 44100, 0.9), decodedFrames(testTempDir() + "/cut.ogg")},
    };
    for (const Case& c : cases) {
        ASSERT_GT(c.frames, 40000) << c.path;
        long before = peakMemoryKb();
        NUX_Sound* sound = NUX_LoadSound(c.path.c_str());
        ASSERT_NE(sound, nullptr) << c.path;
        EXPECT_LT(peakMemoryKb() - before, 64 * 1024) << c.path << ": memory follows what decodes";
        EXPECT_NEAR(NUX_GetSoundLength(sound), c.frames / 44100.0, 1e-9) << c.path;
    }
    // A cut file in which nothing decodes, and an effect past the 16 MB cap.
    EXPECT_EQ(NUX_LoadSound(oggCut("stub.ogg", 44100, 3 * 44100, 0.5).c_str()), nullptr);
    EXPECT_EQ(NUX_GetSoundResultForTest(), NUX_SOUND_ERR_FILE_BAD);
    NUX_PlayMusic(testTempDir().append("/stub.ogg").c_str());
    EXPECT_EQ(NUX_GetSoundResultForTest(), NUX_SOUND_ERR_FILE_BAD);
    EXPECT_EQ(NUX_LoadSound(writeTone("long.wav", kWav16, 8000, 2, 4200000).c_str()), nullptr);
    EXPECT_EQ(NUX_GetSoundResultForTest(), NUX_SOUND_ERR_FORMAT);
}

// A track cut inside its headers, as a damaged pack holds it: the first bytes of a real Ogg file.
// libvorbis keeps some kilobytes of its set-up each time such a file fails to open.
static std::string oggHead(const char* name, size_t bytes)
{
    std::vector<uint8_t> data = readBytes(writeTone(name, kOgg, 44100, 2, 44100));
    EXPECT_GT(data.size(), bytes);
    data.resize(bytes);
    return testWriteFile(name, data);
}

TEST_F(Sound, AFileThatFailedIsNotOpenedAgainSoTenSceneStartsCostNothing)
{
    startDeterministic(1.0 / 60);
    const std::string damaged = oggHead("cuthead.ogg", 1000);
    const std::string noise = testWriteFile("noise.aiff", std::vector<uint8_t>(300, 0x21));
    EXPECT_EQ(NUX_CheckMusic(damaged.c_str()), 0);
    EXPECT_EQ(NUX_LoadSound(noise.c_str()), nullptr);
    NUX_PlayMusic(damaged.c_str());
    EXPECT_EQ(NUX_GetSoundResultForTest(), NUX_SOUND_ERR_FILE_BAD);

    // Each scene start plays its track again; the game loads each effect once per scene.
    const long long before = liveBytes();
    for (int start = 0; start < 10; start++) {
        NUX_PlayMusic(damaged.c_str());
        advance(1);
        NUX_StopMusic();
        EXPECT_EQ(NUX_LoadSound(noise.c_str()), nullptr);
        EXPECT_EQ(NUX_LoadSound(damaged.c_str()), nullptr);
    }
    EXPECT_EQ(liveBytes() - before, 0) << "a failed file is remembered, not reopened";
    EXPECT_EQ(NUX_GetSoundResultForTest(), NUX_SOUND_ERR_FILE_BAD) << "the same answer as the first time";
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0);

    // Until the sound system starts again, which opens the file anew.
    NUX_ShutdownSound();
    startDeterministic(1.0 / 60);
    const std::string repaired = writeTone("cuthead.ogg", kOgg, 44100, 2, 44100);
    NUX_PlayMusic(repaired.c_str());
    EXPECT_EQ(NUX_GetSoundResultForTest(), 0);
}

TEST_F(Sound, ATrackIsCheckedWholeEnoughToKnowItPlays)
{
    startDeterministic(1.0 / 60);
    const std::string good = writeTone("goodtrack.ogg", kOgg, 44100, 2, 2 * 44100);
    const std::string wav = writeTone("goodtrack.wav", kWav16, 22050, 1, 22050);
    EXPECT_EQ(NUX_CheckMusic(good.c_str()), 1);
    EXPECT_EQ(NUX_CheckMusic(wav.c_str()), 1);
    NUX_PlayMusic(good.c_str());
    EXPECT_EQ(NUX_GetSoundResultForTest(), 0) << "a checked track still plays";
    advance(30);
    EXPECT_NEAR(NUX_GetMusicPosition(), 0.5, 0.002);

    // Cut files (no last page: an endless length), a header that claims 2^27 frames in some
    // 30 KB, a file cut inside its headers, noise, an empty file and a missing one: none plays,
    // and playing it later opens nothing.
    const std::string bad[] = {oggCut("cut90.ogg", 44100, 3 * 44100, 0.9),
                               oggCut("cut50.ogg", 44100, 3 * 44100, 0.5),
                               oggClaiming("claims.ogg", 44100, 3 * 44100, int64_t(1) << 27),
                               oggHead("head.ogg", 3000),
                               testWriteFile("noise.ogg", std::vector<uint8_t>(4000, 0x5a)),
                               writeTone("silent.wav", kWav16, 8000, 1, 0),
                               testTempDir() + "/gone.ogg"};
    for (const std::string& path : bad) {
        EXPECT_EQ(NUX_CheckMusic(path.c_str()), 0) << path;
        NUX_PlayMusic(path.c_str());
        EXPECT_NE(NUX_GetSoundResultForTest(), 0) << path;
        advance(3);
        EXPECT_EQ(NUX_GetMusicPosition(), 0.0) << path;
    }
    EXPECT_EQ(NUX_CheckMusic(nullptr), 0);
}

//---- Messages

TEST_F(Sound, CheckSoundErrorPrintsTheMessageOfTheStoredCode)
{
    struct Case {
        int code;
        const char* text;
    };
    const Case cases[] = {
        {0, ""},
        {1, "FMOD_ERR_ALREADYLOCKED Tried to call lock a second time before unlock was called."},
        {2,
         "Tried to call a function on a data type that does not allow this type of functionality (ie calling Sound::lock on a streaming sound)."},
        {10, "FMOD_ERR_CHANNEL_ALLOC: Error trying to allocate a channel."},
        {11, "FMOD_ERR_CHANNEL_STOLEN: The specified channel has been reused to play another sound."},
        {12,
         "FMOD_ERR_COM: A Win32 COM related error occured. COM failed to initialize or a QueryInterface failed meaning a Windows codec or driver was not installed properly."},
        {13, "FMOD_ERR_DMA: DMA Failure. See debug output for more information."},
        {14, "FMOD_ERR_DSP_CONNECTION: DSP connection error. Connection possibly caused a cyclic dependancy."},
        {15,
         "FMOD_ERR_DSP_FORMAT: DSP Format error. A DSP unit may have attempted to connect to this network with the wrong format."},
        {16, "FMOD_ERR_DSP_NOTFOUND: DSP connection error. Couldn't find the DSP unit specified."},
        {3, "Unknown error code"},
        {5, "Unknown error code"},
        {9, "Unknown error code"},
        {17, "Unknown error code"},
        {-1, "Unknown error code"},
        {NUX_SOUND_ERR_FILE_OPEN, "Unknown error code"},
    };
    for (const Case& c : cases) {
        NUX_SetSoundResultForTest(c.code);
        testing::internal::CaptureStdout();
        int returned = checkSoundError();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.text) << "code " << c.code;
        EXPECT_EQ(returned, c.code == 0 ? 0 : 1) << "code " << c.code;
    }
    // The volume is checked at once: with no music it reports the failure.
    startDeterministic(0.1);
    testing::internal::CaptureStdout();
    NUX_SetMusicVolume(0.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Unknown error code");
}

//---- The deterministic music clock

TEST_F(Sound, MusicClockLoopsPausesRestartsAndStops)
{
    startDeterministic(2.345);
    std::string path = writeTone("music.ogg", kOgg, 44100, 2, 3 * 44100);
    NUX_PlayMusic(path.c_str());
    EXPECT_EQ(NUX_GetMusicLength(), 3.0);
    advance(1);
    EXPECT_DOUBLE_EQ(NUX_GetMusicPosition(), 2.345);
    advance(1);
    EXPECT_DOUBLE_EQ(NUX_GetMusicPosition(), 1.690) << "4.690 s wrapped at the 3 s loop";

    NUX_SetMusicPaused(1);
    NUX_SetMusicPaused(1);
    advance(5);
    EXPECT_DOUBLE_EQ(NUX_GetMusicPosition(), 1.690) << "paused";
    NUX_SetMusicPaused(0);
    NUX_SetMusicPaused(0);
    advance(1);
    EXPECT_DOUBLE_EQ(NUX_GetMusicPosition(), 1.035) << "resumed where it paused (4.035 s wrapped)";

    NUX_PlayMusic(path.c_str());
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0) << "the same file again restarts from 0";
    NUX_StopMusic();
    advance(1);
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0);
    NUX_SetMusicPaused(0);
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0) << "resuming stopped music plays nothing";
}

TEST_F(Sound, MusicLoopsAtItsDecodedLengthOnTheVirtualClock)
{
    // A whole game's 300 s at 60 frames a second, and damaged tracks, which loop where their decoding stops.
    startDeterministic(1.0 / 60);
    const std::string forged = oggClaiming("forgedtrack.ogg", 44100, 3 * 44100, int64_t(1) << 27);
    struct Case {
        std::string path;
        double length, seconds;
    };
    const Case cases[] = {
        {writeTone("apex.wav", kWav16, 22050, 2, 7 * 22050), 7.0, 300.0},
        {flacWithoutLength("nolengthtrack.flac", 44100, 44100), 1.0, 6.5},
        {forged, decodedFrames(forged) / 44100.0, 6.5},
    };
    for (const Case& c : cases) {
        NUX_PlayMusic(c.path.c_str());
        ASSERT_EQ(NUX_GetSoundResultForTest(), 0) << c.path;
        int loops = 0, frames = (int)std::lround(c.seconds * 60);
        double last = 0.0;
        for (int frame = 1; frame <= frames; frame++) {
            advance(1);
            double position = NUX_GetMusicPosition(), error = std::fabs(position - std::fmod(frame / 60.0, c.length));
            ASSERT_LT(std::min(error, c.length - error), 0.0011) << c.path << " at frame " << frame;
            loops += position < last;
            last = position;
        }
        EXPECT_EQ(loops, (int)std::floor(c.seconds / c.length)) << c.path;
        EXPECT_NEAR(NUX_GetMusicLength(), c.length, 1e-9) << c.path << ": known once played through";
    }
}

TEST_F(Sound, WithoutADeviceTheGameRunsSilentlyOnTheEngineClock)
{
    NUX_UseVirtualClock(0.25);
    testing::internal::CaptureStderr();
    NUX_InitSound(64);
    std::string said = testing::internal::GetCapturedStderr();
    if (NUX_GetSoundOutput() == NUX_SOUND_DEVICE)
        GTEST_SKIP() << "this machine has an audio device";
    ASSERT_EQ(NUX_GetSoundOutput(), NUX_SOUND_SILENT);
    EXPECT_EQ(NUX_GetSoundResultForTest(), NUX_SOUND_ERR_NO_DEVICE);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("sound:"), std::string::npos) << said;

    NUX_Sound* sound = NUX_LoadSound(writeTone("hit.wav", kWav16, 8000, 1, 800).c_str());
    EXPECT_NE(sound, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(NUX_PlaySound(sound), nullptr);
    NUX_PlayMusic(writeTone("title.wav", kWav16, 8000, 1, 8000).c_str());
    advance(3);
    EXPECT_DOUBLE_EQ(NUX_GetMusicPosition(), 0.75);
    advance(2);
    EXPECT_DOUBLE_EQ(NUX_GetMusicPosition(), 0.25) << "looped at 1 s";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << "nothing more is printed";
}

TEST_F(Sound, OnOpenALsNullDeviceTheMusicRunsSteadilyForward)
{
    setenv("ALSOFT_DRIVERS", "null", 1);  // read when OpenAL first starts in this process
    NUX_InitSound(64);
    unsetenv("ALSOFT_DRIVERS");
    if (NUX_GetSoundOutput() != NUX_SOUND_DEVICE)
        GTEST_SKIP() << "OpenAL was started earlier in this process without its null device";
    NUX_Sound* hit = NUX_LoadSound(writeTone("hit.aiff", kAiff16, 22050, 1, 2205).c_str());
    EXPECT_NE(NUX_PlaySound(hit), nullptr);
    NUX_PlayMusic(writeTone("night.ogg", kOgg, 44100, 2, 44100 * 2).c_str());
    double last = 0.0;
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    while (std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        NUX_UpdateSound();
        double position = NUX_GetMusicPosition();
        ASSERT_GE(position, last);
        last = position;
    }
    EXPECT_GT(last, 0.05) << "the device's clock moves the music on";
}

//---- Real mixing on the loopback device

constexpr int kRate = 48000;

struct Mixing : Sound {
    std::vector<float> out;
    void SetUp() override
    {
        if (!NUX_InitSoundLoopback(64, kRate))
            GTEST_SKIP() << "OpenAL has no loopback device here";
    }
    // Renders `seconds` in frames of 1/60 s, updating each frame, and checks that the music is where the time
    // rendered puts it on a loop of `length`; returns the loops seen.
    int follow(double seconds, double length)
    {
        int rendered = 0, loops = 0;
        double last = 0.0;
        for (int frame = 0; frame < (int)std::lround(seconds * 60); frame++) {
            render(kRate / 60);
            rendered += kRate / 60;
            NUX_SetMusicPaused(0);  // already playing: must not start the queue over
            NUX_UpdateSound();
            double position = NUX_GetMusicPosition(),
                   error = std::fabs(position - std::fmod(rendered / (double)kRate, length));
            EXPECT_LT(std::min(error, length - error), 0.005) << "frame " << frame << " at " << position;
            loops += position < last;
            last = position;
        }
        return loops;
    }
    // Renders frames and returns the loudest sample.
    float render(int frames)
    {
        out.assign((size_t)frames * 2, 0.0f);
        NUX_RenderSoundForTest(out.data(), frames);
        float peak = 0.0f;
        for (float s : out)
            peak = std::max(peak, std::fabs(s));
        return peak;
    }
};

TEST_F(Mixing, EffectsPlayTogetherOnSixtyFourChannels)
{
    NUX_Sound* hit = NUX_LoadSound(writeTone("hit.wav", kWav16, kRate, 1, kRate / 10, 0.1f).c_str());
    ASSERT_NE(hit, nullptr);
    EXPECT_NE(NUX_PlaySound(hit), nullptr);
    float once = render(2400);
    render(kRate / 5);  // let it finish
    NUX_PlaySound(hit);
    NUX_PlaySound(hit);
    float twice = render(2400);
    EXPECT_GT(once, 0.02f);
    EXPECT_NEAR(twice, 2.0f * once, 0.1f * once) << "the same effect on two channels at once adds up";
    render(kRate / 5);

    std::vector<NUX_Channel*> playing;
    for (int i = 0; i < 64; i++)
        playing.push_back(NUX_PlaySound(hit));
    EXPECT_EQ(std::count(playing.begin(), playing.end(), nullptr), 0);
    EXPECT_EQ(NUX_PlaySound(hit), nullptr);
    EXPECT_EQ(NUX_GetSoundResultForTest(), 10) << "all channels busy";

    NUX_StopSound(playing[0]);
    EXPECT_EQ(NUX_GetSoundResultForTest(), 0);
    EXPECT_EQ(NUX_IsChannelPlaying(playing[0]), 0);
    EXPECT_EQ(NUX_IsChannelPlaying(playing[1]), 1);
    NUX_Channel* reused = NUX_PlaySound(hit);
    ASSERT_NE(reused, nullptr);
    NUX_StopSound(playing[0]);
    EXPECT_EQ(NUX_GetSoundResultForTest(), 11) << "a stale handle leaves the later effect alone";
    EXPECT_EQ(NUX_IsChannelPlaying(reused), 1);
}

TEST_F(Mixing, StreamedMusicPositionFollowsWhatIsRenderedAndLoops)
{
    // 1.5 s of music: the stream queues a second at a time, so it refills and loops within the test.
    NUX_PlayMusic(writeTone("music.wav", kWav16, kRate, 2, kRate * 3 / 2).c_str());
    EXPECT_EQ(follow(4.0, 1.5), 2);
    EXPECT_GT(render(2400), 0.1f) << "music is heard";

    NUX_SetMusicPaused(1);
    double paused = NUX_GetMusicPosition();
    render(kRate / 10);  // the pause takes effect over the first few samples
    EXPECT_LT(render(kRate / 2), 1e-6f);
    EXPECT_EQ(NUX_GetMusicPosition(), paused);
    NUX_SetMusicPaused(0);
    render(kRate / 10);
    EXPECT_NEAR(NUX_GetMusicPosition(), std::fmod(paused + 0.1, 1.5), 0.005);
}

TEST_F(Mixing, SlowFramesNeverStarveTheMusicAndADryStreamRestarts)
{
    NUX_PlayMusic(writeTone("long.wav", kWav16, kRate, 1, kRate * 5).c_str());
    for (int frame = 0; frame < 15; frame++) {  // 3 s of the slowest frames the game allows
        EXPECT_GT(render(kRate / 5), 0.1f) << "frame " << frame;
        NUX_UpdateSound();
    }
    EXPECT_NEAR(NUX_GetMusicPosition(), 3.0, 0.005);
    NUX_PlayMusic(writeTone("long.wav", kWav16, kRate, 1, kRate * 5).c_str());
    render(kRate * 2);  // no update for two seconds: more than the queue holds
    double dry = NUX_GetMusicPosition();
    EXPECT_GT(dry, 0.5);
    EXPECT_LT(dry, 2.0);
    NUX_UpdateSound();
    EXPECT_GE(NUX_GetMusicPosition(), dry);
    render(kRate / 4);
    EXPECT_NEAR(NUX_GetMusicPosition(), dry + 0.25, 0.005) << "playing again from where it ran dry";
    EXPECT_GT(render(2400), 0.1f);
}

TEST_F(Mixing, ADamagedTrackLoopsWhereItsDecodingStopsAsWithoutADevice)
{
    // The same file as on the clock without a device: it loops after what decodes, not the header's 2^27 frames.
    const std::string forged = oggClaiming("forgedmix.ogg", kRate, kRate * 3 / 2, int64_t(1) << 27);
    const double length = decodedFrames(forged) / (double)kRate;
    NUX_PlayMusic(forged.c_str());
    ASSERT_EQ(NUX_GetSoundResultForTest(), 0);
    follow(4.0, length);
    EXPECT_NEAR(NUX_GetMusicLength(), length, 1e-9);
}

TEST_F(Mixing, MutedMusicRendersSilenceAndStoppedMusicReadsZero)
{
    NUX_PlayMusic(writeTone("title.ogg", kOgg, 44100, 2, 44100).c_str());
    EXPECT_GT(render(4800), 0.1f);
    testing::internal::CaptureStdout();
    NUX_SetMusicVolume(0.0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    render(4800);  // the gain change ramps over the first samples
    EXPECT_EQ(render(4800), 0.0f);
    NUX_SetMusicVolume(1.0);
    render(4800);
    EXPECT_GT(render(4800), 0.1f);
    NUX_StopMusic();
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0);
    render(4800);
    EXPECT_EQ(render(4800), 0.0f);
}
