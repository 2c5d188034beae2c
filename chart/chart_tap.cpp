#include "chart/chart_tap.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/rise_set.h"
#include "astro/separation.h"
#include "catalog/byte_order.h"
#include "catalog/chart_buffers.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/designations.h"
#include "catalog/object_selection.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_form.h"
#include "chart/chart_links.h"
#include "chart/chart_tap_cursor.h"
#include "chart/chart_math.h"
#include "chart/chart_object_index.h"
#include "chart/chart_overlays.h"
#include "chart/chart_popups.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "core/settings.h"
#include "shell/draw_targets.h"
#include "shell/form_dispatcher.h"
#include "shell/fonts.h"
#include "shell/message_box.h"
#include "shell/popup_lists.h"
#include "shell/scratch_text.h"

ChartTapState chartTap;
int penTapArmed = 0;

namespace {

using namespace chartmath;

constexpr int kObjectInfoForm = 112;
constexpr int kObjectEntrySize = 24;
constexpr int kObjectEntries = static_cast<int>(kObjectBufferSize / kObjectEntrySize);
constexpr int kStarEntrySize = 8;
constexpr int kStarEntries = static_cast<int>(kStarBufferSize / kStarEntrySize);
// A stellar file of fewer stars than this is the Hipparcos level (HIP numbers).
constexpr int kHipparcosLimit = 140000;
constexpr int kCatalogBrightStarNumber = 28;
constexpr int kTypeStar = 30;
constexpr int kTypeBody = 27;

double ScaleH() { return screenScale.horizontal; }
int Sh(double n) { return static_cast<int>(n * ScaleH()); }

// The width of a turn of azimuth in the horizon view, in pixels; 0 in the sky map.
int TurnWidth() {
    if (!IsHorizonView()) return 0;
    std::int32_t kx = 0;
    GetChartMetrics(nullptr, nullptr, &kx, nullptr);
    return static_cast<int>(std::llabs(static_cast<long long>(kx) * 92160 / (1LL << 24)));
}

// Inside the square of half-side r about the tap (strictly), or one turn left or right of
// it in the horizon view.
bool Hits(int px, int py, int x, int y, int r, int turn) {
    if (std::abs(py - y) >= r) return false;
    const int dx = px - x;
    if (std::abs(dx) < r) return true;
    return turn > 0 && (std::abs(dx - turn) < r || std::abs(dx + turn) < r);
}

bool ChartFormShown() { return GetCurrentFormId() == 1900 && platform::IsWindow(GetActiveForm()); }

void ShowPopupRow(int row) {
    if (!ChartFormShown()) return;
    if (row >= 0) {
        RefreshObjectPopup();
        SetPopupList(chartctl::kObjectsTrigger, chartctl::kObjectsList, row);
    } else {
        SetPopupLabel(chartctl::kObjectsTrigger, "???");
    }
}

void SetCursor(int x, int y) {
    chartTap.cursorX = x;
    chartTap.cursorY = y;
}

// 1. The selection records.
bool FindSelection(int x, int y, int r, int turn) {
    const int count = ChartRecordCount();
    for (int i = 0; i < count; ++i) {
        SelectionRecord& rec = selectionList.records[i];
        if (rec.offChart != 0 || !IsRecordInCategory(i)) continue;
        const int px = SelectionPixelX(rec), py = SelectionPixelY(rec);
        if (!Hits(px, py, x, y, r, turn)) continue;
        const int row = FindSelectionPos(i);
        const int position = row >= 0 ? row : i;
        if (selectionList.currentPosition != position) chartState.redraw = 1;
        selectionList.currentPosition = position;
        chartSelectionIndex = row;
        SetChartViewFromRecord(&rec);
        std::memcpy(chartViews[0].view.name, rec.label, kSelectionLabelLength);
        chartViews[0].view.name[kSelectionLabelLength] = '\0';
        ShowPopupRow(row);
        SetCursor(px, py);
        lastDrawnRow = -2;
        return true;
    }
    return false;
}

// 2. The objects the chart drew.
bool FindObject(int x, int y, int r, int turn) {
    if (!objectBuffer) return false;
    for (int k = 0; k < kObjectEntries; ++k) {
        const std::uint8_t* e = objectBuffer + k * kObjectEntrySize;
        if (le::I16(e, 0) == kObjectBufferEnd) break;
        const int px = le::I16(e, 20), py = le::I16(e, 22);
        if (!Hits(px, py, x, y, r, turn)) continue;

        ObjectRef ref;
        ref.catalog = static_cast<std::uint32_t>(le::I16(e, 2));
        ref.number = le::U32(e, 4);
        ref.type = le::I16(e, 8);
        ref.ra = static_cast<float>(le::I32(e, 12) * kUnitPerFixed * kRadToHours);
        ref.dec = static_cast<float>(le::I32(e, 16) * kUnitPerFixed * kRadToDeg);
        std::int16_t otherCatalog[1] = {0};
        std::uint32_t otherNumber[1] = {0};
        if (FindCrossReference(static_cast<int>(ref.catalog), ref.number, otherCatalog, otherNumber, 1, nullptr, 0) &&
            otherCatalog[0] > 0) {
            ref.catalog = static_cast<std::uint32_t>(otherCatalog[0]);
            ref.number = otherNumber[0];
        }
        FormatDesignation(ref.name, sizeof ref.name, static_cast<int>(ref.catalog), static_cast<long>(ref.number));

        SelectionList& list = selectionList;
        int record = -1;
        if (list.records && list.index) {
            const int rows = list.indexCount;
            const int slot = ChartRecordCount();
            list.indexCount = slot;
            if (AddObjectToSelection(static_cast<int>(ref.number), CatalogToFinderIndex(ref), list.records, ref)) {
                record = slot;
                list.recordCount = slot + 1;
                list.indexCount = rows;
                InvalidateSelectionProjection();
            } else {
                list.indexCount = rows;
                record = FindSelectionRecord(list.records, ref);
            }
        }
        chartViews[0].view = ref;
        if (record >= 0) {
            // A full list refuses the object: it is still the chart's object, outside the list.
            SelectionRecord& rec = list.records[record];
            std::int32_t p = 0, q = 0;
            const int visible = ProjectRecordPlace(rec, &p, &q);
            if (visible) {
                rec.chartX = p;
                rec.chartY = q;
            }
            rec.offChart = visible ? 0 : 1;
            SetSelectionPixel(rec, px, py);
            BuildObjectPopupIndex(record);
            SetChartViewFromRecord(&rec);
            std::memcpy(chartViews[0].view.name, ref.name, sizeof ref.name);
            selectionList.currentPosition = chartSelectionIndex;
        } else {
            selectionList.currentPosition = -1;
            chartSelectionIndex = -1;
        }
        ShowPopupRow(chartSelectionIndex);
        SetCursor(px, py);
        lastDrawnRow = -2;
        return true;
    }
    return false;
}

// 3. The bright stars, at half the radius.
bool FindBrightStarAt(int x, int y, int r, int turn) {
    StarRecord* stars = BrightStars();
    if (!stars) return false;
    const int n = GetStarTableCount();
    for (int i = 0; i < n; ++i) {
        const StarRecord& s = stars[i];
        if (s.word[starword::hidden] != 0) continue;
        if ((s.Half(6) >> 4) > chartState.starLimit) continue;
        const int px = s.word[starword::pixelX], py = s.word[starword::pixelY];
        if (!Hits(px, py, x, y, r, turn)) continue;

        ObjectRef ref;
        ref.type = kTypeStar;
        ref.ra = static_cast<float>(s.word[starword::ra] * kUnitPerFixed * kRadToHours);
        ref.dec = static_cast<float>(s.word[starword::dec] * kUnitPerFixed * kRadToDeg);
        ref.magnitude = static_cast<float>(s.Half(6)) / 16.0f;
        ref.flag = static_cast<std::int16_t>(s.Half(7));
        BrightStarRecord named;
        const int found = FindBrightStar(s.StarNumber(), &named);
        if (found >= 0) {
            ref.catalog = kCatalogBrightStar;
            ref.number = static_cast<std::uint32_t>(found);
            SetObjectRefName(&ref, named.name);
        } else {
            ref.catalog = kCatalogBrightStarNumber;
            ref.number = static_cast<std::uint32_t>(s.StarNumber());
        }
        const int row = SelectChartObject(ref, -1);
        chartViews[0].view = ref;
        // A star is told about from its own place, not as a list record.
        selectionList.currentPosition = -1;
        if (row >= 0 && row < selectionList.indexCount) {
            const int record = GetSelectionObject(row);
            if (record >= 0) SetSelectionPixel(selectionList.records[record], px, py);
        }
        ShowPopupRow(row);
        SetCursor(px, py);
        return true;
    }
    return false;
}

void StellarName(ObjectRef& ref) {
    if (GetStellarStarCount() < kHipparcosLimit) {
        ref.catalog = kCatalogHipparcos;
        std::snprintf(ref.name, sizeof ref.name, "%s%u", "HIP", ref.number);
    } else {
        ref.catalog = kCatalogTycho;
        std::snprintf(ref.name, sizeof ref.name, "TYC%u-%u-1", ref.number / 100000, ref.number % 100000);
    }
}

// 4. The faint stars the chart drew, at half the radius, above zoom level 4.
bool FindFaintStar(int x, int y, int r, int turn) {
    if (chartZoom <= 4 || !starBuffer) return false;
    for (int k = 0; k < kStarEntries; ++k) {
        const std::uint8_t* e = starBuffer + k * kStarEntrySize;
        const std::int32_t index = le::I32(e, 0);
        if (index == kStarBufferEmpty) break;
        const int px = le::I16(e, 4), py = le::I16(e, 6);
        if (!Hits(px, py, x, y, r, turn)) continue;
        StellarStarEntry star;
        ObjectRef ref;
        ref.type = kTypeStar;
        ref.number = static_cast<std::uint32_t>(index);
        if (IsStellarDbOpen() && GetStellarStar(index, &star)) {
            ref.number = star.number;
            ref.ra = static_cast<float>(star.raHours + star.raMinutes / 60.0 + star.raSeconds / 3600.0);
            ref.dec = static_cast<float>(StellarEntryDeclination(star));
            ref.magnitude = star.magnitude / 16.0f;
            ref.flag = star.colour;
        }
        StellarName(ref);
        chartViews[0].view = ref;
        selectionList.currentPosition = -1;
        chartSelectionIndex = -1;
        ShowPopupRow(-1);
        SetCursor(px, py);
        return true;
    }
    return false;
}

// 5. Nothing: the sky position under the tap.
void FindNothing(int x, int y) {
    ObjectRef ref;
    float ra = 0.0f, dec = 0.0f;
    PixelToSky(x, y, &ra, &dec);
    ref.ra = ra;
    ref.dec = dec;
    chartViews[0].view = ref;
    selectionList.currentPosition = -1;
    chartSelectionIndex = -1;
    ShowPopupRow(-1);
    SetCursor(x, y);
    lastDrawnRow = -2;
}

bool InsideChart(int x, int y, int margin) {
    const Bounds& r = chartState.chartRect;
    return x >= r.x + margin && x < r.x + r.width - margin && y >= r.y + margin && y < r.y + r.height - margin;
}

void DrawDistance() {
    const ChartView& v = chartViews[0].view;
    if (chartTap.distanceMode) {
        char* text = chartTap.distanceText;
        DMSToStr(text, sizeof chartTap.distanceText,
                 AngularSeparation(chartTap.previousRa, chartTap.previousDec, v.ra, v.dec));
        if (GetCurrentDrawWindow())
            DrawString(text, static_cast<int>(std::strlen(text)), chartTap.cursorX + Sh(4), chartTap.cursorY - Sh(16));
    }
    chartTap.previousRa = v.ra;
    chartTap.previousDec = v.dec;
}

// What the chart says about its current object, after a tap found a new one: the gauge
// and the info lines for it, and its marker. The old marker went with the cursor's area,
// which was saved before either was drawn.
void ShowFoundObject() {
    if (!GetCurrentDrawWindow()) return;
    const int x = chartTap.cursorX, y = chartTap.cursorY;
    PutBackChartInfoLinesArea();
    DrawChartDirectionGauge(x, y);
    DrawChartInfoLines(chartClock.siderealTime, &chartViews[0].view);
    const ChartView& v = chartViews[0].view;
    const int position = ChartSelectionPosition();
    if (v.type == kTypeStar || v.type == 0 || position < 0 || position >= selectionList.indexCount) return;
    const int record = GetSelectionObject(position);
    if (record >= 0) DrawSelectionMarker(x, y, record, selectionList.records[record].morphology);
}

}  // namespace

