#pragma once
// The SGP4 model of Spacetrack Report No. 3 (near-Earth, WGS-72 constants) with drag
// through BSTAR. There is no deep-space model: callers refuse sets with `deepSpace` set
// before they propagate.
#include "satellites/satellite_math.h"
#include "satellites/two_line_elements.h"

// The initialisation of one element set: everything the propagation needs that does not
// depend on the time.
struct Sgp4Model {
    // Epoch elements.
    double meanAnomaly = 0.0;
    double argPerigee = 0.0;
    double raan = 0.0;
    double eccentricity = 0.0;
    double inclination = 0.0;
    double bstar = 0.0;
    // Brouwer mean motion (radians per minute) and semi-major axis (Earth radii).
    double meanMotion = 0.0;
    double semiMajorAxis = 0.0;
    // Perigee height (km) and the density parameters it chose: s (Earth radii) and
    // ((q0 - s) in Earth radii)^4.
    double perigeeHeight = 0.0;
    double s = 0.0;
    double qoms24 = 0.0;
    // 1 when the perigee is below 220 km and the drag terms D2, D3, D4 are left out.
    int simplified = 0;
    double cosIncl = 0.0;
    double sinIncl = 0.0;
    double x3thm1 = 0.0;  // 3 cos^2 i - 1
    double x1mth2 = 0.0;  // 1 - cos^2 i
    double x7thm1 = 0.0;  // 7 cos^2 i - 1
    double eta = 0.0;
    double c1 = 0.0;
    double c4 = 0.0;
    double c5 = 0.0;
    double d2 = 0.0;
    double d3 = 0.0;
    double d4 = 0.0;
    double meanAnomalyRate = 0.0;
    double perigeeRate = 0.0;
    double nodeRate = 0.0;
    double omgcof = 0.0;
    double xmcof = 0.0;
    double xnodcf = 0.0;
    double t2cof = 0.0;
    double t3cof = 0.0;
    double t4cof = 0.0;
    double t5cof = 0.0;
    double xlcof = 0.0;
    double aycof = 0.0;
    double delmo = 0.0;
    double sinmo = 0.0;
};

// Initialises the model from the seven epoch elements of `elements` (mean motion,
// eccentricity, inclination, argument of perigee, node, mean anomaly, BSTAR).
void InitSgp4(const TleElements& elements, Sgp4Model* model);

// Position (Earth radii) and velocity (Earth radii per minute) `tsince` minutes from the
// epoch (negative before it), in the true-equator, mean-equinox frame; the magnitude slots
// are left alone. Returns kOrbitPropagated, or kOrbitDecayed with both vectors zero when
// drag has driven the eccentricity out of [-0.001, 1), the semi-latus rectum is not
// positive, the radius is below one Earth radius, or no finite state comes out.
int PropagateSgp4Model(const Sgp4Model& model, double tsince, SatVector* position, SatVector* velocity);

// InitSgp4 and PropagateSgp4Model in one call. The model of the last element set is kept
// (per thread) and used again while the seven epoch elements are unchanged, with results
// identical to a fresh initialisation.
int PropagateSgp4(double tsince, SatVector* position, SatVector* velocity, const TleElements& elements);
