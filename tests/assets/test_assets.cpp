// Tests of DUNMARROW's generated asset pack: every name the game reads exists, pictures are 8-bit RGBA at the
// sizes the scenes rely on, sounds decode within their lengths without clipping, loops join, runs repeat exactly.

#include <gtest/gtest.h>           // TEST, EXPECT_*
#include <png.h>                   // reading the pictures back
#include <sndfile.h>               // decoding the sounds back
#include <sys/wait.h>              // WEXITSTATUS for the generator's exit codes
#include <unistd.h>                // getpid, for scratch paths of this run alone
#include <algorithm>               // sort, max
#include <array>                   // spots in pictures
#include <atomic>                  // the other thread's stop flag
#include <cmath>                   // fabs, log10, sqrt
#include <cstdio>                  // snprintf, fopen
#include <cstdlib>                 // system
#include <filesystem>              // walking the game sources, temporary folders
#include <fstream>                 // reading the game sources
#include <regex>                   // finding "data/..." names
#include <set>                     // names seen
#include <string>                  // paths
#include <thread>                  // a second thread drawing random numbers
#include <vector>                  // pixels and samples
#include "assetgen.h"              // the manifest
#include "game/mainSpokenLines.h"  // when the narrator speaks each line, as the subtitles show it

namespace fs = std::filesystem;

//---- Helpers

struct Picture {
    int width = 0, height = 0, depth = 0, colorType = -1;
    std::vector<unsigned char> rgba;  // only for 8-bit RGBA files
    const unsigned char* px(int x, int y) const
    {
        return &rgba[((size_t)y * width + x) * 4];
    }
    // Out of the picture, or in one that did not read, everything is clear.
    unsigned alphaAt(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < width && y < height && !rgba.empty() ? px(x, y)[3] : 0;
    }
};

static std::string dataPath(const char* name)
{
    return std::string(ASSETS_DATA_DIR) + "/" + name;
}

// A scratch path of this process alone: test runs of other checkouts on the same machine use the same names.
static fs::path scratchPath(const char* name)
{
    return fs::temp_directory_path() / (std::string(name) + "-" + std::to_string((long)getpid()));
}

static bool readPng(const std::string& path, Picture& pic)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        fclose(f);
        return false;
    }
    png_init_io(png, f);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    pic.width = (int)png_get_image_width(png, info);
    pic.height = (int)png_get_image_height(png, info);
    pic.depth = png_get_bit_depth(png, info);
    pic.colorType = png_get_color_type(png, info);
    if (pic.depth == 8 && pic.colorType == PNG_COLOR_TYPE_RGB_ALPHA) {
        png_bytepp rows = png_get_rows(png, info);
        pic.rgba.resize((size_t)pic.width * pic.height * 4);
        for (int y = 0; y < pic.height; ++y)
            memcpy(&pic.rgba[(size_t)y * pic.width * 4], rows[y], (size_t)pic.width * 4);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    fclose(f);
    return true;
}

// A picture of the pack (empty, and a failure, when it does not read).
static Picture picture(const char* name)
{
    Picture p;
    EXPECT_TRUE(readPng(dataPath(name), p)) << name;
    return p;
}

// The manifest's entries of the given kinds.
static std::vector<AssetEntry> entries(std::initializer_list<int> kinds)
{
    std::vector<AssetEntry> out;
    for (int i = 0; i < assetCount(); ++i)
        if (std::find(kinds.begin(), kinds.end(), assetTable()[i].kind) != kinds.end())
            out.push_back(assetTable()[i]);
    return out;
}

struct Decoded {
    bool ok = false;
    int channels = 0, rate = 0;
    std::vector<float> samples;
    double seconds() const
    {
        return channels && rate ? (double)samples.size() / channels / rate : 0;
    }
};

static Decoded decode(const std::string& path)
{
    Decoded d;
    SF_INFO info = {};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f)
        return d;
    d.channels = info.channels;
    d.rate = info.samplerate;
    d.samples.resize((size_t)info.frames * info.channels);
    sf_count_t got = sf_readf_float(f, d.samples.data(), info.frames);
    sf_close(f);
    d.samples.resize((size_t)got * info.channels);
    d.ok = got > 0;
    return d;
}

// A sound of the pack (empty, and a failure, when it does not decode).
static Decoded sound(const char* name)
{
    Decoded d = decode(dataPath(name));
    EXPECT_TRUE(d.ok) << name;
    return d;
}

