// The orbit assistant on the headless screen: opening and closing, the record and date
// keys, the zoom, the help, the list rows, the pen on each page, the 3D view's bodies, the
// sky view's track and the ephemeris table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "astro/minor_body_magnitude.h"
#include "chart/chart_records.h"
#include "chart/chart_zoom.h"
#include "chart/sky_view.h"
#include "core/calendar.h"
#include "objects/comet_position.h"
#include "platform/headless.h"
#include "planets/orbit_fixture.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"
#include "shell/list_views.h"
#include "shell/utilities.h"

using namespace orbit_form;

namespace {

std::vector<CometRecord> ThreeComets() {
    return {EnckeLike("A"), EnckeLike("B"), EnckeLike("C")};
}

TEST_F(OrbitFormTest, FirstOpeningTakesTheObservingDateAndClosingGivesTheChartSettingsBack) {
    WriteComets(ThreeComets());
    S().page = kEphemeris;
    Open();
    EXPECT_EQ(S().year, 2023);
    EXPECT_EQ(S().month, 10);
    EXPECT_EQ(S().day, 1);
    EXPECT_EQ(S().hour, 21);
    EXPECT_EQ(preferences.word[pref::chartMode], 2);
    EXPECT_EQ(preferences.word[chartpref::objDrilldown], 0);
    EXPECT_EQ(preferences.word[chartpref::skyViewPlain], 0);
    EXPECT_EQ(Label(kCometPopup), "A");
    Press(platform::kKeyRight);  // the step of 7 days
    EXPECT_EQ(S().day, 8);
    ClearRecordedReports();
    Close();
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{}) << "every control released";
    EXPECT_EQ(preferences.word[pref::chartMode], 1);
    EXPECT_EQ(preferences.word[chartpref::objDrilldown], 1);
    EXPECT_EQ(preferences.word[chartpref::skyViewPlain], 1);
    SetObservingDateTime(2024, 1, 5, 3, 0, 0);
    Open();
    EXPECT_EQ(S().day, 8);
    EXPECT_EQ(S().month, 10);
    Press(platform::kKeyLeft);
    EXPECT_EQ(S().day, 1);
}

TEST_F(OrbitFormTest, RecordKeysStopAtBothEnds) {
    WriteComets(ThreeComets());
    S().page = kEphemeris;
    Open();
    Press(platform::kKeyUp);
    EXPECT_EQ(S().currentComet, 0);
    for (int i = 0; i < 3; ++i) Press(platform::kKeyPageUp);
    EXPECT_EQ(S().currentComet, 2);
    EXPECT_EQ(Label(kCometPopup), "C");
    Press(platform::kKeyDown);
    EXPECT_EQ(S().currentComet, 2);
    Press(platform::kKeyPageDown);
    EXPECT_EQ(S().currentComet, 1);
}

TEST_F(OrbitFormTest, ZoomStaysWithinOneToSevenAndOnlyOnThe3DPage) {
    WriteComets(ThreeComets());
    Open();
    ASSERT_EQ(S().page, k3DView);
    for (int i = 0; i < 4; ++i) Command(kZoomIn);
    EXPECT_EQ(S().zoom3D, 7);
    for (int i = 0; i < 9; ++i) Command(kZoomOut);
    EXPECT_EQ(S().zoom3D, 1);
    PagePick(kEphemeris);
    Command(kZoomIn);
    EXPECT_EQ(S().zoom3D, 1);
}

TEST_F(OrbitFormTest, HelpShowsThePagesText) {
    WriteComets(ThreeComets());
    Open();
    const std::string expected[6] = {"Drag your stylus on the screen to change 3D view,",
                                     "Drag your stylus on the screen to rotate the view,",
                                     "Select a comet in the list to display its ephemeris,",
                                     "Display for each Comet and Asteroid display the date when",
                                     "Display the Comets and Asteroid list sorted",
                                     "Select a comet in the list to display its orbital information."};
    for (int page = 0; page < 6; ++page) {
        PagePick(page);
        ClearRecordedReports();
        Command(kHelp);
        ASSERT_FALSE(RecordedReports().empty()) << page;
        const std::string text = ReportText(RecordedReports().size() - 1);
        EXPECT_EQ(text.rfind("\x95 " + expected[page], 0), 0u) << text;
    }
    EXPECT_NE(ReportText(RecordedReports().size() - 1).find('\x95'), std::string::npos);
}

