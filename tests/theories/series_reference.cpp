// The Sun and Moon series as they were evaluated term by term, each term with its own sine
// or cosine from the C library, before the tabled evaluation: the tests hold the series to
// them.
#include "theories/series_reference.h"

#include <cmath>

#include "core/angle_units.h"
#include "theories/tables/moon_terms.h"
#include "theories/tables/sun_terms.h"

namespace reference {

namespace moon {
constexpr double kKmToAu = 6.684587153547039e-9;  // 1 AU = 149597870 km

// Highest multiple of each mean argument used by the main-problem terms.
constexpr int kMaxD = 8;
constexpr int kMaxM = 4;
constexpr int kMaxMp = 6;
constexpr int kMaxF = 5;

// cos and sin of n times an angle, n = 0..N.
template <int N>
struct Multiples {
    double c[N + 1];
    double s[N + 1];
    explicit Multiples(double angle) {
        for (int n = 0; n <= N; ++n) {
            c[n] = std::cos(n * angle);
            s[n] = std::sin(n * angle);
        }
    }
    // cos and sin of k times the angle for a signed k.
    void Get(int k, double* cosOut, double* sinOut) const {
        if (k >= 0) {
            *cosOut = c[k];
            *sinOut = s[k];
        } else {
            *cosOut = c[-k];
            *sinOut = -s[-k];
        }
    }
};

struct Arguments {
    Multiples<kMaxD> d;
    Multiples<kMaxM> m;
    Multiples<kMaxMp> mp;
    Multiples<kMaxF> f;
};

// cos and sin of (d D + m M + mp M' + f F), built from the multiples by angle addition so the
// 1100-odd terms cost a few multiplications each instead of a sine.
inline void TermAngle(const Arguments& a, const MoonTerm& t, double* cosOut, double* sinOut) {
    double c1, s1, c2, s2;
    a.d.Get(t.d, &c1, &s1);
    a.m.Get(t.m, &c2, &s2);
    double c = c1 * c2 - s1 * s2;
    double s = s1 * c2 + c1 * s2;
    a.mp.Get(t.mp, &c1, &s1);
    c2 = c * c1 - s * s1;
    s2 = s * c1 + c * s1;
    a.f.Get(t.f, &c1, &s1);
    *cosOut = c2 * c1 - s2 * s1;
    *sinOut = s2 * c1 + c2 * s1;
}

double SineSum(const Arguments& a, const MoonTerm* terms, int count) {
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        double c, s;
        TermAngle(a, terms[i], &c, &s);
        sum += terms[i].amplitude * s;
    }
    return sum;
}

double CosineSum(const Arguments& a, const MoonTerm* terms, int count) {
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        double c, s;
        TermAngle(a, terms[i], &c, &s);
        sum += terms[i].amplitude * c;
    }
    return sum;
}

// A mean argument in degrees, in radians reduced with the floating remainder (the sign of the
// unreduced value is kept).
double Reduced(double degrees) { return std::fmod(degrees * kDegToRad, kTwoPi); }

}  // namespace moon

using namespace moon;

