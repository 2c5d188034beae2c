#include "shell/form_dispatcher.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <vector>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/messages.h"
#include "shell/form_dispatcher_internal.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "core/initialisers.h"
#include "shell/message_box.h"
#include "core/settings.h"
#include "shell/scratch_text.h"
#include "shell/commands.h"

using platform::LParam;
using platform::Rect;
using platform::Window;
using platform::WParam;

platform::Window mainWindow;
ShellActivateInfo formActivateInfo;
Window formWindow;
FormHistory formHistory = {{kHomeFormId, kHomeFormId, kHomeFormId, kHomeFormId, kHomeFormId, kHomeFormId, kHomeFormId}};

namespace {

// ---- Shell services ---------------------------------------------------------------------

constexpr std::size_t kShellLogLimit = 512;
std::vector<ShellCallRecord> shellLog;

void Record(ShellCall call, Window w, int value) {
    if (shellLog.size() >= kShellLogLimit) shellLog.erase(shellLog.begin(), shellLog.begin() + kShellLogLimit / 2);
    shellLog.push_back(ShellCallRecord{call, w, value});
}

int ScaledH(int n) { return static_cast<int>(n * screenScale.horizontal); }
int ScaledV(int n) { return static_cast<int>(n * screenScale.vertical); }

// ---- The form table -----------------------------------------------------------------------

struct FormEntry {
    int id;
    const char* procName;         // the dialog procedure that makes the form
    platform::DialogProc proc;    // null until that form is built
    const char* title;
    std::int32_t redraw;
};

// The forms of every subsystem with their titles. The procedures are registered at start
// by the program (RegisterForm); a row whose procedure is still null answers "Unkown form
// call".
FormEntry formTable[] = {
    {112, "ObjectInfo", nullptr, "ObjectInfo", 1},
    {1050, "ListManager", nullptr, "ListManager", 1},
    {1200, "Location", nullptr, "Location", 1},
    {1300, "TwoStarAlignment", nullptr, "2-StarAligment", 1},
    {1337, "PreferencePage6", nullptr, "Preference 6/7", 1},
    {1357, "PreferencePage7", nullptr, "Preference 7/7", 1},
    {1400, "PreferencePage1", nullptr, "Preference 1/7", 1},
    {1430, "PreferencePage2", nullptr, "Preference 2/7", 1},
    {1450, "PreferencePage3", nullptr, "Preference 3/7", 1},
    {1476, "PreferencePage5", nullptr, "Preference 5/7", 1},
    {1550, "CCDAssistant", nullptr, "CCD Assistant", 1},
    {1600, "LocationList", nullptr, "LocationList", 1},
    {1620, "PreferencePage4", nullptr, "Preference 4/7", 1},
    {1700, "SelectionCriteriaForm", nullptr, "Choose Selection Criteria", 1},
    {1800, "NightTripper", nullptr, "NightTripper", 1},
    {1900, "ScopeAssistant", nullptr, "ScopeAssistant", 1},
    {1940, "ImageViewForm", nullptr, "", 1},
    {1950, "HomeForm", nullptr, "", 1},
    {2100, "NStarAlignment", nullptr, "N-Star", 1},
    {2200, "CheckListPage1", nullptr, "CheckList 1/3", 1},
    {2203, "CheckListPage2", nullptr, "CheckList 2/3", 1},
    {2206, "CheckListPage3", nullptr, "CheckList 3/3", 1},
    {2350, "FinderAssistant", nullptr, "FinderAssistant", 1},
    {2400, "ScopeControl", nullptr, "ScopeControl", 1},
    {2410, "TwilightForm", nullptr, "", 1},
    {2423, "DayNight", nullptr, "Day&&Night", 1},
    {2450, "PlanetAssistant", nullptr, "PlanetAssistant", 1},
    {2460, "PlanetViewAssistant", nullptr, "", 1},  // titled by its mode
    {2470, "PolarAssistant", nullptr, "PolarAssistant", 1},
    {2520, "PlanetViewAssistant", nullptr, "", 1},
    {2530, "EphemerisAssistant", nullptr, "EphemerisAssistant", 1},
    {2550, "OrbitAssistant", nullptr, "OrbitAssistant", 1},
    {2600, "ObserverLog", nullptr, "ObserverLog", 1},
    {2700, "EclipseAssistant", nullptr, "EclipseAssistant", 1},
    {2800, "SatellitesAssistant", nullptr, "SatellitesAssistant", 1},
    {2830, "CompassChart", nullptr, "CompassChart", 1},
    {5200, "DateTime", nullptr, "DateTime", 1},
    {5300, "CameraControl", nullptr, "CameraControl", 1},
    {6000, "MoonAssistant", nullptr, "MoonAssistant", 1},
    {6020, "MoonMap", nullptr, "MoonMap", 1},
};

// Forms given a procedure at run time without a row (tests), with flags of their own.
struct ExtraForm {
    platform::DialogProc proc = nullptr;
    std::int32_t redraw = 1;
};
std::map<int, ExtraForm> extraForms;
std::int32_t spareRedrawFlag = 1;

FormEntry* FindForm(int id) {
    for (FormEntry& e : formTable)
        if (e.id == id) return &e;
    return nullptr;
}

void ReportLeftoverControls() {
    if (controlRegistry.count <= 0) return;
    // At exit the last form closes after the scratch buffer is gone: nothing to say then.
    if (txtBuffer) {
        txtBuffer[0] = 0;
        std::size_t used = 0;
        for (std::int32_t i = 0; i < controlRegistry.count; ++i) {
            char one[16];
            const int n = std::snprintf(one, sizeof one, "%d ", static_cast<int>(controlRegistry.data[i]));
            if (n <= 0 || used + static_cast<std::size_t>(n) >= kTxtBufferSize) break;
            std::memcpy(txtBuffer + used, one, static_cast<std::size_t>(n) + 1);
            used += static_cast<std::size_t>(n);
        }
        ShowMessage(txtBuffer, "");
    }
}

void SlideHistoryBack() {
    const std::int32_t p = formHistory.slots[5];
    for (int i = 5; i >= 1; --i) formHistory.slots[i] = formHistory.slots[i - 1];
    formHistory.slots[6] = p;
    formHistory.slots[0] = kHomeFormId;
}

}  // namespace

