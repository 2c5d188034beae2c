#include "chart/sky_view_chart.h"

#include <algorithm>
#include <cmath>

#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/selection_list.h"
#include "chart/chart_math.h"
#include "chart/chart_object_index.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"

namespace {

int ChartHorizonFlag() { return ChartMode() == kChartModeEquatorialSky ? 0 : 1; }

// The sky matrix of the chart's mode at its instant; a rebuild leaves the records to be
// projected again.
void UpdateChartSkyMatrix() {
    const ObservingDateTime& t = observingDateTime;
    if (UpdateSkyForDate(ChartHorizonFlag(), t.year, t.month, t.day, t.hour, t.minute, t.second, 0)) {
        chartState.starsProjected = 1;
        chartState.selectionProjected = 0;
    }
}

void DrawAroundCentre(int detail) {
    float first = 0.0f, second = 0.0f;
    Bounds rect;
    GetChartCentre(&first, &second, &rect);
    DrawSkyView(selectionList.records, ChartRecordCount(), rect, nullptr, chartZoom, first, second, detail);
}

}  // namespace

void DrawChartSkyView() {
    const int flag = ChartHorizonFlag();
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

void CentreChartSkyViewOn(double raHours, double decDeg, bool ofDate) {
    UpdateChartSkyMatrix();
    if (ofDate) SelectHorizonOnlyMatrix();
    CenterChartOn(raHours, decDeg);
    if (ofDate) SelectFullSkyMatrix();
}

void ChartSkyViewCentrePlace(double* raHours, double* decDeg) {
    UpdateChartSkyMatrix();
    float turn = 0.0f, tilt = 0.0f;
    GetChartCentre(&turn, &tilt, nullptr);
    // The direction the view looks at: atan2(x, y) is the turn, z the sine of the tilt.
    const double a = turn * chartmath::kDegToRad, t = tilt * chartmath::kDegToRad;
    const double v[3] = {std::cos(t) * std::sin(a), std::cos(t) * std::cos(a), std::sin(t)};
    double e[3] = {v[0], v[1], v[2]};
    if (skyCacheKey.horizonFlag != 0) {
        // Back through the full matrix, which is a rotation: its transpose.
        for (int i = 0; i < 3; ++i)
            e[i] = (chartMatrix.full[i] * v[0] + chartMatrix.full[3 + i] * v[1] + chartMatrix.full[6 + i] * v[2]) *
                   kUnitPerFixed;
    }
    *raHours = chartmath::WrapTurn(std::atan2(e[0], e[1])) * chartmath::kRadToHours;
    *decDeg = std::asin(std::clamp(e[2], -1.0, 1.0)) * chartmath::kRadToDeg;
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

bool DrawEmbeddedSkyView(DrawWindow*& offscreen, const Bounds& area, double raHours, double decDeg, int field,
                         std::span<const DisplayWordValue> words) {
    if (area.width <= 0 || area.height <= 0) return false;
    if (offscreen && (offscreen->width != area.width || offscreen->height != area.height)) {
        DeleteOffscreen(offscreen);
        offscreen = nullptr;
    }
    if (!offscreen) offscreen = CreateOffscreen(area.width, area.height);
    if (!offscreen) {
        ShowMessage("Can't allocate offscreen window", "");
        return false;
    }
    // The words go back however the drawing ends.
    struct WordGuard {
        std::span<const DisplayWordValue> words;
        std::int32_t saved[16];
        ~WordGuard() {
            for (std::size_t k = words.size(); k-- > 0;) preferences.word[words[k].word] = saved[k];
        }
    } guard{words.first(std::min<std::size_t>(words.size(), 16)), {}};
    for (std::size_t k = 0; k < guard.words.size(); ++k) {
        guard.saved[k] = preferences.word[guard.words[k].word];
        preferences.word[guard.words[k].word] = guard.words[k].value;
    }
    DrawSkyViewAroundPosition(offscreen, Bounds{0, 0, area.width, area.height}, raHours, decDeg, field);
    CopyBits(offscreen, GetDrawWindow(), Bounds{0, 0, area.width, area.height}, area.x, area.y, 0);
    return true;
}