TEST_F(OrbitFormTest, BestDatesRowSetsTheDateButKeepsTheClockTime) {
    WriteComets({EnckeLike("far"), EnckeLike("near")});
    Open();
    PagePick(kBestDates);
    ASSERT_EQ(cometMagList.size(), 2u);
    EXPECT_EQ(Label(kCometPopup), "far");
    const CometListEntry e = cometMagList[1];
    // The strip under the list where the row's Earth distance is written.
    auto strip = [this] {
        std::vector<std::uint16_t> pixels;
        Call([&] {
            const platform::Surface& frame = platform::headless::Frame();
            for (int y = 320 - 35; y < 320 - 23 && y < frame.height; ++y)
                for (int x = 1; x < 120 && x < frame.width; ++x) pixels.push_back(frame.Row(y)[x]);
        });
        return pixels;
    };
    const std::vector<std::uint16_t> before = strip();
    Call([] { SetListSelection(kRowList, 1); });
    Command(kRowList);
    Call([] { platform::InvalidateRect(formWindow, nullptr, false); });
    RunUntilIdle();
    EXPECT_NE(strip(), before) << "\"Earth: \" and the distance";
    EXPECT_EQ(S().currentComet, e.record);
    EXPECT_EQ(S().year, e.year);
    EXPECT_EQ(S().month, e.month);
    EXPECT_EQ(S().day, e.day);
    EXPECT_EQ(S().hour, 21);
    EXPECT_EQ(S().minute, 30);
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d", e.hour, e.minute);
    EXPECT_EQ(Text(kTime), time);
}

TEST_F(OrbitFormTest, DataPagePenStepsRecordsFromFourPixels) {
    WriteComets(ThreeComets());
    S().page = kData;
    Open();
    EXPECT_TRUE(Visible(kSave));
    EXPECT_FALSE(Visible(kName));
    Pen(platform::kMsgPenDown, 100, 200);
    Pen(platform::kMsgPenMove, 103, 200);
    EXPECT_EQ(S().currentComet, 0);
    Pen(platform::kMsgPenMove, 107, 200);
    EXPECT_EQ(S().currentComet, 1);
    Pen(platform::kMsgPenMove, 110, 200);
    EXPECT_EQ(S().currentComet, 1);
    Pen(platform::kMsgPenMove, 100, 200);
    EXPECT_EQ(S().currentComet, 0);
    Pen(platform::kMsgPenUp, 100, 200);
    EXPECT_EQ(Text(kEccentricity), "0.84710");
    EXPECT_EQ(Text(kYear), "2023");
}

int Width(const char* text) {
    const int font = SetFont(GetDpiFactor() == 1 ? 2 : 4);
    const int w = CharsWidth(text, static_cast<int>(std::strlen(text)));
    SetFont(font);
    return w;
}

struct RowInk {
    int first = 240, last = -1;
    int magnitudeEnd = 0, dateWidth = 0;  // the widths the row places its fields by
};

// The columns a list row inks, drawn black on white into a row-sized offscreen.
RowInk InkedColumns(int row) {
    DrawWindow* off = CreateOffscreenDIB(240, 20, 16);
    DrawWindow* previous = SetDrawWindow(off);
    SetForeColor(platform::Rgb(255, 255, 255));
    DrawRectangle(Bounds{0, 0, 240, 20}, 0);
    const platform::Color text = SetTextColor(platform::Rgb(0, 0, 0));
    const int transparent = SetTextTransparent(1);
    DrawCometListRow(row, Bounds{0, 2, 240, 16});
    RowInk ink;
    ink.magnitudeEnd = Width("AAAAAAAAAAAAAAA") + Width("-00h00");
    ink.dateWidth = Width("00/00/000");
    SetTextTransparent(transparent);
    SetTextColor(text);
    SetDrawWindow(previous);
    int& first = ink.first;
    int& last = ink.last;
    for (int y = 0; y < 20; ++y) {
        const auto* line = reinterpret_cast<const std::uint16_t*>(off->pixels + (off->height - 1 - y) * off->stride);
        for (int x = 0; x < 240; ++x)
            if (line[x] != 0x7FFF) first = std::min(first, x), last = std::max(last, x);
    }
    DeleteOffscreen(off);
    return ink;
}

