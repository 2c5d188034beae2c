#include "shell/draw_targets.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/paths.h"
#include "platform/picture.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/message_box.h"
#include "core/settings.h"

using platform::Dc;
using platform::GfxObject;
using platform::Window;

ScaleFactors screenScale;
DrawState drawState;
DrawWindow* offscreenSaved = nullptr;
DrawWindow* screenBuffer = nullptr;

void (*titleUnderline)(Window form, Dc dc) = nullptr;

namespace {

constexpr int kDesignWidth = 240;
constexpr int kDesignHeight = 320;

struct LayoutState {
    Window form;
    int scaledWidth = kDesignWidth;
    int scaledHeight = kDesignHeight;
    int lastWidth = -1;
    int lastHeight = -1;
} layout;

// The record SetDrawTarget made, which the next call frees.
DrawWindow* targetRecord = nullptr;

int NightMode() { return preferences.word[pref::nightMode]; }

void DropObject(GfxObject& obj) {
    platform::DeleteObject(obj);
    obj = GfxObject{};
}

// Steps shared by SetDrawTarget and ReleaseDrawTarget: forget the previous target's
// record and drop the drawing colour with its pen and brush.
void DropTarget() {
    if (targetRecord) {
        if (drawState.current == targetRecord) drawState.current = nullptr;
        if (drawState.redirectedFrom == targetRecord) drawState.redirectedFrom = nullptr;
        delete targetRecord;
        targetRecord = nullptr;
    }
    if (drawState.brush) {
        DropObject(drawState.brush);
        DropObject(drawState.pen);
        drawColour = kNoColour;
        drawPixel16 = 0xFFFF;
        drawState.fontId = 0;
    } else {
        drawColour = colorScheme.backColor;
        drawPixel16 = platform::ColorToPixel(drawColour);
    }
}

// A new 16-bit offscreen holding a copy of a bitmap object, turned red when asked.
DrawWindow* OffscreenFromBitmap(GfxObject bitmap, int bitsPerPixel, bool night) {
    platform::BitmapInfo info;
    if (!platform::GetBitmapInfo(bitmap, &info)) return nullptr;
    DrawWindow* record = CreateOffscreenDIB(info.width, info.height, bitsPerPixel);
    if (!record) return nullptr;
    Dc source = platform::MakeMemoryDc(Dc{});
    GfxObject old = platform::SelectObject(source, bitmap);
    platform::CopyBlit(record->dc, 0, 0, info.width, info.height, source, 0, 0);
    platform::SelectObject(source, old);
    platform::DeleteDc(source);
    if (night) ConvertToNightColors(record);
    return record;
}

DrawWindow* LoadResource(int resourceId, bool night) {
    GfxObject bitmap = platform::LoadBitmapResource(resourceId);
    if (!bitmap) return nullptr;
    DrawWindow* record = OffscreenFromBitmap(bitmap, 16, night);
    platform::DeleteObject(bitmap);
    return record;
}

// Bitmap resources decoded once per run: the 16-bit offscreen of each resource id, by day
// or in the night mode it was turned red for, and copies stretched to the sizes they are
// drawn at. Repaints blit from these instead of opening and decoding the picture file and
// stretching it again. A resource that cannot be loaded is remembered as such. Emptied
// when the colour scheme changes.
struct CachedPicture {
    int resourceId;
    int nightMode;
    int width, height;  // 0, 0: as decoded
    DrawWindow* record;
};
// Kept until the process ends (never destroyed, so that the pictures stay reachable and
// no exit-time destructor frees them before the windows go).
std::vector<CachedPicture>& PictureCache() {
    static auto* cache = new std::vector<CachedPicture>;
    return *cache;
}

const DrawWindow* CachedResource(int resourceId, int nightMode, int width = 0, int height = 0) {
    for (const CachedPicture& c : PictureCache())
        if (c.resourceId == resourceId && c.nightMode == nightMode && c.width == width && c.height == height)
            return c.record;
    DrawWindow* record = nullptr;
    if (width == 0 && height == 0) {
        record = LoadResource(resourceId, nightMode != 0);
    } else if (const DrawWindow* picture = CachedResource(resourceId, nightMode)) {
        if (width == picture->width && height == picture->height) return picture;
        if (width > 0 && height > 0 && (record = CreateOffscreenDIB(width, height, 16)))
            platform::StretchBlit(record->dc, 0, 0, width, height, picture->dc, 0, 0, picture->width,
                                  picture->height);
    }
    // The cache outlives the forms and their windows: the record belongs to none.
    if (record) record->window = Window{};
    PictureCache().push_back({resourceId, nightMode, width, height, record});
    return record;
}

// A new offscreen the caller owns, with a copy of a cached picture's pixels.
DrawWindow* CopyOfPicture(const DrawWindow* picture) {
    DrawWindow* record = CreateOffscreenDIB(picture->width, picture->height, 16);
    if (!record) return nullptr;
    if (record->stride == picture->stride && record->pixels && picture->pixels)
        std::memcpy(record->pixels, picture->pixels, static_cast<std::size_t>(picture->stride) * picture->height);
    else
        platform::CopyBlit(record->dc, 0, 0, picture->width, picture->height, picture->dc, 0, 0);
    return record;
}

// The colour of a record's top-left pixel: the key of the masked bitmap blits.
platform::Color TopLeftColour(const DrawWindow* record) {
    platform::Color c = platform::GetPixel(record->dc, 0, 0);
    return c == platform::kNoColor ? 0 : c;
}

int Scaled(int v, double factor) { return static_cast<int>(v * factor); }

int DrawResourceStretched(int resourceId, int x, int y, bool masked, double fx, double fy) {
    const DrawWindow* record = CachedResource(resourceId, NightMode());
    if (!record) return 0;
    const int w = Scaled(record->width, fx), h = Scaled(record->height, fy);
    // The key is the decoded picture's top-left pixel.
    const platform::Color key = masked ? TopLeftColour(record) : 0;
    if (const DrawWindow* scaled = CachedResource(resourceId, NightMode(), w, h)) record = scaled;
    if (masked)
        platform::TransparentBlit(drawState.dc, x, y, w, h, record->dc, 0, 0, record->width, record->height, key);
    else
        platform::StretchBlit(drawState.dc, x, y, w, h, record->dc, 0, 0, record->width, record->height);
    return 1;
}

std::uint16_t* PixelAt(DrawWindow* r, int x, int y) {
    return reinterpret_cast<std::uint16_t*>(r->pixels + static_cast<std::ptrdiff_t>(r->height - 1 - y) * r->stride +
                                            static_cast<std::ptrdiff_t>(x) * 2);
}

}  // namespace

