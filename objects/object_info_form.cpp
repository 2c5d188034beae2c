#include "objects/object_info_form.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/horizontal.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/descriptions.h"
#include "catalog/designations.h"
#include "catalog/object_lookup.h"
#include "catalog/object_selection.h"
#include "catalog/object_types.h"
#include "catalog/oculars.h"
#include "catalog/record_file.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_object_index.h"
#include "chart/chart_services.h"
#include "chart/chart_state.h"
#include "chart/object_layers.h"
#include "chart/sky_view.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/object_form_links.h"
#include "objects/object_pictures.h"
#include "objects/objects_services.h"
#include "objects/ephemeris_form.h"
#include "objects/sky_brightness.h"
#include "objects/visibility.h"
#include "objects/visibility_drawing.h"
#include "platform/messages.h"
#include "shell/colour_scheme.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/scratch_text.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace object_info;

ObjectFormLinks objectFormLinks;
ObjectInfoState objectInfoState;

ObjectFormLinks SetObjectFormLinks(const ObjectFormLinks& links) {
    const ObjectFormLinks previous = objectFormLinks;
    objectFormLinks = links;
    return previous;
}

const ObjectInfoPage objectInfoPages[kObjectInfoPageCount] = {
    {"BrightStars", kCatalogBrightStar, 11, 30}, {"Caldwell", kCatalogCaldwell, 3, 0},
    {"Comet/Asteroid", kCatalogComet, 12, 13},   {"Constellation", kCatalogConstellation, 13, 0},
    {"Hershel", kCatalogHerschel, 7, 0},         {"Messier", kCatalogMessier, 2, 0},
    {"Meteor", kCatalogMeteor, 14, 29},          {"Planet", kCatalogPlanet, 1, 27},
    {"SAC", kCatalogBestNgc, 9, 0},              {"User Catalog", kCatalogUser, -1, -1},
    {"Finder", -1, -1, 0},
};

namespace {

constexpr int kTypeComet = 13;
constexpr int kTypeConstellation = 14;
constexpr int kTypePlanet = 27;
constexpr int kTypeMeteor = 29;
constexpr int kTypeStar = 30;
constexpr int kBodyJupiter = 5;
constexpr int kBodySaturn = 6;
constexpr const char* kNoObject = "Please select at least one object.";

std::int32_t* Redraw() { return FormRedrawFlag(kObjectInfoFormId); }
int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }

int& Page() { return currentObject.listPosition; }
int Number() { return static_cast<std::int32_t>(currentObject.number); }
void SetNumber(int n) { currentObject.number = static_cast<std::uint32_t>(n); }

bool PageValid(int page) { return page >= 0 && page < kObjectInfoPageCount; }
int PageCatalog(int page) {
    if (page == kObjectInfoFinderPage) return static_cast<int>(currentObject.object.catalog);
    return PageValid(page) ? objectInfoPages[page].catalog : -1;
}

const char* MonthName(int month) { return MonthAbbreviation(month); }

// The observing time the form works at: the device clock unless the user set a time; a
// time never set is the search's when the selection list holds entries.
void SettleObservingTime() {
    ObservingDateTime& t = observingDateTime;
    if (preferences.word[pref::timeUpdateMode] == 0) {
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    } else if (t.year == 0) {
        const SelectionCriteria& c = selectionCriteria;
        if (selectionList.indexCount > 0 && c.year != 0)
            SetObservingDateTime(c.year, c.month, c.day, c.hour, c.minute, 0);
        else
            GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    }
}

void ShowDateFields() {
    const ObservingDateTime& t = observingDateTime;
    char text[40];
    FormatDate(text, t.day, t.month, t.year);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    SetField(kTime, text);
}

// The time field as the user left it; false when it does not read as a time.
bool TimeFieldParses() {
    char text[32] = {};
    GetField(kTime, text, sizeof text);
    int h = 0, m = 0, s = 0;
    return ParseSexagesimal(text, ':', &h, &m, &s) > 0;
}

void ClearObjectFields() {
    for (int id : {kRa, kDec, kAzimuth, kAltitude, kConstellation, kType, kTypeText, kMagnitude, kDistance,
                   kEyepiece, kSize})
        SetField(id, "");
}

void Repaint() {
    *Redraw() = 1;
    if (platform::IsWindow(formWindow)) platform::InvalidateRect(formWindow, nullptr, false);
}

// Each line of a help text starts with a bullet and a blank.
void Bulleted(char* out, std::size_t size, const char* const* lines, int count) {
    out[0] = '\0';
    std::size_t used = 0;
    for (int i = 0; i < count && used < size; ++i)
        used += std::snprintf(out + used, size - used, "%s\x95 %s", i ? "\n" : "", lines[i]);
}

double WithinDay(double hours) {
    if (!std::isfinite(hours)) return 0;
    while (hours >= 24.0) hours -= 24.0;
    while (hours < 0.0) hours += 24.0;
    return hours;
}

