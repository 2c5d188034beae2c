// The sky matrix of the sky views: its build against the matrices multiplied here, its
// cache key, the projection of stars and records through it, and the orthographic view
// with its inverses.
#include <gtest/gtest.h>

#include <cmath>

#include "astro/fixed_trig.h"
#include "astro/horizontal.h"
#include "astro/precession_nutation.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "chart_fixture.h"
#include "core/calendar.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;

class SkyMatrixTest : public ChartTest {
protected:
    void Build(int flag) {
        const ObservingDateTime& t = observingDateTime;
        ASSERT_EQ(UpdateSkyForDate(flag, t.year, t.month, t.day, t.hour, t.minute, t.second, 1), 1);
    }
    double Lst() const {
        const ObservingDateTime& t = observingDateTime;
        return LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second, observerLocation.longitude,
                                 observerLocation.zoneMinutes);
    }
    static double Unit(std::int32_t v) { return v / double(kFixOne); }
    static double Angle(std::int32_t v) { return v / double(kFixOne) / kDeg; }
    // A view looking at (turn, tilt) in degrees, `scale` pixels to the sphere's radius.
    static SkyView View(double turn, double tilt, int scale = 100) {
        return SkyView{7, 11, 120, 160, scale, scale, DegreesToFixedAngle(turn), DegreesToFixedAngle(tilt)};
    }
};

TEST_F(SkyMatrixTest, FullMatrixIsHorizonTimesPrecessionTimesNutation) {
    const ObservingDateTime t{2031, 11, 3, 4, 17, 42};
    BuildSkyMatrix(t.year, t.month, t.day, t.hour, t.minute, t.second);
    const double jd = DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, t.second, observerLocation.zoneMinutes);
    double p[9], n[9], h[9];
    PrecessionMatrix(jd, p);
    NutationMatrix(jd, n);
    HorizonMatrix(t.year, t.month, t.day, t.hour, t.minute, t.second, h);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double m = 0.0;
            for (int k = 0; k < 3; ++k) {
                double pn = 0.0;
                for (int l = 0; l < 3; ++l) pn += p[3 * k + l] * n[3 * l + j];
                m += h[3 * i + k] * pn;
            }
            EXPECT_NEAR(chartMatrix.full[3 * i + j], m * kFixOne, 1.0) << i << j;
            EXPECT_NEAR(chartMatrix.horizon[3 * i + j], h[3 * i + j] * kFixOne, 1.0) << i << j;
        }
    }
    EXPECT_EQ(chartMatrix.row0[1], chartMatrix.full[1]) << "the full matrix is active";
    EXPECT_EQ(chartMatrix.row2[2], chartMatrix.full[8]);
    // pi - LST, into 0..2 pi.
    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second,
                                         observerLocation.longitude, observerLocation.zoneMinutes);
    double expected = 3.141592653589793 - lst * 15.0 * kDeg;
    if (expected < 0) expected += 2 * 3.141592653589793;
    EXPECT_NEAR(Unit(chartMatrix.piMinusLst), expected, 1e-6);
}

TEST_F(SkyMatrixTest, MatrixIsKeptForTheMinute) {
    LoadStars({{6.75f, -16.7f}});
    ASSERT_EQ(UpdateSkyForDate(1, 2024, 5, 10, 22, 30, 0, 0), 1) << "the key starts invalid";
    EXPECT_EQ(UpdateSkyForDate(1, 2024, 5, 10, 22, 30, 59, 0), 0) << "another second, the same minute";
    EXPECT_EQ(skyCacheKey.second, 0);
    EXPECT_EQ(UpdateSkyForDate(1, 2024, 5, 10, 22, 30, 59, 1), 1) << "force";
    EXPECT_EQ(skyCacheKey.second, 59);
    EXPECT_EQ(UpdateSkyForDate(1, 2024, 5, 10, 22, 31, 0, 0), 1) << "the next minute";
    EXPECT_EQ(UpdateSkyForDate(0, 2024, 5, 10, 22, 31, 0, 0), 1) << "another horizon flag";
    InvalidateSkyProjection();
    EXPECT_EQ(skyCacheKey.horizonFlag, -1);
    EXPECT_EQ(UpdateSkyForDate(0, 2024, 5, 10, 22, 31, 0, 0), 1);
    EXPECT_EQ(skyCacheKey.zoneMinutes, 60);

    // Another site within the same minute: a new horizon at once.
    ASSERT_EQ(UpdateSkyForDate(1, 2024, 5, 10, 22, 31, 0, 0), 1);
    const double here = BrightStars()[0].word[starword::skyZ];
    SetLatitude(observerLocation, observerLocation.latitude - 20.0f);
    EXPECT_EQ(UpdateSkyForDate(1, 2024, 5, 10, 22, 31, 0, 0), 1) << "another latitude";
    EXPECT_GT(std::abs(BrightStars()[0].word[starword::skyZ] - here), 0.01 * kFixOne);
    observerLocation.longitude += 15.0f;
    EXPECT_EQ(UpdateSkyForDate(1, 2024, 5, 10, 22, 31, 0, 0), 1) << "another longitude";
    EXPECT_EQ(UpdateSkyForDate(1, 2024, 5, 10, 22, 31, 0, 0), 0);
}

