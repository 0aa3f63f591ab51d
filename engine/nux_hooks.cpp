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

//---- Engine-internal

int nuxGameMode()
{
    return hooks.getGameMode ? hooks.getGameMode() : -1;
}

void nuxSwitchGameMode(int mode)
{
    if (hooks.switchGameMode)
        hooks.switchGameMode(mode);
}

float nuxFrameTime()
{
    return hooks.frameTime ? hooks.frameTime() : 0.0f;
}

void nuxOwlFlapUp()
{
    if (hooks.owlFlapUp)
        hooks.owlFlapUp();
}

void nuxOwlFlapDown()
{
    if (hooks.owlFlapDown)
        hooks.owlFlapDown();
}

void nuxOwlSwoop()
{
    if (hooks.owlSwoop)
        hooks.owlSwoop();
}

void nuxOwlSwoopStop()
{
    if (hooks.owlSwoopStop)
        hooks.owlSwoopStop();
}

void nuxGamePause()
{
    if (hooks.gamePause)
        hooks.gamePause();
}

int nuxGamePaused()
{
    return hooks.getGamePaused ? hooks.getGamePaused() : 0;
}

int nuxIntroMusicPlaying()
{
    return hooks.isIntroMusicPlaying ? hooks.isIntroMusicPlaying() : 0;
}

float nuxGameOverElapsed()
{
    return hooks.getGameOverElapsed ? hooks.getGameOverElapsed() : 0.0f;
}

float nuxGameBeatElapsed()
{
    return hooks.getGameBeatElapsed ? hooks.getGameBeatElapsed() : 0.0f;
}

void nuxSorvelAborted()
{
    if (hooks.SorvelAborted)
        hooks.SorvelAborted();
}
