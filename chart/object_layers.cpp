#include "chart/object_layers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/chart_buffers.h"
#include "catalog/databases.h"
#include "catalog/designations.h"
#include "catalog/object_types.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/sky_window.h"
#include "core/report.h"
#include "core/settings.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"

namespace {

void PutObjectEnd(int position) {
    le::PutI16(objectBuffer, static_cast<std::size_t>(position) * kObjectBufferEntrySize, kObjectBufferEnd);
}

void PutObjectEntry(int position, const ObjectIndexEntry& e, int x, int y) {
    std::uint8_t* b = objectBuffer + static_cast<std::size_t>(position) * kObjectBufferEntrySize;
    le::PutI16(b, 0, e.selectionNumber);
    le::PutI16(b, 2, e.catalog);
    le::PutU32(b, 4, e.number);
    le::PutI16(b, 8, e.type);
    le::PutI32(b, 12, e.ra);
    le::PutI32(b, 16, e.dec);
    le::PutI16(b, 20, static_cast<std::int16_t>(x));
    le::PutI16(b, 22, static_cast<std::int16_t>(y));
}

bool Inside(const Bounds& r, int x, int y) {
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

// Where a place falls: on the chart's plane (modes 0 and 1) or in a sky view. False when
// it cannot be seen.
struct ObjectProjector {
    const SkyView* view;
    int visibleSkyOnly;
    std::int32_t lst;
    int turn;
    SkyViewTrig trig;  // of the view, taken once for the drawing
    bool Project(std::int32_t ra, std::int32_t dec, int* x, int* y) const {
        if (view) {
            const SkyVector p = TurnToChart(SkyUnitVector(ra, dec));
            if (visibleSkyOnly && p.z < 0) return false;
            std::int32_t px = 0, py = 0;
            if (!SkyViewProjectVector(*view, trig, p, &px, &py)) return false;
            *x = px;
            *y = py;
            return true;
        }
        std::int32_t p = 0, q = 0;
        if (!ProjectEquatorialPoint(lst, ra, dec, &p, &q)) return false;
        std::int32_t px = 0, py = 0;
        PlaneToPixel(p, q, &px, &py);
        *x = px;
        *y = py;
        return true;
    }
};

bool AlreadySelected(const SelectionRecord* records, int count, const ObjectIndexEntry& e, int x, int y) {
    for (int i = 0; i < count; ++i) {
        const SelectionRecord& r = records[i];
        if (r.offChart) continue;
        if (r.catalogCode == e.catalog && static_cast<std::uint32_t>(r.objectNumber) == e.number) return true;
        if (std::abs(SelectionPixelX(r) - x) < 2 && std::abs(SelectionPixelY(r) - y) < 2) return true;
    }
    return false;
}

void LabelObjects(int count) {
    const int previous = SetTextTransparent(0);
    const int dx = static_cast<int>(10 * screenScale.horizontal);
    const int dy = static_cast<int>(4 * screenScale.vertical);
    for (int i = 0; i < count; ++i) {
        const ObjectBufferEntry e = GetObjectBufferEntry(i);
        bool crowded = false;
        for (int j = 0; j < i && !crowded; ++j) {
            const ObjectBufferEntry o = GetObjectBufferEntry(j);
            crowded = std::abs(o.x - e.x) < 40 && std::abs(o.y - e.y) < 10;
        }
        if (crowded) continue;
        char text[40];
        const int n = std::snprintf(text, sizeof text, "%s%d", CatalogPrefix(e.catalog), static_cast<int>(e.number));
        DrawString(text, std::min(n, static_cast<int>(sizeof text) - 1), e.x + dx, e.y - dy);
    }
    SetTextTransparent(previous);
}

}  // namespace

void DrawDeepSkyObjects(const SelectionRecord* records, int count, const Bounds& viewRect, int zoom,
                        const SkyView* view, int visibleSkyOnly) {
    if (!objectIndexDb || !objectBuffer) return;
    PutObjectEnd(0);
    float limit = 0.0f;
    GetMagnitudeLimits(zoom, nullptr, &limit);
    const int threshold = limit < 0.0f ? 0 : static_cast<int>(limit * 10.0f);
    if (!records) count = 0;

    std::int32_t sx = 0;
    GetChartMetrics(nullptr, nullptr, &sx, nullptr);
    const ObjectProjector proj{view, visibleSkyOnly, chartClock.siderealTimeFixed,
                               static_cast<int>(std::llabs(static_cast<long long>(sx) * 360 / 65536)),
                               view ? MakeSkyViewTrig(*view) : SkyViewTrig{}};
    const SkyWindow window = FindSkyWindow(view, viewRect);
    if (window.raMin > window.raMax && !window.all) return;
    int first = FindObjectIndexByDec(window.decMin);
    int last = FindObjectIndexByDec(window.decMax);
    if (first < 0 || last < 0) {
        HideBusy(1);
        return;
    }
    if (first > last) std::swap(first, last);
    // The search ends on the last record it probed, which may lie on either side of the
    // bound: the records either side are read too.
    first = std::max(first - 1, 0);
    last = std::min(last + 1, GetDbRecordCount(objectIndexDb, 1) - 1);

    // The zones in view are read in one piece: a read per zone made up most of a redraw.
    static std::vector<std::uint8_t> zones;
    if (ReadRecordBlock(objectIndexDb.get(), static_cast<std::uint32_t>(first),
                        static_cast<std::uint32_t>(last - first + 1), zones) != 0) {
        ShowMessage("Can't get stellar record", "");
        HideBusy(1);
        return;
    }
    int buffered = 0;
    for (int zone = first; zone <= last; ++zone) {
        const std::uint8_t* rec = zones.data() + static_cast<std::size_t>(zone - first) * objectIndexDb->recordSize;
        const int entries =
            std::min<int>(kObjectIndexEntriesPerRecord, static_cast<int>(objectIndexDb->recordSize / kObjectIndexEntrySize));
        for (int i = 0; i < entries; ++i) {
            ObjectIndexEntry e;
            DecodeObjectIndexEntry(rec + static_cast<std::size_t>(i) * kObjectIndexEntrySize, e);
            if (e.type < 0 || e.type >= kObjectTypeCount || ObjectTypeTable[e.type].shown == 0) continue;
            if (e.limit > threshold || !window.Contains(e.ra)) continue;
            int x = 0, y = 0;
            if (!proj.Project(e.ra, e.dec, &x, &y)) continue;
            if (!view && IsHorizonView() && (x < viewRect.x || x >= viewRect.x + viewRect.width))
                x += x < viewRect.x ? proj.turn : -proj.turn;
            if (!Inside(viewRect, x, y)) continue;
            if (AlreadySelected(records, count, e, x, y)) continue;
            if (buffered < kObjectBufferEntries) PutObjectEntry(buffered++, e, x, y);
            DrawObjectSymbol(e.type, 0, x, y);
        }
    }
    HideBusy(1);
    if (buffered >= kObjectBufferEntries) buffered = kObjectBufferEntries - 1;
    PutObjectEnd(buffered);
    if (ChartSetting(chartpref::objectNames)) LabelObjects(buffered);
}

void DrawObjectSymbol(int typeCode, int variant, int x, int y) {
    const int sh = static_cast<int>(screenScale.horizontal);
    const int sv = static_cast<int>(screenScale.vertical);
    const int background = ChartSetting(chartpref::background);
    switch (typeCode) {
    case 2: DrawToolIcon(3, x, y); return;
    case 6: DrawToolIcon(2, x, y); return;
    case 13: DrawSymbolIcon(11, background, x, y); return;
    case 14:
    case 30: return;
    case 15: DrawBitmapMasked(3995, x - 7 * sh, y - 7 * sv); return;
    case 16: DrawToolIcon(1, x, y); return;
    case 18: DrawSymbolIcon(12, background, x, y); return;
    case 25: DrawToolIcon(5, x, y); return;
    case 27:
        if (variant == 1) DrawBitmapMasked(moonBlock.bitmapId, x - 7 * sh, y - 7 * sv);
        else DrawSymbolIcon(variant, background, x, y);
        return;
    case 29: DrawBitmapTransparent(chartSymbols.bitmaps[5], x - 5, y - 5); return;
    case 31:
    case 32:
    case 33:
    case 34:
    case 36:
    case 37: DrawToolIcon(7, x, y); return;
    default: DrawToolIcon(4, x, y); return;
    }
}

int FindSelectionRecordAt(const SelectionRecord* records, int count, int originX, int originY, int x, int y,
                          int tolerance) {
    if (!records || count < 1) return -1;
    for (int i = 0; i < count; ++i) {
        const SelectionRecord& r = records[i];
        if (r.offChart) continue;
        if (std::abs(SelectionPixelX(r) - (x - originX)) > tolerance) continue;
        if (std::abs(SelectionPixelY(r) - (y - originY)) > tolerance) continue;
        if (IsRecordInCategory(i)) return i;
    }
    return -1;
}

int ObjectBufferCount() {
    if (!objectBuffer) return 0;
    int n = 0;
    while (n < kObjectBufferEntries &&
           le::I16(objectBuffer, static_cast<std::size_t>(n) * kObjectBufferEntrySize) != kObjectBufferEnd)
        ++n;
    return n;
}

ObjectBufferEntry GetObjectBufferEntry(int position) {
    const std::uint8_t* b = objectBuffer + static_cast<std::size_t>(position) * kObjectBufferEntrySize;
    return {le::I16(b, 0), le::I16(b, 2), le::U32(b, 4), le::I16(b, 8), le::I32(b, 12), le::I32(b, 16),
            le::I16(b, 20), le::I16(b, 22)};
}

int FindObjectTapEntry(int x, int y, int tolerance) {
    const int n = ObjectBufferCount();
    for (int i = 0; i < n; ++i) {
        const ObjectBufferEntry e = GetObjectBufferEntry(i);
        if (std::abs(e.x - x) <= tolerance && std::abs(e.y - y) <= tolerance) return i;
    }
    return -1;
}
