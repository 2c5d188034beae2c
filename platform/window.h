#pragma once
// Windows, the message queue, timers and the loop.
//
// A window is a record with a parent (child windows) or an owner (top-level windows),
// children in z-order, a kind, a 16-bit control id, a text (Windows-1252 bytes), a
// rectangle, visibility, enabled state, style bits, user data and a procedure. The client
// area is the whole window. A child's rectangle is in its parent's client coordinates, a
// top-level's in screen coordinates; top-levels are kept inside the screen.
//
// Everything here runs on the interface thread, except PostMessage, PostQuitMessage and
// WakeLoop, which any thread may call.
//
// Handles are generation-checked: the null handle and the handle of a destroyed window
// make every call a harmless failure (false, 0, an empty value).
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messages.h"
#include "platform/surface.h"
#include "platform/types.h"

namespace platform {

using WindowProc = LResult (*)(Window w, unsigned message, WParam wParam, LParam lParam);

enum class WindowKind : std::uint8_t {
    Generic,   // a window with a procedure of its own (the main window, test windows)
    Dialog,    // a dialog made from a layout (forms, modal dialogs, message boxes)
    Button,    // push button and check box kinds
    Static,    // text label; transparent to the pen
    Edit,
    ListView,
    ScrollBar,
};

// Style bits. The layout flags map onto them; controls read them.
constexpr std::uint32_t kStyleOwnerDraw = 1u << 0;
constexpr std::uint32_t kStyleVScroll = 1u << 1;
constexpr std::uint32_t kStyleHScroll = 1u << 2;
constexpr std::uint32_t kStyleMultiLine = 1u << 3;
constexpr std::uint32_t kStyleCheckBox = 1u << 4;
constexpr std::uint32_t kStyleAutoCheckBox = 1u << 5;
constexpr std::uint32_t kStyleThreeState = 1u << 6;
constexpr std::uint32_t kStyleAutoThreeState = 1u << 7;
constexpr std::uint32_t kStyleRadio = 1u << 8;
constexpr std::uint32_t kStyleDefaultButton = 1u << 9;
constexpr std::uint32_t kStyleBorder = 1u << 10;
constexpr std::uint32_t kStyleReadOnly = 1u << 11;
constexpr std::uint32_t kStyleCenter = 1u << 12;
constexpr std::uint32_t kStyleRight = 1u << 13;
constexpr std::uint32_t kStyleWantReturn = 1u << 14;

struct WindowSpec {
    WindowKind kind = WindowKind::Generic;
    Window parent{};          // set: a child window inside the parent
    Window owner{};           // for a top-level (no parent): the window it belongs to
    std::uint16_t id = 0;
    std::string text{};
    Rect rect{};              // parent's client coordinates, or screen for a top-level
    std::uint32_t style = 0;
    bool visible = true;
    bool enabled = true;
    WindowProc proc = nullptr;  // null: the procedure registered for the kind, else the default
    LParam createParam = 0;     // passed with kMsgCreate
};

// ---- Life ----------------------------------------------------------------------------

// Creates the window and sends it kMsgCreate; a visible top-level is then activated.
// Null for a bad parent or owner.
Window CreateWindow(const WindowSpec& desc);
// Destroys the window: windows it owns and its children first, each getting kMsgDestroy
// before the window itself; its timers die and messages posted to it are dropped. When a
// window procedure is running, the record is freed at the end of the outermost dispatch;
// the handle is stale as soon as this returns.
bool DestroyWindow(Window w);
bool IsWindow(Window w);

// Destroys every window and empties the queue, the timers and the modal stack. Tests and
// the headless driver use it between runs.
void ResetWindows();

// The procedure used for windows of a kind that are made without one (the standard
// controls register theirs here).
void SetKindProc(WindowKind kind, WindowProc proc);

// ---- Records -------------------------------------------------------------------------

WindowKind GetWindowKind(Window w);
Window GetParent(Window w);     // null for a top-level
Window GetOwner(Window w);      // null for a child
Window GetTopLevel(Window w);   // w itself for a top-level
std::vector<Window> ChildWindows(Window w);    // bottom of the z-order first
std::vector<Window> TopLevelWindows();         // bottom of the z-order first
bool IsDescendant(Window ancestor, Window w);  // true also for w == ancestor

std::uint16_t GetWindowId(Window w);
void SetWindowId(Window w, std::uint16_t id);
// The first child of `parent` with the id, depth-first through the children.
Window FindChild(Window parent, std::uint16_t id);

std::string GetWindowText(Window w);
// Sends kMsgSetText; the default procedure stores the text.
bool SetWindowText(Window w, std::string_view text);

std::uint32_t GetWindowStyle(Window w);
void SetWindowStyle(Window w, std::uint32_t style);
LParam GetUserData(Window w);
void SetUserData(Window w, LParam data);

// Subclassing: installs a procedure and returns the one it replaced, which is also kept
// as the window's previous procedure.
WindowProc GetWindowProc(Window w);
WindowProc SetWindowProc(Window w, WindowProc proc);
WindowProc GetPreviousWindowProc(Window w);
// Calls a procedure for the window (null: the default procedure).
LResult CallWindowProc(WindowProc proc, Window w, unsigned message, WParam wParam, LParam lParam);
LResult DefWindowProc(Window w, unsigned message, WParam wParam, LParam lParam);

// ---- Geometry ------------------------------------------------------------------------

Rect GetWindowRect(Window w);    // screen coordinates
Rect GetClientRect(Window w);    // {0, 0, width, height}
Rect GetRectInParent(Window w);  // parent's client coordinates (screen for a top-level)
Point ClientToScreen(Window w, Point p);
Point ScreenToClient(Window w, Point p);
// Moves and sizes the window (parent's client coordinates, screen for a top-level, which
// is clamped to the screen). With repaint, the uncovered area and the window are
// invalidated; without, nothing is (a top-level whose size changes is always repainted).
bool MoveWindow(Window w, const Rect& rect, bool repaint);

// ---- Visibility, z-order, enabled state ----------------------------------------------

// Showing invalidates the window; hiding invalidates what it uncovered. Showing a
// top-level activates it when it is enabled. Returns whether the window was visible
// before (false for a bad handle).
bool ShowWindow(Window w, bool show);
bool IsWindowVisible(Window w);  // the window and all its ancestors
bool BringWindowToTop(Window w);  // among its siblings; a top-level's owned windows stay above it
bool EnableWindow(Window w, bool enable);
bool IsWindowEnabled(Window w);
// The topmost visible enabled window under a screen point, as the pen finds it (static
// labels are transparent; a disabled top-level swallows the pen, and so does one outside
// the running modal dialog while it runs). Null when none.
Window WindowFromPoint(Point screen);

// ---- Focus, activation, capture ------------------------------------------------------

// Activation belongs to top-levels. Activating sends kMsgActivate to the window losing it
// and then to the one getting it; the default procedure then gives the focus to the
// window's last focused descendant or to the window itself. When the active window goes
// away, the topmost visible enabled top-level takes over.
Window GetActiveWindow();
bool SetActiveWindow(Window w);
// The application's active window, whether or not the desktop window has the focus.
Window GetForegroundWindow();
// Activates the window's top-level, brings it to the top and asks the backend to raise
// the desktop window.
bool SetForegroundWindow(Window w);

// Returns the previous focus. Focusing a window activates its top-level first; a window
// inside a disabled top-level (the owner of a modal dialog) cannot take the focus, and
// the call then returns null and changes nothing. Null removes the focus.
Window SetFocus(Window w);
Window GetFocus();

// The pen is captured implicitly from pen down to pen up; SetCapture makes it explicit.
Window SetCapture(Window w);
bool ReleaseCapture();
Window GetCapture();

// ---- Messages ------------------------------------------------------------------------

// Calls the window's procedure now (re-entrant). 0 for a bad handle.
LResult SendMessage(Window w, unsigned message, WParam wParam, LParam lParam);
// Queues a message for the window and wakes a waiting loop. Any thread. False for a bad
// handle; a message whose window dies before it is taken is dropped.
bool PostMessage(Window w, unsigned message, WParam wParam, LParam lParam);
// Asks the loop to end: GetMessage returns false once the posted and input messages
// before it are taken. Any thread.
void PostQuitMessage(int exitCode);
// Makes a waiting loop look again. Any thread.
void WakeLoop();

// Takes the next message: posted and input messages in order, then the quit message,
// then paint (for any visible window with an invalid area, again and again until it is
// validated), then due timers. Blocks (calling the idle hook) when there is none.
// Returns false when the message is the quit message.
bool GetMessage(Message& out);
// Looks for a message without blocking. A window filter keeps messages for that window
// and its descendants; first..last (both 0: all) filters by number. The quit message is
// only taken by an unfiltered look. An empty look is an empty poll of the backend.
bool PeekMessage(Message& out, Window filter, unsigned first, unsigned last, bool remove);
// Calls the procedure of the message's window.
LResult DispatchMessage(const Message& m);
// Removes every pending message in the range (input in it included).
void FlushMessages(unsigned first, unsigned last);

// Whether anything would be taken now (posted or input messages, quit, paint, due timers).
bool HasPendingWork();

// The hook every loop calls when it would block (GetMessage, modal dialogs, popup lists,
// polling loops through IdleWait). It returns true when it may have made work (the loop
// then looks again) and false to let the loop wait on the backend.
using IdleHook = bool (*)();
void SetIdleHook(IdleHook hook);
// For polling loops: calls the idle hook, or waits briefly on the backend without one.
void IdleWait();

// Runs a task on the interface thread from the loop (used by the headless driver). Any
// thread.
void PostTask(std::function<void()> task);

// ---- Timers --------------------------------------------------------------------------

// Fires kMsgTimer (wParam id) every periodMs on the window. Setting an existing id
// replaces its period; at most one message per timer is ever pending.
bool SetTimer(Window w, unsigned id, unsigned periodMs);
// False when the timer was not set.
bool KillTimer(Window w, unsigned id);
// The tick count at which the earliest timer is due; false when there is none.
bool NextTimerDue(std::uint32_t* tick);

// ---- Keys ----------------------------------------------------------------------------

// The key state as of the last input message taken from the queue.
bool KeyIsDown(int key);
// The key state now, as the backend sees it (polling loops use this one).
bool AsyncKeyIsDown(int key);

// ---- Accelerators and the main loop ---------------------------------------------------

struct Accelerator {
    bool control = false;
    bool shift = false;
    bool alt = false;
    int key = 0;
    std::uint16_t command = 0;
};
struct AcceleratorTable {
    int id = 0;
    std::vector<Accelerator> entries;
};

// On a key down that matches an entry, sends kMsgCommand (the command) to the window and
// returns true. kMsgCloseRequest counts as Ctrl+Q.
bool TranslateAccelerator(Window w, const AcceleratorTable& table, const Message& m);
// The main window's accelerators, offered every message by every loop of the layer.
void SetMainAccelerators(Window w, const AcceleratorTable* table);
// GetMessage, the main accelerators, DispatchMessage until the quit message; returns its
// exit code.
int RunMessageLoop();

// ---- What the drawing half needs -----------------------------------------------------

// The surface of w's top-level (null for a bad handle) and w's client origin inside it.
Surface* WindowSurface(Window w);
Point WindowOrigin(Window w);
// The parts of w's client area (client coordinates) not hidden by its visible children or
// by higher visible siblings of it or of its ancestors; empty when w is not visible.
std::vector<Rect> WindowVisibleRects(Window w);

// r null: the whole client area. Invalidating a window does not touch its children.
bool InvalidateRect(Window w, const Rect* r, bool erase);
bool ValidateRect(Window w, const Rect* r);
// The bounding box of the invalid area (client coordinates), which is then validated.
// *erase tells whether an erase was asked for. Empty when nothing was invalid.
Rect TakeUpdateRect(Window w, bool* erase);
bool HasUpdateRect(Window w);
// Every window, whole, with erase (colour changes).
void InvalidateAllWindows();

// Copies the visible top-levels, bottom first, onto the screen (remade at the screen size
// when needed).
void ComposeScreen(Surface& screen);
// Changes whenever a surface may have changed; the drawing half calls MarkScreenChanged
// after drawing outside a paint.
std::uint64_t ScreenGeneration();
void MarkScreenChanged();
// Composes and presents the screen through the backend when it changed since the last
// frame; the loops call it before they block.
void PresentScreen();

// The default procedure's paint and erase, filled in by the drawing half: paint must
// validate (BeginPaint/EndPaint); erase fills the background and returns non-zero.
struct DefaultPainters {
    void (*paint)(Window w) = nullptr;
    LResult (*erase)(Window w, WParam dc) = nullptr;
};
void SetDefaultPainters(const DefaultPainters& painters);

// ---- Screen --------------------------------------------------------------------------

int ScreenScale();
int ScreenWidth();   // 240 * scale unless an explicit size was set
int ScreenHeight();  // 320 * scale unless an explicit size was set
// width or height 0: 240 * scale by 320 * scale.
void SetScreenGeometry(int scale, int width, int height);

}  // namespace platform
