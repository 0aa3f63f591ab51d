// nux_replay: records a run as it is played (the frame times the clock handed out, the music
// values the scenes read, the key events of each frame, a state hash every second of play) and
// plays such a record back, so that a game played in the window can be watched again or run
// through the harness.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>  // uint64_t
#include <cstdio>   // FILE, where the verdict goes

//---- The file
//
// Text, one line per record, each line ending in " #" and the CRC-32 of what precedes it, in 8
// lowercase hex digits:
//
//   DUNMARROW replay 1            magic and format version
//   game 1.0.0                    the game's version
//   seed 1234                     the random seed the shell drew
//   pack 0123456789abcdef         a hash of the data pack's MANIFEST (0 when it has none)
//   f t0.016666668 m12.345 +space one per frame, in the order the run asked: t a frame time,
//                                 m a music position, l a music length, +KEY / -KEY a key
//                                 pressed / released, quit a window close, focus the pause taken
//                                 when the window lost the focus
//   h 5 301 0123456789abcdef      after the frame (301) where the play time passed 5 s: the hash
//   end 3712 0123456789abcdef score=1234 lives=3 pigeons=12
//                                 the frames, the final state's hash and the game's summary
//
// A run that ends badly leaves every line written up to its last frame: each is flushed as it goes.

constexpr int NUX_REPLAY_FORMAT = 1;

// What reading a replay file gave.
enum NUX_ReplayStatus {
    NUX_REPLAY_OK = 0,
    NUX_REPLAY_UNREADABLE,  // the file cannot be opened or read, or is too large
    NUX_REPLAY_FOREIGN,     // not a replay: the first line is not ours
    NUX_REPLAY_NEWER,       // a format version this game does not know
    NUX_REPLAY_DAMAGED,     // a line whose checksum or contents are wrong
    NUX_REPLAY_TRUNCATED,   // no end line: the run that wrote it did not finish
    NUX_REPLAY_OTHER_PACK,  // recorded with a data pack other than the one found
};

// A replay file's header, as read.
struct NUX_ReplayHeader {
    int format;
    char game[32];  // the game version that recorded it
    unsigned seed;
    uint64_t pack;
    long frames;  // frames recorded (from the end line)
};

//---- Recording (the game's --record; the harness's too)

// Called once by the shell after the seed is drawn and before the splash: creates the file and
// writes its header. 0, with message set, when the file cannot be written.
int NUX_StartRecording(const char* path, const char* gameVersion, unsigned seed, char* message, size_t size);

// Called by the shell when the run ends: writes the last frame and the end line (the final state
// hash and the game's summary), and closes the file. Does nothing when not recording.
void NUX_StopRecording();

//---- Replaying (the game's and the harness's --replay)

// Reads and checks the whole file before anything plays. NUX_REPLAY_OK, or the status with
// message saying which fault and where, in one line.
NUX_ReplayStatus NUX_LoadReplay(const char* path, char* message, size_t size);

// The same check over text already in memory, against the pack hash given: what NUX_LoadReplay
// does after reading the file. On success the replay is ready to start; header may be null.
NUX_ReplayStatus NUX_ParseReplay(const char* text, size_t size, uint64_t pack, NUX_ReplayHeader* header, char* message,
                                 size_t messageSize);

// 1: a replay recorded with another data pack is read all the same (the harness's --any-pack, for
// stored regression replays that should outlive a change of pictures or sounds: every value the
// pack gave the recorded run is in the file, and the state hashes still say whether play differs).
void NUX_ReplayAnyPack(int on);

// The loaded replay's header (all zero when none is loaded).
NUX_ReplayHeader NUX_GetReplayHeader();

// Called by the shell after NUX_LoadReplay, before the splash: from now on the frame times, music
// values and keys come from the replay. paced 1 holds each frame to its recorded time in real
// time and takes the live keys Escape and Q (stop) and P (pause); 0 runs as fast as it goes.
void NUX_StartReplay(int paced);

// Called by the shell when the run ends: compares the final state, prints the verdict in one
// line on report and forgets the replay. 0 when every state hash matched, 1 when one did not or
// the run went out of step with the file, -1 when no replay ran.
int NUX_FinishReplay(FILE* report);

// 1 once the replay has reached the record's last frame: the harness ends its run after it.
int NUX_ReplayOnLastFrame();

// 1 while a replay plays, 1 while a recording is written.
int NUX_IsReplaying();
int NUX_IsRecording();

//---- The frame clock's part

// Called by the shell's frame clock with the frame time it measured: returns it, noting it when
// recording, or returns the recorded one instead when replaying.
float NUX_ReplayFrameTime(float measured);

//---- Helpers shared with the tests

// The CRC-32 (zlib's polynomial) of size bytes.
uint32_t NUX_Crc32(const void* data, size_t size);

// FNV-1a, 64 bits, continuing from hash (start with NUX_HASH_START).
constexpr uint64_t NUX_HASH_START = 14695981039346656037ull;
uint64_t NUX_HashBytes(uint64_t hash, const void* data, size_t size);

// The hash of the pack's MANIFEST in the data folder in use (0 when it has none).
uint64_t NUX_PackHash();
