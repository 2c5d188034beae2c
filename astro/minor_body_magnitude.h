#pragma once
// The apparent magnitude of a comet or an asteroid, shown by the object forms and the
// catalog lookup alike.
//
// Comets (kind 13): m = g + 5 log10(delta) + k log10(r), k the factor of log10 r as the
// record stores it. Every other kind is an asteroid of the IAU H, G system:
// m = H + 5 log10(r delta) - 2.5 log10((1 - G) phi1 + G phi2) for the phase angle beta
// (radians). Distances in AU.
double CometMagnitude(int kind, double h, double g, double sunDistance, double earthDistance, double phaseAngle);
