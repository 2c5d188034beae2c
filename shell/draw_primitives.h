#pragma once
// Pixels, lines, rectangles, frames, circles and clipping on the current draw target in
// the current drawing colour. On a 16-bit offscreen with a pixel pointer, pixels and lines
// go straight into its memory (clipped to the bitmap); otherwise through its device
// context.
#include <cstdint>

#include "platform/types.h"
#include "shell/draw_targets.h"

void DrawPixel(int x, int y);
// On a pixel target the value is the 16-bit pixel itself, otherwise a colour. The drawing
// colour is left changed.
void DrawPixelColor(int x, int y, std::uint32_t value);
// Mixes a colour into a pixel of a pixel target by weight (0 keeps the pixel, 255 takes
// the colour); at night only the red channel stays.
void BlendPixel(int x, int y, platform::Color colour, int weight);
// Both end points are drawn on a pixel target; through the device context the end point
// is left out, as device lines do.
void DrawLine(int x0, int y0, int x1, int y1);
void DrawLineColor(int x0, int y0, int x1, int y1, platform::Color colour);
// radius 0 fills with the drawing colour; otherwise a rounded rectangle with corner
// radius `radius`, outlined with the pen.
void DrawRectangle(const Bounds& rect, int radius);
// Clears the rectangle to the scheme's background colour.
void FillRectangle(const Bounds& rect);
void DrawRectFrame(int unused, const Bounds& rect);
void DrawFrame(const Bounds& rect);
void EraseWindow(platform::Window window);
void EraseWindowTop(platform::Window window);
void EraseWindowBottom(platform::Window window);
void ResetClip();
void ClipRectangle(const Bounds& rect);
void DrawCircle(int cx, int cy, int r);
void DrawDisc(int cx, int cy, int diameter);
// A disc filled with the drawing colour (DrawDisc fills with the background brush).
void FillDisc(int cx, int cy, int diameter);
// An ellipse of half-axes a and b (pixels before scaling) turned by angle degrees, as 21
// segments through 22 points; ComputeEllipsePoints gives the points (the first is the start
// of the outline, not drawn on its own).
inline constexpr int kEllipsePoints = 22;
void ComputeEllipsePoints(int cx, int cy, float a, float b, float angle, int scaleX, int scaleY,
                          std::int32_t xs[kEllipsePoints], std::int32_t ys[kEllipsePoints]);
void DrawEllipse(int cx, int cy, float a, float b, float angle, int scaleX, int scaleY);
