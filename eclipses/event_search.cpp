#include "eclipses/event_search.h"

#include <cmath>
#include <cstring>

#include "astro/lunar_phases.h"
#include "astro/numerical_tools.h"
#include "astro/planet_positions.h"
#include "astro/planetary_theory.h"
#include "core/angle_units.h"
#include "core/calendar.h"
#include "core/report.h"
#include "core/settings.h"
#include "eclipses/eclipse_math.h"
#include "eclipses/event_list.h"

namespace {

constexpr int kFirstPlanet = kBodyMercury;
constexpr int kLastPlanet = kBodyPluto;
constexpr double kAlignedDegrees = 1.0;      // heliocentric directions this close: a candidate day
constexpr double kPairDegrees = 2.0;         // two planets this close: a conjunction to refine
constexpr double kRefinedPairDegrees = 3.0;  // kept when the refined separation is below this

struct LocalDate {
    int year, month, day;
};

LocalDate DayAfter(const LocalDate& start, int days) {
    LocalDate d = start;
    AddDays(&d.year, &d.month, &d.day, days);
    return d;
}

// A UT Julian day as the site's civil date and time.
void ToLocal(double jdUt, int zoneMinutes, int* year, int* month, int* day, int* hour, int* minute) {
    JDToDateTime(jdUt + zoneMinutes / 1440.0, year, month, day, hour, minute, nullptr);
}

// The New or Full Moons of the period, with the eclipses that fall on them.
void AddLunarPhases(double phase, float value, int eclipseEvent, const LocalDate& start, int periodDays,
                    int zoneMinutes) {
    int lunation = 0;
    for (int i = 0; i < periodDays; i += 30, ++lunation) {
        ShowBusy(1);
        LocalDate d = start;
        double eclipseType = kEclipseNone, eclipseJD = 0.0;
        const double jd = GetMoonPhaseTime(phase, 1, &eclipseType, &eclipseJD, &lunation, i == 0 ? 1 : 0, &d.day,
                                           &d.month, &d.year, 0, 0, nullptr);
        if (!std::isfinite(jd)) return;
        int y, m, dd, h, mi;
        ToLocal(jd, zoneMinutes, &y, &m, &dd, &h, &mi);
        AddEvent(0, 0, 0, 0, kEventMoonPhase, value, y, m, dd, h, mi, 1, 0);
        if (eclipseType != kEclipseNone && std::isfinite(eclipseJD)) {
            ToLocal(eclipseJD, zoneMinutes, &y, &m, &dd, &h, &mi);
            AddEvent(0, 0, 0, 0, eclipseEvent, static_cast<float>(eclipseType), y, m, dd, h, mi, 1, 0);
        }
    }
}

// The planet's heliocentric direction in the ecliptic plane against the Earth's.
struct Alignment {
    double angle;  // degrees between the directions
    double cross;  // sign tells on which side of the Earth's direction the planet lies
    double dot;    // positive when both lie on the same side of the Sun
};

Alignment Align(const float planet[3], const float earth[3]) {
    const double pr = std::hypot(planet[0], planet[1]), er = std::hypot(earth[0], earth[1]);
    Alignment a{};
    if (pr == 0.0 || er == 0.0) {
        a.angle = 180.0;
        return a;
    }
    const double bx = planet[0] / pr, by = planet[1] / pr, ex = earth[0] / er, ey = earth[1] / er;
    a.dot = bx * ex + by * ey;
    a.cross = bx * ey - by * ex;
    a.angle = ClampedAcos(a.dot) * kRadToDeg;
    return a;
}

// Records the opposition or inferior conjunction of `body` found on day `foundDay`: its
// instant from the extremum of the elongation over five days around it, to the hour.
void AddAlignment(int body, const LocalDate& start, int foundDay, double angle) {
    double elongation[5];
    for (int k = 0; k < 5; ++k) {
        const LocalDate d = DayAfter(start, foundDay + k - 2);
        BodyRecord record{};
        ComputePlanet(&record, body, d.year, d.month, d.day, 0, 0, 0);
        elongation[k] = record.elongation;
    }
    double n = FindZeroFivePoint(elongation[0], elongation[1], elongation[2], elongation[3], elongation[4]);
    // No extremum within the samples: the day itself.
    if (!std::isfinite(n) || std::fabs(n) > 2.0) n = 0.0;
    const double whole = std::floor(n);
    const LocalDate d = DayAfter(start, foundDay + static_cast<int>(whole));
    const int hour = static_cast<int>(24.0 * (n - whole));
    const float value = static_cast<float>(angle);
    AddEvent(0, body, 0, 0, kEventOpposition, value, d.year, d.month, d.day, hour, 0, 1, 0);
    // An inferior planet is then also close to the Sun.
    if (body < kBodyMars) AddEvent(0, body, 0, kBodySun, kEventConjunction, value, d.year, d.month, d.day, hour, 0, 1, 0);
}

void SearchPlanets(const LocalDate& start, int periodDays, int zoneMinutes) {
    float positions[kOrbitBodyCount][3] = {};
    float equatorial[kOrbitBodyCount][2] = {};
    Alignment previous[kOrbitBodyCount] = {};
    int lastFound[kOrbitBodyCount];
    for (int& f : lastFound) f = -2;

    for (int i = 0; i < periodDays; ++i) {
        ShowBusy(1);
        const LocalDate d = DayAfter(start, i);
        PlanetOrbitPosition(d.year, d.month, d.day, 0, 0, zoneMinutes, positions, equatorial, kOrbitHeliocentric,
                            kFirstPlanet, kBodyEarth);
        for (int b = kFirstPlanet; b <= kLastPlanet; ++b) {
            const Alignment now = Align(positions[b], positions[kBodyEarth]);
            // Mercury can pass the Earth's direction between two daily samples: a change of
            // side on the near side of the Sun counts as well as a day within 1 degree.
            const bool crossed = i > 0 && now.dot > 0.0 && previous[b].dot > 0.0 && (now.cross < 0.0) != (previous[b].cross < 0.0);
            if (now.angle < kAlignedDegrees || crossed) {
                const bool yesterday = i > 0 && previous[b].angle < now.angle;
                const int day = yesterday ? i - 1 : i;
                if (day != lastFound[b]) {
                    AddAlignment(b, start, day, yesterday ? previous[b].angle : now.angle);
                    lastFound[b] = day;
                }
            }
            previous[b] = now;
        }
        for (int b1 = kFirstPlanet; b1 <= kLastPlanet; ++b1) {
            const double a1 = equatorial[b1][0] * 15.0 * kDegToRad, d1 = equatorial[b1][1] * kDegToRad;
            for (int b2 = b1 + 1; b2 <= kLastPlanet; ++b2) {
                const double a2 = equatorial[b2][0] * 15.0 * kDegToRad, d2 = equatorial[b2][1] * kDegToRad;
                const double s =
                    ClampedAcos(std::cos(a1 - a2) * std::cos(d1) * std::cos(d2) + std::sin(d1) * std::sin(d2)) *
                    kRadToDeg;
                if (s < kPairDegrees)
                    AddEvent(0, b1, 0, b2, kEventConjunction, static_cast<float>(s), d.year, d.month, d.day, 0, 0, 1, 0);
            }
        }
    }
}

// Whether a record before `index` holds the same approach: a pair that stays close while
// more than three other records are added on the days between is recorded again, and
// refines to the same instant.
bool RefinedBefore(int index, int zoneMinutes) {
    const EventRecord& r = eventList.records[index];
    const double when = DateTimeToJD(r.year, r.month, r.day, r.hour, r.minute, 0, zoneMinutes);
    for (int j = 0; j < index; ++j) {
        const EventRecord& e = eventList.records[j];
        if (e.type == r.type && e.keyA == r.keyA && e.firstBody == r.firstBody && e.keyB == r.keyB &&
            e.secondBody == r.secondBody &&
            std::fabs(DateTimeToJD(e.year, e.month, e.day, e.hour, e.minute, 0, zoneMinutes) - when) < 1.0)
            return true;
    }
    return false;
}

}  // namespace

