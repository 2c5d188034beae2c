#include "planets/orbit_assistant.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/object_layers.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "chart/star_layers.h"
#include "core/calendar.h"
#include "core/number_text.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/comet_position.h"
#include "planets/comet_lists.h"
#include "planets/orbit_data_page.h"
#include "planets/orbit_views.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "shell/colour_scheme.h"
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
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace orbit_form;

OrbitFormState orbitForm;

namespace {

constexpr const char* kPageRows[6] = {"3D View", "Sky View", "Ephemeris", "Best Dates", "Brightest", "Data"};
constexpr const char* kStepRows[9] = {"1d", "2d", "5d", "7d", "10d", "14d", "30d", "60d", "90d"};
constexpr const char* kFieldRows[14] = {"180\xB0", "150\xB0", "120\xB0", "90\xB0", "60\xB0", "45\xB0", "30\xB0",
                                        "20\xB0",  "10\xB0",  "5\xB0",   "2.5\xB0", "1.5\xB0", "1\xB0", "0.5\xB0"};
constexpr const char* kLabelTexts[17] = {"Time of perihelion", "q", "Perihelion Distance", "AU", "M",
                                         "Mean Anomaly", "\xB0", "e", "Orbit Eccentricity", "Argmt. of Perihelion",
                                         "\xB0", "Longitude Asc. Node", "\xB0", "i", "Inclination", "\xB0",
                                         "Absolute Magnitude"};
constexpr const char* kHelpTexts[6][2] = {
    {"\x95 Drag your stylus on the screen to change 3D view,\n\x95 Use + and - button to zoom in and out,",
     "\x95 Select date step and use left/right keys to animate the chart."},
    {"\x95 Drag your stylus on the screen to rotate the view,\n\x95 Use the Field Of View list to zoom in and out.",
     ""},
    {"\x95 Select a comet in the list to display its ephemeris,\n\x95 Use Up and Down keys to change comet,",
     "\x95 Select date step and use left/right pda keys to change the start date."},
    {"\x95 Display for each Comet and Asteroid display the date when they are the brightest.", ""},
    {"\x95 Display the Comets and Asteroid list sorted from the brightest to faintest magnitude computed for the "
     "selected date.",
     ""},
    {"\x95 Select a comet in the list to display its orbital information.", ""},
};

constexpr int kDataFields[] = {kYear, kMonth, kDay, kDistance, kEccentricity, kArgPerihelion, kNode, kInclination,
                               kMagnitude, kMeanAnomaly};
constexpr int kDataButtons[] = {kNew, kSave, kDelete, kImport, kSync};

Window formWindow_;
DrawWindow* offscreen_ = nullptr;

// The chart settings the form borrows while it is open.
struct BorrowedChartSettings {
    bool held = false;
    int chartMode = 0, drilldown = 0, plain = 0;
    void Take() {
        if (held) return;
        chartMode = preferences.word[pref::chartMode];
        drilldown = preferences.word[chartpref::objDrilldown];
        plain = preferences.word[chartpref::skyViewPlain];
        held = true;
        preferences.word[pref::chartMode] = kChartModeWholeSky;
        preferences.word[chartpref::objDrilldown] = 0;
        preferences.word[chartpref::skyViewPlain] = 0;
    }
    void Give() {
        if (!held) return;
        preferences.word[pref::chartMode] = chartMode;
        preferences.word[chartpref::objDrilldown] = drilldown;
        preferences.word[chartpref::skyViewPlain] = plain;
        held = false;
    }
    ~BorrowedChartSettings() { Give(); }
};
BorrowedChartSettings borrowed_;

std::int32_t* Redraw() { return FormRedrawFlag(kFormId); }
bool Shown() { return platform::IsWindow(formWindow_); }
OrbitFormState& S() { return orbitForm; }
int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }

int CometCount() { return GetDbRecordCount(cometDb, 1); }

