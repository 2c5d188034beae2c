#include "eclipses/central_line.h"

#include <cmath>

#include "eclipses/eclipse_math.h"

namespace {
constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kRadiansToDegrees = 57.29577951308232;
constexpr double kEccentricitySquared = 0.006694385;
constexpr double kOneMinusF = 0.99664719;
constexpr double kInverseOneMinusF = 1.003364089;
constexpr double kEarthDiameterKm = 12756.0;

// rho1 = sqrt(1 - e^2 cos^2 d): the Earth's section in the fundamental plane made round.
double Rho1(double dDegrees) {
    const double c = std::cos(dDegrees * kDegreesToRadians);
    return std::sqrt(1.0 - kEccentricitySquared * c * c);
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
    const double d = v.d * kDegreesToRadians;
    const double rho1 = Rho1(v.d);
    const double sinD1 = std::sin(d) / rho1;
    const double cosD1 = kOneMinusF * std::cos(d) / rho1;
    const double y1 = v.y / rho1;
    const double zeta1Squared = 1.0 - v.x * v.x - y1 * y1;
    if (!(zeta1Squared >= 0.0)) return 0;
    const double zeta1 = std::sqrt(zeta1Squared);

    const double L2 = v.l2 - elements.tanf2 * zeta1;

    // sin(theta) / x written as 1 / |(x, zeta1 cos d1 - y1 sin d1)|, which stays defined
    // where the axis crosses the fundamental plane's y axis (x = 0).
    const double across = zeta1 * cosD1 - y1 * sinD1;
    const double theta = std::atan2(v.x, across) * kRadiansToDegrees;
    const double radius = std::hypot(v.x, across);
    const double tanPhi = radius > 0.0 ? kInverseOneMinusF * (zeta1 * sinD1 + y1 * cosD1) / radius : 0.0;
    const double phi = radius > 0.0 ? std::atan(tanPhi) * kRadiansToDegrees : (zeta1 * sinD1 + y1 * cosD1 >= 0.0 ? 90.0 : -90.0);

    const double lambda = ReduceDegrees180(v.mu - theta - EarthTurnDegrees(deltaTSeconds));

    const double muRate = elements.mu1 * kDegreesToRadians;
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
    const BesselValues v = EvaluateBesselElements(elements, *tauHours);
    const double d = v.d * kDegreesToRadians;
    const double sinD = std::sin(d), cosD = std::cos(d);
    const double H = (v.mu - longitudeWest - EarthTurnDegrees(deltaTSeconds)) * kDegreesToRadians;
    const double sinH = std::sin(H), cosH = std::cos(H);
    const double u = std::atan(kOneMinusF * std::tan(*latitude * kDegreesToRadians));
    const double rhoSin = kOneMinusF * std::sin(u);
    const double rhoCos = std::cos(u);

    const double xi = rhoCos * sinH;
    const double eta = rhoSin * cosD - rhoCos * cosH * sinD;
    const double zeta = rhoCos * cosH * cosD + rhoSin * sinD;
    const double U = v.x - xi;
    const double V = v.y - eta;
    const double a = v.dx - elements.mu1 * rhoCos * cosH * 0.01745329;
    const double b = v.dy - (elements.mu1 * xi * sinD - elements.d1 * zeta) * 0.01745329;
    const double n = std::sqrt(a * a + b * b);

    const double L1 = v.l1 - elements.tanf1 * zeta;
    const double L2 = v.l2 - elements.tanf2 * zeta;
    const double L = std::fabs(L1 - (L1 + L2) * magnitude);

    const double slope = ((rhoSin * cosH * sinD + rhoCos * cosD) * a + b * rhoSin * sinH) / (n * kRadiansToDegrees);
    *latitude += ((a * V - b * U) / n + side * L) / slope;
    *tauHours -= (b * V + a * U) / (n * n);
}

double GetLimitLatitude(const BesselElements& elements, double longitudeWest, double magnitude, double deltaTSeconds,
                        int side) {
    double tau = 0.0;
    double latitude = 0.0;
    double previous = 0.0;
    for (int step = 0; step < 6; ++step) {
        previous = latitude;
        LimitLatitudeStep(elements, &tau, longitudeWest, &latitude, magnitude, deltaTSeconds, side);
    }
    const bool converged = std::isfinite(latitude) && std::fabs(latitude - previous) <= 5.0;
    if (!converged || std::fabs(latitude) > 90.0) return side >= 0 ? 90.0 : -90.0;
    return latitude;
}
