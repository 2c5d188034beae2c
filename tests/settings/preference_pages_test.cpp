#include "settings/preference_pages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "catalog/catalog_fixture.h"
#include "catalog/oculars.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_services.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "objects/image_sync.h"
#include "platform/system_colors.h"
#include "scope/encoder_boxes.h"
#include "scope/serial_equipment.h"
#include "scope/serial_port.h"
#include "shell/forms_fixture.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"
#include "support/recorded_reports.h"

using platform::Window;
using namespace prefpage;

namespace {

int announced = 0;
void CountAnnouncement() { ++announced; }

constexpr int kPages[7] = {kPreferencePage1Form, kPreferencePage2Form, kPreferencePage3Form, kPreferencePage4Form,
                           kPreferencePage5Form, kPreferencePage6Form, kPreferencePage7Form};
constexpr platform::DialogProc kProcs[7] = {&PreferencePage1, &PreferencePage2, &PreferencePage3, &PreferencePage4,
                                            &PreferencePage5, &PreferencePage6, &PreferencePage7};
const char* const kFixturePorts[2] = {"/dev/pts/velkarion-mount", "/dev/pts/velkarion-gps"};

class PreferencePagesTest : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        std::filesystem::create_directories(home / "install" / "data");
        EnterCatalogState(home / "install", home / "home");
        for (int i = 0; i < 7; ++i) SetFormDialogProc(kPages[i], kProcs[i]);
        SetFormDialogProc(kHomeFormId, &StandInFormProc<kHomeFormId>);
        announced = 0;
        SetAfterSettingsListener(&CountAnnouncement);
        SetImageSyncLinks(ImageSyncLinks{&PreferenceCommand});
        StartWithMainWindow(&FormHostProc);
        Call([] { GotoForm(kHomeFormId); });
        RunUntilIdle();
    }
    void PrepareSettings() override {
        // The port list: "None", then the fixture's pseudo-terminals.
        bench = std::make_unique<SerialBench>(std::vector<std::string>{kFixturePorts[0], kFixturePorts[1]});
        observerLocation = ObserverLocation{};
        SetDefaultSettings();
        Word(pref::scopeDrive) = 5;
    }
    void TearDown() override {
        Stop();
        SetAfterSettingsListener(nullptr);
        SetImageSyncLinks(ImageSyncLinks{});
        imageSyncState = {};
        SetNetworkAllowed(0);
        for (int id : kPages) SetFormDialogProc(id, nullptr);
        SetFormDialogProc(kHomeFormId, nullptr);
        FormScreenFixture::TearDown();
        LeaveCatalogState();
        FreeSelectionList();
        bench.reset();
    }

    static std::int32_t& Word(int word) { return preferences.word[word]; }
    void Open(int id) {
        Call([id] { GotoForm(id); });
        RunUntilIdle();
        ASSERT_EQ(GetCurrentFormId(), id);
        ClearRecordedReports();
        announced = 0;
    }
    static int Current() { return GetCurrentFormId(); }
    int Row(int list) {
        int row = 0;
        Call([&] { row = GetListSelection(list); });
        return row;
    }
    bool Visible(int id) {
        bool shown = false;
        Call([&] { shown = platform::IsWindowVisible(Item(id)); });
        return shown;
    }
    std::vector<std::string> Rows(int list) {
        std::vector<std::string> rows;
        Call([&] {
            for (int n = 0; n < GetListRowCount(list); ++n) {
                std::string text;
                platform::SendMessage(Item(list), platform::kMsgListGetItemText, n, reinterpret_cast<platform::LParam>(&text));
                rows.push_back(text);
            }
        });
        return rows;
    }
    void Choose(int list, int row) {
        Call([=] { SetListSelection(list, row); });
    }
    static std::vector<std::string> Headings() {
        std::vector<std::string> out;
        for (const ReportRecord& r : RecordedReports()) out.push_back(r.heading);
        return out;
    }
    int ButtonTop(int id) {
        int top = 0;
        Call([&] { top = platform::GetRectInParent(Item(id)).top; });
        return top;
    }

    std::unique_ptr<SerialBench> bench;
};

