#include "astro/fixed_trig.h"
#include "astro/fixed_trig_internal.h"
#include "support/fixture_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using i32 = std::int32_t;
using i64 = std::int64_t;

using test_units::kPi;
// The fixed-point angle scale: the system's full turn is 105414356, not 2 pi 2^24.
constexpr double kUnitsPerRadian = kFixTurn / (2 * kPi);

double Radians(i32 angle) { return angle / kUnitsPerRadian; }
double Units(double v) { return v * kFixOne; }

struct FrozenCase {
    std::string name;
    std::vector<i64> in;
    std::vector<i64> out;
};

std::vector<FrozenCase> ReadFrozen() {
    std::vector<FrozenCase> cases;
    for (const std::string& line : ReadFixtureLines("astro/fixed_trig_frozen.txt")) {
        std::istringstream fields(line);
        FrozenCase c;
        fields >> c.name;
        std::string token;
        bool output = false;
        while (fields >> token) {
            if (token == ":") {
                output = true;
            } else {
                (output ? c.out : c.in).push_back(std::stoll(token));
            }
        }
        cases.push_back(c);
    }
    return cases;
}

std::vector<i64> RunKernel(const FrozenCase& c) {
    auto a = [&](std::size_t i) { return static_cast<i32>(c.in.at(i)); };
    if (c.name == "sincos") {
        i32 cosine = 0, sine = 0;
        FixSinCos(a(0), &cosine, &sine);
        return {cosine, sine};
    }
    if (c.name == "tan") return {FixTan(a(0))};
    if (c.name == "tanseries") return {FixTanSeries(a(0))};
    if (c.name == "atan2") return {FixAtan2(a(0), a(1))};
    if (c.name == "asin") return {FixAsin(a(0))};
    if (c.name == "asincordic") return {FixAsinCordic(a(0))};
    auto xyz = [](const CordicResult& r) { return std::vector<i64>{r.x, r.y, r.z}; };
    if (c.name == "rotate") return xyz(CordicRotate(a(0), a(1), a(2)));
    if (c.name == "vector") return xyz(CordicVector(a(0), a(1), a(2)));
    if (c.name == "hyperbolic") return xyz(CordicHyperbolicVector(a(0), a(1), a(2)));
    if (c.name == "rotate16") return xyz(CordicRotate16(a(0), a(1), a(2)));
    if (c.name == "sincos16") {
        std::int16_t cosine = 0, sine = 0;
        FixSinCos16(a(0), &cosine, &sine);
        return {cosine, sine};
    }
    if (c.name == "rotation" || c.name == "zxz") {
        i32 m[9];
        (c.name == "rotation" ? FixRotationMatrix : FixRotationZXZ)(m, a(0), a(1), a(2));
        return std::vector<i64>(m, m + 9);
    }
    if (c.name == "apply") {
        i32 m[9], v[3];
        for (int i = 0; i < 9; ++i) m[i] = a(i);
        for (int i = 0; i < 3; ++i) v[i] = a(9 + i);
        FixMatrixApply(m, v);
        return std::vector<i64>(v, v + 3);
    }
    if (c.name == "multiply") {
        i32 x[9], y[9], r[9];
        for (int i = 0; i < 9; ++i) {
            x[i] = a(i);
            y[i] = a(9 + i);
        }
        FixMatrixMultiply(x, y, r);
        return std::vector<i64>(r, r + 9);
    }
    ADD_FAILURE() << "unknown kernel " << c.name;
    return {};
}

// The kernels' integers are what the star tables and maps were made with: any change,
// however small, is a fault.
TEST(FixedTrig, ReproducesFrozenOutputsExactly) {
    const std::vector<FrozenCase> cases = ReadFrozen();
    ASSERT_GT(cases.size(), 300u) << "fixture missing or cut";
    for (const FrozenCase& c : cases) {
        std::ostringstream label;
        label << c.name;
        for (i64 v : c.in) label << ' ' << v;
        EXPECT_EQ(RunKernel(c), c.out) << label.str();
    }
}

