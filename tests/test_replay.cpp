// Replays: a recording played back through the engine hands the game what it recorded; every kind
// of bad file gets its own answer; the harness replays a run to the same state, byte for byte,
// and the harness and the game refuse bad files with status 2 before anything plays.

#include "nux.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <cstdio>   // snprintf, fopen
#include <fstream>  // reading the files written
#include <sstream>  // whole files into strings
#include <string>
#include <vector>

//---- A game of our own behind the hooks

static int flaps = 0;
static uint64_t fakeState = 0;

static int gameModeHook()
{
    return MODE_GAME;
}

static void flapHook()
{
    flaps++;
}

static uint64_t hashHook()
{
    return fakeState;
}

static void summaryHook(char* text, size_t size)
{
    snprintf(text, size, "flaps=%d", flaps);
}

static void useFakeGame()
{
    NUX_GameHooks hooks = {};
    hooks.mode = gameModeHook;
    hooks.flapUp = flapHook;
    hooks.stateHash = hashHook;
    hooks.summary = summaryHook;
    NUX_SetGameHooks(&hooks);
}

//---- Helpers

static std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One line of a replay with its checksum.
static std::string line(const std::string& content)
{
    char crc[16];
    snprintf(crc, sizeof crc, " #%08x\n", (unsigned)NUX_Crc32(content.data(), content.size()));
    return content + crc;
}

static const uint64_t PACK = 0x0123456789abcdefull;

// A small valid replay: two frames, a state hash after the first, the end.
static std::string validReplay(const std::string& format = "1")
{
    return line("DUNMARROW replay " + format) + line("game 1.0.0") + line("seed 7") + line("pack 0123456789abcdef") +
           line("f t0 m0 l14.5") + line("f t0.016666668 m0.016 +space -up focus") + line("h 1 1 00000000000000aa") +
           line("f t0.2 quit") + line("end 3 00000000000000bb score=1 lives=2 pigeons=3");
}

static NUX_ReplayStatus parse(const std::string& text, std::string* message = nullptr, uint64_t pack = PACK)
{
    char said[512] = "";
    NUX_ReplayStatus status = NUX_ParseReplay(text.data(), text.size(), pack, nullptr, said, sizeof said);
    if (message)
        *message = said;
    return status;
}

// One frame of a pretend run: the frame's keys, its clock and its music reads, as the shell's loop
// makes them. The state changes every frame, so each hash is a different one.
static float runFrame(int frame, float measured, bool live)
{
    if (live && frame % 50 == 10) {
        NUX_QueueKeyEvent(NUX_KEY_UP, 1);
        NUX_QueueKeyEvent(NUX_KEY_UP, 0);
    }
    NUX_InputUpdate();
    float dt = NUX_ReplayFrameTime(measured);
    NUX_GetMusicPosition();
    fakeState = 1000 + (uint64_t)frame;
    return dt;
}

//---- The engine's recording and replay

