#include "platform/controls.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/messages.h"
#include "platform/system_colors.h"

namespace platform {

namespace {

constexpr std::uint32_t kCheckStyles =
    kStyleCheckBox | kStyleAutoCheckBox | kStyleThreeState | kStyleAutoThreeState | kStyleRadio;
// Texts past this length are not typed into (a guard, far above any field of the program).
constexpr std::size_t kEditLimit = 30000;

// The controls' own state lives here, keyed by window: the user data belongs to whoever
// subclasses the control. Entries of windows that died without their destroy message
// reaching us are pruned as the tables grow.
template <typename T>
struct Table {
    std::unordered_map<std::uint64_t, T> map;
    T& Of(Window w) {
        auto it = map.find(w.value);
        if (it != map.end()) return it->second;
        if (map.size() >= 64) {
            for (auto i = map.begin(); i != map.end();) i = IsWindow(Window{i->first}) ? std::next(i) : map.erase(i);
        }
        return map[w.value];
    }
    T* Find(Window w) {
        auto it = map.find(w.value);
        return it == map.end() ? nullptr : &it->second;
    }
    void Forget(Window w) { map.erase(w.value); }
};

void Fill(Dc dc, const Rect& r, Color c) {
    GfxObject brush = MakeBrush(c);
    FillRect(dc, r, brush);
    DeleteObject(brush);
}

Rect Deflate(const Rect& r, int d) { return Rect{r.left + d, r.top + d, r.right - d, r.bottom - d}; }

// ---- Buttons ---------------------------------------------------------------------------

struct ButtonData {
    bool pressed = false;
    bool tracking = false;
    int check = 0;
};
Table<ButtonData> buttons;

bool IsCheckKind(Window w) { return (GetWindowStyle(w) & kCheckStyles) != 0; }

void PaintPushButton(Window w, Dc dc, const ButtonData& b) {
    const Rect rc = GetClientRect(w);
    const std::uint32_t style = GetWindowStyle(w);
    const bool enabled = IsWindowEnabled(w);
    Fill(dc, rc, SystemColor(b.pressed ? kColorHighlight : kColorButtonFace));
    DrawEdge(dc, rc);
    if (style & kStyleDefaultButton) DrawEdge(dc, Deflate(rc, 1));
    SetBackMode(dc, BackMode::Transparent);
    SetTextColor(dc, SystemColor(!enabled ? kColorGrayText : b.pressed ? kColorHighlightText : kColorButtonText));
    DrawTextIn(dc, GetWindowText(w), rc, kTextCenter | kTextVCenter | kTextSingleLine);
    if (GetFocus() == w) DrawFocusRect(dc, Deflate(rc, 2 * ScreenScale()));
}

void PaintCheckBox(Window w, Dc dc, const ButtonData& b) {
    const Rect rc = GetClientRect(w);
    const int s = ScreenScale();
    const std::uint32_t style = GetWindowStyle(w);
    Fill(dc, rc, SystemColor(kColorStatic));
    const int size = std::min(12 * s, rc.Height());
    const Rect box{rc.left, rc.top + (rc.Height() - size) / 2, rc.left + size, rc.top + (rc.Height() - size) / 2 + size};
    GfxObject pen = MakePen(PenStyle::Solid, 1, SystemColor(kColorWindowFrame));
    GfxObject brush = MakeBrush(SystemColor(b.pressed ? kColorButtonFace : kColorWindow));
    GfxObject oldPen = SelectObject(dc, pen);
    GfxObject oldBrush = SelectObject(dc, brush);
    if (style & kStyleRadio) {
        Ellipse(dc, box);
    } else {
        FillRect(dc, box, brush);
        DrawEdge(dc, box);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(brush);
    DeleteObject(pen);
    const Color mark = SystemColor(kColorWindowText);
    if (b.check == static_cast<int>(kChecked)) {
        if (style & kStyleRadio) {
            GfxObject dot = MakeBrush(mark);
            GfxObject noPen = StockObject(Stock::NullPen);
            GfxObject p0 = SelectObject(dc, noPen);
            GfxObject b0 = SelectObject(dc, dot);
            Ellipse(dc, Deflate(box, size / 4));
            SelectObject(dc, b0);
            SelectObject(dc, p0);
            DeleteObject(dot);
        } else {
            // A tick: down from the left third, then up to the top right.
            GfxObject tick = MakePen(PenStyle::Solid, 1, mark);
            GfxObject p0 = SelectObject(dc, tick);
            const int l = box.left + size / 5, m = box.left + size * 2 / 5, r = box.right - size / 5;
            const int mid = box.top + size / 2, bottom = box.bottom - size / 4, top = box.top + size / 4;
            for (int t = 0; t < std::max(1, s); ++t) {
                MoveTo(dc, l, mid + t, nullptr);
                LineTo(dc, m, bottom + t);
                LineTo(dc, r + 1, top + t - 1);
            }
            SelectObject(dc, p0);
            DeleteObject(tick);
        }
    } else if (b.check == static_cast<int>(kIndeterminate)) {
        Fill(dc, Deflate(box, std::max(2, size / 4)), SystemColor(kColorGrayText));
    }
    SetBackMode(dc, BackMode::Transparent);
    SetTextColor(dc, SystemColor(IsWindowEnabled(w) ? kColorStaticText : kColorGrayText));
    const Rect text{box.right + 4 * s, rc.top, rc.right, rc.bottom};
    DrawTextIn(dc, GetWindowText(w), text, kTextVCenter | kTextSingleLine);
    if (GetFocus() == w) DrawFocusRect(dc, text);
}

// What a click does to a check box before the command goes out.
void ClickCheck(Window w, ButtonData& b) {
    const std::uint32_t style = GetWindowStyle(w);
    if (style & kStyleRadio) {
        b.check = static_cast<int>(kChecked);
        for (Window sibling : ChildWindows(GetParent(w))) {
            if (sibling == w || GetWindowKind(sibling) != WindowKind::Button) continue;
            if (!(GetWindowStyle(sibling) & kStyleRadio)) continue;
            SendMessage(sibling, kMsgSetCheck, static_cast<WParam>(kUnchecked), 0);
        }
        return;
    }
    b.check = b.check == static_cast<int>(kUnchecked) ? static_cast<int>(kChecked) : static_cast<int>(kUnchecked);
}

// The click: state first, then the command, after which the button may be gone.
void Click(Window w) {
    if (ButtonData* b = buttons.Find(w); b && IsCheckKind(w)) ClickCheck(w, *b);
    InvalidateRect(w, nullptr, false);
    const Window parent = GetParent(w);
    SendMessage(parent, kMsgCommand, MakeLong(GetWindowId(w), 0), ToParam(w));
}

// ---- Edit boxes ------------------------------------------------------------------------

struct EditData {
    std::size_t caret = 0;
    bool allSelected = false;  // the whole text, which the next character replaces
    bool focused = false;
    bool caretOn = false;
    int firstLine = 0;
    int scrollX = 0;
};
Table<EditData> edits;

struct Line {
    std::size_t start = 0;
    std::size_t length = 0;
};

int Margin() { return 2 * ScreenScale(); }

// Text widths are sums of character advances, so the advances of each font are measured
// once; layouts then cost additions, not a measurement per prefix.
struct Advances {
    int width[256];
};
std::unordered_map<std::uint64_t, Advances> advanceCache;

const Advances& AdvancesOf(Dc dc) {
    const GfxObject font = CurrentObject(dc, ObjectKind::Font);
    auto it = advanceCache.find(font.value);
    if (it != advanceCache.end()) return it->second;
    if (advanceCache.size() >= 16) advanceCache.clear();
    Advances& a = advanceCache[font.value];
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        a.width[c] = TextExtent(dc, std::string_view(&ch, 1)).width;
    }
    return a;
}

int Width(Dc dc, const std::string& text, std::size_t start, std::size_t count) {
    if (count == 0) return 0;
    const Advances& a = AdvancesOf(dc);
    int w = 0;
    for (std::size_t i = start; i < start + count && i < text.size(); ++i) w += a.width[static_cast<unsigned char>(text[i])];
    return w;
}

bool IsMultiLine(Window w) { return (GetWindowStyle(w) & kStyleMultiLine) != 0; }

// Greedy word wrap into lines of at most `width` pixels; a word longer than a line is cut
// between characters. Line starts are byte offsets; newlines end lines and belong to none.
std::vector<Line> Layout(Window w, Dc dc, const std::string& text) {
    std::vector<Line> lines;
    if (!IsMultiLine(w)) {
        lines.push_back(Line{0, text.size()});
        return lines;
    }
    const int width = std::max(1, GetClientRect(w).Width() - 2 * Margin());
    std::size_t pos = 0;
    for (;;) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::size_t paraEnd = end;
        if (paraEnd > pos && text[paraEnd - 1] == '\r') --paraEnd;
        std::size_t start = pos;
        if (start == paraEnd) lines.push_back(Line{start, 0});
        while (start < paraEnd) {
            std::size_t fit = start;
            std::size_t lastBlank = std::string::npos;
            while (fit < paraEnd && Width(dc, text, start, fit - start + 1) <= width) {
                if (text[fit] == ' ') lastBlank = fit;
                ++fit;
            }
            if (fit == paraEnd) {
                lines.push_back(Line{start, paraEnd - start});
                break;
            }
            std::size_t next;
            if (text[fit] == ' ') {
                next = fit + 1;  // the blank at the break is swallowed
            } else if (lastBlank != std::string::npos) {
                fit = lastBlank;
                next = lastBlank + 1;
            } else {
                if (fit == start) fit = start + 1;
                next = fit;
            }
            lines.push_back(Line{start, fit - start});
            start = next;
            if (start >= paraEnd) {
                // The break fell on the last blank: the caret after it has a line of its own.
                lines.push_back(Line{paraEnd, 0});
                break;
            }
        }
        if (end >= text.size()) break;
        pos = end + 1;
    }
    if (lines.empty()) lines.push_back(Line{0, 0});
    return lines;
}

// The line holding a caret offset: at a wrap the caret belongs to the later line.
int LineOf(const std::vector<Line>& lines, std::size_t caret) {
    int found = 0;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (lines[i].start <= caret) found = i;
        else break;
    }
    return found;
}