void MoonEclipticPosition(double T, double* longitude, double* latitude, double* distance) {
    const double T2 = T * T;
    const double T3 = T2 * T;
    const double T4 = T3 * T;

    const double w1 = Reduced(218.3164591 + 481267.88134236 * T - 0.0013268 * T2 +
                              T3 * 1.855835023689734e-6 - T4 * 1.5338834862103876e-8);
    const double D = Reduced(297.8502042 + 445267.1115168 * T - 0.00163 * T2 + T3 / 545868.0 -
                             T4 / 113065000.0);
    const double M = Reduced(357.5291092 + 35999.0502909 * T - 0.0001536 * T2 + T3 / 24490000.0);
    const double Mp = Reduced(134.9634114 + 477198.8676313 * T + 0.008997 * T2 + T3 / 69699.0 -
                              T4 / 14712000.0);
    const double F = Reduced(93.2720993 + 483202.0175273 * T - 0.0034029 * T2 - T3 / 3526000.0 +
                             T4 / 863310000.0);

    // Planetary mean longitudes, not reduced.
    const double Ve = (181.979801 + 58517.815676 * T) * kDegToRad;
    const double Ea = (100.46645 + 35999.372854 * T) * kDegToRad;
    const double Ma = (355.433275 + 19140.299331 * T) * kDegToRad;
    const double Ju = (34.351484 + 3034.905675 * T) * kDegToRad;
    // Mean longitude referred to a fixed equinox (general precession 5029.0966"/cy added).
    const double zeta = w1 + 0.024381748353014515 * T;

    const Arguments args{Multiples<kMaxD>(D), Multiples<kMaxM>(M), Multiples<kMaxMp>(Mp),
                         Multiples<kMaxF>(F)};

    auto deg = [](double x) { return x * kDegToRad; };
    const double venusTerm = 18.0 * Ve - 16.0 * Ea;

    double sumL = SineSum(args, kMoonLongitudeTerms, kMoonLongitudeTermCount);
    // Planetary perturbations.
    sumL += 14.2488 * std::sin(venusTerm - Mp + deg(26.54261));
    sumL += 1.1431 * std::sin(2.0 * D - Mp + 2.0 * Ea - 2.0 * Ju + deg(180.11977));
    sumL += 0.9011 * std::sin(4.0 * Ea - 8.0 * Ma + 3.0 * Ju + deg(285.98707));
    sumL += 0.8216 * std::sin(Ve - Ea + deg(180.00988));
    sumL += 0.7881 * std::sin(venusTerm - 2.0 * Mp + deg(26.54324));
    sumL += 0.7393 * std::sin(venusTerm + deg(26.5456));
    sumL += 0.6437 * std::sin(2.0 * D - Mp + 3.0 * Ve - 3.0 * Ea + deg(179.98144));
    sumL += 0.6388 * std::sin(Ea - Ju + deg(1.2289));
    sumL += 0.5634 * std::sin(10.0 * Ve - 3.0 * Ea - Mp + deg(333.30551));
    sumL += 0.4453 * std::sin(2.0 * D - Mp + 2.0 * Ea - 3.0 * Ju + deg(10.07001));
    sumL += 0.3436 * std::sin(2.0 * Ve - 3.0 * Ea + deg(269.95393));
    sumL += 0.3246 * std::sin(Ea - 2.0 * Ma + deg(318.13776));
    sumL += 0.3016 * std::sin(2.0 * Ve - 2.0 * Ea + deg(0.20448));
    // Terms in the mean longitude referred to the fixed equinox.
    sumL += 7.06304 * std::sin(zeta - F + deg(0.00094));
    sumL += 0.49331 * std::sin(zeta + Mp - F + deg(0.00127));
    sumL += 0.49141 * std::sin(zeta - Mp - F + deg(0.00127));
    sumL += 0.36061 * std::sin(zeta + F + deg(0.00071));
    sumL += 0.09642 * std::sin(zeta + 2.0 * D - F + deg(0.0009));
    sumL += 0.06569 * std::sin(zeta - 2.0 * D - F + deg(0.001));
    sumL += 0.06456 * std::sin(zeta + 2.0 * D - Mp - F + deg(0.00042));
    sumL += 0.05036 * std::sin(zeta - Mp + F + deg(0.00051));
    sumL += 0.04962 * std::sin(zeta - 2.0 * D + Mp - F + deg(0.00029));
    sumL += 0.04746 * std::sin(zeta - 2.0 * D + F + deg(0.00076));
    sumL += 0.03838 * std::sin(zeta + Mp + F + deg(0.0007));
    sumL += 0.03638 * std::sin(2.0 * zeta - 2.0 * F + deg(180.0));
    sumL += 0.03402 * std::sin(zeta + 2.0 * Mp - F + deg(0.00126));
    sumL += 0.03279 * std::sin(zeta - 2.0 * Mp - F + deg(0.00128));
    sumL += 0.01492 * std::sin(zeta - 3.0 * F + deg(180.00086));
    sumL += 0.01234 * std::sin(zeta + 2.0 * D + Mp - F + deg(0.00102));

    double sumB = SineSum(args, kMoonLatitudeTerms, kMoonLatitudeTermCount);
    sumB += 8.045 * std::sin(zeta + deg(180.0));
    sumB += 0.416 * std::sin(zeta + Mp + deg(180.0));
    sumB += 0.456 * std::sin(zeta - Mp);
    sumB += 0.326 * std::sin(zeta - 2.0 * F);
    sumB += 0.63 * std::sin(venusTerm - Mp + F + deg(26.54));
    sumB += 0.63 * std::sin(venusTerm - Mp - F + deg(26.54));
    sumB += 0.14 * std::sin(D + Ea + deg(291.98));
    sumB += 0.07 * std::sin(venusTerm - 2.0 * Mp - F + deg(26.54));
    sumB += 0.067 * std::sin(venusTerm + F + deg(26.54));
    sumB += 0.067 * std::sin(2.0 * D - F + 5.0 * Ve - 6.0 * Ea + deg(272.3));
    sumB += 1.375 * std::sin(D + Ea + deg(275.13));
    sumB += 0.078 * std::sin(D - Mp + Ea + deg(95.13));
    // Formed from T directly rather than from the reduced F.
    sumB += -0.0011020707028792996 * std::sin(3.1991885189056064 + 8433.46585222164 * T);

    const double sumR = CosineSum(args, kMoonDistanceTerms, kMoonDistanceTermCount);

    *longitude = std::fmod(sumL / 3600.0, 360.0) * kDegToRad + w1;
    *latitude = std::fmod(sumB / 3600.0, 360.0) * kDegToRad;
    *distance = (kMoonMeanDistanceKm + sumR) * kKmToAu;
}

