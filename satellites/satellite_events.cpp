#include "satellites/satellite_events.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "astro/numerical_tools.h"
#include "astro/planet_positions.h"
#include "core/calendar.h"
#include "core/checked_math.h"
#include "core/settings.h"
#include "satellites/satellite_geometry.h"
#include "satellites/sgp4.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kRadToDegrees = 57.29577951308232;
constexpr double kFlareLimitDegrees = 1.5;
constexpr double kTransitLimitDegrees = 1.0;
constexpr double kFirstStageLimitDegrees = 10.0;
constexpr double kSecond = 1.0 / 86400.0;

// The panels' (pitch, yaw) in degrees, in the order they are tried.
constexpr double kPanels[3][2] = {{-40.0, 0.0}, {-40.0, 120.0}, {-40.0, -120.0}};

// Holds a preference word at a value while it lives; restores it on every way out.
class PreferenceWordHold {
public:
    PreferenceWordHold(int word, std::int32_t value) : slot_(preferences.word[word]), saved_(slot_) { slot_ = value; }
    ~PreferenceWordHold() { slot_ = saved_; }
    PreferenceWordHold(const PreferenceWordHold&) = delete;
    PreferenceWordHold& operator=(const PreferenceWordHold&) = delete;

private:
    std::int32_t& slot_;
    std::int32_t saved_;
};

SatVector Scaled(const SatVector& v, double k) { return {v.x * k, v.y * k, v.z * k, 0.0}; }
SatVector Sum(const SatVector& a, const SatVector& b) { return {a.x + b.x, a.y + b.y, a.z + b.z, 0.0}; }
SatVector Cross(const SatVector& a, const SatVector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0.0};
}
double Length(const SatVector& v) { return std::sqrt(DotProduct(v, v)); }

// Fills the cache with the topocentric place of the body the search compares with.
bool PlaceBody(SatelliteEventContext& context, double jd) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    JDToDate(jd, &year, &month, &day, &hour, &minute, &second);
    const int body = context.flareMode || context.transitBody == 1 ? kBodySun : kBodyMoon;
    BodyRecord record{};
    int placed = 0;
    {
        const PreferenceWordHold topocentric(pref::coordinateMode, 2);
        // The routine takes local civil time: the minutes carry the zone offset.
        placed = ComputePlanet(&record, body, year, month, day, hour, minute + observerLocation.zoneMinutes, second);
    }
    ++context.bodyComputations;
    if (!placed) return false;
    context.bodyRightAscension = DegToRad(record.rightAscension * 15.0);
    context.bodyDeclination = DegToRad(record.declination);
    return true;
}

struct StageResult {
    double instant = kNaN;
    double angle = kNaN;
};

// One refinement stage: Brent's minimisation on (lower, middle, upper). Where that is no
// bracket (the angle falls or rises through the window), the window is sampled every
// `sampleStep` days and the least sample is bracketed instead; a least sample at an edge
// of the window is the stage's result.
StageResult RunStage(SatelliteEventContext& context, double lower, double middle, double upper, double tolerance,
                     double sampleStep) {
    context.bodyRightAscension = 0.0;
    context.bodyDeclination = 0.0;
    const ScalarFunction angle = [&context](double jd) { return SatelliteEventAngle(context, jd); };
    StageResult r;
    r.angle = MinimizeBrent(&r.instant, lower, middle, upper, tolerance, angle);
    if (std::isfinite(r.instant) && std::isfinite(r.angle)) return r;
    if (context.status != kSatelliteComputed) return {};

    const int samples = static_cast<int>(std::lround((upper - lower) / sampleStep)) + 1;
    int least = -1;
    double leastValue = kNaN;
    for (int i = 0; i < samples; ++i) {
        const double value = angle(lower + i * sampleStep);
        if (std::isfinite(value) && (least < 0 || value < leastValue)) {
            least = i;
            leastValue = value;
        }
    }
    if (least < 0) return {};
    const double leastInstant = lower + least * sampleStep;
    if (least > 0 && least < samples - 1) {
        StageResult refined;
        refined.angle = MinimizeBrent(&refined.instant, leastInstant - sampleStep, leastInstant,
                                      leastInstant + sampleStep, tolerance, angle);
        if (std::isfinite(refined.instant) && std::isfinite(refined.angle)) return refined;
    }
    return {leastInstant, leastValue};
}

void WriteOut(const StageResult& r, double* eventTime, double* angleDegrees) {
    if (eventTime) *eventTime = r.instant;
    if (angleDegrees) *angleDegrees = r.angle * kRadToDegrees;
}

}  // namespace

double SatelliteEventAngle(SatelliteEventContext& context, double jd) {
    TleElements* elements = context.elements;
    context.status = elements ? SatellitePropagationStatus(*elements) : kSatelliteInvalid;
    if (context.status != kSatelliteComputed) return kNaN;

    if (context.bodyRightAscension == 0.0 && context.bodyDeclination == 0.0 && !PlaceBody(context, jd)) {
        context.status = kSatelliteInvalid;
        return kNaN;
    }

    elements->julianDay = jd;
    SatVector position, velocity;
    ++context.evaluations;
    if (PropagateSgp4((jd - elements->epochJD) * 1440.0, &position, &velocity, *elements) != kOrbitPropagated) {
        context.status = kSatelliteDecayed;
        return kNaN;
    }
    ScaleSatelliteState(&position, &velocity);
    satPosition = position;
    satVelocity = velocity;
    observerGeodetic = SiteGeodetic(observerLocation, true);

    LookAngles look;
    if (context.flareMode) {
        ComputeLineOfSight(jd, position, velocity, &observerGeodetic, &look);
        const SatVector sight{look.azimuth, look.elevation, look.range, 1.0};
        return FlareAngle(position, velocity, sight, context.bodyRightAscension, context.bodyDeclination);
    }
    ComputeTopocentricRaDec(jd, position, velocity, &observerGeodetic, &look);
    return SatAngularSeparation(look.azimuth, look.elevation, context.bodyRightAscension, context.bodyDeclination);
}

