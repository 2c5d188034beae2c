// The sky chart form through the headless driver: opening and closing, the timer, the pen
// (taps, drags, the areas it leaves alone) and the two golden pictures of modes 0 and 1.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/catalog_fixture.h"
#include "chart/chart_fixture.h"
#include "catalog/chart_buffers.h"
#include "catalog/record_file.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_form.h"
#include "chart/chart_form_fixture.h"
#include "chart/chart_links.h"
#include "chart/chart_popups.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/chart_tap.h"
#include "chart/chart_zoom.h"
#include "core/observing_time.h"
#include "shell/forms_fixture.h"
#include "support/golden_screen.h"

namespace {

class ChartFormTest : public ChartFormFixture {};

TEST_F(ChartFormTest, OpeningFillsAnEmptyListAndClosingKeepsTheZoom) {
    Open();
    EXPECT_EQ(chartForm.initRuns, 1);
    EXPECT_EQ(chartZoom, 3);
    EXPECT_EQ(searchCalls.count, 1);
    EXPECT_EQ(searchCalls.typeClass, 7);
    EXPECT_EQ(searchCalls.kind, 45);
    EXPECT_EQ(searchCalls.type, 27);
    EXPECT_EQ(chartSelectionIndex, 0);
    EXPECT_EQ(chartViews[0].view.ra, 13.42f);
    ASSERT_NE(chartState.offscreen, nullptr);
    EXPECT_EQ(chartForm.timerPeriod, 10000u);

    // A row chosen in the list puts the bubble's area back without a fault to report, and
    // it becomes the list's current position as a tap on it would.
    Pick(chartctl::kObjectsTrigger, chartctl::kObjectsList, 1);
    EXPECT_EQ(chartSelectionIndex, 1);
    EXPECT_EQ(selectionList.currentPosition, 1);
    EXPECT_TRUE(Texts().empty()) << Texts().front();

    // A later paint repaints the saved screen; it does not open the chart again.
    Call([] { platform::InvalidateRect(formWindow, nullptr, false); });
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(chartForm.initRuns, 1);

    Call([] { chartZoom = 5; });
    Call([] { RestoreMainLayout(); });
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(ChartSetting(chartpref::savedZoom), 5);
    EXPECT_EQ(controlRegistry.count, 0);
    EXPECT_EQ(chartState.offscreen, nullptr);
    EXPECT_TRUE(Texts().empty()) << Texts().front();
}

TEST_F(ChartFormTest, TimerPeriodFollowsTheCursorAndTheMountAndStepsTheClockEvery120s) {
    struct Case {
        int cursor;
        int tracking;
        unsigned period;
    } const cases[] = {{0, 0, 10000}, {1, 0, 1000}, {2, 0, 10000}, {0, 1, 250}};
    for (const Case& c : cases) {
        SetChartSetting(chartpref::cursor, c.cursor);
        scopeTracking = c.tracking;
        EXPECT_EQ(ChartTimerPeriod(), c.period) << c.cursor << " " << c.tracking;
    }
    scopeTracking = 0;
    SetChartSetting(chartpref::cursor, 0);
    Open();
    const int draws = chartForm.drawRuns;
    Advance(110000);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(chartForm.drawRuns, draws) << "ticks before 120 s only keep time";
    Advance(20000);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(chartForm.drawRuns, draws + 1);
    EXPECT_EQ(observingDateTime.minute, 32);
}

TEST_F(ChartFormTest, BlinkingCursorAlternatesEverySecond) {
    SetChartSetting(chartpref::cursor, 1);
    Open();
    EXPECT_EQ(chartForm.timerPeriod, 1000u);
    std::vector<int> shown;
    for (int i = 0; i < 6; ++i) {
        Advance(1000);
        ASSERT_TRUE(RunUntilIdle());
        shown.push_back(chartTap.blinkCounter);
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 0, 1, 0, 1, 0}));
}

