#include "shell/utilities.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "astro/time_scales.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "shell/utilities_internal.h"

int networkAllowed = 0;
int dateOrderMonthFirst = 0;

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


// ---------------------------------------------------------------------------------------

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
