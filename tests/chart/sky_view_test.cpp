// The sky views: what the chart's modes 2 to 4 and the embedded views draw where, the
// finder chart's matrix cache and restored settings, taps on the views, the status line
// and the view bitmaps.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/angle_text.h"
#include "chart/chart_fixture.h"
#include "chart/chart_form.h"
#include "chart/chart_tap.h"
#include "chart/chart_math.h"
#include "chart/chart_save_under.h"
#include "chart/sky_view.h"
#include "chart/sky_view_chart.h"
#include "chart/sky_view_internal.h"
#include "platform/gfx_context.h"
#include "platform/headless.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fonts.h"
#include "support/draw_target_window.h"
#include "support/golden_screen.h"
#include "support/recorded_reports.h"

namespace {

constexpr float kArcturusRa = 14.261f, kArcturusDec = 19.18f;
constexpr float kVegaRa = 18.6156f, kVegaDec = 38.78f;
constexpr float kSiriusRa = 6.752f, kSiriusDec = -16.72f;   // below the horizon at the test instant
constexpr float kSpicaRa = 13.42f, kSpicaDec = -11.16f;
constexpr int kArcturus = 0, kVega = 1, kSirius = 2;

const Bounds kView{0, 0, 240, 300};

class SkyViewTest : public ChartTest {
protected:
    void SetUp() override {
        ChartTest::SetUp();
        platform::ResetWindows();
        platform::SetScreenGeometry(1, 0, 0);
        InitScreenScale();
        CreateSchemeBrushes();
        OpenDrawTargetWindow(platform::Rect{0, 0, 240, 320}, window, dc);
        SetChartSetting(chartpref::constLines, 0);
        skyViewState = SkyViewState{};
        SetSkyViewOwner(0);   // no other form's view: no tracks
        LoadStars(Stars());
        ClearRecordedReports();
    }
    void TearDown() override {
        FreeSkyViewBitmaps();
        FreeChartBitmaps();
        CloseDrawTargetWindow(window, dc);
        platform::ResetWindows();
        DeleteSchemeBrushes();
        ChartTest::TearDown();
    }

    virtual std::vector<std::pair<float, float>> Stars() const {
        return {{kArcturusRa, kArcturusDec}, {kVegaRa, kVegaDec}, {kSiriusRa, kSiriusDec}};
    }
    // The sky matrix of the test instant for a chart mode.
    static void BuildSky(int mode) {
        SetChartSetting(chartpref::chartType, mode);
        UpdateSkyForDate(mode == kChartModeEquatorialSky ? 0 : 1, 2024, 5, 10, 22, 30, 0, 1);
    }
    // The view angles (degrees) that centre a place.
    static void CentreOn(float ra, float dec, float* first, float* second) {
        std::int32_t x = 0, y = 0, z = 0;
        ProjectToChart(HoursToFixedAngle(ra), DegreesToFixedAngle(dec), &x, &y, &z);
        *first = static_cast<float>(chartmath::WrapDegrees(std::atan2(double(x), double(y)) * chartmath::kRadToDeg));
        *second = static_cast<float>(std::asin(z * kUnitPerFixed) * chartmath::kRadToDeg);
    }
    static const StarRecord& Star(int n) { return BrightStars()[n]; }
    std::vector<platform::Color> Pixels(const Bounds& r) const {
        std::vector<platform::Color> out;
        for (int y = r.y; y < r.y + r.height; ++y)
            for (int x = r.x; x < r.x + r.width; ++x) out.push_back(platform::GetPixel(dc, x, y));
        return out;
    }

