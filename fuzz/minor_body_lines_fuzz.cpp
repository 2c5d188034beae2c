// Lines of the Minor Planet Center's comet and MPCORB formats, as Import and Sync read
// them: any line parses or is refused without a fault, and a parsed orbit that solves
// gives finite places over a few decades.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>
#include <string_view>

#include "catalog/minor_body_lines.h"
#include "objects/comet_position.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    CometRecord record;
    if (ParseMinorBodyLine(line, &record) == 0) return 0;
    if (record.name[sizeof record.name - 1] != '\0') std::abort();
    const CometElements elements = MakeCometElements(record);
    for (double jd : {2440000.5, 2451545.0, 2460000.5, 2470000.5}) {
        CometPosition p;
        if (ComputeCometPosition(elements, jd, 2000, &p) == 1 &&
            (!std::isfinite(p.rightAscension) || !std::isfinite(p.declination) || !std::isfinite(p.earthDistance)))
            std::abort();
    }
    return 0;
}
