#pragma once
// Popup lists: a trigger (a button of the form) shows the current choice, and a tap on it
// opens a list view of the same dialog below it, in which the user picks a row by tapping
// or by dragging the stylus. When a row is picked the popup posts kMsgCommand to its
// dialog with the trigger id in the low word and the list id in the high word of wParam;
// the form reads the row with GetListSelection(list id) and usually shows it with
// SetPopupList.
//
// While the list is open a loop of its own runs: the main window's accelerators still
// work (Ctrl+Q quits), windows go on painting and messages posted to the main window are
// handled; other input is the popup's, and a tap outside the list closes it without a
// choice. Messages posted to other windows wait until it closes.
//
// Operations that take only an id act on the form now current (GetActiveForm).
#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

// Paints a row inside the closed trigger: on the current draw target (the trigger), in
// rect; flag is 0.
using PopupRowFunction = void (*)(int row, Bounds rect, int flag);

struct PopupControl {
    platform::Window dialog;
    platform::Window trigger;
    platform::Window list;
    platform::WindowProc listPrevious;     // kept; the list is not subclassed
    platform::WindowProc triggerPrevious;
    PopupRowFunction drawRow;              // null: the row's text
    char label[64];                        // shown instead of the choice while not empty
    std::int16_t bitmapId;                 // icon at the left of the trigger; 0 none
    std::int16_t transparent;
    std::uint16_t keyColour;               // 16-bit pixel of the icon's transparent colour
    std::int16_t textOffset;               // icon width + 2 x scale, set at each paint with an icon
    std::int16_t triggerId;
    std::int16_t listId;
    std::int16_t rowCount;
    std::int16_t visibleRows;
    std::int16_t selected;                 // -1 none
    std::int16_t penDownOnList;
    std::int16_t frame;                    // 1: the open list's first paint frames the icon
};

// The icons a popup is made with, by day and by night.
constexpr int kPopupIconDay = 124;
constexpr int kPopupIconNight = 126;
// Rows at most shown in the closed trigger.
constexpr int kTriggerTextLimit = 32;
// Pixels of the open list's frame (the window-frame colour) on each side.
constexpr int kPopupListFrame = 1;

// rowCount < 0: the list's item count. visibleRows <= 0: rowCount + 1 rows high. The list
// gets a frame and is as high as that many of its own rows (ListRowHeight) plus the
// frame, so it shows whole rows only. It is placed below the trigger, or above when it
// would pass the dialog's bottom, and kept inside the dialog; it stays hidden until
// opened. Registers the trigger id.
void InitPopupList(platform::Window dialog, int triggerId, int listId, int rowCount, int visibleRows, int selected);
// The choice shown: -1 shows nothing and leaves the list alone. "SetPopupList:\nNULL popup
// Wnd" with the id for a missing trigger.
void SetPopupList(int triggerId, int listId, int index);
// A label shown in place of the choice until the next pick or SetPopupList; an empty text
// shows nothing, a null text clears the label. "SetPopupLabel:\nNULL popup Wnd" with the id
// for a missing trigger.
void SetPopupLabel(int triggerId, const char* text);
// The icon (no repaint); bitmap 0 draws none.
void SetPopupIcon(platform::Window dialog, int triggerId, int bitmapId, int transparent, std::uint32_t keyColour);
void SetListDrawFunction(platform::Window dialog, int triggerId, PopupRowFunction drawRow);
void SetPopupFrame(platform::Window dialog, int triggerId, int flag);
// The trigger keeps painting but takes no input, and back.
void SetDrawOnlyProc(platform::Window dialog, int triggerId);
void SetPopupListProc(platform::Window dialog, int triggerId);

// The popup state of a trigger window (null when it is none).
PopupControl* GetPopupControl(platform::Window trigger);

platform::LResult PopupListProc(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);
platform::LResult DrawOnlyPopupProc(platform::Window w, unsigned message, platform::WParam wParam,
                                    platform::LParam lParam);
