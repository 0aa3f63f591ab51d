// The whole program through the harness, as a player goes through it: splash, title, prologue
// skipped, a game flown by the autopilot to the ending, the credits and back to the title; then a
// second game lost on the lamps, game over and the title again, showing both games' scores.

#include "harness_dumps.h"

#include <gtest/gtest.h>

//---- Helpers

// The scenes' fields this test reads: the ending's phase (0 scene, 1 credits, 2 finished). The
// title's two score lines are looked for as text anywhere in a dump, whatever their fields' names.
static const char* ENDING_PHASE = "endingPhase";

// Keys of a player: Space skips the splash, starts the prologue from the title and skips it.
static const char* START_KEYS = " --key '0.5 press space' --key '0.6 release space'"
                                " --key '2 press space' --key '2.1 release space'"
                                " --key '3.5 press space' --key '3.6 release space'";

static std::string keyAt(double seconds, const char* action)
{
    char text[96];
    snprintf(text, sizeof text, " --key '%.4f %s space'", seconds, action);
    return text;
}

// A tap of Space at the given second.
static std::string spaceAt(double seconds)
{
    return keyAt(seconds, "press") + keyAt(seconds + 0.1, "release");
}

// Runs the program for seconds of virtual time with the autopilot (flying into the lamps from
// the second game on), dumping the first frame and every quarter second.
static std::vector<HarnessDump> runProgram(const std::string& keys, double seconds)
{
    long frames = (long)(seconds * 60.0 + 0.5);
    int code = -1;
    std::string out = runHarness("--seed 5 --autopilot --autopilot-lamps 2 --frames " + std::to_string(frames) +
                                     START_KEYS + keys + " --dump-at 1" + dumpEvery(15, frames),
                                 &code);
    EXPECT_EQ(code, 0);
    return parseDumps(out);
}

// The modes the run went through, each once per visit.
static std::vector<int> modePath(const std::vector<HarnessDump>& dumps)
{
    std::vector<int> path;
    for (const HarnessDump& d : dumps)
        if (path.empty() || path.back() != (int)d.num("mode"))
            path.push_back((int)d.num("mode"));
    return path;
}

// The index of the first dump from `from` on whose mode is `mode`; dumps.size() if none.
static size_t firstInMode(const std::vector<HarnessDump>& dumps, int mode, size_t from)
{
    while (from < dumps.size() && dumps[from].num("mode") != mode)
        from++;
    return from;
}

// Whether some field of the dump holds exactly this text.
static bool showsText(const HarnessDump& dump, const std::string& text)
{
    for (const auto& field : dump.fields)
        if (field.second == text)
            return true;
    return false;
}

static std::string highScoreLine(double score, double pigeons)
{
    char text[128];
    snprintf(text, sizeof text, "HIGH SCORE: %6d POINTS      %d PIGEONS", (int)score, (int)pigeons);
    return text;
}

static std::string lastScoreLine(double score, double pigeons)
{
    char text[128];
    snprintf(text, sizeof text, "LAST SCORE:  %6d POINTS      %d PIGEONS", (int)score, (int)pigeons);
    return text;
}

//---- The whole program

TEST(WholeProgram, TwoGamesFromTheSplashBackToTheTitleWithTheirScores)
{
    // First: splash, title, prologue, the game to its end, the ending and its credits, the title.
    std::vector<HarnessDump> first = runProgram("", 460.0);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.front().num("mode"), 5) << "the run starts in the splash";
    size_t ending = firstInMode(first, 4, 0);
    ASSERT_LT(ending, first.size()) << "the first game never reached the ending";
    size_t title = firstInMode(first, 0, ending);
    ASSERT_LT(title, first.size())
        << "the ending never returned to the title by itself (the ending and its credits come with the scenes)";
    EXPECT_EQ(modePath(first), (std::vector<int>{5, 0, 1, 2, 4, 0}));
    const double score1 = first[ending].num("score"), pigeons1 = first[ending].num("pigeonsStruck");
    EXPECT_GT(score1, 0);
    EXPECT_GT(pigeons1, 0);
    // The ending ran its scene, then the credits, past the 30.5 s of its music.
    bool credits = false;
    for (size_t i = ending; i < title; i++)
        credits = credits || first[i].num(ENDING_PHASE) == 1;
    EXPECT_TRUE(credits) << "no dump of the ending showed the credits (" << ENDING_PHASE << " 1)";
    EXPECT_GT(first[title].num("frame") - first[ending].num("frame"), 30.5 * 60);
    // Back on the title: the game's score is both the high and the last score.
    EXPECT_TRUE(showsText(first.back(), highScoreLine(score1, pigeons1))) << highScoreLine(score1, pigeons1);
    EXPECT_TRUE(showsText(first.back(), lastScoreLine(score1, pigeons1))) << lastScoreLine(score1, pigeons1);

    // Second: from the title again, a game flown into the lamps to game over.
    const double back = first[title].num("frame") / 60.0;
    const std::string secondKeys = spaceAt(back + 2.0) + spaceAt(back + 3.5);
    std::vector<HarnessDump> second = runProgram(secondKeys, back + 3.5 + 120.0);
    size_t gameOver = firstInMode(second, 3, 0);
    ASSERT_LT(gameOver, second.size()) << "the second game never ended in game over";
    EXPECT_EQ(modePath(second), (std::vector<int>{5, 0, 1, 2, 4, 0, 1, 2, 3}));
    const double score2 = second[gameOver].num("score"), pigeons2 = second[gameOver].num("pigeonsStruck");
    EXPECT_EQ(second[gameOver].num("lives"), 0);

    // Third: Space on the game-over screen once its music has played 0.88 s returns to the title.
    const double over = second[gameOver].num("frame") / 60.0;
    std::vector<HarnessDump> third = runProgram(secondKeys + spaceAt(over + 2.0), over + 4.0);
    ASSERT_FALSE(third.empty());
    EXPECT_EQ(modePath(third), (std::vector<int>{5, 0, 1, 2, 4, 0, 1, 2, 3, 0}));
    // A lower score leaves the high score to the first game; the last score is the second's.
    const bool beaten = score2 > score1;
    EXPECT_TRUE(showsText(third.back(), beaten ? highScoreLine(score2, pigeons2) : highScoreLine(score1, pigeons1)));
    EXPECT_TRUE(showsText(third.back(), lastScoreLine(score2, pigeons2))) << lastScoreLine(score2, pigeons2);
}
