// Expected dumps: the short key scripts in tests/dumps/ run through the real harness, each dump
// compared byte for byte with the one stored beside its script, naming the first frame and field
// that differ. DUNMARROW_UPDATE_DUMPS=1 rewrites the stored dumps instead (see README).

#include "harness_dumps.h"  // runHarness, parseDumps, HarnessDump

#include <gtest/gtest.h>
#include <algorithm>   // sort
#include <cctype>      // isalnum: test names from file names
#include <cstdlib>     // getenv
#include <filesystem>  // the scripts in tests/dumps/
#include <fstream>     // reading and rewriting the stored dumps
#include <iostream>    // cout: what an update rewrote
#include <sstream>     // whole files into strings
#include <string>
#include <vector>

//---- Types

// One script: its name (the file name without .keys), its path and the harness options written
// in its `# harness:` lines.
struct DumpCase {
    std::string name;
    std::string keys;
    std::string args;
};

// How a failing case names itself in GoogleTest's output.
static void PrintTo(const DumpCase& c, std::ostream* out)
{
    *out << c.name;
}

//---- Helpers

static const std::string DUMPS_DIR = DUNMARROW_SOURCE_DIR "/tests/dumps";

static std::string readText(const std::string& path, bool* found = nullptr)
{
    std::ifstream in(path, std::ios::binary);
    if (found)
        *found = (bool)in;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

static std::string expectedPath(const DumpCase& c)
{
    return DUMPS_DIR + "/" + c.name + ".expected";
}

// Every tests/dumps/*.keys in name order. A `# harness: OPTIONS` line is a comment to the
// harness's script reader, so the options live in the script they belong to.
static std::vector<DumpCase> listCases()
{
    std::vector<DumpCase> cases;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(DUMPS_DIR, ec)) {
        if (entry.path().extension() != ".keys")
            continue;
        DumpCase c{entry.path().stem().string(), entry.path().string(), ""};
        std::istringstream lines(readText(c.keys));
        const std::string marker = "# harness:";
        for (std::string line; std::getline(lines, line);)
            if (line.rfind(marker, 0) == 0)
                c.args += line.substr(marker.size()) + " ";
        // A replay stored beside its script is named as {dumps}/NAME.replay, wherever the run starts.
        for (size_t at; (at = c.args.find("{dumps}")) != std::string::npos;)
            c.args.replace(at, 7, DUMPS_DIR);
        cases.push_back(c);
    }
    std::sort(cases.begin(), cases.end(), [](const DumpCase& a, const DumpCase& b) { return a.name < b.name; });
    return cases;
}

static std::string harnessArgs(const DumpCase& c)
{
    return c.args + "--script '" + c.keys + "'";
}

// "" when the two dumps are the same byte for byte; otherwise the first difference, as
// "NAME: frame F, field X: expected A, got B".
static std::string firstDifference(const std::string& name, const std::string& expected, const std::string& got)
{
    if (expected == got)
        return "";
    std::vector<HarnessDump> want = parseDumps(expected), have = parseDumps(got);
    for (size_t i = 0; i < want.size() && i < have.size(); i++) {
        const HarnessDump &w = want[i], &h = have[i];
        const std::string at = name + ": frame " + w.text("frame");
        if (h.text("frame") != w.text("frame"))
            return name + ": dump " + std::to_string(i + 1) + ": expected frame " + w.text("frame") + ", got frame " +
                   h.text("frame");
        for (const std::string& field : w.names)
            if (!h.has(field.c_str()) || h.text(field.c_str()) != w.text(field.c_str()))
                return at + ", field " + field + ": expected " + w.text(field.c_str()) + ", got " +
                       (h.has(field.c_str()) ? h.text(field.c_str()) : "no such field");
        for (const std::string& field : h.names)
            if (!w.has(field.c_str()))
                return at + ", field " + field + ": not expected, got " + h.text(field.c_str());
    }
    if (want.size() != have.size())
        return name + ": expected " + std::to_string(want.size()) + " dumped frames, got " +
               std::to_string(have.size());
    return name + ": the same fields and values written differently";
}

// The environment prefix for a German locale (a decimal comma, dates and names in German): the
// system's own if it has one, else one compiled into the test's folder. Empty when neither exists.
static std::string germanLocale()
{
    int code = -1;
    testRun("locale -a 2>/dev/null | grep -qix 'de_DE.utf-\\?8'", &code);
    if (code == 0)
        return "LC_ALL=de_DE.UTF-8";
    const std::string dir = testTempDir() + "/locales";
    testRun("mkdir -p '" + dir + "' && localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1", &code);
    if (code == 0)
        return "LOCPATH='" + dir + "' LC_ALL=de_DE.UTF-8";
    return "";
}

