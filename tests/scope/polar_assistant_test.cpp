// The polar alignment assistant: Polaris in the finder reticle, the King and Rambaut drift
// evaluations against cases computed apart (tests/data/scope/polar_drift.txt, written by
// tools/make_polar_fixtures.py), their guards, and the drift run on the form.
#include "scope/polar_assistant.h"

#include <gtest/gtest.h>

#include <cmath>

#include "assistant_form_fixture.h"
#include "astro/angle_text.h"
#include "core/number_text.h"
#include "core/settings.h"
#include "platform/sound.h"
#include "scope/assistant_links.h"
#include "support/fixture_files.h"

namespace {

using namespace polar_form;
using test_units::kDeg;
using test_units::kRadToArcsec;

DriftInput InputOf(const std::vector<double>& r) {
    DriftInput in;
    in.year = static_cast<int>(r[0]);
    in.month = static_cast<int>(r[1]);
    in.day = static_cast<int>(r[2]);
    in.hour = static_cast<int>(r[3]);
    in.minute = static_cast<int>(r[4]);
    in.second = static_cast<int>(r[5]);
    in.zoneHours = static_cast<int>(r[6]);
    in.latitude = r[7] * kDeg;
    in.longitude = r[8] * kDeg;
    in.ra = r[9] * 15 * kDeg;
    in.dec = r[10] * kDeg;
    in.secondDec = r[11] * kDeg;
    in.x = r[12];
    in.y = r[13];
    in.resolution = r[14];
    in.elapsed = r[15];
    in.temperature = r[16];
    return in;
}

void ExpectLikeReference(const std::vector<double>& r, const DriftResult& got, const DriftInput& in) {
    EXPECT_NEAR(DriftHourAngle(in) / kDeg, r[17], 2e-6);
    EXPECT_NEAR(got.direction / kDeg, r[18], 1e-5);
    EXPECT_NEAR(got.total * kRadToArcsec, r[19], 1e-6 * std::fabs(r[19]) + 1e-6);
    EXPECT_NEAR(got.azimuth * kRadToArcsec, r[20], 1e-6 * std::fabs(r[20]) + 1e-6);
    EXPECT_NEAR(got.elevation * kRadToArcsec, r[21], 1e-6 * std::fabs(r[21]) + 1e-6);
}

TEST(PolarDrift, KingAgainstTheIndependentCases) {
    const auto rows = ReadTaggedFixtureRows("scope/polar_drift.txt", "K");
    ASSERT_EQ(rows.size(), 5u);
    for (const auto& r : rows) {
        const DriftInput in = InputOf(r);
        DriftResult got;
        ASSERT_EQ(KingDrift(in, &got), DriftFault::None);
        ExpectLikeReference(r, got, in);
    }
}

TEST(PolarDrift, RambautAgainstTheIndependentCasesWithTheRefractionIndex) {
    const auto rows = ReadTaggedFixtureRows("scope/polar_drift.txt", "R");
    ASSERT_EQ(rows.size(), 5u);
    for (const auto& r : rows) {
        const DriftInput in = InputOf(r);
        DriftResult got;
        ASSERT_EQ(RambautDrift(in, &got), DriftFault::None);
        EXPECT_NEAR(got.refractionIndex - 1.0, r[22], 1e-12) << "at " << r[16] << " K";
        ExpectLikeReference(r, got, in);
    }
}

TEST(PolarDrift, DivisionsByZeroAreNamedFaults) {
    const DriftInput good = InputOf(ReadTaggedFixtureRows("scope/polar_drift.txt", "R").at(0));
    struct Case {
        const char* what;
        DriftInput in;
        DriftFault king, rambaut;
    };
    std::vector<Case> cases;
    DriftInput in = good;
    in.elapsed = 0;
    cases.push_back({"no interval", in, DriftFault::NoInterval, DriftFault::NoInterval});
    in = good;
    in.resolution = 0;
    cases.push_back({"no resolution", in, DriftFault::NoResolution, DriftFault::NoResolution});
    in = good;
    in.secondDec = 0;
    cases.push_back({"second star on the equator", in, DriftFault::None, DriftFault::EquatorStar});
    in = good;
    in.secondDec = 1e-9;
    cases.push_back({"nearly on it", in, DriftFault::None, DriftFault::EquatorStar});
    for (const Case& c : cases) {
        DriftResult king, rambaut;
        king.total = rambaut.total = 123;
        EXPECT_EQ(KingDrift(c.in, &king), c.king) << c.what;
        EXPECT_EQ(RambautDrift(c.in, &rambaut), c.rambaut) << c.what;
        if (c.rambaut != DriftFault::None) {
            EXPECT_EQ(rambaut.total, 123) << c.what << ": nothing written";
        }
        EXPECT_TRUE(std::isfinite(king.total) && std::isfinite(rambaut.total)) << c.what;
    }
}

TEST(PolarFinder, TheHourAngleMarksAndTheLabels) {
    const double ra = 2.5301955556;  // the finder's radius at this right ascension is R - inset
    struct Case {
        double hours;
        int x, y, labelHours, labelMinutes;
    };
    const Case cases[] = {
        {0, 100, 157, 0, 0},     // "0" below the centre
        {6, 157, 100, 6, 0},     // "6" to the right
        {12, 100, 43, 12, 0},    // "12" above
        {18, 43, 100, 18, 0},    // "18" to the left
        {13, 85, 45, 13, 0},     // placed at -11 h, labelled 13 h
        {-11, 85, 45, 13, 0},
        {25.5, 122, 153, 1, 30},
    };
    for (const Case& c : cases) {
        const PolarFinderMark m = PlacePolaris(c.hours, ra, 60, 3, 100, 100);
        EXPECT_EQ(m.x, c.x) << c.hours;
        EXPECT_EQ(m.y, c.y) << c.hours;
        EXPECT_EQ(m.labelHours, c.labelHours) << c.hours;
        EXPECT_EQ(m.labelMinutes, c.labelMinutes) << c.hours;
    }
}

TEST(PolarFinder, TimerRowsAndReticleCounts) {
    const int minutes[] = {8, 16, 24, 32, 0};
    for (int row = 0; row < 5; ++row) EXPECT_EQ(DriftTimerMinutes(row), minutes[row]) << row;
    const ScaleFactors saved = screenScale;
    screenScale = ScaleFactors{2.0, 2.0};
    EXPECT_EQ(PolarFinderCount(640), 4) << "portrait: taller than 240 x scale";
    EXPECT_EQ(PolarFinderCount(480), 2) << "landscape";
    screenScale = saved;
}

// ---- The form ----------------------------------------------------------------------------

class PolarFormTest : public AssistantFormTest {
protected:
    PolarFormTest() : AssistantFormTest(kPolarFormId, &PolarAssistant) {}
    void SetUp() override {
        polarAssistant = PolarAssistantState{};
        platform::ClearPlayedSounds();
        AssistantFormTest::SetUp();
        if (HasFatalFailure()) return;
        SetSiteLatitude(48.85f);
        observerLocation.longitude = -2.35f;
        observerLocation.zoneMinutes = 60;
        observerLocation.temperature = 10;
        Open();
    }
    void TearDown() override {
        AssistantFormTest::TearDown();
        SetPreferenceFloat(pref::reticleResolution, 0);
    }
    // A tap on the drift reticle at reticle pixel (x, y) from its top left.
    void TapReticle(int x, int y) {
        const Bounds& b = polarAssistant.reticleBox;
        TapForm(b.x + x * static_cast<int>(screenScale.horizontal), b.y + y * static_cast<int>(screenScale.vertical));
    }
    void DriftMethod(int method) {
        Pick(kMethodPopup, kMethodList, method);
        SetText(kRa, "05:30:00");
        SetText(kDec, "02:00:00");
        SetText(kSecondDec, "40:00:00");
        SetText(kResolution, "2.5");
    }
};

TEST_F(PolarFormTest, TheQuickMethodHidesTheDriftControls) {
    EXPECT_FALSE(platform::IsWindowVisible(Item(kRa)));
    EXPECT_FALSE(platform::IsWindowVisible(Item(kAssistant1)));
    EXPECT_TRUE(platform::IsWindowVisible(Item(kDate)));
    EXPECT_EQ(Text(kTime), "21:30") << "the device clock";
    Pick(kMethodPopup, kMethodList, 1);
    EXPECT_EQ(polarAssistant.method, kPolarKing);
    EXPECT_TRUE(platform::IsWindowVisible(Item(kRa)));
    EXPECT_FALSE(platform::IsWindowVisible(Item(kSecondDec))) << "King's method has one star";
    Pick(kMethodPopup, kMethodList, 2);
    EXPECT_TRUE(platform::IsWindowVisible(Item(kSecondDec)));
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

TEST_F(PolarFormTest, AKingDriftFromTheTimerToTheTap) {
    DriftMethod(kPolarKing);
    Pick(kTimerPopup, kTimerList, 4);  // "Manual"
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0].heading.rfind("Wait some minutes without tracking", 0), 0u);
    EXPECT_EQ(polarAssistant.step, 5);
    EXPECT_EQ(Text(kTime), "21:30:00");
    ClearRecordedReports();
    Advance(960000);
    TapReticle(kReticleCentre + 12, kReticleCentre + 7);
    EXPECT_EQ(polarAssistant.step, 4);
    EXPECT_EQ(Text(kX), "12.00");
    EXPECT_EQ(Text(kY), "-7.00");
    // The same drift evaluated directly.
    DriftInput in;
    in.year = 2024, in.month = 3, in.day = 20, in.hour = 21, in.minute = 30, in.second = 0, in.zoneHours = 1;
    in.latitude = 48.85f * kDeg;
    in.longitude = -2.35f * kDeg;
    in.temperature = 283.15;
    in.ra = 5.5 * 15 * kDeg;
    in.dec = 2 * kDeg;
    in.x = 12;
    in.y = -7;
    in.resolution = 2.5;
    in.elapsed = 960;
    DriftResult want;
    ASSERT_EQ(KingDrift(in, &want), DriftFault::None);
    char text[32];
    FormatFixed(text, want.azimuth * kRadToArcsec, 2);
    EXPECT_EQ(Text(kAzimuth), text);
    FormatFixed(text, want.elevation * kRadToArcsec, 2);
    EXPECT_EQ(Text(kElevation), text);
    FormatFixed(text, want.direction / kDeg, 2);
    EXPECT_EQ(Text(kDirection), text);
    ASSERT_EQ(RecordedReports().size(), 3u) << "three corrections";
    EXPECT_EQ(Headings()[0].rfind("Move the north end of the hh axis ", 0), 0u);
    EXPECT_NE(Headings()[0].find(want.azimuth <= 0 ? "WEST" : "EAST"), std::string::npos);
    EXPECT_EQ(Headings()[1].rfind("with star at declination 2 degree ", 0), 0u);
    EXPECT_EQ(PreferenceFloat(pref::reticleResolution), 2.5f);
}

