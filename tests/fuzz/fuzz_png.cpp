// Fuzz target: the PNG loader with arbitrary file contents. Any outcome but a crash, a leak or
// undefined behaviour is fine; a decoded picture must be exactly width x height x 4 bytes.

#include "fuzz_util.h"  // the scratch file
#include "pngLoad.h"    // the loader under test
#include <zlib.h>       // crc32, to mend the chunks' checksums after a mutation
#include <cstdlib>      // free

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

#ifdef DUNMARROW_FUZZ_BUILD
// libpng rejects a chunk whose checksum is wrong, so a mutated header or palette would never be
// read: after each mutation every whole chunk gets its right checksum back.
extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize, unsigned int)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    size_t at = 8;  // after the signature
    while (at + 12 <= size) {
        uint32_t length =
            (uint32_t)data[at] << 24 | (uint32_t)data[at + 1] << 16 | (uint32_t)data[at + 2] << 8 | data[at + 3];
        if (length > size - at - 12)
            break;
        uLong crc = crc32(0L, data + at + 4, (uInt)(length + 4));
        uint8_t* out = data + at + 8 + length;
        out[0] = (uint8_t)(crc >> 24);
        out[1] = (uint8_t)(crc >> 16);
        out[2] = (uint8_t)(crc >> 8);
        out[3] = (uint8_t)crc;
        at += 12 + (size_t)length;
    }
    return size;
}
#endif
