// The NightTripper list on the headless screen: sorting, filtering, the two views, Del and
// the clear button, the meteor-shower details, the chart command's question, the picture
// names and the observer-log button.
#include "objects/night_tripper_form.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/object_lookup.h"
#include "catalog/object_selection.h"
#include "catalog/selection_list.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/objects_services.h"
#include "objects/observer_log_form.h"
#include "objects/selection_criteria_form.h"
#include "platform/paths.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "shell/colour_scheme.h"
#include "shell/fonts.h"
#include "platform/headless.h"
#include "support/recorded_reports.h"
#include "support/scripted_questions.h"

using namespace night_tripper;

namespace {

constexpr int kChartForm = 1900;
constexpr int kStandIns[] = {kChartForm, kSelectionCriteriaFormId, 2350};

struct Entry {
    const char* label;
    int group, catalog, number, type, magnitude10;
    float ra, dec;
};

class NightTripperTest : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        platform::SetHomeRoot(home);
        savedSite = observerLocation;
        savedTime = observingDateTime;
        savedCriteria = selectionCriteria;
        SetSiteLatitude(46.0f);
        observerLocation.longitude = -7.0f;
        observerLocation.zoneMinutes = 60;
        SetObservingDateTime(2025, 3, 20, 22, 0, 0);
        selectionCriteria.year = 2025, selectionCriteria.month = 3, selectionCriteria.day = 20;
        selectionCriteria.hour = 22, selectionCriteria.minute = 0;
        preferences.word[pref::chartMode] = 0;
        ASSERT_EQ(AllocSelectionList(), 1);
        selectionList.categoryFilter = 0;
        objectSelection = ObjectSelection{};
        nightTripperState = NightTripperState{};
        observerLogState = ObserverLogState{};
        ClearRecordedReports();
        scripted = std::make_unique<ScriptedQuestions>();
        SetFormDialogProc(kNightTripperFormId, &NightTripper);
        SetFormDialogProc(kObserverLogFormId, &ObserverLog);
        SetFormDialogProc(kChartForm, &StandInFormProc<kChartForm>);
        SetFormDialogProc(kSelectionCriteriaFormId, &StandInFormProc<kSelectionCriteriaFormId>);
        SetFormDialogProc(2350, &StandInFormProc<2350>);
        for (int id : kStandIns) {
            platform::DialogLayout layout;
            std::string error;
            ASSERT_TRUE(platform::ParseDialogLayout("dialog " + std::to_string(id) + "\nrect 0 0 240 320\n", &layout,
                                                    &error));
            platform::RegisterDialogLayout(layout);
        }
        StartWithMainWindow(&FormHostProc);
    }
    void TearDown() override {
        Stop();
        for (int id : {kNightTripperFormId, kObserverLogFormId, kChartForm, kSelectionCriteriaFormId, 2350})
            SetFormDialogProc(id, nullptr);
        FormScreenFixture::TearDown();
        scripted.reset();
        FreeSelectionList();
        FreeObserverLogEntry();
        observerLocation = savedSite;
        observingDateTime = savedTime;
        selectionCriteria = savedCriteria;
        objectSelection = ObjectSelection{};
        nightTripperState = NightTripperState{};
        observerLogState = ObserverLogState{};
        platform::SetHomeRoot({});
        ClearRecordedReports();
    }

    static void Fill(const std::vector<Entry>& entries) {
        SelectionList& l = selectionList;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const Entry& e = entries[i];
            SelectionRecord& r = l.records[i];
            r = SelectionRecord{};
            std::snprintf(r.label, sizeof r.label, "%s", e.label);
            r.group = static_cast<std::int16_t>(e.group);
            r.catalogCode = static_cast<std::int16_t>(e.catalog);
            r.objectNumber = e.number;
            r.objectIndex = static_cast<std::int16_t>(e.number);
            r.typeCode = static_cast<std::int16_t>(e.type);
            r.magnitude10 = e.magnitude10;
            r.rightAscension = e.ra;
            r.declination = e.dec;
            r.sizeA = 10, r.sizeB = 5;
            l.index[i] = static_cast<std::int32_t>(i);
        }
        l.indexCount = l.recordCount = static_cast<int>(entries.size());
        l.currentPosition = 0;
    }
    void Open() {
        Call([] { GotoForm(kNightTripperFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kNightTripperFormId);
    }
    void Highlight(int row) {
        Call([=] { SetListSelection(kNameList, row); });
        Command(kNameList);
    }
    static std::vector<std::string> Labels() {
        std::vector<std::string> out;
        for (int i = 0; i < selectionList.recordCount; ++i) out.push_back(selectionList.records[i].label);
        return out;
    }
    // The labels in the list's order (through the filter's index).
    static std::vector<std::string> Shown() {
        std::vector<std::string> out;
        for (int i = 0; i < selectionList.indexCount; ++i)
            out.push_back(selectionList.records[GetSelectionObject(i)].label);
        return out;
    }

    ObserverLocation savedSite{};
    ObservingDateTime savedTime{};
    SelectionCriteria savedCriteria{};
    std::unique_ptr<ScriptedQuestions> scripted;
};

const std::vector<Entry> kMixed = {
    {"NGC7000", 6, kCatalogNgc, 7000, 19, 40, 20.98f, 44.3f},
    {"C5", kGroupCaldwell, kCatalogIc, 342, 16, 91, 3.78f, 68.1f},
    {"M31", kGroupMessier, kCatalogNgc, 224, 16, 34, 0.71f, 41.3f},
    {"Jupiter", kGroupBody, kCatalogPlanet, 5, 27, -24, 4.9f, 22.0f},
    {"IC10", 6, kCatalogIc, 10, 16, 104, 0.34f, 59.3f},
};

TEST_F(NightTripperTest, SortingByNameKeepsPlanetsMessierAndCaldwellFirstAndByMagnitudeBreaksTies) {
    Fill(kMixed);
    Open();
    Pick(kSortPopup, kSortList, 0);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Jupiter", "M31", "C5", "IC10", "NGC7000"}));
    EXPECT_EQ(nightTripperState.sortOrder, 0);
    // Equal magnitudes: the catalog code, then the number, decide.
    selectionList.records[3].magnitude10 = 40;  // IC10 as bright as NGC7000
    Pick(kSortPopup, kSortList, 1);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Jupiter", "M31", "IC10", "NGC7000", "C5"}));
}

TEST_F(NightTripperTest, AFilterThatMatchesNothingLeavesTheListAndTheFieldsEmpty) {
    Fill({kMixed[0], kMixed[1], kMixed[4]});
    Open();
    EXPECT_EQ(Text(kName), "NGC7000");
    EXPECT_NE(Text(kRa), "");
    Pick(kFilterPopup, kFilterList, 6);  // "Planet"
    EXPECT_EQ(selectionList.categoryFilter, 6);
    EXPECT_EQ(selectionList.indexCount, 0);
    EXPECT_EQ(Text(kName), "");
    EXPECT_EQ(Text(kRa), "");
    EXPECT_EQ(nightTripperState.selectedRecord, -1);
    // Nothing to delete, nothing to sort.
    Command(kDelete);
    Pick(kSortPopup, kSortList, 1);
    EXPECT_EQ(selectionList.recordCount, 3);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"NGC7000", "C5", "IC10"}));
}

