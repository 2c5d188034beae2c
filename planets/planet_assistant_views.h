#pragma once
// The drawing of the PlanetAssistant's views (form 2450) into its drawing area, for the
// form's date and time.
#include "catalog/selection_list.h"
#include "shell/draw_targets.h"

// The drawing area: from 24 x the vertical scale below the top to 22 x it above the bottom.
Bounds PlanetDrawingArea();

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
