// What a new user meets in the first minutes, on the whole program run headless: the
// settings that last from one start to the next, the site form, the text pad and night
// mode across the forms.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/home_form.h"
#include "app/main_window.h"
#include "catalog/settings_file.h"
#include "core/settings.h"
#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/headless.h"
#include "platform/resources.h"
#include "platform/system_colors.h"
#include "settings/site_form.h"
#include "shell/colour_scheme.h"
#include "shell/form_dispatcher.h"
#include "shell/form_dispatcher_internal.h"
#include "shell/list_views.h"
#include "shell/text_input.h"
#include "support/headless_fixture.h"

namespace fs = std::filesystem;

namespace {

class FirstUseTest : public HeadlessFixture {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vkfirst-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        runtime = pattern;
        ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        options.start = platform::LocalTime{2026, 12, 10, 21, 0, 0, 0, 4};
        options.scale = 1;
        HeadlessFixture::SetUp();
        ASSERT_TRUE(platform::LoadResources());
        platform::ResetSystemColors();
        platform::ClearShownBoxes();
        preferences = {};
        observerLocation = {};
    }
    void TearDown() override {
        if (platform::headless::ProgramRunning()) Stop();
        HeadlessFixture::TearDown();
        platform::ResetSystemColors();
        platform::ClearResources();
        ::unsetenv("XDG_RUNTIME_DIR");
        std::error_code ec;
        fs::remove_all(runtime, ec);
        preferences = {};
        observerLocation = {};
    }

