#pragma once
// Two drawings of the eclipse form on the small world map: the Path page of a solar
// eclipse (the central line's start, greatest eclipse and end with their places, the band
// between the penumbral limits, the umbral limit and the mark of greatest eclipse) and the
// summary under the eclipse list (the instant, the duration and the best place).
#include <cstddef>

#include "eclipses/bessel_elements.h"
#include "eclipses/eclipse_list.h"

// The world map picture: equirectangular, 180 degrees west at the left edge, 240 x 120
// design pixels.
inline constexpr int kEclipseWorldMap = 1221;

// The path band as line segments on a map W x H pixels (origin at its top-left).
struct EclipsePathSegment {
    int x0, y0, x1, y1;
};
inline constexpr int kMaxPathSegments = 400;
struct EclipsePathLines {
    int count = 0;
    int columns = 0;  // longitudes sampled
    EclipsePathSegment segments[kMaxPathSegments];
};

// The band of a central eclipse, one column every 4 degrees of longitude from the
// central line's start to its end: the penumbral limits on both sides and the umbral limit
// south of the axis, joined from column to column unless the step jumps 100 pixels or
// more (the wrap at the map's edge), closed by a vertical segment at the first and the
// last column. A path crossing the 180th meridian is swept in one go; one whose greatest
// eclipse lies south of -60 degrees sweeps the whole map. Returns the segment count; 0
// for an eclipse without a central line.
int ComputeEclipsePath(const BesselElements& elements, double deltaTSeconds, double centralLatitude, int width,
                       int height, EclipsePathLines* lines);

// The Path page of the selected solar eclipse.
void DrawEclipsePath();

// The summary's text line: the instant, then the duration (minutes and seconds below an
// hour, else hours and minutes) or "No Central Line" for a solar eclipse without one (and
// an unknown kind), then the least separation in arc minutes and seconds.
void FormatEclipseSummary(const EclipseEntry& entry, bool central, char* out, std::size_t size);

// The summary of row `row` below the eclipse list; a lunar row writes the sub-lunar point
// (west positive) into *latitude and *longitude. Returns 1 when drawn.
int DrawSolarEclipseSummary(EclipseEntry* list, int row, double* latitude, double* longitude, int width,
                            int height);
