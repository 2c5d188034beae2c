#pragma once
// What the observer sees: a catalog place turned into the apparent (or topocentric) place
// of date and its altitude and azimuth at a site, with atmospheric refraction.
// This is the road of every GoTo and of the positions the forms show.
//
// Azimuth is degrees from north (0) through east (90), 0 to 360; altitude is 90 minus the
// zenith distance.
#include "astro/apparent_place.h"

// Coordinate modes of ComputeApparentPosition (the user's choice is `Preferences` word
// 10; the alignment forms use 3).
enum CoordinateMode {
    kModeNone = -1,              // the position is already of date
    kModeGeocentric = 0,         // precession and nutation
    kModeGeocentricRefracted = 1,
    kModeTopocentric = 2,        // the full pipeline from the site
    kModeTopocentricRefracted = 3,
};

// A J2000.0 right ascension (hours) and declination (degrees), or a place of date for
// mode −1, seen from `site` with Delta T (TT − UT1, seconds) at a local civil time in the
// site's zone: outRa (hours, [0, 24); mode −1 hands the given place back) and outDec of
// date, refracted in modes 1 and 3, with the altitude and azimuth. Modes below −1 count as
// −1, above 3 as 3. The topocentric modes fall back to the geocentric reduction (keeping
// their refraction) where the solar-system ephemeris does not reach (before 1694 and
// after 2296). At the zenith the azimuth keeps the value it had.
void ComputeApparentPositionAt(const ObserverLocation& site, double deltaT, double ra, double dec, double* outRa,
                               double* outDec, double* altitude, double* azimuth, int mode, int year, int month,
                               int day, int hour, int minute, int second);
// The same from the current site (`observerLocation`) with Delta T of the date.
void ComputeApparentPosition(double ra, double dec, double* outRa, double* outDec, double* altitude,
                             double* azimuth, int mode, int year, int month, int day, int hour,
                             int minute, int second);

// Where a telescope is sent for a solar-system body (`BodyIndex`, astro/planet_positions.h)
// at a local civil time, from the current site: its topocentric place of date, refracted
// for the site's temperature and pressure, as mode 3 gives a catalog place. False (nothing
// written) for a body or date the ephemeris does not give.
bool ComputeBodyPointingPlace(int bodyIndex, int year, int month, int day, int hour, int minute, int second,
                              double* raHours, double* decDeg);

// Refraction options of EquToHor.
enum RefractionOption {
    kRefractionNone = 0,
    kRefractionStandard = 1,  // standard atmosphere at the site's height
    kRefractionSite = 2,      // the site's temperature and pressure
};

// The true equator of date to the horizon of `site` at the TT Julian day jd, deltaT =
// TT − UT1 in seconds; x, y pole offsets (arc seconds) are not applied. Writes the zenith
// distance and azimuth (degrees; azimuth untouched at the zenith) and the refracted right
// ascension and declination (the given ones when no refraction applies).
void EquToHor(double jd, double deltaT, double x, double y, const SiteInfo& site, double ra, double dec,
              int refractionOption, double* zd, double* az, double* rar, double* decr);

// Refraction in degrees for an observed zenith distance in degrees: 0 below 0.1 and beyond
// 91 degrees. Temperatures below −100 °C are taken as −100 °C.
double RefractionAngle(const SiteInfo& site, int option, double zd);

// out = rotation of in about the z axis by the sidereal time gst (hours).
void RotateAboutPole(double gst, const double in[3], double out[3]);

// Sky matrix from the true equator of date to the local horizon of `site` at a local civil
// time in its zone. Applied to (cos δ sin α, cos δ cos α, sin δ) it gives a westward, a
// northward and an upward component: (−cos a sin A, cos a cos A, sin a).
void HorizonMatrixAt(const ObserverLocation& site, int year, int month, int day, int hour, int minute, int second,
                     double M[9]);
// The same at the current site (`observerLocation`).
void HorizonMatrix(int year, int month, int day, int hour, int minute, int second, double M[9]);

