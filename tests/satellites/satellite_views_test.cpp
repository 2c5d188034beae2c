// The satellite form's searches and views on the headless screen: the Pass, Transit, Next
// and Flare lists against the python3-ephem passes, the details band, the Sky View with its
// pen and the show-in-sky command, and the Globe.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalog/element_lines.h"
#include "chart/chart_settings.h"
#include "core/calendar.h"
#include "core/settings.h"
#include "moon/globe_drawing.h"
#include "moon/map_textures.h"
#include "platform/headless.h"
#include "platform/resources.h"
#include "platform/surface.h"
#include "platform/window.h"
#include "satellites/satellite_fixture.h"
#include "satellites/satellite_geometry.h"
#include "satellites/satellite_searches.h"
#include "satellites/satellite_views.h"
#include "satellites/satellites_assistant.h"
#include "satellites/satellites_form_fixture.h"
#include "shell/colour_scheme.h"
#include "support/generated_maps.h"
#include "support/recorded_reports.h"

using namespace satellites_form;
using namespace satellite_form_test;

namespace {

constexpr double kSecond = 1.0 / 86400.0;
constexpr const char* kGeoLine1 = "1 28626U 05008A   06176.46683397 -.00000205  00000-0  10000-3 0  2190";
constexpr const char* kGeoLine2 = "2 28626   0.0019 286.9433 0000335  13.7918  55.6504  1.00270176  4891";

// The ISS's second line with another mean motion (revolutions a day) and its checksum.
std::string WithMeanMotion(double revolutionsPerDay) {
    std::string line = kIssLine2;
    char field[16];
    std::snprintf(field, sizeof field, "%11.8f", revolutionsPerDay);
    line.replace(52, 11, field);
    line[68] = static_cast<char>('0' + ElementLineChecksum(line.c_str()));
    return line;
}

// Small one-colour maps in place of the generated ones.
// A near-Earth set of epoch 2008-09-20 12h with a circular orbit, as the reference script
// makes its synthetic ones.
TestSet SyntheticSet(const std::string& name, int number, double inclination, double raan, double anomaly,
                     double revolutionsPerDay) {
    char line1[80], line2[80];
    std::snprintf(line1, sizeof line1, "1 %05dU 08001A   %014.8f  .00000000  00000-0  00000-0 0  9990", number,
                  8264.5);
    std::snprintf(line2, sizeof line2, "2 %05d %8.4f %8.4f %07d %8.4f %8.4f %11.8f    10", number, inclination, raan,
                  1, 0.0, anomaly, revolutionsPerDay);
    line1[68] = static_cast<char>('0' + ElementLineChecksum(line1));
    line2[68] = static_cast<char>('0' + ElementLineChecksum(line2));
    return {name, line1, line2};
}

class SatelliteViews : public SatellitesForm {
protected:
    void PrepareResources() override {
        resources = fs::temp_directory_path() / ("vk-satellite-views-" + std::to_string(::getpid()));
        fs::remove_all(resources);
        MakeResourcesWithMaps(resources, GeneratedMapColours{0x1290, 0x7284, 0x139C});
        if (const char* r = std::getenv("VELKARION_RESOURCES")) savedResources = r;
        ::setenv("VELKARION_RESOURCES", resources.c_str(), 1);
    }
    void SetUp() override {
        SatellitesForm::SetUp();
        if (HasFatalFailure()) return;
        ClearPictureCache();
        ForgetFailedMapImages();
        PlaceObserver(ReadObserverReference().Site("london"));
        SetObservingDateTime(2008, 9, 21, 0, 0, 0);
    }
    void TearDown() override {
        SatellitesForm::TearDown();
        ClearPictureCache();
        ForgetFailedMapImages();
        if (savedResources.empty()) ::unsetenv("VELKARION_RESOURCES");
        else ::setenv("VELKARION_RESOURCES", savedResources.c_str(), 1);
        fs::remove_all(resources);
    }
    void View(int view) { Pick(kViewPopup, kViewList, view); }
    std::vector<SatellitePass> Rows() {
        return {S().passTable.begin(), S().passTable.begin() + std::max(0, S().listValid)};
    }
    void Pen(unsigned message, int x, int y) {
        Call([=] { platform::SendMessage(formWindow, message, 0, platform::PointToParam(platform::Point{x, y})); });
        RunUntilIdle();
    }
    std::vector<std::string> Messages() {
        std::vector<std::string> out;
        for (std::size_t i = 0; i < RecordedReports().size(); ++i) out.push_back(ReportText(i));
        return out;
    }
    bool Said(const std::string& text) {
        for (const std::string& m : Messages())
            if (m.find(text) != std::string::npos) return true;
        return false;
    }
    fs::path resources;
    std::string savedResources;
};

// ---- Pass view -------------------------------------------------------------------------------

TEST_F(SatelliteViews, PassViewListsTheReferencePassesThatCanBeSeen) {
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    Open();
    View(kPass);
    const std::vector<SatellitePass> rows = Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(rows.size(), 30u);
    const double start = DateTimeToJD(2008, 9, 21, 0, 0, 0, 0);
    EXPECT_LE(rows.back().startJD - start, 30.0);
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_LT(rows[i - 1].endJD, rows[i].startJD);

    // Within the reference's two days: every pass that is lit at one end at least and rises
    // to 2 degrees, and no other.
    int expected = 0;
    for (const PassRow& ref : ReadObserverReference().passes) {
        if (ref.set != "iss") continue;
        const bool dark = ref.eclipsedRise && ref.eclipsedSet;
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&](const SatellitePass& r) { return std::fabs(r.startJD - ref.aos) < 60 * kSecond; });
        if (dark || ref.maxElevation < 1.0) {
            EXPECT_EQ(row, rows.end()) << "a pass in the dark at both ends was kept: " << ref.aos;
            continue;
        }
        if (ref.maxElevation < 3.0) continue;  // near the "Visible" limit either way
        ++expected;
        ASSERT_NE(row, rows.end()) << "missing pass " << ref.aos;
        EXPECT_NEAR(row->startJD, ref.aos, 10 * kSecond);
        EXPECT_NEAR(row->endJD, ref.los, 10 * kSecond);
        EXPECT_NEAR(row->maxAltitude, ref.maxElevation, 1.0);
        EXPECT_EQ(row->durationSeconds, static_cast<int>((row->endJD - row->startJD) * 86400.0 + 0.5));
        EXPECT_STREQ(row->name, "ISS");
    }
    EXPECT_GT(expected, 2);

    // ">45°" keeps only the high passes.
    Pick(kElevationPopup, kElevationList, 9);
    ASSERT_FALSE(Rows().empty());
    for (const SatellitePass& r : Rows()) EXPECT_GE(r.maxAltitude, 45);
}

