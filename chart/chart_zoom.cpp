#include "chart/chart_zoom.h"

#include "catalog/databases.h"
#include "catalog/star_tables.h"
#include "chart/chart_links.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "shell/fonts.h"

const float zoomFieldNominal[kZoomLevels] = {180.0f, 150.0f, 120.0f, 90.0f, 60.0f, 45.0f, 30.0f,
                                             20.0f,  10.0f,  5.0f,   2.5f,  1.5f,  1.0f,  0.5f};
float zoomPixelScales[kZoomLevels] = {-1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f,
                                      -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f, -1.0f};
std::int32_t zoomChartScales[kZoomLevels] = {65536,   91750,   115015,  153354,   230031,   306708,   458752,
                                             688128,  1376256, 2752512, 5505024,  9175000,  13762560, 16500000};
const float zoomFieldWidths[kZoomLevels] = {110.0f, 100.0f, 92.0f, 87.0f, 70.0f, 61.1f, 40.1f,
                                            26.65f, 13.4f,  6.7f,  3.55f, 2.05f, 1.35f, 0.7f};

namespace {

constexpr std::int32_t kUnscaledFirstScale = 65536;

// The mount's rate for a zoom level while the chart follows it; -1 leaves it alone.
int RateForLevel(int level) {
    if (level <= 4) return 0;
    if (level <= 7) return 1;
    if (level <= 9) return 2;
    if (level <= 12) return 3;
    return -1;
}

void FillPixelScales() {
    for (int n = 0; n < kZoomLevels; ++n) zoomPixelScales[n] = 8.0f / (3.0f * zoomFieldNominal[n]);
}

}  // namespace

int ChartTableLevel(int level, int last) {
    if (level == -1) level = ChartSetting(chartpref::savedZoom);
    if (level < 0) return 0;
    return level > last ? last : level;
}

int SetChartZoom(int level) {
    if (level < 0) level = 0;
    if (level > kLastZoomLevel) level = kLastZoomLevel;

    lastDrawnRow = -2;
    if (IsHorizonView())
        chartState.horizonZoom = level;
    else
        chartState.otherZoom = level;
    MarkChartBuffersEmpty();
    chartState.redraw = 1;

    if (ChartSetting(chartpref::cardCatalog) != 0) SelectStarCatalogLevel(kStarLookupChart);
    OpenObjectIndex();

    if (scopeTracking && preferences.word[pref::scopeDrive] != 0 && !ChartIsEncoderDrive()) {
        const int rate = RateForLevel(level);
        if (rate >= 0) ChartScopeSetRate(rate);
    }
    return level;
}

float GetZoomScale(int level) {
    if (zoomPixelScales[0] == -1.0f) FillPixelScales();
    if (level >= kZoomLevels) return 0.0f;
    return zoomPixelScales[ChartTableLevel(level)];
}

float GetZoomFieldWidth(int level) {
    // Past the last level there is no field of the table: the sky views' default width.
    if (level > kLastZoomLevel) return 75.0f;
    return zoomFieldWidths[ChartTableLevel(level)];
}

int ScaleChartScalesForDpi() {
    const int factor = GetDpiFactor();
    if (factor == 1 || zoomChartScales[0] != kUnscaledFirstScale) return 0;
    for (std::int32_t& scale : zoomChartScales) scale *= factor;
    return 1;
}