    platform::Window window;
    platform::Dc dc;
};

TEST_F(SkyViewTest, ChartModesDrawAroundTheirCentre) {
    for (int mode : {kChartModeWholeSky, kChartModeVisibleSky, kChartModeEquatorialSky}) {
        SCOPED_TRACE(mode);
        BuildSky(mode);
        float first = 0, second = 0;
        CentreOn(kArcturusRa, kArcturusDec, &first, &second);
        DrawSkyView(nullptr, 0, kView, nullptr, 5, first, second, 1);
        EXPECT_EQ(Star(kArcturus).word[starword::hidden], 0);
        EXPECT_NEAR(Star(kArcturus).word[starword::pixelX], 120, 1);
        EXPECT_NEAR(Star(kArcturus).word[starword::pixelY], 150, 1);
    }
}

TEST_F(SkyViewTest, VisibleSkyDropsWhatIsBelowTheHorizon) {
    for (int mode : {kChartModeWholeSky, kChartModeVisibleSky}) {
        BuildSky(mode);
        float first = 0, second = 0;
        CentreOn(kSiriusRa, kSiriusDec, &first, &second);
        ASSERT_LT(second, 0.0f);
        DrawSkyView(nullptr, 0, kView, nullptr, 5, first, second, 1);
        EXPECT_EQ(Star(kSirius).word[starword::hidden], mode == kChartModeVisibleSky ? 1 : 0) << mode;
    }
}

TEST_F(SkyViewTest, DragMovesTheCentreWithThePen) {
    for (int mode : {kChartModeWholeSky, kChartModeEquatorialSky}) {
        SCOPED_TRACE(mode);
        BuildSky(mode);
        float first = 0, second = 0;
        CentreOn(kArcturusRa, kArcturusDec, &first, &second);
        DrawSkyView(nullptr, 0, kView, nullptr, 5, first, second, 0);
        // The pen moves 25 pixels right and 15 down: the sky that lay under the point as
        // far up and left of the centre comes to the centre.
        std::int32_t ra = 0, dec = 0;
        ScreenToSky(skyViewState.view, 120 - 25, 150 - 15, &ra, &dec);
        float newFirst = 0, newSecond = 0;
        ASSERT_EQ(SkyViewPointToCentre(120 - 25, 150 - 15, &newFirst, &newSecond), 1);
        DrawSkyView(nullptr, 0, kView, nullptr, 5, newFirst, newSecond, 0);
        std::int32_t centreRa = 0, centreDec = 0;
        ScreenToSky(skyViewState.view, 120, 150, &centreRa, &centreDec);
        EXPECT_NEAR(centreRa, ra, 292817 / 10);
        EXPECT_NEAR(centreDec, dec, 292817 / 10);
        EXPECT_NEAR(Star(kArcturus).word[starword::pixelX], 145, 4);
        EXPECT_NEAR(Star(kArcturus).word[starword::pixelY], 165, 4);
    }
}

TEST_F(SkyViewTest, StatusLineGivesTheCentresPosition) {
    BuildSky(kChartModeWholeSky);
    float first = 0, second = 0;
    CentreOn(kVegaRa, kVegaDec, &first, &second);
    DrawSkyView(nullptr, 0, kView, nullptr, 5, first, second, 1);
    std::int32_t a = 0, b = 0;
    skyview::PointPosition(120, 150, &a, &b);
    char line1[skyview::kStatusLineSize], line2[skyview::kStatusLineSize];

    // Right ascension / 15 and declination by default.
    skyview::ComposeSkyViewStatus(nullptr, a, b, line1, line2);
    EXPECT_EQ(std::string(line1).substr(0, 15), "10/05/24 22:30 ");
    EXPECT_NE(std::string(line1).find("LST:13:"), std::string::npos) << line1;
    // The place of date: Vega's right ascension has grown by about half a minute since 2000.
    EXPECT_NEAR(a / 292818.0, kVegaRa + 0.009, 0.005);
    EXPECT_NEAR(b / 292817.66, kVegaDec, 0.05);
    char ra[24], dec[24];
    HmsFixToStr(ra, sizeof ra, a);
    DmsFixToStr(dec, sizeof dec, b);
    EXPECT_EQ(std::string(line2), std::string(ra) + "  " + dec + "     ");

    // Azimuth and altitude with "Alt/Az Grid": the altitude first.
    SetChartSetting(chartpref::altAzGrid, 1);
    skyview::PointPosition(120, 150, &a, &b);
    EXPECT_NEAR(b / 292817.66, second, 0.05);
    EXPECT_NEAR(chartmath::WrapDegrees(-a / 292817.66), first, 0.05);
    SelectionRecord record{};
    record.magnitude10 = 3;
    skyview::ComposeSkyViewStatus(&record, a, b, line1, line2);
    char alt[24], az[24];
    DmsFixToStr(alt, sizeof alt, b);
    DmsFixToStr(az, sizeof az, a);
    EXPECT_EQ(std::string(line2), std::string(alt) + "  " + az + "  0.3");
}

TEST_F(SkyViewTest, RecordsPassTheMagnitudeLimitUnlessAlone) {
    BuildSky(kChartModeWholeSky);
    SelectionRecord records[2]{};
    for (SelectionRecord& r : records) {
        r.rightAscension = kArcturusRa;
        r.declination = kArcturusDec;
        r.magnitude10 = 250;
    }
    ProjectObjects(records, 2);
    float first = 0, second = 0;
    CentreOn(kArcturusRa, kArcturusDec, &first, &second);
    DrawSkyView(records, 2, kView, nullptr, 5, first, second, 1);
    EXPECT_EQ(records[0].offChart, 1);
    records[1].cleared = 1;   // tapped: drawn whatever its magnitude
    DrawSkyView(records, 2, kView, nullptr, 5, first, second, 1);
    EXPECT_EQ(records[0].offChart, 1);
    EXPECT_EQ(records[1].offChart, 0);
    // One record is the object of a finder chart: drawn, and labelled at the centre.
    EXPECT_EQ(DrawSkyView(records, 1, kView, nullptr, 5, first, second, 1), -1);
    EXPECT_EQ(records[0].offChart, 0);
    EXPECT_NEAR(SelectionPixelX(records[0]), 120, 1);
}

TEST_F(SkyViewTest, FinderChartKeepsItsMatrixWithinTheMinuteAndRestoresSettings) {
    ObjectRef m13;
    m13.catalog = 40;
    m13.number = 13;
    m13.type = 16;
    m13.ra = 16.695f;
    m13.dec = 36.46f;
    m13.magnitude = 5.8f;
    std::snprintf(m13.name, sizeof m13.name, "M13");
    SetChartSetting(chartpref::chartType, kChartModeSkyMap);
    SetChartSetting(chartpref::hideInfoBar, 0);
    SetChartSetting(76, 5);
    const Preferences before = preferences;

    DrawFinderChart(m13, nullptr, kView, 7, 2024, 5, 10, 22, 30);
    EXPECT_EQ(std::memcmp(&before, &preferences, sizeof before), 0);
    EXPECT_EQ(skyCacheKey.horizonFlag, -1);   // the chart rebuilds for its own instant
    // The marked matrix survives a second drawing of the same minute, not of the next.
    chartMatrix.piMinusLst = 12345;
    DrawFinderChart(m13, "M 13", kView, 7, 2024, 5, 10, 22, 30);
    EXPECT_EQ(chartMatrix.piMinusLst, 12345);
    DrawFinderChart(m13, "M 13", kView, 7, 2024, 5, 10, 22, 31);
    EXPECT_NE(chartMatrix.piMinusLst, 12345);
    // A chart that rebuilt the matrix in between makes the finder rebuild it too.
    chartMatrix.piMinusLst = 12345;
    UpdateSkyForDate(1, 2024, 5, 10, 23, 0, 0, 0);
    chartMatrix.piMinusLst = 12345;
    DrawFinderChart(m13, "M 13", kView, 7, 2024, 5, 10, 22, 31);
    EXPECT_NE(chartMatrix.piMinusLst, 12345);
    EXPECT_EQ(std::memcmp(&before, &preferences, sizeof before), 0);
}

TEST_F(SkyViewTest, TapInfoWidensItsSearchTwiceThenGivesUp) {
    BuildSky(kChartModeWholeSky);
    SelectionRecord records[1]{};
    records[0].rightAscension = kSpicaRa;
    records[0].declination = kSpicaDec;
    std::snprintf(records[0].label, sizeof records[0].label, "Spica");
    ProjectObjects(records, 1);
    float first = 0, second = 0;
    CentreOn(kSpicaRa, kSpicaDec, &first, &second);
    BuildSky(kChartModeWholeSky);
    StarRecord* stars = BrightStars();
    for (int i = 0; i < GetStarTableCount(); ++i) stars[i].word[starword::hidden] = -1;   // no stars in the way
    DrawSkyView(records, 1, kView, nullptr, 5, first, second, 1);
    const int x = SelectionPixelX(records[0]), y = SelectionPixelY(records[0]);
    // Base radius 7 x dpi factor 2 = 14 pixels: the square of pass 3 reaches 42, of pass 5 70.
    EXPECT_EQ(ShowTapInfo(records, 1, kView, 5, x + 13, y), 0);
    EXPECT_EQ(ShowTapInfo(records, 1, kView, 5, x + 30, y - 30), 0);
    EXPECT_EQ(ShowTapInfo(records, 1, kView, 5, x - 60, y), 0);
    FreeSkyViewBitmaps();
    const Bounds around{x - 100, y - 40, 200, 80};
    const std::vector<platform::Color> before = Pixels(around);
    EXPECT_EQ(ShowTapInfo(records, 1, kView, 5, x + 75, y), -1);
    EXPECT_EQ(ShowTapInfo(records, 1, kView, 5, x, y + 71), -1);
    EXPECT_TRUE(Pixels(around) == before);
}

TEST_F(SkyViewTest, ChartTapFindsRecordObjectStarOrSky) {
    FillSelection({{kSpicaRa, kSpicaDec}, {kArcturusRa, kArcturusDec}});
    BuildSky(kChartModeWholeSky);
    ProjectObjects(selectionList.records, 2);
    chartZoom = 5;
    float first = 0, second = 0;
    CentreOn(kArcturusRa, kArcturusDec, &first, &second);
    DrawSkyView(selectionList.records, 2, kView, nullptr, 0, first, second, 1);
    const SelectionRecord& arcturus = selectionList.records[1];
    ASSERT_EQ(arcturus.offChart, 0);

    // A record.
    IdentifyStellarTap(SelectionPixelX(arcturus) + 3, SelectionPixelY(arcturus));
    EXPECT_EQ(selectionList.currentPosition, 1);
    EXPECT_EQ(chartViews[0].view.catalog, 42u);
    EXPECT_EQ(arcturus.cleared, 1);   // the record is marked tapped

    // An object of the chart's object buffer: current, but not added to the list.
    std::uint8_t* e = objectBuffer;
    le::PutI16(e, 0, -1);
    le::PutI16(e, 2, 29);
    le::PutU32(e, 4, 4665);
    le::PutI16(e, 8, 15);
    le::PutI16(e, 20, 30);
    le::PutI16(e, 22, 40);
    le::PutI16(e + 24, 0, kObjectBufferEnd);
    IdentifyStellarTap(32, 41);
    EXPECT_EQ(chartViews[0].view.catalog, 29u);
    EXPECT_EQ(chartViews[0].view.number, 4665u);
    EXPECT_EQ(selectionList.currentPosition, -1);
    EXPECT_EQ(selectionList.recordCount, 2);
    le::PutI16(objectBuffer, 0, kObjectBufferEnd);

    // A bright star (no bright-star name file: by its number).
    const StarRecord& vega = Star(kVega);
    ASSERT_EQ(vega.word[starword::hidden], 0);
    IdentifyStellarTap(vega.word[starword::pixelX] + 2, vega.word[starword::pixelY] - 2);
    EXPECT_EQ(chartViews[0].view.type, 30);
    EXPECT_EQ(chartViews[0].view.number, static_cast<std::uint32_t>(vega.StarNumber()));
    EXPECT_NEAR(chartViews[0].view.ra, kVegaRa, 1e-3);

    // Empty sky: the tap's own position; the distance mode writes how far it lies from Vega.
    chartTap.distanceMode = 1;
    IdentifyStellarTap(200, 60);
    chartTap.distanceMode = 0;
    EXPECT_NE(chartTap.distanceText[0], '\0');
    EXPECT_EQ(chartTap.cursorX, 200);
    EXPECT_EQ(chartViews[0].view.type, 0);
    EXPECT_EQ(chartViews[0].view.number, 0xFFFFFFFFu);
    std::int32_t ra = 0, dec = 0;
    ScreenToSky(skyViewState.view, 200, 60, &ra, &dec);
    EXPECT_NEAR(chartViews[0].view.dec, dec / 292817.66, 1e-3);
    // The cursor's save-under is made at the first tap; nothing is reported missing.
    for (const std::string& text : ReportTexts()) EXPECT_EQ(text.find("Null"), std::string::npos) << text;
}

TEST_F(SkyViewTest, ViewBitmapsGiveBackTheirPixelsAndAreFreed) {
    BuildSky(kChartModeWholeSky);
    DrawSkyView(nullptr, 0, kView, nullptr, 5, 180.0f, 30.0f, 1);
    const Bounds r{20, 30, 50, 40};
    const std::vector<platform::Color> before = Pixels(r);
    SaveRestoreSkyView(0, r);
    ASSERT_NE(skyViewState.bitmaps[0].get(), nullptr);
    SetForeColor(platform::Rgb(255, 255, 0));
    DrawRectangle(r, 0);
    ASSERT_FALSE(Pixels(r) == before);
    SaveRestoreSkyView(1, r);
    EXPECT_TRUE(Pixels(r) == before);
    FreeSkyViewBitmaps();
    for (const OffscreenPtr& b : skyViewState.bitmaps) EXPECT_EQ(b.get(), nullptr);
    SaveRestoreSkyView(1, r);   // nothing saved: nothing happens
}

// A view state replaced by a fresh one (as a form's reset does) deletes its bitmaps with it:
// dropped, each held a drawing context and a bitmap for the rest of the run.
TEST_F(SkyViewTest, AReplacedStateDeletesItsBitmaps) {
    BuildSky(kChartModeWholeSky);
    DrawSkyView(nullptr, 0, kView, nullptr, 5, 180.0f, 30.0f, 1);
    SaveRestoreSkyView(0, Bounds{20, 30, 50, 40});
    int held = 0;
    for (const OffscreenPtr& b : skyViewState.bitmaps) held += b != nullptr;
    ASSERT_GT(held, 0);
    const int dcs = platform::LiveDcCount(), objects = platform::LiveObjectCount();
    skyViewState = SkyViewState{};
    EXPECT_EQ(platform::LiveDcCount(), dcs - held);
    EXPECT_EQ(platform::LiveObjectCount(), objects - held);
}

TEST_F(SkyViewTest, RefreshRebuildsTheMatrixAndForgetsTheFinders) {
    BuildSky(kChartModeWholeSky);
    skyViewState.finderKeyValid = 1;
    chartMatrix.piMinusLst = 12345;
    RefreshSkyProjection();
    EXPECT_NE(chartMatrix.piMinusLst, 12345);
    EXPECT_EQ(skyViewState.finderKeyValid, 0);
}

TEST_F(SkyViewTest, ViewInItsOwnWindowIsCopiedToTheScreen) {
    BuildSky(kChartModeWholeSky);
    float first = 0, second = 0;
    CentreOn(kArcturusRa, kArcturusDec, &first, &second);
    DrawWindow* own = CreateOffscreen(120, 100);
    ASSERT_NE(own, nullptr);
    const Bounds at{100, 150, 120, 100};
    DrawSkyView(nullptr, 0, at, own, 5, first, second, 1);
    EXPECT_EQ(GetDrawWindow()->window, window);
    // Drawn at the window's origin, then shown at the rectangle.
    EXPECT_NEAR(Star(kArcturus).word[starword::pixelX], 60, 1);
    EXPECT_EQ(platform::GetPixel(dc, 101, 151), platform::GetPixel(own->dc, 1, 1));
    float a = 0, b = 0;
    ASSERT_EQ(SkyViewPointToCentre(160, 200, &a, &b), 1);
    EXPECT_NEAR(a, first, 0.05);
    EXPECT_NEAR(b, second, 0.05);
    DeleteOffscreen(own);
    EXPECT_EQ(DrawSkyView(nullptr, 0, kView, nullptr, 5, first, second, 1), -1);
}

TEST_F(SkyViewTest, ViewAroundATelescopePositionCentresItAndLeavesTheScreenTarget) {
    const ObservingDateTime savedTime = observingDateTime;
    observingDateTime = ObservingDateTime{2024, 5, 10, 22, 30, 0};
    chartState.starsProjected = chartState.selectionProjected = 1;
    DrawWindow* own = CreateOffscreen(120, 100);
    ASSERT_NE(own, nullptr);
    DrawSkyViewAroundPosition(own, Bounds{0, 0, 120, 100}, kArcturusRa, kArcturusDec, 5);
    EXPECT_EQ(GetDrawWindow()->window, window);
    // The telescope's place is of date and the star's of the catalogue: a few pixels apart.
    EXPECT_EQ(Star(kArcturus).word[starword::hidden], 0);
    EXPECT_NEAR(Star(kArcturus).word[starword::pixelX], 60, 6);
    EXPECT_NEAR(Star(kArcturus).word[starword::pixelY], 50, 6);
    // The chart projects its own stars and records again before it draws.
    EXPECT_EQ(chartState.starsProjected, 0);
    EXPECT_EQ(chartState.selectionProjected, 0);
    DeleteOffscreen(own);
    observingDateTime = savedTime;
}

}  // namespace

