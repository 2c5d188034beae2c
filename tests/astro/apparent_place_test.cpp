#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "astro/apparent_place.h"
#include "astro/apparent_place_internal.h"
#include "astro/horizontal.h"
#include "astro/precession_nutation.h"
#include "astro/precession_nutation_internal.h"
#include "core/angle_units.h"
#include "support/fixture_files.h"

namespace {

using test_units::kArcsec;
using test_units::kDeg;

double Norm(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

SolarSystemBody Body(int number, const char* name) {
    SolarSystemBody b;
    EXPECT_EQ(SetBody(0, number, name, &b), 0);
    return b;
}

class ApparentPlaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetAstrometryCaches();
        ResetApparentPlaceCaches();
        earth = Body(kEarth, "Earth");
    }
    SolarSystemBody earth;
};

CatalogStar ThetaPersei() {
    CatalogStar star{};
    std::strcpy(star.starName, "theta Per");
    star.ra = Hms(2, 44, 11.986);
    star.dec = Dms(49, 13, 42.48);
    star.pmRa = 3.425;   // s per century
    star.pmDec = -8.95;  // arc seconds per century
    return star;
}

TEST_F(ApparentPlaceTest, ThetaPerseiApparentPlace) {
    // Meeus 23.a: 2028 November 13.19 TD gives 2h46m14.390s, +49°21'07.45".
    double ra, dec;
    ASSERT_EQ(AppStar(2462088.69, earth, ThetaPersei(), &ra, &dec), 0);
    EXPECT_LT(SeparationArcsec(ra, dec, Hms(2, 46, 14.390), Dms(49, 21, 7.45)), 0.05);
}

TEST_F(ApparentPlaceTest, VenusApparentPlace) {
    // Meeus 33.a: 1992 December 20, 0h TD gives 21h04m41.454s, -18°53'16.84", 0.910947 AU.
    double ra, dec, distance, bodyDistance, earthSun;
    ASSERT_EQ(AppPlanet(2448976.5, Body(kVenus, "Venus"), earth, &ra, &dec, &distance, &bodyDistance, &earthSun), 0);
    EXPECT_LT(SeparationArcsec(ra, dec, Hms(21, 4, 41.454), Dms(-18, 53, 16.84)), 2.0);
    EXPECT_NEAR(distance, 0.910947, 2e-5);
    EXPECT_NEAR(bodyDistance, 0.7246, 0.01);  // 0.724603 AU from the Sun, measured from the barycentre
    EXPECT_NEAR(earthSun, 0.98382, 0.0001);
}

TEST_F(ApparentPlaceTest, EarthStateFollowsAnIndependentEphemeris) {
    int rows = 0;
    for (const std::vector<double>& row : ReadTaggedFixtureRows("astro/earth_horizon_erfa.txt", "earth")) {
        ASSERT_GE(row.size(), 13u);
        const double jd = row[0];
        const double* want = &row[1];
        double helio[3], helioVel[3], bary[3], baryVel[3];
        ASSERT_EQ(SolarSystemEphemeris(jd, kEarth, 1, helio, helioVel), 0);
        ASSERT_EQ(SolarSystemEphemeris(jd, kEarth, 0, bary, baryVel), 0);
        for (int i = 0; i < 3; ++i) {
            // The small solar series is good to some 1e-5 AU.
            EXPECT_NEAR(helio[i], want[i], 5e-5) << jd;
            EXPECT_NEAR(helioVel[i], want[3 + i], 2e-6) << jd;
            EXPECT_NEAR(bary[i], want[6 + i], 1e-3) << jd;  // giants on circular orbits
            EXPECT_NEAR(baryVel[i], want[9 + i], 2e-6) << jd;
        }
        ++rows;
    }
    EXPECT_GT(rows, 20);
}

TEST_F(ApparentPlaceTest, SunAndBarycentre) {
    double pos[3], vel[3], bary[3], baryVel[3], earthHelio[3], earthHelioVel[3], earthBary[3], earthBaryVel[3];
    const double jd = 2460000.5;
    ASSERT_EQ(SolarSystemEphemeris(jd, kSun, 1, pos, vel), 0);
    EXPECT_EQ(Norm(pos), 0.0);
    EXPECT_EQ(Norm(vel), 0.0);
    ASSERT_EQ(SolarSystemEphemeris(jd, kSun, 0, bary, baryVel), 0);
    ASSERT_EQ(SolarSystemEphemeris(jd, kEarth, 1, earthHelio, earthHelioVel), 0);
    ASSERT_EQ(SolarSystemEphemeris(jd, kEarth, 0, earthBary, earthBaryVel), 0);
    EXPECT_GT(Norm(bary), 0.001);
    EXPECT_LT(Norm(bary), 0.02);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(earthBary[i] - earthHelio[i], bary[i], 1e-15);
}

