// The selection criteria form and the ephemeris form on the headless screen: what the
// criteria form shows and reads back, its checks and its search buttons; the ephemeris
// table's dates, drag, modes and rise and set times.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "astro/angle_text.h"
#include "astro/planet_positions.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/byte_order.h"
#include "catalog/catalog_fixture.h"
#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "catalog/oculars.h"
#include "catalog/record_file.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "objects/ephemeris_form.h"
#include "objects/object_search.h"
#include "objects/objects_services.h"
#include "objects/selection_criteria_form.h"
#include "platform/paths.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"
#include "support/recorded_reports.h"

namespace fs = std::filesystem;
using namespace criteria_form;

namespace {

class SearchForms : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        root = fs::temp_directory_path() / ("vk-search-forms-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "install" / "data");
        fs::create_directories(root / "home" / "usercatalogs" / "data");
        savedInstall = platform::InstallRoot();
        platform::SetInstallRoot(root / "install");
        platform::SetHomeRoot(root / "home");
        CloseCatalogDatabases();
        savedTime = observingDateTime;
        savedCriteria = selectionCriteria;
        savedSite = observerLocation;
        selectionCriteria = SelectionCriteria{};
        SetSiteLatitude(50.0f);
        observerLocation.longitude = -8.0f;
        observerLocation.zoneMinutes = 60;
        observerLocation.height = 0;
        preferences.word[pref::timeUpdateMode] = 1;
        preferences.word[pref::chartMode] = 2;
        SetObservingDateTime(2025, 1, 31, 21, 0, 0);
        objectSelection = ObjectSelection{};
        ASSERT_EQ(AllocSelectionList(), 1);
        ClearRecordedReports();
        SetFormDialogProc(kSelectionCriteriaFormId, &SelectionCriteriaForm);
        SetFormDialogProc(kEphemerisFormId, &EphemerisAssistant);
        StartWithMainWindow(&FormHostProc);
    }
    void TearDown() override {
        platform::headless::KeyUp(platform::kKeyDown);
        Stop();
        SetFormDialogProc(kSelectionCriteriaFormId, nullptr);
        SetFormDialogProc(kEphemerisFormId, nullptr);
        FormScreenFixture::TearDown();
        FreeSelectionList();
        CloseCatalogDatabases();
        CloseEyepieceDb();
        observingDateTime = savedTime;
        selectionCriteria = savedCriteria;
        observerLocation = savedSite;
        objectSelection = ObjectSelection{};
        platform::SetInstallRoot(savedInstall);
        platform::SetHomeRoot({});
        fs::remove_all(root);
    }