TEST(ReplayRecording, PlaysBackTheFrameTimesKeysAndStateItRecorded)
{
    useFakeGame();
    const std::string path = testTempDir() + "/engine.replay";
    char message[512] = "";
    ASSERT_TRUE(NUX_StartRecording(path.c_str(), "9.9", 42, message, sizeof message)) << message;
    flaps = 0;
    std::vector<float> recorded;
    for (int frame = 0; frame < 180; frame++)
        recorded.push_back(runFrame(frame, 0.01f + (float)frame * 0.0001f, true));
    const int recordedFlaps = flaps;
    NUX_StopRecording();
    ASSERT_EQ(recordedFlaps, 4);

    // Each line carries its checksum; the file ends with its end line, counting the frame before
    // the first update too.
    const std::string text = readText(path);
    EXPECT_EQ(text.rfind("DUNMARROW replay 1 #", 0), 0u) << text.substr(0, 80);
    EXPECT_NE(text.find("\nend 181 "), std::string::npos);
    EXPECT_NE(text.find(" flaps=4 #"), std::string::npos);

    for (int pass = 0; pass < 2; pass++) {
        ASSERT_EQ(NUX_LoadReplay(path.c_str(), message, sizeof message), NUX_REPLAY_OK) << message;
        EXPECT_EQ(NUX_GetReplayHeader().seed, 42u);
        EXPECT_STREQ(NUX_GetReplayHeader().game, "9.9");
        NUX_StartReplay(0);
        flaps = 0;
        for (int frame = 0; frame < 180; frame++) {
            float dt = runFrame(frame, 0.5f, false);
            EXPECT_EQ(dt, recorded[(size_t)frame]) << "frame " << frame;
            if (pass == 1 && frame >= 120)
                fakeState = 7;  // the second pass goes its own way after frame 120
        }
        EXPECT_EQ(flaps, recordedFlaps) << "the recorded keys, and no live ones";
        FILE* report = tmpfile();
        int result = NUX_FinishReplay(report);
        rewind(report);
        char said[512] = "";
        size_t n = fread(said, 1, sizeof said - 1, report);
        said[n] = '\0';
        fclose(report);
        if (pass == 0) {
            EXPECT_EQ(result, 0) << said;
            EXPECT_NE(std::string(said).find("every state hash matched"), std::string::npos) << said;
        } else {
            EXPECT_EQ(result, 1) << said;
            // The first hash after the change: the play time passed a whole second after it.
            EXPECT_NE(std::string(said).find("first differed after frame 12"), std::string::npos) << said;
        }
        EXPECT_FALSE(NUX_IsReplaying());
    }
    // A run that ends before its record does (a quit the recorded run never had) is no match.
    ASSERT_EQ(NUX_LoadReplay(path.c_str(), message, sizeof message), NUX_REPLAY_OK) << message;
    NUX_StartReplay(0);
    for (int frame = 0; frame < 50; frame++)
        runFrame(frame, 0.5f, false);
    FILE* report = tmpfile();
    EXPECT_EQ(NUX_FinishReplay(report), 1);
    rewind(report);
    char said[512] = "";
    said[fread(said, 1, sizeof said - 1, report)] = '\0';
    fclose(report);
    EXPECT_NE(std::string(said).find("out of step at frame 50: the run ended there, before the 181 frames recorded"),
              std::string::npos)
        << said;
    exitFlag = 1;
    NUX_SetGameHooks(nullptr);
}

//---- The file's checks

TEST(ReplayFile, EveryKindOfFaultGetsItsOwnAnswer)
{
    const std::string good = validReplay();
    ASSERT_EQ(parse(good), NUX_REPLAY_OK);
    NUX_ReplayHeader header = NUX_GetReplayHeader();
    EXPECT_EQ(header.seed, 7u);
    EXPECT_EQ(header.frames, 3);
    EXPECT_EQ(header.pack, PACK);

    std::string flipped = good;
    flipped[flipped.find("m0.016")] = 'l';  // a bit changed in the second frame: line 6
    std::string unknownKey = good;
    unknownKey.replace(unknownKey.find(line("f t0.2 quit")), line("f t0.2 quit").size(), line("f t0.2 +tab"));
    std::string longFrame = good;
    longFrame.replace(longFrame.find(line("f t0.2 quit")), line("f t0.2 quit").size(), line("f t0.5"));
    std::string wrongHashFrame = good;
    wrongHashFrame.replace(wrongHashFrame.find(line("h 1 1 00000000000000aa")), line("h 1 1 00000000000000aa").size(),
                           line("h 1 2 00000000000000aa"));
    const std::string noEnd = good.substr(0, good.find("end "));
    const std::string cutLine = good.substr(0, good.size() - 12);
    const std::string crlf = line("DUNMARROW replay 1") + "game 1.0.0 #00000000\r\n";

    struct Case {
        const char* name;
        std::string text;
        NUX_ReplayStatus status;
        const char* says;
    } cases[] = {
        {"empty", "", NUX_REPLAY_FOREIGN, "is not a replay"},
        {"a picture", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), NUX_REPLAY_FOREIGN, "is not a replay"},
        {"a text", "hello\nworld\n", NUX_REPLAY_FOREIGN, "is not a replay"},
        {"newer format", validReplay("2"), NUX_REPLAY_NEWER, "replay format 2; this one reads 1"},
        {"a changed byte", flipped, NUX_REPLAY_DAMAGED, "damaged at line 6 (checksum)"},
        {"an unknown key", unknownKey, NUX_REPLAY_DAMAGED, "damaged at line 8 (frame)"},
        {"a frame time over the clamp", longFrame, NUX_REPLAY_DAMAGED, "damaged at line 8 (frame)"},
        {"a hash out of place", wrongHashFrame, NUX_REPLAY_DAMAGED, "damaged at line 7 (state hash)"},
        {"text after the end", good + line("f t0"), NUX_REPLAY_DAMAGED, "line 10 (text after the end line)"},
        {"carriage returns", crlf, NUX_REPLAY_DAMAGED, "damaged at line 2"},
        {"no end line", noEnd, NUX_REPLAY_TRUNCATED, "truncated after line 8"},
        {"a line cut short", cutLine, NUX_REPLAY_TRUNCATED, "truncated at line 9"},
        {"the header alone", good.substr(0, good.find("f t0 ")), NUX_REPLAY_TRUNCATED, "truncated"},
    };
    for (const Case& c : cases) {
        std::string said;
        EXPECT_EQ(parse(c.text, &said), c.status) << c.name << ": " << said;
        EXPECT_NE(said.find(c.says), std::string::npos) << c.name << ": " << said;
        EXPECT_EQ(NUX_GetReplayHeader().seed, 0u) << c.name << ": nothing of a refused file is kept";
    }
    std::string said;
    EXPECT_EQ(parse(good, &said, 0x42), NUX_REPLAY_OTHER_PACK);
    EXPECT_NE(said.find("another data pack (MANIFEST hash 0123456789abcdef, this pack's 0000000000000042)"),
              std::string::npos)
        << said;
}