int ChartSelectionPosition() { return selectionList.currentPosition; }

void DrawChartDirectionGauge(int x, int y) {
    if (ChartSetting(chartpref::hideCompass) != 0) return;
    float azimuth = 0.0f, altitude = 0.0f;
    PixelToAltAz(x / GetDpiFactor(), y / GetDpiFactor(), &azimuth, &altitude);
    const Bounds box = DirectionGaugeBox(chartState.chartRect);
    DrawDirectionGauge(box.x, box.y, DegreesToFixedAngle(azimuth), DegreesToFixedAngle(altitude));
}

int FindNearestChartObject(int x, int y, int radius) {
    const int turn = TurnWidth();
    if (FindSelection(x, y, radius, turn)) return 1;
    if (FindObject(x, y, radius, turn)) return 1;
    if (FindBrightStarAt(x, y, radius / 2, turn)) return 1;
    if (FindFaintStar(x, y, radius / 2, turn)) return 1;
    FindNothing(x, y);
    return 1;
}

int IdentifyChartTap(int x, int y) {
    const int base = chartZoom >= 10 ? 3 : 7;
    if (!penTapArmed) return 0;
    penTapArmed = 0;
    if (!InsideChart(x, y, 0)) return 0;

    const int g = GetDpiFactor();
    if (scopeTracking && !ChartIsEncoderDrive()) {
        const Bounds icon{Sh(15), static_cast<int>(21 * screenScale.vertical), Sh(25),
                          static_cast<int>(9 * screenScale.vertical)};
        if (x >= icon.x && x < icon.x + icon.width && y >= icon.y && y < icon.y + icon.height) {
            ShowMessage("Please use Palm Keys to control your scope", "");
            return 1;
        }
    }

    // In the horizon view a tap beyond a turn of azimuth is brought back by one turn.
    bool moved = false;
    if (IsHorizonView()) {
        std::int32_t x0 = 0, kx = 0;
        GetChartMetrics(&x0, nullptr, &kx, nullptr);
        const double k = kx * 360.0 / 65536.0 / 360.0;  // pixels per degree (signed)
        if (k != 0.0) {
            double azimuth = (x0 - x) / k;
            if (azimuth < 0.0 || azimuth > 360.0) {
                azimuth += azimuth < 0.0 ? 360.0 : -360.0;
                x = static_cast<int>(x0 - azimuth * k);
                moved = true;
            }
        }
    }
    FindNearestChartObject(x, y, base * g);
    if (moved) FindNearestChartObject(x, y, 2 * base * g);
    chartForm.objectChosen = 1;

    const int position = ChartSelectionPosition();
    if (position >= 0 && position < selectionList.indexCount) {
        const int record = GetSelectionObject(position);
        if (record >= 0) selectionList.records[record].cleared = 1;
    }

    MoveTargetCursor(chartTap.cursorX, chartTap.cursorY);
    ShowFoundObject();
    DrawDistance();

    const ChartView& v = chartViews[0].view;
    switch (ChartSetting(chartpref::tapAction)) {
        case 0:
            ShowChartTapInfo();
            if (v.type == kTypeStar || ChartSelectionPosition() < 0) chartTap.redrawRequested = 1;
            break;
        case 1:
            if (!InsideChart(chartTap.cursorX, chartTap.cursorY, Sh(15))) {
                lastDrawnRow = -2;
                chartTap.redrawRequested = 1;
            }
            break;
        default: chartTap.redrawRequested = 1; break;
    }
    return 1;
}

