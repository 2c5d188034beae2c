#include "satellites/satellite_data_page.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/angle_text.h"
#include "catalog/databases.h"
#include "catalog/text_import.h"
#include "chart/object_layers.h"
#include "core/calendar.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/dialog.h"
#include "satellites/satellite_geometry.h"
#include "satellites/satellite_rows.h"
#include "satellites/satellite_form_units.h"
#include "satellites/satellites_assistant.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using namespace satellites_form;

namespace {

constexpr int kWorldMap = 6010;
constexpr int kSatelliteSymbol = 15;
constexpr std::size_t kMemoBlock = 3596;
constexpr double kRadToDeg = 57.29577951308232;


std::string Fixed(double value) {
    char text[48];
    FormatFixed(text, value, 1);
    return text;
}

struct MapFrame {
    int left, top, width, height;
};

// One orbit of the ground track, split where it crosses the map's side edges.
void DrawGroundTrack(const MapFrame& map, double startJD, double period, TleElements* elements) {
    const int step = GroundTrackStep(period);
    const int orbit = static_cast<int>(period + 0.5);
    int previousX = 0, previousY = 0;
    bool havePrevious = false;
    for (int minutes = 0; minutes < orbit; minutes += step) {
        const double jd = startJD + minutes / 1440.0;
        if (ComputeSatelliteSubpoint(jd, elements) != kSatelliteComputed) {
            havePrevious = false;
            continue;
        }
        int x = 0, y = 0;
        SatelliteMapPoint(elements->subLongitude, elements->subLatitude, map.left, map.top, map.width, map.height, &x,
                          &y);
        if (havePrevious) {
            const int right = map.left + map.width;
            if (std::abs(x - previousX) > map.width / 2) {
                if (x > map.left + map.width / 2 || previousX < map.left + map.width / 2) {
                    DrawLine(map.left, y, previousX, previousY);
                    DrawLine(x, y, right, previousY);
                } else {
                    DrawLine(x, y, map.left, previousY);
                    DrawLine(right, y, previousX, previousY);
                }
            } else {
                DrawLine(previousX, previousY, x, y);
            }
        }
        previousX = x, previousY = y, havePrevious = true;
    }
}

void DrawBlock(const char* heading, int x, int y, const std::string lines[][2], int count, int columnRight) {
    const bool dense = GetDpiFactor() > 1;
    int previous = SetFont(dense ? 5 : 1);
    Text(heading, x, y);
    SetFont(dense ? 4 : 0);
    const int rowHeight = Sy(12);
    for (int i = 0; i < count; ++i) {
        Text(lines[i][0].c_str(), x + Sx(2), y + (i + 1) * rowHeight);
        Text(lines[i][1].c_str(), columnRight - Sx(60), y + (i + 1) * rowHeight);
    }
    SetFont(previous);
}

}  // namespace

int GroundTrackStep(double periodMinutes) {
    const int step = static_cast<int>(0.04 * periodMinutes);
    return step < 1 ? 1 : step;
}

void SatelliteMapPoint(double longitudeWest, double latitude, int left, int top, int width, int height, int* x,
                       int* y) {
    *x = left + static_cast<int>(width * (180.0 - longitudeWest) / 360.0);
    *y = top + static_cast<int>(height * (90.0 - latitude) / 180.0);
}

