// Form 1300 on the headless screen: Read without a drive, Align with empty scope fields,
// a good Align, the pick from the chart, and the platform buttons.
#include "scope/two_star_form.h"

#include "assistant_form_fixture.h"
#include "astro/angle_text.h"
#include "catalog/object_selection.h"
#include "core/settings.h"
#include "scope/alignment_model.h"
#include "scope/saved_alignment.h"
#include "scope/two_star_alignment.h"
#include "scope/two_star_state.h"

namespace {

class TwoStarFormTest : public AssistantFormTest {
protected:
    TwoStarFormTest() : AssistantFormTest(kTwoStarFormId, &TwoStarAlignment) {}
    void SetUp() override {
        AssistantFormTest::SetUp();
        twoStar = TwoStarState{};
        alignmentModel = AlignmentModel{};
        ResetLastAlignmentOffer();
        preferences.word[pref::scopeDrive] = 0;
        preferences.word[pref::mountType] = 0;
        preferences.word[pref::alignMethod] = 0;
    }
    void TearDown() override {
        AssistantFormTest::TearDown();
        twoStar = TwoStarState{};
        alignmentModel = AlignmentModel{};
        SetPlatformMode(0);
    }
    bool Visible(int id) {
        bool shown = false;
        Call([&] { shown = platform::IsWindowVisible(platform::FindChild(formWindow, static_cast<std::uint16_t>(id))); });
        return shown;
    }
};

TEST_F(TwoStarFormTest, ReadWithoutADriveShowsTheStarsOwnPositionAndAlignWithEmptyScopeFieldsFails) {
    Open();
    SetText(1307, "02:30:00");
    SetText(1309, "20:00:00");
    SetText(1308, "10:00:00");
    SetText(1310, "50:00:00");
    Command(1321);
    EXPECT_EQ(Headings().front(), "Please, fill all values");
    EXPECT_EQ(Headings().back(), "Fail to compute align matrix");
    EXPECT_EQ(IsAligned(), 0);
    EXPECT_EQ(GetCurrentFormId(), kTwoStarFormId);
    // The typed stars reached the working stars; Read takes their own position.
    EXPECT_NEAR(twoStar.first.ra, 37.5, 1e-9);
    Command(1311);
    Command(1312);
    EXPECT_NEAR(twoStar.first.axis1, 37.5, 1e-9);
    EXPECT_NEAR(twoStar.second.axis2, 50.0, 1e-9);
    char hours[32];
    EXPECT_EQ(Text(1315), HMSToStr(hours, sizeof hours, 2.5));
    // Two stars read on an equatorial mount without a drive align and keep the alignment.
    ClearRecordedReports();
    Command(1321);
    EXPECT_EQ(IsAligned(), 1) << (Headings().empty() ? "" : Headings().back());
    AlignStar a, b;
    EXPECT_GT(LoadSavedAlignment(&a, &b), 0.0);
}

TEST_F(TwoStarFormTest, ClearEmptiesTheStarsAndNStarNeedsAnAlignment) {
    Open();
    SetText(1307, "02:30:00");
    SetText(1315, "02:30:00");
    Command(1322);
    EXPECT_EQ(Headings().back(), "Please do 2 stars alignment before going to do N stars one.");
    Command(1320);
    EXPECT_EQ(Text(1307), "");
    EXPECT_EQ(Text(1315), "");
    EXPECT_EQ(twoStar.first.objectNumber, -1);
}

TEST_F(TwoStarFormTest, PlatformButtonsShowOnlyForAzimuthOnAPlatform) {
    Open();
    EXPECT_FALSE(Visible(1344));
    EXPECT_FALSE(Visible(1345));
    EXPECT_FALSE(Visible(1346));
    Stop();
    AssistantFormTest::TearDown();
    AssistantFormTest::SetUp();
    preferences.word[pref::mountType] = 2;
    Open();
    EXPECT_TRUE(Visible(1345));
    EXPECT_FALSE(Visible(1344));
    Command(1345);
    EXPECT_EQ(GetPlatformMode(), 1);
    EXPECT_TRUE(Visible(1344));
    EXPECT_TRUE(Visible(1346));
    EXPECT_FALSE(Visible(1345));
}

}  // namespace
