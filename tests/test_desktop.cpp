// Tests of the game as a desktop program: finding the data, the command line, the letterboxed
// picture and full screen, the pause on focus loss, the gamepad, clamped texture edges, and the
// installed game started from another folder.

#include "testutil.h"

#include "main.h"
#include "nux.h"
#include "nux_desktop.h"
#include "nux_local.h"
#include "nux_sound_local.h"
#include "options.h"
#include "scenes.h"

#include <SDL.h>      // the window events handed to the desktop layer
#include <algorithm>  // max
#include <cmath>      // fabs
#include <png.h>      // PNG_COLOR_TYPE_RGBA for the test pictures
#include <GL/gl.h>    // texture parameters, the clear colour
#include <gtest/gtest.h>
#include <cstdio>      // fmemopen
#include <filesystem>  // folders holding a pack or not
#include <string>
#include <unistd.h>  // getpid: our own window

//---- Helpers

// A folder under the test's temp folder; with pack, it holds the marker file.
static std::string makeFolder(const std::string& name, bool pack)
{
    std::string dir = testTempDir() + "/" + name;
    std::filesystem::create_directories(dir);
    if (pack)
        testWriteFile(name + "/" + NUX_PACK_MARKER, {1, 2, 3});
    return dir;
}

struct Parsed {
    int result;
    GameOptions options;
    std::string out, err;
};

static Parsed parse(std::vector<const char*> args)
{
    args.insert(args.begin(), "dunmarrow");
    Parsed p{};
    char outText[8192] = {0}, errText[8192] = {0};
    FILE* out = fmemopen(outText, sizeof outText - 1, "w");
    FILE* err = fmemopen(errText, sizeof errText - 1, "w");
    p.result = parseGameOptions((int)args.size(), (char**)args.data(), &p.options, out, err);
    fclose(out);
    fclose(err);
    p.out = outText;
    p.err = errText;
    return p;
}

// Hands the desktop layer a window gaining or losing focus or visibility, and returns whether play is paused.
static int focus(int gain, int state)
{
    SDL_Event e = {};
    e.type = SDL_ACTIVEEVENT;
    e.active.gain = (Uint8)gain;
    e.active.state = (Uint8)state;
    nuxDesktopEvent(&e);
    return getGamePaused();
}

static void pad(Uint8 type, int index, int value)
{
    SDL_Event e = {};
    e.type = type;
    if (type == SDL_JOYHATMOTION) {
        e.jhat.hat = 0;
        e.jhat.value = (Uint8)value;
    } else if (type == SDL_JOYAXISMOTION) {
        e.jaxis.axis = (Uint8)index;
        e.jaxis.value = (Sint16)value;
    } else {
        e.jbutton.button = (Uint8)index;
        e.jbutton.state = type == SDL_JOYBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
    }
    EXPECT_EQ(nuxDesktopEvent(&e), 1);
}

static bool haveDisplay()
{
    return getenv("DISPLAY") && testOpenWindow();
}

//---- Finding the data

TEST(DataSearch, TheFirstPlaceHoldingThePackWinsAndNamesResolveToIt)
{
    std::string empty = makeFolder("empty", false), second = makeFolder("second", true),
                third = makeFolder("third", true);
    const char* places[] = {nullptr, "", empty.c_str(), second.c_str(), third.c_str()};
    const char* why[] = {"--data-dir", "DUNMARROW_DATA", "a", "b", "c"};
    char message[4096] = "untouched";
    ASSERT_EQ(NUX_SearchDataDir(places, why, 5, message, sizeof message), 1);
    EXPECT_STREQ(message, "");
    EXPECT_EQ(std::string(NUX_GetDataDir()), second);

    char buffer[4096];
    EXPECT_EQ(std::string(NUX_ResolvePath("data/futurabd.ttf", buffer, sizeof buffer)), second + "/futurabd.ttf");
    // Only the game's own names move: other paths, and names merely starting with "data", stay.
    EXPECT_STREQ(NUX_ResolvePath("/tmp/x.png", buffer, sizeof buffer), "/tmp/x.png");
    EXPECT_STREQ(NUX_ResolvePath("database/x.png", buffer, sizeof buffer), "database/x.png");
    // A name too long for the buffer is opened as given rather than cut short.
    char tiny[8];
    EXPECT_STREQ(NUX_ResolvePath("data/futurabd.ttf", tiny, sizeof tiny), "data/futurabd.ttf");

    // The default (nothing found yet, or reset) leaves "data/..." to the current folder.
    NUX_SetDataDir(nullptr);
    EXPECT_STREQ(NUX_GetDataDir(), "data");
    EXPECT_STREQ(NUX_ResolvePath("data/futurabd.ttf", buffer, sizeof buffer), "data/futurabd.ttf");
}

