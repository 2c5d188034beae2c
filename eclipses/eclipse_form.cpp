#include "eclipses/eclipse_form.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/numerical_tools.h"
#include "astro/precession_nutation.h"
#include "astro/quick_sun_moon.h"
#include "astro/time_scales.h"
#include "core/calendar.h"
#include "core/initialisers.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "eclipses/central_line.h"
#include "eclipses/eclipse_form_internal.h"
#include "eclipses/eclipse_limits_drawing.h"
#include "eclipses/eclipse_map.h"
#include "eclipses/eclipse_math.h"
#include "eclipses/eclipse_path.h"
#include "eclipses/eclipse_state.h"
#include "eclipses/eclipse_sun_moon.h"
#include "eclipses/local_circumstances.h"
#include "eclipses/lunar_eclipse_pages.h"
#include "moon/globe_drawing.h"
#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/messages.h"
#include "shell/colour_scheme.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/place_text.h"
#include "shell/popup_lists.h"
#include "shell/text_input.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace eclipse_form;

int eclipseSolarComputations = 0;

namespace {

// Pictures of the form's buttons.
constexpr int kListPicture = 2252;
constexpr int kInfoPicture = 5125;
constexpr int kMapPicture = 2725;
constexpr int kYearPicture = 120;
// Eclipse icons by type: solar 4073 (penumbral) .. 4076 (total), lunar 4077 .. 4080.
constexpr int kSolarIconBase = 4072;
constexpr int kLunarIconBase = 4076;

// The list asks for six lunations' worth of rows past the first found.
constexpr int kListRowsAsked = 6;
// Years the list may start in.
constexpr int kFirstListYear = 1600;
constexpr int kLastListYear = 2400;

constexpr double kHourInCenturies = 1.1407711613050422e-6;

Window eclipseWindow;
bool penIsDown = false;
// The row the list selects once it has its rows again (after an opening or a new list).
int rowToSelect = -1;

int Sx(double n) { return ToIntChecked(n * screenScale.horizontal, 0); }
int Sy(double n) { return ToIntChecked(n * screenScale.vertical, 0); }
void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }
void TextRight(const char* text, int right, int y) {
    const int n = static_cast<int>(std::strlen(text));
    DrawString(text, n, right - CharsWidth(text, n), y);
}

EclipseEntry* Selected() {
    EclipseState& s = eclipseState;
    if (!s.eclipseList || s.selectedRow < 0 || s.selectedRow >= s.eclipseCount) return nullptr;
    return &s.eclipseList[s.selectedRow];
}
bool SolarSelected() {
    const EclipseEntry* e = Selected();
    return e && e->kind == 1;
}

// ---- Help ----------------------------------------------------------------------------------

struct PageHelp {
    const char* heading;
    const char* detail;
};
constexpr PageHelp kPageHelp[5] = {
    {"\x95 Display the list of the next 12 ecplises.\n\x95 Tap on one to get its best location and greastest time.",
     "\x95 Type on the year field to select an other range."},
    {"\x95 Display the local circumtance information.",
     "\x95 Set Time or Location and then press the linked Set button."},
    {"\x95 Display the global path of the eclipse on a world map.", ""},
    {"\x95 Display the detailled path of the eclipse on a world map.\n\x95 Scroll the map with your stylus.",
     "\x95 Tap on the map to get local circumstance informations."},
    {"\x95 Display the path of the eclipse on the globe.",
     "\x95 Rotate the globe using your stylus to adjust the view."},
};

int PageIndex(int page) { return page < 0 || page > 4 ? 0 : page; }

// ---- Pages and controls --------------------------------------------------------------------

// Every control a page may show; the others of this list are hidden.
constexpr int kPageControls[] = {kList,     kListButton, kInfoButton, kYear,     kYearButton, kPathButton,
                                 kTimeLabel, kTime,      kTimeSet,    kPlaceLabel, kLatitude, kLongitude,
                                 kPlaceSet,  kMapTime,   kStepIn,     kStepOut,  kMapButton,  kInfoAtTap};

bool PageShows(int page, int id) {
    const bool solar = SolarSelected();
    switch (page) {
    case kPageListPage:
        return id == kList || id == kInfoButton || id == kYear || id == kYearButton || (id == kMapButton && solar);
    case kPageInfo:
        return id == kListButton || (id >= kTimeLabel && id <= kPlaceSet) || (id == kMapButton && solar);
    case kPageMap:
        return id == kListButton || id == kInfoAtTap;
    default:  // Path and Diagram
        return id == kListButton || (id == kMapButton && solar);
    }
}

