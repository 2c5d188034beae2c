// The wire-frame globe: its grid and labels, its data lines, its radius and its colours.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "globe_fixture.h"
#include "moon/globe_drawing.h"
#include "moon/globe_overlay.h"
#include "platform/surface.h"
#include "shell/colour_scheme.h"

namespace {

std::vector<std::string> Labels(const GlobeGrid& grid) {
    std::vector<std::string> texts;
    for (int i = 0; i < grid.labelCount; ++i) texts.push_back(grid.labels[i].text);
    return texts;
}
bool Has(const std::vector<std::string>& texts, const std::string& text) {
    for (const std::string& t : texts)
        if (t == text) return true;
    return false;
}

TEST(GlobeGrid, LabelsFollowTheDrawnSegments) {
    GlobeGrid grid;
    ComputeGlobeGrid(MakeGlobeView(0, 0, 0), 100, 100, 80, 1, &grid);
    // The near hemisphere: longitudes -90 to 90 on the -15 parallel (its ends at the limb
    // are hidden past the depth limit or not reached by a drawn segment).
    const std::vector<std::string> texts = Labels(grid);
    for (const char* t : {"0\xB0" "E", "30\xB0" "E", "60\xB0" "E", "30\xB0" "W", "60\xB0" "W", "45\xB0" "N", "45\xB0" "S"})
        EXPECT_TRUE(Has(texts, t)) << t;
    EXPECT_FALSE(Has(texts, "180\xB0" "E"));
    EXPECT_GT(grid.segmentCount, 60);
    // Each label stands at the end of the segment drawn just before it (moved up and left
    // by its size when it lies right of or below the centre).
    for (int i = 0; i < grid.labelCount; ++i) {
        const GlobeGridLabel& l = grid.labels[i];
        ASSERT_GE(l.afterSegment, 1);
        const GlobeGridSegment& s = grid.segments[l.afterSegment - 1];
        EXPECT_EQ(l.x, s.x1 > 100 ? s.x1 - 18 : s.x1) << l.text;
        EXPECT_EQ(l.y, s.y1 > 100 ? s.y1 - 14 : s.y1) << l.text;
    }
    ComputeGlobeGrid(MakeGlobeView(0, 0, 0), 100, 100, 80, 0, &grid);
    EXPECT_EQ(grid.labelCount, 0);

    // Turned to longitude 180: its label is drawn once the segment from 165 reaches it;
    // -180, the first point of each parallel, never has one.
    for (double a : {180.0, -180.0, 170.0}) {
        ComputeGlobeGrid(MakeGlobeView(a, 0, 0), 100, 100, 80, 1, &grid);
        const std::vector<std::string> turned = Labels(grid);
        EXPECT_TRUE(Has(turned, "180\xB0" "E")) << a;
        EXPECT_FALSE(Has(turned, "180\xB0" "W")) << a;
    }
}

TEST(GlobeGrid, DataLines) {
    char lines[3][48];
    struct Case {
        double c;
        const char* pole;
    };
    for (const Case& k : {Case{0.0, ""}, Case{5.0, ""}, Case{-5.0, ""}, Case{5.1, "North Pole visible."},
                          Case{-7.0, "South Pole visible."}}) {
        FormatGlobeDataLines(-12.34, k.c, 0.5, lines);
        EXPECT_STREQ(lines[0], "Angle of North Pole (\xB0): -12.3");
        EXPECT_STREQ(lines[1], "Diameter (arcsec): 30.0");
        EXPECT_STREQ(lines[2], k.pole) << k.c;
    }
}

class OverlayTest : public GlobeTest {
protected:
    static std::uint16_t P(platform::Color c) { return platform::ColorToPixel(c); }
    // Pixels of `value` in a rectangle of the target.
    int Count(int left, int top, int width, int height, std::uint16_t value) const {
        int n = 0;
        for (int y = top; y < top + height; ++y)
            for (int x = left; x < left + width; ++x) n += Pixel(x, y) == value;
        return n;
    }
};

TEST_F(OverlayTest, RadiusDataLinesAndColours) {
    const std::uint16_t white = P(platform::Rgb(255, 255, 255)), black = 0, gold = P(platform::Rgb(240, 200, 0));
    Fill(Px(5, 5, 5));
    // Size -40: radius 40, no data lines, lines white and text gold on black without labels.
    DrawGlobeOverlay(40, 50, 240, 240, 0, 0, 0, -40.0, 0);
    EXPECT_EQ(sphereView.xScale, 40);
    EXPECT_EQ(Pixel(160 + 40, 170), white);
    EXPECT_EQ(Pixel(160, 170 - 40), white);
    EXPECT_EQ(Pixel(160 + 41, 170), black);
    EXPECT_EQ(Count(40, 50, 200, 40, gold), 0);
    EXPECT_EQ(Pixel(39, 50), Px(5, 5, 5)) << "nothing outside the rectangle";

    // Size 0.5 arc minutes: radius 45 and the data lines in gold.
    DrawGlobeOverlay(40, 50, 240, 240, 0, 0, 20, 0.5, 0);
    EXPECT_EQ(sphereView.xScale, 45);
    EXPECT_EQ(Pixel(160 + 45, 170), white);
    EXPECT_GT(Count(40, 50, 200, 32, gold), 30);

    // With labels by day: white background, black lines and text.
    DrawGlobeOverlay(40, 50, 240, 240, 0, 0, 0, -40.0, 1);
    EXPECT_EQ(Pixel(160 + 40, 170), black);
    EXPECT_EQ(Pixel(60, 170), white);
    // At night: black background, lines at the night red.
    preferences.word[pref::nightMode] = 1;
    DrawGlobeOverlay(40, 50, 240, 240, 0, 0, 0, -40.0, 1);
    const std::uint16_t red = P(platform::Rgb(GetNightLevel(), 0, 0));
    EXPECT_EQ(Pixel(160 + 40, 170), red);
    EXPECT_EQ(Pixel(60, 170), black);
}

TEST_F(OverlayTest, NothingForARadiusBelowOneOrAHugeRectangle) {
    Fill(Px(5, 5, 5));
    DrawGlobeOverlay(0, 0, 240, 240, 0, 0, 0, 0.0, 1);
    DrawGlobeOverlay(0, 0, 240, 240, 0, 0, 0, -0.5, 1);
    DrawGlobeOverlay(0, 0, 5000, 240, 0, 0, 0, -40.0, 1);
    EXPECT_EQ(Count(0, 0, kSize, kSize, Px(5, 5, 5)), kSize * kSize);
}

}  // namespace
