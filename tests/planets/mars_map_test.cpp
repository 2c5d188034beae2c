// The Mars map sub-view of form 2460 headless, on a small Mars feature file: a tap picks
// the nearest feature wherever the map is scrolled, the kind filter lists its run of the
// file, and an empty or missing file leaves nothing to pick. The View sub-view names the
// region tapped on its globe.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/records.h"
#include "moon/globe_drawing.h"
#include "moon/map_textures.h"
#include "planets/mars_view.h"
#include "planets/planet_view_form.h"
#include "platform/picture.h"
#include "platform/surface.h"
#include "planets/planet_view_state.h"
#include "platform/paths.h"
#include "planets/planet_view_fixture.h"
#include "support/recorded_reports.h"

using namespace planet_view_form;

namespace {

constexpr int kMapSubView = 2;
// Rows of the kind filter.
constexpr int kAllRow = 0, kCavusRow = 2, kCraterRow = 4, kRupesRow = 9;

MarsFeatureRecord Feature(const char* name, int kind, int x, int y) {
    MarsFeatureRecord r;
    std::snprintf(r.name, sizeof r.name, "%s", name);
    r.kind = static_cast<std::int16_t>(kind);
    r.x = static_cast<std::int16_t>(x);
    r.y = static_cast<std::int16_t>(y);
    r.sizeKm = 100;
    return r;
}

// In record order, the kinds in runs: Cavus (0) first, then Mons (1), then Crater (2).
const std::vector<MarsFeatureRecord> kFeatures = {
    Feature("Alba Cavus", 0, 5, 100),    Feature("Borea Cavus", 0, 200, 50), Feature("Corvo Mons", 1, 325, 100),
    Feature("Dunmar Crater", 2, 630, 100), Feature("Estra Crater", 2, 400, 250),
};

class MarsMapFormTest : public PlanetViewFormFixture {
protected:
    void BeforeStart() override {
        std::filesystem::create_directories(home / "install" / "data");
        platform::SetInstallRoot(home / "install");
    }
    void TearDown() override {
        PlanetViewFormFixture::TearDown();
        CloseCatalogDatabases();
        platform::SetInstallRoot({});
    }

