#include "chart/chart_keys.h"

#include "chart/chart_form.h"
#include "chart/chart_links.h"
#include "chart/chart_save_under.h"
#include "chart/chart_settings.h"
#include "chart/chart_shift.h"
#include "chart/chart_state.h"
#include "chart/chart_zoom.h"
#include "core/settings.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/utilities.h"

namespace {

constexpr int kNorth = 0;
constexpr int kSouth = 1;
constexpr int kEast = 2;
constexpr int kWest = 3;

// The keys drive the mount only while the chart follows it, not whenever the emulated
// mount is on: the emulation is on after every start, so the keys would otherwise never
// scroll the chart. An encoder box cannot slew; its emulation can.
bool MountTakesKeys() {
    return scopeTracking && (!ChartIsEncoderDrive() || ChartTelescopeEmulated());
}

// Shows the offscreen on the current target.
void ShowShifted() {
    if (DrawWindow* screen = GetCurrentDrawWindow())
        CopyBits(chartState.offscreen, screen, Bounds{0, 0, chartState.width, chartState.height}, 0, 0, 0);
    platform::MarkScreenChanged();
    platform::PresentScreen();
}

// Modes 0 and 1: the chart follows the key 4 x dpi factor pixels a step.
void ScrollChart(int key, int direction) {
    const int step = 4 * GetDpiFactor();
    int dx = 0, dy = 0;
    do {
        switch (direction) {
        case kNorth: dy -= step; break;
        case kSouth: dy += step; break;
        case kWest: dx -= step; break;
        default: dx += step; break;
        }
        dx = WrapChartOffset(dx);
        ShiftChart(chartState.offscreen, dx, dy);
        ShowShifted();
        platform::IdleWait();
    } while (IsKeyDown(key));
    chartForm.panX = WrapChartOffset(chartForm.panX + dx);
    chartForm.panY += dy;
}

// Modes 2 to 4: the view centre moves by a thirtieth of the field a step.
void ScrollSkyView(int key, int direction) {
    const double step = GetZoomFieldWidth(chartZoom) / 30.0;
    const int flip = preferences.word[pref::skyViewScrollFlip];
    const double xSign = flip >= 1 ? -1.0 : 1.0;
    const double ySign = flip == 2 ? -1.0 : 1.0;
    const double lowest = preferences.word[pref::chartMode] == kChartModeVisibleSky ? 0.0 : -90.0;
    float azimuth = 0.0f, altitude = 0.0f;
    GetChartCentre(&azimuth, &altitude, nullptr);
    do {
        double az = azimuth, alt = altitude;
        switch (direction) {
        case kNorth: alt -= ySign * step; break;
        case kSouth: alt += ySign * step; break;
        case kWest: az -= xSign * step; break;
        default: az += xSign * step; break;
        }
        if (alt < lowest) alt = lowest;
        if (alt > 90.0) alt = 90.0;
        if (az < 0.0) az += 360.0;
        if (az > 360.0) az -= 360.0;
        azimuth = static_cast<float>(az);
        altitude = static_cast<float>(alt);
        SetChartCentre(azimuth, altitude);
        if (chartSkyModes.draw) chartSkyModes.draw();
        platform::MarkScreenChanged();
        platform::PresentScreen();
        platform::IdleWait();
    } while (IsKeyDown(key));
}

}  // namespace

int ChartKeyDirection(int key) {
    switch (key) {
    case platform::kKeyUp: case platform::kKeyPageDown: return kNorth;
    case platform::kKeyDown: case platform::kKeyPageUp: return kSouth;
    case platform::kKeyLeft: return kWest;
    case platform::kKeyRight: return kEast;
    default: return -1;
    }
}

int ChartKeyRate(int zoom) { return zoom <= 5 ? 0 : zoom <= 9 ? 1 : 2; }

int ChartFormKey(int key) {
    if (!scopeTracking) FreeChartBitmaps();
    return ChartKeyHandler(key);
}

int ChartKeyHandler(int key) {
    const int direction = ChartKeyDirection(key);
    if (direction < 0) return 0;
    const bool heldAtEntry = IsNavKeyDown() != 0;
    if (MountTakesKeys()) {
        ChartScopeSetRate(ChartKeyRate(chartZoom));
        ChartMoveScopeWhileKeyHeld(direction);
        return 1;
    }
    const int mode = preferences.word[pref::chartMode];
    if (mode <= 1) {
        const bool upDown = direction == kNorth || direction == kSouth;
        if (!chartState.offscreen || (upDown && !heldAtEntry)) return 1;
        ScrollChart(key, direction);
    } else {
        ScrollSkyView(key, direction);
    }
    FlushKeyEvents();
    DrawChart();
    return 1;
}
