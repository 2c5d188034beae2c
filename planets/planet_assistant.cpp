#include "planets/planet_assistant.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_zoom.h"
#include "chart/sky_view.h"
#include "chart/star_layers.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "eclipses/event_list.h"
#include "moon/globe_drawing.h"
#include "moon/map_textures.h"
#include "objects/objects_services.h"
#include "planets/planet_assistant_views.h"
#include "planets/planet_view_form.h"
#include "planets/planet_view_state.h"
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
#include "shell/time_bar.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace planet_assistant;

PlanetFormState planetFormState;
PlanetFormSettings planetFormSettings;

namespace {

constexpr const char* kViews[10] = {"Ecliptic", "Sun View", "Position", "Sky View", "Info",
                                    "Rise&Set", "Charts",   "Events",   "Phase",    "3DView"};
constexpr const char* kSteps[9] = {"1d", "2d", "5d", "7d", "10d", "14d", "30d", "60d", "90d"};
constexpr const char* kZooms[14] = {"180\xB0", "150\xB0", "120\xB0", "90\xB0", "60\xB0", "45\xB0",  "30\xB0",
                                    "20\xB0",  "10\xB0",  "5\xB0",   "2.5\xB0", "1.5\xB0", "1\xB0", "0.5\xB0"};
constexpr double kZoomDegrees[14] = {180, 150, 120, 90, 60, 45, 30, 20, 10, 5, 2.5, 1.5, 1, 0.5};
constexpr const char* kQuantities[5] = {"Elongation", "Apparent Diameter", "Magnitude", "Phase", "Elevation"};
constexpr const char* kPeriods[4] = {"1 month", "3 months", "6 months", "1 year"};
constexpr const char* kFilters[5] = {"All", "Conj.", "Moon", "Opp.", "Eclipse"};
constexpr const char* kBodies[kBodyRows] = {
    "Sun",      "Mercury",  "Venus clouds", "Venus ground", "Earth",   "Earth Night", " Moon",   "Mars",
    " Deimos",  " Phobos",  "Jupiter",      " Io",          " Europa", " Ganymede",   " Callisto", "Saturn",
    " Enceladus", " Tethys", " Dione",      " Rhea",        " Titan",  "Uranus",      " Miranda", " Ariel",
    " Umbriel", " Titania", " Oberon",      "Neptune",      " Triton", "Pluto"};
constexpr int kSaturnRow = 15, kUranusRow = 21;
constexpr int kKeyRepeatLimit = 10000;

constexpr const char* kHelpTexts[10][2] = {
    {"Display the relatives planet position among the sky", "Use Left PDA keys or Up and Down keys to change date."},
    {"Display heliocentric planet position among the sky to let you visualy determine date of conjonction, opposition "
     "of planets visible from earth",
     "Use Left PDA keys or Up and Down keys to change date."},
    {"Display all the planet position information.", "Use Left PDA keys or Up and Down keys to change date."},
    {"Display a virtual sky with the planets path drawn.", "Move your stylus on the chart to animate it."},
    {"Display the planet information.", "Use Left PDA keys or Up and Down keys to change date."},
    {"Display the planet rise and set.",
     "Use Left PDA keys or Up and Down keys to change date and visualy find the best period to observe them."},
    {"Display evolution among the year of the main planet information.",
     "Tap any key to stop the chart refresh.\n Use your stylus to determine key date."},
    {"Determine the most interresting planet events for a specific time frame.",
     "Once computed, the list can be filtered to let you work on a specific type of event.\n Displayed times are UT "
     "ones."},
    {"", ""},
    {"Display a photo realistic view of a planet or a statellite of a planet.",
     "Move your finger on the screen to scroll the view."}};

constexpr int kAllControls[] = {kTitle,       kViewPopup,     kHelp,         kNow,        kBack,
                                kShowOnChart, kDate,          kTime,         kStepPopup,  kZoomPopup,
                                kQuantityPopup, kPeriodLabel, kPeriodPopup,  kFilterLabel, kFilterPopup,
                                kEventList,   kBodyPopup};

Window formWindow_;
bool penDown_ = false;

PlanetFormState& S() { return planetFormState; }
PlanetFormSettings& F() { return planetFormSettings; }
bool Shown() { return platform::IsWindow(formWindow_); }
std::int32_t* Redraw() { return FormRedrawFlag(kFormId); }
int Sx(int v) { return static_cast<int>(v * screenScale.horizontal); }
int Sy(int v) { return static_cast<int>(v * screenScale.vertical); }
bool Night() { return preferences.word[pref::nightMode] != 0; }

void Show(int id, bool show) {
    if (Shown()) ShowControl(formWindow_, id, show ? 1 : 0);
}

void ShowDate() {
    const PlanetFormState& s = S();
    char text[40];
    FormatDate(text, s.day, s.month, s.year);
    SetField(kDate, text);
}

void ShowTime() {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", S().hour % 100, S().minute % 100);
    SetField(kTime, text);
}

void Remember() {
    const PlanetFormState& s = S();
    PlanetFormSettings& f = F();
    f.rememberedYear = s.year, f.rememberedMonth = s.month, f.rememberedDay = s.day;
    f.rememberedHour = s.hour, f.rememberedMinute = s.minute;
}

void StepDate(int days) {
    PlanetFormState& s = S();
    AddDays(&s.year, &s.month, &s.day, days);
    Remember();
    if (s.view == kEvents) FreeEventList();
    ShowDate();
    s.skyAzimuth = s.skyAltitude = 0.0f;
}

int GlobeLimit() { return S().height > Sy(320) ? 155 : 120; }

// No event passes the filter, or the search found none: the list then holds one row that
// says so, so that an empty period does not look like a view that failed to draw.
bool NoEventListed() { return FindFirstFilteredEvent() >= eventList.count; }

double NormalizeDegrees360(double v) {
    v = std::fmod(v, 360.0);
    return v < 0 ? v + 360.0 : v;
}

}  // namespace

