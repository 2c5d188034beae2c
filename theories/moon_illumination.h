#pragma once
// The Moon's illuminated fraction and age from a short Sun and Moon theory with elements of
// the epoch 1980 January 0.0 (JD 2444238.5).

// Julian day of a calendar date whose day carries the fraction of the day. Julian calendar
// up to 1582 October 15.0 inclusive, Gregorian after; years are astronomical (0 is 1 BC).
double DateToJulianDay(int year, int month, double day);

// The Sun's geocentric ecliptic longitude in degrees, [0, 360), for d days since
// 1980 January 0.0 UT.
double GetSunLongitude1980(double d);

// The Moon's true ecliptic longitude in degrees (not reduced to one turn) for d days since
// 1980 January 0.0 UT and the Sun's longitude from GetSunLongitude1980.
double GetMoonLongitude1980(double d, double sunLongitude);

// Illuminated fraction of the Moon, 0 (new) to 1 (full), for a local civil date and hour at
// a site whose clock runs zoneMinutes ahead of UT. Writes the Moon's age in whole days
// (0 to 28; 29 only for an age angle of exactly 360 degrees) through ageDays unless it is null.
double ComputeMoonIllumination(int year, int month, int day, double hour, int zoneMinutes,
                               int* ageDays);
