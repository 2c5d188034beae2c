#include "platform/list_view.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/messages.h"
#include "platform/system_colors.h"

namespace platform {

namespace {

constexpr unsigned kRepeatFirstMs = 400;
constexpr unsigned kRepeatNextMs = 100;

struct Row {
    std::string text;
    bool hasText = false;
    unsigned state = 0;
};

enum class Track { None, ArrowUp, ArrowDown, PageUp, PageDown, Thumb };

struct ListData {
    std::vector<Row> rows;
    int top = 0;
    int mark = -1;
    bool backSet = false, textSet = false, textBackSet = false;
    Color back = 0, text = 0, textBack = 0;
    unsigned extendedStyle = 0;
    int columnWidth = -1;   // -1: the whole row
    int rowHeight = 0;      // 0: not measured yet
    Track track = Track::None;
    int thumbGrab = 0;      // where on the thumb the pen took it
    Point pen{};
    bool repeating = false;
};

// Keyed by window, since the user data belongs to subclassers. Entries of windows that died
// without their destroy message reaching us are pruned as the table grows.
std::unordered_map<std::uint64_t, ListData> lists;

ListData* Find(Window w) {
    auto it = lists.find(w.value);
    return it == lists.end() ? nullptr : &it->second;
}

ListData& Of(Window w) {
    if (ListData* d = Find(w)) return *d;
    if (lists.size() >= 64) {
        for (auto i = lists.begin(); i != lists.end();) i = IsWindow(Window{i->first}) ? std::next(i) : lists.erase(i);
    }
    return lists[w.value];
}

int Count(const ListData& d) { return static_cast<int>(d.rows.size()); }
bool ValidRow(const ListData& d, int row) { return row >= 0 && row < Count(d); }

void Fill(Dc dc, const Rect& r, Color c) {
    if (r.Empty()) return;
    GfxObject brush = MakeBrush(c);
    FillRect(dc, r, brush);
    DeleteObject(brush);
}

Color BackOf(const ListData& d) { return d.backSet ? d.back : SystemColor(kColorWindow); }
Color TextOf(const ListData& d) { return d.textSet ? d.text : SystemColor(kColorWindowText); }
Color TextBackOf(const ListData& d) { return d.textBackSet ? d.textBack : BackOf(d); }

bool OwnerDrawn(Window w) { return (GetWindowStyle(w) & kStyleOwnerDraw) != 0; }

int RowHeight(Window w, ListData& d) {
    if (d.rowHeight > 0) return d.rowHeight;
    const Dc dc = GetWindowDc(w);
    int height = std::max(1, GetTextMetrics(dc).height) + ScreenScale();
    ReleaseDc(w, dc);
    if (OwnerDrawn(w)) {
        MeasureItemInfo info;
        info.controlId = GetWindowId(w);
        info.item = 0;
        info.width = GetClientRect(w).Width();
        info.height = height;
        SendMessage(GetParent(w), kMsgMeasureItem, info.controlId, reinterpret_cast<LParam>(&info));
        if (info.height > 0) height = info.height;
    }
    // The owner may have destroyed the list meanwhile.
    if (ListData* again = Find(w)) again->rowHeight = height;
    return height;
}

bool Bordered(Window w) { return (GetWindowStyle(w) & kStyleBorder) != 0; }

// The rows' and the scroll bar's part of the window: all of it but the frame of a list
// with a border.
Rect Inside(Window w) {
    Rect rc = GetClientRect(w);
    if (Bordered(w) && rc.Width() > 2 && rc.Height() > 2) rc = Rect{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
    return rc;
}

// Whole rows that fit inside.
int RowsPerPage(Window w, ListData& d) { return Inside(w).Height() / RowHeight(w, d); }

bool BarShown(Window w, ListData& d) { return Count(d) > RowsPerPage(w, d); }

// The rows' part of the client area: the inside but the scroll bar.
Rect RowArea(Window w, ListData& d) {
    Rect rc = Inside(w);
    if (BarShown(w, d)) rc.right = std::max(rc.left, rc.right - ListScrollBarWidth());
    return rc;
}

int MaxTop(Window w, ListData& d) { return std::max(0, Count(d) - std::max(1, RowsPerPage(w, d))); }

void ClampTop(Window w, ListData& d) { d.top = std::clamp(d.top, 0, MaxTop(w, d)); }

void SetTop(Window w, ListData& d, int top) {
    const int old = d.top;
    d.top = top;
    ClampTop(w, d);
    if (d.top != old) InvalidateRect(w, nullptr, false);
}

Rect RowRect(Window w, ListData& d, int row) {
    const int h = RowHeight(w, d);
    const Rect area = RowArea(w, d);
    const int y = area.top + (row - d.top) * h;
    return Rect{area.left, y, area.right, y + h};
}

void InvalidateRow(Window w, ListData& d, int row) {
    if (!ValidRow(d, row)) return;
    const Rect r = RowRect(w, d, row);
    InvalidateRect(w, &r, false);
}

void EnsureVisible(Window w, ListData& d, int row) {
    if (!ValidRow(d, row)) return;
    const int page = std::max(1, RowsPerPage(w, d));
    int top = d.top;
    if (row < top) top = row;
    else if (row >= top + page) top = row - page + 1;
    SetTop(w, d, top);
}

int HitTest(Window w, ListData& d, Point p) {
    const Rect area = RowArea(w, d);
    if (!area.Contains(p)) return -1;
    const int row = d.top + (p.y - area.top) / RowHeight(w, d);
    return ValidRow(d, row) ? row : -1;
}

void PaintNow(Window w) {
    if (IsWindowVisible(w) && HasUpdateRect(w)) SendMessage(w, kMsgPaint, 0, 0);
}

// Selected is exclusive: a row taking it takes it from the others.
void ApplyState(Window w, ListData& d, int row, unsigned state, unsigned mask) {
    auto apply = [&](int r) {
        const unsigned old = d.rows[r].state;
        d.rows[r].state = (old & ~mask) | (state & mask);
        if (d.rows[r].state != old) InvalidateRow(w, d, r);
    };
    if (row == -1) {
        for (int r = 0; r < Count(d); ++r) apply(r);
        return;
    }
    if ((mask & kItemSelected) && (state & kItemSelected)) {
        for (int r = 0; r < Count(d); ++r) {
            if (r != row && (d.rows[r].state & kItemSelected)) {
                d.rows[r].state &= ~(kItemSelected | kItemFocused);
                InvalidateRow(w, d, r);
            }
        }
    }
    apply(row);
}

// The text of a row: its own, or what the parent answers for a row without one.
std::string RowText(Window w, const ListData& d, int row) {
    if (d.rows[row].hasText) return d.rows[row].text;
    ListDisplayInfo info;
    info.header.from = w;
    info.header.id = GetWindowId(w);
    info.header.code = kNotifyListDisplayInfo;
    info.item = row;
    info.column = 0;
    SendMessage(GetParent(w), kMsgNotify, info.header.id, reinterpret_cast<LParam>(&info));
    return info.text;
}

// Row texts are shown as they are: "&" is no prefix here.
std::string Literal(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        out += c;
        if (c == '&') out += '&';
    }
    return out;
}

// ---- Scroll bar --------------------------------------------------------------------------

struct BarParts {
    Rect bar, up, down, track, thumb;
};

BarParts Parts(Window w, ListData& d) {
    const Rect rc = Inside(w);
    BarParts p;
    p.bar = Rect{std::max(rc.left, rc.right - ListScrollBarWidth()), rc.top, rc.right, rc.bottom};
    const int arrow = std::min(ListScrollBarWidth(), rc.Height() / 2);
    p.up = Rect{p.bar.left, rc.top, p.bar.right, rc.top + arrow};
    p.down = Rect{p.bar.left, rc.bottom - arrow, p.bar.right, rc.bottom};
    p.track = Rect{p.bar.left, rc.top + arrow, p.bar.right, rc.bottom - arrow};
    const int count = std::max(1, Count(d));
    const int page = std::max(1, RowsPerPage(w, d));
    const int length = p.track.Height();
    const int minimum = std::min(length, 8 * ScreenScale());
    const int thumb = std::clamp(length * page / count, minimum, length);
    const int maxTop = MaxTop(w, d);
    const int at = maxTop > 0 ? (length - thumb) * d.top / maxTop : 0;
    p.thumb = Rect{p.bar.left, p.track.top + at, p.bar.right, p.track.top + at + thumb};
    return p;
}

void DrawArrow(Dc dc, const Rect& box, bool up) {
    Fill(dc, box, SystemColor(kColorButtonFace));
    DrawEdge(dc, box);
    const int size = std::max(1, std::min(box.Width(), box.Height()) / 3);
    const int cx = (box.left + box.right) / 2;
    const int cy = (box.top + box.bottom) / 2;
    const Color ink = SystemColor(kColorButtonText);
    // A triangle of rows growing from its point.
    for (int i = 0; i < size; ++i) {
        const int y = up ? cy - size / 2 + i : cy + size / 2 - i;
        Fill(dc, Rect{cx - i, y, cx + i + 1, y + 1}, ink);
    }
}

void DrawBar(Window w, Dc dc, ListData& d) {
    const BarParts p = Parts(w, d);
    Fill(dc, p.bar, SystemColor(kColorScrollBar));
    DrawArrow(dc, p.up, true);
    DrawArrow(dc, p.down, false);
    if (p.track.Height() > 0) {
        Fill(dc, p.thumb, SystemColor(kColorButtonFace));
        DrawEdge(dc, p.thumb);
    }
}

// One step of the part the pen holds. False when the pen has left it (the repeat waits).
bool StepTrack(Window w, ListData& d) {
    const BarParts p = Parts(w, d);
    const int page = std::max(1, RowsPerPage(w, d));
    switch (d.track) {
        case Track::ArrowUp:
            if (!p.up.Contains(d.pen)) return false;
            SetTop(w, d, d.top - 1);
            return true;
        case Track::ArrowDown:
            if (!p.down.Contains(d.pen)) return false;
            SetTop(w, d, d.top + 1);
            return true;
        case Track::PageUp:
            if (!p.track.Contains(d.pen) || d.pen.y >= p.thumb.top) return false;
            SetTop(w, d, d.top - page);
            return true;
        case Track::PageDown:
            if (!p.track.Contains(d.pen) || d.pen.y < p.thumb.bottom) return false;
            SetTop(w, d, d.top + page);
            return true;
        default: return false;
    }
}

void DragThumb(Window w, ListData& d) {
    const BarParts p = Parts(w, d);
    const int room = p.track.Height() - p.thumb.Height();
    const int maxTop = MaxTop(w, d);
    if (room <= 0 || maxTop <= 0) return;
    const int offset = std::clamp(d.pen.y - d.thumbGrab - p.track.top, 0, room);
    SetTop(w, d, (offset * maxTop + room / 2) / room);
}

void PenDownOnBar(Window w, ListData& d, Point pt) {
    const BarParts p = Parts(w, d);
    d.pen = pt;
    if (p.up.Contains(pt)) d.track = Track::ArrowUp;
    else if (p.down.Contains(pt)) d.track = Track::ArrowDown;
    else if (pt.y < p.thumb.top) d.track = Track::PageUp;
    else if (pt.y >= p.thumb.bottom) d.track = Track::PageDown;
    else {
        d.track = Track::Thumb;
        d.thumbGrab = pt.y - p.thumb.top;
        return;
    }
    StepTrack(w, d);
    d.repeating = false;
    SetTimer(w, kListScrollTimerId, kRepeatFirstMs);
}

void EndTrack(Window w, ListData& d) {
    if (d.track != Track::None) KillTimer(w, kListScrollTimerId);
    d.track = Track::None;
    d.repeating = false;
}

// ---- Painting ----------------------------------------------------------------------------

void DrawTextRow(Dc dc, ListData& d, int row, const Rect& rect, const std::string& text) {
    const bool selected = (d.rows[row].state & kItemSelected) != 0;
    const bool fullRow = (d.extendedStyle & kListFullRowSelect) != 0;
    Fill(dc, rect, selected && fullRow ? SystemColor(kColorHighlight) : BackOf(d));
    Rect cell = rect;
    if (d.columnWidth >= 0) cell.right = std::min(cell.right, rect.left + d.columnWidth);
    const int margin = 2 * ScreenScale();
    const std::string shown = Literal(text);
    const int width = std::min(TextExtent(dc, text).width, std::max(0, cell.Width() - margin));
    const Rect behind{cell.left + margin, cell.top, cell.left + margin + width, cell.bottom};
    if (selected && !fullRow) Fill(dc, behind, SystemColor(kColorHighlight));
    else if (!selected) Fill(dc, behind, TextBackOf(d));
    SetBackMode(dc, BackMode::Transparent);
    SetTextColor(dc, selected ? SystemColor(kColorHighlightText) : TextOf(d));
    DrawTextIn(dc, shown, Rect{cell.left + margin, cell.top, cell.right, cell.bottom}, kTextVCenter | kTextSingleLine);
}

void Paint(Window w) {
    Dc dc = BeginPaint(w, nullptr);
    ListData* d = Find(w);
    if (!d) {
        EndPaint(w, dc);
        return;
    }
    ClampTop(w, *d);
    const Rect area = RowArea(w, *d);
    const int height = RowHeight(w, *d);
    const bool owner = OwnerDrawn(w);
    const Window parent = GetParent(w);
    int y = area.top;
    for (int row = d->top; y < area.bottom; ++row, y += height) {
        if (!ValidRow(*d, row)) break;
        const Rect rect{area.left, y, area.right, y + height};
        if (owner) {
            DrawItemInfo info;
            info.controlId = GetWindowId(w);
            info.item = row;
            info.action = kDrawEntire;
            info.state = (d->rows[row].state & kItemSelected) ? kStateSelected : 0;
            if ((d->rows[row].state & kItemFocused) && GetFocus() == w) info.state |= kStateFocus;
            info.window = w;
            info.dc = dc.value;
            info.rect = rect;
            SendMessage(parent, kMsgDrawItem, info.controlId, reinterpret_cast<LParam>(&info));
        } else {
            const std::string text = RowText(w, *d, row);
            d = Find(w);
            if (!d || !ValidRow(*d, row)) break;
            DrawTextRow(dc, *d, row, rect, text);
        }
        // The owner may change or destroy the list from its handlers.
        d = Find(w);
        if (!d) break;
    }
    if (d) {
        if (y < area.bottom) Fill(dc, Rect{area.left, y, area.right, area.bottom}, BackOf(*d));
        if (BarShown(w, *d)) DrawBar(w, dc, *d);
    }
    if (Bordered(w)) {
        // A one-pixel frame in the window-frame colour.
        const Rect rc = GetClientRect(w);
        const Color frame = SystemColor(kColorWindowFrame);
        Fill(dc, Rect{rc.left, rc.top, rc.right, rc.top + 1}, frame);
        Fill(dc, Rect{rc.left, rc.bottom - 1, rc.right, rc.bottom}, frame);
        Fill(dc, Rect{rc.left, rc.top, rc.left + 1, rc.bottom}, frame);
        Fill(dc, Rect{rc.right - 1, rc.top, rc.right, rc.bottom}, frame);
    }
    EndPaint(w, dc);
}

// ---- Rows ----------------------------------------------------------------------------------

int InsertRow(Window w, ListData& d, WParam where, const char* text) {
    const int at = where > static_cast<WParam>(Count(d)) ? Count(d) : static_cast<int>(where);
    Row r;
    r.hasText = text != nullptr;
    if (text) r.text = text;
    d.rows.insert(d.rows.begin() + at, std::move(r));
    if (d.mark >= at) ++d.mark;
    InvalidateRect(w, nullptr, false);
    return at;
}

// Rows without text are added or taken away at the end; rows with text stay.
void SetCount(Window w, ListData& d, int n) {
    n = std::max(0, n);
    while (Count(d) > n && !d.rows.back().hasText) d.rows.pop_back();
    while (Count(d) < n) d.rows.push_back(Row{});
    if (d.mark >= Count(d)) d.mark = -1;
    ClampTop(w, d);
    InvalidateRect(w, nullptr, false);
}

}  // namespace

int ListScrollBarWidth() { return 13 * ScreenScale(); }

int ListRowHeight(Window list) {
    if (GetWindowKind(list) != WindowKind::ListView) return 0;
    return RowHeight(list, Of(list));
}

bool ListScrollBarShown(Window list) {
    if (GetWindowKind(list) != WindowKind::ListView) return false;
    return BarShown(list, Of(list));
}

bool ListPointOnScrollBar(Window list, Point client) {
    if (!ListScrollBarShown(list)) return false;
    const Rect rc = Inside(list);
    return rc.Contains(client) && client.x >= rc.right - ListScrollBarWidth();
}

LResult ListViewProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    if (message == kMsgDestroy) {
        KillTimer(w, kListScrollTimerId);
        lists.erase(w.value);
        return DefWindowProc(w, message, wParam, lParam);
    }
    if (!IsWindow(w)) return 0;
    ListData& d = Of(w);
    switch (message) {
        case kMsgPaint:
            Paint(w);
            return 0;
        case kMsgEraseBackground: return 1;

        case kMsgPenDown:
        case kMsgPenDoubleTap: {
            const Point p = PointFromParam(lParam);
            if (ListPointOnScrollBar(w, p)) {
                PenDownOnBar(w, d, p);
                return 0;
            }
            SetFocus(w);
            ListData* again = Find(w);
            if (!again) return 0;
            const int row = HitTest(w, *again, p);
            if (row >= 0) {
                ApplyState(w, *again, row, kItemSelected | kItemFocused, kItemSelected | kItemFocused);
                again->mark = row;
                EnsureVisible(w, *again, row);
            }
            return 0;
        }
        case kMsgPenMove:
            if (d.track == Track::None) return 0;
            d.pen = PointFromParam(lParam);
            if (d.track == Track::Thumb) DragThumb(w, d);
            return 0;
        case kMsgPenUp:
            EndTrack(w, d);
            return 0;
        case kMsgTimer:
            if (wParam != kListScrollTimerId) break;
            if (d.track == Track::None || !(KeyIsDown(kKeyPen) || AsyncKeyIsDown(kKeyPen))) {
                EndTrack(w, d);
                return 0;
            }
            StepTrack(w, d);
            if (!d.repeating) {
                d.repeating = true;
                SetTimer(w, kListScrollTimerId, kRepeatNextMs);
            }
            return 0;

        case kMsgListSetBackColor:
            d.back = static_cast<Color>(lParam);
            d.backSet = true;
            InvalidateRect(w, nullptr, false);
            return 1;
        case kMsgListSetTextColor:
            d.text = static_cast<Color>(lParam);
            d.textSet = true;
            InvalidateRect(w, nullptr, false);
            return 1;
        case kMsgListSetTextBackColor:
            d.textBack = static_cast<Color>(lParam);
            d.textBackSet = true;
            InvalidateRect(w, nullptr, false);
            return 1;
        case kMsgListGetItemCount: return Count(d);
        case kMsgListInsertItem: return InsertRow(w, d, wParam, reinterpret_cast<const char*>(lParam));
        case kMsgListDeleteAll:
            d.rows.clear();
            d.mark = -1;
            d.top = 0;
            InvalidateRect(w, nullptr, false);
            return 1;
        case kMsgListSetItemCount:
            SetCount(w, d, static_cast<int>(wParam));
            return 1;
        case kMsgListSetItemText: {
            const int row = static_cast<int>(wParam);
            if (!ValidRow(d, row)) return 0;
            const char* text = reinterpret_cast<const char*>(lParam);
            d.rows[row].hasText = text != nullptr;
            d.rows[row].text = text ? text : "";
            InvalidateRow(w, d, row);
            return 1;
        }
        case kMsgListGetItemText: {
            const int row = static_cast<int>(wParam);
            auto* out = reinterpret_cast<std::string*>(lParam);
            if (!out) return 0;
            out->clear();
            if (!ValidRow(d, row)) return 0;
            *out = RowText(w, d, row);
            return static_cast<LResult>(out->size());
        }
        case kMsgListGetNextItem: {
            const unsigned mask = static_cast<unsigned>(lParam);
            for (int row = static_cast<int>(wParam) + 1; row < Count(d); ++row) {
                if (row < 0) continue;
                if (mask == 0 || (d.rows[row].state & mask)) return row;
            }
            return -1;
        }
        case kMsgListSetItemState: {
            const int row = static_cast<int>(wParam);
            if (row != -1 && !ValidRow(d, row)) return 0;
            const auto packed = static_cast<std::uintptr_t>(lParam);
            ApplyState(w, d, row, LowWord(packed), HighWord(packed));
            return 1;
        }
        case kMsgListGetItemState: {
            const int row = static_cast<int>(wParam);
            if (!ValidRow(d, row)) return 0;
            return static_cast<LResult>(d.rows[row].state & static_cast<unsigned>(lParam));
        }
        case kMsgListGetSelectionMark: return d.mark;
        case kMsgListSetSelectionMark: {
            const int previous = d.mark;
            d.mark = static_cast<int>(lParam);
            return previous;
        }
        case kMsgListGetItemRect: {
            const int row = static_cast<int>(wParam);
            auto* out = reinterpret_cast<Rect*>(lParam);
            if (!out || !ValidRow(d, row)) return 0;
            ClampTop(w, d);
            *out = RowRect(w, d, row);
            return 1;
        }
        case kMsgListHitTest: {
            const auto* p = reinterpret_cast<const Point*>(lParam);
            if (!p) return -1;
            ClampTop(w, d);
            return HitTest(w, d, *p);
        }
        case kMsgListEnsureVisible:
            ClampTop(w, d);
            EnsureVisible(w, d, static_cast<int>(wParam));
            return 1;
        case kMsgListRedrawItems: {
            ClampTop(w, d);
            const int first = std::max(0, static_cast<int>(wParam));
            const int last = std::min(Count(d) - 1, static_cast<int>(lParam));
            for (int row = first; row <= last; ++row) InvalidateRow(w, d, row);
            return 1;
        }
        case kMsgListUpdate:
            ClampTop(w, d);
            InvalidateRow(w, d, static_cast<int>(wParam));
            PaintNow(w);
            return 1;
        case kMsgListInsertColumn:
            if (wParam == 0) {
                d.columnWidth = std::max(0, static_cast<int>(lParam));
                InvalidateRect(w, nullptr, false);
            }
            return static_cast<LResult>(wParam);
        case kMsgListGetTopIndex:
            ClampTop(w, d);
            return d.top;
        case kMsgListGetCountPerPage: return RowsPerPage(w, d);
        case kMsgListSetExtendedStyle: {
            const unsigned previous = d.extendedStyle;
            const unsigned mask = wParam == 0 ? ~0u : static_cast<unsigned>(wParam);
            d.extendedStyle = (previous & ~mask) | (static_cast<unsigned>(lParam) & mask);
            InvalidateRect(w, nullptr, false);
            return previous;
        }
        default: break;
    }
    return DefWindowProc(w, message, wParam, lParam);
}

void InstallListView() { SetKindProc(WindowKind::ListView, &ListViewProc); }

namespace {
// Linking the list view in installs it: every dialog the program makes has it.
const bool listViewInstalled = (InstallListView(), true);
}  // namespace

}  // namespace platform
