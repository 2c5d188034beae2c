#pragma once
// The colour scheme (day, and the three red night modes), the current drawing colour of
// the draw target with its 16-bit pixel form, the conversion of 16-bit offscreens to night
// red, and the switching of the system colours to red and back. The night level is the
// nightMode word of the settings record.
#include <cstdint>

#include "platform/gfx_objects.h"
#include "platform/types.h"

struct DrawWindow;

struct ColorScheme {
    platform::GfxObject backBrush;
    platform::Color backColor = 0;
    platform::GfxObject forePen;           // 1 pixel, solid
    platform::Color foreColor = 0;
    platform::GfxObject highlightBrush;
    platform::Color highlightColor = 0;
    platform::GfxObject highlightPen;      // 1 pixel, solid, in the highlight text colour
    platform::Color highlightTextColor = 0;
};
extern ColorScheme colorScheme;

// The system colour elements switched at night: 0 to 28, then 1, 15, 16, 20, 20.
constexpr int kNightElementCount = 34;

struct NightColours {
    int levels[4];                                   // night red by nightMode: 255, 102, 140, 204
    int elements[kNightElementCount];
    platform::Color saved[kNightElementCount];       // the device's colours before the first night switch
    bool savedValid;
    platform::Color working[kNightElementCount];
};
extern NightColours nightColours;

// The current drawing colour (kNoColour when none) and its 16-bit form.
constexpr platform::Color kNoColour = 0xFFFFFFFFu;
extern platform::Color drawColour;
extern std::uint16_t drawPixel16;

void CreateSchemeBrushes();
void DeleteSchemeBrushes();

platform::GfxObject GetBackBrush();
platform::Color GetBackColor();
platform::Color GetForeColor();
platform::GfxObject GetHighlightBrush();
platform::Color GetHighlightColor();
platform::GfxObject GetHighlightPen();
platform::Color GetHighlightTextColor();

// The night red of the current nightMode (255 by day).
int GetNightLevel();

// Makes `colour` the drawing colour: a solid brush and a 1-pixel pen of it, the pen
// selected into the draw target. Returns the previous drawing colour, or the scheme's
// background colour when the target had none yet.
platform::Color SetForeColor(platform::Color colour);
// Background and text colours of the draw target's device context; return the previous.
platform::Color SetBackColor(platform::Color colour);
platform::Color SetTextColor(platform::Color colour);

// {index, red, green, blue} records as colours.
struct ColourRecord {
    std::uint8_t index;
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
};
platform::Color RGBToColorRef(const ColourRecord& record);

// Callers bracket colour changes with these; they do nothing here.
int SetDrawMode(int mode);
void PushDrawState();
void PopDrawState();

// The night form of one 16-bit pixel, and of a colour, for the current nightMode (the
// pixel or colour unchanged by day).
std::uint16_t NightPixel(std::uint16_t pixel);
platform::Color NightColour(platform::Color colour);

// Rewrites a 16-bit offscreen in place into night red; nothing by day.
void ConvertToNightColors(DrawWindow* record);

// Switches the system colours for a night level (0 restores the saved ones) and rebuilds
// the colour scheme.
void SetNightColours(int level);
// Command 2003 or 2005 stores that default colour set as the one the day colours restore;
// other commands change nothing.
void ApplyColourPreset(int command);
