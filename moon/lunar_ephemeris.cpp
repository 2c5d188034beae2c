#include "moon/lunar_ephemeris.h"

#include <cmath>

#include "astro/quick_sun_moon.h"
#include "catalog/databases.h"
#include "core/report.h"
#include "moon/tables/libration_terms.h"
#include "theories/sun_series.h"

namespace {

constexpr double kRad = 0.0174532925199433;
constexpr double kDeg = 57.29577951308232;
constexpr double kKmPerAu = 149597970.0;
// Inclination of the mean lunar equator to the ecliptic.
constexpr double kLunarEquatorInclination = 0.02692030744861094;
// Mean daily advance of the colongitude, degrees.
constexpr double kColongitudePerDay = 12.19075;
// The step factor's cosine is kept above this, so that a point near a pole cannot send the
// iteration away in one step.
constexpr double kMinCosLatitude = 0.01;
constexpr double kAltitudeTolerance = 0.001;
// Slack of the terminator band's edges, in the sine of the altitude (about 0.0001 degree).
constexpr double kEdgeSlack = 2e-6;

double CenturiesOf(double jd) { return (jd - 2451545.0) * 2.7378507871321012e-5; }

double Reduce(double degrees) { return std::fmod(degrees, 360.0); }

struct Arguments {
    double d, m, mp, f, node, k1, k2;  // radians
    double e;
};

double SumTerms(const libration_terms::Term* terms, int count, const Arguments& a) {
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        const libration_terms::Term& t = terms[i];
        double angle = t.d * a.d + t.m * a.m + t.mp * a.mp + t.f * a.f;
        if (t.extra == libration_terms::kK1) angle += a.k1;
        if (t.extra == libration_terms::kK2) angle += a.k2;
        if (t.extra == libration_terms::kNode) angle += a.node;
        double value = t.coefficient * (t.trig == libration_terms::kSin ? std::sin(angle) : std::cos(angle));
        if (t.timesE) value *= a.e;
        sum += value;
    }
    return sum;
}

}  // namespace

LunarLibration LunarLibrationAt(double jd, double lambda, double beta) {
    const double T = CenturiesOf(jd), T2 = T * T, T3 = T2 * T, T4 = T3 * T;
    const double meanLongitude = Reduce(218.3164477 + 481267.88123421 * T - 0.0015786 * T2 +
                                        1.855835023689734e-6 * T3 - 1.5338834862103876e-8 * T4);
    const double sunLongitude = Reduce(280.4665 + 36000.7698 * T);
    const double F = Reduce(93.272095 + 483202.0175233 * T - 0.0036539 * T2 - 2.8360748723766307e-7 * T3 +
                            1.1583324645839848e-9 * T4);
    const double node = Reduce(125.0445479 - 1934.1362891 * T + 0.0020754 * T2 + 2.13930742061565e-6 * T3 -
                               1.649729444371123e-8 * T4);
    const double M = Reduce(357.5291092 + 35999.0502909 * T - 0.0001536 * T2 + 4.083299305839118e-8 * T3);
    const double Mp = Reduce(134.9633964 + 477198.8675055 * T + 0.0087414 * T2 + 1.4347408140719379e-5 * T3 -
                             6.797172376291463e-8 * T4);
    const double D = Reduce(297.8501921 + 445267.1114034 * T - 0.0018819 * T2 + 1.8319447192361523e-6 * T3 -
                            8.844469995135542e-9 * T4);
    // Nutation in longitude, arc seconds, to radians.
    const double dPsi = (-17.20 * std::sin(node * kRad) - 1.32 * std::sin(2 * sunLongitude * kRad) -
                         0.23 * std::sin(2 * meanLongitude * kRad) + 0.21 * std::sin(2 * node * kRad)) *
                        4.848136811095361e-6;

    const double W = lambda * kRad - dPsi - node * kRad;
    const double b = beta * kRad;
    const double sinI = std::sin(kLunarEquatorInclination), cosI = std::cos(kLunarEquatorInclination);
    const double A = std::atan2(std::sin(W) * std::cos(b) * cosI - std::sin(b) * sinI, std::cos(W) * std::cos(b));
    double l1 = Reduce(A * kDeg - F);
    if (l1 > 180.0) l1 -= 360.0;
    if (l1 <= -180.0) l1 += 360.0;
    const double b1 = std::asin(-std::sin(W) * std::cos(b) * sinI - std::sin(b) * cosI);

    Arguments a{};
    a.d = D * kRad, a.m = M * kRad, a.mp = Mp * kRad, a.f = F * kRad, a.node = node * kRad;
    a.k1 = (119.75 + 131.849 * T) * kRad;
    a.k2 = (72.56 + 20.186 * T) * kRad;
    a.e = 1.0 - 0.002516 * T - 0.0000074 * T2;
    const double rho = SumTerms(libration_terms::kRho, 10, a);
    const double sigma = SumTerms(libration_terms::kSigma, 13, a);
    const double tau = SumTerms(libration_terms::kTau, 19, a);

    LunarLibration out;
    out.opticalLongitude = l1;
    out.opticalLatitude = b1 * kDeg;
    out.physicalLongitude = -tau + (rho * std::cos(A) + sigma * std::sin(A)) * std::tan(b1);
    out.physicalLatitude = sigma * std::cos(A) - rho * std::sin(A);
    return out;
}