TEST_F(ApparentPlaceTest, EphemerisRangeAndBodyCodes) {
    double pos[3], vel[3];
    EXPECT_EQ(SolarSystemEphemeris(2340000.5, kEarth, 0, pos, vel), 0);
    EXPECT_EQ(SolarSystemEphemeris(2560000.5, kMars, 0, pos, vel), 0);
    EXPECT_EQ(SolarSystemEphemeris(2340000.4, kEarth, 0, pos, vel), 1);
    EXPECT_EQ(SolarSystemEphemeris(2560000.6, kEarth, 0, pos, vel), 1);
    EXPECT_EQ(SolarSystemEphemeris(std::nan(""), kEarth, 0, pos, vel), 1);
    // No theory here for the Moon and Pluto: an error, never the Sun's place.
    EXPECT_EQ(SolarSystemEphemeris(2451545.0, kPluto, 0, pos, vel), 2);
    EXPECT_EQ(SolarSystemEphemeris(2451545.0, kMoon, 0, pos, vel), 2);

    SolarSystemBody b;
    EXPECT_EQ(SetBody(0, 12, "X", &b), 2);
    EXPECT_EQ(b.type, 0);
    EXPECT_EQ(b.number, 0);
    EXPECT_EQ(SetBody(2, 1, "X", &b), 1);
    EXPECT_EQ(SetBody(1, 0, "X", &b), 2);
    EXPECT_EQ(b.type, 1);
    EXPECT_EQ(SetBody(1, 433, "Eros", &b), 0);
    EXPECT_EQ(BodyEphemeris(2451545.0, b, 0, pos, vel), 29);
    EXPECT_EQ(BodyEphemeris(2451545.0, earth, 2, pos, vel), 1);
    b.type = 5;
    EXPECT_EQ(BodyEphemeris(2451545.0, b, 0, pos, vel), 2);
    EXPECT_EQ(BodyEphemeris(2451545.0, Body(kPluto, "Pluto"), 0, pos, vel), 12);
    EXPECT_EQ(BodyEphemeris(1e6, earth, 0, pos, vel), 11);

    // Out of range: zeroed places and the codes of each entry point.
    const SiteInfo site{50.0, 10.0, 300.0, 10.0, 1010.0};
    const SolarSystemBody venus = Body(kVenus, "Venus");
    double ra = 5, dec = 5, distance = 5, d1 = 5, d2 = 5;
    EXPECT_EQ(AppPlanet(2300000.5, venus, earth, &ra, &dec, &distance, &d1, &d2), 11);
    EXPECT_EQ((std::array<double, 5>{ra, dec, distance, d1, d2}), (std::array<double, 5>{}));
    ra = dec = distance = d1 = d2 = 5;
    EXPECT_EQ(TopoPlanet(2600000.5, venus, earth, 60.0, site, &ra, &dec, &distance, &d1, &d2), 11);
    EXPECT_EQ((std::array<double, 5>{ra, dec, distance, d1, d2}), (std::array<double, 5>{}));
    ra = dec = 5;
    EXPECT_EQ(AppStar(2300000.5, earth, ThetaPersei(), &ra, &dec), 1);
    EXPECT_EQ(ra, 0.0);
    EXPECT_EQ(dec, 0.0);
    ra = dec = 5;
    EXPECT_EQ(TopoStar(2600000.5, earth, 60.0, ThetaPersei(), site, &ra, &dec), 1);
    EXPECT_EQ(ra, 0.0);
    EXPECT_EQ(dec, 0.0);
    // A failed Earth state is retried, not kept.
    EXPECT_EQ(AppStar(2462088.69, earth, ThetaPersei(), &ra, &dec), 0);
    EXPECT_GT(ra, 2.7);
}

TEST_F(ApparentPlaceTest, TheEarthFromItsOwnCentreIsFiniteAndTheSiteSeesItBelow) {
    double ra = 5, dec = 5, distance = 5, bodyDistance, earthSun;
    ASSERT_EQ(AppPlanet(2451545.0, earth, earth, &ra, &dec, &distance, &bodyDistance, &earthSun), 0);
    EXPECT_EQ(ra, 0.0);
    EXPECT_EQ(dec, 0.0);
    EXPECT_EQ(distance, 0.0);
    EXPECT_NEAR(bodyDistance, earthSun, 0.01);
    // From a site at +50 degrees the Earth's centre lies at declination about -50.
    const SiteInfo site{50.0, 10.0, 0.0, 10.0, 1010.0};
    double observerDistance;
    ASSERT_EQ(TopoPlanet(2451545.0, earth, earth, 64.0, site, &ra, &dec, &distance, &bodyDistance, &observerDistance), 0);
    EXPECT_NEAR(dec, -50.0, 0.3);
    EXPECT_NEAR(distance * 1.495978707e8, 6366.0, 5.0);
}

