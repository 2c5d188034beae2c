#include "objects/body_search.h"

#include "catalog/databases.h"
#include "catalog/object_lookup.h"
#include "catalog/selection_hooks.h"
#include "catalog/selection_list.h"

namespace {

// Sun, Moon, Mercury .. Pluto (body 10 is the Earth).
constexpr int kBodies = 10;

}  // namespace

int ListSolarSystemBodies() {
    SelectionList& list = selectionList;
    if (!list.records || !list.index) return 0;
    for (int i = 0; i < list.capacity; ++i) {
        list.records[i].objectNumber = -1;
        list.index[i] = -1;
    }
    list.indexCount = 0;
    list.recordCount = 0;
    for (int n = 0; n < kBodies; ++n) {
        ObjectRef body;
        char label[kObjectTextSize], second[kObjectTextSize];
        if (!BuildObjectDescription(kCatalogPlanet, n, &body, label, second, 1, nullptr)) continue;
        if (AddObjectToSelection(n, kGroupBody, list.records, body)) ++list.indexCount;
    }
    list.recordCount = list.indexCount;
    list.currentPosition = list.indexCount > 0 ? 0 : -1;
    InvalidateSelectionProjectionHook();
    return list.indexCount;
}
