#include "objects/observer_log_form.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "catalog/object_selection.h"
#include "catalog/observer_log_entry.h"
#include "catalog/oculars.h"
#include "catalog/selection_list.h"
#include "chart/chart_services.h"
#include "core/report.h"
#include "core/settings.h"
#include "objects/object_pictures.h"
#include "objects/objects_services.h"
#include "objects/observer_log.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "platform/paths.h"
#include "shell/colour_scheme.h"
#include "shell/commands.h"
#include "shell/controls.h"
#include "shell/date_time_form.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_paint_step.h"
#include "shell/list_views.h"
#include "shell/ocular_rows.h"
#include "shell/popup_lists.h"
#include "shell/text_input.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;
using namespace observer_log_form;

ObserverLogState observerLogState;

namespace {

constexpr const char* kQualityRows[3] = {"Excellent", "Good", "Poor"};
constexpr const char* kEaseRows[3] = {"Evident", "Easy", "Difficult"};
constexpr const char* kBrightnessRows[2] = {"Bright", "Faint"};
constexpr int kFinderFormId = 2350;

constexpr int kListControls[] = {kBack, kNew, kOpen, kDelete, kExport, kEntries};
constexpr int kEntryControls[] = {kDate,        kTime,    kNow,  kLocation,     kTransparencyPopup, kSeeingPopup,
                                  kVisualLimit, kFilter,  kScope, kEyepiecePopup, kName,            kFind,
                                  kShot,        kEasePopup, kBrightnessPopup, kComments,        kCancel, kSave};
// Caption, length of the text input.
struct FieldInput {
    int id;
    const char* caption;
    int length;
};
constexpr FieldInput kFieldInputs[] = {{kName, "Object/Event", 71},  {kLocation, "Location", 71},
                                       {kVisualLimit, "Visual Limit", 71}, {kScope, "Scope", 71},
                                       {kFilter, "Filter", 71},      {kComments, "", 260}};

Window logWindow;
bool formPrepared = false;

ObserverLogState& S() { return observerLogState; }
std::int32_t* Redraw() { return FormRedrawFlag(kObserverLogFormId); }
bool FormShown() { return platform::IsWindow(logWindow); }
bool EntryMode() { return S().mode == kObserverLogNewEntry || S().mode == kObserverLogEditEntry; }
int Sx(double n) { return static_cast<int>(n * screenScale.horizontal); }
int Sy(double n) { return static_cast<int>(n * screenScale.vertical); }

ObserverLogEntry Entry() {
    ObserverLogEntry e;
    if (observerLogEntry) DecodeObserverLogEntry(observerLogEntry, e);
    return e;
}
void StoreEntry(const ObserverLogEntry& e) {
    if (observerLogEntry) EncodeObserverLogEntry(e, observerLogEntry);
}

template <std::size_t N>
void CopyText(char (&dest)[N], const char* text) {
    std::snprintf(dest, N, "%s", text);
}

std::string FieldText(int id) {
    char text[257] = {};
    if (FormShown()) GetField(id, text, sizeof text);
    return text;
}

int Row(int listId) { return FormShown() ? std::max(GetListSelection(listId), 0) : 0; }

void ShowDateTime() {
    const ObserverLogState& s = S();
    char text[40];
    FormatDate(text, s.day, s.month, s.year);
    SetField(kDate, text);
    std::snprintf(text, sizeof text, "%02d:%02d", s.hour, s.minute);
    SetField(kTime, text);
}

// The Moon's phase and light, the Sun's symbol and altitude beside the choices.
void DrawCircumstances() {
    if (!EntryMode() || !FormShown()) return;
    const ObserverLogState& s = S();
    const ObserverLogEntry e = Entry();
    FillRectangle(Bounds{Sx(180), Sy(62), Sx(60), Sy(38)});
    DrawBitmap(GetMoonPhaseBitmap(s.year, s.month, s.day, s.hour), Sx(193), Sy(65));
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", e.moonPercent);
    DrawChars(text, static_cast<int>(std::strlen(text)), Sx(215), Sy(65));
    DrawSymbolIcon(0, 0, Sx(200), Sy(90));
    std::snprintf(text, sizeof text, "%d\xB0", e.sunAltitude);
    DrawChars(text, static_cast<int>(std::strlen(text)), Sx(215), Sy(85));
}

void ShowEntryFields() {
    const ObserverLogEntry e = Entry();
    ShowDateTime();
    SetField(kLocation, e.location);
    SetPopupList(kTransparencyPopup, kTransparencyList, std::clamp(e.transparency, 0, 2));
    SetPopupList(kSeeingPopup, kSeeingList, std::clamp(e.seeing, 0, 2));
    SetEyepieceField(std::clamp(e.eyepiece, 0, HasEyepieceDb()), kEyepiecePopup, kEyepieceList, "None");
    SetPopupList(kEasePopup, kEaseList, std::clamp(e.ease, 0, 2));
    SetPopupList(kBrightnessPopup, kBrightnessList, std::clamp(e.brightness, 0, 1));
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", e.visualLimit10 / 10.0);
    SetField(kVisualLimit, text);
    SetField(kFilter, e.filter);
    SetField(kScope, e.scope);
    SetField(kName, e.name);
    SetField(kComments, e.comments);
    DrawCircumstances();
}

// The object of the entry: the selected object, else the observing list's current entry.
void PrefillObject(ObserverLogEntry& e) {
    if (IsObjectSelected()) {
        char name[kSelectionNameSize] = {};
        GetSelectedName(name);
        std::snprintf(e.name, sizeof e.name, "%.14s", name);
        const ObjectRef& o = objectSelection.object;
        e.typeCode = o.type;
        e.rightAscension = o.ra;
        e.declination = o.dec;
        const double m10 = std::round(static_cast<double>(o.magnitude) * 10.0);
        e.magnitude10 = std::isfinite(m10) ? static_cast<std::int32_t>(std::clamp(m10, -1000.0, 1000.0)) : 0;
        return;
    }
    const SelectionList& list = selectionList;
    const int pos = list.currentPosition;
    if (!list.records || pos < 0 || pos >= list.indexCount || pos >= list.capacity) return;
    const int record = GetSelectionObject(pos);
    if (record < 0 || record >= list.capacity) return;
    const SelectionRecord& r = list.records[record];
    std::snprintf(e.name, sizeof e.name, "%.*s", kSelectionLabelLength, r.label);
    e.typeCode = r.typeCode;
    e.rightAscension = r.rightAscension;
    e.declination = r.declination;
    e.magnitude10 = r.magnitude10;
}

// The entry page's values. `fresh`: the mode was entered (a new entry starts from the
// remembered values and the sky model; both modes take the object); otherwise only the
// date changed, and the Moon and the Sun follow it.
void PrefillObserverLogEntry(bool fresh) {
    ObserverLogState& s = S();
    if (FormShown()) FillList(platform::GetDialogItem(logWindow, kEyepieceList), nullptr, HasEyepieceDb() + 1);
    ObserverLogEntry e = Entry();
    const bool kept = s.keepEntry != 0;
    s.keepEntry = 0;
    if (s.mode == kObserverLogEditEntry || kept) {
        s.year = e.year, s.month = e.month, s.day = e.day, s.hour = e.hour, s.minute = e.minute, s.second = 0;
    }
    const ObservingCircumstances c = ComputeObservingCircumstances(s.year, s.month, s.day, s.hour, s.minute);
    if (fresh && s.mode == kObserverLogNewEntry && !kept) {
        e = ObserverLogEntry{};
        e.transparency = s.lastTransparency;
        e.seeing = s.lastSeeing;
        e.visualLimit10 = s.lastVisualLimit != -1 ? s.lastVisualLimit
                                                   : SkyModelVisualLimit10(s.year, s.month, s.day, s.hour, s.minute);
        CopyText(e.filter, s.lastFilter.empty() ? "None" : s.lastFilter.c_str());
        e.eyepiece = s.lastEyepiece;
        std::snprintf(e.scope, sizeof e.scope, "%dmm", GetApertureMm());
        std::snprintf(e.location, sizeof e.location, "%.*s", static_cast<int>(sizeof observerLocation.name),
                      observerLocation.name);
    }
    e.moonPercent = c.moonPercent;
    e.sunAltitude = c.sunAltitude;
    if (fresh) PrefillObject(e);
    e.year = s.year, e.month = s.month, e.day = s.day, e.hour = s.hour, e.minute = s.minute;
    StoreEntry(e);
    ShowEntryFields();
}

void ShowIf(int id, bool show) {
    if (!FormShown()) return;
    if (show)
        ShowObject(logWindow, id);
    else
        HideObject(logWindow, id);
}

void FillObserverLogList() {
    ObserverLogState& s = S();
    s.files = ListObserverLogs();
    if (!FormShown()) return;
    std::vector<const char*> texts;
    for (const std::string& f : s.files) texts.push_back(f.c_str());
    FillList(platform::GetDialogItem(logWindow, kEntries), texts.data(), static_cast<int>(texts.size()));
}

bool ReadTypedDateTime(int* year, int* month, int* day, int* hour, int* minute) {
    char text[257] = {};
    GetField(kDate, text, sizeof text);
    int d = 0, m = 0, y = 0;
    ParseDate(text, &d, &m, &y);
    char time[64] = {};
    GetField(kTime, time, sizeof time);
    int h = -1, mi = -1;
    ParseSexagesimal(time, ':', &h, &mi, nullptr);
    if (m < 1 || m > 12 || d < 1 || d > 31 || h < 0 || h > 23 || mi < 0 || mi > 59) return false;
    *year = y, *month = m, *day = d, *hour = h, *minute = mi;
    return true;
}

// The typed fields into the entry, and the remembered choices.
bool GatherFields(ObserverLogEntry& e) {
    ObserverLogState& s = S();
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    if (!ReadTypedDateTime(&year, &month, &day, &hour, &minute)) {
        ShowMessage("Please enter a valid date and time.", "");
        return false;
    }
    e.year = year, e.month = month, e.day = day, e.hour = hour, e.minute = minute;
    e.transparency = s.lastTransparency = Row(kTransparencyList);
    e.seeing = s.lastSeeing = Row(kSeeingList);
    CopyText(e.scope, FieldText(kScope).c_str());
    CopyText(e.filter, FieldText(kFilter).c_str());
    s.lastFilter = e.filter;
    CopyText(e.comments, FieldText(kComments).c_str());
    CopyText(e.name, FieldText(kName).c_str());
    CopyText(e.location, FieldText(kLocation).c_str());
    const double limit = std::strtod(FieldText(kVisualLimit).c_str(), nullptr) * 10.0;
    e.visualLimit10 = std::isfinite(limit) ? static_cast<int>(std::clamp(limit, -1000.0, 1000.0)) : 0;
    s.lastVisualLimit = e.visualLimit10;
    e.eyepiece = s.lastEyepiece = Row(kEyepieceList);
    e.ease = Row(kEaseList);
    e.brightness = Row(kBrightnessList);
    return true;
}

void LeaveEntry() {
    ObserverLogState& s = S();
    s.mode = kObserverLogList;
    if (s.openedNew) {
        s.openedNew = 0;
        GoBackForm();
        return;
    }
    ApplyObserverLogMode();
}

void SaveEntry() {
    ObserverLogState& s = S();
    ObserverLogEntry e = Entry();
    if (!GatherFields(e)) return;
    StoreEntry(e);
    const std::string oldFile = s.mode == kObserverLogEditEntry ? s.entryFile : std::string{};
    // A refused or failed save keeps the page as it is, so that nothing typed is lost.
    if (!SaveObserverLogEntry(e, oldFile)) return;
    StoreEntry(e);
    LeaveEntry();
}

void OpenSelectedEntry() {
    ObserverLogState& s = S();
    const int row = FormShown() ? GetListSelection(kEntries) : -1;
    if (row < 0 || row >= static_cast<int>(s.files.size())) {
        ShowMessage("Please select an observation log.", "");
        return;
    }
    ObserverLogEntry e;
    if (!ReadObserverLogFile(s.files[static_cast<std::size_t>(row)], e)) return;
    e.listIndex = row;
    StoreEntry(e);
    s.entryFile = s.files[static_cast<std::size_t>(row)];
    s.mode = kObserverLogEditEntry;
    ApplyObserverLogMode();
}

void DeleteSelectedEntry() {
    ObserverLogState& s = S();
    const int row = FormShown() ? GetListSelection(kEntries) : -1;
    if (row < 0 || row >= static_cast<int>(s.files.size())) {
        ShowMessage("Please select an observation log.", "");
        return;
    }
    DeleteObserverLogFile(s.files[static_cast<std::size_t>(row)]);
    FillObserverLogList();
}

// A new date and time for the page: what was typed is kept, the Moon and the Sun follow.
void ChangeDateTime(int year, int month, int day, int hour, int minute, int second) {
    ObserverLogState& s = S();
    ObserverLogEntry e = Entry();
    GatherFields(e);
    s.year = year, s.month = month, s.day = day, s.hour = hour, s.minute = minute, s.second = second;
    e.year = year, e.month = month, e.day = day, e.hour = hour, e.minute = minute;
    StoreEntry(e);
    PrefillObserverLogEntry(false);
}

void EditDate() {
    ObserverLogState& s = S();
    int y = s.year, mo = s.month, d = s.day, h = s.hour, mi = s.minute, sec = s.second;
    if (!EditDateTime(&y, &mo, &d, &h, &mi, &sec)) return;
    DrawOnForm(logWindow, [&] { ChangeDateTime(y, mo, d, h, mi, sec); });
}

void ShowShot() {
    int year = 0, month = 0, day = 0;
    ParseDate(FieldText(kDate).c_str(), &day, &month, &year);
    const std::string name = FieldText(kName).substr(0, 30);
    if (name.empty()) {
        ShowMessage("You should type an object (or event) name", "");
        return;
    }
    char shot[64];
    std::snprintf(shot, sizeof shot, "%04d%02d%02d%s", year, month, day, name.c_str());
    if (char* comma = std::strchr(shot, ',')) *comma = '\0';
    if (!FindObjectPicture(shot, kPictureFolderShots, 0)) {
        const std::string folder = platform::ResolveInFolder("shots", "").string();
        const std::string detail =
            "file should be stored in shots/ folder to be linked to this observation log.\n" + folder;
        ShowMessage((std::string(shot) + ".jpg").c_str(), detail.c_str());
        return;
    }
    ShowObjectPicture(shot, 0, 0, Sx(160), Sy(160), 1, kPictureFolderShots, 0);
    *Redraw() = 1;
    if (FormShown()) platform::InvalidateRect(logWindow, nullptr, false);
}

void DrawObserverLogForm() {
    PushFormHistory(kObserverLogFormId);
    if (!formPrepared) {
        formPrepared = true;
        ApplyObserverLogMode();
        return;
    }
    DrawCircumstances();
}

// Whether the entry buffer is there; made on first use, kept until the program ends.
bool EntryBufferReady() {
    if (observerLogEntry) return true;
    observerLogEntry = static_cast<std::uint8_t*>(std::calloc(kObserverLogEntrySize, 1));
    if (observerLogEntry) return true;
    ShowMessage("Can't allocated ObserverLog data.", "");
    return false;
}

void MakeControls(Window w) {
    InitTitle(w, kTitle, "ObserverLog");
    InitButton(w, kInfo, 5076, 0, 0);
    for (int id : {kBack, kNew, kOpen, kDelete, kExport, kNow, kFind, kShot, kCancel, kSave}) InitButton(w, id, -1, 0, 0);
    InitList(w, kEntries, -1, -1, 1);
    for (int id : {kDate, kTime, kLocation, kVisualLimit, kFilter, kScope, kName, kComments}) InitField(w, id, 0);
    for (int id = kFirstLabel; id <= kLastLabel; ++id) InitLabel(w, id);
    // Rows show the last one added first: the fixed lists go in from their ends.
    for (int list : {kTransparencyList, kSeeingList})
        for (int i = 2; i >= 0; --i) AppendListItem(w, list, kQualityRows[i]);
    for (int i = 2; i >= 0; --i) AppendListItem(w, kEaseList, kEaseRows[i]);
    for (int i = 1; i >= 0; --i) AppendListItem(w, kBrightnessList, kBrightnessRows[i]);
    logWindow = w;
    FillList(platform::GetDialogItem(w, kEyepieceList), nullptr, HasEyepieceDb() + 1);
    const ObserverLogState& s = S();
    InitPopupList(w, kTransparencyPopup, kTransparencyList, -1, 0, s.lastTransparency);
    InitPopupList(w, kSeeingPopup, kSeeingList, -1, 0, s.lastSeeing);
    InitPopupList(w, kEasePopup, kEaseList, -1, 0, 0);
    InitPopupList(w, kBrightnessPopup, kBrightnessList, -1, 0, 0);
    InitPopupList(w, kEyepiecePopup, kEyepieceList, -1, 10, s.lastEyepiece);
}

void Release(Window w) {
    *Redraw() = 1;
    for (int id : {kTitle, kInfo, kShot, kEntries, kTransparencyPopup, kSeeingPopup, kEasePopup, kBrightnessPopup,
                   kEyepiecePopup, kDate, kTime, kLocation, kVisualLimit, kFilter, kScope, kName, kComments, kBack,
                   kNew, kOpen, kDelete, kExport, kNow, kFind, kCancel, kSave})
        ReleaseControl(w, id);
    for (int id = kFirstLabel; id <= kLastLabel; ++id) ReleaseControl(w, id);
    if (logWindow == w) logWindow = Window{};
    formPrepared = false;
    S().openedNew = 0;
}

}  // namespace

