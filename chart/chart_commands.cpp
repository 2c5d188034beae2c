#include "chart/chart_commands.h"

#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/constellation_boundaries.h"
#include "astro/horizontal.h"
#include "astro/rise_set.h"
#include "astro/separation.h"
#include "catalog/databases.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_form.h"
#include "chart/chart_links.h"
#include "chart/chart_object_index.h"
#include "chart/chart_overlays.h"
#include "chart/chart_popups.h"
#include "chart/chart_projection.h"
#include "chart/chart_records.h"
#include "chart/chart_save_under.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_tap.h"
#include "chart/chart_zoom.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "chart/sky_view_chart.h"
#include "chart/scope_cursor.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "shell/date_time_form.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/position_dialog.h"
#include "shell/utilities.h"

using namespace chartctl;

int chartInputNumber = 1;

namespace {

constexpr int kHomeForm = 1950;
constexpr int kGeneralSettingsForm = 1450;
constexpr int kZoomSettingsForm = 1620;
constexpr int kDisplaySettingsForm = 1476;
constexpr int kListForm = 1800;
constexpr int kListManagerForm = 1050;
constexpr int kUserCatalog = 63;
constexpr int kTypePlanet = 27;
constexpr int kTypeComet = 19;

void Toggle(int word) {
    std::int32_t& w = preferences.word[word];
    w = w ? 0 : 1;
}

void OpenPushed(int formId) {
    PushFormHistory(formId);
    GotoForm(formId);
}

void EditChartDateTime() {
    ObservingDateTime& t = observingDateTime;
    if (preferences.word[pref::timeUpdateMode] == 0) {
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    }
    int y = t.year, mo = t.month, d = t.day, h = t.hour, mi = t.minute, s = t.second;
    if (EditDateTime(&y, &mo, &d, &h, &mi, &s)) {
        SetObservingDateTime(y, mo, d, h, mi, 0);
        UpdateObjectEphemeris(y, mo, d, h, mi, 0);
        UpdateCurrentTime(1);
    }
    DrawChart();
}

void Recentre() {
    FreeChartBitmaps();
    if (ChartMode() == kChartModeSkyMap) {
        lastDrawnRow = -3;
        chartState.redraw = 1;
        std::int32_t& tapAction = preferences.word[chartpref::tapAction];
        const std::int32_t saved = tapAction;
        tapAction = 2;
        DrawChart();
        tapAction = saved;
        return;
    }
    DrawChart();
}

// The sky position under the middle of the chart (hours, degrees).
void ChartMiddle(double* ra, double* dec) {
    const Bounds& r = chartState.chartRect;
    float fra = 0.0f, fdec = 0.0f;
    if (ChartMode() >= kChartModeWholeSky) {
        float azimuth = 0.0f, altitude = 0.0f;
        GetChartCentre(&azimuth, &altitude, nullptr);
        HorizontalToEquatorial(chartClock.siderealTime, azimuth, altitude, ra, dec);
        return;
    }
    PixelToSky(r.x + r.width / 2, r.y + r.height / 2, &fra, &fdec);
    *ra = fra;
    *dec = fdec;
}

// Modes 0 and 1 centre on the current object: a place away from it (by more than an arc
// minute) becomes the current object, a bare sky position outside the list.
void CentreOnPlace(double ra, double dec) {
    const ChartView& current = chartViews[0].view;
    if (AngularSeparation(current.ra, current.dec, ra, dec) * 60.0 < 1.0) return;
    ChartView place{};
    place.ra = static_cast<float>(ra);
    place.dec = static_cast<float>(dec);
    SetChartView(&place);
    chartSelectionIndex = -1;
    selectionList.currentPosition = -1;
    chartForm.panX = chartForm.panY = 0;
}

void ShowObjectRow() {
    RefreshObjectPopup();
    SetPopupList(kObjectsTrigger, kObjectsList, chartSelectionIndex);
}

void ChooseObjectRow() {
    const int row = GetListSelection(kObjectsList);
    // Only a bubble on the chart has an area to put back; none is a normal state, not a fault.
    if (chartState.bubble.bitmap)
        RestoreBubbleArea(chartState.bubble.x, chartState.bubble.y, &chartState.chartRect, GetCurrentDrawWindow());
    FreeChartBitmaps();
    if (row != chartSelectionIndex) chartState.redraw = 1;
    chartForm.panX = chartForm.panY = 0;
    chartSelectionIndex = row;
    // The row chosen is the list's current position and the chart's current object (the
    // GoTo target), as a tap on a listed object makes it.
    if (row >= 0 && row < selectionList.indexCount) {
        selectionList.currentPosition = row;
        chartForm.objectChosen = 1;
        const int record = GetSelectionObject(row);
        // The sky map and horizon view centre on the row when they draw; the sky views keep
        // a centre of their own.
        if (record >= 0 && record < ChartRecordCount() && ChartMode() >= kChartModeWholeSky) {
            const SelectionRecord& r = selectionList.records[record];
            SetChartViewFromRecord(&r);
            std::memcpy(chartViews[0].view.name, r.label, kSelectionLabelLength);
            chartViews[0].view.name[kSelectionLabelLength] = '\0';
            CentreChartSkyViewOn(r.rightAscension, r.declination, r.catalogCode == kCatalogPlanet);
            chartSelectionIndex = row;  // centring on a place leaves no row current
        }
    }
    DrawChart();
}

int OrientationWord(int zoom) { return pref::chartFlip + (zoom >= 10 ? 9 : zoom); }

void ChooseOrientation() {
    const int row = GetListSelection(kViewList);
    if (row < 0) return;
    SetPopupIcon(GetActiveForm(), kViewTrigger, OrientationIcon(row), 1, 0);
    chartState.redraw = 1;
    preferences.word[OrientationWord(chartZoom)] = row;
    DrawChart();
}

void ChooseZoom() {
    const int row = GetListSelection(kZoomList);
    if (row < 0) return;
    if (scopeTracking) RemoveScopeCursor();
    chartForm.panX = chartForm.panY = 0;
    if (row != chartZoom) chartState.redraw = 1;
    SetChartZoom(row);
    std::int32_t& compass = preferences.word[pref::hideCompass];
    const std::int32_t saved = compass;
    compass = 1;
    DrawChart();
    SetPopupIcon(GetActiveForm(), kViewTrigger,
                 OrientationIcon(preferences.word[pref::chartFlip + (chartZoom < 9 ? chartZoom : 9)]), 1, 0);
    compass = saved;
    preferences.word[pref::chartZoom] = chartZoom;
}

void ChooseFilter() {
    const int row = GetListSelection(kFilterList);
    if (row < 0) return;
    chartFilterRow = row;
    switch (row) {
    case 8:
        chartFilterRow = 0;
        SetPopupList(kFilterTrigger, kFilterList, 0);
        GotoForm(kListForm);
        return;
    case 9:
    case 10:
        chartFilterRow = 0;
        SetPopupList(kFilterTrigger, kFilterList, 0);
        ChartSetListManagerMode(row == 9 ? 0 : 1);
        GotoForm(kListManagerForm);
        return;
    default:
        break;
    }
    ApplyChartTypeFilterRow(row);
    if (row == kFilterRowClearList) {
        chartFilterRow = 0;
        SetPopupList(kFilterTrigger, kFilterList, 0);
    }
    if (row < 8) DrawChart();
}

}  // namespace

