// The Mars map and the Mars view page drawn on an offscreen target from small fixture
// pictures and a small Mars feature file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"
#include "moon/globe_fixture.h"
#include "planets/mars_map.h"
#include "planets/mars_view.h"
#include "platform/paths.h"
#include "platform/system_colors.h"
#include "shell/colour_scheme.h"
#include "support/observing_state.h"

namespace {

using platform::Rgb;

MarsFeatureRecord Feature(const char* name, int kind, int x, int y, int size, float lat = 0, float lon = 0) {
    MarsFeatureRecord r;
    std::snprintf(r.name, sizeof r.name, "%s", name);
    r.kind = static_cast<std::int16_t>(kind);
    r.x = static_cast<std::int16_t>(x);
    r.y = static_cast<std::int16_t>(y);
    r.sizeKm = static_cast<std::int16_t>(size);
    r.latitude = lat;
    r.longitude = lon;
    return r;
}

// Pixels of `value` within `reach` of (x, y) on the fixture's target.
class PlanetDrawingTest : public GlobeTest {
protected:
    int CountNear(int x, int y, int reach, std::uint16_t value) const {
        int n = 0;
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const int px = x + dx, py = y + dy;
                if (px >= 0 && py >= 0 && px < kSize && py < kSize) n += Pixel(px, py) == value;
            }
        return n;
    }
};

class MarsMapTest : public PlanetDrawingTest {
protected:
    void SetUp() override {
        GlobeTest::SetUp();
        std::filesystem::create_directories(root / "install" / "data");
        platform::SetHomeRoot(root / "home");
    }
    void TearDown() override {
        CloseCatalogDatabases();
        platform::SetHomeRoot({});
        GlobeTest::TearDown();
    }
    void WriteFeatures(const std::vector<MarsFeatureRecord>& features) {
        RecordFileImage image;
        image.creator = kCreatorMars;
        image.recordSize = kMarsFeatureRecordSize;
        for (const MarsFeatureRecord& f : features) EncodeMarsFeatureRecord(f, image.Append());
        ASSERT_TRUE(WriteRecordFileImage(root / "install" / "data" / kMarsFile, image));
        OpenAllCatalogDatabases();
        ClearRecordedReports();
    }
};

TEST_F(MarsMapTest, ScrollsWrapAndClamp) {
    // A feature near the map's east end, with the map moved right, comes round to the left.
    EXPECT_EQ(MarsMapScreenX(20, 630), 10);
    EXPECT_EQ(MarsMapScreenX(-100, 630), 530);
    EXPECT_EQ(MarsMapScreenX(-700, 30), 610);

    WriteBitmap(kMarsMapFirstHalf, 320, 320, [](int, int) { return Px(31, 0, 0); });
    WriteBitmap(kMarsMapFirstHalf + 1, 320, 320, [](int, int) { return Px(0, 0, 31); });
    const Bounds view{0, 20, 240, 200};
    int sx = 5000, sy = 40;
    BlitMapRegion(kMarsMapFirstHalf, view, &sx, &sy);
    EXPECT_EQ(sx, 320);
    EXPECT_EQ(sy, 0);
    // [6013][6012]...: the second half left of the scroll x, the first from it on.
    EXPECT_EQ(Pixel(10, 100), Px(0, 0, 31));
    sx = -5000;
    sy = -5000;
    BlitMapRegion(kMarsMapFirstHalf, view, &sx, &sy);
    EXPECT_EQ(sx, 240 - 960);
    EXPECT_EQ(sy, 200 - 320);
    sx = -10;
    sy = -30;
    BlitMapRegion(kMarsMapFirstHalf, view, &sx, &sy);
    EXPECT_EQ(sx, -10);
    EXPECT_EQ(sy, -30);
    EXPECT_EQ(Pixel(5, 100), Px(31, 0, 0));
    EXPECT_EQ(Pixel(239, 100), Px(31, 0, 0));
    EXPECT_EQ(Pixel(250, 100), 0) << "nothing right of the view";
    EXPECT_EQ(Pixel(100, 19), 0) << "nothing above the view";
}

TEST_F(MarsMapTest, MissingHalvesLeaveTheBackground) {
    Fill(Px(31, 31, 31));
    int sx = 0, sy = 0;
    BlitMapRegion(kMarsMapFirstHalf, Bounds{0, 0, 240, 200}, &sx, &sy);
    EXPECT_EQ(Pixel(100, 100), 0);
}

