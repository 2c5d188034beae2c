#pragma once
// Sines and cosines for the series: the long Sun and Moon series, the planetary theory and
// the pipeline's solar series take hundreds of them per call.
//
// The C library's sin and cos switch the rounding mode around every call, which costs more
// than the polynomial; these evaluate two angles at a time without that switch. Results
// agree with the C library's to a few units in the last place, so the series' sums move by
// far less than a microarcsecond. Angles beyond a million radians, infinities and NaN go
// to the C library.

// Sine and cosine of one angle in radians.
void SeriesSinCos(double angle, double* sine, double* cosine);

// Sines and cosines of count angles; the outputs may not overlap the input.
void SeriesSinCosArray(const double* angles, double* sines, double* cosines, int count);
