#include "objects/night_tripper_form.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "astro/angle_text.h"
#include "astro/constellation_boundaries.h"
#include "astro/horizontal.h"
#include "astro/planet_positions.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/designations.h"
#include "catalog/object_lookup.h"
#include "catalog/object_selection.h"
#include "catalog/object_types.h"
#include "catalog/oculars.h"
#include "catalog/selection_list.h"
#include "chart/chart_services.h"
#include "chart/chart_state.h"
#include "chart/object_layers.h"
#include "chart/star_layers.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/limiting_magnitude.h"
#include "objects/night_bars.h"
#include "objects/object_form_links.h"
#include "objects/object_info_form.h"
#include "objects/object_pictures.h"
#include "objects/observer_log_form.h"
#include "objects/picture_view.h"
#include "objects/selection_criteria_form.h"
#include "objects/sky_brightness.h"
#include "objects/visibility.h"
#include "objects/visibility_drawing.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "shell/colour_scheme.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace night_tripper;

NightTripperState nightTripperState;

namespace {

constexpr const char* kFilterRows[7] = {"All", "Star", "Cluster", "Double Star", "Galaxy", "Nebula", "Planet"};
constexpr const char* kSortRows[6] = {"Name", "Mag.", "Size", "Transit", "RA", "Alt"};
constexpr const char* kMonths[12] = {"Jan", "Fev", "Mar", "Apr", "May", "Jun",
                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr int kChartFormId = 1900;
constexpr int kTypeMeteors = 29;
constexpr int kTypeStar = 30;
constexpr int kTypePlanet = 27;
constexpr int kGroupComets = 12;
constexpr int kGroupConstellations = 13;
constexpr int kDetailFields[] = {kName,           kRa,       kDec,      kAzimuth, kAltitude, kTransitAltitude,
                                 kMagnitude,      kEyepiece, kSize,     kDistance, kType,    kConstellation};

Window tripperWindow;

NightTripperState& S() { return nightTripperState; }
std::int32_t* Redraw() { return FormRedrawFlag(kNightTripperFormId); }
bool FormShown() { return platform::IsWindow(tripperWindow); }
int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }
bool Night() { return preferences.word[pref::nightMode] != 0; }

int ListCount() {
    const SelectionList& l = selectionList;
    if (!l.records || !l.index) return 0;
    return std::clamp(l.indexCount, 0, l.capacity);
}

// The record behind index position `row`, or null.
const SelectionRecord* RecordAt(int row, int* recordIndex = nullptr) {
    if (row < 0 || row >= ListCount()) return nullptr;
    const int k = GetSelectionObject(row);
    if (k < 0 || k >= selectionList.capacity || k >= std::max(selectionList.recordCount, 0)) return nullptr;
    if (recordIndex) *recordIndex = k;
    return &selectionList.records[k];
}

int CurrentListId() { return S().barView ? kBarList : kNameList; }

int HighlightedRow() { return FormShown() ? GetListSelection(CurrentListId()) : selectionList.currentPosition; }

void ShowIf(int id, bool show) {
    if (!FormShown()) return;
    if (show)
        ShowObject(tripperWindow, id);
    else
        HideObject(tripperWindow, id);
}

bool Tall() { return S().screenHeight > static_cast<int>(240 * screenScale.vertical); }

void Label(const SelectionRecord& r, char* out, std::size_t size) {
    std::snprintf(out, size, "%.*s", kSelectionLabelLength, r.label);
    if (!out[0]) FormatDesignation(out, size, r.catalogCode, r.objectNumber);
}

void ClearNightTripperFields() {
    if (!FormShown()) return;
    for (int id : kDetailFields) SetField(id, "");
    S().selectedRecord = -1;
    S().name.clear();
    S().typeBitmap = 0;
}

// The object of a record rebuilt in `currentObject` by the record's search group; its
// display name and type picture into the state.
void RebuildCurrentObject(const SelectionRecord& r) {
    NightTripperState& s = S();
    ObjectRef o{};
    char name[48] = {};
    int bitmap = 0;
    bool makeCurrent = false;
    const SelectionCriteria& c = selectionCriteria;
    const double jd = DateTimeToJD(c.year, c.month, c.day, c.hour, c.minute, 0, observerLocation.zoneMinutes);
    auto typeBitmap = [](const ObjectRef& object) {
        const int icon = GetTypeCodeText(nullptr, object.morphology);
        const int own = object.type >= 0 && object.type < kObjectTypeCount ? ObjectTypeTable[object.type].icon : 0;
        const int n = icon > 0 ? icon : own;
        return n > 0 ? n + 2999 : 0;
    };
    switch (r.group) {
        case kGroupBody: {
            BodyRecord body{};
            const int index = std::clamp(static_cast<int>(r.objectNumber), 0, kNamedBodyCount - 1);
            ComputePlanet(&body, index, c.year, c.month, c.day, c.hour, c.minute, 0);
            o.catalog = kCatalogPlanet;
            o.number = static_cast<std::uint32_t>(index);
            o.type = kTypePlanet;
            o.ra = static_cast<float>(body.rightAscension);
            o.dec = static_cast<float>(body.declination);
            o.magnitude = static_cast<float>(body.magnitude);
            o.sizeA = o.sizeB = static_cast<float>(body.diameter);
            o.distance = static_cast<float>(body.distance);
            o.constellation = FindConstellation(body.rightAscension, body.declination, jd);
            std::snprintf(name, sizeof name, "%s", bodyNames[index]);
            bitmap = typeBitmap(o);
            makeCurrent = true;
            break;
        }
        case kGroupMessier:
            if (!GetMessierObject(r.objectIndex, &o)) SelectionRecordToInfo(&o, &r);
            std::snprintf(name, sizeof name, "%s%d", CatalogPrefix(kCatalogMessier), r.objectIndex + 1);
            bitmap = 3000 + r.objectIndex;
            makeCurrent = true;
            break;
        case kGroupCaldwell:
        case kGroupBestNgc: {
            const bool caldwell = r.group == kGroupCaldwell;
            if (!(caldwell ? GetCaldwellObject(r.objectIndex, &o) : GetBestNgcObject(r.objectIndex, &o)))
                SelectionRecordToInfo(&o, &r);
            FormatDesignation(name, sizeof name, static_cast<int>(o.catalog), static_cast<long>(o.number));
            bitmap = typeBitmap(o);
            o.catalog = caldwell ? kCatalogCaldwell : kCatalogBestNgc;
            makeCurrent = true;
            break;
        }
        case kGroupHerschel:
            if (!GetHerschelObject(r.objectIndex, &o)) SelectionRecordToInfo(&o, &r);
            std::snprintf(name, sizeof name, "H%d", r.objectIndex + 1);
            bitmap = typeBitmap(o);
            o.catalog = kCatalogHerschel;
            makeCurrent = true;
            break;
        case kGroupByCatalog:
            o.catalog = kCatalogBrightStar;
            o.number = static_cast<std::uint32_t>(r.objectNumber);
            o.type = kTypeStar;
            o.ra = r.rightAscension;
            o.dec = r.declination;
            o.magnitude = static_cast<float>(r.magnitude10 / 10.0);
            o.morphology = r.morphology;
            o.constellation = r.constellation;
            o.sizeA = o.sizeB = 0.1f;
            Label(r, name, sizeof name);
            makeCurrent = true;
            break;
        case kGroupComets:
        case kGroupConstellations:
            SelectionRecordToInfo(&o, &r);
            o.number = static_cast<std::uint32_t>(r.objectNumber);
            o.constellation = FindConstellation(o.ra, o.dec, jd);
            Label(r, name, sizeof name);
            // A comet or asteroid becomes the orbit assistant's; a constellation keeps its own catalog.
            if (r.catalogCode == kCatalogComet) {
                o.catalog = kCatalogComet;
                if (objectFormLinks.setCurrentComet) objectFormLinks.setCurrentComet(r.objectIndex);
            }
            break;
        default:
            if (r.catalogCode == kCatalogNone) {
                o.ra = r.rightAscension;
                o.dec = r.declination;
                o.constellation = r.constellation;
                Label(r, name, sizeof name);
                break;
            }
            SelectionRecordToInfo(&o, &r);
            o.number = static_cast<std::uint32_t>(r.objectNumber);
            if (r.catalogCode == kCatalogHr) {
                FormatDesignation(name, sizeof name, kCatalogHr, r.objectNumber);
            } else if (r.catalogCode == kCatalogTycho) {
                FormatTychoDesignation(name, sizeof name, r.objectNumber);
            } else {
                o.constellation = FindConstellation(o.ra, o.dec, jd);
                Label(r, name, sizeof name);
            }
            if (o.type != kTypeStar) bitmap = typeBitmap(o);
            break;
    }
    SetObjectRefName(&o, name);
    if (makeCurrent)
        SetCurrentObjectRecord(&o, r.group);
    else
        currentObject.object = o;
    s.name = name;
    s.typeBitmap = bitmap;
}

void ShowMeteorDates(const SelectionRecord& r) {
    const MeteorShower& m = meteorShowerTable[std::clamp(static_cast<int>(r.objectNumber), 0, kMeteorShowerCount - 1)];
    auto date = [](int day, int month) {
        char text[16];
        std::snprintf(text, sizeof text, "%02d-%s", day, kMonths[std::clamp(month, 1, 12) - 1]);
        return std::string(text);
    };
    SetField(kMagnitude, date(m.startDay, m.startMonth).c_str());
    SetField(kEyepiece, m.peakDay == 0 ? "Var." : date(m.peakDay, m.peakMonth).c_str());
    SetField(kSize, date(m.endDay, m.endMonth).c_str());
    S().grade = m.activityClass == 1 ? 3.0 : m.activityClass == 3 ? 1.5 : m.activityClass == 4 ? 1.0 : 2.0;
}

void ShowVisibility() {
    NightTripperState& s = S();
    const ObjectRef& o = currentObject.object;
    int magnification = 0;
    double margin = 0;
    EstimateVisibility(GetApertureMm(), GetFocalLengthMm(), GetSiteSkyBrightness(), o.magnitude, o.sizeA, o.sizeB,
                       &magnification, &margin);
    float field = 0, focal = 0;
    s.eyepieceFocal = FindEyepiece(magnification, &field, &focal, nullptr, 0) ? static_cast<int>(focal) : 0;
    const double limit = TelescopeLimitingMagnitude(GetApertureMm());
    char text[32];
    if (!(o.magnitude < limit) || !(margin > 0)) {
        SetField(kEyepiece, "None");
        s.grade = 0;
    } else {
        if (s.eyepieceFocal > 0)
            std::snprintf(text, sizeof text, "%dmm", s.eyepieceFocal);
        else
            std::snprintf(text, sizeof text, "None");
        SetField(kEyepiece, text);
        s.grade = margin;
    }
    const auto arc = [](double minutes) { return static_cast<int>(std::lround(std::max(minutes, 0.0) * 60.0)); };
    if (o.type == kTypePlanet) {
        const int a = arc(o.sizeA);
        std::snprintf(text, sizeof text, "%d'%d", a / 60, a % 60);
    } else {
        const int a = arc(o.sizeA), b = arc(o.sizeB);
        std::snprintf(text, sizeof text, "%d'%dx%d'%d", a / 60, a % 60, b / 60, b % 60);
    }
    SetField(kSize, text);
}

void ShowPositionAndEvents(const SelectionRecord& r) {
    const ObjectRef& o = currentObject.object;
    const ObservingDateTime& t = observingDateTime;
    const ObserverLocation& site = observerLocation;
    const int mode = r.group == kGroupBody ? kModeNone : preferences.word[pref::coordinateMode];
    double ra = 0, dec = 0, alt = 0, az = 0;
    ComputeApparentPosition(o.ra, o.dec, &ra, &dec, &alt, &az, mode, t.year, t.month, t.day, t.hour, t.minute, 0);
    char text[48];
    SetField(kRa, HMSToStr(text, sizeof text, ra));
    SetField(kDec, DMSToStr(text, sizeof text, dec));
    SetField(kAzimuth, DMSToStr(text, sizeof text, az));
    SetField(kAltitude, DMSToStr(text, sizeof text, alt));
    double rise = 0, transit = 0, set = 0;
    ComputeRiseSet(t.year, t.month, t.day, site.latitude, site.longitude, site.zoneMinutes, site.height,
                   GetHorizonAltitude(), o.ra, o.dec, &rise, &transit, &set);
    HMSToStr(text, sizeof text, transit);
    int h = 0, m = 0, sec = 0;
    ParseSexagesimal(text, ':', &h, &m, &sec);
    const double lst = LocalSiderealTime(t.year, t.month, t.day, h, m, sec, site.longitude, site.zoneMinutes);
    std::snprintf(text, sizeof text, "%d\xB0",
                  static_cast<int>(ComputeAltitude(lst, o.ra, o.dec, site.latitude) + 0.5));
    SetField(kTransitAltitude, text);
    DrawDayBar(Sx(97), Sy(240), Sx(130), Sy(18), static_cast<float>(t.hour + t.minute / 60.0),
               static_cast<float>(rise), static_cast<float>(transit), static_cast<float>(set));
    DrawBestPeriodBar(Sx(100), Sy(277), Sx(140), Sy(15), t.year, o.ra, o.dec, t.month, t.day);
}

// The criteria's instant becomes the observing time (the device's when none was set).
void TakeCriteriaInstant() {
    const SelectionCriteria& c = selectionCriteria;
    ObservingDateTime& t = observingDateTime;
    if (c.year == 0)
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    else
        t = ObservingDateTime{c.year, c.month, c.day, c.hour, c.minute, 0};
}

void EraseDetailArea() {
    FillRectangle(Bounds{Sx(198), Sy(26), Sx(42), Sy(42)});
    FillRectangle(Bounds{Sx(97), Sy(238), Sx(143), Sy(56)});
}

void DrawNameRow(int row, Bounds rect, int, int) {
    const SelectionRecord* r = RecordAt(row);
    if (!r) return;
    const int scale = static_cast<int>(screenScale.vertical);
    if (r->typeCode == kTypeStar) {
        const int sizeClass = std::clamp(static_cast<int>(7 - r->magnitude10 / 10.0), 0, 8);
        DrawStar(nullptr, 3, sizeClass, std::clamp(static_cast<int>(r->morphology), 0, 6), rect.x + 5 * scale,
                 rect.y + 6 * scale);
    } else {
        DrawObjectSymbol(r->typeCode, r->group == kGroupBody ? r->objectNumber : 0, rect.x + 8 * scale,
                         rect.y + 8 * scale);
    }
    if (r->catalogCode == kCatalogHr) {
        DrawBrightStarLabel(r->objectNumber, rect.x + 18 * scale, rect.y, 1);
        return;
    }
    char label[40];
    Label(*r, label, sizeof label);
    const int opaque = SetTextTransparent(1);
    DrawString(label, static_cast<int>(std::strlen(label)), rect.x + 18 * scale, rect.y);
    SetTextTransparent(opaque);
}

void DrawBarRow(int row, Bounds rect, int, int) {
    const SelectionRecord* r = RecordAt(row);
    if (!r) return;
    const ObservingDateTime& t = observingDateTime;
    const ObserverLocation& site = observerLocation;
    double rise = 0, transit = 0, set = 0;
    ComputeRiseSet(t.year, t.month, t.day, site.latitude, site.longitude, site.zoneMinutes, site.height,
                   GetHorizonAltitude(), r->rightAscension, r->declination, &rise, &transit, &set);
    const NightBarLayout layout = LayoutNightBar(t.hour + t.minute / 60.0, rect.width,
                                                 NightSunTimesFor(t.year, t.month, t.day), rise, set);
    char label[40];
    Label(*r, label, sizeof label);
    DrawNightBarRow(layout, rect, label, r->catalogCode == kCatalogHr ? r->objectNumber : 0, Night());
}

void SortList(int choice) {
    NightTripperState& s = S();
    s.sortOrder = std::clamp(choice, 0, 5);
    SetPopupList(kSortPopup, kSortList, s.sortOrder);
    if (ListCount() <= 0) return;
    SortSelectionList(s.sortOrder);
    RefreshNightTripperList();
}

void DeleteHighlighted() {
    const int row = FormShown() ? GetListSelection(kNameList) : -1;
    int record = -1;
    if (!RecordAt(row, &record)) return;
    ClearObjectSelection();
    // The removal counts positions over all records; the filter's index is rebuilt after it.
    selectionList.indexCount = std::clamp(selectionList.recordCount, 0, selectionList.capacity);
    RemoveSelectionRecord(record);
    RefreshNightTripperList();
}

void ClearTheList() {
    SelectionList& l = selectionList;
    ClearObjectSelection();
    l.categoryFilter = 0;
    l.indexCount = 0;
    l.recordCount = 0;
    if (l.records && l.capacity > 0) l.records[0].objectNumber = -1;
    DropFormHistory();
    GotoForm(kNightTripperFormId);
}

void ShowSelectedOnChart() {
    const SelectionCriteria& c = selectionCriteria;
    const ObjectRef& o = currentObject.object;
    const int position = selectionList.currentPosition;
    SetSkyDateTime(&o, c.year, c.month, c.day, c.hour, c.minute);
    selectionList.currentPosition = position;
    const ObserverLocation& site = observerLocation;
    const double lst = LocalSiderealTime(c.year, c.month, c.day, c.hour, c.minute, 0, site.longitude, site.zoneMinutes);
    if (!ConfirmChartShowsObject(ComputeAltitude(lst, o.ra, o.dec, site.latitude))) return;
    InvalidateSelectionProjection();
    GotoForm(kChartFormId);
}

void ShowRowPicture() {
    const int saved = selectionList.currentPosition;
    const int row = FormShown() ? GetListSelection(kNameList) : -1;
    if (row < 0 || row >= ListCount()) return;
    selectionList.currentPosition = row;
    ShowNextListPicture();
    selectionList.currentPosition = saved;
}

void ShowSelectedPicture() {
    const NightTripperState& s = S();
    if (s.selectedRecord < 0 || s.selectedRecord >= std::max(selectionList.recordCount, 0)) return;
    const SelectionRecord& r = selectionList.records[s.selectedRecord];
    int catalog = 0;
    const std::string name = NightTripperPictureName(r, &catalog);
    GetScreenSize(&S().screenWidth, &S().screenHeight);
    ShowObjectPicture(name.c_str(), 0, 0, S().screenWidth, S().screenHeight, 1, kPictureFolderCatalog, catalog);
}

void InitNightTripper() {
    NightTripperState& s = S();
    PushFormHistory(kNightTripperFormId);
    SetNightMode(Night() ? 0 : 1);
    GetScreenSize(&s.screenWidth, &s.screenHeight);
    for (int id : {kBack, kCriteria, kChart, kObserverLog, kClear, kRowPicture, kToggleView, kNameList, kType, kSize,
                   kConstellation, kMagnitude, kSizeLabel, kMagnitudeLabel, kVisibility, kPositionGroup,
                   kInformationGroup})
        ShowIf(id, true);
    for (int id : {kDistance, kDistanceLabel, kEyepiece, kEyepieceLabel, kTransitAltitude}) ShowIf(id, Tall());
    for (int id = kFirstLabel; id <= kLastLabel; ++id) ShowIf(id, Tall());
    RefreshNightTripperList();
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "NightTripper");
    const std::pair<int, int> buttons[] = {{kHelp, 5076},     {kBack, 5074},    {kChart, Night() ? 5138 : 5094},
                                           {kObserverLog, Night() ? 5131 : 5121},
                                           {kVisibility, Night() ? 5007 : 5002},
                                           {kPicture, 1941},  {kClear, 1975},   {kCriteria, 5096},
                                           {kRowPicture, 5150}, {kToggleView, 2252}, {kAdd, -1}, {kDelete, -1}};
    for (const auto& [id, bitmap] : buttons) {
        const bool whiteKey = id == kObserverLog || id == kVisibility || (id == kChart && !Night());
        InitButton(w, id, bitmap, whiteKey ? 1 : 0, whiteKey ? 0xFFFFFF : 0);
    }
    for (int id : {kName, kRa, kDec, kAzimuth, kAltitude, kTransitAltitude, kMagnitude, kConstellation, kType,
                   kEyepiece, kSize, kDistance})
        InitField(w, id, 0);
    for (int i = 6; i >= 0; --i) AppendListItem(w, kFilterList, kFilterRows[i]);
    for (int i = 5; i >= 0; --i) AppendListItem(w, kSortList, kSortRows[i]);
    InitPopupList(w, kFilterPopup, kFilterList, -1, 0, std::clamp(selectionList.categoryFilter, 0, 6));
    InitPopupList(w, kSortPopup, kSortList, -1, 0, S().sortOrder);
    for (int id : {kPositionGroup, kInformationGroup, kMagnitudeLabel, kEyepieceLabel, kSizeLabel, kDistanceLabel})
        InitLabel(w, id);
    for (int id = kFirstLabel; id <= kLastLabel; ++id) InitLabel(w, id);
    InitList(w, kNameList, -1, -1, 1);
    InitList(w, kBarList, -1, -1, 1);
    tripperWindow = w;
}

