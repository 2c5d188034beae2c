// The description block of an object page: Dreyer's text and its words for an object that
// has them, a cleared rectangle for any other.
#include "shell/dreyer_block.h"

#include <gtest/gtest.h>

#include "catalog/records.h"
#include "catalog/selection_fixture.h"
#include "platform/gfx_context.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"
#include "support/draw_target_window.h"

namespace {

class DreyerBlockTest : public SelectionFixture {
protected:
    void SetUp() override {
        SelectionFixture::SetUp();
        WriteDescriptions({{42u << 16 | 40, "pB,S,R"}});
        OpenSet();
        platform::ResetWindows();
        platform::SetScreenGeometry(1, 0, 0);
        preferences.word[pref::nightMode] = 0;
        InitScreenScale();
        CreateSchemeBrushes();
        OpenDrawTargetWindow(platform::Rect{0, 0, 240, 320}, window, dc);
    }
    void TearDown() override {
        CloseDrawTargetWindow(window, dc);
        platform::ResetWindows();
        DeleteSchemeBrushes();
        SelectionFixture::TearDown();
    }
    // Pixels of the rectangle that differ from the back colour.
    int Ink(const Bounds& r) const {
        const platform::Surface* s = platform::WindowSurface(window);
        const platform::Point o = platform::WindowOrigin(window);
        const platform::Color back = GetBackColor();
        int n = 0;
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x) n += platform::PixelToColor(s->Row(y + o.y)[x + o.x]) != back;
        return n;
    }
    platform::Window window;
    platform::Dc dc;
};

TEST_F(DreyerBlockTest, DrawsTheDescriptionAndItsWordsOrClearsTheRectangle) {
    const Bounds area{10, 40, 200, 120};
    struct Case {
        const char* what;
        std::uint32_t catalog, number;
        int type;
        bool drawn;
    } const cases[] = {
        {"NGC 40", 42, 40, 25, true},
        {"no description", 42, 41, 25, false},
        {"a planet", 42, 40, 27, false},
        {"a bright star", 54, 40, 30, false},
        {"a user object", 63, 40, 25, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // What was there before is cleared in every case.
        SetForeColor(platform::Rgb(0, 0, 255));
        DrawRectangle(area, 0);
        ObjectRef object;
        object.catalog = c.catalog;
        object.number = c.number;
        object.type = c.type;
        Bounds rect = area;
        DrawDreyerDesc(&object, &rect);
        EXPECT_EQ(rect.x, area.x);
        EXPECT_EQ(rect.width, area.width);
        if (!c.drawn) {
            EXPECT_EQ(rect.y, area.y);
            EXPECT_EQ(Ink(area), 0);
            continue;
        }
        // Two labels and the raw text above the words, which start where y moved to.
        EXPECT_GT(rect.y, area.y + 2 * 13);
        EXPECT_GT(Ink(Bounds{area.x, area.y, area.width, rect.y - area.y}), 0);
        EXPECT_GT(Ink(Bounds{area.x, rect.y, area.width, 14}), 0);
        EXPECT_EQ(Ink(Bounds{area.x, rect.y + 40, area.width, area.y + area.height - rect.y - 40}), 0);
    }
    Bounds rect = area;
    DrawDreyerDesc(nullptr, &rect);
    EXPECT_EQ(Ink(area), 0);
}

}  // namespace
