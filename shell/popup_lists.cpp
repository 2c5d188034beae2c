#include "shell/popup_lists.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/list_view.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/system_colors.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/form_dispatcher.h"
#include "shell/message_box.h"
#include "core/settings.h"
#include "shell/scratch_text.h"
#include "shell/utilities.h"

using platform::LParam;
using platform::LResult;
using platform::Message;
using platform::Point;
using platform::Rect;
using platform::Window;
using platform::WParam;

namespace {

constexpr int kAcceleratorTable = 3;

int ScaledH(int n) { return static_cast<int>(n * screenScale.horizontal); }
int ScaledV(int n) { return static_cast<int>(n * screenScale.vertical); }

void ReportMissing(const char* heading, int id) {
    char local[32];
    char* detail = txtBuffer ? txtBuffer : local;
    std::snprintf(detail, sizeof local, "%d", id);
    ShowMessage(heading, detail);
}

Window ActiveTrigger(int triggerId) {
    return platform::GetDialogItem(GetActiveForm(), static_cast<std::uint16_t>(triggerId));
}

// The popup of a trigger of the active form; a trigger missing from it is reported under
// `heading`. Null for a missing trigger and for a control that is no popup.
PopupControl* ActivePopup(int triggerId, const char* heading, Window* trigger) {
    *trigger = ActiveTrigger(triggerId);
    if (!*trigger) {
        ReportMissing(heading, triggerId);
        return nullptr;
    }
    return GetPopupControl(*trigger);
}

PopupControl* DialogPopup(Window dialog, int triggerId) {
    return GetPopupControl(platform::GetDialogItem(dialog, static_cast<std::uint16_t>(triggerId)));
}

// One line, left-aligned and vertically centred; row texts are shown as they are, "&"
// included.
void DrawLine(platform::Dc dc, const std::string& text, const Rect& r) {
    std::string shown;
    for (char c : text) {
        shown += c;
        if (c == '&') shown += '&';
    }
    platform::DrawTextIn(dc, shown, r, platform::kTextVCenter | platform::kTextSingleLine);
}

std::string RowText(Window list, int row) {
    std::string text;
    platform::SendMessage(list, platform::kMsgListGetItemText, static_cast<WParam>(row), reinterpret_cast<LParam>(&text));
    if (text.size() > static_cast<std::size_t>(kTriggerTextLimit)) text.resize(kTriggerTextLimit);
    return text;
}

int HitRow(Window list, Point p) {
    return static_cast<int>(platform::SendMessage(list, platform::kMsgListHitTest, 0, reinterpret_cast<LParam>(&p)));
}

// The trigger: icon, then the label or the choice. While the list is open the label is
// not shown, nor the focus colours; `frame` outlines the icon area (by day).
void PaintTrigger(Window w, PopupControl* st, bool open, bool frame) {
    const platform::Dc dc = platform::BeginPaint(w, nullptr);
    const SavedDrawTarget saved = SaveDrawTarget();
    const Rect rc = platform::GetClientRect(w);
    platform::FillRect(dc, rc, GetBackBrush());
    if (st->bitmapId != 0) {
        if (const DrawWindow* icon = CachedBitmap(st->bitmapId)) {
            const int width = static_cast<int>(icon->width * screenScale.horizontal);
            const int height = static_cast<int>(icon->height * screenScale.vertical);
            st->textOffset = static_cast<std::int16_t>(icon->width + ScaledH(2));
            if (const DrawWindow* scaled = CachedBitmapAt(st->bitmapId, width, height)) icon = scaled;
            if (st->transparent) {
                // The icon was turned red at night; its key colour turns with it.
                const auto key = NightPixel(static_cast<std::uint16_t>(st->keyColour & 0x7FFF));
                platform::TransparentBlitPixel(dc, 0, 0, width, height, icon->dc, 0, 0, icon->width, icon->height, key);
            } else {
                platform::StretchBlit(dc, 0, 0, width, height, icon->dc, 0, 0, icon->width, icon->height);
            }
        }
    }
    const int s = ListSelectionMark(st->list);
    const Rect text{static_cast<int>(st->textOffset * screenScale.horizontal), 0, rc.right, rc.bottom};
    const bool focused = !open && s >= 0 && platform::GetFocus() == w;
    platform::SetBackMode(dc, platform::BackMode::Opaque);
    platform::SetBackColor(dc, focused ? GetHighlightColor() : GetBackColor());
    platform::SetTextColor(dc, focused ? GetHighlightTextColor() : GetForeColor());
    if (!open && st->label[0]) {
        DrawLine(dc, st->label, text);
    } else if (st->drawRow) {
        SetDrawTarget(w, dc);
        st->drawRow(s, Bounds{text.left, text.top, text.Width(), text.Height()}, 0);
        RestoreDrawTarget(saved, saved.window);
    } else if (s >= 0) {
        DrawLine(dc, RowText(st->list, s), text);
    }
    if (frame && preferences.word[pref::nightMode] == 0) {
        const Rect iconArea{0, 0, static_cast<int>((st->textOffset - 1) * screenScale.horizontal), rc.bottom};
        if (!iconArea.Empty()) platform::DrawEdge(dc, iconArea);
    }
    platform::EndPaint(w, dc);
}

// Up and Down on the trigger: the neighbouring row, kept inside the list. True when the
// row changed.
bool StepChoice(Window trigger, PopupControl* st, int key) {
    FlushKeyEvents();
    const int count = GetListCount(st->list);
    if (count <= 0) return false;
    const int s = ListSelectionMark(st->list);
    const int row = key == platform::kKeyUp ? std::max(s - 1, 0) : std::min(s + 1, count - 1);
    const bool changed = row != s || st->selected != row;
    SelectListRow(st->list, row);
    st->selected = static_cast<std::int16_t>(row);
    platform::InvalidateRect(trigger, nullptr, false);
    return changed;
}

// What the trigger showed when the list opened, put back when it closes without a choice:
// the rows the pen or the keys marked meanwhile were no choice, and the form still holds
// the one it had.
struct ShownChoice {
    std::int16_t selected;
    int mark;
    char label[sizeof PopupControl::label];
};

ShownChoice TakeShownChoice(const PopupControl* st) {
    ShownChoice c{st->selected, ListSelectionMark(st->list), {}};
    std::memcpy(c.label, st->label, sizeof c.label);
    return c;
}

void PutBackShownChoice(PopupControl* st, const ShownChoice& c) {
    st->selected = c.selected;
    std::memcpy(st->label, c.label, sizeof st->label);
    if (c.selected >= 0 && c.mark >= 0) {
        SelectListRow(st->list, c.mark);
    } else {
        SelectListRow(st->list, -1);
        platform::SendMessage(st->list, platform::kMsgListSetSelectionMark, 0, c.mark);
    }
}

bool IsPen(unsigned m) { return m >= platform::kMsgPenFirst && m <= platform::kMsgPenLast; }
bool IsKey(unsigned m) { return m >= platform::kMsgKeyFirst && m <= platform::kMsgKeyLast; }

// The open list: a loop of its own until a row is picked or the list is dismissed.
void RunPopup(Window trigger, PopupControl* st, Point at) {
    if (GetListCount(st->list) <= 0 || !platform::GetClientRect(trigger).Contains(at)) return;
    // The state goes with the trigger if a handler destroys it: keep what the end needs.
    const Window dialog = st->dialog;
    const Window list = st->list;
    const auto command = platform::MakeLong(static_cast<std::uint16_t>(st->triggerId), static_cast<std::uint16_t>(st->listId));

    SelectListRow(list, st->selected);
    const ShownChoice opened = TakeShownChoice(st);
    platform::BringWindowToTop(list);
    platform::ShowWindow(list, true);
    platform::SetFocus(list);
    st->penDownOnList = 0;
    FlushPenEvents();
    platform::InvalidateRect(trigger, nullptr, false);
    bool armed = false;
    bool scrolling = false;  // the pen went down on the list's scroll bar
    int lastRow = -1;
    bool frame = st->frame != 0;

    const platform::AcceleratorTable* accelerators = platform::FindAccelerators(kAcceleratorTable);
    std::vector<Message> waiting;  // posted to other windows: handed on when the list closes
    auto alive = [&] {
        return platform::IsWindow(trigger) && platform::IsWindow(list) && GetPopupControl(trigger) == st;
    };
    auto dismiss = [&] {
        PutBackShownChoice(st, opened);
        platform::ShowWindow(list, false);
        platform::InvalidateRect(trigger, nullptr, false);
        platform::InvalidateRect(list, nullptr, false);
        FlushPenEvents();
        platform::SetFocus(dialog);
    };
    // The row marked becomes the choice: the list closes and tells its dialog.
    auto pick = [&](int row) {
        st->selected = static_cast<std::int16_t>(row);
        if (ListSelectionMark(list) != row) SelectListRow(list, row);
        st->label[0] = 0;
        platform::ShowWindow(list, false);
        PaintControlNow(trigger);
        platform::PostMessage(dialog, platform::kMsgCommand, command, 0);
        FlushPenEvents();
        platform::SetFocus(dialog);
    };
    // Escape leaves the choice the list opened with.
    const int openedWith = st->selected;

    Message m;
    for (;;) {
        if (!alive()) break;
        if (!platform::GetMessage(m)) {
            // The program is ending: the loops outside must see the quit message too.
            platform::PostQuitMessage(static_cast<int>(m.wParam));
            if (alive()) dismiss();
            break;
        }
        if (accelerators && platform::IsWindow(mainWindow) &&
            platform::TranslateAccelerator(mainWindow, *accelerators, m))
            continue;
        if (!alive()) break;

        if (m.message == platform::kMsgPaint) {
            if (m.window == trigger) {
                PaintTrigger(trigger, st, true, frame);
                frame = false;
            } else {
                platform::DispatchMessage(m);
            }
            continue;
        }
        if (IsKey(m.message)) {
            const int key = static_cast<int>(m.wParam);
            if (m.message == platform::kMsgKeyDown && (key == platform::kKeyUp || key == platform::kKeyDown))
                StepChoice(trigger, st, key);
            if (m.message == platform::kMsgKeyDown && key == platform::kKeyEscape) {
                st->selected = static_cast<std::int16_t>(openedWith);
                SelectListRow(list, openedWith);
                dismiss();
                break;
            }
            if (m.message == platform::kMsgKeyDown && key == platform::kKeyReturn) {
                const int row = ListSelectionMark(list);
                if (row < 0) continue;
                pick(row);
                break;
            }
            continue;
        }
        if (IsPen(m.message)) {
            const Point p = platform::PointFromParam(m.lParam);
            const bool down = m.message == platform::kMsgPenDown || m.message == platform::kMsgPenDoubleTap;
            if (m.window != list) {
                if (down) {
                    dismiss();
                    break;
                }
                continue;
            }
            if (scrolling) {
                platform::DispatchMessage(m);
                if (m.message == platform::kMsgPenUp) scrolling = false;
                continue;
            }
            if (down) {
                if (platform::ListPointOnScrollBar(list, p)) {
                    scrolling = true;
                    platform::DispatchMessage(m);
                    continue;
                }
                const int row = HitRow(list, Point{ScaledH(5), p.y});
                if (row >= 0) {
                    st->penDownOnList = 1;
                    st->selected = static_cast<std::int16_t>(row);
                    armed = true;
                    SelectListRow(list, row);
                    platform::InvalidateRect(trigger, nullptr, false);
                    lastRow = ListSelectionMark(list);
                }
                continue;
            }
            if (m.message == platform::kMsgPenMove && armed && platform::GetClientRect(list).Contains(p)) {
                const int row = HitRow(list, Point{ScaledH(5), p.y});
                if (row >= 0) {
                    st->label[0] = 0;
                    if (row != lastRow) {
                        st->selected = static_cast<std::int16_t>(row);
                        SelectListRow(list, row);
                        platform::InvalidateRect(trigger, nullptr, false);
                        lastRow = row;
                    }
                }
                continue;
            }
            if (m.message == platform::kMsgPenUp && armed && st->penDownOnList) {
                const int row = HitRow(list, p);
                platform::InvalidateRect(list, nullptr, false);
                platform::InvalidateRect(trigger, nullptr, false);
                if (row < 0) continue;
                // What is picked is the row under the pen, even without a move onto it.
                pick(row);
                break;
            }
            platform::DispatchMessage(m);
            continue;
        }
        if (m.window == list) {
            platform::DispatchMessage(m);
            continue;
        }
        if (!m.window) {
            if (m.message == platform::kMsgRunTask) platform::DispatchMessage(m);
            continue;
        }
        if (m.window == mainWindow) {
            platform::DispatchMessage(m);
            continue;
        }
        // Other windows' timers come again; what was posted to them is kept for later.
        if (m.message == platform::kMsgTimer || m.message == platform::kMsgWake) continue;
        waiting.push_back(m);
    }
    for (const Message& w : waiting) platform::PostMessage(w.window, w.message, w.wParam, w.lParam);
}

// Both procedures free the state with the trigger; the list only borrowed it.
LResult FreePopup(Window w, PopupControl* st, unsigned message, WParam wParam, LParam lParam) {
    const platform::WindowProc previous = st->triggerPrevious;
    if (platform::IsWindow(st->list) && platform::GetUserData(st->list) == reinterpret_cast<LParam>(st))
        platform::SetUserData(st->list, 0);
    platform::SetUserData(w, 0);
    std::free(st);
    return platform::CallWindowProc(previous, w, message, wParam, lParam);
}

}  // namespace

