#include "scope/assistant_links.h"

#include <algorithm>
#include <cstring>

#include "catalog/object_selection.h"
#include "catalog/selection_list.h"

namespace {
AssistantLinks links;
}

AssistantLinks SetAssistantLinks(const AssistantLinks& next) {
    const AssistantLinks previous = links;
    links = next;
    return previous;
}

const AssistantLinks& GetAssistantLinks() { return links; }

namespace {

// The record at the list's current position; -1 when the position is not one of the list.
int CurrentListRecord() {
    const SelectionList& list = selectionList;
    const int pos = list.currentPosition;
    if (!list.records || pos < 0 || pos >= list.indexCount) return -1;
    const int record = GetSelectionObject(pos);
    return record >= 0 && record < list.recordCount ? record : -1;
}

// The listed record of the object's catalog at exactly its place; -1 when none.
int ListedRecordAt(const ObjectRef& o) {
    const SelectionList& list = selectionList;
    if (!list.records) return -1;
    for (int k = 0; k < list.recordCount && k < list.capacity; ++k) {
        const SelectionRecord& r = list.records[k];
        if (r.catalogCode == static_cast<std::int16_t>(o.catalog) && r.rightAscension == o.ra && r.declination == o.dec)
            return k;
    }
    return -1;
}

}  // namespace

bool GetChartPick(ObjectRef* object, int* record) {
    ObjectRef o;
    int listed = -1;
    if (links.chartObject && links.chartObject(&o)) {
        listed = CurrentListRecord();
        if (listed >= 0) {
            const SelectionRecord& r = selectionList.records[listed];
            if (r.catalogCode != static_cast<std::int16_t>(o.catalog) || r.rightAscension != o.ra ||
                r.declination != o.dec)
                listed = -1;
        }
        if (listed < 0) listed = ListedRecordAt(o);
        if (listed < 0 && selectionList.records) listed = FindSelectionRecord(selectionList.records, o);
    } else if ((listed = CurrentListRecord()) < 0) {
        if (!IsObjectSelected()) return false;
        o = objectSelection.object;
    }
    if (listed >= 0) {
        const SelectionRecord& r = selectionList.records[listed];
        SelectionRecordToInfo(&o, &r);
        o.number = static_cast<std::uint32_t>(r.objectNumber);
        std::memset(o.name, 0, sizeof o.name);
        std::memcpy(o.name, r.label, std::min(sizeof o.name - 1, sizeof r.label));
    }
    *object = o;
    *record = listed;
    return true;
}
