#include "moon/moon_assistant.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "astro/angle_text.h"
#include "astro/quick_sun_moon.h"
#include "astro/rise_set.h"
#include "catalog/databases.h"
#include "chart/chart_services.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "moon/lunar_ephemeris.h"
#include "moon/moon_image.h"
#include "moon/moon_map.h"
#include "objects/object_pictures.h"
#include "objects/sky_brightness.h"
#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/messages.h"
#include "shell/colour_scheme.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/date_time_form.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"
#include "theories/moon_illumination.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace moon_assistant;

MoonAssistantState moonAssistant;

namespace {

constexpr const char* kModeRows[7] = {"Calendar", "Map", "Features", "Terminator", "Rise and Set", "DarkHours",
                                      "Visibility"};
constexpr const char* kSizeRows[4] = {"All", ">40km", ">80km", ">120km"};
constexpr int kSizeKm[4] = {0, 40, 80, 120};
constexpr const char* kWeekdays = "MTWTFSS";
constexpr int kTitleBand = 24;
constexpr int kBottomBar = 22;
constexpr int kGridTop = 46;
constexpr double kFullAbove = 0.996;
constexpr double kNewBelow = 0.004;
constexpr double kMinuteRounding = 0.008333;

// Help texts by mode (the map has none).
constexpr const char* kHelpTexts[7][2] = {
    {"\x95 Please click on the date field to change it or use Up and Down PDA keys.",
     "\x95 Tap on a Moon image to get more information."},
    {nullptr, nullptr},
    {"\x95 This assistant helps you to determine the best date and time to observe a moon feature i.e. when the "
     "terminator pass close to this feature.",
     "\x95 Use the popup lists to select and filter the feature."},
    {"\x95 This assistant selects the list of the visible moon features close to the terminator.",
     "\x95 The list can be sorted (by Size, Name or Feature Latitude) and filtered (by Size)."},
    {"\x95 This assistant displays Rise and Set time (local time) of the moon for the next month.",
     "\x95 Hyphens on a particular day mean there is no rise or set during this day."},
    {"\x95 This assistant displays Start and End times (local time) of the darkest period (sun below -18\xB0) of "
     "each night and when the moon is not up.",
     "\x95  Hyphens on a particular day mean there is not dark period."},
    {"\x95 This assistant displays  Start and End times (local time) when the moon is visible (sun below -18\xB0 "
     "and moon over 20\xB0 above the horizon).",
     "\x95  Hyphens on a particular day mean there is no time frame."},
};

constexpr int kAllControls[] = {kTitle,    kModePopup, kModeList, kSizePopup, kSizeList,    kTypePopup,
                                kTypeList, kFeaturePopup, kFeatureList, kTerminatorList, kSortName, kSortSize,
                                kSortLatitude, kDate, kTime, kNow, kBack, kBackOther, kHelp, kPicture};

Window formWindow_;

std::int32_t* Redraw() { return FormRedrawFlag(kFormId); }
bool Shown() { return platform::IsWindow(formWindow_); }
MoonAssistantState& S() { return moonAssistant; }
int Sh(int v) { return static_cast<int>(v * screenScale.horizontal); }
int Sv(int v) { return static_cast<int>(v * screenScale.vertical); }

void ShowControls(std::initializer_list<int> hidden, std::initializer_list<int> shown) {
    if (!Shown()) return;
    for (int id : hidden) HideObject(formWindow_, id);
    for (int id : shown) ShowObject(formWindow_, id);
}

void Text(const char* text, int x, int y) { DrawString(text, static_cast<int>(std::strlen(text)), x, y); }

double FormJD() {
    const MoonAssistantState& s = S();
    return DateTimeToJD(s.year, s.month, s.day, s.hour, s.minute, 0, observerLocation.zoneMinutes);
}

void ShowFormTime(bool firstOfMonth) {
    const MoonAssistantState& s = S();
    if (!Shown()) return;
    char text[40];
    FormatDate(text, firstOfMonth ? 1 : s.day, s.month, s.year);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", s.hour % 100, s.minute % 100);
    SetField(kTime, text);
}

// The content area between the title band and the bottom bar, cleared.
void ClearContent() {
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const platform::Color previous = SetForeColor(GetBackColor());
    FillRectangle(Bounds{0, Sv(kTitleBand), width, std::max(0, height - Sv(kTitleBand) - Sv(kBottomBar))});
    SetForeColor(previous);
}

// The rise or set of the body whose places come from `place`, at local midnights, for the
// day, with the limit altitude.
struct DayEvents {
    double rise = 0, transit = 0, set = 0;
    int result = kRiseSetNormal;
    bool allDay = false;
};

template <typename Place>
DayEvents EventsOn(int year, int month, int day, double altitude, Place place) {
    double ra[3], dec[3];
    for (int i = 0; i < 3; ++i) {
        int y = year, m = month, d = day;
        AddDays(&y, &m, &d, i - 1);
        place(&ra[i], &dec[i], y, m, d);
    }
    DayEvents e;
    e.result = ComputeRiseSetMoving(year, month, day, 0, 0, 0, ra[0], dec[0], ra[1], dec[1], ra[2], dec[2], altitude,
                                    &e.rise, &e.transit, &e.set);
    e.allDay = RiseSetAllDay(e.result, e.rise, e.transit, e.set);
    return e;
}

void MoonPlace(double* ra, double* dec, int y, int m, int d) { MoonPosition(ra, dec, y, m, d, 0, 0, 0); }
void SunPlace(double* ra, double* dec, int y, int m, int d) { SunPosition(ra, dec, y, m, d, 0, 0, 0); }

bool OnTheDay(double t) { return t > 0.0 && t < 24.0; }

// The spans above the limit over two days from their events (hours from the first day's
// midnight, 0 to 48).
std::vector<HourSpan> UpSpans(const DayEvents& first, const DayEvents& second) {
    struct Event {
        double t;
        bool rise;
    };
    std::vector<Event> events;
    const DayEvents* days[2] = {&first, &second};
    for (int i = 0; i < 2; ++i) {
        if (days[i]->allDay) continue;
        if (OnTheDay(days[i]->rise)) events.push_back({days[i]->rise + 24.0 * i, true});
        if (OnTheDay(days[i]->set)) events.push_back({days[i]->set + 24.0 * i, false});
    }
    std::sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.t < b.t; });
    bool up;
    if (!events.empty()) up = !events.front().rise;
    else up = first.allDay && first.result == kRiseSetNeverSets;
    std::vector<HourSpan> spans;
    double from = 0.0;
    for (const Event& e : events) {
        if (e.rise && !up) {
            from = e.t;
            up = true;
        } else if (!e.rise && up) {
            if (e.t > from) spans.push_back({from, e.t});
            up = false;
        }
    }
    if (up) spans.push_back({from, 48.0});
    return spans;
}

