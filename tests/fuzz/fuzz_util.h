// Helpers shared by the fuzz targets: the engine's loaders read files by path, so each input is
// written to one scratch file per process first.
#pragma once

#include <unistd.h>  // getpid
#include <cstddef>   // size_t
#include <cstdint>   // uint8_t
#include <cstdio>    // fopen, fwrite, snprintf
#include <cstdlib>   // getenv, atexit

inline char fuzzScratchPath[512];

inline void removeFuzzScratchFile()
{
    remove(fuzzScratchPath);
}

// Writes the input to this process's scratch file with the given extension (removed at exit);
// returns its path, or null when it cannot be written.
inline const char* fuzzScratchFile(const uint8_t* data, size_t size, const char* extension)
{
    char* path = fuzzScratchPath;
    if (!path[0])
        atexit(removeFuzzScratchFile);
    const char* dir = getenv("TMPDIR");
    snprintf(path, sizeof fuzzScratchPath, "%s/dunmarrow-fuzz-%d%s", dir && *dir ? dir : "/tmp", (int)getpid(),
             extension);
    FILE* file = fopen(path, "wb");
    if (!file)
        return nullptr;
    bool written = size == 0 || fwrite(data, 1, size, file) == size;
    if (fclose(file) != 0 || !written)
        return nullptr;
    return path;
}
