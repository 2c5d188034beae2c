#include "settings/day_night_form.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "astro/angle_text.h"
#include "astro/quick_sun_moon.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "chart/chart_services.h"
#include "chart/sky_view_chart.h"
#include "core/calendar.h"
#include "core/checked_math.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/gfx_context.h"
#include "platform/messages.h"
#include "settings/site_form.h"
#include "shell/colour_scheme.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/date_time_form.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace day_night;

DayNightState dayNight;

namespace {

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;
// A held page key steps the date at most a year per press, so that a key whose release
// is never seen cannot hold the form for ever.
constexpr int kMostHeldSteps = 366;
// The Sun's centre for the day and night lengths, and the three twilight rows.
constexpr double kTwilightAltitudes[3] = {-6.0, -12.0, -18.0};
constexpr platform::Color kSeaColour = platform::Rgb(40, 70, 140);

Window dayNightWindow;

std::int32_t* Redraw() { return FormRedrawFlag(kFormId); }

int Sx(double n) { return ToIntChecked(n * screenScale.horizontal, 0); }
int Sy(double n) { return ToIntChecked(n * screenScale.vertical, 0); }

int MapUnit() {
    const int u = GetDpiFactor();
    return u < 1 ? 1 : u;
}

Bounds MapRect() { return Bounds{dayNight.mapX, Sy(24), MapUnit() * 120, MapUnit() * 60}; }

// Day count of the low-precision Sun series (the day-count rule of the series).
long SeriesDayCount(int day, int month, int year) {
    long c;
    if (month >= 3) c = static_cast<long>(0.25 * year) - static_cast<long>(0.4 * month + 2.3);
    else c = (year - 1) / 4;
    return 31L * month + 365L * year + day - 46 + c;
}

// "hh" "mm" of local hours, the clock wrapped into one day.
void ClockText(char* out, std::size_t size, const char* prefix, double hours) {
    long minutes = std::lround(hours * 60.0) % 1440;
    if (minutes < 0) minutes += 1440;
    std::snprintf(out, size, "%s%02ldh%02ldm", prefix, minutes / 60, minutes % 60);
}

struct SunDay {
    int result = kRiseSetNormal;
    double rise = 0, transit = 0, set = 0;
    bool AllDay() const { return RiseSetAllDay(result, rise, transit, set); }
    // Above the altitude the whole day (midnight sun) rather than below it.
    bool AllDayAbove() const { return result == kRiseSetNeverSets; }
};

SunDay SunEvents(const double ra[3], const double dec[3], int year, int month, int day, double altitude) {
    SunDay d;
    d.result = ComputeRiseSetMoving(year, month, day, 0, 0, 0, ra[0], dec[0], ra[1], dec[1], ra[2], dec[2], altitude,
                                    &d.rise, &d.transit, &d.set);
    return d;
}

double DayLength(const SunDay& d) {
    if (d.AllDay()) return d.AllDayAbove() ? 24.0 : 0.0;
    double length = d.set - d.rise;
    if (length < 0.0) length += 24.0;
    return length;
}

void DrawTextAt(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

void DrawTextRows() {
    const ObservingDateTime& t = observingDateTime;
    const int top = Sy(213);
    Bounds area{0, top, dayNight.screenWidth, dayNight.screenHeight - top};
    FillRectangle(area);
    DayNightRows rows;
    ComputeDayNightRows(t.year, t.month, t.day, &rows);
    const int x = Sx(5);
    const int line = Sy(13);
    SetFont(2);
    const int previousTransparent = SetTextTransparent(1);
    DrawTextAt("Day length", x, top);
    DrawTextAt(rows.dayLength, x + Sx(100), top);
    DrawTextAt(rows.lengthChange, x + Sx(180), top);
    DrawTextAt("Night length", x, top + line);
    DrawTextAt(rows.nightLength, x + Sx(100), top + line);
    const int header = top + line + Sy(14);
    DrawTextAt("Rise", x + Sx(115), header);
    DrawTextAt("Set", x + Sx(192), header);
    const char* const names[3] = {"Civil day", "Nautical day", "Astronomical day"};
    for (int i = 0; i < 3; ++i) {
        const int y = header + (i + 1) * line;
        DrawTextAt(names[i], x, y);
        DrawTextAt(rows.rise[i], x + Sx(100), y);
        DrawTextAt(rows.set[i], x + Sx(180), y);
    }
    SetTextTransparent(previousTransparent);
}

// The sky view centred on the Sun, with the chart's display words it needs for the
// drawing only.
void DrawSunSkyView() {
    const int w = dayNight.screenWidth, h = dayNight.screenHeight;
    const bool portrait = h > w;
    Bounds area;
    if (portrait) area = Bounds{0, Sy(213) + Sy(13) * 5 + Sy(14) + Sy(4), w, 0};
    else area = Bounds{MapUnit() * 120, Sy(24), w - MapUnit() * 120, 0};
    area.height = h - Sy(22) - area.y;
    if (area.width <= 0 || area.height <= 0) return;
    if (dayNight.skyView && (dayNight.skyViewArea.width != area.width || dayNight.skyViewArea.height != area.height)) {
        DeleteOffscreen(dayNight.skyView);
        dayNight.skyView = nullptr;
    }
    dayNight.skyViewArea = area;
    const ObservingDateTime& t = observingDateTime;
    double ra = 0, dec = 0;
    SunPosition(&ra, &dec, t.year, t.month, t.day, t.hour, t.minute, t.second);
    constexpr int kHorizonFlip = pref::chartFlip + 2;  // the horizon view's flip word
    const DisplayWordValue words[] = {{pref::chartMode, 2},      {pref::skyViewScrollFlip, 0}, {kHorizonFlip, 0},
                                      {pref::objDrilldown, 0},   {pref::hideInfoBar, 1},       {pref::hideCompass, 1}};
    DrawEmbeddedSkyView(dayNight.skyView, area, ra, dec, 3, words);
    SetNightMode(1);
}

void ShowFields() {
    const ObserverLocation& site = observerLocation;
    const ObservingDateTime& t = observingDateTime;
    char text[64];
    char name[13];
    std::snprintf(name, sizeof name, "%.12s", site.name);
    SetField(kSiteName, name);
    char degrees[32];
    DMSToStr(degrees, sizeof degrees, std::fabs(site.longitude));
    std::snprintf(text, sizeof text, "%s%c", degrees, site.longitude >= 0 ? 'W' : 'E');
    SetField(kLongitude, text);
    DMSToStr(degrees, sizeof degrees, std::fabs(site.latitude));
    std::snprintf(text, sizeof text, "%s%c", degrees, site.latitude >= 0 ? 'N' : 'S');
    SetField(kLatitude, text);
    FormatDate(text, t.day, t.month, t.year);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", t.hour, t.minute);
    SetField(kTime, text);
    int y = t.year, mo = t.month, d = t.day, h = t.hour, mi = t.minute;
    AddMinutes(&y, &mo, &d, &h, &mi, -site.zoneMinutes);
    std::snprintf(text, sizeof text, "%02d:%02d", h, mi);
    SetField(kUniversalTime, text);
    std::snprintf(text, sizeof text, "%+d", site.zoneMinutes / 60);
    SetField(kZone, text);
    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second, site.longitude,
                                         site.zoneMinutes);
    const long lstMinutes = std::lround(lst * 60.0) % 1440;
    std::snprintf(text, sizeof text, "%02ld:%02ld", lstMinutes / 60, lstMinutes % 60);
    SetField(kSiderealTime, text);
    // The sign is written on its own: a difference under a minute keeps it.
    const long seconds = std::lround(std::fabs(dayNight.equationOfTime) * 60.0);
    std::snprintf(text, sizeof text, "%s%02ldm%02lds", dayNight.equationOfTime < 0 ? "-" : "", seconds / 60,
                  seconds % 60);
    SetField(kEquationOfTime, text);
    double ra = 0, dec = 0;
    SunPosition(&ra, &dec, t.year, t.month, t.day, t.hour, t.minute, t.second);
    std::snprintf(text, sizeof text, "%d\xB0", ToIntChecked(dec, 0));
    SetField(kSunDeclination, text);
}

void ObservingTimeMoved(int year, int month, int day, int hour, int minute) {
    SetObservingDateTime(year, month, day, hour, minute, observingDateTime.second);
}

void StepDays(int days) {
    ObservingDateTime t = observingDateTime;
    AddDays(&t.year, &t.month, &t.day, days);
    ObservingTimeMoved(t.year, t.month, t.day, t.hour, t.minute);
}

void StepMinutes(int minutes) {
    ObservingDateTime t = observingDateTime;
    AddMinutes(&t.year, &t.month, &t.day, &t.hour, &t.minute, minutes);
    ObservingTimeMoved(t.year, t.month, t.day, t.hour, t.minute);
}

}  // namespace