TEST_F(MarsMapTest, OnlyLargeRegionsAreNamed) {
    const struct { int kind, size; bool shown; int font; } cases[] = {
        {3, 1000, true, 5}, {3, 999, false, 0}, {4, 1500, true, 5}, {9, 500, true, 4},
        {9, 499, false, 0}, {2, 5000, false, 0}, {1, 5000, false, 0},
    };
    for (const auto& c : cases) {
        int font = 0;
        EXPECT_EQ(MarsFeatureNameShown(Feature("X", c.kind, 0, 0, static_cast<short>(c.size)), &font), c.shown)
            << c.kind << " " << c.size;
        if (c.shown) {
            EXPECT_EQ(font, c.font);
        }
    }

    WriteFeatures({Feature("Utopia Planitia", 3, 60, 60, 3300), Feature("Gale", 2, 200, 60, 5000)});
    const Bounds view{0, 0, 320, 200};
    DrawMapFeatureNames(view, 0, 0);
    const std::uint16_t grey = platform::ColorToPixel(Rgb(240, 240, 240));
    EXPECT_GT(CountNear(60, 66, 12, grey), 5);
    EXPECT_EQ(CountNear(200, 66, 12, grey), 0);
}

TEST_F(MarsMapTest, PictureNamesAndPanel) {
    char name[48];
    MarsFeaturePictureName(Feature("Gale", 2, 0, 0, 154), name, sizeof name);
    EXPECT_STREQ(name, "crater_Gale");
    MarsFeaturePictureName(Feature("Olympus Mons", 1, 0, 0, 600), name, sizeof name);
    EXPECT_STREQ(name, "mons_Olympus");
    MarsFeaturePictureName(Feature("Odd Place", 12, 0, 0, 1), name, sizeof name);
    EXPECT_STREQ(name, "Odd");

    MarsFeaturePanel panel;
    ASSERT_EQ(FormatMarsFeaturePanel(Feature("Utopia Planitia", 3, 0, 0, 3300, 46.7f, 117.5f), &panel), 1);
    EXPECT_STREQ(panel.size, "Plannitia 3300 km ");
    EXPECT_STREQ(panel.latitude, "Lat:46.7\xB0N");
    EXPECT_STREQ(panel.longitude, "Long:117.5\xB0" "E");
    ASSERT_EQ(FormatMarsFeaturePanel(Feature("Hellas", 3, 0, 0, 2300, -42.4f, -70.5f), &panel), 1);
    EXPECT_STREQ(panel.latitude, "Lat:42.4\xB0S");
    EXPECT_STREQ(panel.longitude, "Long:70.5\xB0W");
    EXPECT_EQ(FormatMarsFeaturePanel(Feature("Odd", 12, 0, 0, 1), &panel), 0);
}

TEST_F(MarsMapTest, LabelUsesTheSystemColoursAndStaysInTheView) {
    const int indices[2] = {platform::kColorWindowText, platform::kColorStatic};
    const platform::Color values[2] = {Rgb(0, 255, 0), Rgb(0, 0, 255)};
    platform::SetSystemColors(2, indices, values);
    const Bounds view{0, 0, 240, 200};
    // Near the right edge the label is drawn ending inside the view.
    EXPECT_EQ(FormatMapFeature(Feature("Gale", 2, 230, 100, 154), 0, 0, view), 0);
    const std::uint16_t green = platform::ColorToPixel(Rgb(0, 255, 0));
    const std::uint16_t blue = platform::ColorToPixel(Rgb(0, 0, 255));
    EXPECT_GT(CountNear(232, 90, 4, blue), 0) << "leader line";
    int greenRight = 0, greenLeft = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < kSize; ++x)
            if (Pixel(x, y) == green) (x >= 240 ? greenRight : greenLeft)++;
    EXPECT_EQ(greenRight, 0);
    EXPECT_GT(greenLeft, 5);
    platform::ResetSystemColors();
}

class MarsViewTest : public PlanetDrawingTest {
protected:
    void SetUp() override {
        GlobeTest::SetUp();
        UseTestSite(48.85, -2.35, 60);
        WriteQuadrantMap("mars", 256, 128);
        WriteBitmap(kAngleIconStrip, kAngleIconWidth * kAngleIconFrames, kAngleIconHeight,
                    [](int x, int) { return Px(x % 31, 20, 10); });
    }
    SavedObservingState saved_;
    const platform::Color colours[5] = {Rgb(205, 205, 40), Rgb(0, 40, 220), Rgb(220, 0, 0), Rgb(0, 210, 40),
                                        Rgb(155, 150, 140)};
};

