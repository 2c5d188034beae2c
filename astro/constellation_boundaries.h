#pragma once
// The constellation that contains a position, from the published boundary table of
// Roman (1987), equinox B1875.0.
#include <cstdint>

// Constellation number (the row of the constellation list, 0 to 88; Cancer is 22, both
// parts of Serpens are 74) of a position in hours and degrees referred to the equator and
// equinox of the Julian day jd (J2000.0 catalog places pass 2451545.0), or −1 when no
// boundary row holds it (only for input that is not a position, such as NaN).
int FindConstellation(double ra, double dec, double jd);

// One boundary row: the band of right ascension [raLow, raHigh) in seconds of time and
// the lower declination limit in arc seconds; a position belongs to the first row, in
// table order, whose band holds it and that it lies strictly above.
struct ConstellationBoundary {
    std::int32_t raLow;
    std::int32_t raHigh;
    std::int32_t decLow;
    std::int32_t constellation;
};

constexpr int kConstellationBoundaryCount = 357;
extern const ConstellationBoundary kConstellationBoundaries[kConstellationBoundaryCount];

// Julian day of the equinox B1875.0, to which positions are carried before the scan.
constexpr double kB1875JulianDay = 2405889.25855;
