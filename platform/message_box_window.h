#pragma once
// The message box the layer draws for itself: a caption band, the text word-wrapped, and
// OK or Yes and No, in the system colours, centred on the screen. It runs as a modal
// dialog: its owner is disabled while it is open and gets the focus back afterwards.
// Return picks OK (or Yes), Escape and every other way of closing it (the quit message,
// the box destroyed) answer kIdCancel, so that closing a question is never read as No.
#include <string>

#include "platform/message_box.h"
#include "platform/types.h"

namespace platform {

// Shows the box and returns kIdOk, kIdYes, kIdNo or kIdCancel.
int PresentMessageBox(Window owner, const std::string& text, const std::string& caption, BoxButtons buttons);

// Makes PresentMessageBox the presenter of every MessageBox (interactive runs).
void InstallMessageBoxWindow();

// The control ids of the box's buttons are the answers they give.
constexpr int kBoxDialogId = 0xFF00;  // layout id of the box (never a resource)

}  // namespace platform
