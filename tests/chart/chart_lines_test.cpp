// The line layers: the horizon view's ruler labels, constellation lines across the azimuth
// wrap, and the grid's colours.
#include "astro/rise_set.h"
#include "chart/chart_lines.h"
#include "chart/star_layers.h"
#include "chart_layers_fixture.h"

namespace {

class LineLayerTest : public ChartLayerTest {};

TEST_F(LineLayerTest, RulerLabelsAndCompassLetters) {
    const int labels[][2] = {{-30, 330}, {-60, 300}, {0, 0}, {45, 45}, {359, 359}, {360, 0}, {400, 40}};
    for (const auto& l : labels) EXPECT_EQ(RulerAzimuthLabel(l[0]), l[1]) << l[0];
    const std::pair<int, const char*> letters[] = {{0, "N"},  {360, "N"},  {90, "E"},  {180, "S"}, {270, "W"},
                                                   {50, "NE"}, {140, "SE"}, {230, "SW"}, {320, "NW"}, {45, ""},
                                                   {135, ""}, {225, ""},   {315, ""},  {-310, ""}};
    for (const auto& l : letters) EXPECT_STREQ(RulerCompassLetters(l.first), l.second) << l.first;
}

TEST_F(LineLayerTest, HorizonScaleDrawsUnlessTheGridIsHidden) {
    UseChart(kChartModeHorizon, 3);
    std::int32_t cx = 0, cy = 0;
    GetChartMetrics(&cx, &cy, nullptr, nullptr);
    SetChartSetting(chartpref::hideGrid, 1);
    DrawHorizonScale(3, platform::Rgb(0, 0, 255), platform::Rgb(255, 0, 0), platform::Rgb(0, 255, 0),
                     static_cast<int>(zoomChartScales[3] * 0.8), cx, cy);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
    SetChartSetting(chartpref::hideGrid, 0);
    DrawHorizonScale(3, platform::Rgb(0, 0, 255), platform::Rgb(255, 0, 0), platform::Rgb(0, 255, 0),
                     static_cast<int>(zoomChartScales[3] * 0.8), cx, cy);
    // The altitude 0 line runs across at the horizon's row.
    EXPECT_EQ(Pixel(5, cy) & 0xF8F8F8, platform::Rgb(0, 0, 248));
    EXPECT_EQ(Pixel(200, cy) & 0xF8F8F8, platform::Rgb(0, 0, 248));
}

TEST_F(LineLayerTest, ConstellationLineAcrossTheAzimuthWrapIsLeftOut) {
    LoadStars({{1, 10}, {2, 10}});
    SetChartSetting(chartpref::constLines, 1);
    SetChartSetting(chartpref::constNames, 0);
    constellationLines = {ConstellationLine{{0, 0, 1}}};
    auto place = [](int i, int x, int y) {
        StarRecord& s = BrightStars()[i];
        s.word[starword::pixelX] = x;
        s.word[starword::pixelY] = y;
        s.word[starword::hidden] = 0;
    };
    SetForeColor(platform::Rgb(255, 255, 255));
    UseChart(kChartModeSkyMap, 5);
    place(0, 20, 100);
    place(1, 220, 100);
    DrawConstellationLines(0.0f, platform::Rgb(255, 255, 255), 0, 239, 0, 5);
    EXPECT_TRUE(Lit(120, 100));

    Clear();
    SetForeColor(platform::Rgb(255, 255, 255));
    UseChart(kChartModeHorizon, 5);
    DrawConstellationLines(0.0f, platform::Rgb(255, 255, 255), 0, 239, 0, 5);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
    // Ends closer than 80 x the dpi factor are joined in the horizon view too.
    place(1, 20 + 40 * GetDpiFactor() - 1, 100);
    DrawConstellationLines(0.0f, platform::Rgb(255, 255, 255), 0, 239, 0, 5);
    EXPECT_TRUE(Lit(40, 100));
    constellationLines.clear();
}

TEST_F(LineLayerTest, GridDrawsTheEquatorAndZeroHourLinesInTheLabelColour) {
    UseChartAtLst(kChartModeSkyMap, 0, 0.0);
    SetChartSetting(chartpref::hideGrid, 0);
    SetChartSetting(chartpref::altAzGrid, 0);
    const platform::Color line = platform::Rgb(0, 248, 0), label = platform::Rgb(248, 0, 0);
    DrawChartGrids(chartClock.siderealTime, 0, 0, 0, line, label, 1, 15);
    // The equator crosses the meridian 90 - 48.2 degrees below the zenith, at 0 h with
    // the sidereal time at 0 h: that pixel is in the label colour, and grid lines elsewhere
    // are in the line colour.
    int x = 0, y = 0;
    std::int32_t p = 0, q = 0, px = 0, py = 0;
    ASSERT_TRUE(ProjectEquatorialPoint(chartClock.siderealTimeFixed, HoursToFixedAngle(2.5), 0, &p, &q));
    PlaneToPixel(p, q, &px, &py);
    x = px;
    y = py;
    bool labelNear = false;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) labelNear = labelNear || (Pixel(x + dx, y + dy) & 0xF8F8F8) == label;
    EXPECT_TRUE(labelNear);
    int lineCount = 0, labelCount = 0;
    for (int yy = 0; yy < 320; ++yy)
        for (int xx = 0; xx < 240; ++xx) {
            const platform::Color c = Pixel(xx, yy) & 0xF8F8F8;
            lineCount += c == line;
            labelCount += c == label;
        }
    EXPECT_GT(lineCount, labelCount);
    EXPECT_GT(labelCount, 0);
}

