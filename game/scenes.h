// scenes: the load, reset and run operations of every scene, for the shell and the harness.
#pragma once

#include "game.h"
#include "gamebeat.h"
#include "gameover.h"
#include "intro.h"
#include "prologue.h"
#include "sorvelinn.h"
