// The user's element file: any bytes read as three-line sets give only sets that pass the
// line check, skipped lines inside the text and in order, and a merge into an empty copy
// that takes no more sets than were read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "catalog/element_lines.h"
#include "catalog/satellite_import.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ElementFileSets read = ReadElementFile(text);
    for (const SatelliteRecord& set : read.sets) {
        if (CheckElementSet(set.line1, set.line2) != kElementLineValid) std::abort();
        ElementEpochKey(set.line1);
    }
    int previous = 0;
    for (int line : read.skippedLines) {
        if (line <= previous || static_cast<std::size_t>(line) > size + 1) std::abort();
        previous = line;
    }
    std::vector<SatelliteRecord> copy;
    const int changed = MergeElementSets(copy, read.sets);
    if (changed < 0 || copy.size() > read.sets.size() || static_cast<std::size_t>(changed) > read.sets.size())
        std::abort();
    return 0;
}
