#include "planets/planets_services.h"

#include "shell/draw_targets.h"

PlanetViewState planetView{-1, "", 0, -1, 0};
DrawWindow* satelliteSprites[2] = {nullptr, nullptr};

namespace {

void SelectMode(int mode, const char* title) {
    if (planetView.mode != mode) {
        planetView.trackCount = 0;
        planetView.selection = -1;
    }
    planetView.mode = mode;
    planetView.title = title;
}

}  // namespace

void SelectJupiterAssistant() { SelectMode(0, "JupiterAssistant"); }

void SelectSaturnAssistant() { SelectMode(1, "SaturnAssistant"); }

void SelectMarsAssistant() {
    planetView.mode = 2;
    planetView.title = "MarsAssistant";
    planetView.fullRedraw = 1;
}

void FreeSatelliteSprites() {
    for (DrawWindow*& sprite : satelliteSprites) {
        DeleteOffscreen(sprite);
        sprite = nullptr;
    }
}