void OpenObserverLogNew() {
    observerLogState.mode = kObserverLogNewEntry;
    observerLogState.openedNew = 1;
    GotoForm(kObserverLogFormId);
}

void ApplyObserverLogMode() {
    ObserverLogState& s = S();
    const bool list = s.mode == 0 || s.mode == 1;
    if (!list && !EntryMode()) {
        ShowMessage("ObsLog Unknown action", "");
        return;
    }
    if (FormShown()) {
        FillRectangle(Bounds{0, Sy(24), Sx(240), Sy(296)});
        for (int id : kListControls) ShowIf(id, list);
        for (int id : kEntryControls) ShowIf(id, !list);
        for (int id = kFirstLabel; id <= kLastLabel; ++id) ShowIf(id, !list);
    }
    if (list)
        FillObserverLogList();
    else
        PrefillObserverLogEntry(true);
}

int ObserverLogCommand(int id) {
    ObserverLogState& s = S();
    switch (id) {
        case kInfo:
            ShowMessage("\x95 Use this assistant to take notes during your observation session.\n",
                        EntryMode() ? "\x95 You can add your own shots to each note. Just press on the binocular to "
                                      "get the name and the location the file to follow."
                                    : "\x95 You can create, edit or delete your observation logs.");
            return 1;
        case 1:
        case kBack: GoBackForm(); return 1;
        case kNew:
            s.mode = kObserverLogNewEntry;
            s.entryFile.clear();
            DrawOnForm(logWindow, [] { ApplyObserverLogMode(); });
            return 1;
        case kOpen: DrawOnForm(logWindow, [] { OpenSelectedEntry(); }); return 1;
        case kDelete: DeleteSelectedEntry(); return 1;
        case kExport: ExportObserverLogs(); return 1;
        case kDate:
        case kTime: EditDate(); return 1;
        case kNow: {
            int y, mo, d, h, mi, sec;
            GetLocalDateTime(&y, &mo, &d, &h, &mi, &sec);
            DrawOnForm(logWindow, [&] { ChangeDateTime(y, mo, d, h, mi, sec); });
            return 1;
        }
        case kShot: ShowShot(); return 1;
        case kFind: {
            if (GetCurrentFormId() == kFinderFormId) return 1;
            // The page is made again on the way back: what was typed waits in the entry.
            ObserverLogEntry e = Entry();
            if (EntryMode() && GatherFields(e)) {
                StoreEntry(e);
                s.keepEntry = 1;
            }
            RequestChartCentre(kObserverLogFormId, -1);
            return 1;
        }
        case kTransparencyList:
            s.lastTransparency = Row(kTransparencyList);
            SetPopupList(kTransparencyPopup, kTransparencyList, s.lastTransparency);
            return 1;
        case kSeeingList:
            s.lastSeeing = Row(kSeeingList);
            SetPopupList(kSeeingPopup, kSeeingList, s.lastSeeing);
            return 1;
        case kEaseList: SetPopupList(kEasePopup, kEaseList, Row(kEaseList)); return 1;
        case kBrightnessList: SetPopupList(kBrightnessPopup, kBrightnessList, Row(kBrightnessList)); return 1;
        case kEyepieceList:
            s.lastEyepiece = Row(kEyepieceList);
            SetEyepieceField(s.lastEyepiece, kEyepiecePopup, kEyepieceList, "None");
            return 1;
        case kCancel: DrawOnForm(logWindow, [] { LeaveEntry(); }); return 1;
        case kSave: DrawOnForm(logWindow, [] { SaveEntry(); }); return 1;
        default: return 0;
    }
}

