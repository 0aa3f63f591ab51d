// nux_sound: sound effects and one piece of streamed, looping music, on OpenAL Soft and libsndfile.
// The music's play position is the clock the title, the game, game over and the ending run on.
#pragma once

//---- Handles

// A loaded effect. Null when the file could not be loaded; playing a null effect does nothing.
// Effects live until the sound system shuts down; the handle itself never dangles.
struct NUX_Sound;

// One playing of an effect on one of the channels. Null when nothing could be played.
// Opaque: never dereferenced, only compared and handed back to NUX_StopSound.
struct NUX_Channel;

//---- Result codes
//
// Every operation that stores a result leaves one of these in the module's result code;
// checkSoundError prints the message of the stored code (standard output, no newline):
//
//   0   success, prints nothing
//   1   "FMOD_ERR_ALREADYLOCKED Tried to call lock a second time before unlock was called."
//   2   "Tried to call a function on a data type that does not allow this type of functionality
//        (ie calling Sound::lock on a streaming sound)."  (one line)
//   10  "FMOD_ERR_CHANNEL_ALLOC: Error trying to allocate a channel."
//         our layer: NUX_PlaySound found all channels busy.
//   11  "FMOD_ERR_CHANNEL_STOLEN: The specified channel has been reused to play another sound."
//         our layer: NUX_StopSound on a channel handle whose channel now plays a later effect
//         (the later effect is left playing).
//   12  "FMOD_ERR_COM: A Win32 COM related error occured. ..."  (see nux_sound.cpp for the full text)
//   13  "FMOD_ERR_DMA: DMA Failure. See debug output for more information."
//   14  "FMOD_ERR_DSP_CONNECTION: DSP connection error. Connection possibly caused a cyclic dependancy."
//   15  "FMOD_ERR_DSP_FORMAT: DSP Format error. ..."
//   16  "FMOD_ERR_DSP_NOTFOUND: DSP connection error. Couldn't find the DSP unit specified."
//   any other code: "Unknown error code"
//
// The failures of our own layer, all printed as "Unknown error code":
constexpr int NUX_SOUND_ERR_NO_DEVICE = 40;    // no audio device could be opened (play goes on silently)
constexpr int NUX_SOUND_ERR_NO_CONTEXT = 41;   // the device opened but refused a mixing context
constexpr int NUX_SOUND_ERR_NOT_STARTED = 42;  // called before NUX_InitSound or after NUX_ShutdownSound
constexpr int NUX_SOUND_ERR_FILE_OPEN = 43;    // the file is missing or cannot be read
constexpr int NUX_SOUND_ERR_FILE_BAD = 44;     // not a sound file libsndfile can decode, or damaged
constexpr int NUX_SOUND_ERR_FILE_EMPTY = 45;   // a valid file holding no sample frames
// more than two channels, a rate OpenAL cannot take, or an effect over 16 MB decoded
constexpr int NUX_SOUND_ERR_FORMAT = 46;
constexpr int NUX_SOUND_ERR_INVALID_HANDLE = 47;  // a null effect or channel, or no music playing
constexpr int NUX_SOUND_ERR_AL = 48;              // OpenAL refused a buffer or source call
constexpr int NUX_SOUND_ERR_TOO_MANY = 49;        // the table of loaded effects is full

//---- The sound system (called by the shell)

// Called once by the shell after the video start-up, with 64: opens the default audio device
// with that many effect channels. With no device, prints one line on standard error and goes on
// silently, the music clock running on the engine clock. Stores its result.
void NUX_InitSound(int channels);

// Called once per frame by the shell, after the current mode's run: refills the music stream
// and restarts it if it ever ran dry.
void NUX_UpdateSound();

// Called by the shell at exit: stops everything and closes the device. Safe to call twice.
void NUX_ShutdownSound();

// Prints the message of the stored result code (table above) and returns 1; returns 0 and
// prints nothing when the stored code is 0.
int checkSoundError();

