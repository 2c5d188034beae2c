// The PlanetAssistant's views drawn on a headless offscreen from generated bitmaps: every
// planet symbol and the Moon pictures have colours of their own, so that what was drawn
// where can be counted. The ecliptic strip with its stars, lines, Moon and table; the
// symbols of the Sun View, the tables and the Charts legend; the Sky View's star level
// and label fonts.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "astro/planet_positions.h"
#include "catalog/byte_order.h"
#include "catalog/catalog_fixture.h"
#include "catalog/records.h"
#include "chart/chart_colours.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/star_layers.h"
#include "core/settings.h"
#include "moon/map_textures.h"
#include "planets/planet_assistant.h"
#include "planets/planet_assistant_views.h"
#include "platform/headless.h"
#include "platform/picture.h"
#include "platform/surface.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "support/observing_state.h"
#include "support/recorded_reports.h"

using namespace planet_assistant;

namespace {

constexpr std::uint16_t Px(int r, int g, int b) { return static_cast<std::uint16_t>(r << 10 | g << 5 | b); }
// The centre of symbol cell n; the rest of the cell is the strip's black key.
constexpr std::uint16_t SymbolColour(int n) { return Px(n + 1, 30 - n, 17); }
constexpr std::uint16_t kStarDot = Px(31, 31, 0);
constexpr std::uint16_t kMoonPicture = Px(0, 31, 31);
constexpr int kWidth = 240;

class PlanetAssistantViewsTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Options options;
        platform::headless::Install(options);
        InitScreenScale();
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        root = std::filesystem::temp_directory_path() /
               ("vk-planet-views-" + std::to_string(::getpid()) + "-" + info->name());
        std::filesystem::remove_all(root);
        for (const char* dir : {"install/data", "install/font", "install/maps", "home", "resources/bitmaps"})
            std::filesystem::create_directories(root / dir);
        std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                                   root / "install" / "font" / "symbol.ttf");
        if (const char* r = std::getenv("VELKARION_RESOURCES")) savedResources_ = r;
        ::setenv("VELKARION_RESOURCES", (root / "resources").c_str(), 1);
        EnterCatalogState(root / "install", root / "home");
        savedPreferences_ = preferences;
        savedState_ = planetFormState;
        savedSettings_ = planetFormSettings;
        savedMoon_ = moonBlock;
        SetDefaultSettings();
        SetChartSetting(chartpref::background, kBackgroundBlack);
        preferences.word[pref::nightMode] = 0;
        SetChartColors();
        UseTestSite(48.85, -2.35, 60);
        planetFormState = PlanetFormState{};
        planetFormState.year = 2025, planetFormState.month = 3, planetFormState.day = 1;
        planetFormState.hour = 21, planetFormState.minute = 0;
        ClearPictureCache();
        FreeSymbolStrips();
        FreeSavedBitmap();

        WriteBitmap(3999, 13 * 18, 18, [](int x, int y) {
            const int cx = x % 18;
            return cx >= 7 && cx <= 10 && y >= 7 && y <= 10 ? SymbolColour(x / 18) : Px(0, 0, 0);
        });
        // The star strips on a black key: a dot in the middle of every cell.
        for (int id : {kStarStripBlackColour, kStarStripBlackMono})
            WriteBitmap(id, 13 * kStarCell, 7 * kStarCell, [](int x, int y) {
                return x % kStarCell == 6 && y % kStarCell == 6 ? kStarDot : Px(0, 0, 0);
            });
        // The Moon pictures: their top-left pixel is the mask's key.
        for (int id = 6050; id <= 6063; ++id)
            WriteBitmap(id, 16, 16, [](int x, int y) { return x + y < 2 ? Px(0, 0, 0) : kMoonPicture; });
        ClearRecordedReports();
    }
    void TearDown() override {
        SetDrawWindow(nullptr);
        DeleteOffscreen(target);
        FreeSymbolStrips();
        FreeSavedBitmap();
        FreeMapImages();
        ForgetFailedMapImages();
        ClearPictureCache();
        LeaveCatalogState();
        planetFormState = savedState_;
        planetFormSettings = savedSettings_;
        moonBlock = savedMoon_;
        preferences = savedPreferences_;
        SetChartColors();
        if (savedResources_.empty()) ::unsetenv("VELKARION_RESOURCES");
        else ::setenv("VELKARION_RESOURCES", savedResources_.c_str(), 1);
        platform::headless::Uninstall();
        std::filesystem::remove_all(root);
    }

    void WriteBitmap(int id, int width, int height, const std::function<std::uint16_t(int, int)>& pixel) {
        platform::Surface s = platform::MakeSurface(width, height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) s.Row(y)[x] = pixel(x, y);
        ASSERT_TRUE(platform::SavePng(s, root / "resources" / "bitmaps" / (std::to_string(id) + ".png")));
    }
    // Stars at (ra hours, dec degrees) and the constellation lines between star indexes.
    void WriteStars(const std::vector<std::pair<float, float>>& stars, const std::vector<std::pair<int, int>>& lines) {
        WriteTestRecordFile(root / "install" / "data" / kDefaultStarsFile, 0, kCreatorDefaultStars, kStarRecordSize,
                            static_cast<std::uint32_t>(stars.size()), [&](std::uint32_t i, std::uint8_t* r) {
                                le::PutI16(r, 0, static_cast<std::int16_t>(i + 1));
                                le::PutF32(r, 4, stars[i].first);
                                le::PutF32(r, 8, stars[i].second);
                                le::PutI16(r, 12, 2 * 16);
                            });
        WriteTestRecordFile(root / "install" / "data" / kConstellationFile, 0, kCreatorConstellationLines,
                            kConstellationLineRecordSize, static_cast<std::uint32_t>(lines.size()),
                            [&](std::uint32_t i, std::uint8_t* r) {
                                ConstellationLineRecord line{};
                                line.value[1] = static_cast<std::int16_t>(lines[i].first);
                                line.value[2] = static_cast<std::int16_t>(lines[i].second);
                                EncodeConstellationLineRecord(line, r);
                            });
        OpenCatalogDatabases(1);
        ClearRecordedReports();
    }

    // A form of the given height drawn into a fresh offscreen of that size.
    void Draw(int height, const std::function<void()>& draw) {
        SetDrawWindow(nullptr);
        DeleteOffscreen(target);
        target = CreateOffscreenDIB(kWidth, height, 16);
        ASSERT_NE(target, nullptr);
        SetDrawWindow(target);
        planetFormState.width = kWidth;
        planetFormState.height = height;
        draw();
    }
    std::uint16_t Pixel(int x, int y) const {
        if (x < 0 || y < 0 || x >= target->width || y >= target->height) return 0;
        return reinterpret_cast<const std::uint16_t*>(target->pixels + (target->height - 1 - y) * target->stride)[x];
    }
    int CountNear(int x, int y, int reach, std::uint16_t value) const {
        int n = 0;
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) n += Pixel(x + dx, y + dy) == value;
        return n;
    }
    int CountIn(const Bounds& r, std::uint16_t value) const {
        int n = 0;
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x) n += Pixel(x, y) == value;
        return n;
    }
    // Where the ecliptic strip puts a place.
    static platform::Point OnStrip(const EclipticLayout& l, double ra, double dec) {
        return platform::Point{static_cast<int>(std::floor((24 - ra) * kWidth / 24)),
                               l.centreY - static_cast<int>(dec * l.perDegree)};
    }
    static std::uint16_t ChartPixel(const ColourRecord& c) { return Px(c.red >> 3, c.green >> 3, c.blue >> 3); }

    std::filesystem::path root;
    DrawWindow* target = nullptr;
    std::string savedResources_;
    Preferences savedPreferences_{};
    PlanetFormState savedState_;
    PlanetFormSettings savedSettings_;
    MoonBlock savedMoon_{};
    SavedObservingState site_;
};

