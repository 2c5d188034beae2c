#include "eclipses/eclipse_sun_moon.h"

#include <cmath>
#include <limits>

#include "astro/quick_sun_moon.h"
#include "astro/time_scales.h"
#include "core/calendar.h"
#include "eclipses/eclipse_math.h"
#include "eclipses/eclipse_state.h"
#include "theories/moon_series.h"
#include "theories/sun_series.h"

namespace {
constexpr double kHoursPerCentury = 876600.0;
constexpr double kPointOneMasInRadians = 4.848136811095361e-10;  // 0.0001" in radians
constexpr double kArcsecondsInRadians = 4.84813681109536e-6;
constexpr double kPolarRadiusAU = 4.249226488642539e-5;
constexpr double kFlatteningSquared = 0.9933056213348961;        // (1 - f)^2
constexpr double kEccentricitySquared = 0.006694378665103917;
constexpr double kInverseOneMinusF = 1.0033640891517488;        // 1 / (1 - f)

// The 18 terms of the IAU 1980 nutation series with the largest amplitudes in longitude:
// multiples of D, M, M', F and Omega, then the longitude coefficient and its rate, the
// obliquity coefficient and its rate, in 0.0001" (per century for the rates). The rows
// M' - 2D and 2D carry no term in obliquity here.
struct NutationTerm {
    signed char d, m, mp, f, omega;
    double psi, psiRate, eps, epsRate;
};
constexpr NutationTerm kNutationTerms[18] = {
    {0, 0, 0, 0, 1, -171996.0, -174.2, 92025.0, 8.9},
    {-2, 0, 0, 2, 2, -13187.0, -1.6, 5736.0, -3.1},
    {0, 0, 0, 2, 2, -2274.0, -0.2, 977.0, -0.5},
    {0, 0, 0, 0, 2, 2062.0, 0.2, -895.0, 0.5},
    {0, 1, 0, 0, 0, 1426.0, -3.4, 54.0, -0.1},
    {0, 0, 1, 0, 0, 712.0, 0.1, -7.0, 0.0},
    {-2, 1, 0, 2, 2, -517.0, 1.2, 224.0, -0.6},
    {0, 0, 0, 2, 1, -386.0, -0.4, 200.0, 0.0},
    {0, 0, 1, 2, 2, -301.0, 0.0, 129.0, -0.1},
    {-2, -1, 0, 2, 2, 217.0, -0.5, -95.0, 0.3},
    {-2, 0, 1, 0, 0, -158.0, 0.0, 0.0, 0.0},
    {-2, 0, 0, 2, 1, 129.0, 0.1, -70.0, 0.0},
    {0, 0, -1, 2, 2, 123.0, 0.0, -53.0, 0.0},
    {0, 0, 1, 0, 1, 63.0, 0.1, -33.0, 0.0},
    {2, 0, 0, 0, 0, 63.0, 0.0, 0.0, 0.0},
    {2, 0, -1, 2, 2, -59.0, 0.0, 26.0, 0.0},
    {0, 0, -1, 0, 1, -58.0, -0.1, 32.0, 0.0},
    {0, 0, 1, 2, 1, -51.0, 0.0, 27.0, 0.0},
};

double ReducedRadians(double degrees) { return std::fmod(degrees, 360.0) * kDegToRad; }

// The geometric place of a body from the long series, or from its five-point table. An
// empty table writes nothing, so the places start as NaN and the series stands in.
void BodyEclipticPosition(void (*series)(double, double*, double*, double*),
                          void (*table)(double, double*, double*, double*), double T, double* longitude,
                          double* latitude, double* distance) {
    if (positionSource != 0) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        *longitude = *latitude = *distance = nan;
        table(T, longitude, latitude, distance);
        if (std::isfinite(*longitude) && std::isfinite(*latitude) && std::isfinite(*distance)) return;
    }
    series(T, longitude, latitude, distance);
}
}  // namespace

double SetEclipseInstant(int year, int month, int day, int hour, int minute, int second) {
    EclipseState& s = eclipseState;
    s.nutationLongitude = 0.0;
    s.trueObliquity = 0.0;
    minusDeltaTSeconds = -GetDeltaT(year, month, day);
    s.dayNumber = DateTimeToJD(year, month, day, 12, 0, 0, 0) - 2451545.5;
    s.clockHours = hour + minute / 60.0 + second / 3600.0;
    s.positionsReady = 1;
    s.minusDeltaTHours = minusDeltaTSeconds / 3600.0;
    s.axisLatitude = 0.0;
    return SetEclipseSiderealTime(s.dayNumber / 36525.0);
}

