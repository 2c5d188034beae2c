#pragma once
// The sky views: a second renderer that draws the sky around a centre direction into any
// rectangle, orthographically through the sky matrix (chart/sky_matrix.h) in 8.24 fixed
// point. It draws the chart's "Whole Sky", "Visible Sky" and "Equatorial Sky" modes, the
// small views other forms embed, and the finder chart of one object; it identifies taps
// on those views and writes the views' two status lines.
//
// A view is drawn from view records (selection records whose sky-matrix x and y were set
// by ProjectObjects) and the bright-star table (projected by ProjectStarTable). Drawing
// writes each record's pixel words and its offChart flag (1 = not drawn) and each star's
// pixel words and hidden word (1 = not drawn; a negative word is never drawn), so that a
// later tap is matched against what was drawn. Pixels are those of the drawing target:
// the screen for a view drawn in place, the view's own window for one drawn there.
#include <cstdint>

#include "catalog/records.h"
#include "chart/sky_matrix.h"
#include "shell/draw_targets.h"

struct SelectionRecord;

// The renderer's state: the last view drawn, the finder chart's cache key and the three
// view bitmaps (0: the save of SaveRestoreSkyView, 1: under the label of a tap, 2: under
// the centre cursor), each made on first use.
struct SkyViewState {
    SkyView view;            // origin of the drawing on the screen, centre pixel, scales, angles
    Bounds rect;             // the view rectangle of the last drawing (screen pixels)
    int zoom;
    int visibleOnly;         // chart mode 3: nothing below the horizon
    int horizontalGrid;      // "Alt/Az Grid" at the last drawing
    int finderKeyValid;      // the finder chart's sky matrix is the one below
    int finderYear, finderMonth, finderDay, finderHour, finderMinute;
    OffscreenPtr bitmaps[3];
    Bounds saved[3];         // where each bitmap was last saved from
};
// Never destroyed: at exit the platform's drawing objects its bitmaps hold may already be
// gone. A state replaced by another deletes its bitmaps.
extern SkyViewState& skyViewState;

// Draws the view of `count` records into `rect` around the direction (first angle: the
// turn atan2(x, y) of the sky matrix, degrees; second: the tilt, the altitude in the
// horizon frame, degrees) at zoom 0..13. `window` is the view's own window (drawn at its
// origin, then copied to the current target at the rectangle), or null to draw on the
// current target clipped to the rectangle. With `detail` 0 the quick drawing of a scroll.
// Returns the selection position (FindSelectionPos) of the record labelled at the centre,
// -1 when none was, and -1 at once without a drawing target.
int DrawSkyView(SelectionRecord* records, int count, const Bounds& rect, DrawWindow* window, int zoom, float first,
                float second, int detail);

// The finder chart of one object for a local date and time, centred on it, drawn on the
// current target with full detail. The sky matrix is rebuilt only when the minute changes.
// The settings changed for the drawing are restored afterwards.
void DrawFinderChart(const ObjectRef& object, const char* name, const Bounds& rect, int zoom, int year, int month,
                     int day, int hour, int minute);

// Identifies what lies under a tap on the view last drawn (x, y in the pixels it was drawn
// in) and labels it: the records, then the chart's projected objects ("Obj. Drilldown"),
// the bright stars and the faint stars, at 1, 3 and 5 times the search radius. Returns the
// index of the record hit, -1 when nothing or only an object or a star was hit (nothing
// is drawn when nothing was hit).
int ShowTapInfo(SelectionRecord* records, int count, const Bounds& rect, int zoom, int x, int y);

// The two status lines at the bottom left of a view: the date, time and sidereal time of
// the sky matrix, and a position (fixed point: right ascension / 15 and declination, or
// azimuth and altitude with "Alt/Az Grid") with the record's magnitude when one is given.
// Also draws the direction gauge.
void DrawSkyViewStatus(const Bounds& rect, const SelectionRecord* record, std::int32_t first, std::int32_t second);

// The tap on a chart in modes 2 to 4 (x, y in screen pixels): the chart's current object
// becomes the record, object or star under the tap, or the tap's sky position ("???").
// Returns 0.
int IdentifyStellarTap(int x, int y);

// 0 saves the rectangle of the current target into view bitmap 0 (made on first use at the
// rectangle's size); 1 copies it back at the rectangle's position. Nothing when the bitmap
// cannot be made.
void SaveRestoreSkyView(int restore, const Bounds& rect);
// Deletes the three view bitmaps.
void FreeSkyViewBitmaps();
// Forgets the finder chart's matrix and rebuilds the sky matrix for the observing instant.
void RefreshSkyProjection();

// The direction (degrees, as DrawSkyView takes them) under a point of the view last drawn,
// for a drag that moves the centre with the pen. 0 when no view was drawn.
int SkyViewPointToCentre(int x, int y, float* first, float* second);
