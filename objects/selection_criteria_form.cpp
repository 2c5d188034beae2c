#include "objects/selection_criteria_form.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "astro/angle_text.h"
#include "catalog/constellations.h"
#include "catalog/databases.h"
#include "catalog/object_selection.h"
#include "catalog/object_types.h"
#include "catalog/oculars.h"
#include "catalog/selection_list.h"
#include "catalog/star_tables.h"
#include "chart/chart_state.h"
#include "core/calendar.h"
#include "core/observing_time.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/limiting_magnitude.h"
#include "objects/object_search.h"
#include "objects/sky_brightness.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/date_time_form.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/ocular_rows.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace criteria_form;

namespace {

constexpr const char* kNoCriteria = "No Criteria";
constexpr const char* kVisibilityRows[5] = {kNoCriteria, "Very Easy", "Easy", "Difficult", "Very Difficult"};
constexpr const char* kMagnitudeRows[9] = {kNoCriteria, "Eyes Limit", "Scope Limit", "<4", "<6",
                                           "<8",        "<10",        "<12",         "<14"};
constexpr const char* kElevationRows[11] = {kNoCriteria, "Visible", ">15\xB0", ">20\xB0", ">25\xB0",     ">30\xB0",
                                            ">35\xB0",   ">40\xB0", ">45\xB0", ">50\xB0", "Not Visible"};
constexpr int kNebulaType = 19;
constexpr int kDateYearHighest = 2199;

Window criteriaWindow;
// The catalog codes of the catalog list's rows (row 0: none).
std::vector<int> catalogRowCodes;

std::int32_t* Redraw() { return FormRedrawFlag(kSelectionCriteriaFormId); }

bool FormShown() { return platform::IsWindow(criteriaWindow); }

int Row(int listId) { return std::max(GetListSelection(listId), 0); }

void ShowCriteriaDate() {
    const SelectionCriteria& c = selectionCriteria;
    char text[40];
    FormatDate(text, c.day, c.month, c.year);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", c.hour, c.minute);
    text[5] = '\0';
    SetField(kTime, text);
}

void FillTexts(int listId, const std::vector<const char*>& texts) {
    if (!FormShown()) return;
    FillList(platform::GetDialogItem(criteriaWindow, static_cast<std::uint16_t>(listId)), texts.data(),
             static_cast<int>(texts.size()));
}

void FillCatalogList() {
    const char* names[kMaxCatalogListEntries] = {};
    int codes[kMaxCatalogListEntries] = {};
    const int n = GetCatalogList(names, codes);
    std::vector<const char*> texts{kNoCriteria};
    catalogRowCodes.assign(1, 0);
    for (int i = 0; i < n && i < kMaxCatalogListEntries; ++i) {
        texts.push_back(names[i]);
        catalogRowCodes.push_back(codes[i]);
    }
    FillTexts(kCatalogList, texts);
}

void FillTypeList() {
    std::vector<const char*> texts{kNoCriteria};
    for (int t = 1; t < kObjectTypeCount; ++t) texts.push_back(ObjectTypeTable[t].name);
    FillTexts(kTypeList, texts);
}

void FillConstellationList() {
    std::vector<const char*> texts{kNoCriteria};
    for (const ConstellationEntry& e : ConstellationTable) texts.push_back(e.name);
    FillTexts(kConstellationList, texts);
}

void FillEyepieceList() {
    if (!FormShown()) return;
    FillList(platform::GetDialogItem(criteriaWindow, kEyepieceList), nullptr, HasEyepieceDb() + 1);
}

// The typed date ("/" between the numbers in the device's order) and time ("HH:MM"),
// checked as the date and time form checks them.
bool ReadTypedDateTime(int* year, int* month, int* day, int* hour, int* minute) {
    char text[257] = {};
    GetField(kDate, text, sizeof text);
    int a = 0, b = 0, y = 0;
    if (!ParseSexagesimal(text, '/', &a, &b, &y)) return false;
    const bool monthFirst = GetDateOrder() == 0;
    const int m = monthFirst ? a : b, d = monthFirst ? b : a;
    if (y < 0 || y > kDateYearHighest || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
    char time[64] = {};
    GetField(kTime, time, sizeof time);
    const char* colon = std::strchr(time, ':');
    if (!colon) return false;
    const std::string hours(static_cast<const char*>(time), colon);
    int h = 0, mi = 0;
    if (!ParseTypedTimeField(hours.c_str(), 23, &h) || !ParseTypedTimeField(colon + 1, 59, &mi)) return false;
    *year = y, *month = m, *day = d, *hour = h, *minute = mi;
    return true;
}

void ClearList() {
    SelectionList& list = selectionList;
    if (!list.records) return;
    for (int i = 0; i < list.capacity; ++i) list.records[i].objectNumber = -1;
    list.indexCount = 0;
}

void OpenList() {
    DropFormHistory();
    GotoForm(kNightTripperFormId);
}

void SearchAndReport() {
    if (SearchAllCategories()) ReportFullSelectionList();
}

void ResetVision() {
    SelectionCriteria& c = selectionCriteria;
    c.visibilityClass = 0;
    c.eyepiece = 0;
    c.magnitudeLimit = 0;
    SetPopupList(kVisibilityPopup, kVisibilityList, 0);
    SetEyepieceField(0, kEyepiecePopup, kEyepieceList, kNoCriteria);
    SetPopupList(kMagnitudePopup, kMagnitudeList, 0);
}

void ResetObject() {
    SelectionCriteria& c = selectionCriteria;
    c.searchKind = 0;
    c.objectType = 0;
    c.constellation = 0;
    c.minAltitude = 0;
    SetPopupList(kCatalogPopup, kCatalogList, 0);
    SetPopupList(kTypePopup, kTypeList, 0);
    SetPopupList(kConstellationPopup, kConstellationList, 0);
    SetPopupList(kElevationPopup, kElevationList, 0);
}

void EditCriteriaDate() {
    SelectionCriteria& c = selectionCriteria;
    ObservingDateTime& t = observingDateTime;
    if (c.year == 0)
        GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    else
        t = ObservingDateTime{c.year, c.month, c.day, c.hour, c.minute, 0};
    int y = t.year, mo = t.month, d = t.day, h = t.hour, mi = t.minute, s = t.second;
    if (!EditDateTime(&y, &mo, &d, &h, &mi, &s)) return;
    t = ObservingDateTime{y, mo, d, h, mi, s};
    CopyObservingDateToCriteria();
    ShowCriteriaDate();
}

void DrawSelectionCriteriaForm() {
    PushFormHistory(kSelectionCriteriaFormId);
    for (int id : {kDateLabel, kDateRowLabel, kDate, kTime, kNow, kShowList, kNewSearch, kAddSearch, kRemoveMatching})
        ShowObject(criteriaWindow, id);
    LoadStarTable(0);
    FillSelectionCriteriaForm();
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "Choose Selection Criteria");
    const std::pair<int, int> buttons[] = {{kNewSearch, 2251}, {kAddSearch, 2249}, {kRemoveMatching, 2250},
                                           {kShowList, 5074},  {kNow, 120},        {kResetVision, 1975},
                                           {kResetObject, 1975}, {kResetBoth, -1}, {kHelp, 5076}};
    for (const auto& [id, bitmap] : buttons) InitButton(w, id, bitmap, 0, 0);
    InitField(w, kDate, 0);
    InitField(w, kTime, 0);
    // Rows show the last one added first: the fixed lists go in from their ends.
    for (int i = 4; i >= 0; --i) AppendListItem(w, kVisibilityList, kVisibilityRows[i]);
    for (int i = 8; i >= 0; --i) AppendListItem(w, kMagnitudeList, kMagnitudeRows[i]);
    for (int i = 10; i >= 0; --i) AppendListItem(w, kElevationList, kElevationRows[i]);
    criteriaWindow = w;
    FillEyepieceList();
    FillCatalogList();
    FillTypeList();
    FillConstellationList();
    const SelectionCriteria& c = selectionCriteria;
    InitPopupList(w, kVisibilityPopup, kVisibilityList, -1, 0, c.visibilityClass);
    InitPopupList(w, kEyepiecePopup, kEyepieceList, -1, 13, c.eyepiece);
    InitPopupList(w, kMagnitudePopup, kMagnitudeList, -1, 0, c.magnitudeLimit);
    InitPopupList(w, kCatalogPopup, kCatalogList, -1, 13, 0);
    InitPopupList(w, kTypePopup, kTypeList, -1, 13, 0);
    InitPopupList(w, kConstellationPopup, kConstellationList, -1, 13, 0);
    InitPopupList(w, kElevationPopup, kElevationList, -1, 0, c.minAltitude);
    for (int id : {kVisionLabel, kObjectLabel, kDateLabel}) InitLabel(w, id);
}

void ReleaseSelectionCriteriaForm(Window w) {
    *Redraw() = 1;
    for (int id : {kTitle, kHelp, kResetVision, kResetObject, kNow, kShowList, kNewSearch, kAddSearch,
                   kRemoveMatching, kDate, kTime, kVisibilityPopup, kEyepiecePopup, kMagnitudePopup, kCatalogPopup,
                   kTypePopup, kConstellationPopup, kElevationPopup, kVisionLabel, kObjectLabel, kDateLabel})
        ReleaseControl(w, id);
    if (criteriaWindow == w) criteriaWindow = Window{};
}

}  // namespace