double SetEclipseSiderealTime(double t0UtCenturies) {
    EclipseState& s = eclipseState;
    s.eclipseT = t0UtCenturies + (s.clockHours - s.minusDeltaTHours) / kHoursPerCentury;

    // IAU 1982 mean sidereal time at 0h UT (24110.54841 s + ...), shifted by -Delta T.
    const double tu = s.dayNumber * 2.7378507871321012e-5;
    const double seconds = 50.54841 + 8640184.812866 * tu + 0.093104 * tu * tu - 6.2e-6 * tu * tu * tu;
    s.siderealTime0 = (seconds + minusDeltaTSeconds) / 3600.0 + 6.683333333333334;

    if (positionSource == 0 || (s.nutationLongitude == 0.0 && s.trueObliquity == 0.0))
        GetNutation(s.eclipseT, &s.nutationLongitude, &s.trueObliquity);
    s.siderealTime0 += std::cos(s.trueObliquity) * s.nutationLongitude * kRadToHours;
    return s.siderealTime0;
}

void GetLunarArguments(double T, double* D, double* Mp, double* M, double* F, double* Omega, double* meanObliquity,
                       double* Lp) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T;
    *D = ReducedRadians(297.8501921 + 445267.1114034 * T - 0.0018819 * T2 + T3 / 545868.0 - T4 / 113065000.0);
    *M = ReducedRadians(357.5291092 + 35999.0502909 * T - 0.0001536 * T2 + T3 / 24490000.0);
    *Mp = ReducedRadians(134.9633964 + 477198.8675055 * T + 0.0087414 * T2 + T3 / 69699.0 - T4 / 14712000.0);
    *F = ReducedRadians(93.2720950 + 483202.0175233 * T - 0.0036539 * T2 - T3 / 3526000.0 + T4 / 863310000.0);
    *Omega = (125.04452 - 1934.136261 * T + 0.0020708 * T2 + T3 / 450000.0) * kDegToRad;
    *Lp = ReducedRadians(218.3164477 + 481267.88123421 * T - 0.0015786 * T2 + T3 / 538841.0 - T4 / 65194000.0);
    // Laskar's mean obliquity, up to the seventh power of T, in arc seconds.
    const double arcseconds =
        84381.448 +
        T * (-46.8093 + T * (-0.000155 + T * (0.00199925 + T * (-5.138e-7 + T * (-2.4967e-8 + T * (-3.905e-11 + T * 7.12e-14))))));
    *meanObliquity = arcseconds * kArcsecondsInRadians;
}

void GetNutation(double T, double* nutationLongitude, double* trueObliquity) {
    double D, Mp, M, F, Omega, meanObliquity, Lp;
    GetLunarArguments(T, &D, &Mp, &M, &F, &Omega, &meanObliquity, &Lp);
    double psi = 0.0, eps = 0.0;
    for (const NutationTerm& term : kNutationTerms) {
        const double argument = term.d * D + term.m * M + term.mp * Mp + term.f * F + term.omega * Omega;
        psi += (term.psi + term.psiRate * T) * std::sin(argument);
        if (term.eps != 0.0) eps += (term.eps + term.epsRate * T) * std::cos(argument);
    }
    *nutationLongitude = psi * kPointOneMasInRadians;
    *trueObliquity = meanObliquity + eps * kPointOneMasInRadians;
}

void EclipticToEquatorial(double longitude, double latitude, double* raHours, double* declination) {
    const double lambda = longitude + eclipseState.nutationLongitude;
    const double eps = eclipseState.trueObliquity;
    const double sinLambda = std::sin(lambda);
    *declination =
        ClampedAsin(sinLambda * std::sin(eps) * std::cos(latitude) + std::cos(eps) * std::sin(latitude));
    double ra = std::atan2(std::cos(eps) * sinLambda - std::sin(eps) * std::tan(latitude), std::cos(lambda));
    if (ra < 0.0) ra += kTwoPi;
    *raHours = ra * kRadToHours;
    if (*raHours >= 24.0) *raHours -= 24.0;
}

void GetApparentSun(double T, double* ra, double* dec, double* distance) {
    double longitude, latitude, r;
    BodyEclipticPosition(GetSunEclipticPosition, InterpolateSun, T, &longitude, &latitude, &r);
    const double e = 0.016708634 - 0.000042037 * T - 0.0000001267 * T * T;
    const double aberration = (1.0 - e * e) / r * 9.936518612819769e-5;  // 20.4955"
    EclipseState& s = eclipseState;
    double hours, declination;
    EclipticToEquatorial(longitude - aberration, latitude, &hours, &declination);
    s.sunDec = declination;
    s.sunRAHours = hours;
    s.sunDistance = r;
    s.sunRA = hours * kHoursToRad;
    s.work = EclipseBody{hours, declination, r};
    *ra = s.sunRA;
    *dec = s.sunDec;
    *distance = s.sunDistance;
}

