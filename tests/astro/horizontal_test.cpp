#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "astro/apparent_place.h"
#include "astro/apparent_place_internal.h"
#include "astro/horizontal.h"
#include "astro/horizontal_internal.h"
#include "astro/precession_nutation.h"
#include "astro/precession_nutation_internal.h"
#include "astro/time_scales.h"
#include "core/settings.h"
#include "support/fixture_files.h"
#include "support/observing_state.h"

namespace {

using test_units::kDeg;

struct HorizonCase {
    double jd, deltaT, latitude, longitude, ra, dec, zd, az;
};

std::vector<HorizonCase> ReadHorizonCases() {
    std::vector<HorizonCase> cases;
    for (const std::vector<double>& r : ReadTaggedFixtureRows("astro/earth_horizon_erfa.txt", "horizon")) {
        EXPECT_GE(r.size(), 8u);
        if (r.size() < 8) continue;
        cases.push_back({r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7]});
    }
    return cases;
}

double AzimuthDifference(double a, double b) {
    double d = a - b;
    while (d > 180) d -= 360;
    while (d < -180) d += 360;
    return d;
}

// An object on the local meridian of a site at latitude 45 and longitude 0, south of the
// zenith by the given zenith distance.
struct MeridianSetup {
    SiteInfo site;
    double jd, deltaT, ra, dec;
};
MeridianSetup OnMeridian(double zenithDistance, double pressure, double temperature) {
    MeridianSetup m;
    m.jd = 2460000.5;
    m.deltaT = 69.0;
    double seconds, ee, gst;
    TdbMinusTt(m.jd, nullptr, &seconds);
    ComputeEarthTilt(m.jd + seconds / 86400.0, nullptr, nullptr, &ee, nullptr, nullptr);
    SiderealTimeOfJD(m.jd - m.deltaT / 86400.0, 0.0, ee, &gst);
    m.ra = gst;  // hour angle 0 at longitude 0
    m.dec = 45.0 - zenithDistance;
    m.site = SiteInfo{45.0, 0.0, 0.0, temperature, pressure};
    return m;
}

class HorizontalTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAstrometryCaches();
        ResetApparentPlaceCaches();
        ResetHorizonCache();
    }
    SavedObservingState saved;
};

TEST_F(HorizontalTest, EquToHorEqualsErfaAndItsCacheChangesNothing) {
    const std::vector<HorizonCase> cases = ReadHorizonCases();
    ASSERT_GT(cases.size(), 100u);
    std::vector<std::array<double, 4>> cold;
    for (const HorizonCase& c : cases) {
        SCOPED_TRACE(c.jd);
        ResetHorizonCache();
        const SiteInfo site{c.latitude, c.longitude, 0.0, 10.0, 1010.0};
        double zd, az = -1, rar, decr;
        EquToHor(c.jd, c.deltaT, 0, 0, site, c.ra, c.dec, kRefractionNone, &zd, &az, &rar, &decr);
        EXPECT_NEAR(zd, c.zd, 1e-7);
        EXPECT_NEAR(AzimuthDifference(az, c.az) * std::sin(zd * kDeg), 0.0, 1e-7);
        EXPECT_GE(az, 0.0);
        EXPECT_LT(az, 360.0);
        EXPECT_EQ(rar, c.ra);
        EXPECT_EQ(decr, c.dec);
        cold.push_back({zd, az, rar, decr});
    }
    // Warm: several objects per instant and site, sites and instants interleaved, and each
    // case again with refraction; every result is bit for bit the cold one.
    ResetHorizonCache();
    for (size_t i = 0; i + 1 < cases.size(); i += 2) {
        for (size_t k : {i, i + 1, i, i + 1}) {
            const HorizonCase& c = cases[k];
            const SiteInfo site{c.latitude, c.longitude, 0.0, 10.0, 1010.0};
            double zd, az = -1, rar, decr;
            EquToHor(c.jd, c.deltaT, 0, 0, site, c.ra, c.dec, kRefractionNone, &zd, &az, &rar, &decr);
            EXPECT_EQ(zd, cold[k][0]);
            EXPECT_EQ(az, cold[k][1]);
            // The same instant and site, another object, then the original again.
            EquToHor(c.jd, c.deltaT, 0, 0, site, 1.0, 2.0, kRefractionSite, &zd, &az, &rar, &decr);
            EquToHor(c.jd, c.deltaT, 0, 0, site, c.ra, c.dec, kRefractionNone, &zd, &az, &rar, &decr);
            EXPECT_EQ(zd, cold[k][0]);
        }
    }
    // Same instant, a site differing only in latitude, in longitude, or a different ΔT.
    const HorizonCase& c = cases[0];
    double zd1, zd2, az = 0, rar, decr;
    const SiteInfo a{c.latitude, c.longitude, 0, 10, 1010}, b{c.latitude + 1, c.longitude, 0, 10, 1010};
    EquToHor(c.jd, c.deltaT, 0, 0, a, c.ra, c.dec, kRefractionNone, &zd1, &az, &rar, &decr);
    EquToHor(c.jd, c.deltaT, 0, 0, b, c.ra, c.dec, kRefractionNone, &zd2, &az, &rar, &decr);
    EXPECT_NE(zd1, zd2);
    const SiteInfo e{c.latitude, c.longitude + 1, 0, 10, 1010};
    EquToHor(c.jd, c.deltaT, 0, 0, e, c.ra, c.dec, kRefractionNone, &zd2, &az, &rar, &decr);
    EXPECT_NE(zd1, zd2);
    EquToHor(c.jd, c.deltaT + 30, 0, 0, a, c.ra, c.dec, kRefractionNone, &zd2, &az, &rar, &decr);
    EXPECT_NE(zd1, zd2);
}

