#pragma once
// The state of the sky chart: the object and position it is centred on, the zoom level,
// the observing instant with its local sidereal time, the flags that say which projections
// are still valid, the chart's colours and layout, and the two save-under areas. These
// records are written only by the chart; other forms reach them through the operations
// declared here and in the chart's other headers:
//
//   chart/chart_zoom.h          zoom levels and their tables, SetChartZoom
//   chart/chart_colours.h       SetChartColors and the colour set of a redraw
//   chart/chart_save_under.h    the info-bubble and cursor save-unders
//   chart/chart_object_index.h  the chart's object popup over the selection list
//   chart/chart_projection.h    the fixed-point plane of modes 0 and 1, and its inverses
//   chart/sky_matrix.h          the sky matrix of the sky views (modes 2 to 4)
//
// Chart modes and the settings the chart reads are named in chart/chart_settings.h.
#include <cstdint>

#include "catalog/records.h"
#include "platform/types.h"
#include "shell/draw_targets.h"

struct SelectionRecord;

// The object-information block of the object the chart is centred on: the 16 words that
// SelectionRecordToInfo writes (catalog code, object number + 1, type 0..41, constellation
// 0..88, right ascension in hours, declination in degrees, magnitude, two sizes in arc
// minutes, flags, then the name).
using ChartView = ObjectRef;
inline constexpr int kChartViewWords = 16;
static_assert(sizeof(ChartView) == 4 * kChartViewWords);

// The two view records of 72 words. The first record's view is the current ChartView; the
// right ascension and declination words (4 and 5) of the second are the chart centre. In
// modes 0 and 1 the chart centres on its current object, and SetChartCentre writes both;
// in the sky-view modes 2..4 the centre is an azimuth-like turn angle and an altitude
// instead, written into the second alone. The remaining words carry nothing the chart
// reads and are kept as they are.
inline constexpr int kChartViewRecordWords = 72;
struct ChartViewRecord {
    ChartView view;
    std::int32_t opaque[kChartViewRecordWords - kChartViewWords];
};
static_assert(sizeof(ChartViewRecord) == 4 * kChartViewRecordWords);
extern ChartViewRecord chartViews[2];

// The chart's clock: the tick second of the last clock step (0 before the first), the local
// sidereal time of the observing instant in hours and as an 8.24 angle (hours x 2^24 pi/12,
// truncated), and the last sidereal time SetSkyDateTime saw.
struct ChartClock {
    std::uint32_t lastStep;
    float siderealTime;
    std::int32_t siderealTimeFixed;
    float lastSeenLst;
};
extern ChartClock chartClock;

// A save-under: the screen rectangle at (x, y) copied before something is drawn over it.
struct SaveUnderArea {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
    DrawWindow* bitmap;   // made on first use, kept until FreeChartBitmaps
};

// The colours of one redraw (PrepareChartView), by role.
struct ChartColourSet {
    platform::Color background;
    platform::Color foreground;
    platform::Color secondary;
    platform::Color label;          // text of labels: red on the dark backgrounds, black on white
    platform::Color line;           // by "Line Color"
    platform::Color constellation;  // constellation lines
    platform::Color grid;
    platform::Color darkBlue;
    platform::Color black;
    platform::Color red;
    platform::Color darkRed;
    platform::Color white;
    platform::Color lightGrey;
    platform::Color purple;
    platform::Color yellow;
};

struct ChartState {
    // Projection flags, 0 = must be redone. The first: the bright stars are projected
    // (modes 0-1) or the sky-view matrix is built (modes 2-4). The second: the selection
    // records are projected (every mode).
    int starsProjected;
    int selectionProjected;
    int redraw;                 // 1 when the time, the zoom or the current object changed
    int penMoved;               // the pen-moved flag of the chart form, cleared by a clock step
    int horizonZoom;            // the zoom level kept for the horizon view (mode 1)
    int otherZoom;              // the zoom level kept for the other modes
    float starLimit;            // magnitude limits of the zoom level (defaults 13 and 100)
    float objectLimit;
    int objectLimit10;          // the object limit x 10
    int xSign;                  // orientation: -1 in the horizon view, then ApplyChartFlip
    int ySign;
    int width;                  // the chart in pixels (the screen)
    int height;
    Bounds chartRect;           // below the title band
    Bounds pictureSquare;       // a tap here shows the current object's picture
    DrawWindow* offscreen;      // the chart's offscreen bitmap (made by the chart form)
    int rotation;               // the chart rotation angle in degrees (mode 0)
    int centreOffsetX;          // pixel offset of the current object from the plane origin
    int centreOffsetY;
    ChartColourSet colours;
    SaveUnderArea bubble;       // 78 x 28 x dpi factor
    SaveUnderArea cursor;       // 28 x 28 x dpi factor
};
extern ChartState chartState;
// The selection-projected flag under the name the rest of the program knows it by.
inline int& selectionProjected = chartState.selectionProjected;

