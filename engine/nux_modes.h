// nux_modes: the game's six modes, named once for the shell that switches them and for the
// input layer that reads each key by mode.
#pragma once

// The game modes; the numbers are stored and compared everywhere.
enum {
    MODE_TITLE = 0,
    MODE_PROLOGUE = 1,
    MODE_GAME = 2,
    MODE_GAMEOVER = 3,
    MODE_GAMEBEAT = 4,
    MODE_SPLASH = 5,
};
