// DUNMARROW asset generator: the program the build runs to write data/ (pictures, sounds, music, voices, font).
// Runs the jobs on two threads, prints how long the pack took, and can lay every picture on a contact sheet.

#include "assetgen.h"  // manifest, painters, composers
#include <atomic>      // the shared job counter
#include <chrono>      // timing figures printed for the build log
#include <cstdio>      // printf, fprintf, snprintf
#include <cstring>     // strcmp, strncmp
#include <filesystem>  // creating the output folder, copying the font
#include <thread>      // the second worker
#include <vector>      // the job list

//---- Constants

static const char* DEFAULT_FONT = "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Bold.otf";
static const char* DEFAULT_SOUNDFONT = "/usr/share/sounds/sf2/TimGM6mb.sf2";

//---- Jobs

enum JobKind { JOB_PICTURE, JOB_MUSIC, JOB_EFFECT, JOB_VOICES };

struct Job {
    int kind;
    const AssetEntry* entry;  // null for the voices job
    double seconds;           // measured
    int failures;
};

static bool isVoice(const char* name)
{
    static const char* PREFIXES[] = {"gentlemen", "human-hit", "niceswoopin", "monologue", "gameover.wav"};
    for (const char* p : PREFIXES)
        if (strncmp(name, p, strlen(p)) == 0)
            return true;
    return false;
}

