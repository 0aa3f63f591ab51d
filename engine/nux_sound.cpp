// nux_sound: effects and one looping music stream, mixed by OpenAL Soft, decoded by libsndfile.
// Without an audio device (or under the harness) the music clock keeps running on the engine clock.

#include "nux_sound.h"
#include "nux_sound_local.h"  // the loopback device and result code of the tests
#include "nux_clock.h"        // Timer_GetSeconds: the music clock when no device plays
#include "nux_files.h"        // data/ names resolved to the pack
#include "nux_datafile.h"     // data files opened only when they are regular files
#include "nux_local.h"        // nuxNoteMissingFile, nuxReplayMusic

#include <AL/al.h>   // sources, buffers, buffer queues
#include <AL/alc.h>  // device and context
#if defined(__EMSCRIPTEN__)
// The browser's OpenAL has no extension header: no loopback device, and it never reports a lost
// device (ALC_EXT_disconnect), so these two names only have to compile.
#define ALC_APIENTRY
#define ALC_CONNECTED 0x313
#else
#include <AL/alext.h>  // loopback device and output format names, for the tests
#endif
#include <sndfile.h>  // decoding WAV, AIFF and OGG Vorbis

#include <algorithm>  // min
#include <array>      // fixed pools of effects and channels
#include <chrono>     // steady_clock: smoothing the music position between mixing periods
#include <cmath>      // floor, fabs
#include <cstdint>    // uintptr_t, int64_t for channel handles and frame counts
#include <cstdio>     // fputs, fprintf, fflush
#include <cstdlib>    // getenv
#include <vector>     // an effect's samples while it is handed to OpenAL, at load time only
#include <fcntl.h>    // open: /dev/null for the device probe
#include <unistd.h>   // dup, dup2, close: hiding the audio libraries' chatter while probing

#include <string>      // the paths of the files that failed, noted at load time only
#include <sys/stat.h>  // fstat: a track's file size, against the length its header claims

//---- Constants

constexpr int kMaxChannels = 255;               // channel handles keep the slot in 8 bits
constexpr int kMaxSounds = 1024;                // every effect the game loads, with room to spare
constexpr int kStreamBuffers = 4;               // music chunks queued at once
constexpr int kMaxChunkFrames = 48000;          // a quarter second at 192 kHz
constexpr int64_t kMaxEffectSamples = 1 << 23;  // 16 MB decoded, some 95 s of stereo: far above any effect
constexpr int kEffectReadFrames = 16384;        // an effect is decoded this much at a time
constexpr int kCodeChannelAlloc = 10;           // every channel busy
constexpr int kCodeChannelStolen = 11;          // the channel was reused by a later effect
// A track whose header claims more sound than this many bytes a second could hold is damaged:
// compressed music needs some thousands; a cut Ogg file claims an endless length.
constexpr double kMinTrackBytesPerSecond = 32.0;
constexpr int kCheckFrames = 4096;  // a track is decoded this far when the pack is loaded

//---- Types

// A loaded effect; the handle the game holds points into the pool below.
struct NUX_Sound {
    ALuint buffer;  // 0 when no device plays (or after shutdown)
    int frames;
    int rate;
    int channels;
    unsigned session;  // the start of the sound system that loaded it
};

struct ChannelSlot {
    ALuint source;
    uint32_t generation;  // bumped at each play, so stale handles are recognised
};

// One queued music chunk: where it starts in the file and in the music's whole play.
struct QueuedChunk {
    int64_t fileFrame;
    int64_t playFrame;
    int frames;
};

// The music stream: the open file, the chunks queued on the music source, and the clock used
// when no device plays it.
struct MusicStream {
    SNDFILE* file;
    int fd;  // the file's descriptor, closed with the stream
    SF_INFO info;
    ALenum format;
    int chunkFrames;
    std::array<ALuint, kStreamBuffers> buffers;
    std::array<QueuedChunk, kStreamBuffers> queue;  // ring, oldest first
    int queueHead;
    int queueCount;
    int64_t readFrame;      // file frame of the next read
    int64_t playFrames;     // frames queued since the music started
    int64_t decodedFrames;  // frames decoded so far on the first pass through the file
    bool lengthKnown;       // that pass reached the end: decodedFrames is the music's length
    bool ended;             // the file can no longer be read: nothing more to queue
    bool paused;
    float volume;          // the music's volume as last set (1 when the track starts)
    double clockBase;      // seconds played before the current unpaused run
    double clockRunStart;  // engine clock when that run began
    int64_t lastHeardPlayFrame;
    int64_t lastHeardFileFrame;
    int64_t mixedPlayFrame;  // where OpenAL's offset stood when last seen moving
    double mixedAt;          // system clock seconds at that moment
    bool smoothing;          // the smoothed position below is running
    double smoothFrame;      // smoothed play frame, as last reported
    double smoothAt;         // system clock seconds at that report
};

