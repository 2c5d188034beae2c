// The satellite form on the headless screen with a satellite database written into a
// temporary home: opening and closing, the keys, the clock, the views, the Info and Data
// views, export and delete; and the shared row helpers and the element-line check.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "catalog/catalog_fixture.h"
#include "catalog/databases.h"
#include "catalog/element_lines.h"
#include "catalog/record_file.h"
#include "chart/chart_settings.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "platform/paths.h"
#include "satellites/satellite_data_page.h"
#include "satellites/satellite_fixture.h"
#include "satellites/satellite_geometry.h"
#include "satellites/satellite_rows.h"
#include "satellites/satellites_assistant.h"
#include "satellites/satellites_form_fixture.h"
#include "shell/forms_fixture.h"
#include "shell/popup_lists.h"
#include "support/recorded_reports.h"

using namespace satellites_form;
using namespace satellite_form_test;

namespace {

TEST_F(SatellitesForm, OpensOnTheLastSatelliteAndGivesTheChartSettingsBack) {
    WriteDatabase(Sets(4));
    preferences.word[pref::lastSatellite] = 2;
    Open();
    EXPECT_EQ(S().currentSatellite, 2);
    EXPECT_EQ(Label(kSatellitePopup), "SAT2");
    EXPECT_EQ(S().formYear, 2008);
    EXPECT_EQ(S().formMinute, 30);
    EXPECT_EQ(S().formSecond, 0);
    EXPECT_EQ(Text(kTime), "12:30");
    EXPECT_EQ(preferences.word[pref::chartMode], 2);
    EXPECT_EQ(preferences.word[chartpref::objectNames], 0);
    S().clockChoice = 3;
    S().fovChoice = 5;
    Key(platform::kKeyDown);
    Close();
    EXPECT_EQ(preferences.word[pref::chartMode], 1);
    EXPECT_EQ(preferences.word[chartpref::objectNames], 1);
    EXPECT_EQ(preferences.word[pref::lastSatellite], 3);

    Open();
    EXPECT_EQ(S().viewMode, kInfo);
    EXPECT_EQ(S().currentSatellite, 3);
    EXPECT_EQ(S().clockChoice, 3);
    EXPECT_EQ(S().fovChoice, 5);
    EXPECT_EQ(PopupRow(kClockPopup), 0);
    EXPECT_EQ(PopupRow(kFovPopup), 0);
    // Shutting down with the form open gives the settings back too.
    Stop();
    CloseSatellitesAssistant();
    EXPECT_EQ(preferences.word[pref::chartMode], 1);
    EXPECT_EQ(preferences.word[chartpref::objectNames], 1);
}

TEST_F(SatellitesForm, KeysStopAtBothEndsAndFlareViewTakesThem) {
    WriteDatabase(Sets(3));
    Open();
    Key(platform::kKeyUp);
    EXPECT_EQ(S().currentSatellite, 0);
    Key(platform::kKeyDown);
    Key(platform::kKeyDown);
    Key(platform::kKeyDown);
    EXPECT_EQ(S().currentSatellite, 2);
    EXPECT_EQ(Label(kSatellitePopup), "SAT2");
    Pick(kViewPopup, kViewList, kFlare);
    EXPECT_EQ(S().flareMode, 1);
    Key(platform::kKeyUp);
    EXPECT_EQ(S().currentSatellite, 2);
}

TEST_F(SatellitesForm, ClockAdvancesOnlyTheMapViews) {
    WriteDatabase(Sets(1));
    Open();
    Pick(kClockPopup, kClockList, 5);
    EXPECT_EQ(S().clockChoice, 5);
    Tick();
    EXPECT_EQ(S().formMinute, 40);
    EXPECT_EQ(Text(kTime), "12:40");
    Pick(kViewPopup, kViewList, kNext);
    Tick();
    EXPECT_EQ(S().formMinute, 40);
    // Track with a user-set time counts seconds.
    Pick(kViewPopup, kViewList, kInfo);
    preferences.word[pref::timeUpdateMode] = 1;
    Pick(kClockPopup, kClockList, 1);
    Tick();
    EXPECT_EQ(S().formSecond, 1);
}

TEST_F(SatellitesForm, ListCacheDropsOnlyBetweenListViews) {
    WriteDatabase(Sets(1));
    Open();
    Pick(kViewPopup, kViewList, kNext);
    S().listValid = 5;
    Pick(kViewPopup, kViewList, kSkyView);
    Pick(kViewPopup, kViewList, kNext);
    EXPECT_EQ(S().listValid, 5);
    Pick(kViewPopup, kViewList, kFlare);
    EXPECT_EQ(S().listValid, 0);
}

TEST_F(SatellitesForm, InfoViewShowsThePositionOfTheCurrentTime) {
    WriteDatabase({{"ISS", kIssLine1, kIssLine2}});
    Open();
    TleElements expected;
    currentSatelliteRecord = MakeSatelliteRecord(kIssLine1, kIssLine2);
    ASSERT_EQ(ComputeSatellitePosition(2008, 9, 21, 12, 30, 0, &expected), kSatelliteComputed);
    EXPECT_NEAR(S().elements.subLatitude, expected.subLatitude, 1e-9);
    EXPECT_NEAR(S().elements.subLongitude, expected.subLongitude, 1e-9);
    EXPECT_NEAR(S().elements.height, expected.height, 1e-9);
    EXPECT_NEAR(satVelocity.magnitude, 7.7, 0.1);
    // The element age counts UT: a zone of +120 minutes makes it two hours less.
    const double age0 = SatelliteElementAge();
    observerLocation.zoneMinutes = 120;
    EXPECT_NEAR(age0 - SatelliteElementAge(), 2.0 / 24.0, 1e-9);
}

TEST_F(SatellitesForm, DeepSpaceSetShowsNoPosition) {
    // A geostationary set: one revolution a day.
    WriteDatabase({{"DEEP", "1 28626U 05008A   06176.46683397 -.00000205  00000-0  10000-3 0  2190",
                    "2 28626   0.0019 286.9433 0000335  13.7918  55.6504  1.00270176  4891"}});
    Open();
    EXPECT_EQ(S().currentSatellite, 0);
    EXPECT_EQ(S().passesValid, 1);
    EXPECT_EQ(S().elements.deepSpace, 1);
    EXPECT_EQ(S().elements.height, 0.0);
}

TEST_F(SatellitesForm, DataViewEditsAreCheckedAndKept) {
    WriteDatabase(Sets(2));
    Open();
    Pick(kViewPopup, kViewList, kData);
    EXPECT_EQ(Text(kLine1), kIssLine1);
    EXPECT_EQ(Text(kLine2), kIssLine2);
    std::string bad = kIssLine2;
    bad[68] = bad[68] == '9' ? '0' : static_cast<char>(bad[68] + 1);
    bool accepted = true;
    Call([&] { accepted = AcceptEditedLine(2, bad.c_str()); });
    EXPECT_FALSE(accepted);
    ASSERT_FALSE(RecordedReports().empty());
    EXPECT_NE(ReportText(RecordedReports().size() - 1).find("checksum"), std::string::npos);
    SatelliteRecord back;
    Call([&] { GetSatelliteData(0, &back); });
    EXPECT_EQ(std::string(back.line2), kIssLine2);
    // A valid edit: the epoch a day later, with its checksum.
    std::string edited = kIssLine1;
    edited[22] = '5';
    edited[68] = static_cast<char>('0' + ElementLineChecksum(edited.c_str()));
    Call([&] { accepted = AcceptEditedLine(1, edited.c_str()); });
    EXPECT_TRUE(accepted);
    EXPECT_NEAR(S().elements.epochField, 8265.51782528, 1e-8);
    // Read back from the file after the database is opened again.
    Call([] {
        CloseCatalogDatabases();
        OpenDb(satelliteDb, kCreatorSatellites, kTypeCodeQvn1, 1, kDataFolder, kSatelliteFile);
    });
    ASSERT_TRUE(fs::exists(UserCopy()));
    Call([&] { GetSatelliteData(0, &back); });
    EXPECT_EQ(std::string(back.line1), edited);
    EXPECT_EQ(std::string(back.line2), kIssLine2);
    Call([&] { GetSatelliteData(1, &back); });
    EXPECT_EQ(std::string(back.line1), kIssLine1);
}

TEST_F(SatellitesForm, ElementAgeHasOneDecimalInDays) {
    WriteDatabase(Sets(1));
    Open();
    const double epoch = S().elements.epochJD;
    int y, mo, d, h, mi, s;
    JDToDate(epoch + 10.04, &y, &mo, &d, &h, &mi, &s);
    S().formYear = y, S().formMonth = mo, S().formDay = d, S().formHour = h, S().formMinute = mi, S().formSecond = s;
    EXPECT_NEAR(SatelliteElementAge(), 10.04, 1e-5);
}

TEST_F(SatellitesForm, ExportCountsAndKeepsEveryBlock) {
    struct Case {
        int records;
        const char* message;
    };
    for (const Case& c : {Case{0, "0 Satellite record exported.\n"}, Case{1, "1 Satellite record exported.\n"},
                          Case{40, "40 Satellite records exported.\n"}}) {
        CloseCatalogDatabases();
        fs::remove_all(root / "home" / "userlists");
        fs::create_directories(root / "home" / "userlists");
        WriteDatabase(Sets(c.records));
        ClearRecordedReports();
        Call([] { ExportSatellites(); });
        ASSERT_FALSE(RecordedReports().empty());
        EXPECT_EQ(RecordedReports().back().heading, c.message);
        std::multiset<std::string> names;
        int files = 0;
        for (const auto& entry : fs::directory_iterator(root / "home" / "userlists")) {
            ++files;
            std::ifstream in(entry.path());
            std::string line;
            while (std::getline(in, line))
                if (line.rfind("SAT", 0) == 0) names.insert(line);
        }
        EXPECT_EQ(static_cast<int>(names.size()), c.records);
        EXPECT_EQ(static_cast<int>(std::set<std::string>(names.begin(), names.end()).size()), c.records);
        if (c.records == 40) {
            EXPECT_GT(files, 1);
        }
    }
}

TEST_F(SatellitesForm, DeleteKeepsTheIndexInsideTheDatabase) {
    WriteDatabase(Sets(3));
    Open();
    Key(platform::kKeyDown);
    Pick(kViewPopup, kViewList, kData);
    Command(kDelete);
    EXPECT_EQ(S().currentSatellite, 1);
    EXPECT_EQ(Label(kSatellitePopup), "SAT2");
    Command(kDelete);
    EXPECT_EQ(S().currentSatellite, 0);
    EXPECT_EQ(Label(kSatellitePopup), "SAT0");
    Command(kDelete);
    EXPECT_EQ(S().currentSatellite, -1);
    EXPECT_EQ(GetSatelliteCount(), 0);
    Pick(kViewPopup, kViewList, kInfo);
    Key(platform::kKeyDown);
    EXPECT_EQ(S().currentSatellite, -1);
}

TEST_F(SatellitesForm, OpeningTakesTheUsersElementFile) {
    WriteDatabase({});
    SetPreferenceDouble(pref::elementFileDate, 0.0);
    fs::create_directories(root / "home" / "import");
    std::ofstream(root / "home" / "import" / "satellites.txt") << "ISS\n" << kIssLine1 << "\n" << kIssLine2 << "\n";
    Open();
    EXPECT_EQ(GetSatelliteCount(), 1);
    EXPECT_EQ(S().currentSatellite, 0);
    EXPECT_EQ(Label(kSatellitePopup), "ISS");
    bool told = false;
    for (const auto& r : RecordedReports()) told = told || r.heading == "1 satellite element set taken from import/satellites.txt.";
    EXPECT_TRUE(told);
}

TEST_F(SatellitesForm, EmptyDatabaseLeavesAUsableForm) {
    WriteDatabase({});
    Open();
    EXPECT_EQ(S().currentSatellite, -1);
    Key(platform::kKeyDown);
    Pick(kViewPopup, kViewList, kData);
    EXPECT_EQ(Text(kLine1), "");
    Close();
}

TEST(SatelliteRows, ComparatorOrdersStartsThenAltitudeAndFlaresByInstant) {
    SatellitesAssistantState saved = satellitesAssistant;
    SatellitePass a, b;
    a.startJD = b.startJD = 100.0;
    a.maxAltitude = 20, b.maxAltitude = 50;
    satellitesAssistant.flareMode = 0;
    EXPECT_LT(CompareSatellitePasses(a, b), 0);
    EXPECT_TRUE(SatellitePassLess(a, b));
    b.startJD = 99.0;
    EXPECT_EQ(CompareSatellitePasses(a, b), 1);
    satellitesAssistant.flareMode = 1;
    a.eventJD = b.eventJD = 5.0;
    EXPECT_EQ(CompareSatellitePasses(a, b), 0);
    EXPECT_FALSE(SatellitePassLess(a, b));
    EXPECT_FALSE(SatellitePassLess(b, a));
    satellitesAssistant = saved;
}

TEST(SatelliteRows, TrackStepIsAtLeastOneMinuteAndMapPointsWrap) {
    EXPECT_EQ(GroundTrackStep(92.0), 3);
    EXPECT_EQ(GroundTrackStep(20.0), 1);
    int x = 0, y = 0;
    SatelliteMapPoint(180.0, 90.0, 0, 46, 240, 120, &x, &y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 46);
    SatelliteMapPoint(-180.0, -90.0, 0, 46, 240, 120, &x, &y);
    EXPECT_EQ(x, 240);
    EXPECT_EQ(y, 166);
}

TEST(ElementLines, ChecksNumberLengthChecksumAndCatalogue) {
    const std::string l1 = kIssLine1, l2 = kIssLine2;
    std::string wrongSum = l1;
    wrongSum[68] = '0';
    struct Case {
        std::string a, b;
        int status;
    } cases[] = {{l1, l2, kElementLineValid},
                 {l2, l2, kElementLineNumber},
                 {l1.substr(0, 60), l2, kElementLineLength},
                 {wrongSum, l2, kElementLineChecksum},
                 {kStr3Line1, l2, kElementLineCatalog}};
    for (const Case& c : cases) EXPECT_EQ(CheckElementSet(c.a.c_str(), c.b.c_str()), c.status) << c.a;
    EXPECT_EQ(CheckElementSet(kStr3Line1, kStr3Line2), kElementLineValid);
}

}  // namespace
