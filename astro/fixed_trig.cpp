#include "astro/fixed_trig.h"
#include "astro/fixed_trig_internal.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

using i32 = std::int32_t;
using i64 = std::int64_t;
using u32 = std::uint32_t;

// atan(2^-i) x 2^24, truncated, i = 0 to 24.
constexpr i32 kCircular[25] = {13176794, 7778716, 4110059, 2086330, 1047213, 524117, 262122,
                               131069,   65535,   32767,   16383,   8192,    4096,   2048,
                               1024,     512,     256,     128,     64,      32,     16,
                               8,        4,       2,       1};
// atanh(2^-i) x 2^24, truncated, i = 1 to 24.
constexpr i32 kHyperbolic[24] = {9215827, 4285115, 2108178, 1049944, 524458, 262165,
                                 131074,  65536,   32768,   16384,   8192,   4096,
                                 2048,    1024,    512,     256,     128,    64,
                                 32,      16,      8,       4,       2,      1};
// atan(2^-i) x 2048 for the 16-bit kernel, i = 0 to 11.
constexpr i32 kCircular16[12] = {1608, 949, 501, 254, 127, 63, 31, 15, 7, 3, 1, 1};

// The CORDIC gain as the start value of the rotation kernels.
constexpr i32 kCordicStart = 10188013;
constexpr i32 kCordicStart16 = 1243;

// Vectoring grows a vector by at most 1.65 x sqrt(2) over its larger component; below
// this bound nothing can leave 32 bits.
constexpr i64 kVectorLimit = i64{1} << 29;

// The device's registers wrap; unsigned arithmetic gives the same bits without leaving
// the language's defined behaviour.
inline i32 WrapAdd(i32 a, i32 b) { return static_cast<i32>(static_cast<u32>(a) + static_cast<u32>(b)); }
inline i32 WrapSub(i32 a, i32 b) { return static_cast<i32>(static_cast<u32>(a) - static_cast<u32>(b)); }
// v when mask is 0, -v when mask is all ones.
inline i32 Negate(i32 v, u32 mask) { return static_cast<i32>((static_cast<u32>(v) ^ mask) - mask); }

// One rotation step: x_{i+1} = x - d (y >> i), y_{i+1} = y + d (x >> i), z_{i+1} = z - d a_i,
// d = +1 for z >= 0. The angle's two outcomes are made first and one is selected, so its
// chain from step to step is a single instruction long.
inline void RotateStep(CordicResult& r, int i, i32 angleStep) {
    const u32 up = static_cast<u32>(r.z >> 31);  // all ones when z < 0
    const i32 dx = r.x >> i;
    const i32 dy = r.y >> i;
    r.x = WrapSub(r.x, Negate(dy, up));
    r.y = WrapAdd(r.y, Negate(dx, up));
    const i32 zDown = WrapSub(r.z, angleStep);
    const i32 zUp = WrapAdd(r.z, angleStep);
    r.z = up ? zUp : zDown;
}

template <bool kBranchless>
inline CordicResult Rotate(i32 x, i32 y, i32 z, const i32* table, int steps) {
    if constexpr (kBranchless) {
        CordicResult r{x, y, z};
        for (int i = 0; i < steps; ++i) RotateStep(r, i, table[i]);
        return r;
    } else {
        for (int i = 0; i < steps; ++i) {
            const i32 dx = x >> i;
            const i32 dy = y >> i;
            if (z < 0) {
                x = WrapAdd(x, dy);
                y = WrapSub(y, dx);
                z = WrapAdd(z, table[i]);
            } else {
                x = WrapSub(x, dy);
                y = WrapAdd(y, dx);
                z = WrapSub(z, table[i]);
            }
        }
        return {x, y, z};
    }
}

template <bool kBranchless>
inline CordicResult Vector(i32 x, i32 y, i32 z) {
    for (int i = 0; i < 25; ++i) {
        const i32 dx = x >> i;
        const i32 dy = y >> i;
        if constexpr (kBranchless) {
            const u32 up = -static_cast<u32>(y > 0);  // all ones when y > 0
            y = WrapAdd(y, Negate(dx, up));
            x = WrapSub(x, Negate(dy, up));
            z = WrapSub(z, Negate(kCircular[i], up));
        } else if (y <= 0) {
            y = WrapAdd(y, dx);
            x = WrapSub(x, dy);
            z = WrapSub(z, kCircular[i]);
        } else {
            y = WrapSub(y, dx);
            x = WrapAdd(x, dy);
            z = WrapAdd(z, kCircular[i]);
        }
    }
    return {x, y, z};
}