TEST(FixedTrig, BranchlessStepsGiveTheSameBitsAsTwoWaySteps) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<i32> any(std::numeric_limits<i32>::min(), std::numeric_limits<i32>::max());
    std::uniform_int_distribution<i32> unit(-(1 << 26), 1 << 26);
    auto same = [](auto kernel, auto reference, i32 x, i32 y, i32 z) {
        const CordicResult fast = kernel(x, y, z);
        const CordicResult plain = reference(x, y, z);
        EXPECT_EQ(fast.x, plain.x) << x << ' ' << y << ' ' << z;
        EXPECT_EQ(fast.y, plain.y) << x << ' ' << y << ' ' << z;
        EXPECT_EQ(fast.z, plain.z) << x << ' ' << y << ' ' << z;
    };
    for (int n = 0; n < 20000; ++n) {
        // Wide inputs wrap the same way in both; unit-sized ones are what callers pass.
        const i32 x = n % 2 ? any(rng) : unit(rng);
        const i32 y = n % 2 ? any(rng) : unit(rng);
        const i32 z = n % 3 ? unit(rng) : any(rng);
        same(CordicRotate, CordicRotateBranchy, x, y, z);
        same(CordicVector, CordicVectorBranchy, x, y, z);
        same(CordicHyperbolicVector, CordicHyperbolicVectorBranchy, x, y, z);
        same(CordicRotate16, CordicRotate16Branchy, x % 4096, y % 4096, z % 8192);
    }
    // Zero is where "z < 0" and "y <= 0" differ from a plain sign test.
    same(CordicRotate, CordicRotateBranchy, 10188013, 0, 0);
    same(CordicVector, CordicVectorBranchy, kFixOne, 0, 0);
    same(CordicHyperbolicVector, CordicHyperbolicVectorBranchy, kFixOne, 0, 0);
}

TEST(FixedTrig, SineCosineAndTangentStayCloseToDoublePrecision) {
    double worstSinCos = 0;
    double worstTan = 0;
    for (i64 a = -3LL * kFixTurn; a <= 3LL * kFixTurn; a += 9973) {
        i32 c, s;
        FixSinCos(static_cast<i32>(a), &c, &s);
        const double r = Radians(static_cast<i32>(a));
        worstSinCos = std::max({worstSinCos, std::fabs(c - Units(std::cos(r))), std::fabs(s - Units(std::sin(r)))});
        EXPECT_EQ(FixCos(static_cast<i32>(a)), c);
        if (std::fabs(std::cos(r)) > 0.2) {  // |tan| < 5: the quotient magnifies the error
            worstTan = std::max(worstTan, std::fabs(FixTan(static_cast<i32>(a)) - Units(std::tan(r))));
        }
    }
    EXPECT_LE(worstSinCos, 16.0);
    EXPECT_LE(worstTan, 400.0);
    // The polynomial is for small angles: within 20 degrees it is as good as the CORDIC.
    for (i32 x = -6000000; x <= 6000000; x += 4999) {
        EXPECT_NEAR(FixTanSeries(x), Units(std::tan(x / double(kFixOne))), 4.0) << x;
    }
}

TEST(FixedTrig, APairOfAnglesGivesTheBitsOfTwoSingleCalls) {
    const i32 edges[] = {0, 1, -1, kFixQuarterTurn - 1, kFixQuarterTurn, kFixHalfTurn, kFixThreeQuarterTurn - 1,
                         kFixThreeQuarterTurn, kFixTurn - 1, kFixTurn, -kFixTurn, INT32_MAX, INT32_MIN};
    std::vector<i32> angles(std::begin(edges), std::end(edges));
    for (i64 a = -2LL * kFixTurn; a <= 2LL * kFixTurn; a += 7919) angles.push_back(static_cast<i32>(a));
    for (std::size_t k = 0; k < angles.size(); ++k) {
        const i32 first = angles[k], second = angles[(k * 7 + 3) % angles.size()];
        i32 c1, s1, c2, s2, pc1, ps1, pc2, ps2;
        FixSinCos(first, &c1, &s1);
        FixSinCos(second, &c2, &s2);
        FixSinCosPair(first, second, &pc1, &ps1, &pc2, &ps2);
        ASSERT_EQ(std::tie(pc1, ps1, pc2, ps2), std::tie(c1, s1, c2, s2)) << first << " " << second;
    }
}

TEST(FixedTrig, QuadrantPointsAndFolding) {
    i32 c, s;
    FixSinCos(0, &c, &s);
    EXPECT_NEAR(c, kFixOne, 4);
    EXPECT_NEAR(s, 0, 4);
    FixSinCos(kFixQuarterTurn, &c, &s);
    EXPECT_NEAR(c, 0, 4);
    EXPECT_NEAR(s, kFixOne, 4);
    i32 c2, s2;
    FixSinCos(-kFixQuarterTurn, &c, &s);
    FixSinCos(kFixThreeQuarterTurn, &c2, &s2);
    EXPECT_EQ(c, c2);
    EXPECT_EQ(s, s2);
    EXPECT_NEAR(FixCos(kFixHalfTurn), -kFixOne, 4);
    // Whole turns, either sign, fold to the same point.
    for (const i32 a : {12345, kFixHalfTurn + 99, kFixTurn - 1}) {
        FixSinCos(a, &c, &s);
        FixSinCos(a - 2 * kFixTurn, &c2, &s2);
        EXPECT_EQ(c, c2);
        EXPECT_EQ(s, s2);
    }
    // Null outputs are allowed.
    FixSinCos(1000, nullptr, &s);
    FixSinCos(1000, &c, nullptr);
}

