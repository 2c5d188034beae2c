#pragma once
// The chart form's controls: their ids, the popup lists with their rows in the order they
// are filled, the icons of the toolbar and popups for the day (white chart background)
// and dark sets, the toolbar that can be hidden, and the row drawers of the object popup
// and the orientation popup.
#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

namespace chartctl {
inline constexpr int kBack = 1899;
inline constexpr int kMenuTrigger = 1913;
inline constexpr int kMenuList = 1914;
inline constexpr int kZoomTrigger = 1902;
inline constexpr int kZoomList = 1903;
inline constexpr int kScopeTrigger = 1911;
inline constexpr int kScopeList = 1912;
inline constexpr int kCentreRequest = 1880;
inline constexpr int kFilterTrigger = 1908;
inline constexpr int kFilterList = 1909;
inline constexpr int kObjectsTrigger = 1906;
inline constexpr int kObjectsList = 1907;
inline constexpr int kDisplaySettings = 1872;
inline constexpr int kViewTrigger = 1893;
inline constexpr int kViewList = 1877;
inline constexpr int kObserverLog = 1874;
inline constexpr int kNames = 1923;
inline constexpr int kDrilldown = 1915;
inline constexpr int kHideGrid = 1887;
inline constexpr int kTelrad = 1881;
inline constexpr int kDistance = 1894;
inline constexpr int kRecentre = 1891;
inline constexpr int kDirectionTrigger = 1886;
inline constexpr int kDirectionList = 5099;
inline constexpr int kInputEquatorial = 1889;
inline constexpr int kInputHorizontal = 1890;
inline constexpr int kGoto = 1892;
inline constexpr int kDateTime = 1875;
inline constexpr int kToolbar = 1918;
inline constexpr int kInformation = 1873;
// Not a control: the tap in the picture square under the title runs this command.
inline constexpr int kShowPicture = 1871;
}  // namespace chartctl

// Makes the form's buttons and popup lists (rows filled so that they read in display
// order), with the icons of the zoom level and the current rows.
void InitChartControls(platform::Window form);
// Releases every control InitChartControls made.
void ReleaseChartControlIds(platform::Window form);

// The toolbar and popup icons for the Background and night mode, the orientation icon
// from the "View" word of the zoom level.
void SetChartToolbarIcons(int zoom);
// "Hide ToolBar" set: only the clock, the information and the toolbar toggle stay; the
// others are hidden and their areas painted with the background.
void HideChartToolbar();
// "Hide ToolBar" clear: the toolbar shows, its lower four buttons only on a screen taller
// than 240 (x vertical scale).
void ShowChartToolbar();

// The object popup's row: a square in the chart background with the record's star dot or
// symbol, and its label beside it (the label is also left in txtBuffer).
void DrawChartListRow(int row, Bounds rect);
// A selection record's mark, centred on (x, y): a star dot for a star by its magnitude
// class, else its object symbol (a body by its number).
struct SelectionRecord;
void DrawChartRowSymbol(const SelectionRecord& record, int x, int y);
// The orientation popup's row: bitmap 1682 + row by day, 2008 + row at night, white
// transparent, at the rectangle's corner.
void DrawPopupIconItem(int row, Bounds rect);
// The orientation icon (1682 + row or 2008 + row) of a "View" row for the current colours.
int OrientationIcon(int row);