// ---- The framework ---------------------------------------------------------------------------

TEST_F(PreferencePagesTest, OkNextAndPrevApplyTheirPageAndGoWhereTheyLead) {
    struct Case {
        int page, button, target;  // target 0: back to the form the pages were opened from
    };
    const Case cases[] = {
        {1400, kOk1, 0},    {1400, kNext1, 1430}, {1430, kOk2, 0},    {1430, kNext2, 1450}, {1430, kPrev2, 1400},
        {1450, kOk3, 0},    {1450, kNext3, 1620}, {1450, kPrev3, 1430}, {1620, kOk4, 0},    {1620, kNext4, 1476},
        {1620, kPrev4, 1450}, {1476, kOk5, 0},    {1476, kNext5, 1337}, {1476, kPrev5, 1620}, {1337, kOk6, 0},
        {1337, kPrev6, 1476}, {1357, kOk7, 0},    {1357, kPrev7, 1337},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        Call([] { GotoForm(kHomeFormId); });
        RunUntilIdle();
        Open(c.page);
        Command(c.button);
        EXPECT_EQ(Current(), c.target ? c.target : kHomeFormId);
        EXPECT_EQ(announced, 1) << "the page is applied once";
        EXPECT_TRUE(RecordedReports().empty()) << ReportText(0);
    }
    // Walking through the pages, Ok still goes back to where they were opened from.
    Call([] { GotoForm(kHomeFormId); });
    RunUntilIdle();
    Open(1400);
    for (int next : {kNext1, kNext2, kNext3, kNext4, kNext5}) Command(next);
    ASSERT_EQ(Current(), 1337);
    Command(kOk6);
    EXPECT_EQ(Current(), kHomeFormId);
}

TEST_F(PreferencePagesTest, TabsApplyThePageOnScreenFirstAndIdOkActsAsOk) {
    for (int tab = kFirstTab; tab <= kLastTab; ++tab) {
        Open(1430);
        Choose(kMountList, 2);
        Command(tab);
        EXPECT_EQ(Current(), kPages[tab - kFirstTab]);
        EXPECT_EQ(Word(pref::mountType), 2) << "page 2/7 was applied before tab " << tab;
        Word(pref::mountType) = 0;
    }
    // The tab of the page on screen: applied, then filled anew from the settings.
    Open(1430);
    Choose(kMountList, 1);
    Command(kFirstTab + 1);
    EXPECT_EQ(Current(), 1430);
    EXPECT_EQ(Word(pref::mountType), 1);
    EXPECT_EQ(Row(kMountList), 1);
    // IDOK on every page: apply and back.
    for (int page : kPages) {
        Open(page);
        Command(1);
        EXPECT_EQ(Current(), kHomeFormId) << page;
        EXPECT_EQ(announced, 1) << page;
    }
}

TEST_F(PreferencePagesTest, APageLeftByAMenuCommandIsNotAppliedButTheDriveIsKept) {
    Open(1430);
    Choose(kMountList, 2);
    Call([] { GotoForm(kHomeFormId); });
    RunUntilIdle();
    EXPECT_EQ(Word(pref::mountType), 0);
    EXPECT_EQ(announced, 0);

    Open(1400);
    Choose(kCorrectionList, 3);
    Pick(kDriveTrigger, kDriveList, 13);
    EXPECT_EQ(Word(pref::scopeDrive), 13) << "stored at the choice";
    Call([] { GotoForm(kHomeFormId); });
    RunUntilIdle();
    EXPECT_EQ(Word(pref::scopeDrive), 13);
    EXPECT_EQ(Word(pref::coordinateMode), 0);
}

