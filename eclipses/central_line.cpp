#include "eclipses/central_line.h"

#include <cmath>

#include "eclipses/eclipse_math.h"

namespace {
constexpr double kInverseOneMinusF = 1.003364089;

// rho1 = sqrt(1 - e^2 cos^2 d): the Earth's section in the fundamental plane made round.
double Rho1(double dDegrees) {
    const double c = std::cos(dDegrees * kDegToRad);
    return std::sqrt(1.0 - kEarthEccentricitySquared * c * c);
}
}  // namespace

int GetAxisLimbTimes(const BesselElements& elements, double tauHours, double* first, double* last) {
    const BesselValues v = EvaluateBesselElements(elements, tauHours);
    const double rho1 = Rho1(v.d);
    const double y1 = v.y / rho1;
    const double dy1 = v.dy / rho1;
    const double n = std::sqrt(v.dx * v.dx + dy1 * dy1);
    const double delta = (v.dx * y1 - dy1 * v.x) / n;  // least distance of the track from the centre
    const double m = -(v.x * v.dx + y1 * dy1) / (n * n);
    const double rest = 1.0 - delta * delta;
    if (!(rest > 0.0) || !std::isfinite(m)) return 0;
    const double s = std::sqrt(rest) / n;
    *first = m - s;
    *last = m + s;
    return 1;
}

int GetCentralLineEnds(const BesselElements& elements, double deltaTSeconds, double* startUt, double* endUt) {
    double a, b, unused;
    if (!GetAxisLimbTimes(elements, 0.0, &a, &b)) return 0;
    double correction;
    if (!GetAxisLimbTimes(elements, a, &correction, &unused)) return 0;
    a += correction;
    if (!GetAxisLimbTimes(elements, b, &unused, &correction)) return 0;
    b += correction;
    *startUt = UtHoursFromElementHours(elements, a, deltaTSeconds);
    *endUt = UtHoursFromElementHours(elements, b, deltaTSeconds);
    return 1;
}

int GetCentralLinePoint(const BesselElements& elements, double utHours, double deltaTSeconds, double* latitude,
                        double* longitudeWest, double* durationSeconds, double* widthKm) {
    const BesselValues v = EvaluateBesselElements(elements, ElementHoursFromUt(elements, utHours, deltaTSeconds));
    const double d = v.d * kDegToRad;
    const double rho1 = Rho1(v.d);
    const double sinD1 = std::sin(d) / rho1;
    const double cosD1 = kEarthOneMinusF * std::cos(d) / rho1;
    const double y1 = v.y / rho1;
    const double zeta1Squared = 1.0 - v.x * v.x - y1 * y1;
    if (!(zeta1Squared >= 0.0)) return 0;
    const double zeta1 = std::sqrt(zeta1Squared);

    const double L2 = v.l2 - elements.tanf2 * zeta1;

    // sin(theta) / x written as 1 / |(x, zeta1 cos d1 - y1 sin d1)|, which stays defined
    // where the axis crosses the fundamental plane's y axis (x = 0).
    const double across = zeta1 * cosD1 - y1 * sinD1;
    const double theta = std::atan2(v.x, across) * kRadToDeg;
    const double radius = std::hypot(v.x, across);
    const double tanPhi = radius > 0.0 ? kInverseOneMinusF * (zeta1 * sinD1 + y1 * cosD1) / radius : 0.0;
    const double phi = radius > 0.0 ? std::atan(tanPhi) * kRadToDeg : (zeta1 * sinD1 + y1 * cosD1 >= 0.0 ? 90.0 : -90.0);

    const double lambda = ReduceDegrees180(v.mu - theta - EarthTurnDegrees(deltaTSeconds));

    const double muRate = elements.mu1 * kDegToRad;
    const double a = v.dx + muRate * v.y * std::sin(d) - muRate * zeta1 * std::cos(d);
    const double b = v.dy - muRate * v.x * std::sin(d);
    const double n = std::sqrt(a * a + b * b);
    const double along = (a * v.x + b * v.y) / n;

    *latitude = phi;
    *longitudeWest = lambda;
    *durationSeconds = 7200.0 * std::fabs(L2) / n;
    *widthKm = kEarthDiameterKm * std::fabs(L2) / std::sqrt(zeta1 * zeta1 + along * along);
    return 1;
}

