#include "eclipses/bessel_elements.h"

#include <cmath>

#include "astro/matrices.h"
#include "astro/precession_nutation.h"
#include "astro/quick_sun_moon.h"
#include "core/calendar.h"
#include "eclipses/eclipse_math.h"
#include "eclipses/eclipse_sun_moon.h"

namespace {
constexpr double kAUInEarthRadii = 23454.779920164812;
constexpr int kSampleCount = 9;
}  // namespace

void ComputeBesselElements(BesselSample* sample, int year, int month, int day, int hour, int minute, int second) {
    const double jd = DateTimeToJD(year, month, day, hour, minute, second, 0);
    const double T = (jd - 2451545.0) / 36525.0;

    FullPosition sun{}, moon{};
    SunPositionFull(&sun, T);
    MoonPositionFull(&moon, T, 0.0);
    const double as = sun.rightAscension, ds = sun.declination, rs = sun.distance;
    const double am = moon.rightAscension, dm = moon.declination, rm = moon.distance;

    // The direction from the Moon to the Sun, in units of the Sun's distance.
    const double b = rm / rs;
    const double X = std::cos(ds) * std::cos(as) - b * std::cos(dm) * std::cos(am);
    const double Y = std::cos(ds) * std::sin(as) - b * std::cos(dm) * std::sin(am);
    const double Z = std::sin(ds) - b * std::sin(dm);
    const double a = std::atan2(Y, X);
    // The same as atan(Z cos a / X) and Z / sin d, without their quotients by zero when the
    // axis points at an equinox (d = 0) or a solstitial colure (X = 0).
    const double d = std::atan2(Z, std::hypot(X, Y));
    const double g = std::sqrt(X * X + Y * Y + Z * Z);

    const double h = am - a;
    const double R = rm * kAUInEarthRadii;
    sample->x = R * std::cos(dm) * std::sin(h);
    sample->y = R * (std::sin(dm) * std::cos(d) - std::cos(dm) * std::sin(d) * std::cos(h));
    const double z = R * (std::sin(dm) * std::sin(d) + std::cos(dm) * std::cos(d) * std::cos(h));
    sample->d = d;

    const double sunRadius = std::sin(0.004652417528031441);     // AU
    const double earthRadius = std::sin(4.2635232641020645e-5);  // AU
    const double sinF1 = (sunRadius + kMoonRadiusEarthRadii * earthRadius) / (g * rs);
    const double sinF2 = (sunRadius - kMoonRadiusEarthRadii * earthRadius) / (g * rs);
    sample->f1 = std::asin(sinF1);
    sample->f2 = std::asin(sinF2);
    sample->l1 = z * sinF1 + kMoonRadiusEarthRadii;
    sample->l2 = z * sinF2 - kMoonRadiusEarthRadii;

    // Mean sidereal time for the clock time taken as UT, with the equation of the
    // equinoxes, less the axis's right ascension.
    const double tu = (JulianDay0h(year, month, day) - 2451545.0) / 36525.0;
    const double clock = hour + minute / 60.0 + second / 3600.0;
    double theta = 100.46061837 + 36000.770053608 * tu + 0.000387933 * tu * tu - tu * tu * tu / 38710000.0 +
                   clock * 15.04106864025;
    double dpsi = 0.0, deps = 0.0;
    NutationAngles(T, &dpsi, &deps);
    double D, Mp, M, F, Omega, meanObliquity, Lp;
    GetLunarArguments(T, &D, &Mp, &M, &F, &Omega, &meanObliquity, &Lp);
    const double trueObliquity = meanObliquity + deps * 4.84813681109536e-6;
    theta += dpsi * std::cos(trueObliquity) / 3600.0;
    sample->mu = theta - a * kRadToDeg;
}

