#include "planets/planet_view_form.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "astro/angle_text.h"
#include "catalog/databases.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "planets/jupiter_view.h"
#include "planets/mars_map.h"
#include "planets/mars_view.h"
#include "planets/moon_events.h"
#include "planets/planet_view_state.h"
#include "planets/planets_services.h"
#include "planets/red_spot.h"
#include "planets/time_strips.h"
#include "platform/dialog.h"
#include "platform/messages.h"
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
using namespace planet_view_form;

namespace {

constexpr const char* kTitles[4] = {"JupiterAssistant", "SaturnAssistant", "MarsAssistant", "PhaseAssistant"};
constexpr const char* kSubViews[4][4] = {{"Satellites", "Red Spot", "Events", nullptr},
                                         {"Satellites", "Rings", "Events", nullptr},
                                         {"Satellites", "View", "Map", "Size"},
                                         {"Mercury", "Venus", "Mars", nullptr}};
constexpr const char* kSpans[4] = {"1", "2", "4", "Max"};
constexpr const char* kMoonFilters[6] = {"All", "Enceladus", "Tethys", "Dione", "Rhea", "Titan"};
constexpr const char* kKinds[11] = {"All",     "Catena", "Cavus",  "Chasma", "Crater", "Landing",
                                    "Mons",    "Planitia", "Planum", "Rupes", "Terra"};
constexpr int kKindCodes[11] = {-1, 6, 0, 7, 2, 5, 1, 3, 4, 8, 9};
constexpr int kOrientationDayIcon = 1682;
constexpr int kOrientationNightIcon = 2008;
constexpr int kOrientationSigns[4][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
constexpr std::uint32_t kWhiteKey = 0xFFFFFF;
// Squared map distance under which a tap picks a feature (more than the whole map).
constexpr long kPickLimit = 3000000;
// Held keys repeat at most this many steps before the waiting messages are dropped.
constexpr int kKeyRepeatLimit = 10000;

// The optional controls, shown by the mode and sub-view.
constexpr int kOptional[] = {kOrientationPopup, kZoom, kSpanPopup, kDate, kTime, kClock, kAdjust,
                             kMoonFilterPopup,  kKindPopup, kFeaturePopup, kPicture};
constexpr int kAllControls[] = {kTitle,     kSubViewPopup, kHelp,          kBack,  kZoom,  kOrientationPopup,
                                kSpanPopup, kKindPopup,    kMoonFilterPopup, kFeaturePopup, kDate, kTime,
                                kClock,     kPicture,      kAdjust};

// The help texts; "/" separates the lines, each of which gets the bullet and a blank.
constexpr const char* kHelpTexts[4][4][2] = {
    {{"Displays the relative positions of the Galilean satellites as seen from Earth.",
      "Jupiter is represented by the blue, vertical stripe. Moves your stylus along it or use Up and Down Keys to "
      "animate the image."},
     {"Displays red spot (GRS) transit time (local time). Time in red means that GRS is visible. If not an icon "
      "indicates the reason (sun, jupiter not visible).",
      "Adjust lets you compute GRS longitude."},
     {"Calculates the Galilean satellites' eclipses by and transits across Jupiter's disk for the given day.",
      "Taps on GuideBars to get rise, transit, and set times for each./Taps on the date to select a different one."},
     {nullptr, nullptr}},
    {{"Displays the relative positions of the major Saturn satellites as seen from Earth.",
      "Saturn is represented by the blue, vertical stripe. Moves your stylus along it or use Up and Down Keys to "
      "animate the image."},
     {"Displays the relatives position of Saturn rings as seen from Earth.",
      "Saturn is represented by the blue, vertical stripe. Moves your stylus along it to animate the image."},
     {"Calculates the Saturn's satellites eclipses by and transits across Saturn's disk for the given day.",
      "Selects one satellite to filter the events accordingly or display them all./Taps on the date to select a "
      "different one."},
     {nullptr, nullptr}},
    {{"Displays the relative positions of the major Mars satellites as seen from Earth.",
      "Mars is represented by the blue, vertical stripe. Moves your stylus along it or use Up and Down Keys to "
      "animate the image."},
     {"Displays a view of Mars as seen from earth./Taps on Mars regions to get their names.",
      " Taps on clock icon to refresh the screen./Press Up and Down keys to change hours."},
     {"Displays the map of Mars./Selects a name in the popup list to see its location.",
      "Uses filter to reduce the list./Taps on Mars Map to get features names."},
     {"Displays Mars size and orientation among the years.",
      "The wider the curves is the bigger the apparent diameter of Mars is. Moves your stylus along it or uses Up "
      "and Down Keys to animate the image."}},
    {{"Displays Phase of Mercury, Venus and Mars among the years.",
      "Blue lines represent the phase and red lines the apparent diameter./Moves your stylus along it or use Up and "
      "Down Keys to animate the image."},
     {nullptr, nullptr},
     {nullptr, nullptr},
     {nullptr, nullptr}}};

Window formWindow_;
int kindRow_ = 0;
int penY_ = 0;
int dragRemainder_ = 0;

PlanetViewState& V() { return planetView; }
bool Shown() { return platform::IsWindow(formWindow_); }
std::int32_t* Redraw() { return FormRedrawFlag(kFormId); }
int Sx(int v) { return static_cast<int>(v * screenScale.horizontal); }
int Sy(int v) { return static_cast<int>(v * screenScale.vertical); }
bool Night() { return preferences.word[pref::nightMode] != 0; }

int SubViewCount(int mode) { return mode == kMarsMode ? 4 : 3; }

std::string Bulleted(const char* text) {
    std::string out = "\x95 ";
    for (const char* p = text; *p; ++p) {
        if (*p == '/') out += "\n\x95 ";
        else out += *p;
    }
    return out;
}

void ShowFormTime() {
    const PlanetViewState& v = V();
    char text[40];
    FormatDate(text, v.day, v.month, v.year);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", v.hour % 100, v.minute % 100);
    SetField(kTime, text);
}

// The date field back into the form's date (a text it cannot read leaves the date).
void ReadDateField() {
    char text[40] = {};
    if (!GetField(kDate, text, sizeof text)) return;
    int day = 0, month = 0, year = 0;
    ParseDate(text, &day, &month, &year);
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return;
    V().year = year, V().month = month, V().day = day;
}

void ReadTimeField() {
    char text[40] = {};
    if (!GetField(kTime, text, sizeof text)) return;
    int hour = 0, minute = 0, second = 0;
    if (ParseSexagesimal(text, ':', &hour, &minute, &second) < 0) return;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59) return;
    V().hour = hour, V().minute = minute;
}

void LoadFormTime() {
    PlanetViewState& v = V();
    if (preferences.word[pref::timeUpdateMode] != 0) {
        const ObservingDateTime& t = observingDateTime;
        v.year = t.year, v.month = t.month, v.day = t.day, v.hour = t.hour, v.minute = t.minute;
    } else {
        GetLocalDateTime(&v.year, &v.month, &v.day, &v.hour, &v.minute, nullptr);
    }
}

Bounds ViewArea() {
    const PlanetViewState& v = V();
    return Bounds{0, Sy(24), v.screenWidth, v.screenHeight - Sy(24) - Sy(22)};
}

bool StripView() { return IsStripSubView(V().mode, V().subView); }
bool MarsMap() { return V().mode == kMarsMode && V().subView == 2; }
bool MarsViewPage() { return V().mode == kMarsMode && V().subView == 1; }
bool DayTable() { return V().mode == kJupiterMode && (V().subView == 1 || V().subView == 2); }
bool EventsPage() { return (V().mode == kJupiterMode || V().mode == kSaturnMode) && V().subView == 2; }

void DrawMarsMap() {
    PlanetViewState& v = V();
    const Bounds view = ViewArea();
    BlitMapRegion(kMarsMapFirstHalf, view, &v.mapScrollX, &v.mapScrollY);
    DrawMapFeatureNames(view, v.mapScrollX, v.mapScrollY);
    if (v.selectedFeature < 0) return;
    MarsFeatureRecord record;
    if (!GetMarsFeature(v.selectedFeature, &record)) return;
    const int picture = FormatMapFeature(record, v.mapScrollX, v.mapScrollY, view);
    if (Shown()) ShowControl(formWindow_, kPicture, picture);
}

void FillFeatureList() {
    int first = 0, count = 0;
    if (kindRow_ <= 0) {
        count = GetMarsFeatureCount();
    } else if (FindMarsFeatureRun(MarsKindOfRow(kindRow_), &first, &count) < 0) {
        // The run lookup answers a kind the file lacks with the whole file; the filter
        // lists only features of its kind.
        first = 0, count = 0;
    }
    V().featureRunStart = first;
    // Rows the list draws itself from the records.
    if (Shown()) FillList(FindListView(formWindow_, kFeatureList), nullptr, std::max(count, 0));
}

void DrawFeatureRow(int row, Bounds rect, int, int) {
    MarsFeatureRecord record;
    if (!GetMarsFeature(V().featureRunStart + row, &record)) return;
    DrawChars(record.name, static_cast<int>(std::strlen(record.name)), rect.x + 1, rect.y);
}

void DrawOrientationRow(int row, Bounds rect, int, int) {
    DrawBitmapTransparent((Night() ? kOrientationNightIcon : kOrientationDayIcon) + row, rect.x, rect.y);
}

void ShowOnly(std::initializer_list<int> shown) {
    if (!Shown()) return;
    for (int id : kOptional) {
        const bool show = std::find(shown.begin(), shown.end(), id) != shown.end();
        ShowControl(formWindow_, id, show ? 1 : 0);
    }
}

void SelectFeature(int index) {
    PlanetViewState& v = V();
    MarsFeatureRecord record;
    if (!GetMarsFeature(index, &record)) return;
    v.selectedFeature = index;
    v.mapScrollX = v.screenWidth / 2 - static_cast<int>(record.x * screenScale.horizontal);
    v.mapScrollY = -static_cast<int>(record.y * screenScale.vertical);
    SetPopupLabel(kFeaturePopup, record.name);
    DrawMarsMap();
    FlushPenEvents();
}

void DropFeature() {
    V().selectedFeature = -1;
    SetPopupLabel(kFeaturePopup, "");
    if (Shown()) HideObject(formWindow_, kPicture);
}

void StepDays(int days) {
    PlanetViewState& v = V();
    AddDays(&v.year, &v.month, &v.day, days);
}

}  // namespace