TEST(DataSearch, NoPackNamesEveryPlaceTriedOnce)
{
    std::string a = makeFolder("nothing-a", false);
    std::string b = testTempDir() + "/does-not-exist";
    std::string aAgain = a + "/";
    const char* places[] = {a.c_str(), b.c_str(), aAgain.c_str(), nullptr};
    const char* why[] = {"--data-dir", "DUNMARROW_DATA", "next to the executable", "the current folder"};
    char message[4096];
    EXPECT_EQ(NUX_SearchDataDir(places, why, 4, message, sizeof message), 0);
    std::string text = message;
    EXPECT_NE(text.find(a + "  (--data-dir)"), std::string::npos) << text;
    EXPECT_NE(text.find(b + "  (DUNMARROW_DATA)"), std::string::npos) << text;
    EXPECT_EQ(text.find("next to the executable"), std::string::npos) << "a repeat is tried once: " << text;
    EXPECT_NE(text.find("--data-dir DIR"), std::string::npos) << text;
    EXPECT_STREQ(NUX_GetDataDir(), "data");
}

TEST(DataSearch, AChosenFolderIsUsedOrRefusedNeverPassedOver)
{
    std::string option = makeFolder("opt", true), env = makeFolder("env", true), bare = makeFolder("bare", false);
    std::string gone = testTempDir() + "/none";
    std::string build = std::string(DUNMARROW_BINARY_DIR) + "/data";
    char message[8192];
    setenv("DUNMARROW_DATA", env.c_str(), 1);
    ASSERT_EQ(NUX_FindDataDir(option.c_str(), message, sizeof message), 1) << message;
    EXPECT_EQ(std::string(NUX_GetDataDir()), option);
    EXPECT_STREQ(message, "");
    ASSERT_EQ(NUX_FindDataDir(nullptr, message, sizeof message), 1) << message;
    EXPECT_EQ(std::string(NUX_GetDataDir()), env);

    // A chosen folder without the pack is refused in one line naming it and what it lacks, though
    // the build's own pack and the other choice would do; the data folder stays as it was.
    struct Case {
        const char* option;
        std::string environment, named, lack;
    } cases[] = {
        {gone.c_str(), env, "--data-dir names " + gone + ",", "is no folder"},
        {bare.c_str(), env, "--data-dir names " + bare + ",", std::string("holds no ") + NUX_PACK_MARKER},
        {nullptr, gone, "DUNMARROW_DATA names " + gone + ",", "is no folder"},
        {"", bare + "/", "DUNMARROW_DATA names " + bare + "/,", "holds no"},
    };
    for (const Case& c : cases) {
        setenv("DUNMARROW_DATA", c.environment.c_str(), 1);
        EXPECT_EQ(NUX_FindDataDir(c.option, message, sizeof message), 0) << c.named;
        std::string text = message;
        EXPECT_EQ(text.rfind(c.named, 0), 0u) << text;
        EXPECT_NE(text.find(c.lack), std::string::npos) << text;
        EXPECT_EQ(text.find('\n'), text.size() - 1) << "one line: " << text;
        EXPECT_EQ(std::string(NUX_GetDataDir()), env);
    }
    // An empty environment variable chooses nothing: the search goes on, here to data/ in the
    // current (build) folder.
    setenv("DUNMARROW_DATA", "", 1);
    ASSERT_EQ(NUX_FindDataDir("", message, sizeof message), 1) << message;
    EXPECT_EQ(std::string(NUX_GetDataDir()), build);
    unsetenv("DUNMARROW_DATA");
    NUX_SetDataDir(nullptr);
}

