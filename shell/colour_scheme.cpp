#include "shell/colour_scheme.h"

#include "platform/gfx_context.h"
#include "platform/surface.h"
#include "platform/system_colors.h"
#include "shell/draw_targets.h"
#include "core/settings.h"

using platform::Color;
using platform::GfxObject;
using platform::Rgb;

ColorScheme colorScheme;

NightColours nightColours = {
    {255, 102, 140, 204},
    {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 1,
     15, 16, 20, 20},
    {},
    false,
    {},
};

Color drawColour = kNoColour;
std::uint16_t drawPixel16 = 0xFFFF;

namespace {

constexpr Color kPreset2003[kNightElementCount] = {
    0xC0C0C0, 0x000000, 0x990000, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
    0xFFFFFF, 0x990000, 0xC0C0C0, 0xFFFFFF, 0x990000, 0xFFFFFF, 0xC0CCD9, 0x808080, 0x808080,
    0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xCCFFFF, 0xFFFFFF, 0x000000,
    0xF69A4F, 0xC0C0C0, 0x000000, 0xC0CCD9, 0x808080, 0xFFFFFF, 0xFFFFFF};
constexpr Color kPreset2005[kNightElementCount] = {
    0xE9DCC9, 0x000000, 0xD39137, 0xD5B68D, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x7F4E0C, 0x000000,
    0xFFFFFF, 0x990000, 0xC0C0C0, 0xFFFFFF, 0xD39137, 0xFFFFFF, 0xE9DCC9, 0x808080, 0xBFBFBF,
    0x000000, 0xFFFFFF, 0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xCCFFFF, 0xFFFFFF, 0x000000,
    0xF69A4F, 0xC0C0C0, 0x000000, 0xE9DCC9, 0x808080, 0xFFFFFF, 0xFFFFFF};

int NightMode() {
    const int mode = preferences.word[pref::nightMode];
    return (mode >= 0 && mode <= 3) ? mode : 0;
}

void Drop(GfxObject& obj) {
    platform::DeleteObject(obj);
    obj = GfxObject{};
}

}  // namespace

void CreateSchemeBrushes() {
    DeleteSchemeBrushes();
    // Pictures were turned red for the scheme they were decoded under.
    ClearPictureCache();
    const int mode = NightMode();
    const Color red = Rgb(GetNightLevel(), 0, 0);
    if (mode == 0) {
        colorScheme.backColor = Rgb(255, 255, 255);
        colorScheme.foreColor = 0;
        colorScheme.highlightColor = Rgb(62, 65, 200);
        colorScheme.highlightTextColor = Rgb(255, 255, 255);
    } else {
        colorScheme.backColor = 0;
        colorScheme.foreColor = red;
        colorScheme.highlightColor = red;
        colorScheme.highlightTextColor = 0;
    }
    colorScheme.backBrush = platform::MakeBrush(colorScheme.backColor);
    colorScheme.forePen = platform::MakePen(platform::PenStyle::Solid, 1, colorScheme.foreColor);
    colorScheme.highlightBrush = platform::MakeBrush(colorScheme.highlightColor);
    colorScheme.highlightPen = platform::MakePen(platform::PenStyle::Solid, 1, colorScheme.highlightTextColor);
}

void DeleteSchemeBrushes() {
    Drop(colorScheme.backBrush);
    Drop(colorScheme.forePen);
    Drop(colorScheme.highlightBrush);
    Drop(colorScheme.highlightPen);
}

GfxObject GetBackBrush() { return colorScheme.backBrush; }
Color GetBackColor() { return colorScheme.backColor; }
Color GetForeColor() { return colorScheme.foreColor; }
GfxObject GetHighlightBrush() { return colorScheme.highlightBrush; }
Color GetHighlightColor() { return colorScheme.highlightColor; }
GfxObject GetHighlightPen() { return colorScheme.highlightPen; }
Color GetHighlightTextColor() { return colorScheme.highlightTextColor; }

int GetNightLevel() { return nightColours.levels[NightMode()]; }

