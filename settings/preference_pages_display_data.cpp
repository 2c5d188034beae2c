// Preference pages 4/7 (magnitude limits and view per chart zoom level), 5/7 (the chart's
// display switches and telrad circles), 6/7 (constants and output formats) and 7/7 (the
// download addresses and the picture synchronisation).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "chart/chart_popups.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "settings/preference_pages.h"
#include "settings/preference_pages_internal.h"
#include "shell/controls.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace prefpage;

namespace {

std::string Cut(std::string text, std::size_t characters) {
    if (text.size() > characters) text.resize(characters);
    return text;
}

std::string Fixed(double value, int decimals) {
    char text[32];
    FormatFixed(text, value, decimals);
    return text;
}

// ---- Page 4/7 ------------------------------------------------------------------------------

// The icons of the view rows, fixed when the page is built.
int iconBase = kDayIconBase;
constexpr int kViewRows = 4;
constexpr std::uint32_t kWhiteKey = 0x7FFF;

// A limit as the lists show it.
std::string LimitText(float value) {
    if (value == kLimitNone) return "All";
    if (value == kLimitScope) return "Scope";
    if (value == kLimitEyes) return "Eyes";
    char text[16];
    std::snprintf(text, sizeof text, "<%g", static_cast<double>(value));
    return text;
}

// Popup lists take their texts at build; these keep them alive for the page.
struct LimitTexts {
    std::string texts[kMaxLimitRows];
    const char* pointers[kMaxLimitRows];
    int count = 0;
};
LimitTexts starTexts[10], objectTexts[10];

void FillLimitTexts(LimitTexts& out, const float* rows, int count) {
    out.count = count;
    for (int i = 0; i < count; ++i) {
        out.texts[i] = LimitText(rows[i]);
        out.pointers[i] = out.texts[i].c_str();
    }
}

int ViewList(int level) { return kViewTriggers[level] + 1; }
int ObjectList(int level) { return kObjectTriggers[level] + 1; }
int StarList(int level) { return kStarTriggers[level] + 1; }

// The fixed star text of the levels without a list: their limit, and for level 4 the
// choice of level 5's list (both use its word).
std::string FixedStarText(int level, int levelFiveRow) {
    if (level == 4) {
        float rows[kMaxLimitRows];
        const int n = StarLimitRows(5, rows);
        return LimitText(rows[std::clamp(levelFiveRow, 0, n - 1)]);
    }
    float star = 0;
    GetMagnitudeLimits(level, &star, nullptr);
    return LimitText(star);
}

void DrawNoRow(int, Bounds, int) {}

void BuildPage4(Window w) {
    iconBase = Word(pref::nightMode) != 0 ? kNightIconBase : kDayIconBase;
    MakeLabel(w, 138);
    MakeInfoButton(w, kInfoZoom);
    for (int level = 0; level < 10; ++level) {
        float rows[kMaxLimitRows];
        if (level >= 5) {
            FillLimitTexts(starTexts[level], rows, StarLimitRows(level, rows));
            MakePopup(w, kStarTriggers[level], StarList(level), starTexts[level].pointers, starTexts[level].count);
        }
        FillLimitTexts(objectTexts[level], rows, ObjectLimitRows(level, rows));
        MakePopup(w, kObjectTriggers[level], ObjectList(level), objectTexts[level].pointers, objectTexts[level].count);
        MakeOwnerPopup(w, kViewTriggers[level], ViewList(level), kViewRows, kViewRows);
        SetListDrawFunction(w, kViewTriggers[level], &DrawNoRow);
    }
}

int Page4RowHeight(int listId) {
    for (int level = 0; level < 10; ++level)
        if (listId == ViewList(level)) return static_cast<int>(18 * screenScale.horizontal);
    return 0;
}

void DrawPage4Item(Window w, const platform::DrawItemInfo* info) {
    for (int level = 0; level < 10; ++level)
        if (info->controlId == ViewList(level))
            DrawOwnerListItem(w, info, [](int row, Bounds rect, int, int) { DrawPopupIconItem(row, rect); });
}

bool Page4Command(Window w, int id, int list) {
    for (int level = 0; level < 10; ++level) {
        if (id == kViewTriggers[level]) {
            // The view is the chart's at once, whatever happens to the page.
            const int row = GetListSelection(list);
            if (row < 0) return true;
            Word(pref::zoomViewIcon + level) = row;
            SetPopupIcon(w, id, iconBase + row, 1, kWhiteKey);
            RedrawObject(w, id);
            return true;
        }
    }
    if (id == kStarTriggers[5]) {
        // Level 4 shares level 5's star limit: its text follows the choice.
        SetField(kFixedStarLabels[4], FixedStarText(4, ListRow(list)).c_str());
        return true;
    }
    return false;
}

// ---- Page 5/7 ------------------------------------------------------------------------------

struct CheckField {
    int id;
    int word;
};
// In the order the apply reads them; 1521 is no control of the page and reads unchecked.
constexpr CheckField kChecks[] = {
    {1342, pref::hideInfoBar},     {1343, pref::hideCompass},     {1516, pref::hideGrid},
    {1512, pref::showObjNames},    {1515, pref::showStarsLegend}, {1514, pref::showTelrad},
    {1513, pref::showFovCcd},      {1522, pref::showFovEyepiece}, {1521, pref::extraDisplayFlag},
    {1511, pref::showStarSymbols}, {1510, pref::showConstNames},  {1524, pref::showConstLines},
    {1530, pref::showAltAzGrid},   {1531, pref::showEcliptic},    {1527, pref::scrollMoreStars},
    {1528, pref::scrollMoreObjects}, {1335, pref::showGrid},      {1336, pref::starsAsPixel},
    {1508, pref::hideToolBar},     {1341, pref::objDrilldown},
};
constexpr FieldEdit kPage5Edits[] = {{kTelrad[0], "Telrad 1:", 4}, {kTelrad[1], "Telrad 2:", 4}, {kTelrad[2], "Telrad 3:", 4}};
constexpr const char* kTelradNames[3] = {"Telrad 1", "Telrad 2", "Telrad 3"};
constexpr double kMaxTelrad = 99.9;

void BuildPage5(Window w) {
    MakeLabel(w, 138);
    MakeLabel(w, 139);
    for (int id : kTelrad) MakeField(w, id);
}

// ---- Page 6/7 ------------------------------------------------------------------------------

constexpr const char* kFormulas[] = {"Chapront&Touz\xE9 1997", "JPL Horizon"};
constexpr const char* kRaFormats[] = {"23.75", "23:45:00", "23h45m00", "23h45.0"};
constexpr const char* kDecFormats[] = {"-70.75", "-70:45:00", "-70\xB0" "45'00", "-70\xB0" "45.0"};
constexpr const char* kDistances[] = {"Parsec (pc)", "Light Year (ly)"};
// Delta T as the start accepts it: above 40 and up to 200 seconds.
const double kMinDeltaT = std::nextafter(40.0, 41.0);
constexpr double kMaxDeltaT = 200.0;
constexpr FieldEdit kPage6Edits[] = {{kGrsField, "GRS Long.:", 6}, {kDeltaTField, "DeltaT", 6}, {kDelayField, "Delay", 4}};

void BuildPage6(Window w) {
    MakeLabel(w, 138);
    MakeLabel(w, 139);
    MakeInfoButton(w, kInfoConstants);
    MakeInfoButton(w, kInfoFormats);
    for (int id : {kGrsField, kDeltaTField, kDelayField}) MakeField(w, id);
    Popup(w, kFormulaTrigger, kFormulaList, kFormulas);
    Popup(w, kRaFormatTrigger, kRaFormatList, kRaFormats);
    Popup(w, kDecFormatTrigger, kDecFormatList, kDecFormats);
    Popup(w, kDistanceTrigger, kDistanceList, kDistances);
}

// ---- Page 7/7 ------------------------------------------------------------------------------

struct Address {
    int id;
    char* text;
    const char* title;
};
Address Addresses(int i) {
    Preferences& p = preferences;
    const Address all[5] = {{kCometUrl, p.cometUrl, "Comet Url:"},
                            {kAsteroidUrl, p.asteroidUrl, "Asteroid Url:"},
                            {kIridiumUrl, p.iridiumUrl, "Iridium Url:"},
                            {kSatelliteUrl, p.satelliteUrl, "Satellite Url:"},
                            {kDataUrl, p.dataUrl, "Download Data:"}};
    return all[i];
}
constexpr int kAddressLength = 127;
constexpr FieldEdit kPage7Edits[] = {{kCometUrl, "Comet Url:", kAddressLength},
                                     {kAsteroidUrl, "Asteroid Url:", kAddressLength},
                                     {kIridiumUrl, "Iridium Url:", kAddressLength},
                                     {kSatelliteUrl, "Satellite Url:", kAddressLength},
                                     {kDataUrl, "Download Data:", kAddressLength}};

void BuildPage7(Window w) {
    MakeLabel(w, 138);
    MakeLabel(w, 140);
    for (int id : {kClear, kSync, kStop}) MakeButton(w, id);
    for (int id : {kSyncCategory, kSyncProgress, kSyncItem}) MakeField(w, id);
    for (int i = 0; i < 5; ++i) MakeField(w, Addresses(i).id);
}

bool Page7Command(Window w, int id, int) {
    if (id == kSync) {
        platform::SetTimer(w, kSyncTimer, kSyncPeriodMs);
        PreferenceCommand(kSync);
        return true;
    }
    if (id == kStop) {
        platform::KillTimer(w, kSyncTimer);
        PreferenceCommand(kStop);
        return true;
    }
    return false;
}

const PageSpec kPage4{kPreferencePage4Form, 8007, "Preference 4/7", kOk4, kNext4, kPrev4, &BuildPage4,
                      &RefreshPreferencePage4, &ApplyPreferencePage4, nullptr, 0, &Page4Command, &DrawPage4Item,
                      &Page4RowHeight};
const PageSpec kPage5{kPreferencePage5Form, 8008, "Preference 5/7", kOk5, kNext5, kPrev5, &BuildPage5,
                      &RefreshPreferencePage5, &ApplyPreferencePage5, kPage5Edits, 3, nullptr, nullptr, nullptr};
const PageSpec kPage6{kPreferencePage6Form, 8009, "Preference 6/7", kOk6, 0, kPrev6, &BuildPage6,
                      &RefreshPreferencePage6, &ApplyPreferencePage6, kPage6Edits, 3, nullptr, nullptr, nullptr};
const PageSpec kPage7{kPreferencePage7Form, 1366, "Preference 7/7", kOk7, 0, kPrev7, &BuildPage7,
                      &RefreshPreferencePage7, &ApplyPreferencePage7, kPage7Edits, 5, &Page7Command, nullptr, nullptr};

}  // namespace

