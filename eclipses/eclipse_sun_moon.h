#pragma once
// The apparent Sun and Moon for an eclipse instant, and the point of the Earth under the
// Sun-Moon line. Everything works on `eclipseState`.
//
// Calling order: SetEclipseInstant (or SetEclipseSiderealTime with a new base) first, then
// ComputeLocalSunMoon, which calls the others.

// Starts a new instant from a UT date and clock time: Delta T of the date, the day number,
// the clock hours; clears the nutation and the point's latitude. Returns the apparent
// sidereal time at 0h of the date less Delta T, hours.
double SetEclipseInstant(int year, int month, int day, int hour, int minute, int second);

// Sets `eclipseT` (TT) from the base t0UtCenturies (centuries of 0h UT of the date) and
// the clock hours, and `siderealTime0` with the equation of the equinoxes. The nutation is
// computed for the series, or when none is kept. Returns `siderealTime0`.
double SetEclipseSiderealTime(double t0UtCenturies);

// Nutation in longitude and the true obliquity (radians) from the 18 largest terms of the
// IAU 1980 series, for T in centuries TT.
void GetNutation(double T, double* nutationLongitude, double* trueObliquity);

// The Moon's arguments D, M', M, F, Omega, the mean obliquity (Laskar) and the Moon's mean
// longitude L', radians; all but Omega reduced into one turn.
void GetLunarArguments(double T, double* D, double* Mp, double* M, double* F, double* Omega, double* meanObliquity,
                       double* Lp);

// Ecliptic longitude and latitude of date (radians) to the apparent right ascension (hours,
// [0, 24)) and declination (radians), adding the nutation in longitude of `eclipseState`
// and turning by its true obliquity.
void EclipticToEquatorial(double longitude, double latitude, double* raHours, double* declination);

// The apparent Sun (with aberration) and Moon for T in centuries TT, with the nutation
// kept in `eclipseState`: right ascension and declination in radians, distance in AU. Each
// fills its fields of `eclipseState` and leaves itself as the working body.
void GetApparentSun(double T, double* ra, double* dec, double* distance);
void GetApparentMoon(double T, double* ra, double* dec, double* distance);

// The Sun and the Moon at `eclipseT`, the Moon's parallax, the sidereal time, and the
// point under the shadow axis, corrected for the Sun's parallax there. Returns `axisHit`.
int ComputeLocalSunMoon();

// The point where the line through the Moon (the working body) toward the Sun meets the
// Earth ellipsoid. Returns `axisHit`; a miss leaves the point's latitude and longitude.
int ComputeShadowAxisPoint();