    // The feature file with these records (none: an empty file), or no file at all.
    void WriteFeatures(const std::vector<MarsFeatureRecord>& features, bool file = true) {
        Call([] { CloseCatalogDatabases(); });
        const std::filesystem::path path = home / "install" / "data" / kMarsFile;
        std::filesystem::remove(path);
        if (file) {
            RecordFileImage image;
            image.creator = kCreatorMars;
            image.recordSize = kMarsFeatureRecordSize;
            for (const MarsFeatureRecord& f : features) EncodeMarsFeatureRecord(f, image.Append());
            ASSERT_TRUE(WriteRecordFileImage(path, image));
        }
        Call([] { OpenAllCatalogDatabases(); });
        ClearRecordedReports();
    }
    // The map sub-view of the Mars assistant, the kind filter on "All".
    void OpenMap() {
        Open(&SelectMarsAssistant);
        Pick(kSubViewPopup, kSubViewList, kMapSubView);
        Pick(kKindPopup, kKindList, kAllRow);
        ASSERT_EQ(planetView.subView, kMapSubView);
        // The View sub-view the assistant opened on says what it lacks here.
        ClearRecordedReports();
    }
    int FeatureRows() {
        int n = -1;
        Call([&] { n = GetListCount(Item(kFeatureList)); });
        return n;
    }
};

// The view area starts 24 pixels down; at scroll (0, 0) a map point lies at (x, y + 24).
TEST_F(MarsMapFormTest, ATapPicksTheNearestFeatureWhereverTheMapIsScrolled) {
    WriteFeatures(kFeatures);
    OpenMap();
    struct Case {
        int x, y, feature;
    };
    const Case unscrolled[] = {{10, 124, 0}, {200, 80, 1}, {230, 290, 4}, {100, 200, 0}};
    for (const Case& t : unscrolled) {
        Tap(At(t.x, t.y));
        EXPECT_EQ(planetView.selectedFeature, t.feature) << t.x << "," << t.y;
        EXPECT_EQ(Label(kFeaturePopup), kFeatures[t.feature].name);
    }
    // Scrolled 20 pixels right: the left edge shows the map's east end, and a tap there
    // picks the feature at x 630, not the one at x 5.
    Drag(At(100, 150), At(120, 150), 4, 100);
    EXPECT_EQ(planetView.mapScrollX, 20);
    EXPECT_EQ(planetView.selectedFeature, -1) << "a drag drops the selection";
    Tap(At(5, 124));
    EXPECT_EQ(planetView.selectedFeature, 3);
    // Scrolled as far left as it goes: the right edge is a whole map on, back near x 315.
    for (int i = 0; i < 5; ++i) Drag(At(230, 150), At(10, 150), 4, 100);
    EXPECT_EQ(planetView.mapScrollX, planetView.screenWidth - 960);
    Tap(At(235, 124));
    EXPECT_EQ(planetView.selectedFeature, 2);
    for (const ReportRecord& r : RecordedReports()) EXPECT_EQ(r.heading, "Can't find") << r.heading;
}

// A kind lists its run of the file, the first kind included; "All" the whole file from
// record 0; a kind the file lacks lists nothing.
TEST_F(MarsMapFormTest, TheKindFilterListsItsRun) {
    WriteFeatures(kFeatures);
    OpenMap();
    struct Case {
        int row, first, count;
    };
    const Case cases[] = {{kCavusRow, 0, 2}, {kCraterRow, 3, 2}, {kAllRow, 0, 5}, {kRupesRow, 0, 0}, {kAllRow, 0, 5}};
    for (const Case& c : cases) {
        Pick(kKindPopup, kKindList, c.row);
        EXPECT_EQ(FeatureRows(), c.count) << "kind row " << c.row;
        if (c.count == 0) continue;
        EXPECT_EQ(planetView.featureRunStart, c.first) << "kind row " << c.row;
        Pick(kFeaturePopup, kFeatureList, c.count - 1);
        EXPECT_EQ(planetView.selectedFeature, c.first + c.count - 1) << "kind row " << c.row;
        EXPECT_EQ(Label(kFeaturePopup), kFeatures[c.first + c.count - 1].name);
    }
    Pick(kFeaturePopup, kFeatureList, 0);
    EXPECT_EQ(planetView.selectedFeature, 0);
    for (const ReportRecord& r : RecordedReports()) EXPECT_EQ(r.heading, "Can't find") << r.heading;
}

TEST_F(MarsMapFormTest, WithoutFeaturesATapPicksNothing) {
    for (bool file : {true, false}) {
        WriteFeatures({}, file);
        OpenMap();
        EXPECT_EQ(FeatureRows(), 0);
        Tap(At(120, 150));
        EXPECT_EQ(planetView.selectedFeature, -1) << (file ? "empty file" : "no file");
        EXPECT_EQ(Label(kFeaturePopup), "");
        Pick(kKindPopup, kKindList, kCraterRow);
        EXPECT_EQ(FeatureRows(), 0);
        Pick(kKindPopup, kKindList, kAllRow);
        Command(kBack);
    }
}

// The View sub-view names the large region under a tap on its textured globe, and the
// stylus then turns the hours, 10 minutes per pixel across; a tap on the globe's square
// beside the disc names nothing and a drag from there changes nothing.
TEST_F(MarsMapFormTest, AViewTapNamesTheRegionAndTurnsTheHours) {
    std::filesystem::create_directories(home / "install" / "maps");
    platform::Surface map = platform::MakeSurface(360, 180);
    for (int y = 0; y < 180; ++y)
        for (int x = 0; x < 360; ++x) map.Row(y)[x] = static_cast<std::uint16_t>(x < 180 ? 0x2108 : 0x4210);
    ASSERT_TRUE(platform::SavePng(map, home / "install" / "maps" / "mars_map.jpg"));
    // Earlier openings without the texture are not remembered against it.
    Call([] {
        FreeMapImages();
        ForgetFailedMapImages();
    });
    Open(&SelectMarsAssistant);
    Pick(kSubViewPopup, kSubViewList, 1);
    const Bounds globe = MarsViewGlobeBounds(0, 24, planetView.screenWidth, planetView.screenHeight - 46);
    const int cx = globe.x + globe.width / 2, cy = globe.y + globe.height / 2;
    // The whole degree of longitude whose point at latitude 10 lies nearest the disc's middle.
    int best = 1 << 30, longitude = 0, px = 0, py = 0;
    Call([&] {
        for (int west = -180; west < 180; west += 5) {
            int x = 0, y = 0;
            if (!ProjectSpherePoint(&x, &y, cx, cy, west, 10.0)) continue;
            const int d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d < best) best = d, longitude = -west, px = x, py = y;
        }
    });
    ASSERT_LT(best, 30 * 30) << "the globe was drawn";
    MarsFeatureRecord plain = Feature("Utopia Planitia", 3, 0, 0);
    plain.latitude = 10.0f;
    plain.longitude = static_cast<float>(longitude);
    WriteFeatures({plain});
    auto minutes = [] { return planetView.day * 1440 + planetView.hour * 60 + planetView.minute; };
    const int before = minutes();
    Drag(At(px + 2, py + 2), At(px + 22, py + 2), 2, 50);
    EXPECT_EQ(minutes() - before, 200);
    // Mirrored left to right (orientation row 1), the region is found where it shows.
    Pick(kOrientationPopup, kOrientationList, 1);
    Call([&] { ASSERT_TRUE(ProjectSpherePoint(&px, &py, cx, cy, -longitude, 10.0)); });
    const int mirrored = 2 * globe.x + globe.width - 1 - (px + 2), start = minutes();
    // A tap writes the name, readable, where the mirrored globe shows the region.
    const int nameX = 2 * globe.x + globe.width - 1 - px;
    auto white = [&] {
        const platform::Surface* screen = platform::WindowSurface(formWindow);
        const platform::Point o = platform::WindowOrigin(formWindow);
        int n = 0;
        for (int y = py; y < py + 14; ++y)
            for (int x = nameX; x < nameX + 60; ++x) n += screen->Row(y + o.y)[x + o.x] == 0x7FFF;
        return n;
    };
    EXPECT_EQ(white(), 0);
    Tap(At(mirrored, py + 2));
    EXPECT_GT(white(), 20);
    Drag(At(mirrored, py + 2), At(mirrored - 20, py + 2), 2, 50);
    EXPECT_EQ(minutes() - start, -200);
    // The disc is round: the square's corner is off it.
    const int after = minutes();
    Drag(At(globe.x + 1, globe.y + 1), At(globe.x + 21, globe.y + 1), 2, 50);
    EXPECT_EQ(minutes(), after);
    Call([] { FreeMapImages(); });
}

}  // namespace
