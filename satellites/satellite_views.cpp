#include "satellites/satellite_views.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/angle_text.h"
#include "astro/planet_positions.h"
#include "catalog/databases.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_links.h"
#include "chart/chart_overlays.h"
#include "chart/chart_settings.h"
#include "chart/object_layers.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "core/calendar.h"
#include "core/checked_math.h"
#include "core/initialisers.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "moon/globe_drawing.h"
#include "platform/dialog.h"
#include "satellites/satellite_events.h"
#include "satellites/satellite_form_units.h"
#include "satellites/satellite_geometry.h"
#include "satellites/satellite_rows.h"
#include "satellites/satellites_assistant.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using namespace satellites_form;

namespace {

constexpr int kSatelliteSymbol = 15;
constexpr int kSkyRecords = 40;
constexpr int kTrackPoints = kSkyRecords - 2;
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kFixedUnit = 16777216.0;  // 2^24
constexpr double kGlobeStepDays = 5.0 / 1440.0;
constexpr int kGlobeMaxSteps = 288;
constexpr int kBottomRows = 40;  // design height of the two control rows at the bottom

SatellitesAssistantState& S() { return satellitesAssistant; }
double ZoneDays() { return observerLocation.zoneMinutes / 1440.0; }

// Holds one Preferences word at a value for a scope.
class HeldWord {
public:
    HeldWord(int word, std::int32_t value) : word_(word), saved_(preferences.word[word]) {
        preferences.word[word] = value;
    }
    ~HeldWord() { preferences.word[word_] = saved_; }
    HeldWord(const HeldWord&) = delete;
    HeldWord& operator=(const HeldWord&) = delete;

private:
    int word_;
    std::int32_t saved_;
};

int ClientHeight() {
    const platform::Window w = GetActiveForm();
    if (!platform::IsWindow(w)) return platform::ScreenHeight();
    return platform::GetClientRect(w).Height();
}
int ClientWidth() {
    const platform::Window w = GetActiveForm();
    if (!platform::IsWindow(w)) return platform::ScreenWidth();
    return platform::GetClientRect(w).Width();
}

void SetFormTime(double localJD) {
    SatellitesAssistantState& s = S();
    JDToDate(localJD, &s.formYear, &s.formMonth, &s.formDay, &s.formHour, &s.formMinute, &s.formSecond);
}

// The current satellite at the form's time, through the record the geometry converts.
int ComputeFormPosition() {
    SatellitesAssistantState& s = S();
    if (!s.recordLoaded) return kSatelliteInvalid;
    currentSatelliteRecord = s.elementRecord;
    return ComputeSatellitePosition(s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond,
                                    &s.elements);
}

void DrawStatusInView(int status) {
    const Bounds area = SatelliteViewArea();
    const int font = SetFont(0);
    DrawTextInBox(SatelliteStatusText(status), area.x + Sx(4), area.y + Sy(30), area.width - Sx(8), Sy(60));
    SetFont(font);
}

std::string Degrees(int value) { return std::to_string(value) + "\xB0"; }

int Rounded(double value) { return std::isfinite(value) ? static_cast<int>(std::trunc(value + 0.5)) : 0; }

// Right ascension and declination (8.24 radians) of a record, through the sky matrix.
void ProjectRecord(const SelectionRecord& r, std::int32_t* x, std::int32_t* y, std::int32_t* z) {
    if (r.catalogCode == 45) SelectHorizonOnlyMatrix();
    ProjectToChart(HoursToFixedAngle(r.rightAscension), DegreesToFixedAngle(r.declination), x, y, z);
    SelectFullSkyMatrix();
}

void CentreOnRecord(const SelectionRecord& r) {
    std::int32_t x = 0, y = 0, z = 0;
    ProjectRecord(r, &x, &y, &z);
    double azimuth = std::atan2(x / kFixedUnit, y / kFixedUnit) * kRadToDeg;
    if (azimuth < 0.0) azimuth += 360.0;
    S().skyAzimuth = static_cast<float>(azimuth);
    S().skyAltitude = static_cast<float>(ClampedAsin(z / kFixedUnit) * kRadToDeg);
}

int StepChoice() {
    const int choice = GetListSelection(kStepList);
    return choice >= 0 && choice <= 4 ? choice : 0;
}

SelectionRecord BodySkyRecord(int index, const char* label, const ::BodyRecord& body) {
    SelectionRecord r{};
    std::snprintf(r.label, sizeof r.label, "%s", label);
    r.objectNumber = index;
    r.objectIndex = static_cast<std::int16_t>(index);
    r.catalogCode = 45;
    r.typeCode = 27;
    r.rightAscension = static_cast<float>(body.rightAscension);
    r.declination = static_cast<float>(body.declination);
    r.sizeA = r.sizeB = static_cast<std::int16_t>(body.diameter);
    r.magnitude10 = 0;
    return r;
}

}  // namespace

