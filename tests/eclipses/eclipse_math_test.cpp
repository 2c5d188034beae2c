// The guarded conversions: no NaN or out-of-range value reaches an int.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include "eclipses/eclipse_math.h"

namespace {

TEST(EclipseMath, CheckedConversionsGiveTheFallbackForWhatNoIntHolds) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double value;
        int truncated, rounded;
    };
    const Case cases[] = {
        {2.7, 2, 3},          {-2.7, -2, -3},        {-2.5, -2, -2},    {0.49, 0, 0},
        {2147483647.4, INT_MAX, INT_MAX}, {-2147483648.9, INT_MIN, -7}, {2147483648.0, -7, -7},
        {nan, -7, -7},        {inf, -7, -7},         {-inf, -7, -7},    {1e300, -7, -7},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToIntChecked(c.value, -7), c.truncated) << c.value;
        EXPECT_EQ(RoundChecked(c.value, -7), c.rounded) << c.value;
    }
}

TEST(EclipseMath, ArcFunctionsTakeArgumentsJustPastOne) {
    EXPECT_EQ(ClampedAcos(1.0 + 1e-12), 0.0);
    EXPECT_DOUBLE_EQ(ClampedAcos(-1.0 - 1e-12), 3.141592653589793);
    EXPECT_DOUBLE_EQ(ClampedAsin(1.0 + 1e-9), 3.141592653589793 / 2.0);
    EXPECT_TRUE(std::isnan(ClampedAsin(std::numeric_limits<double>::quiet_NaN())));
    for (double d : {-180.0, 179.999, 180.0, 540.0, -540.0, -1e-17, 359.9}) {
        const double r = ReduceDegrees180(d);
        EXPECT_GE(r, -180.0) << d;
        EXPECT_LT(r, 180.0) << d;
        EXPECT_NEAR(std::remainder(r - d, 360.0), 0.0, 1e-9) << d;
    }
}

TEST(EclipseMath, SineThatDividesKeepsItsSignAwayFromZero) {
    const struct {
        double in, out;
    } cases[] = {{0.0, 1e-9}, {-0.0, -1e-9}, {1e-12, 1e-9}, {-1e-12, -1e-9}, {0.5, 0.5}, {-2e-9, -2e-9}};
    for (const auto& c : cases) EXPECT_EQ(SineAwayFromZero(c.in), c.out) << c.in;
    EXPECT_TRUE(std::isfinite(std::atan(std::cos(1.5707963267948966) * -1.0 / SineAwayFromZero(0.0))));
}
}  // namespace