// Even rows that are not selected lie on a light band (dark red at night); odd rows do not.
TEST_F(SatelliteViews, ResultRowsAreBanded) {
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    Open();
    View(kPass);
    ASSERT_GE(S().listValid, 2);
    auto rowPixel = [&](int row) {
        std::uint16_t pixel = 0;
        Call([&] {
            const platform::Window list = Item(kResultList);
            platform::Rect r{};
            platform::SendMessage(list, platform::kMsgListGetItemRect, static_cast<platform::WParam>(row),
                                  reinterpret_cast<platform::LParam>(&r));
            const platform::Point p = platform::ClientToScreen(list, platform::Point{r.right - 20, (r.top + r.bottom) / 2});
            pixel = platform::headless::Frame().Row(p.y)[p.x];
        });
        return pixel;
    };
    EXPECT_EQ(rowPixel(0), platform::ColorToPixel(platform::Rgb(220, 220, 220)));
    EXPECT_NE(rowPixel(1), platform::ColorToPixel(platform::Rgb(220, 220, 220)));
}

// One orbit of the ISS crosses the date line: the ground track on the Info view's world map
// reaches both side edges, drawn as two pieces rather than a line across the map.
TEST_F(SatelliteViews, InfoTrackCrossingTheSideEdgeIsDrawnInTwoPieces) {
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    SetObservingDateTime(2008, 9, 21, 12, 30, 0);
    Open();
    ASSERT_EQ(S().viewMode, kInfo);
    const int width = static_cast<int>(240 * screenScale.horizontal), height = static_cast<int>(120 * screenScale.vertical);
    const int left = (S().screenWidth - width) / 2, top = static_cast<int>(46 * screenScale.vertical);
    const std::uint16_t map = 0x1290;
    int edgePixels[2] = {}, middleRowHits = 0;
    Call([&] {
        const platform::Surface& f = platform::headless::Frame();
        for (int y = top; y < top + height; ++y) {
            edgePixels[0] += f.Row(y)[left + 1] != map;
            edgePixels[1] += f.Row(y)[left + width - 2] != map;
        }
        // A line across the whole map would mark most columns of some row.
        for (int y = top; y < top + height; ++y) {
            int marked = 0;
            for (int x = left; x < left + width; ++x) marked += f.Row(y)[x] != map;
            middleRowHits = std::max(middleRowHits, marked);
        }
    });
    EXPECT_GT(edgePixels[0], 0);
    EXPECT_GT(edgePixels[1], 0);
    EXPECT_LT(middleRowHits, width / 2);
}

