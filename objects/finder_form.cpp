#include "objects/finder_form.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/horizontal.h"
#include "astro/rise_set.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/descriptions.h"
#include "catalog/object_lookup.h"
#include "catalog/object_selection.h"
#include "catalog/record_file.h"
#include "catalog/star_tables.h"
#include "chart/chart_services.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/ephemeris_form.h"
#include "objects/object_form_links.h"
#include "objects/object_info_form.h"
#include "objects/object_pictures.h"
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
#include "shell/text_input.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace finder_form;

namespace {

constexpr int kChartForm = 1900;
constexpr const char* kNotFound = "Sorry, no object was found.";

std::int32_t* Redraw() { return FormRedrawFlag(kFinderFormId); }
int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }

FinderEntry& F() { return finderEntry; }

const char* Prefix(int catalog) {
    if (catalog <= 0 || catalog >= kCatalogCount) return "None";
    return CatalogTable[catalog].prefix;
}

// The prefix as the number field shows it: at most 10 characters, without trailing blanks.
void FieldPrefix(int catalog, char* out, std::size_t size) {
    std::snprintf(out, size, "%.10s", Prefix(catalog));
    for (std::size_t n = std::strlen(out); n > 0 && out[n - 1] == ' '; --n) out[n - 1] = '\0';
}

// The catalogs picked from the list, not typed.
bool ListCatalog(int catalog) {
    switch (catalog) {
        case kCatalogComet:
        case kCatalogConstellation:
        case kCatalogMeteor:
        case kCatalogPlanet:
        case kCatalogBrightStar:
        case kCatalogUser: return true;
        default: return false;
    }
}

bool FieldCatalog(int catalog) {
    return catalog == kCatalogHipparcos || catalog == kCatalogHr || catalog == kCatalogTycho;
}

int ListRows(int catalog) {
    switch (catalog) {
        case kCatalogCaldwell: return 109;
        case kCatalogComet: return GetDbRecordCount(cometDb, 1);
        case kCatalogConstellation: return kConstellationCount;
        case kCatalogHerschel: return 400;
        case kCatalogMessier:
        case kCatalogBestNgc: return 110;
        case kCatalogMeteor: return kMeteorShowerCount;
        case kCatalogPlanet: return 10;
        case kCatalogBrightStar: return GetBrightStarCount();
        case kCatalogUser: return GetUserObjectCount();
        case kCatalogHipparcos:
        case kCatalogHr:
        case kCatalogTycho: return 0;
        default: {
            if (catalog <= 0 || catalog >= kCatalogCount) return 0;
            const int n = CatalogTable[catalog].last - CatalogTable[catalog].first;
            return n > 0 ? n : 0;
        }
    }
}

// The catalogs of the popup, as GetCatalogList gives them.
struct CatalogChoice {
    const char* names[kMaxCatalogListEntries];
    int codes[kMaxCatalogListEntries];
    int count;
};
CatalogChoice Catalogs() {
    CatalogChoice c{};
    c.count = GetCatalogList(c.names, c.codes);
    return c;
}

int CatalogRow(int catalog) {
    const CatalogChoice c = Catalogs();
    for (int i = 0; i < c.count; ++i)
        if (c.codes[i] == catalog) return i;
    return -1;
}

void ComputeFinderPlace() {
    FinderEntry& f = F();
    const ObjectRef& o = objectSelection.object;
    const ObservingDateTime& t = observingDateTime;
    ComputeApparentPosition(o.ra, o.dec, &f.ra, &f.dec, &f.altitude, &f.azimuth, preferences.word[pref::coordinateMode],
                            t.year, t.month, t.day, t.hour, t.minute, t.second);
}

void SetFound(const ObjectRef& o, std::uint32_t subIndex, const char* designation) {
    SetObjectSelection(&o, subIndex);
    objectSelection.kind = static_cast<std::uint32_t>(CatalogToListIndex(o));
    std::snprintf(objectSelection.displayName, sizeof objectSelection.displayName, "%.31s", designation);
    F().found = 1;
}

