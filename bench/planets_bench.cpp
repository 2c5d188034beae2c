// Costs of the planet view's Mars page and Red Spot table on a 480 x 640 screen (scale 2),
// and of one Red Spot transit computation. A held key steps the time and redraws the Mars
// page at every step; the ObjectInfo form and the Jupiter view ask for the transits often.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <random>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "chart_bench_setup.h"
#include "chart/chart_services.h"
#include "moon/angle_icons.h"
#include "moon/map_textures.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "planets/comet_lists.h"
#include "planets/jupiter_view.h"
#include "planets/orbit_state.h"
#include "planets/orbit_views.h"
#include "planets/mars_view.h"
#include "planets/moon_events.h"
#include "planets/planet_assistant.h"
#include "planets/planet_assistant_views.h"
#include "planets/planet_view_state.h"
#include "planets/red_spot.h"
#include "planets/saturn_phenomena.h"
#include "planets/saturn_view.h"
#include "planets/time_strips.h"
#include "platform/gfx_context.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"

#include "bench_files.h"
#include "tests/support/draw_target_window.h"

namespace {

namespace fs = std::filesystem;

// A generated Mars map and angle icon strip in a temporary install root and resource
// folder, and a scale-2 screen window as the draw target.
struct PlanetsBench {
    fs::path root;
    platform::Window window;
    platform::Dc dc;

