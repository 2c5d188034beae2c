#pragma once
// The caches behind precession_nutation.h, with the counters tests and benchmarks read to
// see when a cache answered, and the reset they start from.
#include "astro/precession_nutation.h"

// The caches of this file: the precession-nutation product on the Julian day, the
// nutation pair on T, the Earth tilt on the Julian day. A cache answers only for the very
// argument it was filled for, so results never depend on what was asked before.
struct AstrometryCache {
    bool precessionValid = false;
    double precessionCacheJD = -1.0;
    double precessionNutationMatrix[9] = {};
    long precessionBuilds = 0;  // how often the product was built (tests, benchmarks)

    bool nutationValid = false;
    double nutationT = -1.0;
    double nutationDpsi = 0.0;
    double nutationDeps = 0.0;
    long nutationEvaluations = 0;

    bool tiltValid = false;
    double tiltJD = 0.0;
    double tiltDpsi = 0.0;
    double tiltDeps = 0.0;

    // The precession from J2000.0 and the nutation of the Julian day, for every body's place
    // at one instant.
    bool toDateValid = false;
    double toDateJD = 0.0;
    double toDatePrecession[3][3] = {};
    double toDateNutation[3][3] = {};
    long toDateBuilds = 0;
};
extern AstrometryCache astrometryCache;

// Empties every cache above (tests, benchmarks).
void ResetAstrometryCaches();
