#include "astro/separation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "core/settings.h"
#include "support/fixture_files.h"

namespace {

using test_units::kDeg;
using test_units::kPi;
// The site's latitude enters as a float sine and cosine (about 1e-7 each, and
// sin^2 + cos^2 is not exactly 1), so positions from it carry up to 1e-4 degree.
constexpr double kFloatLatitude = 1e-4;

TEST(Separation, MatchesErfaSeps) {
    int count = 0;
    for (const std::string& line : ReadFixtureLines("astro/separation.txt")) {
        std::istringstream f(line);
        double ra1, dec1, ra2, dec2, expected;
        ASSERT_TRUE(f >> ra1 >> dec1 >> ra2 >> dec2 >> expected) << line;
        const double sep = AngularSeparation(ra1, dec1, ra2, dec2);
        // The haversine is exact to rounding everywhere, tiny separations included, except
        // within micro-degrees of the opposite point, where asin near 1 magnifies rounding
        // to about 1e-6 degree.
        const double tolerance = expected > 179.99 ? 2e-6 : 1e-9 * std::max(1.0, expected / 90);
        EXPECT_NEAR(sep, expected, std::min(tolerance, 1e-3 * expected + 1e-15)) << line;
        EXPECT_NEAR(sep, AngularSeparation(ra2, dec2, ra1, dec1), 1e-12) << line;
        ++count;
    }
    EXPECT_GE(count, 50);
}

TEST(Separation, SpecialPairs) {
    EXPECT_EQ(AngularSeparation(5.5, 20, 5.5, 20), 0);
    EXPECT_NEAR(AngularSeparation(0, 90, 0, -90), 180, 1e-12);
    EXPECT_NEAR(AngularSeparation(0, 0, 6, 0), 90, 1e-12);
    EXPECT_NEAR(AngularSeparation(23.5, 0, 0.5, 0), 15, 1e-12);  // across 0h
    // A declination carried past the pole names a point on the other side: 100 degrees at
    // 0 h is 80 degrees at 12 h, the same point, where the haversine rounds below 0.
    for (const double dec : {100.0, 95.5, -99.25}) {
        const double sep = AngularSeparation(0, dec, 12, std::copysign(180, dec) - dec);
        ASSERT_FALSE(std::isnan(sep)) << dec;
        EXPECT_NEAR(sep, 0, 1e-6) << dec;
    }
    // Opposite points: rounding takes the haversine past 1, which must not give NaN.
    for (double ra = 0; ra < 24; ra += 0.37) {
        for (double dec = -89.5; dec <= 89.5; dec += 7.3) {
            const double sep = AngularSeparation(ra, dec, ra + 12, -dec);
            ASSERT_FALSE(std::isnan(sep)) << ra << ' ' << dec;
            EXPECT_NEAR(sep, 180, 1e-5) << ra << ' ' << dec;
        }
    }
}

TEST(Separation, ObliquityAtJ2000) {
    EXPECT_DOUBLE_EQ(GetObliquity(), 0.4090927848297818);
    // 23 deg 26' 21.448" (the constant went through single precision: 0.004" off).
    EXPECT_NEAR(GetObliquity(), (23 + 26 / 60.0 + 21.448 / 3600) * kDeg, 1e-7);
}

// Sets the site latitude the way the settings do, the sine and cosine kept as floats.
class HorizontalToEquatorialTest : public ::testing::Test {
protected:
    void SetUp() override { saved = observerLocation; }
    void TearDown() override { observerLocation = saved; }
    static void SetLatitude(double degrees) {
        observerLocation.latitude = static_cast<float>(degrees);
        observerLocation.sinLatitude = static_cast<float>(std::sin(degrees * kDeg));
        observerLocation.cosLatitude = static_cast<float>(std::cos(degrees * kDeg));
    }
    // The forward conversion, independent of the code under test, with the same float
    // latitude terms so that a round trip shows the inverse's own error.
    static void ToHorizontal(double lst, double ra, double dec, double* azimuth, double* altitude) {
        const double sinPhi = observerLocation.sinLatitude;
        const double cosPhi = observerLocation.cosLatitude;
        const double h = (lst - ra) * kPi / 12;
        const double d = dec * kDeg;
        *altitude = std::asin(std::clamp(sinPhi * std::sin(d) + cosPhi * std::cos(d) * std::cos(h), -1.0, 1.0));
        *azimuth = std::atan2(-std::cos(d) * std::sin(h), cosPhi * std::sin(d) - sinPhi * std::cos(d) * std::cos(h));
    }
    static double HourDiff(double a, double b) {
        return std::fabs(std::fmod(a - b + 36, 24) - 12);
    }
    ObserverLocation saved{};
};

TEST_F(HorizontalToEquatorialTest, ZenithAndNorthPoint) {
    for (const double latitude : {-90.0, -51.5, -10.0, 0.0, 35.0, 51.0, 89.0, 90.0}) {
        SetLatitude(latitude);
        for (const double lst : {0.0, 6.25, 13.5, 23.9}) {
            double ra = -1, dec = -1;
            HorizontalToEquatorial(lst, 1.234, kPi / 2, &ra, &dec);
            EXPECT_NEAR(dec, latitude, kFloatLatitude) << latitude;
            if (std::fabs(latitude) < 90) {
                EXPECT_LT(HourDiff(ra, lst), 1e-9) << latitude << ' ' << lst;
            }
            if (latitude > 0 && latitude < 90) {
                // North on the horizon: hour angle 12 h, declination 90 - latitude.
                HorizontalToEquatorial(lst, 0, 0, &ra, &dec);
                EXPECT_LT(HourDiff(ra, lst + 12), 1e-9);
                EXPECT_GE(ra, 0);
                EXPECT_LE(ra, 24);
                EXPECT_NEAR(dec, 90 - latitude, kFloatLatitude);
            }
        }
    }
}

TEST_F(HorizontalToEquatorialTest, CelestialPoleGivesNinetyNotNaN) {
    // Looking at the pole: sin^2 + cos^2 of the float latitude is not exactly 1, which
    // takes the arc sine's argument past 1 at some latitudes.
    for (double latitude = 0.5; latitude < 90; latitude += 0.5) {
        SetLatitude(latitude);
        double ra, dec;
        HorizontalToEquatorial(3.0, 0, latitude * kDeg, &ra, &dec);
        ASSERT_FALSE(std::isnan(dec)) << latitude;
        EXPECT_NEAR(dec, 90, 0.05) << latitude;
    }
}

TEST_F(HorizontalToEquatorialTest, RoundTripsFromEquatorial) {
    for (const double latitude : {-90.0, -33.9, 0.0, 28.7, 51.0, 78.2, 90.0}) {
        SetLatitude(latitude);
        for (double ra = 0.1; ra < 24; ra += 1.7) {
            for (double dec = -85; dec <= 85; dec += 8.5) {
                const double lst = 17.3;
                double az, alt;
                ToHorizontal(lst, ra, dec, &az, &alt);
                double ra2 = -1, dec2 = -1;
                HorizontalToEquatorial(lst, az, alt, &ra2, &dec2);
                EXPECT_NEAR(dec2, dec, kFloatLatitude) << latitude << ' ' << ra << ' ' << dec;
                EXPECT_LT(HourDiff(ra2, ra) * 15 * std::cos(dec * kDeg), kFloatLatitude)
                    << latitude << ' ' << ra << ' ' << dec;
                EXPECT_GE(ra2, 0);
                EXPECT_LE(ra2, 24);
            }
        }
    }
    // Null outputs are allowed.
    HorizontalToEquatorial(1, 1, 1, nullptr, nullptr);
}

TEST_F(HorizontalToEquatorialTest, ArgumentFormReadsNoCurrentSite) {
    const ObserverLocation site = MakeSite(-33.9f, -151.2f, 600);
    observerLocation = site;
    double ra1, dec1, ra2, dec2;
    HorizontalToEquatorial(17.3, 2.1, 0.4, &ra1, &dec1);
    SetLatitude(51.0);
    HorizontalToEquatorialAt(site, 17.3, 2.1, 0.4, &ra2, &dec2);
    EXPECT_EQ(ra2, ra1);
    EXPECT_EQ(dec2, dec1);
}

}  // namespace
