#pragma once
// Calendar dates and clock times: leap years, month lengths, the day of the week, adding
// minutes and days, Julian days and the decimal year.
//
// Years are astronomical (0 is 1 BC), Julian calendar before the Gregorian switch and
// Gregorian after it: leap years and the calendar-to-Julian-day conversion switch after
// the year 1583, the reverse conversion at 15 October 1582. A Julian day made from local
// clock fields and the site's zone offset is UT.

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

// Julian day of 0h UT of the date.
double JulianDay0h(int year, int month, int day);

// Julian day of the instant; offsetMinutes (local minus UT) is taken off the minutes, so
// local fields with the site's offset give UT and offset 0 gives the fields' own scale.
// Fields outside their ranges simply move the instant.
double DateTimeToJD(int year, int month, int day, int hour, int minute, int second, int offsetMinutes);

// Calendar date and clock time of a Julian day, the time rounded to the whole second
// (23:59:59.6 becomes 0:00:00 of the next day). Outputs may be null. Returns the second.
int JDToDate(double jd, int* year, int* month, int* day, int* hour, int* minute, int* second);
// The same conversion, under the name the planet, comet, Moon and event code call.
int JDToDateTime(double jd, int* year, int* month, int* day, int* hour, int* minute, int* second);

// The year plus its elapsed part; 1 January 0h gives year + 1/L (L the year's length).
double DateToDecimalYear(int year, int month, int day, int hour, int minute, int second);
