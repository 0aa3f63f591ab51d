// Tests of the deterministic harness as a program: identical dumps for identical inputs, scripted
// keys reaching the game, and clear refusals of bad options.

#include "testutil.h"

#include <gtest/gtest.h>
#include <fstream>

//---- Helpers

static std::string harness(const std::string& args, int* code = nullptr)
{
    return testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness " + args + " 2>/dev/null", code);
}

//---- Determinism

TEST(Harness, SameInputsGiveTheSameDumpByteForByte)
{
    std::string script = testTempDir() + "/keys.txt";
    std::ofstream(script) << "# skip the splash, then start a game\n"
                             "0.5 press space\n0.6 release space\n"
                             "2.0 press space\n2.1 release space\n"
                             "2.5 press space\n2.6 press up\n3.0 release up\n";
    const std::string args = "--seconds 6 --seed 7 --script " + script + " --dump-at 30 --dump-at 200";
    int code1 = -1, code2 = -1;
    std::string first = harness(args, &code1);
    std::string second = harness(args, &code2);
    ASSERT_EQ(code1, 0);
    ASSERT_EQ(code2, 0);
    EXPECT_EQ(first, second);
    EXPECT_NE(first.find("\"frame\": 30,"), std::string::npos);
    EXPECT_NE(first.find("\"frame\": 200,"), std::string::npos);
    EXPECT_NE(first.find("\"frame\": 360,"), std::string::npos) << "the last frame is always dumped";
    // The script went splash -> title -> prologue -> game.
    EXPECT_NE(first.find("\"mode\": 2,"), std::string::npos) << first;
}

TEST(Harness, ScriptedKeysReachTheGameAtTheirTimes)
{
    // Starting on the title: Q released at 1 s ends the run at frame 60.
    std::string out = harness("--mode 0 --frames 600 --key '0.5 press q' --key '1.0 release q'");
    EXPECT_NE(out.find("\"frame\": 60,"), std::string::npos) << out;
    EXPECT_NE(out.find("\"exit\": 0"), std::string::npos) << out;

    // A held arrow shows in the dump.
    out = harness("--mode 2 --frames 30 --key '0.1 press left' --key '0.2 press up'");
    EXPECT_NE(out.find("\"moving\": 1010"), std::string::npos) << out;

    // Game time accumulates the fixed frame time exactly.
    out = harness("--mode 2 --frames 120 --dt 0.025");
    EXPECT_NE(out.find("\"time\": 3.0000000"), std::string::npos) << out;
}

TEST(Harness, RefusesBadOptionsClearly)
{
    const char* bad[] = {"--mode 8", "--dt 0", "--key 'soon press space'", "--key '1 press tab'",
                         "--script /nonexistent/keys.txt", "--frobnicate", "--frames"};
    for (const char* args : bad) {
        int code = 0;
        harness(args, &code);
        EXPECT_EQ(code, 2) << args;
    }
    int code = -1;
    std::string help = harness("--help", &code);
    EXPECT_EQ(code, 0);
    EXPECT_NE(help.find("--screenshot"), std::string::npos);
}

//---- The game without a display

TEST(Program, WithoutADisplayTheGameSaysSoAndExits)
{
    int code = 0;
    std::string out = testRun("cd " DUNMARROW_BINARY_DIR " && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER "
                              "timeout 20 ./dunmarrow 2>&1",
                              &code);
    EXPECT_EQ(code, 1) << out;
    EXPECT_NE(out.find("Unable to initialize SDL: "), std::string::npos) << out;
}

TEST(Program, TheRealWindowQuitsWhenQIsReleased)
{
    int found = 0;
    testRun("command -v xdotool >/dev/null && test -n \"$DISPLAY\"", &found);
    if (found != 0)
        GTEST_SKIP() << "needs xdotool and a display";
    // Real X key events into the real window: Q held does nothing, Q released quits.
    std::string out = testRun("bash " DUNMARROW_SOURCE_DIR "/tests/quit_on_q.sh " DUNMARROW_BINARY_DIR);
    EXPECT_NE(out.find("held-running"), std::string::npos) << out;
    EXPECT_NE(out.find("quit"), std::string::npos) << out;
}
