// The Red Spot table: its rows by day, the marks of each transit, and its drawing on the
// headless screen at two sizes.
#include <gtest/gtest.h>

#include "core/settings.h"
#include "planets/planet_view_state.h"
#include "planets/red_spot.h"
#include "platform/gfx_context.h"
#include "platform/headless.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "shell/draw_targets.h"
#include "shell/utilities_internal.h"
#include "support/observing_state.h"

namespace {

using platform::Rgb;

class RedSpotTableTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        savedView_ = planetView;
        grs_ = PreferenceFloat(pref::grsLongitude);
        night_ = preferences.word[pref::nightMode];
        preferences.word[pref::nightMode] = 0;
        SetPreferenceFloat(pref::grsLongitude, 157.0f);
        UseTestSite(48.85, -2.35, 60);
        SetLocalClockSource([] { return LocalDateTimeFields{2025, 1, 10, 12, 0, 0}; });
    }
    void TearDown() override {
        SetLocalClockSource(nullptr);
        SetPreferenceFloat(pref::grsLongitude, grs_);
        preferences.word[pref::nightMode] = night_;
        planetView = savedView_;
    }
    SavedObservingState saved_;
    PlanetViewState savedView_;
    float grs_ = 0;
    int night_ = 0;
};

TEST_F(RedSpotTableTest, RowsRunDayByDayWithTheirMarks) {
    RedSpotTableRow rows[16];
    ASSERT_EQ(ComputeRedSpotTable(2025, 1, 25, 16, rows, 16), 16);
    int kinds[3] = {0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        const RedSpotTableRow& r = rows[i];
        EXPECT_EQ(r.month * 100 + r.day, i < 7 ? 125 + i : 201 + (i - 7)) << i;
        EXPECT_GE(r.count, 2);
        for (int k = 0; k < r.count; ++k) {
            EXPECT_LE(r.hours[k], 23);
            ++kinds[r.sight[k]];
        }
    }
    // In late January Jupiter is high in the evening and sets after midnight: transits in
    // the dark with Jupiter up, in daylight, and with Jupiter down before dawn.
    EXPECT_GT(kinds[kRedSpotVisible], 0);
    EXPECT_GT(kinds[kRedSpotDaylight], 0);
    EXPECT_GT(kinds[kRedSpotLow], 0);
    // The capacity bounds the rows written.
    EXPECT_EQ(ComputeRedSpotTable(2025, 1, 25, 16, rows, 4), 4);
}

TEST_P(RedSpotTableTest, DrawsItsRowsAndGivesTheDateBack) {
    const int scale = GetParam();
    platform::headless::Options options;
    options.scale = scale;
    platform::headless::Install(options);
    InitScreenScale();
    platform::WindowSpec shape;
    shape.rect = platform::Rect{0, 0, 240 * scale, 320 * scale};
    platform::Window window = platform::CreateWindow(shape);
    platform::Dc dc = platform::GetWindowDc(window);
    SetDrawTarget(window, dc);

    planetView.screenWidth = 240 * scale;
    planetView.screenHeight = 320 * scale;
    planetView.year = 2025;
    planetView.month = 1;
    planetView.day = 25;
    DrawRedSpotTable();
    EXPECT_EQ(planetView.year, 2025);
    EXPECT_EQ(planetView.month, 1);
    EXPECT_EQ(planetView.day, 25);

    DrawWindow* screen = GetScreenBuffer();
    ASSERT_NE(screen, nullptr);
    // Compared as the screen's 5-5-5 pixels.
    const auto pixel = [&](int x, int y) { return platform::ColorToPixel(platform::GetPixel(screen->dc, x, y)); };
    const auto P = [](platform::Color c) { return platform::ColorToPixel(c); };
    // (height - 59) / 15 rows in all, alternating from the light band; then the background.
    const int rows = (320 - 59) / 15;
    const int s = scale;
    const int right = 240 * s - 3;
    const auto band = P(Rgb(180, 180, 250)), white = P(Rgb(255, 255, 255));
    EXPECT_EQ(pixel(right, (24 + (rows - 1) * 15 + 7) * s), rows % 2 ? band : white);
    EXPECT_EQ(pixel(right, (24 + (rows - 2) * 15 + 7) * s), rows % 2 ? white : band);
    EXPECT_EQ(pixel(right, (24 + rows * 15 + 3) * s), white);
    // The visible transits are written in the highlight red.
    int red = 0;
    for (int y = 39 * s; y < (24 + rows * 15) * s; ++y)
        for (int x = 75 * s; x < 240 * s; ++x) red += pixel(x, y) == P(Rgb(255, 0, 0));
    EXPECT_GT(red, 10);

    ReleaseDrawTarget();
    FreeScreenBuffer();
    platform::ReleaseDc(window, dc);
    platform::headless::Uninstall();
    InitScreenScale();
}

INSTANTIATE_TEST_SUITE_P(Scales, RedSpotTableTest, ::testing::Values(1, 2));

}  // namespace
