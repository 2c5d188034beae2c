#include "app/home_form.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "shell/date_time_form.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/databases.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_services.h"
#include "objects/objects_services.h"
#include "planets/planets_services.h"
#include "platform/gfx_context.h"
#include "platform/messages.h"
#include "scope/saved_alignment.h"
#include "scope/two_star_alignment.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "app/home_form_internal.h"
#include "app/main_window.h"
#include "shell/message_box.h"
#include "shell/night_mode_dialog.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "core/settings.h"
#include "shell/utilities.h"
#include "theories/moon_illumination.h"
#include "shell/commands.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace home_form;

int homeAlignmentOffer = 1;

namespace {

constexpr int kFormId = kHomeFormId;
constexpr std::uint16_t kCmdQuit = 1035;

// Forms opened from the home form.
constexpr int kSkyChartForm = 1900;
constexpr int kSiteForm = 1200;
constexpr int kPlanetViewForm = 2460;

// The status panel, in design pixels from its anchor.
constexpr int kRowHeight = 13;
constexpr int kLabelOffset = 20;
constexpr int kValueOffset = 55;

// Buttons and their pictures.
struct ButtonPicture {
    int id;
    int bitmap;
};
constexpr ButtonPicture kButtons[] = {
    {kInfo, 4998},       {kClock, 120},       {kPlanetSearch, 5037}, {kGalaxy, 5031}, {kNebula, 5035},
    {kCluster, 5033},    {kComet, 5019},      {kSatellite, 6096},    {kMoon, 5082},   {kJupiter, 5101},
    {kSaturn, 5102},     {kPlanets, 5106},    {kSky, 5078},          {kObserverLog, 5104},
    {kEclipse, 6098},    {kMars, 6097},       {kLoad, 5105},         {kPersonal, 5110},
    {kNightTripper, 5066}, {kOpenCluster, 5062}, {kFind, 6105},
};

struct PopupMenu {
    int trigger;
    int list;
    int icon;
    const char* rows[6];
    int count;
};
constexpr PopupMenu kPopups[] = {
    {kToolsPopup, kToolsList, 6111, {"NightMode", "Twilight", "CompassChart", "Day/Night", "CheckList", "Quit"}, 6},
    {kScopePopup, kScopeList, 6112,
     {"ScopeControl", "2 StarsAlignment", "N StarsAlignement", "PolarAlignement", "DSLRControl", "CCD"}, 6},
    {kSettingsPopup, kSettingsList, 6113, {"Preferences", "Location"}, 2},
};

// Rows of the popups and the forms they open (0: an action of its own).
constexpr int kToolsForms[6] = {0, 2410, 2830, 2423, 2200, 0};
constexpr int kScopeForms[6] = {2400, 1300, 2100, 2470, 5300, 1550};
constexpr int kSettingsForms[2] = {1400, 1200};

// Buttons that only open a form.
struct ButtonForm {
    int id;
    int form;
};
constexpr ButtonForm kButtonForms[] = {
    {kPlanets, 2450}, {kMoon, 6000},       {kEclipse, 2700}, {kSatellite, 2800},
    {kComet, 2550},   {kFind, 112},        {kNightTripper, 1800}, {kObserverLog, 2600},
};

Window homeWindow;
HomePanelShown panelShown;

double ScaleH() { return screenScale.horizontal; }
double ScaleV() { return screenScale.vertical; }
int Sh(double n) { return static_cast<int>(n * ScaleH()); }
int Sv(double n) { return static_cast<int>(n * ScaleV()); }

const char kInfoHeading[] =
    "\x95 The Information button will give you help on each page.\n"
    "\x95 To go back from on page, press the title.\n"
    "\x95 To change the dates or hours, please click on the clock icon or on the fields that contain dates or hours.";
const char kInfoDetail[] = "\x95 First set your location. Then try other Wizard icons.";

void ShowInformation() { ShowMessage(kInfoHeading, kInfoDetail); }

bool SiteIsSet() { return !(observerLocation.latitude == 0.0f && observerLocation.longitude == 0.0f); }

void ReadDeviceClock() {
    ObservingDateTime& t = observingDateTime;
    GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
}

void DrawRow(const char* label, const char* value, int row) {
    const platform::Point a = HomeStatusAnchor();
    const int y = a.y + Sv(kRowHeight * row);
    if (label) DrawString(label, static_cast<int>(std::strlen(label)), a.x + Sh(kLabelOffset), y);
    if (value) DrawString(value, static_cast<int>(std::strlen(value)), a.x + Sh(kValueOffset), y);
    if (row >= 0 && row < kHomePanelRows) {
        HomePanelRow& shown = panelShown.rows[row];
        std::snprintf(shown.label, sizeof shown.label, "%s", label ? label : "");
        std::snprintf(shown.value, sizeof shown.value, "%s", value ? value : "");
    }
}

// The night colour of the panel's text, or its yellow by day.
platform::Color PanelTextColour() {
    if (preferences.word[pref::nightMode] == 0) return platform::Rgb(250, 250, 0);
    return platform::Rgb(GetNightLevel(), 0, 0);
}

void FillPanel() {
    const platform::Point a = HomeStatusAnchor();
    SetForeColor(platform::Rgb(0, 0, 0));
    DrawRectangle(Bounds{a.x - Sh(4), a.y - Sv(3), Sh(154), Sv(kRowHeight * kHomePanelRows + 4)}, 0);
}

void PopupRow(int list) {
    const int row = GetListSelection(list);
    if (list == kToolsList) {
        if (row == 0) {
            NightModeSettings();
        } else if (row == 5) {
            platform::PostMessage(mainWindow, platform::kMsgCommand, kCmdQuit, 0);
        } else if (row > 0 && row < 5) {
            GotoForm(kToolsForms[row]);
        }
    } else if (list == kScopeList) {
        if (row >= 0 && row < 6) GotoForm(kScopeForms[row]);
    } else if (list == kSettingsList) {
        if (row >= 0 && row < 2) GotoForm(kSettingsForms[row]);
    }
}

void EditObservingTime() {
    ObservingDateTime& t = observingDateTime;
    int year = t.year, month = t.month, day = t.day, hour = t.hour, minute = t.minute, second = t.second;
    if (EditDateTime(&year, &month, &day, &hour, &minute, &second)) {
        SetObservingDateTime(year, month, day, hour, minute, 0);
        // The program's clock starts again from the time just set, rather than moving it on
        // by the time since its last step.
        chartClock.lastStep = 0;
        UpdateCurrentTime(1);
    }
    // The picker painted over the form: draw it whole again.
    *FormRedrawFlag(kFormId) = 1;
    if (platform::IsWindow(homeWindow)) platform::InvalidateRect(homeWindow, nullptr, false);
}

}  // namespace