int RefineSatelliteEvent(SatelliteEventContext& context, double t0, TleElements* elements, double* eventTime,
                         double* angleDegrees) {
    context.elements = elements;
    context.evaluations = 0;
    context.status = SatellitePropagationStatus(*elements);
    if (context.status != kSatelliteComputed) return 0;

    struct Stage {
        double before, after, tolerance, sampleStep;
    };
    constexpr Stage kStages[3] = {
        {0.001388888888888889, 0.010416666666666666, 1.1574074074074075e-10, 30.0 * kSecond},  // -2, +15 min
        {0.0006944444444444445, 0.0006944444444444445, 3.472222222222222e-12, 10.0 * kSecond},  // +-1 min
        {0.00011574074074074075, 0.00011574074074074075, 1.1574074074074073e-13, 2.0 * kSecond},  // +-10 s
    };
    const bool transit = context.flareMode == 0;
    const int stages = transit ? 3 : 2;
    double x = t0;
    StageResult r;
    for (int i = 0; i < stages; ++i) {
        const Stage& s = kStages[i];
        r = RunStage(context, x - s.before, x, x + s.after, s.tolerance, s.sampleStep);
        if (!std::isfinite(r.instant) || !std::isfinite(r.angle)) return 0;
        x = r.instant;
        if (i == 0) {
            WriteOut(r, eventTime, angleDegrees);
            if (r.angle * kRadToDegrees > kFirstStageLimitDegrees) return 0;
        }
    }
    WriteOut(r, eventTime, angleDegrees);
    return r.angle * kRadToDegrees <= (transit ? kTransitLimitDegrees : kFlareLimitDegrees) ? 1 : 0;
}

bool PanelAxes(const SatVector& position, const SatVector& velocity, double pitch, double yaw, SatVector* a,
               SatVector* b, SatVector* c) {
    const double speed = Length(velocity);
    const SatVector normal = Cross(position, velocity);
    const double normalLength = Length(normal);
    if (!(speed > 0.0) || !(normalLength > 0.0)) return false;
    const SatVector u = Scaled(velocity, 1.0 / speed);      // along track
    const SatVector h = Scaled(normal, 1.0 / normalLength);  // orbit normal
    const SatVector hu = Cross(h, u);
    const SatVector w = Scaled(hu, 1.0 / Length(hu));       // towards the Earth on a circular orbit
    const double pa = DegToRad(pitch), yb = DegToRad(yaw);
    const double sinA = std::sin(pa), cosA = std::cos(pa), sinB = std::sin(yb), cosB = std::cos(yb);
    *a = Sum(Sum(Scaled(w, sinA), Scaled(h, -cosA * sinB)), Scaled(u, cosA * cosB));
    *b = Sum(Scaled(u, sinB), Scaled(h, cosB));
    *c = Sum(Sum(Scaled(w, cosA), Scaled(h, sinA * sinB)), Scaled(u, -sinA * cosB));
    return true;
}

double PanelReflectionAngle(const SatVector& position, const SatVector& velocity, const SatVector& lineOfSight,
                            double sunRightAscension, double sunDeclination, double pitch, double yaw) {
    SatVector a, b, c;
    if (!PanelAxes(position, velocity, pitch, yaw, &a, &b, &c)) return kSatTwoPi / 2.0;
    const SatVector& s = lineOfSight;
    const SatVector reflected =
        Sum(Sum(Scaled(c, DotProduct(c, s)), Scaled(b, DotProduct(b, s))), Scaled(a, -DotProduct(a, s)));
    const double length = Length(reflected);
    if (!(length > 0.0)) return kSatTwoPi / 2.0;
    const double ra = std::atan2(reflected.y, reflected.x);
    const double dec = ClampedAsin(reflected.z / length);
    return SatAngularSeparation(sunRightAscension, sunDeclination, ra, dec);
}

double FlareAngle(const SatVector& position, const SatVector& velocity, const SatVector& lineOfSight,
                  double sunRightAscension, double sunDeclination) {
    double best = 0.0;
    for (int i = 0; i < 3; ++i) {
        const double angle = PanelReflectionAngle(position, velocity, lineOfSight, sunRightAscension, sunDeclination,
                                                  kPanels[i][0], kPanels[i][1]);
        if (i == 0 || angle < best) best = angle;
    }
    return best;
}

double SatAngularSeparation(double ra1, double dec1, double ra2, double dec2) {
    const double h = 0.5 * ((1.0 - std::cos(dec1 - dec2)) + std::cos(dec1) * std::cos(dec2) * (1.0 - std::cos(ra1 - ra2)));
    return 2.0 * ClampedAsin(std::sqrt(h > 0.0 ? h : 0.0));
}
