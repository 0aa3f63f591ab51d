// harness: runs the real game (start-up, modes, scenes) on a virtual clock with a fixed seed and
// scripted keys, and dumps its state as JSON. Same inputs, same dump, byte for byte.

#include "harness_script.h"  // parseScriptLine, parseScript: the key-script syntax
#include "autopilot.h"
#include "harness_check.h"  // the per-frame invariants and the allocation counter
#include "nux_desktop.h"    // NUX_SetPauseOnFocusLoss
#include "randomkeys.h"     // random key presses
#include "gameLocal.h"
#include "main.h"
#include "options.h"  // gameVersion, written in a recording
#include "scenes.h"

#include <algorithm>  // stable_sort, the script in time order
#include <cerrno>     // errno: why a script could not be read
#include <charconv>   // from_chars: option numbers, strictly and in every locale
#include <climits>    // LONG_MAX, UINT_MAX
#include <cmath>      // isfinite
#include <cstdio>     // printf, fopen, fread, snprintf
#include <cstdlib>    // srand: each session reseeded
#include <cstring>    // strcmp, strchr, strerror
#include <string>     // the dump text and option values
#include <unistd.h>   // dup, dup2: the dump keeps standard output to itself; read, close
#include <vector>     // script events, dump and screenshot frames

#include <fcntl.h>     // open: the script, without waiting on a pipe
#include <sys/stat.h>  // fstat: the script must be a regular file of a sane size

//---- Constants

// A key script longer than this is refused: a whole game's keys take a few hundred kilobytes.
static const long MAX_SCRIPT_BYTES = 4L << 20;

//---- Types

struct Screenshot {
    long frame;
    std::string path;
};

// --place-owl: the owl put at (x, y) when the virtual clock reaches time.
struct OwlPlacement {
    double time;
    float x, y;
};

struct Options {
    double dt = 1.0 / 60.0;
    long frames = 600;
    unsigned seed = 1;
    int startMode = -1;  // -1: the full start-up, splash included
    bool window = false;
    bool autopilot = false;
    int autopilotLamps = 0;  // from this game of the run on the pilot flies into lamps; 0 never
    std::vector<ScriptEvent> events;
    std::vector<long> dumpFrames;
    std::vector<Screenshot> screenshots;
    std::string out;
    std::string dataDir;  // --data-dir; empty: the game's own search
    bool randomKeys = false;
    unsigned randomSeed = 0;
    bool randomQuit = false;
    long sessions = 1;   // sessions of --frames each after one load
    bool check = false;  // invariants and allocations after every frame
    bool allocTrace = false;
    long games = 0;             // with --autopilot: whole games to play, then back to the title
    std::string record;         // --record FILE: the run written as a replay
    std::string replay;         // --replay FILE: the recorded run played back
    bool anyPack = false;       // --any-pack: a replay of another data pack is played all the same
    bool dumpEntities = false;  // the owl's whole record and every live pigeon, citizen, lamp and mist bank
    bool subtitles = false;     // --subtitles, as the game's own option
    std::vector<OwlPlacement> placements;
};

// Collects one JSON object, one field per call; every value is written exactly, so two runs
// can be compared byte for byte.
struct Dump {
    std::string text;
    void field(const char* name, const char* value)
    {
        add(name, std::string(1, '"').append(value).append(1, '"'));
    }
    void field(const char* name, int value)
    {
        add(name, std::to_string(value));
    }
    void field(const char* name, long value)
    {
        add(name, std::to_string(value));
    }
    void field(const char* name, float value)
    {
        add(name, number("%.9g", value));
    }
    void field(const char* name, double value)
    {
        add(name, number("%.17g", value));
    }
    // A nested object or list, already written.
    void raw(const char* name, const std::string& json)
    {
        add(name, json);
    }
    void add(const char* name, const std::string& value)
    {
        text.append(text.empty() ? "{\"" : ", \"").append(name).append("\": ").append(value);
    }
    static std::string number(const char* format, double value)
    {
        char buffer[64];
        snprintf(buffer, sizeof buffer, format, value);
        return buffer;
    }
};

//---- Helpers

// Pool entries the game updates for a fractional count: 2.5 citizens are 3 in play.
static int inPlay(float count, int pool)
{
    int n = 0;
    while (n < pool && n < count)
        n++;
    return n;
}

//---- State

static long frame = 0;
static double playTime = 0.0;  // the frame times summed, as the game counts its length

// Screenshots saved by the engine before this frame, and those that were asked for but not saved.
static int shotsSavedBefore = 0;
static long shotsFailed = 0;