// ---- The GoTo ------------------------------------------------------------------------------

namespace {

// A body's number (0 the Sun, 1 the Moon...), -1 for anything else: a listed body's record
// holds its body number, while a view made from the record holds its position in the body
// list + 1.
int BodyNumber(const ChartView& view) {
    if (view.type != kTypePlanet) return -1;
    const int row = chartSelectionIndex;
    if (row >= 0 && row < selectionList.indexCount) {
        const int record = GetSelectionObject(row);
        if (record >= 0 && record < ChartRecordCount()) {
            const SelectionRecord& r = selectionList.records[record];
            if (r.typeCode == kTypePlanet && static_cast<std::uint32_t>(r.catalogCode) == view.catalog)
                return r.objectNumber;
        }
    }
    return static_cast<int>(view.number);
}

bool IsSun(const ChartView& view) { return BodyNumber(view) == 0; }

}  // namespace

void GotoChartObject() {
    // The row the chart shows at start was nobody's choice: the mount is not sent there.
    if (!chartForm.objectChosen) {
        ShowMessage("Please select at least one object.", "");
        return;
    }
    ChartView view{};
    GetChartView(&view);
    if (IsSun(view)) {
        ShowMessage("Sorry, GoTo to Sun is disable.", "");
        return;
    }
    const bool body = view.type == kTypePlanet || (view.type == kTypeComet && view.catalog == 0);
    // A telescope needs the topocentric place with refraction, whatever the chart shows:
    // the Moon's parallax alone is a degree.
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    double ra = view.ra, dec = view.dec;
    if (view.type == kTypePlanet) ComputeBodyPointingPlace(BodyNumber(view), y, mo, d, h, mi, s, &ra, &dec);
    ChartScopeGoto(ra, dec, body ? kModeNone : kModeTopocentricRefracted);
}

