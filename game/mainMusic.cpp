// mainMusic: the scenes' music clock. A scene timed to its music reads the play position here;
// when the track cannot be played, the scene's own frame times stand in for it.

#include "main.h"

#include <cmath>  // fmod

//---- Scene music

void startSceneMusic(SceneMusic* music, const char* path)
{
    NUX_PlayMusic(path);
    music->missing = NUX_GetMusicLength() <= 0.0 ? 1 : 0;
    music->clock = 0.0;
}

void resetSceneMusic(SceneMusic* music)
{
    music->missing = 0;
    music->clock = 0.0;
}

void advanceSceneMusic(SceneMusic* music, double dt)
{
    if (music->missing)
        music->clock += dt;
}

double sceneMusicPosition(const SceneMusic* music)
{
    if (music->missing)
        return fmod(music->clock, music->nominalLength);
    return NUX_GetMusicPosition();
}
