// Tests of the scenes around the game: the title and its high scores, the prologue, game over
// and the ending with its statistics and credits. Exact time bounds run with the scene's music
// file hidden, so that the stand-in clock makes the music position the sum of the frame times.

#include "main.h"
#include "pngLoad.h"
#include "scenes.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <algorithm>   // find
#include <cstdlib>     // abs, free, getenv
#include <cstring>     // strcmp
#include <filesystem>  // the data folder without its music
#include <functional>  // the files a pack leaves out
#include <fstream>     // an unreadable track
#include <vector>      // the files left out of a pack
#include <unistd.h>    // chdir

//---- Helpers

// A copy of the pack (links) without the files `skip` names, for running the game with music missing.
static std::string packWithout(const std::function<bool(const std::string&)>& skip)
{
    static int packs = 0;
    std::string dir = testTempDir() + "/pack" + std::to_string(++packs);
    std::filesystem::create_directories(dir + "/data");
    for (const auto& entry : std::filesystem::directory_iterator(DUNMARROW_BINARY_DIR "/data"))
        if (!skip(entry.path().filename().string()))
            std::filesystem::create_symlink(entry.path(), dir + "/data/" + entry.path().filename().string());
    return dir;
}

static std::string packWithout(const std::vector<std::string>& missing)
{
    return packWithout(
        [&](const std::string& name) { return std::find(missing.begin(), missing.end(), name) != missing.end(); });
}

//---- Fixture

class Scenes : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        testStartHeadless(true);
    }

    void SetUp() override
    {
        clearHighScoresForTest();
    }

    void TearDown() override
    {
        NUX_StopMusic();
        if (!home.empty() && chdir(home.c_str()) != 0)
            ADD_FAILURE() << "cannot return to " << home;
    }

    // From here on the scenes read data/ from a copy that lacks every scene's music (the short
    // cries stay), so each scene's music position is exactly the sum of the frame times given to it.
    void hideMusic()
    {
        home = std::filesystem::current_path().string();
        std::string dir = packWithout(
            [](const std::string& name) { return name.ends_with(".ogg") && name.find("hit") == std::string::npos; });
        ASSERT_EQ(chdir(dir.c_str()), 0);
    }

    // Frames of the main loop on the virtual clock (1/60 s each).
    static void runFrames(int frames)
    {
        for (int i = 0; i < frames; i++) {
            NUX_AdvanceVirtualClock();
            runMainFrame();
        }
    }

    std::string home;
};

//---- High scores

TEST_F(Scenes, OnlyAStrictlyHigherScoreReplacesTheHighScore)
{
    recordFinishedGame(0, 0);
    EXPECT_EQ(getHighScore(), 0) << "a game of 0 points sets nothing";
    recordFinishedGame(1200, 14);
    EXPECT_EQ(getHighScore(), 1200);
    EXPECT_EQ(getMostPigeons(), 14);
    recordFinishedGame(1200, 30);
    EXPECT_EQ(getMostPigeons(), 14) << "an equal score keeps the earlier game's pigeons";
    EXPECT_EQ(getLastScore(), 1200);
    EXPECT_EQ(getLastPigeons(), 30);
    recordFinishedGame(-5, 2);
    EXPECT_EQ(getHighScore(), 1200);
    EXPECT_EQ(getLastScore(), -5) << "the last score is always the last game";
}

//---- Title

TEST_F(Scenes, TitleLiftsItsVeilTurnsAndCalmsWhenTheMusicLoops)
{
    switchGameMode(MODE_TITLE);
    runIntro(0.0f);
    EXPECT_EQ(isIntroMusicPlaying(), 0) << "a frame without time does not start the music";
    runFrames(1);
    EXPECT_EQ(fadeInSprite->alpha, 1.0f) << "the veil is whole while the music is at 0";

    // 3.0 s into the brightening (from 2.5 s) the owl blinks for a tenth of a second.
    bool blinked = false;
    for (int i = 0; i < 60 * 7; i++) {
        runFrames(1);
        blinked = blinked || bigowlblink->sprite.alpha == 1.0f;
    }
    EXPECT_TRUE(blinked);
    EXPECT_LT(fadeInSprite->alpha, 0.02f) << "the veil has lifted";
    while (getIntroMusicElapsed() <= 24.4f)
        runFrames(1);
    EXPECT_EQ(getIntroTurned(), 1);
    EXPECT_EQ(bigowltwitch->sprite.alpha, 1.0f) << "the owl has stared, then twitches";
    EXPECT_EQ(skygradient->sprite.green, 0.6f);

    // The track loops: calm owl, blue sky, solid sky in front again (and fading at once).
    const float before = getIntroMusicElapsed();
    while (getIntroMusicElapsed() >= before)
        runFrames(1);
    EXPECT_EQ(getIntroTurned(), 0);
    EXPECT_EQ(bigowltwitch->sprite.alpha, 0.0f);
    EXPECT_EQ(skygradient->sprite.green, 1.0f);
    EXPECT_GT(skysolid->sprite.alpha, 0.9f);
}

