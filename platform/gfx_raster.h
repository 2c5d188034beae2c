#pragma once
// The rasterizer every device context ends in: plain pixel work on a Surface seen through
// an origin and a set of clip rectangles. No antialiasing anywhere.
#include <cstdint>
#include <vector>

#include "platform/surface.h"
#include "platform/types.h"

namespace platform::gfx {

// Logical point (x, y) lies at surface point (x + origin.x, y + origin.y). The clip
// rectangles are in surface coordinates, already cut to the surface, and do not overlap.
struct Canvas {
    Surface* surface = nullptr;
    Point origin;
    std::vector<Rect> clip;
};

// A canvas over the whole surface.
Canvas WholeSurface(Surface& s);

bool Visible(const Canvas& c, int x, int y);
void PutPixel(Canvas& c, int x, int y, std::uint16_t pixel);
bool GetPixel(const Canvas& c, int x, int y, std::uint16_t* pixel);
void InvertPixel(Canvas& c, int x, int y);
void FillBox(Canvas& c, const Rect& r, std::uint16_t pixel);

// Sets the pixels of a w x h mask (1 byte per pixel, non-zero = ink) placed at (x, y).
void Stamp(Canvas& c, int x, int y, int w, int h, const std::uint8_t* mask, std::uint16_t pixel);

// On-off pattern of the dashed pen, carried along a polyline.
struct Dash {
    bool dashed = false;
    int phase = 0;
    bool Next();   // true when the next pixel is drawn
};

// From a to b, b itself excluded (a one-point line draws nothing).
void Line(Canvas& c, Point a, Point b, std::uint16_t pixel, Dash& dash);

// A box with rounded corners (corner ellipse ew x eh) covering [l, r-1] x [t, b-1]; an
// ellipse is the box whose corner ellipse is the whole box. Inside in fill (when given),
// outline in pen (when given).
void RoundBox(Canvas& c, const Rect& box, int ew, int eh, const std::uint16_t* pen, const std::uint16_t* fill);

// Copies src (sx, sy, sw, sh) onto (dx, dy, dw, dh) nearest-neighbour: destination
// column i reads source column sx + floor((i + 0.5) * sw / |dw|), counted leftwards from
// dx when dw < 0, so opposite signs mirror; rows alike. Source pixels outside src are
// skipped, leaving the destination as it was. With a key, pixels whose 15 colour bits
// equal the key's are skipped. A copy within one surface reads a snapshot of it.
void Blit(Canvas& dst, int dx, int dy, int dw, int dh, const Surface& src, int sx, int sy, int sw, int sh,
          const std::uint16_t* key);

}  // namespace platform::gfx
