// gameOwl: the owl's flight, flaps, drift, swoop, energy, screen bounds, death and respawn, and
// the controls the input layer calls at the moment of a key event.

#include "gameLocal.h"

//---- State

Owl owl = {};
float yGrav = 9.0f;