void ShowPageControls(int page) {
    for (int id : kPageControls) ShowControl(eclipseWindow, id, PageShows(page, id) ? 1 : 0);
}

void ClearPageArea() {
    const EclipseState& s = eclipseState;
    SetForeColor(GetBackColor());
    FillRectangle(Bounds{0, Sy(24), s.formWidth, s.formHeight - Sy(22) - Sy(24)});
}

// Pages other than the list need a central line: a partial eclipse, or a central one whose
// axis misses the Earth, is partial wherever it is seen from the ground.
bool RefusedForNoCentralLine() {
    const EclipseEntry* e = Selected();
    if (!e || e->kind != 1 || (e->type != 2.0 && eclipseState.centralLine)) return false;
    ShowMessage("Sorry, this function does not work for Partial Eclipse.", "Please select Annular or Total Eclipse.");
    return true;
}

void TimeFieldText() {
    char text[16];
    const EclipseState& s = eclipseState;
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", s.timeHour, s.timeMinute, s.timeSecond);
    SetField(kTime, text);
}

// ---- Selection -----------------------------------------------------------------------------

// The instant `hours` after 0h UT of the entry's date, in whole seconds, written back into
// the entry (the date moves when the instant crosses midnight).
void WriteInstant(EclipseEntry* e, double hours) {
    const int total = RoundChecked(hours * 3600.0, e->hour * 3600 + e->minute * 60 + e->second);
    int days = total / 86400, rest = total % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    if (days != 0) {
        int h, m, s;
        JDToDate(DateTimeToJD(e->year, e->month, e->day, 12, 0, 0, 0) + days, &e->year, &e->month, &e->day, &h, &m,
                 &s);
    }
    e->hour = rest / 3600;
    e->minute = rest / 60 % 60;
    e->second = rest % 60;
}

// The least separation of the Sun and the Moon within an hour of the listed instant, from
// the long series.
void RefineSolarInstant(EclipseEntry* e, double T) {
    SelectPositionSource(0);
    SetEclipseInstant(e->year, e->month, e->day, e->hour, e->minute, e->second);
    double times[3], sunRa[3], sunDec[3], moonRa[3], moonDec[3], distance;
    for (int i = 0; i < 3; ++i) {
        times[i] = e->hour + i - 1 + e->minute / 60.0 + e->second / 3600.0;
        const double t = T + (i - 1) * kHourInCenturies;
        GetApparentSun(t, &sunRa[i], &sunDec[i], &distance);
        GetApparentMoon(t, &moonRa[i], &moonDec[i], &distance);
    }
    double separation = 0.0, instant = 0.0;
    FindRiseSetTransit(times, sunRa, sunDec, moonRa, moonDec, &separation, &instant);
    if (std::isfinite(instant) && std::fabs(instant - times[1]) < 2.0) WriteInstant(e, instant);
    e->refined = ToIntChecked(std::fabs(separation), 0);
    SelectPositionSource(1);
}

void ComputeLunarEntry(EclipseEntry* e) {
    EclipseState& s = eclipseState;
    if (e->refined < 0) {
        double separation = 0.0;
        const double jd =
            GreatestLunarEclipse(e->year, e->month, e->day, e->hour, e->minute, e->second, &separation);
        e->refined = ToIntChecked(std::fabs(separation), 0);
        if (std::isfinite(jd)) JDToDate(jd, &e->year, &e->month, &e->day, &e->hour, &e->minute, &e->second);
    }
    s.placeLatitude = s.centralLatitude;
    s.placeLongitude = s.centralLongitude;
}

// ---- Place and time ------------------------------------------------------------------------

// "hh:mm:ss" (or "hh:mm") with hours 0 to 23 and minutes and seconds 0 to 59.
bool ReadTime(const char* text, int* hour, int* minute, int* second) {
    int h = -1, m = -1, s = 0, used = 0;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%s", text);
    TrimBlanks(buffer);
    if (std::sscanf(buffer, "%2d:%2d:%2d%n", &h, &m, &s, &used) != 3) {
        s = 0;
        used = 0;
        if (std::sscanf(buffer, "%2d:%2d%n", &h, &m, &used) != 2) return false;
    }
    if (buffer[used] != '\0' || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59) return false;
    *hour = h;
    *minute = m;
    *second = s;
    return true;
}