void ReleaseNightTripperForm(Window w) {
    *Redraw() = 1;
    for (int id : {kTitle, kHelp, kBack, kChart, kObserverLog, kVisibility, kPicture, kClear, kCriteria, kRowPicture,
                   kToggleView, kAdd, kDelete, kName, kRa, kDec, kAzimuth, kAltitude, kTransitAltitude, kMagnitude,
                   kConstellation, kType, kEyepiece, kSize, kDistance, kFilterPopup, kSortPopup, kPositionGroup,
                   kInformationGroup, kMagnitudeLabel, kEyepieceLabel, kSizeLabel, kDistanceLabel, kNameList,
                   kBarList})
        ReleaseControl(w, id);
    for (int id = kFirstLabel; id <= kLastLabel; ++id) ReleaseControl(w, id);
    if (tripperWindow == w) tripperWindow = Window{};
}

}  // namespace

std::string NightTripperPictureName(const SelectionRecord& r, int* catalogCode) {
    char name[48] = {};
    int catalog = r.catalogCode;
    if (r.group == kGroupMessier) {
        catalog = kCatalogMessier;
    } else if (r.group == kGroupBody) {
        catalog = kCatalogPlanet;
    }
    if (catalog == kCatalogConstellation) {
        const int n = static_cast<int>(r.objectNumber);
        std::snprintf(name, sizeof name, "%s", n >= 0 && n < kConstellationCount ? ConstellationTable[n].abbreviation : "");
    } else if (catalog == kCatalogMessier || catalog == kCatalogPlanet) {
        std::snprintf(name, sizeof name, "%.*s", kSelectionLabelLength, r.label);
    } else {
        FormatDesignation(name, sizeof name, catalog, r.objectNumber);
    }
    if (catalogCode) *catalogCode = catalog;
    return name;
}

