#include "satellites/satellites_assistant.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>

#include "catalog/databases.h"
#include "catalog/element_lines.h"
#include "catalog/satellite_import.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "moon/map_textures.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "satellites/satellite_data_page.h"
#include "satellites/satellite_rows.h"
#include "satellites/satellite_searches.h"
#include "satellites/satellite_views.h"
#include "catalog/star_tables.h"
#include "chart/chart_zoom.h"
#include "chart/sky_view.h"
#include "moon/globe_overlay.h"
#include "shell/busy_indicator.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/date_time_form.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/text_input.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace satellites_form;

SatellitesAssistantState satellitesAssistant;

namespace {

constexpr const char* kViewRows[8] = {"Info", "Sky View", "Pass", "Next", "Flare", "Transit", "Globe", "Data"};
constexpr const char* kClockRows[6] = {"Clock", "Track", "+1'", "+2'", "+5'", "+10'"};
constexpr const char* kFovRows[13] = {"180\xB0", "150\xB0", "120\xB0", "90\xB0", "60\xB0", "45\xB0", "30\xB0",
                                      "20\xB0",  "10\xB0",  "5\xB0",   "2.5\xB0", "1.5\xB0", "1\xB0"};
constexpr const char* kElevationRows[10] = {"Visible", ">5\xB0",  ">10\xB0", ">15\xB0", ">20\xB0",
                                            ">25\xB0", ">30\xB0", ">35\xB0", ">40\xB0", ">45\xB0"};
constexpr const char* kStepRows[5] = {"Auto", "30s", "1mn", "2mn", "3mn"};
constexpr int kClockMinutes[6] = {0, 0, 1, 2, 5, 10};

// Heading and detail of the help button, by view.
constexpr const char* kHelpTexts[8][2] = {
    {"\x95 Display the position and the path of the selected satellite on the earth.\n",
     "All displayed times are local times."},
    {"\x95 Display the position and the path of the selected satellite in the sky.", ""},
    {"\x95 List the next passage of one satellite over your location.", ""},
    {"\x95 List the next satellites visible over your location.", ""},
    {"\x95 List, if any, the visible Iridium satellite Flares visible from your location in the next 24h.\n",
     "\x95 Computation can take several minutes."},
    {"\x95 List, if any, the transit of a satellite in front of the moon and visible from your location in the next "
     "20 days.\n",
     "\x95 Computation can take several minutes."},
    {"\x95 Display the position and path of the selected satellite on the earth.", ""},
    {"\x95 Display the TLE information of the selected satellite.", ""},
};

constexpr int kAllControls[] = {kTitle,     kHelp,     kViewPopup, kBack,           kSatellitePopup, kTime,
                                kDate,      kNow,      kClockPopup, kResultList,    kShowInSky,      kFovPopup,
                                kElevationPopup, kLine1, kLine2,     kExport,        kStepPopup,      kDelete};

Window formWindow_;
bool penArmed_ = false;  // a pen-down on the form's own area starts a drag or a tap

std::int32_t* Redraw() { return FormRedrawFlag(kFormId); }
bool Shown() { return platform::IsWindow(formWindow_); }
SatellitesAssistantState& S() { return satellitesAssistant; }

void StartClock() {
    if (!Shown()) return;
    platform::KillTimer(formWindow_, kClockTimer);
    if (S().clockChoice != 0) platform::SetTimer(formWindow_, kClockTimer, kClockPeriodMs);
}

void ShowFormTime() { ShowSatelliteFormTime(); }

double FormJD(int offsetMinutes) {
    const SatellitesAssistantState& s = S();
    return DateTimeToJD(s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond, offsetMinutes);
}

void ShowControls(std::initializer_list<int> hidden, std::initializer_list<int> shown) {
    if (!Shown()) return;
    for (int id : hidden) HideObject(formWindow_, id);
    for (int id : shown) ShowObject(formWindow_, id);
}

void FillSatelliteList() {
    const int count = GetSatelliteCount();
    SetListRows(kSatelliteList, count);
    if (count == 0) SetPopupLabel(kSatellitePopup, "");
}

void TakeSatellite(int satellite) {
    SatellitesAssistantState& s = S();
    s.currentSatellite = satellite;
    LoadCurrentSatellite();
    s.tapCount = 0;
    s.listValid = 0;
    s.passesValid = 0;
    s.trackSpan = -1;
}

}  // namespace

