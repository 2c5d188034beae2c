#pragma once
// From a propagated satellite state to what the observer sees: position and velocity in km
// and km/s, the sub-point and height above the WGS-84 ellipsoid, azimuth, elevation, range
// and range rate from the site, the topocentric right ascension and declination, and the
// Earth's shadow with a low-precision Sun.
//
// Time scales: ComputeSatellitePosition takes local civil time (the site's zone offset),
// every other entry a UT Julian day. Longitudes are west-positive degrees in the element
// set's fields and east-positive radians in the GeodeticPoint records; SiteGeodetic is the
// one place that changes the sign.
#include "catalog/records.h"
#include "core/settings.h"
#include "satellites/satellite_math.h"
#include "satellites/two_line_elements.h"

// Latitude (geodetic, radians), longitude (radians), height (km), and the local sidereal
// angle (radians) that ComputeObserverState and ComputeSubpoint store.
struct GeodeticPoint {
    double latitude = 0.0;
    double longitude = 0.0;
    double height = 0.0;
    double siderealAngle = 0.0;
};

// Azimuth (radians from north through east), elevation (radians), range (km), range rate
// (km/s, positive when receding). ComputeTopocentricRaDec and ComputeLineOfSight put their
// results into the same four slots (see there).
struct LookAngles {
    double azimuth = 0.0;
    double elevation = 0.0;
    double range = 0.0;
    double rangeRate = 0.0;
};

// Outcome of a computation on an element set: refused before any propagation, or the
// propagator found no orbit.
enum SatelliteStatus : int {
    kSatelliteComputed = 0,
    kSatelliteDeepSpace = 1,  // deepSpace set: no deep-space model here
    kSatelliteInvalid = 2,    // the conversion refused the elements
    kSatelliteDecayed = 3,    // no position at that instant
};
// The text a form shows for a status; null for kSatelliteComputed.
const char* SatelliteStatusText(int status);
// kSatelliteInvalid, kSatelliteDeepSpace or kSatelliteComputed for a converted set.
int SatellitePropagationStatus(const TleElements& elements);

// The module records, one owner (this file), read by the views right after a computation.
// Hazard kept on purpose: after ComputeSatellitePosition the magnitude slot of satPosition
// holds tsince (minutes from the epoch), not the distance; the views read it from there.
extern SatVector satPosition;
extern SatVector satVelocity;
extern GeodeticPoint satSubpoint;
extern GeodeticPoint observerGeodetic;
extern LookAngles satLookAngles;
// The satellite the satellite form shows; ComputeSatellitePosition converts it.
extern SatelliteRecord currentSatelliteRecord;

// Beyond this many days from the epoch ComputeSatellitePosition switches from SGP to SGP4.
inline constexpr double kSgp4FromDays = 5.0;

// The full state of currentSatelliteRecord at a local civil time at the current site
// (observerLocation, whose height is not used here): converts the record into `elements`,
// propagates (SGP within 5 days of the epoch, SGP4 from there), fills fields 24 to 33 and
// the module records. A refused set propagates nothing; a refused or decayed one leaves
// every result field and module record as it was, and the status says which.
int ComputeSatellitePosition(int year, int month, int day, int hour, int minute, int second, TleElements* elements);
// SGP state of a converted set at a UT Julian day, seen from the current site with its
// height: julianDay, elevation (degrees), azimuth (degrees, [0, 360)), range, rangeRate.
int ComputeSatelliteLookAngles(double jd, TleElements* elements);
// SGP state at a UT Julian day: julianDay, subLatitude, subLongitude (west positive), height.
int ComputeSatelliteSubpoint(double jd, TleElements* elements);
// SGP4 state at a UT Julian day: 1 when the satellite is in the Earth's umbra, else 0 (also
// for a refused or decayed set, which `status` reports when given); sets julianDay.
int IsSatelliteEclipsed(double jd, TleElements* elements, int* status = nullptr);

// The same look-angle computation without the refusal checks, for the searches that
// checked the set once: kSatelliteComputed or kSatelliteDecayed.
int EvaluateSatelliteLookAngles(double jd, TleElements* elements);
// The current site as a GeodeticPoint: east-positive radians, height in km (0 when
// withHeight is false).
GeodeticPoint SiteGeodetic(const ObserverLocation& site, bool withHeight);

// Earth radii and radii per minute to km and km/s; both magnitudes set.
void ScaleSatelliteState(SatVector* position, SatVector* velocity);
// Geodetic latitude, longitude (radians, positive west, (-pi, pi]), height (km) of the
// point below `position` (km); the fourth slot gets the position's right ascension.
void ComputeSubpoint(double jd, const SatVector& position, GeodeticPoint* out);
// The site in the inertial frame (km, km/s); stores its local sidereal angle in the site.
void ComputeObserverState(double jd, GeodeticPoint* site, SatVector* position, SatVector* velocity);
// 1 when the elevation is 0 or more, else 0. No refraction.
int ComputeLookAngles(double jd, const SatVector& position, const SatVector& velocity, GeodeticPoint* site,
                      LookAngles* out);
// out->azimuth becomes the right ascension (radians, [0, 2 pi)), out->elevation the
// declination (radians); the other slots keep the look angles' range and rate. Returns 1.
int ComputeTopocentricRaDec(double jd, const SatVector& position, const SatVector& velocity, GeodeticPoint* site,
                            LookAngles* out);
// The first three slots become the unit vector from the site to the satellite in the
// inertial frame (x, y, z in azimuth, elevation, range); the fourth keeps the range rate.
// Returns 1.
int ComputeLineOfSight(double jd, const SatVector& position, const SatVector& velocity, GeodeticPoint* site,
                       LookAngles* out);
// The geocentric Sun (km), magnitude the distance.
void ComputeSunVector(double jd, SatVector* sun);
// 1 when the satellite (km, magnitude set) is in the Earth's umbra; depth (radians, the
// Earth's semi-diameter less the Sun's less their separation) goes to *depth when given.
int IsInEarthShadow(const SatVector& satellite, const SatVector& sun, double* depth);
// x, y, z times k; magnitude times |k|.
void ScaleVector(double k, const SatVector& v, SatVector* out);
// Greenwich mean sidereal angle (radians) at a UT Julian day.
double GreenwichSiderealAngle(double jd);
