// Fuzz target: the PNG loader with arbitrary file contents. Any outcome but a crash, a leak or
// undefined behaviour is fine; a decoded picture must be exactly width x height x 4 bytes.

#include "fuzz_util.h"   // the scratch file
#include "pngLoad.h"     // the loader under test
#include <cstdlib>       // free
#include <cstring>       // memchr, to touch every byte

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = fuzzScratchFile(data, size, ".png");
    if (!path)
        return 0;
    uint32_t width = 0, height = 0;
    unsigned char* pixels = nullptr;
    int result = pngLoad(path, &width, &height, &pixels);
    if (result == PNGLOAD_OK) {
        // Reading the whole buffer lets AddressSanitizer check that it is as large as claimed.
        volatile unsigned sum = 0;
        size_t bytes = (size_t)width * height * 4;
        for (size_t i = 0; i < bytes; i += 61)
            sum = sum + pixels[i];
        if (bytes)
            sum = sum + pixels[bytes - 1];
    } else if (pixels) {
        __builtin_trap();  // a failed load hands back no buffer
    }
    free(pixels);
    return 0;
}
