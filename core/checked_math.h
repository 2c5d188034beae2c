#pragma once
// Guarded conversions for geometry that runs into arc sines just past 1 (limbs, shadow
// edges, horizons, a position inside the Earth) and for computed values turned into ints.
#include <climits>
#include <cmath>

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
