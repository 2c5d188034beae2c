// The finder: the keypad's rules per catalog, the TYC key, the look-up by halving over the
// object database, and the form's Sky, Clear and Goto on the headless screen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "catalog/catalog_fixture.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "catalog/records.h"
#include "catalog/selection_list.h"
#include "chart/chart_services.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "objects/finder_form.h"
#include "fixture_catalogs.h"
#include "objects/object_form_links.h"
#include "objects/object_pictures.h"
#include "shell/forms_fixture.h"
#include "support/recorded_reports.h"

using namespace finder_form;

namespace {

TEST(FinderTycho, KeysAndFormatChecks) {
    struct Case {
        const char* text;
        bool ok;
        long long key;
    } cases[] = {{"1234-56-1", true, 123400056LL}, {"9537-99999-1", true, 953799999LL}, {"1234", false, 0},
                 {"1234-", false, 0},               {"99999-1-1", false, 0},             {"0-5-1", false, 0},
                 {"1234-123456789012345", false, 0}, {"1234-0-1", false, 0},            {"", false, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::int64_t key = -1;
        EXPECT_EQ(ParseTychoKey(c.text, &key), c.ok);
        if (c.ok) {
            EXPECT_EQ(key, c.key);
        }
    }
}

class FinderDatabase : public CatalogTest {};

TEST_F(FinderDatabase, HalvingFindsTheNumberOfItsOwnCatalog) {
    WriteFile(Data(kDefaultStarsFile), 0, kCreatorDefaultStars, kStarRecordSize, 3, [](std::uint32_t, std::uint8_t*) {});
    WriteFile(Data(kMoonFile), kMoonFileVersion, kCreatorMoon, kMoonFeatureRecordSize, 10,
              [](std::uint32_t, std::uint8_t*) {});
    const std::vector<std::pair<int, int>> keys = {{29, 5}, {29, 9}, {42, 1}, {42, 5}, {42, 9}, {42, 224}};
    WriteFile(Data(kObjects1kFile), kObjectFileVersion, kCreatorObjects, kObjectRecordSize,
              static_cast<std::uint32_t>(keys.size()), [&](std::uint32_t i, std::uint8_t* r) {
                  ObjectRecord o;
                  o.catalog = static_cast<std::uint32_t>(keys[i].first);
                  o.number = static_cast<std::uint32_t>(keys[i].second);
                  EncodeObjectRecord(o, r);
              });
    ASSERT_EQ(OpenCatalogDatabases(0), 1);
    EXPECT_EQ(FindCatalogRecord(42, 5), 3);
    EXPECT_EQ(FindCatalogRecord(29, 5), 0);
    EXPECT_EQ(FindCatalogRecord(42, 224), 5);
    EXPECT_EQ(FindCatalogRecord(42, 7), -1);
    EXPECT_EQ(FindCatalogRecord(42, 4000000000LL), -1);
    EXPECT_EQ(FindCatalogRecord(kCatalogUgc, 5), -1);  // no object of it in the database
}

class FinderForm : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        savedEntry = finderEntry;
        finderEntry = FinderEntry{};
        objectSelection = ObjectSelection{};
        chartCentreRequest.index = -1;
        ASSERT_EQ(AllocSelectionList(), 1);
        ClearRecordedReports();
        SetFormDialogProc(kFinderFormId, &FinderAssistant);
        StartWithMainWindow(&FormHostProc);
        RunUntilIdle();
        Call([] { SetObservingDateTime(2025, 1, 31, 21, 0, 0); });
    }
    void TearDown() override {
        Stop();
        SetFormDialogProc(kFinderFormId, nullptr);
        FormScreenFixture::TearDown();
        FreeSelectionList();
        finderEntry = savedEntry;
        objectSelection = ObjectSelection{};
    }
    void OpenOn(int catalog) {
        Call([=] {
            chartCentreRequest.index = catalog;
            GotoForm(kFinderFormId);
        });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kFinderFormId);
        ASSERT_EQ(finderEntry.catalog, catalog);
    }
    void Type(const std::vector<int>& digits) {
        for (int d : digits) Command(kDigit0 + d);
    }
    std::string Prefix(int catalog) {
        std::string p(CatalogTable[catalog].prefix, strnlen(CatalogTable[catalog].prefix, 10));
        while (!p.empty() && p.back() == ' ') p.pop_back();
        return p;
    }
    FinderEntry savedEntry{};
};

