#include "core/settings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "core/observing_time.h"

Preferences preferences{};
ObserverLocation observerLocation{};
int noSiteFlag = 0;

float PreferenceFloat(int word) {
    if (word < 0 || word >= kPreferenceWords) return 0.0f;
    float value;
    std::memcpy(&value, &preferences.word[word], sizeof value);
    return value;
}

void SetPreferenceFloat(int word, float value) {
    if (word < 0 || word >= kPreferenceWords) return;
    std::memcpy(&preferences.word[word], &value, sizeof value);
}

double PreferenceDouble(int firstWord) {
    if (firstWord < 0 || firstWord + 1 >= kPreferenceWords) return 0.0;
    double value;
    std::memcpy(&value, &preferences.word[firstWord], sizeof value);
    return value;
}

void SetPreferenceDouble(int firstWord, double value) {
    if (firstWord < 0 || firstWord + 1 >= kPreferenceWords) return;
    std::memcpy(&preferences.word[firstWord], &value, sizeof value);
}

namespace {

constexpr std::int32_t kNoDefault = INT32_MIN;

// One row per word or run of words: the default (or none), and the valid range. A word
// with a default takes it; a word with only a range is brought back to the range's low
// end when it lies outside, as the settings pages expect of a stale row.
struct WordRule {
    int first;
    int last;
    std::int32_t defaultValue;
    std::int32_t low;
    std::int32_t high;
};

constexpr WordRule kWordRules[] = {
    {1, 3, kNoDefault, 0, 9},
    {4, 4, 2, INT32_MIN, INT32_MAX},
    {5, 6, 2, INT32_MIN, INT32_MAX},
    {7, 7, kNoDefault, 0, 1},
    {8, 8, 1, INT32_MIN, INT32_MAX},
    {9, 9, kNoDefault, 0, 2},
    {10, 10, kNoDefault, 0, 3},
    {11, 12, kNoDefault, -32127, 32127},
    {13, 13, 8, INT32_MIN, INT32_MAX},
    {14, 14, 6, INT32_MIN, INT32_MAX},
    {17, 17, 0, 0, 0},
    {18, 18, 9, INT32_MIN, INT32_MAX},
    {19, 19, 1, INT32_MIN, INT32_MAX},
    {20, 20, 2, INT32_MIN, INT32_MAX},
    {21, 21, 8, INT32_MIN, INT32_MAX},
    {22, 22, kNoDefault, 0, 6},
    {23, 23, 0, INT32_MIN, INT32_MAX},
    {24, 24, 0, 0, 3},
    {25, 25, 0, INT32_MIN, INT32_MAX},
    {26, 27, 2, INT32_MIN, INT32_MAX},
    {28, 28, kNoDefault, 0, 3},
    {29, 29, kNoDefault, 0, 17},
    {35, 35, kNoDefault, 0, 1},
    {40, 40, 1, INT32_MIN, INT32_MAX},
    {41, 42, 0, INT32_MIN, INT32_MAX},
    {43, 43, kNoDefault, 0, 1},
    {46, 46, kNoDefault, 0, 400},
    {47, 47, kNoDefault, 0, 1},
    {48, 48, 1, INT32_MIN, INT32_MAX},
    {49, 50, kNoDefault, 0, 20000},
    {51, 52, kNoDefault, 0, 10000},
    {53, 53, 1000, INT32_MIN, INT32_MAX},
    {76, 76, kNoDefault, 0, 2},
    {115, 115, 4, INT32_MIN, INT32_MAX},
    {116, 116, 1, INT32_MIN, INT32_MAX},
    {117, 117, 2, INT32_MIN, INT32_MAX},
    {118, 118, 0, INT32_MIN, INT32_MAX},
    {119, 124, 1, INT32_MIN, INT32_MAX},
    {125, 126, 0, INT32_MIN, INT32_MAX},
    {127, 127, 1, INT32_MIN, INT32_MAX},
    {131, 131, 1, INT32_MIN, INT32_MAX},
    {132, 132, 0, INT32_MIN, INT32_MAX},
    {133, 133, kNoDefault, 0, 9},
    {134, 138, 0, INT32_MIN, INT32_MAX},
    {153, 153, 2, INT32_MIN, INT32_MAX},
    {220, 221, 0, INT32_MIN, INT32_MAX},
    {235, 236, 0, INT32_MIN, INT32_MAX},
    {237, 237, 1, INT32_MIN, INT32_MAX},
    {238, 238, kNoDefault, 0, 2},
    {240, 241, 0, INT32_MIN, INT32_MAX},
    {242, 243, kNoDefault, 0, 1},
    {245, 245, kNoDefault, 0, 10},  // "Max Selected items" row
    {246, 246, kNoDefault, 0, 1},   // Delta T formula row
};

constexpr int kZoomLevels = 11;  // words 54..64, 65..75 and 140..150

// Hosts of the element files. The data service has no public default: it stays unset until
// the user types an address on preference page 7/7, and a download says so.
constexpr const char* kCometUrl = "https://www.minorplanetcenter.net/iau/Ephemerides/Comets/Soft00Cmt.txt";
constexpr const char* kAsteroidUrl = "https://www.minorplanetcenter.net/iau/Ephemerides/Bright/2010/Soft00Bright.txt";
constexpr const char* kIridiumUrl = "https://celestrak.org/NORAD/elements/iridium.txt";
constexpr const char* kSatelliteUrl = "https://celestrak.org/NORAD/elements/visual.txt";
constexpr const char* kDataUrl = "";
constexpr const char* kUserCatalogFile = "velkarion_user_catalog.pdb";

template <std::size_t N>
void CopyText(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
    field[N - 1] = '\0';
}

bool InRange(double v, double low, double high) { return v >= low && v <= high; }  // false for NaN

template <typename T>
void ClampToLow(T& v, T low, T high) {
    if (!InRange(static_cast<double>(v), static_cast<double>(low), static_cast<double>(high))) v = low;
}

}  // namespace

