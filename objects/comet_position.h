#pragma once
// The geocentric place and the brightness of a comet or an asteroid from its osculating
// elements (equinox 2000.0), with the Sun from the low-accuracy solar coordinates.
#include "catalog/selection_hooks.h"
#include "objects/orbit_solvers.h"

// The Sun's geocentric ecliptic place, mean equinox of date: true longitude (radians) and
// distance (AU) for a Julian day.
struct LowAccuracySun {
    double longitude = 0;
    double distance = 0;
};
LowAccuracySun ComputeLowAccuracySun(double jd);

// The place of the body at a Julian day, used both as the comet's time and as the Sun's:
// right ascension hours [0, 24) and declination degrees, distances from the Earth and the
// Sun (AU), elongation and phase angle (radians).
struct CometPosition {
    double rightAscension = 0;
    double declination = 0;
    double earthDistance = 0;
    double sunDistance = 0;
    double elongation = 0;
    double phaseAngle = 0;
};

// The elements are turned from 2000.0 to the equinox of `equinoxYear` by the precession in
// longitude, while the Sun is always of date. Pass the calendar year of `jd`: any other
// year mixes two frames (about 7' of error per decade of difference). Returns the solver's
// status; on 0 every output is 0.
int ComputeCometPosition(const CometElements& elements, double jd, int equinoxYear, CometPosition* position);

// Comets (kind 13): m = g + 5 log10(delta) + k log10(r), k the factor of log10 r as the
// record stores it. Every other kind is an asteroid of the IAU H, G system:
// m = H + 5 log10(r delta) - 2.5 log10((1 - G) phi1 + G phi2) for the phase angle beta
// (radians).
double CometMagnitude(int kind, double h, double g, double sunDistance, double earthDistance, double phaseAngle);

// The orbit computation the catalog layer reaches through its hook: the record's work block
// filled, then its place at the Julian day for the equinox of `year` (the catalog passes the
// year of that instant). 1 when `place` was written; on a failed solve the place is zero.
int ComputeCometPosition(const CometRecord& record, double jd, int year, CometPlace* place);