TEST_F(HorizontalTest, RefractionTable) {
    // 1010 mb and 10 °C at sea level: true zenith distance -> observed zenith distance.
    struct Case {
        double trueZd, observedZd, tolerance;
    };
    const Case cases[] = {{90.0, 89.518, 0.001}, {80.0, 79.911, 0.001}, {45.0, 44.983, 0.001},
                          {0.05, 0.05, 1e-9}, {91.5, 91.5, 1e-9}};
    for (int option : {kRefractionSite, kRefractionStandard}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << option << " " << c.trueZd);
            const MeridianSetup m = OnMeridian(c.trueZd, 1010.0, 10.0);
            double zd, az = 0, rar, decr;
            EquToHor(m.jd, m.deltaT, 0, 0, m.site, m.ra, m.dec, kRefractionNone, &zd, &az, &rar, &decr);
            ASSERT_NEAR(zd, c.trueZd, 1e-6);
            EquToHor(m.jd, m.deltaT, 0, 0, m.site, m.ra, m.dec, option, &zd, &az, &rar, &decr);
            EXPECT_NEAR(zd, c.observedZd, c.tolerance);
            if (c.trueZd == c.observedZd) {
                EXPECT_EQ(rar, m.ra);
                EXPECT_EQ(decr, m.dec);
            } else {
                // The refracted place, put through again unrefracted, is where it was seen.
                double zd2, az2 = 0, rar2, decr2;
                EquToHor(m.jd, m.deltaT, 0, 0, m.site, rar, decr, kRefractionNone, &zd2, &az2, &rar2, &decr2);
                EXPECT_NEAR(zd2, zd, 1e-9);
                EXPECT_NEAR(AzimuthDifference(az2, az), 0.0, 1e-9);
            }
        }
    }
    const SiteInfo seaLevel{0, 0, 0, 10.0, 1010.0};
    EXPECT_NEAR(RefractionAngle(seaLevel, kRefractionSite, 89.518) * 60.0, 28.9, 0.05);
    EXPECT_NEAR(RefractionAngle(seaLevel, kRefractionSite, 79.911) * 60.0, 5.34, 0.01);
    EXPECT_NEAR(RefractionAngle(seaLevel, kRefractionSite, 44.983) * 60.0, 0.99, 0.01);
    // The standard atmosphere thins with height; the site's values are its own.
    const SiteInfo mountain{0, 0, 2000.0, 10.0, 1010.0};
    EXPECT_LT(RefractionAngle(mountain, kRefractionStandard, 80.0), RefractionAngle(seaLevel, kRefractionStandard, 80.0));
    EXPECT_EQ(RefractionAngle(mountain, kRefractionSite, 80.0), RefractionAngle(seaLevel, kRefractionSite, 80.0));
}

