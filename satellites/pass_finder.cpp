#include "satellites/pass_finder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "astro/numerical_tools.h"
#include "core/calendar.h"
#include "core/checked_math.h"
#include "core/report.h"
#include "satellites/satellite_geometry.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/keep_awake.h"

SatelliteSearchContext satelliteSearchContext;

namespace {

constexpr double kSemiMajorAxisFactor = 331.25;  // km, an orbit of one revolution a minute
constexpr double kMinutesPerDay = 1440.0;
constexpr double kRootBracket = 1.0 / 72.0;      // 20 minutes
constexpr double kOneMinute = 1.0 / 1440.0;
constexpr double kAosTolerance = 1.1574074074074074e-9;
constexpr double kLosTolerance = 3.4722222222222225e-10;
constexpr double kShortestStep = 0.0007;         // days, the step at the horizon
constexpr double kLongSearch = 1.0;              // days
constexpr int kLongSearchPollEvery = 5;

double RevolutionsPerDay(const TleElements& elements) { return elements.meanMotion * kMinutesPerDay / kSatTwoPi; }

// The scan's step (days) below the horizon: longer the deeper the satellite and the higher
// its orbit; about a minute at the horizon.
double ScanStep(double elevation, double height) {
    const double step = -0.00035 * (elevation * (height / 8400.0 + 0.46) - 2.0);
    return std::isfinite(step) ? std::max(step, kShortestStep) : kShortestStep;
}

// The root of the elevation between from and from + span days (span of either sign),
// found on offsets from `from`: Brent's tolerance grows with the size of the abscissa, and
// on Julian days it would be several seconds.
double ElevationRoot(double from, double span, double tolerance) {
    const double offset = FindRootBrent([from](double dt) { return SatelliteElevationAt(from + dt); },
                                        std::min(0.0, span), std::max(0.0, span), tolerance);
    return from + offset;
}

// Where the elevation crosses 0 on the side of t given by direction (-1 rise, +1 set): in the
// 20 minutes beside t, else minute by minute out to one orbital period, else nowhere (NaN,
// with *failed set when an elevation was not finite).
double FindHorizonCrossing(double t, int direction, double tolerance, double periodDays, bool* failed) {
    double crossing = ElevationRoot(t, direction * kRootBracket, tolerance);
    if (std::isfinite(crossing)) return crossing;
    // A long pass: still above the horizon 20 minutes out.
    for (double reach = kRootBracket + kOneMinute; reach <= periodDays + kOneMinute / 2.0; reach += kOneMinute) {
        const double edge = t + direction * reach;
        const double elevation = SatelliteElevationAt(edge);
        if (!std::isfinite(elevation)) {
            *failed = true;
            return std::numeric_limits<double>::quiet_NaN();
        }
        if (elevation <= 0.0) {
            crossing = ElevationRoot(edge, -direction * kOneMinute, tolerance);
            return std::isfinite(crossing) ? crossing : edge;
        }
    }
    return std::numeric_limits<double>::quiet_NaN();
}

PassOutcome RefusalOutcome(int status) {
    switch (status) {
    case kSatelliteDeepSpace: return PassOutcome::DeepSpace;
    case kSatelliteInvalid: return PassOutcome::Invalid;
    default: return PassOutcome::Decayed;
    }
}

void DrawScanProgress(double t, int x, int y) {
    int day = 0, hour = 0, minute = 0;
    JDToDate(t, nullptr, nullptr, &day, &hour, &minute, nullptr);
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%d %02d:%02d", day, hour, minute);
    DrawChars(text, length, x + 70, y);
}

}  // namespace

int CanSatelliteRise(const TleElements& elements, const double* latitude) {
    const double n = RevolutionsPerDay(elements);
    if (!(n > 0.0) || !std::isfinite(n)) return 0;
    double inclination = elements.inclination / kSatDegToRad;
    if (inclination >= 90.0) inclination = 180.0 - inclination;
    const double a = kSemiMajorAxisFactor * std::exp((2.0 / 3.0) * std::log(kMinutesPerDay / n));
    const double apogeeHeight = a * (1.0 + elements.eccentricity) - kSatEarthRadiusKm;
    // A negative apogee height (a set below the surface) reaches no further than the horizon.
    const double reach = DegToRad(inclination) + ClampedAcos(kSatEarthRadiusKm / (apogeeHeight + kSatEarthRadiusKm));
    return reach > std::fabs(*latitude) ? 1 : 0;
}

int IsGeostationary(const TleElements& elements) {
    return std::fabs(RevolutionsPerDay(elements) - kGeostationaryRevPerDay) < kGeostationaryTolerance ? 1 : 0;
}

double SatelliteElevationAt(double jd) {
    TleElements* elements = satelliteSearchContext.elements;
    if (!elements) return std::numeric_limits<double>::quiet_NaN();
    ++satelliteSearchContext.evaluations;
    if (EvaluateSatelliteLookAngles(jd, elements) != kSatelliteComputed) return std::numeric_limits<double>::quiet_NaN();
    return elements->elevation;
}

PassOutcome FindSatellitePasses(double start, double end, double* aos, double* los, TleElements* elements,
                                const double* latitude, int x, int y) {
    const bool longSearch = end - start > kLongSearch;
    satelliteSearchContext.evaluations = 0;
    satelliteSearchContext.elements = elements;

    const int status = SatellitePropagationStatus(*elements);
    if (status == kSatelliteInvalid) return PassOutcome::Invalid;
    // Both tests need no propagation; a geostationary set is also a deep-space one, and
    // saying which is more use to the user.
    if (IsGeostationary(*elements)) {
        ResetIdleTimer();
        return PassOutcome::Geostationary;
    }
    if (!CanSatelliteRise(*elements, latitude)) {
        ResetIdleTimer();
        return PassOutcome::CannotRise;
    }
    if (status != kSatelliteComputed) return RefusalOutcome(status);

    // The step depends on the height: take this satellite's own, not what the set last held.
    const int placed = ComputeSatelliteSubpoint(start, elements);
    if (placed != kSatelliteComputed) return RefusalOutcome(placed);
    const double height = elements->height;

    double t = start;
    double elevation = SatelliteElevationAt(t);
    ResetIdleTimer();
    if (!std::isfinite(elevation)) return PassOutcome::Decayed;

    int steps = 0;
    while (elevation <= 0.0) {
        t += ScanStep(elevation, height);
        if (!std::isfinite(t)) return PassOutcome::Decayed;
        if (t > end) return PassOutcome::NoPass;
        elevation = SatelliteElevationAt(t);
        if (!std::isfinite(elevation)) return PassOutcome::Decayed;
        if (longSearch) DrawScanProgress(t, x, y);
        ++steps;
        if (!longSearch || steps % kLongSearchPollEvery == 0) {
            if (IsNavKeyDown()) return PassOutcome::Stopped;
            ShowBusy(1);
        }
    }

    const double periodDays = elements->period / kMinutesPerDay;
    bool failed = false;
    double rise = FindHorizonCrossing(t, -1, kAosTolerance, periodDays, &failed);
    double set = failed ? rise : FindHorizonCrossing(t, +1, kLosTolerance, periodDays, &failed);
    if (failed) return PassOutcome::Decayed;
    // Above the horizon for a whole orbit either way: the pass fills the search window.
    if (!std::isfinite(rise)) rise = std::min(start, t);
    if (!std::isfinite(set)) set = std::max(end, t);
    *aos = rise;
    *los = set;
    ResetIdleTimer();
    return PassOutcome::Found;
}
