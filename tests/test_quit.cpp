// The real game in a real window of the X server, driven by real key events. It runs alone:
// X sends key presses to the window that has the focus, and another test's window could take it.

#include "testutil.h"

#include <gtest/gtest.h>

#include <cstdlib>   // atof
#include <fstream>   // the recorded replay
#include <iostream>  // cout: how the window kept up
#include <sstream>   // the replay as text
#include <string>

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

// The same end in the final dump's field as in the recording's summary ("score=S").
static std::string lastField(const std::string& dump, const std::string& field)
{
    size_t at = dump.rfind("\"" + field + "\": ");
    if (at == std::string::npos)
        return "none";
    at += field.size() + 4;
    return dump.substr(at, dump.find_first_of(",}", at) - at);
}

TEST(Program, AGamePlayedInTheWindowReplaysThroughTheHarness)
{
    int found = 0;
    testRun("command -v xdotool >/dev/null && test -n \"$DISPLAY\"", &found);
    if (found != 0)
        GTEST_SKIP() << "needs xdotool and a display";
    // Recorded in the real window with real key events: Space through the splash, the title and
    // the prologue, swoops, flaps and a pause, then Escape twice. Replayed through the harness on
    // its virtual clock, every state hash matches and the game ends as it did in the window.
    const std::string replay = testTempDir() + "/window.replay";
    std::string out =
        testRun("bash " DUNMARROW_SOURCE_DIR "/tests/record_window.sh " DUNMARROW_BINARY_DIR " '" + replay + "' 45");
    std::cout << out;
    ASSERT_NE(out.find("quit 0\n"), std::string::npos) << out;

    std::ifstream in(replay);
    std::stringstream text;
    text << in.rdbuf();
    const std::string recorded = text.str();
    const size_t end = recorded.rfind("\nend ");
    ASSERT_NE(end, std::string::npos) << "the recording was finished";
    const std::string summary = recorded.substr(recorded.find(" score=", end) + 1,
                                                recorded.find(" #", end) - recorded.find(" score=", end) - 1);
    EXPECT_NE(recorded.find(" +space"), std::string::npos);
    EXPECT_NE(recorded.find(" +p"), std::string::npos);

    std::string dumps[2];
    for (int pass = 0; pass < 2; pass++) {
        const std::string out = testTempDir() + "/window" + std::to_string(pass) + ".json";
        int code = -1;
        std::string said = testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness --replay '" + replay +
                                       "' --out '" + out + "' 2>&1",
                                   &code);
        EXPECT_EQ(code, 0) << said;
        EXPECT_NE(said.find("every state hash matched"), std::string::npos) << said;
        std::ifstream dumped(out);
        std::stringstream dump;
        dump << dumped.rdbuf();
        dumps[pass] = dump.str();
        const std::string replayed = "score=" + lastField(dumps[pass], "score") +
                                     " lives=" + lastField(dumps[pass], "lives") +
                                     " pigeons=" + lastField(dumps[pass], "pigeonsStruck");
        EXPECT_EQ(replayed, summary);
    }
    EXPECT_EQ(dumps[0], dumps[1]) << "the same replay twice, the same dump";
    std::cout << "recorded " << summary << ", " << lastField(dumps[0], "gameTime") << " s of play\n";
    EXPECT_GT(atof(lastField(dumps[0], "gameTime").c_str()), 20.0) << "a real game was played";
}

TEST(Program, AReplayIsWatchedInTheWindowToItsEndOrUntilEscape)
{
    int found = 0;
    testRun("command -v xdotool >/dev/null && test -n \"$DISPLAY\"", &found);
    if (found != 0)
        GTEST_SKIP() << "needs xdotool and a display";
    // Five seconds recorded by the harness (the splash skipped, the title): the window plays them
    // at their pace to the end, every hash matching; live keys steer the watching only (P holds,
    // Escape stops), and a stopped replay is no failure.
    const std::string replay = testTempDir() + "/watched.replay";
    int code = -1;
    testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness --seconds 5 --key '1 press space' --key '1.1 release "
            "space' --key '3 press m' --record '" +
                replay + "' >/dev/null 2>&1",
            &code);
    ASSERT_EQ(code, 0);
    std::string out =
        testRun("bash " DUNMARROW_SOURCE_DIR "/tests/watch_replay.sh " DUNMARROW_BINARY_DIR " '" + replay + "' whole");
    EXPECT_NE(out.find("quit 0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("replay: 301 frames; every state hash matched (6)"), std::string::npos) << out;
    out = testRun("bash " DUNMARROW_SOURCE_DIR "/tests/watch_replay.sh " DUNMARROW_BINARY_DIR " '" + replay + "' stop");
    EXPECT_NE(out.find("quit 0\n"), std::string::npos) << out;
    EXPECT_NE(out.find("replay: stopped at frame "), std::string::npos) << out;
}