TEST_F(PreferencePagesTest, InfoButtonsShowTheirBulletedMessages) {
    struct Case {
        int page, id;
        const char* heading;
    };
    const Case cases[] = {
        {1400, kInfoDrive, "\x95 Select your drive from the list"},
        {1430, kInfoScope, "\x95 Scope Diameter (in mm) and F-Ratio"},
        {1620, kInfoZoom, "Set Star and Object magnitude limit for each Zoom Level."},
        {1337, kInfoConstants, "\x95 Jupiter's Great Red Spot (GRS) longitude"},
    };
    for (const Case& c : cases) {
        Open(c.page);
        Command(c.id);
        ASSERT_EQ(RecordedReports().size(), 1u) << c.id;
        EXPECT_EQ(RecordedReports()[0].heading.rfind(c.heading, 0), 0u) << RecordedReports()[0].heading;
        EXPECT_EQ(Current(), c.page);
    }
    EXPECT_EQ(RecordedReports()[0].detail,
              "\x95 DeltaT (difference between \"Terrestrial Time\" TT, and \"Universal Time\" UT) is used to compute "
              "Topocentric positions.");
}

TEST_F(PreferencePagesTest, PagesFourAndFiveLiftTheirButtonsOnLowScreens) {
    const int s = static_cast<int>(screenScale.vertical);
    for (int page : {1476, 1620, 1450}) {
        Open(page);
        const int ok = page == 1476 ? kOk5 : page == 1620 ? kOk4 : kOk3;
        for (int height : {260 * s, 261 * s}) {
            const int tab = ButtonTop(kFirstTab), okTop = ButtonTop(ok);
            Call([&] { LayoutPreferencePage(formWindow, page, 240 * s, height); });
            const int expected = page != 1450 && height == 260 * s ? -20 * s : height - 320 * s;
            EXPECT_EQ(ButtonTop(kFirstTab) - tab, expected) << page << " " << height;
            EXPECT_EQ(ButtonTop(ok) - okTop, expected) << page << " " << height;
        }
    }
}

// ---- Page 1/7 --------------------------------------------------------------------------------

TEST_F(PreferencePagesTest, EncoderStepsFollowTheDriveAndKeepTheirCountsAndOffsets) {
    Word(pref::encoderStepsAz) = 4000;
    Word(pref::encoderStepsAlt) = -2000;
    encoderState.altOffset = 7;
    encoderState.azOffset = 9;
    Open(1400);
    EXPECT_FALSE(Visible(kStepsAz)) << "LX200 has no encoders";
    Pick(kDriveTrigger, kDriveList, 3);  // BBox
    EXPECT_TRUE(Visible(kStepsAz));
    EXPECT_TRUE(Visible(kStepsAlt));
    EXPECT_EQ(Text(kStepsAz), "4000");
    EXPECT_EQ(Text(kStepsAlt), "-2000");
    Pick(kDriveTrigger, kDriveList, 5);  // LX200
    EXPECT_FALSE(Visible(kStepsAz));
    Command(kOk1);
    EXPECT_EQ(Word(pref::scopeDrive), 5);
    EXPECT_EQ(Word(pref::encoderStepsAz), 4000);
    EXPECT_EQ(Word(pref::encoderStepsAlt), -2000);
    EXPECT_EQ(encoderState.azOffset, 9) << "the offsets are kept";

    // A count that is no number is refused, named, and the page stays.
    Open(1400);
    Pick(kDriveTrigger, kDriveList, 3);
    SetText(kStepsAz, "12a");
    Command(kOk1);
    EXPECT_EQ(Current(), 1400);
    ASSERT_EQ(Headings(), std::vector<std::string>{"Invalid Az encoder steps"});
    EXPECT_NE(RecordedReports()[0].detail.find("\"12a\""), std::string::npos);
    EXPECT_EQ(Word(pref::encoderStepsAz), 4000);
    EXPECT_EQ(encoderState.azOffset, 9);
    // An unchanged count keeps the offsets; a changed one forgets them.
    SetText(kStepsAz, "4000");
    Command(kOk1);
    EXPECT_EQ(Current(), kHomeFormId);
    EXPECT_EQ(encoderState.azOffset, 9);
    Open(1400);
    SetText(kStepsAz, " 5000 ");
    Command(kOk1);
    EXPECT_EQ(Word(pref::encoderStepsAz), 5000);
    EXPECT_EQ(encoderState.azOffset, 0);
    EXPECT_EQ(encoderState.altOffset, 0);
}