// What a file that could not be used was tried as: the failure of the file itself (missing,
// unreadable, not sound) holds for either use; one found while decoding, for that use alone.
enum FileUse { USE_ANY, USE_EFFECT, USE_MUSIC };

// A data file that failed for this start of the sound system, and why. It is not opened again:
// a scene that restarts its track at every start would otherwise retry, and a decoding library
// that loses memory on a damaged file would lose it again each time.
struct FailedFile {
    std::string path;
    FileUse use;
    int code;
};

typedef ALCdevice*(ALC_APIENTRY* LoopbackOpenFn)(const ALCchar*);
typedef void(ALC_APIENTRY* LoopbackRenderFn)(ALCdevice*, ALCvoid*, ALCsizei);

//---- Module state

static NUX_SoundOutput output = NUX_SOUND_OFF;
static bool deterministicClock = false;
static bool noDevice = false;  // the player asked for no sound at all
// In a web page: the device is open but the browser keeps it silent until the player's first key
// press; until then the game plays as without a device (NUX_SOUND_SILENT).
static bool awaitingFirstKey = false;
static int result = 0;
static unsigned session = 0;

static ALCdevice* device = nullptr;
static ALCcontext* context = nullptr;
static LoopbackRenderFn renderLoopback = nullptr;

static std::array<NUX_Sound, kMaxSounds> sounds = {};
static int soundCount = 0;

static std::array<ChannelSlot, kMaxChannels> channels = {};
static int channelCount = 0;
static int nextChannel = 0;

static ALuint musicSource = 0;
static MusicStream music = {};     // music.file is the stream; null when none is open
static bool musicPlaying = false;  // the music channel: false when no music plays

static std::vector<FailedFile> failedFiles;

// One chunk of decoded music, reused by every refill so that play allocates nothing.
static std::array<short, 2 * kMaxChunkFrames> chunkSamples = {};

//---- Messages

static const char* soundErrorMessage(int code)
{
    switch (code) {
    case 1: return "FMOD_ERR_ALREADYLOCKED Tried to call lock a second time before unlock was called.";
    case 2:
        return "Tried to call a function on a data type that does not allow this type of functionality (ie calling Sound::lock on a streaming sound).";
    case 10: return "FMOD_ERR_CHANNEL_ALLOC: Error trying to allocate a channel.";
    case 11: return "FMOD_ERR_CHANNEL_STOLEN: The specified channel has been reused to play another sound.";
    case 12:
        return "FMOD_ERR_COM: A Win32 COM related error occured. COM failed to initialize or a QueryInterface failed meaning a Windows codec or driver was not installed properly.";
    case 13: return "FMOD_ERR_DMA: DMA Failure. See debug output for more information.";
    case 14: return "FMOD_ERR_DSP_CONNECTION: DSP connection error. Connection possibly caused a cyclic dependancy.";
    case 15:
        return "FMOD_ERR_DSP_FORMAT: DSP Format error. A DSP unit may have attempted to connect to this network with the wrong format.";
    case 16: return "FMOD_ERR_DSP_NOTFOUND: DSP connection error. Couldn't find the DSP unit specified.";
    default: return "Unknown error code";
    }
}

//---- Files

static bool mixing()
{
    return output == NUX_SOUND_DEVICE || output == NUX_SOUND_LOOPBACK;
}

// The code a file failed with earlier in this start of the sound system, for that use; 0 when
// it has not failed.
static int knownFailure(const char* path, FileUse use)
{
    if (!path)
        return 0;
    for (const FailedFile& failed : failedFiles)
        if ((failed.use == USE_ANY || failed.use == use) && failed.path == path)
            return failed.code;
    return 0;
}

static void noteFailure(const char* path, FileUse use, int code)
{
    if (path && !knownFailure(path, use))
        failedFiles.push_back(FailedFile{path, use, code});
}

// Effects get their OpenAL buffers while a device mixes, and also while it waits to be allowed to.
static bool buffering()
{
    return mixing() || awaitingFirstKey;
}