// Whole games of --games: how many have ended, and the mode of the previous frame.
static long gamesEnded = 0;
static int gamesLastMode = -1;
static long long firstGameLive = -1;  // live bytes back on the title after the first game

//---- The dump

// Every module's fields, one line each.
static void dumpState(Dump& d)
{
    d.field("frame", frame);
    d.field("mode", gameMode);
    d.field("time", playTime);
    d.field("elapsed", elapsed);
    d.field("music", NUX_PeekMusicPosition());
    d.field("exit", exitFlag);
    d.field("paused", getGamePaused());
    d.field("muted", musicMuted);
    d.field("moving", movingLeft * 1000 + movingRight * 100 + movingUp * 10 + movingDown);
    d.field("splashOver", SorvelOver());
    d.field("gameTime", gamePlay.gameTimeElapsed);
    d.field("score", getScore());
    d.field("lives", owl.lives);
    d.field("owlX", owl.x);
    d.field("owlY", owl.y);
    d.field("owlAngle", owl.angle);
    d.field("swooping", owl.swoopActive);
    d.field("dying", owl.dying);
    d.field("energy", owl.swoopEnergy);
    d.field("swoopLevel", gameScore.swoopLevel);
    d.field("multiplier", gameScore.swoopMultiplier);
    d.field("pigeonsStruck", getNumPigeons());
    d.field("citizensHit", getHumansHit());
    d.field("longestSwoop", getLongestSwoop());
    d.field("bestSwoop", getBestSwoopPigeons());
    d.field("levelSpeed", gameScore.LEVEL_SPEED);
    d.field("pigeons", gameScore.numPigeons);
    d.field("citizens", inPlay(gameScore.numCitizens, CITIZEN_POOL));
    d.field("lamps", inPlay(gameScore.numLamps, LAMP_POOL));
    d.field("introElapsed", getIntroElapsed());
    d.field("introMusic", getIntroMusicElapsed());
    d.field("introTurned", getIntroTurned());
    d.field("prologueElapsed", getPrologueElapsed());
    d.field("gameOverElapsed", getGameOverClock());
    d.field("gameOverMusic", getGameOverElapsed());
    d.field("gameOverScroll", getGameOverScroll());
    d.field("gameOverNarration", getGameOverNarrationPlayed());
    d.field("endingElapsed", getGameBeatElapsed());
    d.field("endingMusic", getBeatMusicElapsed());
    d.field("endingPhase", getEndingPhase());
    d.field("endingCreditsArmed", getRanCredits());
    d.field("highScore", getHighScore());
    d.field("mostPigeons", getMostPigeons());
    d.field("lastScore", getLastScore());
    d.field("lastPigeons", getLastPigeons());
    d.field("highScoreLine", getHighScoreLine());
    d.field("lastScoreLine", getLastScoreLine());
}

// With --dump-entities: the owl's whole record and, in pool order with their index, every pigeon,
// citizen and lamp in play and every mist bank crossing the screen.
static std::string entityObject(const Dump& d)
{
    return d.text.empty() ? "{}" : d.text + "}";
}

static void dumpEntities(Dump& d)
{
    Dump o;
    o.field("x", owl.x);
    o.field("y", owl.y);
    o.field("angle", owl.angle);
    o.field("wingsUp", owl.wingsUp);
    o.field("driftX", owl.driftX);
    o.field("fallSpeed", owl.fallSpeed);
    o.field("sinceHit", owl.sinceHit);
    o.field("comboTimer", owl.comboTimer);
    o.field("comboCount", owl.comboCount);
    o.field("swoopActive", owl.swoopActive);
    o.field("swoopSpeed", owl.swoopSpeed);
    o.field("swoopEnergy", owl.swoopEnergy);
    o.field("swoopTime", gameScore.swoopTime);
    o.field("swoopCount", (int)gameScore.numSwoops);
    o.field("deathDrift", owl.deathDrift);
    o.field("dying", owl.dying);
    o.field("deathTime", owl.deathTime);
    o.field("lives", owl.lives);
    o.field("score", owl.score);
    d.raw("owlState", entityObject(o));

    std::string list = "[";
    auto item = [&list](const Dump& e) { list += (list.size() > 1 ? ", " : "") + entityObject(e); };
    for (int i = 0; i < gameScore.numPigeons && i < PIGEON_POOL; i++) {
        const Pigeon& p = flock.pigeons[i];
        Dump e;
        e.field("i", i);
        e.field("x", p.x);
        e.field("y", p.y);
        e.field("baseY", p.baseY);
        e.field("speed", p.speed);
        e.field("rotation", p.rotation);
        e.field("struck", p.struck);
        e.field("fleeMode", p.fleeMode);
        item(e);
    }
    d.raw("pigeonStates", list + "]");

    list = "[";
    for (int i = 0; i < inPlay(gameScore.numCitizens, CITIZEN_POOL); i++) {
        const Citizen& c = street.citizens[i];
        Dump e;
        e.field("i", i);
        e.field("x", c.x);
        e.field("y", c.y);
        e.field("speed", c.speed);
        e.field("hit", c.hit);
        e.field("talkTimer", c.talkTimer);
        e.field("flyByPaid", c.flyByPaid);
        item(e);
    }
    d.raw("citizenStates", list + "]");

    list = "[";
    for (int i = 0; i < inPlay(gameScore.numLamps, LAMP_POOL); i++) {
        const Lamp& l = street.lamps[i];
        Dump e;
        e.field("i", i);
        e.field("x", l.x);
        e.field("y", l.y);
        e.field("speed", l.speed);
        item(e);
    }
    d.raw("lampStates", list + "]");

    list = "[";
    for (int i = 0; i < MIST_BANKS; i++) {
        const Mist& m = mistWaves.mist[i];
        if (m.vx == 0)
            continue;  // parked between waves
        Dump e;
        e.field("i", i);
        e.field("x", m.x);
        e.field("y", m.y);
        e.field("vx", m.vx);
        e.field("active", m.active);
        e.field("alpha", m.sprite->sprite.alpha);
        e.field("scale", m.sprite->sprite.scaleX);
        item(e);
    }
    d.raw("mistStates", list + "]");
}

