#include "eclipses/eclipse_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "eclipses/central_line.h"
#include "eclipses/eclipse_form_internal.h"
#include "eclipses/eclipse_path.h"
#include "eclipses/eclipse_state.h"
#include "moon/map_textures.h"
#include "platform/dialog.h"
#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/surface.h"
#include "shell/fonts.h"
#include "shell/fonts_internal.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "shell/text_input.h"
#include "support/recorded_reports.h"
#include "eclipses/eclipse_form_fixture.h"

using namespace eclipse_form;
using namespace eclipse_test;

namespace {

TEST_F(EclipseFormTest, FirstOpeningListsFrom2006AndComputesTheFirstRow) {
    Open();
    EXPECT_EQ(eclipseState.listYear, 2006);
    EXPECT_EQ(Rows(6), (std::vector<std::string>{"2006-03-14 Moon Penumbral", "2006-03-29 Sun Total",
                                                 "2006-09-07 Moon Partial", "2006-09-22 Sun Annular",
                                                 "2007-03-03 Moon Total", "2007-03-19 Sun Partial"}));
    EXPECT_EQ(eclipseState.selectedRow, 0);
    EXPECT_EQ(eclipseState.page, kPageListPage);
    EXPECT_GE(eclipseState.eclipseList[0].refined, 0);
    EXPECT_EQ(Text(kYear), "2006");
    // The best place of a lunar eclipse is the sub-lunar point: near the equator at a full
    // Moon by the node, written back west positive.
    EXPECT_LT(std::fabs(eclipseState.centralLatitude), 10.0);
    EXPECT_TRUE(std::isfinite(eclipseState.centralLongitude));
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);

    Command(kYearButton);
    EXPECT_EQ(eclipseState.listYear, 2024);
    EXPECT_EQ(Rows(2), (std::vector<std::string>{"2024-03-25 Moon Penumbral", "2024-04-08 Sun Total"}));
    EXPECT_EQ(eclipseState.selectedRow, 0);
}

TEST_F(EclipseFormTest, SelectingASolarEclipseFitsOnceAndFindsTheCentralLine) {
    Open();
    Command(kYearButton);
    const int row = RowOf(2024, 4, 8);
    ASSERT_GE(row, 0);
    const int fits = eclipseSolarComputations;
    Select(row);
    ASSERT_EQ(eclipseSolarComputations, fits + 1);
    const EclipseEntry& e = eclipseState.eclipseList[row];
    EXPECT_EQ(eclipseState.elements.t0, 18.0);
    // Published greatest eclipse: 18:17:15 UT at 25°17'N 104°08'W, 4m28s.
    EXPECT_EQ(e.hour, 18);
    EXPECT_EQ(e.minute, 17);
    EXPECT_NEAR(eclipseState.centralLatitude, 25.29, 0.2);
    EXPECT_NEAR(eclipseState.centralLongitude, 104.14, 0.2);
    EXPECT_GE(e.duration, 268);
    EXPECT_LE(e.duration, 280);
    EXPECT_EQ(eclipseState.centralLine, 1);
    EXPECT_TRUE(Visible(kMapButton));
    const int refinedSecond = e.second;

    // The same row again computes nothing; another row does, and coming back computes
    // again from the refined instant, which stays.
    Select(row);
    EXPECT_EQ(eclipseSolarComputations, fits + 1);
    Select(0);
    EXPECT_FALSE(Visible(kMapButton));
    Select(row);
    EXPECT_EQ(eclipseSolarComputations, fits + 2);
    EXPECT_EQ(eclipseState.eclipseList[row].second, refinedSecond);
    EXPECT_EQ(eclipseState.timeHour, 18);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

TEST_F(EclipseFormTest, EclipsesWithoutACentralLineAreRefusedByThePages) {
    Open();
    struct Case {
        int year, month, day;
    };
    for (const Case c : {Case{2025, 3, 29}, Case{2014, 4, 29}}) {
        SCOPED_TRACE(c.year);
        Call([=] { eclipseState.listYear = c.year; });
        Command(kListButton);
        TypeIntoField(kYear, std::to_string(c.year));
        Command(kList);
        const int row = RowOf(c.year, c.month, c.day);
        ASSERT_GE(row, 0);
        Select(row);
        EXPECT_EQ(eclipseState.centralLine, 0);
        EXPECT_EQ(eclipseState.eclipseList[row].duration, 0);
        for (int page : {kPageInfo, kPagePath, kPageMap, kPageDiagram}) {
            ClearRecordedReports();
            Pick(kPagePopup, kPageList, page);
            ASSERT_EQ(RecordedReports().size(), 1u);
            EXPECT_EQ(ReportText(0),
                      "Sorry, this function does not work for Partial Eclipse.\nPlease select Annular or Total Eclipse.");
        }
        Command(kListButton);
    }
}

TEST_F(EclipseFormTest, PagesShowTheirControlsAndHelp) {
    Open();
    Command(kYearButton);
    const int solar = RowOf(2024, 4, 8);
    struct Case {
        int page;
        std::vector<int> shown;
    };
    const std::vector<int> all = {kList,     kListButton, kInfoButton, kYear,       kYearButton, kPathButton,
                                  kTimeLabel, kTime,      kTimeSet,    kPlaceLabel, kLatitude,   kLongitude,
                                  kPlaceSet,  kMapTime,   kStepIn,     kStepOut,    kMapButton,  kInfoAtTap};
    const Case cases[] = {
        {kPageListPage, {kList, kInfoButton, kYear, kYearButton, kMapButton}},
        {kPageInfo, {kListButton, kTimeLabel, kTime, kTimeSet, kPlaceLabel, kLatitude, kLongitude, kPlaceSet, kMapButton}},
        {kPagePath, {kListButton, kMapButton}},
        {kPageMap, {kListButton, kInfoAtTap}},
        {kPageDiagram, {kListButton, kMapButton}},
    };
    Select(solar);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        Pick(kPagePopup, kPageList, c.page);
        EXPECT_EQ(eclipseState.page, c.page);
        for (int id : all) {
            const bool expected = std::find(c.shown.begin(), c.shown.end(), id) != c.shown.end();
            EXPECT_EQ(Visible(id), expected) << id;
        }
        ClearRecordedReports();
        Command(kHelp);
        ASSERT_EQ(RecordedReports().size(), 1u);
        EXPECT_EQ(RecordedReports()[0].heading[0], '\x95');
    }
    EXPECT_EQ(std::string(EclipseHelpHeading(kPageListPage)),
              "\x95 Display the list of the next 12 ecplises.\n\x95 Tap on one to get its best location and greastest time.");
    EXPECT_EQ(std::string(EclipseHelpDetail(kPagePath)), "");

    // A lunar row: no Map page.
    Command(kListButton);
    Select(RowOf(2024, 3, 25));
    Pick(kPagePopup, kPageList, kPagePath);
    ClearRecordedReports();
    Pick(kPagePopup, kPageList, kPageMap);
    EXPECT_EQ(Headings(), (std::vector<std::string>{"This module is not available for moon eclipse"}));
    EXPECT_EQ(eclipseState.page, kPagePath);
    EXPECT_FALSE(Visible(kMapButton));
}