// Opens a sound file (a regular file only, so a pipe in its place never blocks) and checks that
// OpenAL can take its format. Returns a result code; fd receives the descriptor, which the caller
// closes after sf_close. A file that cannot be opened is noted, and not opened again.
static int openSoundFile(const char* path, SNDFILE** file, SF_INFO* info, int* fd)
{
    *file = nullptr;
    *info = {};
    *fd = -1;
    if (!path)
        return NUX_SOUND_ERR_INVALID_HANDLE;
    int code = knownFailure(path, USE_ANY);
    if (code)
        return code;
    int descriptor = nuxOpenDataFile(path);
    SNDFILE* f = descriptor < 0 ? nullptr : sf_open_fd(descriptor, SFM_READ, info, SF_FALSE);
    if (!f) {
        code = descriptor < 0 || sf_error(nullptr) == SF_ERR_SYSTEM ? NUX_SOUND_ERR_FILE_OPEN : NUX_SOUND_ERR_FILE_BAD;
    } else if (info->channels < 1 || info->channels > 2 || info->samplerate < 1 || info->samplerate > 768000) {
        code = NUX_SOUND_ERR_FORMAT;
    } else if (info->frames <= 0) {
        code = NUX_SOUND_ERR_FILE_EMPTY;
    }
    if (code) {
        if (f)
            sf_close(f);
        if (descriptor >= 0)
            close(descriptor);
        noteFailure(path, USE_ANY, code);
        return code;
    }
    // Vorbis and float files can overshoot full scale: clip instead of wrapping around.
    sf_command(f, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    *file = f;
    *fd = descriptor;
    return 0;
}

static void closeSoundFile(SNDFILE* file, int fd)
{
    if (file)
        sf_close(file);
    if (fd >= 0)
        close(fd);
}

// A result that means the file itself could not be used (missing, unreadable, damaged, empty or
// in a format the game cannot play), as opposed to the device or the engine refusing it.
static bool isFileFailure(int code)
{
    return code == NUX_SOUND_ERR_FILE_OPEN || code == NUX_SOUND_ERR_FILE_BAD || code == NUX_SOUND_ERR_FILE_EMPTY ||
           code == NUX_SOUND_ERR_FORMAT;
}

static ALenum formatOf(int fileChannels)
{
    return fileChannels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
}

// Frames in whole milliseconds, read as seconds.
static double framesToSeconds(int64_t frames, int rate)
{
    if (rate <= 0 || frames <= 0)
        return 0.0;
    int64_t ms = frames * 1000 / rate;
    return (double)ms * 0.001;
}

//---- Device

// Opens the default device. The audio libraries under OpenAL print a page of errors on a machine
// without a sound card; the game says it once itself, so they are hushed unless the player asked
// OpenAL for its log.
static ALCdevice* openDefaultDevice()
{
    if (getenv("ALSOFT_LOGLEVEL"))
        return alcOpenDevice(nullptr);
    fflush(stderr);
    int saved = dup(2);
    int quiet = open("/dev/null", O_WRONLY);
    bool hushed = saved >= 0 && quiet >= 0 && dup2(quiet, 2) >= 0;
    ALCdevice* opened = alcOpenDevice(nullptr);
    fflush(stderr);
    if (hushed)
        dup2(saved, 2);
    if (quiet >= 0)
        close(quiet);
    if (saved >= 0)
        close(saved);
    return opened;
}

// Every source plays flat in the middle of the stereo field, at full gain.
static void setFlatSource(ALuint source)
{
    alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source, AL_ROLLOFF_FACTOR, 0.0f);
    alSourcef(source, AL_GAIN, 1.0f);
}

// Creates the context on the open device, the music source and up to wanted effect channels.
static bool startMixing(const ALCint* attributes, int wanted)
{
    context = alcCreateContext(device, attributes);
    if (!context || !alcMakeContextCurrent(context))
        return false;
    alGetError();
    alGenSources(1, &musicSource);
    if (alGetError() != AL_NO_ERROR)
        return false;
    setFlatSource(musicSource);
    if (wanted < 1)
        wanted = 1;
    if (wanted > kMaxChannels)
        wanted = kMaxChannels;
    channelCount = 0;
    nextChannel = 0;
    while (channelCount < wanted) {
        ALuint source = 0;
        alGenSources(1, &source);
        if (alGetError() != AL_NO_ERROR)
            break;
        setFlatSource(source);
        channels[channelCount++].source = source;
    }
    return channelCount > 0;
}

static void stopMixing()
{
    if (context) {
        for (int i = 0; i < channelCount; i++) {
            alSourceStop(channels[i].source);
            alSourcei(channels[i].source, AL_BUFFER, 0);
            alDeleteSources(1, &channels[i].source);
            channels[i].source = 0;
        }
        if (musicSource) {
            alSourceStop(musicSource);
            alSourcei(musicSource, AL_BUFFER, 0);
            alDeleteSources(1, &musicSource);
        }
        for (int i = 0; i < soundCount; i++) {
            if (sounds[i].buffer && sounds[i].session == session) {
                alDeleteBuffers(1, &sounds[i].buffer);
                sounds[i].buffer = 0;
            }
        }
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(context);
    }
    if (device)
        alcCloseDevice(device);
    context = nullptr;
    device = nullptr;
    musicSource = 0;
    channelCount = 0;
    renderLoopback = nullptr;
}

// Goes on without sound: effects are silent, the music clock runs on the engine clock.
static void goSilent(const char* why)
{
    fprintf(stderr,
            "sound: %s; the game plays silently, its music clock on the system clock (ALSOFT_LOGLEVEL=3 shows why)\n",
            why);
    output = NUX_SOUND_SILENT;
}

//---- Music stream

static QueuedChunk& queueAt(int i)
{
    return music.queue[(music.queueHead + i) % kStreamBuffers];
}