void PlaceStep() {
    EclipseState& s = eclipseState;
    s.placeLatitude = s.centralLatitude = s.typedLatitude;
    s.placeLongitude = s.centralLongitude = s.typedLongitude;
    if (EclipseEntry* e = Selected(); e && e->kind == 1) {
        FindLocalContacts(&s.local, e->year, e->month, e->day, e->hour, e->minute, s.typedLatitude, s.typedLongitude);
        s.localMaximumHours = s.local.maxTime;
        s.partialStartHours = s.local.outerStart;
        s.partialEndHours = s.local.outerEnd;
        s.centralStartHours = s.local.innerStart;
        s.centralEndHours = s.local.innerEnd;
        const double h = s.localMaximumHours;
        s.timeHour = ToIntChecked(h, 0);
        s.timeMinute = ToIntChecked(std::fmod(h * 60.0, 60.0) + 0.5, 0);
        s.timeSecond = ToIntChecked(std::fmod(h * 3600.0, 60.0) + 0.5, 0);
    }
    RefreshEclipseForm();
}

int ApplyTypedPlace() {
    char text[64] = {};
    double latitude, longitude;
    GetField(kLatitude, text, 13);
    if (!ParseSiteCoordinate(text, 'N', 'S', 90.0, &latitude)) {
        ShowMessage("Invalid latitude", "Type degrees and minutes from 90\xB0 S to 90\xB0 N, as 48\xB0" "07.0 N.");
        return 0;
    }
    GetField(kLongitude, text, 13);
    if (!ParseSiteCoordinate(text, 'W', 'E', 180.0, &longitude)) {
        ShowMessage("Invalid longitude",
                    "Type degrees and minutes from 180\xB0 E to 180\xB0 W, as 2\xB0" "20.0 E.");
        return 0;
    }
    eclipseState.typedLatitude = latitude;
    eclipseState.typedLongitude = longitude;
    PlaceStep();
    return 1;
}

int ApplyTypedTime() {
    char text[32] = {};
    GetField(kTime, text, 11);
    EclipseState& s = eclipseState;
    if (!ReadTime(text, &s.timeHour, &s.timeMinute, &s.timeSecond)) {
        ShowMessage("Invalid time", "Type the time (UT) as hh:mm:ss, hours 0 to 23.");
        return 0;
    }
    s.partialStartHours = -1.0;
    if (SolarSelected()) s.placeLatitude = -500.0;
    RefreshEclipseForm();
    return 1;
}

// A new list from January 1 of `year`.
void StartListAt(int year) {
    EclipseState& s = eclipseState;
    s.listYear = year;
    s.listMonth = 1;
    s.listDay = 1;
    FreeEclipseList(&s.eclipseList);
    s.eclipseCount = 0;
    s.selectedRow = -1;
    rowToSelect = 0;
}

void EditYear(Window w) {
    SaveScreen();
    EditTextDialog(w, kYear, "Year:", 5);
    char text[16] = {};
    GetField(kYear, text, sizeof text);
    char* end = nullptr;
    const long year = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || year < kFirstListYear || year > kLastListYear) {
        char shown[8];
        std::snprintf(shown, sizeof shown, "%04d", eclipseState.listYear);
        SetField(kYear, shown);
        ShowMessage("Invalid year", "Type a year from 1600 to 2400.");
        return;
    }
    StartListAt(static_cast<int>(year));
}

// Redraws the form for a command: the page area first erased, then the command.
void RedrawWith(Window w, int id) {
    platform::InvalidateRect(w, nullptr, false);
    const platform::Dc dc = platform::GetWindowDc(w);
    SetDrawTarget(w, dc);
    EraseWindow(w);
    DrawTitleUnderline(w, dc);
    HandleEclipseCommand(id);
    if (platform::IsWindow(w)) SaveScreen();
    platform::ReleaseDc(w, dc);
}

}  // namespace

// ---- Interfaces ------------------------------------------------------------------------------

