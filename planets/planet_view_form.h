#pragma once
// Form 2460 (also opened as 2520): the Jupiter, Saturn, Mars and phase assistants in one
// form, the mode chosen before it opens. Its sub-views are the time strips, the day's moon
// events, the Red Spot table, the Mars view and the Mars map.
#include "platform/window.h"

namespace planet_view_form {
inline constexpr int kFormId = 2460;
inline constexpr int kSecondFormId = 2520;
inline constexpr int kTitle = 8025;
inline constexpr int kSubViewPopup = 2466;
inline constexpr int kSubViewList = 2467;
inline constexpr int kHelp = 2469;
inline constexpr int kBack = 2461;
inline constexpr int kOrientationPopup = 2406;
inline constexpr int kOrientationList = 2407;
inline constexpr int kSpanPopup = 2463;
inline constexpr int kSpanList = 2464;
inline constexpr int kMoonFilterPopup = 2381;
inline constexpr int kMoonFilterList = 2382;
inline constexpr int kZoom = 1869;
inline constexpr int kAdjust = 2468;
inline constexpr int kKindPopup = 2518;
inline constexpr int kKindList = 2519;
inline constexpr int kFeaturePopup = 2515;
inline constexpr int kFeatureList = 2516;
inline constexpr int kPicture = 2408;
inline constexpr int kDate = 2465;
inline constexpr int kTime = 2459;
inline constexpr int kClock = 2458;
}  // namespace planet_view_form

platform::LResult PlanetViewAssistant(platform::Window w, unsigned message, platform::WParam wParam,
                                      platform::LParam lParam);

// The form's parts, also driven by the tests.
void InitPlanetView();
void RefreshPlanetView();
// 1 when the command was handled.
int PlanetViewCommand(int id);
int PlanetViewKey(int key);
// Stylus down: 1 when the stylus is to be followed.
int PlanetViewTap(int x, int y);
// Stylus moved while down: 1 when something was drawn.
int PlanetViewPenDown(int x, int y);
// Stylus up.
int PickMarsFeature(int x, int y);
int LayoutPlanetView(platform::Window dialog, int width, int height);
// The help heading and detail of a mode and sub-view (lines begin with the bullet).
void PlanetViewHelp(int mode, int subView, const char** text, const char** detail);
// The Mars feature kind of a row of the kind filter ("All" is -1).
int MarsKindOfRow(int row);
