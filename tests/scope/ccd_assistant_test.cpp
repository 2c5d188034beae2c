// The CCD assistant: the field of view of the presets and of typed sizes, the sizes as the
// fields show and read them, the focal length taken from the telescope, and the finder
// chart only where the screen has room for it.
#include "scope/ccd_assistant.h"

#include <gtest/gtest.h>

#include <cmath>

#include "assistant_form_fixture.h"
#include "astro/angle_text.h"
#include "catalog/records.h"
#include "core/settings.h"
#include "scope/assistant_links.h"

namespace {

using namespace ccd_form;

TEST(CcdField, CanonOnAMetreOfFocalLength) {
    const CcdPreset& canon = ccdPresets[1];
    ASSERT_STREQ(canon.name, "Canon 350D");
    CcdField f{};
    ASSERT_TRUE(ComputeCcdField(canon.width, canon.height, canon.pixelWidth, canon.pixelHeight, 1000, &f));
    // 2 atan(11.1 / 1000) and 2 atan(7.4 / 1000): 1.27191 and 0.84796 degrees.
    EXPECT_NEAR(f.across, 1.2718, 2e-4);
    EXPECT_NEAR(f.down, 0.8479, 2e-4);
    EXPECT_NEAR(f.across, 2.0 * std::atan(0.0111) * 180 / 3.141592653589793, 1e-12);
    EXPECT_NEAR(f.diagonal, 2.0 * std::atan(0.5 * std::hypot(22.2, 14.8) / 1000) * 180 / 3.141592653589793, 1e-12);
    // 642 x 2.06 / 1000 x 100 = 132.25: cut, not rounded.
    EXPECT_DOUBLE_EQ(f.pixelAcross, 1.32);
    EXPECT_DOUBLE_EQ(f.pixelDown, 1.32);
    // 900 x 2.06 / 500 x 100 = 370.8 reads 3.70, where rounding would give 3.71.
    ASSERT_TRUE(ComputeCcdField(690, 460, 900, 900, 500, &f));
    EXPECT_NEAR(f.pixelAcross, 3.70, 1e-12);
    EXPECT_FALSE(ComputeCcdField(690, 460, 900, 900, 0, &f)) << "no field without a focal length";
    EXPECT_FALSE(ComputeCcdField(690, 460, 900, 900, -10, &f));
}

TEST(CcdField, SizesShowAndReadBackInHundredths) {
    char text[24];
    for (int value : {505, 2220, 0, 7, 20000}) {
        FormatHundredths(text, sizeof text, value);
        EXPECT_EQ(ReadHundredths(text), value) << text;
    }
    FormatHundredths(text, sizeof text, 505);
    EXPECT_STREQ(text, "5.05");
    FormatHundredths(text, sizeof text, 7);
    EXPECT_STREQ(text, "0.07");
    EXPECT_EQ(ReadHundredths("5,05"), 505);
    EXPECT_EQ(ReadHundredths("0.295"), 30) << "to the nearest hundredth";
}

// ---- The form ----------------------------------------------------------------------------

// The finder charts asked for.
struct FinderCall {
    int count = 0;
};
FinderCall finder;
void RecordFinder(const ObjectRef&, int, const Bounds&) { ++finder.count; }

class CcdFormTest : public AssistantFormTest {
protected:
    CcdFormTest() : AssistantFormTest(kCcdFormId, &CcdAssistant) {}
    void SetUp() override {
        finder = FinderCall{};
        AssistantLinks links;
        links.drawFinderChart = &RecordFinder;
        saved = SetAssistantLinks(links);
        AssistantFormTest::SetUp();
    }
    void TearDown() override {
        AssistantFormTest::TearDown();
        SetAssistantLinks(saved);
    }
    AssistantLinks saved;
};

TEST_F(CcdFormTest, APresetFillsTheFieldsAndTheFieldOfView) {
    preferences.word[pref::ccdFocalLength] = 1000;
    Open();
    EXPECT_EQ(preferences.word[pref::cameraPreset], 1) << "the Canon by default";
    EXPECT_EQ(Text(kWidth), "22.20");
    EXPECT_EQ(Text(kHeight), "14.80");
    EXPECT_EQ(Text(kPixelWidth), "6.42");
    EXPECT_EQ(Text(kFocal), "1000");
    EXPECT_EQ(Text(kFieldAcross), "01\xB0" "16'19");
    EXPECT_EQ(Text(kFieldDown), "00\xB0" "50'53");
    EXPECT_EQ(Text(kPixelAcross), "1.32");
    // Another camera: its values replace the fields.
    Pick(kPresetPopup, kPresetList, 3);
    EXPECT_EQ(preferences.word[pref::cameraPreset], 3);
    EXPECT_EQ(Text(kPixelHeight), "16.00");
    EXPECT_EQ(preferences.word[pref::pixelHeight], 1600);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

TEST_F(CcdFormTest, TypedSizesUnderUserDataAndTheTelescopesFocalLength) {
    preferences.word[pref::cameraPreset] = 0;
    preferences.word[pref::apertureChoice] = 100;   // 100 mm at f/6: 600 mm
    preferences.word[pref::focalRatioChoice] = 2;
    Open();
    SetText(kWidth, "5.05");
    SetText(kHeight, "3.8");
    SetText(kPixelWidth, "5.6");
    SetText(kPixelHeight, "5.6");
    SetText(kFocal, "0");
    Command(kUpdate);
    EXPECT_EQ(preferences.word[pref::sensorWidth], 505);
    EXPECT_EQ(preferences.word[pref::sensorHeight], 380);
    EXPECT_EQ(Text(kWidth), "5.05") << "the redraw shows what was typed";
    // 560 x 2.06 / 600 x 100 = 192.26.
    EXPECT_EQ(Text(kPixelAcross), "1.92");
    CcdField f{};
    ComputeCcdField(505, 380, 560, 560, 600, &f);
    char across[24];
    EXPECT_EQ(Text(kFieldAcross), DMSToStr(across, sizeof across, f.across));
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

TEST_F(CcdFormTest, NoFocalLengthOrABadSizeIsNamedAndLeavesTheResultsEmpty) {
    preferences.word[pref::cameraPreset] = 0;
    Open();
    ASSERT_FALSE(Text(kFieldAcross).empty());
    SetText(kFocal, "-5");
    Command(kUpdate);
    ASSERT_EQ(Headings(), (std::vector<std::string>{"No focal length"}));
    EXPECT_EQ(Text(kFieldAcross), "");
    EXPECT_EQ(Text(kPixelDown), "");
    ClearRecordedReports();
    SetText(kFocal, "800");
    SetText(kWidth, "-2");
    Command(kUpdate);
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(ReportText(0), "Invalid CCD value\nType a sensor width from 0 to 200.");
    EXPECT_EQ(Text(kDiagonal), "");
}

TEST_F(CcdFormTest, NoFinderChartOnTheDesignScreen) {
    Open();
    EXPECT_EQ(finder.count, 0);
}

class CcdWideFormTest : public CcdFormTest {
protected:
    void SetUp() override {
        options.width = 480;
        options.height = 320;
        CcdFormTest::SetUp();
    }
};

TEST_F(CcdWideFormTest, WithoutTheCatalogNoChartIsDrawnAndTheFormStillWorks) {
    // The test home has no catalog: M31 cannot be looked up, so the chart is left out (the
    // place it would take is CcdFinderArea's, below) and nothing else changes.
    preferences.word[pref::showFovCcd] = 0;
    preferences.word[pref::ccdFocalLength] = 1000;
    Open();
    EXPECT_EQ(finder.count, 0);
    EXPECT_EQ(preferences.word[pref::showFovCcd], 0);
    EXPECT_EQ(Text(kPixelAcross), "1.32");
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

TEST(CcdFinderArea, OnlyWhereTheScreenPassesThreeHundredAndTwentyLayoutPixels) {
    const ScaleFactors saved = screenScale;
    screenScale = ScaleFactors{2.0, 2.0};
    Bounds area;
    EXPECT_FALSE(CcdFinderArea(480, 640, &area)) << "240 x 320 layout pixels";
    EXPECT_FALSE(CcdFinderArea(640, 480, &area)) << "320 x 240 layout pixels";
    ASSERT_TRUE(CcdFinderArea(960, 640, &area)) << "wide: beside the fields";
    EXPECT_EQ(area.x, 480);
    EXPECT_EQ(area.width, 476);
    ASSERT_TRUE(CcdFinderArea(480, 960, &area)) << "tall: below the fields";
    EXPECT_EQ(area.y, 576);
    EXPECT_EQ(area.height, 320);
    screenScale = saved;
}

}  // namespace
