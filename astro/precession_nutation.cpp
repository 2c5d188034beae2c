#include "astro/precession_nutation.h"
#include "astro/precession_nutation_internal.h"

#include <algorithm>
#include <cmath>

#include "core/angle_units.h"
#include "astro/matrices.h"
#include "theories/series_trig.h"

AstrometryCache astrometryCache;

namespace {
constexpr double kPerCentury = 2.7378507871321012e-5;  // 1 / 36525
constexpr double kHoursToRad = 0.26179938779914946;

// The sky-matrix index of a usual (x, y, z) index: x and y change places.
constexpr int kSkyIndex[3] = {1, 0, 2};

}  // namespace

void PrecessionAngles(double jd1, double jd2, double angles[3]) {
    const double t0 = (jd1 - kJ2000) * kPerCentury;
    const double t = (jd2 - jd1) * kPerCentury;
    const double rate = 2306.2181 + (1.39656 - 0.000139 * t0) * t0;
    angles[0] = (rate + ((0.30188 - 0.000344 * t0) + 0.017998 * t) * t) * t * kArcsecToRad;  // zeta
    angles[1] = (rate + ((1.09468 + 0.000066 * t0) + 0.018203 * t) * t) * t * kArcsecToRad;  // z
    angles[2] = ((2004.3109 + (-0.85330 - 0.000217 * t0) * t0) +                              // theta
                 ((-0.42665 - 0.000217 * t0) - 0.041833 * t) * t) *
                t * kArcsecToRad;
}

void PrecessionRotationOf(const double sines[3], const double cosines[3], double R[3][3]) {
    const double cz = cosines[0], sz = sines[0];
    const double cZ = cosines[1], sZ = sines[1];
    const double cT = cosines[2], sT = sines[2];
    R[0][0] = cz * cT * cZ - sz * sZ;
    R[0][1] = -sz * cT * cZ - cz * sZ;
    R[0][2] = -sT * cZ;
    R[1][0] = cz * cT * sZ + sz * cZ;
    R[1][1] = -sz * cT * sZ + cz * cZ;
    R[1][2] = -sT * sZ;
    R[2][0] = cz * sT;
    R[2][1] = -sz * sT;
    R[2][2] = cT;
}