// Opens the dump's stream: the file of --out, or else standard output kept for the dump alone,
// the game's own console text (the sound module's messages) going to standard error instead, so
// that a piped dump is always clean JSON. Null when the file cannot be written.
static FILE* openDumpStream(const std::string& path)
{
    fflush(stdout);
    FILE* stream = nullptr;
    if (!path.empty()) {
        stream = fopen(path.c_str(), "w");
    } else {
        int kept = dup(1);
        stream = kept >= 0 ? fdopen(kept, "w") : nullptr;
        if (!stream && kept >= 0)
            close(kept);
    }
    if (stream) {
        dup2(2, 1);
        // The game's console messages get a buffer now rather than on their first line, which
        // would otherwise count as an allocation during play.
        static char consoleBuffer[BUFSIZ];
        setvbuf(stdout, consoleBuffer, _IOLBF, sizeof consoleBuffer);
    }
    return stream;
}

//---- Options

static const char* USAGE =
    "usage: dunmarrow-harness [options]\n"
    "Runs DUNMARROW on a virtual clock and prints its state as JSON (one object per dumped frame).\n"
    "It finds the data pack as the game does (build/data when run from the build).\n"
    "  --dt SECONDS        frame time of the virtual clock (default 0.0166666...)\n"
    "  --frames N          frames to run, splash included (default 600); a quit ends sooner\n"
    "  --seconds S         the same, given as virtual seconds (frames = ceil(S / dt))\n"
    "  --seed N            the random seed (default 1)\n"
    "  --mode M            start in mode M (0 title, 1 prologue, 2 game, 3 game over, 4 ending)\n"
    "                      after loading, without running the splash\n"
    "  --key 'T press|release KEY'\n"
    "                      a key event at virtual time T seconds; keys: up down left right space\n"
    "                      p return m escape q; 'T quit' closes the window. Repeatable.\n"
    "  --script FILE       key events, one per line as for --key; # starts a comment; a regular\n"
    "                      file of at most 4 MB\n"
    "  --dump-at N         also dump the state after frame N (repeatable); the last frame is\n"
    "                      always dumped\n"
    "  --window            open a real window and draw (needs a display); otherwise no window\n"
    "                      and no drawing at all\n"
    "  --screenshot N:PATH save frame N as a PNG (with --window; repeatable, each frame once);\n"
    "                      one that is not saved makes the run exit with status 1\n"
    "  --subtitles         show the narrator's words, as the game's --subtitles does\n"
    "  --out FILE          write the dump to FILE instead of standard output\n"
    "  --data-dir DIR      read the game's data from DIR\n"
    "  --autopilot         play every game: keys through the same input queue as --key\n"
    "  --autopilot-lamps N with --autopilot, fly into the lamps from the N-th game of the run on\n"
    "  --random-keys SEED  press and release random keys (every game key, Escape, P, M), at most\n"
    "                      one event a frame, the same for the same seed; never a quit unless\n"
    "  --random-quit       is given: then Q, closing the window and Escape on the title too\n"
    "  --sessions N        N sessions of --frames each in one process, loaded once: session K\n"
    "                      (from 0) reseeds the game with seed+K and the keys with their seed+K,\n"
    "                      and starts in --mode if given, else on the title (K = 0) or in a mode\n"
    "                      drawn from the seed; a quit ends only its own session\n"
    "  --check             after every frame check the mode (0 to 5), the lives (0 to 5), that\n"
    "                      the score never falls within a game, that no screen but the mode's is\n"
    "                      visible and that nothing was allocated once loaded (opening a track\n"
    "                      apart); prints each failure and exits with status 3\n"
    "  --alloc-trace       with --check, print the stack of each allocation during play\n"
    "  --games N           with --autopilot: play N whole games back to back, pressing Space on\n"
    "                      the title, the prologue, game over and the ending, and stop on the\n"
    "                      title after the last; prints each game's memory on standard error\n"
    "  --record FILE       write the run to FILE as a replay, as the game's --record does\n"
    "  --replay FILE       play the run recorded in FILE (by the game or the harness) on the\n"
    "                      virtual clock, with its seed, frame times, music and keys, to its end;\n"
    "                      says on standard error whether every state hash matched, and exits\n"
    "                      with status 3 when one did not; a bad file exits with status 2\n"
    "  --any-pack          with --replay, play a replay recorded with another data pack\n"
    "  --dump-entities     add to each dumped frame the owl's whole state and the position and\n"
    "                      state of every pigeon, citizen and lamp in play and every mist bank\n"
    "                      crossing\n"
    "  --place-owl [T:]X,Y put the owl at (X, Y) when the virtual clock reaches T seconds\n"
    "                      (default 0, the first frame); repeatable\n"
    "  --help              this text\n";

