// nux_replay: writes a run's frame times, music values and keys to a replay file as it is played,
// and hands them back frame by frame when the file is replayed, checking the game's state hash
// every second of play against the recorded one.

#include "nux_replay.h"
#include "nux_files.h"  // the pack's MANIFEST
#include "nux_local.h"  // the game's state hash and summary, exitFlag, the key names

#include <SDL.h>     // SDL_Delay: holding a watched replay to its recorded pace
#include <cerrno>    // errno: why a file could not be opened
#include <charconv>  // to_chars, from_chars: exact numbers in every locale
#include <chrono>    // steady_clock: the real time a watched replay is held to
#include <climits>   // LONG_MAX, INT32_MAX, UINT32_MAX
#include <cstdarg>   // va_list, for the messages
#include <cstdio>    // snprintf
#include <cstdlib>   // strtof, strtod: numbers in the browser build
#include <cstring>   // memcmp, strlen, memcpy, strerror
#include <vector>    // the replay's frames, filled once at load

//---- Constants

static const char* MAGIC = "DUNMARROW replay ";
static const size_t MAX_FILE_BYTES = 512u << 20;  // more than a day of play
static const size_t LINE_ROOM = 1u << 16;         // the longest frame line a recording writes
static const size_t SUMMARY_ROOM = 160;
static const double MAX_MUSIC_VALUE = 1.0e6;  // seconds; no track is anywhere near

//---- Types

enum EventKind : uint8_t { EVENT_KEY = 1, EVENT_QUIT = 2, EVENT_FOCUS = 3 };

struct ReplayEvent {
    uint8_t kind;
    uint8_t key;
    uint8_t pressed;
};

struct MusicValue {
    char kind;  // 'm' position, 'l' length
    double value;
};

// Where each frame's values and events start; the next frame's starts end them.
struct ReplayFrame {
    uint32_t firstTime, firstMusic, firstEvent;
    double playTime;  // the recorded frame times summed before this frame
};

struct HashCheck {
    long frame;  // checked once this frame has run
    long second;
    uint64_t hash;
};

//---- State

// The recording.
static FILE* recordFile = nullptr;
static char recordPath[4096];
static char recordLine[LINE_ROOM];
static size_t recordLength = 0;
static bool recordOverflow = false;
static long recordFrames = 0;
static double recordPlayTime = 0.0;
static long recordNextSecond = 1;

// The replay, read whole at load.
static NUX_ReplayHeader header = {};
static std::vector<float> times;
static std::vector<MusicValue> music;
static std::vector<ReplayEvent> events;
static std::vector<ReplayFrame> frames;  // one more than recorded: the end of the last
static std::vector<HashCheck> checks;
static uint64_t finalHash = 0;
static char recordedSummary[SUMMARY_ROOM];

static bool anyPack = false;  // the pack check waived (the harness's --any-pack)

// The replay as it plays.
static bool replaying = false;
static bool paced = false;
static long frameIndex = 0;
static uint32_t timeCursor = 0, musicCursor = 0, eventCursor = 0;
static size_t checkCursor = 0;
static long hashesMatched = 0;
static bool finished = false;  // every recorded frame has run
static bool stopped = false;   // the player stopped it
static long mismatchFrame = -1, mismatchSecond = -1;
static long outOfStepFrame = -1;
static char outOfStepWhat[96];
static bool held = false;
static std::chrono::steady_clock::time_point paceStart, heldSince;

//---- Helpers

