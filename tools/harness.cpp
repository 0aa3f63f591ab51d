// harness: runs the real game (start-up, modes, scenes) on a virtual clock with a fixed seed and
// scripted keys, and dumps its state as JSON. Same inputs, same dump, byte for byte.

#include "autopilot.h"
#include "gameLocal.h"
#include "main.h"
#include "scenes.h"

#include <algorithm>  // stable_sort, the script in time order
#include <cstdio>   // printf, fopen, snprintf
#include <cstdlib>  // strtod, strtol
#include <cstring>  // strcmp
#include <string>   // the dump text and option values
#include <vector>   // script events, dump and screenshot frames

//---- Types

struct ScriptEvent {
    double time;  // seconds of virtual time; delivered on the first frame at or after it
    NUX_Key key;  // NUX_KEY_NONE: a window-close request
    int pressed;
};

struct Screenshot {
    long frame;
    std::string path;
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
};

// Collects one JSON object, one field per call; every value is written exactly, so two runs
// can be compared byte for byte.
struct Dump {
    std::string text;
    void field(const char* name, const char* value) { add(name, std::string(1, '"').append(value).append(1, '"')); }
    void field(const char* name, int value) { add(name, std::to_string(value)); }
    void field(const char* name, long value) { add(name, std::to_string(value)); }
    void field(const char* name, float value) { add(name, number("%.9g", value)); }
    void field(const char* name, double value) { add(name, number("%.17g", value)); }
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

//---- The dump

// Every module's fields, one line each.
static void dumpState(Dump& d)
{
    d.field("frame", frame);
    d.field("mode", gameMode);
    d.field("time", playTime);
    d.field("elapsed", elapsed);
    d.field("music", NUX_GetMusicPosition());
    d.field("exit", exitFlag);
    d.field("paused", getGamePaused());
    d.field("muted", musicMuted);
    d.field("moving", movingLeft * 1000 + movingRight * 100 + movingUp * 10 + movingDown);
    d.field("splashOver", SorvelOver());
    d.field("gameTime", gameTimeElapsed);
    d.field("score", getScore());
    d.field("lives", owl.lives);
    d.field("owlX", owl.x);
    d.field("owlY", owl.y);
    d.field("owlAngle", owl.angle);
    d.field("swooping", owl.swoopActive);
    d.field("dying", owl.dying);
    d.field("energy", owl.swoopEnergy);
    d.field("swoopLevel", swoopLevel);
    d.field("multiplier", swoopMultiplier);
    d.field("pigeonsStruck", getNumPigeons());
    d.field("citizensHit", getHumansHit());
    d.field("longestSwoop", getLongestSwoop());
    d.field("bestSwoop", getBestSwoopPigeons());
    d.field("levelSpeed", LEVEL_SPEED);
    d.field("pigeons", numPigeons);
    d.field("citizens", inPlay(numCitizens, CITIZEN_POOL));
    d.field("lamps", inPlay(numLamps, LAMP_POOL));
}

//---- Options

static const char* USAGE =
    "usage: dunmarrow-harness [options]\n"
    "Runs DUNMARROW on a virtual clock and prints its state as JSON (one object per dumped frame).\n"
    "Run it from the folder that holds data/.\n"
    "  --dt SECONDS        frame time of the virtual clock (default 0.0166666...)\n"
    "  --frames N          frames to run, splash included (default 600); a quit ends sooner\n"
    "  --seconds S         the same, given as virtual seconds (frames = ceil(S / dt))\n"
    "  --seed N            the random seed (default 1)\n"
    "  --mode M            start in mode M (0 title, 1 prologue, 2 game, 3 game over, 4 ending)\n"
    "                      after loading, without running the splash\n"
    "  --key 'T press|release KEY'\n"
    "                      a key event at virtual time T seconds; keys: up down left right space\n"
    "                      p return m escape q; 'T quit' closes the window. Repeatable.\n"
    "  --script FILE       key events, one per line as for --key; # starts a comment\n"
    "  --dump-at N         also dump the state after frame N (repeatable); the last frame is\n"
    "                      always dumped\n"
    "  --window            open a real window and draw (needs a display); otherwise no window\n"
    "                      and no drawing at all\n"
    "  --screenshot N:PATH save frame N as a PNG (with --window; repeatable)\n"
    "  --out FILE          write the dump to FILE instead of standard output\n"
    "  --autopilot         play every game: keys through the same input queue as --key\n"
    "  --autopilot-lamps N with --autopilot, fly into the lamps from the N-th game of the run on\n"
    "  --help              this text\n";

static bool parseEvent(const char* text, ScriptEvent* event)
{
    char action[32] = {0}, key[32] = {0};
    double time = 0.0;
    int n = sscanf(text, " %lf %31s %31s", &time, action, key);
    if (n >= 2 && strcmp(action, "quit") == 0) {
        *event = ScriptEvent{time, NUX_KEY_NONE, 0};
        return true;
    }
    if (n != 3 || (strcmp(action, "press") != 0 && strcmp(action, "release") != 0))
        return false;
    NUX_Key k = NUX_KeyFromName(key);
    if (k == NUX_KEY_NONE)
        return false;
    *event = ScriptEvent{time, k, strcmp(action, "press") == 0 ? 1 : 0};
    return true;
}

static bool readScript(const char* path, Options* options)
{
    FILE* file = fopen(path, "r");
    if (!file) {
        fprintf(stderr, "harness: cannot open script %s\n", path);
        return false;
    }
    char line[256];
    int number = 0;
    bool ok = true;
    while (fgets(line, sizeof line, file)) {
        number++;
        char* hash = strchr(line, '#');
        if (hash)
            *hash = '\0';
        char probe[2];
        if (sscanf(line, " %1s", probe) != 1)
            continue;
        ScriptEvent event;
        if (!parseEvent(line, &event)) {
            fprintf(stderr, "harness: %s:%d: expected 'TIME press|release KEY' or 'TIME quit'\n", path, number);
            ok = false;
            break;
        }
        options->events.push_back(event);
    }
    fclose(file);
    return ok;
}

static bool parseOptions(int argc, char** argv, Options* options)
{
    double seconds = -1.0;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        const char* value = (i + 1 < argc) ? argv[i + 1] : nullptr;
        auto needValue = [&]() {
            if (!value)
                fprintf(stderr, "harness: %s needs a value\n", arg.c_str());
            return value != nullptr;
        };
        if (arg == "--help") {
            fputs(USAGE, stdout);
            exit(0);
        } else if (arg == "--window") {
            options->window = true;
        } else if (arg == "--dt") {
            if (!needValue()) return false;
            options->dt = strtod(value, nullptr);
            i++;
        } else if (arg == "--frames") {
            if (!needValue()) return false;
            options->frames = strtol(value, nullptr, 10);
            i++;
        } else if (arg == "--seconds") {
            if (!needValue()) return false;
            seconds = strtod(value, nullptr);
            i++;
        } else if (arg == "--seed") {
            if (!needValue()) return false;
            options->seed = (unsigned)strtoul(value, nullptr, 10);
            i++;
        } else if (arg == "--mode") {
            if (!needValue()) return false;
            options->startMode = (int)strtol(value, nullptr, 10);
            i++;
        } else if (arg == "--key") {
            if (!needValue()) return false;
            ScriptEvent event;
            if (!parseEvent(value, &event)) {
                fprintf(stderr, "harness: bad --key '%s'\n", value);
                return false;
            }
            options->events.push_back(event);
            i++;
        } else if (arg == "--script") {
            if (!needValue() || !readScript(value, options)) return false;
            i++;
        } else if (arg == "--dump-at") {
            if (!needValue()) return false;
            options->dumpFrames.push_back(strtol(value, nullptr, 10));
            i++;
        } else if (arg == "--screenshot") {
            if (!needValue()) return false;
            const char* colon = strchr(value, ':');
            if (!colon) {
                fprintf(stderr, "harness: --screenshot wants N:PATH\n");
                return false;
            }
            options->screenshots.push_back(Screenshot{strtol(value, nullptr, 10), colon + 1});
            i++;
        } else if (arg == "--autopilot") {
            options->autopilot = true;
        } else if (arg == "--autopilot-lamps") {
            if (!needValue()) return false;
            options->autopilotLamps = (int)strtol(value, nullptr, 10);
            i++;
        } else if (arg == "--out") {
            if (!needValue()) return false;
            options->out = value;
            i++;
        } else {
            fprintf(stderr, "harness: unknown option %s (see --help)\n", arg.c_str());
            return false;
        }
    }
    if (!(options->dt > 0.0 && options->dt <= 1.0)) {
        fprintf(stderr, "harness: --dt must be above 0 and at most 1\n");
        return false;
    }
    if (seconds >= 0.0)
        options->frames = (long)(seconds / options->dt + 0.999999);
    if (options->startMode < -1 || options->startMode > 5) {
        fprintf(stderr, "harness: --mode must be 0 to 5\n");
        return false;
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
    if (options.autopilot)
        autopilotFrame((float)options.dt);
    for (const Screenshot& shot : options.screenshots)
        if (shot.frame == frame)
            NUX_RequestScreenshot(shot.path.c_str());
}

static void endFrame(const Options& options, std::string* json)
{
    playTime += elapsed;
    for (long f : options.dumpFrames) {
        if (f == frame) {
            Dump d;
            dumpState(d);
            *json += (json->size() > 2 ? ",\n" : "") + d.text + "}";
            break;
        }
    }
}

//---- Entry

int main(int argc, char** argv)
{
    Options options;
    if (!parseOptions(argc, argv, &options))
        return 2;
    // Events in time order, keeping the script's order for equal times.
    std::stable_sort(options.events.begin(), options.events.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.time < b.time; });

