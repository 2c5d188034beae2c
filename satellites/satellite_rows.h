#pragma once
// What the satellite form's lists share: the satellite popup's rows, the rows of the Next
// and Flare result lists, the column headers of the list views, the order of the result
// lists, and the Data view (the element lines and their age).
#include <cstdint>

#include "shell/draw_targets.h"

// One row of a result list. Times are Julian days in local time.
struct SatellitePass {
    double startJD = 0.0;
    double endJD = 0.0;
    double maxJD = 0.0;
    double eventJD = 0.0;     // instant of a flare or transit (the Next search: the start)
    double eventAngle = 0.0;  // degrees: the flare's reflection angle, the transit's separation
    std::int32_t durationSeconds = 0;
    std::int32_t maxAltitude = 0;  // whole degrees
    std::int32_t satelliteIndex = 0;
    std::int32_t magnitude = 0;    // flares
    char name[72] = {};
};

// Row drawer of the satellite popup: the record's name, read into a scratch record so the
// form's current record stays as it is.
void DrawSatelliteNameRow(int row, Bounds rect, int flag, int rowWidth);
// The band behind even rows that are not selected: light grey, dark red at night.
void DrawSatelliteRowBand(int row, Bounds rect, int selected);
// Row drawer of the Next and Flare lists.
void DrawSatellitePassRow(int row, Bounds rect, int selected);
// The column titles of the list views (none for the others); returns the previous font,
// which is selected again before returning.
int DrawSatelliteListHeader();
// -1, 0 or 1; the start order breaks ties by the maximum altitude difference.
int CompareSatellitePasses(const SatellitePass& a, const SatellitePass& b);
// The same as a strict weak order, for std::sort.
inline bool SatellitePassLess(const SatellitePass& a, const SatellitePass& b) {
    return CompareSatellitePasses(a, b) < 0;
}
// The Data view of a satellite: the age of its elements and its two element lines.
void DrawSatelliteTlePage(int satellite);
// Days from the elements' epoch to the form's time, the form's local time turned into UT
// by the site's zone offset.
double SatelliteElementAge();