namespace {

// R (out = R × in) from the mean equator and equinox of jd1 to that of jd2.
void PrecessionRotation(double jd1, double jd2, double R[3][3]) {
    double angles[3], sines[3], cosines[3];
    PrecessionAngles(jd1, jd2, angles);
    SeriesSinCosArray(angles, sines, cosines, 3);
    PrecessionRotationOf(sines, cosines, R);
}

// N (out = N × in) from the mean to the true equator and equinox of jd.
void NutationRotation(double jd, double N[3][3]) {
    double meanObliquity, trueObliquity, dpsi;
    ComputeEarthTilt(jd, &meanObliquity, &trueObliquity, nullptr, &dpsi, nullptr);
    const double angles[3] = {meanObliquity * kDegToRad, trueObliquity * kDegToRad, dpsi * kArcsecToRad};
    double sines[3], cosines[3];
    SeriesSinCosArray(angles, sines, cosines, 3);
    const double cm = cosines[0], sm = sines[0];
    const double ct = cosines[1], st = sines[1];
    const double cp = cosines[2], sp = sines[2];
    N[0][0] = cp;
    N[0][1] = -sp * cm;
    N[0][2] = -sp * sm;
    N[1][0] = sp * ct;
    N[1][1] = cp * cm * ct + sm * st;
    N[1][2] = cp * sm * ct - cm * st;
    N[2][0] = sp * st;
    N[2][1] = cp * cm * st - sm * ct;
    N[2][2] = cp * sm * st + cm * ct;
}

void Rotate(const double R[3][3], const double v[3], double out[3]) {
    const double x = v[0], y = v[1], z = v[2];
    out[0] = R[0][0] * x + R[0][1] * y + R[0][2] * z;
    out[1] = R[1][0] * x + R[1][1] * y + R[1][2] * z;
    out[2] = R[2][0] * x + R[2][1] * y + R[2][2] * z;
}

void RotateTransposed(const double R[3][3], const double v[3], double out[3]) {
    const double x = v[0], y = v[1], z = v[2];
    out[0] = R[0][0] * x + R[1][0] * y + R[2][0] * z;
    out[1] = R[0][1] * x + R[1][1] * y + R[2][1] * z;
    out[2] = R[0][2] * x + R[1][2] * y + R[2][2] * z;
}

double ReduceTurn(double angle) {
    double r = FmodTurn(angle);
    if (r < 0) r += kTwoPi;
    return r;
}

// The argument steps in an order that lets the machine work on several at once: by how many
// steps lie between a slot and the base angles, so that no step waits on the one just
// before it, and two steps of one level side by side, to be worked out together. Each slot
// is still made from the same two slots the same way.
typedef double Pair __attribute__((vector_size(16)));
typedef double Quad __attribute__((vector_size(32)));
// The helpers that take or give a quad are this file's own and compiled into their callers;
// the compiler's note that such a function's calling convention differs with and without
// the wide registers does not concern them.
#pragma GCC diagnostic ignored "-Wpsabi"

struct StepPair {
    std::uint16_t a[2], b[2], slot[2];  // byte offsets of the slots in the table of pairs
    Quad signs;  // (sign, -sign) twice: factors (exact) rather than a branch the machine would mispredict
};

constexpr std::uint16_t SlotBytes(int slot) { return static_cast<std::uint16_t>(slot * sizeof(Pair)); }

// The longitude and obliquity coefficients as (longitude, obliquity) pairs by slot (zero
// where a slot has none), so that one pass over the (sine, cosine) pairs of the slots sums
// both series two at a time, instead of looking every slot up. The short rate lists keep
// their look-ups. A level with an odd number of steps pairs its last one with a step that
// writes the scratch slot after them.
constexpr int kPaddedSlots = (kNutationSlotCount + 1) / 2 * 2;
constexpr int kScratchSlot = kPaddedSlots;

struct NutationLayout {
    StepPair steps[kNutationArgumentStepCount];
    int stepPairs = 0;
    Pair coefficients[kPaddedSlots] = {};
};

const NutationLayout& Layout() {
    static const NutationLayout layout = [] {
        NutationLayout l;
        int depth[kNutationSlotCount] = {};
        int deepest = 0;
        for (int i = 0; i < kNutationArgumentStepCount; ++i) {
            const NutationArgumentStep& step = kNutationArgumentSteps[i];
            depth[kNutationBaseSlots + i] = 1 + std::max(depth[step.a], depth[step.b]);
            deepest = std::max(deepest, depth[kNutationBaseSlots + i]);
        }
        for (int level = 1; level <= deepest; ++level) {
            int half = 0;
            for (int i = 0; i < kNutationArgumentStepCount; ++i) {
                const NutationArgumentStep& step = kNutationArgumentSteps[i];
                if (depth[kNutationBaseSlots + i] != level) continue;
                StepPair& pair = l.steps[l.stepPairs];
                pair.a[half] = SlotBytes(step.a);
                pair.b[half] = SlotBytes(step.b);
                pair.slot[half] = SlotBytes(kNutationBaseSlots + i);
                pair.signs[2 * half] = step.sign;
                pair.signs[2 * half + 1] = -step.sign;
                half = 1 - half;
                if (half == 0) ++l.stepPairs;
            }
            if (half == 1) {
                StepPair& pair = l.steps[l.stepPairs++];
                pair.a[1] = pair.b[1] = SlotBytes(0);
                pair.slot[1] = SlotBytes(kScratchSlot);
                pair.signs[2] = 1.0;
                pair.signs[3] = -1.0;
            }
        }
        for (const NutationCoefficient& term : kNutationLongitude) l.coefficients[term.slot][0] += term.value;
        for (const NutationCoefficient& term : kNutationObliquity) l.coefficients[term.slot][1] += term.value;
        return l;
    }();
    return layout;
}

Quad Join(Pair low, Pair high) { return __builtin_shufflevector(low, high, 0, 1, 2, 3); }

// Fills the slots after the base ones and sums the two series over all of them: the
// (longitude, obliquity) sums. Where the machine has them, with its wide registers, which
// take two pairs in one step (the sums are the same to the last bit either way). Clang
// does not take the two attributes together; it builds the one version.
#if defined(__x86_64__) && defined(__has_attribute) && !defined(__clang__)
#if __has_attribute(target_clones) && __has_attribute(flatten)
__attribute__((target_clones("avx2", "default"), flatten))
#endif
#endif
Pair SumNutationSeries(const NutationLayout& layout, Pair* slots) {
    char* bytes = reinterpret_cast<char*>(slots);
    auto load = [&](std::uint16_t at) { return *reinterpret_cast<const Pair*>(bytes + at); };
    for (int n = 0; n < layout.stepPairs; ++n) {
        const StepPair& step = layout.steps[n];
        // (sa cb + ca sb', ca cb - sa sb') with sb' = sign sb, for both steps.
        const Quad x = Join(load(step.a[0]), load(step.a[1]));
        const Quad y = Join(load(step.b[0]), load(step.b[1]));
        const Quad crossed = __builtin_shufflevector(x, x, 1, 0, 3, 2);
        const Quad made = x * __builtin_shufflevector(y, y, 1, 1, 3, 3) +
                          crossed * (__builtin_shufflevector(y, y, 0, 0, 2, 2) * step.signs);
        *reinterpret_cast<Pair*>(bytes + step.slot[0]) = __builtin_shufflevector(made, made, 0, 1);
        *reinterpret_cast<Pair*>(bytes + step.slot[1]) = __builtin_shufflevector(made, made, 2, 3);
    }
    // The even slots' products in the low half, the odd slots' in the high half.
    Quad sum = {};
    for (int k = 0; k < kPaddedSlots; k += 2) sum += Join(layout.coefficients[k], layout.coefficients[k + 1]) *
                                                     Join(slots[k], slots[k + 1]);
    return __builtin_shufflevector(sum, sum, 0, 1) + __builtin_shufflevector(sum, sum, 2, 3);
}

// A rate list's sum over the sines (part 0) or cosines (part 1) of its slots.
template <int N>
double SumRates(const NutationCoefficient (&terms)[N], const Pair* slots, int part) {
    double sum0 = 0.0, sum1 = 0.0;
    int i = 0;
    for (; i + 2 <= N; i += 2) {
        sum0 += terms[i].value * slots[terms[i].slot][part];
        sum1 += terms[i + 1].value * slots[terms[i + 1].slot][part];
    }
    for (; i < N; ++i) sum0 += terms[i].value * slots[terms[i].slot][part];
    return sum0 + sum1;
}

}  // namespace

