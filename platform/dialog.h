#pragma once
// Dialogs made from layouts: modeless (the forms) and modal (a nested loop until ended).
#include <cstdint>
#include <vector>

#include "platform/message_box.h"  // kIdOk, kIdCancel
#include "platform/messages.h"
#include "platform/resources.h"
#include "platform/types.h"
#include "platform/window.h"

namespace platform {

// A dialog procedure returns non-zero when it handled the message (that value is then
// the result); zero leaves the message to the default dialog processing, which never
// moves the focus onto a control (the dialog itself keeps it).
using DialogProc = LResult (*)(Window dialog, unsigned message, WParam wParam, LParam lParam);

// Creates a modeless dialog from layout `id`, owned by `owner`: the dialog and its
// controls are made (design pixels times the screen scale), kMsgInitDialog is sent with
// `param`, then the dialog is shown unless its layout hides it. Null, silently, when there
// is no such layout.
Window CreateDialog(int id, Window owner, DialogProc proc, LParam param);
// Same, from a layout the caller holds.
Window CreateDialogFromLayout(const DialogLayout& layout, Window owner, DialogProc proc, LParam param);

// Runs a modal dialog: the owner's top-level is disabled, a nested loop runs (paints and
// timers of every window go on) until EndDialog, then the owner is enabled and activated
// again and the dialog destroyed. Return sends kMsgCommand with the default button's id
// (kIdOk when none) and Escape kIdCancel. Returns the EndDialog result; -1 when there is
// no such layout; kIdCancel when the loop ended for the quit message (which stays queued).
int DialogBox(int id, Window owner, DialogProc proc, LParam param);
int DialogBoxFromLayout(const DialogLayout& layout, Window owner, DialogProc proc, LParam param);
// Ends a modal dialog with the result. False for a window that is not a running modal
// dialog.
bool EndDialog(Window dialog, int result);

// The modal dialogs now running, outermost first.
std::vector<Window> ModalStack();
bool IsDialog(Window w);

// The control of the dialog with the id (null when none).
Window GetDialogItem(Window dialog, std::uint16_t id);

// Return and Escape for a modal dialog: true when the message was used.
bool HandleDialogKeys(Window dialog, const Message& m);

// Default dialog processing, for procedures that want it explicitly.
LResult DefDialogProc(Window dialog, unsigned message, WParam wParam, LParam lParam);

}  // namespace platform
