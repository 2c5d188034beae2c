#pragma once
// The target cursor over the chart's current object: moved by a tap (the area under it
// saved first, so that it can be taken off again without a redraw) and blinked by the
// chart's timer while no mount is followed.

// Puts back the area under the previous cursor, saves the area at the new point and
// draws the cursor there (and the object's marker for an object that is neither a star
// nor nothing). Chart pixels; drawn on the current draw target.
void MoveTargetCursor(int x, int y);

// The timer's call: with no mount followed, the target cursor at the current object is
// drawn and taken off on alternate ticks (a fresh cursor stays for a few ticks); while
// one is followed, the scope cursor moves (chart/scope_cursor.h). Returns 1 when it drew,
// 0 otherwise.
int UpdateScopeOnChart(float ra, float dec);

// Where the target cursor stands (chart pixels), and whether it is on the chart now.
int TargetCursorX();
int TargetCursorY();
bool TargetCursorShown();