void Repaint() {
    *Redraw() = 1;
    if (platform::IsWindow(formWindow)) platform::InvalidateRect(formWindow, nullptr, false);
}

// The picture of the object found: its name (empty for the user catalog) and the catalog
// whose folder holds it.
struct FinderPicture {
    std::string name;
    int catalog;
};
FinderPicture PictureName() {
    const FinderEntry& f = F();
    const ObjectRef& o = objectSelection.object;
    char name[48] = {};
    int catalog = f.catalog;
    if (f.catalog == kCatalogUser) return {{}, catalog};
    if (f.catalog == kCatalogPlanet) {
        std::snprintf(name, sizeof name, "%s", o.name);
    } else if (f.catalog == kCatalogConstellation) {
        const int n = std::atoi(f.designation);
        if (n >= 0 && n < 90) std::snprintf(name, sizeof name, "%s", ConstellationTable[n % kConstellationCount].abbreviation);
    } else if (f.catalog == kCatalogCaldwell || f.catalog == kCatalogHerschel) {
        ObjectRef record;
        const int n = std::atoi(f.designation) - 1;
        // The picture of the record it stands for, in that record's folder.
        if ((f.catalog == kCatalogCaldwell ? GetCaldwellObject(n, &record) : GetHerschelObject(n, &record))) {
            catalog = static_cast<int>(record.catalog);
            std::snprintf(name, sizeof name, "%s%u", Prefix(catalog), record.number);
        }
    } else {
        char prefix[16];
        FieldPrefix(f.catalog, prefix, sizeof prefix);
        std::snprintf(name, sizeof name, "%.15s%.30s", prefix, f.designation);
    }
    return {name, catalog};
}

void DrawRow(int& y, const char* label, const char* value) {
    DrawChars(label, static_cast<int>(std::strlen(label)), Sx(2), y);
    DrawChars(value, static_cast<int>(std::strlen(value)), Sx(50), y);
    y += Sy(14);
}

void DrawFinderData() {
    const FinderEntry& f = F();
    const Window w = GetActiveForm();
    HideObject(w, kEphemeris);
    HideObject(w, kPicture);
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    SetForeColor(GetBackColor());
    FillRectangle(Bounds{0, Sy(126), width, height - Sy(126) - Sy(24)});
    SetForeColor(GetForeColor());
    if (!f.found) return;
    const ObjectRef& o = objectSelection.object;
    const FinderPicture picture = PictureName();
    if (!picture.name.empty() && FindObjectPicture(picture.name.c_str(), 0, picture.catalog)) ShowObject(w, kPicture);
    ShowObject(w, kEphemeris);
    ComputeFinderPlace();

    double grade = 3.0;
    int magnification = 0;
    double margin = 0;
    if (o.type == 29) {
        const int a = meteorShowerTable[o.number % kMeteorShowerCount].activityClass;
        grade = a == 1 ? 3.0 : a == 3 ? 1.5 : a == 4 ? 1.0 : 2.0;
    } else if (f.catalog != kCatalogBrightStar && f.catalog != kCatalogConstellation) {
        EstimateVisibility(GetApertureMm(), GetFocalLengthMm(), GetSiteSkyBrightness(), o.magnitude, o.sizeA,
                           o.sizeB, &magnification, &margin);
        grade = margin;
    }
    DrawDifficultyScale(kGrade, grade);

    char text[48];
    int y = Sy(128);
    DrawRow(y, "RA", HMSToStr(text, sizeof text, f.ra));
    DrawRow(y, "Dec", DMSToStr(text, sizeof text, f.dec));
    DrawRow(y, "Alt", DMSToStr(text, sizeof text, f.altitude));
    DrawRow(y, "Az", DMSToStr(text, sizeof text, f.azimuth));
    const bool hasConstellation = o.constellation >= 0 && o.constellation < kConstellationCount;
    DrawRow(y, "Const", hasConstellation ? ConstellationTable[o.constellation].abbreviation : "");
    auto date = [&](int day, int month) {
        std::snprintf(text, sizeof text, "%02d-%s", day, MonthAbbreviation(month));
        return text;
    };
    if (o.type == 29) {
        const MeteorShower& m = meteorShowerTable[o.number % kMeteorShowerCount];
        DrawRow(y, "Start", date(m.startDay, m.startMonth));
        DrawRow(y, "Max", m.peakDay ? date(m.peakDay, m.peakMonth) : "Variable");
        DrawRow(y, "End", date(m.endDay, m.endMonth));
        std::snprintf(text, sizeof text, "%d", m.hourlyRate);
        DrawRow(y, "Zhr", text);
        return;
    }
    std::snprintf(text, sizeof text, "%.1f", o.magnitude);
    DrawRow(y, "Mag", text);
    if (magnification > 0) std::snprintf(text, sizeof text, "%dmm", GetFocalLengthMm() / magnification);
    else std::snprintf(text, sizeof text, "none");
    DrawRow(y, "Eye.", text);
    std::snprintf(text, sizeof text, "%.1f", o.sizeA);
    DrawRow(y, "Size", text);
    const ObservingDateTime& t = observingDateTime;
    const ObserverLocation& site = observerLocation;
    double rise = 0, transit = 0, set = 0;
    ComputeRiseSet(t.year, t.month, t.day, site.latitude, site.longitude, site.zoneMinutes, site.height,
                   GetHorizonAltitude(), o.ra, o.dec, &rise, &transit, &set);
    DrawChars("Rise & Set", 10, Sx(2), y);
    DrawDayBar(Sx(80), y, Sx(150), Sy(12), static_cast<float>(t.hour + t.minute / 60.0), static_cast<float>(rise),
               static_cast<float>(transit), static_cast<float>(set));
}