TEST_F(NightTripperTest, SwitchingTheViewKeepsTheHighlightedObject) {
    Fill(kMixed);
    Open();
    Highlight(4);
    EXPECT_EQ(Text(kName), "IC10");
    Command(kToggleView);
    EXPECT_EQ(nightTripperState.barView, 1);
    int row = -1;
    bool barsShown = false, namesShown = true;
    Call([&] {
        row = GetListSelection(kBarList);
        barsShown = platform::IsWindowVisible(Item(kBarList));
        namesShown = platform::IsWindowVisible(Item(kNameList));
    });
    EXPECT_EQ(row, 4);
    EXPECT_TRUE(barsShown);
    EXPECT_FALSE(namesShown);
    EXPECT_EQ(Text(kName), "IC10");
    Command(kToggleView);
    EXPECT_EQ(Text(kName), "IC10");
}

TEST_F(NightTripperTest, DelRemovesTheHighlightedRecordAndClearEmptiesTheList) {
    Fill(kMixed);
    Open();
    Highlight(1);
    Command(kDelete);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"NGC7000", "M31", "Jupiter", "IC10"}));
    // With a filter the row's record, not the row's number, goes.
    Pick(kFilterPopup, kFilterList, 4);  // "Galaxy"
    ASSERT_EQ(Shown(), (std::vector<std::string>{"M31", "IC10"}));
    Highlight(1);
    Command(kDelete);
    EXPECT_EQ(Labels(), (std::vector<std::string>{"NGC7000", "M31", "Jupiter"}));
    EXPECT_EQ(Shown(), std::vector<std::string>{"M31"});
    Command(kClear);
    EXPECT_EQ(selectionList.recordCount, 0);
    EXPECT_EQ(selectionList.indexCount, 0);
    EXPECT_EQ(selectionList.categoryFilter, 0);
    EXPECT_EQ(GetCurrentFormId(), kNightTripperFormId);
    EXPECT_EQ(Text(kName), "");
}

