#include "shell/draw_primitives.h"

#include <cmath>
#include <cstdlib>

#include "platform/gfx_context.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "core/settings.h"

using platform::Rect;

namespace {

DrawWindow* PixelTarget() {
    DrawWindow* t = drawState.current;
    return (t && t->pixels) ? t : nullptr;
}

std::uint16_t* PixelAt(DrawWindow* t, int x, int y) {
    return reinterpret_cast<std::uint16_t*>(t->pixels + static_cast<std::ptrdiff_t>(t->height - 1 - y) * t->stride +
                                            static_cast<std::ptrdiff_t>(x) * t->bytesPerPixel);
}

bool Inside(const DrawWindow* t, int x, int y) { return x >= 0 && y >= 0 && x < t->width && y < t->height; }

Rect ToRect(const Bounds& b) { return Rect{b.x, b.y, b.x + b.width, b.y + b.height}; }

}  // namespace

void DrawPixel(int x, int y) {
    if (DrawWindow* t = PixelTarget()) {
        if (Inside(t, x, y)) *PixelAt(t, x, y) = drawPixel16;
        return;
    }
    platform::SetPixel(drawState.dc, x, y, drawColour);
}

void DrawPixelColor(int x, int y, std::uint32_t value) {
    if (PixelTarget()) {
        drawPixel16 = static_cast<std::uint16_t>(value & 0xFFFF);
    } else {
        SetForeColor(value);
    }
    DrawPixel(x, y);
}

void BlendPixel(int x, int y, platform::Color colour, int weight) {
    DrawWindow* t = PixelTarget();
    if (!t) {
        platform::SetPixel(drawState.dc, x, y, drawColour);
        return;
    }
    if (!Inside(t, x, y)) return;
    if (weight < 0) weight = 0;
    if (weight > 255) weight = 255;
    std::uint16_t* p = PixelAt(t, x, y);
    const int r = (*p >> 10) & 31, g = (*p >> 5) & 31, b = *p & 31;
    // The colour comes down to 5-bit channels first, so a channel cannot spill into its
    // neighbour.
    const int cr = platform::RedOf(colour) >> 3, cg = platform::GreenOf(colour) >> 3,
              cb = platform::BlueOf(colour) >> 3;
    const int nr = (r * (255 - weight) + cr * weight) / 255;
    const int ng = (g * (255 - weight) + cg * weight) / 255;
    const int nb = (b * (255 - weight) + cb * weight) / 255;
    if (preferences.word[pref::nightMode] != 0)
        *p = static_cast<std::uint16_t>(nr << 10);
    else
        *p = static_cast<std::uint16_t>(nr << 10 | ng << 5 | nb);
}

void DrawLine(int x0, int y0, int x1, int y1) {
    if (!PixelTarget()) {
        const platform::Point points[2] = {{x0, y0}, {x1, y1}};
        platform::Polyline(drawState.dc, points, 2);
        return;
    }
    const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const int sx = x0 > x1 ? -1 : 1, sy = y0 > y1 ? -1 : 1;
    int x = x0, y = y0;
    if (dx < dy) {
        int e = 2 * dx - dy;
        for (int i = 0; i <= dy; ++i) {
            DrawPixel(x, y);
            y += sy;
            if (e > 0) x += sx;
            e += e < 1 ? 2 * dx : 2 * (dx - dy);
        }
    } else {
        int e = 2 * dy - dx;
        for (int i = 0; i <= dx; ++i) {
            DrawPixel(x, y);
            x += sx;
            if (e > 0) y += sy;
            e += e < 1 ? 2 * dy : 2 * (dy - dx);
        }
    }
}

void DrawLineColor(int x0, int y0, int x1, int y1, platform::Color colour) {
    if (PixelTarget())
        drawPixel16 = platform::ColorToPixel(colour);
    else
        SetForeColor(colour);
    DrawLine(x0, y0, x1, y1);
}

void DrawRectangle(const Bounds& rect, int radius) {
    if (radius == 0) {
        platform::FillRect(drawState.dc, ToRect(rect), drawState.brush);
        return;
    }
    platform::SelectObject(drawState.dc, drawState.brush);
    platform::RoundRect(drawState.dc, ToRect(rect), 2 * radius, 2 * radius);
}

void FillRectangle(const Bounds& rect) { platform::FillRect(drawState.dc, ToRect(rect), GetBackBrush()); }

