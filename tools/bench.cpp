// bench: speed figures of the engine's hot paths, with Google Benchmark. Not a test: it prints
// what a frame, a picture, a label and a particle step cost on this machine.
// Run it from the folder that holds data/ (the build folder).

#include "gameLocal.h"
#include "main.h"
#include "pngLoad.h"
#include "scenes.h"

#include <benchmark/benchmark.h>
#include <cstdlib>  // free

//---- Helpers

// Starts the whole game headless once, as the harness does, and leaves it on the title.
static void startGame()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    NUX_UseVirtualClock(1.0 / 60.0);
    NUX_UseDeterministicMusicClock(1);
    NUX_InitHeadless(1024, 768);
    initShell(1);
    initSorvel();
    initScreens();
    loadSequences();
    switchGameMode(MODE_TITLE);
}

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
    initPigeonsAndCitizens();
    for (int i = 0; i < PIGEON_POOL; i += 3)
        pigeons[i].struck = 1;
    const float dt = 1.0f / 60.0f;
    for (auto _ : state) {
        for (Pigeon& pigeon : pigeons)
            updatePigeon(&pigeon, dt);
        for (Citizen& citizen : citizens)
            updateCitizen(&citizen, dt);
        for (Lamp& lamp : lamps)
            updateLamp(&lamp, dt);
    }
}
BENCHMARK(BM_StreetFrame)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
