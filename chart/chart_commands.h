#pragma once
// What the chart form's buttons and popup lists do: the toolbar toggles, the date and
// time, the manual position input, the GoTo, the chart menu with the chart modes, the
// zoom, the view orientation, the object and filter popups, the direction popup and the
// scope popup (chart/scope_cursor.h).

// ChartFormCommand (a control of form 1900: 1 when handled) and ChartFormSelect (the
// choice made in a popup list) are declared with the form, in chart/chart_form.h.
// The chart menu (list 1914): rows 0..4 open forms or the night mode, rows 5..9 choose
// the chart mode.
void SetChartMenuChoice();
// The direction popup's row (0 "N" .. 7 "NW").
void SetChartDirection(int row);
// The manual position input: 1889 right ascension and declination, 1890 azimuth and
// altitude. A confirmed position becomes a new object of the user catalog (63), numbered
// by the chart's running count, and the chart's current object.
void ChartPositionInput(int controlId);
// The chart's GoTo of its current object: refused for the Sun ("Sorry, GoTo to Sun is
// disable."); planets go without the apparent-place corrections (mode -1), everything else
// with the topocentric place and refraction (mode 3).
void GotoChartObject();

// The next number the manual input gives its objects.
extern int chartInputNumber;