void LimitLatitudeStep(const BesselElements& elements, double* tauHours, double longitudeWest, double* latitude,
                       double magnitude, double deltaTSeconds, int side) {
    const PlaceOnPlane p = LocatePlace(elements, *tauHours, *latitude, longitudeWest, 0.0, deltaTSeconds);
    const double L = std::fabs(p.L1 - (p.L1 + p.L2) * magnitude);
    const double slope =
        ((p.rhoSin * p.cosH * p.sinD + p.rhoCos * p.cosD) * p.a + p.b * p.rhoSin * p.sinH) / (p.n * kRadToDeg);
    *latitude += ((p.a * p.V - p.b * p.U) / p.n + side * L) / slope;
    *tauHours -= (p.b * p.V + p.a * p.U) / (p.n * p.n);
}

namespace {

// How far a place is from the limit, on the fundamental plane (Earth radii, 0 on the limit,
// the sign telling the side), at its own greatest eclipse, found from tau; and whether the
// Sun is up there then.
struct LimitProbe {
    double miss;
    double tau;
    bool daySide;
};
LimitProbe ProbeLimit(const BesselElements& elements, double longitudeWest, double latitude, double magnitude,
                      double deltaTSeconds, int side, double tau) {
    PlaceOnPlane p = LocatePlace(elements, tau, latitude, longitudeWest, 0.0, deltaTSeconds);
    for (int i = 0; i < 6; ++i) {
        tau -= (p.b * p.V + p.a * p.U) / (p.n * p.n);
        p = LocatePlace(elements, tau, latitude, longitudeWest, 0.0, deltaTSeconds);
    }
    const double L = std::fabs(p.L1 - (p.L1 + p.L2) * magnitude);
    return LimitProbe{(p.a * p.V - p.b * p.U) / p.n + side * L, tau, p.zeta > 0.0};
}

// The limit on the meridian by a search of its day side: the sign changes of the distance
// from the limit, each closed in by halving; the one farthest towards the side's pole. NaN
// when the limit does not reach this meridian.
double SearchLimitAlongMeridian(const BesselElements& elements, double longitudeWest, double magnitude,
                                double deltaTSeconds, int side) {
    constexpr double kStep = 0.5;
    double found = std::nan("");
    double tau = 0.0;
    LimitProbe previous{};
    bool havePrevious = false;
    for (double latitude = -89.75; latitude <= 89.75; latitude += kStep) {
        const LimitProbe probe = ProbeLimit(elements, longitudeWest, latitude, magnitude, deltaTSeconds, side, tau);
        if (std::isfinite(probe.tau)) tau = probe.tau;
        const bool usable = probe.daySide && std::isfinite(probe.miss);
        if (usable && havePrevious && (previous.miss < 0.0) != (probe.miss < 0.0)) {
            double low = latitude - kStep, high = latitude, lowMiss = previous.miss, t = probe.tau;
            for (int i = 0; i < 30; ++i) {
                const double middle = 0.5 * (low + high);
                const LimitProbe m = ProbeLimit(elements, longitudeWest, middle, magnitude, deltaTSeconds, side, t);
                if (!std::isfinite(m.miss)) break;
                t = m.tau;
                if ((m.miss < 0.0) == (lowMiss < 0.0))
                    low = middle, lowMiss = m.miss;
                else
                    high = middle;
            }
            const double root = 0.5 * (low + high);
            if (std::isnan(found) || (side >= 0 ? root > found : root < found)) found = root;
        }
        previous = probe;
        havePrevious = usable;
    }
    return found;
}

}  // namespace

double GetLimitLatitude(const BesselElements& elements, double longitudeWest, double magnitude, double deltaTSeconds,
                        int side) {
    const double noLimit = side >= 0 ? 90.0 : -90.0;
    double tau = 0.0;
    double latitude = 0.0;
    double previous = 0.0;
    for (int step = 0; step < 6; ++step) {
        previous = latitude;
        LimitLatitudeStep(elements, &tau, longitudeWest, &latitude, magnitude, deltaTSeconds, side);
    }
    const bool converged = std::isfinite(latitude) && std::fabs(latitude - previous) <= 5.0;
    if (!converged || std::fabs(latitude) > 90.0) return noLimit;
    // Near the poles the steps can settle on the night side of the Earth, or on a point
    // that is not on the limit at all, and report it as the limit: such an answer is only
    // taken when the Sun is up there and the place lies on the limit; otherwise the limit
    // is looked for along the meridian.
    const LimitProbe check = ProbeLimit(elements, longitudeWest, latitude, magnitude, deltaTSeconds, side, tau);
    if (check.daySide && std::fabs(check.miss) < 1e-4) return latitude;
    const double searched = SearchLimitAlongMeridian(elements, longitudeWest, magnitude, deltaTSeconds, side);
    return std::isnan(searched) ? noLimit : searched;
}