// ---- Shell services -----------------------------------------------------------------------

int ShellInitDialog(Window dialog, unsigned flags) {
    Record(ShellCall::InitDialog, dialog, static_cast<int>(flags));
    if ((flags & kShellSizeFullScreen) && platform::IsWindow(dialog))
        platform::MoveWindow(dialog, Rect{0, 0, platform::ScreenWidth(), platform::ScreenHeight()}, false);
    return 1;
}

int ShellFullScreen(Window window, unsigned flags) {
    Record(ShellCall::FullScreen, window, static_cast<int>(flags));
    return 1;
}

int ShellHandleActivate(Window window, unsigned message, WParam, LParam, ShellActivateInfo*) {
    Record(ShellCall::HandleActivate, window, static_cast<int>(message));
    return 1;
}

int ShellHandleSettingChange(Window window, unsigned message, WParam, LParam, ShellActivateInfo*) {
    Record(ShellCall::HandleSettingChange, window, static_cast<int>(message));
    return 1;
}

void ShellSetInputPanel(Window window, int preference) { Record(ShellCall::InputPanel, window, preference); }

Window ShellCreateMenuBar(Window owner, int menuId) {
    Record(ShellCall::CreateMenuBar, owner, menuId);
    return Window{};
}

int ShellInputDialogHook(Window dialog, unsigned message, WParam) {
    // Every message of the small dialogs passes here; only the set-up is worth keeping.
    if (message == platform::kMsgInitDialog) Record(ShellCall::InputDialogHook, dialog, static_cast<int>(message));
    return 0;
}

const std::vector<ShellCallRecord>& ShellCalls() { return shellLog; }
void ClearShellCalls() { shellLog.clear(); }

// ---- The form switch ----------------------------------------------------------------------

namespace {

// A form ShowForm would answer "Unkown form call" for (not built yet).
bool FormMissing(int formId) {
    if (formId == 2300 || (formId == 2400 && preferences.word[pref::scopeDrive] == 0)) return false;
    return GetFormDialogProc(formId) == nullptr;
}

}  // namespace

void GotoForm(int formId) {
    // A form that does not exist yet says so, and the form that asked for it stays on the
    // screen (closing it first would leave the user a blank screen).
    if (FormMissing(formId) && platform::IsWindow(formWindow)) {
        platform::PostMessage(mainWindow, platform::kMsgCommand, kCmdShowForm, static_cast<LParam>(formId));
        return;
    }
    RestoreMainLayout();
    platform::PostMessage(mainWindow, platform::kMsgCommand, kCmdShowForm, static_cast<LParam>(formId));
    SetCurrentFormId(formId);
}

void ShowForm(std::uint16_t formId) {
    if (formId == 2400 && preferences.word[pref::scopeDrive] == 0) {
        ShowMessage("No Scope Drive Selected", "");
        return;
    }
    if (formId == 2300) {
        ShowMessage("MonitorForm not done", "");
        return;
    }
    const platform::DialogProc proc = GetFormDialogProc(formId);
    if (!proc) {
        ShowMessage("Unkown form call", "");
        return;
    }
    platform::InstallStandardControls();
    platform::CreateDialog(formId, mainWindow, proc, 0);
}

