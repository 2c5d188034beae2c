#pragma once
// The constants and angle helpers the eclipse code shares, with the guarded conversions
// (core/checked_math.h) that keep limb and shadow-edge values from turning into NaN or into
// an undefined integer conversion.
#include <cmath>

#include "core/angle_units.h"
#include "core/checked_math.h"

inline constexpr double kHoursToRad = kPi / 12.0;
inline constexpr double kSiderealHoursPerDay = 24.06570841889117;
// The Earth of the eclipse geometry: equatorial radius 6378.14 km, flattening 1/298.257.
inline constexpr double kEarthOneMinusF = 0.99664719;
inline constexpr double kEarthEccentricitySquared = 0.006694385;
inline constexpr double kEarthRadiusAU = 4.263521265376305e-5;
inline constexpr double kEarthDiameterKm = 12756.0;

// An angle in degrees brought into [-180, 180).
inline double ReduceDegrees180(double degrees) {
    double r = std::fmod(degrees + 180.0, 360.0);
    if (r < 0.0) r += 360.0;
    if (r >= 360.0) r -= 360.0;  // a tiny negative remainder rounds up to a whole turn
    return r - 180.0;
}

// A sine that divides: at least 1e-9 in size with its sign kept, so that a body on the
// equator gives a steep but finite horizon line rather than 0 x infinity.
inline double SineAwayFromZero(double sine) {
    if (std::fabs(sine) >= 1e-9) return sine;
    return std::signbit(sine) ? -1e-9 : 1e-9;
}
