// Besselian elements fitted from the long series, against NASA's published elements.
#include <gtest/gtest.h>

#include <cmath>

#include "eclipses/bessel_elements.h"
#include "eclipses/published_eclipses.h"

namespace {

TEST(BesselElements, FitMatchesNasasPublishedElements) {
    for (const PublishedEclipse& p : {kTotal2017, kAnnular2023, kTotal2024}) {
        SCOPED_TRACE(p.year);
        const BesselElements& n = p.elements;
        BesselElements e;
        ASSERT_EQ(FitBesselElements(&e, p.year, p.month, p.day, 18), 1);
        EXPECT_EQ(e.t0, 18.0);
        EXPECT_NEAR(e.x0, n.x0, 1e-3);
        EXPECT_NEAR(e.y0, n.y0, 1e-3);
        EXPECT_NEAR(e.x1, n.x1, 1e-4);
        EXPECT_NEAR(e.y1, n.y1, 1e-4);
        EXPECT_NEAR(e.x2, n.x2, 1e-5);
        EXPECT_NEAR(e.y2, n.y2, 1e-5);
        EXPECT_NEAR(e.d0, n.d0, 1e-3);
        EXPECT_NEAR(e.d1, n.d1, 1e-5);
        // Both are the ephemeris hour angle (t0 taken as UT).
        EXPECT_NEAR(e.mu0, n.mu0, 0.01);
        EXPECT_NEAR(e.mu1, n.mu1, 1e-4);
        EXPECT_NEAR(e.tanf1, n.tanf1, 1e-6);
        EXPECT_NEAR(e.tanf2, n.tanf2, 1e-6);
        // One k for both cones: the penumbra a little wider, the umbra kUmbraKShift wider
        // (more negative l2).
        EXPECT_NEAR(e.l10, n.l10, 5e-5);
        EXPECT_NEAR(e.l20, n.l20 - kUmbraKShift, 5e-5);
        EXPECT_NEAR(e.l11, n.l11, 1e-5);
        EXPECT_NEAR(e.l21, n.l21, 1e-5);
    }
    BesselElements total, annular;
    FitBesselElements(&total, 2024, 4, 8, 18);
    FitBesselElements(&annular, 2023, 10, 14, 18);
    EXPECT_LT(total.l20, 0.0);
    EXPECT_GT(annular.l20, 0.0);
}

TEST(BesselElements, PolynomialsReproduceTheSamples) {
    BesselElements e;
    ASSERT_EQ(FitBesselElements(&e, 2017, 8, 21, 18), 1);
    for (int i = -4; i <= 4; ++i) {
        BesselSample s;
        ComputeBesselElements(&s, 2017, 8, 21, 18, 60 * i, 0);
        const BesselValues v = EvaluateBesselElements(e, i);
        EXPECT_NEAR(v.x, s.x, 1e-6) << i;
        EXPECT_NEAR(v.y, s.y, 1e-6) << i;
        EXPECT_NEAR(v.d, s.d * 57.29577951308232, 1e-6) << i;
        EXPECT_NEAR(std::remainder(v.mu - s.mu, 360.0), 0.0, 5e-5) << i;
        EXPECT_NEAR(v.l1, s.l1, 5e-7) << i;
        EXPECT_NEAR(v.l2, s.l2, 5e-7) << i;
    }
    BesselSample middle;
    ComputeBesselElements(&middle, 2017, 8, 21, 18, 0, 0);
    EXPECT_DOUBLE_EQ(e.tanf1, std::tan(middle.f1));
    EXPECT_DOUBLE_EQ(e.tanf2, std::tan(middle.f2));
    EXPECT_GE(e.mu0, 0.0);
    EXPECT_LT(e.mu0, 360.0);
}

TEST(BesselElements, HoursBeyondTheDayGiveTheSamePolynomials) {
    // Samples of hour 2 start the day before; hour 26 of the day before is the same instant.
    BesselElements a, b;
    ASSERT_EQ(FitBesselElements(&a, 2024, 4, 9, 2), 1);
    ASSERT_EQ(FitBesselElements(&b, 2024, 4, 8, 26), 1);
    EXPECT_EQ(a.t0, 2.0);
    EXPECT_EQ(b.t0, 26.0);
    const double pairs[][2] = {{a.x0, b.x0}, {a.x1, b.x1}, {a.x2, b.x2}, {a.x3, b.x3}, {a.y0, b.y0},
                               {a.y1, b.y1}, {a.d0, b.d0}, {a.d1, b.d1}, {a.l10, b.l10}, {a.l20, b.l20},
                               {a.mu1, b.mu1}, {a.tanf1, b.tanf1}, {a.tanf2, b.tanf2}};
    for (const auto& pair : pairs) EXPECT_NEAR(pair[0], pair[1], 1e-10);
    EXPECT_NEAR(std::remainder(a.mu0 - b.mu0, 360.0), 0.0, 1e-7);
}

TEST(BesselElements, HourAngleStaysContinuousWhereTheSunCrossesTwelveHours) {
    // The Sun passes right ascension 12h at the September equinox of 2006 (Sept 23, 4h UT):
    // the axis's right ascension wraps there, and a fit through the raw values would not
    // run at the Earth's rate.
    BesselElements e;
    ASSERT_EQ(FitBesselElements(&e, 2006, 9, 23, 4), 1);
    EXPECT_NEAR(e.mu1, 15.0, 0.01);
    for (int i = -4; i <= 4; ++i) {
        BesselSample s;
        ComputeBesselElements(&s, 2006, 9, 23, 4, 60 * i, 0);
        EXPECT_NEAR(std::remainder(EvaluateBesselElements(e, i).mu - s.mu, 360.0), 0.0, 1e-4) << i;
    }
}
}  // namespace
