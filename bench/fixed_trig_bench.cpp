// Fixed-point trigonometry: time per call of each kernel (the branchless CORDIC steps next
// to the plain two-way steps), the matrix products, and a chart frame of 100,000 stars
// rotated and projected in fixed point.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "astro/fixed_trig.h"
#include "astro/fixed_trig_internal.h"

namespace {

using i32 = std::int32_t;

// A power of two; long enough that the branch predictor cannot learn the sequence of
// CORDIC decisions (over a few thousand inputs it does, and the two-way steps look fast).
constexpr int kInputs = 1 << 16;
constexpr double kPi = 3.14159265358979323846;  // a power of two, random enough to defeat branch prediction

struct Inputs {
    std::vector<i32> angle, quarterAngle, small, unit, x, y;
    Inputs() {
        std::mt19937 rng(42);
        std::uniform_int_distribution<i32> anyAngle(-kFixTurn, 2 * kFixTurn);
        std::uniform_int_distribution<i32> quarter(-kFixQuarterTurn, kFixQuarterTurn);
        std::uniform_int_distribution<i32> one(-kFixOne, kFixOne);
        std::uniform_int_distribution<i32> tanRange(-6000000, 6000000);
        for (int i = 0; i < kInputs; ++i) {
            angle.push_back(anyAngle(rng));
            small.push_back(tanRange(rng));
            unit.push_back(one(rng));
            x.push_back(one(rng));
            y.push_back(one(rng));
        }
        // Rotation mode takes angles within a quarter turn.
        for (int i = 0; i < kInputs; ++i) quarterAngle.push_back(quarter(rng));
    }
};

const Inputs& In() {
    static const Inputs inputs;
    return inputs;
}

template <CordicResult (*Kernel)(i32, i32, i32)>
void BM_CordicRotateKernel(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Kernel(10188013, 0, in.quarterAngle[i++ & (kInputs - 1)]));
    }
}
BENCHMARK(BM_CordicRotateKernel<CordicRotate>)->Name("CordicRotate/branchless");
BENCHMARK(BM_CordicRotateKernel<CordicRotateBranchy>)->Name("CordicRotate/branchy");

template <CordicResult (*Kernel)(i32, i32, i32)>
void BM_CordicVectorKernel(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    for (auto _ : state) {
        const unsigned k = i++ & (kInputs - 1);
        benchmark::DoNotOptimize(Kernel(in.x[k] < 0 ? -in.x[k] : in.x[k], in.y[k], 0));
    }
}
BENCHMARK(BM_CordicVectorKernel<CordicVector>)->Name("CordicVector/branchless");
BENCHMARK(BM_CordicVectorKernel<CordicVectorBranchy>)->Name("CordicVector/branchy");

template <CordicResult (*Kernel)(i32, i32, i32)>
void BM_CordicHyperbolicKernel(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    for (auto _ : state) {
        const i32 s = in.unit[i++ & (kInputs - 1)] / 2;
        const i32 q = static_cast<i32>((static_cast<std::int64_t>(s) * s) >> 24);
        benchmark::DoNotOptimize(Kernel(22892727 - q, 10661705 - q, 0));
    }
}
BENCHMARK(BM_CordicHyperbolicKernel<CordicHyperbolicVector>)->Name("CordicHyperbolicVector/branchless");
BENCHMARK(BM_CordicHyperbolicKernel<CordicHyperbolicVectorBranchy>)->Name("CordicHyperbolicVector/branchy");

template <CordicResult (*Kernel)(i32, i32, i32)>
void BM_CordicRotate16Kernel(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Kernel(1243, 0, (in.quarterAngle[i++ & (kInputs - 1)] >> 13) % 3217));
    }
}
BENCHMARK(BM_CordicRotate16Kernel<CordicRotate16>)->Name("CordicRotate16/branchless");
BENCHMARK(BM_CordicRotate16Kernel<CordicRotate16Branchy>)->Name("CordicRotate16/branchy");

