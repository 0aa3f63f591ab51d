// nux_hooks: what the engine asks of the shell and the game, as one record of functions the
// shell hands over at start-up (tests hand over their own). The engine links nothing above it.
#pragma once

#include <cstddef>  // size_t
#include <cstdint>  // uint64_t

// Every field may be left null: the engine then calls nothing and takes the neutral answer
// given beside it.
struct NUX_GameHooks {
    // The shell: the current mode (-1, no mode) and the mode switch.
    int (*mode)();
    void (*switchMode)(int mode);
    // Seconds of the last frame, as the shell measured it (0): the particles move by it.
    float (*frameTime)();

    // The owl's controls.
    void (*flapUp)();
    void (*flapDown)();
    void (*swoop)();
    void (*swoopStop)();

    // The game's pause toggle and state (0, not paused).
    void (*togglePause)();
    int (*paused)();

    // The scenes' answers to the input layer.
    int (*titleMusicPlaying)();    // the title: 1 once its music has started (0)
    float (*gameOverMusicTime)();  // game over: its music position in seconds (0)
    float (*endingTime)();         // the ending: seconds since it was entered (0)
    void (*skipSplash)();          // the splash: skip to its end

    // The replays' checks: a hash of the game's state (0), and a short summary of it written at
    // the end of a recording, such as "score=1234 lives=3 pigeons=12" (empty).
    uint64_t (*stateHash)();
    void (*summary)(char* text, size_t size);

    // Told before (1) and after (0) NUX_PlayMusic opens a track: what opening its file and
    // decoder allocates can then be told apart from play (the harness's allocation check).
    void (*musicOpening)(int opening);
};

// Copies the record; null forgets every hook. Later calls replace the whole record.
void NUX_SetGameHooks(const NUX_GameHooks* hooks);
// The record in use, for a caller that adds one hook to the shell's: copy, change, set again.
const NUX_GameHooks* NUX_GetGameHooks();
