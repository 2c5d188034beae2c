#include "astro/planetary_theory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "astro/tables/plan94_tables.h"
#include "astro/tables/planets_1900_elements.h"
#include "astro/tables/pluto_terms.h"
#include "astro/planetary_theory_reference.h"
#include "astro/time_scales.h"
#include "support/fixture_files.h"
#include "theories/sun_series.h"

namespace {

using test_units::kDeg;
using test_units::kPi;
using test_units::kRadToArcsec;
constexpr double kSinEps2000 = 0.3977771559319137;
constexpr double kCosEps2000 = 0.9174820620691818;

double Wrap(double a) { return std::remainder(a, 2.0 * kPi); }

TEST(PlanetaryTheoryTables, CountsAndPublishedRows) {
    EXPECT_EQ(kPlan94BodyCount, 8);
    EXPECT_EQ(kPlan94AxisTermCount, 9);
    EXPECT_EQ(kPlan94LongitudeTermCount, 10);
    EXPECT_DOUBLE_EQ(kPlan94Bodies[0].meanLongitude[1], 5381016286.88982);
    EXPECT_DOUBLE_EQ(kPlan94Bodies[7].axis[0], 30.1103868694);
    const double mercurySines[10] = {-342, 136, -23, 62, 66, -52, -33, 17, 0, 0};
    for (int k = 0; k < 10; ++k) EXPECT_EQ(kPlan94Bodies[0].longitudeSin[k], mercurySines[k]);
    const double inverseMasses[8] = {6023600, 408523.5, 328900.5, 3098710,
                                     1047.355, 3498.5, 22869, 19314};
    for (int p = 0; p < 8; ++p) EXPECT_EQ(kPlan94Bodies[p].inverseMass, inverseMasses[p]);

    EXPECT_EQ(kPlutoTermCount, 43);
    EXPECT_EQ(kPlutoTerms[0].longitudeSin, -19.799805);
    EXPECT_EQ(kPlutoTerms[5].radiusCos, -0.0006032);

    EXPECT_EQ(kPlanet1900Count, 7);
    EXPECT_EQ(kPlanet1900Elements[0].bodyIndex, 2);
    EXPECT_EQ(kPlanet1900Elements[6].bodyIndex, 8);
    EXPECT_EQ(kPlanet1900Elements[3].meanLongitude[0], 238.049257);  // Jupiter
}

// An independent implementation of the same theory, 1900-2100 (and J2000.0 itself, where
// only the cosine amplitudes of the periodic terms remain).
TEST(PlanetHeliocentricPV, MatchesIndependentImplementation) {
    const auto rows = ReadFixtureRows("theories/plan94_erfa.txt");
    ASSERT_EQ(rows.size(), 104u);
    for (const auto& r : rows) {
        double pv[6];
        ASSERT_EQ(PlanetHeliocentricPV(r[0], 0.0, static_cast<int>(r[1]), pv), kPlanetOk);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(pv[k], r[2 + k], 1e-10) << r[0] << " " << r[1];
        for (int k = 3; k < 6; ++k) EXPECT_NEAR(pv[k], r[2 + k], 1e-12) << r[0] << " " << r[1];
    }
}

// The batched sines and the turned Newton steps against the evaluation with a library sine
// for every term and step, for every planet over 1000-3000: directions to 1e-6", distances
// and velocities to their last digits.
TEST(PlanetHeliocentricPV, BatchedEvaluationEqualsTheTermByTermOne) {
    std::mt19937_64 rng(3121);
    std::uniform_real_distribution<double> jd(2086308.5, 2816787.5);
    for (int i = 0; i < 4000; ++i) {
        const double date = jd(rng);
        const int planet = i % 8;
        double pv[6], ref[6];
        ASSERT_EQ(PlanetHeliocentricPV(date, 0.0, planet, pv), kPlanetOk);
        ASSERT_EQ(reference::PlanetHeliocentricPV(date, 0.0, planet, ref), kPlanetOk);
        const double r = std::sqrt(ref[0] * ref[0] + ref[1] * ref[1] + ref[2] * ref[2]);
        double offset = 0.0, speed = 0.0;
        for (int k = 0; k < 3; ++k) {
            offset += (pv[k] - ref[k]) * (pv[k] - ref[k]);
            speed += (pv[k + 3] - ref[k + 3]) * (pv[k + 3] - ref[k + 3]);
        }
        ASSERT_LT(std::sqrt(offset) / r * kRadToArcsec, 1e-6) << date << " planet " << planet;
        ASSERT_LT(std::sqrt(speed), 1e-14) << date << " planet " << planet;
    }
}

TEST(PlanetHeliocentricPV, SplitDateGivesTheSameResult) {
    double whole[6], split[6];
    PlanetHeliocentricPV(2460000.25, 0.0, 4, whole);
    PlanetHeliocentricPV(2460000.0, 0.25, 4, split);
    for (int k = 0; k < 6; ++k) EXPECT_NEAR(whole[k], split[k], 1e-13);
}

TEST(PlanetHeliocentricPV, RejectsPlanetsOutsideTheTableAndZeroesTheOutput) {
    for (int planet : {-1, 8, 9, 1000, std::numeric_limits<int>::min()}) {
        double pv[6] = {7, 7, 7, 7, 7, 7};
        EXPECT_EQ(PlanetHeliocentricPV(2451545.0, 0.0, planet, pv), kPlanetOutOfRange) << planet;
        for (double x : pv) EXPECT_EQ(x, 0.0) << planet;
    }
}

TEST(PlanetHeliocentricPV, NotANumberDateEnds) {
    double pv[6];
    EXPECT_EQ(PlanetHeliocentricPV(std::numeric_limits<double>::quiet_NaN(), 0.0, 0, pv),
              kPlanetOk);
    EXPECT_TRUE(std::isnan(pv[0]));
}

TEST(NormalizeAnglePi, ReducesIntoPlusMinusPi) {
    const struct {
        double in, out;
    } cases[] = {{0.0, 0.0},        {1.0, 1.0},       {-1.0, -1.0},       {kPi + 0.5, -kPi + 0.5},
                 {-kPi - 0.5, kPi - 0.5}, {7.0, 7.0 - 2 * kPi}, {-20.0, -20.0 + 6 * kPi}};
    for (const auto& c : cases) EXPECT_NEAR(NormalizeAnglePi(c.in), c.out, 1e-15) << c.in;
}

// Meeus, Astronomical Algorithms, example 37.a: 1992 October 13.0 TD, all 43 terms.
TEST(Pluto, MeeusExample37a) {
    double l, b, r;
    PlutoHeliocentric(CenturiesFromJ2000(2448908.5), &l, &b, &r);
    EXPECT_NEAR(l / kDeg, 232.74071, 1e-5);
    EXPECT_NEAR(b / kDeg, 14.58782, 1e-5);
    EXPECT_NEAR(r, 29.711111, 1e-6);
}

// Of date, against an independent ephemeris, 1950-2050. Pluto's longitude precesses by 50"
// a year, so leaving it at J2000.0 would fail by up to 40' at the ends of the span.
TEST(Pluto, OfDateAgreesWithIndependentEphemeris) {
    const auto rows = ReadFixtureRows("theories/pluto_ephem.txt");
    ASSERT_GE(rows.size(), 20u);
    for (const auto& row : rows) {
        double l, b, r;
        PlutoHeliocentricOfDate(CenturiesFromJ2000(row[0]), &l, &b, &r);
        EXPECT_LT(std::fabs(Wrap(l - row[1] * kDeg)) * kRadToArcsec, 20.0) << row[0];
        EXPECT_LT(std::fabs(b - row[2] * kDeg) * kRadToArcsec, 20.0) << row[0];
        EXPECT_NEAR(r, row[3], 0.002) << row[0];
    }
}

// The 1900.0 Sun against the long series, 1900-2100: the elements carry no perturbations,
// which leave some 30" in longitude.
TEST(Sun1900, FollowsTheLongSeries) {
    for (double jd = 2415020.5; jd < 2488070.0; jd += 1733.7) {
        const double T0 = (jd - 2415020.0) / 36525.0;
        const Sun1900Elements sun = ComputeSun1900(T0);
        double lon, lat, dist;
        GetSunEclipticPosition(CenturiesFromJ2000(jd), &lon, &lat, &dist);
        EXPECT_LT(std::fabs(Wrap(sun.trueLongitude * kDeg - lon)) * kRadToArcsec, 40.0) << jd;
        EXPECT_NEAR(sun.radiusVector, dist, 1e-4) << jd;
        const double E = sun.eccentricAnomaly * kDeg;
        const double kepler = E - sun.eccentricity * std::sin(E) - sun.meanAnomaly * kDeg;
        EXPECT_LT(std::fabs(Wrap(kepler)) * kRadToArcsec, 1.0) << jd;
    }
}

// Heliocentric longitude from 1900.0 mean elements against the planetary theory precessed to
// date. The bounds are the size of each planet's perturbations, which the elements lack (the
// great inequality alone moves Jupiter by 0.3 and Saturn by 0.8 degrees); a wrong sign or
// digit in the table costs far more.
TEST(PlanetPositionsOld, KeplerianLongitudesFollowThePlanetaryTheory) {
    const struct {
        int index, plan94;
        double toleranceDeg;
    } planets[] = {{2, 0, 0.01}, {3, 1, 0.01}, {4, 3, 0.04}, {5, 4, 0.35},
                   {6, 5, 0.9},  {7, 6, 1.1},  {8, 7, 0.7}};
    for (const auto& p : planets) {
        for (double jd = 2415020.5; jd < 2488070.0; jd += 2922.1) {
            const double T0 = (jd - 2415020.0) / 36525.0;
            double L, a, e, i, w, N;
            PlanetPositionsOld(p.index, T0, &L, &a, &e, &i, &w, &N);
            const double M = (L - w - N) * kDeg;
            double E = M;
            for (int k = 0; k < 30; ++k) E -= (E - e * std::sin(E) - M) / (1 - e * std::cos(E));
            const double v = 2 * std::atan2(std::sqrt(1 + e) * std::sin(E / 2),
                                            std::sqrt(1 - e) * std::cos(E / 2));
            const double u = v + w * kDeg;
            const double lonOld = N * kDeg + std::atan2(std::cos(i * kDeg) * std::sin(u), std::cos(u));

            double pv[6];
            PlanetHeliocentricPV(jd, 0.0, p.plan94, pv);
            const double y = pv[1] * kCosEps2000 + pv[2] * kSinEps2000;
            // General precession in longitude moves the J2000.0 longitude to date.
            const double lon2000 = std::atan2(y, pv[0]);
            const double lonDate = lon2000 + 5029.0966 * CenturiesFromJ2000(jd) / kRadToArcsec;
            EXPECT_LT(std::fabs(Wrap(lonOld - lonDate)) / kDeg, p.toleranceDeg)
                << "body " << p.index << " jd " << jd;
            EXPECT_NEAR(a, std::sqrt(pv[0] * pv[0] + pv[1] * pv[1] + pv[2] * pv[2]),
                        a * (e + 0.01));
        }
    }
}

TEST(PlanetPositionsOld, PlutoRowAndIndexesOutsideTheTable) {
    double L = -1, a = -1, e = -1, i = -1, w = -1, N = -1;
    PlanetPositionsOld(9, 0.0, &L, &a, &e, &i, &w, &N);
    EXPECT_DOUBLE_EQ(L, 238.467028);
    EXPECT_DOUBLE_EQ(a, 39.54034289999);
    EXPECT_NEAR(w, 114.1416299, 1e-12);
    EXPECT_DOUBLE_EQ(N, 110.318223);
    for (int index : {-1, 0, 1, 10, 13}) {
        L = a = e = i = w = N = -7.0;
        PlanetPositionsOld(index, 1.0, &L, &a, &e, &i, &w, &N);
        EXPECT_EQ(L, -7.0) << index;
        EXPECT_EQ(N, -7.0) << index;
    }
}

// ---------------------------------------------------------------------------------------

struct OrbitArrays {
    float positions[kOrbitBodyCount][3];
    float equatorial[kOrbitBodyCount][2];
    OrbitArrays() {
        for (int b = 0; b < kOrbitBodyCount; ++b) {
            positions[b][0] = positions[b][1] = positions[b][2] = -99.0f;
            equatorial[b][0] = equatorial[b][1] = -99.0f;
        }
    }
};

// Dates before March 1900 check the day count across the Gregorian century rule: a day lost
// there moves Mercury by four degrees.
TEST(PlanetOrbitPosition, HeliocentricPositionsFollowThePlanetaryTheory) {
    const struct {
        int year, month, day;
    } dates[] = {{1820, 5, 17}, {1899, 12, 31}, {1950, 3, 1}, {1987, 7, 14},
                 {2000, 1, 1},  {2024, 10, 5},  {2049, 12, 31}};
    // Index 2..8 and 10 (the Earth) against Mercury..Neptune and the barycentre.
    const int plan94[kOrbitBodyCount] = {-1, -1, 0, 1, 3, 4, 5, 6, 7, -1, 2};
    const double toleranceDeg[kOrbitBodyCount] = {0, 0, 0.02, 0.02, 0.08, 0.3, 0.7, 0.3, 0.2, 0, 0.02};
    for (const auto& date : dates) {
        OrbitArrays out;
        PlanetOrbitPosition(date.year, date.month, date.day, 0, 0, 0, out.positions,
                            out.equatorial, kOrbitHeliocentric, 2, 10);
        const double jd = JulianDay0h(date.year, date.month, date.day);
        for (int index = 2; index <= 10; ++index) {
            if (plan94[index] < 0) continue;
            double pv[6];
            PlanetHeliocentricPV(jd, 0.0, plan94[index], pv);
            const double x = pv[0];
            const double y = pv[1] * kCosEps2000 + pv[2] * kSinEps2000;
            const double z = -pv[1] * kSinEps2000 + pv[2] * kCosEps2000;
            const float* p = out.positions[index];
            const double dLon = Wrap(std::atan2(p[1], p[0]) - std::atan2(y, x)) / kDeg;
            EXPECT_LT(std::fabs(dLon), toleranceDeg[index]) << index << " " << date.year;
            const double r = std::sqrt(x * x + y * y + z * z);
            EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), r, 0.002 * r + 0.01)
                << index << " " << date.year;
        }
        EXPECT_EQ(out.positions[10][2], 0.0f);  // the Earth stays in the ecliptic
    }
}