int LineHeight(Dc dc) { return std::max(1, GetTextMetrics(dc).height); }

// A context for measuring outside a paint.
struct MeasureDc {
    Window w;
    Dc dc;
    explicit MeasureDc(Window window) : w(window), dc(GetWindowDc(window)) {}
    ~MeasureDc() { ReleaseDc(w, dc); }
    MeasureDc(const MeasureDc&) = delete;
    MeasureDc& operator=(const MeasureDc&) = delete;
};

// Keeps the caret inside the box by scrolling.
void ScrollToCaret(Window w, Dc dc, EditData& e) {
    const std::string text = GetWindowText(w);
    e.caret = std::min(e.caret, text.size());
    const std::vector<Line> lines = Layout(w, dc, text);
    const Rect rc = GetClientRect(w);
    if (IsMultiLine(w)) {
        const int visible = std::max(1, (rc.Height() - 2 * Margin()) / LineHeight(dc));
        const int line = LineOf(lines, e.caret);
        if (line < e.firstLine) e.firstLine = line;
        if (line >= e.firstLine + visible) e.firstLine = line - visible + 1;
        e.firstLine = std::clamp(e.firstLine, 0, std::max(0, static_cast<int>(lines.size()) - 1));
        e.scrollX = 0;
    } else {
        const int inner = std::max(1, rc.Width() - 2 * Margin());
        const int x = Width(dc, text, 0, e.caret);
        if (x < e.scrollX) e.scrollX = x;
        if (x > e.scrollX + inner - 1) e.scrollX = x - inner + 1;
        e.scrollX = std::max(0, e.scrollX);
    }
}