void BM_FixSinCos(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    i32 c, s;
    for (auto _ : state) {
        FixSinCos(in.angle[i++ & (kInputs - 1)], &c, &s);
        benchmark::DoNotOptimize(c);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_FixSinCos);

void BM_FixCos(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(FixCos(in.angle[i++ & (kInputs - 1)]));
}
BENCHMARK(BM_FixCos);

void BM_FixTan(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(FixTan(in.angle[i++ & (kInputs - 1)]));
}
BENCHMARK(BM_FixTan);

void BM_FixTanSeries(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(FixTanSeries(in.small[i++ & (kInputs - 1)]));
}
BENCHMARK(BM_FixTanSeries);

void BM_FixAtan2(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    for (auto _ : state) {
        const unsigned k = i++ & (kInputs - 1);
        benchmark::DoNotOptimize(FixAtan2(in.y[k], in.x[k]));
    }
}
BENCHMARK(BM_FixAtan2);

void BM_FixAsin(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(FixAsin(in.unit[i++ & (kInputs - 1)]));
}
BENCHMARK(BM_FixAsin);

void BM_FixAsinCordic(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(FixAsinCordic(in.unit[i++ & (kInputs - 1)]));
}
BENCHMARK(BM_FixAsinCordic);

void BM_FixSinCos16(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    std::int16_t c, s;
    for (auto _ : state) {
        FixSinCos16(in.angle[i++ & (kInputs - 1)] >> 13, &c, &s);
        benchmark::DoNotOptimize(c);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_FixSinCos16);

void BM_FixMatrixApply(benchmark::State& state) {
    const Inputs& in = In();
    i32 m[9];
    FixRotationMatrix(m, 1234567, 7654321, 33333333);
    unsigned i = 0;
    for (auto _ : state) {
        const unsigned k = i++ & (kInputs - 1);
        i32 v[3] = {in.x[k], in.y[k], in.unit[k]};
        FixMatrixApply(m, v);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_FixMatrixApply);

void BM_FixMatrixMultiply(benchmark::State& state) {
    i32 a[9], b[9], r[9];
    FixRotationMatrix(a, 1234567, 7654321, 33333333);
    FixRotationZXZ(b, 7654321, 1234567, 3333333);
    for (auto _ : state) {
        FixMatrixMultiply(a, b, r);
        benchmark::DoNotOptimize(r);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FixMatrixMultiply);

void BM_FixRotationMatrix(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    i32 m[9];
    for (auto _ : state) {
        const unsigned k = i++ & (kInputs - 1);
        FixRotationMatrix(m, in.angle[k], in.angle[(k + 1) & (kInputs - 1)], in.angle[(k + 2) & (kInputs - 1)]);
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(BM_FixRotationMatrix);

void BM_FixRotationZXZ(benchmark::State& state) {
    const Inputs& in = In();
    unsigned i = 0;
    i32 m[9];
    for (auto _ : state) {
        const unsigned k = i++ & (kInputs - 1);
        FixRotationZXZ(m, in.angle[k], in.angle[(k + 1) & (kInputs - 1)], in.angle[(k + 2) & (kInputs - 1)]);
        benchmark::DoNotOptimize(m);
    }
}
BENCHMARK(BM_FixRotationZXZ);

// One chart frame: every star's unit vector through the view rotation, the stars in front
// of the viewer projected (orthographically) onto a 480 x 640 screen. Reported per frame.
void BM_ChartFrame100kStars(benchmark::State& state) {
    constexpr int kStars = 100000;
    std::vector<i32> stars(3 * kStars);
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(0, 1);
    for (int n = 0; n < kStars; ++n) {
        const double ra = 2 * kPi * u(rng);
        const double dec = std::asin(2 * u(rng) - 1);
        stars[3 * n] = static_cast<i32>(std::lround(std::cos(dec) * std::cos(ra) * kFixOne));
        stars[3 * n + 1] = static_cast<i32>(std::lround(std::cos(dec) * std::sin(ra) * kFixOne));
        stars[3 * n + 2] = static_cast<i32>(std::lround(std::sin(dec) * kFixOne));
    }
    std::vector<std::int16_t> screen(2 * kStars);
    i32 view[9];
    i32 lst = 0;
    constexpr i32 kRadius = 320;  // pixels for a quarter turn from the centre
    for (auto _ : state) {
        lst += 292818;  // the sky turns a degree between frames
        FixRotationMatrix(view, 51 * kFixUnitsPerDegree, lst, 0);
        int shown = 0;
        for (int n = 0; n < kStars; ++n) {
            i32 v[3] = {stars[3 * n], stars[3 * n + 1], stars[3 * n + 2]};
            FixMatrixApply(view, v);
            if (v[2] <= 0) continue;  // behind the viewer
            screen[2 * shown] = static_cast<std::int16_t>(240 + ((static_cast<std::int64_t>(v[0]) * kRadius) >> 24));
            screen[2 * shown + 1] = static_cast<std::int16_t>(320 - ((static_cast<std::int64_t>(v[1]) * kRadius) >> 24));
            ++shown;
        }
        benchmark::DoNotOptimize(screen.data());
        benchmark::DoNotOptimize(shown);
    }
    state.counters["stars"] = kStars;
}
BENCHMARK(BM_ChartFrame100kStars)->Unit(benchmark::kMillisecond);

}  // namespace
