#include "shell/list_views.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/list_view.h"
#include "platform/system_colors.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/form_dispatcher.h"
#include "shell/message_box.h"
#include "shell/scratch_text.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Rect;
using platform::Window;
using platform::WParam;

namespace {

// A missing list: the heading, and the id as detail (composed in the shared buffer, or a
// local one before it exists).
void ReportMissing(const char* heading, int id) {
    char local[32];
    char* detail = txtBuffer ? txtBuffer : local;
    std::snprintf(detail, sizeof local, "%d", id);
    ShowMessage(heading, detail);
}

LResult Send(Window list, unsigned message, WParam wParam = 0, LParam lParam = 0) {
    return platform::SendMessage(list, message, wParam, lParam);
}

void SetState(Window list, int row, unsigned state, unsigned mask) {
    Send(list, platform::kMsgListSetItemState, static_cast<WParam>(row),
         static_cast<LParam>(platform::MakeLong(static_cast<std::uint16_t>(state), static_cast<std::uint16_t>(mask))));
}

void InsertAt(Window list, int row, const std::string& text) {
    Send(list, platform::kMsgListInsertItem, static_cast<WParam>(row), reinterpret_cast<LParam>(text.c_str()));
}

Window ActiveList(int listId) { return FindListView(GetActiveForm(), listId); }

}  // namespace

// ---- Shared helpers ----------------------------------------------------------------------

Window FindListView(Window dialog, int listId) {
    const Window w = platform::GetDialogItem(dialog, static_cast<std::uint16_t>(listId));
    return platform::GetWindowKind(w) == platform::WindowKind::ListView ? w : Window{};
}

int ListSelectionMark(Window list) {
    if (!platform::IsWindow(list)) return -1;
    return static_cast<int>(Send(list, platform::kMsgListGetSelectionMark));
}

void PaintControlNow(Window w) {
    if (platform::IsWindowVisible(w) && platform::HasUpdateRect(w)) platform::SendMessage(w, platform::kMsgPaint, 0, 0);
}

int SelectListRow(Window list, int row) {
    const int mark = ListSelectionMark(list);
    if (row < 0) {
        if (mark < 0) return -1;
        SetState(list, -1, 0, platform::kItemSelected | platform::kItemFocused);
        PaintControlNow(list);
        return -1;
    }
    // A mark left behind by clearing the states is selected again, not taken as done.
    if (row == mark && Send(list, platform::kMsgListGetItemState, static_cast<WParam>(row), platform::kItemSelected))
        return row;
    Send(list, platform::kMsgListSetSelectionMark, 0, row);
    SetState(list, row, platform::kItemSelected, platform::kItemSelected);
    Send(list, platform::kMsgListEnsureVisible, static_cast<WParam>(row));
    PaintControlNow(list);
    return mark;
}

SavedDrawTarget SaveDrawTarget() {
    SavedDrawTarget saved{drawState.window, drawState.dc, nullptr};
    DrawWindow* current = drawState.current;
    if (current && current->bitmap) {
        saved.offscreen = current;
        saved.dc = platform::Dc{};
    }
    return saved;
}

void RestoreDrawTarget(const SavedDrawTarget& saved, Window window) {
    SetDrawTarget(window, saved.window == window ? saved.dc : platform::Dc{});
    if (saved.offscreen) SetDrawWindow(saved.offscreen);
}

// ---- Lists -------------------------------------------------------------------------------

void InitList(Window dialog, int listId, int rowCount, int selected, int scrollBar) {
    const Window list = FindListView(dialog, listId);
    auto* st = NewControlState<ListState>(list, listId);
    if (!st) return;
    st->dialog = dialog;
    st->list = list;
    st->listId = static_cast<std::int16_t>(listId);
    st->rowCount = static_cast<std::int16_t>(rowCount < 0 ? GetListCount(list) : rowCount);
    st->selected = static_cast<std::int16_t>(selected);
    AttachControlState(list, st, &ListKeyProc);

    Send(list, platform::kMsgListSetItemCount, static_cast<WParam>(st->rowCount));
    Send(list, platform::kMsgListSetBackColor, 0, static_cast<LParam>(platform::SystemColor(platform::kColorMenu)));
    Send(list, platform::kMsgListSetTextBackColor, 0, static_cast<LParam>(GetBackColor()));
    Send(list, platform::kMsgListSetTextColor, 0, static_cast<LParam>(GetForeColor()));
    int width = platform::GetClientRect(list).Width() - 4;
    if (scrollBar) width -= platform::ListScrollBarWidth();
    Send(list, platform::kMsgListInsertColumn, 0, std::max(0, width));
    Send(list, platform::kMsgListSetExtendedStyle, platform::kListFullRowSelect, platform::kListFullRowSelect);
    if (selected >= 0) SelectListRow(list, selected);
}

void AppendListItem(Window dialog, int listId, const char* text) {
    if (!text) return;
    const Window list = FindListView(dialog, listId);
    if (!list) return;
    InsertAt(list, 0, std::string(text).substr(0, kAppendTextLimit));
}

