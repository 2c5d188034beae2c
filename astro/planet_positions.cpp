#include "astro/planet_positions.h"

#include <algorithm>
#include <cmath>

#include "core/angle_units.h"
#include "astro/planetary_theory.h"
#include "astro/precession_nutation.h"
#include "astro/quick_sun_moon.h"
#include "astro/time_scales.h"
#include "core/settings.h"
#include "theories/moon_illumination.h"
#include "theories/moon_series.h"
#include "theories/series_trig.h"
#include "theories/sun_series.h"

const char* const bodyNames[kNamedBodyCount] = {"Sun",     "Moon",   "Mercury", "Venus",   "Mars", "Jupiter",
                                                "Saturn",  "Uranus", "Neptune", "Pluto",   "Earth"};

namespace {
constexpr double kJD1900 = 2415020.0;
constexpr double kLightAuPerDay = 173.14463348;

// Arc seconds at unit distance, by body index 0..9.
constexpr double kDiameterAtUnitDistance[] = {1919.26, 1873.7, 6.74,  16.96, 9.36,
                                              196.94,  165.6,  65.8,  62.2,  6.36};

// Pipeline planet numbers by body index; 0 for bodies the pipeline does not place.
constexpr int kPipelineNumber[] = {0, 0, kMercury, kVenus, kMars, kJupiter, kSaturn, kUranus, kNeptune, 0, kEarth};

double Norm(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

bool IsAnalytic(int index) {
    return index == kBodySun || index == kBodyMoon || index == kBodyPluto || index == kBodyEarthShadow;
}

bool IsKnownBody(int index) { return (index >= kBodySun && index <= kBodyEarth) || index == kBodyEarthShadow; }

bool IsTopocentric(int coordinateMode) { return coordinateMode >= 2; }

// Ecliptic longitude (degrees [0, 360)) and latitude of an equatorial place in radians.
void EquatorialToEcliptic(double ra, double dec, double eps, double* longitude, double* latitude) {
    const double angles[3] = {ra, dec, eps};
    double s[3], c[3];
    SeriesSinCosArray(angles, s, c, 3);
    double lon = std::atan2(s[0] * c[2] + s[1] / c[1] * s[2], c[0]) * kRadToDeg;
    if (lon < 0.0) lon += 360.0;
    if (lon >= 360.0) lon -= 360.0;  // a tiny negative angle rounds to 360 above
    *longitude = lon;
    *latitude = std::asin(s[1] * c[2] - c[1] * s[2] * s[0]) * kRadToDeg;
}

// Right ascension (radians, [0, 2pi)) and declination of an ecliptic place.
void EclipticToEquatorial(double lon, double lat, double eps, double* ra, double* dec) {
    double a = std::atan2(std::sin(lon) * std::cos(eps) - std::tan(lat) * std::sin(eps), std::cos(lon));
    if (a < 0.0) a += kTwoPi;
    *ra = a;
    *dec = std::asin(std::sin(lat) * std::cos(eps) + std::cos(lat) * std::sin(eps) * std::sin(lon));
}

// The Moon's illuminated fraction at the terrestrial-time instant asked for.
double MoonFractionAt(double jdTT, double deltaT) {
    int year, month, day, hour, minute, second;
    JDToDate(jdTT - deltaT / 86400.0, &year, &month, &day, &hour, &minute, &second);
    return ComputeMoonIllumination(year, month, day, hour + minute / 60.0 + second / 3600.0, 0, nullptr);
}

// The centre of the Earth's shadow: the antisolar point of date (nutation, aberration) at
// the Moon's distance; right ascension and declination in radians.
void ShadowCentre(BodyRecord* record, double T) {
    double dpsi = 0.0, deps = 0.0;
    NutationAngles(T, &dpsi, &deps);
    const double T2 = T * T;
    const double e = (84381.448 - 46.815 * T - 0.00059 * T2 + 0.001813 * T2 * T + deps) * kArcsecToRad;
    double moonLon, moonLat, moonDistance;
    GetMoonEclipticPosition(T, &moonLon, &moonLat, &moonDistance);
    double L, B, R;
    GetSunEclipticPosition(T, &L, &B, &R);
    const double lon = L + 3.141592653589793 + (dpsi / 3600.0 - 0.005691611111111111) * kDegToRad;
    const double lat = -B;
    double a = std::atan2(std::cos(e) * std::sin(lon) - std::sin(e) * std::tan(lat), std::cos(lon));
    if (a < 0.0) a += kTwoPi;
    record->rightAscension = a;
    record->declination = std::asin(std::sin(lon) * std::sin(e) * std::cos(lat) + std::cos(e) * std::sin(lat));
    record->distance = moonDistance;
}

// The pipeline reports the body's distance from the barycentre and, from a site, the site's
// distance from it; the phase triangle needs both from the Sun's centre (the barycentre is
// up to 0.01 AU away, which turns into degrees of elongation near conjunction). The body
// is taken at the time its light left it. Values the ephemeris cannot give stay as they were.
void HeliocentricDistances(double jdTT, int number, double distance, const SolarSystemBody& earth, double* r,
                           double* R) {
    double tdb, baryPos[3], baryVel[3], helioPos[3], helioVel[3];
    if (GetEarthState(jdTT, earth, &tdb, baryPos, baryVel, helioPos, helioVel) != 0) return;
    *R = Norm(helioPos);
    if (number == kEarth) return;
    double pos[3], vel[3];
    if (SolarSystemEphemeris(tdb - distance / kLightAuPerDay, number, 1, pos, vel) == 0) *r = Norm(pos);
}

// Saturn's rings add to its brightness by their tilt toward the Earth.
double SaturnRingTerm(const BodyRecord& record, int year, int month, int day, int hour, int minute, int second) {
    const int dayNumber = 367 * year - 7 * (year + (month + 9) / 12) / 4 + 275 * month / 9 + day - 730530;
    const double dn = dayNumber + (hour + minute / 60.0 + second / 3600.0) / 24.0;
    const double ir = 28.06 * kDegToRad;
    const double node = (169.51 + 0.0000382 * dn) * kDegToRad;
    const double l = record.eclipticLongitude * kDegToRad;
    const double b = record.eclipticLatitude * kDegToRad;
    const double B = std::asin(std::sin(b) * std::cos(ir) - std::cos(b) * std::sin(ir) * std::sin(l - node));
    return 1.2 * std::sin(B) * std::sin(B) - 2.6 * std::sin(std::fabs(B));
}

}  // namespace

double ApparentDiameter(int bodyIndex, double distance) {
    if (bodyIndex < 0 || bodyIndex > kBodyPluto) return 0.0;
    return kDiameterAtUnitDistance[bodyIndex] / distance / 60.0;
}

void PlanetPhase(int bodyIndex, double distance, double bodySunDistance, double earthSunDistance, double* magnitude,
                 double* illuminatedFraction, double* elongation) {
    const double D = distance, r = bodySunDistance, R = earthSunDistance;
    double E, i;
    if (bodyIndex == kBodyMoon) {
        E = 0.0;
        i = 180.0;
    } else if (!(D > 0.0 && r > 0.0 && R > 0.0)) {
        // Seen from the Earth's centre (or with no distances) there is no triangle.
        *elongation = 0.0;
        *illuminatedFraction = 1.0;
        return;
    } else {
        // Rounding can take the cosines a hair past +-1.
        E = std::acos(std::clamp((R * R + D * D - r * r) / (2.0 * D * R), -1.0, 1.0)) * kRadToDeg;
        i = std::acos(std::clamp((r * r + D * D - R * R) / (2.0 * r * D), -1.0, 1.0)) * kRadToDeg;
    }
    *elongation = E;
    *illuminatedFraction = (1.0 + std::cos(i * kDegToRad)) / 2.0;

    const double lg = std::log10(r * D);
    switch (bodyIndex) {
        case kBodyMoon: *magnitude = 0.23 + 5 * lg + 0.026 * i + 0.000000004 * i * i * i * i; break;
        case kBodyMercury: *magnitude = -0.42 + 5 * lg + 0.038 * i - 0.000273 * i * i + 0.000002 * i * i * i; break;
        case kBodyVenus: *magnitude = -4.4 + 5 * lg + 0.0009 * i + 0.000239 * i * i - 0.00000065 * i * i * i; break;
        case kBodyMars: *magnitude = -1.52 + 5 * lg + 0.016 * i; break;
        case kBodyJupiter: *magnitude = -9.4 + 5 * lg + 0.005 * i; break;
        case kBodySaturn: *magnitude = -8.88 + 5 * lg + 0.044 * i; break;
        case kBodyUranus: *magnitude = -7.19 + 5 * lg; break;
        case kBodyNeptune: *magnitude = -6.87 + 5 * lg; break;
        case kBodyPluto: *magnitude = -1.0 + 5 * lg; break;
        default: break;
    }
}

int ComputeBodyAnalyticAt(const ObserverLocation& site, double deltaT, int coordinateMode, BodyRecord* record,
                          int bodyIndex, double jdTT) {
    if (!IsAnalytic(bodyIndex)) {
        *record = BodyRecord{};
        return 0;
    }
    const double T = (jdTT - kJ2000) / 36525.0;
    const Sun1900Elements sun = ComputeSun1900((jdTT - kJD1900) / 36525.0);
    const double sunLongitude = sun.trueLongitude * kDegToRad;
    const double eps1900 = sun.obliquity * kDegToRad;

    FullPosition full{};
    switch (bodyIndex) {
        case kBodyMoon:
            MoonPositionFull(&full, T, sunLongitude);
            record->rightAscension = full.rightAscension;
            record->declination = full.declination;
            record->distance = full.distance;
            record->magnitude = full.magnitude;
            record->diameter = full.diameter;
            record->spare2 = 3.0;
            record->illuminatedFraction = MoonFractionAt(jdTT, deltaT);
            break;
        case kBodySun:
            SunPositionFull(&full, T);
            record->rightAscension = full.rightAscension;
            record->declination = full.declination;
            record->distance = full.distance;
            record->diameter = ApparentDiameter(kBodySun, full.distance);
            record->magnitude = -24.6;
            record->spare2 = 3.0;
            break;
        case kBodyPluto: {
            double l, b, r;
            PlutoHeliocentricOfDate(T, &l, &b, &r);
            const double R = sun.radiusVector;
            const double x = r * std::cos(b) * std::cos(l - sunLongitude) + R;
            const double y = r * std::cos(b) * std::sin(l - sunLongitude);
            const double lambda = std::atan2(y, x) + sunLongitude;
            const double distance = std::sqrt(r * r + 2.0 * r * R * std::cos(b) * std::cos(l - sunLongitude) + R * R);
            const double beta = std::asin(r * std::sin(b) / distance);
            EclipticToEquatorial(lambda, beta, eps1900, &record->rightAscension, &record->declination);
            record->distance = distance;
            PlanetPhase(kBodyPluto, distance, r, R, &record->magnitude, &record->illuminatedFraction,
                        &record->elongation);
            record->diameter = ApparentDiameter(kBodyPluto, distance);
            record->spare2 = 0.1;
            break;
        }
        default:
            ShadowCentre(record, T);
            break;
    }

    if (IsTopocentric(coordinateMode)) {
        // The site's place turns with the Earth, so its sidereal time needs universal time.
        const double Tut = (jdTT - deltaT / 86400.0 - kJ2000) / 36525.0;
        TopocentricPosition(Tut, &record->rightAscension, &record->declination, nullptr, nullptr, record->distance,
                            site.longitude, site.latitude, site.height);
    }
    EquatorialToEcliptic(record->rightAscension, record->declination, eps1900, &record->eclipticLongitude,
                         &record->eclipticLatitude);
    double hours = record->rightAscension * 12.0 / 3.141592653589793;
    while (hours < 0.0) hours += 24.0;
    while (hours >= 24.0) hours -= 24.0;
    record->rightAscension = hours;
    record->declination *= kRadToDeg;
    return 1;
}

int ComputeBodyAnalytic(BodyRecord* record, int bodyIndex, double jdTT) {
    int year, month, day;
    JDToDate(jdTT, &year, &month, &day, nullptr, nullptr, nullptr);
    return ComputeBodyAnalyticAt(observerLocation, GetDeltaT(year, month, day),
                                 preferences.word[pref::coordinateMode], record, bodyIndex, jdTT);
}

int ComputePlanetAt(const ObserverLocation& site, double deltaT, int coordinateMode, BodyRecord* record,
                    int bodyIndex, int year, int month, int day, int hour, int minute, int second) {
    if (!IsKnownBody(bodyIndex)) {
        *record = BodyRecord{};
        return 0;
    }
    const double jdTT = DateTimeToJD(year, month, day, hour, minute, second, site.zoneMinutes) + deltaT / 86400.0;
    if (IsAnalytic(bodyIndex)) return ComputeBodyAnalyticAt(site, deltaT, coordinateMode, record, bodyIndex, jdTT);

    SolarSystemBody body{}, earth{};
    SetBody(0, kPipelineNumber[bodyIndex], "", &body);
    SetBody(0, kEarth, "Earth", &earth);
    double ra = 0.0, dec = 0.0, distance = 0.0, r = 0.0, R = 0.0;
    // The Earth is placed from its own centre in every mode, so its record does not depend
    // on the site.
    const int status = IsTopocentric(coordinateMode) && bodyIndex != kBodyEarth
                           ? TopoPlanet(jdTT, body, earth, deltaT, SiteInfoOf(site), &ra, &dec, &distance, &r, &R)
                           : AppPlanet(jdTT, body, earth, &ra, &dec, &distance, &r, &R);
    if (status != 0) {
        *record = BodyRecord{};
        return 0;
    }
    record->rightAscension = ra;
    record->declination = dec;
    record->distance = distance;
    HeliocentricDistances(jdTT, kPipelineNumber[bodyIndex], distance, earth, &r, &R);

    const double T = (jdTT - kJ2000) / 36525.0;
    EquatorialToEcliptic(ra * 15.0 * kDegToRad, dec * kDegToRad, GetMeanObliquity(T) * kDegToRad,
                         &record->eclipticLongitude, &record->eclipticLatitude);
    record->diameter = ApparentDiameter(bodyIndex, distance);
    PlanetPhase(bodyIndex, distance, r, R, &record->magnitude, &record->illuminatedFraction, &record->elongation);
    if (bodyIndex == kBodySaturn) record->magnitude += SaturnRingTerm(*record, year, month, day, hour, minute, second);
    return 1;
}

int ComputePlanet(BodyRecord* record, int bodyIndex, int year, int month, int day, int hour, int minute,
                  int second) {
    return ComputePlanetAt(observerLocation, GetDeltaT(year, month, day), preferences.word[pref::coordinateMode],
                           record, bodyIndex, year, month, day, hour, minute, second);
}