void Show(int id, bool show) {
    if (!Shown()) return;
    if (show)
        ShowObject(formWindow_, id);
    else
        HideObject(formWindow_, id);
}

void ShowDate() {
    char text[40];
    FormatDate(text, S().day, S().month, S().year);
    SetField(kDate, text);
}

void ShowTime(int hour, int minute) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", hour % 100, minute % 100);
    SetField(kTime, text);
}

void BringChartToFormDate() {
    const OrbitFormState& s = S();
    UpdateSkyForDate(1, s.year, s.month, s.day, s.hour, s.minute, 0, 1);
}

void ClearPage() {
    if (!GetDrawWindow()) return;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    FillRectangle(Bounds{0, Sy(46), width, height - Sy(68)});
}

void LabelComet() {
    OrbitFormState& s = S();
    if (s.currentComet < 0) {
        SetPopupLabel(kCometPopup, "<New>");
        return;
    }
    CometRecord record;
    if (s.currentComet < CometCount() && GetCometData(s.currentComet, &record)) {
        SetPopupList(kCometPopup, kCometList, s.currentComet);
        SetPopupLabel(kCometPopup, record.name);
    } else {
        SetPopupLabel(kCometPopup, "");
    }
}

void DrawCometPopupRow(int row, Bounds rect, int, int) {
    CometRecord record;
    if (row < 0 || row >= CometCount() || !GetCometData(row, &record)) return;
    DrawObjectSymbol(static_cast<int>(record.kind), 0, rect.x + Sx(8), rect.y + rect.height / 2);
    DrawChars(record.name, static_cast<int>(strnlen(record.name, sizeof record.name)), rect.x + Sx(18), rect.y);
}

void DrawListRow(int row, Bounds rect, int, int) { DrawCometListRow(row, rect); }

}  // namespace

int OrbitStepDays() { return kStepDays[std::clamp(orbitForm.stepIndex, 0, 8)]; }

double OrbitFormJD(bool withZone) {
    const OrbitFormState& s = orbitForm;
    return DateTimeToJD(s.year, s.month, s.day, s.hour, s.minute, 0, withZone ? observerLocation.zoneMinutes : 0);
}

bool LoadCurrentComet(CometRecord* out) {
    const OrbitFormState& s = orbitForm;
    if (s.currentComet < 0) {
        if (!s.editValid) return false;
        *out = s.editRecord;
    } else if (s.currentComet >= CometCount() || !GetCometData(s.currentComet, out)) {
        return false;
    }
    FillCometWorkElements(*out);
    return true;
}

void SetCurrentCometIndex(int index) { orbitForm.currentComet = index; }
void SetOrbitFormView(int page) { orbitForm.page = std::clamp(page, 0, 5); }

void OrbitHelpText(int page, const char** heading, const char** detail) {
    const int p = std::clamp(page, 0, 5);
    *heading = kHelpTexts[p][0];
    *detail = kHelpTexts[p][1];
}

void SetCometLabelMode(int comet) {
    OrbitFormState& s = S();
    s.labelMode = comet ? 1 : 0;
    if (!Shown()) return;
    SetField(kFirstLabel, comet ? "Time of perihelion" : "Epoch");
    SetField(kFirstLabel + 1, comet ? "q" : "a");
    SetField(kFirstLabel + 2, comet ? "Perihelion Distance" : "Semi Major Axis");
    for (int id : {kFirstLabel + 4, kFirstLabel + 5, kFirstLabel + 6, kMeanAnomaly}) Show(id, !comet);
    Show(kCometKind, comet != 0);
    Show(kAsteroidKind, comet == 0);
}

