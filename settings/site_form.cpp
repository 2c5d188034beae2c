#include "settings/site_form.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "astro/angle_text.h"
#include "catalog/databases.h"
#include "catalog/location_choice.h"
#include "chart/chart_services.h"
#include "chart/sky_matrix.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "settings/gps_reader.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/place_text.h"
#include "shell/popup_lists.h"
#include "shell/text_input.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace site_form;

SiteFormState siteForm;
std::int32_t siteChoice = -1;
std::int32_t siteMapRecentre = -1;

namespace {

Window siteWindow;
bool penIsDown = false;
// The one-time part of the first paint (loading the site into the fields) ran for the
// form now open; a later full repaint (a colour change) must not reload over the edit.
bool formPrepared = false;

// What Cancel puts back: the site with its stored sites, and the stored-site choice, as
// they were when the form opened. The trip to the location list keeps it, since the form
// closes and opens again on the way.
struct SiteSnapshot {
    ObserverLocation site{};
    std::int32_t choice = -1;
    bool taken = false;
};
SiteSnapshot openedWith;
bool keepSnapshot = false;

constexpr const char* kSiteNames[3] = {"Site1", "Site2", "Site3"};
constexpr const char* kClassNames[5] = {"Bright town", "Town", "Bright country", "Country", "Desert/Mountain"};

// Fields with the title and the number of characters of their text input.
struct FieldEdit {
    int id;
    const char* title;
    int characters;
};
constexpr FieldEdit kFieldEdits[] = {
    {kName, "Location:", 11},   {kLatitude, "Latitude:", 12}, {kLongitude, "Longitude:", 12},
    {kHeight, "Height:", 6},     {kZone, "GMT (mn):", 5},      {kTemperature, "T\xB0 (C\xB0):", 4},
    {kPressure, "P (mbar):", 5}, {kHumidity, "Humidity (%):", 4},
};

// The controls of the fields view, hidden in the world-map view.
constexpr int kViewFields[] = {kLatitude, kLongitude, kClassPopup, kHeight, kZone, kDaylight,
                               kPressure, kHumidity, kTemperature};

std::int32_t* Redraw() { return FormRedrawFlag(kSiteFormId); }

int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }

// A site name: at most 11 characters and the terminating 0.
void CopyName(char* to, const char* from) {
    std::memset(to, 0, 12);
    for (int i = 0; i < 11 && from[i]; ++i) to[i] = from[i];
}

void SetIntField(int id, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    SetField(id, text);
}

// The coordinate texts the fields show for the site: the magnitude in the user's degree
// format and the hemisphere letter, at most 12 characters.
void CoordinateText(char* out, double value, char positive, char negative) {
    char magnitude[24];
    DMSToStr(magnitude, sizeof magnitude, std::fabs(value));
    char text[32];
    std::snprintf(text, sizeof text, "%s %c", magnitude, value >= 0 ? positive : negative);
    text[12] = '\0';
    std::memcpy(out, text, 13);
}


// Reads a coordinate field. A text that still shows the site's value keeps the value
// itself, so that showing a site never rounds it to the display's seconds.
bool ReadCoordinateField(int id, char positive, char negative, double limit, float current, float* value) {
    char text[64] = {};
    GetField(id, text, sizeof text);
    TrimBlanks(text);
    char shown[16];
    CoordinateText(shown, current, positive, negative);
    if (std::strcmp(text, shown) == 0) return true;
    double degrees = 0;
    if (!ParseSiteCoordinate(text, positive, negative, limit, &degrees)) return false;
    *value = static_cast<float>(degrees);
    return true;
}

// A whole number and nothing else (blanks around it allowed).
bool ReadWholeNumber(int id, int* value) {
    char text[64] = {};
    GetField(id, text, sizeof text);
    TrimBlanks(text);
    const char* p = text;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (!*p || std::strlen(p) > 6) return false;
    int v = 0;
    for (; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        v = v * 10 + (*p - '0');
    }
    *value = negative ? -v : v;
    return true;
}

// A whole-number field within low..high (after adding `offset`), stored at once; a
// refusal names the field and its range and keeps the stored value.
bool ApplyNumberField(int id, int offset, int low, int high, std::int16_t* stored, const char* heading,
                      const char* detail) {
    int value = 0;
    if (ReadWholeNumber(id, &value) && value + offset >= low && value + offset <= high) {
        *stored = static_cast<std::int16_t>(value + offset);
        return true;
    }
    ShowMessage(heading, detail);
    return false;
}

