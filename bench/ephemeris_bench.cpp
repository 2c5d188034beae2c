// Costs of the solar-system positions and the rise and set times: the home form and every
// list ask for them once per body or row, the event searches once per body and day.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "astro/lunar_phases.h"
#include "astro/planet_positions.h"
#include "astro/rise_set.h"
#include "core/calendar.h"
#include "core/settings.h"

namespace {

// Vienna, an hour east of Greenwich, with this decade's Delta T; geocentric places.
const ObserverLocation kSite = MakeSite(48.2f, -16.4f, 60, 200);
constexpr double kDeltaT = 69.2;
constexpr int kGeocentric = 0;

// One body per benchmark; the minute steps so that no cache answers twice.
void BM_ComputePlanet(benchmark::State& state) {
    const int body = static_cast<int>(state.range(0));
    int minute = 0;
    BodyRecord record{};
    for (auto _ : state) {
        ComputePlanetAt(kSite, kDeltaT, kGeocentric, &record, body, 2024, 5, 10, 21, minute, 0);
        benchmark::DoNotOptimize(record);
        minute = (minute + 1) % 60;
    }
    const bool planet = body >= kBodyMercury && body <= kBodyNeptune;
    state.SetLabel(std::string(body < kNamedBodyCount ? bodyNames[body] : "shadow") +
                   (planet ? ", target 3 us" : body == kBodySun ? ", target 1.5 us" : ""));
}
BENCHMARK(BM_ComputePlanet)->DenseRange(0, 10)->Arg(13);

void BM_ComputeSunRiseSet(benchmark::State& state) {
    int day = 1;
    for (auto _ : state) {
        double rise, transit, set, twilight;
        benchmark::DoNotOptimize(ComputeSunRiseSetAt(kSite, kDeltaT, 2024, 5, day, &rise, &transit, &set, &twilight));
        benchmark::DoNotOptimize(set);
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_ComputeSunRiseSet);

void BM_ComputeMoonRiseSetTransit(benchmark::State& state) {
    int day = 1;
    for (auto _ : state) {
        double rise, transit, set;
        benchmark::DoNotOptimize(
            ComputeMoonRiseSetTransitAt(kSite, kDeltaT, kDeltaT, 2024, 5, day, &rise, &transit, &set));
        benchmark::DoNotOptimize(set);
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_ComputeMoonRiseSetTransit);

// A list of objects for one night: the sidereal time is cached.
void BM_ComputeRiseSet_CacheHit(benchmark::State& state) {
    double ra = 0.0;
    for (auto _ : state) {
        double rise, transit, set;
        ComputeRiseSet(2024, 5, 10, 48.2, -16.4, 60, 200, 0.0, ra, 20.0, &rise, &transit, &set);
        benchmark::DoNotOptimize(set);
        ra = std::fmod(ra + 0.37, 24.0);
    }
}
BENCHMARK(BM_ComputeRiseSet_CacheHit);

// A table over dates: every call computes the sidereal time.
void BM_ComputeRiseSet_CacheMiss(benchmark::State& state) {
    int day = 1;
    for (auto _ : state) {
        double rise, transit, set;
        ComputeRiseSet(2024, 5, day, 48.2, -16.4, 60, 200, 0.0, 5.5, 20.0, &rise, &transit, &set);
        benchmark::DoNotOptimize(set);
        day = day % 28 + 1;
    }
}
BENCHMARK(BM_ComputeRiseSet_CacheMiss);

void BM_GetMoonPhaseTime(benchmark::State& state) {
    int k = 0;
    for (auto _ : state) {
        int day = 1, month = 1, year = 2024, lunation = k;
        double type, greatest, circumstances[kLunarCircumstanceCount];
        benchmark::DoNotOptimize(GetMoonPhaseTime(kPhaseFullMoon, 1, &type, &greatest, &lunation, 0, &day, &month,
                                                  &year, 0, 0, circumstances));
        k = (k + 1) % 1000;
    }
}
BENCHMARK(BM_GetMoonPhaseTime);

// The event search's pattern: every body once a day for 13 lunations.
void BM_SearchThirteenLunations(benchmark::State& state) {
    BodyRecord records[kNamedBodyCount] = {};
    for (auto _ : state) {
        int year = 2024, month = 1, day = 1;
        for (int i = 0; i < 384; ++i) {
            for (int body = 0; body < kNamedBodyCount; ++body)
                ComputePlanetAt(kSite, kDeltaT, kGeocentric, &records[body], body, year, month, day, 0, 0, 0);
            AddDays(&year, &month, &day, 1);
        }
        benchmark::DoNotOptimize(records);
    }
    state.SetItemsProcessed(state.iterations() * 384 * kNamedBodyCount);
}
BENCHMARK(BM_SearchThirteenLunations)->Unit(benchmark::kMillisecond);

}  // namespace