void ShowCometElements(int index) {
    OrbitFormState& s = S();
    CometRecord record;
    if (index < 0) {
        if (!s.editValid || s.editIndex >= 0) {
            NewCometRecord(&s.editRecord);
            s.editValid = true;
            s.editIndex = -1;
        }
        record = s.editRecord;
    } else {
        if (index >= CometCount() || !GetCometData(index, &record)) return;
        // The fields edit a copy of the record until Save.
        if (!s.editValid || s.editIndex != index) {
            s.editRecord = record;
            s.editValid = true;
            s.editIndex = index;
        }
        record = s.editRecord;
    }
    FillCometWorkElements(record);
    SetCometLabelMode(record.kind == 13 ? 1 : 0);
    SetField(kName, record.name);
    char text[40];
    if (s.labelMode == 1) {
        std::snprintf(text, sizeof text, "%04d", record.year);
        SetField(kYear, text);
        std::snprintf(text, sizeof text, "%02d", record.month);
        SetField(kMonth, text);
        FormatFixed(text, record.perihelionDay, 4);
        SetField(kDay, text);
        FormatFixed(text, record.perihelionDistance, 5);
        SetField(kDistance, text);
    } else {
        int year = 0, month = 0, day = 0, hour = 0, minute = 0;
        JDToDateTime(record.epochJd, &year, &month, &day, &hour, &minute, nullptr);
        std::snprintf(text, sizeof text, "%04d", year);
        SetField(kYear, text);
        std::snprintf(text, sizeof text, "%02d", month);
        SetField(kMonth, text);
        FormatFixed(text, day + hour / 24.0 + minute / 1440.0, 4);
        SetField(kDay, text);
        FormatFixed(text, record.work[2], 5);
        SetField(kDistance, text);
        FormatFixed(text, record.meanAnomaly, 5);
        SetField(kMeanAnomaly, text);
    }
    FormatFixed(text, record.eccentricity, 5);
    SetField(kEccentricity, text);
    FormatFixed(text, record.argPerihelion, 5);
    SetField(kArgPerihelion, text);
    FormatFixed(text, record.ascendingNode, 5);
    SetField(kNode, text);
    FormatFixed(text, record.inclination, 5);
    SetField(kInclination, text);
    FormatFixed(text, record.magnitude1, 2);
    SetField(kMagnitude, text);
    if (GetDrawWindow()) {
        // Omega and the node's symbol beside their rows.
        DrawSymbolChar(static_cast<char>(121), Sx(4), Sy(147));
        DrawSymbolChar(static_cast<char>(89), Sx(4), Sy(167));
    }
}

void RefreshOrbitForm(int index) {
    OrbitFormState& s = S();
    if (!Shown()) return;
    const int count = CometCount();
    SetListRows(kCometList, count);
    LabelComet();
    SetPopupList(kPagePopup, kPageList, s.page);
    ShowDate();
    SetPopupListProc(formWindow_, kCometPopup);
    for (int id = kFirstLabel; id <= kLastLabel; ++id) Show(id, false);
    if (!s.handlingKey) ClearPage();
    auto showOnly = [](std::initializer_list<int> shown) {
        for (int id : {kZoomIn, kZoomOut, kNow, kDate, kTime, kStepPopup, kFieldPopup, kRowList, kName, kCometKind,
                       kAsteroidKind})
            Show(id, false);
        for (int id : kDataFields) Show(id, false);
        for (int id : kDataButtons) Show(id, false);
        for (int id : shown) Show(id, true);
    };
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    switch (s.page) {
    case k3DView:
        showOnly({kZoomIn, kZoomOut, kNow, kDate, kStepPopup});
        SetPopupList(kStepPopup, kStepList, s.stepIndex);
        s.viewRect = Bounds{0, Sy(46), width, height - Sy(68)};
        if (DrawOrbit3D(s.zoom3D))
            DrawOrbitView(offscreen_, s.viewRect, orbit3DObjects.data(), static_cast<int>(orbit3DObjects.size()),
                          s.angles[0], s.angles[1], s.angles[2], s.zoom3D);
        break;
    case kSkyView:
        BringChartToFormDate();
        showOnly({kTime, kNow, kDate, kStepPopup, kFieldPopup});
        SetPopupList(kStepPopup, kStepList, s.stepIndex);
        SetPopupList(kFieldPopup, kFieldList, s.skyFieldIndex);
        ShowTime(s.hour, s.minute);
        s.viewRect = Bounds{0, Sy(46), width, height - Sy(68)};
        if (GetDrawWindow()) DrawCometSkyView(index);
        break;
    case kEphemeris:
        showOnly({kTime, kNow, kDate, kStepPopup});
        SetPopupList(kStepPopup, kStepList, s.stepIndex);
        s.viewRect = Bounds{0, Sy(45), width, height - Sy(58)};
        DrawCometEphemeris();
        break;
    case kBestDates:
    case kBrightest:
        SetDrawOnlyProc(formWindow_, kCometPopup);
        showOnly({kRowList, kTime, kNow, kDate});
        if (s.page == kBestDates)
            BuildBestDatesList();
        else
            BuildBrightestList();
        LabelComet();
        break;
    case kData:
    default:
        showOnly({});
        for (int id = kFirstLabel; id <= kLastLabel; ++id) Show(id, true);
        for (int id : kDataFields) Show(id, true);
        for (int id : kDataButtons) Show(id, true);
        Show(kName, index < 0);
        SetCometLabelMode(s.labelMode);
        ShowCometElements(index);
        break;
    }
}