std::vector<HourSpan> Complement(const std::vector<HourSpan>& spans) {
    std::vector<HourSpan> out;
    double from = 0.0;
    for (const HourSpan& s : spans) {
        if (s.start > from) out.push_back({from, s.start});
        from = std::max(from, s.end);
    }
    if (from < 48.0) out.push_back({from, 48.0});
    return out;
}

}  // namespace

// ---- The computations ----------------------------------------------------------------------

std::vector<MoonCalendarCell> MoonCalendarIcons(const std::vector<double>& fractions) {
    std::vector<MoonCalendarCell> cells;
    bool fullMarked = false, newMarked = false;
    for (std::size_t i = 0; i + 1 < fractions.size(); ++i) {
        const double p = fractions[i], q = fractions[i + 1];
        MoonCalendarCell c;
        c.percent = static_cast<int>(100.0 * p);
        if (p > kFullAbove && !fullMarked && q <= p) {
            c.icon = kMoonIconFull;
            c.full = true;
            fullMarked = true;
            newMarked = false;
        } else if (p < kNewBelow && !newMarked && q >= p) {
            c.icon = kMoonIconNew;
            c.isNew = true;
            newMarked = true;
            fullMarked = false;
        } else {
            c.icon = MoonSixthIcon(p, !(p >= q || fullMarked));
        }
        cells.push_back(c);
    }
    return cells;
}

int MoonCalendarTapDay(int year, int month, int x, int y) {
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const int cellWidth = std::max(1, width / 7);
    const int cellHeight = std::max(18, (height - Sv(59)) / 6);
    const int top = Sv(kGridTop);
    if (y < top || y >= top + (height - Sv(68)) || x < 3) return -1;
    const int column = (x - 3) / cellWidth;
    const int row = (y - top) / cellHeight;
    if (column > 6 || row > 5 || (row == 5 && column > 1)) return -1;
    return CalendarDayAt(year, month, row, column);
}

std::string MoonDayInfoText(int year, int month, int day) {
    double rise = 0, transit = 0, set = 0, dec = 0;
    ComputeMoonRiseSet(year, month, day, &rise, &transit, &set, &dec);
    char riseText[24] = "----", transitText[24], setText[24] = "----";
    if (OnTheDay(rise)) HMSToStr(riseText, sizeof riseText, rise);
    HMSToStr(transitText, sizeof transitText, transit);
    if (OnTheDay(set)) HMSToStr(setText, sizeof setText, set);
    // The sky model on a copy: the observing instant's limits stay as they are.
    SkyModel model = skyModel;
    ComputeSkyBrightness(&model, year, month, day, std::clamp(static_cast<int>(transit), 0, 23), 0);
    const double moonMagnitude = model.moonlightMagnitude;
    ComputeSkyBrightness(&model, year, month, day, 23, 0);
    const double limit = model.limitingMagnitude;
    const double fraction = ComputeMoonIllumination(year, month, day, 12.0, observerLocation.zoneMinutes, nullptr);
    char date[40];
    FormatDate(date, day, month, year);
    char text[512];
    std::snprintf(text, sizeof text,
                  "%s:\n\x95 Rise       %s\n\x95 Transit   %s\n\x95 Set       %s\n\x95 Phase    %d%% at 12h\n"
                  "\x95 Dec       %d\xB0\n\nMagnitude\n\x95 Moon at transit %.2f\n\x95 Visual limit (23h) %.2f",
                  date, riseText, transitText, setText, static_cast<int>(100.0 * fraction), static_cast<int>(dec),
                  moonMagnitude, limit);
    return text;
}

