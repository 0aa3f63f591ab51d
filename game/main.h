// main: the shell. Owns the process, the frame clock, the six game modes and the main loop.
#pragma once

#include <cstdint>  // uint32_t

#include "mainSpokenLines.h"  // the narrator's lines, for the subtitles
#include "nux.h"              // the engine, and the MODE_* names it shares with the shell

extern int gameMode;         // the current mode; starts at the splash
extern float elapsed;        // seconds of the last frame, at most 0.2, set only by doTimer
extern uint32_t last_ticks;  // clock at the previous doTimer, in milliseconds
extern Font* fontFutura;     // the one font, "data/futurabd.ttf"
extern Screen *sorvelScreen, *introScreen, *gameScreen, *prologueScreen, *gameOverScreen, *gameBeatScreen;

// The whole run, as the player starts it, with its command line: returns 0 when the player quits
// (or after --help, --version), 1 when there is no data or no window, 2 for a wrong option.
int SDL_main(int argc, char** argv);

// Measures the time since the previous call into elapsed, clamped to 0.2 s. Also called by the
// game's load and reset so that loading is not counted as a frame.
void doTimer();

// What the shell enters for each mode, indexed by mode: the screen it shows and the scene's reset.
// switchGameMode calls the resets through this table; a test may put its own in an entry to watch
// the switch (and call the one it replaced).
constexpr int MODE_COUNT = 6;
struct ModeScene {
    Screen** screen;
    void (*reset)();
};
extern ModeScene modeScenes[MODE_COUNT];

// Leaves the current mode and enters mode: stops the music, hides every screen, shows and
// resets the new one. The reset runs while getGameMode still reports the old mode.
void switchGameMode(int mode);
int getGameMode();

// Start-up pieces, in the order SDL_main runs them; the harness runs the same ones.
void initShell(unsigned int seed);  // the engine's game hooks, NUX_InitSound(64), srand(seed)
void initSorvel();                  // black window at once, the splash screen, its load and reset
int runSplashFrame();               // one frame of the splash loop; 0 when the player quit
void initScreens();                 // the font and the five other screens
void loadSequences();               // every scene's load; then names the files that failed, on stderr
int runMainFrame();                 // one frame of the main loop; 0 when the player quit
void shutdownShell();               // sound, then the window

//---- Replays

// The game's state in one number, over what the harness's dump reports; a replay compares it
// every second of play. And "score=S lives=L pigeons=P", written at the end of a recording.
uint64_t gameStateHash();
void gameStateSummary(char* text, size_t size);

//---- The scenes' music clock

// A scene timed to its music reads the play position through this record. When the track
// cannot be played (missing or unreadable file), the scene's own clock stands in for it and
// loops at the track's usual length, so that no scene waits for ever on silence.
struct SceneMusic {
    double nominalLength;  // seconds the track lasts when present; the stand-in loops there
    int missing;           // 1 when starting the track gave no music
    double clock;          // seconds since the start, counted only while missing
};

// Plays the track as looping music and notes whether it plays at all.
void startSceneMusic(SceneMusic* music, const char* path);
// Forgets any earlier start: position 0 until the next start.
void resetSceneMusic(SceneMusic* music);
// Called once at the top of each frame of the scene: moves the stand-in clock on.
void advanceSceneMusic(SceneMusic* music, double dt);
// The position in seconds: the real music's, or the stand-in's when the track is missing.
double sceneMusicPosition(const SceneMusic* music);

//---- Subtitles

// 1 when the player asked for the narration's words on screen (--subtitles); set before the
// scenes load, 0 by default.
extern int subtitlesShown;

// A scene's subtitles: a dark band and two rows of words at the foot of the screen, showing the
// line of the table being spoken. With subtitles off, nothing is made and nothing is shown.
struct Subtitles {
    const SpokenLine* lines;
    int count;
    int current;  // the line the rows hold, -1 for none
    Sprite* band;
    Label* rows[2];
};

// Made while the scene loads, on its screen, above everything added before.
void loadSubtitles(Subtitles* subtitles, Screen* screen, const SpokenLine* lines, int count);
// Shows the line spoken at voiceTime seconds into the voice file (a time before it, e.g. -1,
// shows none), faded in and out at the line's ends.
void showSubtitles(Subtitles* subtitles, float voiceTime);
