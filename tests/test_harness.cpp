// Tests of the deterministic harness as a program: scripted keys reaching the game, clear refusals
// of bad options, and its key-script parser on its own.

#include "harness_script.h"  // parseScriptLine, parseScript
#include "testutil.h"

#include <gtest/gtest.h>
#include <cstdlib>  // getenv
#include <cstring>  // strlen
#include <fstream>

//---- Helpers

static std::string harness(const std::string& args, int* code = nullptr)
{
    return testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness " + args + " 2>/dev/null", code);
}

//---- The program

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

TEST(Harness, TheEntityViewShowsWhatIsInPlayAndTheOwlGoesWhereItIsPut)
{
    std::string plain = harness("--mode 2 --frames 3");
    EXPECT_EQ(plain.find("owlState"), std::string::npos) << "the default dump stays as it was";

    // Two pigeons, two citizens and two lamps at the start of a game, no mist crossing yet; the
    // owl put at (500, 300) on the second frame keeps its x through that frame's update.
    std::string out = harness("--mode 2 --frames 2 --dump-at 1 --dump-entities --place-owl 0.02:500,300");
    size_t second = out.find("\"frame\": 2,");
    ASSERT_NE(second, std::string::npos) << out;
    const std::string first = out.substr(0, second), last = out.substr(second);
    EXPECT_NE(first.find("\"owlState\": {\"x\": 250,"), std::string::npos) << first;
    EXPECT_NE(last.find("\"owlState\": {\"x\": 500,"), std::string::npos) << last;
    for (const char* list : {"pigeonStates", "citizenStates", "lampStates"}) {
        size_t at = last.find(list);
        ASSERT_NE(at, std::string::npos) << list;
        std::string items = last.substr(at, last.find(']', at) - at);
        EXPECT_NE(items.find("{\"i\": 1,"), std::string::npos) << items;
        EXPECT_EQ(items.find("{\"i\": 2,"), std::string::npos) << items;
    }
    EXPECT_NE(last.find("\"mistStates\": []"), std::string::npos) << last;
    EXPECT_NE(last.find("\"swoopCount\": 0"), std::string::npos) << last;
}

TEST(Harness, RefusesBadOptionsClearly)
{
    // Scripts that are not regular files of a sane size: a device that never ends, a named pipe
    // with no writer, and a (sparse) file past the limit.
    const std::string pipe = testTempDir() + "/keys.fifo", huge = testTempDir() + "/huge.txt";
    testRun("mkfifo " + pipe + " && truncate -s 5M " + huge);
    const std::string bad[] = {"--script /dev/zero", "--script " + pipe, "--script " + huge,
                               // Screenshots of frames the run does not have, or of one frame twice.
                               "--window --screenshot 0:shot.png", "--window --frames 10 --screenshot 11:shot.png",
                               "--window --frames 10 --sessions 2 --screenshot 21:shot.png",
                               "--window --screenshot 5:a.png --screenshot 5:b.png", "--mode 8", "--dt 0",
                               "--key 'soon press space'", "--script /nonexistent/keys.txt", "--frobnicate", "--frames",
                               // Malformed, overflowing and out-of-range numbers.
                               "--frames abc", "--frames 10x", "--frames 1.5", "--frames -3",
                               "--frames 99999999999999999999", "--seconds -1", "--seconds nan", "--seconds inf",
                               "--seconds 1e300", "--dt inf", "--dt 0.1s", "--seed -1", "--seed 4294967296",
                               "--mode 2x", "--dump-at x", "--dump-at 5.5", "--place-owl 5", "--place-owl 1,",
                               "--place-owl x,2", "--place-owl -1:2,3", "--place-owl 1:2,3,4",
                               // A folder as the script, and a screenshot that would never be drawn.
                               "--script " + testTempDir(), "--screenshot 10:shot.png",
                               "--window --screenshot x:shot.png", "--window --screenshot 10:"};
    for (const std::string& args : bad) {
        int code = 0;
        std::string out =
            testRun("cd " DUNMARROW_BINARY_DIR " && timeout 60 ./dunmarrow-harness " + args + " 2>&1", &code);
        EXPECT_EQ(code, 2) << args;
        EXPECT_NE(out.find("usage: dunmarrow-harness"), std::string::npos) << args << ": " << out;
    }
    int code = -1;
    std::string help = harness("--help", &code);
    EXPECT_EQ(code, 0);
    EXPECT_NE(help.find("--screenshot"), std::string::npos);
}