// The column titles follow the view: the Pass list titles "Aos" at 60, the Next list has no
// title between "Name" and "Date" (130).
TEST_F(SatelliteViews, ListHeadersFollowTheView) {
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    Open();
    auto inked = [&](int fromX, int toX) {
        int count = 0;
        Call([&] {
            const platform::Surface& f = platform::headless::Frame();
            const std::uint16_t back = platform::ColorToPixel(GetBackColor());
            const int top = 2 * static_cast<int>(24 * screenScale.vertical);
            for (int y = top; y < top + static_cast<int>(11 * screenScale.vertical); ++y)
                for (int x = static_cast<int>(fromX * screenScale.horizontal);
                     x < static_cast<int>(toX * screenScale.horizontal); ++x)
                    count += f.Row(y)[x] != back;
        });
        return count;
    };
    View(kPass);
    EXPECT_GT(inked(60, 80), 0);
    EXPECT_GT(inked(125, 145), 0);
    View(kNext);
    EXPECT_EQ(inked(60, 120), 0);
    EXPECT_GT(inked(130, 150), 0);
}

TEST_F(SatelliteViews, AHeldKeyStopsTheSearch) {
    WriteDatabase(Sets(8));
    Open();
    platform::headless::KeyDown(platform::kKeyDown);
    View(kNext);
    platform::headless::KeyUp(platform::kKeyDown);
    EXPECT_LT(S().listValid, 5);
}

TEST_F(SatelliteViews, PassViewExplainsSetsThatGiveNoPasses) {
    struct Case {
        const char* line1;
        std::string line2;
        float latitude;
        const char* message;
    } cases[] = {
        {kIssLine1, kIssLine2, 85.0f, "This satellite is not visible from your location."},
        {kGeoLine1, kGeoLine2, 51.5f, "Deep-space orbit"},
        {kStr3Line1, kStr3Line2, 51.5f, "This satellite has decayed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Close();
        CloseCatalogDatabases();
        WriteDatabase({{"SET", c.line1, c.line2}});
        SetSiteLatitude(c.latitude);
        ClearRecordedReports();
        S().listValid = 0;
        Open();
        View(kPass);
        EXPECT_EQ(S().listValid, 0);
        EXPECT_TRUE(Said(c.message));
        View(kInfo);
    }
}

// ---- Transit view ----------------------------------------------------------------------------

TEST_F(SatelliteViews, TransitViewStopsAtTheFirstTransit) {
    const MoonRow& moon = ReadObserverReference().transits.at(0);
    PlaceObserver(ReadObserverReference().Site(moon.site));
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    Open();
    View(kTransit);
    ASSERT_EQ(S().listValid, 1) << (Messages().empty() ? "" : Messages().back());
    const SatellitePass& row = S().passTable[0];
    EXPECT_NEAR(row.eventJD, moon.jd, 2 * kSecond);
    EXPECT_NEAR(row.eventAngle, moon.separation, 0.05);
    EXPECT_EQ(S().transitBody, 0);
    std::string lines[3];
    ASSERT_EQ(SatelliteEventDetailLines(0, lines), 3);
    EXPECT_EQ(lines[0].rfind("Angle: ", 0), 0u) << lines[0];
}

TEST_F(SatelliteViews, TransitSearchEndsAfterThirtyDays) {
    // A high limit leaves no transit to find over the site.
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    S().elevationChoice = 9;
    Open();
    View(kTransit);
    EXPECT_EQ(S().listValid, 0);
    EXPECT_TRUE(Said("End of search: "));
}

// ---- Next and Flare views --------------------------------------------------------------------

TEST_F(SatelliteViews, NextViewSearchesEveryVisibleSatellite) {
    const ObserverReference& ref = ReadObserverReference();
    WriteDatabase({{"ISS", kIssLine1, kIssLine2},
                   {"IRIDIUM 9", kIssLine1, kIssLine2},
                   {"GEO", kGeoLine1, kGeoLine2},
                   {"OLD", kStr3Line1, kStr3Line2},
                   {"CIRC", ref.Lines("circ2000")[0], ref.Lines("circ2000")[1]},
                   {"SSO", ref.Lines("sunsync")[0], ref.Lines("sunsync")[1]}});
    Open();
    ClearRecordedReports();
    View(kNext);
    const std::vector<SatellitePass> rows = Rows();
    ASSERT_GT(rows.size(), 5u);
    EXPECT_LE(rows.size(), 30u);
    EXPECT_TRUE(RecordedReports().empty()) << Messages().front();
    const double start = DateTimeToJD(2008, 9, 21, 0, 0, 0, 0);
    int perSatellite[6] = {};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const SatellitePass& r = rows[i];
        ASSERT_TRUE(r.satelliteIndex == 0 || r.satelliteIndex == 4 || r.satelliteIndex == 5) << r.name;
        ++perSatellite[r.satelliteIndex];
        EXPECT_GE(r.startJD, start - 20.0 / 1440.0);
        EXPECT_LE(r.startJD, start + 1.3);
        EXPECT_EQ(r.eventJD, r.startJD);
        if (i > 0) {
            EXPECT_FALSE(SatellitePassLess(r, rows[i - 1]));
        }
    }
    for (int n : perSatellite) EXPECT_LE(n, 5);
    EXPECT_EQ(S().selectedRow, 0);
}