void TakeSnapshot() {
    openedWith.site = observerLocation;
    openedWith.choice = siteChoice;
    openedWith.taken = true;
}

void PutSnapshotBack() {
    if (!openedWith.taken) return;
    observerLocation = openedWith.site;
    siteChoice = openedWith.choice;
}

void ShowViewControls(Window w, bool show) {
    for (int id = kFirstLabel; id <= kLastLabel; ++id) {
        if (show) ShowObject(w, id);
        else HideObject(w, id);
    }
    for (int id : kViewFields) {
        if (show) ShowObject(w, id);
        else HideObject(w, id);
    }
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "Location");
    InitHelpAndBackButtons(w, kInfo, kOk);
    for (int id : {kCancel, kGps, kList, kMap}) InitButton(w, id, -1, 0, 0);
    // Lists show the last item added first.
    for (int i = 2; i >= 0; --i) AppendListItem(w, kSiteList, kSiteNames[i]);
    InitPopupList(w, kSitePopup, kSiteList, -1, 0, GetSiteChoice());
    for (int i = 4; i >= 0; --i) AppendListItem(w, kClassList, kClassNames[i]);
    InitPopupList(w, kClassPopup, kClassList, -1, 0, observerLocation.siteClass);
    for (int id : {kName, kLatitude, kLongitude, kHeight, kZone, kTemperature, kPressure, kHumidity})
        InitField(w, id, 0);
}

void EditField(Window w, int id) {
    for (const FieldEdit& f : kFieldEdits) {
        if (f.id != id) continue;
        SaveScreen();
        // Only a confirmed text is read back: a pad ended by the program quitting leaves
        // nothing to read.
        if (EditTextDialog(w, id, f.title, f.characters + 1) && (id == kLatitude || id == kLongitude))
            DrawOnForm(w, [] { DrawSiteFields(); });
        return;
    }
}

}  // namespace

// ---- The arithmetic ----------------------------------------------------------------------

int ZoneEstimateHours(double longitude) { return static_cast<int>(std::lround(-longitude / 15.0)); }

// ---- The form's state --------------------------------------------------------------------

int GetSiteChoice() { return siteChoice < 0 ? 0 : siteChoice; }

int DrawSiteFields() {
    ObserverLocation& site = observerLocation;
    int taken = 1;
    float latitude = site.latitude, longitude = site.longitude;
    if (ReadCoordinateField(kLatitude, 'N', 'S', 90.0, site.latitude, &latitude)) {
        SetSiteLatitude(latitude);
    } else {
        ShowMessage("Invalid latitude",
                    "Type degrees, minutes and seconds from 90\xB0 S to 90\xB0 N, as 48\xB0"
                    "07'02 N.");
        taken = 0;
    }
    if (ReadCoordinateField(kLongitude, 'W', 'E', 180.0, site.longitude, &longitude)) {
        site.longitude = longitude;
    } else {
        ShowMessage("Invalid longitude",
                    "Type degrees, minutes and seconds from 180\xB0 E to 180\xB0 W, as 011\xB0"
                    "31'00 E.");
        taken = 0;
    }
    DrawSmallMap();
    return taken;
}

void FillSiteFields() {
    ObserverLocation& site = observerLocation;
    if (Window w = GetActiveForm()) SetCheck(w, kDaylight, site.daylight);
    SetPopupList(kClassPopup, kClassList, site.siteClass);
    site.name[11] = '\0';
    SetField(kName, site.name);
    char text[16];
    CoordinateText(text, site.latitude, 'N', 'S');
    SetField(kLatitude, text);
    CoordinateText(text, site.longitude, 'W', 'E');
    SetField(kLongitude, text);
    DrawSiteFields();
    SetIntField(kHeight, site.height);
    SetIntField(kZone, site.zoneMinutes - (site.daylight ? 60 : 0));
    SetIntField(kTemperature, site.temperature);
    SetIntField(kPressure, site.pressure);
    SetIntField(kHumidity, site.humidity);
}

