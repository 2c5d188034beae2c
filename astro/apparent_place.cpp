#include "astro/apparent_place.h"
#include "astro/apparent_place_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/angle_units.h"
#include "astro/planetary_theory.h"
#include "astro/precession_nutation.h"
#include "theories/series_trig.h"

ApparentPlaceCache apparentPlaceCache;

namespace {

constexpr double kAuMetres = 1.4959787e11;
constexpr double kAuPerKm = 6.684587153547039e-9;
constexpr double kKmPerSecToAuPerDay = 0.0005775483300664642;
constexpr double kLightAuPerDay = 173.14463348;
constexpr double kLightDaysPerAu = 0.005775518304559583;
constexpr double kLightSquared = 89875517869092496.0;     // m²/s²
constexpr double kTwiceSunGM = 265424875999999983616.0;   // m³/s²
constexpr double kEarthRadiusKm = 6378.14;
constexpr double kEarthAxisRatio = 0.99664719;            // 1 − flattening
constexpr double kEarthRotation = 7.292115e-5;            // rad/s
constexpr double kObliquityJ2000 = 0.40909280420293637;   // rad

// Giant planets whose pull moves the Sun about the barycentre: mass ratio Sun/planet,
// semi-major axis (AU), mean longitude at J2000.0 (rad), mean motion (rad/day).
struct GiantPlanet {
    double massRatio, axis, longitude, motion;
};
constexpr GiantPlanet kGiants[4] = {
    {1047.349, 5.203363, 0.600470, 1.450138e-3},
    {3497.898, 9.537070, 0.871693, 5.841727e-4},
    {22903.0, 19.191264, 5.466933, 2.047497e-4},
    {19412.2, 30.068963, 5.321160, 1.043891e-4},
};
constexpr double kMassFactor = 1.0 + 1.0 / 1047.349 + 1.0 / 3497.898 + 1.0 / 22903.0 + 1.0 / 19412.2;

// The low-precision solar series of Bretagnon and Simon: longitude and distance
// amplitudes in 1e-7, phase (rad), frequency (rad per 10000 Julian years).
struct SunTerm {
    double longitude, distance, phase, frequency;
};
constexpr SunTerm kSunTerms[50] = {
    {403406, 0, 4.721964, 1.621043},
    {195207, -97597, 5.937458, 62830.348067},
    {119433, -59715, 1.115589, 62830.821524},
    {112392, -56188, 5.781616, 62829.634302},
    {3891, -1556, 5.5474, 125660.5691},
    {2819, -1126, 1.512, 125660.9845},
    {1721, -861, 4.1897, 62832.4766},
    {0, 941, 1.163, 0.813},
    {660, -264, 5.415, 125659.31},
    {350, -163, 4.315, 57533.85},
    {334, 0, 4.553, -33.931},
    {314, 309, 5.198, 777137.715},
    {268, -158, 5.989, 78604.191},
    {242, 0, 2.911, 5.412},
    {234, -54, 1.423, 39302.098},
    {158, 0, 0.061, -34.861},
    {132, -93, 2.317, 115067.698},
    {129, -20, 3.193, 15774.337},
    {114, 0, 2.828, 5296.67},
    {99, -47, 0.52, 58849.27},
    {93, 0, 4.65, 5296.11},
    {86, 0, 4.35, -3980.7},
    {78, -33, 2.75, 52237.69},
    {72, -32, 4.5, 55076.47},
    {68, 0, 3.23, 261.08},
    {64, -10, 1.22, 15773.85},
    {46, -16, 0.14, 188491.03},
    {38, 0, 3.44, -7756.55},
    {37, 0, 4.37, 264.89},
    {32, -24, 1.14, 117906.27},
    {29, -13, 2.84, 55075.75},
    {28, 0, 5.96, -7961.39},
    {27, -9, 5.09, 188489.81},
    {27, 0, 1.72, 2132.19},
    {25, -17, 2.56, 109771.03},
    {24, -11, 1.92, 54868.56},
    {21, 0, 0.09, 25443.93},
    {21, 31, 5.98, -55731.43},
    {20, -10, 4.03, 60697.74},
    {18, 0, 4.27, 2132.79},
    {17, -12, 0.79, 109771.63},
    {14, 0, 4.24, -7752.82},
    {13, -5, 2.01, 188491.91},
    {13, 0, 2.65, 207.81},
    {13, 0, 4.98, 29424.63},
    {12, 0, 0.93, -7.99},
    {10, 0, 2.21, 46941.14},
    {10, 0, 3.59, -68.29},
    {10, 0, 1.5, 21463.25},
    {10, -9, 2.55, 157208.4},
};

double Norm(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

void Copy(const double from[3], double to[3]) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
}

void Zero3(double v[3]) { v[0] = v[1] = v[2] = 0.0; }

// Where the Sun stands relative to the barycentre, from the four giant planets on
// circular orbits in the ecliptic of J2000.0.
void SunBarycentricOffset(double jd, double pos[3], double vel[3]) {
    ApparentPlaceCache& cache = apparentPlaceCache;
    if (!cache.offsetValid || jd != cache.offsetJD) {
        const double ce = std::cos(kObliquityJ2000), se = std::sin(kObliquityJ2000);
        Zero3(cache.offsetPos);
        Zero3(cache.offsetVel);
        double lambdas[4], sines[4], cosines[4];
        for (int i = 0; i < 4; ++i)
            lambdas[i] = FmodTurn(kGiants[i].longitude + kGiants[i].motion * (jd - kJ2000));
        SeriesSinCosArray(lambdas, sines, cosines, 4);
        for (int i = 0; i < 4; ++i) {
            const GiantPlanet& g = kGiants[i];
            const double f = 1.0 / (g.massRatio * kMassFactor);
            const double sl = sines[i], cl = cosines[i];
            cache.offsetPos[0] += f * g.axis * cl;
            cache.offsetPos[1] += f * g.axis * sl * ce;
            cache.offsetPos[2] += f * g.axis * sl * se;
            cache.offsetVel[0] -= f * g.axis * g.motion * sl;
            cache.offsetVel[1] += f * g.axis * g.motion * cl * ce;
            cache.offsetVel[2] += f * g.axis * g.motion * cl * se;
        }
        cache.offsetJD = jd;
        cache.offsetValid = true;
    }
    Copy(cache.offsetPos, pos);
    Copy(cache.offsetVel, vel);
}

constexpr double kSunSeriesUnitsPerDay = 2.737850787132101e-7;  // 10000 Julian years
constexpr int kSunTermCount = sizeof kSunTerms / sizeof kSunTerms[0];

// The solar series' longitude and distance sums at u (units of 10000 Julian years from
// J2000.0); with `around` also at the instants 0.1 day before and after, in slots 0 and 2.
// There every argument is the middle one turned by the term's motion in 0.1 day, so the
// three instants cost one sine and cosine per term.
struct SunSeriesSums {
    double longitude[3] = {}, distance[3] = {};
};

typedef double Pair __attribute__((vector_size(16)));
constexpr int kSunTermPairs = (kSunTermCount + 1) / 2;

// The series by columns, two terms to a pair (the last pair padded with a zero term), with
// the amplitudes already turned by 0.1 day's motion: A sin(x -+ d) = (A cos d) sin x -+
// (A sin d) cos x, B cos(x -+ d) = (B cos d) cos x +- (B sin d) sin x.
struct SunSeriesColumns {
    double phase[2 * kSunTermPairs], frequency[2 * kSunTermPairs];
    Pair longitude[kSunTermPairs], distance[kSunTermPairs];
    Pair longitudeCos[kSunTermPairs], longitudeSin[kSunTermPairs];
    Pair distanceCos[kSunTermPairs], distanceSin[kSunTermPairs];
};

const SunSeriesColumns& SunColumns() {
    static const SunSeriesColumns columns = [] {
        SunSeriesColumns t{};
        for (int i = 0; i < kSunTermCount; ++i) {
            const SunTerm& term = kSunTerms[i];
            const double angle = term.frequency * (0.1 * kSunSeriesUnitsPerDay);
            const double c = std::cos(angle), s = std::sin(angle);
            const int k = i / 2, lane = i % 2;
            t.phase[i] = term.phase;
            t.frequency[i] = term.frequency;
            t.longitude[k][lane] = term.longitude;
            t.distance[k][lane] = term.distance;
            t.longitudeCos[k][lane] = term.longitude * c;
            t.longitudeSin[k][lane] = term.longitude * s;
            t.distanceCos[k][lane] = term.distance * c;
            t.distanceSin[k][lane] = term.distance * s;
        }
        return t;
    }();
    return columns;
}

SunSeriesSums SumSunSeries(double u, bool around) {
    const SunSeriesColumns& columns = SunColumns();
    constexpr int n = 2 * kSunTermPairs;
    alignas(16) double args[n], sines[n], cosines[n];
    for (int i = 0; i < n; ++i) args[i] = columns.phase[i] + columns.frequency[i] * u;
    SeriesSinCosArray(args, sines, cosines, n);
    const Pair* s = reinterpret_cast<const Pair*>(sines);
    const Pair* c = reinterpret_cast<const Pair*>(cosines);
    SunSeriesSums sums;
    Pair l = {}, r = {};
    if (!around) {
        for (int k = 0; k < kSunTermPairs; ++k) {
            l += columns.longitude[k] * s[k];
            r += columns.distance[k] * c[k];
        }
        sums.longitude[1] = l[0] + l[1];
        sums.distance[1] = r[0] + r[1];
        return sums;
    }
    Pair lc = {}, ls = {}, rc = {}, rs = {};
    for (int k = 0; k < kSunTermPairs; ++k) {
        l += columns.longitude[k] * s[k];
        r += columns.distance[k] * c[k];
        lc += columns.longitudeCos[k] * s[k];
        ls += columns.longitudeSin[k] * c[k];
        rc += columns.distanceCos[k] * c[k];
        rs += columns.distanceSin[k] * s[k];
    }
    const double sinPart = lc[0] + lc[1], cosPart = ls[0] + ls[1];
    const double cosTerm = rc[0] + rc[1], sinTerm = rs[0] + rs[1];
    sums.longitude[0] = sinPart - cosPart;
    sums.longitude[1] = l[0] + l[1];
    sums.longitude[2] = sinPart + cosPart;
    sums.distance[0] = cosTerm + sinTerm;
    sums.distance[1] = r[0] + r[1];
    sums.distance[2] = cosTerm - sinTerm;
    return sums;
}

// The Sun's ecliptic longitude (0 to 2 pi) and distance, and the mean obliquity, at the TDB
// Julian day jd from its series' sums there.
struct SunEcliptic {
    double longitude, distance, obliquity;
};

SunEcliptic SunEclipticFromSums(double jd, double sumL, double sumR) {
    const double u = (jd - kJ2000) * kSunSeriesUnitsPerDay;
    double lambda = FmodTurn(4.9353929 + 62833.196168 * u + 1e-7 * sumL);
    if (lambda < 0) lambda += kTwoPi;
    const double t = 100.0 * u;
    return {lambda, 1.0001026 + 1e-7 * sumR,
            (84381.448 + t * (-46.815 + t * (-0.00059 + 0.001813 * t))) * kArcsecToRad};
}

// The Sun's geocentric place at the TDB Julian day jd from its series' sums there.
void SunPlace(double jd, double sumL, double sumR, double* ra, double* dec, double* distance) {
    const SunEcliptic sun = SunEclipticFromSums(jd, sumL, sumR);
    *distance = sun.distance;
    const double angles[2] = {sun.longitude, sun.obliquity};
    double sines[2], cosines[2];
    SeriesSinCosArray(angles, sines, cosines, 2);
    const double sl = sines[0];
    double raDeg = std::atan2(cosines[1] * sl, cosines[0]) * kRadToDeg;
    if (raDeg < 0) raDeg += 360.0;
    if (raDeg >= 360.0) raDeg -= 360.0;
    *ra = raDeg / 15.0;
    *dec = std::asin(sines[1] * sl) * kRadToDeg;
}

// The Earth's heliocentric positions, J2000.0 equator, at the TDB Julian days jd - 0.1, jd
// and jd + 0.1 from the solar series' sums there, with the sines and cosines of the three
// instants' angles in one batch. The middle one is the Sun's place turned back to the Earth
// exactly as a caller of SunEphemeris and RaDecToVector gets it, to the last bit. The outer
// two only make the velocity: for them the Sun's place is the ecliptic direction
// (cos l, sin l cos e, sin l sin e), the vector its right ascension and declination
// describe, without the round trip through them.
void EarthFromSun(double jd, const SunSeriesSums& sums, double p[3][3]) {
    constexpr int kInstants = 3;
    // The outer instants' longitudes and obliquities, then zeta, z and theta of each instant.
    constexpr int kPrecession = 4;
    double angles[kPrecession + 3 * kInstants], sines[kPrecession + 3 * kInstants],
        cosines[kPrecession + 3 * kInstants];
    double distance[kInstants];
    for (int k = 0; k < kInstants; ++k) {
        const double at = jd + 0.1 * (k - 1);
        PrecessionAngles(at, kJ2000, angles + kPrecession + 3 * k);
        if (k == 1) continue;
        const SunEcliptic sun = SunEclipticFromSums(at, sums.longitude[k], sums.distance[k]);
        distance[k] = sun.distance;
        angles[k / 2] = sun.longitude;
        angles[2 + k / 2] = sun.obliquity;
    }
    SeriesSinCosArray(angles, sines, cosines, kPrecession + 3 * kInstants);
    for (int k = 0; k < kInstants; ++k) {
        double v[3];
        if (k == 1) {
            double ra, dec;
            SunPlace(jd, sums.longitude[1], sums.distance[1], &ra, &dec, &distance[1]);
            RaDecToVector(ra, dec, distance[1], v);
        } else {
            const double sl = sines[k / 2], se = sines[2 + k / 2], ce = cosines[2 + k / 2];
            v[0] = distance[k] * cosines[k / 2];
            v[1] = distance[k] * (sl * ce);
            v[2] = distance[k] * (sl * se);
        }
        double R[3][3];
        PrecessionRotationOf(sines + kPrecession + 3 * k, cosines + kPrecession + 3 * k, R);
        for (int i = 0; i < 3; ++i) p[k][i] = -(R[i][0] * v[0] + R[i][1] * v[1] + R[i][2] * v[2]);
    }
}

// The Earth's heliocentric position and velocity from three solar places 0.1 day apart.
// The barycentric and the heliocentric state of one instant both start from it, so it is
// kept for the last instant asked for.
void EarthHeliocentricState(double jd, double pos[3], double vel[3]) {
    ApparentPlaceCache& cache = apparentPlaceCache;
    if (!cache.earthSeriesValid || jd != cache.earthSeriesJD) {
        const SunSeriesSums sums = SumSunSeries((jd - kJ2000) * kSunSeriesUnitsPerDay, true);
        double p[3][3];
        EarthFromSun(jd, sums, p);
        for (int i = 0; i < 3; ++i) {
            cache.earthSeriesPos[i] = p[1][i];
            cache.earthSeriesVel[i] = (p[2][i] - p[0][i]) * 5.0;
        }
        cache.earthSeriesJD = jd;
        cache.earthSeriesValid = true;
        ++cache.earthSeriesEvaluations;
    }
    Copy(cache.earthSeriesPos, pos);
    Copy(cache.earthSeriesVel, vel);
}

// The observer's barycentric position and velocity and heliocentric position.
struct Observer {
    double tdb;
    double baryPos[3], baryVel[3], helioPos[3];
};

// Deflection, aberration, precession and nutation of a geocentric (or topocentric)
// vector, then its right ascension and declination of date.
void FinishPlace(const Observer& obs, const double geo[3], double lightTime, double* ra, double* dec) {
    double deflected[3], aberrated[3], nutated[3];
    SolarDeflection(geo, obs.helioPos, deflected);
    ApplyAberration(deflected, obs.baryVel, lightTime, aberrated);
    J2000ToTrueOfDate(obs.tdb, aberrated, nutated);
    VectorToRaDec(nutated, ra, dec);
}

// The place of a catalog star for an observer.
void StarPlace(const Observer& obs, const CatalogStar& star, double* ra, double* dec) {
    double pos[3], vel[3], moved[3], geo[3], lightTime;
    StarToVectors(star, pos, vel);
    ApplyProperMotion(kJ2000, pos, vel, obs.tdb, moved);
    BarycentricToGeocentric(moved, obs.baryPos, geo, &lightTime);
    FinishPlace(obs, geo, lightTime, ra, dec);
}

// Light-time iterations: the solution settles in three or four; more means the body's
// motion does not let it converge, and the last one is as good as any.
constexpr int kMaxLightTimeIterations = 10;

// The place of a body for an observer, from its barycentric position at the observer's
// instant; gives the first (geometric) and the last light time. Returns the ephemeris
// code.
//
// A major body is looked up once, at the first emission time; the later iterations move
// that place along the body's velocity. They move it by the change of the light time, a
// few millionths of a day, where the body's acceleration and the theory's short-period
// terms shift the place by less than 1e-12 AU.
int BodyPlace(const Observer& obs, const SolarSystemBody& body, const double posNow[3], const double velNow[3],
              double* ra, double* dec, double* firstLightTime, double* lightTime) {
    double pos[3], vel[3], geo[3], tau;
    BarycentricToGeocentric(posNow, obs.baryPos, geo, &tau);
    *firstLightTime = tau;
    double t3 = obs.tdb - tau;
    double looked = 0.0, lookedPos[3] = {}, lookedVel[3] = {};
    for (int i = 0; i < kMaxLightTimeIterations; ++i) {
        const double t2 = t3;
        if (i == 0 || body.type != 0) {
            const int r = BodyEphemeris(t2, body, 0, pos, vel);
            if (r != 0) return r;
            looked = t2;
            Copy(pos, lookedPos);
            Copy(vel, lookedVel);
            // The theory's velocity leaves out the slow change of its periodic terms; the
            // chord from the observer's instant holds it. Take the chord's excess over the
            // mean of the two velocities at its ends as the part left out.
            if (i == 0 && t2 != obs.tdb) {
                const double span = 1.0 / (t2 - obs.tdb);
                for (int k = 0; k < 3; ++k)
                    lookedVel[k] += (pos[k] - posNow[k]) * span - 0.5 * (vel[k] + velNow[k]);
            }
        } else {
            // The code the ephemeris would give on leaving its range.
            if (!(t2 >= kEphemerisFirstJD && t2 <= kEphemerisLastJD)) return 11;
            for (int k = 0; k < 3; ++k) pos[k] = lookedPos[k] + lookedVel[k] * (t2 - looked);
        }
        BarycentricToGeocentric(pos, obs.baryPos, geo, &tau);
        t3 = obs.tdb - tau;
        if (std::abs(t3 - t2) <= 1e-8) break;
    }
    *lightTime = tau;
    if (!(Norm(geo) > 0.0)) {
        // The observer's own body: no direction to give.
        *ra = 0.0;
        *dec = 0.0;
        return 0;
    }
    FinishPlace(obs, geo, tau, ra, dec);
    return 0;
}

// Where a place is seen from: the geocentre (no site) or a site, with deltaT = TT − UT1 in
// seconds to turn the site with the Earth.
struct Viewpoint {
    const SiteInfo* site;
    double deltaT;
};

// The Earth's state, and for a site the site added to it.
int ObserverAt(double jd, const SolarSystemBody& earth, const Viewpoint& from, Observer* obs) {
    double helioVel[3];
    const int r = GetEarthState(jd, earth, &obs->tdb, obs->baryPos, obs->baryVel, obs->helioPos, helioVel);
    if (r != 0 || from.site == nullptr) return r;
    const double ujd = jd - from.deltaT / 86400.0;
    double ee, gst;
    ComputeEarthTilt(obs->tdb, nullptr, nullptr, &ee, nullptr, nullptr);
    SiderealTimeOfJD(ujd, 0.0, ee, &gst);
    double o[3], ov[3], mean[3], meanVel[3], oJ2000[3], ovJ2000[3];
    ObserverGeocentricVector(*from.site, gst, o, ov);
    NutateVector(obs->tdb, 1, o, mean);
    NutateVector(obs->tdb, 1, ov, meanVel);
    Precession(obs->tdb, mean, kJ2000, oJ2000);
    Precession(obs->tdb, meanVel, kJ2000, ovJ2000);
    for (int i = 0; i < 3; ++i) {
        obs->baryPos[i] += oJ2000[i];
        obs->baryVel[i] += ovJ2000[i];
        obs->helioPos[i] += oJ2000[i];
    }
    return 0;
}

// AppStar and TopoStar: ra and dec 0 on failure.
int StarPlaceFrom(double jd, const SolarSystemBody& earth, const Viewpoint& from, const CatalogStar& star,
                  double* ra, double* dec) {
    Observer obs;
    const int r = ObserverAt(jd, earth, from, &obs);
    if (r != 0) {
        *ra = 0.0;
        *dec = 0.0;
        return r;
    }
    StarPlace(obs, star, ra, dec);
    return 0;
}

void ZeroPlanetOutputs(double* ra, double* dec, double* distance, double* d1, double* d2) {
    *ra = 0.0;
    *dec = 0.0;
    *distance = 0.0;
    if (d1) *d1 = 0.0;
    if (d2) *d2 = 0.0;
}

// AppPlanet and TopoPlanet. From the geocentre the distance is the light-time distance and
// observerDistance the Earth's distance from the Sun; from a site the distance is the
// geometric one at the instant and observerDistance the site's distance from the
// barycentre.
int PlanetPlaceFrom(double jd, const SolarSystemBody& body, const SolarSystemBody& earth, const Viewpoint& from,
                    double* ra, double* dec, double* distance, double* bodyDistance, double* observerDistance) {
    Observer obs;
    int r = ObserverAt(jd, earth, from, &obs);
    if (r != 0) {
        ZeroPlanetOutputs(ra, dec, distance, bodyDistance, observerDistance);
        return r + 10;
    }
    double pos[3], vel[3];
    r = BodyEphemeris(obs.tdb, body, 0, pos, vel);
    if (r != 0) {
        ZeroPlanetOutputs(ra, dec, distance, bodyDistance, observerDistance);
        return r;
    }
    double firstLightTime, lightTime;
    r = BodyPlace(obs, body, pos, vel, ra, dec, &firstLightTime, &lightTime);
    if (r != 0) {
        ZeroPlanetOutputs(ra, dec, distance, bodyDistance, observerDistance);
        return r;
    }
    const bool fromSite = from.site != nullptr;
    *distance = (fromSite ? firstLightTime : lightTime) * kLightAuPerDay;
    if (bodyDistance) *bodyDistance = Norm(pos);
    if (observerDistance) *observerDistance = Norm(fromSite ? obs.baryPos : obs.helioPos);
    return 0;
}

}  // namespace

