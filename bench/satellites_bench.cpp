// Costs of reading a satellite's elements, of the two propagators, of what the observer
// sees, of the pass finder and of the flare and transit refinement. The pass finder and
// the flare search convert once per satellite and propagate thousands of times per search;
// the satellite form converts on every position it shows, and the Next search runs the pass
// finder for every satellite of the database.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/composition.h"
#include "app/main_window.h"
#include "program_on_screen.h"
#include "catalog/databases.h"
#include "catalog/element_lines.h"
#include "catalog/record_file.h"
#include "core/settings.h"
#include "platform/headless.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/resources.h"
#include "satellites/pass_finder.h"
#include "satellites/satellite_events.h"
#include "satellites/satellite_geometry.h"
#include "satellites/sgp.h"
#include "satellites/sgp4.h"
#include "satellites/satellite_data_page.h"
#include "satellites/satellite_searches.h"
#include "satellites/satellite_views.h"
#include "satellites/satellites_assistant.h"
#include "satellites/two_line_elements.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"

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

// The ISS of 2008-09-20 seen from London.
SatelliteRecord IssRecord() {
    SatelliteRecord record;
    std::strcpy(record.line1, "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927");
    std::strcpy(record.line2, "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537");
    return record;
}

constexpr double kIssStart = 2454730.5;  // 2008-09-21 0h UT

TleElements PlaceIssAtLondon() {
    observerLocation.latitude = 51.5074f;
    observerLocation.longitude = 0.1278f;
    observerLocation.height = 35;
    observerLocation.zoneMinutes = 0;
    TleElements elements;
    ConvertTleElements(IssRecord(), &elements);
    return elements;
}

void BM_ComputeSatellitePosition(benchmark::State& state) {
    TleElements elements = PlaceIssAtLondon();
    currentSatelliteRecord = IssRecord();
    int minute = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeSatellitePosition(2008, 9, 22, 3, minute, 0, &elements));
        minute = (minute + 7) % 60;
    }
    state.SetLabel("target under 5000 ns (conversion included)");
}
BENCHMARK(BM_ComputeSatellitePosition);

void BM_ComputeSatelliteLookAngles(benchmark::State& state) {
    TleElements elements = PlaceIssAtLondon();
    double jd = kIssStart;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeSatelliteLookAngles(jd, &elements));
        jd += 0.00073;
        if (jd > kIssStart + 2.0) jd = kIssStart;
    }
    state.SetLabel("target under 1000 ns");
}
BENCHMARK(BM_ComputeSatelliteLookAngles);

// Every pass of one day, as the pass view lists them.
void BM_FindSatellitePasses24h(benchmark::State& state) {
    TleElements elements = PlaceIssAtLondon();
    const double latitude = DegToRad(observerLocation.latitude);
    std::uint32_t evaluations = 0;
    int passes = 0;
    for (auto _ : state) {
        evaluations = 0;
        passes = 0;
        double t = kIssStart, aos = 0.0, los = 0.0;
        while (FindSatellitePasses(t, kIssStart + 1.0, &aos, &los, &elements, &latitude, 0, 0) == PassOutcome::Found) {
            evaluations += satelliteSearchContext.evaluations;
            ++passes;
            t = los + 1.0 / 1440.0;
        }
        evaluations += satelliteSearchContext.evaluations;
    }
    state.counters["evaluations"] = evaluations;
    state.counters["passes"] = passes;
    state.SetLabel("target under 2 ms (a few hundred evaluations)");
}
BENCHMARK(BM_FindSatellitePasses24h)->Unit(benchmark::kMillisecond);

// A candidate 4 minutes before the ISS's closest approach to the Moon seen from Sydney.
void RunRefinement(benchmark::State& state, int flareMode) {
    TleElements elements;
    ConvertTleElements(IssRecord(), &elements);
    observerLocation.latitude = -33.8688f;
    observerLocation.longitude = -151.2093f;
    observerLocation.height = 58;
    observerLocation.zoneMinutes = 0;
    SatelliteEventContext context;
    context.flareMode = flareMode;
    double time = 0.0, angle = 0.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RefineSatelliteEvent(context, 2454732.00219411 - 4.0 / 1440.0, &elements, &time, &angle));
    }
    state.counters["evaluations"] = context.evaluations;
    state.SetLabel("target under 5 ms");
}

void BM_RefineSatelliteEvent_Transit(benchmark::State& state) { RunRefinement(state, 0); }
BENCHMARK(BM_RefineSatelliteEvent_Transit)->Unit(benchmark::kMillisecond);

void BM_RefineSatelliteEvent_Flare(benchmark::State& state) { RunRefinement(state, 1); }
BENCHMARK(BM_RefineSatelliteEvent_Flare)->Unit(benchmark::kMillisecond);

// ---- The satellite form's searches and Sky View -------------------------------------------