// ---- Scale and layout ------------------------------------------------------------------

void InitScreenScale() {
    const double dpi = platform::ScreenDpi();
    screenScale.horizontal = dpi * (1.0 / 96);
    screenScale.vertical = dpi * (1.0 / 96);
}

void GetScreenSize(int* width, int* height) {
    if (width) *width = platform::ScreenWidth();
    if (height) *height = platform::ScreenHeight();
}

bool GetResizeDelta(Window formWindow, int width, int height, int* dx, int* dy) {
    layout.form = formWindow;
    layout.lastWidth = width;
    layout.lastHeight = height;
    layout.scaledWidth = static_cast<int>(kDesignWidth * screenScale.horizontal);
    layout.scaledHeight = static_cast<int>(kDesignHeight * screenScale.vertical);
    *dx = width - layout.scaledWidth;
    *dy = height - layout.scaledHeight;
    return *dx != 0 || *dy != 0;
}

void MoveObject(Window dialog, int controlId, int dx, int dy, int dw, int dh) {
    Window control = platform::FindChild(dialog, static_cast<std::uint16_t>(controlId));
    if (!control) return;
    platform::Rect r = platform::GetRectInParent(control);
    platform::Rect moved{r.left + dx, r.top + dy, r.left + dx + r.Width() + dw, r.top + dy + r.Height() + dh};
    platform::MoveWindow(control, moved, true);
}

void GetObjectBounds(Window dialog, int controlId, Bounds* bounds) {
    Window control = platform::FindChild(dialog, static_cast<std::uint16_t>(controlId));
    if (!control || !bounds) return;
    RectToBounds(platform::GetWindowRect(control), bounds);
}

void RectToBounds(const platform::Rect& rect, Bounds* bounds) {
    bounds->x = rect.left;
    bounds->y = rect.top;
    bounds->width = rect.right - rect.left;
    bounds->height = rect.bottom - rect.top;
}

// ---- Draw target -----------------------------------------------------------------------

void SetDrawTarget(Window window, Dc dc) {
    DropTarget();
    drawState.window = window;
    drawState.dc = dc;
    drawState.clientRect = platform::GetClientRect(window);
    targetRecord = new DrawWindow{};
    targetRecord->window = window;
    targetRecord->dc = dc;
    drawState.current = targetRecord;
}

void ReleaseDrawTarget() { DropTarget(); }

