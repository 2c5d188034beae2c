#pragma once
// The program's frame: the entry function with its message loop, the one main window
// every form is shown in, the routing of menu commands to forms, and the orderly end.
//
// Start: RunVelkarion -> InitInstance (single copy, screen scale, main window, start-up
// data) -> the home form, through command 9900 -> the loop. End: Quit (command 1035) or
// Ctrl+Q (command 1, also the desktop window's close box) closes the shown form and
// destroys the main window, whose destruction stops the power thread, frees the start-up
// data (saving the last list, restoring the system colours), the fonts and the drawing
// buffers, and ends the loop with 0.
#include <string>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/form_dispatcher.h"

// The main window itself (`mainWindow`) is declared with the form switch, which posts to
// it ("shell/form_dispatcher.h").

// What a run is started with; the entry point's option parser fills it.
struct RunOptions {
    bool show = true;          // show the main window at once
    bool instanceLock = true;  // one copy per user folder (headless runs take no lock)
};

// The entry function: returns the quit code of the loop, or 0 when another copy runs or
// the main window could not be made. The resources must be loaded first.
int RunVelkarion(const RunOptions& options = {});

// Makes the main window and the start-up state. 0 when another copy runs (it has been
// asked to come to the front) or the window was not made ("Can't Create window").
int InitInstance(bool show);

platform::LResult MainWndProc(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);

// The name by which the copies of the program find each other (made from the window class
// and title strings).
std::string ProgramInstanceName();
// Claims the single-instance lock in the user folder for this process, once (a folder
// refused for the lock is said on stderr, and the run goes on; a lock path that is not
// the user's plain file is said and fails the claim). False when another copy
// with this user folder runs: that copy has been asked to come to the front and this one
// must end without making a window. The entry point claims before it opens its window;
// InitInstance claims when nobody has, unless the run takes no lock.
bool ClaimProgramInstance();
// After a failed claim: true when it failed on the lock's path (a link, a folder, another
// user's file; said on stderr), not on a running copy.
bool ProgramInstanceLockRefused();
