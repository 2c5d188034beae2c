#pragma once
// Small numerical tools shared by the rise and set code, the eclipse, event, comet and
// satellite searches: Lagrange and three-point interpolation, the extremum of five
// equidistant values, the closest approach of two moving positions, and Brent's
// minimisation and root finding on a callback.
//
// Searches that find nothing (no bracket, flat data, no convergence) return NaN, never a
// value that could pass for an answer; callers test with std::isnan.
#include <functional>

// weights[i] = 1 / prod over j != i of (xs[i] - xs[j]). Nothing for n < 1.
void PrepareInterpolation(int n, const double* xs, double* weights);

// The Lagrange polynomial through (xs, ys) at x. weights may be null (they are then formed
// here) or come from PrepareInterpolation. n < 1 gives 0. At a node the node's value comes
// back (exactly when no weights are given).
double LagrangeInterpolate(double x, int n, const double* xs, const double* weights, const double* ys);

// The parabola through three equidistant values at n, in units of the tabular interval
// with 0 at y2; n may lie outside -1..+1.
double Interpolate3(double y1, double y2, double y3, double n);

// Abscissa of the extremum of the quartic through five equidistant values, in units of the
// tabular interval with 0 at y3. NaN for data without an extremum the iteration can reach
// (flat or straight data, no convergence in 300 steps).
double FindZeroFivePoint(double y1, double y2, double y3, double y4, double y5);

// Offset of the second position from the first (radians in) as two rectangular components
// in arc seconds: u along right ascension, v along declination.
void SeparationComponents(double ra1, double dec1, double ra2, double dec2, double* u, double* v);

// Closest approach of two moving positions sampled at three equidistant instants
// (radians): writes the least separation in arc seconds and its instant, interpolated in
// `times` (any unit), and returns the instant. When the offset does not change at all
// there is no single instant: the separation is written and the instant is NaN.
double FindRiseSetTransit(const double times[3], const double ra1[3], const double dec1[3],
                          const double ra2[3], const double dec2[3], double* separation, double* instant);

using ScalarFunction = std::function<double(double)>;

// Brent's minimisation of f bracketed by ax, bx, cx (bx between the others, f(bx) not
// above f at either end). Returns the least value found and stores its abscissa in
// *xmin. Without a bracket both are NaN; a null xmin shows "null" and returns NaN.
double MinimizeBrent(double* xmin, double ax, double bx, double cx, double tolerance, const ScalarFunction& f);

// Brent's root of f between x1 and x2 to within tolerance. NaN when f does not change sign
// between the ends or when 100 iterations do not converge.
double FindRootBrent(const ScalarFunction& f, double x1, double x2, double tolerance);
