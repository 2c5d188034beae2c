#include "shell/date_time_form.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/time_scales.h"
#include "core/observing_time.h"
#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/list_view.h"
#include "platform/messages.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/message_box.h"
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
using namespace date_form;

DateEditState dateEdit{};

namespace {

constexpr const char* kMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
constexpr const char* kColumnLetters = "MTWTFSS";   // weeks from Monday
constexpr const char* kWeekdayLetters = "SMTWTFS";  // by DayOfWeek, Sunday first

// The picker's variables while EditDateTime runs.
int* pickerVars[6] = {};
// Whether the open picker ended through Ok.
bool pickerAccepted = false;
// The one-time part of the set-up (saving the time mode, loading the fields) has run for
// the form now open. A later full repaint (a colour change) must not redo it: that would
// lose the edit and the saved time mode.
bool formPrepared = false;
Window dateWindow;

int ZoneMinutes() { return observerLocation.zoneMinutes; }

int Scaled(int n) { return static_cast<int>(n * screenScale.horizontal); }
int ScaledV(int n) { return static_cast<int>(n * screenScale.vertical); }

void ShiftFields(int minutes) {
    AddMinutes(&dateEdit.year, &dateEdit.month, &dateEdit.day, &dateEdit.hour, &dateEdit.minute, minutes);
}

void CutDayToMonth() {
    const int last = DaysInMonth(dateEdit.year, dateEdit.month);
    if (last > 0 && dateEdit.day > last) dateEdit.day = last;
    if (dateEdit.day < 1) dateEdit.day = 1;
}

void SaveCopy() {
    DateEditSaved& s = dateEdit.saved;
    s.year = dateEdit.year;
    s.month = dateEdit.month;
    s.day = dateEdit.day;
    s.hour = dateEdit.hour;
    s.minute = dateEdit.minute;
    s.second = dateEdit.second;
}

void RestoreCopy() {
    const DateEditSaved& s = dateEdit.saved;
    dateEdit.year = s.year;
    dateEdit.month = s.month;
    dateEdit.day = s.day;
    dateEdit.hour = s.hour;
    dateEdit.minute = s.minute;
    dateEdit.second = s.second;
}

void SetTwoDigits(int id, int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    SetField(id, text);
}

// The whole form is drawn again at the next paint: the calendar, its frame and the Moon
// icons follow every change of the date.
void RedrawForm() {
    if (!platform::IsWindow(dateWindow)) return;
    if (!dateEdit.pickerFlag) *FormRedrawFlag(kDateTimeFormId) = 1;
    platform::InvalidateRect(dateWindow, nullptr, false);
}

void LoadDeviceTime() {
    GetLocalDateTime(&dateEdit.year, &dateEdit.month, &dateEdit.day, &dateEdit.hour, &dateEdit.minute,
                     &dateEdit.second);
}

// ---- Drawing -------------------------------------------------------------------------------

void DrawCenteredText(const char* text, int centreX, int y) {
    const int width = CharsWidth(text, static_cast<int>(std::strlen(text)));
    DrawStringNoFont(text, static_cast<int>(std::strlen(text)), centreX - width / 2, y);
}

void DrawDateCalendar() {
    const int cellW = Scaled(kCalendarCellWidth), cellH = ScaledV(kCalendarCellHeight);
    const int left = dateEdit.calendar.x, top = dateEdit.calendar.y;
    const int previousFont = SetFont(3);
    const int previousTransparent = SetTextTransparent(1);
    const platform::Color text = GetForeColor();
    SetTextColor(text);
    for (int c = 0; c < 7; ++c) {
        const char letter[2] = {kColumnLetters[c], 0};
        DrawCenteredText(letter, left + c * cellW + cellW / 2, top - ScaledV(12));
    }
    SetFont(2);
    const int days = DaysInMonth(dateEdit.year, dateEdit.month);
    const int night = preferences.word[pref::nightMode];
    int row = 0;
    for (int d = 1; d <= days; ++d) {
        const int column = CalendarColumn(dateEdit.year, dateEdit.month, d);
        if (column == 0 && d > 1) ++row;
        const int x = left + column * cellW, y = top + row * cellH;
        const int icon = dateEdit.moonIcon[d - 1];
        DrawBitmapMasked(kMoonIconFirst + icon, x + Scaled(2), y + ScaledV(1));
        char number[16];
        std::snprintf(number, sizeof number, "%02d", d);
        SetTextColor(night != 0 && icon >= 4 && icon <= 10 ? dateEdit.brightNumberColour : text);
        DrawCenteredText(number, x + cellW / 2, y + ScaledV(13));
        if (d == dateEdit.day) dateEdit.selectedDay = Bounds{x, y, cellW, cellH};
    }
    SetTextColor(text);
    // The frame of the selected day, as thick as a design pixel.
    const Bounds& f = dateEdit.selectedDay;
    SetForeColor(dateEdit.frameColour);
    const int t = Scaled(1) > 0 ? Scaled(1) : 1;
    DrawRectangle(Bounds{f.x, f.y, f.width, t}, 0);
    DrawRectangle(Bounds{f.x, f.y + f.height - t, f.width, t}, 0);
    DrawRectangle(Bounds{f.x, f.y, t, f.height}, 0);
    DrawRectangle(Bounds{f.x + f.width - t, f.y, t, f.height}, 0);
    SetTextTransparent(previousTransparent);
    SetFont(previousFont);
}

// Row painters of the owner-drawn year and day lists.
void PaintYearRow(int row, Bounds rect, int, int) {
    char text[8];
    std::snprintf(text, sizeof text, "%04d", row);
    const int previous = SetTextTransparent(1);
    DrawStringNoFont(text, 4, rect.x + Scaled(4), rect.y + (rect.height - ScaledV(11)) / 2);
    SetTextTransparent(previous);
}

void PaintDayRow(int row, Bounds rect, int, int) {
    const int day = row + 1;
    if (day < 1 || day > 31) return;
    DrawBitmapMasked(kMoonIconFirst + dateEdit.moonIcon[row], rect.x + Scaled(2),
                     rect.y + (rect.height - ScaledV(16)) / 2);
    char text[8];
    std::snprintf(text, sizeof text, "%c %02d", kWeekdayLetters[DayOfWeek(dateEdit.year, dateEdit.month, day)], day);
    const int previous = SetTextTransparent(1);
    DrawStringNoFont(text, static_cast<int>(std::strlen(text)), rect.x + Scaled(21), rect.y + (rect.height - ScaledV(11)) / 2);
    SetTextTransparent(previous);
}

// The hours and minutes lists: " 0" to "11", "12" to "23", "00" to "55".
void PaintTimeRow(int listId, int row, Bounds rect) {
    char text[8];
    if (listId == kMinutes) {
        std::snprintf(text, sizeof text, "%02d", 5 * row);
    } else {
        std::snprintf(text, sizeof text, "%2d", listId == kHoursAm ? row : row + 12);
    }
    const int previous = SetTextTransparent(1);
    DrawStringNoFont(text, static_cast<int>(std::strlen(text)), rect.x + Scaled(3), rect.y + (rect.height - ScaledV(11)) / 2);
    SetTextTransparent(previous);
}
void PaintHoursAmRow(int row, Bounds rect, int, int) { PaintTimeRow(kHoursAm, row, rect); }
void PaintHoursPmRow(int row, Bounds rect, int, int) { PaintTimeRow(kHoursPm, row, rect); }
void PaintMinutesRow(int row, Bounds rect, int, int) { PaintTimeRow(kMinutes, row, rect); }

// The closed year and day triggers show the chosen row, in the trigger's own font as
// the month and zone triggers show theirs.
void DrawTriggerText(const char* text, Bounds rect) {
    const platform::Dc dc = GetDrawDC();
    const platform::GfxObject previous = platform::SelectObject(dc, platform::SystemFont(platform::ScreenScale()));
    platform::SetBackMode(dc, platform::BackMode::Transparent);
    platform::DrawTextIn(dc, text, platform::Rect{rect.x, rect.y, rect.x + rect.width, rect.y + rect.height},
                         platform::kTextVCenter | platform::kTextSingleLine);
    platform::SetBackMode(dc, platform::BackMode::Opaque);
    if (previous) platform::SelectObject(dc, previous);
}
void PaintYearTrigger(int row, Bounds rect, int) {
    if (row < 0) return;
    char text[16];
    std::snprintf(text, sizeof text, "%04d", row);
    DrawTriggerText(text, rect);
}
void PaintDayTrigger(int row, Bounds rect, int) {
    if (row < 0) return;
    char text[16];
    std::snprintf(text, sizeof text, "%02d", row + 1);
    DrawTriggerText(text, rect);
}

// ---- Opening and closing ------------------------------------------------------------------

// The long year and day lists open over the calendar and stop above the typed time, with
// as many whole rows as fit there, 13 at most.
int RowsAboveTime(Window w, int triggerId, int listId) {
    const int rowHeight = std::max(1, platform::ListRowHeight(platform::GetDialogItem(w, listId)));
    const int top = platform::GetRectInParent(platform::GetDialogItem(w, triggerId)).bottom;
    const int limit = platform::GetRectInParent(platform::GetDialogItem(w, kHourField)).top;
    return std::clamp((limit - top - 2 * kPopupListFrame) / rowHeight, 1, 13);
}

void MakeControls(Window w) {
    if (dateEdit.pickerFlag) {
        InitTitleNoClose(w, kTitle, "DateTime");
        SetActiveFormHandle(w);
    } else {
        InitTitle(w, kTitle, "DateTime");
    }
    InitButton(w, kInfo, 4998, 0, 0);
    for (int id : {kJdButton, kOk, kNow, kCancel}) InitButton(w, id, -1, 0, 0);

    for (int m = 11; m >= 0; --m) AppendListItem(w, kMonthList, kMonthNames[m]);
    AppendListItem(w, kZoneList, "UT Time");
    AppendListItem(w, kZoneList, "Local Time");
    // Rows the form draws itself: the years, the days with their Moon, and the hours and
    // minutes, whose rows are kept low enough for all twelve to show.
    FillList(platform::GetDialogItem(w, kYearList), nullptr, kDateFormYears);
    FillList(platform::GetDialogItem(w, kDayList), nullptr, 31);
    for (int id : {kHoursAm, kHoursPm, kMinutes}) FillList(platform::GetDialogItem(w, id), nullptr, 12);

    InitPopupList(w, kYearPopup, kYearList, kDateFormYears, RowsAboveTime(w, kYearPopup, kYearList), -1);
    InitPopupList(w, kMonthPopup, kMonthList, -1, 0, -1);
    InitPopupList(w, kDayPopup, kDayList, 31, RowsAboveTime(w, kDayPopup, kDayList), -1);
    InitPopupList(w, kZonePopup, kZoneList, -1, 0, -1);
    SetListDrawFunction(w, kYearPopup, &PaintYearTrigger);
    SetListDrawFunction(w, kDayPopup, &PaintDayTrigger);
    InitList(w, kHoursAm, -1, -1, 0);
    InitList(w, kHoursPm, -1, -1, 0);
    InitList(w, kMinutes, -1, -1, 0);
    for (int id : {kHourField, kMinuteField, kSecondField, kJdField}) InitField(w, id, 1);
}

void ReleaseDateControls(Window w) {
    for (int id : {kTitle, kInfo, kYearPopup, kMonthPopup, kDayPopup, kZonePopup, kHoursAm, kHoursPm, kMinutes,
                   kHourField, kMinuteField, kSecondField, kJdField, kJdButton, kOk, kNow, kCancel})
        ReleaseControl(w, id);
}

// The typed hour, minute and second, each a whole number in its range. False, with a
// message naming the first field that is not, when any is not.
bool ReadTypedTime(int* hour, int* minute, int* second) {
    struct Field {
        int id;
        const char* name;
        int highest;
        int* value;
    };
    const Field fields[] = {{kHourField, "Hour", 23, hour}, {kMinuteField, "Minutes", 59, minute},
                            {kSecondField, "Seconds", 59, second}};
    for (const Field& f : fields) {
        char text[16];
        GetField(f.id, text, sizeof text);
        if (ParseTypedTimeField(text, f.highest, f.value)) continue;
        char heading[32];
        char detail[96];
        std::snprintf(heading, sizeof heading, "Invalid %s", f.name);
        if (text[0]) {
            std::snprintf(detail, sizeof detail, "Type a whole number from 0 to %d in %s, not \"%s\".", f.highest,
                          f.name, text);
        } else {
            std::snprintf(detail, sizeof detail, "Type a whole number from 0 to %d in %s.", f.highest, f.name);
        }
        ShowMessage(heading, detail);
        return false;
    }
    return true;
}

// Takes the date from the lists and the time from the typed fields (read by
// ReadTypedTime), then back to local time.
void TakeEditedValues(int hour, int minute, int second) {
    const int year = GetListSelection(kYearList);
    const int month = GetListSelection(kMonthList);
    const int day = GetListSelection(kDayList);
    if (year >= 0) dateEdit.year = year;
    if (month >= 0) dateEdit.month = month + 1;
    if (day >= 0) dateEdit.day = day + 1;
    CutDayToMonth();
    dateEdit.hour = hour;
    dateEdit.minute = minute;
    dateEdit.second = second;
    if (dateEdit.utFlag) ShiftFields(ZoneMinutes());
}

bool FieldsDifferFromObservingTime() {
    const ObservingDateTime& t = observingDateTime;
    return dateEdit.year != t.year || dateEdit.month != t.month || dateEdit.day != t.day ||
           dateEdit.hour != t.hour || dateEdit.minute != t.minute || dateEdit.second != t.second;
}

void WriteObservingTime() {
    if (!FieldsDifferFromObservingTime()) return;
    SetObservingDateTime(dateEdit.year, dateEdit.month, dateEdit.day, dateEdit.hour, dateEdit.minute,
                         dateEdit.second);
    ObservingTimeChanged();
}

void FinishForm(Window w) {
    if (dateEdit.pickerFlag) {
        // Its controls are let go while they still exist: once the dialog is being
        // destroyed they cannot be found any more.
        CloseDateForm(w);
        platform::EndDialog(w, platform::kIdOk);
    } else {
        GoBackForm();
    }
}

void PaintPicker(Window w) {
    const platform::Dc dc = platform::BeginPaint(w, nullptr);
    if (!dc) return;
    SetDrawTarget(w, dc);
    platform::FillRect(dc, platform::GetClientRect(w), GetBackBrush());
    InitDateForm();
    platform::EndPaint(w, dc);
}

}  // namespace

