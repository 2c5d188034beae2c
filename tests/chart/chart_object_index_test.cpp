// The chart's object popup over the selection list: the chart's current object, the rows
// by filter and chart mode, and the list commands of the filter.
#include <gtest/gtest.h>

#include <cstring>

#include "catalog/object_selection.h"
#include "catalog/object_types.h"
#include "chart/chart_object_index.h"
#include "chart_fixture.h"

namespace {

class ChartObjectIndexTest : public ChartTest {
protected:
    void SetUp() override {
        ChartTest::SetUp();
        for (ObjectTypeEntry& e : ObjectTypeTable) e.shown = 1;
        SetChartSetting(chartpref::chartType, kChartModeSkyMap);
    }
    void TearDown() override {
        for (ObjectTypeEntry& e : ObjectTypeTable) e.shown = 1;
        ChartTest::TearDown();
    }
    static ObjectRef Block(std::uint32_t catalog, std::uint32_t number, int type, const char* name) {
        ObjectRef block;
        block.catalog = catalog;
        block.number = number;
        block.type = type;
        block.ra = 14.26f;
        block.dec = 19.18f;
        SetObjectRefName(&block, name);
        return block;
    }
};

TEST_F(ChartObjectIndexTest, ANewObjectIsAppendedAndBecomesTheLastRow) {
    FillSelection({{1.0f, 2.0f}, {3.0f, 4.0f}});
    const int row = SelectChartObject(Block(63, 5, 16, "My galaxy"), -1);
    EXPECT_EQ(row, 2);
    EXPECT_EQ(chartSelectionIndex, 2);
    ASSERT_EQ(selectionList.recordCount, 3);
    EXPECT_EQ(selectionList.indexCount, 3);
    const SelectionRecord& r = selectionList.records[2];
    EXPECT_EQ(r.objectNumber, 5);
    EXPECT_EQ(r.group, 15) << "the finder position of user objects";
    EXPECT_STREQ(r.label, "My galaxy");
    EXPECT_EQ(linkCalls.criteria, 1);
    EXPECT_EQ(chartState.selectionProjected, 0) << "the chart projects its records again";

    // Listed already: its row, nothing added.
    chartSelectionIndex = 0;
    EXPECT_EQ(SelectChartObject(Block(63, 5, 16, "My galaxy"), -1), 2);
    EXPECT_EQ(chartSelectionIndex, 2);
    EXPECT_EQ(selectionList.recordCount, 3);
    EXPECT_EQ(selectionList.indexCount, 3);
}

TEST_F(ChartObjectIndexTest, AFullListRefusesWithoutWriting) {
    const int capacity = FillFullSelection();
    ASSERT_GT(capacity, 0);
    const std::vector<SelectionRecord> before(selectionList.records, selectionList.records + capacity);
    chartFilterRow = 4;
    EXPECT_EQ(SelectChartObject(Block(63, 999999, 16, "One more"), -1), -1);
    EXPECT_EQ(selectionList.recordCount, capacity);
    EXPECT_EQ(selectionList.indexCount, capacity);
    EXPECT_EQ(std::memcmp(before.data(), selectionList.records, sizeof(SelectionRecord) * capacity), 0);
    EXPECT_EQ(chartFilterRow, 0) << "without a row the filter goes back to All";
}

// With the filter at "Galaxy" an object just added from the chart stays listed, because it
// is the record kept.
TEST_F(ChartObjectIndexTest, FilterAndModeDecideTheRows) {
    FillSelection({{1.0f, 2.0f}, {3.0f, 4.0f}, {5.0f, 6.0f}});
    selectionList.records[0].typeCode = 16;  // a galaxy
    selectionList.records[1].typeCode = 6;   // a star cluster
    selectionList.records[2].typeCode = 16;
    selectionList.records[2].offChart = 1;
    ApplyChartTypeFilterRow(4);
    EXPECT_EQ(chartFilterRow, 4);
    EXPECT_EQ(selectionList.indexCount, 1) << "the galaxy on the chart";
    EXPECT_EQ(selectionList.index[0], 0);
    EXPECT_EQ(selectionList.index[1], -1);

    const int row = SelectChartObject(Block(63, 7, 6, "A cluster"), -1);
    EXPECT_EQ(row, 1) << "kept although the filter hides clusters";
    EXPECT_EQ(selectionList.index[1], 3);

    SetChartSetting(chartpref::chartType, kChartModeEquatorialSky);
    ApplyChartTypeFilterRow(0);
    EXPECT_EQ(selectionList.indexCount, 4) << "every record in the equatorial sky";

    // The visible sky lists what is above the horizon of the sky matrix.
    const ObservingDateTime& t = observingDateTime;
    UpdateSkyForDate(1, t.year, t.month, t.day, t.hour, t.minute, t.second, 1);
    SetChartSetting(chartpref::chartType, kChartModeVisibleSky);
    for (SelectionRecord* r : {&selectionList.records[1], &selectionList.records[2]}) {
        r->rightAscension = 13.0f;
        r->declination = 50.0f;
    }
    selectionList.records[0].declination = -80.0f;
    EXPECT_EQ(BuildObjectPopupIndex(0), -1) << "the kept record is below the horizon";
    EXPECT_EQ(selectionList.indexCount, 3);
    EXPECT_EQ(selectionList.index[0], 1);
    EXPECT_EQ(BuildObjectPopupIndex(3), 2);

    selectionList.recordCount = 0;
    EXPECT_EQ(BuildObjectPopupIndex(0), -1) << "no rows";
}

// "Clear List" empties the list once; the next rebuild must not empty a list loaded later.
TEST_F(ChartObjectIndexTest, ClearListRunsOnce) {
    FillSelection({{1.0f, 2.0f}, {3.0f, 4.0f}});
    objectSelection.selected = 1;
    ApplyChartTypeFilterRow(kFilterRowClearList);
    EXPECT_EQ(selectionList.recordCount, 0);
    EXPECT_EQ(selectionList.indexCount, 0);
    EXPECT_EQ(selectionList.index[0], -1);
    EXPECT_EQ(chartSelectionIndex, -1);
    EXPECT_EQ(objectSelection.selected, 0);
    EXPECT_EQ(chartFilterRow, 0);

    FillSelection({{5.0f, 6.0f}});
    chartSelectionIndex = 0;
    RebuildObjectPopup();
    EXPECT_EQ(selectionList.recordCount, 1);
    EXPECT_EQ(selectionList.indexCount, 1);
    EXPECT_EQ(chartSelectionIndex, 0);
}

}  // namespace
