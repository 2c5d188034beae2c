#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "astro/precession_nutation.h"
#include "astro/precession_nutation_internal.h"
#include "support/fixture_files.h"

namespace {

using test_units::kDeg;

struct ErfaDate {
    double jd, dpsi, deps, eps0, ee, gmst;
    std::array<double, 9> P, N;  // usual (x, y, z) order
};
struct ErfaPrecession {
    double jd1, jd2;
    std::array<double, 9> R;
};

void ReadErfaFixture(std::vector<ErfaDate>& dates, std::vector<ErfaPrecession>& precessions) {
    const std::string path = "astro/nutation_precession_erfa.txt";
    for (const std::vector<double>& r : ReadTaggedFixtureRows(path, "date")) {
        ASSERT_GE(r.size(), 24u);
        ErfaDate d{r[0], r[1], r[2], r[3], r[4], r[5], {}, {}};
        std::copy(r.begin() + 6, r.begin() + 15, d.P.begin());
        std::copy(r.begin() + 15, r.begin() + 24, d.N.begin());
        dates.push_back(d);
    }
    for (const std::vector<double>& r : ReadTaggedFixtureRows(path, "prec")) {
        ASSERT_GE(r.size(), 11u);
        ErfaPrecession p{r[0], r[1], {}};
        std::copy(r.begin() + 2, r.begin() + 11, p.R.begin());
        precessions.push_back(p);
    }
}

// A usual (x, y, z) matrix element of a sky matrix, whose x and y change places.
double Usual(const double M[9], int i, int j) {
    constexpr int p[3] = {1, 0, 2};
    return M[p[i] * 3 + p[j]];
}

void UnitVector(double raHours, double decDeg, double v[3]) {
    const double a = raHours * 15.0 * kDeg, d = decDeg * kDeg;
    v[0] = std::cos(d) * std::cos(a);
    v[1] = std::cos(d) * std::sin(a);
    v[2] = std::sin(d);
}

class PrecessionNutationTest : public ::testing::Test {
protected:
    void SetUp() override { ResetAstrometryCaches(); }
    void TearDown() override { ResetAstrometryCaches(); }
};

TEST(NutationTable, CountsAndArgumentBuildMatchThePublishedSeries) {
    // Every slot is a vector over (l, l', 2F, D, Omega); rebuilding them from the steps
    // must give each coefficient the argument of its published term.
    std::vector<std::array<int, 5>> slots;
    for (int k = 0; k < kNutationBaseSlots; ++k) {
        std::array<int, 5> v{};
        v[k] = 1;
        slots.push_back(v);
    }
    for (const NutationArgumentStep& step : kNutationArgumentSteps) {
        ASSERT_LT(step.a, static_cast<int>(slots.size()));
        ASSERT_LT(step.b, static_cast<int>(slots.size()));
        ASSERT_TRUE(step.sign == 1 || step.sign == -1);
        std::array<int, 5> v{};
        for (int i = 0; i < 5; ++i) v[i] = slots[step.a][i] + step.sign * slots[step.b][i];
        slots.push_back(v);
    }
    ASSERT_EQ(static_cast<int>(slots.size()), kNutationSlotCount);

    auto check = [&](const NutationCoefficient* list, int count, bool nonzero) {
        for (int i = 0; i < count; ++i) {
            const NutationCoefficient& c = list[i];
            ASSERT_GE(c.term, 0);
            ASSERT_LT(c.term, kNutationTermCount);
            const std::int8_t* m = kNutationMultipliers[c.term];
            const std::array<int, 5> want = {m[0], m[1], m[2] / 2, m[3], m[4]};
            EXPECT_EQ(slots[c.slot], want) << "term " << c.term;
            EXPECT_EQ(m[2] % 2, 0);
            if (nonzero) {
                EXPECT_NE(c.value, 0.0) << "term " << c.term;
            }
        }
    };
    check(kNutationLongitude, kNutationLongitudeCount, false);
    check(kNutationLongitudeRate, kNutationLongitudeRateCount, true);
    check(kNutationObliquity, kNutationObliquityCount, true);
    check(kNutationObliquityRate, kNutationObliquityRateCount, true);
    for (int i = 0; i < kNutationLongitudeCount; ++i) EXPECT_EQ(kNutationLongitude[i].term, i);

    // The largest term, on Omega alone.
    EXPECT_EQ(kNutationLongitude[0].value, -171996.0);
    EXPECT_EQ(kNutationLongitudeRate[0].value, -174.2);
    EXPECT_EQ(kNutationObliquity[0].value, 92025.0);
    EXPECT_EQ(kNutationObliquityRate[0].value, 8.9);
}

TEST_F(PrecessionNutationTest, NutationAndObliquityOfTextbookDates) {
    struct Case {
        double jd, dpsi, deps, meanObliquity, trueObliquity;
    };
    const Case cases[] = {
        // 1987 April 10, 0h TD (Meeus 22.a): 23°26'27.407", 23°26'36.850".
        {2446895.5, -3.787824, 9.442465, 23.0 + 26.0 / 60 + 27.407 / 3600, 23.0 + 26.0 / 60 + 36.850 / 3600},
        {2451545.0, -13.923385, -5.773808, 23.43929111111111, 23.43929111111111 - 5.773808 / 3600},
    };
    for (const Case& c : cases) {
        double dpsi, deps;
        EXPECT_EQ(NutationAngles((c.jd - 2451545.0) / 36525.0, &dpsi, &deps), 0);
        EXPECT_NEAR(dpsi, c.dpsi, 1e-6);
        EXPECT_NEAR(deps, c.deps, 1e-6);
        double mean, trueObl, ee, dpsi2, deps2;
        ComputeEarthTilt(c.jd, &mean, &trueObl, &ee, &dpsi2, &deps2);
        EXPECT_NEAR(mean, c.meanObliquity, 0.001 / 3600);
        EXPECT_NEAR(trueObl, c.trueObliquity, 0.001 / 3600);
        EXPECT_NEAR(dpsi2, c.dpsi, 1e-6);
    }
}

TEST_F(PrecessionNutationTest, SeriesEqualErfaFrom1800To2200) {
    std::vector<ErfaDate> dates;
    std::vector<ErfaPrecession> precessions;
    ReadErfaFixture(dates, precessions);
    ASSERT_GT(dates.size(), 200u);
    for (const ErfaDate& d : dates) {
        SCOPED_TRACE(d.jd);
        double mean, trueObl, ee, dpsi, deps;
        ComputeEarthTilt(d.jd, &mean, &trueObl, &ee, &dpsi, &deps);
        EXPECT_NEAR(dpsi, d.dpsi, 1e-9);
        EXPECT_NEAR(deps, d.deps, 1e-9);
        EXPECT_NEAR(mean, d.eps0, 1e-12);
        EXPECT_NEAR(ee, d.ee, 1e-9);

        double P[9], N[9];
        PrecessionMatrix(d.jd, P);
        NutationMatrix(d.jd, N);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                EXPECT_NEAR(Usual(P, i, j), d.P[i * 3 + j], 1e-14) << i << j;
                EXPECT_NEAR(Usual(N, i, j), d.N[i * 3 + j], 1e-14) << i << j;
            }
    }
    for (const ErfaPrecession& p : precessions) {
        SCOPED_TRACE(testing::Message() << p.jd1 << " -> " << p.jd2);
        for (int k = 0; k < 3; ++k) {
            double v[3] = {0, 0, 0}, out[3];
            v[k] = 1.0;
            Precession(p.jd1, v, p.jd2, out);
            for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], p.R[i * 3 + k], 1e-14);
        }
    }
}