static void say(char* message, size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
static void say(char* message, size_t size, const char* format, ...)
{
    if (!message || size == 0)
        return;
    va_list args;
    va_start(args, format);
    vsnprintf(message, size, format, args);
    va_end(args);
}

static uint64_t gameHash()
{
    return nuxGameStateHash();
}

static const char* keyName(int key)
{
    static const char* names[] = {"", "up", "down", "left", "right", "space", "p", "return", "m", "escape", "q"};
    return key > 0 && key <= NUX_KEY_Q ? names[key] : "";
}

//---- Writing

static void appendText(const char* text, size_t length)
{
    if (recordLength + length + 16 > LINE_ROOM) {
        recordOverflow = true;
        return;
    }
    memcpy(recordLine + recordLength, text, length);
    recordLength += length;
}

// Frame times and music values are written as the shortest text that reads back to the same
// number, in every locale. The browser build's C++ library has no floating-point to_chars and
// from_chars; there the C library's own, in the "C" locale a page never leaves, round-trips as
// exactly (with nine and seventeen digits).
template <typename T> static char* writeNumber(char* first, char* last, T value)
{
#if defined(__EMSCRIPTEN__)
    int n = snprintf(first, (size_t)(last - first), "%.*g", sizeof(T) == sizeof(float) ? 9 : 17, (double)value);
    return n > 0 && n < last - first ? first + n : first;
#else
    return std::to_chars(first, last, value).ptr;
#endif
}

// Reads a whole token as a number: false when any of it is not part of one.
template <typename T> static bool readNumber(const char* first, const char* last, T* value)
{
#if defined(__EMSCRIPTEN__)
    char copy[64];
    size_t length = (size_t)(last - first);
    if (length == 0 || length >= sizeof copy || first[0] == ' ')
        return false;
    memcpy(copy, first, length);
    copy[length] = '\0';
    char* end = nullptr;
    errno = 0;
    *value = sizeof(T) == sizeof(float) ? (T)strtof(copy, &end) : (T)strtod(copy, &end);
    return errno == 0 && end == copy + length;
#else
    auto done = std::from_chars(first, last, *value);
    return done.ec == std::errc() && done.ptr == last;
#endif
}

static void appendToken(char kind, double value, bool asFloat)
{
    char text[48];
    text[0] = ' ';
    text[1] = kind;
    char* end = asFloat ? writeNumber(text + 2, text + sizeof text, (float)value)
                        : writeNumber(text + 2, text + sizeof text, value);
    appendText(text, (size_t)(end - text));
}

// Ends the line being built with its checksum and writes it out.
static void writeLine()
{
    char tail[16];
    int n = snprintf(tail, sizeof tail, " #%08x\n", (unsigned)NUX_Crc32(recordLine, recordLength));
    fwrite(recordLine, 1, recordLength, recordFile);
    fwrite(tail, 1, (size_t)n, recordFile);
    recordLength = 0;
}

static void writeTextLine(const char* text)
{
    recordLength = 0;
    appendText(text, strlen(text));
    writeLine();
}

static void hexText(char* out, size_t size, uint64_t hash)
{
    snprintf(out, size, "%016llx", (unsigned long long)hash);
}

// Closes the frame line being built; when the play time passed a whole second in it, the state
// hash follows.
static void closeRecordedFrame()
{
    if (recordOverflow) {
        fprintf(stderr, "dunmarrow: a frame had too many events to record; the recording stops there\n");
        fclose(recordFile);
        recordFile = nullptr;
        return;
    }
    writeLine();
    recordFrames++;
    if (recordPlayTime >= (double)recordNextSecond) {
        long second = (long)recordPlayTime;
        char line[96], hex[24];
        hexText(hex, sizeof hex, gameHash());
        snprintf(line, sizeof line, "h %ld %ld %s", second, recordFrames - 1, hex);
        writeTextLine(line);
        recordNextSecond = second + 1;
    }
    if (fflush(recordFile) != 0 || ferror(recordFile)) {
        // A full disk or a lost file: said once, and the game plays on unrecorded.
        fprintf(stderr, "dunmarrow: the replay %s could not be written (%s); the recording stops there\n", recordPath,
                strerror(errno));
        fclose(recordFile);
        recordFile = nullptr;
    }
}

//---- Reading

struct Line {
    const char* text;  // without its checksum
    size_t length;
    long number;  // from 1
};

static bool startsWith(const Line& line, const char* prefix)
{
    size_t n = strlen(prefix);
    return line.length >= n && memcmp(line.text, prefix, n) == 0;
}

// The next space-separated token of the line from *at, or false at its end.
static bool nextToken(const Line& line, size_t* at, const char** token, size_t* length)
{
    size_t i = *at;
    while (i < line.length && line.text[i] == ' ')
        i++;
    if (i >= line.length)
        return false;
    size_t start = i;
    while (i < line.length && line.text[i] != ' ')
        i++;
    *token = line.text + start;
    *length = i - start;
    *at = i;
    return true;
}

static bool parseLong(const char* text, size_t length, long low, long high, long* value)
{
    long v = 0;
    auto done = std::from_chars(text, text + length, v);
    if (done.ec != std::errc() || done.ptr != text + length || v < low || v > high)
        return false;
    *value = v;
    return true;
}

static bool parseHex(const char* text, size_t length, uint64_t* value)
{
    if (length != 16)
        return false;
    auto done = std::from_chars(text, text + length, *value, 16);
    return done.ec == std::errc() && done.ptr == text + length;
}

static bool parseFrameLine(const Line& line)
{
    ReplayFrame frame = {(uint32_t)times.size(), (uint32_t)music.size(), (uint32_t)events.size(), 0.0};
    frame.playTime = frames.empty() ? 0.0 : frames.back().playTime;
    for (uint32_t i = frames.empty() ? 0 : frames.back().firstTime; i < times.size(); i++)
        frame.playTime += times[i];
    size_t at = 1;
    const char* token;
    size_t length;
    while (nextToken(line, &at, &token, &length)) {
        char kind = token[0];
        if (kind == 't') {
            float dt = 0.0f;
            if (!readNumber(token + 1, token + length, &dt) || !(dt >= 0.0f && dt <= 0.2f))
                return false;
            times.push_back(dt);
        } else if (kind == 'm' || kind == 'l') {
            double v = 0.0;
            if (!readNumber(token + 1, token + length, &v) || !(v >= 0.0 && v <= MAX_MUSIC_VALUE))
                return false;
            music.push_back(MusicValue{kind, v});
        } else if ((kind == '+' || kind == '-') && length > 1 && length < 16) {
            char name[16];
            memcpy(name, token + 1, length - 1);
            name[length - 1] = '\0';
            NUX_Key key = NUX_KeyFromName(name);
            if (key == NUX_KEY_NONE)
                return false;
            events.push_back(ReplayEvent{EVENT_KEY, (uint8_t)key, (uint8_t)(kind == '+' ? 1 : 0)});
        } else if (length == 4 && memcmp(token, "quit", 4) == 0) {
            events.push_back(ReplayEvent{EVENT_QUIT, 0, 0});
        } else if (length == 5 && memcmp(token, "focus", 5) == 0) {
            events.push_back(ReplayEvent{EVENT_FOCUS, 0, 0});
        } else {
            return false;
        }
    }
    if (frames.size() >= (size_t)INT32_MAX || times.size() >= UINT32_MAX || music.size() >= UINT32_MAX ||
        events.size() >= UINT32_MAX)
        return false;
    frames.push_back(frame);
    return true;
}

static void forgetReplay()
{
    header = NUX_ReplayHeader{};
    times.clear();
    music.clear();
    events.clear();
    frames.clear();
    checks.clear();
    finalHash = 0;
    recordedSummary[0] = '\0';
    replaying = false;
}

static NUX_ReplayStatus damaged(long lineNumber, const char* what, char* message, size_t size)
{
    say(message, size, "is damaged at line %ld (%s)", lineNumber, what);
    forgetReplay();
    return NUX_REPLAY_DAMAGED;
}

// After the record's last frame: its own state checks, and the final state's.
static void compareFinalState()
{
    finished = true;
    for (; checkCursor < checks.size(); checkCursor++) {
        if (gameHash() == checks[checkCursor].hash)
            hashesMatched++;
        else if (mismatchFrame < 0)
            mismatchFrame = checks[checkCursor].frame, mismatchSecond = checks[checkCursor].second;
    }
    if (gameHash() == finalHash) {
        hashesMatched++;
    } else if (mismatchFrame < 0) {
        mismatchFrame = (long)frames.size() - 2;
        mismatchSecond = (long)frames.back().playTime;
    }
}

//---- Public: helpers

uint32_t NUX_Crc32(const void* data, size_t size)
{
    static uint32_t table[256];
    static bool made = false;
    if (!made) {
        for (uint32_t i = 0; i < 256; i++) {
            uint32_t c = i;
            for (int k = 0; k < 8; k++)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        made = true;
    }
    uint32_t crc = 0xFFFFFFFFu;
    const unsigned char* bytes = (const unsigned char*)data;
    for (size_t i = 0; i < size; i++)
        crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

uint64_t NUX_HashBytes(uint64_t hash, const void* data, size_t size)
{
    const unsigned char* bytes = (const unsigned char*)data;
    for (size_t i = 0; i < size; i++) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

uint64_t NUX_PackHash()
{
    char path[4096];
    FILE* file = fopen(NUX_ResolvePath("data/MANIFEST", path, sizeof path), "rb");
    if (!file)
        return 0;
    uint64_t hash = NUX_HASH_START;
    unsigned char buffer[8192];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
        hash = NUX_HashBytes(hash, buffer, n);
    fclose(file);
    return hash;
}

//---- Public: recording

int NUX_StartRecording(const char* path, const char* gameVersion, unsigned seed, char* message, size_t size)
{
    recordFile = fopen(path, "wb");
    snprintf(recordPath, sizeof recordPath, "%s", path);
    if (!recordFile) {
        say(message, size, "cannot write the replay %s: %s", path, strerror(errno));
        return 0;
    }
    char line[128], hex[24];
    snprintf(line, sizeof line, "%s%d", MAGIC, NUX_REPLAY_FORMAT);
    writeTextLine(line);
    snprintf(line, sizeof line, "game %.31s", gameVersion);
    writeTextLine(line);
    snprintf(line, sizeof line, "seed %u", seed);
    writeTextLine(line);
    hexText(hex, sizeof hex, NUX_PackHash());
    snprintf(line, sizeof line, "pack %s", hex);
    writeTextLine(line);
    if (fflush(recordFile) != 0 || ferror(recordFile)) {
        say(message, size, "cannot write the replay %s: %s", path, strerror(errno));
        fclose(recordFile);
        recordFile = nullptr;
        return 0;
    }
    recordLength = 0;
    recordOverflow = false;
    recordFrames = 0;
    recordPlayTime = 0.0;
    recordNextSecond = 1;
    appendText("f", 1);  // the frame before the first update: the splash's first clock reading
    return 1;
}

void NUX_StopRecording()
{
    if (!recordFile)
        return;
    closeRecordedFrame();
    if (!recordFile)
        return;
    char summary[SUMMARY_ROOM] = "";
    nuxGameSummary(summary, sizeof summary);
    for (char* c = summary; *c; c++)
        if (*c < ' ' || *c > '~')
            *c = ' ';
    char line[256], hex[24];
    hexText(hex, sizeof hex, gameHash());
    snprintf(line, sizeof line, "end %ld %s%s%s", recordFrames, hex, summary[0] ? " " : "", summary);
    writeTextLine(line);
    if (ferror(recordFile) | fclose(recordFile))
        fprintf(stderr, "dunmarrow: the replay %s could not be written (%s)\n", recordPath, strerror(errno));
    recordFile = nullptr;
}

int NUX_IsRecording()
{
    return recordFile ? 1 : 0;
}

//---- Public: replaying

NUX_ReplayStatus NUX_ParseReplay(const char* text, size_t size, uint64_t pack, NUX_ReplayHeader* out, char* message,
                                 size_t messageSize)
{
    forgetReplay();
    size_t at = 0;
    long number = 0;
    bool ended = false;
    while (at < size) {
        number++;
        const char* start = text + at;
        const char* newline = (const char*)memchr(start, '\n', size - at);
        if (!newline) {
            // A line cut short: the run stopped while writing it.
            if (number == 1 && (size - at < strlen(MAGIC) || memcmp(start, MAGIC, strlen(MAGIC)) != 0))
                break;  // judged below as not ours
            say(message, messageSize, "is truncated at line %ld (the run that wrote it did not finish)", number);
            forgetReplay();
            return NUX_REPLAY_TRUNCATED;
        }
        size_t full = (size_t)(newline - start);
        at += full + 1;
        if (number == 1) {
            if (full < strlen(MAGIC) || memcmp(start, MAGIC, strlen(MAGIC)) != 0) {
                say(message, messageSize, "is not a replay");
                forgetReplay();
                return NUX_REPLAY_FOREIGN;
            }
            long format = 0;
            const char* v = start + strlen(MAGIC);
            auto done = std::from_chars(v, start + full, format);
            if (done.ec == std::errc() && format > NUX_REPLAY_FORMAT) {
                say(message, messageSize, "was made by a newer game (replay format %ld; this one reads %d)", format,
                    NUX_REPLAY_FORMAT);
                forgetReplay();
                return NUX_REPLAY_NEWER;
            }
        }
        if (ended)
            return damaged(number, "text after the end line", message, messageSize);
        // The checksum: " #" and 8 hex digits close every line.
        if (full < 10 || start[full - 10] != ' ' || start[full - 9] != '#')
            return damaged(number, "no checksum", message, messageSize);
        uint32_t crc = 0;
        auto crcDone = std::from_chars(start + full - 8, start + full, crc, 16);
        if (crcDone.ec != std::errc() || crcDone.ptr != start + full || crc != NUX_Crc32(start, full - 10))
            return damaged(number, "checksum", message, messageSize);
        Line line = {start, full - 10, number};
        for (size_t i = 0; i < line.length; i++)
            if (line.text[i] < ' ' || line.text[i] > '~')
                return damaged(number, "not text", message, messageSize);
        size_t pos = 0;
        const char* token;
        size_t length;
        long value = 0;
        if (number == 1) {
            if (!parseLong(line.text + strlen(MAGIC), line.length - strlen(MAGIC), 1, NUX_REPLAY_FORMAT, &value))
                return damaged(number, "format version", message, messageSize);
            header.format = (int)value;
        } else if (number == 2) {
            if (!startsWith(line, "game ") || line.length - 5 >= sizeof header.game || line.length == 5)
                return damaged(number, "game version", message, messageSize);
            memcpy(header.game, line.text + 5, line.length - 5);
            header.game[line.length - 5] = '\0';
        } else if (number == 3) {
            if (!startsWith(line, "seed ") || !parseLong(line.text + 5, line.length - 5, 0, UINT32_MAX, &value))
                return damaged(number, "seed", message, messageSize);
            header.seed = (unsigned)value;
        } else if (number == 4) {
            if (!startsWith(line, "pack ") || !parseHex(line.text + 5, line.length - 5, &header.pack))
                return damaged(number, "pack", message, messageSize);
        } else if (startsWith(line, "f") && (line.length == 1 || line.text[1] == ' ')) {
            if (!parseFrameLine(line))
                return damaged(number, "frame", message, messageSize);
        } else if (startsWith(line, "h ")) {
            HashCheck check = {};
            pos = 1;
            bool good = nextToken(line, &pos, &token, &length) && parseLong(token, length, 1, LONG_MAX, &check.second);
            good =
                good && nextToken(line, &pos, &token, &length) && parseLong(token, length, 0, LONG_MAX, &check.frame);
            good = good && nextToken(line, &pos, &token, &length) && parseHex(token, length, &check.hash);
            good = good && !nextToken(line, &pos, &token, &length);
            good = good && check.frame == (long)frames.size() - 1;
            good = good && (checks.empty() || check.second > checks.back().second);
            if (!good)
                return damaged(number, "state hash", message, messageSize);
            checks.push_back(check);
        } else if (startsWith(line, "end ")) {
            pos = 3;
            bool good = nextToken(line, &pos, &token, &length) && parseLong(token, length, 0, LONG_MAX, &value);
            good = good && value == (long)frames.size();
            good = good && nextToken(line, &pos, &token, &length) && parseHex(token, length, &finalHash);
            while (good && pos < line.length && line.text[pos] == ' ')
                pos++;
            good = good && line.length - pos < SUMMARY_ROOM;
            if (!good)
                return damaged(number, "end", message, messageSize);
            memcpy(recordedSummary, line.text + pos, line.length - pos);
            recordedSummary[line.length - pos] = '\0';
            header.frames = value;
            ended = true;
        } else {
            return damaged(number, "unknown line", message, messageSize);
        }
    }
    if (number == 0 || (number == 1 && !ended && header.format == 0)) {
        say(message, messageSize, "is not a replay");
        forgetReplay();
        return NUX_REPLAY_FOREIGN;
    }
    if (!ended || frames.empty()) {
        say(message, messageSize, "is truncated after line %ld (no end line: the run that wrote it did not finish)",
            number);
        forgetReplay();
        return NUX_REPLAY_TRUNCATED;
    }
    if (header.pack != pack && !anyPack) {
        say(message, messageSize, "was recorded with another data pack (MANIFEST hash %016llx, this pack's %016llx)",
            (unsigned long long)header.pack, (unsigned long long)pack);
        forgetReplay();
        return NUX_REPLAY_OTHER_PACK;
    }
    // The end of the last frame, so that every frame's ranges end at the next one's starts.
    ReplayFrame last = {(uint32_t)times.size(), (uint32_t)music.size(), (uint32_t)events.size(), 0.0};
    last.playTime = frames.back().playTime;
    for (uint32_t i = frames.back().firstTime; i < times.size(); i++)
        last.playTime += times[i];
    frames.push_back(last);
    if (out)
        *out = header;
    return NUX_REPLAY_OK;
}

NUX_ReplayStatus NUX_LoadReplay(const char* path, char* message, size_t size)
{
    char said[512] = "";
    FILE* file = fopen(path, "rb");
    std::vector<char> text;
    NUX_ReplayStatus status = NUX_REPLAY_UNREADABLE;
    if (!file) {
        snprintf(said, sizeof said, "cannot be read: %s", strerror(errno));
    } else {
        char buffer[65536];
        size_t n;
        bool tooLarge = false;
        while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) {
            if (text.size() + n > MAX_FILE_BYTES) {
                tooLarge = true;
                break;
            }
            text.insert(text.end(), buffer, buffer + n);
        }
        bool failed = ferror(file) != 0;
        fclose(file);
        if (tooLarge)
            snprintf(said, sizeof said, "is too large to be a replay");
        else if (failed)
            snprintf(said, sizeof said, "cannot be read");
        else
            status = NUX_ParseReplay(text.data(), text.size(), NUX_PackHash(), nullptr, said, sizeof said);
    }
    if (status != NUX_REPLAY_OK)
        say(message, size, "the replay %s %s", path, said);
    return status;
}

void NUX_ReplayAnyPack(int on)
{
    anyPack = on != 0;
}

NUX_ReplayHeader NUX_GetReplayHeader()
{
    return header;
}

void NUX_StartReplay(int pacedRun)
{
    if (frames.empty())
        return;
    replaying = true;
    paced = pacedRun != 0;
    frameIndex = 0;
    timeCursor = musicCursor = eventCursor = 0;
    checkCursor = 0;
    hashesMatched = 0;
    finished = stopped = held = false;
    mismatchFrame = mismatchSecond = outOfStepFrame = -1;
    paceStart = std::chrono::steady_clock::now();
}

int NUX_ReplayOnLastFrame()
{
    return replaying && frameIndex >= (long)frames.size() - 2 ? 1 : 0;
}

int NUX_IsReplaying()
{
    return replaying ? 1 : 0;
}

int NUX_FinishReplay(FILE* report)
{
    if (!replaying)
        return -1;
    const long recorded = (long)frames.size() - 1;
    if (!finished && frameIndex >= recorded - 1) {
        compareFinalState();  // the run stopped on the record's last frame, as the recorded one did
    } else if (!finished && !stopped && outOfStepFrame < 0) {
        outOfStepFrame = frameIndex;
        snprintf(outOfStepWhat, sizeof outOfStepWhat, "the run ended there, before the %ld frames recorded", recorded);
    }
    bool good = mismatchFrame < 0 && outOfStepFrame < 0;
    char summary[SUMMARY_ROOM] = "";
    nuxGameSummary(summary, sizeof summary);
    if (report) {
        if (stopped)
            fprintf(report, "replay: stopped at frame %ld of %ld; ", frameIndex, recorded);
        else
            fprintf(report, "replay: %ld frames; ", recorded);
        if (good)
            fprintf(report, "every state hash matched (%ld)", hashesMatched);
        else if (mismatchFrame >= 0)
            fprintf(report, "the state first differed after frame %ld (%ld s of play); %ld hashes matched before",
                    mismatchFrame, mismatchSecond, hashesMatched);
        else
            fprintf(report, "%ld state hashes matched", hashesMatched);
        if (outOfStepFrame >= 0)
            fprintf(report, "; out of step at frame %ld: %s", outOfStepFrame, outOfStepWhat);
        fprintf(report, "\nreplay: recorded %s; replayed %s\n", recordedSummary[0] ? recordedSummary : "-",
                summary[0] ? summary : "-");
    }
    forgetReplay();
    return good ? 0 : 1;
}

//---- Public: the frame clock

float NUX_ReplayFrameTime(float measured)
{
    if (recordFile) {
        recordPlayTime += measured;
        appendToken('t', measured, true);
        return measured;
    }
    if (!replaying || finished)
        return measured;
    if (timeCursor < frames[frameIndex + 1].firstTime)
        return times[timeCursor++];
    if (outOfStepFrame < 0) {
        outOfStepFrame = frameIndex;
        snprintf(outOfStepWhat, sizeof outOfStepWhat, "the game asked for a frame time the replay does not hold");
    }
    return measured;
}

//---- Engine-internal

double nuxReplayMusic(char kind, double value)
{
    if (recordFile) {
        appendToken(kind, value, false);
        return value;
    }
    if (!replaying || finished)
        return value;
    if (musicCursor < frames[frameIndex + 1].firstMusic && music[musicCursor].kind == kind)
        return music[musicCursor++].value;
    if (outOfStepFrame < 0) {
        outOfStepFrame = frameIndex;
        snprintf(outOfStepWhat, sizeof outOfStepWhat, "the game read a music %s the replay does not hold",
                 kind == 'm' ? "position" : "length");
    }
    return value;
}

void nuxReplayNoteKey(NUX_Key key, int pressed)
{
    if (!recordFile || key == NUX_KEY_NONE)
        return;
    char text[24];
    int n = snprintf(text, sizeof text, " %c%s", pressed ? '+' : '-', keyName(key));
    appendText(text, (size_t)n);
}

void nuxReplayNoteQuit()
{
    if (recordFile)
        appendText(" quit", 5);
}

void nuxReplayNoteFocus()
{
    if (recordFile)
        appendText(" focus", 6);
}

void nuxReplayFrameStart()
{
    if (recordFile) {
        closeRecordedFrame();
        if (recordFile)
            appendText("f", 1);
        return;
    }
    if (!replaying || finished || stopped)
        return;
    // The frame that just ran took every value it recorded, or the run is out of step.
    const ReplayFrame& next = frames[frameIndex + 1];
    if (outOfStepFrame < 0 && (timeCursor != next.firstTime || musicCursor != next.firstMusic)) {
        outOfStepFrame = frameIndex;
        snprintf(outOfStepWhat, sizeof outOfStepWhat, "the game took %u of %u frame times and %u of %u music values",
                 timeCursor - frames[frameIndex].firstTime, next.firstTime - frames[frameIndex].firstTime,
                 musicCursor - frames[frameIndex].firstMusic, next.firstMusic - frames[frameIndex].firstMusic);
    }
    while (checkCursor < checks.size() && checks[checkCursor].frame <= frameIndex) {
        const HashCheck& check = checks[checkCursor++];
        if (check.frame != frameIndex)
            continue;
        if (gameHash() == check.hash)
            hashesMatched++;
        else if (mismatchFrame < 0)
            mismatchFrame = check.frame, mismatchSecond = check.second;
    }
    if (frameIndex + 1 >= (long)frames.size() - 1) {
        // Every recorded frame has run: the replay is over, and the run with it.
        compareFinalState();
        exitFlag = 0;
        return;
    }
    frameIndex++;
    timeCursor = frames[frameIndex].firstTime;
    musicCursor = frames[frameIndex].firstMusic;
    eventCursor = frames[frameIndex].firstEvent;
    if (paced) {
        // Held to the recorded pace: a frame starts no sooner than it did in the recorded run.
        auto due = paceStart + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                   std::chrono::duration<double>(frames[frameIndex].playTime));
        auto now = std::chrono::steady_clock::now();
        if (due > now + std::chrono::milliseconds(1))
            SDL_Delay((uint32_t)std::chrono::duration_cast<std::chrono::milliseconds>(due - now).count());
        else if (now - due > std::chrono::milliseconds(250))
            paceStart += now - due;  // fallen behind: carry on from here rather than rush
    }
}

int nuxReplayNextEvent(NUX_Key* key, int* pressed)
{
    if (!replaying || finished || stopped || eventCursor >= frames[frameIndex + 1].firstEvent)
        return 0;
    const ReplayEvent& event = events[eventCursor++];
    *key = (NUX_Key)event.key;
    *pressed = event.pressed;
    return event.kind;
}

int nuxReplayWatched()
{
    return replaying && paced ? 1 : 0;
}

void nuxReplayStop()
{
    if (replaying && !finished)
        stopped = true;
    exitFlag = 0;
}

void nuxReplayToggleHold()
{
    held = !held;
    if (held)
        heldSince = std::chrono::steady_clock::now();
    else
        paceStart += std::chrono::steady_clock::now() - heldSince;
}

int nuxReplayHeld()
{
    return replaying && held && !stopped ? 1 : 0;
}
