#include "chart/scope_cursor.h"

#include <cmath>
#include <cstdint>

#include "astro/horizontal.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/object_selection.h"
#include "catalog/star_tables.h"
#include "chart/chart_commands.h"
#include "chart/chart_form.h"
#include "chart/chart_links.h"
#include "chart/chart_projection.h"
#include "chart/chart_save_under.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_tap.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "chart/sky_view_chart.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/utilities.h"

ChartScopeState chartScope;

namespace {

constexpr int kScopeIcon = 5084;
constexpr int kTwoStarForm = 1300;
constexpr int kNStarForm = 2100;
constexpr int kScopeSettingsForm = 1400;
constexpr unsigned kFollowTimerMs = 250;

// The scope cursor's save-under: 50 x 15 (x dpi factor), its corner 8 x dpi factor up and
// left of the cursor's point.
DrawWindow* scopeUnder = nullptr;
int underX = 0;
int underY = 0;

int Dpi() { return GetDpiFactor(); }

void PutBackUnder() {
    if (!scopeUnder) return;
    if (DrawWindow* target = GetCurrentDrawWindow())
        CopyBits(scopeUnder, target, Bounds{0, 0, scopeUnder->width, scopeUnder->height}, underX, underY, 0);
    chartScope.cursorShown = 0;
}

void SaveUnder(int x, int y) {
    DrawWindow* target = GetCurrentDrawWindow();
    const int g = Dpi();
    underX = x - 8 * g;
    underY = y - 8 * g;
    if (!target) return;
    if (!scopeUnder) scopeUnder = CreateOffscreen(50 * g, 15 * g);
    if (!scopeUnder) return;
    CopyBits(target, scopeUnder, Bounds{underX, underY, scopeUnder->width, scopeUnder->height}, 0, 0, 0);
    chartScope.cursorShown = 1;
}

// The cursor colour of the chart: its second cursor colour on a white background by day,
// else the first.
platform::Color CursorColour() {
    const bool white = preferences.word[pref::chartBackground] == 1 && preferences.word[pref::nightMode] == 0;
    return white ? platform::Rgb(0, 0, 0) : platform::Rgb(255, 64, 64);
}

// A ring with a cross through it, and the word "Scope" beside it, inside the save-under.
void DrawScopeMark(int x, int y) {
    const int g = Dpi();
    const platform::Color previous = SetForeColor(CursorColour());
    DrawCircle(x, y, 6 * g);
    DrawLine(x - 7 * g, y, x - 2 * g, y);
    DrawLine(x + 3 * g, y, x + 8 * g, y);
    DrawLine(x, y - 7 * g, x, y - 2 * g);
    DrawLine(x, y + 3 * g, x, y + 7 * g);
    SetForeColor(previous);
    const platform::Color previousText = SetTextColor(CursorColour());
    const int transparent = SetTextTransparent(1);
    DrawString("Scope", 5, x + 9 * g, y - 6 * g);
    SetTextTransparent(transparent);
    SetTextColor(previousText);
}

void ShowFollowIcon() {
    DrawBitmapScaled(kScopeIcon, 0, static_cast<int>(24 * screenScale.vertical), GetDpiFactor() * 0.25);
}

void RecentreOnScope(double ra, double dec) {
    FreeChartBitmaps();
    ChartView view{};
    GetChartView(&view);
    view.ra = static_cast<float>(ra);
    view.dec = static_cast<float>(dec);
    view.number = 0;
    SetChartView(&view);
    if (ChartMode() >= kChartModeWholeSky) CentreChartSkyViewOn(ra, dec);
    chartSelectionIndex = -1;
    lastDrawnRow = -3;
    std::int32_t& tapAction = preferences.word[chartpref::tapAction];
    const std::int32_t saved = tapAction;
    tapAction = 2;
    DrawChart();
    tapAction = saved;
    chartScope.cursorShown = 0;
    ++chartScope.recentres;
    // The next read draws the cursor in the new picture, even a read of the same place.
    chartScope.previousRa = chartScope.previousDec = -1000.0;
}

// The object slot of the object pages holds the mount's place while it is followed.
void SetScopeSlot(double ra, double dec) {
    ObjectRef slot{};
    slot.type = 0;
    slot.ra = static_cast<float>(ra);
    slot.dec = static_cast<float>(dec);
    currentObject.object = slot;
}

bool Inside(const Bounds& r, int x, int y) { return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height; }

// The sky views (modes 2 to 4): the cursor at the mount's place in the view the chart drew
// last, with the status line; outside the view less its bottom band (and the toolbar's
// strip), or on its far side, the chart re-centres on the mount.
void FollowOnSkyView(double ra, double dec) {
    const SkyViewState& st = skyViewState;
    const int g = Dpi();
    Bounds usable = st.rect;
    usable.height -= 20 * g;
    if (ChartSetting(chartpref::hideToolBar) == 0) usable.width -= 11 * g;
    const int flag = ChartMode() == kChartModeEquatorialSky ? 0 : 1;
    std::int32_t x = 0, y = 0;
    const bool seen = skyCacheKey.horizonFlag == flag && st.view.scaleX != 0 &&
                      SkyViewProjectPoint(st.view, HoursToFixedAngle(ra), DegreesToFixedAngle(dec), &x, &y);
    x += st.view.originX;
    y += st.view.originY;
    if (!seen || !Inside(usable, x, y)) {
        RecentreOnScope(ra, dec);
        return;
    }
    SetScopeSlot(ra, dec);
    if (chartScope.cursorShown) PutBackUnder();
    SaveUnder(x, y);
    chartScope.x = x;
    chartScope.y = y;
    ClipRectangle(st.rect);
    DrawScopeMark(x, y);
    ResetClip();
    if (ChartSetting(chartpref::hideInfoBar) != 0) return;
    // The status line says where the mount points, in the mount's own axes.
    const bool altAz = ChartSetting(chartpref::mountType) != 0;
    std::int32_t first = HoursToFixedAngle(ra) / 15, second = DegreesToFixedAngle(dec);
    if (altAz) {
        const double lst = chartClock.siderealTime, latitude = observerLocation.latitude;
        first = DegreesToFixedAngle(ComputeAzimuth(lst, ra, dec, latitude));
        second = DegreesToFixedAngle(ComputeAltitude(lst, ra, dec, latitude));
    }
    std::int32_t& grid = preferences.word[chartpref::altAzGrid];
    const std::int32_t savedGrid = grid;
    grid = altAz ? 1 : 0;
    const int transparent = SetTextTransparent(0);
    DrawSkyViewStatus(st.rect, nullptr, first, second);
    SetTextTransparent(transparent);
    grid = savedGrid;
}

// The chart's current object, or null when it has none.
bool HasCurrentObject(ChartView* view) {
    GetChartView(view);
    return view->type != 0 || view->catalog != 0;
}

void LocalSiderealTimeNow(double* lst) {
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    *lst = LocalSiderealTime(y, mo, d, h, mi, s, observerLocation.longitude, observerLocation.zoneMinutes);
}

void ToggleFollowing() {
    const platform::Window form = chartForm.window;
    if (scopeTracking && platform::IsWindow(form)) platform::KillTimer(form, kChartTimerId);
    scopeTracking = scopeTracking ? 0 : 1;
    std::int32_t& stars = preferences.word[pref::starsShown];
    if (scopeTracking) {
        if (!ChartScopeConnect()) {
            scopeTracking = 0;
            return;
        }
        if (platform::IsWindow(form)) platform::SetTimer(form, kChartTimerId, kFollowTimerMs);
        chartScope.savedStars = stars;
        chartScope.previousRa = chartScope.previousDec = 0.0;
        DrawChart();
        return;
    }
    stars = chartScope.savedStars;
    ChartScopeDisconnect();
    RemoveScopeCursor();
    // The clock of the chart goes on at its usual pace.
    if (platform::IsWindow(form)) platform::SetTimer(form, kChartTimerId, ChartTimerPeriod());
    DrawChart();
}

}  // namespace

