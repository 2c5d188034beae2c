// Two-line element sets: any name and two lines convert, are checked, and a set taken as
// valid propagates with SGP4 and SGP over a day without a fault and to finite results
// (or a decayed orbit).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "catalog/records.h"
#include "satellites/sgp.h"
#include "satellites/sgp4.h"
#include "satellites/two_line_elements.h"

namespace {

bool Finite(const SatVector& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) && std::isfinite(v.magnitude);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    SatelliteRecord record;
    // The two lines: the input split in two, each at most a line's size.
    const std::size_t half = size / 2;
    std::memcpy(record.line1, data, half < kSatelliteTextSize ? half : kSatelliteTextSize);
    const std::size_t rest = size - half;
    std::memcpy(record.line2, data + half, rest < kSatelliteTextSize ? rest : kSatelliteTextSize);
    TleElements elements;
    const int valid = ConvertTleElements(record, &elements);
    if (valid != kElementsValid) return 0;
    for (double tsince : {0.0, 90.0, 720.0, 1440.0, -1440.0}) {
        SatVector position, velocity;
        if (PropagateSgp4(tsince, &position, &velocity, elements) == kOrbitPropagated &&
            (!Finite(position) || !Finite(velocity)))
            std::abort();
        if (PropagateSgp(tsince, &position, &velocity, elements) == kOrbitPropagated &&
            (!Finite(position) || !Finite(velocity)))
            std::abort();
    }
    return 0;
}