// Steps 1 to 24 with 4 and 13 done twice, as hyperbolic CORDIC needs to converge.
template <bool kBranchless>
inline CordicResult HyperbolicVector(i32 x, i32 y, i32 z) {
    auto step = [&](int i) {
        const i32 dx = x >> i;
        const i32 dy = y >> i;
        const i32 h = kHyperbolic[i - 1];
        if constexpr (kBranchless) {
            const u32 up = -static_cast<u32>(y > 0);
            x = WrapAdd(x, Negate(dy, up));
            y = WrapAdd(y, Negate(dx, up));
            z = WrapSub(z, Negate(h, up));
        } else if (y > 0) {
            x = WrapSub(x, dy);
            y = WrapSub(y, dx);
            z = WrapAdd(z, h);
        } else {
            x = WrapAdd(x, dy);
            y = WrapAdd(y, dx);
            z = WrapSub(z, h);
        }
    };
    for (int i = 1; i <= 24; ++i) {
        step(i);
        if (i == 4 || i == 13) step(i);
    }
    return {x, y, z};
}

inline i32 Saturate(i64 v) {
    return static_cast<i32>(std::clamp<i64>(v, std::numeric_limits<i32>::min(), std::numeric_limits<i32>::max()));
}

// Vectoring of any 64-bit vector: halve both components until they are safe for the
// steps (the angle does not change), then give the magnitude back at full scale.
template <bool kBranchless>
inline CordicResult VectorScaled(i64 x, i64 y, i32 z) {
    int shift = 0;
    while (std::max(std::llabs(x), std::llabs(y)) >= kVectorLimit) {
        x >>= 1;
        y >>= 1;
        ++shift;
    }
    CordicResult r = Vector<kBranchless>(static_cast<i32>(x), static_cast<i32>(y), z);
    if (shift > 0) {
        r.x = Saturate(static_cast<i64>(r.x) * (i64{1} << shift));
        r.y = Saturate(static_cast<i64>(r.y) * (i64{1} << shift));
    }
    return r;
}

inline i32 Mul(i32 a, i32 b) { return static_cast<i32>((static_cast<i64>(a) * b) >> 24); }

// An angle folded into the first quadrant, and the quadrant it came from.
struct Folded {
    i32 z;
    int quadrant;
};

inline Folded Fold(i32 angle) {
    i32 a = angle % kFixTurn;
    if (a < 0) a += kFixTurn;
    if (a < kFixQuarterTurn) return {a, 0};
    if (a < kFixHalfTurn) return {kFixHalfTurn - a, 1};
    if (a < kFixThreeQuarterTurn) return {kFixThreeQuarterTurn - a, 2};
    return {kFixTurn - a, 3};
}

inline void Unfold(const CordicResult& r, int quadrant, i32* cosine, i32* sine) {
    switch (quadrant) {
        case 0: *cosine = r.x; *sine = r.y; break;
        case 1: *cosine = -r.x; *sine = r.y; break;
        case 2: *cosine = -r.y; *sine = -r.x; break;
        default: *cosine = r.x; *sine = -r.y; break;
    }
}

// Fold the angle into the first quadrant, rotate, and unfold.
inline void SinCos(i32 angle, i32* cosine, i32* sine) {
    const Folded f = Fold(angle);
    Unfold(Rotate<true>(kCordicStart, 0, f.z, kCircular, 25), f.quadrant, cosine, sine);
}

// Two rotations stepped together: each step's chain is short, so the two run side by side
// in the processor instead of one after the other. Each gives the bits of Rotate.
inline void RotatePair(CordicResult& p, CordicResult& q) {
#pragma GCC unroll 25
    for (int i = 0; i < 25; ++i) {
        RotateStep(p, i, kCircular[i]);
        RotateStep(q, i, kCircular[i]);
    }
}

// The arc sine series to the ninth power, for 0 <= a <= 0.5.
inline i32 AsinSeries(i32 a) {
    const i64 q = (static_cast<i64>(a) * a) >> 24;
    i64 p = 509724;
    for (const i64 c : {748982, 1258291, 2796202, 16777216}) p = ((p * q) >> 24) + c;
    return static_cast<i32>((p * a) >> 24);
}

