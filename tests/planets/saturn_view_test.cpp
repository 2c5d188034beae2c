#include "planets/saturn_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "astro/time_scales.h"
#include "core/calendar.h"
#include "shell/fonts.h"
#include "support/fixture_files.h"
#include "support/observing_state.h"

namespace {

TEST(SaturnView, RingTiltFollowsIndependentEphemeris) {
    const auto rows = ReadFixtureRows("planets/saturn_view.txt");
    ASSERT_GT(rows.size(), 80u);
    double worst = 0.0;
    for (const auto& row : rows) {
        SaturnAspect aspect{};
        ComputeSaturnAspect(row[0] + 69.0 / 86400.0, &aspect);
        worst = std::max(worst, std::fabs(aspect.tilt - row[1]));
    }
    EXPECT_LT(worst, 0.2);
    // Meeus, Astronomical Algorithms, example 45.a.
    SaturnAspect aspect{};
    ComputeSaturnAspect(2448972.50068, &aspect);
    EXPECT_NEAR(aspect.tilt, 16.442, 0.15);
}

// Circular orbits in the ring plane: Titan's eccentricity costs the most. The view's X is
// positive east (on the left of the sky as seen), the reference's positive west.
TEST(SaturnView, SatellitesFollowIndependentEphemeris) {
    const double limits[kSaturnViewMoons] = {0.25, 0.6, 0.45, 0.55, 2.3};
    double worst[kSaturnViewMoons] = {};
    int count = 0;
    for (const auto& row : ReadFixtureRows("planets/saturn_view.txt")) {
        if (row.size() < 7) continue;
        ++count;
        SaturnAspect aspect{};
        ComputeSaturnAspect(row[0] + 66.0 / 86400.0, &aspect);
        for (int k = 0; k < kSaturnViewMoons; ++k) worst[k] = std::max(worst[k], std::fabs(aspect.x[k] + row[2 + k]));
    }
    EXPECT_GT(count, 50);
    for (int k = 0; k < kSaturnViewMoons; ++k) EXPECT_LT(worst[k], limits[k]) << k;
}

TEST(SaturnView, RingCellBandsAndFaces) {
    struct Case {
        double tilt;
        int cell;
    } cases[] = {{0.0, 0}, {0.49, 0}, {0.5, 1}, {-0.5, 1}, {3.99, 3}, {4.0, 4}, {25.49, 8}, {25.5, 9}, {-27.0, 9}};
    for (const Case& c : cases) EXPECT_EQ(SaturnRingCell(c.tilt), c.cell) << c.tilt;
    EXPECT_EQ(SaturnRingRow(12.34, 1), 0);
    EXPECT_EQ(SaturnRingRow(-12.34, 1), 1);
    EXPECT_EQ(SaturnRingRow(-12.34, -1), 0);
    EXPECT_EQ(SaturnRingRow(0.0, 1), 1);
}

TEST(SaturnView, ModesFillTheOffsets) {
    SavedObservingState saved;
    UseTestSite(48.85, -2.35, 0);
    const platform::Color colours[kSaturnViewMoons] = {};
    const double jde = DateTimeToJD(2010, 6, 1, 22, 0, 0, 0) + GetDeltaT(2010, 6, 1) / 86400.0;
    SaturnAspect aspect{};
    ComputeSaturnAspect(jde, &aspect);
    const double scale = 3.52685 * GetDpiFactor();
    for (int xSign : {1, -1}) {
        for (int ySign : {1, -1}) {
            double x[5], y[5];
            int codes[5];
            DrawSaturn(2010, 6, 1, 22, 0, 0, 0, 240, 100, x, y, codes, kSaturnCompute, colours, xSign, ySign);
            for (int k = 0; k < kSaturnViewMoons; ++k) {
                EXPECT_DOUBLE_EQ(x[k], -(xSign * aspect.x[k] * scale));
                EXPECT_DOUBLE_EQ(y[k], -(ySign * aspect.y[k] * scale));
                EXPECT_EQ(codes[k], aspect.codes[k]);
            }
        }
    }
    // The rings modes: the ring width with the tilt's sign, codes untouched.
    for (int mode : {1, static_cast<int>(kSaturnRings)}) {
        double x[5], y[5] = {7, 7, 7, 7, 7};
        int codes[5] = {9, 9, 9, 9, 9};
        DrawSaturn(2010, 6, 1, 22, 0, 0, 0, 240, 100, x, y, codes, mode, colours, 1, 1);
        const double ring = std::trunc(1.5 * GetDpiFactor() * std::fabs(aspect.tilt));
        for (int k = 0; k < kSaturnViewMoons; ++k) {
            EXPECT_EQ(x[k], aspect.tilt < 0 ? -ring : ring);
            EXPECT_EQ(y[k], 0.0);
            EXPECT_EQ(codes[k], 9);
        }
    }
}

TEST(SaturnView, DiscCodesByTheFlattenedDisc) {
    // Scan a year in steps of hours: every code is 0 outside the disc and 1 or 5 inside.
    int seen[6] = {};
    for (double jde = 2455000.5; jde < 2455365.5; jde += 0.1) {
        SaturnAspect a{};
        ComputeSaturnAspect(jde, &a);
        for (int k = 0; k < kSaturnViewMoons; ++k) {
            const double r = std::hypot(a.x[k], 1.108601 * a.y[k]);
            if (r > 1.0) EXPECT_EQ(a.codes[k], 0);
            else EXPECT_TRUE(a.codes[k] == 1 || a.codes[k] == 5);
            ++seen[a.codes[k]];
        }
    }
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(seen[5], 0);
}

}  // namespace