// The Sun seen from the Earth reaches the obliquity of J2000.0 (23.4393°) at the June
// solstice; its right ascension is then 6 h.
TEST(PlanetOrbitPosition, SunAtTheSolsticeReachesTheObliquity) {
    float highest = -90.0f;
    float raAtHighest = 0.0f;
    for (int hour = 0; hour < 72; ++hour) {
        OrbitArrays out;
        PlanetOrbitPosition(2000, 6, 20 + hour / 24, hour % 24, 0, 0, out.positions,
                            out.equatorial, kOrbitHeliocentric, 10, 10);
        if (out.equatorial[10][1] > highest) {
            highest = out.equatorial[10][1];
            raAtHighest = out.equatorial[10][0];
        }
    }
    EXPECT_NEAR(highest, 23.4393, 0.0003);
    EXPECT_NEAR(raAtHighest, 6.0, 0.02);
}

TEST(PlanetOrbitPosition, ZoneOffsetShiftsTheInstant) {
    OrbitArrays utc, local;
    PlanetOrbitPosition(2010, 5, 1, 0, 0, 0, utc.positions, utc.equatorial, kOrbitHeliocentric,
                        2, 10);
    // 02:30 local two and a half hours ahead of UT is 00:00 UT.
    PlanetOrbitPosition(2010, 5, 1, 2, 30, 150, local.positions, local.equatorial,
                        kOrbitHeliocentric, 2, 10);
    for (int b = 2; b <= 10; ++b) {
        EXPECT_FLOAT_EQ(utc.positions[b][0], local.positions[b][0]);
        EXPECT_FLOAT_EQ(utc.equatorial[b][0], local.equatorial[b][0]);
    }
}