// Decodes the next chunk of the music into the chunk buffer, counting the frames of the first
// pass: the end of that pass, where the music loops, gives its length.
static sf_count_t readMusicChunk()
{
    sf_count_t got = sf_readf_short(music.file, chunkSamples.data(), music.chunkFrames);
    if (got <= 0)
        music.lengthKnown = true;
    else if (!music.lengthKnown)
        music.decodedFrames += got;
    return got;
}

// Decodes the next chunk of the music into buffer, going back to the start of the file at its
// end so that the music loops without a gap. False when nothing more can be read.
static bool fillChunk(ALuint buffer)
{
    if (music.ended || music.queueCount >= kStreamBuffers)
        return false;
    sf_count_t got = readMusicChunk();
    if (got <= 0) {
        if (music.decodedFrames == 0 || sf_seek(music.file, 0, SEEK_SET) != 0) {
            music.ended = true;
            return false;
        }
        music.readFrame = 0;
        got = readMusicChunk();
        if (got <= 0) {
            music.ended = true;
            return false;
        }
    }
    alBufferData(buffer, music.format, chunkSamples.data(),
                 (ALsizei)(got * music.info.channels * (sf_count_t)sizeof(short)), music.info.samplerate);
    QueuedChunk chunk = {};
    chunk.fileFrame = music.readFrame;
    chunk.playFrame = music.playFrames;
    chunk.frames = (int)got;
    queueAt(music.queueCount) = chunk;
    music.queueCount++;
    music.readFrame += got;
    music.playFrames += got;
    alSourceQueueBuffers(musicSource, 1, &buffer);
    return true;
}

static void closeMusicStream()
{
    if (music.buffers[0] && musicSource) {
        alSourceStop(musicSource);
        alSourcei(musicSource, AL_BUFFER, 0);
        alDeleteBuffers(kStreamBuffers, music.buffers.data());
    }
    closeSoundFile(music.file, music.file ? music.fd : -1);
    music = {};
}

// Seconds the clock-driven music has played, pauses left out.
static double clockPlayed()
{
    double played = music.clockBase;
    if (!music.paused)
        played += Timer_GetSeconds() - music.clockRunStart;
    return played > 0.0 ? played : 0.0;
}

// The music loops where its decoding stops, which for a damaged file is not where its header
// says. Without a device nothing else decodes the file, so the clock decodes it too, ahead of
// the played frame (into the chunk buffer, which it does not otherwise use), until the end of
// the first pass gives the length; with a device the stream learns it the same way.
static void decodeBeyond(int64_t frame)
{
    while (!music.lengthKnown && music.decodedFrames <= frame)
        readMusicChunk();
}

// Position of the clock-driven music: the played time wrapped at the length the file decodes to.
static double clockPosition()
{
    double played = clockPlayed();
    decodeBeyond((int64_t)(played * music.info.samplerate));
    double within = played;
    if (music.lengthKnown) {
        double length = (double)music.decodedFrames / music.info.samplerate;
        within = played - std::floor(played / length) * length;
        if (within < 0.0 || within >= length)
            within = 0.0;
    }
    double ms = std::floor(within * 1000.0 + 1e-6);
    return ms * 0.001;
}

// The queued frame offset frames into the queue, as a place in the whole play and in the file.
static bool locateInQueue(int64_t offset, int64_t* playFrame, int64_t* fileFrame)
{
    for (int i = 0; i < music.queueCount; i++) {
        const QueuedChunk& chunk = queueAt(i);
        if (offset < chunk.frames) {
            *playFrame = chunk.playFrame + offset;
            *fileFrame = chunk.fileFrame + offset;
            return true;
        }
        offset -= chunk.frames;
    }
    return false;
}