//---- The stored dumps

class ExpectedDumps : public testing::TestWithParam<DumpCase> {};

TEST_P(ExpectedDumps, MatchTheHarness)
{
    const DumpCase& c = GetParam();
    int code = -1;
    std::string got = runHarness(harnessArgs(c), &code);
    ASSERT_EQ(code, 0) << c.name << ": the harness failed with " << harnessArgs(c) << "\n" << got;
    if (getenv("DUNMARROW_UPDATE_DUMPS")) {
        std::ofstream(expectedPath(c), std::ios::binary) << got;
        std::cout << "rewrote " << expectedPath(c) << ": check it by hand before committing it\n";
        return;
    }
    bool found = false;
    std::string expected = readText(expectedPath(c), &found);
    ASSERT_TRUE(found) << c.name << ": no " << expectedPath(c)
                       << "; write it with DUNMARROW_UPDATE_DUMPS=1 and check it by hand";
    std::string difference = firstDifference(c.name, expected, got);
    if (!difference.empty())
        ADD_FAILURE() << difference;
}

static std::string caseName(const testing::TestParamInfo<DumpCase>& info)
{
    std::string name = info.param.name;
    for (char& ch : name)
        if (!isalnum((unsigned char)ch))
            ch = '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Scripts, ExpectedDumps, testing::ValuesIn(listCases()), caseName);

TEST(ExpectedDumpsEnvironment, TheSameFromAnotherFolderInAnotherLocaleAndTimeZone)
{
    // The harness started by its full path from an empty folder, in German and in a time zone
    // 12 h 45 min off UTC: every stored dump still matches, byte for byte.
    const std::string locale = germanLocale();
    if (locale.empty())
        std::cout << "no German locale here: the run changes the folder and the time zone only\n";
    const std::vector<DumpCase> cases = listCases();
    ASSERT_FALSE(cases.empty());
    const std::string elsewhere = testTempDir() + "/elsewhere";
    std::filesystem::create_directories(elsewhere);
    for (const DumpCase& c : cases) {
        int code = -1;
        std::string got = testRun("cd '" + elsewhere + "' && env " + locale + " LANG=de_DE.UTF-8 TZ=Pacific/Chatham " +
                                      DUNMARROW_BINARY_DIR "/dunmarrow-harness " + harnessArgs(c) + " 2>/dev/null",
                                  &code);
        ASSERT_EQ(code, 0) << c.name;
        std::string difference = firstDifference(c.name, readText(expectedPath(c)), got);
        if (!difference.empty())
            ADD_FAILURE() << difference;
    }
}

//---- The comparison

TEST(ExpectedDumpsComparison, NamesTheFirstFrameAndFieldThatDiffer)
{
    const std::string expected = "[\n{\"frame\": 300, \"mode\": 2, \"score\": 1234, \"line\": \"HIGH SCORE\"},\n"
                                 "{\"frame\": 600, \"mode\": 2, \"score\": 1234, \"line\": \"HIGH SCORE\"}\n]\n";
    auto changed = [&](const std::string& from, const std::string& to, size_t after = 0) {
        std::string text = expected;
        return text.replace(text.find(from, after), from.size(), to);
    };
    const size_t second = expected.find("600");
    EXPECT_EQ(firstDifference("game", expected, expected), "");
    EXPECT_EQ(firstDifference("game", expected, changed("1234", "1240", second)),
              "game: frame 600, field score: expected 1234, got 1240");
    EXPECT_EQ(firstDifference("game", expected, changed(", \"score\": 1234", "")),
              "game: frame 300, field score: expected 1234, got no such field");
    EXPECT_EQ(firstDifference("game", expected, changed("2, \"score", "2, \"lives\": 5, \"score")),
              "game: frame 300, field lives: not expected, got 5");
    EXPECT_EQ(firstDifference("game", expected, changed("600", "601")),
              "game: dump 2: expected frame 600, got frame 601");
    EXPECT_EQ(firstDifference("game", expected, expected.substr(0, expected.find("},") + 1) + "\n]\n"),
              "game: expected 2 dumped frames, got 1");
    EXPECT_EQ(firstDifference("game", expected, changed("]\n", "]")),
              "game: the same fields and values written differently");
    // A cut-off run (the harness died mid-line) is reported, never read past its end.
    EXPECT_NE(firstDifference("game", expected, expected.substr(0, 30)), "");
    EXPECT_NE(firstDifference("game", expected, "[\n{\"frame}\n"), "");
}