TEST_F(PreferencePagesTest, PortPopupsListNoneAndTheFixturePortsWithoutGrowing) {
    Word(pref::gpsPort) = 2;
    Open(1400);
    const int count = GetComPortCount();
    ASSERT_GE(count, 3);
    char name[64];
    GetComPortName(0, name, sizeof name);
    EXPECT_STREQ(name, "None");
    GetComPortName(1, name, sizeof name);
    EXPECT_STREQ(name, kFixturePorts[0]);
    GetComPortName(2, name, sizeof name);
    EXPECT_STREQ(name, kFixturePorts[1]);
    for (int list : {kScopePortList, kGpsPortList, kCameraPortList}) {
        int rows = 0;
        Call([&] { rows = GetListRowCount(list); });
        EXPECT_EQ(rows, count) << list;
    }
    EXPECT_EQ(Row(kGpsPortList), 2);
    // The row painter names the port.
    Call([] {
        const platform::Dc dc = platform::GetWindowDc(formWindow);
        SetDrawTarget(formWindow, dc);
        DrawPortListItem(1, Bounds{0, 0, 100, 16});
        ReleaseDrawTarget();
        platform::ReleaseDc(formWindow, dc);
    });
    EXPECT_STREQ(txtBuffer, kFixturePorts[0]);
    Choose(kScopePortList, 1);
    for (int visit = 0; visit < 10; ++visit) Command(kFirstTab);
    EXPECT_EQ(GetComPortCount(), count);
    EXPECT_EQ(Word(pref::scopePort), 1);
}

// ---- Page 2/7 --------------------------------------------------------------------------------

TEST_F(PreferencePagesTest, OtherDiameterAndFocalRatioAreTypedWithinTheirRanges) {
    Open(1430);
    EXPECT_FALSE(Visible(kDiameterField));
    Pick(kDiameterTrigger, kDiameterList, 19);
    EXPECT_TRUE(Visible(kDiameterField)) << "\"Other\" shows the field at once";
    Pick(kDiameterTrigger, kDiameterList, 3);
    EXPECT_FALSE(Visible(kDiameterField));
    Pick(kDiameterTrigger, kDiameterList, 19);
    SetText(kDiameterField, "254");
    Pick(kRatioTrigger, kRatioList, 12);
    SetText(kRatioField, "4,55");
    Command(kOk2);
    EXPECT_EQ(Word(pref::apertureChoice), 254);
    EXPECT_EQ(Word(pref::focalRatioChoice), 45);

    Open(1430);
    EXPECT_EQ(Row(kDiameterList), 19);
    EXPECT_EQ(Text(kDiameterField), "254");
    EXPECT_EQ(Row(kRatioList), 12);
    EXPECT_EQ(Text(kRatioField), "4.5");
    Command(kOk2);
    EXPECT_EQ(Word(pref::focalRatioChoice), 45) << "an untouched ratio applies unchanged";

    struct Case {
        int field;
        const char* text;
        const char* heading;
    };
    const Case refused[] = {{kDiameterField, "12", "Invalid Diameter"},   {kDiameterField, "-5", "Invalid Diameter"},
                            {kDiameterField, "", "Invalid Diameter"},     {kDiameterField, "10001", "Invalid Diameter"},
                            {kRatioField, "1.1", "Invalid F-Ratio"},      {kRatioField, "f/5", "Invalid F-Ratio"}};
    for (const Case& c : refused) {
        Open(1430);
        SetText(c.field, c.text);
        Command(kNext2);
        EXPECT_EQ(Current(), 1430) << c.text;
        EXPECT_EQ(Headings(), std::vector<std::string>{c.heading}) << c.text;
        EXPECT_EQ(Word(pref::apertureChoice), 254) << c.text;
        EXPECT_EQ(Word(pref::focalRatioChoice), 45) << c.text;
    }
    Open(1430);
    SetText(kDiameterField, "19");
    SetText(kRatioField, "1.2");
    Command(kOk2);
    EXPECT_EQ(Word(pref::apertureChoice), 19);
    EXPECT_EQ(Word(pref::focalRatioChoice), 12);
    EXPECT_TRUE(RecordedReports().empty());
}

