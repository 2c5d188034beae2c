#pragma once
// Small services every subsystem uses: the observing date and time setter, the device
// clock, calendar arithmetic on dates held in int variables, date text in the device's
// day/month order, number parsing and fixed-decimal formatting, the tick counter, the
// flushing of pending pen and key input, and the network permission flag.
//
// Julian days live in "astro/time_scales.h", angles and times as text in
// "astro/angle_text.h".
#include <cstdint>
#include <functional>
#include <string>

// ---------------------------------------------------------------------------------------
// Observing date and time, device clock

// Reads the device's local date and time into those of the six pointers that are not null.
void GetLocalDateTime(int* year, int* month, int* day, int* hour, int* minute, int* second);

// Sets the six `ObservingDateTime` fields and the 16-bit date copy of `SelectionCriteria`
// (year to minute). The arguments are not checked: writers pass a valid calendar date.
void SetObservingDateTime(int year, int month, int day, int hour, int minute, int second);

// ---------------------------------------------------------------------------------------
// Calendar arithmetic. Years are astronomical (0 is 1 BC); the calendar is Julian up to
// 1583 and Gregorian after it, as the Julian day conversion counts it.

// Gregorian rule for years after 1583; every fourth year before.
bool IsLeapYear(int year);
// The month's length (February by IsLeapYear); 0 when month is not 1 to 12.
int DaysInMonth(int year, int month);
// 0 Sunday to 6 Saturday.
int DayOfWeek(int year, int month, int day);

// Add a signed count in place, carrying through hours, days, months and years. Each
// returns whether the year it ends in is a leap year. A null pointer changes nothing and
// returns false.
bool AddMinutes(int* year, int* month, int* day, int* hour, int* minute, int minutes);
bool AddDays(int* year, int* month, int* day, int days);

// ---------------------------------------------------------------------------------------
// Dates as text, in the device's short-date order

// The device's short-date order: 2 when the month comes first, 5 otherwise; asked once and
// kept. A non-zero argument returns 0.
int GetDateOrder(int query = 0);

// "%02d/%02d/%04d" of day, month, year, or of month, day, year on a month-first device.
// A four-digit year needs 11 bytes; any int fields fit in 36. Returns the length written.
int FormatDate(char* buffer, int day, int month, int year);
// The same with the year's last two digits, "%02d/%02d/%02d".
int FormatDateShort(char* buffer, int day, int month, int year);
// Reads three integers separated by '/' (any run of non-digits separates) in the order
// FormatDate writes them. Outputs may be null; unread fields become 0.
void ParseDate(const char* text, int* day, int* month, int* year);

// ---------------------------------------------------------------------------------------
// Numbers as text

// An optional "-", then an optional "+", then decimal digits up to the first non-digit.
// 0 for null or when no digit follows. Leading blanks are not skipped. Values beyond the
// int range saturate.
int StrToInt(const char* text);

// Leading blanks skipped; an optional sign; integer digits; then '.' or ',' and fraction
// digits (the first nine count). Anything after the number is ignored. 0 for null or no
// digits.
double StrToDouble(const char* text);

// Writes the value with a fixed number of decimals, rounded half up at the last decimal,
// with a leading "-" for negative values (so -0.004 with 2 decimals reads "-0.00"). A
// negative count gives 6 decimals, a count above 6 gives 8. Magnitudes of 1e15 and more
// are written as 999999999999999 plus decimals, so 26 bytes always suffice. Returns the
// length written.
int FormatFixed(char* buffer, double value, int decimals);

// Splits hours (or degrees) into whole hours, minutes and seconds, rounding by half a
// second first. Outputs may be null.
void HoursToHMS(double hours, int* h, int* m, int* s);

// Sine and cosine of an angle in radians. Outputs may be null.
void SinCos(double angle, double* sine, double* cosine);

// ---------------------------------------------------------------------------------------
// Ticks and pending input

// The tick count in seconds, and the number of ticks per second (1000).
std::uint32_t GetSeconds();
std::uint32_t GetTicksPerSecond();

// Drop every pending keyboard message (0x100-0x108) or stylus message (0x200-0x20A), so
// that taps and key repeats made during a long drawing are not acted on.
void FlushKeyEvents();
void FlushPenEvents();
// Waits, polling, until a stylus-up or any key message arrives, removing the messages it
// reads on the way.
void WaitPenOrKey();

// ---------------------------------------------------------------------------------------
// Network permission for picture downloads and image synchronisation: 0 at start and only
// ever set to 0, so those downloads never run.
extern int networkAllowed;
int IsNetworkAllowed();
void SetNetworkAllowed(int flag);

// ---------------------------------------------------------------------------------------
// Where the device services come from: the platform layer's clock, short-date order and
// message queue, unless a test or tool installs its own source. An empty function returns
// to the platform.

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