void RefineConjunctions(int zoneMinutes) {
    for (int i = 0; i < eventList.count;) {
        EventRecord& r = eventList.records[i];
        if (r.type != kEventConjunction) {
            ++i;
            continue;
        }
        // The sampled instants are 0h local: their UT Julian days are the abscissae.
        double times[3], ra1[3], dec1[3], ra2[3], dec2[3];
        bool computed = true;
        for (int k = 0; k < 3; ++k) {
            const LocalDate d = DayAfter(LocalDate{r.year, r.month, r.day}, k - 1);
            times[k] = JulianDay0h(d.year, d.month, d.day) - zoneMinutes / 1440.0;
            BodyRecord first{}, second{};
            computed = ComputePlanet(&first, r.firstBody, d.year, d.month, d.day, 0, 0, 0) &&
                       ComputePlanet(&second, r.secondBody, d.year, d.month, d.day, 0, 0, 0) && computed;
            ra1[k] = first.rightAscension * kHoursToRad, dec1[k] = first.declination * kDegToRad;
            ra2[k] = second.rightAscension * kHoursToRad, dec2[k] = second.declination * kDegToRad;
        }
        if (!computed) {  // no positions for these dates: the record stays as found
            ++i;
            continue;
        }
        double separation = 0.0, instant = 0.0;
        FindRiseSetTransit(times, ra1, dec1, ra2, dec2, &separation, &instant);
        const double degrees = separation / 3600.0;
        if (degrees < kRefinedPairDegrees) {
            r.value = static_cast<float>(degrees);
            // A standing offset has no instant of its own: the record keeps its day.
            if (std::isfinite(instant)) ToLocal(instant, zoneMinutes, &r.year, &r.month, &r.day, &r.hour, &r.minute);
            if (!RefinedBefore(i, zoneMinutes)) {
                ++i;
                continue;
            }
        }
        std::memmove(&eventList.records[i], &eventList.records[i + 1],
                     sizeof(EventRecord) * static_cast<std::size_t>(eventList.count - i - 1));
        --eventList.count;
    }
}

int SearchEventPeriod(int year, int month, int day, int periodDays) {
    if (eventList.count > 0) {
        SortEvents();
        return eventList.count;
    }
    const int zone = observerLocation.zoneMinutes;
    const LocalDate start{year, month, day};
    AddLunarPhases(kPhaseFullMoon, 100.0f, kEventLunarEclipse, start, periodDays, zone);
    AddLunarPhases(kPhaseNewMoon, 0.0f, kEventSolarEclipse, start, periodDays, zone);
    SortEvents();
    SearchPlanets(start, periodDays, zone);
    if (eventList.count > 0) RefineConjunctions(zone);
    SortEvents();
    HideBusy(1);
    return eventList.count;
}
