#include "chart/sky_view_chart.h"

#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/selection_list.h"
#include "chart/chart_object_index.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "core/observing_time.h"
#include "core/settings.h"

namespace {

void DrawAroundCentre(int detail) {
    float first = 0.0f, second = 0.0f;
    Bounds rect;
    GetChartCentre(&first, &second, &rect);
    DrawSkyView(selectionList.records, ChartRecordCount(), rect, nullptr, chartZoom, first, second, detail);
}

}  // namespace

void DrawChartSkyView() {
    const int flag = ChartMode() == kChartModeEquatorialSky ? 0 : 1;
    // The key's flag differs after a finder chart or a mode change: the matrix is then not
    // the chart's.
    if (!chartState.starsProjected || skyCacheKey.horizonFlag != flag) {
        const ObservingDateTime& t = observingDateTime;
        UpdateSkyForDate(flag, t.year, t.month, t.day, t.hour, t.minute, t.second, 1);
        chartState.starsProjected = 1;
        chartState.selectionProjected = 0;
    }
    if (!chartState.selectionProjected) {
        ProjectObjects(selectionList.records, ChartRecordCount());
        RebuildObjectPopup();
        chartState.selectionProjected = 1;
    }
    DrawAroundCentre(1);
}

void DragChartSkyView(int dx, int dy) {
    const SkyView& v = skyViewState.view;
    float first = 0.0f, second = 0.0f;
    if (!SkyViewPointToCentre(v.centreX + v.originX - dx, v.centreY + v.originY - dy, &first, &second)) return;
    SetChartCentre(first, second);
    DrawAroundCentre(0);
}

int TapChartSkyView(int x, int y) {
    IdentifyStellarTap(x, y);
    return 1;
}

void DrawSkyViewAroundPosition(DrawWindow* target, const Bounds& rect, double raHours, double decDeg, int zoom) {
    if (!target) return;
    const ObservingDateTime& t = observingDateTime;
    UpdateSkyForDate(1, t.year, t.month, t.day, t.hour, t.minute, t.second, 0);
    ProjectObjects(selectionList.records, ChartRecordCount());
    // The view's projection replaced the chart's in the shared star and record words.
    chartState.starsProjected = 0;
    chartState.selectionProjected = 0;
    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second,
                                         observerLocation.longitude, observerLocation.zoneMinutes);
    const double azimuth = ComputeAzimuth(lst, raHours, decDeg, observerLocation.latitude);
    const double altitude = ComputeAltitude(lst, raHours, decDeg, observerLocation.latitude);
    // In the horizon frame the view's turn runs against the azimuth.
    const float turn = static_cast<float>(azimuth > 0.0 ? 360.0 - azimuth : 0.0);
    DrawWindow* previous = SetDrawWindow(target);
    DrawSkyView(selectionList.records, ChartRecordCount(), rect, nullptr, zoom, turn, static_cast<float>(altitude), 1);
    SetDrawWindow(previous);
}
