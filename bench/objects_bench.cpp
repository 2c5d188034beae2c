// The orbit computation per call and solver (a search runs it for every comet record, the
// best-dates list about a hundred times per record), the sky model per call (the Moon
// form's month tables and every search), and the visibility estimate per call (a
// visibility search makes one for each of about 14,000 deep-sky objects), the search by
// criteria, and the object pictures: the look-up the chart makes for every marked object
// of the list at each redraw (target 10 us), and a 1024 x 768 picture drawn over the whole
// screen at scale 2 (50 ms); the NightTripper's bar view redrawn whole, 20 rows at scale 2
// (30 ms), and the observer log's text export of 1000 entries (200 ms); the finder's
// look-up and a redraw of the object information form.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "catalog/record_file.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "bench_files.h"
#include "chart_bench_setup.h"
#include "program_on_screen.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "astro/rise_set.h"
#include "objects/night_bars.h"
#include "objects/object_search.h"
#include "objects/observer_log.h"
#include "objects/objects_services.h"
#include "platform/paths.h"
#include "objects/comet_position.h"
#include "objects/finder_form.h"
#include "objects/object_info_form.h"
#include "platform/headless.h"
#include "objects/object_pictures.h"
#include "objects/sky_brightness.h"
#include "objects/visibility.h"
#include "platform/gfx_context.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "tests/support/draw_target_window.h"
#include "tests/support/test_pictures.h"

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
    state.SetLabel("target 5 us");
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

// A home whose NGC folder holds 3000 pictures (a synchronised one holds thousands), and a
// 1024 x 768 picture among them; removed with the object.
struct PictureHome {
    std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("vk-picture-bench-" + std::to_string(::getpid()));
    PictureHome() {
        const std::vector<std::uint8_t> small = SolidTestJpeg(8, 8, 90, 90, 90);
        for (int i = 1; i <= 3000; ++i) WriteTestFile(root / "img" / "ngc" / ("NGC" + std::to_string(i) + ".jpg"), small);
        WriteTestFile(root / "img" / "ngc" / "Large.jpg", NoiseTestJpeg(1024, 768));
        platform::SetHomeRoot(root);
    }
    ~PictureHome() {
        platform::SetHomeRoot({});
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }
};

void FindPicture(benchmark::State& state, const char* name) {
    PictureHome home;
    int found = 0;
    for (auto _ : state) found = FindObjectPicture(name, 0, 42);
    state.SetLabel(std::string(found ? "present" : "missing") + ", target 10 us");
}
void BM_FindObjectPicturePresent(benchmark::State& s) { FindPicture(s, "NGC1234"); }
void BM_FindObjectPictureMissing(benchmark::State& s) { FindPicture(s, "NGC7000"); }
BENCHMARK(BM_FindObjectPicturePresent)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindObjectPictureMissing)->Unit(benchmark::kMicrosecond);

// A full-screen window at scale 2 as the draw target, for as long as it lives.
struct ScreenAtScale2 {
    platform::Window window;
    platform::Dc dc;
    ScreenAtScale2() {
        platform::ResetWindows();
        platform::SetScreenGeometry(2, 0, 0);
        platform::WindowSpec desc;
        desc.rect = platform::Rect{0, 0, platform::ScreenWidth(), platform::ScreenHeight()};
        window = platform::CreateWindow(desc);
        dc = platform::GetWindowDc(window);
        InitScreenScale();
        CreateSchemeBrushes();
        SetDrawTarget(window, dc);
    }
    ~ScreenAtScale2() {
        CloseDrawTargetWindow(window, dc);
        DeleteSchemeBrushes();
        platform::ResetWindows();
    }
};

void BM_DrawCurrentPictureFullScreen(benchmark::State& state) {
    PictureHome home;
    ScreenAtScale2 screen;
    pictureState.folderKind = 0;
    pictureState.catalogCode = 42;
    std::snprintf(pictureState.fileName, sizeof pictureState.fileName, "Large.jpg");
    for (auto _ : state) DrawCurrentPicture(0, 0, platform::ScreenWidth(), platform::ScreenHeight(), 1);
    state.SetLabel("1024 x 768 JPEG at scale 2, target 50 ms");
}
BENCHMARK(BM_DrawCurrentPictureFullScreen)->Unit(benchmark::kMillisecond);

}  // namespace

