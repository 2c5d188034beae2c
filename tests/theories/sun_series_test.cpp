#include "theories/sun_series.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "support/fixture_files.h"
#include "theories/series_reference.h"
#include "theories/tables/sun_terms.h"

namespace {

using test_units::kPi;
using test_units::kRadToDeg;
using test_units::kRadToArcsec;

TEST(SunSeries, TermCountsAreThoseOfTheAbridgedTables) {
    const int longitude[6] = {64, 34, 20, 7, 3, 1};
    const int latitude[2] = {5, 2};
    const int radius[5] = {40, 10, 6, 2, 1};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(kEarthLongitudeSeries[k].count, longitude[k]) << "L" << k;
    for (int k = 0; k < 2; ++k) EXPECT_EQ(kEarthLatitudeSeries[k].count, latitude[k]) << "B" << k;
    for (int k = 0; k < 5; ++k) EXPECT_EQ(kEarthRadiusSeries[k].count, radius[k]) << "R" << k;
    // Constants published with phase 3.14 are held as negative amplitudes.
    EXPECT_EQ(kEarthLongitudeSeries[4].terms[0].a, -114.0);
    EXPECT_EQ(kEarthLongitudeSeries[5].terms[0].a, -1.0);
}

// Meeus, Astronomical Algorithms, examples 25.b and 32.a: 1992 October 13.0 TD.
TEST(SunSeries, MeeusExample1992October13) {
    const double T = CenturiesFromJ2000(2448908.5);
    EXPECT_NEAR(EarthLongitudeSeries(T), 19.907372, 1e-6);

    double lon, lat, dist;
    GetSunEclipticPosition(T, &lon, &lat, &dist);
    EXPECT_NEAR(lon * kRadToDeg, 199.907347, 1e-6);  // 199°54'26.18" in FK5
    EXPECT_NEAR(lat * kRadToArcsec, 0.62, 0.005);
    EXPECT_NEAR(dist, 0.99760775, 1e-8);
}

TEST(SunSeries, J2000) {
    double lon, lat, dist;
    GetSunEclipticPosition(0.0, &lon, &lat, &dist);
    EXPECT_NEAR(lon, 4.8935149, 1e-7);
    EXPECT_NEAR(lat * kRadToArcsec, 0.727, 0.001);
    EXPECT_NEAR(dist, 0.98332758, 1e-8);
}

// The geometric Sun from an independent VSOP-based ephemeris, 1800-2200: the abridged
// series holds about 1" in longitude. The span exercises every power of tau.
TEST(SunSeries, AgreesWithIndependentEphemeris) {
    const auto rows = ReadFixtureRows("theories/sun_erfa.txt");
    ASSERT_GE(rows.size(), 40u);
    for (const auto& r : rows) {
        double lon, lat, dist;
        GetSunEclipticPosition(CenturiesFromJ2000(r[0]), &lon, &lat, &dist);
        const double dLon = std::remainder(lon - r[1], 2.0 * kPi);
        EXPECT_LT(std::fabs(dLon) * kRadToArcsec, 1.5) << "jd " << r[0];
        EXPECT_LT(std::fabs(lat - r[2]) * kRadToArcsec, 0.5) << "jd " << r[0];
        EXPECT_NEAR(dist, r[3], 3e-6) << "jd " << r[0];
    }
}

// The longitude is left in [pi, 3pi): over a year it drops by one turn exactly once.
TEST(SunSeries, LongitudeStaysInOneTurnAboveHalfATurn) {
    int drops = 0;
    double previous = 0.0;
    for (int day = 0; day <= 366; ++day) {
        double lon, lat, dist;
        GetSunEclipticPosition(CenturiesFromJ2000(2460310.5 + day), &lon, &lat, &dist);
        EXPECT_GE(lon, kPi - 1e-9);
        EXPECT_LT(lon, 3.0 * kPi);
        if (day > 0 && lon < previous - kPi) ++drops;
        previous = lon;
    }
    EXPECT_EQ(drops, 1);
}

// Terms sharing a frequency share one sine and cosine; the sums must stay those of the
// term by term evaluation over 1000-3000.
TEST(SunSeries, SharedFrequencyEvaluationEqualsTheTermByTermOne) {
    std::mt19937_64 rng(2102);
    std::uniform_real_distribution<double> centuries(-10.0, 10.0);
    for (int i = 0; i < 4000; ++i) {
        const double T = centuries(rng);
        double lon, lat, dist, refLon, refLat, refDist;
        GetSunEclipticPosition(T, &lon, &lat, &dist);
        reference::SunEclipticPosition(T, &refLon, &refLat, &refDist);
        ASSERT_LT(std::fabs(std::remainder(lon - refLon, 2.0 * kPi)) * kRadToArcsec, 1e-6) << "T " << T;
        ASSERT_LT(std::fabs(lat - refLat) * kRadToArcsec, 1e-6) << "T " << T;
        ASSERT_LT(std::fabs(dist - refDist), 1e-12) << "T " << T;
        ASSERT_LT(std::fabs(std::remainder(EarthLongitudeSeries(T) - reference::EarthLongitudeSeries(T), 360.0)) * 3600.0,
                  1e-6)
            << "T " << T;
    }
}

}  // namespace
