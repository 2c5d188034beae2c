#pragma once
// The satellite form on the headless screen, with a satellite database that each test
// writes into a temporary home (the shipped file, from which the form's writable copy is
// made), a fixed site and observing time.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "catalog/catalog_fixture.h"
#include "catalog/databases.h"
#include "catalog/record_file.h"
#include "chart/chart_settings.h"
#include "core/observing_time.h"
#include "core/settings.h"
#include "platform/paths.h"
#include "satellites/satellites_assistant.h"
#include "shell/forms_fixture.h"
#include "shell/popup_lists.h"
#include "support/recorded_reports.h"

namespace satellite_form_test {

namespace fs = std::filesystem;
using namespace satellites_form;

inline constexpr const char* kIssLine1 = "1 25544U 98067A   08264.51782528 -.00002182  00000-0 -11606-4 0  2927";
inline constexpr const char* kIssLine2 = "2 25544  51.6416 247.4627 0006703 130.5360 325.0288 15.72125391563537";

struct TestSet {
    std::string name, line1, line2;
};

inline std::vector<TestSet> Sets(int n) {
    std::vector<TestSet> sets;
    for (int i = 0; i < n; ++i) sets.push_back({"SAT" + std::to_string(i), kIssLine1, kIssLine2});
    return sets;
}

class SatellitesForm : public FormScreenFixture {
protected:
    // Runs before the resources are loaded.
    virtual void PrepareResources() {}
    void SetUp() override {
        PrepareResources();
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        root = fs::temp_directory_path() / ("vk-satellites-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root / "install" / "data");
        fs::create_directories(root / "home" / "userlists");
        savedInstall = platform::InstallRoot();
        platform::SetInstallRoot(root / "install");
        platform::SetHomeRoot(root / "home");
        CloseCatalogDatabases();
        savedTime = observingDateTime;
        savedSite = observerLocation;
        SetSiteLatitude(48.0f);
        observerLocation.longitude = -2.0f;
        observerLocation.zoneMinutes = 0;
        SetObservingDateTime(2008, 9, 21, 12, 30, 45);
        satellitesAssistant = SatellitesAssistantState{};
        preferences.word[pref::chartMode] = 1;
        preferences.word[chartpref::objectNames] = 1;
        preferences.word[pref::lastSatellite] = 0;
        ClearRecordedReports();
        SetFormDialogProc(kFormId, &SatellitesAssistant);
        StartWithMainWindow(&FormHostProc);
    }
    void TearDown() override {
        Stop();
        CloseSatellitesAssistant();
        SetFormDialogProc(kFormId, nullptr);
        FormScreenFixture::TearDown();
        CloseCatalogDatabases();
        satellitesAssistant = SatellitesAssistantState{};
        observingDateTime = savedTime;
        observerLocation = savedSite;
        platform::SetInstallRoot(savedInstall);
        platform::SetHomeRoot({});
        fs::remove_all(root);
    }

    // The shipped file, and no user's copy yet: the form's database is the copy made from it.
    void WriteDatabase(const std::vector<TestSet>& sets) {
        fs::remove(UserCopy());
        WriteTestRecordFile(root / "install" / "data" / kSatelliteFile, 0, kCreatorSatellites, kSatelliteRecordSize,
                            static_cast<std::uint32_t>(sets.size()), [&](std::uint32_t i, std::uint8_t* r) {
                                SatelliteRecord rec;
                                std::strncpy(rec.name, sets[i].name.c_str(), kSatelliteTextSize);
                                std::strncpy(rec.line1, sets[i].line1.c_str(), kSatelliteTextSize);
                                std::strncpy(rec.line2, sets[i].line2.c_str(), kSatelliteTextSize);
                                EncodeSatelliteRecord(rec, r);
                            });
        Call([] { OpenDb(satelliteDb, kCreatorSatellites, kTypeCodeQvn1, 1, kDataFolder, kSatelliteFile); });
    }
    // The writable copy keeps the shipped file's folder under the user's catalog folder.
    fs::path UserCopy() const { return root / "home" / "usercatalogs" / "data" / kSatelliteFile; }
    void Open() {
        Call([] { GotoForm(kFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), kFormId);
    }
    void Close() {
        Call([] { platform::SendMessage(formWindow, platform::kMsgCommand, kCmdCloseForm, 0); });
        RunUntilIdle();
    }
    void Key(int key) {
        Call([key] { platform::SendMessage(formWindow, platform::kMsgKeyDown, static_cast<platform::WParam>(key), 0); });
        RunUntilIdle();
    }
    void Tick() {
        Call([] { platform::SendMessage(formWindow, platform::kMsgTimer, kClockTimer, 0); });
        RunUntilIdle();
    }
    int PopupRow(int trigger) {
        int row = -2;
        Call([&] {
            const PopupControl* p = GetPopupControl(Item(trigger));
            row = p ? p->selected : -2;
        });
        return row;
    }
    SatellitesAssistantState& S() { return satellitesAssistant; }

    fs::path root;
    fs::path savedInstall;
    ObservingDateTime savedTime{};
    ObserverLocation savedSite{};
};

}  // namespace satellite_form_test