SiteInfo SiteInfoOf(const ObserverLocation& site) {
    SiteInfo info;
    info.latitude = site.latitude;
    info.longitude = -site.longitude;
    info.height = site.height;
    info.temperature = site.temperature;
    info.pressure = site.pressure;
    return info;
}

int SetBody(int type, int number, const char* name, SolarSystemBody* body) {
    body->type = 0;
    body->number = 0;
    std::snprintf(body->name, sizeof body->name, "  ");
    if (type < 0 || type > 1) return 1;
    body->type = static_cast<std::int16_t>(type);
    if ((type == 0 && (number < 1 || number > 11)) || (type == 1 && number < 1)) return 2;
    body->number = static_cast<std::int16_t>(number);
    std::snprintf(body->name, sizeof body->name, "%s", name ? name : "");
    return 0;
}

int SolarSystemEphemeris(double jd, int number, int origin, double pos[3], double vel[3]) {
    if (!(jd >= kEphemerisFirstJD && jd <= kEphemerisLastJD)) return 1;
    if (number == kSun) {
        Zero3(pos);
        Zero3(vel);
    } else if (number == kEarth) {
        EarthHeliocentricState(jd, pos, vel);
    } else {
        // The planetary theory carries Mercury to Neptune only.
        if (number < kMercury || number > kNeptune) return 2;
        double pv[6];
        if (PlanetHeliocentricPV(jd, 0.0, number - 1, pv) != kPlanetOk) return 2;
        for (int i = 0; i < 3; ++i) {
            pos[i] = pv[i];
            vel[i] = pv[i + 3];
        }
    }
    if (origin == 1) return 0;
    double offsetPos[3], offsetVel[3];
    SunBarycentricOffset(jd, offsetPos, offsetVel);
    for (int i = 0; i < 3; ++i) {
        pos[i] -= offsetPos[i];
        vel[i] -= offsetVel[i];
    }
    return 0;
}