const HomePanelShown& LastHomePanel() { return panelShown; }

// ---- The panel's arithmetic ------------------------------------------------------------------

platform::Point HomeStatusAnchor() {
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    const int x = static_cast<int>((width - 240 * ScaleH()) / 2 + 70 * ScaleH());
    const int y = static_cast<int>((height - 240 * ScaleH()) / 2 + 48 * ScaleV());
    return platform::Point{x, y};
}

void FormatHourMinute(char* out, double hours) {
    int h = static_cast<int>(hours);
    int m = static_cast<int>((hours - h) * 60.0);
    if (m < 0) m = 0;
    if (m > 59) m = 59;
    std::snprintf(out, 16, ": %02dh%02d", h, m);
}

void FormatUtClock(char* out, int year, int month, int day, int hour, int minute, int zoneMinutes) {
    int y = year, mo = month, d = day, h = hour, mi = minute;
    AddMinutes(&y, &mo, &d, &h, &mi, -zoneMinutes);
    const long local = (static_cast<long>(year) * 13 + month) * 32 + day;
    const long ut = (static_cast<long>(y) * 13 + mo) * 32 + d;
    const char* mark = ut > local ? " >" : (ut < local ? " <" : "");
    std::snprintf(out, 24, ": %02dh%02d%s", h, mi, mark);
}

void FormatNightRow(char* out, double night) {
    // 0 is the answer for a Sun that never climbs to -18 degrees: dark all day, so no
    // twilight ends either.
    if (night < 23.99 && night != 0.0) {
        double hours = std::fmod(night, 24.0);
        if (hours < 0.0) hours += 24.0;
        FormatHourMinute(out, hours);
    } else {
        std::snprintf(out, 16, ":  -----");
    }
}

void FormatSunEventRow(char* out, double hours, bool allDay) {
    if (allDay || !(hours >= 0.0 && hours < 24.0)) {
        std::snprintf(out, 16, ":  -----");
    } else {
        FormatHourMinute(out, hours);
    }
}

