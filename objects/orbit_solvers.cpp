#include "objects/orbit_solvers.h"

#include <cmath>

#include "core/calendar.h"

namespace {

constexpr int kMaxSteps = 80;
constexpr double kTolerance = 1e-12;
constexpr double kPi = 3.14159265358979323846;
constexpr double kSqrt2 = 1.4142135623730951;

// Below this eccentricity the fixed-point iteration converges fast enough; above it Newton.
constexpr double kFixedPointLimit = 0.6;
// From here to 1 the near-parabolic series replaces Kepler's equation.
constexpr double kNearParabolicLimit = 0.98;

bool Finite(double v) { return std::isfinite(v); }

// The inputs every solver shares: q above 0, e not negative, all finite.
bool Solvable(const CometElements& el, double jd) {
    return Finite(jd) && Finite(el.perihelionJd) && Finite(el.eccentricity) && Finite(el.perihelionDistance) &&
           el.perihelionDistance > 0.0 && el.eccentricity >= 0.0;
}

bool IsParabola(double e) { return std::fabs(e - 1.0) < 1e-12; }

// Newton's step for s^3 / 3 + s = W (s = tan(nu / 2)) from a start value; the stop test is
// relative for large s, where one unit in the last place is already above 1e-12.
bool SolveBarker(double W, double* s) {
    double v = *s;
    for (int i = 0; i < kMaxSteps; ++i) {
        const double next = ((2.0 / 3.0) * v * v * v + W) / (v * v + 1.0);
        const bool settled = std::fabs(next - v) <= kTolerance * std::fmax(1.0, std::fabs(next));
        v = next;
        if (settled) {
            *s = v;
            return true;
        }
    }
    return false;
}

}  // namespace

CometElements MakeCometElements(const CometRecord& record) {
    CometElements el;
    const double day = record.perihelionDay;
    const double wholeDay = std::floor(day);
    el.perihelionJd = DateTimeToJD(record.year, record.month, static_cast<int>(wholeDay), 0, 0, 0, 0) +
                      (day - wholeDay);
    el.eccentricity = record.eccentricity;
    el.perihelionDistance = record.perihelionDistance;
    el.argPerihelion = record.argPerihelion;
    el.ascendingNode = record.ascendingNode;
    el.inclination = record.inclination;
    return el;
}

void FillCometWorkElements(CometRecord& record) {
    const float wholeDay = std::floor(record.perihelionDay);
    float t = static_cast<float>(DateTimeToJD(record.year, record.month, static_cast<int>(wholeDay), 0, 0, 0, 0));
    t += record.perihelionDay - wholeDay;
    const double q = record.perihelionDistance;
    const double oneMinusE = 1.0 - static_cast<double>(record.eccentricity);
    record.work[0] = t;
    record.work[1] = record.eccentricity;
    record.work[2] = oneMinusE != 0.0 ? static_cast<float>(q / oneMinusE) : 0.0f;
    record.work[3] = record.perihelionDistance;
    record.work[4] = record.argPerihelion;
    record.work[5] = record.ascendingNode;
    record.work[6] = record.inclination;
    record.work[7] = 2000.0f;
}

int SolveKeplerEquation(double e, double M, double* eccentricAnomaly) {
    if (!Finite(e) || !Finite(M) || e < 0.0 || e >= 1.0) return 0;
    // Whole revolutions change nothing in the point but cost digits.
    M = std::remainder(M, 2.0 * kPi);
    double E = M + e * std::sin(M);
    if (e < kFixedPointLimit) {
        for (int i = 0; i < kMaxSteps; ++i) {
            const double next = M + e * std::sin(E);
            const bool settled = std::fabs(next - E) <= kTolerance;
            E = next;
            if (settled) {
                *eccentricAnomaly = E;
                return 1;
            }
        }
        return 0;
    }
    for (int i = 0; i < kMaxSteps; ++i) {
        const double f = M + e * std::sin(E) - E;
        const double slope = 1.0 - e * std::cos(E);
        if (std::fabs(f) < kTolerance || std::fabs(slope) < kTolerance) {
            *eccentricAnomaly = E;
            return 1;
        }
        const double step = f / slope;
        E += step;
        if (std::fabs(step) <= kTolerance) {
            *eccentricAnomaly = E;
            return 1;
        }
    }
    return 0;
}