void ShowCaretNow(Window w, EditData& e) {
    if (!e.focused) return;
    e.caretOn = true;
    SetTimer(w, kCaretTimerId, kCaretBlinkMs);
}

void PaintEdit(Window w, Dc dc, EditData& e) {
    const Rect rc = GetClientRect(w);
    const std::uint32_t style = GetWindowStyle(w);
    Fill(dc, rc, SystemColor(kColorWindow));
    if (style & kStyleBorder) DrawEdge(dc, rc);
    const std::string text = GetWindowText(w);
    const std::vector<Line> lines = Layout(w, dc, text);
    const int m = Margin();
    const int lh = LineHeight(dc);
    IntersectClip(dc, Deflate(rc, style & kStyleBorder ? 1 : 0));
    SetBackMode(dc, BackMode::Transparent);
    SetTextColor(dc, SystemColor(IsWindowEnabled(w) ? kColorWindowText : kColorGrayText));
    const int first = IsMultiLine(w) ? std::min(e.firstLine, static_cast<int>(lines.size()) - 1) : 0;
    const bool selected = e.allSelected && !text.empty();
    if (selected) SetTextColor(dc, SystemColor(kColorHighlightText));
    for (int i = std::max(0, first); i < static_cast<int>(lines.size()); ++i) {
        const int y = m + (i - first) * lh;
        if (y >= rc.bottom) break;
        if (!lines[i].length) continue;
        if (selected) {
            const int x = m - e.scrollX;
            Fill(dc, Rect{x, y, x + Width(dc, text, lines[i].start, lines[i].length), y + lh}, SystemColor(kColorHighlight));
        }
        TextOut(dc, m - e.scrollX, y, std::string_view(text).substr(lines[i].start, lines[i].length));
    }
    if (e.focused && e.caretOn) {
        const int line = LineOf(lines, std::min(e.caret, text.size()));
        const int x = m - e.scrollX + Width(dc, text, lines[line].start, std::min(e.caret, text.size()) - lines[line].start);
        const int y = m + (line - first) * lh;
        Fill(dc, Rect{x, y, x + std::max(1, ScreenScale()), y + lh}, SystemColor(kColorWindowText));
    }
}