bool LongestOverlap(const std::vector<HourSpan>& nights, const std::vector<HourSpan>& spans, HourSpan* out) {
    bool found = false;
    HourSpan best;
    for (const HourSpan& n : nights)
        for (const HourSpan& s : spans) {
            const double start = std::max(n.start, s.start), end = std::min(n.end, s.end);
            if (end > start && (!found || end - start > best.end - best.start)) {
                best = {start, end};
                found = true;
            }
        }
    if (found && out) *out = best;
    return found;
}

std::vector<MoonTableRow> ComputeMoonMonthTable(int kind, int year, int month) {
    const int days = DaysInMonth(year, month);
    const double moonAltitude = kind == 2 ? 20.0 : kMoonRiseSetAltitude;
    std::vector<MoonTableRow> rows;
    DayEvents moonToday{}, sunToday{};
    for (int d = 1; d <= days; ++d) {
        ShowBusy(1);
        MoonTableRow row;
        row.day = d;
        row.weekday = kWeekdays[(DayOfWeek(year, month, d) + 6) % 7];
        row.icon = GetMoonPhaseBitmap(year, month, d, 12);
        if (d == 1) moonToday = EventsOn(year, month, d, moonAltitude, &MoonPlace);
        int ny = year, nm = month, nd = d;
        AddDays(&ny, &nm, &nd, 1);
        const DayEvents moonNext = EventsOn(ny, nm, nd, moonAltitude, &MoonPlace);
        if (kind == 0) {
            row.hasStart = !moonToday.allDay && OnTheDay(moonToday.rise);
            row.hasEnd = !moonToday.allDay && OnTheDay(moonToday.set);
            row.start = moonToday.rise;
            row.end = moonToday.set;
        } else {
            if (d == 1) sunToday = EventsOn(year, month, d, kAstronomicalTwilightAltitude, &SunPlace);
            const DayEvents sunNext = EventsOn(ny, nm, nd, kAstronomicalTwilightAltitude, &SunPlace);
            // The night of the day: the Sun below -18 degrees between its noon and the next.
            std::vector<HourSpan> nights;
            for (HourSpan n : Complement(UpSpans(sunToday, sunNext))) {
                n.start = std::max(n.start, 12.0);
                n.end = std::min(n.end, 36.0);
                if (n.end > n.start) nights.push_back(n);
            }
            const std::vector<HourSpan> moonUp = UpSpans(moonToday, moonNext);
            HourSpan window;
            if (LongestOverlap(nights, kind == 1 ? Complement(moonUp) : moonUp, &window)) {
                row.hasStart = row.hasEnd = true;
                row.start = window.start;
                row.end = window.end;
            }
            sunToday = sunNext;
        }
        moonToday = moonNext;
        rows.push_back(row);
    }
    HideBusy(1);
    return rows;
}

std::string FormatMoonTableTime(bool has, double hours) {
    if (!has) return "  -----";
    char text[24];
    HMSToStr(text, sizeof text, std::fmod(hours + kMinuteRounding, 24.0));
    return text;
}

// ---- The terminator list -------------------------------------------------------------------

void FreeTerminatorList() {
    moonAssistant.terminatorList.clear();
    moonAssistant.terminatorList.shrink_to_fit();
    moonAssistant.terminatorCount = 0;
}

void SortTerminatorList(int key) {
    MoonAssistantState& s = S();
    const int count = std::min(s.terminatorCount, static_cast<int>(s.terminatorList.size()));
    struct Item {
        std::int32_t record;
        MoonFeatureRecord r;
    };
    std::vector<Item> items;
    for (int i = 0; i < count; ++i) {
        Item item{s.terminatorList[i], {}};
        GetMoonFeature(item.record, &item.r);
        items.push_back(item);
    }
    // Whole kilometres and tenths of a degree count as equal, which is not an ordering the
    // standard sorts may be given (10.2 ~ 10.9 ~ 11.5 but 10.2 < 11.5): a plain insertion
    // sort of the hundred entries keeps to the rule and cannot misbehave.
    const auto before = [key](const Item& a, const Item& b) {
        if (key == 0) {
            const int d = static_cast<int>(a.r.diameter - b.r.diameter);
            if (d != 0) return d > 0;
        } else if (key == 2) {
            const int d = static_cast<int>((a.r.latitude - b.r.latitude) * 10.0f);
            if (d != 0) return d < 0;
        }
        return a.record < b.record;
    };
    for (std::size_t i = 1; i < items.size(); ++i) {
        const Item item = items[i];
        std::size_t j = i;
        for (; j > 0 && before(item, items[j - 1]); --j) items[j] = items[j - 1];
        items[j] = item;
    }
    for (int i = 0; i < count; ++i) s.terminatorList[i] = items[i].record;
}