int MarsKindOfRow(int row) { return row >= 0 && row < 11 ? kKindCodes[row] : -1; }

void PlanetViewHelp(int mode, int subView, const char** text, const char** detail) {
    *text = *detail = "";
    if (mode < 0 || mode > 3) return;
    if (mode == kPhaseMode) subView = 0;
    if (subView < 0 || subView > 3 || !kHelpTexts[mode][subView][0]) return;
    *text = kHelpTexts[mode][subView][0];
    *detail = kHelpTexts[mode][subView][1];
}

void RefreshPlanetView() {
    PlanetViewState& v = V();
    if (v.loadTime) {
        v.loadTime = 0;
        LoadFormTime();
    }
    ShowFormTime();
    SetPopupList(kSubViewPopup, kSubViewList, v.subView);
    SetPopupList(kSpanPopup, kSpanList, v.span);
    const int mode = v.mode, sub = v.subView;
    if (mode == kJupiterMode && sub == 0) {
        ShowOnly({kOrientationPopup, kZoom, kSpanPopup, kDate, kTime, kClock});
    } else if (mode == kJupiterMode && sub == 1) {
        ShowOnly({kDate, kClock, kAdjust});
    } else if (EventsPage()) {
        if (mode == kSaturnMode) ShowOnly({kMoonFilterPopup, kDate, kClock});
        else ShowOnly({kDate, kClock});
    } else if (mode == kSaturnMode && sub == 0) {
        ShowOnly({kSpanPopup, kDate, kTime, kClock, kOrientationPopup});
    } else if (mode == kSaturnMode && sub == 1) {
        ShowOnly({kSpanPopup, kDate, kClock, kOrientationPopup});
    } else if (mode == kMarsMode && sub == 0) {
        ShowOnly({kSpanPopup, kOrientationPopup, kDate, kTime, kClock});
    } else if (MarsViewPage()) {
        ShowOnly({kOrientationPopup, kDate, kTime, kClock});
    } else if (MarsMap()) {
        ShowOnly({kKindPopup, kFeaturePopup});
    } else {
        ShowOnly({kSpanPopup, kDate, kClock});
    }

    if (StripView()) {
        v.fullRedraw = 1;
        DrawTimeStrip();
    } else if (mode == kJupiterMode && sub == 1) {
        DrawRedSpotTable();
    } else if (EventsPage()) {
        DrawMoonEvents();
    } else if (MarsViewPage()) {
        const Bounds area = ViewArea();
        DrawMarsView(area.x, area.y, area.width, area.height, v.year, v.month, v.day, v.hour, v.minute,
                     v.satelliteColours, v.orientation);
    } else if (MarsMap()) {
        FillFeatureList();
        DrawMarsMap();
    }
}