// Rise, transit and set of the object on the observing date.
void ComputeEvents(const ObjectRef& o) {
    ObjectInfoState& s = objectInfoState;
    const ObservingDateTime& t = observingDateTime;
    const ObserverLocation& site = observerLocation;
    s.rise = s.transit = s.set = 0;
    if (o.type == kTypePlanet && o.catalog == kCatalogPlanet && o.number == 0) {
        ComputeSunRiseSet(t.year, t.month, t.day, &s.rise, &s.transit, &s.set, nullptr);
    } else if (o.type == kTypePlanet && o.catalog == kCatalogPlanet && o.number == 1) {
        ComputeMoonRiseSet(t.year, t.month, t.day, &s.rise, &s.transit, &s.set, nullptr);
        s.rise = WithinDay(s.rise), s.transit = WithinDay(s.transit), s.set = WithinDay(s.set);
    } else {
        ComputeRiseSet(t.year, t.month, t.day, site.latitude, site.longitude, site.zoneMinutes, site.height,
                       GetHorizonAltitude(), o.ra, o.dec, &s.rise, &s.transit, &s.set);
    }
}

// The telescope's limiting magnitude to a tenth, from the aperture in whole centimetres.
double TelescopeLimit() {
    const int cm = GetApertureMm() / 10;
    if (cm <= 0) return 0;
    return std::floor((7.5 + 5.0 * std::log10(static_cast<double>(cm))) * 10.0 + 0.5) / 10.0;
}

void SizeText(const ObjectRef& o, char* text, std::size_t size) {
    text[0] = '\0';
    if (o.type == kTypeComet || o.type == kTypeConstellation || o.catalog == kCatalogComet) return;
    if (o.type == kTypePlanet) {
        const int seconds = static_cast<int>(std::lround(o.sizeA * 60.0));
        std::snprintf(text, size, "%d'%02d", seconds / 60, seconds % 60);
    } else if (o.type == kTypeMeteor) {
        const MeteorShower& m = meteorShowerTable[o.number % kMeteorShowerCount];
        std::snprintf(text, size, "%02d-%s", m.startDay, MonthName(m.startMonth));
    } else if (o.type == kTypeStar) {
        const int bv = std::abs(static_cast<int>(o.morphology));
        std::snprintf(text, size, "%s%d.%d", o.morphology < 0 ? "-" : "", bv / 10, bv % 10);
    } else {
        const int a = static_cast<int>(std::lround(o.sizeA * 60.0)), b = static_cast<int>(std::lround(o.sizeB * 60.0));
        std::snprintf(text, size, "%d'%dx%d'%d", a / 60, a % 60, b / 60, b % 60);
    }
}

// The band under the panel: Jupiter or Saturn with their moons on screens taller than the
// 320-line design, else a finder chart there or, on a landscape screen, beside the panel.
// The design screen itself has no room for either.
void DrawLowerPanel(const ObjectRef& o) {
    ObjectInfoState& s = objectInfoState;
    s.lowerPanel = 0;
    std::memset(s.redSpot, 0, sizeof s.redSpot);
    const int scale = static_cast<int>(screenScale.vertical);
    const bool tall = s.screenHeight > 320 * scale;
    const bool body = o.type == kTypePlanet && o.catalog == kCatalogPlanet;
    const ObjectFormLinks& l = objectFormLinks;
    const ObservingDateTime& t = observingDateTime;
    const int bottom = s.screenHeight - Sy(22);
    if (body && o.number == kBodyJupiter && tall && l.drawJupiter && l.redSpotTransits) {
        SetForeColor(GetBackColor());
        FillRectangle(Bounds{0, 218 * scale, s.screenWidth, bottom - 218 * scale});
        const char* head = "Red Spot Transit :";
        DrawChars(head, static_cast<int>(std::strlen(head)), 2 * scale, 216 * scale);
        int hours[3] = {}, minutes[3] = {};
        l.redSpotTransits(t.year, t.month, t.day, hours, minutes);
        int x = 85 * scale;
        for (int i = 0; i < 3; ++i) {
            std::snprintf(s.redSpot[i], sizeof s.redSpot[i], "%02dh%02d", ((hours[i] % 24) + 24) % 24, minutes[i]);
            const int n = static_cast<int>(std::strlen(s.redSpot[i]));
            DrawChars(s.redSpot[i], n, x, 216 * scale);
            x += 8 * n + 5;
        }
        l.drawJupiter(t.year, t.month, t.day, t.hour, t.minute, Bounds{0, 226 * scale, s.screenWidth, bottom - 226 * scale});
        s.lowerPanel = 1;
        return;
    }
    if (body && o.number == kBodySaturn && tall && l.drawSaturn) {
        SetForeColor(GetBackColor());
        FillRectangle(Bounds{0, 218 * scale, s.screenWidth, bottom - 218 * scale});
        l.drawSaturn(t.year, t.month, t.day, t.hour, t.minute, Bounds{0, 226 * scale, s.screenWidth, bottom - 226 * scale});
        s.lowerPanel = 2;
        return;
    }
    if (s.screenWidth == s.screenHeight) return;
    if (tall) {
        if (bottom - 220 * scale < 40) return;
        DrawFinderChart(o, s.name, Bounds{0, 220 * scale, s.screenWidth, bottom - 220 * scale}, 0, t.year, t.month,
                        t.day, t.hour, t.minute);
        s.lowerPanel = 3;
    } else if (s.screenWidth > 240 * static_cast<int>(screenScale.horizontal)) {
        const int x = Sx(230);
        DrawFinderChart(o, s.name, Bounds{x, Sy(24), s.screenWidth - x, bottom - Sy(24)}, 0, t.year, t.month, t.day,
                        t.hour, t.minute);
        s.lowerPanel = 3;
    }
}

