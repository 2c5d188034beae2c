#pragma once
// The small vector and angle helpers that all satellite code shares.
#include <cmath>

// A state vector: inside the propagators in Earth radii (6378.135 km) and Earth radii per
// minute; once scaled, km and km/s. The magnitude slot is filled on request only.
struct SatVector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    double magnitude = 0.0;
};

inline constexpr double kSatTwoPi = 6.283185307179586;
inline constexpr double kSatDegToRad = 0.017453292519943295;

inline double Square(double x) { return x * x; }
inline double Cube(double x) { return x * x * x; }
inline double FractionalPart(double x) { return x - std::floor(x); }

// x reduced into [0, y): x - floor(x / y) y, plus y when rounding leaves it negative.
inline double PositiveModulo(double x, double y) {
    double r = x - std::floor(x / y) * y;
    if (r < 0.0) r += y;
    return r;
}

inline double Modulo2Pi(double x) { return PositiveModulo(x, kSatTwoPi); }
inline double DegToRad(double x) { return x * kSatDegToRad; }

// Sets the vector's magnitude slot and returns it.
inline double VectorMagnitude(SatVector* v) {
    v->magnitude = std::sqrt(v->x * v->x + v->y * v->y + v->z * v->z);
    return v->magnitude;
}

inline double DotProduct(const SatVector& a, const SatVector& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