MoonRows ArrangeMoonRows(double rise, double set, bool allDay) {
    MoonRows rows{};
    if (allDay) {
        std::snprintf(rows.rise, sizeof rows.rise, ": None");
        std::snprintf(rows.set, sizeof rows.set, ": None");
        return rows;
    }
    if (rise < 0.0) {
        rows.setFirst = true;
        rise += 24.0;
    } else if (rise >= 24.0) {
        rise -= 24.0;
    }
    if (set < 0.0) set += 24.0;
    if (rise == 0.0) {
        std::snprintf(rows.rise, sizeof rows.rise, ": None");
    } else {
        FormatHourMinute(rows.rise, rise);
    }
    // A set at 24 h is the next day's midnight, not a time of this date.
    if (set >= 24.0) {
        std::snprintf(rows.set, sizeof rows.set, ": None");
    } else {
        FormatHourMinute(rows.set, set);
    }
    return rows;
}

void FormatPhaseRow(char* out, double fraction) {
    // Half a percent is added before FormatFixed rounds half up: the lit part is counted up
    // to the next whole percent (0.3 % reads 1 %, 49.4 % reads 50 %). A fully lit Moon
    // would so read 101 %.
    char percent[32];
    FormatFixed(percent, std::min(fraction * 100.0 + 0.5, 100.0), 0);
    std::snprintf(out, 40, ": %s%%", percent);
}

const char* HomeCategoryText(int type, int catalog) {
    switch (type) {
    case 0:
        switch (catalog) {
        case 9: return "visible Caldwells.";
        case 12: return "visible comets.";
        case 25: return "visible Herschels.";
        case 40: return "visible Messiers.";
        case 49: return "visible best SAC Objects.";
        case 54: return "visible bright stars.";
        case 63: return "visible personnal objects.";
        default: return "all visible objects.";
        }
    case 1: return "visible Globular Clusters.";
    case 3: return "visible Galaxies.";
    case 4: return "visible Nebulae.";
    case 6: return "visible Multiple Stars.";
    case 7: return "visible Planets.";
    default: return "";
    }
}

// ---- The form ----------------------------------------------------------------------------

void HomeClock() {
    const ObservingDateTime& t = observingDateTime;
    char text[32];
    std::snprintf(text, sizeof text, ": %02dh%02d", t.hour, t.minute);
    DrawRow("Local", text, 1);
    FormatUtClock(text, t.year, t.month, t.day, t.hour, t.minute, observerLocation.zoneMinutes);
    DrawRow("UT", text, 2);
    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second,
                                         observerLocation.longitude, observerLocation.zoneMinutes);
    FormatHourMinute(text, lst);
    DrawRow("LST", text, 3);
}

void HomeStatus() {
    OpenCatalogDatabases(0);
    if (observingDateTime.year == 0) ReadDeviceClock();
    const ObservingDateTime& t = observingDateTime;

    const platform::Color previousText = SetTextColor(PanelTextColour());
    const platform::Color previousBack = SetBackColor(platform::Rgb(0, 0, 0));
    const int previousTransparent = SetTextTransparent(1);
    const int previousFont = SetFont(3);
    FillPanel();
    const platform::Point a = HomeStatusAnchor();

    char date[40];
    FormatDate(date, t.day, t.month, t.year);
    char line[64];
    if (observerLocation.name[0]) {
        char name[sizeof observerLocation.name + 1] = {};
        std::memcpy(name, observerLocation.name, sizeof observerLocation.name);
        std::snprintf(line, sizeof line, "%s, %s", name, date);
    } else {
        std::snprintf(line, sizeof line, "No Location, %s", date);
    }
    DrawString(line, static_cast<int>(std::strlen(line)), a.x, a.y);
    SetFont(2);

    HomeClock();

    char text[40];
    double rise = 0.0, transit = 0.0, set = 0.0, night = 0.0;
    const int sunResult = ComputeSunRiseSet(t.year, t.month, t.day, &rise, &transit, &set, &night);
    const bool sunAllDay = RiseSetAllDay(sunResult, rise, transit, set);
    DrawBitmapMasked(4049, a.x, a.y + Sv(kRowHeight * 5 - 3));
    FormatSunEventRow(text, rise, sunAllDay);
    DrawRow("Rise", text, 4);
    FormatSunEventRow(text, set, sunAllDay);
    DrawRow("Set", text, 5);
    FormatNightRow(text, night);
    DrawRow("Night", text, 6);

    const int zone = observerLocation.zoneMinutes;
    const double fraction = ComputeMoonIllumination(t.year, t.month, t.day, t.hour, zone, nullptr);
    bool waxing;
    if (t.hour >= 22) {
        waxing = fraction > ComputeMoonIllumination(t.year, t.month, t.day, t.hour - 1, zone, nullptr);
    } else {
        waxing = ComputeMoonIllumination(t.year, t.month, t.day, t.hour + 1, zone, nullptr) > fraction;
    }
    panelShown.moonIcon = MoonPhaseIcon(fraction, waxing);
    DrawBitmapMasked(panelShown.moonIcon, a.x, a.y + Sv(kRowHeight * 8 - 2));

    double moonRise = 0.0, moonTransit = 0.0, moonSet = 0.0;
    const int moonResult = ComputeMoonRiseSetTransit(t.year, t.month, t.day, &moonRise, &moonTransit, &moonSet);
    const MoonRows rows = ArrangeMoonRows(moonRise, moonSet, RiseSetAllDay(moonResult, moonRise, moonTransit, moonSet));
    DrawRow(rows.setFirst ? "Set" : "Rise", rows.setFirst ? rows.set : rows.rise, 7);
    DrawRow(rows.setFirst ? "Rise" : "Set", rows.setFirst ? rows.rise : rows.set, 8);

    FormatPhaseRow(text, fraction);
    DrawRow("Phase", text, 9);

    SetFont(previousFont);
    SetTextTransparent(previousTransparent);
    SetBackColor(previousBack);
    SetTextColor(previousText);

    if (noSiteFlag) {
        noSiteFlag = 0;
        ShowInformation();
        GotoForm(kSiteForm);
    }
}