Color SetForeColor(Color colour) {
    Color previous;
    if (drawState.pen) {
        Drop(drawState.brush);
        Drop(drawState.pen);
        previous = drawColour;
    } else {
        previous = colorScheme.backColor;
    }
    drawColour = colour & 0xFFFFFF;
    drawPixel16 = platform::ColorToPixel(drawColour);
    drawState.brush = platform::MakeBrush(drawColour);
    drawState.pen = platform::MakePen(platform::PenStyle::Solid, 1, drawColour);
    platform::SelectObject(drawState.dc, drawState.pen);
    return previous;
}

Color SetBackColor(Color colour) { return platform::SetBackColor(drawState.dc, colour); }

Color SetTextColor(Color colour) { return platform::SetTextColor(drawState.dc, colour); }

Color RGBToColorRef(const ColourRecord& record) { return Rgb(record.red, record.green, record.blue); }

int SetDrawMode(int) { return 1; }
void PushDrawState() {}
void PopDrawState() {}

std::uint16_t NightPixel(std::uint16_t pixel) {
    const int mode = NightMode();
    if (mode == 0) return pixel;
    const int r = (pixel >> 10) & 31, g = (pixel >> 5) & 31, b = pixel & 31;
    int m = (r + g + b) / 3;
    // Reddish pixels keep more of their brightness.
    if (m < r) m = (m + r) / 2;
    int red = m;
    if (mode == 1) red = m / 2;
    if (mode == 2) red = (2 * m) / 3;
    return static_cast<std::uint16_t>(red << 10);
}

Color NightColour(Color colour) {
    if (NightMode() == 0) return colour;
    return platform::PixelToColor(NightPixel(platform::ColorToPixel(colour)));
}

void ConvertToNightColors(DrawWindow* record) {
    if (!record || !record->pixels || NightMode() == 0 || record->bytesPerPixel != 2 || record->stride <= 0) return;
    auto* p = reinterpret_cast<std::uint16_t*>(record->pixels);
    const long count = static_cast<long>(record->stride / record->bytesPerPixel) * record->height;
    for (long i = 0; i < count; ++i) p[i] = NightPixel(p[i]);
}

void SetNightColours(int level) {
    CreateSchemeBrushes();
    int plain[kNightElementCount];
    for (int i = 0; i < kNightElementCount; ++i) plain[i] = nightColours.elements[i];
    if (level == 0) {
        if (nightColours.savedValid) platform::SetSystemColors(kNightElementCount, plain, nightColours.saved);
        return;
    }
    if (!nightColours.savedValid) {
        for (int i = 0; i < kNightElementCount; ++i) nightColours.saved[i] = platform::SystemColor(plain[i]);
        nightColours.savedValid = true;
    }
    const Color red = static_cast<Color>(GetNightLevel() & 0xFF);
    for (int i = 1; i < kNightElementCount; ++i) nightColours.working[i] = Rgb(1, 0, 0);
    platform::SetSystemColors(kNightElementCount, plain, nightColours.working);

    const Color face = static_cast<Color>(((level + 2) * 5) & 0xFF);
    nightColours.working[0] = face;
    nightColours.working[1] = face;
    const int faces[2] = {platform::kColorMenu, platform::kColorButtonFace};
    platform::SetSystemColors(2, faces, nightColours.working);

    const int lit[14] = {platform::kColorButtonHighlight, platform::kColorHighlight, platform::kColorActiveBorder,
                         platform::kColorWindowFrame, platform::kColorButtonFace, platform::kColorLight,
                         platform::kColorDarkShadow, platform::kColorCaptionText, platform::kColorGrayText,
                         platform::kColorInactiveCaptionText, platform::kColorInfoText, platform::kColorStaticText,
                         platform::kColorMenuText, platform::kColorWindowText};
    for (int i = 0; i < 14; ++i) nightColours.working[i] = red;
    platform::SetSystemColors(14, lit, nightColours.working);
}

void ApplyColourPreset(int command) {
    const Color* preset = command == 2003 ? kPreset2003 : command == 2005 ? kPreset2005 : nullptr;
    // Marking the set valid without filling it would later "restore" all-black colours.
    if (!preset) return;
    for (int i = 0; i < kNightElementCount; ++i) nightColours.saved[i] = preset[i];
    nightColours.savedValid = true;
}
