// The sky chart's redraw budget at scale 2 with the default catalogs (the data builder's
// output, `make data`; without it these benchmarks say so and skip): a full DrawChart in
// the sky map at zoom 2, 5 and 9 and in the horizon view at zoom 2, with "Obj. Drilldown"
// on (and once without, to show the deep-sky layer's share) and a selection list of 1000
// objects; the same redraw with the Hipparcos 110K and Tycho 390K star levels for every chart
// type and zoom, and the first one after such a level's file opens; one ShiftChart step of a
// drag; and tap identification with full buffers. Each prints its target beside its figure.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>

#include "catalog/byte_order.h"
#include "catalog/chart_buffers.h"
#include "catalog/databases.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_form.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_shift.h"
#include "chart/chart_state.h"
#include "chart/chart_tap.h"
#include "chart/chart_zoom.h"
#include "chart/sky_view_chart.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/headless.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"

namespace {

namespace hl = platform::headless;

constexpr int kListSize = 1000;

// Where the data builder left the catalogs: beside this program (a build tree) or in the
// main build tree.
std::filesystem::path FindData() {
    for (const std::filesystem::path& p : {platform::InstallRoot() / "data", std::filesystem::path("build/data")})
        if (std::filesystem::exists(p / kDefaultStarsFile) && std::filesystem::exists(p / "velkarion_obj_1k.ppc"))
            return p.parent_path();
    return {};
}

// Once per run: the headless screen at scale 2, the catalogs, a list of 1000 objects, the
// chart's bitmaps and a "screen" to show the chart on.
struct ChartBench {
    bool ready = false;
    DrawWindow* screen = nullptr;