// An empty scratch folder.
static fs::path freshDir(const char* name)
{
    fs::path dir = scratchPath(name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

static int runGenerator(const std::string& args)
{
    std::string cmd = std::string("\"") + ASSETS_GENERATOR + "\" " + args + " >/dev/null 2>&1";
    int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A name in the game's sources may be a printf pattern ("data/flap0%d.wav"): it matches any manifest entry of that shape.
static bool manifestCovers(const std::string& name)
{
    if (name.find('%') == std::string::npos)
        return findAsset(name.c_str()) != nullptr;
    // The names hold letters, digits, '-', '_' and dots: only the dots need escaping.
    std::string re = std::regex_replace(name, std::regex("%[0-9.]*[diu]"), "[0-9]+");
    re = std::regex_replace(re, std::regex("\\."), "\\.");
    std::regex pattern(std::regex_replace(re, std::regex("%s"), ".+"));
    for (int i = 0; i < assetCount(); ++i)
        if (std::regex_match(assetTable()[i].name, pattern))
            return true;
    return false;
}

//---- The manifest and the game's sources

// A row copied without its painter would paint another picture's pixels under its own name.
TEST(Manifest, ListsEachOfTheGamesFilesOnceAndEachPictureWithItsOwnPainter)
{
    ASSERT_EQ(assetCount(), 138);
    std::set<std::string> names;
    std::set<PicturePainter> painters;
    int pictures = 0, music = 0;
    for (int i = 0; i < assetCount(); ++i) {
        const AssetEntry& e = assetTable()[i];
        EXPECT_TRUE(names.insert(e.name).second) << "listed twice: " << e.name;
        music += e.kind == ASSET_MUSIC;
        if (e.kind != ASSET_PICTURE) {
            EXPECT_EQ(e.paint, nullptr) << e.name;
            continue;
        }
        ++pictures;
        EXPECT_TRUE(e.width > 0 && e.height > 0) << e.name;
        ASSERT_NE(e.paint, nullptr) << e.name;
        EXPECT_TRUE(painters.insert(e.paint).second) << "shares its painter with another picture: " << e.name;
    }
    EXPECT_EQ(pictures, 82);
    EXPECT_EQ(music, 6);
    EXPECT_EQ(findAsset("nosuch.png"), nullptr);
    EXPECT_EQ(findAsset(nullptr), nullptr);
}

TEST(Manifest, CoversEveryDataNameInTheGameSources)
{
    // A scene that names a file the generator does not make fails here.
    std::regex literal("\"data/([^\"]+)\"");
    int seen = 0;
    if (!fs::is_directory(ASSETS_GAME_SOURCES))
        GTEST_SKIP() << "no game sources yet";
    for (const auto& entry : fs::recursive_directory_iterator(ASSETS_GAME_SOURCES)) {
        std::string ext = entry.path().extension().string();
        if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h"))
            continue;
        std::ifstream in(entry.path());
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
            std::string name = (*it)[1].str();
            ++seen;
            EXPECT_TRUE(manifestCovers(name))
                << entry.path().filename().string() << " reads data/" << name << ", which the generator does not make";
            if (name.find('%') == std::string::npos) {
                EXPECT_TRUE(fs::is_regular_file(dataPath(name.c_str()))) << name;
            }
        }
    }
    RecordProperty("names", seen);
}

TEST(Manifest, PrintfPatternsMatchNumberedFiles)
{
    EXPECT_TRUE(manifestCovers("flap0%d.wav"));
    EXPECT_TRUE(manifestCovers("gentlemenswoop%d.wav"));
    EXPECT_TRUE(manifestCovers("gentlemen-hit%02d.aiff"));
    EXPECT_FALSE(manifestCovers("thunder%d.wav"));
    EXPECT_FALSE(manifestCovers("city.jpg"));
}

TEST(Pack, EveryFileIsWritten)
{
    for (int i = 0; i < assetCount(); ++i)
        EXPECT_TRUE(fs::is_regular_file(dataPath(assetTable()[i].name))) << assetTable()[i].name;
    // The font is the free League Spartan Bold, byte for byte.
    EXPECT_EQ(fs::file_size(dataPath("futurabd.ttf")), fs::file_size(ASSETS_FONT));
}

//---- Pictures

// Under linear filtering a scaled or turned sprite mixes its edge with the transparent pixels next to it: they
// must hold the sprite's own colours, not black.
TEST(Pictures, AreEightBitRgbaAtTheirTableSizeWithColouredTransparentEdges)
{
    for (const AssetEntry& e : entries({ASSET_PICTURE})) {
        Picture p = picture(e.name);
        EXPECT_TRUE(p.width == e.width && p.height == e.height) << e.name << " is " << p.width << "x" << p.height;
        EXPECT_EQ(p.depth, 8) << e.name;
        EXPECT_EQ(p.colorType, PNG_COLOR_TYPE_RGB_ALPHA) << e.name << " must have four channels even when opaque";
        int wrong = 0;
        for (int y = 0; y < p.height && !p.rgba.empty(); ++y)
            for (int x = 0; x < p.width; ++x) {
                bool hasVisible = false, matches = false;
                for (const auto& [nx, ny] : {std::pair{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}}) {
                    if (p.alphaAt(x, y) != 0 || p.alphaAt(nx, ny) == 0)
                        continue;
                    hasVisible = true;
                    matches |= std::equal(p.px(x, y), p.px(x, y) + 3, p.px(nx, ny));
                }
                wrong += hasVisible && !matches;
            }
        EXPECT_EQ(wrong, 0) << e.name << ": transparent pixels beside the sprite that do not take its colour";
    }
}

TEST(Pictures, PlaceTheirPartsWhereTheScenesLookForThem)
{
    Picture halo = picture("halo.png");
    // The halo's brightest point is its centre (166, 186), so it sits on the lamp head.
    unsigned best = 0;
    int bx = 0, by = 0;
    for (int y = 0; y < halo.height; ++y)
        for (int x = 0; x < halo.width; ++x)
            if (halo.alphaAt(x, y) > best) {
                best = halo.alphaAt(x, y);
                bx = x;
                by = y;
            }
    EXPECT_NEAR(bx, 166, 3);
    EXPECT_NEAR(by, 186, 3);
    // Spots the scenes rely on, a y below 0 counting from the bottom row.
    auto spots = [](const char* name, std::initializer_list<std::array<int, 3>> xya) {
        Picture p = picture(name);
        for (const auto& s : xya)
            EXPECT_EQ(p.alphaAt(s[0], s[1] < 0 ? p.height + s[1] : s[1]), (unsigned)s[2])
                << name << " " << s[0] << "," << s[1];
    };
    // The lamp head the owl dies on is solid; the post reaches the bottom. The letterbox's bars are 107 rows.
    spots("halo.png", {{0, 0, 0}});
    spots("lamp1.png", {{26, 36, 255}, {26, -1, 255}, {1, 200, 0}});
    spots("letterbox.png", {{500, 106, 255}, {500, 107, 0}, {500, 660, 0}, {500, 661, 255}});
    // The eyes sit on the head of every pose, and nowhere else; the body is in the same place in every pose.
    spots("flapeyes.png", {{61, 36, 255}, {44, 52, 0}});
    for (const char* pose : {"flap1.png", "flap2.png", "swoop.png"})
        spots(pose, {{61, 36, 255}, {44, 52, 255}});
    spots("bigowl.png", {{210, -1, 255}});  // the portrait reaches the bottom edge
    // City and trees reach the bottom of the screen when scaled; sprites have clear corners.
    Picture city = picture("city.png");
    Picture trees = picture("treeline.png");
    for (int x = 0; x < 512; x += 64) {
        EXPECT_EQ(city.alphaAt(x, city.height - 1), 255u);
        EXPECT_EQ(trees.alphaAt(x, trees.height - 1), 255u);
    }
    for (const char* n : {"pigeon1.png", "pigeon2.png", "citizen1.png", "citizen2.png", "citizen4.png", "moon.png",
                          "x2.png", "head.png", "skull.png", "swooping.png", "bigflap1.png", "spark.png", "flap1.png",
                          "flap2.png", "swoop.png"}) {
        Picture p = picture(n);
        EXPECT_EQ(p.alphaAt(0, 0), 0u) << n;
        EXPECT_EQ(p.alphaAt(p.width - 1, 0), 0u) << n;
    }
    // The citizens stand on their bottom rows (feet at y 760 on the street).
    for (const char* n : {"citizen1.png", "citizen4.png"}) {
        Picture p = picture(n);
        unsigned feet = 0;
        for (int x = 0; x < p.width; ++x)
            feet = std::max(feet, p.alphaAt(x, p.height - 3));
        EXPECT_EQ(feet, 255u) << n;
    }
}

TEST(Pictures, CityPagesTileWithoutASeam)
{
    // The scrolling pages lie side by side: the left and right columns must continue each other.
    for (const char* n : {"city.png", "treeline.png", "prologue-skyline.png", "sunset_trees.png", "bushbeat.png"}) {
        Picture p = picture(n);
        int differ = 0;
        for (int y = 0; y < p.height; ++y)
            differ += (p.alphaAt(0, y) > 128) != (p.alphaAt(p.width - 1, y) > 128);
        EXPECT_LT(differ, p.height / 20) << n;
    }
}

static double luma(const Picture& p, int x, int y, const double tint[3])
{
    const unsigned char* px = p.px(x, y);
    return (0.3 * px[0] * tint[0] + 0.59 * px[1] * tint[1] + 0.11 * px[2] * tint[2]) / 255.0;
}

TEST(Pictures, TheGameScreenReadsUnderItsNightTint)
{
    const double night[3] = {0.6, 1.0, 0.7}, plain[3] = {1, 1, 1};
    // The city under the night tint: a dark field, and its lit windows warm, never lime.
    Picture city = picture("city.png");
    double sum = 0;
    int lime = 0, lit = 0;
    for (int y = 0; y < city.height; ++y)
        for (int x = 0; x < city.width; ++x) {
            const unsigned char* px = city.px(x, y);
            sum += luma(city, x, y, night);
            if (luma(city, x, y, night) > 0.3) {
                ++lit;
                lime += px[1] * night[1] > px[0] * night[0];
            }
        }
    EXPECT_LT(sum / (city.width * city.height), 0.15) << "the city is a bright wall behind the play";
    EXPECT_GT(lit, 0) << "no window is lit";
    EXPECT_EQ(lime, 0) << "lit windows turn lime under the tint";
    // Pigeons: light birds inside a dark edge.
    for (const char* n : {"pigeon1.png", "pigeon2.png"}) {
        Picture p = picture(n);
        double inner = 0, edge = 0;
        int ni = 0, ne = 0;
        for (int y = 1; y < p.height - 1; ++y)
            for (int x = 1; x < p.width - 1; ++x) {
                if (p.alphaAt(x, y) < 255)
                    continue;
                bool rim = p.alphaAt(x - 1, y) < 128 || p.alphaAt(x + 1, y) < 128 || p.alphaAt(x, y - 1) < 128 ||
                           p.alphaAt(x, y + 1) < 128;
                (rim ? edge : inner) += luma(p, x, y, plain);
                ++(rim ? ne : ni);
            }
        ASSERT_GT(ni, 0);
        ASSERT_GT(ne, 0);
        EXPECT_GT(inner / ni, 0.45) << n;
        EXPECT_LT(edge / ne, 0.2) << n;
    }
    // The mist is a wide bank that fades out before its edges.
    Picture mist = picture("mist.png");
    int covered = 0;
    unsigned densest = 0;
    for (int x = 0; x < mist.width; ++x) {
        unsigned top = 0;
        for (int y = 0; y < mist.height; ++y)
            top = std::max(top, mist.alphaAt(x, y));
        covered += top > 60;
        densest = std::max(densest, top);
        EXPECT_LT(mist.alphaAt(x, 0) + mist.alphaAt(x, mist.height - 1), 8u) << "mist cut off at column " << x;
    }
    EXPECT_GT(covered, mist.width * 3 / 4);
    EXPECT_GT(densest, 150u) << "the mist hardly veils anything";
    // Combo marks fill their frame and burn white at the core.
    for (const char* n : {"x2.png", "x3.png", "x4.png", "swooplevelup.png"}) {
        Picture p = picture(n);
        int white = 0, top = p.height, bottom = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const unsigned char* px = p.px(x, y);
                if (px[3] == 255 && px[0] > 240 && px[1] > 240 && px[2] > 240) {
                    ++white;
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        EXPECT_GT(white, 50) << n;
        EXPECT_GT(bottom - top, p.height / 2) << n << ": the letters are small for their frame";
    }
    // The sunrise's sun is where the sky shows, above the trees and roofs (y 150).
    Picture sky = picture("sunset.png");
    double best = 0;
    int sunY = 0;
    for (int y = 0; y < sky.height; y += 2)
        for (int x = 0; x < sky.width; x += 2)
            if (luma(sky, x, y, plain) > best + 1e-9)
                best = luma(sky, x, y, plain), sunY = y;
    EXPECT_LT(sunY, 150);
}

// Relative luminance of an sRGB colour (0 to 1 per channel), as contrast ratios are defined on it.
static double luminance(double r, double g, double b)
{
    auto lin = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}

static double contrast(double a, double b)
{
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

static double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The median luminance of a sprite's solid pixels, drawn with the game's grey tint `shade`.
static double spriteLuminance(const Picture& p, double shade)
{
    std::vector<double> l;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.alphaAt(x, y) == 255) {
                const unsigned char* px = p.px(x, y);
                l.push_back(luminance(px[0] * shade / 255, px[1] * shade / 255, px[2] * shade / 255));
            }
    return median(l);
}

// The owl is the clearest thing on screen: against the median of the night play field (the city under its tint
// over the night sky) its plumage stands at least 4.5:1 in every pose, from the middle of the screen down (the
// game greys the owl by its height, y / 300, and draws it at full colour from y 300 on), and its dark edge still
// separates it from the densest mist.
TEST(Pictures, TheOwlIsTheClearestThingOnTheNightField)
{
    const double night[3] = {0.6, 1.0, 0.7}, sky[3] = {0.03, 0.0, 0.06};
    Picture city = picture("city.png");
    std::vector<double> field;
    for (int y = 0; y < city.height; y += 2)
        for (int x = 0; x < city.width; x += 2) {
            const unsigned char* px = city.px(x, y);
            double a = px[3] / 255.0, c[3];
            for (int k = 0; k < 3; ++k)
                c[k] = px[k] / 255.0 * night[k] * a + sky[k] * (1 - a);
            field.push_back(luminance(c[0], c[1], c[2]));
        }
    const double ground = median(field);
    const double pigeon = spriteLuminance(picture("pigeon1.png"), 1.0);
    for (const char* n : {"flap1.png", "flap2.png", "swoop.png"}) {
        Picture owl = picture(n);
        for (double y : {240.0, 300.0}) {
            double lum = spriteLuminance(owl, std::min(1.0, y / 300));
            EXPECT_GE(contrast(lum, ground), 4.5) << n << " at y " << y << " (luminance " << lum << ")";
            printf("%s at y %.0f: %.1f:1 on the night field\n", n, y, contrast(lum, ground));
        }
        // At full colour the owl is at least as bright as the pigeons it hunts.
        EXPECT_GE(spriteLuminance(owl, 1.0), pigeon * 0.9) << n;
    }
}

// Edges a scene can bring into view: the game-over skyline's foot (the tilt moves the city faster than the
// skyline, so its last rows rise into view over the sky) dissolves instead of ending in a line; the tree line
// behind the night city stays a low row of crowns.
TEST(Pictures, LayersEndSoftlyWhereTheScenesRevealThem)
{
    Picture sky = picture("skyline-red.png");
    ASSERT_FALSE(sky.rgba.empty());
    auto rowAlpha = [&sky](int y) {
        double sum = 0;
        for (int x = 0; x < sky.width; ++x)
            sum += sky.alphaAt(x, y);
        return sum / sky.width;
    };
    EXPECT_LT(rowAlpha(sky.height - 1), 4.0) << "the skyline ends in a hard edge";
    for (int y = sky.height - 160; y < sky.height - 1; ++y)
        EXPECT_LT(std::fabs(rowAlpha(y) - rowAlpha(y + 1)), 6.0) << "a step in the skyline's foot at row " << y;
    Picture trees = picture("treeline.png");
    int highest = trees.height;
    for (int x = 0; x < trees.width; ++x)
        for (int y = 0; y < trees.height; ++y)
            if (trees.alphaAt(x, y) > 128) {
                highest = std::min(highest, y);
                break;
            }
    EXPECT_GE(highest, 50) << "a tree stands as a tall dark column";
}

// The small things: the title's help plates keep 16 pixels clear of the screen's right edge (they end on it, less
// 13 columns), the pause panel hides what is behind it, the prologue's sun carries little blue.
TEST(Pictures, PlatesKeepTheirMarginPanelsHideAndTheSunStaysWarm)
{
    for (const char* n : {"attack-help.png", "swoop-help.png", "space-help.png"}) {
        Picture p = picture(n);
        unsigned right = 0;
        for (int y = 0; y < p.height; ++y)
            for (int x = p.width - 12; x < p.width; ++x)
                right = std::max(right, p.alphaAt(x, y));
        EXPECT_EQ(right, 0u) << n;
    }
    Picture pause = picture("paused.png");
    EXPECT_GE(pause.alphaAt(40, pause.height / 2), 235u);
    Picture sun = picture("sunset.png");
    ASSERT_FALSE(sun.rgba.empty());
    const unsigned char* core = sun.px((int)(sun.width * 0.62), 118);
    EXPECT_LT(core[2], core[0] * 0.45) << "the sun turns violet as the prologue darkens its red and green";
}

//---- Sounds

static double rms(const Decoded& d, double from, double to)
{
    size_t a = (size_t)(from * d.rate) * d.channels, b = (size_t)(to * d.rate) * d.channels;
    double sum = 0;
    for (size_t i = a; i < b && i < d.samples.size(); ++i)
        sum += d.samples[i] * d.samples[i];
    return std::sqrt(sum / (double)(b - a));
}

TEST(Music, SectionsFallWhereTheScenesExpectThem)
{
    // The title turns ominous at exactly 24.0 s: far louder just after than just before.
    Decoded title = sound("titular.ogg");
    EXPECT_GT(rms(title, 24.05, 25.0), 2.0 * rms(title, 23.0, 23.95));
    // The game's burst at 125 to 127 s stands out from the night before it.
    Decoded apex = sound("apex.ogg");
    EXPECT_GT(rms(apex, 125.2, 126.8), 1.3 * rms(apex, 115.0, 122.0));
    // The splash flashes at 8.2 s.
    Decoded splash = sound("sorvelinn.ogg");
    EXPECT_GT(rms(splash, 8.2, 8.8), 1.5 * rms(splash, 7.4, 8.0));
}

//---- The mix, measured as a listener hears it

// Second-order high- or low-pass (the usual cookbook biquad) over a mono signal.
static void filter(std::vector<double>& x, bool high, double hz, int rate)
{
    double w = 2 * M_PI * hz / rate, cw = std::cos(w), alpha = std::sin(w) / (2 * 0.7071);
    double b0 = high ? (1 + cw) / 2 : (1 - cw) / 2, b1 = high ? -(1 + cw) : 1 - cw, b2 = b0;
    double a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (double& v : x) {
        double y = (b0 * v + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2) / a0;
        x2 = x1;
        x1 = v;
        y2 = y1;
        y1 = y;
        v = y;
    }
}

static std::vector<double> channel(const Decoded& d, int c)
{
    std::vector<double> x(d.samples.size() / d.channels);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = d.samples[i * d.channels + (c % d.channels)];
    return x;
}

static std::vector<double> monoMix(const Decoded& d)
{
    std::vector<double> m = channel(d, 0);
    if (d.channels == 2) {
        std::vector<double> r = channel(d, 1);
        for (size_t i = 0; i < m.size(); ++i)
            m[i] = 0.5 * (m[i] + r[i]);
    }
    return m;
}

static double db(double meanSquare)
{
    return 10 * std::log10(std::max(meanSquare, 1e-12));
}

// Mean square of the whole file over `block`-second windows every `hop` seconds.
static std::vector<double> windows(const Decoded& d, double block, double hop)
{
    std::vector<double> out;
    size_t frames = d.samples.size() / d.channels, w = (size_t)(block * d.rate), h = (size_t)(hop * d.rate);
    for (size_t b = 0; b + w <= frames; b += h) {
        double sum = 0;
        for (size_t i = b * d.channels; i < (b + w) * d.channels; ++i)
            sum += (double)d.samples[i] * d.samples[i];
        out.push_back(sum / (double)(w * d.channels));
    }
    return out;
}

// Loudness as the RMS of 0.4 s windows, leaving out near silence and windows 20 dB under the rest.
static double gatedDb(const Decoded& d)
{
    std::vector<double> w = windows(d, 0.4, 0.1);
    double mean = 0, gated = 0;
    int n = 0, g = 0;
    for (double m : w)
        if (db(m) > -60)
            mean += m, ++n;
    if (!n)
        return -120;
    mean /= n;
    for (double m : w)
        if (db(m) > -60 && m > mean / 100)
            gated += m, ++g;
    return db(gated / g);
}

// Loudness range: 95th minus 10th percentile of 3-second windows within 20 dB of the loudness.
static double rangeDb(const Decoded& d)
{
    double level = gatedDb(d);
    std::vector<double> heard;
    for (double m : windows(d, 3.0, 1.0))
        if (db(m) > level - 20)
            heard.push_back(db(m));
    std::sort(heard.begin(), heard.end());
    if (heard.size() < 3)
        return 0;
    return heard[(size_t)(0.95 * (heard.size() - 1))] - heard[(size_t)(0.10 * (heard.size() - 1))];
}

// Left-right correlation, over the whole band or over the middle (250 Hz to 2.5 kHz).
static double correlation(const Decoded& d, bool midBand)
{
    std::vector<double> l = channel(d, 0), r = channel(d, 1);
    if (midBand)
        for (std::vector<double>* x : {&l, &r}) {
            filter(*x, true, 250, d.rate);
            filter(*x, false, 2500, d.rate);
        }
    double lr = 0, ll = 0, rr = 0;
    for (size_t i = 0; i < l.size(); ++i)
        lr += l[i] * r[i], ll += l[i] * l[i], rr += r[i] * r[i];
    return lr / std::sqrt(ll * rr + 1e-30);
}

// The share of a sound's energy above 5 kHz, in dB: how much it hisses.
static double hissDb(const Decoded& d)
{
    std::vector<double> m = monoMix(d), h = m;
    filter(h, true, 5000, d.rate);
    filter(h, true, 5000, d.rate);
    double all = 0, top = 0;
    for (size_t i = 0; i < m.size(); ++i)
        all += m[i] * m[i], top += h[i] * h[i];
    return db(top / all);
}

TEST(Mix, EveryTrackPlaysAtOneLevelWithARangeOfSixToEightDecibels)
{
    for (const AssetEntry& e : entries({ASSET_MUSIC})) {
        Decoded d = decode(dataPath(e.name));
        ASSERT_TRUE(d.ok) << e.name;
        EXPECT_NEAR(gatedDb(d), -18.0, 1.0) << e.name;
        double range = rangeDb(d);
        EXPECT_GE(range, 6.0) << e.name << " is flat";
        EXPECT_LE(range, 8.0) << e.name << " swings too far between quiet and loud";
    }
}

// Every sound and track decodes within its length, never clips, loops without a click, keeps its stereo together in
// mono and swings about silence.
TEST(Sounds, DecodeWithinTheirLengthsUnclippedAndHoldTogetherInMono)
{
    for (const AssetEntry& e : entries({ASSET_SOUND, ASSET_MUSIC})) {
        Decoded d = decode(dataPath(e.name));
        ASSERT_TRUE(d.ok) << e.name << " does not decode";
        EXPECT_GE(d.seconds(), e.minSeconds) << e.name;
        if (e.maxSeconds > 0) {
            EXPECT_LE(d.seconds(), e.maxSeconds) << e.name;
        }
        float peak = 0;
        for (float v : d.samples)
            peak = std::max(peak, std::fabs(v));
        EXPECT_LT(peak, 0.99f) << e.name << " clips";
        EXPECT_GT(peak, 0.1f) << e.name << " is nearly silent";
        const size_t last = d.samples.size() - d.channels;  // the first sample of the last frame
        for (int c = 0; e.kind == ASSET_MUSIC && e.loops && c < d.channels; ++c)
            EXPECT_LT(std::fabs(d.samples[last + c] - d.samples[c]), 0.02f) << e.name << " clicks on channel " << c;
        if (d.channels == 2) {
            EXPECT_GT(correlation(d, false), 0.3) << e.name << ": left and right cancel in mono";
            EXPECT_GT(correlation(d, true), 0.3) << e.name << ": the middle of the band cancels in mono";
        }
        for (int c = 0; c < d.channels; ++c) {
            std::vector<double> x = channel(d, c);
            double sum = 0;
            for (double v : x)
                sum += v;
            EXPECT_LT(std::fabs(sum / (double)x.size()), 0.001) << e.name << " channel " << c << " carries an offset";
        }
    }
}

TEST(Mix, TheNarratorIsTwelveDecibelsClearOfTheMusicInTheSpeechBand)
{
    // The prologue plays its music at volume 0.47 and starts the monologue at 1.0 s; the game over plays its
    // music at 0.52 and the narration at 6.3 s.
    struct Scene {
        const char *voice, *music;
        double volume, start;
    };
    for (const Scene& sc :
         {Scene{"monologue.wav", "revelations.ogg", 0.47, 1.0}, Scene{"gameover.wav", "tombrider.ogg", 0.52, 6.3}}) {
        Decoded v = decode(dataPath(sc.voice)), m = decode(dataPath(sc.music));
        ASSERT_TRUE(v.ok && m.ok) << sc.voice;
        std::vector<double> voice = monoMix(v), music = monoMix(m), under(voice.size());
        for (size_t i = 0; i < under.size(); ++i)  // the music loops under a voice longer than the rest of it
            under[i] = music[((size_t)(sc.start * m.rate) + i) % music.size()] * sc.volume;
        for (std::vector<double>* x : {&voice, &under}) {
            filter(*x, true, 300, v.rate);
            filter(*x, false, 3400, v.rate);
        }
        double speech = 0, bed = 0;
        for (size_t i = 0; i < voice.size(); ++i)
            speech += voice[i] * voice[i], bed += under[i] * under[i];
        EXPECT_GE(db(speech / bed), 12.0) << sc.voice << " over " << sc.music;
    }
}

// The narrator's quietest words, not only his average: speech frames of 50 ms (those within 15 dB of the voice's
// median frame) each measured in the speech band against the music under them, the worst tenth at least 12 dB clear.
TEST(Mix, EvenTheNarratorsQuietestWordsStandClearOfTheMusic)
{
    struct Scene {
        const char *voice, *music;
        double volume, start;
    };
    for (const Scene& sc :
         {Scene{"monologue.wav", "revelations.ogg", 0.47, 1.0}, Scene{"gameover.wav", "tombrider.ogg", 0.52, 6.3}}) {
        Decoded v = decode(dataPath(sc.voice)), m = decode(dataPath(sc.music));
        ASSERT_TRUE(v.ok && m.ok) << sc.voice;
        std::vector<double> voice = monoMix(v), music = monoMix(m), under(voice.size());
        for (size_t i = 0; i < under.size(); ++i)
            under[i] = music[((size_t)(sc.start * m.rate) + i) % music.size()] * sc.volume;
        for (std::vector<double>* x : {&voice, &under}) {
            filter(*x, true, 300, v.rate);
            filter(*x, false, 3400, v.rate);
        }
        const size_t frame = (size_t)(0.05 * v.rate);
        std::vector<double> speech, bed;
        for (size_t b = 0; b + frame <= voice.size(); b += frame) {
            double sv = 0, sb = 0;
            for (size_t i = b; i < b + frame; ++i)
                sv += voice[i] * voice[i], sb += under[i] * under[i];
            speech.push_back(db(sv / frame));
            bed.push_back(db(sb / frame));
        }
        std::vector<double> sorted = speech;
        std::sort(sorted.begin(), sorted.end());
        double median = sorted[sorted.size() / 2];
        std::vector<double> margins;
        for (size_t k = 0; k < speech.size(); ++k)
            if (speech[k] > median - 15)
                margins.push_back(speech[k] - bed[k]);
        ASSERT_GT(margins.size(), 20u) << sc.voice;
        std::sort(margins.begin(), margins.end());
        EXPECT_GE(margins[margins.size() / 10], 12.0) << sc.voice << " over " << sc.music;
        printf("%s: worst tenth of speech frames %.1f dB over the music\n", sc.voice, margins[margins.size() / 10]);
    }
}

// The subtitles show each line from its start to its end in the scenes' table: the voice must speak it there.
// Every line's first 0.3 s is loud against the 0.15 s just before it (after the previous line's end), and the
// 0.15 s from its end are far below its own level: the words and the hall's echo of them are over.
TEST(Mix, TheNarratorSpeaksEachLineWhileItsSubtitleShows)
{
    struct Narration {
        const char* voice;
        const SpokenLine* lines;
        int count;
    };
    for (const Narration& n : {Narration{"monologue.wav", PROLOGUE_LINES, PROLOGUE_LINE_COUNT},
                               Narration{"gameover.wav", GAMEOVER_LINES, GAMEOVER_LINE_COUNT}}) {
        Decoded v = decode(dataPath(n.voice));
        ASSERT_TRUE(v.ok) << n.voice;
        const double length = (double)v.samples.size() / v.channels / v.rate;
        for (int i = 0; i < n.count; ++i) {
            const SpokenLine& line = n.lines[i];
            ASSERT_LE(line.end + 0.15, length) << n.voice << " line " << i;
            const double level = 20 * std::log10(rms(v, line.start, line.end) + 1e-9);
            const double opening = 20 * std::log10(rms(v, line.start, line.start + 0.3) + 1e-9);
            const double after = 20 * std::log10(rms(v, line.end, line.end + 0.15) + 1e-9);
            if (i > 0) {
                const double before = 20 * std::log10(rms(v, line.start - 0.15, line.start) + 1e-9);
                EXPECT_GT(opening - before, 20.0) << n.voice << " line " << i << " starts before its subtitle";
            }
            EXPECT_GT(level - after, 20.0) << n.voice << " line " << i << " runs on past its subtitle";
            printf("%s line %d: opening %.1f dB, level %.1f dB, after its end %.1f dB\n", n.voice, i, opening, level,
                   after);
        }
    }
}

// Spectral centroid and the share of energy under 1 kHz, from the power at every 25 Hz up to 16 kHz.
static void spectrum(const Decoded& d, double& centroid, double& below1k)
{
    std::vector<double> x = monoMix(d);
    double weighted = 0, total = 0, low = 0;
    for (double hz = 25; hz <= 16000; hz += 25) {
        // Goertzel: the power of one frequency over the whole sound.
        double k = 2 * std::cos(2 * M_PI * hz / d.rate), s1 = 0, s2 = 0;
        for (double v : x) {
            double s0 = v + k * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        double power = s1 * s1 + s2 * s2 - k * s1 * s2;
        weighted += hz * power;
        total += power;
        low += hz < 1000 ? power : 0;
    }
    centroid = weighted / std::max(total, 1e-30);
    below1k = low / std::max(total, 1e-30);
}

TEST(Sounds, APigeonStruckThudsRatherThanHisses)
{
    for (const char* n : {"pigeon-hit-01.wav", "pigeon-hit-02.wav", "pigeon-hit-03.wav"}) {
        Decoded d = sound(n);
        ASSERT_TRUE(d.ok);
        double centroid = 0, low = 0;
        spectrum(d, centroid, low);
        EXPECT_LT(centroid, 3000.0) << n;
        EXPECT_GT(low, 0.5) << n << ": the body of the blow is missing";
        EXPECT_LT(d.seconds(), 0.6) << n << " lingers";
    }
}

// Every effect and voice sinks away at its end: from its loudest 10 ms on, no 10 ms falls more than 20 dB under
// the one before, and the last one (after which the sound simply stops) lies under -60 dBFS.
TEST(Sounds, EveryTailFadesOutInsteadOfStopping)
{
    for (const AssetEntry& e : entries({ASSET_SOUND})) {
        Decoded d = decode(dataPath(e.name));
        ASSERT_TRUE(d.ok) << e.name;
        std::vector<double> w = windows(d, 0.01, 0.01);
        ASSERT_FALSE(w.empty()) << e.name;
        size_t loudest = (size_t)(std::max_element(w.begin(), w.end()) - w.begin());
        for (size_t k = loudest; k + 1 < w.size(); ++k)
            if (db(w[k]) > -60) {
                EXPECT_LT(db(w[k]) - db(w[k + 1]), 20.0) << e.name << " drops at " << (k + 1) * 0.01 << " s";
            }
        EXPECT_LT(db(w.back()), -60.0) << e.name << " stops while still sounding";
    }
}

TEST(Mix, TheFlameSitsUnderThePlayAndTheShocksDoNotHiss)
{
    Decoded flame = sound("flameon2.wav"), lamp = sound("hit-lamp2.wav"), owl = sound("owldie.wav"),
            bonus = sound("swoopbonus1.wav");
    ASSERT_TRUE(flame.ok && lamp.ok && owl.ok && bonus.ok);
    EXPECT_LT(gatedDb(flame), gatedDb(bonus) - 3.0);
    EXPECT_LT(hissDb(lamp), -12.0);
    EXPECT_LT(hissDb(owl), -12.0);
}

TEST(Music, MarksTheFrenzyAndTheEndingsTurns)
{
    // The game's pigeon frenzy, 284 to 293 s, stands out from the mist before it.
    Decoded apex = sound("apex.ogg");
    EXPECT_GT(rms(apex, 284.5, 292.5), 1.6 * rms(apex, 276.0, 283.0));
    // The ending strikes at the swoop (9 s), the look up (22 s) and the credits (30.5 s).
    Decoded ending = sound("moltin.ogg");
    for (double t : {9.0, 22.0, 30.5})
        EXPECT_GT(rms(ending, t, t + 0.6), 1.3 * rms(ending, t - 0.8, t - 0.1)) << t;
}

//---- The generator itself

static std::vector<std::string> readLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

TEST(Generator, TwoRunsGiveTheSamePixelsAndSamples)
{
    // The build made data/ on two threads from the build folder; again on one thread, from another folder, with
    // another locale and an environment that offers espeak-ng a different (empty) copy of its voices.
    fs::path dir = freshDir("dunmarrow-assets-again");
    fs::create_directories(dir / "home" / "espeak-ng-data");
    std::string env = "cd \"" + dir.string() + "\" && env HOME=\"" + (dir / "home").string() +
                      "\" ESPEAK_DATA_PATH=\"" + (dir / "home").string() +
                      "\" LC_ALL=C.UTF-8 LANG=de_DE.UTF-8 TZ=Pacific/Chatham ";
    std::string cmd = env + "\"" + ASSETS_GENERATOR + "\" --threads 1 --out pack >/dev/null 2>&1";
    int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << cmd;
    fs::path again = dir / "pack";

    // The MANIFEST holds a line for every file, and both runs wrote the same one.
    std::vector<std::string> first = readLines(dataPath("MANIFEST")), second = readLines((again / "MANIFEST").string());
    ASSERT_EQ(first.size(), (size_t)assetCount());
    ASSERT_EQ(second.size(), first.size());
    for (int i = 0; i < assetCount(); ++i) {
        EXPECT_NE(first[(size_t)i].find(assetTable()[i].name), std::string::npos) << first[(size_t)i];
        EXPECT_EQ(first[(size_t)i], second[(size_t)i]) << assetTable()[i].name << " differs between runs";
    }
    // And decoded here, independently of the generator's own reading.
    for (int i = 0; i < assetCount(); ++i) {
        const AssetEntry& e = assetTable()[i];
        std::string other = (again / e.name).string();
        if (e.kind == ASSET_PICTURE) {
            Picture a, b;
            ASSERT_TRUE(readPng(dataPath(e.name), a) && readPng(other, b)) << e.name;
            EXPECT_TRUE(a.rgba == b.rgba) << e.name << " differs between runs";
        } else if (e.kind != ASSET_FONT) {
            // Ogg files carry a random stream serial, so the decoded samples are compared, not the bytes.
            Decoded a = decode(dataPath(e.name)), b = decode(other);
            ASSERT_TRUE(a.ok && b.ok) << e.name;
            EXPECT_TRUE(a.samples == b.samples) << e.name << " differs between runs";
        }
    }
    fs::remove_all(dir);
}

TEST(Generator, VoicesIgnoreRandomDrawsOnOtherThreads)
{
    // espeak-ng breathes with rand(); while it speaks, the other worker's libraries draw from rand() too.
    fs::path dir = freshDir("dunmarrow-voices-again");
    ASSERT_TRUE(voicesInit());
    std::atomic<bool> stop{false};
    std::atomic<long> draws{0};
    std::thread other([&]() {
        while (!stop) {
            (void)rand();
            ++draws;
        }
    });
    int failures = makeVoices(dir.string().c_str());
    stop = true;
    other.join();
    ASSERT_EQ(failures, 0);
    EXPECT_GT(draws.load(), 0);
    int voices = 0;
    for (int i = 0; i < assetCount(); ++i) {
        const AssetEntry& e = assetTable()[i];
        if (!fs::is_regular_file(dir / e.name))
            continue;
        ++voices;
        EXPECT_EQ(fingerprintLine(dir.string().c_str(), e), fingerprintLine(ASSETS_DATA_DIR, e)) << e.name;
    }
    EXPECT_EQ(voices, 28);
    fs::remove_all(dir);
}

TEST(Generator, ManifestChangesWhenOneSampleChanges)
{
    // The fingerprint must see a one-sample difference, or the comparison above proves nothing.
    fs::path dir = freshDir("dunmarrow-fingerprint");
    const std::string folder = dir.string(), wavPath = (dir / "flap01.wav").string(),
                      pngPath = (dir / "spark.png").string();
    const AssetEntry &wav = *findAsset("flap01.wav"), &png = *findAsset("spark.png");
    fs::copy_file(dataPath(wav.name), wavPath);
    fs::copy_file(dataPath(png.name), pngPath);
    const std::string soundBefore = fingerprintLine(folder.c_str(), wav),
                      pictureBefore = fingerprintLine(folder.c_str(), png);
    ASSERT_FALSE(soundBefore.empty() || pictureBefore.empty());
    SF_INFO info = {};
    SNDFILE* f = sf_open(wavPath.c_str(), SFM_RDWR, &info);
    ASSERT_NE(f, nullptr);
    short s = 0;
    sf_seek(f, info.frames / 2, SEEK_SET);
    sf_read_short(f, &s, 1);
    s = (short)(s == 32767 ? s - 1 : s + 1);
    sf_seek(f, info.frames / 2, SEEK_SET);
    sf_write_short(f, &s, 1);
    sf_close(f);
    EXPECT_NE(fingerprintLine(folder.c_str(), wav), soundBefore);
    // A picture re-encoded with other compression but the same pixels keeps its line.
    Picture p;
    ASSERT_TRUE(readPng(pngPath, p));
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    image.width = (png_uint_32)p.width;
    image.height = (png_uint_32)p.height;
    image.format = PNG_FORMAT_RGBA;
    ASSERT_TRUE(png_image_write_to_file(&image, pngPath.c_str(), 0, p.rgba.data(), 0, nullptr));
    EXPECT_EQ(fingerprintLine(folder.c_str(), png), pictureBefore);
    p.rgba[3] ^= 1;
    ASSERT_TRUE(png_image_write_to_file(&image, pngPath.c_str(), 0, p.rgba.data(), 0, nullptr));
    EXPECT_NE(fingerprintLine(folder.c_str(), png), pictureBefore);
    EXPECT_TRUE(fingerprintLine(folder.c_str(), *findAsset("city.png")).empty()) << "a missing file has no line";
    fs::remove_all(dir);
}

TEST(Generator, RejectsBadOptionsAndMissingInputsWithoutCrashing)
{
    fs::path dir = scratchPath("dunmarrow-assets-bad");
    fs::remove_all(dir);
    const std::string out = "--out \"" + dir.string() + "\" ";
    // Usage errors exit 2; inputs that are missing, or an output below a plain file, exit 1.
    for (const char* usage : {"", "--out", "--out x --threads 7", "--out x --bogus"})
        EXPECT_EQ(runGenerator(usage), 2) << usage;
    for (const std::string& args : {out + "--font /nonexistent/font.otf", out + "--soundfont /nonexistent/gm.sf2",
                                    "--out \"" + std::string(ASSETS_FONT) + "/data\""})
        EXPECT_EQ(runGenerator(args), 1) << args;
    fs::remove_all(dir);
}

TEST(Generator, ContactSheetShowsEveryPicture)
{
    fs::path sheet = scratchPath("dunmarrow-contact-sheet").string() + ".png";
    fs::remove(sheet);
    ASSERT_EQ(runGenerator("--out \"" + std::string(ASSETS_DATA_DIR) + "\" --contact-sheet \"" + sheet.string() +
                           "\" --sheet-only"),
              0);
    Picture p;
    ASSERT_TRUE(readPng(sheet.string(), p));
    EXPECT_EQ(p.width, 8 * 240);
    EXPECT_EQ(p.height, 11 * 200);  // 81 pictures, 8 to a row
    fs::remove(sheet);
    // A folder without the pictures gets no sheet of empty cells: the generator refuses.
    fs::path empty = freshDir("dunmarrow-assets-empty");
    EXPECT_EQ(runGenerator("--out \"" + empty.string() + "\" --contact-sheet \"" + sheet.string() + "\" --sheet-only"),
              1);
    EXPECT_FALSE(fs::exists(sheet));
    fs::remove_all(empty);
}
