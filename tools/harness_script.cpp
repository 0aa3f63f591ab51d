// harness_script: parses the harness's key scripts, one line at a time, strictly: anything that is
// not a well-formed event, a blank line or a comment is refused rather than half-understood.

#include "harness_script.h"

#include <charconv>  // from_chars: the time, the same in every locale
#include <cmath>     // isfinite
#include <cstring>   // memchr, memcmp

//---- Constants

// The key names scripts use: those of NUX_KeyFromName, kept here so that the parser needs
// nothing from the engine at link time.
static const struct {
    const char* name;
    NUX_Key key;
} SCRIPT_KEYS[] = {
    {"up", NUX_KEY_UP},         {"down", NUX_KEY_DOWN}, {"left", NUX_KEY_LEFT},     {"right", NUX_KEY_RIGHT},
    {"space", NUX_KEY_SPACE},   {"p", NUX_KEY_P},       {"return", NUX_KEY_RETURN}, {"m", NUX_KEY_M},
    {"escape", NUX_KEY_ESCAPE}, {"q", NUX_KEY_Q},
};

//---- Helpers

struct Word {
    const char* start;
    size_t length;
};

static bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

static bool wordIs(const Word& word, const char* text)
{
    size_t n = strlen(text);
    return word.length == n && memcmp(word.start, text, n) == 0;
}

static NUX_Key keyNamed(const Word& word)
{
    for (const auto& entry : SCRIPT_KEYS)
        if (wordIs(word, entry.name))
            return entry.key;
    return NUX_KEY_NONE;
}

// A time in seconds: a plain decimal number, finite and not negative.
static bool parseTime(const Word& word, double* time)
{
    double value = 0.0;
    const char* end = word.start + word.length;
    std::from_chars_result parsed = std::from_chars(word.start, end, value);
    if (parsed.ec != std::errc() || parsed.ptr != end || !std::isfinite(value) || value < 0.0)
        return false;
    *time = value + 0.0;  // -0 reads as 0
    return true;
}

//---- Public

int parseScriptLine(const char* line, size_t length, ScriptEvent* out)
{
    const char* hash = length ? (const char*)memchr(line, '#', length) : nullptr;
    if (hash)
        length = (size_t)(hash - line);
    Word words[3] = {};
    int count = 0;
    size_t i = 0;
    while (i < length) {
        while (i < length && isSpace(line[i]))
            i++;
        if (i == length)
            break;
        if (count == 3)
            return -1;  // more words than any event has
        size_t start = i;
        while (i < length && !isSpace(line[i]))
            i++;
        words[count++] = Word{line + start, i - start};
    }
    if (count == 0)
        return 0;
    ScriptEvent event = {};
    if (!parseTime(words[0], &event.time))
        return -1;
    if (count == 2 && wordIs(words[1], "quit")) {
        event.key = NUX_KEY_NONE;
        *out = event;
        return 1;
    }
    if (count != 3 || !(wordIs(words[1], "press") || wordIs(words[1], "release")))
        return -1;
    event.key = keyNamed(words[2]);
    if (event.key == NUX_KEY_NONE)
        return -1;
    event.pressed = wordIs(words[1], "press") ? 1 : 0;
    *out = event;
    return 1;
}

size_t parseScript(const char* text, size_t length, ScriptEventSink onEvent, void* context)
{
    size_t number = 0;
    size_t start = 0;
    while (start < length) {
        const char* newline = (const char*)memchr(text + start, '\n', length - start);
        size_t end = newline ? (size_t)(newline - text) : length;
        number++;
        ScriptEvent event = {};
        int parsed = parseScriptLine(text + start, end - start, &event);
        if (parsed < 0)
            return number;
        if (parsed > 0 && onEvent)
            onEvent(event, context);
        start = end + 1;
    }
    return 0;
}
