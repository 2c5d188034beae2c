#include "eclipses/eclipses_services.h"

#include <cstdlib>

#include "core/startup_alloc.h"

char** objListNamePtr = nullptr;

bool AllocEventRowTexts() {
    return StartupAllocate(objListNamePtr, kObjListNameCount, sizeof(char*), "Can't allocate memory objListNamePtr");
}

void FreeEventRowTexts() {
    if (!objListNamePtr) return;
    for (int i = 0; i < kObjListNameCount && objListNamePtr[i]; ++i) StartupRelease(objListNamePtr[i]);
    StartupRelease(objListNamePtr);
}
