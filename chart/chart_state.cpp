#include "chart/chart_state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/horizontal.h"
#include "astro/time_scales.h"
#include "core/calendar.h"
#include "catalog/chart_buffers.h"
#include "catalog/object_selection.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_links.h"
#include "chart/chart_projection.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/chart_zoom.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/utilities.h"

ChartViewRecord chartViews[2] = {};
ChartClock chartClock{};
ChartState chartState = [] {
    ChartState s{};
    s.horizonZoom = -1;
    s.otherZoom = -1;
    s.starLimit = 13.0f;
    s.objectLimit = 100.0f;
    s.objectLimit10 = 1000;
    s.xSign = 1;
    s.ySign = 1;
    return s;
}();
int chartZoom = -1;
int chartSelectionIndex = -1;
int lastDrawnRow = 0;
int chartFilterRow = 0;
int skyViewOwner = 0;
int skyViewFlag = 1;
int scopeTracking = 0;

namespace {

// The clock steps at most once in this many seconds unless forced.
constexpr std::uint32_t kClockStepSeconds = 120;
// The title band above the chart, in design pixels.
constexpr double kTitleBand = 21.0;
constexpr int kTypeCount = 42;
constexpr int kConstellationCount = 89;

// The sidereal time of the observing instant, and the date the chart's catalog places are
// precessed to.
void StoreSiderealTime(double lst) {
    chartClock.siderealTime = static_cast<float>(lst);
    chartClock.siderealTimeFixed = HoursToFixedAngle(lst);
    const ObservingDateTime& t = observingDateTime;
    if (t.year != 0)
        SetChartPrecessionEpoch(DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, 0, observerLocation.zoneMinutes));
}

void ClearProjectionFlags() {
    chartState.starsProjected = 0;
    chartState.selectionProjected = 0;
}

// The current object's view before its info lines: indexes outside their tables count as 0.
void CheckViewIndexes(ChartView& view) {
    if (view.type < 0 || view.type >= kTypeCount) view.type = 0;
    if (view.constellation < 0 || view.constellation >= kConstellationCount) view.constellation = 0;
}

}  // namespace

void MarkChartBuffersEmpty() {
    if (starBuffer) std::memcpy(starBuffer, &kStarBufferEmpty, sizeof kStarBufferEmpty);
    if (objectBuffer) std::memcpy(objectBuffer, &kObjectBufferEnd, sizeof kObjectBufferEnd);
}

// ---- Time --------------------------------------------------------------------------------

void SetSkyDateTime(const ChartView* view, int year, int month, int day, int hour, int minute) {
    SetObservingDateTime(year, month, day, hour, minute, observingDateTime.second);
    const double lst =
        LocalSiderealTime(year, month, day, hour, minute, 0, observerLocation.longitude, observerLocation.zoneMinutes);
    StoreSiderealTime(lst);
    if (chartClock.siderealTime != chartClock.lastSeenLst) {
        chartClock.lastSeenLst = chartClock.siderealTime;
        ClearProjectionFlags();
    }
    if (view) chartViews[0].view = *view;
    chartSelectionIndex = 0;
}

int UpdateCurrentTime(int force) {
    const std::uint32_t now = GetSeconds();
    std::uint32_t elapsed = 0;
    if (chartClock.lastStep == 0)
        chartClock.lastStep = now;
    else
        elapsed = now - chartClock.lastStep;
    if (elapsed < kClockStepSeconds && force != 1) return 0;

    ObservingDateTime& t = observingDateTime;
    if (ChartSetting(chartpref::timeUpdate) == 0 || chartClock.siderealTime == 0.0f) {
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    } else {
        AddMinutes(&t.year, &t.month, &t.day, &t.hour, &t.minute, static_cast<int>(elapsed / 60));
        t.second += static_cast<int>(elapsed % 60);
        while (t.second > 59) {
            AddMinutes(&t.year, &t.month, &t.day, &t.hour, &t.minute, 1);
            t.second -= 60;
        }
    }
    StoreSiderealTime(LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second,
                                        observerLocation.longitude, observerLocation.zoneMinutes));

    chartClock.lastStep = now;
    ClearProjectionFlags();
    SetProjectionCenter(chartState.rotation);
    GetMoonPhaseBitmap(t.year, t.month, t.day, t.hour);
    chartState.redraw = 1;
    chartState.penMoved = 0;
    return 1;
}

