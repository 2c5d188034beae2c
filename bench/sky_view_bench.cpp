// The sky views at scale 2: the chart's "Whole Sky" mode at zoom 2 and 7, in full detail
// and as the quick drawing of a scroll, a 240 x 160 embedded view, and the finder chart on
// a kept and on a new minute. With the default catalogs when they are built beside the
// program (data/), otherwise with a star file of 1646 scattered stars, which the label
// says.
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
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/sky_matrix.h"
#include "chart/sky_view.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/gfx_context.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"

#include "chart_bench_setup.h"

namespace {

bool defaultCatalogs = false;

// Once per run: the site and instant, the star table, a selection list of 200 objects, and
// a 480 x 640 window as the draw target.
void Setup() {
    static bool done = false;
    if (done) return;
    done = true;
    SetBenchSiteAndTime();

    // An earlier benchmark of the run may have left the install root on its own temporary
    // star file: only a folder the data builder made (it writes SOURCES) holds the catalogs.
    const std::filesystem::path data = platform::InstallRoot() / "data";
    defaultCatalogs = std::filesystem::exists(data / kDefaultStarsFile) && std::filesystem::exists(data / "SOURCES");
    std::mt19937 random(7);
    std::uniform_real_distribution<float> ra(0.0f, 24.0f), dec(-89.0f, 89.0f);
    if (!defaultCatalogs) {
        std::uniform_int_distribution<int> magnitude(0, 6 * 16);
        WriteScatteredStarFile(MakeBenchInstallRoot("vk-sky-view-bench"), random,
                               [&](int) { return static_cast<std::int16_t>(magnitude(random)); });
    }
    OpenCatalogDatabases(1);
    AllocBrightStarsList();
    AllocChartBuffers();
    LoadStarTable(0);
    AllocSelectionList();
    const int count = std::min(200, selectionList.capacity);
    for (int i = 0; i < count; ++i) {
        SelectionRecord& r = selectionList.records[i];
        r.objectNumber = i;
        r.catalogCode = 42;
        r.typeCode = 16;
        r.rightAscension = ra(random);
        r.declination = dec(random);
        r.magnitude10 = 80;
        std::snprintf(r.label, sizeof r.label, "NGC %d", i);
        selectionList.index[i] = i;
    }
    selectionList.recordCount = selectionList.indexCount = count;

    platform::ResetWindows();
    platform::SetScreenGeometry(2, 0, 0);
    InitScreenScale();
    CreateSchemeBrushes();
    platform::WindowSpec desc;
    desc.rect = platform::Rect{0, 0, 480, 640};
    const platform::Window window = platform::CreateWindow(desc);
    SetDrawTarget(window, platform::GetWindowDc(window));

    SetChartSetting(chartpref::chartType, kChartModeWholeSky);
    UpdateSkyForDate(1, 2024, 5, 10, 22, 30, 0, 1);
    ProjectObjects(selectionList.records, selectionList.recordCount);
}

const char* Source() { return defaultCatalogs ? "default catalogs" : "1646 scattered stars"; }

// The chart's view: the whole screen below the title band, looking south at 40 degrees.
void BM_ChartSkyView(benchmark::State& state) {
    Setup();
    const int zoom = static_cast<int>(state.range(0));
    const int detail = static_cast<int>(state.range(1));
    const Bounds rect{0, 42, 480, 598};
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DrawSkyView(selectionList.records, selectionList.recordCount, rect, nullptr, zoom, 180.0f, 40.0f, detail));
    state.SetLabel(std::string(detail ? "target 3 ms" : "target 2 ms (scroll)") + ", " + Source());
}

void BM_EmbeddedSkyView(benchmark::State& state) {
    Setup();
    const Bounds rect{0, 300, 480, 320};   // 240 x 160 design pixels at scale 2
    for (auto _ : state)
        benchmark::DoNotOptimize(
            DrawSkyView(selectionList.records, selectionList.recordCount, rect, nullptr, 5, 90.0f, 30.0f, 1));
    state.SetLabel(std::string("target 1 ms, ") + Source());
}

void BM_FinderChart(benchmark::State& state) {
    Setup();
    ObjectRef m13;
    m13.catalog = 40;
    m13.number = 13;
    m13.type = 16;
    m13.ra = 16.695f;
    m13.dec = 36.46f;
    m13.magnitude = 5.8f;
    const Bounds rect{4, 480, 440, 136};
    const bool cached = state.range(0) != 0;
    int minute = 0;
    for (auto _ : state) {
        if (!cached) minute = (minute + 1) % 60;
        DrawFinderChart(m13, "M 13", rect, 7, 2024, 5, 10, 22, minute);
    }
    state.SetLabel(std::string(cached ? "kept minute, " : "new minute, ") + Source());
}

}  // namespace

BENCHMARK(BM_ChartSkyView)->Args({2, 1})->Args({7, 1})->Args({2, 0})->Args({7, 0})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EmbeddedSkyView)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FinderChart)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
