#include "astro/planetary_theory.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/angle_units.h"
#include "astro/tables/plan94_tables.h"
#include "astro/tables/planets_1900_elements.h"
#include "astro/tables/pluto_terms.h"
#include "astro/separation.h"
#include "astro/time_scales.h"
#include "theories/series_trig.h"

namespace {

// ---------------------------------------------------------------------------------------
// Simon et al. (1994)

constexpr double kGaussK = 0.01720209895;
// Obliquity of J2000.0 (84381.448"), for the rotation to the equator.
constexpr double kSinObliquityJ2000 = 0.3977771559319137;
constexpr double kCosObliquityJ2000 = 0.9174820620691818;
constexpr int kMaxPlan94KeplerSteps = 10;

// Turns the sine and cosine of an angle on by a step: by the Taylor series of the step's
// sine and cosine when it is small (the first term left out is below 1e-19 up to 0.25),
// else afresh.
void TurnBy(double step, double* sine, double* cosine) {
    double s, c;
    if (std::fabs(step) <= 0.25) {
        const double z = step * step;
        s = step * (1.0 + z * (-1.0 / 6.0 + z * (1.0 / 120.0 + z * (-1.0 / 5040.0 + z * (1.0 / 362880.0 +
                                       z * (-1.0 / 39916800.0 + z * (1.0 / 6227020800.0)))))));
        c = 1.0 + z * (-0.5 + z * (1.0 / 24.0 + z * (-1.0 / 720.0 + z * (1.0 / 40320.0 +
                                       z * (-1.0 / 3628800.0 + z * (1.0 / 479001600.0))))));
    } else {
        SeriesSinCos(step, &s, &c);
    }
    const double sin0 = *sine, cos0 = *cosine;
    *sine = sin0 * c + cos0 * s;
    *cosine = cos0 * c - sin0 * s;
}

double Quadratic(const double c[3], double t) { return c[0] + (c[1] + c[2] * t) * t; }

// c0 in degrees, c1 and c2 in arc seconds.
double AngleQuadratic(const double c[3], double t) {
    return (3600.0 * c[0] + (c[1] + c[2] * t) * t) * kArcsecToRad;
}

// The distinct multiples k of mu that a body's periodic terms take the sine and cosine of,
// and for each term (the axis terms, then the longitude terms) where it finds its own: the
// two lists share most of theirs, so each is worked out once.
constexpr int kPlan94Terms = kPlan94AxisTermCount + kPlan94LongitudeTermCount;

struct Plan94Multiples {
    int count = 0;
    int k[kPlan94Terms] = {};
    int slot[kPlan94Terms] = {};
};

const Plan94Multiples& Plan94MultiplesOf(int planet) {
    static const std::array<Plan94Multiples, kPlan94BodyCount> table = [] {
        std::array<Plan94Multiples, kPlan94BodyCount> t{};
        for (int p = 0; p < kPlan94BodyCount; ++p) {
            const Plan94Body& body = kPlan94Bodies[p];
            Plan94Multiples& m = t[p];
            for (int i = 0; i < kPlan94Terms; ++i) {
                const int k = i < kPlan94AxisTermCount ? body.axisK[i] : body.longitudeK[i - kPlan94AxisTermCount];
                int j = 0;
                while (j < m.count && m.k[j] != k) ++j;
                if (j == m.count) m.k[m.count++] = k;
                m.slot[i] = j;
            }
        }
        return t;
    }();
    return table[planet];
}

// ---------------------------------------------------------------------------------------
// Ecliptic precession (Lieske et al. 1977, in the rigorous form of Meeus eq. 21.5) from
// J2000.0 to the ecliptic and equinox of date, T centuries after J2000.0.

void PrecessEclipticFromJ2000(double T, double* longitude, double* latitude) {
    const double t2 = T * T;
    const double eta = (47.0029 * T - 0.03302 * t2 + 0.000060 * t2 * T) * kArcsecToRad;
    const double node = 174.876384 * kDegToRad + (-869.8089 * T + 0.03536 * t2) * kArcsecToRad;
    const double p = (5029.0966 * T + 1.11113 * t2 - 0.000006 * t2 * T) * kArcsecToRad;
    const double l0 = *longitude;
    const double b0 = *latitude;
    const double a = std::cos(eta) * std::cos(b0) * std::sin(node - l0) -
                     std::sin(eta) * std::sin(b0);
    const double b = std::cos(b0) * std::cos(node - l0);
    const double c = std::cos(eta) * std::sin(b0) +
                     std::sin(eta) * std::cos(b0) * std::sin(node - l0);
    *longitude = p + node - std::atan2(a, b);
    *latitude = std::asin(std::clamp(c, -1.0, 1.0));
}

// ---------------------------------------------------------------------------------------
// Pluto row of PlanetPositionsOld, which the 1900.0 table lacks. The rate of L is that of a
// day, not of a century, so L hardly moves with T0; a, e, i, w and N describe the orbit.

constexpr Planet1900Elements kPluto1900 = {
    9,
    {238.467028, 0.00401595755, -0.0090561, 0.0},
    {39.54034289999, 0.0031310499, -0.00003792, 0.0},
    {0.249005349999, 0.00003885, -0.000000562, 0.0},
    {17.145104, -0.0054981, -0.0000384, 0.0},
    {224.1416299 - 110.0, 1.3900789, 0.0003019, 0.0},
    {110.318223, 1.3506963, 0.0004014, 0.0},
};

double Cubic(const double c[4], double t) { return c[0] + (c[1] + (c[2] + c[3] * t) * t) * t; }

// ---------------------------------------------------------------------------------------
// PlanetOrbitPosition: osculating-style elements at J2000.0 with rates per day (Mercury to
// Pluto, body indexes 2 to 9; the Earth separately). Angles in degrees, a in AU.

struct OrbitElements {
    double inclination[2];
    double node[2];
    double perihelion[2];  // longitude of perihelion
    double axis[2];
    double eccentricity[2];
    double meanLongitude[2];
};

constexpr OrbitElements kOrbitElements[8] = {
    {{7.00487, -1.78797e-7}, {48.33167, -3.3942e-6}, {77.45645, 4.36208e-6},
     {0.38709893, 1.80698e-11}, {0.20563069, 6.91855e-10}, {252.25084, 4.092338796}},
    {{3.39471, -2.17507e-8}, {76.68069, -7.5815e-6}, {131.53298, -8.27439e-7},
     {0.72333199, 2.51882e-11}, {0.00677323, -1.35195e-9}, {181.97973, 1.602130474}},
    {{1.85061, -1.93703e-7}, {49.57854, -7.7587e-6}, {336.04084, 1.187e-5},
     {1.52366231, -1.977e-9}, {0.09341233, -3.25859e-9}, {355.45332, 0.524033035}},
    {{1.3053, -3.15613e-8}, {100.55615, 9.25675e-6}, {14.75385, 6.38779e-6},
     {5.20336301, 1.66289e-8}, {0.04839266, -3.52635e-9}, {34.40438, 0.083086762}},
    {{2.48446, 4.64674e-8}, {113.71504, -1.21e-5}, {92.43194, -1.48216e-5},
     {9.53707032, -8.25544e-8}, {0.0541506, -1.00649e-8}, {49.94432, 0.033470629}},
    {{0.76986, -1.58947e-8}, {74.22988, 1.27873e-5}, {170.96424, 9.9822e-6},
     {19.19126393, 4.16222e-8}, {0.04716771, -5.24298e-9}, {313.23218, 0.011731294}},
    {{1.76917, -2.76827e-8}, {131.72169, -1.1503e-6}, {44.97135, -6.42201e-6},
     {30.06896348, -3.42768e-8}, {0.00858587, 6.88296e-10}, {304.88003, 0.0059810572}},
    {{17.14175, 8.41889e-8}, {110.30347, -2.839e-7}, {224.06676, -1.00578e-6},
     {39.48168677, -2.10574e-8}, {0.24880766, 1.77002e-9}, {238.92881, 0.003931834}},
};

constexpr OrbitElements kEarthOrbitElements = {
    {0.0, 0.0},           {0.0, 0.0},           {102.94719, 9.11309e-6},
    {1.00000011, -1.36893e-12}, {0.01671022, -1.04148e-9}, {100.46435, 0.985609101},
};

// Orbit-view scale per body index.
constexpr double kOrbitViewScale[kOrbitBodyCount] = {30.0, 40.5, 40.5, 40.5, 40.5, 14.6,
                                                     8.6,  3.9,  2.55, 2.4,  40.5};

constexpr int kMaxOrbitKeplerSteps = 50;

double Linear(const double c[2], double d) { return c[0] + c[1] * d; }

double ReduceTurn(double x) {
    x = FmodTurn(x);
    return x < 0.0 ? x + kTwoPi : x;
}

// True anomaly in [0, 2pi) for a mean anomaly M in [0, 2pi).
double TrueAnomaly(double M, double e) {
    double E = M;
    for (int step = 0; step < kMaxOrbitKeplerSteps; ++step) {
        const double f = E - e * std::sin(E) - M;
        if (!(std::fabs(f) >= 1e-5)) break;  // converged, or not a number
        E -= f / (1.0 - e * std::cos(E));
    }
    double v = 2.0 * std::atan(std::sqrt((1.0 + e) / (1.0 - e)) * std::tan(E / 2.0));
    if (v < 0.0) v += kTwoPi;
    return v;
}

// Right ascension (hours, [0, 24)) and declination (degrees) of an equatorial vector.
void RaDec(double x, double y, double z, double* ra, double* dec) {
    double h = std::atan2(y, x) * 12.0 / kPi;
    if (h < 0.0) h += 24.0;
    if (h >= 24.0) h -= 24.0;
    *ra = h;
    *dec = std::atan(z / std::sqrt(x * x + y * y)) * 57.29577950560105;
}

}  // namespace

