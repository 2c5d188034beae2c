#pragma once
// The local circumstances of a solar eclipse at one place: quickly from the fitted
// Besselian elements (every tap on the map), and precisely from the topocentric Sun and
// Moon with a search for greatest eclipse and the contacts (the information page).
//
// Hours are UT hours of the date; latitudes geodetic degrees, longitudes degrees WEST.
#include "eclipses/bessel_elements.h"
#include "eclipses/local_eclipse.h"

// What GetLocalCircumstances finds at the place for the hour it was given.
struct LocalCircumstances {
    double centralDuration = 0.0;  // seconds
    double outerDuration = 0.0;    // seconds
    double magnitude = 0.0;        // at greatest eclipse; negative outside the penumbra
    double positionAngle = 0.0;    // of the Moon's centre from the Sun's, from north, degrees
    double vertexAngle = 0.0;      // the same from the Sun's vertex, degrees
    double altitude = 0.0;         // of the Sun, degrees
    double azimuth = 0.0;          // of the Sun, degrees [0, 360)
    double pathWidth = 0.0;        // km; 0 while the axis misses the Earth
    double obscuration = 0.0;      // percent of the Sun's area, to a tenth
};

// One linearised step from *utHours toward the first contact (which -1), greatest eclipse
// (0) or the last contact (+1) at the place; writes that hour back into *utHours and
// returns it. Repeated calls refine it. Where the place stays outside the penumbra the
// first and last contacts do not exist: -1 is returned and written.
double GetLocalCircumstances(const BesselElements& elements, int which, double latitude, double longitudeWest,
                             double heightMetres, double deltaTSeconds, double* utHours, LocalCircumstances* out);

// The topocentric Sun and Moon at the place and instant of `eclipseState` (base
// t0UtCenturies with the state's clock hours): the ratio of the Moon's apparent diameter
// to the Sun's and the magnitude; keeps twice the distance of the centres (radians) in
// `centreSeparation` and returns it.
double ComputeLocalOverlap(double t0UtCenturies, double* diameterRatio, double* magnitude);

// Sets the clock hours and returns the centres' distance there: what the search for
// greatest eclipse minimises.
double LocalSeparationAt(double utHours);

// From fromHours (greatest eclipse), steps the clock hours by `step` until the magnitude
// falls below `threshold`, then interpolates linearly. Returns the contact hour, or -1 when
// the magnitude is below the threshold from the start or 12 hours of steps do not reach
// it.
double StepToContact(double t0UtCenturies, double fromHours, double step, double threshold, double* diameterRatio);

// Both contacts of a threshold around greatest eclipse.
void FindInnerContacts(double* start, double* end, double t0UtCenturies, double fromHours, double step,
                       double threshold, double diameterRatio);

// The whole search at a place around a UT date and clock time: greatest eclipse within
// +-3 hours, its magnitude, obscuration and the Sun's place, then the contacts. Shows
// "No Eclipse found!" when the greatest magnitude is below 0.
void FindLocalContacts(LocalEclipse* local, int year, int month, int day, int hour, int minute, double latitude,
                       double longitudeWest);

// The share of the Sun's disc (radius 1) covered by the Moon's (radius k) at the distance
// r of their centres: 0 to 1.
double CoveredShare(double k, double r);
