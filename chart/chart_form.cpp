#include "chart/chart_form.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "astro/separation.h"
#include "catalog/chart_buffers.h"
#include "catalog/object_selection.h"
#include "catalog/object_types.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_keys.h"
#include "chart/chart_lines.h"
#include "chart/chart_links.h"
#include "chart/chart_math.h"
#include "chart/chart_object_index.h"
#include "chart/chart_overlays.h"
#include "chart/chart_popups.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_save_under.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/chart_shift.h"
#include "chart/chart_state.h"
#include "chart/chart_tap.h"
#include "chart/chart_tap_cursor.h"
#include "chart/chart_zoom.h"
#include "chart/object_layers.h"
#include "chart/sky_matrix.h"
#include "chart/star_layers.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/gfx_context.h"
#include "platform/messages.h"
#include "shell/colour_scheme.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/message_box.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace chartctl;
using namespace chartmath;

ChartFormState chartForm;
ChartSkyModes chartSkyModes;

namespace {

constexpr int kCompassForm = 2830;
// A pen that moves more than this many pixels from where it went down drags the chart.
constexpr int kDragThreshold = 6;
constexpr int kTypeStar = 30;
constexpr int kTypeBody = 27;
constexpr int kCatalogBrightStarNumber = 28;
constexpr int kCatalogBrightStar = 54;

double ScaleH() { return screenScale.horizontal; }
double ScaleV() { return screenScale.vertical; }
int Sh(double n) { return static_cast<int>(n * ScaleH()); }
int Sv(double n) { return static_cast<int>(n * ScaleV()); }
int TitleBand() { return Sv(21); }

// The chart below the title band, from the offscreen onto the target.
void ShowChartOffscreen(DrawWindow* screen) {
    if (!screen || !chartState.offscreen) return;
    const Bounds& r = chartState.chartRect;
    CopyBits(chartState.offscreen, screen, r, r.x, r.y, 0);
}

bool IsChartFormShownHere() { return GetCurrentFormId() == kChartFormId && platform::IsWindow(GetActiveForm()); }

// A settings word forced for one drawing and put back after it.
class ForcedSetting {
public:
    ForcedSetting(int word, int value) : word_(word), saved_(ChartSetting(word)) { SetChartSetting(word, value); }
    ~ForcedSetting() { SetChartSetting(word_, saved_); }
    ForcedSetting(const ForcedSetting&) = delete;
    ForcedSetting& operator=(const ForcedSetting&) = delete;

private:
    int word_;
    int saved_;
};

void StartTimer(Window form) {
    if (!platform::IsWindow(form)) return;
    chartForm.timerPeriod = ChartTimerPeriod();
    platform::SetTimer(form, kChartTimerId, chartForm.timerPeriod);
}

void StopTimer(Window form) {
    if (platform::IsWindow(form)) platform::KillTimer(form, kChartTimerId);
    chartForm.timerPeriod = 0;
}

// ---- The passes of DrawChart ------------------------------------------------------------

// The pixel of a plane point, its x wrapped into the chart in the horizon view.
void PlacePoint(std::int32_t p, std::int32_t q, int* x, int* y) {
    std::int32_t px = 0, py = 0;
    PlaneToPixel(p, q, &px, &py);
    const int turn = ChartTurnWidth();
    if (turn > 0) {
        const Bounds& r = chartState.chartRect;
        while (px < r.x) px += turn;
        while (px >= r.x + r.width) px -= turn;
    }
    *x = px;
    *y = py;
}

bool InRect(int x, int y) {
    const Bounds& r = chartState.chartRect;
    return x >= r.x && x < r.x + r.width && y >= r.y && y < r.y + r.height;
}

bool TypeShown(int type) { return type >= 0 && type < kObjectTypeCount && ObjectTypeTable[type].shown; }

// Projects a place of a catalog at the chart's instant into the plane (the bodies' places
// are of date, all others of J2000.0); false below the horizon.
bool ProjectPlace(float ra, float dec, int catalog, std::int32_t* p, std::int32_t* q) {
    SelectionRecord place{};
    place.rightAscension = ra;
    place.declination = dec;
    place.catalogCode = static_cast<std::int16_t>(catalog);
    return ProjectRecordPlace(place, p, q) != 0;
}

// The current object: the list record of the current row, or the chart's own view when
// no row is current. Centres the chart on it (with the pan offset); a place below the
// horizon resets the view to the zenith. Returns the record drawn as current, or -1.
int CentreOnCurrentObject() {
    int record = -1;
    const int count = ChartRecordCount();
    if (chartSelectionIndex >= 0 && count > 0) {
        record = chartSelectionIndex < selectionList.indexCount ? GetSelectionObject(chartSelectionIndex) : 0;
        if (record < 0 || record >= count) record = 0;
        ChartView view = chartViews[0].view;
        SetChartViewFromRecord(&selectionList.records[record]);
        std::memcpy(chartViews[0].view.name, selectionList.records[record].label, kSelectionLabelLength);
        chartViews[0].view.name[kSelectionLabelLength] = '\0';
        if (view.catalog != chartViews[0].view.catalog || view.number != chartViews[0].view.number) {
            chartForm.panX = chartForm.panY = 0;
        }
    }
    ChartView& view = chartViews[0].view;
    std::int32_t p = 0, q = 0;
    if (!ProjectPlace(view.ra, view.dec, static_cast<int>(view.catalog), &p, &q)) {
        double ra = 0.0, dec = 0.0;
        HorizontalToEquatorial(chartClock.siderealTime, 0.0, 90.0, &ra, &dec);
        PrecessFromChartDate(&ra, &dec);  // the zenith of date, as a catalog place
        chartSelectionIndex = -1;
        record = -1;
        view = ChartView{};
        view.ra = static_cast<float>(ra);
        view.dec = static_cast<float>(dec);
        view.magnitude = 16.0f;
        ProjectPlace(view.ra, view.dec, 0, &p, &q);
        chartForm.panX = chartForm.panY = 0;
    }
    SetChartCentre(view.ra, view.dec);
    // The object falls on the chart's middle, moved by the pan.
    chartState.centreOffsetX = 0;
    chartState.centreOffsetY = 0;
    std::int32_t x = 0, y = 0;
    PlaneToPixel(p, q, &x, &y);
    chartForm.panX = WrapChartOffset(chartForm.panX);
    chartState.centreOffsetX = x - chartState.width / 2 - chartForm.panX;
    chartState.centreOffsetY = y - chartState.height / 2 - chartForm.panY;
    if (IsHorizonView() && chartState.ySign > 0) {
        // The horizon view keeps its horizon (altitude 0, where the plane's origin lies) in
        // the picture, above the info lines: a high object is shown higher up instead.
        const Bounds& r = chartState.chartRect;
        const int horizonY = chartState.height / 2 - chartState.centreOffsetY;
        const int lowest = r.y + r.height - Sv(40);
        if (horizonY > lowest) {
            chartForm.panY -= horizonY - lowest;
            chartState.centreOffsetY += horizonY - lowest;
        }
    }
    return record;
}

void DrawBackgroundLayers(float lst) {
    const ChartColourSet& c = chartState.colours;
    SetForeColor(c.background);
    DrawRectangle(chartState.chartRect, 0);
    std::int32_t cx = 0, cy = 0, sx = 0;
    GetChartMetrics(&cx, &cy, &sx, nullptr);
    if (IsHorizonView()) {
        DrawHorizonScale(GetChartFovIndex(), c.grid, c.label, c.foreground, std::abs(sx), cx, cy);
    } else if (chartZoom < 8) {
        const ChartView& v = chartViews[0].view;
        DrawChartGrids(lst, static_cast<int>(v.ra), static_cast<int>(v.dec), chartZoom, c.grid, c.label,
                       chartZoom < 4 ? 2 : 1, chartZoom < 4 ? 15 : 10);
    }
    const Bounds& r = chartState.chartRect;
    if (ChartSetting(chartpref::ecliptic) != 0) DrawEcliptic(lst, c.yellow, r.x, r.x + r.width);
    UpdateStarPixels(0, 0, 0);
    DrawConstellationLines(lst, c.label, r.x, r.x + r.width, ChartSetting(chartpref::constLines) == 0, chartZoom);
}

// Pass 5: the pixels of the selection records the chart shows; out: which are on it.
void PlaceSelectionObjects(int current, std::vector<char>& onChart) {
    const int count = ChartRecordCount();
    onChart.assign(static_cast<std::size_t>(count), 0);
    for (int i = 0; i < count; ++i) {
        SelectionRecord& r = selectionList.records[i];
        if (r.offChart != 0) continue;
        int x = 0, y = 0;
        PlacePoint(r.chartX, r.chartY, &x, &y);
        SetSelectionPixel(r, x, y);
        const bool taken = (TypeShown(r.typeCode) && r.magnitude10 <= chartState.objectLimit10) ||
                           r.typeCode == kTypeBody || i == current;
        if (taken && InRect(x, y)) onChart[static_cast<std::size_t>(i)] = 1;
    }
}

void DrawStarLayers(float lst) {
    const int stars = ChartSetting(chartpref::starsShown);
    if (stars == 1 || chartZoom < 1) return;
    const Bounds& r = chartState.chartRect;
    DrawBrightStars(chartZoom, static_cast<int>(chartState.starLimit), r.x, r.x + r.width, r.y, r.y + r.height);
    if (chartZoom > 3) {
        if (stars == 2) {
            MarkChartBuffersEmpty();
        } else {
            std::int32_t cx = 0, cy = 0;
            GetChartMetrics(&cx, &cy, nullptr, nullptr);
            DrawStellarStars(cx, cy, ChartSetting(chartpref::tableProjection) == 0 ? 1 : 0, GetDpiFactor(), lst,
                             chartZoom, chartState.width, chartState.height);
        }
    }
    if (ChartSetting(chartpref::objDrilldown) != 0)
        DrawDeepSkyObjects(selectionList.records, ChartRecordCount(), r, chartZoom, nullptr, 0);
}

// The angle (degrees, 0..360) of the step from a record's pixel to the point a degree
// north of it.
double NorthAngle(const SelectionRecord& r, int x, int y) {
    std::int32_t p = 0, q = 0;
    if (!ProjectPlace(r.rightAscension, std::min(r.declination + 1.0f, 90.0f), r.catalogCode, &p, &q)) return 0.0;
    int nx = 0, ny = 0;
    PlacePoint(p, q, &nx, &ny);
    return WrapDegrees(std::atan2(static_cast<double>(ny - y), static_cast<double>(nx - x)) * kRadToDeg);
}

// Above zoom level 7 the bodies as discs and the large objects as ellipses, to scale.
void DrawToScale(const SelectionRecord& r, int x, int y) {
    const double s = std::trunc(ScaleH()) * GetZoomScale(chartZoom);
    if (r.typeCode == kTypeBody) {
        const int radius = static_cast<int>(r.sizeA * s);
        if (radius <= 0) return;
        if (r.objectNumber == 0) {
            SetForeColor(chartState.colours.yellow);
            DrawDisc(x, y, 2 * radius);
        } else if (r.objectNumber == 1) {
            DrawMoonOnChart(2 * radius, 2 * radius, x, y, 1, 1);
        } else {
            SetForeColor(chartState.colours.foreground);
            if (GetDpiFactor() >= 2)
                DrawDisc(x, y, 2 * radius);
            else
                DrawCircle(x, y, radius);
        }
        return;
    }
    if (r.group == 5 || r.sizeA * s <= 4.0) return;
    SetForeColor(chartState.colours.foreground);
    const double angle = NorthAngle(r, x, y) - r.positionAngle - 90.0;
    DrawEllipse(x, y, static_cast<float>(r.sizeA * s), static_cast<float>(r.sizeB * s), static_cast<float>(angle), 1,
                1);
}

void DrawSelectionLayer(const std::vector<char>& onChart) {
    const int count = static_cast<int>(onChart.size());
    for (int i = 0; i < count; ++i) {
        if (!onChart[static_cast<std::size_t>(i)]) continue;
        const SelectionRecord& r = selectionList.records[i];
        if (r.typeCode == kTypeStar && r.catalogCode == kCatalogBrightStar) continue;
        DrawChartRowSymbol(r, SelectionPixelX(r), SelectionPixelY(r));
        if (chartZoom > 7) DrawToScale(r, SelectionPixelX(r), SelectionPixelY(r));
    }
    if (ChartSetting(chartpref::objectNames) == 0) return;
    const int previous = SetTextTransparent(0);
    const platform::Color text = SetTextColor(chartState.colours.label);
    const platform::Color back = SetBackColor(chartState.colours.background);
    std::vector<int> labelled;
    for (int i = 0; i < count; ++i) {
        if (!onChart[static_cast<std::size_t>(i)]) continue;
        const SelectionRecord& r = selectionList.records[i];
        const int x = SelectionPixelX(r), y = SelectionPixelY(r);
        bool crowded = false;
        for (int j : labelled) {
            const SelectionRecord& o = selectionList.records[j];
            if (std::abs(SelectionPixelX(o) - x) < 30 && std::abs(SelectionPixelY(o) - y) < 10) crowded = true;
        }
        labelled.push_back(i);
        if (crowded) continue;
        if (r.catalogCode == kCatalogBrightStarNumber)
            DrawBrightStarLabel(r.objectNumber, x + Sh(5), y, 0);
        else
            DrawString(r.label, static_cast<int>(strnlen(r.label, kSelectionLabelLength)), x + Sh(5), y);
    }
    SetBackColor(back);
    SetTextColor(text);
    SetTextTransparent(previous);
}

void DrawOverlays(int cx, int cy) {
    const ChartColourSet& c = chartState.colours;
    DrawCompassPoints(0, 0);
    const float scale = GetZoomScale(chartZoom);
    if (ChartSetting(chartpref::starsLegend) != 0)
        DrawMagnitudeScale(chartState.offscreen, chartZoom, Sh(6), Sv(61), 6);
    if (ChartSetting(chartpref::telrad) != 0) DrawTelrad(cx, cy, scale, c.red);
    if (ChartSetting(chartpref::fovCcd) != 0 && chartZoom >= 7) DrawCcdFrame(cx, cy, scale, c.red, chartState.chartRect);
    if (ChartSetting(chartpref::fovEyepiece) != 0) DrawEyepieceCircle(cx, cy, scale, c.red, chartState.chartRect);
}

// Pass 8: the bubble's save-under, and the current object's symbol and name when the
// selection layer left it out.
void DrawCurrentObject(int record, int cx, int cy) {
    const int g = GetDpiFactor();
    SaveBubbleArea(chartState.offscreen, cx - 8 * g, cy - 8 * g);
    const ChartView& v = chartViews[0].view;
    if (v.type == kTypeBody || v.magnitude * 10.0f <= static_cast<float>(chartState.objectLimit10)) return;
    if (record >= 0)
        DrawChartRowSymbol(selectionList.records[record], cx, cy);
    else if (v.type != 0 && v.type != kTypeStar)
        DrawObjectSymbol(v.type, 0, cx, cy);
    if (g == 1) return;
    static const int kFonts[3] = {4, 0, 1};
    const int size = std::clamp(ChartSetting(chartpref::fontSize), 0, 2);
    const int previous = SetFont(kFonts[size]);
    const platform::Color text = SetTextColor(chartState.colours.label);
    DrawStringNoFont(v.name, static_cast<int>(strnlen(v.name, sizeof v.name)), cx + Sh(5), cy);
    SetTextColor(text);
    SetFont(previous);
}

void DrawChartModes01(DrawWindow* screen) {
    DrawWindow* off = chartState.offscreen;
    SetDrawWindow(off);
    const float lst = chartClock.siderealTime;

    SetChartColors();
    InvalidateSkyProjection();
    ScaleChartScalesForDpi();
    ProjectChartTables(lst, &chartState.selectionProjected, &chartState.starsProjected, &chartState.redraw);

    if (ChartMode() == kChartModeSkyMap && ChartSetting(chartpref::tapAction) != 1) {
        AlignChartToCentreAzimuth(&chartState.rotation, lst);
    }
    const int record = CentreOnCurrentObject();
    if (record >= 0) {
        const int row = FindSelectionPos(record);
        if (row >= 0 && IsChartFormShownHere()) SetPopupList(kObjectsTrigger, kObjectsList, row);
    }

    DrawBackgroundLayers(lst);
    std::vector<char> onChart;
    PlaceSelectionObjects(record, onChart);
    DrawStarLayers(lst);
    DrawSelectionLayer(onChart);

    const int cx = chartState.width / 2 + chartForm.panX;
    const int cy = chartState.height / 2 + chartForm.panY;
    DrawOverlays(cx, cy);
    DrawCurrentObject(record, cx, cy);
    chartTap.cursorX = cx;
    chartTap.cursorY = cy;

    DrawChartDirectionGauge(cx, cy);
    DrawTargetCursor(cx, cy);
    DrawChartInfoLines(lst, &chartViews[0].view);

    SetDrawWindow(screen);
    ShowChartOffscreen(screen);
    const ChartView& v = chartViews[0].view;
    if (v.type != kTypeStar && v.type != 0 && record >= 0)
        DrawSelectionMarker(cx, cy, record, selectionList.records[record].morphology);
}

}  // namespace

