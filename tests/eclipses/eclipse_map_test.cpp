// The Map page of a solar eclipse (the track, drags and taps), the Info page at a place and
// the Diagram globe under the stylus, on a small generated world map.
#include "eclipses/eclipse_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/time_scales.h"
#include "eclipses/central_line.h"
#include "eclipses/eclipse_form_fixture.h"
#include "eclipses/eclipse_page_text.h"
#include "eclipses/local_circumstances.h"
#include "eclipses/umbra_ground.h"
#include "platform/headless.h"
#include "shell/world_map.h"
#include "support/fixture_files.h"

using namespace eclipse_form;
using namespace eclipse_test;

namespace {

class EclipseMapTest : public EclipseFormTest {
protected:
    void SetUp() override {
        withWorldMap = true;
        EclipseFormTest::SetUp();
    }
    void OpenAt(int year, int month, int day) {
        Open();
        TypeIntoField(kYear, std::to_string(year));
        row = RowOf(year, month, day);
        ASSERT_GE(row, 0);
        Select(row);
    }
    void PenDown(int x, int y) {
        platform::headless::PenDown(platform::ClientToScreen(formWindow, {x, y}));
        RunUntilIdle();
    }
    void PenMove(int x, int y) {
        platform::headless::PenMove(platform::ClientToScreen(formWindow, {x, y}));
        RunUntilIdle();
    }
    void PenUp(int x, int y) {
        platform::headless::PenUp(platform::ClientToScreen(formWindow, {x, y}));
        RunUntilIdle();
    }
    void TapAt(int x, int y) {
        PenDown(x, y);
        PenUp(x, y);
    }
    // Whether GetLocalEclipse finds the axis on the Earth `minutes` after a record.
    static bool HitsAt(const TrackRecord& r, int minutes, const EclipseEntry& e) {
        int y = e.year, m = e.month, d = e.day, h = 0, mi = 0;
        AddMinutes(&y, &m, &d, &h, &mi, static_cast<int>(std::lround(r.hours * 60.0)) + minutes);
        LocalEclipse ground;
        return GetLocalEclipse(&ground, y, m, d, h, mi, 0) != 0;
    }
    // UT hours of "... at %dh%02dm%02d UT..." in a recorded text.
    static double BoxHours(const char* prefix) {
        const int i = FindPageText(prefix);
        if (i < 0) return -1.0;
        int h, m, s;
        const char* at = std::strstr(eclipsePageTexts.items[i].text, " at ");
        if (!at || std::sscanf(at, " at %dh%dm%d", &h, &m, &s) != 3) return -1.0;
        return h + m / 60.0 + s / 3600.0;
    }
    int row = -1;
};

TEST_F(EclipseMapTest, TrackOf2024IsInTimeOrderAlongTheCentralLine) {
    OpenAt(2024, 4, 8);
    const EclipseEntry before = eclipseState.eclipseList[row];
    Pick(kPagePopup, kPageList, kPageMap);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    const EclipseState& s = eclipseState;
    ASSERT_GT(s.trackCount, 30);
    ASSERT_LE(s.trackCount, kTrackCapacity);
    const EclipseEntry& e = s.eclipseList[row];
    EXPECT_EQ(e.year, before.year);
    EXPECT_EQ(e.month, before.month);
    EXPECT_EQ(e.day, before.day);
    EXPECT_EQ(e.hour, before.hour);
    EXPECT_EQ(e.minute, before.minute);
    const double deltaT = GetDeltaT(e.year, e.month, e.day);
    for (int i = 0; i < s.trackCount; ++i) {
        const TrackRecord& r = s.trackTable[i];
        if (i > 0) {
            EXPECT_NEAR(r.hours - s.trackTable[i - 1].hours, 5.0 / 60.0, 1e-9) << i;
        }
        // The centre lies on the central line: within 0.2 degrees of its point at the
        // record's instant, give or take the seconds in which the shadow races over the
        // ground near sunrise and sunset.
        double best = 1e9;
        for (int second = -60; second <= 60; ++second) {
            double latitude, longitude, duration, width;
            if (!GetCentralLinePoint(s.elements, r.hours + second / 3600.0, deltaT, &latitude, &longitude, &duration,
                                     &width))
                continue;
            const double dx = std::remainder(r.longitude - longitude, 360.0) * std::cos(latitude * test_units::kDeg);
            const double d = std::hypot(dx, r.latitude - latitude);
            best = std::min(best, d);
        }
        EXPECT_LT(best, 0.2) << i;
    }
    // The first and the last records are where the axis still meets the Earth.
    bool before0 = true, after0 = true;
    Call([&] {
        before0 = HitsAt(s.trackTable[0], -5, e);
        after0 = HitsAt(s.trackTable[s.trackCount - 1], 5, e);
    });
    EXPECT_FALSE(before0);
    EXPECT_FALSE(after0);
    // A redraw computes nothing again.
    const int count = s.trackCount;
    Pick(kPagePopup, kPageList, kPageMap);
    EXPECT_EQ(s.trackCount, count);
}

TEST_F(EclipseMapTest, TrackAcrossMidnightAndTheDateLineStaysWholeAndUnjoinedAtTheSeam) {
    // NASA: greatest 23:53 UT at 49.1 N 176.3 E.
    OpenAt(2012, 5, 20);
    Pick(kPagePopup, kPageList, kPageMap);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    const EclipseState& s = eclipseState;
    const EclipseEntry& e = s.eclipseList[row];
    EXPECT_EQ(e.day, 20);
    EXPECT_EQ(e.month, 5);
    EXPECT_EQ(s.listYear, 2012);
    EXPECT_EQ(s.listMonth, 1);
    EXPECT_EQ(s.listDay, 1);
    ASSERT_GT(s.trackCount, 20);
    EXPECT_LT(s.trackTable[0].hours, 24.0);
    EXPECT_GT(s.trackTable[s.trackCount - 1].hours, 24.0);
    bool crossed = false;
    for (int i = 1; i < s.trackCount; ++i) {
        EXPECT_GT(s.trackTable[i].hours, s.trackTable[i - 1].hours);
        crossed |= std::fabs(s.trackTable[i].longitude - s.trackTable[i - 1].longitude) > 180.0;
    }
    EXPECT_TRUE(crossed);
    bool before0 = true, after0 = true;
    Call([&] {
        before0 = HitsAt(s.trackTable[0], -5, e);
        after0 = HitsAt(s.trackTable[s.trackCount - 1], 5, e);
    });
    EXPECT_FALSE(before0);
    EXPECT_FALSE(after0);

    // Two records on both sides of 180 degrees with the seam left of the screen lie a whole
    // map apart, both off the screen: no line of theirs may cross the view. Two neighbours
    // on the screen are joined.
    auto blackAfter = [&](double west, double east) {
        Call([&] {
            EclipseState& st = eclipseState;
            for (int i = 0; i < 2; ++i) {
                TrackRecord& r = st.trackTable[i];
                r = TrackRecord{};
                r.latitude = 49.0;
                r.longitude = i == 0 ? west : east;
                r.hours = 24.0 + i / 12.0;
                for (int k = 0; k < kTrackLevelRows; ++k) r.rows[k] = 200 + 20 * k;
            }
            st.trackCount = 2;
            st.mapOffsetX = -1000;
            st.mapOffsetY = 0;
            DrawOnForm(formWindow, [] { DrawEclipseMap(1, eclipseState.mapRect); });
        });
        int black = 0;
        for (int y = s.mapRect[1]; y < s.mapRect[1] + s.mapRect[3]; ++y)
            for (int x = 0; x < s.mapRect[2]; ++x) black += PixelAt(x, y) == 0;
        return black;
    };
    EXPECT_EQ(blackAfter(179.5, -179.5), 0);
    EXPECT_GT(blackAfter(30.0, 28.0), 100);
}

TEST_F(EclipseMapTest, DragsScrollTheMapAndTapsShowTheLocalEclipse) {
    OpenAt(2024, 4, 8);
    Pick(kPagePopup, kPageList, kPageMap);
    EclipseState& s = eclipseState;
    const int rectY = s.mapRect[1];
    EXPECT_EQ(rectY, 24);
    // The map is centred on the central point.
    double longitude, latitude;
    WorldMapPlaceAt(s.mapRect[2] / 2, rectY + s.mapRect[3] / 2, Bounds{0, rectY, s.mapRect[2], s.mapRect[3]},
                    s.mapOffsetX, s.mapOffsetY, &longitude, &latitude);
    EXPECT_NEAR(longitude, s.centralLongitude, 0.3);
    EXPECT_NEAR(latitude, s.centralLatitude, 0.3);

    // 117 W, 33 N: a partial eclipse. A wobble of 3 pixels is still a tap.
    const int x = s.mapOffsetX + static_cast<int>((180.0 - 117.0) * kWorldMapPixelsPerDegreeX + 0.5);
    const int y = rectY + s.mapOffsetY + static_cast<int>((90.0 - 33.0) * kWorldMapPixelsPerDegreeY + 0.5);
    ASSERT_GT(x, 0);
    ASSERT_LT(x, 240);
    PenDown(x, y);
    PenMove(x + 3, y);
    PenUp(x, y);
    EXPECT_NEAR(s.typedLongitude, 117.0, 0.2);
    EXPECT_NEAR(s.typedLatitude, 33.0, 0.2);
    EXPECT_EQ(Text(kLongitude).substr(0, 3), "116");
    EXPECT_EQ(Text(kLongitude).back(), 'W');
    EXPECT_EQ(Text(kLatitude).back(), 'N');
    ASSERT_GE(FindPageText("At 116"), 0);
    LocalEclipse local;
    Call([&] {
        const EclipseEntry& e = s.eclipseList[row];
        FindLocalContacts(&local, e.year, e.month, e.day, e.hour, e.minute, s.typedLatitude, s.typedLongitude);
    });
    EXPECT_NEAR(BoxHours("Partial Start"), local.outerStart, 30.0 / 3600.0);
    EXPECT_NEAR(BoxHours("Greatest"), local.maxTime, 30.0 / 3600.0);
    EXPECT_NEAR(BoxHours("Partial End"), local.outerEnd, 30.0 / 3600.0);
    const int percent = FindPageText("Greatest");
    ASSERT_GE(percent, 0);
    EXPECT_NE(std::strstr(eclipsePageTexts.items[percent].text, "%"), nullptr);

    // Four pixels make a drag: the map follows and no tap comes after it.
    const int offsetX = s.mapOffsetX;
    const double typed = s.typedLongitude;
    PenDown(120, 150);
    PenMove(124, 150);
    PenUp(124, 150);
    EXPECT_EQ(s.mapOffsetX, offsetX + 4);
    EXPECT_EQ(s.typedLongitude, typed);
    EXPECT_EQ(s.penDragged, 0);

    // Past the top and the bottom the map stops; sideways it goes round.
    for (int i = 0; i < 6; ++i) {
        PenDown(120, 40);
        PenMove(120, 290);
        PenUp(120, 290);
    }
    EXPECT_EQ(s.mapOffsetY, 0);
    for (int i = 0; i < 6; ++i) {
        PenDown(120, 290);
        PenMove(120, 40);
        PenUp(120, 40);
    }
    EXPECT_EQ(s.mapOffsetY, s.mapRect[3] - kWorldMapHalf);
    for (int i = 0; i < 12; ++i) {
        PenDown(230, 150);
        PenMove(10, 150);
        PenUp(10, 150);
        EXPECT_GT(s.mapOffsetX, -kWorldMapHalf);
        EXPECT_LT(s.mapOffsetX, kWorldMapHalf);
    }
    // A tap outside the map draws nothing.
    int result = -1;
    const int texts = eclipsePageTexts.count;
    Call([&] { DrawOnForm(formWindow, [&] { result = HandleEclipsePenUp(120, 310); }); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(eclipsePageTexts.count, texts);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

TEST_F(EclipseMapTest, MissingMapPicturesLeaveAGraticuleThatStillWorks) {
    fs::remove(resources / "bitmaps" / "generated" / "6015.png");
    fs::remove(resources / "bitmaps" / "generated" / "6016.png");
    OpenAt(2024, 4, 8);
    Pick(kPagePopup, kPageList, kPageMap);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    EXPECT_GT(eclipseState.trackCount, 30);
    EXPECT_EQ(eclipseState.mapHalves.west, nullptr);
    int lines = 0;
    for (int x = 0; x < 240; ++x) lines += PixelAt(x, 100) == Px(28, 28, 30);
    EXPECT_GT(lines, 0);
}

TEST_F(EclipseMapTest, InfoPageAtAPlaceAndTime) {
    OpenAt(2024, 4, 8);
    Command(kInfoButton);
    // Outside the central eclipse: the explanation with the time of greatest eclipse.
    SetText(kTime, "12:00:00");
    Command(kTimeSet);
    ASSERT_GE(FindPageText("No central eclipse at this time."), 0);
    EXPECT_NE(std::strstr(eclipsePageTexts.items[FindPageText("No central")].text, "is at 18:17 UT"), nullptr);

    // A place with a partial eclipse, then one on the central line.
    SetText(kLatitude, "33\xB0" "00.0 N");
    SetText(kLongitude, "117\xB0" "00.0 W");
    Command(kPlaceSet);
    ASSERT_GE(FindPageText("(Eclipse at "), 0);
    EXPECT_LT(FindPageText("(Total Eclipse"), 0);
    EXPECT_GE(FindPageText("  Partial from"), 0);
    EXPECT_LT(FindPageText("  Total from"), 0);

    SetText(kLatitude, "25\xB0" "17.0 N");
    SetText(kLongitude, "104\xB0" "08.0 W");
    Command(kPlaceSet);
    ASSERT_GE(FindPageText("(Total Eclipse m=1.0"), 0);
    // The umbra's lines in their order, then the transit.
    int previous = -1;
    for (const char* text : {"Alt ", "04m", " ", "Ellipse umbra", "  \xDF: ", "  a: ", "  b: ", "  L: ", "  half Diam: ",
                             "Umbra transit", "(Total Eclipse m=1.0", "  Partial from", "  Total from"}) {
        const int at = FindPageText(text, previous + 1);
        EXPECT_GT(at, previous) << text;
        if (at > previous) previous = at;
    }
    const int centre = FindPageText("04m");
    ASSERT_GE(centre, 0);
    EXPECT_NE(std::strstr(eclipsePageTexts.items[centre].text, " on center "), nullptr);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

TEST_F(EclipseMapTest, DiagramGlobeTurnsUnderTheStylus) {
    OpenAt(2024, 4, 8);
    Pick(kPagePopup, kPageList, kPageDiagram);
    EclipseState& s = eclipseState;
    const int longitude = s.globeLongitude;
    PenDown(120, 180);
    PenMove(123, 180);
    EXPECT_EQ(s.globeDragged, 0);
    PenMove(124, 180);
    EXPECT_EQ(s.globeDragged, 1);
    EXPECT_EQ(s.globeLongitude, (longitude + 4) % 360);
    PenMove(4, 60);
    EXPECT_GE(s.globeLongitude, 0);
    EXPECT_LE(s.globeLongitude, 359);
    EXPECT_GE(s.globeLatitude, 0);
    EXPECT_LE(s.globeLatitude, 359);
    EXPECT_EQ(s.globeLongitude, ((longitude + 4 - 120) % 360 + 360) % 360);
    PenUp(4, 60);
    EXPECT_EQ(s.globeDragged, 0);
    EXPECT_EQ(s.page, kPageDiagram);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
}

}  // namespace
