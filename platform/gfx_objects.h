#pragma once
// Drawing objects: pens, brushes, fonts, bitmaps and rectangle regions, held behind
// generation-checked handles. A null, stale or stock handle makes deletion a harmless
// failure; deleting an object still selected into a device context only marks it, and it
// goes away when it is deselected.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "platform/types.h"

namespace platform {

struct GfxObject {
    std::uint64_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend bool operator==(const GfxObject&, const GfxObject&) = default;
};

enum class ObjectKind { None, Pen, Brush, Font, Bitmap, Region };

enum class PenStyle { Solid, Dash, Null };

// The character set that asks for the symbol encoding (Latin letters drawn as Greek).
constexpr int kSymbolCharset = 2;
constexpr int kWeightNormal = 400;
constexpr int kWeightBold = 700;

// What a font was made from. A negative height is the em size in pixels, a positive one
// the cell height; 0 takes the system font's size.
struct FontSpec {
    int height = 0;
    int weight = kWeightNormal;
    bool italic = false;
    int charset = 0;
    std::string face;
};

// DefaultBitmap is the 1 x 1 bitmap a fresh memory context holds.
enum class Stock { WhiteBrush, BlackBrush, NullBrush, BlackPen, WhitePen, NullPen, SystemFont, DefaultBitmap };

GfxObject MakePen(PenStyle style, int width, Color color);
GfxObject MakeBrush(Color color);
GfxObject MakeFont(const FontSpec& desc);
// A bitmap of the screen's format, zero-filled; fails (null) when width or height <= 0.
GfxObject MakeBitmap(int width, int height);
// A device-independent section: as MakeBitmap, and its pixel memory is handed out. Only
// 16 bits per pixel exist; other depths fail.
GfxObject MakeSection(int width, int height, int bitsPerPixel, std::uint8_t** pixels);
// Takes a surface (a loaded picture) as a bitmap; fails for an invalid surface.
GfxObject MakeBitmapFrom(Surface&& surface);
GfxObject MakeRectRegion(const Rect& r);
GfxObject StockObject(Stock which);
// The system font of screen scale s: height -12*s, normal weight.
GfxObject SystemFont(int scale);

bool DeleteObject(GfxObject obj);
ObjectKind KindOf(GfxObject obj);
bool IsStock(GfxObject obj);

struct BitmapInfo {
    int width = 0;
    int height = 0;
    int stride = 0;
    int bitsPerPixel = 0;
    std::uint8_t* bits = nullptr;
};
bool GetBitmapInfo(GfxObject bitmap, BitmapInfo* info);
bool GetFontSpec(GfxObject font, FontSpec* desc);

// Live objects other than stock ones; tests use it to find leaks.
int LiveObjectCount();

}  // namespace platform