// ---- Drawing the modes ---------------------------------------------------------------------

namespace {

void DrawCalendar() {
    MoonAssistantState& s = S();
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    s.cellWidth = std::max(1, width / 7);
    s.cellHeight = std::max(18, (height - Sv(59)) / 6);
    ShowFormTime(true);
    const int top = Sv(kGridTop);
    const int days = DaysInMonth(s.year, s.month);
    std::vector<double> fractions;
    for (int d = 1; d <= days + 1; ++d)
        fractions.push_back(ComputeMoonIllumination(s.year, s.month, d, 12.0, observerLocation.zoneMinutes, nullptr));
    const std::vector<MoonCalendarCell> cells = MoonCalendarIcons(fractions);
    const platform::Color fore = GetForeColor();
    const platform::Color previousText = SetTextColor(fore);
    const int previousTransparent = SetTextTransparent(1);
    for (int c = 0; c < 7; ++c) {
        const char letter[2] = {kWeekdays[c], 0};
        Text(letter, 3 + c * s.cellWidth + s.cellWidth / 2 - Sh(3), Sv(kTitleBand + 6));
    }
    // Every other row a shade towards the text colour.
    const platform::Color back = GetBackColor();
    const auto mix = [](int a, int b) { return (a * 7 + b) / 8; };
    const platform::Color shade =
        platform::Rgb(mix(platform::RedOf(back), platform::RedOf(fore)), mix(platform::GreenOf(back), platform::GreenOf(fore)),
                      mix(platform::BlueOf(back), platform::BlueOf(fore)));
    for (int r = 1; r < 6; r += 2) {
        SetForeColor(shade);
        DrawRectangle(Bounds{3, top + r * s.cellHeight, 7 * s.cellWidth, s.cellHeight}, 0);
    }
    SetForeColor(fore);
    for (int d = 1; d <= days; ++d) {
        const int column = CalendarColumn(s.year, s.month, d);
        const int row = (CalendarColumn(s.year, s.month, 1) + d - 1) / 7;
        const int x = 3 + column * s.cellWidth, y = top + row * s.cellHeight;
        const MoonCalendarCell& c = cells[d - 1];
        DrawBitmapMasked(c.icon, x + (s.cellWidth - Sh(16)) / 2, y + Sv(1));
        char text[16];
        if (!c.full && !c.isNew) {
            std::snprintf(text, sizeof text, "%02d%%", c.percent);
            Text(text, x + Sh(2), y + Sv(18));
        }
        std::snprintf(text, sizeof text, "%02d", d);
        Text(text, x + Sh(2), y + s.cellHeight - Sv(13));
    }
    SetForeColor(fore);
    for (int r = 0; r <= 6; ++r) DrawLine(3, top + r * s.cellHeight, 3 + 7 * s.cellWidth, top + r * s.cellHeight);
    for (int c = 0; c <= 7; ++c) DrawLine(3 + c * s.cellWidth, top, 3 + c * s.cellWidth, top + 6 * s.cellHeight);
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
}

// The large picture's part around a feature, with the feature circled; the tiles unshaded
// when the picture cannot be rendered.
void DrawCloseUp(const MoonFeatureRecord& r, Bounds box) {
    const double beta = -r.latitude * 0.0174532925199433, eta = r.longitude * 0.0174532925199433;
    const int column = static_cast<int>(480.0 * (1.0 + std::sin(eta) * std::cos(beta)));
    const int row = static_cast<int>(480.0 * (1.0 - std::sin(beta)));
    const MoonAssistantState& s = S();
    DrawWindow* image = RenderMoonImage(2, s.year, s.month, s.day, s.hour, s.minute, 0, 0);
    const int sx = std::clamp(column - box.width / 2, 0, std::max(0, kMoonLargeSize - box.width));
    const int sy = std::clamp(row - box.height / 2, 0, std::max(0, kMoonLargeSize - box.height));
    if (image) {
        CopyBits(image, GetDrawWindow(), Bounds{sx, sy, box.width, box.height}, box.x, box.y, 0);
    } else {
        for (int i = 0; i < 9; ++i) DrawBitmap(kMoonFirstTile + i, box.x - sx + (i % 3) * 320, box.y - sy + (i / 3) * 320);
    }
    FreeMoonImage();
    const platform::Color previous = SetForeColor(preferences.word[pref::nightMode] ? GetHighlightColor() : 0);
    DrawCircle(box.x + column - sx, box.y + row - sy, std::max(10, r.radius + 4 * GetDpiFactor()));
    SetForeColor(previous);
}

void DrawWholeMoon(const MoonFeatureRecord& r, Bounds box) {
    const MoonAssistantState& s = S();
    DrawWindow* image = RenderMoonImage(1, s.year, s.month, s.day, s.hour, s.minute, 0, 0);
    if (image) {
        platform::StretchBlit(GetDrawWindow()->dc, box.x, box.y, box.width, box.height, image->dc, 0, 0, image->width,
                              image->height);
    } else {
        DrawBitmapScaled(kMoonSmallPicture, box.x, box.y, static_cast<double>(box.width) / kMoonSmallSize);
    }
    FreeMoonImage();
    const int cx = box.x + r.column * box.width / kMoonFeatureFrame;
    const int cy = box.y + r.row * box.height / kMoonFeatureFrame;
    const platform::Color previous = SetForeColor(preferences.word[pref::nightMode] ? GetHighlightColor() : 0);
    DrawCircle(cx, cy, Sh(4));
    SetForeColor(previous);
}

void DrawFeatureFacts(const MoonFeatureRecord& r, int x, int y) {
    char text[64];
    Text("Information", x, y);
    std::snprintf(text, sizeof text, "Latitude  %.1f\xB0", -static_cast<double>(r.latitude));
    Text(text, x, y + Sv(14));
    std::snprintf(text, sizeof text, "Longitude %.1f\xB0", static_cast<double>(r.longitude));
    Text(text, x, y + Sv(28));
    std::snprintf(text, sizeof text, "Diameter  %.1f km", static_cast<double>(r.diameter));
    Text(text, x, y + Sv(42));
    if (Shown()) {
        if (FindObjectPicture(r.name, kPictureFolderMoon, 0)) ShowObject(formWindow_, kPicture);
        else HideObject(formWindow_, kPicture);
    }
}

void DrawFeaturesPanel() {
    MoonAssistantState& s = S();
    // The index is shared with the map, whose taps may have put its filter back to "All".
    BuildMoonFeatureIndex();
    if (moonFeatureIndex.typeRow != s.typeRow) ApplyMoonTypeFilter(s.typeRow);
    ShowFormTime(false);
    if (Shown()) FillList(FindListView(formWindow_, kFeatureList), nullptr, moonFeatureIndex.runCount);
    MoonFeatureRecord r;
    const int top = Sv(kGridTop);
    if (!GetIndexedMoonFeature(s.featureRow, &r)) {
        Text("Can't find data", Sh(4), top);
        return;
    }
    if (Shown()) {
        SetPopupLabel(kFeaturePopup, r.name);
        SetListSelection(kFeatureList, s.featureRow);
    }
    DrawFeatureFacts(r, Sh(4), top);
    DrawCloseUp(r, Bounds{Sh(122), top, Sh(116), Sv(116)});
    DrawWholeMoon(r, Bounds{Sh(4), top + Sv(62), Sh(110), Sv(110)});
    const double rise = FindFeatureSunrise(FormJD(), r.longitude, -r.latitude);
    const double set = rise == kNoFeatureEvent ? kNoFeatureEvent : FindFeatureSunset(rise + 0.05, r.longitude, -r.latitude);
    const int y = top + Sv(180);
    Text("Terminator dates", Sh(4), y);
    const int zone = observerLocation.zoneMinutes;
    Text(("Rise " + FormatFeatureEvent(rise, zone)).c_str(), Sh(4), y + Sv(14));
    Text(("Set  " + FormatFeatureEvent(set, zone)).c_str(), Sh(4), y + Sv(28));
}

void DrawTerminatorPanel() {
    MoonAssistantState& s = S();
    if (s.terminatorList.empty()) {
        try {
            s.terminatorList.assign(kTerminatorCapacity, 0);
        } catch (const std::bad_alloc&) {
            ShowMessage("Can't allocated memory for feature list.", "");
            s.terminatorCount = 0;
            if (Shown()) FillList(FindListView(formWindow_, kTerminatorList), nullptr, 0);
            return;
        }
    }
    ShowFormTime(false);
    s.terminatorCount = ListTerminatorFeatures(FormJD(), s.terminatorList.data(), kTerminatorCapacity,
                                               kSizeKm[std::clamp(s.sizeRow, 0, 3)], kTerminatorAltitude);
    if (s.terminatorRow >= s.terminatorCount) s.terminatorRow = -1;
    if (Shown()) {
        FillList(FindListView(formWindow_, kTerminatorList), nullptr, s.terminatorCount);
        if (s.terminatorRow >= 0) SetListSelection(kTerminatorList, s.terminatorRow);
    }
    const int x = Sh(122), top = Sv(kGridTop);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", s.hour, s.minute);
    Text(text, x, top);
    MoonFeatureRecord r;
    if (s.terminatorRow < 0 || !GetMoonFeature(s.terminatorList[s.terminatorRow], &r)) return;
    DrawFeatureFacts(r, x, top + Sv(14));
    DrawCloseUp(r, Bounds{x, top + Sv(76), Sh(116), Sv(116)});
}

void DrawMonthTable(int kind) {
    const MoonAssistantState& s = S();
    ShowFormTime(true);
    const std::vector<MoonTableRow> rows = ComputeMoonMonthTable(kind, s.year, s.month);
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const int top = Sv(kTitleBand + 2);
    const int rowHeight = std::max(1, (height - top - Sv(kBottomBar)) / std::max<int>(1, static_cast<int>(rows.size())));
    const int previousFont = GetFont();
    const platform::Color previousText = SetTextColor(GetForeColor());
    const int previousTransparent = SetTextTransparent(1);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MoonTableRow& r = rows[i];
        const int y = top + static_cast<int>(i) * rowHeight;
        char text[16];
        std::snprintf(text, sizeof text, "%c", r.weekday);
        Text(text, Sh(4), y);
        std::snprintf(text, sizeof text, "%d", r.day);
        Text(text, Sh(16), y);
        DrawBitmapScaled(r.icon, Sh(36), y, std::min(1.0, rowHeight / 16.0 / std::max(1.0, screenScale.vertical)));
        Text(FormatMoonTableTime(r.hasStart, r.start).c_str(), Sh(70), y);
        Text(FormatMoonTableTime(r.hasEnd, r.end).c_str(), Sh(150), y);
    }
    SetTextTransparent(previousTransparent);
    SetTextColor(previousText);
    SetFont(previousFont);
}