TEST_F(PreferencePagesTest, NightModeAndListSizeActOnlyWhenChanged) {
    const platform::Color day = platform::SystemColor(platform::kColorButtonFace);
    ASSERT_EQ(AllocSelectionList(), 1);
    selectionList.recordCount = selectionList.indexCount = 3;
    Open(1430);
    EXPECT_EQ(Rows(kNightList), (std::vector<std::string>{"Off", "Dark", "Medium", "Bright"}));
    Command(kOk2);
    EXPECT_EQ(platform::SystemColor(platform::kColorButtonFace), day);
    EXPECT_EQ(selectionList.recordCount, 3) << "an unchanged size keeps the list";

    Open(1430);
    Choose(kNightList, 2);
    Choose(kMaxSelectedList, 4);
    Command(kOk2);
    EXPECT_EQ(Word(pref::nightMode), 2);
    EXPECT_NE(platform::SystemColor(platform::kColorButtonFace), day);
    EXPECT_EQ(Word(pref::maxSelectedChoice), 4);
    EXPECT_EQ(selectionList.recordCount, 0) << "a new size empties the list";
    EXPECT_EQ(selectionList.capacity, GetSelectionListCapacity());
    Call([] { SetNightColours(0); });
}

// ---- Page 3/7 --------------------------------------------------------------------------------

class PreferencePage3Test : public PreferencePagesTest {
protected:
    // A Tycho 390K level file of one record of 42 stars.
    void WriteTycho390k() {
        RecordFileImage image;
        image.creator = kCreatorStellarLevel;
        image.recordSize = 42 * 12;
        std::memset(image.Append(), 0, 42 * 12);
        ASSERT_TRUE(WriteRecordFileImage(home / "install" / "data" / kStellarLevelFiles[kStarLevelTycho390k], image));
    }
    static int PageReports(const char* heading) {
        int n = 0;
        for (const ReportRecord& r : RecordedReports()) n += r.heading == heading;
        return n;
    }
};

TEST_F(PreferencePage3Test, AMissingCatalogKeepsThePageForItsButtonsButNotForATab) {
    const char* missing = "It seems the optional stellar catalog you selected isn't on your card.";
    for (int button : {kOk3, kNext3, kPrev3}) {
        Open(1450);
        Pick(kCatalogTrigger, kCatalogList, 2);
        Command(button);
        EXPECT_EQ(Current(), 1450) << button;
        ASSERT_EQ(PageReports(missing), 1) << button;
        for (const ReportRecord& r : RecordedReports()) {
            if (r.heading == missing) {
                EXPECT_EQ(r.detail, "Please check you put Velkarion catalogs under in the right folder.");
            }
        }
        EXPECT_EQ(Word(pref::stellarCatalogChoice), 0) << "the choice falls back";
        EXPECT_EQ(Row(kCatalogList), 0);
    }
    Open(1450);
    Pick(kCatalogTrigger, kCatalogList, 3);
    Command(kFirstTab + 3);
    EXPECT_EQ(Current(), 1620);
    EXPECT_EQ(PageReports(missing), 1);
    EXPECT_EQ(Word(pref::stellarCatalogChoice), 0);
}

TEST_F(PreferencePage3Test, AFallbackLevelIsAcceptedWithItsOwnMessageOnly) {
    WriteTycho390k();
    Open(1450);
    Pick(kCatalogTrigger, kCatalogList, 6);
    Command(kNext3);
    EXPECT_EQ(Current(), 1620);
    EXPECT_EQ(PageReports("velkarion_tycho_2500k.ppc is not installed"), 1);
    EXPECT_EQ(PageReports("It seems the optional stellar catalog you selected isn't on your card."), 0);
    EXPECT_EQ(Word(pref::stellarCatalogChoice), 6);
    EXPECT_EQ(starCatalogLevel, kStarLevelTycho390k);

    Open(1450);
    Pick(kCatalogTrigger, kCatalogList, 0);
    Command(kOk3);
    EXPECT_EQ(Current(), kHomeFormId);
    EXPECT_EQ(PageReports("It seems the optional stellar catalog you selected isn't on your card."), 0);
    EXPECT_EQ(Word(pref::stellarCatalogChoice), 0);
    EXPECT_EQ(IsStellarDbOpen(), 0);
}