TEST(FixedTrig, TangentSaturatesInsteadOfDividingByZero) {
    i32 c;
    FixSinCos(26353587, &c, nullptr);
    ASSERT_EQ(c, 0) << "the fixture angle no longer has a zero cosine";
    EXPECT_EQ(FixTan(26353587), std::numeric_limits<i32>::max());
    EXPECT_EQ(FixTan(79060768), std::numeric_limits<i32>::min());
    // Beyond the 8.24 range (tan > 128) the quotient saturates rather than wrapping.
    EXPECT_EQ(FixTan(kFixQuarterTurn - 1000), std::numeric_limits<i32>::max());
    EXPECT_EQ(FixTan(-kFixQuarterTurn + 1000), std::numeric_limits<i32>::min());
    // Just inside the range it is still a true tangent (tan 89 degrees = 57.29).
    EXPECT_NEAR(FixTan(89 * kFixUnitsPerDegree) / double(kFixOne), 57.29, 0.05);
}

TEST(FixedTrig, Atan2CoversTheTurnAndLargeVectors) {
    EXPECT_EQ(FixAtan2(0, 0), 0);
    EXPECT_NEAR(FixAtan2(0, -kFixOne), kFixHalfTurn, 4);
    EXPECT_NEAR(FixAtan2(-kFixOne, 0), kFixThreeQuarterTurn, 4);
    EXPECT_NEAR(FixAtan2(kFixOne, 0), kFixQuarterTurn, 4);
    double worst = 0;
    for (int k = 0; k < 3600; ++k) {
        const double t = (k + 0.37) * 2 * kPi / 3600;
        // Radii from tiny to the full 32-bit range: large vectors once overflowed.
        for (const double radius : {4000.0, double(kFixOne), 2.1e9}) {
            const i32 x = static_cast<i32>(std::lround(radius * std::cos(t)));
            const i32 y = static_cast<i32>(std::lround(radius * std::sin(t)));
            const i32 angle = FixAtan2(y, x);
            ASSERT_GE(angle, 0);
            ASSERT_LT(angle, kFixTurn);
            double expected = std::atan2(double(y), double(x));
            if (expected < 0) expected += 2 * kPi;
            double diff = std::fabs(angle - expected * kUnitsPerRadian);
            diff = std::min(diff, std::fabs(diff - kFixTurn));  // either side of 0
            // Tiny vectors carry their own quantisation: 1 unit of 4000 is 2.5e-4 rad.
            if (radius > 1e6) worst = std::max(worst, diff);
        }
    }
    EXPECT_LE(worst, 16.0);
    // Extremes that cannot be negated or summed in 32 bits.
    EXPECT_NEAR(FixAtan2(std::numeric_limits<i32>::min(), std::numeric_limits<i32>::min()),
                kFixHalfTurn + kFixQuarterTurn / 2, 8);
    EXPECT_NEAR(FixAtan2(1, std::numeric_limits<i32>::min()), kFixHalfTurn, 8);
}

TEST(FixedTrig, CordicVectorKeepsTheMagnitudeOfLargeVectors) {
    // x = |v| / 0.6072529350 while it fits, saturated beyond.
    CordicResult r = CordicVector(1 << 28, 1 << 28, 0);
    EXPECT_NEAR(r.x, std::hypot(1 << 28, 1 << 28) / 0.6072529350, 64);
    EXPECT_NEAR(r.z, kFixQuarterTurn / 2, 4);
    r = CordicVector(1 << 30, 0, 0);
    EXPECT_NEAR(r.x, (1 << 30) / 0.6072529350, 256);
    EXPECT_NEAR(r.z, 0, 4);
    r = CordicVector(1 << 30, -(1 << 30), 0);
    EXPECT_EQ(r.x, std::numeric_limits<i32>::max());
    EXPECT_NEAR(r.z, -kFixQuarterTurn / 2, 4);
}

