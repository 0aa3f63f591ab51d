// bench: speed figures of the engine's hot paths, with Google Benchmark. Not a test: it prints
// what a frame, a picture, a label and a particle step cost on this machine.
// Run it from the folder that holds data/ (the build folder); with --rendered (first argument)
// it opens the real window and draws every frame (needs a display), otherwise nothing is drawn.
// scripts/bench runs it both ways and prints the figures side by side.

#include "gameLocal.h"
#include "nux_desktop.h"  // NUX_SetPauseOnFocusLoss
#include "main.h"
#include "pngLoad.h"
#include "scenes.h"

#include <benchmark/benchmark.h>
#include <algorithm>  // min, max
#include <chrono>     // the decode's two halves, timed apart
#include <ctime>      // clock_gettime: the CPU of every thread (the software renderer's too)
#include <cstdio>     // fopen: resident memory
#include <cstdlib>    // free
#include <cstring>    // strcmp, strlen
#include <dirent.h>   // the pack's files, listed
#include <sndfile.h>  // decoding every sound, as loading does
#include <string>
#include <unistd.h>  // sysconf: the page size of resident memory
#include <vector>

//---- Constants

static const float FRAME = 1.0f / 60.0f;

//---- State

static bool rendered = false;  // --rendered: a real window, every frame drawn

//---- Helpers

// Seconds of CPU the whole process has used, every thread counted.
static double processSeconds()
{
    timespec t = {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double)t.tv_sec + (double)t.tv_nsec * 1e-9;
}

// Resident memory of the whole process, in MiB (the GL driver's textures included).
static double residentMiB()
{
    long pages = 0, resident = 0;
    if (FILE* f = fopen("/proc/self/statm", "r")) {
        if (fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        fclose(f);
    }
    return (double)resident * (double)sysconf(_SC_PAGESIZE) / (1024.0 * 1024.0);
}

// The engine started (headless, or in a window with --rendered) and the splash loaded, as the
// game has it when the splash ends.
static void startSplash()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    NUX_UseVirtualClock(1.0 / 60.0);
    NUX_UseDeterministicMusicClock(1);
    if (!rendered || !NUX_Init(1024, 768, 0, "DUNMARROW bench"))
        NUX_InitHeadless(1024, 768);
    // As in the harness: a focus change the display happens to send must not pause the measured
    // game (a paused frame draws the pause panel and freezes the street).
    NUX_SetPauseOnFocusLoss(0);
    initShell(1);
    initSorvel();
}

static bool scenesLoaded = false;

// Starts the whole game once, as the harness does, and leaves it on the title.
static void startGame()
{
    startSplash();
    if (scenesLoaded)
        return;
    scenesLoaded = true;
    initScreens();
    loadSequences();
    switchGameMode(MODE_TITLE);
}

// Keeps the owl cruising high, clear of every lamp head and never swooping, so that a frame
// strikes nothing and nobody dies, and keeps the street at its fullest.
static void holdFullStreet()
{
    owl.x = 300.0f;
    owl.y = 120.0f;
    owl.fallSpeed = 0.0f;
    owl.lives = 5;
    gameScore.numPigeons = PIGEON_POOL;
    gameScore.numCitizens = (float)CITIZEN_POOL;
    gameScore.numLamps = (float)LAMP_POOL;
    gamePlay.gameTimeElapsed = 60.0;
}

// The game at its busiest: started, its music at 60 s (inside the first mist wave), the mist
// crossing, all 600 pigeons, 10 citizens and 18 lamps in play and 250 particles in flight.
static void startBusyGame()
{
    startGame();
    static bool busy = false;
    if (busy)
        return;
    busy = true;
    switchGameMode(MODE_GAME);
    holdFullStreet();
    runGame(FRAME);  // starts the music
    for (int i = 0; i < 3600; i++)
        NUX_AdvanceVirtualClock();  // one minute of music, with no frame run
    holdFullStreet();
    runGame(FRAME);
}

// Every burst source full: the 200 feathers and the owl's 50 sparks.
static void fillParticles()
{
    NUX_EmitParticles(feathers, 200);
    NUX_EmitParticles(owl.sparks, 50);
}

// Particles in flight, of both sources.
static int activeParticles()
{
    int n = 0;
    for (ParticleSource* source : {feathers, owl.sparks})
        for (int32_t i = 0; i < source->particles->count; i++)
            n += ((Particle*)source->particles->items[i])->active != 0;
    return n;
}