void LoadSiteChoice() {
    ObserverLocation& site = observerLocation;
    siteForm.loaded = 1;
    OpenCatalogDatabases(0);
    bool loaded = false;
    if (selectedLocationIndex >= 0) {
        LocationRecord town;
        if (GetLocationRecord(selectedLocationIndex, &town)) {
            CopyName(site.name, town.town);
            SetSiteLatitude(town.latitude);
            site.longitude = town.longitude;
            site.zoneMinutes = static_cast<std::int16_t>(town.zoneMinutes + (site.daylight ? 60 : 0));
            site.height = 0;
            SetPopupList(kSitePopup, kSiteList, GetSiteChoice());
            loaded = true;
        } else {
            ShowMessage("Can't read the chosen location", "The site is left as it was.");
            selectedLocationIndex = -1;
            loaded = true;
        }
    }
    // The fields show the site in force; a stored site replaces it only when the user
    // chooses one (ChooseStoredSite). The choice shows the slot that holds the site.
    if (!loaded) {
        for (int i = 0; i < 3; ++i) {
            const StoredSite& s = site.storedSites[i];
            if (s.latitude == site.latitude && s.longitude == site.longitude && s.zoneMinutes == site.zoneMinutes &&
                std::strncmp(s.name, site.name, 12) == 0) {
                siteChoice = i;
                break;
            }
        }
        SetPopupList(kSitePopup, kSiteList, GetSiteChoice());
    }
    FillSiteFields();
}

namespace {

bool StoredSiteIsEmpty(const StoredSite& s) { return s.name[0] == '\0' && s.latitude == 0.0f && s.longitude == 0.0f; }

void ChooseStoredSite(int slot) {
    ObserverLocation& site = observerLocation;
    siteChoice = slot;
    SetPopupList(kSitePopup, kSiteList, slot);
    const StoredSite& s = site.storedSites[slot];
    if (StoredSiteIsEmpty(s)) {
        // An empty slot never replaces the site: Ok stores the fields in it.
        char heading[32];
        std::snprintf(heading, sizeof heading, "%s is empty", kSiteNames[slot]);
        ShowMessage(heading, "The fields keep the site shown; Ok stores it there.");
        return;
    }
    CopyName(site.name, s.name);
    SetSiteLatitude(s.latitude);
    site.longitude = s.longitude;
    site.zoneMinutes = s.zoneMinutes;
    site.daylight = s.daylight;
    site.height = s.height;
    site.siteClass = s.siteClass;
    FillSiteFields();
}

void NameUnnamedSite(ObserverLocation& site) {
    const bool unnamed = site.name[0] == '\0' || std::strcmp(site.name, "None") == 0;
    if (!unnamed || (std::strcmp(site.name, "None") == 0 && site.latitude == 51.0f && site.longitude == 0.0f)) return;
    // A typed site without a name is named by its coordinates, "48.1N 2.3E".
    const char ns = site.latitude >= 0 ? 'N' : 'S';
    const char we = site.longitude >= 0 ? 'W' : 'E';
    char text[40];
    std::snprintf(text, sizeof text, "%.1f%c %.1f%c", std::fabs(site.latitude), ns, std::fabs(site.longitude), we);
    if (std::strlen(text) > 11)
        std::snprintf(text, sizeof text, "%.0f%c %.0f%c", std::fabs(site.latitude), ns, std::fabs(site.longitude), we);
    CopyName(site.name, text);
}

}  // namespace

int ApplySiteFields() {
    ObserverLocation& site = observerLocation;
    const int daylight = site.daylight ? 60 : 0;
    char zoneRange[96];
    std::snprintf(zoneRange, sizeof zoneRange, "Type the standard offset from GMT, from %d to %d minutes%s.",
                  -1439 - daylight, 1439 - daylight, daylight ? " (DayLight adds 60)" : "");
    bool valid = true;
    valid &= ApplyNumberField(kHeight, 0, 0, 31999, &site.height, "Invalid elevation", "Type a height from 0 to 31999 m.");
    valid &= ApplyNumberField(kZone, daylight, -1439, 1439, &site.zoneMinutes, "Invalid GMT offset", zoneRange);
    valid &= ApplyNumberField(kTemperature, 0, -70, 59, &site.temperature, "Invalid temperature",
                              "Type a temperature from -70 to 59 \xB0" "C.");
    valid &= ApplyNumberField(kPressure, 0, 900, 1100, &site.pressure, "Invalid pressure",
                              "Type a pressure from 900 to 1100 mbar.");
    valid &= ApplyNumberField(kHumidity, 0, 0, 99, &site.humidity, "Invalid humidity", "Type a humidity from 0 to 99 %.");
    const int row = GetListSelection(kClassList);
    site.siteClass = static_cast<std::int16_t>(row < 0 ? 0 : row);
    char name[64] = {};
    GetField(kName, name, sizeof name);
    TrimBlanks(name);
    CopyName(site.name, name);
    if (!valid) return 0;
    NameUnnamedSite(site);
    SetField(kName, site.name);

    StoredSite& slot = site.storedSites[GetSiteChoice()];
    CopyName(slot.name, site.name);
    slot.latitude = site.latitude;
    slot.longitude = site.longitude;
    slot.zoneMinutes = site.zoneMinutes;
    slot.daylight = site.daylight;
    slot.height = site.height;
    slot.siteClass = site.siteClass;
    UpdateCurrentTime(1);
    InvalidateSelectionProjection();
    // The sky views of other forms keep their matrix within a minute: it holds the old horizon.
    InvalidateSkyProjection();
    return 1;
}

