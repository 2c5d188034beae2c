#pragma once
// 8.24 fixed-point trigonometry for the chart, the orbit views and the map drawing.
//
// A value is a signed 32-bit integer in which 1.0 is 2^24; a fixed-point angle is 8.24
// radians, a full turn being 105414356. The 16-bit variant works in radians x 2048 (a
// full turn 12868) with sines and cosines in units of 1/2048.
//
// The integer results are part of the program's behaviour (star tables and maps depend
// on them) and must not change: the CORDIC steps below use a conditional negate and a
// select instead of a branch, which give the same numbers as the plain two-way step.
#include <cstdint>

constexpr std::int32_t kFixOne = 1 << 24;
constexpr std::int32_t kFixTurn = 105414356;
constexpr std::int32_t kFixHalfTurn = 52707178;
constexpr std::int32_t kFixQuarterTurn = 26353589;
constexpr std::int32_t kFixThreeQuarterTurn = 79060767;
// Units per degree in the angle texts (2^24 x pi / 180, rounded).
constexpr std::int32_t kFixUnitsPerDegree = 292818;
// Units per degree where the orbit views convert degrees.
constexpr std::int32_t kFixOrbitUnitsPerDegree = 292817;

constexpr int kFix16Turn = 12868;

// Where a CORDIC kernel ends: the two components and the angle accumulator.
struct CordicResult {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t z = 0;
};

// Rotation mode, 25 steps. Started at (10188013, 0, angle) it ends with x = cos, y = sin
// for angles up to a quarter turn.
CordicResult CordicRotate(std::int32_t x, std::int32_t y, std::int32_t z);
// Circular vectoring, 25 steps: drives y to 0, leaving z = z0 + atan(y0 / x0) and
// x = |(x0, y0)| / 0.6072529350. Inputs too large for the steps are scaled down first
// (the angle is unchanged); x is then scaled back, saturating at INT32_MAX.
CordicResult CordicVector(std::int32_t x, std::int32_t y, std::int32_t z);
// Hyperbolic vectoring (steps 4 and 13 repeated): x = 0.8281593609602 sqrt(x0^2 - y0^2),
// z = z0 + atanh(y0 / x0).
CordicResult CordicHyperbolicVector(std::int32_t x, std::int32_t y, std::int32_t z);
// 16-bit rotation mode, 12 steps; start at (1243, 0, angle16).
CordicResult CordicRotate16(std::int32_t x, std::int32_t y, std::int32_t z);

// Cosine and sine of any fixed-point angle (either pointer may be null).
void FixSinCos(std::int32_t angle, std::int32_t* cosine, std::int32_t* sine);
// Cosines and sines of two angles at once, each equal to FixSinCos's and about as fast
// as one call (no pointer may be null).
void FixSinCosPair(std::int32_t first, std::int32_t second, std::int32_t* cosFirst, std::int32_t* sinFirst,
                   std::int32_t* cosSecond, std::int32_t* sinSecond);
std::int32_t FixCos(std::int32_t angle);
// Tangent; saturates at +-INT32_MAX where the quotient leaves the 8.24 range (including a
// cosine of exactly 0).
std::int32_t FixTan(std::int32_t angle);
// Tangent of a small angle by an odd polynomial of degree 13.
std::int32_t FixTanSeries(std::int32_t x);
// Angle of the point (x, y), 0 to kFixTurn (exclusive); (0, 0) gives 0.
std::int32_t FixAtan2(std::int32_t y, std::int32_t x);
// Arc sine of an 8.24 value as a fixed-point angle: the series up to |s| = 0.5, CORDIC
// above, the floating arc sine from 0.98; odd. Arguments beyond +-1 give +-a quarter turn.
std::int32_t FixAsin(std::int32_t s);
// The CORDIC (and, from 0.98, floating) part of FixAsin; odd, clamped like FixAsin.
std::int32_t FixAsinCordic(std::int32_t s);
// 16-bit cosine and sine of a 16-bit angle (any value; reduced modulo 12868).
void FixSinCos16(std::int32_t angle16, std::int16_t* cosine, std::int16_t* sine);

// Matrices are nine 8.24 values row by row, vectors three; each product is shifted right
// by 24 before it is summed.
void FixMatrixApply(const std::int32_t matrix[9], std::int32_t vector[3]);
void FixMatrixMultiply(const std::int32_t a[9], const std::int32_t b[9], std::int32_t result[9]);
// The product Rx(a1) Ry(-a2) Rz(a3) of frame (coordinate-axis) rotations, as the
// solar-system orbit view uses it.
void FixRotationMatrix(std::int32_t matrix[9], std::int32_t a1, std::int32_t a2, std::int32_t a3);
// The first two columns of the active rotation Rz(a2) Rx(a3) Rz(a1); the third column is 0. The orbit drawing
// projects 3-D points straight to the two screen axes with it.
void FixRotationZXZ(std::int32_t matrix[9], std::int32_t a1, std::int32_t a2, std::int32_t a3);
