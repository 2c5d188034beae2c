// The yearly darkness chart and the Twilight form (2410) on the headless screen: the bands
// of a summer and a winter night at London and Tromso, a year or two across, time modes,
// a planet's moving curves, the date cursor by stylus and keys, the object from the caller,
// the planet list and the finder.
#include "settings/twilight_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "chart/chart_services.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/headless.h"
#include "platform/surface.h"
#include "shell/time_bar.h"
#include "settings/darkness_chart.h"
#include "shell/form_paint_step.h"
#include "shell/forms_fixture.h"
#include "support/golden_screen.h"
#include "support/observing_state.h"
#include "support/recorded_reports.h"

namespace {

using namespace twilight;

constexpr int kBackForm = 60201;

std::uint16_t Pixel(platform::Color c) { return platform::ColorToPixel(c) & 0x7FFF; }

class TwilightTest : public FormScreenFixture {
protected:
    void SetUp() override {
        options.start = platform::LocalTime{2024, 5, 17, 22, 0, 0, 0, 5};
        Configure();
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        UseTestSite(51.5074, 0.1278, 0);
        observerLocation.daylight = 0;
        darknessForm = DarknessFormState{};
        timeBar = TimeBarState{};
        ClearRecordedReports();
        platform::DialogLayout back;
        std::string error;
        ASSERT_TRUE(platform::ParseDialogLayout("dialog 60201\nrect 0 0 240 320\n", &back, &error)) << error;
        platform::RegisterDialogLayout(back);
        SetFormDialogProc(kBackForm, &StandInFormProc<kBackForm>);
        SetFormDialogProc(kFormId, &TwilightForm);
        StartWithMainWindow(&FormHostProc);
    }
    virtual void Configure() {}
    void TearDown() override {
        platform::headless::KeyUp(platform::kKeyRight);
        platform::headless::KeyUp(platform::kKeyDown);
        Stop();
        Call([] { FreeTimeBarBitmap(); });
        SetFormDialogProc(kFormId, nullptr);
        SetFormDialogProc(kBackForm, nullptr);
        FormScreenFixture::TearDown();
    }
    void Open() {
        Call([] { GotoForm(kBackForm); });
        ASSERT_TRUE(RunUntilIdle());
        Call([] { GotoForm(kFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kFormId);
    }
    // The chart drawn again for an object, as the form draws it.
    void Chart(double ra, double dec, int body, int year, int month, int mode) {
        Call([=] {
            DrawOnForm(formWindow, [=] { DrawYearDarknessChart("Test", 0, 0, ra, dec, body, year, month, mode); });
        });
        RunUntilIdle();
    }
    std::uint16_t PixelAt(int x, int y) {
        const platform::Surface* s = platform::WindowSurface(formWindow);
        const platform::Point o = platform::WindowOrigin(formWindow);
        return s->Row(y + o.y)[x + o.x] & 0x7FFF;
    }
    platform::Point Screen(int x, int y) {
        const platform::Point o = platform::WindowOrigin(formWindow);
        return platform::Point{x + o.x, y + o.y};
    }
    // The column of day index d and the y of an hour of the night (24 = midnight).
    static int Column(int d) {
        const DarknessChartGeometry g = GetDarknessChartGeometry();
        return g.x0 + static_cast<int>(d * g.pixelsPerDay);
    }
    static int Row(double hour) {
        const DarknessChartGeometry g = GetDarknessChartGeometry();
        return g.y0 + static_cast<int>(hour * g.pixelsPerHour);
    }
    // The rows of one column that have the colour.
    std::vector<int> RowsOf(int x, platform::Color c) {
        std::vector<int> rows;
        for (int y = 24; y < 298; ++y)
            if (PixelAt(x, y) == Pixel(c)) rows.push_back(y);
        return rows;
    }
    SavedObservingState saved;
};

const platform::Color kBackground = platform::Rgb(102, 102, 153);
const platform::Color kTwilight = platform::Rgb(0, 0, 102);
const platform::Color kNight = platform::Rgb(0, 0, 0);
const platform::Color kTransit = platform::Rgb(255, 0, 0);

TEST_F(TwilightTest, FromTheMenuWithNoObjectTheCurrentMonthShowsTheDarknessAlone) {
    Open();
    EXPECT_EQ(darknessForm.chartYear, 2024);
    EXPECT_EQ(darknessForm.chartMonth, 5);
    EXPECT_EQ(Text(kDate), "01/05/2024");
    EXPECT_LT(darknessForm.ra, 0.0f);
    EXPECT_EQ(DarknessChartDays(), 380);
    for (int x = 20; x < 240; x += 7) EXPECT_TRUE(RowsOf(x, kTransit).empty()) << x;
    // The pixels per day are the chart's; under the first column the cursor shows day 1.
    EXPECT_FLOAT_EQ(timeBar.pixelsPerDay, (240.0f - 8.0f) / 380.0f);
    Call([] { DrawOnForm(formWindow, [] { DrawDarknessGraph(20, 100); }); });
    EXPECT_EQ(Text(kDate), "01/05/2024");
    // A column holds more than one day; the cursor takes the nearest.
    Call([] { DrawOnForm(formWindow, [] { DrawDarknessGraph(20 + static_cast<int>(std::lround(31 * timeBar.pixelsPerDay)), 100); }); });
    EXPECT_EQ(Text(kDate), "01/06/2024");
}

TEST_F(TwilightTest, LondonHasNoAstronomicalNightAroundMidsummerButOneInWinter) {
    Open();
    Chart(-1, 0, -1, 2024, 1, kDarknessLocalTime);
    const int midnight = Row(24.5);  // 00:30, off the midnight hour line
    EXPECT_EQ(PixelAt(Column(172), midnight), Pixel(kTwilight)) << "21 June";
    EXPECT_EQ(PixelAt(Column(355), midnight), Pixel(kNight)) << "21 December";
    EXPECT_EQ(PixelAt(Column(10), midnight), Pixel(kNight)) << "11 January";
    // At 19:00 in January it is already night, in June still day.
    EXPECT_EQ(PixelAt(Column(10), Row(19.5)), Pixel(kNight));
    EXPECT_EQ(PixelAt(Column(172), Row(19.5)), Pixel(kBackground));
}

TEST_F(TwilightTest, TromsoKeepsTheSunUpAtMidsummer) {
    UseTestSite(69.6492, -18.9553, 60);
    Open();
    Chart(-1, 0, -1, 2024, 1, kDarknessLocalTime);
    EXPECT_EQ(PixelAt(Column(172), Row(24.5)), Pixel(kBackground)) << "no band at -1 degrees";
    EXPECT_EQ(PixelAt(Column(355), Row(24.5)), Pixel(kNight));
    // In the polar night the Sun stays below -1 degrees: the band runs from the chart's
    // 14:00 on, twilight (-6) with it, since the Sun only rises to -3 degrees at noon.
    EXPECT_EQ(PixelAt(Column(355), Row(14.5)), Pixel(kTwilight));
    EXPECT_EQ(PixelAt(Column(355), Row(13.5)), Pixel(kBackground));
}

TEST_F(TwilightTest, UniversalTimeGivesTheSameBandsWhateverTheZone) {
    Open();
    auto capture = [&] {
        std::vector<std::uint16_t> pixels;
        for (int y = 30; y < 290; y += 2)
            for (int x = 20; x < 240; x += 3) pixels.push_back(PixelAt(x, y));
        return pixels;
    };
    Chart(-1, 0, -1, 2024, 1, kDarknessUniversalTime);
    const auto zoneZero = capture();
    observerLocation.zoneMinutes = 120;
    Chart(-1, 0, -1, 2024, 1, kDarknessUniversalTime);
    EXPECT_EQ(capture(), zoneZero);
    Chart(-1, 0, -1, 2024, 1, kDarknessLocalTime);
    EXPECT_NE(capture(), zoneZero);
}

TEST_F(TwilightTest, VenusMovesDayByDayUnlikeAFixedPlace) {
    Open();
    Chart(0, 0, 3, 2024, 1, kDarknessLocalTime);
    std::vector<int> venus;
    for (int d : {0, 100, 200, 300}) {
        const auto rows = RowsOf(Column(d) + 1, kTransit);
        venus.push_back(rows.empty() ? -1 : rows.front());
    }
    // Venus, morning star in January, crosses the meridian by day in the summer: its
    // transit leaves the night chart, unlike a fixed place whose transit moves steadily.
    int shown = 0;
    for (int y : venus) shown += y >= 0;
    EXPECT_GE(shown, 1);
    EXPECT_LT(shown, 4);
    Chart(16.0, -20.0, -1, 2024, 1, kDarknessLocalTime);
    const auto fixed = RowsOf(Column(100) + 1, kTransit);
    ASSERT_FALSE(fixed.empty());
}

TEST_F(TwilightTest, ACometsDaysLeaveTheObservingDateAsItWas) {
    SetObservingDateTime(2024, 5, 17, 21, 45, 10);
    Open();
    Call([] {
        DrawOnForm(formWindow, [] { DrawYearDarknessChart("2P/Encke", kDarknessCometCatalog, 0, 3.0, 20.0, -1, 2024, 1, 0); });
    });
    RunUntilIdle();
    const ObservingDateTime& t = observingDateTime;
    EXPECT_EQ(t.year * 10000 + t.month * 100 + t.day, 20240517);
    EXPECT_EQ(t.hour * 3600 + t.minute * 60 + t.second, 21 * 3600 + 45 * 60 + 10);
    EXPECT_EQ(selectionCriteria.day, 17) << "the search criteria's copy too";
}

TEST_F(TwilightTest, AHeldNavigationKeyStopsTheDrawing) {
    Open();
    platform::headless::KeyDown(platform::kKeyDown);
    Chart(-1, 0, -1, 2024, 1, kDarknessLocalTime);
    EXPECT_EQ(PixelAt(Column(355), Row(24.5)), Pixel(kBackground));
    platform::headless::KeyUp(platform::kKeyDown);
}

TEST_F(TwilightTest, OpenDarknessFormTakesTheObjectAndMonth) {
    Call([] { GotoForm(kBackForm); });
    RunUntilIdle();
    Call([] { OpenDarknessForm("NGC 7000 North America", 42, 7000, 20.98, 44.3, -1, 2025, 3); });
    RunUntilIdle();
    ASSERT_EQ(GetCurrentFormId(), kFormId);
    EXPECT_STREQ(darknessForm.name, "NGC 7000 North");
    EXPECT_EQ(std::strlen(darknessForm.name), 14u);
    EXPECT_EQ(darknessForm.chartYear, 2025);
    EXPECT_EQ(darknessForm.chartMonth, 3);
    EXPECT_EQ(darknessForm.objectFlag, 1);
    EXPECT_FLOAT_EQ(darknessForm.ra, 20.98f);
    EXPECT_EQ(Text(kDate), "01/03/2025");
}

TEST_F(TwilightTest, ASmallPenMoveDrawsNoCursorUntilThePenIsLifted) {
    Open();
    const std::string first = Text(kDate);
    platform::headless::PenDown(Screen(120, 150));
    platform::headless::PenMove(Screen(122, 151));
    EXPECT_EQ(Text(kDate), first);
    platform::headless::PenUp(Screen(122, 151));
    EXPECT_NE(Text(kDate), first);
    // A drag beyond 3 pixels follows the pen.
    platform::headless::PenDown(Screen(60, 150));
    platform::headless::PenMove(Screen(80, 150));
    const std::string moved = Text(kDate);
    EXPECT_NE(moved, first);
    platform::headless::PenUp(Screen(80, 150));
    EXPECT_EQ(Text(kDate), moved);
}

TEST_F(TwilightTest, AHeldRightArrowStepsAPixelAtATimeToTheChartsEdge) {
    Open();
    Key(platform::kKeyRight);
    EXPECT_EQ(darknessForm.cursorX, 21);
    Key(platform::kKeyLeft);
    Key(platform::kKeyLeft);
    EXPECT_EQ(darknessForm.cursorX, 20) << "the step off the chart is undone";
    platform::headless::KeyDown(platform::kKeyRight);
    platform::headless::KeyUp(platform::kKeyRight);
    EXPECT_EQ(darknessForm.cursorX, 239);
}

TEST_F(TwilightTest, ThePlanetListAndTheFinderChooseTheObject) {
    Open();
    Pick(kPlanetPopup, kPlanetList, 1);
    EXPECT_STREQ(darknessForm.name, "Venus");
    EXPECT_EQ(darknessForm.bodyIndex, 3);
    EXPECT_GE(darknessForm.ra, 0.0f);

    // The finder is asked for with this form to come back to (it is not built here).
    Command(kPick);
    EXPECT_EQ(chartCentreRequest.returnFormId, kFormId);
    EXPECT_EQ(darknessForm.pickRequest, 1);
    // A Messier object chosen there becomes the form's object at the next first paint.
    ObjectRef m101;
    m101.catalog = kCatalogNgc;
    m101.number = 5457;
    m101.ra = 14.05f;
    m101.dec = 54.35f;
    Call([&] {
        SetObjectSelection(&m101, 101);
        objectSelection.kind = 5;
    });
    Open();
    EXPECT_STREQ(darknessForm.name, "M101, NGC5457");
    EXPECT_EQ(darknessForm.bodyIndex, -1);
    EXPECT_FLOAT_EQ(darknessForm.dec, 54.35f);
    EXPECT_EQ(darknessForm.pickRequest, 0);
}

TEST_F(TwilightTest, TheLondonChartFromJanuaryLooksAsItShould) {
    Call([] { GotoForm(kBackForm); });
    RunUntilIdle();
    Call([] { OpenDarknessForm("", 0, 0, -1.0, 0.0, -1, 2024, 1); });
    RunUntilIdle();
    ASSERT_EQ(GetCurrentFormId(), kFormId);
    // The date field is checked as a value above.
    ExpectScreenLike(std::filesystem::path(VELKARION_TEST_DATA) / "settings" / "darkness_london_2024-01_1x.png",
                     {platform::Rect{130, 298, 218, 320}});
}

class TwilightLandscapeTest : public TwilightTest {
protected:
    void Configure() override {
        options.width = 320;
        options.height = 240;
    }
};

TEST_F(TwilightLandscapeTest, AWideScreenShowsTwoYears) {
    Open();
    EXPECT_EQ(DarknessChartDays(), 720);
    EXPECT_FLOAT_EQ(timeBar.pixelsPerDay, (320.0f - 8.0f) / 720.0f);
}

}  // namespace