// ---- The search by criteria ----------------------------------------------------------------
// Over the built catalogs when `make data` has run (the deep-sky pass walks about 30,000
// records), else over a synthetic object file of 30,000 records; each says which. The list
// is made large enough for every match, so that the whole catalog is walked.

namespace search_bench {

std::filesystem::path FindBuiltData() {
    for (const std::filesystem::path& p : {platform::InstallRoot() / "data", std::filesystem::path("build/data")})
        if (std::filesystem::exists(p / kDefaultStarsFile) && std::filesystem::exists(p / kObjects1kFile))
            return p.parent_path();
    return {};
}

struct SearchBench {
    bool built = false;
    std::vector<SelectionRecord> records;
    std::vector<std::int32_t> index;
    std::vector<SelectionRecord*> pointers;
    std::filesystem::path root;  // the install root the catalogs were opened from

    SearchBench() {
        // The root the run had comes back once the catalogs are open: a later benchmark
        // would take the synthetic files for the built catalogs.
        const InstallRootInPlace kept(platform::InstallRoot());
        SetBenchSiteAndTime();
        const std::filesystem::path data = FindBuiltData();
        built = !data.empty();
        if (built) {
            root = data;
            platform::SetInstallRoot(data);
        } else {
            root = MakeBenchInstallRoot("vk-search-bench");
            std::mt19937 random(5);
            WriteScatteredStarFile(root, random, [](int i) { return static_cast<std::int16_t>(i % 100); });
            std::uniform_real_distribution<float> ra(0.0f, 24.0f), dec(-89.0f, 89.0f), mag(4.0f, 16.0f);
            RecordFileImage image;
            image.version = kObjectFileVersion;
            image.creator = kCreatorObjects;
            image.recordSize = kObjectRecordSize;
            for (int i = 0; i < 30000; ++i) {
                ObjectRecord o;
                o.catalog = 42;
                o.number = static_cast<std::uint32_t>(i + 1);
                o.type = 16 + i % 10;
                o.ra = ra(random);
                o.dec = dec(random);
                o.magnitude = mag(random);
                o.sizeA = 1.0f + static_cast<float>(i % 20);
                o.sizeB = o.sizeA * 0.6f;
                EncodeObjectRecord(o, image.Append());
            }
            WriteRecordFileImage(root / "data" / kObjects1kFile, image);
            RecordFileImage moon;
            moon.version = kMoonFileVersion;
            moon.creator = kCreatorMoon;
            moon.recordSize = kMoonFeatureRecordSize;
            WriteRecordFileImage(root / "data" / kMoonFile, moon);
        }
        AllocBrightStarsList();
        OpenCatalogDatabases(1);
        const int capacity = 70000;
        records.resize(capacity);
        index.resize(capacity);
        pointers.resize(capacity);
        for (int i = 0; i < capacity; ++i) pointers[static_cast<std::size_t>(i)] = &records[static_cast<std::size_t>(i)];
    }
    const char* Source() const { return built ? "built catalogs" : "synthetic 30,000 objects"; }
    void EmptyList() {
        for (SelectionRecord& r : records) r.objectNumber = -1;
        selectionList.indexCount = 0;
        selectionList.recordCount = 0;
    }
};

SearchBench& Bench() {
    static SearchBench bench;
    return bench;
}

// The bench's list and install root stand in for the program's while a search benchmark
// runs, and the program's come back after it: a program started by a later benchmark frees the list it
// finds as its own, which the bench's buffers are not.
class BorrowedList {
public:
    explicit BorrowedList(SearchBench& bench)
        : list_(selectionList), pointers_(selectionListPtr), install_(bench.root) {
        selectionList.records = bench.records.data();
        selectionList.index = bench.index.data();
        selectionList.capacity = static_cast<int>(bench.records.size());
        selectionList.categoryFilter = 0;
        selectionListPtr = bench.pointers.data();
    }
    ~BorrowedList() {
        selectionList = list_;
        selectionListPtr = pointers_;
    }
    BorrowedList(const BorrowedList&) = delete;
    BorrowedList& operator=(const BorrowedList&) = delete;

private:
    SelectionList list_;
    SelectionRecord** pointers_;
    InstallRootInPlace install_;
};

void Prepare(int visibilityClass) {
    InitSelectionCriteria(0, 0, 0);
    selectionCriteria.minAltitude = 1;
    selectionCriteria.visibilityClass = static_cast<std::int16_t>(visibilityClass);
}

void BM_SearchAllCategoriesAltitude(benchmark::State& state) {
    SearchBench& bench = Bench();
    const BorrowedList borrowed(bench);
    Prepare(0);
    for (auto _ : state) {
        bench.EmptyList();
        SearchAllCategories();
    }
    state.counters["found"] = selectionList.recordCount;
    state.SetLabel(std::string(bench.Source()) + ", altitude only, target 150 ms");
}
BENCHMARK(BM_SearchAllCategoriesAltitude)->Unit(benchmark::kMillisecond);

void BM_SearchAllCategoriesVisibility(benchmark::State& state) {
    SearchBench& bench = Bench();
    const BorrowedList borrowed(bench);
    Prepare(1);
    for (auto _ : state) {
        bench.EmptyList();
        SearchAllCategories();
    }
    state.counters["found"] = selectionList.recordCount;
    state.SetLabel(std::string(bench.Source()) + ", one visibility estimate per object, target 500 ms");
}
BENCHMARK(BM_SearchAllCategoriesVisibility)->Unit(benchmark::kMillisecond);

void BM_IsAboveMinAltitude(benchmark::State& state) {
    searchSinLatitude = FixedAltitudeSine(48.2);
    searchCosLatitude = FixedAltitudeSine(90.0 - 48.2);
    const std::int32_t sine = FixedAltitudeSine(15.0);
    float ra = 0.0f, dec = -80.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(IsAboveMinAltitude(7.25f, ra, dec, sine));
        ra += 0.37f;
        if (ra > 24.0f) ra -= 24.0f;
        dec += 1.3f;
        if (dec > 85.0f) dec = -85.0f;
    }
    state.SetLabel("target 50 ns");
}
BENCHMARK(BM_IsAboveMinAltitude);