void ComputeSolarEntry(EclipseEntry* e) {
    EclipseState& s = eclipseState;
    ++eclipseSolarComputations;
    const double deltaT = GetDeltaT(e->year, e->month, e->day);
    double T = (DateTimeToJD(e->year, e->month, e->day, e->hour, e->minute, e->second, 0) + deltaT / 86400.0 -
                2451545.0) * 2.7378507871321012e-5;
    if (e->refined < 0) {
        RefineSolarInstant(e, T);
        T = (DateTimeToJD(e->year, e->month, e->day, e->hour, e->minute, e->second, 0) + deltaT / 86400.0 -
             2451545.0) * 2.7378507871321012e-5;
    }
    FitBesselElements(&s.elements, e->year, e->month, e->day, e->hour + (e->minute + 30) / 60);
    const double hours = e->hour + e->minute / 60.0 + e->second / 3600.0;
    double latitude, longitude, duration, width, start, end;
    s.centralLine = GetCentralLinePoint(s.elements, hours, deltaT, &latitude, &longitude, &duration, &width) &&
                    GetCentralLineEnds(s.elements, deltaT, &start, &end);
    if (!s.centralLine) {
        // No central point, duration or table span: nothing below may read them.
        e->duration = 0;
        s.centralDuration = 0.0;
        return;
    }
    s.centralLatitude = latitude;
    s.centralLongitude = longitude;
    s.centralDuration = duration;
    e->duration = ToIntChecked(duration, 0);
    s.placeLatitude = latitude;
    s.placeLongitude = longitude;
    s.globeLongitude = ToIntChecked(longitude, 0);
    s.globeLatitude = ToIntChecked(latitude, 0);
    const double step = (end - start + 0.25) * 0.2 / 24.0 / 36525.0;
    double dpsi, deps;
    NutationAngles(T, &dpsi, &deps);
    BuildSunTable(T - 2.0 * step, step, dpsi * kArcsecToRad);
    BuildMoonTable(T - 2.0 * step, step, dpsi * kArcsecToRad);
}


const char* EclipseHelpHeading(int page) { return kPageHelp[PageIndex(page)].heading; }
const char* EclipseHelpDetail(int page) { return kPageHelp[PageIndex(page)].detail; }

void ShowPlaceFields(double longitude, double latitude) {
    char magnitude[16], text[24];
    FormatAngleMagnitude(magnitude, sizeof magnitude, latitude);
    std::snprintf(text, sizeof text, "%s %s", magnitude, latitude < 0 ? "S" : "N");
    SetField(kLatitude, text);
    FormatAngleMagnitude(magnitude, sizeof magnitude, longitude);
    std::snprintf(text, sizeof text, "%s %s", magnitude, longitude < 0 ? "E" : "W");
    SetField(kLongitude, text);
}