unsigned ChartTimerPeriod() {
    // Following the mount wins over the blinking cursor: the mount is read four times a
    // second, and the cursor, which the follow mode does not blink, does not need its own.
    if (scopeTracking) return 250;
    if (ChartSetting(chartpref::cursor) == 1) return 1000;
    return 10000;
}

void DrawChart() {
    ++chartForm.drawRuns;
    DrawWindow* screen = GetCurrentDrawWindow();
    PrepareChartView();
    SetChartFontSizes(chartZoom);
    if (ChartMode() >= kChartModeWholeSky) {
        if (chartSkyModes.draw) chartSkyModes.draw();
    } else if (chartState.offscreen) {
        DrawChartModes01(screen);
    }
    if (!scopeTracking) FlushPenEvents();
    if (ChartSetting(chartpref::hideToolBar) != 0)
        HideChartToolbar();
    else
        ShowChartToolbar();
    chartState.redraw = 0;
}

void InitChartForm() {
    ++chartForm.initRuns;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    {
        const platform::Color text = SetTextColor(GetForeColor());
        const char* loading = "Loading sky...";
        DrawString(loading, static_cast<int>(std::strlen(loading)), width / 2 - Sh(50), Sh(25));
        SetTextColor(text);
        platform::MarkScreenChanged();
        platform::PresentScreen();
    }

    FreeSymbolStrips();
    FreeSavedBitmap();
    FreeCachedChartBitmaps();
    SetListChartFlag(1);
    SetSkyViewOwner(0);
    ChartComputeLimitingMagnitude();
    LoadConstellationLines(ChartSetting(chartpref::constLineSet));

    chartZoom = SetChartZoom(ChartSetting(chartpref::savedZoom));
    SetChartToolbarIcons(chartZoom);
    const ObservingDateTime& t = observingDateTime;
    GetMoonPhaseBitmap(t.year, t.month, t.day, t.hour);
    SetProjectionCenter(chartState.rotation);
    GetZoomScale(0);
    PushFormHistory(kChartFormId);
    if (IsChartFormShownHere()) SetPopupList(kZoomTrigger, kZoomList, chartZoom);

    if (ChartRecordCount() < 1) {
        chartSelectionIndex = 0;
        chartForm.objectChosen = 0;
        ChartRunObjectSelection(7, 45, 27);
        if (ChartRecordCount() > 0) SetChartViewFromRecord(&selectionList.records[0]);
        SetSkyDateTime(nullptr, t.year, t.month, t.day, t.hour, t.minute);
        chartSelectionIndex = ChartRecordCount() > 0 ? 0 : -1;
    }

    if (IsChartFormShownHere()) {
        if (selectionList.indexCount > 0) RefreshObjectPopup();
        if (chartFilterRow >= 0 && chartFilterRow <= 6)
            SetPopupList(kFilterTrigger, kFilterList, chartFilterRow);
        else
            ApplyChartTypeFilterRow(0);
        if (chartSelectionIndex < 0 || chartSelectionIndex >= selectionList.indexCount)
            SetPopupLabel(kObjectsTrigger, "???");
    }

    chartState.width = width;
    chartState.height = height;
    // The mode or the settings may have changed while the chart was closed.
    chartState.starsProjected = 0;
    chartState.selectionProjected = 0;
    if (!chartState.offscreen) {
        chartState.offscreen = CreateOffscreenDIB(width, height, 16);
        if (!chartState.offscreen) ShowMessage("Can't allocate offscreen window", "");
    }

    ApplyChartTypeFilterRow(chartFilterRow);
    SetChartFontSizes(chartZoom);
    {
        const ForcedSetting noCompass(chartpref::hideCompass, 1);
        DrawChart();
        // Clear of the info lines at the bottom left.
        DrawFieldLabel(Sh(135), height - Sv(23), chartZoom);
    }
}

