#include "chart/chart_shift.h"

#include <cmath>
#include <cstdlib>

#include "catalog/byte_order.h"
#include "catalog/chart_buffers.h"
#include "catalog/object_types.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_lines.h"
#include "chart/chart_object_index.h"
#include "chart/chart_overlays.h"
#include "chart/chart_popups.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_zoom.h"
#include "chart/object_layers.h"
#include "chart/star_layers.h"
#include "core/settings.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"

namespace {

constexpr int kTypeBody = 27;
// The radius of the horizon circle, worked out on the first shift after a full drawing.
int horizonRadius = -1;
int horizonRadiusZoom = -1;

struct Shift {
    int dx;
    int dy;
    int turn;
    Bounds rect;
};

// The stored pixel moved by the offset, wrapped in the horizon view; false outside.
bool Place(const Shift& s, int x, int y, int* ox, int* oy) {
    x += s.dx;
    y += s.dy;
    if (s.turn > 0) {
        if (x < s.rect.x) x += s.turn;
        if (x >= s.rect.x + s.rect.width) x -= s.turn;
    }
    if (x < s.rect.x || x >= s.rect.x + s.rect.width || y < s.rect.y || y >= s.rect.y + s.rect.height) return false;
    *ox = x;
    *oy = y;
    return true;
}

int SizeClass(int magnitude16, int g) { return (magnitude16 >> 4) + (g == 1 ? 1 : 0); }

void DrawHorizonCircle(const Shift& s, int g) {
    if (ChartMode() != kChartModeSkyMap || chartZoom >= 7 || g < 2) return;
    std::int32_t zx = 0, zy = 0, hx = 0, hy = 0;
    AltAzToPixel(0.0f, 90.0f, &zx, &zy);
    if (horizonRadius < 0 || horizonRadiusZoom != chartZoom) {
        AltAzToPixel(0.0f, 0.0f, &hx, &hy);
        horizonRadius = static_cast<int>(std::hypot(static_cast<double>(hx - zx), static_cast<double>(hy - zy)));
        horizonRadiusZoom = chartZoom;
    }
    SetForeColor(chartState.colours.grid);
    DrawCircle(zx + s.dx, zy + s.dy, horizonRadius);
}

void DrawLines(const Shift& s, int g, StarRecord* stars, int n) {
    if (ChartSetting(chartpref::constLines) == 0 || !stars) return;
    const bool moreStars = ChartSetting(chartpref::moreStars) != 0;
    const bool pixelStars = ChartSetting(chartpref::starsAsPixel) != 0;
    SetForeColor(chartState.colours.constellation);
    for (const ConstellationLine& line : constellationLines) {
        const int a = line.value[1], b = line.value[2];
        if (a < 0 || b < 0 || a >= n || b >= n) continue;
        const StarRecord& sa = stars[a];
        const StarRecord& sb = stars[b];
        if (sa.word[starword::hidden] || sb.word[starword::hidden]) continue;
        const int ax = sa.word[starword::pixelX] + s.dx, ay = sa.word[starword::pixelY] + s.dy;
        const int bx = sb.word[starword::pixelX] + s.dx, by = sb.word[starword::pixelY] + s.dy;
        // No line across the chart at the azimuth wrap.
        if (s.turn > 0 && std::abs(ax - bx) > s.rect.width / 2) continue;
        DrawLine(ax, ay, bx, by);
        if (moreStars) continue;
        for (const StarRecord* star : {&sa, &sb}) {
            int x = 0, y = 0;
            if (!Place(s, star->word[starword::pixelX], star->word[starword::pixelY], &x, &y)) continue;
            if (pixelStars)
                DrawPixelColor(x, y, RGBToColorRef(chartColors[0]));
            else
                DrawStar(nullptr, chartZoom, SizeClass(star->Half(6), g), star->Half(7), x, y);
        }
        SetForeColor(chartState.colours.constellation);
    }
}

void DrawVisibleBrightStars(const Shift& s, int g, StarRecord* stars, int n) {
    if (!stars || ChartSetting(chartpref::moreStars) == 0 || ChartSetting(chartpref::starsShown) == 1 ||
        chartZoom < 1)
        return;
    for (int i = 0; i < n; ++i) {
        const StarRecord& star = stars[i];
        if (star.word[starword::hidden]) continue;
        int x = 0, y = 0;
        if (!Place(s, star.word[starword::pixelX], star.word[starword::pixelY], &x, &y)) continue;
        DrawStar(nullptr, chartZoom, SizeClass(star.Half(6), g), star.Half(7), x, y);
    }
}

void DrawFaintStarPixels(const Shift& s) {
    if (!starBuffer) return;
    SetForeColor(RGBToColorRef(chartColors[0]));
    for (std::size_t k = 0; k + 8 <= kStarBufferSize; k += 8) {
        if (le::I32(starBuffer, k) == kStarBufferEmpty) break;
        int x = 0, y = 0;
        if (Place(s, le::I16(starBuffer, k + 4), le::I16(starBuffer, k + 6), &x, &y)) DrawPixel(x, y);
    }
}

void DrawObjectSymbols(const Shift& s) {
    if (!objectBuffer) return;
    for (std::size_t k = 0; k + 24 <= kObjectBufferSize; k += 24) {
        if (le::I16(objectBuffer, k) == kObjectBufferEnd) break;
        int x = 0, y = 0;
        if (Place(s, le::I16(objectBuffer, k + 20), le::I16(objectBuffer, k + 22), &x, &y))
            DrawObjectSymbol(le::I16(objectBuffer, k + 8), 0, x, y);
    }
}

bool Listed(const SelectionRecord& r) {
    const bool shown = r.typeCode >= 0 && r.typeCode < kObjectTypeCount && ObjectTypeTable[r.typeCode].shown;
    return r.offChart == 0 && (shown || r.typeCode == kTypeBody) &&
           (r.magnitude10 <= chartState.objectLimit10 || r.typeCode == kTypeBody);
}

void DrawSelectionObjects(const Shift& s, int g) {
    if (g < 2) return;
    const int count = ChartRecordCount();
    for (int i = 0; i < count; ++i) {
        const SelectionRecord& r = selectionList.records[i];
        if (!Listed(r)) continue;
        int x = 0, y = 0;
        if (Place(s, SelectionPixelX(r), SelectionPixelY(r), &x, &y)) DrawChartRowSymbol(r, x, y);
    }
}

// The first listed selection object in the central box becomes current.
void PickCentralObject(const Shift& s, int g) {
    if (chartSelectionIndex >= 0) return;
    const int cx = s.rect.x + s.rect.width / 2, cy = s.rect.y + s.rect.height / 2;
    const int half = 4 * g;
    const int count = ChartRecordCount();
    for (int i = 0; i < count; ++i) {
        const SelectionRecord& r = selectionList.records[i];
        if (!Listed(r)) continue;
        int x = 0, y = 0;
        if (!Place(s, SelectionPixelX(r), SelectionPixelY(r), &x, &y)) continue;
        if (std::abs(x - cx) <= half && std::abs(y - cy) <= half) {
            chartSelectionIndex = FindSelectionPos(i);
            return;
        }
    }
}

}  // namespace