// The table needs a form taller than 240 layout pixels and lies under the strip; taller
// than 320 it gets headings and goes above the strip. Mars shows its symbol on the strip
// and, with the table, in its row.
TEST_F(PlanetAssistantViewsTest, EclipticTableAndStripByFormHeight) {
    struct Case {
        int height;
        bool rows, headings;
    };
    for (const Case c : {Case{240, false, false}, Case{320, true, false}, Case{400, true, true}}) {
        SCOPED_TRACE(c.height);
        Draw(c.height, [] { DrawEclipticView(); });
        const EclipticLayout l = PlanetEclipticLayout();
        const Bounds area = PlanetDrawingArea();
        EXPECT_EQ(l.rows, c.rows);
        EXPECT_EQ(l.headings, c.headings);
        // The strip with its hour labels stays inside the drawing area.
        EXPECT_GE(l.centreY - 40, area.y);
        EXPECT_LE(l.centreY + 40 + 16, area.y + area.height);
        EXPECT_EQ(CountIn(area, SymbolColour(kBodyMars)), c.rows ? 32 : 16);
        if (!c.rows) continue;
        EXPECT_LE(l.firstRowY + 10 * l.rowHeight, area.y + area.height);
        if (c.headings) EXPECT_GT(l.centreY - 40, l.firstRowY + 10 * l.rowHeight);
        else EXPECT_GT(l.firstRowY, l.centreY + 40);
        EXPECT_EQ(CountNear(20, l.firstRowY + kBodyMars * l.rowHeight + l.rowHeight / 2, 2, SymbolColour(kBodyMars)),
                  16);
    }
    // Without the constellation file the strip draws and says so once for the visit.
    EXPECT_EQ(RecordedReports().size(), 1u);
}