// ---- The Sun for the map -----------------------------------------------------------------

double GetSubsolarLongitude(int day, int month, int year, double utHour) {
    const double n = static_cast<double>(SeriesDayCount(day, month, year));
    const double l = ((n + utHour / 24.0 - 722449.0) * 0.98564734 + 279.306) * kDegToRad;
    const double e = 595.63 * std::sin(2 * l) - 429.266 * std::cos(l) - 104.55 * std::sin(l) - 2.283 * std::cos(2 * l) +
                     18.7333 * std::cos(3 * l) + 4.6 * std::sin(3 * l) - 13.2 * std::sin(4 * l) - std::cos(5 * l) -
                     std::sin(5 * l) / 3.0 + 0.5 * std::sin(6 * l) + 0.231;
    double result = e / 240.0 + (utHour / 24.0 + 0.5) * 360.0;
    if (result > 360.0) result -= 360.0;
    return result;
}

double GetSunLowPrecision(int day, int month, int year, double utHour) {
    const double n = static_cast<double>(SeriesDayCount(day, month, year) - 693960);
    const double q = n / 1461.0;
    const double k = std::trunc(q);
    const double m = (q - k) * 1440.02509 + k * 0.0307572 + utHour * 0.04106935416666667 + 356.6498973;
    constexpr double kFactor = 0.0174529870873242;
    const double l1 = m + 1.91233 * std::sin(m * kFactor);
    const double l2 = l1 + 0.02 * std::sin(l1 * 0.0349059741746484);
    double lambda = l2 + 282.55462;
    lambda = (lambda / 360.0 - std::floor(lambda / 360.0)) * 360.0;
    const double t = (year - 2000) * 0.01;
    const double epsilon = 23.43929111 - t * (46.815 + t * (0.00059 - 0.001813 * t)) / 3600.0;
    const double s = std::sin(epsilon * kDegToRad) * std::sin(lambda * kDegToRad);
    return std::atan(s / std::sqrt(1.0 - s * s)) / kDegToRad + 0.00075;
}

