// The PlanetAssistant's Sun View and 3D globes drawn on a headless window. The Sun View's
// paths and lines to the Sun are found where the orbit theory puts them, away from the
// bodies' own marks and names, so that how a body is marked does not matter here.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "astro/planet_positions.h"
#include "astro/planetary_theory.h"
#include "core/settings.h"
#include "moon/globe_fixture.h"
#include "planets/planet_assistant.h"
#include "planets/planet_assistant_views.h"
#include "platform/headless.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/colour_scheme.h"
#include "support/observing_state.h"

namespace {

constexpr int kInner[3] = {kBodyMercury, kBodyVenus, kBodyMars};

struct Spot {
    int x, y;
};

class PlanetAssistantDrawingTest : public GlobeScreenTest {
protected:
    void SetUp() override {
        GlobeScreenTest::SetUp();
        savedState_ = planetFormState;
        planetFormState = PlanetFormState{};
        planetFormState.width = 240;
        planetFormState.height = 320;
        planetFormState.year = 2025, planetFormState.month = 1, planetFormState.day = 1;
        UseTestSite(48.85, -2.35, 60);
        area_ = PlanetDrawingArea();
        cx_ = area_.x + area_.width / 2;
        cy_ = area_.y + area_.height / 2;
    }
    void TearDown() override {
        planetFormState = savedState_;
        GlobeScreenTest::TearDown();
    }

    // Where the view puts a body `days` after the form's date at 0h.
    Spot Place(int body, int days) const {
        float places[kOrbitBodyCount][3] = {}, equatorial[kOrbitBodyCount][2] = {};
        const PlanetFormState& s = planetFormState;
        PlanetOrbitPosition(s.year, s.month, s.day + days, 0, 0, observerLocation.zoneMinutes, places, equatorial,
                            kOrbitViewDrawing, 2, 10);
        return Spot{cx_ + static_cast<int>(places[body][0]), cy_ + static_cast<int>(places[body][1])};
    }
    // Something drawn over the 3 x 3 square around a point (a mark, a name): a pixel
    // neither in the line colour nor the background's.
    bool Covered(int x, int y) const {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const std::uint16_t p = Pixel(x + dx, y + dy);
                if (p != line_ && p != background_) return true;
            }
        return false;
    }
    // A path dot: the 2 x 2 square up and left of the point all in the line colour.
    bool Dot(const Spot& p) const {
        return Pixel(p.x - 1, p.y - 1) == line_ && Pixel(p.x, p.y - 1) == line_ && Pixel(p.x - 1, p.y) == line_ &&
               Pixel(p.x, p.y) == line_;
    }
    // The point a fraction f of the way from the Sun to p.
    Spot Along(const Spot& p, double f) const {
        return Spot{cx_ + static_cast<int>(std::lround((p.x - cx_) * f)), cy_ + static_cast<int>(std::lround((p.y - cy_) * f))};
    }

    // The paths and the lines of the Sun View, wherever nothing was drawn over them.
    void ExpectPathsAndLines() {
        for (int body : kInner) {
            int checked = 0;
            for (int d = 0; d <= 28; d += 2) {
                const Spot p = Place(body, d);
                if (Covered(p.x, p.y)) continue;
                ++checked;
                EXPECT_TRUE(Dot(p)) << "body " << body << " day " << d;
            }
            EXPECT_GE(checked, body == kBodyMercury ? 5 : 10) << "body " << body;
            // No dot before the first day or after the 28th.
            for (int d : {-2, 30}) {
                const Spot p = Place(body, d);
                if (!Covered(p.x, p.y)) {
                    EXPECT_FALSE(Dot(p)) << "body " << body << " day " << d;
                }
            }
            // Lines to the Sun from the first and the last dot, none from one between.
            int lines = 0;
            for (int d : {0, 28}) {
                for (double f : {0.5, 0.6, 0.7, 0.8}) {
                    const Spot a = Along(Place(body, d), f);
                    if (Covered(a.x, a.y)) continue;
                    EXPECT_TRUE(Near(a.x, a.y, line_, 1)) << "body " << body << " day " << d << " at " << f;
                    ++lines;
                    break;
                }
            }
            if (body != kBodyMercury) {
                EXPECT_EQ(lines, 2) << "body " << body;
            }
            const Spot a = Along(Place(body, 14), body == kBodyVenus ? 0.75 : 0.5);
            if (body != kBodyMercury && !Covered(a.x, a.y)) {
                EXPECT_FALSE(Near(a.x, a.y, line_, 1)) << "body " << body;
            }
        }
    }

