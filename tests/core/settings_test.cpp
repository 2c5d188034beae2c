#include "core/settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "core/observing_time.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        preferences = {};
        observerLocation = {};
        noSiteFlag = 0;
        selectionCriteria = {};
    }
    void TearDown() override { SetUp(); }

    static void Defaults() { ASSERT_EQ(SetDefaultSettings(), 1); }
    static std::int32_t& Word(int n) { return preferences.word[n]; }
};

TEST_F(SettingsTest, EveryStartBeginsFromTheDefaults) {
    Defaults();
    EXPECT_STREQ(observerLocation.name, "None");
    EXPECT_EQ(observerLocation.latitude, 51.0f);
    EXPECT_EQ(observerLocation.longitude, 0.0f);
    EXPECT_NEAR(observerLocation.sinLatitude, std::sin(51.0 * M_PI / 180.0), 1e-6);
    EXPECT_NEAR(observerLocation.cosLatitude, std::cos(51.0 * M_PI / 180.0), 1e-6);
    EXPECT_EQ(observerLocation.zoneMinutes, 0);
    EXPECT_EQ(observerLocation.temperature, 10);
    EXPECT_EQ(observerLocation.pressure, 1013);
    EXPECT_EQ(observerLocation.humidity, 40);
    EXPECT_EQ(observerLocation.siteClass, 3);
    EXPECT_EQ(noSiteFlag, 1);
    EXPECT_FLOAT_EQ(PreferenceFloat(pref::deltaTUser), 66.184f);
    EXPECT_FLOAT_EQ(PreferenceFloat(pref::grsLongitude), 157.0f);
    EXPECT_EQ(PreferenceDouble(pref::savedAlignment), 0.0);

    struct {
        int word;
        std::int32_t value;
    } words[] = {
        {0, 5},    {4, 2},    {5, 2},   {6, 2},    {8, 1},    {13, 8},   {14, 6},   {18, 9},   {19, 1},
        {20, 2},   {21, 8},   {26, 2},  {27, 2},   {36, 30},  {40, 1},   {48, 1},   {53, 1000}, {54, 2},
        {64, 2},   {65, 3},   {75, 3},  {115, 4},  {116, 1},  {117, 2},  {119, 1},  {124, 1},  {127, 1},
        {128, 5},  {129, 20}, {130, 40}, {131, 1}, {139, 1950}, {150, 0}, {153, 2}, {237, 1},  {24, 0},
        {22, 0},   {134, 0},  {243, 0},
    };
    for (const auto& w : words) EXPECT_EQ(Word(w.word), w.value) << "word " << w.word;

    EXPECT_STREQ(preferences.userCatalogFile, "velkarion_user_catalog.pdb");
    EXPECT_NE(std::strstr(preferences.cometUrl, "/iau/Ephemerides/Comets/Soft00Cmt.txt"), nullptr);
    EXPECT_NE(std::strstr(preferences.asteroidUrl, "/iau/Ephemerides/Bright/2010/Soft00Bright.txt"), nullptr);
    EXPECT_NE(std::strstr(preferences.iridiumUrl, "/NORAD/elements/iridium.txt"), nullptr);
    EXPECT_NE(std::strstr(preferences.satelliteUrl, "/NORAD/elements/visual.txt"), nullptr);
    EXPECT_STREQ(preferences.dataUrl, "") << "no data service until the user sets one";
}

TEST_F(SettingsTest, ChoicesFromAnEarlierRunAreReplacedOrBroughtIntoRange) {
    struct {
        int word;
        std::int32_t stale;
        std::int32_t expected;
    } cases[] = {
        {pref::scopeDrive, 7, 5},            // not an encoder box: the default mount
        {pref::scopePort, 12, 0},
        {pref::gpsPort, -1, 0},
        {pref::encoderStepsAz, 40000, -32127},
        {pref::encoderStepsAlt, -20000, -20000},
        {pref::mountType, 3, 0},
        {pref::coordinateMode, 3, 3},
        {pref::horizonChoice, 7, 0},
        {pref::nightMode, 2, 0},             // has a default: every start is by day
        {pref::eyepieceChoice, 401, 0},
        {pref::eyepieceChoice, 400, 400},
        {pref::sensorWidth, 20001, 0},
        {pref::pixelHeight, 10000, 10000},
        {17, 1, 0},
        {29, 18, 0},
        {pref::cursorMode, 3, 0},
        {pref::cameraPort, 10, 0},
        {pref::starLimitChoice + 3, 6, 2},
        {pref::chartFlip + 10, 3, 0},
    };
    for (const auto& c : cases) {
        SetUp();
        Word(c.word) = c.stale;
        Defaults();
        EXPECT_EQ(Word(c.word), c.expected) << "word " << c.word << " from " << c.stale;
    }
}