// The observing panel of the object shown.
void ShowObservingData() {
    ObjectInfoState& s = objectInfoState;
    const ObjectRef& o = currentObject.object;
    const int page = Page();
    const double limit = TelescopeLimit();
    SetField(kSizeLabel, o.type == kTypeStar ? "BV" : o.type == kTypeMeteor ? "Start" : "Size");
    SetField(kMagnitudeLabel, o.type == kTypeMeteor ? "Max" : "Magnitude");
    SetField(kEyepieceLabel, o.type == kTypeMeteor ? "End" : "Eyepiece");

    int magnification = 0;
    double margin = 0;
    s.bestEyepiece = 0;
    if (o.type != kTypeMeteor) {
        EstimateVisibility(GetApertureMm(), GetFocalLengthMm(), GetSiteSkyBrightness(), o.magnitude, o.sizeA,
                           o.sizeB, &magnification, &margin);
        s.visibility = o.magnitude < limit && margin > 0 ? margin : 0;
        if (page == 0 || page == 3) s.visibility = 3.0;
        if (magnification > 0 && GetFocalLengthMm() > 0) s.bestEyepiece = GetFocalLengthMm() / magnification;
    } else {
        const int activity = meteorShowerTable[o.number % kMeteorShowerCount].activityClass;
        s.visibility = activity == 1 ? 3.0 : activity == 3 ? 1.5 : activity == 4 ? 1.0 : 2.0;
    }
    DrawDifficultyScale(kDifficulty, s.visibility);

    const ObservingDateTime& t = observingDateTime;
    const bool timeOk = TimeFieldParses();
    if (timeOk) DrawBestPeriodBar(Sx(98), Sy(202), Sx(130), Sy(15), t.year, o.ra, o.dec, t.month, t.day);
    for (int id : {kRa, kDec, kAzimuth, kAltitude}) SetField(id, "");
    char text[48];
    if (timeOk) {
        const int mode = page == 2 || page == 7 ? kModeNone : preferences.word[pref::coordinateMode];
        double ra = 0, dec = 0, alt = 0, az = 0;
        ComputeApparentPosition(o.ra, o.dec, &ra, &dec, &alt, &az, mode, t.year, t.month, t.day, t.hour, t.minute,
                                t.second);
        s.altitude = alt;
        SetField(kRa, HMSToStr(text, sizeof text, ra));
        SetField(kDec, DMSToStr(text, sizeof text, dec));
        SetField(kAzimuth, DMSToStr(text, sizeof text, az));
        SetField(kAltitude, DMSToStr(text, sizeof text, alt));
    }
    ComputeEvents(o);

    const bool hasConstellation = o.constellation >= 0 && o.constellation < kConstellationCount;
    SetField(kConstellation, hasConstellation ? ConstellationTable[o.constellation].abbreviation : "");
    const bool typeKnown = o.type >= 0 && o.type < kObjectTypeCount;
    SetField(kType, typeKnown ? ObjectTypeTable[o.type].name : "");
    char code[kTypeCodeTextSize] = {};
    if (o.type != kTypePlanet && o.type != kTypeMeteor && o.type != kTypeStar && o.type != kTypeConstellation &&
        o.catalog != kCatalogComet)
        GetTypeCodeText(code, o.morphology);
    SetField(kTypeText, code);
    if (typeKnown) DrawObjectSymbol(o.type, 0, Sx(118), Sy(65));

    if (o.type == kTypeMeteor) {
        const MeteorShower& m = meteorShowerTable[o.number % kMeteorShowerCount];
        std::snprintf(text, sizeof text, "%02d-%s", m.peakDay, MonthName(m.peakMonth));
        SetField(kMagnitude, text);
        std::snprintf(text, sizeof text, "%02d-%s", m.endDay, MonthName(m.endMonth));
        SetField(kEyepiece, text);
    } else {
        std::snprintf(text, sizeof text, "%.1f", o.magnitude);
        SetField(kMagnitude, text);
        if (!(o.magnitude < limit))
            SetField(kEyepiece, "None");
        else if (s.bestEyepiece <= 0)
            SetField(kEyepiece, "none");
        else {
            std::snprintf(text, sizeof text, "%dmm", s.bestEyepiece);
            SetField(kEyepiece, text);
        }
    }
    char distance[kDistanceTextSize];
    FormatDistance(o, distance);
    SetField(kDistance, distance);
    SizeText(o, text, sizeof text);
    SetField(kSize, text);
    DrawLowerPanel(o);
}

// The picture name of the object shown, with its folder kind and catalog code.
struct PictureName {
    char name[48];
    int kind;
    int catalog;
};

PictureName PictureOf(const ObjectRef& o, int page) {
    PictureName p{};
    p.catalog = static_cast<int>(o.catalog);
    p.kind = 0;
    switch (page) {
        case 3:
            std::snprintf(p.name, sizeof p.name, "%s", ConstellationTable[o.number % kConstellationCount].abbreviation);
            p.kind = 13;
            break;
        case 5:
            std::snprintf(p.name, sizeof p.name, "M%d", Number());
            p.kind = 40;
            break;
        case 7:
            std::snprintf(p.name, sizeof p.name, "%s", o.name);
            p.kind = 45;
            break;
        default: {
            // Caldwell, Herschel and SAC objects keep the pictures of the records they stand for.
            ObjectRef record = o;
            if (page == 1 && !GetCaldwellObject(Number() - 1, &record)) record = o;
            if (page == 4 && !GetHerschelObject(Number() - 1, &record)) record = o;
            p.catalog = static_cast<int>(record.catalog);
            std::snprintf(p.name, sizeof p.name, "%s%u", CatalogPrefix(p.catalog), record.number);
            break;
        }
    }
    return p;
}

