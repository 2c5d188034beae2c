#include "satellites/sgp4.h"

#include <array>
#include <cmath>
#include <cstring>

#include "satellites/orbit_steps.h"

namespace {

constexpr double kCk2Times0_75 = 0.000405980925;
constexpr double kCk2Times3 = 0.0016239237;
constexpr double kCk4Times1_25 = 7.762359374999998e-7;
constexpr double kA3ovk2 = 0.004690140306468833;
constexpr double kDefaultS = 1.0122292801892716;  // 1 + 78 / Re
// Perigee distance (Earth radii) below which the simplified drag model holds (220 km).
constexpr double kSimplifiedPerigee = 1.034492841559484;
// Eccentricities at or below this leave out the terms that divide by e0.
constexpr double kSmallEccentricity = 1e-4;

double DefaultQoms2t() { return std::pow((120.0 - 78.0) / kSatEarthRadiusKm, 4.0); }

}  // namespace

void InitSgp4(const TleElements& el, Sgp4Model* out) {
    Sgp4Model& m = *out;
    m = Sgp4Model{};
    const double n0 = el.meanMotion;
    const double e0 = el.eccentricity;
    const double ke = kSatKe;
    m.meanAnomaly = el.meanAnomaly;
    m.argPerigee = el.argPerigee;
    m.raan = el.raan;
    m.eccentricity = e0;
    m.inclination = el.inclination;
    m.bstar = el.bstar;

    // Brouwer mean motion and semi-major axis at epoch.
    const double cosio = std::cos(el.inclination);
    const double theta2 = cosio * cosio;
    const double x3thm1 = 3.0 * theta2 - 1.0;
    const double betao2 = 1.0 - e0 * e0;
    const double betao = std::sqrt(betao2);
    const double a1 = std::pow(ke / n0, 2.0 / 3.0);
    const double del1 = kSatCk2Times1_5 * x3thm1 / (a1 * a1 * betao * betao2);
    const double ao = a1 * (1.0 - del1 / 3.0 - del1 * del1 - kSatKozaiFactor * del1 * del1 * del1);
    const double delo = kSatCk2Times1_5 * x3thm1 / (ao * ao * betao * betao2);
    const double xnodp = n0 / (1.0 + delo);
    const double aodp = ao / (1.0 - delo);
    m.meanMotion = xnodp;
    m.semiMajorAxis = aodp;
    m.cosIncl = cosio;
    m.sinIncl = std::sin(el.inclination);
    m.x3thm1 = x3thm1;
    m.x1mth2 = 1.0 - theta2;
    m.x7thm1 = 7.0 * theta2 - 1.0;

    // Density parameters by the perigee height.
    const double perigee = aodp * (1.0 - e0);
    m.simplified = perigee < kSimplifiedPerigee ? 1 : 0;
    m.perigeeHeight = (perigee - 1.0) * kSatEarthRadiusKm;
    double s4 = kDefaultS;
    double qoms24 = DefaultQoms2t();
    if (m.perigeeHeight < 156.0) {
        double sStar = m.perigeeHeight - 78.0;
        if (m.perigeeHeight <= 98.0) sStar = 20.0;
        qoms24 = std::pow((120.0 - sStar) / kSatEarthRadiusKm, 4.0);
        s4 = sStar / kSatEarthRadiusKm + 1.0;
    }
    m.s = s4;
    m.qoms24 = qoms24;

    // Drag coefficients.
    const double pinvsq = 1.0 / (aodp * aodp * betao2 * betao2);
    const double tsi = 1.0 / (aodp - s4);
    const double eta = aodp * e0 * tsi;
    const double etasq = eta * eta;
    const double eeta = e0 * eta;
    const double psisq = std::fabs(1.0 - etasq);
    const double coef = qoms24 * std::pow(tsi, 4.0);
    const double coef1 = coef / std::pow(psisq, 3.5);
    const double c2 = coef1 * xnodp *
                      (aodp * (1.0 + 1.5 * etasq + eeta * (4.0 + etasq)) +
                       kCk2Times0_75 * tsi / psisq * x3thm1 * (8.0 + 3.0 * etasq * (8.0 + etasq)));
    const double c1 = el.bstar * c2;
    const bool eccentric = e0 > kSmallEccentricity;
    const double c3 = eccentric ? coef * tsi * kA3ovk2 * xnodp * m.sinIncl / e0 : 0.0;
    const double c4 = 2.0 * xnodp * coef1 * aodp * betao2 *
                      (eta * (2.0 + 0.5 * etasq) + e0 * (0.5 + 2.0 * etasq) -
                       2.0 * kSatCk2 * tsi / (aodp * psisq) *
                           (-3.0 * x3thm1 * (1.0 - 2.0 * eeta + etasq * (1.5 - 0.5 * eeta)) +
                            0.75 * m.x1mth2 * (2.0 * etasq - eeta * (1.0 + etasq)) * std::cos(2.0 * el.argPerigee)));
    const double c5 = 2.0 * coef1 * aodp * betao2 * (1.0 + 2.75 * (etasq + eeta) + eeta * etasq);
    m.eta = eta;
    m.c1 = c1;
    m.c4 = c4;
    m.c5 = c5;

    // Secular rates of gravity.
    const double theta4 = theta2 * theta2;
    const double temp1 = kCk2Times3 * pinvsq * xnodp;
    const double temp2 = temp1 * kSatCk2 * pinvsq;
    const double temp3 = kCk4Times1_25 * pinvsq * pinvsq * xnodp;
    m.meanAnomalyRate =
        xnodp + 0.5 * temp1 * betao * x3thm1 + 0.0625 * temp2 * betao * (13.0 - 78.0 * theta2 + 137.0 * theta4);
    const double x1m5th = 1.0 - 5.0 * theta2;
    m.perigeeRate = -0.5 * temp1 * x1m5th + 0.0625 * temp2 * (7.0 - 114.0 * theta2 + 395.0 * theta4) +
                    temp3 * (3.0 - 36.0 * theta2 + 49.0 * theta4);
    const double xhdot1 = -temp1 * cosio;
    m.nodeRate = xhdot1 + (0.5 * temp2 * (4.0 - 19.0 * theta2) + 2.0 * temp3 * (3.0 - 7.0 * theta2)) * cosio;

    // Secular and long-period coefficients.
    m.omgcof = el.bstar * c3 * std::cos(el.argPerigee);
    m.xmcof = eccentric ? -(2.0 / 3.0) * coef * el.bstar / eeta : 0.0;
    m.xnodcf = 3.5 * betao2 * xhdot1 * c1;
    m.t2cof = 1.5 * c1;
    m.xlcof = 0.125 * kA3ovk2 * m.sinIncl * (3.0 + 5.0 * cosio) / GuardedOnePlusCos(cosio);
    m.aycof = 0.25 * kA3ovk2 * m.sinIncl;
    m.delmo = Cube(1.0 + eta * std::cos(el.meanAnomaly));
    m.sinmo = std::sin(el.meanAnomaly);

    if (!m.simplified) {
        const double c1sq = c1 * c1;
        m.d2 = 4.0 * aodp * tsi * c1sq;
        const double temp = m.d2 * tsi * c1 / 3.0;
        m.d3 = (17.0 * aodp + s4) * temp;
        m.d4 = 0.5 * temp * aodp * tsi * (221.0 * aodp + 31.0 * s4) * c1;
        m.t3cof = m.d2 + 2.0 * c1sq;
        m.t4cof = 0.25 * (3.0 * m.d3 + c1 * (12.0 * m.d2 + 10.0 * c1sq));
        m.t5cof = 0.2 * (3.0 * m.d4 + 12.0 * c1 * m.d3 + 6.0 * m.d2 * m.d2 + 15.0 * c1sq * (2.0 * m.d2 + c1sq));
    }
}