    // The window's pixel (the fixture's offscreen target is not drawn on here).
    std::uint16_t Pixel(int x, int y) const {
        const platform::Surface* s = platform::WindowSurface(window);
        const platform::Point o = platform::WindowOrigin(window);
        if (x < 0 || y < 0 || x >= 240 || y >= 320) return 0;
        return s->Row(y + o.y)[x + o.x] & 0x7FFF;
    }
    bool Near(int x, int y, std::uint16_t value, int reach) const {
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx)
                if (Pixel(x + dx, y + dy) == value) return true;
        return false;
    }
    PlanetFormState savedState_;
    SavedObservingState site_;
    Bounds area_{};
    int cx_ = 0, cy_ = 0;
    std::uint16_t line_ = 0, background_ = 0;
};

TEST_F(PlanetAssistantDrawingTest, SunViewPathsByDay) {
    DrawSunView();
    background_ = platform::ColorToPixel(platform::Rgb(238, 238, 255));
    line_ = platform::ColorToPixel(platform::Rgb(0, 0, 150));
    EXPECT_EQ(Pixel(area_.x + 1, area_.y + area_.height - 2), background_);
    ExpectPathsAndLines();
}

TEST_F(PlanetAssistantDrawingTest, SunViewAtNight) {
    preferences.word[pref::nightMode] = 1;
    DrawSunView();
    background_ = 0;
    line_ = platform::ColorToPixel(NightColour(platform::Rgb(GetNightLevel(), 0, 0)));
    EXPECT_EQ(Pixel(area_.x + 1, area_.y + area_.height - 2), background_);
    EXPECT_NE(line_ >> 10, 0) << "red";
    EXPECT_EQ(line_ & 0x3FF, 0) << "nothing but red";
    ExpectPathsAndLines();
}

// Saturn and Uranus are drawn with their rings: Saturn's, tipped by its pole angle, reaches
// well above and below the globe's middle beside it; Uranus's, at pole angle 0 and no tilt,
// is seen edge-on along the middle row.
TEST_F(PlanetAssistantDrawingTest, RingedGlobes) {
    constexpr std::uint16_t kGlobe = Px(16, 16, 16), kKey = Px(0, 0, 31), kRing = Px(28, 26, 20);
    for (const char* name : {"saturn", "uranus"}) WriteMap(name, 256, 128, [](int, int) { return kGlobe; });
    for (const char* name : {"saturn_ring", "uranus_ring"}) {
        WriteMap(name, 201, 201, [](int x, int y) {
            const double dx = (x - 100) / 100.0, dy = (y - 100) / 100.0;
            const double d = std::sqrt(dx * dx + dy * dy);
            return d > 0.5 && d < 0.98 ? kRing : kKey;
        });
    }
    const int x0 = 120, y0 = 160;
    struct Case {
        int row;
        const char* body;
        int minReach, maxReach;
    };
    // The globe is about 0.83 x 45 pixels across its radius here; ring pixels are counted
    // beyond 40 pixels left and right of the centre.
    const Case cases[] = {{15, "Saturn", 12, 200}, {21, "Uranus", 0, 2}};
    for (const Case& c : cases) {
        SetForeColor(platform::Rgb(0, 0, 0));
        DrawRectangle(Bounds{0, 0, 240, 320}, 0);
        DrawPlanetGlobe(c.row, x0, y0, 90);
        int ring = 0, reach = 0;
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x) {
                if (std::abs(x - x0) <= 40 || Pixel(x, y) != kRing) continue;
                ++ring;
                reach = std::max(reach, std::abs(y - y0));
            }
        EXPECT_GT(ring, 20) << c.body;
        EXPECT_GE(reach, c.minReach) << c.body;
        EXPECT_LE(reach, c.maxReach) << c.body;
        EXPECT_EQ(Pixel(x0, y0 - 25), kGlobe) << c.body;
    }
}

}  // namespace