// |s| clamped to 1.0: beyond it the arc sine is undefined and the floating path would
// turn NaN into an integer.
inline i32 AbsClamped(i32 s) { return static_cast<i32>(std::min<i64>(std::llabs(static_cast<i64>(s)), kFixOne)); }

inline i32 AsinCordicAbs(i32 a) {
    if (a >= 16441672) return static_cast<i32>(std::asin(a / 16777216.0) * 16777216.0);
    const i32 q = static_cast<i32>((static_cast<i64>(a) * a) >> 24);
    // 1 +- 1/(4 g^2) with the hyperbolic gain g, so that g^2 (x0^2 - y0^2) = 1 - s^2.
    const CordicResult h = HyperbolicVector<true>(22892727 - q, 10661705 - q, 0);
    const CordicResult v = VectorScaled<true>(h.x, a, 0);
    return v.z;
}

}  // namespace

CordicResult CordicRotate(i32 x, i32 y, i32 z) { return Rotate<true>(x, y, z, kCircular, 25); }
CordicResult CordicVector(i32 x, i32 y, i32 z) { return VectorScaled<true>(x, y, z); }
CordicResult CordicHyperbolicVector(i32 x, i32 y, i32 z) { return HyperbolicVector<true>(x, y, z); }
CordicResult CordicRotate16(i32 x, i32 y, i32 z) { return Rotate<true>(x, y, z, kCircular16, 12); }

CordicResult CordicRotateBranchy(i32 x, i32 y, i32 z) { return Rotate<false>(x, y, z, kCircular, 25); }
CordicResult CordicVectorBranchy(i32 x, i32 y, i32 z) { return VectorScaled<false>(x, y, z); }
CordicResult CordicHyperbolicVectorBranchy(i32 x, i32 y, i32 z) { return HyperbolicVector<false>(x, y, z); }
CordicResult CordicRotate16Branchy(i32 x, i32 y, i32 z) { return Rotate<false>(x, y, z, kCircular16, 12); }

void FixSinCos(i32 angle, i32* cosine, i32* sine) {
    i32 c;
    i32 s;
    SinCos(angle, &c, &s);
    if (cosine) *cosine = c;
    if (sine) *sine = s;
}

void FixSinCosPair(i32 first, i32 second, i32* cosFirst, i32* sinFirst, i32* cosSecond, i32* sinSecond) {
    const Folded a = Fold(first);
    const Folded b = Fold(second);
    CordicResult p{kCordicStart, 0, a.z};
    CordicResult q{kCordicStart, 0, b.z};
    RotatePair(p, q);
    Unfold(p, a.quadrant, cosFirst, sinFirst);
    Unfold(q, b.quadrant, cosSecond, sinSecond);
}

std::int32_t FixCos(i32 angle) {
    i32 c;
    i32 s;
    SinCos(angle, &c, &s);
    return c;
}

std::int32_t FixTan(i32 angle) {
    i32 c;
    i32 s;
    SinCos(angle, &c, &s);
    if (c == 0) return s < 0 ? std::numeric_limits<i32>::min() : std::numeric_limits<i32>::max();
    return Saturate(static_cast<i64>(s) * kFixOne / c);
}

std::int32_t FixTanSeries(i32 x) {
    const i32 q = static_cast<i32>((static_cast<i64>(x) * x) >> 24);
    i32 p = 159666;
    for (const i32 c : {48663, 412134, 895468, 2237953, 5592373, 16777216}) {
        p = static_cast<i32>(((static_cast<i64>(p) * q) >> 24) + c);
    }
    return static_cast<i32>((static_cast<i64>(p) * x) >> 24);
}

std::int32_t FixAtan2(i32 y, i32 x) {
    if (x == 0 && y == 0) return 0;
    i32 result;
    if (x < 0) {
        const CordicResult r = VectorScaled<true>(-static_cast<i64>(x), y, 0);
        result = y > 0 ? kFixHalfTurn - r.z : -kFixHalfTurn - r.z;
    } else {
        const CordicResult r = VectorScaled<true>(x, y, 0);
        result = r.z;
    }
    while (result < 0) result += kFixTurn;
    return result;
}