int ComputeLunarLibration(double jd, double lambda, double beta, double* outL1, double* outB1, double* outL2,
                          double* outB2) {
    const LunarLibration l = LunarLibrationAt(jd, lambda, beta);
    if (outL1) *outL1 = l.opticalLongitude;
    if (outB1) *outB1 = l.opticalLatitude;
    if (outL2) *outL2 = l.physicalLongitude;
    if (outB2) *outB2 = l.physicalLatitude;
    return 1;
}

int ComputeSelenographicSun(double jd, double* outL0, double* outB0, double* outC0) {
    const double T = CenturiesOf(jd);
    double moonLongitude = 0, moonLatitude = 0, moonDistance = 0;
    MoonPositionMap(T, &moonLongitude, &moonLatitude, &moonDistance);
    const double lambda = Reduce(moonLongitude * kDeg);
    const double beta = Reduce(moonLatitude * kDeg);
    const double delta = moonDistance * kKmPerAu;
    double sunLongitude = 0, sunLatitude = 0, sunDistance = 0;
    GetSunEclipticPosition(T, &sunLongitude, &sunLatitude, &sunDistance);
    const double lambda0 = Reduce(sunLongitude * kDeg);
    const double R = sunDistance * kKmPerAu;

    // The Moon as seen from the Sun.
    const double ratio = delta / R;
    const double lambdaH = lambda0 + 180.0 + ratio * 57.296 * std::cos(beta * kRad) * std::sin((lambda0 - lambda) * kRad);
    const double betaH = ratio * beta;
    const LunarLibration l = LunarLibrationAt(jd, lambdaH, betaH);
    const double l0 = Reduce(l.opticalLongitude + l.physicalLongitude);
    const double b0 = Reduce(l.opticalLatitude + l.physicalLatitude);
    if (outL0) *outL0 = l0;
    if (outB0) *outB0 = b0;
    if (outC0) *outC0 = Reduce(450.0 - l0);
    return 1;
}

namespace {

// sin of the Sun's altitude over the point, from the sub-solar latitude and colongitude.
double SunAltitudeSine(double b0, double c0, double longitude, double latitude) {
    return std::sin(b0 * kRad) * std::sin(latitude * kRad) +
           std::cos(b0 * kRad) * std::cos(latitude * kRad) * std::sin((c0 + longitude) * kRad);
}

}  // namespace

double GetFeatureSunAltitude(double jd, double longitude, double latitude) {
    double l0 = 0, b0 = 0, c0 = 0;
    ComputeSelenographicSun(jd, &l0, &b0, &c0);
    return std::asin(SunAltitudeSine(b0, c0, longitude, latitude)) * kDeg;
}

double FindFeatureTerminator(double jd, double longitude, double latitude, int backward) {
    const double cosLatitude = std::fmax(std::cos(latitude * kRad), kMinCosLatitude);
    const double daysPerDegree = 1.0 / (cosLatitude * kColongitudePerDay);
    const double start = jd;
    double result = kNoFeatureEvent;
    for (int step = 0; step < kTerminatorMaxSteps; ++step) {
        ShowBusy(1);
        const double h = GetFeatureSunAltitude(jd, longitude, latitude);
        if (!std::isfinite(h)) break;
        if (std::fabs(h) <= kAltitudeTolerance) {
            result = jd;
            break;
        }
        const double days = daysPerDegree * h;
        jd = backward ? jd - days : jd + days;
        if (!std::isfinite(jd) || std::fabs(jd - start) > kTerminatorMaxDays) break;
    }
    HideBusy(1);
    return result;
}

double FindFeatureSunrise(double jd, double longitude, double latitude) {
    return FindFeatureTerminator(jd, longitude, latitude, 1);
}

double FindFeatureSunset(double jd, double longitude, double latitude) {
    return FindFeatureTerminator(jd, longitude, latitude, 0);
}

int ListTerminatorFeatures(double jd, std::int32_t* outList, int maxCount, int minDiameterKm, int altitudeLimitDeg) {
    if (!outList || maxCount <= 0) return 0;
    const double sinLimit = std::sin(altitudeLimitDeg * kRad);
    double l0 = 0, b0 = 0, c0 = 0;
    ComputeSelenographicSun(jd, &l0, &b0, &c0);
    const int count = GetMoonFeatureCount();
    int written = 0;
    for (int i = 0; i < count && written < maxCount; ++i) {
        ShowBusy(1);
        MoonFeatureRecord record;
        if (!GetMoonFeature(i, &record)) continue;
        if (!(record.diameter >= static_cast<float>(minDiameterKm))) continue;
        const double s = SunAltitudeSine(b0, c0, record.longitude, -record.latitude);
        // Both edges belong to the band; the stored places are single precision.
        if (s >= -kEdgeSlack && s <= sinLimit + kEdgeSlack) outList[written++] = i;
    }
    HideBusy(1);
    return written;
}
