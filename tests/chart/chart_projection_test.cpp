// The chart's plane: the fixed-point projection against the floating one and against the
// apparent-place code, its inverses, the rotation in place and the projection of the tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "astro/apparent_place.h"
#include "astro/fixed_trig.h"
#include "astro/horizontal.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "chart_fixture.h"
#include "core/calendar.h"
#include "core/report.h"
#include "shell/fonts.h"

namespace {

constexpr double kDeg = 3.141592653589793 / 180.0;

class ChartProjectionTest : public ChartTest {
protected:
    void UseLatitude(float latitude) {
        SetLatitude(observerLocation, latitude);
        SetProjectionCenter(chartState.rotation);
    }
    static std::int32_t Hours(double h) { return HoursToFixedAngle(h); }
    static std::int32_t Degrees(double d) { return DegreesToFixedAngle(d); }
    // The sine of the altitude in doubles, to leave out points within a hair of the horizon.
    static double SinAltitude(double lst, double ra, double dec, double latitude) {
        const double h = (lst - ra) * 15.0 * kDeg;
        return std::cos(h) * std::cos(dec * kDeg) * std::cos(latitude * kDeg) +
               std::sin(latitude * kDeg) * std::sin(dec * kDeg);
    }
};

// The largest pixel difference between the two projections at each zoom level, over a grid
// of sidereal times, places and sites, in both plane modes (the chart plane of the faint
// stars switches to floating point at levels 12 and 13).
TEST_F(ChartProjectionTest, FixedPointProjectionMatchesFloatingPointToAPixel) {
    int worst[kZoomLevels] = {};
    int compared = 0;
    ScaleChartScalesForDpi();
    for (int mode : {kChartModeSkyMap, kChartModeHorizon}) {
        for (float latitude : {-33.9f, 0.0f, 48.2f, 78.0f}) {
            for (int level = 0; level < kZoomLevels; ++level) {
                UseChart(mode, level, mode == kChartModeSkyMap ? 30 : 0);
                UseLatitude(latitude);
                for (float lst = 0.25f; lst < 24.0f; lst += 3.7f) {
                    for (float ra = 0.1f; ra < 24.0f; ra += 1.3f) {
                        for (float dec = -85.0f; dec <= 89.0f; dec += 8.5f) {
                            std::int32_t pf = 0, qf = 0, pd = 0, qd = 0;
                            const int fixedVisible = ProjectEquatorialPoint(Hours(lst), Hours(ra), Degrees(dec), &pf, &qf);
                            const int floatVisible = ProjectHorizontalPoint(lst, ra, dec, &pd, &qd);
                            const double sinAlt = SinAltitude(lst, ra, dec, latitude);
                            if (std::abs(sinAlt) < 1e-6) continue;
                            // At the zenith the horizon view's azimuth has no meaning.
                            if (mode == kChartModeHorizon && sinAlt > std::cos(1.0 * kDeg)) continue;
                            ASSERT_EQ(fixedVisible, floatVisible) << lst << " " << ra << " " << dec;
                            if (!fixedVisible) continue;
                            // Due north the horizon view's azimuth may fall on either side of 0.
                            constexpr std::int32_t kFullAzimuth = kFixOne * 45 / 8;  // 360 / 64
                            if (mode == kChartModeHorizon && std::abs(qf - qd) > kFixOne)
                                qd += qf > qd ? kFullAzimuth : -kFullAzimuth;
                            std::int32_t xf, yf, xd, yd;
                            PlaneToPixel(pf, qf, &xf, &yf);
                            PlaneToPixel(pd, qd, &xd, &yd);
                            worst[level] = std::max({worst[level], std::abs(xf - xd), std::abs(yf - yd)});
                            ++compared;
                        }
                    }
                }
            }
        }
    }
    EXPECT_GT(compared, 10000);
    for (int level = 0; level <= 11; ++level) EXPECT_LE(worst[level], 1) << "zoom level " << level;
    // The finest levels magnify the kernels' last bits: over a grid ten times as dense
    // each way the sky map differs there by up to 2 pixels.
    EXPECT_LE(worst[12], 2);
    EXPECT_LE(worst[13], 2);
}

TEST_F(ChartProjectionTest, HorizonDecidesVisibilityAndHiddenPointsAreNotWritten) {
    UseChart(kChartModeSkyMap, 5);
    UseLatitude(0.0f);
    SetChartPrecessionEpoch(0.0);  // the kernels' own geometry, places taken as of date
    // At the equator (sin lat = 0, cos lat = 1.0) six hours from the meridian, sin alt is
    // cos h cos dec: the kernels give cos h = 2 units there, so at dec 70 the sine is 0.
    std::int32_t cosH = 0;
    FixSinCos(kFixQuarterTurn, &cosH, nullptr);
    ASSERT_EQ(cosH, 2);
    std::int32_t p = 111, q = 222;
    EXPECT_EQ(ProjectEquatorialPoint(kFixQuarterTurn, 0, Degrees(70.0), &p, &q), 1);
    EXPECT_NEAR(std::hypot(p, q), kFixOne, 8) << "on the horizon circle";
    // Any negative sine hides the point and leaves p and q as they were.
    p = 111;
    q = 222;
    EXPECT_EQ(ProjectEquatorialPoint(kFixQuarterTurn + 2000, 0, Degrees(70.0), &p, &q), 0);
    EXPECT_EQ(ProjectEquatorialPoint(0, 0, -kFixQuarterTurn, &p, &q), 0);
    EXPECT_EQ(p, 111);
    EXPECT_EQ(q, 222);
}

// J2000.0 catalog places land where the apparent-place code puts them at the chart's date,
// in both plane modes and by both kernels, over half a century: the precession is in the
// projection (what remains is nutation and aberration, under half an arc minute). The
// sky turns about the pole of date, so an unprecessed place would be 18' off by 2024. (Taps
// come back in the same frame: PixelToSkyReturnsTheStarWithinAPixel round-trips them.)
TEST_F(ChartProjectionTest, CatalogPlacesArePrecessedToTheChartsDate) {
    struct Place {
        double ra, dec;
    };
    const Place places[] = {{14.26, 19.18}, {18.62, 38.78}, {5.92, 7.41}, {2.53, 89.26}, {20.69, 45.28},
                            {16.49, -26.43}, {13.42, 54.93}, {7.75, 28.03}, {0.14, 29.09}, {6.40, -52.70}};
    const double kSkyTolerance = 2.0 / 60.0;  // degrees on the sky
    for (int year : {2000, 2026, 2050}) {
        deviceTime = LocalDateTimeFields{year, 3, 10, 23, 0, 0};
        SetObservingDateTime(year, 3, 10, 23, 0, 0);
        for (int mode : {kChartModeSkyMap, kChartModeHorizon}) {
            UseChart(mode, 5);
            ASSERT_NE(GetChartPrecessionEpoch(), 0.0);
            for (int floating : {0, 1}) {
                for (const Place& place : places) {
                    SCOPED_TRACE(testing::Message() << year << " mode " << mode << " floating " << floating << " "
                                                    << place.ra);
                    double ra = 0, dec = 0, altitude = 0, azimuth = 0;
                    ComputeApparentPosition(place.ra, place.dec, &ra, &dec, &altitude, &azimuth, kModeGeocentric, year,
                                            3, 10, 23, 0, 0);
                    std::int32_t p = 0, q = 0;
                    const int visible =
                        floating ? ProjectHorizontalPoint(chartClock.siderealTime, static_cast<float>(place.ra),
                                                          static_cast<float>(place.dec), &p, &q)
                                 : ProjectEquatorialPoint(chartClock.siderealTimeFixed, Hours(place.ra),
                                                          Degrees(place.dec), &p, &q);
                    if (std::abs(altitude) < 0.1) continue;
                    ASSERT_EQ(visible, altitude > 0 ? 1 : 0);
                    if (!visible) continue;
                    double alt, az;
                    if (mode == kChartModeHorizon) {
                        alt = p * 64.0 / kFixOne;
                        az = q * 64.0 / kFixOne;
                    } else {
                        alt = 90.0 - 2.0 * std::atan(std::hypot(p, q) / kFixOne) / kDeg;
                        az = std::atan2(static_cast<double>(q), static_cast<double>(p)) / kDeg;
                        if (az < 0) az += 360.0;
                    }
                    EXPECT_NEAR(alt, altitude, kSkyTolerance);
                    if (altitude < 85.0) {
                        const double d = std::abs(az - azimuth);
                        EXPECT_LT(std::min(d, 360.0 - d) * std::cos(altitude * kDeg), kSkyTolerance);
                    }
                }
            }
        }
    }
}

TEST_F(ChartProjectionTest, HourAnglesWrapWhateverTheTurnsAway) {
    UseChart(kChartModeSkyMap, 5);
    const std::int32_t ra = Hours(5.5), dec = Degrees(60.0);
    for (std::int32_t h : {kFixHalfTurn + 1, kFixHalfTurn + 5000, -kFixHalfTurn - 1, -kFixHalfTurn - 5000, 12345}) {
        std::int32_t p0, q0;
        ASSERT_EQ(ProjectEquatorialPoint(ra + h, ra, dec, &p0, &q0), 1) << h;
        // The same hour angle a turn to the other side, and many turns away.
        const std::int32_t other = h > 0 ? h - kFixTurn : h + kFixTurn;
        for (std::int32_t lst : {ra + other, ra + h + 9 * kFixTurn, ra + h - 9 * kFixTurn}) {
            std::int32_t p, q;
            ASSERT_EQ(ProjectEquatorialPoint(lst, ra, dec, &p, &q), 1);
            EXPECT_EQ(p, p0) << h;
            EXPECT_EQ(q, q0) << h;
        }
    }
}

// Altitude and azimuth read back from the plane agree with the apparent-place code's
// horizon for the same place of date (taken as of date: no precession).
TEST_F(ChartProjectionTest, PlaneAgreesWithTheApparentPlaceHorizon) {
    const ObservingDateTime t{2024, 5, 10, 22, 30, 0};
    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second,
                                         observerLocation.longitude, observerLocation.zoneMinutes);
    const double deltaT = 69.0;
    const double jd = DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, t.second, observerLocation.zoneMinutes) +
                      deltaT / 86400.0;
    const SiteInfo site{observerLocation.latitude, -observerLocation.longitude, 0.0, 10.0, 1013.0};
    struct Place {
        double ra, dec;
    };
    const Place places[] = {{14.26, 19.18}, {18.62, 38.78}, {5.92, 7.41}, {12.45, -16.0}, {2.53, 89.26},
                            {20.69, 45.28}, {16.49, -26.43}, {10.14, 11.97}, {13.42, 54.93}, {7.75, 28.03}};
    double worstAltitude = 0.0, worstAzimuth = 0.0;
    for (int mode : {kChartModeSkyMap, kChartModeHorizon}) {
        UseChart(mode, 5);
        for (const Place& place : places) {
            double zd = 0, az = 0, rar = 0, decr = 0;
            EquToHor(jd, deltaT, 0.0, 0.0, site, place.ra, place.dec, kRefractionNone, &zd, &az, &rar, &decr);
            std::int32_t p, q;
            const int visible =
                ProjectEquatorialPointOfDate(Hours(lst), Hours(place.ra), Degrees(place.dec), &p, &q);
            ASSERT_EQ(visible, zd <= 90.0 ? 1 : 0) << place.ra;
            if (!visible) continue;
            double altitude, azimuth;
            if (mode == kChartModeHorizon) {
                altitude = p * 64.0 / kFixOne;
                azimuth = q * 64.0 / kFixOne;
            } else {
                altitude = 90.0 - 2.0 * std::atan(std::hypot(p, q) / kFixOne) / kDeg;
                azimuth = std::atan2(static_cast<double>(q), static_cast<double>(p)) / kDeg;
                if (azimuth < 0) azimuth += 360.0;
            }
            worstAltitude = std::max(worstAltitude, std::abs(altitude - (90.0 - zd)));
            if (90.0 - zd < 85.0) {
                double d = std::abs(azimuth - az);
                worstAzimuth = std::max(worstAzimuth, std::min(d, 360.0 - d) * std::cos((90.0 - zd) * kDeg));
            }
        }
    }
    // Mean against apparent sidereal time (the equation of the equinoxes, about a second of
    // time) and the 8.24 kernels: measured 0.0009 degree in altitude and 0.0012 on the sky
    // in azimuth.
    EXPECT_LT(worstAltitude, 0.002);
    EXPECT_LT(worstAzimuth, 0.002);
}