void SetupFinderList() {
    const FinderEntry& f = F();
    const Window w = GetActiveForm();
    const bool field = FieldCatalog(f.catalog);
    ShowControl(w, kNumber, 1);
    ShowControl(w, kObjectPopup, field ? 0 : 1);
    const int rows = ListRows(f.catalog);
    SetListRows(kObjectList, rows);
    if (!field && f.found && f.listRow >= 0 && f.listRow < rows) SetListSelection(kObjectList, f.listRow);
}

void DrawFinderListRow(int row, Bounds rect, int /*flag*/) {
    ObjectRef o;
    char label[kObjectTextSize] = {}, second[kObjectTextSize] = {};
    if (!BuildObjectDescription(F().catalog, row, &o, label, second, 0, nullptr)) return;
    DrawChars(label, static_cast<int>(std::strlen(label)), rect.x + 2, rect.y);
    if (second[0]) DrawChars(second, static_cast<int>(std::strlen(second)), rect.x + Sx(54) + 2, rect.y);
}

void ShowDesignation(const char* text) { SetPopupLabel(kObjectPopup, text); }

void ChooseCatalog(int row) {
    FinderEntry& f = F();
    const CatalogChoice c = Catalogs();
    if (row < 0 || row >= c.count) return;
    SetPopupList(kCatalogPopup, kCatalogList, row);
    if (c.codes[row] == f.catalog) return;
    f.catalog = c.codes[row];
    f.designation[0] = '\0';
    SetListSelection(kObjectList, -1);
    f.listRow = 0;
    objectSelection.displayName[0] = '\0';
    char prefix[16];
    FieldPrefix(f.catalog, prefix, sizeof prefix);
    SetField(kNumber, prefix);
    ShowDesignation("");
    f.found = 0;
    objectSelection.subIndex = static_cast<std::uint32_t>(-1);
    SetupFinderList();
    Repaint();
}

