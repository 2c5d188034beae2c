#pragma once
// Fields (edit controls drawn as ruled note lines) and labels (bold static texts), the
// helpers that set and read them by id on the form now current, and the pen and key
// helpers of the forms' own drag and key loops.
//
// A field of style 0 is read-only on screen: a tap sends kMsgFieldTap (9500, wParam the
// field id) to the dialog, on which forms open the text input (EditTextDialog). Any other
// style lets the edit control take the tap and edit in place; while it has the focus it
// shows itself as an edit box with its caret.
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

struct FieldState {
    platform::Window dialog;
    std::int16_t id;
    std::int16_t style;   // 0: a tap sends 9500; other: the edit control takes it
    platform::WindowProc previous;
};

struct LabelState {
    std::int16_t id;
    platform::WindowProc previous;
};

void InitField(platform::Window dialog, int id, int style);
void InitLabel(platform::Window dialog, int id);

// On the form now current (GetActiveForm). SetField: 1 when a form is current ("SetField:
// NULL Obj ptr" with the id for a missing control, still 1). GetField: at most size - 1
// characters (size at most 256); 0 for a null buffer or no current form; "GetField; Bad id
// %d" for a missing control, still 1.
int SetField(int id, const char* text);
int GetField(int id, char* buffer, int size);

void ShowObject(platform::Window dialog, int id);
// Hides the control and fills where it was with the background.
void HideObject(platform::Window dialog, int id);
// Shows or hides; "Show: NULL Obj ptr" with the id for a missing control. Returns 0.
int ShowControl(platform::Window dialog, int id, int show);
// Repaints the control now.
void RedrawObject(platform::Window dialog, int id);

// For loops that follow the pen: *flag 0 when the pen is up. While it is down, waits for
// the next pen message and takes it (other messages stay queued for the loop); x and y are
// where that message happened, a move, an up or a down (client coordinates of the window
// the pen is on), else they keep the last position seen. When another message is waiting the call returns at once with the last
// position, so the caller's loop can end and let it through.
void GetPenPosition(int* x, int* y, int* flag);
// 1 while Page Down, Down, Page Up, Up, Left or Right is held.
int IsNavKeyDown();
int PointInRect(int x, int y, const Bounds& rect);
void IdleNoOp();
// Returns the form unchanged and keeps nothing.
platform::Window SetFormEventHandler(platform::Window form, const void* handler);

platform::LResult FieldProc(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
platform::LResult LabelProc(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