TEST(ReplayFile, ChecksumIsZlibsCrc32)
{
    EXPECT_EQ(NUX_Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(NUX_Crc32("", 0), 0u);
}

//---- Through the programs

static std::string harness(const std::string& args, int* code)
{
    return testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness " + args + " 2>&1", code);
}

// The last line of the harness's dump that names field, with its value.
static std::string lastField(const std::string& dump, const std::string& field)
{
    size_t at = dump.rfind("\"" + field + "\": ");
    if (at == std::string::npos)
        return "none";
    at += field.size() + 4;
    return dump.substr(at, dump.find_first_of(",}", at) - at);
}

TEST(ReplayHarness, AReplayedRunEndsInTheRecordedStateByteForByte)
{
    // A whole run from the splash: the title, the prologue skipped, a game flown by the autopilot
    // with a pause in it, recorded by the harness; then replayed twice without the keys.
    const std::string dir = testTempDir();
    const std::string keys = dir + "/run.keys";
    std::ofstream(keys) << "9 press space\n9.1 release space\n12 press space\n12.1 release space\n"
                           "15 press space\n15.1 release space\n30 press p\n30.1 release p\n32 press p\n"
                           "32.1 release p\n";
    const std::string dumps = " --dump-at 600 --dump-at 1200 --dump-at 1800 --dump-at 2400";
    int code = -1;
    harness("--autopilot --seconds 45 --seed 9 --script " + keys + " --record " + dir + "/run.replay --out " + dir +
                "/recorded.json" + dumps,
            &code);
    ASSERT_EQ(code, 0);
    const std::string recorded = readText(dir + "/recorded.json");
    ASSERT_NE(lastField(recorded, "score"), "0") << "the autopilot scored: the run is a real game";

    std::string first, said;
    for (int pass = 0; pass < 2; pass++) {
        said = harness("--replay " + dir + "/run.replay --out " + dir + "/replayed.json" + dumps, &code);
        EXPECT_EQ(code, 0) << said;
        EXPECT_NE(said.find("every state hash matched (46)"), std::string::npos) << said;
        const std::string replayed = readText(dir + "/replayed.json");
        EXPECT_EQ(replayed, recorded) << "pass " << pass;
        if (pass == 0)
            first = replayed;
        else
            EXPECT_EQ(replayed, first) << "the same replay twice, the same bytes";
    }
    const std::string text = readText(dir + "/run.replay");
    const std::string summary = "score=" + lastField(recorded, "score") + " lives=" + lastField(recorded, "lives") +
                                " pigeons=" + lastField(recorded, "pigeonsStruck");
    EXPECT_NE(text.find(summary), std::string::npos) << summary;
    EXPECT_NE(said.find("replayed " + summary), std::string::npos) << said;

    // A key moved from one frame to the next (its checksum mended): the state goes its own way,
    // and the harness says after which frame.
    std::string moved;
    std::istringstream lines(text);
    bool done = false;
    for (std::string l; std::getline(lines, l);) {
        if (!done && l.find(" +space") != std::string::npos && l.find("f ") == 0) {
            std::string content = l.substr(0, l.rfind(" #"));
            content.erase(content.find(" +space"), 7);
            moved += line(content);
            std::getline(lines, l);
            moved += line(l.substr(0, l.rfind(" #")) + " +space");
            done = true;
            continue;
        }
        moved += l + "\n";
    }
    std::ofstream(dir + "/moved.replay") << moved;
    said = harness("--replay " + dir + "/moved.replay --out /dev/null", &code);
    EXPECT_EQ(code, 3) << said;
    EXPECT_NE(said.find("the state first differed after frame"), std::string::npos) << said;
}

TEST(ReplayHarness, BadFilesAreRefusedWithStatus2AndNothingPlays)
{
    const std::string dir = testTempDir();
    std::ofstream(dir + "/foreign.replay") << "just some text\n";
    std::ofstream(dir + "/newer.replay") << validReplay("7");
    std::ofstream(dir + "/cut.replay") << validReplay().substr(0, 120);
    std::string damaged = validReplay();
    damaged[damaged.find("t0.016666668")] = 'm';
    std::ofstream(dir + "/damaged.replay") << damaged;
    std::ofstream(dir + "/otherpack.replay") << validReplay();  // not this build's pack
    struct Case {
        const char* file;
        const char* says;
    } cases[] = {
        {"missing.replay", "cannot be read"},  {"foreign.replay", "is not a replay"},
        {"newer.replay", "newer game"},        {"cut.replay", "truncated"},
        {"damaged.replay", "damaged at line"}, {"otherpack.replay", "another data pack"},
    };
    for (const Case& c : cases) {
        const std::string path = dir + "/" + c.file;
        int code = -1;
        std::string said = harness("--replay " + path, &code);
        EXPECT_EQ(code, 2) << c.file << ": " << said;
        EXPECT_NE(said.find(std::string("harness: the replay ") + path + " "), std::string::npos) << said;
        EXPECT_NE(said.find(c.says), std::string::npos) << c.file << ": " << said;
        EXPECT_EQ(said.find("\"frame\""), std::string::npos) << c.file << ": nothing played";
        // The game answers the same before it opens a window.
        said = testRun("cd " DUNMARROW_BINARY_DIR " && DISPLAY= ./dunmarrow --replay " + path + " 2>&1", &code);
        EXPECT_EQ(code, 2) << c.file << ": " << said;
        EXPECT_NE(said.find(c.says), std::string::npos) << c.file << ": " << said;
    }
    // --any-pack plays a replay of another pack all the same: this one's hashes are not the game's.
    int code = -1;
    std::string said = harness("--replay " + dir + "/otherpack.replay --any-pack --out /dev/null", &code);
    EXPECT_EQ(code, 3) << said;
    EXPECT_NE(said.find("the state first differed after frame 1"), std::string::npos) << said;
    said = harness("--replay " + dir + "/foreign.replay --autopilot", &code);
    EXPECT_EQ(code, 2) << "a replay plays its own keys alone: " << said;
    // A recording that cannot be written says so at once rather than play unrecorded.
    said = harness("--record /dev/full --frames 5 --out /dev/null", &code);
    EXPECT_EQ(code, 1) << said;
    EXPECT_NE(said.find("cannot write the replay /dev/full"), std::string::npos) << said;
    said = testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow --record a --replay b 2>&1", &code);
    EXPECT_EQ(code, 2) << said;
}
