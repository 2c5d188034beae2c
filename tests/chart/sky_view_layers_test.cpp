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

// The layer keeps each zone's entries brightest first and each star's unit vector while the
// file stays open: the stars drawn must still be those bright enough, in the file's order, at
// the pixels of the plain projection, on the first drawing, on a redraw, and after another
// file of the same size is opened in its place.
TEST_F(SkyViewLayerTest, FaintStarsFollowTheFileOrderAndTheFileOpen) {
    preferences.word[pref::starLimitChoice] = 4;  // zoom 5: 7.5, 120 sixteenths
    const auto around = [](double raShift) {
        std::vector<FaintStar> stars;
        const int magnitudes[] = {40, 120, 121, 200, 96, 96, 16, 119, 150, 96};
        for (int i = 0; i < 100; ++i)
            stars.push_back({std::fmod(i * 0.23 + raShift, 24.0), 70.0 + i * 0.19, magnitudes[i % 10]});
        return stars;
    };
    // What the layer should buffer: every star of the open file, in its order, projected
    // through SkyViewProjectPoint.
    const auto expected = [&] {
        std::vector<StarBufferEntry> drawn;
        StellarStarEntry e;
        for (int index = 0; GetStellarStar(index, &e); ++index) {
            if (e.magnitude > 120) continue;
            const std::int32_t ra = e.raHours * 4392265 + e.raMinutes * 73204 + e.raSeconds * 1220;
            const std::int32_t dec = e.decDegrees * 292818 + e.decMinutes * 4880 + e.decSeconds * 81;
            std::int32_t x = 0, y = 0;
            if (!SkyViewProjectPoint(view, ra, dec, &x, &y)) continue;
            if (std::abs(x - view.centreX) > view.centreX || std::abs(y - view.centreY) > view.centreY) continue;
            drawn.push_back({static_cast<std::uint32_t>(index), static_cast<std::int16_t>(x + 5),
                             static_cast<std::int16_t>(y + 7)});
        }
        return drawn;
    };
    const auto buffered = [] {
        std::vector<StarBufferEntry> drawn;
        for (int i = 0; i < StarBufferCount(); ++i) drawn.push_back(GetStarBufferEntry(i));
        return drawn;
    };
    const auto same = [](const std::vector<StarBufferEntry>& a, const std::vector<StarBufferEntry>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const StarBufferEntry& p, const StarBufferEntry& q) {
            return p.index == q.index && p.x == q.x && p.y == q.y;
        });
    };

    OpenLevelFile(around(0.0));
    const std::vector<StarBufferEntry> first = expected();
    ASSERT_GT(first.size(), 40u);
    for (const char* drawing : {"first drawing", "redraw"}) {
        SCOPED_TRACE(drawing);
        DrawStellarStarsHorizon(view, 5, 7, 5, 0);
        EXPECT_TRUE(same(buffered(), first));
    }
    WriteLevelFile("level_moved.ppc", around(6.0));
    ASSERT_TRUE(OpenDb(stellarDb, kCreatorStellarLevel, kTypeCodeQvn1, 0, kDataFolder, "level_moved.ppc"));
    const std::vector<StarBufferEntry> moved = expected();
    ASSERT_FALSE(same(moved, first));
    DrawStellarStarsHorizon(view, 5, 7, 5, 0);
    EXPECT_TRUE(same(buffered(), moved)) << "the stars of the file opened before";
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
