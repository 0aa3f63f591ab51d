// fuzz_keyscript: feeds arbitrary bytes to the harness's key-script parser as a whole script,
// line by line, and checks what it accepts: every event has a finite time that is not negative.

#include "harness_script.h"  // parseScript, parseScriptLine

#include <cmath>    // isfinite
#include <cstddef>  // size_t
#include <cstdint>  // uint8_t
#include <cstdlib>  // abort

//---- Checks

static void checkEvent(const ScriptEvent& event, void*)
{
    if (!std::isfinite(event.time) || event.time < 0.0)
        abort();
    if (event.key < NUX_KEY_NONE || event.key > NUX_KEY_Q || (event.pressed != 0 && event.pressed != 1))
        abort();
    if (event.key == NUX_KEY_NONE && event.pressed != 0)
        abort();
}

//---- Entry

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* text = (const char*)data;
    parseScript(text, size, checkEvent, nullptr);
    // The whole input as one line too, as --key hands it over.
    ScriptEvent event = {};
    int parsed = parseScriptLine(text, size, &event);
    if (parsed < -1 || parsed > 1)
        abort();
    if (parsed == 1)
        checkEvent(event, nullptr);
    return 0;
}