void ShowSatelliteFormTime() {
    const SatellitesAssistantState& s = S();
    char text[40];
    FormatDate(text, s.formDay, s.formMonth, s.formYear);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", s.formHour % 100, s.formMinute % 100);
    SetField(kTime, text);
}

bool LoadCurrentSatellite() {
    SatellitesAssistantState& s = S();
    s.recordLoaded = false;
    s.elements = TleElements{};
    if (s.currentSatellite < 0 || s.currentSatellite >= GetSatelliteCount()) return false;
    if (!GetSatelliteData(s.currentSatellite, &s.elementRecord)) return false;
    ConvertTleElements(s.elementRecord, &s.elements);
    s.recordLoaded = true;
    return true;
}

int GetSatelliteViewMode() { return S().viewMode; }

void RefreshSatellitesAssistant(int satellite) {
    SatellitesAssistantState& s = S();
    if (!Shown()) return;
    switch (s.viewMode) {
    case kInfo:
    case kGlobe:
        ShowControls({kResultList, kShowInSky, kFovPopup, kElevationPopup, kLine1, kLine2, kExport, kStepPopup, kDelete},
                     {kSatellitePopup, kTime, kDate, kNow, kClockPopup});
        if (s.viewMode == kInfo) DrawSatelliteDataPage(satellite);
        else DrawSatelliteGlobeView();
        s.formJD = FormJD(0);
        s.trackSpan = -1;
        break;
    case kSkyView:
        ShowControls({}, {kClockPopup});
        s.formJD = FormJD(observerLocation.zoneMinutes);
        DrawSatelliteSkyView(satellite, s.formJD, s.trackSpan);
        break;
    case kPass:
    case kTransit:
        s.flareMode = 0;
        s.transitMode = s.viewMode == kTransit ? 1 : 0;
        SearchSatellitePasses(satellite);
        break;
    case kNext:
    case kFlare:
        s.transitMode = 0;
        s.flareMode = s.viewMode == kFlare ? 1 : 0;
        SearchAllSatellitePasses();
        break;
    case kData:
        DrawSatelliteTlePage(satellite);
        break;
    default: break;
    }
    if (s.viewMode != kFlare) s.flareMode = 0;
    if (s.viewMode != kTransit) s.transitMode = 0;
}

bool AcceptEditedLine(int lineNumber, const char* text) {
    SatellitesAssistantState& s = S();
    if (!s.recordLoaded) return false;
    SatelliteRecord edited = s.elementRecord;
    char* target = lineNumber == 1 ? edited.line1 : edited.line2;
    std::snprintf(target, kSatelliteTextSize + 1, "%s", text);
    int status = CheckElementLine(target, lineNumber);
    if (status == kElementLineValid) status = CheckElementSet(edited.line1, edited.line2);
    if (status != kElementLineValid) {
        char heading[128];
        std::snprintf(heading, sizeof heading, "TLE%d is not valid: wrong %s.", lineNumber, ElementLineStatusText(status));
        ShowMessage(heading, target);
        return false;
    }
    if (!WriteSatellite(s.currentSatellite, edited)) {
        ShowMessage("Could not write satellite record!", "");
        return false;
    }
    s.elementRecord = edited;
    ConvertTleElements(s.elementRecord, &s.elements);
    s.listValid = 0;
    s.passesValid = 0;
    return true;
}