TEST_F(PreferencePage3Test, ChangedBackgroundAndLineSetTakeEffect) {
    Open(1450);
    EXPECT_TRUE(Visible(kCursorTrigger)) << "a portrait screen has room for the cursor choice";
    EXPECT_EQ(Rows(kEyepieceList).size(), 1u) << "no eyepiece file: \"None\" alone";
    Call([] { savedChartBitmap = CreateOffscreen(4, 4); });
    Command(kOk3);
    EXPECT_NE(savedChartBitmap, nullptr) << "an unchanged background keeps the chart's picture";
    EXPECT_EQ(PageReports("Could not find velkarion_constellation.ppc"), 0);

    Open(1450);
    Choose(kBackgroundList, 0);
    Choose(kLineSetList, 1);
    Command(kOk3);
    EXPECT_EQ(savedChartBitmap, nullptr);
    EXPECT_EQ(Word(pref::chartBackground), 0);
    EXPECT_EQ(PageReports("Could not find velkarion_constellation.ppc"), 1) << "the new line set was loaded";
    EXPECT_EQ(Word(pref::constellationLineSet), 1);
}

// ---- Page 4/7 --------------------------------------------------------------------------------

TEST_F(PreferencePagesTest, LimitTextsComeFromTheTableTheChartApplies) {
    selectionCriteria.telescopeLimit = 12.25f;
    selectionCriteria.nakedEyeLimit = 6.5f;
    Word(pref::starLimitChoice) = 3;
    Word(pref::objectLimitChoice + 8) = 2;
    Open(1620);
    EXPECT_EQ(Rows(kObjectTriggers[8] + 1),
              (std::vector<std::string>{"All", "<7", "<8", "<9", "<10", "<11", "Scope", "Eyes"}));
    EXPECT_EQ(Rows(kObjectTriggers[0] + 1), (std::vector<std::string>{"All", "<3", "<4", "<5", "Scope", "Eyes"}));
    EXPECT_EQ(Rows(kStarTriggers[9] + 1),
              (std::vector<std::string>{"<10", "<10.5", "<11", "<11.5", "<12", "Scope", "Eyes"}));
    EXPECT_EQ(Row(kObjectTriggers[8] + 1), 2);
    EXPECT_EQ(Row(kStarTriggers[5] + 1), 3);
    const std::vector<std::string> fixed{"<5", "<5", "<5", "<6", "<7"};
    for (int level = 0; level < 5; ++level) EXPECT_EQ(Text(kFixedStarLabels[level]), fixed[level]) << level;

    // Every row chosen gives the chart the limit its text names.
    auto limitOf = [](const std::string& text) {
        if (text == "All") return 100.0f;
        if (text == "Scope") return 12.25f;
        if (text == "Eyes") return 6.5f;
        return std::stof(text.substr(1));
    };
    for (int level = 0; level < 10; ++level) {
        const std::vector<std::string> objects = Rows(kObjectTriggers[level] + 1);
        for (int row = 0; row < static_cast<int>(objects.size()); ++row) {
            Choose(kObjectTriggers[level] + 1, row);
            Call([] { ApplyPreferencePage4(); });
            float object = 0;
            GetMagnitudeLimits(level, nullptr, &object);
            EXPECT_EQ(object, limitOf(objects[row])) << level << " " << objects[row];
        }
        if (level < 5) continue;
        const std::vector<std::string> stars = Rows(kStarTriggers[level] + 1);
        for (int row = 0; row < static_cast<int>(stars.size()); ++row) {
            Choose(kStarTriggers[level] + 1, row);
            Call([] { ApplyPreferencePage4(); });
            float star = 0;
            GetMagnitudeLimits(level, &star, nullptr);
            EXPECT_EQ(star, limitOf(stars[row])) << level << " " << stars[row];
            if (level == 5) {
                GetMagnitudeLimits(4, &star, nullptr);
                EXPECT_EQ(star, limitOf(stars[row])) << "level 4 shares level 5's choice";
            }
        }
    }
}

