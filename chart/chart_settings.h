#pragma once
// The settings the sky chart reads, by their word in the `Preferences` record. Every chart
// file names a setting through these constants, never by its bare number, so that this
// table is the one place that says which word means what to the chart.
//
// Choice values are the rows of the preference pages' lists; check boxes are 0 or 1.
#include "core/settings.h"

namespace chartpref {
inline constexpr int mountType = 9;          // 0 "Equatorial", 1 "Azimuth", 2 "Azimuth+Eq Platform": nonzero shows az/alt
inline constexpr int timeUpdate = 23;        // 0 "Automatic" (device clock), 1 "Manual" (the set time runs on)
inline constexpr int nightMode = 24;         // 0 off, 1..3 red night levels
inline constexpr int starColor = 25;         // 0 "Color", 1 "Black&White"
inline constexpr int background = 26;        // 0 "Black", 1 "Dark Blue", 2 "White"
inline constexpr int lineColor = 27;         // 0 "Blue", 1 "Red", 2 "Gray", 3 "Black"
inline constexpr int starsShown = 28;        // 0 "All", 1 "Only Constellation", 2 "Only default stars"
inline constexpr int tableProjection = 35;   // 0 fixed point, 1 floating point for the chart tables
inline constexpr int tapAction = 40;         // 0 object information, 1 re-centre near the edge, 2 redraw
inline constexpr int objectNames = 41;       // "Obj. Names"
inline constexpr int hideGrid = 42;          // "Hide Grid"
inline constexpr int telrad = 43;            // "Telrad"
inline constexpr int fovCcd = 44;            // "FOV: CCD"
inline constexpr int fovEyepiece = 45;       // "FOV: Eyepiece"
inline constexpr int starsLegend = 47;       // "Stars Legend"
inline constexpr int cardCatalog = 115;      // stellar file level, 0 "No expansion card" .. 6
inline constexpr int fontSize = 116;         // 0 "Small", 1 "Medium", 2 "Large"
inline constexpr int chartType = 117;        // the chart mode (kChartMode* below)
inline constexpr int starSymbols = 120;      // "Stars Symbols"
inline constexpr int constNames = 121;       // "Const. Names"
inline constexpr int constLines = 122;       // "Const. Lines" (check box)
inline constexpr int moreStars = 123;        // "More Stars" while scrolling
inline constexpr int moreObjects = 124;      // "More Objects" while scrolling
inline constexpr int altAzGrid = 126;        // "Alt/Az Grid"
inline constexpr int ecliptic = 127;         // "Ecliptic"
inline constexpr int showGrid = 131;         // "Show Grid" while scrolling
inline constexpr int starsAsPixel = 132;     // "Stars as Pixel" while scrolling
inline constexpr int viewFirst = 140;        // "View" (orientation 0..3) of zoom level 0 ...
inline constexpr int viewLast = 149;         // ... up to level 9; levels 10..13 share this word
inline constexpr int savedZoom = 153;        // the zoom level kept between two openings of the chart
inline constexpr int hideToolBar = 235;      // "Hide ToolBar"
inline constexpr int skyViewPlain = 236;     // sky-view grid and bright stars off
inline constexpr int objDrilldown = 237;     // "Obj. Drilldown"
inline constexpr int cursor = 238;           // 0 "Fix", 1 "Blinking", 2 "None"
inline constexpr int hideInfoBar = 240;      // "Hide InfoBar"
inline constexpr int hideCompass = 241;      // "Hide Compass"
inline constexpr int constLineSet = 243;     // 0 "Classic", 1 "Rey Lines"
}  // namespace chartpref

// Chart modes (the "Chart Type" setting). 0 and 1 are the chart's own fixed-point plane;
// 2 to 4 are drawn as sky views through the sky matrix.
inline constexpr int kChartModeSkyMap = 0;
inline constexpr int kChartModeHorizon = 1;
inline constexpr int kChartModeWholeSky = 2;
inline constexpr int kChartModeVisibleSky = 3;
inline constexpr int kChartModeEquatorialSky = 4;

// Backgrounds and line colours (rows of their lists).
inline constexpr int kBackgroundBlack = 0;
inline constexpr int kBackgroundDarkBlue = 1;
inline constexpr int kBackgroundWhite = 2;
inline constexpr int kLineBlue = 0;
inline constexpr int kLineRed = 1;
inline constexpr int kLineGray = 2;
inline constexpr int kLineBlack = 3;

inline int ChartSetting(int word) { return preferences.word[word]; }
inline void SetChartSetting(int word, int value) { preferences.word[word] = value; }
inline int ChartMode() { return preferences.word[chartpref::chartType]; }
// The horizon view draws the plane as azimuth and altitude; the sky map stereographically.
inline bool IsHorizonView() { return ChartMode() == kChartModeHorizon; }
