// The orbit computation per call and solver (a search runs it for every comet record, the
// best-dates list about a hundred times per record), the sky model per call (the Moon
// form's month tables and every search), and the visibility estimate per call (a
// visibility search makes one for each of about 14,000 deep-sky objects).
#include <benchmark/benchmark.h>

#include "core/settings.h"
#include "objects/comet_position.h"
#include "objects/sky_brightness.h"
#include "objects/visibility.h"

namespace {

void CometPositionBy(benchmark::State& state, double eccentricity) {
    CometElements el;
    el.perihelionJd = 2460400.5;
    el.perihelionDistance = 0.9;
    el.eccentricity = eccentricity;
    el.argPerihelion = 120.0;
    el.ascendingNode = 40.0;
    el.inclination = 30.0;
    double jd = 2460300.5;
    CometPosition p;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeCometPosition(el, jd, 2024, &p));
        benchmark::DoNotOptimize(p);
        jd += 1.7;
        if (jd > 2460700.5) jd = 2460300.5;
    }
}

void BM_CometPositionFixedPoint(benchmark::State& s) { CometPositionBy(s, 0.3); }
void BM_CometPositionNewton(benchmark::State& s) { CometPositionBy(s, 0.9); }
void BM_CometPositionNearParabolic(benchmark::State& s) { CometPositionBy(s, 0.99); }
void BM_CometPositionParabolic(benchmark::State& s) { CometPositionBy(s, 1.0); }
void BM_CometPositionHyperbolic(benchmark::State& s) { CometPositionBy(s, 1.3); }
BENCHMARK(BM_CometPositionFixedPoint);
BENCHMARK(BM_CometPositionNewton);
BENCHMARK(BM_CometPositionNearParabolic);
BENCHMARK(BM_CometPositionParabolic);
BENCHMARK(BM_CometPositionHyperbolic);

void BM_ComputeSkyBrightness(benchmark::State& state) {
    ObserverLocation site = MakeSite(48.2f, -16.4f, 60, 200);
    site.humidity = 50;
    site.temperature = 10;
    SkyObserver observer;
    SkyModel model;
    int hour = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeSkyBrightnessFor(&model, site, observer, 24, 2024, 5, 10, hour, 30));
        hour = (hour + 1) % 24;
    }
}
BENCHMARK(BM_ComputeSkyBrightness);

void BM_EstimateVisibility(benchmark::State& state) {
    double size = 0.5;
    for (auto _ : state) {
        int magnification = 0;
        double margin = 0;
        EstimateVisibilityFor(203.0, 2032.0, 22.0, 11.0, size, size * 0.6, 40, 2, &magnification, &margin);
        benchmark::DoNotOptimize(margin);
        size = size > 60.0 ? 0.5 : size * 1.3;
    }
}
BENCHMARK(BM_EstimateVisibility);

}  // namespace
