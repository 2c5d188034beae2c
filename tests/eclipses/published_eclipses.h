#pragma once
// Published Besselian elements and circumstances at greatest eclipse, from F. Espenak's
// NASA eclipse bulletins and the Five Millennium Canon of Solar Eclipses (VSOP87 /
// ELP2000-82, k1 = 0.272488, k2 = 0.272281), eclipse.gsfc.nasa.gov "SEbeselm" pages.
//
// The published mu is the ephemeris hour angle: the sidereal angle of t0 taken as if it
// were UT, the same convention as FitBesselElements. Consumers take 0.00417807 x Delta T
// off it, so the values go into a BesselElements record as they stand.
#include "core/observing_time.h"
#include "core/settings.h"
#include "eclipses/bessel_elements.h"

struct PublishedEclipse {
    int year, month, day;
    BesselElements elements;
    double deltaT;             // seconds
    double greatestUt;         // hours
    double latitude;           // of greatest eclipse, degrees north
    double longitudeWest;      // degrees west
    double durationSeconds;    // central duration there
    double widthKm;            // path width there
};

inline BesselElements MakeElements(double t0, double x0, double x1, double x2, double x3, double y0, double y1,
                                   double y2, double y3, double d0, double d1, double d2, double l10, double l11,
                                   double l12, double l20, double l21, double l22, double mu0, double mu1,
                                   double tanf1, double tanf2) {
    BesselElements e;
    e.t0 = t0;
    e.x0 = x0, e.x1 = x1, e.x2 = x2, e.x3 = x3;
    e.y0 = y0, e.y1 = y1, e.y2 = y2, e.y3 = y3;
    e.d0 = d0, e.d1 = d1, e.d2 = d2;
    e.l10 = l10, e.l11 = l11, e.l12 = l12;
    e.l20 = l20, e.l21 = l21, e.l22 = l22;
    e.mu0 = mu0, e.mu1 = mu1;
    e.tanf1 = tanf1, e.tanf2 = tanf2;
    return e;
}

// 2017 August 21, total: greatest 18:25:29.9 UT at 36°58'N 87°40'W, 2m40s, 114.7 km.
inline const PublishedEclipse kTotal2017 = {
    2017, 8, 21,
    MakeElements(18.0, -0.129571, 0.5406426, -0.0000294, -0.0000081, 0.485416, -0.1416400, -0.0000905, 0.0000020,
                 11.86696, -0.013622, -0.000002, 0.542093, 0.0001241, -0.0000118, -0.004025, 0.0001234, -0.0000117,
                 89.24543, 15.003937, 0.0046222, 0.0045992),
    70.3, 18.0 + 25.0 / 60.0 + 29.9 / 3600.0, 36.0 + 58.0 / 60.0, 87.0 + 40.0 / 60.0, 160.0, 114.7};

// 2024 April 8, total: greatest 18:17:15 UT at 25°17'N 104°08'W, 4m28s, 197.5 km.
inline const PublishedEclipse kTotal2024 = {
    2024, 4, 8,
    MakeElements(18.0, -0.3182440, 0.5117116, 0.0000326, -0.0000084, 0.2197640, 0.2709589, -0.0000595, -0.0000047,
                 7.5862002, 0.0148440, -0.0000020, 0.5358140, 0.0000618, -0.0000128, -0.0102720, 0.0000615,
                 -0.0000127, 89.591217, 15.004080, 0.0046683, 0.0046450),
    74.0, 18.0 + 17.0 / 60.0 + 15.0 / 3600.0, 25.0 + 17.0 / 60.0, 104.0 + 8.0 / 60.0, 268.0, 197.5};

// 2023 October 14, annular: greatest 17:59:27 UT at 11.4°N 83.1°W, 5m17s, 187.4 km.
inline const PublishedEclipse kAnnular2023 = {
    2023, 10, 14,
    MakeElements(18.0, 0.1696580, 0.4585533, 0.0000278, -0.0000054, 0.3348590, -0.2413671, 0.0000240, 0.0000030,
                 -8.2441902, -0.0148880, 0.0000020, 0.5643110, -0.0000891, -0.0000103, 0.0180830, -0.0000886,
                 -0.0000103, 93.501732, 15.003530, 0.0046882, 0.0046648),
    73.7, 17.0 + 59.0 / 60.0 + 27.0 / 3600.0, 11.4, 83.1, 317.0, 187.4};

// Delta T as GetDeltaT gives it for dates of the observing year: the user's value.
inline void PinDeltaT(int year, double seconds) {
    observingDateTime.year = year;
    SetPreferenceFloat(pref::deltaTUser, static_cast<float>(seconds));
}

// The umbral radius of the published elements is made with k2 = 0.272281; these
// computations use k = 0.2725076 for both cones, 0.000227 Earth radii more.
inline constexpr double kUmbraKShift = 0.2725076 - 0.272281;
