#pragma once
// The sidereal-time cache behind ComputeRiseSet, with the counter tests and benchmarks read
// to see when it answered.
#include "astro/rise_set.h"

// The local sidereal time at 12:00 local time of the last date ComputeRiseSet was asked
// for, keyed on the date, the zone offset and the longitude.
struct RiseSetLstCache {
    int year = -1;
    int month = -1;
    int day = -1;
    int offsetMinutes = -1;
    double longitude = -1.0;
    double lst = 0.0;
    bool filled = false;
    long computations = 0;  // how often the sidereal time was computed (tests, benchmarks)
};
extern RiseSetLstCache riseSetLstCache;
