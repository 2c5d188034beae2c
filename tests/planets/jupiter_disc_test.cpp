// The Jupiter disc strip: loaded mirrored by the view's signs, cached by zoom and signs.
#include <gtest/gtest.h>

#include "moon/globe_fixture.h"
#include "planets/jupiter_view.h"
#include "planets/planet_view_state.h"
#include "planets/planets_services.h"

namespace {

class JupiterDiscTest : public GlobeTest {
protected:
    void SetUp() override {
        GlobeTest::SetUp();
        savedZoom_ = planetView.zoom;
        // Every column of the strips its own colour; the close strip's from another range.
        WriteBitmap(1870, 348, 11, [](int x, int) { return Column(x); });
        WriteBitmap(1897, 1392, 44, [](int x, int) { return static_cast<std::uint16_t>(0x4000 | x); });
    }
    void TearDown() override {
        FreeSatelliteSprites();
        planetView.zoom = savedZoom_;
        GlobeTest::TearDown();
    }
    static std::uint16_t Column(int x) { return static_cast<std::uint16_t>(0x0400 | x); }
    double savedZoom_ = 4.0;
};

TEST_F(JupiterDiscTest, StripFollowsSignsAndZoom) {
    planetView.zoom = 4.0;
    DrawJupiterDisc(1.0, 0, 10, 10, 1, 1);
    EXPECT_EQ(Pixel(10, 10), Column(0));
    DrawWindow* first = satelliteSprites[0];
    ASSERT_NE(first, nullptr);
    DrawJupiterDisc(1.0, 1, 10, 10, 1, 1);  // same settings: the cached strip
    EXPECT_EQ(satelliteSprites[0], first);
    EXPECT_EQ(Pixel(10, 10), Column(12));
    // Mirrored left to right: cell 0 begins with its own last column.
    DrawJupiterDisc(1.0, 0, 10, 10, -1, 1);
    EXPECT_EQ(Pixel(10, 10), Column(11));
    DrawJupiterDisc(1.0, 0, 10, 10, 1, 1);
    EXPECT_EQ(Pixel(10, 10), Column(0));
    planetView.zoom = 22.0;
    DrawJupiterDisc(1.0, 2, 10, 10, 1, 1);
    EXPECT_EQ(Pixel(10, 10), 0x4000 | 96);
    FreeSatelliteSprites();
    FreeSatelliteSprites();
    EXPECT_EQ(satelliteSprites[0], nullptr);
}

}  // namespace