bool DatabaseMissing() {
    ShowMessage("Moon database not found.\nPlease install velkarion_moon.ppc", "This module can't be used.");
    S().mode = kCalendar;
    if (Shown()) SetPopupList(kModePopup, kModeList, kCalendar);
    return true;
}

}  // namespace

void ShowMoonMode() {
    MoonAssistantState& s = S();
    if (Shown()) SetPopupList(kModePopup, kModeList, s.mode);
    if ((s.mode == kFeatures || s.mode == kTerminator) && GetMoonFeatureCount() <= 0) DatabaseMissing();
    switch (s.mode) {
    case kMap:
        s.mode = kCalendar;
        GotoForm(6020);
        return;
    case kFeatures:
        ShowControls({kPicture, kSizePopup, kSortName, kSortSize, kSortLatitude, kTerminatorList, kBackOther},
                     {kDate, kTime, kNow, kBack, kTypePopup, kFeaturePopup});
        ClearContent();
        DrawFeaturesPanel();
        return;
    case kTerminator:
        ShowControls({kPicture, kTypePopup, kFeaturePopup, kBackOther},
                     {kTerminatorList, kDate, kNow, kTime, kBack, kSizePopup, kSortName, kSortSize, kSortLatitude});
        ClearContent();
        DrawTerminatorPanel();
        return;
    case kRiseSet:
    case kDarkHours:
    case kVisibility:
        ShowControls({kPicture, kSizePopup, kSortName, kSortSize, kSortLatitude, kTypePopup, kFeaturePopup,
                      kTerminatorList, kBackOther, kTime},
                     {kNow, kDate, kBack});
        ClearContent();
        DrawMonthTable(s.mode - kRiseSet);
        return;
    default:
        s.mode = kCalendar;
        ShowControls({kPicture, kSizePopup, kSortName, kSortSize, kSortLatitude, kTypePopup, kFeaturePopup,
                      kTerminatorList, kBackOther, kTime},
                     {kNow, kDate, kBack});
        ClearContent();
        DrawCalendar();
        return;
    }
}

