// Tap identification over what the chart drew: the selection records, the objects and
// stars in the chart's buffers, and the sky itself.
#include <gtest/gtest.h>

#include <cstring>

#include "catalog/byte_order.h"
#include "catalog/chart_buffers.h"
#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "chart/chart_fixture.h"
#include "chart/chart_tap.h"
#include "chart/chart_shift.h"
#include "shell/fonts.h"
#include "shell/scratch_text.h"
#include "catalog/designations.h"

namespace {

class ChartTapTest : public ChartTest {
protected:
    void SetUp() override {
        ChartTest::SetUp();
        std::memcpy(starBuffer, &kStarBufferEmpty, sizeof kStarBufferEmpty);
        std::memcpy(objectBuffer, &kObjectBufferEnd, sizeof kObjectBufferEnd);
        chartTap = ChartTapState{};
        penTapArmed = 0;
    }

    // Selection records at these pixels, all on the chart.
    void RecordsAt(const std::vector<std::pair<int, int>>& pixels) {
        std::vector<std::pair<float, float>> places(pixels.size(), {14.26f, 19.18f});
        FillSelection(places);
        for (std::size_t i = 0; i < pixels.size(); ++i) {
            SetSelectionPixel(selectionList.records[i], pixels[i].first, pixels[i].second);
            selectionList.records[i].offChart = 0;
            std::snprintf(selectionList.records[i].label, sizeof selectionList.records[i].label, "NGC %d",
                          static_cast<int>(1000 + i));
        }
    }
    // Object buffer entries (catalog 42, numbers from 7000) at these pixels.
    static void ObjectsAt(const std::vector<std::pair<int, int>>& pixels) {
        std::size_t k = 0;
        for (const auto& [x, y] : pixels) {
            std::uint8_t* e = objectBuffer + k;
            std::memset(e, 0, 24);
            le::PutI16(e, 2, 42);
            le::PutU32(e, 4, static_cast<std::uint32_t>(7000 + k / 24));
            le::PutI16(e, 8, 16);
            le::PutI32(e, 12, HoursToFixedAngle(5.5));
            le::PutI32(e, 16, DegreesToFixedAngle(20.0));
            le::PutI16(e, 20, static_cast<std::int16_t>(x));
            le::PutI16(e, 22, static_cast<std::int16_t>(y));
            k += 24;
        }
        le::PutI16(objectBuffer, k, kObjectBufferEnd);
    }
    static void FaintStarsAt(const std::vector<std::pair<int, int>>& pixels) {
        std::size_t k = 0;
        for (const auto& [x, y] : pixels) {
            le::PutI32(starBuffer, k, static_cast<std::int32_t>(500 + k / 8));
            le::PutI16(starBuffer, k + 4, static_cast<std::int16_t>(x));
            le::PutI16(starBuffer, k + 6, static_cast<std::int16_t>(y));
            k += 8;
        }
        le::PutI32(starBuffer, k, kStarBufferEmpty);
    }
    // One bright star, projected and drawn at the pixel.
    void BrightStarAt(int x, int y) {
        LoadStars({{6.75f, -16.7f}});
        StarRecord& s = BrightStars()[0];
        s.word[starword::hidden] = 0;
        s.word[starword::pixelX] = x;
        s.word[starword::pixelY] = y;
    }
    static const ChartView& Current() { return chartViews[0].view; }
};

TEST_F(ChartTapTest, SearchOrderAndRadiiAsATable) {
    UseChart(kChartModeSkyMap, 2);
    struct Case {
        const char* what;
        std::vector<std::pair<int, int>> records, objects, faint;
        bool brightStar;
        int zoom;
        int tapX;
        std::uint32_t catalog;
        int type;
        int position;  // selection position, -2: not checked
    };
    const Case cases[] = {
        // Two records in the square: the earlier wins although the later is nearer.
        {"earlier record", {{110, 100}, {101, 100}}, {}, {}, false, 2, 100, 42, 16, 0},
        // Records come before objects, objects before stars.
        {"record before object", {{105, 100}}, {{100, 100}}, {}, true, 2, 100, 42, 16, 0},
        {"object before star", {}, {{100, 100}}, {}, true, 2, 100, 42, 16, -2},
        // Stars at half the radius (14 at a dpi factor of 2): 6 pixels away is found...
        {"star in half radius", {}, {}, {}, true, 2, 106, 28, 30, -2},
        // ... 8 pixels away is not, though an object there would be.
        {"star outside half radius", {}, {}, {}, true, 2, 108, 0, 0, -1},
        // Faint stars only above zoom level 4.
        {"faint star at zoom 4", {}, {}, {{100, 100}}, false, 4, 100, 0, 0, -1},
        {"faint star at zoom 5", {}, {}, {{100, 100}}, false, 5, 100, 26, 30, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FreeSelectionList();
        RecordsAt(c.records.empty() ? std::vector<std::pair<int, int>>{{5, 300}} : c.records);
        ObjectsAt(c.objects);
        FaintStarsAt(c.faint);
        if (c.brightStar) {
            BrightStarAt(100, 100);
        } else if (BrightStars() && GetStarTableCount() > 0) {
            BrightStars()[0].word[starword::hidden] = 1;
        }
        chartZoom = c.zoom;
        chartViews[0].view = ChartView{};
        ASSERT_EQ(FindNearestChartObject(c.tapX, 100, 14), 1);
        EXPECT_EQ(Current().catalog, c.catalog);
        EXPECT_EQ(Current().type, c.type);
        if (c.position != -2) {
            EXPECT_EQ(ChartSelectionPosition(), c.position);
        }
    }
}

TEST_F(ChartTapTest, EmptySkyGivesTheTapsPlaceAndNoObject) {
    UseChart(kChartModeSkyMap, 2);
    RecordsAt({{5, 300}});
    chartViews[0].view.catalog = 42;
    chartViews[0].view.type = 16;
    FindNearestChartObject(120, 170, 14);
    float ra = 0.0f, dec = 0.0f;
    PixelToSky(120, 170, &ra, &dec);
    EXPECT_EQ(Current().catalog, 0u);
    EXPECT_EQ(Current().type, 0);
    EXPECT_FLOAT_EQ(Current().ra, ra);
    EXPECT_FLOAT_EQ(Current().dec, dec);
    EXPECT_EQ(ChartSelectionPosition(), -1);
    EXPECT_EQ(chartTap.cursorX, 120);
    EXPECT_EQ(lastDrawnRow, -2);
}

TEST_F(ChartTapTest, ADrawnObjectJoinsTheListOnceAndAFullListRefusesItQuietly) {
    UseChart(kChartModeSkyMap, 2);
    RecordsAt({{5, 300}});
    ObjectsAt({{100, 100}});
    FindNearestChartObject(100, 100, 14);
    ASSERT_EQ(selectionList.recordCount, 2);
    EXPECT_EQ(selectionList.records[1].objectNumber, 7000);
    EXPECT_EQ(Current().number, 7001u) << "the view's number is the record's + 1";
    EXPECT_EQ(SelectionPixelX(selectionList.records[1]), 100);
    // A second tap finds the record now listed instead of adding it again.
    FindNearestChartObject(101, 101, 14);
    EXPECT_EQ(selectionList.recordCount, 2);

    // A full list: nothing is written, the object is still the chart's.
    const int capacity = FillFullSelection();
    ASSERT_GT(capacity, 0);
    for (int i = 0; i < capacity; ++i) SetSelectionPixel(selectionList.records[i], 5, 300);
    ObjectsAt({{100, 100}});
    const SelectionRecord last = selectionList.records[capacity - 1];
    FindNearestChartObject(100, 100, 14);
    EXPECT_EQ(selectionList.recordCount, capacity);
    EXPECT_EQ(std::memcmp(&last, &selectionList.records[capacity - 1], sizeof last), 0);
    EXPECT_EQ(Current().number, 7000u);
    EXPECT_EQ(ChartSelectionPosition(), -1);
}

TEST_F(ChartTapTest, HorizonViewFindsAnObjectNearAzimuthZeroFromBothEdges) {
    UseChart(kChartModeHorizon, 2);
    const int turn = ChartTurnWidth();
    ASSERT_GT(turn, 0);
    RecordsAt({{10, 150}});
    for (int tapX : {10, 10 + turn, 10 - turn}) {
        SCOPED_TRACE(tapX);
        chartViews[0].view = ChartView{};
        FindNearestChartObject(tapX, 150, 14);
        EXPECT_EQ(Current().catalog, 42u);
    }
}

TEST_F(ChartTapTest, SearchBaseIsThreePixelsFromZoomTenAndTheDistanceModeMeasures) {
    RecordsAt({{100, 100}, {200, 200}});
    for (int zoom : {9, 10}) {
        UseChart(kChartModeSkyMap, zoom);
        chartZoom = zoom;
        SetChartSetting(chartpref::tapAction, 1);
        penTapArmed = 1;
        chartViews[0].view = ChartView{};
        // 5 x dpi factor away: inside 7 x g, outside 3 x g.
        IdentifyChartTap(100 + 5 * GetDpiFactor(), 100);
        EXPECT_EQ(Current().catalog, zoom >= 10 ? 0u : 42u) << zoom;
        EXPECT_EQ(penTapArmed, 0);
    }
    // An unarmed tap is not handled.
    EXPECT_EQ(IdentifyChartTap(100, 100), 0);

    UseChart(kChartModeSkyMap, 2);
    selectionList.records[0].rightAscension = 10.0f;
    selectionList.records[0].declination = 0.0f;
    selectionList.records[1].rightAscension = 10.0f;
    selectionList.records[1].declination = 12.5f;
    chartTap.distanceMode = 1;
    for (auto [x, y] : {std::pair{100, 100}, std::pair{200, 200}}) {
        penTapArmed = 1;
        IdentifyChartTap(x, y);
    }
    EXPECT_STREQ(chartTap.distanceText, "12\xB0" "30'00");
}

TEST_F(ChartTapTest, TapActionsRequestRedrawsOnlyWhereAsked) {
    UseChart(kChartModeSkyMap, 2);
    RecordsAt({{100, 100}, {3, 300}});
    struct Case {
        int action;
        int x, y;
        int redraw;
    } const cases[] = {{1, 100, 100, 0}, {1, 3, 300, 1}, {2, 100, 100, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action * 1000 + c.x);
        SetChartSetting(chartpref::tapAction, c.action);
        chartTap.redrawRequested = 0;
        penTapArmed = 1;
        ASSERT_EQ(IdentifyChartTap(c.x, c.y), 1);
        EXPECT_EQ(chartTap.redrawRequested, c.redraw);
    }
}

}  // namespace

namespace {

class ChartTapInfoTest : public ChartTapTest {
protected:
    void SetUp() override {
        ChartTapTest::SetUp();
        if (!txtBuffer) {
            txtBuffer = static_cast<char*>(std::calloc(kTxtBufferSize, 1));
            ownBuffer = true;
        }
    }
    void TearDown() override {
        if (ownBuffer) {
            std::free(txtBuffer);
            txtBuffer = nullptr;
        }
        ChartTapTest::TearDown();
    }
    bool ownBuffer = false;
};

TEST_F(ChartTapInfoTest, AStarIsToldFromItsOwnPlaceAMessierRecordAsTheCurrentObject) {
    UseChart(kChartModeSkyMap, 2);
    RecordsAt({{5, 300}});
    BrightStarAt(100, 100);
    BrightStars()[0].word[3] = 3 << 16;  // halfword 7: the colour class 3, magnitude 0
    FindNearestChartObject(100, 100, 14);
    ASSERT_EQ(Current().type, 30);
    ASSERT_EQ(ChartSelectionPosition(), -1);
    ShowChartTapInfo();
    const std::string text = txtBuffer;
    const std::string name = std::string(CatalogPrefix(28)) + "1";
    EXPECT_EQ(text.rfind(name, 0), 0u) << text;
    for (const char* line : {"\n\x95 Ra   ", "\n\x95 Dec  ", "\n\x95 Alt  ", "\n\x95 Az   ", "\n\x95 BV  0.3"})
        EXPECT_NE(text.find(line), std::string::npos) << line << " in " << text;

    // A Messier record: the object of its list position becomes the current object.
    SelectionRecord& m = selectionList.records[0];
    m.group = kGroupMessier;
    m.objectIndex = 30;
    SetSelectionPixel(m, 60, 60);
    FindNearestChartObject(60, 60, 14);
    ASSERT_EQ(ChartSelectionPosition(), 0);
    ShowChartTapInfo();
    EXPECT_EQ(currentObject.listPosition, 5);
    EXPECT_EQ(currentObject.number, 31u);
}

}  // namespace

namespace {

TEST_F(ChartTapTest, ADrawnObjectJoinsTheListUnderItsCrossReference) {
    // A cross-reference file: the header record, then NGC 7000 also known as UGC 12345.
    WriteFile(Data(kCrossReferenceFile), 0, kCreatorCrossReferences, 48, 2, [](std::uint32_t i, std::uint8_t* r) {
        if (i == 0) return;
        le::PutI16(r, 0, 42);
        le::PutI16(r, 2, kCatalogUgc);
        le::PutU32(r, 8, 7000);
        le::PutU32(r, 12, 12345);
    });
    OpenCatalogDatabases(1);
    ClearRecordedReports();
    UseChart(kChartModeSkyMap, 2);
    RecordsAt({{5, 300}});
    ObjectsAt({{100, 100}});
    FindNearestChartObject(100, 100, 14);
    ASSERT_EQ(selectionList.recordCount, 2);
    EXPECT_EQ(selectionList.records[1].catalogCode, kCatalogUgc);
    EXPECT_EQ(selectionList.records[1].objectNumber, 12345);
    EXPECT_EQ(Current().catalog, static_cast<std::uint32_t>(kCatalogUgc));
}

}  // namespace