// Stars of the band -40..+40 and the lines between two of them; a line to a star outside
// the band or across 0 h is left out.
TEST_F(PlanetAssistantViewsTest, EclipticStarsAndConstellationLines) {
    WriteStars({{15.0f, 30.0f}, {17.0f, 30.0f}, {15.0f, 50.0f}, {23.9f, -30.0f}, {0.1f, -30.0f}, {13.0f, 35.0f}},
               {{0, 1}, {3, 4}, {5, 2}});
    Draw(240, [] { DrawEclipticView(); });
    const EclipticLayout l = PlanetEclipticLayout();
    const std::uint16_t line = ChartPixel(chartColors[4]);
    for (int star : {0, 1, 3, 4, 5}) {
        static const float kPlaces[6][2] = {{15, 30}, {17, 30}, {15, 50}, {23.9f, -30}, {0.1f, -30}, {13, 35}};
        const platform::Point p = OnStrip(l, kPlaces[star][0], kPlaces[star][1]);
        EXPECT_EQ(CountNear(p.x, p.y, 1, kStarDot), 1) << star;
    }
    const platform::Point outside = OnStrip(l, 15, 50);
    EXPECT_EQ(CountNear(outside.x, outside.y, 3, kStarDot), 0);
    const platform::Point middle = OnStrip(l, 16, 30);
    EXPECT_GT(CountNear(middle.x, middle.y, 1, line), 0);
    const platform::Point towardsOutside = OnStrip(l, 13.4, 38);
    EXPECT_EQ(CountNear(towardsOutside.x, towardsOutside.y, 2, line), 0);
    const platform::Point acrossZero = OnStrip(l, 12, -30);
    EXPECT_EQ(CountNear(acrossZero.x, acrossZero.y, 2, line), 0);
    EXPECT_TRUE(RecordedReports().empty());

    // Closing the form lets go of the chart's star strip, and the next visit loads again.
    planetFormState.open = true;
    ClosePlanetAssistant();
    EXPECT_EQ(savedChartBitmap, nullptr);
    EXPECT_FALSE(planetFormState.eclipticStarsLoaded);
}