    void Open(int formId) {
        Call([formId] { GotoForm(formId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), formId);
    }
    int Selected(int list) {
        int row = -1;
        Call([&] { row = GetListSelection(list); });
        return row;
    }
    template <typename Fill>
    void Write(const fs::path& path, std::uint32_t version, std::uint32_t creator, std::uint32_t size,
               std::uint32_t count, Fill fill) {
        WriteTestRecordFile(path, version, creator, size, count, fill);
    }
    // The date as the form's field shows it, in the device's order.
    std::string DateText(int day, int month, int year) {
        char text[40];
        Call([&] { FormatDate(text, day, month, year); });
        return text;
    }

    fs::path root;
    fs::path savedInstall;
    ObservingDateTime savedTime{};
    SelectionCriteria savedCriteria{};
    ObserverLocation savedSite{};
};

TEST_F(SearchForms, CriteriaFormShowsAndReadsBackEveryChoice) {
    Write(root / "home" / "usercatalogs" / "data" / kEyepieceFile, 0, kCreatorEyepieces, kEyepieceRecordSize, 2,
          [](std::uint32_t i, std::uint8_t* r) {
              EyepieceRecord e;
              std::strcpy(e.brand, "Maker");
              std::strcpy(e.brandCode, "MKR");
              std::strcpy(e.name, i == 0 ? "Name" : "Wide");
              e.focalLength = i == 0 ? 25.0f : 9.0f;
              e.apparentField = i == 0 ? 52.0f : 82.0f;
              EncodeEyepieceRecord(e, r);
          });
    SelectionCriteria& c = selectionCriteria;
    c.visibilityClass = 2;
    c.eyepiece = 1;
    c.magnitudeLimit = 5;
    c.searchKind = kCatalogHerschel;
    c.objectType = 16;
    c.constellation = 61;
    c.minAltitude = 4;
    Open(kSelectionCriteriaFormId);
    EXPECT_EQ(Selected(kVisibilityList), 2);
    EXPECT_EQ(Selected(kEyepieceList), 1);
    EXPECT_EQ(Label(kEyepiecePopup), "Name-25");
    EXPECT_EQ(Selected(kMagnitudeList), 5);
    EXPECT_EQ(Selected(kCatalogList), 4);  // "Herschel", after "No Criteria" and three others
    EXPECT_EQ(Selected(kTypeList), 16);
    EXPECT_EQ(Selected(kConstellationList), 61);
    EXPECT_EQ(Selected(kElevationList), 4);
    EXPECT_EQ(Text(kDate), DateText(31, 1, 2025));
    EXPECT_EQ(Text(kTime), "21:00");

    // Other choices, read back when a search starts.
    Pick(kTypePopup, kTypeList, 19);
    Pick(kVisibilityPopup, kVisibilityList, 0);
    Pick(kEyepiecePopup, kEyepieceList, 2);
    EXPECT_EQ(Label(kEyepiecePopup), "Wide-9");
    EXPECT_EQ(c.eyepiece, 2);
    Pick(kElevationPopup, kElevationList, 10);
    Pick(kCatalogPopup, kCatalogList, 5);  // "Messier"
    SetText(kDate, DateText(2, 3, 2024));
    SetText(kTime, "04:35");
    bool read = false;
    Call([&] { read = ReadSelectionCriteriaForm(); });
    ASSERT_TRUE(read);
    EXPECT_EQ(c.objectType, 19);
    EXPECT_EQ(c.typeClass, 4);
    EXPECT_EQ(c.visibilityClass, 0);
    EXPECT_EQ(c.eyepiece, 2);
    EXPECT_EQ(c.eyepieceFocalLength, 9);
    EXPECT_FLOAT_EQ(c.eyepieceApparentField, 82.0f);
    EXPECT_EQ(c.minAltitude, 10);
    EXPECT_EQ(searchAltitudeSine, FixedAltitudeSine(GetHorizonAltitude()));
    EXPECT_EQ(c.searchKind, kCatalogMessier);
    EXPECT_EQ(c.year, 2024);
    EXPECT_EQ(c.month, 3);
    EXPECT_EQ(c.day, 2);
    EXPECT_EQ(c.hour, 4);
    EXPECT_EQ(c.minute, 35);
    EXPECT_EQ(observingDateTime.year, 2024);
    EXPECT_FLOAT_EQ(searchSiderealTime,
                    static_cast<float>(LocalSiderealTime(2024, 3, 2, 4, 35, 0, observerLocation.longitude, 60)));

    // The resets leave the date alone.
    Command(kResetBoth);
    EXPECT_EQ(c.visibilityClass + c.eyepiece + c.magnitudeLimit + c.searchKind + c.objectType + c.constellation +
                  c.minAltitude,
              0);
    EXPECT_EQ(Label(kEyepiecePopup), "No Criteria");
    EXPECT_EQ(Selected(kTypeList), 0);
    EXPECT_EQ(c.year, 2024);
    EXPECT_EQ(Text(kDate), DateText(2, 3, 2024));
}

TEST_F(SearchForms, ABadDateIsRefusedAndChangesNothing) {
    SelectionCriteria& c = selectionCriteria;
    c.magnitudeLimit = 3;
    Open(kSelectionCriteriaFormId);
    Pick(kMagnitudePopup, kMagnitudeList, 6);
    const SelectionCriteria before = c;
    for (const std::string& date : {DateText(45, 1, 2025), DateText(29, 2, 2025), DateText(1, 13, 2025),
                                    DateText(1, 1, 2200), std::string("sometime")}) {
        SCOPED_TRACE(date);
        ClearRecordedReports();
        SetText(kDate, date);
        Command(kNewSearch);
        EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Please enter a valid date and time.\n"});
        EXPECT_EQ(GetCurrentFormId(), kSelectionCriteriaFormId);
        EXPECT_EQ(c.magnitudeLimit, before.magnitudeLimit);
        EXPECT_EQ(c.year, before.year);
        EXPECT_EQ(observingDateTime.year, 2025);
        EXPECT_EQ(selectionList.recordCount, 0);
    }
    SetText(kDate, DateText(1, 2, 2025));
    for (const char* time : {"24:00", "12:60", "12", "-1:00"}) {
        SCOPED_TRACE(time);
        ClearRecordedReports();
        SetText(kTime, time);
        Command(kAddSearch);
        EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Please enter a valid date and time.\n"});
        EXPECT_EQ(selectionList.recordCount, 0);
    }
}

TEST_F(SearchForms, SearchButtonsFillTheListAndAskForTheListForm) {
    Open(kSelectionCriteriaFormId);
    // Minus on an empty list: nothing happens, the form stays.
    Command(kRemoveMatching);
    EXPECT_TRUE(ReportTexts().empty());
    EXPECT_EQ(GetCurrentFormId(), kSelectionCriteriaFormId);

    // Plus on an empty list searches like N, keeping the selected object.
    Call([] {
        ObjectRef m = ObjectRef{};
        m.catalog = 42;
        m.number = 224;
        SetObjectSelection(&m, 0);
    });
    Pick(kCatalogPopup, kCatalogList, 6);  // "Planet"
    Command(kAddSearch);
    EXPECT_EQ(selectionList.recordCount, 10);
    EXPECT_EQ(IsObjectSelected(), 1);
    // The list form is asked for; until it is built the switch says so and keeps this one.
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Unkown form call\n"});
    EXPECT_EQ(GetCurrentFormId(), kSelectionCriteriaFormId);

    // Minus removes the matches: the planets.
    ClearRecordedReports();
    Command(kRemoveMatching);
    EXPECT_EQ(selectionList.recordCount, 0);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Unkown form call\n"});

    // N clears the selected object.
    ClearRecordedReports();
    Command(kNewSearch);
    EXPECT_EQ(selectionList.recordCount, 10);
    EXPECT_EQ(IsObjectSelected(), 0);
}

TEST_F(SearchForms, CatalogChoiceAndClockFollowWhatIsThere) {
    // A user catalog that has gone: "No Criteria".
    selectionCriteria.searchKind = kCatalogUser;
    selectionCriteria.year = 2001;
    preferences.word[pref::timeUpdateMode] = 0;
    Open(kSelectionCriteriaFormId);
    EXPECT_EQ(selectionCriteria.searchKind, 0);
    EXPECT_EQ(Selected(kCatalogList), 0);
    // Without the fixed-time flag every draw takes the device clock.
    int y, mo, d, h, mi, s;
    Call([&] { GetLocalDateTime(&y, &mo, &d, &h, &mi, &s); });
    EXPECT_EQ(selectionCriteria.year, y);
    EXPECT_EQ(observingDateTime.year, y);
    EXPECT_EQ(Text(kDate), DateText(d, mo, y));
}

TEST_F(SearchForms, AHeldCursorKeyStopsTheDeepSkyPassAtTheNextFiftyRecords) {
    // Catalog 1 holds records 0 to 29, catalog 2 records 30 to 149: a search of catalog 2
    // reads 30 to 49 and looks at the keys at 50.
    Write(root / "install" / "data" / kObjects1kFile, kObjectFileVersion, kCreatorObjects, kObjectRecordSize, 150,
          [](std::uint32_t i, std::uint8_t* r) {
              ObjectRecord o;
              o.catalog = i < 30 ? 1 : 2;
              o.number = i + 1;
              o.type = 16;
              o.ra = 3.0f;
              o.dec = 40.0f;
              o.magnitude = 12.0f;
              EncodeObjectRecord(o, r);
          });
    Call([] { OpenCatalogDatabases(1); });
    platform::headless::KeyDown(platform::kKeyDown);
    Call([] {
        InitSelectionCriteria(0, 2, 0);
        SearchAllCategories();
    });
    EXPECT_EQ(selectionList.recordCount, 20);
    EXPECT_EQ(selectionList.records[0].objectNumber, 31);
    platform::headless::KeyUp(platform::kKeyDown);
    Call([] {
        for (int i = 0; i < selectionList.capacity; ++i) selectionList.records[i].objectNumber = -1;
        selectionList.indexCount = 0;
        SearchAllCategories();
    });
    EXPECT_EQ(selectionList.recordCount, 120);
}

// ---- The ephemeris form ------------------------------------------------------------------

class EphemerisForm : public SearchForms {
protected:
    void OpenOn(int catalog, int number, int mode = kEphemerisRiseSet, int step = 3) {
        ephemerisStep = step;
        Call([=] {
            ClearObjectSelection();
            const ObservingDateTime& t = observingDateTime;
            OpenEphemeris(number, catalog, t.year, t.month, t.day, t.hour, t.minute);
        });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kEphemerisFormId);
        if (mode != kEphemerisRiseSet) Pick(kModePopupId, kModeListId, mode);
    }
    std::vector<EphemerisRow> Rows() {
        int n = 0;
        const EphemerisRow* rows = LastEphemerisRows(&n);
        return {rows, rows + n};
    }
    std::string Short(int day, int month, int year) {
        char text[40];
        Call([&] { FormatDateShort(text, day, month, year); });
        return text;
    }
    static constexpr int kModePopupId = ephemeris_form::kModePopup;
    static constexpr int kModeListId = ephemeris_form::kModeList;
};

