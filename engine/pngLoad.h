// pngLoad: decodes a PNG file into 8-bit RGBA rows, bottom row first, ready for texture padding.
#pragma once

#include <cstdint>  // uint32_t

enum {
    PNGLOAD_FAILED = 0,  // cannot open, not a PNG, or damaged data
    PNGLOAD_OK = 1,      // decoded; the caller owns *pixels (free with free())
    PNGLOAD_OUT_OF_MEMORY = 4,
    PNGLOAD_TOO_LARGE = 5,  // a side beyond maxSide: refused from the header, nothing allocated
};

// The longest picture side loaded at all (a 2100-pixel-wide city is the game's widest): a side
// of 8192 already asks for 256 MB of padded texture.
constexpr uint32_t PNGLOAD_MAX_SIDE = 8192;

// Decodes path into width x height RGBA texels. Grey, palette and RGB files get an opaque alpha
// channel and 16-bit files are stripped to 8 bits, so the buffer always holds 4 bytes per pixel.
// A picture wider or taller than maxSide is refused as soon as its header is read.
int pngLoad(const char* path, uint32_t* width, uint32_t* height, unsigned char** pixels,
            uint32_t maxSide = PNGLOAD_MAX_SIDE);

// Writes width x height pixels of `channels` bytes (3 = RGB, 4 = RGBA), rows top first, as an
// 8-bit PNG; 1 on success. Used for screenshots and by the tests.
int pngSave(const char* path, uint32_t width, uint32_t height, int channels, const unsigned char* pixels);
