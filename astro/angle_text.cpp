#include "astro/angle_text.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "astro/fixed_trig.h"
#include "core/report.h"
#include "core/settings.h"
#include "core/number_text.h"

namespace {

constexpr std::int64_t kUnits = kFixUnitsPerDegree;  // also units per hour of a right ascension / 15

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipDigits(const char* p) {
    while (IsDigit(*p)) ++p;
    return p;
}

const char* SkipToDigit(const char* p) {
    while (*p && !IsDigit(*p)) ++p;
    return p;
}

char* Print(char* buffer, std::size_t size, const char* format, ...) __attribute__((format(printf, 3, 4)));
char* Print(char* buffer, std::size_t size, const char* format, ...) {
    if (!buffer || size == 0) return buffer;
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, size, format, args);
    va_end(args);
    return buffer;
}

char* PrintFixed(char* buffer, std::size_t size, double value, int decimals) {
    char text[40];
    FormatFixed(text, value, decimals);
    return Print(buffer, size, "%s", text);
}

char* PrintNotFinite(char* buffer, std::size_t size) { return Print(buffer, size, "--"); }

// Sexagesimal fields as hours or degrees; the sign comes from the text, so "-0:30" is
// negative although its first field is 0.
double FromFields(const char* text, int first, int second, int third) {
    const double rest = (second + third / 60.0) / 60.0;
    if (text[0] == '-') return -(std::fabs(static_cast<double>(first)) + rest);
    return first + rest;
}

}  // namespace

int ParseSexagesimal(const char* text, char /*separator*/, int* first, int* second, int* third) {
    if (first) *first = 0;
    if (second) *second = 0;
    if (third) *third = 0;
    if (!text || !*text) return 0;
    if (first) *first = StrToInt(text);
    const char* p = text;
    if (*p == '+' || *p == '-') ++p;
    p = SkipDigits(p);
    if (*p == '.') return 0;  // a decimal number, for StrToDouble
    p = SkipToDigit(p);
    if (second) *second = StrToInt(p);
    p = SkipDigits(p);
    if (*p == '.') {
        // Decimal minutes: "45.5" is 45 min 30 s, "45.55" 45 min 33 s.
        ++p;
        int digits = 0;
        int value = 0;
        int scale = 1;
        while (digits < 2 && IsDigit(*p)) {
            value = value * 10 + (*p - '0');
            scale *= 10;
            ++digits;
            ++p;
        }
        if (third) *third = value * 60 / scale;
        return 1;
    }
    p = SkipToDigit(p);
    if (third) *third = StrToInt(p);  // digits after a point in the seconds are dropped
    return 1;
}

double HmsStrToHours(const char* text) {
    int h, m, s;
    if (!ParseSexagesimal(text, ':', &h, &m, &s)) return StrToDouble(text);
    return FromFields(text, h, m, s);
}

double HmsStrToDeg(const char* text) { return HmsStrToHours(text) * 15.0; }

double DmsStrToDeg(const char* text) {
    int d, m, s;
    if (!ParseSexagesimal(text, ':', &d, &m, &s)) return StrToDouble(text);
    return FromFields(text, d, m, s);
}

char* HMSToStr(char* buffer, std::size_t size, double hours) {
    if (!std::isfinite(hours)) return PrintNotFinite(buffer, size);
    const int format = preferences.word[pref::hourFormat];
    double x = std::fmod(hours, 24.0);
    while (x < 0.0) x += 24.0;
    while (x > 24.0) x -= 24.0;
    if (format == 0) return PrintFixed(buffer, size, x, 4);

    int h = static_cast<int>(std::floor(x));
    const double minutes = 60.0 * (x - h);
    int m = static_cast<int>(std::floor(minutes));
    int s = static_cast<int>((minutes - m) * 60.0 + 0.5);
    // Tenths of a minute are shown rounded up from 1 second on, so that 1 h 59 min 55 s
    // already reads 02h00.0.
    if (format == 3) s += 5;
    if (s >= 60) {
        s -= 60;
        ++m;
    }
    if (m >= 60) {
        m -= 60;
        ++h;
    }
    if (h >= 24) h -= 24;

    switch (format) {
    case 1:
        return Print(buffer, size, "%02d:%02d:%02d", h, m, s);
    case 2:
        return Print(buffer, size, "%02dh%02dm%02d", h, m, s);
    case 3:
        return Print(buffer, size, "%02dh%02d.%1d", h, m, s * 10 / 60);
    default:
        Print(buffer, size, "%02dh%02dm%02d", h, m, s);
        ShowMessage("HMSToStr Unkown hour format", "");
        return buffer;
    }
}

