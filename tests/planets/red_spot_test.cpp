#include "planets/red_spot.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/angle_units.h"
#include "core/calendar.h"
#include "core/report.h"
#include "core/settings.h"
#include "shell/utilities_internal.h"
#include "support/fixture_files.h"
#include "support/observing_state.h"

namespace {

double AngleGap(double a, double b) { return std::fabs(std::remainder(a - b, 360.0)); }

class RedSpotTest : public ::testing::Test {
protected:
    void SetUp() override {
        grs_ = PreferenceFloat(pref::grsLongitude);
        SetPreferenceFloat(pref::grsLongitude, 157.0f);
        UseTestSite(48.85, -2.35, 0);
        SetDeviceDate(2025, 3, 1);
        ClearRecordedReports();
    }
    void TearDown() override {
        SetLocalClockSource(nullptr);
        SetPreferenceFloat(pref::grsLongitude, grs_);
    }
    static void SetDeviceDate(int y, int m, int d) {
        SetLocalClockSource([y, m, d] { return LocalDateTimeFields{y, m, d, 12, 0, 0}; });
    }
    static double Hours(int h, int m) { return h + m / 60.0; }

    SavedObservingState saved_;
    float grs_ = 0;
};

TEST(AngleHelpers, NormalizeKeepsZeroAndReducesBothSigns) {
    const struct { double in, out; } cases[] = {{0, 0}, {360, 0}, {-360, 0}, {725, 5}, {-10, 350}, {-730, 350}};
    for (const auto& c : cases) {
        EXPECT_NEAR(NormalizeDegrees(c.in), c.out, 1e-9) << c.in;
        EXPECT_NEAR(NormalizeRadians(c.in * kDegToRad), c.out * kDegToRad, 1e-9) << c.in;
    }
}

// python3-ephem's cmlII uses the same IAU System II rotation; the dates cover both signs of
// sin(l' - L), where a latitude through atan2 would turn the pole geometry over.
TEST_F(RedSpotTest, CentralMeridianFollowsTheReference) {
    const auto rows = ReadFixtureRows("planets/jupiter_cml.txt");
    ASSERT_EQ(rows.size(), 50u);
    double worst = 0;
    for (const auto& row : rows) {
        const double gap = AngleGap(JupiterCentralMeridianII(row[0]), row[1]);
        worst = std::max(worst, gap);
        EXPECT_LT(gap, 0.3) << "JD " << row[0];
    }
    RecordProperty("worst_degrees", std::to_string(worst));
    EXPECT_NEAR(JupiterCentralMeridianII(JulianDay0h(2000, 3, 1)), 102.0, 0.3);
    EXPECT_NEAR(JupiterCentralMeridianII(JulianDay0h(2025, 3, 1)), 221.0, 0.3);
}

TEST_F(RedSpotTest, ThreeTransitsOneRotationApart) {
    for (int day = 1; day <= 28; day += 3) {
        int h[3], m[3];
        ComputeRedSpotTransits(2025, 2, day, h, m);
        EXPECT_GE(Hours(h[0], m[0]), 0.0);
        EXPECT_LT(Hours(h[0], m[0]), kSystemIIPeriodHours);
        for (int k = 1; k < 3; ++k) {
            EXPECT_NEAR(Hours(h[k], m[k]) - Hours(h[k - 1], m[k - 1]), kSystemIIPeriodHours, 1.5 / 60) << day;
        }
        EXPECT_LT(h[2], 30);
    }
}

TEST_F(RedSpotTest, TheDeviceDateUsesTheSettingAndOtherDatesDriftWithoutAJump) {
    // The device's date: the transit is where the setting itself crosses the meridian.
    const double jd = DateTimeToJD(2025, 3, 1, 0, 0, 0, 0);
    int h[3], m[3];
    ComputeRedSpotTransits(2025, 3, 1, h, m);
    const double x = NormalizeDegrees(157.0 - JupiterCentralMeridianII(jd));
    EXPECT_NEAR(Hours(h[0], m[0]), x * 24.0 / kSystemIIRate, 1.0 / 60);
    EXPECT_DOUBLE_EQ(RedSpotLongitudeAt(jd), 157.0);

    // Across the new year, inside and outside the device's year, the Spot's longitude
    // differs by one day's drift.
    for (int deviceYear : {2025, 2030}) {
        SetDeviceDate(deviceYear, 6, 15);
        const double dec31 = RedSpotLongitudeAt(DateTimeToJD(2025, 12, 31, 0, 0, 0, 0));
        const double jan1 = RedSpotLongitudeAt(DateTimeToJD(2026, 1, 1, 0, 0, 0, 0));
        EXPECT_NEAR(jan1 - dec31, kRedSpotDriftPerDay, 1e-9) << deviceYear;
    }
    // The same calendar day in another year sees another longitude.
    SetDeviceDate(2025, 3, 1);
    EXPECT_NEAR(RedSpotLongitudeAt(DateTimeToJD(2026, 3, 1, 0, 0, 0, 0)) - 157.0, 365 * kRedSpotDriftPerDay, 1e-9);
}

TEST_F(RedSpotTest, TransitsUseLocalMidnight) {
    int h0[3], m0[3], h2[3], m2[3];
    ComputeRedSpotTransits(2025, 3, 1, h0, m0);
    UseTestSite(48.85, -2.35, 120);
    SetDeviceDate(2025, 3, 1);
    ComputeRedSpotTransits(2025, 3, 1, h2, m2);
    // Two hours east: the same instants read two hours later on the clock, less the
    // drift of the Spot and modulo a rotation.
    const double shift = std::remainder(Hours(h2[0], m2[0]) - Hours(h0[0], m0[0]) - 2.0, kSystemIIPeriodHours);
    EXPECT_NEAR(shift, 0.0, 2.5 / 60);
}

TEST_F(RedSpotTest, AdjustConvergesOrRefuses) {
    int h[3], m[3];
    ComputeRedSpotTransits(2025, 3, 1, h, m);

    // Ten minutes later than predicted: the longitude moves until the prediction meets it.
    const int target = h[1] * 60 + m[1] + 10;
    ASSERT_EQ(AdjustRedSpotLongitude(2025, 3, 1, target / 60, target % 60), 1);
    int h2[3], m2[3];
    ComputeRedSpotTransits(2025, 3, 1, h2, m2);
    EXPECT_EQ(h2[1] * 60 + m2[1], target);
    const float adjusted = PreferenceFloat(pref::grsLongitude);
    EXPECT_NEAR(adjusted, 157.0 + 10.0 / 60.0 * kSystemIIRate / 24.0, 0.3);
    ASSERT_EQ(RecordedReports().size(), 1u);
    char expected[48];
    std::snprintf(expected, sizeof expected, "Red Spot longitude %d.%d", static_cast<int>(adjusted),
                  static_cast<int>((adjusted - static_cast<int>(adjusted)) * 10));
    EXPECT_EQ(RecordedReports()[0].heading, expected);

    // Well away from every transit: refused, and the setting stays.
    ClearRecordedReports();
    const int away = h[0] * 60 + m[0] + 90;
    EXPECT_EQ(AdjustRedSpotLongitude(2025, 3, 1, away / 60, away % 60), 0);
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0].heading, "It seems it is not a valid Red Spot UTC transit time");
    EXPECT_EQ(PreferenceFloat(pref::grsLongitude), adjusted);
}

