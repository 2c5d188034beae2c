#include "catalog/settings_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "catalog_fixture.h"
#include "core/settings.h"

namespace {

class SettingsFileTest : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        SetDefaultSettings();
    }
    void TearDown() override {
        preferences = {};
        observerLocation = {};
        CatalogTest::TearDown();
    }

    // A user's settings: a site, a stored site, a drive with its port, chart options.
    static void ChangeEverythingAUserCan() {
        std::strcpy(observerLocation.name, "Lyon");
        SetSiteLatitude(45.75f);
        observerLocation.longitude = -4.85f;
        observerLocation.zoneMinutes = 60;
        observerLocation.height = 170;
        observerLocation.humidity = 70;
        observerLocation.daylight = 1;
        StoredSite& s = observerLocation.storedSites[1];
        std::strcpy(s.name, "Cabin");
        s.latitude = -33.5f;
        s.longitude = 150.25f;
        s.height = 1200;
        preferences.word[pref::scopeDrive] = 10;
        preferences.word[pref::scopePort] = 3;
        preferences.word[pref::gpsPort] = 2;
        preferences.word[pref::cameraPort] = 4;
        preferences.word[pref::starLimitChoice + 5] = 6;
        preferences.word[pref::showConstNames] = 0;
        SetPreferenceFloat(pref::grsLongitude, 44.5f);
        SetPreferenceDouble(pref::savedAlignment, 2461000.25);
        std::strcpy(preferences.dataUrl, "https://example.org/data/");
        preferences.distanceUnit = 1;
    }

    static std::vector<char> FileBytes() {
        std::ifstream in(SettingsFilePath(), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    static void WriteBytes(const std::vector<char>& bytes) {
        std::ofstream out(SettingsFilePath(), std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
};

TEST_F(SettingsFileTest, WhatIsWrittenComesBackOverTheDefaults) {
    EXPECT_EQ(ReadSettingsFile(), SettingsRead::Missing);
    ChangeEverythingAUserCan();
    ASSERT_TRUE(WriteSettingsFile());
    const Preferences written = preferences;
    const ObserverLocation site = observerLocation;

    SetDefaultSettings();
    ASSERT_EQ(ReadSettingsFile(), SettingsRead::Read);
    EXPECT_EQ(std::memcmp(&preferences, &written, sizeof preferences), 0);
    EXPECT_STREQ(observerLocation.name, "Lyon");
    EXPECT_EQ(observerLocation.latitude, 45.75f);
    EXPECT_NEAR(observerLocation.sinLatitude, site.sinLatitude, 1e-7);
    EXPECT_EQ(observerLocation.longitude, -4.85f);
    EXPECT_EQ(observerLocation.zoneMinutes, 60);
    EXPECT_EQ(observerLocation.height, 170);
    EXPECT_EQ(observerLocation.humidity, 70);
    EXPECT_EQ(observerLocation.daylight, 1);
    EXPECT_STREQ(observerLocation.storedSites[1].name, "Cabin");
    EXPECT_EQ(observerLocation.storedSites[1].longitude, 150.25f);
    EXPECT_EQ(observerLocation.storedSites[1].height, 1200);
    EXPECT_EQ(PreferenceDouble(pref::savedAlignment), 2461000.25);
}

TEST_F(SettingsFileTest, AnUnusableFileIsRefusedWholeAndLeftAsItIs) {
    ChangeEverythingAUserCan();
    ASSERT_TRUE(WriteSettingsFile());
    const std::vector<char> good = FileBytes();
    struct Case {
        const char* what;
        std::vector<char> bytes;
        const char* reason;
    };
    std::vector<char> torn(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 2));
    std::vector<char> otherVersion = good;
    otherVersion[6] = 2;
    std::vector<char> changed = good;
    changed[100] ^= 0x10;
    std::vector<char> foreign = good;
    foreign[0] = 'X';
    const Case cases[] = {
        {"torn", torn, "cut short"},
        {"another version", otherVersion, "version 2"},
        {"changed", changed, "check"},
        {"not ours", foreign, "not a settings file"},
        {"empty", {}, "not a settings file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes(c.bytes);
        SetDefaultSettings();
        std::string why;
        EXPECT_EQ(ReadSettingsFile(&why), SettingsRead::Refused);
        EXPECT_NE(why.find(c.reason), std::string::npos) << why;
        EXPECT_STREQ(observerLocation.name, "None");
        EXPECT_EQ(preferences.word[pref::scopeDrive], 5);
        EXPECT_EQ(FileBytes(), c.bytes);
    }
}

TEST_F(SettingsFileTest, ValuesOutOfRangeAreBroughtBack) {
    SetSiteLatitude(123.0f);
    observerLocation.pressure = 5;
    observerLocation.storedSites[2].zoneMinutes = 5000;
    preferences.word[pref::scopeDrive] = 99;
    preferences.word[pref::scopePort] = 12;
    preferences.word[pref::nightMode] = 7;
    preferences.word[pref::chartFlip + 2] = 9;
    ASSERT_TRUE(WriteSettingsFile());
    SetDefaultSettings();
    ASSERT_EQ(ReadSettingsFile(), SettingsRead::Read);
    EXPECT_EQ(observerLocation.latitude, 51.0f);
    EXPECT_EQ(observerLocation.pressure, 1013);
    EXPECT_EQ(observerLocation.storedSites[2].zoneMinutes, 0);
    EXPECT_EQ(preferences.word[pref::scopeDrive], 0);
    EXPECT_EQ(preferences.word[pref::scopePort], 0);
    EXPECT_EQ(preferences.word[pref::nightMode], 0);
    EXPECT_EQ(preferences.word[pref::chartFlip + 2], 0);
}

TEST_F(SettingsFileTest, AfterSettingsHookStoresOnlyWhenAStoreIsInstalled) {
    AfterSettingsHook();
    EXPECT_FALSE(std::filesystem::exists(SettingsFilePath()));
    SetSettingsStore(&StoreSettings);
    AfterSettingsHook();
    SetSettingsStore(nullptr);
    EXPECT_TRUE(std::filesystem::exists(SettingsFilePath()));
}

}  // namespace