// A whole number in low..high, all of text: "abc", "10x", "1.5", "" and overflowing values are refused.
static bool parseWhole(const char* text, long low, long high, long* value)
{
    const char* end = text + strlen(text);
    long parsed = 0;
    std::from_chars_result result = std::from_chars(text, end, parsed);
    if (result.ec != std::errc() || result.ptr != end || parsed < low || parsed > high)
        return false;
    *value = parsed;
    return true;
}

// A finite decimal number of seconds, all of text, not negative.
static bool parseSeconds(const char* text, double* value)
{
    const char* end = text + strlen(text);
    double parsed = 0.0;
    std::from_chars_result result = std::from_chars(text, end, parsed);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed) || parsed < 0.0)
        return false;
    *value = parsed;
    return true;
}

// A finite decimal number (signed), all of text.
static bool parseCoordinate(const std::string& text, float* value)
{
    const char* begin = text.c_str();
    const char* end = begin + text.size();
    float parsed = 0.0f;
    std::from_chars_result result = std::from_chars(begin, end, parsed);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed))
        return false;
    *value = parsed;
    return true;
}

// "X,Y" or "T:X,Y": the owl's place and, optionally, the virtual time it is put there.
static bool parsePlacement(const char* text, OwlPlacement* place)
{
    std::string rest = text;
    size_t colon = rest.find(':');
    if (colon != std::string::npos) {
        if (!parseSeconds(rest.substr(0, colon).c_str(), &place->time))
            return false;
        rest = rest.substr(colon + 1);
    }
    size_t comma = rest.find(',');
    return comma != std::string::npos && parseCoordinate(rest.substr(0, comma), &place->x) &&
           parseCoordinate(rest.substr(comma + 1), &place->y);
}

static void addScriptEvent(const ScriptEvent& event, void* options)
{
    ((Options*)options)->events.push_back(event);
}

// Reads the whole script, whatever the length of its lines. Only a regular file of at most
// MAX_SCRIPT_BYTES is read: a folder, a pipe, a device (/dev/zero never ends), an unreadable or
// oversized file is an error, as is any malformed line.
static bool readScript(const char* path, Options* options)
{
    int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        fprintf(stderr, "harness: cannot open script %s: %s\n", path, strerror(errno));
        return false;
    }
    struct stat info = {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        fprintf(stderr, "harness: script %s is not a regular file\n", path);
        close(fd);
        return false;
    }
    if (info.st_size > MAX_SCRIPT_BYTES) {
        fprintf(stderr, "harness: script %s is larger than %ld bytes\n", path, MAX_SCRIPT_BYTES);
        close(fd);
        return false;
    }
    // Read up to one byte past the limit, in case the file grows while it is read.
    std::string text;
    char block[4096];
    ssize_t got = 0;
    while ((long)text.size() <= MAX_SCRIPT_BYTES && (got = read(fd, block, sizeof block)) != 0) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            fprintf(stderr, "harness: cannot read script %s: %s\n", path, strerror(errno));
            close(fd);
            return false;
        }
        text.append(block, (size_t)got);
    }
    close(fd);
    if ((long)text.size() > MAX_SCRIPT_BYTES) {
        fprintf(stderr, "harness: script %s is larger than %ld bytes\n", path, MAX_SCRIPT_BYTES);
        return false;
    }
    size_t bad = parseScript(text.data(), text.size(), addScriptEvent, options);
    if (bad) {
        fprintf(stderr, "harness: %s:%zu: expected 'TIME press|release KEY' or 'TIME quit'\n", path, bad);
        return false;
    }
    return true;
}