TEST_F(EclipseFormTest, TypedTimeAndPlaceAreCheckedBeforeTheyAreTaken) {
    Open();
    Command(kYearButton);
    Select(RowOf(2024, 3, 25));  // lunar: the place step computes nothing
    Command(kInfoButton);
    struct TimeCase {
        const char* text;
        bool taken;
    };
    for (const TimeCase& c : {TimeCase{"18:30:15", true}, TimeCase{"25:00:00", false}, TimeCase{"ab", false},
                              TimeCase{"12:60:00", false}}) {
        SCOPED_TRACE(c.text);
        ClearRecordedReports();
        SetText(kTime, c.text);
        Command(kTimeSet);
        EXPECT_EQ(eclipseState.timeHour, 18);
        EXPECT_EQ(eclipseState.timeMinute, 30);
        EXPECT_EQ(eclipseState.timeSecond, 15);
        EXPECT_EQ(Headings(), c.taken ? std::vector<std::string>{} : std::vector<std::string>{"Invalid time"});
    }

    ClearRecordedReports();
    SetText(kLatitude, "40\xB0" "30.0 S");
    SetText(kLongitude, "3\xB0" "42.0 E");
    Command(kPlaceSet);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    EXPECT_NEAR(eclipseState.typedLatitude, -40.5, 1e-9);
    EXPECT_NEAR(eclipseState.typedLongitude, -3.7, 1e-9);
    EXPECT_EQ(Text(kLatitude), "40\xB0" "30.0 S");
    EXPECT_EQ(Text(kLongitude), "03\xB0" "42.0 E");

    SetText(kLatitude, "91\xB0" "00.0 N");
    Command(kPlaceSet);
    EXPECT_EQ(Headings(), (std::vector<std::string>{"Invalid latitude"}));
    EXPECT_NEAR(eclipseState.typedLatitude, -40.5, 1e-9);

    // The map steps stay between 1 and the screen's density factor.
    for (int i = 0; i < 10; ++i) Command(kStepIn);
    EXPECT_EQ(eclipseState.mapStep, 1);
    for (int i = 0; i < 10; ++i) Command(kStepOut);
    EXPECT_EQ(eclipseState.mapStep, GetDpiFactor());
}