// The zoom level 0..13, -1 until the chart first opens.
extern int chartZoom;
// The current row of the chart's object popup, -1 for none.
extern int chartSelectionIndex;
// The row the last drawing showed as current; -2 after a zoom change or a tap, -3 after a
// re-centre.
extern int lastDrawnRow;
// The row of the type-filter popup: 0 "All", 1..6 one category, 7..10 list commands.
extern int chartFilterRow;
// 1 while another form's sky view is open (0 when the chart form opens), and its partner
// flag: 0 while such a view is open, 1 after it closed (1 at start).
extern int skyViewOwner;
extern int skyViewFlag;
// Set while the chart follows the mount.
extern int scopeTracking;

// Marks the chart's star and object buffers (what the chart last drew where) empty: a new
// zoom or rotation leaves nothing of what they held in place.
void MarkChartBuffersEmpty();

// ---- Time --------------------------------------------------------------------------------

// Sets the observing date to the minute (the second is taken as 0 for the sidereal time),
// computes the local sidereal time for the site and, when it differs from the last one
// seen, clears both projection flags. A view (16 words) becomes the current ChartView. In
// every case the object popup row becomes 0.
void SetSkyDateTime(const ChartView* view, int year, int month, int day, int hour, int minute);

// The clock step. Nothing happens until 120 s have passed since the last step, unless force
// is 1; the very first call only starts the count. A step reads the device clock into the
// observing time ("Automatic", or while no sidereal time is known yet) or moves the time
// the user set on by the seconds elapsed ("Manual"), computes the local sidereal time,
// clears the projection flags, sets the projection centre and the Moon icon, and sets the
// redraw flag. Returns 1 when the time was stepped.
int UpdateCurrentTime(int force);

// The local sidereal time of the chart in hours.
void GetChartLst(float* lst);

// Clears the selection-projected flag: the chart projects its selection records again.
// Called whenever the selection list changes.
void InvalidateSelectionProjection();

// ---- View and centre ---------------------------------------------------------------------

// Copy the current ChartView out of or into a 16-word block; null is ignored.
void GetChartView(ChartView* out);
void SetChartView(const ChartView* view);
// The current ChartView from a selection record (SelectionRecordToInfo).
void SetChartViewFromRecord(const SelectionRecord* record);
// The centre (of the second view record) and the chart rectangle; each pointer may be null.
void GetChartCentre(float* ra, float* dec, Bounds* rect);
// Writes the centre into both view records; in the sky-view modes into the second alone,
// the first keeping the current object's place.
void SetChartCentre(float ra, float dec);

// The pixel origin (where the plane point (0, 0) falls: half the chart size less the
// current object's offset) and the horizontal and vertical scales (16.16, the zoom level's
// scale with the orientation signs, x 0.8 in the horizon view). Pointers may be null.
void GetChartMetrics(std::int32_t* originX, std::int32_t* originY, std::int32_t* scaleX, std::int32_t* scaleY);

// The first pass of every redraw: a clock step (not forced), the orientation signs, the
// zoom level of the current mode into chartZoom, the magnitude limits of the level, the
// chart size and rectangles, and the colour set.
void PrepareChartView();

// The two text lines at the bottom left of the chart: the view's position (azimuth and
// altitude with a Mount Type set, else right ascension and declination) with its
// magnitude, and the date, time and local sidereal time. Nothing with "Hide InfoBar".
// The band under them is saved first from the current target.
void DrawChartInfoLines(double lst, ChartView* view);
// Puts the band saved by the last DrawChartInfoLines back onto the current target, so that
// lines drawn next replace those on the screen. Nothing when none was saved.
void PutBackChartInfoLinesArea();
// Frees the saved band (the chart form closes).
void FreeChartInfoLinesArea();

// The chart menu's "NightMode": frees the chart's saved and cached bitmaps and the map
// images, forces a clock step, runs the night-mode dialog and sets the chart colours.
void ReleaseChartResources();

void SetSkyViewOwner(int value);
void SetSkyViewFlag(int value);

// Initial rows of the chart's popups: the object row (lastDrawnRow, negative gives 0), the
// type filter row (above 5 gives 0), the zoom row (chartZoom, negative gives the saved
// level), the chart-menu row of the mode (mode + 5), and the orientation of the zoom level.
int GetChartPopup1();
int GetChartPopup2();
int GetChartZoomSelection();
int GetChartPopup3();
int GetChartFovIndex();