const double* MinorPlanetEphemeris(int, const char*, double, int* error) {
    static const double none[6] = {};
    if (error) *error = 9;
    return none;
}

int BodyEphemeris(double jd, const SolarSystemBody& body, int origin, double pos[3], double vel[3]) {
    if (origin < 0 || origin > 1) return 1;
    if (body.type == 0) {
        const int r = SolarSystemEphemeris(jd, body.number, origin, pos, vel);
        return r == 0 ? 0 : r + 10;
    }
    if (body.type == 1) {
        int error = 0;
        const double* pv = MinorPlanetEphemeris(body.number, body.name, jd, &error);
        if (error != 0) return 20 + error;
        for (int i = 0; i < 3; ++i) {
            pos[i] = pv[i];
            vel[i] = pv[i + 3];
        }
        return 0;
    }
    return 2;
}

void TdbMinusTt(double jd, double* ttJd, double* seconds) {
    const double d = jd - kJ2000;
    auto arcsecAngle = [](double degrees) {
        return ExactFmod(degrees * 3600.0, 1296000.0, 0.0) * kArcsecToRad;
    };
    const double M = arcsecAngle(357.51716 + 0.985599987 * d);
    const double L = arcsecAngle(280.46435 + 0.9856091 * d);
    const double LJ = arcsecAngle(34.40438 + 0.083086762 * d);
    const double E = M + 0.01671022 * std::sin(M) + 0.00013961572622420002 * std::sin(2.0 * M);
    const double s = 0.001658 * std::sin(E) + 0.00002073 * std::sin(L - LJ);
    if (seconds) *seconds = s;
    if (ttJd) *ttJd = jd - s / 86400.0;
}