void ShowSiteView() {
    const Window w = siteWindow;
    if (siteForm.mode == 0) {
        if (platform::IsWindow(w)) {
            ShowViewControls(w, true);
            EraseWindow(w);
        }
        if (siteForm.loaded == 0) LoadSiteChoice();
        else FillSiteFields();
        return;
    }
    if (platform::IsWindow(w)) {
        ShowViewControls(w, false);
        EraseWindow(w);
    }
    DrawWorldMap(siteForm.view, observerLocation.longitude, observerLocation.latitude);
}

void InitSiteForm() {
    GetScreenSize(&siteForm.screenWidth, &siteForm.screenHeight);
    PushFormHistory(kSiteFormId);
    Bounds& v = siteForm.view;
    v.x = 0;
    v.y = Sy(24);
    v.width = siteForm.screenWidth - v.x;
    v.height = siteForm.screenHeight - Sy(22) - v.y;
    if (formPrepared) {
        // A full repaint of the open form: draw again what the form draws, keep the edit.
        if (siteForm.mode == 0) DrawSmallMap();
        else DrawWorldMap(siteForm.view, observerLocation.longitude, observerLocation.latitude);
        return;
    }
    formPrepared = true;
    siteForm.mode = 0;
    if (platform::IsWindow(siteWindow)) {
        ShowViewControls(siteWindow, true);
        for (int id : {kOk, kCancel, kList, kMap, kGps}) ShowObject(siteWindow, id);
    }
    LoadSiteChoice();
    selectedLocationIndex = -1;
}

int SiteCommand(int id) {
    ObserverLocation& site = observerLocation;
    switch (id) {
    case kOk:
        if (siteForm.mode == 1) {
            siteForm.mode = 0;
            if (platform::IsWindow(siteWindow)) EraseWindow(siteWindow);
            DrawSiteFields();
            ApplySiteFields();
            ShowSiteView();
            siteMapRecentre = -1;
            return 1;
        }
        // Every value must be valid before the form is left; a refused one was named.
        if (!DrawSiteFields()) return 1;
        if (!ApplySiteFields()) return 1;
        AfterSettingsHook();
        openedWith.taken = false;
        GoBackForm();
        return 1;
    case kCancel:
        if (siteForm.mode == 1) {
            siteForm.mode = 0;
            if (platform::IsWindow(siteWindow)) EraseWindow(siteWindow);
            ShowSiteView();
            siteMapRecentre = -1;
            return 1;
        }
        PutSnapshotBack();
        openedWith.taken = false;
        GoBackForm();
        return 1;
    case kList:
        siteForm.loaded = 0;
        keepSnapshot = true;
        GotoForm(kLocationListFormId);
        siteMapRecentre = -1;
        return 1;
    case kGps:
        siteForm.loaded = 0;
        ReadGpsPosition();
        siteMapRecentre = -1;
        return 1;
    case kClassList: {
        const int row = GetListSelection(kClassList);
        if (row < 0 || row > 4) return 1;
        site.siteClass = static_cast<std::int16_t>(row);
        site.storedSites[GetSiteChoice()].siteClass = static_cast<std::int16_t>(row);
        SetPopupList(kClassPopup, kClassList, row);
        return 1;
    }
    case kSiteList: {
        const int row = GetListSelection(kSiteList);
        if (row < 0 || row > 2) return 1;
        // The fields go into the slot being left; a value that is refused keeps the user
        // on that slot rather than losing the edit.
        if (row != siteChoice && !ApplySiteFields()) {
            SetPopupList(kSitePopup, kSiteList, GetSiteChoice());
            return 1;
        }
        ChooseStoredSite(row);
        return 1;
    }
    case kInfo:
        ShowMessage("\x95 If your location is not on the list, enter the coordinates, tap on the map, or use GPS if you have it.",
                    "\x95 Save several settings using site1, 2 and 3.\n\x95 Set location conditions for an accurate "
                    "object-visibility estimate.");
        return 1;
    case kDaylight: {
        const int check = platform::IsWindow(siteWindow) ? GetCheck(siteWindow, kDaylight) : site.daylight;
        if (check != (site.daylight ? 1 : 0)) {
            site.zoneMinutes = static_cast<std::int16_t>(site.zoneMinutes + (check ? 60 : -60));
            site.daylight = static_cast<std::int16_t>(check);
        }
        return 1;
    }
    case kMap:
        siteForm.mode = 1;
        ShowSiteView();
        SiteWorldMapTap(siteForm.view.x + siteForm.view.width / 2, siteForm.view.y + siteForm.view.height / 2);
        return 1;
    default:
        return 0;
    }
}

