#include "catalog/selection_list.h"

#include <cstdlib>
#include <cstring>

#include "catalog/star_tables.h"
#include "core/report.h"
#include "core/startup_alloc.h"

SelectionList selectionList{nullptr, nullptr, 0, -1, -1, -1, 0};
SelectionRecord** selectionListPtr = nullptr;

void FreeSelectionList() {
    std::free(selectionList.index);
    std::free(selectionList.records);
    std::free(selectionListPtr);
    selectionList.index = nullptr;
    selectionList.records = nullptr;
    selectionListPtr = nullptr;
    selectionList.capacity = 0;
    selectionList.indexCount = -1;
    selectionList.recordCount = -1;
    selectionList.currentPosition = -1;
}

int AllocSelectionList() {
    FreeSelectionList();
    const int n = GetSelectionListCapacity();
    if (n <= 0) return 0;
    const auto count = static_cast<std::size_t>(n);

    auto* index = static_cast<std::int32_t*>(StartupCalloc(count, sizeof(std::int32_t)));
    if (!index) {
        ShowMessage("Can't allocate memory during initialization for selection list index", "");
        return 0;
    }
    std::memset(index, 0xFF, count * sizeof(std::int32_t));

    auto* records = static_cast<SelectionRecord*>(StartupCalloc(count, sizeof(SelectionRecord)));
    if (!records) {
        std::free(index);
        ShowMessage("Can't allocate memory during initialization for selection", "");
        return 0;
    }
    for (std::size_t i = 0; i < count; ++i) records[i].objectNumber = -1;

    auto* pointers = static_cast<SelectionRecord**>(StartupCalloc(count, sizeof(SelectionRecord*)));
    if (!pointers) {
        std::free(index);
        std::free(records);
        ShowMessage("Can't allocate memory selectionListPtr", "");
        return 0;
    }
    for (std::size_t i = 0; i < count; ++i) pointers[i] = &records[i];

    selectionList.index = index;
    selectionList.records = records;
    selectionListPtr = pointers;
    selectionList.capacity = n;
    selectionList.recordCount = 0;
    selectionList.indexCount = -1;
    selectionList.currentPosition = -1;
    return 1;
}

int GetSelectionListCapacity() { return GetBrightStarCount() + kSelectionListReserve + 5; }