void DrawEclipseRow(int row, Bounds rect, int, int) {
    const EclipseState& s = eclipseState;
    if (s.eclipseCount < 1 || !s.eclipseList || row < 0 || row >= s.eclipseCount) return;
    const EclipseEntry& e = s.eclipseList[row];
    if (e.kind != 0 && e.kind != 1) {
        Text("Unknown event", rect.x, rect.y);
        return;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d %s", e.year, e.month, e.day, e.kind == 1 ? "Sun" : "Moon");
    Text(text, rect.x + 2, rect.y);
    Text(EclipseTypeName(e.type), rect.x + Sx(105), rect.y);
    if (GetDpiFactor() > 1) {
        const int type = ToIntChecked(e.type, 0);
        if (e.kind == 1) DrawBitmapMasked(kSolarIconBase + type, rect.x + Sx(200), rect.y + 2);
        else DrawBitmapMasked(kLunarIconBase + type, rect.x + Sx(200), rect.y + Sy(2));
    }
}

int ComputeSolarEclipse() {
    EclipseState& s = eclipseState;
    if (!s.eclipseList || s.eclipseCount < 1) return 0;
    int row = GetListSelection(kList);
    if (row < 0 || row >= s.eclipseCount) {
        row = 0;
        SetListSelection(kList, 0);
    }
    if (row != s.selectedRow) {
        s.partialStartHours = -1.0;
        s.mapCentreFlag = -1;
        s.trackCount = 0;
        s.selectedRow = row;
        EclipseEntry* e = &s.eclipseList[row];
        if (e->kind == 1) {
            ShowControl(eclipseWindow, kMapButton, s.page == kPageMap ? 0 : 1);
            ComputeSolarEntry(e);
        } else {
            ShowControl(eclipseWindow, kMapButton, 0);
            s.centralLine = 0;
            ComputeLunarEntry(e);
        }
        s.timeHour = e->hour;
        s.timeMinute = e->minute;
        s.timeSecond = e->second;
        RedrawList(platform::GetDialogItem(eclipseWindow, kList));
    }
    if (s.page != kPageListPage) return 1;
    const int drawn =
        DrawSolarEclipseSummary(s.eclipseList, row, &s.centralLatitude, &s.centralLongitude, s.formWidth, s.formHeight);
    s.placeLatitude = s.centralLatitude;
    s.placeLongitude = s.centralLongitude;
    return drawn;
}

void RefreshEclipseForm() {
    EclipseState& s = eclipseState;
    if (!s.eclipseList) {
        s.eclipseCount = BuildEclipseList(&s.eclipseList, kListRowsAsked, s.listYear, s.listMonth, s.listDay);
        s.selectedRow = -1;
    }
    ShowPageControls(s.page);
    SetPopupList(kPagePopup, kPageList, s.page);
    if (s.page != kPageListPage) {
        if (s.page == kPageInfo || s.page == kPageDiagram) ClearPageArea();
        if (RefusedForNoCentralLine()) return;
    }
    const EclipseEntry* e = Selected();
    switch (s.page) {
    case kPageListPage: {
        char text[8];
        std::snprintf(text, sizeof text, "%04d", s.listYear);
        SetField(kYear, text);
        const int keep = rowToSelect >= 0 ? rowToSelect : GetListSelection(kList);
        rowToSelect = -1;
        FillList(platform::GetDialogItem(eclipseWindow, kList), nullptr, s.eclipseCount);
        if (keep >= 0 && keep < s.eclipseCount) SetListSelection(kList, keep);
        ComputeSolarEclipse();
        break;
    }
    case kPageInfo:
        TimeFieldText();
        if (s.placeLatitude > -400.0) ShowPlaceFields(s.placeLongitude, s.placeLatitude);
        if (e && e->kind == 1) {
            DrawEclipseAtPlace();
        } else if (e) {
            const bool placed = s.placeLatitude > -400.0;
            DrawLunarEclipseInfo(s.eclipseList, s.selectedRow, s.formWidth, s.formHeight, s.timeHour, s.timeMinute,
                                 s.timeSecond, placed ? s.placeLongitude : s.centralLongitude,
                                 placed ? s.placeLatitude : s.centralLatitude);
        }
        break;
    case kPagePath:
        if (e && e->kind == 1) DrawEclipsePath();
        else if (e) DrawLunarContacts(s.eclipseList, s.selectedRow, s.formWidth, s.formHeight);
        break;
    case kPageMap:
        if (e && e->kind != 1) {
            ShowMessage("This module is not available for moon eclipse", "");
            break;
        }
        {
            char text[8];
            std::snprintf(text, sizeof text, "%02d:%02d", s.timeHour, s.timeMinute);
            SetField(kMapTime, text);
        }
        DrawEclipseMap(1, s.mapRect);
        break;
    case kPageDiagram:
        DrawEclipseDiagram();
        break;
    default:
        break;
    }
}

void EclipseGlobeGeometry(int* cx, int* cy, int* radius) {
    const EclipseState& s = eclipseState;
    const bool small = s.formHeight <= Sx(240);
    const int r = small ? Sx(80) : Sx(100);
    const int top = (small ? Sy(35) : Sy(eclipseLayoutOffset)) + Sy(24);
    const int left = (s.formWidth - 2 * r) / 2;
    *cx = left + r + Sx(3);
    *cy = top + r + Sy(3);
    *radius = r;
}

void DrawEclipseDiagram() {
    EclipseState& s = eclipseState;
    const EclipseEntry* e = Selected();
    if (!e) return;
    int cx, cy, r;
    EclipseGlobeGeometry(&cx, &cy, &r);
    const bool night = preferences.word[pref::nightMode] > 0;  // the night red is 255 by day
    SetTextColor(GetForeColor());
    char text[96], value[40];
    const double deltaT = GetDeltaT(e->year, e->month, e->day);
    const int bandY = s.formHeight - Sy(22) - Sy(48);
    if (GetDpiFactor() > 1) {
        SetFont(5);
        Text("Sun", Sx(1), bandY);
        Text("(Geocentric)", Sx(1), bandY + Sy(12));
        TextRight("Moon", s.formWidth - Sx(1), bandY);
        TextRight("(Geocentric)", s.formWidth - Sx(1), bandY + Sy(12));
        SelectPositionSource(0);
        SetEclipseInstant(e->year, e->month, e->day, e->hour, e->minute, e->second);
        const double T = (DateTimeToJD(e->year, e->month, e->day, e->hour, e->minute, e->second, 0) +
                          deltaT / 86400.0 - 2451545.0) * 2.7378507871321012e-5;
        double sunRa, sunDec, moonRa, moonDec, distance;
        GetApparentSun(T, &sunRa, &sunDec, &distance);
        GetApparentMoon(T, &moonRa, &moonDec, &distance);
        SelectPositionSource(1);
        const int lineY = bandY + Sy(24);
        HMSToStr(value, sizeof value, sunRa / kHoursToRad);
        std::snprintf(text, sizeof text, "RA=%s", value);
        Text(text, Sx(1), lineY);
        DMSToStr(value, sizeof value, sunDec / kDegToRad);
        std::snprintf(text, sizeof text, "Dec=%s", value);
        Text(text, Sx(1), lineY + Sy(12));
        HMSToStr(value, sizeof value, moonRa / kHoursToRad);
        std::snprintf(text, sizeof text, "RA=%s", value);
        TextRight(text, s.formWidth - Sx(1), lineY);
        DMSToStr(value, sizeof value, moonDec / kDegToRad);
        std::snprintf(text, sizeof text, "Dec=%s", value);
        TextRight(text, s.formWidth - Sx(1), lineY + Sy(12));
        const int hundredths = RoundChecked(deltaT * 100.0, 0);
        std::snprintf(text, sizeof text, "T=%d.%02ds", hundredths / 100, std::abs(hundredths % 100));
        Text(text, s.formWidth / 2 - Sx(24), lineY + Sy(12));
        SetFont(6);
        DrawSymbolChar(68, s.formWidth - Sx(14), Sy(26));
    }
    if (e->kind != 1) {
        SetFont(5);
        std::snprintf(text, sizeof text, GetDpiFactor() < 2 ? "%s" : "%s Lunar Eclipse", EclipseTypeName(e->type));
        Text(text, 0, Sy(24));
        DrawLunarEclipseTimes(s.eclipseList, s.selectedRow, s.centralLatitude, s.centralLongitude, s.formWidth,
                              s.formHeight);
        return;
    }
    if (night) {
        s.diagramColor = ColourRecord{0, 20, 0, 0};
        SetTextColor(platform::Rgb(GetNightLevel(), 0, 0));
    }
    // Key colour 0: black texels are see-through anyway, and a key makes the globe take
    // the page's radius rather than one from the picture's height.
    DrawMapOnSphere(GetDpiFactor() >= 2 ? kEarthMapHalves : kEarthMapHalvesSmall, cx, cy, 1, s.globeLongitude, 0,
                    s.globeLatitude, r, 0, RGBToColorRef(s.diagramColor));
    SetFont(5);
    char date[40];
    FormatDate(date, e->day, e->month, e->year);
    std::snprintf(text, sizeof text, "%s Solar Eclipse %s", EclipseTypeName(e->type), date);
    Text(text, Sx(1), Sy(24));
    SetFont(4);
    std::snprintf(text, sizeof text, "Greatest at %02dh%02dm%02dUT", e->hour, e->minute, e->second);
    Text(text, Sx(1), Sy(38));
    // A label and its value side by side.
    auto labelled = [](const char* label, int x, int y) {
        Text(label, x, y);
        return x + CharsWidth(label, static_cast<int>(std::strlen(label))) + Sx(2);
    };
    SetFont(2);
    DrawAngleLetter(s.centralLongitude, 'W', 'E', labelled("Long=", s.formWidth - Sx(88), Sy(38)), Sy(38));
    DrawAngleLetter(s.centralLatitude, 'N', 'S', labelled("Lat=", s.formWidth - Sx(88), Sy(50)), Sy(50));
    if (s.formHeight > 160) {
        double hours = e->hour + e->minute / 60.0 + e->second / 3600.0;
        LocalCircumstances local;
        GetLocalCircumstances(s.elements, 0, s.centralLatitude, s.centralLongitude, 0.0, deltaT, &hours, &local);
        const int partial = RoundChecked(local.outerDuration / 60.0, 0);
        std::snprintf(text, sizeof text, "%dh%02dm", partial / 60, partial % 60);
        Text(text, labelled("Partial Duration:", Sx(1), Sy(50)), Sy(50));
        const int central = ToIntChecked(local.centralDuration, 0);
        if (central < 3600) std::snprintf(text, sizeof text, "%dm%02d", central / 60, central % 60);
        else std::snprintf(text, sizeof text, "%dh%02d", central / 3600, central % 3600 / 60);
        Text(text, labelled("Central Duration:", Sx(1), Sy(62)), Sy(62));
    }
    DrawEclipseLimits(s.elements, cx, cy, s.globeLongitude, 0, s.globeLatitude, r, deltaT);
}

int HandleEclipseCommand(int controlId) {
    EclipseState& s = eclipseState;
    switch (controlId) {
    case kHelp:
        ShowMessage(EclipseHelpHeading(s.page), EclipseHelpDetail(s.page));
        return 1;
    case kPageList: {
        const int choice = GetListSelection(kPageList);
        const EclipseEntry* e = Selected();
        if (e && e->kind != 1 && choice == kPageMap) {
            ShowMessage("This module is not available for moon eclipse", "");
            SetPopupList(kPagePopup, kPageList, s.page);
            RefreshEclipseForm();
            return 1;
        }
        if (choice >= 0) s.page = choice;
        RefreshEclipseForm();
        return 1;
    }
    case kList:
        ComputeSolarEclipse();
        return 1;
    case kBack:
        GoBackForm();
        return 1;
    case kListButton:
        s.page = kPageListPage;
        RefreshEclipseForm();
        return 1;
    case kInfoButton:
        s.page = kPageInfo;
        RefreshEclipseForm();
        return 1;
    case kYearButton: {
        int year = observingDateTime.year;
        if (year < kFirstListYear || year > kLastListYear) year = s.listYear;
        StartListAt(year);
        RefreshEclipseForm();
        return 1;
    }
    case kPathButton:
        s.page = kPagePath;
        RefreshEclipseForm();
        return 1;
    case kTimeSet:
        ApplyTypedTime();
        return 1;
    case kPlaceSet:
        ApplyTypedPlace();
        return 1;
    case kStepIn:
        if (s.mapStep > 1) --s.mapStep;
        s.mapCentreFlag = -1;
        RefreshEclipseForm();
        return 1;
    case kStepOut:
        if (s.mapStep < GetDpiFactor()) ++s.mapStep;
        s.mapCentreFlag = -1;
        RefreshEclipseForm();
        return 1;
    case kMapButton:
        s.page = kPageMap;
        RefreshEclipseForm();
        return 1;
    case kInfoAtTap:
        s.page = kPageInfo;
        PlaceStep();
        return 1;
    default:
        return controlId >= kHelp && controlId <= kInfoAtTap ? 1 : 0;
    }
}

int SetEclipsePenDown(int x, int y) {
    eclipseState.penX = x;
    eclipseState.penY = y;
    eclipseState.penDragged = 0;
    return 1;
}

void FreeEclipseData() {
    EclipseState& s = eclipseState;
    FreeSunTable();
    FreeMoonTable();
    FreeEclipseList(&s.eclipseList);
    s.eclipseCount = 0;
    FreeEclipseMap();
}

void InitEclipseForm() {
    EclipseState& s = eclipseState;
    s.mapRect[1] = Sy(24);
    s.page = kPageListPage;
    PushFormHistory(kEclipseFormId);
    if (s.listYear == -1) {
        s.listYear = 2006;
        s.listMonth = 1;
        s.listDay = 1;
        s.timeHour = 0;
        s.timeMinute = 0;
    }
    GetScreenSize(&s.formWidth, &s.formHeight);
    s.mapRect[2] = s.formWidth - s.mapRect[0];
    s.mapRect[3] = s.formHeight - Sy(22) - s.mapRect[1];
    rowToSelect = s.selectedRow >= 0 ? s.selectedRow : 0;
    s.selectedRow = -1;
    ShowObject(eclipseWindow, kBack);
    ShowObject(eclipseWindow, kYear);
    RefreshEclipseForm();
}

int LayoutEclipseForm(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    const int moved = GetResizeDelta(dialog, width, height, &dx, &dy) ? 1 : 0;
    if (!moved) return 0;
    for (int id : {kBack, kListButton, kPathButton, kMapButton, kStepIn, kStepOut, kInfoButton, kInfoAtTap})
        MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kYear, kMapTime, kYearButton}) MoveObject(dialog, id, dx, dy, 0, 0);
    MoveObject(dialog, kHelp, dx, 0, 0, 0);
    MoveObject(dialog, kList, 0, 0, dx, dy);
    return moved;
}

