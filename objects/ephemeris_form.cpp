#include "objects/ephemeris_form.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/constellation_boundaries.h"
#include "astro/horizontal.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/object_lookup.h"
#include "catalog/object_selection.h"
#include "chart/chart_services.h"
#include "chart/sky_matrix.h"
#include "chart/star_layers.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
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
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace ephemeris_form;

EphemerisState ephemerisState;
int ephemerisStep = 3;

namespace {

constexpr int kStepDays[9] = {1, 2, 5, 7, 10, 14, 30, 60, 90};
constexpr const char* kStepRows[9] = {"1d", "2d", "5d", "7d", "10d", "14d", "30d", "60d", "90d"};
constexpr const char* kModeRows[2] = {"Rise/Set", "Position"};
constexpr int kMaxRows = 64;
// What stands for an event that does not happen on the row's date.
constexpr const char* kNoEvent = "-----";

EphemerisRow drawnRows[kMaxRows];
int drawnRowCount = 0;

std::int32_t* Redraw() { return FormRedrawFlag(kEphemerisFormId); }

int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }

int TextWidth(const char* text) { return CharsWidth(text, static_cast<int>(std::strlen(text))); }

void DrawRight(const char* text, int right, int y) {
    DrawChars(text, static_cast<int>(std::strlen(text)), right - TextWidth(text), y);
}

// A text cut by `drop` characters at its end.
void CutEnd(char* text, std::size_t drop) {
    const std::size_t n = std::strlen(text);
    text[n > drop ? n - drop : 0] = '\0';
}

void ShowDateFields() {
    const EphemerisState& s = ephemerisState;
    char text[40];
    FormatDate(text, s.day, s.month, s.year);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", s.hour, s.minute);
    SetField(kTime, text);
}

// Event hours brought into one local day.
double WithinDay(double hours) {
    if (!std::isfinite(hours)) return 0;
    while (hours >= 24.0) hours -= 24.0;
    while (hours < 0.0) hours += 24.0;
    return hours;
}

void HoursText(char* text, std::size_t size, double hours) {
    HMSToStr(text, size, WithinDay(hours));
    if (std::strlen(text) > 5) text[5] = '\0';
}

void AltitudeText(char* text, std::size_t size, double degrees) {
    DMSToStr(text, size, degrees);
    CutEnd(text, 5);
}

struct Columns {
    int edge[8];
    int count;
};

Columns ColumnEdges(int mode) {
    Columns c{};
    int x = Sx(2);
    auto add = [&](const char* templateText, int adjust = 0) {
        x += TextWidth(templateText) + adjust;
        c.edge[c.count++] = x;
    };
    add("00/00/00", 1);
    add("-000/");
    add(" Www", GetDpiFactor() == 1 ? -3 : 0);
    if (mode == kEphemerisPosition) {
        for (const char* t : {" 00h00", " -00h00", "  000h", " 000"}) add(t);
    } else {
        for (const char* t : {" -00h00", " -00h00", "  000", " -00h00"}) add(t);
    }
    return c;
}

void DrawTitle(const ObjectRef& object, const char* label, const char* second) {
    const int x = Sx(2), y = Sy(24);
    if (ephemerisState.catalog == kCatalogHr) {
        DrawBrightStarLabel(static_cast<int>(object.number), x, y, 1);
        return;
    }
    char title[2 * kObjectTextSize + 4];
    if (second && *second)
        std::snprintf(title, sizeof title, "%s, %s", label, second);
    else
        std::snprintf(title, sizeof title, "%s", label);
    DrawChars(title, static_cast<int>(std::strlen(title)), x, y);
}