void HomeDraw() {
    PushFormHistory(kFormId);
    if (observingDateTime.year == 0 || preferences.word[pref::timeUpdateMode] == 0) ReadDeviceClock();
    HomeStatus();
    if (!platform::IsWindow(homeWindow)) return;
    for (const ButtonPicture& b : kButtons) ShowObject(homeWindow, b.id);
    for (const PopupMenu& p : kPopups) ShowObject(homeWindow, p.trigger);
}

void HomeTimer() {
    if (preferences.word[pref::timeUpdateMode] != 0) return;
    ReadDeviceClock();
    HomeStatus();
}

void HomeSelect(int typeClass, int kind, int type) {
    if (!SiteIsSet()) {
        ShowMessage("Please set your location first!", "");
        return;
    }
    if (platform::IsWindow(homeWindow)) HideObject(homeWindow, kClock);

    // The waiting panel, centred on the form.
    const platform::Rect client = platform::IsWindow(homeWindow) ? platform::GetClientRect(homeWindow)
                                                                 : platform::Rect{0, 0, Sh(240), Sv(320)};
    const int w = Sh(160), h = Sv(160);
    const Bounds panel{(client.Width() - w) / 2, (client.Height() - h) / 2, w, h};
    SetForeColor(GetForeColor());
    DrawRectangle(panel, 0);
    SetForeColor(GetBackColor());
    DrawRectangle(Bounds{panel.x + Sh(2), panel.y + Sv(2), panel.width - Sh(4), panel.height - Sv(4)}, 0);
    const platform::Color previousText = SetTextColor(GetForeColor());
    const int previousFont = SetFont(1);
    const int previousTransparent = SetTextTransparent(1);
    const char* waiting = "Please wait, selecting";
    const int ww = CharsWidth(waiting, static_cast<int>(std::strlen(waiting)));
    DrawStringNoFont(waiting, static_cast<int>(std::strlen(waiting)), panel.x + (panel.width - ww) / 2,
                     panel.y + panel.height / 2 - Sv(16));
    SetFont(0);
    const char* category = HomeCategoryText(typeClass, kind);
    const int cw = CharsWidth(category, static_cast<int>(std::strlen(category)));
    DrawStringNoFont(category, static_cast<int>(std::strlen(category)), panel.x + (panel.width - cw) / 2,
                     panel.y + panel.height / 2 + Sv(2));
    SetTextTransparent(previousTransparent);
    SetFont(previousFont);
    SetTextColor(previousText);
    platform::MarkScreenChanged();
    platform::PresentScreen();

    RunObjectSelection(typeClass, kind, type);
    GotoForm(kSkyChartForm);
}

