#pragma once
// The Day and Night form (2423, "Day&&Night"): a small world map with the night side
// shaded and the Sun over the point beneath it, for the observing date and time; the
// site, local time, UT, zone, sidereal time, equation of time and the Sun's declination;
// on portrait screens the day and night lengths and the Sun's rise and set for three
// depressions; on screens larger than the design size a sky view centred on the Sun.
//
// The form changes the observing date and time itself (a drag across the map moves the
// time 5 minutes a pixel, a drag up or down the date 5 days a step, the page keys a day,
// the date and time form, the device clock), and the change stays after it closes.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

namespace day_night {
constexpr int kFormId = 2423;
constexpr int kTitle = 8024;
constexpr int kOk = 2424;
constexpr int kInfo = 2425;
constexpr int kDate = 2426;
constexpr int kTime = 2427;
constexpr int kUniversalTime = 2428;
constexpr int kSiderealTime = 2429;
constexpr int kZone = 2431;
constexpr int kNow = 2432;
constexpr int kSiteName = 2433;
constexpr int kLongitude = 2434;
constexpr int kLatitude = 2435;
constexpr int kEquationOfTime = 2436;
constexpr int kSunDeclination = 2437;
}  // namespace day_night

struct DayNightState {
    int screenWidth = 0;
    int screenHeight = 0;
    int mapX = 0;
    float utHour = 0.0f;             // of the last drawing
    float subsolarLongitude = 0.0f;  // degrees west of Greenwich, (0, 360]
    std::int32_t declination = 0;    // the Sun's, whole degrees
    float equationOfTime = 0.0f;     // minutes
    int penX = 0;                    // drag reference point
    int penY = 0;
    int penDown = 0;                 // 1 while a drag that began on the map goes on
    int keyRepeat = 0;               // 1 while a page key is held: coarser, faster shading
    DrawWindow* skyView = nullptr;   // the sky view's offscreen
    Bounds skyViewArea;
};
extern DayNightState dayNight;

// The rows of text under the map for one date at the current site, worked out from the
// Sun's rise and set (local hours; the Sun's centre at -0.8333, -6, -12 and -18 degrees).
struct DayNightRows {
    char dayLength[24];       // ": %02dh%02dm", "24h00m" under the midnight sun, "00h00m" in the polar night
    char lengthChange[24];    // " %+03dm%02ds" against the day before; empty when either day lacks an event
    char nightLength[24];
    char rise[3][24];         // civil (-6), nautical (-12), astronomical (-18): ": %02dh%02dm" or ": --h--m"
    char set[3][24];          // "%02dh%02dm" or "--h--m"
};
void ComputeDayNightRows(int year, int month, int day, DayNightRows* rows);

platform::LResult DayNight(platform::Window dialog, unsigned message, platform::WParam wParam,
                           platform::LParam lParam);
void ReleaseDayNightControls(platform::Window dialog);
void LayoutDayNightForm(platform::Window dialog, int width, int height);
void InitDayNightForm();
void RefreshDayNightForm();
// The map at (x, y) for a local date and time at the current site.
void DrawDayNightMap(int x, int y, int year, int month, int day, int hour, int minute, int second);
// The latitude (whole degrees, rounded) of the terminator at a longitude (degrees from the
// subsolar meridian) for k = 1 / tan(declination); an infinite k (the Sun on the equator)
// puts the terminator on the meridians 90 degrees from the Sun.
int GetTerminatorLatitude(int longitude, double k);
// The longitude under the Sun, degrees west of Greenwich in (0, 360], from a series in
// the equation of time; and the Sun's declination in degrees; both at a UT hour of a date.
double GetSubsolarLongitude(int day, int month, int year, double utHour);
double GetSunLowPrecision(int day, int month, int year, double utHour);
int HandleDayNightPenDown(int x, int y);
int TrackDayNightPen(int x, int y);
int HandleDayNightTap(int x, int y);
int HandleDayNightKey(int key);
int HandleDayNightCommand(int id);
// Frees the sky view's offscreen.
void CloseDayNightForm();
