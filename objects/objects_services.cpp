#include "objects/objects_services.h"

#include <cstdlib>
#include <string>

#include "astro/time_scales.h"
#include "catalog/object_selection.h"
#include "catalog/selection_list.h"
#include "catalog/databases.h"
#include "chart/chart_state.h"
#include "objects/object_search.h"
#include "objects/sky_brightness.h"
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

void InitSelectionCriteria(int typeClass, int kind, int type) {
    ClearObjectSelection();
    SetSearchLatitude();
    ObservingDateTime& t = observingDateTime;
    if (preferences.word[pref::timeUpdateMode] == 0 || t.year == 0)
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    SelectionCriteria& c = selectionCriteria;
    c.searchKind = static_cast<std::int16_t>(kind);
    c.objectType = static_cast<std::int16_t>(type);
    c.typeClass = static_cast<std::int16_t>(typeClass);
    c.visibilityClass = 0;
    c.eyepiece = 0;
    c.eyepieceFocalLength = 0;
    c.eyepieceApparentField = 0;
    c.constellation = 0;
    // The chart's horizon modes look for what is up; the others for everything.
    const int chartMode = preferences.word[pref::chartMode];
    if (chartMode < 2 || chartMode == 3) {
        if (c.minAltitude == 0) c.minAltitude = 1;
    } else {
        c.minAltitude = 0;
    }
    c.magnitudeLimit = 0;
    searchAltitudeSine = FixedAltitudeSine(GetHorizonAltitude());
    ComputeLimitingMagnitude();
    searchSiderealTime = skyModel.localSiderealTime;
    if (selectionList.indexCount < 1 && selectionList.records) {
        for (int i = 0; i < selectionList.capacity; ++i) selectionList.records[i].objectNumber = -1;
        selectionList.indexCount = 0;
    }
}

void RunObjectSelection(int typeClass, int kind, int type) {
    InitSelectionCriteria(typeClass, kind, type);
    if (!selectionList.records) return;
    for (int i = 0; i < selectionList.capacity; ++i) selectionList.records[i].objectNumber = -1;
    selectionList.indexCount = 0;
    selectionCriteria.magnitudeLimit = kind == kCatalogComet ? 2 : 0;
    const bool full = SearchAllCategories();
    if (selectionList.recordCount > 0) {
        const SelectionRecord& first = selectionList.records[0];
        currentObject.object.ra = first.rightAscension;
        currentObject.object.dec = first.declination;
        const ObservingDateTime& t = observingDateTime;
        SetSkyDateTime(&currentObject.object, t.year, t.month, t.day, t.hour, t.minute);
    }
    if (full) ReportFullSelectionList();
}

void RunObjectSelectionQuiet(int typeClass, int kind, int type) {
    const int position = selectionList.currentPosition;
    InitSelectionCriteria(typeClass, kind, type);
    if (kind == kCatalogComet) selectionCriteria.magnitudeLimit = 2;
    SearchAllCategories();
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
