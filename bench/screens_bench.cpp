// Repaint costs of the home form at scale 2, through the headless backend: a full repaint
// (the form draws everything and its picture buttons paint) and a repaint from the saved
// screen (the form copies its saved client area back and the buttons paint again), each
// up to the frame being presented. The form and all its controls are invalidated, as when
// something shown over the whole form goes away; the main window behind them is not.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "app/composition.h"
#include "app/main_window.h"
#include "core/settings.h"
#include "platform/headless.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/window.h"
#include "shell/form_dispatcher.h"

namespace {

namespace hl = platform::headless;

// The program running headless at scale 2 with the home form shown for a site.
class HomeFormOnScreen {
public:
    HomeFormOnScreen() {
        home_ = std::filesystem::temp_directory_path() / ("vk-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(home_ / "runtime");
        // The single-copy lock lives in the runtime folder: another copy running on this
        // machine must not stop this one.
        ::setenv("XDG_RUNTIME_DIR", (home_ / "runtime").c_str(), 1);
        hl::Options options;
        options.scale = 2;
        options.home = home_;
        hl::Install(options);
        platform::LoadResources();
        ComposeProgram();
        platform::ClearShownBoxes();
        hl::StartProgram([] { return RunVelkarion(); });
        hl::RunUntilIdle();
        hl::Call([] {
            ObserverLocation& site = observerLocation;
            std::memset(site.name, 0, sizeof site.name);
            std::memcpy(site.name, "Vienna", 6);
            SetLatitude(site, 48.2f);
            site.longitude = -16.4f;
            site.zoneMinutes = 60;
            noSiteFlag = 0;
            SetAllFormRedrawFlags();
            GotoForm(kHomeFormId);
        });
    }
    ~HomeFormOnScreen() {
        if (hl::ProgramRunning()) hl::RequestClose();
        hl::StopProgram();
        hl::Uninstall();
        std::error_code ec;
        std::filesystem::remove_all(home_, ec);
    }
    bool Ready() const { return hl::ProgramRunning() && GetCurrentFormId() == kHomeFormId; }

    // Seconds taken by one repaint of every window, run on the program's thread.
    double Repaint(bool full) {
        double seconds = 0.0;
        hl::Call([&] {
            const auto start = std::chrono::steady_clock::now();
            if (full) *FormRedrawFlag(kHomeFormId) = 1;
            platform::InvalidateAllWindows();
            platform::ValidateRect(mainWindow, nullptr);
            platform::Message m;
            while (platform::PeekMessage(m, platform::Window{}, platform::kMsgPaint, platform::kMsgPaint, true))
                platform::DispatchMessage(m);
            platform::PresentScreen();
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        });
        return seconds;
    }

private:
    std::filesystem::path home_;
};

void HomeRepaint(benchmark::State& state, bool full, const char* target) {
    HomeFormOnScreen screen;
    if (!screen.Ready()) {
        state.SkipWithError("the home form did not come up");
        return;
    }
    for (auto _ : state) state.SetIterationTime(screen.Repaint(full));
    state.SetLabel(target);
}

void BM_HomeFullRepaint(benchmark::State& state) { HomeRepaint(state, true, "target 300 us"); }
void BM_HomeRepaintFromSavedScreen(benchmark::State& state) { HomeRepaint(state, false, "target 100 us"); }
BENCHMARK(BM_HomeFullRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HomeRepaintFromSavedScreen)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
