#pragma once
// The core of the drawing layer: the screen scale that maps the 240 x 320 design onto the
// display, the layout helpers that move controls when a form is resized, the draw target
// every drawing function uses, offscreen bitmaps (compatible ones, and 16-bit
// device-independent ones with a pixel pointer), the saved screen forms repaint from, the
// screen double buffer, bitmap resources and picture files loaded into offscreens, and the
// blits between them.
#include <cstdint>
#include <memory>

#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/types.h"

struct ScaleFactors {
    double horizontal = 1.0;
    double vertical = 1.0;
};
// Logical pixels per inch of the screen divided by 96.
extern ScaleFactors screenScale;

// {x, y, width, height}, the rectangle record of the drawing functions.
struct Bounds {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// A drawing target: a window with its device context, or an offscreen bitmap in its own
// memory context.
struct DrawWindow {
    platform::Window window;
    platform::Dc dc;
    platform::GfxObject previousBitmap;   // restored into dc before release
    platform::GfxObject bitmap;           // null for a window target
    std::int32_t originX = 0;             // top-left of the valid area (double buffer)
    std::int32_t originY = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    platform::Color transparentColour = 0;   // key when this is the source of a transparent blit
    std::uint8_t* pixels = nullptr;          // 16-bit 5-5-5, rows bottom-up; null unless device-independent
    std::int16_t bitsPerPixel = 0;
    std::int16_t stride = 0;                 // bytes per row
    std::int16_t bytesPerPixel = 0;
};

struct DrawState {
    DrawWindow* current = nullptr;
    DrawWindow* redirectedFrom = nullptr;   // what BeginOffscreenDraw replaced
    platform::Rect clientRect;              // of the current target window
    int formId = 0;                         // the current form (kept by the form dispatcher)
    platform::Window formWindow;
    platform::Window window;                // copies of the current record's window and dc
    platform::Dc dc;
    platform::GfxObject pen;                // made by SetForeColor
    platform::GfxObject brush;
    int fontId = 0;
};
extern DrawState drawState;

// The saved copy of the current form's client area, and the screen double buffer.
extern DrawWindow* offscreenSaved;
extern DrawWindow* screenBuffer;

// Draws the form's title underline into a cleared double buffer; set by the title bar
// toolkit (null: no underline).
extern void (*titleUnderline)(platform::Window form, platform::Dc dc);

// Draw mode of the blits: kDrawTransparent skips the source's transparent colour, any
// other value copies.
constexpr int kDrawTransparent = 4;

// ---- Scale and layout ------------------------------------------------------------------

void InitScreenScale();
void GetScreenSize(int* width, int* height);
// Records the new size of a form and gives its difference from the scaled design size;
// true when either is non-zero.
bool GetResizeDelta(platform::Window formWindow, int width, int height, int* dx, int* dy);
// Moves control controlId of the dialog by (dx, dy) and grows it by (dw, dh) (0 keeps
// that side), repainting it. Nothing happens when the control is missing.
void MoveObject(platform::Window dialog, int controlId, int dx, int dy, int dw, int dh);
// The control's window rectangle in screen coordinates; untouched when it is missing.
void GetObjectBounds(platform::Window dialog, int controlId, Bounds* bounds);
void RectToBounds(const platform::Rect& rect, Bounds* bounds);

// ---- Draw target -----------------------------------------------------------------------

// Makes a window and its device context the current target (once per paint). The
// drawing colour and pen of the previous target are dropped and the font id returns to 0.
void SetDrawTarget(platform::Window window, platform::Dc dc);
void ReleaseDrawTarget();
// Switches to an existing record (an offscreen) and returns the one it replaces.
DrawWindow* SetDrawWindow(DrawWindow* record);
DrawWindow* GetDrawWindow();
DrawWindow* GetCurrentDrawWindow();
platform::Dc GetDrawDC();

// ---- Offscreens ------------------------------------------------------------------------

DrawWindow* CreateOffscreen(int width, int height);
DrawWindow* CreateOffscreenDIB(int width, int height, int bitsPerPixel);
platform::GfxObject CreateDibBitmap(int width, int height, int bitsPerPixel, std::uint8_t** pixels);
void DeleteOffscreen(DrawWindow* record);
// An offscreen that is deleted when its holder lets it go or takes another.
struct OffscreenDeleter {
    void operator()(DrawWindow* record) const { DeleteOffscreen(record); }
};
using OffscreenPtr = std::unique_ptr<DrawWindow, OffscreenDeleter>;
// Bitmap resource into a new 16-bit offscreen, turned red in night mode; null when the
// resource is missing.
DrawWindow* LoadBitmapOffscreen(int resourceId, int bitsPerPixel);
DrawWindow* LoadBitmap16(int resourceId);
// The same picture decoded once per run and kept: the caller blits from it and neither
// changes nor frees it. It stays valid until the picture cache is emptied (the colour
// scheme changes). Null when the resource is missing.
const DrawWindow* CachedBitmap(int resourceId);
// The cached picture stretched to width x height (made once, then kept the same way).
const DrawWindow* CachedBitmapAt(int resourceId, int width, int height);
void ClearPictureCache();
// A picture file (program path, as "img\ngc\ngc1.jpg") into a new 16-bit offscreen,
// turned red in night mode. A missing file shows "Can't find" with the path, a file that
// cannot be shown (damaged, too large) "Can't load picture" with the path and why; both
// give null.
DrawWindow* LoadImageFile(const char* relativePath, int bitsPerPixel);

// ---- Blits -----------------------------------------------------------------------------

void CopyBits(DrawWindow* source, DrawWindow* destination, const Bounds& rect, int x, int y, int mode);
// A magnified copy about the rectangle's centre; zoom <= 0 draws nothing.
void StretchBits(DrawWindow* source, DrawWindow* destination, const Bounds& rect, int x, int y, int mode,
                 float zoom);
void CopyBitsTransparent(DrawWindow* source, DrawWindow* destination, const Bounds& rect, int x, int y);
// A new offscreen with the picture flipped; releases the given record. On failure the
// given record comes back unchanged.
DrawWindow* MirrorOffscreen(DrawWindow* record, int flipX, int flipY);
DrawWindow* SaveRect(const Bounds& rect);
void RestoreRect(DrawWindow* record, int x, int y);
int DrawBitmapTransparent(int resourceId, int x, int y);
// The bitmap resource at (x, y) scaled by the screen scale; 0 when it is missing.
int DrawBitmap(int resourceId, int x, int y);
int DrawBitmapScaled(int resourceId, int x, int y, double factor);
int DrawBitmapMasked(int resourceId, int x, int y);
// The picture shrunk (never enlarged) to fit the box, centred in it; 0 when it cannot be
// loaded.
int DrawImageFileFit(const char* relativePath, int x, int y, int width, int height);

// ---- Saved screen and double buffer ----------------------------------------------------

void SaveScreen();
void RestoreScreen(int bottomBand);
void FreeSavedScreen();
void BeginOffscreenDraw(bool clear);
void EndOffscreenDraw();
DrawWindow* GetScreenBuffer();
void FreeScreenBuffer();