// A star's pixel taken back to the sky lands within a pixel of where the projection put it.
TEST_F(ChartProjectionTest, PixelToSkyReturnsTheStarWithinAPixel) {
    ScaleChartScalesForDpi();
    for (int mode : {kChartModeSkyMap, kChartModeHorizon}) {
        for (int level : {0, 5, 13}) {
            for (int rotation : {0, 45, 180}) {
                if (mode == kChartModeHorizon && rotation != 0) continue;
                UseChart(mode, level, rotation);
                for (float ra = 0.3f; ra < 24.0f; ra += 2.9f) {
                    for (float dec = -30.0f; dec < 88.0f; dec += 13.0f) {
                        // Points within a pixel of the horizon may come back just below it.
                        const double lst = chartClock.siderealTime;
                        if (SinAltitude(lst, ra, dec, observerLocation.latitude) < std::sin(2 * kDeg)) continue;
                        std::int32_t p, q;
                        ASSERT_EQ(ProjectEquatorialPoint(chartClock.siderealTimeFixed, Hours(ra), Degrees(dec), &p, &q), 1);
                        // Centre the chart near the star, as the chart does for its object.
                        chartState.centreOffsetX = chartState.centreOffsetY = 0;
                        std::int32_t x0, y0;
                        PlaneToPixel(p, q, &x0, &y0);
                        chartState.centreOffsetX = x0 - chartState.width / 2 + 17;
                        chartState.centreOffsetY = y0 - chartState.height / 2 - 23;
                        std::int32_t x, y;
                        PlaneToPixel(p, q, &x, &y);
                        float backRa = -1, backDec = -1;
                        PixelToSky(x, y, &backRa, &backDec);
                        std::int32_t p2, q2;
                        ASSERT_EQ(ProjectHorizontalPoint(chartClock.siderealTime, backRa, backDec, &p2, &q2), 1);
                        std::int32_t x2, y2;
                        PlaneToPixel(p2, q2, &x2, &y2);
                        EXPECT_LE(std::abs(x2 - x), 1) << mode << " " << level << " " << rotation << " " << ra;
                        EXPECT_LE(std::abs(y2 - y), 1) << mode << " " << level << " " << rotation << " " << dec;
                    }
                }
            }
        }
    }
}