TEST_F(OrbitFormTest, ListRowsPlaceTheNameAndTheRightAlignedMagnitude) {
    WriteComets({EnckeLike("Name")});
    cometMagList = {CometListEntry{0, 9.25f, 2023, 10, 1, 12, 0}};
    RowInk brightest, bestDates;
    Call([&] {
        orbitForm.page = kBrightest;
        brightest = InkedColumns(0);
        orbitForm.page = kBestDates;
        bestDates = InkedColumns(0);
    });
    const int magnitudeEnd = brightest.magnitudeEnd;
    ASSERT_GT(magnitudeEnd, 0);
    // Brightest: the name from x 2, the magnitude ending 50 pixels further right.
    EXPECT_GE(brightest.first, 2);
    EXPECT_LE(brightest.first, 4);
    EXPECT_LE(brightest.last, 2 + magnitudeEnd + 50);
    EXPECT_GE(brightest.last, 2 + magnitudeEnd + 50 - 3);
    // Best Dates: the date from x 1, the magnitude after the name's place.
    EXPECT_LE(bestDates.first, 2);
    const int nameX = bestDates.dateWidth + 1;
    EXPECT_LE(bestDates.last, nameX + magnitudeEnd);
    EXPECT_GE(bestDates.last, nameX + magnitudeEnd - 3);
}

// ---- 3D view ----------------------------------------------------------------------------

CometRecord WithSemiMajorAxis(double a, double e) {
    CometRecord r = MakeComet("object", 2023, 9, 1.0, a * (1.0 - e), e, 30.0, 40.0, 5.0);
    return r;
}

TEST_F(OrbitFormTest, ThreeDViewSkipsOrbitsTooLargeOrTooSmallForTheZoom) {
    WriteComets({WithSemiMajorAxis(3.2, 0.2), WithSemiMajorAxis(3.0, 0.95),
                 MakeComet("open", 2023, 9, 1.0, 0.6, 1.2, 30.0, 40.0, 5.0)});
    S().zoom3D = 7;
    Open();
    // 3.2 AU is 410 pixels: only the Sun's and the object's orbits of that size stay.
    EXPECT_FALSE(lastOrbitView.skipped[0]);
    EXPECT_FALSE(lastOrbitView.skipped[1]);
    EXPECT_GT(lastOrbitView.segments[1], 0);
    EXPECT_FALSE(lastOrbitView.skipped[4]);  // Mars, 195 pixels
    for (int k : {5, 6, 7, 8, 9}) EXPECT_TRUE(lastOrbitView.skipped[k]) << k;
    for (int i = 0; i < 6; ++i) Command(kZoomOut);
    ASSERT_EQ(S().zoom3D, 1);
    // Two pixels an AU: everything inside 5.5 AU goes, the object's ellipse with it.
    for (int k : {1, 2, 3, 4, 5, 10}) EXPECT_TRUE(lastOrbitView.skipped[k]) << k;
    for (int k : {0, 6, 7, 8}) EXPECT_FALSE(lastOrbitView.skipped[k]) << k;
    // Near a parabola: the arc is drawn; beyond 1.1 only the point.
    Press(platform::kKeyDown);
    EXPECT_EQ(orbit3DObjects[1].type, 1);
    EXPECT_FALSE(lastOrbitView.skipped[1]);
    EXPECT_GT(lastOrbitView.segments[1], 0);
    Press(platform::kKeyDown);
    EXPECT_EQ(orbit3DObjects[1].type, 2);
    EXPECT_EQ(lastOrbitView.segments[1], 0);
    EXPECT_TRUE(lastOrbitView.symbol[1]);
}

// At night the 3D view's labels lie on its black sky like its lines: a label drawn on a box
// of the back colour would put white on the screen.
TEST_F(OrbitFormTest, ThreeDViewAtNightDrawsOnlyRed) {
    WriteComets(ThreeComets());
    Call([] {
        preferences.word[pref::nightMode] = 3;
        SetNightColours(3);
    });
    Open();
    ASSERT_TRUE(lastOrbitView.symbol[1]);
    const platform::Surface& frame = platform::headless::Frame();
    int outside = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) outside += (frame.Row(y)[x] & 0x3FF) != 0;  // green or blue bits
    Call([] {
        preferences.word[pref::nightMode] = 0;
        SetNightColours(0);
    });
    EXPECT_EQ(outside, 0);
}

