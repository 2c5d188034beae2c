// Costs of the sky-condition forms at scale 2, through the headless backend: one Day and
// Night refresh (the map with its shading, the rows of rise and set times), which a drag
// across the map repeats on every pen move, and a whole darkness chart of 720 days with
// Venus's curves, which the Twilight form draws at each change.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/headless.h"
#include "platform/resources.h"
#include "settings/darkness_chart.h"
#include "settings/day_night_form.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"

namespace {

namespace hl = platform::headless;

// A bare headless loop at scale 2 with an offscreen of the screen's size as draw target.
class SkyConditionScreen {
public:
    SkyConditionScreen(int width, int height) {
        home_ = std::filesystem::temp_directory_path() / ("vk-bench-settings-" + std::to_string(::getpid()));
        std::filesystem::create_directories(home_);
        hl::Options options;
        options.scale = 2;
        options.width = width;
        options.height = height;
        options.home = home_;
        hl::Install(options);
        platform::LoadResources();
        hl::StartProgram();
        hl::Call([&] {
            InitScreenScale();
            CreateSchemeBrushes();
            ObserverLocation& site = observerLocation;
            std::memcpy(site.name, "London", 7);
            site.latitude = 51.5f;
            site.sinLatitude = 0.7826f;
            site.cosLatitude = 0.6225f;
            site.longitude = 0.13f;
            site.zoneMinutes = 0;
            SetObservingDateTime(2024, 6, 21, 12, 0, 0);
            target_ = CreateOffscreen(width, height);
            if (target_) SetDrawWindow(target_);
        });
    }
    ~SkyConditionScreen() {
        hl::Call([&] {
            if (target_) DeleteOffscreen(target_);
            DeleteSchemeBrushes();
        });
        hl::StopProgram();
        hl::Uninstall();
        platform::ClearResources();
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
    }
    bool Ready() const { return target_ != nullptr; }
    // Seconds taken by `work` on the program's thread.
    template <class Work>
    double Time(Work work) {
        double seconds = 0.0;
        hl::Call([&] {
            const auto start = std::chrono::steady_clock::now();
            work();
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        });
        return seconds;
    }

private:
    std::filesystem::path home_;
    DrawWindow* target_ = nullptr;
};

void BM_DayNightRefresh(benchmark::State& state) {
    SkyConditionScreen screen(480, 640);
    if (!screen.Ready()) {
        state.SkipWithError("no offscreen");
        return;
    }
    for (auto _ : state)
        state.SetIterationTime(screen.Time([] {
            const ObservingDateTime& t = observingDateTime;
            DrawDayNightMap(0, 48, t.year, t.month, t.day, t.hour, t.minute, t.second);
            DayNightRows rows;
            ComputeDayNightRows(t.year, t.month, t.day, &rows);
            benchmark::DoNotOptimize(rows);
        }));
    state.SetLabel("target 16 ms");
}
BENCHMARK(BM_DayNightRefresh)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_DarknessChartWithVenus(benchmark::State& state) {
    SkyConditionScreen screen(640, 480);
    if (!screen.Ready() || DarknessChartDays() != 720) {
        state.SkipWithError("not a 720-day chart");
        return;
    }
    for (auto _ : state)
        state.SetIterationTime(screen.Time([] { DrawYearDarknessChart("Venus", 0, 0, 0.0, 0.0, 3, 2024, 1, 0); }));
    state.SetLabel("720 days, target 60 ms");
}
BENCHMARK(BM_DarknessChartWithVenus)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
