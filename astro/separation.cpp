#include "astro/separation.h"

#include <algorithm>
#include <cmath>

#include "core/settings.h"

namespace {

constexpr double kHoursToRadians = 0.26179938779914946;  // pi / 12
constexpr double kDegreesToRadians = 0.017453292519943295;
constexpr double kRadiansToDegrees = 57.29577951308232;
constexpr double kRadiansToHours = 3.819718634205488;  // 12 / pi
// 2 x 180 / pi: twice the half-angle of the haversine.
constexpr double kTwiceRadiansToDegrees = 114.59155902616465;

}  // namespace

double AngularSeparation(double ra1, double dec1, double ra2, double dec2) {
    const double dra = (ra1 - ra2) * kHoursToRadians;
    const double ddec = (dec1 - dec2) * kDegreesToRadians;
    // (1 - cos x) / 2 written as sin^2(x / 2): the same haversine, without the cancellation
    // that loses every digit of separations below a milliarcsecond.
    const double havRa = std::sin(dra / 2) * std::sin(dra / 2);
    const double havDec = std::sin(ddec / 2) * std::sin(ddec / 2);
    const double h = havRa * std::cos(dec2 * kDegreesToRadians) * std::cos(dec1 * kDegreesToRadians) + havDec;
    // Rounding takes h a hair past 1 for opposite points (and below 0 for declinations
    // outside +-90), where asin and sqrt would give NaN.
    return kTwiceRadiansToDegrees * std::asin(std::sqrt(std::clamp(h, 0.0, 1.0)));
}

double GetObliquity() { return 0.4090927848297818; }

void HorizontalToEquatorialAt(const ObserverLocation& site, double lst, double azimuth, double altitude, double* ra,
                              double* dec) {
    const double sinPhi = site.sinLatitude;
    const double cosPhi = site.cosLatitude;
    const double sinAlt = std::sin(altitude);
    const double cosAlt = std::cos(altitude);
    const double cosAz = std::cos(azimuth);
    const double hourAngle = std::atan2(cosAlt * std::sin(azimuth), cosPhi * sinAlt - sinPhi * cosAlt * cosAz) *
                             kRadiansToHours;
    double r = lst + hourAngle;
    if (r < 0.0) r += 24.0;
    if (r > 24.0) r -= 24.0;
    const double s = std::clamp(cosPhi * cosAlt * cosAz + sinPhi * sinAlt, -1.0, 1.0);
    if (ra) *ra = r;
    if (dec) *dec = std::asin(s) * kRadiansToDegrees;
}

void HorizontalToEquatorial(double lst, double azimuth, double altitude, double* ra, double* dec) {
    HorizontalToEquatorialAt(observerLocation, lst, azimuth, altitude, ra, dec);
}