int GetTerminatorLatitude(int longitude, double k) {
    const double c = std::cos(longitude * kDegToRad);
    if (std::isinf(k)) {
        // The Sun on the equator: day from pole to pole within 90 degrees of its meridian.
        if (std::fabs(c) < 1e-12) return 0;
        return (c > 0) == (k > 0) ? -90 : 90;
    }
    return ToIntChecked(std::atan(-c * k) / kDegToRad + 0.5, 0);
}

// ---- The map ---------------------------------------------------------------------------------

void DrawDayNightMap(int x, int y, int year, int month, int day, int hour, int minute, int second) {
    const int u = MapUnit();
    const int width = u * 120, height = u * 60;
    DrawWindow* map = CreateOffscreenDIB(width, height, 16);
    if (!map) {
        ShowMessage("Can't allocate offscreen window", "");
        return;
    }
    DrawWindow* const target = SetDrawWindow(map);
    if (const DrawWindow* picture = CachedBitmapAt(u == 1 ? 1221 : kSmallMapBitmap, width, height)) {
        platform::CopyBlit(map->dc, 0, 0, width, height, picture->dc, 0, 0);
    } else {
        SetForeColor(NightColour(kSeaColour));
        DrawRectangle(Bounds{0, 0, width, height}, 0);
    }

    const double h = hour + (minute - observerLocation.zoneMinutes) / 60.0 + second / 3600.0;
    const double subsolar = GetSubsolarLongitude(day, month, year, h);
    const int declination = ToIntChecked(GetSunLowPrecision(day, month, year, h), 0);
    double e = GetSubsolarLongitude(day, month, year, 12.0);
    if (e > 5.0) e -= 360.0;
    dayNight.utHour = static_cast<float>(h);
    dayNight.subsolarLongitude = static_cast<float>(subsolar);
    dayNight.declination = declination;
    dayNight.equationOfTime = static_cast<float>(4.0 * e);

    int c = 180 - ToIntChecked(subsolar + 0.5, 0);
    if (c < 0) c += 360;
    if (c > 360) c -= 360;
    // k is infinite with the Sun on the equator; the terminator then follows the two
    // meridians 90 degrees from it (GetTerminatorLatitude).
    const double k = declination == 0 ? std::numeric_limits<double>::infinity()
                                      : 1.0 / std::tan(declination * kDegToRad);
    const bool nightBelow = declination >= 0;
    // Every pixel column is shaded from its own terminator, so no column of the night side
    // stays blank; a held key draws solid lines, quicker than blending.
    for (int column = 0; column < width; ++column) {
        const int degreesFromLeft = ToIntChecked(column * 3.0 / u, 0);
        const int relative = degreesFromLeft - c;
        const int row = 30 * u - ToIntChecked(GetTerminatorLatitude(relative, k) * u / 3.0, 0);
        const int from = nightBelow ? std::max(row, 0) : 0;
        const int to = nightBelow ? height - 1 : std::min(row, height - 1);
        if (from > to) continue;
        if (dayNight.keyRepeat) {
            SetForeColor(platform::Rgb(0, 0, 0));
            DrawLine(column, from, column, to);
        } else {
            for (int py = from; py <= to; ++py) BlendPixel(column, py, platform::Rgb(0, 0, 0), 100);
        }
    }
    SetDrawWindow(target);
    CopyBits(map, GetDrawWindow(), Bounds{0, 0, width, height}, x, y, 0);
    DrawSymbolIcon(0, 0, x + ToIntChecked(c * u / 3.0, 0), y + 30 * u - ToIntChecked(declination * u / 3.0 + 0.5, 0));
    DeleteOffscreen(map);
}

