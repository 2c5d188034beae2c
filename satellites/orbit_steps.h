#pragma once
// The steps the SGP and SGP4 propagators share: Kepler's equation in the equinoctial
// variables, the turn from orbit-plane quantities to a state vector, and the empty result
// of a propagation that gives no position.
#include <cmath>

#include "satellites/satellite_math.h"
#include "satellites/two_line_elements.h"

struct KeplerSolution {
    double sinE = 0.0;
    double cosE = 0.0;
    double ecosE = 0.0;
    double esinE = 0.0;
};

// Sine and cosine of x + d from those of x. Small steps (|d| < 0.01) go through the series
// of sin d and cos d, which are exact to double precision there and cost no call; larger
// ones through the angle itself.
inline void SinCosOfSum(double sinX, double cosX, double d, double* sine, double* cosine) {
    if (std::fabs(d) < 1e-2) {
        const double d2 = d * d;
        const double sinD = d * (1.0 - d2 * (1.0 / 6.0) * (1.0 - d2 * (1.0 / 20.0)));
        const double cosD = 1.0 - d2 * 0.5 * (1.0 - d2 * (1.0 / 12.0) * (1.0 - d2 * (1.0 / 30.0)));
        *sine = sinX * cosD + cosX * sinD;
        *cosine = cosX * cosD - sinX * sinD;
    } else {
        const double x = std::atan2(sinX, cosX) + d;
        *sine = std::sin(x);
        *cosine = std::cos(x);
    }
}

// Solves U = E - axN sin E + ayN cos E (E is the eccentric anomaly plus the argument of
// perigee) by Newton's method from E = U: at most 10 passes, ending once two values are
// within 1e-6 radian or a value is not finite. The sine and cosine are those of the last
// value, so the state matches the solution the iteration reached.
inline KeplerSolution SolveKepler(double u, double axN, double ayN) {
    double e = u;
    double s = std::sin(e);
    double c = std::cos(e);
    for (int pass = 0; pass < 10; ++pass) {
        const double step = (u - ayN * c + axN * s - e) / (1.0 - ayN * s - axN * c);
        if (!std::isfinite(step)) break;
        e += step;
        if (std::fabs(step) <= 1e-6) {
            SinCosOfSum(s, c, step, &s, &c);
            break;
        }
        s = std::sin(e);
        c = std::cos(e);
    }
    KeplerSolution k;
    k.sinE = s;
    k.cosE = c;
    k.ecosE = axN * c + ayN * s;
    k.esinE = axN * s - ayN * c;
    return k;
}

// 1 + cos i, kept away from 0 for a retrograde equatorial orbit (i = 180 degrees), where
// the long-period terms would divide by zero.
inline double GuardedOnePlusCos(double cosIncl) {
    const double v = 1.0 + cosIncl;
    return std::fabs(v) > 1.5e-12 ? v : 1.5e-12;
}

inline int NoOrbit(SatVector* position, SatVector* velocity) {
    position->x = position->y = position->z = 0.0;
    velocity->x = velocity->y = velocity->z = 0.0;
    return kOrbitDecayed;
}

// Position rk U and velocity rdot U + rvdot V from the osculating radius, argument of
// latitude (its sine and cosine), node, and inclination (its sine and cosine), and the
// radial and transverse rates. Returns kOrbitPropagated, or NoOrbit when a value is not
// finite.
inline int OrientState(double rk, double sinU, double cosU, double nodek, double sinI, double cosI, double rdot,
                       double rvdot, SatVector* position, SatVector* velocity) {
    const double sinNode = std::sin(nodek);
    const double cosNode = std::cos(nodek);
    const double mx = -sinNode * cosI;
    const double my = cosNode * cosI;
    const double mz = sinI;
    const double ux = mx * sinU + cosNode * cosU;
    const double uy = my * sinU + sinNode * cosU;
    const double uz = mz * sinU;
    const double vx = mx * cosU - cosNode * sinU;
    const double vy = my * cosU - sinNode * sinU;
    const double vz = mz * cosU;
    position->x = rk * ux;
    position->y = rk * uy;
    position->z = rk * uz;
    velocity->x = rdot * ux + rvdot * vx;
    velocity->y = rdot * uy + rvdot * vy;
    velocity->z = rdot * uz + rvdot * vz;
    const bool finite = std::isfinite(position->x) && std::isfinite(position->y) && std::isfinite(position->z) &&
                        std::isfinite(velocity->x) && std::isfinite(velocity->y) && std::isfinite(velocity->z);
    return finite ? kOrbitPropagated : NoOrbit(position, velocity);
}

// The true argument of latitude from the solution of Kepler's equation: its sine and
// cosine, scaled to unit length against rounding.
inline void ArgumentOfLatitude(const KeplerSolution& k, double a, double r, double axN, double ayN, double eL2,
                               double* sinU, double* cosU) {
    const double root = 1.0 / (1.0 + std::sqrt(1.0 - eL2));
    const double s = (a / r) * (k.sinE - ayN - axN * k.esinE * root);
    const double c = (a / r) * (k.cosE - axN + ayN * k.esinE * root);
    const double norm = 1.0 / std::sqrt(s * s + c * c);
    *sinU = s * norm;
    *cosU = c * norm;
}
