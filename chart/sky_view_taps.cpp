// Taps on the sky views: the embedded views' label (ShowTapInfo) and the chart's tap in
// modes 2 to 4 (IdentifyStellarTap). Both match the tap against what the last drawing put
// where: the view records, the objects and faint stars of the chart's buffers, and the
// bright stars.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/constellation_boundaries.h"
#include "astro/separation.h"
#include "catalog/byte_order.h"
#include "catalog/chart_buffers.h"
#include "catalog/databases.h"
#include "catalog/designations.h"
#include "catalog/object_selection.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_form.h"
#include "chart/chart_math.h"
#include "chart/chart_object_index.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_save_under.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_tap.h"
#include "chart/chart_tap_cursor.h"
#include "chart/object_layers.h"
#include "chart/star_layers.h"
#include "chart/sky_view.h"
#include "chart/sky_view_internal.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"

using namespace skyview;

namespace {

int Dpi() { return std::clamp(GetDpiFactor(), 1, 32); }

// What a tap found.
struct Hit {
    int kind = 0;   // 0 nothing, 1 record, 2 object, 3 bright star, 4 faint star
    int record = -1;
    ObjectBufferEntry object{};
    int star = -1;
    std::int32_t faint = -1;
    int x = 0, y = 0;   // the point found, drawing pixels
};

Hit Search(SelectionRecord* records, int count, int x, int y, int recordRadius, int otherRadius, bool objects) {
    Hit h;
    if ((h.record = FindSelectionRecordAt(records, count, 0, 0, x, y, recordRadius)) >= 0) {
        h.kind = 1;
        h.x = SelectionPixelX(records[h.record]);
        h.y = SelectionPixelY(records[h.record]);
        return h;
    }
    int n = objects ? FindObjectTapEntry(x, y, otherRadius) : -1;
    if (n >= 0) {
        h.kind = 2;
        h.object = GetObjectBufferEntry(n);
        h.x = h.object.x;
        h.y = h.object.y;
        return h;
    }
    // The bright stars by Manhattan distance below twice the radius: the square's corners.
    if ((h.star = FindNearestBrightStar(0, 0, x, y, std::max(1, otherRadius / Dpi()))) >= 0) {
        const StarRecord& s = BrightStars()[h.star];
        h.kind = 3;
        h.x = s.word[starword::pixelX];
        h.y = s.word[starword::pixelY];
        return h;
    }
    if ((n = FindStellarTapEntry(x, y, otherRadius)) >= 0) {
        const StarBufferEntry e = GetStarBufferEntry(n);
        h.kind = 4;
        h.faint = static_cast<std::int32_t>(e.index);
        h.x = e.x;
        h.y = e.y;
    }
    return h;
}

// The object of an object-buffer entry, its designation replaced by the first cross
// reference with a catalog code (a Messier number counted from 0 in the references).
ObjectRef ObjectOfEntry(const ObjectBufferEntry& e) {
    ObjectRef ref;
    if (e.selectionNumber < 0 || !GetObjectRecord(e.selectionNumber, &ref)) {
        ref.catalog = static_cast<std::uint32_t>(e.catalog);
        ref.number = e.number;
        ref.type = e.type;
        ref.ra = static_cast<float>(e.ra / kHoursToFixed);
        ref.dec = static_cast<float>(e.dec / kDegreesToFixed);
    }
    std::int16_t otherCatalog = 0;
    std::uint32_t otherNumber = 0;
    if (FindCrossReference(static_cast<int>(ref.catalog), ref.number, &otherCatalog, &otherNumber, 1, nullptr, 0) &&
        otherCatalog > 0) {
        ref.catalog = static_cast<std::uint32_t>(otherCatalog);
        ref.number = otherCatalog == kCatalogMessier ? otherNumber - 1 : otherNumber;
    }
    if (ref.name[0] == '\0' && ref.catalog < static_cast<std::uint32_t>(kCatalogCount))
        std::snprintf(ref.name, sizeof ref.name, "%s%u", CatalogTable[ref.catalog].prefix, ref.number);
    return ref;
}

ObjectRef BrightStarRef(int index) {
    const StarRecord& s = BrightStars()[index];
    ObjectRef ref;
    BrightStarRecord named;
    const int found = FindBrightStar(s.StarNumber(), &named);
    if (found >= 0) {
        ref.catalog = kCatalogBrightStar;
        ref.number = static_cast<std::uint32_t>(found);
        std::snprintf(ref.name, sizeof ref.name, "%s", named.name);
    } else {
        ref.catalog = kCatalogHr;
        ref.number = static_cast<std::uint32_t>(s.StarNumber());
        std::snprintf(ref.name, sizeof ref.name, "HR%d", s.StarNumber());
    }
    ref.type = kTypeStar;
    ref.ra = static_cast<float>(s.word[starword::ra] * kUnitPerFixed * chartmath::kRadToHours);
    ref.dec = static_cast<float>(s.word[starword::dec] * kUnitPerFixed * chartmath::kRadToDeg);
    ref.magnitude = static_cast<float>(s.Half(6)) / 16.0f;
    ref.sizeA = ref.sizeB = 0.1f;
    ref.flag = 0;
    return ref;
}

ObjectRef FaintStarRef(std::int32_t index) {
    ObjectRef ref;
    ref.type = kTypeStar;
    StellarStarEntry e;
    std::int32_t number = index;
    if (GetStellarStar(index, &e)) {
        number = static_cast<std::int32_t>(e.number);
        ref.ra = static_cast<float>(e.raHours + e.raMinutes / 60.0 + e.raSeconds / 3600.0);
        ref.dec = static_cast<float>(StellarEntryDeclination(e));
        ref.magnitude = e.magnitude / 10.0f;
    }
    ref.number = static_cast<std::uint32_t>(number);
    const ObservingDateTime& t = observingDateTime;
    ref.constellation = FindConstellation(ref.ra, ref.dec,
                                          DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, t.second,
                                                       observerLocation.zoneMinutes));
    if (GetStellarStarCount() < 120000) {
        ref.catalog = kCatalogHipparcos;
        std::snprintf(ref.name, sizeof ref.name, "%s%ld", "HIP", static_cast<long>(number));
    } else {
        ref.catalog = kCatalogTycho;
        std::snprintf(ref.name, sizeof ref.name, "TYC%ld-%ld-1", static_cast<long>(number / 100000),
                      static_cast<long>(number % 100000));
    }
    return ref;
}

