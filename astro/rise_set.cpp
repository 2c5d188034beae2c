#include "astro/rise_set.h"
#include "astro/rise_set_internal.h"

#include <cmath>

#include "core/angle_units.h"
#include "astro/numerical_tools.h"
#include "astro/quick_sun_moon.h"
#include "astro/time_scales.h"
#include "core/settings.h"

RiseSetLstCache riseSetLstCache{};

namespace {

constexpr double kHoursToRad = 0.2617993877991829;
constexpr double kEarthRadiusMetres = 6378140.0;
// Refraction at the horizon and the semidiameter of a star-like object, radians.
constexpr double kHorizonAllowance = 0.010646508;
// Sidereal hours per solar hour.
constexpr double kSiderealRate = 1.00273790935;
constexpr double kSiderealDayHours = 24.0 / kSiderealRate;
constexpr int kCorrectionPasses = 2;
// How close (degrees) a rise or set must bring the body to the limit altitude to stand.
constexpr double kSettledAltitude = 0.002;
constexpr double kRootTolerance = 1e-7;  // days

double SiderealTimeAtNoon(int year, int month, int day, double longitude, int offsetMinutes) {
    RiseSetLstCache& c = riseSetLstCache;
    if (!c.filled || c.year != year || c.month != month || c.day != day || c.offsetMinutes != offsetMinutes ||
        c.longitude != longitude) {
        c.year = year;
        c.month = month;
        c.day = day;
        c.offsetMinutes = offsetMinutes;
        c.longitude = longitude;
        c.lst = LocalSiderealTime(year, month, day, 12, 0, 0, longitude, offsetMinutes);
        c.filled = true;
        ++c.computations;
    }
    return c.lst;
}

// Brings a day fraction into 0..1.
double IntoDay(double m) {
    while (m > 1.0) m -= 1.0;
    while (m < 0.0) m += 1.0;
    return m;
}


// The crossings of the limit altitude around a day (m from 0 to 1, days): `height` is the
// altitude above the limit, `transit` an upper culmination within the day or close to it,
// `cycle` the days from one transit to the next. Without `times` only `any` is found,
// which seldom needs a root.
struct DayCrossings {
    bool any;     // a rise or a set within the day
    double rise;  // the day's first rise, or else the nearest one before or after it
    double set;   // the same for the set
};

DayCrossings FindDayCrossings(const ScalarFunction& height, double transit, double cycle, bool times) {
    // Culminations from a cycle and a half before the transit to a cycle and a half after
    // it: upper at even steps, lower at odd ones; the day lies well inside.
    constexpr int kSteps = 6;
    double at[kSteps + 1], value[kSteps + 1];
    for (int k = 0; k <= kSteps; ++k) {
        at[k] = transit + (k - kSteps / 2) * 0.5 * cycle;
        value[k] = height(at[k]);
    }
    DayCrossings c{false, std::nan(""), std::nan("")};
    // How far a time lies outside the day; 0 inside it.
    auto outside = [](double m) { return m < 0.0 ? -m : (m >= 1.0 ? m - 1.0 : 0.0); };
    // The first one within the day wins, else the one nearest to it.
    auto keep = [&](double* best, double m) {
        const double a = outside(m), b = outside(*best);
        if (std::isnan(*best) || a < b || (a == 0.0 && b == 0.0 && m < *best)) *best = m;
    };
    for (int k = 0; k < kSteps; ++k) {
        if ((value[k] > 0.0) == (value[k + 1] > 0.0)) continue;
        if (!times) {
            // A stretch wholly inside or outside the day holds its crossing there.
            if (at[k] >= 0.0 && at[k + 1] < 1.0) return DayCrossings{true, 0.0, 0.0};
            if (at[k + 1] < 0.0 || at[k] >= 1.0) continue;
        }
        const double root = FindRootBrent(height, at[k], at[k + 1], kRootTolerance);
        if (std::isnan(root)) continue;
        if (root >= 0.0 && root < 1.0) c.any = true;
        keep(value[k] > 0.0 ? &c.set : &c.rise, root);
    }
    // A partner not found within a cycle and a half is put beyond that span.
    if (std::isnan(c.rise)) c.rise = at[0];
    if (std::isnan(c.set)) c.set = at[kSteps];
    return c;
}

}  // namespace

