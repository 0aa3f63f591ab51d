// autopilot: a player for the harness. Each frame it reads the game's state and presses and
// releases keys through the engine's input queue, the way scripted keys arrive; it never calls the game.
#pragma once

// Turns the pilot on for the rest of the run. From the lampsFromGame-th game of the run on
// (1 = the first; 0 = never) it flies into the street lamps instead, to end games on purpose.
void autopilotStart(int lampsFromGame);

// Called by the harness once per frame, before the frame's input is handled, with the frame
// time in seconds: decides on this frame's keys and queues their presses and releases. Acts
// only in the game (mode 2) and not while it is paused; elsewhere it lets go of every key.
void autopilotFrame(float dt);