    NUX_UseVirtualClock(options.dt);
    if (options.autopilot)
        autopilotStart(options.autopilotLamps);
    NUX_UseDeterministicMusicClock(1);
    if (options.window) {
        if (!NUX_Init(1024, 768, 0, "DUNMARROW"))
            return 1;
    } else {
        NUX_InitHeadless(1024, 768);
    }

    std::string json = "[\n";
    size_t nextEvent = 0;
    bool running = true;

    initShell(options.seed);
    initSorvel();
    doTimer();
    if (options.startMode < 0) {
        while (running && !SorvelOver() && frame < options.frames) {
            beginFrame(options, &nextEvent);
            running = runSplashFrame() != 0;
            endFrame(options, &json);
        }
    }
    if (running && frame < options.frames) {
        initScreens();
        loadSequences();
        switchGameMode(options.startMode < 0 ? MODE_TITLE : options.startMode);
        doTimer();
        while (running && frame < options.frames) {
            beginFrame(options, &nextEvent);
            running = runMainFrame() != 0;
            endFrame(options, &json);
        }
    }

    // The last frame is always dumped (once).
    bool lastDumped = false;
    for (long f : options.dumpFrames)
        lastDumped = lastDumped || f == frame;
    if (!lastDumped) {
        Dump d;
        dumpState(d);
        json += (json.size() > 2 ? ",\n" : "") + d.text + "}";
    }
    json += "\n]\n";
    shutdownShell();

    FILE* out = options.out.empty() ? stdout : fopen(options.out.c_str(), "w");
    if (!out) {
        fprintf(stderr, "harness: cannot write %s\n", options.out.c_str());
        return 1;
    }
    fputs(json.c_str(), out);
    if (out != stdout)
        fclose(out);
    return 0;
}
