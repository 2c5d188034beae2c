#pragma once
// The time strips of the planet view: time runs down the screen past the planet's stripe
// with the moons (short strips, days) or the planet's size and phase (long strips, years)
// as curves beside it, and the cursor view below shows the planet at the cursor's row.

// Where the strip lies on a client area and how many rows make its unit (a day on short
// strips, a year on long ones).
struct StripLayout {
    int top = 0;          // y0
    int height = 0;       // SH
    int rowsPerUnit = 1;  // R, never below 1
    int rowStep = 2;      // rows between two computed instants
    bool longStrip = false;
};

// The sub-views drawn as a strip, and which of them are long.
bool IsStripSubView(int mode, int subView);
bool IsLongStrip(int mode, int subView);
// The layout for a client height in pixels, at the current screen scale.
StripLayout GetStripLayout(int mode, int subView, int span, int clientHeight);

// The local instant of strip row y from the strip's first day (the form's date on short
// strips, 1 January of `year` on long ones); false when y lies outside the strip.
struct StripInstant {
    int year, month, day, hour, minute;
};
bool StripRowInstant(const StripLayout& layout, int y, const StripInstant& first, StripInstant* out);
// The row of a local instant on the strip that starts at `first`.
int StripInstantRow(const StripLayout& layout, const StripInstant& first, const StripInstant& at);

// Draws the strip of the planet view's mode and sub-view for the form's date (the whole
// strip when planetView.fullRedraw is set, which it clears) and puts the cursor on the
// form's time.
void DrawTimeStrip();
// Moves the cursor to row y and draws the view area for its instant, writing the instant
// into the date and time fields. 0 (nothing drawn) when (x, y) lies outside the strip.
int DrawPlanetView(int x, int y);
// Drops the saved band under the cursor (the form closes or the screen is redrawn).
void ForgetStripCursor();
