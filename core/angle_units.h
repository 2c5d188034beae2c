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

// std::fmod(x, y) to the last bit for y = yHigh + yLow, where yHigh times any whole number
// below 2^26 is exact and yLow is short too (yLow 0 for a whole-number y). The library's
// fmod works through the quotient bit by bit, which costs more than a series term for the
// large arguments of the mean longitudes; here the quotient is taken by one division and
// put right when it rounds across a whole number.
inline double ExactFmod(double x, double yHigh, double yLow) {
    const double y = yHigh + yLow;
    if (!(std::fabs(x) < 6.7e7 * y)) return std::fmod(x, y);  // beyond 2^26 turns, inf, NaN
    double q = std::trunc(x / y);
    for (;;) {
        // Exact but for the last subtraction, which rounds the exact remainder (always
        // representable) to itself.
        const double r = (x - q * yHigh) - q * yLow;
        if (x >= 0.0 ? r < 0.0 : r > 0.0) {
            q += x >= 0.0 ? -1.0 : 1.0;
        } else if (std::fabs(r) >= y) {
            q += x >= 0.0 ? 1.0 : -1.0;
        } else {
            return r == 0.0 ? std::copysign(0.0, x) : r;
        }
    }
}
// std::fmod(x, kTwoPi) and std::fmod(x, 360.0), as ExactFmod.
inline double FmodTurn(double x) { return ExactFmod(x, 6.283185303211212, 3.968374073792802e-09); }
inline double FmodDegrees(double x) { return ExactFmod(x, 360.0, 0.0); }

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
