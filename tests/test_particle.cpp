// Tests of particle sources: the burst rule, the stream's pacing, the life rule and the physics.

#include "nux.h"
#include "testutil.h"

#include <gtest/gtest.h>
#include <png.h>
#include <cstdlib>  // srand

//---- Helpers

// The frame time the particles move by: this file's own, handed to the engine as the shell's is.
static float elapsed = 0.0f;
static float frameTime()
{
    return elapsed;
}
[[maybe_unused]] static const bool hooksSet = [] {
    NUX_GameHooks hooks = {};
    hooks.frameTime = frameTime;
    NUX_SetGameHooks(&hooks);
    return true;
}();

static Screen* particleScreen()
{
    static Screen* screen = NUX_CreateScreen();
    return screen;
}

static int activeCount(ParticleSource* source)
{
    int n = 0;
    for (int i = 0; i < source->particles->count; i++)
        n += ((Particle*)source->particles->items[i])->active;
    return n;
}

static Particle* particleAt(ParticleSource* source, int i)
{
    return (Particle*)source->particles->items[i];
}

// One drawn frame of the source's screen, dt seconds long.
static void step(ParticleSource* source, float dt)
{
    elapsed = dt;
    NUX_UpdateParticleSource(&source->sprite);
}

//---- Bursts

TEST(Particles, BurstsEmitOnlyIdleParticlesAndAreCappedAtTheCount)
{
    srand(3);
    ParticleSource* source = NUX_AddParticleSource(particleScreen(), 200, "data/feather.png");
    source->emitStopped = 1;
    NUX_EmitParticles(source, 180);
    EXPECT_EQ(activeCount(source), 180);
    NUX_EmitParticles(source, 40);
    EXPECT_EQ(activeCount(source), 200) << "a busy source emits only its 20 idle particles";

    NUX_ResetParticleSource(source);
    EXPECT_EQ(activeCount(source), 0);
    EXPECT_EQ(particleAt(source, 0)->sprite->sprite.alpha, 0.0f);
    NUX_EmitParticles(source, 500);
    EXPECT_EQ(activeCount(source), 200);
}

TEST(Particles, EmissionPlacesScalesAndShowsTheParticle)
{
    srand(11);
    ParticleSource* source = NUX_AddParticleSource(particleScreen(), 400, "data/feather.png");
    source->sprite.x = 300.0f;
    source->sprite.y = 200.0f;
    NUX_EmitParticles(source, 400);
    for (int i = 0; i < 400; i++) {
        Particle* p = particleAt(source, i);
        const Sprite& s = p->sprite->sprite;
        ASSERT_EQ(s.alpha, 1.0f);
        // Displacements 125 / k for k in 1..99, always right of and below the point.
        ASSERT_GE(p->x, 300.0f + 125.0f / 99.0f - 1e-3f) << i;
        ASSERT_LE(p->x, 300.0f + 125.0f) << i;
        ASSERT_GE(p->y, 200.0f + 125.0f / 99.0f - 1e-3f) << i;
        ASSERT_GE(s.scaleX, 0.6f + 0.4f / 99.0f - 1e-6f) << i;
        ASSERT_EQ(s.scaleX, s.scaleY);
        ASSERT_EQ(p->lifeLeft, 2.0f);
    }
}

//---- The stream

TEST(Particles, StreamPacesByEmitInterval)
{
    srand(5);
    ParticleSource* sparks = NUX_AddParticleSource(particleScreen(), 50, "data/spark.png");
    sparks->emitInterval = 0.2f;
    sparks->particleLife = 1.0f;
    // Paused: nothing flows however long it waits.
    sparks->emitPaused = 1;
    for (int i = 0; i < 30; i++)
        step(sparks, 0.05f);
    EXPECT_EQ(activeCount(sparks), 0);

    // Running: one particle each time the timer passes 0.2 s, the first idle one in order.
    sparks->emitPaused = 0;
    sparks->emitTimer = 0.0f;
    for (int i = 0; i < 20; i++)
        step(sparks, 0.05f);  // one second
    EXPECT_GE(activeCount(sparks), 4);
    EXPECT_LE(activeCount(sparks), 5);
    EXPECT_EQ(particleAt(sparks, 0)->active, 1);
    EXPECT_EQ(particleAt(sparks, 5)->active, 0);

    // With no interval, one particle joins per frame.
    ParticleSource* stream = NUX_AddParticleSource(particleScreen(), 20, "data/spark.png");
    for (int i = 0; i < 10; i++)
        step(stream, 0.016f);
    EXPECT_EQ(activeCount(stream), 10);
    // A frame of zero time does not pass the interval test.
    step(stream, 0.0f);
    EXPECT_EQ(activeCount(stream), 10);
}

