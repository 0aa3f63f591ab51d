// main: the shell. Start-up order, the splash loop, the main loop, the frame clock and the
// mode switch; every scene is reached from here.

#include "main.h"
#include "options.h"
#include "scenes.h"

#include <cstdio>    // fprintf
#include <cstdlib>   // srand
#include <cstring>   // strcmp: the replay's game version
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

ModeScene modeScenes[MODE_COUNT] = {
    {&introScreen, resetIntro},        // MODE_TITLE
    {&prologueScreen, resetPrologue},  // MODE_PROLOGUE
    {&gameScreen, resetGame},          // MODE_GAME
    {&gameOverScreen, resetGameOver},  // MODE_GAMEOVER
    {&gameBeatScreen, resetGameBeat},  // MODE_GAMEBEAT
    {&sorvelScreen, resetSorvelInn},   // MODE_SPLASH
};

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
    .stateHash = gameStateHash,
    .summary = gameStateSummary,
    .musicOpening = nullptr,  // only the harness, which counts allocations, listens for it
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
    elapsed = NUX_ReplayFrameTime(elapsed);  // noted in a recording, or the recorded one replayed
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
    for (const ModeScene& scene : modeScenes)
        setVisible(*scene.screen, 0);

    if (mode >= 0 && mode < MODE_COUNT) {
        const ModeScene& scene = modeScenes[mode];
        // The game resets before its screen is shown; every other scene is shown, then reset.
        if (mode == MODE_GAME) {
            scene.reset();
            setVisible(*scene.screen, 1);
        } else {
            setVisible(*scene.screen, 1);
            scene.reset();
        }
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
    // A replay is read and checked whole before the window opens: a bad one plays nothing.
    if (options.replay) {
        if (NUX_LoadReplay(options.replay, message, sizeof message) != NUX_REPLAY_OK) {
            fprintf(stderr, "dunmarrow: %s\n", message);
            return 2;
        }
        NUX_ReplayHeader header = NUX_GetReplayHeader();
        if (strcmp(header.game, gameVersion()) != 0)
            fprintf(stderr, "dunmarrow: the replay was recorded by version %s of the game, this is %s\n", header.game,
                    gameVersion());
    }
    NUX_UseNoSoundDevice(options.noSound);
    subtitlesShown = options.subtitles;
    // The C library raises its threshold for mapping large blocks as the program frees them, and
    // then takes such blocks (the driver's texture uploads, a label's rendered rows) from its heap,
    // where freed ones leave holes that later ones do not fit: the rendered soak once saw the heap
    // creep by a megabyte every few minutes of play that way. A fixed threshold keeps every block
    // from 128 KB up mapped on its own and returned when freed.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    if (!NUX_Init(1024, 768, (char)options.fullScreen, "DUNMARROW"))
        return 1;  // the reason is already printed; there is nothing to show a game in
    unsigned seed = options.replay ? NUX_GetReplayHeader().seed : Timer_GetTicks();
    if (options.record && !NUX_StartRecording(options.record, gameVersion(), seed, message, sizeof message)) {
        fprintf(stderr, "dunmarrow: %s\n", message);
        NUX_Shutdown();
        return 1;
    }
    if (options.replay)
        NUX_StartReplay(1);
    initShell(seed);
    if (options.mute)
        NUX_MuteAllSound();
    initSorvel();
    doTimer();
    bool splashQuit = false;
    while (!SorvelOver() && !splashQuit)
        splashQuit = !runSplashFrame();
    if (!splashQuit) {
        initScreens();
        loadSequences();
        switchGameMode(MODE_TITLE);
        doTimer();
        while (runMainFrame()) {}
    }
    NUX_StopRecording();
    int replayed = NUX_FinishReplay(stderr);
    shutdownShell();
    return replayed > 0 ? 1 : 0;
}
