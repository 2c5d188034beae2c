// Preference pages 1/7 (telescope interface and computation), 2/7 (observer, telescope and
// display modes) and 3/7 (the sky chart's global settings).
#include <cmath>
#include <cstdio>
#include <string>
#include <utility>

#include "catalog/databases.h"
#include "catalog/oculars.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_colours.h"
#include "chart/chart_services.h"
#include "chart/chart_settings.h"
#include "chart/chart_state.h"
#include "core/number_text.h"
#include "core/report.h"
#include "core/settings.h"
#include "platform/messages.h"
#include "scope/encoder_boxes.h"
#include "scope/serial_port.h"
#include "settings/preference_pages.h"
#include "settings/preference_pages_internal.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/ocular_rows.h"
#include "shell/popup_lists.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace prefpage;

namespace {

// ---- Page 1/7 ------------------------------------------------------------------------------

constexpr const char* kDrives[] = {"None",          "AAM Skyvector", "AutoStar",          "BBox",
                                   "Dave Ek",       "LX200",         "Magelan-I",         "Magelan-II",
                                   "Nexstar 5&8",   "NexStar old GT", "NexStarGPS,GT,CGE", "NGC-Max",
                                   "Ouranos",       "ServoCat",      "Takahashi",         "Ultima2000",
                                   "Intelliscope",  "Losmandy",      "SiderealTech",      "SkyCommander",
                                   "SkyScan EQ6"};
constexpr const char* kConnections[] = {"Upon need", "Persistant"};
constexpr const char* kCorrections[] = {"Geocentric", "Geoc. + Refract", "Topocentric", "Topo + Refract"};
constexpr const char* kAlignMethods[] = {"Velkarion 2 Stars", "External"};
constexpr const char* kHorizons[] = {"0\xB0", "2\xB0", "4\xB0", "5\xB0", "6\xB0", "8\xB0", "10\xB0"};
constexpr int kEncoderControls[] = {kStepsLabel, kAzLabel, kAltLabel, kStepsAz, kStepsAlt};
constexpr int kMaxEncoderSteps = 32127;
constexpr int kPortLists[] = {kScopePortList, kGpsPortList, kCameraPortList};

constexpr FieldEdit kPage1Edits[] = {{kStepsAz, "Az:", 7}, {kStepsAlt, "Alt:", 7}};

void DrawPortTrigger(int row, Bounds rect, int) {
    if (row >= 0) DrawPortListItem(row, rect);
}

void BuildPage1(Window w) {
    // The serial layer's list, filled from the devices once.
    AddDefaultComPort();
    MakeLabel(w, 138);
    MakeLabel(w, 139);
    MakeInfoButton(w, kInfoDrive);
    MakeInfoButton(w, kInfoComputation);
    Popup(w, kDriveTrigger, kDriveList, kDrives, 16);
    Popup(w, kConnectionTrigger, kConnectionList, kConnections);
    const int ports = GetComPortCount();
    for (auto [trigger, list] : {std::pair{kScopePortTrigger, kScopePortList}, std::pair{kGpsPortTrigger, kGpsPortList},
                                 std::pair{kCameraPortTrigger, kCameraPortList}}) {
        MakeOwnerPopup(w, trigger, list, ports);
        SetListDrawFunction(w, trigger, &DrawPortTrigger);
    }
    Popup(w, kCorrectionTrigger, kCorrectionList, kCorrections);
    Popup(w, kAlignTrigger, kAlignList, kAlignMethods);
    Popup(w, kHorizonTrigger, kHorizonList, kHorizons);
    MakeField(w, kStepsAz);
    MakeField(w, kStepsAlt);
}

// The encoder fields while an encoder drive is chosen, with the stored counts when they
// come into view; hidden (and left unread by the apply) otherwise.
void ShowEncoderFields(bool fill) {
    const Window w = PageWindow();
    if (!IsEncoderDriveCode(Word(pref::scopeDrive))) {
        for (int id : kEncoderControls) HideObject(w, id);
        return;
    }
    if (fill) {
        SetField(kStepsLabel, "Encoder Step");
        SetField(kAzLabel, "Az:");
        SetField(kAltLabel, "Alt:");
        ShowFieldText(kStepsAz, std::to_string(Word(pref::encoderStepsAz)));
        ShowFieldText(kStepsAlt, std::to_string(Word(pref::encoderStepsAlt)));
    }
    for (int id : kEncoderControls) ShowObject(w, id);
}

void DrawPage1Item(Window w, const platform::DrawItemInfo* info) {
    for (int list : kPortLists)
        if (info->controlId == list)
            DrawOwnerListItem(w, info, [](int row, Bounds rect, int, int) { DrawPortListItem(row, rect); });
}

bool Page1Command(Window w, int id, int list) {
    if (id != kDriveTrigger) return false;
    DrawOnForm(w, [&] {
        PreferenceCommand(list);
        if (platform::IsWindow(w)) DrawTitleUnderline(w, GetDrawDC());
    });
    return true;
}

// Reads an encoder count the user changed; a changed count forgets the zero offsets. False
// when the text is refused (the count is kept).
bool ReadEncoderSteps(int field, int word, const char* name) {
    std::string text;
    if (!FieldEdited(field, &text)) return true;
    double value = 0;
    if (!ReadTypedNumber(text, &value) || value != std::trunc(value) || std::fabs(value) > kMaxEncoderSteps) {
        RefuseField(name, "a whole number of encoder steps from -32127 to 32127", text);
        return false;
    }
    const int steps = static_cast<int>(value);
    if (steps != Word(word)) ClearEncoderOffsets();
    Word(word) = steps;
    return true;
}

// ---- Page 2/7 ------------------------------------------------------------------------------

constexpr const char* kExperiences[] = {"Beginner", "Hobbyst", "Expert"};
constexpr const char* kAges[] = {"15", "25", "35", "45", "55", "65", "75", "85", ">95"};
constexpr const char* kVisions[] = {"2/10", "3/10", "4/10", "5/10",  "6/10", "7/10",
                                    "8/10", "9/10", "10/10", "11/10", "12/10"};
constexpr const char* kDiameters[] = {"50",  "60",  "70",  "80",  "90",  "100", "125", "150", "166", "180",
                                      "203", "235", "254", "280", "368", "457", "558", "635", "762", "Other"};
constexpr const char* kRatios[] = {"4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15", "Other"};
constexpr const char* kMounts[] = {"Equatorial", "Azimuth", "Azimuth+Eq Platform"};
constexpr const char* kMaxSelected[] = {"25", "50", "100", "150", "200", "250", "300", "350", "400", "450", "500"};
constexpr const char* kTimeUpdates[] = {"Automatic", "Manual"};
constexpr const char* kNightModes[] = {"Off", "Dark", "Medium", "Bright"};
// The "Other" rows: a stored value from these on is a typed diameter (mm) or ten times a
// typed focal ratio.
constexpr int kOtherDiameter = 19;
constexpr int kOtherRatio = 12;
constexpr int kMinDiameter = 19, kMaxDiameter = 10000;
constexpr double kMinRatio = 1.2, kMaxRatio = 99.9;

constexpr FieldEdit kPage2Edits[] = {{kDiameterField, "Diameter:", 4}, {kRatioField, "F-Ratio:", 5}};

void BuildPage2(Window w) {
    for (int id : {138, 139, 140}) MakeLabel(w, id);
    for (int id : {kInfoUser, kInfoScope, kInfoOther}) MakeInfoButton(w, id);
    Popup(w, kExperienceTrigger, kExperienceList, kExperiences);
    Popup(w, kAgeTrigger, kAgeList, kAges);
    Popup(w, kVisionTrigger, kVisionList, kVisions);
    Popup(w, kDiameterTrigger, kDiameterList, kDiameters);
    Popup(w, kRatioTrigger, kRatioList, kRatios);
    Popup(w, kMountTrigger, kMountList, kMounts);
    Popup(w, kMaxSelectedTrigger, kMaxSelectedList, kMaxSelected);
    Popup(w, kTimeUpdateTrigger, kTimeUpdateList, kTimeUpdates);
    Popup(w, kNightTrigger, kNightList, kNightModes);
    MakeField(w, kDiameterField);
    MakeField(w, kRatioField);
}

std::string RatioText(int stored) {
    char text[32];
    FormatFixed(text, static_cast<float>(stored) * 0.1f, 1);
    return text;
}

bool Page2Command(Window w, int id, int list) {
    int field = 0;
    if (id == kDiameterTrigger) field = kDiameterField;
    else if (id == kRatioTrigger) field = kRatioField;
    else return false;
    const int other = GetListRowCount(list) - 1;
    if (GetListSelection(list) == other) ShowObject(w, field);
    else HideObject(w, field);
    RedrawObject(w, field);
    return true;
}

// A typed diameter or focal ratio in its range; false (the stored value kept) when refused.
bool ReadOtherValue(int field, int word, int otherRow, const char* name, const char* expected, double low,
                    double high, double factor) {
    std::string text;
    // An untouched field shows the stored typed value, which stays as it is.
    if (!FieldEdited(field, &text) && Word(word) >= otherRow) return true;
    double value = 0;
    if (!ReadTypedNumber(text, &value) || value < low || value > high) {
        RefuseField(name, expected, text);
        return false;
    }
    // Truncated, as stored; the nudge keeps 1.2 x 10 from landing at 11.999...
    Word(word) = static_cast<int>(value * factor + 1e-9);
    return true;
}

// ---- Page 3/7 ------------------------------------------------------------------------------

constexpr const char* kStarColors[] = {"Color", "Black&White"};
constexpr const char* kBackgrounds[] = {"Black", "Dark Blue", "White"};
constexpr const char* kLineColors[] = {"Blue", "Red", "Gray", "Black"};
constexpr const char* kStarsShown[] = {"All", "Only Constellation", "Only default stars"};
constexpr const char* kCatalogs[] = {"No expansion card", "Hipparchos 16K", "Hipparchos 32K", "Hipparchos 64K",
                                     "Hipparchos 110K",   "Tycho 390K",     "Tycho 2.5 Million"};
constexpr const char* kLineSets[] = {"Classic", "Rey Lines"};
constexpr const char* kChartTypes[] = {"Sky Map", "Horizon View", "Whole Sky", "Visible Sky", "Equatorial Sky"};
constexpr const char* kFontSizes[] = {"Small", "Medium", "Large"};
constexpr const char* kTimeSteps[] = {"None",   "1 mn",       "2 mn",    "5 mn",    "10 mn",   "15 mn",
                                      "1 Hour", "6 Hours",    "1 Day",   "1 Sid. Day", "2 Days", "5 Days",
                                      "10 Days", "14 Days",   "1 Lunation", "30 Days", "60 Days", "90 Days"};
constexpr const char* kCursors[] = {"Fix", "Blinking", "None"};

void DrawEyepieceTrigger(int row, Bounds rect, int) {
    if (row >= 0) DrawEyepieceRow(row, rect, 0, rect.width);
}

void BuildPage3(Window w) {
    MakeLabel(w, 138);
    MakeInfoButton(w, kInfoChart);
    Popup(w, kStarColorTrigger, kStarColorList, kStarColors);
    Popup(w, kBackgroundTrigger, kBackgroundList, kBackgrounds);
    Popup(w, kLineColorTrigger, kLineColorList, kLineColors);
    Popup(w, kStarsTrigger, kStarsList, kStarsShown);
    Popup(w, kCatalogTrigger, kCatalogList, kCatalogs);
    Popup(w, kLineSetTrigger, kLineSetList, kLineSets);
    MakeOwnerPopup(w, kEyepieceTrigger, kEyepieceList, HasEyepieceDb() + 1, 14);
    SetListDrawFunction(w, kEyepieceTrigger, &DrawEyepieceTrigger);
    Popup(w, kChartTypeTrigger, kChartTypeList, kChartTypes);
    Popup(w, kFontTrigger, kFontList, kFontSizes);
    Popup(w, kTimeStepTrigger, kTimeStepList, kTimeSteps);
    Popup(w, kCursorTrigger, kCursorList, kCursors);
}

void DrawPage3Item(Window w, const platform::DrawItemInfo* info) {
    if (info->controlId == kEyepieceList) DrawOwnerListItem(w, info, &DrawEyepieceRow);
}

const PageSpec kPage1{kPreferencePage1Form,
                      8004,
                      "Preference 1/7",
                      kOk1,
                      kNext1,
                      0,
                      &BuildPage1,
                      &RefreshPreferencePage1,
                      &ApplyPreferencePage1,
                      kPage1Edits,
                      2,
                      &Page1Command,
                      &DrawPage1Item,
                      nullptr};
const PageSpec kPage2{kPreferencePage2Form,
                      8005,
                      "Preference 2/7",
                      kOk2,
                      kNext2,
                      kPrev2,
                      &BuildPage2,
                      &RefreshPreferencePage2,
                      &ApplyPreferencePage2,
                      kPage2Edits,
                      2,
                      &Page2Command,
                      nullptr,
                      nullptr};
const PageSpec kPage3{kPreferencePage3Form,
                      8006,
                      "Preference 3/7",
                      kOk3,
                      kNext3,
                      kPrev3,
                      &BuildPage3,
                      &RefreshPreferencePage3,
                      &ApplyPreferencePage3,
                      nullptr,
                      0,
                      nullptr,
                      &DrawPage3Item,
                      nullptr};

}  // namespace

