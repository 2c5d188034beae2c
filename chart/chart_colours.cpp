#include "chart/chart_colours.h"

#include <cstdint>

#include "chart/chart_services.h"
#include "chart/chart_settings.h"

ColourRecord chartColors[kChartColorCount] = {
    {0, 255, 255, 255}, {1, 102, 0, 204}, {2, 153, 153, 153}, {3, 102, 102, 153},
    {4, 203, 203, 90},  {5, 204, 204, 0}, {6, 255, 0, 0},
};
ColourRecord chartBackgroundColor = {0, 0, 0, 0};

namespace {

void Set(ColourRecord& entry, int red, int green, int blue) {
    entry.red = static_cast<std::uint8_t>(red);
    entry.green = static_cast<std::uint8_t>(green);
    entry.blue = static_cast<std::uint8_t>(blue);
}

bool InNightMode() { return ChartSetting(chartpref::nightMode) != 0; }

// The night shades below the night level are byte sums: level + 206 is 50 darker than the
// level and level + 186 70 darker (the night levels are 102 and brighter).
platform::Color NightShade(int level, int add) { return platform::Rgb(static_cast<std::uint8_t>(level + add), 0, 0); }

}  // namespace

void SetChartColors() {
    const int background = ChartSetting(chartpref::background);
    const bool night = InNightMode();

    Set(chartColors[0], 255, 255, 255);
    Set(chartColors[2], 153, 153, 153);
    Set(chartColors[3], 51, 51, 102);
    Set(chartColors[6], 255, 0, 0);

    int symbolSet = 0;
    if (background == kBackgroundWhite) {
        Set(chartBackgroundColor, 255, 255, 255);
        Set(chartColors[3], 153, 153, 153);
        if (night) {
            Set(chartColors[4], 203, 203, 90);
            Set(chartColors[5], 204, 204, 0);
        } else {
            Set(chartColors[4], 0, 0, 0);
            Set(chartColors[5], 0, 0, 0);
        }
        symbolSet = 1;
    } else {
        if (background == kBackgroundDarkBlue)
            Set(chartBackgroundColor, 21, 21, 70);
        else
            Set(chartBackgroundColor, 0, 0, 0);
        Set(chartColors[4], 187, 187, 153);
        Set(chartColors[5], 204, 204, 0);
    }
    SetNightMode(symbolSet);

    switch (ChartSetting(chartpref::lineColor)) {
        case kLineBlue: Set(chartColors[1], 102, 0, 204); break;
        case kLineRed: Set(chartColors[1], 102, 0, 0); break;
        case kLineGray: Set(chartColors[1], 102, 102, 102); break;
        default: Set(chartColors[1], 0, 0, 0); break;
    }

    if (night) {
        Set(chartBackgroundColor, 0, 0, 0);
        Set(chartColors[0], 255, 0, 0);
        Set(chartColors[1], 153, 0, 0);
        Set(chartColors[2], 153, 0, 0);
        Set(chartColors[6], 153, 0, 0);
        Set(chartColors[3], 102, 0, 0);
        Set(chartColors[4], chartColors[4].red, 0, 0);
        Set(chartColors[5], chartColors[5].red, 0, 0);
        SetNightMode(0);
    }
}

ChartColourSet BuildChartColourSet() {
    using platform::Rgb;
    const bool night = InNightMode();
    const int level = GetNightLevel();
    const int background = ChartSetting(chartpref::background);
    // Night mode draws on black, so the colours that follow the background take the
    // choices of a black background there.
    const bool white = background == kBackgroundWhite && !night;

    ChartColourSet c{};
    c.darkBlue = Rgb(21, 21, 70);
    c.black = Rgb(0, 0, 0);
    c.red = Rgb(255, 0, 0);
    c.darkRed = Rgb(140, 0, 0);
    c.white = Rgb(255, 255, 255);
    c.purple = Rgb(102, 0, 204);
    c.yellow = Rgb(255, 230, 40);
    c.lightGrey = night ? c.darkRed : Rgb(238, 238, 238);

    if (night) {
        c.background = c.black;
        c.foreground = c.white;
        c.secondary = NightShade(level, 206);
        c.constellation = Rgb(level, 0, 0);
        c.grid = NightShade(level, 186);
    } else {
        switch (background) {
            case kBackgroundDarkBlue:
                c.background = c.darkBlue;
                c.foreground = c.white;
                c.secondary = c.white;
                break;
            case kBackgroundWhite:
                c.background = c.white;
                c.foreground = c.black;
                c.secondary = c.black;
                break;
            default:
                c.background = c.black;
                c.foreground = c.white;
                c.secondary = Rgb(102, 102, 102);
                break;
        }
        c.constellation = white ? c.black : Rgb(187, 187, 153);
        c.grid = white ? Rgb(130, 130, 130) : Rgb(51, 51, 102);
    }
    c.label = white ? c.black : c.red;

    if (night) {
        c.line = c.darkRed;
    } else {
        switch (ChartSetting(chartpref::lineColor)) {
            case kLineBlue: c.line = c.purple; break;
            case kLineRed: c.line = c.darkRed; break;
            case kLineGray: c.line = c.secondary; break;
            default: c.line = c.black; break;
        }
    }
    SetNightMode(white ? 1 : 0);
    return c;
}