void Precession(double jd1, const double pos[3], double jd2, double out[3]) {
    double R[3][3];
    PrecessionRotation(jd1, jd2, R);
    Rotate(R, pos, out);
}

void PrecessionMatrix(double jd, double M[9]) {
    // Built as the rotation from the date back to J2000.0 and stored transposed.
    double R[3][3];
    PrecessionRotation(jd, kJ2000, R);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) M[i * 3 + j] = R[kSkyIndex[j]][kSkyIndex[i]];
}

namespace {

// The Delaunay arguments as their polynomials give them, not brought into one turn: the
// series only takes their sines and cosines, whose own reduction holds full precision for
// these sizes.
void UnreducedFundamentalArguments(double T, double a[5]) {
    a[0] = 2.3555483935439407 + T * (8328.691422883896 + T * (1.517951635553957e-4 + 3.1028075591010306e-7 * T));
    a[1] = 6.240035939326023 + T * (628.3019560241842 + T * (-2.7973749400020225e-6 - 5.817764173314431e-8 * T));
    a[2] = 1.6279019339719611 + T * (8433.466158318453 + T * (-6.427174970469119e-5 + 5.332950492204896e-8 * T));
    a[3] = 5.198469513579922 + T * (7771.377146170642 + T * (-3.340851076525812e-5 + 9.211459941081184e-8 * T));
    a[4] = 2.1824386243609943 + T * (-33.75704593375351 + T * (3.614285992671591e-5 + 3.878509448876288e-8 * T));
}

}  // namespace

void FundamentalArguments(double T, double a[5]) {
    UnreducedFundamentalArguments(T, a);
    for (int i = 0; i < 5; ++i) a[i] = ReduceTurn(a[i]);
}

int NutationAngles(double T, double* dpsi, double* deps) {
    AstrometryCache& cache = astrometryCache;
    if (!cache.nutationValid || T != cache.nutationT) {
        double a[5];
        UnreducedFundamentalArguments(T, a);
        const double base[kNutationBaseSlots] = {a[0], a[1], 2.0 * a[2], a[3], a[4]};
        // Only the five base angles cost a sine and a cosine; every other argument comes
        // from two earlier ones by the angle-sum identities, on (sine, cosine) pairs.
        double s[kNutationBaseSlots], c[kNutationBaseSlots];
        SeriesSinCosArray(base, s, c, kNutationBaseSlots);
        const NutationLayout& layout = Layout();
        // Every slot is written (the base ones here, the others by their steps, the padding
        // here), so the table is not cleared first; one more slot takes the scratch steps.
        Pair slots[kPaddedSlots + 1];
        if (kPaddedSlots > kNutationSlotCount) slots[kPaddedSlots - 1] = Pair{};
        for (int k = 0; k < kNutationBaseSlots; ++k) slots[k] = Pair{s[k], c[k]};
        const Pair sums = SumNutationSeries(layout, slots);
        const double psi = sums[0];
        const double eps = sums[1];
        const double psiRate = SumRates(kNutationLongitudeRate, slots, 0);
        const double epsRate = SumRates(kNutationObliquityRate, slots, 1);
        cache.nutationT = T;
        cache.nutationDpsi = 0.0001 * (psi + T * psiRate);
        cache.nutationDeps = 0.0001 * (eps + T * epsRate);
        cache.nutationValid = true;
        ++cache.nutationEvaluations;
    }
    if (dpsi) *dpsi = cache.nutationDpsi;
    if (deps) *deps = cache.nutationDeps;
    return 0;
}

