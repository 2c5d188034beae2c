// The Day and Night form (2423) on the headless screen: the low-precision Sun against
// python3-ephem, the terminator at the equinox, drags and page keys that move the observing
// time, the rows of day lengths and twilights, the device clock, and the sky view of a
// large screen.
#include "settings/day_night_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/headless.h"
#include "platform/picture.h"
#include "platform/resources.h"
#include "platform/surface.h"
#include "shell/draw_targets.h"
#include "shell/forms_fixture.h"
#include "support/fixture_files.h"
#include "support/generated_maps.h"
#include "support/golden_screen.h"
#include "support/observing_state.h"

namespace {

using namespace day_night;

constexpr int kBackForm = 60201;

// Hours and minutes of a row's text ("...hh h mm m"), -1 for "--h--m".
double RowHours(const char* text) {
    const char* p = std::strpbrk(text, "0123456789-");
    if (!p || std::strncmp(p, "--", 2) == 0) return -1.0;
    int h = 0, m = 0;
    if (std::sscanf(p, "%dh%dm", &h, &m) != 2) return -2.0;
    return h + m / 60.0;
}

TEST(DayNightSun, DeclinationAndEquationOfTimeFollowTheReference) {
    const auto rows = ReadFixtureRows("settings/sun_low_precision.txt");
    ASSERT_EQ(rows.size(), 4u);
    for (const auto& r : rows) {
        const int year = static_cast<int>(r[0]), month = static_cast<int>(r[1]), day = static_cast<int>(r[2]);
        SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day));
        EXPECT_NEAR(GetSunLowPrecision(day, month, year, r[3]), r[4], 0.05);
        const double subsolar = GetSubsolarLongitude(day, month, year, r[3]);
        EXPECT_GT(subsolar, 0.0);
        EXPECT_LE(subsolar, 360.0);
        double difference = std::fmod(subsolar - r[6] + 540.0, 360.0) - 180.0;
        EXPECT_NEAR(difference * 4.0, 0.0, 0.2) << "minutes of time";
        // At 12:00 UT the longitude under the Sun is the equation of time itself.
        double equation = subsolar > 5.0 ? subsolar - 360.0 : subsolar;
        EXPECT_NEAR(equation * 4.0, r[5], 0.2);
    }
}

TEST(DayNightSun, TheTerminatorRunsPoleToPoleWithTheSunOnTheEquator) {
    const double k = std::numeric_limits<double>::infinity();
    for (int lon : {-89, -45, 0, 30, 89}) EXPECT_EQ(GetTerminatorLatitude(lon, k), -90) << lon;
    for (int lon : {-179, -91, 91, 150, 180}) EXPECT_EQ(GetTerminatorLatitude(lon, k), 90) << lon;
    // In June the pole leans to the Sun: day at the north pole all round.
    const double june = 1.0 / std::tan(23.0 * 3.14159265358979 / 180.0);
    EXPECT_EQ(GetTerminatorLatitude(0, june), -66);  // -66.99 + 0.5, truncated
    EXPECT_EQ(GetTerminatorLatitude(180, june), 67);
}

TEST(DayNightRows, LengthsAndTwilightsFollowTheReference) {
    SavedObservingState saved;
    const auto rows = ReadFixtureWords("settings/sun_rise_set.txt");
    ASSERT_EQ(rows.size(), 20u);
    for (std::size_t i = 0; i < rows.size(); i += 4) {
        const auto& day = rows[i];
        UseTestSite(std::stod(day[1]), std::stod(day[2]), std::stoi(day[3]));
        const int year = std::stoi(day[4]), month = std::stoi(day[5]), date = std::stoi(day[6]);
        SCOPED_TRACE(day[0] + " " + day[4] + "-" + day[5] + "-" + day[6]);
        DayNightRows text;
        ComputeDayNightRows(year, month, date, &text);
        if (day[8] == "up") {
            EXPECT_STREQ(text.dayLength, ": 24h00m");
            EXPECT_STREQ(text.lengthChange, "");
        } else if (day[8] == "down") {
            EXPECT_STREQ(text.dayLength, ": 00h00m");
            EXPECT_STREQ(text.nightLength, ": 24h00m");
            EXPECT_STREQ(text.lengthChange, "");
        } else {
            const double length = std::stod(day[10]) - std::stod(day[9]);
            EXPECT_NEAR(RowHours(text.dayLength), length, 1.5 / 60.0) << text.dayLength;
            EXPECT_NEAR(RowHours(text.nightLength), 24.0 - length, 1.5 / 60.0) << text.nightLength;
            EXPECT_NE(text.lengthChange[0], '\0');
        }
        for (int k = 0; k < 3; ++k) {
            const auto& twilight = rows[i + 1 + k];
            SCOPED_TRACE(twilight[7]);
            if (twilight[8] != "normal") {
                EXPECT_STREQ(text.rise[k], ": --h--m");
                EXPECT_STREQ(text.set[k], "--h--m");
                continue;
            }
            EXPECT_NEAR(RowHours(text.rise[k]), std::stod(twilight[9]), 1.0 / 60.0) << text.rise[k];
            EXPECT_NEAR(RowHours(text.set[k]), std::stod(twilight[10]), 1.0 / 60.0) << text.set[k];
        }
    }
}