int GetEarthState(double jd, const SolarSystemBody& earth, double* tdb, double baryPos[3],
                  double baryVel[3], double helioPos[3], double helioVel[3]) {
    ApparentPlaceCache& cache = apparentPlaceCache;
    if (!cache.earthValid || jd != cache.earthJD || earth.number != cache.earthNumber) {
        cache.earthValid = false;
        double seconds;
        TdbMinusTt(jd, nullptr, &seconds);
        const double t = jd + seconds / 86400.0;
        int r = SolarSystemEphemeris(t, earth.number, 0, cache.earthBaryPos, cache.earthBaryVel);
        if (r == 0) r = SolarSystemEphemeris(t, earth.number, 1, cache.earthHelioPos, cache.earthHelioVel);
        if (r != 0) return r;
        cache.earthTdb = t;
        cache.earthJD = jd;
        cache.earthNumber = earth.number;
        cache.earthValid = true;
        ++cache.earthEvaluations;
    }
    *tdb = cache.earthTdb;
    Copy(cache.earthBaryPos, baryPos);
    Copy(cache.earthBaryVel, baryVel);
    Copy(cache.earthHelioPos, helioPos);
    Copy(cache.earthHelioVel, helioVel);
    return 0;
}

void SunEphemeris(double jd, double* ra, double* dec, double* distance) {
    const SunSeriesSums sums = SumSunSeries((jd - kJ2000) * kSunSeriesUnitsPerDay, false);
    SunPlace(jd, sums.longitude[1], sums.distance[1], ra, dec, distance);
}