DrawWindow* SetDrawWindow(DrawWindow* record) {
    DrawWindow* previous = drawState.current;
    drawState.current = record;
    drawState.window = record ? record->window : Window{};
    drawState.dc = record ? record->dc : Dc{};
    return previous;
}

DrawWindow* GetDrawWindow() { return drawState.current; }
DrawWindow* GetCurrentDrawWindow() { return drawState.current; }
Dc GetDrawDC() { return drawState.dc; }

// ---- Offscreens ------------------------------------------------------------------------

DrawWindow* CreateOffscreen(int width, int height) {
    GfxObject bitmap = platform::MakeBitmap(width, height);
    if (!bitmap) return nullptr;
    Dc dc = platform::MakeMemoryDc(drawState.dc);
    if (!dc) {
        platform::DeleteObject(bitmap);
        return nullptr;
    }
    auto* record = new DrawWindow{};
    record->window = drawState.window;
    record->dc = dc;
    record->bitmap = bitmap;
    record->previousBitmap = platform::SelectObject(dc, bitmap);
    record->width = width;
    record->height = height;
    return record;
}

GfxObject CreateDibBitmap(int width, int height, int bitsPerPixel, std::uint8_t** pixels) {
    return platform::MakeSection(width, height, bitsPerPixel, pixels);
}

DrawWindow* CreateOffscreenDIB(int width, int height, int bitsPerPixel) {
    std::uint8_t* pixels = nullptr;
    GfxObject bitmap = CreateDibBitmap(width, height, bitsPerPixel, &pixels);
    if (!bitmap) return nullptr;
    Dc dc = platform::MakeMemoryDc(Dc{});
    platform::BitmapInfo info;
    if (!dc || !platform::GetBitmapInfo(bitmap, &info)) {
        platform::DeleteDc(dc);
        platform::DeleteObject(bitmap);
        return nullptr;
    }
    auto* record = new DrawWindow{};
    record->window = platform::GetActiveWindow();
    record->dc = dc;
    record->bitmap = bitmap;
    record->previousBitmap = platform::SelectObject(dc, bitmap);
    record->width = width;
    record->height = height;
    record->pixels = pixels;
    record->bitsPerPixel = static_cast<std::int16_t>(info.bitsPerPixel);
    record->stride = static_cast<std::int16_t>(info.stride);
    record->bytesPerPixel = static_cast<std::int16_t>(info.bitsPerPixel < 9 ? 1 : info.bitsPerPixel / 8);
    return record;
}

void DeleteOffscreen(DrawWindow* record) {
    if (!record) return;
    // Never leave the drawing functions pointing at a freed record.
    if (drawState.current == record) SetDrawWindow(nullptr);
    if (drawState.redirectedFrom == record) drawState.redirectedFrom = nullptr;
    if (record->bitmap) {
        platform::SelectObject(record->dc, record->previousBitmap);
        platform::DeleteObject(record->bitmap);
        platform::DeleteDc(record->dc);
    }
    delete record;
}

DrawWindow* LoadBitmapOffscreen(int resourceId, int bitsPerPixel) {
    if (bitsPerPixel == 16) {
        const DrawWindow* picture = CachedBitmap(resourceId);
        return picture ? CopyOfPicture(picture) : nullptr;
    }
    GfxObject bitmap = platform::LoadBitmapResource(resourceId);
    if (!bitmap) return nullptr;
    DrawWindow* record = OffscreenFromBitmap(bitmap, bitsPerPixel, NightMode() != 0);
    platform::DeleteObject(bitmap);
    return record;
}

const DrawWindow* CachedBitmap(int resourceId) { return CachedResource(resourceId, NightMode()); }

const DrawWindow* CachedBitmapAt(int resourceId, int width, int height) {
    return CachedResource(resourceId, NightMode(), width, height);
}

void ClearPictureCache() {
    for (CachedPicture& c : PictureCache()) DeleteOffscreen(c.record);
    PictureCache().clear();
}

DrawWindow* LoadBitmap16(int resourceId) { return LoadBitmapOffscreen(resourceId, 16); }

DrawWindow* LoadImageFile(const char* relativePath, int bitsPerPixel) {
    const std::string full = platform::ResolvePath(relativePath ? relativePath : "").string();
    std::string problem;
    GfxObject bitmap = platform::LoadPictureBitmap(full, &problem);
    if (!bitmap) {
        // A file that is there but refused (damaged, too large) says why.
        std::error_code ec;
        const bool there = std::filesystem::exists(full, ec);
        ShowMessage(there ? "Can't load picture" : "Can't find", there ? (full + ": " + problem).c_str() : full.c_str());
        return nullptr;
    }
    DrawWindow* record = OffscreenFromBitmap(bitmap, bitsPerPixel, NightMode() != 0);
    platform::DeleteObject(bitmap);
    return record;
}