namespace {

void EditFormTime() {
    MoonAssistantState& s = S();
    if (EditDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, &s.second)) s.terminatorRow = -1;
    if (Shown()) *Redraw() = 1, platform::InvalidateRect(formWindow_, nullptr, false);
}

void StepSelection(int* row, int count, int key) {
    if (key == platform::kKeyPageUp || key == platform::kKeyDown) *row = std::min(*row + 1, count - 1);
    else *row = std::max(*row - 1, 0);
}

void ShowHelp() {
    const int mode = std::clamp(S().mode, 0, 6);
    if (kHelpTexts[mode][0]) ShowMessage(kHelpTexts[mode][0], kHelpTexts[mode][1]);
}

}  // namespace

int MoonAssistantCommand(int id) {
    MoonAssistantState& s = S();
    switch (id) {
    case kModeList: {
        const int row = GetListSelection(kModeList);
        if (row < 0 || row > 6) return 1;
        s.mode = row;
        s.terminatorRow = -1;
        FreeMoonImage();
        ShowMoonMode();
        return 1;
    }
    case kSizeList: {
        const int row = GetListSelection(kSizeList);
        if (row < 0 || row > 3 || row == s.sizeRow) return 1;
        s.sizeRow = row;
        SetPopupList(kSizePopup, kSizeList, row);
        s.terminatorRow = -1;
        ShowMoonMode();
        return 1;
    }
    case kTypeList: {
        const int row = GetListSelection(kTypeList);
        if (row < 0 || row > 6 || row == s.typeRow) return 1;
        s.typeRow = row;
        s.featureRow = 0;
        SetPopupList(kTypePopup, kTypeList, row);
        BuildMoonFeatureIndex();
        ApplyMoonTypeFilter(row);
        ShowMoonMode();
        return 1;
    }
    case kFeatureList: {
        const int row = GetListSelection(kFeatureList);
        if (row >= 0) s.featureRow = row;
        ShowMoonMode();
        return 1;
    }
    case kTerminatorList: {
        const int row = GetListSelection(kTerminatorList);
        if (row == s.terminatorRow) return 1;
        s.terminatorRow = row;
        ShowMoonMode();
        return 1;
    }
    case kSortName:
    case kSortSize:
    case kSortLatitude:
        if (s.mode != kTerminator) return 1;
        SortTerminatorList(id == kSortName ? 1 : id == kSortSize ? 0 : 2);
        ClearContent();
        // The sorted list as it stands, without searching again.
        if (Shown()) RedrawList(FindListView(formWindow_, kTerminatorList));
        ShowMoonMode();
        return 1;
    case kNow:
        GetLocalDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, &s.second);
        s.terminatorRow = -1;
        ShowMoonMode();
        return 1;
    case kBack:
    case kBackOther: GoBackForm(); return 1;
    case kPicture: {
        MoonFeatureRecord r;
        bool have = false;
        if (s.mode == kFeatures) have = GetIndexedMoonFeature(s.featureRow, &r) != 0;
        else if (s.mode == kTerminator && s.terminatorRow >= 0 && s.terminatorRow < s.terminatorCount)
            have = GetMoonFeature(s.terminatorList[s.terminatorRow], &r) != 0;
        if (have) {
            int width = 0, height = 0;
            GetScreenSize(&width, &height);
            ShowObjectPicture(r.name, 0, 0, width, height, 1, kPictureFolderMoon, 0);
        }
        return 1;
    }
    case kHelp: ShowHelp(); return 1;
    case kDate:
    case kTime: EditFormTime(); return 1;
    default: return 0;
    }
}