TEST_F(OrbitFormTest, ThreeDViewKeepsOpenAndFarOrbitsFinite) {
    CometRecord far = MakeComet("far", 2023, 9, 1.0, 300.0, 1.5, 10.0, 20.0, 30.0);
    WriteComets({WithSemiMajorAxis(3.0, 1.0), MakeComet("hyperbola", 2023, 9, 1.0, 1.0, 1.5, 10, 20, 30), far});
    S().zoom3D = 7;
    Open();
    for (int n = 0; n < 3; ++n) {
        const Orbit3DObject& o = orbit3DObjects[1];
        EXPECT_TRUE(std::isfinite(o.sunDistance)) << n;
        EXPECT_GE(o.semiMajor, 0) << n;
        if (n == 2) {
            // Hundreds of AU at 128 pixels an AU lies beyond the drawable range.
            EXPECT_FALSE(o.positionValid);
            EXPECT_FALSE(lastOrbitView.symbol[1]);
        }
        Press(platform::kKeyDown);
    }
}

TEST_F(OrbitFormTest, ThreeDPositionAgreesWithTheOrbitSolution) {
    const CometRecord r = EnckeLike();
    WriteComets({r});
    S().zoom3D = 6;
    Open();
    const double jd = DateTimeToJD(2023, 10, 1, 21, 30, 0, 0);
    OrbitPoint p;
    ASSERT_EQ(ComputeOrbitPoint(MakeCometElements(r), jd, &p), 1);
    const Orbit3DObject& o = orbit3DObjects[1];
    const double pixel = 1.0 / 64.0;  // AU at zoom 6
    EXPECT_NEAR(o.sunDistance, std::hypot(p.x, p.y), pixel);
    CometPosition place;
    ComputeCometPosition(MakeCometElements(r), jd, 2023, &place);
    EXPECT_NEAR(o.earthDistance, place.earthDistance, 0.02);
}

TEST_F(OrbitFormTest, DraggingTurnsTheViewByTwiceTheMovement) {
    WriteComets({EnckeLike()});
    Open();
    Pen(platform::kMsgPenDown, 120, 150);
    Pen(platform::kMsgPenMove, 130, 145);
    EXPECT_EQ(S().angles[0], 350);
    EXPECT_EQ(S().angles[2], 20);
    EXPECT_EQ(S().angles[1], 0);
    Pen(platform::kMsgPenMove, 320, 245);
    EXPECT_EQ(S().angles[0], 190);
    EXPECT_EQ(S().angles[2], 40);
    Pen(platform::kMsgPenUp, 320, 245);
}

// ---- Sky view ---------------------------------------------------------------------------

TEST_F(OrbitFormTest, SkyViewTracksFifteenDatesAndCentresOnTheSeventh) {
    const CometRecord r = EnckeLike();
    WriteComets({r});
    S().page = kSkyView;
    Open();
    int year = 2023, month = 10, day = 1;
    for (int i = 0; i < kCometTrackPoints; ++i) {
        const SelectionRecord& t = cometTrackPoints[i];
        char date[40];
        FormatDate(date, day, month, year);
        EXPECT_EQ(std::string(t.label), std::string(date).substr(0, 14)) << i;
        CometPosition p;
        ComputeCometPosition(MakeCometElements(r), DateTimeToJD(year, month, day, 21, 30, 0, 0), year, &p);
        EXPECT_NEAR(t.rightAscension, p.rightAscension, 1e-5) << i;
        EXPECT_NEAR(t.declination, p.declination, 1e-4) << i;
        EXPECT_EQ(t.catalogCode, 12);
        AddDays(&year, &month, &day, 7);
    }
    // Point 6 stands at the centre of the page.
    const SelectionRecord& centre = cometTrackPoints[6];
    ASSERT_EQ(centre.offChart, 0);
    EXPECT_NEAR(SelectionPixelX(centre), S().viewRect.x + S().viewRect.width / 2, 2);
    EXPECT_NEAR(SelectionPixelY(centre), S().viewRect.y + S().viewRect.height / 2, 2);
}