TEST_F(FinderForm, KeypadRulesByCatalog) {
    const std::string popup = "Please use the popup list to select your object and not the numeric keyboard.\n";
    struct Case {
        int catalog;
        std::vector<int> digits;
        std::string digitsKept;
        std::vector<std::string> messages;
    } cases[] = {
        {kCatalogMessier, {1, 1, 0, 1}, "110", {}},
        {kCatalogHerschel, {1, 2, 3, 4}, "123", {}},
        {kCatalogCaldwell, {1, 1, 0}, "11", {}},
        {kCatalogPlanet, {3}, "", {popup}},
        {kCatalogConstellation, {3}, "", {popup}},
        {kCatalogBrightStar, {3}, "", {popup}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.catalog);
        OpenOn(c.catalog);
        Command(kClear);
        ClearRecordedReports();
        Type(c.digits);
        EXPECT_EQ(Text(kNumber), c.digitsKept.empty() ? "" : Prefix(c.catalog) + c.digitsKept);
        EXPECT_EQ(ReportTexts(), c.messages);
    }
    // Catalogs a chart or list request can bring: a limit, and one without objects here.
    ClearRecordedReports();
    Call([] {
        finderEntry.catalog = kCatalogHr;
        finderEntry.designation[0] = '\0';
        SetField(kNumber, "");
        for (int d : {1, 2, 3, 4, 5}) CheckFinderDigit(d);
        finderEntry.catalog = kCatalogUgc;
        CheckFinderDigit(1);
    });
    EXPECT_EQ(ReportTexts(),
              (std::vector<std::string>{"To many digits\n", "Sorry, there is no object available from this catalog "
                                                            "using your current object database.\n"}));
}

TEST_F(FinderForm, SkyClearGotoAndTheTychoFormat) {
    OpenOn(kCatalogMessier);
    ClearRecordedReports();
    Command(kSky);
    Command(kGoto);
    EXPECT_EQ(ReportTexts(), (std::vector<std::string>{"Sorry, no object was found.\n",
                                                       "Please select at least one object.\n"}));
    Type({1, 3});
    Command(kClear);
    EXPECT_EQ(Text(kNumber), "");
    EXPECT_EQ(finderEntry.designation[0], '\0');
    EXPECT_EQ(finderEntry.found, 0);

    ClearRecordedReports();
    Call([] {
        finderEntry.catalog = kCatalogTycho;
        SetField(kNumber, "TYC1234");
        FinderLookup(0);
        SetField(kNumber, "TYC1234-123456789012");
        FinderLookup(0);
    });
    const std::string format = "It seems the format is not correct.\nPlease use this one:\nTYCnnnn-nnnnnn-1";
    EXPECT_EQ(ReportTexts(), (std::vector<std::string>{format, format}));
}

// The finder over the fixture catalogs, with the forms it asks for recorded.
std::vector<int> askedForms;
platform::LResult RecordingHost(platform::Window w, unsigned m, platform::WParam wp, platform::LParam lp) {
    if (m == platform::kMsgCommand && platform::LowWord(wp) == kCmdShowForm)
        askedForms.push_back(static_cast<int>(lp & 0xFFFF));
    return FormHostProc(w, m, wp, lp);
}
int questions = 0;
int answerNo = 0;
int CountQuestion(const char*, const char*) {
    ++questions;
    return answerNo;
}

class FinderCatalogs : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        savedEntry = finderEntry;
        savedSite = observerLocation;
        finderEntry = FinderEntry{};
        objectSelection = ObjectSelection{};
        chartCentreRequest.index = -1;
        SetSiteLatitude(50.0f);
        observerLocation.longitude = -8.0f;
        observerLocation.zoneMinutes = 60;
        preferences.word[pref::timeUpdateMode] = 1;
        ASSERT_EQ(AllocSelectionList(), 1);
        askedForms.clear();
        questions = answerNo = 0;
        ReportHooks report;
        report.askYesNo = &CountQuestion;
        SetReportHooks(report);
        SetFormDialogProc(kFinderFormId, &FinderAssistant);
        StartWithMainWindow(&RecordingHost);
        RunUntilIdle();
        Call([this] {
            catalogs.Open(home / "catalogs");
            SetObservingDateTime(2025, 1, 31, 21, 0, 0);
        });
        ClearRecordedReports();
    }
    void TearDown() override {
        Stop();
        catalogs.Close();
        SetFormDialogProc(kFinderFormId, nullptr);
        SetReportHooks(ReportHooks{});
        FormScreenFixture::TearDown();
        platform::SetInstallRoot({});
        platform::SetHomeRoot({});
        FreeSelectionList();
        finderEntry = savedEntry;
        observerLocation = savedSite;
        objectSelection = ObjectSelection{};
    }
    // Opens the finder on a catalog from `from` (0: from the home form).
    void OpenOn(int catalog, int from = 0) {
        Call([=] {
            if (from) PushFormHistory(from);
            chartCentreRequest.index = catalog;
            GotoForm(kFinderFormId);
        });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kFinderFormId);
        askedForms.clear();
    }
    void Type(const std::vector<int>& digits) {
        for (int d : digits) Command(kDigit0 + d);
    }
    void PickRow(int row) { Pick(kObjectPopup, kObjectList, row); }
    std::string FoundPicture() { return pictureState.foundName; }
    FixtureCatalogs catalogs;
    FinderEntry savedEntry{};
    ObserverLocation savedSite{};
};