void ComputeEarthTilt(double jd, double* meanObliquity, double* trueObliquity,
                      double* equationOfEquinoxes, double* dpsi, double* deps) {
    AstrometryCache& cache = astrometryCache;
    const double T = (jd - kJ2000) * kPerCentury;
    if (!cache.tiltValid || jd != cache.tiltJD) {
        NutationAngles(T, &cache.tiltDpsi, &cache.tiltDeps);
        cache.tiltJD = jd;
        cache.tiltValid = true;
    }
    const double meanArcsec = 84381.448 + T * (-46.815 + T * (-0.00059 + 0.001813 * T));
    if (meanObliquity) *meanObliquity = meanArcsec / 3600.0;
    if (trueObliquity) *trueObliquity = (meanArcsec + cache.tiltDeps) / 3600.0;
    if (equationOfEquinoxes) {
        double a[5];
        FundamentalArguments(T, a);
        const double omega = a[4];
        *equationOfEquinoxes = (cache.tiltDpsi * std::cos(meanArcsec * kArcsecToRad) +
                                0.00264 * std::sin(omega) + 0.000063 * std::sin(2.0 * omega)) /
                               15.0;
    }
    if (dpsi) *dpsi = cache.tiltDpsi;
    if (deps) *deps = cache.tiltDeps;
}

void NutateVector(double jd, int direction, const double pos[3], double out[3]) {
    double N[3][3];
    NutationRotation(jd, N);
    if (direction == 0)
        Rotate(N, pos, out);
    else
        RotateTransposed(N, pos, out);
}

void J2000ToTrueOfDate(double jd, const double pos[3], double out[3]) {
    AstrometryCache& cache = astrometryCache;
    if (!cache.toDateValid || jd != cache.toDateJD) {
        PrecessionRotation(kJ2000, jd, cache.toDatePrecession);
        NutationRotation(jd, cache.toDateNutation);
        cache.toDateJD = jd;
        cache.toDateValid = true;
        ++cache.toDateBuilds;
    }
    double mean[3];
    Rotate(cache.toDatePrecession, pos, mean);
    Rotate(cache.toDateNutation, mean, out);
}

void NutationMatrix(double jd, double M[9]) {
    double N[3][3];
    NutationRotation(jd, N);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) M[i * 3 + j] = N[kSkyIndex[i]][kSkyIndex[j]];
}

void PrecessToDate(double jd, double* ra, double* dec) {
    AstrometryCache& cache = astrometryCache;
    if (!cache.precessionValid || jd != cache.precessionCacheJD) {
        // Precession first, then nutation of the date: the product is N × P.
        double P[9], N[9];
        PrecessionMatrix(jd, P);
        NutationMatrix(jd, N);
        MultiplyMatrix3(N, P, cache.precessionNutationMatrix);
        cache.precessionCacheJD = jd;
        cache.precessionValid = true;
        ++cache.precessionBuilds;
    }
    const double a = *ra * kHoursToRad, d = *dec * kDegToRad;
    const double v[3] = {std::cos(d) * std::sin(a), std::cos(d) * std::cos(a), std::sin(d)};
    double w[3];
    MatrixTimesVector3(cache.precessionNutationMatrix, v, w);
    *dec = std::asin(std::clamp(w[2], -1.0, 1.0)) * kRadToDeg;
    double r = std::atan2(w[0], w[1]) * kRadToHours;
    if (r < 0) r += 24.0;
    if (r >= 24.0) r -= 24.0;
    *ra = r;
}

void FreeAstrometryBuffers() {
    // The series works in local arrays; what it keeps between calls is the cache.
    astrometryCache.nutationValid = false;
}

void ResetAstrometryCaches() { astrometryCache = AstrometryCache{}; }
