#include "shell/fields.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "shell/colour_scheme.h"
#include "shell/controls.h"
#include "shell/form_dispatcher.h"
#include "shell/message_box.h"
#include "shell/scratch_text.h"
#include "shell/commands.h"

using platform::Dc;
using platform::GfxObject;
using platform::LParam;
using platform::LResult;
using platform::Rect;
using platform::Window;
using platform::WParam;

namespace {

Window Control(Window dialog, int id) { return platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id)); }

// A missing control's report: the text, with the id as detail.
void ReportMissing(const char* text, int id) {
    char local[16];
    char* detail = txtBuffer ? txtBuffer : local;
    std::snprintf(detail, txtBuffer ? kTxtBufferSize : sizeof local, "%d", id);
    ShowMessage(text, detail);
}

void PaintField(Window w) {
    const Dc dc = platform::BeginPaint(w, nullptr);
    const Rect rc = platform::GetClientRect(w);
    platform::FillRect(dc, rc, GetBackBrush());
    std::string text = platform::GetWindowText(w);
    if (text.size() > 512) text.resize(512);
    platform::SetBackColor(dc, GetBackColor());
    platform::SetTextColor(dc, GetForeColor());
    platform::SetBackMode(dc, platform::BackMode::Transparent);
    platform::DrawTextIn(dc, text, rc, platform::kTextWordBreak);
    // Ruled like a note pad: one dashed line every 13 x scale (+1), at least one.
    const int d = std::max(1, static_cast<int>(13 * screenScale.vertical));
    const int n = std::max(rc.Height(), d) / d;
    const GfxObject pen = platform::MakePen(platform::PenStyle::Dash, 1, GetForeColor());
    const GfxObject oldPen = platform::SelectObject(dc, pen);
    for (int i = 1; i <= n; ++i) {
        const int y = rc.top + i * (d + 1);
        platform::MoveTo(dc, rc.left, y, nullptr);
        platform::LineTo(dc, rc.right, y);
    }
    if (oldPen) platform::SelectObject(dc, oldPen);
    platform::DeleteObject(pen);
    platform::EndPaint(w, dc);
}

void PaintLabel(Window w) {
    const Dc dc = platform::BeginPaint(w, nullptr);
    const Rect rc = platform::GetClientRect(w);
    platform::FillRect(dc, rc, GetBackBrush());
    std::string text = platform::GetWindowText(w);
    if (text.size() > 64) text.resize(64);
    platform::SetBackColor(dc, GetBackColor());
    platform::SetTextColor(dc, GetForeColor());
    platform::SetBackMode(dc, platform::BackMode::Transparent);
    const GfxObject bold = MakeBoldCopy(dc);
    const GfxObject oldFont = platform::SelectObject(dc, bold);
    platform::DrawTextIn(dc, text, rc, platform::kTextVCenter | platform::kTextSingleLine);
    if (oldFont) platform::SelectObject(dc, oldFont);
    platform::DeleteObject(bold);
    platform::EndPaint(w, dc);
}

bool OtherMessageWaiting() {
    platform::Message m;
    // Paints and timers wait for the caller's loop to end; anything else ends the wait.
    return platform::PeekMessage(m, Window{}, 1, platform::kMsgPaint - 1, false) ||
           platform::PeekMessage(m, Window{}, platform::kMsgPaint + 1, platform::kMsgTimer - 1, false) ||
           platform::PeekMessage(m, Window{}, platform::kMsgTimer + 1, platform::kMsgPenFirst - 1, false) ||
           platform::PeekMessage(m, Window{}, platform::kMsgPenLast + 1, 0xFFFFFFFFu, false);
}

platform::Point lastPen;

}  // namespace

// ---- Fields and labels ----------------------------------------------------------------------

void InitField(Window dialog, int id, int style) {
    const Window control = Control(dialog, id);
    auto* st = NewControlState<FieldState>(control, id);
    if (!st) return;
    st->dialog = dialog;
    st->id = static_cast<std::int16_t>(id);
    st->style = static_cast<std::int16_t>(style);
    AttachControlState(control, st, &FieldProc);
}

LResult FieldProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    auto* st = reinterpret_cast<FieldState*>(platform::GetUserData(w));
    if (!st) return 0;
    switch (message) {
        case platform::kMsgPaint:
            // An editable field being edited shows itself as the edit box, caret and all.
            if (st->style != 0 && platform::GetFocus() == w) break;
            PaintField(w);
            return 1;
        case platform::kMsgPenDown:
        case platform::kMsgPenDoubleTap:
            if (st->style != 0) break;
            platform::ReleaseCapture();
            platform::SendMessage(st->dialog, kMsgFieldTap, static_cast<WParam>(static_cast<std::uint16_t>(st->id)), 0);
            return 1;
        case platform::kMsgSetFocus:
        case platform::kMsgKillFocus:
            if (st->style != 0) platform::InvalidateRect(w, nullptr, true);
            break;
        case platform::kMsgDestroy: {
            const platform::WindowProc previous = st->previous;
            platform::SetUserData(w, 0);
            std::free(st);
            return platform::CallWindowProc(previous, w, message, wParam, lParam);
        }
        default: break;
    }
    return platform::CallWindowProc(st->previous, w, message, wParam, lParam);
}