// ---- Page 1/7 ------------------------------------------------------------------------------

void prefpage::ChooseScopeDrive() {
    const int row = GetListSelection(kDriveList);
    if (row < 0) return;
    const bool wasEncoder = IsEncoderDriveCode(Word(pref::scopeDrive));
    Word(pref::scopeDrive) = row;
    // Only the encoder fields follow the drive: what else was chosen on the page stays
    // for the apply.
    ShowEncoderFields(!wasEncoder);
}

void RefreshPreferencePage1() {
    currentPageApply = [] { ApplyPreferencePage1(); };
    AddDefaultComPort();
    SetPopupList(kDriveTrigger, kDriveList, Word(pref::scopeDrive));
    SetPopupList(kConnectionTrigger, kConnectionList, Word(pref::connectionMode));
    ShowEncoderFields(true);
    SetPopupList(kGpsPortTrigger, kGpsPortList, Word(pref::gpsPort));
    SetPopupList(kCameraPortTrigger, kCameraPortList, Word(pref::cameraPort));
    SetPopupList(kScopePortTrigger, kScopePortList, Word(pref::scopePort));
    SetPopupList(kCorrectionTrigger, kCorrectionList, Word(pref::coordinateMode));
    SetPopupList(kAlignTrigger, kAlignList, Word(pref::alignMethod));
    SetPopupList(kHorizonTrigger, kHorizonList, Word(pref::horizonChoice));
    ShowIds({138, 140, 141, kAlignTrigger, kHorizonTrigger});
    ShowTabs();
}

