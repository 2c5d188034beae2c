#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "astro/quick_sun_moon.h"
#include "astro/quick_sun_moon_internal.h"
#include "astro/time_scales.h"
#include "core/report.h"
#include "core/settings.h"
#include "support/fixture_files.h"
#include "support/observing_state.h"
#include "theories/moon_series.h"
#include "theories/sun_series.h"

namespace {

using test_units::kDeg;

// The site and Delta T of the reference for a row; UT clock (zone 0).
class QuickSunMoonTest : public ::testing::Test {
protected:
    void SetUp() override {
        FreeSunTable();
        FreeMoonTable();
    }
    void TearDown() override {
        FreeSunTable();
        FreeMoonTable();
    }
    static void UseRow(const PlanetEphemRow& r) {
        UseTestSite(r.latitude, -r.longitudeEast);
        observingDateTime.year = r.year;
        SetPreferenceFloat(pref::deltaTUser, static_cast<float>(r.deltaT));
    }
    static double UtJD(const PlanetEphemRow& r) {
        return DateTimeToJD(r.year, r.month, r.day, r.hour, r.minute, r.second, 0);
    }

    SavedObservingState saved;
};

TEST_F(QuickSunMoonTest, QuickPositionsFollowAnIndependentEphemeris) {
    int moons = 0, suns = 0;
    for (const PlanetEphemRow& r : ReadPlanetEphemRows()) {
        if (r.kind != "geo" || r.body > 1) continue;
        SCOPED_TRACE(testing::Message() << r.year << "-" << r.month << "-" << r.day << " body " << r.body);
        UseRow(r);
        double ra = -1.0, dec = 0.0;
        if (r.body == 0) {
            // 1900.0 elements without nutation and aberration: within a minute of arc.
            SunPosition(&ra, &dec, r.year, r.month, r.day, r.hour, r.minute, r.second);
            EXPECT_LT(SeparationArcsec(ra, dec, r.ra, r.dec), 75.0);
            ++suns;
        } else {
            // The short lunar series: a few minutes of arc, practically geocentric.
            MoonPosition(&ra, &dec, r.year, r.month, r.day, r.hour, r.minute, r.second);
            EXPECT_LT(SeparationArcsec(ra, dec, r.ra, r.dec), 180.0);
            double lon, lat, distance;
            MoonPositionMap((UtJD(r) + r.deltaT / 86400.0 - 2451545.0) / 36525.0, &lon, &lat, &distance);
            EXPECT_NEAR(distance, r.distance, r.distance * 0.002);
            ++moons;
        }
        EXPECT_GE(ra, 0.0);
        EXPECT_LT(ra, 24.0);
    }
    EXPECT_GT(moons, 30);
    EXPECT_GT(suns, 30);
}

TEST_F(QuickSunMoonTest, QuickMoonIsPracticallyGeocentric) {
    UseTestSite(40.0, 0.0);
    double ra1, dec1, ra2, dec2;
    MoonPosition(&ra1, &dec1, 2010, 3, 14, 20, 0, 0);
    UseTestSite(40.0, 120.0);
    MoonPosition(&ra2, &dec2, 2010, 3, 14, 20, 0, 0);
    EXPECT_LT(SeparationArcsec(ra1, dec1, ra2, dec2), 10.0);  // the parallax itself is near a degree
}

TEST_F(QuickSunMoonTest, SunNearTheMarchEquinox) {
    UseTestSite(51.0, 0.0);
    for (int hour = 0; hour < 48; hour += 3) {
        double ra, dec;
        SunPosition(&ra, &dec, 2021, 3, 19, hour, 0, 0);
        EXPECT_GE(ra, 0.0) << hour;
        EXPECT_LT(ra, 24.0) << hour;
        EXPECT_TRUE(ra < 0.2 || ra > 23.8) << hour;
        EXPECT_NEAR(dec, 0.0, 0.8) << hour;
    }
}

TEST_F(QuickSunMoonTest, FullMoonAndNewMoonFromTheLongSeries) {
    struct Case {
        double jdUT;
        double fraction;
    };
    // 2000 January 21 4h41m UT (full) and January 6 18h14m UT (new).
    for (const Case& c : {Case{2451564.6954, 1.0}, Case{2451550.2597, 0.0}}) {
        const double T = (c.jdUT + 64.0 / 86400.0 - 2451545.0) / 36525.0;
        FullPosition sun{}, moon{};
        SunPositionFull(&sun, T);
        double L, B, R;
        GetSunEclipticPosition(T, &L, &B, &R);
        MoonPositionFull(&moon, T, L);
        EXPECT_NEAR(moon.illuminatedFraction, c.fraction, 0.003);
        EXPECT_EQ(sun.illuminatedFraction, 1.0);
        EXPECT_EQ(sun.magnitude, -24.6);
        EXPECT_GE(moon.rightAscension, 0.0);
        EXPECT_LT(moon.rightAscension, 2.0 * 3.141592653589793);
        EXPECT_NEAR(moon.diameter, 31.0, 2.5);
        if (c.fraction == 1.0) {
            EXPECT_NEAR(moon.magnitude, -12.7, 0.1);
        }
    }
}

TEST_F(QuickSunMoonTest, TopocentricPlaceFollowsAnIndependentEphemeris) {
    int rows = 0;
    const std::vector<PlanetEphemRow> all = ReadPlanetEphemRows();
    for (std::size_t i = 0; i + 1 < all.size(); ++i) {
        const PlanetEphemRow& geo = all[i];
        const PlanetEphemRow& topo = all[i + 1];
        if (geo.kind != "geo" || topo.kind != "topo" || geo.body != topo.body) continue;
        SCOPED_TRACE(testing::Message() << topo.year << "-" << topo.month << "-" << topo.day << " body " << topo.body);
        const double T = (UtJD(topo) - 2451545.0) / 36525.0;
        double ra = geo.ra * 15.0 * kDeg, dec = geo.dec * kDeg, az = -1.0, alt = -99.0;
        TopocentricPosition(T, &ra, &dec, &az, &alt, geo.distance, -topo.longitudeEast, topo.latitude, 0.0);
        EXPECT_LT(SeparationArcsec(ra / 15.0 / kDeg, dec / kDeg, topo.ra, topo.dec), 2.0);
        EXPECT_NEAR(alt, topo.altitude, 0.001);
        if (std::fabs(topo.altitude) < 85.0) {
            EXPECT_NEAR(std::remainder(az - topo.azimuth, 360.0), 0.0, 0.002);
        }
        ++rows;
    }
    EXPECT_GT(rows, 80);
}

TEST_F(QuickSunMoonTest, TopocentricParallaxScalesWithDistance) {
    // A place on the celestial equator at hour angle 6h sits on the western horizon of a
    // site on the equator, where the parallax is the whole horizontal parallax.
    const double T = 0.1;
    const double theta = std::fmod(280.46061837 + 13185000.7700537 * T, 360.0);
    struct Case {
        double distance;
        double shiftArcsec;
    };
    for (const Case& c : {Case{0.0026, 3383.0}, Case{1.0, 8.794}}) {
        const double ra0 = (theta - 90.0) * kDeg;
        double ra = ra0, dec = 0.0, az = 0.0, alt = 0.0;
        TopocentricPosition(T, &ra, &dec, &az, &alt, c.distance, 0.0, 0.0, 0.0);
        EXPECT_NEAR(SeparationArcsec(ra0 / 15.0 / kDeg, 0.0, ra / 15.0 / kDeg, dec / kDeg), c.shiftArcsec,
                    c.shiftArcsec * 0.01);
        EXPECT_NEAR(alt, 0.0, 0.02 + c.shiftArcsec / 3600.0);
        EXPECT_NEAR(az, 270.0, 0.02);
    }
    // With only one horizontal place given, only the equatorial place changes.
    double ra = 1.0, dec = 0.2, azimuth = 123.0;
    TopocentricPosition(T, &ra, &dec, &azimuth, nullptr, 0.0026, 0.0, 45.0, 100.0);
    EXPECT_EQ(azimuth, 123.0);
    EXPECT_NE(ra, 1.0);
}

TEST_F(QuickSunMoonTest, SeriesByBodyGivesHeliocentricEclipticPlaces) {
    int rows = 0;
    for (const std::vector<double>& row : ReadFixtureRows("astro/planet_series_erfa.txt")) {
        ASSERT_GE(row.size(), 5u);
        const double jd = row[0], lonRef = row[2], latRef = row[3], rRef = row[4];
        const int body = static_cast<int>(row[1]);
        SCOPED_TRACE(testing::Message() << jd << " " << body);
        double lon = 0.0, lat = 0.0, r = 0.0;
        ASSERT_EQ(ComputeSunMoonSeries(body, jd, &lon, &lat, &r), 1);
        // The same planetary theory for Mercury to Neptune, so only the turn onto the
        // ecliptic of date is tested there; Pluto's series and the reference's differ by
        // some 15".
        const double tolerance = body == 9 ? 20.0 : 0.5;
        EXPECT_NEAR(std::remainder(lon - lonRef, 360.0) * 3600.0 * std::cos(latRef * kDeg), 0.0, tolerance);
        EXPECT_NEAR((lat - latRef) * 3600.0, 0.0, tolerance);
        EXPECT_NEAR(r, rRef, body == 9 ? 0.002 : 1e-6 * rRef);
        ++rows;
    }
    EXPECT_GT(rows, 80);

    // The Sun and the Moon are the geocentric long series in degrees.
    const double jd = 2455000.5, T = (jd - 2451545.0) / 36525.0;
    double lon, lat, r, L, B, R;
    ComputeSunMoonSeries(0, jd, &lon, &lat, &r);
    GetSunEclipticPosition(T, &L, &B, &R);
    EXPECT_NEAR(lon, std::fmod(L / kDeg, 360.0), 1e-9);
    EXPECT_EQ(r, R);
    ComputeSunMoonSeries(1, jd, &lon, &lat, &r);
    GetMoonEclipticPosition(T, &L, &B, &R);
    EXPECT_NEAR(lat, B / kDeg, 1e-9);
    EXPECT_EQ(r, R);

    // Other bodies write nothing.
    for (int body : {10, 13, -1}) {
        lon = lat = r = 7.0;
        EXPECT_EQ(ComputeSunMoonSeries(body, jd, &lon, &lat, &r), 0);
        EXPECT_EQ(lon, 7.0);
        EXPECT_EQ(lat, 7.0);
        EXPECT_EQ(r, 7.0);
    }
}

TEST_F(QuickSunMoonTest, FivePointTables) {
    // Untouched places before a build and after the table is freed.
    double lon = 1.0, lat = 2.0, r = 3.0;
    InterpolateSun(0.1, &lon, &lat, &r);
    InterpolateMoon(0.1, &lon, &lat, &r);
    EXPECT_EQ((std::vector<double>{lon, lat, r}), (std::vector<double>{1.0, 2.0, 3.0}));

    // Five nodes 30 minutes apart around an eclipse, with the caller's longitude offset.
    const double step = 0.5 / 24.0 / 36525.0, t0 = 0.1 - 2.0 * step, offset = 0.25;
    const int stepsBefore = BusySteps();
    ASSERT_EQ(BuildSunTable(t0, step, offset), 1);
    ASSERT_EQ(BuildMoonTable(t0, step, offset), 1);
    EXPECT_EQ(BusySteps() - stepsBefore, 10);
    EXPECT_FALSE(IsBusyShown());

    for (double T : {t0, t0 + 1.3 * step, 0.1, t0 + 3.9 * step}) {
        double L, B, R;
        GetSunEclipticPosition(T, &L, &B, &R);
        InterpolateSun(T, &lon, &lat, &r);
        EXPECT_NEAR(lon, L + offset, 1e-9);
        EXPECT_NEAR(lat, B, 1e-11);
        EXPECT_NEAR(r, R, 1e-11);
        GetMoonEclipticPosition(T, &L, &B, &R);
        InterpolateMoon(T, &lon, &lat, &r);
        EXPECT_NEAR(lon, L + offset, 1e-8);  // well under a milliarcsecond
        EXPECT_NEAR(lat, B, 1e-8);
        EXPECT_NEAR(r, R, 1e-10);
    }
    // At a node the node's own value.
    InterpolateSun(t0 + step, &lon, &lat, &r);
    EXPECT_EQ(lon, sunTable.column[kTableLongitude][1]);

    FreeSunTable();
    for (double* column : sunTable.column) EXPECT_EQ(column, nullptr);
    lon = 1.0;
    InterpolateSun(0.1, &lon, &lat, &r);
    EXPECT_EQ(lon, 1.0);
    InterpolateMoon(0.1, &lon, &lat, &r);  // the Moon's table is still there
    EXPECT_NE(lon, 1.0);
}

}  // namespace
