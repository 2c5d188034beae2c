#pragma once
// The night bars of the observing list: each row is a 24-hour strip centred on the
// observing time, showing the night (sunset to sunrise), the dark hours (astronomical
// night) and the hours the object is above the horizon. The layout is a pure function of
// the Sun's and the object's times; the drawing paints it into a row.
#include <vector>

#include "shell/draw_targets.h"

// The Sun's events of the observing date, local hours (ComputeSunRiseSet's results).
struct NightSunTimes {
    int result = 1;            // kRiseSetNormal or kRiseSetNeverSets
    double rise = 0, transit = 0, set = 0;
    double twilightEnd = 0;    // evening end of astronomical twilight; 23.99: never dark, 0: dark all day
    double noon = 12;          // the local hour of the Sun's transit, used when it never rises
};

// A horizontal span of a row, pixels from the row's left edge, clipped to the row.
struct BarSpan {
    int x = 0;
    int width = 0;
};

struct NightBarLayout {
    std::vector<BarSpan> night;
    std::vector<BarSpan> dark;
    std::vector<BarSpan> object;
    bool objectFillsRow = false;
};

// The strip of `width` pixels centred on the local hour `now`: an hour t lies at
// (t - now + 12) x width / 24, spans crossing an edge continue at the other. The night
// runs from sunset to sunrise and the dark hours from the end of twilight for as long as
// the night less both twilights; in polar day there is no night, in polar night the night
// fills the row, and without astronomical darkness there are no dark hours. An object up
// 23.5 hours or more fills the row; one that never rises (rise and set both 0) draws nothing.
NightBarLayout LayoutNightBar(double now, int width, const NightSunTimes& sun, double objectRise,
                              double objectSet);

// The Sun's times of a local date at the current site, computed once per date and site.
NightSunTimes NightSunTimesFor(int year, int month, int day);

// Paints a row of the bar view into `rect` on the current draw target: the bands, the
// object's bar with `label` centred in each piece, and the row's lines. With a star
// number, the label is the bright star's own (drawn by the chart's label drawer).
void DrawNightBarRow(const NightBarLayout& layout, const Bounds& rect, const char* label, int brightStarNumber,
                     bool night);