TEST(Harness, ScriptLinesOfAnyLengthAndTheDumpAloneOnStandardOutput)
{
    // A comment far longer than any buffer, then Q pressed and released: the run ends at frame 60.
    std::string script = testTempDir() + "/long.txt";
    std::ofstream(script) << "# " << std::string(5000, 'x') << " 0.1 quit\n"
                          << std::string(3000, ' ') << "0.5 press q\n1.0 release q " << std::string(700, '#') << "\n";
    int code = -1;
    std::string out = harness("--mode 0 --frames 600 --script " + script, &code);
    EXPECT_EQ(code, 0);
    EXPECT_NE(out.find("\"frame\": 60,"), std::string::npos) << out;

    // M with no music playing makes the sound module print its message: never into the dump.
    out = harness("--mode 0 --frames 30 --key '0 press m' --key '0.1 release m'", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out.rfind("[\n{\"frame\": 30,", 0), 0u) << out;
    EXPECT_EQ(out.substr(out.size() - 4), "}\n]\n") << out;
    std::string said = testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness --mode 0 --frames 30 "
                               "--key '0 press m' 2>&1 >/dev/null");
    EXPECT_EQ(said.rfind("Unknown error code", 0), 0u) << "the game's console text is kept, on standard error";
}

TEST(Harness, SaysInOneLineWhichDataFilesItCouldNotLoad)
{
    // Given a pack that holds nothing but its font: one line on standard error names what is
    // missing and counts the rest, and play goes on.
    int code = -1;
    std::string bare = testTempDir() + "/bare-pack";
    std::string said =
        testRun("rm -rf " + bare + " && mkdir -p " + bare + " && cp " DUNMARROW_BINARY_DIR "/data/futurabd.ttf " +
                    bare + " && cd " + testTempDir() + " && " DUNMARROW_BINARY_DIR "/dunmarrow-harness --data-dir " +
                    bare + " --mode 0 --frames 30 2>&1 >/dev/null",
                &code);
    EXPECT_EQ(code, 0) << said;
    size_t line = said.find("DUNMARROW: could not load ");
    ASSERT_NE(line, std::string::npos) << said;
    EXPECT_TRUE(line == 0 || said[line - 1] == '\n') << said;
    std::string first = said.substr(line, said.find('\n', line) - line);
    EXPECT_NE(first.find(" data files: data/branding.png, data/leadership.png, "), std::string::npos) << first;
    EXPECT_NE(first.find(" more"), std::string::npos) << first;
    EXPECT_EQ(said.find("could not load", line + first.size()), std::string::npos) << "one line: " << said;

    // From the folder that holds the whole pack, through the splash and its music to the title:
    // nothing to say.
    said = testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness --seconds 15 2>&1 >/dev/null", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(said.find("could not load"), std::string::npos) << said;
}

TEST(Harness, AScreenshotThatIsNotSavedFailsTheRun)
{
    if (!getenv("DISPLAY"))
        GTEST_SKIP() << "screenshots need a display";
    const std::string shot = testTempDir() + "/shot.png";
    int code = -1;
    std::string said = testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness --window --mode 0 --frames 5 "
                               "--screenshot 3:" +
                                   shot + " 2>&1 >/dev/null",
                               &code);
    EXPECT_EQ(code, 0) << said;
    EXPECT_EQ(testRun("test -s " + shot + " && echo saved"), "saved\n");

    // A folder that does not exist, and a frame the run never reaches because Q ended it.
    said = testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness --window --mode 0 --frames 5 "
                   "--screenshot 3:/nonexistent/d/x.png 2>&1 >/dev/null",
                   &code);
    EXPECT_EQ(code, 1) << said;
    EXPECT_NE(said.find("/nonexistent/d/x.png"), std::string::npos) << said;
    said = testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness --window --mode 0 --frames 60 --key '0 press q' "
                   "--key '0.1 release q' --screenshot 50:" +
                       shot + " 2>&1 >/dev/null",
                   &code);
    EXPECT_EQ(code, 1) << said;
    EXPECT_NE(said.find("frame 50"), std::string::npos) << said;
}

TEST(Harness, NamesEveryDamagedTrackInEveryStartingMode)
{
    // A pack whose title track is cut inside its headers, whose ending's track is a named pipe
    // and whose game track is missing; everything else is the real pack.
    const std::string pack = testTempDir() + "/damaged-tracks";
    int code = -1;
    testRun("rm -rf " + pack + " && mkdir -p " + pack +
                " && for f in " DUNMARROW_BINARY_DIR "/data/*; do ln -s \"$f\" " + pack + "/; done && cd " + pack +
                " && rm titular.ogg moltin.ogg apex.ogg && head -c 1500 " +
                DUNMARROW_BINARY_DIR "/data/titular.ogg > titular.ogg && mkfifo moltin.ogg",
            &code);
    ASSERT_EQ(code, 0);
    for (const char* start : {"--seconds 16", "--mode 0", "--mode 1", "--mode 2", "--mode 3", "--mode 4"}) {
        std::string said =
            testRun("cd " + testTempDir() + " && timeout 120 " DUNMARROW_BINARY_DIR "/dunmarrow-harness --data-dir " +
                        pack + " " + start + " --frames 30 2>&1 >/dev/null",
                    &code);
        EXPECT_EQ(code, 0) << start << ": " << said;
        size_t line = said.find("DUNMARROW: could not load 3 data files: ");
        ASSERT_NE(line, std::string::npos) << start << ": " << said;
        std::string first = said.substr(line, said.find('\n', line) - line);
        for (const char* track : {"data/titular.ogg", "data/moltin.ogg", "data/apex.ogg"})
            EXPECT_NE(first.find(track), std::string::npos) << start << ": " << first;
    }
}