PopupControl* GetPopupControl(Window trigger) {
    const platform::WindowProc proc = platform::GetWindowProc(trigger);
    if (proc != &PopupListProc && proc != &DrawOnlyPopupProc) return nullptr;
    return reinterpret_cast<PopupControl*>(platform::GetUserData(trigger));
}

void InitPopupList(Window dialog, int triggerId, int listId, int rowCount, int visibleRows, int selected) {
    const Window trigger = platform::GetDialogItem(dialog, static_cast<std::uint16_t>(triggerId));
    const Window list = FindListView(dialog, listId);
    auto* st = static_cast<PopupControl*>(std::calloc(1, sizeof(PopupControl)));
    RegisterControl(triggerId);
    if (!st) return;
    if (!trigger || !list) {
        std::free(st);
        return;
    }
    // The open list is framed, and sized by the rows it draws itself (an owner-drawn list
    // may measure its rows otherwise than the dialog's font), so it shows whole rows only.
    platform::SetWindowStyle(list, platform::GetWindowStyle(list) | platform::kStyleBorder);
    const int rowHeight = std::max(1, platform::ListRowHeight(list));
    st->selected = static_cast<std::int16_t>(selected);
    st->dialog = dialog;
    st->trigger = trigger;
    st->list = list;
    st->triggerId = static_cast<std::int16_t>(triggerId);
    st->listId = static_cast<std::int16_t>(listId);
    st->drawRow = nullptr;
    st->bitmapId = static_cast<std::int16_t>(preferences.word[pref::nightMode] != 0 ? kPopupIconNight : kPopupIconDay);
    st->rowCount = static_cast<std::int16_t>(rowCount < 0 ? GetListCount(list) : rowCount);
    st->visibleRows = static_cast<std::int16_t>(visibleRows > 0 ? visibleRows : st->rowCount + 1);
    st->listPrevious = platform::GetWindowProc(list);
    st->triggerPrevious = platform::SetWindowProc(trigger, &PopupListProc);
    platform::SetUserData(trigger, reinterpret_cast<LParam>(st));
    platform::SetUserData(list, reinterpret_cast<LParam>(st));

    platform::SendMessage(list, platform::kMsgListSetItemCount, static_cast<WParam>(st->rowCount), 0);
    const auto menu = static_cast<LParam>(platform::SystemColor(platform::kColorMenu));
    platform::SendMessage(list, platform::kMsgListSetBackColor, 0, menu);
    platform::SendMessage(list, platform::kMsgListSetTextBackColor, 0, menu);
    platform::SendMessage(list, platform::kMsgListSetTextColor, 0, static_cast<LParam>(GetForeColor()));
    st->label[0] = 0;
    st->frame = 1;
    const Rect at = platform::GetRectInParent(list);
    const Rect inside = platform::GetClientRect(dialog);
    // A list taller than its dialog would lose its last rows under the dialog's edge: it
    // keeps the whole rows that fit, and its scroll bar reaches the others.
    int height = st->visibleRows * rowHeight + 2 * kPopupListFrame;
    const bool cut = height > inside.Height();
    if (cut) height = std::max(1, (inside.Height() - 2 * kPopupListFrame) / rowHeight) * rowHeight + 2 * kPopupListFrame;
    int column = at.Width() - 2 * kPopupListFrame - 4;
    if (visibleRows > 0 || cut) column -= platform::ListScrollBarWidth();
    platform::SendMessage(list, platform::kMsgListInsertColumn, 0, std::max(0, column));
    platform::SendMessage(list, platform::kMsgListSetExtendedStyle, platform::kListFullRowSelect,
                          platform::kListFullRowSelect);
    SelectListRow(list, selected);

    // Below the trigger, or above it when it would pass the dialog's bottom: ending 22 x
    // scale over that edge, or over the trigger when the trigger stands higher, so that
    // the trigger (which shows the row being chosen) and its neighbours stay whole; inside
    // the dialog on the right.
    const Rect button = platform::GetRectInParent(trigger);
    int top = button.bottom;
    if (top + height > inside.bottom) top = std::max(0, std::min(button.top, inside.bottom - ScaledV(22)) - height);
    int left = button.left;
    if (left + at.Width() > inside.right) left = std::max(0, left - (left + at.Width() - inside.right));
    platform::MoveWindow(list, Rect{left, top, left + at.Width(), top + height}, false);
    if (platform::IsWindowVisible(list)) platform::ShowWindow(list, false);
}

