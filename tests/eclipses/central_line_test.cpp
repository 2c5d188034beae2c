// The central line, its ends and the limits of magnitude, from NASA's elements and from
// fitted ones.
#include <gtest/gtest.h>

#include "astro/time_scales.h"

#include <cmath>

#include "eclipses/bessel_elements.h"
#include "eclipses/central_line.h"
#include "eclipses/local_circumstances.h"
#include "eclipses/published_eclipses.h"

namespace {

TEST(CentralLine, NasasElementsGiveNasasPointOfGreatestEclipse) {
    for (const PublishedEclipse& p : {kTotal2017, kTotal2024, kAnnular2023}) {
        SCOPED_TRACE(p.year);
        double latitude, longitude, duration, width;
        ASSERT_EQ(GetCentralLinePoint(p.elements, p.greatestUt, p.deltaT, &latitude, &longitude, &duration, &width), 1);
        // The annular's place is published to a tenth of a degree only.
        const double placeTolerance = p.year == 2023 ? 0.06 : 0.05;
        EXPECT_NEAR(latitude, p.latitude, placeTolerance);
        EXPECT_NEAR(longitude, p.longitudeWest, placeTolerance);
        EXPECT_NEAR(duration, p.durationSeconds, 2.0);
        EXPECT_NEAR(width, p.widthKm, 2.0);
    }
}

TEST(CentralLine, FittedElementsPutTheLineWhereNasaDoesWithTheLongerTotality) {
    for (const PublishedEclipse& p : {kTotal2017, kTotal2024, kAnnular2023}) {
        SCOPED_TRACE(p.year);
        BesselElements e;
        ASSERT_EQ(FitBesselElements(&e, p.year, p.month, p.day, 18), 1);
        double latitude, longitude, duration, width;
        ASSERT_EQ(GetCentralLinePoint(e, p.greatestUt, p.deltaT, &latitude, &longitude, &duration, &width), 1);
        EXPECT_NEAR(latitude, p.latitude, 0.2);
        EXPECT_NEAR(longitude, p.longitudeWest, 0.2);
        EXPECT_NEAR(duration, p.durationSeconds, 0.04 * p.durationSeconds);
        // The larger k makes the umbra wider and the antumbra narrower.
        if (e.l20 < 0.0) {
            EXPECT_GT(duration, p.durationSeconds);
        } else {
            EXPECT_LT(duration, p.durationSeconds);
        }
    }
}

TEST(CentralLine, EndsBracketGreatestEclipseAndMissingAxesGiveNoLine) {
    for (const PublishedEclipse& p : {kTotal2017, kTotal2024}) {
        double start, end;
        ASSERT_EQ(GetCentralLineEnds(p.elements, p.deltaT, &start, &end), 1);
        EXPECT_LT(start, p.greatestUt);
        EXPECT_GT(end, p.greatestUt);
        EXPECT_GT(end - start, 2.5);
        // At the ends the axis grazes the limb; just inside, the line has a point.
        double latitude, longitude, duration, width;
        EXPECT_EQ(GetCentralLinePoint(p.elements, start + 0.01, p.deltaT, &latitude, &longitude, &duration, &width), 1);
        EXPECT_EQ(GetCentralLinePoint(p.elements, start - 0.05, p.deltaT, &latitude, &longitude, &duration, &width), 0);
    }

    // 2007 March 19 is partial, 2014 April 29 an annular whose axis misses the Earth.
    struct Case {
        int year, month, day, hour;
        double deltaT, greatestUt;
    };
    for (const Case& c : {Case{2007, 3, 19, 3, 65.5, 2.531}, Case{2014, 4, 29, 6, 68.6, 6.057}}) {
        SCOPED_TRACE(c.year);
        BesselElements e;
        ASSERT_EQ(FitBesselElements(&e, c.year, c.month, c.day, c.hour), 1);
        double start = -7.0, end = -7.0, first = -7.0, last = -7.0;
        EXPECT_EQ(GetCentralLineEnds(e, c.deltaT, &start, &end), 0);
        EXPECT_EQ(GetAxisLimbTimes(e, 0.0, &first, &last), 0);
        EXPECT_EQ(start, -7.0);
        EXPECT_EQ(first, -7.0);
        double latitude = -7.0, longitude = -7.0, duration = -7.0, width = -7.0;
        EXPECT_EQ(GetCentralLinePoint(e, c.greatestUt, c.deltaT, &latitude, &longitude, &duration, &width), 0);
        EXPECT_EQ(latitude, -7.0);
        EXPECT_EQ(width, -7.0);
    }
}

TEST(CentralLine, LimitLatitudesHaveTheirMagnitudeThere) {
    const PublishedEclipse& p = kTotal2017;
    BesselElements e;
    ASSERT_EQ(FitBesselElements(&e, p.year, p.month, p.day, 18), 1);
    struct Case {
        double longitudeWest, magnitude;
        int side;
    };
    const Case cases[] = {{87.67, 0.0, -1}, {87.67, 1.0, 1},  {87.67, 1.0, -1}, {110.0, 0.0, -1},
                          {100.0, 0.5, 1},  {60.0, 0.75, -1}, {120.0, 1.0, 1},  {40.0, 0.25, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.longitudeWest << " " << c.magnitude << " " << c.side);
        const double latitude = GetLimitLatitude(e, c.longitudeWest, c.magnitude, p.deltaT, c.side);
        ASSERT_GT(std::fabs(latitude), 0.0);
        ASSERT_LT(std::fabs(latitude), 90.0);
        // Greatest eclipse at that place, by repeated steps from greatest on the axis.
        double t = p.greatestUt;
        LocalCircumstances local;
        for (int i = 0; i < 5; ++i) GetLocalCircumstances(e, 0, latitude, c.longitudeWest, 0.0, p.deltaT, &t, &local);
        EXPECT_NEAR(local.magnitude, c.magnitude, 0.01);
        // The northern limit lies north of the southern one.
        const double other = GetLimitLatitude(e, c.longitudeWest, c.magnitude, p.deltaT, -c.side);
        EXPECT_EQ(latitude > other, c.side > 0);
    }

    // The penumbra of 2017 reached past the North Pole: its northern limit never forms and
    // comes back as the pole of its side.
    EXPECT_EQ(GetLimitLatitude(e, 87.67, 0.0, p.deltaT, 1), 90.0);
    // Elements that are not numbers give no latitude that is not one either.
    BesselElements broken = e;
    broken.x0 = std::nan("");
    EXPECT_EQ(GetLimitLatitude(broken, 87.67, 1.0, p.deltaT, 1), 90.0);
    EXPECT_EQ(GetLimitLatitude(broken, 87.67, 1.0, p.deltaT, -1), -90.0);
}
// Limits near the poles, where the steps from the equator settle on the night side and used
// to come back as if right (NASA's published limits, Five Millennium Canon elements; the
// program's own elements fitted for the day). The sides are the axis's: across the pole,
// where these meridians meet the path, north of the axis is the geographic south. A limit
// that misses the meridian is the pole of its side.
TEST(CentralLine, PolarLimitsAreOnTheDaySide) {
    struct Case {
        int year, month, day, hour;
        double longitudeWest;
        int side;
        double latitude;
    } cases[] = {
        {2021, 6, 10, 11, 150.0, 1, 85.75},     // annular, over the North Pole
        {2021, 6, 10, 11, 150.0, -1, -90.0},    // its other limit passes beyond the pole
        {2021, 12, 4, 8, 80.0, -1, -79.42},     // total, Antarctica
        {2021, 12, 4, 8, 80.0, 1, -83.26},
        {2039, 12, 15, 16, -150.0, -1, -81.40},  // total, Antarctica
        {2039, 12, 15, 16, -150.0, 1, -85.15},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << "-" << c.month << "-" << c.day << " " << c.longitudeWest << " side "
                                        << c.side);
        BesselElements e;
        ASSERT_EQ(FitBesselElements(&e, c.year, c.month, c.day, c.hour), 1);
        const double deltaT = GetDeltaT(c.year, c.month, c.day);
        const double latitude = GetLimitLatitude(e, c.longitudeWest, 1.0, deltaT, c.side);
        EXPECT_NEAR(latitude, c.latitude, 0.09);  // 10 km
    }
}
}  // namespace