namespace {

void EditLine(int id) {
    SatellitesAssistantState& s = S();
    if (!Shown() || !s.recordLoaded) return;
    const int lineNumber = id == kLine1 ? 1 : 2;
    EditTextDialog(formWindow_, id, lineNumber == 1 ? "TLE1" : "TLE2", kSatelliteTextSize + 1);
    char text[kSatelliteTextSize + 2] = {};
    GetField(id, text, sizeof text);
    const char* before = lineNumber == 1 ? s.elementRecord.line1 : s.elementRecord.line2;
    if (std::strcmp(text, before) == 0) return;
    AcceptEditedLine(lineNumber, text);
    EraseWindow(formWindow_);
    RefreshSatellitesAssistant(s.currentSatellite);
}

void EditFormTime() {
    SatellitesAssistantState& s = S();
    if (Shown()) platform::KillTimer(formWindow_, kClockTimer);
    if (EditDateTime(&s.formYear, &s.formMonth, &s.formDay, &s.formHour, &s.formMinute, &s.formSecond)) {
        ShowFormTime();
        s.listValid = s.passesValid = s.tapCount = 0;
        FreeSavedScreen();
        if (Shown()) EraseWindow(formWindow_);
        s.formJD = FormJD(observerLocation.zoneMinutes);
        RefreshSatellitesAssistant(s.currentSatellite);
    }
    StartClock();
}

void ChangeView(int view) {
    SatellitesAssistantState& s = S();
    if (view < 0 || view > kData || view == s.viewMode) return;
    if (Shown()) platform::KillTimer(formWindow_, kClockTimer);
    FreeSatelliteViewWindows();
    auto isList = [](int v) { return v == kPass || v == kNext || v == kFlare || v == kTransit; };
    if (isList(s.viewMode) && isList(view)) s.listValid = 0;
    s.penMoved = 1;
    s.passesValid = 0;
    s.viewMode = view;
    SetPopupList(kViewPopup, kViewList, view);
    RefreshSatellitesAssistant(s.currentSatellite);
    StartClock();
}

// The selected result row in the Sky View, from the start of its pass (or just before its
// event) over the pass.
void ShowRowInSky() {
    SatellitesAssistantState& s = S();
    if (s.selectedRow < 0 || s.selectedRow >= s.listValid) return;
    const SatellitePass row = s.passTable[static_cast<std::size_t>(s.selectedRow)];
    if (row.satelliteIndex != s.currentSatellite) {
        s.currentSatellite = row.satelliteIndex;
        LoadCurrentSatellite();
    }
    SetPopupList(kSatellitePopup, kSatelliteList, s.currentSatellite);
    const double offset = observerLocation.zoneMinutes / 1440.0;
    if (s.viewMode == kPass || s.viewMode == kNext) {
        s.formJD = row.startJD - offset;
        s.trackSpan = (row.durationSeconds + 30) / 60;
    } else if (s.viewMode == kTransit) {
        s.formJD = row.eventJD - 30.0 / 86400.0 - offset;
        s.trackSpan = 1;
    } else {
        s.formJD = row.eventJD - 6.0 / 86400.0 - offset;
        s.trackSpan = 2;
    }
    s.tapCount = 0;
    s.skyAzimuth = s.skyAltitude = 0.0f;
    FreeSatelliteViewWindows();
    if (Shown()) EraseWindow(formWindow_);
    DrawSatelliteSkyView(s.currentSatellite, s.formJD, s.trackSpan);
    StartClock();
}

}  // namespace

int SatellitesAssistantDelete(int satellite) {
    SatellitesAssistantState& s = S();
    if (satellite < 0 || !DeleteSatellite(satellite)) return 0;
    const int count = GetSatelliteCount();
    // The same index shows the record that moved into its place; past the end, the new last.
    s.currentSatellite = count == 0 ? -1 : std::min(satellite, count - 1);
    FillSatelliteList();
    TakeSatellite(s.currentSatellite);
    if (s.currentSatellite >= 0) SetPopupList(kSatellitePopup, kSatelliteList, s.currentSatellite);
    if (Shown()) EraseWindow(formWindow_);
    RefreshSatellitesAssistant(s.currentSatellite);
    return 0;
}