// ---- Public operations ---------------------------------------------------------------------

int CalendarColumn(int year, int month, int day) { return (DayOfWeek(year, month, day) + 6) % 7; }

int CalendarDayAt(int year, int month, int row, int column) {
    if (row < 0 || column < 0 || column > 6) return 0;
    const int day = 7 * row + column - CalendarColumn(year, month, 1) + 1;
    return day >= 1 && day <= DaysInMonth(year, month) ? day : 0;
}

int CalendarMoonIcon(double fraction, bool waxing) {
    // The lit part of each icon's disc: icons 0 to 6 wax from new to full, 6 to 12 wane.
    static constexpr double kLit[13] = {0.0, 0.11, 0.33, 0.58, 0.81, 0.97, 1.0, 0.97, 0.80, 0.57, 0.31, 0.11, 0.0};
    const int first = waxing ? 0 : 6;
    int best = first;
    for (int k = first; k <= first + 6; ++k)
        if (std::fabs(kLit[k] - fraction) < std::fabs(kLit[best] - fraction)) best = k;
    return best;
}

int MoonSixthIcon(double fraction, bool waxing) {
    const int sixth = std::clamp(static_cast<int>(6.0 * fraction), 0, 5);
    return waxing ? 6051 + sixth : 6062 - sixth;
}

