#pragma once
// The geocentric place and the brightness of a comet or an asteroid from its osculating
// elements (equinox 2000.0).
#include "catalog/selection_hooks.h"
#include "objects/orbit_solvers.h"
#include "astro/minor_body_magnitude.h"

// The Sun's geocentric ecliptic place, mean equinox of date: true longitude (radians) and
// distance (AU) for a Julian day.
struct LowAccuracySun {
    double longitude = 0;
    double distance = 0;
};
LowAccuracySun ComputeLowAccuracySun(double jd);

// The astrometric place of the body at a Julian day (terrestrial time): where it was when
// the light now arriving left it, seen from the centre of the Earth, on the mean equator
// and equinox of that instant, with the Earth from the Sun of the planets' ephemeris. Right
// ascension hours [0, 24) and declination degrees, distances from the Earth and the Sun
// (AU), elongation and phase angle (radians). No aberration or nutation: the apparent-place
// reductions are the callers'.
struct CometPosition {
    double rightAscension = 0;
    double declination = 0;
    double earthDistance = 0;
    double sunDistance = 0;
    double elongation = 0;
    double phaseAngle = 0;
};

// The elements are of equinox 2000.0 and are precessed to the instant itself;
// `equinoxYear` is no longer used (the places once went to the equinox of a whole year).
// Returns the solver's status; on 0 every output is 0.
int ComputeCometPosition(const CometElements& elements, double jd, int equinoxYear, CometPosition* position);


// The orbit computation the catalog layer reaches through its hook: the record's work block
// filled, then its place at the Julian day for the equinox of `year` (the catalog passes the
// year of that instant). 1 when `place` was written; on a failed solve the place is zero.
int ComputeCometPosition(const CometRecord& record, double jd, int year, CometPlace* place);