TEST_F(ApparentPlaceTest, TopocentricParallaxOfVenus) {
    // The site's displacement moves a body by 8.794"/distance × sin(zenith distance), away
    // from the zenith; a star (at infinity) barely moves. Checked at a site far east, so
    // that a longitude taken with the wrong sign puts the site elsewhere.
    const double jd = 2448976.75;
    const double deltaT = 59.0;
    const SiteInfo site{-33.9, 151.2, 0.0, 10.0, 1010.0};
    const SolarSystemBody venus = Body(kVenus, "Venus");
    double ra, dec, distance, d1, d2, tra, tdec, tdistance, t1, t2;
    ASSERT_EQ(AppPlanet(jd, venus, earth, &ra, &dec, &distance, &d1, &d2), 0);
    ASSERT_EQ(TopoPlanet(jd, venus, earth, deltaT, site, &tra, &tdec, &tdistance, &t1, &t2), 0);
    double zd, az = 0, rar, decr;
    EquToHor(jd, deltaT, 0, 0, site, ra, dec, kRefractionNone, &zd, &az, &rar, &decr);
    double tzd, taz = 0;
    EquToHor(jd, deltaT, 0, 0, site, tra, tdec, kRefractionNone, &tzd, &taz, &rar, &decr);
    const double parallax = 8.794 / distance * std::sin(zd * kDeg);
    ASSERT_GT(parallax, 3.0);  // a useful geometry, not near the zenith
    EXPECT_NEAR((tzd - zd) * 3600.0, parallax, 0.4);
    EXPECT_NEAR(SeparationArcsec(ra, dec, tra, tdec), parallax, 0.4);
    EXPECT_NEAR(tdistance, distance, 5e-4);  // geometric, against light-time corrected

    double sra, sdec, tsra, tsdec;
    ASSERT_EQ(AppStar(jd, earth, ThetaPersei(), &sra, &sdec), 0);
    ASSERT_EQ(TopoStar(jd, earth, deltaT, ThetaPersei(), site, &tsra, &tsdec), 0);
    EXPECT_LT(SeparationArcsec(sra, sdec, tsra, tsdec), 0.33);  // diurnal aberration only
}

TEST(ApparentPlaceSteps, DeflectionAberrationAndDistantStars) {
    // Light passing at 90 degrees from the Sun, seen from 1 AU, is bent by 4.07 mas away
    // from the Sun; straight toward or away from it, not at all.
    const double e[3] = {1.0, 0.0, 0.0};  // observer's heliocentric position
    const double p[3] = {0.0, 1e6, 0.0};
    double out[3];
    SolarDeflection(p, e, out);
    EXPECT_NEAR(std::atan2(out[0], out[1]) / kArcsec, 0.00407, 0.00005);
    for (const auto& q : {std::array<double, 3>{-1e6, 0, 0}, std::array<double, 3>{1e6, 0, 0}}) {
        SolarDeflection(q.data(), e, out);
        EXPECT_EQ((std::array<double, 3>{out[0], out[1], out[2]}), q);
    }

    // 29.78 km/s across the line of sight: 20.49" of aberration toward the motion.
    const double v[3] = {29.78 * 0.0005775483300664642, 0.0, 0.0};
    const double star[3] = {0.0, 0.0, 1e9};
    ApplyAberration(star, v, 0.0, out);
    EXPECT_NEAR(std::atan2(out[0], out[2]) / kArcsec, 20.49, 0.01);
    const double still[3] = {0, 0, 0};
    ApplyAberration(star, still, 0.0, out);
    EXPECT_EQ(out[2], star[2]);

    // Parallax 0: 2.06e12 AU away, and still moved by its proper motion.
    CatalogStar s{};
    s.ra = 6.0;
    s.dec = 20.0;
    s.pmDec = 100.0;  // arc seconds per century
    double pos[3], vel[3], moved[3];
    StarToVectors(s, pos, vel);
    EXPECT_NEAR(Norm(pos), 206264.80624709636 / 1e-7, 1.0);
    ApplyProperMotion(2451545.0, pos, vel, 2451545.0 + 36525.0, moved);
    double ra, dec;
    ASSERT_EQ(VectorToRaDec(moved, &ra, &dec), 0);
    EXPECT_NEAR((dec - 20.0) * 3600.0, 100.0, 1e-3);
    EXPECT_NEAR(ra, 6.0, 1e-12);

    const double zero[3] = {0, 0, 0}, up[3] = {0, 0, 2}, down[3] = {0, 0, -1};
    EXPECT_EQ(VectorToRaDec(zero, &ra, &dec), 1);
    EXPECT_EQ(dec, 0.0);
    EXPECT_EQ(VectorToRaDec(up, &ra, &dec), 2);
    EXPECT_EQ(dec, 90.0);
    EXPECT_EQ(VectorToRaDec(down, &ra, &dec), 2);
    EXPECT_EQ(dec, -90.0);
}

