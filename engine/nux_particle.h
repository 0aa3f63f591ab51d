// nux_particle: particle sources, fixed sets of image sprites thrown from a point, falling and
// spinning. A source stands in a screen's draw list and moves its particles as it is drawn.
#pragma once

#include "nux_core.h"

struct Particle {
    Image* sprite;  // the particle's picture; it belongs to the screen's draw list
    float vy, vx;   // pixels per 1/120 second, positive down and right
    float x, y;
    int active;      // 1 while flying
    float lifeLeft;  // seconds
    float spin;      // degrees per second
};

struct ParticleSource {
    Sprite sprite;       // x, y: the emission point; draw: NUX_UpdateParticleSource
    KWArray* particles;  // Particle records, in the order they were added
    float gravity;       // added to vy per second
    float minScale;
    float particleLife;  // seconds
    float spinRange;     // spins drawn from 0 to spinRange - 1 degrees per second
    float vySpread, vxSpread;
    float emitInterval;  // seconds between emissions of the continuous stream
    float emitTimer;     // seconds since the last emission of any kind
    int emitStopped;     // non-zero: no continuous stream
    int emitPaused;      // non-zero: no continuous stream
};

// A source with the default tuning and no particles yet; count is how many the caller will add.
ParticleSource* NUX_CreateParticleSource(int count);

// Adds one particle drawn with image (centred, hidden until emitted).
void NUX_AddSpriteParticle(ParticleSource* source, Image* image);

// Hides every particle and marks it inactive.
void NUX_ResetParticleSource(ParticleSource* source);

// A burst: emits up to n of the inactive particles, in order.
void NUX_EmitParticles(ParticleSource* source, int n);

// (Re)starts one particle at the emission point.
void NUX_EmitParticle(ParticleSource* source, Particle* particle);

// The per-frame step, run as the source's draw callback; reads the shell's frame time.
void NUX_UpdateParticleSource(Sprite* item);

// Creates a source of count particles of the picture at path, their images added to screen
// before the source itself.
ParticleSource* NUX_AddParticleSource(Screen* screen, int count, const char* path);
