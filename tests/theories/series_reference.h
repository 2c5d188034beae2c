#pragma once
// The Sun and Moon series evaluated term by term with the C library's sines and cosines,
// as the program did before the tabled evaluation; the tests hold the series to them.

namespace reference {
void MoonEclipticPosition(double T, double* longitude, double* latitude, double* distance);
double EarthLongitudeSeries(double T);
void SunEclipticPosition(double T, double* longitude, double* latitude, double* distance);
}  // namespace reference