// ---- The rows of text ---------------------------------------------------------------------

void ComputeDayNightRows(int year, int month, int day, DayNightRows* rows) {
    // The Sun at the local midnights from two days before to the day after.
    double ra[4], dec[4];
    for (int i = 0; i < 4; ++i) {
        int y = year, m = month, d = day;
        AddDays(&y, &m, &d, i - 2);
        SunPosition(&ra[i], &dec[i], y, m, d, 0, 0, 0);
    }
    int py = year, pm = month, pd = day;
    AddDays(&py, &pm, &pd, -1);
    const SunDay yesterday = SunEvents(ra, dec, py, pm, pd, kSunRiseSetAltitude);
    const SunDay today = SunEvents(ra + 1, dec + 1, year, month, day, kSunRiseSetAltitude);
    const double length = DayLength(today);
    ClockText(rows->dayLength, sizeof rows->dayLength, ": ", length);
    if (length >= 24.0) std::snprintf(rows->dayLength, sizeof rows->dayLength, ": 24h00m");
    ClockText(rows->nightLength, sizeof rows->nightLength, ": ", 24.0 - length);
    if (length <= 0.0) std::snprintf(rows->nightLength, sizeof rows->nightLength, ": 24h00m");
    rows->lengthChange[0] = '\0';
    if (!today.AllDay() && !yesterday.AllDay()) {
        // A day changes by at most an hour or so; the clamp keeps the text in its field.
        const int seconds = std::clamp(RoundChecked((length - DayLength(yesterday)) * 3600.0, 0), -5999, 5999);
        const int magnitude = seconds < 0 ? -seconds : seconds;
        std::snprintf(rows->lengthChange, sizeof rows->lengthChange, " %c%02dm%02ds", seconds < 0 ? '-' : '+',
                      magnitude / 60, magnitude % 60);
    }
    for (int i = 0; i < 3; ++i) {
        const SunDay d = SunEvents(ra + 1, dec + 1, year, month, day, kTwilightAltitudes[i]);
        if (d.AllDay()) {
            std::snprintf(rows->rise[i], sizeof rows->rise[i], ": --h--m");
            std::snprintf(rows->set[i], sizeof rows->set[i], "--h--m");
        } else {
            ClockText(rows->rise[i], sizeof rows->rise[i], ": ", d.rise);
            ClockText(rows->set[i], sizeof rows->set[i], "", d.set);
        }
    }
}

