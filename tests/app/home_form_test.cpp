#include "app/home_form.h"

#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "shell/date_time_form.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/selection_list.h"
#include "objects/objects_services.h"
#include "planets/planet_view_form.h"
#include "planets/planet_view_state.h"
#include "platform/dialog.h"
#include "platform/picture.h"
#include "platform/resources.h"
#include "platform/system_colors.h"
#include "shell/colour_scheme.h"
#include "scope/two_star_alignment.h"
#include "shell/form_dispatcher.h"
#include "shell/form_dispatcher_internal.h"
#include "support/golden_screen.h"
#include "shell/list_views.h"
#include "app/home_form_internal.h"
#include "app/main_window.h"
#include "core/settings.h"
#include "app/startup_data.h"
#include "shell/utilities.h"
#include "support/headless_fixture.h"
#include "theories/moon_illumination.h"

namespace fs = std::filesystem;
using platform::Window;
using namespace home_form;

namespace {

// ---- The status panel's arithmetic -----------------------------------------------------------

TEST(HomeStatusRows, UtClockMarksTheDayItFallsOn) {
    struct Case {
        int year, month, day, hour, minute, zone;
        const char* expected;
    };
    const Case cases[] = {
        {2024, 3, 20, 23, 30, -120, ": 01h30 >"},  // west of Greenwich, late evening: UT is tomorrow
        {2024, 1, 31, 23, 30, -120, ": 01h30 >"},  // ... also across the end of a month
        {2023, 12, 31, 23, 30, -120, ": 01h30 >"}, // ... and of a year
        {2024, 3, 1, 0, 30, 60, ": 23h30 <"},      // east of Greenwich after midnight: UT is yesterday
        {2024, 3, 20, 12, 5, 60, ": 11h05"},       // the same day: no mark
        {2024, 3, 20, 12, 5, 0, ": 12h05"},
    };
    for (const Case& c : cases) {
        char text[32];
        FormatUtClock(text, c.year, c.month, c.day, c.hour, c.minute, c.zone);
        EXPECT_STREQ(text, c.expected) << c.year << "-" << c.month << "-" << c.day << " zone " << c.zone;
    }
}

TEST(HomeStatusRows, MoonIconFollowsFractionAndDirection) {
    struct Case {
        double fraction;
        bool waxing;
        int icon;
    };
    const Case cases[] = {
        {0.5, true, 6054},   {0.5, false, 6059},   {0.997, true, 6064}, {0.997, false, 6064},
        {0.003, true, 6065}, {0.003, false, 6065}, {0.004, true, 6051}, {0.004, false, 6062},
        {0.996, true, 6056}, {0.996, false, 6057}, {0.17, true, 6052},  {0.17, false, 6061},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MoonPhaseIcon(c.fraction, c.waxing), c.icon) << c.fraction << (c.waxing ? " waxing" : " waning");
}

TEST(HomeStatusRows, NightRowShowsDashesWhenTheSkyNeverGetsDark) {
    struct Case {
        double night;
        const char* expected;
    };
    const Case cases[] = {
        {21.75, ": 21h45"}, {0.5, ": 00h30"}, {23.98, ": 23h58"}, {23.99, ":  -----"}, {24.5, ":  -----"},
        {0.0, ":  -----"},    // the Sun never climbs to -18 degrees: dark all day
        {-0.25, ": 23h45"},   // taken modulo 24
    };
    for (const Case& c : cases) {
        char text[32];
        FormatNightRow(text, c.night);
        EXPECT_STREQ(text, c.expected) << c.night;
    }
}

TEST(HomeStatusRows, SunRowsShowNoTimeForAnEventThatDoesNotHappen) {
    struct Case {
        double hours;
        bool allDay;
        const char* expected;
    };
    const Case cases[] = {
        {6.5, false, ": 06h30"}, {0.0, false, ": 00h00"}, {23.999, false, ": 23h59"},
        {0.0, true, ":  -----"},     // polar night: the zeros of "never rises"
        {23.99, true, ":  -----"},   // midnight Sun: the 23.99 of "never sets"
        {-0.3, false, ":  -----"},   // on the day before
        {24.0, false, ":  -----"},   // on the day after
    };
    for (const Case& c : cases) {
        char text[32];
        FormatSunEventRow(text, c.hours, c.allDay);
        EXPECT_STREQ(text, c.expected) << c.hours << (c.allDay ? " all day" : "");
    }
}

TEST(HomeStatusRows, MoonRiseOnThePreviousDayComesBelowTheSet) {
    struct Case {
        double rise, set;
        bool setFirst;
        const char* rise_text;
        const char* set_text;
    };
    const Case cases[] = {
        {6.5, 18.25, false, ": 06h30", ": 18h15"},
        {-0.5, 11.0, true, ": 23h30", ": 11h00"},   // risen yesterday: shown 24 h later, under the set
        {24.5, 13.0, false, ": 00h30", ": 13h00"},  // a rise after midnight of the next day
        {10.0, -1.0, false, ": 10h00", ": 23h00"},
        {0.0, 12.0, false, ": None", ": 12h00"},    // no rise on the date
        {8.0, 24.25, false, ": 08h00", ": None"},   // no set on the date
        {8.0, 24.0, false, ": 08h00", ": None"},    // ... nor at the next midnight
        {24.0, 6.0, false, ": None", ": 06h00"},
    };
    for (const Case& c : cases) {
        const MoonRows rows = ArrangeMoonRows(c.rise, c.set, false);
        EXPECT_EQ(rows.setFirst, c.setFirst) << c.rise;
        EXPECT_STREQ(rows.rise, c.rise_text) << c.rise;
        EXPECT_STREQ(rows.set, c.set_text) << c.rise;
    }
    // Below or above the horizon all day: neither row has a time.
    for (const double set : {0.0, kNeverSetsHour}) {
        const MoonRows rows = ArrangeMoonRows(0.0, set, true);
        EXPECT_STREQ(rows.rise, ": None");
        EXPECT_STREQ(rows.set, ": None");
    }
}

TEST(HomeStatusRows, PhaseCountsUpToTheNextPercent) {
    struct Case {
        double fraction;
        const char* expected;
    };
    const Case cases[] = {
        {0.003, ": 1%"}, {0.0, ": 1%"}, {0.494, ": 50%"}, {0.4949, ": 50%"}, {0.505, ": 51%"},
        {0.995, ": 100%"}, {0.9999, ": 100%"}, {1.0, ": 100%"},  // never past full
    };
    for (const Case& c : cases) {
        char text[40];
        FormatPhaseRow(text, c.fraction);
        EXPECT_STREQ(text, c.expected) << c.fraction;
    }
}

TEST(HomeStatusRows, CategoryTexts) {
    EXPECT_STREQ(HomeCategoryText(3, 0), "visible Galaxies.");
    EXPECT_STREQ(HomeCategoryText(0, 63), "visible personnal objects.");
    EXPECT_STREQ(HomeCategoryText(0, 0), "all visible objects.");
    EXPECT_STREQ(HomeCategoryText(7, 45), "visible Planets.");
    EXPECT_STREQ(HomeCategoryText(5, 0), "");
}

// ---- The form in the running program ----------------------------------------------------------

const char kInfoHeading[] =
    "\x95 The Information button will give you help on each page.\n"
    "\x95 To go back from on page, press the title.\n"
    "\x95 To change the dates or hours, please click on the clock icon or on the fields that contain dates or hours.";
const char kInfoDetail[] = "\x95 First set your location. Then try other Wizard icons.";

class HomeFormTest : public HeadlessFixture {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vkhome-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        runtime = pattern;
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        options.start = platform::LocalTime{2024, 3, 20, 21, 30, 0, 0, 3};
        ConfigureScreen();
        HeadlessFixture::SetUp();
        ASSERT_TRUE(platform::LoadResources());
        platform::ResetSystemColors();
        SetFormDialogProc(kHomeFormId, &HomeForm);
        SetFormDialogProc(kDateTimeFormId, &DateTime);
        homeAlignmentOffer = 1;
        ResetLastAlignmentOffer();
        platform::ClearShownBoxes();
        // The picker's UT choice outlives its forms (the PlanetAssistant sets it): local time.
        ShowDateInLocalTime();
    }
    void TearDown() override {
        HeadlessFixture::TearDown();
        SetFormDialogProc(kHomeFormId, nullptr);
        SetFormDialogProc(kDateTimeFormId, nullptr);
        for (int form : standIns) SetFormDialogProc(form, nullptr);
        platform::ResetSystemColors();
        platform::ClearResources();
        ::unsetenv("XDG_RUNTIME_DIR");
        std::error_code ec;
        fs::remove_all(runtime, ec);
    }
    virtual void ConfigureScreen() { options.scale = 1; }