// ---- Blits -----------------------------------------------------------------------------

void CopyBits(DrawWindow* source, DrawWindow* destination, const Bounds& rect, int x, int y, int mode) {
    if (!source || !destination) return;
    if (mode == kDrawTransparent)
        platform::TransparentBlit(destination->dc, x, y, rect.width, rect.height, source->dc, rect.x, rect.y,
                                  rect.width, rect.height, source->transparentColour);
    else
        platform::CopyBlit(destination->dc, x, y, rect.width, rect.height, source->dc, rect.x, rect.y);
}

void StretchBits(DrawWindow* source, DrawWindow* destination, const Bounds& rect, int x, int y, int mode,
                 float zoom) {
    if (!source || !destination || !(zoom > 0.0f)) return;
    const float w = static_cast<float>(rect.width) / zoom;
    const float h = static_cast<float>(rect.height) / zoom;
    const int sw = static_cast<int>(w), sh = static_cast<int>(h);
    const int sx = rect.x + static_cast<int>((static_cast<float>(rect.width) - w) * 0.5f);
    const int sy = rect.y + static_cast<int>((static_cast<float>(rect.height) - h) * 0.5f);
    if (mode == kDrawTransparent)
        platform::TransparentBlit(destination->dc, x, y, rect.width, rect.height, source->dc, sx, sy, sw, sh,
                                  source->transparentColour);
    else
        platform::StretchBlit(destination->dc, x, y, rect.width, rect.height, source->dc, sx, sy, sw, sh);
}

void CopyBitsTransparent(DrawWindow* source, DrawWindow* destination, const Bounds& rect, int x, int y) {
    if (!source || !destination) return;
    if (!source->pixels || !destination->pixels) {
        platform::TransparentBlit(destination->dc, x, y, rect.width, rect.height, source->dc, rect.x, rect.y,
                                  rect.width, rect.height, source->transparentColour);
        return;
    }
    if (x < 0 || y < 0) return;
    const std::uint16_t key = platform::ColorToPixel(source->transparentColour) & 0x7FFF;
    for (int r = 0; r < rect.height; ++r) {
        const int sy = rect.y + r, dy = y + r;
        if (dy >= destination->height) break;
        // Rows and columns outside the source bitmap are not part of it: skip them.
        if (sy < 0 || sy >= source->height) continue;
        const std::uint16_t* from = PixelAt(source, 0, sy);
        std::uint16_t* to = PixelAt(destination, 0, dy);
        for (int c = 0; c < rect.width; ++c) {
            const int sx = rect.x + c, dx = x + c;
            if (dx >= destination->width) break;
            if (sx < 0 || sx >= source->width) continue;
            const std::uint16_t p = from[sx];
            if ((p & 0x7FFF) != key) to[dx] = p;
        }
    }
}

DrawWindow* MirrorOffscreen(DrawWindow* record, int flipX, int flipY) {
    if (!record) return record;
    platform::BitmapInfo info;
    if (!platform::GetBitmapInfo(record->bitmap, &info)) return record;
    DrawWindow* mirrored = CreateOffscreen(info.width, info.height);
    if (!mirrored) return record;
    const bool fx = flipX >= 1, fy = flipY >= 1;
    // With the layer's stretch rule, a source starting at the far edge with a negative
    // extent reads the last column first.
    platform::StretchBlit(mirrored->dc, 0, 0, info.width, info.height, record->dc, fx ? info.width : 0,
                          fy ? info.height : 0, fx ? -info.width : info.width, fy ? -info.height : info.height);
    mirrored->transparentColour = record->transparentColour;
    DeleteOffscreen(record);
    return mirrored;
}

DrawWindow* SaveRect(const Bounds& rect) {
    DrawWindow* record = CreateOffscreen(rect.width + 1, rect.height + 1);
    if (!record) return nullptr;
    platform::CopyBlit(record->dc, 0, 0, rect.width + 1, rect.height + 1, drawState.dc, rect.x, rect.y);
    return record;
}

void RestoreRect(DrawWindow* record, int x, int y) {
    if (!record) return;
    platform::CopyBlit(drawState.dc, x, y, record->width, record->height, record->dc, 0, 0);
    DeleteOffscreen(record);
}

int DrawBitmapTransparent(int resourceId, int x, int y) {
    const DrawWindow* record = CachedResource(resourceId, NightMode());
    if (!record) return 0;
    platform::TransparentBlit(drawState.dc, x, y, record->width, record->height, record->dc, 0, 0, record->width,
                              record->height, TopLeftColour(record));
    return 0;
}