void PickObjectInfoPage(int page);

void DrawObjectInfo() {
    ObjectInfoState& s = objectInfoState;
    PushFormHistory(kObjectInfoFormId);
    GetScreenSize(&s.screenWidth, &s.screenHeight);
    SetNightMode(preferences.word[pref::nightMode] > 0);
    // A caller that set a new current object (the chart, the lists) is shown that object.
    if (currentObject.changed) {
        s.listNumber = Number();
        currentObject.changed = 0;
    }
    const Window w = GetActiveForm();
    for (int id : {kBack, kFind, kSky, kGoto, kDate, kTime, kClock, kRiseSet, kBestPeriod}) ShowObject(w, id);
    PickObjectInfoPage(IsObjectSelected() ? static_cast<int>(GetSelectionKind()) : Page());
}

void PickObjectInfoPage(int page) {
    ObjectInfoState& s = objectInfoState;
    if (!PageValid(page)) page = kObjectInfoFinderPage;
    SetPopupList(kCatalogPopup, kCatalogList, page);
    SettleObservingTime();
    ShowDateFields();
    if (page == 0) LoadStarTable(0);
    const int rows = ObjectInfoPageSize(page);
    SetListRows(kObjectList, rows);
    if (page == Page()) {
        const int n = Number();
        if (n >= 1 && n <= rows) SetListSelection(kObjectList, n - 1);
    } else {
        Page() = page;
        s.listNumber = 0;
        SetNumber(0);
        s.name[0] = '\0';
        SetPopupLabel(kObjectPopup, "");
        ClearObjectFields();
    }
    ShowObjectInfo();
}

// One row of the object list: the object's text beside its symbol.
void DrawObjectInfoListRow(int row, Bounds rect, int /*flag*/) {
    const int page = Page();
    char label[kObjectTextSize] = {}, second[kObjectTextSize] = {};
    ObjectRef o;
    if (page == kObjectInfoFinderPage) {
        GetSelectedName(label);
    } else if (!BuildObjectDescription(PageCatalog(page), row, &o, label, second, 0, nullptr)) {
        return;
    } else if (o.type >= 0 && o.type < kObjectTypeCount) {
        DrawObjectSymbol(o.type, 0, rect.x + Sx(6), rect.y + rect.height / 2);
    }
    char text[2 * kObjectTextSize + 4];
    std::snprintf(text, sizeof text, second[0] ? "%s, %s" : "%s", label, second);
    DrawChars(text, static_cast<int>(std::strlen(text)), rect.x + Sx(14), rect.y);
}

void SetObjectInfoNow() {
    ObservingDateTime& t = observingDateTime;
    GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    ShowDateFields();
    ShowObjectInfo();
}

void Step(int step) {
    ObjectInfoState& s = objectInfoState;
    const int page = Page();
    if (ObjectInfoPageSize(page) <= 0) {
        s.listNumber = 0;
        return;
    }
    ClearObjectSelection();
    selectionList.currentPosition = -1;
    const int current = s.listNumber > 0 ? s.listNumber : Number();
    s.listNumber = StepObjectInfoNumber(page, current, step);
    char text[16];
    std::snprintf(text, sizeof text, "%d", s.listNumber);
    if (txtBuffer) std::snprintf(txtBuffer, kTxtBufferSize, "%s", text);
    SetListSelection(kObjectList, s.listNumber - 1);
    ShowObjectInfo();
}

void ReleaseObjectInfoControls(Window w) {
    *Redraw() = 1;
    for (int id : {kObjectPopup, kCatalogPopup, kTitle, kUsage, kDescription, kRiseSet, kBestPeriod, kBack, kFind,
                   kSky, kGoto, kClock, kTypeIcon, kDifficulty, kPicture, kRa, kDec, kAzimuth, kAltitude,
                   kConstellation, kSize, kDistance, kMagnitude, kEyepiece, kTypeText, kType, kDate, kTime,
                   kRise, kTransit, kSet, kSizeLabel, kMagnitudeLabel, kEyepieceLabel})
        ReleaseControl(w, id);
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "ObjectInfo");
    for (int i = kObjectInfoPageCount - 1; i >= 0; --i) AppendListItem(w, kCatalogList, objectInfoPages[i].label);
    InitPopupList(w, kCatalogPopup, kCatalogList, -1, 0, Page());
    InitPopupList(w, kObjectPopup, kObjectList, 0, 0, -1);
    SetListDrawFunction(w, kObjectPopup, &DrawObjectInfoListRow);
    InitButton(w, kUsage, 5076, 0, 0);
    InitButton(w, kDescription, 5125, 0, 0);
    InitButton(w, kRiseSet, 5125, 0, 0);
    InitButton(w, kBestPeriod, 5125, 0, 0);
    InitButton(w, kBack, 5074, 0, 0);
    const bool night = preferences.word[pref::nightMode] > 0;
    InitButton(w, kFind, night ? 5134 : 5124, 1, 0xFFFFFF);
    InitButton(w, kSky, night ? 5138 : 5094, 1, 0xFFFFFF);
    InitButton(w, kGoto, night ? 5136 : 5070, 1, 0xFFFFFF);
    InitButton(w, kDifficulty, night ? 5007 : 5002, 1, 0xFFFFFF);
    InitButton(w, kClock, 120, 0, 0);
    InitButton(w, kTypeIcon, 3030, 0, 0);
    InitButton(w, kPicture, 1941, 0, 0);
    for (int id : {kRa, kDec, kAzimuth, kAltitude, kConstellation, kSize, kDistance, kMagnitude, kEyepiece,
                   kTypeText, kType, kDate, kTime, kRise, kTransit, kSet})
        InitField(w, id, 0);
    for (int id : {kSizeLabel, kMagnitudeLabel, kEyepieceLabel}) InitLabel(w, id);
}

}  // namespace