// ---- Pen --------------------------------------------------------------------------------

int ChartFormPenDown(int x, int y) {
    if (y < TitleBand()) return 0;
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    // The compass chart opens from the bottom left corner and from the gauge drawn there.
    const Bounds gauge = DirectionGaugeBox(chartState.chartRect);
    const bool onGauge = x >= gauge.x && x < gauge.x + gauge.width && y >= gauge.y && y < gauge.y + gauge.height;
    if (((x < 60 && y >= height - 40) || onGauge) && ChartSetting(chartpref::hideCompass) == 0) {
        if (chartViews[0].view.type == 0 && chartViews[0].view.catalog == 0 && ChartRecordCount() > 0)
            SetChartViewFromRecord(&selectionList.records[0]);
        GotoForm(kCompassForm);
        return 1;
    }
    if (ChartSetting(chartpref::hideToolBar) == 0 && x >= width - 11 && y < TitleBand() + 160) return 0;
    if (x >= width - Sh(30) && y >= height - Sv(10)) return 0;
    chartForm.penX = x;
    chartForm.penY = y;
    chartForm.dragging = 0;
    chartForm.dragX = chartForm.dragY = 0;
    penTapArmed = 1;
    return 1;
}

int ChartFormPenMove(int x, int y) {
    if (!chartState.offscreen) return 0;
    const int dx = x - chartForm.penX, dy = y - chartForm.penY;
    if (!chartForm.dragging) {
        if (std::abs(dx) <= kDragThreshold && std::abs(dy) <= kDragThreshold) return 0;
        chartForm.dragging = 1;
        penTapArmed = 0;
        chartState.penMoved = 1;
    }
    if (ChartMode() >= kChartModeWholeSky) {
        if (chartSkyModes.drag) chartSkyModes.drag(dx - chartForm.dragX, dy - chartForm.dragY);
        chartForm.dragX = dx;
        chartForm.dragY = dy;
        return 0;
    }
    chartForm.dragX = WrapChartOffset(dx);
    chartForm.dragY = dy;
    DrawWindow* screen = GetCurrentDrawWindow();
    ShiftChart(chartState.offscreen, chartForm.dragX, chartForm.dragY);
    ShowChartOffscreen(screen);
    return 0;
}

