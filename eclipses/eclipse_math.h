#pragma once
// The guarded conversions the eclipse code shares. Near the edges of a shadow, at the limb
// and outside a penumbra the geometry runs into arc sines just past 1, square roots just
// below 0 and quotients by 0; these keep such values from turning into NaN or into an
// undefined integer conversion.
#include <climits>
#include <cmath>

#include "core/angle_units.h"

inline constexpr double kHoursToRad = kPi / 12.0;
inline constexpr double kSiderealHoursPerDay = 24.06570841889117;
// The Earth of the eclipse geometry: equatorial radius 6378.14 km, flattening 1/298.257.
inline constexpr double kEarthOneMinusF = 0.99664719;
inline constexpr double kEarthEccentricitySquared = 0.006694385;
inline constexpr double kEarthRadiusAU = 4.263521265376305e-5;
inline constexpr double kEarthDiameterKm = 12756.0;

// Arc cosine and arc sine of an argument brought into [-1, 1] first; NaN stays NaN.
inline double ClampedAcos(double x) { return std::acos(x < -1.0 ? -1.0 : (x > 1.0 ? 1.0 : x)); }
inline double ClampedAsin(double x) { return std::asin(x < -1.0 ? -1.0 : (x > 1.0 ? 1.0 : x)); }

// The one conversion of a computed double into an int: truncation toward zero, or
// `fallback` when the value is not finite or lies outside the int range. Callers that
// round pass floor(x + 0.5).
inline int ToIntChecked(double value, int fallback) {
    if (!std::isfinite(value)) return fallback;
    if (value <= static_cast<double>(INT_MIN) - 1.0 || value >= static_cast<double>(INT_MAX) + 1.0) return fallback;
    return static_cast<int>(value);
}

// Rounded to the nearest int (halves up), with the same fallback.
inline int RoundChecked(double value, int fallback) { return ToIntChecked(std::floor(value + 0.5), fallback); }

// An angle in degrees brought into [-180, 180).
inline double ReduceDegrees180(double degrees) {
    double r = std::fmod(degrees + 180.0, 360.0);
    if (r < 0.0) r += 360.0;
    if (r >= 360.0) r -= 360.0;  // a tiny negative remainder rounds up to a whole turn
    return r - 180.0;
}
