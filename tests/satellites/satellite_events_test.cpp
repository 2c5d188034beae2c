#include "satellites/satellite_events.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/settings.h"
#include "satellites/satellite_fixture.h"
#include "satellites/satellite_geometry.h"

namespace {

constexpr double kRad = 57.29577951308232;
constexpr double kSecond = 1.0 / 86400.0;

// A state on a slightly eccentric orbit, km and km/s.
const SatVector kPosition{4000.0, -5000.0, 2500.0, 0.0};
const SatVector kVelocity{5.0, 3.0, -2.5, 0.0};

SatVector Unit(double x, double y, double z) {
    const double n = std::sqrt(x * x + y * y + z * z);
    return {x / n, y / n, z / n, 1.0};
}

TEST(SatelliteEvents, PanelFrameIsOrthonormal) {
    for (double pitch : {-40.0, 0.0, 25.0})
        for (double yaw : {0.0, 120.0, -120.0, 45.0}) {
            SatVector a, b, c;
            ASSERT_TRUE(PanelAxes(kPosition, kVelocity, pitch, yaw, &a, &b, &c));
            const SatVector axes[3] = {a, b, c};
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j)
                    EXPECT_NEAR(DotProduct(axes[i], axes[j]), i == j ? 1.0 : 0.0, 1e-12) << pitch << " " << yaw;
        }
    SatVector a, b, c;
    EXPECT_FALSE(PanelAxes(kPosition, {}, -40.0, 0.0, &a, &b, &c));
    EXPECT_FALSE(PanelAxes(kPosition, kPosition, -40.0, 0.0, &a, &b, &c));  // no orbit normal
}

TEST(SatelliteEvents, SunMirroredInThePanelGivesZero) {
    SatVector a, b, c;
    ASSERT_TRUE(PanelAxes(kPosition, kVelocity, -40.0, 0.0, &a, &b, &c));
    const SatVector sight = Unit(-0.3, 0.8, 0.5);
    const double k = 2.0 * DotProduct(a, sight);
    const SatVector mirrored{sight.x - k * a.x, sight.y - k * a.y, sight.z - k * a.z, 0.0};
    const double sunRa = std::atan2(mirrored.y, mirrored.x);
    const double sunDec = std::asin(mirrored.z / std::sqrt(DotProduct(mirrored, mirrored)));
    EXPECT_NEAR(PanelReflectionAngle(kPosition, kVelocity, sight, sunRa, sunDec, -40.0, 0.0), 0.0, 1e-7);
    EXPECT_NEAR(FlareAngle(kPosition, kVelocity, sight, sunRa, sunDec), 0.0, 1e-7);
    // The other panels see something else; the least of the three is what counts.
    const double other = PanelReflectionAngle(kPosition, kVelocity, sight, sunRa, sunDec, -40.0, 120.0);
    EXPECT_GT(other, 0.01);
    EXPECT_LE(FlareAngle(kPosition, kVelocity, sight, sunRa + 0.2, sunDec),
              PanelReflectionAngle(kPosition, kVelocity, sight, sunRa + 0.2, sunDec, -40.0, 0.0));

    // Without an orbit frame there is no flare.
    EXPECT_DOUBLE_EQ(PanelReflectionAngle(kPosition, {}, sight, sunRa, sunDec, -40.0, 0.0), kSatTwoPi / 2.0);
    EXPECT_DOUBLE_EQ(FlareAngle(kPosition, {}, sight, sunRa, sunDec), kSatTwoPi / 2.0);
}

TEST(SatelliteEvents, AngularSeparation) {
    EXPECT_EQ(SatAngularSeparation(1.234, 0.567, 1.234, 0.567), 0.0);
    EXPECT_DOUBLE_EQ(SatAngularSeparation(0.0, 0.0, kSatTwoPi / 2.0, 0.0), kSatTwoPi / 2.0);
    EXPECT_NEAR(SatAngularSeparation(0.0, 0.0, 0.0, 0.5), 0.5, 1e-15);
    EXPECT_NEAR(SatAngularSeparation(0.3, 1.0, 1.3, 1.0),
                std::acos(std::sin(1.0) * std::sin(1.0) + std::cos(1.0) * std::cos(1.0) * std::cos(1.0)), 1e-12);
}

class EventRefinement : public ::testing::Test {
protected:
    const ObserverReference& ref = ReadObserverReference();
    const MoonRow& moon = ref.moons.at(0);
    TleElements el = ref.Elements(moon.set);
    SatelliteEventContext context;
    double time = -1.0, angle = -1.0;

    void SetUp() override { PlaceObserver(ref.Site(moon.site)); }
    int Refine(double t0) { return RefineSatelliteEvent(context, t0, &el, &time, &angle); }
    // The angle at an instant with the body placed there (cache emptied first).
    double AngleAt(double jd) {
        context.bodyRightAscension = context.bodyDeclination = 0.0;
        return SatelliteEventAngle(context, jd) * kRad;
    }
};

