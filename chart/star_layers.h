#pragma once
// The star layers of the chart: the faint stars of the open stellar level file, read zone
// by zone for the sky in view (DrawStellarStars for chart modes 0 and 1,
// DrawStellarStarsHorizon for the sky views), the bright stars of the in-memory star table
// (DrawBrightStars), the star dot itself (DrawStar, from the star strip bitmap), the star
// labels, and the searches a tap runs over what was drawn.
//
// Every faint star drawn is remembered in `starBuffer` (catalog/chart_buffers.h): entries
// of 8 bytes {u32 star index, s16 x, s16 y}, the index kStarBufferEmpty ending the list. The
// star index is the entry's slot plus its zone record times the stars per record.
#include <cstdint>

#include "chart/sky_matrix.h"

struct DrawWindow;

inline constexpr int kStarBufferEntries = 2000;
inline constexpr int kStarBufferEntrySize = 8;
// The star strip: 13 size columns by 7 colour rows of 13 x 13 cells.
inline constexpr int kStarCell = 13;
inline constexpr int kStarSizes = 13;
inline constexpr int kStarColourRows = 7;
// The strips: for a white chart by day (colour, black and white; key white) and for the
// dark charts and night (colour, black and white or night; key black).
inline constexpr int kStarStripWhiteColour = 4103;
inline constexpr int kStarStripBlackColour = 4104;
inline constexpr int kStarStripBlackMono = 4105;
inline constexpr int kStarStripWhiteMono = 4106;

// The four label font numbers of the zoom level (SetChartFontSizes); 2, 4, 6, 7 at start.
extern int chartLabelFonts[4];

// ---- The star dot --------------------------------------------------------------------------

// The strip bitmap the settings ask for (Background, Star Color, night mode).
int StarStripId();
// The strip's size column (0..12) for a zoom level and size class: the zoom's size table
// (the night table in night mode; the scale-2 table when the screen is at scale 2) plus the
// class, clamped.
int StarSizeIndex(int zoom, int sizeClass);
// The strip's row (its top y: 0, 13, .. 78) for a colour class; night mode always 26.
int StarColourRow(int colourClass);
// Copies the cell for the zoom, size class and colour class centred on (x, y) into the
// window (null: the current draw target). The strip is loaded on first use and kept until
// FreeSavedBitmap (chart/chart_services.h).
void DrawStar(DrawWindow* window, int zoom, int sizeClass, int colourClass, int x, int y);

// ---- Layers --------------------------------------------------------------------------------

// The bright stars whose pixels fall inside [xMin, xMax] x [yMin, yMax]; at zoom 0 and 1
// only those whose magnitude class is not above the limit. Bayer letters and Flamsteed
// numbers are added by zoom and the "Stars Symbols" setting. Fills each drawn star's pixel
// words.
void DrawBrightStars(int zoom, int magnitudeLimit, int xMin, int xMax, int yMin, int yMax);

// The faint stars of chart modes 0 and 1 for a chart of width x height pixels whose plane
// origin falls on (centreX, centreY). precise 0 asks for the floating-point projection
// (as do zoom levels 12 and 13); lst is the local sidereal time in hours. Nothing without
// an open stellar level file, and nothing while the zoom's star limit is below 5.5.
void DrawStellarStars(int centreX, int centreY, int precise, int dpiFactor, float lst, int zoom, int width,
                      int height);
// The same for a sky view (limit 5.1). The view's rectangle is sampled for the sky in
// view; in the visible-sky mode stars below the horizon are left out. The positions kept
// in starBuffer have (offsetX, offsetY) added.
void DrawStellarStarsHorizon(const SkyView& view, int offsetX, int offsetY, int zoom, int visibleSkyOnly);

// ---- Labels --------------------------------------------------------------------------------

// The label of star number `starNumber` (HR number) at (x, y): its name from the
// cross-references, or Flamsteed number, Bayer letter and constellation, or "HR%d".
void DrawBrightStarLabel(int starNumber, int x, int y, int transparent);
void DrawStarName(int flamsteed, int bayerLetter, int letterIndex, int constellation, int starNumber, int x, int y,
                  int transparent);
// The label fonts of a zoom level into chartLabelFonts.
void SetChartFontSizes(int zoom);

// ---- Pixels and taps -----------------------------------------------------------------------

// Moves the visible stars' pixel words by (dx, dy), or (shiftOnly 0) recomputes them from
// their plane words.
void UpdateStarPixels(int dx, int dy, int shiftOnly);
// The visible bright star nearest (Manhattan distance, below 2 x dpi factor x radius) to
// (x - originX, y - originY); the first found wins ties; -1 when none.
int FindNearestBrightStar(int originX, int originY, int x, int y, int radius);

// starBuffer: the entries before the end marker, an entry, and the first entry within
// +-tolerance of (x, y) (-1 for none or an empty buffer).
int StarBufferCount();
struct StarBufferEntry {
    std::uint32_t index;
    std::int16_t x;
    std::int16_t y;
};
StarBufferEntry GetStarBufferEntry(int position);
int FindStellarTapEntry(int x, int y, int tolerance);