TEST_F(NightTripperTest, AMeteorShowerShowsItsDatesAndAVariableMaximum) {
    int shower = -1;
    for (int i = 0; i < kMeteorShowerCount && shower < 0; ++i)
        if (meteorShowerTable[i].peakDay == 0) shower = i;
    ASSERT_GE(shower, 0);
    const MeteorShower& m = meteorShowerTable[shower];
    Fill({{m.name, 14, kCatalogMeteor, shower, 29, 30, m.radiantRa100 / 100.0f, static_cast<float>(m.radiantDec)}});
    Open();
    EXPECT_EQ(Text(kMagnitudeLabel), "Start");
    EXPECT_EQ(Text(kEyepieceLabel), "Max");
    EXPECT_EQ(Text(kSizeLabel), "End");
    EXPECT_EQ(Text(kEyepiece), "Var.");
    static constexpr const char* kMonths[12] = {"Jan", "Fev", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char start[16];
    std::snprintf(start, sizeof start, "%02d-%s", m.startDay, kMonths[m.startMonth - 1]);
    EXPECT_EQ(Text(kMagnitude), start);
}

TEST_F(NightTripperTest, TheChartCommandAsksAboutAnObjectBelowTheHorizon) {
    Fill({{"Deep south", 6, kCatalogNgc, 1, 16, 80, 6.0f, -80.0f}, {"High", 6, kCatalogNgc, 2, 16, 80, 6.0f, 85.0f}});
    Open();
    ScriptedQuestions::No() = true;
    Command(kChart);
    EXPECT_EQ(ScriptedQuestions::Asked(),
              std::vector<std::string>{"This object is below horizon and will not be displayed in your current chart.\n\n|"
                                       "Do you want to change your chart to see it?"});
    EXPECT_EQ(GetCurrentFormId(), kNightTripperFormId);
    EXPECT_EQ(preferences.word[pref::chartMode], 0);
    ScriptedQuestions::No() = false;
    Command(kChart);
    EXPECT_EQ(preferences.word[pref::chartMode], 2);
    EXPECT_EQ(GetCurrentFormId(), kChartForm);
    // In chart mode 2 nothing is asked.
    ScriptedQuestions::Asked().clear();
    Open();
    Command(kChart);
    EXPECT_TRUE(ScriptedQuestions::Asked().empty());
    EXPECT_EQ(GetCurrentFormId(), kChartForm);
}

TEST_F(NightTripperTest, TheObserverLogButtonOpensANewEntry) {
    Fill(kMixed);
    Open();
    Command(kObserverLog);
    EXPECT_EQ(GetCurrentFormId(), kObserverLogFormId);
    EXPECT_EQ(observerLogState.mode, kObserverLogNewEntry);
    EXPECT_EQ(observerLogState.openedNew, 1);
    EXPECT_EQ(Text(observer_log_form::kName), "NGC7000");
    Command(observer_log_form::kCancel);
    EXPECT_EQ(GetCurrentFormId(), kNightTripperFormId);
}

TEST_F(NightTripperTest, BothViewsKeepToTheNightPalette) {
    Call([] {
        // As the night-mode choice does: the symbol strips are made again in red.
        preferences.word[pref::nightMode] = 3;
        SetNightColours(3);
        FreeSymbolStrips();
    });
    Fill(kMixed);
    const auto outsideThePalette = [] {
        const platform::Surface& frame = platform::headless::Frame();
        int outside = 0;
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x) outside += (frame.Row(y)[x] & 0x3FF) != 0;  // green or blue bits
        return outside;
    };
    Open();
    EXPECT_EQ(outsideThePalette(), 0);
    Command(kToggleView);
    EXPECT_EQ(outsideThePalette(), 0);
}

TEST(NightTripperPictures, EachCatalogHasItsPictureName) {
    const struct {
        const char* label;
        int group, catalog, number;
        const char* name;
        int code;
    } cases[] = {
        {"M31", kGroupMessier, kCatalogNgc, 224, "M31", kCatalogMessier},
        {"Jupiter", kGroupBody, kCatalogPlanet, 5, "Jupiter", kCatalogPlanet},
        {"Andromeda", 13, kCatalogConstellation, 0, ConstellationTable[0].abbreviation, kCatalogConstellation},
        {"", 6, kCatalogNgc, 7000, "NGC7000", kCatalogNgc},
        {"C5", kGroupCaldwell, kCatalogIc, 342, "IC342", kCatalogIc},
    };
    for (const auto& c : cases) {
        SelectionRecord r{};
        std::snprintf(r.label, sizeof r.label, "%s", c.label);
        r.group = static_cast<std::int16_t>(c.group);
        r.catalogCode = static_cast<std::int16_t>(c.catalog);
        r.objectNumber = c.number;
        int code = -1;
        EXPECT_EQ(NightTripperPictureName(r, &code), c.name) << c.label;
        EXPECT_EQ(code, c.code) << c.label;
    }
}

}  // namespace