int LayoutSiteForm(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    // On a landscape screen the small map is not drawn: the fields take its place.
    const int fieldsDy = height <= Sy(240) ? dy - Sy(40) : dy;
    for (int id = kFirstLabel; id <= kLastLabel; ++id) MoveObject(dialog, id, dx / 2, fieldsDy, 0, 0);
    for (int id : {kLatitude, kLongitude, kClassPopup, kClassList, kHeight, kZone, kDaylight, kTemperature, kPressure,
                   kHumidity})
        MoveObject(dialog, id, dx / 2, fieldsDy, 0, 0);
    MoveObject(dialog, kInfo, dx, 0, 0, 0);
    for (int id : {kOk, kCancel, kList}) MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kMap, kGps}) MoveObject(dialog, id, dx, dy, 0, 0);
    return 1;
}

void CloseSiteForm() {
    FreeWorldMap();
    selectedLocationIndex = -1;
    siteForm.loaded = 0;
    siteForm.mode = 0;
    formPrepared = false;
    penIsDown = false;
}

void ReleaseLocationControls(Window dialog) {
    *Redraw() = 1;
    for (int id : {kTitle, kInfo, kSitePopup, kClassPopup, kName, kLatitude, kLongitude, kHeight, kZone,
                   kTemperature, kPressure, kHumidity, kOk, kCancel, kGps, kList, kMap})
        ReleaseControl(dialog, id);
    if (siteWindow == dialog) siteWindow = Window{};
}

LResult Location(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result))
        return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        siteWindow = w;
        formPrepared = false;
        if (!keepSnapshot || !openedWith.taken) TakeSnapshot();
        keepSnapshot = false;
        OpenSelfLaidOutForm(w, nullptr, Redraw(), &MakeControls, &LayoutSiteForm);
        return 1;
    }
    case platform::kMsgPaint:
        PaintForm(w, &InitSiteForm, Redraw(), 1, 0);
        return 1;
    case platform::kMsgClose:
        CloseSiteForm();
        ReleaseLocationControls(w);
        return 0;
    case kMsgFieldTap:
        EditField(w, platform::LowWord(wParam));
        return 1;
    case platform::kMsgPenDown: {
        const platform::Point p = platform::PointFromParam(lParam);
        SiteMapStylusDown(p.x, p.y);
        penIsDown = true;
        return 1;
    }
    case platform::kMsgPenMove: {
        if (!penIsDown) return 0;
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [&] { SiteMapStylusMove(p.x, p.y); });
        return 1;
    }
    case platform::kMsgPenUp: {
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [&] { SiteMapStylusUp(p.x, p.y); });
        penIsDown = false;
        return 1;
    }
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseSiteForm();
            ReleaseLocationControls(w);
            CloseForm(kSiteFormId);
            return 1;
        case 1:
            DrawOnForm(w, [] { SiteCommand(kOk); });
            return 1;
        case kOk:
        case kList:
        case kCancel:
        case kMap:
            DrawOnForm(w, [&] {
                EraseWindow(w);
                SiteCommand(id);
                if (platform::IsWindow(w)) DrawTitleUnderline(w, GetDrawDC());
            });
            return 1;
        case kGps:
            DrawOnForm(w, [] { SiteCommand(kGps); });
            if (platform::IsWindow(w)) FitFormToClient(w);
            return 1;
        case kClassPopup:
            DrawOnForm(w, [&] { SiteCommand(platform::HighWord(wParam)); });
            return 1;
        case kSitePopup:
            DrawOnForm(w, [&] {
                EraseWindow(w);
                SiteCommand(platform::HighWord(wParam));
                if (platform::IsWindow(w)) DrawTitleUnderline(w, GetDrawDC());
            });
            return 1;
        case kInfo:
        case kDaylight:
            SiteCommand(id);
            return 1;
        default:
            return 0;
        }
    }
    default:
        return 0;
    }
}