//---- The command line

TEST(CommandLine, OptionsAndTheirRefusals)
{
    Parsed p = parse({});
    EXPECT_TRUE(p.result == OPTIONS_RUN && !p.options.fullScreen && !p.options.mute && !p.options.noSound &&
                !p.options.dataDir && !p.options.subtitles);
    p = parse({"--fullscreen", "--mute", "--no-sound", "--subtitles", "--data-dir", "/games/owl"});
    EXPECT_TRUE(p.result == OPTIONS_RUN && p.options.fullScreen && p.options.mute && p.options.noSound &&
                p.options.subtitles);
    EXPECT_STREQ(p.options.dataDir, "/games/owl");
    EXPECT_EQ(parse({"--fullscreen", "--windowed"}).options.fullScreen, 0) << "the last one wins";
    EXPECT_STREQ(parse({"--data-dir=/x"}).options.dataDir, "/x");

    p = parse({"--help"});
    EXPECT_EQ(p.result, OPTIONS_DONE);
    EXPECT_NE(p.out.find("--fullscreen"), std::string::npos);
    p = parse({"--version"});
    EXPECT_EQ(p.result, OPTIONS_DONE);
    EXPECT_EQ(p.out.rfind("dunmarrow ", 0), 0u) << p.out;

    const std::vector<std::vector<const char*>> wrong = {
        {"--frobnicate"},   {"-x"},          {"fullscreen"},       {"--data-dir"},
        {"--data-dir", ""}, {"--data-dir="}, {"--mute", "--bogus"}};
    for (const auto& args : wrong) {
        p = parse(args);
        EXPECT_EQ(p.result, OPTIONS_WRONG) << args[0];
        EXPECT_NE(p.err.find("usage: dunmarrow"), std::string::npos) << args[0];
        EXPECT_EQ(p.out, "") << args[0];
    }
}

TEST(CommandLine, TheProgramAnswersAndRefusesWithTheRightStatus)
{
    int code = -1;
    std::string out = testRun(DUNMARROW_BINARY_DIR "/dunmarrow --version 2>&1", &code);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(out, "dunmarrow 1.0.0\n");
    out = testRun(DUNMARROW_BINARY_DIR "/dunmarrow --windowed --bogus 2>&1 >/dev/null", &code);
    EXPECT_EQ(code, 2);
    EXPECT_NE(out.find("unknown option '--bogus'"), std::string::npos) << out;

    // A folder chosen for the data that lacks it stops the game with one line, even in the build
    // folder where the build's own pack is next to the executable.
    std::string missing = testTempDir() + "/no-such-folder", bare = makeFolder("bare-pack", false);
    out = testRun("cd " DUNMARROW_BINARY_DIR " && ./dunmarrow --no-sound --data-dir " + missing + " 2>&1", &code);
    EXPECT_EQ(code, 1) << out;
    EXPECT_EQ(out, "dunmarrow: --data-dir names " + missing + ", which is no folder.\n");
    out = testRun("cd " DUNMARROW_BINARY_DIR " && DUNMARROW_DATA=" + bare + " ./dunmarrow --no-sound 2>&1", &code);
    EXPECT_EQ(code, 1) << out;
    EXPECT_EQ(out.rfind("dunmarrow: DUNMARROW_DATA names " + bare + ", which holds no futurabd.ttf", 0), 0u) << out;

    // A copy of the game far from any data, started from another empty folder, names where it looked.
    std::string lone = makeFolder("lone", false), away = makeFolder("away", false);
    std::filesystem::copy_file(DUNMARROW_BINARY_DIR "/dunmarrow", lone + "/dunmarrow");
    out = testRun("cd " + away + " && env -u DUNMARROW_DATA " + lone + "/dunmarrow --no-sound 2>&1", &code);
    EXPECT_EQ(code, 1) << out;
    EXPECT_NE(out.find("Cannot find the game's data"), std::string::npos) << out;
    for (const char* why : {"next to the executable", "the install folder", "the current folder", "away/data"})
        EXPECT_NE(out.find(why), std::string::npos) << why << "\n" << out;
    // Given the build's data it gets past the search, to the display (none here).
    out = testRun("cd " + lone + " && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER ./dunmarrow --data-dir " +
                      DUNMARROW_BINARY_DIR "/data 2>&1",
                  &code);
    EXPECT_EQ(code, 1) << out;
    EXPECT_NE(out.find("Unable to initialize SDL"), std::string::npos) << out;
}