void RemoveScopeCursor() {
    if (chartScope.cursorShown) PutBackUnder();
    DeleteOffscreen(scopeUnder);
    scopeUnder = nullptr;
    chartScope.cursorShown = 0;
}

int FollowScopeOnChart(float raIn, float decIn) {
    double ra = raIn, dec = decIn;
    if (raIn == 0.0f && decIn == 0.0f) {
        if (!ChartScopeGetPosition(&ra, &dec)) {
            ShowMessage("fail scope", "");
            scopeTracking = 0;
            ChartScopeDisconnect();
            return 0;
        }
    }
    if (ra == chartScope.previousRa && dec == chartScope.previousDec) return 0;
    chartScope.previousRa = chartScope.ra = ra;
    chartScope.previousDec = chartScope.dec = dec;

    if (ChartMode() >= kChartModeWholeSky) {
        FollowOnSkyView(ra, dec);
        ShowFollowIcon();
        platform::MarkScreenChanged();
        return 1;
    }

    std::int32_t p = 0, q = 0;
    if (!ProjectHorizontalPoint(chartClock.siderealTime, static_cast<float>(ra), static_cast<float>(dec), &p, &q))
        return 0;
    std::int32_t x = 0, y = 0;
    PlaneToPixel(p, q, &x, &y);
    const Bounds& area = chartState.chartRect;
    const int margin = 20 * Dpi();
    if (x - area.x <= margin || y - area.y <= margin || area.x + area.width - 1 - x <= margin ||
        area.y + area.height - 1 - y <= margin) {
        RecentreOnScope(ra, dec);
        ShowFollowIcon();
        return 1;
    }
    SetScopeSlot(ra, dec);
    if (chartScope.cursorShown) PutBackUnder();
    SaveUnder(x, y);
    chartScope.x = x;
    chartScope.y = y;
    DrawScopeMark(x, y);
    ChartView here = currentObject.object;
    PutBackChartInfoLinesArea();
    DrawChartInfoLines(chartClock.siderealTime, &here);
    ShowFollowIcon();
    platform::MarkScreenChanged();
    return 1;
}