// Says which option's value is malformed; the caller then shows the usage.
static bool badValue(const std::string& option, const char* value)
{
    fprintf(stderr, "harness: bad value for %s: '%s'\n", option.c_str(), value);
    return false;
}

static bool parseOptions(int argc, char** argv, Options* options)
{
    double seconds = -1.0;
    bool framesGiven = false;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        const char* value = (i + 1 < argc) ? argv[i + 1] : nullptr;
        // An option's value is the next argument, which it uses up.
        auto takeValue = [&]() {
            if (!value) {
                fprintf(stderr, "harness: %s needs a value\n", arg.c_str());
                return false;
            }
            i++;
            return true;
        };
        if (arg == "--help") {
            fputs(USAGE, stdout);
            exit(0);
        } else if (arg == "--window") {
            options->window = true;
        } else if (arg == "--subtitles") {
            options->subtitles = true;
        } else if (arg == "--dt") {
            if (!takeValue())
                return false;
            if (!parseSeconds(value, &options->dt))
                return badValue(arg, value);
        } else if (arg == "--frames") {
            if (!takeValue())
                return false;
            if (!parseWhole(value, 0, LONG_MAX, &options->frames))
                return badValue(arg, value);
            framesGiven = true;
        } else if (arg == "--seconds") {
            if (!takeValue())
                return false;
            if (!parseSeconds(value, &seconds))
                return badValue(arg, value);
            framesGiven = true;
        } else if (arg == "--seed") {
            if (!takeValue())
                return false;
            long seed = 0;
            if (!parseWhole(value, 0, UINT_MAX, &seed))
                return badValue(arg, value);
            options->seed = (unsigned)seed;
        } else if (arg == "--mode") {
            if (!takeValue())
                return false;
            long mode = 0;
            if (!parseWhole(value, -1, 5, &mode)) {
                fprintf(stderr, "harness: --mode must be 0 to 5\n");
                return false;
            }
            options->startMode = (int)mode;
        } else if (arg == "--key") {
            if (!takeValue())
                return false;
            ScriptEvent event = {};
            if (parseScriptLine(value, strlen(value), &event) != 1) {
                fprintf(stderr, "harness: bad --key '%s'\n", value);
                return false;
            }
            options->events.push_back(event);
        } else if (arg == "--script") {
            if (!takeValue() || !readScript(value, options))
                return false;
        } else if (arg == "--dump-at") {
            if (!takeValue())
                return false;
            long dumpFrame = 0;
            if (!parseWhole(value, 0, LONG_MAX, &dumpFrame))
                return badValue(arg, value);
            options->dumpFrames.push_back(dumpFrame);
        } else if (arg == "--screenshot") {
            if (!takeValue())
                return false;
            const char* colon = strchr(value, ':');
            std::string number = colon ? std::string(value, colon) : std::string();
            long shotFrame = 0;
            if (!colon || colon[1] == '\0' || !parseWhole(number.c_str(), 0, LONG_MAX, &shotFrame)) {
                fprintf(stderr, "harness: --screenshot wants N:PATH\n");
                return false;
            }
            options->screenshots.push_back(Screenshot{shotFrame, colon + 1});
        } else if (arg == "--autopilot") {
            options->autopilot = true;
        } else if (arg == "--autopilot-lamps") {
            if (!takeValue())
                return false;
            long from = 0;
            if (!parseWhole(value, 0, INT_MAX, &from))
                return badValue(arg, value);
            options->autopilotLamps = (int)from;
        } else if (arg == "--random-keys") {
            if (!takeValue())
                return false;
            long seed = 0;
            if (!parseWhole(value, 0, UINT_MAX, &seed))
                return badValue(arg, value);
            options->randomKeys = true;
            options->randomSeed = (unsigned)seed;
        } else if (arg == "--random-quit") {
            options->randomQuit = true;
        } else if (arg == "--sessions") {
            if (!takeValue())
                return false;
            if (!parseWhole(value, 1, 1000000, &options->sessions))
                return badValue(arg, value);
        } else if (arg == "--check") {
            options->check = true;
        } else if (arg == "--alloc-trace") {
            options->allocTrace = true;
        } else if (arg == "--games") {
            if (!takeValue())
                return false;
            if (!parseWhole(value, 1, 1000000, &options->games))
                return badValue(arg, value);
        } else if (arg == "--dump-entities") {
            options->dumpEntities = true;
        } else if (arg == "--place-owl") {
            if (!takeValue())
                return false;
            OwlPlacement place = {};
            if (!parsePlacement(value, &place))
                return badValue(arg, value);
            options->placements.push_back(place);
        } else if (arg == "--out") {
            if (!takeValue())
                return false;
            options->out = value;
        } else if (arg == "--data-dir") {
            if (!takeValue())
                return false;
            options->dataDir = value;
        } else if (arg == "--any-pack") {
            options->anyPack = true;
        } else if (arg == "--record" || arg == "--replay") {
            if (!takeValue())
                return false;
            if (!value[0])
                return badValue(arg, value);
            (arg == "--record" ? options->record : options->replay) = value;
        } else {
            fprintf(stderr, "harness: unknown option %s (see --help)\n", arg.c_str());
            return false;
        }
    }
    if (!(options->dt > 0.0 && options->dt <= 1.0)) {
        fprintf(stderr, "harness: --dt must be above 0 and at most 1\n");
        return false;
    }
    if (seconds >= 0.0) {
        double frames = seconds / options->dt + 0.999999;
        if (!(frames < (double)LONG_MAX)) {
            fprintf(stderr, "harness: --seconds gives more frames than can be counted\n");
            return false;
        }
        options->frames = (long)frames;
    }
    if (options->games > 0 && !options->autopilot) {
        fprintf(stderr, "harness: --games needs --autopilot\n");
        return false;
    }
    if (options->games > 0 && !framesGiven)
        options->frames = LONG_MAX;  // the games end the run
    if (options->games > 0 && options->sessions > 1) {
        fprintf(stderr, "harness: --games plays one session\n");
        return false;
    }
    if (options->sessions > 1 && options->frames > LONG_MAX / options->sessions) {
        fprintf(stderr, "harness: --sessions times --frames gives more frames than can be counted\n");
        return false;
    }
    if (!options->replay.empty()) {
        if (!options->events.empty() || options->startMode >= 0 || options->autopilot || options->randomKeys ||
            options->sessions > 1 || options->games > 0 || !options->record.empty()) {
            fprintf(stderr, "harness: --replay plays the recorded run alone: no --key, --script, --mode, "
                            "--autopilot, --random-keys, --sessions, --games or --record with it\n");
            return false;
        }
        if (!framesGiven)
            options->frames = LONG_MAX;  // the replay's end ends the run
    }
    if (!options->record.empty() && options->sessions > 1) {
        fprintf(stderr, "harness: --record writes one session\n");
        return false;
    }
    if (!options->screenshots.empty() && !options->window) {
        fprintf(stderr, "harness: --screenshot needs --window (without it nothing is drawn)\n");
        return false;
    }
    // Frames are numbered from 1 to the last of the run; each can be saved once.
    const long lastFrame = options->frames * options->sessions;
    for (size_t i = 0; i < options->screenshots.size(); i++) {
        const long shotFrame = options->screenshots[i].frame;
        if (shotFrame < 1 || shotFrame > lastFrame) {
            fprintf(stderr, "harness: --screenshot frame %ld is outside the run (frames 1 to %ld)\n", shotFrame,
                    lastFrame);
            return false;
        }
        for (size_t j = 0; j < i; j++) {
            if (options->screenshots[j].frame == shotFrame) {
                fprintf(stderr, "harness: two screenshots of frame %ld\n", shotFrame);
                return false;
            }
        }
    }
    return true;
}