TEST_F(PrecessionNutationTest, PrecessionOfThetaPersei) {
    // Meeus 21.b: 2028 November 13.19 TD, the place already moved by proper motion.
    double v[3], out[3];
    UnitVector(41.054063 / 15.0, 49.227750, v);
    Precession(2451545.0, v, 2462088.69, out);
    EXPECT_NEAR(std::atan2(out[1], out[0]) / kDeg, 41.547214, 2e-6);
    EXPECT_NEAR(std::asin(out[2]) / kDeg, 49.348483, 2e-6);

    // The sky matrix does the same on the (y, x, z) vector.
    double M[9], w[9];
    PrecessionMatrix(2462088.69, M);
    const double sky[3] = {v[1], v[0], v[2]};
    for (int i = 0; i < 3; ++i) w[i] = M[i * 3] * sky[0] + M[i * 3 + 1] * sky[1] + M[i * 3 + 2] * sky[2];
    EXPECT_NEAR(w[0], out[1], 1e-15);
    EXPECT_NEAR(w[1], out[0], 1e-15);
    EXPECT_NEAR(w[2], out[2], 1e-15);

    // Back again by swapping the dates; the same date changes nothing.
    double back[3], same[3];
    Precession(2462088.69, out, 2451545.0, back);
    Precession(2451545.0, v, 2451545.0, same);
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(back[i], v[i], 1e-12);
        EXPECT_EQ(same[i], v[i]);
    }
}