const char* MonthAbbreviation(int month) {
    static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return month >= 1 && month <= 12 ? kMonths[month - 1] : "---";
}

int ObjectInfoPageSize(int page) {
    switch (page) {
        case 0: return GetBrightStarCount();
        case 1: return 109;
        case 2: return GetDbRecordCount(cometDb, 1);
        case 3: return kConstellationCount;
        case 4: return 400;
        case 5: return 110;
        case 6: return kMeteorShowerCount;
        case 7: return 10;
        case 8: return 110;
        case 9: return GetUserObjectCount();
        default: return 0;
    }
}

int StepObjectInfoNumber(int page, int number, int step) {
    int count = ObjectInfoPageSize(page);
    // The last bright-star row is not a star of its own.
    if (page == 0) count -= 1;
    if (count <= 0) return 0;
    int n = number + step;
    if (n > count) n = 1;
    if (n < 1) n = count;
    return n;
}

void ShowObjectInfo() {
    ObjectInfoState& s = objectInfoState;
    const Window w = GetActiveForm();
    SettleObservingTime();
    HideObject(w, kPicture);
    ShowDateFields();

    // The number to show: the selection's, the selection list's current entry, or the one
    // stepped to.
    const int page = Page();
    if (IsObjectSelected() && page != kObjectInfoFinderPage) {
        std::uint32_t sub = 0;
        GetSelectedObject(&currentObject.object, &sub);
        if (sub != 10) s.listNumber = static_cast<int>(sub);
    }
    const int position = selectionList.currentPosition;
    if (page != kObjectInfoFinderPage && position >= 0 && position < selectionList.indexCount &&
        selectionList.records) {
        const int record = GetSelectionObject(position);
        if (record >= 0) s.listNumber = selectionList.records[record].objectNumber + 1;
    }

    s.present = 0;
    const int count = ObjectInfoPageSize(page);
    if (page != kObjectInfoFinderPage) {
        // A comet page reached with no number shows the first comet.
        if (page == 2 && s.listNumber == 0 && Number() <= 0 && count > 0) s.listNumber = 1;
        if (s.listNumber >= 1 && s.listNumber <= count)
            s.present = 1;
        else if (Number() >= 1 && Number() <= count) {
            s.listNumber = Number();
            s.present = 1;
        }
    } else if (IsObjectSelected()) {
        std::uint32_t sub = 0;
        GetSelectedObject(&currentObject.object, &sub);
        s.present = 1;
        s.listNumber = static_cast<int>(currentObject.object.number) + 1;
    } else {
        s.listNumber = -1;
        SetNumber(-1);
    }

    if (s.present) {
        const ObservingDateTime& t = observingDateTime;
        char dateText[40] = {};
        GetField(kDate, dateText, sizeof dateText);
        int d = t.day, m = t.month, y = t.year;
        ParseDate(dateText, &d, &m, &y);
        if (y > 0 && m >= 1 && m <= 12 && d >= 1) SetObservingDateTime(y, m, d, t.hour, t.minute, t.second);
        char label[kObjectTextSize] = {}, second[kObjectTextSize] = {};
        ObjectRef o;
        bool loaded = true;
        if (page != kObjectInfoFinderPage) {
            if ((page == 0 || page == 7) && !TimeFieldParses()) {
                SetNumber(s.listNumber);
                return;
            }
            loaded = BuildObjectDescription(PageCatalog(page), s.listNumber - 1, &o, label, second, 1, nullptr);
            if (loaded) currentObject.object = o;
        } else {
            GetSelectedName(label);
        }
        char text[2 * kObjectTextSize + 4];
        std::snprintf(text, sizeof text, second[0] ? "%s, %s" : "%s", label, second);
        SetPopupLabel(kObjectPopup, text);
        if (!loaded) {
            // A record that cannot be read leaves the fields as they were.
            s.present = 0;
            SetNumber(s.listNumber);
            return;
        }
        std::snprintf(s.name, sizeof s.name, "%s", page == 3 ? second : label);
        if (page == 7 || page == 0 || page == 2 || page == 9 || page == kObjectInfoFinderPage)
            std::snprintf(s.name, sizeof s.name, "%s", currentObject.object.name[0] ? currentObject.object.name : label);
        if (platform::IsWindow(w)) {
            const ObjectRef& cur = currentObject.object;
            int icon = 0;
            if (page == 5)
                icon = 2999 + s.listNumber;
            else if (page == 2)
                icon = 3996;
            else if (cur.type >= 0 && cur.type < kObjectTypeCount && ObjectTypeTable[cur.type].icon > 0)
                icon = 2999 + ObjectTypeTable[cur.type].icon;
            SetButtonIcon(w, kTypeIcon, icon > 0 ? icon : 5029, 0, 0);
            const PictureName picture = PictureOf(cur, page);
            if (FindObjectPicture(page == 0 ? "star" : picture.name, picture.kind, picture.catalog))
                ShowObject(w, kPicture);
        }
        ShowObservingData();
    } else {
        SetPopupLabel(kObjectPopup, "");
        s.lowerPanel = 0;
    }
    SetNumber(s.listNumber);
}

