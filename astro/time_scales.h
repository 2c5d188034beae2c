#pragma once
// Calendar dates and clock times to Julian days and back, the decimal year, Delta T,
// Greenwich and local mean sidereal time and the mean obliquity of the ecliptic.
//
// Dates are astronomical years (0 is 1 BC), Julian calendar before the Gregorian switch
// and Gregorian after it: the calendar-to-Julian-day conversion switches after the year
// 1583 (as IsLeapYear does), the reverse conversion at 15 October 1582. A Julian day made
// from local clock fields and the site's zone offset is UT; terrestrial time is that plus
// Delta T / 86400. Longitudes here are degrees positive WEST.
#include <cstdint>

// The instant the whole system computes for, in local civil time of the site.
struct ObservingDateTime {
    int year;
    int month;   // 1..12
    int day;     // 1..31
    int hour;    // 0..23
    int minute;  // 0..59
    int second;  // 0..59
};
extern ObservingDateTime observingDateTime;

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

// TT - UT in seconds: the user's value for dates of the observing year and for dates past
// the measured table, the measured table from 1620, long-term formulas elsewhere.
double GetDeltaT(int year, int month, int day);

// Greenwich mean sidereal time at 0h UT of the date, hours 0..24.
double GreenwichSiderealTime0h(int year, int month, int day);

// Local mean sidereal time, hours 0..24, for local clock fields, a west-positive longitude
// in degrees and the zone offset in minutes.
double LocalSiderealTime(int year, int month, int day, int hour, int minute, int second,
                         double longitudeWest, int offsetMinutes);

// Mean obliquity of the ecliptic of date in degrees, T in Julian centuries from J2000.0.
double GetMeanObliquity(double T);

// Delta T in tenths of a second at 1 January of every second year from 1620.
inline constexpr int kDeltaTTableFirstYear = 1620;
inline constexpr int kDeltaTTableSize = 203;
extern const std::int16_t deltaTTable[kDeltaTTableSize];