// ---- Page 4/7 ------------------------------------------------------------------------------

void RefreshPreferencePage4() {
    currentPageApply = [] { ApplyPreferencePage4(); };
    const Window w = PageWindow();
    for (int level = 0; level < 10; ++level) {
        if (level >= 5) SetPopupList(kStarTriggers[level], StarList(level), Word(pref::starLimitChoice + level - 5));
        else SetField(kFixedStarLabels[level], FixedStarText(level, Word(pref::starLimitChoice)).c_str());
        SetPopupList(kObjectTriggers[level], ObjectList(level), Word(pref::objectLimitChoice + level));
        const int view = Word(pref::zoomViewIcon + level);
        SetPopupList(kViewTriggers[level], ViewList(level), view);
        SetPopupIcon(w, kViewTriggers[level], iconBase + view, 1, kWhiteKey);
    }
    ShowTabs();
}

int ApplyPreferencePage4() {
    for (int level = 5; level < 10; ++level) Word(pref::starLimitChoice + level - 5) = ListRow(StarList(level));
    for (int level = 0; level < 10; ++level) {
        Word(pref::objectLimitChoice + level) = ListRow(ObjectList(level));
        Word(pref::zoomViewIcon + level) = ListRow(ViewList(level));
    }
    AfterSettingsHook();
    return 1;
}

