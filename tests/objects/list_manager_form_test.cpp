// The list manager on the headless screen: each kind's files and controls, the row taps,
// Load, Save, Delete, the help texts, and installing a location list.
#include "objects/list_manager_form.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/byte_order.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "catalog/selection_list.h"
#include "catalog/user_lists.h"
#include "core/report.h"
#include "platform/paths.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "support/recorded_reports.h"

namespace fs = std::filesystem;
using platform::Window;
using namespace list_manager;

namespace {

constexpr int kStandIns[] = {1800, 1600, 1450, 2600};

class ListManagerTest : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        home = fs::temp_directory_path() / ("vk-lists-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home);
        fs::create_directories(home);
        platform::SetHomeRoot(home);
        ASSERT_EQ(AllocSelectionList(), 1);
        ClearRecordedReports();
        SetFormDialogProc(kListManagerFormId, &ListManager);
        SetFormDialogProc(1800, &StandInFormProc<1800>);
        SetFormDialogProc(1600, &StandInFormProc<1600>);
        SetFormDialogProc(1450, &StandInFormProc<1450>);
        SetFormDialogProc(2600, &StandInFormProc<2600>);
        for (int id : kStandIns) {
            platform::DialogLayout layout;
            std::string error;
            ASSERT_TRUE(platform::ParseDialogLayout("dialog " + std::to_string(id) + "\nrect 0 0 240 320\n", &layout, &error));
            platform::RegisterDialogLayout(layout);
        }
        StartWithMainWindow(&FormHostProc);
    }
    void TearDown() override {
        Stop();
        for (int id : kStandIns) SetFormDialogProc(id, nullptr);
        SetFormDialogProc(kListManagerFormId, nullptr);
        FormScreenFixture::TearDown();
        FreeSelectionList();
        CloseCatalogDatabases();
        platform::SetHomeRoot({});
        fs::remove_all(home);
        SetListManagerMode(0);
        ClearRecordedReports();
    }