//---- Frames

// Moves the clock on, hands over the script's due events and the screenshot wish, and returns
// the frame's number.
static void beginFrame(const Options& options, size_t* nextEvent)
{
    frame++;
    NUX_AdvanceVirtualClock();
    const double now = Timer_GetSeconds() + 1e-9;
    while (*nextEvent < options.events.size() && options.events[*nextEvent].time <= now) {
        const ScriptEvent& event = options.events[*nextEvent];
        if (event.key == NUX_KEY_NONE)
            NUX_QueueQuitEvent();
        else
            NUX_QueueKeyEvent(event.key, event.pressed);
        (*nextEvent)++;
    }
    // Each placement once, before the update of the first frame whose clock reaches its time.
    static size_t nextPlacement = 0;
    while (nextPlacement < options.placements.size() && options.placements[nextPlacement].time <= now) {
        owl.x = options.placements[nextPlacement].x;
        owl.y = options.placements[nextPlacement].y;
        nextPlacement++;
    }
    if (options.autopilot)
        autopilotFrame((float)options.dt);
    if (options.randomKeys)
        randomKeysFrame();
    shotsSavedBefore = NUX_GetScreenshotsSaved();
    for (const Screenshot& shot : options.screenshots)
        if (shot.frame == frame)
            NUX_RequestScreenshot(shot.path.c_str());
}

