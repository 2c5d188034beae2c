// The two-star model: solving, the conversions both ways, the axis-error correction, the
// platform mode, and the saved alignment's layout.
#include <cmath>
#include <cstring>

#include "alignment_fixture.h"
#include "core/settings.h"
#include "scope/saved_alignment.h"
#include "shell/utilities_internal.h"

namespace {

using AlignmentModelTest = AlignmentTest;

TEST_F(AlignmentModelTest, ReadingsEqualToTheStarsGiveTheIdentityAndMountToSkyHandsBack) {
    AlignStar a, b;
    a.ra = 40.0; a.dec = 10.0; a.axis1 = 40.0; a.axis2 = 10.0; a.time = 300.0;
    b.ra = 130.0; b.dec = 10.0; b.axis1 = 130.0; b.axis2 = 10.0; b.time = 310.0;
    ASSERT_EQ(SolveTwoStarMatrix("20:00:00", a, b), 1);
    EXPECT_EQ(IsAligned(), 1);
    for (int i = 0; i < 9; ++i) EXPECT_NEAR(alignmentModel.transform[i], i % 4 == 0 ? 1.0 : 0.0, 1e-12) << i;
    double ra = -1, dec = -1;
    ASSERT_EQ(MountToSky(123.0, 200.0, 35.0, &ra, &dec), 1);
    EXPECT_NEAR(ra, 200.0 / 15.0, 1e-12);
    EXPECT_NEAR(dec, 35.0, 1e-12);
    ClearAlignment();
    EXPECT_EQ(MountToSky(123.0, 200.0, 35.0, &ra, &dec), 0);
}

TEST_F(AlignmentModelTest, OnAnAltAzimuthMountAnAlignmentStarMapsToItsOwnReading) {
    preferences.word[pref::mountType] = 1;
    MakeRotation(0.3, 0.8, -1.1, rotation);
    const AlignStar a = Star(80.0, 20.0, 300.0);
    const AlignStar b = Star(200.0, 50.0, 315.0);
    ASSERT_EQ(SolveTwoStarMatrix("20:00:00", a, b), 1);
    for (AlignStar s : {a, b}) {
        SkyToMount(s);
        EXPECT_NEAR(s.modelAxis1, s.axis1 * kPi / 180, 1e-12);
        EXPECT_NEAR(s.modelAxis2, s.axis2 * kPi / 180, 1e-12);
    }
}

TEST_F(AlignmentModelTest, AStarTimeAfterMidnightCountsFromTheAlignmentForwards) {
    preferences.word[pref::mountType] = 1;
    MakeRotation(0.3, 0.8, -1.1, rotation);
    referenceDeg = 345.0;  // 23:00
    ASSERT_EQ(SolveTwoStarMatrix("23:00:00", Star(80.0, 20.0, 345.0), Star(200.0, 50.0, 345.0)), 1);
    // At 01:00 two hours have passed, not minus twenty-two: the sky turned by 2 h × rate.
    AlignStar late;
    late.time = 15.0;
    late.ra = 100.0;
    late.dec = 30.0;
    AlignStar early = late;
    early.time = 345.0;
    early.ra = 100.0 - kSiderealRate * 30.0;
    SkyToMount(late);
    SkyToMount(early);
    EXPECT_NEAR(late.modelAxis1, early.modelAxis1, 1e-12);
    EXPECT_NEAR(late.modelAxis2, early.modelAxis2, 1e-12);
}

TEST_F(AlignmentModelTest, DegenerateStarsLeaveTheModelUnaligned) {
    AlignStar a;
    a.ra = 40.0; a.dec = 10.0; a.axis1 = 40.0; a.axis2 = 10.0;
    AlignStar b = a;
    b.ra = 130.0;
    // Parallel mount vectors: the user is told.
    EXPECT_EQ(SolveTwoStarMatrix("20:00:00", a, b), 0);
    EXPECT_EQ(IsAligned(), 0);
    EXPECT_EQ(ReportTexts(), (std::vector<std::string>{"Please, fill all values\n"}));
    // Parallel sky vectors: silent.
    ClearRecordedReports();
    b = a;
    b.axis1 = 130.0;
    EXPECT_EQ(SolveTwoStarMatrix("20:00:00", a, b), 0);
    EXPECT_EQ(IsAligned(), 0);
    EXPECT_TRUE(RecordedReports().empty());
    AlignStar untouched;
    untouched.modelAxis1 = 7.0;
    SkyToMount(untouched);
    EXPECT_EQ(untouched.modelAxis1, 7.0);
}

TEST_F(AlignmentModelTest, PlatformMode) {
    ResetPlatform();
    EXPECT_EQ(alignmentModel.platformAngle, 0.0);
    EXPECT_EQ(ReportTexts(), (std::vector<std::string>{"ResetPlatform\nPlatFormMode is not activated."}));

    alignmentModel.referenceTime = 300.0 * kPi / 180;  // 20:00
    SetPlatformMode(1);
    EXPECT_EQ(GetPlatformMode(), 1);
    EXPECT_EQ(siderealRateFactor, 0.0);
    SetLocalClockSource([] { return LocalDateTimeFields{2024, 5, 10, 21, 30, 0}; });
    ResetPlatform();
    SetLocalClockSource(nullptr);
    EXPECT_NEAR(alignmentModel.platformAngle, 1.5 * 15.0 * kPi / 180 * kSiderealRate, 1e-12);

    SetPlatformMode(0);
    EXPECT_EQ(GetPlatformMode(), 0);
    EXPECT_EQ(alignmentModel.platformAngle, 0.0);
    EXPECT_EQ(siderealRateFactor, kSiderealRate);
}

// The worst distance (degrees) over a grid of the sky between a position and what
// MountToSky makes of the reading `toReading` gives for it (readings in radians, as
// SkyToMount writes them), where the mount's second axis stays within `axis2Limit`.
template <class ToReading>
double WorstRoundTrip(double axis2Limit, ToReading toReading) {
    double worst = 0.0;
    for (double ra = 0.0; ra < 360.0; ra += 23.0)
        for (double dec = -80.0; dec <= 80.0; dec += 16.0) {
            AlignStar s;
            s.time = 330.0;
            s.ra = ra;
            s.dec = dec;
            SkyToMount(s);
            if (std::fabs(s.modelAxis2) > axis2Limit * kPi / 180) continue;
            double first = s.modelAxis1;
            double second = s.modelAxis2;
            toReading(&first, &second);
            double backRa = 0, backDec = 0;
            EXPECT_EQ(MountToSky(s.time, first * 180 / kPi, second * 180 / kPi, &backRa, &backDec), 1);
            EXPECT_GE(backRa, 0.0);
            EXPECT_LT(backRa, 24.0);
            const double dRa = std::remainder(backRa * 15.0 - ra, 360.0) * std::cos(dec * kPi / 180);
            worst = std::max({worst, std::fabs(dRa), std::fabs(backDec - dec)});
        }
    return worst;
}

// Sky -> mount -> sky over the sky, for each kind of frame.
TEST_F(AlignmentModelTest, SkyToMountAndBackReturnTheSkyPosition) {
    struct Case {
        const char* what;
        int drive;
        int mountType;
    };
    for (const Case c : {Case{"equatorial drive", 5, 0}, Case{"equatorial encoder box", 3, 0},
                         Case{"alt-azimuth", 5, 1}, Case{"alt-azimuth on a platform", 5, 2}}) {
        SCOPED_TRACE(c.what);
        preferences.word[pref::scopeDrive] = c.drive;
        preferences.word[pref::mountType] = c.mountType;
        MakeRotation(0.7, 0.6, 2.1, rotation);
        ASSERT_EQ(SolveTwoStarMatrix("20:00:00", Star(80.0, 20.0, 300.0), Star(200.0, 50.0, 310.0)), 1);
        EXPECT_LT(WorstRoundTrip(90.0, [](double*, double*) {}), kArcSecond);
    }
}

// With axis-error terms of a few arc minutes, SkyToMount then MountErrorCorrect gives the
// reading the true mount shows, to first order in the terms.
TEST_F(AlignmentModelTest, MountErrorCorrectUndoesSmallAxisErrorsToFirstOrder) {
    for (int mountType : {0, 1}) {
        SCOPED_TRACE(mountType);
        preferences.word[pref::mountType] = mountType;
        MakeRotation(0.7, 0.6, 2.1, rotation);
        const double arcMinute = kPi / (180 * 60);
        trueTerms[0] = 3 * arcMinute;
        trueTerms[1] = -2 * arcMinute;
        trueTerms[2] = 4 * arcMinute;
        std::copy(trueTerms, trueTerms + 3, alignmentModel.axisError);
        ASSERT_EQ(SolveTwoStarMatrix("20:00:00", Star(80.0, 20.0, 300.0), Star(200.0, 50.0, 310.0)), 1);
        // As the GoTo sends it: the first angle mirrored around the correction on
        // alt-azimuth mounts.
        const double worst = WorstRoundTrip(60.0, [mountType](double* first, double* second) {
            if (mountType != 0) *first = 2 * kPi - *first;
            MountErrorCorrect(second, first);
            if (mountType != 0) *first = 2 * kPi - *first;
        });
        // Second order in terms of 4': (4')² × tan²60° ~ 2"; measured about 0.33".
        EXPECT_LT(worst, 2 * kArcSecond);
        RecordProperty(mountType == 0 ? "worstEquatorialArcSec" : "worstAltAzArcSec", std::to_string(worst * 3600));
    }
}

TEST_F(AlignmentModelTest, MountToSkyKeepsRightAscensionBelow24Hours) {
    preferences.word[pref::mountType] = 1;
    MakeRotation(0.7, 0.6, 2.1, rotation);
    referenceDeg = 15.0;  // 01:00
    ASSERT_EQ(SolveTwoStarMatrix("01:00:00", Star(80.0, 20.0, 15.0), Star(200.0, 50.0, 15.0)), 1);
    // 23 h 59 m later: the time term alone is more than a full turn.
    AlignStar s = Star(10.0, 10.0, 14.75);
    double ra = 0, dec = 0;
    ASSERT_EQ(MountToSky(14.75, s.axis1, s.axis2, &ra, &dec), 1);
    EXPECT_GE(ra, 0.0);
    EXPECT_LT(ra, 24.0);
    EXPECT_NEAR(ra, 10.0 / 15.0, 1e-9);
}

TEST_F(AlignmentModelTest, FillStarRecordReadsTheFormTexts) {
    AlignStar s;
    s.dec = 5.0;
    FillStarRecord(&s, "20:30:00", "05:30:00", "", "120:30:00", "-10:15:00", "Betelgeuse and a long name");
    EXPECT_DOUBLE_EQ(s.time, 307.5);
    EXPECT_DOUBLE_EQ(s.ra, 82.5);
    EXPECT_DOUBLE_EQ(s.dec, 5.0);  // empty text: kept
    EXPECT_DOUBLE_EQ(s.axis1, 120.5);
    EXPECT_DOUBLE_EQ(s.axis2, -10.25);
    EXPECT_STREQ(s.name, "Betelgeuse and a lo");
    FillStarRecord(&s, "21:00:00", nullptr, "", "", "", "x");
    EXPECT_DOUBLE_EQ(s.time, 307.5);
}

TEST_F(AlignmentModelTest, TheSavedAlignmentLivesInWords154To219) {
    AlignStar a;
    a.objectNumber = -1;
    std::strcpy(a.name, "Vega");
    a.time = 1.5; a.ra = 279.23; a.dec = 38.78; a.axis1 = 10.0; a.axis2 = 20.0;
    a.modelAxis1 = 3.0; a.modelAxis2 = 4.0; a.measuredAxis1 = 5.0; a.measuredAxis2 = 6.0;
    a.correctedAxis1 = 7.0; a.correctedAxis2 = 8.0; a.siderealTime = 18.5; a.catalogCode = 42;
    AlignStar b = a;
    b.objectNumber = 7;
    std::strcpy(b.name, "Deneb");
    b.catalogCode = -3;
    StoreSavedAlignment(2460000.25, a, b);

    EXPECT_EQ(PreferenceDouble(154), 2460000.25);
    EXPECT_EQ(preferences.word[156], -1);
    EXPECT_EQ(preferences.word[157], 'V' | 'e' << 8 | 'g' << 16 | 'a' << 24);
    double time = 0;
    std::memcpy(&time, &preferences.word[162], 8);
    EXPECT_EQ(time, 1.5);
    double sidereal = 0;
    std::memcpy(&sidereal, &preferences.word[156 + 28], 8);
    EXPECT_EQ(sidereal, 18.5);
    EXPECT_EQ(preferences.word[186], 42);
    EXPECT_EQ(preferences.word[187], 0);
    EXPECT_EQ(preferences.word[188], 7);
    EXPECT_EQ(preferences.word[218], -3);

    AlignStar c, d;
    EXPECT_EQ(LoadSavedAlignment(&c, &d), 2460000.25);
    std::uint8_t x[kAlignStarSize], y[kAlignStarSize];
    EncodeAlignStar(a, x);
    EncodeAlignStar(c, y);
    EXPECT_EQ(std::memcmp(x, y, kAlignStarSize), 0);
    EXPECT_STREQ(d.name, "Deneb");
    EXPECT_EQ(d.catalogCode, -3);
}

}  // namespace