TEST_F(ChartFormTest, PenAreasTheChartLeavesAloneAndTheTimerAfterThem) {
    Open();
    struct Case {
        const char* what;
        int x, y;
        int accepted;
    } const cases[] = {
        {"title band", 120, 5, 0},
        {"toolbar strip", 236, 100, 0},
        {"bottom-right corner", 235, 316, 0},
        {"chart", 120, 150, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Call([&c] { chartForm.penDownResult = static_cast<std::uint8_t>(ChartFormPenDown(c.x, c.y)); });
        EXPECT_EQ(chartForm.penDownResult, c.accepted);
        Call([] { chartForm.penDownResult = 0; penTapArmed = 0; });
    }
    // A tap in the title band stops the clock only for as long as the pen is down.
    Call([] { platform::SendMessage(formWindow, platform::kMsgPenDown, 0, platform::MakeLong(120, 5)); });
    EXPECT_EQ(chartForm.timerPeriod, 0u);
    Call([] { platform::SendMessage(formWindow, platform::kMsgPenUp, 0, platform::MakeLong(120, 5)); });
    EXPECT_EQ(chartForm.timerPeriod, 10000u);
}

TEST_F(ChartFormTest, SixPixelsIsATapSevenADragThatMovesTheChart) {
    Open();
    const int draws = chartForm.drawRuns;
    Drag(At(120, 150), At(126, 150), 3);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(chartTap.cursorX != 0 || chartTap.cursorY != 0, true) << "the pen-up was a tap";
    EXPECT_EQ(chartForm.panX, 0);

    chartTap = ChartTapState{};
    Drag(At(120, 150), At(127, 150), 3);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(chartForm.panX, 7);
    EXPECT_EQ(chartForm.drawRuns, draws + 1) << "one full redraw when the pen is lifted";
    EXPECT_EQ(chartTap.cursorX, 120 + 7) << "the cursor stands on the moved centre, no tap followed";
}

TEST_F(ChartFormTest, HorizonViewDragWrapsByATurn) {
    SetChartSetting(chartpref::chartType, kChartModeHorizon);
    Open();
    const int turn = [] {
        std::int32_t kx = 0;
        GetChartMetrics(nullptr, nullptr, &kx, nullptr);
        return static_cast<int>(std::llabs(static_cast<long long>(kx) * 360 / 65536));
    }();
    ASSERT_GT(turn, 0);
    Call([turn] { chartForm.panX = turn - 3; });
    Drag(At(60, 150), At(80, 150), 4);
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(chartForm.panX, 17) << "turn - 3 + 20 is 17 past a turn";
}

TEST_F(ChartFormTest, PictureSquareAndCompassSquare) {
    Open();
    PenAt(10, 30);
    EXPECT_EQ(chartForm.lastCommand, chartctl::kShowPicture);

    PenAt(20, 300);
    EXPECT_TRUE(Shown("Unkown form call")) << "the compass chart is asked for";
    platform::ClearShownBoxes();
    ClearRecordedReports();
    askedForms.clear();
    SetChartSetting(chartpref::hideCompass, 1);
    PenAt(20, 300);
    EXPECT_TRUE(askedForms.empty());
}

TEST_F(ChartFormTest, TapActionZeroAsksForTheObjectInformation) {
    SetChartSetting(chartpref::tapAction, 0);
    Open();
    askedForms.clear();
    PenAt(120, 170);
    EXPECT_EQ(askedForms, std::vector<int>{112});
    EXPECT_TRUE(Shown("Unkown form call"));
}

// A tap on another object rewrites the info lines for it at once: the lines under them are
// put back first, so the old text neither stays nor mixes with the new.
TEST_F(ChartFormTest, ATapRewritesTheInfoLinesForTheObjectFound) {
    SetChartSetting(chartpref::hideCompass, 1);
    Open();
    const Bounds r = chartState.chartRect;
    const int top = r.y + r.height - static_cast<int>(32 * screenScale.vertical);
    const auto band = [&] {
        const platform::Surface* screen = platform::WindowSurface(formWindow);
        const platform::Point o = platform::WindowOrigin(formWindow);
        std::vector<platform::Color> v;
        for (int y = top; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x) v.push_back(platform::PixelToColor(screen->Row(y + o.y)[x + o.x]));
        return v;
    };
    const std::vector<platform::Color> before = band();
    const ChartView first = chartViews[0].view;
    const SelectionRecord& other = selectionList.records[1];
    const int draws = chartForm.drawRuns;
    PenAt(SelectionPixelX(other), SelectionPixelY(other));
    ASSERT_FLOAT_EQ(chartViews[0].view.ra, other.rightAscension);
    ASSERT_EQ(chartForm.drawRuns, draws) << "the tap alone, no redraw";
    const std::vector<platform::Color> after = band();
    EXPECT_NE(after, before);
    // The lines on the screen are those of the object found, and those of the first object
    // come back exactly when drawn for it.
    const auto redraw = [this](ChartView view) {
        Call([view]() mutable {
            const platform::Dc dc = platform::GetWindowDc(formWindow);
            SetDrawTarget(formWindow, dc);
            PutBackChartInfoLinesArea();
            DrawChartInfoLines(chartClock.siderealTime, &view);
            platform::ReleaseDc(formWindow, dc);
        });
    };
    redraw(chartViews[0].view);
    EXPECT_EQ(band(), after);
    redraw(first);
    EXPECT_EQ(band(), before);
}

}  // namespace

namespace {

// The whole chart at scale 1 for the test's instant and site, day colours on white: the
// sky map at zoom 2 and the horizon view. VELKARION_UPDATE_GOLDEN=1 redraws them.
class ChartFormGoldenTest : public ChartFormTest {};

TEST_F(ChartFormGoldenTest, SkyMapAtZoomTwoAndHorizonView) {
    SetChartSetting(chartpref::savedZoom, 2);
    Open();
    ExpectScreenLike(std::filesystem::path(VELKARION_TEST_DATA) / "chart" / "chart_sky_map_zoom2.png");
    Call([] { RestoreMainLayout(); });
    ASSERT_TRUE(RunUntilIdle());

    SetChartSetting(chartpref::chartType, kChartModeHorizon);
    *FormRedrawFlag(kChartFormId) = 1;
    Open();
    ExpectScreenLike(std::filesystem::path(VELKARION_TEST_DATA) / "chart" / "chart_horizon_view.png");
}

}  // namespace