int ChartFormPenUp(int x, int y) {
    if (chartForm.dragging) {
        chartForm.dragging = 0;
        penTapArmed = 0;
        if (scopeTracking) FreeChartBitmaps();
        if (ChartMode() < kChartModeWholeSky) {
            chartForm.panX = WrapChartOffset(chartForm.panX + chartForm.dragX);
            chartForm.panY += chartForm.dragY;
        }
        chartForm.dragX = chartForm.dragY = 0;
        DrawChart();
        return 1;
    }
    if (y < 15) {
        penTapArmed = 0;
        return 0;
    }
    int drew = 0;
    if (penTapArmed == 1) {
        if (scopeTracking) FreeChartBitmaps();
        const Bounds& square = chartState.pictureSquare;
        if (x >= square.x && x < square.x + square.width && y >= square.y && y < square.y + square.height) {
            penTapArmed = 0;
            ChartFormCommand(kShowPicture);
            return 1;
        }
        if (ChartMode() >= kChartModeWholeSky) {
            if (chartSkyModes.tap) drew = chartSkyModes.tap(x, y);
        } else {
            drew = IdentifyChartTap(x, y);
            if (chartTap.redrawRequested) {
                chartTap.redrawRequested = 0;
                chartForm.panX = chartForm.panY = 0;
                DrawChart();
                drew = 1;
            }
        }
    }
    penTapArmed = 0;
    return drew;
}

