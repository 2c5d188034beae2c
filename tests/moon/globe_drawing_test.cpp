// Textured globes: orientation, point projection, the Earth from two halves, hole
// filling, flattening and the ringed planet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"
#include "globe_fixture.h"
#include "moon/globe_drawing.h"
#include "moon/map_textures.h"
#include "support/recorded_reports.h"

namespace {

constexpr int kMars = 8;
constexpr int kCx = 160, kCy = 160;

// The filled holes take truncated means of their neighbours, a unit or two below them.
bool Like(std::uint16_t p, std::uint16_t colour) {
    for (int shift : {10, 5, 0}) {
        const int a = (p >> shift) & 31, b = (colour >> shift) & 31;
        if (a > b || a < b - 2) return false;
    }
    return true;
}

TEST_F(GlobeTest, TurnsShowTheExpectedFace) {
    WriteQuadrantMap("mars");
    struct Probe {
        int dx, dy;
        std::uint16_t colour;
    };
    struct Case {
        const char* name;
        double a, b, c;
        Probe probes[4];
    };
    const Case cases[] = {
        {"no turn: north up, east right", 0, 0, 0,
         {{30, -30, kNorthEast}, {-30, -30, kNorthWest}, {30, 30, kSouthEast}, {-30, 30, kSouthWest}}},
        // Longitude -90 at the centre: the western half fills the disc.
        {"A = 90", 90, 0, 0,
         {{30, -30, kNorthWest}, {-30, -30, kNorthWest}, {30, 30, kSouthWest}, {-30, 30, kSouthWest}}},
        // The north pole at the centre: only northern colours around it, east to the left
        // of the pole's meridian 0, which runs down from it.
        {"C = 90", 0, 0, 90,
         {{30, 30, kNorthEast}, {-30, 30, kNorthWest}, {30, -30, kNorthEast}, {-30, -30, kNorthWest}}},
        // The north pole turned from the top to the right.
        {"B = 90", 0, 90, 0,
         {{30, -30, kNorthWest}, {30, 30, kNorthEast}, {-30, -30, kSouthWest}, {-30, 30, kSouthEast}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Fill(0);
        ASSERT_EQ(DrawPlanetTexture(kMars, kCx, kCy, c.a, c.b, c.c, 100.0, 1.0), 1);
        for (const Probe& p : c.probes)
            EXPECT_TRUE(Like(Pixel(kCx + p.dx, kCy + p.dy), p.colour))
                << p.dx << "," << p.dy << ": " << Pixel(kCx + p.dx, kCy + p.dy);
    }
    // The marker at the centre with no turn (the fixed-point sine of 0 is 3 units, which
    // lifts latitude 0 by a pixel or two).
    Fill(0);
    DrawPlanetTexture(kMars, kCx, kCy, 0, 0, 0, 100.0, 1.0);
    EXPECT_TRUE(Near(kCx, kCy, kMarker, 2));
}

TEST_F(GlobeTest, ProjectedPointsLandOnTheirTexel) {
    WriteQuadrantMap("mars");
    const double views[][3] = {{0, 0, 0}, {40, 0, 0}, {-35, 20, 15}, {20, -30, -25}};
    for (const auto& v : views) {
        SCOPED_TRACE(testing::Message() << v[0] << " " << v[1] << " " << v[2]);
        Fill(0);
        ASSERT_EQ(DrawPlanetTexture(kMars, kCx, kCy, v[0], v[1], v[2], 100.0, 1.0), 1);
        int x = -1, y = -1;
        ASSERT_EQ(ProjectSpherePoint(&x, &y, kCx, kCy, 0.0, 0.0), 1);
        EXPECT_TRUE(Near(x, y, kMarker, 1)) << x << "," << y;
    }
    // The marker's own longitude is east; west-positive arguments put a point at 0/0 of a
    // globe turned by A = 40 left of the centre, at longitude 40 east on the far side.
    DrawPlanetTexture(kMars, kCx, kCy, 40, 0, 0, 100.0, 1.0);
    int x, y;
    ASSERT_EQ(ProjectSpherePoint(&x, &y, kCx, kCy, 40.0, 0.0), 1);
    EXPECT_NEAR(x, kCx, 1);
    EXPECT_EQ(ProjectSpherePoint(&x, &y, kCx, kCy, -140.0, 0.0), 0);
}


class MapOnSphereTest : public GlobeTest {
protected:
    void WriteHalves(std::uint16_t west, std::uint16_t east) {
        // As wide as high, as the Earth's halves are: dense enough to leave no holes.
        WriteBitmap(kEarthMapHalves, 460, 460, [=](int, int) { return west; });
        WriteBitmap(kEarthMapHalves + 1, 460, 460, [=](int, int) { return east; });
    }
    // The disc's horizontal extent through its centre row: first and last column that is
    // not the background.
    std::pair<int, int> Extent(std::uint16_t background) const {
        int first = -1, last = -1;
        for (int x = 0; x < kSize; ++x)
            if (Pixel(x, kCy) != background) {
                if (first < 0) first = x;
                last = x;
            }
        return {first, last};
    }
};

TEST_F(MapOnSphereTest, RadiusFollowsTheHalvesOrTheArgument) {
    const std::uint16_t land = Px(10, 20, 5), sea = Px(3, 6, 25), background = Px(0, 0, 9);
    WriteHalves(land, sea);
    struct Case {
        int large;
        double radius;
        int key;
        int expected;
    };
    const Case cases[] = {{0, 50.0, -1, 96}, {1, 50.0, -1, 111}, {0, 50.7, sea, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        Fill(background);
        ASSERT_EQ(DrawMapOnSphere(kEarthMapHalves, kCx, kCy, c.large, 0, 0, 0, c.radius, c.key, platform::Rgb(0, 0, 255)),
                  1);
        const auto [first, last] = Extent(background);
        EXPECT_EQ(first, kCx - c.expected);
        EXPECT_NEAR(last, kCx + c.expected - 1, 1);
        EXPECT_EQ(sphereView.xScale, c.expected);
    }
    // Without a key every texel is drawn: both halves show. With the eastern half as the
    // key, the disc colour shows where it was left out.
    Fill(background);
    DrawMapOnSphere(kEarthMapHalves, kCx, kCy, 0, 0, 0, 0, 0.0, -1, platform::Rgb(255, 255, 255));
    EXPECT_EQ(Pixel(kCx - 30, kCy), land);
    EXPECT_EQ(Pixel(kCx + 30, kCy), sea);
    Fill(background);
    DrawMapOnSphere(kEarthMapHalves, kCx, kCy, 0, 0, 0, 0, 60.0, sea, platform::Rgb(255, 255, 255));
    EXPECT_EQ(Pixel(kCx - 30, kCy), land);
    EXPECT_EQ(Pixel(kCx + 30, kCy), Px(31, 31, 31));
}

TEST_F(MapOnSphereTest, BlackIsTransparentAndAMissingHalfFails) {
    const std::uint16_t background = Px(0, 0, 9);
    WriteHalves(0, Px(20, 20, 20));
    Fill(background);
    // A black disc colour and black western texels: the target shows through both, and
    // through the canvas corners.
    ASSERT_EQ(DrawMapOnSphere(kEarthMapHalves, kCx, kCy, 0, 0, 0, 0, 0.0, -1, platform::Rgb(0, 0, 0)), 1);
    EXPECT_EQ(Pixel(kCx - 30, kCy), background);
    EXPECT_EQ(Pixel(kCx + 30, kCy), Px(20, 20, 20));
    EXPECT_EQ(Pixel(kCx - 90, kCy - 90), background);

    // A missing pair is told once, not at every step of a drag.
    ClearRecordedReports();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(DrawMapOnSphere(7000, kCx, kCy, 0, i, 0, 0, 0.0, -1, 0), 0);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Can't alloc DrawMapOnSphere\n"});
}

TEST_F(GlobeTest, HoleFillingClosesTheDiscAndLeavesSparsePixels) {
    const std::uint16_t colour = Px(12, 17, 9);
    WriteMap("mars", 1024, 512, [=](int, int) { return colour; });
    ASSERT_EQ(DrawPlanetTexture(kMars, kCx, kCy, 25, 10, 20, 150.0, 1.0), 1);
    int holes = 0;
    for (int y = kCy - 150; y < kCy + 150; ++y)
        for (int x = kCx - 150; x < kCx + 150; ++x) {
            const int dx = x - kCx, dy = y - kCy;
            if (dx * dx + dy * dy < 147 * 147) holes += Pixel(x, y) != colour;
        }
    EXPECT_EQ(holes, 0);

    // Four neighbours are not enough; five are, and the mean is taken channel by channel.
    std::uint16_t pixels[5 * 5] = {};
    const DiscPixels disc{pixels, 5, 5, 5};
    disc.Row(1)[1] = disc.Row(1)[2] = disc.Row(1)[3] = disc.Row(2)[1] = Px(8, 8, 8);
    FillDiscHoles(disc);
    EXPECT_EQ(disc.Row(2)[2], 0);
    disc.Row(2)[3] = Px(3, 30, 13);
    FillDiscHoles(disc);
    EXPECT_EQ(disc.Row(2)[2], Px((4 * 8 + 3) / 5, (4 * 8 + 30) / 5, (4 * 8 + 13) / 5));
}

TEST_F(GlobeTest, FlatteningShortensTheDisc) {
    WriteMap("mars", 512, 256, [](int, int) { return Px(20, 20, 20); });
    auto height = [&](double k) {
        Fill(0);
        DrawPlanetTexture(kMars, kCx, kCy, 0, 0, 0, 120.0, k);
        int rows = 0;
        for (int y = 0; y < kSize; ++y) rows += Pixel(kCx, y) != 0;
        return rows;
    };
    const int round = height(1.0), flat = height(0.9);
    EXPECT_NEAR(flat, round * 0.9, 1.0) << round;
}

TEST_F(GlobeTest, SizesOutOfRangeDrawNothing) {
    WriteQuadrantMap("mars");
    for (double r : {0.0, -5.0, 0.5, 2049.0, 1e12}) {
        SCOPED_TRACE(r);
        EXPECT_EQ(DrawPlanetTexture(kMars, kCx, kCy, 0, 0, 0, r, 1.0), 0);
        EXPECT_EQ(DrawPlanetSphere(kMars, 31, kCx, kCy, 0, 0, 0, r / 2.0 < 0.3 ? r / 2.0 : r, 1.0), 0);
    }
    EXPECT_EQ(DrawMapOnSphere(kEarthMapHalves, kCx, kCy, 0, 0, 0, 0, -3.0, 5, 0), 0);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) ASSERT_EQ(Pixel(x, y), 0);
}

// ---- Ringed planet ---------------------------------------------------------------------

class RingTest : public GlobeTest {
protected:
    static constexpr std::uint16_t kGlobe = Px(16, 16, 16);
    static constexpr std::uint16_t kKey = Px(0, 0, 31);
    // A ring picture whose columns and rows span the ring plane: a band from 0.5 to 0.98
    // of the radius in `colour`, the rest the key colour (read from column 2 of the
    // bottom row).
    void WriteRing(const char* name, std::uint16_t colour) {
        const int n = 201;
        WriteMap(name, n, n, [=](int x, int y) {
            const double dx = (x - n / 2) / (n / 2.0), dy = (y - n / 2) / (n / 2.0);
            const double d = std::sqrt(dx * dx + dy * dy);
            return d > 0.5 && d < 0.98 ? colour : kKey;
        });
    }
    static DrawWindow* CountingLoader(const char* path, int bpp) {
        ++loads;
        return LoadImageFile(path, bpp);
    }
    void SetUp() override {
        GlobeTest::SetUp();
        // Dense enough that the globe pass leaves no holes for the ring behind it.
        WriteMap("saturn", 512, 256, [](int, int) { return kGlobe; });
        loads = 0;
        mapImageCache.loader = &CountingLoader;
    }
    static inline int loads = 0;
};

TEST_F(RingTest, RingCoversTintsAndHidesBehindTheGlobe) {
    const std::uint16_t bright = Px(28, 26, 20), dark = Px(4, 3, 2);
    WriteRing("saturn_ring", bright);
    WriteRing("uranus_ring", dark);
    // A tilt of 30 degrees: the near side of the ring crosses the globe below its centre,
    // the far side passes behind it above.
    ASSERT_EQ(DrawPlanetSphere(16, 31, kCx, kCy, 0, 0, 30, 60.0, 1.0), 1);
    // c = 120, g = 50: the globe's disc is 50 pixels; the ring band crosses the vertical
    // through the centre from about 31 to 60 pixels above and below it.
    int frontRing = 0, behindGlobe = 0, behindRing = 0;
    for (int y = kCy - 60; y <= kCy + 60; ++y) {
        const std::uint16_t p = Pixel(kCx, y);
        if (y > kCy && y < kCy + 45 && p == bright) ++frontRing;
        if (y < kCy && y > kCy - 45) behindGlobe += p == kGlobe;
        if (y < kCy - 51) behindRing += p == bright;
    }
    EXPECT_GT(frontRing, 5);
    EXPECT_GT(behindGlobe, 35);
    EXPECT_GT(behindRing, 5);
    for (int y = kCy - 45; y < kCy; ++y) EXPECT_NE(Pixel(kCx, y), bright) << y;

    // A dark ring in front barely changes the globe: (16 x (255 - t) + t^2) / 255 per
    // channel, once for each ring texel landing on the pixel.
    Fill(0);
    ASSERT_EQ(DrawPlanetSphere(16, 32, kCx, kCy, 0, 0, 30, 60.0, 1.0), 1);
    const std::uint16_t tinted = Px((16 * 251 + 16) / 255, (16 * 252 + 9) / 255, (16 * 253 + 4) / 255);
    ASSERT_NE(tinted, kGlobe);
    int tints = 0;
    for (int y = kCy; y < kCy + 48; ++y) {
        const std::uint16_t p = Pixel(kCx, y);
        EXPECT_TRUE(Like(p, kGlobe)) << y << ": " << p;
        tints += p != kGlobe;
    }
    EXPECT_GT(tints, 5);
}

TEST_F(RingTest, RingsReloadAloneAndAMissingRingLeavesThePlanet) {
    WriteRing("saturn_ring", Px(28, 26, 20));
    WriteRing("uranus_ring", Px(20, 26, 28));
    WriteMap("uranus", 64, 32, [](int, int) { return kGlobe; });
    ASSERT_EQ(DrawPlanetSphere(16, 31, kCx, kCy, 0, 0, 30, 20.0, 1.0), 1);
    EXPECT_EQ(loads, 2);
    DrawPlanetSphere(16, 31, kCx, kCy, 5, 0, 30, 20.0, 1.0);
    EXPECT_EQ(loads, 2) << "both cached";
    DrawPlanetSphere(16, 32, kCx, kCy, 0, 0, 30, 20.0, 1.0);
    EXPECT_EQ(loads, 3) << "only the ring";
    EXPECT_EQ(mapImageCache.ringId, 32);
    DrawPlanetSphere(22, 32, kCx, kCy, 0, 0, 30, 20.0, 1.0);
    EXPECT_EQ(loads, 5) << "a new map drops the ring";

    // No ring picture: told once, the planet drawn without it.
    std::filesystem::remove(root / "install" / "maps" / "saturn_ring_map.jpg");
    FreeMapImages();
    ClearRecordedReports();
    Fill(0);
    for (int i = 0; i < 3; ++i) ASSERT_EQ(DrawPlanetSphere(16, 31, kCx, kCy, i, 0, 30, 20.0, 1.0), 1);
    EXPECT_EQ(Pixel(kCx, kCy), kGlobe);
    ASSERT_EQ(RecordedReports().size(), 2u);
    EXPECT_EQ(RecordedReports()[0].heading, "Can't find");
    EXPECT_EQ(RecordedReports()[1].heading, "Can't alloc DrawMapOnSphere");
    EXPECT_EQ(mapImageCache.ringId, -1);
}

}  // namespace

// ---- Tapped Mars regions ---------------------------------------------------------------

namespace {

class TappedRegionTest : public GlobeTest {
protected:
    void SetUp() override {
        GlobeTest::SetUp();
        std::filesystem::create_directories(root / "install" / "data");
        platform::SetHomeRoot(root / "home");
        RecordFileImage image;
        image.creator = kCreatorMars;
        image.recordSize = kMarsFeatureRecordSize;
        struct Feature {
            const char* name;
            int kind;
            float latitude, longitude;
        };
        // A crater at the centre of the unturned globe, a plain 40 degrees east of it and a
        // terra on the far side.
        const Feature features[] = {{"Centre Crater", 2, 0.0f, 0.0f},
                                    {"Utopia Planitia", 3, 10.0f, 40.0f},
                                    {"Terra Far", 9, 0.0f, 180.0f}};
        for (const Feature& f : features) {
            MarsFeatureRecord r;
            std::snprintf(r.name, sizeof r.name, "%s", f.name);
            r.kind = static_cast<std::int16_t>(f.kind);
            r.latitude = f.latitude;
            r.longitude = f.longitude;
            EncodeMarsFeatureRecord(r, image.Append());
        }
        ASSERT_TRUE(WriteRecordFileImage(root / "install" / "data" / kMarsFile, image));
        OpenAllCatalogDatabases();
        ClearRecordedReports();
        ASSERT_EQ(GetMarsFeatureCount(), 3);
        WriteQuadrantMap("mars");
        ASSERT_EQ(DrawPlanetTexture(kMars, kCx, kCy, 0, 0, 0, 100.0, 1.0), 1);
    }
    void TearDown() override {
        CloseCatalogDatabases();
        platform::SetHomeRoot({});
        GlobeTest::TearDown();
    }
};

TEST_F(TappedRegionTest, NamesOnlyLargeRegionsNearTheTap) {
    MarsFeatureRecord record;
    int x, y;
    ASSERT_EQ(ProjectSpherePoint(&x, &y, kCx, kCy, -40.0, 10.0), 1);
    Fill(0);
    EXPECT_EQ(ShowTappedRegionName(&record, kCx, kCy, x + 10, y - 12), 1);
    EXPECT_STREQ(record.name, "Utopia Planitia");
    int white = 0;
    for (int dy = 0; dy < 14; ++dy)
        for (int dx = 0; dx < 60; ++dx) white += Pixel(x + dx, y + dy) == Px(31, 31, 31);
    EXPECT_GT(white, 20) << "the name at the feature's place";

    EXPECT_EQ(ShowTappedRegionName(&record, kCx, kCy, kCx, kCy), 0) << "craters are never named";
    EXPECT_EQ(ShowTappedRegionName(&record, kCx, kCy, x + 15, y), 0) << "15 pixels is too far";
    EXPECT_EQ(ShowTappedRegionName(&record, kCx, kCy, 10, 10), 0);
    EXPECT_EQ(ShowTappedRegionName(nullptr, kCx, kCy, x, y), 0);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{});
}

}  // namespace