GlobeBody PlanetGlobeBody(int row) {
    GlobeBody b{row + 1, 1.0, 1.0, 1.0};
    static constexpr double kPoles[kBodyRows] = {0,   0.1, 177.3, 177.3, 23.45, 23.45, 1.0,  25.19, 1.0,  1.0,
                                                 3.12, 1.0, 1.0,   1.0,   1.0,   26.73, 1.0,  1.0,   1.0,  1.0,
                                                 1.0,  0,   0,     0,     0,     0,     0,    29.56, 0,    122.46};
    if (row < 0 || row >= kBodyRows) return b;
    b.poleAngle = kPoles[row];
    if (row == 10) b.flattening = 0.94;
    if (row == kSaturnRow) b.flattening = 0.9;
    const bool moon = kBodies[row][0] == ' ';
    b.sizeFactor = moon && row != 6 ? 0.7 : 1.0;
    return b;
}

void DrawPlanetGlobe(int row, int x, int y, int size) {
    const PlanetFormState& s = S();
    const GlobeBody b = PlanetGlobeBody(row);
    const double radius = static_cast<int>(size * screenScale.horizontal) * b.sizeFactor;
    if (row == kSaturnRow)
        DrawPlanetSphere(b.mapId, 31, x, y, s.rotation, b.poleAngle, s.tilt, radius / 2, b.flattening);
    else if (row == kUranusRow)
        DrawPlanetSphere(b.mapId, 32, x, y, s.rotation, 0.0, s.tilt, radius / 2, b.flattening);
    else
        DrawPlanetTexture(b.mapId, x, y, s.rotation, b.poleAngle, s.tilt, radius, b.flattening);
}

void PlanetAssistantHelp(int view, const char** text, const char** detail) {
    *text = *detail = "";
    if (view < 0 || view > 9) return;
    *text = kHelpTexts[view][0];
    *detail = kHelpTexts[view][1];
}