namespace {

// The record the Data page shows changed: the working copy follows it.
void TakeComet(int index) {
    OrbitFormState& s = S();
    s.currentComet = index;
    s.editValid = false;
    s.skyCentre[0] = s.skyCentre[1] = 0.0f;
}

void TakeListRow() {
    OrbitFormState& s = S();
    const int row = GetListSelection(kRowList);
    if (row < 0 || row >= static_cast<int>(cometMagList.size())) return;
    const CometListEntry e = cometMagList[static_cast<std::size_t>(row)];
    CometRecord record;
    if (!GetCometData(e.record, &record)) return;
    TakeComet(e.record);
    LabelComet();
    FillCometWorkElements(record);
    cometWorkRecord = record;
    const double jd = DateTimeToJD(e.year, e.month, e.day, 0, 0, 0, 0);
    CometPosition p;
    ComputeCometPosition(MakeCometElements(record), jd, e.year, &p);
    // The row's date with the form's own clock time; the time field shows the row's.
    s.year = e.year, s.month = e.month, s.day = e.day;
    ShowDate();
    ShowTime(e.hour, e.minute);
    if (!GetDrawWindow()) return;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    char text[64];
    std::snprintf(text, sizeof text, "Earth: %.3f (AU)   ", p.earthDistance);
    const bool night = preferences.word[pref::nightMode] > 0;
    const platform::Color previous = SetTextColor(night ? GetForeColor() : platform::Rgb(0, 0, 0));
    const int previousTransparent = SetTextTransparent(0);
    const platform::Color previousBack = SetBackColor(GetBackColor());
    DrawChars(text, static_cast<int>(std::strlen(text)), 1, height - Sy(35));
    SetBackColor(previousBack);
    SetTextTransparent(previousTransparent);
    SetTextColor(previous);
}

void PickFieldOfView() {
    OrbitFormState& s = S();
    const int row = GetListSelection(kFieldList);
    if (row < 0 || row > 13 || row == s.skyFieldIndex) {
        SetPopupList(kFieldPopup, kFieldList, s.skyFieldIndex);
        return;
    }
    // The sky under the page centre stays the centre.
    const SkyView& v = skyViewState.view;
    std::int32_t ra = 0, dec = 0;
    if (v.scaleX != 0 && ScreenToSky(v, v.originX + v.centreX, v.originY + v.centreY, &ra, &dec)) {
        std::int32_t x = 0, y = 0, z = 0;
        ProjectToChart(ra, dec, &x, &y, &z);
        double turn = std::atan2(static_cast<double>(x), static_cast<double>(y)) * 57.29577951308232;
        if (turn < 0.0) turn += 360.0;
        s.skyCentre[0] = static_cast<float>(turn);
        s.skyCentre[1] = static_cast<float>(std::asin(std::clamp(z / 16777216.0, -1.0, 1.0)) * 57.29577951308232);
    }
    s.skyFieldIndex = row;
    SetChartFontSizes(row);
    SetPopupList(kFieldPopup, kFieldList, row);
    RefreshOrbitForm(s.currentComet);
}

void EditDataDate() {
    OrbitFormState& s = S();
    if (!s.editValid) return;
    const CometRecord& r = s.editRecord;
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (s.labelMode == 1) {
        year = r.year, month = r.month;
        const double d = r.perihelionDay;
        day = static_cast<int>(std::floor(d));
        const int minutes = static_cast<int>(std::lround((d - day) * 1440.0));
        hour = minutes / 60, minute = minutes % 60;
    } else {
        JDToDateTime(r.epochJd, &year, &month, &day, &hour, &minute, &second);
    }
    if (!EditDateTime(&year, &month, &day, &hour, &minute, &second)) return;
    char text[40];
    std::snprintf(text, sizeof text, "%04d", year);
    SetField(kYear, text);
    std::snprintf(text, sizeof text, "%02d", month);
    SetField(kMonth, text);
    FormatFixed(text, day + hour / 24.0 + minute / 1440.0, 4);
    SetField(kDay, text);
}

}  // namespace

