#include "theories/series_trig.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Four doubles, or four 64-bit words, at a time: two or one instructions each where the
// machine can, and independent chains for the ones that cannot.
typedef double Vec __attribute__((vector_size(32)));
typedef std::uint64_t Words __attribute__((vector_size(32)));
constexpr int kLanes = 4;

constexpr double kTwoOverPi = 0.6366197723675814;
// pi/2 in three parts. The first two have 33 significant bits, so their products with a
// quadrant number below 2^20 are exact and the reduced angle keeps its full precision even
// next to a multiple of pi/2.
constexpr double kHalfPi1 = 1.5707963267341256;
constexpr double kHalfPi2 = 6.077100506303966e-11;
constexpr double kHalfPi3 = 2.0222662487959506e-21;
// Adding 1.5 * 2^52 rounds a double below 2^51 to an integer held in the low mantissa bits.
constexpr double kRoundingShift = 6755399441055744.0;
// Keeps the quadrant number below 2^20.
constexpr double kLargestAngle = 1.0e6;

constexpr double Factorial(int n) {
    double f = 1.0;
    for (int i = 2; i <= n; ++i) f *= i;
    return f;
}

inline bool InRange(double x) { return std::fabs(x) <= kLargestAngle; }  // false for NaN

// x = q pi/2 + r with |r| <= pi/4; r goes into Taylor series (the first term left out is
// below 1e-18 there), and the quadrant q mod 4 picks which series gives the sine and which
// the cosine, and their signs.
#if defined(__x86_64__) && defined(__has_attribute)
#if __has_attribute(target_clones)
__attribute__((target_clones("avx2", "default")))
#endif
#endif
void SinCosLanes(const double in[kLanes], double sines[kLanes], double cosines[kLanes]) {
    Vec x;
    std::memcpy(&x, in, sizeof x);
    const Vec shifted = x * kTwoOverPi + kRoundingShift;
    const Vec q = shifted - kRoundingShift;
    const Words quadrant = (Words)shifted;
    const Vec r = ((x - q * kHalfPi1) - q * kHalfPi2) - q * kHalfPi3;
    const Vec z = r * r;

    // Both series in z = r^2 by Estrin's scheme: pairs of terms, then pairs of pairs, so that
    // the multiplications do not wait on each other in one long chain.
    const Vec z2 = z * z;
    const Vec z4 = z2 * z2;
    const Vec sinLow = (z * (1.0 / Factorial(5)) - 1.0 / Factorial(3)) + z2 * (z * (1.0 / Factorial(9)) - 1.0 / Factorial(7));
    const Vec sinHigh = (z * (1.0 / Factorial(13)) - 1.0 / Factorial(11)) + z2 * (z * (1.0 / Factorial(17)) - 1.0 / Factorial(15));
    const Words s = (Words)(r + r * z * (sinLow + z4 * sinHigh));
    const Vec cosLow = (z * (1.0 / Factorial(4)) - 1.0 / Factorial(2)) + z2 * (z * (1.0 / Factorial(8)) - 1.0 / Factorial(6));
    const Vec cosHigh = (z * (1.0 / Factorial(12)) - 1.0 / Factorial(10)) + z2 * (z * (1.0 / Factorial(16)) - 1.0 / Factorial(14));
    const Words c = (Words)(1.0 + z * (cosLow + z4 * cosHigh));

    const Words odd = -(quadrant & 1);
    const Words sineSign = (quadrant & 2) << 62;
    const Words cosineSign = ((quadrant + 1) & 2) << 62;
    const Vec sine = (Vec)(((c & odd) | (s & ~odd)) ^ sineSign);
    const Vec cosine = (Vec)(((s & odd) | (c & ~odd)) ^ cosineSign);
    std::memcpy(sines, &sine, sizeof sine);
    std::memcpy(cosines, &cosine, sizeof cosine);
    // One test for all four lanes (false for NaN too), and the lanes one by one only then.
    const Words magnitude = (Words)x & 0x7fffffffffffffffULL;
    const Words inRange = (Vec)magnitude <= kLargestAngle;
    if ((inRange[0] & inRange[1] & inRange[2] & inRange[3]) == 0) {
        for (int i = 0; i < kLanes; ++i) {
            if (!InRange(in[i])) {
                sines[i] = std::sin(in[i]);
                cosines[i] = std::cos(in[i]);
            }
        }
    }
}

}  // namespace

void SeriesSinCos(double angle, double* sine, double* cosine) {
    const double in[kLanes] = {angle};
    double s[kLanes], c[kLanes];
    SinCosLanes(in, s, c);
    *sine = s[0];
    *cosine = c[0];
}

void SeriesSinCosArray(const double* angles, double* sines, double* cosines, int count) {
    int i = 0;
    for (; i + kLanes <= count; i += kLanes) SinCosLanes(angles + i, sines + i, cosines + i);
    // The last one to three angles, copied one by one: a loop of unknown length here
    // becomes a call to the library's memcpy, which costs more than the copy.
    const int rest = count - i;
    if (rest > 0) {
        double in[kLanes] = {}, s[kLanes], c[kLanes];
        in[0] = angles[i];
        if (rest > 1) in[1] = angles[i + 1];
        if (rest > 2) in[2] = angles[i + 2];
        SinCosLanes(in, s, c);
        sines[i] = s[0];
        cosines[i] = c[0];
        if (rest > 1) {
            sines[i + 1] = s[1];
            cosines[i + 1] = c[1];
        }
        if (rest > 2) {
            sines[i + 2] = s[2];
            cosines[i + 2] = c[2];
        }
    }
}
