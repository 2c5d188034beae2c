#pragma once
// From fitted Besselian elements: when the shadow axis first and last touches the Earth,
// the point of the central line at an instant with the central duration and the path
// width there, and the latitude at which the eclipse reaches a magnitude at a longitude.
//
// Times are UT hours of the date with Delta T in seconds, except where a name says hours
// from t0 (TT, see ElementHoursFromUt). Latitudes are geodetic degrees, longitudes
// degrees positive WEST.
#include "eclipses/bessel_elements.h"

// Offsets in hours from tauHours (hours from t0) at which the axis crosses the Earth's
// limb, from the straight track at that instant. Returns 1, or 0 when the track misses
// the Earth (no central line); nothing is written then.
int GetAxisLimbTimes(const BesselElements& elements, double tauHours, double* first, double* last);

// UT hours of the date at which the shadow axis first and last touches the Earth. Returns
// 1, or 0 for an eclipse without a central line (partial, or a central eclipse whose axis
// misses the Earth); nothing is written then.
int GetCentralLineEnds(const BesselElements& elements, double deltaTSeconds, double* startUt, double* endUt);

// The central line at utHours: the point under the axis, the duration of the central
// phase there (seconds) and the path width (km). Returns 1, or 0 when the axis misses the
// Earth at that instant; nothing is written then.
int GetCentralLinePoint(const BesselElements& elements, double utHours, double deltaTSeconds, double* latitude,
                        double* longitudeWest, double* durationSeconds, double* widthKm);

// One correction of the latitude at which the magnitude reaches `magnitude` at the west
// longitude, and of the instant (hours from t0) of greatest eclipse there; side +1 north
// of the axis, -1 south.
void LimitLatitudeStep(const BesselElements& elements, double* tauHours, double longitudeWest, double* latitude,
                       double magnitude, double deltaTSeconds, int side);

// The latitude at which the eclipse has `magnitude` (0 the penumbral limit, 1 the umbral
// or antumbral limit) at the west longitude on the given side of the axis: six steps from
// the equator at t0. A limit that does not converge, runs off a pole or is not a number
// comes back as +90 (side >= 0) or -90. An answer on the night side, or off the limit, is
// replaced by a search along the meridian's day side (the crossing nearest the side's
// pole), or by the pole of the side where the limit does not reach the meridian.
double GetLimitLatitude(const BesselElements& elements, double longitudeWest, double magnitude, double deltaTSeconds,
                        int side);
