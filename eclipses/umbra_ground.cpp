#include "eclipses/umbra_ground.h"

#include <cmath>

#include "eclipses/eclipse_math.h"
#include "eclipses/eclipse_state.h"
#include "eclipses/eclipse_sun_moon.h"

namespace {
constexpr double kMinutesPerCentury = 5.2596e7;
constexpr double kKmPerDegreeMinute = 6679.2;  // 111.32 km a degree, moved in one second, per minute

// The ground ellipse (long axis R along the azimuth, short axis r across it) as a quadratic
// form in the frame of the motion. With b the angle from the motion to the long axis, the
// coefficient of s^2 takes the motion's direction against both axes and that of w^2 the
// direction across the motion, b + 90 degrees; the cross term pairs the two.
ShadowEllipse EllipseInMotionFrame(double azimuth, double direction, double r2, double R2) {
    const double b = azimuth - direction;
    const double a = b + kPi / 2.0;
    ShadowEllipse e;
    e.P = std::sin(b) * std::sin(a) / r2 + std::cos(b) * std::cos(a) / R2;
    e.Q = std::sin(a) * std::sin(a) / r2 + std::cos(a) * std::cos(a) / R2;
    e.S = std::sin(b) * std::sin(b) / r2 + std::cos(b) * std::cos(b) / R2;
    return e;
}
}  // namespace

void TopocentricCorrection() {
    EclipseState& s = eclipseState;
    const double phi = s.axisLatitude * kDegToRad;
    const double lambda = s.axisLongitude;
    const double theta = s.siderealTime;
    if (s.positionsReady == 1) {
        const double alpha = s.work.raHours;
        const double delta = s.work.declination;
        const double u = std::atan(kEarthOneMinusF * std::tan(phi));
        const double rhoCos = std::cos(u);
        const double rhoSin = kEarthOneMinusF * std::sin(u);
        const double p = kEarthRadiusAU / s.work.distance;
        const double H = ((theta - alpha) * 15.0 - lambda) * kDegToRad;
        const double denominator = std::cos(delta) - rhoCos * p * std::cos(H);
        const double dAlpha = std::atan2(-rhoCos * p * std::sin(H), denominator);
        const double deltaTopo = std::atan2((std::sin(delta) - rhoSin * p) * std::cos(dAlpha), denominator);
        s.work.distance -=
            kEarthRadiusAU * (rhoCos * std::cos(H) * std::cos(delta) + rhoSin * std::sin(delta));
        s.work.raHours = alpha + dAlpha * kRadToHours;
        s.work.declination = deltaTopo;
    }
    double alpha24 = std::fmod(s.work.raHours, 24.0);
    if (alpha24 < 0.0) alpha24 += 24.0;
    const double H = ((theta - alpha24) * 15.0 - lambda) * kDegToRad;
    const double delta = s.work.declination;
    const double h = ClampedAsin(std::cos(H) * std::cos(phi) * std::cos(delta) + std::sin(phi) * std::sin(delta));
    const double cosH = std::cos(h);
    double A = cosH > 0.0
                   ? ClampedAcos((std::cos(phi) * std::sin(delta) - std::cos(H) * std::sin(phi) * std::cos(delta)) / cosH)
                   : 0.0;
    if (std::sin(H) > 0.0) A = -A;
    if (A < 0.0) A += 2.0 * kPi;
    s.bodyAltitude = h;
    s.bodyAzimuth = A;
}

void NormalizeEclipsePlace(LocalEclipse* local) {
    EclipseState& s = eclipseState;
    // A pole stays a pole; only values past it are folded back.
    local->pointLatitude = std::fabs(s.axisLatitude) > 90.0 ? std::fmod(s.axisLatitude, 90.0) : s.axisLatitude;
    local->pointLongitude = std::fmod(s.axisLongitude, 360.0);
    if (local->pointLongitude < -180.0) local->pointLongitude += 360.0;
    s.previousLatitude = local->pointLatitude;
    s.previousLongitude = local->pointLongitude;
}

