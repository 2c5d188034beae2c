#include "shell/message_box.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/controls.h"
#include "platform/dialog.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"
#include "shell/form_dispatcher.h"
#include "core/initialisers.h"
#include "shell/busy_indicator.h"

using platform::Window;

MessageQueue messageQueue;

namespace {

constexpr std::size_t kComposedLimit = 2 * kMessageTextLimit;

std::string Compose(const char* heading, const char* detail) {
    std::string text = heading ? heading : "";
    text += '\n';
    text += detail ? detail : "";
    if (text.size() > kComposedLimit + 1) text.resize(kComposedLimit + 1);
    return text;
}

void CopyCut(char* slot, const char* text) {
    std::snprintf(slot, kMessageTextLimit + 1, "%s", text ? text : "");
}

void ShowOne(const char* heading, const char* detail) {
    const std::string text = Compose(heading, detail);
    // The layer's foreground window is the program's active window, whether or not the
    // desktop has the program in front; with no window at all the box has no owner.
    const Window owner = platform::GetForegroundWindow();
    messageQueue.busy = 1;
    platform::MessageBox(owner, text, "Information", platform::BoxButtons::Ok);
    messageQueue.busy = 0;
}

// Takes the oldest waiting report out of the two lists, keeping the others in order.
bool TakeOldest(Text256* heading, Text256* detail) {
    const std::int32_t n = messageHeadingTexts.count < messageDetailTexts.count ? messageHeadingTexts.count
                                                                                : messageDetailTexts.count;
    if (n <= 0) {
        messageHeadingTexts.count = messageDetailTexts.count = 0;
        return false;
    }
    *heading = messageHeadingTexts.data[0];
    *detail = messageDetailTexts.data[0];
    for (std::int32_t i = 1; i < n; ++i) {
        messageHeadingTexts.data[i - 1] = messageHeadingTexts.data[i];
        messageDetailTexts.data[i - 1] = messageDetailTexts.data[i];
    }
    messageHeadingTexts.count = messageDetailTexts.count = n - 1;
    return true;
}

}  // namespace

int ShowReportBox(const char* heading, const char* detail) {
    if (messageQueue.busy) {
        if (messageHeadingTexts.count < kMessageQueueLimit && messageDetailTexts.count == messageHeadingTexts.count) {
            char* h = StringListAt(messageHeadingTexts, messageHeadingTexts.count);
            char* d = h ? StringListAt(messageDetailTexts, messageDetailTexts.count) : nullptr;
            if (h && d) {
                CopyCut(h, heading);
                CopyCut(d, detail);
            } else if (h) {
                --messageHeadingTexts.count;  // no room for the detail: drop the pair
            }
        }
        return 1;
    }
    ShowOne(heading, detail);
    // Reports raised while a box was open are shown now, oldest first; those raised while
    // these are open join the end of the line.
    Text256 h;
    Text256 d;
    while (TakeOldest(&h, &d)) ShowOne(h.text, d.text);
    return platform::IsWindow(mainWindow) ? 1 : 0;
}

int AskYesNoBox(const char* heading, const char* detail) {
    const Window owner = platform::GetForegroundWindow();
    const int answer = platform::MessageBox(owner, Compose(heading, detail), "Information", platform::BoxButtons::YesNo);
    if (platform::IsWindow(owner)) platform::SetFocus(owner);
    return answer == platform::kIdNo ? 1 : 0;
}

void InstallShellReportHooks() {
    ReportHooks hooks;
    hooks.showMessage = &ShowReportBox;
    hooks.askYesNo = &AskYesNoBox;
    hooks.showBusy = &StepBusyIndicator;
    hooks.hideBusy = &RemoveBusyIndicator;
    hooks.busyCancelled = &BusyCancelAsked;
    SetReportHooks(hooks);
}

int ShowMessageBox(const char* text, const char* caption) {
    const Window owner = platform::GetActiveWindow();
    if (!owner) return 0;
    platform::MessageBox(owner, text ? text : "", caption ? caption : "", platform::BoxButtons::Ok);
    if (platform::IsWindow(owner)) platform::SetFocus(owner);
    return 1;
}

void ShowLastError() {
    const int code = errno;
    char text[256];
    std::snprintf(text, sizeof text, "Error %d: %s", code, std::strerror(code));
    platform::MessageBox(Window{}, text, "Error", platform::BoxButtons::Ok);
}

int ShowDialogResource(int id, platform::DialogProc proc) {
    const Window form = GetActiveForm();
    const platform::Dc dc = GetDrawDC();
    platform::InstallStandardControls();
    platform::DialogBox(id, form, proc, 0);
    SetActiveFormHandle(form);
    SetDrawTarget(form, dc);
    if (platform::IsWindow(form)) {
        const platform::Rect client = platform::GetClientRect(form);
        platform::MoveWindow(form,
                             platform::Rect{0, 0, client.Width(),
                                            client.Height() + static_cast<int>(26 * screenScale.horizontal)},
                             true);
        platform::ShowWindow(form, true);
        EraseWindow(form);
        platform::SetFocus(form);
    }
    return 1;
}