TEST_F(SettingsTest, EncoderBoxKeepsItsDriveCode) {
    for (int code : {1, 3, 4, 11, 12, 16}) {
        SetUp();
        Word(pref::scopeDrive) = code;
        Defaults();
        EXPECT_EQ(Word(pref::scopeDrive), code);
    }
    // Code 22 is an encoder box but lies outside the drive list.
    SetUp();
    Word(pref::scopeDrive) = 22;
    Defaults();
    EXPECT_EQ(Word(pref::scopeDrive), 0);
}

TEST_F(SettingsTest, DeltaTOutsideItsRangeFallsBackToTheDefault) {
    struct {
        float stale;
        float expected;
    } cases[] = {{0.0f, 66.184f}, {40.0f, 66.184f}, {40.5f, 40.5f}, {200.0f, 200.0f}, {200.5f, 66.184f},
                 {-70.0f, 66.184f}, {std::numeric_limits<float>::quiet_NaN(), 66.184f}};
    for (const auto& c : cases) {
        SetUp();
        SetPreferenceFloat(pref::deltaTUser, c.stale);
        Defaults();
        EXPECT_FLOAT_EQ(PreferenceFloat(pref::deltaTUser), c.expected) << c.stale;
    }
}

TEST_F(SettingsTest, SiteRecordsAreBroughtIntoRange) {
    observerLocation.height = 9500;
    observerLocation.daylight = 2;
    StoredSite& s = observerLocation.storedSites[1];
    std::strcpy(s.name, "Hill");
    s.latitude = 95.0f;
    s.longitude = std::numeric_limits<float>::quiet_NaN();
    s.height = -5;
    s.zoneMinutes = 800;
    s.daylight = 1;
    s.siteClass = 0;
    observerLocation.storedSites[2].latitude = -33.5f;
    observerLocation.storedSites[2].zoneMinutes = -720;
    Defaults();
    EXPECT_EQ(observerLocation.height, 0);
    EXPECT_EQ(observerLocation.daylight, 0);
    EXPECT_STREQ(s.name, "Hill");
    EXPECT_EQ(s.latitude, -90.0f);
    EXPECT_EQ(s.longitude, -180.0f);
    EXPECT_EQ(s.height, 0);
    EXPECT_EQ(s.zoneMinutes, -720);
    EXPECT_EQ(s.daylight, 1);
    EXPECT_EQ(s.siteClass, 3);
    EXPECT_EQ(observerLocation.storedSites[2].latitude, -33.5f);
    EXPECT_EQ(observerLocation.storedSites[2].zoneMinutes, -720);
}

TEST_F(SettingsTest, ApertureAndFocalLength) {
    Defaults();
    EXPECT_EQ(GetApertureMm(), 166);
    EXPECT_EQ(GetFocalLengthMm(), 1660);  // f/10

    const int apertures[] = {50, 60, 70, 80, 90, 100, 125, 150, 166, 180,
                             203, 235, 254, 280, 304, 368, 457, 558, 635, 762};
    for (int choice = 0; choice < 20; ++choice) {
        Word(pref::apertureChoice) = choice;
        EXPECT_EQ(GetApertureMm(), apertures[choice]) << choice;
    }
    struct {
        int aperture;
        int ratio;
        int focal;
    } cases[] = {{20, 0, 80}, {200, 63, 1260}, {200, 11, 3000}, {203, 12, 243}, {166, 0, 664}, {305, 45, 1372}};
    for (const auto& c : cases) {
        Word(pref::apertureChoice) = c.aperture;
        Word(pref::focalRatioChoice) = c.ratio;
        EXPECT_EQ(GetFocalLengthMm(), c.focal) << c.aperture << " " << c.ratio;
    }
}

