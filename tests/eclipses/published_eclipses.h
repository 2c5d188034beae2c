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

// Greatest eclipse (UT, to the minute) of eclipses in a row, from F. Espenak's NASA eclipse
// tables (eclipse.gsfc.nasa.gov, Five Millennium Catalogs of Solar and of Lunar Eclipses).
// kind 1 solar, 0 lunar; type 1 penumbral, 2 partial, 3 annular, 4 total.
struct PublishedEclipseTime {
    int kind, type;
    int year, month, day, hour, minute;
};

// Every eclipse from 2024 January 1 to 2025 April 1.
inline constexpr PublishedEclipseTime kEclipsesFrom2024[] = {
    {0, 1, 2024, 3, 25, 7, 13},  {1, 4, 2024, 4, 8, 18, 17}, {0, 2, 2024, 9, 18, 2, 44},
    {1, 3, 2024, 10, 2, 18, 45}, {0, 4, 2025, 3, 14, 6, 59}, {1, 2, 2025, 3, 29, 10, 47},
};
// Every eclipse from 2006 January 1 to 2007 April 1.
inline constexpr PublishedEclipseTime kEclipsesFrom2006[] = {
    {0, 1, 2006, 3, 14, 23, 48}, {1, 4, 2006, 3, 29, 10, 11}, {0, 2, 2006, 9, 7, 18, 51},
    {1, 3, 2006, 9, 22, 11, 40}, {0, 4, 2007, 3, 3, 23, 21},  {1, 2, 2007, 3, 19, 2, 32},
};
// A solar and a lunar eclipse of one lunation.
inline constexpr PublishedEclipseTime kEclipsesOf2022May[] = {
    {1, 2, 2022, 4, 30, 20, 41},
    {0, 4, 2022, 5, 16, 4, 11},
};

// Total lunar eclipses: greatest eclipse (UT, to the second) and the duration of totality.
struct PublishedTotality {
    int year, month, day, hour, minute, second;
    int totalitySeconds;
};
inline constexpr PublishedTotality kTotalLunar2019 = {2019, 1, 21, 5, 12, 16, 61 * 60 + 59};
inline constexpr PublishedTotality kTotalLunar2022 = {2022, 11, 8, 10, 59, 8, 84 * 60 + 58};