TEST_F(RedSpotTest, AdjustAlwaysMakesItsFirstStep) {
    // On the prediction already: the first +0.2 is kept when it leaves the minute as it
    // is, and undone when it moves the minute.
    const float start = 157.0f;
    for (int day = 1; day <= 20; ++day) {
        SetPreferenceFloat(pref::grsLongitude, start);
        int h[3], m[3], hs[3], ms[3];
        ComputeRedSpotTransits(2025, 3, day, h, m);
        SetPreferenceFloat(pref::grsLongitude, start + 0.2f);
        ComputeRedSpotTransits(2025, 3, day, hs, ms);
        SetPreferenceFloat(pref::grsLongitude, start);
        ASSERT_EQ(AdjustRedSpotLongitude(2025, 3, day, h[0], m[0]), 1);
        const float expected = (hs[0] == h[0] && ms[0] == m[0]) ? start + 0.2f : start;
        EXPECT_NEAR(PreferenceFloat(pref::grsLongitude), expected, 1e-4) << day;
    }
}

TEST(RedSpotSight, ClassifiesByBothAltitudes) {
    const struct { double jupiter, sun; RedSpotSight sight; } cases[] = {
        {30, -20, kRedSpotVisible}, {10.5, -10.5, kRedSpotVisible}, {30, -10, kRedSpotDaylight},
        {-5, 20, kRedSpotDaylight}, {10, -30, kRedSpotLow},        {-40, -40, kRedSpotLow},
    };
    for (const auto& c : cases) EXPECT_EQ(ClassifyRedSpotTransit(c.jupiter, c.sun), c.sight);
}

}  // namespace
