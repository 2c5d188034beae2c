#include "core/observing_time.h"

ObservingDateTime observingDateTime{};
SelectionCriteria selectionCriteria{};

namespace {
ObservingTimeHook observingTimeHook = nullptr;
}  // namespace

void CopyObservingDateToCriteria() {
    const ObservingDateTime& t = observingDateTime;
    selectionCriteria.year = static_cast<std::int16_t>(t.year);
    selectionCriteria.month = static_cast<std::int16_t>(t.month);
    selectionCriteria.day = static_cast<std::int16_t>(t.day);
    selectionCriteria.hour = static_cast<std::int16_t>(t.hour);
    selectionCriteria.minute = static_cast<std::int16_t>(t.minute);
}

void SetObservingDateTime(int year, int month, int day, int hour, int minute, int second) {
    observingDateTime = {year, month, day, hour, minute, second};
    CopyObservingDateToCriteria();
}

void SetObservingTimeChangedHook(ObservingTimeHook hook) { observingTimeHook = hook; }

void ObservingTimeChanged() {
    if (observingTimeHook) observingTimeHook();
}