void GetChartLst(float* lst) {
    if (lst) *lst = chartClock.siderealTime;
}

void InvalidateSelectionProjection() { chartState.selectionProjected = 0; }

// ---- View and centre ---------------------------------------------------------------------

void GetChartView(ChartView* out) {
    if (out) *out = chartViews[0].view;
}

void SetChartView(const ChartView* view) {
    if (view) chartViews[0].view = *view;
}

void SetChartViewFromRecord(const SelectionRecord* record) { SelectionRecordToInfo(&chartViews[0].view, record); }

void GetChartCentre(float* ra, float* dec, Bounds* rect) {
    if (ra) *ra = chartViews[1].view.ra;
    if (dec) *dec = chartViews[1].view.dec;
    if (rect) *rect = chartState.chartRect;
}

void SetChartCentre(float ra, float dec) {
    // In the sky views the centre is a direction of the view's frame, not a place: the
    // current object (the first record) keeps its own, which the GoTo and the info read.
    const int first = ChartMode() >= kChartModeWholeSky ? 1 : 0;
    for (int i = first; i < 2; ++i) {
        chartViews[i].view.ra = ra;
        chartViews[i].view.dec = dec;
    }
}

void GetChartMetrics(std::int32_t* originX, std::int32_t* originY, std::int32_t* scaleX, std::int32_t* scaleY) {
    std::int32_t scale = zoomChartScales[ChartTableLevel(chartZoom)];
    if (IsHorizonView()) scale = static_cast<std::int32_t>(scale * 0.8);
    if (originX) *originX = chartState.width / 2 - chartState.centreOffsetX;
    if (originY) *originY = chartState.height / 2 - chartState.centreOffsetY;
    if (scaleX) *scaleX = scale * chartState.xSign;
    if (scaleY) *scaleY = scale * chartState.ySign;
}

void PrepareChartView() {
    UpdateCurrentTime(0);

    chartZoom = IsHorizonView() ? chartState.horizonZoom : chartState.otherZoom;
    const int level = ChartTableLevel(chartZoom);
    chartState.xSign = IsHorizonView() ? -1 : 1;
    chartState.ySign = 1;
    ApplyChartFlip(level, &chartState.xSign, &chartState.ySign);
    GetMagnitudeLimits(level, &chartState.starLimit, &chartState.objectLimit);
    chartState.objectLimit10 = static_cast<int>(chartState.objectLimit * 10.0f);

    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const int band = static_cast<int>(kTitleBand * screenScale.vertical);
    chartState.width = width;
    chartState.height = height;
    chartState.chartRect = Bounds{0, band, width, height - band};
    chartState.pictureSquare = Bounds{0, band, static_cast<int>(40 * screenScale.horizontal),
                                      static_cast<int>(40 * screenScale.vertical)};

    chartState.colours = BuildChartColourSet();
}

namespace {

// What lies under the info lines, saved before each drawing of them, so that new lines
// replace the old instead of mixing with them.
DrawWindow* infoUnder = nullptr;
Bounds infoArea{};

// The lines' band at the bottom left, up to the field label that the chart writes beside
// them at 135 (x horizontal scale).
Bounds InfoLinesArea() {
    const Bounds& r = chartState.chartRect;
    const int top = r.y + r.height - static_cast<int>(32 * screenScale.vertical);
    const int width = std::min(r.width, static_cast<int>(134 * screenScale.horizontal));
    return Bounds{r.x, top, width, r.y + r.height - top};
}

void SaveInfoLinesArea() {
    DrawWindow* source = GetCurrentDrawWindow();
    const Bounds area = InfoLinesArea();
    if (!source || area.width <= 0 || area.height <= 0) return;
    if (infoUnder && (infoUnder->width != area.width || infoUnder->height != area.height)) FreeChartInfoLinesArea();
    if (!infoUnder) infoUnder = CreateOffscreen(area.width, area.height);
    if (!infoUnder) return;
    CopyBits(source, infoUnder, area, 0, 0, 0);
    infoArea = area;
}

}  // namespace

