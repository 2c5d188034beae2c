#include "chart/sky_view_chart.h"

#include "catalog/selection_list.h"
#include "chart/chart_object_index.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "core/observing_time.h"

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
