// The save-unders of the info bubble and the scope cursor give back the pixels they saved.
#include <gtest/gtest.h>

#include "chart/chart_save_under.h"
#include "chart/chart_state.h"
#include "core/report.h"
#include "platform/gfx_context.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "support/draw_target_window.h"
#include "support/recorded_reports.h"

namespace {

using platform::Color;
using platform::Rgb;

class ChartSaveUnderTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ResetWindows();
        platform::SetScreenGeometry(1, 0, 0);
        InitScreenScale();
        OpenDrawTargetWindow(platform::Rect{0, 0, 240, 320}, window, dc);
        screen = CreateOffscreen(240, 320);
        ASSERT_NE(screen, nullptr);
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x) platform::SetPixel(screen->dc, x, y, Pattern(x, y));
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x) original[y][x] = platform::GetPixel(screen->dc, x, y);
        ClearRecordedReports();
    }
    void TearDown() override {
        FreeChartBitmaps();
        DeleteOffscreen(screen);
        CloseDrawTargetWindow(window, dc);
        platform::ResetWindows();
        ClearRecordedReports();
    }
    static Color Pattern(int x, int y) { return Rgb((x * 7) & 0xF8, (y * 5) & 0xF8, ((x + y) * 3) & 0xF8); }
    void Paint(int x0, int y0, int w, int h) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x) platform::SetPixel(screen->dc, x, y, Rgb(255, 255, 0));
    }
    bool Restored(int x0, int y0, int w, int h) {
        for (int y = y0; y < y0 + h; ++y)
            for (int x = x0; x < x0 + w; ++x)
                if (platform::GetPixel(screen->dc, x, y) != original[y][x]) return false;
        return true;
    }

    platform::Window window;
    platform::Dc dc;
    DrawWindow* screen = nullptr;
    Color original[320][240];
};

TEST_F(ChartSaveUnderTest, BubbleAndCursorComeBackExactly) {
    const int f = GetDpiFactor();
    SaveBubbleArea(screen, 30, 40);
    ASSERT_NE(chartState.bubble.bitmap, nullptr);
    EXPECT_EQ(chartState.bubble.width, 78 * f);
    EXPECT_EQ(chartState.bubble.height, 28 * f);
    EXPECT_EQ(chartState.bubble.x, 30);
    Paint(30, 40, 78 * f, 28 * f);
    const Bounds clip{0, 0, 240, 320};
    RestoreBubbleArea(30, 40, &clip, screen);
    EXPECT_TRUE(Restored(30, 40, 78 * f, 28 * f));
    EXPECT_EQ(chartState.bubble.x, 0);
    EXPECT_EQ(chartState.bubble.y, 0);

    SaveCursorArea(screen, 100, 200);
    EXPECT_EQ(chartState.cursor.width, 28 * f);
    Paint(100, 200, 28 * f, 28 * f);
    // Clipped: only the part inside the rectangle comes back.
    const Bounds half{100, 200, 28 * f, 14 * f};
    RestoreCursorArea(100, 200, &half, screen);
    EXPECT_TRUE(Restored(100, 200, 28 * f, 14 * f));
    EXPECT_NE(platform::GetPixel(screen->dc, 100, 200 + 14 * f), original[200 + 14 * f][100]);
    EXPECT_TRUE(RecordedReports().empty());

    FreeChartBitmaps();
    EXPECT_EQ(chartState.bubble.bitmap, nullptr);
    EXPECT_EQ(chartState.cursor.bitmap, nullptr);
}

TEST_F(ChartSaveUnderTest, MissingPiecesAreReported) {
    const Bounds clip{0, 0, 240, 320};
    RestoreBubbleArea(0, 0, &clip, screen);
    SaveBubbleArea(nullptr, 10, 10);
    RestoreBubbleArea(0, 0, &clip, nullptr);
    RestoreBubbleArea(0, 0, nullptr, screen);
    ASSERT_EQ(ReportTexts(), (std::vector<std::string>{"WinHandled Null\n", "WinDest Null\n", "clipBounds Null\n"}));
    EXPECT_EQ(chartState.bubble.x, 10) << "nothing else happens";
    // The cursor's restore is silent.
    RestoreCursorArea(0, 0, &clip, screen);
    SaveCursorArea(screen, 0, 0);
    RestoreCursorArea(0, 0, nullptr, screen);
    RestoreCursorArea(0, 0, &clip, nullptr);
    EXPECT_EQ(RecordedReports().size(), 3u);
}

}  // namespace
