#pragma once
// The standard controls of dialogs: push buttons, check boxes, static texts and edit
// boxes. They are the procedures of their window kinds, so every control a dialog layout
// makes behaves as one; the program's own controls subclass them and hand on what they
// do not handle. Everything is drawn in the system colours.
//
// Push button: pressed while the pen is down on it; lifting the pen inside sends
// kMsgCommand (low word the id, lParam the button) to the parent; sliding off and lifting
// sends nothing. Space does the same for a focused button.
//
// Check box (a button with one of the check box styles): kMsgGetCheck / kMsgSetCheck with
// kUnchecked, kChecked, kIndeterminate. A click turns an unchecked box checked and any
// other unchecked (a radio button is only ever checked by a click, and unchecks the other
// radio buttons of its parent), then sends the command as a push button does.
//
// Static text: left-aligned (or centred, or right-aligned by style), word-wrapped, "&"
// marking the next character ("&&" draws "&"); the pen passes through it.
//
// Edit box: single-line (scrolls sideways) or multi-line (word-wrapped, scrolls down).
// The pen places the caret and takes the focus; characters are typed at the caret;
// Backspace, Delete, Left, Right, Up, Down, Home and End edit and move it; Return makes a
// new line in a multi-line box with the wantreturn style. The focused box shows a caret
// that blinks on a timer of its own, so the program's timers are never touched. Read-only
// boxes move the caret but do not change. The text is the window text.
#include <cstddef>

#include "platform/types.h"
#include "platform/window.h"

namespace platform {

// Registers the procedures of the four kinds. Done when the program starts; calling it
// again is harmless.
void InstallStandardControls();

// The procedures themselves (subclassers keep the one they replace instead).
LResult ButtonProc(Window w, unsigned message, WParam wParam, LParam lParam);
LResult StaticProc(Window w, unsigned message, WParam wParam, LParam lParam);
LResult EditProc(Window w, unsigned message, WParam wParam, LParam lParam);

// The timer id an edit box blinks its caret with.
constexpr unsigned kCaretTimerId = 0xCA7E0001u;
constexpr unsigned kCaretBlinkMs = 500;

// Edit boxes: the caret as a byte offset into the text, and whether it is drawn now.
std::size_t GetEditCaret(Window edit);
void SetEditCaret(Window edit, std::size_t offset);
bool EditCaretShown(Window edit);
// Selects the whole text (drawn in the highlight colours), as a field does when it opens
// for a new value: the next character typed replaces it, Delete removes it, and the pen,
// the arrows, Home, End and Backspace keep it to be edited. Setting the text drops the
// selection.
void SelectAllEditText(Window edit);
bool EditTextSelected(Window edit);
// The first line shown of a multi-line box (0 at the top), and how many lines the text
// takes at the box's width.
int EditFirstLine(Window edit);
int EditLineCount(Window edit);

// Whether a button is drawn pressed now.
bool ButtonIsPressed(Window button);

}  // namespace platform
