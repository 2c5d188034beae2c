#pragma once
// The device services the forms use: the device clock, date text in the device's
// day/month order, the tick counter, the flushing of pending pen and key input, and the
// network permission flag.
//
// Calendar arithmetic and Julian days live in "core/calendar.h", numbers as text in
// "core/number_text.h", angles and times as text in "astro/angle_text.h".
#include <cstdint>

#include "core/calendar.h"
#include "core/number_text.h"

// ---------------------------------------------------------------------------------------
// Observing date and time, device clock

// Reads the device's local date and time into those of the six pointers that are not null.
void GetLocalDateTime(int* year, int* month, int* day, int* hour, int* minute, int* second);

// ---------------------------------------------------------------------------------------
// Dates as text, in the device's short-date order

// The device's short-date order: 2 when the month comes first, 5 otherwise; asked once and
// kept. A non-zero argument returns 0.
int GetDateOrder(int query = 0);

// 1 when the device's short date puts the month first; set at start, read by the date and
// time form and the Moon forms.
extern int dateOrderMonthFirst;

// "%02d/%02d/%04d" of day, month, year, or of month, day, year on a month-first device.
// A four-digit year needs 11 bytes; any int fields fit in 36. Returns the length written.
int FormatDate(char* buffer, int day, int month, int year);
// The same with the year's last two digits, "%02d/%02d/%02d".
int FormatDateShort(char* buffer, int day, int month, int year);
// Reads three integers separated by '/' (any run of non-digits separates) in the order
// FormatDate writes them. Outputs may be null; unread fields become 0.
void ParseDate(const char* text, int* day, int* month, int* year);

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
// Network permission for picture downloads and image synchronisation: 0 at start; the
// synchronisation control of the preferences sets it while downloads are wanted, and a
// download that brings nothing, or the end of a synchronisation, clears it again.
extern int networkAllowed;
int IsNetworkAllowed();
void SetNetworkAllowed(int flag);