std::int32_t FixAsin(i32 s) {
    const i32 a = AbsClamped(s);
    const i32 r = a > (kFixOne >> 1) ? AsinCordicAbs(a) : AsinSeries(a);
    return s < 0 ? -r : r;
}

std::int32_t FixAsinCordic(i32 s) {
    const i32 r = AsinCordicAbs(AbsClamped(s));
    return s < 0 ? -r : r;
}

void FixSinCos16(i32 angle16, std::int16_t* cosine, std::int16_t* sine) {
    i32 a = angle16 % kFix16Turn;
    if (a < 0) a += kFix16Turn;
    Folded f{a, 0};
    if (a >= 9651) {
        f = {kFix16Turn - a, 3};
    } else if (a >= 6434) {
        f = {9651 - a, 2};
    } else if (a >= 3217) {
        f = {6434 - a, 1};
    }
    i32 c;
    i32 s;
    Unfold(Rotate<true>(kCordicStart16, 0, f.z, kCircular16, 12), f.quadrant, &c, &s);
    if (cosine) *cosine = static_cast<std::int16_t>(c);
    if (sine) *sine = static_cast<std::int16_t>(s);
}

void FixMatrixApply(const i32 m[9], i32 v[3]) {
    const i64 e0 = v[0];
    const i64 e1 = v[1];
    const i64 e2 = v[2];
    for (int i = 0; i < 3; ++i) {
        const i64 sum = ((m[3 * i] * e0) >> 24) + ((m[3 * i + 1] * e1) >> 24) + ((m[3 * i + 2] * e2) >> 24);
        v[i] = static_cast<i32>(sum);
    }
}

void FixMatrixMultiply(const i32 a[9], const i32 b[9], i32 result[9]) {
    i32 r[9];  // the result may be one of the operands
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            i64 sum = 0;
            for (int k = 0; k < 3; ++k) sum += (static_cast<i64>(a[3 * i + k]) * b[3 * k + j]) >> 24;
            r[3 * i + j] = static_cast<i32>(sum);
        }
    }
    std::copy(r, r + 9, result);
}

void FixRotationMatrix(i32 m[9], i32 a1, i32 a2, i32 a3) {
    i32 c1, s1, c2, s2, c3, s3;
    SinCos(a1, &c1, &s1);
    SinCos(a2, &c2, &s2);
    SinCos(a3, &c3, &s3);
    const i32 s1s2 = Mul(s1, s2);
    const i32 c1s2 = Mul(c1, s2);
    m[0] = Mul(c2, c3);
    m[1] = Mul(c2, s3);
    m[2] = s2;
    m[3] = -(Mul(s1s2, c3) + Mul(c1, s3));
    m[4] = Mul(c1, c3) - Mul(s1s2, s3);
    m[5] = Mul(s1, c2);
    m[6] = Mul(s1, s3) - Mul(c1s2, c3);
    m[7] = -(Mul(s1, c3) + Mul(c1s2, s3));
    m[8] = Mul(c1, c2);
}

void FixRotationZXZ(i32 m[9], i32 a1, i32 a2, i32 a3) {
    i32 c1, s1, c2, s2, c3, s3, c0, s0;
    SinCos(a1, &c1, &s1);
    SinCos(a2, &c2, &s2);
    SinCos(a3, &c3, &s3);
    const i32 r0[2] = {Mul(c1, c2) - Mul(Mul(s1, s2), c3), -(Mul(s1, c2) + Mul(Mul(c1, s2), c3))};
    const i32 r1[2] = {Mul(c1, s2) + Mul(Mul(s1, c2), c3), Mul(Mul(c1, c2), c3) - Mul(s1, s2)};
    const i32 r2[2] = {Mul(s1, s3), Mul(c1, s3)};
    // Rows 1 and 2 go through an x rotation by 0 in fixed point, whose cosine and sine
    // are not exactly 1 and 0; the orbit drawing's points carry that rounding.
    SinCos(0, &c0, &s0);
    for (int j = 0; j < 2; ++j) {
        m[j] = r0[j];
        m[3 + j] = Mul(c0, r1[j]) - Mul(s0, r2[j]);
        m[6 + j] = Mul(s0, r1[j]) + Mul(c0, r2[j]);
    }
    m[2] = m[5] = m[8] = 0;
}