// The caret offset nearest a point of the box.
std::size_t OffsetAt(Window w, Dc dc, const EditData& e, Point p) {
    const std::string text = GetWindowText(w);
    const std::vector<Line> lines = Layout(w, dc, text);
    const int lh = LineHeight(dc);
    int line = 0;
    if (IsMultiLine(w)) {
        const int rel = p.y - Margin();
        line = e.firstLine + (rel < 0 ? 0 : rel / lh);
        line = std::clamp(line, 0, static_cast<int>(lines.size()) - 1);
    }
    const Line& l = lines[line];
    const int x = p.x - Margin() + e.scrollX;
    std::size_t best = l.start;
    int bestDistance = std::abs(x);
    for (std::size_t n = 1; n <= l.length; ++n) {
        const int d = std::abs(Width(dc, text, l.start, n) - x);
        if (d < bestDistance) {
            bestDistance = d;
            best = l.start + n;
        }
    }
    return best;
}

void StoreText(Window w, const std::string& text) { DefWindowProc(w, kMsgSetText, 0, reinterpret_cast<LParam>(text.c_str())); }

// One step left or right, taking a CR LF pair as one.
std::size_t StepLeft(const std::string& t, std::size_t c) {
    if (c == 0) return 0;
    if (c >= 2 && t[c - 1] == '\n' && t[c - 2] == '\r') return c - 2;
    return c - 1;
}
std::size_t StepRight(const std::string& t, std::size_t c) {
    if (c >= t.size()) return t.size();
    if (t[c] == '\r' && c + 1 < t.size() && t[c + 1] == '\n') return c + 2;
    return c + 1;
}