// The name ShowTapInfo writes beside what it found.
void HitName(const Hit& h, const SelectionRecord* records, char* text, std::size_t size) {
    switch (h.kind) {
        case 1: std::snprintf(text, size, "%s", records[h.record].label); break;
        case 2: {
            const ObjectRef ref = ObjectOfEntry(h.object);
            std::snprintf(text, size, "%s", ref.name);
            break;
        }
        case 3: std::snprintf(text, size, "%s", BrightStarRef(h.star).name); break;
        case 4: std::snprintf(text, size, "%s", FaintStarRef(h.faint).name); break;
        default: text[0] = '\0';
    }
}

Bounds LabelArea(int x, int y) {
    const int g = Dpi();
    return Bounds{x - 8 * g, y - 8 * g, kBubbleWidth * g, kBubbleHeight * g};
}

}  // namespace

int ShowTapInfo(SelectionRecord* records, int count, const Bounds& rect, int zoom, int x, int y) {
    if (!records) count = 0;
    const int g = Dpi();
    const int base = zoom < 10 ? 7 : 3;
    const SkyView& v = skyViewState.view;
    const int tx = x - v.originX, ty = y - v.originY;
    RestoreViewArea(1);
    skyViewState.saved[1] = Bounds{};
    const bool objects = ChartSetting(chartpref::objDrilldown) != 0;
    Hit h;
    for (int m = 1; m <= 5 && h.kind == 0; m += 2) h = Search(records, count, tx, ty, m * base * g, m * base * g, objects);
    if (h.kind == 0) return -1;

    ClipRectangle(rect);
    SetTextColor(ChartColour(4));
    const int px = h.x + v.originX, py = h.y + v.originY;
    SaveViewArea(1, LabelArea(px, py));
    char name[40];
    HitName(h, records, name, sizeof name);
    if (h.kind == 2) {
        const ObjectRef ref = ObjectOfEntry(h.object);
        SetChartView(&ref);
    }
    if (h.kind == 3) {
        SetForeColor(ChartColour(4));
        DrawLine(px, py, px + static_cast<int>(10 * screenScale.horizontal), py + static_cast<int>(10 * screenScale.vertical));
        PaintBrightStarLabel(BrightStars()[h.star].StarNumber(), px + static_cast<int>(10 * screenScale.horizontal),
                             py + static_cast<int>(10 * screenScale.vertical));
    } else {
        DrawLabelAt(name, px, py, static_cast<int>(10 * screenScale.horizontal), static_cast<int>(10 * screenScale.vertical));
    }
    PaintTargetCursor(px, py);
    std::int32_t first = 0, second = 0;
    PointPosition(h.x, h.y, &first, &second);
    DrawSkyViewStatus(rect, h.kind == 1 ? &records[h.record] : nullptr, first, second);
    ResetClip();
    return h.kind == 1 ? h.record : -1;
}

