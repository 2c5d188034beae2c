#include "eclipses/eclipses_services.h"

#include <cstdlib>

#include "core/startup_alloc.h"

EventListState eventList{};
char** objListNamePtr = nullptr;

void FreeEventList() {
    std::free(eventList.records);
    eventList.records = nullptr;
    eventList.count = 0;
    eventList.filter = 0;
}

bool AllocEventRowTexts() {
    return StartupAllocate(objListNamePtr, kObjListNameCount, sizeof(char*), "Can't allocate memory objListNamePtr");
}

void FreeEventRowTexts() {
    if (!objListNamePtr) return;
    for (int i = 0; i < kObjListNameCount && objListNamePtr[i]; ++i) StartupRelease(objListNamePtr[i]);
    StartupRelease(objListNamePtr);
}
