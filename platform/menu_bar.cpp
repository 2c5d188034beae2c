#include "platform/menu_bar.h"

#include <algorithm>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/gfx_objects.h"
#include "platform/gfx_raster.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "platform/system_colors.h"
#include "platform/text_engine.h"
#include "platform/text_fonts.h"

namespace platform::menubar {
namespace {

struct State {
    bool installed = false;
    const Backend* inner = nullptr;
    Backend wrapper;
    Menu menu;
    TargetFunction target = nullptr;
    int open = -1;         // the popup whose drop-down is shown
    int highlight = -1;    // its highlighted item
    bool penTaken = false; // the pen went down on the menu and is not up yet
    bool openedByThisPen = false;
    Surface frame;
};

State& S() {
    static State s;
    return s;
}

int Scale() { return ScreenScale() > 0 ? ScreenScale() : 1; }

// "&&" draws one "&"; a single "&" marks the next letter and is not drawn.
std::string ShownText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

text::Face* MenuFace() {
    FontSpec desc;
    desc.height = -12 * Scale();
    return text::FaceFor(desc);
}

int TextWidth(const std::string& program) {
    text::Face* face = MenuFace();
    if (!face) return 0;
    int w = 0;
    for (char32_t ch : DecodeProgramText(program)) w += text::GlyphOf(face, ch).advance;
    return w;
}

void DrawText(gfx::Canvas& c, int x, int y, int height, const std::string& program, std::uint16_t pixel) {
    text::Face* face = MenuFace();
    if (!face) return;
    const text::Metrics& m = text::MetricsOf(face);
    const int baseline = y + (height - m.height) / 2 + m.ascent;
    for (char32_t ch : DecodeProgramText(program)) {
        const text::Glyph& g = text::GlyphOf(face, ch);
        if (!g.bits.empty()) gfx::Stamp(c, x + g.left, baseline - g.top, g.width, g.height, g.bits.data(), pixel);
        x += g.advance;
    }
}

int ScreenW() { return ScreenWidth(); }
int ScreenH() { return ScreenHeight(); }

// ---- Geometry ------------------------------------------------------------------------------

int TitlePad() { return 8 * Scale(); }
int ItemHeight() { return 18 * Scale(); }
int SeparatorHeight() { return 7 * Scale(); }

Rect TitleRectOf(int popup) {
    const State& s = S();
    if (popup < 0 || popup >= static_cast<int>(s.menu.popups.size())) return Rect{};
    int x = 2 * Scale();
    for (int i = 0; i < popup; ++i) x += TextWidth(ShownText(s.menu.popups[i].title)) + 2 * TitlePad();
    const int w = TextWidth(ShownText(s.menu.popups[popup].title)) + 2 * TitlePad();
    return Rect{x, ScreenH() + 2 * Scale(), x + w, ScreenH() + BandHeight() - 2 * Scale()};
}

// The drop-down of the open popup: its items from the bottom of the screen up, left edge
// under the title, kept on the screen.
Rect DropDownRect() {
    const State& s = S();
    if (s.open < 0) return Rect{};
    const MenuPopup& p = s.menu.popups[static_cast<std::size_t>(s.open)];
    int width = 0, height = 0;
    for (const MenuItem& item : p.items) {
        height += item.separator ? SeparatorHeight() : ItemHeight();
        const int w = TextWidth(ShownText(item.text));
        if (w > width) width = w;
    }
    width += 2 * TitlePad() + 4 * Scale();
    height += 4 * Scale();
    const Rect title = TitleRectOf(s.open);
    int left = title.left;
    if (left + width > ScreenW()) left = ScreenW() - width;
    if (left < 0) left = 0;
    int top = ScreenH() - height;
    if (top < 0) top = 0;
    return Rect{left, top, left + width, ScreenH()};
}

Rect ItemRectOf(int item) {
    const State& s = S();
    if (s.open < 0) return Rect{};
    const MenuPopup& p = s.menu.popups[static_cast<std::size_t>(s.open)];
    if (item < 0 || item >= static_cast<int>(p.items.size())) return Rect{};
    const Rect box = DropDownRect();
    int y = box.top + 2 * Scale();
    for (int i = 0; i < item; ++i) y += p.items[static_cast<std::size_t>(i)].separator ? SeparatorHeight() : ItemHeight();
    const int h = p.items[static_cast<std::size_t>(item)].separator ? SeparatorHeight() : ItemHeight();
    return Rect{box.left + 2 * Scale(), y, box.right - 2 * Scale(), y + h};
}

int TitleAt(Point p) {
    for (int i = 0; i < static_cast<int>(S().menu.popups.size()); ++i)
        if (TitleRectOf(i).Contains(p)) return i;
    return -1;
}

// An item that can be chosen (not a separator) under the point, or -1.
int ItemAt(Point p) {
    const State& s = S();
    if (s.open < 0) return -1;
    const MenuPopup& pop = s.menu.popups[static_cast<std::size_t>(s.open)];
    for (int i = 0; i < static_cast<int>(pop.items.size()); ++i)
        if (!pop.items[static_cast<std::size_t>(i)].separator && ItemRectOf(i).Contains(p)) return i;
    return -1;
}

bool InBand(Point p) { return p.y >= ScreenH() && p.y < ScreenH() + BandHeight(); }

// ---- Actions ----------------------------------------------------------------------------------

void Changed() { MarkScreenChanged(); }

void OpenMenu(int popup) {
    State& s = S();
    s.open = popup;
    s.highlight = -1;
    Changed();
}

void CloseMenu() {
    State& s = S();
    if (s.open < 0) return;
    s.open = -1;
    s.highlight = -1;
    Changed();
}

void Choose(int item) {
    State& s = S();
    if (s.open < 0 || item < 0) return;
    const MenuItem& it = s.menu.popups[static_cast<std::size_t>(s.open)].items[static_cast<std::size_t>(item)];
    const std::uint16_t command = it.command;
    CloseMenu();
    if (!it.separator && s.target) PostMessage(s.target(), kMsgCommand, command, 0);
}

void MoveHighlight(int step) {
    State& s = S();
    if (s.open < 0) return;
    const auto& items = s.menu.popups[static_cast<std::size_t>(s.open)].items;
    const int n = static_cast<int>(items.size());
    if (n == 0) return;
    int i = s.highlight;
    for (int k = 0; k < n; ++k) {
        i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
        if (!items[static_cast<std::size_t>(i)].separator) {
            s.highlight = i;
            Changed();
            return;
        }
    }
}

void SetHighlight(int item) {
    State& s = S();
    if (s.highlight == item) return;
    s.highlight = item;
    Changed();
}

// Whether the menu takes this input.
bool Take(const InputEvent& e) {
    State& s = S();
    switch (e.kind) {
    case InputKind::PenDown:
        if (s.open >= 0) {
            s.penTaken = true;
            s.openedByThisPen = false;
            const int item = ItemAt(e.point);
            if (item >= 0) {
                SetHighlight(item);
                return true;
            }
            const int title = TitleAt(e.point);
            if (title >= 0 && title != s.open) {
                OpenMenu(title);
                s.openedByThisPen = true;
            } else {
                CloseMenu();
            }
            return true;
        }
        if (!InBand(e.point)) return false;
        s.penTaken = true;
        s.openedByThisPen = false;
        if (const int title = TitleAt(e.point); title >= 0) {
            OpenMenu(title);
            s.openedByThisPen = true;
        }
        return true;
    case InputKind::PenMove:
        if (!s.penTaken) return false;
        if (s.open >= 0) {
            const int title = TitleAt(e.point);
            if (title >= 0 && title != s.open) {
                OpenMenu(title);
            } else {
                SetHighlight(ItemAt(e.point));
            }
        }
        return true;
    case InputKind::PenUp: {
        if (!s.penTaken) return false;
        s.penTaken = false;
        const int item = ItemAt(e.point);
        if (item >= 0) {
            Choose(item);
        } else if (s.open >= 0 && !s.openedByThisPen && !DropDownRect().Contains(e.point) &&
                   TitleAt(e.point) != s.open) {
            CloseMenu();
        }
        s.openedByThisPen = false;
        return true;
    }
    case InputKind::KeyDown:
        if (s.open < 0) return false;
        switch (e.key) {
        case kKeyEscape: CloseMenu(); break;
        case kKeyUp: MoveHighlight(-1); break;
        case kKeyDown: MoveHighlight(1); break;
        case kKeyLeft:
        case kKeyRight: {
            const int n = static_cast<int>(s.menu.popups.size());
            if (n > 0) OpenMenu((s.open + (e.key == kKeyRight ? 1 : n - 1)) % n);
            break;
        }
        case kKeyReturn: Choose(s.highlight); break;
        default: break;
        }
        return true;
    case InputKind::KeyUp:
    case InputKind::Char:
        return s.open >= 0;
    case InputKind::Close:
        CloseMenu();
        return false;
    }
    return false;
}

// ---- The wrapper backend -------------------------------------------------------------------------

bool Poll(InputEvent* out) {
    const State& s = S();
    InputEvent e;
    while (s.inner->pollInput && s.inner->pollInput(&e)) {
        if (Take(e)) continue;
        *out = e;
        return true;
    }
    return false;
}

void Wait(int timeoutMs) {
    if (S().inner->waitInput) S().inner->waitInput(timeoutMs);
}
void Wake() {
    if (S().inner->wake) S().inner->wake();
}
void Present(const Surface& screen) {
    State& s = S();
    if (!s.inner->present) return;
    ComposeFrame(screen, &s.frame);
    s.inner->present(s.frame);
}
std::uint32_t Ticks() { return S().inner->tickCount ? S().inner->tickCount() : 0; }
LocalTime Local() { return S().inner->localTime ? S().inner->localTime() : LocalTime{}; }
bool KeyDown(int key) { return S().inner->keyIsDown && S().inner->keyIsDown(key); }
void Raise() {
    if (S().inner->raise) S().inner->raise();
}

}  // namespace

int BandHeight() { return kBandDesignHeight * Scale(); }
int OpenPopup() { return S().open; }
int HighlightedItem() { return S().highlight; }
Rect TitleRect(int popup) { return TitleRectOf(popup); }
Rect ItemRect(int item) { return ItemRectOf(item); }

void ComposeFrame(const Surface& screen, Surface* frame) {
    if (!frame) return;
    State& s = S();
    const int band = BandHeight();
    if (frame->width != screen.width || frame->height != screen.height + band)
        *frame = MakeSurface(screen.width, screen.height + band);
    if (!frame->Valid()) return;
    for (int y = 0; y < screen.height; ++y) {
        const std::uint16_t* from = screen.Row(y);
        std::copy(from, from + screen.width, frame->Row(y));
    }
    gfx::Canvas c = gfx::WholeSurface(*frame);
    const std::uint16_t face = ColorToPixel(SystemColor(kColorMenu));
    const std::uint16_t ink = ColorToPixel(SystemColor(kColorMenuText));
    const std::uint16_t edge = ColorToPixel(SystemColor(kColorButtonShadow));
    const std::uint16_t light = ColorToPixel(SystemColor(kColorButtonHighlight));
    const std::uint16_t selected = ColorToPixel(SystemColor(kColorHighlight));
    const std::uint16_t selectedInk = ColorToPixel(SystemColor(kColorHighlightText));
    const int scale = Scale();

    // The band: a face with a line along its top, and the titles.
    gfx::FillBox(c, Rect{0, screen.height, frame->width, frame->height}, face);
    gfx::FillBox(c, Rect{0, screen.height, frame->width, screen.height + scale}, edge);
    for (int i = 0; i < static_cast<int>(s.menu.popups.size()); ++i) {
        const Rect r = TitleRectOf(i);
        const bool open = i == s.open;
        if (open) gfx::FillBox(c, r, selected);
        DrawText(c, r.left + TitlePad(), r.top, r.Height(), ShownText(s.menu.popups[static_cast<std::size_t>(i)].title),
                 open ? selectedInk : ink);
    }

    // The drop-down over the screen.
    if (s.open < 0) return;
    const Rect box = DropDownRect();
    gfx::FillBox(c, box, face);
    gfx::FillBox(c, Rect{box.left, box.top, box.right, box.top + scale}, light);
    gfx::FillBox(c, Rect{box.left, box.top, box.left + scale, box.bottom}, light);
    gfx::FillBox(c, Rect{box.right - scale, box.top, box.right, box.bottom}, edge);
    const auto& items = s.menu.popups[static_cast<std::size_t>(s.open)].items;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const Rect r = ItemRectOf(i);
        const MenuItem& item = items[static_cast<std::size_t>(i)];
        if (item.separator) {
            const int mid = (r.top + r.bottom) / 2;
            gfx::FillBox(c, Rect{r.left + 2 * scale, mid, r.right - 2 * scale, mid + scale}, edge);
            continue;
        }
        const bool lit = i == s.highlight;
        if (lit) gfx::FillBox(c, r, selected);
        DrawText(c, r.left + TitlePad() - 2 * scale, r.top, r.Height(), ShownText(item.text), lit ? selectedInk : ink);
    }
}