int ChartTurnWidth() {
    if (!IsHorizonView()) return 0;
    std::int32_t kx = 0;
    GetChartMetrics(nullptr, nullptr, &kx, nullptr);
    return static_cast<int>(std::llabs(static_cast<long long>(kx) * 360 / 65536));
}

int WrapChartOffset(int dx) {
    const int turn = ChartTurnWidth();
    if (turn <= 0) return dx;
    if (dx < -turn) dx += turn;
    if (dx > turn) dx -= turn;
    return dx;
}

int ShiftChart(DrawWindow* offscreen, int dx, int dy) {
    if (!offscreen) return chartSelectionIndex;
    DrawWindow* previous = SetDrawWindow(offscreen);
    const int g = GetDpiFactor();
    GetMagnitudeLimits(ChartTableLevel(chartZoom), &chartState.starLimit, &chartState.objectLimit);
    chartState.objectLimit10 = static_cast<int>(chartState.objectLimit * 10.0f);

    const Shift s{WrapChartOffset(dx), dy, ChartTurnWidth(), chartState.chartRect};
    const platform::Color before = SetForeColor(chartState.colours.background);
    DrawRectangle(s.rect, 0);

    StarRecord* stars = BrightStars();
    const int n = stars ? GetStarTableCount() : 0;
    DrawHorizonCircle(s, g);
    DrawCompassPoints(s.dx, s.dy);
    DrawLines(s, g, stars, n);
    DrawVisibleBrightStars(s, g, stars, n);
    DrawFaintStarPixels(s);
    DrawObjectSymbols(s);
    DrawSelectionObjects(s, g);
    PickCentralObject(s, g);

    const int cx = s.rect.x + s.rect.width / 2, cy = s.rect.y + s.rect.height / 2;
    if (ChartSetting(chartpref::telrad) != 0) DrawTelrad(cx, cy, GetZoomScale(chartZoom), chartState.colours.red);
    if (ChartSetting(chartpref::cursor) != 2) DrawTargetCursor(cx, cy);

    // The sky position under the centre, in the info lines.
    ChartView centre = chartViews[0].view;
    float ra = centre.ra, dec = centre.dec;
    PixelToSky(cx - s.dx, cy - s.dy, &ra, &dec);
    centre.ra = ra;
    centre.dec = dec;
    DrawChartInfoLines(chartClock.siderealTime, &centre);

    SetForeColor(before);
    SetDrawWindow(previous);
    return chartSelectionIndex;
}