void EditKey(Window w, int key) {
    EditData& e = edits.Of(w);
    std::string text = GetWindowText(w);
    e.caret = std::min(e.caret, text.size());
    const bool readOnly = (GetWindowStyle(w) & kStyleReadOnly) != 0;
    MeasureDc m(w);
    const std::vector<Line> lines = Layout(w, m.dc, text);
    const int line = LineOf(lines, e.caret);
    bool changed = false;
    switch (key) {
        case kKeyLeft: case kKeyRight: case kKeyHome: case kKeyEnd: case kKeyUp: case kKeyDown:
        case kKeyBack: case kKeyDelete: case kKeyReturn: break;
        default: return;  // a character key: its character follows
    }
    // Moving and Backspace keep the selected text to be edited; Delete removes it.
    const bool wasSelected = std::exchange(e.allSelected, false);
    if (wasSelected && key == kKeyDelete && !readOnly) {
        text.clear();
        e.caret = 0;
        StoreText(w, text);
        ScrollToCaret(w, m.dc, e);
        ShowCaretNow(w, e);
        InvalidateRect(w, nullptr, false);
        return;
    }
    if (wasSelected) InvalidateRect(w, nullptr, false);
    switch (key) {
        case kKeyLeft: e.caret = StepLeft(text, e.caret); break;
        case kKeyRight: e.caret = StepRight(text, e.caret); break;
        case kKeyHome: e.caret = lines[line].start; break;
        case kKeyEnd: e.caret = lines[line].start + lines[line].length; break;
        case kKeyUp:
        case kKeyDown: {
            if (!IsMultiLine(w)) return;
            const int target = line + (key == kKeyUp ? -1 : 1);
            if (target < 0 || target >= static_cast<int>(lines.size())) break;
            const int x = Width(m.dc, text, lines[line].start, e.caret - lines[line].start);
            std::size_t best = lines[target].start;
            int bestDistance = x;
            for (std::size_t n = 1; n <= lines[target].length; ++n) {
                const int d = std::abs(Width(m.dc, text, lines[target].start, n) - x);
                if (d < bestDistance) {
                    bestDistance = d;
                    best = lines[target].start + n;
                }
            }
            e.caret = best;
            break;
        }
        case kKeyBack:
            if (readOnly || e.caret == 0) break;
            {
                const std::size_t from = StepLeft(text, e.caret);
                text.erase(from, e.caret - from);
                e.caret = from;
                changed = true;
            }
            break;
        case kKeyDelete:
            if (readOnly || e.caret >= text.size()) break;
            text.erase(e.caret, StepRight(text, e.caret) - e.caret);
            changed = true;
            break;
        case kKeyReturn:
            if (readOnly || !IsMultiLine(w) || !(GetWindowStyle(w) & kStyleWantReturn) || text.size() >= kEditLimit) return;
            text.insert(e.caret, 1, '\n');
            ++e.caret;
            changed = true;
            break;
        default: return;
    }
    if (changed) StoreText(w, text);
    ScrollToCaret(w, m.dc, e);
    ShowCaretNow(w, e);
    InvalidateRect(w, nullptr, false);
}

void EditChar(Window w, unsigned char ch) {
    if (ch < 0x20 || ch == 0x7F) return;  // control keys arrive as key presses
    if (GetWindowStyle(w) & kStyleReadOnly) return;
    EditData& e = edits.Of(w);
    std::string text = GetWindowText(w);
    if (std::exchange(e.allSelected, false)) {
        text.clear();
        e.caret = 0;
    }
    if (text.size() >= kEditLimit) return;
    e.caret = std::min(e.caret, text.size());
    text.insert(e.caret, 1, static_cast<char>(ch));
    ++e.caret;
    StoreText(w, text);
    MeasureDc m(w);
    ScrollToCaret(w, m.dc, e);
    ShowCaretNow(w, e);
    InvalidateRect(w, nullptr, false);
}

}  // namespace

// ---- Procedures ------------------------------------------------------------------------

