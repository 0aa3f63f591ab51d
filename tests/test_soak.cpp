// Tests of whole runs of the harness: random-key sessions across every mode, checked after every
// frame, and twenty autopilot games back to back in one process, with their memory watched.
// Both run in the sanitized build, where any sanitizer report fails them.

#include "testutil.h"

#include <gtest/gtest.h>
#include <cstdio>   // sscanf
#include <sstream>  // the report line by line
#include <string>
#include <vector>

//---- Helpers

// The harness's standard error (its reports), or its dump with dump set; code gets its status.
static std::string harness(const std::string& args, int* code, bool dump = false)
{
    const std::string streams = dump ? " 2>/dev/null" : " 2>&1 >/dev/null";
    return testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness " + args + streams, code);
}

static bool sanitizerSpoke(const std::string& text)
{
    return text.find("Sanitizer") != std::string::npos || text.find("runtime error") != std::string::npos;
}

//---- Random keys

TEST(RandomKeys, TheSameSeedPlaysTheSameSessions)
{
    auto run = [](int keysSeed) {
        int code = -1;
        std::string out =
            harness("--random-keys " + std::to_string(keysSeed) + " --sessions 3 --seconds 10 --seed 4 --dump-at 900",
                    &code, true);
        EXPECT_EQ(code, 0);
        return out;
    };
    const std::string first = run(11);
    EXPECT_EQ(first, run(11));
    EXPECT_NE(first, run(12));
    EXPECT_NE(first.find("\"frame\": 1800,"), std::string::npos) << "three sessions of 600 frames each";
}

TEST(RandomKeys, QuitOnlyWhenAsked)
{
    // Without --random-quit no key of the run quits, Escape on the title included.
    int code = -1;
    std::string kept = harness("--random-keys 5 --seconds 120", &code, true);
    ASSERT_EQ(code, 0);
    EXPECT_NE(kept.find("\"frame\": 7200,"), std::string::npos) << kept;
    EXPECT_NE(kept.find("\"exit\": 1,"), std::string::npos);
    // With it, the title's Escape soon ends the run.
    std::string quit = harness("--random-keys 5 --random-quit --seconds 120", &code, true);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(quit.find("\"frame\": 7200,"), std::string::npos) << quit;
    EXPECT_NE(quit.find("\"exit\": 0,"), std::string::npos);
}

// 200 seeds of 60 virtual seconds, loaded once: the mode, the lives, the score, the screens and
// the allocations checked after every frame, every mode visited.
TEST(RandomKeys, TwoHundredSessionsKeepEveryInvariant)
{
    int code = -1;
    const std::string report = harness("--random-keys 1 --sessions 200 --seconds 60 --check", &code);
    EXPECT_EQ(code, 0) << report.substr(0, 4000);
    EXPECT_FALSE(sanitizerSpoke(report)) << report.substr(0, 4000);
    EXPECT_NE(report.find("checked 720000 frames in 200 sessions: 0 failures; 0 allocations during play"),
              std::string::npos)
        << report.substr(0, 4000);
    const size_t modes = report.find("harness: frames by mode:");
    ASSERT_NE(modes, std::string::npos) << report.substr(0, 4000);
    long frames[6] = {};
    ASSERT_EQ(sscanf(report.c_str() + modes, "harness: frames by mode: %ld %ld %ld %ld %ld %ld", &frames[0], &frames[1],
                     &frames[2], &frames[3], &frames[4], &frames[5]),
              6);
    for (int mode = 0; mode < 6; mode++)
        EXPECT_GT(frames[mode], 600) << "mode " << mode << " hardly visited";
}

//---- Soak

// Twenty autopilot games in one process, ten played through and ten flown into the lamps, each
// back to the title: no sanitizer report, no failed check, and the live memory on the title the
// same after every game as after the first (within a kilobyte).
TEST(Soak, TwentyWholeGamesKeepTheirMemory)
{
    int code = -1;
    const std::string report = harness("--autopilot --autopilot-lamps 11 --games 20 --seed 5 --check", &code);
    EXPECT_EQ(code, 0) << report.substr(0, 4000);
    EXPECT_FALSE(sanitizerSpoke(report)) << report.substr(0, 4000);
    EXPECT_NE(report.find(": 0 failures; 0 allocations during play"), std::string::npos) << report;
    std::vector<std::string> back;
    int overs = 0;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("harness: game ", 0) != 0)
            continue;
        if (line.find("back on the title") != std::string::npos)
            back.push_back(line);
        else if (line.find("ended in game over") != std::string::npos)
            overs++;
    }
    ASSERT_EQ(back.size(), 20u) << report;
    EXPECT_GE(overs, 10) << "the last ten games end in the lamps";
    // Exactly the same under the sanitizers; the plain build's count of usable sizes may move by
    // a few bytes as blocks of other sizes are reused, never by a game's worth.
    for (const std::string& line : back) {
        size_t open = line.find('(');
        ASSERT_NE(open, std::string::npos) << line;
        long long delta = 0;
        ASSERT_EQ(sscanf(line.c_str() + open, "(%lld since the first game)", &delta), 1) << line;
        EXPECT_LE(delta, 1024) << line;
    }
}