// Each body at its place: the Moon as its phase picture for the form's date (leaving the
// chart's own Moon icon alone), the others as their symbols.
TEST_F(PlanetAssistantViewsTest, EclipticBodiesAndTheMoonPicture) {
    moonBlock = MoonBlock{6055, 12, 30};
    Draw(240, [] { DrawEclipticView(); });
    const EclipticLayout l = PlanetEclipticLayout();
    for (int body = kBodySun; body <= kBodyPluto; ++body) {
        BodyRecord r{};
        ComputePlanet(&r, body, 2025, 3, 1, 21, 0, 0);
        const platform::Point p = OnStrip(l, r.rightAscension, r.declination);
        if (body == kBodyMoon) {
            EXPECT_GT(CountNear(p.x, p.y, 7, kMoonPicture), 150);
            EXPECT_EQ(CountNear(p.x, p.y, 9, SymbolColour(kBodyMoon)), 0);
        } else {
            // A symbol at the left edge is moved in to show whole.
            EXPECT_GT(CountNear(std::max(p.x, 9), p.y, 2, SymbolColour(body)), 0) << bodyNames[body];
        }
    }
    EXPECT_EQ(moonBlock.bitmapId, 6055);
    EXPECT_EQ(moonBlock.ageIndex, 12);
}

// The Sun View, the tables and the Charts legend draw the bodies' symbols, on the views'
// own backgrounds.
TEST_F(PlanetAssistantViewsTest, SymbolsAndBackgroundsOfTheOtherViews) {
    Draw(320, [] { DrawSunView(); });
    const Bounds area = PlanetDrawingArea();
    const int bottom = area.y + area.height - 1;
    EXPECT_EQ(Pixel(area.width - 1, bottom), Px(238 >> 3, 238 >> 3, 255 >> 3));
    EXPECT_EQ(CountNear(area.x + area.width / 2, area.y + area.height / 2, 2, SymbolColour(kBodySun)), 16);
    for (int body = kBodyMercury; body <= kBodyEarth; ++body)
        EXPECT_GT(CountIn(area, SymbolColour(body)), 0) << bodyNames[body];

    for (int view : {kPosition, kInfo, kRiseSet}) {
        Draw(320, [view] { DrawPlanetTable(view); });
        const int rowHeight = 24, top = area.y + (view == kRiseSet ? 12 : 24);
        for (int body = kBodySun; body <= kBodyPluto; ++body) {
            const int y = top + body * rowHeight;
            if (y + rowHeight > area.y + area.height) break;
            EXPECT_EQ(CountNear(9, y + rowHeight / 2, 2, SymbolColour(body)), 16) << view << " " << bodyNames[body];
            const std::uint16_t row = body % 2 ? Px(21 >> 3, 21 >> 3, 120 >> 3) : Px(41 >> 3, 41 >> 3, 140 >> 3);
            EXPECT_EQ(Pixel(area.width - 1, y + 1), row);
        }
    }

    Draw(320, [] { DrawPlanetCharts(2025, 1, 0); });
    EXPECT_EQ(Pixel(area.width - 1, area.y + 1), Px(102 >> 3, 102 >> 3, 153 >> 3));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(CountNear(2 + 49 * i + 7, area.y + 7, 2, SymbolColour(kBodyMercury + i)), 16) << i;
    EXPECT_EQ(CountIn(area, SymbolColour(kBodySaturn)), 0);
}