int DrawSatelliteDataPage(int satellite) {
    SatellitesAssistantState& s = satellitesAssistant;
    const platform::Window w = GetActiveForm();
    if (!platform::IsWindow(w)) return 1;
    SetListRows(kSatelliteList, GetSatelliteCount());
    SetPopupList(kViewPopup, kViewList, s.viewMode);
    if (satellite < 0 || !s.recordLoaded) return 1;
    SetPopupList(kSatellitePopup, kSatelliteList, satellite);
    currentSatelliteRecord = s.elementRecord;
    const int status =
        ComputeSatellitePosition(s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond, &s.elements);
    s.passesValid = 1;
    SetPopupLabel(kSatellitePopup, s.elementRecord.name);
    char text[64];
    FormatDate(text, s.formDay, s.formMonth, s.formYear);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", s.formHour % 100, s.formMinute % 100);
    SetField(kTime, text);

    const MapFrame map{(s.screenWidth - Sx(240)) / 2, Sy(46), Sx(240), Sy(120)};
    DrawBitmap(kWorldMap, map.left, map.top);
    const platform::Color foreground = GetForeColor();
    const platform::Color previousColour = SetForeColor(foreground);
    if (status != kSatelliteComputed) {
        const int previous = SetFont(0);
        DrawTextInBox(SatelliteStatusText(status), Sx(4), map.top + map.height + Sy(6), s.screenWidth - Sx(8), Sy(60));
        SetFont(previous);
        SetForeColor(previousColour);
        return 1;
    }
    s.globeLongitude = static_cast<int>(s.elements.subLongitude);
    s.globeLatitude = static_cast<int>(s.elements.subLatitude);
    const double periodMinutes = s.elements.period;
    const int step = GroundTrackStep(periodMinutes);
    const double utc = DateTimeToJD(s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond,
                                    observerLocation.zoneMinutes);
    TleElements track = s.elements;
    DrawGroundTrack(map, utc - 2.0 * step / 1440.0, periodMinutes, &track);
    currentSatelliteRecord = s.elementRecord;
    ComputeSatellitePosition(s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond, &s.elements);
    int x = 0, y = 0;
    SatelliteMapPoint(s.elements.subLongitude, s.elements.subLatitude, map.left, map.top, map.width, map.height, &x, &y);
    DrawObjectSymbol(kSatelliteSymbol, 0, x, y);

    const TleElements& e = s.elements;
    const int top = map.top + map.height + Sy(4);
    const int half = s.screenWidth / 2;
    char ra[32], dec[32];
    HMSToStr(ra, sizeof ra, e.rightAscension);
    DMSToStr(dec, sizeof dec, e.declination);
    const std::string earth[3][2] = {
        {"Lat", Fixed(std::fabs(e.subLatitude)) + (e.subLatitude >= 0.0 ? "\xB0" "N" : "\xB0" "S")},
        {"Lon", Fixed(std::fabs(e.subLongitude)) + (e.subLongitude >= 0.0 ? "\xB0" "W" : "\xB0" "E")},
        {"Alt", Fixed(e.height) + "km"}};
    const std::string sky[4][2] = {{"Az", Fixed(e.azimuth) + "\xB0"},
                                   {"Alt", Fixed(e.elevation) + "\xB0"},
                                   {"RA", ra},
                                   {"Dec", dec}};
    DrawBlock("Earth Location", Sx(2), top, earth, 3, half);
    DrawBlock("Sky Location", half + Sx(2), top, sky, 4, s.screenWidth);
    std::snprintf(text, sizeof text, "%dmin", static_cast<int>(e.period + 0.5));
    std::string info[5][2] = {{"Velocity", Fixed(satVelocity.magnitude) + "km/s"},
                              {"Range", Fixed(e.range) + "km"},
                              {"Orbit period", text},
                              {"Inclination", Fixed(e.inclination * kRadToDeg) + "\xB0"},
                              {"Age Of TLE", Fixed(SatelliteElementAge()) + " days"}};
    const platform::Rect client = platform::GetClientRect(w);
    const int infoRows = Sy(240) < client.Height() ? 5 : 3;
    DrawBlock("Informations", Sx(2), top + Sy(62), info, infoRows, half + Sx(40));
    SetForeColor(previousColour);
    return 1;
}

int ExportSatellites() {
    std::string buffer;
    buffer.reserve(65536);
    int count = 0;
    const int records = GetSatelliteCount();
    for (int n = 0; n < records; ++n) {
        if (n % 5 == 0) ShowBusy(1);
        SatelliteRecord record;
        if (!GetSatelliteData(n, &record)) break;
        if (buffer.size() > kMemoBlock) {
            ExportMemo(buffer);
            ExportNoop();
            buffer.clear();
        }
        FormatSatelliteLine(buffer, record.name);
        FormatSatelliteLine(buffer, record.line1);
        FormatSatelliteLine(buffer, record.line2);
        ++count;
    }
    HideBusy();
    ExportMemo(buffer);
    ExportNoop();
    char text[64];
    std::snprintf(text, sizeof text, "%d Satellite record%s exported.\n", count, count > 1 ? "s" : "");
    ShowMessage(text, "");
    return 1;
}