// A screenshot asked for this frame that the engine did not save is a failure of the run.
static void checkScreenshot(const Options& options)
{
    for (const Screenshot& shot : options.screenshots) {
        if (shot.frame == frame && NUX_GetScreenshotsSaved() == shotsSavedBefore) {
            fprintf(stderr, "harness: could not save the screenshot of frame %ld to %s\n", frame, shot.path.c_str());
            shotsFailed++;
        }
    }
}

static void endFrame(const Options& options, std::string* json)
{
    playTime += elapsed;
    checkScreenshot(options);
    allocCountPause(true);  // the dump is the harness's, not the game's
    for (long f : options.dumpFrames) {
        if (f == frame) {
            Dump d;
            dumpState(d);
            if (options.dumpEntities)
                dumpEntities(d);
            *json += (json->size() > 2 ? ",\n" : "") + d.text + "}";
            break;
        }
    }
    allocCountPause(false);
}

//---- Sessions and whole games

// Readies session K after the first: every key up, the game unpaused and reseeded, a quit
// forgotten. Returns the mode the session starts in.
static int startSession(const Options& options, long session)
{
    randomKeysStart(options.randomSeed + (unsigned)session, options.randomQuit);
    srand(options.seed + (unsigned)session);
    if (getGamePaused())
        gamePause();
    movingLeft = movingRight = movingUp = movingDown = 0;
    exitFlag = 1;
    if (options.startMode >= 0)
        return options.startMode;
    unsigned drawn = randomKeysBelow(7);  // the title twice as often as each other mode
    return drawn == 6 ? MODE_TITLE : (int)drawn;
}

// With --games, between games: Space every half second (press, then release on the next frame)
// on the title, the prologue, game over and the ending, so that each moves on as soon as it
// takes the key; and the memory noted each time a game's run is back on the title.
static void wholeGamesFrame()
{
    if (gameMode != MODE_GAME && gameMode != MODE_SPLASH) {
        if (frame % 30 == 0)
            NUX_QueueKeyEvent(NUX_KEY_SPACE, 1);
        else if (frame % 30 == 1)
            NUX_QueueKeyEvent(NUX_KEY_SPACE, 0);
    }
}

// Called after each frame with --games: counts the games that ended and reports the memory
// once each is back on the title. True when the last game is back on the title.
static bool wholeGamesAfterFrame(const Options& options)
{
    const int mode = gameMode;
    allocCountPause(true);  // the reports are the harness's, not the game's
    if (gamesLastMode == MODE_GAME && (mode == MODE_GAMEOVER || mode == MODE_GAMEBEAT)) {
        gamesEnded++;
        fprintf(stderr, "harness: game %ld ended in %s, score %d\n", gamesEnded,
                mode == MODE_GAMEOVER ? "game over" : "the ending", getScore());
    }
    bool done = false;
    if (mode == MODE_TITLE && gamesLastMode != MODE_TITLE && gamesLastMode >= 0 && gamesEnded > 0) {
        long long live = allocLiveBytes();
        if (firstGameLive < 0)
            firstGameLive = live;
        fprintf(stderr,
                "harness: game %ld back on the title: live %lld bytes (%+lld since the first game), resident %ld kB\n",
                gamesEnded, live, live - firstGameLive, residentKilobytes());
        done = gamesEnded >= options.games;
    }
    gamesLastMode = mode;
    allocCountPause(false);
    return done;
}

