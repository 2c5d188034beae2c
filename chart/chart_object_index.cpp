#include "chart/chart_object_index.h"

#include "catalog/object_selection.h"
#include "catalog/object_types.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_form.h"
#include "chart/chart_links.h"
#include "chart/chart_records.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "chart/sky_matrix.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

namespace {

// The category of each type-filter row 1..6: star, cluster, double star, galaxy, nebula,
// planet (values of GetTypeCategory).
constexpr int kRowCategory[7] = {0, 11, 4, 5, 6, 8, 1};

bool IsCategoryRow(int row) { return row >= 1 && row <= 6; }

bool TypeShown(int type) { return type >= 0 && type < kObjectTypeCount && ObjectTypeTable[type].shown; }

// Above the horizon of the sky matrix (the visible-sky mode lists only those).
bool AboveHorizon(const SelectionRecord& r) {
    std::int32_t x = 0, y = 0, z = 0;
    ProjectToChart(HoursToFixedAngle(r.rightAscension), DegreesToFixedAngle(r.declination), &x, &y, &z);
    return z >= 0;
}

bool ListedInMode(const SelectionRecord& r, int mode) {
    switch (mode) {
        case kChartModeSkyMap:
        case kChartModeHorizon: return r.offChart == 0;
        case kChartModeVisibleSky: return AboveHorizon(r);
        default: return true;
    }
}

// The chart form's object list, when the form is shown.
platform::Window ObjectPopupList() { return FindListView(GetActiveForm(), kObjectPopupList); }

void ShowRowCount() {
    const platform::Window list = ObjectPopupList();
    if (list) FillList(list, nullptr, selectionList.indexCount > 0 ? selectionList.indexCount : 0);
}

}  // namespace

int SelectChartObject(const ObjectRef& block, int position) {
    if (position < 0) position = CatalogToFinderIndex(block);
    chartForm.objectChosen = 1;
    SelectionList& list = selectionList;
    if (!list.records || !list.index) return -1;
    if (list.indexCount < 0 || list.recordCount < 0) list.recordCount = 0;
    const int slot = list.recordCount;

    ChartInitSelectionCriteria(0, 0, 0);

    // The record is built at the index count: point that at the end of the records for the
    // one call, so that the duplicate check also covers records the filter hides.
    const int rows = list.indexCount;
    list.indexCount = slot;
    const int added = AddObjectToSelection(static_cast<int>(block.number), position, list.records, block);
    if (!added) {
        list.indexCount = rows;
        const int record = FindSelectionRecord(list.records, block);
        const int row = record < 0 ? -1 : FindSelectionPos(record);
        if (row < 0) {
            chartFilterRow = 0;
            return -1;
        }
        chartSelectionIndex = row;
        return row;
    }

    ProjectObjects(&list.records[slot], 1);
    list.recordCount = slot + 1;
    const int row = BuildObjectPopupIndex(slot);
    chartSelectionIndex = list.indexCount - 1;
    return row;
}

int BuildObjectPopupIndex(int keep) {
    SelectionList& list = selectionList;
    if (!list.index || !list.records || !selectionListPtr) return -1;
    for (int j = 0; j < list.capacity; ++j) list.index[j] = -1;

    const bool filtered = IsCategoryRow(chartFilterRow);
    const int mode = ChartMode();
    const int count = ChartRecordCount();
    int rows = 0;
    for (int i = 0; i < count; ++i) {
        const SelectionRecord& r = list.records[i];
        if (filtered && i != keep && !TypeShown(r.typeCode)) continue;
        if (!ListedInMode(r, mode)) continue;
        list.index[rows] = i;
        selectionListPtr[rows] = &list.records[i];
        ++rows;
    }
    list.indexCount = rows;

    int row = keep < 0 ? -1 : FindSelectionPos(keep);
    if (rows == 0)
        row = -1;
    else if (row >= rows || row < -1)
        row = 0;
    chartSelectionIndex = row;
    return row;
}

void RebuildObjectPopup() {
    SelectionList& list = selectionList;
    if (chartFilterRow == kFilterRowClearList) {
        // The command runs once: left at "Clear List", the next rebuild (after any list
        // change) would empty the user's list again.
        ClearObjectSelection();
        if (list.index)
            for (int j = 0; j < list.capacity; ++j) list.index[j] = -1;
        if (list.records) {
            list.indexCount = 0;
            list.recordCount = 0;
        }
        chartSelectionIndex = -1;
        chartFilterRow = 0;
        ShowRowCount();
        return;
    }
    // The list commands of rows 8..10 open the list forms from the chart's commands; here
    // they rebuild the rows like the categories.
    const int keep =
        chartSelectionIndex >= 0 && chartSelectionIndex < list.indexCount ? GetSelectionObject(chartSelectionIndex) : -1;
    BuildObjectPopupIndex(keep);
    ShowRowCount();
}

void RefreshObjectPopup() {
    if (chartSelectionIndex < 0 || chartSelectionIndex >= selectionList.indexCount) return;
    const platform::Window list = ObjectPopupList();
    if (!list) return;
    FillList(list, nullptr, selectionList.indexCount);
    SetPopupList(kObjectPopupTrigger, kObjectPopupList, chartSelectionIndex);
}

void ApplyChartTypeFilter() {
    const platform::Window list = FindListView(GetActiveForm(), kFilterPopupList);
    ApplyChartTypeFilterRow(list ? ListSelectionMark(list) : chartFilterRow);
}

void ApplyChartTypeFilterRow(int row) {
    if (row >= 0 && row != chartFilterRow) {
        chartFilterRow = row;
        for (int t = 0; t < kObjectTypeCount; ++t)
            ObjectTypeTable[t].shown = !IsCategoryRow(row) || GetTypeCategory(t) == kRowCategory[row] ? 1 : 0;
    }
    RebuildObjectPopup();
}