static double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Position of what the device plays now, as a file frame: the chunk under the source's offset.
// OpenAL moves the offset on once per mixing period (some 20 ms), so the position is smoothed:
// it runs on with the system clock and is pulled gently towards OpenAL's offset (snapping to it
// when they part by more than 50 ms), which keeps the game's timelines steady from frame to frame.
static int64_t heardFileFrame()
{
    ALint state = AL_STOPPED;
    ALint offset = 0;
    alGetSourcei(musicSource, AL_SOURCE_STATE, &state);
    alGetSourcei(musicSource, AL_SAMPLE_OFFSET, &offset);
    if (music.queueCount == 0)
        return music.lastHeardFileFrame;
    int64_t playFrame = -1;
    int64_t fileFrame = 0;
    bool located = (state == AL_PLAYING || state == AL_PAUSED) && locateInQueue(offset, &playFrame, &fileFrame);
    if (located && output == NUX_SOUND_DEVICE && state == AL_PLAYING) {
        double rate = music.info.samplerate;
        double now = steadySeconds();
        if (playFrame != music.mixedPlayFrame) {
            music.mixedPlayFrame = playFrame;
            music.mixedAt = now;
        }
        double target = playFrame + std::min((now - music.mixedAt) * rate, rate * 0.05);
        double smooth = target;
        if (music.smoothing) {
            smooth = music.smoothFrame + (now - music.smoothAt) * rate;
            double gap = target - smooth;
            smooth = std::fabs(gap) > rate * 0.05 ? target : smooth + gap * 0.1;
        }
        music.smoothing = true;
        music.smoothFrame = smooth;
        music.smoothAt = now;
        int64_t shift = (int64_t)smooth - playFrame;
        if (shift < -(int64_t)offset)
            shift = -(int64_t)offset;
        locateInQueue(offset + shift, &playFrame, &fileFrame);
    } else {
        music.smoothing = false;
    }
    if (playFrame < 0) {
        // Ran dry (or not yet started): what was heard last is the end of the queue.
        const QueuedChunk& last = queueAt(music.queueCount - 1);
        playFrame = last.playFrame + last.frames;
        fileFrame = last.fileFrame + last.frames;
        if (fileFrame >= (music.lengthKnown ? music.decodedFrames : music.info.frames))
            fileFrame = 0;
    }
    if (playFrame < music.lastHeardPlayFrame)
        return music.lastHeardFileFrame;
    music.lastHeardPlayFrame = playFrame;
    music.lastHeardFileFrame = fileFrame;
    return fileFrame;
}

// The device vanished while playing (unplugged, sound server gone): carry on silently from
// where the music was heard.
static void checkDeviceLost()
{
    if (output != NUX_SOUND_DEVICE || !alcIsExtensionPresent(device, "ALC_EXT_disconnect"))
        return;
    ALCint connected = 1;
    alcGetIntegerv(device, ALC_CONNECTED, 1, &connected);
    if (connected)
        return;
    double heard = musicPlaying ? (double)heardFileFrame() / music.info.samplerate : 0.0;
    goSilent("the audio device was lost");
    music.clockBase = heard;
    music.clockRunStart = Timer_GetSeconds();
}

#if defined(__EMSCRIPTEN__)
// The device, silent until now, is allowed to play: the music goes on from where its clock has
// got to, on the device, at its volume and paused or not as it was.
static void startHearing()
{
    awaitingFirstKey = false;
    double at = musicPlaying ? clockPosition() : 0.0;
    output = NUX_SOUND_DEVICE;
    if (!musicPlaying)
        return;
    int64_t frame = (int64_t)(at * music.info.samplerate);
    if (sf_seek(music.file, frame, SEEK_SET) < 0) {
        frame = 0;
        sf_seek(music.file, 0, SEEK_SET);
    }
    if (!music.lengthKnown)
        music.decodedFrames = frame;  // the first pass goes on counting from here
    music.format = formatOf(music.info.channels);
    music.readFrame = frame;
    music.playFrames = frame;
    music.lastHeardPlayFrame = frame;
    music.lastHeardFileFrame = frame;
    music.mixedPlayFrame = -1;
    music.smoothing = false;
    alGetError();
    alGenBuffers(kStreamBuffers, music.buffers.data());
    if (alGetError() != AL_NO_ERROR) {
        music.buffers = {};
        musicPlaying = false;
        closeMusicStream();
        return;
    }
    for (int i = 0; i < kStreamBuffers; i++)
        fillChunk(music.buffers[i]);
    alSourcef(musicSource, AL_GAIN, music.volume);
    if (!music.paused)
        alSourcePlay(musicSource);
}
#endif

//---- The sound system

void NUX_UseDeterministicMusicClock(int on)
{
    deterministicClock = on != 0;
}

void NUX_UseNoSoundDevice(int on)
{
    noDevice = on != 0;
}

void NUX_MuteAllSound()
{
    if (mixing())
        alListenerf(AL_GAIN, 0.0f);
}

void NUX_InitSound(int channelsWanted)
{
    if (output != NUX_SOUND_OFF) {
        result = 0;
        return;
    }
    session++;
    result = 0;
    if (deterministicClock) {
        output = NUX_SOUND_DETERMINISTIC;
        return;
    }
    if (noDevice) {
        output = NUX_SOUND_SILENT;  // as without a sound card, but nothing to report
        return;
    }
    device = openDefaultDevice();
    if (!device) {
        result = NUX_SOUND_ERR_NO_DEVICE;
        goSilent("no audio device");
        return;
    }
    if (!startMixing(nullptr, channelsWanted)) {
        stopMixing();
        result = NUX_SOUND_ERR_NO_CONTEXT;
        goSilent("the audio device refused to mix");
        return;
    }
    output = NUX_SOUND_DEVICE;
#if defined(__EMSCRIPTEN__)
    output = NUX_SOUND_SILENT;
    awaitingFirstKey = true;
    nuxWebListenForFirstKey();
#endif
}