// ---- Shared pieces of the screen ---------------------------------------------------------

void ShowSatelliteControls(std::initializer_list<int> hidden, std::initializer_list<int> shown) {
    const platform::Window w = GetActiveForm();
    if (!platform::IsWindow(w)) return;
    for (int id : hidden) HideObject(w, id);
    for (int id : shown) ShowObject(w, id);
}

Bounds SatelliteViewArea() {
    const int top = Sy(40);
    return Bounds{0, top, ClientWidth(), std::max(0, ClientHeight() - Sy(kBottomRows) - top)};
}

void ClearSatelliteViewArea() { FillRectangle(SatelliteViewArea()); }

void FillSatelliteResultList(int rows) {
    const platform::Window w = GetActiveForm();
    if (!platform::IsWindow(w)) return;
    const platform::Window list = FindListView(w, kResultList);
    if (!platform::IsWindow(list)) return;
    FillList(list, nullptr, rows);
    if (rows > 0) platform::SendMessage(list, platform::kMsgListEnsureVisible, 0, 0);
    RedrawList(list);
}

void FreeSatelliteViewWindows() {
    SatellitesAssistantState& s = S();
    if (s.offscreen) DeleteOffscreen(s.offscreen);
    if (s.viewOffscreen) DeleteOffscreen(s.viewOffscreen);
    s.offscreen = s.viewOffscreen = nullptr;
    s.symbolRect = Bounds{};
}

// ---- Rows and details ----------------------------------------------------------------------

void DrawPassRow(int row, Bounds rect, int selected) {
    const SatellitesAssistantState& s = S();
    if (s.viewMode != kPass && s.viewMode != kTransit) {
        DrawSatellitePassRow(row, rect, selected);
        return;
    }
    if (row < 0 || row >= s.listValid || row >= static_cast<int>(s.passTable.size())) return;
    const SatellitePass& pass = s.passTable[static_cast<std::size_t>(row)];
    DrawSatelliteRowBand(row, rect, selected);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char text[40];
    JDToDate(pass.startJD, &year, &month, &day, &hour, &minute, &second);
    std::snprintf(text, sizeof text, "%02d/%02d", day, month);
    Text(text, rect.x + Sx(2), rect.y);
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    Text(text, rect.x + Sx(42), rect.y);
    JDToDate(pass.endJD, &year, &month, &day, &hour, &minute, &second);
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", hour, minute, second);
    Text(text, rect.x + Sx(97), rect.y);
    std::snprintf(text, sizeof text, "%d\xB0", pass.maxAltitude);
    Text(text, rect.x + Sx(154), rect.y);
    std::snprintf(text, sizeof text, "%dm%d", pass.durationSeconds / 60, pass.durationSeconds % 60);
    Text(text, rect.x + Sx(178), rect.y);
}

const char* CompassPoint(double azimuthDegrees) {
    static const char* const kPoints[9] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW", "N"};
    if (!std::isfinite(azimuthDegrees)) return "";
    const int index = static_cast<int>(std::trunc(std::trunc(azimuthDegrees + 0.5) / 45.0));
    return kPoints[std::clamp(index, 0, 8)];
}

