// harness_script: the harness's key-script lines ("T press|release KEY", "T quit", # comments),
// parsed without the engine so that the parser can also be fuzzed on its own.
#pragma once

#include "nux_input.h"  // NUX_Key

#include <cstddef>  // size_t

// One scripted event.
struct ScriptEvent {
    double time;  // seconds of virtual time, finite and not negative; delivered on the first frame at or after it
    NUX_Key key;  // NUX_KEY_NONE: a window-close request
    int pressed;
};

// Parses one line of length bytes (no terminator needed; a trailing '\r' or '\n' is ignored).
// Returns 1 with *out filled, 0 for a blank or comment-only line, -1 for anything else. The line
// is "TIME press KEY", "TIME release KEY" or "TIME quit", words separated by spaces or tabs, an
// optional '#' comment after; TIME is a decimal number of seconds; KEY one of up down left right
// space p return m escape q. Never reads outside the line, never allocates.
int parseScriptLine(const char* line, size_t length, ScriptEvent* out);

// Splits text of length bytes into lines and parses each in turn. Returns the number of the
// first malformed line (1-based), or 0 when every line parsed; each event is passed to onEvent
// (may be null) in file order.
typedef void (*ScriptEventSink)(const ScriptEvent& event, void* context);
size_t parseScript(const char* text, size_t length, ScriptEventSink onEvent, void* context);
