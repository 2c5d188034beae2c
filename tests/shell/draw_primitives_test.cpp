// Pixels, lines, circles and rectangles on pixel offscreens and on window targets.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/gfx_context.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "core/settings.h"
#include "shell/screen_window_fixture.h"

namespace {

using platform::Color;
using platform::Rgb;
using Points = std::set<std::pair<int, int>>;

constexpr Color kWhite = Rgb(255, 255, 255);

class DrawPrimitives : public ScreenWindowTest {
protected:
    void SetUp() override { OpenScreen(1); }
    void TearDown() override {
        CloseScreen();
        DeleteOffscreen(off);
    }
    // Makes a w x h pixel offscreen, cleared to black, the current target.
    void UsePixels(int w, int h) {
        off = CreateOffscreenDIB(w, h, 16);
        ASSERT_NE(off, nullptr);
        SetDrawWindow(off);
        SetForeColor(Rgb(255, 255, 255));
    }
    std::uint16_t Raw(int x, int y) const {
        return reinterpret_cast<const std::uint16_t*>(off->pixels + (off->height - 1 - y) * off->stride)[x];
    }
    Points Lit() const {
        Points p;
        for (int y = 0; y < off->height; ++y)
            for (int x = 0; x < off->width; ++x)
                if (Raw(x, y)) p.insert({x, y});
        return p;
    }

    DrawWindow* off = nullptr;
};

TEST_F(DrawPrimitives, PixelLinesIncludeBothEnds) {
    struct Case {
        int x0, y0, x1, y1;
        Points expected;
    };
    const Case cases[] = {
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {2, 2, 2, 2, {{2, 2}}},
        {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 0}, {3, 1}, {4, 1}}},
        {4, 1, 0, 0, {{4, 1}, {3, 1}, {2, 1}, {1, 0}, {0, 0}}},
        {1, 0, 1, 3, {{1, 0}, {1, 1}, {1, 2}, {1, 3}}},
        {0, 0, 1, 4, {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}}},
    };
    for (const Case& c : cases) {
        UsePixels(6, 6);
        DrawLine(c.x0, c.y0, c.x1, c.y1);
        EXPECT_EQ(Lit(), c.expected) << c.x0 << "," << c.y0 << " to " << c.x1 << "," << c.y1;
        DeleteOffscreen(off);
        off = nullptr;
    }
}

TEST_F(DrawPrimitives, PixelDrawingIsCutAtTheBitmapEdges) {
    UsePixels(4, 3);
    DrawLine(-3, 1, 6, 1);
    DrawLine(2, -5, 2, 10);
    DrawPixel(4, 0);
    DrawPixel(0, 3);
    DrawPixel(-1, -1);
    EXPECT_EQ(Lit(), (Points{{0, 1}, {1, 1}, {2, 1}, {3, 1}, {2, 0}, {2, 2}}));
}

TEST_F(DrawPrimitives, ScreenRowZeroIsTheLastMemoryRow) {
    UsePixels(2, 3);
    DrawPixelColor(1, 0, 0x1234);
    const auto* last = reinterpret_cast<const std::uint16_t*>(off->pixels + 2 * off->stride);
    EXPECT_EQ(last[1], 0x1234);
    EXPECT_EQ(drawPixel16, 0x1234);
}

TEST_F(DrawPrimitives, CirclesByTheMidpointRule) {
    UsePixels(9, 9);
    DrawCircle(4, 4, 0);
    EXPECT_EQ(Lit(), (Points{{4, 4}}));
    DeleteOffscreen(off);
    UsePixels(9, 9);
    DrawCircle(4, 4, 1);
    EXPECT_EQ(Lit(), (Points{{4, 3}, {4, 5}, {3, 4}, {5, 4}}));
    DeleteOffscreen(off);
    UsePixels(9, 9);
    DrawCircle(4, 4, -1);
    EXPECT_TRUE(Lit().empty());
    DrawCircle(4, 4, 3);
    const Points lit = Lit();
    for (auto [x, y] : lit) EXPECT_EQ(lit.count({8 - x, y}), 1u);   // symmetric
    EXPECT_EQ(lit.count({4, 1}), 1u);
    EXPECT_EQ(lit.count({7, 4}), 1u);
    EXPECT_EQ(lit.count({4, 4}), 0u);
}