    void Open(int kind) {
        SetListManagerMode(kind);
        Call([] { GotoForm(kListManagerFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kListManagerFormId);
    }
    void TapRow(const std::string& file) {
        const auto& files = ListManagerFiles();
        const int row = static_cast<int>(std::find(files.begin(), files.end(), file) - files.begin());
        ASSERT_LT(row, static_cast<int>(files.size())) << file;
        Call([=] { SetListSelection(kFiles, row); });
        Command(kFiles);
    }
    bool Visible(int id) {
        bool shown = false;
        Call([&] { shown = platform::IsWindowVisible(Item(id)); });
        return shown;
    }
    // The files as the list shows them: by name, whatever order the folder gives.
    std::vector<std::string> SortedFiles() {
        std::vector<std::string> f;
        Call([&] { f = ListManagerFiles(); });
        return f;
    }
    void Touch(const fs::path& p, const std::string& text = "x") {
        ASSERT_TRUE(platform::WriteFileAtomically(p, text.data(), text.size()));
    }
    // A list file named `name` holding `count` records.
    void WriteList(const std::string& file, const char* name, int count) {
        std::vector<std::uint8_t> b(kUserListHeaderSize + count * sizeof(SelectionRecord), 0);
        le::PutText(b.data(), 4, 40, name);
        le::PutI32(b.data(), 44, 2023);
        le::PutI32(b.data(), 48, 11);
        le::PutI32(b.data(), 52, 5);
        le::PutI32(b.data(), 56, 21);
        le::PutI32(b.data(), 60, 7);
        le::PutI32(b.data(), 64, count);
        for (int i = 0; i < count; ++i) le::PutI32(b.data(), kUserListHeaderSize + i * sizeof(SelectionRecord) + 16, i + 1);
        Touch(home / "userlists" / file, std::string(b.begin(), b.end()));
    }
    void WriteDatabase(const fs::path& path, std::uint32_t creator, std::uint32_t size, int count) {
        RecordFileImage image;
        image.creator = creator;
        image.recordSize = size;
        for (int i = 0; i < count; ++i) image.Append()[0] = static_cast<std::uint8_t>('A' + i);
        ASSERT_TRUE(WriteRecordFileImage(path, image));
    }
    fs::path home;
};

}  // namespace

TEST_F(ListManagerTest, ObservingListsAreListedShownLoadedSavedAndDeleted) {
    WriteList("winter.lst", "Winter sky", 3);
    WriteList("summer.lst", "Summer", 1);
    Touch(home / "userlists" / "notes.txt");
    fs::create_directories(home / "userlists" / "folder.lst");
    Open(kListsKind);
    EXPECT_EQ(SortedFiles(), (std::vector<std::string>{"summer.lst", "winter.lst"}));
    EXPECT_EQ(Text(kName), "<New list name>");
    EXPECT_TRUE(Visible(kDate));
    EXPECT_TRUE(Visible(kSave));
    EXPECT_FALSE(Visible(kImport));
    EXPECT_FALSE(Visible(kHelpLine));

    TapRow("winter.lst");
    EXPECT_EQ(Text(kName), "Winter sky");
    EXPECT_EQ(Text(kDate), "05/11/2023");
    EXPECT_EQ(Text(kTime), "21:07");

    // Save with nothing in the list.
    Command(kSave);
    EXPECT_EQ(ReportTexts(), std::vector<std::string>{"Please select at least one object\n"});

    // Delete takes the file away without asking.
    TapRow("summer.lst");
    Command(kDelete);
    EXPECT_FALSE(fs::exists(home / "userlists" / "summer.lst"));
    EXPECT_EQ(SortedFiles(), std::vector<std::string>{"winter.lst"});

    // Load reads the list and opens the list form.
    TapRow("winter.lst");
    Command(kLoad);
    EXPECT_EQ(selectionList.recordCount, 3);
    EXPECT_EQ(selectionList.records[3].objectNumber, -1);
    EXPECT_EQ(GetCurrentFormId(), 1800);

    // Saved under the typed name, and listed.
    Open(kListsKind);
    Call([] { SetField(kName, "my/../best list"); });
    Command(kSave);
    EXPECT_TRUE(fs::exists(home / "userlists" / "mybest list.lst"));
    EXPECT_EQ(SortedFiles(), (std::vector<std::string>{"mybest list.lst", "winter.lst"}));
}

TEST_F(ListManagerTest, EachKindShowsItsFilesAndDefaultName) {
    const fs::path catalogs = home / "usercatalogs";
    fs::create_directories(catalogs);
    for (const char* f : {"objects.ppc", "abc", "home.loc", "mine.eyp", "logs.txt", "other.lst"}) Touch(catalogs / f);
    const struct {
        int kind;
        const char* name;
        std::vector<std::string> files;
        int loadForm;
    } cases[] = {
        {kUserCatalogsKind, "user_object", {"objects.ppc"}, 1800},
        {kLocationsKind, "location_list", {"home.loc"}, 1600},
        {kEyepiecesKind, "eyepiece_list", {"mine.eyp"}, 1450},
        {kLogsKind, "log_list", {"logs.txt"}, 2600},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        Open(c.kind);
        EXPECT_EQ(Text(kName), c.name);
        EXPECT_EQ(SortedFiles(), c.files);
        EXPECT_FALSE(Visible(kDate));
        EXPECT_FALSE(Visible(kSave));
        EXPECT_TRUE(Visible(kImport));
        EXPECT_TRUE(Visible(kHelpLine));
        EXPECT_TRUE(Visible(kDelete));
        TapRow(c.files[0]);
        EXPECT_EQ(Text(kName), c.files[0].substr(0, c.files[0].size() - 4));
        ClearRecordedReports();
        Command(kInfo);
        ASSERT_EQ(RecordedReports().size(), 1u);
        EXPECT_EQ(RecordedReports()[0].heading.substr(0, 2), "\x95 ");
        EXPECT_NE(RecordedReports()[0].heading.find("Then press the @ button."), std::string::npos);
    }
    // A name of four characters or fewer stays whole.
    Open(kUserCatalogsKind);
    fs::rename(catalogs / "objects.ppc", catalogs / ".ppc");
    Touch(catalogs / "abc.ppc");
    Open(kUserCatalogsKind);
    TapRow(".ppc");
    EXPECT_EQ(Text(kName), ".ppc");
    // The kind popup changes the kind shown.
    Call([] { SetListSelection(kKindList, kLocationsKind); });
    Command(kKindPopup, kKindList);
    EXPECT_EQ(GetListManagerMode(), kLocationsKind);
    EXPECT_EQ(SortedFiles(), std::vector<std::string>{"home.loc"});
    // Loading an observer-log text opens the observer log.
    Open(kLogsKind);
    TapRow("logs.txt");
    Command(kLoad);
    EXPECT_EQ(GetCurrentFormId(), 2600);
}

TEST_F(ListManagerTest, ListsHelpAndInstallingALocationList) {
    Open(kListsKind);
    Command(kInfo);
    EXPECT_EQ(ReportTexts(),
              std::vector<std::string>{"\x95 ill the name of your current list then press Save button to keep it.\n\x95 "
                                       "To remove an old list use Del button.\n\x95 To Reuse a previous one, select it "
                                       "then press Load button."});

    const fs::path catalogs = home / "usercatalogs";
    const fs::path installed = catalogs / "data" / kLocationFile;
    WriteDatabase(installed, kCreatorLocations, kLocationRecordSize, 1);
    WriteDatabase(catalogs / "trip.loc", kCreatorLocations, kLocationRecordSize, 3);
    WriteDatabase(catalogs / "wrong.loc", kCreatorEyepieces, 72, 2);
    const auto before = fs::file_size(installed);

    Open(kLocationsKind);
    ClearRecordedReports();
    TapRow("wrong.loc");
    Command(kLoad);
    EXPECT_EQ(GetCurrentFormId(), kListManagerFormId) << "a file of another kind is refused";
    EXPECT_EQ(fs::file_size(installed), before);
    ASSERT_EQ(RecordedReports().size(), 1u);
    EXPECT_EQ(RecordedReports()[0].heading, "This is not a location list.");

    TapRow("trip.loc");
    Command(kLoad);
    EXPECT_EQ(GetCurrentFormId(), 1600);
    RecordFileImage image;
    ASSERT_TRUE(ReadRecordFileImage(installed, image));
    EXPECT_EQ(image.Count(), 3u);
}