int MoonAssistantKey(int key) {
    MoonAssistantState& s = S();
    const bool forward = key == platform::kKeyPageDown || key == platform::kKeyUp;
    switch (s.mode) {
    case kFeatures: StepSelection(&s.featureRow, moonFeatureIndex.runCount, key); break;
    case kTerminator:
        StepSelection(&s.terminatorRow, s.terminatorCount, key);
        if (Shown() && s.terminatorRow >= 0) SetListSelection(kTerminatorList, s.terminatorRow);
        break;
    default:
        if (forward) s.month = s.month == 12 ? (++s.year, 1) : s.month + 1;
        else s.month = s.month == 1 ? (--s.year, 12) : s.month - 1;
        s.day = std::min(s.day, DaysInMonth(s.year, s.month));
        break;
    }
    ShowMoonMode();
    return 1;
}

void CloseMoonAssistant() {
    FreeMoonImage();
    FreeTerminatorList();
    FreeMoonIndexBuffer();
}

void LayoutMoonAssistant(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return;
    MoveObject(dialog, kBack, 0, dy, 0, 0);
    for (int id : {kDate, kTime, kNow}) MoveObject(dialog, id, dx, dy, 0, 0);
    for (int id : {kHelp, kPicture}) MoveObject(dialog, id, dx, 0, 0, 0);
    MoveObject(dialog, kTerminatorList, 0, 0, 0, dy);
}

