#pragma once
// The date and time form (5200, "DateTime"): where the user sets the observing date and
// time. It serves twice: as a page opened from the menu (command 1025), which edits the
// observing time itself, and as the modal picker other forms open on six int variables of
// their own (EditDateTime). The date comes from the year, month and day lists or from the
// month calendar (weeks from Monday, each day with its Moon), the time from the hour and
// minute lists or typed, a Julian day may be typed, and the form shows either local civil
// time or UT.
//
// The callers' variables and the observing time are always local civil time; the fields
// of the form are UT while the UT flag is set.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

constexpr int kDateTimeFormId = 5200;

// Control ids.
namespace date_form {
constexpr int kTitle = 8026;
constexpr int kInfo = 5201;
constexpr int kYearPopup = 5227;
constexpr int kYearList = 5202;
constexpr int kMonthPopup = 5228;
constexpr int kMonthList = 5203;
constexpr int kDayPopup = 5229;
constexpr int kDayList = 5204;
constexpr int kHoursAm = 5205;     // 0 to 11
constexpr int kHoursPm = 5230;     // 12 to 23
constexpr int kMinutes = 5206;     // 00 to 55 by 5
constexpr int kHourField = 5215;
constexpr int kMinuteField = 5216;
constexpr int kSecondField = 5238;
constexpr int kJdField = 5235;
constexpr int kJdButton = 5236;
constexpr int kZonePopup = 5233;   // "Local Time" or "UT Time"
constexpr int kZoneList = 5234;
constexpr int kOk = 5207;
constexpr int kNow = 5217;
constexpr int kCancel = 5232;
}  // namespace date_form

// Years the year list offers: 0 to 2199, the row being the year.
constexpr int kDateFormYears = 2200;
// The Julian days the JD button takes: 1 January of year 0, 0h, up to 1 January 2200, 0h
// (excluded).
constexpr double kDateFormFirstJd = 1721057.5;
constexpr double kDateFormEndJd = 2524593.5;

// Calendar cells in design pixels, and where the calendar stands on the form.
constexpr int kCalendarCellWidth = 21;
constexpr int kCalendarCellHeight = 24;
constexpr int kCalendarLeft = 4;
constexpr int kCalendarTop = 62;   // the weekday letters stand in the 12 pixels above
constexpr int kMoonIconFirst = 6050;  // icon k (0 to 12) of a day is bitmap 6050 + k

struct DateEditSaved {
    int year, month, day, hour, minute, second;
    int timeMode;   // Preferences word 23 as it was when the form opened
};

struct DateEditState {
    int year, month, day, hour, minute, second;
    int utFlag;      // 1: the fields show UT; outlives the form
    int pickerFlag;  // 1 while EditDateTime runs the form
    DateEditSaved saved;
    int moonIcon[31];          // 0 to 12 for days 1 to 31 of the edited month
    Bounds calendar;           // screen pixels of the form's client area
    Bounds selectedDay;        // the frame of the selected day
    platform::Color frameColour;
    platform::Color brightNumberColour;
};
extern DateEditState dateEdit;

// Runs the form modally on six local-time variables; 1 when it wrote a changed date or
// time into them, else 0.
int EditDateTime(int* year, int* month, int* day, int* hour, int* minute, int* second);
// Ends an open picker without a choice and lets go of its controls at once: for a form
// closing under it (the program quitting), whose own close must not find them registered.
void CancelDatePicker();
void ShowDateInUT();
void ShowDateInLocalTime();
int IsDatePickerMode();

// The form's dialog procedure and its parts.
platform::LResult DateTime(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
void InitDateForm();
int HandleDateCommand(int controlId);
void RefreshDateForm();
// A pen down on the form at client pixels (x, y); 1 when it picked a day.
int TapDateCalendar(int x, int y);
void LayoutDateForm(platform::Window form, int width, int height);
void CloseDateForm(platform::Window form);
void FreeDateCalendar();
void SetCalendarMoonIcons();
void ShowDateJD();

// ---- The arithmetic behind the form, for its tests ----------------------------------------

// Column of a date in a calendar whose weeks start on Monday: 0 Monday to 6 Sunday.
int CalendarColumn(int year, int month, int day);
// The day under calendar cell (row, column) of a month, or 0 for an empty cell.
int CalendarDayAt(int year, int month, int row, int column);
// The Moon icon (0 to 12) of an illuminated fraction: the icon whose lit part is nearest,
// among 0 (new) to 6 (full) when waxing, 6 to 12 (new) when waning.
int CalendarMoonIcon(double fraction, bool waxing);
// The Moon icons of the home form and the MoonAssistant's calendar: 6064 full, 6065 new,
// and for the days between a sixth of the lit part: waxing 6051 + floor(6p), waning
// 6062 - floor(6p), floor(6p) taken at most 5.
constexpr int kMoonIconFull = 6064;
constexpr int kMoonIconNew = 6065;
int MoonSixthIcon(double fraction, bool waxing);
// Full above 0.996, new below 0.004, else the sixth icon.
int MoonPhaseIcon(double fraction, bool waxing);
// A typed hour (highest 23), minute or second (59): digits only, blanks around them
// allowed, from 0 to `highest`. False for anything else (empty, a sign, letters, a larger
// number), leaving *value alone. Ok refuses such a field with a message naming it.
bool ParseTypedTimeField(const char* text, int highest, int* value);
