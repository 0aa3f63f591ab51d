// nux_particle: particle sources. Emission draws from rand() in a fixed order, so a seeded
// run throws the same feathers and sparks every time.

#include "nux_particle.h"
#include "nux_local.h"  // nuxFrameTime, the shell's frame time

#include <cstdlib>  // rand, calloc

//---- Constants

static const float HORIZONTAL_DRAG = 2.8f;   // vx lost per second, in pixels per 1/120 s
static const float VELOCITY_UNITS = 120.0f;  // velocities are pixels per 1/120 second

//---- Helpers

// A divisor from rand() % 100 for the spread of position and scale. A draw of 0 would divide
// by zero, so it is drawn again until it is not.
static int drawDivisor()
{
    int k = rand() % 100;
    while (k == 0)
        k = rand() % 100;
    return k;
}

//---- Public

ParticleSource* NUX_CreateParticleSource(int)
{
    ParticleSource* source = (ParticleSource*)calloc(1, sizeof(ParticleSource));
    source->particles = KWArray_Create((int32_t)sizeof(Particle));
    source->gravity = 10.0f;
    source->minScale = 0.6f;
    source->particleLife = 2.0f;
    source->spinRange = 500.0f;
    source->vySpread = 5.0f;
    source->vxSpread = 10.0f;
    return source;
}

void NUX_AddSpriteParticle(ParticleSource* source, Image* image)
{
    Particle* particle = (Particle*)KWArray_CreateElement(source->particles);
    particle->sprite = image;
    image->sprite.centered = 1;
    image->sprite.alpha = 0.0f;
}

void NUX_ResetParticleSource(ParticleSource* source)
{
    for (int32_t i = 0; i < source->particles->count; i++) {
        Particle* particle = (Particle*)source->particles->items[i];
        particle->sprite->sprite.alpha = 0.0f;
        particle->active = 0;
    }
}

void NUX_EmitParticle(ParticleSource* source, Particle* particle)
{
    Sprite* image = &particle->sprite->sprite;
    particle->active = 1;
    image->alpha = 1.0f;
    particle->x = source->sprite.x + 125.0f / (float)drawDivisor();
    particle->y = source->sprite.y + 125.0f / (float)drawDivisor();
    particle->lifeLeft = source->particleLife;
    int spinRange = (int)source->spinRange;
    particle->spin = (float)(rand() % (spinRange >= 1 ? spinRange : 1));
    float scale = source->minScale + (1.0f - source->minScale) / (float)drawDivisor();
    image->scaleX = scale;
    image->scaleY = scale;
    particle->vx = (float)(rand() % 1000) * source->vxSpread / 1000.0f - source->vxSpread / 2.0f;
    particle->vy = (float)(rand() % 1000) * source->vySpread / 1000.0f - source->vySpread / 2.0f;
    source->emitTimer = 0.0f;
}

void NUX_EmitParticles(ParticleSource* source, int n)
{
    if (n > source->particles->count)
        n = source->particles->count;
    int emitted = 0;
    for (int32_t i = 0; i < source->particles->count && emitted < n; i++) {
        Particle* particle = (Particle*)source->particles->items[i];
        if (!particle->active) {
            NUX_EmitParticle(source, particle);
            emitted++;
        }
    }
}

void NUX_UpdateParticleSource(Sprite* item)
{
    ParticleSource* source = (ParticleSource*)item;
    const float e = nuxFrameTime();
    source->emitTimer += e;
    for (int32_t i = 0; i < source->particles->count; i++) {
        Particle* particle = (Particle*)source->particles->items[i];
        if (particle->lifeLeft < 0.0f)
            particle->active = 0;
        if (!particle->active) {
            if (source->emitTimer > source->emitInterval && source->emitStopped == 0 && source->emitPaused == 0)
                NUX_EmitParticle(source, particle);
        }
        if (particle->active) {
            particle->vy += source->gravity * e;
            particle->y += particle->vy * VELOCITY_UNITS * e;
            particle->x += particle->vx * VELOCITY_UNITS * e;
            if (particle->vx > 0.0f)
                particle->vx -= HORIZONTAL_DRAG * e;
            if (particle->vx < 0.0f)
                particle->vx += HORIZONTAL_DRAG * e;
            Sprite* image = &particle->sprite->sprite;
            image->x = particle->x;
            image->y = particle->y;
            particle->lifeLeft -= e;
            image->rotation += particle->spin * e;
        }
    }
}

ParticleSource* NUX_AddParticleSource(Screen* screen, int count, const char* path)
{
    ParticleSource* source = NUX_CreateParticleSource(count);
    source->sprite.draw = NUX_UpdateParticleSource;
    for (int i = 0; i < count; i++)
        NUX_AddSpriteParticle(source, NUX_AddImage(screen, path));
    KWArray_PushElement(screen->items, &source->sprite);
    return source;
}