// ---- Commands -----------------------------------------------------------------------------

// ChartFormCommand and ChartFormSelect: chart/chart_commands.cpp.

// ---- Closing and layout -------------------------------------------------------------------

int CloseChartForm() {
    SetNightMode(1);
    SetChartSetting(chartpref::savedZoom, chartZoom < 0 ? ChartSetting(chartpref::savedZoom) : chartZoom);
    if (objectBuffer) std::memcpy(objectBuffer, &kObjectBufferEnd, sizeof kObjectBufferEnd);
    FreeChartBitmaps();
    FreeChartInfoLinesArea();
    DeleteOffscreen(chartState.offscreen);
    chartState.offscreen = nullptr;
    FreeSymbolStrips();
    FreeSavedBitmap();
    return 1;
}

void ReleaseChartControls(Window form) {
    StopTimer(form);
    chartForm.penDownResult = 0;
    penTapArmed = 0;
    ReleaseChartControlIds(form);
    if (chartForm.window == form) chartForm.window = Window{};
}

void LayoutChartForm(Window form, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(form, width, height, &dx, &dy)) return;
    MoveObject(form, kObjectsList, 0, 0, 0, dy);
    for (int id : {kInformation, kToolbar, kDateTime}) MoveObject(form, id, dx, dy, 0, 0);
    for (int id : {kViewList, kDisplaySettings, kViewTrigger, kObserverLog, kNames, kDrilldown, kHideGrid, kTelrad,
                   kDistance, kRecentre, kDirectionTrigger, kInputEquatorial, kInputHorizontal, kGoto, kDirectionList})
        MoveObject(form, id, dx, 0, 0, 0);
}

