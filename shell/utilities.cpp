#include "shell/utilities.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/time_scales.h"
#include "objects/objects_services.h"
#include "platform/clock.h"
#include "platform/window.h"

int networkAllowed = 0;

namespace {

std::function<LocalDateTimeFields()> localClockSource;
std::function<std::string(int, int, int, int)> shortDateSource;
std::function<std::uint32_t()> tickSource;
std::function<unsigned(unsigned, unsigned)> pendingInputSource;
int dateOrder = -1;

LocalDateTimeFields DeviceLocalTime() {
    const platform::LocalTime now = platform::GetLocalTime();
    return {now.year, now.month, now.day, now.hour, now.minute, now.second};
}

// Removes one pending message of the range from the program's queue.
unsigned TakePending(unsigned first, unsigned last) {
    if (pendingInputSource) return pendingInputSource(first, last);
    platform::Message m;
    return platform::PeekMessage(m, platform::Window{}, first, last, true) ? m.message : 0u;
}

// Integer part of a double, saturated to the int range (NaN gives 0).
int TruncToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT_MAX;
    if (v <= -2147483648.0) return INT_MIN;
    return static_cast<int>(v);
}

constexpr int kMonthLengths[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

constexpr unsigned kFirstKey = 0x100;
constexpr unsigned kLastKey = 0x108;
constexpr unsigned kFirstPen = 0x200;
constexpr unsigned kLastPen = 0x20A;
constexpr unsigned kPenUp = 0x202;

}  // namespace

// ---------------------------------------------------------------------------------------

void SetLocalClockSource(std::function<LocalDateTimeFields()> source) { localClockSource = std::move(source); }
void SetShortDateSource(std::function<std::string(int, int, int, int)> source) { shortDateSource = std::move(source); }
void ResetDateOrder() { dateOrder = -1; }
void SetTickSource(std::function<std::uint32_t()> source) { tickSource = std::move(source); }
void SetPendingInputSource(std::function<unsigned(unsigned, unsigned)> source) { pendingInputSource = std::move(source); }

void GetLocalDateTime(int* year, int* month, int* day, int* hour, int* minute, int* second) {
    const LocalDateTimeFields now = localClockSource ? localClockSource() : DeviceLocalTime();
    if (year) *year = now.year;
    if (month) *month = now.month;
    if (day) *day = now.day;
    if (hour) *hour = now.hour;
    if (minute) *minute = now.minute;
    if (second) *second = now.second;
}

void SetObservingDateTime(int year, int month, int day, int hour, int minute, int second) {
    observingDateTime = {year, month, day, hour, minute, second};
    selectionCriteria.year = static_cast<std::int16_t>(year);
    selectionCriteria.month = static_cast<std::int16_t>(month);
    selectionCriteria.day = static_cast<std::int16_t>(day);
    selectionCriteria.hour = static_cast<std::int16_t>(hour);
    selectionCriteria.minute = static_cast<std::int16_t>(minute);
}

// ---------------------------------------------------------------------------------------

bool IsLeapYear(int year) {
    if (year > 1583) return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return year % 4 == 0;
}

int DaysInMonth(int year, int month) {
    if (month < 1 || month > 12) return 0;
    if (month == 2 && IsLeapYear(year)) return 29;
    return kMonthLengths[month];
}

int DayOfWeek(int year, int month, int day) {
    const long long n = static_cast<long long>(std::floor(JulianDay0h(year, month, day))) + 2;
    return static_cast<int>(((n % 7) + 7) % 7);
}