// One mist bank as large as a wave makes one, right across the middle of the screen and still.
static void holdMistAcross()
{
    Mist& bank = mistWaves.mist[0];
    bank.active = 1;
    bank.vx = 0.0f;
    bank.x = 512.0f;
    bank.y = 384.0f;
    bank.sprite->sprite.scaleX = bank.sprite->sprite.scaleY = 3.96f;  // the largest a wave gives
    bank.sprite->sprite.alpha = 0.6f;
    bank.sprite->sprite.x = bank.x;
    bank.sprite->sprite.y = bank.y;
}

// Screens of picture the visible screens show this frame: each picture's, rectangle's and label's
// own drawn area (turns ignored), cut to the screen. What a renderer has to blend at the least.
static double pictureScreens()
{
    double area = 0.0;
    for (int32_t i = 0; i < nuxScreens->count; i++) {
        Screen* screen = (Screen*)nuxScreens->items[i];
        if (screen->visible != 1)
            continue;
        for (int32_t j = 0; j < screen->items->count; j++) {
            Sprite* s = (Sprite*)screen->items->items[j];
            float w = 0.0f, h = 0.0f;
            if (s->draw == NUX_DrawImage && s->alpha >= 0.001f) {
                w = (float)((Image*)s)->pixelWidth;
                h = (float)((Image*)s)->pixelHeight;
            } else if (s->draw == NUX_DrawEmptySprite && s->alpha > 0.0f) {
                w = s->width;
                h = s->height;
            } else if (s->draw == NUX_DrawLabel) {
                w = (float)((Label*)s)->textWidth;
                h = (float)((Label*)s)->textHeight;
            }
            w *= s->scaleX;
            h *= s->scaleY;
            float left = s->centered == 1 ? s->x - w / 2.0f : s->x, top = s->centered == 1 ? s->y - h / 2.0f : s->y;
            float right = std::min(left + w, 1024.0f), bottom = std::min(top + h, 768.0f);
            left = std::max(left, 0.0f);
            top = std::max(top, 0.0f);
            if (right > left && bottom > top)
                area += (double)(right - left) * (double)(bottom - top);
        }
    }
    return area / (1024.0 * 768.0);
}

//---- Frames

// The screens of picture the busiest frames showed at their end, without and with the mist across:
// their fill floor blends as many.
static double busiestScreens[2] = {0.0, 0.0};

// One whole frame of the busiest play: input, the game's update, drawing (with --rendered) and
// sound. The clock does not move between frames, so the music stays inside the mist wave; the
// frame is still 1/60 s of play for everything on the street. With mistAcross, one bank lies
// right across the screen.
static void busiestFrames(benchmark::State& state, bool mistAcross)
{
    startBusyGame();
    const Mist bank = mistWaves.mist[0];
    const Sprite bankSprite = mistWaves.mist[0].sprite->sprite;
    long frames = 0;
    long mistActive = 0, particles = 0;
    double screens = 0.0;
    const double cpuStart = processSeconds();
    for (auto _ : state) {
        holdFullStreet();
        if (mistAcross)
            holdMistAcross();
        if (frames++ % 30 == 0)
            fillParticles();
        NUX_Update();
        runGame(FRAME);
        NUX_UpdateSound();
        particles += activeParticles();
    }
    const double cpu = processSeconds() - cpuStart;
    holdFullStreet();
    if (mistAcross)
        holdMistAcross();
    screens = pictureScreens();
    for (const Mist& other : mistWaves.mist)
        mistActive += other.active;
    mistWaves.mist[0] = bank;  // the bank back where the wave had it
    mistWaves.mist[0].sprite->sprite = bankSprite;
    state.counters["cpu_all_threads_us"] = frames ? cpu / (double)frames * 1e6 : 0.0;
    state.counters["mode"] = gameMode;
    state.counters["pigeons"] = gameScore.numPigeons;
    state.counters["mist"] = (double)mistActive;
    state.counters["particles"] = frames ? (double)particles / (double)frames : 0.0;
    state.counters["picture_screens"] = screens;
    busiestScreens[mistAcross ? 1 : 0] = screens;
    state.counters["draws"] = NUX_GetDrawCallCount();
    state.counters["triangles"] = NUX_GetTriangleCount();
}

// The busiest frames run a fixed number of times, and before the benchmarks that move the game on
// by as many frames as their timing asks: the street moves on from frame to frame, so that two
// runs, of two builds too, measure the same stretch of play.
static const int BUSIEST_FRAMES = 300;

static void BM_PlayFrame(benchmark::State& state)
{
    busiestFrames(state, false);
}
BENCHMARK(BM_PlayFrame)->Unit(benchmark::kMicrosecond)->Iterations(BUSIEST_FRAMES);

static void BM_MistFrame(benchmark::State& state)
{
    busiestFrames(state, true);
}
BENCHMARK(BM_MistFrame)->Unit(benchmark::kMicrosecond)->Iterations(BUSIEST_FRAMES);