// The Sky View opens the faint-star level of the "Card Catalog" setting whatever its zoom
// (the zoom only limits the magnitude), and takes the chart's label fonts of its zoom.
TEST_F(PlanetAssistantViewsTest, SkyViewTakesTheCardCatalogLevelAndTheZoomFonts) {
    // A level file of one record of 42 empty entries.
    WriteTestRecordFile(root / "install" / "data" / kStellarLevelFiles[1], 0, kCreatorStellarLevel,
                        42 * kStellarStarEntrySize, 1, [](std::uint32_t, std::uint8_t*) {});
    preferences.word[chartpref::cardCatalog] = 1;
    for (int zoom : {0, 9}) {
        SCOPED_TRACE(zoom);
        ResetStarCatalogLevel();
        planetFormSettings.zoomIndex = zoom;
        for (int& font : chartLabelFonts) font = 0;
        Draw(320, [] { DrawPlanetSkyView(); });
        EXPECT_EQ(IsStellarDbOpen(), 1);
        EXPECT_EQ(starCatalogLevel, 1);
        std::array<int, 4> expected{};
        const std::array<int, 4> before{chartLabelFonts[0], chartLabelFonts[1], chartLabelFonts[2],
                                        chartLabelFonts[3]};
        SetChartFontSizes(zoom);
        for (int i = 0; i < 4; ++i) expected[i] = chartLabelFonts[i];
        EXPECT_EQ(before, expected);
        EXPECT_NE(expected, (std::array<int, 4>{}));
    }
    // Without the setting no level is opened.
    preferences.word[chartpref::cardCatalog] = 0;
    ResetStarCatalogLevel();
    Draw(320, [] { DrawPlanetSkyView(); });
    EXPECT_EQ(IsStellarDbOpen(), 0);
}

// The 3D view draws Saturn and Uranus with their rings, Uranus's at its pole angle 0 (an
// ellipse as wide left as right of the globe), and the other bodies without a ring.
TEST_F(PlanetAssistantViewsTest, GlobesWithAndWithoutRings) {
    constexpr std::uint16_t kGlobe = Px(16, 16, 16), kRing = Px(28, 26, 20), kKey = Px(0, 0, 31);
    // Maps dense enough that the globes have no holes; rings as annuli on the key colour.
    auto map = [&](const char* name, int size, const std::function<std::uint16_t(int, int)>& pixel) {
        platform::Surface s = platform::MakeSurface(2 * size, size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < 2 * size; ++x) s.Row(y)[x] = pixel(x, y);
        ASSERT_TRUE(platform::SavePng(s, root / "install" / "maps" / (std::string(name) + "_map.jpg")));
    };
    for (const char* name : {"jupiter", "saturn", "uranus"}) map(name, 256, [&](int, int) { return kGlobe; });
    for (const char* name : {"saturn_ring", "uranus_ring"})
        map(name, 201, [&](int x, int y) {
            const double dx = (x - 201) / 100.5, dy = (y - 100) / 100.5, d = std::sqrt(dx * dx + dy * dy);
            return d > 0.5 && d < 0.98 ? kRing : kKey;
        });
    struct Case {
        int row, mapId, ringId;
    };
    planetFormState.tilt = 30;
    for (const Case c : {Case{15, 16, 31}, Case{21, 22, 32}, Case{10, 11, kNoMapImage}}) {
        SCOPED_TRACE(c.row);
        FreeMapImages();
        Draw(320, [&] { DrawPlanetGlobe(c.row, 120, 160, 90); });
        EXPECT_EQ(mapImageCache.mapId, c.mapId);
        EXPECT_EQ(mapImageCache.ringId, c.ringId);
        EXPECT_EQ(Pixel(120, 160), kGlobe);
        const int left = CountIn(Bounds{0, 0, 120, 320}, kRing), right = CountIn(Bounds{121, 0, 119, 320}, kRing);
        if (c.ringId == kNoMapImage) {
            EXPECT_EQ(left + right, 0);
            continue;
        }
        EXPECT_GT(left + right, 200);
        if (c.row == 21) {
            EXPECT_NEAR(left, right, (left + right) / 20);
        }
    }
}

}  // namespace
