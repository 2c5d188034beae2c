// The two-star alignment's steps: Read, the typed fields, Align, Clear and the offer to
// restore the last alignment.
#include "alignment_fixture.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "core/calendar.h"
#include "catalog/selection_list.h"
#include "scope/saved_alignment.h"
#include "scope/two_star_alignment.h"
#include "scope/two_star_state.h"
#include "shell/utilities_internal.h"

namespace {

class TwoStarAlignmentTest : public AlignmentTest {
protected:
    void SetUp() override {
        AlignmentTest::SetUp();
        preferences.word[pref::scopeDrive] = 0;
        SetLocalClockSource([this] { return clock; });
        twoStar = TwoStarState{};
        ResetLastAlignmentOffer();
    }
    void TearDown() override {
        SetLocalClockSource({});
        twoStar = TwoStarState{};
        ResetLastAlignmentOffer();
        AlignmentTest::TearDown();
    }
    LocalDateTimeFields clock{2026, 3, 14, 20, 0, 0};
};

TEST_F(TwoStarAlignmentTest, ReadWithoutADriveTakesTheStarsOwnPositionOrTheTypedAxes) {
    twoStar.first.ra = 90.0;
    twoStar.first.dec = 30.0;
    ASSERT_EQ(TwoStarRead(0, nullptr, nullptr), 1);
    EXPECT_DOUBLE_EQ(twoStar.first.time, 300.0);
    EXPECT_DOUBLE_EQ(twoStar.first.axis1, 90.0);
    EXPECT_DOUBLE_EQ(twoStar.first.axis2, 30.0);

    preferences.word[pref::mountType] = 1;
    ASSERT_EQ(TwoStarRead(0, "", ""), 1);
    const double lst = LocalSiderealTime(2026, 3, 14, 20, 0, 0, observerLocation.longitude, observerLocation.zoneMinutes);
    EXPECT_NEAR(twoStar.first.axis1, ComputeAzimuth(lst, 6.0, 30.0, observerLocation.latitude), 1e-12);
    EXPECT_NEAR(twoStar.first.axis2, ComputeAltitude(lst, 6.0, 30.0, observerLocation.latitude), 1e-12);

    // Typed axes: degrees on alt-azimuth mounts, the first in hours on equatorial ones.
    ASSERT_EQ(TwoStarRead(1, "120:30:00", "45:00:00"), 1);
    EXPECT_NEAR(twoStar.second.axis1, 120.5, 1e-9);
    preferences.word[pref::mountType] = 0;
    ASSERT_EQ(TwoStarRead(1, "06:30:00", "45:00:00"), 1);
    EXPECT_NEAR(twoStar.second.axis1, 97.5, 1e-9);
    EXPECT_NEAR(twoStar.second.axis2, 45.0, 1e-9);

    preferences.word[pref::mountType] = 3;
    EXPECT_EQ(TwoStarRead(0, nullptr, nullptr), 0);
    EXPECT_EQ(ReportTexts().back(), "Please select scope output type (EQ, AZ, Encoder)\n");
}

TEST_F(TwoStarAlignmentTest, TypedStarsReachTheModelAndAGoodAlignIsSaved) {
    MakeRotation(0.4, 0.1, -0.3, rotation);
    const AlignStar a = Star(37.5, 20.0, 300.0), b = Star(150.0, 50.0, 300.0);
    char ra1[32], ra2[32], ax11[32], ax12[32], ax21[32], ax22[32], d1[32], d2[32];
    std::snprintf(ra1, sizeof ra1, "%.10f", a.ra / 15);
    std::snprintf(ra2, sizeof ra2, "%.10f", b.ra / 15);
    std::snprintf(d1, sizeof d1, "%.10f", a.dec);
    std::snprintf(d2, sizeof d2, "%.10f", b.dec);
    std::snprintf(ax11, sizeof ax11, "%.10f", a.axis1 / 15);  // equatorial: the field shows hours
    std::snprintf(ax12, sizeof ax12, "%.10f", a.axis2);
    std::snprintf(ax21, sizeof ax21, "%.10f", b.axis1 / 15);
    std::snprintf(ax22, sizeof ax22, "%.10f", b.axis2);
    ReadTwoStarFields("20:00:00", {"20:00:00", ra1, d1, ax11, ax12}, {"20:00:00", ra2, d2, ax21, ax22});
    static int announced;
    announced = 0;
    SetAfterSettingsListener([] { ++announced; });
    EXPECT_NEAR(twoStar.first.ra, 37.5, 1e-6);
    EXPECT_NEAR(twoStar.first.axis1, a.axis1, 1e-6);
    EXPECT_NEAR(twoStar.second.dec, 50.0, 1e-6);
    ASSERT_EQ(ComputeTwoStarAlignment(), 1);
    SetAfterSettingsListener(nullptr);
    EXPECT_EQ(announced, 1);  // the stored alignment is a change of settings
    EXPECT_EQ(IsAligned(), 1);
    AlignStar s1, s2;
    EXPECT_NEAR(LoadSavedAlignment(&s1, &s2), DateTimeToJD(2026, 3, 14, 20, 0, 0, observerLocation.zoneMinutes), 1e-9);
    EXPECT_NEAR(s2.axis2, b.axis2, 1e-6);
}

TEST_F(TwoStarAlignmentTest, AlignWithEmptyScopeFieldsFailsAndKeepsTheSavedAlignment) {
    SetPreferenceDouble(pref::savedAlignment, 123.0);
    ReadTwoStarFields("20:00:00", {"20:00:00", "02:30:00", "20:00:00", "", ""},
                      {"20:00:00", "10:00:00", "50:00:00", "", ""});
    static int announced;
    announced = 0;
    SetAfterSettingsListener([] { ++announced; });
    EXPECT_EQ(ComputeTwoStarAlignment(), 0);
    SetAfterSettingsListener(nullptr);
    EXPECT_EQ(announced, 0);
    EXPECT_EQ(IsAligned(), 0);
    const std::vector<std::string> texts = ReportTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Please, fill all values\n");
    EXPECT_EQ(texts.back(), "Fail to compute align matrix\nPlease verify inputs.");
    EXPECT_EQ(PreferenceDouble(pref::savedAlignment), 123.0);

    ClearTwoStarAlignment();
    EXPECT_STREQ(twoStar.timeText, "20:00:00");
    EXPECT_EQ(twoStar.first.objectNumber, -1);
    EXPECT_EQ(twoStar.second.ra, 0.0);
}

TEST_F(TwoStarAlignmentTest, TheRestoreQuestionComesOnlyUnderHalfADayAndOncePerRun) {
    MakeRotation(0.4, 0.1, -0.3, rotation);
    const AlignStar a = Star(37.5, 20.0, 300.0), b = Star(150.0, 50.0, 300.0);
    const double now = DateTimeToJD(2026, 3, 14, 20, 0, 0, observerLocation.zoneMinutes);
    StoreSavedAlignment(now - 0.5, a, b);
    EXPECT_EQ(OfferLastAlignment(), 0);  // half a day old: not offered

    // Yes (the recording default) restores the model, with the time rebuilt from the star.
    StoreSavedAlignment(now - 0.25, a, b);
    EXPECT_EQ(OfferLastAlignment(), 1);
    EXPECT_EQ(IsAligned(), 1);
    EXPECT_STREQ(twoStar.timeText, "20:00:00");
    ClearAlignment();
    EXPECT_EQ(OfferLastAlignment(), 0);  // once per run

    // No forgets the saved alignment and the encoder offsets.
    ResetLastAlignmentOffer();
    preferences.word[pref::encoderOffsetAlt] = 5;
    ReportHooks hooks;
    hooks.askYesNo = [](const char*, const char*) { return 1; };
    const ReportHooks before = SetReportHooks(hooks);
    EXPECT_EQ(OfferLastAlignment(), 1);
    SetReportHooks(before);
    EXPECT_EQ(IsAligned(), 0);
    EXPECT_EQ(PreferenceDouble(pref::savedAlignment), 0.0);
    EXPECT_EQ(preferences.word[pref::encoderOffsetAlt], 0);
}

}  // namespace