TEST(CommandLine, MuteSilencesEffectsAndMusicAndNoSoundOpensNoDevice)
{
    // The game's own sounds, through the real mixer on OpenAL's loopback device.
    if (!NUX_InitSoundLoopback(64, 48000))
        GTEST_SKIP() << "OpenAL has no loopback device here";
    NUX_Sound* hit = NUX_LoadSound(DUNMARROW_BINARY_DIR "/data/flap01.wav");
    ASSERT_NE(hit, nullptr);
    std::vector<float> out(4800 * 2);
    auto peak = [&]() {
        NUX_RenderSoundForTest(out.data(), 4800);
        float loudest = 0.0f;
        for (float v : out)
            loudest = std::max(loudest, std::fabs(v));
        return loudest;
    };
    NUX_PlaySound(hit);
    EXPECT_GT(peak(), 0.001f);
    NUX_MuteAllSound();
    peak();  // OpenAL ramps a change of volume over its next mixing period
    NUX_PlaySound(hit);
    NUX_PlayMusic(DUNMARROW_BINARY_DIR "/data/apex.ogg");
    EXPECT_EQ(peak(), 0.0f);
    NUX_ShutdownSound();

    NUX_UseNoSoundDevice(1);
    NUX_InitSound(64);
    EXPECT_EQ(NUX_GetSoundOutput(), NUX_SOUND_SILENT);
    EXPECT_EQ(NUX_GetSoundResultForTest(), 0) << "asked for, so nothing to report";
    NUX_ShutdownSound();
    NUX_UseNoSoundDevice(0);
}

TEST(CommandLine, TheHarnessTakesADataDir)
{
    int code = -1;
    std::string none = makeFolder("harness-none", false);
    std::string out = testRun(
        "cd " DUNMARROW_BINARY_DIR " && ./dunmarrow-harness --frames 1 --data-dir " + none + " 2>&1 >/dev/null", &code);
    EXPECT_EQ(code, 1) << "a --data-dir without the pack is refused, though the build has its own: " << out;
    EXPECT_NE(out.find("--data-dir names " + none), std::string::npos) << out;
    out = testRun("cd " + none + " && DUNMARROW_DATA=" + none +
                      " " DUNMARROW_BINARY_DIR "/dunmarrow-harness --frames 1 --data-dir " DUNMARROW_BINARY_DIR "/data",
                  &code);
    EXPECT_EQ(code, 0) << out;
    EXPECT_NE(out.find("\"frame\": 1"), std::string::npos) << out;
}

//---- The picture in the window

