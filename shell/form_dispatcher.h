#pragma once
// Forms: switching from one to the next, closing the one shown, painting, keeping them full
// screen, the current form's identity and window, and the short history behind the way
// back.
//
// A form is a modeless dialog made from the dialog layout whose id is the form id, with
// the form's dialog procedure, as a window owned by the main window. One form is shown at
// a time. A switch is split over a posted command so that the old form is wholly closed
// (close function, controls released, window destroyed) before the next one exists:
//
//   GotoForm(id)  -> the shown form gets command 9502 and closes inside that call
//                 -> command 9900 (lParam id) is posted to the main window
//   main window   -> ShowForm(id) creates the next form
//
// Writing a form (its logic lives in its own subsystem; names here are an example):
//
//   std::int32_t* const redraw = FormRedrawFlag(2830);
//   void CompassDraw() { PushFormHistory(2830); ... draw on the current target ... }
//   void CompassClose(platform::Window form) {
//       platform::KillTimer(form, 1);
//       *redraw = 1;
//       ReleaseControl(form, 8001);
//       ReleaseControl(form, 2831);
//   }
//   platform::LResult CompassChart(platform::Window w, unsigned msg, platform::WParam wp, platform::LParam lp) {
//       switch (msg) {
//       case platform::kMsgInitDialog:
//           InitFormWindow(w);                 // shell set-up, full screen, room for the menu bar
//           InitTitle(w, 8001, "CompassChart");
//           InitButton(w, 2831, -1, 0, 0);
//           return 1;
//       case platform::kMsgPaint: PaintForm(w, CompassDraw, redraw, 0, 0); return 1;
//       case platform::kMsgActivate: HandleFormActivate(w, wp, lp, &formActivateInfo, redraw); return 1;
//       case platform::kMsgSettingChange: HandleFormSettingChange(w, wp, lp); return 1;
//       case platform::kMsgEraseBackground: return 1;
//       case platform::kMsgClose: CompassClose(w); return 1;
//       case platform::kMsgCommand:
//           switch (platform::LowWord(wp)) {
//           case kCmdCloseForm: CompassClose(w); CloseForm(2830); return 1;
//           case 1: GoBackForm(); return 1;      // the title bar
//           default: return CompassCommand(platform::LowWord(wp));
//           }
//       }
//       return 0;
//   }
//
// with its row (id, name, title) in the form table of form_dispatcher.cpp, and the
// program registers the procedure at start: RegisterForm(2830, CompassChart).
#include <cstdint>
#include <functional>

#include "platform/dialog.h"
#include "platform/types.h"
#include "platform/window.h"
#include "shell/commands.h"

// ---- Shell services -------------------------------------------------------------------
// The handheld shell's full-screen, activation, input-panel and menu-bar services have no
// meaning on a desktop: these calls are recorded (for tests: form_dispatcher_internal.h)
// and change nothing, except that dialog set-up gives the form the screen's size. Forms are kept inside the screen by
// the window layer, so fitting a form to its client height plus the menu band at every
// activation never makes it grow.

// Full-screen flags.
constexpr unsigned kShellShowTaskBar = 0x01;
constexpr unsigned kShellHideTaskBar = 0x02;
constexpr unsigned kShellShowInputButton = 0x04;
constexpr unsigned kShellHideInputButton = 0x08;
constexpr unsigned kShellShowStartIcon = 0x10;
constexpr unsigned kShellHideStartIcon = 0x20;
// The sets in use: forms (42), the text input's caller (38), the text input itself (37),
// and the main window when the program ends (17).
constexpr unsigned kShellFullScreen = kShellHideTaskBar | kShellHideInputButton | kShellHideStartIcon;
constexpr unsigned kShellFullScreenInput = kShellHideTaskBar | kShellShowInputButton | kShellHideStartIcon;
constexpr unsigned kShellInputDialog = kShellShowTaskBar | kShellShowInputButton | kShellHideStartIcon;
constexpr unsigned kShellLeaveFullScreen = kShellShowTaskBar | kShellShowStartIcon;

// Dialog set-up flags: a done button, sized to the screen, full screen without a menu bar.
constexpr unsigned kShellDoneButton = 0x01;
constexpr unsigned kShellSizeFullScreen = 0x04;
constexpr unsigned kShellFullScreenNoMenu = 0x10;
constexpr unsigned kShellFormDialog = kShellDoneButton | kShellSizeFullScreen | kShellFullScreenNoMenu;  // 21

// Input-panel preferences.
constexpr int kInputPanelRaise = 0;
constexpr int kInputPanelLower = 1;
constexpr int kInputPanelForceDown = 2;
constexpr int kInputPanelFollowDialog = 4;

// The activation record the shell's activation and setting-change handlers keep; the
// main window owns one (formActivateInfo below is the one forms pass).
struct ShellActivateInfo {
    std::uint32_t size = 12;
    std::uint32_t state[2] = {0, 0};
};
extern ShellActivateInfo formActivateInfo;

// Dialog set-up: with kShellSizeFullScreen the dialog is sized to the screen. Returns 1.
int ShellInitDialog(platform::Window dialog, unsigned flags);
int ShellFullScreen(platform::Window window, unsigned flags);
// Both return 1 (the message was the shell's to see).
int ShellHandleActivate(platform::Window window, unsigned message, platform::WParam wParam, platform::LParam lParam,
                        ShellActivateInfo* info);
int ShellHandleSettingChange(platform::Window window, unsigned message, platform::WParam wParam,
                             platform::LParam lParam, ShellActivateInfo* info);
