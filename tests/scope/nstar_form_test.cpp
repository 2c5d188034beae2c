// Form 2100 on the headless screen at a fixed clock: a pick on the chart comes back as a
// star (a second pick of it and a 21st star are refused), Del, Sync on the mount and on
// typed positions, Calc below four stars, and the residual plots.
#include "scope/nstar_form.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "assistant_form_fixture.h"
#include "astro/angle_text.h"
#include "astro/horizontal.h"
#include "catalog/object_selection.h"
#include "catalog/selection_list.h"
#include "core/settings.h"
#include "platform/surface.h"
#include "scope/alignment_model.h"
#include "scope/assistant_links.h"
#include "scope/mount_drivers.h"
#include "scope/nstar_table.h"
#include "scope/saved_alignment.h"
#include "scope/scope_control_form.h"
#include "scope/two_star_state.h"
#include "shell/utilities_internal.h"

namespace {

constexpr int kChartForm = 1900;
constexpr LocalDateTimeFields kNow{2026, 3, 14, 21, 30, 36};

class NStarFormTest : public AssistantFormTest {
protected:
    NStarFormTest() : AssistantFormTest(kNStarFormId, &NStarAlignment) {}
    void SetUp() override {
        AssistantFormTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(AllocAlignmentStars());
        nStarCount = 0;
        nStarSelectedRow = 0;
        nStarForm = NStarFormState{};
        twoStar = TwoStarState{};
        alignmentModel = AlignmentModel{};
        objectSelection = ObjectSelection{};
        preferences.word[pref::scopeDrive] = 0;
        preferences.word[pref::mountType] = 0;
        preferences.word[pref::alignMethod] = 1;
        SetLocalClockSource([] { return kNow; });
        chartProc = SetFormDialogProc(kChartForm, &StandInFormProc<kChartForm>);
    }
    void TearDown() override {
        AssistantFormTest::TearDown();
        SetFormDialogProc(kChartForm, chartProc);
        SetLocalClockSource({});
        nStarCount = 0;
        FreeAlignmentStars();
        alignmentModel = AlignmentModel{};
        twoStar = TwoStarState{};
        DriverOf(MountFamily::Lx200) = DefaultMountDriver(MountFamily::Lx200);
        SetScopeControlLinks({});
        SetAssistantLinks({});
    }

    // A held star whose expected position (the "External" method on an equatorial mount:
    // its own) is (ra, dec) and whose mount reading was (measured1, measured2).
    void Hold(double ra, double dec, double measured1, double measured2, const char* name = "") {
        Call([=] {
            AlignStar s;
            s.ra = ra;
            s.dec = dec;
            std::strncpy(s.name, name, 9);
            ASSERT_EQ(SelectNStarFromChart(s, measured1, measured2), 1);
        });
    }
    static AlignStar Held(int row) {
        AlignStar s;
        EXPECT_TRUE(ReadNStarRecord(row, &s));
        return s;
    }
    static platform::Color PixelAt(int x, int y) {
        const platform::Surface* s = platform::WindowSurface(formWindow);
        const platform::Point o = platform::WindowOrigin(formWindow);
        return platform::PixelToColor(s->Row(y + o.y)[x + o.x]);
    }
    // Black pixels (the selected star's mark by day) inside the two plots.
    static int BlackInPlots() {
        const Bounds& p = nStarForm.plot;
        int n = 0;
        for (int y = p.y; y < p.y + p.width; ++y)
            for (int x = p.x; x < p.x + 2 * p.width; ++x) n += PixelAt(x, y) == platform::Rgb(0, 0, 0);
        return n;
    }