int ApplyPreferencePage1() {
    bool valid = true;
    // The counts are the encoder drive's: with another drive chosen they are kept.
    if (IsEncoderDriveCode(ListRow(kDriveList))) {
        valid &= ReadEncoderSteps(kStepsAz, pref::encoderStepsAz, "Az encoder steps");
        valid &= ReadEncoderSteps(kStepsAlt, pref::encoderStepsAlt, "Alt encoder steps");
    }
    Word(pref::gpsPort) = ListRow(kGpsPortList);
    Word(pref::cameraPort) = ListRow(kCameraPortList);
    Word(pref::scopeDrive) = ListRow(kDriveList);
    Word(pref::connectionMode) = ListRow(kConnectionList);
    Word(pref::scopePort) = ListRow(kScopePortList);
    Word(pref::coordinateMode) = ListRow(kCorrectionList);
    Word(pref::alignMethod) = ListRow(kAlignList);
    Word(pref::horizonChoice) = ListRow(kHorizonList);
    AfterSettingsHook();
    return valid ? 1 : 0;
}

LResult PreferencePage1(Window w, unsigned message, WParam wParam, LParam lParam) {
    return RunPage(kPage1, w, message, wParam, lParam);
}

// ---- Page 2/7 ------------------------------------------------------------------------------

