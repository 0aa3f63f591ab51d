// main: the shell. Start-up order, the splash loop, the main loop, the frame clock and the
// mode switch; every scene is reached from here.

#include "main.h"
#include "options.h"
#include "scenes.h"

#include <cstdio>    // fprintf
#include <cstdlib>   // srand
#include <malloc.h>  // mallopt: large blocks handed back to the system when freed

//---- Constants

static const float MAX_FRAME_TIME = 0.2f;

//---- State

int gameMode = MODE_SPLASH;
float elapsed = 0.0f;
uint32_t last_ticks = 0;
Font* fontFutura = nullptr;
Screen *sorvelScreen = nullptr, *introScreen = nullptr, *gameScreen = nullptr, *prologueScreen = nullptr,
       *gameOverScreen = nullptr, *gameBeatScreen = nullptr;

// The clock at the previous doTimer in seconds: the harness's frames are not whole milliseconds.
static double lastSeconds = 0.0;

//---- Helpers

static float frameTime()
{
    return elapsed;
}

// What the engine's input layer, desktop and particles call back into: the shell, the owl,
// the pause and the scenes.
static const NUX_GameHooks GAME_HOOKS = {
    .mode = getGameMode,
    .switchMode = switchGameMode,
    .frameTime = frameTime,
    .flapUp = owlFlapUp,
    .flapDown = owlFlapDown,
    .swoop = owlSwoop,
    .swoopStop = owlSwoopStop,
    .togglePause = gamePause,
    .paused = getGamePaused,
    .titleMusicPlaying = isIntroMusicPlaying,
    .gameOverMusicTime = getGameOverElapsed,
    .endingTime = getGameBeatElapsed,
    .skipSplash = SorvelAborted,
};

static void setVisible(Screen* screen, int visible)
{
    if (screen)
        screen->visible = visible;
}

// Says in one line on standard error which data files could not be loaded, so that a game
// started away from its data says why it shows nothing; play goes on all the same.
static void reportMissingFiles()
{
    const char* missing = NUX_GetMissingFiles();
    if (missing[0])
        fprintf(stderr, "DUNMARROW: could not load %s\n", missing);
}

//---- Frame clock and modes

void doTimer()
{
    double now = Timer_GetSeconds();
    elapsed = (float)(now - lastSeconds);
    if (elapsed > MAX_FRAME_TIME)
        elapsed = MAX_FRAME_TIME;
    lastSeconds = now;
    last_ticks = Timer_GetTicks();
}

int getGameMode()
{
    return gameMode;
}

void switchGameMode(int mode)
{
    NUX_StopMusic();
    Screen* screens[] = {introScreen, prologueScreen, gameScreen, gameOverScreen, gameBeatScreen, sorvelScreen};
    for (Screen* screen : screens)
        setVisible(screen, 0);

    switch (mode) {
    case MODE_TITLE:
        setVisible(introScreen, 1);
        resetIntro();
        break;
    case MODE_PROLOGUE:
        setVisible(prologueScreen, 1);
        resetPrologue();
        break;
    case MODE_GAME:
        resetGame();
        setVisible(gameScreen, 1);
        break;
    case MODE_GAMEOVER:
        setVisible(gameOverScreen, 1);
        resetGameOver();
        break;
    case MODE_GAMEBEAT:
        setVisible(gameBeatScreen, 1);
        resetGameBeat();
        break;
    case MODE_SPLASH:
        setVisible(sorvelScreen, 1);
        resetSorvelInn();
        break;
    default: break;
    }
    gameMode = mode;
}

//---- Start-up

void initShell(unsigned int seed)
{
    NUX_SetGameHooks(&GAME_HOOKS);
    NUX_InitSound(64);
    srand(seed);
}

void initSorvel()
{
    NUX_SetClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    NUX_PresentClearFrame();
    sorvelScreen = NUX_CreateScreen();
    sorvelScreen->visible = 1;
    loadSorvelInn();
    resetSorvelInn();
}

int runSplashFrame()
{
    doTimer();
    runSorvelInn(elapsed);
    NUX_UpdateSound();
    return NUX_Update();
}

void initScreens()
{
    fontFutura = NUX_CreateFont("data/futurabd.ttf");
    introScreen = NUX_CreateScreen();
    gameScreen = NUX_CreateScreen();
    prologueScreen = NUX_CreateScreen();
    gameOverScreen = NUX_CreateScreen();
    gameBeatScreen = NUX_CreateScreen();
}

void loadSequences()
{
    loadIntro();
    loadThePrologue();
    loadGameOver();
    loadGameBeat();
    loadGame();
    reportMissingFiles();
}

int runMainFrame()
{
    if (!NUX_Update())
        return 0;
    doTimer();
    switch (gameMode) {
    case MODE_TITLE: runIntro(elapsed); break;
    case MODE_PROLOGUE: runPrologue(elapsed); break;
    case MODE_GAMEOVER: runGameOver(elapsed); break;
    case MODE_GAMEBEAT: runGameBeat(elapsed); break;
    case MODE_SPLASH: runSorvelInn(elapsed); break;
    case MODE_GAME: runGame(elapsed); break;
    default: break;
    }
    NUX_UpdateSound();
    return 1;
}

void shutdownShell()
{
    NUX_ShutdownSound();
    NUX_Shutdown();
}

//---- Entry

int SDL_main(int argc, char** argv)
{
    GameOptions options;
    int parsed = parseGameOptions(argc, argv, &options, stdout, stderr);
    if (parsed != OPTIONS_RUN)
        return parsed == OPTIONS_DONE ? 0 : 2;
    // The data is found before the window opens, so a broken install says so at once.
    static char message[8192];
    if (!NUX_FindDataDir(options.dataDir, message, sizeof message)) {
        fprintf(stderr, "dunmarrow: %s", message);
        return 1;
    }
    NUX_UseNoSoundDevice(options.noSound);
    // Each new score re-renders the score label, and the GL driver makes a new 256 KB texture for
    // it (1 MB for the title's and the ending's labels) and frees the old one. The C library
    // would soon take such blocks from its heap instead of mapping them, where the freed ones
    // leave holes and the heap creeps up by a megabyte every few minutes of play; a fixed
    // threshold keeps every block from 128 KB up mapped on its own and returned when freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    if (!NUX_Init(1024, 768, (char)options.fullScreen, "DUNMARROW"))
        return 1;  // the reason is already printed; there is nothing to show a game in
    initShell(Timer_GetTicks());
    if (options.mute)
        NUX_MuteAllSound();
    initSorvel();
    doTimer();
    while (!SorvelOver()) {
        if (!runSplashFrame()) {
            shutdownShell();
            return 0;
        }
    }
    initScreens();
    loadSequences();
    switchGameMode(MODE_TITLE);
    doTimer();
    while (runMainFrame()) {}
    shutdownShell();
    return 0;
}
