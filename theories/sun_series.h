#pragma once
// The Sun's geometric position from the abridged VSOP87D series of the Earth.
//
// T is Julian centuries of terrestrial time from J2000.0 (JD 2451545.0). Results refer to
// the mean ecliptic and equinox of date (FK5); callers add nutation and aberration.

// Heliocentric ecliptic longitude of the Earth in degrees, [0, 360) apart from a tiny dip
// below 0 just after the longitude passes a whole turn.
double EarthLongitudeSeries(double T);

// The Sun's geometric longitude (radians, in [pi, 3pi) give or take the dip above: not
// reduced to one turn), latitude (radians) and the Earth-Sun distance (AU).
void GetSunEclipticPosition(double T, double* longitude, double* latitude, double* distance);