int FitBesselElements(BesselElements* elements, int year, int month, int day, int hour) {
    double t[kSampleCount], x[kSampleCount], y[kSampleCount], d[kSampleCount], mu[kSampleCount];
    double l1[kSampleCount], l2[kSampleCount];
    double tanf1 = 0.0, tanf2 = 0.0;
    for (int i = -4; i <= 4; ++i) {
        BesselSample sample;
        ComputeBesselElements(&sample, year, month, day, hour, i * 60, 0);
        const int j = i + 4;
        t[j] = i;
        x[j] = sample.x;
        y[j] = sample.y;
        d[j] = sample.d * kRadToDeg;
        mu[j] = sample.mu;
        // The axis's right ascension jumps by a whole turn where the Sun crosses 12h; mu
        // must stay continuous for the straight line through it.
        if (j > 0) mu[j] -= 360.0 * std::floor((mu[j] - mu[j - 1]) / 360.0 + 0.5);
        l1[j] = sample.l1;
        l2[j] = sample.l2;
        if (i == 0) {
            tanf1 = std::tan(sample.f1);
            tanf2 = std::tan(sample.f2);
        }
    }

    double cx[4], cy[4], cd[3], cmu[2], cl1[4], cl2[4];
    if (!FitPolynomial(t, x, cx, kSampleCount, 4) || !FitPolynomial(t, y, cy, kSampleCount, 4) ||
        !FitPolynomial(t, d, cd, kSampleCount, 3) || !FitPolynomial(t, mu, cmu, kSampleCount, 2) ||
        !FitPolynomial(t, l1, cl1, kSampleCount, 4) || !FitPolynomial(t, l2, cl2, kSampleCount, 4))
        return 0;

    BesselElements& e = *elements;
    e.t0 = hour;
    e.x0 = cx[0], e.x1 = cx[1], e.x2 = cx[2], e.x3 = cx[3];
    e.y0 = cy[0], e.y1 = cy[1], e.y2 = cy[2], e.y3 = cy[3];
    e.d0 = cd[0], e.d1 = cd[1], e.d2 = cd[2];
    e.mu0 = std::fmod(cmu[0], 360.0);
    if (e.mu0 < 0.0) e.mu0 += 360.0;
    e.mu1 = cmu[1];
    e.l10 = cl1[0], e.l11 = cl1[1], e.l12 = cl1[2];
    e.l20 = cl2[0], e.l21 = cl2[1], e.l22 = cl2[2];
    e.tanf1 = tanf1;
    e.tanf2 = tanf2;
    return 1;
}

BesselValues EvaluateBesselElements(const BesselElements& e, double t) {
    BesselValues v;
    v.x = e.x0 + t * (e.x1 + t * (e.x2 + t * e.x3));
    v.y = e.y0 + t * (e.y1 + t * (e.y2 + t * e.y3));
    v.dx = e.x1 + t * (2.0 * e.x2 + t * 3.0 * e.x3);
    v.dy = e.y1 + t * (2.0 * e.y2 + t * 3.0 * e.y3);
    v.d = e.d0 + t * (e.d1 + t * e.d2);
    v.mu = e.mu0 + e.mu1 * t;
    v.l1 = e.l10 + t * (e.l11 + t * e.l12);
    v.l2 = e.l20 + t * (e.l21 + t * e.l22);
    return v;
}

PlaceOnPlane LocatePlace(const BesselElements& e, double tauHours, double latitude, double longitudeWest,
                         double heightMetres, double deltaTSeconds) {
    PlaceOnPlane p;
    p.at = EvaluateBesselElements(e, tauHours);
    const BesselValues& v = p.at;
    const double d = v.d * kDegToRad;
    p.sinD = std::sin(d);
    p.cosD = std::cos(d);
    const double H = (v.mu - longitudeWest - EarthTurnDegrees(deltaTSeconds)) * kDegToRad;
    p.sinH = std::sin(H);
    p.cosH = std::cos(H);
    const double phi = latitude * kDegToRad;
    const double u = std::atan(kEarthOneMinusF * std::tan(phi));
    const double height = heightMetres * 1.5678552054360676e-7;  // over 6378140 m
    p.rhoSin = kEarthOneMinusF * std::sin(u) + height * std::sin(phi);
    p.rhoCos = std::cos(u) + height * std::cos(phi);

    p.xi = p.rhoCos * p.sinH;
    p.eta = p.rhoSin * p.cosD - p.rhoCos * p.cosH * p.sinD;
    p.zeta = p.rhoCos * p.cosH * p.cosD + p.rhoSin * p.sinD;
    p.U = v.x - p.xi;
    p.V = v.y - p.eta;
    p.a = v.dx - e.mu1 * p.rhoCos * p.cosH * 0.01745329;
    p.b = v.dy - (e.mu1 * p.xi * p.sinD - e.d1 * p.zeta) * 0.01745329;
    p.n = std::sqrt(p.a * p.a + p.b * p.b);
    p.L1 = v.l1 - e.tanf1 * p.zeta;
    p.L2 = v.l2 - e.tanf2 * p.zeta;
    return p;
}