void RefreshNightTripperList() {
    SelectionList& l = selectionList;
    if (IsObjectSelected()) {
        LocateSelectionInList();
        ClearObjectSelection();
    }
    if (l.categoryFilter < 0 || l.categoryFilter > 6) l.categoryFilter = 0;
    if (FormShown()) SetPopupList(kFilterPopup, kFilterList, l.categoryFilter);
    if (l.records && l.index)
        l.indexCount = FilterSelectionByType(l.categoryFilter, l.records, std::clamp(l.recordCount, 0, l.capacity));
    const int count = ListCount();
    if (l.currentPosition >= count || l.currentPosition < 0) l.currentPosition = 0;
    if (!FormShown()) return;
    const bool bars = S().barView != 0;
    const int position = count > 0 ? l.currentPosition : -1;
    FillList(platform::GetDialogItem(tripperWindow, kNameList), nullptr, count);
    SetListSelection(kNameList, position);
    if (bars) {
        FillList(platform::GetDialogItem(tripperWindow, kBarList), nullptr, count);
        SetListSelection(kBarList, position);
    }
    ShowIf(kBarList, bars);
    ShowIf(kNameList, !bars);
    if (Tall()) ShowIf(kFirstLabel, !bars);
    RedrawList(platform::GetDialogItem(tripperWindow, CurrentListId()));
    platform::SetFocus(platform::GetDialogItem(tripperWindow, static_cast<std::uint16_t>(CurrentListId())));
    ShowNightTripperDetails();
}