void SetLatitude(ObserverLocation& site, float latitude) {
    site.latitude = latitude;
    const double phi = static_cast<double>(latitude) * (std::numbers::pi / 180.0);
    site.sinLatitude = static_cast<float>(std::sin(phi));
    site.cosLatitude = static_cast<float>(std::cos(phi));
}

void SetSiteLatitude(float latitude) { SetLatitude(observerLocation, latitude); }

void SetSiteCoordinates(double longitude, double latitude, std::int16_t zoneMinutes) {
    SetSiteLatitude(static_cast<float>(latitude));
    observerLocation.longitude = static_cast<float>(longitude);
    observerLocation.zoneMinutes = zoneMinutes;
}

ObserverLocation MakeSite(float latitude, float longitudeWest, int zoneMinutes, int height) {
    ObserverLocation site{};
    SetLatitude(site, latitude);
    site.longitude = longitudeWest;
    site.zoneMinutes = static_cast<std::int16_t>(zoneMinutes);
    site.height = static_cast<std::int16_t>(height);
    site.temperature = 10;
    site.pressure = 1013;
    return site;
}

bool IsEncoderDriveCode(int drive) {
    switch (drive) {
        case 1: case 3: case 4: case 11: case 12: case 16: case 22:
            return true;
        default:
            return false;
    }
}

