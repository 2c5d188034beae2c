#pragma once
// The chart form's sky-view modes 2 to 4 ("Whole Sky", "Visible Sky", "Equatorial Sky"):
// the drawing pass of DrawChart, the drag that moves the view centre with the pen, and the
// tap. The chart form calls them for those modes.
#include <cstdint>
#include <span>

#include "shell/draw_targets.h"

// Builds the sky matrix and projects the selection records when their flags ask for it,
// then draws the view around the chart centre into the chart rectangle on the current
// target.
void DrawChartSkyView();
// The pen moved (dx, dy) pixels since the last step of a drag: the sky under the pen
// follows it, and the view is drawn quickly around the new centre.
void DragChartSkyView(int dx, int dy);
// A tap on the view (IdentifyStellarTap). Returns 1: the cursor was drawn.
int TapChartSkyView(int x, int y);
// Brings the sky matrix up to date for the chart's mode and instant (the records are then
// projected again at the next drawing) and makes a catalog place (right ascension hours,
// declination degrees; of date for a solar-system body) the centre of the view.
void CentreChartSkyViewOn(double raHours, double decDeg, bool ofDate = false);
// The catalog place (hours, degrees) at the centre of the view, through the same matrix.
void ChartSkyViewCentrePlace(double* raHours, double* decDeg);

// The sky around a telescope position (right ascension hours, declination degrees), seen
// from the site at the observing instant, drawn with full detail into `target`'s
// rectangle at zoom level `zoom` (the views embedded in other forms, as the hand paddle's).
// The chart projects its stars and records again when it next draws.
void DrawSkyViewAroundPosition(DrawWindow* target, const Bounds& rect, double raHours, double decDeg, int zoom);

// A display word of `Preferences` and the value it takes for one embedded drawing.
struct DisplayWordValue {
    int word;
    std::int32_t value;
};
// The sky around a position (right ascension hours, declination degrees, zoom level
// `field`) drawn by DrawSkyViewAroundPosition into `offscreen`, made or remade to the area's
// size, then copied to `area` of the current draw target. The given display words hold
// their values for the drawing only and are put back after it.
// "Can't allocate offscreen window" and false when the bitmap can't be made; false with an
// empty area.
bool DrawEmbeddedSkyView(DrawWindow*& offscreen, const Bounds& area, double raHours, double decDeg, int field,
                         std::span<const DisplayWordValue> words);
