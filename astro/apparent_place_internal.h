#pragma once
// The caches behind apparent_place.h, with the counter tests read to see when the Earth's
// state was computed, and the reset tests and benchmarks start from.
#include "astro/apparent_place.h"

// The caches of this file: the Earth's state on the TT Julian day, its heliocentric state
// from the solar series and the Sun's barycentric offset on the TDB Julian day. Each
// answers only for the exact argument it was filled for.
struct ApparentPlaceCache {
    bool earthValid = false;
    double earthJD = 0.0;
    int earthNumber = 0;
    double earthTdb = 0.0;
    double earthBaryPos[3] = {}, earthBaryVel[3] = {};
    double earthHelioPos[3] = {}, earthHelioVel[3] = {};
    long earthEvaluations = 0;

    bool earthSeriesValid = false;  // the Earth's heliocentric state on the TDB Julian day
    double earthSeriesJD = 0.0;
    double earthSeriesPos[3] = {}, earthSeriesVel[3] = {};
    long earthSeriesEvaluations = 0;

    bool offsetValid = false;
    double offsetJD = 0.0;
    double offsetPos[3] = {}, offsetVel[3] = {};
};
extern ApparentPlaceCache apparentPlaceCache;

void ResetApparentPlaceCaches();