void BM_RemoveMatchingRecords(benchmark::State& state) {
    SearchBench& bench = Bench();
    const BorrowedList borrowed(bench);
    // A full list of the default capacity, half of it above the horizon.
    const int capacity = GetSelectionListCapacity();
    std::mt19937 random(3);
    std::uniform_real_distribution<float> ra(0.0f, 24.0f), dec(-89.0f, 89.0f);
    std::vector<SelectionRecord> full(static_cast<std::size_t>(capacity));
    for (int i = 0; i < capacity; ++i) {
        SelectionRecord& r = full[static_cast<std::size_t>(i)];
        r = SelectionRecord{};
        r.objectNumber = i + 1;
        r.catalogCode = 42;
        r.typeCode = 16;
        r.rightAscension = ra(random);
        r.declination = dec(random);
        r.magnitude10 = 100;
    }
    Prepare(0);
    for (auto _ : state) {
        state.PauseTiming();
        std::copy(full.begin(), full.end(), bench.records.begin());
        selectionList.recordCount = selectionList.indexCount = capacity;
        state.ResumeTiming();
        benchmark::DoNotOptimize(RemoveMatchingRecords());
    }
    state.SetLabel("a full list of " + std::to_string(capacity) + ", target 50 ms");
}
BENCHMARK(BM_RemoveMatchingRecords)->Unit(benchmark::kMillisecond);

}  // namespace search_bench

// ---- The object forms ----------------------------------------------------------------------
// The finder's look-up by halving over the same object file (target 20 us), and a full
// redraw of the object information form for M31 at scale 2, the program running headless
// (target 20 ms; over the built catalogs, skipped without them): what a step key costs, with
// the rise and set, the visibility estimate and the twelve monthly rise-and-set
// computations of the best-period bar.

