// The layers a sky view draws with, through the chart's own layers: star dots and labels,
// object symbols and ellipses, the faint stars and deep-sky objects, the grid, the ecliptic
// and the overlays, in the view's frame.
#include <algorithm>
#include <cstring>

#include "catalog/chart_buffers.h"
#include "catalog/databases.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_lines.h"
#include "chart/chart_overlays.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_zoom.h"
#include "chart/object_layers.h"
#include "chart/sky_view_internal.h"
#include "chart/star_layers.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"

namespace skyview {

namespace {

int Dpi() { return std::clamp(GetDpiFactor(), 1, 32); }
int SizeClassPlus() { return GetDpiFactor() == 1 ? 1 : 0; }

// Pixels per arc minute at the view's centre.
float ArcminuteScale(const Pass& p) { return static_cast<float>(std::abs(p.frame.view.scaleX) * 2.908882086657216e-4); }

}  // namespace

void PaintStar(int zoom, const StarRecord& star, int x, int y) {
    DrawStar(nullptr, zoom, (star.Half(6) >> 4) + SizeClassPlus(), star.Half(7), x, y);
}

void PaintBrightStars(const Pass& p) {
    const Bounds& a = p.area;
    DrawBrightStars(p.zoom, 99, a.x, a.x + a.width - 1, a.y, a.y + a.height - 1);
}

void PaintRecordSymbol(int zoom, const SelectionRecord& r, int x, int y) {
    if (r.typeCode == kTypeStar) {
        // Named bright stars are drawn by the bright-star layer.
        if (r.catalogCode != kCatalogBrightStar) DrawStar(nullptr, zoom, r.magnitude10 / 10 + SizeClassPlus(), 0, x, y);
        return;
    }
    DrawObjectSymbol(r.typeCode, r.typeCode == kTypeBody ? r.objectNumber : 0, x, y);
}

void PaintEllipse(int x, int y, double a, double b, double angle, double scale) {
    DrawEllipse(x, y, static_cast<float>(a * scale), static_cast<float>(b * scale), static_cast<float>(angle), 1, 1);
}

void PaintBrightStarLabel(int starNumber, int x, int y) { DrawBrightStarLabel(starNumber, x, y, 1); }

void PaintGrid(const Pass& p, int horizonFlag) {
    // The grid draws through the horizon rows with the key's flag set to its own; the view's
    // rows and the key (which the chart's cache and the finder chart read) come back after.
    const int keyFlag = skyCacheKey.horizonFlag;
    SetForeColor(ChartColour(3));
    DrawSkyViewGrid(p.frame.view, horizonFlag, p.visibleOnly ? 1 : 0);
    skyCacheKey.horizonFlag = keyFlag;
    SelectFullSkyMatrix();
}

void PaintEcliptic(const Pass& p) {
    SetForeColor(ChartColour(5));
    DrawSkyViewEcliptic(p.frame.view, p.visibleOnly ? 0 : 1);
}

void PaintMagnitudeLegend(const Pass& p) { DrawMagnitudeScale(nullptr, p.zoom, p.area.x + 4 * Dpi(), p.area.y + 4 * Dpi(), 6); }

void PaintOverlays(const Pass& p) {
    const int x = p.frame.view.centreX, y = p.frame.view.centreY;
    const float scale = ArcminuteScale(p);
    const platform::Color colour = ChartColour(6);
    if (ChartSetting(chartpref::telrad) != 0) DrawTelrad(x, y, scale, colour);
    if (ChartSetting(chartpref::fovCcd) != 0) DrawCcdFrame(x, y, scale, colour, p.area);
    if (ChartSetting(chartpref::fovEyepiece) != 0) DrawEyepieceCircle(x, y, scale, colour, p.area);
}

void PaintTargetCursor(int x, int y) { DrawTargetCursor(x, y); }

void PaintDirectionGauge(int x, int y, std::int32_t a, std::int32_t b) { DrawDirectionGauge(x, y, a, b); }

void DrawFaintLayers(const Pass& p, SelectionRecord* records, int count) {
    const SkyView& v = p.frame.view;
    const bool allStars = ChartSetting(chartpref::starsShown) == 0;
    const int visible = p.visibleOnly ? 1 : 0;
    if (!p.detail) {
        // While scrolling: what the scroll settings ask for, from what the last full
        // drawing found.
        if (ChartSetting(chartpref::starsAsPixel) != 0) return;
        if (allStars && p.zoom > 2 && ChartSetting(chartpref::moreStars) != 0 && SelectStarCatalogLevel(kStarLookupChart))
            DrawStellarStarsHorizon(v, 0, 0, p.zoom, visible);
        if (ChartSetting(chartpref::moreObjects) == 0) return;
        const int n = ObjectBufferCount();
        for (int i = 0; i < n; ++i) {
            const ObjectBufferEntry e = GetObjectBufferEntry(i);
            std::int32_t x = 0, y = 0, z = 0;
            ProjectToChart(e.ra, e.dec, &x, &y, &z);
            int px = 0, py = 0;
            if (p.visibleOnly && z < 0) continue;
            if (FrameProject(p.frame, x, y, z, &px, &py)) DrawObjectSymbol(e.type, 0, px, py);
        }
        return;
    }
    if (allStars && p.zoom > 2 && SelectStarCatalogLevel(kStarLookupChart))
        DrawStellarStarsHorizon(v, 0, 0, p.zoom, visible);
    if (ChartSetting(chartpref::objDrilldown) != 0) {
        if (objectIndexDb || OpenObjectIndex()) DrawDeepSkyObjects(records, count, p.area, p.zoom, &v, visible);
    } else if (objectBuffer) {
        std::memcpy(objectBuffer, &kObjectBufferEnd, sizeof kObjectBufferEnd);
    }
}

}  // namespace skyview