void InitFinderForm() {
    FinderEntry& f = F();
    PushFormHistory(kFinderFormId);
    LoadStarTable(0);
    // A form that asked for the finder with a catalog opens it on that catalog.
    if (chartCentreRequest.index >= 0) {
        if (chartCentreRequest.index != f.catalog) {
            f.catalog = chartCentreRequest.index;
            f.found = 0;
            f.designation[0] = '\0';
        }
        chartCentreRequest.index = -1;
    }
    int row = CatalogRow(f.catalog);
    if (row < 0) {
        f.catalog = 0;
        row = 0;
    }
    SetPopupList(kCatalogPopup, kCatalogList, row);
    if (f.catalog == 0) {
        const CatalogChoice c = Catalogs();
        if (c.count > 0) f.catalog = c.codes[0];
    }
    if (!objectSelection.selected) f.found = 0;
    // The field shows the object found, else what is being typed after the prefix.
    char name[48];
    if (f.found && objectSelection.displayName[0]) {
        std::snprintf(name, sizeof name, "%.10s", objectSelection.displayName);
    } else if (f.designation[0]) {
        char prefix[16];
        FieldPrefix(f.catalog, prefix, sizeof prefix);
        std::snprintf(name, sizeof name, "%s%.20s", prefix, f.designation);
    } else {
        name[0] = '\0';
    }
    SetField(kNumber, name);
    const Window w = GetActiveForm();
    for (int id : {kGoto, kDigit0, kFind, kOk, kSky, kClear}) ShowObject(w, id);
    SetupFinderList();
    DrawFinderData();
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "FinderAssistant");
    InitButton(w, kInfo, -1, 0, 0);
    const CatalogChoice c = Catalogs();
    // Rows show the last one added first.
    for (int i = c.count - 1; i >= 0; --i) AppendListItem(w, kCatalogList, c.names[i]);
    InitPopupList(w, kCatalogPopup, kCatalogList, -1, 0, 0);
    InitPopupList(w, kObjectPopup, kObjectList, 0, 0, -1);
    SetListDrawFunction(w, kObjectPopup, &DrawFinderListRow);
    InitField(w, kNumber, 0);
    for (int id = kDigit0; id <= kDigit0 + 9; ++id) InitButton(w, id, -1, 0, 0);
    for (int id : {kOk, kSky, kGoto, kClear, kFind, kPicture, kDescription, kGrade, kEphemeris})
        InitButton(w, id, -1, 0, 0);
}

void ReleaseFinderControls(Window w) {
    *Redraw() = 1;
    for (int id : {kTitle, kInfo, kCatalogPopup, kObjectPopup, kNumber}) ReleaseControl(w, id);
    for (int id = kDigit0; id <= kDigit0 + 9; ++id) ReleaseControl(w, id);
    for (int id : {kOk, kSky, kGoto, kClear, kFind, kPicture, kDescription, kGrade, kEphemeris}) ReleaseControl(w, id);
}

void FinderOkBack() {
    if (!F().found) SetField(kNumber, "");
    GoBackForm();
}

void PickListRow() {
    FinderEntry& f = F();
    const int row = GetListSelection(kObjectList);
    if (row < 0) return;
    f.listRow = row;
    ObjectRef o;
    char label[kObjectTextSize] = {}, second[kObjectTextSize] = {};
    if (!BuildObjectDescription(f.catalog, row, &o, label, second, 1, nullptr)) {
        SetListSelection(kObjectList, -1);
        ShowDesignation("");
        return;
    }
    const bool named = f.catalog == kCatalogConstellation || f.catalog == kCatalogMeteor;
    ShowDesignation(named ? second : label);
    const bool numbered = f.catalog == kCatalogCaldwell || f.catalog == kCatalogMessier ||
                          f.catalog == kCatalogHerschel || f.catalog == kCatalogBestNgc;
    std::snprintf(f.designation, sizeof f.designation, "%ld", numbered ? static_cast<long>(row + 1) : static_cast<long>(o.number));
    SetFound(o, o.number + 1, named ? second : label);
    if (f.catalog == kCatalogComet && objectFormLinks.setCurrentComet) objectFormLinks.setCurrentComet(row);
    Repaint();
}

}  // namespace