// A time as the table shows it, in any hour format.
double Hours(const std::string& text) { return HmsStrToHours(text.c_str()); }

TEST_F(EphemerisForm, RowsStepByTheChosenDaysAndLeaveTheObservingDateAtTheStart) {
    OpenOn(kCatalogPlanet, 4, kEphemerisRiseSet, 6);  // Mars, 30 days
    const std::vector<EphemerisRow> rows = Rows();
    ASSERT_GE(rows.size(), 3u);
    EXPECT_STREQ(rows[0].text[0], Short(31, 1, 2025).c_str());
    EXPECT_STREQ(rows[1].text[0], Short(2, 3, 2025).c_str());
    EXPECT_EQ(observingDateTime.year, 2025);
    EXPECT_EQ(observingDateTime.month, 1);
    EXPECT_EQ(observingDateTime.day, 31);
    EXPECT_EQ(observingDateTime.hour, 21);
    EXPECT_EQ(Text(ephemeris_form::kDate), DateText(31, 1, 2025));

    // Mars moves: its rise changes from row to row, and at the time shown it stands on the
    // horizon of that date.
    for (std::size_t r = 0; r + 1 < rows.size() && r < 4; ++r) {
        SCOPED_TRACE(r);
        EXPECT_STRNE(rows[r].text[3], rows[r + 1].text[3]);
    }
    for (std::size_t r = 0; r < 3; ++r) {
        SCOPED_TRACE(r);
        int y = 2025, m = 1, d = 31;
        AddDays(&y, &m, &d, 30 * static_cast<int>(r));
        const double rise = Hours(rows[r].text[3]);
        BodyRecord mars{};
        const int h = static_cast<int>(rise), mi = static_cast<int>(std::lround((rise - h) * 60.0));
        ComputePlanetAt(observerLocation, GetDeltaT(y, m, d), 0, &mars, 4, y, m, d, h, mi, 0);
        const double lst = LocalSiderealTime(y, m, d, h, mi, 0, observerLocation.longitude, 60);
        EXPECT_NEAR(ComputeAltitude(lst, mars.rightAscension, mars.declination, 50.0), -0.6, 0.5);
    }
}