void RedrawPlanetAssistant() {
    PlanetFormState& s = S();
    PlanetFormSettings& f = F();
    FreeTimeBarBitmap();
    SetPopupList(kViewPopup, kViewList, s.view);
    ShowDate();
    const bool sky = s.view == kSkyView;
    Show(kShowOnChart, !sky);
    Show(kTime, !sky && !(s.view == kCharts && s.quantity != 4));
    Show(kStepPopup, sky);
    Show(kZoomPopup, sky);
    if (sky) SetPopupList(kZoomPopup, kZoomList, f.zoomIndex);
    Show(kBodyPopup, s.view == k3DView);
    Show(kQuantityPopup, s.view == kCharts);
    Show(kPeriodLabel, s.view == kEvents);
    Show(kPeriodPopup, s.view == kEvents);
    Show(kFilterLabel, s.view == kEvents);
    Show(kFilterPopup, s.view == kEvents);
    Show(kEventList, s.view == kEvents);
    if (s.view == kEvents) ShowDateInLocalTime();
    else ShowDateInUT();
    if (s.view != kEvents) ShowTime();
    switch (s.view) {
    case kEcliptic: DrawEclipticView(); break;
    case kSunView: DrawSunView(); break;
    case kPosition:
    case kInfo:
    case kRiseSet: {
        SetForeColor(platform::Rgb(0, 0, 0));
        DrawRectangle(PlanetDrawingArea(), 0);
        DrawPlanetTable(s.view);
        break;
    }
    case kSkyView:
        SetPopupList(kStepPopup, kStepList, f.stepIndex);
        DrawPlanetSkyView();
        break;
    case kCharts: DrawPlanetCharts(s.year, s.month, s.quantity); break;
    case kEvents:
        SearchEvents();
        if (Shown()) {
            if (NoEventListed()) FillList(FindListView(formWindow_, kEventList), nullptr, 1);
            RedrawObject(formWindow_, kEventList);
        }
        break;
    case k3DView: {
        Show(kShowOnChart, false);
        Show(kTime, false);
        Show(kDate, false);
        const Bounds area = PlanetDrawingArea();
        SetForeColor(platform::Rgb(0, 0, 0));
        DrawRectangle(area, 0);
        f.globeLimit = GlobeLimit();
        f.globeSize = std::min(f.globeSize, f.globeLimit);
        DrawPlanetGlobe(s.body, s.width / 2, area.height / 2 + Sy(24), f.globeSize);
        break;
    }
    default: break;
    }
    if (s.view != k3DView) Show(kDate, true);
}

void InitPlanetAssistant() {
    PlanetFormState& s = S();
    FreeTimeBarBitmap();
    SetSkyViewOwner(1);
    if (!s.open) {
        s.savedChartMode = preferences.word[pref::chartMode];
        s.savedObjectNames = preferences.word[chartpref::objectNames];
        s.savedLegend = preferences.word[chartpref::starsLegend];
        s.open = true;
    }
    preferences.word[pref::chartMode] = 2;
    preferences.word[chartpref::objectNames] = 0;
    preferences.word[chartpref::starsLegend] = 0;
    PushFormHistory(kFormId);
    const PlanetFormSettings& f = F();
    SetChartFontSizes(f.zoomIndex);
    if (f.rememberedYear != -1) {
        s.year = f.rememberedYear, s.month = f.rememberedMonth, s.day = f.rememberedDay;
        s.hour = f.rememberedHour, s.minute = f.rememberedMinute;
    } else {
        GetLocalDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, nullptr);
    }
    GetScreenSize(&s.width, &s.height);
    if (Shown()) {
        const platform::Rect client = platform::GetClientRect(formWindow_);
        if (client.Width() > 0) s.width = client.Width(), s.height = client.Height();
    }
    ShowDate();
    ShowTime();
    if (!s.offscreen) {
        s.offscreen = CreateOffscreenDIB(s.width, s.height, 16);
        if (!s.offscreen) ShowMessage("Can't allocate offscreen window", "");
    }
    for (int id : {kBack, kShowOnChart, kDate, kNow}) Show(id, true);
    RedrawPlanetAssistant();
}

void ClosePlanetAssistant() {
    PlanetFormState& s = S();
    if (!s.open) return;
    s.open = false;
    Remember();
    SetSkyViewOwner(0);
    preferences.word[pref::chartMode] = s.savedChartMode;
    preferences.word[chartpref::objectNames] = s.savedObjectNames;
    preferences.word[chartpref::starsLegend] = s.savedLegend;
    FreeMapImages();
    // The star dots of the ecliptic strip come from the chart's saved star strip.
    FreeSavedBitmap();
    s.eclipticStarsLoaded = false;
    FreeTimeBarBitmap();
    if (s.offscreen) DeleteOffscreen(s.offscreen);
    s.offscreen = nullptr;
}

