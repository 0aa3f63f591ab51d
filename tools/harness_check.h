// harness_check: what the harness checks after every frame when asked: the game's invariants,
// and that play allocates nothing (every allocation of the main thread is counted once armed).
#pragma once

#include <cstddef>  // size_t

//---- Allocations

// From now on counts the allocations the calling thread makes (malloc, new and the rest).
void allocCountArm();
// While on, allocations are counted apart: a track opening its file and decoder, which happens
// once when a scene starts its music and never per frame.
void allocCountMusic(bool on);
// While on, nothing is counted: the harness's own reports and dumps.
void allocCountPause(bool on);
// With trace on, the stack of every counted allocation is printed (sanitized builds only).
void allocCountTrace(bool on);
// Allocations counted so far, outside and inside music opening.
long allocCountPlay();
long allocCountMusicOpen();
// Bytes the process holds in live allocations right now (all threads); -1 when unknown.
long long allocLiveBytes();
// The process's resident memory in kilobytes, from /proc/self/statm; -1 when unreadable.
long residentKilobytes();

//---- Invariants

// Forgets the previous frame: the next check starts a new session.
void checkStartSession();
// Checks the game's state after a frame: the mode is 0 to 5, the lives 0 to 5, the score never
// falls within a game, no screen but the mode's is visible, nothing allocated during the frame
// (once armed). Writes each failure to standard error with the session and frame; returns the
// number of failures found in this frame.
int checkFrame(long session, long frame);
// Frames checked in each mode (0 to 5) so far.
long checkedFrames(int mode);