void SetCriteriaToNow() {
    ObservingDateTime& t = observingDateTime;
    GetLocalDateTime(&t.year, &t.month, &t.day, &t.hour, &t.minute, &t.second);
    CopyObservingDateToCriteria();
    ShowCriteriaDate();
}

void FillSelectionCriteriaForm() {
    SelectionCriteria& c = selectionCriteria;
    SetSearchLatitude();
    const bool userTime = preferences.word[pref::timeUpdateMode] != 0;
    if (selectionList.indexCount < 1) {
        ClearList();
        selectionList.recordCount = 0;
        if (userTime && observingDateTime.year != 0)
            CopyObservingDateToCriteria();
        else
            SetCriteriaToNow();
    }
    FillEyepieceList();
    FillCatalogList();
    auto row = std::find(catalogRowCodes.begin(), catalogRowCodes.end(), static_cast<int>(c.searchKind));
    if (c.searchKind < 0 || row == catalogRowCodes.end()) {
        c.searchKind = 0;
        row = catalogRowCodes.begin();
    }
    SetPopupList(kCatalogPopup, kCatalogList, static_cast<int>(row - catalogRowCodes.begin()));
    FillTypeList();
    if (c.objectType >= kObjectTypeCount || c.objectType < 0) c.objectType = 0;
    SetPopupList(kTypePopup, kTypeList, c.objectType);
    SetPopupList(kVisibilityPopup, kVisibilityList, c.visibilityClass);
    SetEyepieceField(c.eyepiece, kEyepiecePopup, kEyepieceList, kNoCriteria);
    SetPopupList(kMagnitudePopup, kMagnitudeList, c.magnitudeLimit);
    FillConstellationList();
    SetPopupList(kConstellationPopup, kConstellationList, c.constellation);
    SetPopupList(kElevationPopup, kElevationList, c.minAltitude);
    if (!userTime) SetCriteriaToNow();
    ShowCriteriaDate();
}

