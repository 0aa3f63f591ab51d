// harness_check: the per-frame invariants of the random-key sessions and the allocation counter.
// Sanitized builds count through the sanitizer's allocation hooks; plain builds replace malloc
// and its family with thin wrappers over the C library's own.

#include "harness_check.h"

#include "gameLocal.h"  // owl, gameTimeElapsed
#include "main.h"       // gameMode, the six screens

#include <cstdio>    // fopen, fscanf, fprintf
#include <unistd.h>  // sysconf: the page size

#if defined(__SANITIZE_ADDRESS__)
#define HARNESS_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HARNESS_ASAN 1
#endif
#endif

#ifdef HARNESS_ASAN
// The sanitizer's own interface (its header is not installed with every compiler).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));
extern "C" size_t __sanitizer_get_current_allocated_bytes();
extern "C" void __sanitizer_print_stack_trace();
#endif

//---- Constants

static const long MAX_SHOWN = 20;  // failures printed; the rest only counted

//---- State

static bool armed = false;
static thread_local bool countedThread = false;  // only the thread that armed is counted
static thread_local bool inHook = false;
static bool openingMusic = false;
static bool paused = false;
static bool tracing = false;
static long playAllocations = 0;
static long musicAllocations = 0;

static int prevMode = -1;
static int prevScore = 0;
static double prevGameTime = 0.0;
static long prevPlayAllocations = 0;
static long modeFrames[6];

//---- Counting

static void countAllocation()
{
    if (!armed || paused || !countedThread || inHook)
        return;
    inHook = true;
    if (openingMusic) {
        musicAllocations++;
    } else {
        playAllocations++;
#ifdef HARNESS_ASAN
        if (tracing) {
            fprintf(stderr, "harness: allocation during play, mode %d:\n", gameMode);
            __sanitizer_print_stack_trace();
        }
#endif
    }
    inHook = false;
}

#ifdef HARNESS_ASAN
static void onMalloc(const volatile void*, size_t)
{
    countAllocation();
}

static void onFree(const volatile void*) {}

static void installHooks()
{
    static bool installed = false;
    if (!installed)
        __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
    installed = true;
}

long long allocLiveBytes()
{
    return (long long)__sanitizer_get_current_allocated_bytes();
}
#else
#include <malloc.h>  // malloc_usable_size
// The C library's own allocator, under the names it keeps for programs that replace malloc.
extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void __libc_free(void*);

static long long liveBytes = 0;

extern "C" void* malloc(size_t size)
{
    void* p = __libc_malloc(size);
    if (p) {
        countAllocation();
        __atomic_add_fetch(&liveBytes, (long long)malloc_usable_size(p), __ATOMIC_RELAXED);
    }
    return p;
}

extern "C" void* calloc(size_t count, size_t size)
{
    void* p = __libc_calloc(count, size);
    if (p) {
        countAllocation();
        __atomic_add_fetch(&liveBytes, (long long)malloc_usable_size(p), __ATOMIC_RELAXED);
    }
    return p;
}

extern "C" void* realloc(void* old, size_t size)
{
    long long before = old ? (long long)malloc_usable_size(old) : 0;
    void* p = __libc_realloc(old, size);
    if (p || size == 0) {
        countAllocation();
        __atomic_add_fetch(&liveBytes, (p ? (long long)malloc_usable_size(p) : 0) - before, __ATOMIC_RELAXED);
    }
    return p;
}

extern "C" void free(void* p)
{
    if (p)
        __atomic_sub_fetch(&liveBytes, (long long)malloc_usable_size(p), __ATOMIC_RELAXED);
    __libc_free(p);
}

static void installHooks() {}

long long allocLiveBytes()
{
    return __atomic_load_n(&liveBytes, __ATOMIC_RELAXED);
}
#endif

//---- Opening a track

// Added to the shell's hooks when the count is armed: the engine says when NUX_PlayMusic opens a
// track, so that what the track allocates as it opens is told apart from allocations during play.
static void musicOpening(int opening)
{
    openingMusic = opening != 0;
}

//---- Public

void allocCountArm()
{
    installHooks();
    NUX_GameHooks hooks = *NUX_GetGameHooks();
    hooks.musicOpening = musicOpening;
    NUX_SetGameHooks(&hooks);
    countedThread = true;
    armed = true;
}

void allocCountMusic(bool on)
{
    openingMusic = on;
}

void allocCountPause(bool on)
{
    paused = on;
}

void allocCountTrace(bool on)
{
    tracing = on;
}

long allocCountPlay()
{
    return playAllocations;
}

long allocCountMusicOpen()
{
    return musicAllocations;
}

long residentKilobytes()
{
    FILE* file = fopen("/proc/self/statm", "r");
    if (!file)
        return -1;
    long size = 0, resident = -1;
    if (fscanf(file, "%ld %ld", &size, &resident) != 2)
        resident = -1;
    fclose(file);
    return resident < 0 ? -1 : resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void checkStartSession()
{
    prevMode = -1;
    prevScore = getScore();
    prevGameTime = gamePlay.gameTimeElapsed;
    // The allocations of the session's own mode switch count towards its first frame.
}

long checkedFrames(int mode)
{
    return mode >= 0 && mode < 6 ? modeFrames[mode] : 0;
}

int checkFrame(long session, long frame)
{
    int failures = 0;
    auto fail = [&](const char* what, long value) {
        static long shown = 0;
        if (++shown > MAX_SHOWN)
            return (void)failures++;
        fprintf(stderr, "harness: session %ld frame %ld (mode %d): %s (%ld)\n", session, frame, gameMode, what, value);
        failures++;
    };
    if (gameMode < 0 || gameMode > 5)
        fail("the mode is not 0 to 5", gameMode);
    else
        modeFrames[gameMode]++;
    if (owl.lives < 0 || owl.lives > 5)
        fail("the lives are not 0 to 5", owl.lives);
    // A new game starts its clock again; within one the score only grows.
    const bool newGame = gameMode == MODE_GAME && (prevMode != MODE_GAME || gamePlay.gameTimeElapsed < prevGameTime);
    if (getScore() < prevScore && !newGame && prevMode >= 0)
        fail("the score fell within a game", (long)prevScore - getScore());
    Screen* const screens[] = {introScreen, prologueScreen, gameScreen, gameOverScreen, gameBeatScreen, sorvelScreen};
    for (int mode = 0; mode < 6; mode++)
        if (screens[mode] && screens[mode]->visible && mode != gameMode)
            fail("another mode's screen is visible; its mode", mode);
    if (armed && playAllocations != prevPlayAllocations)
        fail("allocations during the frame", playAllocations - prevPlayAllocations);
    prevMode = gameMode;
    prevScore = getScore();
    prevGameTime = gamePlay.gameTimeElapsed;
    prevPlayAllocations = playAllocations;
    return failures;
}