int NUX_InitSoundLoopback(int channelsWanted, int sampleRate)
{
#if defined(__EMSCRIPTEN__)
    (void)channelsWanted;  // the browser's OpenAL has no loopback device
    (void)sampleRate;
    return 0;
#else
    if (output != NUX_SOUND_OFF)
        NUX_ShutdownSound();
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
        return 0;
    LoopbackOpenFn openLoopback = (LoopbackOpenFn)alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT");
    LoopbackRenderFn render = (LoopbackRenderFn)alcGetProcAddress(nullptr, "alcRenderSamplesSOFT");
    if (!openLoopback || !render)
        return 0;
    session++;
    device = openLoopback(nullptr);
    if (!device)
        return 0;
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                 ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,
                                 sampleRate,
                                 ALC_HRTF_SOFT,
                                 ALC_FALSE,
                                 0};
    if (!startMixing(attributes, channelsWanted)) {
        stopMixing();
        return 0;
    }
    renderLoopback = render;
    output = NUX_SOUND_LOOPBACK;
    result = 0;
    return 1;
#endif
}

void NUX_RenderSoundForTest(float* out, int frames)
{
    if (output == NUX_SOUND_LOOPBACK && renderLoopback && out && frames > 0)
        renderLoopback(device, out, frames);
}

void NUX_UpdateSound()
{
#if defined(__EMSCRIPTEN__)
    if (awaitingFirstKey && nuxWebFirstKeyPressed())
        startHearing();
#endif
    checkDeviceLost();
    if (!mixing() || !musicPlaying)
        return;
    ALint processed = 0;
    alGetSourcei(musicSource, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0 && music.queueCount > 0) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(musicSource, 1, &buffer);
        music.queueHead = (music.queueHead + 1) % kStreamBuffers;
        music.queueCount--;
        fillChunk(buffer);
    }
    // A frame longer than the queue lets the source run dry and stop: start it again.
    ALint state = AL_STOPPED;
    alGetSourcei(musicSource, AL_SOURCE_STATE, &state);
    if (!music.paused && state != AL_PLAYING && music.queueCount > 0)
        alSourcePlay(musicSource);
}

void NUX_ShutdownSound()
{
    if (output == NUX_SOUND_OFF)
        return;
    closeMusicStream();
    musicPlaying = false;
    stopMixing();
    failedFiles.clear();
    output = NUX_SOUND_OFF;
    awaitingFirstKey = false;
}

void NUX_ForgetFailedSoundFilesForTest()
{
    failedFiles.clear();
}

int checkSoundError()
{
    if (result == 0)
        return 0;
    fputs(soundErrorMessage(result), stdout);
    return 1;
}

NUX_SoundOutput NUX_GetSoundOutput()
{
    return output;
}

int NUX_GetSoundResultForTest()
{
    return result;
}

void NUX_SetSoundResultForTest(int code)
{
    result = code;
}

//---- Music

// Opens the track and starts it; result says why not.
static void startMusic(const char* path)
{
    if (musicPlaying)
        NUX_StopMusic();
    if (music.file)
        closeMusicStream();
    if (output == NUX_SOUND_OFF) {
        result = NUX_SOUND_ERR_NOT_STARTED;
        return;
    }
    result = knownFailure(path, USE_MUSIC);
    if (result)
        return;
    SNDFILE* file = nullptr;
    SF_INFO info = {};
    int fd = -1;
    result = openSoundFile(path, &file, &info, &fd);
    if (result)
        return;
    music.file = file;
    music.fd = fd;
    music.info = info;
    music.volume = 1.0f;
    music.mixedPlayFrame = -1;
    int chunk = info.samplerate / 4;
    music.chunkFrames = chunk < 1024 ? 1024 : (chunk > kMaxChunkFrames ? kMaxChunkFrames : chunk);
    if (mixing()) {
        music.format = formatOf(info.channels);
        alGetError();
        alGenBuffers(kStreamBuffers, music.buffers.data());
        if (alGetError() != AL_NO_ERROR) {
            music.buffers = {};
            closeMusicStream();
            result = NUX_SOUND_ERR_AL;
            return;
        }
        for (int i = 0; i < kStreamBuffers; i++)
            fillChunk(music.buffers[i]);
        if (music.queueCount == 0) {
            closeMusicStream();
            result = NUX_SOUND_ERR_FILE_BAD;  // not one frame decodes
            return;
        }
        alSourcef(musicSource, AL_GAIN, 1.0f);
        alSourcePlay(musicSource);
        if (alGetError() != AL_NO_ERROR) {
            closeMusicStream();
            result = NUX_SOUND_ERR_AL;
            return;
        }
    } else {
        decodeBeyond(0);
        if (music.decodedFrames == 0) {
            closeMusicStream();
            result = NUX_SOUND_ERR_FILE_BAD;  // not one frame decodes
            return;
        }
        music.clockBase = 0.0;
        music.clockRunStart = Timer_GetSeconds();
    }
    musicPlaying = true;
}

