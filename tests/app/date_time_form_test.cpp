#include "shell/date_time_form.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/time_scales.h"
#include "core/number_text.h"
#include "platform/dialog.h"
#include "platform/list_view.h"
#include "platform/picture.h"
#include "platform/resources.h"
#include "platform/system_colors.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/form_dispatcher_internal.h"
#include "app/home_form.h"
#include "core/initialisers.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "app/main_window.h"
#include "core/settings.h"
#include "support/headless_fixture.h"
#include "support/golden_screen.h"

namespace fs = std::filesystem;
using platform::Rect;
using platform::Window;
using namespace date_form;

namespace {

// ---- The calendar's arithmetic -------------------------------------------------------------

TEST(DateCalendar, WeeksStartOnMonday) {
    EXPECT_EQ(CalendarColumn(2024, 1, 1), 0);   // a Monday
    EXPECT_EQ(CalendarColumn(2024, 3, 31), 6);  // a Sunday
    EXPECT_EQ(CalendarColumn(2024, 3, 1), 4);   // a Friday

    // March 2024: the 1st in the fifth column, the 31st ending the fifth row.
    struct Case {
        int row, column, day;
    };
    const Case cases[] = {
        {0, 4, 1}, {0, 3, 0}, {0, 0, 0}, {0, 6, 3}, {1, 0, 4}, {4, 6, 31}, {5, 0, 0}, {0, 7, 0}, {-1, 4, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CalendarDayAt(2024, 3, c.row, c.column), c.day) << c.row << "," << c.column;
    // February of a leap year ends on the 29th.
    EXPECT_EQ(CalendarDayAt(2024, 2, 4, 3), 29);
    EXPECT_EQ(CalendarDayAt(2023, 2, 4, 3), 0);
}

// December 2026 at Greenwich: new Moon on the 9th, first quarter on the 17th, full on
// the 24th; the lit fractions at noon from python3-ephem.
TEST(DateCalendar, MoonIconsShowTheDaysPhase) {
    const ObserverLocation saved = observerLocation;
    observerLocation.zoneMinutes = 0;
    dateEdit.year = 2026;
    dateEdit.month = 12;
    SetCalendarMoonIcons();
    struct Case {
        int day;
        int icon;
        const char* what;
    } cases[] = {
        {9, 0, "0.3 % waxing"},
        {14, 2, "25 % waxing: a crescent"},
        {17, 3, "53 % waxing: the half Moon"},
        {19, 4, "73 % waxing"},
        {20, 4, "83 % waxing"},
        {24, 6, "99.6 %: full"},
        {28, 8, "74 % waning"},
        {31, 10, "43 % waning"},
    };
    for (const Case& c : cases) EXPECT_EQ(dateEdit.moonIcon[c.day - 1], c.icon) << c.day << " " << c.what;
    // Waxing icons run from 0 to 6, waning ones from 6 to 12.
    EXPECT_EQ(CalendarMoonIcon(0.5, true), 3);
    EXPECT_EQ(CalendarMoonIcon(0.5, false), 9);
    EXPECT_EQ(CalendarMoonIcon(0.0, false), 12);
    observerLocation = saved;
}

TEST(DateCalendar, TypedTimeFieldsTakeWholeNumbersInRange) {
    struct Case {
        const char* text;
        int highest;
        bool taken;
        int value;
    };
    const Case cases[] = {
        {"21", 23, true, 21}, {"0", 23, true, 0}, {"07", 59, true, 7}, {" 9 ", 23, true, 9}, {"23", 23, true, 23},
        {"59", 59, true, 59}, {"24", 23, false, 0}, {"60", 59, false, 0}, {"99", 23, false, 0},
        {"", 23, false, 0},  {"  ", 23, false, 0}, {"ab99", 23, false, 0}, {"9x", 23, false, 0},
        {"-1", 23, false, 0}, {"+5", 23, false, 0}, {"1 2", 23, false, 0}, {"99999999999", 59, false, 0},
    };
    for (const Case& c : cases) {
        int value = -7;
        EXPECT_EQ(ParseTypedTimeField(c.text, c.highest, &value), c.taken) << '"' << c.text << '"';
        EXPECT_EQ(value, c.taken ? c.value : -7) << '"' << c.text << '"';
    }
}

// ---- The form in the running program --------------------------------------------------------

class DateFormTest : public HeadlessFixture {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vkdate-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        runtime = pattern;
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        options.scale = 1;
        options.start = platform::LocalTime{2024, 3, 20, 21, 30, 0, 0, 3};
        HeadlessFixture::SetUp();
        ASSERT_TRUE(platform::LoadResources());
        platform::ResetSystemColors();
        SetFormDialogProc(kHomeFormId, &HomeForm);
        SetFormDialogProc(kDateTimeFormId, &DateTime);
        ShowDateInLocalTime();
        Start([] { return RunVelkarion(); });
        ASSERT_TRUE(RunUntilIdle());
        SetSite(60);
    }
    void TearDown() override {
        HeadlessFixture::TearDown();
        ShowDateInLocalTime();
        SetFormDialogProc(kHomeFormId, nullptr);
        SetFormDialogProc(kDateTimeFormId, nullptr);
        platform::ResetSystemColors();
        platform::ClearResources();
        ::unsetenv("XDG_RUNTIME_DIR");
        std::error_code ec;
        fs::remove_all(runtime, ec);
    }

    void SetSite(int zone) {
        Call([zone] {
            std::strcpy(observerLocation.name, "Lyon");
            observerLocation.latitude = 45.75f;
            observerLocation.longitude = -4.85f;
            observerLocation.zoneMinutes = static_cast<std::int16_t>(zone);
            noSiteFlag = 0;
        });
    }
    void OpenPage() {
        Call([] { GotoForm(kDateTimeFormId); });
        ASSERT_EQ(GetCurrentFormId(), kDateTimeFormId);
        ASSERT_TRUE(platform::IsWindow(formWindow));
    }
    // Picks a row of a list as the form would see it.
    void Pick(int listId, int row, int trigger = 0) {
        Call([=] {
            SetListSelection(listId, row);
            const platform::WParam wp = trigger ? platform::MakeLong(static_cast<std::uint16_t>(trigger),
                                                                     static_cast<std::uint16_t>(listId))
                                                : static_cast<platform::WParam>(listId);
            platform::SendMessage(GetActiveForm(), platform::kMsgCommand, wp, 0);
        });
    }
    void Command(int id) {
        Call([id] { platform::SendMessage(GetActiveForm(), platform::kMsgCommand, static_cast<platform::WParam>(id), 0); });
    }
    void TypeField(int id, const char* text) {
        Call([id, text] { SetField(id, text); });
    }
    std::string Field(int id) {
        std::string out;
        Call([id, &out] {
            char text[64] = {};
            GetField(id, text, sizeof text);
            out = text;
        });
        return out;
    }
    // None of the form's controls is left registered once it has closed.
    static bool ControlsReleased() {
        for (std::int32_t i = 0; i < controlRegistry.count; ++i)
            if (controlRegistry.data[i] == kOk || controlRegistry.data[i] == kTitle) return false;
        return true;
    }
    static std::vector<int> Fields() {
        return {dateEdit.year, dateEdit.month, dateEdit.day, dateEdit.hour, dateEdit.minute, dateEdit.second};
    }

    // Runs the picker on the variables; returns while it is open.
    int vars[6] = {};
    int pickerResult = -1;
    void OpenPicker(std::vector<int> start) {
        for (int i = 0; i < 6; ++i) vars[i] = start[static_cast<std::size_t>(i)];
        pickerResult = -1;
        Call([this] { pickerResult = EditDateTime(&vars[0], &vars[1], &vars[2], &vars[3], &vars[4], &vars[5]); });
        ASSERT_EQ(platform::ModalStack().size(), 1u);
    }

    fs::path runtime;
};

TEST_F(DateFormTest, PickerShowsUtAndWritesNothingWithoutAChange) {
    Call([] { ShowDateInUT(); });
    OpenPicker({2024, 3, 1, 0, 30, 0});
    EXPECT_EQ(Fields(), (std::vector<int>{2024, 2, 29, 23, 30, 0}));
    EXPECT_EQ(Field(kHourField), "23");
    EXPECT_EQ(IsDatePickerMode(), 1);
    Command(kOk);
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_TRUE(ControlsReleased());
    EXPECT_EQ(pickerResult, 0);
    EXPECT_EQ(std::vector<int>(vars, vars + 6), (std::vector<int>{2024, 3, 1, 0, 30, 0}));
    EXPECT_EQ(IsDatePickerMode(), 0);
}

TEST_F(DateFormTest, PickerOkWritesTheEditInLocalTime) {
    Call([] { ShowDateInUT(); });
    OpenPicker({2024, 3, 1, 0, 30, 0});
    Pick(kMinutes, 11);  // 55 minutes, second 0
    EXPECT_EQ(dateEdit.minute, 55);
    EXPECT_EQ(Field(kMinuteField), "55");
    EXPECT_EQ(Field(kSecondField), "00");
    Command(kOk);
    EXPECT_EQ(pickerResult, 1);
    EXPECT_EQ(std::vector<int>(vars, vars + 6), (std::vector<int>{2024, 3, 1, 0, 55, 0}));
}

TEST_F(DateFormTest, PickerCancelLeavesEverythingAlone) {
    const ObservingDateTime before = observingDateTime;
    Call([] { preferences.word[pref::timeUpdateMode] = 0; });
    OpenPicker({1999, 8, 11, 10, 0, 0});
    EXPECT_EQ(preferences.word[pref::timeUpdateMode], 1);  // set by hand while it is open
    Pick(kHoursPm, 3);
    Key(platform::kKeyEscape);  // the same as Cancel
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_TRUE(ControlsReleased());
    EXPECT_EQ(pickerResult, 0);
    EXPECT_EQ(std::vector<int>(vars, vars + 6), (std::vector<int>{1999, 8, 11, 10, 0, 0}));
    // The picker was on another form's variables: the observing time is not touched.
    EXPECT_EQ(observingDateTime.year, before.year);
    EXPECT_EQ(observingDateTime.month, before.month);
    EXPECT_EQ(observingDateTime.day, before.day);
    EXPECT_EQ(observingDateTime.hour, before.hour);
    EXPECT_EQ(preferences.word[pref::timeUpdateMode], 0);
}

TEST_F(DateFormTest, TypedTimeThatIsNoTimeIsRefusedAndTheEditStays) {
    OpenPicker({2024, 2, 20, 10, 0, 0});
    TypeField(kMinuteField, "5");
    TypeField(kSecondField, "7");
    // Picking the 28th in the calendar keeps what was typed.
    const Window picker = platform::ModalStack().back();
    Tap(platform::ClientToScreen(picker, {kCalendarLeft + 2 * kCalendarCellWidth + 10,
                                          kCalendarTop + 4 * kCalendarCellHeight + 12}));
    EXPECT_EQ(dateEdit.day, 28);
    struct Case {
        int field;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {kHourField, "ab99", "Invalid Hour\nType a whole number from 0 to 23 in Hour, not \"ab99\"."},
        {kHourField, "", "Invalid Hour\nType a whole number from 0 to 23 in Hour."},
        {kHourField, "99", "Invalid Hour\nType a whole number from 0 to 23 in Hour, not \"99\"."},
        {kMinuteField, "60", "Invalid Minutes\nType a whole number from 0 to 59 in Minutes, not \"60\"."},
        {kSecondField, "-1", "Invalid Seconds\nType a whole number from 0 to 59 in Seconds, not \"-1\"."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TypeField(kHourField, "21");
        TypeField(kMinuteField, "5");
        TypeField(kSecondField, "7");
        TypeField(c.field, c.text);
        const std::size_t before = Boxes().size();
        Command(kOk);
        ASSERT_EQ(Boxes().size(), before + 1);
        EXPECT_EQ(Boxes().back().text, c.message);
        // Still open, with what was typed and the date as it was.
        ASSERT_EQ(platform::ModalStack().size(), 1u);
        EXPECT_EQ(Field(c.field), c.text);
        EXPECT_EQ(dateEdit.day, 28);
        EXPECT_EQ(pickerResult, -1);
    }
    TypeField(kHourField, "21");
    TypeField(kMinuteField, "5");
    TypeField(kSecondField, "7");
    Command(kOk);
    EXPECT_EQ(pickerResult, 1);
    EXPECT_EQ(std::vector<int>(vars, vars + 6), (std::vector<int>{2024, 2, 28, 21, 5, 7}));
}

TEST_F(DateFormTest, AYearChosenWithTheKeysIsTheYearTheFormShows) {
    OpenPage();  // 20 March 2024
    const Window yearTrigger = platform::GetDialogItem(formWindow, kYearPopup);
    const Window yearList = platform::GetDialogItem(formWindow, kYearList);
    const std::string jd2024 = Field(kJdField);
    // Marked with the keys in the open list, then left by a tap elsewhere: no choice.
    TapWindow(yearTrigger);
    ASSERT_TRUE(platform::IsWindowVisible(yearList));
    Key(platform::kKeyDown);
    TapWindow(platform::GetDialogItem(formWindow, kJdField));
    EXPECT_FALSE(platform::IsWindowVisible(yearList));
    EXPECT_EQ(GetListSelection(kYearList), 2024);
    EXPECT_EQ(GetPopupControl(yearTrigger)->selected, 2024);
    EXPECT_EQ(dateEdit.year, 2024);
    // Chosen with the keys on the trigger: the form follows, as after a tap on a row.
    Call([&] { platform::SetFocus(yearTrigger); });
    Key(platform::kKeyDown);
    EXPECT_EQ(dateEdit.year, 2025);
    EXPECT_EQ(GetListSelection(kYearList), 2025);
    EXPECT_NE(Field(kJdField), jd2024);
    EXPECT_NEAR(StrToDouble(Field(kJdField).c_str()) - StrToDouble(jd2024.c_str()), 365.0, 1e-6);
    Command(kOk);
    EXPECT_EQ(observingDateTime.year, 2025);
}

TEST_F(DateFormTest, LongListsShowWholeRowsAboveTheTypedTime) {
    OpenPage();
    const Rect hour = platform::GetRectInParent(platform::GetDialogItem(formWindow, kHourField));
    for (int id : {kYearList, kDayList}) {
        SCOPED_TRACE(id);
        const Window list = platform::GetDialogItem(formWindow, id);
        const Rect at = platform::GetRectInParent(list);
        const int rows = (at.Height() - 2 * kPopupListFrame) / platform::ListRowHeight(list);
        EXPECT_EQ(at.Height(), rows * platform::ListRowHeight(list) + 2 * kPopupListFrame);
        EXPECT_LE(at.bottom, hour.top);
        EXPECT_GE(rows, 10);
    }
}

TEST_F(DateFormTest, MonthChangeCutsTheDay) {
    OpenPicker({2024, 1, 31, 12, 0, 0});
    Pick(kMonthList, 1, kMonthPopup);
    EXPECT_EQ(dateEdit.month, 2);
    EXPECT_EQ(dateEdit.day, 29);
    Pick(kYearList, 2023, kYearPopup);
    EXPECT_EQ(dateEdit.day, 28);
    Command(kOk);
    EXPECT_EQ(std::vector<int>(vars, vars + 6), (std::vector<int>{2023, 2, 28, 12, 0, 0}));
}

TEST_F(DateFormTest, CalendarTapsPickDaysAndIgnoreEmptyCells) {
    OpenPicker({2024, 3, 20, 12, 0, 0});
    const Window picker = platform::ModalStack().back();
    auto cell = [picker](int row, int column) {
        const platform::Point p{kCalendarLeft + column * kCalendarCellWidth + 10, kCalendarTop + row * kCalendarCellHeight + 12};
        return platform::ClientToScreen(picker, p);
    };
    Tap(cell(0, 2));  // before the 1st (a Friday)
    EXPECT_EQ(dateEdit.day, 20);
    Tap(cell(5, 0));  // after the 31st
    EXPECT_EQ(dateEdit.day, 20);
    Tap(cell(0, 4));
    EXPECT_EQ(dateEdit.day, 1);
    Tap(cell(4, 6));
    EXPECT_EQ(dateEdit.day, 31);
    EXPECT_EQ(GetListSelection(kDayList), 30);
    Command(kOk);
    EXPECT_EQ(vars[2], 31);
}

TEST_F(DateFormTest, JulianDayEntry) {
    SetSite(120);
    OpenPicker({2024, 3, 20, 12, 0, 0});
    TypeField(kJdField, "2451545.0");
    Command(kJdButton);
    EXPECT_EQ(Fields(), (std::vector<int>{2000, 1, 1, 14, 0, 0}));
    const std::size_t before = Boxes().size();
    TypeField(kJdField, "2524593.5");  // 1 January 2200: past the lists
    Command(kJdButton);
    ASSERT_EQ(Boxes().size(), before + 1);
    EXPECT_EQ(Boxes().back().text, "Invalid JD date\n");
    EXPECT_EQ(dateEdit.year, 2000);
    Command(kOk);
    EXPECT_EQ(std::vector<int>(vars, vars + 6), (std::vector<int>{2000, 1, 1, 14, 0, 0}));
}

TEST_F(DateFormTest, LocalAndUtSwitchShiftsTheFields) {
    OpenPicker({2024, 3, 1, 0, 30, 0});
    EXPECT_EQ(Field(kJdField), "2460370.479167");
    Pick(kZoneList, 1, kZonePopup);
    EXPECT_EQ(dateEdit.utFlag, 1);
    EXPECT_EQ(Fields(), (std::vector<int>{2024, 2, 29, 23, 30, 0}));
    EXPECT_EQ(Field(kJdField), "2460370.479167");  // the Julian day is always UT
    Pick(kZoneList, 0, kZonePopup);
    EXPECT_EQ(Fields(), (std::vector<int>{2024, 3, 1, 0, 30, 0}));
    Command(kOk);
    EXPECT_EQ(pickerResult, 0);
}

TEST_F(DateFormTest, PageOkSetsTheObservingTimeAndCancelPutsItBack) {
    OpenPage();
    EXPECT_EQ(preferences.word[pref::timeUpdateMode], 1);
    EXPECT_EQ(Fields(), (std::vector<int>{2024, 3, 20, 21, 30, 0}));
    Pick(kHoursAm, 4);
    Pick(kMinutes, 2);
    Command(kOk);
    EXPECT_TRUE(ControlsReleased());
    EXPECT_EQ(observingDateTime.hour, 4);
    EXPECT_EQ(observingDateTime.minute, 10);
    EXPECT_EQ(preferences.word[pref::timeUpdateMode], 1);
    EXPECT_NE(GetCurrentFormId(), kDateTimeFormId);

    OpenPage();
    Pick(kHoursPm, 6);
    Command(kCancel);
    EXPECT_EQ(observingDateTime.hour, 4);
    EXPECT_EQ(observingDateTime.minute, 10);

    OpenPage();
    Command(kNow);
    EXPECT_EQ(preferences.word[pref::timeUpdateMode], 0);
    Command(kOk);
    EXPECT_EQ(observingDateTime.hour, 21);
    EXPECT_EQ(observingDateTime.minute, 30);
}

TEST_F(DateFormTest, ARepaintKeepsTheEdit) {
    OpenPage();
    Pick(kHoursAm, 7);
    Call([] {
        SetAllFormRedrawFlags();
        platform::InvalidateAllWindows();
    });
    EXPECT_EQ(dateEdit.hour, 7);
    Command(kCancel);
    EXPECT_EQ(preferences.word[pref::timeUpdateMode], 0);
    EXPECT_EQ(observingDateTime.hour, 21);
}

TEST_F(DateFormTest, PageLooksAsItShould) {
    OpenPage();
    RunUntilIdle();
    ExpectScreenLike(fs::path(VELKARION_TEST_DATA) / "app" / "date_time_form_1x.png");
}

}  // namespace
