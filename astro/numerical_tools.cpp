#include "astro/numerical_tools.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/report.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kRadiansToArcsec = 206264.8062;
constexpr int kFivePointIterations = 300;
constexpr int kClosestApproachIterations = 10;
constexpr int kBrentIterations = 100;
constexpr double kGoldenSection = 0.381966;

double SameSign(double magnitude, double sign) { return sign >= 0.0 ? std::fabs(magnitude) : -std::fabs(magnitude); }

// prod over j != i of (x - xs[j]).
double ProductWithout(int i, double x, int n, const double* xs) {
    double p = 1.0;
    for (int j = 0; j < n; ++j) {
        if (j != i) p *= x - xs[j];
    }
    return p;
}

}  // namespace

void PrepareInterpolation(int n, const double* xs, double* weights) {
    for (int i = 0; i < n; ++i) weights[i] = 1.0 / ProductWithout(i, xs[i], n, xs);
}

double LagrangeInterpolate(double x, int n, const double* xs, const double* weights, const double* ys) {
    if (n < 1) return 0.0;
    double all = 1.0;
    for (int j = 0; j < n; ++j) all *= x - xs[j];
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const double d = x - xs[i];
        // Close to a node the division by d would lose the digits the product keeps.
        const double numerator = std::fabs(d) > 1e-6 ? all / d : ProductWithout(i, x, n, xs);
        const double basis = weights != nullptr ? numerator * weights[i]
                                                : numerator / ProductWithout(i, xs[i], n, xs);
        sum += ys[i] * basis;
    }
    return sum;
}

double Interpolate3(double y1, double y2, double y3, double n) {
    const double a = y2 - y1;
    const double b = y3 - y2;
    const double c = b - a;
    return y2 + 0.5 * n * (a + b + n * c);
}

double FindZeroFivePoint(double y1, double y2, double y3, double y4, double y5) {
    const double A = y2 - y1, B = y3 - y2, C = y4 - y3, D = y5 - y4;
    const double E = B - A, F = C - B, G = D - C;
    const double H = F - E, J = G - F;
    const double K = J - H;
    const double denominator = K - 12.0 * F;
    if (denominator == 0.0 || !std::isfinite(denominator)) return kNaN;

    double n = 0.0;
    for (int i = 0; i < kFivePointIterations; ++i) {
        const double next = (6.0 * B + 6.0 * C - H - J + 3.0 * n * n * (H + J) + 2.0 * n * n * n * K) / denominator;
        if (!std::isfinite(next)) return kNaN;
        if (std::fabs(n - next) <= 1e-7) return next;
        n = next;
    }
    return kNaN;
}

void SeparationComponents(double ra1, double dec1, double ra2, double dec2, double* u, double* v) {
    const double dra = ra2 - ra1;
    const double ddec = dec2 - dec1;
    const double sinDec1 = std::sin(dec1), cosDec1 = std::cos(dec1);
    const double tanDra = std::tan(dra), tanHalf = std::tan(dra / 2.0);
    const double K = kRadiansToArcsec / (1.0 + sinDec1 * sinDec1 * tanDra * tanHalf);
    *u = -K * (1.0 - std::tan(dec1) * std::sin(ddec)) * cosDec1 * tanDra;
    *v = K * (std::sin(ddec) + sinDec1 * cosDec1 * tanDra * tanHalf);
}

double FindRiseSetTransit(const double times[3], const double ra1[3], const double dec1[3],
                          const double ra2[3], const double dec2[3], double* separation, double* instant) {
    double us[3], vs[3];
    for (int i = 0; i < 3; ++i) SeparationComponents(ra1[i], dec1[i], ra2[i], dec2[i], &us[i], &vs[i]);
    const double U2 = us[0] + us[2] - 2.0 * us[1];
    const double V2 = vs[0] + vs[2] - 2.0 * vs[1];
    const double U1 = (us[2] - us[0]) / 2.0;
    const double V1 = (vs[2] - vs[0]) / 2.0;

    double n = 0.0, u = us[1], v = vs[1];
    bool constantOffset = false;
    for (int i = 0; i < kClosestApproachIterations; ++i) {
        u = Interpolate3(us[0], us[1], us[2], n);
        v = Interpolate3(vs[0], vs[1], vs[2], n);
        const double du = U2 * n + U1;
        const double dv = V2 * n + V1;
        const double rate = du * du + dv * dv;
        if (rate == 0.0) {
            // A standing offset: n is the closest point when the offset moves at all, and
            // there is none when it never moves.
            constantOffset = U2 == 0.0 && V2 == 0.0;
            break;
        }
        const double dn = -(u * du + v * dv) / rate;
        n += dn;
        if (std::fabs(dn) <= 1e-6) break;
    }
    const double when = constantOffset ? kNaN : Interpolate3(times[0], times[1], times[2], n);
    if (separation != nullptr) *separation = std::sqrt(u * u + v * v);
    if (instant != nullptr) *instant = when;
    return when;
}