TEST(Picture, ScaledWithItsAspectKeptAndCentred)
{
    struct Case {
        int w, h, x, y, width, height;
    } cases[] = {
        {1024, 768, 0, 0, 1024, 768},
        {800, 600, 0, 0, 800, 600},
        {1280, 1024, 0, 32, 1280, 960},
        {1920, 1080, 240, 0, 1440, 1080},
        {2560, 1080, 560, 0, 1440, 1080},
        {1024, 769, 0, 0, 1024, 768},
        {0, 0, 0, 0, 0, 0},
        {-5, 100, 0, 0, 0, 100},
    };
    for (const Case& c : cases) {
        NUX_PictureRect r = NUX_GetPictureRect(c.w, c.h);
        EXPECT_TRUE(r.x == c.x && r.y == c.y && r.width == c.width && r.height == c.height)
            << c.w << "x" << c.h << " gives " << r.x << "," << r.y << " " << r.width << "x" << r.height;
    }
}

TEST(Picture, FullScreenLetterboxesAndKeepsTexturesAndTheSky)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs a display";
    std::string path = testWritePng("green.png", 4, 4, PNG_COLOR_TYPE_RGBA, 8, std::vector<uint8_t>(64, 255));
    Image* image = testKeep(NUX_LoadImage(path.c_str()));
    image->sprite.red = image->sprite.blue = 0.0f;
    image->sprite.scaleX = image->sprite.scaleY = 256.0f;  // covers the whole logical screen
    NUX_SetClearColor(0.0f, 0.0f, 1.0f, 1.0f);

    NUX_SetFullScreen(1);
    // The screen the tests run on (Xvfb at 1280 x 1024) is taller than the picture: bars above and below.
    ASSERT_TRUE(NUX_IsFullScreen() && NUX_GetXRes() == 1280 && NUX_GetYRes() == 1024);
    NUX_PictureRect r = NUX_GetPictureRect(NUX_GetXRes(), NUX_GetYRes());
    ASSERT_EQ(r.y, 32);
    NUX_BeginRender();
    std::vector<uint8_t> sky = testReadFrame();
    NUX_DrawImage(&image->sprite);
    std::vector<uint8_t> frame = testReadFrame();
    const int cx = r.x + r.width / 2, cy = r.y + r.height / 2;
    EXPECT_EQ(testPixel(sky, cx, cy).b, 255) << "the scene's clear colour survives the switch";
    Rgba inside = testPixel(frame, cx, cy);
    EXPECT_EQ(inside.g, 255) << "the texture survives the switch";
    EXPECT_EQ(inside.r, 0);
    for (int y : {0, 31, 992, 1023}) {
        Rgba bar = testPixel(frame, cx, y);
        EXPECT_EQ(bar.r + bar.g + bar.b, 0) << "the bars are black, row " << y;
    }
    EXPECT_EQ(testPixel(frame, cx, 32).g + testPixel(frame, cx, 991).g, 2 * 255) << "the picture fills between";

    NUX_ToggleFullScreen();
    EXPECT_TRUE(!NUX_IsFullScreen() && NUX_GetXRes() == 1024 && NUX_GetYRes() == 768);
    NUX_BeginRender();
    NUX_DrawImage(&image->sprite);
    EXPECT_EQ(testPixel(testReadFrame(), 1023, 767).g, 255) << "windowed, the picture fills the window again";
}

TEST(Picture, AWindowTooLargeForTheWorkAreaKeepsThePicturesShape)
{
    struct Case {
        int areaWidth, areaHeight, width, height;
    } cases[] = {
        {1280, 1024, 1024, 768},  // fits: as asked
        {1024, 768, 1024, 768},   // fits exactly
        {0, 0, 1024, 768},        // no work area known
        {1366, 728, 971, 728},    // a laptop screen less a title bar: shorter, same shape
        {1000, 2000, 1000, 750},  // narrow and tall
        {200, 100, 320, 240},     // never smaller than 320 x 240
    };
    for (const Case& c : cases) {
        NUX_PictureRect r = NUX_FitWindow(1024, 768, c.areaWidth, c.areaHeight);
        EXPECT_TRUE(r.x == 0 && r.y == 0 && r.width == c.width && r.height == c.height)
            << c.areaWidth << "x" << c.areaHeight << " gives " << r.width << "x" << r.height;
    }
}