//---- Music (one piece at a time, streamed from its file, looping)

// Stops and frees the current music, then streams the file from its start, looping.
// A file that cannot be played leaves no music: the position then reads 0.0.
void NUX_PlayMusic(const char* path);

// Called by each scene's load for its track: opens the file, decodes its start and closes it
// again. 1 when it can be played; 0 when it is missing, not a regular file, damaged or claims a
// length its file could not hold: it is then named among the files that could not be loaded, and
// NUX_PlayMusic gives no music for it without opening it again.
int NUX_CheckMusic(const char* path);

// A file that could not be played or loaded is remembered until NUX_ShutdownSound: NUX_PlayMusic
// and NUX_LoadSound of it again fail at once, with the same result, without opening it.

// Stops the music; the position reads 0.0 until the next NUX_PlayMusic.
void NUX_StopMusic();

// Music volume, 0.0 silent to 1.0 full; then checkSoundError (prints when no music plays).
void NUX_SetMusicVolume(double volume);

// 1 pauses the music, 0 resumes it where it was; nothing happens when no music plays.
void NUX_SetMusicPaused(int paused);

// Seconds within the file of what is heard now, in whole milliseconds; wraps to 0 at each loop
// and never runs backwards otherwise. 0.0 when no music plays. The music loops where the file's
// decoding stops (for a damaged file, not where its header says), with a device or without.
double NUX_GetMusicPosition();

// The same position, unseen by a recording or a replay (which note or replace what the scenes
// read): for the harness's dump and the tools.
double NUX_PeekMusicPosition();

//---- Effects

// Decodes the whole file into memory once, at load time, reading until the file ends whatever its
// header claims. Null when it cannot be loaded.
NUX_Sound* NUX_LoadSound(const char* path);

// Plays the effect on any free channel; several effects, and the same effect several times,
// play at once. Null (and nothing plays) for a null effect, with all channels busy, or silently.
NUX_Channel* NUX_PlaySound(NUX_Sound* sound);

// Stops the effect playing on that channel, if that channel still plays it.
void NUX_StopSound(NUX_Channel* channel);

//---- For the harness, the sound check tool and the tests

// Called before NUX_InitSound: no device is opened at all, and the music position advances with
// the engine clock (Timer_GetSeconds, virtual under the harness). It loops where the file stops
// decoding, pauses and stops exactly like real music; effects are decoded but not played.
void NUX_UseDeterministicMusicClock(int on);

// Called before NUX_InitSound (the --no-sound option): no device is opened and the game plays
// silently, its music clock on the engine clock, as on a machine without a sound card.
void NUX_UseNoSoundDevice(int on);

// Called after NUX_InitSound (the --mute option): every effect and all music play at volume 0 for
// the rest of the run; the device still runs, and with it the music clock.
void NUX_MuteAllSound();

// How the sound system runs now.
enum NUX_SoundOutput {
    NUX_SOUND_OFF = 0,        // not started, or shut down
    NUX_SOUND_DEVICE,         // an audio device mixes effects and music
    NUX_SOUND_SILENT,         // no device: silent, the music clock on the engine clock
    NUX_SOUND_DETERMINISTIC,  // asked for by NUX_UseDeterministicMusicClock
    NUX_SOUND_LOOPBACK        // tests only: OpenAL mixes into a buffer (nux_sound_local.h)
};
NUX_SoundOutput NUX_GetSoundOutput();

// Length in seconds of the current music file (0.0 when none): what it decodes to once the music
// has played through it, the header's claim until then (0.0 when the header has none). Recorded
// and replayed like the position.
// Length of a loaded effect (0.0 for null).
double NUX_GetMusicLength();
double NUX_GetSoundLength(NUX_Sound* sound);

// 1 while that channel still plays the effect it was given; 0 otherwise.
int NUX_IsChannelPlaying(NUX_Channel* channel);
