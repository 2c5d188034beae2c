// Cost per call of the Sun, Moon and planetary theories. The Moon series is the most
// expensive single call of the per-instant work (chart redraws, event searches, eclipses).
#include <benchmark/benchmark.h>

#include "astro/planetary_theory.h"
#include "astro/precession_nutation_internal.h"
#include "astro/quick_sun_moon.h"
#include "theories/moon_illumination.h"
#include "theories/moon_series.h"
#include "theories/sun_series.h"

namespace {

// Successive calls step through a year so that nothing is computed once and reused.
constexpr double kStepCenturies = 1.0 / 36525.0;

// Calls `position` at successive instants a day apart, from an empty nutation cache.
template <typename Position>
void DayByDay(benchmark::State& state, Position position) {
    ResetAstrometryCaches();
    double T = 0.24;
    for (auto _ : state) {
        benchmark::DoNotOptimize(position(T));
        T += kStepCenturies;
    }
    state.SetLabel("target 1.5 us");
}

void BM_MoonSeries(benchmark::State& state) {
    DayByDay(state, [](double T) {
        double lon, lat, dist;
        GetMoonEclipticPosition(T, &lon, &lat, &dist);
        return lon + lat + dist;
    });
}
BENCHMARK(BM_MoonSeries);

void BM_SunSeries(benchmark::State& state) {
    DayByDay(state, [](double T) {
        double lon, lat, dist;
        GetSunEclipticPosition(T, &lon, &lat, &dist);
        return lon + lat + dist;
    });
}
BENCHMARK(BM_SunSeries);

// The apparent places of date (nutation, and aberration for the Sun) from the series, as
// the peer comparison (make bench-peers) times them.
void BM_MoonApparentOfDate(benchmark::State& state) {
    DayByDay(state, [](double T) {
        FullPosition p{};
        MoonPositionFull(&p, T, 0.0);
        return p.rightAscension + p.declination;
    });
}
BENCHMARK(BM_MoonApparentOfDate);

void BM_SunApparentOfDate(benchmark::State& state) {
    DayByDay(state, [](double T) {
        FullPosition p{};
        SunPositionFull(&p, T);
        return p.rightAscension + p.declination;
    });
}
BENCHMARK(BM_SunApparentOfDate);

void BM_MoonIllumination(benchmark::State& state) {
    int day = 0;
    for (auto _ : state) {
        int age;
        benchmark::DoNotOptimize(ComputeMoonIllumination(2024, 1, 1 + day % 28, 21.5, 60, &age));
        ++day;
    }
}
BENCHMARK(BM_MoonIllumination);

// Argument: planet 0 Mercury .. 7 Neptune.
void BM_PlanetHeliocentricPV(benchmark::State& state) {
    const int planet = static_cast<int>(state.range(0));
    double jd = 2460000.5;
    for (auto _ : state) {
        double pv[6];
        benchmark::DoNotOptimize(PlanetHeliocentricPV(jd, 0.0, planet, pv));
        benchmark::DoNotOptimize(pv[0]);
        jd += 1.0;
    }
}
BENCHMARK(BM_PlanetHeliocentricPV)->DenseRange(0, 7);

void BM_PlutoHeliocentricOfDate(benchmark::State& state) {
    double T = 0.24;
    for (auto _ : state) {
        double l, b, r;
        PlutoHeliocentricOfDate(T, &l, &b, &r);
        benchmark::DoNotOptimize(l + b + r);
        T += kStepCenturies;
    }
}
BENCHMARK(BM_PlutoHeliocentricOfDate);

// All nine bodies and the Sun at once, as the event search's daily step asks for them.
void BM_PlanetOrbitPosition(benchmark::State& state) {
    int day = 0;
    for (auto _ : state) {
        float positions[kOrbitBodyCount][3];
        float equatorial[kOrbitBodyCount][2];
        PlanetOrbitPosition(2024, 1, 1 + day % 28, 0, 0, 0, positions, equatorial,
                            kOrbitHeliocentric, 2, 10);
        benchmark::DoNotOptimize(positions[2][0]);
        ++day;
    }
}
BENCHMARK(BM_PlanetOrbitPosition);

}  // namespace
