#pragma once
// What horizontal.cpp keeps between calls: the records ComputeApparentPosition fills on
// every call and the cache of EquToHor's site axes, with its build counter and reset for
// tests and benchmarks.
#include "astro/horizontal.h"

// The records ComputeApparentPosition fills on every call.
extern SiteInfo apparentSite;
extern CatalogStar apparentStar;
extern SolarSystemBody earthBody;

// EquToHor's site axes in the true equator of date depend only on the instant and the
// site: they are kept for the last (jd, deltaT, latitude, longitude).
struct HorizonFrameCache {
    bool valid = false;
    double jd = 0.0, deltaT = 0.0, latitude = 0.0, longitude = 0.0;
    double zenith[3] = {}, north[3] = {}, west[3] = {};
    long builds = 0;
};
extern HorizonFrameCache horizonFrameCache;

void ResetHorizonCache();