int GetLocalEclipse(LocalEclipse* local, int year, int month, int day, int hour, int minute, int second) {
    EclipseState& s = eclipseState;
    SetEclipseInstant(year, month, day, hour, minute, second);
    local->clockHours = s.clockHours;
    if (!ComputeLocalSunMoon()) return 0;

    // The Moon (the working body) seen from the axis point.
    TopocentricCorrection();
    const double altitude = s.bodyAltitude;
    const double azimuth = s.bodyAzimuth;
    const double moonDistance = s.work.distance;  // from the point, not the geocentre

    // The shadow's diameter where it meets the ground: the Moon's diameter less the
    // difference of the Sun's and the Moon's diameters over the distance behind the Moon
    // (negative for the antumbra).
    const double D = 3476.18 - (moonDistance / (s.sunDistance - moonDistance)) * 1389053.82;
    local->centralMagnitude = std::fabs((s.sunDistance / moonDistance) * 0.0012481526430310299 + 0.50005);

    const double r2 = D * D / 4.0;
    const double sinH = std::sin(altitude);
    const double R2 = r2 / (sinH * sinH);
    local->ellipseMinor = RoundChecked(std::sqrt(r2), 0);
    local->ellipseMajor = RoundChecked(std::sqrt(R2), 0);

    // Where the axis point goes in one second of time.
    NormalizeEclipsePlace(local);
    const double previousLatitude = s.previousLatitude;
    const double previousLongitude = s.previousLongitude;
    s.eclipseT = (s.eclipseT * kMinutesPerCentury + 1.0 / 60.0) / kMinutesPerCentury;
    const int stillOnEarth = ComputeLocalSunMoon();
    const double dLongitude = ReduceDegrees180(s.axisLongitude - previousLongitude);
    const double dx = -dLongitude * std::cos(previousLatitude * kDegToRad);
    const double dy = s.axisLatitude - previousLatitude;
    double direction, v;
    if (!stillOnEarth || (dx == 0.0 && dy == 0.0)) {
        // The point did not move, or left the Earth within the second (what is left in the
        // state then is a half-made point): no direction to take, keep the last one.
        direction = local->direction * kDegToRad;
        v = 0.0;
    } else {
        direction = kPi / 2.0 - std::atan(dy / dx);
        if (dLongitude > 0.0) direction -= kPi;  // moving west
        if (direction > kPi) direction -= 2.0 * kPi;
        if (direction < -kPi) direction += 2.0 * kPi;
        v = std::sqrt(dx * dx + dy * dy) * kKmPerDegreeMinute;  // km a minute
    }
    local->speed = RoundChecked(v * 6.0, 0) * 10;

    const ShadowEllipse ellipse = EllipseInMotionFrame(azimuth, direction, r2, R2);
    const double halfLength = 1.0 / std::sqrt(ellipse.S);
    const double halfWidth = 1.0 / std::sqrt(ellipse.Q - ellipse.P * ellipse.P / ellipse.S);

    local->centralDuration = v > 0.0 ? halfLength / v * 120.0 + 0.5 : 0.0;
    if (!std::isfinite(local->centralDuration)) local->centralDuration = 0.0;
    local->sunAltitude = altitude * kRadToDeg;
    local->sunAzimuth = azimuth * kRadToDeg;
    ComputeUmbraLevels(local, ellipse, halfWidth, halfLength);
    local->direction = ToIntChecked(direction * kRadToDeg, 0);
    local->directionWidth = ToIntChecked(std::fabs(2.0 * std::sin(direction) * halfWidth), 0);
    local->halfWidth = RoundChecked(halfWidth, 0);
    const double azimuthDegrees = azimuth * kRadToDeg;
    local->azimuthMod180 = ToIntChecked(azimuthDegrees - 180.0 * std::floor(azimuthDegrees / 180.0), 0);
    return 1;
}

void ComputeUmbraLevels(LocalEclipse* local, const ShadowEllipse& ellipse, double halfWidthKm, double halfLengthKm) {
    // Cleared first, so that an instant without lines shows none of an earlier instant's.
    for (int i = 0; i < kUmbraLevelCount; ++i)
        local->levelDuration[i] = local->levelOffset[i] = local->levelHalfLength[i] = 0;
    const double c = local->centralDuration;
    if (!(c > 25.0) || !std::isfinite(c)) return;
    if (!(halfWidthKm > 0.0) || !(halfLengthKm > 0.0) || !std::isfinite(halfWidthKm)) return;

    const double ratio = c / halfLengthKm;  // seconds per km of chord
    const ShadowEllipse& e = ellipse;
    auto duration = [&](double y) {
        const double centre = e.P * y / e.S;
        const double w2 = centre * centre - (e.Q * y * y - 1.0) / e.S;
        return ratio * std::sqrt(w2 > 0.0 ? w2 : 0.0);
    };

    const int step = 5 * ToIntChecked(std::ceil(c / 55.0), 0);
    const int count = c < 45.0 ? 5 : 9;
    int slot = 0;
    for (int i = count; i >= 2 && slot < kUmbraLevelCount; --i) {
        const double target = static_cast<double>(i) * step;
        if (!(target < c)) continue;  // beyond the duration on the axis
        double near = 0.0, far = halfWidthKm;
        for (int halving = 0; halving < 60; ++halving) {
            if (duration(near) - duration(far) <= 0.1) break;
            const double middle = 0.5 * (near + far);
            if (duration(middle) > target) near = middle; else far = middle;
        }
        const double y = 0.5 * (near + far);
        local->levelDuration[slot] = ToIntChecked(duration(y), 0);
        local->levelOffset[slot] = RoundChecked(y, 0);
        const double shift = std::fabs(e.P * y / e.S);
        local->levelHalfLength[slot] = ToIntChecked((1.0 + ratio * shift) / 2.0, 0);
        ++slot;
    }
}