TEST_F(HorizontalTest, ImpossibleTemperaturesStayFinite) {
    for (double t : {-273.0, -500.0, -100.0}) {
        const MeridianSetup m = OnMeridian(90.0, 1013.0, t);
        EXPECT_TRUE(std::isfinite(RefractionAngle(m.site, kRefractionSite, 89.5)));
        double zd, az = 0, rar, decr;
        EquToHor(m.jd, m.deltaT, 0, 0, m.site, m.ra, m.dec, kRefractionSite, &zd, &az, &rar, &decr);
        EXPECT_TRUE(std::isfinite(zd));
        EXPECT_TRUE(std::isfinite(rar));
        EXPECT_TRUE(std::isfinite(decr));
        EXPECT_GT(zd, 88.0);
        EXPECT_LT(zd, 90.0);
    }
}

// A site and a local time, set in the global site record the way the site form does.
void SetSite(float latitude, float longitudeWest, int zoneMinutes) {
    observerLocation.latitude = latitude;
    observerLocation.longitude = longitudeWest;
    observerLocation.sinLatitude = std::sin(latitude * static_cast<float>(kDeg));
    observerLocation.cosLatitude = std::cos(latitude * static_cast<float>(kDeg));
    observerLocation.zoneMinutes = static_cast<std::int16_t>(zoneMinutes);
    observerLocation.height = 200;
    observerLocation.temperature = 10;
    observerLocation.pressure = 1010;
}

struct Seen {
    double ra, dec, alt, az;
};

Seen See(double ra, double dec, int mode, int year, int month, int day, int hour) {
    Seen s{-1, -1, -999, -999};
    ComputeApparentPosition(ra, dec, &s.ra, &s.dec, &s.alt, &s.az, mode, year, month, day, hour, 30, 0);
    return s;
}

TEST_F(HorizontalTest, ModesOnOneStar) {
    SetSite(48.2f, -16.4f, 60);  // 16.4 degrees east, an hour ahead of UT
    const double ra = 6.75248, dec = -16.7161;  // Sirius, J2000.0
    const int y = 2021, mo = 2, d = 14, h = 21;

    const Seen none = See(ra, dec, kModeNone, y, mo, d, h);
    const Seen geo = See(ra, dec, kModeGeocentric, y, mo, d, h);
    const Seen geoRefr = See(ra, dec, kModeGeocentricRefracted, y, mo, d, h);
    const Seen topo = See(ra, dec, kModeTopocentric, y, mo, d, h);
    const Seen topoRefr = See(ra, dec, kModeTopocentricRefracted, y, mo, d, h);
    EXPECT_EQ(apparentSite.longitude, 16.4f);  // the pipeline counts east
    EXPECT_EQ(apparentSite.height, 200.0);

    // Mode -1 takes the place as of date and hands it back.
    EXPECT_EQ(none.ra, ra);
    EXPECT_EQ(none.dec, dec);
    // Mode 0 is precession and nutation of the date in TT.
    const double deltaT = GetDeltaT(y, mo, d);
    const double jd = DateTimeToJD(y, mo, d, h, 30, 0, 60) + deltaT / 86400.0;
    double pra = ra, pdec = dec;
    PrecessToDate(jd, &pra, &pdec);
    EXPECT_EQ(geo.ra, pra);
    EXPECT_EQ(geo.dec, pdec);
    EXPECT_GT(SeparationArcsec(geo.ra, geo.dec, ra, dec), 600.0);  // 21 years of precession
    // Its altitude is the horizon of that place.
    double zd, az = 0, rar, decr;
    EquToHor(jd, deltaT, 0, 0, apparentSite, pra, pdec, kRefractionNone, &zd, &az, &rar, &decr);
    EXPECT_EQ(geo.alt, 90.0 - zd);
    EXPECT_EQ(geo.az, az);
    EXPECT_GT(geo.alt, 10.0);  // Sirius well up on a February evening
    // Refraction lifts the object and hands back the refracted place.
    EXPECT_NEAR(geoRefr.alt - geo.alt, RefractionAngle(apparentSite, kRefractionSite, 90.0 - geoRefr.alt), 1e-4);
    EXPECT_GT(geoRefr.alt - geo.alt, 0.02);
    EXPECT_EQ(geoRefr.az, geo.az);
    EXPECT_GT(SeparationArcsec(geoRefr.ra, geoRefr.dec, geo.ra, geo.dec), 60.0);
    // Topocentric: the full pipeline adds aberration (up to about 20") to mode 0.
    const double aberration = SeparationArcsec(topo.ra, topo.dec, geo.ra, geo.dec);
    EXPECT_GT(aberration, 5.0);
    EXPECT_LT(aberration, 21.0);
    EXPECT_NEAR(topoRefr.alt - topo.alt, RefractionAngle(apparentSite, kRefractionSite, 90.0 - topoRefr.alt), 1e-4);
    for (const Seen& s : {geo, geoRefr, topo, topoRefr}) {
        EXPECT_GE(s.ra, 0.0);
        EXPECT_LT(s.ra, 24.0);
        EXPECT_GE(s.az, 0.0);
        EXPECT_LT(s.az, 360.0);
    }
    // Modes outside -1..3 are the nearest mode.
    const Seen high = See(ra, dec, 7, y, mo, d, h);
    EXPECT_EQ(high.ra, topoRefr.ra);
    EXPECT_EQ(high.alt, topoRefr.alt);
    const Seen low = See(ra, dec, -4, y, mo, d, h);
    EXPECT_EQ(low.ra, none.ra);
    EXPECT_EQ(low.alt, none.alt);
}

