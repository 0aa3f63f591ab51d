// pngLoad: decodes a PNG file into 8-bit RGBA rows, bottom row first, ready for texture padding.
#pragma once

#include <cstdint>  // uint32_t

enum {
    PNGLOAD_FAILED = 0,        // cannot open, not a PNG, or damaged data
    PNGLOAD_OK = 1,            // decoded; the caller owns *pixels (free with free())
    PNGLOAD_OUT_OF_MEMORY = 4,
};

// Decodes path into width x height RGBA texels. Grey, palette and RGB files get an opaque alpha
// channel and 16-bit files are stripped to 8 bits, so the buffer always holds 4 bytes per pixel.
int pngLoad(const char* path, uint32_t* width, uint32_t* height, unsigned char** pixels);

// Writes width x height pixels of `channels` bytes (3 = RGB, 4 = RGBA), rows top first, as an
// 8-bit PNG; 1 on success. Used for screenshots and by the tests.
int pngSave(const char* path, uint32_t width, uint32_t height, int channels, const unsigned char* pixels);