int FlareIntensity(double angleDegrees) {
    if (!std::isfinite(angleDegrees) || std::fabs(angleDegrees) > 1e6) return 0;
    return ((-14 - static_cast<int>(std::trunc(-10.0 * angleDegrees))) * 2) / 3;
}

int SatelliteEventDetailLines(int row, std::string lines[3]) {
    const SatellitesAssistantState& s = S();
    if (row < 0 || row >= s.listValid || row >= static_cast<int>(s.passTable.size())) return 0;
    const SatellitePass& pass = s.passTable[static_cast<std::size_t>(row)];
    SatelliteRecord record;
    if (!GetSatelliteData(pass.satelliteIndex, &record)) return 0;
    TleElements elements;
    ConvertTleElements(record, &elements);
    const double zone = ZoneDays();
    if (s.viewMode == kFlare || s.viewMode == kTransit) {
        const double event = pass.eventJD - zone;
        SatelliteEventContext context;
        context.flareMode = s.viewMode == kFlare ? 1 : 0;
        context.transitBody = s.transitBody;
        context.elements = &elements;
        const double angle = SatelliteEventAngle(context, event) * kRadToDeg;
        if (!std::isfinite(angle) || ComputeSatelliteLookAngles(event, &elements) != kSatelliteComputed) return 0;
        char text[80], number[32];
        if (s.viewMode == kFlare) {
            FormatFixed(number, angle, 3);
            std::snprintf(text, sizeof text, "Intensity: %d (%s\xB0)", FlareIntensity(angle), number);
        } else {
            DMSToStr(number, sizeof number, angle);
            std::snprintf(text, sizeof text, "Angle: %s", number);
        }
        lines[0] = text;
        lines[1] = "Alt: " + Degrees(Rounded(elements.elevation));
        lines[2] = "Azt: " + Degrees(Rounded(elements.azimuth)) + " " + CompassPoint(elements.azimuth);
        return 3;
    }
    const double instants[3] = {pass.startJD, (pass.startJD + pass.endJD) / 2.0, pass.endJD};
    const char* const labels[3] = {"AOS", "Max", "LOS"};
    for (int i = 0; i < 3; ++i) {
        ComputeSatelliteLookAngles(instants[i] - zone, &elements);
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
        JDToDate(instants[i], &year, &month, &day, &hour, &minute, &second);
        char text[96];
        std::snprintf(text, sizeof text, "%s: %02dh%02dm%02d Az: %s %s", labels[i], hour, minute, second,
                      Degrees(Rounded(elements.azimuth)).c_str(), CompassPoint(elements.azimuth));
        lines[i] = text;
        if (elements.elevation > 1.0) lines[i] += " Alt: " + Degrees(Rounded(elements.elevation));
    }
    return 3;
}

void DrawSatelliteEventDetails(int row) {
    SatellitesAssistantState& s = S();
    if (row < 0 || row >= s.listValid) return;
    std::string lines[3];
    if (SatelliteEventDetailLines(row, lines) == 0) return;
    const int lineHeight = Sy(13);
    const int bottom = ClientHeight() - Sy(kBottomRows);
    const Bounds band{Sx(2), bottom - 3 * lineHeight, ClientWidth() - Sx(4), 3 * lineHeight};
    FillRectangle(band);
    const platform::Color text = SetTextColor(GetForeColor());
    const int font = SetFont(0);
    // From the bottom up: the first line lowest.
    for (int i = 0; i < 3; ++i) Text(lines[i].c_str(), band.x, bottom - (i + 1) * lineHeight);
    SetFont(font);
    SetTextColor(text);
    const SatellitePass& pass = s.passTable[static_cast<std::size_t>(row)];
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    JDToDate(pass.startJD, &year, &month, &day, &hour, &minute, &second);
    char field[40];
    FormatDate(field, day, month, year);
    SetField(kDate, field);
    std::snprintf(field, sizeof field, "%02d:%02d", hour, minute);
    SetField(kTime, field);
}