// A satellite database of `sets` in a temporary install folder, open as the form opens it,
// and the form's state at 2008-09-21 0h in London (no form on screen: nothing is drawn).
class FormDatabase {
public:
    explicit FormDatabase(const std::vector<SatelliteRecord>& sets) {
        root_ = std::filesystem::temp_directory_path() / ("vk-bench-satellites-" + std::to_string(::getpid()));
        std::filesystem::remove_all(root_);
        std::filesystem::create_directories(root_ / "install" / "data");
        platform::SetInstallRoot(root_ / "install");
        platform::SetHomeRoot(root_ / "home");
        RecordFileImage image;
        image.creator = kCreatorSatellites;
        image.recordSize = kSatelliteRecordSize;
        for (const SatelliteRecord& r : sets) EncodeSatelliteRecord(r, image.Append());
        WriteRecordFileImage(root_ / "install" / "data" / kSatelliteFile, image);
        OpenDb(satelliteDb, kCreatorSatellites, kTypeCodeQvn1, 1, kDataFolder, kSatelliteFile);
        PlaceIssAtLondon();
        SetSiteLatitude(51.5074f);
        SatellitesAssistantState& s = satellitesAssistant;
        s = SatellitesAssistantState{};
        s.formYear = 2008, s.formMonth = 9, s.formDay = 21;
        s.passTable.assign(kMaxResultRows, SatellitePass{});
        s.currentSatellite = 0;
        LoadCurrentSatellite();
    }
    std::filesystem::path Home() const { return root_ / "home"; }
    ~FormDatabase() {
        CloseDb(satelliteDb);
        satellitesAssistant = SatellitesAssistantState{};
        std::filesystem::remove_all(root_);
    }

private:
    std::filesystem::path root_;
};

// Near-Earth sets spread over the sky: the ISS's orbit turned in node and anomaly.
std::vector<SatelliteRecord> NearEarthSets(int count) {
    std::vector<SatelliteRecord> sets;
    for (int i = 0; i < count; ++i) {
        SatelliteRecord r = IssRecord();
        std::snprintf(r.name, sizeof r.name, "SAT %d", i);
        char field[16];
        std::snprintf(field, sizeof field, "%8.4f", std::fmod(247.4627 + 7.3 * i, 360.0));
        std::memcpy(r.line2 + 17, field, 8);
        std::snprintf(field, sizeof field, "%8.4f", std::fmod(325.0288 + 41.0 * i, 360.0));
        std::memcpy(r.line2 + 43, field, 8);
        r.line2[68] = static_cast<char>('0' + ElementLineChecksum(r.line2));
        sets.push_back(r);
    }
    return sets;
}

void ReportSearchCost(benchmark::State& state, const char* target) {
    state.counters["rows"] = satellitesAssistant.listValid;
    state.counters["pass searches"] = static_cast<double>(satelliteSearchCost.passSearches);
    state.counters["evaluations"] = static_cast<double>(satelliteSearchCost.evaluations);
    state.SetLabel(target);
}

// The Next view over 200 near-Earth sets: "Visible" (30 rows come soon), and ">45°" (most
// passes are searched and refused, the cost of a whole database).
void BM_NextSearch200Sets(benchmark::State& state) {
    FormDatabase db(NearEarthSets(200));
    satellitesAssistant.viewMode = satellites_form::kNext;
    satellitesAssistant.elevationChoice = static_cast<int>(state.range(0));
    for (auto _ : state) {
        satellitesAssistant.listValid = 0;
        SearchAllSatellitePasses();
    }
    ReportSearchCost(state, "target under 1 s");
}
BENCHMARK(BM_NextSearch200Sets)->Arg(0)->Arg(9)->Unit(benchmark::kMillisecond);

// The Pass view of the ISS: 30 rows or 30 days.
void BM_PassSearch30Days(benchmark::State& state) {
    FormDatabase db({IssRecord()});
    satellitesAssistant.viewMode = satellites_form::kPass;
    for (auto _ : state) {
        satellitesAssistant.listValid = 0;
        SearchSatellitePasses(0);
    }
    ReportSearchCost(state, "target under 200 ms");
}
BENCHMARK(BM_PassSearch30Days)->Unit(benchmark::kMillisecond);

// The Sky View's 40 records: the Sun, the Moon and 38 track positions of one orbit.
void BM_SkyViewRecords(benchmark::State& state) {
    FormDatabase db({IssRecord()});
    satellitesAssistant.formHour = 12;
    for (auto _ : state) benchmark::DoNotOptimize(BuildSatelliteSkyRecords(0, -1));
    state.SetLabel("target under 20 ms");
}
BENCHMARK(BM_SkyViewRecords)->Unit(benchmark::kMillisecond);

// The Export button over 1000 records: memo files of about 3.6 KB each into the user's
// lists folder (emptied between runs, so that the names do not pile up).
void BM_ExportSatellites1000(benchmark::State& state) {
    FormDatabase db(NearEarthSets(1000));
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(db.Home() / "userlists");
        std::filesystem::create_directories(db.Home() / "userlists");
        state.ResumeTiming();
        ExportSatellites();
    }
    state.SetLabel("target under 200 ms");
}
BENCHMARK(BM_ExportSatellites1000)->Unit(benchmark::kMillisecond);

// One Info view refresh at scale 2 on the program's screen: the position, one orbit of the
// ground track, the world map and the three text blocks.
void BM_InfoRefreshScale2(benchmark::State& state) {
    namespace hl = platform::headless;
    ProgramOnScreen program("vk-bench-info");
    {
        FormDatabase db({IssRecord()});
        hl::Call([] {
            satellitesAssistant.formYear = -1;
            preferences.word[pref::lastSatellite] = 0;
            GotoForm(satellites_form::kFormId);
        });
        bool shown = false;
        hl::Call([&] { shown = GetCurrentFormId() == satellites_form::kFormId && satellitesAssistant.recordLoaded; });
        if (!shown) state.SkipWithError("the satellite form did not come up");
        for (auto _ : state) {
            double seconds = 0.0;
            hl::Call([&] {
                const auto start = std::chrono::steady_clock::now();
                DrawOnForm(GetActiveForm(), [] { DrawSatelliteDataPage(satellitesAssistant.currentSatellite); });
                seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            });
            state.SetIterationTime(seconds);
        }
        hl::Call([] { CloseSatellitesAssistant(); });
    }
    state.SetLabel("target under 10 ms");
}
BENCHMARK(BM_InfoRefreshScale2)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