int SolveHyperbolicKeplerEquation(double e, double M, double* hyperbolicAnomaly) {
    if (!Finite(e) || !Finite(M) || e <= 1.0) return 0;
    double H = std::asinh(M / e);
    for (int i = 0; i < kMaxSteps; ++i) {
        const double f = e * std::sinh(H) - H - M;
        const double slope = e * std::cosh(H) - 1.0;
        if (!(slope > 0.0)) return 0;
        const double step = f / slope;
        H -= step;
        if (!Finite(H)) return 0;
        if (std::fabs(step) <= kTolerance * std::fmax(1.0, std::fabs(H))) {
            *hyperbolicAnomaly = H;
            return 1;
        }
    }
    return 0;
}

int SolveEllipticOrbit(const CometElements& el, double jd, OrbitPoint* point) {
    if (!Solvable(el, jd) || el.eccentricity >= 1.0) return 0;
    const double e = el.eccentricity;
    const double a = el.perihelionDistance / (1.0 - e);
    const double M = kGaussK * (jd - el.perihelionJd) / (a * std::sqrt(a));
    double E = 0;
    if (!SolveKeplerEquation(e, M, &E)) return 0;
    point->x = a * (std::cos(E) - e);
    point->y = a * std::sqrt(1.0 - e * e) * std::sin(E);
    point->z = 0.0;
    return 1;
}

int SolveParabolicOrbit(const CometElements& el, double jd, OrbitPoint* point) {
    if (!Solvable(el, jd)) return 0;
    const double q = el.perihelionDistance;
    const double W = kGaussK * (jd - el.perihelionJd) / (q * std::sqrt(q) * kSqrt2);
    double s = W;
    if (!SolveBarker(W, &s)) return 0;
    point->x = q * (1.0 - s * s);
    point->y = 2.0 * q * s;
    point->z = 0.0;
    return 1;
}

int SolveNearParabolicOrbit(const CometElements& el, double jd, OrbitPoint* point) {
    if (!Solvable(el, jd)) return 0;
    const double e = el.eccentricity;
    const double q = el.perihelionDistance;
    const double c1 = std::sqrt((1.0 + 9.0 * e) * 0.1);
    const double c2 = 5.0 * (1.0 - e) / (1.0 + 9.0 * e);
    const double D = std::sqrt(5.0 * (1.0 + e) / (1.0 + 9.0 * e));
    const double scale = c1 * kGaussK / (q * std::sqrt(q) * kSqrt2);
    double F = 1.0;
    double A = 1.0;
    double s = 1.0;
    bool settled = false;
    for (int i = 0; i < kMaxSteps && !settled; ++i) {
        const double previousA = A;
        const double W = (jd - el.perihelionJd) * F * scale;
        if (!SolveBarker(W, &s)) return 0;
        A = c2 * s * s;
        F = 1.0 - 0.017142857 * A * A - 0.003809524 * A * A * A;
        settled = std::fabs(A - previousA) <= kTolerance;
    }
    if (!settled) return 0;
    const double C = 1.0 - A + 0.2 * A * A + 0.00571429 * A * A * A;
    const double tau = (1.0 + 0.4 * A + 0.21714286 * A * A + 0.12495238 * A * A * A) * D * s;
    point->x = q * (1.0 - tau * tau) * C;
    point->y = 2.0 * q * tau * C;
    point->z = 0.0;
    return 1;
}

int SolveHyperbolicOrbit(const CometElements& el, double jd, OrbitPoint* point) {
    if (!Solvable(el, jd) || el.eccentricity <= 1.0) return 0;
    const double e = el.eccentricity;
    const double a = el.perihelionDistance / (e - 1.0);
    const double M = kGaussK * (jd - el.perihelionJd) / (a * std::sqrt(a));
    double H = 0;
    if (!SolveHyperbolicKeplerEquation(e, M, &H)) return 0;
    const double nu = 2.0 * std::atan(std::sqrt((e + 1.0) / (e - 1.0)) * std::tanh(H / 2.0));
    const double r = a * (e * std::cosh(H) - 1.0);
    point->x = r * std::cos(nu);
    point->y = r * std::sin(nu);
    point->z = 0.0;
    return 1;
}

int ComputeOrbitPoint(const CometElements& el, double jd, OrbitPoint* point) {
    const double e = el.eccentricity;
    if (e < kNearParabolicLimit) return SolveEllipticOrbit(el, jd, point);
    if (IsParabola(e)) return SolveParabolicOrbit(el, jd, point);
    if (e < 1.0) return SolveNearParabolicOrbit(el, jd, point);
    return SolveHyperbolicOrbit(el, jd, point);
}