namespace {

TEST_F(SkyViewTest, ChartModesProjectOnceAndFollowTheDrag) {
    FillSelection({{kSpicaRa, kSpicaDec}, {kArcturusRa, kArcturusDec}});
    SetChartSetting(chartpref::chartType, kChartModeVisibleSky);
    chartState.chartRect = Bounds{0, 21, 240, 299};
    chartZoom = chartState.otherZoom = 5;
    BuildSky(kChartModeVisibleSky);
    float first = 0, second = 0;
    CentreOn(kArcturusRa, kArcturusDec, &first, &second);
    SetChartCentre(first, second);
    chartState.starsProjected = chartState.selectionProjected = 0;
    DrawChartSkyView();
    EXPECT_EQ(chartState.starsProjected, 1);
    EXPECT_EQ(chartState.selectionProjected, 1);
    const SelectionRecord& arcturus = selectionList.records[1];
    ASSERT_EQ(arcturus.offChart, 0);
    EXPECT_NEAR(SelectionPixelX(arcturus), 120, 1);
    EXPECT_NEAR(SelectionPixelY(arcturus), 21 + 149, 1);

    // Drawn again without a new matrix while the flags hold.
    chartMatrix.piMinusLst = 12345;
    DrawChartSkyView();
    EXPECT_EQ(chartMatrix.piMinusLst, 12345);
    // A finder chart in between: the chart takes its own matrix back.
    DrawFinderChart(ObjectRef{}, "X", kView, 5, 2024, 5, 10, 22, 30);
    DrawChartSkyView();
    EXPECT_EQ(skyCacheKey.horizonFlag, 1);
    EXPECT_EQ(skyCacheKey.minute, 30);

    // Dragging 20 pixels left moves the view centre and redraws; the chart form's pen
    // reaches the drag and the tap through its hooks.
    chartSkyModes = ChartSkyModes{&DrawChartSkyView, &TapChartSkyView, &DragChartSkyView};
    chartState.offscreen = CreateOffscreen(240, 320);
    ASSERT_EQ(ChartFormPenDown(120, 150), 1);
    ChartFormPenMove(110, 150);
    ChartFormPenMove(100, 150);
    float movedFirst = 0, movedSecond = 0;
    GetChartCentre(&movedFirst, &movedSecond, nullptr);
    EXPECT_GT(std::fabs(movedFirst - first), 1.0f);
    EXPECT_NEAR(SelectionPixelX(arcturus), 100, 3);
    ChartFormPenUp(100, 150);
    EXPECT_NEAR(SelectionPixelX(arcturus), 100, 3);
    ASSERT_EQ(ChartFormPenDown(SelectionPixelX(arcturus), SelectionPixelY(arcturus)), 1);
    EXPECT_EQ(ChartFormPenUp(SelectionPixelX(arcturus), SelectionPixelY(arcturus)), 1);
    EXPECT_EQ(selectionList.currentPosition, 1);
    chartSkyModes = ChartSkyModes{};
    DeleteOffscreen(chartState.offscreen);
    chartState.offscreen = nullptr;
}

}  // namespace

