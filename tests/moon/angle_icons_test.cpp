// The angle symbols: which frame an angle takes, and what a missing strip does.
#include <gtest/gtest.h>

#include "globe_fixture.h"
#include "moon/angle_icons.h"

namespace {

TEST(AngleIcons, FramesCoverFifteenDegreesEach) {
    const int cases[][2] = {{0, 0}, {14, 0}, {15, 1}, {359, 23}, {360, 0}, {720, 0}, {-15, 23}, {-1, 23}, {-360, 0}};
    for (const auto& c : cases) EXPECT_EQ(AngleIconFrame(c[0]), c[1]) << c[0];
}

class AngleIconTest : public GlobeTest {};

TEST_F(AngleIconTest, CopiesTheFrameAndNeedsTheStrip) {
    EXPECT_EQ(DrawAngleIcon(10, 10, 30), 0);
    EXPECT_EQ(Pixel(10, 10), 0);

    // Frame n in its own colour.
    WriteBitmap(kAngleIconStrip, kAngleIconWidth * kAngleIconFrames, kAngleIconHeight,
                [](int x, int) { return Px(x / kAngleIconWidth + 1, 0, 0); });
    ClearPictureCache();
    ASSERT_EQ(DrawAngleIcon(10, 10, -15), 1);
    EXPECT_EQ(Pixel(10, 10), Px(24, 0, 0));
    EXPECT_EQ(Pixel(10 + kAngleIconWidth - 1, 10 + kAngleIconHeight - 1), Px(24, 0, 0));
    EXPECT_EQ(Pixel(10 + kAngleIconWidth, 10), 0);
    ASSERT_EQ(DrawAngleIcon(40, 10, 15), 1);
    EXPECT_EQ(Pixel(40, 10), Px(2, 0, 0));
    FreeFeatureBitmap();
    FreeFeatureBitmap();
}

}  // namespace
