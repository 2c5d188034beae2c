#include "shell/utilities.h"
#include "shell/utilities_internal.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <deque>
#include <string>

#include "astro/time_scales.h"
#include "core/observing_time.h"
#include "platform/clock.h"

namespace {

TEST(Calendar, LeapYearsSwitchRulesAfter1583) {
    struct {
        int year;
        bool leap;
    } cases[] = {{1500, true}, {1580, true}, {1583, false}, {1584, true}, {1600, true}, {1700, false},
                 {1900, false}, {2000, true}, {2023, false}, {2024, true}, {0, true},   {-1, false}, {-4, true}};
    for (const auto& c : cases) EXPECT_EQ(IsLeapYear(c.year), c.leap) << c.year;
}

TEST(Calendar, DaysInMonthAndDayOfWeek) {
    EXPECT_EQ(DaysInMonth(2008, 2), 29);
    EXPECT_EQ(DaysInMonth(1900, 2), 28);
    EXPECT_EQ(DaysInMonth(1500, 2), 29);
    EXPECT_EQ(DaysInMonth(2023, 4), 30);
    EXPECT_EQ(DaysInMonth(2023, 12), 31);
    EXPECT_EQ(DaysInMonth(2023, 0), 0);
    EXPECT_EQ(DaysInMonth(2023, 13), 0);

    struct {
        int y, m, d, weekday;
    } days[] = {{2000, 1, 1, 6}, {2007, 12, 1, 6}, {2024, 2, 29, 4}, {1970, 1, 1, 4}, {1582, 10, 4, 4}, {-4712, 1, 1, 1}};
    for (const auto& c : days) EXPECT_EQ(DayOfWeek(c.y, c.m, c.d), c.weekday) << c.y << "-" << c.m << "-" << c.d;
}

struct Stamp {
    int year, month, day, hour, minute;
    bool operator==(const Stamp&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Stamp& s) {
    return os << s.year << "-" << s.month << "-" << s.day << " " << s.hour << ":" << s.minute;
}

TEST(Calendar, AddMinutesCarriesThroughTheCalendar) {
    struct {
        Stamp from;
        int minutes;
        Stamp to;
        bool leap;
    } cases[] = {
        {{2023, 12, 31, 23, 59}, 1, {2024, 1, 1, 0, 0}, true},
        {{2008, 3, 1, 0, 0}, -1, {2008, 2, 29, 23, 59}, true},
        {{1900, 3, 1, 0, 0}, -1, {1900, 2, 28, 23, 59}, false},
        {{2024, 1, 1, 0, 0}, -1, {2023, 12, 31, 23, 59}, false},
        {{2023, 1, 31, 23, 30}, 61, {2023, 2, 1, 0, 31}, false},
        {{2023, 1, 1, 0, 0}, 525600, {2024, 1, 1, 0, 0}, true},
        {{2024, 1, 1, 0, 0}, -525600, {2023, 1, 1, 0, 0}, false},
        {{2024, 1, 1, 0, 0}, -527040, {2022, 12, 31, 0, 0}, false},
        {{2024, 2, 28, 22, 0}, 180, {2024, 2, 29, 1, 0}, true},
        {{2024, 6, 15, 12, 0}, 0, {2024, 6, 15, 12, 0}, true},
        {{2024, 6, 15, 12, 0}, -725, {2024, 6, 14, 23, 55}, true},
    };
    for (const auto& c : cases) {
        Stamp s = c.from;
        EXPECT_EQ(AddMinutes(&s.year, &s.month, &s.day, &s.hour, &s.minute, c.minutes), c.leap) << c.from;
        EXPECT_EQ(s, c.to) << c.from << " + " << c.minutes;
    }
    // Extreme counts finish and stay in range.
    Stamp s{2024, 1, 1, 0, 0};
    AddMinutes(&s.year, &s.month, &s.day, &s.hour, &s.minute, INT_MIN);
    EXPECT_GE(s.minute, 0);
    EXPECT_LE(s.minute, 59);
    EXPECT_FALSE(AddMinutes(nullptr, &s.month, &s.day, &s.hour, &s.minute, 1));
}

TEST(Calendar, AddDaysCarriesThroughTheCalendar) {
    struct {
        int y, m, d, days, ty, tm, td;
    } cases[] = {
        {2024, 1, 1, -1, 2023, 12, 31}, {2024, 2, 28, 1, 2024, 2, 29}, {2023, 2, 28, 1, 2023, 3, 1},
        {2024, 1, 1, 366, 2025, 1, 1},  {2024, 3, 1, -60, 2024, 1, 1}, {1999, 12, 31, 1, 2000, 1, 1},
        {2000, 3, 1, -1, 2000, 2, 29},
    };
    for (const auto& c : cases) {
        int y = c.y, m = c.m, d = c.d;
        AddDays(&y, &m, &d, c.days);
        EXPECT_EQ(y, c.ty) << c.y << "-" << c.m << "-" << c.d << " + " << c.days;
        EXPECT_EQ(m, c.tm);
        EXPECT_EQ(d, c.td);
    }
}

TEST(Numbers, FormatFixedRoundsHalfUp) {
    struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {2.25, 1, "2.3"},          {-0.004, 2, "-0.00"},        {9.999, 2, "10.00"},
        {3.7, 0, "4"},             {0.0, 2, "0.00"},            {0.05, 1, "0.1"},
        {-12.345, -1, "-12.345000"}, {1.5, 7, "1.50000000"},    {123456.789, 2, "123456.79"},
        {-0.5, 0, "-1"},           {99.95, 1, "100.0"},         {1e20, 0, "999999999999999"},
        {std::nan(""), 2, "0.00"},
    };
    for (const auto& c : cases) {
        char buffer[32] = "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx";
        const int n = FormatFixed(buffer, c.value, c.decimals);
        EXPECT_STREQ(buffer, c.text) << c.value << " " << c.decimals;
        EXPECT_EQ(n, static_cast<int>(std::string(c.text).size()));
    }
}

TEST(Numbers, StrToIntSaturatesLongDigitStrings) {
    struct {
        const char* text;
        int value;
    } cases[] = {
        {"-+7", -7},  {"+7", 7},   {"12abc", 12},     {" 5", 0},   {"-", 0},   {"+-3", 0},  {"007", 7},
        {"2147483647", INT_MAX}, {"-2147483648", INT_MIN}, {"2147483648", INT_MAX},
        {"99999999999999999999999999", INT_MAX}, {"-99999999999999999999999999", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToInt(c.text), c.value) << c.text;
    EXPECT_EQ(StrToInt(nullptr), 0);
}

TEST(Numbers, StrToDoubleReadsPointOrComma) {
    struct {
        const char* text;
        double value;
    } cases[] = {
        {"12,5", 12.5},   {" 12.5", 12.5},  {"-.5", -0.5},     {"7x", 7.0},    {"+3.25", 3.25},
        {"\t-2,75", -2.75}, {"abc", 0.0},   {"-", 0.0},        {"5.", 5.0},    {"1.1234567891234", 1.123456789},
        {"123456789012.5", 123456789012.5}, {"99999999999999999999999", 1e18},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(StrToDouble(c.text), c.value) << c.text;
    EXPECT_EQ(StrToDouble(nullptr), 0.0);
}

TEST(Numbers, HoursToHMSRoundsByHalfASecond) {
    struct {
        double hours;
        int h, m, s;
    } cases[] = {{1.99999, 2, 0, 0}, {12.5, 12, 30, 0}, {0.0, 0, 0, 0}, {23.999, 23, 59, 56}};
    for (const auto& c : cases) {
        int h = -1, m = -1, s = -1;
        HoursToHMS(c.hours, &h, &m, &s);
        EXPECT_EQ(h, c.h) << c.hours;
        EXPECT_EQ(m, c.m) << c.hours;
        EXPECT_EQ(s, c.s) << c.hours;
    }
    int h = 0;
    HoursToHMS(std::nan(""), &h, nullptr, nullptr);
    EXPECT_EQ(h, 0);
}

class DateTextTest : public ::testing::Test {
protected:
    void UseShortDate(const std::string& sample) {
        SetShortDateSource([sample](int, int, int, int) { return sample; });
        ResetDateOrder();
    }
    void TearDown() override {
        SetShortDateSource(nullptr);
        ResetDateOrder();
    }
};

TEST_F(DateTextTest, DayFirstDevice) {
    UseShortDate("01.12.2007");
    EXPECT_EQ(GetDateOrder(), 5);
    char buffer[36];
    FormatDate(buffer, 1, 12, 2007);
    EXPECT_STREQ(buffer, "01/12/2007");
    FormatDateShort(buffer, 5, 3, 2024);
    EXPECT_STREQ(buffer, "05/03/24");
    int d = 0, m = 0, y = 0;
    ParseDate("24/12/2023", &d, &m, &y);
    EXPECT_EQ(d, 24);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(y, 2023);
}

TEST_F(DateTextTest, MonthFirstDevice) {
    UseShortDate("12/1/2007");
    EXPECT_EQ(GetDateOrder(), 2);
    EXPECT_EQ(GetDateOrder(1), 0);
    char buffer[36];
    FormatDate(buffer, 1, 12, 2007);
    EXPECT_STREQ(buffer, "12/01/2007");
    FormatDateShort(buffer, 5, 3, 2024);
    EXPECT_STREQ(buffer, "03/05/24");
    int d = 0, m = 0, y = 0;
    ParseDate("12/24/2023", &d, &m, &y);
    EXPECT_EQ(d, 24);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(y, 2023);
}

TEST_F(DateTextTest, OrderIsAskedOnceAndPartialDatesReadZeroFields) {
    int asked = 0;
    SetShortDateSource([&asked](int, int, int, int) {
        ++asked;
        return std::string("2007-12-01");
    });
    ResetDateOrder();
    EXPECT_EQ(GetDateOrder(), 5);
    EXPECT_EQ(GetDateOrder(), 5);
    EXPECT_EQ(asked, 1);

    // A decimal number is no date: only its integer part is read.
    int d = 9, m = 9, y = 9;
    ParseDate("1.5", &d, &m, &y);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(y, 0);
    ParseDate(nullptr, &d, nullptr, nullptr);
    EXPECT_EQ(d, 0);
}

TEST_F(DateTextTest, WithoutASourceThePlatformOrderHolds) {
    SetShortDateSource(nullptr);
    platform::SetShortDateOrder(platform::DateOrder::MonthFirst);
    ResetDateOrder();
    EXPECT_EQ(GetDateOrder(), 2);
    platform::SetShortDateOrder(platform::DateOrder::DayFirst);
    ResetDateOrder();
    EXPECT_EQ(GetDateOrder(), 5);
    platform::SetShortDateOrder(std::nullopt);
}

TEST(DeviceClock, LocalTimeAndObservingTime) {
    SetLocalClockSource([] { return LocalDateTimeFields{2024, 2, 29, 21, 45, 7}; });
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    EXPECT_EQ(y, 2024);
    EXPECT_EQ(mo, 2);
    EXPECT_EQ(d, 29);
    EXPECT_EQ(h, 21);
    EXPECT_EQ(mi, 45);
    EXPECT_EQ(s, 7);
    GetLocalDateTime(nullptr, nullptr, &d, nullptr, nullptr, nullptr);
    SetLocalClockSource(nullptr);
    GetLocalDateTime(&y, &mo, &d, nullptr, nullptr, nullptr);
    EXPECT_GE(y, 2024);

    SetObservingDateTime(2025, 3, 30, 1, 59, 58);
    EXPECT_EQ(observingDateTime.year, 2025);
    EXPECT_EQ(observingDateTime.second, 58);
    EXPECT_EQ(selectionCriteria.year, 2025);
    EXPECT_EQ(selectionCriteria.month, 3);
    EXPECT_EQ(selectionCriteria.day, 30);
    EXPECT_EQ(selectionCriteria.hour, 1);
    EXPECT_EQ(selectionCriteria.minute, 59);
    observingDateTime = {};
    selectionCriteria = {};
}

TEST(DeviceInput, FlushAndWaitTakeOnlyTheirMessages) {
    std::deque<unsigned> queue;
    SetPendingInputSource([&queue](unsigned first, unsigned last) -> unsigned {
        for (auto it = queue.begin(); it != queue.end(); ++it) {
            if (*it >= first && *it <= last) {
                const unsigned m = *it;
                queue.erase(it);
                return m;
            }
        }
        return 0;
    });
    queue = {0x100, 0x201, 0x0F, 0x101, 0x202};
    FlushKeyEvents();
    EXPECT_EQ(queue, (std::deque<unsigned>{0x201, 0x0F, 0x202}));
    FlushPenEvents();
    EXPECT_EQ(queue, (std::deque<unsigned>{0x0F}));

    // A pen move is dropped on the way to the pen-up, which ends the wait.
    queue = {0x200, 0x200, 0x202, 0x200, 0x0F};
    WaitPenOrKey();
    EXPECT_EQ(queue, (std::deque<unsigned>{0x200, 0x0F}));
    // A key ends it too.
    queue = {0x0F, 0x104};
    WaitPenOrKey();
    EXPECT_EQ(queue, (std::deque<unsigned>{0x0F}));
    SetPendingInputSource(nullptr);
}

TEST(DeviceTicks, SecondsFromTheTickCount) {
    SetTickSource([] { return 123999u; });
    EXPECT_EQ(GetSeconds(), 123u);
    EXPECT_EQ(GetTicksPerSecond(), 1000u);
    SetTickSource(nullptr);
    EXPECT_EQ(IsNetworkAllowed(), 0);
}

}  // namespace