void ShowScopeMoveOnChart(int bitmapId, double raHours, double decDeg) {
    if (!platform::IsWindow(chartForm.window)) return;
    const platform::Dc dc = platform::GetWindowDc(chartForm.window);
    SetDrawTarget(chartForm.window, dc);
    if (scopeTracking) FollowScopeOnChart(static_cast<float>(raHours), static_cast<float>(decDeg));
    if (bitmapId) DrawBitmap(bitmapId, 0, static_cast<int>(24 * screenScale.vertical));
    platform::MarkScreenChanged();
    platform::PresentScreen();
    platform::ReleaseDc(chartForm.window, dc);
}

void CentreChartOnScope() {
    double lst = 0.0;
    LocalSiderealTimeNow(&lst);
    if (preferences.word[pref::scopeDrive] == 0) {
        ShowMessage("No drive selected.", "");
        return;
    }
    double ra = 0.0, dec = 0.0;
    ChartScopeConnect();
    ChartScopeGetPosition(&ra, &dec);
    ChartScopeDisconnect();
    ChartView view{};
    GetChartView(&view);
    view.ra = static_cast<float>(ra);
    view.dec = static_cast<float>(dec);
    SetChartView(&view);
    chartSelectionIndex = -1;
    chartForm.objectChosen = 1;
    const int mode = preferences.word[pref::chartMode];
    if (mode <= 1) {
        if (ComputeAltitude(lst, ra, dec, observerLocation.latitude) < 0.0) {
            ShowMessage("Your scope doesn't seem to point to the sky",
                        "Check your location information and current time.");
            return;
        }
        std::int32_t p = 0, q = 0, x = 0, y = 0;
        if (ProjectHorizontalPoint(chartClock.siderealTime, static_cast<float>(ra), static_cast<float>(dec), &p, &q)) {
            PlaneToPixel(p, q, &x, &y);
            const int g = Dpi();
            FindNearestChartObject(x / g, y / g, 3 * g);
        }
    } else {
        CentreChartSkyViewOn(ra, dec);
    }
    FreeChartBitmaps();
    DrawChart();
}

void ChartScopePopupCommand(int row) {
    using namespace scope_popup;
    switch (row) {
    case kTwoStarAlignment: GotoForm(kTwoStarForm); return;
    case kNStarAlignment: GotoForm(kNStarForm); return;
    case kGotoObject: GotoChartObject(); return;
    case kGetScopePosition: CentreChartOnScope(); return;
    case kScopeAssistant:
        if (ChartIsEncoderDrive()) ChartClearEncoderTarget();
        ChartOpenScopeControl(1);
        return;
    case kFollowMount: ToggleFollowing(); return;
    case kImprovePointing: {
        ChartView view{};
        if (!HasCurrentObject(&view)) {
            ShowMessage("No Object or Star selected.", "");
            return;
        }
        ChartAddObjectAsAlignStar();
        return;
    }
    case kChangeScope:
        ChartClearSerialAuxFlag();
        PushFormHistory(kScopeSettingsForm);
        GotoForm(kScopeSettingsForm);
        return;
    case kSyncCoord: {
        ChartView view{};
        GetChartView(&view);
        ChartScopeSync(view.ra, view.dec);
        return;
    }
    default: return;
    }
}