void InitPlanetView() {
    PlanetViewState& v = V();
    // Opened before any assistant was chosen (from the history): the Jupiter one.
    if (v.mode < 0) SelectJupiterAssistant();
    PushFormHistory(kFormId);
    v.fullRedraw = 1;
    GetScreenSize(&v.screenWidth, &v.screenHeight);
    if (Shown()) {
        const platform::Rect client = platform::GetClientRect(formWindow_);
        if (client.Width() > 0) v.screenWidth = client.Width(), v.screenHeight = client.Height();
    }
    SetPlanetColors();
    FreeSavedBitmap();
    v.savedStarStyle = preferences.word[chartpref::background];
    preferences.word[chartpref::background] = 0;
    if (Shown()) {
        for (int id : {kBack, kTime, kClock, kDate}) ShowObject(formWindow_, id);
    }
    RefreshPlanetView();
}

int PlanetViewCommand(int id) {
    PlanetViewState& v = V();
    switch (id) {
    case kSubViewList: {
        const int row = GetListSelection(kSubViewList);
        if (row < 0 || row >= SubViewCount(v.mode)) return 1;
        v.subView = row;
        SetPopupList(kSubViewPopup, kSubViewList, row);
        ReadDateField();
        ForgetStripCursor();
        if (Shown()) EraseWindow(formWindow_);
        RefreshPlanetView();
        return 1;
    }
    case kSpanList: {
        const int row = GetListSelection(kSpanList);
        if (row < 0 || row > 3) return 1;
        v.span = row;
        ReadDateField();
        ReadTimeField();
        RefreshPlanetView();
        return 1;
    }
    case kOrientationList: {
        const int row = GetListSelection(kOrientationList);
        if (row < 0 || row > 3) return 1;
        v.orientation = row;
        v.xSign = kOrientationSigns[row][0];
        v.ySign = kOrientationSigns[row][1];
        FreeSatelliteSprites();
        if (Shown())
            SetPopupIcon(formWindow_, kOrientationPopup, (Night() ? kOrientationNightIcon : kOrientationDayIcon) + row,
                         1, kWhiteKey);
        ReadDateField();
        RefreshPlanetView();
        return 1;
    }
    case kZoom:
        v.zoom = v.zoom == 22.0 ? 4.0 : 22.0;
        FreeSatelliteSprites();
        RefreshPlanetView();
        return 1;
    case kMoonFilterList: {
        if (v.mode != kSaturnMode) return 1;
        const int row = GetListSelection(kMoonFilterList);
        if (row < 0 || row > 5) return 1;
        v.saturnMoonFilter = row;
        SetPopupList(kMoonFilterPopup, kMoonFilterList, row);
        RefreshPlanetView();
        return 1;
    }
    case kClock:
        GetLocalDateTime(&v.year, &v.month, &v.day, &v.hour, &v.minute, nullptr);
        ShowFormTime();
        RefreshPlanetView();
        return 1;
    case kBack:
    case 1:
        v.fullRedraw = 0;
        FreeSatelliteSprites();
        GoBackForm();
        return 1;
    case kAdjust:
        SolveRedSpotLongitude();
        RefreshPlanetView();
        return 1;
    case kHelp: {
        const char *text, *detail;
        PlanetViewHelp(v.mode, v.subView, &text, &detail);
        ShowMessage(Bulleted(text).c_str(), Bulleted(detail).c_str());
        return 1;
    }
    case kKindList: {
        const int row = GetListSelection(kKindList);
        if (row < 0 || row > 10) return 1;
        if (row != kindRow_) {
            SetListSelection(kFeatureList, -1);
            SetPopupLabel(kFeaturePopup, "");
            kindRow_ = row;
            SetPopupList(kKindPopup, kKindList, row);
            RefreshPlanetView();
        }
        FillFeatureList();
        return 1;
    }
    case kFeatureList: {
        const int row = GetListSelection(kFeatureList);
        if (row < 0) return 1;
        SelectFeature(v.featureRunStart + row);
        return 1;
    }
    case kPicture: {
        MarsFeatureRecord record;
        if (v.selectedFeature < 0 || !GetMarsFeature(v.selectedFeature, &record)) return 1;
        ShowFeaturePicture(record);
        DrawMarsMap();
        return 1;
    }
    default: return 0;
    }
}

