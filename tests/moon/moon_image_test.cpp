// The Moon picture: the darkening of 5-5-5 pixels, the night side of the disc for the
// principal colongitudes, rendering from synthetic tiles (mirrors, night red, missing
// tiles), the drag of the view, and the new Moon the date lines name.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "moon/globe_fixture.h"
#include "moon/lunar_ephemeris.h"
#include "moon/moon_image.h"
#include "platform/gfx_context.h"

namespace {

constexpr std::uint16_t kGrey = Px(20, 20, 20);
constexpr std::uint16_t kShaded = Px(15, 15, 15);

TEST(DarkenPixels555, LowersEachChannelAndClampsAtZero) {
    struct Case {
        std::uint16_t in, out;
    };
    const Case cases[] = {
        {Px(31, 31, 31), Px(26, 26, 26)}, {Px(5, 5, 5), 0},          {Px(4, 31, 0), Px(0, 26, 0)},
        {Px(0, 0, 6), Px(0, 0, 1)},       {Px(31, 0, 31), Px(26, 0, 26)}, {0, 0},
    };
    std::vector<std::uint16_t> pixels;
    for (const Case& c : cases) pixels.push_back(c.in);
    pixels.push_back(0x7FFF);  // the last one stays as it is: only count pixels change
    DarkenPixels555(pixels.data(), static_cast<int>(pixels.size()) - 1);
    for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(pixels[i], cases[i].out) << i;
    EXPECT_EQ(pixels.back(), 0x7FFF);
}

class MoonPicture : public GlobeTest {
protected:
    void TearDown() override {
        FreeMoonImage();
        moonImageView = MoonImageView{};
        GlobeTest::TearDown();
    }
    // Pixel of a rendered record (compatible or device-independent) at (x, y), as 5-5-5.
    static std::uint16_t At(DrawWindow* image, int x, int y) {
        return platform::ColorToPixel(platform::GetPixel(image->dc, x, y));
    }
    void WriteTiles(const std::function<std::uint16_t(int, int)>& pixel) {
        for (int i = 0; i < 9; ++i) WriteBitmap(kMoonFirstTile + i, kMoonTileSize, kMoonTileSize, pixel);
        WriteBitmap(kMoonSmallPicture, kMoonSmallSize, kMoonSmallSize, pixel);
        ClearPictureCache();
    }
};

// At colongitude 0 (first quarter) the left half of the disc is dark; at 90 (full) none of
// it; at 180 (last quarter) the right half; at 270 (new) all of it.
TEST_F(MoonPicture, NightSideForThePrincipalColongitudes) {
    struct Case {
        double c0;
        bool leftDark, rightDark, leftCornerDark, rightCornerDark;
    };
    const Case cases[] = {{0, true, false, true, false},
                          {90, false, false, true, false},
                          {180, false, true, false, true},
                          {270, true, true, true, false}};
    for (const Case& c : cases) {
        Fill(kGrey);
        ShadeMoonImage(target, c.c0, 0.0);
        const auto expect = [](bool dark) { return dark ? kShaded : kGrey; };
        EXPECT_EQ(Pixel(80, 160), expect(c.leftDark)) << c.c0;
        EXPECT_EQ(Pixel(100, 290), expect(c.leftDark)) << c.c0;
        EXPECT_EQ(Pixel(240, 160), expect(c.rightDark)) << c.c0;
        EXPECT_EQ(Pixel(220, 30), expect(c.rightDark)) << c.c0;
        EXPECT_EQ(Pixel(3, 3), expect(c.leftCornerDark)) << c.c0;
        EXPECT_EQ(Pixel(316, 3), expect(c.rightCornerDark)) << c.c0;
    }
    // At full Moon every pixel of the disc keeps its brightness.
    Fill(kGrey);
    ShadeMoonImage(target, 90.0, 0.0);
    int darkInside = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const double dx = x - 159.5, dy = y - 159.5;
            if (dx * dx + dy * dy < 157.0 * 157.0 && Pixel(x, y) != kGrey) ++darkInside;
        }
    EXPECT_EQ(darkInside, 0);
}