void RefreshPreferencePage2() {
    currentPageApply = [] { ApplyPreferencePage2(); };
    const Window w = PageWindow();
    SetPopupList(kVisionTrigger, kVisionList, Word(pref::observerVision));
    SetPopupList(kAgeTrigger, kAgeList, Word(pref::observerAge));
    SetPopupList(kExperienceTrigger, kExperienceList, Word(pref::observerExperience));
    const int aperture = Word(pref::apertureChoice);
    if (aperture >= GetListRowCount(kDiameterList) - 1) {
        ShowFieldText(kDiameterField, std::to_string(aperture));
        SetPopupList(kDiameterTrigger, kDiameterList, kOtherDiameter);
        ShowObject(w, kDiameterField);
    } else {
        SetPopupList(kDiameterTrigger, kDiameterList, aperture);
        HideObject(w, kDiameterField);
    }
    const int ratio = Word(pref::focalRatioChoice);
    if (ratio >= GetListRowCount(kRatioList) - 1) {
        ShowFieldText(kRatioField, RatioText(ratio));
        ShowObject(w, kRatioField);
        SetPopupList(kRatioTrigger, kRatioList, kOtherRatio);
    } else {
        SetPopupList(kRatioTrigger, kRatioList, ratio);
        HideObject(w, kRatioField);
    }
    SetPopupList(kMountTrigger, kMountList, Word(pref::mountType));
    SetPopupList(kMaxSelectedTrigger, kMaxSelectedList, Word(pref::maxSelectedChoice));
    SetPopupList(kTimeUpdateTrigger, kTimeUpdateList, Word(pref::timeUpdateMode));
    SetPopupList(kNightTrigger, kNightList, Word(pref::nightMode));
    ShowIds({141, kTimeUpdateTrigger, 142, kNightTrigger});
    ShowTabs();
}