LResult ButtonProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    switch (message) {
        case kMsgPaint: {
            ButtonData& b = buttons.Of(w);
            Dc dc = BeginPaint(w, nullptr);
            if (IsCheckKind(w)) PaintCheckBox(w, dc, b);
            else PaintPushButton(w, dc, b);
            EndPaint(w, dc);
            return 0;
        }
        case kMsgEraseBackground: return 1;
        case kMsgPenDown:
        case kMsgPenDoubleTap: {
            ButtonData& b = buttons.Of(w);
            b.pressed = b.tracking = true;
            InvalidateRect(w, nullptr, false);
            return 0;
        }
        case kMsgPenMove: {
            ButtonData* b = buttons.Find(w);
            if (!b || !b->tracking) return 0;
            const bool inside = GetClientRect(w).Contains(PointFromParam(lParam));
            if (inside != b->pressed) {
                b->pressed = inside;
                InvalidateRect(w, nullptr, false);
            }
            return 0;
        }
        case kMsgPenUp: {
            ButtonData* b = buttons.Find(w);
            if (!b || !b->tracking) return 0;
            b->pressed = b->tracking = false;
            InvalidateRect(w, nullptr, false);
            if (GetClientRect(w).Contains(PointFromParam(lParam))) Click(w);
            return 0;
        }
        case kMsgKeyDown:
            if (static_cast<int>(wParam) == kKeySpace) {
                Click(w);
                return 0;
            }
            break;
        case kMsgSetFocus:
        case kMsgKillFocus:
            InvalidateRect(w, nullptr, false);
            return 0;
        case kMsgGetCheck: {
            ButtonData* b = buttons.Find(w);
            return b ? b->check : static_cast<LResult>(kUnchecked);
        }
        case kMsgSetCheck: {
            ButtonData& b = buttons.Of(w);
            const int state = std::clamp(static_cast<int>(wParam), 0, 2);
            if (state != b.check) {
                b.check = state;
                InvalidateRect(w, nullptr, false);
            }
            return 0;
        }
        case kMsgSetText: {
            const LResult r = DefWindowProc(w, message, wParam, lParam);
            InvalidateRect(w, nullptr, false);
            return r;
        }
        case kMsgDestroy:
            buttons.Forget(w);
            break;
        default: break;
    }
    return DefWindowProc(w, message, wParam, lParam);
}

LResult StaticProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    switch (message) {
        case kMsgPaint: {
            Dc dc = BeginPaint(w, nullptr);
            const Rect rc = GetClientRect(w);
            const std::uint32_t style = GetWindowStyle(w);
            Fill(dc, rc, SystemColor(kColorStatic));
            SetBackMode(dc, BackMode::Transparent);
            SetTextColor(dc, SystemColor(IsWindowEnabled(w) ? kColorStaticText : kColorGrayText));
            const std::string text = GetWindowText(w);
            Rect box = rc;
            unsigned flags = kTextWordBreak;
            if (style & kStyleCenter) {
                flags |= kTextCenter;
            } else if ((style & kStyleRight) && text.find('\n') == std::string::npos) {
                // One line pushed against the right edge; "&" prefixes do not draw.
                std::string shown;
                for (std::size_t i = 0; i < text.size(); ++i) {
                    if (text[i] == '&' && i + 1 < text.size()) ++i;
                    shown += text[i];
                }
                const int width = TextExtent(dc, shown).width;
                if (width < rc.Width()) box.left = rc.right - width;
                flags = kTextSingleLine;
            }
            DrawTextIn(dc, text, box, flags);
            EndPaint(w, dc);
            return 0;
        }
        case kMsgEraseBackground: return 1;
        case kMsgSetText: {
            const LResult r = DefWindowProc(w, message, wParam, lParam);
            InvalidateRect(w, nullptr, false);
            return r;
        }
        default: break;
    }
    return DefWindowProc(w, message, wParam, lParam);
}