namespace object_forms_bench {

namespace hl = platform::headless;

void BM_FinderLookupByHalving(benchmark::State& state) {
    search_bench::SearchBench& bench = search_bench::Bench();
    std::mt19937 random(11);
    std::uniform_int_distribution<int> number(1, 7840);
    int found = 0;
    for (auto _ : state) {
        const int index = FindCatalogRecord(kCatalogNgc, number(random));
        found += index >= 0;
        benchmark::DoNotOptimize(index);
    }
    state.counters["hits"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
    state.SetLabel(std::string(bench.Source()) + ", target 20 us");
}
BENCHMARK(BM_FinderLookupByHalving)->Unit(benchmark::kMicrosecond);

void BM_ObjectInfoFullRedraw(benchmark::State& state) {
    const std::filesystem::path install = search_bench::FindBuiltData();
    if (install.empty()) {
        state.SkipWithError("needs the built catalogs (make data)");
        return;
    }
    // The program makes and frees its own observing list: the list an earlier benchmark left
    // is set aside meanwhile.
    const SelectionList savedList = selectionList;
    SelectionRecord** const savedPointers = selectionListPtr;
    selectionList = SelectionList{};
    selectionListPtr = nullptr;
    {
        ProgramOnScreen program("vk-objinfo-bench", install);
        hl::Call([] {
            ObserverLocation& site = observerLocation;
            SetLatitude(site, 48.2f);
            site.longitude = -16.4f;
            site.zoneMinutes = 60;
            noSiteFlag = 0;
            preferences.word[pref::timeUpdateMode] = 1;
            SetObservingDateTime(2024, 10, 10, 22, 0, 0);
            ClearObjectSelection();
            currentObject.listPosition = 5;  // Messier
            currentObject.number = 31;
            currentObject.changed = 1;
            GotoForm(kObjectInfoFormId);
        });
        hl::RunUntilIdle();
        if (GetCurrentFormId() != kObjectInfoFormId || !objectInfoState.present) {
            state.SkipWithError("the object information form did not come up on M31");
        } else {
            for (auto _ : state) state.SetIterationTime(program.Repaint(kObjectInfoFormId, true));
            state.SetLabel("built catalogs, target 20 ms");
        }
    }
    selectionList = savedList;
    selectionListPtr = savedPointers;
}
BENCHMARK(BM_ObjectInfoFullRedraw)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace object_forms_bench

namespace night_bench {

// One redraw of the bar view: each row's rise and set, the Sun's times of the date (once a
// redraw), the layout and the painting. The date moves on each redraw, so the Sun's times
// are computed anew every time.
void BM_NightTripperBarViewRedraw(benchmark::State& state) {
    ScreenAtScale2 screen;
    const ObserverLocation saved = observerLocation;
    observerLocation = MakeSite(48.2f, -16.4f, 60, 200);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> ra(0.0f, 24.0f), dec(-60.0f, 89.0f);
    std::vector<std::pair<float, float>> rows;
    for (int i = 0; i < 20; ++i) rows.emplace_back(ra(random), dec(random));
    const int width = 236 * 2, height = 15 * 2;
    int day = 0;
    for (auto _ : state) {
        day = day % 28 + 1;
        for (int i = 0; i < 20; ++i) {
            double rise = 0, transit = 0, set = 0;
            const ObserverLocation& site = observerLocation;
            ComputeRiseSet(2025, 3, day, site.latitude, site.longitude, site.zoneMinutes, site.height, 0, rows[i].first,
                           rows[i].second, &rise, &transit, &set);
            const NightBarLayout layout = LayoutNightBar(22.0, width, NightSunTimesFor(2025, 3, day), rise, set);
            DrawNightBarRow(layout, Bounds{4, 140 + i * height, width, height}, "NGC 7000", 0, false);
        }
    }
    state.SetLabel("20 rows at scale 2, target 30 ms");
    observerLocation = saved;
}
BENCHMARK(BM_NightTripperBarViewRedraw)->Unit(benchmark::kMillisecond);

void BM_ExportObserverLogs(benchmark::State& state) {
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("vk-bench-logs-" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    platform::SetHomeRoot(root);
    for (int i = 0; i < 1000; ++i) {
        ObserverLogEntry e;
        std::snprintf(e.name, sizeof e.name, "Object %04d", i);
        e.year = 2024, e.month = 6, e.day = 7, e.hour = 23, e.minute = 5;
        e.rightAscension = static_cast<float>(i % 24);
        e.declination = static_cast<float>(i % 90);
        std::snprintf(e.scope, sizeof e.scope, "200mm");
        std::snprintf(e.comments, sizeof e.comments, "A note of some length about what was seen, %d", i);
        SaveObserverLogEntry(e, "");
    }
    int exported = 0;
    for (auto _ : state) exported = ExportObserverLogs(false);
    state.SetLabel(std::to_string(exported) + " entries, target 200 ms");
    platform::SetHomeRoot({});
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_ExportObserverLogs)->Unit(benchmark::kMillisecond);

}  // namespace night_bench
