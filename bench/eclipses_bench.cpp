// Costs of the solar eclipse computations. The eclipse form fits the elements once per
// selected eclipse; every tap on the map page refines the local circumstances five times;
// the information page searches the contacts at a place; the map track takes up to 60
// instants of the umbra with the ten limit latitudes each; the Diagram page sweeps the
// limit curves over the globe. The eclipse form builds its list of six eclipses, and the
// planet assistant's Events view searches a year of events when it redraws. The Map page
// computes its track once per eclipse and redraws the whole map at every pen move of a drag.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "astro/quick_sun_moon.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "eclipses/bessel_elements.h"
#include "eclipses/central_line.h"
#include "eclipses/eclipse_form.h"
#include "eclipses/eclipse_limits_drawing.h"
#include "eclipses/eclipse_list.h"
#include "eclipses/eclipse_map.h"
#include "eclipses/eclipse_path.h"
#include "eclipses/eclipse_state.h"
#include "eclipses/local_circumstances.h"
#include "eclipses/event_list.h"
#include "eclipses/event_search.h"
#include "eclipses/umbra_ground.h"
#include "platform/headless.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/world_map.h"

namespace {

// 2017 August 21 with the series and a fixed Delta T.
void UseEclipseOf2017() {
    observingDateTime.year = 2017;
    SetPreferenceFloat(pref::deltaTUser, 70.3f);
    SelectPositionSource(0);
}

const BesselElements& Elements2017() {
    static BesselElements elements = [] {
        BesselElements e;
        FitBesselElements(&e, 2017, 8, 21, 18);
        return e;
    }();
    return elements;
}

void BM_FitBesselElements(benchmark::State& state) {
    BesselElements elements;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FitBesselElements(&elements, 2017, 8, 21, 18));
        benchmark::ClobberMemory();
    }
    state.SetLabel("nine long-series evaluations");
}
BENCHMARK(BM_FitBesselElements)->Unit(benchmark::kMillisecond);

void BM_GetLocalCircumstances(benchmark::State& state) {
    const BesselElements& elements = Elements2017();
    LocalCircumstances out;
    double latitude = 36.16;
    for (auto _ : state) {
        double t = 18.4;
        benchmark::DoNotOptimize(GetLocalCircumstances(elements, 0, latitude, 86.78, 0.0, 70.3, &t, &out));
        benchmark::DoNotOptimize(out);
        latitude = latitude < 40.0 ? latitude + 0.01 : 36.16;
    }
    state.SetLabel("target under 2 us");
}
BENCHMARK(BM_GetLocalCircumstances);

void BM_FindLocalContacts(benchmark::State& state) {
    UseEclipseOf2017();
    LocalEclipse local;
    for (auto _ : state) {
        FindLocalContacts(&local, 2017, 8, 21, 18, 30, 36.1627, 86.7816);
        benchmark::DoNotOptimize(local);
    }
    state.SetLabel("target under 30 ms");
}
BENCHMARK(BM_FindLocalContacts)->Unit(benchmark::kMillisecond);

// The map track: 60 instants five minutes apart, each with the umbra and the limit
// latitudes of magnitudes 0, 0.25, 0.5, 0.75 and 0.99 on both sides.
void BM_LocalEclipseTrack(benchmark::State& state) {
    UseEclipseOf2017();
    const BesselElements& elements = Elements2017();
    LocalEclipse local;
    for (auto _ : state) {
        for (int i = 0; i < 60; ++i) {
            const int minute = 15 * 60 + 5 * i;
            if (GetLocalEclipse(&local, 2017, 8, 21, 0, minute, 0)) {
                for (double magnitude : {0.0, 0.25, 0.5, 0.75, 0.99}) {
                    benchmark::DoNotOptimize(GetLimitLatitude(elements, local.pointLongitude, magnitude, 70.3, -1));
                    benchmark::DoNotOptimize(GetLimitLatitude(elements, local.pointLongitude, magnitude, 70.3, 1));
                }
            }
            benchmark::DoNotOptimize(local);
        }
    }
    state.SetLabel("target under 100 ms");
}
BENCHMARK(BM_LocalEclipseTrack)->Unit(benchmark::kMillisecond);

// The globe of the Diagram page at screen scale 2.
void BM_EclipseLimitCurves(benchmark::State& state) {
    const BesselElements& elements = Elements2017();
    auto curves = std::make_unique<LimitCurves>();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            ComputeEclipseLimitCurves(elements, 240, 300, 90.0, 0.0, 35.0, 2.0 * 110.0, 70.3, curves.get()));
    }
}
BENCHMARK(BM_EclipseLimitCurves)->Unit(benchmark::kMicrosecond);

void BM_BuildEclipseList(benchmark::State& state) {
    EclipseEntry* list = nullptr;
    for (auto _ : state) benchmark::DoNotOptimize(BuildEclipseList(&list, 6, 2024, 1, 1));
    FreeEclipseList(&list);
    state.SetLabel("target under 20 ms");
}
BENCHMARK(BM_BuildEclipseList)->Unit(benchmark::kMillisecond);