void ShowChartTapInfo() {
    ChartView& v = chartViews[0].view;
    const int position = ChartSelectionPosition();
    if (position >= 0 && position < selectionList.indexCount) {
        const int record = GetSelectionObject(position);
        const SelectionRecord& rec = selectionList.records[record >= 0 ? record : 0];
        switch (rec.group) {
            case 1: case 2: case 3: case 7: case 9: case 11: case 12: case 13: case 14: case 15: {
                ObjectRef ref = v;
                ref.number = static_cast<std::uint32_t>(rec.objectIndex + 1);
                SetCurrentObjectRecord(&ref, rec.group);
                break;
            }
            default: {
                ObjectRef ref = v;
                ref.number = static_cast<std::uint32_t>(rec.objectNumber);
                const int code = rec.catalogCode;
                if (code == 63 || code == 0 || code == 41 || code == kCatalogTycho || code == kCatalogHipparcos) {
                    SetObjectRefName(&ref, rec.label);
                } else {
                    char name[48];
                    std::snprintf(name, sizeof name, "%s%d", CatalogPrefix(code), rec.objectNumber);
                    SetObjectRefName(&ref, name);
                }
                SetObjectSelection(&ref, 0);
                break;
            }
        }
    } else if (v.type == kTypeStar && static_cast<std::int32_t>(v.number) != -1) {
        char ra[24], dec[24], alt[24], az[24];
        const double lst = chartClock.siderealTime;
        const double latitude = observerLocation.latitude;
        HMSToStr(ra, sizeof ra, v.ra);
        DMSToStr(dec, sizeof dec, v.dec);
        DMSToStr(alt, sizeof alt, ComputeAltitude(lst, v.ra, v.dec, latitude));
        DMSToStr(az, sizeof az, ComputeAzimuth(lst, v.ra, v.dec, latitude));
        const int bv = std::abs(static_cast<int>(v.flag));
        const char* sign = v.flag < 0 ? "-" : "";
        const int c = v.constellation >= 0 && v.constellation < kConstellationCount ? v.constellation : 0;
        const ConstellationEntry& con = ConstellationTable[c];
        if (txtBuffer) {
            if (v.catalog != static_cast<std::uint32_t>(kCatalogTycho))
                std::snprintf(txtBuffer, kTxtBufferSize,
                              "%s%d\n\x95 %s (%s)\n\x95 Ra   %s\n\x95 Dec  %s\n\x95 Alt  %s\n\x95 Az   %s\n\x95 BV  %s%d.%d",
                              CatalogPrefix(static_cast<int>(v.catalog)), static_cast<int>(v.number), con.name,
                              con.abbreviation, ra, dec, alt, az, sign, bv / 10, bv % 10);
            else
                std::snprintf(txtBuffer, kTxtBufferSize, "TYC %d-%d-1\n\x95 %s (%s)\n\x95 Alt %s\n\x95 Az  %s\n\x95 BV %s%d.%d",
                              static_cast<int>(v.number / 100000), static_cast<int>(v.number % 100000), con.name,
                              con.abbreviation, alt, az, sign, bv / 10, bv % 10);
        }
        SetObjectSelection(&v, 6);
    }
    GotoForm(kObjectInfoForm);
}