void StarToVectors(const CatalogStar& star, double pos[3], double vel[3]) {
    const double p = star.parallax <= 0.0 ? 1e-7 : star.parallax;
    const double r = 206264.80624709636 / p;
    const double a = star.ra * 15.0 * kDegToRad, d = star.dec * kDegToRad;
    const double sa = std::sin(a), ca = std::cos(a), sd = std::sin(d), cd = std::cos(d);
    pos[0] = r * cd * ca;
    pos[1] = r * cd * sa;
    pos[2] = r * sd;
    const double muA = star.pmRa * 15.0 * cd / (p * 36525.0);
    const double muD = star.pmDec / (p * 36525.0);
    const double v = star.radialVelocity * kKmPerSecToAuPerDay;
    vel[0] = -muA * sa - muD * sd * ca + v * cd * ca;
    vel[1] = muA * ca - muD * sd * sa + v * cd * sa;
    vel[2] = muD * cd + v * sd;
}

void ApplyProperMotion(double jd1, const double pos[3], const double vel[3], double jd2, double out[3]) {
    for (int i = 0; i < 3; ++i) out[i] = pos[i] + vel[i] * (jd2 - jd1);
}

void BarycentricToGeocentric(const double pos[3], const double observerPos[3], double out[3], double* lightTime) {
    for (int i = 0; i < 3; ++i) out[i] = pos[i] - observerPos[i];
    *lightTime = Norm(out) * kLightDaysPerAu;
}