double NormalizeHourAngle(double hours) {
    double h = std::fmod(hours, 24.0);
    if (h > 12.0) h -= 24.0;
    if (h < -12.0) h += 24.0;
    return h;
}

double ComputeAltitude(double lst, double ra, double dec, double latitude) {
    const double H = NormalizeHourAngle(lst - ra) * kHoursToRad;
    const double d = dec * kDegToRad, phi = latitude * kDegToRad;
    return std::asin(std::sin(d) * std::sin(phi) + std::cos(d) * std::cos(H) * std::cos(phi)) * kRadToDeg;
}

double ComputeAzimuth(double lst, double ra, double dec, double latitude) {
    const double H = NormalizeHourAngle(lst - ra) * kHoursToRad;
    const double d = dec * kDegToRad, phi = latitude * kDegToRad;
    double A = std::atan2(-std::sin(H) * std::cos(d), std::sin(d) * std::cos(phi) - std::cos(H) * std::cos(d) * std::sin(phi));
    if (A < 0.0) A += kTwoPi;
    return A * kRadToDeg;
}

int ComputeRiseSet(int year, int month, int day, double latitude, double longitude, int offsetMinutes, int height,
                   double altitude, double ra, double dec, double* rise, double* transit, double* set) {
    // A site below sea level sees no lower horizon than one at sea level.
    const double dip = height > 0 ? std::acos(kEarthRadiusMetres / (kEarthRadiusMetres + height)) : 0.0;
    const double lst12 = SiderealTimeAtNoon(year, month, day, longitude, offsetMinutes);

    // Sidereal hours from noon turned into clock hours.
    double t = 12.0 + NormalizeHourAngle(ra - lst12) / kSiderealRate;
    if (t < 0.0) t += 24.0;
    if (t > 24.0) t -= 24.0;

    const double h = altitude * kDegToRad - (dip + kHorizonAllowance);
    const double phi = latitude * kDegToRad, d = dec * kDegToRad;
    const double cosH0 = (std::sin(h) - std::sin(phi) * std::sin(d)) / (std::cos(phi) * std::cos(d));
    if (cosH0 < -1.0) {
        *rise = 0.0;
        *transit = t;
        *set = kNeverSetsHour;
        return 0;
    }
    if (!(cosH0 <= 1.0)) {  // also the undefined case at a pole
        *rise = *transit = *set = 0.0;
        return 0;
    }
    // A rise before midnight or a set after it is replaced by the one of the neighbouring
    // transit that falls on this date, a sidereal day away.
    const double H0 = std::acos(cosH0) * kRadToDeg / 15.0 / kSiderealRate;
    double r = t - H0;
    if (r < 0.0) r += kSiderealDayHours;
    double s = t + H0;
    if (s > 24.0) s -= kSiderealDayHours;
    *rise = r;
    *transit = t;
    *set = s;
    return 0;
}

bool RiseSetAllDay(int result, double rise, double transit, double set) {
    return result == kRiseSetNeverSets || (rise == 0.0 && transit == 0.0 && set == 0.0);
}