void NUX_PlayMusic(const char* path)
{
    nuxMusicOpening(1);
    startMusic(path);
    if (isFileFailure(result)) {
        noteFailure(path, USE_MUSIC, result);
        nuxNoteMissingFile(path);
    }
    nuxMusicOpening(0);
}

// Opens the track, decodes its start and closes it: 0, or the code of why it cannot be played.
static int checkTrack(const char* path)
{
    if (!path)
        return NUX_SOUND_ERR_INVALID_HANDLE;
    int code = knownFailure(path, USE_MUSIC);
    if (code)
        return code;
    SNDFILE* file = nullptr;
    SF_INFO info = {};
    int fd = -1;
    code = openSoundFile(path, &file, &info, &fd);
    if (code)
        return code;
    // A length the file could not hold: a cut file (whose header says no end at all) or a forged one.
    struct stat size = {};
    double seconds = (double)info.frames / info.samplerate;
    if (info.frames == SF_COUNT_MAX || fstat(fd, &size) != 0 ||
        seconds * kMinTrackBytesPerSecond > (double)size.st_size)
        code = NUX_SOUND_ERR_FILE_BAD;
    // The start must decode. chunkSamples holds nothing between two refills of the music (each
    // hands its chunk to OpenAL at once), so the check may use it even while a track plays.
    int frames = std::min(kCheckFrames, kMaxChunkFrames);
    if (!code && sf_readf_short(file, chunkSamples.data(), frames) <= 0)
        code = NUX_SOUND_ERR_FILE_BAD;
    closeSoundFile(file, fd);
    return code;
}

int NUX_CheckMusic(const char* path)
{
    int code = checkTrack(path);
    if (code && isFileFailure(code)) {
        noteFailure(path, USE_MUSIC, code);
        nuxNoteMissingFile(path);
    }
    return code ? 0 : 1;
}

void NUX_StopMusic()
{
    if (musicPlaying && mixing())
        alSourceStop(musicSource);
    musicPlaying = false;
    music.paused = false;
}

void NUX_SetMusicVolume(double volume)
{
    if (!musicPlaying) {
        result = NUX_SOUND_ERR_INVALID_HANDLE;
    } else {
        if (!(volume >= 0.0))
            volume = 0.0;
        if (volume > 1.0)
            volume = 1.0;
        result = 0;
        music.volume = (float)volume;
        if (mixing()) {
            alGetError();
            alSourcef(musicSource, AL_GAIN, (float)volume);
            if (alGetError() != AL_NO_ERROR)
                result = NUX_SOUND_ERR_AL;
        }
    }
    checkSoundError();
}

void NUX_SetMusicPaused(int paused)
{
    if (!musicPlaying || (paused != 0) == music.paused)
        return;
    if (paused) {
        music.clockBase = clockPlayed();
        music.paused = true;
        if (mixing())
            alSourcePause(musicSource);
    } else {
        music.paused = false;
        music.clockRunStart = Timer_GetSeconds();
        if (mixing())
            alSourcePlay(musicSource);
    }
}

double NUX_GetMusicPosition()
{
    return nuxReplayMusic('m', NUX_PeekMusicPosition());
}

double NUX_PeekMusicPosition()
{
    if (!musicPlaying)
        return 0.0;
    if (!mixing())
        return clockPosition();
    return framesToSeconds(heardFileFrame(), music.info.samplerate);
}

double NUX_GetMusicLength()
{
    double length = 0.0;
    if (!music.file)
        length = 0.0;
    else if (music.lengthKnown)
        length = (double)music.decodedFrames / music.info.samplerate;
    else
        length = music.info.frames == SF_COUNT_MAX ? 0.0 : (double)music.info.frames / music.info.samplerate;
    return nuxReplayMusic('l', length);
}

//---- Effects

// Decodes a whole effect into samples and returns its frames: 0 when nothing decodes, -1 when it
// runs past kMaxEffectSamples. The file is read until it ends, whatever its header claims: a
// damaged file can give no length at all, or far more than it holds, and memory follows what
// actually decodes.
static sf_count_t decodeEffect(SNDFILE* file, int channels, std::vector<short>* samples)
{
    size_t used = 0;
    const size_t step = (size_t)kEffectReadFrames * channels;
    for (;;) {
        samples->resize(used + step);
        sf_count_t got = sf_readf_short(file, samples->data() + used, kEffectReadFrames);
        if (got <= 0)
            break;
        used += (size_t)got * channels;
        if (used > (size_t)kMaxEffectSamples)
            return -1;
    }
    samples->resize(used);
    return (sf_count_t)(used / channels);
}

