#include "astro/globe_view.h"

#include <cmath>

#include "astro/fixed_trig.h"

std::int16_t GlobeAngle(double degrees) {
    const double fixed = degrees * kGlobeFixUnitsPerDegree;
    // The 8.24 value is kept in 64 bits: only its low bits matter after the shift, and
    // angles of many turns (a long drag) must not overflow the conversion.
    if (!std::isfinite(fixed) || std::fabs(fixed) >= 9.0e18) return 0;
    const std::int64_t truncated = static_cast<std::int64_t>(fixed);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::uint64_t>(truncated >> 13) & 0xFFFF));
}

GlobeTrig GlobeSinCos(std::int32_t angle) {
    GlobeTrig t;
    FixSinCos16(angle, &t.c, &t.s);
    return t;
}

GlobeView MakeGlobeViewFromTrig(GlobeTrig A, GlobeTrig B, GlobeTrig C) {
    auto cut = [](std::int32_t v) { return static_cast<std::int16_t>(v); };
    GlobeView v;
    v.p[0] = cut(GlobeMul(B.c, A.c));
    v.p[1] = cut(-B.s);
    v.p[2] = cut(GlobeMul(B.c, A.s));
    v.q[0] = cut(GlobeMul(GlobeMul(A.c, B.s), C.c) - GlobeMul(A.s, C.s));
    v.q[1] = cut(GlobeMul(B.c, C.c));
    v.q[2] = cut(GlobeMul(GlobeMul(A.s, B.s), C.c) + GlobeMul(A.c, C.s));
    v.r[0] = cut(GlobeMul(A.s, C.c) + GlobeMul(GlobeMul(A.c, B.s), C.s));
    v.r[1] = cut(GlobeMul(B.c, C.s));
    v.r[2] = cut(GlobeMul(GlobeMul(A.s, B.s), C.s) - GlobeMul(A.c, C.c));
    return v;
}

GlobeView MakeGlobeView(double a, double b, double c) {
    return MakeGlobeViewFromTrig(GlobeSinCosDegrees(a), GlobeSinCosDegrees(b), GlobeSinCosDegrees(c));
}

std::int32_t GlobeFlattening(double k) {
    const double q = k * kGlobeOne;
    // Beyond 16 bits the factor means nothing for a Q11 product; keep it defined.
    if (!std::isfinite(q) || q <= -32768.0 || q >= 32768.0) return kGlobeOne;
    return static_cast<std::int32_t>(q);
}

bool GlobeProjectPoint(const GlobeView& view, double longitudeWest, double latitude, int cx, int cy, int xScale,
                       int yScale, int* x, int* y) {
    const GlobeVector v = GlobeSurfaceVector(GlobeSinCosDegrees(latitude), GlobeSinCosDegrees(-longitudeWest));
    if (GlobeDepth(view, v) > 0) return false;
    *x = GlobeScreen(cx, GlobeDot(view.p, v), xScale);
    *y = GlobeScreen(cy, GlobeDot(view.q, v), yScale);
    return true;
}