int PlanetViewKey(int key) {
    PlanetViewState& v = V();
    int direction;
    switch (key) {
    case platform::kKeyDown:
    case platform::kKeyPageUp: direction = 1; break;
    case platform::kKeyUp:
    case platform::kKeyPageDown: direction = -1; break;
    default: return 0;
    }
    const bool strip = (v.subView == 0 && v.mode != kPhaseMode) || v.mode == kSaturnMode ||
                       (v.mode == kMarsMode && v.subView == 3) || v.mode == kPhaseMode;
    const bool events = v.mode == kSaturnMode && v.subView == 2;
    for (int repeat = 0; repeat < kKeyRepeatLimit; ++repeat) {
        if (strip && !events) {
            v.stripRow += direction;
            if (!DrawPlanetView(v.screenWidth / 2, v.stripRow)) {
                v.stripRow -= direction;
                break;
            }
        } else if (v.mode == kJupiterMode && v.subView == 1) {
            StepDays(-direction);
            RefreshPlanetView();
        } else if (MarsViewPage()) {
            AddMinutes(&v.year, &v.month, &v.day, &v.hour, &v.minute, -60 * direction);
            RefreshPlanetView();
        } else {
            break;
        }
        if (!IsNavKeyDown()) break;
    }
    FlushKeyEvents();
    return 1;
}

