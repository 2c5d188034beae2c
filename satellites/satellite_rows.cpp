#include "satellites/satellite_rows.h"

#include <cstdio>
#include <cstring>

#include "catalog/databases.h"
#include "core/calendar.h"
#include "core/number_text.h"
#include "core/settings.h"
#include "platform/dialog.h"
#include "satellites/satellite_form_units.h"
#include "satellites/satellites_assistant.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using namespace satellites_form;

void DrawSatelliteNameRow(int row, Bounds rect, int, int) {
    if (!satelliteDb || row < 0 || row >= GetSatelliteCount()) return;
    SatelliteRecord scratch;
    if (!GetSatelliteData(row, &scratch)) return;
    char text[80];
    std::snprintf(text, sizeof text, "%s", scratch.name);
    Text(text, rect.x + Sx(2), rect.y);
}

void DrawSatelliteRowBand(int row, Bounds rect, int selected) {
    if (row % 2 != 0 || selected) return;
    const platform::Color band =
        preferences.word[pref::nightMode] != 0 ? platform::Rgb(40, 0, 0) : platform::Rgb(220, 220, 220);
    const platform::Color previous = SetForeColor(band);
    DrawRectangle(rect, 0);
    SetForeColor(previous);
}

void DrawSatellitePassRow(int row, Bounds rect, int selected) {
    const auto& table = satellitesAssistant.passTable;
    if (row < 0 || row >= static_cast<int>(table.size())) return;
    const SatellitePass& pass = table[static_cast<std::size_t>(row)];
    DrawSatelliteRowBand(row, rect, selected);
    char text[80];
    std::snprintf(text, sizeof text, "%s", pass.name);
    Text(text, rect.x + Sx(2), rect.y);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (satellitesAssistant.flareMode == 0 && satellitesAssistant.transitMode == 0) {
        JDToDate((pass.startJD + pass.endJD) / 2.0, &year, &month, &day, &hour, &minute, &second);
        std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
        const int x = rect.x + Sx(2) + Sx(125);
        Text(text, x, rect.y);
        std::snprintf(text, sizeof text, "%d\xB0", pass.maxAltitude);
        Text(text, x + Sx(58), rect.y);
        return;
    }
    JDToDate(pass.eventJD, &year, &month, &day, &hour, &minute, &second);
    char date[40];
    FormatDateShort(date, day, month, year);
    std::snprintf(text, sizeof text, "%s %02d:%02d:%02d", date, hour, minute, second);
    Text(text, rect.x + Sx(2) + Sx(105), rect.y);
}

int DrawSatelliteListHeader() {
    struct Column {
        const char* text;
        int x;
    };
    static const Column kPassColumns[] = {{"Date", 2},   {"Aos", 60},  {"Max", 125},
                                   {"Los", 190},  {"Alt", 240}, {"Durat\xB0", 265}};
    static const Column kNextColumns[] = {{"Name", 2}, {"Date", 130}, {"Time", 195}, {"Alt", 290}};
    static const Column kFlareColumns[] = {{"Name", 2}, {"Date", 130}, {"Time", 195}, {"Mag", 255}, {"Alt", 290}};
    const int previous = SetFont(1);
    const Column* columns = nullptr;
    int count = 0;
    switch (satellitesAssistant.viewMode) {
    case kPass:
    case kTransit: columns = kPassColumns, count = 6; break;
    case kNext: columns = kNextColumns, count = 4; break;
    case kFlare: columns = kFlareColumns, count = 5; break;
    default: break;
    }
    if (count > 0) {
        // The highlight colour: the highlight text colour is the background's own (white by
        // day, black at night) and would leave the titles unseen.
        const platform::Color colour = SetTextColor(GetHighlightColor());
        const int y = 2 * Sy(24);
        for (int i = 0; i < count; ++i) Text(columns[i].text, Sx(columns[i].x), y);
        SetTextColor(colour);
    }
    SetFont(previous);
    return previous;
}

int CompareSatellitePasses(const SatellitePass& a, const SatellitePass& b) {
    if (satellitesAssistant.flareMode == 1) {
        if (a.eventJD > b.eventJD) return 1;
        return a.eventJD == b.eventJD ? 0 : -1;
    }
    if (a.startJD > b.startJD) return 1;
    if (a.startJD == b.startJD) return a.maxAltitude - b.maxAltitude;
    return -1;
}

double SatelliteElementAge() {
    const SatellitesAssistantState& s = satellitesAssistant;
    const double jd = DateTimeToJD(s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond,
                                   observerLocation.zoneMinutes);
    return jd - s.elements.epochJD;
}

void DrawSatelliteTlePage(int satellite) {
    const platform::Window w = GetActiveForm();
    if (!platform::IsWindow(w)) return;
    for (int id : {kTime, kDate, kNow, kClockPopup, kResultList, kShowInSky, kFovPopup, kElevationPopup, kStepPopup})
        HideObject(w, id);
    EraseWindow(w);
    for (int id : {kSatellitePopup, kLine1, kLine2, kDelete, kExport}) ShowObject(w, id);
    SatellitesAssistantState& s = satellitesAssistant;
    if (satellite < 0 || !s.recordLoaded) {
        SetField(kLine1, "");
        SetField(kLine2, "");
        return;
    }
    const int previous = SetFont(0);
    Text("Age Of TLE:", 50, Sy(24) + Sy(2 * 13) - Sy(4));
    char number[32];
    FormatFixed(number, SatelliteElementAge(), 1);
    char text[40];
    std::snprintf(text, sizeof text, "%sd", number);
    Text(text, 50 + Sx(82), Sy(24) + Sy(2 * 13) - Sy(3));
    SetPopupList(kSatellitePopup, kSatelliteList, satellite);
    SetPopupLabel(kSatellitePopup, s.elementRecord.name);
    const platform::Color colour = SetTextColor(GetForeColor());
    Text("TLE1:", 5, Sy(24 + 22));
    SetField(kLine1, s.elementRecord.line1);
    Text("TLE2:", 5, Sy(24 + 22 + 7 * 13));
    SetField(kLine2, s.elementRecord.line2);
    SetTextColor(colour);
    SetFont(previous);
}
