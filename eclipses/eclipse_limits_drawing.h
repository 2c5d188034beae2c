#pragma once
// The lines of equal magnitude of a solar eclipse on the globe of the Diagram page: the
// northern and southern limits of magnitude 0, 0.25, 0.5, 0.75 and 1 sampled every 6
// degrees of longitude along the central line, turned with the globe's rotation and
// joined where neighbouring points lie close on the screen.
//
// ComputeEclipseLimitCurves makes the segments without drawing; DrawEclipseLimits draws
// them on the current draw target.
#include "eclipses/bessel_elements.h"

inline constexpr int kLimitSides = 2;       // south (-1), north (+1)
inline constexpr int kLimitMagnitudes = 5;  // 0, 0.25, 0.5, 0.75, 1
inline constexpr int kLimitNoPoint = -400;  // a curve's point not yet set
// Screen points of a curve further apart than this across are not joined: the curve has
// run round the globe's edge or across the 180th meridian.
inline constexpr int kLimitJumpPixels = 80;
inline constexpr int kMaxLimitSegments = 640;

enum LimitColour { kLimitGrey = 0, kLimitRed = 1 };

inline constexpr int kLimitClosingJoin = -1;

struct LimitSegment {
    int x0, y0, x1, y1;
    int colour;  // LimitColour: grey for magnitudes below 1 and the closing joins, red for 1
    int curve;   // side x kLimitMagnitudes + magnitude index, or kLimitClosingJoin
};

struct LimitPoint {
    int x = kLimitNoPoint;
    int y = kLimitNoPoint;
};

struct LimitCurves {
    int segmentCount = 0;
    LimitSegment segments[kMaxLimitSegments];
    // First and last visible screen point of each curve, [side][magnitude].
    LimitPoint first[kLimitSides][kLimitMagnitudes];
    LimitPoint last[kLimitSides][kLimitMagnitudes];
    int points[kLimitSides][kLimitMagnitudes];  // visible points of each curve
};

// The segments for a globe centred at (centreX, centreY) with the radius in pixels,
// turned by rotation angle1, pole angle angle2 and tilt angle3 (degrees, as the globe
// drawing takes them). Returns the number of segments; 0 when the eclipse has no central
// line, which leaves no longitudes to sweep.
int ComputeEclipseLimitCurves(const BesselElements& elements, int centreX, int centreY, double angle1, double angle2,
                              double angle3, double radius, double deltaTSeconds, LimitCurves* curves);

// Draws those segments on the current draw target.
void DrawEclipseLimits(const BesselElements& elements, int centreX, int centreY, double angle1, double angle2,
                       double angle3, double radius, double deltaTSeconds);
