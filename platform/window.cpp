#include "platform/window.h"

#include <algorithm>

#include "platform/window_internal.h"

namespace platform {
namespace detail {

Core& C() {
    static Core core;
    return core;
}

WindowRecord* Find(Window w) {
    if (!w) return nullptr;
    const std::uint64_t index = w.value & 0xFFFFFFFFu;
    Core& c = C();
    if (index == 0 || index > c.slots.size()) return nullptr;
    WindowRecord* r = c.slots[index - 1].get();
    if (!r || !r->alive || r->generation != static_cast<std::uint32_t>(w.value >> 32)) return nullptr;
    return r;
}

Window TopLevelOf(Window w) {
    WindowRecord* r = Find(w);
    while (r && r->parent) {
        WindowRecord* p = Find(r->parent);
        if (!p) return Window{};
        r = p;
    }
    return r ? r->self : Window{};
}

bool InSubtree(Window ancestor, Window w) {
    if (!ancestor) return false;
    for (WindowRecord* r = Find(w); r; r = Find(r->parent))
        if (r->self == ancestor) return true;
    return false;
}

bool ShownChain(const WindowRecord* r) {
    while (r) {
        if (!r->visible || r->destroying) return false;
        if (!r->parent) return true;
        r = Find(r->parent);
    }
    return false;
}

LResult Invoke(WindowProc proc, Window w, unsigned message, WParam wParam, LParam lParam) {
    Core& c = C();
    ++c.depth;
    LResult result = proc ? proc(w, message, wParam, lParam) : DefWindowProc(w, message, wParam, lParam);
    if (--c.depth == 0) FreePending();
    return result;
}

void FreePending() {
    Core& c = C();
    for (std::size_t index : c.pendingFree) {
        WindowRecord& r = *c.slots[index];
        const std::uint32_t next = r.generation + 1 == 0 ? 1 : r.generation + 1;
        r = WindowRecord{};
        r.generation = next;
        c.freeSlots.push_back(index);
    }
    c.pendingFree.clear();
}

}  // namespace detail

using namespace detail;

namespace {

Rect Offset(const Rect& r, int dx, int dy) { return Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

Rect Bounds(const std::vector<Rect>& rects) {
    Rect b;
    bool any = false;
    for (const Rect& r : rects) {
        if (r.Empty()) continue;
        if (!any) {
            b = r;
            any = true;
        } else {
            b = Rect{std::min(b.left, r.left), std::min(b.top, r.top), std::max(b.right, r.right), std::max(b.bottom, r.bottom)};
        }
    }
    return b;
}

// a minus b, as up to four disjoint rectangles appended to out.
void Subtract(const Rect& a, const Rect& b, std::vector<Rect>& out) {
    const Rect i = Intersect(a, b);
    if (i.Empty()) {
        out.push_back(a);
        return;
    }
    if (a.top < i.top) out.push_back(Rect{a.left, a.top, a.right, i.top});
    if (i.bottom < a.bottom) out.push_back(Rect{a.left, i.bottom, a.right, a.bottom});
    if (a.left < i.left) out.push_back(Rect{a.left, i.top, i.left, i.bottom});
    if (i.right < a.right) out.push_back(Rect{i.right, i.top, a.right, i.bottom});
}

void SubtractAll(std::vector<Rect>& set, const Rect& b) {
    if (b.Empty()) return;
    std::vector<Rect> out;
    out.reserve(set.size() + 4);
    for (const Rect& a : set) Subtract(a, b, out);
    set = std::move(out);
}

Rect ClientOf(const WindowRecord& r) { return Rect{0, 0, r.rect.Width(), r.rect.Height()}; }

// Where w's client origin lies in its top-level's coordinates.
Point OriginInTop(const WindowRecord* r) {
    Point p;
    while (r && r->parent) {
        p.x += r->rect.left;
        p.y += r->rect.top;
        r = Find(r->parent);
    }
    return p;
}

void Touch() { ++C().generation; }

void AddInvalid(WindowRecord& r, const Rect& area, bool erase) {
    const Rect clipped = Intersect(area, ClientOf(r));
    if (clipped.Empty()) return;
    std::vector<Rect> pieces{clipped};
    for (const Rect& e : r.update) SubtractAll(pieces, e);
    r.update.insert(r.update.end(), pieces.begin(), pieces.end());
    if (r.update.size() > 32) r.update = {Bounds(r.update)};
    if (erase) r.erase = true;
}

// The window and every descendant, over an area in the window's client coordinates.
void InvalidateTree(WindowRecord& r, const Rect& area, bool erase) {
    AddInvalid(r, area, erase);
    for (Window cw : r.children) {
        WindowRecord* c = Find(cw);
        if (!c || !c->visible) continue;
        const Rect inChild = Offset(area, -c->rect.left, -c->rect.top);
        if (!Intersect(inChild, ClientOf(*c)).Empty()) InvalidateTree(*c, inChild, erase);
    }
}

// Invalidates what the window uncovers when it goes away from where it is now: for a child,
// its parent and the siblings beneath it (whose pixels it had drawn over); for a top-level,
// the top-levels beneath it.
void Expose(WindowRecord& r) {
    if (!ShownChain(&r) && !(r.visible && !r.parent)) return;
    if (r.parent) {
        WindowRecord* p = Find(r.parent);
        if (!p || !ShownChain(p)) return;
        const Rect area = Intersect(r.rect, ClientOf(*p));
        if (area.Empty()) return;
        AddInvalid(*p, area, true);
        for (Window sw : p->children) {
            if (sw == r.self) break;
            WindowRecord* s = Find(sw);
            if (!s || !s->visible || s->destroying) continue;
            const Rect inSibling = Offset(area, -s->rect.left, -s->rect.top);
            if (!Intersect(inSibling, ClientOf(*s)).Empty()) InvalidateTree(*s, inSibling, true);
        }
    } else {
        Core& c = C();
        for (Window tw : c.topLevels) {
            if (tw == r.self) break;
            WindowRecord* t = Find(tw);
            if (!t || !t->visible || t->destroying) continue;
            AddInvalid(*t, Offset(r.rect, -t->rect.left, -t->rect.top), true);
        }
    }
    Touch();
}

Rect ClampToScreen(Rect r) {
    const int sw = ScreenWidth(), sh = ScreenHeight();
    int w = std::clamp(r.Width(), 0, sw);
    int h = std::clamp(r.Height(), 0, sh);
    int x = std::clamp(r.left, 0, sw - w);
    int y = std::clamp(r.top, 0, sh - h);
    return Rect{x, y, x + w, y + h};
}

// Remakes a top-level's surface at its size, keeping the pixels that still fit.
void ResizeSurface(WindowRecord& r) {
    Surface fresh = MakeSurface(r.rect.Width(), r.rect.Height());
    const int w = std::min(fresh.width, r.surface.width), h = std::min(fresh.height, r.surface.height);
    for (int y = 0; y < h; ++y)
        std::copy(r.surface.Row(y), r.surface.Row(y) + w, fresh.Row(y));
    r.surface = std::move(fresh);
}

bool Eligible(const WindowRecord* r) { return r && r->visible && r->enabled && !r->destroying && !r->parent; }

Window TopmostEligible(Window except) {
    Core& c = C();
    for (auto it = c.topLevels.rbegin(); it != c.topLevels.rend(); ++it) {
        if (*it == except) continue;
        if (Eligible(Find(*it))) return *it;
    }
    return Window{};
}

// Moves a top-level to the top of the z-order, then the windows it owns above it.
void RaiseTop(Window w) {
    Core& c = C();
    auto it = std::find(c.topLevels.begin(), c.topLevels.end(), w);
    if (it == c.topLevels.end()) return;
    c.topLevels.erase(it);
    c.topLevels.push_back(w);
    std::vector<Window> owned;
    for (Window t : c.topLevels) {
        WindowRecord* r = Find(t);
        if (r && r->owner == w) owned.push_back(t);
    }
    for (Window o : owned) RaiseTop(o);
    Touch();
}

void LoseFocusIn(Window subtree) {
    Core& c = C();
    if (!InSubtree(subtree, c.focus)) return;
    Window old = c.focus;
    c.focus = Window{};
    SendMessage(old, kMsgKillFocus, 0, 0);
}

void MarkDestroying(WindowRecord& r) {
    r.destroying = true;
    for (Window cw : r.children)
        if (WindowRecord* ch = Find(cw)) MarkDestroying(*ch);
    for (Window tw : C().topLevels) {
        WindowRecord* t = Find(tw);
        if (t && t->owner == r.self && !t->destroying) MarkDestroying(*t);
    }
}

void Finalize(WindowRecord& r) {
    Core& c = C();
    const Window w = r.self;
    c.timers.erase(std::remove_if(c.timers.begin(), c.timers.end(), [&](const TimerRecord& t) { return t.window == w; }),
                   c.timers.end());
    if (WindowRecord* p = Find(r.parent)) {
        auto& ch = p->children;
        ch.erase(std::remove(ch.begin(), ch.end(), w), ch.end());
    } else {
        c.topLevels.erase(std::remove(c.topLevels.begin(), c.topLevels.end(), w), c.topLevels.end());
    }
    if (c.focus == w) c.focus = Window{};
    if (c.active == w) c.active = Window{};
    if (c.capture == w) c.capture = Window{};
    if (c.accelWindow == w) c.hasAccel = false;
    r.alive = false;
    NoteDead(w);
    const std::size_t index = static_cast<std::size_t>((w.value & 0xFFFFFFFFu) - 1);
    c.pendingFree.push_back(index);
}

void DestroyTree(Window w) {
    WindowRecord* r = Find(w);
    if (!r) return;
    if (!r->parent && r->visible) Expose(*r);
    r->visible = false;
    std::vector<Window> owned;
    for (Window t : C().topLevels) {
        WindowRecord* o = Find(t);
        if (o && o->owner == w) owned.push_back(t);
    }
    for (auto it = owned.rbegin(); it != owned.rend(); ++it) DestroyTree(*it);
    if ((r = Find(w))) {
        const std::vector<Window> children = r->children;
        for (auto it = children.rbegin(); it != children.rend(); ++it) DestroyTree(*it);
    }
    if (!Find(w)) return;
    SendMessage(w, kMsgDestroy, 0, 0);
    if ((r = Find(w))) Finalize(*r);
}

}  // namespace

// ---- Life ----------------------------------------------------------------------------

Window CreateWindow(const WindowSpec& desc) {
    Core& c = C();
    WindowRecord* parent = nullptr;
    if (desc.parent) {
        parent = Find(desc.parent);
        if (!parent || parent->destroying) return Window{};
    }
    Window owner;
    if (!parent && desc.owner) {
        owner = TopLevelOf(desc.owner);
        WindowRecord* o = Find(owner);
        if (!o || o->destroying) return Window{};
    }
    std::size_t index;
    if (!c.freeSlots.empty()) {
        index = c.freeSlots.back();
        c.freeSlots.pop_back();
    } else {
        index = c.slots.size();
        c.slots.push_back(std::make_unique<WindowRecord>());
    }
    WindowRecord& r = *c.slots[index];
    r.alive = true;
    r.self = Window{(static_cast<std::uint64_t>(r.generation) << 32) | (index + 1)};
    r.kind = desc.kind;
    r.parent = parent ? desc.parent : Window{};
    r.owner = owner;
    r.id = desc.id;
    r.text = desc.text;
    r.rect = parent ? desc.rect : ClampToScreen(desc.rect);
    if (r.rect.right < r.rect.left) r.rect.right = r.rect.left;
    if (r.rect.bottom < r.rect.top) r.rect.bottom = r.rect.top;
    r.visible = desc.visible;
    r.enabled = desc.enabled;
    r.style = desc.style;
    r.proc = desc.proc ? desc.proc : c.kindProcs[static_cast<int>(desc.kind)];
    if (!parent) r.surface = MakeSurface(r.rect.Width(), r.rect.Height());
    const Window w = r.self;
    if (parent) {
        parent->children.push_back(w);
    } else {
        c.topLevels.push_back(w);
    }
    NoteAlive(w);
    if (desc.visible) InvalidateTree(r, ClientOf(r), true);
    Touch();
    if (SendMessage(w, kMsgCreate, 0, desc.createParam) == -1) {
        DestroyWindow(w);
        return Window{};
    }
    WindowRecord* again = Find(w);
    if (!again) return Window{};
    if (!again->parent && again->visible && again->enabled) Activate(w, kActive);
    return Find(w) ? w : Window{};
}

bool DestroyWindow(Window w) {
    WindowRecord* r = Find(w);
    if (!r || r->destroying) return false;
    Core& c = C();
    if (r->parent && r->visible) Expose(*r);
    MarkDestroying(*r);
    if (InSubtree(w, c.capture) || (c.capture && Find(c.capture) && Find(c.capture)->destroying)) c.capture = Window{};
    if (Find(c.focus) && Find(c.focus)->destroying) {
        Window old = c.focus;
        c.focus = Window{};
        SendMessage(old, kMsgKillFocus, 0, 0);
    }
    if (WindowRecord* a = Find(c.active); a && a->destroying) Activate(TopmostEligible(Window{}), kActive);
    ++c.depth;
    DestroyTree(w);
    if (--c.depth == 0) FreePending();
    Touch();
    return true;
}

bool IsWindow(Window w) { return Find(w) != nullptr; }

void ResetWindows() {
    Core& c = C();
    ClearModal();
    while (!c.topLevels.empty()) {
        const Window top = c.topLevels.back();
        if (!DestroyWindow(top)) {
            // A record that cannot be destroyed normally (already being destroyed) is dropped.
            c.topLevels.pop_back();
        }
    }
    c.timers.clear();
    c.active = c.focus = c.capture = Window{};
    c.hasAccel = false;
    c.accelWindow = Window{};
    std::fill(std::begin(c.syncKeys), std::end(c.syncKeys), false);
    if (c.depth == 0) FreePending();
    ClearQueue();
    Touch();
}

void SetKindProc(WindowKind kind, WindowProc proc) { C().kindProcs[static_cast<int>(kind)] = proc; }

// ---- Records -------------------------------------------------------------------------

WindowKind GetWindowKind(Window w) {
    WindowRecord* r = Find(w);
    return r ? r->kind : WindowKind::Generic;
}

Window GetParent(Window w) {
    WindowRecord* r = Find(w);
    return r && Find(r->parent) ? r->parent : Window{};
}

Window GetOwner(Window w) {
    WindowRecord* r = Find(w);
    return r && Find(r->owner) ? r->owner : Window{};
}

Window GetTopLevel(Window w) { return TopLevelOf(w); }

std::vector<Window> ChildWindows(Window w) {
    WindowRecord* r = Find(w);
    return r ? r->children : std::vector<Window>{};
}

std::vector<Window> TopLevelWindows() { return C().topLevels; }

bool IsDescendant(Window ancestor, Window w) { return Find(ancestor) && InSubtree(ancestor, w); }

std::uint16_t GetWindowId(Window w) {
    WindowRecord* r = Find(w);
    return r ? r->id : 0;
}

void SetWindowId(Window w, std::uint16_t id) {
    if (WindowRecord* r = Find(w)) r->id = id;
}

Window FindChild(Window parent, std::uint16_t id) {
    WindowRecord* r = Find(parent);
    if (!r) return Window{};
    for (Window cw : r->children) {
        if (WindowRecord* c = Find(cw); c && c->id == id) return cw;
    }
    for (Window cw : r->children) {
        if (Window found = FindChild(cw, id)) return found;
    }
    return Window{};
}

std::string GetWindowText(Window w) {
    WindowRecord* r = Find(w);
    return r ? r->text : std::string{};
}

bool SetWindowText(Window w, std::string_view text) {
    if (!Find(w)) return false;
    const std::string copy(text);
    return SendMessage(w, kMsgSetText, 0, reinterpret_cast<LParam>(copy.c_str())) != 0;
}

std::uint32_t GetWindowStyle(Window w) {
    WindowRecord* r = Find(w);
    return r ? r->style : 0;
}

void SetWindowStyle(Window w, std::uint32_t style) {
    if (WindowRecord* r = Find(w)) r->style = style;
}

LParam GetUserData(Window w) {
    WindowRecord* r = Find(w);
    return r ? r->userData : 0;
}

void SetUserData(Window w, LParam data) {
    if (WindowRecord* r = Find(w)) r->userData = data;
}

WindowProc GetWindowProc(Window w) {
    WindowRecord* r = Find(w);
    return r ? (r->proc ? r->proc : &DefWindowProc) : nullptr;
}

WindowProc SetWindowProc(Window w, WindowProc proc) {
    WindowRecord* r = Find(w);
    if (!r) return nullptr;
    WindowProc old = r->proc ? r->proc : &DefWindowProc;
    r->previous = old;
    r->proc = proc;
    return old;
}

WindowProc GetPreviousWindowProc(Window w) {
    WindowRecord* r = Find(w);
    return r ? r->previous : nullptr;
}

LResult CallWindowProc(WindowProc proc, Window w, unsigned message, WParam wParam, LParam lParam) {
    if (!Find(w)) return 0;
    return Invoke(proc, w, message, wParam, lParam);
}

LResult DefWindowProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    WindowRecord* r = Find(w);
    if (!r) return 0;
    Core& c = C();
    switch (message) {
        case kMsgPaint:
            if (c.painters.paint) {
                c.painters.paint(w);
            } else {
                bool erase = false;
                TakeUpdateRect(w, &erase);
                if (erase) SendMessage(w, kMsgEraseBackground, 0, 0);
            }
            return 0;
        case kMsgEraseBackground:
            return c.painters.erase ? c.painters.erase(w, wParam) : 0;
        case kMsgSetText:
            r->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
            return 1;
        case kMsgClose:
            DestroyWindow(w);
            return 0;
        case kMsgActivate:
            if (LowWord(wParam) != kInactive && !r->parent && !InSubtree(w, c.focus)) {
                Window target = r->lastFocus;
                WindowRecord* t = Find(target);
                if (!t || t->destroying || !InSubtree(w, target)) target = w;
                SetFocus(target);
            }
            return 0;
        case kMsgBringToFront:
            SetForegroundWindow(w);
            return 0;
        default:
            return 0;
    }
}

// ---- Geometry ------------------------------------------------------------------------

Rect GetWindowRect(Window w) {
    WindowRecord* r = Find(w);
    if (!r) return Rect{};
    WindowRecord* top = Find(TopLevelOf(w));
    if (!top) return Rect{};
    const Point o = OriginInTop(r);
    return Offset(ClientOf(*r), top->rect.left + o.x, top->rect.top + o.y);
}

Rect GetClientRect(Window w) {
    WindowRecord* r = Find(w);
    return r ? ClientOf(*r) : Rect{};
}

Rect GetRectInParent(Window w) {
    WindowRecord* r = Find(w);
    return r ? r->rect : Rect{};
}

Point ClientToScreen(Window w, Point p) {
    const Rect r = GetWindowRect(w);
    return Point{p.x + r.left, p.y + r.top};
}

Point ScreenToClient(Window w, Point p) {
    const Rect r = GetWindowRect(w);
    return Point{p.x - r.left, p.y - r.top};
}

bool MoveWindow(Window w, const Rect& rect, bool repaint) {
    WindowRecord* r = Find(w);
    if (!r || r->destroying) return false;
    Rect target = rect;
    if (target.right < target.left) target.right = target.left;
    if (target.bottom < target.top) target.bottom = target.top;
    if (!r->parent) target = ClampToScreen(target);
    if (target == r->rect) return true;
    const bool resized = target.Width() != r->rect.Width() || target.Height() != r->rect.Height();
    if (repaint) Expose(*r);
    r->rect = target;
    if (!r->parent && resized) ResizeSurface(*r);
    if (repaint || (!r->parent && resized)) InvalidateTree(*r, ClientOf(*r), true);
    Touch();
    return true;
}

// ---- Visibility, z-order, enabled state ----------------------------------------------

bool ShowWindow(Window w, bool show) {
    WindowRecord* r = Find(w);
    if (!r || r->destroying) return false;
    Core& c = C();
    const bool was = r->visible;
    if (show == was) {
        if (show && !r->parent && r->enabled && c.active != w) Activate(w, kActive);
        return was;
    }
    if (show) {
        r->visible = true;
        if (ShownChain(r)) InvalidateTree(*r, ClientOf(*r), true);
        Touch();
        if (!r->parent && r->enabled) Activate(w, kActive);
    } else {
        Expose(*r);
        r->visible = false;
        Touch();
        if (InSubtree(w, c.capture)) c.capture = Window{};
        if (InSubtree(w, c.focus)) {
            Window top = TopLevelOf(w);
            if (top != w && ShownChain(Find(top))) {
                SetFocus(top);
            } else {
                LoseFocusIn(w);
            }
        }
        if (c.active == w) Activate(TopmostEligible(w), kActive);
    }
    return was;
}

bool IsWindowVisible(Window w) { return ShownChain(Find(w)); }

bool BringWindowToTop(Window w) {
    WindowRecord* r = Find(w);
    if (!r) return false;
    if (!r->parent) {
        RaiseTop(w);
    } else {
        WindowRecord* p = Find(r->parent);
        if (!p) return false;
        auto& ch = p->children;
        ch.erase(std::remove(ch.begin(), ch.end(), w), ch.end());
        ch.push_back(w);
        if (r->visible) InvalidateTree(*r, ClientOf(*r), true);
        Touch();
    }
    return true;
}

bool EnableWindow(Window w, bool enable) {
    WindowRecord* r = Find(w);
    if (!r) return false;
    const bool was = r->enabled;
    r->enabled = enable;
    if (was && !enable) {
        Core& c = C();
        if (InSubtree(w, c.focus) && r->parent) LoseFocusIn(w);
        if (InSubtree(w, c.capture)) c.capture = Window{};
    }
    return true;
}

bool IsWindowEnabled(Window w) {
    WindowRecord* r = Find(w);
    return r && r->enabled;
}

namespace {
Window HitChild(WindowRecord& r, Point p) {
    for (auto it = r.children.rbegin(); it != r.children.rend(); ++it) {
        WindowRecord* c = Find(*it);
        if (!c || !c->visible || c->destroying || !c->rect.Contains(p)) continue;
        if (!c->enabled || c->kind == WindowKind::Static) continue;
        return HitChild(*c, Point{p.x - c->rect.left, p.y - c->rect.top});
    }
    return r.self;
}
}  // namespace

namespace {
// While a modal dialog runs it takes every pen event of the screen: a top-level that is
// neither the innermost running dialog nor owned by it takes none, as if disabled. Its
// owner alone is disabled, and a dialog opened over another dialog (from the menu band)
// would otherwise leave that one open to the pen.
bool ShutOutByModal(const WindowRecord& top) {
    Core& c = C();
    Window modal;
    for (auto it = c.modal.rbegin(); it != c.modal.rend() && !modal; ++it)
        if (!it->ended && Find(it->dialog)) modal = it->dialog;
    if (!modal) return false;
    for (const WindowRecord* r = &top; r; r = Find(r->owner))
        if (r->self == modal) return false;
    return true;
}
}  // namespace

Window WindowFromPoint(Point screen) {
    Core& c = C();
    for (auto it = c.topLevels.rbegin(); it != c.topLevels.rend(); ++it) {
        WindowRecord* t = Find(*it);
        if (!t || !t->visible || t->destroying || !t->rect.Contains(screen)) continue;
        if (!t->enabled || ShutOutByModal(*t)) return Window{};
        return HitChild(*t, Point{screen.x - t->rect.left, screen.y - t->rect.top});
    }
    return Window{};
}

// ---- Focus, activation, capture ------------------------------------------------------

void detail::Activate(Window top, WParam how) {
    Core& c = C();
    WindowRecord* n = Find(top);
    if (n && (n->parent || n->destroying)) return;
    if (c.active == top) {
        if (n) RaiseTop(top);
        return;
    }
    const Window old = Find(c.active) ? c.active : Window{};
    c.active = n ? top : Window{};
    if (n) RaiseTop(top);
    if (c.focus && !InSubtree(c.active, c.focus)) {
        if (WindowRecord* fr = Find(c.focus)) {
            if (WindowRecord* ft = Find(TopLevelOf(c.focus))) ft->lastFocus = fr->self;
        }
        LoseFocusIn(c.focus);
    }
    if (old) SendMessage(old, kMsgActivate, kInactive, ToParam(c.active));
    if (n && c.active == top && Find(top)) SendMessage(top, kMsgActivate, how, ToParam(old));
}

Window GetActiveWindow() {
    Core& c = C();
    return Find(c.active) ? c.active : Window{};
}

bool SetActiveWindow(Window w) {
    const Window top = TopLevelOf(w);
    WindowRecord* t = Find(top);
    if (!Eligible(t)) return false;
    Activate(top, kActive);
    return true;
}

Window GetForegroundWindow() { return GetActiveWindow(); }

bool SetForegroundWindow(Window w) {
    const Window top = TopLevelOf(w);
    WindowRecord* t = Find(top);
    if (!t || t->destroying) return false;
    if (t->visible && t->enabled) Activate(top, kActive);
    RaiseTop(top);
    if (CurrentBackend().raise) CurrentBackend().raise();
    return true;
}

Window SetFocus(Window w) {
    Core& c = C();
    const Window old = Find(c.focus) ? c.focus : Window{};
    if (!w) {
        if (old) LoseFocusIn(old);
        return old;
    }
    WindowRecord* r = Find(w);
    if (!r || r->destroying) return Window{};
    const Window top = TopLevelOf(w);
    if (!IsWindowEnabled(top)) return Window{};
    if (c.active != top) {
        WindowRecord* t = Find(top);
        if (t && t->visible && t->enabled) Activate(top, kActive);
    }
    if (!Find(w)) return old;
    if (c.focus == w) return old;
    const Window previous = Find(c.focus) ? c.focus : Window{};
    c.focus = w;
    if (WindowRecord* t = Find(top)) t->lastFocus = w;
    if (previous) SendMessage(previous, kMsgKillFocus, static_cast<WParam>(w.value), 0);
    if (c.focus == w) SendMessage(w, kMsgSetFocus, static_cast<WParam>(previous.value), 0);
    return previous;
}

Window GetFocus() {
    Core& c = C();
    return Find(c.focus) ? c.focus : Window{};
}

Window SetCapture(Window w) {
    Core& c = C();
    const Window old = Find(c.capture) ? c.capture : Window{};
    if (Find(w)) c.capture = w;
    return old;
}

bool ReleaseCapture() {
    C().capture = Window{};
    return true;
}

Window GetCapture() {
    Core& c = C();
    return Find(c.capture) ? c.capture : Window{};
}

// ---- Drawing side --------------------------------------------------------------------

Surface* WindowSurface(Window w) {
    WindowRecord* top = Find(TopLevelOf(w));
    return top ? &top->surface : nullptr;
}

Point WindowOrigin(Window w) {
    WindowRecord* r = Find(w);
    return r ? OriginInTop(r) : Point{};
}

std::vector<Rect> WindowVisibleRects(Window w) {
    WindowRecord* r = Find(w);
    if (!r || !ShownChain(r)) return {};
    std::vector<Rect> set{ClientOf(*r)};
    for (Window cw : r->children) {
        WindowRecord* c = Find(cw);
        if (c && c->visible && !c->destroying) SubtractAll(set, c->rect);
    }
    // Walk up: clip by each parent's client area and cut away higher siblings.
    int dx = 0, dy = 0;  // node's client origin in w's client coordinates, negated
    WindowRecord* node = r;
    while (node->parent) {
        WindowRecord* p = Find(node->parent);
        if (!p) return {};
        dx -= node->rect.left;
        dy -= node->rect.top;
        // dx, dy now map p's client coordinates into w's.
        const Rect parentClient = Offset(ClientOf(*p), dx, dy);
        std::vector<Rect> clipped;
        for (const Rect& s : set) {
            const Rect i = Intersect(s, parentClient);
            if (!i.Empty()) clipped.push_back(i);
        }
        set = std::move(clipped);
        bool above = false;
        for (Window sw : p->children) {
            if (sw == node->self) {
                above = true;
                continue;
            }
            if (!above) continue;
            WindowRecord* s = Find(sw);
            if (s && s->visible && !s->destroying) SubtractAll(set, Offset(s->rect, dx, dy));
        }
        node = p;
    }
    return set;
}

bool InvalidateRect(Window w, const Rect* r, bool erase) {
    WindowRecord* rec = Find(w);
    if (!rec) return false;
    AddInvalid(*rec, r ? *r : ClientOf(*rec), erase);
    return true;
}

bool ValidateRect(Window w, const Rect* r) {
    WindowRecord* rec = Find(w);
    if (!rec) return false;
    if (!r) {
        rec->update.clear();
    } else {
        SubtractAll(rec->update, *r);
    }
    if (rec->update.empty()) rec->erase = false;
    return true;
}

Rect TakeUpdateRect(Window w, bool* erase) {
    WindowRecord* r = Find(w);
    if (erase) *erase = false;
    if (!r) return Rect{};
    const Rect b = Bounds(r->update);
    if (erase) *erase = r->erase && !b.Empty();
    r->update.clear();
    r->erase = false;
    Touch();
    return b;
}

bool HasUpdateRect(Window w) {
    WindowRecord* r = Find(w);
    return r && !r->update.empty();
}

void InvalidateAllWindows() {
    for (auto& slot : C().slots) {
        if (slot && slot->alive) AddInvalid(*slot, ClientOf(*slot), true);
    }
}

namespace {

// Whether a window is drawn onto the screen and hides all of it.
bool CoversScreen(Window w, int width, int height) {
    const WindowRecord* t = Find(w);
    return t && t->visible && t->surface.Valid() && t->rect.left <= 0 && t->rect.top <= 0 &&
           t->rect.right >= width && t->rect.bottom >= height;
}

}  // namespace

void ComposeScreen(Surface& screen) {
    const int sw = ScreenWidth(), sh = ScreenHeight();
    const std::vector<Window>& topLevels = C().topLevels;
    // Windows under one that hides the whole screen would only be painted over, and when
    // one does, no pixel of the last frame can stay: clear and copy from the topmost such.
    std::size_t first = topLevels.size();
    while (first > 0 && !CoversScreen(topLevels[first - 1], sw, sh)) --first;
    const bool covered = first > 0;
    if (covered) --first;  // the covering window itself
    if (screen.width != sw || screen.height != sh) {
        screen = MakeSurface(sw, sh);
    } else if (!covered) {
        std::fill(screen.bits.begin(), screen.bits.end(), 0);
    }
    for (std::size_t i = first; i < topLevels.size(); ++i) {
        WindowRecord* t = Find(topLevels[i]);
        if (!t || !t->visible || !t->surface.Valid()) continue;
        const Rect area = Intersect(t->rect, Rect{0, 0, sw, sh});
        if (area.Empty()) continue;
        for (int y = area.top; y < area.bottom; ++y) {
            const std::uint16_t* src = t->surface.Row(y - t->rect.top) + (area.left - t->rect.left);
            std::copy(src, src + area.Width(), screen.Row(y) + area.left);
        }
    }
}

std::uint64_t ScreenGeneration() { return C().generation; }
void MarkScreenChanged() { Touch(); }

void PresentScreen() {
    Core& c = C();
    if (c.presented == c.generation) return;
    c.presented = c.generation;
    const Backend& b = CurrentBackend();
    if (!b.present) return;
    ComposeScreen(c.screen);
    b.present(c.screen);
}

void SetDefaultPainters(const DefaultPainters& painters) { C().painters = painters; }

// ---- Screen --------------------------------------------------------------------------

int ScreenScale() { return C().scale; }
int ScreenWidth() { return C().width > 0 ? C().width : 240 * C().scale; }
int ScreenHeight() { return C().height > 0 ? C().height : 320 * C().scale; }

void SetScreenGeometry(int scale, int width, int height) {
    Core& c = C();
    c.scale = scale < 1 ? 1 : scale;
    c.width = width > 0 ? width : 0;
    c.height = height > 0 ? height : 0;
    Touch();
}

}  // namespace platform