// The floor under a frame: one clear, as many blended screens as the busiest frame shows (with
// the mist across: argument 1), one present.
static void BM_FillFloor(benchmark::State& state)
{
    startBusyGame();
    const Mist bank = mistWaves.mist[0];
    const Sprite bankSprite = mistWaves.mist[0].sprite->sprite;
    holdFullStreet();
    if (state.range(0) == 1)
        holdMistAcross();
    const double screens = busiestScreens[state.range(0)] > 0.0 ? busiestScreens[state.range(0)] : pictureScreens();
    mistWaves.mist[0] = bank;
    mistWaves.mist[0].sprite->sprite = bankSprite;
    std::vector<int> visible;
    for (int32_t i = 0; i < nuxScreens->count; i++) {
        Screen* screen = (Screen*)nuxScreens->items[i];
        visible.push_back(screen->visible);
        screen->visible = 0;
    }
    long frames = 0;
    const double cpuStart = processSeconds();
    for (auto _ : state) {
        NUX_BeginRender();
        for (double left = screens; left > 0.0; left -= 1.0)
            NUX_DrawRect(0.0f, 0.0f, 1024.0f, 768.0f * (float)std::min(left, 1.0), 128, 128, 128, 128, 0.0f);
        NUX_EndRender();
        frames++;
    }
    state.counters["cpu_all_threads_us"] = frames ? (processSeconds() - cpuStart) / (double)frames * 1e6 : 0.0;
    state.counters["picture_screens"] = screens;
    for (int32_t i = 0; i < nuxScreens->count; i++)
        ((Screen*)nuxScreens->items[i])->visible = visible[(size_t)i];
}
BENCHMARK(BM_FillFloor)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The same engine frame with nothing to draw: input, clear and present.
static void BM_EmptyFrame(benchmark::State& state)
{
    startGame();
    std::vector<int> visible;
    for (int32_t i = 0; i < nuxScreens->count; i++) {
        Screen* screen = (Screen*)nuxScreens->items[i];
        visible.push_back(screen->visible);
        screen->visible = 0;
    }
    long frames = 0;
    const double cpuStart = processSeconds();
    for (auto _ : state) {
        NUX_Update();
        frames++;
    }
    state.counters["cpu_all_threads_us"] = frames ? (processSeconds() - cpuStart) / (double)frames * 1e6 : 0.0;
    for (int32_t i = 0; i < nuxScreens->count; i++)
        ((Screen*)nuxScreens->items[i])->visible = visible[(size_t)i];
}
BENCHMARK(BM_EmptyFrame)->Unit(benchmark::kMicrosecond);

// Resident memory once everything is loaded (the title ready), and after 60 seconds of play at
// the busiest, every frame drawn. Once, in a process of its own (--benchmark_filter=BM_Memory).
static void BM_Memory(benchmark::State& state)
{
    if (scenesLoaded) {
        state.SkipWithError("memory is measured in a process of its own: --benchmark_filter=BM_Memory");
        for (auto _ : state) {}
        return;
    }
    startGame();
    const double loaded = residentMiB();
    double played = 0.0;
    for (auto _ : state) {
        switchGameMode(MODE_GAME);
        holdFullStreet();
        for (int frame = 0; frame < 60 * 60; frame++) {
            holdFullStreet();
            if (frame % 30 == 0)
                fillParticles();
            NUX_AdvanceVirtualClock();
            runMainFrame();
        }
        played = residentMiB();
    }
    state.counters["rss_loaded_mib"] = loaded;
    state.counters["rss_played_mib"] = played;
}
BENCHMARK(BM_Memory)->Unit(benchmark::kSecond)->Iterations(1);

//---- Benchmarks

// One main-loop frame of the current mode, without drawing.
static void BM_HeadlessFrame(benchmark::State& state)
{
    startGame();
    for (auto _ : state) {
        NUX_AdvanceVirtualClock();
        runMainFrame();
    }
}
BENCHMARK(BM_HeadlessFrame);

// Decoding the largest scenery picture, as loading does once per file.
static void BM_DecodePicture(benchmark::State& state)
{
    for (auto _ : state) {
        uint32_t w = 0, h = 0;
        unsigned char* pixels = nullptr;
        pngLoad("data/citydark.png", &w, &h, &pixels);
        benchmark::DoNotOptimize(pixels);
        free(pixels);
    }
}
BENCHMARK(BM_DecodePicture)->Unit(benchmark::kMillisecond);

// Re-rendering the score label, as every award does.
static void BM_ScoreLabelText(benchmark::State& state)
{
    startGame();
    static Label* label = NUX_CreateLabel(fontFutura, "0 POINTS", 256, 28, 255, 255, 255, 255);
    int score = 0;
    char text[64];
    for (auto _ : state) {
        snprintf(text, sizeof text, "%d POINTS", score += 50);
        NUX_SetLabelText(label, text);
    }
}
BENCHMARK(BM_ScoreLabelText)->Unit(benchmark::kMicrosecond);

