#pragma once
// The drawings of the satellite form's result and map views: the Pass and Transit rows,
// the details band of the selected row, the Sky View (the track among the stars with the
// Sun and the Moon) and the Globe (the Earth under the satellite with its ground track),
// and the pieces of the form's screen that the searches share with them.
#include <initializer_list>
#include <string>

#include "shell/draw_targets.h"

// Row drawer of the result list: the Pass and Transit row here, the Next and Flare row
// (DrawSatellitePassRow) in the other views.
void DrawPassRow(int row, Bounds rect, int selected);
// The details band of row `row` of the result list; -1 draws nothing.
void DrawSatelliteEventDetails(int row);

// The three lines of the details band of a row, the lowest first: for a flare or a transit
// the intensity or the angle, the altitude and the azimuth at the event; otherwise the
// rise ("AOS"), the middle ("Max") and the set ("LOS") with azimuth and, above 1 degree,
// altitude. 0 when the row or its satellite is missing.
int SatelliteEventDetailLines(int row, std::string lines[3]);
// "N", "NE", ... "NW", "N" for trunc(trunc(azimuth + 0.5) / 45).
const char* CompassPoint(double azimuthDegrees);
// The details band's flare intensity: ((-14 - trunc(-10 a)) x 2) / 3, truncated.
int FlareIntensity(double angleDegrees);

// The Sky View of a satellite from the UT instant `jd` over `spanMinutes` (negative: one
// orbit; the step popup's choice overrides it). The 40 records are built only when the
// form's tapCount is 0.
void DrawSatelliteSkyView(int satellite, double jd, int spanMinutes);
// Builds the Sky View's 40 records for the form's time (no drawing): the Sun, the Moon and
// 38 track points `spanMinutes` apart over the span. 1 built; 0 when the satellite has no
// position (its message is then the caller's).
int BuildSatelliteSkyRecords(int satellite, int spanMinutes);
// Minutes the Sky View's track covers for the step choice (0 "Auto" takes `span`, one
// orbit when negative).
int SkyTrackSpan(int stepChoice, int span, double periodMinutes);

// The Globe view: the Earth and the ground track drawn only when the sub-point left the
// visible side (or nothing was drawn yet), then the symbol and the numbers.
void DrawSatelliteGlobeView();
// The globe and the ground track at the form's time around the stored centre. Returns the
// number of track points drawn.
int DrawGlobeTrack();

// The sky direction of the point (x, y) of the Sky View last drawn, into the form's centre.
void CentreSkyViewOn(int x, int y);
// The Globe at the rotation in force (after a drag), with the symbol when it is in view.
void RedrawSatelliteGlobe();
// The satellite's name at its symbol when (x, y) lies on it. 1 when shown.
int ShowGlobeTap(int x, int y);

// The pieces of the form's screen the views and the searches share.
void ShowSatelliteControls(std::initializer_list<int> hidden, std::initializer_list<int> shown);
// The area between the satellite row and the bottom rows, cleared to the background.
Bounds SatelliteViewArea();
void ClearSatelliteViewArea();
// The result list with `rows` rows, scrolled to the top and drawn again.
void FillSatelliteResultList(int rows);
// Frees the form's offscreen windows (Sky View and the Globe's save-under).
void FreeSatelliteViewWindows();
