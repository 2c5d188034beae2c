// The contrast tables, the magnification choice and the visibility estimate, the grades
// and the months of the best-period bar.
#include <gtest/gtest.h>

#include <cmath>

#include "core/settings.h"
#include "objects/visibility.h"
#include "objects/visibility_tables.h"

TEST(VisibilityTables, CountsAndSpotChecks) {
    EXPECT_EQ(sizeof optimumAngleTable / sizeof optimumAngleTable[0], 18u);
    EXPECT_EQ(sizeof thresholdContrastTable / sizeof thresholdContrastTable[0], 24u);
    EXPECT_EQ(sizeof thresholdContrastTable[0] / sizeof thresholdContrastTable[0][0], 7u);
    EXPECT_EQ(optimumAngleTable[0].skyBrightness, 4);
    EXPECT_EQ(optimumAngleTable[0].logAngle, 0.97);
    EXPECT_EQ(optimumAngleTable[9].skyBrightness, 19);
    EXPECT_EQ(optimumAngleTable[9].logAngle, 1.49);
    EXPECT_EQ(optimumAngleTable[17].logAngle, 2.07);
    EXPECT_EQ(thresholdAngleColumns[0], -0.2255);
    EXPECT_EQ(thresholdAngleColumns[6], 2.5563);
    EXPECT_EQ(thresholdContrastTable[0][0], -0.376911);     // S 4
    EXPECT_EQ(thresholdContrastTable[9][3], -2.053094);     // S 13
    EXPECT_EQ(thresholdContrastTable[16][2], 0.206);        // S 20
    EXPECT_EQ(thresholdContrastTable[21][4], 0.0172);       // S 25
    EXPECT_EQ(thresholdContrastTable[23][6], -0.121);       // S 27
    // Each row falls as the angle grows; each column rises as the sky darkens from S 8.
    for (int r = 0; r < kThresholdRows; ++r)
        for (int c = 1; c < kThresholdColumns; ++c)
            EXPECT_LT(thresholdContrastTable[r][c], thresholdContrastTable[r][c - 1] + 0.002) << r << " " << c;
    for (int r = 5; r < kThresholdRows; ++r)
        for (int c = 0; c < kThresholdColumns; ++c)
            EXPECT_GT(thresholdContrastTable[r][c], thresholdContrastTable[r - 1][c]) << r << " " << c;
}

TEST(VisibilityTables, InterpolationAtTheNodesAndBeyond) {
    for (const OptimumAngleEntry& e : optimumAngleTable)
        EXPECT_NEAR(OptimumAngle(e.skyBrightness), std::pow(10.0, e.logAngle), 1e-9) << e.skyBrightness;
    EXPECT_NEAR(OptimumAngle(2.0), std::pow(10.0, 0.97), 1e-12);
    EXPECT_NEAR(OptimumAngle(10.0), std::pow(10.0, 1.025), 1e-9);
    EXPECT_NEAR(OptimumAngle(28.0), std::pow(10.0, 2.18), 1e-9);   // the last line extended
    EXPECT_EQ(OptimumAngle(60.0), 360.0);

    for (int r = 0; r < kThresholdRows; ++r)
        for (int c = 0; c < kThresholdColumns; ++c)
            EXPECT_NEAR(std::log10(ThresholdContrast(std::pow(10.0, thresholdAngleColumns[c]), 4.0 + r)),
                        thresholdContrastTable[r][c], 1e-9)
                << r << " " << c;
    // Below the smallest angle and the brightest sky the edge holds; past the largest angle
    // and the faintest sky the last two entries are extended.
    EXPECT_NEAR(std::log10(ThresholdContrast(0.01, 2.0)), -0.376911, 1e-9);
    EXPECT_NEAR(std::log10(ThresholdContrast(std::pow(10.0, 3.0), 20.0)),
                -1.362 + (-1.362 + 1.137) * (3.0 - 2.5563) / (2.5563 - 2.0828), 1e-9);
    EXPECT_NEAR(std::log10(ThresholdContrast(std::pow(10.0, 0.5563), 28.0)), 3.066 + (3.066 - 2.632), 1e-9);
    EXPECT_NEAR(std::log10(ThresholdContrast(std::pow(10.0, 0.5563), 20.5)), (1.088 + 1.206474) / 2, 1e-9);
}

