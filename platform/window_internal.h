#pragma once
// Shared between the window core's files (window.cpp, queue.cpp, dialog.cpp); not for
// use outside platform/.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/dialog.h"
#include "platform/window.h"

namespace platform::detail {

struct WindowRecord {
    std::uint32_t generation = 1;
    bool alive = false;
    bool destroying = false;
    Window self;
    WindowKind kind = WindowKind::Generic;
    Window parent;
    Window owner;
    std::vector<Window> children;  // bottom of the z-order first
    std::uint16_t id = 0;
    std::string text;
    Rect rect;                     // parent's client coordinates, or screen
    bool visible = false;
    bool enabled = true;
    std::uint32_t style = 0;
    LParam userData = 0;
    WindowProc proc = nullptr;     // null: DefWindowProc
    WindowProc previous = nullptr;
    Surface surface;               // top-levels only
    std::vector<Rect> update;      // invalid area, disjoint rectangles, client coordinates
    bool erase = false;
    Window lastFocus;              // top-levels: the focus to give back on activation
    DialogProc dialogProc = nullptr;
};

struct TimerRecord {
    Window window;
    unsigned id = 0;
    unsigned period = 1;
    std::uint32_t due = 0;
};

struct ModalEntry {
    Window dialog;
    bool ended = false;
    int result = 0;
};

struct Core {
    std::vector<std::unique_ptr<WindowRecord>> slots;
    std::vector<std::size_t> freeSlots;
    std::vector<std::size_t> pendingFree;
    std::vector<Window> topLevels;  // bottom of the z-order first
    Window active;
    Window focus;
    Window capture;
    int depth = 0;                  // window procedures on the stack
    std::vector<TimerRecord> timers;
    std::vector<ModalEntry> modal;
    bool syncKeys[kKeyCount] = {};
    Window accelWindow;
    AcceleratorTable accelTable;
    bool hasAccel = false;
    WindowProc kindProcs[8] = {};
    DefaultPainters painters;
    IdleHook idle = nullptr;
    std::uint64_t generation = 1;
    std::uint64_t presented = 0;
    Surface screen;
    int scale = 1;
    int width = 0;
    int height = 0;
};

Core& C();
WindowRecord* Find(Window w);
Window TopLevelOf(Window w);
bool InSubtree(Window ancestor, Window w);
// Visible with every ancestor, and not being destroyed.
bool ShownChain(const WindowRecord* r);

// Queue side (queue.cpp), used by window.cpp.
void NoteAlive(Window w);
void NoteDead(Window w);
void ClearQueue();
void ClearInput();
std::uint32_t Now();
bool TickReached(std::uint32_t due, std::uint32_t now);

// Called when the outermost procedure returns.
void FreePending();

// Runs a procedure with the depth kept.
LResult Invoke(WindowProc proc, Window w, unsigned message, WParam wParam, LParam lParam);

// Activation with the way it came about (kActive, kClickActive).
void Activate(Window top, WParam how);

LResult DialogWindowProc(Window w, unsigned message, WParam wParam, LParam lParam);
void ClearModal();

}  // namespace platform::detail
