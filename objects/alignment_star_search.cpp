#include "objects/alignment_star_search.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/object_lookup.h"
#include "catalog/object_selection.h"
#include "catalog/selection_hooks.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "core/report.h"

namespace {

void ReportMissing(const char* file) {
    char heading[64];
    std::snprintf(heading, sizeof heading, "Could not find %s", file);
    ShowMessage(heading, "Please verify your configuration.");
}

bool IsConstellationAbbreviation(const char* word) {
    for (const ConstellationEntry& c : ConstellationTable)
        if (std::strcmp(word, c.abbreviation) == 0) return true;
    return false;
}

}  // namespace

bool IsProperStarName(const char* name) {
    if (!name || !*name) return false;
    if (std::strncmp(name, "HR ", 3) == 0 && name[3] >= '0' && name[3] <= '9') return false;
    const char* lastSpace = std::strrchr(name, ' ');
    return !lastSpace || !IsConstellationAbbreviation(lastSpace + 1);
}

int ListNamedBrightStars() {
    SelectionList& list = selectionList;
    if (!list.records || !list.index) return 0;
    const int named = GetBrightStarCount();
    if (named <= 0) {
        ReportMissing(kBrightStarFile);
        return 0;
    }
    LoadStarTable(0);
    if (GetStarTableCount() <= 0) {
        ReportMissing(kDefaultStarsFile);
        return 0;
    }
    // New records go after every record the list holds, whatever its filter shows.
    list.indexCount = std::clamp(list.recordCount, 0, list.capacity);
    int added = 0;
    for (int n = 0; n < named; ++n) {
        BrightStarRecord entry;
        if (!GetBrightStarRecord(n, &entry) || !IsProperStarName(entry.name)) continue;
        ObjectRef star;
        if (!BuildObjectDescription(kCatalogBrightStar, n, &star, nullptr, nullptr, 1, nullptr)) continue;
        if (!AddObjectToSelection(n, CatalogToFinderIndex(star), list.records, star)) continue;
        ++list.indexCount;
        ++added;
    }
    list.recordCount = list.indexCount;
    if (list.categoryFilter >= 1 && list.categoryFilter <= 6)
        list.indexCount = FilterSelectionByType(list.categoryFilter, list.records, list.recordCount);
    if (added > 0) InvalidateSelectionProjectionHook();
    return added;
}
