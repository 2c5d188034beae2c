// The lunar eclipse pages against NASA's published circumstances and the Moon's place from
// python3-ephem (tests/data/eclipses/lunar_pages_ephem.txt, tools/make_eclipse_fixtures.py).
#include "eclipses/lunar_eclipse_pages.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "astro/quick_sun_moon.h"
#include "core/calendar.h"
#include "core/settings.h"
#include "eclipses/eclipse_form_fixture.h"
#include "eclipses/eclipse_list.h"
#include "eclipses/eclipse_page_text.h"
#include "shell/form_paint_step.h"
#include "support/fixture_files.h"

using namespace eclipse_form;
using namespace eclipse_test;

namespace {

// Greatest eclipse as NASA lists it.
const EclipseEntry kTotal2022{0, 4.0, 2022, 11, 8, 10, 59, 11, 0, -1};
const EclipseEntry kPartial2024{0, 2.0, 2024, 9, 18, 2, 44, 18, 0, -1};
const EclipseEntry kPenumbral2024{0, 1.0, 2024, 3, 25, 7, 12, 51, 0, -1};

double HoursOf(double jd) {
    int y, m, d, h, mi, s;
    JDToDate(jd, &y, &m, &d, &h, &mi, &s);
    return h + mi / 60.0 + s / 3600.0;
}

std::string PageText(int i) { return i >= 0 && i < eclipsePageTexts.count ? eclipsePageTexts.items[i].text : ""; }

TEST(LunarEclipseQuantities, ContactsAndMagnitudesByKind) {
    double q[kLunarCircumstanceCount];
    ASSERT_EQ(LunarEclipseQuantities(kTotal2022, q), 1);
    // NASA: P1 08:02, U1 09:09, U2 10:16, U3 11:41, U4 12:49, P4 13:56 UT; umbral magnitude 1.359.
    const struct {
        int slot;
        double hours;
    } published[] = {{kLunarP1, 8 + 2 / 60.0},   {kLunarU1, 9 + 9 / 60.0},   {kLunarU2, 10 + 16 / 60.0},
                     {kLunarU3, 11 + 41 / 60.0}, {kLunarU4, 12 + 49 / 60.0}, {kLunarP4, 13 + 56 / 60.0}};
    for (const auto& p : published) {
        ASSERT_TRUE(LunarContactOccurs(q, p.slot)) << p.slot;
        EXPECT_NEAR(HoursOf(q[p.slot]), p.hours, 3.0 / 60.0) << p.slot;
    }
    EXPECT_NEAR(q[kLunarUmbralMagnitude], 1.359, 0.02);

    ASSERT_EQ(LunarEclipseQuantities(kPartial2024, q), 1);
    EXPECT_TRUE(LunarContactOccurs(q, kLunarU1));
    EXPECT_TRUE(LunarContactOccurs(q, kLunarU4));
    EXPECT_FALSE(LunarContactOccurs(q, kLunarU2));
    EXPECT_FALSE(LunarContactOccurs(q, kLunarU3));
    EXPECT_NEAR(HoursOf(q[kLunarU1]), 2 + 13 / 60.0, 3.0 / 60.0);

    ASSERT_EQ(LunarEclipseQuantities(kPenumbral2024, q), 1);
    for (int slot : {kLunarU1, kLunarU2, kLunarU3, kLunarU4}) EXPECT_FALSE(LunarContactOccurs(q, slot)) << slot;
    EXPECT_TRUE(LunarContactOccurs(q, kLunarP1));
    EXPECT_LT(q[kLunarUmbralMagnitude], 0.0);
}

TEST(LunarEclipseGeometry, MoonPlaceAndSubLunarPointAgreeWithEphem) {
    const auto contacts = ReadTaggedFixtureRows("eclipses/lunar_pages_ephem.txt", "contact");
    ASSERT_GE(contacts.size(), 10u);
    for (const auto& r : contacts) {
        const double jd = JulianDay0h(int(r[0]), int(r[1]), int(r[2])) + r[4] / 24.0;
        double altitude, azimuth;
        LunarAltitudeAzimuth(jd, -r[6], r[5], &altitude, &azimuth);
        EXPECT_NEAR(altitude, r[7], 0.3) << r[0] << "-" << r[1] << " slot " << r[3];
        EXPECT_NEAR(std::remainder(azimuth - r[8], 360.0), 0.0, 0.3 / std::cos(altitude * test_units::kDeg));
    }
    const auto zeniths = ReadTaggedFixtureRows("eclipses/lunar_pages_ephem.txt", "zenith");
    ASSERT_EQ(zeniths.size(), 2u);
    for (const auto& z : zeniths) {
        const int seconds = static_cast<int>(std::lround(z[3] * 3600.0));
        double mapLongitude, latitude;
        SubLunarPoint(int(z[0]), int(z[1]), int(z[2]), seconds / 3600, seconds / 60 % 60, seconds % 60, &mapLongitude,
                      &latitude);
        EXPECT_NEAR(latitude, z[4], 1.0);
        EXPECT_NEAR(std::remainder(mapLongitude - 180.0 - z[5], 360.0), 0.0, 1.0);

        // On the meridian of the sub-lunar point the horizon lies 90 degrees from it, on the
        // side of the farther pole.
        const int width = 360, height = 180;
        std::vector<int> rows(width);
        const double jd = JulianDay0h(int(z[0]), int(z[1]), int(z[2])) + z[3] / 24.0;
        LunarHorizonRows(jd, 0, width, height, rows.data());
        const int column = static_cast<int>(std::lround(mapLongitude)) % width;
        const double expected = latitude > 0.0 ? latitude - 90.0 : latitude + 90.0;
        EXPECT_NEAR(height / 2.0 - rows[column], expected, 1.5);
    }
}

TEST(LunarEclipseGeometry, MoonOnTheEquatorDrawsNoStrayRow) {
    // Find a crossing of the equator by bisection on the Moon's declination.
    const ObserverLocation ut = MakeSite(0.0f, 0.0f, 0);
    auto declination = [&](double jd) {
        int y, m, d, h, mi, s;
        JDToDate(jd, &y, &m, &d, &h, &mi, &s);
        double ra, dec;
        MoonPositionAt(ut, 69.0, &ra, &dec, y, m, d, h, mi, s);
        return dec;
    };
    double a = JulianDay0h(2022, 11, 1), b = a + 1.0;
    while (declination(a) * declination(b) > 0.0) {
        a = b;
        b += 1.0;
        ASSERT_LT(a, JulianDay0h(2022, 12, 1));
    }
    for (int i = 0; i < 40; ++i) {
        const double m = (a + b) / 2.0;
        if (declination(a) * declination(m) <= 0.0) b = m;
        else a = m;
    }
    for (double jd : {a, b, a - 1.0 / 1440.0, b + 1.0 / 1440.0}) {
        std::vector<int> rows(240);
        LunarHorizonRows(jd, 24, 240, 120, rows.data());
        for (int c = 0; c < 240; ++c) {
            EXPECT_GE(rows[c], 24) << c;
            EXPECT_LE(rows[c], 24 + 120) << c;
        }
    }
}

class LunarPagesTest : public EclipseFormTest {
protected:
    void OpenAt(const EclipseEntry& entry) {
        Open();
        TypeIntoField(kYear, std::to_string(entry.year));
        const int row = RowOf(entry.year, entry.month, entry.day);
        ASSERT_GE(row, 0);
        Select(row);
    }
    // The recorded texts that follow the one starting with `label` on its line.
    static std::vector<std::string> LineAfter(const char* label, int from = 0) {
        std::vector<std::string> out;
        const int i = FindPageText(label, from);
        if (i < 0) return out;
        for (int k = i; k < eclipsePageTexts.count && eclipsePageTexts.items[k].y == eclipsePageTexts.items[i].y; ++k)
            out.push_back(eclipsePageTexts.items[k].text);
        return out;
    }
};

TEST_F(LunarPagesTest, InfoPageShowsTheContactsAndTheMoonsAltitudeForTheTypedPlace) {
    OpenAt(kTotal2022);
    Call([] { SetSiteCoordinates(-10.5, 48.25, 60); });
    Command(kInfoButton);
    SetText(kLatitude, "40\xB0" "00.0 N");
    SetText(kLongitude, "100\xB0" "00.0 W");
    ClearRecordedReports();
    Command(kPlaceSet);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    EXPECT_FLOAT_EQ(observerLocation.longitude, -10.5f);
    EXPECT_FLOAT_EQ(observerLocation.latitude, 48.25f);
    EXPECT_EQ(observerLocation.zoneMinutes, 60);
    EXPECT_EQ(Text(kLatitude), "40\xB0" "00.0 N");
    EXPECT_EQ(Text(kLongitude), "100\xB0" "00.0 W");

    EXPECT_GE(FindPageText("Current Positions"), 0);
    EXPECT_GE(FindPageText("(Gamma "), 0);
    EXPECT_GE(FindPageText("Azt"), 0);
    const std::vector<std::string> umbral = LineAfter("Umbral Magnitude");
    ASSERT_GE(umbral.size(), 2u);
    EXPECT_NEAR(std::atof(umbral[1].c_str()), 1.359, 0.02);

    // The full table: each contact with its time and the Moon's altitude (trunc of degrees)
    // against ephem at NASA's instant, which the phase routine's contacts are within 3
    // minutes of.
    const auto rows = ReadTaggedFixtureRows("eclipses/lunar_pages_ephem.txt", "contact");
    const struct {
        const char* label;
        int slot;
    } table[] = {{"Penumbra Start", 0}, {"Umbra Start", 1}, {"Total start", 2},
                 {"Total End", 4},      {"Umbra End", 5},   {"Penumbra End", 6}};
    int previous = -1;
    for (const auto& t : table) {
        SCOPED_TRACE(t.label);
        const int at = FindPageText(t.label);
        ASSERT_GT(at, previous);  // in time order
        previous = at;
        const std::vector<std::string> line = LineAfter(t.label);
        ASSERT_EQ(line.size(), 5u);
        for (const auto& r : rows) {
            if (r[0] != 2022 || r[5] != 40.0 || int(r[3]) != t.slot) continue;
            const int h = std::atoi(line[2].c_str()), m = std::atoi(line[2].c_str() + 3);
            EXPECT_NEAR(h + m / 60.0, r[4], 3.5 / 60.0) << line[2];
            EXPECT_NEAR(std::atof(line[3].c_str()), r[7], 2.0) << line[3];
            EXPECT_NEAR(std::remainder(std::atof(line[4].c_str()) - r[8], 360.0), 0.0, 3.0) << line[4];
        }
    }
    EXPECT_GE(FindPageText("Greatest"), 0);

    // A low-density screen: no current positions, no gamma, no azimuth column.
    SetDpiFactorOverride(1);
    Command(kInfoButton);
    EXPECT_LT(FindPageText("Current Positions"), 0);
    EXPECT_GE(FindPageText("(Axis "), 0);
    EXPECT_LT(FindPageText("Azt"), 0);
    EXPECT_EQ(LineAfter("Penumbra Start").size(), 4u);
}

TEST_F(LunarPagesTest, InfoPageListsOnlyTheContactsThatHappen) {
    struct Case {
        EclipseEntry entry;
        bool umbra, total;
    };
    for (const Case& c : {Case{kPartial2024, true, false}, Case{kPenumbral2024, false, false}}) {
        SCOPED_TRACE(c.entry.year * 100 + c.entry.month);
        Call([] {
            FreeEclipseData();
            eclipseState = EclipseState{};
        });
        OpenAt(c.entry);
        Command(kInfoButton);
        EXPECT_GE(FindPageText("Penumbra Start"), 0);
        EXPECT_EQ(FindPageText("Umbra Start") >= 0, c.umbra);
        EXPECT_EQ(FindPageText("Total start") >= 0, c.total);
        EXPECT_EQ(FindPageText("Total End") >= 0, c.total);
        const std::vector<std::string> umbral = LineAfter("Umbral Magnitude");
        ASSERT_GE(umbral.size(), 2u);
        if (!c.umbra) {
            EXPECT_EQ(umbral[1], "-");
        }

        // Compact on a screen 240 high: the contact pairs without altitudes, and the site
        // as it was.
        const float longitude = observerLocation.longitude;
        Call([&] {
            DrawOnForm(formWindow, [&] {
                DrawLunarEclipseInfo(eclipseState.eclipseList, eclipseState.selectedRow, 240, 240, 1, 2, 3, 100.0, 40.0);
            });
        });
        EXPECT_FLOAT_EQ(observerLocation.longitude, longitude);
        const int greatest = FindPageText("(Greatest at ");
        ASSERT_GE(greatest, 0);
        EXPECT_LT(FindPageText("Penumbra Start"), 0);
        const std::vector<std::string> penumbra = LineAfter("Penumbra", greatest);
        ASSERT_EQ(penumbra.size(), 5u);
        EXPECT_EQ(penumbra[1], ": P1=");
        EXPECT_EQ(penumbra[3], " P4=");
        EXPECT_EQ(FindPageText("Umbra", greatest) >= 0, c.umbra);
        EXPECT_LT(FindPageText("Total", greatest), 0);
        EXPECT_EQ(Text(kTime), "01:02:03");
        Command(kListButton);
    }
}

TEST_F(LunarPagesTest, PathPageDrawsAHorizonLinePerContactAndTheZenithPoint) {
    OpenAt(kTotal2022);
    Pick(kPagePopup, kPageList, kPagePath);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    EXPECT_GE(FindPageText("Path of "), 0);
    EXPECT_GE(FindPageText("Contacts:"), 0);
    EXPECT_GE(FindPageText("Penumbra: P1="), 0);
    EXPECT_GE(FindPageText("Umbra: U1="), 0);
    EXPECT_GE(FindPageText("Total Phase: U2="), 0);
    EXPECT_GE(FindPageText("All Eclipse"), 0);
    EXPECT_GE(FindPageText("Visible"), 0);
    for (const char* name : {"P1", "U1", "U2", "U3", "U4", "P4"}) EXPECT_GE(FindPageText(name), 0) << name;
    // The P1 line in the curve colour on the small map.
    double q[kLunarCircumstanceCount];
    LunarEclipseQuantities(eclipseState.eclipseList[eclipseState.selectedRow], q);
    std::vector<int> rows(240);
    LunarHorizonRows(q[kLunarP1], 37, 240, 120, rows.data());
    int lit = 0;
    for (int c = 10; c < 230; c += 20) lit += PixelAt(c, rows[c]) == Px(28, 28, 28);
    EXPECT_GE(lit, 8);

    // Lines drawn: six for a total eclipse, two for a penumbral one.
    int drawn = 0;
    ClearPageTexts();
    Call([&] {
        DrawOnForm(formWindow, [&] { drawn = DrawLunarEclipseDiagram(&kTotal2022, nullptr, 0, 0, 37, 240, 120); });
    });
    EXPECT_EQ(drawn, 6);
    ClearPageTexts();
    Call([&] {
        DrawOnForm(formWindow, [&] { drawn = DrawLunarEclipseDiagram(&kPenumbral2024, nullptr, 0, 0, 37, 240, 120); });
    });
    EXPECT_EQ(drawn, 2);
    EXPECT_LT(FindPageText("U1"), 0);
}

TEST_F(LunarPagesTest, DiagramPageShowsTheShadowAndTheMoonAtEachContact) {
    OpenAt(kTotal2022);
    Pick(kPagePopup, kPageList, kPageDiagram);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    // The umbra in the middle of the square, the penumbra's ring around it (off the
    // ecliptic, which crosses the centre).
    const int cx = 70 + 50, cy = 130 + 50;
    EXPECT_EQ(PixelAt(cx, cy - 20), Px(31, 19, 19));
    EXPECT_EQ(PixelAt(cx, cy + 20), Px(31, 19, 19));
    EXPECT_EQ(PixelAt(cx, cy - 58), Px(25, 25, 31));
    EXPECT_EQ(PixelAt(cx, cy + 58), Px(25, 25, 31));
    // Radii from the Moon's apparent diameter, against ephem's.
    const auto radii = ReadTaggedFixtureRows("eclipses/lunar_pages_ephem.txt", "radii");
    ASSERT_GE(radii.size(), 1u);
    const int p = FindPageText("P. Radius="), u = FindPageText("U. Radius=");
    ASSERT_GE(p, 0);
    ASSERT_GE(u, 0);
    EXPECT_NEAR(std::atof(PageText(p).c_str() + 10), radii[0][3], 0.02);
    EXPECT_NEAR(std::atof(PageText(u).c_str() + 10), radii[0][4], 0.02);
    // Every contact in the list and beside its Moon; the Moon comes from the west (right).
    for (const char* list : {"P1=", "U1=", "U2=", "U3=", "U4=", "P4="}) EXPECT_GE(FindPageText(list), 0) << list;
    const int p1 = FindPageText("P1"), p4 = FindPageText("P4");
    ASSERT_GE(p1, 0);
    ASSERT_GE(p4, 0);
    EXPECT_GT(eclipsePageTexts.items[p1].x, cx);
    EXPECT_LT(eclipsePageTexts.items[p4].x, cx);

    // The same picture of the Moon on a low-density screen.
    SetDpiFactorOverride(1);
    Pick(kPagePopup, kPageList, kPageDiagram);
    EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    EXPECT_GE(FindPageText("P4="), 0);
}

TEST_F(LunarPagesTest, SummaryHatchesTheNightSideGreyByDay) {
    OpenAt(kPenumbral2024);
    auto count = [&](std::uint16_t colour) {
        int n = 0;
        for (int y = 24; y < 298; ++y)
            for (int x = 0; x < 240; ++x) n += PixelAt(x, y) == colour;
        return n;
    };
    EXPECT_GT(count(Px(19, 19, 19)), 100);
    EXPECT_EQ(count(Px(19, 0, 0)), 0);
}

}  // namespace