TEST_F(SkyMatrixTest, StarsAndRecordsTurnIntoTheHorizonFrame) {
    LoadStars({{6.75f, -16.7f}, {14.26f, 19.18f}, {18.62f, 38.78f}});
    Build(1);
    const double lst = Lst();
    // z is the sine of the altitude (of date, so within the precession since J2000.0).
    for (int i = 0; i < 3; ++i) {
        const StarRecord& s = BrightStars()[i];
        const double ra = Unit(s.word[starword::ra]) * 12.0 / 3.141592653589793;
        const double dec = Angle(s.word[starword::dec]);
        EXPECT_NEAR(Unit(s.word[starword::skyZ]), std::sin(ComputeAltitude(lst, ra, dec, observerLocation.latitude) * kDeg),
                    0.006)
            << i;
        EXPECT_NEAR(std::hypot(Unit(s.word[starword::planeP]), Unit(s.word[starword::planeQ]), Unit(s.word[starword::skyZ])),
                    1.0, 1e-5);
    }

    // A body's place is already of date: catalog code 45 goes through H alone.
    FillSelection({{14.26f, 19.18f}, {14.26f, 19.18f}});
    selectionList.records[1].catalogCode = 45;
    ProjectObjects(selectionList.records, 2);
    SelectHorizonOnlyMatrix();
    std::int32_t x, y, z;
    ProjectToChart(HoursToFixedAngle(14.26f), DegreesToFixedAngle(19.18f), &x, &y, &z);
    SelectFullSkyMatrix();
    EXPECT_EQ(selectionList.records[1].chartX, x);
    EXPECT_EQ(selectionList.records[1].chartY, y);
    EXPECT_NE(selectionList.records[0].chartX, x) << "the catalog place is precessed";
    EXPECT_EQ(chartMatrix.row1[2], chartMatrix.full[5]) << "the full rows are active again";
    // With horizon rows alone, z is the altitude of the place at the sidereal time.
    EXPECT_NEAR(Unit(z), std::sin(ComputeAltitude(lst, 14.26, 19.18, observerLocation.latitude) * kDeg), 2e-6);

    // In the equatorial view the vectors are the catalog's own.
    skyCacheKey.horizonFlag = 0;
    ProjectToChart(HoursToFixedAngle(6.0), 0, &x, &y, &z);
    EXPECT_NEAR(x, kFixOne, 8);
    EXPECT_NEAR(y, 0, 8);
}

TEST_F(SkyMatrixTest, ProjectingRecordsOnTheChartPlaneInvalidatesItsProjection) {
    FillSelection({{1.0f, 2.0f}});
    Build(1);
    for (int mode : {kChartModeSkyMap, kChartModeWholeSky}) {
        SetChartSetting(chartpref::chartType, mode);
        chartState.selectionProjected = 1;
        ProjectObjects(selectionList.records, 0);
        EXPECT_EQ(chartState.selectionProjected, mode == kChartModeSkyMap ? 0 : 1);
    }
    ProjectObjects(nullptr, 1);
}