// ---- The form ------------------------------------------------------------------------------

void RefreshDayNightForm() {
    BeginOffscreenDraw(false);
    const ObservingDateTime& t = observingDateTime;
    DrawDayNightMap(dayNight.mapX, Sy(24), t.year, t.month, t.day, t.hour, t.minute, t.second);
    ShowFields();
    if (dayNight.screenHeight > Sy(240)) DrawTextRows();
    if (dayNight.screenHeight > Sy(320) || dayNight.screenWidth > Sx(320)) DrawSunSkyView();
    EndOffscreenDraw();
}

void InitDayNightForm() {
    PushFormHistory(kFormId);
    GetScreenSize(&dayNight.screenWidth, &dayNight.screenHeight);
    dayNight.mapX = 0;
    if (platform::IsWindow(dayNightWindow)) {
        for (int id : {kSiteName, kLongitude, kLatitude, kDate, kZone, kTime, kUniversalTime, kSiderealTime,
                       kEquationOfTime, kSunDeclination, kNow, kOk})
            ShowObject(dayNightWindow, id);
    }
    RefreshDayNightForm();
}

int HandleDayNightPenDown(int x, int y) {
    dayNight.penDown = PointInRect(x, y, MapRect());
    if (!dayNight.penDown) return 0;
    dayNight.penX = x;
    dayNight.penY = y;
    return 1;
}

int TrackDayNightPen(int x, int y) {
    if (!dayNight.penDown) return 0;
    const int dx = x - dayNight.penX, dy = y - dayNight.penY;
    if (std::abs(dx) > 2 * std::abs(dy)) {
        // A drag to the right goes back in time, 5 minutes a pixel.
        StepMinutes(5 * (dayNight.penX - x));
    } else if (std::abs(dy) > 2 * std::abs(dx)) {
        StepDays(y > dayNight.penY ? 5 : -5);
    } else {
        return 0;
    }
    dayNight.penX = x;
    dayNight.penY = y;
    RefreshDayNightForm();
    ObservingTimeChanged();
    return 1;
}

int HandleDayNightTap(int x, int y) {
    const bool wasDown = dayNight.penDown != 0;
    dayNight.penDown = 0;
    if (!wasDown || !PointInRect(x, y, MapRect())) return 0;
    RefreshDayNightForm();
    return 1;
}

int HandleDayNightKey(int key) {
    if (key != platform::kKeyPageUp && key != platform::kKeyPageDown) {
        dayNight.keyRepeat = 0;
        return 0;
    }
    dayNight.keyRepeat = 1;
    int steps = 0;
    do {
        StepDays(key == platform::kKeyPageUp ? -1 : 1);
        RefreshDayNightForm();
    } while (++steps < kMostHeldSteps && IsNavKeyDown());
    dayNight.keyRepeat = 0;
    RefreshDayNightForm();
    ObservingTimeChanged();
    return 1;
}