int OrbitFormCommand(int id) {
    OrbitFormState& s = S();
    switch (id) {
    case kRowList: TakeListRow(); return 1;
    case kFieldList: PickFieldOfView(); return 1;
    case kPageList: {
        const int row = GetListSelection(kPageList);
        if (row >= 0 && row <= 5) s.page = row;
        SetPopupList(kPagePopup, kPageList, s.page);
        RefreshOrbitForm(s.currentComet);
        return 1;
    }
    case kHelp: {
        const char *heading = nullptr, *detail = nullptr;
        OrbitHelpText(s.page, &heading, &detail);
        ShowMessage(heading, detail);
        return 1;
    }
    case 1:
    case kBack: GoBackForm(); return 1;
    case kZoomIn:
    case kZoomOut:
        if (s.page != k3DView) return 1;
        s.zoom3D = std::clamp(s.zoom3D + (id == kZoomIn ? 1 : -1), 1, 7);
        RefreshOrbitForm(s.currentComet);
        return 1;
    case kNow:
        GetLocalDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, &s.second);
        s.second = 0;
        BringChartToFormDate();
        ShowDate();
        s.skyCentre[0] = s.skyCentre[1] = 0.0f;
        RefreshOrbitForm(s.currentComet);
        return 1;
    case kCometList: {
        const int row = GetListSelection(kCometList);
        CometRecord record;
        if (row >= 0 && row < CometCount() && GetCometData(row, &record)) TakeComet(row);
        RefreshOrbitForm(s.currentComet);
        return 1;
    }
    case kYear:
    case kMonth:
    case kDay: EditDataDate(); return 1;
    case kDate:
    case kTime:
        // The form's own date and time, as the date and time form edits any other.
        if (EditDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, &s.second)) {
            s.second = 0;
            s.skyCentre[0] = s.skyCentre[1] = 0.0f;
            BringChartToFormDate();
            ShowDate();
            RefreshOrbitForm(s.currentComet);
        }
        return 1;
    case kStepList: {
        const int row = GetListSelection(kStepList);
        if (row >= 0 && row <= 8) s.stepIndex = row;
        SetPopupList(kStepPopup, kStepList, s.stepIndex);
        s.skyCentre[0] = s.skyCentre[1] = 0.0f;
        RefreshOrbitForm(s.currentComet);
        return 1;
    }
    case kObjectInfo: {
        if (s.currentComet < 0) return 1;
        ObjectRef ref;
        ref.catalog = kCatalogComet;
        ref.type = 13;
        ref.number = static_cast<std::uint32_t>(s.currentComet + 1);
        CometRecord record;
        if (GetCometData(s.currentComet, &record)) SetObjectRefName(&ref, record.name);
        SetCurrentObjectRecord(&ref, 12);
        GotoForm(112);
        return 1;
    }
    case kCometKind: SetCometLabelMode(1); return 1;
    case kAsteroidKind: SetCometLabelMode(0); return 1;
    default: return OrbitDataCommand(id);
    }
}