// Selecting 2024 April 8 in the eclipse form: the instant refined, the elements fitted,
// the central point and line ends, and the Sun and Moon tables, from the listed row.
void BM_SelectSolarEclipse(benchmark::State& state) {
    observingDateTime.year = 2024;
    SetPreferenceFloat(pref::deltaTUser, 69.0f);
    const EclipseEntry listed{1, 4.0, 2024, 4, 8, 18, 20, 0, 0, -1};
    for (auto _ : state) {
        EclipseEntry entry = listed;
        ComputeSolarEntry(&entry);
        benchmark::DoNotOptimize(entry.duration);
    }
    FreeSunTable();
    FreeMoonTable();
    state.SetLabel("target under 30 ms");
}
BENCHMARK(BM_SelectSolarEclipse)->Unit(benchmark::kMillisecond);

// The Path page's band at scale 2 (a map 480 x 240): about 90 columns of three limit
// latitudes each, which is what the page's drawing costs.
void BM_EclipsePathBand(benchmark::State& state) {
    const BesselElements& elements = Elements2017();
    auto lines = std::make_unique<EclipsePathLines>();
    for (auto _ : state) benchmark::DoNotOptimize(ComputeEclipsePath(elements, 70.3, 37.0, 480, 240, lines.get()));
    state.SetLabel("target under 20 ms");
}
BENCHMARK(BM_EclipsePathBand)->Unit(benchmark::kMillisecond);

// 370 days from 2024 January 1 with the refinements, at a site five hours behind UT.
void BM_SearchEventYear(benchmark::State& state) {
    const ObserverLocation site = observerLocation;
    observerLocation.zoneMinutes = -300;
    for (auto _ : state) {
        FreeEventList();
        benchmark::DoNotOptimize(SearchEventPeriod(2024, 1, 1, 370));
    }
    FreeEventList();
    observerLocation = site;
    state.SetLabel("target under 200 ms");
}
BENCHMARK(BM_SearchEventYear)->Unit(benchmark::kMillisecond);
// The Map page of 2024 April 8 at screen scale 2: the form's state with the eclipse
// selected and its elements fitted, the two map halves in memory and a "screen" to copy to.
struct MapPageBench {
    EclipseEntry entry{1, 4.0, 2024, 4, 8, 18, 20, 0, 0, -1};
    DrawWindow* screen = nullptr;

    MapPageBench() {
        platform::headless::Options options;
        options.scale = 2;
        platform::headless::Install(options);
        SetDefaultSettings();
        InitScreenScale();
        CreateSchemeBrushes();
        observingDateTime.year = 2024;
        SetPreferenceFloat(pref::deltaTUser, 69.0f);
        ComputeSolarEntry(&entry);
        EclipseState& s = eclipseState;
        GetScreenSize(&s.formWidth, &s.formHeight);
        s.eclipseList = &entry;
        s.eclipseCount = 1;
        s.selectedRow = 0;
        s.page = 3;
        s.placeLatitude = s.centralLatitude;
        s.placeLongitude = s.centralLongitude;
        const int top = static_cast<int>(24 * screenScale.vertical);
        s.mapRect[0] = 0;
        s.mapRect[1] = top;
        s.mapRect[2] = s.formWidth;
        s.mapRect[3] = s.formHeight - static_cast<int>(22 * screenScale.vertical) - top;
        // Halves of sea and land as the pictures made at set-up would be.
        for (DrawWindow** half : {&s.mapHalves.west, &s.mapHalves.east}) {
            *half = CreateOffscreen(kWorldMapHalf, kWorldMapHalf);
            DrawWindow* previous = SetDrawWindow(*half);
            SetForeColor(platform::Rgb(153, 153, 203));
            DrawRectangle(Bounds{0, 0, kWorldMapHalf, kWorldMapHalf}, 0);
            SetForeColor(platform::Rgb(160, 220, 80));
            for (int k = 0; k < 12; ++k) DrawRectangle(Bounds{k * 100, k * 90, 80, 300}, 0);
            SetDrawWindow(previous);
        }
        s.mapHalves.night = preferences.word[pref::nightMode];
        screen = CreateOffscreen(s.formWidth, s.formHeight);
        s.trackTable = static_cast<TrackRecord*>(std::calloc(kTrackCapacity, sizeof(TrackRecord)));
        s.trackCount = ComputeEclipseTrack(entry, s.trackTable, kTrackCapacity);
    }
};

MapPageBench& MapBench() {
    static MapPageBench bench;
    return bench;
}

void BM_ComputeEclipseTrack(benchmark::State& state) {
    MapPageBench& bench = MapBench();
    auto table = std::make_unique<TrackRecord[]>(kTrackCapacity);
    int count = 0;
    for (auto _ : state) {
        count = ComputeEclipseTrack(bench.entry, table.get(), kTrackCapacity);
        benchmark::DoNotOptimize(count);
    }
    state.SetLabel(std::to_string(count) + " records; target under 150 ms");
}
BENCHMARK(BM_ComputeEclipseTrack)->Unit(benchmark::kMillisecond);

// One step of a drag: the map moved by a few pixels and drawn whole with the track.
void BM_DrawEclipseMapDrag(benchmark::State& state) {
    MapPageBench& bench = MapBench();
    EclipseState& s = eclipseState;
    SetDrawWindow(bench.screen);
    int step = 0;
    for (auto _ : state) {
        s.mapOffsetX += (step++ % 20 < 10) ? 7 : -7;
        benchmark::DoNotOptimize(DrawEclipseMap(1, s.mapRect));
    }
    state.SetLabel("scale 2; target under 8 ms");
}
BENCHMARK(BM_DrawEclipseMapDrag)->Unit(benchmark::kMillisecond);
}  // namespace
