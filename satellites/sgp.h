#pragma once
// The SGP model of Spacetrack Report No. 3: a first-order near-Earth propagator driven by
// the first and second time derivatives of the mean motion. Quick, and good for a few days
// either side of the element epoch.
#include "satellites/satellite_math.h"
#include "satellites/two_line_elements.h"

// Semi-major axis (Earth radii) and eccentricity of the SGP orbit `tsince` minutes from the
// epoch: the axis follows the mean motion's drift, the perigee distance stays; an axis
// that falls below the perigee distance leaves a near-circular orbit (e = 1e-6). A drift
// that runs the mean motion through zero leaves no orbit: a = 0.
void SgpMeanOrbit(double tsince, const TleElements& elements, double* a, double* e);

// Position (Earth radii) and velocity (Earth radii per minute) `tsince` minutes from the
// epoch (negative before it), in the true-equator, mean-equinox frame; the magnitude slots
// are left alone. Returns kOrbitPropagated, or kOrbitDecayed with both vectors zero when
// the orbit gives no finite state or runs below the Earth's surface.
int PropagateSgp(double tsince, SatVector* position, SatVector* velocity, const TleElements& elements);