int PlanetAssistantCommand(int id) {
    PlanetFormState& s = S();
    PlanetFormSettings& f = F();
    switch (id) {
    case kViewList: {
        const int row = GetListSelection(kViewList);
        if (row < 0 || row > 9) return 1;
        if (row == kPhase) {
            SelectPhaseAssistant();
            GotoForm(planet_view_form::kFormId);
            return 1;
        }
        s.view = row;
        for (int hidden : {kQuantityList, kPeriodLabel, kPeriodPopup, kFilterPopup, kFilterLabel, kQuantityPopup})
            Show(hidden, false);
        if (row == k3DView) s.rotation = s.tilt = 0;
        if (Shown()) EraseWindow(formWindow_);
        RedrawPlanetAssistant();
        return 1;
    }
    case kHelp: {
        const char *text, *detail;
        PlanetAssistantHelp(s.view, &text, &detail);
        if (*text) ShowMessage(text, detail);
        return 1;
    }
    case kNow:
        GetLocalDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, nullptr);
        Remember();
        if (s.view == kEvents) FreeEventList();
        ShowDate();
        ShowTime();
        RedrawPlanetAssistant();
        return 1;
    case kStepList: {
        const int row = GetListSelection(kStepList);
        if (row < 0 || row > 8) return 1;
        f.stepIndex = row;
        s.skyAzimuth = s.skyAltitude = 0.0f;
        RedrawPlanetAssistant();
        return 1;
    }
    case kStepForward:
    case kStepBack:
        StepDate(id == kStepForward ? kPlanetStepDays[f.stepIndex] : -kPlanetStepDays[f.stepIndex]);
        RedrawPlanetAssistant();
        return 1;
    case kZoomList: {
        const int row = GetListSelection(kZoomList);
        if (row < 0 || row > 13 || row == f.zoomIndex) return 1;
        const Bounds area = PlanetDrawingArea();
        float first = s.skyAzimuth, second = s.skyAltitude;
        if (SkyViewPointToCentre(area.x + area.width / 2, area.y + area.height / 2, &first, &second)) {
            s.skyAzimuth = static_cast<float>(std::fmod(std::fmod(first, 360.0f) + 360.0f, 360.0f));
            s.skyAltitude = std::clamp(second, -90.0f, 90.0f);
        }
        f.zoomIndex = row;
        SetPopupList(kZoomPopup, kZoomList, row);
        RedrawPlanetAssistant();
        return 1;
    }
    case kBodyList: {
        const int row = GetListSelection(kBodyList);
        if (row < 0 || row >= kBodyRows) return 1;
        s.body = row;
        s.rotation = s.tilt = 0;
        SetPopupList(kBodyPopup, kBodyList, row);
        RedrawPlanetAssistant();
        return 1;
    }
    case kQuantityList: {
        const int row = GetListSelection(kQuantityList);
        if (row < 0 || row > 4 || row == s.quantity) return 1;
        s.quantity = row;
        SetPopupList(kQuantityPopup, kQuantityList, row);
        RedrawPlanetAssistant();
        return 1;
    }
    case kFilterList: {
        const int row = GetListSelection(kFilterList);
        if (row < 0 || row > 4 || row == s.filter) return 1;
        s.filter = row;
        SetPopupList(kFilterPopup, kFilterList, row);
        RedrawPlanetAssistant();
        return 1;
    }
    case kPeriodList: {
        const int row = GetListSelection(kPeriodList);
        if (row < 0 || row > 3 || row == s.period) return 1;
        s.period = row;
        SetPopupList(kPeriodPopup, kPeriodList, row);
        FreeEventList();
        RedrawPlanetAssistant();
        return 1;
    }
    case kShowOnChart: {
        char text[40] = {};
        if (GetField(kDate, text, sizeof text)) {
            int day = 0, month = 0, year = 0;
            ParseDate(text, &day, &month, &year);
            if (year > 0 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month))
                s.year = year, s.month = month, s.day = day;
        }
        ObservingDateTime& t = observingDateTime;
        t.year = s.year, t.month = s.month, t.day = s.day, t.hour = s.hour, t.minute = s.minute, t.second = 0;
        RunObjectSelection(7, 0, 27);
        SetSkyDateTime(nullptr, s.year, s.month, s.day, s.hour, s.minute);
        GotoForm(1900);
        return 1;
    }
    case kEventList: {
        DrawPlanetEventList(GetListSelection(kEventList));
        return 1;
    }
    case kBack:
    case 1: GoBackForm(); return 1;
    default: return 0;
    }
}

