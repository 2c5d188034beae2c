#include "platform/gfx_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace platform::gfx {
namespace {

// Dashed pens draw 4 pixels, then leave 2.
constexpr int kDashOn = 4;
constexpr int kDashPeriod = 6;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Inclusive span of row y of a rounded box, or false when the row is outside the box.
struct Span {
    int left;
    int right;
};

Span RowSpan(const Rect& box, double a, double b, int y) {
    if (a <= 0 || b <= 0) return Span{box.left, box.right - 1};
    const double py = y + 0.5;
    double dy = 0;
    if (py < box.top + b)
        dy = box.top + b - py;
    else if (py > box.bottom - b)
        dy = py - (box.bottom - b);
    double t = dy / b;
    double hw = a * std::sqrt(std::max(0.0, 1.0 - t * t));
    int left = static_cast<int>(std::ceil(box.left + a - hw - 0.5));
    // The middle column always belongs to the shape, so the box is touched on every row.
    left = std::min(left, box.left + (box.Width() - 1) / 2);
    left = std::max(left, box.left);
    return Span{left, box.right - 1 - (left - box.left)};
}

// A blit at one to one without a key: each clipped row is one copy. Source columns and
// rows outside the source are left out, as the general blit leaves them.
void CopyUnscaled(Canvas& dst, int dx, int dy, int w, int h, const Surface& src, int sx, int sy) {
    const int left = dx + dst.origin.x, top = dy + dst.origin.y;
    const Rect area{left + std::max(0, -sx), top + std::max(0, -sy), left + std::min(w, src.width - sx),
                    top + std::min(h, src.height - sy)};
    if (area.Empty()) return;
    for (const Rect& clip : dst.clip) {
        const Rect part = Intersect(area, clip);
        if (part.Empty()) continue;
        const std::size_t bytes = static_cast<std::size_t>(part.Width()) * sizeof(std::uint16_t);
        for (int y = part.top; y < part.bottom; ++y)
            std::memcpy(dst.surface->Row(y) + part.left, src.Row(sy + (y - top)) + sx + (part.left - left), bytes);
    }
}

}  // namespace

bool Dash::Next() {
    if (!dashed) return true;
    bool on = phase < kDashOn;
    phase = (phase + 1) % kDashPeriod;
    return on;
}

Canvas WholeSurface(Surface& s) {
    Canvas c;
    c.surface = &s;
    if (s.Valid()) c.clip.push_back(Rect{0, 0, s.width, s.height});
    return c;
}

bool Visible(const Canvas& c, int x, int y) {
    Point p{x + c.origin.x, y + c.origin.y};
    for (const Rect& r : c.clip)
        if (r.Contains(p)) return true;
    return false;
}

void PutPixel(Canvas& c, int x, int y, std::uint16_t pixel) {
    if (!c.surface || !Visible(c, x, y)) return;
    c.surface->Row(y + c.origin.y)[x + c.origin.x] = pixel;
}

bool GetPixel(const Canvas& c, int x, int y, std::uint16_t* pixel) {
    if (!c.surface || !Visible(c, x, y)) return false;
    *pixel = c.surface->Row(y + c.origin.y)[x + c.origin.x];
    return true;
}

void InvertPixel(Canvas& c, int x, int y) {
    if (!c.surface || !Visible(c, x, y)) return;
    std::uint16_t& p = c.surface->Row(y + c.origin.y)[x + c.origin.x];
    p = static_cast<std::uint16_t>(p ^ 0x7FFF);
}

void FillBox(Canvas& c, const Rect& r, std::uint16_t pixel) {
    if (!c.surface) return;
    Rect s{r.left + c.origin.x, r.top + c.origin.y, r.right + c.origin.x, r.bottom + c.origin.y};
    for (const Rect& clip : c.clip) {
        Rect part = Intersect(s, clip);
        if (part.Empty()) continue;
        for (int y = part.top; y < part.bottom; ++y) std::fill_n(c.surface->Row(y) + part.left, part.Width(), pixel);
    }
}

void Stamp(Canvas& c, int x, int y, int w, int h, const std::uint8_t* mask, std::uint16_t pixel) {
    if (!c.surface || w <= 0 || h <= 0) return;
    const Rect box{x + c.origin.x, y + c.origin.y, x + c.origin.x + w, y + c.origin.y + h};
    for (const Rect& clip : c.clip) {
        Rect part = Intersect(box, clip);
        if (part.Empty()) continue;
        for (int sy = part.top; sy < part.bottom; ++sy) {
            const std::uint8_t* m = mask + static_cast<std::size_t>(sy - box.top) * w - box.left;
            std::uint16_t* row = c.surface->Row(sy);
            for (int sx = part.left; sx < part.right; ++sx)
                if (m[sx]) row[sx] = pixel;
        }
    }
}

