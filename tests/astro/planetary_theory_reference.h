#pragma once
// The planetary theory evaluated with the C library's sines and cosines for every term and
// Newton step, as the program did before the batched evaluation; the tests hold the theory
// to it.

namespace reference {
int PlanetHeliocentricPV(double date1, double date2, int planet, double pv[6]);
}  // namespace reference