void InitLabel(Window dialog, int id) {
    const Window control = Control(dialog, id);
    auto* st = NewControlState<LabelState>(control, id);
    if (!st) return;
    st->id = static_cast<std::int16_t>(id);
    AttachControlState(control, st, &LabelProc);
}

LResult LabelProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    auto* st = reinterpret_cast<LabelState*>(platform::GetUserData(w));
    if (!st) return 0;
    switch (message) {
        case platform::kMsgPaint:
            PaintLabel(w);
            return 1;
        case platform::kMsgDestroy: {
            const platform::WindowProc previous = st->previous;
            platform::SetUserData(w, 0);
            std::free(st);
            return platform::CallWindowProc(previous, w, message, wParam, lParam);
        }
        default: return platform::CallWindowProc(st->previous, w, message, wParam, lParam);
    }
}

// ---- Helpers by id ----------------------------------------------------------------------------

int SetField(int id, const char* text) {
    const Window form = GetActiveForm();
    if (!form) return 0;
    const Window control = Control(form, id);
    if (!control) {
        ReportMissing("SetField: NULL Obj ptr", id);
        return 1;
    }
    std::string shown = text ? text : "";
    if (shown.size() > 511) shown.resize(511);
    platform::SetWindowText(control, shown);
    return 1;
}

int GetField(int id, char* buffer, int size) {
    const Window form = GetActiveForm();
    if (!buffer || !form) return 0;
    size = std::min(size, 256);
    if (size < 1) return 1;
    buffer[0] = 0;
    const Window control = Control(form, id);
    if (!control) {
        char text[48];
        std::snprintf(text, sizeof text, "GetField; Bad id %d", id);
        const Window owner = platform::GetActiveWindow();
        platform::MessageBox(owner, text, "", platform::BoxButtons::Ok);
        if (platform::IsWindow(owner)) platform::SetFocus(owner);
        return 1;
    }
    const std::string text = platform::GetWindowText(control);
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
    text.copy(buffer, n);
    buffer[n] = 0;
    return 1;
}

void ShowObject(Window dialog, int id) {
    if (const Window control = Control(dialog, id)) platform::ShowWindow(control, true);
}

void HideObject(Window dialog, int id) {
    const Window control = Control(dialog, id);
    if (!control) return;
    platform::ShowWindow(control, false);
    const Dc dc = platform::GetWindowDc(dialog);
    platform::FillRect(dc, platform::GetRectInParent(control), GetBackBrush());
    platform::ReleaseDc(dialog, dc);
}

int ShowControl(Window dialog, int id, int show) {
    if (!dialog) return 0;
    const Window control = Control(dialog, id);
    if (!control) {
        ReportMissing("Show: NULL Obj ptr", id);
        return 0;
    }
    platform::ShowWindow(control, show != 0);
    return 0;
}

void RedrawObject(Window dialog, int id) {
    const Window control = Control(dialog, id);
    if (!control) return;
    platform::InvalidateRect(control, nullptr, true);
    platform::SendMessage(control, platform::kMsgPaint, 0, 0);
}

// ---- Pen and keys -----------------------------------------------------------------------------

void GetPenPosition(int* x, int* y, int* flag) {
    if (flag) *flag = 0;
    if (!platform::AsyncKeyIsDown(platform::kKeyPen)) return;
    for (;;) {
        platform::Message m;
        if (platform::PeekMessage(m, Window{}, platform::kMsgPenFirst, platform::kMsgPenLast, true)) {
            // An up or a down ends a drag where it happens, not at the last move before it.
            lastPen = platform::PointFromParam(m.lParam);
            break;
        }
        if (!platform::AsyncKeyIsDown(platform::kKeyPen) || OtherMessageWaiting()) break;
        platform::IdleWait();
    }
    if (x) *x = lastPen.x;
    if (y) *y = lastPen.y;
    if (flag) *flag = 1;
}

int IsNavKeyDown() {
    for (int key : {platform::kKeyPageDown, platform::kKeyDown, platform::kKeyPageUp, platform::kKeyUp,
                    platform::kKeyLeft, platform::kKeyRight})
        if (platform::AsyncKeyIsDown(key)) return 1;
    return 0;
}

int PointInRect(int x, int y, const Bounds& rect) {
    return x >= rect.x && y >= rect.y && x < rect.x + rect.width && y < rect.y + rect.height ? 1 : 0;
}

void IdleNoOp() {}

Window SetFormEventHandler(Window form, const void*) { return form; }
