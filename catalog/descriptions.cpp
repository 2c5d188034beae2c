#include "catalog/descriptions.h"

#include "core/startup_alloc.h"

char* dreyerLong = nullptr;

bool AllocDescriptionBuffer() {
    return StartupAllocate(dreyerLong, 1, kDreyerLongSize, "Can't allocate memory dreyerLong");
}

void FreeDescriptionBuffer() { StartupRelease(dreyerLong); }