// The reference's closest approach to the Moon, found from 4 minutes before.
TEST_F(EventRefinement, TransitOfTheMoonMatchesTheReference) {
    const std::int32_t mode = preferences.word[pref::coordinateMode];
    preferences.word[pref::coordinateMode] = 0;
    const int places = context.bodyComputations;
    EXPECT_EQ(Refine(moon.jd - 4.0 / 1440.0), 1);
    EXPECT_NEAR(time, moon.jd, 2.0 * kSecond);
    EXPECT_NEAR(angle, moon.separation, 0.05);
    EXPECT_EQ(context.bodyComputations - places, 3);  // once per stage
    EXPECT_GT(context.evaluations, 10);
    EXPECT_EQ(preferences.word[pref::coordinateMode], 0);  // held at 2 only while placing
    EXPECT_TRUE(std::isfinite(el.julianDay));              // left at the last instant
    preferences.word[pref::coordinateMode] = mode;

    // The threshold: from a site moved along its parallel until the least separation lies
    // between 1.0 and 1.5 degrees (a flare would count there), no transit.
    ObserverSite shifted = ref.Site(moon.site);
    bool between = false;
    for (int step = 1; step <= 60 && !between; ++step) {
        shifted.longitudeWest = ref.Site(moon.site).longitudeWest + 0.5 * step;
        PlaceObserver(shifted);
        const int result = Refine(moon.jd - 4.0 / 1440.0);
        between = angle > 1.0 && angle <= 1.5;
        if (between) {
            EXPECT_EQ(result, 0) << angle;
        }
    }
    EXPECT_TRUE(between);
}

// Stage one's window ends a minute before the least separation: the angle falls through the
// whole of it, Brent has no bracket, and the sampled window carries the search on.
TEST_F(EventRefinement, AngleFallingThroughTheFirstWindowStillRefines) {
    EXPECT_EQ(Refine(moon.jd - 16.0 / 1440.0), 1);
    EXPECT_NEAR(time, moon.jd, 2.0 * kSecond);
    EXPECT_NEAR(angle, moon.separation, 0.05);
}

TEST_F(EventRefinement, FarCandidateStopsAfterTheFirstStage) {
    const double t0 = moon.jd - 3.0 / 24.0;
    EXPECT_EQ(Refine(t0), 0);
    EXPECT_GT(angle, 10.0);
    EXPECT_GE(time, t0 - 2.0 / 1440.0 - 1e-9);
    EXPECT_LE(time, t0 + 15.0 / 1440.0 + 1e-9);
    const int evaluations = context.evaluations;
    // The out values are the first stage's (its body placed at the stage's first instant).
    EXPECT_NEAR(AngleAt(time), angle, 0.05);
    EXPECT_LT(evaluations, 60);
}

// The Sun after the Moon: every stage places its own body.
TEST_F(EventRefinement, SunSearchAfterAMoonSearchPlacesTheSun) {
    Refine(moon.jd - 4.0 / 1440.0);
    const double moonAngle = angle;
    context.transitBody = 1;
    const int places = context.bodyComputations;
    Refine(moon.jd - 4.0 / 1440.0);
    EXPECT_GE(context.bodyComputations - places, 1);
    EXPECT_GT(std::fabs(angle - moonAngle), 5.0);
    EXPECT_NEAR(AngleAt(time), angle, 0.01);
}

// Flares: the result follows the 1.5 degree limit, transits the 1.0 degree one. Candidates
// every 10 minutes over two days of the ISS.
TEST_F(EventRefinement, FlareAndTransitLimits) {
    context.flareMode = 1;
    int flares = 0, refined = 0;
    for (double t = moon.jd - 1.0; t < moon.jd + 1.0; t += 10.0 / 1440.0) {
        const int result = Refine(t);
        if (angle > 10.0) continue;
        ++refined;
        EXPECT_EQ(result, angle <= 1.5 ? 1 : 0) << angle;
        flares += result;
    }
    EXPECT_GT(refined, 5);
    EXPECT_GT(flares, 0);
}

TEST_F(EventRefinement, RefusedSetsComputeNothing) {
    el = ConvertLines("1 90003U 08001A   08264.50000000  .00000000  00000-0  00000-0 0  9993",
                      "2 90003  63.4000 200.0000 7000000 270.0000   0.0000  2.00000000    11");
    const int places = context.bodyComputations;
    EXPECT_EQ(Refine(moon.jd), 0);
    EXPECT_EQ(context.status, kSatelliteDeepSpace);
    EXPECT_EQ(context.evaluations, 0);
    EXPECT_EQ(context.bodyComputations, places);
    EXPECT_EQ(time, -1.0);
    EXPECT_EQ(angle, -1.0);
    context.elements = &el;
    EXPECT_TRUE(std::isnan(SatelliteEventAngle(context, moon.jd)));

    el = ConvertLines(kStr3Line1, kStr3Line2);
    EXPECT_EQ(Refine(el.epochJD + 1000.0), 0);
    EXPECT_EQ(context.status, kSatelliteDecayed);
    EXPECT_EQ(time, -1.0);
}

}  // namespace
