// DUNMARROW asset generator: the C library's rand() for this program, one stream per thread, seeded per file.
// espeak-ng draws a voice's breath noise from rand(), and cairo and FluidSynth draw from it too; with the C
// library's single process-wide stream, a voice depended on what the other thread happened to paint meanwhile.

#include "assetgen.h"  // seedLibraryRandom, rngFromName
#include <cstdlib>     // the rand and srand being replaced

//---- File-level state: each thread's stream (the painter and the composer never share one)

static thread_local uint64_t t_state = 0x2545F4914F6CDD1Dull;

//---- Seeding

void seedLibraryRandom(const char* name)
{
    t_state = rngFromName(name).state;
}

//---- The replacements: the executable's definitions come before the C library's for every library it loads

extern "C" int rand(void) noexcept
{
    Rng r{t_state};
    uint64_t v = rngNext(r);
    t_state = r.state;
    return (int)(v >> 33);  // 31 bits: 0 to RAND_MAX
}

extern "C" void srand(unsigned seed) noexcept
{
    t_state = seed;
}
