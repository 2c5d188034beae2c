#pragma once
// The time bar of the yearly charts: a marker line that follows the stylus over a chart of
// days and writes the day under it into a form's date field. The planet assistant's Charts
// view, the darkness graph and the compass chart share it.

// The chart the bar lies over: the drawing area's size and the chart's pixels per day
// (the chart sets it when it draws), and where the marker was last put.
struct TimeBarState {
    int drawWidth = 0, drawHeight = 0;
    float pixelsPerDay = 1.0f;
    int markerX = 0;
};
extern TimeBarState timeBar;

// Puts the marker at x when (x, y) lies on the bar, writes the first day of month/year plus
// the days under the marker into the date field and "00:00" into the time field (a time
// field id of 0 or below writes none): 1. Outside the bar the remembered marker is brought
// inside the chart and 0 is returned.
int DrawTimeBar(int x, int y, int dateFieldId, int timeFieldId, int year, int month);
// Forgets the background saved under the marker.
void FreeTimeBarBitmap();
