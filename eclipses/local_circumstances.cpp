#include "eclipses/local_circumstances.h"

#include <cmath>
#include <limits>

#include "astro/numerical_tools.h"
#include "core/report.h"
#include "eclipses/eclipse_math.h"
#include "eclipses/eclipse_state.h"
#include "eclipses/eclipse_sun_moon.h"
#include "eclipses/umbra_ground.h"

namespace {
constexpr double kSearchHalfWindow = 3.0;  // hours either side of the given hour
constexpr double kLongestStepping = 12.0;  // hours of steps before a contact counts as absent
constexpr double kContactTolerance = 1e-5;  // hours, 0.036 s

// Hour of the least distance of the centres within +-3 hours of t. Brent's search needs
// the middle below both ends; when the given hour is not such a middle (greatest eclipse
// far from it), the least of half-hourly samples is.
double FindGreatestHour(double t) {
    double best = std::numeric_limits<double>::quiet_NaN();
    MinimizeBrent(&best, t - kSearchHalfWindow, t, t + kSearchHalfWindow, 3.472222222222222e-12, LocalSeparationAt);
    if (std::isfinite(best)) return best;

    constexpr int kSamples = 13;
    double hours[kSamples], values[kSamples];
    int least = 0;
    for (int i = 0; i < kSamples; ++i) {
        hours[i] = t - kSearchHalfWindow + 0.5 * i;
        values[i] = LocalSeparationAt(hours[i]);
        if (values[i] < values[least]) least = i;
    }
    if (least == 0 || least == kSamples - 1) return hours[least];
    MinimizeBrent(&best, hours[least - 1], hours[least], hours[least + 1], 3.472222222222222e-12, LocalSeparationAt);
    return std::isfinite(best) ? best : hours[least];
}
}  // namespace

double CoveredShare(double k, double r) {
    if (!(k > 0.0) || !(r >= 0.0)) return 0.0;
    if (r >= 1.0 + k) return 0.0;
    if (r <= std::fabs(1.0 - k)) return k >= 1.0 ? 1.0 : k * k;
    // The lens of two discs of radii 1 and k whose centres are r apart.
    const double moonPart = k * k * ClampedAcos((r * r + k * k - 1.0) / (2.0 * r * k));
    const double sunPart = ClampedAcos((r * r + 1.0 - k * k) / (2.0 * r));
    const double product = (-r + k + 1.0) * (r + k - 1.0) * (r - k + 1.0) * (r + k + 1.0);
    const double area = moonPart + sunPart - 0.5 * std::sqrt(product > 0.0 ? product : 0.0);
    const double share = area / kPi;
    return share < 0.0 ? 0.0 : (share > 1.0 ? 1.0 : share);
}