TEST(Picture, AResizedWindowScalesThePictureWithBars)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs a display";
    ASSERT_FALSE(NUX_IsFullScreen());
    std::string path = testWritePng("green-resize.png", 4, 4, PNG_COLOR_TYPE_RGBA, 8, std::vector<uint8_t>(64, 255));
    Image* image = testKeep(NUX_LoadImage(path.c_str()));
    image->sprite.red = image->sprite.blue = 0.0f;
    image->sprite.scaleX = image->sprite.scaleY = 256.0f;  // covers the whole logical screen
    NUX_SetClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    auto resize = [](int w, int h) {
        SDL_Event e = {};
        e.type = SDL_VIDEORESIZE;
        e.resize.w = w;
        e.resize.h = h;
        EXPECT_EQ(nuxDesktopEvent(&e), 1);
    };

    // Wider than the picture: bars left and right, black; the scene's sky and textures stay.
    resize(1200, 600);
    ASSERT_TRUE(NUX_GetXRes() == 1200 && NUX_GetYRes() == 600) << NUX_GetXRes() << "x" << NUX_GetYRes();
    NUX_BeginRender();
    std::vector<uint8_t> sky = testReadFrame();
    EXPECT_EQ(testPixel(sky, 600, 300).b, 255) << "the clear colour survives the resize";
    NUX_DrawImage(&image->sprite);
    std::vector<uint8_t> frame = testReadFrame();
    for (int x : {0, 199, 1000, 1199}) {
        Rgba bar = testPixel(frame, x, 300);
        EXPECT_EQ(bar.r + bar.g + bar.b, 0) << "the bars are black, column " << x;
    }
    EXPECT_EQ(testPixel(frame, 200, 0).g + testPixel(frame, 999, 599).g, 2 * 255) << "the picture fills between";

    // Full screen ignores a late resize of the window it left, and comes back to the window's last size.
    NUX_SetFullScreen(1);
    resize(640, 480);
    EXPECT_TRUE(NUX_IsFullScreen() && NUX_GetXRes() == 1280 && NUX_GetYRes() == 1024);
    NUX_SetFullScreen(0);
    EXPECT_TRUE(NUX_GetXRes() == 1200 && NUX_GetYRes() == 600) << NUX_GetXRes() << "x" << NUX_GetYRes();

    // Back at 1024 x 768 the picture fills the window again, as the other tests expect.
    resize(0, 0);
    EXPECT_EQ(NUX_GetXRes(), 1200) << "an empty size is ignored";
    resize(1024, 768);
    NUX_BeginRender();
    NUX_DrawImage(&image->sprite);
    frame = testReadFrame();
    EXPECT_EQ(testPixel(frame, 0, 0).g + testPixel(frame, 1023, 767).g, 2 * 255);
}

TEST(Picture, TheWindowCarriesTheGamesIcon)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs a display";
    int found = 0;
    testRun("command -v xprop >/dev/null && command -v xdotool >/dev/null", &found);
    if (found != 0)
        GTEST_SKIP() << "needs xprop and xdotool";
    // This process's own window, whatever other tests show meanwhile.
    std::string windows = testRun("xdotool search --pid " + std::to_string(getpid()) + " 2>/dev/null", &found);
    ASSERT_FALSE(windows.empty()) << "no window of ours found";
    std::string out;
    for (size_t at = 0; at < windows.size();) {
        size_t end = windows.find('\n', at);
        std::string id = windows.substr(at, end - at);
        at = end == std::string::npos ? windows.size() : end + 1;
        // The icon's first two numbers: its width and height.
        std::string said = testRun("xprop -id " + id + " -f _NET_WM_ICON 32c ' $0 x $1\\n' _NET_WM_ICON 2>&1", &found);
        if (said.find("CARDINAL") != std::string::npos)
            out = said;
    }
    // The 128 px icon of the pack.
    EXPECT_EQ(out, "_NET_WM_ICON(CARDINAL) 128 x 128\n");
}