void Line(Canvas& c, Point a, Point b, std::uint16_t pixel, Dash& dash) {
    const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
    const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
    int err = dx + dy;
    int x = a.x, y = a.y;
    while (x != b.x || y != b.y) {
        if (dash.Next()) PutPixel(c, x, y, pixel);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void RoundBox(Canvas& c, const Rect& box, int ew, int eh, const std::uint16_t* pen, const std::uint16_t* fill) {
    if (box.Empty() || (!pen && !fill)) return;
    const double a = std::min(std::abs(ew), box.Width()) / 2.0;
    const double b = std::min(std::abs(eh), box.Height()) / 2.0;
    for (int y = box.top; y < box.bottom; ++y) {
        Span cur = RowSpan(box, a, b, y);
        if (!pen) {
            FillBox(c, Rect{cur.left, y, cur.right + 1, y + 1}, *fill);
            continue;
        }
        const bool hasAbove = y > box.top, hasBelow = y + 1 < box.bottom;
        Span above = hasAbove ? RowSpan(box, a, b, y - 1) : Span{1, 0};
        Span below = hasBelow ? RowSpan(box, a, b, y + 1) : Span{1, 0};
        // Interior: inside this row and both neighbours, away from the row's ends.
        int inLeft = std::max({cur.left + 1, above.left, below.left});
        int inRight = std::min({cur.right - 1, above.right, below.right});
        if (!hasAbove || !hasBelow) inRight = inLeft - 1;
        if (inLeft > inRight) {
            FillBox(c, Rect{cur.left, y, cur.right + 1, y + 1}, *pen);
            continue;
        }
        FillBox(c, Rect{cur.left, y, inLeft, y + 1}, *pen);
        FillBox(c, Rect{inRight + 1, y, cur.right + 1, y + 1}, *pen);
        if (fill) FillBox(c, Rect{inLeft, y, inRight + 1, y + 1}, *fill);
    }
}

void Blit(Canvas& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy, int sw, int sh,
          const std::uint16_t* key) {
    if (!dst.surface || dw == 0 || dh == 0 || sw == 0 || sh == 0 || !src.Valid()) return;
    if (!key && dw == sw && dh == sh && dw > 0 && dh > 0 && &src != dst.surface) {
        CopyUnscaled(dst, dx, dy, dw, dh, src, sx, sy);
        return;
    }
    const int aw = std::abs(dw), ah = std::abs(dh);
    std::vector<int> cols(aw), rows(ah);
    for (int i = 0; i < aw; ++i) {
        std::int64_t s = sx + FloorDiv((2 * static_cast<std::int64_t>(i) + 1) * sw, 2 * static_cast<std::int64_t>(aw));
        cols[i] = (s >= 0 && s < src.width) ? static_cast<int>(s) : -1;
    }
    for (int j = 0; j < ah; ++j) {
        std::int64_t s = sy + FloorDiv((2 * static_cast<std::int64_t>(j) + 1) * sh, 2 * static_cast<std::int64_t>(ah));
        rows[j] = (s >= 0 && s < src.height) ? static_cast<int>(s) : -1;
    }
    Surface snapshot;
    const Surface* from = &src;
    if (&src == dst.surface) {
        snapshot = src;
        from = &snapshot;
    }
    // Destination area in surface coordinates.
    const int left = (dw > 0 ? dx : dx + dw) + dst.origin.x;
    const int top = (dh > 0 ? dy : dy + dh) + dst.origin.y;
    const Rect area{left, top, left + aw, top + ah};
    const int keyBits = key ? (*key & 0x7FFF) : -1;
    for (const Rect& clip : dst.clip) {
        Rect part = Intersect(area, clip);
        if (part.Empty()) continue;
        for (int y = part.top; y < part.bottom; ++y) {
            const int j = dh > 0 ? y - top : ah - 1 - (y - top);
            if (rows[j] < 0) continue;
            const std::uint16_t* sp = from->Row(rows[j]);
            std::uint16_t* dp = dst.surface->Row(y);
            for (int x = part.left; x < part.right; ++x) {
                const int i = dw > 0 ? x - left : aw - 1 - (x - left);
                const int sc = cols[i];
                if (sc < 0) continue;
                const std::uint16_t p = sp[sc];
                if ((p & 0x7FFF) == keyBits) continue;
                dp[x] = p;
            }
        }
    }
}

}  // namespace platform::gfx
