#include "shell/text_input.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/messages.h"
#include "shell/draw_targets.h"
#include "shell/form_dispatcher.h"

using platform::LParam;
using platform::LResult;
using platform::Rect;
using platform::Window;
using platform::WParam;

TextInputState textInput;

namespace {

int Scaled(int n) { return static_cast<int>(n * screenScale.horizontal); }

Window Item(Window dialog, int id) { return platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id)); }

// Moves a control by dx and widens it by dw.
void Shift(Window control, int dx, int dw) {
    if (!control) return;
    const Rect r = platform::GetRectInParent(control);
    platform::MoveWindow(control, Rect{r.left + dx, r.top, r.right + dx + dw, r.bottom}, true);
}

void SetUp(Window dialog) {
    textInput.menuBar = ShellCreateMenuBar(dialog, 102);
    ShellInitDialog(dialog, 0);
    if (textInput.menuBar) platform::ShowWindow(textInput.menuBar, true);
    ShellFullScreen(dialog, kShellInputDialog);
    const int width = platform::ScreenWidth();
    const int height = platform::ScreenHeight();
    platform::MoveWindow(dialog, Rect{0, height - Scaled(207), width, height - Scaled(207) + height - Scaled(136)}, true);
    const int extra = width - Scaled(240);
    const Window label = Item(dialog, kTextInputLabel);
    const Window edit = Item(dialog, kTextInputEdit);
    if (textInput.label[0]) {
        Shift(edit, 0, extra);
        platform::SetWindowText(label, textInput.label);
    } else {
        platform::ShowWindow(label, false);
        Shift(edit, -Scaled(70), extra + Scaled(70));
    }
    Shift(Item(dialog, platform::kIdCancel), extra, 0);
    platform::SetWindowText(edit, textInput.text);
    // The old text is selected: typing replaces it, the arrows and Backspace edit it.
    platform::SelectAllEditText(edit);
    platform::SetFocus(edit);
    textInput.closing = 0;
}

}  // namespace

LResult TextInputDlgProc(Window dialog, unsigned message, WParam wParam, LParam) {
    ShellInputDialogHook(dialog, message, wParam);
    switch (message) {
        case platform::kMsgInitDialog:
            SetUp(dialog);
            return 1;
        case platform::kMsgCommand:
            switch (platform::LowWord(wParam)) {
                case platform::kIdOk: {
                    const std::string text = platform::GetWindowText(Item(dialog, kTextInputEdit));
                    const std::size_t keep = std::min(text.size(), static_cast<std::size_t>(std::max(0, textInput.limit - 1)));
                    text.copy(textInput.text, keep);
                    textInput.text[keep] = 0;
                    textInput.closing = 1;
                    ShellSetInputPanel(dialog, kInputPanelForceDown);
                    platform::EndDialog(dialog, platform::kIdOk);
                    return 1;
                }
                case platform::kIdCancel:
                    textInput.closing = 1;
                    ShellSetInputPanel(dialog, kInputPanelForceDown);
                    platform::EndDialog(dialog, platform::kIdCancel);
                    return 1;
                default: return 0;
            }
        case platform::kMsgSetFocus:
            ShellSetInputPanel(dialog, kInputPanelRaise);
            return 0;
        case platform::kMsgKillFocus:
            if (textInput.closing) ShellSetInputPanel(dialog, kInputPanelLower);
            return 0;
        default: return 0;
    }
}

bool EditTextDialog(Window dialog, int id, const char* label, int limit) {
    SaveScreen();
    const Window control = Item(dialog, id);
    const std::string current = platform::GetWindowText(control);
    const std::size_t n = std::min(current.size(), static_cast<std::size_t>(kTextInputSize - 1));
    current.copy(textInput.text, n);
    textInput.text[n] = 0;
    std::snprintf(textInput.label, sizeof textInput.label, "%s", label ? label : "");
    textInput.limit = std::clamp(limit, 1, kTextInputSize);
    ShellFullScreen(dialog, kShellFullScreenInput);
    platform::InstallStandardControls();
    const int result = platform::DialogBox(kTextInputDialog, dialog, &TextInputDlgProc, 0);
    if (!platform::IsWindow(dialog)) return false;
    ShellFullScreen(dialog, kShellFullScreen);
    platform::InvalidateRect(dialog, nullptr, true);
    if (result != platform::kIdOk) return false;
    if (platform::IsWindow(control)) platform::SetWindowText(control, textInput.text);
    return true;
}
