// Repaint costs of the home form at scale 2, through the headless backend: a full repaint
// (the form draws everything and its picture buttons paint) and a repaint from the saved
// screen (the form copies its saved client area back and the buttons paint again), each
// up to the frame being presented. The form and all its controls are invalidated, as when
// something shown over the whole form goes away; the main window behind them is not.
#include <benchmark/benchmark.h>

#include <cstring>

#include "core/settings.h"
#include "program_on_screen.h"

namespace {

// The program with the home form shown for a site.
class HomeFormOnScreen : public ProgramOnScreen {
public:
    HomeFormOnScreen() : ProgramOnScreen("vk-bench") {
        platform::headless::Call([] {
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
    bool Ready() const { return platform::headless::ProgramRunning() && GetCurrentFormId() == kHomeFormId; }
};

void HomeRepaint(benchmark::State& state, bool full, const char* target) {
    HomeFormOnScreen screen;
    if (!screen.Ready()) {
        state.SkipWithError("the home form did not come up");
        return;
    }
    for (auto _ : state) state.SetIterationTime(screen.Repaint(kHomeFormId, full));
    state.SetLabel(target);
}

void BM_HomeFullRepaint(benchmark::State& state) { HomeRepaint(state, true, "target 300 us"); }
void BM_HomeRepaintFromSavedScreen(benchmark::State& state) { HomeRepaint(state, false, "target 100 us"); }
BENCHMARK(BM_HomeFullRepaint)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HomeRepaintFromSavedScreen)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