int SetDefaultSettings() {
    ObserverLocation& site = observerLocation;
    std::int32_t* w = preferences.word;

    // The site.
    CopyText(site.name, "None");
    site.longitude = 0.0f;
    site.zoneMinutes = 0;
    SetSiteLatitude(51.0f);

    // The drive: an encoder box keeps its code, anything else becomes the default mount.
    if (!IsEncoderDriveCode(w[pref::scopeDrive])) w[pref::scopeDrive] = 5;
    if (w[pref::scopeDrive] < 0 || w[pref::scopeDrive] > 20) w[pref::scopeDrive] = 0;
    noSiteFlag = 1;
    w[36] = 30;

    // The rest of the site record.
    site.siteClass = 3;
    site.temperature = 10;
    site.pressure = 1013;
    site.humidity = 40;
    ClampToLow<std::int16_t>(site.height, 0, 9000);
    ClampToLow<std::int16_t>(site.zoneMinutes, -720, 720);
    for (StoredSite& s : site.storedSites) {
        ClampToLow<float>(s.latitude, -90.0f, 90.0f);
        ClampToLow<float>(s.longitude, -180.0f, 180.0f);
        s.siteClass = 3;
        ClampToLow<std::int16_t>(s.height, 0, 9000);
        ClampToLow<std::int16_t>(s.zoneMinutes, -720, 720);
        ClampToLow<std::int16_t>(s.daylight, 0, 1);
        s.name[sizeof s.name - 1] = '\0';
    }
    ClampToLow<std::int16_t>(site.daylight, 0, 1);

    // The settings words, in word order.
    for (const WordRule& rule : kWordRules) {
        for (int i = rule.first; i <= rule.last; ++i) {
            if (rule.defaultValue != kNoDefault)
                w[i] = rule.defaultValue;
            else
                ClampToLow(w[i], rule.low, rule.high);
        }
    }
    SetPreferenceFloat(pref::grsLongitude, 157.0f);
    const float deltaT = PreferenceFloat(pref::deltaTUser);
    if (!(deltaT > 40.0f && deltaT <= 200.0f)) SetPreferenceFloat(pref::deltaTUser, 66.184f);

    // Magnitude limits and chart flips, one pass over the zoom levels.
    for (int level = 0; level < kZoomLevels; ++level) {
        w[pref::starLimitChoice + level] = 2;
        w[pref::objectLimitChoice + level] = 3;
        w[pref::chartFlip + level] = 0;
    }

    w[pref::telradRadius] = 5;
    w[pref::telradRadius + 1] = 20;
    w[pref::telradRadius + 2] = 40;
    w[pref::lastPushedForm] = 1950;
    SetPreferenceDouble(pref::savedAlignment, 0.0);
    CopyText(preferences.userCatalogFile, kUserCatalogFile);
    CopyText(preferences.cometUrl, kCometUrl);
    CopyText(preferences.asteroidUrl, kAsteroidUrl);
    CopyText(preferences.iridiumUrl, kIridiumUrl);
    CopyText(preferences.satelliteUrl, kSatelliteUrl);
    CopyText(preferences.dataUrl, kDataUrl);
    return 1;
}

namespace {
void (*afterSettingsListener)() = nullptr;
}  // namespace

void AfterSettingsHook() {
    if (afterSettingsListener) afterSettingsListener();
}

void SetAfterSettingsListener(void (*listener)()) { afterSettingsListener = listener; }

namespace {

// A choice outside its table is never offered by a list; should one arrive anyway, the
// nearest row stands in rather than a read past the table.
template <typename T, std::size_t N>
T TableRow(const T (&table)[N], int choice) {
    return table[std::clamp(choice, 0, static_cast<int>(N) - 1)];
}

}  // namespace

int GetHorizonAltitude() {
    static constexpr int kAltitudes[] = {0, 2, 4, 5, 6, 8, 10};
    return TableRow(kAltitudes, preferences.word[pref::horizonChoice]);
}

int GetChartFontSize() {
    static constexpr int kSizes[] = {14, 19, 22, 24, 29};
    return TableRow(kSizes, observerLocation.siteClass);
}

int GetApertureMm() {
    static constexpr int kApertures[] = {50,  60,  70,  80,  90,  100, 125, 150, 166, 180,
                                         203, 235, 254, 280, 304, 368, 457, 558, 635, 762};
    const int choice = preferences.word[pref::apertureChoice];
    if (choice >= 20) return choice;
    return TableRow(kApertures, choice);
}

