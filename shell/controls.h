#pragma once
// The custom controls every form is made of, and what they share: the per-control state
// record kept in the control window's user data, the registry of the controls made on the
// form (or modal dialog) now open, the title bar with the coloured line under it, and the
// owner-drawn push buttons (text, bitmap and auto-repeat).
//
// A form's dialog procedure makes its title first (InitTitle), then its other controls,
// each from a standard control of its dialog layout, which the custom control subclasses
// (what it does not handle goes on to the standard control). Its close function releases
// each of them again (ReleaseControl); CloseForm then reports any id left registered.
// Write the title in the layout as a `button` or `custom` control: a `static` one lets the
// pen through to the form.
//
// What the controls send to their dialog (lParam 0):
//   button               kMsgCommand (id), posted, when the pen is lifted inside it
//   auto-repeat button   kMsgCommand (id), sent, at pen down, after 400 ms and then every
//                        100 ms while the pen stays down, and posted once more when the
//                        pen is lifted inside
//   title bar            kMsgCommand (1), posted, at pen down on it
#include <cstdint>
#include <cstdlib>

#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/types.h"
#include "platform/window.h"

struct TitleState {
    platform::Window dialog;
    std::int16_t id;
    std::int16_t closeFlag;       // 1: a tap on the title closes the dialog
    std::int16_t width;           // title text width + 12 x scale
    std::uint8_t pressed;
    std::uint8_t tracking;
    char title[64];               // at most 63 characters
    platform::WindowProc previous;
};

struct ButtonState {
    platform::Window dialog;
    std::int16_t id;
    std::int16_t bitmapId;        // negative: a text button showing the window text
    std::int16_t currentBitmapId;
    std::uint8_t transparent;     // 1: the bitmap is drawn with keyColour left out
    std::uint8_t pressed;         // 1 while the pen is down on the button
    std::uint8_t autoRepeat;
    std::uint8_t tracking;        // 1 from pen down to pen up
    std::uint32_t keyColour;      // 16-bit pixel value (5-5-5) of the transparent colour
    platform::WindowProc previous;
    std::uint8_t penDown;         // the pen went down on this button and is not up yet
};

// The button pressed last (null once the pen is lifted).
extern platform::Window lastPressedButton;

// The title bar of a form: closes a form left open ("InitTitle Close Dialog"), makes the
// dialog the form shown and the active form, then turns control `id` into a title tab as
// wide as its text at the dialog's top-left. An id below 0 makes no title but still does
// the form bookkeeping.
void InitTitle(platform::Window dialog, int id, const char* title);
// The title bar of a modal dialog: focuses the dialog, then (id 0 or more) makes the same
// title without touching the form shown or the active form.
void InitTitleNoClose(platform::Window dialog, int id, const char* title);
// The 2 x scale line under a form's title, across the form (from 22 to 24 x scale).
void DrawTitleUnderline(platform::Window form, platform::Dc dc);
// A 2 x scale line across the dialog whose bottom is that of control id (a modal dialog's
// title); nothing when the control is missing.
void DrawControlUnderline(platform::Window dialog, platform::Dc dc, int id);
// The paint of a modal dialog: the underline of its title control titleId.
void PaintDialogTitle(platform::Window dialog, int titleId);
// Sets up a modal dialog in the shell's full-screen mode `fullScreen` as a strip across the
// top of the screen, `height` pixels high, and shows it.
void ShowDialogStrip(platform::Window dialog, unsigned fullScreen, int height);

// Makes control id an owner-drawn button: bitmapId -1 shows the control's text, a bitmap id
// shows that bitmap at the screen scale (the button takes the bitmap's size), with
// keyColour left out when `transparent` is 1.
void InitButton(platform::Window dialog, int id, int bitmapId, int transparent, std::uint32_t keyColour);
// Changes a button's bitmap ("SetButtonIcon\nCan't find %d" for a missing button,
// "SetButtonIcon\nCan't find bitmap %d for button %d" for a missing bitmap).
void SetButtonIcon(platform::Window dialog, int id, int bitmapId, int transparent, std::uint32_t keyColour);
void SetButtonAutoRepeat(platform::Window dialog, int id, int flag);
// The help and back buttons of a form's title band, with their pictures (5076 and 5074)
// when they are there; otherwise the help button shows the generic picture (4998) and
// back its text.
void InitHelpAndBackButtons(platform::Window w, int helpId, int backId);

// Removes id from the registry (once; the last entry takes its slot). Nothing when the
// dialog has no such control or the id is not registered.
void ReleaseControl(platform::Window dialog, int id);

// Appends an id to the registry (every making operation does it first thing).
void RegisterControl(int id);

// The first steps of making every custom control: register its id, then make its
// zero-filled state record. Null (and nothing allocated) when the control is missing or
// memory runs out. The control's own procedure frees the record when the window goes.
template <class State>
State* NewControlState(platform::Window control, int id) {
    RegisterControl(id);
    if (!control) return nullptr;
    return static_cast<State*>(std::calloc(1, sizeof(State)));
}

// Hangs the state record on the control and puts the custom procedure in front of the
// control's own, which the record keeps as `previous`.
template <class State>
void AttachControlState(platform::Window control, State* st, platform::WindowProc proc) {
    platform::SetUserData(control, reinterpret_cast<platform::LParam>(st));
    st->previous = platform::SetWindowProc(control, proc);
}
// The custom controls' procedures.
platform::LResult TitleProc(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
platform::LResult CustomButtonProc(platform::Window w, unsigned message, platform::WParam wParam,
                                   platform::LParam lParam);

// A bold (weight 700) copy of the font selected in dc; the caller deletes it.
platform::GfxObject MakeBoldCopy(platform::Dc dc);

// Auto-repeat pacing.
constexpr unsigned kRepeatFirstMs = 400;
constexpr unsigned kRepeatNextMs = 100;