TEST_F(Scenes, TitleWindowsHoldAtTheirExactBounds)
{
    hideMusic();
    switchGameMode(MODE_TITLE);
    runIntro(0.5f);  // starts the (stand-in) music
    for (int i = 0; i < 48; i++)
        runIntro(0.5f);
    ASSERT_EQ(getIntroMusicElapsed(), 24.0f);
    EXPECT_EQ(getIntroTurned(), 0) << "24.0 itself is not past the turn";
    EXPECT_EQ(bigowlstare->sprite.alpha, 0.0f);
    runIntro(0.25f);
    EXPECT_EQ(bigowlstare->sprite.alpha, 1.0f);
    EXPECT_EQ(space_help->sprite.alpha, 0.0f) << "hidden although its window is still open";
    runIntro(0.25f);
    EXPECT_EQ(bigowltwitch->sprite.alpha, 1.0f);
}

TEST_F(Scenes, ACloudWrapsOnlyOnceItsRightEdgeIsPastZero)
{
    hideMusic();
    switchGameMode(MODE_TITLE);
    runIntro(0.0f);  // no time: the clouds do not move
    // Find the first cloud: it is the image drawn right after the skyline.
    Image* cloud = (Image*)introScreen->items->items[6];
    ASSERT_GT(cloud->sprite.width, 0.0f);
    cloud->sprite.x = -cloud->sprite.width;
    runIntro(0.0f);
    EXPECT_EQ(cloud->sprite.x, -cloud->sprite.width) << "right edge exactly at 0 stays";
    runIntro(0.01f);
    EXPECT_GT(cloud->sprite.x, 900.0f) << "comes round beyond the right edge";
}

//---- Prologue

TEST_F(Scenes, PrologueStartsTheGameJustAfter37AndAHalfSeconds)
{
    switchGameMode(MODE_PROLOGUE);
    runPrologue(0.0f);
    EXPECT_EQ(flap2->sprite.alpha, 1.0f) << "a wave at exactly 0 shows the wings down";
    for (int i = 0; i < 8; i++)
        runPrologue(0.5f);
    EXPECT_EQ(getPrologueElapsed(), 4.0f);
    EXPECT_EQ(prologue_moon->sprite.alpha, 0.0f) << "the moon waits until past 4.0 s";
    EXPECT_EQ(prologue_moon->sprite.y, 190.0f);
    runPrologue(0.5f);
    EXPECT_FLOAT_EQ(prologue_moon->sprite.alpha, 0.05f);
    EXPECT_LT(prologue_moon->sprite.y, 190.0f);
    while (getPrologueElapsed() < 19.0f)
        runPrologue(0.5f);
    const float moonAt19 = prologue_moon->sprite.y;
    runPrologue(0.5f);
    EXPECT_EQ(prologue_moon->sprite.y, moonAt19) << "the moon stops after 19 s";
    EXPECT_LT(sunset->sprite.red, 1.0f) << "dusk darkens";

    while (getPrologueElapsed() < 37.5f)
        runPrologue(0.5f);
    EXPECT_EQ(getGameMode(), MODE_PROLOGUE) << "37.5 s exactly still runs";
    runPrologue(0.5f);
    EXPECT_EQ(getGameMode(), MODE_GAME);
}

TEST_F(Scenes, ProloguePagesWrapOnlyPastAWholeWidth)
{
    switchGameMode(MODE_PROLOGUE);
    prologue_skyline->sprite.x = -1024.0f + 40.0f * 0.5f;
    runPrologue(0.5f);
    EXPECT_EQ(prologue_skyline->sprite.x, -1024.0f) << "exactly -1024 is not moved";
    runPrologue(0.5f);
    EXPECT_EQ(prologue_skyline->sprite.x, -1044.0f + 2048.0f);
}