int MoonPhaseIcon(double fraction, bool waxing) {
    if (fraction > 0.996) return kMoonIconFull;
    if (fraction < 0.004) return kMoonIconNew;
    return MoonSixthIcon(fraction, waxing);
}

bool ParseTypedTimeField(const char* text, int highest, int* value) {
    if (!text || !value) return false;
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    int v = 0;
    int digits = 0;
    for (; *p >= '0' && *p <= '9'; ++p, ++digits) {
        v = v * 10 + (*p - '0');
        if (v > highest) return false;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (digits == 0 || *p != '\0') return false;
    *value = v;
    return true;
}

void CancelDatePicker() {
    if (!dateEdit.pickerFlag || !platform::IsWindow(dateWindow)) return;
    const Window w = dateWindow;
    CloseDateForm(w);
    platform::EndDialog(w, platform::kIdCancel);
}

void ShowDateInUT() { dateEdit.utFlag = 1; }
void ShowDateInLocalTime() { dateEdit.utFlag = 0; }
int IsDatePickerMode() { return dateEdit.pickerFlag; }

int EditDateTime(int* year, int* month, int* day, int* hour, int* minute, int* second) {
    if (!year || !month || !day || !hour || !minute || !second) return 0;
    int* vars[6] = {year, month, day, hour, minute, second};
    for (int i = 0; i < 6; ++i) pickerVars[i] = vars[i];
    dateEdit.year = *year;
    dateEdit.month = *month;
    dateEdit.day = *day;
    dateEdit.hour = *hour;
    dateEdit.minute = *minute;
    dateEdit.second = *second;
    dateEdit.pickerFlag = 1;
    if (dateEdit.utFlag) ShiftFields(-ZoneMinutes());
    SaveCopy();
    dateEdit.saved.timeMode = preferences.word[pref::timeUpdateMode];
    pickerAccepted = false;

    // The picker makes itself the form that fields are set on while it runs; the form
    // under it is that form again afterwards, for the caller to show what was picked.
    const Window under = GetActiveForm();
    ShowDialogResource(kDateTimeFormId, &DateTime);
    if (platform::IsWindow(under)) SetActiveFormHandle(under);

    dateEdit.pickerFlag = 0;
    for (int*& p : pickerVars) p = nullptr;
    // Only Ok writes: a picker ended any other way (the program quitting under it) leaves
    // the variables and the time mode as they were.
    if (!pickerAccepted) {
        preferences.word[pref::timeUpdateMode] = dateEdit.saved.timeMode;
        return 0;
    }
    if (dateEdit.year == *year && dateEdit.month == *month && dateEdit.day == *day && dateEdit.hour == *hour &&
        dateEdit.minute == *minute && dateEdit.second == *second)
        return 0;
    *year = dateEdit.year;
    *month = dateEdit.month;
    *day = dateEdit.day;
    *hour = dateEdit.hour;
    *minute = dateEdit.minute;
    *second = dateEdit.second;
    ObservingTimeChanged();
    return 1;
}

void InitDateForm() {
    const bool first = !formPrepared;
    if (first) {
        formPrepared = true;
        dateEdit.saved.timeMode = preferences.word[pref::timeUpdateMode];
        preferences.word[pref::timeUpdateMode] = 1;
        if (!dateEdit.pickerFlag) {
            const ObservingDateTime& t = observingDateTime;
            dateEdit.year = t.year;
            dateEdit.month = t.month;
            dateEdit.day = t.day;
            dateEdit.hour = t.hour;
            dateEdit.minute = t.minute;
            dateEdit.second = t.second;
            if (dateEdit.utFlag) ShiftFields(-ZoneMinutes());
            SaveCopy();
        }
        if (dateEdit.year < 0 || dateEdit.year >= kDateFormYears) LoadDeviceTime();
    }
    if (!dateEdit.pickerFlag) PushFormHistory(kDateTimeFormId);
    const int night = preferences.word[pref::nightMode];
    dateEdit.frameColour = night == 0 ? platform::Rgb(255, 0, 0) : platform::Rgb(GetNightLevel(), 0, 0);
    dateEdit.brightNumberColour = platform::Rgb(0, 0, 0);
    dateEdit.calendar = Bounds{Scaled(kCalendarLeft), ScaledV(kCalendarTop), 7 * Scaled(kCalendarCellWidth),
                               6 * ScaledV(kCalendarCellHeight)};
    // The controls are filled once; later paints (after a pick in the calendar or a list,
    // which refreshes what it changed) only draw the calendar again, so a time being
    // typed is not overwritten.
    if (first) {
        RefreshDateForm();
    } else {
        SetCalendarMoonIcons();
    }
    DrawDateCalendar();
}

void SetCalendarMoonIcons() {
    // Each day shows its Moon at noon, waxing when it grows in the hour after.
    const int days = DaysInMonth(dateEdit.year, dateEdit.month);
    for (int n = 0; n < 31; ++n) {
        const int day = std::min(n + 1, days);
        const double noon = ComputeMoonIllumination(dateEdit.year, dateEdit.month, day, 12.0, ZoneMinutes(), nullptr);
        const double later = ComputeMoonIllumination(dateEdit.year, dateEdit.month, day, 13.0, ZoneMinutes(), nullptr);
        dateEdit.moonIcon[n] = CalendarMoonIcon(noon, later > noon);
    }
}

void RefreshDateForm() {
    CutDayToMonth();
    const int days = DaysInMonth(dateEdit.year, dateEdit.month);
    if (Window w = GetActiveForm()) FillList(platform::GetDialogItem(w, kDayList), nullptr, days);
    SetCalendarMoonIcons();
    // The triggers show their lists' choices ("%04d", the month's name, "%02d"), so that
    // an opened list starts on the row shown.
    SetPopupList(kYearPopup, kYearList, dateEdit.year);
    SetPopupList(kMonthPopup, kMonthList, dateEdit.month - 1);
    SetPopupList(kDayPopup, kDayList, dateEdit.day - 1);
    SetPopupList(kZonePopup, kZoneList, dateEdit.utFlag ? 1 : 0);
    if (dateEdit.hour >= 0 && dateEdit.hour < 12) {
        SetListSelection(kHoursPm, -1);
        SetListSelection(kHoursAm, dateEdit.hour);
    } else {
        SetListSelection(kHoursAm, -1);
        SetListSelection(kHoursPm, dateEdit.hour - 12);
    }
    SetListSelection(kMinutes, dateEdit.minute % 5 == 0 ? dateEdit.minute / 5 : -1);
    SetTwoDigits(kHourField, dateEdit.hour);
    SetTwoDigits(kMinuteField, dateEdit.minute);
    SetTwoDigits(kSecondField, dateEdit.second);
    ShowDateJD();
}

void ShowDateJD() {
    const double jd = DateTimeToJD(dateEdit.year, dateEdit.month, dateEdit.day, dateEdit.hour, dateEdit.minute,
                                   dateEdit.second, dateEdit.utFlag ? 0 : ZoneMinutes());
    char text[32];
    FormatFixed(text, jd, 6);
    text[14] = 0;
    SetField(kJdField, text);
}

int TapDateCalendar(int x, int y) {
    const Bounds& c = dateEdit.calendar;
    if (c.width <= 0 || x < c.x || y < c.y || x >= c.x + c.width || y >= c.y + c.height) return 0;
    const int column = (x - c.x) / Scaled(kCalendarCellWidth);
    const int row = (y - c.y) / ScaledV(kCalendarCellHeight);
    const int day = CalendarDayAt(dateEdit.year, dateEdit.month, row, column);
    if (day == 0) return 0;
    dateEdit.day = day;
    SetPopupList(kDayPopup, kDayList, day - 1);
    ShowDateJD();
    RedrawForm();
    return 1;
}

void LayoutDateForm(Window form, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(form, width, height, &dx, &dy)) return;
    MoveObject(form, kInfo, dx, 0, 0, 0);
}

