#pragma once
// The line layers of the chart, drawn before the stars: the azimuth ruler and altitude
// lines of the horizon view, the compass letters, horizon circle, zenith mark and grids of
// the sky map, the constellation lines and names, the ecliptic, and the grid, horizon ring
// and ecliptic of the sky views. Colours come from the caller's colour set.
#include <cstdint>

#include "chart/sky_matrix.h"
#include "platform/types.h"

// The horizon view's ruler: azimuth ticks and labels with the compass letters, and the
// altitude lines. view is the orientation row of the zoom level; scaleX the level's 16.16
// scale without orientation signs; (centreX, centreY) where azimuth and altitude 0 fall.
void DrawHorizonScale(int view, platform::Color foreColour, platform::Color letterColour,
                      platform::Color textColour, int scaleX, int centreX, int centreY);
// The label of an azimuth on the ruler (0..359), and its compass letters ("" for none).
int RulerAzimuthLabel(int azimuth);
const char* RulerCompassLetters(int azimuth);

// The eight compass letters of the sky map, shifted by (dx, dy).
void DrawCompassPoints(int dx, int dy);

// The sky map's horizon circle and zenith mark (below zoom 10) and its equatorial grid or
// altitude circles; hourStep hours and decStep degrees apart. The 0 h and 12 h lines and
// the equator are in the label colour.
void DrawChartGrids(float lst, int centreRa, int centreDec, int zoom, platform::Color lineColour,
                    platform::Color labelColour, int hourStep, int decStep);

// The constellation lines between visible bright stars (unless skipLines) and, on screens
// of dpi factor above 1, the constellation names. In the horizon view a line across the
// azimuth wrap is left out; xMin and xMax bound the view for the wrap.
void DrawConstellationLines(float lst, platform::Color textColour, int xMin, int xMax, int skipLines, int zoom);
// The ecliptic every 10 degrees of longitude.
void DrawEcliptic(float lst, platform::Color colour, int xMin, int xMax);

// The sky views' ecliptic (every 15 degrees) and grid with its horizon ring and compass
// letters, through the view's turn and tilt, in the current drawing colour. The grid's
// horizon flag -1 leaves the grid out and draws the ring alone.
void DrawSkyViewEcliptic(const SkyView& view, int wholeSphere);
void DrawSkyViewGrid(const SkyView& view, int horizonFlag, int visibleSkyOnly);

// Turns the sky map so that the view centre's azimuth is at the bottom; *rotation is the
// chart's rotation angle in degrees, updated.
void AlignChartToCentreAzimuth(int* rotation, float lst);
