#pragma once
// Two-line element sets: reading the element lines of a satellite record at fixed columns,
// converting them to the units of the SGP and SGP4 models (WGS-72 constants), and the
// element epoch as a Julian day.
#include <cmath>
#include <cstdint>

#include "catalog/records.h"

// Earth model of the whole satellite subsystem (WGS-72).
inline constexpr double kSatMu = 1434962880.0;            // km^3 / min^2 (398600.8 km^3 / s^2)
inline constexpr double kSatEarthRadiusKm = 6378.135;
// sqrt(mu / Re^3), per minute (0.0743669161331734).
inline const double kSatKe = std::sqrt(kSatMu / (kSatEarthRadiusKm * kSatEarthRadiusKm * kSatEarthRadiusKm));
inline constexpr double kSatCk2 = 5.413079e-4;             // J2 / 2
inline constexpr double kSatCk2Times1_5 = 0.00081196185;
inline constexpr double kSatCk2TimesMinus3 = -0.0016239237;
inline constexpr double kSatKozaiFactor = 1.654320987654321;  // 134 / 81
// Revolutions a day to radians a minute (2 pi / 1440).
inline constexpr double kSatRevPerDayToRadPerMin = 0.004363323129985824;
// Orbits of this period (minutes) or longer would need the deep-space model.
inline constexpr double kSatDeepSpacePeriod = 225.0;

// Results of ConvertTleElements and CheckTleElements.
inline constexpr int kElementsInvalid = 0;
inline constexpr int kElementsValid = 1;
// Results of the propagators: a position, or none because the orbit has decayed (or the
// elements give no finite state at that instant).
inline constexpr int kOrbitDecayed = 0;
inline constexpr int kOrbitPropagated = 1;

// What callers tell the user when a set cannot be propagated.
inline constexpr const char* kInvalidElementsText = "The elements of this satellite are invalid.";
inline constexpr const char* kDecayedText = "This satellite has decayed.";
inline constexpr const char* kDeepSpaceText = "Deep-space orbit (period of 225 min or more): position not computed.";

// Limits of a set that the near-Earth models can propagate.
inline constexpr double kSatMaxMeanMotionRevPerDay = 17.0;

// One satellite's element set, owned by its user. Fields 1 to 23, 34 and 39 come from
// ConvertTleElements; 24 to 33 are the results of the last position computation.
struct TleElements {
    double epochField = 0.0;    // epoch as written, YYDDD.DDDDDDDD
    double epochJD = 0.0;       // epoch, Julian day (UT)
    double meanMotion = 0.0;    // n0, radians per minute
    double bstar = 0.0;         // per Earth radius
    double inclination = 0.0;   // radians
    double eccentricity = 0.0;
    double meanAnomaly = 0.0;   // radians
    double argPerigee = 0.0;    // radians
    double raan = 0.0;          // right ascension of the ascending node, radians
    double nDot = 0.0;          // first derivative of the mean motion / 2, radians per minute^2
    double nDDot = 0.0;         // second derivative / 6, radians per minute^3
    double ke = 0.0;            // sqrt(mu / Re^3), per minute
    double keOverN = 0.0;
    double a1 = 0.0;            // Kozai semi-major axis, Earth radii
    double cosIncl = 0.0;
    double sinIncl = 0.0;
    double delta1 = 0.0;        // first Kozai-to-Brouwer correction
    double a0 = 0.0;            // Brouwer semi-major axis, Earth radii
    double p0 = 0.0;            // a0 (1 - e0^2)
    double q0 = 0.0;            // a0 (1 - e0), perigee distance
    double l0 = 0.0;            // mean anomaly + argument of perigee + node
    double raanRate = 0.0;      // radians per minute
    double perigeeRate = 0.0;   // radians per minute
    double julianDay = 0.0;     // instant of the last position computation
    double rightAscension = 0.0;  // topocentric, hours
    double declination = 0.0;     // topocentric, degrees
    double subLongitude = 0.0;    // degrees, positive west
    double subLatitude = 0.0;     // geodetic, degrees
    double height = 0.0;          // above the ellipsoid, km
    double elevation = 0.0;       // degrees
    double azimuth = 0.0;         // degrees from north through east, 0 up to 360
    double range = 0.0;           // km
    double rangeRate = 0.0;       // km/s
    double period = 0.0;          // minutes
    double viewData[4] = {};      // kept for the pass and flare views
    std::int32_t deepSpace = 0;   // 1 when the period is 225 minutes or more
};

// The digits of a field of `width` characters from `column` (0-based) of an element line,
// read as a decimal number: one '.' sets the decimals, a '-' anywhere makes it negative,
// every other byte is skipped but keeps its place. The line is a field of 71 bytes that
// ends at its first NUL; nothing past either is read, whatever the column and width.
double ParseTleReal(const char* line, int column, int width);
// The same without the point; saturates at the limits of a 32-bit integer.
std::int32_t ParseTleInt(const char* line, int column, int width);

// Fills fields 1 to 23, 34 and 39 of `elements` from the two element lines of `record`
// (the name line is not read) and returns kElementsValid, or kElementsInvalid when the set
// cannot be propagated (see CheckTleElements); the fields are filled either way.
int ConvertTleElements(const SatelliteRecord& record, TleElements* elements);
// kElementsValid when every element read from the lines is finite, the mean motion is in
// (0, 17] revolutions a day, the eccentricity in [0, 1) and the inclination in [0, 180]
// degrees; otherwise kElementsInvalid.
int CheckTleElements(const TleElements& elements);

// Julian day of a TLE epoch YYDDD.DDDDDDDD (YY below 57 is 20YY, else 19YY; day 1.0 is
// January 1 at 0 h UT).
double TleEpochToJD(double epochField);
// Julian day of January 0.0 of a Gregorian year (December 31, 0 h, of the year before).
double JulianDayOfYearStart(int year);