int PlanetAssistantKey(int key) {
    PlanetFormState& s = S();
    const PlanetFormSettings& f = F();
    if (key == platform::kKeyLeft || key == platform::kKeyRight) {
        const int days = key == platform::kKeyLeft ? kPlanetStepDays[f.stepIndex] : -kPlanetStepDays[f.stepIndex];
        for (int repeat = 0; repeat < kKeyRepeatLimit; ++repeat) {
            StepDate(days);
            RedrawPlanetAssistant();
            if (!IsNavKeyDown()) break;
        }
        FlushKeyEvents();
        return 1;
    }
    if (s.view != kSkyView) return 0;
    int direction;
    switch (key) {
    case platform::kKeyUp:
    case platform::kKeyPageDown: direction = 1; break;
    case platform::kKeyDown:
    case platform::kKeyPageUp: direction = -1; break;
    default: return 0;
    }
    const double step = kZoomDegrees[std::clamp(f.zoomIndex, 0, 13)] / (GetDpiFactor() * 25.0);
    for (int repeat = 0; repeat < kKeyRepeatLimit; ++repeat) {
        s.skyAltitude = static_cast<float>(std::clamp(s.skyAltitude + direction * step, -90.0, 90.0));
        int count = 0;
        SelectionRecord* records = PlanetSkyRecords(&count);
        DrawSkyView(records, count, PlanetDrawingArea(), nullptr, f.zoomIndex, s.skyAzimuth, s.skyAltitude, 0);
        if (!IsNavKeyDown()) break;
    }
    int count = 0;
    SelectionRecord* records = PlanetSkyRecords(&count);
    DrawSkyView(records, count, PlanetDrawingArea(), nullptr, f.zoomIndex, s.skyAzimuth, s.skyAltitude, 1);
    FlushKeyEvents();
    return 1;
}

int PlanetAssistantPenDown(int x, int y) {
    PlanetFormState& s = S();
    s.penX = x, s.penY = y;
    if (s.view == kSkyView) s.dragStarted = 0;
    return 0;
}

int PlanetAssistantPenMove(int x, int y) {
    PlanetFormState& s = S();
    PlanetFormSettings& f = F();
    const int dx = x - s.penX, dy = y - s.penY;
    switch (s.view) {
    case k3DView: {
        f.globeLimit = s.body == 0 ? 280 : GlobeLimit();
        s.rotation = static_cast<int>(NormalizeDegrees360(s.rotation + dx));
        s.tilt = static_cast<int>(NormalizeDegrees360(s.tilt + dy));
        s.penX = x, s.penY = y;
        const Bounds area = PlanetDrawingArea();
        DrawPlanetGlobe(s.body, s.width / 2, area.height / 2 + Sy(24), std::min(f.globeSize, f.globeLimit));
        return 1;
    }
    case kCharts: return DrawTimeBar(x, y, kDate, s.quantity == 4 ? kTime : 0, s.year, s.month);
    case kSkyView: {
        if (!s.dragStarted && std::abs(dx) < Sx(4) && std::abs(dy) < Sx(4)) return 0;
        s.dragStarted = 1;
        const double w = kZoomDegrees[std::clamp(f.zoomIndex, 0, 13)];
        s.skyAzimuth = static_cast<float>(NormalizeDegrees360(s.skyAzimuth + dx * w / (120.0 * screenScale.horizontal)));
        s.skyAltitude =
            static_cast<float>(std::clamp(s.skyAltitude + dy * w / (120.0 * screenScale.vertical), -90.0, 90.0));
        s.penX = x, s.penY = y;
        int count = 0;
        SelectionRecord* records = PlanetSkyRecords(&count);
        DrawSkyView(records, count, PlanetDrawingArea(), nullptr, f.zoomIndex, s.skyAzimuth, s.skyAltitude, 0);
        return 1;
    }
    case kEcliptic:
    case kPosition:
    case kRiseSet:
        if (dy == 0) return 0;
        AddMinutes(&s.year, &s.month, &s.day, &s.hour, &s.minute, 10 * dy);
        s.penY = y;
        ShowDate();
        ShowTime();
        RedrawPlanetAssistant();
        return 1;
    case kSunView:
    case kInfo:
        if (dy == 0) return 0;
        AddDays(&s.year, &s.month, &s.day, dy);
        s.penY = y;
        ShowDate();
        RedrawPlanetAssistant();
        return 1;
    default: return 0;
    }
}