// =======================================================================================

double NormalizeAnglePi(double angle) {
    double w = FmodTurn(angle);
    if (std::fabs(w) >= kPi) w -= std::copysign(kTwoPi, angle);
    return w;
}

int PlanetHeliocentricPV(double date1, double date2, int planet, double pv[6]) {
    if (planet < 0 || planet >= kPlan94BodyCount) {
        std::fill(pv, pv + 6, 0.0);
        return kPlanetOutOfRange;
    }
    const Plan94Body& body = kPlan94Bodies[planet];
    const double t = ((date1 - 2451545.0) + date2) * 2.737850787132101e-06;

    double a = Quadratic(body.axis, t);
    double L = AngleQuadratic(body.meanLongitude, t);
    const double e = Quadratic(body.eccentricity, t);
    const double perihelion = NormalizeAnglePi(AngleQuadratic(body.perihelion, t));
    const double inclination = AngleQuadratic(body.inclination, t);
    const double node = NormalizeAnglePi(AngleQuadratic(body.node, t));

    // The periodic terms' sines and cosines, all at once.
    const double mu = 0.35953620 * t;
    constexpr int kAxisTerms = kPlan94AxisTermCount;
    constexpr int kTerms = kPlan94AxisTermCount + kPlan94LongitudeTermCount;
    const Plan94Multiples& multiples = Plan94MultiplesOf(planet);
    double args[kTerms], distinctSines[kTerms], distinctCosines[kTerms];
    for (int j = 0; j < multiples.count; ++j) args[j] = multiples.k[j] * mu;
    SeriesSinCosArray(args, distinctSines, distinctCosines, multiples.count);
    double sines[kTerms], cosines[kTerms];
    for (int i = 0; i < kTerms; ++i) {
        sines[i] = distinctSines[multiples.slot[i]];
        cosines[i] = distinctCosines[multiples.slot[i]];
    }
    const double* sl = sines + kAxisTerms;
    const double* cl = cosines + kAxisTerms;
    for (int k = 0; k < 8; ++k) {
        a += (body.axisCos[k] * cosines[k] + body.axisSin[k] * sines[k]) * 1e-7;
        L += (body.longitudeCos[k] * cl[k] + body.longitudeSin[k] * sl[k]) * 1e-7;
    }
    a += t * (body.axisCos[8] * cosines[8] + body.axisSin[8] * sines[8]) * 1e-7;
    for (int k = 8; k < 10; ++k) L += t * (body.longitudeCos[k] * cl[k] + body.longitudeSin[k] * sl[k]) * 1e-7;
    L = FmodTurn(L);

    // Kepler's equation; the step count bounds the loop whatever the input. The sine and
    // cosine of E are turned on by each step rather than taken afresh.
    const double M = L - perihelion;
    double sinE, cosE;
    SeriesSinCos(M, &sinE, &cosE);
    const double firstStep = e * sinE;
    double E = M + firstStep;
    TurnBy(firstStep, &sinE, &cosE);
    double dE = 1.0;
    for (int k = 0; k < kMaxPlan94KeplerSteps && std::fabs(dE) > 1e-12; ++k) {
        dE = (M - E + e * sinE) / (1.0 - e * cosE);
        E += dE;
        TurnBy(dE, &sinE, &cosE);
    }

    // The remaining sines and cosines in one batch. The true anomaly nu is
    // 2 atan2(u, w) with u = sqrt((1 + e) / (1 - e)) sin(E/2), w = cos(E/2); its cosine and
    // sine follow from u and w by the double-angle identities, without the angle itself.
    const double angles[4] = {E / 2.0, inclination / 2.0, node, perihelion};
    double s1[4], c1[4];
    SeriesSinCosArray(angles, s1, c1, 4);
    const double u = std::sqrt((1.0 + e) / (1.0 - e)) * s1[0], w = c1[0];
    const double uw2 = u * u + w * w;
    const double cosNu = (w * w - u * u) / uw2, sinNu = 2.0 * u * w / uw2;
    const double r = a * (1.0 - e * cosE);
    const double v = kGaussK * std::sqrt((1.0 + 1.0 / body.inverseMass) / (a * a * a));

    // Orbit plane to the ecliptic of J2000.0.
    const double si2 = s1[1], ci2 = c1[1];
    const double xq = si2 * c1[2];
    const double xp = si2 * s1[2];
    const double sinPerihelion = s1[3], cosPerihelion = c1[3];
    const double xsw = sinNu * cosPerihelion + cosNu * sinPerihelion;  // sin(nu + perihelion)
    const double xcw = cosNu * cosPerihelion - sinNu * sinPerihelion;  // cos(nu + perihelion)
    const double xm2 = 2.0 * (xp * xcw - xq * xsw);
    const double xf = a / std::sqrt(1.0 - e * e);
    const double xms = (e * sinPerihelion + xsw) * xf;
    const double xmc = (e * cosPerihelion + xcw) * xf;
    const double xpxq2 = 2.0 * xp * xq;

    double x = r * (xcw - xm2 * xp);
    double y = r * (xsw + xm2 * xq);
    double z = r * (-xm2 * ci2);
    pv[0] = x;
    pv[1] = y * kCosObliquityJ2000 - z * kSinObliquityJ2000;
    pv[2] = y * kSinObliquityJ2000 + z * kCosObliquityJ2000;

    x = v * ((-1.0 + 2.0 * xp * xp) * xms + xpxq2 * xmc);
    y = v * ((1.0 - 2.0 * xq * xq) * xmc - xpxq2 * xms);
    z = v * (2.0 * ci2 * (xp * xms + xq * xmc));
    pv[3] = x;
    pv[4] = y * kCosObliquityJ2000 - z * kSinObliquityJ2000;
    pv[5] = y * kSinObliquityJ2000 + z * kCosObliquityJ2000;
    return kPlanetOk;
}

