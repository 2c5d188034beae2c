#pragma once
// The one entry through which the system asks for a solar-system body: its apparent place
// (geocentric or topocentric by the user's coordinate mode), distance, magnitude, phase,
// apparent diameter, elongation and ecliptic place, for a local civil time at a site
// (`ObserverLocation`).
//
// Mercury to Neptune and the Earth go through the apparent-place pipeline and its
// planetary theory; the Sun, the Moon, Pluto and the centre of the Earth's shadow through
// the long Sun and Moon series and the Pluto series.
#include "astro/apparent_place.h"

// The system's names of solar-system bodies (the row of `bodyNames`).
enum BodyIndex {
    kBodySun = 0,
    kBodyMoon = 1,
    kBodyMercury = 2,
    kBodyVenus = 3,
    kBodyMars = 4,
    kBodyJupiter = 5,
    kBodySaturn = 6,
    kBodyUranus = 7,
    kBodyNeptune = 8,
    kBodyPluto = 9,
    kBodyEarth = 10,
    kBodyEarthShadow = 13,  // centre of the Earth's shadow, for the lunar eclipse pages
};

inline constexpr int kNamedBodyCount = 11;
extern const char* const bodyNames[kNamedBodyCount];  // "Sun" .. "Earth"

// What ComputePlanet fills; callers keep one record per body index. Fields a body does not
// have keep what the caller's record held (see each field).
struct BodyRecord {
    double rightAscension;       // hours [0, 24), apparent of date (topocentric in modes 2, 3)
    double declination;          // degrees
    double distance;             // AU from the Earth's centre (the shadow: the Moon's distance)
    double spare1;               // not read, not written
    double magnitude;            // planets, Pluto, the Moon; the Sun -24.6; kept for the Earth
    double illuminatedFraction;  // 0..1; all bodies but the Sun and the shadow
    double diameter;             // arc minutes; 0 for the Earth
    double spare2;               // 3.0 for the Sun and the Moon, 0.1 for Pluto; not read
    double elongation;           // degrees 0..180 from the Sun; planets, the Earth, Pluto
    double eclipticLongitude;    // degrees [0, 360), geocentric, of date
    double eclipticLatitude;     // degrees
};

// Fills the record for a body index and a local civil date and time at `site`, with
// Delta T (TT − UT, seconds) and the coordinate mode (`Preferences` word 10: 2 and above
// topocentric). Returns 1; 0 with the record zeroed for an index outside the table
// (0..10, 13) or a date the pipeline's ephemeris does not cover. The Earth (10) gets a
// defined record: distance, places, elongation and diameter 0, fraction 1, magnitude kept.
int ComputePlanetAt(const ObserverLocation& site, double deltaT, int coordinateMode, BodyRecord* record,
                    int bodyIndex, int year, int month, int day, int hour, int minute, int second);
// The same at the current site (`observerLocation`), with Delta T of the date and the
// user's coordinate mode.
int ComputePlanet(BodyRecord* record, int bodyIndex, int year, int month, int day, int hour, int minute,
                  int second);

// The analytic branch for the Sun (0), the Moon (1), Pluto (9) and the shadow's centre
// (13) at a terrestrial-time Julian day, seen from `site` in the topocentric modes; Delta T
// gives the universal time the Moon's phase and the site's turn are taken at. Returns 1;
// 0 with the record zeroed for any other index.
int ComputeBodyAnalyticAt(const ObserverLocation& site, double deltaT, int coordinateMode, BodyRecord* record,
                          int bodyIndex, double jdTT);
// The same at the current site, with Delta T of the date of jdTT and the user's mode.
int ComputeBodyAnalytic(BodyRecord* record, int bodyIndex, double jdTT);

// Apparent diameter in arc minutes at `distance` AU; 0 for indexes outside 0..9.
double ApparentDiameter(int bodyIndex, double distance);

// Elongation and illuminated fraction from the Earth-body (D), Sun-body (r) and Sun-Earth
// (R) distances in AU, and the magnitude of indexes 1..9 (any other index leaves it). The
// Moon (1) gets elongation 0 and phase angle 180 degrees. Degenerate distances (0 or less) give elongation 0 and
// fraction 1 and leave the magnitude.
void PlanetPhase(int bodyIndex, double distance, double bodySunDistance, double earthSunDistance, double* magnitude,
                 double* illuminatedFraction, double* elongation);
