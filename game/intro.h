// intro: the title screen, and the high scores it shows.
#pragma once

void loadIntro();
void resetIntro();
void runIntro(float dt);

// 1 once the title music has started; only then does Space start the prologue.
int isIntroMusicPlaying();