TEST_F(FinderCatalogs, ListPickingAndPictureNamesByCatalog) {
    int cru = -1;
    for (int i = 0; i < kConstellationCount; ++i)
        if (std::string(ConstellationTable[i].abbreviation) == "Cru") cru = i;
    ASSERT_GE(cru, 0);
    struct Case {
        int catalog;
        int row;                 // picked from the list, or -1
        std::vector<int> typed;  // else typed and found
        std::string shown, picture;
        int folder;  // the catalog whose picture folder is looked in
    } cases[] = {
        {kCatalogPlanet, 5, {}, "Jupiter", "Jupiter", kCatalogPlanet},
        {kCatalogConstellation, cru, {}, ConstellationTable[cru].name, "Cru", kCatalogConstellation},
        // The pictures of the record it stands for.
        {kCatalogCaldwell, -1, {2}, "C2", "NGC40", kCatalogNgc},
        {kCatalogHerschel, -1, {1}, "NGC40", "NGC40", kCatalogNgc},
        {kCatalogMessier, -1, {3, 1}, "M31", "M31", kCatalogMessier},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.picture);
        OpenOn(c.catalog);
        pictureState.foundName[0] = '\0';
        if (c.row >= 0) {
            PickRow(c.row);
        } else {
            Command(kClear);
            Type(c.typed);
            Command(kFind);
        }
        EXPECT_EQ(finderEntry.found, 1);
        EXPECT_TRUE(IsObjectSelected());
        EXPECT_EQ(std::string(objectSelection.displayName), c.shown);
        EXPECT_EQ(FoundPicture(), c.picture);
        EXPECT_EQ(pictureState.catalogCode, c.folder);
    }
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{});
}

TEST_F(FinderCatalogs, OkSkyAndBack) {
    // Ok from the chart with an object found goes to it on the chart.
    OpenOn(kCatalogMessier, 1900);
    Type({3, 1});
    Command(kOk);
    EXPECT_EQ(askedForms, std::vector<int>{1900});
    EXPECT_EQ(questions, 0);  // M31 is up
    // Ok from another form only goes back.
    OpenOn(kCatalogMessier, 112);
    Command(kOk);
    EXPECT_EQ(askedForms, std::vector<int>{112});

    // Sky for an object under the horizon asks only in the chart modes that would hide it.
    int cru = -1;
    for (int i = 0; i < kConstellationCount; ++i)
        if (std::string(ConstellationTable[i].abbreviation) == "Cru") cru = i;
    for (int mode = 0; mode <= 4; ++mode) {
        SCOPED_TRACE(mode);
        preferences.word[pref::chartMode] = mode;
        OpenOn(kCatalogConstellation, 112);
        PickRow(cru);
        questions = 0;
        Command(kSky);
        EXPECT_EQ(questions, mode == 0 || mode == 1 || mode == 3 ? 1 : 0);
        EXPECT_EQ(askedForms, std::vector<int>{1900});
    }
}

TEST_F(FinderCatalogs, TheEntrySurvivesClosingAndReopening) {
    OpenOn(kCatalogMessier);
    Type({3, 1});
    Command(kFind);
    ASSERT_EQ(finderEntry.found, 1);
    Call([] { GotoForm(kHomeFormId); });
    RunUntilIdle();
    Call([] { GotoForm(kFinderFormId); });
    RunUntilIdle();
    ASSERT_EQ(GetCurrentFormId(), kFinderFormId);
    EXPECT_EQ(finderEntry.catalog, kCatalogMessier);
    EXPECT_EQ(finderEntry.found, 1);
    EXPECT_EQ(Text(kNumber), "M31");
    EXPECT_EQ(std::string(objectSelection.displayName), "M31");

    // The ephemeris opens on the object found.
    askedForms.clear();
    Command(kEphemeris);
    EXPECT_EQ(askedForms, std::vector<int>{2530});
    EXPECT_EQ(objectSelection.object.catalog, static_cast<std::uint32_t>(kCatalogMessier));
}

}  // namespace
