// nux_sound_local: the sound module's hooks for its tests and the sound check tool: a loopback
// device that mixes on demand, and the stored result code. The game never includes it.
#pragma once

// Tests only: starts the real module on an OpenAL loopback device (stereo float at sampleRate)
// in place of NUX_InitSound. Nothing is heard and time stands still: audio, and with it the music
// position, advances only through NUX_RenderSoundForTest. Returns 0 where OpenAL has no loopback.
int NUX_InitSoundLoopback(int channels, int sampleRate);

// Tests only: mixes the next frames of the loopback device into out (2 floats per frame).
void NUX_RenderSoundForTest(float* out, int frames);

// Tests only: the stored result code, read and set.
int NUX_GetSoundResultForTest();
void NUX_SetSoundResultForTest(int code);

// Tests only: forgets the files that failed, so that the next load or play opens them again.
void NUX_ForgetFailedSoundFilesForTest();