int PlanetAssistantPenUp(int x, int y) {
    PlanetFormState& s = S();
    if (s.view == kCharts) return DrawTimeBar(x, y, kDate, s.quantity == 4 ? kTime : 0, s.year, s.month);
    if (s.view == kSkyView) {
        int count = 0;
        SelectionRecord* records = PlanetSkyRecords(&count);
        if (s.dragStarted) {
            DrawSkyView(records, count, PlanetDrawingArea(), nullptr, F().zoomIndex, s.skyAzimuth, s.skyAltitude, 1);
            s.dragStarted = 0;
            return 1;
        }
        const int hit = ShowTapInfo(records, count, PlanetDrawingArea(), F().zoomIndex, x, y);
        if (hit >= 0) s.tappedRecord = hit;
        s.penX = x, s.penY = y;
        return 1;
    }
    return 0;
}

int LayoutPlanetAssistant(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    for (int id : {kHelp, kZoomList, kStepList, kBodyList}) MoveObject(dialog, id, dx, 0, 0, 0);
    for (int id : {kBack, kShowOnChart, kPeriodLabel, kPeriodPopup, kFilterLabel, kFilterPopup})
        MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kNow, kDate, kTime, kZoomPopup, kStepPopup, kBodyPopup}) MoveObject(dialog, id, dx, dy, 0, 0);
    MoveObject(dialog, kEventList, 0, 0, dx, dy);
    S().width = width;
    S().height = height;
    return 1;
}

namespace {

void DrawEventListRow(int row, Bounds rect, int flag, int width) {
    if (!NoEventListed()) {
        DrawEventRow(row, rect, flag, width);
        return;
    }
    static constexpr char kNoEvent[] = "No event";
    if (row == 0) DrawChars(kNoEvent, static_cast<int>(sizeof kNoEvent - 1), rect.x, rect.y);
}

void MakeControls(Window w) {
    const PlanetFormState& s = S();
    const PlanetFormSettings& f = F();
    InitTitle(w, kTitle, "PlanetAssistant");
    for (int i = 9; i >= 0; --i) AppendListItem(w, kViewList, kViews[i]);
    InitPopupList(w, kViewPopup, kViewList, -1, 0, s.view);
    for (int i = 8; i >= 0; --i) AppendListItem(w, kStepList, kSteps[i]);
    InitPopupList(w, kStepPopup, kStepList, -1, 0, f.stepIndex);
    for (int i = 13; i >= 0; --i) AppendListItem(w, kZoomList, kZooms[i]);
    InitPopupList(w, kZoomPopup, kZoomList, -1, platform::ScreenHeight() > 240 ? 14 : 10, f.zoomIndex);
    for (int i = 4; i >= 0; --i) AppendListItem(w, kQuantityList, kQuantities[i]);
    InitPopupList(w, kQuantityPopup, kQuantityList, -1, 0, s.quantity);
    for (int i = 3; i >= 0; --i) AppendListItem(w, kPeriodList, kPeriods[i]);
    InitPopupList(w, kPeriodPopup, kPeriodList, -1, 0, s.period);
    for (int i = 4; i >= 0; --i) AppendListItem(w, kFilterList, kFilters[i]);
    InitPopupList(w, kFilterPopup, kFilterList, -1, 0, s.filter);
    for (int i = kBodyRows - 1; i >= 0; --i) AppendListItem(w, kBodyList, kBodies[i]);
    InitPopupList(w, kBodyPopup, kBodyList, -1, platform::ScreenHeight() > 240 ? 16 : 10, s.body);
    InitButton(w, kHelp, platform::FindBitmapEntry(5076) ? 5076 : -1, 0, 0);
    InitButton(w, kBack, platform::FindBitmapEntry(5074) ? 5074 : -1, 0, 0);
    InitButton(w, kNow, platform::FindBitmapEntry(120) ? 120 : -1, 0, 0);
    const int sky = Night() ? 5138 : 5094;
    InitButton(w, kShowOnChart, platform::FindBitmapEntry(sky) ? sky : -1, Night() ? 0 : 1, 0xFFFFFF);
    InitField(w, kDate, 0);
    InitField(w, kTime, 0);
    InitList(w, kEventList, 0, -1, 1);
}

void ReleaseControls(Window w) {
    *Redraw() = 1;
    for (int id : kAllControls) ReleaseControl(w, id);
    if (formWindow_ == w) formWindow_ = Window{};
}

void EditFormTime() {
    PlanetFormState& s = S();
    int second = 0;
    if (EditDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, &second)) {
        Remember();
        if (s.view == kEvents) FreeEventList();
        FreeSavedScreen();
        if (Shown()) EraseWindow(formWindow_);
        RedrawPlanetAssistant();
    }
}

}  // namespace