LResult EditProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    switch (message) {
        case kMsgCreate:
            edits.Of(w).caret = GetWindowText(w).size();
            break;
        case kMsgPaint: {
            EditData& e = edits.Of(w);
            Dc dc = BeginPaint(w, nullptr);
            PaintEdit(w, dc, e);
            EndPaint(w, dc);
            return 0;
        }
        case kMsgEraseBackground: return 1;
        case kMsgPenDown:
        case kMsgPenDoubleTap: {
            SetFocus(w);
            if (!IsWindow(w)) return 0;
            EditData& e = edits.Of(w);
            MeasureDc m(w);
            e.allSelected = false;
            e.caret = OffsetAt(w, m.dc, e, PointFromParam(lParam));
            ScrollToCaret(w, m.dc, e);
            ShowCaretNow(w, e);
            InvalidateRect(w, nullptr, false);
            return 0;
        }
        case kMsgPenMove:
        case kMsgPenUp: return 0;
        case kMsgKeyDown:
            EditKey(w, static_cast<int>(wParam));
            return 0;
        case kMsgChar:
            EditChar(w, static_cast<unsigned char>(wParam));
            return 0;
        case kMsgSetFocus: {
            EditData& e = edits.Of(w);
            e.focused = true;
            ShowCaretNow(w, e);
            InvalidateRect(w, nullptr, false);
            return 0;
        }
        case kMsgKillFocus: {
            EditData& e = edits.Of(w);
            e.focused = false;
            e.caretOn = false;
            KillTimer(w, kCaretTimerId);
            InvalidateRect(w, nullptr, false);
            return 0;
        }
        case kMsgTimer:
            if (wParam == kCaretTimerId) {
                EditData& e = edits.Of(w);
                if (!e.focused) {
                    KillTimer(w, kCaretTimerId);
                    return 0;
                }
                e.caretOn = !e.caretOn;
                InvalidateRect(w, nullptr, false);
                return 0;
            }
            break;
        case kMsgSetText: {
            const LResult r = DefWindowProc(w, message, wParam, lParam);
            EditData& e = edits.Of(w);
            e.caret = GetWindowText(w).size();
            e.allSelected = false;
            e.firstLine = 0;
            e.scrollX = 0;
            MeasureDc m(w);
            ScrollToCaret(w, m.dc, e);
            InvalidateRect(w, nullptr, false);
            return r;
        }
        case kMsgDestroy:
            KillTimer(w, kCaretTimerId);
            edits.Forget(w);
            break;
        default: break;
    }
    return DefWindowProc(w, message, wParam, lParam);
}

void InstallStandardControls() {
    SetKindProc(WindowKind::Button, &ButtonProc);
    SetKindProc(WindowKind::Static, &StaticProc);
    SetKindProc(WindowKind::Edit, &EditProc);
}

namespace {
// Linking the controls in installs them: every dialog the program makes has them.
const bool controlsInstalled = (InstallStandardControls(), true);
}  // namespace

std::size_t GetEditCaret(Window edit) {
    EditData* e = edits.Find(edit);
    return e ? e->caret : 0;
}

void SetEditCaret(Window edit, std::size_t offset) {
    if (!IsWindow(edit)) return;
    EditData& e = edits.Of(edit);
    e.caret = std::min(offset, GetWindowText(edit).size());
    MeasureDc m(edit);
    ScrollToCaret(edit, m.dc, e);
    ShowCaretNow(edit, e);
    InvalidateRect(edit, nullptr, false);
}

void SelectAllEditText(Window edit) {
    if (!IsWindow(edit)) return;
    EditData& e = edits.Of(edit);
    e.allSelected = !GetWindowText(edit).empty();
    SetEditCaret(edit, GetWindowText(edit).size());
}

bool EditTextSelected(Window edit) {
    EditData* e = edits.Find(edit);
    return e && e->allSelected;
}

bool EditCaretShown(Window edit) {
    EditData* e = edits.Find(edit);
    return e && e->focused && e->caretOn;
}

int EditFirstLine(Window edit) {
    EditData* e = edits.Find(edit);
    return e ? e->firstLine : 0;
}

int EditLineCount(Window edit) {
    if (!IsWindow(edit)) return 0;
    MeasureDc m(edit);
    return static_cast<int>(Layout(edit, m.dc, GetWindowText(edit)).size());
}

bool ButtonIsPressed(Window button) {
    ButtonData* b = buttons.Find(button);
    return b && b->pressed;
}

}  // namespace platform
