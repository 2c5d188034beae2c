#pragma once
// The chart's colours: the seven colour entries and the background entry that the sky views
// and overlays draw with (SetChartColors), and the colour set of a chart redraw
// (BuildChartColourSet, the colour part of PrepareChartView). Both follow the Background
// and Line Color settings by day and keep only red components in night mode.
#include "chart/chart_state.h"
#include "shell/colour_scheme.h"

inline constexpr int kChartColorCount = 7;
// Entries 0..6 as {index, red, green, blue}; the static defaults are white, purple, grey,
// grey-blue, pale yellow, yellow and red until SetChartColors rewrites them.
extern ColourRecord chartColors[kChartColorCount];
extern ColourRecord chartBackgroundColor;

// Rewrites the seven entries and the background entry for the current settings, and
// chooses the chart's symbol set (SetNightMode).
void SetChartColors();

// The colours of a chart redraw for the current settings and night level.
ChartColourSet BuildChartColourSet();