//---- Entry

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, &options)) {
        fputs(USAGE, stderr);
        return 2;
    }
    FILE* out = openDumpStream(options.out);
    if (!out) {
        fprintf(stderr, "harness: cannot write %s\n", options.out.empty() ? "standard output" : options.out.c_str());
        return 1;
    }
    // Events in time order, keeping the script's order for equal times.
    std::stable_sort(options.events.begin(), options.events.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.time < b.time; });
    std::stable_sort(options.placements.begin(), options.placements.end(),
                     [](const OwlPlacement& a, const OwlPlacement& b) { return a.time < b.time; });

    static char message[8192];
    if (!NUX_FindDataDir(options.dataDir.c_str(), message, sizeof message)) {
        fprintf(stderr, "harness: %s", message);
        return 1;
    }
    if (!options.replay.empty()) {
        NUX_ReplayAnyPack(options.anyPack);
        if (NUX_LoadReplay(options.replay.c_str(), message, sizeof message) != NUX_REPLAY_OK) {
            fprintf(stderr, "harness: %s\n", message);
            return 2;
        }
        options.seed = NUX_GetReplayHeader().seed;
    }
    NUX_UseVirtualClock(options.dt);
    randomKeysStart(options.randomSeed, options.randomQuit);
    if (options.autopilot)
        autopilotStart(options.autopilotLamps);
    NUX_UseDeterministicMusicClock(1);
    // A run plays the same whichever window has the focus: only the key script pauses it.
    NUX_SetPauseOnFocusLoss(0);
    if (options.window) {
        if (!NUX_Init(1024, 768, 0, "DUNMARROW"))
            return 1;
    } else {
        NUX_InitHeadless(1024, 768);
    }

    std::string json = "[\n";
    size_t nextEvent = 0;
    bool running = true;

    if (!options.record.empty() &&
        !NUX_StartRecording(options.record.c_str(), gameVersion(), options.seed, message, sizeof message)) {
        fprintf(stderr, "harness: %s\n", message);
        return 1;
    }
    if (!options.replay.empty())
        NUX_StartReplay(0);
    initShell(options.seed);
    initSorvel();
    doTimer();
    if (options.startMode < 0) {
        while (running && !SorvelOver() && frame < options.frames) {
            beginFrame(options, &nextEvent);
            running = runSplashFrame() != 0;
            endFrame(options, &json);
            running = running && !NUX_ReplayOnLastFrame();
        }
    }
    long failures = 0;
    if (running && frame < options.frames) {
        initScreens();
        subtitlesShown = options.subtitles ? 1 : 0;
        loadSequences();
        if (options.check) {
            allocCountTrace(options.allocTrace);
            allocCountArm();
        }
        // Each session runs --frames frames; the first one's include the splash.
        for (long session = 0; session < options.sessions; session++) {
            const long end = session == 0 ? options.frames : frame + options.frames;
            if (session == 0) {
                switchGameMode(options.startMode < 0 ? MODE_TITLE : options.startMode);
            } else {
                switchGameMode(startSession(options, session));
                running = true;
            }
            doTimer();
            checkStartSession();
            bool gamesDone = false;
            while (running && !gamesDone && frame < end) {
                beginFrame(options, &nextEvent);
                if (options.games > 0)
                    wholeGamesFrame();
                running = runMainFrame() != 0;
                endFrame(options, &json);
                // A replay's run ends with its record's last frame.
                running = running && !NUX_ReplayOnLastFrame();
                if (options.check)
                    failures += checkFrame(session, frame);
                if (options.games > 0)
                    gamesDone = wholeGamesAfterFrame(options);
            }
        }
    }
    if (options.check) {
        fprintf(
            stderr,
            "harness: checked %ld frames in %ld sessions: %ld failures; %ld allocations during play, %ld opening tracks\n",
            frame, options.sessions, failures, allocCountPlay(), allocCountMusicOpen());
        fprintf(stderr, "harness: frames by mode: %ld %ld %ld %ld %ld %ld\n", checkedFrames(0), checkedFrames(1),
                checkedFrames(2), checkedFrames(3), checkedFrames(4), checkedFrames(5));
    }

    allocCountPause(true);
    // The last frame is always dumped (once).
    bool lastDumped = false;
    for (long f : options.dumpFrames)
        lastDumped = lastDumped || f == frame;
    if (!lastDumped) {
        Dump d;
        dumpState(d);
        if (options.dumpEntities)
            dumpEntities(d);
        json += (json.size() > 2 ? ",\n" : "") + d.text + "}";
    }
    json += "\n]\n";
    NUX_StopRecording();
    const int replayed = NUX_FinishReplay(stderr);
    shutdownShell();
    // A run that ended (by a quit) before a screenshot's frame never drew it.
    for (const Screenshot& shot : options.screenshots) {
        if (shot.frame > frame) {
            fprintf(stderr, "harness: the run ended at frame %ld, before the screenshot of frame %ld\n", frame,
                    shot.frame);
            shotsFailed++;
        }
    }

    bool written = fputs(json.c_str(), out) >= 0;
    written = fclose(out) == 0 && written;
    if (!written) {
        fprintf(stderr, "harness: cannot write %s\n", options.out.empty() ? "standard output" : options.out.c_str());
        return 1;
    }
    if (failures > 0 || replayed > 0)
        return 3;
    return shotsFailed > 0 ? 1 : 0;
}