int ComputeRiseSetMovingAt(const ObserverLocation& site, double deltaT, int year, int month, int day, int hour,
                           int minute, int second, double ra1, double dec1, double ra2, double dec2, double ra3,
                           double dec3, double altitude, double* rise, double* transit, double* set) {
    const double theta0 = LocalSiderealTime(year, month, day, hour, minute, second, 0.0, site.zoneMinutes) * 15.0;
    const double sinLat = site.sinLatitude;
    const double cosLat = site.cosLatitude;
    const double h0 = altitude;

    const double cosH0 = (std::sin(h0 * kDegToRad) - sinLat * std::sin(dec2 * kDegToRad)) /
                         (cosLat * std::cos(dec2 * kDegToRad));
    if (ra1 > ra2) {
        ra2 += 24.0;
        ra3 += 24.0;
    }
    if (ra2 > ra3) ra3 += 24.0;

    const double L = site.longitude;
    // Altitude (degrees), declination and hour angle (radians) at m days.
    struct Place {
        double altitude, dec, hourAngle;
    };
    auto placeAt = [&](double m) {
        const double theta = std::fmod(theta0 + 360.985647 * m, 360.0);
        const double n = m + deltaT * 1.1574074074074073e-5;
        Place p;
        p.dec = Interpolate3(dec1, dec2, dec3, n) * kDegToRad;
        p.hourAngle = (theta - L - 15.0 * Interpolate3(ra1, ra2, ra3, n)) * kDegToRad;
        p.altitude =
            std::asin(sinLat * std::sin(p.dec) + cosLat * std::cos(p.dec) * std::cos(p.hourAngle)) * kRadToDeg;
        return p;
    };
    auto transitAfterCorrections = [&](double m) {
        for (int pass = 0; pass < kCorrectionPasses; ++pass) {
            double H = std::fmod(placeAt(m).hourAngle * kRadToDeg, 360.0);
            if (H > 180.0) H -= 360.0;
            if (H < -180.0) H += 360.0;
            m -= H / 360.0;
        }
        return m;
    };
    const double cycle = 360.0 / (360.985647 - 7.5 * (ra3 - ra1));  // days from transit to transit
    const double firstTransit = IntoDay((15.0 * ra2 - theta0 + L) / 360.0);

    // Whether the body rises or sets at all is decided from its altitudes over the day, not
    // from the declination at midnight alone: at the edge of the polar night the Sun may
    // clear the horizon for a few minutes around noon though its midnight declination keeps
    // it below. Between an upper and a lower culmination the altitude only falls (or
    // rises), so each such stretch holds at most one crossing of the limit.
    const bool estimated = std::fabs(cosH0) <= 1.0;
    const DayCrossings crossings = FindDayCrossings([&](double m) { return placeAt(m).altitude - h0; },
                                                    transitAfterCorrections(firstTransit), cycle, !estimated);
    if (!crossings.any) {
        if (placeAt(0.5).altitude > h0) {
            *rise = 0.0;
            *transit = 12.0;
            *set = kNeverSetsHour;
            return kRiseSetNeverSets;
        }
        *rise = *transit = *set = 0.0;
        return kRiseSetNormal;
    }
    if (!estimated) {
        // The midnight declination gives no estimate to start from: the crossings found
        // are the events.
        *rise = 24.0 * crossings.rise;
        *transit = 24.0 * transitAfterCorrections(firstTransit);
        *set = 24.0 * crossings.set;
        return kRiseSetNormal;
    }

    const double H0 = std::acos(cosH0) * kRadToDeg;
    double m0 = firstTransit;
    double m1 = IntoDay(m0 - H0 / 360.0);
    double m2 = IntoDay(m0 + H0 / 360.0);
    // The transit each event belongs to: this day's (0), the next (1) or the previous (-1).
    const double riseCycle = std::round(m1 - m0 + H0 / 360.0);
    const double setCycle = std::round(m2 - m0 - H0 / 360.0);

    auto correctRiseOrSet = [&](double m) {
        const Place p = placeAt(m);
        return m + (p.altitude - h0) / (360.0 * std::cos(p.dec) * cosLat * std::sin(p.hourAngle));
    };
    for (int pass = 0; pass < kCorrectionPasses; ++pass) {
        m1 = correctRiseOrSet(m1);
        double H = std::fmod(placeAt(m0).hourAngle * kRadToDeg, 360.0);
        if (H > 180.0) H -= 360.0;
        if (H < -180.0) H += 360.0;
        m0 -= H / 360.0;
        m2 = correctRiseOrSet(m2);
    }

    // Where the body only just rises (high latitudes, the Moon's fast change of
    // declination) the estimates start far from the event and the two passes either stop
    // short of it or run off to another one. Such a result is replaced by the crossing of
    // the limit altitude between the event's transit and the culmination below the pole
    // before (rise) or after (set) it.
    auto settle = [&](double m, bool isSet) {
        const double side = isSet ? 1.0 : -1.0;
        const double transitOfEvent = m0 + (isSet ? setCycle : riseCycle) * cycle;
        const double fromTransit = side * (m - transitOfEvent);
        if (fromTransit > 0.0 && fromTransit < 0.5 * cycle && std::fabs(placeAt(m).altitude - h0) < kSettledAltitude)
            return m;
        const double far = transitOfEvent + side * 0.5 * cycle;
        if (!(placeAt(transitOfEvent).altitude > h0 && placeAt(far).altitude < h0)) return m;
        const double root = FindRootBrent([&](double x) { return placeAt(x).altitude - h0; }, transitOfEvent, far,
                                          kRootTolerance);
        return std::isnan(root) ? m : root;
    };
    m1 = settle(m1, false);
    m2 = settle(m2, true);
    *rise = 24.0 * m1;
    *transit = 24.0 * m0;
    *set = 24.0 * m2;
    return kRiseSetNormal;
}