TEST_F(DrawPrimitives, BlendPixelMixesPerFiveBitChannel) {
    UsePixels(3, 1);
    auto* row = reinterpret_cast<std::uint16_t*>(off->pixels);
    row[0] = row[1] = 0x7FFF;
    row[2] = 0;
    BlendPixel(0, 0, 0, 0);
    EXPECT_EQ(Raw(0, 0), 0x7FFF);
    BlendPixel(1, 0, 0, 100);
    const int c = 31 * 155 / 255;
    EXPECT_EQ(Raw(1, 0), c << 10 | c << 5 | c);
    // A full-weight white must not spill one channel into the next.
    BlendPixel(2, 0, Rgb(255, 255, 255), 255);
    EXPECT_EQ(Raw(2, 0), 0x7FFF);
    BlendPixel(5, 0, 0, 100);   // outside: ignored
    preferences.word[pref::nightMode] = 2;
    row[0] = 0x7FFF;
    BlendPixel(0, 0, 0, 100);
    EXPECT_EQ(Raw(0, 0), c << 10);
}

TEST_F(DrawPrimitives, RectanglesFillWithTheDrawingColourOrTheBackground) {
    SetForeColor(Rgb(255, 0, 0));
    DrawRectangle(Bounds{10, 10, 5, 4}, 0);
    EXPECT_EQ(Screen(10, 10), Rgb(255, 0, 0));
    EXPECT_EQ(Screen(14, 13), Rgb(255, 0, 0));
    EXPECT_EQ(Screen(15, 13), kWhite);
    EXPECT_EQ(Screen(14, 14), kWhite);
    FillRectangle(Bounds{12, 11, 2, 2});
    EXPECT_EQ(Screen(12, 11), kWhite);
    EXPECT_EQ(Screen(11, 11), Rgb(255, 0, 0));

    // A rounded one: outline in the pen, inside in the brush, corners cut.
    SetForeColor(Rgb(0, 0, 255));
    DrawRectangle(Bounds{30, 30, 20, 20}, 4);
    EXPECT_EQ(Screen(30, 30), kWhite);
    EXPECT_EQ(Screen(40, 30), Rgb(0, 0, 255));
    EXPECT_EQ(Screen(40, 40), Rgb(0, 0, 255));
}

TEST_F(DrawPrimitives, WindowLinesLeaveTheEndPointAndFramesCloseTheBox) {
    SetForeColor(0);
    DrawLine(5, 5, 9, 5);
    EXPECT_EQ(Screen(5, 5), 0u);
    EXPECT_EQ(Screen(8, 5), 0u);
    EXPECT_EQ(Screen(9, 5), kWhite);
    DrawRectFrame(0, Bounds{20, 20, 4, 3});
    for (auto [x, y] : Points{{20, 20}, {20, 23}, {24, 23}, {24, 20}, {22, 20}, {22, 23}}) EXPECT_EQ(Screen(x, y), 0u);
    EXPECT_EQ(Screen(22, 21), kWhite);
    DrawPixel(100, 100);
    EXPECT_EQ(Screen(100, 100), 0u);
}

TEST_F(DrawPrimitives, ClipRectangleLimitsDrawingUntilReset) {
    SetForeColor(0);
    ClipRectangle(Bounds{10, 10, 10, 10});
    DrawRectangle(Bounds{0, 0, 100, 100}, 0);
    EXPECT_EQ(Screen(9, 15), kWhite);
    EXPECT_EQ(Screen(15, 15), 0u);
    EXPECT_EQ(Screen(20, 15), kWhite);
    ResetClip();
    DrawRectangle(Bounds{0, 0, 100, 100}, 0);
    EXPECT_EQ(Screen(9, 15), 0u);
}

TEST_F(DrawPrimitives, DiscIsFilledWithTheBackground) {
    SetForeColor(Rgb(255, 0, 0));
    DrawRectangle(Bounds{0, 0, 40, 40}, 0);
    DrawDisc(20, 20, 10);
    EXPECT_EQ(Screen(20, 20), kWhite);
    EXPECT_EQ(Screen(15, 20), Rgb(255, 0, 0));   // the outline, in the pen
    EXPECT_EQ(Screen(12, 20), Rgb(255, 0, 0));   // outside: untouched
}

TEST_F(DrawPrimitives, EraseWindowTopKeepsTheTitleBand) {
    SetForeColor(0);
    DrawRectangle(Bounds{0, 0, 240, 320}, 0);
    EraseWindowTop(window);
    EXPECT_EQ(Screen(5, 23), 0u);
    EXPECT_EQ(Screen(5, 24), kWhite);
    DrawRectangle(Bounds{0, 0, 240, 320}, 0);
    EraseWindowBottom(window);
    EXPECT_EQ(Screen(5, 297), 0u);
    EXPECT_EQ(Screen(5, 298), kWhite);
    EraseWindow(window);
    EXPECT_EQ(Screen(5, 5), kWhite);
}

}  // namespace