void ChartTimerTick(Window form) {
    const platform::Dc dc = platform::GetWindowDc(form);
    SetDrawTarget(form, dc);
    if (ChartSetting(chartpref::cursor) == 1 || scopeTracking) UpdateScopeOnChart(0.0f, 0.0f);
    if (UpdateCurrentTime(0)) {
        DrawChart();
        SaveScreen();
    }
    platform::ReleaseDc(form, dc);
}

// ---- The dialog procedure -----------------------------------------------------------------

namespace {

// Draws on the form's window for the length of a handler.
class FormTarget {
public:
    explicit FormTarget(Window form) : form_(form), dc_(platform::GetWindowDc(form)) { SetDrawTarget(form, dc_); }
    ~FormTarget() { platform::ReleaseDc(form_, dc_); }
    FormTarget(const FormTarget&) = delete;
    FormTarget& operator=(const FormTarget&) = delete;

private:
    Window form_;
    platform::Dc dc_;
};

void CloseAll(Window w) {
    CloseChartForm();
    ReleaseChartControls(w);
}

LResult Command(Window w, WParam wParam) {
    const int id = platform::LowWord(wParam);
    switch (id) {
        case kCmdCloseForm:
            CloseAll(w);
            CloseForm(kChartFormId);
            return 1;
        case platform::kIdOk:
            ChartFormCommand(kBack);
            return 1;
        case kMenuTrigger: case kZoomTrigger: case kScopeTrigger: case kFilterTrigger: case kObjectsTrigger:
        case kViewTrigger: case kDirectionTrigger: {
            const FormTarget target(w);
            ChartFormSelect(platform::HighWord(wParam));
            SaveScreen();
            return 1;
        }
        default: {
            const FormTarget target(w);
            const int handled = ChartFormCommand(id);
            SaveScreen();
            return handled;
        }
    }
}

}  // namespace