void PlutoHeliocentric(double T, double* longitude, double* latitude, double* radius) {
    const double J = (34.35 + 3034.9057 * T) * kDegToRad;
    const double S = (50.08 + 1222.1138 * T) * kDegToRad;
    const double P = (238.96 + 144.96 * T) * kDegToRad;
    double l = 0.0;
    double b = 0.0;
    double r = 0.0;
    for (const PlutoTerm& term : kPlutoTerms) {
        const double alpha = term.j * J + term.s * S + term.p * P;
        const double sa = std::sin(alpha);
        const double ca = std::cos(alpha);
        l += term.longitudeSin * sa + term.longitudeCos * ca;
        b += term.latitudeSin * sa + term.latitudeCos * ca;
        r += term.radiusSin * sa + term.radiusCos * ca;
    }
    *longitude = ReduceTurn((238.958116 + 144.96 * T + l) * kDegToRad);
    *latitude = (-3.908239 + b) * kDegToRad;
    *radius = 40.7241346 + r;
}

void PlutoHeliocentricOfDate(double T, double* longitude, double* latitude, double* radius) {
    PlutoHeliocentric(T, longitude, latitude, radius);
    PrecessEclipticFromJ2000(T, longitude, latitude);
    *longitude = ReduceTurn(*longitude);
}

