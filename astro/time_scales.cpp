#include "astro/time_scales.h"

#include <cmath>

#include "core/settings.h"
#include "core/observing_time.h"

// 1620 to 2008: the long-standing table of observed Delta T in tenths of a second.
// 2010 to 2024: measured values, Delta T = 32.184 s + (TAI - UTC) - (UT1 - UTC) on
// 1 January, with TAI - UTC from the leap-second table (34 s from 2009, 35 s from mid 2012,
// 36 s from mid 2015, 37 s from 2017) and UT1 - UTC from the IERS Earth orientation series
// (Bulletins B and C04); they agree to 0.1 s with the USNO's yearly Delta T values.
const std::int16_t deltaTTable[kDeltaTTableSize] = {
    1210, 1120, 1030, 950,  880,  820,  770,  720,  680,  630,   // 1620
    600,  560,  530,  510,  480,  460,  440,  420,  400,  380,   // 1640
    350,  330,  310,  290,  260,  240,  220,  200,  180,  160,   // 1660
    140,  120,  110,  100,  90,   80,   70,   70,   70,   70,    // 1680
    70,   70,   80,   80,   90,   90,   90,   90,   90,   100,   // 1700
    100,  100,  100,  100,  100,  100,  100,  110,  110,  110,   // 1720
    110,  110,  120,  120,  120,  120,  130,  130,  130,  140,   // 1740
    140,  140,  140,  150,  150,  150,  150,  150,  160,  160,   // 1760
    160,  160,  160,  160,  160,  160,  150,  150,  140,  130,   // 1780
    131,  125,  122,  120,  120,  120,  120,  120,  120,  119,   // 1800
    116,  110,  102,  92,   82,   71,   62,   56,   54,   53,    // 1820
    54,   56,   59,   62,   65,   68,   71,   73,   75,   76,    // 1840
    77,   73,   62,   52,   27,   14,   -12,  -28,  -38,  -48,   // 1860
    -55,  -53,  -56,  -57,  -59,  -60,  -63,  -65,  -62,  -47,   // 1880
    -28,  -1,   26,   53,   77,   104,  133,  160,  182,  202,   // 1900
    212,  224,  235,  238,  243,  240,  239,  239,  237,  240,   // 1920
    243,  253,  262,  273,  282,  291,  300,  307,  314,  322,   // 1940
    331,  340,  350,  365,  383,  402,  422,  445,  465,  485,   // 1960
    505,  522,  538,  549,  558,  569,  583,  600,  616,  630,   // 1980
    638,  643,  648,  649,  660,  661,  666,  673,  681,  690,   // 2000
    694,  693,  692,                                             // 2020
};

double GetDeltaT(int year, int month, int day) {
    return DeltaTSeconds(year, month, day, static_cast<double>(PreferenceFloat(pref::deltaTUser)),
                         observingDateTime.year);
}

double DeltaTSeconds(int year, int month, int day, double user, int observingYear) {
    if (year == observingYear) return user;

    const double y = DateToDecimalYear(year, month, day, 0, 0, 0);
    const double t = (y - 2000.0) * 0.01;
    if (y < 948.0) {
        const double u = (y - 1820.0) * 0.01;
        return 31.0 * u * u;
    }
    if (y < kDeltaTTableFirstYear) return 50.6 + 67.5 * t + 22.5 * t * t;
    if (y >= 2100.0) return 102.0 + 102.0 * t + 25.3 * t * t;

    // Past the measured values the long-term formula overestimates badly (about 35 s in
    // the 2020s), which would make Delta T jump at the edges of the observing year; the
    // user's value, which serves the observing year, holds until 2100 instead.
    const int i = static_cast<int>((y - kDeltaTTableFirstYear) * 0.5);
    if (i + 1 >= kDeltaTTableSize) return user;
    const double p = deltaTTable[i];
    const double q = deltaTTable[i + 1];
    return (p + (q - p) * (y * 0.5 - i - kDeltaTTableFirstYear / 2)) * 0.1;
}

double GreenwichSiderealTime0h(int year, int month, int day) {
    const double T = (JulianDay0h(year, month, day) - 2451545.0) / 36525.0;
    double theta = 100.46061837 + 36000.770053608 * T + 0.000387933 * T * T -
                   T * T * T * 2.5833118057349522e-8;
    theta -= 360.0 * std::floor(theta / 360.0);
    return theta / 15.0;
}

double LocalSiderealTime(int year, int month, int day, int hour, int minute, int second,
                         double longitudeWest, int offsetMinutes) {
    const double utHours = hour + (static_cast<double>(minute) - offsetMinutes + second / 60.0) / 60.0;
    double lst = GreenwichSiderealTime0h(year, month, day) + utHours * 1.00273790935 - longitudeWest / 15.0;
    lst = std::fmod(lst, 24.0);
    while (lst < 0.0) lst += 24.0;
    while (lst > 24.0) lst -= 24.0;
    return lst;
}

double GetMeanObliquity(double T) {
    const double eps = 23.43929111111111 + ((0.001813 * T - 0.00059) * T - 46.815) * T / 3600.0;
    return std::fmod(eps, 360.0);
}