namespace {

// A grid of stars over the sky, and one that is not a star, in the selection list.
TEST_F(TwoStarAlignmentTest, CandidatesKeepTheAltitudeBandAndAQuarterTurnFromTheFirstStar) {
    ASSERT_GT(AllocSelectionList(), 0);
    const double lst = LocalSiderealTime(2026, 3, 14, 20, 0, 0, observerLocation.longitude, observerLocation.zoneMinutes);
    const double lat = observerLocation.latitude;
    struct Kept {
        double low, high;
        bool withAzimuth;
    };
    const double reference = 100.0;
    // The first star's record stays, out of the band as it is, and its position follows it.
    const int firstStar = 100;
    for (const Kept c : {Kept{20, 60, false}, Kept{15, 65, true}}) {
        selectionList.recordCount = 0;
        selectionList.indexCount = 0;
        int expected = 0;
        bool firstInBand = false;
        for (int i = 0; i < 120; ++i) {
            SelectionRecord& r = selectionList.records[i];
            r = SelectionRecord{};
            r.objectNumber = i;
            r.typeCode = i == 7 ? 2 : 30;
            r.rightAscension = static_cast<float>(0.2 * i);
            r.declination = static_cast<float>(-60.0 + (i * 37) % 150);
            const double alt = ComputeAltitude(lst, r.rightAscension, r.declination, lat);
            const double apart =
                std::fmod(std::fabs(ComputeAzimuth(lst, r.rightAscension, r.declination, lat) - reference) + 360.0, 360.0);
            const bool keep = r.typeCode != 30 || (c.withAzimuth && i == firstStar) ||
                              (alt >= c.low && alt <= c.high && (!c.withAzimuth || (apart >= 60 && apart <= 120)));
            if (i == firstStar) firstInBand = alt >= c.low && alt <= c.high && apart >= 60 && apart <= 120;
            expected += keep;
            selectionList.index[i] = i;
            ++selectionList.recordCount;
            ++selectionList.indexCount;
        }
        ASSERT_GT(expected, 1);
        ASSERT_LT(expected, 60);
        int kept = c.withAzimuth ? firstStar : -1;
        EXPECT_EQ(KeepAlignmentCandidates(c.low, c.high, c.withAzimuth ? &reference : nullptr, &kept), expected);
        if (c.withAzimuth) {
            ASSERT_FALSE(firstInBand);
            ASSERT_LT(kept, firstStar);
            EXPECT_EQ(selectionList.records[kept].objectNumber, firstStar);
        }
        bool nonStarKept = false;
        for (int k = 0; k < selectionList.recordCount; ++k) nonStarKept |= selectionList.records[k].objectNumber == 7;
        EXPECT_TRUE(nonStarKept);
    }
    selectionList.recordCount = 0;
    FreeSelectionList();
}

}  // namespace
