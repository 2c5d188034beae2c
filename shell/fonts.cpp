#include "shell/fonts.h"
#include "shell/fonts_internal.h"

#include <cmath>
#include <numbers>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/gfx_context.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "platform/text_fonts.h"
#include "platform/window.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/message_box.h"
#include "core/settings.h"

using platform::Color;
using platform::GfxObject;
using platform::Rgb;

FontSet fontSet;
GfxObject symbolStdFont;
GfxObject symbolSmallFont;
int textTransparent = 1;
IconStrip symbolStrip;
IconStrip toolStrip;

namespace {

constexpr int kMaxChars = 255;
constexpr int kToolIcon = 21;

int NightMode() { return preferences.word[pref::nightMode]; }

bool UnitScale() { return static_cast<int>(screenScale.horizontal) == 1; }

std::string SymbolFilePath() { return platform::ResolvePath(kSymbolFontPath).string(); }

// The text a string function draws: at most `count` characters, at most 255.
std::string_view Cut(const char* text, int count) {
    if (!text || count <= 0) return {};
    std::size_t n = 0;
    while (n < static_cast<std::size_t>(count) && n < kMaxChars && text[n]) ++n;
    return std::string_view(text, n);
}

GfxObject MakeSetFont(int height, int weight, bool symbol, const std::string& face) {
    platform::FontSpec desc;
    desc.height = height;
    desc.weight = weight;
    if (symbol) {
        desc.face = "symbol";
        desc.charset = platform::kSymbolCharset;
    } else {
        desc.face = face;
    }
    return platform::MakeFont(desc);
}

void MakeFontSet() {
    platform::FontSpec system;
    if (!platform::GetFontSpec(platform::CurrentObject(drawState.dc, platform::ObjectKind::Font), &system))
        platform::GetFontSpec(platform::SystemFont(platform::ScreenScale()), &system);
    const int h0 = system.height;
    const int small = UnitScale() ? 80 : 75;
    const int normal = UnitScale() ? 95 : 90;
    const int w = system.weight;
    GfxObject* f = fontSet.fonts;
    f[0] = MakeSetFont(h0 * normal / 100, w, false, system.face);
    f[1] = MakeSetFont(h0, 700, false, system.face);
    f[2] = MakeSetFont(h0 * small / 100, w, false, system.face);
    f[3] = MakeSetFont(h0 * small / 100, 700, false, system.face);
    f[4] = MakeSetFont(h0 * normal / 100, w, false, system.face);
    f[5] = MakeSetFont(h0 * normal / 100, 700, false, system.face);

    fontSet.symbolFileAdded = AddFontFile(SymbolFilePath()) > 0;
    fontSet.ownSymbolStd = fontSet.ownSymbolSmall = false;
    if (!fontSet.symbolFileAdded) {
        ShowMessage("Symbol Font not found.", "");
        f[6] = f[0];
        f[7] = f[2];
    } else {
        f[6] = MakeSetFont(h0, 400, true, "");
        fontSet.ownSymbolStd = static_cast<bool>(f[6]);
        if (!f[6]) {
            ShowMessage("Can't create symbolStdFont", "");
            f[6] = f[0];
        }
        f[7] = MakeSetFont(h0 * small / 100, 400, true, "");
        fontSet.ownSymbolSmall = static_cast<bool>(f[7]);
        if (!f[7]) {
            ShowMessage("Can't create symbolSmallFont", "");
            f[7] = f[2];
        }
    }
    symbolStdFont = f[6];
    symbolSmallFont = f[7];
    fontSet.made = true;
}

void FreeStrip(IconStrip& s) {
    DeleteOffscreen(s.strip);
    s = IconStrip{};
}

bool LoadSymbolStrip() {
    if (symbolStrip.strip) return true;
    const bool unit = UnitScale();
    symbolStrip.strip = LoadBitmap16(unit ? 3999 : 4111);
    if (!symbolStrip.strip) return false;
    symbolStrip.strip->transparentColour = 0;
    symbolStrip.cell = unit ? 18 : 29;
    symbolStrip.half = unit ? 9 : 14;
    return true;
}

}  // namespace

// ---- Fonts -------------------------------------------------------------------------------

int SetFont(int id) {
    if (!fontSet.made) MakeFontSet();
    const int previous = drawState.fontId;
    if (id < 0 || id >= kFontCount || !fontSet.fonts[id] ||
        !platform::SelectObject(drawState.dc, fontSet.fonts[id])) {
        drawState.fontId = 0;
        return previous;
    }
    drawState.fontId = id;
    return previous;
}

int GetFont() { return drawState.fontId; }

int AddFontFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        platform::MessageBox(platform::Window{},
                             "Can't find font ressource. Please check font sub directory exist and is not empty.", "",
                             platform::BoxButtons::Ok);
        return 0;
    }
    if (platform::IsFontFileAdded(path)) platform::RemoveFontFile(path);
    const int added = platform::AddFontFile(path);
    if (added == 0)
        platform::MessageBox(platform::Window{}, "Can't add font ressource.", "", platform::BoxButtons::Ok);
    return added;
}

void ReleaseFonts() {
    GfxObject* f = fontSet.fonts;
    if (fontSet.ownSymbolStd) {
        if (!platform::RemoveFontFile(SymbolFilePath())) ShowMessage("Can't remove font ressource.", kSymbolFontPath);
        platform::DeleteObject(f[6]);
    } else if (fontSet.symbolFileAdded) {
        platform::RemoveFontFile(SymbolFilePath());
    }
    if (fontSet.ownSymbolSmall) platform::DeleteObject(f[7]);
    for (int i = 0; i < 6; ++i) platform::DeleteObject(f[i]);
    fontSet = FontSet{};
    symbolStdFont = GfxObject{};
    symbolSmallFont = GfxObject{};
    // The id named a font that is gone; the next set made starts from the plain font.
    drawState.fontId = 0;
}

// ---- Text --------------------------------------------------------------------------------

void DrawChars(const char* text, int count, int x, int y) {
    platform::TextOut(drawState.dc, x, y, Cut(text, count));
}

int CharsWidth(const char* text, int count) { return platform::TextExtent(drawState.dc, Cut(text, count)).width; }

int SetTextTransparent(int flag) {
    const int previous = textTransparent;
    textTransparent = flag;
    return previous;
}

void DrawString(const char* text, int length, int x, int y) {
    const int entry = drawState.fontId;
    if (entry == 0) SetFont(2);
    DrawStringNoFont(text, length, x, y);
    SetFont(entry);
}

void DrawStringNoFont(const char* text, int length, int x, int y) {
    const bool transparent = textTransparent != 0;
    if (transparent) platform::SetBackMode(drawState.dc, platform::BackMode::Transparent);
    DrawChars(text, length, x, y);
    if (transparent) platform::SetBackMode(drawState.dc, platform::BackMode::Opaque);
}

int DrawTextInBox(const char* text, int x, int y, int width, int height) {
    platform::SetBackMode(drawState.dc, platform::BackMode::Transparent);
    const int h = platform::DrawTextIn(drawState.dc, text ? text : "", platform::Rect{x, y, x + width, y + height},
                                       platform::kTextWordBreak);
    platform::SetBackMode(drawState.dc, platform::BackMode::Opaque);
    return h;
}

void DrawSymbolChar(char ch, int x, int y) {
    const int previous = SetFont(kSymbolStdFontId);
    const char one[2] = {ch, 0};
    DrawString(one, 1, x, y);
    SetFont(previous);
}

void DrawCenteredLabel(const char* text, int x, int y, int limit) {
    if (!text) return;
    const int len = static_cast<int>(std::strlen(text));
    const int dy = y - static_cast<int>(3 * screenScale.vertical);
    if (x >= limit)
        DrawString(text, len, x + static_cast<int>(5 * screenScale.horizontal), dy);
    else
        DrawString(text, len, x - static_cast<int>(20 * screenScale.horizontal), dy);
}

void DrawLabelRight(const char* text, int x, int y) {
    if (!text) return;
    const bool night = NightMode() != 0;
    const Color oldBack = SetBackColor(night ? GetBackColor() : Rgb(255, 255, 255));
    const Color oldText = SetTextColor(night ? GetForeColor() : 0);
    const int oldFont = SetFont(3);
    const int len = static_cast<int>(std::strlen(text));
    DrawStringNoFont(text, len, x - CharsWidth(text, len) / GetDpiFactor(), y);
    SetFont(oldFont);
    SetTextColor(oldText);
    SetBackColor(oldBack);
}

namespace {
int dpiFactorOverride = 0;
}  // namespace

void SetDpiFactorOverride(int factor) { dpiFactorOverride = factor > 0 ? factor : 0; }

int GetDpiFactor() {
    if (dpiFactorOverride > 0) return dpiFactorOverride;
    const int f = static_cast<int>(platform::ScreenDpi() * (1.0 / 48));
    return f > 0 ? f : 1;
}

// ---- Icon strips -------------------------------------------------------------------------

int DrawSymbolIcon(int n, int, int x, int y) {
    if (!LoadSymbolStrip()) return 1;
    const Bounds cell{n * symbolStrip.cell, 0, symbolStrip.cell, symbolStrip.cell};
    CopyBitsTransparent(symbolStrip.strip, drawState.current, cell, x - symbolStrip.half, y - symbolStrip.half);
    return 1;
}