int HandleDayNightCommand(int id) {
    switch (id) {
    case kOk:
        CloseDayNightForm();
        GoBackForm();
        return 1;
    case kInfo:
        ShowMessage("Display Day and Night shadow on earth.",
                    "\x95 Use left side pda keys to change date,\n\x95 Use right side pda keys to change time or drag "
                    "your stylus on the map.");
        return 1;
    case kDate:
    case kTime: {
        ObservingDateTime t = observingDateTime;
        if (EditDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second)) {
            SetObservingDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
            ObservingTimeChanged();
        }
        RefreshDayNightForm();
        return 1;
    }
    case kNow: {
        ObservingDateTime t{};
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
        SetObservingDateTime(t.year, t.month, t.day, t.hour, t.minute, t.second);
        ObservingTimeChanged();
        RefreshDayNightForm();
        return 1;
    }
    default:
        return 0;
    }
}

void CloseDayNightForm() {
    if (dayNight.skyView) DeleteOffscreen(dayNight.skyView);
    dayNight.skyView = nullptr;
    dayNight.penDown = 0;
    dayNight.keyRepeat = 0;
}

void LayoutDayNightForm(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return;
    MoveObject(dialog, kOk, 0, dy, 0, 0);
    MoveObject(dialog, kInfo, dx, 0, 0, 0);
}

void ReleaseDayNightControls(Window dialog) {
    *Redraw() = 1;
    for (int id : {kTitle, kInfo, kSiteName, kLongitude, kLatitude, kDate, kZone, kTime, kNow, kUniversalTime,
                   kSiderealTime, kEquationOfTime, kSunDeclination, kOk})
        ReleaseControl(dialog, id);
    if (dayNightWindow == dialog) dayNightWindow = Window{};
}

LResult DayNight(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        dayNightWindow = w;
        InitFormWindow(w);
        InitTitle(w, kTitle, "Day&&Night");
        InitHelpAndBackButtons(w, kInfo, kOk);
        for (int id : {kSiteName, kLatitude, kLongitude, kDate, kZone, kTime, kUniversalTime, kSiderealTime,
                       kEquationOfTime, kSunDeclination})
            InitField(w, id, 0);
        InitButton(w, kNow, 120, 0, 0);
        *Redraw() = 1;
        const platform::Rect client = platform::GetClientRect(w);
        LayoutDayNightForm(w, client.Width(), client.Height());
        return 1;
    }
    case platform::kMsgPaint:
        PaintForm(w, &InitDayNightForm, Redraw(), 1, 0);
        return 1;
    case platform::kMsgKeyDown: {
        const int key = static_cast<int>(wParam);
        if (key != 33 && key != 34 && (key < 37 || key > 40)) return 0;
        DrawOnForm(w, [&] {
            HandleDayNightKey(key);
            if (platform::IsWindow(w)) DrawTitleUnderline(w, GetDrawDC());
        });
        SaveScreen();
        return 1;
    }
    case platform::kMsgPenDown: {
        const platform::Point p = platform::PointFromParam(lParam);
        HandleDayNightPenDown(p.x, p.y);
        return 1;
    }
    case platform::kMsgPenMove: {
        if (!dayNight.penDown) return 0;
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [&] { TrackDayNightPen(p.x, p.y); });
        return 1;
    }
    case platform::kMsgPenUp: {
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [&] { HandleDayNightTap(p.x, p.y); });
        return 1;
    }
    case kMsgFieldTap: {
        const int id = platform::LowWord(wParam);
        if (id != kDate && id != kTime) return 1;
        EraseWindow(w);
        DrawOnForm(w, [id] { HandleDayNightCommand(id); });
        return 1;
    }
    case platform::kMsgClose:
        CloseDayNightForm();
        ReleaseDayNightControls(w);
        return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseDayNightForm();
            ReleaseDayNightControls(w);
            CloseForm(kFormId);
            return 1;
        case 1:
        case kOk:
            HandleDayNightCommand(kOk);
            return 1;
        case kInfo:
            HandleDayNightCommand(kInfo);
            return 1;
        case kNow:
            EraseWindow(w);
            DrawOnForm(w, [] { HandleDayNightCommand(kNow); });
            return 1;
        default:
            return 0;
        }
    }
    default:
        return 0;
    }
}
