#include "core/calendar.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

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

}  // namespace