int LayoutObserverLog(Window dialog, int width, int height) {
    int dx = 0, dy = 0;
    if (!GetResizeDelta(dialog, width, height, &dx, &dy)) return 0;
    MoveObject(dialog, kInfo, dx, 0, 0, 0);
    MoveObject(dialog, kEntries, 0, 0, dx, dy);
    MoveObject(dialog, kComments, 0, 0, dx, dy);
    for (int id : {kNew, kOpen, kDelete, kExport, kSave}) MoveObject(dialog, id, 0, dy, 0, 0);
    for (int id : {kBack, kCancel}) MoveObject(dialog, id, dx, dy, 0, 0);
    return 1;
}

LResult ObserverLog(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (LResult result = 0; HandleFormFrameMessage(w, message, wParam, lParam, Redraw(), &result)) return result;
    switch (message) {
        case platform::kMsgInitDialog: {
            InitFormWindow(w);
            formPrepared = false;
            if (!EntryBufferReady()) S().mode = kObserverLogList;
            GetLocalDateTime(&S().year, &S().month, &S().day, &S().hour, &S().minute, &S().second);
            MakeControls(w);
            *Redraw() = 1;
            const platform::Rect client = platform::GetClientRect(w);
            LayoutObserverLog(w, client.Width(), client.Height());
            return 1;
        }
        case platform::kMsgPaint: PaintForm(w, &DrawObserverLogForm, Redraw(), 0, 1); return 1;
        case platform::kMsgDrawItem:
            if (platform::LowWord(wParam) == kEyepieceList)
                DrawOwnerListItem(w, reinterpret_cast<const platform::DrawItemInfo*>(lParam), &DrawEyepieceRow);
            return 1;
        case kMsgFieldTap: {
            const int id = platform::LowWord(wParam);
            if (id == kDate || id == kTime) return ObserverLogCommand(id);
            for (const FieldInput& f : kFieldInputs) {
                if (f.id != id) continue;
                SaveScreen();
                EditTextDialog(w, id, f.caption, f.length);
            }
            return 1;
        }
        case platform::kMsgClose: Release(w); return 0;
        case platform::kMsgCommand: {
            const int id = platform::LowWord(wParam);
            switch (id) {
                case kCmdCloseForm:
                    Release(w);
                    CloseForm(kObserverLogFormId);
                    return 1;
                case kTransparencyPopup:
                case kSeeingPopup:
                case kEasePopup:
                case kBrightnessPopup:
                case kEyepiecePopup: return ObserverLogCommand(platform::HighWord(wParam)) || 1;
                default: return ObserverLogCommand(id);
            }
        }
        default: return 0;
    }
}