double MinimizeBrent(double* xmin, double ax, double bx, double cx, double tolerance, const ScalarFunction& f) {
    if (xmin == nullptr) {
        ShowMessage("null", "");
        return kNaN;
    }
    double fx = f(bx);
    // Without a bracket the search would wander to an end and report it as a minimum.
    const double fa = f(ax), fc = f(cx);
    const bool between = (ax < bx && bx < cx) || (cx < bx && bx < ax);
    if (!between || !(fx <= fa && fx <= fc)) {
        *xmin = kNaN;
        return kNaN;
    }

    double a = std::min(ax, cx), b = std::max(ax, cx);
    double x = bx, w = bx, v = bx;
    double fw = fx, fv = fx;
    double d = 0.0, e = 0.0;
    for (int iteration = 0; iteration < kBrentIterations; ++iteration) {
        const double xm = 0.5 * (a + b);
        const double tol1 = tolerance * std::fabs(x) + 1e-10;
        const double tol2 = 2.0 * tol1;
        if (std::fabs(x - xm) <= tol2 - 0.5 * (b - a)) break;

        bool parabolic = false;
        if (std::fabs(e) > tol1) {
            double r = (x - w) * (fx - fv);
            double q = (x - v) * (fx - fw);
            double p = (x - v) * q - (x - w) * r;
            q = 2.0 * (q - r);
            if (q > 0.0) p = -p;
            q = std::fabs(q);
            const double etemp = e;
            e = d;
            if (!(std::fabs(p) >= std::fabs(0.5 * q * etemp) || p <= q * (a - x) || p >= q * (b - x))) {
                d = p / q;
                const double u = x + d;
                if (u - a < tol2 || b - u < tol2) d = SameSign(tol1, xm - x);
                parabolic = true;
            }
        }
        if (!parabolic) {
            e = x >= xm ? a - x : b - x;
            d = kGoldenSection * e;
        }
        const double u = std::fabs(d) >= tol1 ? x + d : x + SameSign(tol1, d);
        const double fu = f(u);
        if (fu <= fx) {
            if (u >= x) a = x; else b = x;
            v = w; fv = fw;
            w = x; fw = fx;
            x = u; fx = fu;
        } else {
            if (u < x) a = u; else b = u;
            if (fu <= fw || w == x) {
                v = w; fv = fw;
                w = u; fw = fu;
            } else if (fu <= fv || v == x || v == w) {
                v = u; fv = fu;
            }
        }
    }
    *xmin = x;
    return fx;
}

double FindRootBrent(const ScalarFunction& f, double x1, double x2, double tolerance) {
    double a = x1, b = x2, c = x2;
    double fa = f(a), fb = f(b);
    if (std::isnan(fa) || std::isnan(fb) || (fa > 0.0 && fb > 0.0) || (fa < 0.0 && fb < 0.0)) return kNaN;
    double fc = fb;
    double d = 0.0, e = 0.0;
    for (int iteration = 0; iteration < kBrentIterations; ++iteration) {
        if ((fb > 0.0 && fc > 0.0) || (fb < 0.0 && fc < 0.0)) {
            c = a; fc = fa;
            d = e = b - a;
        }
        if (std::fabs(fc) < std::fabs(fb)) {
            a = b; b = c; c = a;
            fa = fb; fb = fc; fc = fa;
        }
        const double tol1 = 6e-11 * std::fabs(b) + 0.5 * tolerance;
        const double xm = 0.5 * (c - b);
        if (std::fabs(xm) <= tol1 || fb == 0.0) return b;
        if (std::fabs(e) >= tol1 && std::fabs(fa) > std::fabs(fb)) {
            const double s = fb / fa;
            double p, q;
            if (a == c) {
                p = 2.0 * xm * s;
                q = 1.0 - s;
            } else {
                const double qa = fa / fc, r = fb / fc;
                p = s * (2.0 * xm * qa * (qa - r) - (b - a) * (r - 1.0));
                q = (qa - 1.0) * (r - 1.0) * (s - 1.0);
            }
            if (p > 0.0) q = -q;
            p = std::fabs(p);
            if (2.0 * p < std::min(3.0 * xm * q - std::fabs(tol1 * q), std::fabs(e * q))) {
                e = d;
                d = p / q;
            } else {
                d = xm;
                e = d;
            }
        } else {
            d = xm;
            e = d;
        }
        a = b;
        fa = fb;
        b += std::fabs(d) > tol1 ? d : SameSign(tol1, xm);
        fb = f(b);
        if (std::isnan(fb)) return kNaN;
    }
    return kNaN;
}
