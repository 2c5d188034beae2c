#pragma once
// Planetary theories and orbital elements:
//  - PlanetHeliocentricPV: the eight planets by the compact theory of Simon et al. (1994);
//  - ComputeSun1900: the Sun from the classical 1900.0 solar elements;
//  - PlutoHeliocentric(OfDate): Pluto from Meeus' periodic series;
//  - PlanetPositionsOld: mean elements referred to the equinox of date, from 1900.0;
//  - PlanetOrbitPosition: quick Keplerian positions for the planets views and orbit view.

// Results of PlanetHeliocentricPV.
inline constexpr int kPlanetOk = 0;
inline constexpr int kPlanetOutOfRange = -1;

// Heliocentric position (AU) and velocity (AU/day) of planet 0..7 (Mercury, Venus, Earth-Moon
// barycentre, Mars, Jupiter, Saturn, Uranus, Neptune), equator and equinox J2000.0, at the
// terrestrial-time Julian day date1 + date2. pv holds x, y, z, vx, vy, vz. Returns kPlanetOk,
// or kPlanetOutOfRange with pv zeroed for any other planet number. Errors are arc seconds
// for the inner planets and up to about a minute of arc for the giants over 1800-2050; the
// theory is not meant for dates outside 1000-3000.
int PlanetHeliocentricPV(double date1, double date2, int planet, double pv[6]);

// An angle in radians reduced into -pi to +pi.
double NormalizeAnglePi(double angle);

// Pluto's heliocentric ecliptic longitude ([0, 2pi)) and latitude (radians, mean ecliptic
// and equinox J2000.0) and radius vector (AU), T in Julian centuries of TT from J2000.0.
// Fitted to DE200 for 1885-2099 (better than 1" there); meaningless far outside.
void PlutoHeliocentric(double T, double* longitude, double* latitude, double* radius);

// The same referred to the mean ecliptic and equinox of date, as the Sun's and the Moon's
// series are; use this one when combining Pluto with them or with the 1900.0 Sun.
void PlutoHeliocentricOfDate(double T, double* longitude, double* latitude, double* radius);

// The Sun from the 1900.0 solar elements. Angles in degrees.
struct Sun1900Elements {
    double obliquity;         // mean obliquity of date
    double meanLongitude;     // [0, 360)
    double meanAnomaly;       // [0, 360)
    double eccentricity;
    double eccentricAnomaly;
    double trueAnomaly;       // (-180, 180]
    double radiusVector;      // AU
    double trueLongitude;     // meanLongitude + trueAnomaly - meanAnomaly, not reduced
};

// T0 in Julian centuries of TT from 1900 January 0.5 (JD 2415020.0).
Sun1900Elements ComputeSun1900(double T0);

// Mean elements of body index 2 (Mercury) to 9 (Pluto), referred to the mean equinox of
// date, T0 in Julian centuries from JD 2415020.0: mean longitude L, semi-major axis a (AU),
// eccentricity e, inclination i, argument of perihelion w and ascending node N (degrees).
// Any other index writes nothing.
void PlanetPositionsOld(int index, double T0, double* L, double* a, double* e, double* i,
                        double* w, double* N);

// Entries of the PlanetOrbitPosition arrays, indexed by BodyIndex (0 Sun .. 10 Earth).
inline constexpr int kOrbitBodyCount = 11;

// What PlanetOrbitPosition writes into `positions`.
// A rectangle of the strip map in screen pixels (right and bottom exclusive).
struct StripMapRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

enum OrbitPositionMode {
    kOrbitStripMap = 0,      // screen x, y on the strip map `stripMap`, 0
    kOrbitViewDrawing = 1,   // orbit-view drawing coordinates: -k y, -k x, -k a e
    kOrbitHeliocentric = 2,  // heliocentric ecliptic x, y, z (AU)
    kOrbitDistances = 3,     // distance from the Earth, from the Sun, Earth-Sun (AU)
};

// Keplerian positions of bodies firstIndex..lastIndex (clamped to 2..10) for a local civil
// date and time at a site whose clock runs zoneMinutes ahead of UT, from J2000.0 elements
// with daily rates (good to a fraction of a degree over 1800-2050). For each index,
// equatorial gets the geocentric right ascension (hours, [0, 24)) and declination (degrees)
// and positions gets three floats by mode (any other mode fills only equatorial). Index 10
// stands for the Sun seen from the Earth: its equatorial entry is the Sun's, its mode 0 and 3
// entries describe the Sun (3: Earth-Sun distance, 0, Earth-Sun distance), its mode 2 entry
// is the Earth's heliocentric position. In mode 1 the Earth's entry is written whatever the
// range.
void PlanetOrbitPosition(int year, int month, int day, int hour, int minute, int zoneMinutes,
                         float positions[kOrbitBodyCount][3],
                         float equatorial[kOrbitBodyCount][2], int mode, int firstIndex,
                         int lastIndex, const StripMapRect& stripMap = {});
