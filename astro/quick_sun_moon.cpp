#include "astro/quick_sun_moon.h"
#include "astro/quick_sun_moon_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/angle_units.h"
#include "astro/numerical_tools.h"
#include "astro/planetary_theory.h"
#include "astro/precession_nutation.h"
#include "astro/time_scales.h"
#include "core/report.h"
#include "core/settings.h"
#include "core/number_text.h"
#include "theories/moon_series.h"
#include "theories/series_trig.h"
#include "theories/sun_series.h"

InterpolationTable sunTable{};
InterpolationTable moonTable{};

namespace {
constexpr double kPerCentury = 2.7378507871321012e-5;  // 1 / 36525
constexpr double kJD1900 = 2415020.0;
constexpr double kAberration = 0.005691611111111111;  // 20.4898" in degrees
constexpr double kAUkm = 149597870.0;

// Julian day of terrestrial time for a local civil time in the site's zone.
double LocalToTerrestrialJD(const ObserverLocation& site, double deltaT, int year, int month, int day, int hour,
                            int minute, int second) {
    return DateTimeToJD(year, month, day, hour, minute, second, site.zoneMinutes) + deltaT / 86400.0;
}

// ---------------------------------------------------------------------------------------
// The short lunar series.

// Multiples of D, M, M', F, whether the term carries E, and the coefficients.
struct LunarTerm {
    signed char d, m, mp, f;
    bool e;
    double a;  // longitude (1e-6 degree) or latitude (1e-6 degree)
    double r;  // distance (metres)
};

constexpr LunarTerm kLongitudeDistanceTerms[] = {
    {0, 0, 1, 0, false, 6288763.889, -20904633.237},
    {2, 0, -1, 0, false, 1276428.849, -3705417.385},
    {2, 0, 0, 0, false, 660240.94, -2964633.961},
    {0, 0, 2, 0, false, 213610.419, -569885.876},
    {0, 1, 0, 0, true, -185267.373, 48998.34},
    {0, 0, 0, 2, false, -114329.451, 0.0},
    {2, 0, -2, 0, false, 58793.019, 246638.316},
    {2, -1, -1, 0, true, 57067.542, -152399.56},
    {2, 0, 1, 0, false, 53321.042, -171229.07},
    {2, -1, 0, 0, true, 45759.606, -205251.95},
    {0, 1, -1, 0, true, -40924.039, 0.0},
    {1, 0, 0, 0, false, -34718.906, 108977.756},
    {0, 1, 1, 0, true, -30384.497, 104975.467},
    {2, 0, 0, -2, false, 15327.225, 0.0},
    {0, 0, 1, 2, false, -12527.867, 0.0},
    {0, 0, 1, -2, false, 10981.647, 79625.885},
    {4, 0, -1, 0, false, 10674.928, 0.0},
    {0, 0, 3, 0, false, 10034.344, 0.0},
    {0, 1, -2, 0, true, 0.0, -129937.037},
};

constexpr LunarTerm kLatitudeTerms[] = {
    {0, 0, 0, 1, false, 5128122, 0},  {0, 0, 1, 1, false, 280602, 0},
    {0, 0, 1, -1, false, 277693, 0},  {2, 0, 0, -1, false, 173237, 0},
    {2, 0, -1, 1, false, 55413, 0},   {2, 0, -1, -1, false, 46271, 0},
    {2, 0, 0, 1, false, 32573, 0},    {0, 0, 2, 1, false, 17198, 0},
    {2, 0, 1, -1, false, 9266, 0},    {0, 0, 2, -1, false, 8822, 0},
    {2, -1, 0, -1, true, 8216, 0},    {2, 0, -2, -1, false, 4324, 0},
    {2, 0, 1, 1, false, 4200, 0},     {2, 0, 1, -1, true, -3359, 0},
};

struct ShortLunarSeries {
    double longitude;   // radians
    double latitude;    // radians
    double sumR;        // metres
};

ShortLunarSeries EvaluateShortLunarSeries(double T) {
    const double T2 = T * T;
    const double Lp = FmodDegrees(218.3164591 + 481267.88134236 * T - 0.0015786 * T2);
    const double D = FmodDegrees(297.8502042 + 445267.1115168 * T - 0.0018819 * T2) * kDegToRad;
    const double M = FmodDegrees(357.5291092 + 35999.0502909 * T - 0.0001536 * T2) * kDegToRad;
    const double Mp = FmodDegrees(134.9634114 + 477198.8676313 * T - 0.008997 * T2) * kDegToRad;
    const double F = FmodDegrees(93.272095 + 483202.0175233 * T - 0.0036539 * T2) * kDegToRad;
    const double E = 1.0 - 0.002516 * T;

    double sumL = 0.0, sumR = 0.0, sumB = 0.0;
    for (const LunarTerm& t : kLongitudeDistanceTerms) {
        const double arg = t.d * D + t.m * M + t.mp * Mp + t.f * F;
        const double scale = t.e ? E : 1.0;
        sumL += scale * t.a * std::sin(arg);
        sumR += scale * t.r * std::cos(arg);
    }
    for (const LunarTerm& t : kLatitudeTerms) {
        const double arg = t.d * D + t.m * M + t.mp * Mp + t.f * F;
        sumB += (t.e ? E : 1.0) * t.a * std::sin(arg);
    }
    ShortLunarSeries s;
    s.longitude = (Lp + FmodDegrees(sumL * 0.000001)) * kDegToRad;
    s.latitude = sumB * 1.7453292519943298e-8;
    s.sumR = sumR;
    return s;
}

// Right ascension (radians, [0, 2pi)) and declination of an ecliptic place.
void EclipticToEquatorial(double lon, double lat, double eps, double* ra, double* dec) {
    const double angles[3] = {lon, lat, eps};
    double sines[3], cosines[3];
    SeriesSinCosArray(angles, sines, cosines, 3);
    const double sinLon = sines[0], cosLon = cosines[0];
    const double sinLat = sines[1], cosLat = cosines[1];
    const double sinEps = sines[2], cosEps = cosines[2];
    double a = std::atan2(sinLon * cosEps - sinLat / cosLat * sinEps, cosLon);
    if (a < 0.0) a += kTwoPi;
    *ra = a;
    *dec = std::asin(sinLat * cosEps + cosLat * sinEps * sinLon);
}

// True obliquity in radians from the nutation in obliquity (arc seconds).
double TrueObliquity(double T, double deps) {
    const double T2 = T * T;
    return (84381.448 - 46.815 * T - 0.00059 * T2 + 0.001813 * T2 * T + deps) * kArcsecToRad;
}

// ---------------------------------------------------------------------------------------
// Tables

void FreeTable(InterpolationTable& table) {
    for (double*& column : table.column) {
        std::free(column);
        column = nullptr;
    }
}

using SeriesFunction = void (*)(double, double*, double*, double*);

int BuildTable(InterpolationTable& table, SeriesFunction series, double t0, double step, double longitudeOffset) {
    FreeTable(table);
    for (double*& column : table.column) {
        column = static_cast<double*>(std::calloc(kTableNodes, sizeof(double)));
        if (column == nullptr) {
            FreeTable(table);
            return 0;
        }
    }
    for (int i = 0; i < kTableNodes; ++i) {
        ShowBusy(1);
        const double x = t0 + i * step;
        table.column[kTableAbscissa][i] = x;
        series(x, &table.column[kTableLongitude][i], &table.column[kTableLatitude][i],
               &table.column[kTableDistance][i]);
        table.column[kTableLongitude][i] += longitudeOffset;
    }
    PrepareInterpolation(kTableNodes, table.column[kTableAbscissa], table.column[kTableWeights]);
    HideBusy(1);
    return 1;
}

void InterpolateTable(const InterpolationTable& table, double T, double* longitude, double* latitude,
                      double* distance) {
    for (const double* column : table.column) {
        if (column == nullptr) return;
    }
    const double* xs = table.column[kTableAbscissa];
    *longitude = LagrangeInterpolate(T, kTableNodes, xs, nullptr, table.column[kTableLongitude]);
    *latitude = LagrangeInterpolate(T, kTableNodes, xs, nullptr, table.column[kTableLatitude]);
    *distance = LagrangeInterpolate(T, kTableNodes, xs, nullptr, table.column[kTableDistance]);
}

}  // namespace

