// The N-star corrections: the external pointing model's least squares and the search over
// the two-star model's axis-error terms.
#include <cmath>
#include <string>
#include <vector>

#include "alignment_fixture.h"
#include "core/report.h"
#include "shell/keep_awake.h"

namespace {

using PointingModelTest = AlignmentTest;

// Records on a grid of expected positions whose readings follow `terms` exactly.
std::vector<AlignStar> SyntheticTable(const double* terms, int termCount, int stars, double lowY, double highY) {
    ClearPointingModel();
    std::copy(terms, terms + termCount, pointingTerms);
    pointingTermCount = termCount;
    std::vector<AlignStar> table;
    for (int i = 0; i < stars; ++i) {
        AlignStar r;
        r.axis1 = std::fmod(37.0 + 97.0 * i, 360.0);
        r.axis2 = lowY + (highY - lowY) * ((i * 7) % stars) / (stars - 1.0);
        r.measuredAxis1 = r.axis1;
        r.measuredAxis2 = r.axis2;
        ApplyPointingModel(&r.measuredAxis1, &r.measuredAxis2);
        table.push_back(r);
    }
    ClearPointingModel();
    pointingTermCount = 7;
    return table;
}

TEST_F(PointingModelTest, SyntheticMisalignmentsAreRecovered) {
    const double arcMin = kPi / (180 * 60);
    const double seven[7] = {5 * arcMin, -3 * arcMin, 2 * arcMin, -1.5 * arcMin, 4 * arcMin, 1 * arcMin, -2.5 * arcMin};
    struct Case {
        const char* what;
        int mountType;
        int stars;
        int terms;  // expected pointingTermCount
    };
    for (const Case c : {Case{"alt-azimuth, 12 stars", 1, 12, 7}, Case{"alt-azimuth, 3 stars", 2, 3, 4},
                         Case{"equatorial, 10 stars", 0, 10, 6}, Case{"equatorial, 4 stars", 0, 4, 6}}) {
        SCOPED_TRACE(c.what);
        preferences.word[pref::mountType] = c.mountType;
        const double low = c.mountType ? 10.0 : -60.0;
        const double high = c.mountType ? 80.0 : 75.0;
        std::vector<AlignStar> table = SyntheticTable(seven, c.terms, c.stars, low, high);
        ClearRecordedReports();
        ASSERT_EQ(FitPointingModel(table.data(), c.stars), 0);
        EXPECT_EQ(pointingTermCount, c.terms);
        for (int k = 0; k < 8; ++k) EXPECT_NEAR(pointingTerms[k], k < c.terms ? seven[k] : 0.0, 1e-12) << k;
        for (const AlignStar& r : table) {
            EXPECT_NEAR(r.correctedAxis1, r.measuredAxis1, 1e-9);
            EXPECT_NEAR(r.modelAxis2, r.measuredAxis2, 1e-9);
        }
        EXPECT_TRUE(RecordedReports().empty());
    }
}

TEST_F(PointingModelTest, OneOrTwoStarsGiveAPureOffsetAndAgreementGivesNothing) {
    std::vector<AlignStar> table(2);
    table[0].axis1 = 100.0; table[0].axis2 = 89.9; table[0].measuredAxis1 = 100.5; table[0].measuredAxis2 = 90.1;
    table[1].axis1 = 359.9; table[1].axis2 = 20.0; table[1].measuredAxis1 = 0.4; table[1].measuredAxis2 = 19.8;
    ASSERT_EQ(FitPointingModel(table.data(), 2), 0);
    EXPECT_NEAR(pointingTerms[0] * 180 / kPi, 0.5, 1e-12);  // across the zero, half a degree each
    EXPECT_NEAR(pointingTerms[1] * 180 / kPi, 0.0, 1e-12);
    EXPECT_EQ(pointingTermCount, 7);
    for (int k = 2; k < 8; ++k) EXPECT_EQ(pointingTerms[k], 0.0);
    EXPECT_NEAR(table[0].correctedAxis1, 100.5, 1e-12);
    EXPECT_TRUE(std::isfinite(table[0].correctedAxis2));

    std::vector<AlignStar> agree = SyntheticTable(pointingTerms, 0, 6, -40.0, 70.0);
    ASSERT_EQ(FitPointingModel(agree.data(), 6), 0);
    for (double term : pointingTerms) EXPECT_NEAR(term, 0.0, 1e-15);
    EXPECT_NEAR(ComputeAlignmentResiduals(agree.data(), 6), 0.0, 1e-12);
    // A reading just past the zero of the first axis is a small error, not a turn.
    AlignStar across;
    across.measuredAxis1 = 359.9;
    across.modelAxis1 = 0.1;
    EXPECT_NEAR(ComputeAlignmentResiduals(&across, 1), 0.2, 1e-9);

    EXPECT_EQ(FitPointingModel(agree.data(), 0), 0);
}

TEST_F(PointingModelTest, StarsWhereTheColumnsBlowUpAreLeftOutWithAMessage) {
    const double arcMin = kPi / (180 * 60);
    const double terms[7] = {5 * arcMin, -3 * arcMin, 2 * arcMin, -1.5 * arcMin, 4 * arcMin, 1 * arcMin, -2 * arcMin};
    struct Case {
        int mountType;
        double badY;
        const char* message;
    };
    for (const Case c : {Case{0, 89.7, "Stars left out of the fit: 1\nWithin 1 degree of the pole"},
                         Case{0, -90.0, "Stars left out of the fit: 1\nWithin 1 degree of the pole"},
                         Case{1, 0.3, "Stars left out of the fit: 1\nWithin 1 degree of the horizon or the zenith"},
                         Case{1, 90.0, "Stars left out of the fit: 1\nWithin 1 degree of the horizon or the zenith"}}) {
        SCOPED_TRACE(c.badY);
        preferences.word[pref::mountType] = c.mountType;
        const int n = c.mountType ? 7 : 6;
        std::vector<AlignStar> table = SyntheticTable(terms, n, 8, c.mountType ? 10.0 : -50.0, 70.0);
        AlignStar bad = table[0];
        bad.axis2 = c.badY;
        bad.measuredAxis1 = bad.axis1 + 1.0;
        table.push_back(bad);
        ClearRecordedReports();
        ASSERT_EQ(FitPointingModel(table.data(), 9), 0);
        EXPECT_EQ(ReportTexts(), (std::vector<std::string>{c.message}));
        for (int k = 0; k < n; ++k) EXPECT_NEAR(pointingTerms[k], terms[k], 1e-12) << k;
        double first = 100.0, second = 45.0;
        EXPECT_EQ(ApplyPointingModel(&first, &second), 0);
        EXPECT_TRUE(std::isfinite(first) && std::isfinite(second));
    }
}

TEST_F(PointingModelTest, AFailedSolutionIsToldAndLeavesNoTerms) {
    // Four stars at one place cannot fix six terms.
    std::vector<AlignStar> table(4);
    for (AlignStar& r : table) {
        r.axis1 = 50.0; r.axis2 = 30.0; r.measuredAxis1 = 50.2; r.measuredAxis2 = 30.1;
    }
    EXPECT_NE(FitPointingModel(table.data(), 4), 0);
    for (double term : pointingTerms) EXPECT_EQ(term, 0.0);
    EXPECT_EQ(ReportTexts(),
              (std::vector<std::string>{"The pointing model could not be fitted\nThe stars do not determine its terms"}));
    EXPECT_FALSE(IsBusyShown());
}

TEST_F(PointingModelTest, ApplyRefusesMoreThanEightTerms) {
    pointingTermCount = 9;
    double first = 10.0, second = 20.0;
    EXPECT_EQ(ApplyPointingModel(&first, &second), -1);
    EXPECT_EQ(first, 10.0);
    EXPECT_EQ(ReportTexts(), (std::vector<std::string>{"Too much errors parameters\n"}));
}

// ---- The two-star model's search ------------------------------------------------------

class AxisErrorFit : public AlignmentTest {
protected:
    void MakeMount(int mountType) {
        preferences.word[pref::mountType] = mountType;
        MakeRotation(0.7, 0.6, 2.1, rotation);
        first = Star(80.0, 20.0, 300.0);
        second = Star(200.0, 50.0, 310.0);
        table.clear();
        for (int i = 0; i < 14; ++i) table.push_back(Star(std::fmod(15.0 + 53.0 * i, 360.0), -30.0 + 9.0 * (i % 10), 300.0 + 2.0 * i));
    }
    AlignStar first, second;
    std::vector<AlignStar> table;
};

TEST_F(AxisErrorFit, TheSearchRecoversTheAxisErrorTerms) {
    const double arcMin = kPi / (180 * 60);
    for (int mountType : {1, 0}) {
        SCOPED_TRACE(mountType);
        trueTerms[0] = 20 * arcMin;
        trueTerms[1] = -12 * arcMin;
        trueTerms[2] = 30 * arcMin;
        MakeMount(mountType);
        const int steps = BusySteps();
        const int evaluations = FitAlignmentModel("20:00:00", first, second, table.data(), static_cast<int>(table.size()));
        EXPECT_GT(evaluations, 7);
        EXPECT_GT(BusySteps(), steps);
        EXPECT_FALSE(IsBusyShown());
        double worst = 0.0;
        for (int k = 0; k < 3; ++k) worst = std::max(worst, std::fabs(alignmentModel.axisError[k] - trueTerms[k]));
        EXPECT_LT(worst, arcMin);
        RecordProperty(mountType ? "altAzWorstArcMin" : "equatorialWorstArcMin", std::to_string(worst / arcMin));
        ASSERT_FALSE(RecordedReports().empty());
        EXPECT_EQ(RecordedReports().back().heading.rfind("Converge in ", 0), 0u);
        EXPECT_GT(IdleTimerResets(), 0u);
    }
}

TEST_F(AxisErrorFit, AnExactModelStopsAfterTheFirstBracket) {
    MakeMount(1);
    std::vector<AlignStar> stars = {first, second};
    EXPECT_EQ(FitAlignmentModel("20:00:00", first, second, stars.data(), 2), 7);
    EXPECT_EQ(RecordedReports().back().heading, "Converge in 7 iteration\nz0 :0.0000\nz1 :0.0000\nz2 :0.0000");
}

TEST_F(AxisErrorFit, TheOffsetsCentreTheResiduals) {
    for (int mountType : {0, 1}) {
        SCOPED_TRACE(mountType);
        MakeMount(mountType);
        // Readings 0.4° and 0.7° high at every synchronised star: the first-axis offset
        // takes the centre of the residuals away, on either kind of mount.
        for (AlignStar& r : table) {
            r.measuredAxis1 = std::fmod(r.measuredAxis1 + 0.4, 360.0);
            r.measuredAxis2 += 0.7;
        }
        ASSERT_EQ(ComputePointingCorrection(0, table.data(), static_cast<int>(table.size()), "20:00:00", first, second), 1);
        double low = 1e9, high = -1e9;
        for (const AlignStar& r : table) {
            const double d1 = std::remainder(r.correctedAxis1 - r.measuredAxis1, 360.0);
            low = std::min(low, d1);
            high = std::max(high, d1);
        }
        EXPECT_NEAR((low + high) / 2, 0.0, 1e-9);
    }
}

TEST(ResidualOffsets, CentresExceptSecondAxisResidualsAllAtOrBelowZero) {
    struct Case {
        double min1, max1, min2, max2;
        bool altAz;
        double offset1, offset2;
    };
    const Case cases[] = {
        {0.2, 0.6, -0.1, 0.3, false, 0.4, 0.1},
        {0.2, 0.6, -0.1, 0.3, true, -0.4, 0.1},
        {-0.6, -0.2, -0.5, -0.1, false, -0.4, -0.2},  // second: minus half the range, not -0.3
        {-0.6, -0.2, -0.5, 0.0, true, 0.4, -0.25},
    };
    for (const Case& c : cases) {
        double o1 = 0, o2 = 0;
        ResidualOffsets(c.min1, c.max1, c.min2, c.max2, c.altAz, &o1, &o2);
        EXPECT_DOUBLE_EQ(o1, c.offset1);
        EXPECT_DOUBLE_EQ(o2, c.offset2);
    }
}

TEST_F(AxisErrorFit, ComputePointingCorrectionByMethod) {
    MakeMount(1);
    std::vector<AlignStar> three(table.begin(), table.begin() + 3);
    EXPECT_EQ(ComputePointingCorrection(0, three.data(), 3, "20:00:00", first, second), 0);
    EXPECT_TRUE(RecordedReports().empty());
    // From the chart, or with the external method: the pointing model, from one star.
    EXPECT_EQ(ComputePointingCorrection(1, three.data(), 1, "20:00:00", first, second), 1);
    EXPECT_EQ(ComputePointingCorrection(1, three.data(), 0, "20:00:00", first, second), 0);
    preferences.word[pref::alignMethod] = 1;
    EXPECT_EQ(ComputePointingCorrection(0, three.data(), 3, "20:00:00", first, second), 1);
}

TEST_F(PointingModelTest, ShowAlignmentErrorByMethod) {
    static std::string shown;
    SetAlignmentErrorSink([](const char* text) { shown = text; });
    std::vector<AlignStar> table(2);
    table[0].measuredAxis1 = 3.0;
    table[0].modelAxis1 = 0.0;
    table[1].measuredAxis2 = 4.0;
    preferences.word[pref::alignMethod] = 1;
    EXPECT_DOUBLE_EQ(ShowAlignmentError(table.data(), 2), 5.0 / 2);
    EXPECT_EQ(shown, "2.5000");
    preferences.word[pref::alignMethod] = 0;
    EXPECT_NEAR(ShowAlignmentError(table.data(), 2), (3.0 + 4.0) / 2, 1e-9);
    ShowAlignmentError(table.data(), 0);
    EXPECT_EQ(shown, "No stars");
    SetAlignmentErrorSink(nullptr);
}

}  // namespace
