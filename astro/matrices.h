#pragma once
// Double-precision linear algebra: 3 x 3 matrices for the telescope alignment and the sky
// matrices, and a Householder least-squares solver with a polynomial fit on it for the
// pointing model and the eclipse computations.
//
// A 3 x 3 matrix is nine doubles row by row; a general matrix is m rows of n doubles,
// element (i, j) at i * n + j.

double Determinant3(const double m[9]);
// The transposed cofactor matrix.
void Adjugate3(double result[9], const double m[9]);
// Writes the inverse and returns 1; a singular matrix shows "Null derterminant, cannot
// compute inverse matrix", leaves the adjugate in result and returns 0.
int Invert3x3(const double m[9], double result[9]);
void MatrixTimesVector3(const double m[9], const double v[3], double result[3]);
void MultiplyMatrix3(const double a[9], const double b[9], double result[9]);

// Solves A x ~ b (m >= n) in the least-squares sense, overwriting A and b: the first n
// entries of b then hold x, *status is 0, or -1 when A is rank deficient (a diagonal of
// the triangular factor within max(m, n) x the double epsilon of the longest column, or no
// work memory could be had), and the result is the residual sum of squares. With m < n
// nothing is computed, *status is left alone and the result is 0.
double LeastSquaresSolve(double* a, double* b, int m, int n, int* status);
// Solves U x = b for an upper-triangular n x n matrix (row stride n), x replacing b.
// Returns 0, or -1 when a diagonal element is negligible (n x the double epsilon) against
// the longest column of U.
int BackSubstitute(const double* u, double* b, int n);
// Fits y ~ c0 + c1 x + ... + c(n-1) x^(n-1) to m samples. Returns 1 and writes the n
// coefficients, or returns 0 (coefficients untouched) when n < 1, n > m, memory runs out
// or the samples do not determine the polynomial.
int FitPolynomial(const double* x, const double* y, double* coefficients, int m, int n);