// ---------------------------------------------------------------------------------------

void MoonPositionMap(double T, double* longitude, double* latitude, double* distance) {
    const ShortLunarSeries s = EvaluateShortLunarSeries(T);
    *longitude = s.longitude;
    *latitude = s.latitude;
    *distance = (385000.55 + s.sumR * 0.001) * 6.6845826851794845e-9;
}

void MoonPositionAt(const ObserverLocation& site, double deltaT, double* ra, double* dec, int year, int month,
                    int day, int hour, int minute, int second) {
    const double jd = LocalToTerrestrialJD(site, deltaT, year, month, day, hour, minute, second);
    const double T = (jd - kJ2000) * kPerCentury;
    const ShortLunarSeries s = EvaluateShortLunarSeries(T);

    const double eps = (84381.448 - 46.815 * T - 0.00059 * T * T) * kArcsecToRad;
    double alpha, delta;
    EclipticToEquatorial(s.longitude, s.latitude, eps, &alpha, &delta);

    // The constant is in metres and only the sum is scaled, so rho is about a thousand
    // times the distance in Earth radii and the site shifts the Moon by a thousandth of its
    // parallax: the place stays practically geocentric, as the rise and set limit wants.
    const double rho = (384999727.927 + s.sumR * 0.001) * 0.00015678552054360675;
    const double d = jd - kJ2000;
    const double theta =
        FmodDegrees(280.46061837 + 360.98564736629 * d + 0.000387933 * T * T - site.longitude) *
        kDegToRad;
    const double cosLat = site.cosLatitude;
    const double sinLat = site.sinLatitude;
    const double x = rho * std::cos(delta) * std::cos(alpha) - cosLat * std::cos(theta);
    const double y = rho * std::cos(delta) * std::sin(alpha) - cosLat * std::sin(theta);
    const double z = rho * std::sin(delta) - sinLat;
    double hours = std::atan2(y, x) * kRadToHours;
    if (hours < 0.0) hours += 24.0;
    *ra = hours;
    *dec = std::asin(z / std::sqrt(x * x + y * y + z * z)) * kRadToDeg;
}