int GetFocalLengthMm() {
    static constexpr int kRatios[] = {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    const std::int64_t aperture = GetApertureMm();
    const int choice = preferences.word[pref::focalRatioChoice];
    std::int64_t focal = choice < 12 ? aperture * TableRow(kRatios, choice) : aperture * choice / 10;
    return static_cast<int>(std::clamp<std::int64_t>(focal, INT32_MIN, INT32_MAX));
}

namespace {

// The limit lists by zoom level, with the telescope and naked-eye markers. The object
// lists of levels 0 to 2 carry padding after "Eyes" that a stored choice past the list
// still reads; the page offers the rows up to "Eyes" only.
constexpr float T = kLimitScope;
constexpr float E = kLimitEyes;
struct LimitList {
    int length;      // rows a stored choice is kept within
    float values[10];
};
constexpr LimitList kObjectLimitLists[10] = {
    {10, {kLimitNone, 3, 4, 5, T, E, 7, 7, 7, 7}},  {10, {kLimitNone, 3, 4, 5, T, E, 7, 7, 7, 7}},
    {10, {kLimitNone, 4, 5, 6, 7, T, E, 7, 7, 7}},  {8, {kLimitNone, 5, 6, 7, 8, 9, T, E}},
    {8, {kLimitNone, 6, 7, 8, 9, 10, T, E}},        {8, {kLimitNone, 7, 8, 9, 10, 11, T, E}},
    {8, {kLimitNone, 7, 8, 9, 10, 11, T, E}},       {8, {kLimitNone, 8, 9, 10, 11, 12, T, E}},
    {8, {kLimitNone, 7, 8, 9, 10, 11, T, E}},       {8, {kLimitNone, 7, 8, 9, 10, 11, T, E}},
};
// Star lists of the words starLimitChoice + 0 (levels 4 and 5) to + 4 (level 9).
constexpr LimitList kStarLimitLists[5] = {
    {7, {5, 6, 6.5f, 7, 7.5f, T, E}},    {8, {5, 6, 6.5f, 7, 7.5f, 8, T, E}},
    {8, {5, 7, 7.5f, 8, 8.5f, 9, T, E}}, {8, {5, 8, 8.5f, 9, 9.5f, 10, T, E}},
    {7, {10, 10.5f, 11, 11.5f, 12, T, E}},
};

int StarListOf(int level) { return level <= 5 ? 0 : level - 5; }

// The rows up to "Eyes".
int OfferedRows(const LimitList& list, float* rows) {
    int n = 0;
    while (n < list.length) {
        const float v = list.values[n];
        if (rows) rows[n] = v;
        ++n;
        if (v == kLimitEyes) break;
    }
    return n;
}

float ResolveLimit(float value) {
    if (value == kLimitScope) return selectionCriteria.telescopeLimit;
    if (value == kLimitEyes) return selectionCriteria.nakedEyeLimit;
    return value;
}

float ChosenLimit(const LimitList& list, int word) {
    return ResolveLimit(list.values[std::clamp(preferences.word[word], 0, list.length - 1)]);
}

}  // namespace

int ObjectLimitRows(int zoomLevel, float* rows) {
    return OfferedRows(kObjectLimitLists[std::clamp(zoomLevel, 0, 9)], rows);
}

int StarLimitRows(int zoomLevel, float* rows) {
    const int level = std::clamp(zoomLevel, 0, 9);
    if (level <= 3) return 0;
    return OfferedRows(kStarLimitLists[StarListOf(level)], rows);
}

void GetMagnitudeLimits(int zoomLevel, float* starLimit, float* objectLimit) {
    float star = 13.0f;
    float object = 100.0f;
    if (zoomLevel >= 0) {
        const int level = std::min(zoomLevel, 9);
        object = ChosenLimit(kObjectLimitLists[level], pref::objectLimitChoice + level);
        // Stars: fixed for levels 0-3, then chosen by words 54 (levels 4 and 5) to 58.
        if (level <= 2) {
            star = 5.0f;
        } else if (level == 3) {
            star = 6.0f;
        } else {
            const int list = StarListOf(level);
            star = ChosenLimit(kStarLimitLists[list], pref::starLimitChoice + list);
        }
    }
    if (starLimit) *starLimit = star;
    if (objectLimit) *objectLimit = object;
}

void ApplyChartFlip(int view, int* x, int* y) {
    const int flip = preferences.word[pref::chartFlip + std::clamp(view, 0, 9)];
    const bool negateX = flip == 2 || flip == 3;
    const bool negateY = flip == 1 || flip == 2;
    if (negateX && x) *x = -*x;
    if (negateY && y) *y = -*y;
}