TEST_F(HorizontalTest, ModeNoneCarriesAPlanetsApparentPlace) {
    // Planets arrive already apparent: mode -1 must only add the horizon.
    SetSite(-33.9f, -151.2f, 600);
    const int y = 1992, mo = 12, d = 20, h = 20;
    const double deltaT = GetDeltaT(y, mo, d);
    const double jd = DateTimeToJD(y, mo, d, h, 30, 0, 600) + deltaT / 86400.0;
    SolarSystemBody venus, earth;
    SetBody(0, kVenus, "Venus", &venus);
    SetBody(0, kEarth, "Earth", &earth);
    double ra, dec, distance, d1, d2;
    ASSERT_EQ(AppPlanet(jd, venus, earth, &ra, &dec, &distance, &d1, &d2), 0);
    const Seen none = See(ra, dec, kModeNone, y, mo, d, h);
    EXPECT_EQ(none.ra, ra);
    EXPECT_EQ(none.dec, dec);
    double zd, az = 0, rar, decr;
    const SiteInfo site{-33.9f, 151.2f, 200.0, 10.0, 1010.0};
    EquToHor(jd, deltaT, 0, 0, site, ra, dec, kRefractionNone, &zd, &az, &rar, &decr);
    EXPECT_NEAR(none.alt, 90.0 - zd, 1e-12);
    EXPECT_NEAR(none.az, az, 1e-12);
    EXPECT_GT(none.alt, 0.0);  // Venus in the evening sky
}

TEST_F(HorizontalTest, TopocentricModesFallBackOutsideTheEphemeris) {
    SetSite(52.0f, 0.0f, 0);
    const double ra = 5.5, dec = 20.0;
    for (int year : {1650, 2350}) {
        SCOPED_TRACE(year);
        const Seen geo = See(ra, dec, kModeGeocentric, year, 1, 10, 22);
        const Seen geoRefr = See(ra, dec, kModeGeocentricRefracted, year, 1, 10, 22);
        const Seen topo = See(ra, dec, kModeTopocentric, year, 1, 10, 22);
        const Seen topoRefr = See(ra, dec, kModeTopocentricRefracted, year, 1, 10, 22);
        EXPECT_EQ(topo.ra, geo.ra);
        EXPECT_EQ(topo.dec, geo.dec);
        EXPECT_EQ(topo.alt, geo.alt);
        EXPECT_EQ(topo.az, geo.az);
        EXPECT_EQ(topoRefr.ra, geoRefr.ra);
        EXPECT_EQ(topoRefr.alt, geoRefr.alt);
        EXPECT_NE(topo.ra, 0.0);
        EXPECT_NE(topo.dec, 0.0);
        EXPECT_NE(topo.az, -999.0);  // written, not left stale
    }
    // Inside the range the topocentric place is the pipeline's, not the fallback.
    const Seen geo = See(ra, dec, kModeGeocentric, 2000, 1, 10, 22);
    const Seen topo = See(ra, dec, kModeTopocentric, 2000, 1, 10, 22);
    EXPECT_NE(topo.ra, geo.ra);
}