void FreeDateCalendar() {
    dateEdit.calendar = Bounds{};
    dateEdit.selectedDay = Bounds{};
}

void CloseDateForm(Window form) {
    ReleaseDateControls(form);
    FreeDateCalendar();
    formPrepared = false;
    dateWindow = Window{};
    *FormRedrawFlag(kDateTimeFormId) = 1;
}

int HandleDateCommand(int controlId) {
    switch (controlId) {
    case kInfo:
        ShowMessage("\x95 This assistant lets you set the date and time.",
                    "\x95 Local time or Universal Time (UT) can be inputed as well as Julian Date.\n"
                    "In this case please press JD button to update.");
        return 1;
    case kYearList: {
        const int row = GetListSelection(kYearList);
        if (row < 0) return 1;
        dateEdit.year = row;
        CutDayToMonth();
        RefreshDateForm();
        RedrawForm();
        return 1;
    }
    case kMonthList: {
        const int row = GetListSelection(kMonthList);
        if (row < 0) return 1;
        dateEdit.month = row + 1;
        CutDayToMonth();
        RefreshDateForm();
        RedrawForm();
        return 1;
    }
    case kDayList: {
        const int row = GetListSelection(kDayList);
        if (row < 0) return 1;
        dateEdit.day = row + 1;
        RefreshDateForm();
        RedrawForm();
        return 1;
    }
    case kHoursAm:
    case kHoursPm: {
        const int row = GetListSelection(controlId);
        if (row < 0) return 1;
        dateEdit.hour = controlId == kHoursAm ? row : row + 12;
        SetListSelection(controlId == kHoursAm ? kHoursPm : kHoursAm, -1);
        SetTwoDigits(kHourField, dateEdit.hour);
        ShowDateJD();
        return 1;
    }
    case kMinutes: {
        const int row = GetListSelection(kMinutes);
        if (row < 0) return 1;
        dateEdit.minute = 5 * row;
        dateEdit.second = 0;
        SetTwoDigits(kMinuteField, dateEdit.minute);
        SetTwoDigits(kSecondField, dateEdit.second);
        ShowDateJD();
        return 1;
    }
    case kZoneList: {
        const int choice = GetListSelection(kZoneList) == 1 ? 1 : 0;
        if (choice != dateEdit.utFlag) {
            if (dateEdit.utFlag) ShiftFields(ZoneMinutes());
            dateEdit.utFlag = choice;
            if (dateEdit.utFlag) ShiftFields(-ZoneMinutes());
        }
        RefreshDateForm();
        RedrawForm();
        return 1;
    }
    case kJdButton: {
        char text[16];
        GetField(kJdField, text, 15);
        const double jd = StrToDouble(text);
        if (jd >= kDateFormFirstJd && jd < kDateFormEndJd) {
            JDToDate(jd, &dateEdit.year, &dateEdit.month, &dateEdit.day, &dateEdit.hour, &dateEdit.minute,
                     &dateEdit.second);
            if (!dateEdit.utFlag) ShiftFields(ZoneMinutes());
            RefreshDateForm();
            RedrawForm();
        } else {
            ShowMessage("Invalid JD date", "");
        }
        return 1;
    }
    case kNow:
        preferences.word[pref::timeUpdateMode] = 0;
        LoadDeviceTime();
        if (dateEdit.utFlag) ShiftFields(-ZoneMinutes());
        RefreshDateForm();
        RedrawForm();
        return 1;
    case kOk: {
        const Window w = dateWindow;
        // A typed time that is not one leaves the form open with the edit, after a word.
        int hour = 0, minute = 0, second = 0;
        if (!ReadTypedTime(&hour, &minute, &second)) return 1;
        TakeEditedValues(hour, minute, second);
        if (dateEdit.pickerFlag) {
            pickerAccepted = true;
        } else {
            // The page edits the observing time itself: Ok applies what the user set.
            WriteObservingTime();
        }
        FinishForm(w);
        return 1;
    }
    case kCancel:
    case 1: {
        const Window w = dateWindow;
        RestoreCopy();
        preferences.word[pref::timeUpdateMode] = dateEdit.saved.timeMode;
        if (dateEdit.utFlag) ShiftFields(ZoneMinutes());
        // The picker edits its caller's variables, which Cancel leaves alone; only the
        // page puts the observing time back.
        if (!dateEdit.pickerFlag) WriteObservingTime();
        FinishForm(w);
        return 1;
    }
    default:
        return 0;
    }
}

