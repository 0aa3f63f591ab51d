// nux_web: what the game needs of the browser when it runs in a web page: a turn for the browser
// once a frame, and the first key press that lets the page make sound. Built for the web only.

#include "nux_local.h"
#include "nux_sound.h"  // the music position, told to the page

#if defined(__EMSCRIPTEN__)

#include <emscripten.h>

// Waits for the browser's next animation frame: the frame just drawn is painted meanwhile, keys
// are delivered, and a hidden tab sleeps instead of spinning.
EM_ASYNC_JS(void, nuxWebAwaitAnimationFrame, (),
            { await new Promise(function(resolve) { requestAnimationFrame(resolve); }); });

// Browsers keep a page silent until the player has done something on it: OpenAL's audio context
// is made suspended, and the first key press wakes it (inside the key handler, where the browser
// allows it). The JavaScript here is kept to what the C++ formatter leaves whole (no arrows, no
// strict comparisons). OpenAL keeps the context as AL.currentCtx.audioCtx.
EM_JS(void, nuxWebListen, (), {
    if (Module.nuxFirstKey != undefined)
        return;
    Module.nuxFirstKey = false;
    const wake = function()
    {
        Module.nuxFirstKey = true;
        window.removeEventListener("keydown", wake, true);
        if (typeof AL != "undefined" && AL.currentCtx && AL.currentCtx.audioCtx)
            AL.currentCtx.audioCtx.resume();
    };
    window.addEventListener("keydown", wake, true);
});

EM_JS(int, nuxWebKeyCame, (), { return Module.nuxFirstKey ? 1 : 0; });

// Tells the page the current mode and its music's position (seconds) and counts the frames shown,
// for the browser test, which waits for moments of the scenes and measures frames per second.
EM_JS(void, nuxWebPublishFrame, (int mode, double music), {
    Module.dunmarrowMode = mode;
    Module.dunmarrowMusic = music;
    Module.dunmarrowFrames = (Module.dunmarrowFrames || 0) + 1;
});

void nuxWebWaitForFrame()
{
    nuxWebPublishFrame(nuxGameMode(), NUX_GetMusicPosition());
    nuxWebAwaitAnimationFrame();
}

void nuxWebListenForFirstKey()
{
    nuxWebListen();
}

int nuxWebFirstKeyPressed()
{
    return nuxWebKeyCame();
}

// The page's exit handler shows its word of thanks. It is called directly: ending the runtime
// from inside a frame the browser has resumed would surface as an error in the page.
EM_JS(void, nuxWebTellPageQuit, (), {
    if (Module.onExit)
        Module.onExit(0);
});

void nuxWebQuit()
{
    nuxWebTellPageQuit();
}

#endif