void SolarDeflection(const double pos[3], const double observerHelio[3], double out[3]) {
    const double pm = Norm(pos), em = Norm(observerHelio);
    if (!(pm > 0.0) || !(em > 0.0)) {
        Copy(pos, out);
        return;
    }
    double pu[3], eu[3];
    for (int i = 0; i < 3; ++i) {
        pu[i] = pos[i] / pm;
        eu[i] = observerHelio[i] / em;
    }
    const double cosd = -(eu[0] * pu[0] + eu[1] * pu[1] + eu[2] * pu[2]);
    if (std::abs(cosd) > 0.9999999999) {
        Copy(pos, out);
        return;
    }
    const double sind = std::sqrt(1.0 - cosd * cosd);
    const double b = em * sind;
    const double bm = b * kAuMetres;
    const double q = std::sqrt(pm * pm + em * em - 2.0 * pm * em * cosd);
    const double z1 = em * cosd;
    const double z0 = z1 - pm;
    const double xi1 = z1 / b, xi0 = z0 / b;
    const double dphi = kTwiceSunGM / (bm * kLightSquared) *
                        (xi1 / std::sqrt(1.0 + xi1 * xi1) - xi0 / std::sqrt(1.0 + xi0 * xi0));
    const double dphi1 = dphi / (1.0 + em / q);
    const double f = dphi1 * pm / sind;
    for (int i = 0; i < 3; ++i) out[i] = pos[i] + f * (cosd * pu[i] + eu[i]);
}

