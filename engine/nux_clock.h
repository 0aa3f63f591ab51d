// nux_clock: the one frame clock of the engine.
// The shell reads time only through here; the harness swaps the real clock for a virtual one.
#pragma once

#include <cstdint>  // uint32_t

// Milliseconds since the clock started: SDL's tick count, or the virtual clock's time.
uint32_t Timer_GetTicks();

// The same clock in seconds, at full precision (the virtual clock's frames are not whole milliseconds).
double Timer_GetSeconds();

// Called by the harness before start-up: from now on time advances only by dtSeconds per
// NUX_AdvanceVirtualClock call, so runs repeat exactly whatever the machine's speed.
void NUX_UseVirtualClock(double dtSeconds);

// Called by the harness once per frame: moves the virtual clock on by one frame.
void NUX_AdvanceVirtualClock();

// 1 while the virtual clock is in use.
int NUX_IsVirtualClock();

// Marks the moment the real clock counts from (SDL's initialisation or, headless, process start).
void NUX_StartRealClock();
