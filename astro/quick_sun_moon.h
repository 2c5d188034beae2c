#pragma once
// Quick Sun and Moon positions for rise and set, phase icons and the small charts; the
// apparent Sun and Moon from the long series with nutation; the topocentric correction of
// an equatorial place; and the five-point Sun and Moon tables through which the eclipse
// code reads the long series quickly while it iterates.
//
// T is Julian centuries of 36525 days from J2000.0 unless a function says otherwise.
// Longitudes of the site are degrees positive WEST, as `ObserverLocation` keeps them.
//
// Functions named ...At take the site and Delta T they work for; the same names without
// At read the current site (`observerLocation`) and Delta T of the date (GetDeltaT).
#include "core/settings.h"

// The Moon from a short lunar series, equator and mean equinox of date, for a local civil
// time at `site` with Delta T (TT - UT) in seconds: right ascension hours [0, 24),
// declination degrees. The site moves the result by only a thousandth of the horizontal
// parallax, so it is practically geocentric, which the Moon's rise and set limit altitude
// expects.
void MoonPositionAt(const ObserverLocation& site, double deltaT, double* ra, double* dec, int year, int month,
                    int day, int hour, int minute, int second);
// The same at the current site with Delta T of the date.
void MoonPosition(double* ra, double* dec, int year, int month, int day, int hour, int minute, int second);

// The Moon's geocentric ecliptic longitude and latitude (radians, mean equinox of date) and
// distance (AU) from the same short series; T in terrestrial time.
void MoonPositionMap(double T, double* longitude, double* latitude, double* distance);

// The Sun from the 1900.0 elements for a local civil time in the zone of `site`, with
// Delta T in seconds: right ascension hours [0, 24), declination degrees; geometric, mean
// equinox of date.
void SunPositionAt(const ObserverLocation& site, double deltaT, double* ra, double* dec, int year, int month,
                   int day, int hour, int minute, int second);
// The same at the current site with Delta T of the date.
void SunPosition(double* ra, double* dec, int year, int month, int day, int hour, int minute, int second);

// The apparent place of the long-series Sun or Moon.
struct FullPosition {
    double rightAscension;       // radians [0, 2pi)
    double declination;          // radians
    double distance;             // AU
    double illuminatedFraction;  // 0..1
    double magnitude;
    double unused;               // never written here
    double diameter;             // arc minutes (the Moon only)
};

// The apparent Sun (nutation and aberration), T in terrestrial time: fraction 1, magnitude
// -24.6; the diameter is left alone.
void SunPositionFull(FullPosition* record, double T);

// The apparent Moon (nutation), with its illuminated fraction, magnitude and apparent
// diameter; sunLongitude is the Sun's ecliptic longitude in radians.
void MoonPositionFull(FullPosition* record, double T, double sunLongitude);

// Ecliptic place of date from the long theories for a terrestrial-time Julian day:
// geocentric for the Sun (0) and the Moon (1), heliocentric for the planets (2 to 9,
// `BodyIndex` numbering). Longitude and latitude in degrees (fmod 360), distance in AU.
// Returns 0 without writing for any other body, 1 otherwise.
int ComputeSunMoonSeries(int body, double jd, double* longitude, double* latitude, double* distance);

// Replaces a geocentric right ascension and declination (radians, in place) by the
// topocentric ones for a body at `distance` AU seen from a site (longitude degrees west,
// latitude degrees, height metres). T is Julian centuries of UT from J2000.0: the site's
// place comes from the sidereal time. When both azimuth and altitude are given they
// receive the horizontal place (degrees, azimuth from north through east).
void TopocentricPosition(double T, double* ra, double* dec, double* azimuth, double* altitude, double distance,
                         double longitudeWest, double latitude, double height);

// ---------------------------------------------------------------------------------------
// Five-point tables

// Fill the table with the long-series positions at t0 + i step, i = 0..4, the offset added
// to every longitude. Returns 1, or 0 with the table left empty when memory runs out.
int BuildSunTable(double t0, double step, double longitudeOffset);
int BuildMoonTable(double t0, double step, double longitudeOffset);

// The tabulated longitude, latitude and distance at T; an empty table leaves all three
// places as they were.
void InterpolateSun(double T, double* longitude, double* latitude, double* distance);
void InterpolateMoon(double T, double* longitude, double* latitude, double* distance);

void FreeSunTable();
void FreeMoonTable();