int HomeCommand(int controlId) {
    for (const ButtonForm& b : kButtonForms) {
        if (b.id == controlId) {
            GotoForm(b.form);
            return 1;
        }
    }
    switch (controlId) {
    case kInfo:
        ShowInformation();
        return 1;
    case kClock:
        EditObservingTime();
        return 1;
    case kSky:
        if (selectionList.recordCount < 1) {
            LoadStarTable(0);
            HomeSelect(0, 0, 0);
        } else {
            GotoForm(kSkyChartForm);
        }
        return 1;
    case kPlanetSearch: HomeSelect(7, 45, 27); return 1;
    case kGalaxy: HomeSelect(3, 0, 0); return 1;
    case kNebula: HomeSelect(4, 0, 0); return 1;
    case kCluster: HomeSelect(1, 0, 2); return 1;
    case kOpenCluster: HomeSelect(1, 0, 6); return 1;
    case kPersonal: HomeSelect(0, 63, 0); return 1;
    case kJupiter:
        SelectJupiterAssistant();
        GotoForm(kPlanetViewForm);
        return 1;
    case kSaturn:
        SelectSaturnAssistant();
        GotoForm(kPlanetViewForm);
        return 1;
    case kMars:
        SelectMarsAssistant();
        GotoForm(kPlanetViewForm);
        return 1;
    case kLoad:
        RequestChartCentre(kFormId, -1);
        return 1;
    case kToolsList:
    case kScopeList:
    case kSettingsList:
        PopupRow(controlId);
        return 1;
    default:
        return 0;
    }
}

void LayoutHome(Window form, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(form, width, height, &dx, &dy)) return;
    MoveObject(form, kInfo, dx, 0, 0, 0);
    for (const ButtonPicture& b : kButtons)
        if (b.id != kInfo) MoveObject(form, b.id, dx / 2, dy / 2, 0, 0);
    // The lists open below their buttons: they go where the buttons went.
    for (const PopupMenu& p : kPopups) {
        MoveObject(form, p.trigger, dx / 2, dy / 2, 0, 0);
        MoveObject(form, p.list, dx / 2, dy / 2, 0, 0);
    }
}

void HomeClose(Window form) {
    CancelDatePicker();
    platform::KillTimer(form, kHomeTimerId);
    *FormRedrawFlag(kFormId) = 1;
    ReleaseControl(form, kTitle);
    for (const ButtonPicture& b : kButtons) ReleaseControl(form, b.id);
    for (const PopupMenu& p : kPopups) ReleaseControl(form, p.trigger);
    if (homeWindow == form) homeWindow = Window{};
}

LResult HomeForm(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, FormRedrawFlag(kFormId), &result))
        return result;
    switch (message) {
    case platform::kMsgInitDialog: {
        homeWindow = w;
        InitFormWindow(w);
        InitTitle(w, kTitle, "Velkarion");
        for (const ButtonPicture& b : kButtons) InitButton(w, b.id, b.bitmap, 0, 0);
        for (const PopupMenu& p : kPopups) {
            for (int i = p.count - 1; i >= 0; --i) AppendListItem(w, p.list, p.rows[i]);
            InitPopupList(w, p.trigger, p.list, -1, 0, -1);
            SetPopupIcon(w, p.trigger, p.icon, 0, 0);
        }
        platform::SetTimer(w, kHomeTimerId, kHomeTimerPeriodMs);
        *FormRedrawFlag(kFormId) = 1;
        const platform::Rect client = platform::GetClientRect(w);
        LayoutHome(w, client.Width(), client.Height());
        return 1;
    }
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        if (id == kCmdCloseForm) {
            HomeClose(w);
            CloseForm(kFormId);
            return 1;
        }
        if (id == 1) {
            platform::PostMessage(mainWindow, platform::kMsgCommand, kCmdQuit, 0);
            return 1;
        }
        if (id == kToolsPopup || id == kScopePopup || id == kSettingsPopup) {
            const platform::Dc dc = platform::GetWindowDc(w);
            SetDrawTarget(w, dc);
            HomeCommand(platform::HighWord(wParam));
            platform::ReleaseDc(w, dc);
            return 1;
        }
        for (const ButtonPicture& b : kButtons) {
            if (b.id != id) continue;
            FreeSavedScreen();
            const platform::Dc dc = platform::GetWindowDc(w);
            SetDrawTarget(w, dc);
            SaveScreen();
            HomeCommand(id);
            platform::ReleaseDc(w, dc);
            return 0;
        }
        return 0;
    }
    case platform::kMsgTimer: {
        if (wParam != kHomeTimerId) return 0;
        platform::InvalidateRect(w, nullptr, false);
        const platform::Dc dc = platform::BeginPaint(w, nullptr);
        SetDrawTarget(w, dc);
        HomeTimer();
        SaveScreen();
        platform::EndPaint(w, dc);
        return 1;
    }
    case platform::kMsgPaint:
        PaintForm(w, &HomeDraw, FormRedrawFlag(kFormId), 0, 0);
        if (homeAlignmentOffer) {
            homeAlignmentOffer = 0;
            OfferLastAlignment();
        }
        return 1;
    case platform::kMsgClose:
        HomeClose(w);
        return 1;
    default:
        return 0;
    }
}
