#pragma once
// Mars's physical ephemeris (central meridian, pole angle, the Earth's planetocentric
// declination), a second, self-contained low-precision aspect of Mars for its moons, and the
// places of Phobos and Deimos around the disc.

// Central meridian for a local date and time at the current site, with the pole's position
// angle and the Earth's planetocentric declination; degrees.
void ComputeMarsPhysicalEphemeris(int year, int month, int day, int hour, int minute, float* centralMeridian,
                                  float* positionAngle, float* earthDeclination);

struct MarsAspect {
    double centralMeridian;   // degrees [0, 360)
    double subEarthLatitude;  // degrees
    double positionAngle;     // degrees [0, 360)
    double earthLongitude;    // the Earth's direction in Mars's equator from its node, degrees
};
// The aspect of Mars at a UT Julian day from low-precision series.
void ComputeMarsAspect(double jd, MarsAspect* aspect);

// Reduces degrees into [0, 360): negative values are raised by whole turns first.
double ReduceAngle360(double degrees);

inline constexpr int kMarsMoonCount = 2;  // Phobos, Deimos
// Each moon's angle along its orbit from the Earth's direction, degrees [0, 360): 0 is the
// point nearest the Earth, 90 to 270 the far half.
void MarsMoonPhases(double jd, const MarsAspect& aspect, double phases[kMarsMoonCount]);
// Offsets in pixels from the disc centre (disc radius 6 x the dpi factor) and whether each
// moon is seen: a moon on the far half of its orbit is hidden inside the disc.
void ComputeMarsMoonOffsets(double jd, const MarsAspect& aspect, double x[kMarsMoonCount], double y[kMarsMoonCount],
                            int visible[kMarsMoonCount]);