void StepOrbitTime(int days) {
    OrbitFormState& s = S();
    do {
        AddDays(&s.year, &s.month, &s.day, days);
        ShowDate();
        s.skyCentre[0] = s.skyCentre[1] = 0.0f;
        RefreshOrbitForm(s.currentComet);
    } while (IsNavKeyDown() && Shown());
}

int OrbitFormKey(int key) {
    OrbitFormState& s = S();
    const int count = CometCount();
    s.handlingKey = 1;
    int handled = 1;
    switch (key) {
    case platform::kKeyDown:
    case platform::kKeyPageUp:
        if (count > 0) TakeComet(std::clamp(s.currentComet + 1, 0, count - 1));
        RefreshOrbitForm(s.currentComet);
        break;
    case platform::kKeyUp:
    case platform::kKeyPageDown:
        if (count > 0) TakeComet(std::clamp(s.currentComet - 1, 0, count - 1));
        RefreshOrbitForm(s.currentComet);
        break;
    case platform::kKeyLeft: StepOrbitTime(-OrbitStepDays()); break;
    case platform::kKeyRight: StepOrbitTime(OrbitStepDays()); break;
    default: handled = 0; break;
    }
    s.handlingKey = 0;
    return handled;
}

void OrbitFormPenDown(int x, int y) {
    OrbitFormState& s = S();
    s.penDown = 1;
    s.penMoved = 0;
    s.penX = x, s.penY = y;
    s.penCentreX = s.viewRect.x + s.viewRect.width / 2;
    s.penCentreY = s.viewRect.y + s.viewRect.height / 2;
}

void OrbitFormPenMove(int x, int y) {
    OrbitFormState& s = S();
    if (!s.penDown) return;
    const int dx = x - s.penX, dy = y - s.penY;
    switch (s.page) {
    case k3DView:
        if (dx == 0 && dy == 0) return;
        TurnOrbitView(dx, dy);
        s.penX = x, s.penY = y, s.penMoved = 1;
        if (!orbit3DObjects.empty())
            DrawOrbitView(offscreen_, s.viewRect, orbit3DObjects.data(), static_cast<int>(orbit3DObjects.size()),
                          s.angles[0], s.angles[1], s.angles[2], s.zoom3D);
        break;
    case kSkyView:
        if (!DragCometSkyView(dx, dy)) return;
        s.penX = x, s.penY = y, s.penMoved = 1;
        DrawSkyView(cometTrackPoints, kCometTrackPoints, s.viewRect, nullptr, s.skyFieldIndex, s.skyCentre[0],
                    s.skyCentre[1], 0);
        break;
    case kEphemeris:
        if (dy == 0) return;
        AddDays(&s.year, &s.month, &s.day, dy);
        s.penX = x, s.penY = y, s.penMoved = 1;
        ShowDate();
        ClearPage();
        DrawCometEphemeris();
        break;
    case kData: {
        if (std::abs(dx) < 4) return;
        const int count = CometCount();
        s.penX = x, s.penY = y, s.penMoved = 1;
        if (count <= 0) return;
        const int next = std::clamp(s.currentComet + (dx > 0 ? 1 : -1), 0, count - 1);
        if (next == s.currentComet) return;
        TakeComet(next);
        RefreshOrbitForm(s.currentComet);
        break;
    }
    default: break;
    }
}

int OrbitFormPenUp(int x, int y) {
    OrbitFormState& s = S();
    const bool wasDown = s.penDown != 0;
    s.penDown = 0;
    if (!wasDown) return 0;
    if (s.page == kSkyView && !s.penMoved) {
        TapCometSkyView(x, y);
        return 1;
    }
    if (s.page == kSkyView && s.penMoved) {
        // The drag drew quickly; the full drawing follows.
        RefreshOrbitForm(s.currentComet);
        return 1;
    }
    return s.penMoved;
}