int FinderDigitLimit(int catalog) {
    switch (catalog) {
        case kCatalogCaldwell:
        case kCatalogHerschel:
        case kCatalogMessier:
        case kCatalogBestNgc: return 3;
        case kCatalogHipparcos:
        case kCatalogSao: return 6;
        case kCatalogHr: return 4;
        case kCatalogTycho: return 12;
        default: return ListCatalog(catalog) ? 0 : 4;
    }
}

bool ParseTychoKey(const char* text, std::int64_t* key) {
    if (!text) return false;
    const char* p = text;
    long long region = 0;
    int regionDigits = 0;
    while (std::isdigit(static_cast<unsigned char>(*p)) && regionDigits < 6) region = region * 10 + (*p++ - '0'), ++regionDigits;
    if (regionDigits == 0 || std::isdigit(static_cast<unsigned char>(*p)) || *p == '\0') return false;
    ++p;  // the separator
    long long number = 0;
    int numberDigits = 0;
    while (std::isdigit(static_cast<unsigned char>(*p)) && numberDigits < 6) number = number * 10 + (*p++ - '0'), ++numberDigits;
    if (numberDigits == 0 || std::isdigit(static_cast<unsigned char>(*p))) return false;
    if (region < 1 || region > 9537 || number < 1 || number > 99999) return false;
    if (key) *key = region * 100000 + number;
    return true;
}

int FindCatalogRecord(int catalog, long long number) {
    if (catalog <= 0 || catalog >= kCatalogCount || CatalogTable[catalog].first == kCatalogAbsent) return -1;
    int low = CatalogTable[catalog].first, high = CatalogTable[catalog].last - 1;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        ObjectRef o;
        if (!GetObjectRecord(middle, &o)) return -1;
        const long long n = o.number;
        if (n == number && static_cast<int>(o.catalog) == catalog) return middle;
        if (n < number || (n == number && static_cast<int>(o.catalog) < catalog))
            low = middle + 1;
        else
            high = middle - 1;
    }
    return -1;
}

void CheckFinderDigit(int digit) {
    FinderEntry& f = F();
    char field[16] = {};
    GetField(kNumber, field, sizeof field);
    char prefix[16];
    FieldPrefix(f.catalog, prefix, sizeof prefix);
    const std::size_t prefixLength = std::strlen(prefix);
    if (std::strlen(field) > prefixLength) std::snprintf(f.designation, sizeof f.designation, "%s", field + prefixLength);
    char candidate[kFinderDesignationSize + 8];
    std::snprintf(candidate, sizeof candidate, "%.30s%d", f.designation, digit);
    const long long n = std::strtoll(candidate, nullptr, 10);
    int limit = FinderDigitLimit(f.catalog);
    switch (f.catalog) {
        case kCatalogCaldwell:
            if (n < 1 || n > 109) return;
            break;
        case kCatalogHerschel:
            if (n < 1 || n > 400) return;
            break;
        case kCatalogMessier:
        case kCatalogBestNgc:
            if (n < 1 || n > 110) return;
            break;
        case kCatalogHipparcos:
        case kCatalogSao:
        case kCatalogHr:
        case kCatalogTycho: break;
        default:
            if (ListCatalog(f.catalog)) {
                ShowMessage("Please use the popup list to select your object and not the numeric keyboard.", "");
                return;
            }
            if (f.catalog <= 0 || f.catalog >= kCatalogCount || CatalogTable[f.catalog].first == kCatalogAbsent) {
                ShowMessage("Sorry, there is no object available from this catalog using your current object database.",
                            "");
                return;
            }
            limit = 4;
            break;
    }
    if (static_cast<int>(std::strlen(f.designation)) >= limit) {
        ShowMessage("To many digits", "");
        return;
    }
    char text[kFinderDesignationSize + 16];
    std::snprintf(text, sizeof text, "%s%s", prefix, candidate);
    SetField(kNumber, text);
    ShowDesignation(text);
    std::snprintf(f.designation, sizeof f.designation, "%.31s", candidate);
    f.pendingDigit = -1;
}