TEST_F(LineLayerTest, AligningTurnsTheCentresAzimuthToTheBottom) {
    LoadStars({{1, 10}});
    UseChartAtLst(kChartModeSkyMap, 5, 2.0);
    SetChartCentre(5.0f, 20.0f);
    int rotation = 0;
    AlignChartToCentreAzimuth(&rotation, chartClock.siderealTime);
    const double azimuth = ComputeAzimuth(chartClock.siderealTime, 5.0, 20.0, observerLocation.latitude);
    EXPECT_EQ(rotation, static_cast<int>(azimuth - 180.0));
    float c = 0, s = 0;
    GetProjectionRotation(&c, &s);
    EXPECT_NEAR(c, std::cos(rotation * 0.017453292519943295), 1e-4);
    // The sky views have no rotation to align.
    SetChartSetting(chartpref::chartType, kChartModeWholeSky);
    int other = 7;
    AlignChartToCentreAzimuth(&other, chartClock.siderealTime);
    EXPECT_EQ(other, 7);
}

TEST_F(LineLayerTest, StarPixelsShiftOrFollowTheirPlanePoints) {
    LoadStars({{1, 10}, {2, 10}});
    UseChart(kChartModeSkyMap, 5);
    StarRecord* stars = BrightStars();
    stars[0].word[starword::planeP] = 1 << 20;
    stars[0].word[starword::planeQ] = -(1 << 21);
    stars[0].word[starword::hidden] = 0;
    stars[1].word[starword::hidden] = 1;
    stars[1].word[starword::pixelX] = 5;
    UpdateStarPixels(0, 0, 0);
    std::int32_t x = 0, y = 0;
    PlaneToPixel(1 << 20, -(1 << 21), &x, &y);
    EXPECT_EQ(stars[0].word[starword::pixelX], x);
    EXPECT_EQ(stars[0].word[starword::pixelY], y);
    UpdateStarPixels(3, -4, 1);
    EXPECT_EQ(stars[0].word[starword::pixelX], x + 3);
    EXPECT_EQ(stars[0].word[starword::pixelY], y - 4);
    EXPECT_EQ(stars[1].word[starword::pixelX], 5);
}

}  // namespace