    platform::DialogProc chartProc = nullptr;
};

TEST_F(NStarFormTest, APickOnTheChartComesBackAsAStarAndASecondPickOfItOrA21stStarIsRefused) {
    Open();
    // The two-star method needs its model first.
    preferences.word[pref::alignMethod] = 0;
    Command(2102);
    EXPECT_EQ(Headings().back(), "Please do 2 stars alignment first");
    EXPECT_EQ(GetCurrentFormId(), kNStarFormId);
    preferences.word[pref::alignMethod] = 1;

    ObjectRef m13;
    m13.catalog = 40;
    m13.number = 13;
    m13.type = 3;
    m13.ra = 16.6949f;
    m13.dec = 36.4613f;
    Command(2102);
    ASSERT_EQ(GetCurrentFormId(), kChartForm);
    Call([&] {
        SetObjectSelection(&m13, 0);
        GoBackForm();
    });
    ASSERT_TRUE(RunUntilIdle());
    ASSERT_EQ(GetCurrentFormId(), kNStarFormId);
    ASSERT_EQ(nStarCount, 1);
    double ra = 0, dec = 0, alt = 0, az = 0;
    ComputeApparentPosition(m13.ra, m13.dec, &ra, &dec, &alt, &az, kModeTopocentricRefracted, 2026, 3, 14, 21, 30, 36);
    const AlignStar star = Held(0);
    EXPECT_STREQ(star.name, "M13");
    EXPECT_NEAR(star.ra, ra * 15, 1e-9);
    EXPECT_NEAR(star.measuredAxis1, ra * 15, 1e-9) << "without a drive the star's own place is the reading";
    EXPECT_NEAR(star.time, (36 / 3600.0 + 30 / 60.0 + 21) * 15, 1e-12);
    char text[32];
    EXPECT_EQ(Text(2103), HMSToStr(text, sizeof text, ra));

    // The chart's own current object is the pick when the chart tells it: here the same
    // star again, which is refused.
    AssistantLinks links;
    links.chartObject = [](ObjectRef* out) {
        *out = objectSelection.object;
        return true;
    };
    SetAssistantLinks(links);
    Command(2102);
    Call([] {
        ClearObjectSelection();
        GoBackForm();
    });
    ASSERT_TRUE(RunUntilIdle());
    SetAssistantLinks({});
    EXPECT_EQ(Headings().back(), "There is already a star selected at this position");
    EXPECT_EQ(nStarCount, 1);

    // Unnamed stars are called by their row; the table stops at 20.
    for (int k = 1; k < kNStarTableSize; ++k) Hold(15.0 * k, -20.0, 15.0 * k, -20.0);
    ClearRecordedReports();
    Command(2102);
    EXPECT_EQ(Headings(), std::vector<std::string>{"Sorry, no more than 20 stars: delete one first."});
    EXPECT_EQ(GetCurrentFormId(), kNStarFormId);
    EXPECT_EQ(nStarCount, kNStarTableSize);
    EXPECT_STREQ(Held(7).name, "St 7");
}

// The chart numbers a listed object it shows as current from 1 (its record's index + 1),
// so two neighbouring bright stars of the name file must not be taken for one another:
// the star tapped is the list's current row.
TEST_F(NStarFormTest, AListedStarTappedOnTheChartIsTakenByItsRowNotByTheChartsNumber) {
    ASSERT_EQ(AllocSelectionList(), 1);
    selectionList.indexCount = 0;
    const struct {
        const char* name;
        float ra, dec;
    } stars[] = {{"Fawaris", 19.7496f, 45.1308f}, {"Felis", 9.9145f, -19.0094f}};
    for (int i = 0; i < 2; ++i) {
        ObjectRef star;
        star.catalog = 54;
        star.number = static_cast<std::uint32_t>(663 + i);
        star.type = 30;
        star.ra = stars[i].ra;
        star.dec = stars[i].dec;
        std::snprintf(star.name, sizeof star.name, "%s", stars[i].name);
        ASSERT_TRUE(AddObjectToSelection(663 + i, 11, selectionList.records, star));
        selectionList.indexCount = selectionList.recordCount = i + 1;
    }
    Open();
    Command(2102);
    ASSERT_EQ(GetCurrentFormId(), kChartForm);
    AssistantLinks links;
    links.chartObject = [](ObjectRef* out) {
        selectionList.currentPosition = 0;  // the user tapped the first listed star
        SelectionRecordToInfo(out, &selectionList.records[0]);
        return true;
    };
    SetAssistantLinks(links);
    Call([] { GoBackForm(); });
    ASSERT_TRUE(RunUntilIdle());
    SetAssistantLinks({});
    FreeSelectionList();
    ASSERT_EQ(nStarCount, 1);
    EXPECT_STREQ(Held(0).name, "Fawaris");
    EXPECT_EQ(Held(0).objectNumber, 663);
}

TEST_F(NStarFormTest, DelRemovesTheSelectedStarAndMovesUpFromTheLastRow) {
    Hold(10, 0, 10, 0, "A");
    Hold(40, 0, 40, 0, "B");
    Hold(70, 0, 70, 0, "C");
    Open();
    Pick(2101, 2101, 1);
    ASSERT_EQ(nStarSelectedRow, 1);
    Command(2110);
    ASSERT_EQ(nStarCount, 2);
    EXPECT_STREQ(Held(0).name, "A");
    EXPECT_STREQ(Held(1).name, "C");
    EXPECT_EQ(nStarSelectedRow, 1);
    Command(2110);
    EXPECT_EQ(nStarCount, 1);
    EXPECT_EQ(nStarSelectedRow, 0) << "the last row went, the selection moves up";
    char text[32];
    EXPECT_EQ(Text(2103), HMSToStr(text, sizeof text, 10 / 15.0));

    // A row outside the table deletes nothing.
    ClearRecordedReports();
    Call([] { DeleteNStarRecord(3); });
    EXPECT_EQ(Headings(), std::vector<std::string>{"Please select one stars."});
    EXPECT_EQ(nStarCount, 1);

    Command(2110);
    EXPECT_EQ(nStarCount, 0);
    EXPECT_EQ(Text(2103), "");
    Command(2110);
    EXPECT_EQ(Headings().back(), "Sorry, there is no more star to delete.");
    EXPECT_EQ(nStarCount, 0);
}

// A mount that answers a fixed position.
std::uint32_t Connected() { return 1; }
std::uint32_t ReadAt(double* raHours, double* decDeg) {
    *raHours = 5.5;
    *decDeg = 20.25;
    return 1;
}

TEST_F(NStarFormTest, SyncTakesTheTypedPositionWithoutADriveAndReadsTheMountWithOne) {
    Hold(75.0, 20.0, 75.0, 20.0);
    Open();
    SetText(2105, "");
    Command(2109);
    EXPECT_EQ(Headings().back(), "The scope position is missing.");
    EXPECT_EQ(Held(0).measuredAxis1, 75.0);

    SetText(2105, "05:10:00");
    SetText(2106, "21:00:00");
    Command(2109);
    EXPECT_NEAR(Held(0).measuredAxis1, 77.5, 1e-9) << "hours on an equatorial mount";
    EXPECT_NEAR(Held(0).measuredAxis2, 21.0, 1e-9);

    MountDriver fake = NotImplementedDriver("Fake");
    fake.connect = &Connected;
    fake.disconnect = &Connected;
    fake.queryEQ = &ReadAt;
    DriverOf(MountFamily::Lx200) = fake;
    preferences.word[pref::scopeDrive] = 5;
    Command(2109);
    const AlignStar synced = Held(0);
    EXPECT_NEAR(synced.measuredAxis1, 82.5, 1e-9);
    EXPECT_NEAR(synced.measuredAxis2, 20.25, 1e-9);
    char text[32];
    EXPECT_EQ(Text(2105), HMSToStr(text, sizeof text, 5.5));
    // With the "External" method the fit follows: one star is a pure offset onto the mount.
    EXPECT_NEAR(synced.correctedAxis1, 82.5, 1e-9);
    EXPECT_EQ(Text(2107), Text(2105));
}

TEST_F(NStarFormTest, CalcOnTheTwoStarMethodWantsFourStars) {
    preferences.word[pref::alignMethod] = 0;
    for (AlignStar* s : {&twoStar.first, &twoStar.second}) {
        const bool first = s == &twoStar.first;
        s->time = 300.0;
        s->ra = s->axis1 = first ? 40.0 : 150.0;
        s->dec = s->axis2 = first ? 20.0 : 50.0;
    }
    std::strcpy(twoStar.timeText, "20:00:00");
    ASSERT_EQ(SolveTwoStarMatrix(twoStar.timeText, twoStar.first, twoStar.second), 1);
    for (double ra : {10.0, 100.0, 200.0}) Hold(ra, 10.0, ra, 10.0);
    Open();
    Command(2111);
    EXPECT_EQ(Headings().back(), "Please add at least 4 stars to do correction.");
    Hold(300.0, -10.0, 300.0, -10.0);
    ClearRecordedReports();
    Command(2111);
    ASSERT_FALSE(Headings().empty());
    EXPECT_EQ(Headings().back().rfind("Converge in ", 0), 0u) << Headings().back();
}

TEST_F(NStarFormTest, AResidualBeyondThePlotIsNotMarkedAndTheSkyViewIsCentredOnTheStar) {
    struct Seen {
        double ra = -1, dec = 0;
        int compass = -1;
    };
    static Seen seen;
    seen = Seen{};
    ScopeControlLinks links;
    links.drawSkyViewInto = [](DrawWindow*&, const Bounds&, double raHours, double decDeg, int, bool compass) {
        seen = Seen{raHours, decDeg, compass ? 1 : 0};
        return true;
    };
    SetScopeControlLinks(links);
    preferences.word[pref::chartMode] = 0;

    // Expected less measured: 0.05° and 0.02°, on the 7' scale (0.1° to the plot's edge).
    Hold(60.0, 10.0, 59.95, 9.98);
    Open();
    const Bounds p = nStarForm.plot;
    const int half = p.width / 2;
    const int x = p.x + half + static_cast<int>(0.05 * half / 0.1) - 1;
    const int y = p.y + half + static_cast<int>(0.02 * half / 0.1);
    EXPECT_EQ(PixelAt(x, y), platform::Rgb(0, 0, 0));
    EXPECT_EQ(PixelAt(x + p.width, y), platform::Rgb(0, 0, 0)) << "the corrected plot, the same before Calc";
    EXPECT_NEAR(seen.ra, 4.0, 1e-12);
    EXPECT_EQ(seen.compass, 0);
    EXPECT_EQ(preferences.word[pref::chartMode], 0) << "the chart's mode is put back";

    // 0.11° reaches past the 7' plot: no mark, not even in the gap above the plots.
    Call([] {
        AlignStar s = Held(0);
        s.measuredAxis1 = 60.0;
        s.measuredAxis2 = 10.11;
        WriteNStarRecord(0, s);
    });
    Pick(2118, 2119, 0);
    const int above = p.y + half + static_cast<int>(-0.11 * half / 0.1);
    ASSERT_LT(above, p.y);
    EXPECT_NE(PixelAt(p.x + half - 1, above), platform::Rgb(0, 0, 0));
    EXPECT_NE(PixelAt(p.x + p.width + half - 1, above), platform::Rgb(0, 0, 0));
    EXPECT_EQ(BlackInPlots(), 0);
    // On the 1° scale of the left plot it is marked again, near the centre.
    Pick(2118, 2119, 3);
    EXPECT_EQ(nStarForm.leftScale, 3);
    EXPECT_EQ(PixelAt(p.x + half - 1, p.y + half + static_cast<int>(-0.11 * half)), platform::Rgb(0, 0, 0));
}

}  // namespace