double GetLocalCircumstances(const BesselElements& elements, int which, double latitude, double longitudeWest,
                             double heightMetres, double deltaTSeconds, double* utHours, LocalCircumstances* out) {
    const double t = *utHours;
    const PlaceOnPlane p = LocatePlace(elements, ElementHoursFromUt(elements, t, deltaTSeconds), latitude,
                                       longitudeWest, heightMetres, deltaTSeconds);
    const BesselValues& v = p.at;
    const double U = p.U, V = p.V, a = p.a, b = p.b, n = p.n, L1 = p.L1, L2 = p.L2;
    const double sinD = p.sinD, cosD = p.cosD, sinH = p.sinH, cosH = p.cosH;
    const double phi = latitude * kDegToRad;
    const double sinPhi = std::sin(phi), cosPhi = std::cos(phi);

    double hour = t - (U * a + V * b) / (n * n);
    if (which != 0) {
        const double S = (a * V - b * U) / (n * L1);
        const double rest = 1.0 - S * S;
        // Outside the penumbra's reach there is no first or last contact.
        hour = rest > 0.0 ? hour + which * L1 * std::sqrt(rest) / n : -1.0;
    }
    if (!std::isfinite(hour)) hour = -1.0;

    const double delta = std::fabs(a * V - b * U) / n;  // least distance of the place from the axis
    const double magnitude = (L1 - delta) / (L1 + L2);
    const double k = (L1 - L2) / (L1 + L2);

    LocalCircumstances& c = *out;
    c.magnitude = magnitude;
    c.altitude = ClampedAsin(sinPhi * sinD + cosPhi * cosD * cosH) * kRadToDeg;
    c.azimuth = std::fmod(std::atan2(-cosD * sinH, cosPhi * sinD - sinPhi * cosD * cosH) * kRadToDeg + 360.0,
                          360.0);
    const double cosAltitude = std::cos(c.altitude * kDegToRad);
    double q = cosAltitude > 0.0 ? ClampedAsin(cosPhi * sinH / cosAltitude) * kRadToDeg : 0.0;
    if (p.eta < 0.0) q = 180.0 - q;
    // atan(U / V), plus 180 when V < 0.
    double P = std::atan2(U, V) * kRadToDeg;
    if (P < -90.0) P += 360.0;
    c.positionAngle = P;
    c.vertexAngle = P - q;

    double share;
    if (!(magnitude > 0.0)) {
        share = 0.0;
    } else if (magnitude >= 1.0) {
        share = 1.0;
    } else if (L2 >= 0.0 && std::fabs(L2) >= delta) {
        share = k * k;  // the Moon's disc inside the Sun's
    } else {
        const double C = ClampedAcos((L1 * L1 + L2 * L2 - 2.0 * delta * delta) / (L1 * L1 - L2 * L2));
        const double B = ClampedAcos((L1 * L2 + delta * delta) / (delta * (L1 + L2)));
        share = ((kPi - B - C) * k * k + B - k * std::sin(C)) / kPi;
    }
    c.obscuration = std::floor(share * 1000.0 + 0.5) * 0.1;

    c.outerDuration = 7200.0 * std::fabs(L1) / n;
    c.centralDuration = 7200.0 * std::fabs(L2) / n;
    const double rho1 = std::sqrt(1.0 - kEarthEccentricitySquared * cosD * cosD);
    const double y1 = v.y / rho1;
    const double zeta1Squared = 1.0 - v.x * v.x - y1 * y1;
    if (zeta1Squared >= 0.0) {
        const double along = (a * v.x + b * y1) / n;
        c.pathWidth = kEarthDiameterKm * std::fabs(L2) / std::sqrt(zeta1Squared + along * along);
    } else {
        c.pathWidth = 0.0;
    }

    *utHours = hour;
    return hour;
}

double ComputeLocalOverlap(double t0UtCenturies, double* diameterRatio, double* magnitude) {
    EclipseState& s = eclipseState;
    SetEclipseSiderealTime(t0UtCenturies);
    double ra, dec, distance;
    GetApparentSun(s.eclipseT, &ra, &dec, &distance);
    GetApparentMoon(s.eclipseT, &ra, &dec, &distance);
    s.siderealTime = (s.eclipseT * 36525.0 - s.dayNumber) * kSiderealHoursPerDay + s.siderealTime0;

    TopocentricCorrection();  // the Moon
    const EclipseBody moon = s.work;
    s.work = EclipseBody{s.sunRAHours, s.sunDec, s.sunDistance};
    TopocentricCorrection();  // the Sun, whose altitude and azimuth stay in the state
    const EclipseBody sun = s.work;

    const double dAlpha = (sun.raHours - moon.raHours) * kHoursToRad;
    const double separation =
        2.0 * ClampedAcos(std::cos(dAlpha) * std::cos(sun.declination) * std::cos(moon.declination) +
                          std::sin(sun.declination) * std::sin(moon.declination));
    s.centreSeparation = separation;
    // The distance in units of the Sun's apparent radius (1 AU over the Sun's diameter of
    // 1392530 km), and the Moon's diameter (3476.18 km) against the Sun's.
    const double r = separation * sun.distance * 107.42883097671145;
    *diameterRatio = (sun.distance / moon.distance) * 0.0024963052860620598;
    *magnitude = (*diameterRatio + 1.0 - r) / 2.0;
    return separation;
}

