// The location list (form 1600) on the headless screen: its rows, the chosen town's
// coordinates, the page keys that wrap, Ok and Cancel, and a missing database.
#include "settings/location_list_form.h"

#include <gtest/gtest.h>

#include <string>

#include <unistd.h>

#include "catalog/databases.h"
#include "catalog/location_choice.h"
#include "catalog/locations.h"
#include "catalog/record_file.h"
#include "core/report.h"
#include "platform/paths.h"
#include "shell/forms_fixture.h"
#include "shell/list_views.h"
#include "support/recorded_reports.h"

namespace {

using namespace location_list;

constexpr int kBackForm = 60201;

class LocationListTest : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        locationChoice = 5;
        ClearRecordedReports();
        platform::DialogLayout back;
        std::string error;
        ASSERT_TRUE(platform::ParseDialogLayout("dialog 60201\nrect 0 0 240 320\n", &back, &error)) << error;
        platform::RegisterDialogLayout(back);
        SetFormDialogProc(kBackForm, &StandInFormProc<kBackForm>);
        SetFormDialogProc(kFormId, &LocationList);
        StartWithMainWindow(&FormHostProc);
    }
    void TearDown() override {
        Stop();
        CloseLocationDb();
        SetFormDialogProc(kFormId, nullptr);
        SetFormDialogProc(kBackForm, nullptr);
        FormScreenFixture::TearDown();
        std::filesystem::remove(platform::ResolvePath("usercatalogs\\data\\velkarion_location.ppc"));
    }
    void WriteTowns() {
        RecordFileImage image;
        image.creator = kCreatorLocations;
        image.recordSize = kLocationRecordSize;
        const struct {
            const char* country;
            const char* town;
            float lat, lon;
        } towns[] = {{"France", "Paris", 48.85f, 2.35f}, {"Peru", "Lima", -12.05f, -77.04f}, {"Japan", "Tokyo", 35.68f, 139.69f}};
        for (const auto& t : towns) {
            LocationRecord l;
            std::snprintf(l.country, sizeof l.country, "%s", t.country);
            std::snprintf(l.town, sizeof l.town, "%s", t.town);
            l.latitude = t.lat;
            l.longitude = t.lon;
            EncodeLocationRecord(l, image.Append());
        }
        const auto path = platform::ResolvePath("usercatalogs\\data\\velkarion_location.ppc");
        ASSERT_TRUE(platform::EnsureParentFolders(path));
        ASSERT_TRUE(WriteRecordFileImage(path, image));
    }
    void Open() {
        Call([] { GotoForm(kBackForm); });
        ASSERT_TRUE(RunUntilIdle());
        Call([] { GotoForm(kFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kFormId);
    }
    void PageKey(int key) {
        Call([=] { platform::SendMessage(formWindow, platform::kMsgKeyDown, static_cast<platform::WParam>(key), 0); });
        RunUntilIdle();
    }
    void Choose(int row) {
        Call([=] { SetListSelection(kList, row); });
        Command(kList);
    }
    int Selected() {
        int row = -2;
        Call([&] { row = GetListSelection(kList); });
        return row;
    }
};

TEST_F(LocationListTest, ChoosingARowShowsItsCoordinatesAndKeepsIt) {
    WriteTowns();
    Open();
    EXPECT_EQ(locationChoice, -1);
    EXPECT_EQ(locationCount, 3);
    int rows = 0;
    Call([&] { rows = GetListCount(platform::GetDialogItem(formWindow, kList)); });
    EXPECT_EQ(rows, 3);
    Choose(0);
    EXPECT_EQ(locationChoice, 0);
    const std::string latitude = Text(kLatitude), longitude = Text(kLongitude);
    EXPECT_EQ(latitude.substr(latitude.size() - 2), " N") << latitude;
    EXPECT_EQ(longitude.substr(longitude.size() - 2), " E") << longitude;
    EXPECT_EQ(longitude.find('-'), std::string::npos) << longitude;
    EXPECT_NE(longitude.find("2"), std::string::npos) << longitude;
    Choose(1);
    EXPECT_EQ(Text(kLatitude).substr(Text(kLatitude).size() - 2), " S");
    EXPECT_EQ(Text(kLongitude).substr(Text(kLongitude).size() - 2), " W");
    Command(kOk);
    EXPECT_EQ(GetCurrentFormId(), kBackForm);
    EXPECT_EQ(locationChoice, 1);
}

TEST_F(LocationListTest, PageKeysWrapAroundTheList) {
    WriteTowns();
    Open();
    Choose(0);
    PageKey(platform::kKeyPageDown);
    EXPECT_EQ(Selected(), 2);
    EXPECT_EQ(locationChoice, 2);
    PageKey(platform::kKeyPageUp);
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(locationChoice, 0);
    PageKey(platform::kKeyPageUp);
    EXPECT_EQ(locationChoice, 1);
}

TEST_F(LocationListTest, CancelLeavesNoChoice) {
    WriteTowns();
    Open();
    Choose(2);
    EXPECT_EQ(locationChoice, 2);
    Command(kCancel);
    EXPECT_EQ(GetCurrentFormId(), kBackForm);
    EXPECT_EQ(locationChoice, -1);
}

TEST_F(LocationListTest, MissingDatabaseIsReportedAndOkReturnsWithoutAChoice) {
    std::filesystem::remove(platform::ResolvePath("usercatalogs\\data\\velkarion_location.ppc"));
    // A built catalog set beside the program would supply the database: the form sees an
    // install root holding everything but the data folder.
    const std::filesystem::path installed = platform::InstallRoot();
    const std::filesystem::path bare =
        std::filesystem::temp_directory_path() / ("vk-bare-install-" + std::to_string(::getpid()));
    std::filesystem::remove_all(bare);
    std::filesystem::create_directories(bare);
    for (const auto& entry : std::filesystem::directory_iterator(installed))
        if (entry.path().filename() != "data") std::filesystem::create_directory_symlink(entry.path(), bare / entry.path().filename());
    platform::SetInstallRoot(bare);
    Open();
    platform::SetInstallRoot({});
    std::filesystem::remove_all(bare);
    bool reported = false;
    for (const ReportRecord& r : RecordedReports())
        reported = reported || r.heading == "Could not retreive velkarion_location.ppc database.";
    EXPECT_TRUE(reported);
    Command(kOk);
    EXPECT_EQ(GetCurrentFormId(), kBackForm);
    EXPECT_EQ(locationChoice, -1);
}

}  // namespace