//---- Game over

TEST_F(Scenes, GameOverTiltsFromTheSecondFrameAndNarratesAt6Point3)
{
    hideMusic();
    switchGameMode(MODE_GAMEOVER);
    const float scrollBefore = getGameOverScroll();
    runGameOver(0.5f);
    EXPECT_EQ(getGameOverScroll(), scrollBefore) << "the first frame does not tilt";
    EXPECT_LT(fadeInEffect->alpha, 0.0f) << "the flash has gone";
    runGameOver(0.5f);
    EXPECT_FLOAT_EQ(getGameOverScroll(), interpolate(0.5f / 20.0f, 15));
    EXPECT_FLOAT_EQ(getGameOverElapsed(), 0.5f) << "the music position, one frame behind the clock";

    while (getGameOverClock() < 6.0f)
        runGameOver(0.5f);
    EXPECT_EQ(getGameOverNarrationPlayed(), 0);
    runGameOver(0.25f);
    runGameOver(0.05f);
    EXPECT_EQ(getGameOverNarrationPlayed(), getGameOverClock() >= 6.3f ? 1 : 0);
    runGameOver(0.05f);
    EXPECT_EQ(getGameOverNarrationPlayed(), 1);

    while (getGameOverClock() + 0.5f < 25.0f)
        runGameOver(0.5f);
    EXPECT_EQ(gameover->sprite.alpha, 0.0f);
    const float tilt = getGameOverScroll();
    runGameOver(0.5f);
    EXPECT_EQ(gameover->sprite.alpha, 1.0f) << "the closing words from 25 s";
    EXPECT_EQ(getGameOverScroll(), tilt) << "the tilt has ended";
    EXPECT_GT(tilt, 0.99f);
}

TEST_F(Scenes, GameOverPigeonsComeRoundOnlyPastTheirEdge)
{
    switchGameMode(MODE_GAMEOVER);
    Pigeon* near = &fgPigeons[0];
    Pigeon* far = &bgPigeons[0];
    near->speed = far->speed = 0.0f;
    for (float past : {0.0f, 0.5f}) {
        near->x = -70.0f - past;
        far->x = -50.0f - past;
        runGameOverPigeons(0.01f);
        EXPECT_EQ(near->x > 1100.0f, past > 0.0f) << "past the edge by " << past;
        EXPECT_EQ(far->x > 1100.0f, past > 0.0f) << "past the edge by " << past;
    }
    EXPECT_EQ(far->frame1->sprite.scaleX, 0.4f) << "the far flock keeps its size";
}

//---- Ending

TEST_F(Scenes, StatisticsLinesReadAsTheyShould)
{
    char lines[5][256];
    GameStats none = {};
    formatScoreStats(none, 3, lines);
    EXPECT_STREQ(lines[0], "Score: 0 points");
    EXPECT_STREQ(lines[1], "0 pigeons attacked");
    EXPECT_STREQ(lines[2], "0 humans hit with pigeons");
    EXPECT_STREQ(lines[3], "Best Swoop: 0.0 SEC");
    EXPECT_STREQ(lines[4], "0 Pigeon Strike") << "a swoop of no pigeons still has its line";

    GameStats good = {48150, 212, 9, 12.0f, 6};
    formatScoreStats(good, 6, lines);
    EXPECT_STREQ(lines[3], "Best Swoop: 12.0 SEC");
    EXPECT_STREQ(lines[4], "6 Pigeon Combo");
    good.longestSwoop = 3.26f;
    formatScoreStats(good, 0, lines);
    EXPECT_STREQ(lines[3], "Best Swoop: 3.3 SEC");
    EXPECT_STREQ(lines[4], "6 Pigeon Attack");

    // Entering the ending writes the finished game's lines and one of the seven words.
    switchGameMode(MODE_GAMEBEAT);
    EXPECT_STREQ(getStatText(0), "Score: 0 points");
    bool named = false;
    for (int i = 0; i < 7; i++)
        named = named || strcmp(getStatText(4) + 2, comboWords[i]) == 0;
    EXPECT_TRUE(named) << getStatText(4);
}

