#pragma once
// The MoonAssistant form (6000): a month calendar of Moon phases, the Moon map (form 6020),
// a browser of lunar features with their terminator dates, the features now on the
// terminator, and three month tables (Moon rise and set, dark hours, Moon visibility). It
// keeps its own date and time.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/types.h"
#include "platform/window.h"

namespace moon_assistant {
constexpr int kFormId = 6000;
constexpr int kTitle = 8027;
constexpr int kModePopup = 6018;
constexpr int kModeList = 6019;
constexpr int kSizePopup = 5990;
constexpr int kSizeList = 5991;
constexpr int kTypePopup = 5995;
constexpr int kTypeList = 5996;
constexpr int kFeaturePopup = 5997;
constexpr int kFeatureList = 5998;
constexpr int kTerminatorList = 6011;
constexpr int kSortName = 5992;
constexpr int kSortSize = 5993;
constexpr int kSortLatitude = 5994;
constexpr int kDate = 6002;
constexpr int kTime = 5988;
constexpr int kNow = 5987;
constexpr int kBack = 5989;
constexpr int kBackOther = 6001;
constexpr int kHelp = 6004;
constexpr int kPicture = 5984;

enum Mode { kCalendar = 0, kMap = 1, kFeatures = 2, kTerminator = 3, kRiseSet = 4, kDarkHours = 5, kVisibility = 6 };
constexpr int kTerminatorCapacity = 100;
// The terminator band: the Sun between 0 and this many degrees over a feature.
constexpr int kTerminatorAltitude = 5;
}  // namespace moon_assistant

struct MoonAssistantState {
    int mode = 0;
    int year = -1, month = 1, day = 1, hour = 0, minute = 0, second = 0;  // the form's own
    int sizeRow = 0;   // 0 "All", 1 ">40km", 2 ">80km", 3 ">120km"
    int typeRow = 0;   // of the feature type filter
    int featureRow = 0;
    int terminatorRow = -1;
    int cellWidth = 0, cellHeight = 0;
    std::vector<std::int32_t> terminatorList;  // record numbers; allocated on first use
    int terminatorCount = 0;
};
extern MoonAssistantState moonAssistant;

platform::LResult MoonAssistant(platform::Window w, unsigned message, platform::WParam wParam,
                                platform::LParam lParam);
void LayoutMoonAssistant(platform::Window dialog, int width, int height);
int MoonAssistantCommand(int id);
int MoonAssistantKey(int key);
void ShowMoonMode();
void CloseMoonAssistant();
// Frees the terminator list; harmless twice.
void FreeTerminatorList();
// Key 0 by diameter (largest first, whole-kilometre ties by record number), 1 by record
// number, 2 by stored latitude in 0.1 degree steps (north first, ties by record number).
void SortTerminatorList(int key);

// ---- The computations behind the views, for the tests --------------------------------------

// The calendar's icons from the illuminated fractions of days 1 to n + 1 at 12 h (the last
// one only to compare with): the first day above 0.996 whose next day is not brighter is the
// full Moon, the first below 0.004 whose next day is not darker the new Moon.
struct MoonCalendarCell {
    int icon = 0;
    int percent = 0;
    bool full = false;
    bool isNew = false;
};
std::vector<MoonCalendarCell> MoonCalendarIcons(const std::vector<double>& fractions);
// The day under a tap at client point (x, y) of the form's month: the day, 0 for a cell
// outside the month, -1 for a tap the calendar ignores.
int MoonCalendarTapDay(int year, int month, int x, int y);
// The tapped day's text for the current site.
std::string MoonDayInfoText(int year, int month, int day);

// A month table's row: the window (hours of local time from the day's midnight, past 24
// running into the next day), or none.
struct MoonTableRow {
    int day = 0;
    char weekday = ' ';
    int icon = 0;
    bool hasStart = false, hasEnd = false;
    double start = 0, end = 0;
};
// Kind 0 Moon rise and set, 1 dark hours, 2 Moon visibility, for each day of the month.
std::vector<MoonTableRow> ComputeMoonMonthTable(int kind, int year, int month);
// "  -----" for none, else the time rounded to the minute.
std::string FormatMoonTableTime(bool has, double hours);

struct HourSpan {
    double start = 0, end = 0;
};
// The longest overlap of a night with one of the spans; false when none overlaps.
bool LongestOverlap(const std::vector<HourSpan>& nights, const std::vector<HourSpan>& spans, HourSpan* out);
