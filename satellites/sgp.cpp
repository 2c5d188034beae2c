#include "satellites/sgp.h"

#include <cmath>

#include "satellites/orbit_steps.h"

namespace {

constexpr double kXj3 = -2.53881e-6;
constexpr double kCk2Times4 = 0.0021652316;
constexpr double kCk2Times8 = 0.0043304632;
constexpr double kCk2Half = 0.00027065395;
constexpr double kCk2Quarter = 0.000135326975;

}  // namespace

void SgpMeanOrbit(double tsince, const TleElements& el, double* a, double* e) {
    const double t = tsince;
    const double n0 = el.meanMotion;
    const double drifted = n0 + 2.0 * el.nDot * t + 3.0 * el.nDDot * t * t;
    if (!(drifted > 0.0)) {
        // The drift has run the mean motion through zero: there is no orbit.
        *a = 0.0;
        *e = 1e-6;
        return;
    }
    const double ratio = n0 / drifted;
    *a = el.a0 * std::cbrt(ratio * ratio);
    *e = *a > el.q0 ? 1.0 - el.q0 / *a : 1e-6;
}

int PropagateSgp(double tsince, SatVector* position, SatVector* velocity, const TleElements& el) {
    const double t = tsince;
    double a = 0.0;
    double e = 0.0;
    SgpMeanOrbit(t, el, &a, &e);
    if (!(a > 0.0) || !std::isfinite(a)) return NoOrbit(position, velocity);

    const double p = a * (1.0 - e * e);
    const double node = el.raan + el.raanRate * t;
    const double perigee = el.argPerigee + el.perigeeRate * t;
    const double ls = el.l0 + (el.meanMotion + el.perigeeRate + el.raanRate) * t + el.nDot * t * t +
                      el.nDDot * t * t * t;

    // Long-period terms.
    const double ayN = e * std::sin(perigee) - kXj3 * el.sinIncl / (kCk2Times4 * p);
    const double axN = e * std::cos(perigee);
    const double l = ls - kXj3 * axN * el.sinIncl * (3.0 + 5.0 * el.cosIncl) /
                              (kCk2Times8 * p * GuardedOnePlusCos(el.cosIncl));

    const double u = Modulo2Pi(Modulo2Pi(l) - node);
    const KeplerSolution k = SolveKepler(u, axN, ayN);

    const double eL2 = axN * axN + ayN * ayN;
    const double pL = a * (1.0 - eL2);
    if (!(pL > 0.0)) return NoOrbit(position, velocity);
    const double r = a * (1.0 - k.ecosE);
    const double rdot = el.ke * std::sqrt(a) * k.esinE / r;
    const double rvdot = el.ke * std::sqrt(pL) / r;
    double sinU = 0.0;
    double cosU = 0.0;
    ArgumentOfLatitude(k, a, r, axN, ayN, eL2, &sinU, &cosU);

    // Short-period terms.
    const double sin2u = 2.0 * sinU * cosU;
    const double cos2u = 2.0 * cosU * cosU - 1.0;
    const double pL2 = pL * pL;
    const double rk = r + kCk2Half * el.sinIncl * el.sinIncl * cos2u / pL;
    if (!(rk >= 1.0)) return NoOrbit(position, velocity);
    double sinUk = 0.0;
    double cosUk = 0.0;
    SinCosOfSum(sinU, cosU, -kCk2Quarter * (7.0 * el.cosIncl * el.cosIncl - 1.0) * sin2u / pL2, &sinUk, &cosUk);
    const double nodek = node + kSatCk2Times1_5 * el.cosIncl * sin2u / pL2;
    double sinIk = 0.0;
    double cosIk = 0.0;
    SinCosOfSum(el.sinIncl, el.cosIncl, kSatCk2Times1_5 * el.sinIncl * el.cosIncl * cos2u / pL2, &sinIk, &cosIk);

    return OrientState(rk, sinUk, cosUk, nodek, sinIk, cosIk, rdot, rvdot, position, velocity);
}