int DrawBitmap(int resourceId, int x, int y) {
    return DrawResourceStretched(resourceId, x, y, false, screenScale.horizontal, screenScale.vertical);
}

int DrawBitmapScaled(int resourceId, int x, int y, double factor) {
    return DrawResourceStretched(resourceId, x, y, true, factor, factor);
}

int DrawBitmapMasked(int resourceId, int x, int y) {
    return DrawResourceStretched(resourceId, x, y, true, screenScale.horizontal, screenScale.vertical);
}

int DrawImageFileFit(const char* relativePath, int x, int y, int width, int height) {
    DrawWindow* picture = LoadImageFile(relativePath, 16);
    if (!picture) return 0;
    const double fx = width < picture->width ? static_cast<double>(width) / picture->width : 1.0;
    const double fy = height < picture->height ? static_cast<double>(height) / picture->height : 1.0;
    const double factor = fy < fx ? fy : fx;
    const int w = static_cast<int>(picture->width * factor);
    const int h = static_cast<int>(picture->height * factor);
    const int left = x + static_cast<int>((width - w) * 0.5);
    const int top = y + static_cast<int>((height - h) * 0.5);
    platform::StretchBlit(drawState.dc, left, top, w, h, picture->dc, 0, 0, picture->width, picture->height);
    DeleteOffscreen(picture);
    return 1;
}

// ---- Saved screen and double buffer ----------------------------------------------------

void SaveScreen() {
    const int w = drawState.clientRect.Width(), h = drawState.clientRect.Height();
    // No form laid out yet (or one gone): nothing on the screen is the form's to keep.
    if (w <= 0 || h <= 0) {
        FreeSavedScreen();
        return;
    }
    if (offscreenSaved && offscreenSaved->width == w && offscreenSaved->height == h) {
        platform::CopyBlit(offscreenSaved->dc, 0, 0, w, h, drawState.dc, 0, 0);
        return;
    }
    FreeSavedScreen();
    offscreenSaved = CreateOffscreenDIB(w, h, 16);
    if (!offscreenSaved) {
        ShowMessage("Failed to allocate offscreenSaved", "");
        return;
    }
    platform::FillRect(offscreenSaved->dc, platform::Rect{0, 0, w, h}, GetBackBrush());
    platform::CopyBlit(offscreenSaved->dc, 0, 0, w, h, drawState.dc, 0, 0);
}

void RestoreScreen(int bottomBand) {
    if (!offscreenSaved) return;
    platform::CopyBlit(drawState.dc, 0, 0, drawState.clientRect.Width(), drawState.clientRect.Height() - bottomBand,
                       offscreenSaved->dc, 0, 0);
}

void FreeSavedScreen() {
    DeleteOffscreen(offscreenSaved);
    offscreenSaved = nullptr;
}

void BeginOffscreenDraw(bool clear) {
    if (!screenBuffer) {
        screenBuffer = CreateOffscreenDIB(drawState.clientRect.Width(), drawState.clientRect.Height(), 16);
        if (!screenBuffer) return;
        clear = true;
    }
    // Beginning twice keeps the first target, so the end still copies to the window.
    if (drawState.current != screenBuffer) drawState.redirectedFrom = SetDrawWindow(screenBuffer);
    if (clear) {
        platform::FillRect(screenBuffer->dc, platform::Rect{0, 0, screenBuffer->width, screenBuffer->height},
                           GetBackBrush());
        if (titleUnderline) titleUnderline(drawState.formWindow, screenBuffer->dc);
    }
}

void EndOffscreenDraw() {
    if (!screenBuffer || !drawState.redirectedFrom) return;
    DrawWindow* back = drawState.redirectedFrom;
    platform::CopyBlit(back->dc, 0, 0, screenBuffer->width, screenBuffer->height, screenBuffer->dc,
                       screenBuffer->originX, screenBuffer->originY);
    SetDrawWindow(back);
    drawState.redirectedFrom = nullptr;
}

DrawWindow* GetScreenBuffer() {
    if (!screenBuffer)
        screenBuffer = CreateOffscreenDIB(drawState.clientRect.Width(), drawState.clientRect.Height(), 16);
    return screenBuffer;
}

void FreeScreenBuffer() {
    if (screenBuffer && drawState.current == screenBuffer) {
        DrawWindow* back = drawState.redirectedFrom;
        drawState.redirectedFrom = nullptr;
        SetDrawWindow(back);
    }
    DeleteOffscreen(screenBuffer);
    screenBuffer = nullptr;
}
