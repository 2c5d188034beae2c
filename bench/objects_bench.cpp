// The orbit computation per call and solver (a search runs it for every comet record, the
// best-dates list about a hundred times per record), the sky model per call (the Moon
// form's month tables and every search), and the visibility estimate per call (a
// visibility search makes one for each of about 14,000 deep-sky objects), and the object
// pictures: the look-up the chart makes for every marked object of the list at each redraw
// (target 10 us), and a 1024 x 768 picture drawn over the whole screen at scale 2 (50 ms).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/settings.h"
#include "objects/comet_position.h"
#include "objects/object_pictures.h"
#include "objects/sky_brightness.h"
#include "objects/visibility.h"
#include "platform/gfx_context.h"
#include "platform/paths.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
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

void BM_DrawCurrentPictureFullScreen(benchmark::State& state) {
    PictureHome home;
    platform::ResetWindows();
    platform::SetScreenGeometry(2, 0, 0);
    platform::WindowSpec desc;
    desc.rect = platform::Rect{0, 0, platform::ScreenWidth(), platform::ScreenHeight()};
    const platform::Window window = platform::CreateWindow(desc);
    const platform::Dc dc = platform::GetWindowDc(window);
    InitScreenScale();
    CreateSchemeBrushes();
    SetDrawTarget(window, dc);
    pictureState.folderKind = 0;
    pictureState.catalogCode = 42;
    std::snprintf(pictureState.fileName, sizeof pictureState.fileName, "Large.jpg");
    for (auto _ : state) DrawCurrentPicture(0, 0, platform::ScreenWidth(), platform::ScreenHeight(), 1);
    state.SetLabel("1024 x 768 JPEG at scale 2, target 50 ms");
    ReleaseDrawTarget();
    platform::ReleaseDc(window, dc);
    DeleteSchemeBrushes();
    platform::ResetWindows();
}
BENCHMARK(BM_DrawCurrentPictureFullScreen)->Unit(benchmark::kMillisecond);

}  // namespace
