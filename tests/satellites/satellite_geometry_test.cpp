#include "satellites/satellite_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/calendar.h"
#include "satellites/satellite_fixture.h"
#include "satellites/sgp.h"
#include "satellites/sgp4.h"

namespace {

constexpr double kRad = 57.29577951308232;

double AngleDifference(double a, double b) {
    const double d = std::fmod(std::fabs(a - b), 360.0);
    return d > 180.0 ? 360.0 - d : d;
}

void SetCurrentRecord(const std::string& line1, const std::string& line2) {
    currentSatelliteRecord = MakeSatelliteRecord(line1, line2);
}

// The full position at a UT Julian day (the site's zone offset is 0 in these tests).
int PositionAt(double jd, TleElements* elements) {
    int y, mo, d, h, mi, s;
    JDToDate(jd, &y, &mo, &d, &h, &mi, &s);
    return ComputeSatellitePosition(y, mo, d, h, mi, s, elements);
}

TEST(SatelliteGeometry, GreenwichSiderealAngleAtJ2000) {
    EXPECT_NEAR(GreenwichSiderealAngle(2451545.0) * kRad, 280.46061837, 1e-7);
}

// Against python3-ephem: from 5 days out both sides run SGP4 (the full position); nearer
// the epoch the look angles and sub-point run SGP against the reference's SGP4.
TEST(SatelliteGeometry, LookAnglesSubpointAndShadowMatchTheReference) {
    const ObserverReference& ref = ReadObserverReference();
    ASSERT_GE(ref.looks.size(), 40u);
    int shadowCompared = 0;
    for (const LookRow& row : ref.looks) {
        SCOPED_TRACE(row.set + " " + row.site + " " + std::to_string(row.jd));
        PlaceObserver(ref.Site(row.site));
        TleElements el = ref.Elements(row.set);
        const bool far = std::fabs(row.jd - el.epochJD) >= kSgp4FromDays;
        const double angleTolerance = far ? 0.05 : 0.3;
        const double kmTolerance = far ? 1.0 : 3.0;
        if (far) {
            const std::array<std::string, 2> lines = ref.Lines(row.set);
            SetCurrentRecord(lines[0], lines[1]);
            ASSERT_EQ(PositionAt(row.jd, &el), kSatelliteComputed);
        } else {
            ASSERT_EQ(ComputeSatelliteLookAngles(row.jd, &el), kSatelliteComputed);
            ASSERT_EQ(ComputeSatelliteSubpoint(row.jd, &el), kSatelliteComputed);
        }
        EXPECT_NEAR(el.julianDay, row.jd, 1e-8);
        EXPECT_LT(AngleDifference(el.azimuth, row.azimuth), angleTolerance / std::cos(row.elevation / kRad));
        EXPECT_NEAR(el.elevation, row.elevation, angleTolerance);
        EXPECT_NEAR(el.range, row.range, kmTolerance);
        EXPECT_NEAR(el.subLatitude, row.subLatitude, angleTolerance);
        EXPECT_LT(AngleDifference(el.subLongitude, row.subLongitudeWest), angleTolerance);
        EXPECT_NEAR(el.height, row.height, kmTolerance);
        if (std::fabs(row.umbraDepth) > 0.5) {
            ++shadowCompared;
            EXPECT_EQ(IsSatelliteEclipsed(row.jd, &el), row.eclipsed) << "umbra depth " << row.umbraDepth;
        }
    }
    EXPECT_GT(shadowCompared, 20);
}

// A synthetic epoch at 12:00:00 UT exactly, so that whole-second clock times land on the
// switch between the propagators.
TEST(SatelliteGeometry, FullPositionSwitchesToSgp4FromFiveDays) {
    const ObserverReference& ref = ReadObserverReference();
    PlaceObserver(ref.Site("london"));
    const std::array<std::string, 2> lines = ref.Lines("circ2000");
    SetCurrentRecord(lines[0], lines[1]);
    const TleElements reference = ref.Elements("circ2000");
    struct Case {
        double days;
        bool sgp4;
    };
    for (const Case& c : {Case{4.99, false}, Case{-4.99, false}, Case{5.0, true}, Case{-5.0, true}}) {
        TleElements el;
        ASSERT_EQ(PositionAt(reference.epochJD + c.days, &el), kSatelliteComputed);
        const double tsince = satPosition.magnitude;  // the views read tsince from here
        EXPECT_NEAR(tsince, c.days * 1440.0, 1e-4) << c.days;
        SatVector p, v;
        if (c.sgp4) PropagateSgp4(tsince, &p, &v, el);
        else PropagateSgp(tsince, &p, &v, el);
        EXPECT_DOUBLE_EQ(satPosition.x, p.x * kSatEarthRadiusKm) << c.days;
        EXPECT_DOUBLE_EQ(satVelocity.z, v.z * 106.30225) << c.days;
        EXPECT_NEAR(satVelocity.magnitude, std::sqrt(DotProduct(satVelocity, satVelocity)), 1e-12);
    }
}

// A site on the equator at 0 longitude, and points placed around it.
struct EquatorSite {
    double jd = 2454730.5;
    GeodeticPoint site;
    SatVector position, velocity;
    EquatorSite() { ComputeObserverState(jd, &site, &position, &velocity); }
    SatVector Up(double km) const {
        const double k = 1.0 + km / position.magnitude;
        return {position.x * k, position.y * k, position.z * k, 0.0};
    }
};

TEST(SatelliteGeometry, LookAnglesOverheadFarSideAndDueWest) {
    EquatorSite e;
    const SatVector still{};
    LookAngles look;
    EXPECT_EQ(ComputeLookAngles(e.jd, e.Up(400.0), still, &e.site, &look), 1);
    EXPECT_NEAR(look.elevation * kRad, 90.0, 1e-9);
    EXPECT_NEAR(look.range, 400.0, 1e-9);
    EXPECT_TRUE(std::isfinite(look.azimuth));

    const SatVector farSide{-e.Up(400.0).x, -e.Up(400.0).y, -e.Up(400.0).z, 0.0};
    EXPECT_EQ(ComputeLookAngles(e.jd, farSide, still, &e.site, &look), 0);
    EXPECT_LT(look.elevation, 0.0);

    // 500 km along the local west, 100 km up.
    const double theta = e.site.siderealAngle;
    SatVector west = e.Up(100.0);
    west.x += 500.0 * std::sin(theta);
    west.y -= 500.0 * std::cos(theta);
    EXPECT_EQ(ComputeLookAngles(e.jd, west, still, &e.site, &look), 1);
    EXPECT_NEAR(look.azimuth * kRad, 270.0, 1e-9);

    // The line of sight of the overhead point is the site's own direction.
    ComputeLineOfSight(e.jd, e.Up(400.0), still, &e.site, &look);
    EXPECT_NEAR(look.azimuth, e.position.x / e.position.magnitude, 1e-12);
    EXPECT_NEAR(look.elevation, e.position.y / e.position.magnitude, 1e-12);
    EXPECT_NEAR(look.range, 0.0, 1e-12);
}

TEST(SatelliteGeometry, SubpointOverNinetyEastReadsMinusNinety) {
    const double jd = 2454730.5;
    const double theta = GreenwichSiderealAngle(jd) + kSatTwoPi / 4.0;
    const double r = kSatEarthRadiusKm + 400.0;
    GeodeticPoint sub;
    ComputeSubpoint(jd, {r * std::cos(theta), r * std::sin(theta), 0.0, 0.0}, &sub);
    EXPECT_NEAR(sub.longitude * kRad, -90.0, 1e-9);
    EXPECT_NEAR(sub.latitude, 0.0, 1e-12);
    EXPECT_NEAR(sub.height, 400.0, 1e-9);

    // Over the pole: no division by cos(latitude) = 0.
    ComputeSubpoint(jd, {0.0, 0.0, 7000.0, 0.0}, &sub);
    EXPECT_NEAR(sub.latitude * kRad, 90.0, 1e-9);
    EXPECT_NEAR(sub.height, 7000.0 - 6356.75, 0.01);
}

TEST(SatelliteGeometry, EarthShadow) {
    SatVector sun;
    ComputeSunVector(2454730.5, &sun);
    EXPECT_NEAR(sun.magnitude / 149597870.691, 1.0, 0.02);
    const double u[3] = {-sun.x / sun.magnitude, -sun.y / sun.magnitude, -sun.z / sun.magnitude};
    const double r400 = kSatEarthRadiusKm + 400.0;
    const SatVector behind{u[0] * r400, u[1] * r400, u[2] * r400, 0.0};
    double depth = 0.0;
    EXPECT_EQ(IsInEarthShadow(behind, sun, &depth), 1);
    EXPECT_GT(depth, 0.0);

    // 40000 km out, 10 degrees from the anti-Sun direction (turned about the pole axis
    // of the frame, which is never along the Sun).
    const double perp[3] = {-u[1], u[0], 0.0};
    const double pn = std::hypot(perp[0], perp[1]);
    const double c = std::cos(10.0 / kRad), s = std::sin(10.0 / kRad);
    SatVector far;
    far.x = 40000.0 * (c * u[0] + s * perp[0] / pn);
    far.y = 40000.0 * (c * u[1] + s * perp[1] / pn);
    far.z = 40000.0 * (c * u[2]);
    EXPECT_EQ(IsInEarthShadow(far, sun, &depth), 0);

    // Inside the Earth and at its centre: clamped, no NaN result.
    EXPECT_EQ(IsInEarthShadow({u[0] * 100.0, u[1] * 100.0, u[2] * 100.0, 0.0}, sun, &depth), 1);
    EXPECT_EQ(IsInEarthShadow({}, sun, nullptr), 0);

    SatVector scaled;
    ScaleVector(-2.0, {1.0, 2.0, 3.0, 4.0}, &scaled);
    EXPECT_EQ(scaled.x, -2.0);
    EXPECT_EQ(scaled.z, -6.0);
    EXPECT_EQ(scaled.magnitude, 8.0);
}

TEST(SatelliteGeometry, SiteHeightChangesOnlyTheQuickLookAngles) {
    const ObserverReference& ref = ReadObserverReference();
    ObserverSite site = ref.Site("london");
    const std::array<std::string, 2> lines = ref.Lines("iss");
    SetCurrentRecord(lines[0], lines[1]);
    TleElements el = ref.Elements("iss");
    const double jd = el.epochJD + 6.0;
    double quick[2], full[2];
    for (int i = 0; i < 2; ++i) {
        site.heightMetres = i == 0 ? 0.0 : 3000.0;
        PlaceObserver(site);
        ASSERT_EQ(ComputeSatelliteLookAngles(jd, &el), kSatelliteComputed);
        quick[i] = el.range;
        ASSERT_EQ(PositionAt(jd, &el), kSatelliteComputed);
        full[i] = el.range;
    }
    EXPECT_GT(std::fabs(quick[1] - quick[0]), 0.5);
    EXPECT_EQ(full[1], full[0]);
}

// Sets the propagators cannot take: refused before any propagation (nothing written), or
// no position at that instant (nothing written either).
TEST(SatelliteGeometry, RefusedAndDecayedSetsLeaveTheResults) {
    const ObserverReference& ref = ReadObserverReference();
    PlaceObserver(ref.Site("london"));
    struct Case {
        const char* line1;
        const char* line2;
        double days;
        int status;
        const char* text;
    };
    const Case cases[] = {
        // Two revolutions a day: a 12-hour orbit.
        {"1 90003U 08001A   08264.50000000  .00000000  00000-0  00000-0 0  9993",
         "2 90003  63.4000 200.0000 7000000 270.0000   0.0000  2.00000000    11", 1.0, kSatelliteDeepSpace,
         kDeepSpaceText},
        // 18 revolutions a day is past what the near-Earth models take.
        {"1 90004U 08001A   08264.50000000  .00000000  00000-0  00000-0 0  9994",
         "2 90004  51.6000 200.0000 0001000   0.0000   0.0000 18.00000000    19", 1.0, kSatelliteInvalid,
         kInvalidElementsText},
        // The report's set, its drag run on for 1000 days.
        {kStr3Line1, kStr3Line2, 1000.0, kSatelliteDecayed, kDecayedText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line2);
        TleElements el = ConvertLines(c.line1, c.line2);
        el.elevation = el.height = el.julianDay = 12.5;
        const double jd = el.epochJD + c.days;
        EXPECT_EQ(ComputeSatelliteLookAngles(jd, &el), c.status);
        EXPECT_EQ(ComputeSatelliteSubpoint(jd, &el), c.status);
        int status = -1;
        EXPECT_EQ(IsSatelliteEclipsed(jd, &el, &status), 0);
        EXPECT_EQ(status, c.status);
        currentSatelliteRecord = MakeSatelliteRecord(c.line1, c.line2);
        if (c.status != kSatelliteDecayed) {
            EXPECT_EQ(PositionAt(jd, &el), c.status);
        }
        EXPECT_EQ(el.elevation, 12.5);
        EXPECT_EQ(el.height, 12.5);
        EXPECT_EQ(el.julianDay, 12.5);
        EXPECT_STREQ(SatelliteStatusText(c.status), c.text);
    }
    EXPECT_EQ(SatelliteStatusText(kSatelliteComputed), nullptr);
}

}  // namespace