Sun1900Elements ComputeSun1900(double T0) {
    const double T2 = T0 * T0;
    const double T3 = T2 * T0;
    Sun1900Elements sun{};
    sun.obliquity = FmodDegrees(23.452294 - 0.0130125 * T0 - 0.00000164 * T2 + 0.000000503 * T3);
    sun.meanLongitude = FmodDegrees(279.69668 + 36000.76892 * T0 + 0.0003025 * T2);
    sun.meanAnomaly =
        FmodDegrees(358.47583 + 35999.04975 * T0 - 0.00015 * T2 - 0.0000033 * T3);
    sun.eccentricity = 0.01675104 - 0.0000418 * T0 - 0.000000126 * T2;

    // Newton steps continue only while the correction is positive: a first negative step
    // already leaves E within a fraction of an arc second for this eccentricity.
    const double e = sun.eccentricity;
    const double M = sun.meanAnomaly * kDegToRad;
    double E = M;
    for (int step = 0; step < kMaxOrbitKeplerSteps; ++step) {
        const double correction = (M + e * std::sin(E) - E) / (1.0 - e * std::cos(E));
        E += correction;
        if (!(correction > 1e-9)) break;  // also ends on NaN
    }
    const double v = 2.0 * std::atan(std::sqrt((1.0 + e) / (1.0 - e)) * std::tan(E / 2.0));
    sun.eccentricAnomaly = E / kDegToRad;
    sun.trueAnomaly = v / kDegToRad;
    sun.radiusVector = 1.0000002 * (1.0 - e * std::cos(E));
    sun.trueLongitude = sun.meanLongitude + sun.trueAnomaly - sun.meanAnomaly;
    return sun;
}