TEST(ApparentPlaceSteps, SiderealTimeEqualsErfa) {
    int rows = 0;
    for (const std::vector<double>& row : ReadTaggedFixtureRows("astro/nutation_precession_erfa.txt", "date")) {
        ASSERT_GE(row.size(), 6u);
        const double jd = row[0], gmst = row[5];
        double gst;
        SiderealTimeOfJD(jd, 0.0, 0.0, &gst);
        double d = gst - gmst;
        if (d > 12) d -= 24;
        if (d < -12) d += 24;
        EXPECT_NEAR(d * 3600.0, 0.0, 1e-5) << jd;  // seconds of time
        // The same instant split differently.
        double split;
        SiderealTimeOfJD(std::floor(jd), jd - std::floor(jd), 0.0, &split);
        EXPECT_NEAR(split, gst, 1e-9);
        ++rows;
    }
    EXPECT_GT(rows, 200);
}

TEST_F(ApparentPlaceTest, CachedEarthStateEqualsAFreshOne) {
    const double jds[] = {2451545.0, 2451545.0 + 1e-7, 2460000.25, 2451545.0};
    std::vector<std::array<double, 2>> fresh;
    for (double jd : jds) {
        ResetApparentPlaceCaches();
        ResetAstrometryCaches();
        double ra, dec;
        ASSERT_EQ(AppStar(jd, earth, ThetaPersei(), &ra, &dec), 0);
        fresh.push_back({ra, dec});
    }
    ResetApparentPlaceCaches();
    for (size_t i = 0; i < std::size(jds); ++i) {
        double ra, dec;
        ASSERT_EQ(AppStar(jds[i], earth, ThetaPersei(), &ra, &dec), 0);
        EXPECT_EQ(ra, fresh[i][0]) << i;
        EXPECT_EQ(dec, fresh[i][1]) << i;
    }
    const long evaluations = apparentPlaceCache.earthEvaluations;
    double ra, dec;
    ASSERT_EQ(AppStar(jds[3], earth, ThetaPersei(), &ra, &dec), 0);
    EXPECT_EQ(apparentPlaceCache.earthEvaluations, evaluations);
}

// The Earth's state from the solar series: the outer two of the derivative's three places
// are turned from the middle one's terms, and must equal three places taken one by one.
// 8e-10 AU a day of velocity moves the aberration by 1e-6".
TEST_F(ApparentPlaceTest, EarthStateEqualsThreeSolarPlacesTakenOneByOne) {
    std::mt19937_64 rng(3111);
    std::uniform_real_distribution<double> day(kEphemerisFirstJD + 1.0, kEphemerisLastJD - 1.0);
    for (int i = 0; i < 2000; ++i) {
        const double jd = day(rng);
        double places[3][3];
        for (int k = 0; k < 3; ++k) {
            const double q = jd + (k - 1) * 0.1;
            double ra, dec, distance, v[3];
            SunEphemeris(q, &ra, &dec, &distance);
            RaDecToVector(ra, dec, distance, v);
            Precession(q, v, kJ2000, places[k]);
        }
        double pos[3], vel[3];
        ASSERT_EQ(SolarSystemEphemeris(jd, kEarth, 1, pos, vel), 0);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(pos[k], -places[1][k]) << jd;
            EXPECT_NEAR(vel[k], (places[0][k] - places[2][k]) * 5.0, 8e-10) << jd;
        }
    }
}

TEST_F(ApparentPlaceTest, OneInstantTakesTheSolarSeriesOnce) {
    const double jd = 2460000.3;
    double pos[3], vel[3];
    ASSERT_EQ(SolarSystemEphemeris(jd, kEarth, 0, pos, vel), 0);
    const long evaluations = apparentPlaceCache.earthSeriesEvaluations;
    double helioPos[3], helioVel[3];
    ASSERT_EQ(SolarSystemEphemeris(jd, kEarth, 1, helioPos, helioVel), 0);
    EXPECT_EQ(apparentPlaceCache.earthSeriesEvaluations, evaluations);
    ASSERT_EQ(SolarSystemEphemeris(jd + 1e-9, kEarth, 1, helioPos, helioVel), 0);
    EXPECT_EQ(apparentPlaceCache.earthSeriesEvaluations, evaluations + 1);
}

}  // namespace
