#include "objects/objects_services.h"

#include <cstdlib>
#include <string>

#include "astro/time_scales.h"
#include "catalog/object_selection.h"
#include "catalog/selection_list.h"
#include "objects/alignment_star_search.h"
#include "objects/body_search.h"
#include "core/settings.h"
#include "core/startup_alloc.h"
#include "shell/utilities.h"

std::uint8_t* observerLogEntry = nullptr;
std::uint8_t* buttonList = nullptr;
std::uint8_t* buttonList2 = nullptr;
std::uint8_t* buttonListSave = nullptr;
std::uint8_t* buttonListTypeSave = nullptr;
std::uint8_t* catalogList = nullptr;
std::uint8_t* catalogList2 = nullptr;

void FreeObserverLogEntry() {
    std::free(observerLogEntry);
    observerLogEntry = nullptr;
}

ObjectSelectionRequest lastObjectSelection{};

void RunObjectSelection(int type, int catalog, int objectClass) {
    lastObjectSelection.type = type;
    lastObjectSelection.catalog = catalog;
    lastObjectSelection.objectClass = objectClass;
    ++lastObjectSelection.count;
    // Of the searches, only the bodies of the solar system are built: the list then holds
    // them. Any other kind leaves the list as it is, rather than emptying it for nothing.
    if (catalog == kSearchKindBodies) {
        InitSelectionCriteria(type, catalog, objectClass);
        ListSolarSystemBodies();
    }
}

void InitSelectionCriteria(int typeClass, int kind, int type) {
    ClearObjectSelection();
    ObservingDateTime& t = observingDateTime;
    if (preferences.word[pref::timeUpdateMode] == 0 || t.year == 0)
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    selectionCriteria.searchKind = static_cast<std::int16_t>(kind);
    selectionCriteria.objectType = static_cast<std::int16_t>(type);
    selectionCriteria.typeClass = static_cast<std::int16_t>(typeClass);
    ComputeLimitingMagnitude();
    if (selectionList.indexCount < 1 && selectionList.records) {
        for (int i = 0; i < selectionList.capacity; ++i) selectionList.records[i].objectNumber = -1;
        selectionList.indexCount = 0;
    }
}

void RunObjectSelectionQuiet(int typeClass, int kind, int type) {
    InitSelectionCriteria(typeClass, kind, type);
    const int position = selectionList.currentPosition;
    if (kind == kSearchKindAlignmentStars) ListNamedBrightStars();
    selectionList.currentPosition = position;
}

bool AllocSearchBuffers() {
    const std::string prefix = kStartupAllocFailure;
    return StartupAllocate(buttonList, 1, kButtonListSize, prefix + "buttonList") &&
           StartupAllocate(buttonList2, 1, kButtonListSize, prefix + "buttonList") &&
           StartupAllocate(buttonListSave, 1, kButtonListSize, prefix + "buttonListSave") &&
           StartupAllocate(buttonListTypeSave, 1, kButtonListSize, prefix + "buttonListTypeSave") &&
           StartupAllocate(catalogList, 1, kCatalogListSize, prefix + "catalogList") &&
           StartupAllocate(catalogList2, 1, kCatalogList2Size, prefix + "catalogList");
}

void FreeSearchBuffers() {
    StartupRelease(buttonList);
    StartupRelease(buttonList2);
    StartupRelease(buttonListSave);
    StartupRelease(buttonListTypeSave);
    StartupRelease(catalogList);
    StartupRelease(catalogList2);
}
