// nux_input: turns key presses and releases into the game's controls, once per frame.
#pragma once

// The keys the game knows; every other key is ignored.
enum NUX_Key {
    NUX_KEY_NONE = 0,
    NUX_KEY_UP,
    NUX_KEY_DOWN,
    NUX_KEY_LEFT,
    NUX_KEY_RIGHT,
    NUX_KEY_SPACE,
    NUX_KEY_P,
    NUX_KEY_RETURN,
    NUX_KEY_M,
    NUX_KEY_ESCAPE,
    NUX_KEY_Q,
};

// 0 once the player asked to quit (window closed, Q released, Escape on the title or splash).
extern int exitFlag;
// 1 while the arrow key is held; read by the owl every frame.
extern int movingLeft, movingRight, movingUp, movingDown;
// 1 while the music is muted with M.
extern int musicMuted;

// Drains the window's events (and any queued ones) in order and acts on them. Called by NUX_Update.
void NUX_InputUpdate();

// Queues a key event to be handled by the next NUX_InputUpdate, exactly as if the window had
// delivered it after its own pending events. The harness's scripted keys come this way.
void NUX_QueueKeyEvent(NUX_Key key, int pressed);

// Queues a window-close request, handled like the real one.
void NUX_QueueQuitEvent();

// The name of a key as scripts write it ("space", "up", "q" ...), NUX_KEY_NONE if unknown.
NUX_Key NUX_KeyFromName(const char* name);