TEST_F(Scenes, StatisticsLinesFadeInsideHalfOpenWindows)
{
    switchGameMode(MODE_GAMEBEAT);
    beatMusicElapsed = 0.5f;
    updateScoreStats(0.25f);
    EXPECT_EQ(scoreText->sprite.alpha, 0.25f) << "0.5 opens the score line";
    beatMusicElapsed = 3.0f;
    updateScoreStats(0.25f);
    EXPECT_FLOAT_EQ(scoreText->sprite.alpha, 0.05f) << "3.0 closes it";
    beatMusicElapsed = 12.4f;
    updateScoreStats(0.5f);
    EXPECT_EQ(swoopText->sprite.alpha, 0.5f);
    EXPECT_EQ(pigeonSwoopText->sprite.alpha, 0.5f) << "the best swoop under the longest";
}

TEST_F(Scenes, EndingFollowsItsMusicAtTheExactBounds)
{
    hideMusic();
    switchGameMode(MODE_GAMEBEAT);
    EXPECT_EQ(gameBeatFadeIn->alpha, 1.0f);
    runGameBeat(0.5f);  // starts the (stand-in) music
    auto runTo = [](float m) {
        while (getBeatMusicElapsed() < m)
            runGameBeat(0.5f);
        return getBeatMusicElapsed();
    };
    ASSERT_EQ(runTo(9.0f), 9.0f);
    EXPECT_EQ(swooping->sprite.alpha, 0.0f) << "at 9 exactly the owl still flies in";
    runGameBeat(0.5f);
    EXPECT_EQ(swooping->sprite.alpha, 1.0f);

    runTo(15.0f);
    EXPECT_EQ(closeup_citizen->sprite.alpha, 0.0f);
    runTo(15.5f);
    EXPECT_EQ(closeup_citizen->sprite.alpha, 1.0f);
    runTo(21.5f);
    EXPECT_EQ(closeup_background->sprite.alpha, 1.0f) << "21.5 still shows the close-up";
    runTo(22.0f);
    EXPECT_FLOAT_EQ(closeup_background->sprite.alpha, 1.0f - 0.45f * 0.5f);
    EXPECT_EQ(lampbeat->sprite.y, 210.0f) << "the look-up starts at 22";
    runTo(30.0f);
    EXPECT_FLOAT_EQ(lampbeat->sprite.y, 770.0f) << "and is whole at 30";
    runTo(30.5f);
    EXPECT_EQ(getEndingPhase(), ENDING_SCENE) << "30.5 exactly is not yet the credits";
    runTo(31.0f);
    EXPECT_EQ(getEndingPhase(), ENDING_CREDITS);
    const float lampY = lampbeat->sprite.y;

    // The credits: title first, then the four credits on the next pass of the music.
    int frames = 0;
    while (getEndingPhase() != ENDING_FINISHED && frames++ < 200)
        runGameBeat(0.5f);
    EXPECT_EQ(getEndingPhase(), ENDING_FINISHED);
    EXPECT_FLOAT_EQ(getBeatMusicElapsed(), 33.5f) << "complete past 33.2 s of the second pass";
    EXPECT_EQ(getRanCredits(), 1);
    EXPECT_EQ(lampbeat->sprite.y, lampY) << "the scene stands still under the credits";
    EXPECT_GT(gameBeatFadeIn->alpha, 1.0f) << "faded to black";

    // Back to the title once the music has looped past its first second.
    while (getGameMode() == MODE_GAMEBEAT && frames++ < 400)
        runGameBeat(0.5f);
    EXPECT_EQ(getGameMode(), MODE_TITLE);
    EXPECT_FLOAT_EQ(getBeatMusicElapsed(), 1.5f);
}

TEST_F(Scenes, CreditsCompleteAtTheLoopWhenTheTrackIsShort)
{
    switchGameMode(MODE_GAMEBEAT);
    endingRan = ENDING_CREDITS;
    beatMusicElapsed = 15.0f;
    runCredits(0.1f);
    EXPECT_EQ(getRanCredits(), 0) << "15.0 exactly does not yet show the voices";
    beatMusicElapsed = 15.1f;
    runCredits(0.1f);
    EXPECT_EQ(getRanCredits(), 1);
    beatMusicElapsed = 29.0f;
    runCredits(0.1f);
    EXPECT_EQ(getEndingPhase(), ENDING_CREDITS);
    // A track shorter than 33.2 s loops: the first frame below 1 s completes the credits.
    beatMusicElapsed = 0.02f;
    runCredits(0.1f);
    EXPECT_EQ(getEndingPhase(), ENDING_FINISHED);
}

//---- Subtitles