bool Install(int menuId, TargetFunction target) {
    State& s = S();
    const Menu* menu = FindMenu(menuId);
    if (!menu) return false;
    s.menu = *menu;
    s.target = target;
    s.open = s.highlight = -1;
    s.penTaken = s.openedByThisPen = false;
    if (s.installed && &CurrentBackend() == &s.wrapper) return true;
    s.inner = &CurrentBackend();
    s.wrapper = Backend{};
    s.wrapper.pollInput = &Poll;
    s.wrapper.waitInput = &Wait;
    s.wrapper.wake = &Wake;
    s.wrapper.present = &Present;
    s.wrapper.tickCount = s.inner->tickCount ? &Ticks : nullptr;
    s.wrapper.localTime = s.inner->localTime ? &Local : nullptr;
    s.wrapper.keyIsDown = &KeyDown;
    s.wrapper.raise = s.inner->raise ? &Raise : nullptr;
    s.installed = true;
    SetBackend(&s.wrapper);
    MarkScreenChanged();
    return true;
}

void Uninstall() {
    State& s = S();
    if (!s.installed) return;
    // A backend set over it since (a test's reset) stays.
    if (&CurrentBackend() == &s.wrapper) SetBackend(s.inner);
    s.installed = false;
    s.inner = nullptr;
    s.open = s.highlight = -1;
    s.penTaken = false;
    s.frame = Surface{};
    MarkScreenChanged();
}

bool Installed() { return S().installed && &CurrentBackend() == &S().wrapper; }

}  // namespace platform::menubar