namespace fs = std::filesystem;

class DayNightTest : public FormScreenFixture {
protected:
    void SetUp() override {
        resources = fs::temp_directory_path() / ("vk-day-night-" + std::to_string(::getpid()));
        fs::remove_all(resources);
        // The maps of one colour, so that the shading is seen whatever map the set-up made.
        const std::uint16_t green = platform::ColorToPixel(platform::Rgb(90, 160, 80));
        MakeResourcesWithMaps(resources, {green, green, green});
        if (const char* r = std::getenv("VELKARION_RESOURCES")) savedResources = r;
        ::setenv("VELKARION_RESOURCES", resources.c_str(), 1);
        options.start = platform::LocalTime{2024, 6, 21, 14, 25, 0, 0, 5};
        Configure();
        FormScreenFixture::SetUp();
        ClearPictureCache();
        if (HasFatalFailure()) return;
        UseTestSite(51.5074, 0.1278, 0);
        std::snprintf(observerLocation.name, sizeof observerLocation.name, "London");
        SetObservingDateTime(2024, 6, 21, 12, 0, 0);
        dayNight = DayNightState{};
        platform::DialogLayout back;
        std::string error;
        ASSERT_TRUE(platform::ParseDialogLayout("dialog 60201\nrect 0 0 240 320\n", &back, &error)) << error;
        platform::RegisterDialogLayout(back);
        SetFormDialogProc(kBackForm, &StandInFormProc<kBackForm>);
        SetFormDialogProc(kFormId, &DayNight);
        StartWithMainWindow(&FormHostProc);
    }
    virtual void Configure() {}
    void TearDown() override {
        platform::headless::KeyUp(platform::kKeyPageDown);
        Stop();
        Call([] {});
        CloseDayNightForm();
        SetFormDialogProc(kFormId, nullptr);
        SetFormDialogProc(kBackForm, nullptr);
        FormScreenFixture::TearDown();
        ClearPictureCache();
        if (savedResources.empty()) ::unsetenv("VELKARION_RESOURCES");
        else ::setenv("VELKARION_RESOURCES", savedResources.c_str(), 1);
        fs::remove_all(resources);
    }
    fs::path resources;
    std::string savedResources;
    void Open() {
        Call([] { GotoForm(kBackForm); });
        ASSERT_TRUE(RunUntilIdle());
        Call([] { GotoForm(kFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kFormId);
    }
    // Minutes from 2024-06-21 00:00 of the observing time.
    static long Minutes() {
        const ObservingDateTime& t = observingDateTime;
        return static_cast<long>(std::lround((DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, 0, 0) -
                                              DateTimeToJD(2024, 6, 21, 0, 0, 0, 0)) * 1440.0));
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
    SavedObservingState saved;
};

TEST_F(DayNightTest, OpensOnTheObservingTimeWithItsFields) {
    Open();
    EXPECT_EQ(Text(kSiteName), "London");
    EXPECT_EQ(Text(kTime), "12:00");
    EXPECT_EQ(Text(kUniversalTime), "12:00");
    EXPECT_EQ(Text(kZone), "+0");
    EXPECT_EQ(Text(kDate), "21/06/2024");
    EXPECT_EQ(Text(kSunDeclination), "23\xB0");
    EXPECT_EQ(Text(kLongitude).back(), 'W');
    EXPECT_EQ(Text(kLatitude).back(), 'N');
    // The fixture: -1.92 minutes.
    EXPECT_EQ(Text(kEquationOfTime).substr(0, 4), "-01m");
    EXPECT_EQ(dayNight.declination, 23);
}

TEST_F(DayNightTest, DragsMoveTheTimeAndTheDateAndADiagonalDoesNothing) {
    Open();
    const int y = 84;
    // Eleven pixels to the left add 55 minutes.
    Drag(Screen(150, y), Screen(139, y), 1, 50);
    EXPECT_EQ(Minutes(), 12 * 60 + 55);
    // Eleven to the right take them back.
    Drag(Screen(139, y), Screen(150, y), 1, 50);
    EXPECT_EQ(Minutes(), 12 * 60);
    // Down: five days later.
    Drag(Screen(100, 60), Screen(101, 80), 1, 50);
    EXPECT_EQ(observingDateTime.day, 26);
    Drag(Screen(100, 80), Screen(101, 60), 1, 50);
    EXPECT_EQ(observingDateTime.day, 21);
    // Neither motion twice the other: nothing.
    Drag(Screen(100, 60), Screen(110, 70), 1, 50);
    EXPECT_EQ(Minutes(), 12 * 60);
    // Below the map a drag is not the map's.
    Drag(Screen(150, 250), Screen(100, 250), 1, 50);
    EXPECT_EQ(Minutes(), 12 * 60);
}

TEST_F(DayNightTest, PageKeysStepADayAndRepeatWhileHeld) {
    Open();
    Key(platform::kKeyPageDown);
    EXPECT_EQ(observingDateTime.day, 22);
    Key(platform::kKeyPageUp);
    Key(platform::kKeyPageUp);
    EXPECT_EQ(observingDateTime.day, 20);
    EXPECT_EQ(dayNight.keyRepeat, 0);
    // Held, the key goes on stepping (a year at most per press).
    platform::headless::KeyDown(platform::kKeyPageDown);
    platform::headless::KeyUp(platform::kKeyPageDown);
    EXPECT_GT(Minutes(), 30L * 1440);
    EXPECT_EQ(observingDateTime.hour, 12);
}

TEST_F(DayNightTest, AtTheEquinoxTheNightSideReachesFromPoleToPole) {
    SetObservingDateTime(2024, 3, 20, 12, 0, 0);
    Open();
    ASSERT_EQ(dayNight.declination, 0);
    // The Sun stands near the Greenwich meridian, the map's middle (x 120). The night side
    // begins 90 degrees away (60 pixels at 2/3 pixel a degree).
    const int top = 24, bottom = 24 + 119;
    for (int x : {30, 70, 120, 170, 210}) {
        EXPECT_EQ(PixelAt(x, top + 2), PixelAt(x, bottom - 2)) << "day column " << x;
    }
    const std::uint16_t day = PixelAt(120, top + 2);
    for (int x : {5, 50, 190, 235}) {
        EXPECT_NE(PixelAt(x, top + 2), day) << x;
        EXPECT_EQ(PixelAt(x, top + 2), PixelAt(x, bottom - 3)) << "night column " << x;
    }
}

TEST_F(DayNightTest, NowTakesTheDeviceClockAndTheTimeStaysAfterClosing) {
    Open();
    Command(kNow);
    EXPECT_EQ(observingDateTime.hour, 14);
    EXPECT_EQ(observingDateTime.minute, 25);
    EXPECT_EQ(Text(kTime), "14:25");
    EXPECT_EQ(selectionCriteria.minute, 25) << "the search criteria follow";
    Key(platform::kKeyPageDown);
    Command(kOk);
    EXPECT_EQ(GetCurrentFormId(), kBackForm);
    EXPECT_EQ(observingDateTime.day, 22);
    EXPECT_EQ(observingDateTime.hour, 14);
}

TEST_F(DayNightTest, TheMapOfTheJuneSolsticeLooksAsItShould) {
    Open();
    RunUntilIdle();
    // The site, the times and the rows of day lengths are checked as values above.
    ExpectScreenLike(fs::path(VELKARION_TEST_DATA) / "settings" / "day_night_2024-06-21_1x.png",
                     {platform::Rect{0, 145, 240, 298}});
}

class DayNightLargeScreenTest : public DayNightTest {
protected:
    void Configure() override {
        options.width = 240;
        options.height = 480;
    }
};

TEST_F(DayNightLargeScreenTest, TheSkyViewAroundTheSunAppearsAndTheDisplayWordsComeBack) {
    std::int32_t* w = preferences.word;
    const int words[] = {pref::chartMode, pref::skyViewScrollFlip, pref::chartFlip + 2, pref::objDrilldown,
                         pref::hideInfoBar, pref::hideCompass};
    const std::int32_t before[] = {0, 1, 1, 1, 0, 0};
    for (int i = 0; i < 6; ++i) w[words[i]] = before[i];
    Open();
    ASSERT_NE(dayNight.skyView, nullptr);
    const Bounds area = dayNight.skyViewArea;
    EXPECT_GT(area.height, 100);
    EXPECT_EQ(area.width, 240);
    // The view is drawn: its pixels are not one colour.
    const std::uint16_t first = PixelAt(area.x + 5, area.y + 5);
    bool varied = false;
    for (int y = area.y; y < area.y + area.height && !varied; y += 3)
        for (int x = area.x; x < area.x + area.width; x += 3)
            if (PixelAt(x, y) != first) {
                varied = true;
                break;
            }
    EXPECT_TRUE(varied);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(w[words[i]], before[i]) << "word " << words[i];
}

}  // namespace
