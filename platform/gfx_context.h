#pragma once
// Device contexts: where drawing goes (a window's part of its top-level surface, or a
// bitmap selected into a memory context) with the objects and state that shape it.
//
// Conventions: no antialiasing; lines exclude their end point; rectangles exclude right
// and bottom; ellipses and rounded rectangles cover [left, right-1] x [top, bottom-1],
// outlined with the pen and filled with the brush. A fresh context carries the system
// font (height -12*s), the black pen, the white brush, white background colour, black
// text and opaque background mode. Every call on a null or stale context fails
// harmlessly.
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gfx_objects.h"
#include "platform/types.h"

namespace platform {

struct Dc {
    std::uint64_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend bool operator==(const Dc&, const Dc&) = default;
};

enum class BackMode { Transparent, Opaque };

struct Extent {
    int width = 0;
    int height = 0;
    friend bool operator==(const Extent&, const Extent&) = default;
};

struct TextMetrics {
    int height = 0;   // the cell: ascent + descent
    int ascent = 0;
    int descent = 0;
    int averageWidth = 0;
};

// What GetPixel answers outside the surface or the clip.
constexpr Color kNoColor = 0xFFFFFFFFu;

// Window contexts. BeginPaint takes the window's invalid area (validating it), sends the
// erase-background message when the area asked for it, and clips drawing to that area;
// `updateArea` receives it in client coordinates. GetWindowDc draws anywhere in the
// client area. Drawing is always clipped to what of the window is visible.
Dc BeginPaint(Window w, Rect* updateArea);
bool EndPaint(Window w, Dc dc);
Dc GetWindowDc(Window w);
bool ReleaseDc(Window w, Dc dc);

// A memory context holds a 1 x 1 bitmap until the program selects its own. `like` is
// accepted for symmetry with window contexts; every surface has the same format.
Dc MakeMemoryDc(Dc like);
// Frees the context; objects still selected in it are deselected (a deleted one is
// freed then). The program restores the original bitmap before deleting, as usual.
bool DeleteDc(Dc dc);
// The window of a window context (null for memory contexts).
Window WindowOfDc(Dc dc);

// Selects a pen, brush, font or bitmap and returns the object of that kind it replaces
// (null on failure: a bad handle, a region, a bitmap into a window context).
GfxObject SelectObject(Dc dc, GfxObject obj);
GfxObject CurrentObject(Dc dc, ObjectKind kind);

Color SetBackColor(Dc dc, Color c);   // returns the previous one (kNoColor on failure)
Color SetTextColor(Dc dc, Color c);
BackMode SetBackMode(Dc dc, BackMode m);
Color BackColor(Dc dc);
Color TextColor(Dc dc);

// The application's clip: intersect it with a rectangle, or replace it with a region's
// rectangles (null region: no clip of the application's own). Coordinates are the
// context's. The window's visible area always applies on top.
bool IntersectClip(Dc dc, const Rect& r);
bool SelectClip(Dc dc, GfxObject region);
// The bounding box of where drawing lands now (context coordinates); empty when nowhere.
Rect ClipBox(Dc dc);

bool SetPixel(Dc dc, int x, int y, Color c);
Color GetPixel(Dc dc, int x, int y);
bool MoveTo(Dc dc, int x, int y, Point* previous);
bool LineTo(Dc dc, int x, int y);
// Joins the points with the pen; the last point is excluded. Leaves the current position.
bool Polyline(Dc dc, const Point* points, int count);
bool FillRect(Dc dc, const Rect& r, GfxObject brush);
bool RoundRect(Dc dc, const Rect& r, int ellipseWidth, int ellipseHeight);
bool Ellipse(Dc dc, const Rect& r);
// A 1-pixel frame on the rectangle's edge pixels in the window-frame system colour.
bool DrawEdge(Dc dc, const Rect& r);
// A dotted frame drawn by inverting pixels, so drawing it twice restores the picture.
bool DrawFocusRect(Dc dc, const Rect& r);

// Blits from one context to another (or within one, as through a temporary). Source
// pixels outside the source bitmap leave the destination unchanged. StretchBlit is
// nearest-neighbour: destination column i reads sx + floor((i + 0.5) * sw / dw), exact at
// integer zoom; extents of opposite sign mirror; a zero extent draws nothing.
bool CopyBlit(Dc dst, int x, int y, int w, int h, Dc src, int sx, int sy);
bool StretchBlit(Dc dst, int x, int y, int w, int h, Dc src, int sx, int sy, int sw, int sh);
// As StretchBlit, skipping source pixels whose 15 colour bits equal the key's.
bool TransparentBlit(Dc dst, int x, int y, int w, int h, Dc src, int sx, int sy, int sw, int sh, Color key);
bool TransparentBlitPixel(Dc dst, int x, int y, int w, int h, Dc src, int sx, int sy, int sw, int sh,
                          std::uint16_t key);

// Text is program text (Windows-1252; the symbol encoding for symbol fonts). TextOut puts
// the top-left of the text's cell at (x, y); in opaque mode the cell is filled with the
// background colour first.
bool TextOut(Dc dc, int x, int y, std::string_view text);
// Width: the sum of the advances TextOut moves by; height: the font's cell height.
Extent TextExtent(Dc dc, std::string_view text);
TextMetrics GetTextMetrics(Dc dc);

enum TextFlags : unsigned {
    kTextLeft = 0,
    kTextCenter = 1,
    kTextVCenter = 4,
    kTextWordBreak = 0x10,
    kTextSingleLine = 0x20,
};
// Draws text into a rectangle, clipped to it: "\n" starts a line (unless single line),
// word break wraps at blanks, "&&" draws "&" and "&x" draws x, vertical centring applies
// to a single line. Returns the height of the text drawn.
int DrawTextIn(Dc dc, std::string_view text, const Rect& r, unsigned flags);

// Logical dots per inch of the screen: 96 x the screen scale.
int ScreenDpi();

// Gives the window core its default paint (validates) and erase (fills the client area
// with the window colour, or the static colour for dialogs). Done at start-up; callable
// again after the core was reset.
void InstallDefaultPainters();

// Contexts alive (tests look for leaks).
int LiveDcCount();

}  // namespace platform