TEST(FixedTrig, ArcSineIsOddAccurateAndJoinsItsMethods) {
    double worst = 0;
    for (i32 s = -kFixOne; s <= kFixOne; s += 1021) {
        const i32 a = FixAsin(s);
        EXPECT_EQ(FixAsin(-s), -a) << s;
        worst = std::max(worst, std::fabs(a - std::asin(s / double(kFixOne)) * kUnitsPerRadian));
    }
    // The series' truncation (a few arc seconds at 0.5) is the largest error left; the
    // old one-sided use of the series was 14.5 degrees out near -1.
    EXPECT_LE(worst, 240.0);
    // The methods meet at 0.5 (series below, CORDIC above) and 0.98 (floating above).
    EXPECT_NEAR(FixAsin(kFixOne / 2), FixAsin(kFixOne / 2 + 1), 240);
    EXPECT_NEAR(FixAsin(14529495), FixAsin(14529496), 8);
    EXPECT_NEAR(FixAsin(16441671), FixAsin(16441672), 8);
    EXPECT_EQ(FixAsin(16441672), static_cast<i32>(std::asin(16441672 / 16777216.0) * 16777216.0));
    EXPECT_EQ(FixAsinCordic(-12000000), -FixAsinCordic(12000000));
    // Beyond +-1 the angle stops at a quarter turn instead of turning NaN into an integer.
    EXPECT_EQ(FixAsin(kFixOne + 5), FixAsin(kFixOne));
    EXPECT_EQ(FixAsin(std::numeric_limits<i32>::min()), -FixAsin(kFixOne));
    EXPECT_NEAR(FixAsin(kFixOne), kFixQuarterTurn, 1);
}

TEST(FixedTrig, SixteenBitSineCosine) {
    // Twelve steps with a truncated table and gain: up to 8 units of 1/2048 off.
    std::int16_t c, s;
    for (int a = -12868; a <= 2 * 12868; a += 7) {
        FixSinCos16(a, &c, &s);
        const double r = a / 2048.0;
        EXPECT_NEAR(c, 2048 * std::cos(r), 9.0) << a;
        EXPECT_NEAR(s, 2048 * std::sin(r), 9.0) << a;
    }
}

// Frame rotations as matrices acting on column vectors.
using Mat = std::array<double, 9>;
Mat Mul(const Mat& a, const Mat& b) {
    Mat r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[3 * i + j] += a[3 * i + k] * b[3 * k + j];
    return r;
}
Mat FrameX(double t) { return {1, 0, 0, 0, std::cos(t), std::sin(t), 0, -std::sin(t), std::cos(t)}; }
Mat FrameY(double t) { return {std::cos(t), 0, -std::sin(t), 0, 1, 0, std::sin(t), 0, std::cos(t)}; }
Mat FrameZ(double t) { return {std::cos(t), std::sin(t), 0, -std::sin(t), std::cos(t), 0, 0, 0, 1}; }
Mat Transposed(const Mat& m) { return {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]}; }

TEST(FixedTrig, RotationMatricesAreTheStatedRotationsAndOrthogonal) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<i32> angle(-kFixTurn, 2 * kFixTurn);
    for (int n = 0; n < 200; ++n) {
        const i32 a1 = angle(rng), a2 = angle(rng), a3 = angle(rng);
        i32 m[9];
        FixRotationMatrix(m, a1, a2, a3);
        const Mat expected = Mul(Mul(FrameX(Radians(a1)), FrameY(-Radians(a2))), FrameZ(Radians(a3)));
        for (int i = 0; i < 9; ++i) EXPECT_NEAR(m[i], Units(expected[i]), 32) << i;
        // M M^T = I within the kernels' precision.
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                double dot = 0;
                for (int k = 0; k < 3; ++k) dot += double(m[3 * i + k]) * m[3 * j + k];
                EXPECT_NEAR(dot / kFixOne, i == j ? kFixOne : 0, 64) << i << j;
            }
        }

        FixRotationZXZ(m, a1, a2, a3);
        // Active rotations are the transposes of frame rotations.
        const Mat active = Mul(Mul(Transposed(FrameZ(Radians(a2))), Transposed(FrameX(Radians(a3)))),
                               Transposed(FrameZ(Radians(a1))));
        for (int i = 0; i < 3; ++i) {
            EXPECT_NEAR(m[3 * i], Units(active[3 * i]), 32);
            EXPECT_NEAR(m[3 * i + 1], Units(active[3 * i + 1]), 32);
            EXPECT_EQ(m[3 * i + 2], 0);
        }
    }
}

TEST(FixedTrig, MatrixProductsShiftEachTerm) {
    i32 rot[9];
    FixRotationMatrix(rot, 1234567, 7654321, 33333333);
    // A rotation keeps a unit vector's length.
    i32 v[3] = {kFixOne, 0, 0};
    FixMatrixApply(rot, v);
    EXPECT_NEAR(std::hypot(double(v[0]), double(v[1]), double(v[2])), kFixOne, 32);
    // Each product is shifted before the sum: with -1 x 1 terms the truncation shows.
    const i32 tiny[9] = {1, 1, 1, 0, 0, 0, 0, 0, 0};
    i32 w[3] = {-1, -1, -1};
    FixMatrixApply(tiny, w);
    EXPECT_EQ(w[0], -3);
    // The result may be an operand.
    i32 sq[9];
    FixMatrixMultiply(rot, rot, sq);
    FixMatrixMultiply(rot, rot, rot);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(rot[i], sq[i]);
}

}  // namespace
