#include "eclipses/eclipse_list.h"

#include <cmath>
#include <cstdlib>

#include "astro/lunar_phases.h"
#include "astro/numerical_tools.h"
#include "astro/time_scales.h"
#include "core/angle_units.h"
#include "core/calendar.h"
#include "core/report.h"
#include "eclipses/eclipse_math.h"
#include "eclipses/eclipse_state.h"
#include "eclipses/eclipse_sun_moon.h"

const char eclipseTypeNames[kEclipseTypeNameCount][10] = {"", "Penumbral", "Partial", "Annular", "Total"};

const char* EclipseTypeName(double type) {
    const int index = ToIntChecked(type, 0);
    return index >= 0 && index < kEclipseTypeNameCount ? eclipseTypeNames[index] : eclipseTypeNames[0];
}

namespace {

void AddRow(EclipseEntry* row, int kind, double type, double jd, int duration) {
    row->kind = kind;
    row->type = type;
    row->refined = -1;
    row->duration = duration;
    JDToDate(jd, &row->year, &row->month, &row->day, &row->hour, &row->minute, &row->second);
}

// Seconds of the deepest phase that has both its contacts; 0 when none has.
int LunarDuration(const double* c) {
    static constexpr int kPhases[3][2] = {{kLunarU2, kLunarU3}, {kLunarU1, kLunarU4}, {kLunarP1, kLunarP4}};
    for (const auto& phase : kPhases) {
        const double start = c[phase[0]], end = c[phase[1]];
        if (std::isfinite(start) && std::isfinite(end) && end > 0.0)
            return ToIntChecked(std::fmod((end - start + 1.0) * 24.0, 24.0) * 3600.0, 0);
    }
    return 0;
}

}  // namespace

void FreeEclipseList(EclipseEntry** list) {
    if (!list) return;
    std::free(*list);
    *list = nullptr;
}

int BuildEclipseList(EclipseEntry** list, int maxCount, int year, int month, int day) {
    if (!list) return 0;
    FreeEclipseList(list);
    *list = static_cast<EclipseEntry*>(std::calloc(kEclipseListRows, sizeof(EclipseEntry)));
    if (!*list) {
        ShowMessage("Can't allocate memory for the eclipse list", "");
        return 0;
    }
    if (maxCount < 1) maxCount = 1;
    if (maxCount > kEclipseListMaxCount) maxCount = kEclipseListMaxCount;

    EclipseEntry* rows = *list;
    int count = 0;
    int lunation = 0;
    for (int step = 0; step < kEclipseListLunations && count < maxCount; ++step, ++lunation) {
        ShowBusy(1);
        // The first call finds the lunation of the date; later ones step on from it.
        const int fromDate = step == 0 ? 1 : 0;
        int y = year, m = month, d = day;
        double type = kEclipseNone, when = 0.0;
        const double newMoon =
            GetMoonPhaseTime(kPhaseNewMoon, 1, &type, &when, &lunation, fromDate, &d, &m, &y, 0, 0, nullptr);
        if (!std::isfinite(newMoon)) break;
        if (type != kEclipseNone && std::isfinite(when)) AddRow(&rows[count++], 1, type, when, 0);

        double circumstances[kLunarCircumstanceCount];
        y = year, m = month, d = day;
        type = kEclipseNone;
        const double fullMoon =
            GetMoonPhaseTime(kPhaseFullMoon, 1, &type, &when, &lunation, 0, &d, &m, &y, 0, 0, circumstances);
        if (!std::isfinite(fullMoon)) break;
        if (type != kEclipseNone && std::isfinite(when))
            AddRow(&rows[count++], 0, type, when, LunarDuration(circumstances));
    }
    HideBusy(1);
    return count;
}

double GreatestLunarEclipse(int year, int month, int day, int hour, int minute, int second, double* separation) {
    constexpr double kTwoHoursInCenturies = 2.2815423226100845e-6;
    const double deltaT = GetDeltaT(year, month, day);
    const double jd0 = DateTimeToJD(year, month, day, hour - 4, minute, second, 0);
    const double t0 = (jd0 + deltaT / 86400.0 - 2451545.0) / 36525.0;
    SelectPositionSource(0);

    double times[3], shadowRa[3], shadowDec[3], moonRa[3], moonDec[3];
    for (int i = 0; i < 3; ++i) {
        times[i] = jd0 + i / 12.0;
        const double t = t0 + i * kTwoHoursInCenturies;
        EclipseState& s = eclipseState;
        GetNutation(t, &s.nutationLongitude, &s.trueObliquity);
        double ra, dec, distance;
        GetApparentSun(t, &ra, &dec, &distance);
        shadowRa[i] = ra + kPi;
        shadowDec[i] = -dec;
        GetApparentMoon(t, &moonRa[i], &moonDec[i], &distance);
    }
    double least = 0.0, instant = 0.0;
    FindRiseSetTransit(times, shadowRa, shadowDec, moonRa, moonDec, &least, &instant);
    if (separation) *separation = least;
    return std::isfinite(instant) ? instant : times[2];
}
