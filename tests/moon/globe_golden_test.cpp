// One picture of a textured, ringed globe on the headless screen, compared pixel for
// pixel with tests/data/moon/ringed_globe_1x.png (VELKARION_UPDATE_GOLDEN=1 rewrites it).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "globe_fixture.h"
#include "moon/globe_drawing.h"
#include "platform/gfx_context.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "shell/draw_targets.h"
#include "support/golden_screen.h"

namespace {

using GlobeGoldenTest = GlobeScreenTest;

TEST_F(GlobeGoldenTest, RingedGlobe) {
    WriteQuadrantMap("saturn", 512, 256);
    // A ring of light and dark bands with radial spokes, on the key colour.
    const int n = 241;
    WriteMap("saturn_ring", n, n, [=](int x, int y) -> std::uint16_t {
        const double dx = (x - n / 2) / (n / 2.0), dy = (y - n / 2) / (n / 2.0);
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d < 0.55 || d > 0.97) return Px(0, 0, 31);
        if (d > 0.74 && d < 0.78) return Px(3, 3, 2);  // a dark gap that only tints the globe
        const int spoke = static_cast<int>((std::atan2(dy, dx) + 3.2) * 6) % 2;
        return spoke ? Px(29, 25, 18) : Px(24, 20, 12);
    });
    platform::GfxObject sky = platform::MakeBrush(platform::Rgb(0, 0, 40));
    platform::FillRect(dc, platform::Rect{0, 0, 240, 320}, sky);
    platform::DeleteObject(sky);
    ASSERT_EQ(DrawPlanetSphere(16, 31, 120, 160, 30.0, -15.0, 25.0, 50.0, 1.0), 1);
    ExpectScreen(std::filesystem::path(VELKARION_TEST_DATA) / "moon" / "ringed_globe_1x.png");
}

}  // namespace