TEST(Picture, LabelsAndPicturesClampTheirEdges)
{
    if (!haveDisplay())
        GTEST_SKIP() << "needs a display";
    Font* font = testKeep(NUX_CreateFont(DUNMARROW_BINARY_DIR "/data/futurabd.ttf"));
    Label* label = testKeep(NUX_CreateLabel(font, "EDGE", 256, 40, 255, 255, 255, 255));
    std::string path = testWritePng("edge.png", 3, 2, PNG_COLOR_TYPE_RGBA, 8, std::vector<uint8_t>(24, 255));
    Image* image = testKeep(NUX_LoadImage(path.c_str()));
    auto expectClamped = [](GLuint texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        for (GLenum wrap : {GL_TEXTURE_WRAP_S, GL_TEXTURE_WRAP_T}) {
            GLint mode = 0;
            glGetTexParameteriv(GL_TEXTURE_2D, wrap, &mode);
            EXPECT_EQ(mode, GL_CLAMP_TO_EDGE) << texture;
        }
    };
    expectClamped(label->texture);
    expectClamped(image->texture);
    // Setting the text again makes a new texture, clamped the same way.
    NUX_SetLabelText(label, "EDGES");
    expectClamped(label->texture);
}

//---- Focus and the gamepad (the real input path, without a window)

class Desktop : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        testStartHeadless(true);
    }

    void SetUp() override
    {
        exitFlag = 1;
        movingLeft = movingRight = movingUp = movingDown = 0;
        if (getGamePaused())
            gamePause();
        switchGameMode(MODE_GAME);
    }
};

TEST_F(Desktop, LosingFocusOrMinimisingPausesPlayOnlyAndNeverUnpauses)
{
    EXPECT_EQ(focus(0, SDL_APPMOUSEFOCUS), 0) << "the mouse leaving the window is no reason to pause";
    EXPECT_EQ(focus(0, SDL_APPINPUTFOCUS), 1);
    EXPECT_EQ(focus(0, SDL_APPINPUTFOCUS), 1) << "a second loss does not toggle the pause off";
    EXPECT_EQ(focus(1, SDL_APPINPUTFOCUS | SDL_APPACTIVE), 1) << "coming back leaves the pause to the player";
    gamePause();
    EXPECT_EQ(focus(0, SDL_APPACTIVE), 1) << "minimised";
    gamePause();
    switchGameMode(MODE_TITLE);
    EXPECT_EQ(focus(0, SDL_APPINPUTFOCUS | SDL_APPACTIVE), 0) << "only play pauses";
    EXPECT_EQ(getGameMode(), MODE_TITLE);
}

TEST_F(Desktop, WithThePauseOnFocusLossOffOnlyTheKeysPause)
{
    // As the harness runs: whichever window the desktop focuses, play goes on.
    NUX_SetPauseOnFocusLoss(0);
    EXPECT_EQ(focus(0, SDL_APPINPUTFOCUS), 0);
    EXPECT_EQ(focus(0, SDL_APPINPUTFOCUS | SDL_APPACTIVE), 0);
    NUX_SetPauseOnFocusLoss(1);
    EXPECT_EQ(focus(0, SDL_APPINPUTFOCUS), 1);
}

