// randomkeys: a careless player for the harness. Each frame it may press or release one key,
// drawn from its own seeded generator, through the engine's input queue like scripted keys.
#pragma once

// Starts a run of random keys for the rest of the session, deterministic for the seed. Without
// allowQuit it never presses Q, never closes the window and never presses Escape where Escape
// quits (the title and the splash); with it, all of those come now and then.
void randomKeysStart(unsigned seed, bool allowQuit);

// Called by the harness once per frame, before the frame's input is handled: queues at most one
// press or release. Keys it holds are let go again after a random while.
void randomKeysFrame();

// A number from the generator, below bound (bound at least 1): the harness draws a session's
// starting mode from it, so that a seed decides everything about a session.
unsigned randomKeysBelow(unsigned bound);