// Rise, transit and set texts of one row, and the altitude at transit.
void RiseSetTexts(const ObjectRef& object, int year, int month, int day, char (*texts)[16]) {
    const EphemerisState& s = ephemerisState;
    const ObserverLocation& site = observerLocation;
    double rise = 0, transit = 0, set = 0;
    int result = kRiseSetNormal;
    double ra = object.ra, dec = object.dec;
    const bool moving = s.catalog == kCatalogPlanet || s.catalog == kCatalogComet;
    if (s.catalog == kCatalogPlanet && s.number == 0) {
        result = ComputeSunRiseSet(year, month, day, &rise, &transit, &set, nullptr);
    } else if (s.catalog == kCatalogPlanet && s.number == 1) {
        result = ComputeMoonRiseSet(year, month, day, &rise, &transit, &set, nullptr);
    } else {
        // The place of the row's own date: a planet or a comet moves from row to row.
        double alt = 0, az = 0;
        ComputeApparentPosition(object.ra, object.dec, &ra, &dec, &alt, &az, moving ? kModeNone : kModeTopocentric,
                                year, month, day, s.hour, s.minute, 0);
        ComputeRiseSet(year, month, day, site.latitude, site.longitude, site.zoneMinutes, site.height,
                       GetHorizonAltitude(), ra, dec, &rise, &transit, &set);
        if (rise == 0.0 && set == kNeverSetsHour) result = kRiseSetNeverSets;
    }
    const bool allDay = RiseSetAllDay(result, rise, transit, set);
    const bool neverRises = allDay && rise == 0.0 && transit == 0.0 && set == 0.0;
    if (allDay) {
        std::snprintf(texts[0], 16, "%s", kNoEvent);
        std::snprintf(texts[3], 16, "%s", kNoEvent);
    } else {
        HoursText(texts[0], 16, rise);
        HoursText(texts[3], 16, set);
    }
    if (neverRises) {
        std::snprintf(texts[1], 16, "%s", kNoEvent);
        std::snprintf(texts[2], 16, "%s", kNoEvent);
        return;
    }
    HoursText(texts[1], 16, transit);
    const double t = WithinDay(transit);
    const int th = static_cast<int>(t), tm = static_cast<int>((t - th) * 60.0);
    const double lst = LocalSiderealTime(year, month, day, th, tm, 0, site.longitude, site.zoneMinutes);
    AltitudeText(texts[2], 16, ComputeAltitude(lst, ra, dec, site.latitude));
}

void PositionTexts(const ObjectRef& object, int year, int month, int day, char (*texts)[16]) {
    const EphemerisState& s = ephemerisState;
    const ObserverLocation& site = observerLocation;
    HMSToStr(texts[0], 16, object.ra);
    CutEnd(texts[0], 3);
    DMSToStr(texts[1], 16, object.dec);
    CutEnd(texts[1], 3);
    const double lst = LocalSiderealTime(year, month, day, s.hour, s.minute, 0, site.longitude, site.zoneMinutes);
    AltitudeText(texts[2], 16, ComputeAzimuth(lst, object.ra, object.dec, site.latitude));
    AltitudeText(texts[3], 16, ComputeAltitude(lst, object.ra, object.dec, site.latitude));
}

void SetObservingInstant(int year, int month, int day) {
    ObservingDateTime& t = observingDateTime;
    t.year = year, t.month = month, t.day = day;
    t.hour = ephemerisState.hour, t.minute = ephemerisState.minute, t.second = 0;
}

// The form's draw: the start from the observing date and time, the object from the
// selection when there is one, then the table.
void InitEphemerisForm() {
    EphemerisState& s = ephemerisState;
    const ObservingDateTime& t = observingDateTime;
    s.year = t.year, s.month = t.month, s.day = t.day, s.hour = t.hour, s.minute = t.minute, s.second = 0;
    PushFormHistory(kEphemerisFormId);
    GetScreenSize(&s.screenWidth, &s.screenHeight);
    for (int id : {kStepPopup, kModePopup, kDate, kTime, kNow, kInfo, kChooseObject})
        ShowObject(GetActiveForm(), id);
    if (IsObjectSelected()) {
        GetSelectedObject(&s.object, nullptr);
        s.catalog = static_cast<int>(s.object.catalog);
        s.number = static_cast<int>(s.object.number);
    }
    DrawEphemerisTable(s.mode);
}

void Repaint() {
    *Redraw() = 1;
    if (platform::IsWindow(formWindow)) platform::InvalidateRect(formWindow, nullptr, false);
}

// Moves the start (and the observing date with it) and draws again.
void MoveStart(int days) {
    EphemerisState& s = ephemerisState;
    if (days == 0) return;
    AddDays(&s.year, &s.month, &s.day, days);
    SetObservingInstant(s.year, s.month, s.day);
    ShowDateFields();
    Repaint();
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "EphemerisAssistant");
    InitButton(w, kBack, -1, 0, 0);
    InitButton(w, kChooseObject, -1, 0, 0);
    InitButton(w, kNow, 120, 0, 0);
    InitButton(w, kInfo, -1, 0, 0);
    // Rows show the last one added first: the tables go in from their ends.
    for (int i = 8; i >= 0; --i) AppendListItem(w, kStepList, kStepRows[i]);
    for (int i = 1; i >= 0; --i) AppendListItem(w, kModeList, kModeRows[i]);
    InitPopupList(w, kStepPopup, kStepList, -1, 0, ephemerisStep);
    InitPopupList(w, kModePopup, kModeList, -1, 0, ephemerisState.mode);
    InitField(w, kDate, 0);
    InitField(w, kTime, 0);
}

