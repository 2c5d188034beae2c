// The layers a sky view draws with: the chart's star dots, symbols, labels, grids and
// overlays, in the view's frame.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/fixed_trig.h"
#include "catalog/chart_buffers.h"
#include "catalog/databases.h"
#include "chart/chart_colours.h"
#include "chart/chart_settings.h"
#include "chart/sky_view_internal.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"

namespace skyview {

namespace {
int Dpi() { return std::clamp(GetDpiFactor(), 1, 32); }
platform::Color Colour(int n) { return RGBToColorRef(chartColors[n]); }

void Dot(int magnitudeClass, int x, int y) {
    const int size = std::max(1, (7 - magnitudeClass) * Dpi() / 2);
    SetForeColor(Colour(0));
    if (size <= 1)
        DrawPixel(x, y);
    else
        DrawDisc(x, y, size);
}
}  // namespace

void PaintStar(int, const StarRecord& star, int x, int y) { Dot(star.Half(6) >> 4, x, y); }

void PaintStarSymbol(int, const StarRecord&, int, int) {}

void PaintRecordSymbol(int, const SelectionRecord& r, int x, int y) {
    if (r.typeCode == kTypeStar) {
        if (r.catalogCode != kCatalogBrightStar) Dot(r.magnitude10 / 10, x, y);
        return;
    }
    SetForeColor(Colour(5));
    DrawCircle(x, y, 3 * Dpi() / 2);
}

void PaintEllipse(int, int, double, double, double, double) {}

void PaintBrightStarLabel(int starNumber, int x, int y) {
    char text[16];
    std::snprintf(text, sizeof text, "HR%d", starNumber);
    SetTextColor(Colour(4));
    DrawString(text, static_cast<int>(std::strlen(text)), x + 1, y - 6);
}

void PaintGrid(const Pass& p, int) {
    if (skyCacheKey.horizonFlag == 0) return;
    // The horizon ring: the points of altitude 0 every 5 degrees of azimuth.
    SetForeColor(Colour(3));
    int lastX = 0, lastY = 0;
    bool last = false;
    for (int step = 0; step <= 72; ++step) {
        std::int32_t c = 0, s = 0;
        FixSinCos(static_cast<std::int32_t>(static_cast<std::int64_t>(kFixTurn) * step / 72), &c, &s);
        int x = 0, y = 0;
        const bool front = FrameProject(p.frame, s, c, 0, &x, &y);
        if (front && last) DrawLine(lastX, lastY, x, y);
        last = front;
        lastX = x;
        lastY = y;
    }
}

void PaintEcliptic(const Pass&) {}
void PaintMagnitudeLegend(const Pass&) {}
void PaintOverlays(const Pass&) {}

void PaintTargetCursor(int x, int y) {
    const int r = 4 * Dpi();
    SetForeColor(Colour(6));
    DrawLine(x - r, y, x - r / 2, y);
    DrawLine(x + r / 2, y, x + r, y);
    DrawLine(x, y - r, x, y - r / 2);
    DrawLine(x, y + r / 2, x, y + r);
}

void PaintDirectionGauge(int, int, std::int32_t, std::int32_t) {}

void DrawFaintLayers(const Pass& p, SelectionRecord*, int) {
    if (p.detail && ChartSetting(chartpref::objDrilldown) == 0 && objectBuffer)
        std::memcpy(objectBuffer, &kObjectBufferEnd, sizeof kObjectBufferEnd);
}

}  // namespace skyview
