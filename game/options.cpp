// options: the game's command line: window or full screen, sound, where the data is, help and
// version. Unknown options are refused with the usage, so a typo never starts the game silently.

#include "options.h"

#include <cstring>  // strcmp, strncmp

//---- Constants

#ifndef DUNMARROW_VERSION
#define DUNMARROW_VERSION "0"
#endif

static const char* USAGE =
    "usage: dunmarrow [options]\n"
    "An owl, a night city, pigeons and street lamps: 300 seconds until sunrise.\n"
    "\n"
    "  --fullscreen      start full screen (Alt+Enter or F11 switches at any time)\n"
    "  --windowed        start in a 1024 x 768 window (the default)\n"
    "  --mute            play with every sound muted\n"
    "  --no-sound        open no audio device at all\n"
    "  --subtitles       show the narrator's words at the foot of the screen\n"
    "  --data-dir DIR    read the game's data from DIR and nowhere else (also: the DUNMARROW_DATA\n"
    "                    environment variable); otherwise data/ next to the program, the install\n"
    "                    folder and data/ in the current folder are tried in turn\n"
    "  --record FILE     write a replay of the run to FILE as it is played\n"
    "  --replay FILE     watch the run recorded in FILE (Escape or Q stop it, P holds it)\n"
    "  --help            this text\n"
    "  --version         the version\n"
    "\n"
    "Keys: arrows fly (Up flaps), Space swoops and starts, P or Return pauses, M mutes the music,\n"
    "Escape goes back to the title (quits there), Q quits. A gamepad works too.\n";

//---- Public

const char* gameVersion()
{
    return DUNMARROW_VERSION;
}

int parseGameOptions(int argc, char** argv, GameOptions* options, FILE* out, FILE* err)
{
    *options = GameOptions{};
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
            fputs(USAGE, out);
            return OPTIONS_DONE;
        } else if (strcmp(arg, "--version") == 0) {
            fprintf(out, "dunmarrow %s\n", DUNMARROW_VERSION);
            return OPTIONS_DONE;
        } else if (strcmp(arg, "--fullscreen") == 0) {
            options->fullScreen = 1;
        } else if (strcmp(arg, "--windowed") == 0) {
            options->fullScreen = 0;
        } else if (strcmp(arg, "--mute") == 0) {
            options->mute = 1;
        } else if (strcmp(arg, "--subtitles") == 0) {
            options->subtitles = 1;
        } else if (strcmp(arg, "--no-sound") == 0) {
            options->noSound = 1;
        } else if (strcmp(arg, "--data-dir") == 0 && i + 1 < argc && argv[i + 1][0]) {
            options->dataDir = argv[++i];
        } else if (strncmp(arg, "--data-dir=", 11) == 0 && arg[11]) {
            options->dataDir = arg + 11;
        } else if ((strcmp(arg, "--record") == 0 || strcmp(arg, "--replay") == 0) && i + 1 < argc && argv[i + 1][0]) {
            const char** file = strcmp(arg, "--record") == 0 ? &options->record : &options->replay;
            *file = argv[++i];
        } else {
            if (strcmp(arg, "--data-dir") == 0 || strcmp(arg, "--data-dir=") == 0)
                fprintf(err, "dunmarrow: --data-dir needs a folder\n");
            else if (strcmp(arg, "--record") == 0 || strcmp(arg, "--replay") == 0)
                fprintf(err, "dunmarrow: %s needs a file\n", arg);
            else
                fprintf(err, "dunmarrow: unknown option '%s'\n", arg);
            fputs(USAGE, err);
            return OPTIONS_WRONG;
        }
    }
    if (options->record && options->replay) {
        fprintf(err, "dunmarrow: --record and --replay cannot be given together\n");
        fputs(USAGE, err);
        return OPTIONS_WRONG;
    }
    return OPTIONS_RUN;
}