TEST_F(EphemerisForm, TheSunAndTheMoonUseTheirOwnRiseAndSet) {
    for (int body : {0, 1}) {
        SCOPED_TRACE(body);
        OpenOn(kCatalogPlanet, body);
        const std::vector<EphemerisRow> rows = Rows();
        ASSERT_GE(rows.size(), 2u);
        for (std::size_t r = 0; r < 2; ++r) {
            int y = 2025, m = 1, d = 31;
            AddDays(&y, &m, &d, 7 * static_cast<int>(r));
            double rise = 0, transit = 0, set = 0;
            if (body == 0)
                ComputeSunRiseSet(y, m, d, &rise, &transit, &set, nullptr);
            else
                ComputeMoonRiseSet(y, m, d, &rise, &transit, &set, nullptr);
            while (rise >= 24.0) rise -= 24.0;
            while (rise < 0.0) rise += 24.0;
            EXPECT_NEAR(Hours(rows[r].text[3]), rise, 1.5 / 60.0);
        }
    }
}

TEST_F(EphemerisForm, CircumpolarObjectsHaveNoRiseOrSet) {
    OpenOn(kCatalogConstellation, 84);  // Ursa Minor
    const std::vector<EphemerisRow> rows = Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_STREQ(rows[0].text[3], "-----");
    EXPECT_STREQ(rows[0].text[6], "-----");
    EXPECT_STRNE(rows[0].text[4], "-----");
}

