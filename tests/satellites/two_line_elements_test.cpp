#include "satellites/two_line_elements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>

#include "satellites/satellite_fixture.h"
#include "satellites/sgp4.h"

namespace {

constexpr double kRevPerDay = kSatRevPerDayToRadPerMin;

// `line` with `text` written over it from `column`.
std::string WithField(std::string line, int column, const std::string& text) {
    line.replace(column, text.size(), text);
    return line;
}

std::string MeanMotionLine2(double revPerDay) {
    char field[16];
    std::snprintf(field, sizeof field, "%11.8f", revPerDay);
    return WithField(kStr3Line2, 52, field);
}

TEST(ParseTle, RealFieldsReadDigitsPointAndSign) {
    struct Case {
        std::string text;
        int column;
        int width;
        double expected;
    };
    const Case cases[] = {
        {" .00002182", 0, 10, 2.182e-5},
        {"-.00002182", 0, 10, -2.182e-5},
        {"0006703", 0, 7, 6703.0},          // the eccentricity's digits; the point is assumed
        {"+12.5", 0, 5, 12.5},              // '+' is skipped
        {"1 2.5", 0, 5, 12.5},              // a blank is skipped but keeps its place
        {"1-2.5", 0, 5, -12.5},             // '-' anywhere
        {"12.5-", 0, 5, -1.25},             // and it keeps its place too
        {" 72.8435", 0, 8, 72.8435},
        {"xx 72.8435yy", 2, 8, 72.8435},    // only the field's columns are read
        {"12345", 1, 3, 234.0},
        {"1.5  ", 0, 5, 0.015},             // the decimals count to the end of the field
        {"12345", 0, 0, 0.0},               // no width
        {"12345", 0, -3, 0.0},
        {"     ", 0, 5, 0.0},               // no digits
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(ParseTleReal(c.text.c_str(), c.column, c.width), c.expected)
            << '"' << c.text << "\" column " << c.column << " width " << c.width;
    }
}

TEST(ParseTle, IntegerFieldsSkipThePointAndSaturate) {
    EXPECT_EQ(ParseTleInt("-4", 0, 2), -4);
    EXPECT_EQ(ParseTleInt("+0", 0, 2), 0);
    EXPECT_EQ(ParseTleInt("1.5", 0, 3), 15);
    EXPECT_EQ(ParseTleInt("99999999999999999999", 0, 20), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(ParseTleInt("-99999999999999999999", 0, 21), -std::numeric_limits<std::int32_t>::max());
}

TEST(ParseTle, FieldEndsAtItsNulAndAtItsSeventyFirstByte) {
    // Bytes after a NUL are left over from an earlier, longer line and are not read.
    const char cut[] = "12\0 99";
    EXPECT_DOUBLE_EQ(ParseTleReal(cut, 0, 6), 12.0);
    EXPECT_EQ(ParseTleInt(cut, 0, 6), 12);
    // A line shorter than the column reads 0.
    SatelliteRecord shortRecord = MakeSatelliteRecord("1 00005U", "2 00005");
    EXPECT_DOUBLE_EQ(ParseTleReal(shortRecord.line1, 18, 14), 0.0);
    EXPECT_EQ(ParseTleInt(shortRecord.line1, 50, 2), 0);

    // A field of exactly 71 bytes with no NUL: nothing past it is read, whatever the column
    // and width (the sanitizer build reports any byte read beyond the allocation).
    auto field = std::make_unique<char[]>(kSatelliteTextSize);
    for (int i = 0; i < kSatelliteTextSize; ++i) field[i] = '1';
    EXPECT_DOUBLE_EQ(ParseTleReal(field.get(), 60, 20), 11111111111.0);
    EXPECT_DOUBLE_EQ(ParseTleReal(field.get(), 70, std::numeric_limits<int>::max()), 1.0);
    EXPECT_DOUBLE_EQ(ParseTleReal(field.get(), 71, 5), 0.0);
    EXPECT_DOUBLE_EQ(ParseTleReal(field.get(), -3, 5), 11.0);
    EXPECT_EQ(ParseTleInt(field.get(), std::numeric_limits<int>::max(), std::numeric_limits<int>::max()), 0);
    EXPECT_EQ(ParseTleInt(field.get(), 65, 100), 111111);
}

TEST(TleEpoch, YearsPivotAt57AndDayOneIsJanuaryFirst) {
    EXPECT_DOUBLE_EQ(JulianDayOfYearStart(2000), 2451543.5);
    const struct {
        double epoch;
        double jd;
    } cases[] = {
        {8264.51782528, 2454730.01782528},  // the ISS example
        {1.0, 2451544.5},                   // 2000 January 1.0
        {56001.0, 2471998.5},               // 2056 January 1.0
        {57001.0, 2435839.5},               // 1957 January 1.0
        {80275.98708465, 2444514.48708465},  // the report's test set, 1980
    };
    for (const auto& c : cases) EXPECT_NEAR(TleEpochToJD(c.epoch), c.jd, 1e-8) << c.epoch;
}

TEST(ConvertTleElements, ReadsEveryFieldOfTheReportsTestSet) {
    TleElements el;
    ASSERT_EQ(ConvertTleElements(MakeSatelliteRecord(kStr3Line1, kStr3Line2), &el), kElementsValid);
    constexpr double kDeg = 0.017453292519943295;
    EXPECT_DOUBLE_EQ(el.epochField, 80275.98708465);
    EXPECT_NEAR(el.epochJD, 2444514.48708465, 1e-8);
    EXPECT_DOUBLE_EQ(el.nDot, 0.00073094 / (1440.0 * 1440.0) * kSatTwoPi);
    EXPECT_DOUBLE_EQ(el.nDDot, 1.3844e-4 / (1440.0 * 1440.0 * 1440.0) * kSatTwoPi);  // " 13844-3"
    EXPECT_DOUBLE_EQ(el.bstar, 6.6816e-5);                                          // " 66816-4"
    EXPECT_DOUBLE_EQ(el.inclination, 72.8435 * kDeg);
    EXPECT_DOUBLE_EQ(el.raan, 115.9689 * kDeg);
    EXPECT_DOUBLE_EQ(el.eccentricity, 0.0086731);
    EXPECT_DOUBLE_EQ(el.argPerigee, 52.6988 * kDeg);
    EXPECT_DOUBLE_EQ(el.meanAnomaly, 110.5714 * kDeg);
    EXPECT_DOUBLE_EQ(el.meanMotion, 16.05824518 * kRevPerDay);
    EXPECT_NEAR(el.ke, 0.0743669161331734, 1e-16);
    EXPECT_DOUBLE_EQ(el.q0, el.a0 * (1.0 - el.eccentricity));
    EXPECT_DOUBLE_EQ(el.l0, el.raan + el.argPerigee + el.meanAnomaly);
    // The first-order secular rates agree with the fuller ones of the SGP4 initialisation
    // (computed independently from the epoch elements) to a few parts in a thousand.
    Sgp4Model model;
    InitSgp4(el, &model);
    EXPECT_NEAR(el.raanRate / model.nodeRate, 1.0, 5e-3);
    EXPECT_NEAR(el.perigeeRate / model.perigeeRate, 1.0, 5e-3);
    EXPECT_NEAR(el.a0, model.semiMajorAxis, 1e-3);
    EXPECT_EQ(el.deepSpace, 0);
}

TEST(ConvertTleElements, PackedExponentFields) {
    struct Case {
        const char* text;  // 8 columns: mantissa and exponent
        double value;
    };
    const Case cases[] = {
        {" 12345-4", 1.2345e-5}, {"-11606-4", -1.1606e-5}, {" 00000-3", 0.0},
        {" 00000+0", 0.0},       {" 50000+1", 5.0},        {"-99999-9", -9.9999e-10},
    };
    for (const Case& c : cases) {
        const TleElements el = ConvertLines(WithField(kStr3Line1, 53, c.text), kStr3Line2);
        EXPECT_DOUBLE_EQ(el.bstar, c.value) << c.text;
        const TleElements second = ConvertLines(WithField(kStr3Line1, 44, c.text), kStr3Line2);
        EXPECT_DOUBLE_EQ(second.nDDot * 1440.0 * 1440.0 * 1440.0 / kSatTwoPi, c.value) << c.text;
    }
    EXPECT_DOUBLE_EQ(ConvertLines(kStr3Line1, WithField(kStr3Line2, 26, "0006703")).eccentricity, 0.0006703);
}

TEST(ConvertTleElements, PeriodAndDeepSpaceFlag) {
    struct Case {
        double revPerDay;
        double period;  // minutes, within 0.5
        int deepSpace;
    };
    const Case cases[] = {
        {1.00270, 1436.0, 1},  // geostationary
        {15.72, 91.6, 0},      // a low orbit
        {6.41, 224.7, 0},      // just under 225 minutes
        {6.39, 225.4, 1},      // just over
    };
    for (const Case& c : cases) {
        const TleElements el = ConvertLines(kStr3Line1, MeanMotionLine2(c.revPerDay));
        EXPECT_NEAR(el.period, c.period, 0.5) << c.revPerDay;
        EXPECT_EQ(el.deepSpace, c.deepSpace) << c.revPerDay << " rev/day, period " << el.period;
    }
}

TEST(ConvertTleElements, RefusesSetsTheModelsCannotPropagate) {
    struct Case {
        std::string line2;
        int status;
    };
    const Case cases[] = {
        {kStr3Line2, kElementsValid},
        {MeanMotionLine2(0.0), kElementsInvalid},
        {MeanMotionLine2(17.0), kElementsValid},
        {MeanMotionLine2(17.5), kElementsInvalid},
        {WithField(kStr3Line2, 52, "-6.05824518"), kElementsInvalid},
        {WithField(kStr3Line2, 26, "-086731"), kElementsInvalid},
        {WithField(kStr3Line2, 8, "180.0000"), kElementsValid},
        {WithField(kStr3Line2, 8, "180.0001"), kElementsInvalid},
        {WithField(kStr3Line2, 8, "-72.8435"), kElementsInvalid},
        {"2 88888", kElementsInvalid},  // line 2 cut short: no mean motion
    };
    for (const Case& c : cases) {
        TleElements el;
        EXPECT_EQ(ConvertTleElements(MakeSatelliteRecord(kStr3Line1, c.line2), &el), c.status) << c.line2;
    }

    // Values the columns cannot hold but a damaged set in memory can.
    TleElements el = ConvertLines(kStr3Line1, kStr3Line2);
    ASSERT_EQ(CheckTleElements(el), kElementsValid);
    TleElements eccentric = el;
    eccentric.eccentricity = 1.2;
    EXPECT_EQ(CheckTleElements(eccentric), kElementsInvalid);
    TleElements notANumber = el;
    notANumber.bstar = std::nan("");
    EXPECT_EQ(CheckTleElements(notANumber), kElementsInvalid);
    TleElements infinite = el;
    infinite.nDot = std::numeric_limits<double>::infinity();
    EXPECT_EQ(CheckTleElements(infinite), kElementsInvalid);
}

}  // namespace