void FinderLookup(int refreshOnly) {
    FinderEntry& f = F();
    f.found = 0;
    if (f.catalog == kCatalogTycho) {
        char field[16] = {};
        GetField(kNumber, field, sizeof field);
        std::snprintf(f.designation, sizeof f.designation, "%s", std::strlen(field) > 3 ? field + 3 : "");
    }
    if (ListCatalog(f.catalog)) {
        int row = GetListSelection(kObjectList);
        ObjectRef o;
        char label[kObjectTextSize] = {}, second[kObjectTextSize] = {};
        if (row < 0 || !BuildObjectDescription(f.catalog, row, &o, label, second, 1, nullptr)) {
            SetListSelection(kObjectList, 0);
        } else {
            f.listRow = row;
            const bool named = f.catalog == kCatalogConstellation || f.catalog == kCatalogMeteor;
            ShowDesignation(named ? second : label);
            if (f.catalog == kCatalogComet && objectFormLinks.setCurrentComet) objectFormLinks.setCurrentComet(row);
            SetFound(o, o.number + 1, named ? second : label);
        }
    } else if (f.designation[0]) {
        errno = 0;
        char* end = nullptr;
        const long long n = std::strtoll(f.designation, &end, 10);
        const bool numberOk = errno == 0 && n >= 0 && n <= 0x7FFFFFFF;
        ObjectRef o;
        char label[kObjectTextSize] = {}, second[kObjectTextSize] = {};
        switch (f.catalog) {
            case kCatalogCaldwell:
            case kCatalogHerschel:
            case kCatalogMessier:
            case kCatalogBestNgc:
                if (numberOk && n >= 1 &&
                    BuildObjectDescription(f.catalog, static_cast<int>(n - 1), &o, label, second, 1, nullptr)) {
                    SetFound(o, static_cast<std::uint32_t>(n), label);
                    objectSelection.kind = f.catalog == kCatalogCaldwell ? 1 : f.catalog == kCatalogHerschel ? 4
                                           : f.catalog == kCatalogMessier ? 5 : 8;
                    f.listRow = static_cast<int>(n - 1);
                    SetListSelection(kObjectList, f.listRow);
                    if (f.catalog != kCatalogMessier) ShowDesignation(label);
                }
                break;
            case kCatalogHipparcos:
            case kCatalogHr:
                if (numberOk && BuildObjectDescription(f.catalog, static_cast<int>(n), &o, label, second, 1, nullptr)) {
                    SetFound(o, 0, label);
                    f.listRow = static_cast<int>(n);
                }
                break;
            case kCatalogTycho: {
                std::int64_t key = 0;
                if (!ParseTychoKey(f.designation, &key)) {
                    ShowMessage("It seems the format is not correct.", "Please use this one:\nTYCnnnn-nnnnnn-1");
                    return;
                }
                if (BuildObjectDescription(f.catalog, static_cast<int>(key), &o, label, second, 1, nullptr)) {
                    SetFound(o, 0, label);
                    f.listRow = static_cast<int>(key);
                }
                break;
            }
            default: {
                const int index = numberOk ? FindCatalogRecord(f.catalog, n) : -1;
                if (index >= 0 && GetObjectRecord(index, &o)) {
                    char designation[48];
                    std::snprintf(designation, sizeof designation, "%s%ld", Prefix(f.catalog), static_cast<long>(n));
                    SetFound(o, static_cast<std::uint32_t>(index), designation);
                    f.listRow = index;
                    ShowDesignation(designation);
                } else {
                    ShowDesignation("");
                }
                break;
            }
        }
    }
    if (!refreshOnly) {
        if (f.found) ComputeFinderPlace();
    } else {
        Repaint();
    }
}

