#pragma once
// Delta T, Greenwich and local mean sidereal time and the mean obliquity of the ecliptic.
// Calendar dates and Julian days are in "core/calendar.h". Terrestrial time is UT plus
// Delta T / 86400. Longitudes here are degrees positive WEST.
#include <cstdint>

#include "core/calendar.h"
#include "core/observing_time.h"

// TT - UT in seconds: the user's value for dates of the observing year and for dates past
// the measured table, the measured table from 1620, long-term formulas elsewhere.
double DeltaTSeconds(int year, int month, int day, double userDeltaT, int observingYear);
// The same with the user's value from the settings and the year of the observing time.
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
