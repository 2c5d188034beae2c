#include "planets/comet_lists.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "astro/minor_body_magnitude.h"
#include "astro/numerical_tools.h"
#include "catalog/databases.h"
#include "core/calendar.h"
#include "core/number_text.h"
#include "core/report.h"
#include "objects/comet_position.h"
#include "planets/orbit_state.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/list_views.h"
#include "shell/utilities.h"

std::vector<CometListEntry> cometMagList;
CometRecord cometWorkRecord;

namespace {

constexpr double kBestDateTolerance = 1.1574074074074075e-10;
constexpr int kAsteroidKind = 18;

int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }
int TextWidth(const char* text) { return CharsWidth(text, static_cast<int>(std::strlen(text))); }

int CometCount() { return GetDbRecordCount(cometDb, 1); }

int YearOf(double jd) {
    int year = 0;
    JDToDate(jd, &year, nullptr, nullptr, nullptr, nullptr, nullptr);
    return year;
}

// The place at jd for the equinox of jd's own year; 0 when the orbit cannot be solved.
int PositionAt(const CometElements& elements, double jd, CometPosition* position) {
    return ComputeCometPosition(elements, jd, YearOf(jd), position);
}

double EarthDistanceAt(const CometElements& elements, double jd) {
    CometPosition p;
    if (!PositionAt(elements, jd, &p)) return std::numeric_limits<double>::quiet_NaN();
    return p.earthDistance;
}

// The least of f inside [lo, hi] for a function that falls, then rises, by golden
// sections down to about a second.
double GoldenMinimum(double lo, double hi, const ScalarFunction& f, double* fx) {
    constexpr double kRatio = 0.6180339887498949;
    double a = lo, b = hi;
    double c = b - kRatio * (b - a), d = a + kRatio * (b - a);
    double fc = f(c), fd = f(d);
    while (b - a > 1e-5) {
        if (fc < fd) {
            b = d, d = c, fd = fc;
            c = b - kRatio * (b - a);
            fc = f(c);
        } else {
            a = c, c = d, fc = fd;
            d = a + kRatio * (b - a);
            fd = f(d);
        }
    }
    const double x = (a + b) / 2.0;
    *fx = f(x);
    return x;
}

}  // namespace

double CometReferenceDate(const CometRecord& record) {
    if (static_cast<int>(record.kind) != kAsteroidKind) return MakeCometElements(record).perihelionJd;
    const double perihelionDay = DateTimeToJD(record.year, record.month, static_cast<int>(record.perihelionDay), 0, 0, 0, 0);
    int year = 0, month = 0, day = 0;
    JDToDate(2.0 * record.epochJd - perihelionDay, &year, &month, &day, nullptr, nullptr, nullptr);
    return DateTimeToJD(year, month, day, 0, 0, 0, 0);
}

int FindLeastEarthDistance(const CometRecord& record, double first, double ref, double last, double* jd,
                           double* distance) {
    const CometElements elements = MakeCometElements(record);
    const ScalarFunction f = [&elements](double t) { return EarthDistanceAt(elements, t); };
    const double atRef = f(ref), atFirst = f(first), atLast = f(last);
    if (!std::isfinite(atRef) || !std::isfinite(atFirst) || !std::isfinite(atLast)) return 0;
    double x = ref;
    if (atRef < atFirst && atRef < atLast) {
        const double least = MinimizeBrent(&x, first, ref, last, kBestDateTolerance, f);
        if (std::isfinite(least) && std::isfinite(x) && x >= first && x <= last) {
            *jd = x;
            *distance = least;
            return 1;
        }
    }
    // Delta falls or rises through the window (or Brent's search left it): the least daily
    // sample, then the least around it.
    const int days = static_cast<int>(std::floor(last - first));
    int best = 0;
    double bestValue = atFirst;
    for (int k = 1; k <= days; ++k) {
        const double v = f(first + k);
        if (v < bestValue) bestValue = v, best = k;
    }
    if (f(last) < bestValue) best = days + 1, bestValue = atLast;
    const double centre = best > days ? last : first + best;
    const double lo = std::max(first, centre - 1.0), hi = std::min(last, centre + 1.0);
    double value = 0.0;
    x = GoldenMinimum(lo, hi, f, &value);
    if (!(value < bestValue)) x = centre, value = bestValue;
    // The ends themselves may be the least: the search only narrows towards them.
    for (double end : {lo, hi})
        if (const double v = f(end); v < value) x = end, value = v;
    *jd = x;
    *distance = value;
    return 1;
}

std::vector<CometListEntry> ComputeBrightestEntries(int year, int month, int day, int hour, int minute) {
    std::vector<CometListEntry> entries;
    const double jdNow = DateTimeToJD(year, month, day, hour, minute, 0, 0);
    const int count = CometCount();
    entries.reserve(static_cast<std::size_t>(std::max(count, 0)));
    for (int n = 0; n < count; ++n) {
        if (!GetCometData(n, &cometWorkRecord)) continue;
        FillCometWorkElements(cometWorkRecord);
        CometPosition p;
        if (!ComputeCometPosition(MakeCometElements(cometWorkRecord), jdNow, year, &p)) continue;
        const double m = CometMagnitude(static_cast<int>(cometWorkRecord.kind), cometWorkRecord.magnitude1,
                                        cometWorkRecord.magnitude2, p.sunDistance, p.earthDistance, p.phaseAngle);
        if (!std::isfinite(m) || static_cast<float>(m) > static_cast<float>(kCometListMagnitudeCut)) continue;
        entries.push_back({n, static_cast<float>(m), year, month, day, hour, minute});
        ShowBusy(1);
    }
    HideBusy();
    // In hundredths of a magnitude; equal keys keep the record order.
    std::stable_sort(entries.begin(), entries.end(), [](const CometListEntry& a, const CometListEntry& b) {
        return std::lround(a.magnitude * 100.0) < std::lround(b.magnitude * 100.0);
    });
    return entries;
}