TEST_F(EclipseFormTest, YearFieldStartsANewListAndClosingFreesIt) {
    Open();
    TypeIntoField(kYear, "2017");
    EXPECT_EQ(eclipseState.listYear, 2017);
    EXPECT_EQ(Rows(4), (std::vector<std::string>{"2017-02-11 Moon Penumbral", "2017-02-26 Sun Annular",
                                                 "2017-08-07 Moon Partial", "2017-08-21 Sun Total"}));
    ClearRecordedReports();
    TypeIntoField(kYear, "1500");
    EXPECT_EQ(Headings(), (std::vector<std::string>{"Invalid year"}));
    EXPECT_EQ(eclipseState.listYear, 2017);

    Select(3);
    Call([] { GotoForm(kHomeFormId); });
    RunUntilIdle();
    EXPECT_EQ(eclipseState.eclipseList, nullptr);
    Open();
    ASSERT_NE(eclipseState.eclipseList, nullptr);
    EXPECT_EQ(eclipseState.selectedRow, 3);
    EXPECT_EQ(eclipseState.listYear, 2017);
}

TEST(EclipseSummary, TextLineByKindAndDuration) {
    struct Case {
        EclipseEntry entry;
        bool central;
        const char* text;
    };
    const Case cases[] = {
        {{1, 4.0, 2024, 4, 8, 18, 17, 27, 272, 3051}, true, "At 18h17'27UT duration 04m32s(50'51)"},
        {{0, 4.0, 2025, 3, 14, 6, 58, 43, 3900, 500}, false, "At 06h58'43UT duration 01h05m(08'20)"},
        {{1, 2.0, 2025, 3, 29, 10, 47, 0, 0, 1250}, false, "At 10h47'00UT No Central Line (20'50)"},
        {{1, 3.0, 2014, 4, 29, 6, 3, 5, 0, 3800}, false, "At 06h03'05UT No Central Line (63'20)"},
        {{7, 1.0, 2030, 1, 1, 0, 0, 0, 0, -1}, false, "At 00h00'00UT No Central Line (00'00)"},
    };
    for (const Case& c : cases) {
        char text[96];
        FormatEclipseSummary(c.entry, c.central, text, sizeof text);
        EXPECT_STREQ(text, c.text);
    }
}

// ---- The Path page's band -----------------------------------------------------------------

struct PathCase {
    int year, month, day, hour;
};

EclipsePathLines PathOf(const PathCase& c, double* latitude, double* longitude) {
    BesselElements elements;
    EXPECT_EQ(FitBesselElements(&elements, c.year, c.month, c.day, c.hour), 1);
    const double deltaT = 69.0;
    double start, end, duration, width;
    EXPECT_EQ(GetCentralLineEnds(elements, deltaT, &start, &end), 1);
    EXPECT_EQ(GetCentralLinePoint(elements, (start + end) / 2, deltaT, latitude, longitude, &duration, &width), 1);
    EclipsePathLines lines;
    ComputeEclipsePath(elements, deltaT, *latitude, 240, 120, &lines);
    return lines;
}

TEST(EclipsePath, BandIsClosedAndNeverJumpsAcrossTheMap) {
    for (const PathCase& c : {PathCase{2024, 4, 8, 18}, PathCase{2012, 5, 20, 24}, PathCase{2021, 12, 4, 8}}) {
        SCOPED_TRACE(c.year);
        double latitude, longitude;
        const EclipsePathLines lines = PathOf(c, &latitude, &longitude);
        ASSERT_GT(lines.count, 4);
        const EclipsePathSegment& first = lines.segments[0];
        const EclipsePathSegment& last = lines.segments[lines.count - 1];
        EXPECT_EQ(first.x0, first.x1);  // closed at both ends
        EXPECT_EQ(last.x0, last.x1);
        for (int i = 1; i + 1 < lines.count; ++i) EXPECT_LT(std::abs(lines.segments[i].x1 - lines.segments[i].x0), 100);
        if (c.year == 2021) {
            EXPECT_EQ(lines.columns, 91);  // south of -60: the whole map
        }
        if (c.year == 2012) {
            EXPECT_GT(lines.columns, 20);  // across 180 in one sweep
        }
    }
}

// ---- The Diagram page ----------------------------------------------------------------------

TEST_F(EclipseFormTest, DiagramDrawsTheGlobeWithItsTexts) {
    Open();
    Command(kYearButton);
    Select(RowOf(2024, 4, 8));
    Pick(kPagePopup, kPageList, kPageDiagram);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    const int r = 100, top = 55 + 24;
    const int cx = (240 - 2 * r) / 2 + r + 3, cy = top + r + 3;
    // The globe shows the big texture at the density of the test screens.
    int textured = 0;
    for (int dx = -60; dx <= 60; dx += 10) textured += PixelAt(cx + dx, cy + 40) == kBigTexture;
    EXPECT_GT(textured, 5);
    EXPECT_EQ(eclipseState.globeLongitude, 104);
    EXPECT_EQ(eclipseState.globeLatitude, 25);

    // On a low-density screen: the small texture.
    SetDpiFactorOverride(1);
    Pick(kPagePopup, kPageList, kPageDiagram);
    textured = 0;
    for (int dx = -60; dx <= 60; dx += 10) textured += PixelAt(cx + dx, cy + 40) == kSmallTexture;
    EXPECT_GT(textured, 5);
}

}  // namespace