void GetApparentMoon(double T, double* ra, double* dec, double* distance) {
    double longitude, latitude, r;
    BodyEclipticPosition(GetMoonEclipticPosition, InterpolateMoon, T, &longitude, &latitude, &r);
    EclipseState& s = eclipseState;
    double hours, declination;
    EclipticToEquatorial(longitude, latitude, &hours, &declination);
    s.moonRA = hours * 15.0 * 0.0174532925199433;
    s.moonDec = declination;
    s.moonDistance = r;
    s.work = EclipseBody{hours, declination, r};
    *ra = s.moonRA;
    *dec = s.moonDec;
    *distance = s.moonDistance;
}

int ComputeLocalSunMoon() {
    EclipseState& s = eclipseState;
    s.positionsReady = 0;
    if (positionSource == 0) GetNutation(s.eclipseT, &s.nutationLongitude, &s.trueObliquity);
    double ra, dec, distance;
    GetApparentSun(s.eclipseT, &ra, &dec, &distance);
    GetApparentMoon(s.eclipseT, &ra, &dec, &distance);
    s.positionsReady = 1;

    s.moonParallax = ClampedAsin(std::sin(kEarthRadiusAU) / s.moonDistance);
    s.siderealTime = (s.eclipseT * 36525.0 - s.dayNumber) * kSiderealHoursPerDay + s.siderealTime0;

    // A first point with the geocentric Sun; then the Sun seen from that point gives the
    // direction of the line through the Moon, and the point again.
    ComputeShadowAxisPoint();
    const double alpha = s.work.raHours;
    const double delta = s.sunDec;
    const double phi = s.axisLatitude * kDegToRad;
    const double k = std::cos(phi) * kPolarRadiusAU / s.sunDistance;
    const double h = ((s.siderealTime - alpha) * 15.0 - s.axisLongitude) * kDegToRad;
    const double denominator = std::cos(delta) - k * std::cos(h);
    const double alphaCorrected = alpha - (std::sin(h) / denominator) * k * kRadToHours;
    const double deltaCorrected =
        std::atan2((std::sin(delta) - std::sin(phi) * kPolarRadiusAU / s.sunDistance) *
                       std::cos((alpha - alphaCorrected) * kHoursToRad),
                   denominator);
    s.work.raHours = alphaCorrected;
    s.sunDec = deltaCorrected;
    const int hit = ComputeShadowAxisPoint();
    s.work.raHours = alpha;
    s.sunDec = delta;
    return hit;
}

int ComputeShadowAxisPoint() {
    EclipseState& s = eclipseState;
    const double H = (s.sunRAHours - s.work.raHours) * kHoursToRad;
    const double cosH = std::cos(H);
    const double t = std::tan(s.sunDec);
    const double sinDec = std::sin(s.work.declination);
    const double cosDec = std::cos(s.work.declination);
    const double p = s.moonParallax;

    // The line through the Moon parallel to the Sun's direction, in units of the Moon's
    // distance, against the ellipsoid: A m^2 + 2 B m + C = 0.
    const double B = sinDec * t / cosH + cosDec * kFlatteningSquared;
    const double A = (t * t + kFlatteningSquared) / (cosH * cosH);
    const double D = B * B - (1.0 - cosDec * cosDec * kEccentricitySquared - p * p * kFlatteningSquared) * A;
    if (!(cosH > 0.0 && D > 0.0)) {
        s.axisHit = 0;
        return 0;
    }
    s.axisHit = 1;
    const double m = (std::sqrt(D) - B) / A;  // the nearer intersection
    const double z = (m * t / cosH + sinDec) / p;
    const double u = ClampedAsin(z * kInverseOneMinusF);  // reduced latitude
    s.axisAngle = ClampedAcos((m + cosDec) / std::cos(u) / p);
    s.axisLatitude = std::atan(std::tan(u) * kInverseOneMinusF) * kRadToDeg;
    const double sigma = std::cos(u) * std::tan(H) * std::sin(s.axisAngle) * m >= 0.0 ? 1.0 : -1.0;
    const double g = (s.siderealTime - s.work.raHours) * 15.0 - sigma * s.axisAngle * kRadToDeg;
    s.axisLongitude = ReduceDegrees180(g);
    return 1;
}
