// The star layers: the strip cell a star takes, the bright stars with their letters and
// numbers, the faint stars of a level file read zone by zone, and the searches of a tap.
#include <cstring>

#include "chart/star_layers.h"
#include "chart_layers_fixture.h"

namespace {

class StarLayerTest : public ChartLayerTest {
protected:
    // A bright star's record words as the projection and the layer leave them.
    static void Place(int i, int x, int y, int sizeClass = 0, int letter = 0, int flamsteed = 0, int hidden = 0) {
        StarRecord& s = BrightStars()[i];
        s.word[starword::pixelX] = x;
        s.word[starword::pixelY] = y;
        s.word[starword::hidden] = hidden;
        // Halfword 6 (low half of word 3): magnitude class << 4; halfword 7: colour class.
        s.word[3] = static_cast<std::int32_t>((sizeClass << 4) & 0xFFFF) | (2 << 16);
        // Bytes 16 and 17: the Flamsteed number and the Bayer letter.
        s.word[4] = (s.word[4] & ~0xFFFF) | (flamsteed & 0xFF) | ((letter & 0xFF) << 8);
    }
};

TEST_F(StarLayerTest, CellFollowsZoomSizeClassColourAndNight) {
    struct Size {
        int zoom, sizeClass, night, scale, column;
    };
    for (const Size& c : {Size{0, 0, 0, 1, 8}, Size{5, 2, 0, 1, 8}, Size{12, 0, 0, 1, 0}, Size{12, -3, 0, 1, 0},
                          Size{0, 9, 0, 1, 12}, Size{5, 0, 1, 1, 5}, Size{13, 0, 1, 1, 0}, Size{7, 1, 0, 2, 4},
                          Size{12, 1, 1, 2, 0}, Size{-4, 0, 0, 1, 8}, Size{40, 2, 0, 1, 2}}) {
        SetChartSetting(chartpref::nightMode, c.night);
        screenScale.horizontal = c.scale;
        EXPECT_EQ(StarSizeIndex(c.zoom, c.sizeClass), c.column)
            << "zoom " << c.zoom << " class " << c.sizeClass << " night " << c.night << " scale " << c.scale;
    }
    screenScale.horizontal = 1.0;
    SetChartSetting(chartpref::nightMode, 0);
    const int rows[][2] = {{20, 78}, {14, 78}, {13, 65}, {8, 65}, {7, 52}, {6, 52}, {5, 39}, {3, 39},
                           {2, 26}, {0, 26}, {-1, 13}, {-3, 13}, {-4, 0}};
    for (const auto& r : rows) EXPECT_EQ(StarColourRow(r[0]), r[1]) << r[0];
    SetChartSetting(chartpref::nightMode, 2);
    EXPECT_EQ(StarColourRow(20), 26);
    EXPECT_EQ(StarColourRow(-10), 26);
}

TEST_F(StarLayerTest, StripFollowsBackgroundStarColourAndNight) {
    struct Strip {
        int background, mono, night, id;
    };
    for (const Strip& c : {Strip{2, 0, 0, 4103}, Strip{2, 1, 0, 4106}, Strip{0, 0, 0, 4104}, Strip{1, 0, 0, 4104},
                           Strip{0, 1, 0, 4105}, Strip{2, 0, 1, 4105}, Strip{0, 0, 3, 4105}}) {
        SetChartSetting(chartpref::background, c.background);
        SetChartSetting(chartpref::starColor, c.mono);
        SetChartSetting(chartpref::nightMode, c.night);
        EXPECT_EQ(StarStripId(), c.id) << c.background << c.mono << c.night;
    }
}

TEST_F(StarLayerTest, StarDotIsCentredAndShrinksWithTheSizeIndex) {
    DrawStar(nullptr, 12, 0, 0, 50, 50);  // column 0: the largest dot
    DrawStar(nullptr, 0, 4, 0, 150, 50);  // column 12: one pixel
    EXPECT_TRUE(Lit(50, 50));
    EXPECT_TRUE(Lit(56, 50));
    EXPECT_TRUE(Lit(44, 50));
    EXPECT_FALSE(Lit(57, 50));
    EXPECT_EQ(CountLit(140, 40, 160, 60), 1);
    EXPECT_TRUE(Lit(150, 50));
}

TEST_F(StarLayerTest, BrightStarsSkipFaintAndHiddenOnesAndLabelByZoom) {
    LoadStars({{1, 10}, {2, 10}, {3, 10}, {4, 10}});
    SetChartSetting(chartpref::starSymbols, 1);
    Place(0, 40, 40, 2, 'a', 0);
    Place(1, 120, 40, 5, 'g', 0);     // fainter than the limit at zoom 0 and 1
    Place(2, 200, 40, 1, 'b', 0, 1);  // hidden
    Place(3, 40, 150, 1, 'd', 12);
    DrawBrightStars(1, 3, 0, 239, 0, 319);
    EXPECT_TRUE(Lit(40, 40));
    EXPECT_FALSE(Lit(120, 40));
    EXPECT_FALSE(Lit(200, 40));
    // At zoom 1 letters are not drawn (zoom 2 and below).
    EXPECT_EQ(CountLit(26, 30, 34, 56), 0);
    EXPECT_EQ(CountLit(26, 140, 34, 166), 0);

    Clear();
    DrawBrightStars(4, 3, 0, 239, 0, 319);
    // Above zoom 2 with "Stars Symbols": alpha gets its letter; delta waits for zoom 6.
    EXPECT_TRUE(Lit(120, 40));
    EXPECT_GT(CountLit(26, 30, 34, 56), 0);
    EXPECT_EQ(CountLit(26, 140, 34, 166), 0);
    // Flamsteed numbers from zoom 7.
    EXPECT_EQ(CountLit(47, 150, 70, 170), 0);

    Clear();
    DrawBrightStars(7, 3, 0, 239, 0, 319);
    EXPECT_GT(CountLit(26, 140, 34, 166), 0);
    EXPECT_GT(CountLit(47, 150, 70, 170), 0);
}

TEST_F(StarLayerTest, HorizonViewWrapsAStarOneTurnIntoTheView) {
    LoadStars({{1, 10}});
    UseChart(kChartModeHorizon, 3);
    std::int32_t sx = 0;
    GetChartMetrics(nullptr, nullptr, &sx, nullptr);
    const int turn = static_cast<int>(std::llabs(static_cast<long long>(sx) * 360 / 65536));
    ASSERT_GT(turn, 240);
    Place(0, 100 - turn, 60, 0);
    DrawBrightStars(5, 9, 0, 239, 0, 319);
    EXPECT_TRUE(Lit(100, 60));
    // The sky map does not wrap.
    Clear();
    UseChart(kChartModeSkyMap, 3);
    Place(0, 100 - turn, 60, 0);
    DrawBrightStars(5, 9, 0, 239, 0, 319);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
}

TEST_F(StarLayerTest, FaintStarsAcrossZeroHoursAndTheCapOfTheBuffer) {
    preferences.word[pref::starLimitChoice] = 4;  // zoom 5: 7.5
    UseChartAtLst(kChartModeSkyMap, 5, 0.0);
    const double dec = observerLocation.latitude;
    std::vector<FaintStar> stars = {{23.9, dec, 5 * 16}, {0.1, dec + 0.5, 5 * 16}, {12.0, dec - 0.1, 5 * 16},
                                    {0.2, dec - 0.3, 9 * 16}};
    OpenLevelFile(stars);
    DrawStellarStars(chartState.width / 2, chartState.height / 2, 1, GetDpiFactor(), chartClock.siderealTime, 5,
                     chartState.width, chartState.height);
    // Both sides of 0 h are drawn; the far star and the one fainter than the limit are not.
    ASSERT_EQ(StarBufferCount(), 2);
    std::vector<std::uint32_t> drawn = {GetStarBufferEntry(0).index, GetStarBufferEntry(1).index};
    std::sort(drawn.begin(), drawn.end());
    EXPECT_EQ(drawn, (std::vector<std::uint32_t>{2, 3}));
    const StarBufferEntry e = GetStarBufferEntry(0);
    EXPECT_TRUE(Lit(e.x, e.y));
    EXPECT_EQ(le::U32(starBuffer, 16), static_cast<std::uint32_t>(kStarBufferEmpty));

    // A limit below 5.5 leaves the layer empty.
    preferences.word[pref::starLimitChoice] = 0;
    DrawStellarStars(chartState.width / 2, chartState.height / 2, 1, GetDpiFactor(), chartClock.siderealTime, 5,
                     chartState.width, chartState.height);
    EXPECT_EQ(StarBufferCount(), 0);
}

TEST_F(StarLayerTest, FaintStarsFillAtMost1999EntriesAndReadTheTopZone) {
    preferences.word[pref::starLimitChoice] = 4;
    UseChartAtLst(kChartModeSkyMap, 5, 6.0);
    const double dec = observerLocation.latitude;
    std::vector<FaintStar> stars;
    for (int i = 0; i < 2100; ++i) stars.push_back({6.0 + (i % 50) * 0.004, dec - 1.0 + i * 0.0005, 6 * 16});
    // A zone of its own above the crowd, still in view.
    for (int i = 0; i < 42; ++i) stars.push_back({6.0, dec + 8.0 + i * 0.01, 16});
    OpenLevelFile(stars);
    DrawStellarStars(chartState.width / 2, chartState.height / 2, 0, GetDpiFactor(), chartClock.siderealTime, 5,
                     chartState.width, chartState.height);
    EXPECT_EQ(StarBufferCount(), 1999);
    EXPECT_EQ(le::U32(starBuffer, 1999 * 8), static_cast<std::uint32_t>(kStarBufferEmpty));
    // The top zone's stars were drawn even though the buffer was full.
    std::int32_t p = 0, q = 0, x = 0, y = 0;
    ASSERT_TRUE(ProjectHorizontalPoint(chartClock.siderealTime, 6.0f, static_cast<float>(dec + 8.2), &p, &q));
    PlaneToPixel(p, q, &x, &y);
    EXPECT_TRUE(Lit(x, y));
}

TEST_F(StarLayerTest, WholeCircleIsReadNearThePole) {
    preferences.word[pref::starLimitChoice] = 4;
    SetLatitude(observerLocation, 85.0f);
    UseChartAtLst(kChartModeSkyMap, 5, 0.0);
    OpenLevelFile({{10.0, 83.0, 6 * 16}, {0.0, 86.0, 6 * 16}});
    DrawStellarStars(chartState.width / 2, chartState.height / 2, 1, GetDpiFactor(), chartClock.siderealTime, 5,
                     chartState.width, chartState.height);
    EXPECT_EQ(StarBufferCount(), 2);
}

TEST_F(StarLayerTest, TheCardCatalogSettingChoosesTheLevelAtEveryZoom) {
    // Each level a different number of stars around the zenith, so the count drawn names
    // the level read. Zooms 0, 8 and 10 share their numbers with the lookups' level codes.
    const double dec = observerLocation.latitude;
    const int levels[] = {kStarLevelHr, 2, kStarLevelHip110k, kStarLevelTycho390k};
    for (int level : levels) {
        std::vector<FaintStar> stars;
        for (int i = 0; i <= level; ++i) stars.push_back({6.0 + i * 0.003, dec + i * 0.003, 16});
        WriteLevelFile(kStellarLevelFiles[level], stars);
    }
    for (int chosen : {kStarLevelTycho390k, 2}) {
        SCOPED_TRACE(chosen);
        preferences.word[pref::stellarCatalogChoice] = chosen;
        for (int zoom = 0; zoom <= kLastZoomLevel; ++zoom) {
            SCOPED_TRACE(zoom);
            UseChartAtLst(kChartModeSkyMap, zoom, 6.0);
            SetChartZoom(zoom);
            ASSERT_EQ(starCatalogLevel, chosen);
            if (zoom < 4) continue;  // the chart draws no faint stars below zoom 4
            DrawStellarStars(chartState.width / 2, chartState.height / 2, 1, GetDpiFactor(), chartClock.siderealTime,
                             zoom, chartState.width, chartState.height);
            EXPECT_EQ(StarBufferCount(), chosen + 1);
        }
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(StarLayerTest, TapSearchesFindTheFirstWithinTolerance) {
    LoadStars({{1, 10}, {2, 10}, {3, 10}, {4, 10}});
    Place(0, 100, 100);
    Place(1, 104, 100);
    Place(2, 96, 100);
    Place(3, 101, 101, 0, 0, 0, 1);  // hidden
    const int f = GetDpiFactor();
    // Equal distances: the first found wins; the hidden one never does.
    EXPECT_EQ(FindNearestBrightStar(0, 0, 100, 100, 2), 0);
    EXPECT_EQ(FindNearestBrightStar(0, 0, 100, 102, 2), 0);
    EXPECT_EQ(FindNearestBrightStar(10, 0, 110, 100, 2), 0);
    EXPECT_EQ(FindNearestBrightStar(0, 0, 100, 100 + 2 * f * 3, 3), -1);
    EXPECT_EQ(FindNearestBrightStar(0, 0, 105, 100, 2), 1);

    std::uint8_t* b = starBuffer;
    auto put = [&](int i, std::uint32_t index, int x, int y) {
        le::PutU32(b, i * 8, index);
        le::PutI16(b, i * 8 + 4, static_cast<std::int16_t>(x));
        le::PutI16(b, i * 8 + 6, static_cast<std::int16_t>(y));
    };
    put(0, static_cast<std::uint32_t>(kStarBufferEmpty), 0, 0);
    EXPECT_EQ(FindStellarTapEntry(0, 0, 5), -1);
    put(0, 7, 50, 50);
    put(1, 8, 52, 49);
    put(2, static_cast<std::uint32_t>(kStarBufferEmpty), 0, 0);
    put(3, 9, 200, 200);
    EXPECT_EQ(FindStellarTapEntry(53, 50, 3), 0);
    EXPECT_EQ(FindStellarTapEntry(55, 50, 3), 1);
    EXPECT_EQ(FindStellarTapEntry(200, 200, 3), -1);
}

TEST_F(StarLayerTest, BrightStarLabelFindsEveryRecordTheFirstIncluded) {
    LoadStars({{1, 10}, {2, 10}, {3, 10}});
    Place(0, 0, 0, 0, 'a', 5);
    Place(2, 0, 0, 0, 0, 0);
    auto canvasPixels = [&] {
        std::vector<platform::Color> out;
        for (int y = 90; y < 120; ++y)
            for (int x = 90; x < 180; ++x) out.push_back(Pixel(x, y));
        return out;
    };
    // Star 1 is record 0: its Flamsteed number, letter and constellation, not "HR1".
    DrawBrightStarLabel(1, 100, 100, 1);
    const auto label = canvasPixels();
    Clear();
    DrawStarName(5, 'a', 0, BrightStars()[0].Half(1), 1, 100, 100, 1);
    EXPECT_TRUE(label == canvasPixels());
    Clear();
    DrawString("HR1", 3, 100, 100);
    EXPECT_FALSE(label == canvasPixels());
    // A star without number or letter, and one not in the table, are named by number.
    Clear();
    DrawBrightStarLabel(3, 100, 100, 1);
    const auto third = canvasPixels();
    Clear();
    const int previous = SetFont(4);
    DrawString("HR3", 3, 100, 100);
    SetFont(previous);
    EXPECT_TRUE(third == canvasPixels());
    Clear();
    DrawBrightStarLabel(99, 100, 100, 1);
    EXPECT_GT(CountLit(90, 90, 180, 120), 0);
}

}  // namespace
