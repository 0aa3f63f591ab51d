// options: the game's command line. Read once by the shell before anything starts.
#pragma once

#include <cstdio>  // FILE

// What the player asked for on the command line.
struct GameOptions {
    int fullScreen;       // 1: start full screen (--fullscreen); 0: in a window (--windowed, the default)
    int mute;             // 1: every sound at volume 0 for the run (--mute)
    int noSound;          // 1: open no audio device at all (--no-sound)
    const char* dataDir;  // --data-dir DIR, or null
    const char* record;   // --record FILE: the run is written to FILE as it is played, or null
    const char* replay;   // --replay FILE: the run recorded in FILE is played back, or null
    int subtitles;        // 1: the narration's words shown as they are spoken (--subtitles)
};

// What the shell does after reading the command line.
enum {
    OPTIONS_RUN = 0,    // start the game
    OPTIONS_DONE = 1,   // --help or --version was answered on out: exit with status 0
    OPTIONS_WRONG = 2,  // an unknown option or a missing value: the usage is on err, exit with status 2
};

// The game's version, as --version prints it and a replay records it.
const char* gameVersion();

// Reads argv into options (zero-filled first). The last of --fullscreen and --windowed wins;
// --record and --replay exclude each other.
int parseGameOptions(int argc, char** argv, GameOptions* options, FILE* out, FILE* err);
