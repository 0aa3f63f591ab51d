// nux: the engine's public face. The game includes this header and nothing else of the engine.
#pragma once

#include "interpolation.h"
#include "kwutil.h"
#include "nux_clock.h"
#include "nux_core.h"
#include "nux_files.h"
#include "nux_missing.h"
#include "nux_modes.h"
#include "nux_graphics.h"
#include "nux_hooks.h"
#include "nux_input.h"
#include "nux_particle.h"
#include "nux_replay.h"
#include "nux_sound.h"