    static void Write(const fs::path& path, int width, int height) {
        platform::Surface s = platform::MakeSurface(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                s.Row(y)[x] = static_cast<std::uint16_t>(((x * 7 + y * 3) % 31 + 1) << 10 | (y % 29 + 1));
        platform::SavePng(s, path);
    }

    PlanetsBench() {
        root = fs::temp_directory_path() / ("vk-planets-bench-" + std::to_string(::getpid()));
        fs::create_directories(root / "install" / "maps");
        fs::create_directories(root / "resources" / "bitmaps");
        Write(root / "install" / "maps" / "mars_map.jpg", 1024, 512);
        Write(root / "resources" / "bitmaps" / (std::to_string(kAngleIconStrip) + ".png"),
              kAngleIconWidth * kAngleIconFrames, kAngleIconHeight);
        const FilesInPlace files = Files();
        ClearPictureCache();
        FreeMapImages();
        platform::ResetWindows();
        platform::SetScreenGeometry(2, 0, 0);
        InitScreenScale();
        OpenDrawTargetWindow(platform::Rect{0, 0, 480, 640}, window, dc);
    }
    // This bench's files in place of the program's for one benchmark.
    FilesInPlace Files() const { return FilesInPlace(root / "install", root / "resources"); }
    ~PlanetsBench() {
        FreeMapImages();
        FreeFeatureBitmap();
        ClearPictureCache();
        FreeScreenBuffer();
        CloseDrawTargetWindow(window, dc);
        platform::ResetWindows();
        platform::SetInstallRoot({});
        std::error_code ec;
        fs::remove_all(root, ec);
    }
};

PlanetsBench& Bench() {
    static PlanetsBench bench;
    return bench;
}

void BM_DrawMarsView(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    const platform::Color colours[5] = {};
    int minute = 0;
    for (auto _ : state) {
        DrawMarsView(0, 24, 480, 560, 2025, 1, 16, 20 + minute / 60, minute % 60, colours, 1);
        minute = (minute + 10) % 240;  // a held key steps the time
    }
    state.SetLabel("target 16 ms");
}
BENCHMARK(BM_DrawMarsView)->Unit(benchmark::kMillisecond);

void BM_ComputeRedSpotTransits(benchmark::State& state) {
    int day = 1;
    for (auto _ : state) {
        int hours[3], minutes[3];
        ComputeRedSpotTransits(2025, 3, day, hours, minutes);
        benchmark::DoNotOptimize(hours);
        day = day % 28 + 1;
    }
    state.SetLabel("target 5 us");
}
BENCHMARK(BM_ComputeRedSpotTransits)->Unit(benchmark::kMicrosecond);

void BM_DrawRedSpotTable(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    planetView.screenWidth = 480;
    planetView.screenHeight = 640;
    planetView.year = 2025;
    planetView.month = 1;
    planetView.day = 25;
    for (auto _ : state) DrawRedSpotTable();
    state.SetLabel("target 20 ms");
}
BENCHMARK(BM_DrawRedSpotTable)->Unit(benchmark::kMillisecond);

// The events list computes the Galilean satellites about 115 times a day plus a minute
// refinement per event, with drawing off.
void BM_DrawJupiterComputeOnly(benchmark::State& state) {
    int minute = 0;
    for (auto _ : state) {
        double x[4], y[4];
        int codes[4];
        DrawJupiter(240, 0, 2025, 3, 1, minute / 60, minute % 60, x, y, codes, 0, 1, 1);
        benchmark::DoNotOptimize(codes);
        minute = (minute + 13) % 1440;
    }
    state.SetLabel("target 5 us");
}
BENCHMARK(BM_DrawJupiterComputeOnly)->Unit(benchmark::kMicrosecond);

void BM_DrawSaturnComputeOnly(benchmark::State& state) {
    const platform::Color colours[5] = {};
    int minute = 0;
    for (auto _ : state) {
        double x[5], y[5];
        int codes[5];
        DrawSaturn(2025, 3, 1, minute / 60, minute % 60, 0, 0, 240, 100, x, y, codes, kSaturnCompute, colours, 1, 1);
        benchmark::DoNotOptimize(codes);
        minute = (minute + 13) % 1440;
    }
    state.SetLabel("target 5 us");
}
BENCHMARK(BM_DrawSaturnComputeOnly)->Unit(benchmark::kMicrosecond);

void BM_PrepareSaturnTables(benchmark::State& state) {
    double jd = 2460700.5;
    for (auto _ : state) {
        PrepareSaturnTables(jd, 1.1 / 7, 6);
        jd += 1.0;
    }
    FreeSaturnTables();
    state.SetLabel("target 200 us");
}
BENCHMARK(BM_PrepareSaturnTables)->Unit(benchmark::kMicrosecond);

void BM_GetSaturnPhenomena(benchmark::State& state) {
    PrepareSaturnTables(2460700.5, 1.1 / 7, 6);
    double jd = 2460700.5;
    for (auto _ : state) {
        int codes[5];
        GetSaturnPhenomena(jd, codes);
        benchmark::DoNotOptimize(codes);
        jd += 1.0 / 1440;
        if (jd > 2460701.4) jd = 2460700.5;
    }
    FreeSaturnTables();
    state.SetLabel("target 2 us");
}
BENCHMARK(BM_GetSaturnPhenomena)->Unit(benchmark::kMicrosecond);

// A full Jupiter satellite strip at span "1" (one computation per two-pixel row) and the
// cursor view, as a refresh of the strip draws them.
void BM_DrawJupiterStrip(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    planetView.screenWidth = 480;
    planetView.screenHeight = 640;
    planetView.mode = kJupiterMode;
    planetView.subView = 0;
    planetView.span = 0;
    planetView.year = 2025, planetView.month = 1, planetView.day = 16, planetView.hour = 21, planetView.minute = 0;
    for (auto _ : state) {
        planetView.fullRedraw = 1;
        DrawTimeStrip();
    }
    ForgetStripCursor();
    state.SetLabel("target 50 ms");
}
BENCHMARK(BM_DrawJupiterStrip)->Unit(benchmark::kMillisecond);

// One day of moon events: the scan and the minute refinement (a new date each time).
void MoonEventsDay(benchmark::State& state, int mode, int month) {
    int day = 1;
    for (auto _ : state) {
        planetView.eventYear = -1;
        ComputeMoonEvents(mode, 2025, month, day);
        day = day % 28 + 1;
    }
    state.SetLabel("target 30 ms");
}
void BM_JupiterMoonEventsDay(benchmark::State& state) { MoonEventsDay(state, kJupiterMode, 1); }
void BM_SaturnMoonEventsDay(benchmark::State& state) { MoonEventsDay(state, kSaturnMode, 8); }
BENCHMARK(BM_JupiterMoonEventsDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaturnMoonEventsDay)->Unit(benchmark::kMillisecond);

// The PlanetAssistant's yearly Charts (383 days of five planets) and its ecliptic strip.
void PlanetAssistantAt2025() {
    const FilesInPlace files = Bench().Files();
    planetFormState.width = 480;
    planetFormState.height = 640;
    planetFormState.year = 2025, planetFormState.month = 1, planetFormState.day = 16;
    planetFormState.hour = 21, planetFormState.minute = 0;
}
void BM_DrawPlanetCharts(benchmark::State& state) {
    PlanetAssistantAt2025();
    int quantity = 0;
    for (auto _ : state) {
        DrawPlanetCharts(2025, 1, quantity);
        quantity = (quantity + 1) % 5;
    }
    state.SetLabel("target 100 ms");
}
BENCHMARK(BM_DrawPlanetCharts)->Unit(benchmark::kMillisecond);

// The ecliptic strip draws the default stars and the constellation lines of its band, the
// symbols and the Moon's picture: a full star table and line set, stand-in strips of the
// scale-2 sizes.
void PrepareEclipticStrip() {
    const fs::path data = Bench().root / "install" / "data";
    fs::create_directories(data);
    const fs::path bitmaps = Bench().root / "resources" / "bitmaps";
    PlanetsBench::Write(bitmaps / "4111.png", 13 * 29, 29);
    PlanetsBench::Write(bitmaps / "4104.png", 13 * 13, 7 * 13);
    PlanetsBench::Write(bitmaps / "4105.png", 13 * 13, 7 * 13);
    for (int id = 6050; id <= 6063; ++id) PlanetsBench::Write(bitmaps / (std::to_string(id) + ".png"), 16, 16);
    ClearPictureCache();
    FreeSymbolStrips();
    FreeSavedBitmap();
    std::mt19937 random(11);
    std::uniform_int_distribution<int> magnitude(0, 6 * 16);
    WriteScatteredStarFile(Bench().root / "install", random, [&](int) {
        return static_cast<std::int16_t>(magnitude(random));
    });
    RecordFileImage lines;
    lines.creator = kCreatorConstellationLines;
    lines.recordSize = kConstellationLineRecordSize;
    std::uniform_int_distribution<int> star(0, kDefaultStarCount - 1);
    for (int i = 0; i < kClassicLineCount; ++i) {
        ConstellationLineRecord line{};
        line.value[1] = static_cast<std::int16_t>(star(random));
        line.value[2] = static_cast<std::int16_t>(star(random));
        EncodeConstellationLineRecord(line, lines.Append());
    }
    WriteRecordFileImage(data / kConstellationFile, lines);
    CloseCatalogDatabases();
    ResetStarTables();
    if (!brightStarsList) AllocBrightStarsList();
    OpenCatalogDatabases(1);
    LoadStarTable(0);
    planetFormState.eclipticStarsLoaded = false;
}

void BM_DrawEclipticView(benchmark::State& state) {
    PlanetAssistantAt2025();
    PrepareEclipticStrip();
    for (auto _ : state) DrawEclipticView();
    state.counters["stars"] = GetStarTableCount();
    state.counters["lines"] = static_cast<double>(constellationLines.size());
    state.SetLabel("target 30 ms");
}
BENCHMARK(BM_DrawEclipticView)->Unit(benchmark::kMillisecond);
// 1000 comets and asteroids with perihelia spread over 2024 and 2025, as the database
// after a Sync of the Center's files; the form's date is the first of January 2024.
void OpenBenchComets() {
    static bool written = false;
    if (!written) {
        RecordFileImage image;
        image.creator = kCreatorComets;
        image.recordSize = kCometRecordSize;
        for (int i = 0; i < 1000; ++i) {
            CometRecord r;
            r.kind = i % 3 == 0 ? 18 : 13;
            std::snprintf(r.name, sizeof r.name, "C/2024 B%d", i);
            r.year = static_cast<std::int16_t>(2024 + i % 2);
            r.month = static_cast<std::int16_t>(1 + i % 12);
            r.perihelionDay = static_cast<float>(1 + i % 28) + 0.25f;
            r.perihelionDistance = 0.5f + static_cast<float>(i % 40) * 0.1f;
            r.eccentricity = i % 3 == 0 ? 0.1f + static_cast<float>(i % 7) * 0.05f : 0.6f + static_cast<float>(i % 9) * 0.05f;
            r.argPerihelion = static_cast<float>((i * 37) % 360);
            r.ascendingNode = static_cast<float>((i * 53) % 360);
            r.inclination = static_cast<float>((i * 11) % 180);
            r.epochJd = 2460400.5f;
            r.magnitude1 = 8.0f;
            r.magnitude2 = r.kind == 18 ? 0.15f : 10.0f;
            EncodeCometRecord(r, image.Append());
        }
        WriteRecordFileImage(Bench().root / "install" / "data" / kCometFile, image);
        written = true;
    }
    OpenDb(cometDb, kCreatorComets, kTypeCodeQvn1, 0, kDataFolder, kCometFile);
    orbitForm.year = 2024, orbitForm.month = 1, orbitForm.day = 1, orbitForm.hour = 21, orbitForm.minute = 0;
}

void BM_BuildBrightestList(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    OpenBenchComets();
    std::size_t rows = 0;
    for (auto _ : state) rows = ComputeBrightestEntries(2024, 1, 1, 21, 0).size();
    state.counters["rows"] = static_cast<double>(rows);
    state.SetLabel("1000 records, target 20 ms");
}
BENCHMARK(BM_BuildBrightestList)->Unit(benchmark::kMillisecond);

void BM_BuildBestDatesList(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    OpenBenchComets();
    std::size_t rows = 0;
    for (auto _ : state) rows = ComputeBestDatesEntries(2024, 1, 1, 21, 0).size();
    state.counters["rows"] = static_cast<double>(rows);
    state.SetLabel("1000 records, target 500 ms");
}
BENCHMARK(BM_BuildBestDatesList)->Unit(benchmark::kMillisecond);

// A frame of a drag on the 3D view at scale 2: the bodies rebuilt and painted through the
// form's offscreen, the angles turning as the pen moves.
void BM_DrawOrbit3DFrame(benchmark::State& state) {
    const FilesInPlace files = Bench().Files();
    OpenBenchComets();
    orbitForm.currentComet = 1;
    DrawWindow* offscreen = CreateOffscreenDIB(480, 640, 16);
    const Bounds rect{0, 92, 480, 640 - 136};
    int turn = 0;
    for (auto _ : state) {
        DrawOrbit3D(5);
        DrawOrbitView(offscreen, rect, orbit3DObjects.data(), static_cast<int>(orbit3DObjects.size()), turn % 360, 0,
                      (turn * 3) % 360, 5);
        turn += 2;
    }
    DeleteOffscreen(offscreen);
    state.SetLabel("target 16 ms");
}
BENCHMARK(BM_DrawOrbit3DFrame)->Unit(benchmark::kMillisecond);

}  // namespace