TEST_F(SettingsTest, HorizonAndChartFontTables) {
    const int altitudes[] = {0, 2, 4, 5, 6, 8, 10};
    for (int choice = 0; choice < 7; ++choice) {
        Word(pref::horizonChoice) = choice;
        EXPECT_EQ(GetHorizonAltitude(), altitudes[choice]);
    }
    const int sizes[] = {14, 19, 22, 24, 29};
    for (int choice = 0; choice < 5; ++choice) {
        observerLocation.siteClass = static_cast<std::int16_t>(choice);
        EXPECT_EQ(GetChartFontSize(), sizes[choice]);
    }
    // A row outside a table (never offered by a list) reads the nearest row.
    Word(pref::horizonChoice) = 9;
    EXPECT_EQ(GetHorizonAltitude(), 10);
    observerLocation.siteClass = -1;
    EXPECT_EQ(GetChartFontSize(), 14);
}

TEST_F(SettingsTest, MagnitudeLimitsByZoomLevel) {
    Defaults();
    selectionCriteria.telescopeLimit = 13.1f;
    selectionCriteria.nakedEyeLimit = 6.4f;
    struct {
        int level;
        float star;
        float object;
    } defaults[] = {{0, 5.0f, 5.0f}, {3, 6.0f, 7.0f}, {4, 6.5f, 8.0f}, {9, 11.0f, 9.0f},
                    {12, 11.0f, 9.0f}, {-1, 13.0f, 100.0f}};
    for (const auto& c : defaults) {
        float star = 0, object = 0;
        GetMagnitudeLimits(c.level, &star, &object);
        EXPECT_FLOAT_EQ(star, c.star) << c.level;
        EXPECT_FLOAT_EQ(object, c.object) << c.level;
    }

    // Choices that pick the telescope and naked-eye limits, and "no limit".
    struct {
        int level;
        int starChoice;
        int objectChoice;
        float star;
        float object;
    } choices[] = {{0, 0, 4, 5.0f, 13.1f}, {0, 0, 5, 5.0f, 6.4f},  {2, 0, 5, 5.0f, 13.1f},
                   {4, 5, 0, 13.1f, 100.0f}, {5, 6, 7, 6.4f, 6.4f}, {6, 7, 6, 6.4f, 13.1f},
                   {9, 4, 1, 12.0f, 7.0f},  {9, 5, 6, 13.1f, 13.1f}};
    for (const auto& c : choices) {
        const int starWord = c.level <= 5 ? pref::starLimitChoice : pref::starLimitChoice + c.level - 5;
        Word(starWord) = c.starChoice;
        Word(pref::objectLimitChoice + c.level) = c.objectChoice;
        float star = 0, object = 0;
        GetMagnitudeLimits(c.level, &star, &object);
        EXPECT_FLOAT_EQ(star, c.star) << c.level;
        EXPECT_FLOAT_EQ(object, c.object) << c.level;
    }
    GetMagnitudeLimits(3, nullptr, nullptr);  // outputs may be left out
}

TEST_F(SettingsTest, ChartFlipByView) {
    struct {
        int flip;
        int x;
        int y;
    } cases[] = {{0, 3, 4}, {1, 3, -4}, {2, -3, -4}, {3, -3, 4}};
    for (const auto& c : cases) {
        Word(pref::chartFlip + 2) = c.flip;
        int x = 3, y = 4;
        ApplyChartFlip(2, &x, &y);
        EXPECT_EQ(x, c.x) << c.flip;
        EXPECT_EQ(y, c.y) << c.flip;
    }
    // Views above 9 use view 9's flip, not word 150 and beyond.
    Word(pref::chartFlip + 9) = 3;
    Word(pref::chartFlip + 10) = 1;
    int x = 3, y = 4;
    ApplyChartFlip(12, &x, &y);
    EXPECT_EQ(x, -3);
    EXPECT_EQ(y, 4);
    ApplyChartFlip(9, nullptr, &y);
}

TEST_F(SettingsTest, FloatAndDoubleWordsKeepTheirBits) {
    SetPreferenceDouble(pref::savedAlignment, 2460000.123456789);
    EXPECT_EQ(PreferenceDouble(pref::savedAlignment), 2460000.123456789);
    SetPreferenceFloat(pref::grsLongitude, -12.25f);
    EXPECT_EQ(PreferenceFloat(pref::grsLongitude), -12.25f);
    EXPECT_EQ(PreferenceFloat(kPreferenceWords), 0.0f);
    EXPECT_EQ(PreferenceDouble(kPreferenceWords - 1), 0.0);
}

}  // namespace
