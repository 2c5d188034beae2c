#include "planets/planets_services.h"

#include "shell/draw_targets.h"

DrawWindow* satelliteSprites[2] = {nullptr, nullptr};

void FreeSatelliteSprites() {
    for (DrawWindow*& sprite : satelliteSprites) {
        DeleteOffscreen(sprite);
        sprite = nullptr;
    }
}