// The narrator's lines as --subtitles shows them: nothing at all unless asked for; then each line
// whole while it is spoken, centred, inside the screen, a one-row line on the lower row, nothing
// between lines, and a fade rather than a jump where a line begins.
TEST_F(Scenes, SubtitlesShowEachLineOnlyWhileItIsSpoken)
{
    Screen* screen = NUX_CreateScreen();
    screen->visible = 0;
    Subtitles off;
    loadSubtitles(&off, screen, PROLOGUE_LINES, PROLOGUE_LINE_COUNT);
    showSubtitles(&off, 3.0f);
    EXPECT_EQ(screen->items->count, 0) << "subtitles are off unless the player asks";

    subtitlesShown = 1;
    for (const auto& [lines, count] :
         {std::pair{PROLOGUE_LINES, PROLOGUE_LINE_COUNT}, std::pair{GAMEOVER_LINES, GAMEOVER_LINE_COUNT}}) {
        Subtitles shown;
        loadSubtitles(&shown, screen, lines, count);
        Label* const* rows = shown.rows;
        showSubtitles(&shown, -1.0f);
        EXPECT_EQ(rows[0]->sprite.alpha + rows[1]->sprite.alpha + shown.band->alpha, 0.0f) << "before the voice";
        for (int i = 0; i < count; ++i) {
            const SpokenLine& line = lines[i];
            showSubtitles(&shown, line.start + 0.05f);
            EXPECT_GT(rows[1]->sprite.alpha, 0.0f) << line.rows[0];
            EXPECT_LT(rows[1]->sprite.alpha, 1.0f) << line.rows[0] << ": a line fades in";
            showSubtitles(&shown, (line.start + line.end) / 2.0f);
            const bool twoRows = line.rows[1][0] != 0;
            EXPECT_EQ(rows[1]->sprite.alpha, 1.0f) << line.rows[0];
            EXPECT_EQ(rows[0]->sprite.alpha, twoRows ? 1.0f : 0.0f) << line.rows[0];
            for (int r = twoRows ? 0 : 1; r < 2; ++r) {
                const char* words = twoRows ? line.rows[r] : line.rows[0];
                const int width = rows[r]->textWidth;
                EXPECT_GT(width, 20 * (int)strlen(words) / 3) << words << ": the row holds the words";
                EXPECT_LE(width, 1024 - 2 * 64) << words << ": too long for one row";
                EXPECT_NEAR(rows[r]->sprite.x + width / 2.0f, 512.0f, 1.0f) << words;
            }
            showSubtitles(&shown, line.end + 0.01f);
            EXPECT_EQ(rows[0]->sprite.alpha + rows[1]->sprite.alpha + shown.band->alpha, 0.0f) << "after " << i;
        }
    }
    subtitlesShown = 0;
}

//---- Through the harness, on the deterministic music clock

static std::string harness(const std::string& args, const std::string& dir = DUNMARROW_BINARY_DIR)
{
    return testRun("cd " + dir + " && " DUNMARROW_BINARY_DIR "/dunmarrow-harness " + args + " 2>/dev/null");
}

// The value of one field in the dump line of frame `frame` ("" when absent).
static std::string field(const std::string& dump, long frame, const std::string& name)
{
    size_t line = dump.find("{\"frame\": " + std::to_string(frame) + ",");
    if (line == std::string::npos)
        return "";
    size_t at = dump.find("\"" + name + "\": ", line);
    size_t end = dump.find_first_of(",}", at);
    if (at == std::string::npos || end == std::string::npos || dump.find('\n', line) < at)
        return "";
    at += name.size() + 4;
    return dump.substr(at, end - at);
}

TEST(ScenesHarness, SpaceLeavesEachSceneOnlyPastItsGate)
{
    // Title: not before its music has started (the first frame), then to the prologue.
    EXPECT_EQ(field(harness("--mode 0 --dt 0.25 --frames 3 --key '0.25 press space'"), 3, "mode"), "0");
    EXPECT_EQ(field(harness("--mode 0 --dt 0.25 --frames 3 --key '0.5 press space'"), 3, "mode"), "1");
    // Game over: the music must be past 0.88 s (the key sees the previous frame's position).
    EXPECT_EQ(field(harness("--mode 3 --dt 0.001 --frames 890 --key '0.882 press space'"), 890, "mode"), "3");
    EXPECT_EQ(field(harness("--mode 3 --dt 0.001 --frames 890 --key '0.883 press space'"), 890, "mode"), "0");
    // Ending: past 2.0 s of its own clock; 2.0 exactly is not enough.
    EXPECT_EQ(field(harness("--mode 4 --dt 0.125 --frames 20 --key '2.125 press space'"), 20, "mode"), "4");
    EXPECT_EQ(field(harness("--mode 4 --dt 0.125 --frames 20 --key '2.25 press space'"), 20, "mode"), "0");
}

