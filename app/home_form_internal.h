#pragma once
// What the home form's status panel showed at its last paint, kept for the form's tests:
// the values worked out from the date and the site (the sidereal time, the Sun's and the
// Moon's events, the phase and its icon) are checked there against the computations, so
// the golden pictures can leave them out and fail only for drawing. Not for other callers.

constexpr int kHomePanelRows = 10;

struct HomePanelRow {
    char label[8];
    char value[24];
};

struct HomePanelShown {
    HomePanelRow rows[kHomePanelRows];  // 1 Local, 2 UT, 3 LST, 4 to 6 the Sun, 7 to 9 the Moon
    int moonIcon;                       // the bitmap of the Moon's phase
};

const HomePanelShown& LastHomePanel();