int SatellitesAssistantCommand(int id) {
    SatellitesAssistantState& s = S();
    switch (id) {
    case kHelp: {
        const int v = std::clamp(s.viewMode, 0, 7);
        ShowMessage(kHelpTexts[v][0], kHelpTexts[v][1]);
        return 1;
    }
    case kViewList: ChangeView(GetListSelection(kViewList)); return 1;
    case kBack: GoBackForm(); return 1;
    case kSatelliteList: {
        const int row = GetListSelection(kSatelliteList);
        if (row < 0 || row >= GetSatelliteCount()) return 1;
        if (row == s.currentSatellite) {
            LoadCurrentSatellite();
            SetPopupLabel(kSatellitePopup, s.elementRecord.name);
            return 1;
        }
        TakeSatellite(row);
        RefreshSatellitesAssistant(s.currentSatellite);
        return 1;
    }
    case kTime:
    case kDate: EditFormTime(); return 1;
    case kNow:
        GetLocalDateTime(&s.formYear, &s.formMonth, &s.formDay, &s.formHour, &s.formMinute, &s.formSecond);
        ShowFormTime();
        s.listValid = s.passesValid = s.tapCount = 0;
        s.skyAzimuth = s.skyAltitude = 0.0f;
        s.formJD = FormJD(observerLocation.zoneMinutes);
        RefreshSatellitesAssistant(s.currentSatellite);
        return 1;
    case kClockList: {
        if (Shown()) platform::KillTimer(formWindow_, kClockTimer);
        const int row = GetListSelection(kClockList);
        if (row >= 0 && row < 6 && row != s.clockChoice) {
            s.clockChoice = row;
            SetPopupList(kClockPopup, kClockList, row);
        }
        StartClock();
        return 1;
    }
    case kResultList:
        s.selectedRow = GetListSelection(kResultList);
        DrawSatelliteEventDetails(s.selectedRow);
        return 1;
    case kShowInSky: ShowRowInSky(); return 1;
    case kFovList: {
        const int row = GetListSelection(kFovList);
        if (row >= 0 && row != s.fovChoice) {
            // Keep the marked point in the middle of the new field.
            if (s.viewMode == kSkyView && s.tapCount > 0) CentreSkyViewOn(s.cursorX, s.cursorY);
            s.fovChoice = row;
            if (preferences.word[pref::stellarCatalogChoice] != 0) SelectStarCatalogLevel(kStarLookupChart);
            SetPopupList(kFovPopup, kFovList, row);
            RefreshSatellitesAssistant(s.currentSatellite);
            s.cursorX = s.viewRect.x + s.viewRect.width / 2;
            s.cursorY = s.viewRect.y + s.viewRect.height / 2;
        }
        return 1;
    }
    case kElevationList: {
        const int row = GetListSelection(kElevationList);
        if (row >= 0 && row != s.elevationChoice) {
            s.elevationChoice = row;
            SetPopupList(kElevationPopup, kElevationList, row);
            s.listValid = 0;
            RefreshSatellitesAssistant(s.currentSatellite);
        }
        return 1;
    }
    case kStepList:
        SetPopupList(kStepPopup, kStepList, GetListSelection(kStepList));
        s.passesValid = s.listValid = s.tapCount = 0;
        RefreshSatellitesAssistant(s.currentSatellite);
        return 1;
    case kExport: return ExportSatellites();
    case kDelete: SatellitesAssistantDelete(s.currentSatellite); return 1;
    case kLine1:
    case kLine2: EditLine(id); return 1;
    default: return 0;
    }
}

