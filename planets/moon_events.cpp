#include "planets/moon_events.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "astro/planet_positions.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "core/calendar.h"
#include "core/report.h"
#include "core/settings.h"
#include "planets/jupiter_view.h"
#include "planets/saturn_phenomena.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"

const char kJupiterEventMoons[kMoonEventSlots][10] = {"Io", "Europa", "Ganymede", "Callisto", ""};
const char kSaturnEventMoons[kMoonEventSlots][10] = {"Enceladus", "Tethys", "Dione", "Rhea", "Titan"};
const char* const kMoonEventKinds[6] = {"", "Transit", "Transit+Shadow", "Shadow", "Eclipse", "Occultation"};

namespace {

using platform::Color;

constexpr int kJupiterStep = 12;
constexpr int kSaturnStep = 7;
constexpr int kLastScanHour = 23;
// Seven samples 1.1 / 7 day apart: 0.943 days.
constexpr double kSaturnSampleStep = 1.1 / 7;

// The Julian day (terrestrial time) of a local instant, for Saturn's moon theory.
double SaturnJde(int year, int month, int day, int minutes) {
    return DateTimeToJD(year, month, day, 0, 0, 0, observerLocation.zoneMinutes) + minutes / 1440.0 +
           GetDeltaT(year, month, day) / 86400.0;
}

// Prepares the tables so that the seven samples bracket jd, centred on it.
void CoverSaturnInstant(double jd) {
    const std::vector<double>& instants = saturnTables[0];
    if (!instants.empty() && jd >= instants.front() && jd <= instants.back()) return;
    PrepareSaturnTables(jd - 3 * kSaturnSampleStep, kSaturnSampleStep, kBodySaturn);
}

// The local date and time `minutes` after local midnight of the date.
void LocalInstant(int year, int month, int day, int minutes, int* y, int* mo, int* d, int* h, int* mi) {
    *y = year, *mo = month, *d = day, *h = 0, *mi = 0;
    AddMinutes(y, mo, d, h, mi, minutes);
}

struct Interval {
    int start = 0, end = 0;  // minutes from the local midnight of the table's date
    bool used = false;
};

void WriteRecord(int year, int month, int day, int slot, int kind, const Interval& span, MoonEventRecord* out) {
    int y, mo, h;
    out->slot = slot;
    out->kind = kind;
    LocalInstant(year, month, day, span.start, &y, &mo, &out->startDay, &out->startHour, &out->startMinute);
    LocalInstant(year, month, day, span.end, &y, &mo, &out->endDay, &h, &out->endMinute);
    out->endHour = h;
}

// Minutes from the table's local midnight to a record's start or end; the record's day is
// within a day of the table's.
int RecordMinutes(int day, int hour, int minute, int tableYear, int tableMonth, int tableDay) {
    int offset = 0;
    if (day != tableDay) {
        int y = tableYear, m = tableMonth, d = tableDay, h = 0, mi = 0;
        AddMinutes(&y, &m, &d, &h, &mi, -1440);
        offset = day == d ? -1440 : 1440;
    }
    return offset + hour * 60 + minute;
}

}  // namespace

void MoonEventStates(int mode, int year, int month, int day, int minutes, int states[kMoonEventSlots]) {
    std::fill(states, states + kMoonEventSlots, 0);
    if (mode == kJupiterMode) {
        int y, mo, d, h, mi;
        LocalInstant(year, month, day, minutes, &y, &mo, &d, &h, &mi);
        DrawJupiter(0, 0, y, mo, d, h, mi, nullptr, nullptr, states, 0, 1, 1);
    } else if (mode == kSaturnMode) {
        const double jd = SaturnJde(year, month, day, minutes);
        CoverSaturnInstant(jd);
        GetSaturnPhenomena(jd, states);
    }
}