void ShowObjectFieldHelp(int n) {
    const ObjectRef& o = currentObject.object;
    char heading[160] = {}, detail[256] = {};
    switch (n) {
        case 0: {
            const bool has = o.constellation >= 0 && o.constellation < kConstellationCount;
            std::snprintf(heading, sizeof heading, "Constellation (%s)",
                          has ? ConstellationTable[o.constellation].abbreviation : "");
            if (has) std::snprintf(detail, sizeof detail, "%s", ConstellationTable[o.constellation].name);
            break;
        }
        case 1: {
            const char* name = o.type >= 0 && o.type < kObjectTypeCount ? ObjectTypeTable[o.type].name : "";
            const bool vowel = name[0] && std::strchr("AEIOUaeiou", name[0]);
            std::snprintf(heading, sizeof heading, "%s", vowel ? "The current object is an" : "The current object is a");
            std::snprintf(detail, sizeof detail, "%s", name);
            break;
        }
        case 2: std::snprintf(heading, sizeof heading, "Rise Time"); break;
        case 3: std::snprintf(heading, sizeof heading, "Transit Time"); break;
        case 4: std::snprintf(heading, sizeof heading, "Set Time"); break;
        case 5: std::snprintf(heading, sizeof heading, "Rise Day"); break;
        case 6: std::snprintf(heading, sizeof heading, "Transit Day"); break;
        case 7: std::snprintf(heading, sizeof heading, "Set Day"); break;
        case 8:
            std::snprintf(heading, sizeof heading, "Rise Elevation:");
            std::snprintf(detail, sizeof detail, "Elevation of the object above the horizon at Rise considering Horizon Preference.");
            break;
        case 9:
            std::snprintf(heading, sizeof heading, "Transit Elevation:");
            std::snprintf(detail, sizeof detail, "Provides the maximum altitude (highest elevation) of the object at transit.");
            break;
        case 10:
            std::snprintf(heading, sizeof heading, "Set Elevation:");
            std::snprintf(detail, sizeof detail, "Elevation of the object aboce the horizon at Set considering Horizon Preference.");
            break;
        case 11:
            std::snprintf(heading, sizeof heading, "Magnitude:");
            std::snprintf(detail, sizeof detail, "The larger the value, the fainter the object.");
            break;
        case 12: std::snprintf(heading, sizeof heading, "Right Ascension"); break;
        case 13: std::snprintf(heading, sizeof heading, "Declination"); break;
        case 14: std::snprintf(heading, sizeof heading, "Azimuth"); break;
        case 15: std::snprintf(heading, sizeof heading, "Altitude:\nA positive value means object is above horizon."); break;
        case 16: {
            const char* head[3] = {"Best Eyepiece computed to observe the object considering:", "Object Magnitude",
                                   "Object Dimensions"};
            const char* tail[3] = {"Sky Brightness", "Scope Diameter", "Scope Focal Length"};
            Bulleted(heading, sizeof heading, head, 3);
            Bulleted(detail, sizeof detail, tail, 3);
            ShowMessage(heading, detail);
            return;
        }
        default: return;
    }
    ShowMessage(heading, detail);
}

void ShowRiseSetMessage() {
    const ObjectInfoState& s = objectInfoState;
    char rise[24], transit[24], set[24], heading[64], line1[48], line2[48], detail[128];
    HMSToStr(rise, sizeof rise, s.rise);
    HMSToStr(transit, sizeof transit, s.transit);
    HMSToStr(set, sizeof set, s.set);
    if (s.rise > 0 && s.set < 23.9) {
        std::snprintf(heading, sizeof heading, "\x95 Rise    %s", rise);
        std::snprintf(line1, sizeof line1, "Transit %s", transit);
        std::snprintf(line2, sizeof line2, "Set     %s", set);
        const char* lines[2] = {line1, line2};
        Bulleted(detail, sizeof detail, lines, 2);
    } else if (s.transit != 0) {
        std::snprintf(heading, sizeof heading, "\x95 Circumpolar object");
        std::snprintf(detail, sizeof detail, "\x95 Transit %s", transit);
    } else {
        std::snprintf(heading, sizeof heading, "\x95 Object never visible.");
        detail[0] = '\0';
    }
    ShowMessage(heading, detail);
}

int SendScopeToObject(const ObjectRef& o, int present, int isSun) {
    const ObservingDateTime& t = observingDateTime;
    const ObserverLocation& site = observerLocation;
    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second, site.longitude,
                                         site.zoneMinutes);
    if (!present) {
        ShowMessage(kNoObject, "");
        return 0;
    }
    if (!(ComputeAltitude(lst, o.ra, o.dec, site.latitude) > 2.0)) {
        ShowMessage("This object is below the horizon", "");
        return 0;
    }
    if (isSun) {
        ShowMessage("Sorry, GoTo to Sun is disable.", "");
        return 0;
    }
    if (!objectFormLinks.scopeGoto) return 0;
    objectFormLinks.scopeGoto(o.ra, o.dec, o.type == kTypePlanet ? kModeNone : kModeTopocentricRefracted);
    return 1;
}

int ConfirmChartShowsObject(double altitude) {
    const int mode = preferences.word[pref::chartMode];
    if (mode == 2 || mode == 4 || !(altitude < 0)) return 1;
    if (AskYesNo("This object is below horizon and will not be displayed in your current chart.\n\n",
                 "Do you want to change your chart to see it?"))
        return 0;
    preferences.word[pref::chartMode] = 2;
    UpdateCurrentTime(1);
    return 1;
}