TEST_F(SatelliteViews, NextViewStopsAtThirtyRows) {
    WriteDatabase(Sets(8));
    Open();
    View(kNext);
    EXPECT_EQ(S().listValid, 30);
}

TEST_F(SatelliteViews, FlareViewSearchesOnlyPanelSatellitesAndTakesNoKeys) {
    // A plane of panel satellites at 780 km, and one that carries no panels.
    std::vector<TestSet> sets = {{"ISS", kIssLine1, kIssLine2}};
    for (int i = 0; i < 72; ++i)
        sets.push_back(SyntheticSet("IRIDIUM " + std::to_string(i), 91000 + i, 86.4, 30.0 * (i % 12),
                                    60.0 * (i / 12), 14.34));
    WriteDatabase(sets);
    Open();
    View(kFlare);
    EXPECT_EQ(S().flareMode, 1);
    const int key = S().currentSatellite;
    Key(platform::kKeyDown);
    EXPECT_EQ(S().currentSatellite, key);
    const std::vector<SatellitePass> rows = Rows();
    ASSERT_FALSE(rows.empty());
    std::vector<int> perSatellite(sets.size());
    for (const SatellitePass& r : rows) {
        ASSERT_NE(r.satelliteIndex, 0);
        EXPECT_LE(++perSatellite[static_cast<std::size_t>(r.satelliteIndex)], 3);
        EXPECT_EQ(r.magnitude, FlareMagnitude(r.eventAngle));
        EXPECT_LE(r.eventAngle, 1.5);
        EXPECT_GE(r.maxAltitude, 2);
        // Lit by the Sun at the event.
        TleElements el = ConvertLines(sets[static_cast<std::size_t>(r.satelliteIndex)].line1,
                                      sets[static_cast<std::size_t>(r.satelliteIndex)].line2);
        EXPECT_EQ(IsSatelliteEclipsed(r.eventJD, &el), 0);
    }
    for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_LE(rows[i - 1].eventJD, rows[i].eventJD);
    std::string lines[3];
    ASSERT_EQ(SatelliteEventDetailLines(0, lines), 3);
    EXPECT_EQ(lines[0].rfind("Intensity: " + std::to_string(FlareIntensity(rows[0].eventAngle)) + " (", 0), 0u)
        << lines[0] << " " << rows[0].eventAngle;
}