// ---- Sky View --------------------------------------------------------------------------------

int SkyTrackSpan(int stepChoice, int span, double periodMinutes) {
    static const int kSpans[5] = {0, 30, 60, 120, 180};
    if (stepChoice >= 1 && stepChoice <= 4) return kSpans[stepChoice];
    return span < 0 ? static_cast<int>(periodMinutes) : span;
}

int BuildSatelliteSkyRecords(int satellite, int spanMinutes) {
    SatellitesAssistantState& s = S();
    s.tapItems.assign(kSkyRecords, SelectionRecord{});
    s.tapCount = 0;
    if (ComputeFormPosition() != kSatelliteComputed) return 0;
    const int span = SkyTrackSpan(StepChoice(), spanMinutes, s.elements.period);
    const double step = span / 1440.0 / 39.0;
    {
        HeldWord topocentric(pref::coordinateMode, 2);
        ::BodyRecord sun{}, moon{};
        ComputePlanet(&sun, kBodySun, s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond);
        ComputePlanet(&moon, kBodyMoon, s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond);
        s.tapItems[0] = BodySkyRecord(0, "Sun", sun);
        s.tapItems[1] = BodySkyRecord(1, "Moon", moon);
    }
    const double start = DateTimeToJD(s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond, 0);
    TleElements track = s.elements;
    for (int i = 0; i < kTrackPoints; ++i) {
        ShowBusy(1);
        int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
        JDToDate(start + i * step, &year, &month, &day, &hour, &minute, &second);
        SelectionRecord& r = s.tapItems[static_cast<std::size_t>(i + 2)];
        r.objectNumber = satellite;
        r.objectIndex = static_cast<std::int16_t>(satellite);
        r.catalogCode = 63;
        r.typeCode = kSatelliteSymbol;
        char label[40];
        std::snprintf(label, sizeof label, "%d %02d:%02d:%02d", day, hour, minute, second);
        std::snprintf(r.label, sizeof r.label, "%.14s", label);
        currentSatelliteRecord = s.elementRecord;
        if (ComputeSatellitePosition(year, month, day, hour, minute, second, &track) != kSatelliteComputed) {
            r.offChart = 1;
            continue;
        }
        r.rightAscension = static_cast<float>(track.rightAscension);
        r.declination = static_cast<float>(track.declination);
    }
    HideBusy();
    ComputeFormPosition();
    s.tapCount = kSkyRecords;
    s.skyAzimuth = s.skyAltitude = 0.0f;
    return 1;
}

void DrawSatelliteSkyView(int satellite, double jd, int spanMinutes) {
    SatellitesAssistantState& s = S();
    if (s.viewMode != kSkyView) {
        s.viewMode = kSkyView;
        FreeSatelliteViewWindows();
    }
    s.flareMode = s.transitMode = 0;
    ShowSatelliteControls({kLine1, kLine2, kExport, kDelete, kElevationPopup, kClockPopup, kShowInSky, kResultList},
                          {kStepPopup, kSatellitePopup, kNow, kDate, kTime, kFovPopup, kClockPopup});
    SetPopupList(kViewPopup, kViewList, kSkyView);
    SetPopupList(kFovPopup, kFovList, s.fovChoice);
    SetFormTime(jd + ZoneDays());
    ShowSatelliteFormTime();
    if (preferences.word[pref::stellarCatalogChoice] != 0) SelectStarCatalogLevel(kStarLookupChart);
    ChartComputeLimitingMagnitude();
    if (satellite < 0 || !s.recordLoaded) return;
    SetPopupLabel(kSatellitePopup, s.elementRecord.name);
    const int top = Sy(46);
    s.viewRect = Bounds{0, top, ClientWidth(), std::max(1, ClientHeight() - Sy(22) - top)};
    if (s.tapCount == 0 || static_cast<int>(s.tapItems.size()) != kSkyRecords) {
        FillRectangle(s.viewRect);
        if (!BuildSatelliteSkyRecords(satellite, spanMinutes)) {
            DrawStatusInView(ComputeFormPosition());
            return;
        }
    }
    UpdateSkyForDate(1, s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond, 0);
    ProjectObjects(s.tapItems.data(), s.tapCount);
    if (s.skyAzimuth == 0.0f && s.skyAltitude == 0.0f) CentreOnRecord(s.tapItems[20]);
    if (s.offscreen && (s.offscreen->width != s.viewRect.width || s.offscreen->height != s.viewRect.height)) {
        DeleteOffscreen(s.offscreen);
        s.offscreen = nullptr;
    }
    if (!s.offscreen) s.offscreen = CreateOffscreen(s.viewRect.width, s.viewRect.height);
    DrawSkyView(s.tapItems.data(), s.tapCount, s.viewRect, s.offscreen, s.fovChoice, s.skyAzimuth, s.skyAltitude, 1);
    s.cursorX = s.viewRect.x + s.viewRect.width / 2;
    s.cursorY = s.viewRect.y + s.viewRect.height / 2;
}