int SatellitesAssistantKey(int key) {
    SatellitesAssistantState& s = S();
    if (s.flareMode == 1) return 1;
    if (DefaultKeyHook(key)) return 1;
    const int count = GetSatelliteCount();
    int next;
    switch (key) {
    case platform::kKeyPageUp:
    case platform::kKeyDown: next = std::min(s.currentSatellite + 1, count - 1); break;
    case platform::kKeyPageDown:
    case platform::kKeyUp: next = std::max(s.currentSatellite - 1, 0); break;
    default: return 0;
    }
    if (count <= 0) return 1;
    SetPopupList(kSatellitePopup, kSatelliteList, next);
    TakeSatellite(next);
    RefreshSatellitesAssistant(s.currentSatellite);
    return 1;
}

int PaintSatellitesAssistant() {
    SatellitesAssistantState& s = S();
    if (s.viewMode != kInfo && s.viewMode != kSkyView && s.viewMode != kGlobe) return 0;
    if (s.viewMode == kSkyView) s.tapCount = 0;
    if (s.clockChoice == 1) {
        if (preferences.word[pref::timeUpdateMode] == 0) {
            GetLocalDateTime(&s.formYear, &s.formMonth, &s.formDay, &s.formHour, &s.formMinute, &s.formSecond);
        } else if (++s.formSecond >= 60) {
            s.formSecond = 0;
            AddMinutes(&s.formYear, &s.formMonth, &s.formDay, &s.formHour, &s.formMinute, 1);
        }
    } else if (s.clockChoice >= 2 && s.clockChoice <= 5) {
        AddMinutes(&s.formYear, &s.formMonth, &s.formDay, &s.formHour, &s.formMinute, kClockMinutes[s.clockChoice]);
    }
    ShowFormTime();
    if (s.viewMode == kInfo) {
        if (Shown()) EraseWindow(formWindow_);
        DrawSatelliteDataPage(s.currentSatellite);
    } else if (s.viewMode == kSkyView) {
        s.formJD = FormJD(observerLocation.zoneMinutes);
        s.tapCount = 0;
        s.trackSpan = 10;
        DrawSatelliteSkyView(s.currentSatellite, s.formJD, s.trackSpan);
    } else {
        DrawSatelliteGlobeView();
    }
    return 1;
}

int SatellitesAssistantPenDown(int x, int y) {
    SatellitesAssistantState& s = S();
    s.penX = x, s.penY = y;
    const Bounds& r = s.viewRect;
    if ((s.viewMode == kSkyView || s.viewMode == kGlobe) && x >= r.x && x < r.x + r.width && y >= r.y &&
        y < r.y + r.height) {
        s.cursorX = r.x + r.width / 2;
        s.cursorY = r.y + r.height / 2;
    }
    s.penMoved = 0;
    return 1;
}