//---- The key-script parser

TEST(KeyScript, ParsesEventsAndRefusesEverythingElse)
{
    struct Event {
        const char* line;
        double time;
        NUX_Key key;
        int pressed;
    };
    const Event events[] = {
        {"0.5 press space", 0.5, NUX_KEY_SPACE, 1}, {"  12\trelease up  # a comment\r\n", 12.0, NUX_KEY_UP, 0},
        {"3 quit", 3.0, NUX_KEY_NONE, 0},           {"1e1 press return", 10.0, NUX_KEY_RETURN, 1},
        {"-0 press q", 0.0, NUX_KEY_Q, 1},
    };
    for (const Event& c : events) {
        ScriptEvent event = {-5.0, NUX_KEY_DOWN, 7};
        ASSERT_EQ(parseScriptLine(c.line, strlen(c.line), &event), 1) << "'" << c.line << "'";
        EXPECT_EQ(event.time, c.time) << c.line;
        EXPECT_EQ(event.key, c.key) << c.line;
        EXPECT_EQ(event.pressed, c.pressed) << c.line;
    }
    for (const char* blank : {"", "   \t\r\n", "# 1 press space", "#"})
        EXPECT_EQ(parseScriptLine(blank, strlen(blank), nullptr), 0) << "'" << blank << "'";
    const char* malformed[] = {
        "soon press space", "1 press tab", "1 press Space",    "1 push space",    "1 press",  "1",
        "press space",      "1 quit now",  "1 press space up", "nan press space", "inf quit", "-1 quit",
        "1e400 quit",       "10x quit",    "+1 quit",          "0x10 quit",       "1,5 quit"};
    for (const char* line : malformed) {
        ScriptEvent event = {};
        EXPECT_EQ(parseScriptLine(line, strlen(line), &event), -1) << "'" << line << "'";
    }
    // Every key the engine names, under the same name.
    for (const char* name : {"up", "down", "left", "right", "space", "p", "return", "m", "escape", "q"}) {
        std::string line = std::string("1 press ") + name;
        ScriptEvent event = {};
        ASSERT_EQ(parseScriptLine(line.c_str(), line.size(), &event), 1) << name;
        EXPECT_EQ(event.key, NUX_KeyFromName(name)) << name;
    }
}

TEST(KeyScript, ReadsOnlyTheBytesItIsGiven)
{
    // A line cut out of a larger buffer: nothing past its length counts, no terminator needed.
    const char text[] = "2 press left9 quit";
    ScriptEvent event = {};
    EXPECT_EQ(parseScriptLine(text, 12, &event), 1);
    EXPECT_EQ(event.key, NUX_KEY_LEFT);
    EXPECT_EQ(parseScriptLine(text, 1, &event), -1);
    EXPECT_EQ(parseScriptLine(text, 0, &event), 0);
    const char withNul[] = {'1', ' ', 'q', 'u', 'i', 't', '\0', 'x'};
    EXPECT_EQ(parseScriptLine(withNul, sizeof withNul, &event), -1) << "a NUL is part of the word";

    // A whole script: events in order, the number of the first bad line.
    std::vector<ScriptEvent> seen;
    auto collect = [](const ScriptEvent& e, void* into) { ((std::vector<ScriptEvent>*)into)->push_back(e); };
    const std::string good = "# start\n0.5 press space\n\n0.6 release space\n7 quit";
    EXPECT_EQ(parseScript(good.data(), good.size(), collect, &seen), 0u);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].time, 7.0);
    const std::string bad = "0.5 press space\n\n0.6 relaese space\n1 quit\n";
    EXPECT_EQ(parseScript(bad.data(), bad.size(), nullptr, nullptr), 3u);
}

//---- The leak checker

TEST(Program, TheLeakCheckerStillReportsALeakOfOurs)
{
#ifndef DUNMARROW_LEAK_PROBE
    GTEST_SKIP() << "only the sanitized build checks leaks";
#else
    // A program that quits like the game, window and sound included, after losing one block of
    // its own: the suppressions the tests run under must not swallow it.
    int code = 0;
    std::string out = testRun("cd " DUNMARROW_BINARY_DIR " && " DUNMARROW_LEAK_PROBE " 2>&1", &code);
    EXPECT_NE(code, 0) << out;
    EXPECT_NE(out.find("LeakSanitizer: detected memory leaks"), std::string::npos) << out;
    EXPECT_NE(out.find("Direct leak of 4242 byte(s)"), std::string::npos) << out;
    EXPECT_NE(out.find("leakOnPurpose"), std::string::npos) << out;
#endif
}
