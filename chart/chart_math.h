#pragma once
// Arithmetic the chart's projections share: the 8.24 fixed-point product and the angle
// constants and wraps of their floating-point parts.
#include <cmath>
#include <cstdint>

namespace chartmath {

inline constexpr double kPi = 3.141592653589793;
inline constexpr double kHalfPi = 1.570796326794897;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kDegToRad = 0.0174532925199433;
inline constexpr double kRadToDeg = 57.29577951308232;
inline constexpr double kRadToHours = 3.819718634205488;
inline constexpr double kHoursToRad = 0.261799387799183;

// The product of two 8.24 values: 64 bits, shifted right by 24.
inline std::int32_t FixProduct(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(a) * b) >> 24);
}

// An angle brought into 0..2 pi (radians) or 0..360 (degrees).
inline double WrapTurn(double radians) {
    radians = std::fmod(radians, kTwoPi);
    return radians < 0.0 ? radians + kTwoPi : radians;
}
inline double WrapDegrees(double degrees) {
    degrees = std::fmod(degrees, 360.0);
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

}  // namespace chartmath
