#pragma once
// The two drawers of the visibility estimate, on the current draw target in form
// coordinates: the grade of a margin on a button with its word underneath, and the
// twelve-month bar of the months in which an object crosses the meridian at night.

// Puts the grade's bitmap (day or night set) on button `buttonId` of the current form and
// writes the grade's word centred in a band just under the button.
void DrawDifficultyScale(int buttonId, double margin);

// The bar at (x, y), width x height, for the place (hours, degrees) at the current site in
// `year`; the observing date (month, day) is marked.
void DrawBestPeriodBar(int x, int y, int width, int height, int year, double ra, double dec, int month, int day);