TEST_F(PrecessionNutationTest, NutateVectorRoundTripsAndMatchesTheMatrix) {
    double v[3], trueV[3], meanV[3], M[9];
    UnitVector(5.5, -33.0, v);
    NutateVector(2460000.5, 0, v, trueV);
    NutateVector(2460000.5, 1, trueV, meanV);
    NutationMatrix(2460000.5, M);
    const double sky[3] = {v[1], v[0], v[2]};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(meanV[i], v[i], 1e-15);
        const double w = M[i * 3] * sky[0] + M[i * 3 + 1] * sky[1] + M[i * 3 + 2] * sky[2];
        EXPECT_NEAR(w, trueV[i == 0 ? 1 : i == 1 ? 0 : 2], 1e-15);
    }
    EXPECT_GT(std::abs(trueV[0] - v[0]), 1e-6);  // it did rotate
}

TEST_F(PrecessionNutationTest, PrecessToDateAppliesPrecessionThenNutation) {
    std::vector<ErfaDate> dates;
    std::vector<ErfaPrecession> precessions;
    ReadErfaFixture(dates, precessions);
    const double places[][2] = {{0.0, 0.0}, {6.75, -16.7}, {18.6, 38.8}, {2.53, 89.26}, {13.0, -80.0}};
    for (const ErfaDate& d : dates) {
        if (std::abs(d.jd - 2451545.0) < 10000.0) continue;  // far from J2000, where order matters
        for (const auto& place : places) {
            double v[3];
            UnitVector(place[0], place[1], v);
            double p[3] = {}, w[3] = {};
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) p[i] += d.P[i * 3 + j] * v[j];
            for (int i = 0; i < 3; ++i)
                for (int j = 0; j < 3; ++j) w[i] += d.N[i * 3 + j] * p[j];
            double ra = place[0], dec = place[1];
            PrecessToDate(d.jd, &ra, &dec);
            double wantRa = std::atan2(w[1], w[0]) / kDeg / 15.0;
            if (wantRa < 0) wantRa += 24.0;
            double dRa = (ra - wantRa) * 15.0 * std::cos(dec * kDeg);
            if (dRa > 180.0) dRa -= 360.0;
            if (dRa < -180.0) dRa += 360.0;
            EXPECT_NEAR(dRa * 3600.0, 0.0, 1e-6) << d.jd;
            EXPECT_NEAR(dec, std::asin(w[2]) / kDeg, 1e-6 / 3600.0) << d.jd;
            EXPECT_GE(ra, 0.0);
            EXPECT_LT(ra, 24.0);
        }
    }
}

