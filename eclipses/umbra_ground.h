#pragma once
// The topocentric correction of the working body for the place held in `eclipseState`,
// the recording of that place, and the umbra (or antumbra) on the ground at an instant of
// a central solar eclipse: its ellipse, speed, direction, the central duration on the
// axis and the lines of equal duration beside it.
#include "eclipses/local_eclipse.h"

// For the working body of `eclipseState` (right ascension hours, declination, distance)
// and the place in `axisLatitude` / `axisLongitude`: while the positions are ready,
// replaces the body by its topocentric place and distance (no height); in every case sets
// `bodyAltitude` and `bodyAzimuth` (radians, azimuth from north through east in [0, 2pi)).
void TopocentricCorrection();

// Records the place of `eclipseState` in the record (latitudes beyond +-90 and longitudes
// below -180 brought back) and keeps it as the previous point.
void NormalizeEclipsePlace(LocalEclipse* local);

// The ground ellipse as a quadratic form in the frame of the shadow's motion (km^-2):
// S s^2 + 2 P s w + Q w^2 = 1, s along the motion and w across it.
struct ShadowEllipse {
    double P = 0.0;
    double Q = 0.0;
    double S = 0.0;
};

// The umbra on the ground at a UT instant. Returns `axisHit`: 0 when the axis misses the
// Earth; the record then keeps everything but `clockHours`.
int GetLocalEclipse(LocalEclipse* local, int year, int month, int day, int hour, int minute, int second);

// The lines of equal central duration for the record's `centralDuration` (s): none up to
// 25 s (the slots are cleared), at most four below 45 s, at most eight beyond, each found
// by bisection on the distance from the axis (at most 60 halvings).
void ComputeUmbraLevels(LocalEclipse* local, const ShadowEllipse& ellipse, double halfWidthKm, double halfLengthKm);