TEST(ScenesHarness, NothingWaitsForeverWhenTheMusicIsMissing)
{
    std::string quiet = packWithout({"sorvelinn.ogg", "titular.ogg", "tombrider.ogg", "moltin.ogg"});
    // The splash ends by itself and the title plays its timeline on its own clock.
    std::string out = harness("--seconds 45 --dump-at 1500 --dump-at 2300", quiet);
    EXPECT_EQ(field(out, 1500, "splashOver"), "1") << out;
    EXPECT_EQ(field(out, 1500, "mode"), "0");
    EXPECT_EQ(field(out, 2300, "introTurned"), "1") << "the title still turns at 24 s";
    // Game over: Space leaves once the stand-in music is past 0.88 s; the dump stays clean JSON.
    out = harness("--mode 3 --seconds 2 --key '1.5 press space'", quiet);
    EXPECT_EQ(field(out, 120, "mode"), "0") << out;
    EXPECT_EQ(out.rfind("[\n{", 0), 0u) << out;
    out = harness("--mode 1 --seconds 1", packWithout({"revelations.ogg"}));
    EXPECT_EQ(out.rfind("[\n{", 0), 0u) << out;
    // The ending reaches its credits and the title, also when its track is unreadable.
    std::string unreadable = packWithout({"moltin.ogg"});
    std::ofstream(unreadable + "/data/moltin.ogg") << "not a sound file at all";
    for (const std::string& dir : {quiet, unreadable}) {
        out = harness("--mode 4 --seconds 80 --dump-at 1860", dir);
        EXPECT_EQ(field(out, 1860, "endingPhase"), "1") << out;
        EXPECT_EQ(field(out, 4800, "mode"), "0") << out;
    }
}

//---- Pictures: the scenes as a player sees them, against small stored references

// Each reference is the screenshot averaged over 16 x 16 blocks (64 x 48 RGB), stored in
// tests/reference/. After a deliberate change of the pictures, look at the new screenshots and
// then rewrite the references with DUNMARROW_UPDATE_REFERENCES=1 (see README.md).
static const int BLOCK = 16, SMALL_W = 1024 / BLOCK, SMALL_H = 768 / BLOCK;

// RGB averages over block x block squares of an RGBA picture stored bottom row first, top row first.
static std::vector<int> shrink(const unsigned char* rgba, uint32_t width, uint32_t height, uint32_t block)
{
    std::vector<int> small(SMALL_W * SMALL_H * 3, 0);
    for (uint32_t y = 0; y < height; y++)
        for (uint32_t x = 0; x < width; x++)
            for (int c = 0; c < 3; c++)
                small[((y / block) * SMALL_W + x / block) * 3 + c] += rgba[((height - 1 - y) * width + x) * 4 + c];
    for (int& v : small)
        v /= block * block;
    return small;
}

