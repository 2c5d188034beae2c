#include "astro/matrices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/fixture_files.h"
#include "support/recorded_reports.h"

namespace {

const double kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

void ExpectMatrixNear(const double* a, const double* b, double tolerance) {
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(a[i], b[i], tolerance) << "element " << i;
}

std::vector<std::vector<double>> RandomMatrices(int count) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> d(-5, 5);
    std::vector<std::vector<double>> out(count, std::vector<double>(9));
    for (auto& m : out)
        for (double& v : m) v = d(rng);
    return out;
}

TEST(Matrices, InverseDeterminantAndAdjugateIdentities) {
    for (const auto& m : RandomMatrices(50)) {
        const double det = Determinant3(m.data());
        double adj[9], inv[9], product[9], scaled[9];
        Adjugate3(adj, m.data());
        // A adj(A) = det(A) I.
        MultiplyMatrix3(m.data(), adj, product);
        for (int i = 0; i < 9; ++i) scaled[i] = det * kIdentity[i];
        ExpectMatrixNear(product, scaled, 1e-10 * (1 + std::fabs(det)));
        // det(adj A) = det(A)^2 for 3 x 3.
        EXPECT_NEAR(Determinant3(adj), det * det, 1e-9 * (1 + det * det));
        ASSERT_EQ(Invert3x3(m.data(), inv), 1);
        MultiplyMatrix3(inv, m.data(), product);
        ExpectMatrixNear(product, kIdentity, 1e-10);
        EXPECT_NEAR(Determinant3(inv) * det, 1.0, 1e-10);
        // The product applied to a vector is the vectors applied in turn.
        const double v[3] = {0.3, -1.7, 2.2};
        double once[3], twice[3], direct[3];
        MatrixTimesVector3(m.data(), v, once);
        MatrixTimesVector3(inv, once, twice);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(twice[i], v[i], 1e-10);
        MultiplyMatrix3(adj, m.data(), product);
        MatrixTimesVector3(product, v, direct);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(direct[i], det * v[i], 1e-9 * (1 + std::fabs(det)));
    }
    double inv[9];
    ASSERT_EQ(Invert3x3(kIdentity, inv), 1);
    ExpectMatrixNear(inv, kIdentity, 0);
    // Determinant of a product, and products in place.
    const auto ms = RandomMatrices(2);
    double ab[9];
    MultiplyMatrix3(ms[0].data(), ms[1].data(), ab);
    EXPECT_NEAR(Determinant3(ab), Determinant3(ms[0].data()) * Determinant3(ms[1].data()), 1e-9);
    double a[9];
    std::copy(ms[0].begin(), ms[0].end(), a);
    MultiplyMatrix3(a, ms[1].data(), a);
    ExpectMatrixNear(a, ab, 0);
}

TEST(Matrices, SingularMatrixIsReportedAndLeavesTheAdjugate) {
    ClearRecordedReports();
    const double twoEqualRows[9] = {1, 2, 3, 1, 2, 3, 4, 5, 7};
    double result[9], adj[9];
    EXPECT_EQ(Invert3x3(twoEqualRows, result), 0);
    Adjugate3(adj, twoEqualRows);
    ExpectMatrixNear(result, adj, 0);
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0].kind, ReportKind::Message);
    EXPECT_NE(ReportText(0).find("Null derterminant, cannot compute inverse matrix"), std::string::npos);

    // The threshold is the single-precision 1e-20: a determinant of 1e-21 is singular,
    // 1e-18 is not (and no message).
    ClearRecordedReports();
    const double small[9] = {1e-7, 0, 0, 0, 1e-7, 0, 0, 0, 1e-7};
    EXPECT_EQ(Invert3x3(small, result), 0);
    const double smallOk[9] = {1e-6, 0, 0, 0, 1e-6, 0, 0, 0, 1e-6};
    EXPECT_EQ(Invert3x3(smallOk, result), 1);
    EXPECT_NEAR(result[4], 1e6, 1e-6);
    EXPECT_EQ(RecordedReports().size(), 1u);
    ClearRecordedReports();
}

struct LsqCase {
    std::string name;
    int m = 0, n = 0, rank = 0;
    std::vector<double> a, b, x;
    double rss = 0;
};

std::vector<LsqCase> ReadLeastSquares() {
    std::vector<LsqCase> cases;
    for (const std::string& line : ReadFixtureLines("astro/least_squares.txt")) {
        std::istringstream f(line);
        LsqCase c;
        f >> c.name >> c.m >> c.n;
        c.a.resize(c.m * c.n);
        c.b.resize(c.m);
        c.x.resize(c.n);
        for (double& v : c.a) f >> v;
        for (double& v : c.b) f >> v;
        std::string colon;
        f >> colon >> c.rank;
        for (double& v : c.x) f >> v;
        f >> c.rss;
        EXPECT_TRUE(f && colon == ":") << line;
        cases.push_back(c);
    }
    return cases;
}