void CentreSkyViewOn(int x, int y) {
    SatellitesAssistantState& s = S();
    std::int32_t ra = 0, dec = 0;
    if (!ScreenToSky(skyViewState.view, x, y, &ra, &dec)) return;
    // The direction comes back of date: through the horizon rows alone.
    std::int32_t px = 0, py = 0, pz = 0;
    SelectHorizonOnlyMatrix();
    ProjectToChart(ra, dec, &px, &py, &pz);
    SelectFullSkyMatrix();
    double azimuth = std::atan2(px / kFixedUnit, py / kFixedUnit) * kRadToDeg;
    if (azimuth < 0.0) azimuth += 360.0;
    if (azimuth >= 360.0) azimuth -= 360.0;
    s.skyAzimuth = static_cast<float>(azimuth);
    s.skyAltitude = static_cast<float>(ClampedAsin(pz / kFixedUnit) * kRadToDeg);
}

// ---- Globe -----------------------------------------------------------------------------------

namespace {

void GlobeGeometry() {
    SatellitesAssistantState& s = S();
    const int width = ClientWidth();
    const int top = Sy(22) + Sy(24);
    if (Sx(240) < ClientHeight()) {
        s.globeRadius = Sx(100);
        s.globeLeft = width - 2 * s.globeRadius;
        s.globeTop = top + static_cast<int>(satelliteLayoutOffset * screenScale.horizontal);
    } else {
        s.globeRadius = Sx(80);
        s.globeLeft = (width - 2 * s.globeRadius) / 2;
        s.globeTop = top;
    }
    s.viewRect = Bounds{s.globeLeft, s.globeTop, 2 * s.globeRadius, 2 * s.globeRadius};
}

int GlobeCentreX() { return S().globeLeft + S().globeRadius; }
int GlobeCentreY() { return S().globeTop + S().globeRadius; }

// One direction of the ground track from `start` (UT), 5 minutes a step, until the far side,
// a sub-point that is not finite, or one orbit.
int DrawTrackDirection(double start, int direction, double periodMinutes, TleElements* elements) {
    const int steps = std::clamp(static_cast<int>(std::ceil(periodMinutes / 5.0)), 1, kGlobeMaxSteps);
    int drawn = 0, previousX = 0, previousY = 0;
    bool havePrevious = false;
    for (int i = 0; i <= steps; ++i) {
        const double jd = start + direction * i * kGlobeStepDays;
        if (ComputeSatelliteSubpoint(jd, elements) != kSatelliteComputed || !std::isfinite(elements->subLongitude) ||
            !std::isfinite(elements->subLatitude))
            break;
        int x = 0, y = 0;
        if (!ProjectSpherePoint(&x, &y, GlobeCentreX(), GlobeCentreY(), elements->subLongitude, elements->subLatitude))
            break;
        if (havePrevious) DrawLine(previousX, previousY, x, y);
        previousX = x, previousY = y, havePrevious = true;
        ++drawn;
    }
    return drawn;
}

void DrawGlobeSymbolAndTexts(int x, int y);

}  // namespace

