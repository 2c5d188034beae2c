#pragma once
// The chart form's sky-view modes 2 to 4 ("Whole Sky", "Visible Sky", "Equatorial Sky"):
// the drawing pass of DrawChart, the drag that moves the view centre with the pen, and the
// tap. The chart form calls them for those modes.

// Builds the sky matrix and projects the selection records when their flags ask for it,
// then draws the view around the chart centre into the chart rectangle on the current
// target.
void DrawChartSkyView();
// The pen moved (dx, dy) pixels since the last step of a drag: the sky under the pen
// follows it, and the view is drawn quickly around the new centre.
void DragChartSkyView(int dx, int dy);
// A tap on the view (IdentifyStellarTap). Returns 1: the cursor was drawn.
int TapChartSkyView(int x, int y);
