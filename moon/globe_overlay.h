#pragma once
// The wire-frame globe: limb, graticule (parallels every 30 degrees from -75, meridians
// every 30 degrees), optional latitude and longitude labels, and, for a body of known
// apparent size, its data lines (pole angle, diameter, which pole is visible).
//
// The grid's latitudes run south positive (its labels say so): a globe turned with the
// same A, B, C as a textured one shows the same face, because the tilt enters negated.

#include "astro/globe_view.h"

inline constexpr int kGlobeGridMaxSegments = 12 * 24;
inline constexpr int kGlobeGridMaxLabels = 20;

struct GlobeGridSegment {
    int x0, y0, x1, y1;
};
struct GlobeGridLabel {
    int x, y;          // where the text starts
    int afterSegment;  // drawn after this many segments, so later lines may cross it
    char text[12];
};
// The lines and labels of the wire-frame globe, before they are drawn.
struct GlobeGrid {
    int segmentCount = 0;
    GlobeGridSegment segments[kGlobeGridMaxSegments];
    int labelCount = 0;
    GlobeGridLabel labels[kGlobeGridMaxLabels];
};

// The graticule seen through `view` around (cx, cy) at `radius` pixels: a segment between
// neighbouring grid points (every 15 degrees) when both are visible, and with `labels` the
// labels at the points whose segment was just drawn.
void ComputeGlobeGrid(const GlobeView& view, int cx, int cy, int radius, int labels, GlobeGrid* grid);

// The data lines of a body of apparent diameter `size` arc minutes, pole angle b and tilt
// c; the third is empty when no pole is turned toward the viewer.
void FormatGlobeDataLines(double b, double c, double size, char lines[3][48]);

// Draws into the rectangle (left, top, width, height) of the current draw window. Size > 0
// is the apparent diameter in arc minutes (radius size x 90 pixels, rounded, and data
// lines shown); size <= 0 gives the radius -size in pixels and no data lines. A radius
// below 1 or a side above 4096 pixels draws nothing. Replaces `sphereView`.
void DrawGlobeOverlay(int left, int top, int width, int height, double a, double b, double c, double size,
                      int labels);
