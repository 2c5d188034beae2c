#pragma once
// Where the device services of utilities.h come from: the platform layer's clock,
// short-date order, tick count and message queue, unless a test installs its own source.
// An empty function returns to the platform. Not for the program.
#include <cstdint>
#include <functional>
#include <string>

struct LocalDateTimeFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};
void SetLocalClockSource(std::function<LocalDateTimeFields()> source);

// Formats a date as the user's short date (dayOfWeek 0 Sunday); the order is read from
// the second character of 1 December 2007 ("12/1/2007" puts the month first).
void SetShortDateSource(std::function<std::string(int year, int month, int day, int dayOfWeek)> source);
// Forgets the cached date order, so the next GetDateOrder asks again.
void ResetDateOrder();

// Milliseconds since the device started.
void SetTickSource(std::function<std::uint32_t()> source);

// Removes the oldest pending message whose number lies in [first, last] and returns its
// number, or 0 when there is none.
void SetPendingInputSource(std::function<unsigned(unsigned first, unsigned last)> source);
