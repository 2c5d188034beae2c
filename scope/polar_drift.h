#pragma once
// The arithmetic of the polar alignment assistant: where Polaris stands in a polar
// finder's reticle, and the drift methods of King and Rambaut, which turn the drift of a
// star in a reticle eyepiece over a timed interval into the azimuth and elevation errors
// of the polar axis. Rambaut's method first takes out the drift that atmospheric
// refraction adds.
#include <cstdint>

// ---- Polar finder ------------------------------------------------------------------------

// Polaris in a reticle of radius `radius` centred on (cx, cy), for the hour angle in hours
// (any value) and Polaris's apparent right ascension in hours. The hour angle is brought
// into -12..12 for the place; the label keeps it in 0..24 (13 h placed at -11 h still
// reads 13h). y grows downwards: 0 h lies below the centre, 6 h to the right.
struct PolarFinderMark {
    int x;
    int y;
    int labelHours;
    int labelMinutes;
};
PolarFinderMark PlacePolaris(double hourAngleHours, double apparentRaHours, double radius, double inset, int cx,
                             int cy);

// ---- Drift evaluations -------------------------------------------------------------------

struct DriftInput {
    double ra = 0;            // target right ascension, radians
    double dec = 0;           // declination of the star, radians
    double secondDec = 0;     // Rambaut: declination of the second star, radians
    double x = 0;             // the star's offset in reticle pixels, x east and y north
    double y = 0;
    double resolution = 0;    // arc seconds per reticle pixel
    double latitude = 0;      // radians
    double longitude = 0;     // radians, west positive
    double temperature = 0;   // kelvins
    int zoneHours = 0;        // local time minus UT, whole hours
    double elapsed = 0;       // seconds of the interval
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;  // local, the interval's start
};

struct DriftResult {
    double direction = 0;     // radians, 0..2pi
    double total = 0;         // radians
    double azimuth = 0;       // King: A, Rambaut: a; radians
    double elevation = 0;     // k, radians
    double refractionIndex = 0;  // Rambaut: n
};

enum class DriftFault {
    None,
    NoInterval,      // an elapsed time of 0: no drift can be measured
    NoResolution,    // a resolution of 0: the offsets have no size
    EquatorStar,     // Rambaut: a second star whose declination has a sine near 0
    StarAtHorizon,   // Rambaut: the star on the horizon, where refraction has no value
};

// The hour angle of the target at the interval's start, radians 0..2pi: the IAU 1982 mean
// sidereal time of the Gregorian Julian day, less the west longitude and the right
// ascension.
double DriftHourAngle(const DriftInput& in);
// The refractive index of air for the temperature (kelvins), at the method's fixed height
// (550 m) and wavelength (0.55 micrometres), with half-saturated water vapour (Owens 1967).
double RefractionIndex(double temperatureKelvin);

DriftFault KingDrift(const DriftInput& in, DriftResult* out);
DriftFault RambautDrift(const DriftInput& in, DriftResult* out);
// The message naming a fault (heading and detail).
const char* DriftFaultHeading(DriftFault fault);
const char* DriftFaultDetail(DriftFault fault);

// Radians to the fields' arc seconds, and an angle in radians to fields of view of 59
// reticle pixels at the resolution.
inline constexpr double kArcSecondsPerRadian = 206264.80624709636;
inline constexpr double kFieldsPerRadianPixel = 3496.0136652050232;
double FieldsOfView(double radians, double resolution);