LResult PreferencePage4(Window w, unsigned message, WParam wParam, LParam lParam) {
    return RunPage(kPage4, w, message, wParam, lParam);
}

// ---- Page 5/7 ------------------------------------------------------------------------------

void RefreshPreferencePage5() {
    currentPageApply = [] { ApplyPreferencePage5(); };
    const Window w = PageWindow();
    for (int i = 0; i < 3; ++i) ShowFieldText(kTelrad[i], Cut(Fixed(Word(pref::telradRadius + i) * 0.1f, 1), 4));
    Word(pref::serialWriteDelay) = 0;
    for (const CheckField& c : kChecks) SetCheck(w, c.id, Word(c.word));
    ShowTabs();
}

int ApplyPreferencePage5() {
    bool valid = true;
    for (int i = 0; i < 3; ++i)
        valid &= ApplyNumberField(kTelrad[i], kTelradNames[i], "a radius from 0 to 99.9 degrees", 0.0, kMaxTelrad,
                                  [i](double degrees) { Word(pref::telradRadius + i) = static_cast<int>(degrees * 10 + 0.5); });
    const Window w = PageWindow();
    for (const CheckField& c : kChecks)
        Word(c.word) = platform::GetDialogItem(w, static_cast<std::uint16_t>(c.id)) ? GetCheck(w, c.id) : 0;
    AfterSettingsHook();
    return valid ? 1 : 0;
}

