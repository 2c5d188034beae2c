// The map texture cache: which ids load, what a load keeps, and how failures are told.
#include <gtest/gtest.h>

#include <fstream>

#include "globe_fixture.h"
#include "moon/globe_drawing.h"
#include "moon/map_textures.h"
#include "support/recorded_reports.h"

namespace {

class MapTexturesTest : public GlobeTest {
protected:
    static DrawWindow* CountingLoader(const char* path, int bpp) {
        ++loads;
        return LoadImageFile(path, bpp);
    }
    static inline int loads = 0;
};

TEST_F(MapTexturesTest, OnlyMapIdsLoadAndTheTablesFollowTheWidth) {
    WriteQuadrantMap("mars");
    WriteQuadrantMap("saturn_ring", 40, 20);
    loads = 0;
    mapImageCache.loader = &CountingLoader;
    for (int id : {32, 33, 1000, -1, -32768}) EXPECT_EQ(LoadMapImage(id), 0) << id;
    EXPECT_EQ(loads, 0);
    EXPECT_TRUE(RecordedReports().empty());
    EXPECT_STREQ(MapImagePath(3), "maps\\venus clouds_map.jpg");
    EXPECT_STREQ(MapImagePath(33), "");

    ASSERT_EQ(LoadMapImage(8), 1);
    EXPECT_EQ(mapImageCache.mapId, 8);
    ASSERT_EQ(mapImageCache.sinTable.size(), 360u);
    // Column 0 is longitude -180, column 90 longitude -90, column 180 longitude 0.
    EXPECT_NEAR(mapImageCache.cosTable[0], -2048, 8);
    EXPECT_NEAR(mapImageCache.sinTable[90], -2048, 8);
    EXPECT_NEAR(mapImageCache.sinTable[180], 0, 8);
    EXPECT_NEAR(mapImageCache.cosTable[180], 2048, 8);
    EXPECT_EQ(LoadMapImage(31), 1) << "the ring picture is also a map";

    FreeMapImages();
    FreeMapImages();
    EXPECT_EQ(mapImageCache.mapId, -1);
    EXPECT_EQ(mapImageCache.ringId, -1);
    EXPECT_EQ(mapImageCache.map, nullptr);
    EXPECT_TRUE(mapImageCache.sinTable.empty());
}

TEST_F(MapTexturesTest, NightLoadsStayRedWhileCached) {
    WriteQuadrantMap("mars");
    preferences.word[pref::nightMode] = 1;
    ASSERT_EQ(DrawPlanetTexture(8, 160, 160, 0, 0, 0, 60.0, 1.0), 1);
    preferences.word[pref::nightMode] = 0;
    Fill(0);
    ASSERT_EQ(DrawPlanetTexture(8, 160, 160, 0, 0, 0, 60.0, 1.0), 1);
    int red = 0;
    for (int y = 100; y < 220; ++y)
        for (int x = 100; x < 220; ++x) {
            const std::uint16_t p = Pixel(x, y);
            ASSERT_EQ(p & 0x3FF, 0) << x << "," << y;
            red += p != 0;
        }
    EXPECT_GT(red, 8000);
}

TEST_F(MapTexturesTest, AMissingOrDamagedMapIsToldOnce) {
    for (int i = 0; i < 10; ++i) EXPECT_EQ(DrawPlanetTexture(8, 160, 160, i, 0, 0, 60.0, 1.0), 0);
    ASSERT_EQ(RecordedReports().size(), 2u);
    EXPECT_EQ(RecordedReports()[0].heading, "Can't find");
    EXPECT_NE(RecordedReports()[0].detail.find("mars_map.jpg"), std::string::npos);
    EXPECT_EQ(ReportText(1), "Can't alloc DrawMapOnSphere\n");
    EXPECT_EQ(Pixel(160, 160), 0) << "nothing drawn";

    std::ofstream(root / "install" / "maps" / "jupiter_map.jpg") << "not a picture";
    ClearRecordedReports();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(DrawPlanetSphere(11, 31, 160, 160, i, 0, 0, 20.0, 1.0), 0);
    ASSERT_EQ(RecordedReports().size(), 2u);
    EXPECT_EQ(RecordedReports()[0].heading, "Can't load picture");

    // Installed later: tried again once the failures are forgotten.
    WriteQuadrantMap("mars");
    EXPECT_EQ(DrawPlanetTexture(8, 160, 160, 0, 0, 0, 60.0, 1.0), 0);
    ForgetFailedMapImages();
    EXPECT_EQ(DrawPlanetTexture(8, 160, 160, 0, 0, 0, 60.0, 1.0), 1);
}

}  // namespace