void ShowNightTripperDetails() {
    NightTripperState& s = S();
    SelectionList& l = selectionList;
    const int row = HighlightedRow();
    if (FormShown()) l.categoryFilter = std::max(GetListSelection(kFilterList), 0);
    int record = -1;
    const SelectionRecord* r = RecordAt(row, &record);
    ShowIf(kPicture, false);
    if (FormShown()) EraseDetailArea();
    if (!r) {
        ClearNightTripperFields();
        s.selectedRecord = -1;
        DrawDifficultyScale(kVisibility, 0);
        return;
    }
    const bool meteors = r->typeCode == kTypeMeteors;
    SetField(kMagnitudeLabel, meteors ? "Start" : "Mag");
    SetField(kEyepieceLabel, meteors ? "Max" : "Eyep");
    SetField(kSizeLabel, meteors ? "End" : "Size");
    TakeCriteriaInstant();
    RebuildCurrentObject(*r);
    SetField(kName, s.name.substr(0, 20).c_str());
    if (!s.barView && s.typeBitmap > 0) DrawBitmap(s.typeBitmap, Sx(198), Sy(26));
    int catalog = 0;
    const std::string pictureName = NightTripperPictureName(*r, &catalog);
    if (!pictureName.empty() && FindObjectPicture(pictureName.c_str(), kPictureFolderCatalog, catalog))
        ShowIf(kPicture, true);
    ShowPositionAndEvents(*r);
    const ObjectRef& o = currentObject.object;
    char text[kDistanceTextSize];
    std::snprintf(text, sizeof text, "%.1f", o.magnitude);
    SetField(kMagnitude, text);
    const int constellation = o.constellation;
    SetField(kConstellation, constellation >= 0 && constellation < kConstellationCount
                                 ? ConstellationTable[constellation].abbreviation
                                 : "");
    SetField(kType, o.type >= 0 && o.type < kObjectTypeCount ? ObjectTypeTable[o.type].code : "");
    if (meteors)
        ShowMeteorDates(*r);
    else
        ShowVisibility();
    DrawDifficultyScale(kVisibility, s.grade);
    FormatDistance(o, text);
    SetField(kDistance, text);
    s.selectedRecord = record;
    l.currentPosition = row;
}

