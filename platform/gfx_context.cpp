#include "platform/gfx_context.h"

#include <algorithm>
#include <optional>
#include <string>

#include "platform/gfx_internal.h"
#include "platform/gfx_raster.h"
#include "platform/system_colors.h"
#include "platform/text_engine.h"
#include "platform/text_fonts.h"
#include "platform/window.h"

namespace platform {
namespace {

using gfx::Canvas;

struct DcData {
    std::uint32_t generation = 1;
    bool alive = false;
    bool memory = false;
    Window window;
    std::optional<Rect> paintArea;   // client coordinates, for BeginPaint contexts
    GfxObject bitmap, pen, brush, font;
    Color back = Rgb(255, 255, 255);
    Color text = 0;
    BackMode mode = BackMode::Opaque;
    Point position;
    bool hasClip = false;
    std::vector<Rect> clip;          // context coordinates
};

std::vector<DcData>& Table() {
    static std::vector<DcData> table;
    return table;
}

DcData* Find(Dc dc) {
    if (!dc) return nullptr;
    const std::uint64_t low = dc.value & 0xFFFFFFFFu;
    if (low == 0 || low > Table().size()) return nullptr;
    DcData& d = Table()[low - 1];
    if (!d.alive || d.generation != static_cast<std::uint32_t>(dc.value >> 32)) return nullptr;
    return &d;
}

void Hold(GfxObject& slot, GfxObject obj) {
    gfx::Retain(obj);
    gfx::Release(slot);
    slot = obj;
}

Dc NewDc(bool memory, Window w) {
    std::size_t index = 0;
    while (index < Table().size() && Table()[index].alive) ++index;
    if (index == Table().size()) Table().emplace_back();
    DcData& d = Table()[index];
    const std::uint32_t generation = d.generation;
    d = DcData{};
    d.generation = generation;
    d.alive = true;
    d.memory = memory;
    d.window = w;
    Hold(d.pen, StockObject(Stock::BlackPen));
    Hold(d.brush, StockObject(Stock::WhiteBrush));
    Hold(d.font, SystemFont(ScreenScale()));
    if (memory) Hold(d.bitmap, StockObject(Stock::DefaultBitmap));
    return Dc{(static_cast<std::uint64_t>(generation) << 32) | (index + 1)};
}

void Free(DcData& d) {
    gfx::Release(d.pen);
    gfx::Release(d.brush);
    gfx::Release(d.font);
    gfx::Release(d.bitmap);
    d.alive = false;
    d.clip.clear();
    if (++d.generation == 0) d.generation = 1;
}

std::vector<Rect> IntersectAll(const std::vector<Rect>& a, const Rect& r) {
    std::vector<Rect> out;
    for (const Rect& x : a) {
        Rect i = Intersect(x, r);
        if (!i.Empty()) out.push_back(i);
    }
    return out;
}

Rect Shift(const Rect& r, Point by) { return Rect{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

// Where a context's drawing lands now: its surface, origin and clip in surface terms.
std::optional<Canvas> CanvasOf(DcData& d) {
    Canvas c;
    std::vector<Rect> base;
    if (d.memory) {
        c.surface = gfx::SurfaceOf(d.bitmap);
        if (!c.surface || !c.surface->Valid()) return std::nullopt;
        base.push_back(Rect{0, 0, c.surface->width, c.surface->height});
    } else {
        c.surface = WindowSurface(d.window);
        if (!c.surface || !c.surface->Valid()) return std::nullopt;
        c.origin = WindowOrigin(d.window);
        // Drawing on a window outside a paint still has to reach the screen.
        MarkScreenChanged();
        for (Rect r : WindowVisibleRects(d.window)) {
            if (d.paintArea) r = Intersect(r, *d.paintArea);
            r = Intersect(Shift(r, c.origin), Rect{0, 0, c.surface->width, c.surface->height});
            if (!r.Empty()) base.push_back(r);
        }
    }
    if (d.hasClip) {
        for (const Rect& app : d.clip) {
            std::vector<Rect> part = IntersectAll(base, Shift(app, c.origin));
            c.clip.insert(c.clip.end(), part.begin(), part.end());
        }
    } else {
        c.clip = std::move(base);
    }
    return c;
}

// The source side of a blit: a surface and where the context's (0, 0) lies in it.
const Surface* SourceOf(DcData& d, Point* origin) {
    if (d.memory) {
        *origin = Point{};
        return gfx::SurfaceOf(d.bitmap);
    }
    *origin = WindowOrigin(d.window);
    return WindowSurface(d.window);
}

gfx::PenData PenOfDc(const DcData& d) {
    const gfx::PenData* p = gfx::PenOf(d.pen);
    return p ? *p : gfx::PenData{};
}

bool DrawLineWithPen(DcData& d, Point a, Point b, gfx::Dash& dash) {
    auto c = CanvasOf(d);
    if (!c) return false;
    const gfx::PenData pen = PenOfDc(d);
    if (pen.style == PenStyle::Null) return true;
    gfx::Line(*c, a, b, ColorToPixel(pen.color), dash);
    return true;
}

bool Shape(Dc dc, const Rect& r, int ew, int eh) {
    DcData* d = Find(dc);
    if (!d) return false;
    auto c = CanvasOf(*d);
    if (!c) return false;
    Rect box{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
             std::max(r.top, r.bottom)};
    const gfx::PenData pen = PenOfDc(*d);
    const gfx::BrushData* brush = gfx::BrushOf(d->brush);
    std::uint16_t penPixel = ColorToPixel(pen.color);
    std::uint16_t fillPixel = brush ? ColorToPixel(brush->color) : 0;
    gfx::RoundBox(*c, box, ew, eh, pen.style == PenStyle::Null ? nullptr : &penPixel,
                  (!brush || brush->hollow) ? nullptr : &fillPixel);
    return true;
}

bool BlitBetween(Dc dst, int x, int y, int w, int h, Dc src, int sx, int sy, int sw, int sh,
                 const std::uint16_t* key) {
    DcData* d = Find(dst);
    DcData* s = Find(src);
    if (!d || !s) return false;
    auto c = CanvasOf(*d);
    Point origin;
    const Surface* from = SourceOf(*s, &origin);
    if (!c || !from) return false;
    gfx::Blit(*c, x, y, w, h, *from, sx + origin.x, sy + origin.y, sw, sh, key);
    return true;
}

// Font and face of a context.
text::Face* FaceOfDc(const DcData& d, bool* symbol) {
    FontSpec desc;
    if (const FontSpec* f = gfx::FontOf(d.font)) desc = *f;
    if (desc.height == 0) desc.height = -12 * ScreenScale();
    if (symbol) *symbol = text::IsSymbolSpec(desc);
    return text::FaceFor(desc);
}

int Advance(text::Face* face, const std::u32string& chars) {
    int w = 0;
    for (char32_t ch : chars) w += text::GlyphOf(face, ch).advance;
    return w;
}

void DrawChars(Canvas& c, text::Face* face, const std::u32string& chars, int x, int y, const DcData& d) {
    const text::Metrics& m = text::MetricsOf(face);
    if (d.mode == BackMode::Opaque) gfx::FillBox(c, Rect{x, y, x + Advance(face, chars), y + m.height}, ColorToPixel(d.back));
    const std::uint16_t ink = ColorToPixel(d.text);
    const int baseline = y + m.ascent;
    int pen = x;
    for (char32_t ch : chars) {
        const text::Glyph& g = text::GlyphOf(face, ch);
        gfx::Stamp(c, pen + g.left, baseline - g.top, g.width, g.height, g.bits.data(), ink);
        pen += g.advance;
    }
}

// "&&" becomes "&", "&x" becomes "x".
std::string StripPrefixes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        else if (text[i] == '&') continue;
        out.push_back(text[i]);
    }
    return out;
}

// Splits a paragraph into lines no wider than `width`, breaking at blanks; a word wider
// than the line stands alone on its line.
void WrapParagraph(text::Face* face, const std::u32string& para, int width, std::vector<std::u32string>& lines) {
    std::size_t start = 0;
    const std::size_t n = para.size();
    if (n == 0) {
        lines.emplace_back();
        return;
    }
    while (start < n) {
        std::size_t pos = start;
        std::size_t lastFit = std::u32string::npos;
        int w = 0;
        while (pos < n) {
            // The next word and the blanks before it.
            std::size_t wordEnd = pos;
            while (wordEnd < n && para[wordEnd] == U' ') ++wordEnd;
            while (wordEnd < n && para[wordEnd] != U' ') ++wordEnd;
            const int add = Advance(face, para.substr(pos, wordEnd - pos));
            if (lastFit != std::u32string::npos && w + add > width) break;
            w += add;
            lastFit = wordEnd;
            pos = wordEnd;
        }
        std::u32string line = para.substr(start, lastFit - start);
        while (!line.empty() && line.back() == U' ') line.pop_back();
        lines.push_back(std::move(line));
        start = lastFit;
        while (start < n && para[start] == U' ') ++start;
    }
}

}  // namespace

Dc BeginPaint(Window w, Rect* updateArea) {
    if (!WindowSurface(w)) return Dc{};
    bool erase = false;
    Rect area = TakeUpdateRect(w, &erase);
    if (updateArea) *updateArea = area;
    Dc dc = NewDc(false, w);
    Find(dc)->paintArea = area;
    if (erase) SendMessage(w, kMsgEraseBackground, static_cast<WParam>(dc.value), 0);
    return dc;
}

bool EndPaint(Window, Dc dc) {
    DcData* d = Find(dc);
    if (!d || d->memory) return false;
    Free(*d);
    return true;
}

Dc GetWindowDc(Window w) {
    if (!WindowSurface(w)) return Dc{};
    return NewDc(false, w);
}

bool ReleaseDc(Window, Dc dc) { return EndPaint(Window{}, dc); }

Dc MakeMemoryDc(Dc) { return NewDc(true, Window{}); }

bool DeleteDc(Dc dc) {
    DcData* d = Find(dc);
    if (!d || !d->memory) return false;
    Free(*d);
    return true;
}

Window WindowOfDc(Dc dc) {
    DcData* d = Find(dc);
    return d ? d->window : Window{};
}

GfxObject SelectObject(Dc dc, GfxObject obj) {
    DcData* d = Find(dc);
    if (!d) return GfxObject{};
    GfxObject* slot = nullptr;
    switch (KindOf(obj)) {
        case ObjectKind::Pen: slot = &d->pen; break;
        case ObjectKind::Brush: slot = &d->brush; break;
        case ObjectKind::Font: slot = &d->font; break;
        case ObjectKind::Bitmap:
            if (!d->memory) return GfxObject{};
            slot = &d->bitmap;
            break;
        default: return GfxObject{};
    }
    GfxObject previous = *slot;
    // The previous object may go away on release (a deferred delete); its handle is
    // still what the caller needs to see, and is then stale.
    Hold(*slot, obj);
    return previous;
}

GfxObject CurrentObject(Dc dc, ObjectKind kind) {
    DcData* d = Find(dc);
    if (!d) return GfxObject{};
    switch (kind) {
        case ObjectKind::Pen: return d->pen;
        case ObjectKind::Brush: return d->brush;
        case ObjectKind::Font: return d->font;
        case ObjectKind::Bitmap: return d->bitmap;
        default: return GfxObject{};
    }
}

Color SetBackColor(Dc dc, Color c) {
    DcData* d = Find(dc);
    if (!d) return kNoColor;
    Color old = d->back;
    d->back = c & 0xFFFFFF;
    return old;
}

Color SetTextColor(Dc dc, Color c) {
    DcData* d = Find(dc);
    if (!d) return kNoColor;
    Color old = d->text;
    d->text = c & 0xFFFFFF;
    return old;
}

BackMode SetBackMode(Dc dc, BackMode m) {
    DcData* d = Find(dc);
    if (!d) return BackMode::Opaque;
    BackMode old = d->mode;
    d->mode = m;
    return old;
}

Color BackColor(Dc dc) {
    DcData* d = Find(dc);
    return d ? d->back : kNoColor;
}

Color TextColor(Dc dc) {
    DcData* d = Find(dc);
    return d ? d->text : kNoColor;
}

bool IntersectClip(Dc dc, const Rect& r) {
    DcData* d = Find(dc);
    if (!d) return false;
    if (!d->hasClip) {
        d->clip.clear();
        if (!r.Empty()) d->clip.push_back(r);
        d->hasClip = true;
    } else {
        d->clip = IntersectAll(d->clip, r);
    }
    return true;
}

bool SelectClip(Dc dc, GfxObject region) {
    DcData* d = Find(dc);
    if (!d) return false;
    if (!region) {
        d->hasClip = false;
        d->clip.clear();
        return true;
    }
    const std::vector<Rect>* rects = gfx::RegionOf(region);
    if (!rects) return false;
    d->clip = *rects;
    d->hasClip = true;
    return true;
}

Rect ClipBox(Dc dc) {
    DcData* d = Find(dc);
    if (!d) return Rect{};
    auto c = CanvasOf(*d);
    if (!c || c->clip.empty()) return Rect{};
    Rect box = c->clip.front();
    for (const Rect& r : c->clip) {
        box.left = std::min(box.left, r.left);
        box.top = std::min(box.top, r.top);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
    }
    return Shift(box, Point{-c->origin.x, -c->origin.y});
}

bool SetPixel(Dc dc, int x, int y, Color color) {
    DcData* d = Find(dc);
    if (!d) return false;
    auto c = CanvasOf(*d);
    if (!c || !gfx::Visible(*c, x, y)) return false;
    gfx::PutPixel(*c, x, y, ColorToPixel(color));
    return true;
}

Color GetPixel(Dc dc, int x, int y) {
    DcData* d = Find(dc);
    if (!d) return kNoColor;
    auto c = CanvasOf(*d);
    std::uint16_t p;
    if (!c || !gfx::GetPixel(*c, x, y, &p)) return kNoColor;
    return PixelToColor(p);
}

bool MoveTo(Dc dc, int x, int y, Point* previous) {
    DcData* d = Find(dc);
    if (!d) return false;
    if (previous) *previous = d->position;
    d->position = Point{x, y};
    return true;
}

bool LineTo(Dc dc, int x, int y) {
    DcData* d = Find(dc);
    if (!d) return false;
    gfx::Dash dash;
    dash.dashed = PenOfDc(*d).style == PenStyle::Dash;
    bool ok = DrawLineWithPen(*d, d->position, Point{x, y}, dash);
    d->position = Point{x, y};
    return ok;
}

bool Polyline(Dc dc, const Point* points, int count) {
    DcData* d = Find(dc);
    if (!d || !points || count < 2) return false;
    gfx::Dash dash;
    dash.dashed = PenOfDc(*d).style == PenStyle::Dash;
    for (int i = 1; i < count; ++i)
        if (!DrawLineWithPen(*d, points[i - 1], points[i], dash)) return false;
    return true;
}

bool FillRect(Dc dc, const Rect& r, GfxObject brush) {
    DcData* d = Find(dc);
    const gfx::BrushData* b = gfx::BrushOf(brush);
    if (!d || !b) return false;
    auto c = CanvasOf(*d);
    if (!c) return false;
    if (!b->hollow) gfx::FillBox(*c, r, ColorToPixel(b->color));
    return true;
}

bool RoundRect(Dc dc, const Rect& r, int ellipseWidth, int ellipseHeight) {
    return Shape(dc, r, ellipseWidth, ellipseHeight);
}

bool Ellipse(Dc dc, const Rect& r) { return Shape(dc, r, std::abs(r.Width()), std::abs(r.Height())); }

bool DrawEdge(Dc dc, const Rect& r) {
    DcData* d = Find(dc);
    if (!d) return false;
    auto c = CanvasOf(*d);
    if (!c) return false;
    if (r.Empty()) return true;
    const std::uint16_t p = ColorToPixel(SystemColor(kColorWindowFrame));
    gfx::FillBox(*c, Rect{r.left, r.top, r.right, r.top + 1}, p);
    gfx::FillBox(*c, Rect{r.left, r.bottom - 1, r.right, r.bottom}, p);
    gfx::FillBox(*c, Rect{r.left, r.top, r.left + 1, r.bottom}, p);
    gfx::FillBox(*c, Rect{r.right - 1, r.top, r.right, r.bottom}, p);
    return true;
}

bool DrawFocusRect(Dc dc, const Rect& r) {
    DcData* d = Find(dc);
    if (!d) return false;
    auto c = CanvasOf(*d);
    if (!c) return false;
    if (r.Empty()) return true;
    // Each edge pixel is visited once, so the corners are not inverted twice.
    auto dot = [&](int x, int y) {
        if (((x + y) & 1) == 0) gfx::InvertPixel(*c, x, y);
    };
    for (int x = r.left; x < r.right; ++x) {
        dot(x, r.top);
        if (r.bottom - 1 > r.top) dot(x, r.bottom - 1);
    }
    for (int y = r.top + 1; y < r.bottom - 1; ++y) {
        dot(r.left, y);
        if (r.right - 1 > r.left) dot(r.right - 1, y);
    }
    return true;
}

bool CopyBlit(Dc dst, int x, int y, int w, int h, Dc src, int sx, int sy) {
    if (w < 0 || h < 0) return false;
    return BlitBetween(dst, x, y, w, h, src, sx, sy, w, h, nullptr);
}

bool StretchBlit(Dc dst, int x, int y, int w, int h, Dc src, int sx, int sy, int sw, int sh) {
    return BlitBetween(dst, x, y, w, h, src, sx, sy, sw, sh, nullptr);
}

bool TransparentBlit(Dc dst, int x, int y, int w, int h, Dc src, int sx, int sy, int sw, int sh, Color key) {
    const std::uint16_t k = ColorToPixel(key);
    return BlitBetween(dst, x, y, w, h, src, sx, sy, sw, sh, &k);
}

bool TransparentBlitPixel(Dc dst, int x, int y, int w, int h, Dc src, int sx, int sy, int sw, int sh,
                          std::uint16_t key) {
    return BlitBetween(dst, x, y, w, h, src, sx, sy, sw, sh, &key);
}

bool TextOut(Dc dc, int x, int y, std::string_view text) {
    DcData* d = Find(dc);
    if (!d) return false;
    auto c = CanvasOf(*d);
    if (!c) return false;
    bool symbol = false;
    text::Face* face = FaceOfDc(*d, &symbol);
    if (!face) return false;
    DrawChars(*c, face, DecodeProgramText(text, symbol), x, y, *d);
    return true;
}

Extent TextExtent(Dc dc, std::string_view text) {
    DcData* d = Find(dc);
    if (!d) return Extent{};
    bool symbol = false;
    text::Face* face = FaceOfDc(*d, &symbol);
    if (!face) return Extent{};
    return Extent{Advance(face, DecodeProgramText(text, symbol)), text::MetricsOf(face).height};
}

TextMetrics GetTextMetrics(Dc dc) {
    DcData* d = Find(dc);
    if (!d) return TextMetrics{};
    text::Face* face = FaceOfDc(*d, nullptr);
    const text::Metrics& m = text::MetricsOf(face);
    return TextMetrics{m.height, m.ascent, m.descent, m.averageWidth};
}

int DrawTextIn(Dc dc, std::string_view text, const Rect& r, unsigned flags) {
    DcData* d = Find(dc);
    if (!d) return 0;
    bool symbol = false;
    text::Face* face = FaceOfDc(*d, &symbol);
    if (!face) return 0;
    const std::u32string chars = DecodeProgramText(StripPrefixes(text), symbol);
    std::vector<std::u32string> lines;
    if (flags & kTextSingleLine) {
        std::u32string one;
        for (char32_t ch : chars)
            if (ch != U'\r' && ch != U'\n') one.push_back(ch);
        lines.push_back(std::move(one));
    } else {
        std::size_t start = 0;
        while (true) {
            std::size_t nl = chars.find(U'\n', start);
            std::u32string para = chars.substr(start, nl == std::u32string::npos ? std::u32string::npos : nl - start);
            if (!para.empty() && para.back() == U'\r') para.pop_back();
            if (flags & kTextWordBreak)
                WrapParagraph(face, para, r.Width(), lines);
            else
                lines.push_back(std::move(para));
            if (nl == std::u32string::npos) break;
            start = nl + 1;
        }
    }
    const int lineHeight = text::MetricsOf(face).height;
    const int total = lineHeight * static_cast<int>(lines.size());
    auto c = CanvasOf(*d);
    if (!c) return total;
    Rect clipTo = Shift(r, c->origin);
    c->clip = IntersectAll(c->clip, clipTo);
    int y = r.top;
    if ((flags & kTextSingleLine) && (flags & kTextVCenter)) y = r.top + (r.Height() - lineHeight) / 2;
    for (const std::u32string& line : lines) {
        int x = r.left;
        if (flags & kTextCenter) x = r.left + (r.Width() - Advance(face, line)) / 2;
        DrawChars(*c, face, line, x, y, *d);
        y += lineHeight;
    }
    return total;
}

int ScreenDpi() { return 96 * ScreenScale(); }

namespace {

void DefaultPaint(Window w) {
    Dc dc = BeginPaint(w, nullptr);
    EndPaint(w, dc);
}

LResult DefaultErase(Window w, WParam dcValue) {
    Dc dc{static_cast<std::uint64_t>(dcValue)};
    const bool own = !Find(dc);
    if (own) dc = GetWindowDc(w);
    const int index = GetWindowKind(w) == WindowKind::Dialog ? kColorButtonFace : kColorWindow;
    GfxObject brush = MakeBrush(SystemColor(index));
    FillRect(dc, GetClientRect(w), brush);
    DeleteObject(brush);
    if (own) ReleaseDc(w, dc);
    return 1;
}

const bool painterInstalled = (InstallDefaultPainters(), true);

}  // namespace

void InstallDefaultPainters() {
    DefaultPainters painters;
    painters.paint = DefaultPaint;
    painters.erase = DefaultErase;
    SetDefaultPainters(painters);
}

int LiveDcCount() {
    int n = 0;
    for (const DcData& d : Table())
        if (d.alive) ++n;
    return n;
}

}  // namespace platform