namespace {

// A modal dialog still open over the form (the night-mode or position dialog when the
// program quits, or when the menu band asks for another form) ends with it: asked to
// close, innermost first, it releases its controls before the form reports what is left.
void CloseDialogsOver(Window form) {
    const std::vector<Window> open = platform::ModalStack();
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        bool over = false;
        for (Window owner = platform::GetOwner(*it); owner && !over; owner = platform::GetOwner(owner)) over = owner == form;
        if (over && platform::IsWindow(*it)) platform::SendMessage(*it, platform::kMsgClose, 0, 0);
    }
}

}  // namespace

void RestoreMainLayout() {
    if (!platform::IsWindow(formWindow)) {
        formWindow = Window{};
        return;
    }
    const Window form = formWindow;
    CloseDialogsOver(form);
    const Rect screen{0, 0, platform::ScreenWidth(), platform::ScreenHeight()};
    platform::ShowWindow(form, false);
    platform::MoveWindow(form, screen, false);
    if (platform::IsWindow(mainWindow)) {
        ShellFullScreen(mainWindow, kShellFullScreen);
        platform::MoveWindow(mainWindow, screen, false);
        platform::ShowWindow(mainWindow, true);
        platform::InvalidateRect(mainWindow, nullptr, true);
        platform::SendMessage(mainWindow, platform::kMsgPaint, 0, 0);
    }
    platform::SendMessage(form, platform::kMsgCommand, kCmdCloseForm, 0);
}

void CloseForm(int) {
    const Window form = formWindow;
    formWindow = Window{};
    platform::DestroyWindow(form);
    ReportLeftoverControls();
    controlRegistry.count = 0;
}

platform::DialogProc SetFormDialogProc(int formId, platform::DialogProc proc) {
    if (FormEntry* e = FindForm(formId)) {
        const platform::DialogProc old = e->proc;
        e->proc = proc;
        return old;
    }
    auto it = extraForms.find(formId);
    const platform::DialogProc old = it == extraForms.end() ? nullptr : it->second.proc;
    if (proc) extraForms[formId].proc = proc;
    else if (it != extraForms.end()) it->second.proc = nullptr;
    return old;
}

void RegisterForm(int formId, platform::DialogProc proc) { SetFormDialogProc(formId, proc); }

platform::DialogProc GetFormDialogProc(int formId) {
    if (FormEntry* e = FindForm(formId)) return e->proc;
    auto it = extraForms.find(formId);
    return it == extraForms.end() ? nullptr : it->second.proc;
}

const char* GetFormTitle(int formId) {
    const FormEntry* e = FindForm(formId);
    return e ? e->title : "";
}

// ---- Painting and fitting -------------------------------------------------------------------

void PaintForm(Window window, FormDrawFunction draw, std::int32_t* redrawFlag, int bottomBar, int titleLine) {
    const Rect client = platform::GetClientRect(window);
    const Rect titleBand{client.left, ScaledV(22), client.right, ScaledV(24)};
    if (titleLine) platform::InvalidateRect(window, &titleBand, false);
    const platform::Dc dc = platform::BeginPaint(window, nullptr);
    if (!dc) return;
    SetDrawTarget(window, dc);
    if (redrawFlag && *redrawFlag) {
        *redrawFlag = 0;
        FreeScreenBuffer();
        platform::FillRect(dc, client, GetBackBrush());
        if (draw) draw();
        SaveScreen();
        platform::SetFocus(window);
    } else {
        platform::FillRect(dc, Rect{client.left, 0, client.right, ScaledV(22)}, GetBackBrush());
        const int band = bottomBar ? ScaledV(22) : 0;
        RestoreScreen(band);
        if (bottomBar) platform::FillRect(dc, Rect{client.left, client.bottom - band, client.right, client.bottom}, GetBackBrush());
    }
    if (titleLine) platform::FillRect(dc, titleBand, GetHighlightBrush());
    platform::EndPaint(window, dc);
}

void FitFormToClient(Window window) {
    if (!platform::IsWindow(window)) return;
    const Rect at = platform::GetRectInParent(window);
    const Rect client = platform::GetClientRect(window);
    platform::MoveWindow(window, Rect{at.left, at.top, at.left + client.Width(), at.top + client.Height() + ScaledH(26)},
                         true);
    platform::ShowWindow(window, true);
    ShellFullScreen(window, kShellFullScreen);
}