TEST(SatelliteSearches, FlareMagnitudeAndMinimumAltitude) {
    struct {
        double angle;
        int magnitude;
    } magnitudes[] = {{0.01, -8}, {0.047, -8}, {0.5, -3}, {1.0, -2}};
    for (const auto& c : magnitudes) EXPECT_EQ(FlareMagnitude(c.angle), c.magnitude) << c.angle;
    EXPECT_EQ(MinimumAltitude(0), 2);
    EXPECT_EQ(MinimumAltitude(9), 45);
    EXPECT_EQ(MinimumAltitude(10), 2);  // past the table: the first row
    EXPECT_EQ(MinimumAltitude(-1), 2);
}

TEST(SatelliteSearches, FlaresNeedADarkSky) {
    SunDays days;
    days.rise[0] = 100.25, days.set[0] = 100.75, days.rise[1] = 101.25, days.set[1] = 101.75;
    struct {
        double aos, los;
        bool daylight;
        double next;
    } cases[] = {{100.30, 100.31, true, 100.75 + 5.0 / 1440.0},
                 {101.50, 101.51, true, 101.75 + 5.0 / 1440.0},
                 {100.74, 100.76, false, -1.0},  // crosses the sunset
                 {100.80, 100.81, false, -1.0}};
    for (const auto& c : cases) {
        double next = -1.0;
        EXPECT_EQ(PassInDaylight(c.aos, c.los, days, &next), c.daylight) << c.aos;
        EXPECT_DOUBLE_EQ(next, c.next) << c.aos;
    }
    EXPECT_TRUE(InDaylight(100.5, days));
    EXPECT_FALSE(InDaylight(100.25, days));  // the rise itself is not between
    EXPECT_FALSE(InDaylight(100.9, days));
    EXPECT_TRUE(InDaylight(101.7, days));
}

TEST(SatelliteSearches, NextSearchStartsAfterThePass) {
    const ObserverReference& ref = ReadObserverReference();
    for (const PassRow& p : ref.passes) {
        TleElements el = ref.Elements(p.set);
        const double next = NextPassSearchStart(p.aos, p.los, &el, ref.Site(p.site).longitudeWest);
        EXPECT_GT(next, p.los);
        // Never past the next pass of the reference that reaches the lowest limit: at worst
        // inside it, where the pass finder takes it up from its rise.
        for (const PassRow& q : ref.passes)
            if (q.set == p.set && q.aos > p.los && q.maxElevation >= 2.0) {
                EXPECT_LT(next, q.los) << p.set << " " << p.aos;
                break;
            }
    }
}

// ---- Details band ----------------------------------------------------------------------------

TEST(SatelliteDetails, CompassPointsAndFlareIntensity) {
    struct {
        double azimuth;
        const char* point;
    } points[] = {{359.6, "N"}, {44.6, "NE"}, {44.4, "N"}, {180.4, "S"}, {270.0, "W"}, {0.0, "N"}};
    for (const auto& c : points) EXPECT_STREQ(CompassPoint(c.azimuth), c.point) << c.azimuth;
    EXPECT_EQ(FlareIntensity(0.5), -6);
    EXPECT_EQ(FlareIntensity(1.4), 0);
}