static void runJob(Job& job, const char* dir)
{
    auto t0 = std::chrono::steady_clock::now();
    seedLibraryRandom(job.entry ? job.entry->name : "voices");
    switch (job.kind) {
    case JOB_PICTURE: job.failures = paintPicture(dir, *job.entry); break;
    case JOB_MUSIC: job.failures = makeMusic(dir, job.entry->name); break;
    case JOB_EFFECT: job.failures = makeEffect(dir, job.entry->name); break;
    case JOB_VOICES: job.failures = makeVoices(dir); break;
    }
    job.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

//---- Contact sheet: every picture on a named grid over a checkerboard, for review

static int contactSheet(const char* dir, const char* out)
{
    const int COLS = 8, CELL_W = 240, CELL_H = 200, PIC_H = 168;
    int pictures = 0;
    for (int i = 0; i < assetCount(); ++i)
        pictures += assetTable()[i].kind == ASSET_PICTURE;
    // A folder without the pack's pictures gets no sheet at all: a grid of empty cells would pass for a review.
    int missing = 0;
    for (int i = 0; i < assetCount(); ++i) {
        char path[1024];
        snprintf(path, sizeof path, "%s/%s", dir, assetTable()[i].name);
        if (assetTable()[i].kind == ASSET_PICTURE && !std::filesystem::is_regular_file(path))
            ++missing;
    }
    if (missing) {
        fprintf(stderr, "assetgen: %d of the %d pictures are missing from %s; no contact sheet written\n", missing,
                pictures, dir);
        return 1;
    }
    int rows = (pictures + COLS - 1) / COLS;
    Canvas sheet = canvasCreate(COLS * CELL_W, rows * CELL_H);
    cairo_t* cr = sheet.cr;
    cairo_set_source_rgb(cr, 0.2, 0.2, 0.22);
    cairo_paint(cr);
    int k = 0, unreadable = 0;
    for (int i = 0; i < assetCount(); ++i) {
        const AssetEntry& e = assetTable()[i];
        if (e.kind != ASSET_PICTURE)
            continue;
        double x0 = (k % COLS) * CELL_W, y0 = (k / COLS) * CELL_H;
        ++k;
        // Checkerboard under the picture shows its transparent parts.
        for (int cy = 0; cy < PIC_H; cy += 8)
            for (int cx = 0; cx < CELL_W - 8; cx += 8) {
                bool dark = ((cx / 8) + (cy / 8)) % 2;
                cairo_set_source_rgb(cr, dark ? 0.55 : 0.75, dark ? 0.55 : 0.75, dark ? 0.58 : 0.78);
                cairo_rectangle(cr, x0 + 4 + cx, y0 + 4 + cy, 8, 8);
                cairo_fill(cr);
            }
        char path[1024];
        snprintf(path, sizeof path, "%s/%s", dir, e.name);
        cairo_surface_t* pic = cairo_image_surface_create_from_png(path);
        if (cairo_surface_status(pic) == CAIRO_STATUS_SUCCESS) {
            double w = cairo_image_surface_get_width(pic), h = cairo_image_surface_get_height(pic);
            double s = std::min((CELL_W - 8) / w, PIC_H / h);
            if (s > 4)
                s = 4;
            cairo_save(cr);
            cairo_translate(cr, x0 + 4 + ((CELL_W - 8) - w * s) / 2, y0 + 4 + (PIC_H - h * s) / 2);
            cairo_scale(cr, s, s);
            cairo_set_source_surface(cr, pic, 0, 0);
            cairo_paint(cr);
            cairo_restore(cr);
        } else {
            fprintf(stderr, "assetgen: cannot read %s for the contact sheet\n", path);
            ++unreadable;
        }
        cairo_surface_destroy(pic);
        char label[160];
        snprintf(label, sizeof label, "%s  %dx%d", e.name, e.width, e.height);
        drawText(cr, label, x0 + CELL_W / 2.0, y0 + PIC_H + 22, 14, 1, Rgba{1, 1, 1, 1}, Rgba{0, 0, 0, 0}, 0);
    }
    bool ok = unreadable == 0 && writePngRgba(sheet.surface, out);
    canvasFree(sheet);
    if (ok)
        printf("assetgen: contact sheet of %d pictures in %s\n", pictures, out);
    return ok ? 0 : 1;
}

//---- Entry

static void usage()
{
    fprintf(stderr, "usage: dunmarrow-assetgen --out DIR [--contact-sheet FILE.png] [--sheet-only] [--threads 1|2]\n"
                    "                          [--font FONT.otf] [--soundfont FILE.sf2]\n"
                    "       dunmarrow-assetgen --icons DIR   (the desktop icon only)\n");
}

int main(int argc, char** argv)
{
    const char *out = nullptr, *icons = nullptr, *sheet = nullptr, *font = DEFAULT_FONT, *sf2 = DEFAULT_SOUNDFONT;
    int threads = 2;
    bool sheetOnly = false;
    for (int i = 1; i < argc; ++i) {
        bool hasValue = i + 1 < argc;
        if (strcmp(argv[i], "--out") == 0 && hasValue)
            out = argv[++i];
        else if (strcmp(argv[i], "--icons") == 0 && hasValue)
            icons = argv[++i];
        else if (strcmp(argv[i], "--contact-sheet") == 0 && hasValue)
            sheet = argv[++i];
        else if (strcmp(argv[i], "--font") == 0 && hasValue)
            font = argv[++i];
        else if (strcmp(argv[i], "--soundfont") == 0 && hasValue)
            sf2 = argv[++i];
        else if (strcmp(argv[i], "--threads") == 0 && hasValue) {
            threads = atoi(argv[++i]);
            if (threads < 1 || threads > 2) {
                fprintf(stderr, "assetgen: --threads takes 1 or 2\n");
                return 2;
            }
        } else if (strcmp(argv[i], "--sheet-only") == 0)
            sheetOnly = true;
        else {
            fprintf(stderr, "assetgen: unknown or incomplete option '%s'\n", argv[i]);
            usage();
            return 2;
        }
    }
    if (icons)
        return makeIcons(icons) ? 1 : 0;
    if (!out || !*out) {
        usage();
        return 2;
    }
    if (sheetOnly && !sheet) {
        fprintf(stderr, "assetgen: --sheet-only needs --contact-sheet FILE\n");
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (ec || !std::filesystem::is_directory(out)) {
        fprintf(stderr, "assetgen: cannot create the output folder %s\n", out);
        return 1;
    }
    if (!fontInit(font)) {
        fprintf(stderr, "assetgen: cannot read the font %s\n", font);
        return 1;
    }
    if (sheetOnly)
        return contactSheet(out, sheet);
    if (!std::filesystem::is_regular_file(sf2)) {
        fprintf(stderr, "assetgen: cannot find the soundfont %s\n", sf2);
        return 1;
    }
    soundfontPath(sf2);
    if (!voicesInit()) {
        fprintf(stderr, "assetgen: espeak-ng could not start\n");
        return 1;
    }

    auto t0 = std::chrono::steady_clock::now();
    // Longest jobs first so the two threads finish together: the game's music, the voices, the other music.
    std::vector<Job> jobs;
    const AssetEntry* apex = findAsset("apex.ogg");
    jobs.push_back(Job{JOB_MUSIC, apex, 0, 0});
    jobs.push_back(Job{JOB_VOICES, nullptr, 0, 0});
    for (int i = 0; i < assetCount(); ++i) {
        const AssetEntry& e = assetTable()[i];
        if (e.kind == ASSET_MUSIC && &e != apex)
            jobs.push_back(Job{JOB_MUSIC, &e, 0, 0});
    }
    for (int i = 0; i < assetCount(); ++i) {
        const AssetEntry& e = assetTable()[i];
        if (e.kind == ASSET_SOUND && !isVoice(e.name))
            jobs.push_back(Job{JOB_EFFECT, &e, 0, 0});
        if (e.kind == ASSET_PICTURE)
            jobs.push_back(Job{JOB_PICTURE, &e, 0, 0});
    }
    std::atomic<size_t> next{0};
    auto worker = [&]() {
        for (size_t i = next++; i < jobs.size(); i = next++)
            runJob(jobs[i], out);
    };
    std::thread second;
    if (threads == 2)
        second = std::thread(worker);
    worker();
    if (second.joinable())
        second.join();

    // The font is League Spartan Bold under the name the game opens.
    int failures = 0;
    char fontOut[1024];
    snprintf(fontOut, sizeof fontOut, "%s/futurabd.ttf", out);
    std::filesystem::copy_file(font, fontOut, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
        fprintf(stderr, "assetgen: cannot copy the font to %s\n", fontOut);
        ++failures;
    }

    double pictures = 0, music = 0, effects = 0, voices = 0;
    for (const Job& j : jobs) {
        failures += j.failures;
        (j.kind == JOB_PICTURE  ? pictures
         : j.kind == JOB_MUSIC  ? music
         : j.kind == JOB_EFFECT ? effects
                                : voices) += j.seconds;
    }
    // Every file of the manifest must now be there.
    for (int i = 0; i < assetCount(); ++i) {
        char path[1024];
        snprintf(path, sizeof path, "%s/%s", out, assetTable()[i].name);
        if (!std::filesystem::is_regular_file(path)) {
            fprintf(stderr, "assetgen: %s was not written\n", assetTable()[i].name);
            ++failures;
        }
    }
    // What each file decodes to, for comparing two packs.
    if (!writeFingerprints(out, threads))
        ++failures;
    double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    printf(
        "assetgen: %d files in %.1f s on %d thread%s (work: pictures %.1f s, music %.1f s, effects %.1f s, voices %.1f s)\n",
        assetCount(), total, threads, threads > 1 ? "s" : "", pictures, music, effects, voices);
    if (sheet)
        failures += contactSheet(out, sheet);
    if (failures)
        fprintf(stderr, "assetgen: %d failure%s\n", failures, failures > 1 ? "s" : "");
    return failures ? 1 : 0;
}
