// The real game in a real window of the X server, driven by real key events. It runs alone:
// X sends key presses to the window that has the focus, and another test's window could take it.

#include "testutil.h"

#include <gtest/gtest.h>

TEST(Program, TheRealWindowQuitsWhenQIsReleased)
{
    int found = 0;
    testRun("command -v xdotool >/dev/null && test -n \"$DISPLAY\"", &found);
    if (found != 0)
        GTEST_SKIP() << "needs xdotool and a display";
    // Real X key events into the real window: Q held does nothing, Q released quits, and a clean
    // quit exits 0 (in the sanitized build too: the system libraries' own leaks stay suppressed).
    std::string out = testRun("bash " DUNMARROW_SOURCE_DIR "/tests/quit_on_q.sh " DUNMARROW_BINARY_DIR);
    EXPECT_NE(out.find("held-running"), std::string::npos) << out;
    EXPECT_NE(out.find("quit 0\n"), std::string::npos) << out;
}