int DrawGlobeTrack() {
    SatellitesAssistantState& s = S();
    if (s.viewOffscreen) DeleteOffscreen(s.viewOffscreen);
    s.viewOffscreen = nullptr;
    s.symbolRect = Bounds{};
    GlobeGeometry();
    const bool night = preferences.word[pref::nightMode] != 0;
    const platform::Color limb = night ? platform::Rgb(20, 0, 0) : platform::Rgb(0, 0, 60);
    DrawMapOnSphere(GetDpiFactor() >= 2 ? kEarthMapHalves : kEarthMapHalvesSmall, GlobeCentreX(), GlobeCentreY(), 1,
                    s.globeLongitude, 0, s.globeLatitude, s.globeRadius, 0, limb);
    if (!s.recordLoaded || s.elements.period <= 0.0) return 0;
    const double start = DateTimeToJD(s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond,
                                      observerLocation.zoneMinutes);
    TleElements track = s.elements;
    const platform::Color previous = SetForeColor(platform::Rgb(255, 0, 0));
    int drawn = DrawTrackDirection(start, -1, s.elements.period, &track);
    drawn += DrawTrackDirection(start, +1, s.elements.period, &track);
    SetForeColor(previous);
    ComputeFormPosition();
    return drawn;
}

void DrawSatelliteGlobeView() {
    SatellitesAssistantState& s = S();
    if (s.recordLoaded) SetPopupLabel(kSatellitePopup, s.elementRecord.name);
    SetPopupList(kClockPopup, kClockList, s.clockChoice);
    SetPopupList(kViewPopup, kViewList, s.viewMode);
    const int status = ComputeFormPosition();
    if (status != kSatelliteComputed) {
        ClearSatelliteViewArea();
        if (s.recordLoaded) DrawStatusInView(status);
        s.passesValid = 0;
        return;
    }
    int x = 0, y = 0;
    bool visible = s.passesValid != 0 &&
                   ProjectSpherePoint(&x, &y, GlobeCentreX(), GlobeCentreY(), s.elements.subLongitude,
                                      s.elements.subLatitude) != 0;
    // The globe is drawn again when nothing is drawn yet or the satellite went round the
    // limb; a second drawing centred on the sub-point shows it, whatever it holds.
    for (int attempt = 0; attempt < 2 && !visible; ++attempt) {
        s.passesValid = 1;
        ClearSatelliteViewArea();
        ShowSatelliteFormTime();
        s.globeLongitude = static_cast<int>(s.elements.subLongitude);
        s.globeLatitude = static_cast<int>(s.elements.subLatitude);
        DrawGlobeTrack();
        visible = ProjectSpherePoint(&x, &y, GlobeCentreX(), GlobeCentreY(), s.elements.subLongitude,
                                     s.elements.subLatitude) != 0;
    }
    if (visible) DrawGlobeSymbolAndTexts(x, y);
}

void RedrawSatelliteGlobe() {
    SatellitesAssistantState& s = S();
    if (ComputeFormPosition() != kSatelliteComputed) return;
    ClearSatelliteViewArea();
    DrawGlobeTrack();
    s.passesValid = 1;
    int x = 0, y = 0;
    if (ProjectSpherePoint(&x, &y, GlobeCentreX(), GlobeCentreY(), s.elements.subLongitude, s.elements.subLatitude))
        DrawGlobeSymbolAndTexts(x, y);
}

int ShowGlobeTap(int x, int y) {
    SatellitesAssistantState& s = S();
    if (!s.recordLoaded || s.symbolRect.width <= 0) return 0;
    const int cx = s.symbolRect.x + s.symbolRect.width / 2, cy = s.symbolRect.y + s.symbolRect.height / 2;
    const int reach = Sx(12);
    if (std::abs(x - cx) > reach || std::abs(y - cy) > reach) return 0;
    const int font = SetFont(0);
    const platform::Color text = SetTextColor(platform::Rgb(255, 255, 255));
    const platform::Color back = SetForeColor(platform::Rgb(0, 0, 0));
    const int width = CharsWidth(s.elementRecord.name, static_cast<int>(std::strlen(s.elementRecord.name)));
    DrawRectangle(Bounds{cx + Sx(8), cy + Sy(8), width + Sx(4), Sy(13)}, 0);
    Text(s.elementRecord.name, cx + Sx(10), cy + Sy(8));
    SetForeColor(back);
    SetTextColor(text);
    SetFont(font);
    return 1;
}