int ComputeMoonEvents(int mode, int year, int month, int day, long* scans) {
    PlanetViewState& v = planetView;
    if (v.eventYear == year && v.eventMonth == month && v.eventDay == day) return 0;
    std::memset(v.moonEventTable, 0, sizeof v.moonEventTable);
    v.eventYear = year, v.eventMonth = month, v.eventDay = day;
    v.eventHour = v.hour, v.eventMinute = v.minute;
    long count = 0;
    auto states = [&](int minutes, int out[kMoonEventSlots]) {
        ++count;
        MoonEventStates(mode, year, month, day, minutes, out);
    };
    if (mode == kSaturnMode) PrepareSaturnTables(SaturnJde(year, month, day, 0), kSaturnSampleStep, kBodySaturn);

    // Scan: one interval per slot and kind, from its first to its last step in that state.
    Interval spans[kMoonEventCount];
    const int step = mode == kJupiterMode ? kJupiterStep : kSaturnStep;
    int now[kMoonEventSlots];
    for (int minutes = step;; minutes += step) {
        ShowBusy(1);
        states(minutes, now);
        for (int slot = 0; slot < kMoonEventSlots; ++slot) {
            const int kind = now[slot];
            if (kind == 0) continue;
            if (kind < 0 || kind > 5) {
                ShowMessage("Bad event", "");
                continue;
            }
            Interval& span = spans[slot * 5 + kind - 1];
            if (!span.used) span = Interval{minutes, minutes, true};
            span.end = minutes;
        }
        if (minutes / 60 >= kLastScanHour) break;
    }

    // Refine each side to the minute, at most 12 hours out.
    for (int i = 0; i < kMoonEventCount; ++i) {
        Interval& span = spans[i];
        if (!span.used) continue;
        const int slot = i / 5, kind = i % 5 + 1;
        for (int moved = 0; moved < kMoonEventRefineLimit; ++moved) {
            states(span.start - 1, now);
            if (now[slot] != kind) break;
            --span.start;
        }
        for (int moved = 0; moved < kMoonEventRefineLimit; ++moved) {
            states(span.end + 1, now);
            if (now[slot] != kind) break;
            ++span.end;
        }
    }

    // By moon, then by start.
    int order[kMoonEventCount];
    for (int i = 0; i < kMoonEventCount; ++i) order[i] = i;
    std::stable_sort(order, order + kMoonEventCount, [&](int a, int b) {
        if (spans[a].used != spans[b].used) return spans[a].used;
        if (a / 5 != b / 5) return a / 5 < b / 5;
        return spans[a].start < spans[b].start;
    });
    for (int i = 0; i < kMoonEventCount; ++i) {
        const int k = order[i];
        if (spans[k].used) WriteRecord(year, month, day, k / 5, k % 5 + 1, spans[k], &v.moonEventTable[i]);
    }
    if (mode == kSaturnMode) FreeSaturnTables();
    HideBusy();
    if (scans) *scans += count;
    return 1;
}

int MoonEventStart(const MoonEventRecord& record) {
    const PlanetViewState& v = planetView;
    return RecordMinutes(record.startDay, record.startHour, record.startMinute, v.eventYear, v.eventMonth,
                         v.eventDay);
}

int MoonEventEnd(const MoonEventRecord& record) {
    const PlanetViewState& v = planetView;
    return RecordMinutes(record.endDay, record.endHour, record.endMinute, v.eventYear, v.eventMonth, v.eventDay);
}

bool MoonEventListed(const MoonEventRecord& record, int filter) {
    if (record.startDay == 0) return false;
    if (filter > 0 && record.slot != filter - 1) return false;
    return MoonEventEnd(record) >= 0 && MoonEventStart(record) < 1440;
}