void MoonPosition(double* ra, double* dec, int year, int month, int day, int hour, int minute, int second) {
    MoonPositionAt(observerLocation, GetDeltaT(year, month, day), ra, dec, year, month, day, hour, minute, second);
}

void SunPositionAt(const ObserverLocation& site, double deltaT, double* ra, double* dec, int year, int month,
                   int day, int hour, int minute, int second) {
    const double jd = LocalToTerrestrialJD(site, deltaT, year, month, day, hour, minute, second);
    const Sun1900Elements sun = ComputeSun1900((jd - kJD1900) * kPerCentury);
    const double eps = sun.obliquity * kDegToRad;
    const double lon = sun.trueLongitude * kDegToRad;
    double hours = std::atan2(std::sin(lon) * std::cos(eps), std::cos(lon)) * kRadToHours;
    if (hours < 0.0) hours += 24.0;
    *ra = hours;
    *dec = std::asin(std::sin(lon) * std::sin(eps)) * kRadToDeg;
}

void SunPosition(double* ra, double* dec, int year, int month, int day, int hour, int minute, int second) {
    SunPositionAt(observerLocation, GetDeltaT(year, month, day), ra, dec, year, month, day, hour, minute, second);
}

void SunPositionFull(FullPosition* record, double T) {
    double dpsi = 0.0, deps = 0.0;
    NutationAngles(T, &dpsi, &deps);
    const double eps = TrueObliquity(T, deps);
    double L, B, R;
    GetSunEclipticPosition(T, &L, &B, &R);
    L += (dpsi / 3600.0 - kAberration / R) * kDegToRad;
    EclipticToEquatorial(L, B, eps, &record->rightAscension, &record->declination);
    record->distance = R;
    record->illuminatedFraction = 1.0;
    record->magnitude = -24.6;
}