TEST_F(PolarFormTest, ATapWithoutAnIntervalOrATimerIsRefused) {
    DriftMethod(kPolarRambaut);
    TapReticle(30, 30);
    EXPECT_EQ(Headings(), (std::vector<std::string>{"Star timer fisrt"}));
    TapForm(2, 200);  // outside the reticle: ignored
    EXPECT_EQ(RecordedReports().size(), 1u);
    ClearRecordedReports();
    Pick(kTimerPopup, kTimerList, 4);
    ClearRecordedReports();
    TapReticle(40, 20);  // at once: an interval of 0 s
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(ReportText(0), std::string("Can't evaluate the drift\n") + DriftFaultDetail(DriftFault::NoInterval));
    EXPECT_EQ(Text(kAzimuth), "");
    EXPECT_EQ(Text(kLambda), "");
}

TEST_F(PolarFormTest, AnAlarmAtTheEndOfATimedInterval) {
    DriftMethod(kPolarKing);
    Pick(kTimerPopup, kTimerList, 0);  // 8 minutes
    EXPECT_EQ(Headings().at(0),
              "An alarm will remain you in 8mn to indicate where is the targeted star on your the reticle.");
    Advance(7 * 60000);
    EXPECT_EQ(RecordedReports().size(), 1u);
    Advance(61000);
    EXPECT_EQ(Headings().back(), "The drift interval is over.");
    EXPECT_EQ(platform::PlayedSounds(), (std::vector<std::string>{"startTimer"}));
    // A tap before the alarm would have said so; this one comes after it.
    TapReticle(35, 29);
    EXPECT_EQ(Headings().at(2).rfind("Move the north end", 0), 0u);
}

