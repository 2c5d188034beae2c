#include "satellites/satellite_geometry.h"

#include <cmath>

#include "astro/time_scales.h"
#include "core/calendar.h"
#include "core/checked_math.h"
#include "satellites/sgp.h"
#include "satellites/sgp4.h"

SatVector satPosition;
SatVector satVelocity;
GeodeticPoint satSubpoint;
GeodeticPoint observerGeodetic;
LookAngles satLookAngles;
SatelliteRecord currentSatelliteRecord;

namespace {

// The Earth of the observer model: WGS-84 shape on the satellite models' radius.
constexpr double kEccentricitySquared = 0.006694379990141316;
constexpr double kOneMinusFlattening = 0.9966471893352525;
constexpr double kOneMinusFlatteningSquared = 0.9933056200098587;
constexpr double kRadiusTimesE2 = 42.69765931841998;  // 6378.135 e^2, km
constexpr double kEarthTurnPerSecond = 7.292115e-5;   // radians
constexpr double kKmPerSecond = 106.30225;            // Earth radii per minute to km/s
constexpr double kSunRadiusKm = 696000.0;
constexpr double kAstronomicalUnitKm = 149597870.691;
constexpr double kRadToDegrees = 57.29577951308232;
constexpr double kRadToHoursSat = 3.819718634205488;
constexpr int kSubpointPassLimit = 30;

// Scratch of the look-angle computation: the observer's state and the range vector.
SatVector observerPosition;
SatVector observerVelocity;
SatVector rangeVector;
SatVector rangeRateVector;

double Magnitude(const SatVector& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

double MinutesSinceEpoch(double jd, const TleElements& elements) { return 1440.0 * (jd - elements.epochJD); }

// Propagates into the module records only when there is a position, so that a decayed
// orbit leaves the last good state for the views.
int PropagateIntoModule(bool useSgp4, double tsince, const TleElements& elements) {
    SatVector position, velocity;
    const int result = useSgp4 ? PropagateSgp4(tsince, &position, &velocity, elements)
                               : PropagateSgp(tsince, &position, &velocity, elements);
    if (result != kOrbitPropagated) return kSatelliteDecayed;
    ScaleSatelliteState(&position, &velocity);
    satPosition = position;
    satVelocity = velocity;
    return kSatelliteComputed;
}

double AzimuthDegrees(double radians) { return std::fmod(radians * kRadToDegrees + 360.0, 360.0); }

void StoreSubpoint(double jd, TleElements& el) {
    ComputeSubpoint(jd, satPosition, &satSubpoint);
    el.subLatitude = satSubpoint.latitude * kRadToDegrees;
    el.subLongitude = satSubpoint.longitude * kRadToDegrees;
    el.height = satSubpoint.height;
}

void StoreLookAngles(double jd, TleElements& el, bool withHeight) {
    observerGeodetic = SiteGeodetic(observerLocation, withHeight);
    ComputeLookAngles(jd, satPosition, satVelocity, &observerGeodetic, &satLookAngles);
    el.elevation = satLookAngles.elevation * kRadToDegrees;
    el.azimuth = AzimuthDegrees(satLookAngles.azimuth);
    el.range = satLookAngles.range;
    el.rangeRate = satLookAngles.rangeRate;
}

// The rotation of a horizon vector (south, east, zenith) into the inertial frame.
SatVector HorizonToInertial(double latitude, double theta, double south, double east, double zenith) {
    const double sinPhi = std::sin(latitude), cosPhi = std::cos(latitude);
    const double sinTheta = std::sin(theta), cosTheta = std::cos(theta);
    SatVector v;
    v.x = sinPhi * cosTheta * south - sinTheta * east + cosPhi * cosTheta * zenith;
    v.y = sinPhi * sinTheta * south + cosTheta * east + cosPhi * sinTheta * zenith;
    v.z = -cosPhi * south + sinPhi * zenith;
    return v;
}

// The unit vector towards the satellite in the inertial frame, from the look angles.
SatVector LineOfSight(const GeodeticPoint& site, const LookAngles& look) {
    const double cosEl = std::cos(look.elevation);
    return HorizonToInertial(site.latitude, site.siderealAngle, -cosEl * std::cos(look.azimuth),
                             cosEl * std::sin(look.azimuth), std::sin(look.elevation));
}

}  // namespace

const char* SatelliteStatusText(int status) {
    switch (status) {
    case kSatelliteDeepSpace: return kDeepSpaceText;
    case kSatelliteInvalid: return kInvalidElementsText;
    case kSatelliteDecayed: return kDecayedText;
    default: return nullptr;
    }
}

int SatellitePropagationStatus(const TleElements& elements) {
    if (CheckTleElements(elements) != kElementsValid) return kSatelliteInvalid;
    if (elements.deepSpace) return kSatelliteDeepSpace;
    return kSatelliteComputed;
}

GeodeticPoint SiteGeodetic(const ObserverLocation& site, bool withHeight) {
    GeodeticPoint p;
    p.latitude = static_cast<double>(site.latitude) * kSatDegToRad;
    p.longitude = -static_cast<double>(site.longitude) * kSatDegToRad;  // west-positive outside
    p.height = withHeight ? site.height * 0.001 : 0.0;
    return p;
}

int ComputeSatellitePosition(int year, int month, int day, int hour, int minute, int second, TleElements* elements) {
    const double jd = DateTimeToJD(year, month, day, hour, minute, second, observerLocation.zoneMinutes);
    TleElements& el = *elements;
    if (ConvertTleElements(currentSatelliteRecord, &el) != kElementsValid) return kSatelliteInvalid;
    if (el.deepSpace) return kSatelliteDeepSpace;

    const double dt = jd - el.epochJD;
    const double tsince = 1440.0 * dt;
    if (PropagateIntoModule(std::fabs(dt) >= kSgp4FromDays, tsince, el) != kSatelliteComputed) return kSatelliteDecayed;
    el.julianDay = jd;
    satPosition.magnitude = tsince;  // the views read the minutes from the epoch here

    StoreSubpoint(jd, el);
    VectorMagnitude(&satVelocity);
    // The full position is for the map and the data page: the site stands on the ellipsoid.
    StoreLookAngles(jd, el, false);

    // satLookAngles then holds right ascension and declination in its first two slots.
    ComputeTopocentricRaDec(jd, satPosition, satVelocity, &observerGeodetic, &satLookAngles);
    el.rightAscension = satLookAngles.azimuth * kRadToHoursSat;
    el.declination = satLookAngles.elevation * kRadToDegrees;
    return kSatelliteComputed;
}

int EvaluateSatelliteLookAngles(double jd, TleElements* elements) {
    TleElements& el = *elements;
    if (PropagateIntoModule(false, MinutesSinceEpoch(jd, el), el) != kSatelliteComputed) return kSatelliteDecayed;
    el.julianDay = jd;
    StoreLookAngles(jd, el, true);
    return kSatelliteComputed;
}

int ComputeSatelliteLookAngles(double jd, TleElements* elements) {
    const int status = SatellitePropagationStatus(*elements);
    if (status != kSatelliteComputed) return status;
    return EvaluateSatelliteLookAngles(jd, elements);
}

int ComputeSatelliteSubpoint(double jd, TleElements* elements) {
    TleElements& el = *elements;
    const int status = SatellitePropagationStatus(el);
    if (status != kSatelliteComputed) return status;
    if (PropagateIntoModule(false, MinutesSinceEpoch(jd, el), el) != kSatelliteComputed) return kSatelliteDecayed;
    el.julianDay = jd;
    StoreSubpoint(jd, el);
    return kSatelliteComputed;
}

int IsSatelliteEclipsed(double jd, TleElements* elements, int* status) {
    TleElements& el = *elements;
    int result = SatellitePropagationStatus(el);
    if (result == kSatelliteComputed) result = PropagateIntoModule(true, MinutesSinceEpoch(jd, el), el);
    if (status) *status = result;
    if (result != kSatelliteComputed) return 0;
    el.julianDay = jd;
    observerGeodetic = SiteGeodetic(observerLocation, true);
    SatVector sun;
    ComputeSunVector(jd, &sun);
    return IsInEarthShadow(satPosition, sun, nullptr);
}

void ScaleSatelliteState(SatVector* position, SatVector* velocity) {
    position->x *= kSatEarthRadiusKm;
    position->y *= kSatEarthRadiusKm;
    position->z *= kSatEarthRadiusKm;
    velocity->x *= kKmPerSecond;
    velocity->y *= kKmPerSecond;
    velocity->z *= kKmPerSecond;
    VectorMagnitude(position);
    VectorMagnitude(velocity);
}

double GreenwichSiderealAngle(double jd) {
    const double ut = FractionalPart(jd + 0.5);
    const double t = (jd - ut - 2451545.0) * 2.7378507871321012e-5;
    const double g = 24110.54841 + t * (8640184.812866 + t * (0.093104 - 6.2e-6 * t));
    return PositiveModulo(g + 86636.555366976 * ut, 86400.0) * 7.27220521664304e-5;
}

void ComputeObserverState(double jd, GeodeticPoint* site, SatVector* position, SatVector* velocity) {
    const double theta = Modulo2Pi(GreenwichSiderealAngle(jd) + site->longitude);
    site->siderealAngle = theta;
    const double sinPhi = std::sin(site->latitude);
    const double c = 1.0 / std::sqrt(1.0 - kEccentricitySquared * sinPhi * sinPhi);
    const double s = kOneMinusFlatteningSquared * c;
    const double rc = (kSatEarthRadiusKm * c + site->height) * std::cos(site->latitude);
    position->x = rc * std::cos(theta);
    position->y = rc * std::sin(theta);
    position->z = (kSatEarthRadiusKm * s + site->height) * sinPhi;
    velocity->x = -kEarthTurnPerSecond * position->y;
    velocity->y = kEarthTurnPerSecond * position->x;
    velocity->z = 0.0;
    VectorMagnitude(position);
    VectorMagnitude(velocity);
}

int ComputeLookAngles(double jd, const SatVector& position, const SatVector& velocity, GeodeticPoint* site,
                      LookAngles* out) {
    ComputeObserverState(jd, site, &observerPosition, &observerVelocity);
    rangeVector = {position.x - observerPosition.x, position.y - observerPosition.y, position.z - observerPosition.z, 0.0};
    rangeRateVector = {velocity.x - observerVelocity.x, velocity.y - observerVelocity.y,
                       velocity.z - observerVelocity.z, 0.0};
    const double range = VectorMagnitude(&rangeVector);
    const double theta = site->siderealAngle;
    const double sinPhi = std::sin(site->latitude), cosPhi = std::cos(site->latitude);
    const double sinTheta = std::sin(theta), cosTheta = std::cos(theta);
    const double rx = rangeVector.x, ry = rangeVector.y, rz = rangeVector.z;
    const double south = sinPhi * (cosTheta * rx + sinTheta * ry) - cosPhi * rz;
    const double east = -sinTheta * rx + cosTheta * ry;
    const double zenith = cosPhi * (cosTheta * rx + sinTheta * ry) + sinPhi * rz;
    // atan2 gives arctan(-E / S) with its quadrant, and 0 rather than NaN straight overhead.
    out->azimuth = Modulo2Pi(std::atan2(east, -south));
    out->elevation = range > 0.0 ? ClampedAsin(zenith / range) : kSatTwoPi / 4.0;
    out->range = range;
    out->rangeRate = range > 0.0 ? DotProduct(rangeVector, rangeRateVector) / range : 0.0;
    return out->elevation >= 0.0 ? 1 : 0;
}

int ComputeTopocentricRaDec(double jd, const SatVector& position, const SatVector& velocity, GeodeticPoint* site,
                            LookAngles* out) {
    ComputeLookAngles(jd, position, velocity, site, out);
    const SatVector v = LineOfSight(*site, *out);
    out->elevation = ClampedAsin(v.z);
    out->azimuth = Modulo2Pi(std::atan2(v.y, v.x));
    return 1;
}

int ComputeLineOfSight(double jd, const SatVector& position, const SatVector& velocity, GeodeticPoint* site,
                       LookAngles* out) {
    ComputeLookAngles(jd, position, velocity, site, out);
    const SatVector v = LineOfSight(*site, *out);
    out->azimuth = v.x;
    out->elevation = v.y;
    out->range = v.z;
    return 1;
}

void ComputeSubpoint(double jd, const SatVector& position, GeodeticPoint* out) {
    const double theta = std::atan2(position.y, position.x);
    out->siderealAngle = theta;
    double longitude = Modulo2Pi(theta - GreenwichSiderealAngle(jd));
    const double r = std::sqrt(position.x * position.x + position.y * position.y);
    double latitude = std::atan2(position.z, r);
    double c = 1.0;
    // The geodetic latitude converges in a few passes; a position at the centre or a value
    // that is not finite ends it early.
    for (int pass = 0; pass < kSubpointPassLimit; ++pass) {
        const double phi = latitude;
        const double sinPhi = std::sin(phi);
        c = 1.0 / std::sqrt(1.0 - kEccentricitySquared * sinPhi * sinPhi);
        latitude = std::atan2(position.z + kRadiusTimesE2 * c * sinPhi, r);
        if (!std::isfinite(latitude) || std::fabs(latitude - phi) < 1e-10) break;
    }
    const double cosLat = std::cos(latitude);
    // Over a pole r / cos(latitude) is 0 / 0: measure from the polar radius instead.
    out->height = std::fabs(cosLat) > 1e-9 ? r / cosLat - kSatEarthRadiusKm * c
                                           : std::fabs(position.z) - kSatEarthRadiusKm * kOneMinusFlattening;
    out->latitude = latitude;
    if (longitude > kSatTwoPi / 2.0) longitude -= kSatTwoPi;
    out->longitude = -longitude;  // west positive
}

void ComputeSunVector(double jd, SatVector* sun) {
    const double d = jd - 2415020.0;
    const int year = static_cast<int>(1900.0 + d / 365.25);
    const double t = (d + GetDeltaT(year, 1, 1) / 86400.0) / 36525.0;
    const double t2 = t * t;
    const double m =
        DegToRad(std::fmod(358.47583 + std::fmod(35999.04975 * t, 360.0) - (0.00015 + 3.3e-6 * t) * t2, 360.0));
    const double l = DegToRad(std::fmod(279.69668 + std::fmod(36000.76892 * t, 360.0) + 0.0003025 * t2, 360.0));
    const double e = 0.01675104 - (4.18e-5 + 1.26e-7 * t) * t;
    const double c = DegToRad((1.91946 - (0.004789 + 1.4e-5 * t) * t) * std::sin(m) +
                              (0.020094 - 0.0001 * t) * std::sin(2.0 * m) + 0.000293 * std::sin(3.0 * m));
    const double o = DegToRad(std::fmod(259.18 - 1934.142 * t, 360.0));
    const double lambda = std::fmod(l + c - DegToRad(0.00569 - 0.00479 * std::sin(o)), kSatTwoPi);
    const double nu = std::fmod(m + c, kSatTwoPi);
    const double r = 1.0000002 * (1.0 - e * e) / (1.0 + e * std::cos(nu)) * kAstronomicalUnitKm;
    const double eps = DegToRad(23.452294 - (0.0130125 + (1.64e-6 - 5.03e-7 * t) * t) * t + 0.00256 * std::cos(o));
    sun->x = r * std::cos(lambda);
    sun->y = r * std::sin(lambda) * std::cos(eps);
    sun->z = r * std::sin(lambda) * std::sin(eps);
    sun->magnitude = r;
}

int IsInEarthShadow(const SatVector& satellite, const SatVector& sun, double* depth) {
    // The magnitudes are measured here: satPosition's slot may hold minutes, not km.
    const double satDistance = Magnitude(satellite);
    const double sunDistance = Magnitude(sun);
    const SatVector toSun{sun.x - satellite.x, sun.y - satellite.y, sun.z - satellite.z, 0.0};
    const double earthSemi = ClampedAsin(kSatEarthRadiusKm / satDistance);
    const double sunSemi = ClampedAsin(kSunRadiusKm / Magnitude(toSun));
    const double delta = ClampedAcos(-DotProduct(sun, satellite) / (sunDistance * satDistance));
    const double d = earthSemi - sunSemi - delta;
    if (depth) *depth = d;
    if (earthSemi < sunSemi) return 0;
    return d >= 0.0 ? 1 : 0;
}

void ScaleVector(double k, const SatVector& v, SatVector* out) {
    out->x = k * v.x;
    out->y = k * v.y;
    out->z = k * v.z;
    out->magnitude = std::fabs(k) * v.magnitude;
}
