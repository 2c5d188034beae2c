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

// Blanks before a number do not change it: " 23.75" is 23.75 as StrToDouble reads it, not
// a blank separating fields.
const char* SkipLeadingBlanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
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

// An hour or degree value split for display.
struct AngleFields {
    bool negative = false;
    std::int64_t whole = 0;
    std::int64_t minutes = 0;
    std::int64_t seconds = 0;
};

// Seconds past a minute and minutes past a whole carry; a whole value at or past the turn
// (24 hours, 360 degrees) wraps.
void Carry(AngleFields& f, int turn) {
    if (f.seconds >= 60) {
        f.minutes += f.seconds / 60;
        f.seconds %= 60;
    }
    if (f.minutes >= 60) {
        f.whole += f.minutes / 60;
        f.minutes %= 60;
    }
    if (f.whole >= turn) f.whole %= turn;
}

// A non-negative fixed-point value (kUnits a whole) rounded by 50 units and split;
// `remainder` receives the units past the whole.
AngleFields SplitFixed(std::int64_t v, std::int64_t* remainder) {
    v += 50;
    AngleFields f;
    f.whole = v / kUnits;
    const std::int64_t r = v - kUnits * f.whole;
    f.minutes = 60 * r / kUnits;
    f.seconds = (60 * r - kUnits * f.minutes) * 60 / kUnits;
    *remainder = r;
    return f;
}

// The texts of display formats 1, 2 and 3: sign, whole, minutes, and seconds (tenths of a
// minute in format 3). An unknown format is shown as `fallback`.
struct SexagesimalTexts {
    const char* format[3];
    int fallback;
};
constexpr SexagesimalTexts kHourTexts = {{"%s%02d:%02d:%02d", "%s%02dh%02dm%02d", "%s%02dh%02d.%1d"}, 2};
constexpr SexagesimalTexts kDegreeTexts = {{"%s%02d:%02d:%02d", "%s%02d\xB0%02d'%02d", "%s%02d\xB0%02d.%1d"}, 1};

// Fields by a display format other than 0; an unknown format raises `unknownFormat` when
// it is given.
char* PrintSexagesimal(char* buffer, std::size_t size, const SexagesimalTexts& texts, int format,
                       const AngleFields& f, const char* unknownFormat) {
    const bool known = format >= 1 && format <= 3;
    const int shown = known ? format : texts.fallback;
    const std::int64_t last = shown == 3 ? f.seconds * 10 / 60 : f.seconds;
    Print(buffer, size, texts.format[shown - 1], f.negative ? "-" : "", static_cast<int>(f.whole),
          static_cast<int>(f.minutes), static_cast<int>(last));
    if (!known && unknownFormat) ShowMessage(unknownFormat, "");
    return buffer;
}

// Display format 0 of a fixed-point value: the whole and thousandths.
char* PrintFixedUnits(char* buffer, std::size_t size, const AngleFields& f, std::int64_t remainder) {
    return Print(buffer, size, "%s%02d.%03d", f.negative ? "-" : "", static_cast<int>(f.whole),
                 static_cast<int>(1000 * remainder / kUnits));
}

// Sexagesimal fields as hours or degrees; the sign comes from the text, so "-0:30" is
// negative although its first field is 0.
double FromFields(const char* text, int first, int second, int third) {
    const double rest = (second + third / 60.0) / 60.0;
    if (*SkipLeadingBlanks(text) == '-') return -(std::fabs(static_cast<double>(first)) + rest);
    return first + rest;
}

}  // namespace

int ParseSexagesimal(const char* text, char /*separator*/, int* first, int* second, int* third) {
    if (first) *first = 0;
    if (second) *second = 0;
    if (third) *third = 0;
    if (!text) return 0;
    text = SkipLeadingBlanks(text);
    if (!*text) return 0;
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

    AngleFields f;
    f.whole = static_cast<int>(std::floor(x));
    const double minutes = 60.0 * (x - f.whole);
    f.minutes = static_cast<int>(std::floor(minutes));
    f.seconds = static_cast<int>((minutes - f.minutes) * 60.0 + 0.5);
    // Tenths of a minute are shown rounded up from 1 second on, so that 1 h 59 min 55 s
    // already reads 02h00.0.
    if (format == 3) f.seconds += 5;
    Carry(f, 24);
    return PrintSexagesimal(buffer, size, kHourTexts, format, f, "HMSToStr Unkown hour format");
}

char* DMSToStr(char* buffer, std::size_t size, double degrees) {
    if (!std::isfinite(degrees)) return PrintNotFinite(buffer, size);
    const int format = preferences.word[pref::degreeFormat];
    if (format == 0) return PrintFixed(buffer, size, degrees, 4);

    AngleFields f;
    f.negative = degrees < 0.0;
    // Whole degrees are shown modulo 360; reducing first (exact, and nothing changes below
    // a turn) keeps 60 x and 3600 x finite for any finite input. The fields are truncated,
    // so no field carries.
    const double x = std::fmod(std::fabs(degrees), 360.0) + 1.0 / 7200.0;  // half an arc second
    f.whole = static_cast<int>(std::fmod(std::floor(x), 360.0));
    f.minutes = static_cast<int>(std::fmod(60.0 * x, 60.0));
    f.seconds = static_cast<int>(std::fmod(3600.0 * x, 60.0));
    return PrintSexagesimal(buffer, size, kDegreeTexts, format, f, nullptr);
}

char* HmsFixToStr(char* buffer, std::size_t size, std::int32_t value) {
    const int format = preferences.word[pref::hourFormat];
    std::int64_t remainder;
    // Neither carried nor reduced into a day: a value past 24 h shows its hours as they
    // are, and a negative one its sign before the fields of its size.
    AngleFields f = SplitFixed(std::llabs(static_cast<std::int64_t>(value)), &remainder);
    f.negative = value < 0;
    if (format == 0) return PrintFixedUnits(buffer, size, f, remainder);
    return PrintSexagesimal(buffer, size, kHourTexts, format, f, "HmsFixToStr Unknown hour format.");
}

char* DmsFixToStr(char* buffer, std::size_t size, std::int32_t value) {
    const int format = preferences.word[pref::degreeFormat];
    std::int64_t remainder;
    AngleFields f = SplitFixed(std::llabs(static_cast<std::int64_t>(value)), &remainder);
    f.negative = value < 0;
    if (format == 3) f.seconds += 5;
    // Degrees wrap at 360 in every format, the decimal one too.
    Carry(f, 360);
    if (format == 0) return PrintFixedUnits(buffer, size, f, remainder);
    return PrintSexagesimal(buffer, size, kDegreeTexts, format, f, nullptr);
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