bool ReadSelectionCriteriaForm() {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    if (!ReadTypedDateTime(&year, &month, &day, &hour, &minute)) {
        ShowMessage("Please enter a valid date and time.", "");
        return false;
    }
    SelectionCriteria& c = selectionCriteria;
    c.objectType = static_cast<std::int16_t>(Row(kTypeList));
    c.typeClass = c.objectType == kNebulaType ? ObjectTypeTable[kNebulaType].typeClass : 0;
    c.visibilityClass = static_cast<std::int16_t>(Row(kVisibilityList));
    c.eyepiece = static_cast<std::int16_t>(Row(kEyepieceList));
    c.eyepieceFocalLength = 0;
    c.eyepieceApparentField = 0;
    if (c.eyepiece > 0) {
        float field = 0, focal = 0;
        if (GetEyepieceByIndex(c.eyepiece - 1, &field, &focal, nullptr, 0)) {
            c.eyepieceApparentField = field;
            c.eyepieceFocalLength = static_cast<std::int16_t>(focal);
        }
    }
    c.magnitudeLimit = static_cast<std::int16_t>(Row(kMagnitudeList));
    c.constellation = static_cast<std::int16_t>(Row(kConstellationList));
    c.minAltitude = static_cast<std::int16_t>(Row(kElevationList));
    searchAltitudeSine = FixedAltitudeSine(MinimumAltitudeDegrees(c.minAltitude));
    const int catalogRow = Row(kCatalogList);
    c.searchKind = static_cast<std::int16_t>(
        catalogRow < static_cast<int>(catalogRowCodes.size()) ? catalogRowCodes[static_cast<std::size_t>(catalogRow)] : 0);
    observingDateTime = ObservingDateTime{year, month, day, hour, minute, 0};
    // The criteria's instant, the sidereal time and the limits of that night.
    ComputeLimitingMagnitude();
    searchSiderealTime = skyModel.localSiderealTime;
    return true;
}