    ChartBench() {
        const std::filesystem::path install = FindData();
        if (install.empty()) return;
        hl::Options options;
        options.scale = 2;
        hl::Install(options);
        platform::SetInstallRoot(install);
        platform::LoadResources();
        SetDefaultSettings();
        InitScreenScale();
        CreateSchemeBrushes();
        SetSiteLatitude(48.2f);
        observerLocation.longitude = -16.4f;
        observerLocation.zoneMinutes = 60;
        SetChartSetting(chartpref::timeUpdate, 1);
        SetChartSetting(chartpref::objDrilldown, 1);
        SetChartSetting(chartpref::objectNames, 1);
        SetObservingDateTime(2024, 5, 10, 22, 30, 0);
        // The whole-sky, visible-sky and equatorial modes draw through the sky views, as the
        // program installs them.
        chartSkyModes.draw = &DrawChartSkyView;
        chartSkyModes.drag = &DragChartSkyView;
        chartSkyModes.tap = &TapChartSkyView;
        OpenCatalogDatabases(1);
        AllocBrightStarsList();
        AllocChartBuffers();
        LoadStarTable(0);
        AllocSelectionList();
        std::mt19937 random(5);
        std::uniform_real_distribution<float> ra(0.0f, 24.0f), dec(-40.0f, 89.0f);
        std::uniform_int_distribution<int> type(1, 20);
        const int n = std::min(kListSize, selectionList.capacity);
        for (int i = 0; i < n; ++i) {
            SelectionRecord& r = selectionList.records[i];
            std::snprintf(r.label, sizeof r.label, "NGC %d", 100 + i);
            r.objectNumber = 100 + i;
            r.catalogCode = 42;
            r.typeCode = static_cast<std::int16_t>(type(random));
            r.rightAscension = ra(random);
            r.declination = dec(random);
            r.magnitude10 = 90;
            r.sizeA = 8;
            r.sizeB = 4;
            selectionList.index[i] = i;
            selectionListPtr[i] = &r;
        }
        selectionList.recordCount = selectionList.indexCount = n;
        int width = 0, height = 0;
        GetScreenSize(&width, &height);
        chartState.offscreen = CreateOffscreenDIB(width, height, 16);
        screen = CreateOffscreenDIB(width, height, 16);
        chartSelectionIndex = 0;
        ready = chartState.offscreen && screen;
    }
};

ChartBench& Bench() {
    static ChartBench bench;
    return bench;
}

bool Usable(benchmark::State& state) {
    if (Bench().ready) return true;
    state.SkipWithError("the default catalogs are not built (make data)");
    return false;
}

void UseMode(int mode, int zoom) {
    SetChartSetting(chartpref::chartType, mode);
    chartZoom = SetChartZoom(zoom);
    chartState.horizonZoom = chartState.otherZoom = zoom;
    SetDrawWindow(Bench().screen);
    DrawChart();   // the projection is made once; the redraws below repaint
}

void BM_DrawChart(benchmark::State& state) {
    if (!Usable(state)) return;
    const int mode = static_cast<int>(state.range(0));
    const int zoom = static_cast<int>(state.range(1));
    const int drilldown = static_cast<int>(state.range(2));
    SetChartSetting(chartpref::objDrilldown, drilldown);
    UseMode(mode, zoom);
    for (auto _ : state) DrawChart();
    SetChartSetting(chartpref::objDrilldown, 1);
    const bool fast = mode == kChartModeSkyMap && zoom == 2;
    state.SetLabel(std::string(mode == kChartModeSkyMap ? "sky map" : "horizon view") +
                   (drilldown ? "" : ", without the deep-sky layer") + ", target " + (fast ? "2 ms" : "5 ms"));
}

// The faint-star levels: a full redraw with "Tycho 390K" or "Hipparcos 110K" chosen, for
// every chart type and zoom. The cost follows the stars in view, not the records touched.
void BM_DrawChartStarLevel(benchmark::State& state) {
    if (!Usable(state)) return;
    const int level = static_cast<int>(state.range(0));
    const int mode = static_cast<int>(state.range(1));
    const int zoom = static_cast<int>(state.range(2));
    const int saved = ChartSetting(chartpref::cardCatalog);
    SetChartSetting(chartpref::cardCatalog, level);
    UseMode(mode, zoom);
    if (starCatalogLevel != level) {
        SetChartSetting(chartpref::cardCatalog, saved);
        state.SkipWithError("that star level is not built (make data)");
        return;
    }
    for (auto _ : state) DrawChart();
    SetChartSetting(chartpref::cardCatalog, saved);
    static const char* const kModes[] = {"sky map", "horizon view", "whole sky", "visible sky", "equatorial sky"};
    const bool tycho = level == kStarLevelTycho390k;
    state.SetLabel(std::string(tycho ? "Tycho 390K, " : "Hipparcos 110K, ") + kModes[mode] + ", zoom " +
                   std::to_string(zoom) + ", target " + (tycho ? "4 ms" : "2 ms"));
}

// The first redraw after the level's file opens: the layer then reads every zone once to
// keep its entries brightest first, and works out the unit vector of each star it draws in a
// sky view. Paid once per opening; the redraws above are what a scroll or a new minute costs.
void BM_DrawChartStarLevelOpening(benchmark::State& state) {
    if (!Usable(state)) return;
    const int level = static_cast<int>(state.range(0));
    const int saved = ChartSetting(chartpref::cardCatalog);
    SetChartSetting(chartpref::cardCatalog, level);
    UseMode(kChartModeWholeSky, 5);
    if (starCatalogLevel != level) {
        SetChartSetting(chartpref::cardCatalog, saved);
        state.SkipWithError("that star level is not built (make data)");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        ResetStarCatalogLevel();
        chartZoom = SetChartZoom(5);
        state.ResumeTiming();
        DrawChart();
    }
    SetChartSetting(chartpref::cardCatalog, saved);
    state.SetLabel(std::string(level == kStarLevelTycho390k ? "Tycho 390K" : "Hipparcos 110K") +
                   ", whole sky, zoom 5, once per opening of the file");
}

void StarLevelArguments(benchmark::internal::Benchmark* b) {
    for (int level : {kStarLevelHip110k, kStarLevelTycho390k})
        for (int mode = kChartModeSkyMap; mode <= kChartModeEquatorialSky; ++mode)
            for (int zoom = 0; zoom < kZoomLevels; ++zoom) b->Args({level, mode, zoom});
}

void BM_ShiftChart(benchmark::State& state) {
    if (!Usable(state)) return;
    UseMode(kChartModeSkyMap, 5);
    int dx = 0;
    for (auto _ : state) {
        dx = (dx + 4) % 80;
        benchmark::DoNotOptimize(ShiftChart(chartState.offscreen, dx, dx / 2));
    }
    state.SetLabel("one step, target 2 ms");
}

// Full buffers: 1999 faint stars and 899 objects far from the tap, so that every search
// runs to its end.
void FillBuffers() {
    for (int k = 0; k < 1999; ++k) {
        le::PutI32(starBuffer, k * 8, k);
        le::PutI16(starBuffer, k * 8 + 4, static_cast<std::int16_t>(1000 + k % 50));
        le::PutI16(starBuffer, k * 8 + 6, 5);
    }
    le::PutI32(starBuffer, 1999 * 8, kStarBufferEmpty);
    for (int k = 0; k < 899; ++k) {
        std::uint8_t* e = objectBuffer + k * 24;
        std::memset(e, 0, 24);
        le::PutI16(e, 2, 42);
        le::PutI16(e, 20, static_cast<std::int16_t>(1000 + k % 50));
        le::PutI16(e, 22, 5);
    }
    le::PutI16(objectBuffer, 899 * 24, kObjectBufferEnd);
}

void BM_FindNearestChartObject(benchmark::State& state) {
    if (!Usable(state)) return;
    UseMode(kChartModeSkyMap, 9);
    FillBuffers();
    for (auto _ : state) benchmark::DoNotOptimize(FindNearestChartObject(3, 3, 14));
    state.SetLabel("target 100 us");
}

void BM_IdentifyChartTap(benchmark::State& state) {
    if (!Usable(state)) return;
    UseMode(kChartModeSkyMap, 9);
    FillBuffers();
    SetChartSetting(chartpref::tapAction, 1);
    SetDrawWindow(Bench().screen);
    const int y = chartState.chartRect.y + 40;
    for (auto _ : state) {
        penTapArmed = 1;
        benchmark::DoNotOptimize(IdentifyChartTap(60, y));
    }
    state.SetLabel("with the cursor redraw, target 1 ms");
}

}  // namespace

BENCHMARK(BM_DrawChart)
    ->Args({kChartModeSkyMap, 2, 1})
    ->Args({kChartModeSkyMap, 5, 1})
    ->Args({kChartModeSkyMap, 9, 1})
    ->Args({kChartModeHorizon, 2, 1})
    ->Args({kChartModeSkyMap, 2, 0})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawChartStarLevel)->Apply(StarLevelArguments)->MinTime(0.05)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawChartStarLevelOpening)->Arg(kStarLevelHip110k)->Arg(kStarLevelTycho390k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShiftChart)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindNearestChartObject)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdentifyChartTap)->Unit(benchmark::kMicrosecond);