void SetPopupList(int triggerId, int listId, int index) {
    Window trigger;
    PopupControl* st = ActivePopup(triggerId, "SetPopupList:\nNULL popup Wnd", &trigger);
    if (!st) return;
    st->label[0] = 0;
    st->selected = static_cast<std::int16_t>(index < 0 ? -1 : index);
    platform::InvalidateRect(trigger, nullptr, false);
    if (index < 0) {
        std::strcpy(st->label, " ");
        return;
    }
    SetListSelection(listId, index);
}

void SetPopupLabel(int triggerId, const char* text) {
    Window trigger;
    PopupControl* st = ActivePopup(triggerId, "SetPopupLabel:\nNULL popup Wnd", &trigger);
    if (!st) return;
    st->label[0] = 0;
    if (text) std::snprintf(st->label, sizeof st->label, "%s", text[0] ? text : " ");
    platform::InvalidateRect(trigger, nullptr, false);
    PaintControlNow(trigger);
}

void SetPopupIcon(Window dialog, int triggerId, int bitmapId, int transparent, std::uint32_t keyColour) {
    PopupControl* st = DialogPopup(dialog, triggerId);
    if (!st) return;
    st->bitmapId = static_cast<std::int16_t>(bitmapId);
    st->transparent = static_cast<std::int16_t>(transparent);
    st->keyColour = static_cast<std::uint16_t>(keyColour);
}