int PlanetViewTap(int x, int y) {
    PlanetViewState& v = V();
    v.mapDragged = 0;
    v.penX = x;
    penY_ = y;
    dragRemainder_ = 0;
    const bool stripTap = StripView() && !EventsPage();
    v.stripRow = y;
    if (stripTap) return DrawPlanetView(x, y);
    if (MarsViewPage()) {
        // A named region lets the stylus turn the hours from there.
        const Bounds area = ViewArea();
        return ShowMarsViewRegion(area.x, area.y, area.width, area.height, v.orientation, x, y);
    }
    if (v.mode == kSaturnMode && v.subView == 2) return 0;
    if (DayTable() || MarsMap()) return 1;
    return 0;
}

int PlanetViewPenDown(int x, int y) {
    PlanetViewState& v = V();
    const int dx = x - v.penX, dy = y - penY_;
    if (StripView() && !EventsPage()) {
        v.stripRow = y;
        DrawPlanetView(x, y);
        return 0;
    }
    if (DayTable()) {
        // Each 3 pixels down is a day forward.
        const int total = dy + dragRemainder_;
        const int days = total / 3;
        if (days == 0) return 0;
        dragRemainder_ = total - days * 3;
        penY_ = y;
        StepDays(days);
        RefreshPlanetView();
        return 0;
    }
    if (std::abs(dx) < 4 && std::abs(dy) < 4) return 0;
    if (MarsMap()) {
        if (!v.mapDragged) DropFeature();
        v.mapDragged = 1;
        v.mapScrollX += dx;
        v.mapScrollY += dy;
        v.penX = x, penY_ = y;
        DrawMarsMap();
        return 0;
    }
    if (MarsViewPage()) {
        AddMinutes(&v.year, &v.month, &v.day, &v.hour, &v.minute, 10 * dx);
        v.penX = x, penY_ = y;
        RefreshPlanetView();
        return 0;
    }
    return 0;
}