void CloseOrbitForm() {
    SetSkyViewOwner(0);
    SetSkyViewFlag(1);
    borrowed_.Give();
    if (offscreen_) {
        DeleteOffscreen(offscreen_);
        offscreen_ = nullptr;
    }
    orbit3DObjects.clear();
    orbit3DObjects.shrink_to_fit();
    // The sky matrix and the star table were projected for the form's date: the chart
    // projects its own again when it next draws.
    InvalidateSkyProjection();
    chartState.starsProjected = 0;
    chartState.selectionProjected = 0;
}

int LayoutOrbitForm(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    for (int id : {kBack, kSync, kImport, kSave, kNew, kDelete}) MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kDate, kStepPopup, kFieldPopup, kZoomIn, kZoomOut, kTime, kNow}) MoveObject(dialog, id, dx, dy, 0, 0);
    for (int id : {kStepList, kFieldList, kHelp, kObjectInfo}) MoveObject(dialog, id, dx, 0, 0, 0);
    MoveObject(dialog, kRowList, 0, 0, dx, dy);
    return 1;
}

namespace {

void InitOrbitForm() {
    OrbitFormState& s = S();
    SetSkyViewOwner(1);
    SetSkyViewFlag(0);
    if (s.year == -1) {
        const ObservingDateTime& t = observingDateTime;
        s.year = t.year, s.month = t.month, s.day = t.day, s.hour = t.hour, s.minute = t.minute;
        s.second = 0;
    }
    BringChartToFormDate();
    borrowed_.Take();
    PushFormHistory(kFormId);
    s.skyCentre[0] = s.skyCentre[1] = 0.0f;
    SetChartFontSizes(s.skyFieldIndex);
    if (offscreen_) DeleteOffscreen(offscreen_);
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    offscreen_ = CreateOffscreenDIB(width, height, 16);
    if (!offscreen_) ShowMessage("Can't allocate offscreen window", "");
    const int count = CometCount();
    if (s.currentComet >= count) s.currentComet = count > 0 ? count - 1 : 0;
    Show(kBack, true);
    RefreshOrbitForm(s.currentComet);
}

void MakeControls(Window w) {
    OrbitFormState& s = S();
    InitTitle(w, kTitle, "OrbitAssistant");
    auto bitmap = [](int id) { return platform::FindBitmapEntry(id) ? id : -1; };
    InitButton(w, kHelp, bitmap(5076), 0, 0);
    InitButton(w, kObjectInfo, bitmap(5125), 0, 0);
    InitButton(w, kBack, bitmap(5074), 0, 0);
    InitButton(w, kNow, bitmap(120), 0, 0);
    for (int id : {kZoomIn, kZoomOut, kCometKind, kAsteroidKind}) InitButton(w, id, -1, 0, 0);
    for (int id : kDataButtons) InitButton(w, id, -1, 0, 0);
    for (int i = 5; i >= 0; --i) AppendListItem(w, kPageList, kPageRows[i]);
    for (int i = 8; i >= 0; --i) AppendListItem(w, kStepList, kStepRows[i]);
    for (int i = 13; i >= 0; --i) AppendListItem(w, kFieldList, kFieldRows[i]);
    InitPopupList(w, kPagePopup, kPageList, -1, 0, s.page);
    InitPopupList(w, kStepPopup, kStepList, -1, 0, s.stepIndex);
    InitPopupList(w, kFieldPopup, kFieldList, -1, 0, s.skyFieldIndex);
    InitPopupList(w, kCometPopup, kCometList, CometCount(), platform::ScreenHeight() > 240 ? 14 : 9,
                  std::max(s.currentComet, 0));
    InitField(w, kDate, 0);
    InitField(w, kTime, 0);
    InitField(w, kName, 0);
    for (int id : kDataFields) InitField(w, id, 0);
    for (int id = kFirstLabel; id <= kLastLabel; ++id) {
        InitLabel(w, id);
        SetField(id, kLabelTexts[id - kFirstLabel]);
    }
    InitList(w, kRowList, 0, -1, 1);
}

void ReleaseOrbitControls(Window w) {
    *Redraw() = 1;
    for (int id : {kTitle, kHelp, kObjectInfo, kBack, kNow, kZoomIn, kZoomOut, kCometKind, kAsteroidKind, kPagePopup,
                   kStepPopup, kFieldPopup, kCometPopup, kDate, kTime, kName, kRowList})
        ReleaseControl(w, id);
    for (int id : kDataButtons) ReleaseControl(w, id);
    for (int id : kDataFields) ReleaseControl(w, id);
    for (int id = kFirstLabel; id <= kLastLabel; ++id) ReleaseControl(w, id);
    if (formWindow_ == w) formWindow_ = Window{};
}

}  // namespace