namespace {

void DrawGlobeSymbolAndTexts(int x, int y) {
    SatellitesAssistantState& s = S();
    DrawWindow* screen = GetDrawWindow();
    const int half = Sx(8);
    if (s.viewOffscreen && screen)
        CopyBits(s.viewOffscreen, screen, Bounds{0, 0, s.symbolRect.width, s.symbolRect.height}, s.symbolRect.x,
                 s.symbolRect.y, 0);
    s.symbolRect = Bounds{x - half, y - half, 2 * half, 2 * half};
    if (!s.viewOffscreen) s.viewOffscreen = CreateOffscreen(s.symbolRect.width, s.symbolRect.height);
    if (s.viewOffscreen && screen) CopyBits(screen, s.viewOffscreen, s.symbolRect, 0, 0, 0);
    DrawObjectSymbol(kSatelliteSymbol, 0, x, y);

    const TleElements& e = s.elements;
    const bool dense = GetDpiFactor() > 1;
    const int headingFont = dense ? 5 : 1, valueFont = dense ? 4 : 0;
    const platform::Color textColour = SetTextColor(GetForeColor());
    const platform::Color backColour = SetBackColor(GetBackColor());
    char value[48], number[32];
    auto line = [&](const char* label, const char* text, int lx, int ly) {
        Text(label, lx, ly);
        Text(text, lx + Sx(22), ly);
    };
    int font = SetFont(headingFont);
    const int lineHeight = Sy(12);
    int ty = s.globeTop;
    Text("Earth", Sx(2), ty);
    SetFont(valueFont);
    FormatFixed(number, std::fabs(e.subLatitude), 1);
    std::snprintf(value, sizeof value, "%s\xB0%s", number, e.subLatitude >= 0.0 ? "N" : "S");
    line("Lat", value, Sx(2), ty += lineHeight);
    FormatFixed(number, std::fabs(e.subLongitude), 1);
    std::snprintf(value, sizeof value, "%s\xB0%s", number, e.subLongitude >= 0.0 ? "W" : "E");
    line("Lon", value, Sx(2), ty += lineHeight);
    FormatFixed(number, e.height, 1);
    std::snprintf(value, sizeof value, "%skm", number);
    line("Alt", value, Sx(2), ty += lineHeight);

    ty = s.globeTop + 2 * s.globeRadius + Sy(2);
    SetFont(headingFont);
    Text("Sky", Sx(2), ty);
    SetFont(valueFont);
    FormatFixed(number, e.azimuth, 1);
    std::snprintf(value, sizeof value, "%s\xB0", number);
    line("Az", value, Sx(2), ty + lineHeight);
    FormatFixed(number, e.elevation, 1);
    std::snprintf(value, sizeof value, "%s\xB0", number);
    line("Alt", value, Sx(2), ty + 2 * lineHeight);
    HMSToStr(value, sizeof value, e.rightAscension);
    line("RA", value, Sx(80), ty + lineHeight);
    DMSToStr(value, sizeof value, e.declination);
    value[e.declination > 0.0 ? 5 : 6] = '\0';
    line("Dec", value, Sx(80), ty + 2 * lineHeight);
    SetFont(font);
    SetTextColor(textColour);
    SetBackColor(backColour);
    {
        HeldWord colours(chartpref::background, 2);
        SetChartColors();
        DrawDirectionGauge(ClientWidth() - Sx(60), ty, DegreesToFixedAngle(e.azimuth),
                           DegreesToFixedAngle(e.elevation));
    }
    SetChartColors();
}

}  // namespace
