// The chart's drawing layers at scale 2, most of a full chart redraw: the 1646 bright
// stars at zoom 2 and 7, the deep-sky layer over a full object index at zoom 5, the
// constellation lines, the grids, and the Moon turned at zoom 12. A full redraw should stay
// under 100 ms so that a zoom or a shift feels immediate; each layer is printed against a
// share of that.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>

#include "catalog/byte_order.h"
#include "catalog/chart_buffers.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_lines.h"
#include "chart/chart_overlays.h"
#include "chart/chart_projection.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/object_layers.h"
#include "chart/star_layers.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"

#include "chart_bench_setup.h"

namespace {

struct LayerWorld {
    platform::Window window;
    platform::Dc dc;
    DrawWindow* canvas = nullptr;
};

LayerWorld& Setup() {
    static LayerWorld world;
    static bool done = false;
    if (done) return world;
    done = true;
    platform::ResetWindows();
    platform::SetScreenGeometry(2, 0, 0);
    platform::LoadResources();
    InitScreenScale();
    SetBenchSiteAndTime();

    const std::filesystem::path root = MakeBenchInstallRoot("vk-layers-bench");
    std::mt19937 random(7);
    std::uniform_real_distribution<float> ra(0.0f, 24.0f), dec(-89.0f, 89.0f);
    WriteScatteredStarFile(root, random, [](int i) { return static_cast<std::int16_t>((i % 6) << 4); });
    // An object index of 1200 zones (18000 objects) sorted by declination.
    std::vector<ObjectIndexEntry> objects(18000);
    for (std::size_t i = 0; i < objects.size(); ++i) {
        ObjectIndexEntry& e = objects[i];
        e.number = static_cast<std::uint32_t>(i + 1);
        e.catalog = 42;
        e.ra = HoursToFixedAngle(ra(random));
        e.dec = DegreesToFixedAngle(-89.0 + 178.0 * static_cast<double>(i) / objects.size());
        e.type = static_cast<std::int16_t>(i % 3 == 0 ? 16 : i % 3 == 1 ? 6 : 2);
        e.limit = static_cast<std::int16_t>(60 + i % 80);
    }
    RecordFileImage index;
    index.creator = kCreatorObjectIndex;
    index.recordSize = 15 * kObjectIndexEntrySize;
    for (std::size_t z = 0; z < objects.size() / 15; ++z) {
        std::uint8_t* r = index.Append();
        for (int k = 0; k < 15; ++k) EncodeObjectIndexEntry(objects[z * 15 + k], r + k * kObjectIndexEntrySize);
    }
    WriteRecordFileImage(root / "data" / kObjectIndexFile, index);
    OpenCatalogDatabases(1);
    OpenDb(objectIndexDb, kCreatorObjectIndex, kTypeCodeQvn1, 0, kDataFolder, kObjectIndexFile);
    AllocBrightStarsList();
    AllocChartBuffers();
    LoadStarTable(0);
    constellationLines.clear();
    for (int i = 0; i + 1 < kDefaultStarCount && constellationLines.size() < 647; i += 2)
        constellationLines.push_back(ConstellationLine{{0, i, i + 1}});

    platform::WindowSpec shape;
    shape.rect = platform::Rect{0, 0, platform::ScreenWidth(), platform::ScreenHeight()};
    world.window = platform::CreateWindow(shape);
    world.dc = platform::GetWindowDc(world.window);
    SetDrawTarget(world.window, world.dc);
    world.canvas = CreateOffscreenDIB(platform::ScreenWidth(), platform::ScreenHeight(), 16);
    SetDrawWindow(world.canvas);
    LoadToolIcons(0);
    SetChartSetting(chartpref::constLines, 1);
    return world;
}

void UseZoom(int zoom) {
    chartState.horizonZoom = chartState.otherZoom = zoom;
    UpdateCurrentTime(1);
    PrepareChartView();
    SetProjectionCenter(0);
    int selectionDone = 1, starsDone = 0, redraw = 0;
    ProjectChartTables(chartClock.siderealTime, &selectionDone, &starsDone, &redraw);
    UpdateStarPixels(0, 0, 0);
}

void BM_DrawBrightStars(benchmark::State& state) {
    Setup();
    const int zoom = static_cast<int>(state.range(0));
    UseZoom(zoom);
    for (auto _ : state) DrawBrightStars(zoom, 6, 0, chartState.width - 1, 0, chartState.height - 1);
    state.SetLabel("target under 10 ms");
}
BENCHMARK(BM_DrawBrightStars)->Arg(2)->Arg(7)->Unit(benchmark::kMicrosecond);

void BM_DrawDeepSkyObjects(benchmark::State& state) {
    Setup();
    UseZoom(5);
    const Bounds view{0, 0, chartState.width, chartState.height};
    for (auto _ : state) DrawDeepSkyObjects(nullptr, 0, view, 5, nullptr, 0);
    state.SetLabel("target under 20 ms");
}
BENCHMARK(BM_DrawDeepSkyObjects)->Unit(benchmark::kMicrosecond);

void BM_DrawConstellationLines(benchmark::State& state) {
    Setup();
    UseZoom(2);
    for (auto _ : state) DrawConstellationLines(chartClock.siderealTime, 0, 0, chartState.width - 1, 0, 5);
    state.SetLabel("target under 10 ms");
}
BENCHMARK(BM_DrawConstellationLines)->Unit(benchmark::kMicrosecond);

void BM_DrawChartGrids(benchmark::State& state) {
    Setup();
    UseZoom(2);
    for (auto _ : state)
        DrawChartGrids(chartClock.siderealTime, 0, 0, 2, platform::Rgb(0, 0, 200), platform::Rgb(200, 0, 0), 1, 15);
    state.SetLabel("target under 10 ms");
}
BENCHMARK(BM_DrawChartGrids)->Unit(benchmark::kMicrosecond);

void BM_DrawMoonAtZoom12(benchmark::State& state) {
    Setup();
    UseZoom(12);
    // The Moon's half degree at zoom 12 is about 130 pixels at scale 2: 65 cells of 2.
    for (auto _ : state) DrawRotatedImage(3993, 3994, 65, 65, 240, 320, 0.3, 25, 2, 2);
    state.SetLabel("target under 20 ms");
}
BENCHMARK(BM_DrawMoonAtZoom12)->Unit(benchmark::kMicrosecond);

}  // namespace
