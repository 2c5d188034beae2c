#pragma once
// The home form (1950, menu "Wizard"): picture buttons that open the main forms or start
// an object search by category, three menu buttons with further forms, and the status
// panel: the site and date, the local, UT and sidereal clocks, the Sun's rise, set and
// night, and the Moon's phase, rise, set and illuminated part. Its timer keeps the
// observing time on the device clock unless the user fixed it on the date and time form.
#include "platform/types.h"
#include "platform/window.h"

constexpr int kHomeTimerId = 1001;
constexpr unsigned kHomeTimerPeriodMs = 300000;

namespace home_form {
constexpr int kTitle = 8001;
constexpr int kInfo = 5089;
constexpr int kClock = 5146;
constexpr int kSky = 5080;
constexpr int kPlanetSearch = 5023;
constexpr int kGalaxy = 5024;
constexpr int kNebula = 5025;
constexpr int kCluster = 5027;
constexpr int kOpenCluster = 5058;
constexpr int kPersonal = 5111;
constexpr int kPlanets = 5050;
constexpr int kJupiter = 5051;
constexpr int kSaturn = 5052;
constexpr int kMars = 5115;
constexpr int kMoon = 5081;
constexpr int kEclipse = 5054;
constexpr int kSatellite = 5028;
constexpr int kComet = 5018;
constexpr int kFind = 5059;
constexpr int kLoad = 5049;
constexpr int kNightTripper = 5060;
constexpr int kObserverLog = 5053;
constexpr int kToolsPopup = 1976;
constexpr int kToolsList = 1977;
constexpr int kScopePopup = 1978;
constexpr int kScopeList = 1979;
constexpr int kSettingsPopup = 1980;
constexpr int kSettingsList = 1981;
}  // namespace home_form

// 1 at start: the first paint of the home form offers to restore the last alignment.
extern int homeAlignmentOffer;

platform::LResult HomeForm(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
void HomeClose(platform::Window form);
void LayoutHome(platform::Window form, int width, int height);
// 1 when the id was one of the form's.
int HomeCommand(int controlId);
void HomeSelect(int typeClass, int kind, int type);
void HomeDraw();
void HomeStatus();
void HomeClock();
void HomeTimer();

// ---- The status panel's arithmetic, for its tests ------------------------------------------

// Where the panel's site line starts (screen pixels of the form).
platform::Point HomeStatusAnchor();

// ": %02dh%02d" of decimal hours.
void FormatHourMinute(char* out, double hours);
// The UT clock row for a local date and time and the site's zone offset (local minus UT):
// ": 01h30 >" when UT falls on the next day, "... <" on the day before.
void FormatUtClock(char* out, int year, int month, int day, int hour, int minute, int zoneMinutes);
// The Sun's night row: the end of astronomical twilight, or ":  -----" when the Sun stays
// above -18 degrees (a value of 23.99 or more) or below it (0) all day.
void FormatNightRow(char* out, double night);
// The Sun's rise or set row: ": %02dh%02d", or ":  -----" when the date has no such event:
// the Sun stays below or above the horizon all day (allDay), or the event falls on the day
// before or after (hours outside 0 to 24).
void FormatSunEventRow(char* out, double hours, bool allDay);
// The Moon's "Phase" row: the illuminated part counted up to the next whole percent (0.3 %
// shows 1 %), at most 100 % (40 bytes suffice).
void FormatPhaseRow(char* out, double fraction);

// The Moon's rise and set rows, in the order they are drawn.
struct MoonRows {
    bool setFirst;       // the set row above the rise row (the rise was on the day before)
    char rise[16];
    char set[16];
};
// allDay: the Moon stays below or above the horizon all day, and both rows read ": None".
MoonRows ArrangeMoonRows(double rise, double set, bool allDay);

// The category line of the search panel ("visible Galaxies."); empty for none.
const char* HomeCategoryText(int type, int catalog);
