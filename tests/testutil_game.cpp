// testutil_game: the one shared helper that starts the game itself, linked only into the tests
// of the game and the shell, so that the engine's tests link without the game.

#include "testutil.h"

#include "main.h"  // initShell, initSorvel, initScreens, loadSequences
#include "nux.h"

//---- The game, headless

void testStartHeadless(bool withScenes)
{
    static bool started = false, scenes = false;
    if (!started) {
        started = true;
        NUX_UseVirtualClock(1.0 / 60.0);
        NUX_UseDeterministicMusicClock(1);
        NUX_InitHeadless(1024, 768);
        initShell(1);
        initSorvel();
    }
    if (withScenes && !scenes) {
        scenes = true;
        initScreens();
        loadSequences();
    }
}