TEST(Visibility, EyepiecesAndMagnificationsOfTheTelescope) {
    struct Case {
        double D, F;
        int age, seeing;
        EyepieceRange expected;
    };
    const Case cases[] = {
        {200, 1000, 30, 2, {30, 33, 5, 200}},
        {200, 1000, 30, 3, {30, 33, 5, 200}},
        {200, 1000, 30, 1, {30, 33, 7, 142}},
        {100, 1500, 60, 2, {50, 30, 15, 100}},    // 4 mm pupil: 60 mm cut to 50
        {100, 1000, 40, 2, {50, 20, 10, 100}},
        {200, 100, 30, 2, {3, 33, 1, 100}},       // f/0.5: no eyepiece below 1 mm
        {200, 0, 30, 2, {0, 0, 0, 0}},
        {0, 1000, 30, 2, {0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const EyepieceRange r = ComputeEyepieceRange(c.D, c.F, c.age, c.seeing);
        EXPECT_EQ(r.longest, c.expected.longest) << c.D << " " << c.F << " " << c.age;
        EXPECT_EQ(r.lowest, c.expected.lowest) << c.D << " " << c.F << " " << c.age;
        EXPECT_EQ(r.shortest, c.expected.shortest) << c.D << " " << c.F << " " << c.seeing;
        EXPECT_EQ(r.highest, c.expected.highest) << c.D << " " << c.F << " " << c.seeing;
    }
}

TEST(Visibility, EstimatesAndTheirEdges) {
    struct Case {
        double D, F, S, m, a, b;
        int expectedMagnification;   // -1: only checked to lie within the telescope's range
        double minMargin, maxMargin;
    };
    const Case cases[] = {
        {200, 1000, 22, 9.0, 0.0, 5.0, 0, 0.0, 0.0},        // no size
        {200, 1000, 22, 9.0, -3.0, 5.0, 0, 0.0, 0.0},
        {200, 1000, 22, 16.0, 3.0, 2.0, 0, 0.0, 0.0},       // beyond the 15.2 limit
        {200, 0, 22, 9.0, 3.0, 2.0, 0, 0.0, 0.0},           // no focal length
        {0, 1000, 22, 9.0, 3.0, 2.0, 0, 0.0, 0.0},          // no aperture
        {200, 1000, 22, 3.4, 190.0, 60.0, -1, 1.0, 10.0},   // M31: large and faint in surface
        {200, 1000, 22, 13.5, 6.0, 4.0, -1, -10.0, 0.5},    // a faint galaxy: too faint
        {200, 100, 22, 9.0, 3.0, 2.0, -1, -10.0, 10.0},     // f/0.5 divides by nothing
    };
    for (const Case& c : cases) {
        int magnification = -7;
        double margin = -7;
        EstimateVisibilityFor(c.D, c.F, c.S, c.m, c.a, c.b, 30, 2, &magnification, &margin);
        if (c.expectedMagnification >= 0) {
            EXPECT_EQ(magnification, c.expectedMagnification) << c.m << " " << c.a;
        } else {
            const EyepieceRange range = ComputeEyepieceRange(c.D, c.F, 30, 2);
            EXPECT_GE(magnification, range.lowest) << c.m << " " << c.a;
            EXPECT_LE(magnification, range.highest) << c.m << " " << c.a;
        }
        EXPECT_TRUE(std::isfinite(margin));
        EXPECT_GE(margin, c.minMargin) << c.m << " " << c.a;
        EXPECT_LE(margin, c.maxMargin) << c.m << " " << c.a;
    }
    // b of 0 takes a; a round object of 4' is graded as such.
    int m1, m2;
    double g1, g2;
    EstimateVisibilityFor(200, 1000, 22, 10.0, 4.0, 0.0, 30, 2, &m1, &g1);
    EstimateVisibilityFor(200, 1000, 22, 10.0, 4.0, 4.0, 30, 2, &m2, &g2);
    EXPECT_EQ(m1, m2);
    EXPECT_EQ(g1, g2);
    // A darker sky helps.
    EstimateVisibilityFor(200, 1000, 19, 10.0, 4.0, 4.0, 30, 2, &m1, &g1);
    EXPECT_LT(g1, g2);
}

TEST(Visibility, TheMagnificationSettlesEverywhere) {
    for (double size = 0.1; size <= 120.0; size *= 1.6) {
        for (int S = 14; S <= 29; ++S) {
            for (double D : {50.0, 100.0, 200.0, 400.0, 800.0}) {
                const EyepieceRange range = ComputeEyepieceRange(D, 5 * D, 30, 2);
                const MagnificationChoice c = ChooseMagnification(S, size, D, range.lowest, range.highest, S);
                EXPECT_TRUE(c.settled) << size << " " << S << " " << D;
                EXPECT_LT(c.iterations, 50) << size << " " << S << " " << D;
                EXPECT_GE(c.magnification, range.lowest);
                EXPECT_LE(c.magnification, range.highest);
                EXPECT_TRUE(std::isfinite(c.logThreshold));
            }
        }
    }
}

TEST(Visibility, GradesAndTheirPictures) {
    struct Case {
        double margin;
        int grade;
        const char* word;
    };
    const Case cases[] = {{-3.0, 0, "Too faint"}, {0.0, 0, "Too faint"},        {0.5, 0, "Too faint"},
                          {0.51, 1, "Very difficult"}, {1.0, 1, "Very difficult"}, {1.5, 2, "Difficult"},
                          {2.0, 3, "Easy"},        {2.01, 4, "Very easy"},       {9.0, 4, "Very easy"}};
    for (const Case& c : cases) {
        EXPECT_EQ(VisibilityGrade(c.margin), c.grade) << c.margin;
        EXPECT_STREQ(VisibilityGradeWord(VisibilityGrade(c.margin)), c.word) << c.margin;
        EXPECT_EQ(VisibilityGradeBitmap(c.grade, false), 5000 + c.grade);
        EXPECT_EQ(VisibilityGradeBitmap(c.grade, true), 5005 + c.grade);
    }
}

TEST(BestPeriod, CellsFromTheTransitAgainstDuskAndDawn) {
    EXPECT_TRUE(BestPeriodCellFilled(1, 14.0, 22.0, 6.0));
    EXPECT_FALSE(BestPeriodCellFilled(6, 8.0, 12.0, 16.0));
    EXPECT_TRUE(BestPeriodCellFilled(6, 20.0, 4.9, 12.0));
    EXPECT_FALSE(BestPeriodCellFilled(6, 20.0, 5.0, 12.0));    // dawn at 5 h is not night
    EXPECT_FALSE(BestPeriodCellFilled(12, 0.0, 0.0, 0.0));     // never rises
    EXPECT_TRUE(BestPeriodCellFilled(12, 0.0, 23.0, 23.99));   // never sets

    const ObserverLocation site = MakeSite(50.0f, 0.0f, 0, 0);
    for (int month = 1; month <= 12; ++month) {
        const bool filled = BestPeriodMonthFilled(site, 2024, month, 6.0, 20.0, 0.0);
        if (month == 12 || month == 1) {
            EXPECT_TRUE(filled) << month;
        }
        if (month == 6 || month == 7) {
            EXPECT_FALSE(filled) << month;
        }
        EXPECT_FALSE(BestPeriodMonthFilled(site, 2024, month, 6.0, -60.0, 0.0)) << month;
    }
}
