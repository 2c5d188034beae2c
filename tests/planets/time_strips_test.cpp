// Time strip geometry: rows per unit by span, the row of an instant and the instant of a
// row, and the short client area.
#include "planets/time_strips.h"

#include <gtest/gtest.h>

#include "planets/planet_view_state.h"
#include "shell/draw_targets.h"

namespace {

class TimeStripsTest : public ::testing::Test {
protected:
    void SetUp() override { saved_ = screenScale; }
    void TearDown() override { screenScale = saved_; }
    ScaleFactors saved_;
};

TEST_F(TimeStripsTest, RowsPerUnitBySpanAndScale) {
    struct Case {
        double scale;
        int mode, subView, span, height;
        int top, stripHeight, rows;
        bool longStrip;
    };
    const Case cases[] = {
        {1, kJupiterMode, 0, 0, 320, 24, 188, 188, false},
        {1, kJupiterMode, 0, 1, 320, 24, 188, 94, false},
        {1, kJupiterMode, 0, 2, 320, 24, 188, 47, false},
        {1, kJupiterMode, 0, 3, 320, 24, 188, 14, false},
        {2, kSaturnMode, 0, 3, 640, 48, 376, 28, false},
        {1, kSaturnMode, 1, 2, 320, 24, 188, 47, true},
        {1, kMarsMode, 3, 0, 320, 24, 165, 165, true},
        {1, kPhaseMode, 0, 0, 320, 24, 208, 208, true},
        {2, kPhaseMode, 2, 1, 640, 48, 416, 208, true},
        // Too short for a row per unit: still one.
        {1, kJupiterMode, 0, 2, 134, 24, 2, 1, false},
        {1, kJupiterMode, 0, 0, 100, 24, 1, 1, false},
    };
    for (const Case& c : cases) {
        screenScale = ScaleFactors{c.scale, c.scale};
        const StripLayout l = GetStripLayout(c.mode, c.subView, c.span, c.height);
        EXPECT_EQ(l.top, c.top) << c.mode << "/" << c.subView << " span " << c.span;
        EXPECT_EQ(l.height, c.stripHeight) << c.mode << "/" << c.subView << " span " << c.span;
        EXPECT_EQ(l.rowsPerUnit, c.rows) << c.mode << "/" << c.subView << " span " << c.span;
        EXPECT_EQ(l.longStrip, c.longStrip) << c.mode << "/" << c.subView;
        EXPECT_EQ(l.rowStep, c.mode == kJupiterMode || c.mode == kSaturnMode ? 2 : 1);
    }
}

TEST_F(TimeStripsTest, RowsAndInstantsAgree) {
    screenScale = ScaleFactors{1, 1};
    const StripInstant first{2025, 3, 30, 0, 0};
    for (int span : {0, 1, 2, 3}) {
        const StripLayout l = GetStripLayout(kJupiterMode, 0, span, 320);
        for (int y = l.top; y < l.top + l.height; ++y) {
            StripInstant t{};
            ASSERT_TRUE(StripRowInstant(l, y, first, &t));
            EXPECT_EQ(StripInstantRow(l, first, t), y) << "span " << span << " row " << y;
        }
        StripInstant t{};
        EXPECT_FALSE(StripRowInstant(l, l.top - 1, first, &t));
        EXPECT_FALSE(StripRowInstant(l, l.top + l.height, first, &t));
    }
    // Span "1": the strip is one day, its last row late in the evening.
    const StripLayout day = GetStripLayout(kJupiterMode, 0, 0, 320);
    StripInstant t{};
    StripRowInstant(day, day.top + day.height - 1, first, &t);
    EXPECT_EQ(t.day, 30);
    EXPECT_GE(t.hour, 23);
    // Long strips: 1 January of the next year lies R rows down.
    const StripLayout years = GetStripLayout(kPhaseMode, 0, 3, 320);
    const StripInstant january{2025, 1, 1, 0, 0};
    EXPECT_EQ(StripInstantRow(years, january, StripInstant{2026, 1, 1, 0, 0}), years.top + years.rowsPerUnit);
    StripRowInstant(years, years.top + years.rowsPerUnit, january, &t);
    EXPECT_EQ(t.year, 2026);
    EXPECT_EQ(t.month, 1);
    EXPECT_EQ(t.day, 1);
}

}  // namespace
