#pragma once
// Whether a satellite can ever be seen from the site, and the next pass after an instant:
// an adaptive scan while the satellite is below the horizon, then the rise (AOS) and set
// (LOS) as roots of the elevation. The pass view and the next-pass list call it, the list
// once per satellite of the database.
#include <cstdint>

#include "satellites/two_line_elements.h"

// What a search ended with. Only Found writes AOS and LOS.
enum class PassOutcome {
    Found,          // AOS and LOS written
    NoPass,         // no pass begins before the end
    Stopped,        // the user held a navigation key
    CannotRise,     // the orbit never comes above the site's horizon
    Geostationary,  // it stands still in the sky: no passes
    DeepSpace,      // refused: no deep-space model
    Invalid,        // refused: the conversion rejected the elements
    Decayed,        // the propagator gave no position (or no finite elevation)
};

// The one search that runs at a time: its element set and how many elevations it computed.
struct SatelliteSearchContext {
    TleElements* elements = nullptr;
    std::uint32_t evaluations = 0;
};
extern SatelliteSearchContext satelliteSearchContext;

// Mean motion within 0.0002 of 1.0027 revolutions a day (strictly).
inline constexpr double kGeostationaryRevPerDay = 1.0027;
inline constexpr double kGeostationaryTolerance = 0.0002;

// 1 when inclination and apogee height bring the orbit above the horizon of a site at
// `latitude` (radians), else 0 (also for a mean motion of 0).
int CanSatelliteRise(const TleElements& elements, const double* latitude);
int IsGeostationary(const TleElements& elements);
// Elevation (degrees, SGP, the current site with its height) of the context's satellite at a
// UT Julian day; counts one evaluation. NaN without a context or without a position.
double SatelliteElevationAt(double jd);

// The next pass of a converted set after `start` (UT Julian day), beginning no later than
// `end`. A pass in progress at the start is found with its AOS before the start. A search
// of more than a day draws its progress ("day hh:mm" of the scan, UT) at (x + 70, y) and
// polls the navigation keys on every fifth step, a shorter one on every step. The scan's
// step is set from the satellite's own height at the start instant.
PassOutcome FindSatellitePasses(double start, double end, double* aos, double* los, TleElements* elements,
                                const double* latitude, int x, int y);
