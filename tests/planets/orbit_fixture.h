#pragma once
// The orbit assistant on the headless screen with a comet database written into a
// temporary install root (the program opens the user's copy of it in the home root).
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
#include "core/report.h"
#include "planets/comet_lists.h"
#include "planets/orbit_assistant.h"
#include "planets/orbit_views.h"
#include "platform/paths.h"
#include "shell/forms_fixture.h"
#include "shell/popup_lists.h"
#include "support/recorded_reports.h"

inline CometRecord MakeComet(const char* name, int year, int month, double day, double q, double e, double w,
                             double node, double incl, double g = 5.0, double k = 10.0, int kind = 13) {
    CometRecord r;
    r.kind = static_cast<std::uint32_t>(kind);
    std::snprintf(r.name, sizeof r.name, "%s", name);
    r.year = static_cast<std::int16_t>(year);
    r.month = static_cast<std::int16_t>(month);
    r.perihelionDay = static_cast<float>(day);
    r.perihelionDistance = static_cast<float>(q);
    r.eccentricity = static_cast<float>(e);
    r.argPerihelion = static_cast<float>(w);
    r.ascendingNode = static_cast<float>(node);
    r.inclination = static_cast<float>(incl);
    r.magnitude1 = static_cast<float>(g);
    r.magnitude2 = static_cast<float>(k);
    return r;
}

// A short-period comet near perihelion in October 2023 (elements of the kind of 2P).
inline CometRecord EnckeLike(const char* name = "2P/Encke") {
    return MakeComet(name, 2023, 10, 22.7, 0.3395, 0.8471, 186.54, 334.18, 11.35, 11.5, 10.0);
}

class OrbitFormTest : public FormScreenFixture {
protected:
    void SetUp() override {
        FormScreenFixture::SetUp();
        if (HasFatalFailure()) return;
        root = std::filesystem::temp_directory_path() /
               ("vk-orbit-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "install" / "data");
        std::filesystem::create_directories(root / "home" / "import");
        savedInstall = platform::InstallRoot();
        platform::SetInstallRoot(root / "install");
        platform::SetHomeRoot(root / "home");
        CloseCatalogDatabases();
        savedTime = observingDateTime;
        savedSite = observerLocation;
        observerLocation.latitude = 48.0f;
        observerLocation.longitude = -2.0f;
        observerLocation.zoneMinutes = 0;
        SetObservingDateTime(2023, 10, 1, 21, 30, 0);
        orbitForm = OrbitFormState{};
        preferences.word[pref::chartMode] = 1;
        preferences.word[chartpref::objDrilldown] = 1;
        preferences.word[chartpref::skyViewPlain] = 1;
        ClearRecordedReports();
        SetFormDialogProc(orbit_form::kFormId, &OrbitAssistant);
        StartWithMainWindow(&FormHostProc);
    }
    void TearDown() override {
        Stop();
        CloseOrbitForm();
        SetFormDialogProc(orbit_form::kFormId, nullptr);
        FormScreenFixture::TearDown();
        CloseCatalogDatabases();
        orbitForm = OrbitFormState{};
        cometMagList.clear();
        observingDateTime = savedTime;
        observerLocation = savedSite;
        platform::SetInstallRoot(savedInstall);
        platform::SetHomeRoot({});
        std::filesystem::remove_all(root);
    }

    void WriteComets(const std::vector<CometRecord>& comets) {
        Call([] { CloseCatalogDatabases(); });
        WriteTestRecordFile(root / "install" / "data" / kCometFile, 0, kCreatorComets, kCometRecordSize,
                            static_cast<std::uint32_t>(comets.size()),
                            [&](std::uint32_t i, std::uint8_t* r) { EncodeCometRecord(comets[i], r); });
        Call([] { OpenDb(cometDb, kCreatorComets, kTypeCodeQvn1, 1, kDataFolder, kCometFile); });
    }
    std::vector<CometRecord> ReadComets() {
        std::vector<CometRecord> out;
        Call([&] {
            for (int n = 0; n < GetCometCount(); ++n) {
                CometRecord r;
                if (GetCometData(n, &r)) out.push_back(r);
            }
        });
        return out;
    }
    void Open() {
        Call([] { GotoForm(orbit_form::kFormId); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_EQ(GetCurrentFormId(), orbit_form::kFormId);
    }
    void Close() {
        Call([] { platform::SendMessage(formWindow, platform::kMsgCommand, kCmdCloseForm, 0); });
        RunUntilIdle();
    }
    void Press(int key) {
        Call([key] { platform::SendMessage(formWindow, platform::kMsgKeyDown, static_cast<platform::WParam>(key), 0); });
        RunUntilIdle();
    }
    void Pen(unsigned message, int x, int y) {
        Call([=] {
            platform::SendMessage(formWindow, message, 0,
                                  platform::MakeLong(static_cast<std::uint16_t>(x), static_cast<std::uint16_t>(y)));
        });
        RunUntilIdle();
    }
    void PagePick(int page) { Pick(orbit_form::kPagePopup, orbit_form::kPageList, page); }
    std::string Label(int trigger) {
        std::string out;
        Call([&] {
            const PopupControl* p = GetPopupControl(Item(trigger));
            out = p ? p->label : "?";
        });
        return out;
    }
    bool Visible(int id) {
        bool out = false;
        Call([&] { out = platform::IsWindowVisible(Item(id)); });
        return out;
    }
    OrbitFormState& S() { return orbitForm; }

    std::filesystem::path root;
    std::filesystem::path savedInstall;
    ObservingDateTime savedTime{};
    ObserverLocation savedSite{};
};