//---- Life and physics

TEST(Particles, ParticleAtExactlyZeroLifeMovesOnceMore)
{
    ParticleSource* source = NUX_AddParticleSource(particleScreen(), 1, "data/feather.png");
    source->emitStopped = 1;
    NUX_EmitParticles(source, 1);
    Particle* p = particleAt(source, 0);
    p->lifeLeft = 0.0f;
    float yBefore = p->y;
    step(source, 0.1f);
    EXPECT_EQ(p->active, 1);
    EXPECT_NE(p->y, yBefore);
    step(source, 0.1f);
    EXPECT_EQ(p->active, 0);
    EXPECT_EQ(p->sprite->sprite.alpha, 1.0f) << "a dead particle stays where it stopped until emitted again";
}

TEST(Particles, GravityVelocityDragAndSpinOverFixedFrames)
{
    ParticleSource* source = NUX_AddParticleSource(particleScreen(), 1, "data/feather.png");
    source->emitStopped = 1;
    NUX_EmitParticles(source, 1);
    Particle* p = particleAt(source, 0);
    p->x = 100.0f;
    p->y = 100.0f;
    p->vx = 1.0f;
    p->vy = 0.0f;
    p->spin = 90.0f;
    p->sprite->sprite.rotation = 0.0f;

    step(source, 0.1f);
    // vy gains gravity first, then moves the particle: 10 * 0.1 = 1 pixel per 1/120 s.
    EXPECT_FLOAT_EQ(p->vy, 1.0f);
    EXPECT_FLOAT_EQ(p->y, 100.0f + 1.0f * 120.0f * 0.1f);
    EXPECT_FLOAT_EQ(p->x, 100.0f + 1.0f * 120.0f * 0.1f);
    EXPECT_NEAR(p->vx, 1.0f - 0.28f, 1e-6);
    EXPECT_EQ(p->sprite->sprite.y, p->y);
    EXPECT_FLOAT_EQ(p->sprite->sprite.rotation, 9.0f);
    EXPECT_FLOAT_EQ(p->lifeLeft, 1.9f);

    // A small positive vx pushed below zero by the first drag rule is pushed back by the second.
    p->vx = 0.1f;
    step(source, 0.1f);
    EXPECT_NEAR(p->vx, 0.1f, 1e-6);
    // A negative vx drifts towards zero.
    p->vx = -1.0f;
    step(source, 0.1f);
    EXPECT_NEAR(p->vx, -0.72f, 1e-6);
}

//---- On screen

TEST(Particles, ABurstShowsOnScreenAroundItsPoint)
{
    if (!testOpenWindow())
        GTEST_SKIP() << "no display";
    std::vector<uint8_t> white(8 * 8 * 4, 255);
    std::string feather = testWritePng("feather8.png", 8, 8, PNG_COLOR_TYPE_RGBA, 8, white);
    for (int i = 0; nuxScreens && i < nuxScreens->count; i++)
        ((Screen*)nuxScreens->items[i])->visible = 0;
    Screen* screen = NUX_CreateScreen();
    ParticleSource* source = NUX_AddParticleSource(screen, 40, feather.c_str());
    source->emitStopped = 1;
    source->sprite.x = 512.0f;
    source->sprite.y = 384.0f;
    srand(9);
    NUX_EmitParticles(source, 40);
    elapsed = 1.0f / 60.0f;

    // The source moves its feathers after they are drawn: the second frame shows them in flight.
    testBeginFrame();
    NUX_RenderImages();
    testBeginFrame();
    NUX_RenderImages();
    auto frame = testReadFrame();
    int lit = 0, far = 0;
    for (int y = 0; y < 768; y++)
        for (int x = 0; x < 1024; x++) {
            if (testPixel(frame, x, y).r < 128)
                continue;
            lit++;
            far += x < 490 || y < 370 || x > 660 || y > 530;
        }
    EXPECT_GT(lit, 200) << "forty feathers of up to 8 by 8 pixels";
    EXPECT_EQ(far, 0) << "feathers start right of and below the point, and have flown one frame";
}
