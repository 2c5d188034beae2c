#pragma once
// What the form switch offers its tests, not the program: the log of the shell-service
// calls, the form procedures installed or read by id, and the history reset. The program
// registers its forms with RegisterForm (form_dispatcher.h).
#include <cstdint>
#include <vector>

#include "platform/dialog.h"
#include "platform/types.h"
#include "platform/window.h"

enum class ShellCall : std::uint8_t {
    InitDialog,
    FullScreen,
    HandleActivate,
    HandleSettingChange,
    InputPanel,
    CreateMenuBar,
    InputDialogHook,
};
struct ShellCallRecord {
    ShellCall call;
    platform::Window window;
    int value;   // the flags, the preference, the menu id or the message
};

// The most recent shell-service calls (the oldest are dropped past a few hundred).
const std::vector<ShellCallRecord>& ShellCalls();
void ClearShellCalls();

// Installs (or with null removes) the dialog procedure of a form id, also for ids the
// table lacks; returns the one it replaced.
platform::DialogProc SetFormDialogProc(int formId, platform::DialogProc proc);
// The dialog procedure ShowForm would use (null: none built).
platform::DialogProc GetFormDialogProc(int formId);

// All history slots 1950, as at the start of a run.
void ResetFormHistory();