// Taps on a view come back as the places that were drawn there, in both frames.
TEST_F(SkyMatrixTest, ViewTapsRoundTripInsideTheDisc) {
    Build(1);
    struct Place {
        double ra, dec;
    };
    const Place places[] = {{14.26, 19.18}, {13.0, 40.0}, {15.5, 5.0}, {12.2, 60.0}, {16.0, 30.0}};
    for (int flag : {0, 1}) {
        skyCacheKey.horizonFlag = flag;
        // Look at Arcturus: in the horizon frame by its turn angle (minus the azimuth).
        double turn = 14.26 * 15.0, tilt = 19.18;
        if (flag) {
            SelectHorizonOnlyMatrix();
            std::int32_t x, y, z;
            ProjectToChart(HoursToFixedAngle(14.26), DegreesToFixedAngle(19.18), &x, &y, &z);
            turn = std::atan2(double(x), double(y)) / kDeg;
            tilt = std::asin(Unit(z)) / kDeg;
        }
        const SkyView view = View(turn, tilt, 2000);
        for (const Place& place : places) {
            std::int32_t px, py;
            ASSERT_EQ(SkyViewProjectPoint(view, HoursToFixedAngle(place.ra), DegreesToFixedAngle(place.dec), &px, &py), 1)
                << flag << " " << place.ra;
            std::int32_t ra, dec;
            ASSERT_EQ(ScreenToSky(view, px, py, &ra, &dec), 1);
            // Within a pixel's worth of sky: 0.05 degree where the places lie, up to 45
            // degrees from the view's centre at 2000 pixels to the radius.
            const double lst = Lst();
            EXPECT_NEAR((Unit(ra) * 12.0 / 3.141592653589793 - place.ra) * 15.0 * std::cos(place.dec * kDeg), 0.0, 0.05)
                << flag << " " << place.ra;
            EXPECT_NEAR(Angle(dec), place.dec, 0.05) << flag << " " << place.dec;

            // The same tap as azimuth and altitude, in the coordinates of the view's window.
            std::int32_t azimuth, altitude;
            ASSERT_EQ(SkyViewPixelToAltAz(view, px + view.originX, py + view.originY, &azimuth, &altitude), 1);
            const double expectedAltitude = ComputeAltitude(lst, place.ra, place.dec, observerLocation.latitude);
            EXPECT_NEAR(Angle(altitude), expectedAltitude, 0.05);
            const double d = std::abs(Angle(azimuth) - ComputeAzimuth(lst, place.ra, place.dec, observerLocation.latitude));
            EXPECT_LT(std::min(d, 360.0 - d) * std::cos(expectedAltitude * kDeg), 0.05) << flag << " " << place.ra;
        }
        SelectFullSkyMatrix();
    }
}

TEST_F(SkyMatrixTest, TapsOutsideTheDiscLandOnItsRimAndTheFarSideIsNotDrawn) {
    Build(0);
    const SkyView view = View(90.0, 20.0);
    for (const auto& [x, y] : {std::pair{400, 160}, std::pair{120, -300}, std::pair{-50, 500}}) {
        std::int32_t ra, dec;
        ASSERT_EQ(ScreenToSky(view, x, y, &ra, &dec), 1);
        std::int32_t vx, vy, vz;
        ProjectToChart(ra, dec, &vx, &vy, &vz);
        // On the rim the point is a quarter turn from the view's centre: depth 0.
        std::int32_t ca, sa, ct, st;
        FixSinCos(view.turn, &ca, &sa);
        FixSinCos(view.tilt, &ct, &st);
        const double w = Unit(ca) * Unit(vy) + Unit(vx) * Unit(sa);
        EXPECT_NEAR(Unit(ct) * w + Unit(vz) * Unit(st), 0.0, 1e-5) << x << " " << y;
    }
    // The point opposite the centre is on the far side.
    std::int32_t px, py;
    EXPECT_EQ(SkyViewProjectPoint(view, HoursToFixedAngle(18.0), DegreesToFixedAngle(-20.0), &px, &py), 0);
    const SkyView flat{0, 0, 0, 0, 0, 0, 0, 0};
    std::int32_t a, b;
    EXPECT_EQ(ScreenToSky(flat, 1, 1, &a, &b), 0) << "a view without a scale";
}

TEST_F(SkyMatrixTest, TapsAtThePoleStayFinite) {
    SetLatitude(observerLocation, 90.0f);
    Build(1);
    const SkyView view = View(0.0, 90.0);
    for (int d = -1; d <= 1; ++d) {
        std::int32_t ra = -1, dec = -1, azimuth = -1, altitude = -1;
        ScreenToSky(view, view.centreX + d, view.centreY, &ra, &dec);
        SkyViewPixelToAltAz(view, view.originX + view.centreX + d, view.originY + view.centreY, &azimuth, &altitude);
        EXPECT_NEAR(Angle(dec), 90.0, 0.6);
        EXPECT_NEAR(Angle(altitude), 90.0, 0.6);
        EXPECT_GE(ra, 0);
        EXPECT_GE(azimuth, 0);
    }
}

}  // namespace