int SatellitesAssistantPenMove(int x, int y) {
    SatellitesAssistantState& s = S();
    const int dx = x - s.penX, dy = y - s.penY;
    if (s.viewMode == kSkyView) {
        if (s.tapCount <= 0) return 0;
        const int slopX = static_cast<int>(4 * screenScale.horizontal), slopY = static_cast<int>(4 * screenScale.vertical);
        if (s.penMoved == 0 && std::abs(dx) < slopX && std::abs(dy) < slopY) return 0;
        const float field = GetZoomFieldWidth(s.fovChoice);
        const int pixelsX = std::max(1, static_cast<int>(120 * screenScale.horizontal));
        const int pixelsY = std::max(1, static_cast<int>(120 * screenScale.vertical));
        float azimuth = s.skyAzimuth + dx * field / pixelsX;
        azimuth = std::fmod(azimuth, 360.0f);
        if (azimuth < 0.0f) azimuth += 360.0f;
        if (azimuth >= 360.0f) azimuth = 0.0f;
        s.skyAzimuth = azimuth;
        s.skyAltitude = std::clamp(s.skyAltitude + dy * field / pixelsY, -90.0f, 90.0f);
        DrawSkyView(s.tapItems.data(), s.tapCount, s.viewRect, s.offscreen, s.fovChoice, s.skyAzimuth, s.skyAltitude,
                    0);
        s.penX = x, s.penY = y;
        s.penMoved = 1;
        return 1;
    }
    if (s.viewMode == kGlobe) {
        if (s.penMoved == 0) {
            const int slopX = static_cast<int>(3 * screenScale.horizontal), slopY = static_cast<int>(3 * screenScale.vertical);
            if (std::abs(dx) > slopX || std::abs(dy) > slopY) s.penMoved = 1;
            return 0;
        }
        DrawGlobeOverlay(s.globeLeft, s.globeTop, 2 * s.globeRadius, 2 * s.globeRadius, s.globeLongitude, 0,
                         s.globeLatitude, -s.globeRadius, 0);
        s.globeLongitude = ((s.globeLongitude + dx) % 360 + 360) % 360;
        s.globeLatitude = ((s.globeLatitude + dy) % 360 + 360) % 360;
        s.penX = x, s.penY = y;
        return 1;
    }
    return 0;
}

int SatellitesAssistantPenUp(int x, int y) {
    SatellitesAssistantState& s = S();
    if (s.viewMode == kSkyView) {
        if (s.tapCount <= 0) return 0;
        if (s.penMoved == 0) {
            ShowTapInfo(s.tapItems.data(), s.tapCount, s.viewRect, s.fovChoice, x, y);
            s.cursorX = x, s.cursorY = y;
            return 1;
        }
        // The quick drawings of the drag end in a full one.
        DrawSkyView(s.tapItems.data(), s.tapCount, s.viewRect, s.offscreen, s.fovChoice, s.skyAzimuth, s.skyAltitude,
                    1);
        return 1;
    }
    if (s.viewMode == kGlobe) {
        if (s.penMoved != 0) {
            s.penMoved = 0;
            RedrawSatelliteGlobe();
            return 1;
        }
        const Bounds& r = s.viewRect;
        if (x < r.x || x >= r.x + r.width || y < r.y || y >= r.y + r.height) return 0;
        s.cursorX = x, s.cursorY = y;
        return ShowGlobeTap(x, y);
    }
    return 0;
}

int LayoutSatellitesAssistant(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    for (int id : {kHelp, kViewPopup, kViewList, kElevationPopup, kElevationList}) MoveObject(dialog, id, dx, 0, 0, 0);
    for (int id : {kBack, kClockPopup, kShowInSky, kFovPopup, kStepPopup}) MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kTime, kDate, kNow, kExport, kDelete}) MoveObject(dialog, id, dx, dy, 0, 0);
    MoveObject(dialog, kResultList, 0, 0, dx, dy);
    for (int id : {kLine1, kLine2}) MoveObject(dialog, id, 0, 0, dx, 0);
    S().screenWidth = platform::ScreenWidth();
    S().screenHeight = platform::ScreenHeight();
    return 1;
}

void CloseSatellitesAssistant() {
    SatellitesAssistantState& s = S();
    SetTrackingFlag(0);
    if (!s.open) return;
    s.open = false;
    FreeMapImages();
    preferences.word[pref::chartMode] = s.savedChartMode;
    SetSkyViewOwner(0);
    SetSkyViewFlag(1);
    preferences.word[chartpref::objectNames] = s.savedObjectLabels;
    preferences.word[pref::lastSatellite] = s.currentSatellite;
    s.tapCount = 0;
    s.listValid = 0;
    s.selectedRow = -1;
    s.viewMode = 0;
    s.passTable.clear();
    s.passTable.shrink_to_fit();
    s.tapItems.clear();
    s.tapItems.shrink_to_fit();
    FreeSatelliteViewWindows();
    FreeSkyViewBitmaps();
    s.elements = TleElements{};
    s.recordLoaded = false;
}