int LoadToolIcons(int style) {
    FreeStrip(toolStrip);
    const bool white = style == 2;
    toolStrip.strip = LoadBitmap16(white ? 4109 : 4110);
    if (!toolStrip.strip) return 1;
    // The strip's pixels were turned red at night; its key has to follow them, or no
    // pixel would ever match it.
    toolStrip.strip->transparentColour = NightColour(white ? Rgb(255, 255, 255) : 0);
    toolStrip.cell = kToolIcon;
    toolStrip.half = kToolIcon / 2;
    toolStrip.row = UnitScale() ? 1 : 2;
    return 1;
}

int DrawToolIcon(int n, int x, int y) {
    if (!toolStrip.strip) LoadToolIcons(preferences.word[pref::chartBackground]);
    if (!toolStrip.strip) return 1;
    const Bounds cell{n * kToolIcon, toolStrip.row * kToolIcon, kToolIcon, kToolIcon};
    CopyBitsTransparent(toolStrip.strip, drawState.current, cell, x - 10, y - 10);
    return 1;
}

void FreeSymbolStrips() {
    FreeStrip(symbolStrip);
    FreeStrip(toolStrip);
}

// ---- Drawing extras ----------------------------------------------------------------------

void ComputePhaseProfile(double phase, int left[], int right[], int n) {
    if (n <= 0 || !left || !right) return;
    if (phase < 0.01) {
        for (int i = 0; i < n; ++i) left[i] = right[i] = 0;
        return;
    }
    const double c = std::cos(2 * std::numbers::pi * phase);
    const int p = static_cast<int>(phase * 100);
    for (int i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / n;
        const double w = std::cos(std::asin(t)) * n;
        const int a = static_cast<int>(w);
        const int b = static_cast<int>(w * c);
        if (p < 50) {
            left[i] = n + b;
            right[i] = n + a;
        } else {
            left[i] = n - a;
            right[i] = n - b;
        }
    }
}

void DrawDayBar(int x, int y, int width, int height, float mark, float start, float middle, float end) {
    const double s = screenScale.horizontal;
    const int ts = static_cast<int>(s);
    const int unit = width / 25;
    const int hour = unit + 1;
    const bool night = NightMode() != 0;

    DrawRectangle(Bounds{x - ts, y, width + 1, height}, 0);
    const Color caller = SetForeColor(GetBackColor());

    auto wrap = [](float& h) {
        while (h > 24) h -= 24;
        while (h < 0) h += 24;
    };
    wrap(start);
    wrap(middle);
    wrap(end);

    const int lower = y + height / 2;
    const int half = height / 2;
    SetForeColor(night ? Rgb(GetNightLevel(), 0, 0) : Rgb(255, 255, 180));
    DrawRectangle(Bounds{x, lower, 24 * unit + 24, half}, 0);

    const Color span = night ? Rgb(GetNightLevel() - 51, 0, 0) : Rgb(249, 210, 20);
    SetForeColor(span);
    auto fill = [&](double from, double to, int extra) {
        DrawRectangle(Bounds{x + static_cast<int>(hour * from), lower, static_cast<int>(hour * (to - from)) + extra,
                             half},
                      0);
    };
    if (end >= middle) {
        fill(middle, end, 0);
    } else {
        fill(middle, 24, 0);
        fill(0, end, 0);
    }
    if (middle >= start) {
        fill(start, middle, 1);
    } else {
        fill(0, middle, 1);
        fill(start, 24, 1);
    }

    SetForeColor(0);
    for (int i = 0; i <= 24; ++i) {
        const int tx = x - 1 + i * hour;
        const int top = (i % 6 == 0) ? lower : lower + static_cast<int>(2 * s);
        DrawLine(tx, top, tx, y + height - ts);
    }

    const Color oldText = night ? SetTextColor(span) : 0;
    DrawString("0h", 2, x, y - ts);
    DrawString("12h", 3, x + 12 * hour - static_cast<int>(3 * s), y - ts);
    DrawString("0h", 2, x + 24 * unit + 24 - static_cast<int>(5 * s), y - ts);
    if (night) SetTextColor(oldText);

    if (mark >= 0) {
        SetForeColor(Rgb(200, 0, 0));
        const int mx = x + static_cast<int>(hour * mark);
        DrawLine(mx, y, mx, y + height - 1);
    }
    SetForeColor(caller);
}

// ---- Toolkit services --------------------------------------------------------------------

int IsKeyDown(int key) { return platform::AsyncKeyIsDown(key) ? 1 : 0; }
long PassThrough(long value) { return value; }
int DefaultKeyHook(int) { return 0; }
void HookControlPair(int, int) {}
void EmptyHookA() {}
void EmptyHookB() {}
void EmptyHookC() {}
void EmptyHookD() {}
void EmptyHookE() {}
void EmptyHookF(int) {}
