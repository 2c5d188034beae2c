// The lunar physical ephemeris against Meeus's worked examples (Astronomical Algorithms,
// 2nd ed., chapter 53) and the committed python3-pymeeus and python3-ephem references; the
// sunrise and sunset searches, their limits near the poles, and the terminator list over a
// small feature database.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "astro/quick_sun_moon.h"
#include "catalog/catalog_fixture.h"
#include "moon/lunar_ephemeris.h"
#include "moon/moon_fixture.h"
#include "support/fixture_files.h"
#include "support/recorded_reports.h"

namespace {

constexpr double kMeeusJde = 2448724.5;  // 1992 April 12, 0h TD

double AngleDiff(double a, double b) {
    double d = std::fmod(a - b, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d < -180.0) d += 360.0;
    return d;
}

TEST(LunarLibration, MeeusExample53a) {
    double l1 = 0, b1 = 0, l2 = 0, b2 = 0;
    EXPECT_EQ(ComputeLunarLibration(kMeeusJde, 133.167265, -3.229126, &l1, &b1, &l2, &b2), 1);
    EXPECT_NEAR(l1, -1.206, 0.002);
    EXPECT_NEAR(b1, 4.194, 0.002);
    EXPECT_NEAR(l2, -0.025, 0.002);
    EXPECT_NEAR(b2, 0.006, 0.002);
}

// With pymeeus's own Moon the term lists must give its librations; with the short series'
// Moon the total libration stays within the series' accuracy.
TEST(LunarLibration, MatchesPymeeusOver1990To2030) {
    const auto rows = ReadFixtureRows("moon/librations.txt");
    ASSERT_GE(rows.size(), 40u);
    for (const auto& r : rows) {
        const double jde = r[0];
        const LunarLibration own = LunarLibrationAt(jde, r[1], r[2]);
        EXPECT_NEAR(AngleDiff(own.opticalLongitude, r[3]), 0.0, 0.002) << jde;
        EXPECT_NEAR(own.opticalLatitude, r[4], 0.002) << jde;
        EXPECT_NEAR(own.physicalLongitude, r[5], 0.001) << jde;
        EXPECT_NEAR(own.physicalLatitude, r[6], 0.001) << jde;

        double lambda = 0, beta = 0, distance = 0;
        MoonPositionMap((jde - 2451545.0) / 36525.0, &lambda, &beta, &distance);
        const LunarLibration series = LunarLibrationAt(jde, lambda * 57.29577951308232, beta * 57.29577951308232);
        EXPECT_NEAR(AngleDiff(series.opticalLongitude + series.physicalLongitude, r[3] + r[5]), 0.0, 0.05) << jde;
        EXPECT_NEAR(series.opticalLatitude + series.physicalLatitude, r[4] + r[6], 0.05) << jde;
    }
}

TEST(SelenographicSun, MeeusExample53b) {
    double l0 = 0, b0 = 0, c0 = 0;
    EXPECT_EQ(ComputeSelenographicSun(kMeeusJde, &l0, &b0, &c0), 1);
    EXPECT_NEAR(l0, 67.89, 0.05);
    EXPECT_NEAR(b0, 1.46, 0.05);
    EXPECT_NEAR(c0, 22.11, 0.05);
}

TEST(SelenographicSun, MatchesEphemColongitudeAndSubsolarLatitude) {
    const auto rows = ReadFixtureRows("moon/selenographic_sun.txt");
    ASSERT_GE(rows.size(), 50u);
    for (const auto& r : rows) {
        double l0 = 0, b0 = 0, c0 = 0;
        ComputeSelenographicSun(r[0], &l0, &b0, &c0);
        EXPECT_GE(c0, 0.0);
        EXPECT_LT(c0, 360.0);
        // Its colongitude runs about 0.3 degree from the chapter's method.
        EXPECT_NEAR(AngleDiff(c0, r[1]), 0.0, 0.35) << r[0];
        EXPECT_NEAR(b0, r[2], 0.3) << r[0];
        EXPECT_NEAR(AngleDiff(c0, 450.0 - l0), 0.0, 1e-9);
    }
}

// Copernicus: longitude -20, latitude +9.7.
TEST(FeatureSun, AltitudeOverCopernicus) { EXPECT_NEAR(GetFeatureSunAltitude(kMeeusJde, -20.0, 9.7), 2.32, 0.05); }

TEST(FeatureSun, SunriseAndSunsetConverge) {
    const double april15 = 2448727.5;
    const double rise = FindFeatureSunrise(april15, -20.0, 9.7);
    ASSERT_NE(rise, kNoFeatureEvent);
    EXPECT_NEAR(rise, 2448724.31, 0.05);
    EXPECT_LE(std::fabs(GetFeatureSunAltitude(rise, -20.0, 9.7)), 0.001);
    EXPECT_GT(GetFeatureSunAltitude(rise + 0.1, -20.0, 9.7), 0.0);
    const double set = FindFeatureSunset(rise + 0.05, -20.0, 9.7);
    ASSERT_NE(set, kNoFeatureEvent);
    EXPECT_NEAR(set - rise, 14.8, 0.3);
    EXPECT_LE(std::fabs(GetFeatureSunAltitude(set, -20.0, 9.7)), 0.001);
    EXPECT_LT(GetFeatureSunAltitude(set + 0.1, -20.0, 9.7), 0.0);
}

// Near a pole the Sun may never cross the horizon in reach: the searches end within their
// limits and never report an instant that is not a crossing.
TEST(FeatureSun, PolarFeaturesEndWithinTheCap) {
    double l0 = 0, b0 = 0, c0 = 0;
    ComputeSelenographicSun(kMeeusJde, &l0, &b0, &c0);
    const double beyond = 90.0 - std::fabs(b0) / 2.0;
    for (double latitude : {89.5, beyond, -beyond, 90.0}) {
        for (int backward : {0, 1}) {
            const double jd = FindFeatureTerminator(kMeeusJde, 30.0, latitude, backward);
            if (jd == kNoFeatureEvent) continue;
            EXPECT_LE(std::fabs(GetFeatureSunAltitude(jd, 30.0, latitude)), 0.001) << latitude;
            EXPECT_LE(std::fabs(jd - kMeeusJde), kTerminatorMaxDays + 1.0) << latitude;
        }
    }
    EXPECT_EQ(FindFeatureSunrise(kMeeusJde, 30.0, 89.5), kNoFeatureEvent);
    EXPECT_EQ(FindFeatureSunrise(kMeeusJde, 30.0, beyond), kNoFeatureEvent);
}

class TerminatorList : public ::testing::Test {
protected:
    void SetUp() override {
        root = std::filesystem::temp_directory_path() /
               ("vk-moon-terminator-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "install" / "data");
        std::filesystem::create_directories(root / "home");
        EnterCatalogState(root / "install", root / "home");
        ComputeSelenographicSun(kMeeusJde, &l0, &b0, &c0);
    }
    void TearDown() override {
        LeaveCatalogState();
        std::filesystem::remove_all(root);
    }
    // An equator feature with the Sun at `altitude` degrees, morning side.
    TestFeature At(double altitude, float diameter = 50) const {
        TestFeature f;
        const double s = std::sin(altitude * test_units::kDeg) / std::cos(b0 * test_units::kDeg);
        f.longitude = static_cast<float>(std::asin(s) / test_units::kDeg - c0);
        f.diameter = diameter;
        return f;
    }
    std::vector<std::int32_t> List(int minDiameter, int maxCount = 100) {
        std::vector<std::int32_t> out(200, -1);
        out.resize(ListTerminatorFeatures(kMeeusJde, out.data(), maxCount, minDiameter, 5));
        return out;
    }
    std::filesystem::path root;
    double l0 = 0, b0 = 0, c0 = 0;
};

TEST_F(TerminatorList, BandEdgesAndDiameterFilter) {
    // 0: Sun exactly on the horizon; 1: exactly at the limit; 2: just above it; 3: just
    // below the horizon; 4: exactly 40 km; 5: 39.9 km; 6: the far side of the Moon.
    WriteMoonDatabase(root / "install" / "data",
                      {At(0.0), At(5.0), At(5.01), At(-0.01), At(2.0, 40.0f), At(2.0, 39.9f), At(-60.0)});
    ASSERT_EQ(OpenMoonDatabase(), 1);
    EXPECT_EQ(List(0), (std::vector<std::int32_t>{0, 1, 4, 5}));
    EXPECT_EQ(List(40), (std::vector<std::int32_t>{0, 1, 4}));
}

TEST_F(TerminatorList, StopsAtMaxCount) {
    WriteMoonDatabase(root / "install" / "data", std::vector<TestFeature>(150, At(2.0)));
    ASSERT_EQ(OpenMoonDatabase(), 1);
    const auto list = List(0, 100);
    ASSERT_EQ(list.size(), 100u);
    EXPECT_EQ(list.back(), 99);
}

TEST_F(TerminatorList, SkipsUnreadableRecords) {
    WriteMoonDatabase(root / "install" / "data", std::vector<TestFeature>(4, At(2.0)));
    ASSERT_EQ(OpenMoonDatabase(), 1);
    // A header that claims more records than the file holds: records 8 and 9 of the ten
    // features it then counts cannot be read, and the list goes on past them.
    moonDb->recordCount = 20;
    EXPECT_EQ(List(0), (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(RecordedReports().size(), 2u);
}

TEST_F(TerminatorList, EmptyDatabaseListsNothing) {
    EXPECT_TRUE(List(0).empty());
}

}  // namespace
