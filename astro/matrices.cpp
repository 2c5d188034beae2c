#include "astro/matrices.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

#include "core/report.h"

double Determinant3(const double m[9]) {
    return m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
           m[2] * (m[3] * m[7] - m[4] * m[6]);
}

void Adjugate3(double r[9], const double m[9]) {
    double t[9];  // result and input may be the same array
    t[0] = m[4] * m[8] - m[5] * m[7];
    t[1] = -(m[1] * m[8] - m[2] * m[7]);
    t[2] = m[1] * m[5] - m[2] * m[4];
    t[3] = -(m[3] * m[8] - m[5] * m[6]);
    t[4] = m[0] * m[8] - m[2] * m[6];
    t[5] = -(m[0] * m[5] - m[2] * m[3]);
    t[6] = m[3] * m[7] - m[4] * m[6];
    t[7] = -(m[0] * m[7] - m[1] * m[6]);
    t[8] = m[0] * m[4] - m[1] * m[3];
    std::memcpy(r, t, sizeof t);
}

int Invert3x3(const double m[9], double r[9]) {
    const double det = Determinant3(m);
    Adjugate3(r, m);
    // The threshold was a single-precision constant; keep its exact value.
    if (std::fabs(det) < static_cast<double>(1e-20f)) {
        ShowMessage("Null derterminant, cannot compute inverse matrix", "");
        return 0;
    }
    const double f = 1.0 / det;
    for (int i = 0; i < 9; ++i) r[i] *= f;
    return 1;
}

void MatrixTimesVector3(const double m[9], const double v[3], double r[3]) {
    double t[3];
    for (int i = 0; i < 3; ++i) t[i] = m[3 * i] * v[0] + m[3 * i + 1] * v[1] + m[3 * i + 2] * v[2];
    std::memcpy(r, t, sizeof t);
}

void MultiplyMatrix3(const double a[9], const double b[9], double r[9]) {
    double t[9];
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) t[3 * i + j] = a[3 * i] * b[j] + a[3 * i + 1] * b[3 + j] + a[3 * i + 2] * b[6 + j];
    }
    std::memcpy(r, t, sizeof t);
}

namespace {

// A diagonal element at or below the rounding noise of the factorisation means the
// columns are dependent. The noise is the size of the system times the double epsilon,
// relative to the largest column of U (whose lengths are those of the columns of A, as
// the reflections keep lengths): the largest diagonal alone is no scale when one column
// is much longer than the others, as with equal abscissae of a few thousand. A zero
// diagonal is always dependent.
int BackSubstituteRows(const double* u, double* b, int n, int rows) {
    double largest = 0.0;
    for (int j = 0; j < n; ++j) {
        double column = 0.0;
        for (int i = 0; i <= j; ++i) column += u[i * n + j] * u[i * n + j];
        largest = std::max(largest, std::sqrt(column));
    }
    const double tolerance = std::max(rows, n) * DBL_EPSILON * largest;
    for (int i = n - 1; i >= 0; --i) {
        double sum = b[i];
        for (int j = i + 1; j < n; ++j) sum -= u[i * n + j] * b[j];
        b[i] = sum;
        const double diagonal = std::fabs(u[i * n + i]);
        if (diagonal <= tolerance || diagonal == 0.0) return -1;
        b[i] /= u[i * n + i];
    }
    return 0;
}

}  // namespace

int BackSubstitute(const double* u, double* b, int n) { return BackSubstituteRows(u, b, n, n); }

double LeastSquaresSolve(double* a, double* b, int m, int n, int* status) {
    if (m < n) return 0.0;
    std::unique_ptr<double[]> w(new (std::nothrow) double[m]);
    if (!w) {
        if (status) *status = -1;
        return 0.0;
    }
    for (int k = 0; k < n; ++k) {
        const int p = m - k;
        if (p < 2) continue;
        double s = 0.0;
        for (int i = 0; i < p; ++i) {
            w[i] = a[(k + i) * n + k];
            s += w[i] * w[i];
        }
        if (!(s > 0.0)) continue;
        const double akk = a[k * n + k];
        double sigma = std::sqrt(s);
        if (akk < 0.0) sigma = -sigma;
        const double beta = 1.0 / (akk * sigma + s);
        w[0] = akk + sigma;
        for (int j = k + 1; j < n; ++j) {
            double t = 0.0;
            for (int i = 0; i < p; ++i) t += w[i] * a[(k + i) * n + j];
            t *= beta;
            for (int i = 0; i < p; ++i) a[(k + i) * n + j] -= t * w[i];
        }
        a[k * n + k] = -sigma;
        double t = 0.0;
        for (int i = 0; i < p; ++i) t += w[i] * b[k + i];
        t *= beta;
        for (int i = 0; i < p; ++i) b[k + i] -= t * w[i];
    }
    const int solved = BackSubstituteRows(a, b, n, m);
    if (status) *status = solved;
    double rss = 0.0;
    for (int i = n; i < m; ++i) rss += b[i] * b[i];
    return rss;
}

int FitPolynomial(const double* x, const double* y, double* coefficients, int m, int n) {
    if (n < 1 || n > m) return 0;
    std::unique_ptr<double[]> design(new (std::nothrow) double[static_cast<std::size_t>(m) * n]());
    std::unique_ptr<double[]> rhs(new (std::nothrow) double[m]);
    if (!design || !rhs) return 0;
    for (int i = 0; i < m; ++i) {
        double power = 1.0;
        for (int j = 0; j < n; ++j) {
            design[static_cast<std::size_t>(i) * n + j] = power;
            power *= x[i];
        }
        rhs[i] = y[i];
    }
    int status = -1;
    LeastSquaresSolve(design.get(), rhs.get(), m, n, &status);
    if (status != 0) return 0;
    std::copy(rhs.get(), rhs.get() + n, coefficients);
    return 1;
}
