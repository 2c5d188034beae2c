#include "planets/mars_ephemeris.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/calendar.h"
#include "core/settings.h"
#include "shell/fonts.h"
#include "support/fixture_files.h"
#include "support/observing_state.h"

namespace {

double AngleGap(double a, double b) { return std::fabs(std::remainder(a - b, 360.0)); }

// Meeus, Astronomical Algorithms (2nd ed.), example 42.a: 1992 October 9 at 0h TD.
constexpr double kExampleJDE = 2448935.500683;

TEST(MarsAspect, MeetsTheWorkedExample) {
    MarsAspect a{};
    ComputeMarsAspect(kExampleJDE, &a);
    EXPECT_NEAR(a.centralMeridian, 111.55, 0.02);
    EXPECT_NEAR(a.subEarthLatitude, 12.44, 0.02);
    EXPECT_NEAR(a.positionAngle, 347.64, 0.02);
}

TEST(MarsAspect, StaysInRangeOverTheYears) {
    for (double jd = 2433282.5; jd < 2470000.0; jd += 37.3) {
        MarsAspect a{};
        ComputeMarsAspect(jd, &a);
        ASSERT_GE(a.centralMeridian, 0.0);
        ASSERT_LT(a.centralMeridian, 360.0);
        ASSERT_GE(a.positionAngle, 0.0);
        ASSERT_LT(a.positionAngle, 360.0);
        ASSERT_LE(std::fabs(a.subEarthLatitude), 90.0);
    }
}

TEST(MarsAspect, ReduceAngle360) {
    const struct { double in, out; } cases[] = {{0, 0}, {359.5, 359.5}, {360, 0}, {-1, 359}, {-721, 359}, {1081, 1}};
    for (const auto& c : cases) EXPECT_NEAR(ReduceAngle360(c.in), c.out, 1e-9) << c.in;
}

class MarsPhysicalTest : public ::testing::Test {
protected:
    SavedObservingState saved_;
};

TEST_F(MarsPhysicalTest, MeetsTheWorkedExampleAndLeavesTheCoordinateMode) {
    UseTestSite(0, 0, 0);
    const int mode = preferences.word[pref::coordinateMode];
    preferences.word[pref::coordinateMode] = 3;
    // The example's instant in UT (Delta T about 59 s in 1992).
    int y, mo, d, h, mi, s;
    JDToDate(kExampleJDE - 59.0 / 86400.0, &y, &mo, &d, &h, &mi, &s);
    float cm = 0, pa = 0, de = 0;
    ComputeMarsPhysicalEphemeris(y, mo, d, h, mi, &cm, &pa, &de);
    EXPECT_EQ(preferences.word[pref::coordinateMode], 3);
    preferences.word[pref::coordinateMode] = mode;
    EXPECT_LT(AngleGap(cm, 111.55), 0.3);
    EXPECT_NEAR(de, 12.44, 0.3);
    EXPECT_LT(AngleGap(pa, 347.64), 0.3);

    for (int year = 1990; year <= 2040; year += 3) {
        ComputeMarsPhysicalEphemeris(year, 5, 17, 21, 30, &cm, &pa, &de);
        EXPECT_GE(cm, 0.0f);
        EXPECT_LT(cm, 360.0f);
        EXPECT_GE(pa, 0.0f);
        EXPECT_LT(pa, 360.0f);
        EXPECT_LE(std::fabs(de), 90.0f);
    }
}

// The moons' angles from the Earth's direction against python3-ephem over forty years.
TEST(MarsMoons, PhasesFollowTheReference) {
    const auto rows = ReadFixtureRows("planets/mars_moons.txt");
    ASSERT_GT(rows.size(), 100u);
    double worst[2] = {0, 0};
    for (const auto& row : rows) {
        MarsAspect a{};
        ComputeMarsAspect(row[0], &a);
        double phases[2];
        MarsMoonPhases(row[0], a, phases);
        for (int i = 0; i < 2; ++i) worst[i] = std::max(worst[i], AngleGap(phases[i], row[1 + i]));
    }
    EXPECT_LT(worst[0], 15.0);
    EXPECT_LT(worst[1], 7.0);
}

TEST(MarsMoons, OffsetsStayAroundTheDiscAndHideOnlyBehindIt) {
    // Phobos within twice the disc radius, Deimos within six times (24 and 72 pixels at
    // the dpi factor 2).
    const double radius = 6.0 * GetDpiFactor();
    for (double jd = 2460000.5; jd < 2460040.5; jd += 0.0437) {
        MarsAspect a{};
        ComputeMarsAspect(jd, &a);
        double x[2], y[2], phases[2];
        int visible[2];
        ComputeMarsMoonOffsets(jd, a, x, y, visible);
        MarsMoonPhases(jd, a, phases);
        for (int i = 0; i < 2; ++i) {
            const double distance = std::hypot(x[i], y[i]);
            ASSERT_LE(distance, (i == 0 ? 2.0 : 6.0) * radius + 1e-9);
            const bool far = phases[i] * M_PI / 180.0 > 1.571 && phases[i] * M_PI / 180.0 < 4.712;
            const int expected = far && distance < radius - 1.0 ? 0 : 1;
            ASSERT_EQ(visible[i], expected) << jd << " moon " << i;
        }
    }
}

}  // namespace
