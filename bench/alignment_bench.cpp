// The alignment fits the user waits on (the N-star form's Calc, 20 stars) and the model's
// conversions, which run at every GoTo and every position refresh.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "core/report.h"
#include "core/settings.h"
#include "scope/alignment_model.h"
#include "scope/pointing_model.h"

namespace {

constexpr int kStars = 20;

// An alt-azimuth mount aligned on two stars, and 20 synchronised stars whose readings are
// off the model by a few arc minutes.
struct Setup {
    AlignStar first, second;
    std::vector<AlignStar> table;
};

Setup MakeSetup() {
    preferences.word[pref::scopeDrive] = 5;
    preferences.word[pref::mountType] = 1;
    preferences.word[pref::alignMethod] = 0;
    alignmentModel = AlignmentModel{};
    Setup s;
    s.first.ra = 80.0; s.first.dec = 20.0; s.first.time = 300.0; s.first.axis1 = 130.0; s.first.axis2 = 35.0;
    s.second.ra = 200.0; s.second.dec = 50.0; s.second.time = 310.0; s.second.axis1 = 260.0; s.second.axis2 = 55.0;
    SolveTwoStarMatrix("20:00:00", s.first, s.second);
    for (int i = 0; i < kStars; ++i) {
        AlignStar r;
        r.ra = std::fmod(15.0 + 53.0 * i, 360.0);
        r.dec = -30.0 + 4.0 * i;
        r.time = 300.0 + 2.0 * i;
        SkyToMount(r);
        r.axis1 = r.measuredAxis1 = std::fmod(360.0 + r.modelAxis1 * kRadToDeg + 0.05 * std::sin(i), 360.0);
        r.axis2 = r.measuredAxis2 = r.modelAxis2 * kRadToDeg + 0.05 * std::cos(i);
        r.axis1 -= 0.03;
        s.table.push_back(r);
    }
    return s;
}

void BM_FitAlignmentModel20Stars(benchmark::State& state) {
    Setup s = MakeSetup();
    int evaluations = 0;
    for (auto _ : state) {
        evaluations = FitAlignmentModel("20:00:00", s.first, s.second, s.table.data(), kStars);
        benchmark::DoNotOptimize(evaluations);
    }
    ClearRecordedReports();
    state.counters["evaluations"] = evaluations;
    state.SetLabel("target under 1 s");
}
BENCHMARK(BM_FitAlignmentModel20Stars)->Unit(benchmark::kMillisecond);

void BM_FitPointingModel20Stars(benchmark::State& state) {
    Setup s = MakeSetup();
    int status = 0;
    for (auto _ : state) {
        status = FitPointingModel(s.table.data(), kStars);
        benchmark::DoNotOptimize(status);
    }
    state.counters["status"] = status;
    state.SetLabel("target under 1 s");
}
BENCHMARK(BM_FitPointingModel20Stars)->Unit(benchmark::kMicrosecond);

void BM_SkyToMount(benchmark::State& state) {
    Setup s = MakeSetup();
    int i = 0;
    for (auto _ : state) {
        AlignStar r = s.table[static_cast<std::size_t>(i)];
        SkyToMount(r);
        benchmark::DoNotOptimize(r.modelAxis1);
        i = (i + 1) % kStars;
    }
    state.SetLabel("per call");
}
BENCHMARK(BM_SkyToMount);

void BM_MountToSky(benchmark::State& state) {
    Setup s = MakeSetup();
    int i = 0;
    for (auto _ : state) {
        const AlignStar& r = s.table[static_cast<std::size_t>(i)];
        double ra = 0, dec = 0;
        MountToSky(r.time, r.measuredAxis1, r.measuredAxis2, &ra, &dec);
        benchmark::DoNotOptimize(ra);
        i = (i + 1) % kStars;
    }
    state.SetLabel("per call");
}
BENCHMARK(BM_MountToSky);

}  // namespace