void ObjectInfoGoto() {
    SendScopeToObject(currentObject.object, objectInfoState.present, Page() == 7 && Number() == 1);
}

void ShowObjectOnChart() {
    const ObjectInfoState& s = objectInfoState;
    if (!s.present) {
        ShowMessage(kNoObject, "");
        return;
    }
    SettleObservingTime();
    const ObservingDateTime& t = observingDateTime;
    const ObserverLocation& site = observerLocation;
    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, 0, site.longitude, site.zoneMinutes);
    const int page = Page();
    ObjectRef& o = currentObject.object;
    const bool selected = IsObjectSelected();
    if (page != kObjectInfoFinderPage) o.number = static_cast<std::uint32_t>(Number() - 1);
    if (page == 2) o.type = kTypeComet;
    if (page == 6) o.type = kTypeMeteor;
    if (page == 7) o.type = kTypePlanet;
    int category = PageValid(page) ? objectInfoPages[page].chartCategory : 0;
    int type = PageValid(page) ? objectInfoPages[page].chartType : 0;
    if (page == 9) category = static_cast<int>(o.catalog), type = o.type;
    if (page == kObjectInfoFinderPage) category = selected ? GetTypeCategory(o.type) : 0, type = 0;
    const ObjectRef object = o;
    InitSelectionCriteria(category, static_cast<int>(object.catalog), type);
    if (selectionList.indexCount < 0) selectionList.indexCount = 0;
    SetSkyDateTime(&o, t.year, t.month, t.day, t.hour, t.minute);
    const int row = SelectChartObject(object, category);
    selectionList.currentPosition = row;
    if (!ConfirmChartShowsObject(ComputeAltitude(lst, object.ra, object.dec, site.latitude))) return;
    GotoForm(1900);
}

namespace {

// The HR number of a row of the bright-star names: the number of the star it points at
// (the row itself is only its place in the name order); 0 when it cannot be read.
int BrightStarHrNumber(int row) {
    BrightStarRecord named;
    if (!GetBrightStarRecord(row, &named) || !LoadStarTable(0)) return 0;
    if (named.starIndex < 0 || named.starIndex >= GetStarTableCount()) return 0;
    return BrightStars()[named.starIndex].StarNumber();
}

}  // namespace

ObjectRef CatalogRecordOf(const ObjectRef& o) {
    ObjectRef record;
    const int n = static_cast<int>(o.number);
    if (o.catalog == kCatalogMessier && GetMessierObject(n, &record)) return record;
    if (o.catalog == kCatalogCaldwell && GetCaldwellObject(n, &record)) return record;
    return o;
}

void ShowObjectDescription() {
    if (!objectInfoState.present) return;
    const ObjectRef& o = currentObject.object;
    const ObjectFormLinks& l = objectFormLinks;
    switch (o.catalog) {
        case kCatalogComet:
            if (l.setCurrentComet) l.setCurrentComet(static_cast<int>(o.number));
            if (l.setOrbitPage) l.setOrbitPage(1);
            GotoForm(2550);
            return;
        case kCatalogBrightStar:
        case kCatalogHr: {
            std::int16_t others[4] = {};
            std::uint32_t numbers[4] = {};
            char common[48] = {};
            const int number = o.catalog == kCatalogBrightStar ? BrightStarHrNumber(static_cast<int>(o.number))
                                                                : static_cast<int>(o.number);
            const int found = FindCrossReference(kCatalogHr, static_cast<std::uint32_t>(number), others, numbers, 3,
                                                 common, sizeof common);
            char text[256];
            std::size_t used = std::snprintf(text, sizeof text, "%s", found ? common : o.name);
            used += std::snprintf(text + used, sizeof text - used, "\n%s%d", CatalogPrefix(kCatalogHr), number);
            for (int i = 0; found && i < 3 && used < sizeof text; ++i)
                if (others[i] > 0)
                    used += std::snprintf(text + used, sizeof text - used, "\n%s%u", CatalogPrefix(others[i]), numbers[i]);
            ShowMessage("Identifiers:", text);
            return;
        }
        case kCatalogPlanet:
            switch (o.number + 1) {
                case 2: GotoForm(6000); return;  // the Moon
                case 5:
                    if (l.selectMarsView) l.selectMarsView();
                    GotoForm(2460);
                    return;
                case 6:
                    if (l.selectJupiterView) l.selectJupiterView();
                    GotoForm(2460);
                    return;
                case 7:
                    if (l.selectSaturnView) l.selectSaturnView();
                    GotoForm(2460);
                    return;
                default: return;
            }
        default: {
            // Descriptions and names are kept under the object's own designation.
            const ObjectRef record = CatalogRecordOf(o);
            char raw[kDreyerDescriptionSize] = {}, expanded[256] = {};
            if (!GetDreyerTexts(&record, raw, expanded, sizeof expanded)) {
                ShowMessage("No description available.", "");
                return;
            }
            char common[48] = {};
            std::int16_t other = 0;
            std::uint32_t otherNumber = 0;
            FindCrossReference(static_cast<int>(record.catalog), record.number, &other, &otherNumber, 1, common,
                               sizeof common);
            char heading[160];
            std::snprintf(heading, sizeof heading, "%s%sDreyer code:\n%s\n\nTranslation:", common, common[0] ? "\n" : "",
                          raw);
            ShowMessage(heading, expanded);
            return;
        }
    }
}