LResult ScopeAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    switch (message) {
        case platform::kMsgInitDialog: {
            chartForm.window = w;
            InitFormWindow(w);
            InitChartControls(w);
            StartTimer(w);
            *FormRedrawFlag(kChartFormId) = 1;
            const platform::Rect client = platform::GetClientRect(w);
            LayoutChartForm(w, client.Width(), client.Height());
            return 1;
        }
        case platform::kMsgPaint:
            PaintForm(w, &InitChartForm, FormRedrawFlag(kChartFormId), 0, 0);
            return 1;
        case platform::kMsgTimer:
            if (wParam != kChartTimerId) return 0;
            ChartTimerTick(w);
            return 1;
        case platform::kMsgPenDown: {
            const platform::Point p = platform::PointFromParam(lParam);
            StopTimer(w);
            const FormTarget target(w);
            chartForm.penDownResult = static_cast<std::uint8_t>(ChartFormPenDown(p.x, p.y) & 0xFF);
            return 1;
        }
        case platform::kMsgPenMove: {
            if (!chartForm.penDownResult) return 0;
            const platform::Point p = platform::PointFromParam(lParam);
            const FormTarget target(w);
            if (ChartFormPenMove(p.x, p.y)) {
                chartForm.penDownResult = 0;
                SaveScreen();
            }
            return 1;
        }
        case platform::kMsgPenUp: {
            // Every pen-up starts the clock again, also after a pen-down the chart ignored.
            if (chartForm.penDownResult) {
                const platform::Point p = platform::PointFromParam(lParam);
                const FormTarget target(w);
                if (ChartFormPenUp(p.x, p.y)) SaveScreen();
                chartForm.penDownResult = 0;
            }
            if (platform::IsWindow(w) && GetCurrentFormId() == kChartFormId) StartTimer(w);
            return 1;
        }
        case platform::kMsgKeyDown: {
            // Page up and down and the cursor keys move the mount or the chart.
            const int key = static_cast<int>(wParam);
            if (ChartKeyDirection(key) < 0) return 0;
            const FormTarget target(w);
            ChartFormKey(key);
            if (platform::IsWindow(w) && GetCurrentFormId() == kChartFormId) SaveScreen();
            return 1;
        }
        case platform::kMsgCommand:
            return Command(w, wParam);
        case platform::kMsgClose:
            CloseAll(w);
            return 0;
        case platform::kMsgEraseBackground: {
            const platform::Rect client = platform::GetClientRect(w);
            const platform::Dc dc = platform::GetWindowDc(w);
            platform::FillRect(dc, platform::Rect{client.left, 0, client.right, TitleBand()}, GetBackBrush());
            platform::ReleaseDc(w, dc);
            return 1;
        }
        case platform::kMsgMeasureItem: {
            auto* info = reinterpret_cast<platform::MeasureItemInfo*>(lParam);
            if (info && info->controlId == kViewList) info->height = Sv(18);
            return 1;
        }
        case platform::kMsgDrawItem: {
            auto* info = reinterpret_cast<platform::DrawItemInfo*>(lParam);
            if (!info) return 0;
            if (info->controlId == kViewList)
                DrawOwnerListItem(w, info, [](int row, Bounds rect, int, int) { DrawPopupIconItem(row, rect); });
            if (info->controlId == kObjectsList)
                DrawOwnerListItem(w, info, [](int row, Bounds rect, int, int) { DrawChartListRow(row, rect); });
            return 1;
        }
        case platform::kMsgActivate:
            HandleFormActivate(w, wParam, lParam, &formActivateInfo, FormRedrawFlag(kChartFormId));
            return 0;
        case platform::kMsgSettingChange:
            HandleFormSettingChange(w, wParam, lParam);
            return 1;
        default:
            return 0;
    }
}
