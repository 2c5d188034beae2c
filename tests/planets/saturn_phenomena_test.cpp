#include "planets/saturn_phenomena.h"

#include <gtest/gtest.h>

namespace {

constexpr double kStep = 1.1 / 7;

class SaturnPhenomenaTest : public ::testing::Test {
protected:
    void TearDown() override { FreeSaturnTables(); }
};

// Meeus, Astronomical Algorithms, example 46.a (JDE 2451439.50074), satellites II to VI.
TEST_F(SaturnPhenomenaTest, WorkedExample) {
    const double jde = 2451439.50074;
    PrepareSaturnTables(jde - 3 * kStep, kStep, 6);
    SaturnSatelliteRecord records[kSaturnSlots] = {};
    ASSERT_GE(GetSaturnSatellitesAt(jde, records), 0);
    const double X[5] = {3.823, 4.027, -5.365, -0.972, 14.568};
    const double Y[5] = {0.318, -1.061, -1.148, -3.136, 4.738};
    for (int slot = 1; slot < kSaturnSlots; ++slot) {
        EXPECT_NEAR(records[slot].x, X[slot - 1], 0.005) << slot;
        EXPECT_NEAR(records[slot].y, Y[slot - 1], 0.005) << slot;
    }
    // At the nodes the samples come back.
    for (int k = 0; k < kSaturnSamples; ++k) {
        double x, y, z, sx, sy, sz;
        ASSERT_EQ(InterpolateSaturnSatellite(saturnTables[0][k], 3, &x, &y, &z, &sx, &sy, &sz), 1);
        EXPECT_NEAR(x, saturnTables[5][3 * kSaturnSamples + k], 1e-9);
        EXPECT_NEAR(sz, saturnTables[10][3 * kSaturnSamples + k], 1e-9);
    }
}

TEST_F(SaturnPhenomenaTest, QueryBeforePreparationLeavesOutputs) {
    int codes[5] = {7, 7, 7, 7, 7};
    EXPECT_EQ(GetSaturnPhenomena(2451439.5, codes), 0);
    for (int c : codes) EXPECT_EQ(c, 7);
    double l = 1, b = 2, r = 3;
    EXPECT_EQ(InterpolateSaturnPosition(2451439.5, &l, &b, &r), 0);
    EXPECT_EQ(l, 1);
    SaturnSatelliteRecord records[kSaturnSlots] = {};
    records[2].x = 42;
    EXPECT_EQ(GetSaturnSatellitesAt(2451439.5, records), -1);
    EXPECT_EQ(records[2].x, 42);
}

TEST_F(SaturnPhenomenaTest, SecondPreparationReplacesTheTables) {
    PrepareSaturnTables(2451439.0, kStep, 6);
    PrepareSaturnTables(2460000.0, kStep, 6);
    EXPECT_EQ(saturnTables[0][0], 2460000.0);
    for (const auto& table : saturnTables) EXPECT_FALSE(table.empty());
    FreeSaturnTables();
    for (const auto& table : saturnTables) EXPECT_TRUE(table.empty());
}

TEST(SaturnDisc, ClassificationAndCodes) {
    struct Case {
        double x, y, z;
        std::uint8_t transit, occultation;
    } cases[] = {
        {0.5, 0.0, 0.0, 0, 1},    // on the disc with Z exactly 0: occulted
        {0.5, 0.0, -3.0, 1, 0},   // in front
        {0.0, 0.91, -3.0, 0, 0},  // outside the flattened disc (1.108601 x 0.91 > 1)
        {0.0, 0.89, 3.0, 0, 1},
        {1.0, 0.0, -3.0, 0, 0},   // on the rim counts as outside
    };
    for (const Case& c : cases) {
        SaturnSatelliteRecord r{c.x, c.y, c.z, 9, 9, 0, 0};
        ClassifySatelliteDisc(&r);
        EXPECT_EQ(r.transit, c.transit) << c.x << " " << c.y;
        EXPECT_EQ(r.occultation, c.occultation) << c.x << " " << c.y;
    }
    struct Flags {
        std::uint8_t transit, occultation, eclipse, shadow;
        int code;
    } flags[] = {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 1}, {1, 0, 0, 1, 2}, {0, 0, 0, 1, 3},
                 {0, 0, 1, 0, 4}, {0, 1, 0, 0, 5}, {0, 1, 1, 0, 4}};
    for (const Flags& f : flags) {
        const SaturnSatelliteRecord r{0, 0, 0, f.transit, f.occultation, f.eclipse, f.shadow};
        EXPECT_EQ(SaturnPhenomenonCode(r), f.code);
    }
}

TEST(SaturnLightTime, LoopStopsAtItsCap) {
    double tau = 0.0;
    // Never converges: each pass moves by a day.
    EXPECT_EQ(IterateLightTime(&tau, [](double t) { return t + 1.0; }), kLightTimeIterations);
    tau = 0.05;
    EXPECT_EQ(IterateLightTime(&tau, [](double) { return 0.05; }), 1);
}

// Meeus, example 21.c: Venus from J2000.0 to -214 June 30, and back again.
TEST(SaturnPrecession, WorkedExample) {
    double l, b, l2, b2;
    PrecessEcliptic(149.48194, 1.76549, 2451545.0, 1643074.5, &l, &b);
    EXPECT_NEAR(l, 118.704, 0.001);
    EXPECT_NEAR(b, 1.615, 0.001);
    PrecessEcliptic(l, b, 1643074.5, 2451545.0, &l2, &b2);
    EXPECT_NEAR(l2, 149.48194, 1e-6);
    EXPECT_NEAR(b2, 1.76549, 1e-6);
}

}  // namespace
