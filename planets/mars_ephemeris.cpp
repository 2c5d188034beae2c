#include "planets/mars_ephemeris.h"

#include <cmath>

#include "astro/planet_positions.h"
#include "astro/time_scales.h"
#include "core/angle_units.h"
#include "core/calendar.h"
#include "core/settings.h"
#include "planets/mars_moon_elements.h"
#include "shell/fonts.h"

namespace {

double Frac(double x) { return x - std::floor(x); }
// A mean argument in revolutions, as an angle in radians.
double Revolutions(double x) { return Frac(x) * 6.2831853; }

// Into [0, 360) by whole turns, for values already near the range.
double WrapDegrees(double x) {
    while (x < 0.0) x += 360.0;
    while (x >= 360.0) x -= 360.0;
    return x;
}

}  // namespace

double ReduceAngle360(double degrees) {
    while (degrees < 0.0) degrees += 360.0;
    return 360.0 * Frac(degrees / 360.0);
}

void ComputeMarsPhysicalEphemeris(int year, int month, int day, int hour, int minute, float* centralMeridian,
                                  float* positionAngle, float* earthDeclination) {
    const double jd = DateTimeToJD(year, month, day, hour, minute, 0, observerLocation.zoneMinutes);
    const double T = (jd - kJ2000) / 36525.0;

    const double lambda0 = (352.9065 + 1.1733 * T) * kDegToRad;
    const double beta0 = (63.2818 - 0.00394 * T) * kDegToRad;
    const double eps = (23.43916667 - 0.013004167 * T - 1.63889e-7 * T * T + 5.03611e-7 * T * T * T) * kDegToRad;

    double alpha0 = std::atan2(std::cos(eps) * std::sin(lambda0) - std::sin(eps) * std::tan(beta0), std::cos(lambda0));
    while (alpha0 < 0.0) alpha0 += kTwoPi;
    const double delta0 =
        std::asin(std::sin(lambda0) * std::sin(eps) * std::cos(beta0) + std::cos(eps) * std::sin(beta0));

    // The geocentric place: the coordinate mode is an argument, so the user's choice of a
    // topocentric place is left alone.
    BodyRecord mars{};
    ComputePlanetAt(observerLocation, GetDeltaT(year, month, day), 0, &mars, kBodyMars, year, month, day, hour,
                    minute, 0);
    const double alpha = mars.rightAscension * kPi / 12.0;
    const double delta = mars.declination * kDegToRad;
    const double distance = mars.distance;

    const double lambda = std::atan2(std::sin(alpha) * std::cos(eps) + std::tan(delta) * std::sin(eps), std::cos(alpha));
    const double beta = std::asin(std::cos(eps) * std::sin(delta) - std::sin(alpha) * std::sin(eps) * std::cos(delta));
    const double DE = std::asin(-std::sin(beta0) * std::sin(beta) -
                                std::cos(beta0) * std::cos(beta) * std::cos(lambda0 - lambda));

    const double W = std::fmod(11.504 + 350.89200025 * (jd - 0.0057755183 * distance - 2433282.5), 360.0);
    const double omega =
        W - std::atan2(std::sin(delta0) * std::cos(delta) * std::cos(alpha0 - alpha) - std::sin(delta) * std::cos(delta0),
                       std::cos(delta) * std::sin(alpha0 - alpha)) *
                kRadToDeg;
    const double P = std::atan2(std::cos(delta0) * std::sin(alpha0 - alpha),
                                std::sin(delta0) * std::cos(delta) -
                                    std::cos(delta0) * std::sin(delta) * std::cos(alpha0 - alpha)) *
                     kRadToDeg;
    if (centralMeridian) *centralMeridian = static_cast<float>(WrapDegrees(omega));
    if (positionAngle) *positionAngle = static_cast<float>(WrapDegrees(P));
    if (earthDeclination) *earthDeclination = static_cast<float>(DE * kRadToDeg);
}

