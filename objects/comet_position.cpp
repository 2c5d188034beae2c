#include "objects/comet_position.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kDaysPerCentury = 36525.0;
constexpr double kDegToRad = 0.0174532925199433;
constexpr double kRadToHours = 3.819718634205488;
constexpr double kRadToDeg = 57.29577951308232;
// The obliquity of J2000.0 and the general precession in longitude per year.
constexpr double kObliquity = 0.4090928042221351;
constexpr double kPrecessionPerYear = 0.00024381748353014522;

}  // namespace

LowAccuracySun ComputeLowAccuracySun(double jd) {
    const double t = (jd - kJ2000) / kDaysPerCentury;
    const double L0 = std::fmod(280.46646 + 36000.76983 * t + 0.0003032 * t * t, 360.0);
    const double e = 0.016708634 - 0.000042037 * t - 0.0000001267 * t * t;
    const double M = std::fmod(357.52911 + 35999.05029 * t - 0.0001537 * t * t, 360.0) * kDegToRad;
    const double C = ((1.914602 - 0.004817 * t - 0.000014 * t * t) * std::sin(M) +
                      (0.019993 - 0.000101 * t) * std::sin(2.0 * M) + 0.000289 * std::sin(3.0 * M)) *
                     kDegToRad;
    const double nu = M + C;
    LowAccuracySun sun;
    sun.distance = 1.000001018 * (1.0 - e * e) / (1.0 + e * std::cos(nu));
    sun.longitude = L0 * kDegToRad + C;
    return sun;
}

int ComputeCometPosition(const CometElements& elements, double jd, int equinoxYear, CometPosition* position) {
    *position = CometPosition{};
    OrbitPoint point;
    if (!ComputeOrbitPoint(elements, jd, &point)) return 0;

    const LowAccuracySun sun = ComputeLowAccuracySun(jd);
    const double sunX = sun.distance * std::cos(sun.longitude);
    const double sunY = sun.distance * std::sin(sun.longitude);

    const double v = std::atan2(point.y, point.x);
    const double r = std::hypot(point.x, point.y);
    const double u = elements.argPerihelion * kDegToRad + v;
    const double node = elements.ascendingNode * kDegToRad;
    const double incl = elements.inclination * kDegToRad;
    const double xh = r * (std::cos(u) * std::cos(node) - std::sin(u) * std::cos(incl) * std::sin(node));
    const double yh = r * (std::sin(u) * std::cos(incl) * std::cos(node) + std::cos(u) * std::sin(node));
    const double zh = r * std::sin(u) * std::sin(incl);

    // From 2000.0 to the equinox of the year: a turn in longitude.
    const double l = std::atan2(yh, xh) + (equinoxYear - 2000) * kPrecessionPerYear;
    const double b = std::atan2(zh, std::hypot(xh, yh));
    const double X = r * std::cos(b) * std::cos(l);
    const double Y = r * std::cos(b) * std::sin(l);
    const double Z = r * std::sin(b);

    const double xi = X + sunX;
    const double eta = Y + sunY;
    const double zeta = Z;
    const double etaEq = eta * std::cos(kObliquity) - zeta * std::sin(kObliquity);
    const double zetaEq = eta * std::sin(kObliquity) + zeta * std::cos(kObliquity);

    double ra = std::atan2(etaEq, xi) * kRadToHours;
    if (ra < 0.0) ra += 24.0;
    const double delta = std::sqrt(xi * xi + etaEq * etaEq + zetaEq * zetaEq);
    const double sunDistance = std::sqrt(X * X + Y * Y + Z * Z);
    const double R2 = sunX * sunX + sunY * sunY;
    const double R = std::sqrt(R2);
    const double r2 = sunDistance * sunDistance;
    // Rounding can take either cosine a hair past +-1.
    const double cosPsi = std::clamp((delta * delta + R2 - r2) / (2.0 * delta * R), -1.0, 1.0);
    const double cosBeta = std::clamp((r2 + delta * delta - R2) / (2.0 * sunDistance * delta), -1.0, 1.0);

    position->rightAscension = ra;
    position->declination = std::atan2(zetaEq, std::hypot(xi, etaEq)) * kRadToDeg;
    position->earthDistance = delta;
    position->sunDistance = sunDistance;
    position->elongation = std::acos(cosPsi);
    position->phaseAngle = std::acos(cosBeta);
    return 1;
}

double CometMagnitude(int kind, double h, double g, double sunDistance, double earthDistance, double phaseAngle) {
    if (kind == 13) return h + 5.0 * std::log10(earthDistance) + g * std::log10(sunDistance);
    const double t = std::tan(phaseAngle / 2.0);
    const double phi1 = std::exp(-3.33 * std::pow(t, 0.63));
    const double phi2 = std::exp(-1.87 * std::pow(t, 1.22));
    return h + 5.0 * std::log10(sunDistance * earthDistance) - 2.5 * std::log10((1.0 - g) * phi1 + g * phi2);
}

int ComputeCometPosition(const CometRecord& record, double jd, int year, CometPlace* place) {
    *place = CometPlace{};
    CometPosition position;
    if (!ComputeCometPosition(MakeCometElements(record), jd, year, &position)) return 0;
    place->rightAscension = position.rightAscension;
    place->declination = position.declination;
    place->earthDistance = position.earthDistance;
    place->sunDistance = position.sunDistance;
    place->phaseAngle = position.phaseAngle;
    return 1;
}