namespace {

void NextDay(int& year, int& month, int& day) {
    ++day;
    if (day > DaysInMonth(year, month)) {
        day = 1;
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
}

void PreviousDay(int& year, int& month, int& day) {
    --day;
    if (day < 1) {
        if (--month < 1) {
            month = 12;
            --year;
        }
        day = DaysInMonth(year, month);
    }
}

}  // namespace

bool AddMinutes(int* year, int* month, int* day, int* hour, int* minute, int minutes) {
    if (!year || !month || !day || !hour || !minute) return false;
    // Whole hours are carried at once; the day steps one at a time so every month end
    // and every February is passed as the calendar has it.
    long long m = static_cast<long long>(*minute) + minutes;
    long long h = *hour;
    if (m > 59) {
        h += m / 60;
        m %= 60;
    } else if (m < 0) {
        const long long borrow = (-m + 59) / 60;
        h -= borrow;
        m += borrow * 60;
    }
    while (h > 23) {
        h -= 24;
        NextDay(*year, *month, *day);
    }
    while (h < 0) {
        h += 24;
        PreviousDay(*year, *month, *day);
    }
    *hour = static_cast<int>(h);
    *minute = static_cast<int>(m);
    return IsLeapYear(*year);
}

bool AddDays(int* year, int* month, int* day, int days) {
    if (!year || !month || !day) return false;
    for (long long n = days; n > 0; --n) NextDay(*year, *month, *day);
    for (long long n = days; n < 0; ++n) PreviousDay(*year, *month, *day);
    return IsLeapYear(*year);
}

// ---------------------------------------------------------------------------------------

int GetDateOrder(int query) {
    if (query != 0) return 0;
    if (dateOrder < 0) {
        if (shortDateSource) {
            // 1 December 2007 (a Saturday) tells the orders apart by its second character:
            // "12/1/2007" puts the month first.
            const std::string text = shortDateSource(2007, 12, 1, 6);
            dateOrder = text.size() >= 2 && text[1] == '2' ? 2 : 5;
        } else {
            dateOrder = platform::ShortDateOrder() == platform::DateOrder::MonthFirst ? 2 : 5;
        }
    }
    return dateOrder;
}

namespace {
bool MonthFirst() {
    const int order = GetDateOrder(0);
    return order >= 1 && order <= 3;
}
}  // namespace

int FormatDate(char* buffer, int day, int month, int year) {
    if (!buffer) return 0;
    const int first = MonthFirst() ? month : day;
    const int second = MonthFirst() ? day : month;
    return std::snprintf(buffer, 36, "%02d/%02d/%04d", first, second, year);
}

int FormatDateShort(char* buffer, int day, int month, int year) {
    if (!buffer) return 0;
    const int first = MonthFirst() ? month : day;
    const int second = MonthFirst() ? day : month;
    return std::snprintf(buffer, 36, "%02d/%02d/%02d", first, second, std::abs(year % 100));
}

void ParseDate(const char* text, int* day, int* month, int* year) {
    int fields[3] = {0, 0, 0};
    if (text) ParseSexagesimal(text, '/', &fields[0], &fields[1], &fields[2]);
    const bool monthFirst = MonthFirst();
    if (day) *day = monthFirst ? fields[1] : fields[0];
    if (month) *month = monthFirst ? fields[0] : fields[1];
    if (year) *year = fields[2];
}

// ---------------------------------------------------------------------------------------

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

void SinCos(double angle, double* sine, double* cosine) {
    if (sine) *sine = std::sin(angle);
    if (cosine) *cosine = std::cos(angle);
}

// ---------------------------------------------------------------------------------------

std::uint32_t GetSeconds() { return (tickSource ? tickSource() : platform::TickCount()) / 1000u; }

std::uint32_t GetTicksPerSecond() { return 1000u; }

void FlushKeyEvents() {
    while (TakePending(kFirstKey, kLastKey) != 0) {
    }
}

void FlushPenEvents() {
    while (TakePending(kFirstPen, kLastPen) != 0) {
    }
}

void WaitPenOrKey() {
    for (;;) {
        const unsigned pen = TakePending(kFirstPen, kLastPen);
        if (pen == kPenUp) return;
        if (TakePending(kFirstKey, kLastKey) != 0) return;
    }
}

int IsNetworkAllowed() { return networkAllowed; }

void SetNetworkAllowed(int flag) { networkAllowed = flag; }