int FinderCommand(int id) {
    FinderEntry& f = F();
    if (id >= kDigit0 && id <= kDigit0 + 9) {
        if (f.found) {
            SetField(kNumber, "");
            HideObject(GetActiveForm(), kPicture);
            f.designation[0] = '\0';
            f.found = 0;
            Repaint();
        }
        if (f.pendingDigit == -1) f.pendingDigit = 0;
        CheckFinderDigit(id - kDigit0);
        return 1;
    }
    switch (id) {
        case 1: GoBackForm(); return 1;
        case kCatalogList: ChooseCatalog(GetListSelection(kCatalogList)); return 1;
        case kObjectList: PickListRow(); return 1;
        case kFind: FinderLookup(1); return 1;
        case kOk:
            FinderLookup(0);
            if (GetPreviousForm() != kChartForm)
                FinderOkBack();
            else if (f.found)
                platform::PostMessage(GetActiveForm(), platform::kMsgCommand, kSky, 0);
            else
                GoBackForm();
            return 1;
        case kSky:
            FinderLookup(0);
            if (!f.found) {
                ShowMessage(kNotFound, "");
                return 1;
            }
            if (!ConfirmChartShowsObject(f.altitude)) return 1;
            LocateSelectionInList();
            if (GetPreviousForm() == kChartForm)
                GoBackForm();
            else
                GotoForm(kChartForm);
            return 1;
        case kClear:
            ShowDesignation("");
            SetField(kNumber, "");
            f.designation[0] = '\0';
            f.found = 0;
            Repaint();
            return 1;
        case kGoto: {
            FinderLookup(0);
            const ObjectRef& o = objectSelection.object;
            SendScopeToObject(o, f.found, o.catalog == kCatalogPlanet && o.number == 0);
            return 1;
        }
        case kPicture: {
            const FinderPicture picture = PictureName();
            ShowObjectPicture(picture.name.c_str(), 0, 0, Sx(160), Sy(160), 1, 0, picture.catalog);
            Repaint();
            return 1;
        }
        case kDescription: {
            if (!f.found) return 1;
            const ObjectRef o = CatalogRecordOf(objectSelection.object);
            char raw[kDreyerDescriptionSize] = {}, expanded[256] = {};
            if (!GetDreyerTexts(&o, raw, expanded, sizeof expanded)) {
                ShowMessage("No description available.", "");
                return 1;
            }
            ShowMessage(raw, expanded);
            return 1;
        }
        case kEphemeris: {
            FinderLookup(0);
            if (!f.found) return 1;
            const ObjectRef& o = objectSelection.object;
            const ObservingDateTime& t = observingDateTime;
            OpenEphemeris(static_cast<int>(o.number), static_cast<int>(o.catalog), t.year, t.month, t.day, t.hour,
                          t.minute);
            return 1;
        }
        case kInfo:
            ShowMessage("\x95 Select a catalog and type the object id,",
                        "\x95 A red eye displayed means the object is visible,\n\x95 If displayed, tap on the camera to see the object image.");
            return 1;
        default: return 0;
    }
}

int LayoutFinderAssistant(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    MoveObject(dialog, kInfo, dx, 0, 0, 0);
    return 1;
}

LResult FinderAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
        case platform::kMsgInitDialog: {
            OpenSelfLaidOutForm(w, nullptr, Redraw(), &MakeControls, &LayoutFinderAssistant);
            return 1;
        }
        case platform::kMsgPaint: PaintForm(w, &InitFinderForm, Redraw(), 0, 0); return 1;
        case kMsgFieldTap:
            if (static_cast<int>(wParam) == kNumber) EditTextDialog(w, kNumber, "ID:", 16);
            return 1;
        case platform::kMsgClose: ReleaseFinderControls(w); return 0;
        case platform::kMsgCommand: {
            const int id = platform::LowWord(wParam);
            if (id == kCmdCloseForm) {
                ReleaseFinderControls(w);
                CloseForm(kFinderFormId);
                return 1;
            }
            if (id == kCatalogPopup || id == kObjectPopup) return FinderCommand(platform::HighWord(wParam));
            return FinderCommand(id);
        }
        default: return 0;
    }
}
