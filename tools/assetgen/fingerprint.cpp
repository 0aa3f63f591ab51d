// DUNMARROW asset generator: data/MANIFEST, a hash of each file's decoded content, so two packs can be compared
// whatever their encoders wrote around it (Ogg streams carry a random serial number; PNG compression may vary).

#include "assetgen.h"  // AssetEntry, assetTable
#include <png.h>       // decoding the pictures to RGBA
#include <sndfile.h>   // decoding the sounds to samples
#include <atomic>      // the shared line counter
#include <cstdio>      // snprintf, fopen
#include <thread>      // the second hasher
#include <vector>      // pixels, samples, lines

//---- Hashing: 64-bit FNV-1a, enough to tell two packs apart

struct Hash {
    uint64_t h = 1469598103934665603ull;
};

static void hashBytes(Hash& hash, const void* data, size_t n)
{
    const unsigned char* p = (const unsigned char*)data;
    uint64_t h = hash.h;
    for (size_t i = 0; i < n; ++i)
        h = (h ^ p[i]) * 1099511628211ull;
    hash.h = h;
}

//---- Decoding

static bool hashPicture(const char* path, Hash& hash, char* shape, size_t shapeSize)
{
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path))
        return false;
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    hashBytes(hash, pixels.data(), pixels.size());
    snprintf(shape, shapeSize, "%ux%u rgba", image.width, image.height);
    return true;
}

static bool hashSound(const char* path, Hash& hash, char* shape, size_t shapeSize)
{
    SF_INFO info = {};
    SNDFILE* f = sf_open(path, SFM_READ, &info);
    if (!f)
        return false;
    // Decoded as floats, the finest form libsndfile gives: a difference in one sample changes the hash.
    std::vector<float> block((size_t)4096 * info.channels);
    long long frames = 0;
    for (;;) {
        sf_count_t got = sf_readf_float(f, block.data(), 4096);
        if (got <= 0)
            break;
        hashBytes(hash, block.data(), (size_t)got * info.channels * sizeof(float));
        frames += got;
    }
    sf_close(f);
    snprintf(shape, shapeSize, "%d ch %d Hz %lld frames", info.channels, info.samplerate, frames);
    return frames > 0;
}

static bool hashFile(const char* path, Hash& hash, char* shape, size_t shapeSize)
{
    FILE* f = fopen(path, "rb");
    if (!f)
        return false;
    unsigned char block[65536];
    long long total = 0;
    size_t n;
    while ((n = fread(block, 1, sizeof block, f)) > 0) {
        hashBytes(hash, block, n);
        total += (long long)n;
    }
    fclose(f);
    snprintf(shape, shapeSize, "%lld bytes", total);
    return total > 0;
}

//---- Lines and the file

std::string fingerprintLine(const char* dir, const AssetEntry& entry)
{
    char path[1024], shape[96], line[1300];
    snprintf(path, sizeof path, "%s/%s", dir, entry.name);
    Hash hash;
    bool ok = entry.kind == ASSET_PICTURE ? hashPicture(path, hash, shape, sizeof shape)
              : entry.kind == ASSET_FONT  ? hashFile(path, hash, shape, sizeof shape)
                                          : hashSound(path, hash, shape, sizeof shape);
    if (!ok)
        return std::string();
    snprintf(line, sizeof line, "%016llx  %-26s %s", (unsigned long long)hash.h, entry.name, shape);
    return line;
}

bool writeFingerprints(const char* dir, int threads)
{
    std::vector<std::string> lines((size_t)assetCount());
    std::atomic<int> next{0};
    auto worker = [&]() {
        for (int i = next++; i < assetCount(); i = next++)
            lines[(size_t)i] = fingerprintLine(dir, assetTable()[i]);
    };
    std::thread second;
    if (threads > 1)
        second = std::thread(worker);
    worker();
    if (second.joinable())
        second.join();

    char path[1024];
    snprintf(path, sizeof path, "%s/MANIFEST", dir);
    FILE* f = fopen(path, "w");
    if (!f) {
        fprintf(stderr, "assetgen: cannot write %s\n", path);
        return false;
    }
    bool ok = true;
    for (int i = 0; i < assetCount(); ++i) {
        if (lines[(size_t)i].empty()) {
            fprintf(stderr, "assetgen: cannot decode %s for the MANIFEST\n", assetTable()[i].name);
            ok = false;
            continue;
        }
        fprintf(f, "%s\n", lines[(size_t)i].c_str());
    }
    ok = fclose(f) == 0 && ok;
    return ok;
}
