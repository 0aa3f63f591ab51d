// testutil: shared helpers for the tests: a real window for pixel tests, PNG files written on
// the fly, temporary folders and captured output.
#pragma once

#include <cstdint>  // uint8_t
#include <string>   // paths
#include <vector>   // pixel buffers

// Opens the 1024 x 768 game window once per test process (under Xvfb in the test script).
// False when no display is available; pixel tests then skip.
bool testOpenWindow();

// Starts the game once per process as the harness does: a virtual clock of 1/60 s frames, no
// window, the deterministic music clock, seed 1 and the splash loaded; withScenes also creates
// the other screens and loads every scene. Only in the tests that link the game (testutil_game.cpp).
void testStartHeadless(bool withScenes);

// Clears the back buffer to opaque black and resets the model-view matrix, ready to draw.
void testBeginFrame();

// Reads back the whole frame drawn so far (not yet presented): RGBA rows, top row first.
std::vector<uint8_t> testReadFrame();

// The RGBA pixel at logical (x, y) of a frame read by testReadFrame.
struct Rgba {
    int r, g, b, a;
};
Rgba testPixel(const std::vector<uint8_t>& frame, int x, int y);

// Keeps an engine item reachable for the rest of the process, as the game keeps its items in
// globals and screens for the whole run (the engine never frees them, by design).
void* testKeepPointer(void* item);
template <class T> T* testKeep(T* item)
{
    return (T*)testKeepPointer(item);
}

// A fresh empty folder under /tmp for this test process; removed at exit.
std::string testTempDir();

// Writes a PNG with libpng: colorType one of PNG_COLOR_TYPE_*, bitDepth 8 or 16, rows top first
// with bytes exactly as the format lays them (16-bit samples big-endian). For palette files,
// palette holds RGB triples; interlaced writes an Adam7 file. Returns the path.
std::string testWritePng(const std::string& name, int width, int height, int colorType, int bitDepth,
                         const std::vector<uint8_t>& rows, const std::vector<uint8_t>& palette = {},
                         bool interlaced = false);

// Writes raw bytes to a file in the temp folder and returns its path.
std::string testWriteFile(const std::string& name, const std::vector<uint8_t>& bytes);

// Runs a command with /bin/sh and returns its standard output; exitCode receives its status.
std::string testRun(const std::string& command, int* exitCode = nullptr);

// Checks that a screen draws the named items in the order listed: each is on the screen, and
// after the one before it. Returns "" or what is wrong ("head 0 is drawn before skull 0").
struct Screen;
struct Sprite;
struct DrawnItem {
    const Sprite* sprite;
    std::string name;
};
std::string testDrawOrder(const Screen* screen, const std::vector<DrawnItem>& order);