TEST_F(OrbitFormTest, SkyViewDragWrapsTheTurnAndStopsAtThePole) {
    WriteComets({EnckeLike()});
    S().page = kSkyView;
    Open();
    const double scale = GetZoomFieldWidth(S().skyFieldIndex) / 120.0;
    S().skyCentre[0] = 0.5f;
    S().skyCentre[1] = 80.0f;
    Pen(platform::kMsgPenDown, 120, 150);
    Pen(platform::kMsgPenMove, 118, 150);  // under 4 pixels: nothing
    EXPECT_FLOAT_EQ(S().skyCentre[0], 0.5f);
    Pen(platform::kMsgPenMove, 110, 150);
    EXPECT_NEAR(S().skyCentre[0], 360.0 + 0.5 - 10 * scale, 1e-3);
    Pen(platform::kMsgPenMove, 110, 150 + static_cast<int>(20.0 / scale));
    EXPECT_FLOAT_EQ(S().skyCentre[1], 90.0f);
    Pen(platform::kMsgPenUp, 110, 150);
    EXPECT_EQ(S().skyCentre[1], 90.0f);
}

TEST_F(OrbitFormTest, SkyViewTapIdentifiesATrackPointAndCentresOnItNext) {
    WriteComets({EnckeLike()});
    S().page = kSkyView;
    S().stepIndex = 2;
    S().skyFieldIndex = 4;
    Open();
    const SelectionRecord& point = cometTrackPoints[8];
    ASSERT_EQ(point.offChart, 0);
    const int x = SelectionPixelX(point), y = SelectionPixelY(point);
    Pen(platform::kMsgPenDown, x, y);
    Pen(platform::kMsgPenUp, x, y);
    EXPECT_EQ(S().skyCentrePoint, 8);
    EXPECT_EQ(S().skyCentre[0], 0.0f);
    // The next drawing centres there.
    Call([] { RefreshOrbitForm(orbitForm.currentComet); });
    RunUntilIdle();
    EXPECT_NE(S().skyCentre[0], 0.0f);
}

// ---- Ephemeris --------------------------------------------------------------------------

TEST_F(OrbitFormTest, EphemerisRowsFollowTheStepWithoutADayBarOnANarrowScreen) {
    const CometRecord r = EnckeLike();
    WriteComets({r});
    S().page = kEphemeris;
    S().stepIndex = 2;  // 5 days
    Open();
    ASSERT_EQ(cometEphemerisRows.size(), static_cast<std::size_t>((320 - 80) / 20));
    int year = 2023, month = 10, day = 1;
    for (const CometEphemerisRow& row : cometEphemerisRows) {
        EXPECT_DOUBLE_EQ(row.jd, DateTimeToJD(year, month, day, 21, 30, 0, 0));
        EXPECT_FALSE(row.dayBar);
        CometPosition p;
        ComputeCometPosition(MakeCometElements(r), row.jd, year, &p);
        char distance[32];
        std::snprintf(distance, sizeof distance, "%.3f", p.earthDistance);
        EXPECT_STREQ(row.text[6], distance);
        AddDays(&year, &month, &day, 5);
    }
    // A vertical drag moves the date a day a pixel.
    Pen(platform::kMsgPenDown, 100, 100);
    Pen(platform::kMsgPenMove, 100, 112);
    EXPECT_EQ(S().day, 13);
    Pen(platform::kMsgPenMove, 100, 109);
    EXPECT_EQ(S().day, 10);
    Pen(platform::kMsgPenUp, 100, 109);
    EXPECT_DOUBLE_EQ(cometEphemerisRows[0].jd, DateTimeToJD(2023, 10, 10, 21, 30, 0, 0));
}

class OrbitWideFormTest : public OrbitFormTest {
protected:
    OrbitWideFormTest() { options.width = 320; }
};

TEST_F(OrbitWideFormTest, EphemerisAddsADayBarOnAWideScreen) {
    WriteComets({EnckeLike()});
    S().page = kEphemeris;
    Open();
    ASSERT_FALSE(cometEphemerisRows.empty());
    EXPECT_TRUE(cometEphemerisRows[0].dayBar);
}

}  // namespace