// Layout points (the dpi factor's pixels) to azimuth and altitude and back, including the
// row through the zenith, where the point lies due east or west of it.
TEST_F(ChartProjectionTest, PixelToAltAzInvertsAltAzToPixel) {
    ScaleChartScalesForDpi();
    const int f = GetDpiFactor();
    for (int mode : {kChartModeSkyMap, kChartModeHorizon}) {
        for (int level : {0, 5, 13}) {
            for (int rotation : {0, 45, 180}) {
                if (mode == kChartModeHorizon && rotation != 0) continue;
                UseChart(mode, level, rotation);
                std::int32_t cx, cy, sx;
                GetChartMetrics(&cx, &cy, &sx, nullptr);
                // The horizon view repeats every 360 degrees of azimuth.
                const int turn = mode == kChartModeHorizon ? static_cast<int>(std::abs(std::int64_t{sx}) * 360 / 65536) : 0;
                for (int dx : {-57, -20, -1, 0, 1, 33, 60}) {
                    for (int dy : {-70, -3, 0, 2, 45}) {
                        const int lx = cx / f + dx, ly = cy / f + dy;
                        float azimuth = -1, altitude = -1;
                        PixelToAltAz(lx, ly, &azimuth, &altitude);
                        ASSERT_GE(azimuth, 0.0f);
                        ASSERT_LT(azimuth, 360.0f);
                        std::int32_t x, y;
                        AltAzToPixel(azimuth, altitude, &x, &y);
                        if (turn > 0 && std::abs(x - f * lx) > turn / 2) x += x > f * lx ? -turn : turn;
                        EXPECT_LE(std::abs(x - f * lx), 1) << mode << " " << level << " " << rotation << " " << dx;
                        EXPECT_LE(std::abs(y - f * ly), 1) << mode << " " << level << " " << rotation << " " << dy;
                    }
                }
            }
        }
    }
    // Due east of the zenith at rotation 0: the altitude of the point, not the zenith's.
    UseChart(kChartModeSkyMap, 0, 0);
    std::int32_t cx, cy;
    GetChartMetrics(&cx, &cy, nullptr, nullptr);
    float azimuth = 0, altitude = 0;
    PixelToAltAz((cx - 60) / f, cy / f, &azimuth, &altitude);
    EXPECT_LT(altitude, 80.0f);
    EXPECT_NEAR(azimuth, 90.0f, 0.01f);
}

