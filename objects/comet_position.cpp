#include "objects/comet_position.h"

#include <algorithm>
#include <cmath>

#include "astro/apparent_place.h"
#include "astro/precession_nutation.h"

namespace {

constexpr double kJ2000 = 2451545.0;
constexpr double kDaysPerCentury = 36525.0;
constexpr double kDegToRad = 0.0174532925199433;
constexpr double kRadToHours = 3.819718634205488;
constexpr double kRadToDeg = 57.29577951308232;
// The obliquity of J2000.0.
constexpr double kObliquity = 0.4090928042221351;
constexpr double kLightDaysPerAu = 0.0057755183;

// The body's heliocentric place at jd, equator of J2000.0 (AU); false when the orbit
// cannot be solved there.
bool HeliocentricJ2000(const CometElements& elements, double jd, double out[3]) {
    OrbitPoint point;
    if (!ComputeOrbitPoint(elements, jd, &point)) return false;
    const double v = std::atan2(point.y, point.x);
    const double r = std::hypot(point.x, point.y);
    const double u = elements.argPerihelion * kDegToRad + v;
    const double node = elements.ascendingNode * kDegToRad;
    const double incl = elements.inclination * kDegToRad;
    const double xh = r * (std::cos(u) * std::cos(node) - std::sin(u) * std::cos(incl) * std::sin(node));
    const double yh = r * (std::sin(u) * std::cos(incl) * std::cos(node) + std::cos(u) * std::sin(node));
    const double zh = r * std::sin(u) * std::sin(incl);
    out[0] = xh;
    out[1] = yh * std::cos(kObliquity) - zh * std::sin(kObliquity);
    out[2] = yh * std::sin(kObliquity) + zh * std::cos(kObliquity);
    return true;
}

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

int ComputeCometPosition(const CometElements& elements, double jd, int /*equinoxYear*/, CometPosition* position) {
    *position = CometPosition{};
    // The Sun of the planets' ephemeris, geocentric and of the mean equator of date.
    double sunRa = 0, sunDec = 0, R = 0;
    SunEphemeris(jd, &sunRa, &sunDec, &R);
    const double sunVector[3] = {R * std::cos(sunDec * kDegToRad) * std::cos(sunRa * 15.0 * kDegToRad),
                                 R * std::cos(sunDec * kDegToRad) * std::sin(sunRa * 15.0 * kDegToRad),
                                 R * std::sin(sunDec * kDegToRad)};
    // The body where it was when the light now arriving left it (two passes settle the
    // light time to well under a second), turned from J2000.0 to the equator of the
    // instant itself.
    double helio[3] = {}, geo[3] = {};
    double lightTime = 0.0;
    for (int pass = 0; pass < 3; ++pass) {
        double j2000[3];
        if (!HeliocentricJ2000(elements, jd - lightTime, j2000)) {
            *position = CometPosition{};
            return 0;
        }
        Precession(kJ2000, j2000, jd, helio);
        for (int i = 0; i < 3; ++i) geo[i] = helio[i] + sunVector[i];
        lightTime = std::sqrt(geo[0] * geo[0] + geo[1] * geo[1] + geo[2] * geo[2]) * kLightDaysPerAu;
    }
    const double xi = geo[0], etaEq = geo[1], zetaEq = geo[2];

    double ra = std::atan2(etaEq, xi) * kRadToHours;
    if (ra < 0.0) ra += 24.0;
    const double delta = std::sqrt(xi * xi + etaEq * etaEq + zetaEq * zetaEq);
    const double sunDistance = std::sqrt(helio[0] * helio[0] + helio[1] * helio[1] + helio[2] * helio[2]);
    const double R2 = R * R;
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
