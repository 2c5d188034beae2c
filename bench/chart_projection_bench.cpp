// The chart's projections, part of the budget of a full chart redraw: the 1646 default
// stars and a full selection list into the plane (fixed point and floating point side by
// side), turning the projected tables in place, and the sky views' matrix with its star
// projection, rebuilt and kept.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include "catalog/byte_order.h"
#include "catalog/chart_buffers.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_projection.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/sky_matrix.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/paths.h"

#include "chart_bench_setup.h"

namespace {

// Once per run: a site, a star file of 1646 scattered stars in a temporary install, the
// star table loaded from it, and a full selection list.
void Setup() {
    static bool done = false;
    if (done) return;
    done = true;
    SetBenchSiteAndTime();

    const std::filesystem::path root = MakeBenchInstallRoot("vk-chart-bench");
    std::mt19937 random(11);
    std::uniform_real_distribution<float> ra(0.0f, 24.0f), dec(-89.0f, 89.0f);
    WriteScatteredStarFile(root, random, [](int) { return std::int16_t{0}; });
    OpenCatalogDatabases(1);
    AllocBrightStarsList();
    AllocChartBuffers();
    LoadStarTable(0);

    AllocSelectionList();
    for (int i = 0; i < selectionList.capacity; ++i) {
        SelectionRecord& r = selectionList.records[i];
        r.objectNumber = i;
        r.catalogCode = 42;
        r.rightAscension = ra(random);
        r.declination = dec(random);
    }
    selectionList.recordCount = selectionList.capacity;
    chartState.horizonZoom = chartState.otherZoom = 5;
    UpdateCurrentTime(1);
    PrepareChartView();
    SetProjectionCenter(0);
}

void BM_ProjectChartTables(benchmark::State& state) {
    Setup();
    SetChartSetting(chartpref::tableProjection, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        int selectionDone = 0, starsDone = 0, redraw = 1;
        ProjectChartTables(chartClock.siderealTime, &selectionDone, &starsDone, &redraw);
    }
    SetChartSetting(chartpref::tableProjection, 0);
    state.SetLabel(state.range(0) ? "floating point" : "fixed point");
    state.SetItemsProcessed(state.iterations() * (GetStarTableCount() + selectionList.recordCount));
}

void BM_RotateChartTables(benchmark::State& state) {
    Setup();
    int selectionDone = 0, starsDone = 0, redraw = 1;
    ProjectChartTables(chartClock.siderealTime, &selectionDone, &starsDone, &redraw);
    for (auto _ : state) RotateChartTables(45);
    state.SetItemsProcessed(state.iterations() * (GetStarTableCount() + selectionList.recordCount));
}

void BM_BuildSkyMatrixAndStars(benchmark::State& state) {
    Setup();
    for (auto _ : state) {
        const ObservingDateTime& t = observingDateTime;
        BuildSkyMatrix(t.year, t.month, t.day, t.hour, t.minute, t.second);
        ProjectStarTable();
    }
    state.SetItemsProcessed(state.iterations() * GetStarTableCount());
}

void BM_UpdateSkyForDateCached(benchmark::State& state) {
    Setup();
    UpdateSkyForDate(1, 2024, 5, 10, 22, 30, 0, 1);
    for (auto _ : state) benchmark::DoNotOptimize(UpdateSkyForDate(1, 2024, 5, 10, 22, 30, 17, 0));
}

}  // namespace

BENCHMARK(BM_ProjectChartTables)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RotateChartTables)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildSkyMatrixAndStars)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_UpdateSkyForDateCached)->Unit(benchmark::kNanosecond);
