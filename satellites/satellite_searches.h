#pragma once
// The result lists of the satellite form: the next passes of one satellite (Pass), its
// first pass in front of the Moon or the Sun (Transit), the coming passes of every
// satellite (Next) and the flares of the panel-carrying "IR" satellites (Flare). Rows are
// kept in the form's passTable in local Julian days; the pass finder works in UT.
#include <cstdint>

#include "satellites/satellite_rows.h"
#include "satellites/two_line_elements.h"

inline constexpr int kMaxResultRows = 30;

// Degrees of the minimum-altitude choice (2 for "Visible", then 5 to 45); a choice outside
// the ten rows counts as the first.
int MinimumAltitude(int choice);
// trunc(4.742 log10(max(angle, 0.047)) - 1.737 - 0.5): the flare's magnitude for its
// reflection angle in degrees.
int FlareMagnitude(double angleDegrees);

// The Sun's rise and set (UT Julian days) of the local date of a pass and of the next day.
struct SunDays {
    double rise[2] = {};
    double set[2] = {};
};
// A flare needs a dark sky: true when the pass lies wholly between the rise and the set of
// one of the days, with *next the set + 5 minutes (where the flare search goes on).
bool PassInDaylight(double aos, double los, const SunDays& days, double* next);
// True when the instant lies strictly between the rise and the set of one of the days.
bool InDaylight(double jd, const SunDays& days);

// Where the next pass search starts (UT) after the pass aos..los (UT) of a converted set
// seen from a site at `longitudeWest` degrees: whole orbits on, so that the passes that
// cannot reach the site are stepped over. The satellite's height is taken at the middle of
// this pass. Always later than los.
double NextPassSearchStart(double aos, double los, TleElements* elements, double longitudeWest);

// Pass and Transit views: the search for the current satellite from the form's time, at
// most 30 rows over 30 days (Transit: the first transit, then stop). An orbit that cannot
// rise, and a deep-space, invalid or decayed set, give their message and no row.
void SearchSatellitePasses(int satellite);
// Next and Flare views: every satellite of the database (by its name) from 0h UT of the
// form's date over 1.3 days, at most 5 passes (3 flares) a satellite and 30 rows, sorted.
// Sets that cannot be searched are skipped silently.
void SearchAllSatellitePasses();

// What the last search cost: pass searches made and the elevations they computed.
struct SatelliteSearchCost {
    long passSearches = 0;
    long evaluations = 0;
};
extern SatelliteSearchCost satelliteSearchCost;