namespace sun {
// 1e-8 rad in degrees.
constexpr double kSeriesUnitToDeg = 5.729577951308232e-7;
constexpr double kTurn = 628318530.7179586;  // 2 pi in units of 1e-8 rad
constexpr double kInverseTurn = 1.5915494309189535e-9;

double SumSeries(const VsopSeries& series, double tau) {
    double sum = 0.0;
    for (int i = 0; i < series.count; ++i) {
        const VsopTerm& term = series.terms[i];
        sum += term.a * std::cos(term.b + term.c * tau);
    }
    return sum;
}

// X0 + X1 tau + X2 tau^2 + ... in Horner form, starting from power `first`.
double SumPowers(const VsopSeries* series, int first, int count, double tau) {
    double sum = 0.0;
    for (int k = count - 1; k >= first; --k) sum = sum * tau + SumSeries(series[k], tau);
    return sum;
}

}  // namespace sun

using namespace sun;

double EarthLongitudeSeries(double T) {
    const double tau = T / 10.0;
    const VsopSeries* L = kEarthLongitudeSeries;
    double x = SumSeries(L[0], tau) + SumSeries(L[1], tau) * tau;
    // The two large series are reduced to one turn before the small higher powers are added,
    // which is why the result can dip just below 0.
    x -= std::floor(x * kInverseTurn) * kTurn;
    const double tau2 = tau * tau;
    x += SumPowers(L, 2, 6, tau) * tau2;
    return std::fmod(x * kSeriesUnitToDeg, 360.0);
}

void SunEclipticPosition(double T, double* longitude, double* latitude, double* distance) {
    const double tau = T / 10.0;
    const double theta = EarthLongitudeSeries(T) + 180.0;
    const double earthLatitude = SumPowers(kEarthLatitudeSeries, 0, 2, tau) * kSeriesUnitToDeg;

    // Meeus' conversion from the dynamical ecliptic of VSOP87 to the FK5 system.
    const double lambdaPrime = (theta - 1.397 * T - 0.00031 * T * T) * kDegToRad;
    *longitude = (theta - 2.5091666666666666e-5) * kDegToRad;
    *latitude = (-earthLatitude + 1.0877777777777778e-5 *
                                      (std::cos(lambdaPrime) - std::sin(lambdaPrime))) *
                kDegToRad;
    *distance = SumPowers(kEarthRadiusSeries, 0, 5, tau) * 1e-8;
}

}  // namespace reference
