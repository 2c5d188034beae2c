#pragma once
// Lists of forms: the keyboard- and tap-aware list, the helpers every form uses to fill,
// select and count list rows, and the drawing of rows a form draws itself.
//
// Choices are rows as the list shows them. AppendListItem puts each new row at the top, so
// a list filled with A, B, C shows C, B, A and the choice of A is row 2; every stored
// choice of the program counts this way.
//
// Operations that take only an id act on the form now current (GetActiveForm). A missing
// list is reported with ShowMessage ("Get: NULL List ptr", "Set: NULL List ptr") and the
// id as detail.
//
// What a list made by InitList sends to its dialog: kMsgCommand (wParam the list id, lParam
// 0), sent, when Up or Down moved the selection or a tap hit a row. A form whose list view
// is owner-drawn passes kMsgDrawItem to DrawOwnerListItem with its row function, and may
// answer a list's text requests (kMsgNotify) with DefaultListDispInfo.
#include <cstdint>

#include "platform/messages.h"
#include "platform/types.h"
#include "platform/window.h"
#include "shell/draw_targets.h"

struct ListState {
    platform::Window dialog;
    platform::Window list;
    platform::WindowProc previous;
    std::int16_t listId;
    std::int16_t rowCount;
    std::int16_t selected;
};

// Row texts longer than these are cut.
constexpr int kAppendTextLimit = 63;
constexpr int kFillTextLimit = 127;

// rowCount < 0: the list's item count. selected < 0: nothing selected. With scrollBar the
// column leaves room for the scroll bar.
void InitList(platform::Window dialog, int listId, int rowCount, int selected, int scrollBar);
// A new row at the top (row 0); nothing for a null text or a missing list.
void AppendListItem(platform::Window dialog, int listId, const char* text);
// With texts: empties the list, then adds the n texts at the end in order (a null entry as
// an empty row). Without: n rows that the owner draws.
void FillList(platform::Window list, const char* const* texts, int n);

// The selection mark; -1 for none (and for a missing list, after the report).
int GetListSelection(int listId);
// Selects row n (scrolled into view, repainted at once) and returns the previous mark; a
// row already marked and selected changes nothing and gives n. -1 takes the selection
// from every row and leaves the mark; the result is -1. A missing list gives n.
int SetListSelection(int listId, int row);
int GetListCount(platform::Window list);
// 0 for a missing list, without a report.
int GetListRowCount(int listId);
// The list becomes n x 15 pixels high (not scaled), keeping its left, top and width.
void SetListRows(int listId, int n);
// Mark and selected state, on the list window itself.
void SelectListItem(platform::Window list, int row);
void ShowListItem(platform::Window list, int row);
// Every row repainted now.
void RedrawList(platform::Window list);

// The row function of an owner-drawn list: draws on the current draw target, which is the
// list, inside rect; flag is non-zero for the selected row.
using OwnerRowFunction = void (*)(int row, Bounds rect, int flag, int rowWidth);
// Paints one row of an owner-drawn list view: the selected row on the highlight brush in
// the highlight text colour, the others on system colour 4 in the foreground colour; then
// the row function; then the dialog is the draw target again.
void DrawOwnerListItem(platform::Window dialog, const platform::DrawItemInfo* item, OwnerRowFunction drawRow);
// Answers a list's text request: "Item %d" (row) for the first column, "Item %d,%d" (row,
// column) for the others. Returns 0.
platform::LResult DefaultListDispInfo(platform::Window dialog, platform::NotifyHeader* notification);

platform::LResult ListKeyProc(platform::Window w, unsigned message, platform::WParam wParam, platform::LParam lParam);

// ---- Shared with the popup lists -----------------------------------------------------------

// The list view of the dialog with the id (null when there is none, or it is no list view).
platform::Window FindListView(platform::Window dialog, int listId);
// SetListSelection on a list window: the same rules, without the lookup.
int SelectListRow(platform::Window list, int row);
int ListSelectionMark(platform::Window list);
// Paints a window now when it is visible and has something to paint.
void PaintControlNow(platform::Window w);

// The draw target of the moment, put back after drawing on a control's own context.
struct SavedDrawTarget {
    platform::Window window;
    platform::Dc dc;
    DrawWindow* offscreen;   // an offscreen being drawn into, made current again
};
SavedDrawTarget SaveDrawTarget();
// Makes `window` the draw target again, with the saved context when it was that window's.
void RestoreDrawTarget(const SavedDrawTarget& saved, platform::Window window);
