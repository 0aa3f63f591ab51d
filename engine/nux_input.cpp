// nux_input: the one place that knows every mode's keys. Window events and queued
// (scripted) events go through the same two tables, key press and key release.

#include "nux_input.h"
#include "nux_local.h"  // the game's hooks
#include "nux_modes.h"  // the modes each key is read in
#include "nux_sound.h"

#include <SDL.h>    // event polling
#include <cstring>  // strcmp
#include <vector>   // the queued events

//---- Constants

// Room for the queued events of a busy frame; the queue grows past it rather than drop a key,
// and keeps what it grew to, so play allocates nothing once it has seen its busiest frame.
static const size_t QUEUE_SIZE = 256;

//---- Types

struct QueuedEvent {
    NUX_Key key;  // NUX_KEY_NONE for a window-close request
    int pressed;
};

//---- State

int exitFlag = 1;
int movingLeft = 0, movingRight = 0, movingUp = 0, movingDown = 0;
int musicMuted = 0;

// Both lists have their room from the start, so that the first key queued during play (a
// harness's) does not allocate either.
static std::vector<QueuedEvent> reservedList()
{
    std::vector<QueuedEvent> list;
    list.reserve(QUEUE_SIZE);
    return list;
}

static std::vector<QueuedEvent> queue = reservedList();     // waiting for the next NUX_InputUpdate
static std::vector<QueuedEvent> handling = reservedList();  // the events being handled now

//---- Helpers

static NUX_Key keyFromSDL(SDLKey sym)
{
    switch (sym) {
    case SDLK_UP: return NUX_KEY_UP;
    case SDLK_DOWN: return NUX_KEY_DOWN;
    case SDLK_LEFT: return NUX_KEY_LEFT;
    case SDLK_RIGHT: return NUX_KEY_RIGHT;
    case SDLK_SPACE: return NUX_KEY_SPACE;
    case SDLK_p: return NUX_KEY_P;
    case SDLK_RETURN: return NUX_KEY_RETURN;
    case SDLK_m: return NUX_KEY_M;
    case SDLK_ESCAPE: return NUX_KEY_ESCAPE;
    case SDLK_q: return NUX_KEY_Q;
    default: return NUX_KEY_NONE;
    }
}

static void keyPressed(NUX_Key key)
{
    int mode = nuxGameMode();
    switch (key) {
    case NUX_KEY_UP:
        movingUp = 1;
        nuxOwlFlapUp();
        break;
    case NUX_KEY_DOWN: movingDown = 1; break;
    case NUX_KEY_RIGHT: movingRight = 1; break;
    case NUX_KEY_LEFT: movingLeft = 1; break;
    case NUX_KEY_P:
    case NUX_KEY_RETURN:
        if (mode == MODE_GAME)
            nuxGamePause();
        break;
    case NUX_KEY_M:
        if (musicMuted == 0) {
            NUX_SetMusicVolume(0.0);
            musicMuted = 1;
        } else {
            NUX_SetMusicVolume(1.0);
            musicMuted = 0;
        }
        break;
    case NUX_KEY_ESCAPE:
        if (mode == MODE_TITLE || mode == MODE_SPLASH) {
            exitFlag = 0;
        } else if (mode == MODE_PROLOGUE || mode == MODE_GAMEOVER || mode == MODE_GAMEBEAT) {
            nuxSwitchGameMode(MODE_TITLE);
        } else if (mode == MODE_GAME) {
            if (nuxGamePaused())
                nuxGamePause();
            nuxSwitchGameMode(MODE_TITLE);
        }
        break;
    case NUX_KEY_SPACE:
        if (mode == MODE_GAME && !nuxGamePaused())
            nuxOwlSwoop();
        else if (mode == MODE_TITLE && nuxIntroMusicPlaying() != 0)
            nuxSwitchGameMode(MODE_PROLOGUE);
        else if (mode == MODE_SPLASH)
            nuxSorvelAborted();
        else if (mode == MODE_PROLOGUE)
            nuxSwitchGameMode(MODE_GAME);
        else if (mode == MODE_GAMEOVER && nuxGameOverElapsed() > 0.88f)
            nuxSwitchGameMode(MODE_TITLE);
        else if (mode == MODE_GAMEBEAT && nuxGameBeatElapsed() > 2.0f)
            nuxSwitchGameMode(MODE_TITLE);
        break;
    default: break;
    }
}

static void keyReleased(NUX_Key key)
{
    switch (key) {
    case NUX_KEY_UP:
        // While paused the release is ignored, so the owl still glides when play resumes.
        if (!nuxGamePaused()) {
            movingUp = 0;
            nuxOwlFlapDown();
        }
        break;
    case NUX_KEY_DOWN: movingDown = 0; break;
    case NUX_KEY_RIGHT: movingRight = 0; break;
    case NUX_KEY_LEFT: movingLeft = 0; break;
    case NUX_KEY_SPACE:
        if (nuxGameMode() == MODE_GAME && !nuxGamePaused())
            nuxOwlSwoopStop();
        break;
    case NUX_KEY_Q: exitFlag = 0; break;
    default: break;
    }
}