int PropagateSgp4Model(const Sgp4Model& m, double tsince, SatVector* position, SatVector* velocity) {
    const double t = tsince;

    // Secular gravity and drag.
    const double xmdf = m.meanAnomaly + m.meanAnomalyRate * t;
    const double omgadf = m.argPerigee + m.perigeeRate * t;
    const double xnoddf = m.raan + m.nodeRate * t;
    double omega = omgadf;
    double xmp = xmdf;
    const double tsq = t * t;
    const double xnode = xnoddf + m.xnodcf * tsq;
    double tempa = 1.0 - m.c1 * t;
    double tempe = m.bstar * m.c4 * t;
    double templ = m.t2cof * tsq;
    if (!m.simplified) {
        const double delomg = m.omgcof * t;
        const double sinXmdf = std::sin(xmdf);
        const double cosXmdf = std::cos(xmdf);
        const double delm = m.xmcof * (Cube(1.0 + m.eta * cosXmdf) - m.delmo);
        const double temp = delomg + delm;
        xmp = xmdf + temp;
        double sinXmp = 0.0;
        double cosXmp = 0.0;
        SinCosOfSum(sinXmdf, cosXmdf, temp, &sinXmp, &cosXmp);
        omega = omgadf - temp;
        const double tcube = tsq * t;
        const double tfour = t * tcube;
        tempa = tempa - m.d2 * tsq - m.d3 * tcube - m.d4 * tfour;
        tempe = tempe + m.bstar * m.c5 * (sinXmp - m.sinmo);
        templ = templ + m.t3cof * tcube + tfour * (m.t4cof + t * m.t5cof);
    }
    const double a = m.semiMajorAxis * tempa * tempa;
    double e = m.eccentricity - tempe;
    // Drag that has taken the orbit apart: no position.
    if (!(e < 1.0 && e >= -0.001) || !(a > 0.0)) return NoOrbit(position, velocity);
    if (e < 1e-6) e = 1e-6;
    const double xl = xmp + omega + xnode + m.meanMotion * templ;
    const double beta = std::sqrt(1.0 - e * e);
    const double xn = kSatKe / (a * std::sqrt(a));

    // Long-period periodics.
    const double axn = e * std::cos(omega);
    const double temp = 1.0 / (a * beta * beta);
    const double xll = temp * m.xlcof * axn;
    const double aynl = temp * m.aycof;
    const double xlt = xl + xll;
    const double ayn = e * std::sin(omega) + aynl;

    const double capu = Modulo2Pi(xlt - xnode);
    const KeplerSolution k = SolveKepler(capu, axn, ayn);

    // Short-period periodics.
    const double elsq = axn * axn + ayn * ayn;
    const double pl = a * (1.0 - elsq);
    if (!(pl > 0.0)) return NoOrbit(position, velocity);
    const double ke = kSatKe;
    const double r = a * (1.0 - k.ecosE);
    const double rdot = ke * std::sqrt(a) * k.esinE / r;
    const double rfdot = ke * std::sqrt(pl) / r;
    const double betal = std::sqrt(1.0 - elsq);
    double sinu = 0.0;
    double cosu = 0.0;
    ArgumentOfLatitude(k, a, r, axn, ayn, elsq, &sinu, &cosu);
    const double sin2u = 2.0 * sinu * cosu;
    const double cos2u = 2.0 * cosu * cosu - 1.0;
    const double tmp1 = kSatCk2 / pl;
    const double tmp2 = tmp1 / pl;
    const double rk = r * (1.0 - 1.5 * tmp2 * betal * m.x3thm1) + 0.5 * tmp1 * m.x1mth2 * cos2u;
    if (!(rk >= 1.0)) return NoOrbit(position, velocity);
    double sinUk = 0.0;
    double cosUk = 0.0;
    SinCosOfSum(sinu, cosu, -0.25 * tmp2 * m.x7thm1 * sin2u, &sinUk, &cosUk);
    const double xnodek = xnode + 1.5 * tmp2 * m.cosIncl * sin2u;
    double sinIk = 0.0;
    double cosIk = 0.0;
    SinCosOfSum(m.sinIncl, m.cosIncl, 1.5 * tmp2 * m.cosIncl * m.sinIncl * cos2u, &sinIk, &cosIk);
    const double rdotk = rdot - xn * tmp1 * m.x1mth2 * sin2u;
    const double rfdotk = rfdot + xn * tmp1 * (m.x1mth2 * cos2u + 1.5 * m.x3thm1);

    return OrientState(rk, sinUk, cosUk, xnodek, sinIk, cosIk, rdotk, rfdotk, position, velocity);
}

int PropagateSgp4(double tsince, SatVector* position, SatVector* velocity, const TleElements& elements) {
    // The searches propagate one set thousands of times in a row, and the initialisation
    // costs as much as the propagation: the last set's model is kept and used again while
    // its seven epoch elements are bit for bit the same, so the result is exactly that of
    // a fresh initialisation.
    struct CachedModel {
        std::array<double, 7> key{};
        bool filled = false;
        Sgp4Model model;
    };
    thread_local CachedModel cache;
    const std::array<double, 7> key = {elements.meanMotion, elements.eccentricity, elements.inclination,
                                       elements.argPerigee, elements.raan,         elements.meanAnomaly,
                                       elements.bstar};
    if (!cache.filled || std::memcmp(key.data(), cache.key.data(), sizeof key) != 0) {
        InitSgp4(elements, &cache.model);
        cache.key = key;
        cache.filled = true;
    }
    return PropagateSgp4Model(cache.model, tsince, position, velocity);
}