void DrawRectFrame(int, const Bounds& rect) {
    platform::Dc dc = drawState.dc;
    platform::MoveTo(dc, rect.x, rect.y, nullptr);
    platform::LineTo(dc, rect.x, rect.y + rect.height);
    platform::LineTo(dc, rect.x + rect.width, rect.y + rect.height);
    platform::LineTo(dc, rect.x + rect.width, rect.y);
    platform::LineTo(dc, rect.x, rect.y);
}

void DrawFrame(const Bounds& rect) { platform::DrawEdge(drawState.dc, ToRect(rect)); }

namespace {

void FillClientFrom(platform::Window window, int top) {
    platform::Dc dc = platform::GetWindowDc(window);
    if (!dc) return;
    Rect r = platform::GetClientRect(window);
    r.top += top;
    platform::FillRect(dc, r, GetBackBrush());
    platform::ReleaseDc(window, dc);
}

}  // namespace

void EraseWindow(platform::Window window) { FillClientFrom(window, 0); }

void EraseWindowTop(platform::Window window) {
    FillClientFrom(window, static_cast<int>(24 * screenScale.vertical));
}

void EraseWindowBottom(platform::Window window) {
    Rect r = platform::GetClientRect(window);
    r.top = r.bottom - static_cast<int>(22 * screenScale.vertical);
    platform::FillRect(drawState.dc, r, GetBackBrush());
}

void ResetClip() {
    platform::GfxObject region = platform::MakeRectRegion(drawState.clientRect);
    platform::SelectClip(drawState.dc, region);
    platform::DeleteObject(region);
}

void ClipRectangle(const Bounds& rect) { platform::IntersectClip(drawState.dc, ToRect(rect)); }

void DrawCircle(int cx, int cy, int r) {
    if (r < 0) return;
    int x = 0, y = r, d = 3 - 2 * r;
    while (x <= y) {
        DrawPixel(cx + x, cy + y);
        DrawPixel(cx - x, cy + y);
        DrawPixel(cx + x, cy - y);
        DrawPixel(cx - x, cy - y);
        DrawPixel(cx + y, cy + x);
        DrawPixel(cx - y, cy + x);
        DrawPixel(cx + y, cy - x);
        DrawPixel(cx - y, cy - x);
        if (d >= 0) {
            d += 4 - 4 * y;
            y -= 1;
        }
        d += 4 * x + 6;
        x += 1;
    }
}

void FillDisc(int cx, int cy, int diameter) {
    if (diameter < 1) return;
    DrawRectangle(Bounds{cx - diameter / 2, cy - diameter / 2, diameter, diameter}, diameter / 2 > 0 ? diameter / 2 : 1);
}

void DrawDisc(int cx, int cy, int diameter) {
    const int half = diameter / 2;
    platform::GfxObject old = platform::SelectObject(drawState.dc, GetBackBrush());
    platform::Ellipse(drawState.dc, Rect{cx - half, cy - half, cx + half, cy + half});
    if (old) platform::SelectObject(drawState.dc, old);
}

void ComputeEllipsePoints(int cx, int cy, float a, float b, float angle, int scaleX, int scaleY,
                          std::int32_t xs[kEllipsePoints], std::int32_t ys[kEllipsePoints]) {
    const double theta = angle * 0.017453292519943295;
    const double c = std::cos(theta), s = std::sin(theta);
    for (int i = 0; i < kEllipsePoints; ++i) {
        const double t = i * 0.3;
        const double X = a * std::cos(t), Y = b * std::sin(t);
        xs[i] = static_cast<std::int32_t>((X * c - Y * s + 0.5) * scaleX + cx);
        ys[i] = static_cast<std::int32_t>((X * s + Y * c + 0.5) * scaleY + cy);
    }
}

void DrawEllipse(int cx, int cy, float a, float b, float angle, int scaleX, int scaleY) {
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(angle) || std::fabs(a) > 1e6f || std::fabs(b) > 1e6f)
        return;
    std::int32_t xs[kEllipsePoints], ys[kEllipsePoints];
    ComputeEllipsePoints(cx, cy, a, b, angle, scaleX, scaleY, xs, ys);
    for (int i = 1; i < kEllipsePoints; ++i) DrawLine(xs[i - 1], ys[i - 1], xs[i], ys[i]);
}
