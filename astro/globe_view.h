#pragma once
// The 16-bit fixed-point arithmetic of the globes: an orthographic view of a sphere turned
// by a rotation A about the polar axis, a pole angle B in the plane of the screen and a
// tilt C about the screen's horizontal axis, and the surface points seen through it.
//
// Sines, cosines, matrix entries and vector components are Q11 numbers (2048 is 1.0, in
// signed 16 bits); every product of two of them is shifted right by 11 before it is used
// again, and a sum of three such products is cut to 16 bits. Angles are in 1/2048 radian
// (a full turn 12868 units). The integers are the behaviour: the texture passes, the
// wire-frame globe, the point projections and the eclipse limit lines all agree on them.
#include <cstdint>

// Degrees to 8.24 fixed-point radians (2^24 pi / 180), before the shift to 1/2048 radian.
inline constexpr double kGlobeFixUnitsPerDegree = 292817.65851827303;
// A full turn in 1/2048 radian, exact (4096 pi): the row step of a map is a fraction of it.
inline constexpr double kGlobeTurnExact = 12867.963509103796;
inline constexpr int kGlobeTurn = 12868;
inline constexpr int kGlobeHalfTurn = 6434;
inline constexpr int kGlobeOne = 2048;
// Whole degrees to 1/2048 radian, as the grid of the wire-frame globe and the Mars
// features convert theirs.
inline constexpr int kGlobeUnitsPerWholeDegree = 36;

struct GlobeTrig {
    std::int16_t c = kGlobeOne;  // cosine
    std::int16_t s = 0;          // sine
};

// Rows P (screen x), Q (screen y) and R (depth) of the view matrix.
struct GlobeView {
    std::int16_t p[3] = {kGlobeOne, 0, 0};
    std::int16_t q[3] = {0, kGlobeOne, 0};
    std::int16_t r[3] = {0, 0, kGlobeOne};
};

// A point of the unit sphere: (cos lat sin lon, -sin lat, cos lat cos lon).
struct GlobeVector {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t z = 0;
};

// The product of two Q11 numbers, shifted back (arithmetic shift, so it rounds down).
inline std::int32_t GlobeMul(std::int32_t a, std::int32_t b) { return (a * b) >> 11; }

// Degrees to 1/2048 radian: to 8.24 radians in double precision, truncated, shifted right
// by 13, low 16 bits kept. A value beyond any turn count (or not a number) gives 0.
std::int16_t GlobeAngle(double degrees);
// Cosine and sine of an angle in 1/2048 radian (any value; reduced by the fixed-point sine).
GlobeTrig GlobeSinCos(std::int32_t angle);
inline GlobeTrig GlobeSinCosDegrees(double degrees) { return GlobeSinCos(GlobeAngle(degrees)); }

// The view matrix of rotation A, pole angle B and tilt C (degrees). With all three 0 the
// centre shows longitude 0, latitude 0, north up and east to the right; the centre shows
// longitude -A; B turns the north pole from the top toward the right; C > 0 tilts the
// north pole toward the viewer.
GlobeView MakeGlobeView(double a, double b, double c);
GlobeView MakeGlobeViewFromTrig(GlobeTrig a, GlobeTrig b, GlobeTrig c);

// A flattening factor k as the Q11 multiplier of the polar component (k x 2048 truncated).
std::int32_t GlobeFlattening(double k);

// The surface vector of a point from the trigonometry of its latitude and longitude (east
// positive); `flattening` (Q11, 2048 for a sphere) shortens the polar component.
inline GlobeVector GlobeSurfaceVector(GlobeTrig latitude, GlobeTrig longitude, std::int32_t flattening = kGlobeOne) {
    GlobeVector v;
    v.x = static_cast<std::int16_t>(GlobeMul(latitude.c, longitude.s));
    v.y = static_cast<std::int16_t>(-GlobeMul(latitude.s, flattening));
    v.z = static_cast<std::int16_t>(GlobeMul(latitude.c, longitude.c));
    return v;
}

// One row of the view applied to a vector: the three shifted products summed, cut to 16 bits.
inline std::int16_t GlobeDot(const std::int16_t row[3], const GlobeVector& v) {
    return static_cast<std::int16_t>(GlobeMul(row[0], v.x) + GlobeMul(row[1], v.y) + GlobeMul(row[2], v.z));
}

// The depth of a point: 1 or more is the far side, where a map texel is not drawn.
inline std::int16_t GlobeDepth(const GlobeView& view, const GlobeVector& v) { return GlobeDot(view.r, v); }
inline bool GlobeTexelHidden(const GlobeView& view, const GlobeVector& v) { return GlobeDepth(view, v) >= 1; }

// An offset from a centre along one screen axis: the dot product scaled by `scale` pixels
// (shifted by 11) and added to the centre, cut to 16 bits.
inline std::int16_t GlobeScreen(int centre, std::int16_t dot, int scale) {
    return static_cast<std::int16_t>(centre + ((static_cast<std::int32_t>(dot) * scale) >> 11));
}

// Where a texel of a map lands on a square disc image of side 2 x centre (column u, row v
// counted from the bottom row of a bottom-up bitmap, so that north is up on the screen):
// u = centre + P.V x scale, v = centre - Q.V x scale. False for a texel on the far side;
// the caller still checks the bounds of its image.
inline bool GlobeTexelPlace(const GlobeView& view, const GlobeVector& v, int centre, int scale, int* u, int* row) {
    if (GlobeTexelHidden(view, v)) return false;
    *u = GlobeScreen(centre, GlobeDot(view.p, v), scale);
    *row = static_cast<std::int16_t>(centre - ((static_cast<std::int32_t>(GlobeDot(view.q, v)) * scale) >> 11));
    return true;
}

// One point (longitude west positive, latitude, degrees) on the screen of a globe drawn
// with `view`: x = cx + P.V x xScale, y = cy + Q.V x yScale. False (nothing written) when
// the point's depth is above 0.
bool GlobeProjectPoint(const GlobeView& view, double longitudeWest, double latitude, int cx, int cy, int xScale,
                       int yScale, int* x, int* y);