static void handleEvent(NUX_Key key, int pressed, bool quit)
{
    if (quit) {
        nuxReplayNoteQuit();
        exitFlag = 0;
    } else if (pressed) {
        nuxReplayNoteKey(key, pressed);
        keyPressed(key);
    } else {
        nuxReplayNoteKey(key, pressed);
        keyReleased(key);
    }
}

// While a replay is watched in the window the player only steers the watching: Escape, Q and
// closing the window stop it, P holds and lets it go, and full screen still switches; the focus
// and the gamepad are not listened to, so nothing live reaches the game.
static void watchingEvent(SDL_Event* event)
{
    if (event->type == SDL_QUIT) {
        nuxReplayStop();
        return;
    }
    if (event->type == SDL_ACTIVEEVENT || event->type == SDL_JOYAXISMOTION || event->type == SDL_JOYHATMOTION ||
        event->type == SDL_JOYBUTTONDOWN || event->type == SDL_JOYBUTTONUP || event->type == SDL_JOYBALLMOTION)
        return;
    if (nuxDesktopEvent(event) || event->type != SDL_KEYDOWN)
        return;
    NUX_Key key = keyFromSDL(event->key.keysym.sym);
    if (key == NUX_KEY_ESCAPE || key == NUX_KEY_Q)
        nuxReplayStop();
    else if (key == NUX_KEY_P)
        nuxReplayToggleHold();
}

// The recorded events of this frame, in their order, through the same tables as live ones.
static void replayedEvents()
{
    NUX_Key key = NUX_KEY_NONE;
    int pressed = 0, kind;
    while ((kind = nuxReplayNextEvent(&key, &pressed)) != 0) {
        if (kind == 1)
            handleEvent(key, pressed, false);
        else if (kind == 2)
            handleEvent(NUX_KEY_NONE, 0, true);
        else if (nuxGameMode() == MODE_GAME && !nuxGamePaused())
            nuxGamePause();  // the pause the recorded run took when its window lost the focus
    }
}

//---- Public

void nuxKeyEvent(NUX_Key key, int pressed)
{
    if (key != NUX_KEY_NONE)
        handleEvent(key, pressed, false);
}

void NUX_QueueKeyEvent(NUX_Key key, int pressed)
{
    if (key == NUX_KEY_NONE)
        return;
    if (queue.capacity() < QUEUE_SIZE)
        queue.reserve(QUEUE_SIZE);
    queue.push_back(QueuedEvent{key, pressed ? 1 : 0});
}

void NUX_QueueQuitEvent()
{
    if (queue.capacity() < QUEUE_SIZE)
        queue.reserve(QUEUE_SIZE);
    queue.push_back(QueuedEvent{NUX_KEY_NONE, 0});
}

void NUX_InputUpdate()
{
    nuxReplayFrameStart();
    if (nuxHasGL && nuxReplayWatched()) {
        SDL_Event event;
        do {
            while (SDL_PollEvent(&event))
                watchingEvent(&event);
            if (nuxReplayHeld())
                SDL_Delay(20);
        } while (nuxReplayHeld() && exitFlag);
    } else if (nuxHasGL) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (nuxDesktopEvent(&event))
                continue;  // full screen, focus, gamepad
            if (event.type == SDL_QUIT)
                handleEvent(NUX_KEY_NONE, 0, true);
            else if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP)
                handleEvent(keyFromSDL(event.key.keysym.sym), event.type == SDL_KEYDOWN, false);
        }
    }
    // The waiting events change places with the (empty) handled list, so that anything a handler
    // queues waits for the next update; both lists keep their room.
    queue.swap(handling);
    for (const QueuedEvent& event : handling)
        handleEvent(event.key, event.pressed, event.key == NUX_KEY_NONE);
    handling.clear();
    replayedEvents();
}

NUX_Key NUX_KeyFromName(const char* name)
{
    static const struct {
        const char* name;
        NUX_Key key;
    } names[] = {
        {"up", NUX_KEY_UP},         {"down", NUX_KEY_DOWN}, {"left", NUX_KEY_LEFT},     {"right", NUX_KEY_RIGHT},
        {"space", NUX_KEY_SPACE},   {"p", NUX_KEY_P},       {"return", NUX_KEY_RETURN}, {"m", NUX_KEY_M},
        {"escape", NUX_KEY_ESCAPE}, {"q", NUX_KEY_Q},
    };
    for (const auto& entry : names)
        if (strcmp(entry.name, name) == 0)
            return entry.key;
    return NUX_KEY_NONE;
}
