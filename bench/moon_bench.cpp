// Costs of the globe drawing per frame, on a 480 x 640 screen (scale 2). They run at every
// step of a drag on the 3D view and of a held key on the Mars view: the textured globe at
// radius 60 and 150 with a 1024 x 512 map (texel walk and hole filling), a ringed planet,
// the Earth from two 460-pixel halves, and the wire-frame globe. Then the Moon forms: the
// large shaded Moon picture (rendered again at each hour step of a held key), the
// terminator search over 500 features, and one month table of the MoonAssistant.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"
#include "core/settings.h"
#include "moon/lunar_ephemeris.h"
#include "moon/moon_assistant.h"
#include "moon/moon_image.h"
#include "moon/globe_drawing.h"
#include "moon/globe_overlay.h"
#include "moon/map_textures.h"
#include "platform/gfx_context.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

#include "bench_files.h"
#include "tests/support/draw_target_window.h"

namespace {

namespace fs = std::filesystem;

// Generated pictures in a temporary install root and resource folder, and a screen window
// of scale 2 as the draw target; all undone at the end of the run.
struct GlobeBench {
    fs::path root;
    platform::Window window;
    platform::Dc dc;

    static void Write(const fs::path& path, int width, int height, int seed) {
        platform::Surface s = platform::MakeSurface(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                s.Row(y)[x] = static_cast<std::uint16_t>(((x * 7 + y * 3 + seed) % 31 + 1) << 10 |
                                                         ((x / 8 + y / 5) % 31 + 1) << 5 | (y % 29 + 1));
        platform::SavePng(s, path);
    }

    // 500 features spread over the disc, each twice as the program's file holds them.
    static void WriteMoonFeatures(const fs::path& folder) {
        fs::create_directories(folder);
        RecordFileImage image;
        image.version = kMoonFileVersion;
        image.creator = kCreatorMoon;
        image.recordSize = kMoonFeatureRecordSize;
        for (int copy = 0; copy < 2; ++copy)
            for (int i = 0; i < 500; ++i) {
                MoonFeatureRecord r;
                r.kind = 2;
                r.column = static_cast<std::int16_t>(copy ? i * 960 / 500 : (i * 397) % 960);
                r.latitude = static_cast<float>((i * 37) % 160 - 80);
                r.longitude = static_cast<float>((i * 53) % 180 - 90);
                r.diameter = static_cast<float>(5 + i % 200);
                std::snprintf(r.name, sizeof r.name, "F%d", i);
                EncodeMoonFeatureRecord(r, image.Append());
            }
        WriteRecordFileImage(folder / kMoonFile, image);
    }

    GlobeBench() {
        root = fs::temp_directory_path() / ("vk-moon-bench-" + std::to_string(::getpid()));
        fs::create_directories(root / "install" / "maps");
        fs::create_directories(root / "resources" / "bitmaps");
        Write(root / "install" / "maps" / "mars_map.jpg", 1024, 512, 0);
        Write(root / "install" / "maps" / "saturn_map.jpg", 1024, 512, 5);
        Write(root / "install" / "maps" / "saturn_ring_map.jpg", 600, 600, 9);
        Write(root / "resources" / "bitmaps" / (std::to_string(kEarthMapHalves) + ".png"), 460, 460, 1);
        Write(root / "resources" / "bitmaps" / (std::to_string(kEarthMapHalves + 1) + ".png"), 460, 460, 2);
        for (int i = 0; i < 9; ++i)
            Write(root / "resources" / "bitmaps" / (std::to_string(kMoonFirstTile + i) + ".png"), 320, 320, i);
        WriteMoonFeatures(root / "install" / "data");
        const FilesInPlace files = Files();
        ClearPictureCache();
        FreeMapImages();
        ForgetFailedMapImages();
        platform::ResetWindows();
        platform::SetScreenGeometry(2, 0, 0);
        InitScreenScale();
        OpenDrawTargetWindow(platform::Rect{0, 0, 480, 640}, window, dc);
        OpenDb(moonDb, kCreatorMoon, kTypeCodeQvn1, 0, kDataFolder, kMoonFile);
    }
    // This bench's files in place of the program's for one benchmark.
    FilesInPlace Files() const { return FilesInPlace(root / "install", root / "resources"); }
    ~GlobeBench() {
        FreeMoonImage();
        CloseCatalogDatabases();
        FreeMapImages();
        ClearPictureCache();
        CloseDrawTargetWindow(window, dc);
        platform::ResetWindows();
        platform::SetInstallRoot({});
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

GlobeBench& Bench() {
    static GlobeBench bench;
    return bench;
}

void BM_DrawPlanetTexture(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    const double radius = static_cast<double>(state.range(0));
    double a = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DrawPlanetTexture(8, 240, 320, a, 12.0, 20.0, radius, 1.0));
        a += 3.0;  // a drag turns the globe a little at each step
    }
    state.SetLabel(state.range(0) == 60 ? "target 2 ms" : "target 8 ms");
}
BENCHMARK(BM_DrawPlanetTexture)->Arg(60)->Arg(150)->Unit(benchmark::kMillisecond);

void BM_DrawPlanetSphereWithRing(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    double a = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(DrawPlanetSphere(16, 31, 240, 320, a, -6.0, 25.0, 50.0, 0.9));
        a += 3.0;
    }
    state.SetLabel("target 10 ms");
}
BENCHMARK(BM_DrawPlanetSphereWithRing)->Unit(benchmark::kMillisecond);

void BM_DrawMapOnSphere(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    double a = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            DrawMapOnSphere(kEarthMapHalves, 240, 320, 1, a, 0.0, 30.0, 0.0, -1, platform::Rgb(0, 0, 80)));
        a += 3.0;
    }
    state.SetLabel("target 8 ms");
}
BENCHMARK(BM_DrawMapOnSphere)->Unit(benchmark::kMillisecond);

void BM_DrawGlobeOverlay(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    double a = 0.0;
    for (auto _ : state) {
        DrawGlobeOverlay(0, 100, 480, 480, a, 15.0, 20.0, 2.0, 1);
        a += 3.0;
    }
    state.SetLabel("target 2 ms");
}
BENCHMARK(BM_DrawGlobeOverlay)->Unit(benchmark::kMillisecond);

void BM_RenderMoonImage(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    int hour = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RenderMoonImage(2, 2024, 3, 18, hour, 0, 0, 0));
        hour = (hour + 1) % 24;  // a held key steps the hour
    }
    FreeMoonImage();
    state.SetLabel("960 x 960, target 20 ms");
}
BENCHMARK(BM_RenderMoonImage)->Unit(benchmark::kMillisecond);

void BM_ListTerminatorFeatures(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    std::int32_t list[500];
    double jd = 2460388.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ListTerminatorFeatures(jd, list, 500, 0, 5));
        jd += 0.1;
    }
    state.SetLabel("500 features, target 5 ms");
}
BENCHMARK(BM_ListTerminatorFeatures)->Unit(benchmark::kMillisecond);

void BM_MoonMonthTable(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    for (auto _ : state) benchmark::DoNotOptimize(ComputeMoonMonthTable(static_cast<int>(state.range(0)), 2024, 3));
    state.SetLabel("31 days, target 50 ms");
}
BENCHMARK(BM_MoonMonthTable)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