int IdentifyStellarTap(int x, int y) {
    const int g = Dpi();
    const int base = chartZoom >= 10 ? 3 : 7;
    const SkyView& v = skyViewState.view;
    const int tx = x - v.originX, ty = y - v.originY;
    SelectionRecord* records = selectionList.records;
    const int count = ChartRecordCount();
    Hit h;
    for (int m = 1; m <= 3 && h.kind == 0; m += 2)
        h = Search(records, count, tx, ty, m * base * g, m * 3 * g, true);

    ObjectRef ref;
    int position = -1;
    switch (h.kind) {
        case 1:
            position = FindSelectionPos(h.record);
            SetChartViewFromRecord(&records[h.record]);
            GetChartView(&ref);
            break;
        case 2: ref = ObjectOfEntry(h.object); break;
        case 3: ref = BrightStarRef(h.star); break;
        case 4: ref = FaintStarRef(h.faint); break;
        default: {
            std::int32_t ra = 0, dec = 0;
            ScreenToSky(v, tx, ty, &ra, &dec);
            ref.ra = static_cast<float>(ra * kUnitPerFixed * chartmath::kRadToHours);
            ref.dec = static_cast<float>(dec * kUnitPerFixed * chartmath::kRadToDeg);
            ref.number = static_cast<std::uint32_t>(-1);
            h.x = tx;
            h.y = ty;
            break;
        }
    }
    if (h.kind != 1) SetChartView(&ref);
    chartForm.objectChosen = 1;
    selectionList.currentPosition = position;
    chartSelectionIndex = position;
    const platform::Window form = GetActiveForm();
    if (form && FindListView(form, kObjectPopupList)) {
        if (position >= 0)
            RefreshObjectPopup();
        else if (h.kind == 0)
            SetPopupLabel(kObjectPopupTrigger, "???");
    }

    if (ChartSetting(chartpref::tapAction) != 1) return 0;
    if (h.kind == 1) records[h.record].cleared = 1;
    DrawWindow* target = GetDrawWindow();
    if (!target) {
        ShowMessage("WinDest Null", "");
        return 0;
    }
    const Bounds& rect = skyViewState.rect;
    std::int32_t px = 0, py = 0, pz = 0;
    ProjectToChart(HoursToFixedAngle(ref.ra), DegreesToFixedAngle(ref.dec), &px, &py, &pz);
    chartViews[1].view.ra = static_cast<float>(
        chartmath::WrapDegrees(std::atan2(static_cast<double>(px), static_cast<double>(py)) * chartmath::kRadToDeg));
    chartViews[1].view.dec = static_cast<float>(std::asin(std::clamp(pz * kUnitPerFixed, -1.0, 1.0)) * chartmath::kRadToDeg);

    // The previous cursor comes off (the one the drawing put in the middle, the first time),
    // the area under the new one is saved, the cursor drawn.
    const int sx = h.x + v.originX, sy = h.y + v.originY;
    RestoreViewArea(2);
    skyViewState.saved[2] = Bounds{};
    MoveTargetCursor(sx, sy);
    if (!chartState.bubble.bitmap) ShowMessage("WinHandled Null", "");
    if (chartTap.distanceMode) {
        char* text = chartTap.distanceText;
        DMSToStr(text, sizeof chartTap.distanceText,
                 AngularSeparation(chartTap.previousRa, chartTap.previousDec, ref.ra, ref.dec));
        SetTextColor(ChartColour(4));
        DrawString(text, static_cast<int>(std::strlen(text)), sx + 2 * g, sy - 8 * g);
    }
    chartTap.previousRa = ref.ra;
    chartTap.previousDec = ref.dec;
    std::int32_t first = 0, second = 0;
    PointPosition(h.x, h.y, &first, &second);
    // Over the lines already on the screen: on the background, so they are replaced, not mixed.
    const int transparent = SetTextTransparent(0);
    DrawSkyViewStatus(rect, h.kind == 1 ? &records[h.record] : nullptr, first, second);
    SetTextTransparent(transparent);
    return 0;
}
