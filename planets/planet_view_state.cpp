#include "planets/planet_view_state.h"

#include <cstring>

#include "core/settings.h"
#include "shell/colour_scheme.h"

using platform::Color;
using platform::Rgb;

PlanetViewState planetView;

namespace {

void ClearMoonEvents() {
    std::memset(planetView.moonEventTable, 0, sizeof planetView.moonEventTable);
    planetView.eventYear = -1;
}

void SelectMoonMode(int mode, const char* title) {
    planetView.title = title;
    if (planetView.mode == mode) return;
    planetView.subView = 0;
    ClearMoonEvents();
    planetView.mode = mode;
}

// Red at the night level; black would be the transparent colour, so it becomes 1.
Color NightRed(int level) { return level > 0 ? Rgb(level, 0, 0) : Color{1}; }

}  // namespace

void SelectJupiterAssistant() { SelectMoonMode(kJupiterMode, "JupiterAssistant"); }

void SelectSaturnAssistant() { SelectMoonMode(kSaturnMode, "SaturnAssistant"); }

void SelectMarsAssistant() {
    planetView.title = "MarsAssistant";
    if (planetView.mode == kMarsMode) return;
    planetView.subView = 1;
    planetView.mode = kMarsMode;
}

void SelectPhaseAssistant() {
    planetView.title = "PhaseAssistant";
    if (planetView.mode == kPhaseMode) return;
    planetView.span = 0;
    planetView.subView = 0;
    planetView.mode = kPhaseMode;
}

int GetPlanetViewMode() { return planetView.mode; }

int GetPlanetViewOrientation() { return planetView.orientation; }

void GetSatelliteColors(Color colours[kSatelliteColourCount]) {
    for (int i = 0; i < kSatelliteColourCount; ++i) colours[i] = planetView.satelliteColours[i];
}

void SetPlanetColors() {
    PlanetColours& c = planetView.colours;
    Color* s = planetView.satelliteColours;
    if (preferences.word[pref::nightMode] == 0) {
        c = PlanetColours{Rgb(0, 0, 0),   Rgb(180, 180, 250), Rgb(255, 255, 255),
                          Rgb(0, 0, 120), Rgb(0, 0, 0),       Rgb(220, 0, 0)};
        const Color day[kSatelliteColourCount] = {Rgb(205, 205, 40), Rgb(0, 40, 220), Rgb(220, 0, 0),
                                                  Rgb(0, 210, 40), Rgb(155, 150, 140)};
        for (int i = 0; i < kSatelliteColourCount; ++i) s[i] = day[i];
        return;
    }
    const int level = GetNightLevel();
    c = PlanetColours{NightRed(level - level / 4), NightRed(level / 4), NightRed(level / 2),
                      NightRed(level / 2),         NightRed(0),         Rgb(220, 0, 0)};
    for (int i = 0; i < kSatelliteColourCount; ++i) s[i] = NightRed(level - 7 * i);
}