TEST(PlanetOrbitPosition, ClampsTheRangeAndFillsOnlyIt) {
    OrbitArrays out;
    PlanetOrbitPosition(2015, 3, 20, 12, 0, 0, out.positions, out.equatorial, kOrbitHeliocentric,
                        -5, 40);
    for (int b : {0, 1}) {
        EXPECT_EQ(out.positions[b][0], -99.0f);
        EXPECT_EQ(out.equatorial[b][0], -99.0f);
    }
    for (int b = 2; b <= 10; ++b) {
        EXPECT_GE(out.equatorial[b][0], 0.0f) << b;
        EXPECT_LT(out.equatorial[b][0], 24.0f) << b;
        EXPECT_NE(out.positions[b][0], -99.0f) << b;
    }

    // A range without the Earth still gets the Earth's orbit-view entry in mode 1.
    OrbitArrays view;
    PlanetOrbitPosition(2015, 3, 20, 12, 0, 0, view.positions, view.equatorial, kOrbitViewDrawing,
                        3, 4);
    EXPECT_EQ(view.positions[2][0], -99.0f);
    EXPECT_EQ(view.positions[5][0], -99.0f);
    EXPECT_EQ(view.equatorial[10][0], -99.0f);
    EXPECT_FLOAT_EQ(view.positions[10][0], -40.5f * out.positions[10][1]);
    EXPECT_FLOAT_EQ(view.positions[10][1], -40.5f * out.positions[10][0]);
    EXPECT_EQ(view.positions[10][2], 0.0f);
    EXPECT_FLOAT_EQ(view.positions[4][0], -40.5f * out.positions[4][1]);

    // Any other mode fills only the equatorial entries.
    OrbitArrays other;
    PlanetOrbitPosition(2015, 3, 20, 12, 0, 0, other.positions, other.equatorial, 7, 2, 10);
    EXPECT_EQ(other.positions[6][0], -99.0f);
    EXPECT_FLOAT_EQ(other.equatorial[6][0], out.equatorial[6][0]);
}

