// Device contexts on bitmaps: the drawing conventions every caller relies on.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/surface.h"
#include "platform/system_colors.h"

namespace platform {
namespace {

constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kBlue = Rgb(0, 0, 255);

// A memory context holding a bitmap, filled with white.
struct Canvas {
    Dc dc;
    GfxObject bitmap;
    GfxObject original;
    int width;
    int height;
    Canvas(int w, int h) : width(w), height(h) {
        dc = MakeMemoryDc(Dc{});
        bitmap = MakeBitmap(w, h);
        original = SelectObject(dc, bitmap);
        FillRect(dc, Rect{0, 0, w, h}, StockObject(Stock::WhiteBrush));
    }
    ~Canvas() {
        SelectObject(dc, original);
        DeleteObject(bitmap);
        DeleteDc(dc);
    }
    // Reads the bitmap itself, whatever the context's clip.
    Color At(int x, int y) const {
        BitmapInfo info;
        GetBitmapInfo(bitmap, &info);
        const auto* row = reinterpret_cast<const std::uint16_t*>(info.bits + (height - 1 - y) * info.stride);
        return PixelToColor(row[x]);
    }
    // Every pixel that is not white.
    std::set<std::pair<int, int>> Inked() const {
        std::set<std::pair<int, int>> s;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (At(x, y) != kWhite) s.insert({x, y});
        return s;
    }
};

using Points = std::set<std::pair<int, int>>;

TEST(GfxDrawing, FreshContextCarriesTheDefaults) {
    Canvas c(4, 4);
    EXPECT_EQ(BackColor(c.dc), kWhite);
    EXPECT_EQ(TextColor(c.dc), 0u);
    EXPECT_EQ(SetBackMode(c.dc, BackMode::Opaque), BackMode::Opaque);
    FontSpec font;
    ASSERT_TRUE(GetFontSpec(CurrentObject(c.dc, ObjectKind::Font), &font));
    EXPECT_LT(font.height, 0);
    EXPECT_EQ(CurrentObject(c.dc, ObjectKind::Pen), StockObject(Stock::BlackPen));
    EXPECT_EQ(CurrentObject(c.dc, ObjectKind::Brush), StockObject(Stock::WhiteBrush));
}

TEST(GfxDrawing, LinesExcludeTheirEndPoint) {
    Canvas c(8, 8);
    MoveTo(c.dc, 1, 1, nullptr);
    LineTo(c.dc, 5, 1);
    EXPECT_EQ(c.Inked(), (Points{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));

    Canvas d(8, 8);
    const Point corner[3] = {{0, 0}, {3, 3}, {3, 6}};
    Polyline(d.dc, corner, 3);
    EXPECT_EQ(d.Inked(), (Points{{0, 0}, {1, 1}, {2, 2}, {3, 3}, {3, 4}, {3, 5}}));

    Canvas e(4, 4);
    MoveTo(e.dc, 2, 2, nullptr);
    LineTo(e.dc, 2, 2);
    EXPECT_TRUE(e.Inked().empty());
}

TEST(GfxDrawing, DashedPenLeavesGapsAndNullPenNothing) {
    Canvas c(20, 2);
    GfxObject dash = MakePen(PenStyle::Dash, 1, 0);
    GfxObject old = SelectObject(c.dc, dash);
    MoveTo(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 20, 0);
    const auto inked = c.Inked().size();
    EXPECT_GT(inked, 5u);
    EXPECT_LT(inked, 20u);
    SelectObject(c.dc, StockObject(Stock::NullPen));
    LineTo(c.dc, 0, 1);
    EXPECT_EQ(c.Inked().size(), inked);
    SelectObject(c.dc, old);
    DeleteObject(dash);
}

TEST(GfxDrawing, FillRectExcludesRightAndBottom) {
    Canvas c(6, 6);
    GfxObject red = MakeBrush(kRed);
    FillRect(c.dc, Rect{1, 2, 3, 4}, red);
    EXPECT_EQ(c.Inked(), (Points{{1, 2}, {2, 2}, {1, 3}, {2, 3}}));
    EXPECT_EQ(c.At(1, 2), kRed);
    DeleteObject(red);
}

TEST(GfxDrawing, EllipseAndRoundRectStayInsideTheirBoxAndTouchEverySide) {
    for (Rect box : {Rect{1, 1, 11, 7}, Rect{2, 2, 4, 4}, Rect{0, 0, 9, 9}}) {
        Canvas c(14, 12);
        GfxObject blue = MakeBrush(kBlue);
        GfxObject old = SelectObject(c.dc, blue);
        Ellipse(c.dc, box);
        int minX = 99, maxX = -1, minY = 99, maxY = -1;
        for (auto [x, y] : c.Inked()) {
            minX = std::min(minX, x), maxX = std::max(maxX, x);
            minY = std::min(minY, y), maxY = std::max(maxY, y);
        }
        EXPECT_EQ(minX, box.left);
        EXPECT_EQ(maxX, box.right - 1);
        EXPECT_EQ(minY, box.top);
        EXPECT_EQ(maxY, box.bottom - 1);
        // The outline is the pen's, the inside the brush's, symmetric about the centre.
        const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
        if (box.Width() > 4) {
            EXPECT_EQ(c.At(cx, cy), kBlue);
        }
        EXPECT_EQ(c.At(box.left, cy), 0u);
        EXPECT_EQ(c.At(box.right - 1, cy), 0u);
        if (box.Width() > 4) {
            EXPECT_EQ(c.At(box.left, box.top), kWhite);
        }
        SelectObject(c.dc, old);
        DeleteObject(blue);
    }
    Canvas r(10, 10);
    RoundRect(r.dc, Rect{0, 0, 10, 10}, 4, 4);
    EXPECT_EQ(r.At(0, 0), kWhite);    // the corner is cut
    EXPECT_EQ(r.At(5, 0), 0u);        // the straight edge is drawn
    EXPECT_EQ(r.At(0, 5), 0u);
}

TEST(GfxDrawing, ClipRestrictsEveryCall) {
    Canvas src(4, 4);
    FillRect(src.dc, Rect{0, 0, 4, 4}, StockObject(Stock::BlackBrush));

    Canvas c(10, 10);
    IntersectClip(c.dc, Rect{2, 2, 6, 6});
    EXPECT_EQ(ClipBox(c.dc), (Rect{2, 2, 6, 6}));
    Ellipse(c.dc, Rect{0, 0, 10, 10});
    FillRect(c.dc, Rect{0, 0, 10, 10}, StockObject(Stock::BlackBrush));
    MoveTo(c.dc, 0, 8, nullptr);
    LineTo(c.dc, 10, 8);
    EXPECT_FALSE(SetPixel(c.dc, 7, 7, 0));
    CopyBlit(c.dc, 6, 6, 4, 4, src.dc, 0, 0);
    TextOut(c.dc, 6, 0, "W");
    for (auto [x, y] : c.Inked()) {
        EXPECT_GE(x, 2);
        EXPECT_LT(x, 6);
        EXPECT_GE(y, 2);
        EXPECT_LT(y, 6);
    }
    EXPECT_EQ(c.Inked().size(), 16u);
    EXPECT_EQ(GetPixel(c.dc, 0, 0), kNoColor);   // reading is clipped too

    // A second intersection narrows; selecting no region lifts the clip.
    IntersectClip(c.dc, Rect{4, 0, 10, 10});
    EXPECT_EQ(ClipBox(c.dc), (Rect{4, 2, 6, 6}));
    SelectClip(c.dc, GfxObject{});
    EXPECT_EQ(ClipBox(c.dc), (Rect{0, 0, 10, 10}));
    GfxObject region = MakeRectRegion(Rect{8, 8, 20, 20});
    SelectClip(c.dc, region);
    DeleteObject(region);   // the context keeps its own copy
    EXPECT_EQ(ClipBox(c.dc), (Rect{8, 8, 10, 10}));
}

TEST(GfxDrawing, OutOfBoundsPixelsAreIgnored) {
    Canvas c(3, 3);
    EXPECT_FALSE(SetPixel(c.dc, -1, 0, 0));
    EXPECT_FALSE(SetPixel(c.dc, 3, 0, 0));
    EXPECT_FALSE(SetPixel(c.dc, 0, 3, 0));
    EXPECT_EQ(GetPixel(c.dc, 0, -1), kNoColor);
    EXPECT_TRUE(c.Inked().empty());
}

TEST(GfxDrawing, ScreenRowZeroIsTheLastMemoryRow) {
    std::uint8_t* bits = nullptr;
    GfxObject section = MakeSection(3, 2, 16, &bits);
    ASSERT_TRUE(section);
    Dc dc = MakeMemoryDc(Dc{});
    GfxObject old = SelectObject(dc, section);
    SetPixel(dc, 1, 0, Rgb(255, 0, 0));
    BitmapInfo info;
    ASSERT_TRUE(GetBitmapInfo(section, &info));
    EXPECT_EQ(info.stride, 8);   // 3 pixels of 2 bytes, rounded up to 4
    EXPECT_EQ(info.bits, bits);
    const auto* lastRow = reinterpret_cast<const std::uint16_t*>(bits + info.stride);
    EXPECT_EQ(lastRow[1], 0x7C00);
    // Writing memory directly shows through the context.
    reinterpret_cast<std::uint16_t*>(bits)[2] = 0x001F;
    EXPECT_EQ(GetPixel(dc, 2, 1), Rgb(0, 0, 255));
    SelectObject(dc, old);
    DeleteObject(section);
    DeleteDc(dc);
}

TEST(GfxDrawing, DrawEdgeUsesTheWindowFrameColourAndFocusRectUndoesItself) {
    const int frame[1] = {kColorWindowFrame};
    const Color green[1] = {Rgb(0, 255, 0)};
    SetSystemColors(1, frame, green);
    Canvas c(6, 5);
    DrawEdge(c.dc, Rect{0, 0, 6, 5});
    EXPECT_EQ(c.At(0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(c.At(5, 4), Rgb(0, 255, 0));
    EXPECT_EQ(c.At(2, 2), kWhite);
    EXPECT_EQ(c.Inked().size(), 18u);
    ResetSystemColors();

    Canvas f(7, 6);
    GfxObject red = MakeBrush(kRed);
    FillRect(f.dc, Rect{0, 0, 3, 6}, red);
    DeleteObject(red);
    const auto before = f.Inked();
    DrawFocusRect(f.dc, Rect{1, 1, 6, 5});
    EXPECT_NE(f.Inked(), before);
    EXPECT_NE(f.At(1, 1), f.At(2, 1));   // dotted
    DrawFocusRect(f.dc, Rect{1, 1, 6, 5});
    EXPECT_EQ(f.Inked(), before);
    EXPECT_EQ(f.At(1, 1), kRed);
}

TEST(GfxDrawing, CopyBlitLeavesWhatLiesOutsideTheSourceAlone) {
    Canvas src(2, 2);
    FillRect(src.dc, Rect{0, 0, 2, 2}, StockObject(Stock::BlackBrush));
    Canvas dst(6, 6);
    CopyBlit(dst.dc, 1, 1, 4, 4, src.dc, -1, -1);
    EXPECT_EQ(dst.Inked(), (Points{{2, 2}, {3, 2}, {2, 3}, {3, 3}}));
}

// A one-to-one copy goes row by row; it must put down what the pixel-by-pixel blit does (a
// keyed blit whose key never occurs), with the source partly outside its bitmap and the
// destination cut by a clip and by its edge.
TEST(GfxDrawing, OneToOneCopyEqualsThePixelByPixelBlit) {
    Canvas src(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) SetPixel(src.dc, x, y, Rgb(x * 30, y * 40, 8));
    struct Case {
        int dx, dy, w, h, sx, sy;
    };
    const Case cases[] = {{0, 0, 7, 5, 0, 0}, {3, 2, 9, 6, -2, 1}, {-2, -1, 6, 4, 3, 2}, {8, 7, 5, 5, 0, 0}};
    for (const Case& k : cases) {
        Canvas rows(10, 9), pixels(10, 9);
        IntersectClip(rows.dc, Rect{1, 1, 9, 8});
        IntersectClip(pixels.dc, Rect{1, 1, 9, 8});
        CopyBlit(rows.dc, k.dx, k.dy, k.w, k.h, src.dc, k.sx, k.sy);
        TransparentBlit(pixels.dc, k.dx, k.dy, k.w, k.h, src.dc, k.sx, k.sy, k.w, k.h, Rgb(255, 0, 255));
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 10; ++x)
                EXPECT_EQ(rows.At(x, y), pixels.At(x, y)) << k.dx << "," << k.dy << " at " << x << "," << y;
    }
}

TEST(GfxDrawing, OverlappingCopyOnOneSurfaceActsThroughATemporary) {
    Canvas c(6, 1);
    for (int x = 0; x < 6; ++x) SetPixel(c.dc, x, 0, Rgb(x * 40, 0, 0));
    CopyBlit(c.dc, 1, 0, 5, 1, c.dc, 0, 0);
    EXPECT_EQ(c.At(0, 0), Rgb(0, 0, 0));
    for (int x = 1; x < 6; ++x) EXPECT_EQ(c.At(x, 0), PixelToColor(ColorToPixel(Rgb((x - 1) * 40, 0, 0)))) << x;
}

TEST(GfxDrawing, StretchIsExactAtIntegerZoomAndMirrorsWithNegativeExtents) {
    Canvas src(2, 2);
    SetPixel(src.dc, 0, 0, kRed);
    SetPixel(src.dc, 1, 1, kBlue);
    Canvas dst(4, 4);
    StretchBlit(dst.dc, 0, 0, 4, 4, src.dc, 0, 0, 2, 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(dst.At(x, y), src.At(x / 2, y / 2)) << x << "," << y;

    Canvas mirror(2, 2);
    StretchBlit(mirror.dc, 0, 0, 2, 2, src.dc, 2, 0, -2, 2);
    EXPECT_EQ(mirror.At(1, 0), kRed);
    EXPECT_EQ(mirror.At(0, 1), kBlue);
    Canvas flip(2, 2);
    StretchBlit(flip.dc, 0, 2, 2, -2, src.dc, 0, 0, 2, 2);   // a negative destination height flips too
    EXPECT_EQ(flip.At(0, 1), kRed);
    EXPECT_EQ(flip.At(1, 0), kBlue);

    Canvas none(2, 2);
    StretchBlit(none.dc, 0, 0, 0, 2, src.dc, 0, 0, 2, 2);
    StretchBlit(none.dc, 0, 0, 2, 2, src.dc, 0, 0, 0, 2);
    EXPECT_TRUE(none.Inked().empty());

    // Shrinking by 2 samples the second pixel of each pair.
    Canvas wide(4, 1);
    SetPixel(wide.dc, 1, 0, kRed);
    SetPixel(wide.dc, 3, 0, kBlue);
    Canvas half(2, 1);
    StretchBlit(half.dc, 0, 0, 2, 1, wide.dc, 0, 0, 4, 1);
    EXPECT_EQ(half.At(0, 0), kRed);
    EXPECT_EQ(half.At(1, 0), kBlue);
}

TEST(GfxDrawing, TransparentBlitSkipsTheKeyAndNeverReadsOutsideTheSource) {
    Canvas src(3, 1);
    FillRect(src.dc, Rect{0, 0, 3, 1}, StockObject(Stock::BlackBrush));
    SetPixel(src.dc, 1, 0, kRed);
    Canvas dst(5, 1);
    // The key's low bits do not matter: only the 15 colour bits are compared.
    TransparentBlit(dst.dc, 0, 0, 5, 1, src.dc, 0, 0, 5, 1, Rgb(5, 6, 7));
    EXPECT_EQ(dst.Inked(), (Points{{1, 0}}));
    EXPECT_EQ(dst.At(1, 0), kRed);

    Canvas raw(3, 1);
    TransparentBlitPixel(raw.dc, 0, 0, 3, 1, src.dc, 0, 0, 3, 1, 0x7C00);
    EXPECT_EQ(raw.Inked(), (Points{{0, 0}, {2, 0}}));
}

TEST(GfxObjects, HandlesFailHarmlesslyAndSelectedObjectsOutliveDeletion) {
    EXPECT_FALSE(DeleteObject(GfxObject{}));
    EXPECT_FALSE(DeleteObject(StockObject(Stock::BlackPen)));
    GfxObject brush = MakeBrush(kRed);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_FALSE(DeleteObject(brush));   // stale now
    EXPECT_EQ(KindOf(brush), ObjectKind::None);
    EXPECT_FALSE(MakeBitmap(0, 5));
    EXPECT_FALSE(MakeBitmap(5, -1));
    EXPECT_FALSE(MakeSection(4, 4, 24, nullptr));

    const int live = LiveObjectCount();
    Canvas c(4, 4);
    GfxObject pen = MakePen(PenStyle::Solid, 1, kRed);
    GfxObject old = SelectObject(c.dc, pen);
    EXPECT_TRUE(DeleteObject(pen));        // deferred while selected
    MoveTo(c.dc, 0, 0, nullptr);
    LineTo(c.dc, 2, 0);
    EXPECT_EQ(c.At(0, 0), kRed);           // still usable by the context
    EXPECT_FALSE(DeleteObject(pen));       // a second delete is not a second free
    EXPECT_EQ(SelectObject(c.dc, old), pen);
    EXPECT_EQ(KindOf(pen), ObjectKind::None);   // freed on deselection
    EXPECT_EQ(LiveObjectCount(), live + 1);     // only the canvas's bitmap is left

    // A fresh compatible bitmap is zero-filled (black).
    GfxObject b = MakeBitmap(2, 2);
    BitmapInfo info;
    ASSERT_TRUE(GetBitmapInfo(b, &info));
    EXPECT_EQ(info.width, 2);
    EXPECT_EQ(info.bitsPerPixel, 16);
    EXPECT_EQ(reinterpret_cast<std::uint16_t*>(info.bits)[0], 0);
    DeleteObject(b);

    // Calls on a deleted context fail.
    Dc dc = MakeMemoryDc(Dc{});
    DeleteDc(dc);
    EXPECT_FALSE(DeleteDc(dc));
    EXPECT_FALSE(SetPixel(dc, 0, 0, 0));
    EXPECT_FALSE(SelectObject(dc, StockObject(Stock::BlackPen)));
}

TEST(GfxObjects, FontInfoKeepsTheCreationRecord) {
    FontSpec desc;
    desc.height = -17;
    desc.weight = 700;
    desc.face = "Tahoma";
    GfxObject font = MakeFont(desc);
    FontSpec back;
    ASSERT_TRUE(GetFontSpec(font, &back));
    EXPECT_EQ(back.height, -17);
    EXPECT_EQ(back.weight, 700);
    EXPECT_EQ(back.face, "Tahoma");
    DeleteObject(font);
    EXPECT_FALSE(GetFontSpec(font, &back));
}

}  // namespace
}  // namespace platform
