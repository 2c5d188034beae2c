// Costs of reading a satellite's elements and of the two propagators. The pass finder and
// the flare search convert once per satellite and propagate thousands of times per search;
// the satellite form converts on every position it shows.
#include <benchmark/benchmark.h>

#include <cstring>

#include "satellites/sgp.h"
#include "satellites/sgp4.h"
#include "satellites/two_line_elements.h"

namespace {

// A near-Earth set (perigee 570 km, the full drag model).
SatelliteRecord NearEarthRecord() {
    SatelliteRecord record;
    std::strcpy(record.line1, "1 06251U 62025E   06176.82412014  .00008885  00000-0  12808-3 0  3985");
    std::strcpy(record.line2, "2 06251  58.0579  54.0425 0030035 139.1568 221.1854 15.56387291  6774");
    return record;
}

void BM_ConvertTleElements(benchmark::State& state) {
    const SatelliteRecord record = NearEarthRecord();
    TleElements elements;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ConvertTleElements(record, &elements));
        benchmark::ClobberMemory();
    }
    state.SetLabel("target under 1000 ns");
}
BENCHMARK(BM_ConvertTleElements);

// One propagator call per iteration; the minutes step by an odd amount so that every call
// solves a different orbit position.
template <typename Propagate>
void RunPropagation(benchmark::State& state, Propagate propagate) {
    TleElements elements;
    ConvertTleElements(NearEarthRecord(), &elements);
    double minutes = 0.0;
    SatVector position, velocity;
    for (auto _ : state) {
        benchmark::DoNotOptimize(propagate(elements, minutes, &position, &velocity));
        benchmark::DoNotOptimize(position);
        minutes = minutes < 7000.0 ? minutes + 0.73 : 0.0;
    }
    state.SetLabel("target under 200 ns");
}

void BM_PropagateSgp(benchmark::State& state) {
    RunPropagation(state, [](const TleElements& el, double t, SatVector* p, SatVector* v) {
        return PropagateSgp(t, p, v, el);
    });
}
BENCHMARK(BM_PropagateSgp);

// The same set again and again: the model of the last set is used again.
void BM_PropagateSgp4(benchmark::State& state) {
    RunPropagation(state, [](const TleElements& el, double t, SatVector* p, SatVector* v) {
        return PropagateSgp4(t, p, v, el);
    });
}
BENCHMARK(BM_PropagateSgp4);

// Initialising from the epoch elements on every call, as without the kept model.
void BM_PropagateSgp4_InitEveryCall(benchmark::State& state) {
    RunPropagation(state, [](const TleElements& el, double t, SatVector* p, SatVector* v) {
        Sgp4Model model;
        InitSgp4(el, &model);
        return PropagateSgp4Model(model, t, p, v);
    });
}
BENCHMARK(BM_PropagateSgp4_InitEveryCall);

}  // namespace