TEST_F(MarsViewTest, OrientationRowsMirrorTheGlobes) {
    const MarsOrientation rows[4] = {MarsViewOrientation(0), MarsViewOrientation(1), MarsViewOrientation(2),
                                     MarsViewOrientation(3)};
    EXPECT_EQ(rows[0].xSign, 1);
    EXPECT_EQ(rows[0].ySign, 1);
    EXPECT_EQ(rows[1].xSign, -1);
    EXPECT_EQ(rows[1].ySign, 1);
    EXPECT_EQ(rows[2].xSign, -1);
    EXPECT_EQ(rows[2].ySign, -1);
    EXPECT_EQ(rows[3].xSign, 1);
    EXPECT_EQ(rows[3].ySign, -1);

    // The textured globe's canvas is 124 pixels wide from x 18 and from y 127 (page 240 x
    // 320 at scale 1); its left part, clear of the moons panel, is compared as a mirror.
    auto grab = [this](std::vector<std::uint16_t>& out) {
        out.clear();
        for (int y = 127; y < 127 + 124; ++y)
            for (int x = 18; x < 18 + 124; ++x) out.push_back(Pixel(x, y));
    };
    std::vector<std::uint16_t> plain, mirrored, flipped;
    DrawMarsView(0, 0, 240, 320, 2025, 1, 16, 22, 0, colours, 0);
    grab(plain);
    Fill(Px(1, 2, 3));
    DrawMarsView(0, 0, 240, 320, 2025, 1, 16, 22, 0, colours, 1);
    grab(mirrored);
    DrawMarsView(0, 0, 240, 320, 2025, 1, 16, 22, 0, colours, 3);
    grab(flipped);
    int lit = 0;
    for (int y = 0; y < 124; ++y) {
        if (127 + y >= 110 && 127 + y < 230) {
            for (int x = 22; x < 102; ++x) {
                ASSERT_EQ(mirrored[y * 124 + x], plain[y * 124 + (123 - x)]) << x << "," << y;
                lit += plain[y * 124 + x] != 0;
            }
        }
    }
    EXPECT_GT(lit, 1000);
    for (int y = 0; y < 124; ++y)
        for (int x = 0; x < 102; ++x) ASSERT_EQ(flipped[y * 124 + x], plain[(123 - y) * 124 + x]) << x << "," << y;
}

TEST_F(MarsViewTest, MoonsPanelFollowsTheSigns) {
    // An hour when Deimos stands well to one side, inside the panel.
    double x0[2], y0[2], x1[2], y1[2];
    int v0[2], v1[2];
    int hour = 0;
    for (; hour < 24; ++hour) {
        DrawMarsMoons(2025, 1, 16, hour, 0, 0, 0, 120, 120, x0, y0, v0, 0, colours, 1, 1);
        if (std::abs(x0[1]) > 12 && std::abs(x0[1]) < 45 && std::abs(y0[1]) < 40 && v0[1]) break;
    }
    ASSERT_LT(hour, 24);
    DrawMarsMoons(2025, 1, 16, hour, 0, 0, 0, 120, 120, x1, y1, v1, 0, colours, -1, 1);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(x0[i], x1[i]);
        EXPECT_EQ(v0[i], v1[i]);
    }
    // Deimos's letter (blue, smoothed) under its dot, on the side of its sign.
    const auto blue = [this](int x, int y) {
        int n = 0;
        for (int v = y - 6; v <= y + 6; ++v)
            for (int u = x - 6; u <= x + 6; ++u) {
                const int p = Pixel(u, v), r = p >> 10, g = (p >> 5) & 31, b = p & 31;
                n += b > 12 && b > 2 * g && r < 4;
            }
        return n;
    };
    const int dx = static_cast<int>(x0[1]), dy = static_cast<int>(y0[1]);
    DrawMarsMoons(2025, 1, 16, hour, 0, 0, 0, 120, 120, x0, y0, v0, 1, colours, 1, 1);
    EXPECT_GT(blue(60 + dx + 3, 60 + dy + 8), 3);
    EXPECT_EQ(blue(60 - dx + 3, 60 + dy + 8), 0);
    DrawMarsMoons(2025, 1, 16, hour, 0, 0, 0, 120, 120, x1, y1, v1, 1, colours, -1, 1);
    EXPECT_GT(blue(60 - dx + 3, 60 + dy + 8), 3);
    EXPECT_EQ(blue(60 + dx + 3, 60 + dy + 8), 0);
}

}  // namespace
