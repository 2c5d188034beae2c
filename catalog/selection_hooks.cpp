#include "catalog/selection_hooks.h"

#include <cstdio>

namespace {

SelectionHooks installed;

}  // namespace

SelectionHooks SetSelectionHooks(const SelectionHooks& hooks) {
    const SelectionHooks previous = installed;
    installed = hooks;
    return previous;
}

int SelectChartObjectHook(const ObjectRef& object, int position) {
    return installed.selectChartObject ? installed.selectChartObject(object, position) : -1;
}

void InvalidateSelectionProjectionHook() {
    if (installed.invalidateSelectionProjection) installed.invalidateSelectionProjection();
}

int ComputeCometPositionHook(const CometRecord& elements, double jd, int year, CometPlace* place) {
    if (!place || !installed.computeCometPosition) return 0;
    return installed.computeCometPosition(elements, jd, year, place);
}

int FormatDateHook(char* buffer, int day, int month, int year) {
    if (!buffer) return 0;
    if (installed.formatDate) return installed.formatDate(buffer, day, month, year);
    return std::snprintf(buffer, 36, "%02d/%02d/%04d", day, month, year);
}
