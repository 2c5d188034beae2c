#include "objects/objects_services.h"

#include <cmath>
#include <cstdlib>

#include "astro/time_scales.h"
#include "shell/settings.h"

SelectionCriteria selectionCriteria{};
std::uint8_t* observerLogEntry = nullptr;

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
}

void ComputeLimitingMagnitude() {
    selectionCriteria.year = static_cast<std::int16_t>(observingDateTime.year);
    selectionCriteria.month = static_cast<std::int16_t>(observingDateTime.month);
    selectionCriteria.day = static_cast<std::int16_t>(observingDateTime.day);
    selectionCriteria.hour = static_cast<std::int16_t>(observingDateTime.hour);
    selectionCriteria.minute = static_cast<std::int16_t>(observingDateTime.minute);
    const double centimetres = GetApertureMm() / 10.0;
    if (centimetres > 0.0)
        selectionCriteria.telescopeLimit =
            static_cast<float>(std::floor((5.0 * std::log10(centimetres) + 7.5) * 10.0) / 10.0);
}