namespace {

void InitMoonAssistant() {
    MoonAssistantState& s = S();
    if (preferences.word[pref::timeUpdateMode] == 0) {
        GetLocalDateTime(&s.year, &s.month, &s.day, &s.hour, &s.minute, &s.second);
    } else if (s.year == -1) {
        const ObservingDateTime& t = observingDateTime;
        s.year = t.year, s.month = t.month, s.day = t.day, s.hour = t.hour, s.minute = t.minute;
        s.second = 0;
    }
    PushFormHistory(kFormId);
    ShowMoonMode();
}

void DrawFeatureRow(int row, Bounds rect, int, int) {
    MoonFeatureRecord r;
    if (GetIndexedMoonFeature(row, &r)) DrawMoonFeatureRow(r, rect);
}

void DrawTerminatorRow(int row, Bounds rect, int, int) {
    const MoonAssistantState& s = S();
    MoonFeatureRecord r;
    if (row < 0 || row >= s.terminatorCount || !GetMoonFeature(s.terminatorList[row], &r)) return;
    ClipRectangle(rect);
    DrawMoonFeatureRow(r, rect);
    ResetClip();
}

void MakeControls(Window w) {
    MoonAssistantState& s = S();
    InitTitle(w, kTitle, "MoonAssistant");
    const auto bitmap = [](int id) { return platform::FindBitmapEntry(id) ? id : -1; };
    InitButton(w, kNow, bitmap(120), 0, 0);
    InitButton(w, kBack, bitmap(5074), 0, 0);
    InitButton(w, kBackOther, bitmap(5074), 0, 0);
    InitButton(w, kHelp, bitmap(5076), 0, 0);
    InitButton(w, kPicture, bitmap(1941), 0, 0);
    for (int id : {kSortName, kSortSize, kSortLatitude}) InitButton(w, id, -1, 0, 0);
    for (int i = 6; i >= 0; --i) AppendListItem(w, kModeList, kModeRows[i]);
    for (int i = 3; i >= 0; --i) AppendListItem(w, kSizeList, kSizeRows[i]);
    for (int i = 6; i >= 0; --i) AppendListItem(w, kTypeList, kMoonTypeRows[i]);
    InitPopupList(w, kModePopup, kModeList, -1, 0, s.mode);
    InitPopupList(w, kSizePopup, kSizeList, -1, 0, s.sizeRow);
    InitPopupList(w, kTypePopup, kTypeList, -1, 0, s.typeRow);
    InitPopupList(w, kFeaturePopup, kFeatureList, 0, 12, -1);
    InitField(w, kDate, 0);
    InitField(w, kTime, 0);
    InitList(w, kTerminatorList, 0, -1, 1);
}

void ReleaseControls(Window w) {
    *Redraw() = 1;
    for (int id : kAllControls) ReleaseControl(w, id);
    if (formWindow_ == w) formWindow_ = Window{};
}

void PenDown(int x, int y) {
    const MoonAssistantState& s = S();
    if (s.mode != kCalendar) return;
    const int day = MoonCalendarTapDay(s.year, s.month, x, y);
    if (day < 0) return;
    if (day == 0) {
        ShowMessage("Please click on one Moon.", "");
        return;
    }
    ShowMessage(MoonDayInfoText(s.year, s.month, day).c_str(), "");
}

}  // namespace

LResult MoonAssistant(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        OpenSelfLaidOutForm(w, &formWindow_, Redraw(), &MakeControls, &LayoutMoonAssistant);
        return 1;
    }
    case platform::kMsgPaint: PaintForm(w, &InitMoonAssistant, Redraw(), 0, 0); return 1;
    case platform::kMsgDrawItem: {
        const int id = platform::LowWord(wParam);
        const auto* item = reinterpret_cast<const platform::DrawItemInfo*>(lParam);
        if (id == kFeatureList) DrawOwnerListItem(w, item, &DrawFeatureRow);
        else if (id == kTerminatorList) DrawOwnerListItem(w, item, &DrawTerminatorRow);
        return 1;
    }
    case kMsgFieldTap: {
        const int id = platform::LowWord(wParam);
        if (id == kDate || id == kTime) DrawOnForm(w, [] { EditFormTime(); });
        return 1;
    }
    case platform::kMsgPenDown: {
        const platform::Point p = platform::PointFromParam(lParam);
        DrawOnForm(w, [p] { PenDown(p.x, p.y); });
        return 1;
    }
    case platform::kMsgKeyDown: {
        const int key = static_cast<int>(wParam);
        if (key != platform::kKeyPageUp && key != platform::kKeyPageDown && key != platform::kKeyUp &&
            key != platform::kKeyDown)
            return 0;
        DrawOnForm(w, [key] { MoonAssistantKey(key); });
        return 1;
    }
    case platform::kMsgDestroy:
        ReleaseControls(w);
        CloseMoonAssistant();
        return 0;
    case platform::kMsgClose: ReleaseControls(w); return 0;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        switch (id) {
        case kCmdCloseForm:
            CloseMoonAssistant();
            ReleaseControls(w);
            CloseForm(kFormId);
            return 1;
        case 1: MoonAssistantCommand(kBack); return 1;
        case kModePopup:
        case kSizePopup:
        case kTypePopup:
        case kFeaturePopup: {
            // The closed list must not paint the old screen back over the new view.
            const int list = platform::HighWord(wParam);
            FreeSavedScreen();
            EraseWindow(w);
            DrawOnForm(w, [list] { MoonAssistantCommand(list); });
            return 1;
        }
        default: DrawOnForm(w, [id] { MoonAssistantCommand(id); }); return 1;
        }
    }
    default: return 0;
    }
}