int PickMarsFeature(int x, int y) {
    PlanetViewState& v = V();
    if (StripView()) {
        v.stripRow = y;
        return 0;
    }
    if (!MarsMap()) return 0;
    const bool dragged = v.mapDragged != 0;
    v.mapDragged = 0;
    const Bounds view = ViewArea();
    if (dragged || !PointInRect(x, y, view)) return 0;
    const int k = std::max(1, static_cast<int>(screenScale.horizontal));
    const int mapWidth = Sx(640);
    int offset = x - v.mapScrollX;
    if (offset < 0) offset += mapWidth;
    else if (offset > mapWidth) offset -= mapWidth;
    const int mapX = offset / k;
    const int mapY = (y - v.mapScrollY - Sy(24)) / k;
    int best = -1;
    long bestDistance = kPickLimit;
    const int count = GetMarsFeatureCount();
    for (int i = 0; i < count; ++i) {
        MarsFeatureRecord record;
        if (!GetMarsFeature(i, &record)) continue;
        const long ddx = record.x - mapX, ddy = record.y - mapY;
        const long d = ddx * ddx + ddy * ddy;
        if (d < bestDistance) bestDistance = d, best = i;
    }
    if (best < 0) return 0;
    v.selectedFeature = best;
    MarsFeatureRecord record;
    GetMarsFeature(best, &record);
    SetPopupLabel(kFeaturePopup, record.name);
    DrawMarsMap();
    return 1;
}

int LayoutPlanetView(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    for (int id : {kBack, kAdjust, kPicture, kOrientationPopup, kFeaturePopup, kKindPopup, kSpanPopup,
                   kMoonFilterPopup, kZoom, kDate, kTime, kClock})
        MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kSpanPopup, kSpanList, kMoonFilterPopup, kMoonFilterList, kZoom, kDate, kTime, kClock, kHelp})
        MoveObject(dialog, id, dx, 0, 0, 0);
    V().screenWidth = width;
    V().screenHeight = height;
    return 1;
}

namespace {

void MakeControls(Window w) {
    const PlanetViewState& v = V();
    const int mode = v.mode >= 0 && v.mode <= 3 ? v.mode : 0;
    InitTitle(w, kTitle, kTitles[mode]);
    V().title = kTitles[mode];
    for (int i = SubViewCount(mode) - 1; i >= 0; --i)
        if (kSubViews[mode][i]) AppendListItem(w, kSubViewList, kSubViews[mode][i]);
    InitPopupList(w, kSubViewPopup, kSubViewList, -1, 0, v.subView);
    if (mode == kSaturnMode) {
        for (int i = 5; i >= 0; --i) AppendListItem(w, kMoonFilterList, kMoonFilters[i]);
        InitPopupList(w, kMoonFilterPopup, kMoonFilterList, -1, 0, v.saturnMoonFilter);
    }
    InitButton(w, kHelp, platform::FindBitmapEntry(5076) ? 5076 : -1, 0, 0);
    InitButton(w, kBack, platform::FindBitmapEntry(5074) ? 5074 : -1, 0, 0);
    InitButton(w, kClock, platform::FindBitmapEntry(120) ? 120 : -1, 0, 0);
    const int zoomIcon = Night() ? 5139 : 4062;
    InitButton(w, kZoom, platform::FindBitmapEntry(zoomIcon) ? zoomIcon : -1, 0, 0);
    InitButton(w, kAdjust, -1, 0, 0);
    InitButton(w, kPicture, platform::FindBitmapEntry(1941) ? 1941 : -1, 0, 0);
    for (int i = 3; i >= 0; --i) AppendListItem(w, kOrientationList, "");
    InitPopupList(w, kOrientationPopup, kOrientationList, -1, 0, v.orientation);
    SetPopupIcon(w, kOrientationPopup, (Night() ? kOrientationNightIcon : kOrientationDayIcon) + v.orientation, 1,
                 kWhiteKey);
    for (int i = 3; i >= 0; --i) AppendListItem(w, kSpanList, kSpans[i]);
    InitPopupList(w, kSpanPopup, kSpanList, -1, 0, v.span);
    for (int i = 10; i >= 0; --i) AppendListItem(w, kKindList, kKinds[i]);
    InitPopupList(w, kKindPopup, kKindList, -1, 0, kindRow_);
    InitPopupList(w, kFeaturePopup, kFeatureList, 0, platform::ScreenHeight() > 240 ? 16 : 10, -1);
    InitField(w, kDate, 0);
    InitField(w, kTime, 0);
}

void ReleaseControls(Window w) {
    *Redraw() = 1;
    ForgetStripCursor();
    for (int id : kAllControls) ReleaseControl(w, id);
    if (formWindow_ == w) formWindow_ = Window{};
}

void EditFormTime() {
    PlanetViewState& v = V();
    int second = 0;
    if (EditDateTime(&v.year, &v.month, &v.day, &v.hour, &v.minute, &second)) {
        FreeSavedScreen();
        if (Shown()) EraseWindow(formWindow_);
        RefreshPlanetView();
    }
}

void CloseView(Window w) {
    ClosePlanetView();
    ReleaseControls(w);
}

}  // namespace

