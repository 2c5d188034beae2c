#include "chart/chart_tap_cursor.h"

#include "chart/chart_overlays.h"
#include "chart/chart_save_under.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_tap.h"
#include "chart/scope_cursor.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"

namespace {

bool shown = false;

// The cursor's save-under corner: 8 x dpi factor up and left of its point.
int Corner(int v) { return v - 8 * GetDpiFactor(); }

void TakeOff() {
    SaveUnderArea& area = chartState.bubble;
    DrawWindow* target = GetCurrentDrawWindow();
    if (!area.bitmap || !target) return;
    CopyBits(area.bitmap, target, Bounds{0, 0, area.width, area.height}, area.x, area.y, 0);
    shown = false;
}

void DrawMark(int x, int y) {
    DrawTargetCursor(x, y);
    shown = true;
}

}  // namespace

int TargetCursorX() { return chartTap.cursorX; }
int TargetCursorY() { return chartTap.cursorY; }
bool TargetCursorShown() { return shown; }

void MoveTargetCursor(int x, int y) {
    chartTap.cursorX = x;
    chartTap.cursorY = y;
    if (!GetCurrentDrawWindow()) return;
    if (chartState.bubble.bitmap) TakeOff();
    SaveBubbleArea(nullptr, Corner(x), Corner(y));
    chartTap.cursorX = x;
    chartTap.cursorY = y;
    DrawMark(x, y);
    // A fresh cursor stays on for a few ticks before it blinks.
    chartTap.blinkCounter = -3;
}

int UpdateScopeOnChart(float ra, float dec) {
    if (scopeTracking) return GetCurrentDrawWindow() ? FollowScopeOnChart(ra, dec) : 0;
    if (!GetCurrentDrawWindow()) return 0;
    if (chartTap.blinkCounter < 1)
        DrawMark(chartTap.cursorX, chartTap.cursorY);
    else
        TakeOff();
    if (++chartTap.blinkCounter > 1) chartTap.blinkCounter = 0;
    return 0;
}