TEST_F(PrecessionNutationTest, PrecessToDateBuildsOncePerDateAndSurvivesThePole) {
    double ra = 0.0, dec = 90.0;
    PrecessToDate(2451545.0, &ra, &dec);  // at J2000 the product is nutation only
    EXPECT_FALSE(std::isnan(ra));
    EXPECT_FALSE(std::isnan(dec));
    EXPECT_GT(dec, 89.99);
    ra = 12.0;
    dec = -90.0;
    PrecessToDate(2451545.0, &ra, &dec);
    EXPECT_FALSE(std::isnan(dec));
    EXPECT_EQ(astrometryCache.precessionBuilds, 1);
    PrecessToDate(2451546.0, &ra, &dec);
    EXPECT_EQ(astrometryCache.precessionBuilds, 2);
}

TEST_F(PrecessionNutationTest, J2000ToTrueOfDateIsPrecessionThenNutationKeptPerDate) {
    // Dates asked in turn and again: the kept rotations answer only for their own date.
    const double jds[] = {2451545.0, 2460000.3, 2460000.3, 2415020.0, 2460000.3 + 1e-9, 2451545.0};
    const double v[3] = {0.3, -0.8, 0.52};
    long builds = 0;
    double last = -1.0;
    for (double jd : jds) {
        SCOPED_TRACE(jd);
        double out[3], mean[3], want[3];
        J2000ToTrueOfDate(jd, v, out);
        Precession(2451545.0, v, jd, mean);
        NutateVector(jd, 0, mean, want);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(out[i], want[i]);
        if (jd != last) ++builds;
        last = jd;
        EXPECT_EQ(astrometryCache.toDateBuilds, builds);
    }
}

TEST_F(PrecessionNutationTest, CachedResultsEqualFreshOnes) {
    // Every argument's answer must not depend on what was asked before; T = -1 (JD
    // 2415020.0, 1900 January 0.5) and jd = 0 must not meet an empty cache's start values.
    const double jds[] = {2415020.0, 2451545.0, 2451545.0 + 1e-7, 2460000.5, 0.0, 2451545.0};
    struct Result {
        double dpsi, deps, mean, trueObl, ee;
        double P[9], N[9], ra, dec;
    };
    auto compute = [](double jd) {
        Result r{};
        NutationAngles((jd - 2451545.0) / 36525.0, &r.dpsi, &r.deps);
        double dpsi, deps;
        ComputeEarthTilt(jd, &r.mean, &r.trueObl, &r.ee, &dpsi, &deps);
        EXPECT_EQ(dpsi, r.dpsi);
        PrecessionMatrix(jd, r.P);
        NutationMatrix(jd, r.N);
        r.ra = 3.0;
        r.dec = 20.0;
        PrecessToDate(jd, &r.ra, &r.dec);
        return r;
    };
    std::vector<Result> fresh;
    for (double jd : jds) {
        ResetAstrometryCaches();
        fresh.push_back(compute(jd));
    }
    ResetAstrometryCaches();
    {
        double dpsi, deps;
        NutationAngles(-1.0, &dpsi, &deps);
        EXPECT_NE(dpsi, 0.0);
    }
    ResetAstrometryCaches();
    for (size_t i = 0; i < std::size(jds); ++i) {
        SCOPED_TRACE(jds[i]);
        const Result r = compute(jds[i]);
        EXPECT_EQ(r.dpsi, fresh[i].dpsi);
        EXPECT_EQ(r.deps, fresh[i].deps);
        EXPECT_EQ(r.mean, fresh[i].mean);
        EXPECT_EQ(r.trueObl, fresh[i].trueObl);
        EXPECT_EQ(r.ee, fresh[i].ee);
        EXPECT_EQ(r.ra, fresh[i].ra);
        EXPECT_EQ(r.dec, fresh[i].dec);
        for (int k = 0; k < 9; ++k) {
            EXPECT_EQ(r.P[k], fresh[i].P[k]);
            EXPECT_EQ(r.N[k], fresh[i].N[k]);
        }
    }
    // After the buffers are freed the series still answers.
    FreeAstrometryBuffers();
    double dpsi, deps;
    NutationAngles(0.0, &dpsi, &deps);
    EXPECT_NEAR(dpsi, -13.923385, 1e-6);
}

}  // namespace