namespace {

void InitSatellitesAssistant() {
    SatellitesAssistantState& s = S();
    SetTrackingFlag(1);
    s.penMoved = 1;
    if (!s.open) {
        s.savedChartMode = preferences.word[pref::chartMode];
        s.savedObjectLabels = preferences.word[chartpref::objectNames];
        s.open = true;
    }
    preferences.word[pref::chartMode] = 2;
    SetSkyViewOwner(1);
    SetSkyViewFlag(0);
    PushFormHistory(kFormId);
    s.passesValid = 0;
    // Element sets the user put in the import folder since the last merge.
    if (ImportUserElementFile()) s.listValid = 0;
    const int count = GetSatelliteCount();
    if (s.currentSatellite >= count) s.currentSatellite = count - 1;
    if (s.currentSatellite < 0 && count > 0) {
        const int last = preferences.word[pref::lastSatellite];
        s.currentSatellite = last >= 0 && last < count ? last : 0;
    }
    s.listValid = 0;
    s.passTable.assign(30, SatellitePass{});
    s.screenWidth = platform::ScreenWidth();
    s.screenHeight = platform::ScreenHeight();
    preferences.word[chartpref::objectNames] = 0;
    LoadCurrentSatellite();
    if (s.formYear == -1) {
        const ObservingDateTime& t = observingDateTime;
        s.formYear = t.year, s.formMonth = t.month, s.formDay = t.day, s.formHour = t.hour, s.formMinute = t.minute;
        s.formSecond = 0;
    }
    FillSatelliteList();
    if (Shown()) ShowObject(formWindow_, kBack);
    ShowFormTime();
    RefreshSatellitesAssistant(s.currentSatellite);
}

void DrawNameRow(int row, Bounds rect, int flag, int width) { DrawSatelliteNameRow(row, rect, flag, width); }
void DrawResultRow(int row, Bounds rect, int flag, int) { DrawPassRow(row, rect, flag); }

void MakeControls(Window w) {
    InitTitle(w, kTitle, "SatellitesAssistant");
    InitButton(w, kHelp, platform::FindBitmapEntry(5076) ? 5076 : -1, 0, 0);
    InitButton(w, kBack, platform::FindBitmapEntry(5074) ? 5074 : -1, 0, 0);
    InitButton(w, kNow, platform::FindBitmapEntry(120) ? 120 : -1, 0, 0);
    const int skyBitmap = preferences.word[pref::nightMode] != 0 ? 5138 : 5094;
    InitButton(w, kShowInSky, platform::FindBitmapEntry(skyBitmap) ? skyBitmap : -1, 0, 0);
    InitButton(w, kExport, -1, 0, 0);
    InitButton(w, kDelete, -1, 0, 0);
    for (int i = 7; i >= 0; --i) AppendListItem(w, kViewList, kViewRows[i]);
    for (int i = 5; i >= 0; --i) AppendListItem(w, kClockList, kClockRows[i]);
    for (int i = 12; i >= 0; --i) AppendListItem(w, kFovList, kFovRows[i]);
    for (int i = 9; i >= 0; --i) AppendListItem(w, kElevationList, kElevationRows[i]);
    for (int i = 4; i >= 0; --i) AppendListItem(w, kStepList, kStepRows[i]);
    InitPopupList(w, kViewPopup, kViewList, -1, 0, S().viewMode);
    InitPopupList(w, kSatellitePopup, kSatelliteList, 110, platform::ScreenHeight() > 240 ? 17 : 11, 0);
    InitPopupList(w, kClockPopup, kClockList, -1, 0, 0);
    InitPopupList(w, kFovPopup, kFovList, -1, 0, 0);
    InitPopupList(w, kElevationPopup, kElevationList, -1, 0, 0);
    InitPopupList(w, kStepPopup, kStepList, -1, 0, 0);
    InitField(w, kTime, 0);
    InitField(w, kDate, 0);
    InitField(w, kLine1, 0);
    InitField(w, kLine2, 0);
    InitList(w, kResultList, 0, -1, 1);
}

void ReleaseControls(Window w) {
    platform::KillTimer(w, kClockTimer);
    *Redraw() = 1;
    for (int id : kAllControls) ReleaseControl(w, id);
    if (formWindow_ == w) formWindow_ = Window{};
}

}  // namespace

