// Costs of the positional reductions at one instant: the forms and the chart place many
// objects at the same time and site, the telescope one object per GoTo.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "astro/apparent_place.h"
#include "astro/apparent_place_internal.h"
#include "astro/constellation_boundaries.h"
#include "astro/horizontal.h"
#include "astro/horizontal_internal.h"
#include "astro/precession_nutation.h"
#include "astro/precession_nutation_internal.h"
#include "core/settings.h"

namespace {

struct Place {
    double ra, dec;
};

// Places spread over the sky, the same set for every benchmark.
const std::vector<Place>& Places() {
    static const std::vector<Place> places = [] {
        std::vector<Place> p;
        unsigned state = 12345u;
        auto next = [&state] {
            state = state * 1664525u + 1013904223u;
            return (state >> 8) / 16777216.0;
        };
        for (int i = 0; i < 1024; ++i) p.push_back({24.0 * next(), std::asin(2.0 * next() - 1.0) * 57.29577951308232});
        return p;
    }();
    return places;
}

// Vienna, an hour east of Greenwich, with this decade's Delta T.
ObserverLocation BenchSite() {
    ObserverLocation site = MakeSite(48.2f, -16.4f, 60, 200);
    site.pressure = 1010;
    return site;
}
constexpr double kDeltaT = 69.2;

void BM_PrecessToDate_CacheHit(benchmark::State& state) {
    ResetAstrometryCaches();
    const auto& places = Places();
    size_t i = 0;
    for (auto _ : state) {
        double ra = places[i].ra, dec = places[i].dec;
        PrecessToDate(2460000.5, &ra, &dec);
        benchmark::DoNotOptimize(ra);
        benchmark::DoNotOptimize(dec);
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_PrecessToDate_CacheHit);

void BM_PrecessToDate_CacheMiss(benchmark::State& state) {
    ResetAstrometryCaches();
    const auto& places = Places();
    size_t i = 0;
    double jd = 2460000.5;
    for (auto _ : state) {
        double ra = places[i].ra, dec = places[i].dec;
        jd += 1e-3;
        PrecessToDate(jd, &ra, &dec);
        benchmark::DoNotOptimize(ra);
        benchmark::DoNotOptimize(dec);
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_PrecessToDate_CacheMiss);

void BM_NutationAngles(benchmark::State& state) {
    ResetAstrometryCaches();
    double T = 0.2;
    for (auto _ : state) {
        double dpsi, deps;
        T += 1e-9;  // a new T each time: the series itself
        NutationAngles(T, &dpsi, &deps);
        benchmark::DoNotOptimize(dpsi);
        benchmark::DoNotOptimize(deps);
    }
}
BENCHMARK(BM_NutationAngles);

// Many objects at one instant (a chart or a list); the argument is the coordinate mode.
void BM_ComputeApparentPosition(benchmark::State& state) {
    ResetAstrometryCaches();
    ResetApparentPlaceCaches();
    ResetHorizonCache();
    const ObserverLocation site = BenchSite();
    const int mode = static_cast<int>(state.range(0));
    const auto& places = Places();
    size_t i = 0;
    for (auto _ : state) {
        double ra, dec, alt, az = 0;
        ComputeApparentPositionAt(site, kDeltaT, places[i].ra, places[i].dec, &ra, &dec, &alt, &az, mode, 2024, 3, 15,
                                  21, 30, 0);
        benchmark::DoNotOptimize(ra);
        benchmark::DoNotOptimize(alt);
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_ComputeApparentPosition)->DenseRange(-1, 3);

void BM_FindConstellation(benchmark::State& state) {
    const auto& places = Places();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindConstellation(places[i].ra, places[i].dec, 2451545.0));
        i = (i + 1) & 1023;
    }
}
BENCHMARK(BM_FindConstellation);

// EquToHor for many objects at one instant and site, with the site's axes of date kept
// (as EquToHor does) against rebuilt for every object (as before they were kept).
void EquToHorObjects(benchmark::State& state, bool rebuildFrame) {
    ResetAstrometryCaches();
    ResetHorizonCache();
    const SiteInfo site{48.2, 16.4, 200.0, 10.0, 1010.0};
    const auto& places = Places();
    size_t i = 0;
    for (auto _ : state) {
        if (rebuildFrame) ResetHorizonCache();
        double zd, az = 0, rar, decr;
        EquToHor(2460385.396, kDeltaT, 0, 0, site, places[i].ra, places[i].dec, kRefractionNone, &zd, &az, &rar, &decr);
        benchmark::DoNotOptimize(zd);
        benchmark::DoNotOptimize(az);
        i = (i + 1) & 1023;
    }
}
void BM_EquToHor_FrameKept(benchmark::State& state) { EquToHorObjects(state, false); }
void BM_EquToHor_FrameRebuilt(benchmark::State& state) { EquToHorObjects(state, true); }
BENCHMARK(BM_EquToHor_FrameKept);
BENCHMARK(BM_EquToHor_FrameRebuilt);

}  // namespace
