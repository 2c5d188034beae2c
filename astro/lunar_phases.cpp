#include "astro/lunar_phases.h"

#include <cmath>
#include <limits>

#include "core/angle_units.h"
#include "astro/time_scales.h"

namespace {
constexpr double kSecondsToDays = 1.1574074074074073e-5;
constexpr double kOverShadowScale = 1.8348623853211008;  // 1 / 0.5450

// Degrees reduced into [0, 360) and turned into radians.
double ReducedRadians(double degrees) {
    double r = std::fmod(degrees, 360.0);
    if (r < 0.0) r += 360.0;
    return r * kDegToRad;
}

double Sin(double degrees) { return std::sin(degrees * kDegToRad); }

struct PhaseArguments {
    double E, M, Mp, F, omega;  // radians, E unitless
    double A1;                  // degrees
};

double PlanetaryCorrection(double K, double T) {
    const double A[14] = {
        299.77 + 0.107408 * K - 0.009173 * T * T, 251.88 + 0.016321 * K, 251.83 + 26.651886 * K,
        349.42 + 36.412478 * K,  84.66 + 18.206239 * K,  141.74 + 53.303771 * K, 207.14 + 2.453732 * K,
        154.84 + 7.30686 * K,    34.52 + 27.261239 * K, 207.19 + 0.121824 * K,  291.34 + 1.844379 * K,
        161.72 + 24.198154 * K,  239.56 + 25.513099 * K, 331.55 + 3.592518 * K,
    };
    constexpr double kCoefficients[14] = {0.000325, 0.000165, 0.000164, 0.000126, 0.000110, 0.000062, 0.000060,
                                          0.000056, 0.000047, 0.000042, 0.000040, 0.000037, 0.000035, 0.000023};
    double sum = 0.0;
    for (int i = 0; i < 14; ++i) sum += kCoefficients[i] * Sin(A[i]);
    return sum;
}

double NewOrFullCorrection(bool full, const PhaseArguments& a) {
    const double E = a.E, M = a.M, Mp = a.Mp, F = a.F, O = a.omega;
    double c;
    if (full) {
        c = -0.40614 * std::sin(Mp) + 0.17302 * E * std::sin(M) + 0.01614 * std::sin(2 * Mp) + 0.01043 * std::sin(2 * F) +
            0.00734 * E * std::sin(Mp - M) - 0.00515 * E * std::sin(Mp + M) + 0.00209 * E * E * std::sin(2 * M);
    } else {
        c = -0.4072 * std::sin(Mp) + 0.17241 * E * std::sin(M) + 0.01608 * std::sin(2 * Mp) + 0.01039 * std::sin(2 * F) +
            0.00739 * E * std::sin(Mp - M) - 0.00514 * E * std::sin(Mp + M) + 0.00208 * E * E * std::sin(2 * M);
    }
    c += -0.00111 * std::sin(Mp - 2 * F) - 0.00057 * std::sin(Mp + 2 * F) + 0.00056 * E * std::sin(2 * Mp + M) -
         0.00042 * std::sin(3 * Mp) + 0.00042 * E * std::sin(M + 2 * F) + 0.00038 * E * std::sin(M - 2 * F) -
         0.00024 * E * std::sin(2 * Mp - M) - 0.00017 * std::sin(O) - 0.00007 * std::sin(Mp + 2 * M) +
         0.00004 * std::sin(2 * Mp - 2 * F) + 0.00004 * std::sin(3 * M) + 0.00003 * std::sin(Mp + M - 2 * F) +
         0.00003 * std::sin(2 * Mp + 2 * F) - 0.00003 * std::sin(Mp + M + 2 * F) + 0.00003 * std::sin(Mp - M + 2 * F) -
         0.00002 * std::sin(Mp - M - 2 * F) - 0.00002 * std::sin(3 * Mp + M) + 0.00002 * std::sin(4 * Mp);
    return c;
}

double QuarterCorrection(bool first, const PhaseArguments& a) {
    const double E = a.E, M = a.M, Mp = a.Mp, F = a.F, O = a.omega;
    const double c =
        -0.62801 * std::sin(Mp) + 0.17172 * E * std::sin(M) - 0.01183 * E * std::sin(Mp + M) +
        0.00862 * std::sin(2 * Mp) + 0.00804 * std::sin(2 * F) + 0.00454 * E * std::sin(Mp - M) +
        0.00204 * E * E * std::sin(2 * M) - 0.0018 * std::sin(Mp - 2 * F) - 0.0007 * std::sin(Mp + 2 * F) -
        0.0004 * std::sin(3 * Mp) - 0.00034 * E * std::sin(2 * Mp - M) + 0.00032 * E * std::sin(M + 2 * F) +
        0.00032 * E * std::sin(M - 2 * F) - 0.00028 * E * E * std::sin(Mp + 2 * M) + 0.00027 * E * std::sin(2 * Mp + M) -
        0.00017 * std::sin(O) - 0.00005 * std::sin(Mp - M - 2 * F) + 0.00004 * std::sin(2 * Mp + 2 * F) -
        0.00004 * std::sin(Mp + M + 2 * F) + 0.00004 * std::sin(Mp - 2 * M) + 0.00003 * std::sin(Mp + M - 2 * F) +
        0.00003 * std::sin(3 * M) + 0.00002 * std::sin(2 * Mp - 2 * F) + 0.00002 * std::sin(Mp - M + 2 * F) -
        0.00002 * std::sin(3 * Mp + M);
    const double W = 0.00306 - 0.00038 * E * std::cos(M) + 0.00026 * std::cos(Mp) - 0.00002 * std::cos(Mp - M) +
                     0.00002 * std::cos(Mp + M) + 0.00002 * std::cos(2 * F);
    return first ? c + W : c - W;
}

// The eclipse test at a new (full = false) or full moon. Returns the type.
double EclipseAt(bool full, double meanJDE, double deltaT, const PhaseArguments& a, double* greatest,
                 double* circumstances) {
    const double E = a.E, M = a.M, Mp = a.Mp, F = a.F, O = a.omega;
    if (std::fabs(std::sin(F)) > 0.36) return kEclipseNone;

    const double F1 = F - 0.02665 * kDegToRad * std::sin(O);
    const double P = 0.2070 * E * std::sin(M) + 0.0024 * E * std::sin(2 * M) - 0.0392 * std::sin(Mp) +
                     0.0116 * std::sin(2 * Mp) - 0.0073 * E * std::sin(Mp + M) + 0.0067 * E * std::sin(Mp - M) +
                     0.0118 * std::sin(2 * F1);
    const double Q = 5.2207 - 0.0048 * E * std::cos(M) + 0.0020 * E * std::cos(2 * M) - 0.3299 * std::cos(Mp) -
                     0.0060 * E * std::cos(Mp + M) + 0.0041 * E * std::cos(Mp - M);
    const double gamma = (P * std::cos(F1) + Q * std::sin(F1)) * (1.0 - 0.0048 * std::fabs(std::cos(F1)));
    const double u = 0.0059 + 0.0046 * E * std::cos(M) - 0.0182 * std::cos(Mp) + 0.0004 * std::cos(2 * Mp) -
                     0.0005 * std::cos(Mp + M);
    const double absGamma = std::fabs(gamma);

    double type = kEclipseNone;
    const double umbral = (1.0128 - u - absGamma) * kOverShadowScale;
    const double penumbral = (1.5573 + u - absGamma) * kOverShadowScale;
    if (full) {
        const double m = (1.0248 - u - absGamma) * kOverShadowScale;
        // A Moon that misses the penumbra is no eclipse, whatever the wider test says; one
        // that misses the umbra is penumbral.
        if (m > -1.059 && penumbral > 0.0) {
            if (umbral <= 0.0)
                type = kEclipsePenumbral;
            else if ((0.4678 - u) * (0.4678 - u) - gamma * gamma > 0.0)
                type = kEclipseTotal;
            else
                type = kEclipsePartial;
        }
    } else if (absGamma <= 1.5433 + u) {
        if (absGamma >= 1.0)
            type = kEclipsePartial;
        else if (u < 0.0)
            type = kEclipseTotal;
        else if (u > 0.0047)
            type = kEclipseAnnular;
        else
            type = u < 0.00464 * std::sqrt(1.0 - gamma * gamma) ? kEclipseTotal : kEclipseAnnular;
    }
    if (type == kEclipseNone) return type;

    const double c1 = full ? -0.4065 : -0.4075;
    const double c2 = full ? 0.1727 : 0.1721;
    const double maximum = meanJDE + c1 * std::sin(Mp) + c2 * E * std::sin(M) + 0.0161 * std::sin(2 * Mp) -
                           0.0097 * std::sin(2 * F1) + 0.0073 * E * std::sin(Mp - M) - 0.0050 * E * std::sin(Mp + M) -
                           0.0023 * std::sin(Mp - 2 * F1) + 0.0021 * E * std::sin(2 * M) +
                           0.0012 * std::sin(Mp + 2 * F1) + 0.0006 * E * std::sin(2 * Mp + M) -
                           0.0004 * std::sin(3 * Mp) - 0.0003 * E * std::sin(M + 2 * F1) + 0.0003 * Sin(a.A1) -
                           0.0002 * E * std::sin(M - 2 * F1) - 0.0002 * E * std::sin(2 * Mp - M) -
                           0.0002 * std::sin(O) - deltaT * kSecondsToDays;
    if (greatest != nullptr) *greatest = maximum;

    if (circumstances != nullptr) {
        const double n = 0.5458 + 0.04 * std::cos(Mp);
        // Semidurations in days; NaN for a phase that does not occur.
        auto semiduration = [&](double radius) {
            const double radicand = radius * radius - gamma * gamma;
            return radicand >= 0.0 ? std::sqrt(radicand) / n / 24.0 : std::numeric_limits<double>::quiet_NaN();
        };
        const double p = semiduration(1.5573 + u);
        const double t = semiduration(1.0128 - u);
        const double s = semiduration(0.4678 - u);
        double* c = circumstances;
        c[kLunarP1] = maximum - p;
        c[kLunarU1] = maximum - t;
        c[kLunarU2] = maximum - s;
        c[kLunarGreatest] = maximum;
        c[kLunarU3] = maximum + s;
        c[kLunarU4] = maximum + t;
        c[kLunarP4] = maximum + p;
        c[kLunarUmbralMagnitude] = umbral;
        c[kLunarPenumbralMagnitude] = penumbral;
        c[kLunarPenumbralRadius] = 1.2848 + u;
        c[kLunarUmbralRadius] = 0.7403 - u;
        c[kLunarGamma] = gamma;
        c[kLunarU] = u;
    }
    return type;
}

}  // namespace