// Decodes the effect into the next free slot; null with result saying why not.
static NUX_Sound* loadEffect(const char* path)
{
    if (output == NUX_SOUND_OFF) {
        result = NUX_SOUND_ERR_NOT_STARTED;
        return nullptr;
    }
    if (soundCount >= kMaxSounds) {
        result = NUX_SOUND_ERR_TOO_MANY;
        return nullptr;
    }
    result = knownFailure(path, USE_EFFECT);
    if (result)
        return nullptr;
    SNDFILE* file = nullptr;
    SF_INFO info = {};
    int fd = -1;
    result = openSoundFile(path, &file, &info, &fd);
    if (result)
        return nullptr;
    std::vector<short> samples;
    sf_count_t got = decodeEffect(file, info.channels, &samples);
    closeSoundFile(file, fd);
    if (got < 0) {
        result = NUX_SOUND_ERR_FORMAT;
        return nullptr;
    }
    if (got == 0) {
        result = NUX_SOUND_ERR_FILE_BAD;
        return nullptr;
    }
    NUX_Sound loaded = {};
    loaded.frames = (int)got;
    loaded.rate = info.samplerate;
    loaded.channels = info.channels;
    loaded.session = session;
    if (buffering()) {
        alGetError();
        alGenBuffers(1, &loaded.buffer);
        if (alGetError() != AL_NO_ERROR) {
            result = NUX_SOUND_ERR_AL;
            return nullptr;
        }
        alBufferData(loaded.buffer, formatOf(info.channels), samples.data(),
                     (ALsizei)(got * info.channels * (sf_count_t)sizeof(short)), info.samplerate);
        if (alGetError() != AL_NO_ERROR) {
            alDeleteBuffers(1, &loaded.buffer);
            result = NUX_SOUND_ERR_AL;
            return nullptr;
        }
    }
    sounds[soundCount] = loaded;
    return &sounds[soundCount++];
}

NUX_Sound* NUX_LoadSound(const char* path)
{
    NUX_Sound* sound = loadEffect(path);
    if (!sound && isFileFailure(result)) {
        noteFailure(path, USE_EFFECT, result);
        nuxNoteMissingFile(path);
    }
    return sound;
}

double NUX_GetSoundLength(NUX_Sound* sound)
{
    if (!sound || sound->rate <= 0)
        return 0.0;
    return (double)sound->frames / sound->rate;
}

//---- Channels

// A channel handle packs the slot (plus one, so that no handle is null) and its play count.
static NUX_Channel* channelHandle(int slot, uint32_t generation)
{
    uintptr_t id = ((uintptr_t)(generation & 0xFFFFFFu) << 8) | (uintptr_t)(slot + 1);
    return reinterpret_cast<NUX_Channel*>(id);
}

// The slot a handle names, or -1; stale tells whether the slot has been reused since.
static int channelSlot(NUX_Channel* channel, bool* stale)
{
    uintptr_t id = reinterpret_cast<uintptr_t>(channel);
    int slot = (int)(id & 0xFFu) - 1;
    *stale = false;
    if (!mixing() || slot < 0 || slot >= channelCount)
        return -1;
    *stale = (channels[slot].generation & 0xFFFFFFu) != ((id >> 8) & 0xFFFFFFu);
    return slot;
}

NUX_Channel* NUX_PlaySound(NUX_Sound* sound)
{
    if (!sound) {
        result = NUX_SOUND_ERR_INVALID_HANDLE;
        return nullptr;
    }
    if (output == NUX_SOUND_OFF) {
        result = NUX_SOUND_ERR_NOT_STARTED;
        return nullptr;
    }
    if (!mixing()) {
        result = 0;  // silent: nothing to hear, nothing wrong
        return nullptr;
    }
    if (sound->session != session || !sound->buffer) {
        result = NUX_SOUND_ERR_INVALID_HANDLE;
        return nullptr;
    }
    for (int i = 0; i < channelCount; i++) {
        int slot = (nextChannel + i) % channelCount;
        ALuint source = channels[slot].source;
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state == AL_PLAYING || state == AL_PAUSED)
            continue;
        alGetError();
        alSourcei(source, AL_BUFFER, (ALint)sound->buffer);
        alSourcePlay(source);
        if (alGetError() != AL_NO_ERROR) {
            result = NUX_SOUND_ERR_AL;
            return nullptr;
        }
        channels[slot].generation++;
        nextChannel = (slot + 1) % channelCount;
        result = 0;
        return channelHandle(slot, channels[slot].generation);
    }
    result = kCodeChannelAlloc;
    return nullptr;
}

void NUX_StopSound(NUX_Channel* channel)
{
    bool stale = false;
    int slot = channelSlot(channel, &stale);
    if (slot < 0) {
        result = NUX_SOUND_ERR_INVALID_HANDLE;
        return;
    }
    if (stale) {
        result = kCodeChannelStolen;  // it plays a later effect now: leave that one alone
        return;
    }
    alSourceStop(channels[slot].source);
    result = 0;
}

int NUX_IsChannelPlaying(NUX_Channel* channel)
{
    bool stale = false;
    int slot = channelSlot(channel, &stale);
    if (slot < 0 || stale)
        return 0;
    ALint state = AL_STOPPED;
    alGetSourcei(channels[slot].source, AL_SOURCE_STATE, &state);
    return state == AL_PLAYING ? 1 : 0;
}