TEST(PlanetOrbitPosition, StripMapAndDistances) {
    OrbitArrays helio, map, dist;
    PlanetOrbitPosition(2021, 8, 2, 0, 0, 0, helio.positions, helio.equatorial,
                        kOrbitHeliocentric, 2, 10);
    const StripMapRect strip{10, 20, 250, 120};  // left, top, right, bottom
    PlanetOrbitPosition(2021, 8, 2, 0, 0, 0, map.positions, map.equatorial, kOrbitStripMap, 2,
                        10, strip);
    PlanetOrbitPosition(2021, 8, 2, 0, 0, 0, dist.positions, dist.equatorial, kOrbitDistances, 2,
                        10);
    const float* earth = helio.positions[10];
    for (int b = 2; b <= 9; ++b) {
        const float ra = helio.equatorial[b][0];
        const float dec = helio.equatorial[b][1];
        EXPECT_EQ(map.positions[b][0], 10.0f + std::floor(240.0f * ra / 24.0f)) << b;
        EXPECT_EQ(map.positions[b][1], 20.0f + 50.0f - std::floor(dec)) << b;

        const float* p = helio.positions[b];
        const double dx = p[0] - earth[0], dy = p[1] - earth[1], dz = p[2];
        EXPECT_NEAR(dist.positions[b][0], std::sqrt(dx * dx + dy * dy + dz * dz), 1e-4) << b;
        EXPECT_NEAR(dist.positions[b][1], std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]),
                    1e-4)
            << b;
        EXPECT_NEAR(dist.positions[b][2], std::hypot(earth[0], earth[1]), 1e-5) << b;
    }
    // The Sun's entry: its distance from the Earth, and its place on the strip map.
    EXPECT_NEAR(dist.positions[10][0], std::hypot(earth[0], earth[1]), 1e-5);
    EXPECT_EQ(dist.positions[10][1], 0.0f);
    EXPECT_EQ(map.positions[10][0], 10.0f + std::floor(240.0f * helio.equatorial[10][0] / 24.0f));
}

}  // namespace
