#pragma once
// Small coordinate helpers: the angle between two equatorial positions, the mean
// obliquity of the ecliptic at J2000.0, and a horizontal position at a site turned into
// right ascension and declination.
#include "core/settings.h"

// Angle between two positions (right ascensions in hours, declinations in degrees), in
// degrees 0 to 180.
double AngularSeparation(double ra1, double dec1, double ra2, double dec2);

// Mean obliquity of the ecliptic at J2000.0 in radians (23 deg 26' 21.448").
double GetObliquity();

// For the local sidereal time (hours) and an azimuth (from north through east) and
// altitude in radians, writes the right ascension in hours (0 to 24) and the declination
// in degrees at `site` (through the sine and cosine of its latitude). Either output may
// be null.
void HorizontalToEquatorialAt(const ObserverLocation& site, double lst, double azimuth, double altitude, double* ra,
                              double* dec);
// The same at the current site (`observerLocation`).
void HorizontalToEquatorial(double lst, double azimuth, double altitude, double* ra, double* dec);