void ShellSetInputPanel(platform::Window window, int preference);
// An empty menu bar carrying only the input-panel button: none is made; the null window.
platform::Window ShellCreateMenuBar(platform::Window owner, int menuId);
// Returns 0: the message goes on to the dialog procedure.
int ShellInputDialogHook(platform::Window dialog, unsigned message, platform::WParam wParam);

// ---- The form switch ------------------------------------------------------------------

// The main window: forms are owned by it; commands 9900 and 9901 are posted to it. Made by
// the program at start; null before.
extern platform::Window mainWindow;

// The window of the form now shown (set by the form's title bar); null when none.
extern platform::Window formWindow;

// Closes the shown form (RestoreMainLayout), posts command 9900 with the id to the main
// window and records the id as the current form id. For a form that is not built yet only
// the command is posted (ShowForm says "Unkown form call"): the shown form stays, and so
// does the current form id.
void GotoForm(int formId);
// Creates the form from the form table. "No Scope Drive Selected" (2400 without a scope
// drive), "MonitorForm not done" (2300) and "Unkown form call" (an id the table does not
// hold, or a form whose procedure is not built yet) create nothing.
void ShowForm(std::uint16_t formId);
// When a form is shown: hides it, gives the main window the whole screen and repaints it,
// then sends the form command 9502 (it closes inside the call). Nothing otherwise.
void RestoreMainLayout();
// Destroys the shown form's window; reports control ids still registered ("5089 5146 ")
// and forgets them. The id is not used.
void CloseForm(int formId);

// Registers the dialog procedure that makes a form: the program does it at start for every
// form that is built.
void RegisterForm(int formId, platform::DialogProc proc);
// The title a form shows in its title bar ("" when it has none or is not in the table).
const char* GetFormTitle(int formId);

// ---- Painting and fitting -------------------------------------------------------------

using FormDrawFunction = void (*)();

// A form's paint. With *redrawFlag set: the flag is cleared, the client area filled with
// the background, `draw` called, the whole client area saved (SaveScreen) and the form
// focused. Otherwise the saved screen is painted back (the bottom 22 x scale band left to
// the background when bottomBar is set). titleLine draws the coloured title line.
void PaintForm(platform::Window window, FormDrawFunction draw, std::int32_t* redrawFlag, int bottomBar,
               int titleLine);
// Sizes the window to its client width and its client height plus 26 x scale (showing
// it), then full screen.
void FitFormToClient(platform::Window window);
// WM_ACTIVATE of a form: the shell's activation handler, then, when the form is being
// activated and is not waiting for a full redraw, FitFormToClient and the focus.
void HandleFormActivate(platform::Window window, platform::WParam wParam, platform::LParam lParam,
                        ShellActivateInfo* info, std::int32_t* redrawFlag);
// WM_SETTINGCHANGE of a form: the shell's handler; a display reset (12290) reopens the
// current form.
void HandleFormSettingChange(platform::Window window, platform::WParam wParam, platform::LParam lParam);
// The window messages a form answers as every form does: its activation (HandleFormActivate),
// a change of settings (HandleFormSettingChange) and the erasing of its background, which
// its paint covers. True when `message` was one of them, with the result in *result.
bool HandleFormFrameMessage(platform::Window window, unsigned message, platform::WParam wParam,
                            platform::LParam lParam, std::int32_t* redrawFlag, platform::LResult* result);
// The set-up every form does first on kMsgInitDialog: the shell's dialog set-up for forms
// (21), full screen (42) and FitFormToClient.
void InitFormWindow(platform::Window window);
// The opening of a form that makes and places its own controls: InitFormWindow, the window
// noted in *formWindow (when given), the controls made, the next paint a full one, and the controls laid
// out for the client area.
void OpenSelfLaidOutForm(platform::Window window, platform::Window* formWindow, std::int32_t* redrawFlag,
                         const std::function<void(platform::Window)>& makeControls,
                         const std::function<void(platform::Window, int, int)>& layout);

// One flag per form in the table, all 1 at start: 1 makes the form's next paint draw
// everything. Forms not in the table share one spare flag.
std::int32_t* FormRedrawFlag(int formId);
// Sets every form's flag to 1 (a colour or display change).
void SetAllFormRedrawFlags();

// ---- Current form ---------------------------------------------------------------------

void SetCurrentFormId(int formId);
int GetCurrentFormId();
// The dialog the field and control helpers act on.
void SetActiveFormHandle(platform::Window form);
platform::Window GetActiveForm();
// Stores the window and returns the one it replaces.
platform::Window SetActiveForm(platform::Window form);

// ---- Small control helpers ------------------------------------------------------------

// Checks the box for a non-zero state, clears it otherwise.
void SetCheck(platform::Window dialog, int controlId, int state);
// 1 only when the box is checked (indeterminate reads as 0).
int GetCheck(platform::Window dialog, int controlId);
platform::Window GetFormControl(platform::Window dialog, int controlId);
// Controls are addressed by id: the id itself.
int GetObjectIndex(platform::Window dialog, int controlId);

// ---- History --------------------------------------------------------------------------

constexpr int kHomeFormId = 1950;
constexpr int kFormHistorySize = 7;

// Slot 0 the oldest, slot 6 the newest (the form shown); all 1950 at start. The last
// pushed id is the settings word pref::lastPushedForm.
struct FormHistory {
    std::int32_t slots[kFormHistorySize];
};
extern FormHistory formHistory;

// Records a form as it draws itself: 1950 resets the history; an id already held changes
// nothing; any other shifts slots 2..6 down to 1..5 and takes slot 6 (slot 0 stays).
void PushFormHistory(int formId);
// The form before the current one (slot 5).
int GetPreviousForm();
// The back shift without opening a form.
void DropFormHistory();
// The back shift, then GotoForm of the form before the current one.
void GoBackForm();
