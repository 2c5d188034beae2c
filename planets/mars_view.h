#pragma once
// The Mars page of the planet view: the moons panel (Phobos and Deimos around the disc,
// also computed without drawing for the time strip) and the view page with the orientation
// globe, the textured globe, the moons and the data lines.
#include "planets/mars_ephemeris.h"
#include "platform/types.h"
#include "shell/draw_targets.h"

// The textured Mars of the map textures.
inline constexpr int kMarsMapId = 8;

// The orientation row's signs for the moons panel and the mirror of the globes: row 0 as
// seen, row 1 mirrored left to right, row 2 both ways, row 3 top to bottom.
struct MarsOrientation {
    int xSign, ySign;
};
MarsOrientation MarsViewOrientation(int row);

// Computes the moons for a local date and time (offsets in pixels from the disc centre and
// visible flags); with `draw` it also draws the panel into the rectangle of the current
// draw window, the moons placed with the signs.
void DrawMarsMoons(int year, int month, int day, int hour, int minute, int x, int y, int width, int height,
                   double outX[kMarsMoonCount], double outY[kMarsMoonCount], int visible[kMarsMoonCount], int draw,
                   const platform::Color colours[5], int xSign, int ySign);

// The Mars view page in the rectangle of the current draw window, for a local date and
// time and an orientation row.
void DrawMarsView(int x, int y, int width, int height, int year, int month, int day, int hour, int minute,
                  const platform::Color colours[5], int orientation);

// The square the textured globe takes on the view page drawn in that rectangle.
Bounds MarsViewGlobeBounds(int x, int y, int width, int height);

// A tap on the view page drawn last in that rectangle with that orientation row: names the
// large region (Planitia, Planum, Terra) under the tap on the textured globe, the mirror of
// the orientation undone first. 1 when a name was drawn; 0 off the globe, or when the page
// could not draw its globe.
int ShowMarsViewRegion(int x, int y, int width, int height, int orientation, int tapX, int tapY);
