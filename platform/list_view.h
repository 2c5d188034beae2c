#pragma once
// The list-view control: a one-column list of rows without a header, driven by the
// kMsgList... messages of platform/messages.h. Every window of kind ListView (a `listview`
// control of a dialog layout) gets this procedure.
//
// Rows: a row carries a text (Windows-1252) or none. A row without text is drawn with the
// text its parent gives when asked through kMsgNotify (a ListDisplayInfo record with the
// code kNotifyListDisplayInfo). kMsgListSetItemCount makes the count-only rows of lists
// whose rows are drawn by their owner: rows without text are added or taken away at the
// end; rows that carry text are never taken away by it.
//
// Selection: single; giving a row the selected state takes it from every other row. The
// selection mark is a plain integer of its own (kMsgListGetSelectionMark): item states
// never move it, and it is not cleared when the states are. States of rows that do not
// exist are ignored.
//
// Drawing: the background colour under and after the rows; text in the text colour on the
// text background colour; a selected row in the highlight system colours, across the whole
// row with kListFullRowSelect, behind its text otherwise. A list with the owner-draw
// style sends kMsgMeasureItem once (before its first use of the row height) and then
// kMsgDrawItem for each row it shows, with the row, its state (kStateSelected), the
// paint's device context, the row's rectangle (list client coordinates, the scroll bar
// left out) and the list window; the owner draws everything of the row.
//
// Border: with kStyleBorder (the layout flag `border`) the list has a one-pixel frame in
// the window-frame system colour, and its rows and scroll bar lie inside it.
//
// Scroll bar: a vertical bar at the right edge appears while the rows do not all fit.
// Its arrows step one row, a tap on the track above or below the thumb steps a page
// (both repeat while the pen is held), and the thumb follows the pen.
//
// Pen: a pen down on a row selects it (state and mark), scrolls it fully into view and
// focuses the list. No notification is sent and keys do nothing: the program's own
// procedures decide what a tap or the Up and Down keys mean.
//
// The user data of the window is left to whoever subclasses the control.
#include "platform/types.h"
#include "platform/window.h"

namespace platform {

// Registers the procedure for the ListView kind. Linking the control in does it at start;
// calling it again is harmless.
void InstallListView();

LResult ListViewProc(Window w, unsigned message, WParam wParam, LParam lParam);

// The width of the vertical scroll bar: 13 x the screen scale.
int ListScrollBarWidth();
// The height of one row, asking the owner first when the list is owner-drawn.
int ListRowHeight(Window list);
// Whether the scroll bar is shown now, and whether a client point lies on it.
bool ListScrollBarShown(Window list);
bool ListPointOnScrollBar(Window list, Point client);

// The timer the scroll bar repeats its steps with while the pen is held.
constexpr unsigned kListScrollTimerId = 0x15750001u;

}  // namespace platform