int ComputeMoonRiseSetAt(const ObserverLocation& site, double deltaT, int year, int month, int day, double* rise,
                         double* transit, double* set, double* dec) {
    double ra[3], de[3];
    for (int i = 0; i < 3; ++i) MoonPositionAt(site, deltaT, &ra[i], &de[i], year, month, day - 1 + i, 0, 0, 0);
    if (dec != nullptr) *dec = de[1];
    return ComputeRiseSetMovingAt(site, deltaT, year, month, day, 0, 0, 0, ra[0], de[0], ra[1], de[1], ra[2], de[2],
                                  kMoonRiseSetAltitude, rise, transit, set);
}

int ComputeMoonRiseSetTransitAt(const ObserverLocation& site, double deltaT, double nextDeltaT, int year, int month,
                                int day, double* rise, double* transit, double* set) {
    int result = ComputeMoonRiseSetAt(site, deltaT, year, month, day, rise, transit, set, nullptr);
    if (*rise >= 24.0 || *set >= 24.0) {
        double nextRise, nextTransit, nextSet;
        result = ComputeMoonRiseSetAt(site, nextDeltaT, year, month, day + 1, &nextRise, &nextTransit, &nextSet,
                                      nullptr);
        if (*rise >= 24.0) *rise = nextRise + 24.0;
        if (*set >= 24.0) *set = nextSet + 24.0;
    }
    return result;
}

int ComputeSunRiseSetAt(const ObserverLocation& site, double deltaT, int year, int month, int day, double* rise,
                        double* transit, double* set, double* twilightEnd) {
    double ra[3], de[3];
    for (int i = 0; i < 3; ++i) SunPositionAt(site, deltaT, &ra[i], &de[i], year, month, day - 1 + i, 0, 0, 0);
    if (twilightEnd != nullptr) {
        double r, t, s;
        ComputeRiseSetMovingAt(site, deltaT, year, month, day, 0, 0, 0, ra[0], de[0], ra[1], de[1], ra[2], de[2],
                               kAstronomicalTwilightAltitude, &r, &t, &s);
        *twilightEnd = s;
    }
    return ComputeRiseSetMovingAt(site, deltaT, year, month, day, 0, 0, 0, ra[0], de[0], ra[1], de[1], ra[2], de[2],
                                  kSunRiseSetAltitude, rise, transit, set);
}

int ComputeRiseSetMoving(int year, int month, int day, int hour, int minute, int second, double ra1, double dec1,
                         double ra2, double dec2, double ra3, double dec3, double altitude, double* rise,
                         double* transit, double* set) {
    return ComputeRiseSetMovingAt(observerLocation, GetDeltaT(year, month, day), year, month, day, hour, minute,
                                  second, ra1, dec1, ra2, dec2, ra3, dec3, altitude, rise, transit, set);
}

int ComputeMoonRiseSet(int year, int month, int day, double* rise, double* transit, double* set, double* dec) {
    return ComputeMoonRiseSetAt(observerLocation, GetDeltaT(year, month, day), year, month, day, rise, transit, set,
                                dec);
}

int ComputeMoonRiseSetTransit(int year, int month, int day, double* rise, double* transit, double* set) {
    return ComputeMoonRiseSetTransitAt(observerLocation, GetDeltaT(year, month, day),
                                       GetDeltaT(year, month, day + 1), year, month, day, rise, transit, set);
}

int ComputeSunRiseSet(int year, int month, int day, double* rise, double* transit, double* set, double* twilightEnd) {
    return ComputeSunRiseSetAt(observerLocation, GetDeltaT(year, month, day), year, month, day, rise, transit, set,
                               twilightEnd);
}
