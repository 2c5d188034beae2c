#include "shell/position_dialog.h"

#include <cstdio>
#include <cstring>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/list_view.h"
#include "platform/messages.h"
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

PositionInputState positionInput;

namespace {

constexpr int kMenuBarResource = 102;
constexpr int kTexts[] = {kPositionName, kPositionFirst, kPositionSecond};
// Added in this order, shown the other way round: "None" is row 0, "Star" row 7.
constexpr const char* kTypes[] = {"Star",  "Nebula",       "Galaxy",           "Asteroid",
                                  "Comet", "Open Cluster", "Globular Cluster", "None"};

char* Buffer(int id) {
    switch (id) {
        case kPositionName: return positionInput.name;
        case kPositionFirst: return positionInput.first;
        default: return positionInput.second;
    }
}

void SetUp(Window dialog) {
    positionInput.menuBar = ShellCreateMenuBar(dialog, kMenuBarResource);
    ShowDialogStrip(dialog, kShellInputDialog, static_cast<int>(120 * screenScale.horizontal));
    ShellSetInputPanel(dialog, kInputPanelFollowDialog);

    InitTitleNoClose(dialog, kPositionTitle, "Position input");
    for (int id : kTexts) InitField(dialog, id, 1);
    for (const char* type : kTypes) AppendListItem(dialog, kPositionTypeList, type);
    positionInput.previousForm = SetActiveForm(dialog);
    InitPopupList(dialog, kPositionTypeTrigger, kPositionTypeList, -1, 0, kPositionTypeNone);
    positionInput.type = kPositionTypeNone;
    if (positionInput.mode == 0) {
        platform::SetWindowText(platform::GetDialogItem(dialog, kPositionFirstLabel), "Az");
        platform::SetWindowText(platform::GetDialogItem(dialog, kPositionSecondLabel), "Alt");
    }
    for (int id : kTexts) SetField(id, Buffer(id));
    platform::SetFocus(dialog);
    positionInput.closing = 0;
}

void Finish(Window dialog, int command) {
    positionInput.result = 0;
    if (command == kPositionOk || command == platform::kIdOk) {
        for (int id : kTexts) GetField(id, Buffer(id), kPositionTextOut + 1);
        positionInput.result = 1;
    }
    SetActiveForm(positionInput.previousForm);
    positionInput.closing = 1;
    for (int id : {kPositionTitle, kPositionName, kPositionFirst, kPositionSecond, kPositionTypeTrigger})
        ReleaseControl(dialog, id);
    ShellSetInputPanel(dialog, kInputPanelForceDown);
    platform::EndDialog(dialog, command);
}

}  // namespace

LResult PositionInputDlgProc(Window dialog, unsigned message, WParam wParam, LParam) {
    ShellInputDialogHook(dialog, message, wParam);
    switch (message) {
        case platform::kMsgInitDialog:
            SetUp(dialog);
            return 1;
        case platform::kMsgPaint:
            PaintDialogTitle(dialog, kPositionTitle);
            return 1;
        case platform::kMsgCommand: {
            const int id = platform::LowWord(wParam);
            switch (id) {
                case kPositionTypeTrigger: {
                    const int list = platform::HighWord(wParam);
                    const int row = GetListSelection(list);
                    positionInput.type = row;
                    SetPopupList(kPositionTypeTrigger, list, row);
                    return 1;
                }
                case kPositionOk:
                case kPositionCancel:
                case platform::kIdOk:
                    Finish(dialog, id);
                    return 1;
                case platform::kIdCancel:  // Escape
                    Finish(dialog, kPositionCancel);
                    return 1;
                default: return 0;
            }
        }
        case platform::kMsgClose:
            // The form under it is closing (the program quits): cancelled, as by Escape.
            Finish(dialog, kPositionCancel);
            return 1;
        case platform::kMsgSetFocus:
            ShellSetInputPanel(dialog, kInputPanelRaise);
            return 0;
        case platform::kMsgKillFocus:
            if (positionInput.closing) {
                if (positionInput.menuBar) {
                    platform::DestroyWindow(positionInput.menuBar);
                    positionInput.menuBar = Window{};
                }
                ShellSetInputPanel(dialog, kInputPanelForceDown);
            }
            return 0;
        default: return 0;
    }
}

int PositionInput(Window parent, int mode, char* name, char* first, char* second, int* type) {
    // The texts handed in may be longer than what comes back: room for all of them.
    std::snprintf(positionInput.name, sizeof positionInput.name, "%s", name ? name : "");
    std::snprintf(positionInput.first, sizeof positionInput.first, "%s", first ? first : "");
    std::snprintf(positionInput.second, sizeof positionInput.second, "%s", second ? second : "");
    positionInput.result = 0;
    positionInput.mode = mode;
    SaveScreen();
    const platform::Dc dc = GetDrawDC();
    platform::InstallStandardControls();
    platform::InstallListView();
    platform::DialogBox(kPositionDialog, parent, &PositionInputDlgProc, 0);
    ShellFullScreen(parent, kShellFullScreen);
    SetActiveFormHandle(parent);
    SetDrawTarget(parent, dc);
    if (!positionInput.result) return 0;
    // The caller's fields take the first kPositionTextOut characters.
    auto give = [](char* out, const char* text) {
        if (!out) return;
        const std::size_t n = strnlen(text, kPositionTextOut);
        std::memcpy(out, text, n);
        out[n] = '\0';
    };
    give(name, positionInput.name);
    give(first, positionInput.first);
    give(second, positionInput.second);
    if (type) *type = positionInput.type;
    return 1;
}
