// nux_hooks: keeps the shell's record of hooks and asks it on the engine's behalf, so that an
// engine without a game (its own tests) calls nothing and gets the neutral answers.

#include "nux_hooks.h"
#include "nux_local.h"

//---- State

static NUX_GameHooks hooks = {};  // all null until the shell hands its record over

//---- Public

void NUX_SetGameHooks(const NUX_GameHooks* record)
{
    hooks = record ? *record : NUX_GameHooks{};
}

const NUX_GameHooks* NUX_GetGameHooks()
{
    return &hooks;
}

//---- Engine-internal

int nuxGameMode()
{
    return hooks.mode ? hooks.mode() : -1;
}

void nuxSwitchGameMode(int mode)
{
    if (hooks.switchMode)
        hooks.switchMode(mode);
}

float nuxFrameTime()
{
    return hooks.frameTime ? hooks.frameTime() : 0.0f;
}

void nuxOwlFlapUp()
{
    if (hooks.flapUp)
        hooks.flapUp();
}

void nuxOwlFlapDown()
{
    if (hooks.flapDown)
        hooks.flapDown();
}

void nuxOwlSwoop()
{
    if (hooks.swoop)
        hooks.swoop();
}

void nuxOwlSwoopStop()
{
    if (hooks.swoopStop)
        hooks.swoopStop();
}

void nuxGamePause()
{
    if (hooks.togglePause)
        hooks.togglePause();
}

int nuxGamePaused()
{
    return hooks.paused ? hooks.paused() : 0;
}

int nuxIntroMusicPlaying()
{
    return hooks.titleMusicPlaying ? hooks.titleMusicPlaying() : 0;
}

float nuxGameOverElapsed()
{
    return hooks.gameOverMusicTime ? hooks.gameOverMusicTime() : 0.0f;
}

float nuxGameBeatElapsed()
{
    return hooks.endingTime ? hooks.endingTime() : 0.0f;
}

void nuxSorvelAborted()
{
    if (hooks.skipSplash)
        hooks.skipSplash();
}

uint64_t nuxGameStateHash()
{
    return hooks.stateHash ? hooks.stateHash() : 0;
}

void nuxGameSummary(char* text, size_t size)
{
    if (size == 0)
        return;
    text[0] = '\0';
    if (hooks.summary)
        hooks.summary(text, size);
}

void nuxMusicOpening(int opening)
{
    if (hooks.musicOpening)
        hooks.musicOpening(opening);
}