TEST_F(ChartProjectionTest, TapsNearThePoleNeverGiveNaN) {
    SetLatitude(observerLocation, 90.0f);
    UseChart(kChartModeSkyMap, 13);
    SetChartPrecessionEpoch(0.0);  // the pole of date, not its catalog place
    std::int32_t cx, cy;
    GetChartMetrics(&cx, &cy, nullptr, nullptr);
    for (int d = -2; d <= 2; ++d) {
        float ra = -1, dec = -1;
        PixelToSky(cx + d, cy - d, &ra, &dec);
        EXPECT_TRUE(std::isfinite(ra) && std::isfinite(dec)) << d;
        EXPECT_NEAR(dec, 90.0f, 0.03f);
    }
}

TEST_F(ChartProjectionTest, RotatingTheTablesEqualsProjectingWithTheNewAngle) {
    LoadStars({{1.0f, 60.0f}, {6.0f, 20.0f}, {12.0f, -10.0f}, {17.5f, 45.0f}, {22.0f, 5.0f}, {9.0f, 70.0f}});
    FillSelection({{3.0f, 50.0f}, {15.0f, 30.0f}, {20.0f, -60.0f}});
    ScaleChartScalesForDpi();
    UseChart(kChartModeSkyMap, 3, 20);
    ProjectChartTables(chartClock.siderealTime, &chartState.selectionProjected, &chartState.starsProjected,
                       &chartState.redraw);
    std::memcpy(starBuffer, "\1\2\3\4", 4);
    std::memcpy(objectBuffer, "\1\2", 2);

    RotateChartTables(45);
    ExpectBuffersEmpty();

    const std::vector<StarRecord> turned(BrightStars(), BrightStars() + GetStarTableCount());
    std::vector<SelectionRecord> turnedRecords(selectionList.records, selectionList.records + 3);
    SetProjectionCenter(65);
    chartState.starsProjected = chartState.selectionProjected = 0;
    ProjectChartTables(chartClock.siderealTime, &chartState.selectionProjected, &chartState.starsProjected,
                       &chartState.redraw);
    int shown = 0;
    for (int i = 0; i < GetStarTableCount(); ++i) {
        const StarRecord& s = BrightStars()[i];
        ASSERT_EQ(turned[i].word[starword::hidden], s.word[starword::hidden]);
        if (s.word[starword::hidden]) continue;
        ++shown;
        std::int32_t x, y;
        PlaneToPixel(s.word[starword::planeP], s.word[starword::planeQ], &x, &y);
        EXPECT_LE(std::abs(turned[i].word[starword::pixelX] - x), 1) << i;
        EXPECT_LE(std::abs(turned[i].word[starword::pixelY] - y), 1) << i;
    }
    for (int i = 0; i < 3; ++i) {
        const SelectionRecord& r = selectionList.records[i];
        if (r.offChart) continue;
        ++shown;
        std::int32_t x, y;
        PlaneToPixel(r.chartX, r.chartY, &x, &y);
        EXPECT_LE(std::abs(SelectionPixelX(turnedRecords[i]) - x), 1) << i;
        EXPECT_LE(std::abs(SelectionPixelY(turnedRecords[i]) - y), 1) << i;
    }
    EXPECT_GE(shown, 5);
}

