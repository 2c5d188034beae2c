#pragma once
// The chart's 14 zoom levels: level n is row n of the zoom popup ("180°" .. "0.5°"), with
// its nominal field width f_n, and three tables indexed by the level.
#include <cstdint>

inline constexpr int kZoomLevels = 14;
inline constexpr int kLastZoomLevel = kZoomLevels - 1;

// The nominal field widths in degrees: 180, 150, 120, 90, 60, 45, 30, 20, 10, 5, 2.5, 1.5,
// 1, 0.5.
extern const float zoomFieldNominal[kZoomLevels];
// 8 / (3 f_n) per level: 0.014815 at level 0 up to 5.333333 at level 13. All -1.0 until
// GetZoomScale first fills them.
extern float zoomPixelScales[kZoomLevels];
// The chart scale of each level in 16.16 fixed point (1.0 up to about 251.77), multiplied
// once by the dpi factor before the first full drawing (ScaleChartScalesForDpi).
extern std::int32_t zoomChartScales[kZoomLevels];
// The field width in degrees that the sky views use per level.
extern const float zoomFieldWidths[kZoomLevels];

// A zoom level made safe to index a table of last + 1 entries: -1 (the chart never opened)
// takes the saved zoom level, other negative levels 0, levels past the table its last entry.
int ChartTableLevel(int level, int last = kLastZoomLevel);

// Clamps the level to 0..13, keeps it for the current chart mode, empties the chart's star
// and object buffers, sets the redraw flag, opens the stellar file level and the object
// index for it and, while the chart follows a mount that is no encoder box, sets the
// mount's rate for the level (slew 0..4, find 5..7, center 8..9, guide 10..12, none at 13).
// Returns the level; the caller stores it in chartZoom.
int SetChartZoom(int level);

// zoomPixelScales of the level (filling the table on first use); 0 for 14 and above.
float GetZoomScale(int level);
// zoomFieldWidths of the level (-1: the saved level); 75.0 past the last level.
float GetZoomFieldWidth(int level);
// Multiplies the 14 chart scales by the dpi factor when it is not 1 and they are still
// unscaled (the first entry 65536). Returns 1 when it scaled them.
int ScaleChartScalesForDpi();
