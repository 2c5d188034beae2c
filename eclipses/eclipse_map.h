#pragma once
// The Map page of a solar eclipse: the umbra's track every 5 minutes on the large world
// map (its ellipse, a time label every other step and the lines of equal magnitude between
// neighbouring steps), scrolled by dragging and tapped to show the local eclipse at a
// place; the Info page of a solar eclipse (the umbra and the local circumstances at the
// place and time of the form); and the Diagram globe turning under the stylus.
//
// Longitudes are degrees positive WEST; hours UT.
#include "eclipses/eclipse_state.h"
#include "shell/draw_targets.h"

// The track of the selected solar eclipse (the elements in `eclipseState` fitted for it)
// in time order: from the entry's instant back and forward in 5-minute steps while the
// shadow's axis meets the Earth, at most `capacity` records, each step on a date of its
// own (the entry is not changed). `progress`, when given, is called after each record.
// The eclipse state is left at the entry's instant. Returns the count.
int ComputeEclipseTrack(const EclipseEntry& entry, TrackRecord* table, int capacity,
                        void (*progress)(const TrackRecord&) = nullptr);

// The place on the world map (longitude west, latitude) as x, y in the map buffer for the
// offsets of `eclipseState`.
void TrackPosition(double longitude, double latitude, int* x, int* y);

// The Map page into the map buffer and onto the screen inside `rect` (x, y, width,
// height). `draw` 1: the Map page, which computes the track first when it is missing; 0:
// the Info page's small map, drawn from the track as it is. 0 after the failure message
// when the buffer cannot be made, 1 otherwise.
int DrawEclipseMap(int draw, const int rect[4]);
// Pen up on the eclipse form: a tap on the Map page shows the local eclipse there, the end
// of a drag redraws the map or the Diagram page. 1 when the screen changed, 0 otherwise.
int HandleEclipsePenUp(int x, int y);
// Pen move: scrolls the map or turns the Diagram globe. 1 on the Map page and on the
// Diagram page of a solar eclipse.
int TrackEclipsePen(int x, int y);
// The Info page of a solar eclipse.
void DrawEclipseAtPlace();
// Frees what the Map page keeps (the track, the buffer, the map halves).
void FreeEclipseMap();
