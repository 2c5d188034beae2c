#include "satellites/sgp.h"

#include <gtest/gtest.h>

#include <cmath>

#include "satellites/satellite_fixture.h"

namespace {

// The SGP output printed in Spacetrack Report No. 3 for its test set (single precision).
TEST(Sgp, MatchesTheReportsTestOutput) {
    struct Row {
        double minutes;
        StateKm state;
    };
    const Row rows[] = {
        {0, {{2328.96594238, -5995.21600342, 1719.97894287}, {2.91110113, -0.98164053, -7.09049922}}},
        {360, {{2456.00610352, -6071.94232177, 1222.95977784}, {2.67852119, -0.44705850, -7.22800565}}},
        {720, {{2567.39477539, -6112.49725342, 713.97710419}, {2.43952477, 0.09884824, -7.31899641}}},
        {1080, {{2663.03179932, -6115.37414551, 195.73919105}, {2.19531813, 0.65333930, -7.36169147}}},
        {1440, {{2742.85470581, -6079.13580322, -328.86091614}, {1.94707947, 1.21346101, -7.35499924}}},
    };
    const TleElements el = ConvertLines(kStr3Line1, kStr3Line2);
    for (const Row& row : rows) {
        SatVector position, velocity;
        ASSERT_EQ(PropagateSgp(row.minutes, &position, &velocity, el), kOrbitPropagated);
        const StateKm s = ToKm(position, velocity);
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(s.position[i], row.state.position[i], 0.01) << row.minutes << " min, axis " << i;
            EXPECT_NEAR(s.velocity[i], row.state.velocity[i], 2e-4) << row.minutes << " min, axis " << i;
        }
    }
}

TEST(Sgp, MeanOrbitStartsAtTheEpochElementsAndFallsBackToCircular) {
    const TleElements el = ConvertLines(kStr3Line1, kStr3Line2);
    double a = 0.0, e = 0.0;
    SgpMeanOrbit(0.0, el, &a, &e);
    EXPECT_DOUBLE_EQ(a, el.a0);
    EXPECT_NEAR(e, el.eccentricity, 1e-15);

    // A drift two hundred times the real one pulls the axis below the perigee distance
    // within a day: the orbit goes on as a near-circular one.
    const TleElements fast = ConvertLines(
        std::string(kStr3Line1).replace(33, 10, " .14618800"), kStr3Line2);
    SgpMeanOrbit(1440.0, fast, &a, &e);
    ASSERT_LT(a, fast.q0);
    EXPECT_EQ(e, 1e-6);
    SatVector position, velocity;
    ASSERT_EQ(PropagateSgp(1440.0, &position, &velocity, fast), kOrbitPropagated);
    EXPECT_NEAR(VectorMagnitude(&position), a, 0.01);
}

// A set in its last day (first derivative .99999999 revolutions a day squared): its axis
// shrinks below the Earth's radius after a few days, and before the epoch the drift runs
// the mean motion through zero. Neither gives a position, and nothing is NaN.
TEST(Sgp, DecayedOrOrbitlessInstantsGiveNoPosition) {
    const TleElements el = ConvertLines("1 22312U 93002D   06094.46235912  .99999999  81888-5  49949-3 0  3953",
                                        "2 22312  62.1486  77.4698 0308723 267.9229  88.7392 15.95744531 98783");
    const struct {
        double minutes;
        int status;
    } cases[] = {{0.0, kOrbitPropagated}, {60.0, kOrbitPropagated}, {5.0 * 1440.0, kOrbitDecayed},
                 {-10.0 * 1440.0, kOrbitDecayed}, {-8.0 * 1440.0, kOrbitDecayed}};
    for (const auto& c : cases) {
        SatVector position{1, 1, 1, 0}, velocity{1, 1, 1, 0};
        EXPECT_EQ(PropagateSgp(c.minutes, &position, &velocity, el), c.status) << c.minutes;
        for (double v : {position.x, position.y, position.z, velocity.x, velocity.y, velocity.z}) {
            EXPECT_TRUE(std::isfinite(v)) << c.minutes;
            if (c.status == kOrbitDecayed) {
                EXPECT_EQ(v, 0.0) << c.minutes;
            }
        }
    }

    // A set the conversion calls invalid (no mean motion) gives no position either.
    const std::string noMotion = std::string(kStr3Line2).replace(52, 11, " 0.00000000");
    TleElements still;
    ASSERT_EQ(ConvertTleElements(MakeSatelliteRecord(kStr3Line1, noMotion), &still), kElementsInvalid);
    SatVector position, velocity;
    EXPECT_EQ(PropagateSgp(100.0, &position, &velocity, still), kOrbitDecayed);
    EXPECT_EQ(position.x, 0.0);
}

// A retrograde equatorial orbit: the long-period terms divide by 1 + cos i, which is 0.
TEST(Sgp, RetrogradeEquatorialOrbitStaysFinite) {
    const TleElements el = ConvertLines(kStr3Line1, std::string(kStr3Line2).replace(8, 8, "180.0000"));
    for (double minutes = -1440.0; minutes <= 1440.0; minutes += 180.0) {
        SatVector position, velocity;
        ASSERT_EQ(PropagateSgp(minutes, &position, &velocity, el), kOrbitPropagated) << minutes;
        EXPECT_NEAR(VectorMagnitude(&position), 1.03, 0.03) << minutes;
        EXPECT_NEAR(position.z, 0.0, 1e-6) << minutes;
        EXPECT_TRUE(std::isfinite(VectorMagnitude(&velocity))) << minutes;
    }
}

}  // namespace