// One frame of a burst of 200 feathers in flight.
static void BM_FeatherStep(benchmark::State& state)
{
    startGame();
    static ParticleSource* feathers = NUX_AddParticleSource(gameScreen, 200, "data/feather.png");
    feathers->emitStopped = 1;
    elapsed = 1.0f / 60.0f;
    for (auto _ : state) {
        if (feathers->emitTimer > 1.5f) {
            state.PauseTiming();
            NUX_ResetParticleSource(feathers);
            NUX_EmitParticles(feathers, 200);
            state.ResumeTiming();
        }
        NUX_UpdateParticleSource(&feathers->sprite);
    }
}
BENCHMARK(BM_FeatherStep);

// The street at its busiest: all 600 pigeons flying, a third of them falling, and the 10
// citizens each scanning the whole flock, plus the 18 lamps.
static void BM_StreetFrame(benchmark::State& state)
{
    startGame();
    // The owl out of reach, so nothing is struck, spoken or electrocuted while it runs.
    owl.x = -5000;
    owl.y = -5000;
    owl.swoopActive = 0;
    gameMusicElapsed = 100.0;
    resetFlock();
    resetStreet();
    for (int i = 0; i < PIGEON_POOL; i += 3)
        flock.pigeons[i].struck = 1;
    const float dt = 1.0f / 60.0f;
    for (auto _ : state) {
        for (Pigeon& pigeon : flock.pigeons)
            updatePigeon(&pigeon, dt);
        for (Citizen& citizen : street.citizens)
            updateCitizen(&citizen, dt);
        for (Lamp& lamp : street.lamps)
            updateLamp(&lamp, dt);
    }
}
BENCHMARK(BM_StreetFrame)->Unit(benchmark::kMicrosecond);

// The raw decode of every picture and sound of the pack, as files: what loading cannot go below.
static void BM_DecodePack(benchmark::State& state)
{
    std::vector<std::string> pictures, sounds;
    if (DIR* dir = opendir("data")) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            auto endsWith = [&](const char* tail) {
                return name.size() > strlen(tail) && name.compare(name.size() - strlen(tail), strlen(tail), tail) == 0;
            };
            if (endsWith(".png"))
                pictures.push_back("data/" + name);
            else if (endsWith(".ogg") || endsWith(".wav"))
                sounds.push_back("data/" + name);
        }
        closedir(dir);
    }
    std::vector<short> samples(65536);
    long frames = 0;
    double pictureSeconds = 0.0, soundSeconds = 0.0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        for (const std::string& path : pictures) {
            uint32_t w = 0, h = 0;
            unsigned char* pixels = nullptr;
            pngLoad(path.c_str(), &w, &h, &pixels);
            benchmark::DoNotOptimize(pixels);
            free(pixels);
        }
        auto between = std::chrono::steady_clock::now();
        for (const std::string& path : sounds) {
            SF_INFO info = {};
            SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
            if (!file || info.channels < 1)
                continue;
            sf_count_t got = 0;
            while ((got = sf_readf_short(file, samples.data(), (sf_count_t)samples.size() / info.channels)) > 0)
                frames += got;
            sf_close(file);
        }
        pictureSeconds += std::chrono::duration<double>(between - start).count();
        soundSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - between).count();
    }
    state.counters["pictures"] = (double)pictures.size();
    state.counters["sounds"] = (double)sounds.size();
    state.counters["pictures_ms"] = pictureSeconds / (double)state.iterations() * 1e3;
    state.counters["sounds_ms"] = soundSeconds / (double)state.iterations() * 1e3;
}
BENCHMARK(BM_DecodePack)->Unit(benchmark::kMillisecond)->Iterations(3);

// Start-up from the end of the splash to the title ready: the font, the five screens, every
// scene's load, and the title's reset. Once, in a process of its own (--benchmark_filter=
// BM_StartUp): pictures load once per run, so a second start-up would find them all cached.
static void BM_StartUp(benchmark::State& state)
{
    if (scenesLoaded) {
        state.SkipWithError("start-up is measured in a process of its own: --benchmark_filter=BM_StartUp");
        for (auto _ : state) {}
        return;
    }
    startSplash();
    scenesLoaded = true;
    for (auto _ : state) {
        initScreens();
        loadSequences();
        switchGameMode(MODE_TITLE);
    }
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char** argv)
{
    if (argc > 1 && strcmp(argv[1], "--rendered") == 0) {
        rendered = true;
        argv[1] = argv[0];
        argv++;
        argc--;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