void ReleaseEphemerisControls(Window w) {
    *Redraw() = 1;
    for (int id : {kTitle, kBack, kChooseObject, kNow, kInfo, kStepPopup, kModePopup, kDate, kTime})
        ReleaseControl(w, id);
}

// Closing keeps nothing of its own.
void EphemerisOnClose() {}

int EphemerisKeyDown(int key) {
    switch (key) {
        case platform::kKeyPageUp:
        case platform::kKeyPageDown:
        case platform::kKeyUp:
        case platform::kKeyDown:
        case platform::kKeyLeft:
        case platform::kKeyRight: return 1;
        default: return 0;
    }
}

}  // namespace

int EphemerisStepDays(int row) { return row >= 0 && row < 9 ? kStepDays[row] : kStepDays[3]; }

const EphemerisRow* LastEphemerisRows(int* count) {
    if (count) *count = drawnRowCount;
    return drawnRows;
}

void OpenEphemeris(int number, int catalog, int year, int month, int day, int hour, int minute) {
    EphemerisState& s = ephemerisState;
    s.number = number;
    s.catalog = catalog;
    s.year = year, s.month = month, s.day = day, s.hour = hour, s.minute = minute, s.second = 0;
    s.mode = kEphemerisRiseSet;
    GotoForm(kEphemerisFormId);
}

void DrawEphemerisTable(int mode) {
    EphemerisState& s = ephemerisState;
    drawnRowCount = 0;
    SetPopupList(kStepPopup, kStepList, ephemerisStep);
    SetPopupList(kModePopup, kModeList, mode);
    ShowDateFields();
    ObjectRef object;
    char label[kObjectTextSize], second[kObjectTextSize];
    if (!BuildObjectDescription(s.catalog, s.number, &object, label, second, 1, nullptr)) return;

    const bool night = preferences.word[pref::nightMode] > 0;
    const int level = GetNightLevel();
    const platform::Color even = night ? platform::Rgb(level / 2, 0, 0) : platform::Rgb(180, 180, 250);
    const platform::Color odd = night ? platform::Rgb(0, 0, 0) : platform::Rgb(255, 255, 255);
    const platform::Color textColour = night ? GetForeColor() : platform::Rgb(21, 21, 120);
    const platform::Color previousText = SetTextColor(textColour);
    const int previousTransparent = SetTextTransparent(1);
    DrawTitle(object, label, second);

    int width = s.screenWidth, height = s.screenHeight;
    if (width <= 0 || height <= 0) GetScreenSize(&width, &height);
    s.rowHeight = Sy(20);
    s.firstRowY = Sy(50);
    s.rowCount = s.rowHeight > 0 ? std::max((height - Sy(72)) / s.rowHeight, 0) : 0;
    if (s.rowCount > kMaxRows) s.rowCount = kMaxRows;
    const Columns columns = ColumnEdges(mode);
    const char* const positionHeads[7] = {"Date", "Mag ", "Cnst", "RA", "Dec", "Az ", "Alt"};
    const char* const riseSetHeads[7] = {"Date", "Mag ", "Cnst", "Rise ", "Transit ", "Alt", "Set "};
    const char* const* heads = mode == kEphemerisPosition ? positionHeads : riseSetHeads;
    for (int k = 0; k < columns.count; ++k) DrawRight(heads[k], columns.edge[k] - Sx(2), s.firstRowY - Sy(14));

    int year = s.year, month = s.month, day = s.day;
    const int step = EphemerisStepDays(ephemerisStep);
    for (int r = 0; r < s.rowCount; ++r) {
        // Moving bodies are described for the row's date.
        SetObservingInstant(year, month, day);
        BuildObjectDescription(s.catalog, s.number, &object, nullptr, nullptr, 1, nullptr);
        SetObservingInstant(s.year, s.month, s.day);

        EphemerisRow& row = drawnRows[r];
        row = EphemerisRow{};
        const int y = s.firstRowY + r * s.rowHeight;
        SetForeColor(r % 2 == 0 ? even : odd);
        DrawRectangle(Bounds{0, y, width, s.rowHeight}, 0);
        FormatDateShort(row.text[0], day, month, year);
        std::snprintf(row.text[1], 16, "%.1f", object.magnitude);
        const double jd = DateTimeToJD(year, month, day, s.hour, s.minute, 0, observerLocation.zoneMinutes);
        const int constellation = FindConstellation(object.ra, object.dec, jd);
        std::snprintf(row.text[2], 16, "%s",
                      constellation >= 0 && constellation < kConstellationCount
                          ? ConstellationTable[constellation].abbreviation
                          : "");
        if (mode == kEphemerisPosition)
            PositionTexts(object, year, month, day, row.text + 3);
        else
            RiseSetTexts(object, year, month, day, row.text + 3);
        row.columns = columns.count;
        const int textY = y + (s.rowHeight - Sy(12)) / 2;
        for (int k = 0; k < columns.count; ++k) {
            // The altitude of the Position mode stands centred on its edge.
            const int edge = mode == kEphemerisPosition && k == 6 ? columns.edge[k] + TextWidth(row.text[k]) / 2
                                                                  : columns.edge[k];
            DrawRight(row.text[k], edge, textY);
        }
        drawnRowCount = r + 1;
        AddDays(&year, &month, &day, step);
    }
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
}

