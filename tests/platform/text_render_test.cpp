// Text through device contexts: cells, advances, mono glyphs, boxes and the symbol font.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/picture.h"
#include "platform/surface.h"
#include "platform/text_fonts.h"

namespace platform {
namespace {

namespace fs = std::filesystem;

const char* const kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// A black bitmap in a memory context with a selected font.
struct TextCanvas {
    Dc dc;
    GfxObject bitmap, oldBitmap, font, oldFont;
    int width, height;
    TextCanvas(int w, int h, const FontSpec& desc) : width(w), height(h) {
        dc = MakeMemoryDc(Dc{});
        bitmap = MakeBitmap(w, h);
        oldBitmap = SelectObject(dc, bitmap);
        font = MakeFont(desc);
        oldFont = SelectObject(dc, font);
        SetTextColor(dc, Rgb(255, 255, 255));
        SetBackMode(dc, BackMode::Transparent);
    }
    ~TextCanvas() {
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBitmap);
        DeleteObject(font);
        DeleteObject(bitmap);
        DeleteDc(dc);
    }
    Surface Pixels() const {
        BitmapInfo info;
        GetBitmapInfo(bitmap, &info);
        Surface copy = MakeSurface(width, height);
        std::copy(info.bits, info.bits + copy.bits.size(), copy.bits.begin());
        return copy;
    }
    // The bounding box of every non-black pixel; empty when there is none.
    Rect Ink() const {
        const Surface s = Pixels();
        Rect box{width, height, 0, 0};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (s.Row(y)[x]) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        return box.Empty() ? Rect{} : box;
    }
    void Clear() { FillRect(dc, Rect{0, 0, width, height}, StockObject(Stock::BlackBrush)); }
};

FontSpec Font(int height, int weight = kWeightNormal) {
    FontSpec f;
    f.height = height;
    f.weight = weight;
    f.face = "Tahoma";
    return f;
}

TEST(TextRender, ExtentIsTheSumOfAdvancesAndTheCellHeight) {
    TextCanvas c(200, 40, Font(-12));
    const TextMetrics m = GetTextMetrics(c.dc);
    EXPECT_EQ(m.height, m.ascent + m.descent);
    EXPECT_GE(m.height, 12);
    EXPECT_LE(m.height, 16);
    const Extent ab = TextExtent(c.dc, "AB"), a = TextExtent(c.dc, "A"), b = TextExtent(c.dc, "B");
    EXPECT_EQ(ab.width, a.width + b.width);
    EXPECT_EQ(ab.height, m.height);
    EXPECT_EQ(TextExtent(c.dc, "").width, 0);

    // In opaque mode the cell is filled: exactly the extent, from the given top-left.
    SetBackMode(c.dc, BackMode::Opaque);
    SetBackColor(c.dc, Rgb(0, 0, 255));
    TextOut(c.dc, 5, 7, "Hello");
    const Extent e = TextExtent(c.dc, "Hello");
    EXPECT_EQ(c.Ink(), (Rect{5, 7, 5 + e.width, 7 + e.height}));
}

TEST(TextRender, GlyphsAreMonoAndStartBelowTheCellTop) {
    TextCanvas c(60, 30, Font(-20));
    SetTextColor(c.dc, Rgb(200, 0, 0));
    TextOut(c.dc, 0, 0, "Ag");
    const Surface s = c.Pixels();
    const std::uint16_t red = ColorToPixel(Rgb(200, 0, 0));
    int inked = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) {
            const std::uint16_t p = s.Row(y)[x];
            EXPECT_TRUE(p == 0 || p == red) << x << "," << y;
            inked += p != 0;
        }
    EXPECT_GT(inked, 20);
    const Rect ink = c.Ink();
    const TextMetrics m = GetTextMetrics(c.dc);
    EXPECT_GT(ink.top, 0);                  // a capital's top lies below the cell's top
    EXPECT_GT(ink.bottom, m.ascent);        // the g descends below the baseline
    EXPECT_LE(ink.bottom, m.height);
}

TEST(TextRender, BoldIsItsOwnFaceAndPositiveHeightsAreCells) {
    TextCanvas plain(10, 10, Font(-14));
    TextCanvas bold(10, 10, Font(-14, 700));
    EXPECT_GT(TextExtent(bold.dc, "mmmm").width, TextExtent(plain.dc, "mmmm").width);
    TextCanvas cell(10, 10, Font(20));
    EXPECT_NEAR(GetTextMetrics(cell.dc).height, 20, 1);
}