char* DMSToStr(char* buffer, std::size_t size, double degrees) {
    if (!std::isfinite(degrees)) return PrintNotFinite(buffer, size);
    const int format = preferences.word[pref::degreeFormat];
    if (format == 0) return PrintFixed(buffer, size, degrees, 4);

    const bool negative = degrees < 0.0;
    const double x = std::fabs(degrees) + 1.0 / 7200.0;  // half an arc second
    // Whole degrees are taken modulo 360 before they become an int.
    int d = static_cast<int>(std::fmod(std::floor(x), 360.0));
    int m = static_cast<int>(std::fmod(60.0 * x, 60.0));
    int s = static_cast<int>(std::fmod(3600.0 * x, 60.0));
    if (s >= 60) {
        s -= 60;
        ++m;
    }
    if (m >= 60) {
        m -= 60;
        ++d;
    }
    if (d >= 360) d %= 360;

    const char* sign = negative ? "-" : "";
    switch (format) {
    case 2:
        return Print(buffer, size, "%s%02d\xB0%02d'%02d", sign, d, m, s);
    case 3:
        return Print(buffer, size, "%s%02d\xB0%02d.%1d", sign, d, m, s * 10 / 60);
    default:
        return Print(buffer, size, "%s%02d:%02d:%02d", sign, d, m, s);
    }
}

char* HmsFixToStr(char* buffer, std::size_t size, std::int32_t value) {
    const int format = preferences.word[pref::hourFormat];
    std::int64_t v = value;
    // A negative hour value has no text of its own: count it from the day before.
    if (v < 0) v = v % (24 * kUnits) + 24 * kUnits;
    v += 50;
    const std::int64_t h = v / kUnits;
    const std::int64_t r = v - kUnits * h;
    const std::int64_t m = 60 * r / kUnits;
    const std::int64_t s = (60 * r - kUnits * m) * 60 / kUnits;
    const int hi = static_cast<int>(h), mi = static_cast<int>(m), si = static_cast<int>(s);
    switch (format) {
    case 0:
        return Print(buffer, size, "%02d.%03d", hi, static_cast<int>(1000 * r / kUnits));
    case 1:
        return Print(buffer, size, "%02d:%02d:%02d", hi, mi, si);
    case 2:
        return Print(buffer, size, "%02dh%02dm%02d", hi, mi, si);
    case 3:
        return Print(buffer, size, "%02dh%02d.%1d", hi, mi, si * 10 / 60);
    default:
        Print(buffer, size, "%02dh%02dm%02d", hi, mi, si);
        ShowMessage("HmsFixToStr Unknown hour format.", "");
        return buffer;
    }
}

char* DmsFixToStr(char* buffer, std::size_t size, std::int32_t value) {
    const int format = preferences.word[pref::degreeFormat];
    const bool negative = value < 0;
    const std::int64_t v = std::llabs(static_cast<std::int64_t>(value)) + 50;
    std::int64_t d = v / kUnits;
    const std::int64_t r = v - kUnits * d;
    std::int64_t m = 60 * r / kUnits;
    std::int64_t s = (60 * r - kUnits * m) * 60 / kUnits;
    if (format == 3) s += 5;
    if (s >= 60) {
        m += s / 60;
        s %= 60;
    }
    if (m >= 60) {
        d += m / 60;
        m %= 60;
    }
    if (d >= 360) d %= 360;

    const char* sign = negative ? "-" : "";
    const int di = static_cast<int>(d), mi = static_cast<int>(m), si = static_cast<int>(s);
    switch (format) {
    case 0:
        return Print(buffer, size, "%s%02d.%03d", sign, di, static_cast<int>(1000 * r / kUnits));
    case 2:
        return Print(buffer, size, "%s%02d\xB0%02d'%02d", sign, di, mi, si);
    case 3:
        return Print(buffer, size, "%s%02d\xB0%02d.%1d", sign, di, mi, si * 10 / 60);
    default:
        return Print(buffer, size, "%s%02d:%02d:%02d", sign, di, mi, si);
    }
}

char* DegToHmsText(char* buffer, std::size_t size, double degrees) {
    if (!std::isfinite(degrees)) return PrintNotFinite(buffer, size);
    double x = std::fmod(degrees, 360.0);
    while (x < 0.0) x += 360.0;
    while (x > 360.0) x -= 360.0;
    // Truncated to whole seconds, but a value a rounding error below a whole second (350
    // degrees is 23:19:59.99999999...) counts as that second.
    double seconds = std::floor(x / 15.0 * 3600.0 + 1e-6);
    if (seconds >= 86400.0) seconds -= 86400.0;
    const double h = std::floor(seconds / 3600.0);
    const double m = std::floor((seconds - 3600.0 * h) / 60.0);
    const double s = seconds - 3600.0 * h - 60.0 * m;
    return Print(buffer, size, "%02d:%02d:%02d", static_cast<int>(h), static_cast<int>(m), static_cast<int>(s));
}
