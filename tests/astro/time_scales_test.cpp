#include "astro/time_scales.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

#include "core/settings.h"
#include "support/fixture_files.h"

namespace {

constexpr double kSecondInDays = 1.0 / 86400.0;

struct CalendarTime {
    int year, month, day, hour, minute, second;
};

CalendarTime FromJD(double jd) {
    CalendarTime t{};
    JDToDate(jd, &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    return t;
}

void ExpectTime(const CalendarTime& t, const CalendarTime& expected, const std::string& what) {
    EXPECT_EQ(t.year, expected.year) << what;
    EXPECT_EQ(t.month, expected.month) << what;
    EXPECT_EQ(t.day, expected.day) << what;
    EXPECT_EQ(t.hour, expected.hour) << what;
    EXPECT_EQ(t.minute, expected.minute) << what;
    EXPECT_EQ(t.second, expected.second) << what;
}

}  // namespace

TEST(TimeScales, JulianDayOfTextbookDates) {
    struct Case {
        CalendarTime t;
        int offset;
        double jd;
    } cases[] = {
        {{2000, 1, 1, 12, 0, 0}, 0, 2451545.0},
        {{2000, 1, 1, 13, 0, 0}, 60, 2451545.0},          // local time one hour ahead of UT
        {{1957, 10, 4, 19, 26, 24}, 0, 2436116.31},       // Sputnik: 1957 October 4.81
        {{333, 1, 27, 12, 0, 0}, 0, 1842713.0},           // Julian calendar
        {{1582, 10, 15, 0, 0, 0}, 0, 2299170.5},          // 1582 still counted Julian here
        {{-4712, 1, 1, 12, 0, 0}, 0, 0.0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(DateTimeToJD(c.t.year, c.t.month, c.t.day, c.t.hour, c.t.minute, c.t.second, c.offset), c.jd, 1e-8)
            << c.t.year << "-" << c.t.month << "-" << c.t.day;
    }
    EXPECT_EQ(JulianDay0h(2000, 1, 1), 2451544.5);
    // The Gregorian correction starts with March 1584: Julian 29 February 1584 is
    // Gregorian 10 March, so Gregorian 1 March lies nine days before it.
    EXPECT_EQ(JulianDay0h(1584, 3, 1) - JulianDay0h(1584, 2, 29), -9.0);
    EXPECT_EQ(JulianDay0h(1584, 3, 1), 2299663.5);
}

TEST(TimeScales, JulianDayBackToCalendar) {
    ExpectTime(FromJD(1721057.5), {0, 1, 1, 0, 0, 0}, "year 0");
    ExpectTime(FromJD(2524593.5), {2200, 1, 1, 0, 0, 0}, "2200");
    ExpectTime(FromJD(2299160.5), {1582, 10, 15, 0, 0, 0}, "Gregorian switch");
    ExpectTime(FromJD(2299159.5), {1582, 10, 4, 0, 0, 0}, "last Julian day");
    ExpectTime(FromJD(2436116.31), {1957, 10, 4, 19, 26, 24}, "Sputnik");
    ExpectTime(FromJD(2451545.0), {2000, 1, 1, 12, 0, 0}, "J2000");
    EXPECT_EQ(JDToDate(2451545.0 + 17.0 * kSecondInDays, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), 17);
}

TEST(TimeScales, TimeOfDayRoundsToTheSecondWithCarry) {
    // Fractions just short of a minute, an hour, midnight or the new year read as the next
    // whole second, never as second 60.
    ExpectTime(FromJD(2451545.0 - 0.4 * kSecondInDays), {2000, 1, 1, 12, 0, 0}, "noon");
    ExpectTime(FromJD(2451544.5 - 0.3 * kSecondInDays), {2000, 1, 1, 0, 0, 0}, "midnight");
    ExpectTime(FromJD(2451910.5 - 0.2 * kSecondInDays), {2001, 1, 1, 0, 0, 0}, "new year");
    ExpectTime(FromJD(2451544.5 + 59.6 * kSecondInDays), {2000, 1, 1, 0, 1, 0}, "minute");
    ExpectTime(FromJD(2451544.5 + 59.4 * kSecondInDays), {2000, 1, 1, 0, 0, 59}, "below the half second");
    CalendarTime t{};
    EXPECT_EQ(JDToDateTime(2451910.5 - 0.2 * kSecondInDays, &t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second), 0);
    EXPECT_EQ(t.year, 2001);
}

TEST(TimeScales, CalendarRoundTripsOverCenturies) {
    // Julian calendar dates before 1583 and Gregorian ones after 1584 come back unchanged.
    for (double jd0 = 1000000.5; jd0 < 2800000.0; jd0 += 997.0) {
        if (jd0 > 2299000.0 && jd0 < 2300000.0) continue;  // the two switch rules differ here
        const double jd = jd0 + (static_cast<int>(jd0) % 86400) * kSecondInDays;
        const CalendarTime t = FromJD(jd);
        const double back = DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, t.second, 0);
        ASSERT_NEAR(back, jd, 0.5 * kSecondInDays) << jd;
        ASSERT_GE(t.second, 0);
        ASSERT_LE(t.second, 59);
    }
}

TEST(TimeScales, AgreesWithErfaOnJulianDaysAndSiderealTime) {
    int rows = 0;
    for (const std::string& line : ReadFixtureLines("astro/time_scales_erfa.txt")) {
        std::istringstream row(line);
        CalendarTime t{};
        double jd = 0, gmst = 0;
        row >> t.year >> t.month >> t.day >> t.hour >> t.minute >> t.second >> jd >> gmst;
        ASSERT_TRUE(row) << line;
        EXPECT_NEAR(DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, t.second, 0), jd, 1e-7) << line;
        ExpectTime(FromJD(jd), t, line);
        double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second, 0.0, 0);
        double diff = std::remainder(lst - gmst, 24.0);
        EXPECT_NEAR(diff, 0.0, 2e-6) << line;  // 7 ms
        ++rows;
    }
    EXPECT_GE(rows, 30);
}

