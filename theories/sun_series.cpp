#include "theories/sun_series.h"

#include <cmath>

#include "core/angle_units.h"
#include "theories/tables/sun_terms.h"

namespace {
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

}  // namespace

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

void GetSunEclipticPosition(double T, double* longitude, double* latitude, double* distance) {
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