TEST_F(PreferencePagesTest, ViewIconsAreStoredAtOnceAndLimitsOnlyByApply) {
    Word(pref::zoomViewIcon + 7) = 1;
    Open(1620);
    auto icon = [this](int trigger) {
        int bitmap = 0;
        Call([&] { bitmap = GetPopupControl(Item(trigger))->bitmapId; });
        return bitmap;
    };
    EXPECT_EQ(icon(kViewTriggers[7]), kDayIconBase + 1);
    Pick(kViewTriggers[3], kViewTriggers[3] + 1, 2);
    EXPECT_EQ(Word(pref::zoomViewIcon + 3), 2);
    EXPECT_EQ(icon(kViewTriggers[3]), kDayIconBase + 2);
    const int before = Word(pref::objectLimitChoice);
    Choose(kObjectTriggers[0] + 1, 5);
    Call([] { GotoForm(kHomeFormId); });
    RunUntilIdle();
    EXPECT_EQ(Word(pref::zoomViewIcon + 3), 2);
    EXPECT_EQ(Word(pref::objectLimitChoice), before);

    Word(pref::nightMode) = 1;
    Open(1620);
    EXPECT_EQ(icon(kViewTriggers[3]), kNightIconBase + 2);
}

// ---- Page 5/7 --------------------------------------------------------------------------------

TEST_F(PreferencePagesTest, TelradRadiiAndCheckBoxesRoundTrip) {
    const int checks[] = {1510, 1522, 1524, 1513, 1512, 1530, 1341, 1516, 1515, 1508,
                          1511, 1342, 1531, 1343, 1514, 1527, 1528, 1335, 1336};
    const int words[] = {pref::showConstNames, pref::showFovEyepiece, pref::showConstLines, pref::showFovCcd,
                         pref::showObjNames, pref::showAltAzGrid, pref::objDrilldown, pref::hideGrid,
                         pref::showStarsLegend, pref::hideToolBar, pref::showStarSymbols, pref::hideInfoBar,
                         pref::showEcliptic, pref::hideCompass, pref::showTelrad, pref::scrollMoreStars,
                         pref::scrollMoreObjects, pref::showGrid, pref::starsAsPixel};
    for (int i = 0; i < 19; ++i) Word(words[i]) = i % 2;
    Word(pref::extraDisplayFlag) = 1;
    Word(pref::serialWriteDelay) = 4;
    Open(1476);
    EXPECT_EQ(Word(pref::serialWriteDelay), 0);
    for (int i = 0; i < 19; ++i) {
        int check = -1;
        Call([&] { check = GetCheck(formWindow, checks[i]); });
        EXPECT_EQ(check, i % 2) << checks[i];
        Call([&] { SetCheck(formWindow, checks[i], 1 - i % 2); });
    }
    EXPECT_EQ(Text(kTelrad[0]), "0.5");
    SetText(kTelrad[0], "0.25");
    SetText(kTelrad[1], "x");
    Command(kOk5);
    EXPECT_EQ(Current(), 1476) << "a refused radius keeps the page";
    EXPECT_EQ(Headings(), std::vector<std::string>{"Invalid Telrad 2"});
    EXPECT_EQ(Word(pref::telradRadius), 3);
    EXPECT_EQ(Word(pref::telradRadius + 1), 20);
    for (int i = 0; i < 19; ++i) EXPECT_EQ(Word(words[i]), 1 - i % 2) << checks[i];
    EXPECT_EQ(Word(pref::extraDisplayFlag), 0);
    Open(1476);
    EXPECT_EQ(Text(kTelrad[0]), "0.3");
    EXPECT_EQ(Text(kTelrad[1]), "2.0");
}

// ---- Page 6/7 --------------------------------------------------------------------------------

