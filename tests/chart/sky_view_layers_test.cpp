// The sky views' layers: faint stars and objects through the view's turn and tilt, the
// grid with its horizon ring, and the ecliptic.
#include "chart/chart_lines.h"
#include "chart/object_layers.h"
#include "chart/star_layers.h"
#include "chart_layers_fixture.h"

namespace {

class SkyViewLayerTest : public ChartLayerTest {
protected:
    void SetUp() override {
        ChartLayerTest::SetUp();
        if (HasFatalFailure()) return;
        UpdateSkyForDate(1, 2024, 10, 11, 22, 0, 0, 1);
        // Looking north at 45 degrees of altitude: the pole (48.2 degrees up) near the centre.
        view = SkyView{0, 0, 120, 160, 150, 150, 0, static_cast<std::int32_t>(45 * kDegreesToFixed)};
    }
    SkyView view{};
};

TEST_F(SkyViewLayerTest, FaintStarsNearThePoleAreDrawnAndBufferedWithTheOffset) {
    preferences.word[pref::starLimitChoice] = 4;
    OpenLevelFile({{2.0, 86.0, 6 * 16}, {14.0, 84.0, 6 * 16}, {6.0, -40.0, 6 * 16}, {3.0, 87.0, 10 * 16}});
    DrawStellarStarsHorizon(view, 5, 7, 5, 1);
    ASSERT_EQ(StarBufferCount(), 2);
    for (int i = 0; i < 2; ++i) {
        const StarBufferEntry e = GetStarBufferEntry(i);
        EXPECT_GT(CountLit(e.x - 5 - 2, e.y - 7 - 2, e.x - 5 + 3, e.y - 7 + 3), 0);
    }
    // A limit below 5.1 draws none.
    preferences.word[pref::starLimitChoice] = 0;
    DrawStellarStarsHorizon(view, 0, 0, 5, 1);
    EXPECT_EQ(StarBufferCount(), 0);
}

TEST_F(SkyViewLayerTest, ObjectsInTheViewAndNotBelowTheHorizon) {
    OpenObjectIndexFile({Object(1, 2.0, 86.0), Object(2, 14.0, 80.0), Object(3, 6.0, -60.0)});
    DrawDeepSkyObjects(nullptr, 0, Bounds{0, 0, 240, 320}, 5, &view, 1);
    ASSERT_EQ(ObjectBufferCount(), 2);
    EXPECT_EQ(GetObjectBufferEntry(0).number + GetObjectBufferEntry(1).number, 3u);
}

TEST_F(SkyViewLayerTest, GridRingAndEclipticDrawUnlessThePlainSettingIsSet) {
    SetForeColor(platform::Rgb(255, 255, 255));
    SetChartSetting(chartpref::skyViewPlain, 1);
    DrawSkyViewGrid(view, 1, 1);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
    SetChartSetting(chartpref::skyViewPlain, 0);
    DrawSkyViewGrid(view, 1, 1);
    const int whole = CountLit(0, 0, 240, 320);
    EXPECT_GT(whole, 200);
    EXPECT_EQ(skyCacheKey.horizonFlag, 1);
    // "Hide Grid": the horizon ring and its letters alone.
    Clear();
    DrawSkyViewGrid(view, -1, 1);
    const int ring = CountLit(0, 0, 240, 320);
    EXPECT_GT(ring, 20);
    EXPECT_LT(ring, whole / 2);
    skyCacheKey.horizonFlag = 1;
    Clear();
    // Facing south and low, the ecliptic crosses the view.
    view.turn = static_cast<std::int32_t>(180 * kDegreesToFixed);
    view.tilt = static_cast<std::int32_t>(20 * kDegreesToFixed);
    DrawSkyViewEcliptic(view, 0);
    EXPECT_GT(CountLit(0, 0, 240, 320), 50);
}

}  // namespace
