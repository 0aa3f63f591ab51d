// nux_clock: the frame clock, real (SDL ticks) or virtual (fixed steps for the harness).
// Everything that measures time in the engine and the game asks this unit.

#include "nux_clock.h"

#include <chrono>  // steady_clock, the real clock when SDL's timer is not wanted

//---- State

static bool useVirtual = false;
static double virtualStep = 0.0;
static uint64_t virtualFrames = 0;
static std::chrono::steady_clock::time_point realStart = std::chrono::steady_clock::now();

//---- Public

void NUX_StartRealClock()
{
    realStart = std::chrono::steady_clock::now();
}

void NUX_UseVirtualClock(double dtSeconds)
{
    useVirtual = true;
    virtualStep = dtSeconds;
    virtualFrames = 0;
}

void NUX_AdvanceVirtualClock()
{
    if (useVirtual)
        virtualFrames++;
}

int NUX_IsVirtualClock()
{
    return useVirtual ? 1 : 0;
}

double Timer_GetSeconds()
{
    if (useVirtual)
        return (double)virtualFrames * virtualStep;
    std::chrono::duration<double> since = std::chrono::steady_clock::now() - realStart;
    return since.count();
}

uint32_t Timer_GetTicks()
{
    return (uint32_t)(uint64_t)(Timer_GetSeconds() * 1000.0);
}
