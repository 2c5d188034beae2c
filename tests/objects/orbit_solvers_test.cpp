// Kepler's, Barker's and the hyperbolic equation, Gauss's near-parabolic series, the choice
// between them and the elements made from a comet record.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "objects/orbit_solvers.h"
#include "support/fixture_files.h"

namespace {

using test_units::kDeg;
using test_units::kPi;
using test_units::kRadToDeg;

CometElements Orbit(double q, double e, double perihelionJd = 2451545.0) {
    CometElements el;
    el.perihelionDistance = q;
    el.eccentricity = e;
    el.perihelionJd = perihelionJd;
    return el;
}

struct Polar {
    double nuDeg;
    double r;
};

Polar ToPolar(const OrbitPoint& p) { return {std::atan2(p.y, p.x) * kRadToDeg, std::hypot(p.x, p.y)}; }

}  // namespace

TEST(KeplerEquation, MeeusExamplesForBothIterations) {
    double E = 0;
    // Meeus 30: e = 0.1, M = 5 degrees (fixed-point steps).
    ASSERT_EQ(SolveKeplerEquation(0.1, 5.0 * kDeg, &E), 1);
    EXPECT_NEAR(E * kRadToDeg, 5.554589, 1e-6);
    // Meeus 30: e = 0.99, M = 0.2 rad (Newton's method).
    ASSERT_EQ(SolveKeplerEquation(0.99, 0.2, &E), 1);
    EXPECT_NEAR(E, 1.066997365282, 1e-11);
}

TEST(KeplerEquation, SolvesEveryAnomalyOnBothSidesOfTheSwitch) {
    for (double e : {0.0, 0.3, 0.59, 0.6, 0.9, 0.97}) {
        for (int i = -180; i <= 180; ++i) {
            const double M = i * kPi / 180.0;
            double E = 0;
            ASSERT_EQ(SolveKeplerEquation(e, M, &E), 1) << e << " " << M;
            EXPECT_LT(std::fabs(E - e * std::sin(E) - M), 1e-10) << e << " " << M;
        }
    }
}

TEST(OrbitSolvers, MeeusParabola) {
    // Meeus 34.a: q = 1.487469, T = 1998 April 14.4358, t = 1998 August 5.0.
    const CometElements el = Orbit(1.487469, 1.0, 2450917.9358);
    OrbitPoint p;
    ASSERT_EQ(SolveParabolicOrbit(el, 2451030.5, &p), 1);
    EXPECT_NEAR(ToPolar(p).nuDeg, 66.78862, 1e-5);
    EXPECT_NEAR(ToPolar(p).r, 2.133911, 2e-6);
}

TEST(OrbitSolvers, NearParabolicAndHyperbolicOrbits) {
    struct Case {
        double q, e, days, nuDeg, r, nuTolerance, rTolerance;
    };
    const Case cases[] = {
        // Meeus 35: the exact values; the series rows within its truncation.
        {0.921326, 1.0000001, 138.4783, 102.74426, 2.364192, 1e-4, 2e-6},
        {0.1, 0.987, 254.9, 164.50029, 4.063777, 0.01, 0.005},
        {0.123456, 0.99997, -30.47, 221.91190 - 360.0, 0.965053, 1e-3, 1e-5},
        {3.363943, 1.05731, 1237.1, 109.40598, 10.668551, 1e-4, 1e-5},
        {0.5871018, 0.9672746, 20.0, 52.85331, 0.729116, 1e-4, 1e-6},
    };
    for (const Case& c : cases) {
        OrbitPoint p;
        ASSERT_EQ(ComputeOrbitPoint(Orbit(c.q, c.e), 2451545.0 + c.days, &p), 1) << c.e;
        EXPECT_NEAR(ToPolar(p).nuDeg, c.nuDeg, c.nuTolerance) << c.q << " " << c.e;
        EXPECT_NEAR(ToPolar(p).r, c.r, c.rTolerance) << c.q << " " << c.e;
    }
    // Clearly hyperbolic orbits against their exact solution, before and after perihelion
    // (the series Gauss's method uses would give 77.1 degrees and 1.49 AU for the first).
    const auto rows = ReadTaggedFixtureRows("objects/comet_places_ephem.txt", "orbit");
    ASSERT_EQ(rows.size(), 4u);
    for (const auto& row : rows) {
        OrbitPoint p;
        ASSERT_EQ(ComputeOrbitPoint(Orbit(row[0], row[1]), 2451545.0 + row[2], &p), 1);
        EXPECT_NEAR(ToPolar(p).nuDeg, row[3], 1e-6) << row[0] << " " << row[2];
        EXPECT_NEAR(ToPolar(p).r, row[4], 1e-7) << row[0] << " " << row[2];
    }
}