    void StartVelkarion() {
        Start([] { return RunVelkarion(); });
        ASSERT_TRUE(RunUntilIdle());
        ASSERT_TRUE(platform::IsWindow(mainWindow));
    }
    // A stored user's settings, as a save of an earlier run left them.
    static void StoreSettingsOfAnEarlierRun() {
        SetDefaultSettings();
        std::strcpy(observerLocation.name, "Lyon");
        SetSiteLatitude(45.75f);
        observerLocation.longitude = -4.85f;
        observerLocation.zoneMinutes = 60;
        preferences.word[pref::scopeDrive] = 10;
        preferences.word[pref::scopePort] = 2;
        ASSERT_TRUE(WriteSettingsFile());
        preferences = {};
        observerLocation = {};
    }
    bool Shown(const std::string& text) const {
        for (const platform::ShownBox& b : Boxes())
            if (std::string(b.caption + "\n" + b.text).find(text) != std::string::npos) return true;
        return false;
    }
    static platform::Window Item(platform::Window w, int id) {
        return platform::GetDialogItem(w, static_cast<std::uint16_t>(id));
    }
    static std::vector<char> Bytes(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path runtime;
};

TEST_F(FirstUseTest, AStoredSiteAndMountLandOnTheHomeForm) {
    StoreSettingsOfAnEarlierRun();
    StartVelkarion();
    EXPECT_EQ(GetCurrentFormId(), kHomeFormId);
    EXPECT_FALSE(Shown("First set your location"));
    EXPECT_STREQ(observerLocation.name, "Lyon");
    EXPECT_EQ(observerLocation.zoneMinutes, 60);  // the site's zone, not the machine's
    EXPECT_EQ(preferences.word[pref::scopeDrive], 10);
    EXPECT_EQ(preferences.word[pref::scopePort], 2);
}

TEST_F(FirstUseTest, WithoutStoredSettingsTheSiteFormOpensOnTheDefaultSite) {
    StartVelkarion();
    ASSERT_EQ(GetCurrentFormId(), kSiteFormId);
    EXPECT_TRUE(Shown("First set your location"));
    // The form shows the site in force, not an empty stored site, and Ok keeps it.
    EXPECT_EQ(platform::GetWindowText(Item(formWindow, kSiteLatitudeField)).substr(0, 2), "51");
    Call([] { SiteCommand(site_form::kOk); });
    EXPECT_EQ(observerLocation.latitude, 51.0f);
    EXPECT_STREQ(observerLocation.name, "None");
    EXPECT_EQ(GetCurrentFormId(), kHomeFormId);
}

TEST_F(FirstUseTest, AnEmptyStoredSiteNeverReplacesTheSite) {
    StartVelkarion();
    ASSERT_EQ(GetCurrentFormId(), kSiteFormId);
    Call([] {
        SetListSelection(site_form::kSiteList, 1);
        SiteCommand(site_form::kSiteList);
    });
    EXPECT_TRUE(Shown("Site2 is empty"));
    EXPECT_EQ(platform::GetWindowText(Item(formWindow, kSiteLatitudeField)).substr(0, 2), "51");
    Call([] { SiteCommand(site_form::kOk); });
    EXPECT_EQ(observerLocation.latitude, 51.0f);
    // Ok stored the site in the slot chosen.
    EXPECT_EQ(observerLocation.storedSites[1].latitude, 51.0f);
}

TEST_F(FirstUseTest, ATypedSiteIsKeptAndTheNextStartRemembersIt) {
    StartVelkarion();
    ASSERT_EQ(GetCurrentFormId(), kSiteFormId);
    // The pad opens with the old text selected: what is typed replaces it.
    TapWindow(Item(formWindow, kSiteLatitudeField));
    ASSERT_FALSE(platform::ModalStack().empty());
    const platform::Window pad = platform::ModalStack().back();
    EXPECT_TRUE(platform::EditTextSelected(Item(pad, kTextInputEdit)));
    Type("48");
    TapWindow(Item(pad, platform::kIdOk));
    ASSERT_TRUE(platform::ModalStack().empty());
    EXPECT_EQ(platform::GetWindowText(Item(formWindow, kSiteLatitudeField)).substr(0, 2), "48");
    EXPECT_EQ(observerLocation.latitude, 48.0f);
    TapWindow(Item(formWindow, site_form::kOk));
    ASSERT_EQ(GetCurrentFormId(), kHomeFormId);
    // A site typed without a name is named by its place.
    EXPECT_STREQ(observerLocation.name, "48.0N 0.0W");
    ASSERT_TRUE(fs::exists(SettingsFilePath()));
    EXPECT_EQ(Stop(), 0);

    preferences = {};
    observerLocation = {};
    platform::ClearShownBoxes();
    StartVelkarion();
    EXPECT_EQ(GetCurrentFormId(), kHomeFormId);
    EXPECT_EQ(observerLocation.latitude, 48.0f);
    EXPECT_STREQ(observerLocation.name, "48.0N 0.0W");
}

TEST_F(FirstUseTest, TheFormBehindTheOpenPadIsNotRead) {
    StartVelkarion();
    ASSERT_EQ(GetCurrentFormId(), kSiteFormId);
    TapWindow(Item(formWindow, kSiteLatitudeField));
    ASSERT_FALSE(platform::ModalStack().empty());
    Type("48");
    // The form's Ok lies outside the pad: the tap does not reach it.
    TapWindow(Item(formWindow, site_form::kOk));
    EXPECT_FALSE(platform::ModalStack().empty());
    EXPECT_EQ(GetCurrentFormId(), kSiteFormId);
    // Quitting with the pad open reads nothing from the form being closed.
    EXPECT_EQ(Stop(), 0);
    EXPECT_FALSE(Shown("GetField"));
    EXPECT_EQ(observerLocation.latitude, 51.0f);
}

TEST_F(FirstUseTest, AnUnreadableSettingsFileIsNamedAndLeftAlone) {
    StoreSettingsOfAnEarlierRun();
    std::vector<char> bytes = Bytes(SettingsFilePath());
    bytes.resize(bytes.size() - 10);
    {
        std::ofstream out(SettingsFilePath(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    StartVelkarion();
    EXPECT_TRUE(Shown("Can't read the saved settings"));
    EXPECT_TRUE(Shown(SettingsFilePath().string()));
    EXPECT_EQ(GetCurrentFormId(), kSiteFormId);
    EXPECT_STREQ(observerLocation.name, "None");
    EXPECT_EQ(Bytes(SettingsFilePath()), bytes);
}

// Night mode: every form the program has draws its texts, lines and pictures in red.
TEST_F(FirstUseTest, EveryFormKeepsToTheNightPaletteInNightMode) {
    StoreSettingsOfAnEarlierRun();
    StartVelkarion();
    auto outsideThePalette = [] {
        const platform::Surface& frame = platform::headless::Frame();
        int outside = 0;
        for (int y = 0; y < frame.height; ++y)
            for (int x = 0; x < frame.width; ++x) outside += (frame.Row(y)[x] & 0x3FF) != 0;  // green or blue bits
        return outside;
    };
    // By day the count sees the form's colours.
    ASSERT_EQ(GetCurrentFormId(), kHomeFormId);
    ASSERT_GT(outsideThePalette(), 1000);
    // The three red levels: the dimmest and the brightest.
    int forms = 0;
    for (const int level : {1, 3}) {
        Call([level] {
            preferences.word[pref::nightMode] = level;
            SetNightColours(level);
        });
        for (int id = 1; id < 10000; ++id) {
            if (!GetFormDialogProc(id)) continue;
            SCOPED_TRACE("night level " + std::to_string(level) + ", form " + std::to_string(id));
            Call([id] {
                SetAllFormRedrawFlags();
                GotoForm(id);
            });
            RunUntilIdle();
            Advance(500);
            ASSERT_TRUE(platform::ModalStack().empty());
            ASSERT_EQ(GetCurrentFormId(), id);
            ++forms;
            EXPECT_EQ(outsideThePalette(), 0);
            Call([] { GotoForm(kHomeFormId); });
            RunUntilIdle();
        }
    }
    EXPECT_GE(forms, 24);
}

}  // namespace
