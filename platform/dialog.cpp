#include "platform/dialog.h"

#include <algorithm>

#include "platform/message_box.h"
#include "platform/window_internal.h"

namespace platform {
using namespace detail;

namespace {

Rect Scaled(const Rect& r, int s) { return Rect{r.left * s, r.top * s, r.right * s, r.bottom * s}; }

Window MakeDialog(const DialogLayout& layout, Window owner, DialogProc proc, LParam param, bool show) {
    const int s = ScreenScale();
    WindowSpec desc;
    desc.kind = WindowKind::Dialog;
    desc.owner = owner;
    desc.text = layout.caption;
    desc.rect = Scaled(layout.rect, s);
    desc.visible = false;
    desc.proc = &DialogWindowProc;
    const Window dlg = CreateWindow(desc);
    WindowRecord* r = Find(dlg);
    if (!r) return Window{};
    r->dialogProc = proc;
    for (const ControlLayout& c : layout.controls) {
        WindowSpec cs;
        cs.kind = c.kind;
        cs.parent = dlg;
        cs.id = c.id;
        cs.text = c.text;
        cs.rect = Scaled(c.rect, s);
        cs.style = c.style;
        cs.visible = (c.flags & kLayoutHidden) == 0;
        cs.enabled = (c.flags & kLayoutDisabled) == 0;
        CreateWindow(cs);
        if (!Find(dlg)) return Window{};
    }
    SendMessage(dlg, kMsgInitDialog, 0, param);
    if (!Find(dlg)) return Window{};
    if (show) ShowWindow(dlg, true);
    return Find(dlg) ? dlg : Window{};
}

ModalEntry* FindModal(Window dlg) {
    for (ModalEntry& e : C().modal)
        if (e.dialog == dlg) return &e;
    return nullptr;
}

Window DefaultButton(Window dlg) {
    WindowRecord* r = Find(dlg);
    if (!r) return Window{};
    for (Window cw : r->children) {
        WindowRecord* c = Find(cw);
        if (c && c->kind == WindowKind::Button && (c->style & kStyleDefaultButton)) return cw;
    }
    return Window{};
}

void SendButtonCommand(Window dlg, std::uint16_t id, Window button) {
    if (button && !IsWindowEnabled(button)) return;
    SendMessage(dlg, kMsgCommand, MakeLong(id, 0), ToParam(button));
}

}  // namespace

namespace detail {

LResult DialogWindowProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    WindowRecord* r = Find(w);
    if (!r) return 0;
    if (DialogProc proc = r->dialogProc) {
        if (LResult handled = proc(w, message, wParam, lParam)) return handled;
    }
    return DefDialogProc(w, message, wParam, lParam);
}

void ClearModal() {
    Core& c = C();
    for (ModalEntry& e : c.modal) e.ended = true;
}

}  // namespace detail

LResult DefDialogProc(Window dialog, unsigned message, WParam wParam, LParam lParam) {
    switch (message) {
        case kMsgInitDialog:
        case kMsgClose:
            return 0;
        default:
            return DefWindowProc(dialog, message, wParam, lParam);
    }
}

Window CreateDialogFromLayout(const DialogLayout& layout, Window owner, DialogProc proc, LParam param) {
    return MakeDialog(layout, owner, proc, param, (layout.flags & kLayoutHidden) == 0);
}

Window CreateDialog(int id, Window owner, DialogProc proc, LParam param) {
    const DialogLayout* layout = FindDialogLayout(id);
    if (!layout) return Window{};
    const DialogLayout copy = *layout;  // the layout table may change while the dialog is made
    return CreateDialogFromLayout(copy, owner, proc, param);
}

int DialogBoxFromLayout(const DialogLayout& layout, Window owner, DialogProc proc, LParam param) {
    Core& c = C();
    const Window ownerTop = TopLevelOf(owner);
    const Window dlg = MakeDialog(layout, ownerTop, proc, param, false);
    if (!dlg) return -1;
    c.modal.push_back(ModalEntry{dlg, false, 0});
    bool disabledOwner = false;
    if (ownerTop && IsWindowEnabled(ownerTop)) {
        EnableWindow(ownerTop, false);
        disabledOwner = true;
    }
    ShowWindow(dlg, true);

    bool quit = false;
    Message m;
    for (;;) {
        ModalEntry* e = FindModal(dlg);
        if (!e || e->ended || !IsWindow(dlg)) break;
        if (!GetMessage(m)) {
            quit = true;
            break;
        }
        if (c.hasAccel && TranslateAccelerator(c.accelWindow, c.accelTable, m)) continue;
        if (HandleDialogKeys(dlg, m)) continue;
        DispatchMessage(m);
    }

    int result = kIdCancel;
    auto it = std::find_if(c.modal.begin(), c.modal.end(), [&](const ModalEntry& e) { return e.dialog == dlg; });
    if (it != c.modal.end()) {
        if (it->ended && !quit) result = it->result;
        c.modal.erase(it);
    }
    if (disabledOwner) EnableWindow(ownerTop, true);
    if (IsWindow(dlg)) ShowWindow(dlg, false);
    if (IsWindow(ownerTop)) SetActiveWindow(ownerTop);
    DestroyWindow(dlg);
    // The quit message ended the loop: leave it for the loops outside.
    if (quit) PostQuitMessage(static_cast<int>(m.wParam));
    return result;
}

int DialogBox(int id, Window owner, DialogProc proc, LParam param) {
    const DialogLayout* layout = FindDialogLayout(id);
    if (!layout) return -1;
    const DialogLayout copy = *layout;
    return DialogBoxFromLayout(copy, owner, proc, param);
}

bool EndDialog(Window dialog, int result) {
    ModalEntry* e = FindModal(dialog);
    if (!e || e->ended || !IsWindow(dialog)) return false;
    e->ended = true;
    e->result = result;
    // The loop may be waiting: give it something to look at.
    PostMessage(dialog, kMsgWake, 0, 0);
    return true;
}

std::vector<Window> ModalStack() {
    std::vector<Window> out;
    for (const ModalEntry& e : C().modal)
        if (IsWindow(e.dialog)) out.push_back(e.dialog);
    return out;
}

bool IsDialog(Window w) {
    WindowRecord* r = Find(w);
    return r && r->kind == WindowKind::Dialog;
}

Window GetDialogItem(Window dialog, std::uint16_t id) {
    WindowRecord* r = Find(dialog);
    if (!r) return Window{};
    for (Window cw : r->children) {
        WindowRecord* c = Find(cw);
        if (c && c->id == id) return cw;
    }
    return Window{};
}

bool HandleDialogKeys(Window dialog, const Message& m) {
    if (m.message != kMsgKeyDown || !IsWindow(dialog)) return false;
    if (m.window && !IsDescendant(dialog, m.window)) return false;
    const int key = static_cast<int>(m.wParam);
    if (key == kKeyReturn) {
        const Window focus = GetFocus();
        if (GetWindowKind(focus) == WindowKind::Edit && (GetWindowStyle(focus) & kStyleWantReturn) && IsDescendant(dialog, focus))
            return false;
        Window button = DefaultButton(dialog);
        const std::uint16_t id = button ? GetWindowId(button) : static_cast<std::uint16_t>(kIdOk);
        if (!button) button = GetDialogItem(dialog, id);
        SendButtonCommand(dialog, id, button);
        return true;
    }
    if (key == kKeyEscape) {
        SendButtonCommand(dialog, static_cast<std::uint16_t>(kIdCancel), GetDialogItem(dialog, static_cast<std::uint16_t>(kIdCancel)));
        return true;
    }
    return false;
}

}  // namespace platform
