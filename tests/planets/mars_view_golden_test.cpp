// The Mars view page on the headless screen from fixture textures, compared pixel for pixel
// with tests/data/planets/mars_view_1x.png (VELKARION_UPDATE_GOLDEN=1 rewrites it).
#include <gtest/gtest.h>

#include <filesystem>

#include "moon/globe_fixture.h"
#include "planets/mars_view.h"
#include "platform/gfx_context.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "shell/draw_targets.h"
#include "support/golden_screen.h"
#include "support/observing_state.h"

namespace {

using platform::Rgb;

class MarsViewGoldenTest : public GlobeScreenTest {
protected:
    void SetUp() override {
        GlobeScreenTest::SetUp();
        UseTestSite(48.85, -2.35, 60);
    }
    SavedObservingState saved_;
};

TEST_F(MarsViewGoldenTest, ViewPage) {
    WriteQuadrantMap("mars", 256, 128);
    WriteBitmap(kAngleIconStrip, kAngleIconWidth * kAngleIconFrames, kAngleIconHeight,
                [](int x, int y) { return Px((x / kAngleIconWidth) % 32, y % 32, 12); });
    const platform::Color colours[5] = {Rgb(205, 205, 40), Rgb(0, 40, 220), Rgb(220, 0, 0), Rgb(0, 210, 40),
                                        Rgb(155, 150, 140)};
    DrawMarsView(0, 0, 240, 320, 2025, 1, 16, 22, 0, colours, 0);
    // The data lines are numbers checked by the computations' own tests.
    ExpectScreen(std::filesystem::path(VELKARION_TEST_DATA) / "planets" / "mars_view_1x.png",
                     {platform::Rect{120, 320 - 26, 240, 320}});
}

}  // namespace