// Runs the harness in a window on mode `mode` at 5 frames a second and compares each shot.
static void checkPictures(int mode, const std::vector<std::pair<int, std::string>>& shots)
{
    int found = 0;
    testRun("test -n \"$DISPLAY\"", &found);
    if (found != 0)
        GTEST_SKIP() << "needs a display";
    std::string args =
        "--window --dt 0.2 --mode " + std::to_string(mode) + " --frames " + std::to_string(shots.back().first);
    for (const auto& shot : shots)
        args += " --screenshot " + std::to_string(shot.first) + ":" + testTempDir() + "/" + shot.second;
    harness(args);
    const bool update = getenv("DUNMARROW_UPDATE_REFERENCES") != nullptr;
    for (const auto& shot : shots) {
        uint32_t w = 0, h = 0;
        unsigned char* pixels = nullptr;
        ASSERT_EQ(pngLoad((testTempDir() + "/" + shot.second).c_str(), &w, &h, &pixels), PNGLOAD_OK) << shot.second;
        ASSERT_EQ(w, 1024u);
        ASSERT_EQ(h, 768u);
        std::vector<int> seen = shrink(pixels, w, h, BLOCK);
        free(pixels);
        const std::string reference = DUNMARROW_SOURCE_DIR "/tests/reference/" + shot.second;
        if (update) {
            std::vector<unsigned char> bytes(seen.begin(), seen.end());
            ASSERT_EQ(pngSave(reference.c_str(), SMALL_W, SMALL_H, 3, bytes.data()), 1);
            continue;
        }
        ASSERT_EQ(pngLoad(reference.c_str(), &w, &h, &pixels), PNGLOAD_OK) << reference;
        ASSERT_EQ(w, (uint32_t)SMALL_W);
        std::vector<int> expected = shrink(pixels, SMALL_W, SMALL_H, 1);
        free(pixels);
        long total = 0;
        int worst = 0, worstAt = 0;
        for (size_t i = 0; i < seen.size(); i++) {
            const int off = std::abs(seen[i] - expected[i]);
            total += off;
            if (off > worst)
                worst = off, worstAt = (int)i / 3;
        }
        EXPECT_LE(total / (double)seen.size(), 4.0) << shot.second << ": the picture differs overall";
        EXPECT_LE(worst, 64) << shot.second << ": block (" << worstAt % SMALL_W << ", " << worstAt / SMALL_W
                             << ") differs by " << worst;
    }
}

TEST(ScenesPictures, EachSceneMatchesItsReferences)
{
    checkPictures(MODE_TITLE, {{25, "title-5s.png"}, {125, "title-25s.png"}});
    checkPictures(MODE_PROLOGUE, {{100, "prologue-20s.png"}});
    checkPictures(MODE_GAMEOVER, {{50, "gameover-10s.png"}});
    checkPictures(MODE_GAMEBEAT, {{25, "ending-5s.png"}, {85, "ending-17s.png"}});
}

// With --subtitles, the words sit in the band at the foot of the prologue and the game over
// while the narrator speaks them, and nowhere at other times: pixels near the words' colour
// counted in the band, at 5 frames a second.
TEST(ScenesPictures, SubtitlesAppearAtTheFootWhileTheNarratorSpeaks)
{
    int found = 0;
    testRun("test -n \"$DISPLAY\"", &found);
    if (found != 0)
        GTEST_SKIP() << "needs a display";
    auto wordPixels = [](const std::string& shot) {
        uint32_t w = 0, h = 0;
        unsigned char* pixels = nullptr;
        if (pngLoad(shot.c_str(), &w, &h, &pixels) != PNGLOAD_OK || w != 1024 || h != 768)
            return -1;
        int count = 0;
        for (uint32_t y = 684; y < 750; y++)
            for (uint32_t x = 0; x < w; x++) {
                const unsigned char* p = pixels + ((h - 1 - y) * w + x) * 4;
                count += p[0] > 200 && p[1] > 190 && p[2] > 160;
            }
        free(pixels);
        return count;
    };
    const std::string dir = testTempDir();
    // The prologue's voice starts at 1 s: frame 43 falls between its first two lines, frame 75
    // in the middle of the third. The game over's starts at 6.3 s: frame 46 is mid-line.
    harness("--window --subtitles --dt 0.2 --mode 1 --frames 75 --screenshot 43:" + dir +
            "/gap.png --screenshot 75:" + dir + "/line.png");
    harness("--window --subtitles --dt 0.2 --mode 3 --frames 46 --screenshot 25:" + dir +
            "/before.png --screenshot 46:" + dir + "/over.png");
    harness("--window --dt 0.2 --mode 1 --frames 75 --screenshot 75:" + dir + "/plain.png");
    EXPECT_GT(wordPixels(dir + "/line.png"), 1000) << "two rows of words";
    EXPECT_GT(wordPixels(dir + "/over.png"), 1000) << "two rows of words";
    EXPECT_EQ(wordPixels(dir + "/gap.png"), 0);
    EXPECT_EQ(wordPixels(dir + "/before.png"), 0);
    EXPECT_EQ(wordPixels(dir + "/plain.png"), 0) << "without --subtitles";
}

//---- Drawing order