TEST_F(HorizontalTest, HorizonMatrixAgreesWithEquToHor) {
    SetSite(40.0f, 75.0f, -300);  // 75 degrees west, five hours behind UT
    const int y = 2015, mo = 6, d = 1, h = 22, mi = 15, s = 0;
    double M[9];
    HorizonMatrix(y, mo, d, h, mi, s, M);
    const double deltaT = 67.6;
    const double jdUt = DateTimeToJD(y, mo, d, h, mi, s, -300);
    const SiteInfo site{40.0, -75.0, 0.0, 10.0, 1010.0};
    for (const auto& place : {std::array<double, 2>{14.26, 19.18}, std::array<double, 2>{18.6, 38.8},
                              std::array<double, 2>{20.0, -10.0}}) {
        const double a = place[0] * 15.0 * kDeg, dd = place[1] * kDeg;
        const double v[3] = {std::cos(dd) * std::sin(a), std::cos(dd) * std::cos(a), std::sin(dd)};
        double w[3];
        for (int i = 0; i < 3; ++i) w[i] = M[i * 3] * v[0] + M[i * 3 + 1] * v[1] + M[i * 3 + 2] * v[2];
        const double alt = std::asin(w[2]) / kDeg;
        const double azimuth = std::atan2(-w[0], w[1]) / kDeg;
        double zd, az = 0, rar, decr;
        EquToHor(jdUt + deltaT / 86400.0, deltaT, 0, 0, site, place[0], place[1], kRefractionNone, &zd, &az, &rar, &decr);
        // Mean against apparent sidereal time: the equation of the equinoxes, under 20".
        EXPECT_NEAR(alt, 90.0 - zd, 20.0 / 3600.0);
        EXPECT_NEAR(AzimuthDifference(azimuth, az) * std::cos(alt * kDeg), 0.0, 20.0 / 3600.0);
    }
}

TEST_F(HorizontalTest, ArgumentFormsReadNoCurrentSiteOrDeltaT) {
    // With another site and Delta T current, the ...At forms give what the reading forms
    // give with theirs current.
    ObserverLocation site = MakeSite(-33.9f, -151.2f, 600, 40);
    site.temperature = -5;
    site.pressure = 990;
    const double deltaT = 71.5;
    const double ra = 6.75248, dec = -16.7161;
    observerLocation = site;
    observingDateTime.year = 2021;
    SetPreferenceFloat(pref::deltaTUser, static_cast<float>(deltaT));
    std::vector<Seen> expected;
    for (int mode = kModeNone; mode <= kModeTopocentricRefracted; ++mode)
        expected.push_back(See(ra, dec, mode, 2021, 2, 14, 21));
    double expectedMatrix[9];
    HorizonMatrix(2021, 2, 14, 21, 30, 0, expectedMatrix);

    SetSite(48.2f, -16.4f, 60);
    SetPreferenceFloat(pref::deltaTUser, 5.0f);
    for (int mode = kModeNone; mode <= kModeTopocentricRefracted; ++mode) {
        Seen s{-1, -1, -999, -999};
        ComputeApparentPositionAt(site, deltaT, ra, dec, &s.ra, &s.dec, &s.alt, &s.az, mode, 2021, 2, 14, 21, 30, 0);
        const Seen& e = expected[mode - kModeNone];
        EXPECT_EQ((std::vector<double>{s.ra, s.dec, s.alt, s.az}), (std::vector<double>{e.ra, e.dec, e.alt, e.az}))
            << mode;
    }
    double M[9];
    HorizonMatrixAt(site, 2021, 2, 14, 21, 30, 0, M);
    EXPECT_EQ(std::vector<double>(M, M + 9), std::vector<double>(expectedMatrix, expectedMatrix + 9));
}

}  // namespace
