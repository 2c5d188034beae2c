#include "theories/sun_series.h"

#include <cmath>

#include "core/angle_units.h"
#include "theories/series_trig.h"
#include "theories/tables/sun_terms.h"

namespace {
// 1e-8 rad in degrees.
constexpr double kSeriesUnitToDeg = 5.729577951308232e-7;
constexpr double kTurn = 628318530.7179586;  // 2 pi in units of 1e-8 rad
constexpr double kInverseTurn = 1.5915494309189535e-9;

// Two doubles the machine multiplies and adds in one step.
typedef double Pair __attribute__((vector_size(16)));

// The thirteen series, in the order of the sums below.
enum SeriesIndex { kL0, kL5 = kL0 + 5, kB0, kB1, kR0, kR4 = kR0 + 4, kSeriesCount };

// Half of the 195 terms share their frequency with another one: A cos(B + C tau) is
// (A cos B) cos(C tau) - (A sin B) sin(C tau), so each frequency costs one sine and cosine
// and each term a product of pairs. The layout is made once from the tables.
constexpr int kMostTerms = 256;

struct LaidTerm {
    Pair coefficients;  // (A cos B, -A sin B)
    int frequency;      // slot of C
};

struct SunLayout {
    double frequencies[kMostTerms];
    int frequencyCount = 0;
    LaidTerm terms[kMostTerms];
    int termCount = 0;
    int firstTerm[kSeriesCount + 1] = {};
    double constant[kSeriesCount] = {};  // the terms without a frequency
};

void LayOutSeries(const VsopSeries& series, int index, SunLayout* layout) {
    layout->firstTerm[index] = layout->termCount;
    for (int i = 0; i < series.count; ++i) {
        const VsopTerm& t = series.terms[i];
        if (t.c == 0.0) {
            layout->constant[index] += t.a * std::cos(t.b);
            continue;
        }
        int slot = 0;
        while (slot < layout->frequencyCount && layout->frequencies[slot] != t.c) ++slot;
        if (slot == layout->frequencyCount) layout->frequencies[layout->frequencyCount++] = t.c;
        layout->terms[layout->termCount++] = {Pair{t.a * std::cos(t.b), -t.a * std::sin(t.b)}, slot};
    }
    layout->firstTerm[index + 1] = layout->termCount;
}

SunLayout MakeLayout() {
    SunLayout layout;
    for (int k = 0; k < 6; ++k) LayOutSeries(kEarthLongitudeSeries[k], kL0 + k, &layout);
    for (int k = 0; k < 2; ++k) LayOutSeries(kEarthLatitudeSeries[k], kB0 + k, &layout);
    for (int k = 0; k < 5; ++k) LayOutSeries(kEarthRadiusSeries[k], kR0 + k, &layout);
    return layout;
}

const SunLayout& Layout() {
    static const SunLayout layout = MakeLayout();
    return layout;
}

// The thirteen sums at tau (Julian millennia).
struct SeriesSums {
    double s[kSeriesCount];
};

SeriesSums SumAll(double tau) {
    const SunLayout& layout = Layout();
    double angles[kMostTerms], sines[kMostTerms], cosines[kMostTerms];
    for (int k = 0; k < layout.frequencyCount; ++k) angles[k] = layout.frequencies[k] * tau;
    SeriesSinCosArray(angles, sines, cosines, layout.frequencyCount);
    Pair turns[kMostTerms];
    for (int k = 0; k < layout.frequencyCount; ++k) turns[k] = Pair{cosines[k], sines[k]};

    // Each term onto the running sum in table order, from the constant: the first-power
    // longitude's constant is 6e11 units, and this order keeps its rounding as it was.
    SeriesSums sums;
    for (int index = 0; index < kSeriesCount; ++index) {
        double sum = layout.constant[index];
        for (int i = layout.firstTerm[index]; i < layout.firstTerm[index + 1]; ++i) {
            const Pair product = layout.terms[i].coefficients * turns[layout.terms[i].frequency];
            sum += product[0] + product[1];
        }
        sums.s[index] = sum;
    }
    return sums;
}

// X0 + X1 tau + X2 tau^2 + ... in Horner form, powers first..last.
double Powers(const SeriesSums& sums, int first, int last, double tau) {
    double sum = 0.0;
    for (int k = last; k >= first; --k) sum = sum * tau + sums.s[k];
    return sum;
}

double EarthLongitude(const SeriesSums& sums, double tau) {
    double x = sums.s[kL0] + sums.s[kL0 + 1] * tau;
    // The two large series are reduced to one turn before the small higher powers are added,
    // which is why the result can dip just below 0.
    x -= std::floor(x * kInverseTurn) * kTurn;
    x += Powers(sums, kL0 + 2, kL5, tau) * (tau * tau);
    return FmodDegrees(x * kSeriesUnitToDeg);
}

}  // namespace

double EarthLongitudeSeries(double T) {
    const double tau = T / 10.0;
    return EarthLongitude(SumAll(tau), tau);
}

void GetSunEclipticPosition(double T, double* longitude, double* latitude, double* distance) {
    const double tau = T / 10.0;
    const SeriesSums sums = SumAll(tau);
    const double theta = EarthLongitude(sums, tau) + 180.0;
    const double earthLatitude = Powers(sums, kB0, kB1, tau) * kSeriesUnitToDeg;

    // Meeus' conversion from the dynamical ecliptic of VSOP87 to the FK5 system.
    const double lambdaPrime = (theta - 1.397 * T - 0.00031 * T * T) * kDegToRad;
    double sinLambda, cosLambda;
    SeriesSinCos(lambdaPrime, &sinLambda, &cosLambda);
    *longitude = (theta - 2.5091666666666666e-5) * kDegToRad;
    *latitude = (-earthLatitude + 1.0877777777777778e-5 * (cosLambda - sinLambda)) * kDegToRad;
    *distance = Powers(sums, kR0, kR4, tau) * 1e-8;
}
