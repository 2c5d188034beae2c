#pragma once
// The SDL2 backend: a real desktop window showing the composed screen. The left mouse
// button is the stylus (captured while held; no moves while it is up); the arrows,
// Enter, Page Up/Down and F1-F4 are the hardware keys, other keys arrive as typed
// characters too; the window's close box asks the program to close.
//
// Everything runs on the interface thread, which must be the thread that installs the
// backend; only wake() may come from another thread.
#include <string>

namespace platform::sdl {

struct Options {
    int scale = 2;
    int width = 0;    // 0: 240 * scale
    int height = 0;   // 0: 320 * scale
    std::string title = "Velkarion";
};

// Opens the window at the screen's size and makes this the backend in use. False, with
// nothing changed, when SDL cannot open a window (no display).
bool Install(const Options& options);
// Closes the window and returns to the plain backend.
void Uninstall();
bool Installed();

}  // namespace platform::sdl
