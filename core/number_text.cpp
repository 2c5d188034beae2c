#include "core/number_text.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

// Integer part of a double, saturated to the int range (NaN gives 0).
int TruncToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT_MAX;
    if (v <= -2147483648.0) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

int StrToInt(const char* text) {
    if (!text) return 0;
    const char* p = text;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        ++p;
    }
    if (*p == '+') ++p;
    if (!(*p >= '0' && *p <= '9')) return 0;
    // 64 bits and a cap one past INT_MAX, so long digit strings saturate instead of
    // overflowing.
    constexpr long long kCap = 2147483648LL;
    long long value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) value = std::min(value * 10 + (*p - '0'), kCap);
    if (negative) return static_cast<int>(-value);
    return static_cast<int>(std::min(value, kCap - 1));
}

double StrToDouble(const char* text) {
    if (!text) return 0.0;
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    constexpr long long kCap = 1000000000000000000LL;  // saturates long integer parts
    long long integer = 0;
    for (; *p >= '0' && *p <= '9'; ++p) integer = integer >= kCap / 10 ? kCap : integer * 10 + (*p - '0');
    long long fraction = 0;
    double scale = 1.0;
    if (*p == '.' || *p == ',') {
        ++p;
        for (int digits = 0; *p >= '0' && *p <= '9'; ++p, ++digits) {
            if (digits < 9) {
                fraction = fraction * 10 + (*p - '0');
                scale *= 10.0;
            }
        }
    }
    const double value = static_cast<double>(integer) + static_cast<double>(fraction) / scale;
    return negative ? -value : value;
}

int FormatFixed(char* buffer, double value, int decimals) {
    if (!buffer) return 0;
    const bool negative = value < 0.0;
    double magnitude = std::isnan(value) ? 0.0 : std::fabs(value);
    magnitude = std::min(magnitude, 999999999999999.0);

    const int d = decimals < 0 ? 6 : decimals > 6 ? 8 : decimals;
    long long s = 10;
    for (int i = 0; i < d; ++i) s *= 10;

    long long ip = static_cast<long long>(magnitude);
    const double scaled = magnitude * static_cast<double>(s) - static_cast<double>(ip) * static_cast<double>(s);
    long long f = static_cast<long long>(std::clamp(scaled, 0.0, static_cast<double>(s - 1))) + 5;
    if (f >= s) ++ip;
    long long q = f / 10;

    char text[40];
    int pos = sizeof text - 1;
    text[pos] = '\0';
    for (int i = 0; i < d; ++i) {
        text[--pos] = static_cast<char>('0' + q % 10);
        q /= 10;
    }
    if (d >= 1) text[--pos] = '.';
    do {
        text[--pos] = static_cast<char>('0' + ip % 10);
        ip /= 10;
    } while (ip > 0);
    if (negative) text[--pos] = '-';

    const int length = static_cast<int>(sizeof text - 1 - pos);
    std::memcpy(buffer, text + pos, static_cast<std::size_t>(length) + 1);
    return length;
}

void HoursToHMS(double hours, int* h, int* m, int* s) {
    const double x = hours + 1.0 / 7200.0;
    const int hh = TruncToInt(x);
    const double minutes = (x - hh) * 60.0;
    const int mm = TruncToInt(minutes);
    const int ss = TruncToInt((minutes - mm) * 60.0);
    if (h) *h = hh;
    if (m) *m = mm;
    if (s) *s = ss;
}
