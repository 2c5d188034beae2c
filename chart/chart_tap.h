#pragma once
// What a tap on the chart (modes 0 and 1) finds: a selection record, an object the chart
// drew, a bright or faint star, or the sky position itself. The find becomes the chart's
// current object and is marked by the target cursor; then, by the tap action setting, the
// object information opens, the chart re-centres or the chart is redrawn.
#include <cstdint>

struct ChartTapState {
    int cursorX = 0;            // chart pixels of the find (or of the tap when nothing was found)
    int cursorY = 0;
    double previousRa = 0.0;    // the previous tap, for the distance mode
    double previousDec = 0.0;
    int distanceMode = 0;       // toggled by the toolbar: write the distance from the previous tap
    int redrawRequested = 0;    // a one-shot request to the chart form to redraw
    int blinkCounter = 0;       // the target cursor's blink: 0, 1, 0, 1 ...; -3 keeps a fresh cursor on
    char distanceText[32] = {}; // the distance the distance mode wrote last
};
extern ChartTapState chartTap;

// 1 when the next pen-up is to be taken as a tap on the chart.
extern int penTapArmed;

// The tap at (x, y), chart pixels of modes 0 and 1. 0 when the tap is not handled (not
// armed, outside the chart), else 1.
int IdentifyChartTap(int x, int y);
// One search at one radius (pixels): selection records, then the objects the chart drew,
// then the bright stars and the faint stars at half the radius, else the sky position.
// Fills the chart's current object and the cursor position. Returns 1.
int FindNearestChartObject(int x, int y, int radius);
// Composes the information text of the current object (stars: in txtBuffer) and opens
// the object information form (112).
void ShowChartTapInfo();

// The selection list's current position, -1 when the current object is no list record.
int ChartSelectionPosition();

// The direction gauge of modes 0 and 1 at the chart's bottom left, for the direction of a
// chart pixel. Nothing with "Hide Compass".
void DrawChartDirectionGauge(int x, int y);