int ObjectInfoCommand(int id) {
    ObjectInfoState& s = objectInfoState;
    const int page = Page();
    const bool none = !s.present;
    const bool noNumber = Number() < 0 && !IsObjectSelected();
    switch (id) {
        case 1:
        case kBack: GoBackForm(); return 1;
        case kObjectList: {
            if (GetListSelection(kCatalogList) != 2) ClearObjectSelection();
            const int row = GetListSelection(kObjectList);
            if (row >= 0 && row + 1 != s.listNumber && !IsObjectSelected()) s.listNumber = row + 1;
            selectionList.currentPosition = -1;
            ShowObjectInfo();
            return 1;
        }
        case kCatalogList: {
            const int row = GetListSelection(kCatalogList);
            if (txtBuffer) txtBuffer[0] = '\0';
            ClearObjectSelection();
            PickObjectInfoPage(row);
            return 1;
        }
        case kRefresh: ShowObjectInfo(); return 1;
        case kRise:
        case kTransit:
        case kSet:
            if (none || noNumber) return 1;
            ShowRiseSetMessage();
            return 1;
        case kConstellation:
        case kType:
            if (none || noNumber) return 1;
            ShowObjectFieldHelp(id == kConstellation ? 0 : 1);
            return 1;
        case kMagnitude:
            if (!none) ShowObjectFieldHelp(11);
            return 1;
        case kEyepiece:
            if (!none) ShowObjectFieldHelp(16);
            return 1;
        case kSize: return 1;
        case kUsage:
            ShowMessage("\x95 Use the popup to choose the object type,\n\x95 Use Up or Down PDA keys to go to next or previous object,",
                        "\x95 Tap on underlined fields or graphics to get more information,\n\x95 Tap on the date/hours fields or clock icon to update the date.");
            return 1;
        case kFind: RequestChartCentre(kObjectInfoFormId, page == kObjectInfoFinderPage ? -1 : PageCatalog(page)); return 1;
        case kSky: ShowObjectOnChart(); return 1;
        case kGoto: ObjectInfoGoto(); return 1;
        case kClock: SetObjectInfoNow(); return 1;
        case kDescription: ShowObjectDescription(); return 1;
        case kRiseSet: {
            if (none) return 1;
            const ObservingDateTime& t = observingDateTime;
            // The ephemeris opens on the object shown.
            SetObjectSelection(&currentObject.object, 10);
            OpenEphemeris(page == kObjectInfoFinderPage ? static_cast<int>(currentObject.object.number) : Number() - 1,
                          PageCatalog(page), t.year, t.month, t.day, t.hour, t.minute);
            return 1;
        }
        case kBestPeriod: {
            if (none) return 1;
            const ObjectRef& o = currentObject.object;
            const ObservingDateTime& t = observingDateTime;
            if (objectFormLinks.openDarknessForm)
                objectFormLinks.openDarknessForm(s.name, PageCatalog(page), Number() - 1, o.ra, o.dec,
                                                 o.type == kTypePlanet ? static_cast<int>(o.number) : -1, t.year,
                                                 t.month);
            else
                GotoForm(2410);
            return 1;
        }
        case kPicture: {
            if (none) return 1;
            const PictureName p = PictureOf(currentObject.object, page);
            ShowObjectPicture(page == 0 ? "star" : p.name, 0, 0, Sx(160), Sy(160), 1, p.kind, p.catalog);
            return 1;
        }
        default: return 0;
    }
}

int ObjectInfoKeyDown(int key) {
    switch (key) {
        case platform::kKeyPageUp:
        case platform::kKeyDown:
        case platform::kKeyRight: Step(1); return 1;
        case platform::kKeyPageDown:
        case platform::kKeyUp:
        case platform::kKeyLeft: Step(-1); return 1;
        default: return 0;
    }
}

int LayoutObjectInfo(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    for (int id : {kBack, kFind, kSky, kGoto}) MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kDate, kTime, kClock}) MoveObject(dialog, id, dx, dy, 0, 0);
    MoveObject(dialog, kUsage, dx, 0, 0, 0);
    MoveObject(dialog, kObjectList, 0, 0, 0, dy);
    return 1;
}

LResult ObjectInfo(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
        case platform::kMsgInitDialog: {
            OpenSelfLaidOutForm(w, nullptr, Redraw(), &MakeControls, &LayoutObjectInfo);
            return 1;
        }
        case platform::kMsgPaint: PaintForm(w, &DrawObjectInfo, Redraw(), 0, 0); return 1;
        case platform::kMsgKeyDown: return ObjectInfoKeyDown(static_cast<int>(wParam));
        case kMsgFieldTap: {
            const int id = static_cast<int>(wParam);
            Repaint();
            return ObjectInfoCommand(id);
        }
        case platform::kMsgClose:
            ReleaseObjectInfoControls(w);
            return 0;
        case platform::kMsgCommand: {
            const int id = platform::LowWord(wParam);
            if (id == kCmdCloseForm) {
                ReleaseObjectInfoControls(w);
                CloseForm(kObjectInfoFormId);
                return 1;
            }
            if (id == kCatalogPopup || id == kObjectPopup) {
                const int handled = ObjectInfoCommand(platform::HighWord(wParam));
                if (handled) Repaint();
                return handled;
            }
            return ObjectInfoCommand(id);
        }
        default: return 0;
    }
}