TEST_F(SatelliteViews, DetailsBandDescribesThePass) {
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    Open();
    View(kPass);
    ASSERT_GT(S().listValid, 0);
    std::string lines[3];
    EXPECT_EQ(SatelliteEventDetailLines(-1, lines), 0);
    ASSERT_EQ(SatelliteEventDetailLines(0, lines), 3);
    EXPECT_EQ(lines[0].rfind("AOS: ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind("Max: ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("LOS: ", 0), 0u);
    // At the rise and the set the satellite is on the horizon: no altitude there.
    EXPECT_EQ(lines[0].find("Alt"), std::string::npos) << lines[0];
    EXPECT_EQ(lines[2].find("Alt"), std::string::npos) << lines[2];
    EXPECT_NE(lines[1].find("Alt: " + std::to_string(S().passTable[0].maxAltitude) + "\xB0"), std::string::npos)
        << lines[1];
    // Selecting the row shows its date and time.
    Call([] { SetListSelection(kResultList, 0); });
    Command(kResultList);
    EXPECT_EQ(S().selectedRow, 0);
    int y, mo, d, h, mi, s;
    JDToDate(S().passTable[0].startJD, &y, &mo, &d, &h, &mi, &s);
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", h, mi);
    EXPECT_EQ(Text(kTime), time);
}

// ---- Sky View --------------------------------------------------------------------------------

TEST(SatelliteSkyView, TrackSpanOfTheStepChoice) {
    EXPECT_EQ(SkyTrackSpan(0, 25, 92.6), 25);
    EXPECT_EQ(SkyTrackSpan(0, -1, 92.6), 92);
    EXPECT_EQ(SkyTrackSpan(1, -1, 92.6), 30);
    EXPECT_EQ(SkyTrackSpan(2, 25, 92.6), 60);
    EXPECT_EQ(SkyTrackSpan(3, 25, 92.6), 120);
    EXPECT_EQ(SkyTrackSpan(4, 25, 92.6), 180);
}

TEST_F(SatelliteViews, SkyViewDrawsSunMoonAndOneOrbitOfTrack) {
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    SetObservingDateTime(2008, 9, 21, 12, 30, 0);
    preferences.word[pref::coordinateMode] = 0;
    Open();
    View(kSkyView);
    ASSERT_EQ(S().tapCount, 40);
    const auto& r = S().tapItems;
    EXPECT_STREQ(r[0].label, "Sun");
    EXPECT_STREQ(r[1].label, "Moon");
    EXPECT_EQ(r[0].catalogCode, 45);
    EXPECT_EQ(r[1].typeCode, 27);
    EXPECT_EQ(r[2].catalogCode, 63);
    EXPECT_EQ(r[2].typeCode, 15);
    EXPECT_STREQ(r[2].label, "21 12:30:00");
    // One orbit in whole minutes over 39 steps: the last point 37 steps on.
    const double step = std::trunc(S().elements.period) / 1440.0 / 39.0;
    int y, mo, d, h, mi, s;
    JDToDate(DateTimeToJD(2008, 9, 21, 12, 30, 0, 0) + 37 * step, &y, &mo, &d, &h, &mi, &s);
    char label[20];
    std::snprintf(label, sizeof label, "%d %02d:%02d:%02d", d, h, mi, s);
    EXPECT_STREQ(r[39].label, label);
    EXPECT_EQ(preferences.word[pref::coordinateMode], 0);
    // The Sun is the topocentric one of the form's time.
    EXPECT_NE(r[0].rightAscension, 0.0f);
    // The view looks at record 20.
    const float azimuth = S().skyAzimuth, altitude = S().skyAltitude;
    EXPECT_FALSE(azimuth == 0.0f && altitude == 0.0f);

    // A redraw reuses the records until the form empties them.
    S().tapItems[5].rightAscension = 1.25f;
    Call([] { RefreshSatellitesAssistant(satellitesAssistant.currentSatellite); });
    EXPECT_EQ(S().tapItems[5].rightAscension, 1.25f);
    Command(kNow);
    EXPECT_NE(S().tapItems[5].rightAscension, 1.25f);
}

TEST_F(SatelliteViews, SkyViewPenPansWithinTheSky) {
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    Open();
    View(kSkyView);
    ASSERT_EQ(S().tapCount, 40);
    const Bounds v = S().viewRect;
    const int cx = v.x + v.width / 2, cy = v.y + v.height / 2;
    const float azimuth = S().skyAzimuth, altitude = S().skyAltitude;
    Pen(platform::kMsgPenDown, cx, cy);
    Pen(platform::kMsgPenMove, cx + 3, cy + 3);
    EXPECT_EQ(S().skyAzimuth, azimuth);
    EXPECT_EQ(S().skyAltitude, altitude);
    for (int i = 1; i <= 20; ++i) Pen(platform::kMsgPenMove, cx + 40 * i, cy + 40 * i);
    Pen(platform::kMsgPenUp, cx + 800, cy + 800);
    EXPECT_EQ(S().skyAltitude, 90.0f);
    EXPECT_GE(S().skyAzimuth, 0.0f);
    EXPECT_LT(S().skyAzimuth, 360.0f);
    Pen(platform::kMsgPenDown, cx, cy);
    for (int i = 1; i <= 20; ++i) Pen(platform::kMsgPenMove, cx - 40 * i, cy - 40 * i);
    Pen(platform::kMsgPenUp, cx - 800, cy - 800);
    EXPECT_EQ(S().skyAltitude, -90.0f);
    EXPECT_GE(S().skyAzimuth, 0.0f);
    EXPECT_LT(S().skyAzimuth, 360.0f);
}

TEST_F(SatelliteViews, ShowInSkyStartsAtThePass) {
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    Open();
    View(kPass);
    ASSERT_GT(S().listValid, 0);
    // The button's pictures, by day and by night.
    EXPECT_NE(platform::FindBitmapEntry(5094), nullptr);
    EXPECT_NE(platform::FindBitmapEntry(5138), nullptr);
    Command(kShowInSky);  // nothing selected
    EXPECT_EQ(S().viewMode, kPass);
    Call([] { SetListSelection(kResultList, 0); });
    Command(kResultList);
    const SatellitePass row = S().passTable[0];
    Command(kShowInSky);
    EXPECT_EQ(S().viewMode, kSkyView);
    EXPECT_EQ(S().trackSpan, (row.durationSeconds + 30) / 60);
    EXPECT_NEAR(S().formJD, row.startJD, kSecond);
    int y, mo, d, h, mi, s;
    JDToDate(row.startJD, &y, &mo, &d, &h, &mi, &s);
    EXPECT_EQ(S().formHour, h);
    EXPECT_EQ(S().formMinute, mi);
    EXPECT_EQ(S().tapCount, 40);
    EXPECT_EQ(PopupRow(kViewPopup), kSkyView);
    // Back to the list: the rows are still there.
    View(kPass);
    EXPECT_GT(S().listValid, 0);
}

// ---- Globe -----------------------------------------------------------------------------------

TEST_F(SatelliteViews, GlobeDrawsTheTrackAndTurnsWithThePen) {
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    SetObservingDateTime(2008, 9, 21, 12, 30, 0);
    const std::int32_t background = preferences.word[chartpref::background];
    Open();
    View(kGlobe);
    EXPECT_EQ(S().passesValid, 1);
    EXPECT_EQ(preferences.word[chartpref::background], background);
    EXPECT_EQ(S().globeLongitude, static_cast<int>(S().elements.subLongitude));
    // The symbol sits on the sub-point, near the middle of the globe.
    const Bounds symbol = S().symbolRect;
    const int cx = S().globeLeft + S().globeRadius, cy = S().globeTop + S().globeRadius;
    EXPECT_NEAR(symbol.x + symbol.width / 2, cx, S().globeRadius / 10 + 2);
    EXPECT_NEAR(symbol.y + symbol.height / 2, cy, S().globeRadius / 10 + 2);
    int drawn = 0;
    Call([&] { drawn = DrawGlobeTrack(); });
    EXPECT_GT(drawn, 4);
    EXPECT_LT(drawn, 2 * 290);

    const int longitude = S().globeLongitude, latitude = S().globeLatitude;
    Pen(platform::kMsgPenDown, cx, cy);
    Pen(platform::kMsgPenMove, cx + 5, cy);   // starts the drag
    Pen(platform::kMsgPenMove, cx + 15, cy + 7);
    EXPECT_EQ(S().globeLongitude, ((longitude + 15) % 360 + 360) % 360);
    EXPECT_EQ(S().globeLatitude, ((latitude + 7) % 360 + 360) % 360);
    Pen(platform::kMsgPenUp, cx + 15, cy + 7);
    EXPECT_EQ(S().penMoved, 0);
}

TEST_F(SatelliteViews, GlobeTrackEndsForHighAndDecayedOrbits) {
    struct Case {
        const char* line1;
        std::string line2;
        bool track;
    } cases[] = {{kIssLine1, WithMeanMotion(1440.0 / 220.0), true}, {kStr3Line1, kStr3Line2, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line2);
        Close();
        CloseCatalogDatabases();
        WriteDatabase({{"SET", c.line1, c.line2}});
        Open();
        View(kGlobe);
        int drawn = -1;
        Call([&] { drawn = DrawGlobeTrack(); });
        if (c.track) {
            EXPECT_GT(drawn, 4);
            EXPECT_LE(drawn, 2 * 289);
        } else {
            EXPECT_EQ(S().passesValid, 0);
        }
        View(kInfo);
    }
}

}  // namespace