TEST_F(PolarFormTest, TheResolutionWaitsForAStar) {
    DriftMethod(kPolarKing);
    Command(kAssistant2);
    EXPECT_EQ(Headings(), (std::vector<std::string>{"Please before select a star to set resolution."}));
}

struct SearchCall {
    int count = 0;
    int typeClass = -1, kind = -1, type = -1;
};
SearchCall search;
void RecordSearch(int typeClass, int kind, int type) {
    ++search.count;
    search.typeClass = typeClass;
    search.kind = kind;
    search.type = type;
}

TEST_F(PolarFormTest, AssistantOneSearchesCandidateStarsAndOpensTheChart) {
    search = SearchCall{};
    AssistantLinks links;
    links.runObjectSelectionQuiet = &RecordSearch;
    const AssistantLinks saved = SetAssistantLinks(links);
    DriftMethod(kPolarKing);
    Command(kAssistant1);
    SetAssistantLinks(saved);
    EXPECT_EQ(search.count, 1);
    EXPECT_EQ(search.typeClass, 0);
    EXPECT_EQ(search.kind, 54);
    EXPECT_EQ(search.type, 0);
    EXPECT_EQ(polarAssistant.step, 1);
    ASSERT_FALSE(RecordedReports().empty());
    EXPECT_EQ(ReportText(0), "Point to a star which is\nin the vicinity of the celestial equator (Dec=0\xB0 +/- 10\xB0).");
    // The chart is asked for; in this test no chart is built.
    EXPECT_EQ(Headings().back(), "Unkown form call");
    // With a star chosen the resolution can be measured.
    ClearRecordedReports();
    Command(kAssistant2);
    EXPECT_EQ(Headings().at(0), "\x95 Put the star on the");
    EXPECT_EQ(Text(kResolution), "0.00") << "no time passed between A and B here";
}

}  // namespace