TEST_F(Desktop, DpadAndLeftStickAreTheArrows)
{
    pad(SDL_JOYHATMOTION, 0, SDL_HAT_UP);
    EXPECT_EQ(movingUp, 1);
    pad(SDL_JOYHATMOTION, 0, SDL_HAT_RIGHTUP);
    EXPECT_EQ(movingUp * 10 + movingRight, 11);
    pad(SDL_JOYHATMOTION, 0, SDL_HAT_CENTERED);
    EXPECT_EQ(movingUp + movingRight, 0);

    pad(SDL_JOYAXISMOTION, 0, -30000);
    EXPECT_EQ(movingLeft, 1);
    pad(SDL_JOYAXISMOTION, 0, -14000);
    EXPECT_EQ(movingLeft, 1) << "between the two thresholds the stick keeps its arrow";
    pad(SDL_JOYAXISMOTION, 0, 0);
    EXPECT_EQ(movingLeft, 0);
    pad(SDL_JOYAXISMOTION, 1, 32767);
    EXPECT_EQ(movingDown, 1);
    pad(SDL_JOYAXISMOTION, 1, -32768);
    EXPECT_EQ(movingDown * 10 + movingUp, 1) << "straight from down to up";
    pad(SDL_JOYAXISMOTION, 3, 32767);  // the right stick does nothing
    EXPECT_EQ(movingLeft + movingRight, 0);

    // The d-pad and the stick holding the same arrow: it stays held until both let go.
    pad(SDL_JOYHATMOTION, 0, SDL_HAT_UP);
    pad(SDL_JOYAXISMOTION, 1, 0);
    EXPECT_EQ(movingUp, 1);
    pad(SDL_JOYHATMOTION, 0, SDL_HAT_CENTERED);
    EXPECT_EQ(movingUp, 0);
}

TEST_F(Desktop, ButtonsAreSpaceStartIsPBackIsEscape)
{
    pad(SDL_JOYBUTTONDOWN, 7, 0);  // Start
    EXPECT_EQ(getGamePaused(), 1);
    pad(SDL_JOYBUTTONUP, 7, 0);
    pad(SDL_JOYBUTTONDOWN, 7, 0);
    EXPECT_EQ(getGamePaused(), 0);
    pad(SDL_JOYBUTTONDOWN, 6, 0);  // Back
    EXPECT_EQ(getGameMode(), MODE_TITLE);
    switchGameMode(MODE_PROLOGUE);
    pad(SDL_JOYBUTTONDOWN, 0, 0);  // the first button skips the prologue, as Space does
    EXPECT_EQ(getGameMode(), MODE_GAME);
    pad(SDL_JOYBUTTONDOWN, 3, 0);  // any other button does nothing
    EXPECT_EQ(getGameMode(), MODE_GAME);
    switchGameMode(MODE_TITLE);
    pad(SDL_JOYBUTTONDOWN, 6, 0);
    EXPECT_EQ(exitFlag, 0) << "Back on the title quits, as Escape does";
}

TEST_F(Desktop, AltEnterAndF11AreTakenAndOtherKeysPassOn)
{
    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = SDLK_RETURN;
    e.key.keysym.mod = KMOD_LALT;
    EXPECT_EQ(nuxDesktopEvent(&e), 1);
    EXPECT_EQ(getGamePaused(), 0) << "Alt+Enter does not pause";
    e.key.keysym.sym = SDLK_F11;
    e.key.keysym.mod = KMOD_NONE;
    EXPECT_EQ(nuxDesktopEvent(&e), 1);
    e.key.keysym.sym = SDLK_RETURN;
    EXPECT_EQ(nuxDesktopEvent(&e), 0) << "a plain Return is the pause key";
}

//---- The install

TEST(Install, TheInstalledGameStartsFromAnotherFolder)
{
    int found = 0;
    testRun("command -v xdotool >/dev/null && test -n \"$DISPLAY\"", &found);
    if (found != 0)
        GTEST_SKIP() << "needs xdotool and a display";
    int code = -1;
    std::string out = testRun("bash " DUNMARROW_SOURCE_DIR "/tests/install_run.sh " DUNMARROW_BINARY_DIR " " +
                                  testTempDir() + " 2>&1",
                              &code);
    EXPECT_EQ(code, 0) << out;
    for (const char* line :
         {"installed", "desktop-valid", "metainfo-valid", "window", "running", "quit 0", "without-data 1"})
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
    EXPECT_EQ(out.find("missing"), std::string::npos) << out;
}