int NightTripperCommand(int id) {
    NightTripperState& s = S();
    switch (id) {
        case 1:
        case kBack:
            ClearObjectSelection();
            GoBackForm();
            return 1;
        case kCriteria:
            ClearObjectSelection();
            DropFormHistory();
            GotoForm(kSelectionCriteriaFormId);
            return 1;
        case kChart:
            ClearObjectSelection();
            ShowSelectedOnChart();
            return 1;
        case kHelp:
            ShowMessage("\x95 Use Filter to display only one type of object.\n\x95 Use Up and Down PDA keys to browse "
                        "the list.\n\x95 Use Add and Del to adjust the list,\n\x95 Use List to import several objects,",
                        "\x95 Tap on the underlined field or image to get local help.");
            return 1;
        case kSortList: DrawOnForm(tripperWindow, [] { SortList(GetListSelection(kSortList)); }); return 1;
        case kRowPicture: ShowRowPicture(); return 1;
        case kObserverLog: OpenObserverLogNew(); return 1;
        case kClear: ClearTheList(); return 1;
        case kFilterList:
            selectionList.categoryFilter = std::clamp(GetListSelection(kFilterList), 0, 6);
            DrawOnForm(tripperWindow, [] { RefreshNightTripperList(); });
            return 1;
        case kNameList: DrawOnForm(tripperWindow, [] { ShowNightTripperDetails(); }); return 1;
        case kBarList:
            DrawOnForm(tripperWindow, [] {
                SetListSelection(kNameList, GetListSelection(kBarList));
                ShowNightTripperDetails();
            });
            return 1;
        case kAdd: RequestChartCentre(kNightTripperFormId, -1); return 1;
        case kDelete: DrawOnForm(tripperWindow, [] { DeleteHighlighted(); }); return 1;
        case kToggleView:
            s.barView = !s.barView;
            DrawOnForm(tripperWindow, [] {
                ShowIf(kBarList, false);
                ShowIf(kNameList, false);
                ShowIf(kFirstLabel, false);
                EraseWindow(tripperWindow);
                RefreshNightTripperList();
            });
            return 1;
        case kPicture: ShowSelectedPicture(); return 1;
        default: return 0;
    }
}

