// The time bar of the yearly charts on a test form: outside the bar it only brings the
// remembered marker into the chart; on it, it writes the marker's day into the fields, and
// the column under the marker comes back when the marker moves on.
#include "shell/time_bar.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/draw_primitives.h"
#include "shell/form_paint_step.h"
#include "shell/forms_fixture.h"
#include "platform/surface.h"
#include "shell/utilities.h"

using namespace forms_test;

namespace {

class TimeBarTest : public FormsFixture {
protected:
    void SetUp() override {
        FormsFixture::SetUp();
        if (HasFatalFailure()) return;
        saved_ = timeBar;
        timeBar = TimeBarState{240, 320, 0.5f, 0};
        Scripts()[kFormA].fields = {{kShortField, 0}, {kField, 0}};
        Open(kFormA);
        // A background whose rows all differ, so that a column put back one row off shows.
        Call([] {
            DrawOnForm(formWindow, [] {
                for (int y = 0; y < 320; ++y) DrawLineColor(0, y, 239, y, platform::Rgb(y % 256, (7 * y) % 256, 90));
            });
        });
        SetText(kShortField, "none");
        SetText(kField, "12:34");
    }
    void TearDown() override {
        FreeTimeBarBitmap();
        timeBar = saved_;
        FormsFixture::TearDown();
    }
    int Bar(int x, int y, int timeField = kField, int year = 2025, int month = 1) {
        int result = -1;
        Call([&] { DrawOnForm(formWindow, [&] { result = DrawTimeBar(x, y, kShortField, timeField, year, month); }); });
        return result;
    }
    static std::vector<platform::Color> Column(int x) {
        std::vector<platform::Color> out;
        for (int y = 0; y < 320; ++y) out.push_back(PixelOf(formWindow, x, y));
        return out;
    }
    static std::string Date(int day, int month, int year) {
        char text[40];
        FormatDate(text, day, month, year);
        return text;
    }
    TimeBarState saved_;
};

TEST_F(TimeBarTest, OutsideTheBarOnlyTheRememberedMarkerMoves) {
    struct Case {
        int marker, x, y, after;
    };
    const Case cases[] = {
        {3, 5, 100, 20},      // left of the margin: brought to the margin
        {500, 5, 100, 240},   // beyond the chart: brought to its width
        {100, 100, 10, 100},  // above the bar
        {100, 100, 280, 100}, // below it
    };
    const std::vector<platform::Color> before = Column(100);
    for (const Case& c : cases) {
        timeBar.markerX = c.marker;
        EXPECT_EQ(Bar(c.x, c.y), 0) << c.x << "," << c.y;
        EXPECT_EQ(timeBar.markerX, c.after) << c.x << "," << c.y;
    }
    EXPECT_EQ(Text(kShortField), "none");
    EXPECT_EQ(Text(kField), "12:34");
    EXPECT_EQ(Column(100), before);
}

TEST_F(TimeBarTest, TheMarkersDayIsTheMonthsFirstPlusTheWholeDaysUnderIt) {
    struct Case {
        float pixelsPerDay;
        int x, year, month;
        int day, dayMonth, dayYear;
    };
    const Case cases[] = {
        {0.5f, 50, 2025, 1, 2, 3, 2025},   // 60 days on
        {2.0f, 81, 2025, 1, 31, 1, 2025},  // 30.5 days: the whole days
        {1.0f, 20, 2024, 2, 1, 2, 2024},   // at the margin: the first
        {0.5f, 239, 2024, 12, 12, 2, 2026}, // past the year's end
    };
    for (const Case& c : cases) {
        timeBar.pixelsPerDay = c.pixelsPerDay;
        SetText(kField, "12:34");
        EXPECT_EQ(Bar(c.x, 100, kField, c.year, c.month), 1);
        EXPECT_EQ(timeBar.markerX, c.x);
        EXPECT_EQ(Text(kShortField), Date(c.day, c.dayMonth, c.dayYear)) << c.x << " at " << c.pixelsPerDay;
        EXPECT_EQ(Text(kField), "00:00");
    }
    // No time field: only the date is written.
    SetText(kField, "12:34");
    EXPECT_EQ(Bar(60, 100, 0), 1);
    EXPECT_EQ(Text(kField), "12:34");
}

// Columns right of the test form's controls, so that the screen shows all of them.
TEST_F(TimeBarTest, TheColumnUnderTheMarkerComesBack) {
    const std::vector<platform::Color> first = Column(220), second = Column(230);
    ASSERT_EQ(Bar(220, 100), 1);
    const platform::Color red = platform::PixelToColor(platform::ColorToPixel(platform::Rgb(155, 0, 0)));
    const std::vector<platform::Color> marked = Column(220);
    // From 45 down to 274, the end left out as every line of the drawing layer leaves it.
    for (int y = 0; y < 320; ++y) {
        if (y >= 45 && y < 274) EXPECT_EQ(marked[y], red) << y;
        else EXPECT_EQ(marked[y], first[y]) << y;
    }
    ASSERT_EQ(Bar(230, 200), 1);
    EXPECT_EQ(Column(220), first);
    EXPECT_EQ(Column(230)[100], red);
    // Forgotten: the next marker leaves the last one standing.
    FreeTimeBarBitmap();
    FreeTimeBarBitmap();
    ASSERT_EQ(Bar(235, 200), 1);
    EXPECT_EQ(Column(230)[100], red);
    EXPECT_NE(Column(230), second);
}

}  // namespace
