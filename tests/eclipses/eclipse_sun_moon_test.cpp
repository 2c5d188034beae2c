// The apparent Sun and Moon of the eclipse code, its nutation and sidereal time, and the
// point under the shadow axis, against Meeus's worked examples and the NASA bulletins.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/precession_nutation.h"
#include "astro/quick_sun_moon.h"
#include "eclipses/eclipse_state.h"
#include "eclipses/eclipse_sun_moon.h"
#include "eclipses/published_eclipses.h"
#include "support/fixture_files.h"

namespace {
using test_units::kArcsec;
using test_units::kRadToArcsec;
using test_units::kRadToDeg;

double CenturiesTT(double jd) { return (jd - 2451545.0) / 36525.0; }

// The nutation the apparent places read is the one kept in the state.
void UseNutationOf(double T) { GetNutation(T, &eclipseState.nutationLongitude, &eclipseState.trueObliquity); }

class EclipseSunMoon : public ::testing::Test {
protected:
    void SetUp() override { SelectPositionSource(0); }
    void TearDown() override {
        SelectPositionSource(1);
        FreeSunTable();
        FreeMoonTable();
    }
};

TEST_F(EclipseSunMoon, EighteenTermNutationMatchesMeeusAndTheFullSeries) {
    // Meeus, Astronomical Algorithms, example 22.a: 1987 April 10, 0h TD.
    const double T = CenturiesTT(2446895.5);
    double dpsi, trueObliquity, D, Mp, M, F, Omega, meanObliquity, Lp;
    GetNutation(T, &dpsi, &trueObliquity);
    GetLunarArguments(T, &D, &Mp, &M, &F, &Omega, &meanObliquity, &Lp);
    EXPECT_NEAR(dpsi * kRadToArcsec, -3.788, 0.005);
    EXPECT_NEAR((trueObliquity - meanObliquity) * kRadToArcsec, 9.443, 0.005);
    EXPECT_NEAR(meanObliquity * kRadToDeg, 23.0 + 26.0 / 60.0 + 27.407 / 3600.0, 0.005 / 3600.0);

    // Against the 106 terms: the terms left out add up to 0.024" in longitude at most.
    for (double jd = 2415020.5; jd < 2488070.0; jd += 97.3) {
        const double t = CenturiesTT(jd);
        double fullPsi, fullEps;
        NutationAngles(t, &fullPsi, &fullEps);
        GetNutation(t, &dpsi, &trueObliquity);
        GetLunarArguments(t, &D, &Mp, &M, &F, &Omega, &meanObliquity, &Lp);
        ASSERT_NEAR(dpsi * kRadToArcsec, fullPsi, 0.025) << "JD " << jd;
        ASSERT_NEAR((trueObliquity - meanObliquity) * kRadToArcsec, fullEps, 0.01) << "JD " << jd;
    }
}

TEST_F(EclipseSunMoon, SiderealTimeAtZeroHoursIsTheMeanOneWithoutDeltaT) {
    eclipseState.dayNumber = -0.5;  // 2000 January 1, 0h UT
    eclipseState.clockHours = 0.0;
    eclipseState.minusDeltaTHours = 0.0;
    minusDeltaTSeconds = 0.0;
    const double apparent = SetEclipseSiderealTime(eclipseState.dayNumber / 36525.0);
    const double equationOfEquinoxes =
        std::cos(eclipseState.trueObliquity) * eclipseState.nutationLongitude * 3.819718634205488;
    EXPECT_NEAR(apparent - equationOfEquinoxes, 6.6645, 0.0001);
    EXPECT_NEAR(eclipseState.eclipseT, -0.5 / 36525.0, 1e-15);

    // Delta T moves the instant to TT and the sidereal time back by Delta T seconds.
    PinDeltaT(2000, 64.0);
    SetEclipseInstant(2000, 1, 1, 6, 30, 0);
    EXPECT_NEAR(eclipseState.clockHours, 6.5, 1e-12);
    EXPECT_NEAR(minusDeltaTSeconds, -64.0, 1e-5);
    EXPECT_NEAR(eclipseState.eclipseT * 36525.0 - eclipseState.dayNumber, (6.5 + 64.0 / 3600.0) / 24.0, 1e-9);
    EXPECT_NEAR(eclipseState.siderealTime0 - equationOfEquinoxes, 6.6645 - 64.0 / 3600.0, 0.0001);
}

TEST_F(EclipseSunMoon, ApparentSunAndMoonMatchMeeus) {
    // Example 25.b: the Sun on 1992 October 13.0 TD.
    double T = CenturiesTT(2448908.5);
    UseNutationOf(T);
    double ra, dec, distance;
    GetApparentSun(T, &ra, &dec, &distance);
    EXPECT_NEAR(SeparationArcsec(ra * 12.0 / test_units::kPi, dec * kRadToDeg, Hms(13, 13, 30.749),
                                 Dms(-7, 47, 1.74)),
                0.0, 2.0);
    EXPECT_NEAR(distance, 0.99760775, 1e-5);
    EXPECT_DOUBLE_EQ(eclipseState.sunRAHours * 0.26179938779914946, eclipseState.sunRA);
    EXPECT_DOUBLE_EQ(eclipseState.work.raHours, eclipseState.sunRAHours);

    // Example 47.a: the Moon on 1992 April 12, 0h TD. Meeus's distance comes from a
    // truncated series that lacks terms worth about 5 km; the long series gives 368405 km.
    T = CenturiesTT(2448724.5);
    UseNutationOf(T);
    GetApparentMoon(T, &ra, &dec, &distance);
    EXPECT_NEAR(SeparationArcsec(ra * 12.0 / test_units::kPi, dec * kRadToDeg, 134.688470 / 15.0, 13.768368), 0.0,
                10.0);
    EXPECT_NEAR(distance * 149597870.7, 368409.7, 6.0);
    EXPECT_NEAR(eclipseState.work.raHours * 15.0, ra * kRadToDeg, 1e-9);
}

TEST_F(EclipseSunMoon, RightAscensionLandsInOneDay) {
    // The Sun just past the equinox: atan2 gives a small negative angle there.
    for (double jd : {2451623.5, 2451624.0, 2451625.0, 2460390.9}) {
        const double T = CenturiesTT(jd);
        UseNutationOf(T);
        double ra, dec, distance;
        GetApparentSun(T, &ra, &dec, &distance);
        EXPECT_GE(eclipseState.sunRAHours, 0.0) << jd;
        EXPECT_LT(eclipseState.sunRAHours, 24.0) << jd;
        EXPECT_GE(ra, 0.0) << jd;
    }
}

TEST_F(EclipseSunMoon, ShadowAxisMeetsTheEarthAtNasasPointOfGreatestEclipse) {
    struct Case {
        PublishedEclipse eclipse;
        int hour, minute, second;
        double latitude, longitudeWest;
    };
    // 2012 May 20 lies east of Greenwich: greatest 23:52:46 UT at 49.1°N 176.3°E.
    const Case cases[] = {
        {kTotal2017, 18, 25, 30, kTotal2017.latitude, kTotal2017.longitudeWest},
        {kTotal2024, 18, 17, 15, kTotal2024.latitude, kTotal2024.longitudeWest},
        {PublishedEclipse{2012, 5, 20, {}, 67.7, 0, 0, 0, 0, 0}, 23, 52, 46, 49.1, -176.3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.eclipse.year);
        PinDeltaT(c.eclipse.year, c.eclipse.deltaT);
        SetEclipseInstant(c.eclipse.year, c.eclipse.month, c.eclipse.day, c.hour, c.minute, c.second);
        ASSERT_EQ(ComputeLocalSunMoon(), 1);
        EXPECT_EQ(eclipseState.axisHit, 1);
        EXPECT_NEAR(eclipseState.axisLatitude, c.latitude, 0.2);
        EXPECT_NEAR(eclipseState.axisLongitude, c.longitudeWest, 0.2);
        EXPECT_GE(eclipseState.axisLongitude, -180.0);
        EXPECT_LT(eclipseState.axisLongitude, 180.0);
        EXPECT_EQ(eclipseState.positionsReady, 1);
    }

    // Two days earlier the line misses the Earth and the point stays where it was.
    PinDeltaT(2017, 70.3);
    SetEclipseInstant(2017, 8, 19, 18, 25, 30);
    eclipseState.axisLatitude = 12.5;
    eclipseState.axisLongitude = -33.0;
    EXPECT_EQ(ComputeLocalSunMoon(), 0);
    EXPECT_EQ(eclipseState.axisHit, 0);
    EXPECT_EQ(eclipseState.axisLatitude, 12.5);
    EXPECT_EQ(eclipseState.axisLongitude, -33.0);
}

TEST_F(EclipseSunMoon, TablesStandInForTheSeriesAndEmptyTablesFallBackOnIt) {
    PinDeltaT(2017, 70.3);
    SetEclipseInstant(2017, 8, 21, 18, 25, 30);
    ComputeLocalSunMoon();
    const double seriesLatitude = eclipseState.axisLatitude;
    const double seriesMoonRA = eclipseState.moonRA;

    // No tables yet: the places are the series' (not what the outputs held before).
    FreeSunTable();
    FreeMoonTable();
    SelectPositionSource(1);
    SetEclipseInstant(2017, 8, 21, 18, 25, 30);
    ComputeLocalSunMoon();
    EXPECT_DOUBLE_EQ(eclipseState.moonRA, seriesMoonRA);
    EXPECT_DOUBLE_EQ(eclipseState.axisLatitude, seriesLatitude);

    // Tables around the instant reproduce the series closely.
    const double T = eclipseState.eclipseT;
    const double step = 0.5 / 24.0 / 36525.0;
    ASSERT_EQ(BuildSunTable(T - 2.0 * step, step, 0.0), 1);
    ASSERT_EQ(BuildMoonTable(T - 2.0 * step, step, 0.0), 1);
    SetEclipseInstant(2017, 8, 21, 18, 25, 30);
    ComputeLocalSunMoon();
    EXPECT_NEAR(eclipseState.moonRA, seriesMoonRA, 0.01 * kArcsec);
    EXPECT_NEAR(eclipseState.axisLatitude, seriesLatitude, 1e-5);
}
}  // namespace