namespace {

// The "Whole Sky" chart at scale 1 for the test instant and site, looking south-east.
class SkyViewPictureTest : public SkyViewTest {
protected:
    void SetUp() override {
        platform::headless::Options options;
        platform::headless::Install(options);
        SkyViewTest::SetUp();
    }
    void TearDown() override {
        SkyViewTest::TearDown();
        platform::headless::Uninstall();
    }
    std::vector<std::pair<float, float>> Stars() const override {
        return {{kArcturusRa, kArcturusDec}, {kVegaRa, kVegaDec}, {kSiriusRa, kSiriusDec}, {kSpicaRa, kSpicaDec},
                {13.792f, 49.31f}, {12.257f, 57.03f}, {11.062f, 61.75f}, {16.49f, -26.43f}, {19.846f, 8.87f},
                {20.69f, 45.28f}, {15.578f, 26.71f}, {10.139f, 11.97f}};
    }
};

TEST_F(SkyViewPictureTest, WholeSkyLooksAsItShould) {
    FillSelection({{16.695f, 36.46f}, {13.198f, 18.17f}});
    std::snprintf(selectionList.records[0].label, sizeof selectionList.records[0].label, "M 13");
    SetChartSetting(chartpref::chartType, kChartModeWholeSky);
    chartState.chartRect = Bounds{0, 21, 240, 299};
    chartZoom = 1;
    SetChartCentre(-135.0f, 35.0f);
    chartState.starsProjected = chartState.selectionProjected = 0;
    DrawChartSkyView();
    platform::MarkScreenChanged();
    platform::PresentScreen();
    ExpectScreenLike(std::filesystem::path(VELKARION_TEST_DATA) / "chart" / "sky_view_whole_sky_1x.png");
}

}  // namespace
