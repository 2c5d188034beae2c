#include "astro/angle_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "astro/fixed_trig.h"
#include "support/recorded_reports.h"
#include "core/settings.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

class AngleText : public ::testing::Test {
protected:
    void SetUp() override {
        savedHour = preferences.word[pref::hourFormat];
        savedDegree = preferences.word[pref::degreeFormat];
        ClearRecordedReports();
    }
    void TearDown() override {
        preferences.word[pref::hourFormat] = savedHour;
        preferences.word[pref::degreeFormat] = savedDegree;
        ClearRecordedReports();
    }
    static void Formats(int hour, int degree) {
        preferences.word[pref::hourFormat] = hour;
        preferences.word[pref::degreeFormat] = degree;
    }
    int savedHour = 0;
    int savedDegree = 0;
};

TEST_F(AngleText, ParseSexagesimalSplitsFields) {
    struct Case {
        const char* text;
        int result, first, second, third;
    } cases[] = {
        {"23:45:00", 1, 23, 45, 0},
        {"23h45m00", 1, 23, 45, 0},
        {"23 45 00", 1, 23, 45, 0},
        {"23h45.5", 1, 23, 45, 30},   // a tenth of a minute
        {"23h45.55", 1, 23, 45, 33},  // hundredths: 0.55 min, not 55 tenths
        {"23h45.5678", 1, 23, 45, 33},
        {"-70\xB0" "45'00", 1, -70, 45, 0},
        {"-0:30:00", 1, 0, 30, 0},
        {"+5:00:00", 1, 5, 0, 0},
        {"12:30:15.9", 1, 12, 30, 15},  // seconds' decimals dropped
        {"12", 1, 12, 0, 0},
        {"abc", 1, 0, 0, 0},
        {"23.75", 0, 23, 0, 0},  // decimal number: for StrToDouble
        {" \t23.75", 0, 23, 0, 0},  // leading blanks change nothing
        {"  -0:30:00", 1, 0, 30, 0},
        {"   ", 0, 0, 0, 0},
        {"-.5", 0, 0, 0, 0},
        {"", 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        int f = 7, s = 7, t = 7;
        EXPECT_EQ(ParseSexagesimal(c.text, ':', &f, &s, &t), c.result) << c.text;
        if (c.result) {
            EXPECT_EQ(f, c.first) << c.text;
            EXPECT_EQ(s, c.second) << c.text;
            EXPECT_EQ(t, c.third) << c.text;
        }
    }
    int f = 7;
    EXPECT_EQ(ParseSexagesimal(nullptr, ':', &f, nullptr, nullptr), 0);
    EXPECT_EQ(f, 0);
    EXPECT_EQ(ParseSexagesimal("1:2:3", ':', nullptr, nullptr, nullptr), 1);
}

TEST_F(AngleText, ParsersReadEveryDisplayFormAndDecimals) {
    struct Case {
        const char* text;
        double hours;  // HmsStrToHours; DmsStrToDeg gives the same number
    } cases[] = {
        {"23:45:00", 23.75},
        {"23h45m00", 23.75},
        {"23 45 00", 23.75},
        {"23h45.5", 23 + 45.5 / 60},
        {"23h45.55", 23 + 45.55 / 60},
        {"23.75", 23.75},
        {" 23.75", 23.75},
        {"\t 23:45:00", 23.75},
        {"-70\xB0" "45'00", -70.75},
        {"  -0:30:00", -0.5},
        {"-70\xB0" "45.5", -(70 + 45.5 / 60)},
        {"-0:30:00", -0.5},
        {"+5:00:00", 5},
        {"-12.25", -12.25},
        {"99:99:99", 99 + (99 + 99 / 60.0) / 60},  // fields are not range-checked
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(HmsStrToHours(c.text), c.hours, 1e-12) << c.text;
        EXPECT_NEAR(HmsStrToDeg(c.text), 15 * c.hours, 1e-11) << c.text;
        EXPECT_NEAR(DmsStrToDeg(c.text), c.hours, 1e-12) << c.text;
    }
    EXPECT_EQ(HmsStrToHours(nullptr), 0);
    EXPECT_EQ(DmsStrToDeg(nullptr), 0);
}

TEST_F(AngleText, FormatsHoursAndDegreesInEveryFormat) {
    struct Case {
        int format;
        double value;
        const char* hours;    // HMSToStr
        const char* degrees;  // DMSToStr
    } cases[] = {
        {0, 23.75, "23.7500", "23.7500"},
        {0, -1.0, "23.0000", "-1.0000"},
        {0, -0.5, "23.5000", "-0.5000"},
        {1, 5.5, "05:30:00", "05:30:00"},
        {1, 23.99999, "00:00:00", "24:00:00"},
        {1, -1.0, "23:00:00", "-01:00:00"},
        {1, -0.5, "23:30:00", "-00:30:00"},
        {1, 400.0, "16:00:00", "40:00:00"},
        {2, 25.5, "01h30m00", "25\xB0" "30'00"},
        {2, -70.75, "01h15m00", "-70\xB0" "45'00"},
        {2, 0.0, "00h00m00", "00\xB0" "00'00"},
        {3, 1 + 1 / 3600.0, "01h00.1", "01\xB0" "00.0"},
        {3, 1 + 59 / 60.0 + 55 / 3600.0, "02h00.0", "01\xB0" "59.9"},
        {3, -70.75, "01h15.0", "-70\xB0" "45.0"},
        {3, 23.75, "23h45.0", "23\xB0" "45.0"},
    };
    char buffer[16];
    for (const Case& c : cases) {
        Formats(c.format, c.format);
        EXPECT_STREQ(HMSToStr(buffer, sizeof buffer, c.value), c.hours) << c.format << ' ' << c.value;
        EXPECT_STREQ(DMSToStr(buffer, sizeof buffer, c.value), c.degrees) << c.format << ' ' << c.value;
    }
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(AngleText, FormatsFixedPointValuesInEveryFormat) {
    const std::int32_t fiveOhThree = 5 * kFixUnitsPerDegree + 14641;  // 5.05 h or degrees
    struct Case {
        int format;
        std::int32_t value;
        const char* hours;    // HmsFixToStr
        const char* degrees;  // DmsFixToStr
    } cases[] = {
        {0, fiveOhThree, "05.050", "05.050"},
        // Negative values keep their sign and their leading zero; hours are not
        // reduced into a day.
        {0, -fiveOhThree, "-05.050", "-05.050"},
        {0, 0, "00.000", "00.000"},
        {1, fiveOhThree, "05:03:00", "05:03:00"},
        {1, -fiveOhThree, "-05:03:00", "-05:03:00"},
        {1, -kFixUnitsPerDegree, "-01:00:00", "-01:00:00"},
        {3, -fiveOhThree, "-05h03.0", "-05\xB0" "03.0"},
        {2, fiveOhThree, "05h03m00", "05\xB0" "03'00"},
        {2, 359 * kFixUnitsPerDegree + 59 * kFixUnitsPerDegree / 60, "359h59m00", "359\xB0" "59'00"},
        {3, fiveOhThree, "05h03.0", "05\xB0" "03.0"},
        // 10 deg 0' 59": the degree form rounds up into the next minute, the hour form not.
        {3, 10 * kFixUnitsPerDegree + 59 * kFixUnitsPerDegree / 3600, "10h00.9", "10\xB0" "01.0"},
        // A full turn: degrees wrap to 0 in every format, the decimal one too; hours do not.
        {0, 360 * kFixUnitsPerDegree, "360.000", "00.000"},
        {1, 360 * kFixUnitsPerDegree, "360:00:00", "00:00:00"},
    };
    char buffer[16];
    for (const Case& c : cases) {
        Formats(c.format, c.format);
        EXPECT_STREQ(HmsFixToStr(buffer, sizeof buffer, c.value), c.hours) << c.format << ' ' << c.value;
        EXPECT_STREQ(DmsFixToStr(buffer, sizeof buffer, c.value), c.degrees) << c.format << ' ' << c.value;
    }
    // The extremes of the 32-bit range stay inside the buffer.
    for (int format = 0; format < 4; ++format) {
        Formats(format, format);
        for (const std::int32_t v : {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()}) {
            EXPECT_LT(std::strlen(HmsFixToStr(buffer, sizeof buffer, v)), sizeof buffer);
            EXPECT_LT(std::strlen(DmsFixToStr(buffer, sizeof buffer, v)), sizeof buffer);
        }
    }
}

TEST_F(AngleText, RoundTripsThroughEveryFormat) {
    // Worst difference after formatting and parsing, in hours or degrees: 0.00005 for
    // decimals, half a second for seconds, a tenth of a minute for tenths.
    const double resolution[4] = {0.5e-4 + 1e-9, 0.5 / 3600 + 1e-9, 0.5 / 3600 + 1e-9, 0.1 / 60 + 1e-9};
    char buffer[16];
    for (int format = 0; format < 4; ++format) {
        Formats(format, format);
        for (double v = -359.99; v < 360; v += 0.7331) {
            const double hours = std::fmod(std::fabs(v), 24.0);
            double back = HmsStrToHours(HMSToStr(buffer, sizeof buffer, hours));
            double diff = std::fabs(back - hours);
            EXPECT_LE(std::min(diff, 24 - diff), resolution[format]) << format << ' ' << buffer;

            back = DmsStrToDeg(DMSToStr(buffer, sizeof buffer, v));
            EXPECT_NEAR(back, v, resolution[format]) << format << ' ' << buffer;

            const auto fixed = static_cast<std::int32_t>(std::lround(v * kFixUnitsPerDegree));
            back = DmsStrToDeg(DmsFixToStr(buffer, sizeof buffer, fixed));
            // The fixed decimal form truncates to thousandths.
            const double fixedResolution = format == 0 ? 1e-3 : resolution[format] * 2;
            EXPECT_NEAR(back, fixed / double(kFixUnitsPerDegree), fixedResolution) << format << ' ' << buffer;

            const auto fixedHours = static_cast<std::int32_t>(std::lround((v < 0 ? -hours : hours) * kFixUnitsPerDegree));
            back = HmsStrToHours(HmsFixToStr(buffer, sizeof buffer, fixedHours));
            EXPECT_NEAR(back, fixedHours / double(kFixUnitsPerDegree), fixedResolution) << format << ' ' << buffer;
        }
    }
}

TEST_F(AngleText, UnknownFormatsFallBack) {
    char buffer[16];
    Formats(7, 9);
    EXPECT_STREQ(HMSToStr(buffer, sizeof buffer, 5.5), "05h30m00");
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(ReportText(0), "HMSToStr Unkown hour format\n");
    EXPECT_STREQ(HmsFixToStr(buffer, sizeof buffer, 5 * kFixUnitsPerDegree), "05h00m00");
    ASSERT_EQ(RecordedReports().size(), 2u);
    EXPECT_EQ(ReportText(1), "HmsFixToStr Unknown hour format.\n");
    // Degrees fall back to colons without a word.
    EXPECT_STREQ(DMSToStr(buffer, sizeof buffer, -5.5), "-05:30:00");
    EXPECT_STREQ(DmsFixToStr(buffer, sizeof buffer, 5 * kFixUnitsPerDegree), "05:00:00");
    Formats(-1, -1);
    EXPECT_STREQ(DMSToStr(buffer, sizeof buffer, 5.5), "05:30:00");
    EXPECT_EQ(RecordedReports().size(), 2u);
}

TEST_F(AngleText, FormattersRespectTheBufferAndRefuseNonFiniteValues) {
    char buffer[16];
    for (int format = 0; format < 4; ++format) {
        Formats(format, format);
        for (const double v : {kNaN, kInf, -kInf}) {
            EXPECT_STREQ(HMSToStr(buffer, sizeof buffer, v), "--");
            EXPECT_STREQ(DMSToStr(buffer, sizeof buffer, v), "--");
            EXPECT_STREQ(DegToHmsText(buffer, sizeof buffer, v), "--");
        }
        // Far outside the usual ranges: cut to the buffer, never past it. Past 5e304 the
        // seconds of 3600 x would no longer be finite.
        for (const double v : {1e300, -1e300, 4e9, -123456789.0, 6e304, -1.7e308, std::numeric_limits<double>::max()}) {
            std::memset(buffer, 'x', sizeof buffer);
            DMSToStr(buffer, 8, v);
            EXPECT_LT(std::strlen(buffer), 8u) << format << ' ' << v;
            EXPECT_EQ(buffer[9], 'x');
            HMSToStr(buffer, sizeof buffer, v);
            EXPECT_LT(std::strlen(buffer), sizeof buffer);
        }
    }
    Formats(1, 1);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_STREQ(HMSToStr(buffer, 5, 23.75), "23:4");
    EXPECT_EQ(buffer[5], 'x');
    EXPECT_EQ(HMSToStr(buffer, 0, 23.75), buffer);
    EXPECT_EQ(buffer[0], '2');
}

TEST_F(AngleText, HugeDegreesStillShowAnAngle) {
    // 60 x and 3600 x overflow past 3e306 and 5e304: the fields come from the value reduced
    // by whole turns, which also keeps every field in its range.
    char buffer[16];
    Formats(1, 1);
    for (const double v : {6e304, -1.7e308, std::numeric_limits<double>::max(), 360.0 * 1e20 + 90.5}) {
        int d = -1, m = -1, s = -1;
        ASSERT_EQ(std::sscanf(DMSToStr(buffer, sizeof buffer, v), "%d:%d:%d", &d, &m, &s), 3) << v << ' ' << buffer;
        EXPECT_LT(std::abs(d), 360) << buffer;
        EXPECT_TRUE(m >= 0 && m < 60 && s >= 0 && s < 60) << buffer;
        EXPECT_EQ(buffer[0] == '-', v < 0) << buffer;
    }
    // Below a turn nothing changes.
    EXPECT_STREQ(DMSToStr(buffer, sizeof buffer, 359.99999), "00:00:00");
    EXPECT_STREQ(DMSToStr(buffer, sizeof buffer, 720.5), "00:30:00");
}

TEST_F(AngleText, DegToHmsTextIgnoresTheSettingsAndTruncates) {
    char buffer[16];
    Formats(0, 0);
    EXPECT_STREQ(DegToHmsText(buffer, sizeof buffer, 350.0), "23:20:00");
    EXPECT_STREQ(DegToHmsText(buffer, sizeof buffer, -15.0), "23:00:00");
    EXPECT_STREQ(DegToHmsText(buffer, sizeof buffer, 735.0), "01:00:00");
    // 01:00:59.9 is not rounded up to 01:01:00.
    EXPECT_STREQ(DegToHmsText(buffer, sizeof buffer, 15 * (1 + 59.9 / 3600)), "01:00:59");
}

}  // namespace
