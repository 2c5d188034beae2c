// The umbra on the ground at an instant: its ellipse, motion, central duration and the
// lines of equal duration.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "eclipses/eclipse_state.h"
#include "eclipses/published_eclipses.h"
#include "eclipses/umbra_ground.h"

namespace {
constexpr double kDeg = 0.017453292519943295;

class UmbraGround : public ::testing::Test {
protected:
    void SetUp() override { SelectPositionSource(0); }
    void TearDown() override { SelectPositionSource(1); }
};

TEST_F(UmbraGround, TotalityAtGreatestEclipseOf2017) {
    const PublishedEclipse& p = kTotal2017;
    PinDeltaT(p.year, p.deltaT);
    LocalEclipse local;
    ASSERT_EQ(GetLocalEclipse(&local, 2017, 8, 21, 18, 25, 30), 1);
    EXPECT_NEAR(local.pointLatitude, p.latitude, 0.2);
    EXPECT_NEAR(local.pointLongitude, p.longitudeWest, 0.2);
    EXPECT_NEAR(local.clockHours, 18.425, 1e-9);
    EXPECT_NEAR(local.sunAltitude, 63.9, 0.3);  // NASA: the Sun's altitude there
    // The shadow stretched along the azimuth by the Sun's height.
    EXPECT_NEAR(local.ellipseMajor, local.ellipseMinor / std::sin(local.sunAltitude * kDeg), 1.0);
    EXPECT_GT(local.ellipseMinor, 40);
    // A ground ellipse is a simplification of the path: within a tenth of NASA's duration.
    EXPECT_NEAR(local.centralDuration, p.durationSeconds, 0.1 * p.durationSeconds);
    EXPECT_GT(local.centralMagnitude, 1.0);
    // East-south-east at about 2400 km/h.
    EXPECT_GT(local.direction, 90);
    EXPECT_LT(local.direction, 135);
    EXPECT_GT(local.speed, 2000);
    EXPECT_LT(local.speed, 3000);
    EXPECT_EQ(local.speed % 10, 0);
    EXPECT_EQ(local.azimuthMod180, static_cast<int>(local.sunAzimuth - 180.0 * std::floor(local.sunAzimuth / 180.0)));
}

TEST_F(UmbraGround, HalfWidthIsTheEllipsesReachAcrossTheMotion) {
    PinDeltaT(2024, 74.0);
    LocalEclipse local;
    ASSERT_EQ(GetLocalEclipse(&local, 2024, 4, 8, 17, 30, 0), 1);
    // Sample the ellipse in the horizontal plane (long axis along the azimuth) and take its
    // reach across the direction of motion.
    const double a = local.sunAzimuth * kDeg;
    const double theta = local.direction * kDeg;
    const double R = local.ellipseMajor, r = local.ellipseMinor;
    double reach = 0.0;
    for (int i = 0; i < 3600; ++i) {
        const double s = i * 0.1 * kDeg;
        const double north = R * std::cos(s) * std::cos(a) - r * std::sin(s) * std::sin(a);
        const double east = R * std::cos(s) * std::sin(a) + r * std::sin(s) * std::cos(a);
        reach = std::fmax(reach, -north * std::sin(theta) + east * std::cos(theta));
    }
    EXPECT_NEAR(local.halfWidth, reach, 2.0);
    EXPECT_GE(local.halfWidth, local.ellipseMinor - 1);
    EXPECT_LE(local.halfWidth, local.ellipseMajor + 1);
    EXPECT_NEAR(local.directionWidth, std::fabs(2.0 * std::sin(theta) * local.halfWidth), 3.0);
}

TEST_F(UmbraGround, AnnularInstantGivesTheAntumbrasSize) {
    const PublishedEclipse& p = kAnnular2023;
    PinDeltaT(p.year, p.deltaT);
    LocalEclipse local;
    ASSERT_EQ(GetLocalEclipse(&local, 2023, 10, 14, 17, 59, 27), 1);
    EXPECT_LT(local.centralMagnitude, 1.0);
    EXPECT_GT(local.ellipseMinor, 80);  // the antumbra is some 180 km across
    EXPECT_LT(local.ellipseMinor, 110);
    EXPECT_NEAR(local.centralDuration, p.durationSeconds, 0.1 * p.durationSeconds);
}

TEST_F(UmbraGround, MissedAxisLeavesTheRecord) {
    PinDeltaT(2017, 70.3);
    LocalEclipse local;
    local.ellipseMajor = 11;
    local.speed = 22;
    local.centralDuration = 33.0;
    LocalEclipse before = local;
    EXPECT_EQ(GetLocalEclipse(&local, 2017, 8, 19, 18, 25, 30), 0);
    EXPECT_NEAR(local.clockHours, 18.425, 1e-9);
    before.clockHours = local.clockHours;
    EXPECT_EQ(std::memcmp(&local, &before, sizeof local), 0);
}

TEST_F(UmbraGround, AxisLeavingTheEarthWithinTheSecondGivesNoSpeed) {
    // The last whole second at which the axis still meets the Earth: one second later the
    // point has nowhere to go, so the shadow has no direction of its own and no speed.
    PinDeltaT(2017, 70.3);
    LocalEclipse local;
    local.direction = 77;
    int lastHit = -1;
    for (int second = 19 * 3600 + 55 * 60; second < 20 * 3600 + 10 * 60; second += 10) {
        if (!GetLocalEclipse(&local, 2017, 8, 21, 0, 0, second)) break;
        lastHit = second;
    }
    ASSERT_GT(lastHit, 0);
    for (int second = lastHit + 1; second < lastHit + 10; ++second) {
        if (!GetLocalEclipse(&local, 2017, 8, 21, 0, 0, second)) break;
        lastHit = second;
    }
    local.direction = 77;
    ASSERT_EQ(GetLocalEclipse(&local, 2017, 8, 21, 0, 0, lastHit), 1);
    EXPECT_EQ(local.speed, 0);
    EXPECT_EQ(local.direction, 77);
    EXPECT_EQ(local.centralDuration, 0.0);
    EXPECT_EQ(local.levelDuration[0], 0);
}

TEST_F(UmbraGround, LevelsFallInDurationAwayFromTheAxis) {
    PinDeltaT(2024, 74.0);
    LocalEclipse local;
    ASSERT_EQ(GetLocalEclipse(&local, 2024, 4, 8, 18, 17, 15), 1);
    ASSERT_GT(local.centralDuration, 200.0);
    // The ellipse of that instant, for durations chosen below.
    const double a = local.sunAzimuth * kDeg, theta = local.direction * kDeg;
    const double r2 = local.ellipseMinor * local.ellipseMinor, R2 = local.ellipseMajor * local.ellipseMajor;
    const double b = a - theta, across = b + 3.141592653589793 / 2.0;
    ShadowEllipse e;
    e.P = std::sin(b) * std::sin(across) / r2 + std::cos(b) * std::cos(across) / R2;
    e.Q = std::sin(across) * std::sin(across) / r2 + std::cos(across) * std::cos(across) / R2;
    e.S = std::sin(b) * std::sin(b) / r2 + std::cos(b) * std::cos(b) / R2;
    const double halfLength = 1.0 / std::sqrt(e.S);
    const double halfWidth = 1.0 / std::sqrt(e.Q - e.P * e.P / e.S);

    struct Case {
        double duration;
        int maxLevels, step;
    };
    for (const Case& c : {Case{20.0, 0, 0}, Case{25.0, 0, 0}, Case{40.0, 4, 5}, Case{160.0, 8, 15},
                          Case{local.centralDuration, 8, 5 * static_cast<int>(std::ceil(local.centralDuration / 55.0))}}) {
        SCOPED_TRACE(c.duration);
        LocalEclipse levels;
        levels.levelDuration[0] = 44;  // an earlier instant's line
        levels.centralDuration = c.duration;
        ComputeUmbraLevels(&levels, e, halfWidth, halfLength);
        if (c.maxLevels == 0) {
            EXPECT_EQ(levels.levelDuration[0], 0);
            continue;
        }
        int count = 0;
        while (count < kUmbraLevelCount && levels.levelDuration[count] > 0) ++count;
        EXPECT_GE(count, 1);
        EXPECT_LE(count, c.maxLevels);
        for (int i = 0; i < count; ++i) {
            SCOPED_TRACE(i);
            const int rest = levels.levelDuration[i] % c.step;  // whole steps, truncated
            EXPECT_TRUE(rest <= 1 || rest >= c.step - 1) << levels.levelDuration[i];
            EXPECT_LT(levels.levelDuration[i], c.duration) << i;
            EXPECT_LE(levels.levelOffset[i], halfWidth + 1.0) << i;
            if (i > 0) {
                EXPECT_LT(levels.levelDuration[i], levels.levelDuration[i - 1]) << i;
                EXPECT_GT(levels.levelOffset[i], levels.levelOffset[i - 1]) << i;
            }
        }
    }

    // An ellipse that is not a number: the halvings stop, and nothing undefined is stored.
    LocalEclipse broken;
    broken.centralDuration = 100.0;
    const double nan = std::nan("");
    ComputeUmbraLevels(&broken, ShadowEllipse{nan, nan, nan}, 50.0, 60.0);
    for (int i = 0; i < kUmbraLevelCount; ++i) {
        EXPECT_EQ(broken.levelDuration[i], 0);
        EXPECT_EQ(broken.levelHalfLength[i], 0);
    }
}
}  // namespace