void ApplyAberration(const double pos[3], const double observerVel[3], double lightTime, double out[3]) {
    double pm;
    if (lightTime == 0.0) {
        pm = Norm(pos);
        lightTime = pm * kLightDaysPerAu;
    } else {
        pm = lightTime * kLightAuPerDay;
    }
    const double vm = Norm(observerVel);
    if (!(pm > 0.0) || !(vm > 0.0)) {
        Copy(pos, out);
        return;
    }
    const double beta = vm * kLightDaysPerAu;
    const double cosd = (pos[0] * observerVel[0] + pos[1] * observerVel[1] + pos[2] * observerVel[2]) / (pm * vm);
    const double gammaInv = std::sqrt(1.0 - beta * beta);
    const double P = beta * cosd;
    const double Q = (1.0 + P / (1.0 + gammaInv)) * lightTime;
    const double R = 1.0 + P;
    for (int i = 0; i < 3; ++i) out[i] = (gammaInv * pos[i] + Q * observerVel[i]) / R;
}

int VectorToRaDec(const double pos[3], double* ra, double* dec) {
    const double xy2 = pos[0] * pos[0] + pos[1] * pos[1];
    if (xy2 > 0.0) {
        double r = std::atan2(pos[1], pos[0]) * kRadToHours;
        if (r < 0) r += 24.0;
        if (r >= 24.0) r -= 24.0;
        *ra = r;
        *dec = std::atan2(pos[2], std::sqrt(xy2)) * kRadToDeg;
        return 0;
    }
    *ra = 0.0;
    if (pos[2] == 0.0) {
        *dec = 0.0;
        return 1;
    }
    *dec = pos[2] > 0.0 ? 90.0 : -90.0;
    return 2;
}

