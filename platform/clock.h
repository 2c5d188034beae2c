#pragma once
// The clock and the calendar services of the machine: tick count, local time and the
// user's short-date order. Tick count and local time come from the backend, so that the
// headless backend's virtual clock serves tests.
#include <cstdint>
#include <optional>

#include "platform/backend.h"

namespace platform {

// Milliseconds from the backend's clock.
std::uint32_t TickCount();
// Local civil time, day of week included.
LocalTime GetLocalTime();

// The machine's own clock, for backends.
std::uint32_t RealTickCount();
LocalTime RealLocalTime();

// The virtual clock's step: `t` moved by `ms` milliseconds (either sign), with the day of
// week recomputed (0 = Sunday). The device clock runs on the proleptic Gregorian calendar;
// the program's own calendar, with its Julian years before 1583, is "core/calendar.h".
LocalTime AddMilliseconds(const LocalTime& t, std::int64_t ms);

// The order of day and month in the user's short date.
enum class DateOrder { DayFirst, MonthFirst };
// The override when one is set, else the user's LC_TIME locale (LC_ALL, LC_TIME, LANG):
// month first when its short date of 1 December 2007 has "2" as second character, as in
// 12/01/2007. The C and POSIX locales state no preference and give day first rather than
// their built-in month-first format.
DateOrder ShortDateOrder();
// Tests and the headless driver fix the order; nullopt returns to the locale.
void SetShortDateOrder(std::optional<DateOrder> order);
// The order a named locale gives ("" for none), as above.
DateOrder DateOrderOfLocale(const char* name);

}  // namespace platform
