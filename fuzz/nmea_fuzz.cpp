// NMEA sentences as a GPS receiver sends them: any bytes scan without reading past the
// text, and a position found is two terminated texts that name a hemisphere.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "settings/gps_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The receive buffer's size at most, as the reader never holds more.
    if (size > static_cast<std::size_t>(kGpsBufferSize)) size = kGpsBufferSize;
    std::vector<char> text(data, data + size);
    char latitude[kGpsTextSize], longitude[kGpsTextSize];
    std::memset(latitude, 'k', sizeof latitude);
    std::memset(longitude, 'k', sizeof longitude);
    const int found = ScanNmeaPosition(text.data(), static_cast<int>(text.size()), latitude, longitude);
    if (found < 0 || found > 2) std::abort();
    if (found) {
        const char* end = static_cast<const char*>(std::memchr(latitude, 0, sizeof latitude));
        const char* endLon = static_cast<const char*>(std::memchr(longitude, 0, sizeof longitude));
        if (!end || !endLon || end == latitude || endLon == longitude) std::abort();
        if (end[-1] != 'N' && end[-1] != 'S') std::abort();
        if (endLon[-1] != 'E' && endLon[-1] != 'W') std::abort();
    }
    // The field formatters on the input's first bytes as a field and a hemisphere.
    char field[16] = {}, hemisphere[4] = {};
    std::memcpy(field, data, size < sizeof field - 1 ? size : sizeof field - 1);
    if (size > 15) std::memcpy(hemisphere, data + 15, size - 15 < 3 ? size - 15 : 3);
    char out[kGpsTextSize + 4];
    for (int (*format)(char*, const char*, const char*) : {FormatNmeaLatitude, FormatNmeaLongitude}) {
        std::memset(out, 'k', sizeof out);
        const int ok = format(out, field, hemisphere);
        if (!std::memchr(out, 0, kGpsTextSize)) std::abort();
        if (!ok && out[0] != 0) std::abort();
    }
    return 0;
}
