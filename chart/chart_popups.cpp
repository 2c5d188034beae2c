#include "chart/chart_popups.h"

#include <cstdio>
#include <cstring>

#include "catalog/selection_list.h"
#include "chart/chart_colours.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_zoom.h"
#include "chart/object_layers.h"
#include "chart/star_layers.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/scratch_text.h"

using namespace chartctl;

namespace {

// Rows in display order; the lists are filled from the last row up.
const char* const kMenuRows[] = {"Wizard",          "NightMode",        "General Settings", "Zoom Settings",
                                 "Display Settings", "\x95 Sky Map",     "\x95 Horizon View", "\x95 Whole Sky",
                                 "\x95 Visible Sky", "\x95 Equatorial Sky"};
const char* const kZoomRows[] = {"180\xB0", "150\xB0", "120\xB0", "90\xB0", "60\xB0",  "45\xB0",  "30\xB0",
                                 "20\xB0",  "10\xB0",  "5\xB0",   "2.5\xB0", "1.5\xB0", "1\xB0", "0.5\xB0"};
const char* const kScopeRows[] = {"2-StarAligment",   "N-StarAligment",   "Goto Object",
                                  "Get Scope RA&Dec", "ScopeAssistant",   "RorAdudo Control",
                                  "Improve Pointing", "Change Scope",     "Sync Coord"};
const char* const kFilterRows[] = {"All",    "Star",   "Cluster",    "Double Star",    "Galaxy",      "Nebula",
                                   "Planet", "Clear List", "Edit List", "Load/Save List", "Load Catalog"};
const char* const kDirectionRows[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
constexpr int kOrientationRows = 4;

template <std::size_t N>
void FillRows(platform::Window form, int listId, const char* const (&rows)[N]) {
    for (int i = static_cast<int>(N) - 1; i >= 0; --i) AppendListItem(form, listId, rows[i]);
}

// Buttons with their icon of the light (white chart) set and of the dark set.
struct ToolIcon {
    int id;
    int light;
    int dark;
};
constexpr ToolIcon kToolIcons[] = {
    {kDisplaySettings, 5143, 5144}, {kObserverLog, 5121, 5131}, {kNames, 1921, 1922},
    {kDrilldown, 1916, 1917},       {kInputEquatorial, 5116, 5126}, {kInputHorizontal, 5117, 5127},
    {kTelrad, 5123, 5133},          {kRecentre, 5118, 5128},    {kDistance, 5140, 5141},
    {kGoto, 5119, 5129},            {kHideGrid, 5122, 5132},    {kInformation, 5125, 5135},
    {kToolbar, 1919, 1920},         {kDateTime, 120, 120},
};

// The toolbar of the right edge, and the three buttons that stay when it is hidden.
constexpr int kHiddenWithToolbar[] = {kDisplaySettings, kObserverLog, kNames, kDrilldown, kHideGrid,
                                      kTelrad,          kRecentre,    kDistance, kInputEquatorial,
                                      kInputHorizontal, kViewTrigger, kDirectionTrigger, kGoto};
constexpr int kAlwaysShown[] = {kDateTime, kInformation, kToolbar};
constexpr int kToolbarUpper[] = {kObserverLog, kNames, kDrilldown, kTelrad, kDistance,
                                 kHideGrid,    kViewTrigger, kDisplaySettings, kRecentre};
constexpr int kToolbarLower[] = {kDirectionTrigger, kInputEquatorial, kInputHorizontal, kGoto};

// Every control the form makes, in the order they are released.
constexpr int kReleased[] = {kBack,        kMenuTrigger, kZoomTrigger, kScopeTrigger, kCentreRequest, kFilterTrigger,
                             kObjectsTrigger, kDateTime, kInformation, kToolbar,   kDisplaySettings, kViewTrigger,
                             kObserverLog, kNames,       kDrilldown,   kHideGrid,     kTelrad,        kDistance,
                             kRecentre,    kDirectionTrigger, kInputEquatorial, kInputHorizontal, kGoto};

bool LightSet() {
    return ChartSetting(chartpref::background) == kBackgroundWhite && ChartSetting(chartpref::nightMode) == 0;
}
bool Night() { return ChartSetting(chartpref::nightMode) != 0; }

int OrientationRow(int zoom) {
    return ChartSetting(chartpref::viewFirst + ChartTableLevel(zoom, chartpref::viewLast - chartpref::viewFirst));
}

// Triggers that show only their icon.
void DrawNothing(int, Bounds, int) {}

// The closed object popup shows the current record's label.
void DrawObjectTrigger(int row, Bounds rect, int) {
    if (row < 0 || row >= selectionList.indexCount || !selectionListPtr || !selectionListPtr[row]) return;
    const char* label = selectionListPtr[row]->label;
    DrawString(label, static_cast<int>(strnlen(label, kSelectionLabelLength)), rect.x + 2, rect.y + 2);
}

platform::Window Form() { return GetActiveForm(); }

}  // namespace

int OrientationIcon(int row) { return (LightSet() ? 1682 : 2008) + row; }

void InitChartControls(platform::Window form) {
    InitTitle(form, kBack, "Sky");
    InitButton(form, kCentreRequest, Night() ? 5134 : 5124, 0, 0);
    for (const ToolIcon& t : kToolIcons) InitButton(form, t.id, LightSet() ? t.light : t.dark, 0, 0);

    FillRows(form, kMenuList, kMenuRows);
    InitPopupList(form, kMenuTrigger, kMenuList, -1, 0, GetChartPopup3());
    SetListDrawFunction(form, kMenuTrigger, &DrawNothing);

    FillRows(form, kZoomList, kZoomRows);
    InitPopupList(form, kZoomTrigger, kZoomList, -1, 0, GetChartZoomSelection());

    FillRows(form, kScopeList, kScopeRows);
    InitPopupList(form, kScopeTrigger, kScopeList, -1, 0, -1);
    SetListDrawFunction(form, kScopeTrigger, &DrawNothing);

    FillRows(form, kFilterList, kFilterRows);
    InitPopupList(form, kFilterTrigger, kFilterList, -1, 0, GetChartPopup2());
    SetListDrawFunction(form, kFilterTrigger, &DrawNothing);

    const int rows = selectionList.indexCount > 0 ? selectionList.indexCount : 0;
    FillList(FindListView(form, kObjectsList), nullptr, rows);
    InitPopupList(form, kObjectsTrigger, kObjectsList, rows, 10, rows > 0 ? GetChartPopup1() : -1);
    SetListDrawFunction(form, kObjectsTrigger, &DrawObjectTrigger);

    FillList(FindListView(form, kViewList), nullptr, kOrientationRows);
    InitPopupList(form, kViewTrigger, kViewList, kOrientationRows, kOrientationRows, GetChartFovIndex());
    SetListDrawFunction(form, kViewTrigger, &DrawNothing);

    FillRows(form, kDirectionList, kDirectionRows);
    InitPopupList(form, kDirectionTrigger, kDirectionList, -1, 0, -1);
    SetListDrawFunction(form, kDirectionTrigger, &DrawNothing);

    SetChartToolbarIcons(GetChartZoomSelection());
}

void ReleaseChartControlIds(platform::Window form) {
    for (int id : kReleased) ReleaseControl(form, id);
}

void SetChartToolbarIcons(int zoom) {
    const platform::Window form = Form();
    if (!platform::IsWindow(form)) return;
    const bool light = LightSet();
    for (const ToolIcon& t : kToolIcons) SetButtonIcon(form, t.id, light ? t.light : t.dark, 0, 0);
    SetButtonIcon(form, kCentreRequest, Night() ? 5134 : 5124, 0, 0);
    SetPopupIcon(form, kZoomTrigger, Night() ? 5139 : 4062, 0, 0);
    SetPopupIcon(form, kScopeTrigger, Night() ? 5136 : 5070, 0, 0);
    SetPopupIcon(form, kMenuTrigger, 2254, 0, 0);
    SetPopupIcon(form, kFilterTrigger, 5096, 0, 0);
    SetPopupIcon(form, kDirectionTrigger, light ? 5097 : 5137, 0, 0);
    SetPopupIcon(form, kViewTrigger, OrientationIcon(OrientationRow(zoom)), 0, 0);
}

void HideChartToolbar() {
    const platform::Window form = Form();
    if (!platform::IsWindow(form)) return;
    for (int id : kHiddenWithToolbar) HideObject(form, id);
    for (int id : kAlwaysShown) ShowObject(form, id);
}

void ShowChartToolbar() {
    const platform::Window form = Form();
    if (!platform::IsWindow(form)) return;
    for (int id : kAlwaysShown) ShowObject(form, id);
    for (int id : kToolbarUpper) ShowObject(form, id);
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    if (height > static_cast<int>(240 * screenScale.vertical))
        for (int id : kToolbarLower) ShowObject(form, id);
}

void DrawChartListRow(int row, Bounds rect) {
    if (row < 0 || row >= selectionList.indexCount || !selectionListPtr || !selectionListPtr[row]) return;
    const SelectionRecord& r = *selectionListPtr[row];
    const int length = static_cast<int>(strnlen(r.label, kSelectionLabelLength));
    if (txtBuffer) std::snprintf(txtBuffer, kTxtBufferSize, "%.*s", length, r.label);

    const Bounds square{rect.x, rect.y, static_cast<int>(18 * screenScale.horizontal),
                        static_cast<int>((2 + 13) * screenScale.vertical)};
    const platform::Color previous =
        SetForeColor(Night() ? platform::Rgb(0, 0, 0) : RGBToColorRef(chartBackgroundColor));
    DrawRectangle(square, 0);
    SetForeColor(previous);
    DrawChartRowSymbol(r, rect.x + static_cast<int>(7 * screenScale.horizontal),
                       rect.y + static_cast<int>(7 * screenScale.vertical));
    const int labelX = rect.x + static_cast<int>(20 * screenScale.horizontal);
    if (r.catalogCode == 28)
        DrawBrightStarLabel(r.objectNumber, labelX, rect.y + 1, 1);
    else
        DrawString(r.label, length, labelX, rect.y + 1);
}

void DrawChartRowSymbol(const SelectionRecord& r, int x, int y) {
    constexpr int kTypeStar = 30;
    constexpr int kTypeBody = 27;
    if (r.typeCode == kTypeStar) {
        const int sizeClass = r.magnitude10 / 10 + (GetDpiFactor() == 1 ? 1 : 0);
        DrawStar(nullptr, ChartTableLevel(chartZoom), sizeClass, r.flagValue, x, y);
    } else if (r.typeCode == kTypeBody) {
        DrawObjectSymbol(kTypeBody, r.objectNumber, x, y);
    } else {
        DrawObjectSymbol(r.typeCode, 0, x, y);
    }
}

void DrawPopupIconItem(int row, Bounds rect) {
    DrawBitmapTransparent((ChartSetting(chartpref::nightMode) == 0 ? 1682 : 2008) + row, rect.x, rect.y);
}
