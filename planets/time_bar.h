#pragma once
// The date cursor of the yearly charts (the planet assistant's Charts view, the darkness
// graph, the compass chart): a red vertical line over a chart that runs one column per
// day from the first day of a month, with the date under it written into a field.
#include "shell/draw_targets.h"

// Pixels per day of the chart drawn last, stored by the chart for the cursor; 0 until a
// chart sets it, when the cursor takes the width of 380 days.
extern float timeBarPixelsPerDay;

// The cursor at x when (x, y) lies in the chart area (x from 20 x the horizontal scale,
// below the 24 x vertical-scale title band, above the bottom bands): the background
// under the previous cursor is put back, the column at x saved and the line drawn; the
// date (the first day of year and month plus round((x - left) / pixels per day)) goes
// into the date field and "00:00" into the time field when one is given (id 0: none).
// Returns 1; outside the area 0, with nothing drawn or written.
int DrawTimeBar(int x, int y, int dateFieldId, int timeFieldId, int year, int month);
// Forgets the saved background under the cursor (the chart under it is drawn again).
void FreeTimeBarBitmap();