// ---- The manual position input -----------------------------------------------------------

void ChartPositionInput(int controlId) {
    const bool equatorial = controlId == kInputEquatorial;
    double ra = 0.0, dec = 0.0;
    ChartMiddle(&ra, &dec);
    const double lst = chartClock.siderealTime;
    char name[kPositionTextIn + 1] = "";
    char first[kPositionTextIn + 1] = "";
    char second[kPositionTextIn + 1] = "";
    if (equatorial) {
        HMSToStr(first, sizeof first, ra);
        DMSToStr(second, sizeof second, dec);
    } else {
        DMSToStr(first, sizeof first, ComputeAzimuth(lst, ra, dec, observerLocation.latitude));
        DMSToStr(second, sizeof second, ComputeAltitude(lst, ra, dec, observerLocation.latitude));
    }
    int type = kPositionTypeNone;
    // The dialog labels mode 1 "RA"/"Dec" and mode 0 "Az"/"Alt".
    if (PositionInput(GetActiveForm(), equatorial ? 1 : 0, name, first, second, &type)) {
        ObjectRef block{};
        block.catalog = kUserCatalog;
        block.number = static_cast<std::uint32_t>(chartInputNumber++);
        std::snprintf(block.name, sizeof block.name, "%.19s", name);
        block.type = type;
        double r = equatorial ? HmsStrToHours(first) : DmsStrToDeg(first);
        double d = DmsStrToDeg(second);
        if (!equatorial) {
            const double azimuth = r, altitude = d;
            HorizontalToEquatorial(lst, azimuth, altitude, &r, &d);
        }
        block.ra = static_cast<float>(r);
        block.dec = static_cast<float>(d);
        const ObservingDateTime& t = observingDateTime;
        const double jd = JulianDay0h(t.year, t.month, t.day) + (t.hour + t.minute / 60.0) / 24.0;
        block.constellation = FindConstellation(r, d, jd);
        SelectChartObject(block, -1);
        ShowObjectRow();
    }
    chartState.redraw = 1;
    DrawChart();
}

// ---- The chart menu and the direction popup ----------------------------------------------

void SetChartMenuChoice() {
    const int row = GetListSelection(kMenuList);
    switch (row) {
    case 0: GotoForm(kHomeForm); return;
    case 1: ReleaseChartResources(); return;
    case 2: OpenPushed(kGeneralSettingsForm); return;
    case 3: OpenPushed(kZoomSettingsForm); return;
    case 4: OpenPushed(kDisplaySettingsForm); return;
    default: break;
    }
    if (row < 5 || row > 9) return;
    const int oldMode = ChartMode();
    const int mode = row - 5;
    // The chart keeps the sky point it looks at. The sky views keep their centre in the frame
    // they draw (the horizon's, or the equator's), the sky map and horizon view centre on the
    // current object: the point goes through the catalog place from one to the other.
    double ra = 0.0, dec = 0.0;
    if (oldMode >= kChartModeWholeSky) {
        ChartSkyViewCentrePlace(&ra, &dec);
    } else {
        ra = chartViews[0].view.ra;
        dec = chartViews[0].view.dec;
    }
    preferences.word[pref::chartMode] = mode;
    UpdateCurrentTime(1);
    FreeChartBitmaps();
    if (mode >= kChartModeWholeSky) {
        if (oldMode < kChartModeWholeSky) RefreshSkyProjection();
        CentreChartSkyViewOn(ra, dec);
    } else if (oldMode >= kChartModeWholeSky) {
        CentreOnPlace(ra, dec);
    }
    const int zoomRow = GetListSelection(kZoomList);
    SetChartZoom(zoomRow >= 0 ? zoomRow : chartZoom);
    const int keep = ChartSelectionPosition();
    RebuildObjectPopup();
    if (keep >= 0) chartSelectionIndex = BuildObjectPopupIndex(keep);
    DrawChart();
}