LResult SatellitesAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        OpenSelfLaidOutForm(w, &formWindow_, Redraw(), &MakeControls, &LayoutSatellitesAssistant);
        return 1;
    }
    case platform::kMsgPaint:
        PaintForm(w, &InitSatellitesAssistant, Redraw(), 0, 0);
        return 1;
    case platform::kMsgDrawItem: {
        const int id = platform::LowWord(wParam);
        const auto* item = reinterpret_cast<const platform::DrawItemInfo*>(lParam);
        if (id == kSatelliteList) DrawOwnerListItem(w, item, &DrawNameRow);
        else if (id == kResultList) DrawOwnerListItem(w, item, &DrawResultRow);
        return 1;
    }
    case kMsgFieldTap: {
        const int id = platform::LowWord(wParam);
        if (id == kTime || id == kDate) {
            EraseWindow(w);
            DrawOnForm(w, [] { EditFormTime(); });
        } else if (id == kLine1 || id == kLine2) {
            EditLine(id);
        }
        return 1;
    }
    case platform::kMsgKeyDown: {
        const int key = static_cast<int>(wParam);
        if (key != platform::kKeyPageUp && key != platform::kKeyPageDown && (key < platform::kKeyLeft || key > platform::kKeyDown))
            return 0;
        DrawOnForm(w, [key] { SatellitesAssistantKey(key); });
        return 1;
    }
    case platform::kMsgPenDown: {
        const platform::Point p = platform::PointFromParam(lParam);
        penArmed_ = SatellitesAssistantPenDown(p.x, p.y) != 0;
        return 1;
    }
    case platform::kMsgPenMove: {
        if (!penArmed_) return 0;
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [p] { SatellitesAssistantPenMove(p.x, p.y); });
        return 1;
    }
    case platform::kMsgPenUp: {
        if (!penArmed_) return 0;
        penArmed_ = false;
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [p] { SatellitesAssistantPenUp(p.x, p.y); });
        return 1;
    }
    case platform::kMsgTimer:
        if (wParam == kClockTimer) DrawOnForm(w, [] { PaintSatellitesAssistant(); });
        return 1;
    case platform::kMsgDestroy:
        ReleaseControls(w);
        CloseSatellitesAssistant();
        return 0;
    case platform::kMsgClose: ReleaseControls(w); return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseSatellitesAssistant();
            ReleaseControls(w);
            CloseForm(kFormId);
            return 1;
        case 1: SatellitesAssistantCommand(kBack); return 1;
        case kViewPopup:
        case kSatellitePopup:
        case kElevationPopup: {
            const int list = platform::HighWord(wParam);
            FreeSavedScreen();
            EraseWindow(w);
            DrawOnForm(w, [list] { SatellitesAssistantCommand(list); });
            return 1;
        }
        case kClockPopup:
        case kFovPopup:
        case kStepPopup: {
            const int list = platform::HighWord(wParam);
            DrawOnForm(w, [list] { SatellitesAssistantCommand(list); });
            return 1;
        }
        case kNow:
        case kShowInSky:
        case kResultList:
            EraseWindow(w);
            DrawOnForm(w, [id] { SatellitesAssistantCommand(id); });
            return 1;
        default: DrawOnForm(w, [id] { SatellitesAssistantCommand(id); }); return 1;
        }
    }
    default: return 0;
    }
}
