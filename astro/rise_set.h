#pragma once
// Horizontal coordinates from an equatorial place, and the instants at which a body rises,
// crosses the meridian and sets: fixed objects from their catalog place, moving bodies
// (the Sun and the Moon) from three daily positions.
//
// Right ascension, hour angle and sidereal time in hours; declination, latitude,
// longitude, altitude and azimuth in degrees; longitudes positive WEST. Event times are
// hours of local clock time from local midnight starting the date; values a little below
// 0 or at and above 24 mean the previous or the next day.
//
//   case           fixed object (ComputeRiseSet)   moving body (ComputeRiseSetMoving, Sun, Moon)
//   never rises    rise 0, transit 0, set 0        rise 0, transit 0, set 0; result 1
//   never sets     rise 0, transit, set 23.99      rise 0, transit 12.0, set 23.99; result 0
//
// A moving body "never rises" (or "never sets") when its altitude stays below (above) the
// limit through the whole local day, as found from its places over the day.
#include "core/settings.h"

// Results of the moving-body operations.
inline constexpr int kRiseSetNeverSets = 0;
inline constexpr int kRiseSetNormal = 1;

// The set time given to a body that never sets.
inline constexpr double kNeverSetsHour = 23.99;

// Limit altitudes of the body's centre, degrees.
inline constexpr double kMoonRiseSetAltitude = 0.125;
inline constexpr double kSunRiseSetAltitude = -0.833333;
inline constexpr double kAstronomicalTwilightAltitude = -18.0;

// An hour angle reduced into -12..+12 (12 and -12 stay as they are).
double NormalizeHourAngle(double hours);

double ComputeAltitude(double lst, double ra, double dec, double latitude);
// Degrees 0..360 from north through east.
double ComputeAzimuth(double lst, double ra, double dec, double latitude);

// Rise, transit and set of a fixed place on a local date at a site (latitude degrees,
// longitude degrees west, zone offset minutes local minus UT, height metres) for the
// altitude of the event; the horizon is lowered by the dip for a positive height and by a
// further 0.61 degrees. Times are solar hours. Always returns 0.
int ComputeRiseSet(int year, int month, int day, double latitude, double longitude, int offsetMinutes, int height,
                   double altitude, double ra, double dec, double* rise, double* transit, double* set);

// Whether a moving-body result says the body stays below or above the limit all day, so
// that the date has neither a rise nor a set (the first two rows of the table above).
bool RiseSetAllDay(int result, double rise, double transit, double set);

// Rise, transit and set of a moving body whose places (ra hours, dec degrees) are given at
// the local midnights starting the previous day, the day and the next day, counted from
// the given local instant (callers pass 0:00:00), at `site` with Delta T (TT - UT,
// seconds) of the date, for the limit altitude of the body's centre. Returns
// kRiseSetNeverSets or kRiseSetNormal.
int ComputeRiseSetMovingAt(const ObserverLocation& site, double deltaT, int year, int month, int day, int hour,
                           int minute, int second, double ra1, double dec1, double ra2, double dec2, double ra3,
                           double dec3, double altitude, double* rise, double* transit, double* set);

// The Moon's events on the local date, its three places taken with the date's Delta T;
// dec (may be null) receives its declination at the local midnight starting the date.
int ComputeMoonRiseSetAt(const ObserverLocation& site, double deltaT, int year, int month, int day, double* rise,
                         double* transit, double* set, double* dec);

// The same, but a rise or set at 24 h or later is taken from the next day's computation
// (with the next day's Delta T, nextDeltaT) plus 24 (the home form's line).
int ComputeMoonRiseSetTransitAt(const ObserverLocation& site, double deltaT, double nextDeltaT, int year, int month,
                                int day, double* rise, double* transit, double* set);

// The Sun's rise, transit and set, its three places taken with the date's Delta T;
// twilightEnd (may be null) receives the evening end of astronomical twilight (23.99 when
// the Sun never sinks to -18 degrees, 0 when it never rises to it).
int ComputeSunRiseSetAt(const ObserverLocation& site, double deltaT, int year, int month, int day, double* rise,
                        double* transit, double* set, double* twilightEnd);

// The same four at the current site (`observerLocation`) with Delta T of each date
// (GetDeltaT), for the forms.
int ComputeRiseSetMoving(int year, int month, int day, int hour, int minute, int second, double ra1, double dec1,
                         double ra2, double dec2, double ra3, double dec3, double altitude, double* rise,
                         double* transit, double* set);
int ComputeMoonRiseSet(int year, int month, int day, double* rise, double* transit, double* set, double* dec);
int ComputeMoonRiseSetTransit(int year, int month, int day, double* rise, double* transit, double* set);
int ComputeSunRiseSet(int year, int month, int day, double* rise, double* transit, double* set, double* twilightEnd);