TEST_F(PreferencePagesTest, UntouchedConstantsSurviveAVisitAndEditedOnesAreChecked) {
    SetPreferenceFloat(pref::deltaTUser, 123.4567f);
    SetPreferenceFloat(pref::grsLongitude, 157.25f);
    preferences.eqPlatformDelay = 1234;
    Open(1337);
    EXPECT_EQ(Text(kDeltaTField), "123.45");
    EXPECT_EQ(Text(kGrsField), "157.2");
    EXPECT_EQ(Text(kDelayField), "123");
    Choose(kFormulaList, 1);
    Choose(kRaFormatList, 3);
    Choose(kDecFormatList, 0);
    Choose(kDistanceList, 1);
    Command(kOk6);
    EXPECT_EQ(PreferenceFloat(pref::deltaTUser), 123.4567f);
    EXPECT_EQ(PreferenceFloat(pref::grsLongitude), 157.25f);
    EXPECT_EQ(preferences.eqPlatformDelay, 1234);
    EXPECT_EQ(Word(pref::deltaTFormula), 1);
    EXPECT_EQ(Word(pref::hourFormat), 3);
    EXPECT_EQ(Word(pref::degreeFormat), 0);
    EXPECT_EQ(preferences.distanceUnit, 1);

    Open(1337);
    SetText(kDeltaTField, "69,2");
    SetText(kDelayField, "15");
    Command(kOk6);
    EXPECT_EQ(PreferenceFloat(pref::deltaTUser), 69.2f);
    EXPECT_EQ(preferences.eqPlatformDelay, 15);

    for (const char* text : {"abc", "", "40", "250"}) {
        Open(1337);
        SetText(kDeltaTField, text);
        Command(kOk6);
        EXPECT_EQ(Current(), 1337) << text;
        EXPECT_EQ(Headings(), std::vector<std::string>{"Invalid DeltaT"}) << text;
        EXPECT_EQ(PreferenceFloat(pref::deltaTUser), 69.2f) << text;
    }
}

// ---- Page 7/7 --------------------------------------------------------------------------------

TEST_F(PreferencePagesTest, AddressesAreCutTo127Characters) {
    Open(1357);
    EXPECT_EQ(Text(kCometUrl), preferences.cometUrl);
    const std::string typed(200, 'a');
    SetText(kDataUrl, typed);
    Command(kOk7);
    EXPECT_EQ(std::string(preferences.dataUrl), typed.substr(0, 127));
}

TEST_F(PreferencePagesTest, SyncRunsOnTheTimerUntilItStopsItself) {
    const char* unavailable = "The Velkarion web site and/or Internet access are not available.";
    Open(1357);
    Command(kSync);
    EXPECT_TRUE(RecordedReports().empty()) << "the first step waits for the timer";
    Advance(10);
    ASSERT_EQ(Headings(), std::vector<std::string>{unavailable});
    Advance(200);
    EXPECT_EQ(RecordedReports().size(), 1u) << "the step stopped the timer";

    // Stop, IDOK and the close request stop a run before its first step.
    for (int stop : {kStop, 1, 0}) {
        Open(1357);
        Command(kSync);
        if (stop) Command(stop);
        else Call([] { GotoForm(kHomeFormId); });
        RunUntilIdle();
        Advance(100);
        EXPECT_TRUE(RecordedReports().empty()) << stop;
        EXPECT_EQ(Current(), stop == kStop ? 1357 : kHomeFormId);
    }
}

TEST_F(PreferencePagesTest, SyncAllowsDownloadsOnlyWithAnAddressAndStopAndClearEndAndRestartTheRun) {
    imageSyncState.messier = 40;
    Open(1357);
    Command(kSync);
    EXPECT_FALSE(IsNetworkAllowed()) << "no data-service address";
    Command(kStop);
    std::strcpy(preferences.dataUrl, "http://127.0.0.1:9/");
    Open(1357);
    Command(kSync);
    EXPECT_TRUE(IsNetworkAllowed());
    EXPECT_EQ(imageSyncState.stop, 0);
    Command(kStop);
    EXPECT_FALSE(IsNetworkAllowed());
    EXPECT_EQ(imageSyncState.stop, 1);
    EXPECT_EQ(imageSyncState.messier, 40) << "a stopped run goes on where it stopped";
    Command(kClear);
    EXPECT_EQ(imageSyncState.messier, 1);
    EXPECT_EQ(imageSyncState.stop, 0);
}

}  // namespace
