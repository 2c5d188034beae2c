// "Improve Pointing": the chart's current object becomes an N-star record and the pointing
// correction is refitted.
#include <cstring>

#include "alignment_fixture.h"
#include "astro/horizontal.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "scope/chart_align_star.h"
#include "scope/nstar_table.h"
#include "scope/saved_alignment.h"
#include "shell/utilities_internal.h"

namespace {

class ChartAlignStarTest : public AlignmentTest {
protected:
    void SetUp() override {
        AlignmentTest::SetUp();
        ASSERT_TRUE(AllocAlignmentStars());
        nStarCount = 0;
        nStarSelectedRow = 0;
        preferences.word[pref::scopeDrive] = 0;
        SetLocalClockSource([] { return LocalDateTimeFields{2026, 3, 14, 21, 30, 36}; });
    }
    void TearDown() override {
        SetLocalClockSource({});
        nStarCount = 0;
        FreeAlignmentStars();
        AlignmentTest::TearDown();
    }
    static ObjectRef Object(float raHours, float decDeg, const char* name, unsigned catalog = 54) {
        ObjectRef o;
        o.catalog = catalog;
        o.number = 77;
        o.type = 30;
        o.ra = raHours;
        o.dec = decDeg;
        std::strncpy(o.name, name, sizeof o.name - 1);
        return o;
    }
    // The apparent place (mode 3) at the fixed clock: ra (hours), dec, alt, az.
    static void Apparent(const ObjectRef& o, double out[4]) {
        ComputeApparentPosition(o.ra, o.dec, &out[0], &out[1], &out[2], &out[3], kModeTopocentricRefracted, 2026, 3,
                                14, 21, 30, 36);
    }
};

TEST_F(ChartAlignStarTest, NoObjectShowsTheMessageAndAddsNothing) {
    AddChartObjectAsAlignStar(nullptr);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"No Object or Star selected.\n"});
    EXPECT_EQ(nStarCount, 0);
}

TEST_F(ChartAlignStarTest, RecordHoldsTheApparentPlaceTheClockAndTheMountAxes) {
    const ObjectRef vega = Object(18.6156f, 38.7837f, "Vega alpha Lyr");
    double app[4];
    Apparent(vega, app);
    const double clockDeg = (36 / 3600.0 + 30 / 60.0 + 21) * 15.0;
    struct Case {
        const char* what;
        int mountType;
        double axis1, axis2;
    };
    for (const Case c : {Case{"equatorial", 0, app[0] * 15, app[1]}, Case{"alt-azimuth", 1, app[3], app[2]}}) {
        SCOPED_TRACE(c.what);
        preferences.word[pref::mountType] = c.mountType;
        const AlignStar r = ChartObjectAlignStar(vega);
        EXPECT_STREQ(r.name, "Vega alpha");  // the first ten characters
        EXPECT_EQ(r.catalogCode, 54);
        EXPECT_EQ(r.objectNumber, 77);
        EXPECT_NEAR(r.time, clockDeg, 1e-12);
        EXPECT_NEAR(r.ra, app[0] * 15, 1e-12);
        EXPECT_NEAR(r.dec, app[1], 1e-12);
        EXPECT_NEAR(r.measuredAxis1, c.axis1, 1e-12);
        EXPECT_NEAR(r.measuredAxis2, c.axis2, 1e-12);
        EXPECT_EQ(r.correctedAxis1, r.measuredAxis1);
        EXPECT_EQ(r.axis2, r.measuredAxis2);
        // Two-star method without a model: no model axes.
        EXPECT_EQ(r.modelAxis1, 0.0);
        EXPECT_EQ(r.modelAxis2, 0.0);
    }
}

TEST_F(ChartAlignStarTest, WithAModelTheModelAxesComeFromSkyToMountInDegrees) {
    MakeRotation(0.3, 0.05, -0.2, rotation);
    const AlignStar a = Star(40.0, 20.0, 300.0), b = Star(150.0, 50.0, 300.0);
    ASSERT_EQ(SolveTwoStarMatrix("20:00:00", a, b), 1);
    const ObjectRef arcturus = Object(14.261f, 19.1825f, "Arcturus");
    const AlignStar r = ChartObjectAlignStar(arcturus);
    AlignStar expected = r;
    SkyToMount(expected);
    EXPECT_NEAR(r.modelAxis1, expected.modelAxis1 * kRadToDeg, 1e-9);
    EXPECT_NEAR(r.modelAxis2, expected.modelAxis2 * kRadToDeg, 1e-9);
    EXPECT_NE(r.modelAxis1, 0.0);

    // It joins the table with the expected axes of the model, and the fit runs.
    EXPECT_EQ(AddChartObjectAsAlignStar(&arcturus), 1);
    ASSERT_EQ(nStarCount, 1);
    AlignStar held;
    ASSERT_TRUE(ReadNStarRecord(0, &held));
    EXPECT_STREQ(held.name, "Arcturus");
    EXPECT_NEAR(held.axis1, r.modelAxis1, 1e-9);
    EXPECT_NEAR(held.measuredAxis1, r.measuredAxis1, 1e-12);
}

TEST_F(ChartAlignStarTest, TableRefusesAMissingModelAHeldPositionAndA21stStar) {
    // Two-star method, no model: refused by the table.
    const ObjectRef star = Object(6.0f, 10.0f, "Star");
    EXPECT_EQ(AddChartObjectAsAlignStar(&star), 0);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Please do 2 stars alignment first.\n"});
    EXPECT_EQ(nStarCount, 0);

    preferences.word[pref::alignMethod] = 1;  // External
    ClearRecordedReports();
    AlignStar templ;
    templ.ra = 359.8;
    templ.dec = 10.0;
    ASSERT_EQ(SelectNStarFromChart(templ, 359.8, 10.0), 1);
    // Within 0.5° across 0°/360° and within 1° of declination: refused.
    templ.ra = 0.2;
    templ.dec = 10.9;
    EXPECT_EQ(SelectNStarFromChart(templ, 0.2, 10.9), 0);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"There is already a star selected at this position\n"});
    templ.dec = 11.1;
    EXPECT_EQ(SelectNStarFromChart(templ, 0.2, 11.1), 1);
    for (int k = 2; k < kNStarTableSize; ++k) {
        templ.ra = 15.0 * k;
        ASSERT_EQ(SelectNStarFromChart(templ, templ.ra, templ.dec), 1) << k;
    }
    EXPECT_EQ(nStarSelectedRow, kNStarTableSize - 1);
    templ.ra = 100.0;
    templ.dec = -40.0;
    EXPECT_EQ(SelectNStarFromChart(templ, 100.0, -40.0), 0);
    EXPECT_EQ(nStarCount, kNStarTableSize);
}

}  // namespace