void PutBackChartInfoLinesArea() {
    DrawWindow* target = GetCurrentDrawWindow();
    if (!infoUnder || !target) return;
    CopyBits(infoUnder, target, Bounds{0, 0, infoArea.width, infoArea.height}, infoArea.x, infoArea.y, 0);
}

void FreeChartInfoLinesArea() {
    DeleteOffscreen(infoUnder);
    infoUnder = nullptr;
    infoArea = Bounds{};
}

void DrawChartInfoLines(double lst, ChartView* view) {
    if (ChartSetting(chartpref::hideInfoBar) != 0 || !view) return;
    SaveInfoLinesArea();
    CheckViewIndexes(*view);
    const ObservingDateTime& t = observingDateTime;
    double ra = view->ra, dec = view->dec, altitude = 0.0, azimuth = 0.0;
    ComputeApparentPosition(view->ra, view->dec, &ra, &dec, &altitude, &azimuth,
                            preferences.word[pref::coordinateMode], t.year, t.month, t.day, t.hour, t.minute, t.second);

    char first[32], second[32], line[128];
    if (ChartSetting(chartpref::mountType) != 0) {
        DMSToStr(first, sizeof first, azimuth);
        DMSToStr(second, sizeof second, altitude);
    } else {
        HMSToStr(first, sizeof first, ra);
        DMSToStr(second, sizeof second, dec);
    }
    char magnitude[32];
    std::snprintf(magnitude, sizeof magnitude, "%0.1f", static_cast<double>(view->magnitude));

    const int previousFont = SetFont(0);
    const int previousTransparent = SetTextTransparent(1);
    const platform::Color previousColour = SetTextColor(chartState.colours.label);
    const Bounds& r = chartState.chartRect;
    const int bottom = r.y + r.height;
    const int x = static_cast<int>(2 * screenScale.horizontal);
    const int secondY = bottom - static_cast<int>(20 * screenScale.vertical);
    const int firstY = secondY - static_cast<int>(12 * screenScale.vertical);

    int n = std::snprintf(line, sizeof line, "%s %s %s", first, second, magnitude);
    DrawString(line, n, x, firstY);

    char date[40];
    FormatDateShort(date, t.day, t.month, t.year);
    const int lstHours = static_cast<int>(lst);
    const int lstMinutes = static_cast<int>((lst - lstHours) * 60.0);
    n = std::snprintf(line, sizeof line, "%s %02d:%02d LST:%02d:%02d  ", date, t.hour, t.minute, lstHours, lstMinutes);
    DrawString(line, n, x, secondY);

    SetTextColor(previousColour);
    SetTextTransparent(previousTransparent);
    SetFont(previousFont);
}

void ReleaseChartResources() {
    FreeSavedBitmap();
    FreeCachedChartBitmaps();
    ChartFreeMapImages();
    UpdateCurrentTime(1);
    ChartNightModeSettings();
    SetChartColors();
}

void SetSkyViewOwner(int value) { skyViewOwner = value; }
void SetSkyViewFlag(int value) { skyViewFlag = value; }

int GetChartPopup1() { return lastDrawnRow < 0 ? 0 : lastDrawnRow; }
int GetChartPopup2() { return chartFilterRow > 5 ? 0 : chartFilterRow; }
int GetChartZoomSelection() { return chartZoom < 0 ? ChartSetting(chartpref::savedZoom) : chartZoom; }
int GetChartPopup3() { return ChartMode() + 5; }
int GetChartFovIndex() {
    return ChartSetting(chartpref::viewFirst + ChartTableLevel(chartZoom, chartpref::viewLast - chartpref::viewFirst));
}