// Each scene's screen draws its items in the order its load adds them: skies first, the veil or
// flash on top.
TEST_F(Scenes, EveryScreenDrawsItsItemsInItsListsOrder)
{
    const std::vector<DrawnItem> titleOrder = {{&skygradient->sprite, "sky gradient"},
                                               {&attack_help->sprite, "attack help"},
                                               {&swoop_help->sprite, "swoop help"},
                                               {&space_help->sprite, "space help"},
                                               {&skysolid->sprite, "solid sky"},
                                               {&bigowl->sprite, "owl"},
                                               {&bigowlblink->sprite, "owl blinking"},
                                               {&bigowlstare->sprite, "owl staring"},
                                               {&bigowltwitch->sprite, "owl twitching"},
                                               {&title->sprite, "title"},
                                               {&highScoreLabel->sprite, "high score"},
                                               {&lastScoreLabel->sprite, "last score"},
                                               {fadeInSprite, "veil"}};
    EXPECT_EQ(testDrawOrder(introScreen, titleOrder), "") << "the title";

    const std::vector<DrawnItem> prologueOrder = {{&sunset->sprite, "sky"},
                                                  {&prologue_moon->sprite, "moon"},
                                                  {&prologue_skyline->sprite, "skyline 1"},
                                                  {&prologue_skyline2->sprite, "skyline 2"},
                                                  {&trees->sprite, "trees 1"},
                                                  {&trees2->sprite, "trees 2"},
                                                  {&flap1->sprite, "owl frame 1"},
                                                  {&flap2->sprite, "owl frame 2"}};
    EXPECT_EQ(testDrawOrder(prologueScreen, prologueOrder), "") << "the prologue";

    std::vector<DrawnItem> overOrder = {{&bgPigeons[0].frame1->sprite, "far pigeon 0"},
                                        {&bgPigeons[149].frame2->sprite, "far pigeon 149"},
                                        {&skyline2->sprite, "skyline"},
                                        {&fgPigeons[0].frame1->sprite, "near pigeon 0"},
                                        {&frontcity->sprite, "city"},
                                        {&lamp->sprite, "lamp posts"},
                                        {&fgPigeons[69].frame2->sprite, "near pigeon 69"},
                                        {&citizen->sprite, "citizen"},
                                        {&bushes->sprite, "bushes"},
                                        {&gameover->sprite, "the end"},
                                        {fadeInEffect, "veil"}};
    EXPECT_EQ(testDrawOrder(gameOverScreen, overOrder), "") << "game over";

    const std::vector<DrawnItem> endingOrder = {{&skyblue->sprite, "blue sky"},
                                                {&skydark->sprite, "dark sky"},
                                                {&skylinebeat->sprite, "skyline 1"},
                                                {&skylinebeat2->sprite, "skyline 2"},
                                                {&city->sprite, "city 1"},
                                                {&city2->sprite, "city 2"},
                                                {&bigcitizen->sprite, "citizen"},
                                                {&bigcitizen2->sprite, "citizen 2"},
                                                {&lampbeat->sprite, "lamp"},
                                                {&bigflap1->sprite, "owl frame 1"},
                                                {&bigflap2->sprite, "owl frame 2"},
                                                {&swooping->sprite, "owl swooping"},
                                                {&bushbeat->sprite, "bush 1"},
                                                {&bushbeat2->sprite, "bush 2"},
                                                {&scoreText->sprite, "score line"},
                                                {&pigeonText->sprite, "pigeons line"},
                                                {&humanText->sprite, "humans line"},
                                                {&swoopText->sprite, "swoop line"},
                                                {&pigeonSwoopText->sprite, "best swoop line"},
                                                {&closeup_background->sprite, "close-up"},
                                                {&closeup_citizen->sprite, "close-up citizen"},
                                                {&bigtitle->sprite, "credits title"},
                                                {&programming->sprite, "programming credit"},
                                                {&art->sprite, "art credit"},
                                                {&music->sprite, "music credit"},
                                                {&voices->sprite, "voices credit"},
                                                {gameBeatFadeIn, "veil"}};
    EXPECT_EQ(testDrawOrder(gameBeatScreen, endingOrder), "") << "the ending";

    const std::vector<DrawnItem> splashOrder = {
        {&branding->sprite, "branding"}, {&leadership->sprite, "leadership"},  {&eyewear->sprite, "eyewear"},
        {&bananas->sprite, "bananas"},   {&vorn_glow->sprite, "logo glowing"}, {&vorn_plain->sprite, "logo"},
        {sorvelEffect, "flash"}};
    EXPECT_EQ(testDrawOrder(sorvelScreen, splashOrder), "") << "the splash";
}
