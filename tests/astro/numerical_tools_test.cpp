#include <gtest/gtest.h>

#include <cmath>

#include "astro/numerical_tools.h"
#include "support/fixture_files.h"
#include "support/recorded_reports.h"

namespace {

using test_units::kPi;

TEST(NumericalToolsTest, InterpolationReproducesPolynomials) {
    // A parabola through three points, also when extrapolating past the ends.
    auto parabola = [](double n) { return 3.0 - 2.0 * n + 0.7 * n * n; };
    for (double n : {-1.7, -1.0, -0.25, 0.0, 0.6, 1.0, 2.5}) {
        EXPECT_NEAR(Interpolate3(parabola(-1), parabola(0), parabola(1), n), parabola(n), 1e-12) << n;
    }

    // Five unevenly spaced nodes carry a quartic exactly, with or without prepared weights.
    auto quartic = [](double x) { return 0.5 * x * x * x * x - x * x * x + 2.0 * x - 7.0; };
    const double xs[5] = {-1.2, -0.3, 0.4, 1.1, 2.9};
    double ys[5], weights[5];
    for (int i = 0; i < 5; ++i) ys[i] = quartic(xs[i]);
    PrepareInterpolation(5, xs, weights);
    for (double x : {-1.0, 0.0, 0.77, 2.0, 3.5}) {
        EXPECT_NEAR(LagrangeInterpolate(x, 5, xs, nullptr, ys), quartic(x), 1e-9) << x;
        EXPECT_NEAR(LagrangeInterpolate(x, 5, xs, weights, ys), quartic(x), 1e-9) << x;
    }
    // At a node (and within the near-node branch) the node's value comes back.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(LagrangeInterpolate(xs[i], 5, xs, nullptr, ys), ys[i]);
        EXPECT_NEAR(LagrangeInterpolate(xs[i] + 1e-8, 5, xs, nullptr, ys), ys[i], 1e-6);
    }
    EXPECT_EQ(LagrangeInterpolate(0.5, 0, xs, nullptr, ys), 0.0);
}

TEST(NumericalToolsTest, ExtremumOfFiveValues) {
    // A quartic whose extremum lies at n = 0.35 of the tabular interval.
    auto f = [](double n) { return std::pow(n - 0.35, 2) * (4.0 + 0.1 * n * n); };
    EXPECT_NEAR(FindZeroFivePoint(f(-2), f(-1), f(0), f(1), f(2)), 0.35, 1e-6);
    // Symmetric values have their extremum at the middle.
    EXPECT_EQ(FindZeroFivePoint(5.0, 2.0, 1.0, 2.0, 5.0), 0.0);
    // Flat and straight data have none: NaN, not a plausible 0.
    EXPECT_TRUE(std::isnan(FindZeroFivePoint(3.0, 3.0, 3.0, 3.0, 3.0)));
    EXPECT_TRUE(std::isnan(FindZeroFivePoint(1.0, 2.0, 3.0, 4.0, 5.0)));
}

TEST(NumericalToolsTest, ClosestApproachOfTwoMovingPositions) {
    // The second body crosses the first one's right ascension 0.0005 rad north of it, 40%
    // of a step after the middle sample.
    const double times[3] = {10.0, 11.0, 12.0};
    const double ra1[3] = {1.0, 1.0, 1.0}, dec1[3] = {0.2, 0.2, 0.2};
    double ra2[3], dec2[3];
    for (int i = 0; i < 3; ++i) {
        ra2[i] = 1.0 + 0.002 * (i - 1 - 0.4);
        dec2[i] = 0.2005;
    }
    double separation = 0.0, instant = 0.0;
    const double result = FindRiseSetTransit(times, ra1, dec1, ra2, dec2, &separation, &instant);
    EXPECT_NEAR(instant, 11.4, 1e-3);
    EXPECT_EQ(result, instant);
    EXPECT_NEAR(separation, 0.0005 * 206264.8062, 0.1);

    // An offset that changes uniformly and vanishes at the middle sample.
    for (int i = 0; i < 3; ++i) {
        ra2[i] = 1.0 + 0.001 * (i - 1);
        dec2[i] = 0.2 + 0.0004 * (i - 1);
    }
    FindRiseSetTransit(times, ra1, dec1, ra2, dec2, &separation, &instant);
    EXPECT_NEAR(instant, 11.0, 1e-6);
    EXPECT_NEAR(separation, 0.0, 1e-6);

    // A standing offset has no instant of closest approach.
    for (int i = 0; i < 3; ++i) {
        ra2[i] = 1.001;
        dec2[i] = 0.2;
    }
    FindRiseSetTransit(times, ra1, dec1, ra2, dec2, &separation, &instant);
    EXPECT_TRUE(std::isnan(instant));
    EXPECT_NEAR(separation, 0.001 * std::cos(0.2) * 206264.8062, 0.5);
}

TEST(NumericalToolsTest, BrentMinimum) {
    double xmin = 0.0;
    double fmin = MinimizeBrent(&xmin, 0.0, 1.0, 5.0, 1e-8, [](double x) { return (x - 2.0) * (x - 2.0) + 1.0; });
    EXPECT_NEAR(xmin, 2.0, 1e-6);
    EXPECT_NEAR(fmin, 1.0, 1e-12);

    fmin = MinimizeBrent(&xmin, 4.0, 3.0, 2.0, 1e-10, [](double x) { return std::cos(x); });
    EXPECT_NEAR(xmin, kPi, 1e-6);
    EXPECT_NEAR(fmin, -1.0, 1e-12);

    // bx not below both ends, or not between them: no bracket, no minimum.
    fmin = MinimizeBrent(&xmin, 0.0, 1.0, 1.5, 1e-8, [](double x) { return (x - 2.0) * (x - 2.0); });
    EXPECT_TRUE(std::isnan(fmin));
    EXPECT_TRUE(std::isnan(xmin));
    fmin = MinimizeBrent(&xmin, 0.0, 5.0, 3.0, 1e-8, [](double x) { return (x - 2.0) * (x - 2.0); });
    EXPECT_TRUE(std::isnan(fmin));

    // Without a place for the abscissa the user is told.
    ClearRecordedReports();
    EXPECT_TRUE(std::isnan(MinimizeBrent(nullptr, 0.0, 1.0, 5.0, 1e-8, [](double x) { return x * x; })));
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(ReportText(0), "null\n");
    ClearRecordedReports();
}

TEST(NumericalToolsTest, BrentRoot) {
    EXPECT_NEAR(FindRootBrent([](double x) { return std::cos(x); }, 1.0, 2.0, 1e-12), kPi / 2, 1e-10);
    EXPECT_NEAR(FindRootBrent([](double x) { return x * x * x - 2.0 * x - 5.0; }, 3.0, 2.0, 1e-12),
                2.0945514815423265, 1e-10);
    // A root at an end is found.
    EXPECT_EQ(FindRootBrent([](double x) { return x - 1.0; }, 1.0, 4.0, 1e-9), 1.0);
    // Ends of the same sign bracket nothing: NaN rather than a plausible 0.
    EXPECT_TRUE(std::isnan(FindRootBrent([](double x) { return x * x + 1.0; }, -1.0, 1.0, 1e-9)));
    // Three roots inside the bracket: one of them.
    const double root = FindRootBrent([](double x) { return std::sin(x); }, -0.5, 3.0 * kPi - 0.5, 1e-12);
    EXPECT_NEAR(std::sin(root), 0.0, 1e-10);
    EXPECT_GT(root, -0.5);
    EXPECT_LT(root, 3.0 * kPi - 0.5);
}

}  // namespace