double LocalSeparationAt(double utHours) {
    eclipseState.clockHours = utHours;
    double ratio, magnitude;
    return ComputeLocalOverlap(eclipseState.dayNumber / 36525.0, &ratio, &magnitude);
}

double StepToContact(double t0UtCenturies, double fromHours, double step, double threshold, double* diameterRatio) {
    auto magnitudeAt = [&](double hours) {
        eclipseState.clockHours = hours;
        double magnitude;
        ComputeLocalOverlap(t0UtCenturies, diameterRatio, &magnitude);
        return magnitude;
    };
    double hours = fromHours;
    double magnitude = magnitudeAt(hours);
    if (!(magnitude >= threshold)) return -1.0;

    const int maxSteps = ToIntChecked(kLongestStepping / std::fabs(step), 0);
    for (int i = 0; i < maxSteps; ++i) {
        ShowBusy(1);
        const double previousHours = hours;
        const double previous = magnitude;
        hours += step;
        magnitude = magnitudeAt(hours);
        if (!std::isfinite(magnitude)) return -1.0;
        if (magnitude >= threshold) continue;
        // The step brackets the contact. A straight line through the two magnitudes is
        // far off near the central line, where the magnitude bends sharply at greatest
        // eclipse (a third of a short totality); the root inside the bracket is not.
        const double linear = hours - (threshold - magnitude) * step / (previous - magnitude);
        const double root = FindRootBrent([&](double h) { return magnitudeAt(h) - threshold; }, previousHours, hours,
                                          kContactTolerance);
        return std::isfinite(root) ? root : linear;
    }
    return -1.0;
}

void FindInnerContacts(double* start, double* end, double t0UtCenturies, double fromHours, double step,
                       double threshold, double diameterRatio) {
    *start = StepToContact(t0UtCenturies, fromHours, -step, threshold, &diameterRatio);
    *end = StepToContact(t0UtCenturies, fromHours, step, threshold, &diameterRatio);
}

void FindLocalContacts(LocalEclipse* local, int year, int month, int day, int hour, int minute, double latitude,
                       double longitudeWest) {
    EclipseState& s = eclipseState;
    local->innerStart = local->innerEnd = local->outerStart = local->outerEnd = -1.0;
    SetEclipseInstant(year, month, day, hour, minute, 0);
    s.axisLatitude = latitude;
    s.axisLongitude = longitudeWest;
    NormalizeEclipsePlace(local);
    const double T = s.dayNumber / 36525.0;

    const double greatest = FindGreatestHour(hour + minute / 60.0);
    local->maxTime = greatest;
    s.clockHours = greatest;
    double ratio, magnitude;
    ComputeLocalOverlap(T, &ratio, &magnitude);
    local->maxMagnitude = magnitude;
    local->sunAltitude = s.bodyAltitude * kRadToDeg;
    local->sunAzimuth = s.bodyAzimuth * kRadToDeg;
    local->separation = s.centreSeparation / 2.0 * kRadToDeg + 0.008333;

    if (magnitude < 0.0) {
        ShowMessage("No Eclipse found!", "");
        local->obscuration = 0;
    } else if (magnitude <= 1.0) {
        const double r = ratio + 1.0 - 2.0 * magnitude;  // the centres' distance in Sun radii
        local->obscuration = ToIntChecked(CoveredShare(ratio, r) * 100.0 + 0.5, 0);
    } else {
        local->obscuration = 100;
    }

    const double ratioAtGreatest = ratio;
    local->outerStart = StepToContact(T, greatest, -0.3, 0.0, &ratio);
    local->outerEnd = StepToContact(T, greatest, 0.3, 0.0, &ratio);
    if (magnitude > 1.0)
        FindInnerContacts(&local->innerStart, &local->innerEnd, T, greatest, 0.03, 1.0, ratioAtGreatest);
    else if (magnitude > ratioAtGreatest)
        FindInnerContacts(&local->innerStart, &local->innerEnd, T, greatest, 0.03, ratioAtGreatest, ratioAtGreatest);
    HideBusy(1);
}
