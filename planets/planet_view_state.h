#pragma once
// The one state record of the planet view form (Jupiter, Saturn, Mars and phase assistants):
// it outlives the form, so that the home form and the menu choose the mode before the form
// opens, and the drawings read the form's date, orientation, zoom and colours from it.
#include "platform/types.h"

// One moon phenomenon of the day: slot, kind 1..5 and its start and end; empty when the
// start day is 0.
struct MoonEventRecord {
    int slot, kind;
    int startDay, startHour, startMinute;
    int endDay, endHour, endMinute;
};
inline constexpr int kMoonEventCount = 25;

// The colours of the strips and views, for day or for the night level.
struct PlanetColours {
    platform::Color foreground;       // text and lines of the strip
    platform::Color lightBand;        // light strip band
    platform::Color stripBackground;  // other band and strip background
    platform::Color planetStripe;     // the planet's vertical stripe
    platform::Color darkBackground;   // phase view, night band
    platform::Color cursor;           // cursor marks
};
inline constexpr int kSatelliteColourCount = 5;

enum PlanetViewMode : int { kJupiterMode = 0, kSaturnMode = 1, kMarsMode = 2, kPhaseMode = 3 };

struct PlanetViewState {
    int mode = -1;  // PlanetViewMode; -1 before the first choice
    const char* title = "";
    int subView = 0;      // row of the sub-view list of the mode
    int orientation = 0;  // row of the orientation popup, 0..3
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;  // local civil time of the form
    int loadTime = 1;  // the next refresh loads the form's time and clears this
    int span = 2;      // 0 "1", 1 "2", 2 "4", 3 "Max"
    double zoom = 4.0; // 4.0 or 22.0 (Jupiter drawing)
    int xSign = 1, ySign = 1;
    int saturnMoonFilter = 0;
    int featureRunStart = 0;
    int selectedFeature = -1;
    int mapScrollX = 0, mapScrollY = 0;
    int mapDragged = 0;
    int stripRow = 0;
    int penX = 0;
    int rowsPerUnit = 0;
    int stripHeight = 0;
    int fullRedraw = 0;
    int screenWidth = 0, screenHeight = 0;
    int savedStarStyle = 0;
    PlanetColours colours{};
    platform::Color satelliteColours[kSatelliteColourCount]{};
    MoonEventRecord moonEventTable[kMoonEventCount]{};
    // The date, hour and minute the event table was computed for; year -1 when it is stale.
    int eventYear = -1, eventMonth = 0, eventDay = 0, eventHour = 0, eventMinute = 0;
};
extern PlanetViewState planetView;

// Mode selection, called by the home form and the menu before they open the form. Each
// changes the state only when the mode changes: Jupiter and Saturn start on "Satellites"
// with an empty event table, Mars on "View", the phases on "Mercury" with span "1".
void SelectJupiterAssistant();
void SelectSaturnAssistant();
void SelectMarsAssistant();
void SelectPhaseAssistant();

int GetPlanetViewMode();
int GetPlanetViewOrientation();
// Copies the five satellite colours into `colours`.
void GetSatelliteColors(platform::Color colours[kSatelliteColourCount]);
// Builds the colour set for the current night mode (day when night mode is off).
void SetPlanetColors();
