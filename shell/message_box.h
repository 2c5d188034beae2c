#pragma once
// The shell's report boxes behind ShowMessage and AskYesNo ("core/report.h"), the plain
// message box, and a small modal dialog over the current form.
//
// A report raised while a report box is open (from a timer, a paint or a nested report)
// waits, and the waiting reports are shown one after another, in the order they were
// raised, once the open box is closed: at most 5 wait (more are dropped), each heading and
// detail cut to 255 characters.
#include <cstdint>

#include "core/report.h"
#include "platform/dialog.h"
#include "platform/types.h"

struct MessageQueue {
    int busy = 0;   // 1 while a report box of ShowMessage is open
    // The waiting headings and details are the initialisers' messageHeadingTexts and
    // messageDetailTexts; entries with the same index belong together.
};
extern MessageQueue messageQueue;

constexpr int kMessageQueueLimit = 5;
constexpr int kMessageTextLimit = 255;

// Installs the report boxes below and the busy animation ("shell/busy_indicator.h") as the
// program's report hooks. The program does it at start; form tests do it in their fixture.
void InstallShellReportHooks();

// ShowMessage: shows the heading and the detail (empty for none) as "heading\ndetail" under
// the caption "Information" with an OK button, owned by the program's active window, or
// queues it while another report is open. Returns 1 when the main window exists (or the
// report was queued), else 0; the report is shown either way.
int ShowReportBox(const char* heading, const char* detail);
// AskYesNo: a Yes/No question under "Information"; 1 only when the user answered No
// (closing the box any other way answers 0). The owner gets the focus back.
int AskYesNoBox(const char* heading, const char* detail);
// A plain box with an OK button owned by the active window, which gets the focus back; 0
// (and nothing shown) when there is no active window.
int ShowMessageBox(const char* text, const char* caption);
// "Error %d: %s" with the last system error and its text, caption "Error", no owner.
void ShowLastError();

// Runs dialog layout `id` modally over the current form with `proc`, then makes the form
// the active form and the drawing target again, fits it to the screen, clears it to the
// background and focuses it. Returns 1.
int ShowDialogResource(int id, platform::DialogProc proc);
