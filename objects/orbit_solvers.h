#pragma once
// Where a comet or an asteroid stands in the plane of its orbit at an instant: Kepler's
// equation for ellipses, Barker's equation for the parabola, Gauss's series for orbits
// close to a parabola and the hyperbolic Kepler equation beyond it.
//
// The solvers work in double precision on elements taken from the record's own fields. The
// record's eight-float work block is still filled for its layout (and the data page shows
// the semi-major axis from it), but nothing here reads it back: a 32-bit perihelion time
// near Julian day 2.46 million is only good to a quarter of a day, which moves a comet near
// perihelion by degrees.
//
// Every solver returns 1, or 0 when the elements cannot be solved (a perihelion distance of
// 0 or less, an input that is not finite, a negative eccentricity, an iteration that does
// not settle within its 80 steps); on 0 the point is left as it was.
#include "catalog/records.h"

// Gaussian gravitational constant (AU^1.5 per day).
inline constexpr double kGaussK = 0.01720209895;

// Osculating elements of the equinox 2000.0: perihelion time (Julian day), eccentricity,
// perihelion distance (AU), argument of perihelion, longitude of the ascending node and
// inclination (degrees).
struct CometElements {
    double perihelionJd = 0;
    double eccentricity = 0;
    double perihelionDistance = 0;
    double argPerihelion = 0;
    double ascendingNode = 0;
    double inclination = 0;
};

// A point of the orbit plane in AU: x toward perihelion, y 90 degrees ahead in the direction
// of motion, z always 0.
struct OrbitPoint {
    double x = 0;
    double y = 0;
    double z = 0;
};

// The elements of a record, the perihelion time in double precision from its year, month
// and fractional day.
CometElements MakeCometElements(const CometRecord& record);

// Fills the record's work block (T, e, a, q, omega, node, i, equinox 2000.0) from its own
// fields, T and a rounded to 32 bits. a is q / (1 - e); a parabola, which has none, gets 0.
void FillCometWorkElements(CometRecord& record);

// Kepler's equation E - e sin E = M for 0 <= e < 1 (M in radians), from E = M + e sin M:
// fixed-point steps below e = 0.6, Newton's method above, each at most 80 steps. Writes E
// (radians) and returns 1, or 0 when it did not settle.
int SolveKeplerEquation(double eccentricity, double meanAnomaly, double* eccentricAnomaly);

// The hyperbolic Kepler equation e sinh H - H = M for e > 1, by Newton's method from
// asinh(M / e), at most 80 steps.
int SolveHyperbolicKeplerEquation(double eccentricity, double meanAnomaly, double* hyperbolicAnomaly);

int SolveEllipticOrbit(const CometElements& elements, double jd, OrbitPoint* point);
int SolveParabolicOrbit(const CometElements& elements, double jd, OrbitPoint* point);
// Gauss's series in A = 5 (1 - e) / (1 + 9 e) s^2; meant for 0.98 <= e < 1.
int SolveNearParabolicOrbit(const CometElements& elements, double jd, OrbitPoint* point);
int SolveHyperbolicOrbit(const CometElements& elements, double jd, OrbitPoint* point);

// The solver for the eccentricity: below 0.98 Kepler's equation; 1 (within 1e-12, which
// for a 32-bit e means exactly 1.0) Barker's equation; 0.98 up to 1 Gauss's series; above
// 1 the hyperbolic equation. Returns that solver's status.
int ComputeOrbitPoint(const CometElements& elements, double jd, OrbitPoint* point);
