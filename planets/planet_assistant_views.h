#pragma once
// The drawing of the PlanetAssistant's views (form 2450) into its drawing area, for the
// form's date and time.
#include "catalog/selection_list.h"
#include "shell/draw_targets.h"

// The drawing area: from 24 x the vertical scale below the top to 22 x it above the bottom.
Bounds PlanetDrawingArea();

// Where the ecliptic strip and its table lie in the drawing area: the table's rows on forms
// taller than 240 layout pixels, below the strip, and on forms taller than 320 with their
// headings above it, the strip moved down under them.
struct EclipticLayout {
    bool headings = false;
    bool rows = false;
    int headingY = 0;
    int firstRowY = 0;      // top of the Sun's row; the others follow in body order
    int rowHeight = 0;
    int centreY = 0;        // the strip's line of declination 0
    double perDegree = 1;   // pixels per degree of declination
};
EclipticLayout PlanetEclipticLayout();
// The strip of the sky along the ecliptic, with the default stars and constellation lines of
// declinations -40 to +40, the bodies at the form's date and time, and the table that the
// form's height leaves room for.
void DrawEclipticView();
// Returns the number of path dots drawn (tests).
int DrawSunView();
// Views 2 (Position), 4 (Info) and 5 (Rise&Set).
void DrawPlanetTable(int view);
// The sky view with the planets' paths; returns the number of records handed to it.
int DrawPlanetSkyView();
// The records of the last sky view (for a tap).
SelectionRecord* PlanetSkyRecords(int* count);
// One year of the chosen quantity (0..4) from the form's month.
void DrawPlanetCharts(int year, int month, int quantity);
// The Events view: the search over the chosen period, filtered, in list 2447.
void SearchEvents();
// The event row view: the row's instant becomes the form's, and the day bars are drawn.
void DrawPlanetEventList(int row);
// Bodies of the Sky View's paths by the step index: the first and the last body index.
void SkyPathBodies(int stepIndex, int* first, int* last);