int LayoutNightTripper(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    MoveObject(dialog, kHelp, dx, 0, 0, 0);
    MoveObject(dialog, kNameList, 0, 0, 0, dy);
    MoveObject(dialog, kBarList, 0, 0, dx, dy);
    for (int id : {kBack, kChart, kObserverLog}) MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kClear, kCriteria, kRowPicture, kToggleView}) MoveObject(dialog, id, dx, dy, 0, 0);
    return 1;
}

LResult NightTripper(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
        case platform::kMsgInitDialog: {
            OpenSelfLaidOutForm(w, nullptr, Redraw(), &MakeControls, &LayoutNightTripper);
            return 1;
        }
        case platform::kMsgPaint: PaintForm(w, &InitNightTripper, Redraw(), 0, 1); return 1;
        case platform::kMsgDrawItem: {
            const auto* item = reinterpret_cast<const platform::DrawItemInfo*>(lParam);
            const int list = platform::LowWord(wParam);
            if (list == kBarList) DrawOwnerListItem(w, item, &DrawBarRow);
            if (list == kNameList) DrawOwnerListItem(w, item, &DrawNameRow);
            return 1;
        }
        case platform::kMsgClose: ReleaseNightTripperForm(w); return 0;
        case platform::kMsgCommand: {
            const int id = platform::LowWord(wParam);
            switch (id) {
                case kCmdCloseForm:
                    ReleaseNightTripperForm(w);
                    CloseForm(kNightTripperFormId);
                    return 1;
                case kFilterPopup:
                case kSortPopup: return NightTripperCommand(platform::HighWord(wParam)) || 1;
                default: return NightTripperCommand(id);
            }
        }
        default: return 0;
    }
}