    // Most forms the home form opens are not built yet, and the home form stays when one is
    // asked for: stand-ins take their place, so that the current form id tells which form a
    // tap asked for.
    static platform::LResult StandInForm(Window w, unsigned message, platform::WParam wParam, platform::LParam) {
        if (message == platform::kMsgInitDialog) {
            formWindow = w;
            return 1;
        }
        if (message == platform::kMsgCommand && platform::LowWord(wParam) == kCmdCloseForm) {
            CloseForm(0);
            return 1;
        }
        return 0;
    }
    void StandIn(std::initializer_list<int> forms) {
        for (int form : forms) {
            if (GetFormDialogProc(form)) continue;
            SetFormDialogProc(form, &StandInForm);
            standIns.push_back(form);
        }
    }
    std::vector<int> standIns;

    void StartVelkarion() {
        Start([] { return RunVelkarion(); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_TRUE(platform::IsWindow(mainWindow));
    }

    // A site east of Greenwich, and the home form shown for it, as after the site form.
    void ShowHomeAt(double latitude, double longitudeWest, int zone, const char* name = "Lyon") {
        Call([=] {
            std::memset(observerLocation.name, 0, sizeof observerLocation.name);
            std::memcpy(observerLocation.name, name, std::min(std::strlen(name), sizeof observerLocation.name));
            observerLocation.latitude = static_cast<float>(latitude);
            observerLocation.longitude = static_cast<float>(longitudeWest);
            observerLocation.sinLatitude = static_cast<float>(std::sin(latitude * M_PI / 180));
            observerLocation.cosLatitude = static_cast<float>(std::cos(latitude * M_PI / 180));
            observerLocation.zoneMinutes = static_cast<std::int16_t>(zone);
            GotoForm(kHomeFormId);
        });
        ASSERT_TRUE(platform::IsWindow(formWindow));
        ASSERT_EQ(GetCurrentFormId(), kHomeFormId);
    }
    void ShowHome() { ShowHomeAt(45.75, -4.85, 60); }

    static Window Item(int id) { return platform::GetDialogItem(formWindow, static_cast<std::uint16_t>(id)); }
    std::vector<std::string> TextsFrom(std::size_t first) const {
        std::vector<std::string> out;
        for (std::size_t i = first; i < Boxes().size(); ++i) out.push_back(Boxes()[i].text);
        return out;
    }
    static int CountText(const std::vector<std::string>& texts, const std::string& t) {
        int n = 0;
        for (const std::string& s : texts) n += s == t;
        return n;
    }

    fs::path runtime;
};

TEST_F(HomeFormTest, EveryStartShowsTheInformationThenAsksForTheSite) {
    StartVelkarion();
    const std::vector<std::string> texts = TextsFrom(0);
    const std::string info = std::string(kInfoHeading) + "\n" + kInfoDetail;
    ASSERT_EQ(CountText(texts, info), 1);
    // The site form comes after the information, and the home form gave way to it.
    EXPECT_EQ(CountText(texts, "Unkown form call\n"), 0);
    EXPECT_EQ(GetCurrentFormId(), 1200);
    EXPECT_TRUE(platform::IsWindow(formWindow));
    EXPECT_EQ(noSiteFlag, 0);

    // Coming back to the home form does not ask again.
    const std::size_t before = Boxes().size();
    ShowHome();
    EXPECT_EQ(CountText(TextsFrom(before), info), 0);
    EXPECT_EQ(Stop(), 0);
}

TEST_F(HomeFormTest, AlignmentIsOfferedOnceWhenTheLastOneIsRecent) {
    StartVelkarion();
    // The first paint used the offer (the defaults hold no saved alignment, so nothing was
    // asked).
    EXPECT_EQ(homeAlignmentOffer, 0);
    // As at a start with an alignment made two hours ago: offered at the first paint only.
    Call([] {
        const ObservingDateTime& t = observingDateTime;
        SetPreferenceDouble(pref::savedAlignment,
                            DateTimeToJD(t.year, t.month, t.day, t.hour, t.minute, 0, observerLocation.zoneMinutes) -
                                2.0 / 24);
        homeAlignmentOffer = 1;
        ResetLastAlignmentOffer();
    });
    ShowHome();
    ShowHome();
    Call([] { platform::InvalidateAllWindows(); });
    int asked = 0;
    for (const platform::ShownBox& b : Boxes())
        asked += b.text.rfind("Would you want to restore your last alignment?", 0) == 0;
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(Stop(), 0);
}

TEST_F(HomeFormTest, TimerFollowsTheDeviceClockUnlessTheTimeIsFixed) {
    StartVelkarion();
    ShowHome();
    EXPECT_EQ(observingDateTime.minute, 30);
    Advance(kHomeTimerPeriodMs - 1000);
    EXPECT_EQ(observingDateTime.minute, 30);
    Advance(1000);
    EXPECT_EQ(observingDateTime.hour, 21);
    EXPECT_EQ(observingDateTime.minute, 35);

    Call([] {
        preferences.word[pref::timeUpdateMode] = 1;
        SetObservingDateTime(2000, 1, 1, 12, 0, 0);
    });
    Advance(kHomeTimerPeriodMs);
    EXPECT_EQ(observingDateTime.year, 2000);
    EXPECT_EQ(observingDateTime.hour, 12);
    EXPECT_EQ(observingDateTime.minute, 0);
    EXPECT_EQ(Stop(), 0);
}

TEST_F(HomeFormTest, ButtonsOpenTheirForms) {
    StandIn({2450, 2460, 6000, 2700, 2800, 2550, 112, 2350, 1800, 2600});
    StartVelkarion();
    ShowHome();
    struct Case {
        int button;
        int form;
    };
    const Case cases[] = {
        {kPlanets, 2450}, {kJupiter, 2460},  {kSaturn, 2460},    {kMars, 2460},       {kMoon, 6000},
        {kEclipse, 2700}, {kSatellite, 2800}, {kComet, 2550},    {kFind, 112},        {kLoad, 2350},
        {kNightTripper, 1800}, {kObserverLog, 2600},
    };
    for (const Case& c : cases) {
        ShowHome();
        TapWindow(Item(c.button));
        EXPECT_EQ(GetCurrentFormId(), c.form) << "button " << c.button;
    }
    EXPECT_EQ(Stop(), 0);
}

// The Jupiter button opens form 2460 itself on Jupiter's satellites, whatever assistant
// the form showed last.
TEST_F(HomeFormTest, JupiterButtonOpensTheJupiterSatellites) {
    const PlanetViewState saved = planetView;
    planetView.mode = kSaturnMode;
    planetView.subView = 2;
    StartVelkarion();
    ShowHome();
    TapWindow(Item(kJupiter));
    EXPECT_EQ(GetCurrentFormId(), planet_view_form::kFormId);
    EXPECT_EQ(planetView.mode, kJupiterMode);
    EXPECT_EQ(planetView.subView, 0);
    EXPECT_STREQ(planetView.title, "JupiterAssistant");
    // The satellite strip was drawn, with its span and zoom controls.
    EXPECT_GT(planetView.stripHeight, 0);
    EXPECT_TRUE(platform::IsWindowVisible(Item(planet_view_form::kZoom)));
    EXPECT_EQ(Stop(), 0);
    planetView = saved;
}

TEST_F(HomeFormTest, PopupRowsOpenTheirForms) {
    StandIn({2410, 2830, 2423, 2200, 2400, 1300, 2100, 2470, 5300, 1550, 1400, 1200});
    StartVelkarion();
    struct Case {
        int trigger, list, row, form;
    };
    const Case cases[] = {
        {kToolsPopup, kToolsList, 1, 2410},    {kToolsPopup, kToolsList, 2, 2830},
        {kToolsPopup, kToolsList, 3, 2423},    {kToolsPopup, kToolsList, 4, 2200},
        {kScopePopup, kScopeList, 0, 2400},    {kScopePopup, kScopeList, 1, 1300},
        {kScopePopup, kScopeList, 2, 2100},    {kScopePopup, kScopeList, 3, 2470},
        {kScopePopup, kScopeList, 4, 5300},    {kScopePopup, kScopeList, 5, 1550},
        {kSettingsPopup, kSettingsList, 0, 1400}, {kSettingsPopup, kSettingsList, 1, 1200},
    };
    for (const Case& c : cases) {
        ShowHome();
        // Open the list with the stylus and tap the row, as a user does.
        TapWindow(Item(c.trigger));
        const Window list = Item(c.list);
        ASSERT_TRUE(platform::IsWindowVisible(list)) << "list " << c.list;
        platform::Rect row{};
        Call([&] { platform::SendMessage(list, platform::kMsgListGetItemRect, c.row, reinterpret_cast<platform::LParam>(&row)); });
        const platform::Point middle = platform::ClientToScreen(list, {(row.left + row.right) / 2, (row.top + row.bottom) / 2});
        Tap(middle);
        EXPECT_EQ(GetCurrentFormId(), c.form) << "list " << c.list << " row " << c.row;
    }
    EXPECT_EQ(Stop(), 0);
}

TEST_F(HomeFormTest, QuitRowAndTitleEndTheProgram) {
    for (int way = 0; way < 2; ++way) {
        StartVelkarion();
        ShowHome();
        if (way == 0) {
            Call([] {
                SetListSelection(kToolsList, 5);
                platform::PostMessage(formWindow, platform::kMsgCommand, platform::MakeLong(kToolsPopup, kToolsList), 0);
            });
        } else {
            TapWindow(Item(kTitle));
        }
        RunUntilIdle();
        EXPECT_FALSE(platform::headless::ProgramRunning()) << (way == 0 ? "Quit row" : "title");
        EXPECT_EQ(Stop(), 0);
        Reinstall();
    }
}

TEST_F(HomeFormTest, SearchesNeedASiteAndThenOpenTheChart) {
    StandIn({1900});
    StartVelkarion();
    // The chart runs a search of its own on an empty list, which would hide the home
    // form's: a stand-in opens in its place for this test.
    const platform::DialogProc chart = SetFormDialogProc(1900, &StandInForm);
    ShowHomeAt(0.0, 0.0, 0, "");
    std::size_t before = Boxes().size();
    // A search writes its kind, type and class into the criteria: a value no button asks
    // for shows that none ran.
    Call([] { selectionCriteria.searchKind = -7; });
    TapWindow(Item(kGalaxy));
    EXPECT_EQ(TextsFrom(before), std::vector<std::string>{"Please set your location first!\n"});
    EXPECT_EQ(GetCurrentFormId(), kHomeFormId);
    EXPECT_EQ(selectionCriteria.searchKind, -7);

    struct Case {
        int button, typeClass, kind, type;
    };
    const Case cases[] = {
        {kPlanetSearch, 7, 45, 27}, {kGalaxy, 3, 0, 0},  {kNebula, 4, 0, 0},   {kCluster, 1, 0, 2},
        {kOpenCluster, 1, 0, 6},    {kPersonal, 0, 63, 0}, {kSky, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ShowHome();
        Call([] {
            selectionList.recordCount = 0;
            selectionCriteria.searchKind = -7;
        });
        TapWindow(Item(c.button));
        EXPECT_EQ(GetCurrentFormId(), 1900) << "button " << c.button;
        EXPECT_EQ(selectionCriteria.typeClass, c.typeClass);
        EXPECT_EQ(selectionCriteria.searchKind, c.kind);
        EXPECT_EQ(selectionCriteria.objectType, c.type);
    }
    // With a list already made, Sky goes straight to the chart without a new search.
    ShowHome();
    Call([] {
        selectionList.recordCount = 3;
        selectionCriteria.searchKind = -7;
    });
    TapWindow(Item(kSky));
    EXPECT_EQ(GetCurrentFormId(), 1900);
    EXPECT_EQ(selectionCriteria.searchKind, -7);
    Call([] { selectionList.recordCount = 0; });
    EXPECT_EQ(Stop(), 0);
    SetFormDialogProc(1900, chart);
}

TEST_F(HomeFormTest, InfoButtonShowsTheHelpAgain) {
    StartVelkarion();
    ShowHome();
    const std::size_t before = Boxes().size();
    TapWindow(Item(kInfo));
    EXPECT_EQ(TextsFrom(before), std::vector<std::string>{std::string(kInfoHeading) + "\n" + kInfoDetail});
    EXPECT_EQ(GetCurrentFormId(), kHomeFormId);
    EXPECT_EQ(Stop(), 0);
}

TEST_F(HomeFormTest, ClockButtonSetsTheObservingTimeThroughThePicker) {
    StartVelkarion();
    ShowHome();
    TapWindow(Item(kClock));
    ASSERT_EQ(platform::ModalStack().size(), 1u);
    const Window picker = platform::ModalStack().back();
    // 9 in the morning from the hours list, 15 minutes from the minutes list, then Ok.
    Call([picker] {
        SetListSelection(date_form::kHoursAm, 9);
        platform::SendMessage(picker, platform::kMsgCommand, date_form::kHoursAm, 0);
        SetListSelection(date_form::kMinutes, 3);
        platform::SendMessage(picker, platform::kMsgCommand, date_form::kMinutes, 0);
    });
    TapWindow(platform::GetDialogItem(picker, date_form::kOk));
    EXPECT_TRUE(platform::ModalStack().empty());
    EXPECT_EQ(observingDateTime.hour, 9);
    EXPECT_EQ(observingDateTime.minute, 15);
    EXPECT_EQ(observingDateTime.second, 0);
    EXPECT_EQ(preferences.word[pref::timeUpdateMode], 1);
    EXPECT_EQ(GetCurrentFormId(), kHomeFormId);
    EXPECT_TRUE(platform::IsWindowVisible(formWindow));
    EXPECT_EQ(Stop(), 0);
}

TEST_F(HomeFormTest, QuitWhileThePickerIsOpenEndsCleanly) {
    StartVelkarion();
    ShowHome();
    TapWindow(Item(kClock));
    ASSERT_EQ(platform::ModalStack().size(), 1u);
    const std::size_t before = Boxes().size();
    Call([] { platform::PostMessage(mainWindow, platform::kMsgCommand, 1035, 0); });
    RunUntilIdle();
    EXPECT_FALSE(platform::headless::ProgramRunning());
    // No control of the picker was left behind to be reported.
    EXPECT_TRUE(TextsFrom(before).empty());
    EXPECT_EQ(Stop(), 0);
}

// ---- What the panel computed -------------------------------------------------------------------

// Decimal hours of a row value such as ": 06h43"; -1 for anything else.
double ShownHours(const char* value) {
    int hours = 0, minutes = 0;
    char end = 0;
    if (std::sscanf(value, ": %2dh%2d%c", &hours, &minutes, &end) != 2) return -1.0;
    return hours + minutes / 60.0;
}

// The rows computed from the site and the moment are those of the site and moment shown. The
// golden pictures leave these rows out, so a computation that moves within its tolerance
// redraws nothing, while the form asking for the wrong date, site or row fails here.
TEST_F(HomeFormTest, PanelShowsTheSkyOfItsSiteAndMoment) {
    StartVelkarion();
    ShowHome();  // Lyon, 20 March 2024 at 21h30, an hour ahead of UT
    HomePanelShown shown{};
    double lst = 0, sun[4] = {}, moon[3] = {}, fraction = 0, later = 0;
    Call([&] {
        shown = LastHomePanel();
        lst = LocalSiderealTime(2024, 3, 20, 21, 30, 0, -4.85, 60);
        ComputeSunRiseSet(2024, 3, 20, &sun[0], &sun[1], &sun[2], &sun[3]);
        ComputeMoonRiseSetTransit(2024, 3, 20, &moon[0], &moon[1], &moon[2]);
        fraction = ComputeMoonIllumination(2024, 3, 20, 21, 60, nullptr);
        later = ComputeMoonIllumination(2024, 3, 20, 22, 60, nullptr);
    });
    // Hours are shown cut to the minute.
    auto expectShown = [&shown](int row, const char* label, double hours) {
        EXPECT_STREQ(shown.rows[row].label, label) << "row " << row;
        const double wrapped = std::fmod(hours + 24.0, 24.0);
        EXPECT_NEAR(ShownHours(shown.rows[row].value), wrapped - 0.5 / 60.0, 0.5 / 60.0 + 1e-9)
            << "row " << row << " shows " << shown.rows[row].value << " for " << hours << " h";
    };
    expectShown(3, "LST", lst);
    expectShown(4, "Rise", sun[0]);
    expectShown(5, "Set", sun[2]);
    expectShown(6, "Night", sun[3]);
    // The Moon rises after it set on this date: its rows keep the order rise, set.
    expectShown(7, "Rise", moon[0]);
    expectShown(8, "Set", moon[2]);
    int percent = -1;
    ASSERT_EQ(std::sscanf(shown.rows[9].value, ": %d%%", &percent), 1) << shown.rows[9].value;
    EXPECT_NEAR(percent, fraction * 100.0 + 0.5, 0.5 + 1e-9);
    EXPECT_EQ(shown.moonIcon, MoonPhaseIcon(fraction, later > fraction));
    EXPECT_EQ(Stop(), 0);
}

// At the poles the Sun and the Moon stay above or below the horizon all day: the rows say
// so rather than show midnight times for events that do not happen.
TEST_F(HomeFormTest, PanelAtThePolesShowsNoTimeForAbsentEvents) {
    StartVelkarion();
    struct Case {
        double latitude;
        int month, day;
        const char* night;
    };
    // December at the North Pole: polar night (the Sun far below -18 degrees) and the full
    // Moon up all day; at the South Pole the reverse; June in the north: polar day.
    for (const Case& c : {Case{90.0, 12, 15, ":  -----"}, Case{-90.0, 12, 15, ":  -----"}, Case{90.0, 6, 21, ":  -----"}}) {
        SCOPED_TRACE(testing::Message() << c.latitude << " " << c.month << "/" << c.day);
        Call([c] {
            preferences.word[pref::timeUpdateMode] = 1;
            SetObservingDateTime(2024, c.month, c.day, 12, 0, 0);
        });
        ShowHomeAt(c.latitude, 0.0, 0, "Pole");
        HomePanelShown shown{};
        Call([&] { shown = LastHomePanel(); });
        EXPECT_STREQ(shown.rows[4].value, ":  -----");
        EXPECT_STREQ(shown.rows[5].value, ":  -----");
        EXPECT_STREQ(shown.rows[6].value, c.night);
        EXPECT_STREQ(shown.rows[7].value, ": None");
        EXPECT_STREQ(shown.rows[8].value, ": None");
    }
    EXPECT_EQ(Stop(), 0);
}

// ---- A screen larger than the design ------------------------------------------------------

class HomeFormLargeScreenTest : public HomeFormTest {
protected:
    void ConfigureScreen() override {
        options.scale = 1;
        options.width = 300;   // 60 wider than the design
        options.height = 400;  // 80 taller
    }
};

TEST_F(HomeFormLargeScreenTest, InfoMovesByTheWholeWidthOthersByHalf) {
    StartVelkarion();
    ShowHome();
    const platform::DialogLayout* layout = platform::FindDialogLayout(kHomeFormId);
    ASSERT_NE(layout, nullptr);
    auto designRect = [layout](int id) {
        for (const platform::ControlLayout& c : layout->controls)
            if (c.id == id) return c.rect;
        return platform::Rect{};
    };
    auto at = [](int id) { return platform::GetRectInParent(Item(id)); };
    EXPECT_EQ(at(kInfo).left, designRect(kInfo).left + 60);
    EXPECT_EQ(at(kInfo).top, designRect(kInfo).top);
    for (int id : {kSky, kGalaxy, kClock, kComet, kObserverLog, kToolsPopup, kSettingsPopup}) {
        EXPECT_EQ(at(id).left, designRect(id).left + 30) << id;
        EXPECT_EQ(at(id).top, designRect(id).top + 40) << id;
    }
    // The panel's anchor moved with them.
    EXPECT_EQ(HomeStatusAnchor().x, 70 + 30);
    EXPECT_EQ(HomeStatusAnchor().y, 88 + 40);
    EXPECT_EQ(Stop(), 0);
}

// ---- Golden pictures --------------------------------------------------------------------------

// Where the panel shows what it computed from the date and site, in screen pixels: the value
// column from the sidereal time down, and the Moon's phase icon (the phase of the pictures'
// evening lies a fraction of a percent below an icon's change). The pictures leave them out;
// PanelShowsTheSkyOfItsSiteAndMoment checks them as values.
std::vector<platform::Rect> ComputedPanelAreas(int scale) {
    const platform::Point a = HomeStatusAnchor();
    auto at = [&a, scale](int left, int top, int right, int bottom) {
        return platform::Rect{a.x + left * scale, a.y + top * scale, a.x + right * scale, a.y + bottom * scale};
    };
    return {at(55, 38, 150, 131), at(-1, 101, 17, 119)};
}

class HomeFormGoldenTest : public HomeFormTest, public ::testing::WithParamInterface<std::tuple<int, int>> {
protected:
    void ConfigureScreen() override { options.scale = std::get<0>(GetParam()); }
};

TEST_P(HomeFormGoldenTest, LooksAsItShould) {
    const int scale = std::get<0>(GetParam());
    const int night = std::get<1>(GetParam());
    StartVelkarion();
    ShowHome();
    if (night) {
        // Through the night tools menu, as the user does: NightMode, the level, OK.
        Call([] {
            SetListSelection(kToolsList, 0);
            platform::PostMessage(formWindow, platform::kMsgCommand, platform::MakeLong(kToolsPopup, kToolsList), 0);
        });
        ASSERT_EQ(platform::ModalStack().size(), 1u);
        const Window dialog = platform::ModalStack().back();
        TapWindow(platform::GetDialogItem(dialog, static_cast<std::uint16_t>(137 + night)));
        TapWindow(platform::GetDialogItem(dialog, platform::kIdOk));
        ASSERT_TRUE(platform::ModalStack().empty());
        EXPECT_EQ(preferences.word[pref::nightMode], night);
        EXPECT_EQ(GetCurrentFormId(), kHomeFormId);
    }
    RunUntilIdle();
    const std::string name = "home_" + std::to_string(scale) + "x" + (night ? "_night" + std::to_string(night) : "") + ".png";
    ExpectScreenLike(fs::path(VELKARION_TEST_DATA) / "app" / name, ComputedPanelAreas(scale));
    EXPECT_EQ(Stop(), 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, HomeFormGoldenTest,
                         ::testing::Values(std::make_tuple(1, 0), std::make_tuple(2, 0), std::make_tuple(1, 3),
                                           std::make_tuple(2, 3)));

}  // namespace