void HandleFormActivate(Window window, WParam wParam, LParam lParam, ShellActivateInfo* info, std::int32_t* redrawFlag) {
    const int handled = ShellHandleActivate(window, platform::kMsgActivate, wParam, lParam, info);
    if (!handled || platform::LowWord(wParam) == platform::kInactive || (redrawFlag && *redrawFlag)) return;
    FitFormToClient(window);
    ShellFullScreen(window, kShellFullScreen);
    platform::SetFocus(window);
}

void HandleFormSettingChange(Window window, WParam wParam, LParam lParam) {
    ShellHandleSettingChange(window, platform::kMsgSettingChange, wParam, lParam, &formActivateInfo);
    if (wParam == platform::kSettingDisplayReset) GotoForm(GetCurrentFormId());
}

bool HandleFormFrameMessage(Window window, unsigned message, WParam wParam, LParam lParam, std::int32_t* redrawFlag,
                            platform::LResult* result) {
    switch (message) {
    case platform::kMsgActivate:
        HandleFormActivate(window, wParam, lParam, &formActivateInfo, redrawFlag);
        *result = 0;
        return true;
    case platform::kMsgSettingChange:
        HandleFormSettingChange(window, wParam, lParam);
        *result = 1;
        return true;
    case platform::kMsgEraseBackground:
        *result = 1;
        return true;
    default:
        return false;
    }
}

void InitFormWindow(Window window) {
    ShellInitDialog(window, kShellFormDialog);
    ShellFullScreen(window, kShellFullScreen);
    FitFormToClient(window);
}

void OpenSelfLaidOutForm(Window window, Window* formWindow, std::int32_t* redrawFlag,
                         const std::function<void(Window)>& makeControls,
                         const std::function<void(Window, int, int)>& layout) {
    InitFormWindow(window);
    if (formWindow) *formWindow = window;
    makeControls(window);
    *redrawFlag = 1;
    const platform::Rect client = platform::GetClientRect(window);
    layout(window, client.Width(), client.Height());
}

std::int32_t* FormRedrawFlag(int formId) {
    if (FormEntry* e = FindForm(formId)) return &e->redraw;
    auto it = extraForms.find(formId);
    return it == extraForms.end() ? &spareRedrawFlag : &it->second.redraw;
}

void SetAllFormRedrawFlags() {
    for (FormEntry& e : formTable) e.redraw = 1;
    for (auto& [id, extra] : extraForms) extra.redraw = 1;
    spareRedrawFlag = 1;
}

// ---- Current form -------------------------------------------------------------------------

void SetCurrentFormId(int formId) { drawState.formId = formId; }
int GetCurrentFormId() { return drawState.formId; }
void SetActiveFormHandle(Window form) { drawState.formWindow = form; }
Window GetActiveForm() { return drawState.formWindow; }

Window SetActiveForm(Window form) {
    const Window previous = drawState.formWindow;
    drawState.formWindow = form;
    return previous;
}

// ---- Small control helpers ------------------------------------------------------------------

void SetCheck(Window dialog, int controlId, int state) {
    const Window box = platform::GetDialogItem(dialog, static_cast<std::uint16_t>(controlId));
    platform::SendMessage(box, platform::kMsgSetCheck, state ? static_cast<WParam>(platform::kChecked) : 0, 0);
}

int GetCheck(Window dialog, int controlId) {
    const Window box = platform::GetDialogItem(dialog, static_cast<std::uint16_t>(controlId));
    return platform::SendMessage(box, platform::kMsgGetCheck, 0, 0) == platform::kChecked ? 1 : 0;
}

Window GetFormControl(Window dialog, int controlId) {
    return platform::GetDialogItem(dialog, static_cast<std::uint16_t>(controlId));
}

int GetObjectIndex(Window, int controlId) { return controlId; }

// ---- History ----------------------------------------------------------------------------------

void PushFormHistory(int formId) {
    preferences.word[pref::lastPushedForm] = formId;
    if (formId == kHomeFormId) {
        ResetFormHistory();
        return;
    }
    for (std::int32_t slot : formHistory.slots)
        if (slot == formId) return;
    for (int i = 1; i <= 5; ++i) formHistory.slots[i] = formHistory.slots[i + 1];
    formHistory.slots[6] = formId;
}

int GetPreviousForm() { return formHistory.slots[5]; }

void DropFormHistory() { SlideHistoryBack(); }

void GoBackForm() {
    const std::int32_t previous = formHistory.slots[5];
    SlideHistoryBack();
    GotoForm(previous & 0xFFFF);
}

void ResetFormHistory() {
    for (std::int32_t& slot : formHistory.slots) slot = kHomeFormId;
}
