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
    // Design pixels the window shows below the screen (the menu band), counted when the
    // scale is fitted to the display.
    int bandHeight = 0;
    std::string title = "Velkarion";
};

// Opens the window at the screen's size and makes this the backend in use. A scale whose
// window (screen and band) does not fit the display's usable area is lowered to the
// largest that fits (Scale() tells the one in use). False, with nothing changed and SDL's
// reason in *why, when no window can be opened: also when there is no display and SDL
// would fall back to a driver that shows nothing, unless SDL_VIDEODRIVER asks for it.
bool Install(const Options& options, std::string* why = nullptr);
// Closes the window and returns to the plain backend.
void Uninstall();
bool Installed();
// The screen scale of the open window.
int Scale();

}  // namespace platform::sdl
