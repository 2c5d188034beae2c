#pragma once
// Apparent and topocentric place: a catalog star (J2000.0 place with proper motion,
// parallax and radial velocity) or a solar-system body turned into its place of date as
// seen from the geocentre or from a site, through the Earth's state from a small
// solar-system ephemeris, light time, light deflection by the Sun, aberration,
// precession and nutation.
//
// Positions in AU, velocities in AU/day, vectors in the equator and equinox of J2000.0
// until the final precession and nutation. Every entry point takes a Julian day of
// terrestrial time (TT); TDB is derived here. Right ascension hours, declination degrees.
// Status results: 0 success, codes as listed with each function.
#include <cstdint>

#include "core/settings.h"

// Major-planet numbers of a type-0 body.
enum SolarSystemNumber {
    kMercury = 1, kVenus = 2, kEarth = 3, kMars = 4, kJupiter = 5, kSaturn = 6,
    kUranus = 7, kNeptune = 8, kPluto = 9, kSun = 10, kMoon = 11,
};

struct SolarSystemBody {
    std::int16_t type;    // 0 major planet, 1 minor planet
    std::int16_t number;
    char name[32];
};

struct CatalogStar {
    char catalog[4];
    char starName[51];
    std::int32_t starNumber;
    double ra;              // hours, J2000.0
    double dec;             // degrees
    double pmRa;            // seconds of time per Julian century
    double pmDec;           // arc seconds per Julian century
    double parallax;        // arc seconds
    double radialVelocity;  // km/s
};

// The observer of the pipeline. Longitude is positive EAST (the site record counts it
// west: negate it when filling this).
struct SiteInfo {
    double latitude;     // degrees, north positive
    double longitude;    // degrees, east positive
    double height;       // metres
    double temperature;  // degrees Celsius
    double pressure;     // millibar
};

// The pipeline's observer at a site record (whose longitude counts west).
SiteInfo SiteInfoOf(const ObserverLocation& site);

// Julian days (TDB) the solar-system ephemeris covers: about 1694 to 2296.
constexpr double kEphemerisFirstJD = 2340000.5;
constexpr double kEphemerisLastJD = 2560000.5;

// Fills a body. 1: type outside 0..1; 2: a number outside 1..11 (type 0) or below 1
// (type 1), the type then stays stored with number 0.
int SetBody(int type, int number, const char* name, SolarSystemBody* body);

// Position and velocity of a major body for a TDB Julian day, barycentric (origin 0) or
// heliocentric (origin 1). 1: date outside the covered range; 2: a number the ephemeris
// has no theory for (the Moon and Pluto are placed by their own series).
int SolarSystemEphemeris(double jd, int number, int origin, double pos[3], double vel[3]);

// The same for a body of either type: 1 bad origin, 2 bad type, 10 + the ephemeris code,
// 20 + the minor-planet reader's code (always 29: no minor-planet ephemeris is carried).
int BodyEphemeris(double jd, const SolarSystemBody& body, int origin, double pos[3], double vel[3]);

// The minor-planet reader: six zero doubles, error 9.
const double* MinorPlanetEphemeris(int number, const char* name, double jd, int* error);

// TDB − TT in seconds at the Julian day jd, and the TT Julian day belonging to jd taken
// as TDB. Either output may be null.
void TdbMinusTt(double jd, double* ttJd, double* seconds);

// The Earth's TDB Julian day and barycentric and heliocentric state for the TT Julian day
// jd. Returns the ephemeris code (outputs then untouched).
int GetEarthState(double jd, const SolarSystemBody& earth, double* tdb, double baryPos[3],
                  double baryVel[3], double helioPos[3], double helioVel[3]);

// Geocentric Sun, mean equator and equinox of date: hours, degrees, AU.
void SunEphemeris(double jd, double* ra, double* dec, double* distance);

void StarToVectors(const CatalogStar& star, double pos[3], double vel[3]);
void ApplyProperMotion(double jd1, const double pos[3], const double vel[3], double jd2, double out[3]);
// out = pos − observerPos; lightTime = |out| / c in days.
void BarycentricToGeocentric(const double pos[3], const double observerPos[3], double out[3], double* lightTime);
void SolarDeflection(const double pos[3], const double observerHelio[3], double out[3]);
// lightTime 0: taken from |pos|.
void ApplyAberration(const double pos[3], const double observerVel[3], double lightTime, double out[3]);
// 0; 1 for the zero vector (ra = dec = 0); 2 on the z axis (ra 0, dec ±90).
int VectorToRaDec(const double pos[3], double* ra, double* dec);
void RaDecToVector(double ra, double dec, double distance, double pos[3]);

// Greenwich sidereal time in hours (IAU 1982) for the UT1 Julian day jdHigh + jdLow:
// mean with equationOfEquinoxes 0, apparent with the equation in seconds of time.
void SiderealTimeOfJD(double jdHigh, double jdLow, double equationOfEquinoxes, double* gst);

// The site relative to the geocentre, true equator of date, at Greenwich sidereal time
// gst (hours): AU and AU/day.
void ObserverGeocentricVector(const SiteInfo& site, double gst, double pos[3], double vel[3]);

// Apparent place of a star from the geocentre. Returns the Earth-state code, with ra and
// dec 0 on failure.
int AppStar(double jd, const SolarSystemBody& earth, const CatalogStar& star, double* ra, double* dec);

// Apparent place of a body from the geocentre, its light-time distance from the Earth,
// its distance from the barycentre and the Earth's distance from the Sun. Failures zero
// every output and return 10 + the Earth-state code or the body's ephemeris code. The
// Earth seen from its own centre has no direction: ra, dec and distance 0, result 0.
int AppPlanet(double jd, const SolarSystemBody& body, const SolarSystemBody& earth, double* ra,
              double* dec, double* distance, double* bodyDistance, double* earthSunDistance);

// Topocentric place of a star; deltaT = TT − UT1 in seconds. Codes as AppStar.
int TopoStar(double jd, const SolarSystemBody& earth, double deltaT, const CatalogStar& star,
             const SiteInfo& site, double* ra, double* dec);

// Topocentric place of a body, its distance from the site (geometric, at the instant),
// its distance from the barycentre and the site's. Codes as AppPlanet.
int TopoPlanet(double jd, const SolarSystemBody& body, const SolarSystemBody& earth, double deltaT,
               const SiteInfo& site, double* ra, double* dec, double* distance, double* bodyDistance,
               double* observerDistance);