void RaDecToVector(double ra, double dec, double distance, double pos[3]) {
    const double angles[2] = {ra * 15.0 * kDegToRad, dec * kDegToRad};
    double s[2], c[2];
    SeriesSinCosArray(angles, s, c, 2);
    pos[0] = distance * c[1] * c[0];
    pos[1] = distance * c[1] * s[0];
    pos[2] = distance * s[1];
}

void SiderealTimeOfJD(double jdHigh, double jdLow, double equationOfEquinoxes, double* gst) {
    const double tH = (jdHigh - kJ2000) / 36525.0;
    const double tL = jdLow / 36525.0;
    const double t = tH + tL;
    const double seconds = equationOfEquinoxes - 6.2e-6 * t * t * t + 0.093104 * t * t + 67310.54841 +
                           8640184.812866 * tL + 3155760000.0 * tL + 8640184.812866 * tH + 3155760000.0 * tH;
    double g = ExactFmod(seconds / 3600.0, 24.0, 0.0);
    if (g < 0) g += 24.0;
    *gst = g;
}

void ObserverGeocentricVector(const SiteInfo& site, double gst, double pos[3], double vel[3]) {
    const double phi = site.latitude * kDegToRad;
    const double sf = std::sin(phi), cf = std::cos(phi);
    const double f2 = kEarthAxisRatio * kEarthAxisRatio;
    const double C = 1.0 / std::sqrt(cf * cf + f2 * sf * sf);
    const double S = f2 * C;
    const double h = site.height / 1000.0;
    const double ach = kEarthRadiusKm * C + h;
    const double ash = kEarthRadiusKm * S + h;
    const double theta = (gst * 15.0 + site.longitude) * kDegToRad;
    const double st = std::sin(theta), ct = std::cos(theta);
    pos[0] = ach * cf * ct * kAuPerKm;
    pos[1] = ach * cf * st * kAuPerKm;
    pos[2] = ash * sf * kAuPerKm;
    vel[0] = -kEarthRotation * ach * cf * st * kKmPerSecToAuPerDay;
    vel[1] = kEarthRotation * ach * cf * ct * kKmPerSecToAuPerDay;
    vel[2] = 0.0;
}

int AppStar(double jd, const SolarSystemBody& earth, const CatalogStar& star, double* ra, double* dec) {
    return StarPlaceFrom(jd, earth, Viewpoint{nullptr, 0.0}, star, ra, dec);
}

int AppPlanet(double jd, const SolarSystemBody& body, const SolarSystemBody& earth, double* ra,
              double* dec, double* distance, double* bodyDistance, double* earthSunDistance) {
    return PlanetPlaceFrom(jd, body, earth, Viewpoint{nullptr, 0.0}, ra, dec, distance, bodyDistance,
                           earthSunDistance);
}

int TopoStar(double jd, const SolarSystemBody& earth, double deltaT, const CatalogStar& star,
             const SiteInfo& site, double* ra, double* dec) {
    return StarPlaceFrom(jd, earth, Viewpoint{&site, deltaT}, star, ra, dec);
}

int TopoPlanet(double jd, const SolarSystemBody& body, const SolarSystemBody& earth, double deltaT,
               const SiteInfo& site, double* ra, double* dec, double* distance, double* bodyDistance,
               double* observerDistance) {
    return PlanetPlaceFrom(jd, body, earth, Viewpoint{&site, deltaT}, ra, dec, distance, bodyDistance,
                           observerDistance);
}

void ResetApparentPlaceCaches() { apparentPlaceCache = ApparentPlaceCache{}; }
