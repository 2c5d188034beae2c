// The Jupiter and Saturn views on the headless screen from fixture bitmaps, compared pixel
// for pixel with tests/data/planets/*_1x.png (VELKARION_UPDATE_GOLDEN=1 rewrites them).
#include <gtest/gtest.h>

#include <filesystem>

#include "moon/globe_fixture.h"
#include "planets/jupiter_view.h"
#include "planets/planet_view_state.h"
#include "planets/planets_services.h"
#include "planets/moon_events.h"
#include "planets/planet_assistant.h"
#include "planets/planet_assistant_views.h"
#include "planets/saturn_view.h"
#include "planets/time_strips.h"
#include "platform/gfx_context.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "shell/draw_targets.h"
#include "support/golden_screen.h"
#include "support/observing_state.h"

namespace {

using platform::Rgb;

constexpr int kViewTop = 320 - 22 - 86;
constexpr std::uint16_t kDisc = Px(20, 12, 4);
constexpr std::uint16_t kDot = Px(31, 31, 8);

class PlanetViewsGoldenTest : public GlobeScreenTest {
protected:
    void SetUp() override {
        GlobeScreenTest::SetUp();
        UseTestSite(48.85, -2.35, 60);
        savedView_ = planetView;
        planetView.screenWidth = 240;
        planetView.screenHeight = 320;
        // Disc strips: a plain disc per cell with the cell number as a dark notch, so that
        // the Red Spot phase and the mirroring show; corners in the transparent white.
        WriteBitmap(1870, 29 * 12, 11, [](int x, int y) { return Disc(x % 12, y, 12, 11, x / 12); });
        WriteBitmap(1897, 29 * 48, 44, [](int x, int y) { return Disc(x % 48, y, 48, 44, x / 48); });
        // The satellite dot a cross, the shadow a dot, both with white corners.
        WriteBitmap(4038, 3, 3, [](int x, int y) { return x == 1 || y == 1 ? kDot : Px(31, 31, 31); });
        WriteBitmap(6006, 3, 3, [](int x, int y) { return x == 1 && y == 1 ? Px(0, 0, 0) : Px(31, 31, 31); });
        // Ring strip: ten cells of 32 x 15, the north face above the south face; the ring's
        // thickness grows with the cell, the faces differ in colour; black is transparent.
        WriteBitmap(6008, 320, 30, [](int x, int y) {
            const int cell = x / 32, cx = x % 32 - 16, cy = y % 15 - 7;
            const int half = (cell / 2 + 1) * (256 - cx * cx) / 256;
            if ((cy < 0 ? -cy : cy) > half) return Px(0, 0, 0);
            return y < 15 ? Px(28, 24, 10) : Px(10, 24, 28);
        });
    }
    void TearDown() override {
        FreeSatelliteSprites();
        planetView = savedView_;
        GlobeScreenTest::TearDown();
    }
    static std::uint16_t Disc(int x, int y, int w, int h, int cell) {
        const double dx = (x + 0.5 - w / 2.0) / (w / 2.0), dy = (y + 0.5 - h / 2.0) / (h / 2.0);
        if (dx * dx + dy * dy > 1.0) return Px(31, 31, 31);
        if (x == cell * (w - 1) / 28 && y >= h / 2 - 1 && y <= h / 2) return Px(8, 2, 2);
        return kDisc;
    }
    void Expect(const char* name, const std::vector<platform::Rect>& excluded = {}) {
        ExpectScreen(std::filesystem::path(VELKARION_TEST_DATA) / "planets" / name, excluded);
    }
    PlanetViewState savedView_;
    SavedObservingState saved_;
};

// 2025-01-16 22:00 local time: Io and Europa east, Ganymede and Callisto west, one of them
// behind the planet's plane of sky.
TEST_F(PlanetViewsGoldenTest, JupiterWideAndClose) {
    planetView.zoom = 4.0;
    DrawJupiter(240, kViewTop, 2025, 1, 16, 22, 0, nullptr, nullptr, nullptr, 1, 1, 1);
    Expect("jupiter_view_wide_1x.png");
    planetView.zoom = 22.0;
    DrawJupiter(240, kViewTop, 2025, 1, 16, 22, 0, nullptr, nullptr, nullptr, 1, 1, 1);
    Expect("jupiter_view_close_1x.png");
}

// Without any bitmap the view still draws its legend and satellites, and says nothing.
TEST_F(PlanetViewsGoldenTest, JupiterWithoutBitmapsDrawsTheSatellites) {
    std::filesystem::remove_all(root / "resources" / "bitmaps");
    std::filesystem::create_directories(root / "resources" / "bitmaps");
    planetView.zoom = 22.0;
    double x[kGalileanCount], y[kGalileanCount];
    int codes[kGalileanCount];
    DrawJupiter(240, kViewTop, 2025, 1, 16, 22, 0, x, y, codes, 1, 1, 1);
    EXPECT_EQ(RecordedReports().size(), 0u);
    EXPECT_EQ(satelliteSprites[0], nullptr);
}

TEST_F(PlanetViewsGoldenTest, SaturnSatellitesAndRings) {
    const platform::Color colours[kSaturnViewMoons] = {Rgb(205, 205, 40), Rgb(0, 40, 220), Rgb(220, 0, 0),
                                                       Rgb(0, 210, 40), Rgb(155, 150, 140)};
    double x[kSaturnViewMoons], y[kSaturnViewMoons];
    int codes[kSaturnViewMoons];
    DrawSaturn(2025, 1, 16, 22, 0, 0, kViewTop, 240, 86, x, y, codes, kSaturnSatellites, colours, 1, 1);
    Expect("saturn_satellites_1x.png");
    DrawSaturn(2019, 6, 1, 0, 0, 0, kViewTop, 240, 86, x, y, codes, kSaturnRings, colours, 1, 1);
    // The tilt text is a number checked by the ring tilt tests.
    Expect("saturn_rings_1x.png", {platform::Rect{0, kViewTop, 120, kViewTop + 20}});
}

// A Jupiter satellite strip at span "1" for 2025-01-16 with the view under its cursor.
TEST_F(PlanetViewsGoldenTest, JupiterStrip) {
    planetView.mode = kJupiterMode;
    planetView.subView = 0;
    planetView.span = 0;
    planetView.zoom = 4.0;
    planetView.year = 2025, planetView.month = 1, planetView.day = 16, planetView.hour = 22, planetView.minute = 0;
    planetView.fullRedraw = 1;
    DrawTimeStrip();
    ForgetStripCursor();
    Expect("jupiter_strip_1x.png");
}

// The Saturn events of 2025-08-20 for Paris: the day bars, the header and the rows.
TEST_F(PlanetViewsGoldenTest, SaturnEventsTable) {
    planetView.mode = kSaturnMode;
    planetView.subView = 2;
    planetView.saturnMoonFilter = 0;
    planetView.eventYear = -1;
    planetView.year = 2025, planetView.month = 8, planetView.day = 20, planetView.hour = 12, planetView.minute = 0;
    DrawMoonEvents();
    Expect("saturn_events_1x.png");
}

// The PlanetAssistant's Info table for 2025-01-16 21:00 in Paris.
TEST_F(PlanetViewsGoldenTest, PlanetAssistantInfoTable) {
    const PlanetFormState saved = planetFormState;
    planetFormState.width = 240;
    planetFormState.height = 320;
    planetFormState.year = 2025, planetFormState.month = 1, planetFormState.day = 16;
    planetFormState.hour = 21, planetFormState.minute = 0;
    DrawPlanetTable(planet_assistant::kInfo);
    planetFormState = saved;
    Expect("planet_info_table_1x.png");
}

}  // namespace