std::vector<CometListEntry> ComputeBestDatesEntries(int year, int month, int day, int hour, int minute) {
    std::vector<CometListEntry> entries;
    const double jdNow = DateTimeToJD(year, month, day, hour, minute, 0, 0);
    const int count = CometCount();
    for (int n = 0; n < count; ++n) {
        if (!GetCometData(n, &cometWorkRecord)) continue;
        const double ref = CometReferenceDate(cometWorkRecord);
        if (ref < jdNow - 30.0) continue;
        FillCometWorkElements(cometWorkRecord);
        const CometElements elements = MakeCometElements(cometWorkRecord);
        CometPosition atPerihelion;
        if (!PositionAt(elements, elements.perihelionJd, &atPerihelion)) continue;
        const int kind = static_cast<int>(cometWorkRecord.kind);
        const double h = cometWorkRecord.magnitude1, g = cometWorkRecord.magnitude2;
        const double m = CometMagnitude(kind, h, g, atPerihelion.sunDistance, atPerihelion.earthDistance,
                                        atPerihelion.phaseAngle);
        if (!std::isfinite(m) || static_cast<float>(m) > static_cast<float>(kCometListMagnitudeCut)) continue;
        const double after = kind == kAsteroidKind ? 90.0 : 30.0;
        double best = 0.0, least = 0.0;
        if (!FindLeastEarthDistance(cometWorkRecord, ref - 30.0, ref, ref + after, &best, &least)) continue;
        const double magnitude =
            CometMagnitude(kind, h, g, atPerihelion.sunDistance, least, atPerihelion.phaseAngle);
        if (!std::isfinite(magnitude)) continue;
        CometListEntry e;
        e.record = n;
        e.magnitude = static_cast<float>(magnitude);
        JDToDate(best, &e.year, &e.month, &e.day, &e.hour, &e.minute, nullptr);
        entries.push_back(e);
        ShowBusy(1);
    }
    HideBusy();
    std::stable_sort(entries.begin(), entries.end(), [](const CometListEntry& a, const CometListEntry& b) {
        if (a.year != b.year) return a.year < b.year;
        if (a.month != b.month) return a.month < b.month;
        return a.day < b.day;
    });
    return entries;
}

namespace {

void SelectListFont() { SetFont(GetDpiFactor() == 1 ? 2 : 4); }

void BuildList(bool bestDates) {
    OrbitFormState& s = orbitForm;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    if (GetDrawWindow()) FillRectangle(Bounds{0, Sy(46), width, height - Sy(68)});
    SelectListFont();
    s.viewRect = Bounds{0, Sy(46), width, height - Sy(46) - 13};
    cometMagList = bestDates ? ComputeBestDatesEntries(s.year, s.month, s.day, s.hour, s.minute)
                             : ComputeBrightestEntries(s.year, s.month, s.day, s.hour, s.minute);
    SetListRows(orbit_form::kRowList, static_cast<int>(cometMagList.size()));
    s.currentComet = cometMagList.empty() ? 0 : cometMagList.front().record;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", s.hour % 100, s.minute % 100);
    SetField(orbit_form::kTime, text);
    SetFont(0);
}

}  // namespace

void BuildBrightestList() { BuildList(false); }
void BuildBestDatesList() { BuildList(true); }

void DrawCometListRow(int row, const Bounds& rect) {
    if (row < 0 || row >= static_cast<int>(cometMagList.size())) return;
    const CometListEntry& e = cometMagList[static_cast<std::size_t>(row)];
    CometRecord record;
    if (!GetCometData(e.record, &record)) return;
    const int previousFont = GetFont();
    SelectListFont();
    const int y = rect.y;
    int nameX = 2;
    char name[sizeof record.name];
    std::snprintf(name, sizeof name, "%s", record.name);
    const bool bestDates = orbitForm.page == orbit_form::kBestDates;
    if (bestDates) {
        char date[40];
        FormatDateShort(date, e.day, e.month, e.year);
        DrawChars(date, static_cast<int>(std::strlen(date)), rect.x + 1, y);
        nameX = TextWidth("00/00/000") + 1;
        name[21] = '\0';
    }
    DrawChars(name, static_cast<int>(std::strlen(name)), rect.x + nameX, y);
    int field = nameX + TextWidth("AAAAAAAAAAAAAAA");
    if (orbitForm.page == orbit_form::kBrightest) field += Sx(50);
    char magnitude[32];
    FormatFixed(magnitude, e.magnitude, 1);
    const int right = rect.x + field + TextWidth("-00h00");
    DrawChars(magnitude, static_cast<int>(std::strlen(magnitude)), right - TextWidth(magnitude), y);
    SetFont(previousFont);
}