void PlanetPositionsOld(int index, double T0, double* L, double* a, double* e, double* i,
                        double* w, double* N) {
    const Planet1900Elements* elements = nullptr;
    if (index == kPluto1900.bodyIndex) {
        elements = &kPluto1900;
    } else {
        for (const Planet1900Elements& row : kPlanet1900Elements) {
            if (row.bodyIndex == index) elements = &row;
        }
    }
    if (elements == nullptr) return;
    *L = Cubic(elements->meanLongitude, T0);
    *a = Cubic(elements->axis, T0);
    *e = Cubic(elements->eccentricity, T0);
    *i = Cubic(elements->inclination, T0);
    *w = Cubic(elements->perihelion, T0);
    *N = Cubic(elements->node, T0);
}

void PlanetOrbitPosition(int year, int month, int day, int hour, int minute, int zoneMinutes,
                         float positions[kOrbitBodyCount][3],
                         float equatorial[kOrbitBodyCount][2], int mode, int firstIndex,
                         int lastIndex, const StripMapRect& stripMap) {
    // Days from J2000.0, UT.
    const double d = DateTimeToJD(year, month, day, hour, minute, 0, zoneMinutes) - 2451545.0;

    // The elements are referred to the ecliptic and equinox of J2000.0.
    const double cosEps = std::cos(GetObliquity());
    const double sinEps = std::sin(GetObliquity());

    // The Earth, in the ecliptic plane.
    const OrbitElements& earth = kEarthOrbitElements;
    const double earthPerihelion = Linear(earth.perihelion, d) * kDegToRad;
    const double earthE = Linear(earth.eccentricity, d);
    const double earthA = Linear(earth.axis, d);
    const double earthM = ReduceTurn(Linear(earth.meanLongitude, d) * kDegToRad - earthPerihelion);
    const double earthV = TrueAnomaly(earthM, earthE);
    const double earthR = earthA * (1.0 - earthE * earthE) / (1.0 + earthE * std::cos(earthV));
    const double xe = earthR * std::cos(earthV + earthPerihelion);
    const double ye = earthR * std::sin(earthV + earthPerihelion);

    auto store = [&](int index, const double values[3]) {
        for (int k = 0; k < 3; ++k) positions[index][k] = static_cast<float>(values[k]);
    };
    auto stripPoint = [&](double ra, double dec, double out[3]) {
        out[0] = stripMap.left + std::floor((stripMap.right - stripMap.left) * ra / 24.0);
        out[1] = stripMap.top + (stripMap.bottom - stripMap.top) / 2 - std::floor(dec);
        out[2] = 0.0;
    };

    const int first = std::max(firstIndex, 2);
    const int last = std::min(lastIndex, 10);
    for (int index = first; index <= last; ++index) {
        double ra = 0.0;
        double dec = 0.0;
        double out[3] = {0.0, 0.0, 0.0};
        if (index == 10) {
            // The Sun seen from the Earth.
            RaDec(-xe, -ye * cosEps, -ye * sinEps, &ra, &dec);
            if (mode == kOrbitStripMap) {
                stripPoint(ra, dec, out);
            } else if (mode == kOrbitHeliocentric) {
                out[0] = xe;
                out[1] = ye;
            } else if (mode == kOrbitDistances) {
                out[0] = earthR;
                out[2] = earthR;
            }
        } else {
            const OrbitElements& el = kOrbitElements[index - 2];
            const double inc = Linear(el.inclination, d) * kDegToRad;
            const double node = Linear(el.node, d) * kDegToRad;
            const double perihelion = Linear(el.perihelion, d) * kDegToRad;
            const double a = Linear(el.axis, d);
            const double e = Linear(el.eccentricity, d);
            const double M = ReduceTurn(Linear(el.meanLongitude, d) * kDegToRad - perihelion);
            const double v = TrueAnomaly(M, e);
            const double r = a * (1.0 - e * e) / (1.0 + e * std::cos(v));
            const double u = v + perihelion - node;
            const double x = r * (std::cos(node) * std::cos(u) -
                                  std::sin(node) * std::sin(u) * std::cos(inc));
            const double yh = r * (std::sin(node) * std::cos(u) +
                                   std::cos(node) * std::sin(u) * std::cos(inc));
            const double z = r * std::sin(u) * std::sin(inc);

            const double xg = x - xe;
            const double yg = yh - ye;
            const double zg = z;
            RaDec(xg, yg * cosEps - zg * sinEps, yg * sinEps + zg * cosEps, &ra, &dec);

            switch (mode) {
                case kOrbitStripMap:
                    stripPoint(ra, dec, out);
                    break;
                case kOrbitViewDrawing: {
                    const double k = kOrbitViewScale[index];
                    out[0] = -k * yh;
                    out[1] = -k * x;
                    out[2] = -k * a * e;
                    break;
                }
                case kOrbitHeliocentric:
                    out[0] = x;
                    out[1] = yh;
                    out[2] = z;
                    break;
                case kOrbitDistances:
                    out[0] = std::sqrt(xg * xg + yg * yg + zg * zg);
                    out[1] = r;
                    out[2] = earthR;
                    break;
                default:
                    break;
            }
        }
        equatorial[index][0] = static_cast<float>(ra);
        // A right ascension a hair below 24 h can round up to 24 in single precision.
        if (equatorial[index][0] >= 24.0f) equatorial[index][0] = 0.0f;
        equatorial[index][1] = static_cast<float>(dec);
        if (mode >= kOrbitStripMap && mode <= kOrbitDistances) store(index, out);
    }

    if (mode == kOrbitViewDrawing) {
        const double k = kOrbitViewScale[10];
        const double out[3] = {-k * ye, -k * xe, 0.0};
        store(10, out);
    }
}