TEST_F(ChartProjectionTest, TablesAreProjectedOnceWithBusyStepsAndHiddenFlags) {
    std::vector<std::pair<float, float>> stars;
    for (int i = 0; i < 250; ++i) stars.push_back({static_cast<float>(i % 24) + 0.5f, -80.0f + (i % 17) * 10.0f});
    LoadStars(stars);
    FillSelection({{14.26f, 19.18f}, {2.0f, -80.0f}});
    UseChart(kChartModeSkyMap, 2);
    int selectionDone = 0, starsDone = 0, redraw = 1;
    const int before = BusySteps();
    ProjectChartTables(chartClock.siderealTime, &selectionDone, &starsDone, &redraw);
    EXPECT_EQ(BusySteps() - before, 1 + 3) << "a step at records 0, 100 and 200";
    EXPECT_FALSE(IsBusyShown());
    EXPECT_EQ(selectionDone, 1);
    EXPECT_EQ(starsDone, 1);
    EXPECT_EQ(redraw, 0);

    EXPECT_EQ(selectionList.records[0].offChart, 0) << "Arcturus is up";
    EXPECT_EQ(selectionList.records[1].offChart, 1) << "dec -80 never rises at 48 N";
    EXPECT_EQ(selectionList.indexCount, 1) << "the object popup lists what is on the chart";
    for (int i = 0; i < 250; ++i) {
        std::int32_t p, q;
        const int visible = ProjectEquatorialPoint(HoursToFixedAngle(chartClock.siderealTime), BrightStars()[i].word[starword::ra],
                                                   BrightStars()[i].word[starword::dec], &p, &q);
        ASSERT_EQ(BrightStars()[i].word[starword::hidden], visible ? 0 : 1) << i;
        if (visible) {
            ASSERT_EQ(BrightStars()[i].word[starword::planeP], p) << i;
        }
    }

    // Done tables are left alone.
    BrightStars()[0].word[starword::planeP] = 42;
    ProjectChartTables(chartClock.siderealTime, &selectionDone, &starsDone, &redraw);
    EXPECT_EQ(BrightStars()[0].word[starword::planeP], 42);

    // The floating-point road, asked for by the settings, marks the same stars hidden.
    SetChartSetting(chartpref::tableProjection, 1);
    const std::vector<StarRecord> fixed(BrightStars(), BrightStars() + 250);
    starsDone = 0;
    ProjectChartTables(chartClock.siderealTime, &selectionDone, &starsDone, &redraw);
    for (int i = 0; i < 250; ++i) {
        ASSERT_EQ(BrightStars()[i].word[starword::hidden], fixed[i].word[starword::hidden]) << i;
        if (!fixed[i].word[starword::hidden]) {
            EXPECT_NEAR(BrightStars()[i].word[starword::planeQ], fixed[i].word[starword::planeQ], 200) << i;
        }
    }
}