TEST(TextRender, DrawTextHandlesPrefixesBreaksAndAlignment) {
    TextCanvas a(200, 60, Font(-12)), b(200, 60, Font(-12));
    DrawTextIn(a.dc, "Day&&Night", Rect{0, 0, 200, 60}, kTextLeft);
    TextOut(b.dc, 0, 0, "Day&Night");
    EXPECT_EQ(a.Pixels().bits, b.Pixels().bits);
    a.Clear();
    b.Clear();
    DrawTextIn(a.dc, "&File", Rect{0, 0, 200, 60}, kTextLeft);
    TextOut(b.dc, 0, 0, "File");
    EXPECT_EQ(a.Pixels().bits, b.Pixels().bits);

    const int line = GetTextMetrics(a.dc).height;
    const int word = TextExtent(a.dc, "alpha").width;
    // Too narrow for two words: a break at the blank; "\n" always breaks.
    EXPECT_EQ(DrawTextIn(a.dc, "alpha beta", Rect{0, 0, word + 4, 60}, kTextWordBreak), 2 * line);
    EXPECT_EQ(DrawTextIn(a.dc, "alpha beta", Rect{0, 0, 200, 60}, kTextWordBreak), line);
    EXPECT_EQ(DrawTextIn(a.dc, "one\ntwo\nthree", Rect{0, 0, 200, 60}, kTextWordBreak), 3 * line);
    EXPECT_EQ(DrawTextIn(a.dc, "one\ntwo", Rect{0, 0, 200, 60}, kTextSingleLine), line);

    // Centred on both axes, and clipped to the rectangle.
    a.Clear();
    DrawTextIn(a.dc, "X", Rect{0, 0, 200, 60}, kTextCenter | kTextVCenter | kTextSingleLine);
    const Rect ink = a.Ink();
    EXPECT_NEAR((ink.left + ink.right) / 2.0, 100, 2);
    EXPECT_NEAR((ink.top + ink.bottom) / 2.0, 30, 4);
    a.Clear();
    DrawTextIn(a.dc, "WWWWWWWWWWWW", Rect{10, 10, 30, 14}, kTextLeft);
    const Rect clipped = a.Ink();
    EXPECT_GE(clipped.left, 10);
    EXPECT_LE(clipped.right, 30);
    EXPECT_LE(clipped.bottom, 14);
}

TEST(TextRender, ProgramTextIsWindows1252) {
    EXPECT_EQ(DecodeProgramText("\x95 12\xB0"), std::u32string(U"\u2022 12\u00B0"));
    EXPECT_EQ(DecodeProgramText("\x80\x9F\xE9"), std::u32string(U"\u20AC\u0178\u00E9"));
    EXPECT_EQ(ToUtf8(U"\u00B0\u2022"), "\xC2\xB0\xE2\x80\xA2");
    EXPECT_EQ(Utf8ToProgramText("12\xC2\xB0 \xE2\x80\xA2 \xE2\x82\xAC \xE4\xB8\x80"), "12\xB0 \x95 \x80 ?");
    EXPECT_EQ(DecodeProgramText("abwzAW1", true), std::u32string(U"\u03B1\u03B2\u03C9\u03B6\u0391\u03A91"));
}

TEST(TextRender, FontFilesRegisterOnceAndRemoveOnce) {
    const fs::path dir = fs::temp_directory_path() / ("velkarion_font_registry_" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path file = dir / "symbol.ttf";
    fs::copy_file(kDejaVu, file, fs::copy_options::overwrite_existing);
    EXPECT_EQ(AddFontFile(dir / "missing.ttf"), 0);
    const fs::path notAFont = dir / "junk.ttf";
    { std::FILE* f = std::fopen(notAFont.c_str(), "wb"); std::fputs("junk", f); std::fclose(f); }
    EXPECT_EQ(AddFontFile(notAFont), 0);
    EXPECT_EQ(AddFontFile(file), 1);
    EXPECT_EQ(AddFontFile(file), 1);
    EXPECT_TRUE(IsFontFileAdded(file));
    {
        // The registered copy of the default face does not take over its bold requests.
        FontSpec bold = Font(-14, 700);
        bold.face = "DejaVu Sans";
        FontSpec plain = bold;
        plain.weight = kWeightNormal;
        TextCanvas b(10, 10, bold), p(10, 10, plain);
        EXPECT_GT(TextExtent(b.dc, "mmmm").width, TextExtent(p.dc, "mmmm").width);
    }
    EXPECT_TRUE(RemoveFontFile(file));
    EXPECT_FALSE(RemoveFontFile(file));
    EXPECT_FALSE(IsFontFileAdded(file));
    fs::remove_all(dir);
}

TEST(TextRender, SymbolFontDrawsGreekForLatinLetters) {
    FontSpec symbol = Font(-24);
    symbol.face = "symbol";
    symbol.charset = kSymbolCharset;
    TextCanvas greek(24, 30, symbol), latin(24, 30, Font(-24));
    TextOut(greek.dc, 2, 0, "a");
    TextOut(latin.dc, 2, 0, "a");
    EXPECT_NE(greek.Pixels().bits, latin.Pixels().bits);

    const fs::path golden = fs::path(VELKARION_TEST_DATA) / "platform" / "symbol_alpha.png";
    if (std::getenv("VELKARION_UPDATE_GOLDEN")) SavePng(greek.Pixels(), golden);
    Surface expected;
    ASSERT_TRUE(LoadPicture(golden, &expected)) << golden;
    EXPECT_EQ(expected.bits, greek.Pixels().bits);
}

}  // namespace
}  // namespace platform
