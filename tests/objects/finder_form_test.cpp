// The finder: the keypad's rules per catalog, the TYC key, the look-up by halving over the
// object database, and the form's Sky, Clear and Goto on the headless screen.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "catalog/catalog_fixture.h"
#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "catalog/records.h"
#include "catalog/selection_list.h"
#include "chart/chart_services.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "objects/finder_form.h"
#include "objects/object_form_links.h"
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

}  // namespace