void MoonPositionFull(FullPosition* record, double T, double sunLongitude) {
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T;
    auto reduce = [](double degrees) {
        double r = FmodDegrees(degrees);
        if (r < 0.0) r += 360.0;
        return r * kDegToRad;
    };
    const double M = reduce(357.5291092 + 35999.0502909 * T - 0.0001536 * T2 + T3 * 4.083299305839118e-8);
    const double Mp = reduce(134.9633964 + 477198.8675055 * T + 0.0087414 * T2 + T3 * 1.4347408140719379e-5 -
                             T4 * 6.797172376291463e-8);

    double dpsi = 0.0, deps = 0.0;
    NutationAngles(T, &dpsi, &deps);
    const double eps = TrueObliquity(T, deps);
    double lambda, beta, distance;
    GetMoonEclipticPosition(T, &lambda, &beta, &distance);
    lambda += dpsi * kArcsecToRad;
    EclipticToEquatorial(lambda, beta, eps, &record->rightAscension, &record->declination);
    record->distance = distance;

    const double angles[4] = {beta, lambda - sunLongitude, Mp, M};
    double sines[4], cosines[4];
    SeriesSinCosArray(angles, sines, cosines, 4);
    const double cosPsi = std::clamp(cosines[0] * cosines[1], -1.0, 1.0);
    const double psi = std::acos(cosPsi) * kRadToDeg;
    const double i = 180.0 - psi -
                     0.1468 * (1.0 - 0.0549 * sines[2]) * std::sin(psi * kDegToRad) / (1.0 - 0.0167 * sines[3]);
    record->illuminatedFraction = (1.0 + std::cos(i * kDegToRad)) / 2.0;
    record->magnitude = -12.73 + 0.026 * std::fabs(i) + 0.000000004 * i * i * i * i;
    record->diameter = 7.169468e8 / (distance * kAUkm) / 60.0;
}

int ComputeSunMoonSeries(int body, double jd, double* longitude, double* latitude, double* distance) {
    const double T = (jd - kJ2000) * kPerCentury;
    double lon, lat, r;
    if (body == 0) {
        GetSunEclipticPosition(T, &lon, &lat, &r);
    } else if (body == 1) {
        GetMoonEclipticPosition(T, &lon, &lat, &r);
    } else if (body == 9) {
        PlutoHeliocentricOfDate(T, &lon, &lat, &r);
    } else if (body >= 2 && body <= 8) {
        // Planet numbers of the theory: Mercury, Venus, (Earth-Moon), Mars, Jupiter ...
        static constexpr int kTheoryPlanet[] = {0, 1, 3, 4, 5, 6, 7};
        double pv[6];
        if (PlanetHeliocentricPV(jd, 0.0, kTheoryPlanet[body - 2], pv) != kPlanetOk) return 0;
        // The theory is rectangular, equator and equinox J2000.0: precess to the equator of
        // date, turn onto the ecliptic of date and take the spherical place.
        double ofDate[3];
        Precession(kJ2000, pv, jd, ofDate);
        const double eps = GetMeanObliquity(T) * kDegToRad;
        const double x = ofDate[0];
        const double y = ofDate[1] * std::cos(eps) + ofDate[2] * std::sin(eps);
        const double z = -ofDate[1] * std::sin(eps) + ofDate[2] * std::cos(eps);
        lon = std::atan2(y, x);
        if (lon < 0.0) lon += kTwoPi;
        lat = std::atan2(z, std::hypot(x, y));
        r = std::sqrt(x * x + y * y + z * z);
    } else {
        return 0;
    }
    *longitude = FmodDegrees(lon * kRadToDeg);
    *latitude = FmodDegrees(lat * kRadToDeg);
    *distance = r;
    return 1;
}