void SetChartDirection(int row) {
    if (row < 0 || row > 7) return;
    const int mode = ChartMode();
    if (mode == kChartModeSkyMap) {
        const int angle = -180 + 45 * row;
        RotateChartTables(angle - chartState.rotation);
        chartState.rotation = angle;
        SetProjectionCenter(angle);
    } else if (mode == kChartModeHorizon) {
        std::int32_t x = 0, y = 0;
        AltAzToPixel(static_cast<float>(45 * row), 0.0f, &x, &y);
        const int g = GetDpiFactor();
        const int column = x;
        const int depth = static_cast<int>(80 * screenScale.vertical);
        // The nearest object at a growing radius; a search that finds nothing leaves the
        // sky position current, with no object and no row.
        for (int radius : {2 * g, 4 * g, 8 * g}) {
            FindNearestChartObject(column, depth, radius);
            const ChartView& found = chartViews[0].view;
            if (found.catalog != 0 || found.type != 0 || chartSelectionIndex >= 0) break;
        }
    } else {
        float azimuth = 0.0f, altitude = 0.0f;
        GetChartCentre(&azimuth, &altitude, nullptr);
        float turned = -45.0f * row;
        while (turned < 0.0f) turned += 360.0f;
        SetChartCentre(turned, altitude);
        chartSelectionIndex = -1;
    }
    chartState.redraw = 1;
    DrawChart();
}

// ---- Commands and choices ----------------------------------------------------------------

int ChartFormCommand(int controlId) {
    chartForm.lastCommand = controlId;
    switch (controlId) {
    case kShowPicture: ShowChartObjectPicture(); return 1;
    case kDisplaySettings: OpenPushed(kDisplaySettingsForm); return 1;
    case kInformation:
    case 1879: ShowChartTapInfo(); return 1;
    case kObserverLog:
    case 1888: ChartOpenObserverLogNew(); return 1;
    case kDateTime:
    case 1878: EditChartDateTime(); return 1;
    case kCentreRequest: OpenFinderForm(kChartFormId, -1); return 1;
    case kTelrad: Toggle(pref::showTelrad); DrawChart(); return 1;
    case kHideGrid: Toggle(pref::hideGrid); DrawChart(); return 1;
    case kNames: Toggle(pref::showObjNames); DrawChart(); return 1;
    case kDrilldown:
        FindObjectIndexByDec(0);
        Toggle(pref::objDrilldown);
        DrawChart();
        return 1;
    case kToolbar:
        Toggle(pref::hideToolBar);
        if (preferences.word[pref::hideToolBar]) HideChartToolbar();
        else ShowChartToolbar();
        DrawChart();
        return 1;
    case kInputEquatorial:
    case kInputHorizontal: ChartPositionInput(controlId); return 1;
    case kRecentre: Recentre(); return 1;
    case kGoto: GotoChartObject(); return 1;
    case kDistance: chartTap.distanceMode = chartTap.distanceMode ? 0 : 1; return 1;
    case kBack: GoBackForm(); return 1;
    case kDirectionTrigger:
    case kViewTrigger: return 1;
    default: return 0;
    }
}

void ChartFormSelect(int listId) {
    chartForm.lastCommand = listId;
    switch (listId) {
    case kMenuList: SetChartMenuChoice(); return;
    case kDirectionList: {
        const int row = GetListSelection(kDirectionList);
        if (row < 0) return;
        SetPopupList(kDirectionTrigger, kDirectionList, row);
        SetChartDirection(row);
        return;
    }
    case kScopeList: ChartScopePopupCommand(GetListSelection(kScopeList)); return;
    case kObjectsList: ChooseObjectRow(); return;
    case kViewList: ChooseOrientation(); return;
    case kZoomList: ChooseZoom(); return;
    case kFilterList: ChooseFilter(); return;
    default: ChartFormCommand(listId); return;
    }
}