void EphemerisStylusMove(int x, int y) {
    EphemerisState& s = ephemerisState;
    const int days = (y - s.penY) / 10;
    if (days == 0) return;
    s.penX = x;
    s.penY = y;
    MoveStart(days);
}

int EphemerisCommand(int id) {
    EphemerisState& s = ephemerisState;
    switch (id) {
        case 1:
        case kBack: GoBackForm(); return 1;
        case kStepList: {
            const int row = GetListSelection(kStepList);
            if (row >= 0 && row < 9) ephemerisStep = row;
            SetPopupList(kStepPopup, kStepList, ephemerisStep);
            Repaint();
            return 1;
        }
        case kModeList: {
            const int row = GetListSelection(kModeList);
            if (row >= 0 && row < 2) s.mode = row;
            SetPopupList(kModePopup, kModeList, s.mode);
            Repaint();
            return 1;
        }
        case kNow: {
            GetLocalDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, &s.second);
            s.second = 0;
            SetObservingInstant(s.year, s.month, s.day);
            UpdateSkyForDate(preferences.word[pref::chartMode], s.year, s.month, s.day, s.hour, s.minute, 0, 1);
            ShowDateFields();
            Repaint();
            return 1;
        }
        case kInfo:
            ShowMessage(s.mode == kEphemerisRiseSet ? "\x95 Display the rise and set ephemeris of an object."
                                                    : "\x95 Display the position ephemeris of an object.",
                        "\x95 Change the date step to adjust the ephemeris upon your needs.");
            return 1;
        case kChooseObject: RequestChartCentre(kEphemerisFormId, s.catalog); return 1;
        default: return 0;
    }
}

int LayoutEphemerisAssistant(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    for (int id : {kBack, kInfo}) MoveObject(dialog, id, dx, 0, 0, 0);
    for (int id : {kStepPopup, kModePopup, kDate, kTime, kNow, kChooseObject}) MoveObject(dialog, id, 0, dy, 0, 0);
    return 1;
}

LResult EphemerisAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
        case platform::kMsgInitDialog: {
            OpenSelfLaidOutForm(w, nullptr, Redraw(), &MakeControls, &LayoutEphemerisAssistant);
            return 1;
        }
        case platform::kMsgPaint: PaintForm(w, &InitEphemerisForm, Redraw(), 0, 0); return 1;
        case platform::kMsgPenDown: {
            const platform::Point p = platform::PointFromParam(lParam);
            ephemerisState.penX = p.x;
            ephemerisState.penY = p.y;
            ephemerisState.penDown = true;
            return 1;
        }
        case platform::kMsgPenMove: {
            if (!ephemerisState.penDown) return 0;
            const platform::Point p = platform::PointFromParam(lParam);
            EphemerisStylusMove(p.x, p.y);
            return 1;
        }
        case platform::kMsgPenUp: ephemerisState.penDown = false; return 0;
        case platform::kMsgKeyDown: return EphemerisKeyDown(static_cast<int>(wParam));
        case platform::kMsgClose:
            EphemerisOnClose();
            ReleaseEphemerisControls(w);
            return 0;
        case platform::kMsgCommand: {
            const int id = platform::LowWord(wParam);
            if (id == kCmdCloseForm) {
                EphemerisOnClose();
                ReleaseEphemerisControls(w);
                CloseForm(kEphemerisFormId);
                return 1;
            }
            if (id == kStepPopup || id == kModePopup) return EphemerisCommand(platform::HighWord(wParam));
            return EphemerisCommand(id);
        }
        default: return 0;
    }
}
