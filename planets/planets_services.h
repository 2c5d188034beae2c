#pragma once
// What the shell uses of the planet forms: the state of the planet view form with its mode
// selection (planets/planet_view_state.h), and the satellite sprites freed at exit.
#include "planets/planet_view_state.h"

struct DrawWindow;

// The two satellite sprite bitmaps of the planet view form; null while not made.
extern DrawWindow* satelliteSprites[2];

// Frees the two sprite bitmaps of the planet view form.
void FreeSatelliteSprites();
