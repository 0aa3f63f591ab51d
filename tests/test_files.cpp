// test_files: the list of data files the engine could not load, as the picture, sound, music and
// font loaders fill it, and its one-line summary.

#include "nux.h"       // the loaders and NUX_GetMissingFiles
#include "testutil.h"  // testStartHeadless, testTempDir, testWritePng, testWriteFile

#include <gtest/gtest.h>
#include <cstdlib>     // atol
#include <png.h>       // PNG_COLOR_TYPE_RGBA, for a good picture
#include <string>      // paths and the expected summaries
#include <sys/stat.h>  // mkfifo, mkdir
#include <unistd.h>    // alarm
#include <vector>      // file contents

TEST(MissingFiles, EachFailedFileIsNamedOnceInOneLine)
{
    // The splash's own files are in the pack: nothing is missing yet.
    testStartHeadless(false);
    EXPECT_STREQ(NUX_GetMissingFiles(), "");

    const std::string dir = testTempDir();
    const std::string picture = dir + "/gone.png", sound = dir + "/gone.wav", music = dir + "/gone.ogg",
                      font = dir + "/gone.ttf";
    const std::string damaged = testWriteFile("damaged.png", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n', 0, 0});
    const std::string noise = testWriteFile("noise.wav", {'R', 'I', 'F', 'F', 1, 2, 3, 4, 5, 6, 7, 8});
    const std::string good = testWritePng("good.png", 1, 1, PNG_COLOR_TYPE_RGBA, 8, {1, 2, 3, 4});

    // A picture that loads is never listed; the first failure is one file, in the singular.
    testKeep(NUX_LoadImage(good.c_str()));
    EXPECT_STREQ(NUX_GetMissingFiles(), "");
    testKeep(NUX_LoadImage(picture.c_str()));
    EXPECT_EQ(std::string(NUX_GetMissingFiles()), "1 data file: " + picture);

    // Every kind of loader notes its failures; a file tried again is still one file.
    EXPECT_EQ(NUX_LoadSound(sound.c_str()), nullptr);
    NUX_PlayMusic(music.c_str());
    NUX_PlayMusic(music.c_str());
    testKeep(NUX_LoadImage(picture.c_str()));
    testKeep(NUX_CreateFont(font.c_str()));
    EXPECT_EQ(std::string(NUX_GetMissingFiles()),
              "4 data files: " + picture + ", " + sound + ", " + music + ", " + font);

    // Damaged files count as well; past four names the rest are counted, so the line stays short.
    testKeep(NUX_LoadImage(damaged.c_str()));
    EXPECT_EQ(std::string(NUX_GetMissingFiles()),
              "5 data files: " + picture + ", " + sound + ", " + music + ", " + font + " and 1 more");
    EXPECT_EQ(NUX_LoadSound(noise.c_str()), nullptr);
    EXPECT_EQ(std::string(NUX_GetMissingFiles()),
              "6 data files: " + picture + ", " + sound + ", " + music + ", " + font + " and 2 more");
}

// How many files the summary counts.
static long missingCount()
{
    return atol(NUX_GetMissingFiles());
}

TEST(MissingFiles, APipeOrADeviceInPlaceOfADataFileIsRefusedAtOnceAndNamed)
{
    testStartHeadless(false);
    const long before = missingCount();
    ASSERT_EQ(before, 0) << "the splash's files load; the first four failures below are the ones named";
    const std::string dir = testTempDir() + "/special";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    // A named pipe with no writer: opening it for reading the usual way waits for ever.
    const std::string picture = dir + "/city.png", effect = dir + "/flap01.wav", track = dir + "/apex.ogg",
                      font = dir + "/futurabd.ttf";
    for (const std::string& path : {picture, effect, track, font})
        ASSERT_EQ(mkfifo(path.c_str(), 0644), 0) << path;

    alarm(60);  // a loader that waits is killed, failing the test, rather than hanging the suite
    Image* image = testKeep(NUX_LoadImage(picture.c_str()));
    EXPECT_EQ(image->pixelWidth, 0u);
    EXPECT_EQ(NUX_LoadSound(effect.c_str()), nullptr);
    EXPECT_EQ(NUX_CheckMusic(track.c_str()), 0);
    NUX_PlayMusic(track.c_str());
    EXPECT_EQ(NUX_GetMusicPosition(), 0.0);
    Font* noFont = testKeep(NUX_CreateFont(font.c_str()));
    EXPECT_EQ(noFont->face, nullptr);
    // Devices that never end or never start, and a folder.
    EXPECT_EQ(testKeep(NUX_LoadImage("/dev/zero"))->pixelWidth, 0u);
    EXPECT_EQ(NUX_LoadSound("/dev/urandom"), nullptr);
    EXPECT_EQ(NUX_CheckMusic("/dev/null"), 0);
    EXPECT_EQ(testKeep(NUX_CreateFont(dir.c_str()))->face, nullptr);
    alarm(0);

    const std::string missing = NUX_GetMissingFiles();
    for (const std::string& path : {picture, effect, track, font})
        EXPECT_NE(missing.find(path), std::string::npos) << path << " in: " << missing;

    // A font that is a regular file but no font is named as well; a real one still opens.
    const std::string notFont = testWriteFile("notafont.ttf", std::vector<uint8_t>(2000, 0x33));
    EXPECT_EQ(testKeep(NUX_CreateFont(notFont.c_str()))->face, nullptr);
    EXPECT_EQ(missingCount(), before + 9) << NUX_GetMissingFiles();
    Font* real = testKeep(NUX_CreateFont("data/futurabd.ttf"));
    ASSERT_NE(real->face, nullptr);
    EXPECT_GT(NUX_GetTextWidth(real, "AV", 32), 5);
}
