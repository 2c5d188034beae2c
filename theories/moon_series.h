#pragma once
// The Moon's geocentric position from a truncated ELP 2000-85 series.

// T is Julian centuries of terrestrial time from J2000.0. Writes the geocentric ecliptic
// longitude and latitude (radians, mean ecliptic and equinox of date) and the Earth-Moon
// distance (AU). The longitude is the mean longitude reduced with the floating remainder
// plus the periodic terms, so it is not brought into one turn: before J2000.0 - 16.6 days it
// lies roughly in (-2pi - 0.11, 0.11), after that in (-0.11, 2pi + 0.11).
void GetMoonEclipticPosition(double T, double* longitude, double* latitude, double* distance);
