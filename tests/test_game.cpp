// Whole games through the harness on the virtual clock: the autopilot plays 300 seconds to the
// ending and plays better than nobody or a blind swooper; a pause stops the game's clock, its
// music and the pilot.

#include "harness_dumps.h"

#include <gtest/gtest.h>

//---- Helpers

// The dumps of one game started directly in mode 2, every step-th frame for seconds of virtual time.
static std::vector<HarnessDump> playGame(const std::string& args, double seconds, long step)
{
    long frames = (long)(seconds * 60.0 + 0.5);
    int code = -1;
    std::string out =
        runHarness("--mode 2 --frames " + std::to_string(frames) + " " + args + dumpEvery(step, frames), &code);
    EXPECT_EQ(code, 0) << args;
    return parseDumps(out);
}

// The last dump still in the game, and the first one after it (the dump list's end when none).
static size_t lastInGame(const std::vector<HarnessDump>& dumps)
{
    size_t i = 0;
    while (i + 1 < dumps.size() && dumps[i + 1].num("mode") == 2)
        i++;
    return i;
}

// A player who swoops blindly once a second and flaps after each swoop.
static std::string blindSwooperScript()
{
    std::string keys;
    char line[128];
    for (int t = 1; t < 300; t++) {
        snprintf(line, sizeof line, "%d press space\n%d.4 release space\n%d.5 press up\n%d.55 release up\n", t, t, t,
                 t);
        keys += line;
    }
    return testWriteFile("blind.txt", std::vector<uint8_t>(keys.begin(), keys.end()));
}

//---- The whole game

TEST(WholeGame, TheAutopilotPlaysThreeHundredSecondsToTheEnding)
{
    // Every half second, and every frame around the end.
    std::string end;
    for (long f = 17990; f <= 18010; f++)
        end += " --dump-at " + std::to_string(f);
    std::vector<HarnessDump> dumps = playGame("--autopilot --seed 2" + end, 301.0, 30);
    size_t last = lastInGame(dumps);
    ASSERT_LT(last + 1, dumps.size()) << "the game never ended";
    const HarnessDump& after = dumps[last + 1];

    // It ends on the first frame past 300 s of play, in the ending, not in game over.
    EXPECT_EQ(after.num("mode"), 4);
    EXPECT_GT(after.num("gameTime"), 300.0);
    EXPECT_GT(dumps[last].num("gameTime"), 299.9);
    EXPECT_LE(dumps[last].num("gameTime"), 300.0);
    for (size_t i = 1; i <= last; i++)
        ASSERT_GE(dumps[i].num("score"), dumps[i - 1].num("score")) << "frame " << dumps[i].text("frame");

    // 33 level steps: the street at 478 px/s with 35 pigeons, 10 citizens and 6 lamps in play.
    EXPECT_GT(after.num("swoopLevel"), 3);
    EXPECT_EQ(after.num("levelSpeed"), 478);
    EXPECT_EQ(after.num("pigeons"), 35);
    EXPECT_EQ(after.num("citizens"), 10);
    EXPECT_EQ(after.num("lamps"), 6);
}

TEST(WholeGame, TheAutopilotScoresAndOutlivesDoingNothingOrSwoopingBlindly)
{
    std::vector<HarnessDump> pilot = playGame("--autopilot --seed 1", 300.0, 5);
    std::vector<HarnessDump> idle = playGame("--seed 1", 300.0, 5);
    std::vector<HarnessDump> blind = playGame("--seed 1 --script " + blindSwooperScript(), 300.0, 5);
    ASSERT_FALSE(pilot.empty() || idle.empty() || blind.empty());
    const HarnessDump& p = pilot[lastInGame(pilot)];
    const HarnessDump& i = idle[lastInGame(idle)];
    const HarnessDump& b = blind[lastInGame(blind)];

    // Doing nothing strikes no pigeon; the pilot strikes many more than the blind swooper.
    EXPECT_EQ(i.num("pigeonsStruck"), 0);
    EXPECT_GT(p.num("pigeonsStruck"), 5 * b.num("pigeonsStruck"));
    EXPECT_GT(p.num("score"), 10 * i.num("score"));
    EXPECT_GT(p.num("score"), 10 * b.num("score"));

    // An idle owl bounces along the street under the lamp heads and never dies; the pilot ends
    // with as many lives, and meets a lamp far less often than the blind swooper.
    EXPECT_EQ(countDeaths(idle), 0);
    EXPECT_GE(p.num("lives"), i.num("lives"));
    EXPECT_GT(countDeaths(blind), 5);
    EXPECT_LT(countDeaths(pilot) * 5, countDeaths(blind));
}

TEST(WholeGame, APauseStopsTheClockTheMusicAndThePilot)
{
    // Paused from 10 s to 30 s of virtual time: the game ends after 320 s, not 300.
    std::vector<HarnessDump> dumps = playGame(
        "--autopilot --seed 2 --key '10 press p' --key '10.1 release p' --key '30 press p' --key '30.1 release p'",
        321.0, 30);
    auto at = [&](double seconds) -> const HarnessDump& {
        long frame = (long)(seconds * 60.0 + 0.5);
        for (const HarnessDump& d : dumps)
            if ((long)d.num("frame") == frame)
                return d;
        static const HarnessDump none;
        ADD_FAILURE() << "no dump at " << seconds << " s";
        return none;
    };
    const HarnessDump& early = at(15.0);
    const HarnessDump& late = at(29.5);
    EXPECT_EQ(early.num("paused"), 1);
    EXPECT_EQ(late.num("paused"), 1);
    for (const char* name : {"gameTime", "music", "owlX", "owlY", "moving", "score"})
        EXPECT_EQ(early.text(name), late.text(name)) << name;
    EXPECT_NEAR(early.num("gameTime"), 10.0, 0.05);

    EXPECT_EQ(at(35.0).num("paused"), 0);
    EXPECT_NEAR(at(35.0).num("gameTime"), 15.0, 0.05);
    EXPECT_EQ(at(319.5).num("mode"), 2);
    EXPECT_EQ(at(320.5).num("mode"), 4);
}
