#pragma once
// Angle units and the standard epoch, shared by the theories and the positional astronomy.
#include <cmath>

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kDegToRad = kPi / 180.0;
inline constexpr double kRadToDeg = 180.0 / kPi;
inline constexpr double kArcsecToRad = kDegToRad / 3600.0;
inline constexpr double kRadToHours = 12.0 / kPi;
// J2000.0, the epoch of the catalogs and of the series' time argument.
inline constexpr double kJ2000 = 2451545.0;

// Sine and cosine of an angle in radians. Outputs may be null.
inline void SinCos(double angle, double* sine, double* cosine) {
    if (sine) *sine = std::sin(angle);
    if (cosine) *cosine = std::cos(angle);
}

// An angle reduced into [0, 360) degrees: a positive x keeps the fraction of its turns; zero
// and negative values are raised by whole turns, so 0 stays 0 and -360 gives 360 - 360 = 0.
inline double NormalizeDegrees(double x) {
    if (x > 0.0) return 360.0 * (x / 360.0 - std::floor(x / 360.0));
    return x + 360.0 * std::ceil(std::fabs(x) / 360.0);
}
// The same into [0, 2 pi) radians.
inline double NormalizeRadians(double x) {
    if (x > 0.0) return kTwoPi * (x / kTwoPi - std::floor(x / kTwoPi));
    return x + kTwoPi * std::ceil(std::fabs(x) / kTwoPi);
}
