// The deep-sky layer over a small object index, the object symbols and ellipses, and the
// searches of the selection records and the object buffer.
#include "chart/object_layers.h"
#include "chart_layers_fixture.h"

namespace {

class ObjectLayerTest : public ChartLayerTest {
protected:
    void Draw(const SelectionRecord* records = nullptr, int count = 0) {
        DrawDeepSkyObjects(records, count, Bounds{0, 0, chartState.width, chartState.height}, chartZoom, nullptr, 0);
    }
    std::vector<std::uint32_t> Numbers() const {
        std::vector<std::uint32_t> out;
        for (int i = 0; i < ObjectBufferCount(); ++i) out.push_back(GetObjectBufferEntry(i).number);
        std::sort(out.begin(), out.end());
        return out;
    }
    // Where a place falls on the chart now.
    static void PixelOf(double ra, double dec, int* x, int* y) {
        std::int32_t p = 0, q = 0, px = 0, py = 0;
        ASSERT_TRUE(ProjectEquatorialPoint(chartClock.siderealTimeFixed, HoursToFixedAngle(ra), DegreesToFixedAngle(dec),
                                           &p, &q));
        PlaneToPixel(p, q, &px, &py);
        *x = px;
        *y = py;
    }
};

TEST_F(ObjectLayerTest, ViewAcrossZeroHoursBuffersWhatItDrawsOnce) {
    UseChartAtLst(kChartModeSkyMap, 5, 0.0);
    const double dec = observerLocation.latitude;
    OpenObjectIndexFile({Object(1, 23.95, dec), Object(2, 0.05, dec + 1), Object(3, 12.0, dec - 2), Object(4, 0.3, dec + 3),
                         Object(5, 23.7, dec - 4), Object(6, 0.02, dec + 30.0)});
    // The selection holds object 4 by its catalog and number, and another object right
    // where object 5 lies.
    FillSelection({{0.3f, static_cast<float>(dec + 3)}, {23.7f, static_cast<float>(dec - 4)}});
    selectionList.records[0].objectNumber = 4;
    int x = 0, y = 0;
    PixelOf(23.7, dec - 4, &x, &y);
    SetSelectionPixel(selectionList.records[1], x + 1, y - 1);
    SetSelectionPixel(selectionList.records[0], -500, -500);
    Draw(selectionList.records, 2);
    EXPECT_EQ(Numbers(), (std::vector<std::uint32_t>{1, 2, 6}));
    EXPECT_EQ(le::I16(objectBuffer, 3 * kObjectBufferEntrySize), kObjectBufferEnd);
    // The entry carries the index entry's fields and its pixel.
    for (int i = 0; i < 3; ++i) {
        const ObjectBufferEntry e = GetObjectBufferEntry(i);
        if (e.number != 2) continue;
        EXPECT_EQ(e.catalog, 42);
        EXPECT_EQ(e.type, 16);
        EXPECT_EQ(e.selectionNumber, 2);
        EXPECT_EQ(e.ra, HoursToFixedAngle(0.05));
        int ex = 0, ey = 0;
        PixelOf(0.05, dec + 1, &ex, &ey);
        EXPECT_EQ(e.x, ex);
        EXPECT_EQ(e.y, ey);
        EXPECT_GT(CountLit(ex - 10, ey - 10, ex + 11, ey + 11), 0);
    }
}

TEST_F(ObjectLayerTest, BufferStopsAt899AndDrawingGoesOn) {
    UseChartAtLst(kChartModeSkyMap, 5, 3.0);
    const double dec = observerLocation.latitude;
    std::vector<ObjectIndexEntry> objects;
    for (int i = 0; i < 950; ++i) objects.push_back(Object(static_cast<std::uint32_t>(i + 1), 3.0 + (i % 30) * 0.01, dec + i * 0.005));
    OpenObjectIndexFile(objects);
    Draw();
    EXPECT_EQ(ObjectBufferCount(), 899);
    EXPECT_EQ(le::I16(objectBuffer, 899 * kObjectBufferEntrySize), kObjectBufferEnd);
}

TEST_F(ObjectLayerTest, LabelsSkipNeighboursCloserThan40By10) {
    UseChartAtLst(kChartModeSkyMap, 5, 3.0);
    SetChartSetting(chartpref::objectNames, 1);
    const double dec = observerLocation.latitude;
    // Type 30 draws no symbol: only labels reach the canvas. Object 12 lies a few pixels
    // from object 11, object 13 far below.
    auto canvasWith = [&](const std::vector<ObjectIndexEntry>& objects) {
        Clear();
        CloseDb(objectIndexDb);
        OpenObjectIndexFile(objects);
        Draw();
        std::vector<platform::Color> pixels;
        for (int y = 0; y < 320; ++y)
            for (int x = 0; x < 240; ++x) pixels.push_back(Pixel(x, y));
        return pixels;
    };
    const auto withNeighbour = canvasWith({Object(11, 3.0, dec, 30), Object(12, 3.05, dec, 30), Object(13, 3.0, dec - 15, 30)});
    ASSERT_EQ(ObjectBufferCount(), 3);
    const ObjectBufferEntry a = GetObjectBufferEntry(1), b = GetObjectBufferEntry(2);
    ASSERT_EQ(a.number, 11u);
    ASSERT_LT(std::abs(a.x - b.x), 40);
    ASSERT_LT(std::abs(a.y - b.y), 10);
    const auto without = canvasWith({Object(11, 3.0, dec, 30), Object(13, 3.0, dec - 15, 30)});
    EXPECT_TRUE(withNeighbour == without);
    // Both remaining objects are labelled, the first of the buffer among them.
    for (int i = 0; i < 2; ++i) {
        const ObjectBufferEntry e = GetObjectBufferEntry(i);
        EXPECT_GT(CountLit(e.x + 10, e.y - 4, e.x + 40, e.y + 12), 0) << e.number;
    }
    // Far enough apart, the neighbour has its own label.
    const auto apart = canvasWith({Object(11, 3.0, dec, 30), Object(12, 3.0, dec + 8, 30), Object(13, 3.0, dec - 15, 30)});
    EXPECT_FALSE(apart == without);
}

TEST_F(ObjectLayerTest, MissingIndexDrawsNothing) {
    UseChartAtLst(kChartModeSkyMap, 5, 3.0);
    le::PutI16(objectBuffer, 0, 7);
    Draw();
    EXPECT_EQ(le::I16(objectBuffer, 0), 7);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
}

TEST_F(ObjectLayerTest, SymbolOfEachTypeIsItsToolIcon) {
    struct Case {
        int type, icon;
    };
    DrawWindow* expected = CreateOffscreenDIB(240, 320, 16);
    ASSERT_NE(expected, nullptr);
    for (const Case& c : {Case{2, 3}, Case{6, 2}, Case{16, 1}, Case{25, 5}, Case{35, 4}, Case{0, 4}, Case{31, 7},
                          Case{34, 7}, Case{37, 7}, Case{14, -1}, Case{30, -1}}) {
        Clear();
        DrawObjectSymbol(c.type, 0, 60, 60);
        SetDrawWindow(expected);
        SetForeColor(platform::Rgb(0, 0, 0));
        DrawRectangle(Bounds{0, 0, 240, 320}, 0);
        if (c.icon >= 0) DrawToolIcon(c.icon, 60, 60);
        SetDrawWindow(canvas);
        int differ = 0;
        for (int y = 40; y < 80; ++y)
            for (int x = 40; x < 80; ++x) differ += Pixel(x, y) != platform::GetPixel(expected->dc, x, y) ? 1 : 0;
        EXPECT_EQ(differ, 0) << "type " << c.type;
        if (c.icon >= 0) {
            EXPECT_GT(CountLit(40, 40, 80, 80), 0) << "type " << c.type;
        }
    }
    DeleteOffscreen(expected);
}

TEST_F(ObjectLayerTest, EllipseHas22PointsTurnedAndScaled) {
    std::int32_t xs[kEllipsePoints], ys[kEllipsePoints];
    ComputeEllipsePoints(100, 50, 2.0f, 1.0f, 30.0f, 2, 2, xs, ys);
    // t = 0: (2 cos 30 + 0.5) x 2 = 4.46, (2 sin 30 + 0.5) x 2 = 3.
    EXPECT_EQ(xs[0], 104);
    EXPECT_EQ(ys[0], 53);
    // t = 6.3 comes back just past the start.
    EXPECT_EQ(xs[21], 104);
    EXPECT_EQ(ys[21], 53);
    // t = 1.5: X = 0.141, Y = 0.997: x = (0.122 - 0.499 + 0.5) x 2 = 0.25, y = (0.071 + 0.864 + 0.5) x 2 = 2.87.
    EXPECT_EQ(xs[5], 100);
    EXPECT_EQ(ys[5], 52);
    SetForeColor(platform::Rgb(255, 255, 255));
    DrawEllipse(100, 50, 20.0f, 10.0f, 0.0f, 1, 1);
    EXPECT_TRUE(Lit(120, 50));
    EXPECT_FALSE(Lit(100, 50));
}

TEST_F(ObjectLayerTest, TapSearchesOfSelectionAndObjectBuffer) {
    FillSelection({{1.0f, 10.0f}, {2.0f, 10.0f}, {3.0f, 10.0f}});
    SetSelectionPixel(selectionList.records[0], 50, 50);
    SetSelectionPixel(selectionList.records[1], 52, 50);
    SetSelectionPixel(selectionList.records[2], 52, 51);
    selectionList.records[0].offChart = 1;
    EXPECT_EQ(FindSelectionRecordAt(selectionList.records, 3, 0, 0, 51, 50, 2), 1);
    EXPECT_EQ(FindSelectionRecordAt(selectionList.records, 3, 10, 20, 61, 70, 2), 1);
    EXPECT_EQ(FindSelectionRecordAt(selectionList.records, 0, 0, 0, 51, 50, 2), -1);
    EXPECT_EQ(FindSelectionRecordAt(selectionList.records, 3, 0, 0, 90, 90, 2), -1);
    // The category filter passes only records of its category: a galaxy filter skips the
    // star cluster.
    selectionList.records[1].typeCode = 2;
    selectionList.categoryFilter = 2;
    const int found = FindSelectionRecordAt(selectionList.records, 3, 0, 0, 51, 50, 2);
    EXPECT_EQ(found, IsRecordInCategory(1) ? 1 : 2);
    EXPECT_NE(IsRecordInCategory(1), IsRecordInCategory(2));
    selectionList.categoryFilter = 0;

    le::PutI16(objectBuffer, 0, kObjectBufferEnd);
    EXPECT_EQ(FindObjectTapEntry(0, 0, 5), -1);
    for (int i = 0; i < 2; ++i) {
        std::uint8_t* e = objectBuffer + i * kObjectBufferEntrySize;
        le::PutI16(e, 0, static_cast<std::int16_t>(i));
        le::PutI16(e, 20, static_cast<std::int16_t>(100 + 3 * i));
        le::PutI16(e, 22, 80);
    }
    le::PutI16(objectBuffer, 2 * kObjectBufferEntrySize, kObjectBufferEnd);
    EXPECT_EQ(FindObjectTapEntry(102, 81, 2), 0);
    EXPECT_EQ(FindObjectTapEntry(105, 81, 2), 1);
    EXPECT_EQ(FindObjectTapEntry(110, 80, 2), -1);
}

}  // namespace