void ComputeMarsAspect(double jd, MarsAspect* aspect) {
    const double d = jd - kJ2000;
    const double T = d / 36525.0;
    const double T1 = T + 1.0;

    const double L = Revolutions(0.779072 + 0.00273790931 * d);
    const double g = Revolutions(0.993126 + 0.0027377785 * d);
    const double L4 = Revolutions(0.987353 + 0.00145575328 * d);
    const double g4 = Revolutions(0.053856 + 0.00145561327 * d);
    const double F4 = Revolutions(0.849694 + 0.00145569465 * d);
    const double g5 = Revolutions(0.056531 + 0.00023080893 * d);

    const double lambdaS =
        L + (6910 * std::sin(g) + 72 * std::sin(2 * g) - 17 * T1 * std::sin(g) - 7 * std::cos(g - g5)) * kArcsecToRad;
    const double R = 1.00014 - 0.01675 * std::cos(g) - 0.00014 * std::cos(2 * g);

    const double lambda4 =
        L4 + (38451 * std::sin(g4) + 2238 * std::sin(2 * g4) + 181 * std::sin(3 * g4) - 52 * std::sin(2 * F4) +
              37 * T1 * std::sin(g4) - 22 * std::cos(g4 - 2 * g5) - 19 * std::sin(g4 - g5) + 17 * std::cos(g4 - g5) +
              17 * std::sin(4 * g4) - 16 * std::cos(2 * g4 - 2 * g5) + 13 * std::cos(g - 2 * g4) -
              10 * std::sin(g4 - 2 * F4) + 7 * std::cos(g - g4) - 7 * std::cos(2 * g - 3 * g4)) *
                 kArcsecToRad;
    const double beta4 = (6603 * std::sin(F4) + 622 * std::sin(g4 - F4) + 615 * std::sin(F4 + g4) +
                          64 * std::sin(2 * g4 + F4)) *
                         kArcsecToRad;
    const double r = 1.53031 - 0.1417 * std::cos(g4) - 0.0066 * std::cos(2 * g4) - 0.00047 * std::cos(3 * g4);

    const double x = r * std::cos(beta4) * std::cos(lambda4 - lambdaS) + R;
    const double y = r * std::cos(beta4) * std::sin(lambda4 - lambdaS);
    const double z = r * std::sin(beta4);
    double lambda = std::atan(y / x);
    if (x < 0.0) lambda += kPi;
    lambda += lambdaS;
    const double distance = std::sqrt(x * x + y * y + z * z);
    const double beta = std::asin(z / distance);

    const double eps = (84428 - 47 * T1) * kArcsecToRad;
    double alpha = std::atan((std::cos(eps) * std::sin(lambda) - std::sin(eps) * std::tan(beta)) / std::cos(lambda));
    if (std::cos(lambda) < 0.0) alpha += kPi;
    const double delta = std::asin(std::sin(eps) * std::sin(lambda) * std::cos(beta) + std::cos(eps) * std::sin(beta));

    const double alpha0 = ReduceAngle360(317.681 + 0.678 * T) * kDegToRad;
    const double delta0 = ReduceAngle360(52.886 + 0.352 * T) * kDegToRad;
    const double H = alpha0 - alpha;

    const double xiBelow = std::sin(H) * std::cos(delta);
    double xi = std::atan((std::cos(H) * std::cos(delta) * std::sin(delta0) - std::sin(delta) * std::cos(delta0)) /
                          xiBelow) *
                kRadToDeg;
    if (xiBelow < 0.0) xi += 180.0;
    aspect->earthLongitude = xi;
    aspect->centralMeridian = ReduceAngle360(176.655 + 350.891983 * (d - 0.0057755 * distance) + 0.62 * T - xi);
    aspect->subEarthLatitude =
        std::asin(-std::sin(delta) * std::sin(delta0) - std::cos(H) * std::cos(delta) * std::cos(delta0)) * kRadToDeg;
    const double pBelow = std::cos(delta) * std::sin(delta0) - std::cos(H) * std::sin(delta) * std::cos(delta0);
    double P = std::atan(std::sin(H) * std::cos(delta0) / pBelow) * kRadToDeg;
    if (pBelow < 0.0) P += 180.0;
    aspect->positionAngle = ReduceAngle360(P);
}

void MarsMoonPhases(double jd, const MarsAspect& aspect, double phases[kMarsMoonCount]) {
    for (int i = 0; i < kMarsMoonCount; ++i) {
        const MarsMoonElements& e = kMarsMoonElements[i];
        phases[i] = ReduceAngle360(e.longitude + 360.0 * Frac(e.turnsPerDay * (jd - kMarsMoonEpoch)) -
                                   aspect.earthLongitude);
    }
}

void ComputeMarsMoonOffsets(double jd, const MarsAspect& aspect, double x[kMarsMoonCount], double y[kMarsMoonCount],
                            int visible[kMarsMoonCount]) {
    const double radius = 6.0 * GetDpiFactor();
    double phases[kMarsMoonCount];
    MarsMoonPhases(jd, aspect, phases);
    const double sinDE = std::sin(aspect.subEarthLatitude * kDegToRad);
    for (int i = 0; i < kMarsMoonCount; ++i) {
        const double u = phases[i] * kDegToRad;
        const double a = i == 0 ? radius : 3.0 * radius;
        const double px = a * std::sin(u), py = a * sinDE * std::cos(u);
        const double rho = std::sqrt(px * px + py * py);
        const double theta = (ReduceAngle360(std::atan2(px, py) * kRadToDeg + aspect.positionAngle - 180.0) - 180.0) *
                             kDegToRad;
        x[i] = 2.0 * rho * std::sin(theta);
        y[i] = 2.0 * rho * std::cos(theta);
        const bool farHalf = u > 1.571 && u < 4.712;
        visible[i] = !(farHalf && std::sqrt(x[i] * x[i] + y[i] * y[i]) < radius - 1.0);
    }
}
