#pragma once
// What the shell uses of the planet forms: the mode of the planet view form (Jupiter,
// Saturn or Mars) chosen by the menu, and the satellite sprites freed at exit.

struct DrawWindow;

struct PlanetViewState {
    int mode;            // 0 Jupiter, 1 Saturn, 2 Mars; -1 before the first choice
    const char* title;   // "JupiterAssistant", "SaturnAssistant", "MarsAssistant"
    int trackCount;      // points in the satellite track buffer
    int selection;       // selected satellite, -1 for none
    int fullRedraw;      // 1 when the next paint draws everything
};
extern PlanetViewState planetView;

// Set the view's mode and title. Jupiter and Saturn clear the satellite track and the
// selection when the mode changes; Mars marks the view for a full redraw.
void SelectJupiterAssistant();
void SelectSaturnAssistant();
void SelectMarsAssistant();

// The two satellite sprite bitmaps of the planet view form; null while not made.
extern DrawWindow* satelliteSprites[2];

// Frees the two sprite bitmaps of the planet view form.
void FreeSatelliteSprites();