TEST(TimeScales, SiderealTimeOfTheTextbookExample) {
    // 1987 April 10: GMST 13h10m46.3668s at 0h UT, 8h34m57.0896s at 19h21m00s UT.
    EXPECT_NEAR(GreenwichSiderealTime0h(1987, 4, 10), Hms(13, 10, 46.3668), 1e-7);
    EXPECT_NEAR(LocalSiderealTime(1987, 4, 10, 19, 21, 0, 0.0, 0), Hms(8, 34, 57.0896), 2e-7);
    // 15 degrees west is one hour earlier; a local clock two hours ahead of UT gives the
    // same instant as UT fields two hours earlier.
    EXPECT_NEAR(LocalSiderealTime(1987, 4, 10, 19, 21, 0, 15.0, 0), Hms(7, 34, 57.0896), 2e-7);
    EXPECT_NEAR(LocalSiderealTime(1987, 4, 10, 21, 21, 0, 0.0, 120), Hms(8, 34, 57.0896), 2e-7);
}

TEST(TimeScales, LocalSiderealTimeStaysInRangeAcrossMidnight) {
    // 00:30 local with the clock two hours ahead is 22:30 UT of the day before.
    const double lst = LocalSiderealTime(2024, 3, 1, 0, 30, 0, 0.0, 120);
    const double sameInstant = LocalSiderealTime(2024, 2, 29, 22, 30, 0, 0.0, 0);
    EXPECT_GE(lst, 0.0);
    EXPECT_LE(lst, 24.0);
    EXPECT_NEAR(lst, sameInstant, 1e-8);
    for (double west = -180.0; west <= 180.0; west += 7.5) {
        const double v = LocalSiderealTime(2024, 1, 1, 0, 0, 0, west, -720);
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 24.0);
    }
}

TEST(TimeScales, DecimalYear) {
    EXPECT_DOUBLE_EQ(DateToDecimalYear(2001, 1, 1, 0, 0, 0), 2001.0 + 1.0 / 365.0);
    EXPECT_DOUBLE_EQ(DateToDecimalYear(2000, 12, 31, 0, 0, 0), 2001.0);
    EXPECT_DOUBLE_EQ(DateToDecimalYear(2001, 1, 1, 12, 30, 0), 2001.0 + (1.0 + 12.5 / 24.0) / 365.0);
    EXPECT_DOUBLE_EQ(DateToDecimalYear(2024, 3, 1, 0, 0, 0), 2024.0 + 61.0 / 366.0);
}

class DeltaTTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = observingDateTime;
        observingDateTime = {2026, 6, 15, 22, 0, 0};
        SetPreferenceFloat(pref::deltaTUser, 69.0f);
    }
    void TearDown() override {
        observingDateTime = saved;
        SetPreferenceFloat(pref::deltaTUser, 0.0f);
    }
    ObservingDateTime saved{};
};

TEST_F(DeltaTTest, ObservingYearUsesTheUsersValue) {
    EXPECT_DOUBLE_EQ(GetDeltaT(2026, 1, 1), 69.0);
    EXPECT_DOUBLE_EQ(GetDeltaT(2026, 12, 31), 69.0);
    observingDateTime.year = 1700;
    EXPECT_DOUBLE_EQ(GetDeltaT(1700, 6, 1), 69.0);
}

TEST_F(DeltaTTest, TableAndFormulas) {
    EXPECT_NEAR(GetDeltaT(1700, 1, 1), 7.0, 0.01);
    EXPECT_NEAR(GetDeltaT(1688, 1, 1), 9.0, 0.01);
    EXPECT_NEAR(GetDeltaT(1900, 1, 1), -2.8, 0.01);
    EXPECT_NEAR(GetDeltaT(2000, 1, 1), 63.8, 0.01);
    EXPECT_NEAR(GetDeltaT(2012, 1, 1), 66.6, 0.01);
    EXPECT_NEAR(GetDeltaT(2020, 1, 1), 69.4, 0.01);
    EXPECT_NEAR(GetDeltaT(2021, 1, 1), 69.35, 0.01);  // halfway between two measured points

    const double y1000 = DateToDecimalYear(1000, 7, 1, 0, 0, 0);
    const double t = (y1000 - 2000.0) * 0.01;
    EXPECT_DOUBLE_EQ(GetDeltaT(1000, 7, 1), 50.6 + 67.5 * t + 22.5 * t * t);
    const double y500 = DateToDecimalYear(500, 1, 1, 0, 0, 0);
    EXPECT_DOUBLE_EQ(GetDeltaT(500, 1, 1), 31.0 * std::pow((y500 - 1820.0) * 0.01, 2));
    const double t2150 = (DateToDecimalYear(2150, 1, 1, 0, 0, 0) - 2000.0) * 0.01;
    EXPECT_DOUBLE_EQ(GetDeltaT(2150, 1, 1), 102.0 + 102.0 * t2150 + 25.3 * t2150 * t2150);
    EXPECT_NEAR(GetDeltaT(2150, 1, 1), 102.0 + 102.0 * 1.5 + 25.3 * 2.25, 0.1);
}

TEST_F(DeltaTTest, NoJumpAtTheEdgesOfTheObservingYear) {
    // Past the measured table the user's value holds, so the years around the observing
    // year agree with it.
    EXPECT_DOUBLE_EQ(GetDeltaT(2025, 12, 31), GetDeltaT(2026, 1, 1));
    EXPECT_DOUBLE_EQ(GetDeltaT(2027, 1, 1), GetDeltaT(2026, 12, 31));
    EXPECT_DOUBLE_EQ(GetDeltaT(2099, 12, 30), 69.0);
    // Along the measured years consecutive days differ by a small fraction of a second.
    for (int year = 1990; year < 2024; ++year) {
        EXPECT_NEAR(GetDeltaT(year, 12, 31), GetDeltaT(year + 1, 1, 1), 0.01) << year;
    }
    // The last measured value meets a user value set to today's Delta T.
    EXPECT_NEAR(GetDeltaT(2023, 12, 30), GetDeltaT(2024, 6, 1), 0.3);
}

TEST(TimeScales, MeanObliquity) {
    EXPECT_DOUBLE_EQ(GetMeanObliquity(0.0), 23.43929111111111);
    EXPECT_NEAR(GetMeanObliquity(1.0), 23.43929111111111 - (46.815 + 0.00059 - 0.001813) / 3600.0, 1e-12);
    EXPECT_NEAR(GetMeanObliquity(-0.127296372348), 23.440946, 1e-6);  // 1987 April 10: 23°26'27.407"
}
