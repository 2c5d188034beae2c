#pragma once
// The part of the sky a view shows, as the zone layers read it: a right-ascension window
// (8.24, across 0 h when it wraps) and declination bounds, from a 3 x 3 grid of the view's
// points. A view that holds a celestial pole sees every right ascension up to that pole,
// which the grid alone cannot tell.
#include <cstdint>

#include "chart/sky_matrix.h"
#include "shell/draw_targets.h"

struct SkyWindow {
    std::int32_t raMin;
    std::int32_t raMax;
    std::int32_t decMin;
    std::int32_t decMax;
    bool all;     // every right ascension
    bool wraps;   // the window runs from raMax through 0 h to raMin
    bool Contains(std::int32_t ra) const {
        if (all) return true;
        if (raMin > raMax) return false;
        return wraps ? (ra <= raMin || ra >= raMax) : (ra >= raMin && ra <= raMax);
    }
};

// With view null, the chart's plane (modes 0 and 1) at the chart's sidereal time; the
// rectangle in the coordinates of the chart or of the view.
SkyWindow FindSkyWindow(const SkyView* view, const Bounds& rect);
