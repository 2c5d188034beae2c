#pragma once
// The chart shifted by a pixel offset without projecting anything: what the last full
// drawing put where (stars, lines, the buffers of faint stars and objects, the selection
// objects) is drawn again at its stored pixel plus the offset, so that a drag or a held
// key keeps pace. The full redraw follows once the pen or key is released.
struct DrawWindow;

// Draws into the offscreen (shown by the caller) the chart moved by (dx, dy) from its
// last full drawing (in the horizon view x wraps by a turn of azimuth), the telrad and the
// target cursor at the centre, and the centre's position in the info lines. When no popup
// row is current, a selection object landing in the central box becomes current. Returns
// the current popup row, or -1.
int ShiftChart(DrawWindow* offscreen, int dx, int dy);

// The width of a turn of azimuth in pixels in the horizon view (0 in the sky map), and an
// x offset brought within one turn either way.
int ChartTurnWidth();
int WrapChartOffset(int dx);