void StartNewSearch() {
    if (!ReadSelectionCriteriaForm()) return;
    ClearObjectSelection();
    selectionList.categoryFilter = 0;
    ClearList();
    SearchAndReport();
    OpenList();
}

void StartAddSearch() {
    if (!ReadSelectionCriteriaForm()) return;
    selectionList.categoryFilter = 0;
    if (selectionList.indexCount < 1) ClearList();
    SearchAndReport();
    OpenList();
}

void StartRemoveMatching() {
    if (selectionList.indexCount <= 0) {
        ClearList();
        return;
    }
    if (!ReadSelectionCriteriaForm()) return;
    RemoveMatchingRecords();
    InvalidateSelectionProjection();
    OpenList();
}

int SelectionCriteriaCommand(int id) {
    if (id < kEyepieceList || id > kResetObject) return 0;
    switch (id) {
        case kEyepieceList:
            selectionCriteria.eyepiece = static_cast<std::int16_t>(Row(kEyepieceList));
            SetEyepieceField(selectionCriteria.eyepiece, kEyepiecePopup, kEyepieceList, kNoCriteria);
            return 1;
        case kDate:
        case kTime: EditCriteriaDate(); return 1;
        case kNow: SetCriteriaToNow(); return 1;
        case kShowList: OpenList(); return 1;
        case kAddSearch: StartAddSearch(); return 1;
        case kRemoveMatching: StartRemoveMatching(); return 1;
        case kNewSearch: StartNewSearch(); return 1;
        case kHelp:
            ShowMessage("\x95 N Icon: Create a new list with the matching objects.\n\x95 + Icon: Add new matching "
                        "objects to the current list.",
                        "\x95 - Icon: Delete only matching objects from the current list.\n\x95 Trash Icons: Reset "
                        "filters to their default values.");
            return 1;
        case kResetVision: ResetVision(); return 1;
        case kResetObject: ResetObject(); return 1;
        case kResetBoth:
            ResetVision();
            ResetObject();
            return 1;
        default: return 0;
    }
}

int LayoutSelectionCriteriaForm(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    for (int id : {kNewSearch, kShowList, kAddSearch}) MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kRemoveMatching, kResetBoth}) MoveObject(dialog, id, dx, dy, 0, 0);
    MoveObject(dialog, kHelp, dx, 0, 0, 0);
    const int rows = height > static_cast<int>(240 * screenScale.vertical) ? 19 : 13;
    for (int id : {kCatalogList, kTypeList, kEyepieceList, kConstellationList}) SetListRows(id, rows);
    return 1;
}

LResult SelectionCriteriaForm(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
        case platform::kMsgInitDialog: {
            OpenSelfLaidOutForm(w, nullptr, Redraw(), &MakeControls, &LayoutSelectionCriteriaForm);
            return 1;
        }
        case platform::kMsgPaint: PaintForm(w, &DrawSelectionCriteriaForm, Redraw(), 0, 1); return 1;
        case platform::kMsgDrawItem:
            if (platform::LowWord(wParam) == kEyepieceList)
                DrawOwnerListItem(w, reinterpret_cast<const platform::DrawItemInfo*>(lParam), &DrawEyepieceRow);
            return 1;
        case kMsgFieldTap: {
            const int id = platform::LowWord(wParam);
            if (id == kDate || id == kTime) SelectionCriteriaCommand(id);
            return 1;
        }
        case platform::kMsgClose: ReleaseSelectionCriteriaForm(w); return 0;
        case platform::kMsgCommand: {
            const int id = platform::LowWord(wParam);
            switch (id) {
                case kCmdCloseForm:
                    ReleaseSelectionCriteriaForm(w);
                    CloseForm(kSelectionCriteriaFormId);
                    return 1;
                case 1: return SelectionCriteriaCommand(kShowList);
                case kVisibilityPopup:
                case kEyepiecePopup:
                case kMagnitudePopup:
                case kCatalogPopup:
                case kTypePopup:
                case kConstellationPopup:
                case kElevationPopup: return SelectionCriteriaCommand(platform::HighWord(wParam)) || 1;
                default: return SelectionCriteriaCommand(id);
            }
        }
        default: return 0;
    }
}
