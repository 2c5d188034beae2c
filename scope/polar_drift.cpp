#include "scope/polar_drift.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kEarthRotation = 7.292106590880652e-05;  // radians per second
constexpr double kRadiansPerArcSecond = 4.84813681109536e-06;

double Wrap(double angle) {
    double a = std::fmod(angle, kTwoPi);
    if (a < 0) a += kTwoPi;
    return a;
}

// The Julian day by the Gregorian rule, UT from the local time less the zone hours.
double GregorianJulianDay(const DriftInput& in) {
    int year = in.year, month = in.month;
    if (month <= 2) {
        year -= 1;
        month += 12;
    }
    const int a = year / 100;
    const int b = 2 - a + a / 4;
    const double ut = in.hour * 3600.0 + in.minute * 60.0 + in.second - in.zoneHours * 3600.0;
    return std::floor(365.25 * (year + 4716)) + std::floor(30.6001 * (month + 1)) + in.day + b - 1524.5 + ut / 86400.0;
}

DriftFault CommonFault(const DriftInput& in) {
    if (!(in.elapsed != 0)) return DriftFault::NoInterval;
    if (!(in.resolution != 0)) return DriftFault::NoResolution;
    return DriftFault::None;
}

}  // namespace

PolarFinderMark PlacePolaris(double hourAngleHours, double apparentRaHours, double radius, double inset, int cx,
                             int cy) {
    double ha = hourAngleHours;
    while (ha > 12) ha -= 24;
    while (ha < -12) ha += 24;
    double degrees = ha * 15.0;
    const double rho = (radius - inset) * 2.5301955556 / apparentRaHours;
    const double radians = degrees * kTwoPi / 360.0;
    PolarFinderMark m{};
    m.x = static_cast<int>(cx + rho * std::sin(radians) + 0.5);
    m.y = static_cast<int>(cy + rho * std::cos(radians) + 0.5);
    if (degrees < 0) degrees += 360.0;
    m.labelHours = static_cast<int>(degrees / 15.0);
    m.labelMinutes = static_cast<int>(degrees * 4.0) % 60;
    return m;
}

double DriftHourAngle(const DriftInput& in) {
    const double d = GregorianJulianDay(in) - 2451545.0;
    const double t = d * 2.7378507871321012e-5;
    double gmst = 280.46061837 + 360.98564736629 * d + 0.000387933 * t * t - t * t * t * 2.5833118057349522e-8;
    gmst = std::fmod(gmst, 360.0) * kTwoPi / 360.0;
    return Wrap(gmst - in.longitude - in.ra);
}

double RefractionIndex(double temperature) {
    constexpr double kHeight = 550.0;
    constexpr double kWavelength = 0.55;
    const double pressure = 1013.25 * std::pow(1.0 - 2.2569444444444443e-05 * kHeight, 5.255);
    const double t = temperature - 273.15;
    const double a = temperature > 273.15 ? 7.5 : 7.6;
    const double b = temperature > 273.15 ? 235.0 : 240.7;
    const double pw = 0.5 * 6.107 * std::pow(10.0, a * t / (b + t));
    const double ps = pressure - pw;
    const double T = temperature;
    const double ds = (ps / T) * (1.0 + ps * (5.79e-07 - 0.0009325 / T + 0.25844 / (T * T)));
    const double dw = (pw / T) * (1.0 + pw * (1.0 + 0.00037 * pw) *
                                            (-0.00237321 + 2.23366 / T - 710.792 / (T * T) + 77514.1 / (T * T * T)));
    const double s2 = 1.0 / (kWavelength * kWavelength);
    const double dry = 2371.34 + 683939.7 / (130.0 - s2) + 4547.3 / (38.99 - s2);
    const double wet = 6487.31 + 58.058 * s2 - 0.7115 * s2 * s2 + 0.08851 * s2 * s2 * s2;
    return 1.0 + 1e-08 * (dry * ds + wet * dw);
}

DriftFault KingDrift(const DriftInput& in, DriftResult* out) {
    const DriftFault fault = CommonFault(in);
    if (fault != DriftFault::None) return fault;
    const double theta = kEarthRotation * in.elapsed;
    const double dx = in.resolution * in.x * kRadiansPerArcSecond;
    const double dy = in.resolution * in.y * kRadiansPerArcSecond;
    DriftResult r;
    r.total = std::sqrt(dx * dx + dy * dy) / theta;
    r.direction = Wrap(DriftHourAngle(in) + theta / 2.0 - std::atan2(-dx, -dy));
    r.azimuth = r.total * std::sin(r.direction) / std::cos(in.latitude);
    r.elevation = r.total * std::cos(r.direction);
    *out = r;
    return DriftFault::None;
}

DriftFault RambautDrift(const DriftInput& in, DriftResult* out) {
    const DriftFault fault = CommonFault(in);
    if (fault != DriftFault::None) return fault;
    const double sinDec = std::sin(in.secondDec);
    if (std::fabs(sinDec) < 1e-6) return DriftFault::EquatorStar;
    const double theta = kEarthRotation * in.elapsed;
    const double phi = in.latitude;
    const double h = DriftHourAngle(in) + theta / 2.0;
    const double c = std::cos(h) * std::cos(in.secondDec) * std::cos(phi) + sinDec * std::sin(phi);
    if (std::fabs(c) < 1e-6) return DriftFault::StarAtHorizon;
    DriftResult r;
    r.refractionIndex = RefractionIndex(in.temperature);
    const double n1 = r.refractionIndex - 1.0;
    const double ra = -n1 * (std::cos(h) * std::sin(phi) * sinDec + std::cos(phi) * std::cos(in.secondDec)) *
                      std::cos(phi) * theta / (c * c);
    const double rd = n1 * std::sin(h) * std::sin(phi) * std::cos(phi) * theta / (c * c);
    const double dx = in.resolution * in.x * kRadiansPerArcSecond + ra;
    const double dy = in.resolution * in.y * kRadiansPerArcSecond + rd;
    r.azimuth = -((std::sin(h) / sinDec) * dx + std::cos(h) * dy) / (std::cos(phi) * theta);
    r.elevation = -((std::cos(h) / sinDec) * dx - std::sin(h) * dy) / theta;
    const double east = std::cos(phi) * r.azimuth;
    r.direction = Wrap(std::atan2(east, r.elevation));
    r.total = std::sqrt(east * east + r.elevation * r.elevation);
    *out = r;
    return DriftFault::None;
}

const char* DriftFaultHeading(DriftFault fault) {
    return fault == DriftFault::None ? "" : "Can't evaluate the drift";
}

const char* DriftFaultDetail(DriftFault fault) {
    switch (fault) {
    case DriftFault::NoInterval: return "The drift interval lasted 0 s: start the timer, wait, then tap the star.";
    case DriftFault::NoResolution: return "The resolution is 0: measure it with assistant 2 or type it.";
    case DriftFault::EquatorStar: return "The second star lies on the celestial equator: choose one away from it.";
    case DriftFault::StarAtHorizon: return "The star lies on the horizon: choose a higher star.";
    default: return "";
    }
}

double FieldsOfView(double radians, double resolution) {
    return resolution != 0 ? std::fabs(radians) / resolution * kFieldsPerRadianPixel : 0.0;
}