LResult PreferencePage5(Window w, unsigned message, WParam wParam, LParam lParam) {
    return RunPage(kPage5, w, message, wParam, lParam);
}

// ---- Page 6/7 ------------------------------------------------------------------------------

void RefreshPreferencePage6() {
    currentPageApply = [] { ApplyPreferencePage6(); };
    ShowFieldText(kDeltaTField, Cut(Fixed(PreferenceFloat(pref::deltaTUser), 3), 6));
    ShowFieldText(kGrsField, Cut(Fixed(PreferenceFloat(pref::grsLongitude), 2), 5));
    ShowFieldText(kDelayField, Cut(std::to_string(preferences.eqPlatformDelay), 3));
    SetPopupList(kFormulaTrigger, kFormulaList, Word(pref::deltaTFormula));
    SetPopupList(kRaFormatTrigger, kRaFormatList, Word(pref::hourFormat));
    SetPopupList(kDecFormatTrigger, kDecFormatList, Word(pref::degreeFormat));
    SetPopupList(kDistanceTrigger, kDistanceList, preferences.distanceUnit);
    ShowTabs();
}

int ApplyPreferencePage6() {
    // Untouched fields keep their values exactly: the shown texts are cut.
    bool valid = ApplyNumberField(kDeltaTField, "DeltaT", "a Delta T above 40 and up to 200 seconds", kMinDeltaT,
                                  kMaxDeltaT, [](double v) { SetPreferenceFloat(pref::deltaTUser, static_cast<float>(v)); });
    valid &= ApplyNumberField(kGrsField, "GRS Longitude", "a longitude from 0 to 360 degrees", 0.0, 360.0,
                              [](double v) { SetPreferenceFloat(pref::grsLongitude, static_cast<float>(v)); });
    valid &= ApplyNumberField(kDelayField, "EQPlatForm Delay", "a delay in minutes from -999 to 9999", -999.0, 9999.0,
                              [](double v) { preferences.eqPlatformDelay = static_cast<std::int16_t>(std::trunc(v)); });
    Word(pref::deltaTFormula) = ListRow(kFormulaList);
    Word(pref::hourFormat) = ListRow(kRaFormatList);
    Word(pref::degreeFormat) = ListRow(kDecFormatList);
    preferences.distanceUnit = static_cast<std::int16_t>(ListRow(kDistanceList));
    AfterSettingsHook();
    return valid ? 1 : 0;
}

LResult PreferencePage6(Window w, unsigned message, WParam wParam, LParam lParam) {
    return RunPage(kPage6, w, message, wParam, lParam);
}

// ---- Page 7/7 ------------------------------------------------------------------------------

void RefreshPreferencePage7() {
    currentPageApply = [] { ApplyPreferencePage7(); };
    for (int i = 0; i < 5; ++i) SetField(Addresses(i).id, Addresses(i).text);
    ShowTabs();
    AfterSettingsHook();
}

int ApplyPreferencePage7() {
    for (int i = 0; i < 5; ++i) {
        const Address a = Addresses(i);
        char text[256] = {};
        GetField(a.id, text, sizeof text);
        // At most 127 characters and the terminating zero.
        const std::size_t n = std::min<std::size_t>(std::strlen(text), kAddressLength);
        std::memset(a.text, 0, kAddressLength + 1);
        std::memcpy(a.text, text, n);
    }
    AfterSettingsHook();
    return 1;
}

LResult PreferencePage7(Window w, unsigned message, WParam wParam, LParam lParam) {
    return RunPage(kPage7, w, message, wParam, lParam);
}