TEST(OrbitSolvers, EachEccentricityGoesToItsSolverAndStartsAtPerihelion) {
    struct Case {
        double e;
        int (*solver)(const CometElements&, double, OrbitPoint*);
    };
    const Case cases[] = {{0.5, SolveEllipticOrbit},          {0.6, SolveEllipticOrbit},
                          {0.97, SolveEllipticOrbit},         {0.98, SolveNearParabolicOrbit},
                          {0.9999, SolveNearParabolicOrbit},  {1.0, SolveParabolicOrbit},
                          {1.0000001, SolveHyperbolicOrbit},  {1.2, SolveHyperbolicOrbit}};
    for (const Case& c : cases) {
        const CometElements el = Orbit(0.8, c.e);
        OrbitPoint chosen, direct;
        ASSERT_EQ(ComputeOrbitPoint(el, el.perihelionJd + 37.25, &chosen), 1) << c.e;
        ASSERT_EQ(c.solver(el, el.perihelionJd + 37.25, &direct), 1) << c.e;
        EXPECT_EQ(chosen.x, direct.x) << c.e;
        EXPECT_EQ(chosen.y, direct.y) << c.e;
        OrbitPoint atPerihelion;
        ASSERT_EQ(ComputeOrbitPoint(el, el.perihelionJd, &atPerihelion), 1) << c.e;
        EXPECT_NEAR(atPerihelion.x, 0.8, 1e-12) << c.e;
        EXPECT_NEAR(atPerihelion.y, 0.0, 1e-12) << c.e;
        EXPECT_EQ(atPerihelion.z, 0.0) << c.e;
    }
    // The hyperbolic solver is not the series: far from perihelion they part.
    const CometElements el = Orbit(0.255, 1.2011);
    OrbitPoint exact, series;
    ASSERT_EQ(SolveHyperbolicOrbit(el, el.perihelionJd + 400.0, &exact), 1);
    ASSERT_EQ(SolveNearParabolicOrbit(el, el.perihelionJd + 400.0, &series), 1);
    EXPECT_GT(std::fabs(ToPolar(exact).nuDeg - ToPolar(series).nuDeg), 30.0);
}

TEST(OrbitSolvers, UnsolvableElementsGiveStatusZeroAndLeaveThePoint) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double e : {0.3, 0.7, 0.99, 1.0, 1.5}) {
        const CometElements cases[] = {Orbit(0.0, e), Orbit(-1.0, e), Orbit(nan, e), Orbit(1.0, e, nan),
                                       Orbit(1.0, e, inf)};
        for (const CometElements& el : cases) {
            OrbitPoint p{7, 8, 9};
            EXPECT_EQ(ComputeOrbitPoint(el, 2451600.0, &p), 0) << e;
            EXPECT_EQ(p.x, 7);
            EXPECT_EQ(p.y, 8);
        }
        OrbitPoint p{7, 8, 9};
        EXPECT_EQ(ComputeOrbitPoint(Orbit(1.0, e), nan, &p), 0) << e;
        EXPECT_EQ(p.x, 7);
    }
    OrbitPoint p;
    EXPECT_EQ(ComputeOrbitPoint(Orbit(1.0, nan), 2451600.0, &p), 0);
    EXPECT_EQ(ComputeOrbitPoint(Orbit(1.0, -0.1), 2451600.0, &p), 0);
}

TEST(CometElementsFromRecord, PerihelionTimeInDoubleAndTheWorkBlockForTheLayout) {
    CometRecord rec;
    rec.year = 2024;
    rec.month = 4;
    rec.perihelionDay = 21.1234f;
    rec.perihelionDistance = 0.75f;
    rec.eccentricity = 0.5f;
    rec.argPerihelion = 12.5f;
    rec.ascendingNode = 200.25f;
    rec.inclination = 33.0f;
    const CometElements el = MakeCometElements(rec);
    // 2024 April 21.0 is JD 2460421.5; the fraction comes from the 32-bit day.
    EXPECT_NEAR(el.perihelionJd, 2460421.5 + (static_cast<double>(rec.perihelionDay) - 21.0), 1e-9);
    EXPECT_EQ(el.eccentricity, 0.5);
    EXPECT_EQ(el.perihelionDistance, 0.75);
    EXPECT_EQ(el.ascendingNode, 200.25);

    FillCometWorkElements(rec);
    EXPECT_NEAR(rec.work[0], 2460421.6234, 0.25);  // a 32-bit Julian day
    EXPECT_EQ(rec.work[1], 0.5f);
    EXPECT_EQ(rec.work[2], 1.5f);
    EXPECT_EQ(rec.work[3], 0.75f);
    EXPECT_EQ(rec.work[4], 12.5f);
    EXPECT_EQ(rec.work[5], 200.25f);
    EXPECT_EQ(rec.work[6], 33.0f);
    EXPECT_EQ(rec.work[7], 2000.0f);
    rec.eccentricity = 1.0f;
    FillCometWorkElements(rec);
    EXPECT_EQ(rec.work[2], 0.0f);  // a parabola has no semi-major axis
}