void TopocentricPosition(double T, double* ra, double* dec, double* azimuth, double* altitude, double distance,
                         double longitudeWest, double latitude, double height) {
    const double T0 = (std::floor(36525.0 * T) + 0.5) / 36525.0;
    double dpsi = 0.0, deps = 0.0;
    NutationAngles(T, &dpsi, &deps);
    const double eps0 = GetMeanObliquity(T);
    double theta = 280.46061837 + 13185000.7700537 * T + 0.000387933 * T0 * T0 - T0 * T0 * T0 * 2.5833118057349522e-8 +
                   dpsi * std::cos((eps0 + deps / 3600.0) * kDegToRad) / 3600.0;
    theta = FmodDegrees(theta);
    while (theta < 0.0) theta += 360.0;

    const double localSidereal = theta - longitudeWest;
    double H = localSidereal - *ra * kRadToDeg;
    while (H < 0.0) H += 360.0;
    while (H >= 360.0) H -= 360.0;
    H *= kDegToRad;

    const double lat = latitude * kDegToRad;
    const double u = std::atan(0.99664719 * std::tan(lat));
    const double h = height * 1.5678552054360676e-7;
    const double rhoSin = 0.99664719 * std::sin(u) + h * std::sin(lat);
    const double rhoCos = std::cos(u) + h * std::cos(lat);
    const double sinPi =
        distance < 0.005 ? 6378.14 / (distance * kAUkm) : std::sin(4.263451511677261e-5 / distance);

    const double cosDec = std::cos(*dec);
    const double denominator = cosDec - rhoCos * sinPi * std::cos(H);
    const double dra = std::atan2(-rhoCos * sinPi * std::sin(H), denominator);
    const double decTopo = std::atan2((std::sin(*dec) - rhoSin * sinPi) * std::cos(dra), denominator);
    *ra += dra;
    *dec = decTopo;

    if (azimuth == nullptr || altitude == nullptr) return;
    const double Hp = (localSidereal - *ra * kRadToDeg) * kDegToRad;
    const double sinAlt = std::cos(Hp) * std::cos(decTopo) * std::cos(lat) + std::sin(decTopo) * std::sin(lat);
    const double alt = std::asin(std::clamp(sinAlt, -1.0, 1.0));
    const double cosAz = (std::sin(decTopo) - std::sin(alt) * std::sin(lat)) / (std::cos(alt) * std::cos(lat));
    double az = std::acos(std::clamp(cosAz, -1.0, 1.0)) * kRadToDeg;
    if (std::sin(Hp) > 0.0) az = 360.0 - az;
    *altitude = alt * kRadToDeg;
    *azimuth = az;
}

int BuildSunTable(double t0, double step, double longitudeOffset) {
    return BuildTable(sunTable, GetSunEclipticPosition, t0, step, longitudeOffset);
}

int BuildMoonTable(double t0, double step, double longitudeOffset) {
    return BuildTable(moonTable, GetMoonEclipticPosition, t0, step, longitudeOffset);
}

void InterpolateSun(double T, double* longitude, double* latitude, double* distance) {
    InterpolateTable(sunTable, T, longitude, latitude, distance);
}

void InterpolateMoon(double T, double* longitude, double* latitude, double* distance) {
    InterpolateTable(moonTable, T, longitude, latitude, distance);
}

void FreeSunTable() { FreeTable(sunTable); }
void FreeMoonTable() { FreeTable(moonTable); }