// A list filled to its capacity is projected whole and keeps its count: it is saved as the
// last list at exit.
TEST_F(ChartProjectionTest, AFullSelectionListKeepsItsCount) {
    const int capacity = FillFullSelection();
    ASSERT_GT(capacity, 5);
    for (int i = capacity - 5; i < capacity; ++i) selectionList.records[i].declination = -80.0f;
    UseChart(kChartModeSkyMap, 2);
    int selectionDone = 0, starsDone = 1, redraw = 0;
    ProjectChartTables(chartClock.siderealTime, &selectionDone, &starsDone, &redraw);
    EXPECT_EQ(selectionList.recordCount, capacity);
    EXPECT_EQ(selectionList.records[capacity - 1].offChart, 1) << "the last records are projected too";
    EXPECT_EQ(selectionList.records[capacity - 6].offChart, 0);
}

TEST_F(ChartProjectionTest, CenterChartOnStoresTheCentreForTheMode) {
    chartState.bubble.x = 5;
    SetObservingDateTime(2024, 5, 10, 22, 30, 0);
    for (int mode : {kChartModeSkyMap, kChartModeHorizon}) {
        SetChartSetting(chartpref::chartType, mode);
        chartSelectionIndex = 4;
        CenterChartOn(14.26, 19.18);
        float ra, dec;
        GetChartCentre(&ra, &dec, nullptr);
        EXPECT_FLOAT_EQ(ra, 14.26f);
        EXPECT_FLOAT_EQ(dec, 19.18f);
        EXPECT_FLOAT_EQ(chartViews[0].view.ra, 14.26f);
        EXPECT_EQ(chartSelectionIndex, -1);
    }
    EXPECT_EQ(chartState.bubble.x, 0) << "the save-unders are freed";

    // Sky views: the turn angle atan2(x, y) (minus the azimuth) and the altitude.
    const ObservingDateTime& t = observingDateTime;
    UpdateSkyForDate(1, t.year, t.month, t.day, t.hour, t.minute, t.second, 1);
    const double lst = LocalSiderealTime(t.year, t.month, t.day, t.hour, t.minute, t.second,
                                         observerLocation.longitude, observerLocation.zoneMinutes);
    for (int mode : {kChartModeWholeSky, kChartModeVisibleSky, kChartModeEquatorialSky}) {
        SetChartSetting(chartpref::chartType, mode);
        SelectHorizonOnlyMatrix();
        CenterChartOn(14.26, 19.18);
        SelectFullSkyMatrix();
        float turn, altitude;
        GetChartCentre(&turn, &altitude, nullptr);
        EXPECT_NEAR(altitude, ComputeAltitude(lst, 14.26, 19.18, observerLocation.latitude), 0.01);
        EXPECT_NEAR(turn, 360.0 - ComputeAzimuth(lst, 14.26, 19.18, observerLocation.latitude), 0.01);
    }
}

}  // namespace
