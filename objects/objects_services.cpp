#include "objects/objects_services.h"

#include <cstdlib>

SelectionCriteria selectionCriteria{};
std::uint8_t* observerLogEntry = nullptr;

void FreeObserverLogEntry() {
    std::free(observerLogEntry);
    observerLogEntry = nullptr;
}