LResult PlanetViewAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    static bool penFollowed = false;
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        OpenSelfLaidOutForm(w, &formWindow_, Redraw(), &MakeControls, &LayoutPlanetView);
        return 1;
    }
    case platform::kMsgPaint: PaintForm(w, &InitPlanetView, Redraw(), 0, 0); return 1;
    case platform::kMsgMeasureItem: {
        auto* info = reinterpret_cast<platform::MeasureItemInfo*>(lParam);
        if (info && info->controlId == kOrientationList) info->height = Sy(18);
        return 1;
    }
    case platform::kMsgDrawItem: {
        const auto* item = reinterpret_cast<const platform::DrawItemInfo*>(lParam);
        if (!item) return 0;
        if (item->controlId == kOrientationList) DrawOwnerListItem(w, item, &DrawOrientationRow);
        else if (item->controlId == kFeatureList) DrawOwnerListItem(w, item, &DrawFeatureRow);
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
        DrawOnForm(w, [key] { PlanetViewKey(key); });
        return 1;
    }
    case platform::kMsgPenDown: {
        const platform::Point p = platform::PointFromParam(lParam);
        int follow = 0;
        DrawOnForm(w, [&] { follow = PlanetViewTap(p.x, p.y); });
        penFollowed = follow != 0;
        return 1;
    }
    case platform::kMsgPenMove: {
        if (!penFollowed) return 0;
        const platform::Point p = platform::PointFromParam(lParam);
        int done = 0;
        DrawOnForm(w, [&] { done = PlanetViewPenDown(p.x, p.y); });
        if (done) penFollowed = false;
        return 1;
    }
    case platform::kMsgPenUp: {
        if (!penFollowed) return 0;
        penFollowed = false;
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [&] { PickMarsFeature(p.x, p.y); });
        return 1;
    }
    case platform::kMsgDestroy:
        if (formWindow_ == w) CloseView(w);
        return 0;
    case platform::kMsgClose: CloseView(w); return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseView(w);
            CloseForm(GetCurrentFormId() == kSecondFormId ? kSecondFormId : kFormId);
            return 1;
        case kSubViewPopup:
        case kSpanPopup:
        case kFeaturePopup:
        case kKindPopup:
        case kMoonFilterPopup:
        case kOrientationPopup: {
            const int list = platform::HighWord(wParam);
            FreeSavedScreen();
            EraseWindow(w);
            DrawOnForm(w, [list] { PlanetViewCommand(list); });
            return 1;
        }
        case kZoom:
        case kClock:
        case kAdjust:
            EraseWindow(w);
            DrawOnForm(w, [id] { PlanetViewCommand(id); });
            return 1;
        default: {
            int handled = 0;
            DrawOnForm(w, [&] { handled = PlanetViewCommand(id); });
            return handled;
        }
        }
    }
    default: return 0;
    }
}