void CloseEclipseForm(Window dialog) {
    eclipseState.redrawFlag = 1;
    for (int id : {kTitle, kHelp, kYearButton, kBack, kInfoAtTap, kInfoButton, kListButton, kTime, kLongitude, kLatitude,
                   kYear, kMapTime, kPagePopup, kList, kMapButton, kPathButton, kTimeSet, kPlaceSet, kStepIn, kStepOut})
        ReleaseControl(dialog, id);
}

LResult EclipseAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    std::int32_t* const redraw = FormRedrawFlag(kEclipseFormId);
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, redraw, &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        eclipseWindow = w;
        InitFormWindow(w);
        InitTitle(w, kTitle, "EclipseAssistant");
        InitHelpAndBackButtons(w, kHelp, kBack);
        InitButton(w, kYearButton, kYearPicture, 0, 0);
        InitButton(w, kInfoButton, kInfoPicture, 0, 0);
        InitButton(w, kInfoAtTap, kInfoPicture, 0, 0);
        InitButton(w, kListButton, kListPicture, 0, 0);
        InitButton(w, kMapButton, kMapPicture, 0, 0);
        for (int id : {kPathButton, kTimeSet, kPlaceSet, kStepIn, kStepOut}) InitButton(w, id, -1, 0, 0);
        for (int id : {kTime, kLongitude, kLatitude, kYear, kMapTime}) InitField(w, id, 0);
        for (const char* row : {"Diagram", "Map", "Path", "Info", "List"}) AppendListItem(w, kPageList, row);
        InitPopupList(w, kPagePopup, kPageList, 5, 5, -1);
        InitList(w, kList, 0, -1, 1);
        *redraw = 1;
        eclipseState.redrawFlag = 1;
        const platform::Rect client = platform::GetClientRect(w);
        LayoutEclipseForm(w, client.Width(), client.Height());
        return 1;
    }
    case platform::kMsgPaint:
        if (*redraw) platform::PostMessage(w, platform::kMsgCommand, kList, 0);
        PaintForm(w, &InitEclipseForm, redraw, Sy(22), 0);
        return 1;
    case platform::kMsgMeasureItem: {
        auto* info = reinterpret_cast<platform::MeasureItemInfo*>(lParam);
        if (info && info->controlId == kList) info->height = Sy(18);
        return 1;
    }
    case platform::kMsgDrawItem: {
        const auto* info = reinterpret_cast<const platform::DrawItemInfo*>(lParam);
        if (info && info->controlId == kList) DrawOwnerListItem(w, info, &DrawEclipseRow);
        return 1;
    }
    case platform::kMsgPenDown: {
        const platform::Point p = platform::PointFromParam(lParam);
        penIsDown = SetEclipsePenDown(p.x, p.y) != 0;
        return 1;
    }
    case platform::kMsgPenMove: {
        if (!penIsDown) return 0;
        const platform::Point p = platform::PointFromParam(lParam);
        int handled = 0;
        DrawOnForm(w, [&] { handled = TrackEclipsePen(p.x, p.y); });
        return handled;
    }
    case platform::kMsgPenUp: {
        if (!penIsDown) return 0;
        penIsDown = false;
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [&] { HandleEclipsePenUp(p.x, p.y); });
        return 1;
    }
    case platform::kMsgClose:
        FreeEclipseData();
        CloseEclipseForm(w);
        return 0;
    case kMsgFieldTap: {
        const int id = platform::LowWord(wParam);
        if (id == kTime || id == kLatitude || id == kLongitude) {
            SaveScreen();
            EditTextDialog(w, id, id == kTime ? "Time:" : id == kLatitude ? "Latitude:" : "Longitude:",
                           (id == kTime ? 10 : 12) + 1);
        } else if (id == kYear) {
            EditYear(w);
            platform::InvalidateRect(w, nullptr, false);
            *redraw = 1;
        }
        return 1;
    }
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            FreeEclipseData();
            CloseEclipseForm(w);
            CloseForm(kEclipseFormId);
            return 1;
        case 1:
            HandleEclipseCommand(kBack);
            return 1;
        case kHelp:
        case kBack:
        case kStepIn:
        case kStepOut:
            HandleEclipseCommand(id);
            return 1;
        case kList:
        case kListButton:
        case kInfoButton:
        case kYearButton:
        case kPathButton:
        case kTimeSet:
        case kPlaceSet:
        case kMapButton:
        case kInfoAtTap:
            RedrawWith(w, id);
            return 1;
        case kPagePopup:
            RedrawWith(w, platform::HighWord(wParam));
            return 1;
        default:
            return 0;
        }
    }
    default:
        return 0;
    }
}