TEST_F(EphemerisForm, PositionModeShowsABodyBelowTheHorizonWithANegativeAltitude) {
    OpenOn(kCatalogPlanet, 0, kEphemerisPosition);  // the Sun at 21:00
    const std::vector<EphemerisRow> rows = Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows[0].columns, 7);
    EXPECT_EQ(rows[0].text[6][0], '-') << rows[0].text[6];
    Command(ephemeris_form::kInfo);
    Pick(kModePopupId, kModeListId, 0);
    Command(ephemeris_form::kInfo);
    EXPECT_EQ(ReportTexts(),
              (std::vector<std::string>{
                  "\x95 Display the position ephemeris of an object.\n\x95 Change the date step to adjust the ephemeris upon your needs.",
                  "\x95 Display the rise and set ephemeris of an object.\n\x95 Change the date step to adjust the ephemeris upon your needs."}));
}

TEST_F(EphemerisForm, DraggingMovesTheStartADayPerTenPixels) {
    OpenOn(kCatalogPlanet, 4);
    const platform::Point top = platform::ClientToScreen(formWindow, platform::Point{100, 120});
    auto at = [&](int dy) { return platform::Point{top.x, top.y + dy}; };
    platform::headless::PenDown(at(0));
    platform::headless::PenMove(at(9));
    RunUntilIdle();
    EXPECT_EQ(ephemerisState.day, 31);
    platform::headless::PenMove(at(19));
    RunUntilIdle();
    EXPECT_EQ(ephemerisState.month, 2);
    EXPECT_EQ(ephemerisState.day, 1);
    EXPECT_EQ(observingDateTime.day, 1);
    EXPECT_STREQ(Rows()[0].text[0], Short(1, 2, 2025).c_str());
    platform::headless::PenMove(at(9));
    RunUntilIdle();
    EXPECT_EQ(ephemerisState.day, 31);
    platform::headless::PenUp(at(9));
    RunUntilIdle();
}

}  // namespace
