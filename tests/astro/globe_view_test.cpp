// The globes' fixed-point view: the angle conversion, the view matrix and surface vector
// against a double-precision rotation, and where points land for the three turns.
#include "astro/globe_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kRad = 3.14159265358979323846 / 180.0;

TEST(GlobeView, DegreesBecomeUnitsByTruncationAndShift) {
    struct Case {
        double degrees;
        int units;
    };
    const Case cases[] = {
        {0.0, 0},        {1.0, 35},        {90.0, 3216},    {-90.0, -3217},  // the shift rounds down
        {180.0, 6433},   {360.0, 12867},   {-0.001, -1},
        // Low 16 bits: 1100 degrees is 39318 units before they are cut.
        {1100.0, 39318 - 65536},
    };
    for (const Case& c : cases) EXPECT_EQ(GlobeAngle(c.degrees), c.units) << c.degrees;
    EXPECT_EQ(GlobeAngle(std::nan("")), 0);
    EXPECT_EQ(GlobeAngle(1e300), 0);
    EXPECT_EQ(GlobeFlattening(0.9), 1843);
    EXPECT_EQ(GlobeFlattening(1.0), kGlobeOne);
}

// The double-precision rotation is built from the same fixed-point sines and cosines: the
// 12-step sine itself is off by up to 8 units near some angles, and that is the program's
// behaviour; what is checked here is that the products and sums lose no more than their
// truncations (a triple product and a plain one, each shifted down, lose up to 3 units).
double Q(std::int16_t v) { return v / 2048.0; }

TEST(GlobeView, MatrixAndSurfaceVectorFollowTheDoubleRotation) {
    int worst = 0;
    for (int a = -180; a <= 180; a += 30)
        for (int b = -90; b <= 90; b += 30)
            for (int c = -90; c <= 90; c += 15) {
                const GlobeTrig A = GlobeSinCosDegrees(a), B = GlobeSinCosDegrees(b), C = GlobeSinCosDegrees(c);
                const double ca = Q(A.c), sa = Q(A.s), cb = Q(B.c), sb = Q(B.s), cc = Q(C.c), sc = Q(C.s);
                const double rows[3][3] = {
                    {cb * ca, -sb, cb * sa},
                    {ca * sb * cc - sa * sc, cb * cc, sa * sb * cc + ca * sc},
                    {sa * cc + ca * sb * sc, cb * sc, sa * sb * sc - ca * cc},
                };
                const GlobeView v = MakeGlobeView(a, b, c);
                const std::int16_t* got[3] = {v.p, v.q, v.r};
                for (int i = 0; i < 3; ++i)
                    for (int j = 0; j < 3; ++j) {
                        const int error = std::abs(got[i][j] - static_cast<int>(std::lround(rows[i][j] * 2048)));
                        worst = std::max(worst, error);
                        ASSERT_LE(error, 3) << a << " " << b << " " << c << " row " << i << " column " << j;
                    }
                // And the true rotation within the fixed-point sine's own error.
                EXPECT_NEAR(v.q[1], std::cos(b * kRad) * std::cos(c * kRad) * 2048, 18.0);
            }
    EXPECT_GT(worst, 0);  // the comparison sees the truncations at all

    for (int lat = -90; lat <= 90; lat += 15)
        for (int lon = -180; lon <= 180; lon += 20) {
            const GlobeTrig L = GlobeSinCosDegrees(lat), M = GlobeSinCosDegrees(lon);
            const GlobeVector v = GlobeSurfaceVector(L, M);
            EXPECT_NEAR(v.x, Q(L.c) * Q(M.s) * 2048, 1.0) << lat << " " << lon;
            EXPECT_EQ(v.y, -L.s) << lat << " " << lon;
            EXPECT_NEAR(v.z, Q(L.c) * Q(M.c) * 2048, 1.0) << lat << " " << lon;
            // Flattened: only the polar component shrinks.
            const GlobeVector f = GlobeSurfaceVector(L, M, GlobeFlattening(0.9));
            EXPECT_EQ(f.x, v.x);
            EXPECT_NEAR(f.y, -0.9 * L.s, 1.0);
        }
}

// Where (longitude east, latitude) lands on a texture disc of radius 100, in screen terms
// (y down), or false on the far side.
bool Screen(const GlobeView& view, int lon, int lat, int* x, int* y) {
    const GlobeVector v = GlobeSurfaceVector(GlobeSinCosDegrees(lat), GlobeSinCosDegrees(lon));
    int u, row;
    if (!GlobeTexelPlace(view, v, 100, 100, &u, &row)) return false;
    *x = u;
    *y = 199 - row;  // rows count from the bottom of the bitmap
    return true;
}

TEST(GlobeView, TurnsPutTheExpectedPointsAtTheCentre) {
    int x, y;
    // No turn: 0/0 at the centre, north up, east right, the antipode hidden.
    const GlobeView none = MakeGlobeView(0, 0, 0);
    ASSERT_TRUE(Screen(none, 0, 0, &x, &y));
    EXPECT_NEAR(x, 100, 1);
    EXPECT_NEAR(y, 99, 1);
    ASSERT_TRUE(Screen(none, 0, 89, &x, &y));
    EXPECT_LT(y, 5);
    ASSERT_TRUE(Screen(none, 89, 0, &x, &y));
    EXPECT_GT(x, 195);
    EXPECT_FALSE(Screen(none, 180, 0, &x, &y));

    // A = 90: longitude -90 at the centre.
    ASSERT_TRUE(Screen(MakeGlobeView(90, 0, 0), -90, 0, &x, &y));
    EXPECT_NEAR(x, 100, 1);
    EXPECT_NEAR(y, 99, 1);
    // C = 90: the north pole at the centre.
    ASSERT_TRUE(Screen(MakeGlobeView(0, 0, 90), 0, 90, &x, &y));
    EXPECT_NEAR(x, 100, 1);
    EXPECT_NEAR(y, 99, 1);
    // B = 90: the north pole turned from the top to the right.
    ASSERT_TRUE(Screen(MakeGlobeView(0, 90, 0), 0, 89, &x, &y));
    EXPECT_GT(x, 195);
    EXPECT_NEAR(y, 99, 2);
}

TEST(GlobeView, ProjectPointTakesWestLongitudesAndHidesTheFarSide) {
    const GlobeView view = MakeGlobeView(30, 10, 20);
    for (int lon = -180; lon < 180; lon += 10)
        for (int lat = -80; lat <= 80; lat += 20) {
            const GlobeVector v = GlobeSurfaceVector(GlobeSinCosDegrees(lat), GlobeSinCosDegrees(lon));
            int x = -1, y = -1;
            const bool shown = GlobeProjectPoint(view, -lon, lat, 50, 60, 40, 40, &x, &y);
            EXPECT_EQ(shown, GlobeDepth(view, v) <= 0) << lon << " " << lat;
            if (!shown) continue;
            EXPECT_EQ(x, 50 + ((GlobeDot(view.p, v) * 40) >> 11));
            EXPECT_EQ(y, 60 + ((GlobeDot(view.q, v) * 40) >> 11));
        }
}

}  // namespace
