// The planetary theory as it was evaluated with a sine and cosine from the C library for
// every periodic term and Newton step, before the batched evaluation: the tests hold the
// theory to it.
#include "astro/planetary_theory_reference.h"

#include <algorithm>
#include <cmath>

#include "astro/planetary_theory.h"
#include "astro/tables/plan94_tables.h"
#include "core/angle_units.h"

namespace reference {
namespace {

constexpr double kGaussK = 0.01720209895;
constexpr double kSinObliquityJ2000 = 0.3977771559319137;
constexpr double kCosObliquityJ2000 = 0.9174820620691818;
constexpr int kMaxPlan94KeplerSteps = 10;

double Quadratic(const double c[3], double t) { return c[0] + (c[1] + c[2] * t) * t; }

double AngleQuadratic(const double c[3], double t) {
    return (3600.0 * c[0] + (c[1] + c[2] * t) * t) * kArcsecToRad;
}

}  // namespace

int PlanetHeliocentricPV(double date1, double date2, int planet, double pv[6]) {
    if (planet < 0 || planet >= kPlan94BodyCount) {
        std::fill(pv, pv + 6, 0.0);
        return kPlanetOutOfRange;
    }
    const Plan94Body& body = kPlan94Bodies[planet];
    const double t = ((date1 - 2451545.0) + date2) * 2.737850787132101e-06;

    double a = Quadratic(body.axis, t);
    double L = AngleQuadratic(body.meanLongitude, t);
    const double e = Quadratic(body.eccentricity, t);
    const double perihelion = NormalizeAnglePi(AngleQuadratic(body.perihelion, t));
    const double inclination = AngleQuadratic(body.inclination, t);
    const double node = NormalizeAnglePi(AngleQuadratic(body.node, t));

    const double mu = 0.35953620 * t;
    for (int k = 0; k < 8; ++k) {
        const double arga = body.axisK[k] * mu;
        const double argl = body.longitudeK[k] * mu;
        a += (body.axisCos[k] * std::cos(arga) + body.axisSin[k] * std::sin(arga)) * 1e-7;
        L += (body.longitudeCos[k] * std::cos(argl) + body.longitudeSin[k] * std::sin(argl)) *
             1e-7;
    }
    const double arga = body.axisK[8] * mu;
    a += t * (body.axisCos[8] * std::cos(arga) + body.axisSin[8] * std::sin(arga)) * 1e-7;
    for (int k = 8; k < 10; ++k) {
        const double argl = body.longitudeK[k] * mu;
        L += t * (body.longitudeCos[k] * std::cos(argl) + body.longitudeSin[k] * std::sin(argl)) *
             1e-7;
    }
    L = std::fmod(L, kTwoPi);

    // Kepler's equation; the step count bounds the loop whatever the input.
    const double M = L - perihelion;
    double E = M + e * std::sin(M);
    double dE = 1.0;
    for (int k = 0; k < kMaxPlan94KeplerSteps && std::fabs(dE) > 1e-12; ++k) {
        dE = (M - E + e * std::sin(E)) / (1.0 - e * std::cos(E));
        E += dE;
    }

    const double halfE = E / 2.0;
    const double trueAnomaly =
        2.0 * std::atan2(std::sqrt((1.0 + e) / (1.0 - e)) * std::sin(halfE), std::cos(halfE));
    const double r = a * (1.0 - e * std::cos(E));
    const double v = kGaussK * std::sqrt((1.0 + 1.0 / body.inverseMass) / (a * a * a));

    // Orbit plane to the ecliptic of J2000.0.
    const double si2 = std::sin(inclination / 2.0);
    const double xq = si2 * std::cos(node);
    const double xp = si2 * std::sin(node);
    const double tl = trueAnomaly + perihelion;
    const double xsw = std::sin(tl);
    const double xcw = std::cos(tl);
    const double xm2 = 2.0 * (xp * xcw - xq * xsw);
    const double xf = a / std::sqrt(1.0 - e * e);
    const double ci2 = std::cos(inclination / 2.0);
    const double xms = (e * std::sin(perihelion) + xsw) * xf;
    const double xmc = (e * std::cos(perihelion) + xcw) * xf;
    const double xpxq2 = 2.0 * xp * xq;

    double x = r * (xcw - xm2 * xp);
    double y = r * (xsw + xm2 * xq);
    double z = r * (-xm2 * ci2);
    pv[0] = x;
    pv[1] = y * kCosObliquityJ2000 - z * kSinObliquityJ2000;
    pv[2] = y * kSinObliquityJ2000 + z * kCosObliquityJ2000;

    x = v * ((-1.0 + 2.0 * xp * xp) * xms + xpxq2 * xmc);
    y = v * ((1.0 - 2.0 * xq * xq) * xmc - xpxq2 * xms);
    z = v * (2.0 * ci2 * (xp * xms + xq * xmc));
    pv[3] = x;
    pv[4] = y * kCosObliquityJ2000 - z * kSinObliquityJ2000;
    pv[5] = y * kSinObliquityJ2000 + z * kCosObliquityJ2000;
    return kPlanetOk;
}

}  // namespace reference
