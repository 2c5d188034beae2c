// The chart's state: the clock step, the instant and its projection flags, the zoom levels
// with their tables and the mount's rate, the colours, the views and the popups' rows.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstring>

#include "astro/time_scales.h"
#include "chart/chart_services.h"
#include "chart_fixture.h"
#include "core/report.h"
#include "shell/colour_scheme.h"
#include "shell/fonts.h"

namespace {

class ChartStateTest : public ChartTest {
protected:
    void Elapse(std::uint32_t seconds) { ticks += seconds * 1000; }
    static ObservingDateTime Now() { return observingDateTime; }
};

bool operator==(const ObservingDateTime& a, const ObservingDateTime& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(ChartStateTest, ClockStepsEvery120SecondsOrWhenForced) {
    ticks = 5000;
    deviceTime = {2024, 5, 10, 23, 0, 7};
    EXPECT_EQ(UpdateCurrentTime(0), 0) << "the first call only starts the count";
    EXPECT_EQ(chartClock.lastStep, 5u);
    EXPECT_EQ(Now().hour, 22) << "the time is not touched";

    Elapse(119);
    EXPECT_EQ(UpdateCurrentTime(0), 0);
    chartState.starsProjected = chartState.selectionProjected = 1;
    chartState.penMoved = 1;
    Elapse(1);
    EXPECT_EQ(UpdateCurrentTime(0), 1) << "120 s";
    EXPECT_EQ(chartClock.lastStep, 125u);
    EXPECT_TRUE(Now() == (ObservingDateTime{2024, 5, 10, 23, 0, 7})) << "Automatic reads the device clock";
    const double lst = LocalSiderealTime(2024, 5, 10, 23, 0, 7, observerLocation.longitude, 60);
    EXPECT_FLOAT_EQ(chartClock.siderealTime, static_cast<float>(lst));
    EXPECT_EQ(chartClock.siderealTimeFixed, static_cast<std::int32_t>(lst * 4392264.877774095));
    EXPECT_EQ(chartState.starsProjected, 0);
    EXPECT_EQ(chartState.selectionProjected, 0);
    EXPECT_EQ(chartState.redraw, 1);
    EXPECT_EQ(chartState.penMoved, 0);

    EXPECT_EQ(UpdateCurrentTime(1), 1) << "force always steps";
    EXPECT_EQ(UpdateCurrentTime(0), 0);
}

TEST_F(ChartStateTest, ManualTimeRunsOnByTheSecondsElapsed) {
    SetChartSetting(chartpref::timeUpdate, 1);
    chartClock.siderealTime = 1.0f;  // a time is known
    ticks = 1000;
    UpdateCurrentTime(0);
    SetObservingDateTime(2024, 12, 31, 23, 58, 20);
    Elapse(185);
    ASSERT_EQ(UpdateCurrentTime(0), 1);
    EXPECT_TRUE(Now() == (ObservingDateTime{2025, 1, 1, 0, 1, 25})) << "3 min 5 s, into the new year";

    observingDateTime.second = 58;
    Elapse(125);
    ASSERT_EQ(UpdateCurrentTime(0), 1);
    EXPECT_TRUE(Now() == (ObservingDateTime{2025, 1, 1, 0, 4, 3})) << "2 min, then 58 + 5 carries a minute";

    // Until a sidereal time is known the device clock is read, even in manual mode.
    chartClock.siderealTime = 0.0f;
    ASSERT_EQ(UpdateCurrentTime(1), 1);
    EXPECT_TRUE(Now() == (ObservingDateTime{2024, 5, 10, 22, 30, 0}));
}

TEST_F(ChartStateTest, NewInstantClearsTheFlagsOnlyWhenTheSiderealTimeMoves) {
    ChartView view{};
    view.catalog = 42;
    view.ra = 5.5f;
    chartSelectionIndex = 7;
    chartState.starsProjected = chartState.selectionProjected = 1;
    SetSkyDateTime(&view, 2024, 6, 1, 21, 15);
    EXPECT_EQ(chartState.starsProjected, 0);
    EXPECT_EQ(chartState.selectionProjected, 0);
    EXPECT_EQ(chartSelectionIndex, 0);
    EXPECT_EQ(Now().day, 1);
    EXPECT_EQ(Now().minute, 15);
    EXPECT_FLOAT_EQ(chartViews[0].view.ra, 5.5f);
    const double lst = LocalSiderealTime(2024, 6, 1, 21, 15, 0, observerLocation.longitude, 60);
    EXPECT_FLOAT_EQ(chartClock.siderealTime, static_cast<float>(lst));

    chartState.starsProjected = chartState.selectionProjected = 1;
    chartSelectionIndex = 3;
    SetSkyDateTime(nullptr, 2024, 6, 1, 21, 15);
    EXPECT_EQ(chartState.starsProjected, 1) << "the same sidereal time";
    EXPECT_EQ(chartState.selectionProjected, 1);
    EXPECT_EQ(chartSelectionIndex, 0);
    EXPECT_FLOAT_EQ(chartViews[0].view.ra, 5.5f) << "no view, no change";

    InvalidateSelectionProjection();
    EXPECT_EQ(chartState.selectionProjected, 0);
    EXPECT_EQ(chartState.starsProjected, 1);
}

TEST_F(ChartStateTest, ZoomIsClampedKeptForTheModeAndEmptiesTheBuffers) {
    std::memset(starBuffer, 1, 8);
    std::memset(objectBuffer, 1, 8);
    EXPECT_EQ(SetChartZoom(-5), 0);
    EXPECT_EQ(SetChartZoom(20), 13);
    EXPECT_EQ(chartState.otherZoom, 13);
    EXPECT_EQ(lastDrawnRow, -2);
    EXPECT_EQ(chartState.redraw, 1);
    ExpectBuffersEmpty();

    SetChartSetting(chartpref::chartType, kChartModeHorizon);
    EXPECT_EQ(SetChartZoom(4), 4);
    EXPECT_EQ(chartState.horizonZoom, 4);
    EXPECT_EQ(chartState.otherZoom, 13);
    PrepareChartView();
    EXPECT_EQ(chartZoom, 4) << "each redraw takes the level kept for its mode";
    SetChartSetting(chartpref::chartType, kChartModeSkyMap);
    PrepareChartView();
    EXPECT_EQ(chartZoom, 13);
    EXPECT_TRUE(linkCalls.rates.empty()) << "no mount followed";
}

TEST_F(ChartStateTest, ZoomSetsTheRateOfAFollowedMount) {
    scopeTracking = 1;
    preferences.word[pref::scopeDrive] = 2;
    const int expected[kZoomLevels] = {0, 0, 0, 0, 0, 1, 1, 1, 2, 2, 3, 3, 3, -1};
    for (int level = 0; level < kZoomLevels; ++level) {
        linkCalls.rates.clear();
        SetChartZoom(level);
        if (expected[level] < 0) {
            EXPECT_TRUE(linkCalls.rates.empty()) << "level 13 leaves the rate";
        } else {
            ASSERT_EQ(linkCalls.rates.size(), 1u) << level;
            EXPECT_EQ(linkCalls.rates[0], expected[level]) << level;
        }
    }
    linkCalls.rates.clear();
    linkCalls.encoder = true;
    SetChartZoom(3);
    EXPECT_TRUE(linkCalls.rates.empty()) << "an encoder box has no rates";
    linkCalls.encoder = false;
    preferences.word[pref::scopeDrive] = 0;
    SetChartZoom(3);
    EXPECT_TRUE(linkCalls.rates.empty()) << "no drive chosen";
}

TEST_F(ChartStateTest, ZoomTables) {
    const float nominal[kZoomLevels] = {180, 150, 120, 90, 60, 45, 30, 20, 10, 5, 2.5f, 1.5f, 1, 0.5f};
    for (int n = 0; n < kZoomLevels; ++n) EXPECT_FLOAT_EQ(GetZoomScale(n), 8.0f / (3.0f * nominal[n])) << n;
    EXPECT_NEAR(GetZoomScale(0), 0.014815f, 1e-6f);
    EXPECT_NEAR(GetZoomScale(13), 5.333333f, 1e-6f);
    EXPECT_EQ(GetZoomScale(14), 0.0f);
    EXPECT_EQ(GetZoomScale(-3), GetZoomScale(0));
    SetChartSetting(chartpref::savedZoom, 6);
    EXPECT_EQ(GetZoomScale(-1), GetZoomScale(6)) << "-1 is the saved level";
    EXPECT_FLOAT_EQ(GetZoomFieldWidth(-1), 40.1f);
    EXPECT_FLOAT_EQ(GetZoomFieldWidth(13), 0.7f);
    EXPECT_FLOAT_EQ(GetZoomFieldWidth(14), 75.0f);
    EXPECT_FLOAT_EQ(GetZoomFieldWidth(99), 75.0f);

    // The chart scales are multiplied by the dpi factor once.
    const int f = GetDpiFactor();
    ASSERT_GT(f, 1);
    EXPECT_EQ(ScaleChartScalesForDpi(), 1);
    EXPECT_EQ(zoomChartScales[0], 65536 * f);
    EXPECT_EQ(zoomChartScales[13], 16500000 * f);
    EXPECT_EQ(ScaleChartScalesForDpi(), 0);
    EXPECT_EQ(zoomChartScales[0], 65536 * f);
}

// Levels from before the chart ever opened, or past the tables, never index outside them.
TEST_F(ChartStateTest, MetricsAndOrientationCheckTheirLevel) {
    SetChartSetting(chartpref::savedZoom, 4);
    SetChartSetting(chartpref::viewFirst + 4, 2);  // level 4 mirrors both axes
    SetChartSetting(chartpref::viewLast, 3);       // levels 9 and up mirror x
    PrepareChartView();
    ASSERT_EQ(chartZoom, -1);
    std::int32_t cx, cy, sx, sy;
    GetChartMetrics(&cx, &cy, &sx, &sy);
    EXPECT_EQ(sx, -zoomChartScales[4]);
    EXPECT_EQ(sy, -zoomChartScales[4]);
    EXPECT_EQ(cx, 120);
    EXPECT_EQ(cy, 160);
    EXPECT_EQ(GetChartFovIndex(), 2);
    EXPECT_EQ(GetChartZoomSelection(), 4);

    chartState.otherZoom = 13;
    SetChartSetting(chartpref::chartType, kChartModeSkyMap);
    PrepareChartView();
    GetChartMetrics(nullptr, nullptr, &sx, &sy);
    EXPECT_EQ(sx, -zoomChartScales[13]);
    EXPECT_EQ(sy, zoomChartScales[13]);
    EXPECT_EQ(GetChartFovIndex(), 3);

    // The horizon view: x runs the other way, 0.8 of the scale.
    chartState.horizonZoom = 2;
    SetChartSetting(chartpref::chartType, kChartModeHorizon);
    PrepareChartView();
    GetChartMetrics(nullptr, nullptr, &sx, &sy);
    EXPECT_EQ(sx, -static_cast<std::int32_t>(zoomChartScales[2] * 0.8));
    chartState.centreOffsetX = 30;
    chartState.centreOffsetY = -12;
    GetChartMetrics(&cx, &cy, nullptr, nullptr);
    EXPECT_EQ(cx, 90);
    EXPECT_EQ(cy, 172);
}

TEST_F(ChartStateTest, PrepareChartViewTakesTheLimitsAndTheLayout) {
    chartState.otherZoom = 3;
    PrepareChartView();
    float star, object;
    GetMagnitudeLimits(3, &star, &object);
    EXPECT_EQ(chartState.starLimit, star);
    EXPECT_EQ(chartState.objectLimit10, static_cast<int>(object * 10));
    EXPECT_EQ(chartState.width, 240);
    EXPECT_EQ(chartState.height, 320);
    EXPECT_EQ(chartState.chartRect.y, 21);
    EXPECT_EQ(chartState.chartRect.height, 299);
    EXPECT_EQ(chartState.pictureSquare.width, 40);
    Bounds rect;
    GetChartCentre(nullptr, nullptr, &rect);
    EXPECT_EQ(rect.height, 299);
}

struct ColourCase {
    int background;
    int line;
    int night;
    ColourRecord entry0, entry1, entry3, entry4, background4;
    platform::Color chartBackground, line1, label, grid;
};

TEST_F(ChartStateTest, ColoursFollowBackgroundLineColourAndNightMode) {
    using platform::Rgb;
    // Night level 1 is red 102: the secondary and grid shades are 50 and 70 below it.
    const ColourCase cases[] = {
        {0, 0, 0, {0, 255, 255, 255}, {1, 102, 0, 204}, {3, 51, 51, 102}, {4, 187, 187, 153}, {0, 0, 0, 0},
         Rgb(0, 0, 0), Rgb(102, 0, 204), Rgb(255, 0, 0), Rgb(51, 51, 102)},
        {1, 1, 0, {0, 255, 255, 255}, {1, 102, 0, 0}, {3, 51, 51, 102}, {4, 187, 187, 153}, {0, 21, 21, 70},
         Rgb(21, 21, 70), Rgb(140, 0, 0), Rgb(255, 0, 0), Rgb(51, 51, 102)},
        {2, 2, 0, {0, 255, 255, 255}, {1, 102, 102, 102}, {3, 153, 153, 153}, {4, 0, 0, 0}, {0, 255, 255, 255},
         Rgb(255, 255, 255), Rgb(0, 0, 0), Rgb(0, 0, 0), Rgb(130, 130, 130)},
        {0, 3, 0, {0, 255, 255, 255}, {1, 0, 0, 0}, {3, 51, 51, 102}, {4, 187, 187, 153}, {0, 0, 0, 0},
         Rgb(0, 0, 0), Rgb(0, 0, 0), Rgb(255, 0, 0), Rgb(51, 51, 102)},
        {1, 0, 1, {0, 255, 0, 0}, {1, 153, 0, 0}, {3, 102, 0, 0}, {4, 187, 0, 0}, {0, 0, 0, 0},
         Rgb(0, 0, 0), Rgb(140, 0, 0), Rgb(255, 0, 0), Rgb(32, 0, 0)},
        {2, 3, 1, {0, 255, 0, 0}, {1, 153, 0, 0}, {3, 102, 0, 0}, {4, 203, 0, 0}, {0, 0, 0, 0},
         Rgb(0, 0, 0), Rgb(140, 0, 0), Rgb(255, 0, 0), Rgb(32, 0, 0)},
    };
    for (const ColourCase& c : cases) {
        SetChartSetting(chartpref::background, c.background);
        SetChartSetting(chartpref::lineColor, c.line);
        SetChartSetting(chartpref::nightMode, c.night);
        SetChartColors();
        const auto same = [](const ColourRecord& a, const ColourRecord& b) {
            return a.red == b.red && a.green == b.green && a.blue == b.blue;
        };
        EXPECT_TRUE(same(chartColors[0], c.entry0)) << c.background << c.line << c.night;
        EXPECT_TRUE(same(chartColors[1], c.entry1)) << c.background << c.line << c.night;
        EXPECT_TRUE(same(chartColors[3], c.entry3)) << c.background << c.line << c.night;
        EXPECT_TRUE(same(chartColors[4], c.entry4)) << c.background << c.line << c.night;
        EXPECT_TRUE(same(chartBackgroundColor, c.background4)) << c.background << c.line << c.night;
        if (c.night) {
            for (const ColourRecord& e : chartColors) EXPECT_TRUE(e.green == 0 && e.blue == 0) << "only red at night";
        }

        PrepareChartView();
        const ChartColourSet& set = chartState.colours;
        EXPECT_EQ(set.background, c.chartBackground) << c.background << c.line << c.night;
        EXPECT_EQ(set.line, c.line1) << c.background << c.line << c.night;
        EXPECT_EQ(set.label, c.label) << c.background << c.line << c.night;
        EXPECT_EQ(set.grid, c.grid) << c.background << c.line << c.night;
        // The symbol set drawn on white only by day on a white background.
        EXPECT_EQ(chartSymbols.transparentColour, c.background == 2 && !c.night ? 0xFFFFFFu : 0u);
    }
    EXPECT_EQ(chartState.colours.secondary, platform::Rgb(52, 0, 0));
}

TEST_F(ChartStateTest, ViewsAndCentre) {
    ChartView view{};
    view.catalog = 40;
    view.number = 31;
    view.ra = 0.71f;
    view.dec = 41.27f;
    chartViews[0].opaque[3] = 77;
    SetChartView(&view);
    SetChartView(nullptr);
    ChartView out{};
    GetChartView(&out);
    GetChartView(nullptr);
    EXPECT_EQ(out.number, 31u);
    EXPECT_EQ(chartViews[0].opaque[3], 77) << "the rest of the record is kept";

    // The sky map centres on its object; a sky view's centre leaves the object's place.
    SetChartSetting(chartpref::chartType, kChartModeWholeSky);
    SetChartCentre(120.0f, 35.0f);
    float ra, dec;
    GetChartCentre(&ra, &dec, nullptr);
    EXPECT_FLOAT_EQ(ra, 120.0f);
    EXPECT_FLOAT_EQ(chartViews[0].view.ra, 0.71f);
    SetChartSetting(chartpref::chartType, kChartModeSkyMap);
    SetChartCentre(3.5f, -20.0f);
    GetChartCentre(&ra, &dec, nullptr);
    EXPECT_FLOAT_EQ(ra, 3.5f);
    EXPECT_FLOAT_EQ(dec, -20.0f);
    EXPECT_FLOAT_EQ(chartViews[0].view.ra, 3.5f);
    EXPECT_EQ(chartViews[0].view.number, 31u);

    SelectionRecord record{};
    record.catalogCode = 45;
    record.objectIndex = 4;
    record.rightAscension = 7.0f;
    record.magnitude10 = -25;
    SetChartViewFromRecord(&record);
    EXPECT_EQ(chartViews[0].view.catalog, 45u);
    EXPECT_EQ(chartViews[0].view.number, 5u);
    EXPECT_FLOAT_EQ(chartViews[0].view.magnitude, -2.5f);
    // The centre is words 4 and 5 of the view.
    const auto words = std::bit_cast<std::array<std::int32_t, kChartViewWords>>(chartViews[1].view);
    EXPECT_EQ(words[4], std::bit_cast<std::int32_t>(3.5f));
    EXPECT_EQ(words[5], std::bit_cast<std::int32_t>(-20.0f));
}

TEST_F(ChartStateTest, PopupRows) {
    lastDrawnRow = -3;
    EXPECT_EQ(GetChartPopup1(), 0);
    lastDrawnRow = 6;
    EXPECT_EQ(GetChartPopup1(), 6);
    chartFilterRow = 8;
    EXPECT_EQ(GetChartPopup2(), 0);
    chartFilterRow = 5;
    EXPECT_EQ(GetChartPopup2(), 5);
    SetChartSetting(chartpref::chartType, kChartModeVisibleSky);
    EXPECT_EQ(GetChartPopup3(), 8);
    chartZoom = 11;
    SetChartSetting(chartpref::viewLast, 1);
    EXPECT_EQ(GetChartFovIndex(), 1) << "levels 10 and above share the last word";
    EXPECT_EQ(GetChartZoomSelection(), 11);
    SetSkyViewOwner(1);
    SetSkyViewFlag(0);
    EXPECT_EQ(skyViewOwner, 1);
    EXPECT_EQ(skyViewFlag, 0);
}

TEST_F(ChartStateTest, NightModeCommandReleasesAndRedoesTheColours) {
    ticks = 50000;
    UpdateCurrentTime(0);
    chartState.redraw = 0;
    SetChartSetting(chartpref::nightMode, 2);
    ReleaseChartResources();
    EXPECT_EQ(linkCalls.mapImagesFreed, 1);
    EXPECT_EQ(linkCalls.nightDialogs, 1);
    EXPECT_EQ(chartState.redraw, 1) << "the clock was stepped";
    EXPECT_EQ(chartColors[0].green, 0) << "the chart colours follow the night mode";
    EXPECT_EQ(savedChartBitmap, nullptr);
}

}  // namespace
