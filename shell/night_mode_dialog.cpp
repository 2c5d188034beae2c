#include "shell/night_mode_dialog.h"

#include <cstdio>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/list_view.h"
#include "platform/messages.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/draw_targets.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/form_dispatcher.h"
#include "core/settings.h"
#include "shell/scratch_text.h"
#include "shell/commands.h"

using platform::LParam;
using platform::LResult;
using platform::Window;
using platform::WParam;

const char nightModeNames[4][7] = {"Normal", "Dark", "Medium", "Bright"};

namespace {

constexpr int kButtons[] = {platform::kIdOk, kNightModeOff, kNightModeLevel1, kNightModeLevel2,
                            kNightModeLevel3, kNightModePreset2003, kNightModePreset2005};

int& NightMode() { return preferences.word[pref::nightMode]; }

void ShowModeLine() {
    const int level = NightMode() >= 0 && NightMode() <= 3 ? NightMode() : 0;
    char local[64];
    char* text = txtBuffer ? txtBuffer : local;
    std::snprintf(text, sizeof local, "Current Mode: <%s> mode", nightModeNames[level]);
    SetField(kNightModeLine, text);
}

void SetUp(Window dialog) {
    ShowDialogStrip(dialog, kShellFullScreen, static_cast<int>(88 * screenScale.vertical));
    const int width = platform::ScreenWidth();
    InitTitleNoClose(dialog, kNightModeTitle, "NightMode Settings");
    SetActiveFormHandle(dialog);
    for (int id : kButtons) InitButton(dialog, id, -1, 0, 0);
    ShowModeLine();
    // The level buttons keep their distance from the right edge.
    const int dx = width - static_cast<int>(240 * screenScale.horizontal);
    for (int id : {kNightModeLevel1, kNightModeLevel2, kNightModeLevel3}) MoveObject(dialog, id, dx, 0, 0, 0);
}

void Close(Window dialog, int result = platform::kIdOk) {
    ReleaseControl(dialog, kNightModeTitle);
    for (int id : kButtons) ReleaseControl(dialog, id);
    platform::EndDialog(dialog, result);
}

}  // namespace

LResult NightModeDlgProc(Window dialog, unsigned message, WParam wParam, LParam lParam) {
    ShellInputDialogHook(dialog, message, wParam);
    switch (message) {
        case platform::kMsgInitDialog:
            SetUp(dialog);
            return 1;
        case platform::kMsgPaint:
            PaintDialogTitle(dialog, kNightModeTitle);
            return 1;
        case platform::kMsgClose:
            // The form under it is closing (the program quits): the dialog ends with it,
            // changing nothing more.
            Close(dialog, platform::kIdCancel);
            return 1;
        case platform::kMsgCommand: {
            const int id = platform::LowWord(wParam);
            switch (id) {
                case kNightModeOff:
                    // Escape arrives as this id from the dialog's keys, with the button's
                    // window; the button itself posts 0. Escape leaves, as OK does, rather
                    // than switching the night colours off.
                    if (lParam != 0) {
                        Close(dialog);
                        return 1;
                    }
                    NightMode() = 0;
                    break;
                case kNightModeLevel1: NightMode() = 1; break;
                case kNightModeLevel2: NightMode() = 2; break;
                case kNightModeLevel3: NightMode() = 3; break;
                case kNightModePreset2003:
                case kNightModePreset2005:
                    NightMode() = 0;
                    ApplyColourPreset(id == kNightModePreset2003 ? 2003 : 2005);
                    break;
                case platform::kIdOk:
                    Close(dialog);
                    return 1;
                default: return 0;
            }
            ShowModeLine();
            SetNightColours(NightMode());
            return 1;
        }
        default: return 0;
    }
}

void NightModeSettings() {
    const Window form = platform::IsWindow(formWindow) ? formWindow : GetActiveForm();
    platform::InstallStandardControls();
    platform::InstallListView();
    // Any other end (the program quitting, no layout) leaves the form as it is.
    if (platform::DialogBox(kNightModeDialog, form, &NightModeDlgProc, 0) != platform::kIdOk) return;
    // The strips are remade in the new colours when next drawn.
    FreeSymbolStrips();
    SetActiveFormHandle(form);
    ShellFullScreen(form, kShellFullScreen);
    const int id = GetCurrentFormId();
    RestoreMainLayout();
    platform::PostMessage(mainWindow, platform::kMsgCommand, kCmdShowForm, static_cast<LParam>(id));
    SetCurrentFormId(id);
}
