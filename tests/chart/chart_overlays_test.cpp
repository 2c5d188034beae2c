// The chart's overlays: the Moon icon by phase, the phase shadow, the telrad, eyepiece
// circle and camera frame, the field label and the cursors.
#include <cstring>
#include <string>

#include "catalog/oculars.h"
#include "chart/chart_overlays.h"
#include "chart_layers_fixture.h"

namespace {

class OverlayTest : public ChartLayerTest {
protected:
    platform::Color white = platform::Rgb(255, 255, 255);
};

TEST_F(OverlayTest, MoonIconAtNewMoonByWaxingAndWaning) {
    // New Moon 2024 January 11, 11:57 UT; the test site keeps UT + 1 h.
    moonBlock = MoonBlock{};
    ASSERT_GE(GetDpiFactor(), 2);
    EXPECT_EQ(GetMoonPhaseBitmap(2024, 1, 11, 16), 6050);
    EXPECT_EQ(moonBlock.bitmapId, 6050);
    EXPECT_EQ(GetMoonPhaseBitmap(2024, 1, 11, 9), 6063);
    // Full Moon 2024 January 25, 17:54 UT: nearly full and still waxing.
    EXPECT_EQ(GetMoonPhaseBitmap(2024, 1, 25, 12), 6050 + 6);
    EXPECT_GE(moonBlock.ageIndex, 13);
    EXPECT_LE(moonBlock.ageIndex, 15);
}

TEST_F(OverlayTest, PhaseShadowNearHalfFillsExactlyHalfTheDisc) {
    SetForeColor(white);
    DrawPhaseShadow(120, 160, 40, 40, 100);
    const int disc = CountLit(90, 130, 150, 190);
    ASSERT_GT(disc, 1000);
    int half = -1;
    for (int p : {49, 50, 51}) {
        Clear();
        SetForeColor(white);
        DrawPhaseShadow(120, 160, 40, 40, p);
        const int n = CountLit(90, 130, 150, 190);
        if (half < 0) half = n;
        EXPECT_EQ(n, half) << p;
        EXPECT_EQ(CountLit(120, 130, 150, 190), 0) << p;
    }
    EXPECT_NEAR(half * 2.0, disc, 45.0);
    // Crescent and gibbous grow with the percent; beyond 0..100 is clamped.
    Clear();
    DrawPhaseShadow(120, 160, 40, 40, 25);
    const int crescent = CountLit(90, 130, 150, 190);
    Clear();
    DrawPhaseShadow(120, 160, 40, 40, 75);
    const int gibbous = CountLit(90, 130, 150, 190);
    EXPECT_LT(crescent, half);
    EXPECT_GT(gibbous, half);
    EXPECT_LT(gibbous, disc);
    Clear();
    DrawPhaseShadow(120, 160, 40, 40, -20);
    EXPECT_EQ(CountLit(90, 130, 150, 190), 0);
    Clear();
    DrawPhaseShadow(120, 160, 40, 40, 140);
    EXPECT_EQ(CountLit(90, 130, 150, 190), disc);
}

TEST_F(OverlayTest, TelradRadiiComeFromItsThreeSettings) {
    preferences.word[pref::telradRadius] = 5;
    preferences.word[pref::telradRadius + 1] = 20;
    preferences.word[pref::telradRadius + 2] = 40;
    // 0.25 pixel per arc minute: 7, 30 and 60 pixels.
    DrawTelrad(120, 160, 0.25f, white);
    EXPECT_TRUE(Lit(127, 160));
    EXPECT_TRUE(Lit(150, 160));
    EXPECT_TRUE(Lit(120, 100));
    EXPECT_TRUE(Lit(140, 160));  // the cross
    EXPECT_FALSE(Lit(181, 160));
    EXPECT_FALSE(Lit(135, 175));
    Clear();
    for (int i = 0; i < 3; ++i) preferences.word[pref::telradRadius + i] = 0;
    DrawTelrad(120, 160, 0.25f, white);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
}

TEST_F(OverlayTest, EyepieceCircleHasTheTrueFieldAndNeedsBothFocalLengths) {
    auto writeEyepiece = [&](float focal) {
        WriteFile(Data(kEyepieceFile), 0, kCreatorEyepieces, kEyepieceRecordSize, 1, [&](std::uint32_t, std::uint8_t* r) {
            EyepieceRecord e;
            std::strcpy(e.brandCode, "AAA");
            std::strcpy(e.name, "Wide");
            e.focalLength = focal;
            e.apparentField = 50.0f;
            EncodeEyepieceRecord(e, r);
        });
        std::filesystem::remove_all(root / "home" / "usercatalogs");
    };
    preferences.word[pref::apertureChoice] = 200;
    preferences.word[pref::focalRatioChoice] = 50;
    preferences.word[pref::showFovEyepiece] = 1;
    preferences.word[pref::eyepieceChoice] = 1;
    writeEyepiece(25.0f);
    // 40 times: 50 degrees / 40 = 75 arc minutes, at 1 pixel each.
    const Bounds all{0, 0, 240, 320};
    DrawEyepieceCircle(120, 200, 1.0f, white, all);
    EXPECT_TRUE(Lit(195, 200));
    EXPECT_TRUE(Lit(45, 200));
    EXPECT_FALSE(Lit(197, 200));
    EXPECT_GT(CountLit(100, 100, 200, 125), 0);  // the label above the circle
    Clear();
    writeEyepiece(0.0f);
    DrawEyepieceCircle(120, 200, 1.0f, white, all);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
    preferences.word[pref::showFovEyepiece] = 0;
    writeEyepiece(25.0f);
    DrawEyepieceCircle(120, 200, 1.0f, white, all);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
}

TEST_F(OverlayTest, CameraFrameLabelsAndAMissingFocalLength) {
    char text[32];
    FormatFrameSide(60.0, text, sizeof text);
    EXPECT_STREQ(text, "60'00''");
    FormatFrameSide(59.75, text, sizeof text);
    EXPECT_STREQ(text, "59'45''");
    FormatFrameSide(75.5, text, sizeof text);
    EXPECT_STREQ(text, "1\xB0" "15'30''");
    preferences.word[pref::sensorWidth] = 2000;
    preferences.word[pref::sensorHeight] = 1500;
    preferences.word[pref::ccdFocalLength] = 0;
    const Bounds all{0, 0, 240, 320};
    DrawCcdFrame(120, 160, 1.0f, white, all);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
    // 20 x 15 mm at 1000 mm: 68.75' x 51.6', half-sides 68 and 51 pixels at 2 per minute.
    preferences.word[pref::ccdFocalLength] = 1000;
    DrawCcdFrame(120, 160, 1.0f, white, all);
    EXPECT_TRUE(Lit(120, 160 - 51));
    EXPECT_TRUE(Lit(120 + 68, 160));
    EXPECT_FALSE(Lit(120 + 70, 150));
}

TEST_F(OverlayTest, FieldLabelByZoom) {
    SetChartSetting(chartpref::background, kBackgroundBlack);
    preferences.word[pref::objectLimitChoice] = 0;
    char fov[24], limits[32];
    FormatFieldLabel(10, fov, sizeof fov, limits, sizeof limits);
    EXPECT_STREQ(fov, "FOV 2.5\xB0");
    FormatFieldLabel(0, fov, sizeof fov, limits, sizeof limits);
    EXPECT_STREQ(fov, "FOV 180\xB0");
    EXPECT_STREQ(limits, "All, S<5");
    preferences.word[pref::objectLimitChoice] = 2;
    FormatFieldLabel(0, fov, sizeof fov, limits, sizeof limits);
    EXPECT_STREQ(limits, "O<4, S<5");
    EXPECT_FLOAT_EQ(GetZoomFieldWidth(14), 75.0f);
    DrawFieldLabel(10, 10, 14);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
    DrawFieldLabel(10, 10, 5);
    EXPECT_GT(CountLit(0, 0, 240, 320), 0);
}

TEST_F(OverlayTest, CursorAndGaugeFollowTheirSettings) {
    SetChartSetting(chartpref::cursor, 2);
    DrawTargetCursor(120, 160);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
    SetChartSetting(chartpref::cursor, 0);
    DrawTargetCursor(120, 160);
    EXPECT_GT(CountLit(100, 140, 140, 180), 0);
    Clear();
    SetChartSetting(chartpref::hideCompass, 1);
    DrawDirectionGauge(10, 10, 0, 0);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
    SetChartSetting(chartpref::hideCompass, 0);
    DrawDirectionGauge(10, 10, 0, 0);
    EXPECT_GT(CountLit(0, 0, 240, 320), 0);
}

// With no icon bitmap for it (none made yet, or a dpi factor of 1) a listed object is still
// marked, by a ring about its point.
TEST_F(OverlayTest, SelectionMarkerWithoutItsIconIsAPlainRing) {
    SetChartSetting(chartpref::background, kBackgroundBlack);
    FillSelection({{5.0f, 10.0f}});
    const int g = GetDpiFactor();
    const int r = kPlainMarkerRadius * g;
    DrawSelectionMarker(120, 160, 0, 5);
    EXPECT_GT(CountLit(120 - r - 1, 160 - r - 1, 120 + r + 2, 160 + r + 2), 4 * r);
    EXPECT_FALSE(Lit(120, 160));
    EXPECT_EQ(CountLit(0, 0, 240, 150 - r), 0);
    // Outside the list nothing is drawn.
    Clear();
    DrawSelectionMarker(120, 160, 1, 5);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
}

TEST_F(OverlayTest, MoonImageAndBodyPhaseDisc) {
    // Full Moon 2024 January 25: the disc is lit and the percent near 100.
    int percent = -1, seconds = -1, elongation = -1;
    DrawBodyPhaseDisc(1, 2024, 1, 25, 18, 0, 40, 40, 120, 160, &percent, &seconds, &elongation);
    EXPECT_GE(percent, 99);
    EXPECT_NEAR(seconds, 1900, 150);
    EXPECT_GT(CountLit(100, 140, 140, 180), 1000);
    // Venus keeps within 48 degrees of the Sun.
    DrawBodyPhaseDisc(3, 2024, 1, 25, 18, 0, 40, 40, 120, 160, &percent, &seconds, &elongation);
    EXPECT_GT(elongation, 5);
    EXPECT_LT(elongation, 48);
    Clear();
    moonBlock.ageIndex = 14;
    moonBlock.parallacticAngle = 30;
    DrawMoonOnChart(40, 40, 120, 160, 1, 1);
    EXPECT_GT(CountLit(100, 140, 140, 180), 600);
    EXPECT_EQ(CountLit(0, 0, 240, 130), 0);
    Clear();
    DrawMoonOnChart(0, 40, 120, 160, 1, 1);
    EXPECT_EQ(CountLit(0, 0, 240, 320), 0);
}

}  // namespace