void FillList(Window list, const char* const* texts, int n) {
    if (!platform::IsWindow(list)) return;
    n = std::max(0, n);
    if (!texts) {
        Send(list, platform::kMsgListSetItemCount, static_cast<WParam>(n));
        return;
    }
    Send(list, platform::kMsgListDeleteAll);
    for (int i = 0; i < n; ++i) {
        const std::string text = texts[i] ? std::string(texts[i]).substr(0, kFillTextLimit) : std::string();
        InsertAt(list, i, text);
    }
}

int GetListSelection(int listId) {
    const Window list = ActiveList(listId);
    if (!list) {
        ReportMissing("Get: NULL List ptr", listId);
        return -1;
    }
    return ListSelectionMark(list);
}

int SetListSelection(int listId, int row) {
    const Window list = ActiveList(listId);
    if (!list) {
        ReportMissing("Set: NULL List ptr", listId);
        return row;
    }
    return SelectListRow(list, row);
}

int GetListCount(Window list) {
    if (!platform::IsWindow(list)) return 0;
    return static_cast<int>(Send(list, platform::kMsgListGetItemCount));
}

int GetListRowCount(int listId) { return GetListCount(ActiveList(listId)); }

void SetListRows(int listId, int n) {
    const Window list = ActiveList(listId);
    if (!list) return;
    const Rect r = platform::GetRectInParent(list);
    platform::MoveWindow(list, Rect{r.left, r.top, r.right, r.top + std::max(0, n) * 15}, true);
}

void SelectListItem(Window list, int row) {
    Send(list, platform::kMsgListSetSelectionMark, 0, row);
    SetState(list, row, platform::kItemSelected, platform::kItemSelected);
}

void ShowListItem(Window list, int row) { Send(list, platform::kMsgListEnsureVisible, static_cast<WParam>(row)); }

void RedrawList(Window list) {
    Send(list, platform::kMsgListRedrawItems, 0, GetListCount(list) - 1);
    PaintControlNow(list);
}

// ---- Owner-drawn rows --------------------------------------------------------------------

void DrawOwnerListItem(Window dialog, const platform::DrawItemInfo* item, OwnerRowFunction drawRow) {
    if (!item) return;
    const SavedDrawTarget saved = SaveDrawTarget();
    const platform::Dc dc{item->dc};
    const Rect rc = item->rect;
    int flag = 0;
    if (item->state & platform::kStateSelected) {
        platform::SetTextColor(dc, GetHighlightTextColor());
        platform::FillRect(dc, rc, GetHighlightBrush());
        flag = 1;
    } else {
        platform::SetTextColor(dc, GetForeColor());
        const platform::GfxObject brush = platform::MakeBrush(platform::SystemColor(platform::kColorMenu));
        platform::FillRect(dc, rc, brush);
        platform::DeleteObject(brush);
    }
    SetDrawTarget(item->window, dc);
    if (drawRow) drawRow(item->item, Bounds{rc.left, rc.top, rc.Width(), rc.Height()}, flag, rc.Width());
    RestoreDrawTarget(saved, dialog);
}

LResult DefaultListDispInfo(Window, platform::NotifyHeader* notification) {
    if (!notification || notification->code != platform::kNotifyListDisplayInfo) return 0;
    auto* info = reinterpret_cast<platform::ListDisplayInfo*>(notification);
    char text[48];
    if (info->column == 0) {
        std::snprintf(text, sizeof text, "Item %d", info->item);
        info->image = 0;
    } else {
        std::snprintf(text, sizeof text, "Item %d,%d", info->item, info->column);
    }
    info->text = text;
    return 0;
}

// ---- The list's procedure ----------------------------------------------------------------

LResult ListKeyProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    auto* st = reinterpret_cast<ListState*>(platform::GetUserData(w));
    if (!st) return 0;
    const platform::WindowProc previous = st->previous;
    const Window dialog = st->dialog;
    const auto command = static_cast<WParam>(static_cast<std::uint16_t>(st->listId));
    switch (message) {
        case platform::kMsgKeyDown: {
            const int key = static_cast<int>(wParam);
            if (key != platform::kKeyUp && key != platform::kKeyDown) break;
            const int mark = ListSelectionMark(w);
            const int count = GetListCount(w);
            // Down stops at the last row: a mark past the end would be a choice that is not there.
            const int row = key == platform::kKeyUp ? std::max(mark - 1, 0) : std::min(mark + 1, count - 1);
            if (count > 0) {
                SelectListRow(w, row);
                st->selected = static_cast<std::int16_t>(row);
            }
            platform::SendMessage(dialog, platform::kMsgCommand, command, 0);
            if (!platform::IsWindow(w)) return 0;
            FlushKeyEvents();
            return platform::CallWindowProc(previous, w, message, wParam, lParam);
        }
        case platform::kMsgPenDown:
        case platform::kMsgPenDoubleTap: {
            const LResult r = platform::CallWindowProc(previous, w, message, wParam, lParam);
            if (!platform::IsWindow(w)) return r;
            platform::Point p = platform::PointFromParam(lParam);
            if (Send(w, platform::kMsgListHitTest, 0, reinterpret_cast<LParam>(&p)) >= 0)
                platform::SendMessage(dialog, platform::kMsgCommand, command, 0);
            return r;
        }
        case platform::kMsgDestroy:
            platform::SetUserData(w, 0);
            std::free(st);
            return platform::CallWindowProc(previous, w, message, wParam, lParam);
        default: break;
    }
    return platform::CallWindowProc(previous, w, message, wParam, lParam);
}