void SetListDrawFunction(Window dialog, int triggerId, PopupRowFunction drawRow) {
    if (PopupControl* st = DialogPopup(dialog, triggerId)) st->drawRow = drawRow;
}

void SetPopupFrame(Window dialog, int triggerId, int flag) {
    if (PopupControl* st = DialogPopup(dialog, triggerId)) st->frame = static_cast<std::int16_t>(flag);
}

void SetDrawOnlyProc(Window dialog, int triggerId) {
    if (PopupControl* st = DialogPopup(dialog, triggerId)) platform::SetWindowProc(st->trigger, &DrawOnlyPopupProc);
}

void SetPopupListProc(Window dialog, int triggerId) {
    if (PopupControl* st = DialogPopup(dialog, triggerId)) platform::SetWindowProc(st->trigger, &PopupListProc);
}

LResult PopupListProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    auto* st = reinterpret_cast<PopupControl*>(platform::GetUserData(w));
    if (!st) return 0;
    switch (message) {
        case platform::kMsgPaint:
            PaintTrigger(w, st, false, false);
            return 0;
        case platform::kMsgEraseBackground: return 1;
        case platform::kMsgKeyDown:
            switch (static_cast<int>(wParam)) {
                case platform::kKeyUp:
                case platform::kKeyDown:
                    // A choice made with the keys reaches the form as a picked row does.
                    if (StepChoice(w, st, static_cast<int>(wParam))) {
                        st->label[0] = 0;
                        platform::PostMessage(st->dialog, platform::kMsgCommand,
                                              platform::MakeLong(static_cast<std::uint16_t>(st->triggerId),
                                                                 static_cast<std::uint16_t>(st->listId)),
                                              0);
                    }
                    PaintControlNow(w);
                    return 0;
                case platform::kKeyPageUp: ShowMessageBox("VK_PRIOR", ""); return 0;
                case platform::kKeyPageDown: ShowMessageBox("VK_NEXT", ""); return 0;
                default: return 0;
            }
        case platform::kMsgKeyUp:
        case platform::kMsgChar: return 0;
        case platform::kMsgPenDown:
        case platform::kMsgPenDoubleTap:
            RunPopup(w, st, platform::PointFromParam(lParam));  // st may be gone afterwards
            return 0;
        case platform::kMsgPenMove:
        case platform::kMsgPenUp: return 0;
        case platform::kMsgSetFocus:
        case platform::kMsgKillFocus:
            platform::InvalidateRect(w, nullptr, false);
            return 0;
        case platform::kMsgDestroy: return FreePopup(w, st, message, wParam, lParam);
        default: return platform::CallWindowProc(st->triggerPrevious, w, message, wParam, lParam);
    }
}

LResult DrawOnlyPopupProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    auto* st = reinterpret_cast<PopupControl*>(platform::GetUserData(w));
    if (!st) return 0;
    switch (message) {
        case platform::kMsgPaint:
            PaintTrigger(w, st, false, false);
            return 0;
        case platform::kMsgDestroy: return FreePopup(w, st, message, wParam, lParam);
        default: return 0;
    }
}
