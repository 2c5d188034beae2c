#include "theories/moon_illumination.h"

#include <cmath>

#include "core/angle_units.h"

namespace {
constexpr double kEpoch1980 = 2444238.5;  // 1980 January 0.0

constexpr double kSunDailyMotion = 0.9856473320990837;  // 360 / 365.2422
constexpr double kSunAnomalyAtEpoch = -3.762863;
constexpr double kSunPerigee = 282.596403;
constexpr double kSunEccentricity = 0.016718;
constexpr double kSunAnomalyFactor = 1.01686011182;  // sqrt((1 + e) / (1 - e))

// Newton's method converges in three or four steps for this eccentricity; the cap only
// matters for an input that is not a number, which must not spin forever.
constexpr int kMaxKeplerSteps = 50;

// x - int(x / 360) * 360: keeps the sign of x.
double TruncatedTurns(double x) { return x - std::trunc(x / 360.0) * 360.0; }

}  // namespace

double DateToJulianDay(int year, int month, double day) {
    if (month < 3) {
        year -= 1;
        month += 12;
    }
    int b = 0;
    if (year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day > 15.0)))) {
        const int a = year / 100;
        b = 2 - a + a / 4;
    }
    // Floor, not truncation: 365.25 y is negative for the years before 1 AD (and for January
    // and February of year 0, which count as months 13 and 14 of year -1).
    return std::floor(365.25 * year) + std::floor(30.6001 * (month + 1)) + b + day + 1720994.5;
}

double GetSunLongitude1980(double d) {
    const double n = TruncatedTurns(kSunDailyMotion * d);
    double m = n + kSunAnomalyAtEpoch;
    if (m < 0.0) m += 360.0;
    m *= kDegToRad;

    double e = m;
    for (int step = 0; step < kMaxKeplerSteps; ++step) {
        const double delta = e - kSunEccentricity * std::sin(e) - m;
        e -= delta / (1.0 - kSunEccentricity * std::cos(e));
        if (!(std::fabs(delta) >= 1e-8)) break;  // also ends on NaN
    }
    const double v = std::atan(kSunAnomalyFactor * std::tan(e / 2.0)) * 114.59155902616465;
    return TruncatedTurns(v + kSunPerigee);
}

double GetMoonLongitude1980(double d, double sunLongitude) {
    double ms = 0.985647332099 * d + kSunAnomalyAtEpoch;
    if (ms < 0.0) ms += 360.0;

    double l = TruncatedTurns(13.176396 * d + 64.975464);
    if (l < 0.0) l += 360.0;
    const double mm = TruncatedTurns(l - 0.1114041 * d - 349.383063);

    const double evection = 1.2739 * std::sin((2.0 * (l - sunLongitude) - mm) * kDegToRad);
    const double annual = 0.1858 * std::sin(ms * kDegToRad);
    const double third = 0.37 * std::sin(ms * kDegToRad);
    const double anomaly = mm + evection - annual - third;
    const double centre = 6.2886 * std::sin(anomaly * kDegToRad);
    const double fourth = 0.214 * std::sin(2.0 * anomaly * kDegToRad);
    const double corrected = l + evection + centre - annual + fourth;
    const double variation = 0.6583 * std::sin(2.0 * (corrected - sunLongitude) * kDegToRad);
    return corrected + variation;
}

double ComputeMoonIllumination(int year, int month, int day, double hour, int zoneMinutes,
                               int* ageDays) {
    const double ut = hour - zoneMinutes / 60.0;
    const double d = DateToJulianDay(year, month, day + ut / 24.0) - kEpoch1980;
    const double sun = GetSunLongitude1980(d);
    const double moon = GetMoonLongitude1980(d, sun);

    double age = FmodDegrees(moon - sun);
    // fmod leaves |age| below 360, so one correction each way is enough.
    if (age < 0.0) age += 360.0;
    if (age > 360.0) age -= 360.0;
    if (ageDays != nullptr) {
        // A NaN age must not reach the integer conversion.
        *ageDays = std::isfinite(age) ? static_cast<int>(age * 0.08055555555555556) : 0;
    }
    return (1.0 - std::cos(age * kDegToRad)) / 2.0;
}
