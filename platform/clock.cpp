#include "platform/clock.h"

#include <langinfo.h>
#include <locale.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

namespace platform {

namespace {
// 0: from the locale; 1: day first; 2: month first.
std::atomic<int> dateOrderOverride{0};

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, int* y, int* m, int* d) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    *d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    *m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    *y = static_cast<int>(yoe + era * 400 + (*m <= 2));
}

bool NamesNoPreference(std::string_view name) {
    return name.empty() || name == "C" || name == "POSIX" || name.substr(0, 2) == "C." ;
}
}  // namespace

std::uint32_t TickCount() {
    const Backend& b = CurrentBackend();
    return b.tickCount ? b.tickCount() : RealTickCount();
}

LocalTime GetLocalTime() {
    const Backend& b = CurrentBackend();
    return b.localTime ? b.localTime() : RealLocalTime();
}

std::uint32_t RealTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec / 1000000));
}

LocalTime RealLocalTime() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    std::tm tm{};
    localtime_r(&ts.tv_sec, &tm);
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec;
    t.millisecond = static_cast<int>(ts.tv_nsec / 1000000);
    t.dayOfWeek = tm.tm_wday;
    return t;
}

namespace {
int DayOfWeek(int year, int month, int day) {
    const std::int64_t days = DaysFromCivil(year, month, day);
    // 1970-01-01 was a Thursday.
    return static_cast<int>(((days % 7) + 7 + 4) % 7);
}
}  // namespace

LocalTime AddMilliseconds(const LocalTime& t, std::int64_t ms) {
    std::int64_t total = DaysFromCivil(t.year, t.month, t.day) * 86400000LL + t.hour * 3600000LL + t.minute * 60000LL +
                         t.second * 1000LL + t.millisecond + ms;
    std::int64_t days = total / 86400000LL;
    std::int64_t rest = total % 86400000LL;
    if (rest < 0) {
        rest += 86400000LL;
        --days;
    }
    LocalTime out;
    CivilFromDays(days, &out.year, &out.month, &out.day);
    out.hour = static_cast<int>(rest / 3600000LL);
    out.minute = static_cast<int>(rest / 60000LL % 60);
    out.second = static_cast<int>(rest / 1000LL % 60);
    out.millisecond = static_cast<int>(rest % 1000);
    out.dayOfWeek = DayOfWeek(out.year, out.month, out.day);
    return out;
}

DateOrder DateOrderOfLocale(const char* name) {
    if (!name || NamesNoPreference(name)) return DateOrder::DayFirst;
    locale_t loc = newlocale(LC_TIME_MASK, name, static_cast<locale_t>(0));
    if (loc == static_cast<locale_t>(0)) return DateOrder::DayFirst;
    std::tm tm{};
    tm.tm_year = 2007 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 1;
    tm.tm_wday = 6;
    char text[64] = {};
    const std::size_t n = strftime_l(text, sizeof text, nl_langinfo_l(D_FMT, loc), &tm, loc);
    freelocale(loc);
    return n >= 2 && text[1] == '2' ? DateOrder::MonthFirst : DateOrder::DayFirst;
}

DateOrder ShortDateOrder() {
    switch (dateOrderOverride.load()) {
        case 1: return DateOrder::DayFirst;
        case 2: return DateOrder::MonthFirst;
        default: break;
    }
    for (const char* var : {"LC_ALL", "LC_TIME", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) return DateOrderOfLocale(v);
    }
    return DateOrder::DayFirst;
}

void SetShortDateOrder(std::optional<DateOrder> order) {
    dateOrderOverride.store(!order ? 0 : (*order == DateOrder::DayFirst ? 1 : 2));
}

}  // namespace platform