LResult PlanetAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        OpenSelfLaidOutForm(w, &formWindow_, Redraw(), &MakeControls, &LayoutPlanetAssistant);
        return 1;
    }
    case platform::kMsgPaint: PaintForm(w, &InitPlanetAssistant, Redraw(), 0, 0); return 1;
    case platform::kMsgMeasureItem: {
        auto* info = reinterpret_cast<platform::MeasureItemInfo*>(lParam);
        if (info && info->controlId == kEventList) info->height = Sy(18);
        return 1;
    }
    case platform::kMsgDrawItem: {
        const auto* item = reinterpret_cast<const platform::DrawItemInfo*>(lParam);
        if (item && item->controlId == kEventList) DrawOwnerListItem(w, item, &DrawEventListRow);
        return 1;
    }
    case kMsgFieldTap: {
        const int id = platform::LowWord(wParam);
        if (id == kDate || id == kTime) DrawOnForm(w, [] { EditFormTime(); });
        return 1;
    }
    case platform::kMsgKeyDown: {
        const int key = static_cast<int>(wParam);
        if (key != platform::kKeyPageUp && key != platform::kKeyPageDown && (key < platform::kKeyLeft || key > platform::kKeyDown))
            return 0;
        int handled = 0;
        DrawOnForm(w, [&] { handled = PlanetAssistantKey(key); });
        return handled;
    }
    case platform::kMsgPenDown: {
        const platform::Point p = platform::PointFromParam(lParam);
        penDown_ = true;
        DrawOnForm(w, [&] { PlanetAssistantPenDown(p.x, p.y); });
        return 1;
    }
    case platform::kMsgPenMove: {
        if (!penDown_) return 0;
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [&] { PlanetAssistantPenMove(p.x, p.y); });
        return 1;
    }
    case platform::kMsgPenUp: {
        if (!penDown_) return 0;
        penDown_ = false;
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [&] { PlanetAssistantPenUp(p.x, p.y); });
        return 1;
    }
    case platform::kMsgDestroy:
        if (formWindow_ == w) {
            ClosePlanetAssistant();
            ReleaseControls(w);
        }
        return 0;
    case platform::kMsgClose:
        ClosePlanetAssistant();
        ReleaseControls(w);
        return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            ClosePlanetAssistant();
            ReleaseControls(w);
            CloseForm(kFormId);
            return 1;
        case kViewPopup:
        case kStepPopup:
        case kZoomPopup:
        case kQuantityPopup:
        case kPeriodPopup:
        case kFilterPopup:
        case kBodyPopup: {
            const int list = platform::HighWord(wParam);
            DrawOnForm(w, [list] { PlanetAssistantCommand(list); });
            return 1;
        }
        default: {
            int handled = 0;
            DrawOnForm(w, [&] { handled = PlanetAssistantCommand(id); });
            return handled;
        }
        }
    }
    default: return 0;
    }
}
