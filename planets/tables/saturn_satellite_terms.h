#pragma once
// The satellites of Saturn after Meeus, Astronomical Algorithms (2nd ed.), chapter 46: the
// reference plane's constants and the orbits of Enceladus, Tethys, Dione, Rhea and Titan.
// Terms as the book prints them, transcribed from astronomia's saturnmoons module (MIT
// licence, Sonia Keys and commenthol) and checked with the book's example 46.a.
#include <cmath>

struct SatelliteOrbitPoint;

inline constexpr double kSaturnRefNode = 168.8112 * 3.141592653589793 / 180.0;
inline const double kSaturnRefS1 = std::sin(28.0817 * 3.141592653589793 / 180.0);
inline const double kSaturnRefC1 = std::cos(28.0817 * 3.141592653589793 / 180.0);
inline const double kSaturnRefS2 = std::sin(kSaturnRefNode);
inline const double kSaturnRefC2 = std::cos(kSaturnRefNode);

// The orbit points of slots 1..5 (Enceladus .. Titan) at a Julian day already corrected for
// the light time; slot 0 is left as it is.
void ComputeSaturnOrbits(double jde, SatelliteOrbitPoint orbits[6]);