double GetMoonPhaseTime(double phase, int eclipseTest, double* eclipseType, double* eclipseJD, int* lunation,
                        int lunationFromDate, int* day, int* month, int* year, int hour, int minute,
                        double* circumstances) {
    if (day == nullptr || month == nullptr || year == nullptr) return 0.0;
    int k;
    if (lunationFromDate) {
        const double x = (DateToDecimalYear(*year, *month, *day, hour, minute, 0) - 2000.0) * 12.3685;
        k = static_cast<int>(std::floor(x + 0.5));
        if (lunation != nullptr) *lunation = k;
    } else {
        if (lunation == nullptr) return 0.0;
        k = *lunation;
    }

    const int phaseIndex = static_cast<int>(4.0 * phase);
    if (phaseIndex < 0 || phaseIndex > 3 || phase != phaseIndex * 0.25) return 0.0;

    const double K = k + phase;
    const double T = K * 0.0008085054776246109;
    const double T2 = T * T, T3 = T2 * T, T4 = T3 * T;
    const double meanJDE =
        2451550.09766 + 29.530588861 * K + 0.00015437 * T2 - 0.00000015 * T3 + 0.00000000073 * T4;

    PhaseArguments a;
    a.E = 1.0 - 0.002516 * T - 0.0000074 * T2;
    a.M = ReducedRadians(2.5534 + 29.1053567 * K - 0.0000014 * T2 - 0.00000011 * T3);
    a.Mp = ReducedRadians(201.5643 + 385.81693528 * K + 0.0107582 * T2 + 0.00001238 * T3 - 0.000000058 * T4);
    a.F = ReducedRadians(160.7108 + 390.67050284 * K - 0.0016118 * T2 - 0.00000227 * T3 + 0.00000001 * T4);
    a.omega = ReducedRadians(124.7746 - 1.56375588 * K + 0.0020672 * T2 + 0.00000215 * T3);
    a.A1 = 299.77 + 0.107408 * K - 0.009173 * T2;

    double correction;
    switch (phaseIndex) {
        case 0: correction = NewOrFullCorrection(false, a); break;
        case 2: correction = NewOrFullCorrection(true, a); break;
        default: correction = QuarterCorrection(phaseIndex == 1, a); break;
    }
    const double deltaT = GetDeltaT(*year, *month, *day);
    const double instant = meanJDE + correction + PlanetaryCorrection(K, T) - deltaT * kSecondsToDays;

    if (eclipseType != nullptr) *eclipseType = kEclipseNone;
    if (eclipseJD != nullptr) *eclipseJD = kEclipseNone;
    if (eclipseTest && (phaseIndex == 0 || phaseIndex == 2)) {
        if (eclipseType == nullptr) return 0.0;
        *eclipseType = EclipseAt(phaseIndex == 2, meanJDE, deltaT, a, eclipseJD, circumstances);
    }
    return instant;
}