LResult OrbitAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        OpenSelfLaidOutForm(w, &formWindow_, Redraw(), &MakeControls, &LayoutOrbitForm);
        return 1;
    }
    case platform::kMsgPaint: PaintForm(w, &InitOrbitForm, Redraw(), 1, 0); return 1;
    case platform::kMsgDrawItem: {
        const int id = platform::LowWord(wParam);
        const auto* item = reinterpret_cast<const platform::DrawItemInfo*>(lParam);
        if (id == kRowList)
            DrawOwnerListItem(w, item, &DrawListRow);
        else if (id == kCometList)
            DrawOwnerListItem(w, item, &DrawCometPopupRow);
        return 1;
    }
    case kMsgFieldTap: {
        const int id = platform::LowWord(wParam);
        if (id == kDate || id == kTime || id == kYear || id == kMonth || id == kDay || id == kName ||
            (id >= kDistance && id <= kMagnitude) || id == kMeanAnomaly)
            DrawOnForm(w, [id] { OrbitFormCommand(id); });
        return 1;
    }
    case platform::kMsgKeyDown: {
        const int key = static_cast<int>(wParam);
        if (key != platform::kKeyPageUp && key != platform::kKeyPageDown &&
            (key < platform::kKeyLeft || key > platform::kKeyDown))
            return 0;
        DrawOnForm(w, [key] { OrbitFormKey(key); });
        return 1;
    }
    case platform::kMsgPenDown: {
        const platform::Point p = platform::PointFromParam(lParam);
        OrbitFormPenDown(p.x, p.y);
        return 1;
    }
    case platform::kMsgPenMove: {
        if (!orbitForm.penDown) return 0;
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [p] { OrbitFormPenMove(p.x, p.y); });
        return 1;
    }
    case platform::kMsgPenUp: {
        const platform::Point p = platform::PointFromParam(lParam);
        if (!platform::IsWindow(w)) return 0;
        const platform::Dc dc = platform::GetWindowDc(w);
        SetDrawTarget(w, dc);
        if (OrbitFormPenUp(p.x, p.y)) SaveScreen();
        platform::ReleaseDc(w, dc);
        return 1;
    }
    case platform::kMsgDestroy:
        ReleaseOrbitControls(w);
        CloseOrbitForm();
        return 0;
    case platform::kMsgClose:
        CloseOrbitForm();
        ReleaseOrbitControls(w);
        return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseOrbitForm();
            ReleaseOrbitControls(w);
            CloseForm(kFormId);
            return 1;
        case kPagePopup:
        case kCometPopup:
        case kStepPopup:
        case kFieldPopup: {
            const int list = platform::HighWord(wParam);
            DrawOnForm(w, [list] { OrbitFormCommand(list); });
            return 1;
        }
        default: DrawOnForm(w, [id] { OrbitFormCommand(id); }); return 1;
        }
    }
    default: return 0;
    }
}