TEST(Matrices, LeastSquaresMatchesAnIndependentSolver) {
    const auto cases = ReadLeastSquares();
    ASSERT_GE(cases.size(), 14u);
    int deficient = 0;
    for (const LsqCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<double> a = c.a, b = c.b;
        int status = 99;
        const double rss = LeastSquaresSolve(a.data(), b.data(), c.m, c.n, &status);
        if (c.rank < c.n) {
            ++deficient;
            EXPECT_EQ(status, -1);
            continue;
        }
        ASSERT_EQ(status, 0);
        // Compare the fitted values (well conditioned even where the coefficients of a
        // badly scaled basis are not) and the coefficients relative to their size.
        for (int i = 0; i < c.m; ++i) {
            double mine = 0, theirs = 0;
            for (int j = 0; j < c.n; ++j) {
                mine += c.a[i * c.n + j] * b[j];
                theirs += c.a[i * c.n + j] * c.x[j];
            }
            EXPECT_NEAR(mine, theirs, 1e-9 * (1 + std::fabs(theirs))) << "row " << i;
        }
        for (int j = 0; j < c.n; ++j) EXPECT_NEAR(b[j], c.x[j], 1e-5 * (1 + std::fabs(c.x[j]))) << "x" << j;
        EXPECT_NEAR(rss, c.rss, 1e-9 * (1 + c.rss));
    }
    // Equal abscissae, repeated and zero columns, a zero matrix, dependent rows.
    EXPECT_EQ(deficient, 7);
}

TEST(Matrices, LeastSquaresShapes) {
    // One row: no reflection, b0 / a00.
    double a1[1] = {-4}, b1[1] = {10};
    int status = 5;
    EXPECT_EQ(LeastSquaresSolve(a1, b1, 1, 1, &status), 0.0);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(b1[0], -2.5);
    // Fewer rows than unknowns: nothing computed, status untouched.
    double a2[6] = {1, 2, 3, 4, 5, 6}, b2[2] = {1, 2};
    status = 5;
    EXPECT_EQ(LeastSquaresSolve(a2, b2, 2, 3, &status), 0.0);
    EXPECT_EQ(status, 5);
    EXPECT_EQ(b2[0], 1);
    // Upper-triangular back substitution, and a zero diagonal.
    const double u[4] = {2, 1, 0, 4};
    double b3[2] = {4, 8};
    EXPECT_EQ(BackSubstitute(u, b3, 2), 0);
    EXPECT_DOUBLE_EQ(b3[1], 2);
    EXPECT_DOUBLE_EQ(b3[0], 1);
    const double zero[4] = {0, 0, 0, 0};
    double b4[2] = {1, 1};
    EXPECT_EQ(BackSubstitute(zero, b4, 2), -1);
}

TEST(Matrices, FitPolynomialCases) {
    // n = m passes through every sample.
    const double x[4] = {-1, 0.5, 2, 3};
    const double y[4] = {4, -1, 0.25, 7};
    double c[4];
    ASSERT_EQ(FitPolynomial(x, y, c, 4, 4), 1);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(c[0] + c[1] * x[i] + c[2] * x[i] * x[i] + c[3] * x[i] * x[i] * x[i], y[i], 1e-12);
    // n = 1 is the mean.
    ASSERT_EQ(FitPolynomial(x, y, c, 4, 1), 1);
    EXPECT_NEAR(c[0], (4 - 1 + 0.25 + 7) / 4, 1e-14);
    // A known quadratic from many samples.
    std::vector<double> xs, ys;
    for (int i = 0; i < 30; ++i) {
        xs.push_back(2000 + i * 0.5);
        ys.push_back(66.0 + 0.3 * (xs.back() - 2000) - 0.01 * (xs.back() - 2000) * (xs.back() - 2000));
    }
    ASSERT_EQ(FitPolynomial(xs.data(), ys.data(), c, 30, 3), 1);
    for (int i = 0; i < 30; ++i) EXPECT_NEAR(c[0] + c[1] * xs[i] + c[2] * xs[i] * xs[i], ys[i], 1e-6);
    // Equal abscissae cannot give a line; too few samples; no coefficients.
    const double same[5] = {3.25, 3.25, 3.25, 3.25, 3.25};
    const double ys5[5] = {1, 2, 3, 4, 5};
    double untouched[2] = {42, 43};
    EXPECT_EQ(FitPolynomial(same, ys5, untouched, 5, 2), 0);
    EXPECT_EQ(untouched[0], 42);
    EXPECT_EQ(untouched[1], 43);
    EXPECT_EQ(FitPolynomial(x, y, c, 2, 3), 0);
    EXPECT_EQ(FitPolynomial(x, y, c, 4, 0), 0);
}

}  // namespace
