// fuzz_replay: feeds arbitrary bytes to the replay reader and, when it accepts them, plays the
// replay through the engine's input, clock and music reads to its end: neither may crash, and
// whatever the reader accepts must play without going past what it holds.

#include "nux.h"

#include <cstddef>  // size_t
#include <cstdint>  // uint8_t, uint64_t
#include <cstdlib>  // abort

//---- Constants

// The pack hash the corpus's replays were written for: all zero.
static const uint64_t PACK = 0;
static const long MAX_FRAMES = 20000;  // enough for any input of the fuzzer's length

//---- Entry

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    char message[512] = "";
    NUX_ReplayHeader header = {};
    NUX_ReplayStatus status = NUX_ParseReplay((const char*)data, size, PACK, &header, message, sizeof message);
    // Every refusal says why; an accepted file says nothing.
    const bool said = message[0] != '\0';
    if (status < NUX_REPLAY_OK || status > NUX_REPLAY_OTHER_PACK || said != (status != NUX_REPLAY_OK))
        abort();
    if (status != NUX_REPLAY_OK)
        return 0;
    if (header.frames < 1)
        abort();
    // Played as the shell plays it, with one more clock and music read a frame than it may hold.
    NUX_StartReplay(0);
    exitFlag = 1;
    for (long frame = 0; frame <= header.frames && frame < MAX_FRAMES && exitFlag; frame++) {
        NUX_InputUpdate();
        for (int i = 0; i < 2; i++) {
            float dt = NUX_ReplayFrameTime(0.5f);
            if (!(dt >= 0.0f && dt <= 0.5f))
                abort();
            if (NUX_GetMusicPosition() < 0.0 || NUX_GetMusicLength() < 0.0)
                abort();
        }
    }
    if (NUX_FinishReplay(nullptr) < 0)
        abort();
    exitFlag = 1;
    return 0;
}