int ApplyPreferencePage2() {
    bool valid = true;
    Word(pref::observerExperience) = ListRow(kExperienceList);
    Word(pref::observerAge) = ListRow(kAgeList);
    Word(pref::observerVision) = ListRow(kVisionList);
    const int apertureRow = ListRow(kDiameterList);
    if (apertureRow >= GetListRowCount(kDiameterList) - 1)
        valid &= ReadOtherValue(kDiameterField, pref::apertureChoice, kOtherDiameter, "Diameter",
                                "a diameter from 19 to 10000 mm", kMinDiameter, kMaxDiameter, 1.0);
    else
        Word(pref::apertureChoice) = apertureRow;
    const int ratioRow = ListRow(kRatioList);
    if (ratioRow >= GetListRowCount(kRatioList) - 1)
        valid &= ReadOtherValue(kRatioField, pref::focalRatioChoice, kOtherRatio, "F-Ratio",
                                "a focal ratio from 1.2 to 99.9", kMinRatio, kMaxRatio, 10.0);
    else
        Word(pref::focalRatioChoice) = ratioRow;
    if (Word(pref::focalRatioCopy) != 0) Word(pref::focalRatioCopy) = Word(pref::focalRatioChoice);
    Word(pref::mountType) = ListRow(kMountList);
    Word(pref::timeUpdateMode) = ListRow(kTimeUpdateList);
    const int night = ListRow(kNightList);
    if (night != Word(pref::nightMode)) {
        Word(pref::nightMode) = night;
        SetNightColours(night);
    }
    const int maxSelected = ListRow(kMaxSelectedList);
    if (maxSelected != Word(pref::maxSelectedChoice)) {
        Word(pref::maxSelectedChoice) = maxSelected;
        AllocSelectionList();
    }
    AfterSettingsHook();
    return valid ? 1 : 0;
}

