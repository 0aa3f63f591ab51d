// test_files: the list of data files the engine could not load, as the picture, sound, music and
// font loaders fill it, and its one-line summary.

#include "nux.h"       // the loaders and NUX_GetMissingFiles
#include "testutil.h"  // testStartHeadless, testTempDir, testWritePng, testWriteFile

#include <gtest/gtest.h>
#include <png.h>   // PNG_COLOR_TYPE_RGBA, for a good picture
#include <string>  // paths and the expected summaries

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
