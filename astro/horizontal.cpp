#include "astro/horizontal.h"
#include "astro/horizontal_internal.h"

#include <algorithm>
#include <cmath>

#include "core/angle_units.h"
#include "astro/planet_positions.h"
#include "astro/precession_nutation.h"
#include "astro/time_scales.h"
#include "core/settings.h"

SiteInfo apparentSite;
CatalogStar apparentStar;
SolarSystemBody earthBody;
HorizonFrameCache horizonFrameCache;

namespace {

// The fixed point of zd = zd0 − R(zd) is reached in a handful of steps; near the horizon
// with extreme site values it can creep, and the last step is then close enough.
constexpr int kMaxRefractionIterations = 20;

// Sites colder than this are typing errors; the formula divides by t + 273.
constexpr double kColdestTemperature = -100.0;

// The site's zenith, north and west unit vectors in the true equator of date.
const HorizonFrameCache& HorizonFrame(double jd, double deltaT, const SiteInfo& site) {
    HorizonFrameCache& f = horizonFrameCache;
    if (f.valid && f.jd == jd && f.deltaT == deltaT && f.latitude == site.latitude &&
        f.longitude == site.longitude)
        return f;
    const double ut1 = jd - deltaT / 86400.0;
    double seconds;
    TdbMinusTt(jd, nullptr, &seconds);
    const double tdb = jd + seconds / 86400.0;
    double ee, gst;
    ComputeEarthTilt(tdb, nullptr, nullptr, &ee, nullptr, nullptr);
    SiderealTimeOfJD(ut1, 0.0, ee, &gst);

    const double phi = site.latitude * kDegToRad, lambda = site.longitude * kDegToRad;
    const double sf = std::sin(phi), cf = std::cos(phi), sl = std::sin(lambda), cl = std::cos(lambda);
    const double zenith[3] = {cf * cl, cf * sl, sf};
    const double north[3] = {-sf * cl, -sf * sl, cf};
    const double west[3] = {sl, -cl, 0.0};
    RotateAboutPole(gst, zenith, f.zenith);
    RotateAboutPole(gst, north, f.north);
    RotateAboutPole(gst, west, f.west);
    f.jd = jd;
    f.deltaT = deltaT;
    f.latitude = site.latitude;
    f.longitude = site.longitude;
    f.valid = true;
    ++f.builds;
    return f;
}

double Dot(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

void RotateAboutPole(double gst, const double in[3], double out[3]) {
    const double theta = gst * 0.2617993877991494;
    const double c = std::cos(theta), s = std::sin(theta);
    const double x = in[0], y = in[1];
    out[0] = c * x - s * y;
    out[1] = s * x + c * y;
    out[2] = in[2];
}

double RefractionAngle(const SiteInfo& site, int option, double zd) {
    if (zd < 0.1 || zd > 91.0) return 0.0;
    double pressure, temperature;
    if (option == kRefractionSite) {
        pressure = site.pressure;
        temperature = std::max(site.temperature, kColdestTemperature);
    } else {
        pressure = 1010.0 * std::exp(-site.height / 9100.0);
        temperature = 10.0;
    }
    const double h = 90.0 - zd;
    const double r = 0.016667 / std::tan((h + 7.31 / (h + 4.4)) * kDegToRad);
    return r * 0.28 * pressure / (temperature + 273.0);
}

void EquToHor(double jd, double deltaT, double, double, const SiteInfo& site, double ra, double dec,
              int refractionOption, double* zd, double* az, double* rar, double* decr) {
    const HorizonFrameCache& frame = HorizonFrame(jd, deltaT, site);
    *rar = ra;
    *decr = dec;

    const double a = ra * 15.0 * kDegToRad, d = dec * kDegToRad;
    const double p[3] = {std::cos(d) * std::cos(a), std::cos(d) * std::sin(a), std::sin(d)};
    const double pz = Dot(p, frame.zenith), pn = Dot(p, frame.north), pw = Dot(p, frame.west);
    const double proj = std::sqrt(pn * pn + pw * pw);
    if (proj > 0.0) {
        double azimuth = -std::atan2(pw, pn) * kRadToDeg;
        if (azimuth < 0.0) azimuth += 360.0;
        if (azimuth >= 360.0) azimuth -= 360.0;
        *az = azimuth;
    }
    double z = std::atan2(proj, pz) * kRadToDeg;
    *zd = z;
    if (refractionOption == kRefractionNone) return;

    const double z0 = z;
    double r = 0.0;
    for (int i = 0; i < kMaxRefractionIterations; ++i) {
        const double z1 = z;
        r = RefractionAngle(site, refractionOption, z1);
        z = z0 - r;
        if (std::abs(z - z1) <= 5e-5) break;
    }
    *zd = z;
    if (r > 0.0 && z > 0.01) {
        const double sinz = std::sin(z * kDegToRad);
        const double k = std::sin(z0 * kDegToRad) / sinz;
        const double L = std::sqrt(std::max(0.0, 1.0 + k * k - 2.0 * k * std::cos(r * kDegToRad)));
        double pr[3];
        for (int i = 0; i < 3; ++i) pr[i] = (p[i] + L * frame.zenith[i]) / k;
        const double xy2 = pr[0] * pr[0] + pr[1] * pr[1];
        if (xy2 > 0.0) {
            double refractedRa = std::atan2(pr[1], pr[0]) * kRadToHours;
            if (refractedRa < 0.0) refractedRa += 24.0;
            if (refractedRa >= 24.0) refractedRa -= 24.0;
            *rar = refractedRa;
            *decr = std::atan2(pr[2], std::sqrt(xy2)) * kRadToDeg;
        }
    }
}

void ComputeApparentPositionAt(const ObserverLocation& site, double deltaT, double ra, double dec, double* outRa,
                               double* outDec, double* altitude, double* azimuth, int mode, int year, int month,
                               int day, int hour, int minute, int second) {
    mode = std::clamp(mode, static_cast<int>(kModeNone), static_cast<int>(kModeTopocentricRefracted));
    apparentSite = SiteInfoOf(site);
    const double jdUt = DateTimeToJD(year, month, day, hour, minute, second, site.zoneMinutes);
    const double jd = jdUt + deltaT / 86400.0;

    double placeRa = ra, placeDec = dec;
    bool geocentric = mode == kModeGeocentric || mode == kModeGeocentricRefracted;
    if (mode >= kModeTopocentric) {
        SetBody(0, kEarth, "Earth", &earthBody);
        apparentStar = CatalogStar{};
        apparentStar.ra = ra;
        apparentStar.dec = dec;
        // Beyond the ephemeris the topocentric place cannot be had; the geocentric one is
        // within a parallax and an aberration of it, where 0/0 would send a mount astray.
        if (TopoStar(jd, earthBody, deltaT, apparentStar, apparentSite, &placeRa, &placeDec) != 0)
            geocentric = true;
    }
    if (geocentric) {
        placeRa = ra;
        placeDec = dec;
        PrecessToDate(jd, &placeRa, &placeDec);
    }
    const int option = (mode == kModeGeocentricRefracted || mode == kModeTopocentricRefracted)
                           ? kRefractionSite
                           : kRefractionNone;
    double zd = 0.0;
    EquToHor(jd, deltaT, 0.0, 0.0, apparentSite, placeRa, placeDec, option, &zd, azimuth, outRa, outDec);
    *altitude = 90.0 - zd;
}

void ComputeApparentPosition(double ra, double dec, double* outRa, double* outDec, double* altitude,
                             double* azimuth, int mode, int year, int month, int day, int hour,
                             int minute, int second) {
    ComputeApparentPositionAt(observerLocation, GetDeltaT(year, month, day), ra, dec, outRa, outDec, altitude,
                              azimuth, mode, year, month, day, hour, minute, second);
}

bool ComputeBodyPointingPlace(int bodyIndex, int year, int month, int day, int hour, int minute, int second,
                              double* raHours, double* decDeg) {
    const ObserverLocation& site = observerLocation;
    const double deltaT = GetDeltaT(year, month, day);
    BodyRecord body{};
    if (!ComputePlanetAt(site, deltaT, kModeTopocentric, &body, bodyIndex, year, month, day, hour, minute, second))
        return false;
    const double jd = DateTimeToJD(year, month, day, hour, minute, second, site.zoneMinutes) + deltaT / 86400.0;
    double zd = 0.0, azimuth = 0.0;
    double ra = body.rightAscension, dec = body.declination;
    EquToHor(jd, deltaT, 0.0, 0.0, SiteInfoOf(site), body.rightAscension, body.declination, kRefractionSite, &zd,
             &azimuth, &ra, &dec);
    *raHours = ra;
    *decDeg = dec;
    return true;
}

void HorizonMatrixAt(const ObserverLocation& site, int year, int month, int day, int hour, int minute, int second,
                     double M[9]) {
    const double lst = LocalSiderealTime(year, month, day, hour, minute, second, site.longitude, site.zoneMinutes);
    double H = 12.0 - lst;
    if (H < 0) H += 24.0;
    const double theta = H * 0.26179938779914946;
    const double phi = static_cast<double>(site.latitude) * kDegToRad;
    const double ct = std::cos(theta), st = std::sin(theta);
    const double cf = std::cos(phi), sf = std::sin(phi);
    M[0] = ct;
    M[1] = st;
    M[2] = 0.0;
    M[3] = -st * sf;
    M[4] = ct * sf;
    M[5] = cf;
    M[6] = st * cf;
    M[7] = -ct * cf;
    M[8] = sf;
}

void HorizonMatrix(int year, int month, int day, int hour, int minute, int second, double M[9]) {
    HorizonMatrixAt(observerLocation, year, month, day, hour, minute, second, M);
}

void ResetHorizonCache() { horizonFrameCache = HorizonFrameCache{}; }