LResult PreferencePage2(Window w, unsigned message, WParam wParam, LParam lParam) {
    return RunPage(kPage2, w, message, wParam, lParam);
}

// ---- Page 3/7 ------------------------------------------------------------------------------

void RefreshPreferencePage3() {
    currentPageApply = [] { ApplyPreferencePage3(); };
    const Window w = PageWindow();
    SetPopupList(kStarColorTrigger, kStarColorList, Word(pref::starColorMode));
    SetPopupList(kBackgroundTrigger, kBackgroundList, Word(pref::chartBackground));
    SetPopupList(kLineColorTrigger, kLineColorList, Word(pref::lineColor));
    SetPopupList(kStarsTrigger, kStarsList, Word(pref::starsShown));
    SetPopupList(kCatalogTrigger, kCatalogList, Word(pref::stellarCatalogChoice));
    SetPopupList(kTimeStepTrigger, kTimeStepList, Word(pref::timeStepChoice));
    SetPopupList(kCursorTrigger, kCursorList, Word(pref::cursorMode));
    SetPopupList(kLineSetTrigger, kLineSetList, Word(pref::constellationLineSet));
    SetEyepieceField(Word(pref::eyepieceChoice), kEyepieceTrigger, kEyepieceList, "None");
    SetPopupList(kChartTypeTrigger, kChartTypeList, Word(chartpref::chartType));
    SetPopupList(kFontTrigger, kFontList, Word(pref::chartFontSize));
    int width = 0, height = 0;
    GetScreenSize(&width, &height);
    if (height > static_cast<int>(260 * screenScale.vertical)) {
        ShowIds({kCursorLabel, kCursorTrigger});
    } else {
        HideObject(w, kCursorLabel);
        HideObject(w, kCursorTrigger);
    }
    ShowIds({139, kFontTrigger, 140, kTimeStepTrigger});
    ShowTabs();
}

int ApplyPreferencePage3() {
    int result = 1;
    Word(pref::starColorMode) = ListRow(kStarColorList);
    const int background = ListRow(kBackgroundList);
    if (background != Word(pref::chartBackground)) {
        FreeSavedBitmap();
        FreeSymbolStrips();
    }
    Word(pref::chartBackground) = background;
    Word(pref::lineColor) = ListRow(kLineColorList);
    Word(pref::starsShown) = ListRow(kStarsList);
    Word(pref::timeStepChoice) = ListRow(kTimeStepList);
    Word(pref::cursorMode) = ListRow(kCursorList);
    const int lineSet = ListRow(kLineSetList);
    if (lineSet != Word(pref::constellationLineSet)) LoadConstellationLines(lineSet);
    Word(pref::constellationLineSet) = lineSet;
    Word(pref::eyepieceChoice) = ListRow(kEyepieceList);
    const int chartType = ListRow(kChartTypeList);
    if (chartType != Word(chartpref::chartType)) {
        Word(chartpref::chartType) = chartType;
        UpdateCurrentTime(1);
    }
    Word(pref::chartFontSize) = ListRow(kFontList);
    const int catalog = ListRow(kCatalogList);
    if (catalog != Word(pref::stellarCatalogChoice)) {
        Word(pref::stellarCatalogChoice) = catalog;
        // The set opens the chosen level, or the nearest one installed with its own message.
        OpenCatalogDatabases(1);
        if (!IsStellarDbOpen()) {
            if (catalog != 0) {
                ShowMessage("It seems the optional stellar catalog you selected isn't on your card.",
                            "Please check you put Velkarion catalogs under in the right folder.");
                result = 0;
            }
            Word(pref::stellarCatalogChoice) = 0;
            SetPopupList(kCatalogTrigger, kCatalogList, 0);
        }
        UpdateCurrentTime(1);
    }
    SetChartColors();
    AfterSettingsHook();
    return result;
}

LResult PreferencePage3(Window w, unsigned message, WParam wParam, LParam lParam) {
    return RunPage(kPage3, w, message, wParam, lParam);
}
