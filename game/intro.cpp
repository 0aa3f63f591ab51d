// intro: the title screen. For now it starts its music, which is what lets Space begin a game.

#include "intro.h"
#include "main.h"

//---- State

static int introMusicPlaying = 0;

//---- Scene

void loadIntro() {}

void resetIntro()
{
    introMusicPlaying = 0;
}

void runIntro(float dt)
{
    // The first frame with time in it starts the music (a zero-length first frame does not).
    if (dt > 0.0f && introMusicPlaying == 0) {
        NUX_PlayMusic("data/titular.ogg");
        introMusicPlaying = 1;
    }
}

int isIntroMusicPlaying()
{
    return introMusicPlaying;
}