TEST_F(MoonPicture, RendersTheTilesMirroredAsAsked) {
    // A red block at the top left of every tile and of the small picture.
    WriteTiles([](int x, int y) { return x < 40 && y < 40 ? Px(31, 0, 0) : kGrey; });
    DrawWindow* image = RenderMoonImage(1, 2024, 3, 25, 12, 0, 0, 0);  // near full Moon
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image, moonImage);
    EXPECT_EQ(moonImageView.imageSize, 320);
    const auto red = [](std::uint16_t p) { return ((p >> 10) & 31) >= 20 && ((p >> 5) & 31) == 0; };
    EXPECT_TRUE(red(At(image, 10, 10)));
    EXPECT_FALSE(red(At(image, 310, 10)));

    image = RenderMoonImage(1, 2024, 3, 25, 12, 0, 1, 0);
    EXPECT_TRUE(red(At(image, 310, 10)));
    EXPECT_FALSE(red(At(image, 10, 10)));
    image = RenderMoonImage(1, 2024, 3, 25, 12, 0, 0, 1);
    EXPECT_TRUE(red(At(image, 10, 310)));

    image = RenderMoonImage(2, 2024, 3, 25, 12, 0, 0, 0);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(moonImageView.imageSize, 960);
    EXPECT_EQ(image->width, 960);
    for (int tile = 0; tile < 9; ++tile) EXPECT_TRUE(red(At(image, (tile % 3) * 320 + 10, (tile / 3) * 320 + 10))) << tile;
    FreeMoonImage();
    EXPECT_EQ(moonImage, nullptr);
    FreeMoonImage();
}

TEST_F(MoonPicture, NightModeTurnsThePictureRed) {
    WriteTiles([](int, int) { return kGrey; });
    for (bool tiles : {true, false}) {
        if (!tiles) {
            for (int i = 0; i < 9; ++i) std::filesystem::remove(root / "resources" / "bitmaps" / (std::to_string(kMoonFirstTile + i) + ".png"));
            ClearPictureCache();
        }
        preferences.word[pref::nightMode] = 3;
        DrawWindow* image = RenderMoonImage(2, 2024, 3, 18, 20, 0, 0, 0);
        ASSERT_NE(image, nullptr);
        int lit = 0;
        for (int y = 0; y < 960; y += 7)
            for (int x = 0; x < 960; x += 7) {
                const std::uint16_t p = At(image, x, y);
                EXPECT_EQ(p & 0x3FF, 0) << x << "," << y;
                if (p) ++lit;
                if (p & 0x3FF) return;
            }
        EXPECT_GT(lit, 0) << (tiles ? "tiles" : "outline");
        preferences.word[pref::nightMode] = 0;
    }
}

// Without the tiles the picture is the disc's outline, shaded.
TEST_F(MoonPicture, MissingTilesLeaveTheOutline) {
    DrawWindow* image = RenderMoonImage(2, 2024, 3, 25, 12, 0, 0, 0);
    ASSERT_NE(image, nullptr);
    EXPECT_NE(At(image, 480, 1), 0);   // the top of the circle
    EXPECT_EQ(At(image, 480, 480), 0);  // inside, nothing
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(MoonPicture, DragSetsMovedFromSixPixelsAndClampsTheScroll) {
    MoonImageView& v = moonImageView;
    v.imageSize = 960;
    v.view = Bounds{0, 0, 240, 274};
    for (int d : {5, 6}) {
        v.downX = v.lastX = 100;
        v.downY = v.lastY = 100;
        v.scrollX = v.scrollY = 300;
        v.moved = 0;
        PanMoonImage(100 + d, 100);
        EXPECT_EQ(v.moved, d >= 6 ? 1 : 0) << d;
        EXPECT_EQ(v.scrollX, 300 - d);
        v.moved = 0;
        v.lastX = 100;
        PanMoonImage(100, 100 - d);
        EXPECT_EQ(v.moved, d >= 6 ? 1 : 0) << d;
        EXPECT_EQ(v.scrollY, 300 + d);
    }
    // Far beyond the picture's edges, and a view wider and taller than the picture.
    PanMoonImage(5000, 5000);
    EXPECT_EQ(v.scrollX, 0);
    EXPECT_EQ(v.scrollY, 0);
    PanMoonImage(-5000, -5000);
    EXPECT_EQ(v.scrollX, 960 - 240);
    EXPECT_EQ(v.scrollY, 960 - 274);
    v.imageSize = 320;
    v.view = Bounds{0, 0, 480, 600};
    PanMoonImage(-9000, -9000);
    EXPECT_EQ(v.scrollX, 0);
    EXPECT_EQ(v.scrollY, 0);
}

// Meeus example 49.a: the new Moon of 1977 February 18, 3h37m42s TD (JDE 2443192.65118),
// 48 s of Delta T before UT.
TEST(LastNewMoon, NeverNamesALaterOne) {
    const double newMoon = 2443192.65118 - 48.0 / 86400.0;
    EXPECT_NEAR(LastNewMoonAtOrBefore(newMoon + 0.001), newMoon, 0.001);
    EXPECT_NEAR(LastNewMoonAtOrBefore(newMoon + 29.0), newMoon, 0.001);
    const double before = LastNewMoonAtOrBefore(newMoon - 0.001);
    EXPECT_LT(before, newMoon - 29.0);
    EXPECT_GT(before, newMoon - 30.0);
    // Late in a month whose first days come before that month's new Moon.
    EXPECT_NEAR(LastNewMoonAtOrBefore(newMoon - 17.0), before, 0.001);
}

}  // namespace