namespace {

int Sx(int v) { return static_cast<int>(v * screenScale.horizontal); }
int Sy(int v) { return static_cast<int>(v * screenScale.vertical); }

void DrawText(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

void DrawBodyBar(int body, const char* name, int y, int rowHeight) {
    const PlanetViewState& v = planetView;
    const ObserverLocation& site = observerLocation;
    BodyRecord record{};
    ComputePlanet(&record, body, v.year, v.month, v.day, 21, 0, 0);
    double rise = 0, transit = 0, set = 0;
    ComputeRiseSet(v.year, v.month, v.day, site.latitude, site.longitude, site.zoneMinutes, site.height,
                   GetHorizonAltitude(), record.rightAscension, record.declination, &rise, &transit, &set);
    DrawText(name, 0, y);
    int width = v.screenWidth, height = v.screenHeight;
    if (width <= 0 || height <= 0) GetScreenSize(&width, &height);
    DrawDayBar(Sx(43), y, width - Sx(55), rowHeight - Sx(3), -1.0f, static_cast<float>(rise),
               static_cast<float>(transit), static_cast<float>(set));
}

}  // namespace

void DrawMoonEvents() {
    PlanetViewState& v = planetView;
    const int mode = v.mode;
    if (mode != kJupiterMode && mode != kSaturnMode) return;
    const int hour = v.hour, minute = v.minute;
    ComputeMoonEvents(mode, v.year, v.month, v.day);
    v.hour = hour, v.minute = minute;
    if (mode == kSaturnMode) FreeSaturnTables();
    HideBusy();
    SetPlanetColors();

    int width = v.screenWidth, height = v.screenHeight;
    if (width <= 0 || height <= 0) GetScreenSize(&width, &height);
    const int rowHeight = Sy(13) + Sx(3);
    int y = Sx(24);
    const Color previousText = SetTextColor(v.colours.foreground);
    const Color previousFore = SetForeColor(v.colours.stripBackground);
    const int previousTransparent = SetTextTransparent(1);
    const bool dayBars = height > Sy(240);
    if (dayBars) {
        DrawRectangle(Bounds{0, y, width, 2 * rowHeight}, 0);
        DrawBodyBar(kBodySun, "Sun", y, rowHeight);
        y += rowHeight;
        DrawBodyBar(mode == kJupiterMode ? kBodyJupiter : kBodySaturn, mode == kJupiterMode ? "Jupiter" : "Saturn", y,
                    rowHeight);
        y += rowHeight;
    }
    const int previousFont = SetFont(1);
    SetForeColor(v.colours.lightBand);
    DrawRectangle(Bounds{0, y, width, rowHeight}, 0);
    DrawText("Satellite", 0, y);
    DrawText("Start", Sx(65), y);
    DrawText("End", Sx(105), y);
    DrawText("Event", Sx(150), y);
    y += rowHeight;
    SetFont(0);

    const char(*names)[10] = mode == kJupiterMode ? kJupiterEventMoons : kSaturnEventMoons;
    const int filter = mode == kSaturnMode ? v.saturnMoonFilter : 0;
    const int lastRow = dayBars ? height / rowHeight : 13;
    int written = 0;
    for (const MoonEventRecord& r : v.moonEventTable) {
        if (!MoonEventListed(r, filter)) continue;
        if (!dayBars && written >= lastRow) break;
        if (y + rowHeight > height) break;
        SetForeColor(written % 2 == 0 ? v.colours.lightBand
                                      : (preferences.word[pref::nightMode] ? platform::Rgb(0, 0, 0)
                                                                           : platform::Rgb(255, 255, 255)));
        DrawRectangle(Bounds{0, y, width, rowHeight}, 0);
        char text[16];
        DrawText(names[r.slot], 0, y);
        std::snprintf(text, sizeof text, "%02dh%02d", r.startHour % 100, r.startMinute % 100);
        DrawText(text, Sx(65), y);
        std::snprintf(text, sizeof text, "%02dh%02d", r.endHour % 24, r.endMinute % 100);
        DrawText(text, Sx(105), y);
        DrawText(kMoonEventKinds[r.kind], Sx(150), y);
        y += rowHeight;
        ++written;
    }
    if (written == 0) DrawText("No event", 0, y);
    SetFont(previousFont);
    SetTextTransparent(previousTransparent);
    SetForeColor(previousFore);
    SetTextColor(previousText);
}
