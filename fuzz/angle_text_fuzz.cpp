// Angle and number text: the parsers take any text the user types or an import file holds,
// and what they give (and the fuzzer's raw doubles and fixed-point values) goes through
// every formatter in every display format.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "astro/angle_text.h"
#include "core/number_text.h"
#include "core/settings.h"

namespace {

void FormatAll(double hours, double degrees, std::int32_t fixed) {
    char buffer[64];
    for (int format = -1; format <= 5; ++format) {
        preferences.word[pref::hourFormat] = format;
        preferences.word[pref::degreeFormat] = format;
        HMSToStr(buffer, sizeof buffer, hours);
        DMSToStr(buffer, sizeof buffer, degrees);
        HmsFixToStr(buffer, sizeof buffer, fixed);
        DmsFixToStr(buffer, sizeof buffer, fixed);
        DegToHmsText(buffer, sizeof buffer, degrees);
        // The small buffers the forms use must hold or cut every value.
        HMSToStr(buffer, 4, hours);
        DMSToStr(buffer, 4, degrees);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* c = text.c_str();
    int a = 0, b = 0, s = 0;
    ParseSexagesimal(c, ':', &a, &b, &s);
    const double hours = HmsStrToHours(c);
    const double degrees = DmsStrToDeg(c);
    HmsStrToDeg(c);
    StrToInt(c);
    const double number = StrToDouble(c);
    int h = 0, m = 0, sec = 0;
    HoursToHMS(number, &h, &m, &sec);
    char fixedText[512];
    for (int decimals = 0; decimals <= 6; ++decimals) FormatFixed(fixedText, number, decimals);

    std::int32_t fixed = 0;
    double raw = 0.0;
    if (size >= sizeof raw + sizeof fixed) {
        std::memcpy(&raw, data, sizeof raw);
        std::memcpy(&fixed, data + sizeof raw, sizeof fixed);
    }
    FormatAll(hours, degrees, fixed);
    FormatAll(raw, raw, fixed);
    return 0;
}