LResult DateTime(Window w, unsigned message, WParam wParam, LParam lParam) {
    switch (message) {
    case platform::kMsgInitDialog: {
        dateWindow = w;
        formPrepared = false;
        if (dateEdit.pickerFlag) {
            ShellInitDialog(w, kShellFormDialog);
            ShellFullScreen(w, kShellFullScreen);
        } else {
            InitFormWindow(w);
        }
        MakeControls(w);
        *FormRedrawFlag(kDateTimeFormId) = 1;
        const platform::Rect client = platform::GetClientRect(w);
        LayoutDateForm(w, client.Width(), client.Height());
        return 1;
    }
    case platform::kMsgPaint:
        if (dateEdit.pickerFlag) {
            PaintPicker(w);
        } else {
            PaintForm(w, &InitDateForm, FormRedrawFlag(kDateTimeFormId), 0, 0);
        }
        return 1;
    case platform::kMsgEraseBackground:
        return 1;
    case platform::kMsgActivate:
        if (!dateEdit.pickerFlag) HandleFormActivate(w, wParam, lParam, &formActivateInfo, FormRedrawFlag(kDateTimeFormId));
        return 0;
    case platform::kMsgSettingChange:
        if (!dateEdit.pickerFlag) HandleFormSettingChange(w, wParam, lParam);
        return 1;
    case platform::kMsgMeasureItem: {
        // Day rows carry their Moon; the twelve hours and minutes fit their lists.
        auto* info = reinterpret_cast<platform::MeasureItemInfo*>(lParam);
        if (info && info->controlId == kDayList) info->height = ScaledV(18);
        if (info && (info->controlId == kHoursAm || info->controlId == kHoursPm || info->controlId == kMinutes))
            info->height = ScaledV(15);
        return 1;
    }
    case platform::kMsgDrawItem: {
        auto* info = reinterpret_cast<platform::DrawItemInfo*>(lParam);
        if (!info) return 0;
        if (info->controlId == kYearList) DrawOwnerListItem(w, info, &PaintYearRow);
        if (info->controlId == kDayList) DrawOwnerListItem(w, info, &PaintDayRow);
        if (info->controlId == kHoursAm) DrawOwnerListItem(w, info, &PaintHoursAmRow);
        if (info->controlId == kHoursPm) DrawOwnerListItem(w, info, &PaintHoursPmRow);
        if (info->controlId == kMinutes) DrawOwnerListItem(w, info, &PaintMinutesRow);
        return 1;
    }
    case platform::kMsgPenDown: {
        const platform::Point p = platform::PointFromParam(lParam);
        TapDateCalendar(p.x, p.y);
        return 1;
    }
    case platform::kMsgClose:
        CloseDateForm(w);
        return 1;
    case platform::kMsgCommand: {
        const int id = platform::LowWord(wParam);
        if (id == kCmdCloseForm) {
            CloseDateForm(w);
            CloseForm(kDateTimeFormId);
            return 1;
        }
        if (id == platform::kIdCancel && dateEdit.pickerFlag) return HandleDateCommand(kCancel);
        // A popup tells its list in the high word.
        const int target = (id == kYearPopup || id == kMonthPopup || id == kDayPopup || id == kZonePopup)
                               ? platform::HighWord(wParam)
                               : id;
        return HandleDateCommand(target);
    }
    default:
        return 0;
    }
}
