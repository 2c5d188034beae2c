// Form 2460 headless: the controls of each mode and sub-view, the time it starts from, zoom
// and orientation, keys, drags, help texts and what closing gives back.
#include "planets/planet_view_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "chart/chart_settings.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "planets/planet_view_state.h"
#include "planets/planets_services.h"
#include "planets/time_strips.h"
#include "planets/planet_view_fixture.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"
#include "shell/form_paint_step.h"
#include "planets/moon_events.h"
#include "platform/surface.h"
#include "core/calendar.h"
#include "support/observing_state.h"
#include "support/recorded_reports.h"

using namespace planet_view_form;

namespace {

class PlanetViewFormTest : public PlanetViewFormFixture {
protected:
    static bool Visible(int id) { return platform::IsWindowVisible(Item(id)); }
    // The optional controls shown, in a fixed order.
    static std::string Shown() {
        static const std::pair<int, const char*> ids[] = {
            {kOrientationPopup, "orientation"}, {kZoom, "zoom"},       {kSpanPopup, "span"},
            {kDate, "date"},                   {kTime, "time"},       {kClock, "clock"},
            {kAdjust, "adjust"},               {kMoonFilterPopup, "filter"}, {kKindPopup, "kind"},
            {kFeaturePopup, "feature"}};
        std::string out;
        for (const auto& [id, name] : ids)
            if (Visible(id)) out += std::string(out.empty() ? "" : " ") + name;
        return out;
    }
};

TEST_F(PlanetViewFormTest, ControlsByModeAndSubView) {
    struct Case {
        void (*select)();
        int subView;
        const char* shown;
    };
    const Case cases[] = {
        {&SelectJupiterAssistant, 0, "orientation zoom span date time clock"},
        {&SelectJupiterAssistant, 1, "date clock adjust"},
        {&SelectJupiterAssistant, 2, "date clock"},
        {&SelectSaturnAssistant, 0, "orientation span date time clock"},
        {&SelectSaturnAssistant, 1, "orientation span date clock"},
        {&SelectSaturnAssistant, 2, "date clock filter"},
        {&SelectMarsAssistant, 0, "orientation span date time clock"},
        {&SelectMarsAssistant, 1, "orientation date time clock"},
        {&SelectMarsAssistant, 2, "kind feature"},
        {&SelectMarsAssistant, 3, "span date clock"},
        {&SelectPhaseAssistant, 1, "span date clock"},
    };
    for (const Case& c : cases) {
        Open(c.select);
        Pick(kSubViewPopup, kSubViewList, c.subView);
        EXPECT_EQ(planetView.subView, c.subView);
        EXPECT_EQ(Shown(), c.shown) << "mode " << planetView.mode << " sub-view " << c.subView;
        Command(kBack);
    }
    // Only the Mars textures, which this test does not install, are reported missing.
    for (const ReportRecord& r : RecordedReports())
        EXPECT_TRUE(r.heading == "Can't find" || r.heading == "Can't alloc DrawMapOnSphere") << r.heading;
}

// The first opening takes the observing time the user set; the next keeps the form's time.
TEST_F(PlanetViewFormTest, TimeOfTheFirstOpening) {
    preferences.word[pref::timeUpdateMode] = 1;
    observingDateTime = ObservingDateTime{2024, 11, 20, 22, 5, 0};
    Open(&SelectJupiterAssistant);
    EXPECT_EQ(planetView.year, 2024);
    EXPECT_EQ(planetView.day, 20);
    EXPECT_EQ(planetView.hour, 22);
    EXPECT_EQ(planetView.minute, 5);
    // The fields follow the strip's cursor, on the row nearest the form's time.
    char date[40];
    FormatDate(date, 20, 11, 2024);
    EXPECT_EQ(Text(kDate), date);
    int hour = 0, minute = 0;
    ASSERT_EQ(std::sscanf(Text(kTime).c_str(), "%d:%d", &hour, &minute), 2);
    const int shown = hour * 60 + minute;
    EXPECT_LE(shown, 22 * 60 + 5);
    EXPECT_GT(shown, 22 * 60 + 5 - 1440 / planetView.rowsPerUnit - 1);
    Command(kBack);
    observingDateTime = ObservingDateTime{2023, 1, 1, 0, 0, 0};
    Open(&SelectSaturnAssistant);
    EXPECT_EQ(planetView.year, 2024);
    // The clock button takes the device clock.
    Command(kClock);
    EXPECT_EQ(planetView.year, 2025);
    EXPECT_EQ(planetView.hour, 21);
    EXPECT_EQ(planetView.minute, 30);
}

TEST_F(PlanetViewFormTest, ZoomOrientationAndClose) {
    preferences.word[chartpref::background] = 2;
    Open(&SelectJupiterAssistant);
    EXPECT_EQ(preferences.word[chartpref::background], 0);
    EXPECT_EQ(planetView.zoom, 4.0);
    Command(kZoom);
    EXPECT_EQ(planetView.zoom, 22.0);
    EXPECT_EQ(satelliteSprites[0], nullptr);
    Command(kZoom);
    EXPECT_EQ(planetView.zoom, 4.0);
    const int signs[4][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
    for (int row = 3; row >= 0; --row) {
        Pick(kOrientationPopup, kOrientationList, row);
        EXPECT_EQ(planetView.xSign, signs[row][0]);
        EXPECT_EQ(planetView.ySign, signs[row][1]);
    }
    Command(kBack);
    EXPECT_EQ(preferences.word[chartpref::background], 2);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

// Keys move the cursor row on the strip and the dates follow it; a step off the strip is
// undone. On the Red Spot table a key or a 3-pixel drag changes the day.
TEST_F(PlanetViewFormTest, KeysAndDrags) {
    Open(&SelectJupiterAssistant);
    Pick(kSpanPopup, kSpanList, 0);
    const int row = planetView.stripRow;
    const std::string before = Text(kTime);
    Key(platform::kKeyDown);
    EXPECT_EQ(planetView.stripRow, row + 1);
    Key(platform::kKeyUp);
    Key(platform::kKeyUp);
    EXPECT_EQ(planetView.stripRow, row - 1);
    EXPECT_NE(Text(kTime), before);
    // A tap above the strip does nothing.
    Call([&] { planetView.stripRow = planetView.stripRow; });
    const StripLayout layout = GetStripLayout(kJupiterMode, 0, 0, planetView.screenHeight);
    Call([&] { planetView.stripRow = layout.top; });
    Key(platform::kKeyUp);
    EXPECT_EQ(planetView.stripRow, layout.top);

    Pick(kSubViewPopup, kSubViewList, 1);
    const int day = planetView.day;
    Key(platform::kKeyUp);
    EXPECT_EQ(planetView.day, day + 1);
    Drag(At(120, 100), At(120, 103), 1, 50);
    EXPECT_EQ(planetView.day, day + 2);
    Drag(At(120, 100), At(120, 94), 2, 50);
    EXPECT_EQ(planetView.day, day);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

TEST_F(PlanetViewFormTest, HelpTexts) {
    Open(&SelectSaturnAssistant);
    Pick(kSubViewPopup, kSubViewList, 2);
    ClearRecordedReports();
    Command(kHelp);
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0].heading,
              "\x95 Calculates the Saturn's satellites eclipses by and transits across Saturn's disk for the given "
              "day.");
    EXPECT_EQ(RecordedReports()[0].detail,
              "\x95 Selects one satellite to filter the events accordingly or display them all.\n\x95 Taps on the date "
              "to select a different one.");
    // Every mode and sub-view of the lists has its text.
    for (int mode = 0; mode < 4; ++mode) {
        for (int sub = 0; sub < (mode == kMarsMode ? 4 : 3); ++sub) {
            const char *text, *detail;
            PlanetViewHelp(mode, sub, &text, &detail);
            EXPECT_GT(std::string(text).size(), 20u) << mode << "/" << sub;
        }
    }
}

// The Saturn events list: the filter keeps one moon's rows, a moon without events gives
// "No event" (checked on the drawn table's records).
TEST_F(PlanetViewFormTest, SaturnEventsFilter) {
    preferences.word[pref::timeUpdateMode] = 1;
    observingDateTime = ObservingDateTime{2025, 8, 20, 12, 0, 0};
    Open(&SelectSaturnAssistant);
    Pick(kSubViewPopup, kSubViewList, 2);
    EXPECT_EQ(planetView.eventDay, 20);
    Pick(kMoonFilterPopup, kMoonFilterList, 5);
    EXPECT_EQ(planetView.saturnMoonFilter, 5);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

// Each orientation row gives its signs and puts its icon on the popup: 1682 + row by day,
// 2008 + row by night.
TEST_F(PlanetViewFormTest, OrientationRowsGiveTheirIcons) {
    const int signs[4][2] = {{1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
    for (int night : {0, 1}) {
        preferences.word[pref::nightMode] = night;
        Open(&SelectSaturnAssistant);
        for (int row : {2, 0, 3, 1}) {
            Pick(kOrientationPopup, kOrientationList, row);
            EXPECT_EQ(planetView.orientation, row);
            EXPECT_EQ(planetView.xSign, signs[row][0]) << row;
            EXPECT_EQ(planetView.ySign, signs[row][1]) << row;
            int icon = -1;
            Call([&] {
                const PopupControl* p = GetPopupControl(Item(kOrientationPopup));
                icon = p ? p->bitmapId : -1;
            });
            EXPECT_EQ(icon, (night ? 2008 : 1682) + row) << "night " << night;
        }
        Command(kBack);
    }
    preferences.word[pref::nightMode] = 0;
}

// The keys as the form's table gives them: forward (Down, Page Up) takes the Red Spot date
// a day back and the Mars View an hour back; back (Up, Page Down) the other way; Left and
// Right do nothing. The Events table moves with no key.
TEST_F(PlanetViewFormTest, KeysStepTheDayOrTheHour) {
    struct Case {
        void (*select)();
        int subView;
        int key;
        int minutes;  // expected change of the form's time
    };
    const Case cases[] = {
        {&SelectJupiterAssistant, 1, platform::kKeyDown, -1440},
        {&SelectJupiterAssistant, 1, platform::kKeyPageUp, -1440},
        {&SelectJupiterAssistant, 1, platform::kKeyUp, 1440},
        {&SelectJupiterAssistant, 1, platform::kKeyPageDown, 1440},
        {&SelectJupiterAssistant, 1, platform::kKeyLeft, 0},
        {&SelectJupiterAssistant, 2, platform::kKeyDown, 0},
        {&SelectSaturnAssistant, 2, platform::kKeyUp, 0},
        {&SelectMarsAssistant, 1, platform::kKeyDown, -60},
        {&SelectMarsAssistant, 1, platform::kKeyPageUp, -60},
        {&SelectMarsAssistant, 1, platform::kKeyUp, 60},
        {&SelectMarsAssistant, 1, platform::kKeyPageDown, 60},
        {&SelectMarsAssistant, 1, platform::kKeyRight, 0},
        {&SelectMarsAssistant, 2, platform::kKeyDown, 0},
    };
    auto minutes = [] {
        const PlanetViewState& v = planetView;
        return std::lround(JulianDay0h(v.year, v.month, v.day)) * 1440L + v.hour * 60 + v.minute;
    };
    for (const Case& c : cases) {
        Open(c.select);
        Pick(kSubViewPopup, kSubViewList, c.subView);
        // Across a month's end and midnight.
        Call([] { planetView.year = 2025, planetView.month = 1, planetView.day = 31, planetView.hour = 23; });
        const long before = minutes();
        Key(c.key);
        EXPECT_EQ(minutes() - before, c.minutes) << "mode " << planetView.mode << " sub-view " << c.subView
                                                 << " key " << c.key;
        if (c.minutes != 0) {
            char date[40];
            FormatDate(date, planetView.day, planetView.month, planetView.year);
            EXPECT_EQ(Text(kDate), date);
        }
        Command(kBack);
    }
}

// On Jupiter's events a drag of 3 pixels down is a day forward, up a day back, and the
// table follows the day; Saturn's events do not follow the stylus.
TEST_F(PlanetViewFormTest, ADragOfThreePixelsChangesTheEventsDay) {
    Open(&SelectJupiterAssistant);
    Pick(kSubViewPopup, kSubViewList, 2);
    ASSERT_EQ(planetView.eventDay, 16);
    Drag(At(120, 150), At(120, 153), 1, 50);
    EXPECT_EQ(planetView.day, 17);
    EXPECT_EQ(planetView.eventDay, 17);
    Drag(At(120, 150), At(120, 152), 2, 50);
    EXPECT_EQ(planetView.day, 17);
    Drag(At(120, 150), At(120, 141), 3, 50);
    EXPECT_EQ(planetView.day, 14);
    EXPECT_EQ(planetView.eventDay, 14);
    Command(kBack);
    Open(&SelectSaturnAssistant);
    Pick(kSubViewPopup, kSubViewList, 2);
    const int day = planetView.day;
    Drag(At(120, 150), At(120, 160), 2, 50);
    EXPECT_EQ(planetView.day, day);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

// The help of every mode and sub-view through the form's button: its first words, and
// how many bulleted lines the text and the detail have.
TEST_F(PlanetViewFormTest, HelpOfEveryModeAndSubView) {
    struct Case {
        void (*select)();
        int subView;
        const char* start;
        int textLines, detailLines;
    };
    const Case cases[] = {
        {&SelectJupiterAssistant, 0, "Displays the relative positions of the Galilean", 1, 1},
        {&SelectJupiterAssistant, 1, "Displays red spot (GRS) transit time", 1, 1},
        {&SelectJupiterAssistant, 2, "Calculates the Galilean satellites' eclipses", 1, 2},
        {&SelectSaturnAssistant, 0, "Displays the relative positions of the major Saturn", 1, 1},
        {&SelectSaturnAssistant, 1, "Displays the relatives position of Saturn rings", 1, 1},
        {&SelectSaturnAssistant, 2, "Calculates the Saturn's satellites eclipses", 1, 2},
        {&SelectMarsAssistant, 0, "Displays the relative positions of the major Mars", 1, 1},
        {&SelectMarsAssistant, 1, "Displays a view of Mars as seen from earth.", 2, 2},
        {&SelectMarsAssistant, 2, "Displays the map of Mars.", 2, 2},
        {&SelectMarsAssistant, 3, "Displays Mars size and orientation", 1, 1},
        {&SelectPhaseAssistant, 0, "Displays Phase of Mercury, Venus and Mars", 1, 2},
        {&SelectPhaseAssistant, 2, "Displays Phase of Mercury, Venus and Mars", 1, 2},
    };
    auto lines = [](const std::string& s) {
        int n = 0;
        for (std::size_t at = 0; (at = s.find("\x95 ", at)) != std::string::npos; at += 2) {
            EXPECT_TRUE(at == 0 || s[at - 1] == '\n') << s;
            ++n;
        }
        return n;
    };
    for (const Case& c : cases) {
        Open(c.select);
        Pick(kSubViewPopup, kSubViewList, c.subView);
        ClearRecordedReports();
        Command(kHelp);
        ASSERT_EQ(RecordedReports().size(), 1u) << c.start;
        const ReportRecord& r = RecordedReports()[0];
        EXPECT_EQ(r.heading.rfind(std::string("\x95 ") + c.start, 0), 0u) << r.heading;
        EXPECT_EQ(lines(r.heading), c.textLines) << r.heading;
        EXPECT_EQ(lines(r.detail), c.detailLines) << r.detail;
        Command(kBack);
    }
}

// The star style word is 0 while the form is open and comes back however the form closes.
TEST_F(PlanetViewFormTest, ClosingGivesBackTheStarStyle) {
    enum How { kByBack, kByOtherForm, kByCloseBox };
    for (How how : {kByBack, kByOtherForm, kByCloseBox}) {
        preferences.word[chartpref::background] = 1;
        Open(&SelectMarsAssistant);
        EXPECT_EQ(preferences.word[chartpref::background], 0);
        // Sub-views and a reopening on top do not lose what was saved.
        Pick(kSubViewPopup, kSubViewList, 3);
        switch (how) {
        case kByBack: Command(kBack); break;
        case kByOtherForm:
            Call([] { GotoForm(kHomeFormId); });
            RunUntilIdle();
            break;
        case kByCloseBox:
            Call([] { platform::SendMessage(formWindow, platform::kMsgClose, 0, 0); });
            RunUntilIdle();
            break;
        }
        EXPECT_EQ(preferences.word[chartpref::background], 1) << "closed by " << how;
        if (how == kByCloseBox) {
            Call([] { CloseForm(planet_view_form::kFormId); });
            RunUntilIdle();
        }
    }
}

// A Saturn day without phenomena (the rings wide open, 2017): the two day bars, the header
// and "No event" in the first table row, drawn there as the text alone would be.
TEST_F(PlanetViewFormTest, ADayWithoutPhenomenaSaysNoEvent) {
    preferences.word[pref::timeUpdateMode] = 1;
    observingDateTime = ObservingDateTime{2017, 6, 15, 12, 0, 0};
    Open(&SelectSaturnAssistant);
    Pick(kSubViewPopup, kSubViewList, 2);
    ASSERT_EQ(planetView.eventYear, 2017);
    for (const MoonEventRecord& r : planetView.moonEventTable) EXPECT_FALSE(MoonEventListed(r, 0));
    const int width = planetView.screenWidth, row = 13 + 3, top = 24;
    ASSERT_GT(planetView.screenHeight, 240);
    const platform::Surface* screen = platform::WindowSurface(formWindow);
    const platform::Point o = platform::WindowOrigin(formWindow);
    auto pixel = [&](int x, int y) { return screen->Row(y + o.y)[x + o.x]; };
    auto px = [](platform::Color c) { return platform::ColorToPixel(c); };
    const PlanetColours& colours = planetView.colours;
    // Rows 0 and 1: the band under each name, and the bar drawn on it.
    for (int r = 0; r < 2; ++r) {
        const int y = top + r * row;
        EXPECT_EQ(pixel(30, y + row - 2), px(colours.stripBackground)) << "day bar row " << r;
        int bar = 0;
        for (int x = 43; x < width - 12; ++x) bar += pixel(x, y + row / 2) != px(colours.stripBackground);
        EXPECT_GT(bar, 20) << "day bar row " << r;
    }
    // Row 2: the header on the light band.
    EXPECT_EQ(pixel(width - 3, top + 2 * row + 1), px(colours.lightBand));
    // Row 3: "No event", and nothing else.
    const int y = top + 3 * row;
    auto band = [&] {
        std::vector<std::uint16_t> out;
        for (int yy = y; yy < y + row; ++yy)
            for (int x = 0; x < width; ++x) out.push_back(pixel(x, yy));
        return out;
    };
    const auto drawn = band();
    Call([&] {
        DrawOnForm(formWindow, [&] {
            FillRectangle(Bounds{0, y, width, row});
            const platform::Color text = SetTextColor(colours.foreground);
            const int transparent = SetTextTransparent(1);
            const int font = SetFont(0);
            DrawString("No event", 8, 0, y);
            SetFont(font);
            SetTextTransparent(transparent);
            SetTextColor(text);
        });
    });
    EXPECT_EQ(band(), drawn);
    EXPECT_NE(std::count(drawn.begin(), drawn.end(), drawn.back()), static_cast<long>(drawn.size()));
}

// The same form under its second id: it opens, draws its strip, and going back closes it
// and gives the star style back.
TEST_F(PlanetViewFormTest, OpensAsTheSecondForm) {
    Call([] { SetFormDialogProc(kSecondFormId, &PlanetViewAssistant); });
    preferences.word[chartpref::background] = 2;
    Call([] {
        SelectSaturnAssistant();
        GotoForm(kSecondFormId);
    });
    ASSERT_TRUE(RunUntilIdle());
    EXPECT_EQ(GetCurrentFormId(), kSecondFormId);
    EXPECT_EQ(preferences.word[chartpref::background], 0);
    EXPECT_GT(planetView.rowsPerUnit, 0);
    Key(platform::kKeyDown);
    Command(kBack);
    EXPECT_NE(GetCurrentFormId(), kSecondFormId);
    EXPECT_EQ(preferences.word[chartpref::background], 2);
    Stop();
    SetFormDialogProc(kSecondFormId, nullptr);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

}  // namespace
